// The two library editors: layout, renumbering of Name, the Enter walk, typing into numeric
// cells, deleting, the empty library, store errors, and living in the main window (open, raise,
// close without saving, reopen).

#include "DBNavigator.h"
#include "ImportDialog.h"
#include "LibraryFixture.h"
#include "ShadowPanel.h"
#include "ShellWidgets.h"
#include "Startup.h"
#include "fmLJinfo.h"
#include "fmMainC.h"
#include "fmYCLinfo.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

using namespace Qt::StringLiterals;
using namespace LibraryTest;

namespace {

// An editor shown as a window of its own. It destroys itself when closed; whatever is left is
// deleted at the end of the test.
class TShownEditor
{
public:
    explicit TShownEditor(bool sheets)
    {
        if (sheets)
            FEditor = new TfrmYCLinfo;
        else
            FEditor = new TfrmLJinfo;
        FEditor->resize(640, 620);
        if (!showActive(FEditor))
            qWarning("editor window did not become active");
    }
    ~TShownEditor() { delete FEditor.data(); }
    TShownEditor(const TShownEditor &) = delete;
    TShownEditor &operator=(const TShownEditor &) = delete;

    TfrmLibraryEditor *operator->() const { return FEditor; }
    TfrmLibraryEditor *get() const { return FEditor; }

private:
    QPointer<TfrmLibraryEditor> FEditor;
};

// Clicks a cell to make it current. A click on the current cell would instead start a delayed
// edit (the view's own double-click guard), so the current cell is left alone.
QStringList rowSetColumn(TRowSet &rs, const QString &field)
{
    QStringList out;
    const int c = rs.fieldIndex(field);
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.data(rs.index(r, c)).toString();
    return out;
}

void seedParts(TLibraryStore &store, const QStringList &names)
{
    int n = 0;
    for (const QString &name : names) {
        ++n;
        store.addPart(name, 100 * n, 10 * n);
    }
}

void seedSheets(TLibraryStore &store, const QStringList &names)
{
    int n = 0;
    for (const QString &name : names) {
        ++n;
        store.addSheet(name, 1000 * n, 500 * n, 100000 * n);
    }
}

void deleteClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestLibraryEditors : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The main window keeps view settings per user: here in a folder of this process.
        QStandardPaths::setTestModeEnabled(true);
        const QString base
            = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY(QDir().mkpath(base));
        static QTemporaryDir settingsDir(base + u"/pnx-library-XXXXXX"_s);
        QVERIFY(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        Startup::initApplication();
        Dialogs::setCapture(true);
    }

    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }

    void cleanup()
    {
        deleteClosed();
        QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked");
    }

    void layout_data()
    {
        QTest::addColumn<bool>("sheets");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<QSize>("gridSize");
        QTest::newRow("part library")
            << false << QStringList { u"名称"_s, u"长"_s, u"宽"_s, u"纹理"_s }
            << QList<int> { 95, 100, 117, 50 } << QSize(497, 520) << QSize(433, 431);
        // Grain, trim and stock make the sheet library wider than the panel of the others.
        QTest::newRow("sheet library")
            << true
            << QStringList { u"名称"_s, u"长"_s, u"宽"_s, u"价格"_s, u"纹理"_s, u"修边"_s,
                   u"库存"_s }
            << QList<int> { 95, 100, 117, 72, 50, 50, 50 } << QSize(638, 520) << QSize(574, 431);
    }
    void layout()
    {
        QFETCH(bool, sheets);
        QFETCH(QStringList, titles);
        QFETCH(QList<int>, widths);
        QFETCH(QSize, panel);
        QFETCH(QSize, gridSize);
        TLibraryStore store;
        sheets ? seedSheets(store, { u"a"_s }) : seedParts(store, { u"a"_s });
        TShownEditor e(sheets);
        TDBGrid *grid = e->grdLJ;

        // Only the library's own columns, titled and sized, titles centred; the row key the
        // row set keeps is no column at all.
        QCOMPARE(grid->gridColumnCount(), titles.size());
        QCOMPARE(e->ADOMaterials->fieldCount(), titles.size());
        for (int i = 0; i < titles.size(); ++i) {
            const int section = grid->cellIndex(0, i).column();
            QCOMPARE(grid->horizontalHeader()->visualIndex(section), i);
            QCOMPARE(grid->model()->headerData(section, Qt::Horizontal).toString(), titles[i]);
            QCOMPARE(
                grid->model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                int(Qt::AlignCenter));
            QCOMPARE(grid->columnWidth(section), widths[i]);
        }
        QCOMPARE(grid->palette().color(QPalette::Base), QColor(250, 245, 220));
        QVERIFY(grid->alternatingRowColors());

        // Tool bar: 关闭, a separator, the four row commands, a separator and 导入, with their
        // hints.
        const QList<QAction *> tools = e->ToolBar1->actions();
        QCOMPARE(tools.size(), 8);
        QVERIFY(tools[1]->isSeparator());
        QVERIFY(tools[6]->isSeparator());
        const QList<QAction *> commands
            = { tools[0], tools[2], tools[3], tools[4], tools[5], tools[7] };
        QCOMPARE(commands,
            (QList<QAction *> {
                e->actClose, e->actAdd, e->actDel, e->actModify, e->actSave, e->actImport }));
        QStringList hints;
        for (QAction *a : commands)
            hints << a->text() + u'|' + a->toolTip() + u'|' + a->statusTip();
        QCOMPARE(hints,
            (QStringList { u"关闭|关闭|关闭此窗体"_s, u"增加一行|增加一行|增加一条记录"_s,
                u"删除一行|删除一行|删除选中的记录"_s, u"修改数据|修改数据|修改选中的记录"_s,
                u"保存数据|保存数据|保存数据"_s, u"导入|导入|从Excel或CSV文件导入"_s }));
        QCOMPARE(e->ToolBar1->height(), 46);
        QCOMPARE(e->ToolBar1->widgetForAction(e->actAdd)->width(), 65);
        QCOMPARE(e->ToolBar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

        // The navigator with its ten buttons and hints, above the grid in the fixed panel.
        QStringList tips;
        for (TDBNavigator::TNavigateBtn b : TDBNavigator::allButtons()) {
            QVERIFY(e->DBNavigator1->button(b)->isVisible());
            tips << e->DBNavigator1->button(b)->toolTip();
        }
        QCOMPARE(tips,
            (QStringList { u"第一条"_s, u"上一条"_s, u"下一条"_s, u"最后条"_s, u"插入"_s, u"删除"_s,
                u"编辑"_s, u"提交"_s, u"放弃"_s, u"刷新"_s }));
        QCOMPARE(e->pnlLibrary->size(), panel);
        QCOMPARE(e->pnlNavigator->size(), QSize(432, 35));
        QCOMPARE(grid->size(), gridSize);
        QVERIFY(e->pnlNavigator->geometry().bottom() < grid->geometry().top());
        // The panel keeps its size and place when the editor grows.
        e->resize(1000, 800);
        QCOMPARE(e->pnlLibrary->size(), panel);
        QCOMPARE(e->pnlLibrary->x(), 0);
    }

    // Any new row, whichever command adds it, renames every row by its position; the current
    // row ends as the last one. The names reach the file with the next save.
    void addingRow_numbersRowsKeepingTypedNames_data()
    {
        QTest::addColumn<bool>("sheets");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("newRowAt"); // 1-based position of the new, empty row
        // The file keeps rows in the order they were added: an inserted row goes last there.
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("saved");
        // Numbered rows take their position, the name typed ("x") stays.
        const QStringList atEnd { u"1"_s, u"2"_s, u"x"_s, u"4"_s };
        QTest::newRow("增加一行, parts") << false << u"add"_s << 4 << atEnd << atEnd;
        QTest::newRow("增加一行, sheets") << true << u"add"_s << 4 << atEnd << atEnd;
        QTest::newRow("navigator insert on row 2")
            << false << u"insert"_s << 2 << QStringList { u"1"_s, u"2"_s, u"3"_s, u"x"_s }
            << QStringList { u"1"_s, u"3"_s, u"x"_s, u"2"_s };
        QTest::newRow("Enter at the end of the last row")
            << false << u"enter"_s << 4 << atEnd << atEnd;
    }
    void addingRow_numbersRowsKeepingTypedNames()
    {
        QFETCH(bool, sheets);
        QFETCH(QString, how);
        QFETCH(int, newRowAt);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, saved);
        TLibraryStore store;
        const QStringList seeded { u"5"_s, u"9"_s, u"x"_s };
        sheets ? seedSheets(store, seeded) : seedParts(store, seeded);
        TShownEditor e(sheets);
        TRowSet &rs = *e->ADOMaterials;
        QCOMPARE(rowSetColumn(rs, u"Name"_s), seeded);

        if (how == u"add"_s) {
            e->actAdd->trigger();
        } else if (how == u"insert"_s) {
            clickCell(e->grdLJ, 1, 1);
            QCOMPARE(rs.recNo(), 2);
            QTest::mouseClick(e->DBNavigator1->button(TDBNavigator::nbInsert), Qt::LeftButton);
        } else {
            clickCell(e->grdLJ, 2, e->grdLJ->gridColumnCount() - 1);
            pressEnter(e->grdLJ);
        }

        QCOMPARE(rowSetColumn(rs, u"Name"_s), shown);
        QCOMPARE(rowSetColumn(rs, u"Length"_s).indexOf(QString()), newRowAt - 1);
        QCOMPARE(rs.recNo(), 4);
        QCOMPARE(rs.state(), dsBrowse);
        QCOMPARE(e->grdLJ->currentIndex().row(), 3);
        QCOMPARE(columnTexts(e->grdLJ, 0), rowSetColumn(rs, u"Name"_s));
        // Nothing is written yet.
        const QString table = sheets ? u"原材料信息表"_s : u"零件信息表"_s;
        QCOMPARE(store.column(u"SELECT Name FROM %1 ORDER BY rowid"_s.arg(table)), seeded);

        // Given its sizes (a row left without any is dropped at saving), the new row is saved
        // with the others under the new names.
        rs.setRecNo(newRowAt);
        rs.edit();
        rs.field(u"Length"_s).setAsInteger(300);
        rs.field(u"Width"_s).setAsInteger(30);
        rs.post();
        e->actSave->trigger();
        QCOMPARE(store.column(u"SELECT Name FROM %1 ORDER BY rowid"_s.arg(table)), saved);
        QVERIFY(!rs.hasPendingChanges());
    }

    // Enter moves right along a row; from the last column to the 长 cell of the next row,
    // appending a row (named by the new count) at the end.
    void enterKey_walk_data()
    {
        QTest::addColumn<bool>("sheets");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toColumn");
        QTest::addColumn<int>("rows");
        QTest::newRow("parts: 名称 → 长") << false << 1 << 0 << 1 << 1 << 3;
        QTest::newRow("parts: 长 → 宽") << false << 1 << 1 << 1 << 2 << 3;
        QTest::newRow("parts: 宽 → 纹理") << false << 1 << 2 << 1 << 3 << 3;
        QTest::newRow("parts: 纹理 of a middle row → next 长") << false << 1 << 3 << 2 << 1 << 3;
        QTest::newRow("parts: 纹理 of the last row → new row") << false << 2 << 3 << 3 << 1 << 4;
        QTest::newRow("sheets: 宽 → 价格") << true << 2 << 2 << 2 << 3 << 3;
        QTest::newRow("sheets: 库存 of a middle row → next 长") << true << 0 << 6 << 1 << 1 << 3;
        QTest::newRow("sheets: 库存 of the last row → new row") << true << 2 << 6 << 3 << 1 << 4;
    }
    void enterKey_walk()
    {
        QFETCH(bool, sheets);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, toRow);
        QFETCH(int, toColumn);
        QFETCH(int, rows);
        TLibraryStore store;
        const QStringList seeded { u"1"_s, u"2"_s, u"3"_s };
        sheets ? seedSheets(store, seeded) : seedParts(store, seeded);
        TShownEditor e(sheets);
        TRowSet &rs = *e->ADOMaterials;
        clickCell(e->grdLJ, row, column);
        QCOMPARE(rs.recNo(), row + 1);

        pressEnter(e->grdLJ);
        QCOMPARE(rs.recordCount(), rows);
        QCOMPARE(rs.recNo(), toRow + 1);
        QCOMPARE(e->grdLJ->selectedIndex(), toColumn);
        QCOMPARE(e->grdLJ->currentIndex(), e->grdLJ->cellIndex(toRow, toColumn));
        QCOMPARE(rs.field(u"Name"_s).asString(), QString::number(toRow + 1));
        QCOMPARE(rs.hasPendingChanges(), rows > seeded.size());
    }

    // Typing a whole row with Enter between the cells: each value lands in its cell and the
    // walk goes on into a new row.
    void enterKey_withOpenEditor_storesTextAndWalksOn()
    {
        TLibraryStore store;
        seedSheets(store, { u"1"_s });
        TShownEditor e(true);
        TRowSet &rs = *e->ADOMaterials;
        TDBGrid *grid = e->grdLJ;
        e->actAdd->trigger();
        QCOMPARE(rs.recNo(), 2);
        QCOMPARE(grid->selectedIndex(), 1); // the new row's 长 comes next

        type(grid, u"2440"_s);
        QVERIFY(grid->indexWidget(grid->currentIndex())); // the cell editor is open
        pressEnter(grid);
        QVERIFY(!grid->indexWidget(grid->currentIndex()));
        QCOMPARE(grid->selectedIndex(), 2);
        type(grid, u"1220"_s);
        pressEnter(grid);
        type(grid, u"88.5"_s);
        pressEnter(grid);
        // 纹理, 修边 and 库存 left as they are: on into a new row.
        QCOMPARE(grid->selectedIndex(), 4);
        pressEnter(grid);
        pressEnter(grid);
        pressEnter(grid);

        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(rs.recNo(), 3);
        QCOMPARE(grid->currentIndex(), grid->cellIndex(2, 1));
        QCOMPARE(columnTexts(grid, 0), (QStringList { u"1"_s, u"2"_s, u"3"_s }));
        rs.setRecNo(2);
        QCOMPARE(rs.field(u"Length"_s).asInteger(), 2440);
        QCOMPARE(rs.field(u"Width"_s).asInteger(), 1220);
        QCOMPARE(rs.field(u"Price"_s).asCurrency().units(), 885000);

        // The row the walk appended last holds nothing: saving drops it.
        e->actSave->trigger();
        QCOMPARE(store.column(u"SELECT Name || ':' || ifnull(Length, '') || ':' || "
                              "ifnull(Width, '') || ':' || ifnull(Price, '') "
                              "FROM 原材料信息表 ORDER BY rowid"_s),
            (QStringList { u"1:1000:500:100000"_s, u"2:2440:1220:885000"_s }));
        QCOMPARE(rs.recordCount(), 2);
    }

    // A numeric cell refuses, key by key, what its column cannot hold; Name takes anything.
    void typing_numericCellsRefuseInvalidCharacters_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("letter in 长") << 1 << u"12a3"_s << u"123"_s;
        QTest::newRow("leading sign kept") << 1 << u"-4x5"_s << u"-45"_s;
        QTest::newRow("sign inside refused") << 2 << u"4-5+"_s << u"45"_s;
        QTest::newRow("no decimal point in 宽") << 2 << u"1.5"_s << u"15"_s;
        QTest::newRow("beyond 32 bits refused") << 1 << u"99999999999"_s << u"999999999"_s;
        QTest::newRow("blank refused") << 1 << u"1 2"_s << u"12"_s;
        QTest::newRow("price with point") << 3 << u"12.5x"_s << u"12.5"_s;
        QTest::newRow("price: fifth decimal refused") << 3 << u"3.14159"_s << u"3.1415"_s;
        QTest::newRow("price: second point refused") << 3 << u"1.2.3"_s << u"1.23"_s;
        QTest::newRow("price: comma refused") << 3 << u"7,5"_s << u"75"_s;
        QTest::newRow("name is free text") << 0 << u"a板-1.x 甲"_s << u"a板-1.x 甲"_s;
        QTest::newRow("name typed by an input method") << 0 << u"板"_s << u"板"_s;
    }
    void typing_numericCellsRefuseInvalidCharacters()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TLibraryStore store;
        seedSheets(store, { u"1"_s, u"2"_s });
        TShownEditor e(true);
        clickCell(e->grdLJ, 0, column);
        type(e->grdLJ, typed);
        pressEnter(e->grdLJ);
        const QString field = e->grdLJ->columns().at(column).fieldName;
        e->ADOMaterials->setRecNo(1);
        QCOMPARE(e->ADOMaterials->field(field).asString(), stored);
    }

    // A refused key is not dropped silently: the cell turns red and a tip says why. A text the
    // column cannot take names the column by its title.
    void numericCell_tellsWhatItRefuses()
    {
        TLibraryStore store;
        seedSheets(store, { u"1"_s });
        TShownEditor e(true);
        clickCell(e->grdLJ, 0, 1);
        type(e->grdLJ, u"99999999999"_s);
        auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(line);
        QCOMPARE(line->text(), u"999999999"_s);
        QCOMPARE(line->palette().color(QPalette::Base), TDBGridDelegate::refusedColor());
        QVERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(u"2147483647"_s), qPrintable(QToolTip::text()));
        QTest::keyClick(line, Qt::Key_Backspace); // a key it takes: back to normal
        QVERIFY(line->palette().color(QPalette::Base) != TDBGridDelegate::refusedColor());
        QTRY_VERIFY(!QToolTip::isVisible());
        type(e->grdLJ, u"x"_s);
        QVERIFY(QToolTip::text().contains(u"整数"_s));
        QTest::keyClick(line, Qt::Key_Escape);

        // "-" is unfinished input the cell lets through; the row set refuses it on Enter.
        clickCell(e->grdLJ, 0, 2);
        type(e->grdLJ, u"-"_s);
        pressEnter(e->grdLJ);
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"“宽”"_s) && !errors[0].contains(u"Width"_s),
            qPrintable(errors[0]));
    }

    // 保存数据 lists every row that can never be cut in one message and saves nothing until
    // they are fixed; a row left without sizes and price is dropped instead.
    void save_refusesRowsThatCannotBeCut()
    {
        TLibraryStore store;
        seedSheets(store, { u"1"_s });
        TShownEditor e(true);
        TRowSet &rs = *e->ADOMaterials;
        struct Row
        {
            QString length, width, price;
        };
        const QList<Row> rows {
            { u"0"_s, u"1220"_s, u"50"_s }, // row 2
            { u"2440"_s, u"-5"_s, u""_s }, { u"2440"_s, u"-1500"_s, u"80"_s },
            { u"2440"_s, u"1220"_s, u"99999999999"_s }, { u"2440"_s, u"1220"_s, u"-1"_s },
            { u""_s, u"1220"_s, u"10"_s }, { u""_s, u""_s, u""_s }, // row 8: left blank
            { u"600"_s, u"0"_s, u"0"_s }, // row 9, with a name of its own
            { u"2440"_s, u"1220"_s, u"1000000"_s }, // the largest price
        };
        for (const Row &r : rows) {
            rs.append();
            rs.edit();
            rs.field(u"Length"_s).setAsString(r.length);
            rs.field(u"Width"_s).setAsString(r.width);
            rs.field(u"Price"_s).setAsString(r.price);
            rs.post();
        }
        rs.setRecNo(9);
        rs.edit();
        rs.field(u"Name"_s).setAsString(u"侧板X"_s);
        rs.post();
        const QString before = store.dump();

        e->actSave->trigger();
        const QStringList shown = Dialogs::takeCaptured();
        QCOMPARE(shown.size(), 1);
        QStringList lines = shown[0].split(u'\n');
        QVERIFY2(lines.takeFirst().contains(u"什么都没有保存"_s), qPrintable(shown[0]));
        QCOMPARE(lines,
            (QStringList { u"第2行 长：必须大于0"_s, u"第3行 宽：必须大于0"_s,
                u"第4行 宽：必须大于0"_s, u"第5行 价格：不能大于1000000"_s,
                u"第6行 价格：不能小于0"_s, u"第7行 长：不能为空"_s,
                u"第9行（侧板X） 宽：必须大于0"_s }));
        QCOMPARE(store.dump(), before);
        QCOMPARE(rs.recordCount(), 10);
        QVERIFY(rs.hasPendingChanges());

        // Fixed, the rows are saved; the blank one is dropped.
        for (int recNo : { 2, 3, 4, 5, 6, 7, 9 }) {
            rs.setRecNo(recNo);
            rs.edit();
            rs.field(u"Length"_s).setAsInteger(1000 + recNo);
            rs.field(u"Width"_s).setAsInteger(500);
            rs.field(u"Price"_s).setAsString(u"12.5"_s);
            rs.post();
        }
        e->actSave->trigger();
        QVERIFY(Dialogs::takeCaptured().isEmpty());
        QVERIFY(!rs.hasPendingChanges());
        QCOMPARE(rs.recordCount(), 9);
        QCOMPARE(store.column(u"SELECT Name FROM 原材料信息表 ORDER BY rowid"_s),
            (QStringList {
                u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"侧板X"_s, u"10"_s }));
        QCOMPARE(store
                     .scalar(u"SELECT count(*) FROM 原材料信息表 WHERE Length IS NULL "
                             "OR Width IS NULL"_s)
                     .toInt(),
            0);
    }

    // The part library: no price to check; an empty or zero size is refused the same way.
    void save_partLibrary_refusesZeroSize_dropsBlankRow()
    {
        TLibraryStore store;
        seedParts(store, { u"1"_s });
        TShownEditor e(false);
        TRowSet &rs = *e->ADOMaterials;
        e->actAdd->trigger();
        type(e->grdLJ, u"300"_s);
        pressEnter(e->grdLJ);
        type(e->grdLJ, u"0"_s);
        pressEnter(e->grdLJ); // to 纹理
        pressEnter(e->grdLJ); // on into a new, blank row
        QCOMPARE(rs.recordCount(), 3);
        e->actSave->trigger();
        QCOMPARE(Dialogs::takeCaptured().size(), 1);
        QCOMPARE(store.scalar(u"SELECT count(*) FROM 零件信息表"_s).toInt(), 1);

        rs.setRecNo(2);
        rs.edit();
        rs.field(u"Width"_s).setAsInteger(40);
        e->actSave->trigger();
        QVERIFY(Dialogs::takeCaptured().isEmpty());
        QCOMPARE(store.column(u"SELECT Name || ':' || Length || ':' || Width FROM 零件信息表 "
                              "ORDER BY rowid"_s),
            (QStringList { u"1:100:10"_s, u"2:300:40"_s }));
    }

    void deleting_toolBarAsksNothing_navigatorAsksFirst()
    {
        TLibraryStore store;
        seedParts(store, { u"1"_s, u"2"_s, u"3"_s, u"4"_s });
        TShownEditor e(false);
        TRowSet &rs = *e->ADOMaterials;
        clickCell(e->grdLJ, 1, 1);

        e->actDel->trigger(); // no question: capture would have recorded one
        QCOMPARE(rowSetColumn(rs, u"Name"_s), (QStringList { u"1"_s, u"3"_s, u"4"_s }));
        QVERIFY(Dialogs::takeCaptured().isEmpty());

        QToolButton *del = e->DBNavigator1->button(TDBNavigator::nbDelete);
        QTest::mouseClick(del, Qt::LeftButton); // asked, no answer: counts as Cancel
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"?确实要删除当前记录吗？"_s });
        QCOMPARE(rs.recordCount(), 3);

        Dialogs::setNextAnswer(false);
        QTest::mouseClick(del, Qt::LeftButton);
        QCOMPARE(rs.recordCount(), 3);
        Dialogs::setNextAnswer(true);
        QTest::mouseClick(del, Qt::LeftButton);
        QCOMPARE(rowSetColumn(rs, u"Name"_s), (QStringList { u"1"_s, u"4"_s }));

        // Deleted rows leave the file with the save, not before.
        QCOMPARE(store.column(u"SELECT Name FROM 零件信息表"_s).size(), 4);
        e->actSave->trigger();
        QCOMPARE(store.column(u"SELECT Name FROM 零件信息表 ORDER BY rowid"_s),
            (QStringList { u"1"_s, u"4"_s }));
    }

    void emptyLibrary_deleteReportsError_modifyStartsRow()
    {
        TLibraryStore store;
        TShownEditor e(false);
        TRowSet &rs = *e->ADOMaterials;
        QCOMPARE(rs.recordCount(), 0);

        e->actDel->trigger();
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"没有可删除的记录：数据集是空的."_s });
        QCOMPARE(rs.recordCount(), 0);

        e->actModify->trigger();
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.field(u"Name"_s).asString(), u"1"_s);
        QCOMPARE(rs.recNo(), 1);
        QCOMPARE(rs.state(), dsBrowse); // the renumbering posted it
        clickCell(e->grdLJ, 0, 1);
        type(e->grdLJ, u"5"_s);
        pressEnter(e->grdLJ);
        type(e->grdLJ, u"4"_s);
        pressEnter(e->grdLJ); // walks on into a new row, which saving drops
        e->actSave->trigger();
        QCOMPARE(store.column(u"SELECT Name || ':' || Length || ':' || Width FROM 零件信息表"_s),
            QStringList { u"1:5:4"_s });

        // 删除一行 while a new row is still being entered cancels that row.
        e->actAdd->trigger();
        rs.insert();
        QCOMPARE(rs.recordCount(), 3);
        rs.edit();
        e->actDel->trigger();
        QCOMPARE(rs.recordCount(), 2);
    }

    // A failed save is reported and changes nothing: the changes stay pending and a later save
    // writes them. A library that cannot be read is reported when the editor shows.
    void storeErrors_areReported_changesStayPending()
    {
        TLibraryStore store;
        seedParts(store, { u"a"_s, u"b"_s });
        TShownEditor e(false);
        TRowSet &rs = *e->ADOMaterials;
        e->actAdd->trigger();
        type(e->grdLJ, u"720"_s);
        pressEnter(e->grdLJ);
        type(e->grdLJ, u"36"_s);
        QVERIFY(e->grdLJ->commitEditor());

        store.exec(u"CREATE TRIGGER refuse BEFORE INSERT ON 零件信息表 "
                   "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"_s);
        e->actSave->trigger();
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"disk is full"_s), qPrintable(errors[0]));
        QVERIFY(rs.hasPendingChanges());
        QCOMPARE(rowSetColumn(rs, u"Name"_s), (QStringList { u"a"_s, u"b"_s, u"3"_s }));
        QCOMPARE(store.column(u"SELECT Name FROM 零件信息表 ORDER BY rowid"_s),
            (QStringList { u"a"_s, u"b"_s }));

        store.exec(u"DROP TRIGGER refuse"_s);
        e->actSave->trigger();
        QVERIFY(!rs.hasPendingChanges());
        QCOMPARE(store.column(u"SELECT Name || ':' || ifnull(Length, '') FROM 零件信息表 "
                              "ORDER BY rowid"_s),
            (QStringList { u"a:100"_s, u"b:200"_s, u"3:720"_s }));
        QCOMPARE(store.scalar(u"SELECT Width FROM 零件信息表 WHERE Name = '3'"_s).toInt(), 36);

        store.exec(u"ALTER TABLE 零件信息表 RENAME TO 零件信息表_old"_s);
        TShownEditor second(false);
        QCOMPARE(Dialogs::takeCaptured().size(), 1);
        QVERIFY(!second->ADOMaterials->isOpen());
        QCOMPARE(second->grdLJ->model()->rowCount(), 0);
    }

    // In the main window: F3 and F4 open the editors, later presses raise them without reading
    // again; hiding the main window (to the tray) keeps the edits; 关闭 discards them and the
    // next press builds a fresh editor showing the stored library.
    void inMainWindow_openRaiseCloseReopen_data()
    {
        QTest::addColumn<bool>("sheets");
        QTest::newRow("F3 part library") << false;
        QTest::newRow("F4 sheet library") << true;
    }
    void inMainWindow_openRaiseCloseReopen()
    {
        QFETCH(bool, sheets);
        TLibraryStore store;
        seedParts(store, { u"侧板"_s, u"底板"_s });
        seedSheets(store, { u"2440×1220"_s });
        const QStringList stored
            = sheets ? QStringList { u"2440×1220"_s } : QStringList { u"侧板"_s, u"底板"_s };
        const Qt::Key key = sheets ? Qt::Key_F4 : Qt::Key_F3;
        auto slot = [sheets]() -> TfrmLibraryEditor * {
            return sheets ? static_cast<TfrmLibraryEditor *>(frmYCLinfo)
                          : static_cast<TfrmLibraryEditor *>(frmLJinfo);
        };

        auto w = std::make_unique<TfrmMainC>();
        QVERIFY(showActive(w.get()));
        QVERIFY(w->actLJ->isEnabled() && w->actMaterial->isEnabled());
        QTest::keyClick(w.get(), key);
        TfrmLibraryEditor *first = slot();
        QVERIFY(first);
        QCOMPARE(first->parentWidget(), w->pnlMain);
        QCOMPARE(w->pnlMain->frontWidget(), first);
        QCOMPARE(w->rzpnlHeader->text(), sheets ? u"原材料管理"_s : u"零件管理"_s);
        QCOMPARE(columnTexts(first->grdLJ, 0), stored);

        first->actAdd->trigger();
        type(first->grdLJ, u"123"_s);
        pressEnter(first->grdLJ);
        const QStringList edited = columnTexts(first->grdLJ, 0);
        QCOMPARE(edited.size(), stored.size() + 1);

        QTest::keyClick(w.get(), sheets ? Qt::Key_F3 : Qt::Key_F4); // the other editor
        QTest::keyClick(w.get(), key); // raised again, not read again
        QCOMPARE(slot(), first);
        QCOMPARE(w->pnlMain->frontWidget(), first);
        QCOMPARE(columnTexts(first->grdLJ, 0), edited);

        w->hide(); // to the tray and back
        QVERIFY(showActive(w.get()));
        QCOMPARE(columnTexts(first->grdLJ, 0), edited);
        QVERIFY(first->ADOMaterials->hasPendingChanges());

        first->actClose->trigger();
        deleteClosed();
        QVERIFY(!slot());
        QTest::keyClick(w.get(), key);
        QVERIFY(slot());
        QCOMPARE(columnTexts(slot()->grdLJ, 0), stored);
        QVERIFY(!slot()->ADOMaterials->hasPendingChanges());

        w.reset();
        QVERIFY(!frmLJinfo && !frmYCLinfo);
    }

    // Opened while another program held the file: the editor reports it and stays empty; once
    // the lock is gone, a command of the editor or pressing F3 again reads the library.
    void lockedWhenOpened_readOnceTheLockIsGone()
    {
        TLibraryStore store;
        seedParts(store, { u"侧板"_s, u"底板"_s });
        auto w = std::make_unique<TfrmMainC>();
        QVERIFY(showActive(w.get()));
        auto lock = [&] { QVERIFY(QSqlQuery(store.raw()).exec(u"BEGIN EXCLUSIVE"_s)); };
        auto unlock = [&] { QVERIFY(QSqlQuery(store.raw()).exec(u"ROLLBACK"_s)); };
        auto openedLocked = [&] {
            lock();
            QTest::keyClick(w.get(), Qt::Key_F3);
            const QStringList errors = Dialogs::takeCaptured();
            QCOMPARE(errors.size(), 1);
            QVERIFY2(errors[0].contains(u"其他程序使用"_s), qPrintable(errors[0]));
            QVERIFY(frmLJinfo);
            QCOMPARE(frmLJinfo->grdLJ->model()->rowCount(), 0);
            unlock();
        };

        openedLocked();
        frmLJinfo->actAdd->trigger(); // reads the library, adds nothing yet
        QCOMPARE(columnTexts(frmLJinfo->grdLJ, 0), (QStringList { u"侧板"_s, u"底板"_s }));
        QVERIFY(!frmLJinfo->ADOMaterials->hasPendingChanges());
        frmLJinfo->actClose->trigger();
        deleteClosed();

        openedLocked();
        QTest::keyClick(w.get(), Qt::Key_F3); // raised again: the file is opened again
        QTRY_COMPARE(columnTexts(frmLJinfo->grdLJ, 0), (QStringList { u"侧板"_s, u"底板"_s }));
        QVERIFY(Dialogs::takeCaptured().isEmpty());
    }

    // 导入: the dialog's rows go to the end of the library in one step and are renumbered; a
    // file with a bad row adds nothing. Imported rows are pending like typed ones.
    void import_addsEveryRowOrNone_data()
    {
        QTest::addColumn<bool>("sheets");
        QTest::newRow("part library") << false;
        QTest::newRow("sheet library") << true;
    }
    void import_addsEveryRowOrNone()
    {
        QFETCH(bool, sheets);
        TLibraryStore store;
        sheets ? seedSheets(store, { u"a"_s }) : seedParts(store, { u"a"_s });
        TShownEditor e(sheets);
        TRowSet &rs = *e->ADOMaterials;
        QTemporaryDir dir;
        auto write = [&dir](const QString &name, const QString &text) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0)
                qFatal("cannot write");
            return f.fileName();
        };
        const QString bad
            = write(u"bad.csv"_s, u"名称,长,宽,价格\n侧板,720mm,560,1\n顶板,800,560,2\n"_s);
        const QString good
            = write(u"good.csv"_s, u"名称,长,宽,价格\n侧板,720,560,12.5\n顶板,800,560,\n"_s);
        const QString table = sheets ? u"原材料信息表"_s : u"零件信息表"_s;

        QStringList seen;
        auto loadAndAccept = [&seen](const QString &path) {
            Dialogs::setNextDialogHandler([&seen, path](QDialog &dialog) {
                auto &d = dynamic_cast<TImportDialog &>(dialog);
                d.loadFile(path);
                seen << u"%1 problems, import %2"_s.arg(d.problems().size())
                            .arg(d.btnImport->isEnabled());
                return int(QDialog::Accepted);
            });
        };
        loadAndAccept(bad);
        e->actImport->trigger();
        QCOMPARE(seen.takeFirst(), u"1 problems, import 0"_s);
        QCOMPARE(rs.recordCount(), 1);
        QVERIFY(!rs.hasPendingChanges());

        loadAndAccept(good);
        e->actImport->trigger();
        QCOMPARE(seen.takeFirst(), u"0 problems, import 1"_s);
        QCOMPARE(rowSetColumn(rs, u"Name"_s), QStringList({ u"a"_s, u"侧板"_s, u"顶板"_s }));
        QCOMPARE(rowSetColumn(rs, u"Length"_s),
            QStringList({ sheets ? u"1000"_s : u"100"_s, u"720"_s, u"800"_s }));
        if (sheets)
            QCOMPARE(rowSetColumn(rs, u"Price"_s), QStringList({ u"10"_s, u"12.5"_s, QString() }));
        QCOMPARE(rs.recNo(), 3);
        QCOMPARE(store.scalar(u"select count(*) from "_s + table).toInt(), 1);
        e->actSave->trigger();
        QCOMPARE(store.scalar(u"select count(*) from "_s + table).toInt(), 3);

        // Cancelled: nothing.
        Dialogs::setNextDialogHandler([](QDialog &) { return int(QDialog::Rejected); });
        e->actImport->trigger();
        QCOMPARE(rs.recordCount(), 3);
    }

    // Ctrl+V in the grid: rows copied from a spreadsheet, checked like an imported file, added
    // at the end with their names; rows without a name are numbered.
    void paste_addsRowsAtTheEndNumbered()
    {
        TLibraryStore store;
        seedParts(store, { u"a"_s, u"b"_s });
        TShownEditor e(false);
        TRowSet &rs = *e->ADOMaterials;
        e->grdLJ->setFocus();
        QGuiApplication::clipboard()->setText(u"侧板\t720\t560\r\n\t800\t560\r\n"_s);
        QTest::keyClick(e->grdLJ, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rowSetColumn(rs, u"Name"_s), QStringList({ u"a"_s, u"b"_s, u"侧板"_s, u"4"_s }));
        QCOMPARE(
            rowSetColumn(rs, u"Length"_s), QStringList({ u"100"_s, u"200"_s, u"720"_s, u"800"_s }));
        QCOMPARE(
            rowSetColumn(rs, u"Width"_s), QStringList({ u"10"_s, u"20"_s, u"560"_s, u"560"_s }));

        QGuiApplication::clipboard()->setText(u"背板\t764\t716\r\n隔板\t560\t-1\r\n"_s);
        QTest::keyClick(e->grdLJ, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rs.recordCount(), 4);
        const QStringList messages = Dialogs::takeCaptured();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(u"第2行 宽（C列）：“-1”必须大于0"_s),
            qPrintable(messages.first()));
    }

    void validator_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("state");
        const int I = TNumericValidator::Integer, C = TNumericValidator::Currency,
                  F = TNumericValidator::Float;
        const int ok = QValidator::Acceptable, half = QValidator::Intermediate,
                  bad = QValidator::Invalid;
        QTest::newRow("int empty") << I << QString() << half;
        QTest::newRow("int sign") << I << u"-"_s << half;
        QTest::newRow("int plus digits") << I << u"+12"_s << ok;
        QTest::newRow("int max") << I << u"2147483647"_s << ok;
        QTest::newRow("int max+1") << I << u"2147483648"_s << bad;
        QTest::newRow("int min") << I << u"-2147483648"_s << ok;
        QTest::newRow("int full-width digit") << I << u"１"_s << bad;
        QTest::newRow("int point") << I << u"1."_s << bad;
        QTest::newRow("cur point only") << C << u"."_s << half;
        QTest::newRow("cur trailing point") << C << u"12."_s << ok;
        QTest::newRow("cur four decimals") << C << u"-0.0001"_s << ok;
        QTest::newRow("cur five decimals") << C << u"0.00001"_s << bad;
        QTest::newRow("cur exponent") << C << u"1e3"_s << bad;
        QTest::newRow("cur huge") << C << u"99999999999999999999"_s << bad;
        QTest::newRow("float exponent open") << F << u"1e"_s << half;
        QTest::newRow("float exponent") << F << u"-1.5E-3"_s << ok;
        QTest::newRow("float exponent first") << F << u"e5"_s << bad;
        QTest::newRow("float overflow") << F << u"1e999"_s << bad;
    }
    void validator()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(int, state);
        const TNumericValidator v { TNumericValidator::TKind(kind) };
        int pos = int(text.size());
        QCOMPARE(int(v.validate(text, pos)), state);
    }
};

QTEST_MAIN(TestLibraryEditors)
#include "tst_libraryeditors.moc"
