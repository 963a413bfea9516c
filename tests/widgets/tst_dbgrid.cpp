// The data grid: chosen columns with titles and widths that survive every reopening, the grid
// and the row set following each other's current row, and row-set operations that behave the
// same with a grid bound as without.

#include "LibraryFixture.h"

#include <QHeaderView>
#include <QLineEdit>

using namespace Qt::StringLiterals;
using namespace LibraryTest;

namespace {

// The sheets of a scheme, as the project workspace shows them: the owner key ID is not shown.
const QList<TGridColumn> SheetColumns = {
    { u"名称"_s, u"名称"_s, 70 },
    { u"长度"_s, u"长度"_s, 71 },
    { u"宽度"_s, u"宽度"_s, 72 },
    { u"刀口"_s, u"刀口"_s, 73 },
    { u"价格"_s, u"价格"_s, 74 },
};

void seedSheets(TLibraryStore &store, int scheme, int rows)
{
    for (int i = 1; i <= rows; ++i)
        store.exec(
            u"INSERT INTO 原材料表 (ID, 名称, 长度, 宽度, 刀口, 价格) VALUES (?, ?, ?, ?, 0, ?)"_s,
            { scheme, u"板%1"_s.arg(i), 1000 * i, 500 * i, 10000 * i });
}

QStringList shownColumns(const TDBGrid &grid)
{
    QStringList out;
    const QHeaderView *h = grid.horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int section = h->logicalIndex(v);
        if (!h->isSectionHidden(section))
            out << u"%1 %2"_s.arg(grid.model()->headerData(section, Qt::Horizontal).toString())
                       .arg(h->sectionSize(section));
    }
    return out;
}

} // namespace

class TestDBGrid : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup() { QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked"); }

    void columns_hideTheRestAndSurviveReopening()
    {
        TLibraryStore store;
        seedSheets(store, 7, 3);
        TRowSet rs(Sql::SheetsOfScheme(7));
        TDBGrid grid;
        grid.resize(500, 300);
        grid.setColumns(SheetColumns);
        grid.setDataSource(&rs);
        const QStringList expected { u"名称 70"_s, u"长度 71"_s, u"宽度 72"_s, u"刀口 73"_s,
            u"价格 74"_s };

        QCOMPARE(shownColumns(grid), QStringList()); // closed: nothing
        rs.open();
        QCOMPARE(shownColumns(grid), expected);
        QCOMPARE(rs.fieldCount(), 9); // ID (and grain, trim, stock) are there, only not shown
        QCOMPARE(grid.gridColumnCount(), 5);

        rs.setRecNo(3);
        grid.setSelectedIndex(2);
        rs.close();
        QCOMPARE(shownColumns(grid), QStringList());
        QVERIFY(!grid.currentIndex().isValid());
        rs.open(Sql::SheetsOfScheme(7));
        QCOMPARE(shownColumns(grid), expected);
        // The first row is current again, in the column chosen before.
        QCOMPARE(grid.currentIndex(), grid.cellIndex(0, 2));

        rs.disableControls(); // a bulk rewrite resets the grid once at the end
        rs.last();
        rs.edit();
        rs.field(u"名称"_s).setAsString(u"新"_s);
        rs.post();
        rs.enableControls();
        QCOMPARE(shownColumns(grid), expected);
        QCOMPARE(grid.currentIndex(), grid.cellIndex(2, 2));
        QCOMPARE(grid.cellIndex(2, 0).data().toString(), u"新"_s);

        // A row set destroyed before its grid leaves the grid empty.
        auto *gone = new TRowSet(Sql::SheetsOfScheme(7));
        grid.setDataSource(gone);
        gone->open();
        QCOMPARE(grid.model()->rowCount(), 3);
        delete gone;
        QVERIFY(!grid.dataSource());
        QCOMPARE(grid.model()->rowCount(), 0);
        QCOMPARE(grid.verticalHeader()->count(), 0); // the view knows, too
        QCOMPARE(grid.gridColumnCount(), 0);
        grid.grab(); // paints without touching the row set
    }

