// The base dialog and the picker: the frame, the font, keys that must not close it, filling the
// list from a library, the two check boxes, and the results of 确定, 取消 and the title bar.

#include "LibraryFixture.h"
#include "fmSelectData.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace LibraryTest;

namespace {

QStringList ticks(const TfrmSelectData &picker)
{
    QStringList out;
    for (int i = 0; i < picker.rowCount(); ++i)
        out << (picker.isRowChecked(i) ? u"x"_s : u"-"_s);
    return out;
}

// Five sheets: 1000 x 500 at 10, 2000 x 1000 at 20, ...
void seedSheets(TLibraryStore &store, int rows)
{
    for (int i = 1; i <= rows; ++i)
        store.addSheet(u"板%1"_s.arg(i), 1000 * i, 500 * i, 100000 * i);
}

} // namespace

class TestSelectData : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup() { QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked"); }

    void baseWindow_frameAndFont()
    {
        TfrmBase base;
        base.resize(300, 200);
        base.show();
        QVERIFY(!base.Top->isVisible());
        QCOMPARE(base.Top->height(), 26);
        QVERIFY(base.Left->isVisible() && base.Bottom->isVisible());
        QCOMPARE(base.Left->width(), 2);
        QCOMPARE(base.Bottom->height(), 5);
        QCOMPARE(base.Bottom->geometry().bottom(), base.height() - 1);
        QCOMPARE(base.Bottom->width(), base.width());
        QCOMPARE(base.PanelBack->geometry(), QRect(2, 0, 298, 195));
        QCOMPARE(base.font().pointSize(), 9);
        QCOMPARE(base.font().families().mid(0, 2), (QStringList { u"SimSun"_s, u"宋体"_s }));
        QVERIFY(base.font().families().contains(u"WenQuanYi Micro Hei"_s));

        TfrmSelectData picker;
        picker.show();
        QCOMPARE(picker.size(), QSize(700, 320));
        QVERIFY(
            !picker.Left->isVisible() && !picker.Bottom->isVisible() && !picker.Top->isVisible());
        QCOMPARE(picker.PanelBack->geometry(), picker.rect());
        QCOMPARE(picker.pnlBar->height(), 35);
        QCOMPARE(picker.pnlBar->geometry().bottom(), picker.height() - 1);
        QCOMPARE(picker.ListView1->font().pointSize(), 9);

        QTreeWidget *list = picker.ListView1;
        QStringList columns;
        for (int i = 0; i < list->columnCount(); ++i)
            columns << u"%1 %2 %3"_s.arg(list->headerItem()->text(i))
                           .arg(i == 1 ? 0 : list->columnWidth(i))
                           .arg(list->headerItem()->textAlignment(i) & Qt::AlignHorizontal_Mask);
        QCOMPARE(columns,
            (QStringList { u"序号 60 1"_s, u"名称 0 4"_s, u"长 100 4"_s, u"宽 100 4"_s,
                u"价格 53 4"_s, u"纹理 45 4"_s, u"修边 45 4"_s, u"库存 45 4"_s }));
        // Names take the width the other columns leave.
        QVERIFY(list->columnWidth(1) >= 200);
        QCOMPARE(list->palette().color(QPalette::Base), QColor(250, 245, 220));
        QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(list->geometry().bottom() < picker.pnlBar->geometry().top());

        // The bar: the two check boxes, then the two buttons, left to right.
        QList<QWidget *> bar { picker.chkSelectAll, picker.chkClearAll, picker.btnOK,
            picker.btnCancel };
        for (int i = 1; i < bar.size(); ++i)
            QVERIFY(bar[i - 1]->x() < bar[i]->x());
        QCOMPARE(picker.chkSelectAll->text(), u"全部选中"_s);
        QCOMPARE(picker.chkClearAll->text(), u"全部取消"_s);
        QCOMPARE(picker.btnOK->text(), u"确定"_s);
        QCOMPARE(picker.btnCancel->text(), u"取消"_s);
        QVERIFY(picker.btnOK->isFlat() && picker.btnCancel->isFlat());
    }

