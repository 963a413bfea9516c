// The project workspace on a temporary database: the project box and Find, new and deleted
// projects, schemes and their sheets, typed and picked rows, the hand-off to the engine, the
// checks before it, and saving when the workspace or the program ends.

#include "AppSettings.h"
#include "DBNavigator.h"
#include "LibraryFixture.h"
#include "ShellWidgets.h"
#include "Startup.h"
#include "TypeSetClass.h"
#include "fmMainC.h"
#include "fmMaterial.h"
#include "fmSelectData.h"
#include "fmTypeSet.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace LibraryTest;

namespace {

// Projects, schemes, sheets and parts written straight into the file.
class TProjectStore : public TLibraryStore
{
public:
    qint64 project(const QString &orderNo)
    {
        exec(u"INSERT INTO 主数据表 (单号, 日期) VALUES (?, '2026-12-01 08:00:00')"_s, { orderNo });
        return lastId(u"主数据表"_s);
    }
    qint64 scheme(qint64 projectId, const QString &name)
    {
        exec(u"INSERT INTO 子数据表 (PID, 名称) VALUES (?, ?)"_s, { projectId, name });
        return lastId(u"子数据表"_s);
    }
    void sheet(qint64 schemeId, const QString &name, int length, int width, int kerf = 0,
        qint64 priceUnits = 0)
    {
        exec(u"INSERT INTO 原材料表 (ID, 名称, 长度, 宽度, 刀口, 价格) VALUES (?, ?, ?, ?, ?, ?)"_s,
            { schemeId, name, length, width, kerf, priceUnits });
    }
    void part(qint64 projectId, const QString &name, int length, int width, int count)
    {
        exec(u"INSERT INTO 零件表 (ID, 名称, 长度, 宽度, 数量) VALUES (?, ?, ?, ?, ?)"_s,
            { projectId, name, length, width, count });
    }
    qint64 lastId(const QString &table)
    {
        return scalar(u"SELECT max(ID) FROM "_s + table).toLongLong();
    }
    int count(const QString &sql) { return scalar(sql).toInt(); }
};

// The workspace as a window of its own, loaded as when the main window shows it.
class TShownWorkspace
{
public:
    TShownWorkspace()
    {
        FWindow = new TfrmMaterial;
        FWindow->resize(1000, 640);
        if (!showActive(FWindow))
            qWarning("workspace did not become active");
    }
    ~TShownWorkspace() { delete FWindow.data(); }
    TShownWorkspace(const TShownWorkspace &) = delete;
    TShownWorkspace &operator=(const TShownWorkspace &) = delete;
    TfrmMaterial *operator->() const { return FWindow; }
    TfrmMaterial *get() const { return FWindow; }

private:
    QPointer<TfrmMaterial> FWindow;
};

QStringList column(TRowSet &rs, const QString &field)
{
    QStringList out;
    const int c = rs.fieldIndex(field);
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.data(rs.index(r, c)).toString();
    return out;
}

QStringList boxItems(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void addRow(TRowSet &rs, const QList<std::pair<QString, QString>> &cells)
{
    rs.append();
    for (const auto &[field, text] : cells)
        rs.field(field).setAsString(text);
    rs.post();
}

void deleteClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The program's layout engine for one test: installed as RectManage, removed again at the end.
struct TInstalledEngine
{
    TRectManage engine;
    TInstalledEngine() { RectManage = &engine; }
    ~TInstalledEngine() { RectManage = nullptr; }
    TInstalledEngine(const TInstalledEngine &) = delete;
    TInstalledEngine &operator=(const TInstalledEngine &) = delete;
};

} // namespace

class TestWorkspace : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString base
            = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY(QDir().mkpath(base));
        static QTemporaryDir settingsDir(base + u"/pnx-workspace-XXXXXX"_s);
        QVERIFY(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        Startup::initApplication();
    }

    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }

    void cleanup()
    {
        deleteClosed();
        QVERIFY(!frmMaterial);
        QVERIFY(!frmTypeSet);
        QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked");
    }

    // Eleven projects: the box lists the ten newest, oldest first, and the newest is loaded with
    // its first scheme; the eleventh is reached by typing its number.
    void projectBox_listsTheTenNewest_newestLoaded()
    {
        TProjectStore store;
        QStringList numbers;
        qint64 newest = 0;
        for (int i = 1; i <= 11; ++i) {
            numbers << u"T202612%1"_s.arg(i, 2, 10, QChar(u'0'));
            newest = store.project(numbers.last());
        }
        store.scheme(newest, u"方案1"_s);
        store.scheme(newest, u"方案2"_s);
        store.part(1, u"第一个工程的零件"_s, 100, 50, 3);

        TShownWorkspace w;
        QCOMPARE(boxItems(w->cbOrder), numbers.mid(1));
        QCOMPARE(w->cbOrder->currentText(), numbers.last());
        QCOMPARE(column(*w->ADOOrderDetail, u"名称"_s), (QStringList { u"方案1"_s, u"方案2"_s }));
        QCOMPARE(w->ADOOrderDetail->recNo(), 1);
        QCOMPARE(w->ADOMaterialB->recordCount(), 0);

        w->cbOrder->setEditText(numbers.first());
        QVERIFY(w->hasProject());
        QCOMPARE(w->ADOOrderDetail->recordCount(), 0);
        QCOMPARE(column(*w->ADOMaterialB, u"名称"_s), QStringList { u"第一个工程的零件"_s });
    }

    // Every keystroke looks the project up; a prefix that matches nothing leaves the previous
    // project current and on screen and says so, and a number with a quote in it is found.
    void typing_findsOnEveryKey_prefixKeepsGrids_quoteFound()
    {
        TProjectStore store;
        const qint64 quoted = store.project(u"A'1"_s);
        store.part(quoted, u"带引号的"_s, 300, 200, 1);
        const qint64 other = store.project(u"B2"_s);
        store.scheme(other, u"方案1"_s);
        store.part(other, u"侧板"_s, 720, 560, 2);

        TShownWorkspace w;
        QCOMPARE(w->cbOrder->currentText(), u"B2"_s);
        w->cbOrder->lineEdit()->selectAll();
        QTest::keyClicks(w->cbOrder->lineEdit(), u"A"_s);
        QCOMPARE(w->cbOrder->currentText(), u"A"_s);
        QCOMPARE(w->ADOOrder->field(u"ID"_s).asLargeInt(), other);
        QCOMPARE(w->StatusBar1->currentMessage(), u"没有单号为“A”的工程"_s);
        QCOMPARE(column(*w->ADOMaterialB, u"名称"_s), QStringList { u"侧板"_s });
        QCOMPARE(w->ADOOrderDetail->recordCount(), 1);

        QTest::keyClicks(w->cbOrder->lineEdit(), u"'1"_s);
        QCOMPARE(w->ADOOrder->field(u"ID"_s).asLargeInt(), quoted);
        QCOMPARE(w->StatusBar1->currentMessage(), QString());
        QCOMPARE(column(*w->ADOMaterialB, u"名称"_s), QStringList { u"带引号的"_s });
        QCOMPARE(w->ADOOrderDetail->recordCount(), 0);
    }

    // A new project gets an order number from the clock and starts empty; deleting it asks first
    // and removes its sheets, parts, schemes and row, nothing of the other project.
    void newProject_thenDelete_removesOnlyItsRows()
    {
        TProjectStore store;
        const qint64 kept = store.project(u"保留"_s);
        store.sheet(store.scheme(kept, u"方案1"_s), u"板"_s, 2440, 1220);
        store.part(kept, u"门"_s, 700, 400, 2);

        TShownWorkspace w;
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        w->actAddPrj->trigger();
        const QString number = w->cbOrder->currentText();
        QVERIFY(QRegularExpression(u"^T\\d{14}$"_s).match(number).hasMatch());
        const QDateTime stamped = QDateTime::fromString(number.mid(1), u"yyyyMMddHHmmss"_s);
        QVERIFY(stamped >= before.addSecs(-1) && stamped <= QDateTime::currentDateTime());
        QCOMPARE(boxItems(w->cbOrder), (QStringList { u"保留"_s, number }));
        const qint64 id = w->ADOOrder->field(u"ID"_s).asLargeInt();
        QVERIFY(id > kept);
        QCOMPARE(w->ADOOrderDetail->recordCount(), 0);
        QCOMPARE(w->ADOMaterialA->recordCount(), 0);
        QCOMPARE(w->ADOMaterialB->recordCount(), 0);

        w->navFA->btnClick(TDBNavigator::nbInsert);
        addRow(*w->ADOMaterialA, { { u"名称"_s, u"新板"_s }, { u"长度"_s, u"2000"_s } });
        addRow(*w->ADOMaterialB, { { u"名称"_s, u"新件"_s }, { u"数量"_s, u"1"_s } });
        w->actSave->trigger();
        QCOMPARE(store.count(u"SELECT count(*) FROM 原材料表 WHERE 名称 = '新板'"_s), 1);

        Dialogs::setNextAnswer(false);
        w->actDelPrj->trigger();
        QCOMPARE(store.count(u"SELECT count(*) FROM 主数据表"_s), 2);

        Dialogs::setNextAnswer(true);
        w->actDelPrj->trigger();
        const auto asked = Dialogs::takeAsked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[1].title, u"警告..."_s);
        QCOMPARE(asked[1].text, u"是否要执行删除操作！"_s);
        QCOMPARE(store.column(u"SELECT 单号 FROM 主数据表"_s), QStringList { u"保留"_s });
        QCOMPARE(store.column(u"SELECT 名称 FROM 子数据表"_s), QStringList { u"方案1"_s });
        QCOMPARE(store.column(u"SELECT 名称 FROM 原材料表"_s), QStringList { u"板"_s });
        QCOMPARE(store.column(u"SELECT 名称 FROM 零件表"_s), QStringList { u"门"_s });
        QCOMPARE(boxItems(w->cbOrder), QStringList { u"保留"_s });
        for (TRowSet *rs : { w->ADOOrderDetail, w->ADOMaterialA, w->ADOMaterialB })
            QVERIFY(!rs->isOpen());
    }

    // A delete the store refuses half-way reports its error and changes nothing at all.
    void deleteProject_refusedByTheStore_keepsTheProject()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        store.sheet(store.scheme(p, u"方案1"_s), u"板"_s, 2440, 1220);
        store.part(p, u"门"_s, 700, 400, 2);
        store.exec(u"CREATE TRIGGER keep_parts BEFORE DELETE ON 零件表 "
                   "BEGIN SELECT RAISE(ABORT, 'parts are kept'); END"_s);
        const QString before = store.dump();

        TShownWorkspace w;
        Dialogs::setNextAnswer(true);
        w->actDelPrj->trigger();
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"parts are kept"_s), qPrintable(errors[0]));
        QCOMPARE(store.dump(), before);
        QCOMPARE(boxItems(w->cbOrder), QStringList { u"P1"_s });
        QVERIFY(w->hasProject());
        QCOMPARE(w->ADOMaterialA->recordCount(), 1);
    }

    // Adding a scheme numbers the schemes by position, keeping names the user gave, and leaves
    // the new last one current; deleting one asks, then removes it with its sheets only.
    void schemes_insertRenumbers_deleteTakesItsSheets()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        const qint64 first = store.scheme(p, u"方案7"_s);
        const qint64 second = store.scheme(p, u"便宜的"_s);
        store.sheet(first, u"甲板"_s, 2440, 1220);
        store.sheet(second, u"乙板"_s, 1830, 915);
        store.part(p, u"门"_s, 700, 400, 2);

        TShownWorkspace w;
        w->ADOOrderDetail->setRecNo(2);
        w->navFA->btnClick(TDBNavigator::nbInsert);
        QCOMPARE(column(*w->ADOOrderDetail, u"名称"_s),
            (QStringList { u"方案1"_s, u"方案2"_s, u"便宜的"_s }));
        QCOMPARE(w->ADOOrderDetail->recNo(), 3);
        QCOMPARE(store.count(u"SELECT count(*) FROM 子数据表 WHERE PID = %1"_s.arg(p)), 3);
        // The new row went in before the second scheme; the last one, the former second, is
        // current with its sheets.
        QCOMPARE(column(*w->ADOMaterialA, u"名称"_s), QStringList { u"乙板"_s });

        w->ADOOrderDetail->setRecNo(1);
        QCOMPARE(column(*w->ADOMaterialA, u"名称"_s), QStringList { u"甲板"_s });
        Dialogs::setNextAnswer(true);
        w->navFA->btnClick(TDBNavigator::nbDelete);
        const auto asked = Dialogs::takeAsked();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, u"提示"_s);
        QCOMPARE(asked[0].text, u"是否删除数据！"_s);
        QCOMPARE(store.count(u"SELECT count(*) FROM 原材料表 WHERE ID = %1"_s.arg(first)), 0);
        QCOMPARE(store.column(u"SELECT 名称 FROM 原材料表"_s), QStringList { u"乙板"_s });
        QCOMPARE(store.count(u"SELECT count(*) FROM 零件表"_s), 1);
        QCOMPARE(w->ADOOrderDetail->recordCount(), 2);
    }

    // Sheet edits are written when the user leaves their scheme, part edits only by a save; a
    // typed sheet row is still there after switching away and back.
    void leavingAScheme_writesItsSheets_partsWaitForSave()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        const qint64 first = store.scheme(p, u"方案1"_s);
        store.scheme(p, u"方案2"_s);

        TShownWorkspace w;
        addRow(*w->ADOMaterialA,
            { { u"名称"_s, u"新板"_s }, { u"长度"_s, u"2440"_s }, { u"宽度"_s, u"1220"_s } });
        addRow(*w->ADOMaterialB, { { u"名称"_s, u"新件"_s }, { u"数量"_s, u"4"_s } });
        w->ADOOrderDetail->next();
        QCOMPARE(store.column(u"SELECT ID || ' ' || 名称 FROM 原材料表"_s),
            QStringList { u"%1 新板"_s.arg(first) });
        QCOMPARE(w->ADOMaterialA->recordCount(), 0);
        QCOMPARE(store.count(u"SELECT count(*) FROM 零件表"_s), 0);
        w->ADOOrderDetail->prior();
        QCOMPARE(column(*w->ADOMaterialA, u"名称"_s), QStringList { u"新板"_s });

        w->actSave->trigger();
        QCOMPARE(store.column(u"SELECT ID || ' ' || 名称 FROM 零件表"_s),
            QStringList { u"%1 新件"_s.arg(p) });
    }

    // Without a current scheme the sheet list takes no rows; parts still belong to the project.
    void sheetRowWithoutScheme_isDiscarded()
    {
        TProjectStore store;
        store.project(u"P1"_s);
        TShownWorkspace w;
        QVERIFY(w->ADOMaterialA->isOpen());
        w->ADOMaterialA->append();
        QCOMPARE(w->ADOMaterialA->recordCount(), 0);
        w->navLJ->btnClick(TDBNavigator::nbInsert);
        QCOMPARE(w->ADOMaterialB->recordCount(), 1);
        QCOMPARE(
            w->ADOMaterialB->field(u"ID"_s).asLargeInt(), w->ADOOrder->field(u"ID"_s).asLargeInt());
    }

    // Picking from the libraries appends the ticked rows in list order: sheets with kerf 0,
    // parts with quantity 1. Without a scheme nothing is offered.
    void picking_appendsTickedRows()
    {
        TProjectStore store;
        store.addSheet(u"大板"_s, 2440, 1220, 1285000);
        store.addSheet(u"中板"_s, 1830, 915, 805000);
        store.addSheet(u"小板"_s, 1220, 610, 300000);
        store.addSheet(u"不要"_s, 1000, 500, 10000);
        store.addPart(u"门"_s, 700, 400);
        store.addPart(u"侧板"_s, 720, 560);
        const qint64 p = store.project(u"P1"_s);

        TShownWorkspace w;
        w->N3->trigger(); // no scheme: the picker is not even shown
        w->navFA->btnClick(TDBNavigator::nbInsert);

        const auto tick = [](QList<int> rows) {
            return [rows](QDialog &d) {
                auto &picker = static_cast<TfrmSelectData &>(d);
                for (int r : rows)
                    picker.setRowChecked(r, true);
                return int(QDialog::Accepted);
            };
        };
        Dialogs::setNextDialogHandler(tick({ 0, 1, 2 }));
        w->N3->trigger();
        QCOMPARE(
            column(*w->ADOMaterialA, u"名称"_s), (QStringList { u"大板"_s, u"中板"_s, u"小板"_s }));
        QCOMPARE(column(*w->ADOMaterialA, u"刀口"_s), (QStringList { u"0"_s, u"0"_s, u"0"_s }));
        QCOMPARE(
            column(*w->ADOMaterialA, u"价格"_s), (QStringList { u"128.5"_s, u"80.5"_s, u"30"_s }));
        QCOMPARE(
            column(*w->ADOMaterialA, u"长度"_s), (QStringList { u"2440"_s, u"1830"_s, u"1220"_s }));

        Dialogs::setNextDialogHandler(tick({ 1, 0 }));
        w->N4->trigger();
        QCOMPARE(column(*w->ADOMaterialB, u"名称"_s), (QStringList { u"门"_s, u"侧板"_s }));
        QCOMPARE(column(*w->ADOMaterialB, u"数量"_s), (QStringList { u"1"_s, u"1"_s }));
        QCOMPARE(column(*w->ADOMaterialB, u"ID"_s),
            (QStringList { QString::number(p), QString::number(p) }));

        Dialogs::setNextDialogHandler([](QDialog &d) { // ticked, then cancelled
            static_cast<TfrmSelectData &>(d).setRowChecked(3, true);
            return int(QDialog::Rejected);
        });
        w->N3->trigger();
        QCOMPARE(w->ADOMaterialA->recordCount(), 3);
    }

    // 优化排样 saves, puts the longer side of every row into Width, keeps a quantity of 0, resets
    // the cost total and opens the results window once; the next time it only raises it.
    void handOff_fillsTheEngine_opensResultsOnce()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        const qint64 s = store.scheme(p, u"方案1"_s);
        store.sheet(s, u"竖放的板"_s, 1220, 2440, 4, 1005000);
        store.sheet(s, u"方板"_s, 1000, 1000, 0, 0);
        store.part(p, u"不要了"_s, 300, 600, 0);
        store.part(p, u"横件"_s, 600, 300, 2);

        TInstalledEngine installed;
        TRectManage &engine = installed.engine;
        QWidget parent;
        parent.resize(1000, 700);
        TShownWorkspace w;
        w->FrmTypeSetParent = &parent;
        addRow(*w->ADOMaterialB,
            { { u"名称"_s, u"新件"_s }, { u"长度"_s, u"50"_s }, { u"宽度"_s, u"80"_s },
                { u"数量"_s, u"3"_s } });
        PriceSum = 99;
        QList<bool> enteredShorter;
        w->actYHPY->trigger();

        QCOMPARE(store.count(u"SELECT count(*) FROM 零件表"_s), 3); // saved first
        QCOMPARE(PriceSum, 0.0);
        const auto kinds = [](TMaterialTypeList &list) {
            QList<QString> out;
            for (int i = 0; i < list.Count(); ++i) {
                TMaterialType &m = *list.Items(i);
                out << u"%1 %2x%3 刀口%4 数量%5 价格%6"_s.arg(QString::fromStdString(m.Text()))
                           .arg(m.Width())
                           .arg(m.Height())
                           .arg(m.Blade())
                           .arg(m.Count())
                           .arg(m.Price());
            }
            return out;
        };
        QCOMPARE(kinds(engine.BCTypeList()),
            (QList<QString> { u"竖放的板 2440x1220 刀口4 数量0 价格100.5"_s,
                u"方板 1000x1000 刀口0 数量0 价格0"_s }));
        QCOMPARE(kinds(engine.MaterialTypeList()),
            (QList<QString> { u"不要了 600x300 刀口0 数量0 价格0"_s,
                u"横件 600x300 刀口0 数量2 价格0"_s, u"新件 80x50 刀口0 数量3 价格0"_s }));
        // 新件 was entered 50 × 80: its length is the shorter side, kept for drawings and labels.
        for (int i = 0; i < engine.MaterialTypeList().Count(); ++i)
            enteredShorter << engine.MaterialTypeList().Items(i)->EnteredLengthShorter();
        QCOMPARE(enteredShorter, (QList<bool> { true, false, true }));
        QCOMPARE(w->ADOMaterialA->recNo(), 2); // walking the sets leaves the last rows current
        QCOMPARE(w->ADOMaterialB->recNo(), 3);

        QPointer<TfrmTypeSet> results = frmTypeSet;
        QVERIFY(results);
        QCOMPARE(results->parentWidget(), &parent);
        QCOMPARE(&results->Engine(), &engine);
        QCOMPARE(results->HandOffProject, u"P1"_s);
        QCOMPARE(results->HandOffScheme, u"方案1"_s);
        QCOMPARE(results->HandOffParts.size(), 3);

        store.part(p, u"后加的"_s, 10, 10, 1); // reaches the engine with the next hand-off only
        w->ADOMaterialB->reopen();
        w->actYHPY->trigger();
        QCOMPARE(frmTypeSet, results.data());
        QCOMPARE(engine.MaterialTypeList().Count(), 4);
        delete results.data();
    }

    // Grain, trim and stock: the picker copies them from the libraries, the grids show the grain
    // by its caption, and the hand-off gives them to the engine (the grain along the length as
    // entered, an empty stock no limit); a trim that leaves nothing of a sheet is refused.
    void grainTrimStock_pickedShownAndHandedOver()
    {
        TProjectStore store;
        store.exec(u"INSERT INTO 原材料信息表 (Name, Length, Width, Price, Grain, Trim, Stock) "
                   "VALUES ('橡木板', 1220, 2440, 2000000, 1, 10, 4), "
                   "('白板', 2440, 1220, 900000, NULL, NULL, NULL)"_s);
        store.exec(u"INSERT INTO 零件信息表 (Name, Length, Width, Grain) VALUES "
                   "('门', 700, 400, 1), ('侧板', 720, 560, 0)"_s);
        const qint64 p = store.project(u"P1"_s);
        store.scheme(p, u"方案1"_s);

        TInstalledEngine installed;
        TRectManage &engine = installed.engine;
        QWidget parent;
        TShownWorkspace w;
        w->FrmTypeSetParent = &parent;
        const auto all = [](QDialog &d) {
            auto &picker = static_cast<TfrmSelectData &>(d);
            for (int r = 0; r < picker.rowCount(); ++r)
                picker.setRowChecked(r, true);
            return int(QDialog::Accepted);
        };
        Dialogs::setNextDialogHandler(all);
        w->N3->trigger();
        Dialogs::setNextDialogHandler(all);
        w->N4->trigger();
        QCOMPARE(column(*w->ADOMaterialA, u"纹理"_s), (QStringList { u"1"_s, QString() }));
        QCOMPARE(column(*w->ADOMaterialA, u"修边"_s), (QStringList { u"10"_s, QString() }));
        QCOMPARE(column(*w->ADOMaterialA, u"库存"_s), (QStringList { u"4"_s, QString() }));
        QCOMPARE(column(*w->ADOMaterialB, u"纹理"_s), (QStringList { u"1"_s, u"0"_s }));
        // The grids: 有 / 无 for sheets, 顺纹 / 无 for parts, an empty cell as 无.
        const auto shown = [](TDBGrid *grid, int gridColumn) {
            QStringList out;
            for (int r = 0; r < grid->model()->rowCount(); ++r)
                out << grid->model()->data(grid->cellIndex(r, gridColumn)).toString();
            return out;
        };
        QCOMPARE(shown(w->rdgYCL, 5), (QStringList { u"有"_s, u"无"_s }));
        QCOMPARE(shown(w->rdgLJ, 4), (QStringList { u"顺纹"_s, u"无"_s }));

        w->actYHPY->trigger();
        QCOMPARE(Dialogs::takeCaptured(), QStringList());
        TMaterialType &oak = *engine.BCTypeList().Items(0);
        QVERIFY(oak.Grain() && oak.EnteredLengthShorter());
        QCOMPARE(oak.Trim(), 10);
        QCOMPARE(oak.Stock(), 4);
        TMaterialType &white = *engine.BCTypeList().Items(1);
        QVERIFY(!white.Grain() && white.Trim() == 0 && !white.StockLimited());
        QVERIFY(engine.MaterialTypeList().Items(0)->Grain());
        QVERIFY(!engine.MaterialTypeList().Items(1)->Grain());
        delete frmTypeSet;

        // A trim of half the width leaves nothing: refused, and named.
        w->ADOMaterialA->setRecNo(2);
        w->ADOMaterialA->edit();
        w->ADOMaterialA->field(u"修边"_s).setAsInteger(610);
        w->ADOMaterialA->post();
        w->actYHPY->trigger();
        QCOMPARE(Dialogs::takeCaptured(),
            QStringList {
                u"以下数据不能用于优化排样，请改正或删除后再试：\n"
                "方案1 提供的原材料 第2行（白板） 修边：太大，两边修边后原材料没有可用的地方"_s });
        QVERIFY(!frmTypeSet);
    }

    // Rows the engine cannot use are named in one message; nothing reaches the engine, what was
    // typed is saved all the same.
    void handOff_refusesRowsTheEngineCannotUse()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        const qint64 s = store.scheme(p, u"方案1"_s);
        store.sheet(s, u"好板"_s, 2440, 1220, 3, 0);
        store.sheet(s, u"坏板"_s, 0, 1220, -1, 0);
        store.part(p, u"门"_s, 700, 400, 2);

        TInstalledEngine installed;
        TRectManage &engine = installed.engine;
        engine.AddBC(1, 1)->SetText("之前的");
        TShownWorkspace w;
        addRow(*w->ADOMaterialB,
            { { u"名称"_s, u"没数量"_s }, { u"长度"_s, u"10"_s }, { u"宽度"_s, u"-5"_s } });
        w->actYHPY->trigger();
        QCOMPARE(Dialogs::takeCaptured(),
            QStringList { u"以下数据不能用于优化排样，请改正或删除后再试：\n"
                          "方案1 提供的原材料 第2行（坏板） 长度：必须大于0\n"
                          "方案1 提供的原材料 第2行（坏板） 刀口：不能小于0\n"
                          "工程需要切割的零件 第2行（没数量） 宽度：必须大于0\n"
                          "工程需要切割的零件 第2行（没数量） 数量：不能为空"_s });
        QCOMPARE(engine.BCTypeList().Count(), 1);
        QCOMPARE(engine.BCTypeList().Items(0)->Text(), std::string("之前的"));
        QVERIFY(!frmTypeSet);
        QCOMPARE(store.count(u"SELECT count(*) FROM 零件表"_s), 2);
    }

    // Without a scheme, its sheets or parts the hand-off says what is missing and opens nothing.
    void handOff_saysWhatIsMissing_data()
    {
        QTest::addColumn<bool>("scheme");
        QTest::addColumn<bool>("sheets");
        QTest::addColumn<bool>("parts");
        QTest::addColumn<QStringList>("said");
        const QString noScheme = u"工程还没有加工方案：请在“加工方案”表中增加一个方案。"_s;
        const QString noSheets
            = u"方案“方案1”还没有提供的原材料：请在“提供的原材料”表中右击，选择原材料。"_s;
        const QString noParts
            = u"工程还没有需要切割的零件：请在“工程需要切割的零件”表中右击，选择零件。"_s;
        QTest::newRow("new project")
            << false << false << false << QStringList { noScheme, noParts };
        QTest::newRow("scheme without sheets") << true << false << true << QStringList { noSheets };
        QTest::newRow("no parts") << true << true << false << QStringList { noParts };
    }
    void handOff_saysWhatIsMissing()
    {
        QFETCH(bool, scheme);
        QFETCH(bool, sheets);
        QFETCH(bool, parts);
        QFETCH(QStringList, said);
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        if (scheme) {
            const qint64 s = store.scheme(p, u"方案1"_s);
            if (sheets)
                store.sheet(s, u"板"_s, 2440, 1220);
        }
        if (parts)
            store.part(p, u"门"_s, 700, 400, 2);
        TInstalledEngine installed;
        TRectManage &engine = installed.engine;
        engine.AddBC(1, 1)->SetText("之前的");
        TShownWorkspace w;
        w->actYHPY->trigger();
        QCOMPARE(
            Dialogs::takeCaptured(), QStringList { u"还不能优化排样：\n"_s + said.join(u'\n') });
        QVERIFY(!frmTypeSet);
        QCOMPARE(engine.BCTypeList().Count(), 1); // the engine keeps what it had
        QCOMPARE(engine.BCTypeList().Items(0)->Text(), std::string("之前的"));
    }

    // Rows left blank (the Enter key leaves one at the end of a list) are dropped, not saved, and
    // do not stop the hand-off.
    void blankRows_areDroppedOnSave()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        const qint64 s = store.scheme(p, u"方案1"_s);
        store.sheet(s, u"板"_s, 2440, 1220);
        store.part(p, u"门"_s, 700, 400, 2);
        TInstalledEngine installed;
        TRectManage &engine = installed.engine;
        TShownWorkspace w;
        w->ADOMaterialA->append();
        w->ADOMaterialB->append();
        w->ADOMaterialB->post();
        addRow(*w->ADOMaterialB, { { u"名称"_s, u""_s }, { u"数量"_s, u"3"_s } }); // not blank
        w->actSave->trigger();
        QCOMPARE(store.count(u"SELECT count(*) FROM 原材料表"_s), 1);
        QCOMPARE(store.count(u"SELECT count(*) FROM 零件表"_s), 2);
        QCOMPARE(w->ADOMaterialB->recordCount(), 2);
        QCOMPARE(Dialogs::takeCaptured(), QStringList()); // nothing to say yet

        w->ADOMaterialB->setRecNo(2);
        w->ADOMaterialB->deleteRecord();
        w->ADOMaterialB->append();
        w->actYHPY->trigger();
        QVERIFY(frmTypeSet);
        QCOMPARE(engine.MaterialTypeList().Count(), 1);
        delete frmTypeSet;
    }

    // Switching to another project keeps what was typed for the one left.
    void switchingProject_keepsTheEditsOfTheOneLeft()
    {
        TProjectStore store;
        store.project(u"旧"_s);
        store.project(u"新"_s);
        TShownWorkspace w;
        addRow(*w->ADOMaterialB, { { u"名称"_s, u"新的零件"_s }, { u"数量"_s, u"1"_s } });
        w->cbOrder->setEditText(u"旧"_s);
        QCOMPARE(w->ADOMaterialB->recordCount(), 0);
        QCOMPARE(store.column(u"SELECT 名称 FROM 零件表"_s), QStringList { u"新的零件"_s });
    }

    // Closing the workspace saves it; so does ending the program with the workspace open. A
    // number typed into the project box is a search: it never becomes a project.
    void closeAndExit_saveTheWorkspace()
    {
        TProjectStore store;
        {
            TShownWorkspace w;
            QCOMPARE(w->cbOrder->count(), 0);
            w->cbOrder->setEditText(u"手写的单号"_s);
            QCOMPARE(w->StatusBar1->currentMessage(), u"没有单号为“手写的单号”的工程"_s);
            w->navLJ->btnClick(TDBNavigator::nbInsert); // no project: no part rows
            QCOMPARE(w->ADOMaterialB->recordCount(), 0);
            w->actSave->trigger();
            w->actClose->trigger();
            deleteClosed();
            QVERIFY(!w.get());
        }
        QCOMPARE(store.count(u"SELECT count(*) FROM 主数据表"_s), 0);
        const qint64 p = store.project(u"P1"_s);
        store.scheme(p, u"方案1"_s);

        auto main = std::make_unique<TfrmMainC>();
        main->show();
        main->openWorkArea(main->actOCS);
        QVERIFY(frmMaterial);
        QCOMPARE(frmMaterial->parentWidget(), main->pnlMain);
        QCOMPARE(frmMaterial->FrmTypeSetParent, main->pnlMain);
        QCOMPARE(frmMaterial->Notes, main->edtNotes);
        QCOMPARE(frmMaterial->ProgressStatus, main->rzprgrstsMain);
        QCOMPARE(frmMaterial->cbOrder->currentText(), u"P1"_s);
        addRow(
            *frmMaterial->ADOMaterialB, { { u"名称"_s, u"退出前输入"_s }, { u"数量"_s, u"2"_s } });
        QVERIFY(main->close());
        deleteClosed();
        main.reset();
        QCOMPARE(store.column(u"SELECT 名称 || ' ' || 数量 FROM 零件表"_s),
            QStringList { u"退出前输入 2"_s });
    }

    // Text a cell refuses stops the close, the quit (after asking), 保存工程 and 优化排样: the
    // window stays with every row typed, nothing half saved.
    void refusedCellText_stopsCloseQuitSaveAndHandOff_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("sheetGrid");
        QTest::addColumn<int>("gridColumn");
        QTest::addColumn<QString>("title");
        QTest::newRow("minus in 数量") << u"-"_s << false << 3 << u"数量"_s;
        QTest::newRow("plus in 长度") << u"+"_s << false << 1 << u"长度"_s;
        QTest::newRow("point in 价格") << u"."_s << true << 4 << u"价格"_s;
    }
    void refusedCellText_stopsCloseQuitSaveAndHandOff()
    {
        QFETCH(QString, typed);
        QFETCH(bool, sheetGrid);
        QFETCH(int, gridColumn);
        QFETCH(QString, title);
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        store.sheet(store.scheme(p, u"方案1"_s), u"板"_s, 2440, 1220);
        TInstalledEngine installed;
        auto main = std::make_unique<TfrmMainC>();
        main->show();
        main->openWorkArea(main->actOCS);
        QPointer<TfrmMaterial> w = frmMaterial;
        QVERIFY(w);
        addRow(*w->ADOMaterialB,
            { { u"名称"_s, u"门"_s }, { u"长度"_s, u"700"_s }, { u"宽度"_s, u"400"_s },
                { u"数量"_s, u"2"_s } });
        TDBGrid *grid = sheetGrid ? w->rdgYCL : w->rdgLJ;
        clickCell(grid, 0, gridColumn);
        type(grid, typed);
        QVERIFY(grid->indexWidget(grid->currentIndex()));

        const auto refusedOnce = [&] {
            const QStringList said = Dialogs::takeCaptured();
            QCOMPARE(said.size(), 1);
            QVERIFY2(said[0].contains(title), qPrintable(said[0]));
        };
        w->actSave->trigger();
        refusedOnce();
        w->actYHPY->trigger();
        refusedOnce();
        QVERIFY(!frmTypeSet);
        QVERIFY(!w->close());
        refusedOnce();
        Dialogs::setNextAnswer(false);
        QVERIFY(!main->close());
        refusedOnce();
        QCOMPARE(Dialogs::takeAsked().size(), 1); // 工程数据未能保存，仍要退出吗？
        deleteClosed();
        QVERIFY(w);
        QCOMPARE(store.count(u"SELECT count(*) FROM 零件表"_s), 0);
        QCOMPARE(w->ADOMaterialB->recordCount(), 1);
        QCOMPARE(column(*w->ADOMaterialB, u"名称"_s), QStringList { u"门"_s });

        // Once the text is mended, everything goes through.
        auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
        QVERIFY(editor);
        editor->setText(u"3"_s);
        QVERIFY(main->close());
        deleteClosed();
        main.reset();
        QCOMPARE(store.column(u"SELECT 名称 FROM 零件表"_s), QStringList { u"门"_s });
    }

    // When the project being left cannot be saved, the switch does not happen: the old project
    // stays current with its lists and its number in the box, so nothing typed next goes to the
    // wrong project.
    void switchingProject_whenTheSaveFails_keepsTheOldProject()
    {
        TProjectStore store;
        const qint64 old = store.project(u"旧"_s);
        store.part(old, u"旧件"_s, 300, 200, 1);
        const qint64 other = store.project(u"新"_s);
        store.part(other, u"新件"_s, 300, 200, 1);
        store.exec(u"CREATE TRIGGER no_parts BEFORE INSERT ON 零件表 "
                   "BEGIN SELECT RAISE(ABORT, 'no new parts'); END"_s);
        TShownWorkspace w;
        w->cbOrder->setEditText(u"旧"_s);
        addRow(*w->ADOMaterialB, { { u"名称"_s, u"刚输入的"_s }, { u"数量"_s, u"1"_s } });
        w->cbOrder->setEditText(u"新"_s);
        QCOMPARE(Dialogs::takeCaptured().size(), 1);
        QCOMPARE(w->ADOOrder->field(u"ID"_s).asLargeInt(), old);
        QCOMPARE(w->cbOrder->currentText(), u"旧"_s);
        QCOMPARE(column(*w->ADOMaterialB, u"名称"_s), (QStringList { u"旧件"_s, u"刚输入的"_s }));
        QCOMPARE(column(*w->ADOMaterialB, u"ID"_s),
            (QStringList { QString::number(old), QString::number(old) }));
    }

    // Two projects made within a second get two numbers, each of which finds its own project.
    void addProjectTwiceQuickly_givesTwoNumbers()
    {
        TProjectStore store;
        TShownWorkspace w;
        w->actAddPrj->trigger();
        const qint64 first = w->ADOOrder->field(u"ID"_s).asLargeInt();
        w->actAddPrj->trigger();
        const qint64 second = w->ADOOrder->field(u"ID"_s).asLargeInt();
        const QStringList numbers = store.column(u"SELECT 单号 FROM 主数据表 ORDER BY ID"_s);
        QCOMPARE(numbers.size(), 2);
        QVERIFY(numbers[0] != numbers[1]);
        QVERIFY(second != first);
        w->cbOrder->setEditText(numbers[0]);
        QCOMPARE(w->ADOOrder->field(u"ID"_s).asLargeInt(), first);
        w->cbOrder->setEditText(numbers[1]);
        QCOMPARE(w->ADOOrder->field(u"ID"_s).asLargeInt(), second);
    }

    // Enter in the scheme list takes the typed name and adds no scheme; only an unmatched number
    // in the box keeps 删除工程 from deleting the project on screen.
    void enterInSchemeList_addsNothing_deleteNeedsTheShownNumber()
    {
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        store.scheme(p, u"方案1"_s);
        TShownWorkspace w;
        clickCell(w->rdgFA, 0, 0);
        type(w->rdgFA, u"x"_s);
        pressEnter(w->rdgFA);
        pressEnter(w->rdgFA);
        pressEnter(w->rdgFA);
        QCOMPARE(w->ADOOrderDetail->recordCount(), 1);
        QCOMPARE(w->ADOOrderDetail->field(u"名称"_s).asString(), u"x"_s);

        w->cbOrder->setEditText(u"P9"_s);
        Dialogs::setNextAnswer(true);
        w->actDelPrj->trigger();
        QCOMPARE(Dialogs::takeAsked().size(), 0);
        QCOMPARE(store.count(u"SELECT count(*) FROM 主数据表"_s), 1);
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }

    // 计算全部方案 lays out every scheme, writes each completed one's totals into its row and
    // makes the cheapest current; a scheme that cannot be completed is named and keeps its old
    // totals. Deep or quick as the results window says.
    void calculateAllSchemes_writesTotalsAndSelectsTheCheapest_data()
    {
        QTest::addColumn<bool>("deep");
        QTest::newRow("quick") << false;
        QTest::newRow("deep, work-limited") << true;
    }
    void calculateAllSchemes_writesTotalsAndSelectsTheCheapest()
    {
        QFETCH(bool, deep);
        TProjectStore store;
        const qint64 p = store.project(u"P1"_s);
        const qint64 dear = store.scheme(p, u"贵的"_s);
        const qint64 cheap = store.scheme(p, u"便宜的"_s);
        const qint64 small = store.scheme(p, u"小板"_s);
        const qint64 mixed = store.scheme(p, u"两种板"_s);
        store.sheet(dear, u"中纤板"_s, 2440, 1220, 4, 1800000);
        store.sheet(cheap, u"刨花板"_s, 2440, 1220, 4, 1500000);
        store.sheet(small, u"小板"_s, 600, 400, 0, 100000);
        store.sheet(mixed, u"刨花板"_s, 2440, 1220, 4, 1600000);
        store.sheet(mixed, u"大板"_s, 2800, 2070, 4, 3000000);
        store.exec(u"UPDATE 子数据表 SET 利用率 = 7, 板材数量 = 70, 总价格 = 700 WHERE ID = ?"_s,
            { small });
        store.part(p, u"侧板"_s, 720, 560, 6);
        store.part(p, u"顶板"_s, 764, 540, 4);
        TShownWorkspace w;
        QVERIFY(!frmTypeSet);
        AppSettings::setValue(AppSettings::Key::DeepMode, deep);
        w->setBatchWorkLimit(200000);
        w->actCalcAll->trigger();
        QVERIFY(w->isBatchRunning());
        QCOMPARE(w->actCalcAll->text(), u"停止"_s);
        QVERIFY(!w->actYHPY->isEnabled() && !w->splMain->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isBatchRunning(), 60000);
        QCOMPARE(w->actCalcAll->text(), u"计算全部方案"_s);
        QVERIFY(w->splMain->isEnabled());

        const QStringList said = Dialogs::takeCaptured();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains(u"小板：有零件排不下"_s), qPrintable(said[0]));
        QVERIFY(!said[0].contains(u"便宜的"_s));
        const auto row = [&](qint64 id) {
            return store
                .column(
                    u"SELECT 利用率 || ' ' || 板材数量 || ' ' || 总价格 FROM 子数据表 WHERE ID = %1"_s
                        .arg(id))
                .value(0);
        };
        QCOMPARE(row(small), u"7 70 700.0"_s);
        for (qint64 id : { dear, cheap, mixed }) {
            const QStringList figures = row(id).split(u' ');
            QCOMPARE(figures.size(), 3);
            QVERIFY2(figures[0].toInt() > 50 && figures[1].toInt() >= 1, qPrintable(row(id)));
        }
        QCOMPARE(row(dear).section(u' ', 1, 1), row(cheap).section(u' ', 1, 1));
        QVERIFY(
            row(cheap).section(u' ', 2, 2).toDouble() < row(dear).section(u' ', 2, 2).toDouble());
        const qint64 chosen = w->ADOOrderDetail->field(u"ID"_s).asLargeInt();
        for (qint64 id : { dear, cheap, mixed })
            QVERIFY2(row(chosen).section(u' ', 2, 2).toDouble()
                    <= row(id).section(u' ', 2, 2).toDouble(),
                qPrintable(row(chosen) + u" / "_s + row(id)));
        QVERIFY(chosen != dear);
        QCOMPARE(column(*w->ADOMaterialA, u"ID"_s).value(0), QString::number(chosen));
    }

    // In a workspace of the first start's size (beside the navigator and the notes) the designed
    // commands are all in view, 保存工程 included, and 计算全部方案 is in view beside the scheme
    // list even where the tool bar has no room for it.
    void firstSize_keepsEveryCommandInView()
    {
        TProjectStore store;
        store.project(u"P1"_s);
        TShownWorkspace w;
        w->resize(620, 470);
        for (const char *name :
            { "btnClose", "btnYHPY", "btnAddPrj", "btnDelPrj", "btnSave", "btnCalcAllFA" }) {
            auto *button = w->findChild<QToolButton *>(QString::fromLatin1(name));
            QVERIFY2(button, name);
            QTRY_VERIFY2(button->isVisible(), name);
        }
        auto *calcAll = w->findChild<QToolButton *>(u"btnCalcAllFA"_s);
        QCOMPARE(calcAll->defaultAction(), w->actCalcAll);
    }

    // A workspace that cannot save stays open with its changes when it is closed.
    void closeWhenSaveFails_keepsTheWorkspaceOpen()
    {
        TProjectStore store;
        store.project(u"P1"_s);
        store.exec(u"CREATE TRIGGER no_parts BEFORE INSERT ON 零件表 "
                   "BEGIN SELECT RAISE(ABORT, 'no new parts'); END"_s);
        TShownWorkspace w;
        addRow(*w->ADOMaterialB, { { u"名称"_s, u"门"_s }, { u"数量"_s, u"1"_s } });
        QVERIFY(!w->close());
        QCOMPARE(Dialogs::takeCaptured().size(), 1);
        deleteClosed();
        QVERIFY(w.get());
        QVERIFY(w->ADOMaterialB->hasPendingChanges());
    }
};

QTEST_MAIN(TestWorkspace)
#include "tst_workspace.moc"