    // A name edited elsewhere to megabytes is shown cut short (laying it out whole froze the
    // window for minutes); a cell editor takes at most MaxNameLength characters, numbers are not
    // cut.
    void longTexts_shownShort_editorsTakeSensibleNames()
    {
        TLibraryStore store;
        const QString huge(3000000, u'板');
        store.exec(u"INSERT INTO 原材料表 (ID, 名称, 长度, 宽度, 刀口, 价格) VALUES (7, ?, 2440, 1220, 0, 0)"_s,
            { huge });
        TRowSet rs(Sql::SheetsOfScheme(7));
        TDBGrid grid;
        grid.resize(500, 300);
        grid.setColumns(SheetColumns);
        grid.setDataSource(&rs);
        rs.open();
        grid.show();
        const QString shown = grid.cellIndex(0, 0).data().toString();
        QCOMPARE(shown.size(), MaxShownTextLength + 1);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QCOMPARE(grid.cellIndex(0, 1).data().toString(), u"2440"_s);
        grid.grab();

        clickCell(&grid, 0, 0);
        type(&grid, u"x"_s);
        auto *editor = qobject_cast<QLineEdit *>(grid.indexWidget(grid.currentIndex()));
        QVERIFY(editor);
        QCOMPARE(editor->maxLength(), MaxNameLength);
        editor->setText(QString(500, u'长'));
        QCOMPARE(editor->text().size(), MaxNameLength);
        QVERIFY(grid.commitEditor());
        QCOMPARE(rs.field(u"名称"_s).asString().size(), MaxNameLength);
    }

    // Clicks, arrow keys and Tab move the row set; the row set's own moves move the grid; a
    // move the row set refuses puts the grid back.
    void currentRow_followsBothWays()
    {
        TLibraryStore store;
        seedSheets(store, 1, 4);
        TRowSet rs(Sql::SheetsOfScheme(1));
        TDBGrid grid;
        grid.resize(500, 300);
        grid.setColumns(SheetColumns);
        grid.setDataSource(&rs);
        rs.open();
        QVERIFY(showActive(&grid));

        QTest::mouseClick(
            grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.cellIndex(2, 1)).center());
        QCOMPARE(rs.recNo(), 3);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(rs.recNo(), 4);
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(rs.recNo(), 2);
        grid.setSelectedIndex(4);
        QTest::keyClick(&grid, Qt::Key_Tab); // past the last column: the next row
        QCOMPARE(rs.recNo(), 3);

        rs.first();
        QCOMPARE(grid.currentIndex().row(), 0);
        rs.deleteRecord();
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(grid.cellIndex(0, 0).data().toString(), u"板2"_s);

        rs.setBeforeScroll([](TRowSet &) { throw TDBError(u"方案的原材料保存失败"_s); });
        QTest::mouseClick(
            grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.cellIndex(2, 1)).center());
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"方案的原材料保存失败."_s });
        QCOMPARE(rs.recNo(), 1);
        QTRY_COMPARE(grid.currentIndex().row(), 0);
    }

    // The grid only follows what the row set does: deleting, inserting, cancelling and
    // reopening raise exactly the scroll events they raise without a grid (the project
    // workspace saves and reloads in them).
    void rowSetOperations_raiseTheSameEventsWithAGrid()
    {
        TLibraryStore store;
        seedSheets(store, 1, 4);
        auto run = [&](bool withGrid) {
            QStringList events;
            TRowSet rs(Sql::SheetsOfScheme(1));
            TDBGrid grid;
            grid.resize(500, 300);
            grid.setColumns(SheetColumns);
            if (withGrid) {
                grid.setDataSource(&rs);
                grid.show();
            }
            rs.setBeforeScroll([&](TRowSet &r) { events << u"before %1"_s.arg(r.recNo()); });
            rs.setAfterScroll([&](TRowSet &r) { events << u"after %1"_s.arg(r.recNo()); });
            rs.open();
            rs.setRecNo(2);
            events << u"--delete"_s;
            rs.deleteRecord();
            events << u"--insert"_s;
            rs.insert();
            events << u"--cancel"_s;
            rs.cancel();
            events << u"--append"_s;
            rs.append();
            rs.post();
            events << u"--delete last"_s;
            rs.deleteRecord();
            events << u"--reopen"_s;
            rs.reopen();
            return events;
        };
        const QStringList plain = run(false);
        QCOMPARE(run(true), plain);
        QVERIFY(plain.contains(u"--delete"_s));
    }
};

QTEST_MAIN(TestDBGrid)
#include "tst_dbgrid.moc"