    // No key is a default or cancel key: Enter and Escape leave the dialog open wherever the
    // keyboard is, even on the 确定 button.
    void enterAndEscape_doNotCloseIt()
    {
        TLibraryStore store;
        seedSheets(store, 2);
        TRowSet library(Sql::SheetLibrary);
        TfrmSelectData picker;
        picker.fillFromLibrary(library, true);
        picker.open(); // modal, without a loop of its own
        QApplication::setActiveWindow(&picker);
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        QSignalSpy finished(&picker, &QDialog::finished);
        for (QWidget *focus : QList<QWidget *> {
                 picker.ListView1, picker.btnOK, picker.btnCancel, picker.chkSelectAll }) {
            focus->setFocus();
            for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape })
                QTest::keyClick(focus, key);
            QVERIFY2(picker.isVisible(), qPrintable(focus->objectName()));
        }
        QCOMPARE(finished.size(), 0);
        QVERIFY(!picker.btnOK->isDefault() && !picker.btnOK->autoDefault());
        QVERIFY(!picker.btnCancel->isDefault() && !picker.btnCancel->autoDefault());
        // The buttons themselves still work from the keyboard.
        picker.btnOK->setFocus();
        QTest::keyClick(picker.btnOK, Qt::Key_Space);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(picker.result(), int(QDialog::Accepted));
    }

    void fillFromLibrary_data()
    {
        QTest::addColumn<bool>("sheets");
        QTest::newRow("sheet library, with price") << true;
        QTest::newRow("part library, price left empty") << false;
    }
    void fillFromLibrary()
    {
        QFETCH(bool, sheets);
        TLibraryStore store;
        store.addSheet(u"甲"_s, 2440, 1220, 1280000);
        store.addSheet(u"乙"_s, QVariant(), 915, QVariant()); // empty cells give empty texts
        store.addPart(u"侧板"_s, 720, 560);
        store.addPart(QVariant(), QVariant(), 100);
        TRowSet library(sheets ? Sql::SheetLibrary : Sql::PartLibrary);
        TfrmSelectData picker;
        picker.addRow({ u"old"_s, {}, {}, {}, {} }); // cleared by the fill

        // Rows saved after the row set was first read are included: filling reads again.
        library.open();
        sheets ? store.addSheet(u"丙"_s, 3050, 1525, 2380000) : store.addPart(u"背板"_s, 784, 704);
        picker.fillFromLibrary(library, sheets);

        QCOMPARE(picker.rowCount(), 3);
        picker.setRowChecked(0, true);
        picker.setRowChecked(1, true);
        picker.setRowChecked(2, true);
        const QList<TPickedRow> expected = sheets
            ? QList<TPickedRow> { { u"1"_s, u"甲"_s, u"2440"_s, u"1220"_s, u"128"_s },
                  { u"2"_s, u"乙"_s, QString(), u"915"_s, QString() },
                  { u"3"_s, u"丙"_s, u"3050"_s, u"1525"_s, u"238"_s } }
            : QList<TPickedRow> { { u"1"_s, u"侧板"_s, u"720"_s, u"560"_s, QString() },
                  { u"2"_s, QString(), QString(), u"100"_s, QString() },
                  { u"3"_s, u"背板"_s, u"784"_s, u"704"_s, QString() } };
        QCOMPARE(picker.checkedRows(), expected);
        // Parts have no price: their list shows no 价格 column.
        QCOMPARE(picker.ListView1->isColumnHidden(4), !sheets);
        // Every row starts unticked, with a tick box, not editable.
        TfrmSelectData fresh;
        fresh.fillFromLibrary(library, sheets);
        QCOMPARE(ticks(fresh), (QStringList { u"-"_s, u"-"_s, u"-"_s }));
        const Qt::ItemFlags flags = fresh.ListView1->topLevelItem(0)->flags();
        QVERIFY(flags & Qt::ItemIsUserCheckable);
        QVERIFY(!(flags & Qt::ItemIsEditable));
    }

    // A name edited elsewhere to megabytes is shown cut short (laying it out froze the list for
    // minutes) and picked whole.
    void hugeName_shownShort_pickedWhole()
    {
        TLibraryStore store;
        const QString huge(2000000, u'板');
        store.addPart(huge, 720, 560);
        TRowSet library(Sql::PartLibrary);
        TfrmSelectData picker;
        picker.fillFromLibrary(library, false);
        picker.show();
        QCOMPARE(picker.ListView1->topLevelItem(0)->text(1).size(), MaxShownTextLength + 1);
        picker.setRowChecked(0, true);
        QCOMPARE(picker.checkedRows().value(0).name, huge);
    }

    void fillFromLibrary_emptyOrUnreadable()
    {
        TLibraryStore store;
        TRowSet library(Sql::PartLibrary);
        TfrmSelectData picker;
        picker.fillFromLibrary(library, false);
        QCOMPARE(picker.rowCount(), 0);
        // An empty list is shown all the same; 确定 gives nothing.
        Dialogs::setNextDialogHandler([](QDialog &d) {
            QTest::mouseClick(static_cast<TfrmSelectData &>(d).btnOK, Qt::LeftButton);
            return d.result();
        });
        QCOMPARE(picker.execute(), QList<TPickedRow>());

        picker.addRow({ u"1"_s, u"x"_s, {}, {}, {} });
        store.exec(u"ALTER TABLE 零件信息表 RENAME TO 旧表"_s);
        QVERIFY_THROWS_EXCEPTION(TDBError, picker.fillFromLibrary(library, false));
        QCOMPARE(picker.rowCount(), 0);
    }

    // The two check boxes act only when they become ticked and keep their own state otherwise.
    // Steps: A / N click 全部选中 / 全部取消; a digit toggles that row (1-based).
    void checkBoxes_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("none");
        QTest::newRow("select all") << u"A"_s << u"xxxxx"_s << true << false;
        QTest::newRow("select all, then clear all") << u"AN"_s << u"-----"_s << false << true;
        QTest::newRow("clear all, then select all") << u"NA"_s << u"xxxxx"_s << true << false;
        QTest::newRow("row untick keeps 全部选中") << u"A2"_s << u"x-xxx"_s << true << false;
        QTest::newRow("unticking 全部选中 keeps rows") << u"AA"_s << u"xxxxx"_s << false << false;
        QTest::newRow("unticking 全部取消 keeps rows") << u"N24N"_s << u"-x-x-"_s << false << false;
        QTest::newRow("rows only") << u"245"_s << u"-x-xx"_s << false << false;
        QTest::newRow("clear all after single ticks") << u"13N"_s << u"-----"_s << false << true;
    }
    void checkBoxes()
    {
        QFETCH(QString, steps);
        QFETCH(QString, rows);
        QFETCH(bool, all);
        QFETCH(bool, none);
        TLibraryStore store;
        seedSheets(store, 5);
        TRowSet library(Sql::SheetLibrary);
        TfrmSelectData picker;
        picker.fillFromLibrary(library, true);
        picker.show();
        for (QChar step : steps) {
            if (step == u'A')
                QTest::mouseClick(picker.chkSelectAll, Qt::LeftButton);
            else if (step == u'N')
                QTest::mouseClick(picker.chkClearAll, Qt::LeftButton);
            else {
                const int row = step.digitValue() - 1;
                picker.setRowChecked(row, !picker.isRowChecked(row));
            }
        }
        QCOMPARE(ticks(picker).join(QString()), rows);
        QCOMPARE(picker.chkSelectAll->isChecked(), all);
        QCOMPARE(picker.chkClearAll->isChecked(), none);
    }

    // What execute() returns for each way the dialog ends, with rows 2 and 4 of five ticked.
    void results_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("picked");
        QTest::newRow("确定") << u"ok"_s << QStringList { u"2"_s, u"4"_s };
        QTest::newRow("取消") << u"cancel"_s << QStringList();
        QTest::newRow("title bar") << u"close"_s << QStringList();
        QTest::newRow("Escape, then 确定") << u"escape-ok"_s << QStringList { u"2"_s, u"4"_s };
    }
    void results()
    {
        QFETCH(QString, end);
        QFETCH(QStringList, picked);
        TLibraryStore store;
        seedSheets(store, 5);
        TRowSet library(Sql::SheetLibrary);
        TfrmSelectData picker;
        picker.setWindowTitle(u"选择原材料"_s);
        picker.fillFromLibrary(library, true);
        Dialogs::setNextDialogHandler([end](QDialog &d) {
            auto &p = static_cast<TfrmSelectData &>(d);
            p.show();
            // Ticking a row's box with the space bar; highlighting rows does not count.
            for (int row : { 1, 3 }) {
                p.ListView1->setCurrentItem(p.ListView1->topLevelItem(row));
                QTest::keyClick(p.ListView1, Qt::Key_Space);
            }
            p.ListView1->setCurrentItem(p.ListView1->topLevelItem(4));
            if (end == u"ok"_s)
                QTest::mouseClick(p.btnOK, Qt::LeftButton);
            else if (end == u"cancel"_s)
                QTest::mouseClick(p.btnCancel, Qt::LeftButton);
            else if (end == u"close"_s)
                p.close();
            else {
                QTest::keyClick(&p, Qt::Key_Escape);
                if (p.isVisible())
                    QTest::mouseClick(p.btnOK, Qt::LeftButton);
            }
            return p.result();
        });
        const QList<TPickedRow> rows = picker.execute();
        QStringList numbers;
        for (const TPickedRow &r : rows)
            numbers << r.no;
        QCOMPARE(numbers, picked);
        if (!rows.isEmpty()) {
            QCOMPARE(rows[0], (TPickedRow { u"2"_s, u"板2"_s, u"2000"_s, u"1000"_s, u"20"_s }));
            QCOMPARE(rows[1], (TPickedRow { u"4"_s, u"板4"_s, u"4000"_s, u"2000"_s, u"40"_s }));
        }
        QVERIFY(!picker.isVisible());
        // The ticks stay readable whatever the result.
        QCOMPARE(picker.checkedRows().size(), 2);
    }
};

QTEST_MAIN(TestSelectData)
#include "tst_selectdata.moc"
