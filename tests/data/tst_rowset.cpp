// Row sets: open, position, editing rules, column access and conversions, events, batch save
// and its failures, the link to a grid.

#include "DataFixture.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

void addSheetLibrary(TTempStore &s, const QStringList &names)
{
    for (const QString &n : names)
        s.exec(
            u"INSERT INTO 原材料信息表 (Name, Length, Width, Price) VALUES (?, 2440, 1220, 1280000)"_s,
            { n });
}

QStringList names(TRowSet &rs, const QString &column = u"Name"_s)
{
    QStringList out;
    const int c = rs.fieldIndex(column);
    for (int r = 0; r < rs.rowCount(); ++r)
        out << rs.data(rs.index(r, c)).toString();
    return out;
}

} // namespace

class TestRowSet : public QObject
{
    Q_OBJECT
private slots:
    void open_withoutDatabase_fails();
    void open_readsRowsInInsertionOrder();
    void navigation();
    void appendAndInsert_positionAndNotification();
    void editOnEmpty_startsNewRow_deleteRules();
    void cancelAndPostRules();
    void scrollEvents();
    void fieldAccess();
    void conversions_data();
    void conversions();
    void typedAccess();
    void currencyRoundTrip_data();
    void currencyRoundTrip();
    void batchSave_writesChangesAndAssignsIds();
    void batchSave_keylessRowsByHiddenKey();
    void failedSave_keepsPendingAndLeavesFileUnchanged();
    void conflictingChange_failsSave();
    void renumberingInAfterInsert_withControlsDisabled();
    void afterInsert_maySaveOrDiscardTheNewRow();
    void modelEditing();
    void execSql_deletesAtOnce();
};

void TestRowSet::open_withoutDatabase_fails()
{
    QVERIFY(FrmDM == nullptr);
    TRowSet rs(Sql::SheetLibrary);
    QVERIFY(errorOf<TDBError>([&] { rs.open(); }).contains(u"数据库没有打开"_s));
    QVERIFY(!rs.isOpen());

    // The data module exists but its file is gone: the open error is repeated with the reason.
    TTempStore s(DBSchema::TSeed::None, false);
    QVERIFY(QFile::remove(s.path()));
    QVERIFY(!errorOf<TDBError>([&] { s.dm->DataModuleCreate(); }).isEmpty());
    const QString message = errorOf<TDBError>([&] { rs.open(); });
    QVERIFY2(message.contains(u"数据库没有打开"_s) && message.contains(u"pnx.dat"_s),
        qPrintable(message));
    QVERIFY(!rs.isOpen());
    QCOMPARE(rs.rowCount(), 0);
    QVERIFY(!QFile::exists(s.path()));
}

void TestRowSet::open_readsRowsInInsertionOrder()
{
    TTempStore s;
    addSheetLibrary(s, { u"A"_s, u"B"_s, u"C"_s });
    s.exec(u"DELETE FROM 原材料信息表 WHERE Name = 'B'"_s);
    addSheetLibrary(s, { u"D"_s });
    // An update must not move a row.
    s.exec(u"UPDATE 原材料信息表 SET Width = 915 WHERE Name = 'A'"_s);

    TRowSet rs(Sql::SheetLibrary);
    QAbstractItemModelTester tester(&rs, QAbstractItemModelTester::FailureReportingMode::QtTest);
    rs.open();
    QCOMPARE(rs.state(), dsBrowse);
    QCOMPARE(rs.tableName(), u"原材料信息表"_s);
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.recNo(), 1);
    QCOMPARE(names(rs), (QStringList { u"A"_s, u"C"_s, u"D"_s }));
    // The hidden row key is no column.
    QCOMPARE(rs.columnCount(), 7);
    QStringList headers;
    for (int c = 0; c < rs.columnCount(); ++c)
        headers << rs.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers,
        (QStringList {
            u"Name"_s, u"Length"_s, u"Width"_s, u"Price"_s, u"Grain"_s, u"Trim"_s, u"Stock"_s }));
    QCOMPARE(rs.fieldType(3), ftCurrency);
    QCOMPARE(rs.data(rs.index(0, 3)).toString(), u"128"_s);

    QVERIFY(!errorOf<TDBError>([&] { rs.setCommandText(Sql::PartLibrary); }).isEmpty());
    addSheetLibrary(s, { u"E"_s });
    QCOMPARE(rs.recordCount(), 3); // the cache, not the file
    rs.reopen();
    QCOMPARE(names(rs), (QStringList { u"A"_s, u"C"_s, u"D"_s, u"E"_s }));
    rs.open(Sql::PartLibrary);
    QCOMPARE(rs.columnCount(), 4);
    QVERIFY(rs.isEmpty());
    QCOMPARE(rs.recNo(), 0);
    rs.close();
    QCOMPARE(rs.state(), dsInactive);
    QCOMPARE(rs.rowCount(), 0);
    QVERIFY(!errorOf<TDBError>([&] { rs.next(); }).isEmpty());
}

void TestRowSet::navigation()
{
    TTempStore s;
    addSheetLibrary(s, { u"1"_s, u"2"_s, u"3"_s });
    TRowSet rs(Sql::SheetLibrary);
    rs.open();
    QVERIFY(rs.bof() && !rs.eof());

    QStringList walked;
    for (rs.first(); !rs.eof(); rs.next())
        walked << rs.field(u"Name"_s).asString();
    QCOMPARE(walked, (QStringList { u"1"_s, u"2"_s, u"3"_s }));
    QCOMPARE(rs.recNo(), 3); // next() at the last row stays there

    rs.prior();
    QCOMPARE(rs.recNo(), 2);
    QVERIFY(!rs.bof() && !rs.eof());
    rs.first();
    rs.prior();
    QVERIFY(rs.bof());
    QCOMPARE(rs.recNo(), 1);
    rs.last();
    QVERIFY(rs.eof());
    QCOMPARE(rs.recNo(), 3);
    rs.setRecNo(2);
    QCOMPARE(rs.field(u"Name"_s).asString(), u"2"_s);
    for (int bad : { 0, -1, 4 })
        QVERIFY(errorOf<TDBError>([&] { rs.setRecNo(bad); }).contains(u"超出范围"_s));
    QCOMPARE(rs.recNo(), 2);

    rs.open(Sql::PartLibrary);
    QVERIFY(rs.isEmpty() && rs.bof() && rs.eof());
    rs.first();
    rs.next();
    QCOMPARE(rs.recNo(), 0);
    QVERIFY(rs.eof());
    // Reading with no current row gives empty values, not an error.
    QCOMPARE(rs.field(u"Length"_s).asInteger(), 0);
    QCOMPARE(rs.field(u"Name"_s).asString(), QString());
}

void TestRowSet::appendAndInsert_positionAndNotification()
{
    TTempStore s;
    addSheetLibrary(s, { u"A"_s, u"B"_s, u"C"_s });
    TRowSet rs(Sql::SheetLibrary);
    QAbstractItemModelTester tester(&rs, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<QPair<int, TDataSetState>> inserted;
    rs.setAfterInsert([&](TRowSet &r) { inserted << qMakePair(r.recNo(), r.state()); });
    rs.open();

    rs.setRecNo(2);
    rs.insert();
    QCOMPARE(rs.recNo(), 2);
    QCOMPARE(rs.state(), dsInsert);
    rs.field(u"Name"_s).setAsString(u"X"_s);
    rs.post();
    QCOMPARE(names(rs), (QStringList { u"A"_s, u"X"_s, u"B"_s, u"C"_s }));

    rs.append();
    QCOMPARE(rs.recNo(), 5);
    QCOMPARE(rs.recordCount(), 5);
    QCOMPARE(inserted, (QList<QPair<int, TDataSetState>> { { 2, dsInsert }, { 5, dsInsert } }));

    // Cancelling the new row goes back to the row that was current before.
    rs.cancel();
    QCOMPARE(rs.recordCount(), 4);
    QCOMPARE(rs.recNo(), 2);
    QCOMPARE(rs.field(u"Name"_s).asString(), u"X"_s);

    // Appending while a new row is being entered posts that row first.
    rs.append();
    rs.field(u"Name"_s).setAsString(u"Y"_s);
    rs.append();
    QCOMPARE(rs.recordCount(), 6);
    QCOMPARE(names(rs).mid(4), (QStringList { u"Y"_s, QString() }));
}

void TestRowSet::editOnEmpty_startsNewRow_deleteRules()
{
    TTempStore s;
    TRowSet rs(Sql::PartLibrary);
    int afterInsert = 0;
    rs.setAfterInsert([&](TRowSet &) { ++afterInsert; });
    rs.open();

    QVERIFY(errorOf<TDBError>([&] { rs.deleteRecord(); }).contains(u"没有可删除的记录"_s));

    rs.edit();
    QCOMPARE(rs.state(), dsInsert);
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(afterInsert, 1);

    // Deleting while the new row is entered cancels it: nothing is left pending.
    rs.field(u"Name"_s).setAsString(u"侧板"_s);
    rs.deleteRecord();
    QCOMPARE(rs.recordCount(), 0);
    QCOMPARE(rs.state(), dsBrowse);
    QVERIFY(!rs.hasPendingChanges());

    // Deleting a stored row leaves the file only at the save.
    s.exec(u"INSERT INTO 零件信息表 (Name, Length, Width) VALUES ('门板', 716, 396)"_s);
    rs.reopen();
    rs.deleteRecord();
    QVERIFY(rs.isEmpty());
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 零件信息表"_s).toInt(), 1);
    rs.updateBatch();
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 零件信息表"_s).toInt(), 0);

    // Deleting while editing discards the edit along with the row.
    s.exec(u"INSERT INTO 零件信息表 (Name) VALUES ('a'), ('b')"_s);
    rs.reopen();
    rs.edit();
    rs.field(u"Name"_s).setAsString(u"changed"_s);
    rs.deleteRecord();
    QCOMPARE(rs.state(), dsBrowse);
    QCOMPARE(names(rs), QStringList { u"b"_s });
}

void TestRowSet::cancelAndPostRules()
{
    TTempStore s;
    addSheetLibrary(s, { u"A"_s, u"B"_s });
    TRowSet rs(Sql::SheetLibrary);
    rs.open();

    rs.edit();
    rs.field(u"Name"_s).setAsString(u"Z"_s);
    QVERIFY(rs.hasPendingChanges());
    rs.cancel();
    QCOMPARE(rs.field(u"Name"_s).asString(), u"A"_s);
    QVERIFY(!rs.hasPendingChanges());

    // Editing back to the stored value leaves nothing to save.
    rs.edit();
    rs.field(u"Name"_s).setAsString(u"Z"_s);
    rs.post();
    rs.edit();
    rs.field(u"Name"_s).setAsString(u"A"_s);
    rs.post();
    QVERIFY(!rs.hasPendingChanges());

    // Moving away while editing posts the edit.
    rs.edit();
    rs.field(u"Name"_s).setAsString(u"Z"_s);
    rs.next();
    QCOMPARE(rs.state(), dsBrowse);
    QCOMPARE(names(rs), (QStringList { u"Z"_s, u"B"_s }));
    QVERIFY(rs.hasPendingChanges());

    // Writing needs dsEdit or dsInsert.
    QVERIFY(
        errorOf<TDBError>([&] { rs.field(u"Name"_s).setAsString(u"Q"_s); }).contains(u"编辑"_s));

    // Saving posts an edit in progress.
    rs.edit();
    rs.field(u"Width"_s).setAsInteger(915);
    rs.updateBatch();
    QCOMPARE(rs.state(), dsBrowse);
    QCOMPARE(s.column(u"SELECT Name || '/' || Width FROM 原材料信息表 ORDER BY rowid"_s),
        (QStringList { u"Z/1220"_s, u"B/915"_s }));
}

void TestRowSet::scrollEvents()
{
    TTempStore s;
    addSheetLibrary(s, { u"A"_s, u"B"_s, u"C"_s });
    TRowSet rs(Sql::SheetLibrary);
    QStringList log;
    rs.setBeforeScroll([&](TRowSet &r) { log << u"before%1"_s.arg(r.recNo()); });
    rs.setAfterScroll([&](TRowSet &r) { log << u"after%1"_s.arg(r.recNo()); });
    rs.setAfterInsert([&](TRowSet &r) { log << u"insert%1"_s.arg(r.recNo()); });
    rs.setAfterOpen([&](TRowSet &r) { log << u"open%1"_s.arg(r.recordCount()); });

    rs.open();
    QCOMPARE(log, (QStringList { u"open3"_s, u"after1"_s }));
    log.clear();
    rs.next();
    rs.setRecNo(2); // no move, no events
    rs.append();
    rs.deleteRecord(); // cancels the new row
    rs.last();
    rs.deleteRecord();
    QCOMPARE(log,
        (QStringList { u"before1"_s, u"after2"_s, u"before2"_s, u"insert4"_s, u"after4"_s,
            u"after2"_s, u"before2"_s, u"after3"_s, u"before3"_s, u"after2"_s }));

    // A handler that refuses the move stops it.
    rs.setBeforeScroll([](TRowSet &) { throw TDBError(u"refused"_s); });
    QCOMPARE(errorOf<TDBError>([&] { rs.first(); }), u"refused"_s);
    QCOMPARE(rs.recNo(), 2);
}

void TestRowSet::fieldAccess()
{
    TTempStore s(DBSchema::TSeed::Examples);
    TRowSet lib(Sql::SheetLibrary);
    lib.open();
    QCOMPARE(lib.field(u"name"_s).index(), 0);
    QCOMPARE(lib.field(u"NAME"_s).asString(), lib.field(u"Name"_s).asString());
    QCOMPARE(lib.field(u"price"_s).type(), ftCurrency);
    QVERIFY(errorOf<TDBError>([&] { lib.field(u"Colour"_s); }).contains(u"Colour"_s));

    TRowSet projects(Sql::RecentProjects);
    projects.open();
    QCOMPARE(projects.field(u"id"_s).type(), ftAutoInc);
    projects.edit();
    QVERIFY(errorOf<TDBError>([&] {
        projects.field(u"ID"_s).setAsInteger(99);
    }).contains(u"自动编号"_s));
    projects.cancel();

    // Columns never written read as 0 and "".
    TRowSet schemes(Sql::SchemesOfProject(1));
    schemes.open();
    QCOMPARE(schemes.recordCount(), 2);
    QVERIFY(schemes.field(u"利用率"_s).isNull());
    QCOMPARE(schemes.field(u"利用率"_s).asInteger(), 0);
    QCOMPARE(schemes.field(u"总价格"_s).asFloat(), 0.0);
    QCOMPARE(schemes.field(u"总面积"_s).asString(), QString());
    QCOMPARE(schemes.field(u"名称"_s).asString(), u"方案1"_s);
}

void TestRowSet::conversions_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected"); // text read back; "!" = conversion error
    // 原材料表: 名称 text, 长度 integer, 价格 currency; 子数据表: 总面积 floating; 主数据表: 日期.
    QTest::newRow("integer") << u"长度"_s << u"2440"_s << u"2440"_s;
    QTest::newRow("integer with blanks and sign") << u"长度"_s << u" -15 "_s << u"-15"_s;
    QTest::newRow("integer empty is null") << u"长度"_s << u""_s << u""_s;
    QTest::newRow("integer letters") << u"长度"_s << u"abc"_s << u"!"_s;
    QTest::newRow("integer with decimals") << u"长度"_s << u"1.5"_s << u"!"_s;
    QTest::newRow("integer beyond 32 bits") << u"长度"_s << u"3000000000"_s << u"!"_s;
    QTest::newRow("integer with unit") << u"长度"_s << u"2440mm"_s << u"!"_s;
    QTest::newRow("currency") << u"价格"_s << u"33.30"_s << u"33.3"_s;
    QTest::newRow("currency blank is null") << u"价格"_s << u"  "_s << u""_s;
    QTest::newRow("currency letters") << u"价格"_s << u"12元"_s << u"!"_s;
    QTest::newRow("currency exponent") << u"价格"_s << u"1e3"_s << u"!"_s;
    QTest::newRow("floating") << u"总面积"_s << u"19.53525"_s << u"19.53525"_s;
    QTest::newRow("floating exponent") << u"总面积"_s << u"1e3"_s << u"1000"_s;
    QTest::newRow("floating letters") << u"总面积"_s << u"x"_s << u"!"_s;
    QTest::newRow("floating infinity") << u"总面积"_s << u"inf"_s << u"!"_s;
    QTest::newRow("date-time") << u"日期"_s << u"2024-03-15 09:30:00"_s << u"2024-03-15 09:30:00"_s;
    QTest::newRow("date-time other form")
        << u"日期"_s << u"2024/3/5 8:05:00"_s << u"2024-03-05 08:05:00"_s;
    QTest::newRow("date only") << u"日期"_s << u"2024-03-05"_s << u"2024-03-05 00:00:00"_s;
    QTest::newRow("date-time impossible day") << u"日期"_s << u"2024-02-30 00:00:00"_s << u"!"_s;
    QTest::newRow("date-time words") << u"日期"_s << u"yesterday"_s << u"!"_s;
    QTest::newRow("text takes anything") << u"名称"_s << u"1.5 x 'a'"_s << u"1.5 x 'a'"_s;
}

void TestRowSet::conversions()
{
    QFETCH(QString, column);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    TTempStore s;
    const QString table = column == u"总面积"_s ? Sql::AllSchemes
        : column == u"日期"_s                   ? Sql::RecentProjects
                                                : Sql::AllSheets;
    TRowSet rs(table);
    rs.open();
    rs.append();
    TField f = rs.field(column);
    const QString before = f.type() == ftString ? u"old"_s
        : f.type() == ftDateTime                ? u"2000-01-01 00:00:00"_s
                                                : u"7"_s;
    f.setAsString(before);
    if (expected == u"!"_s) {
        const QString message = errorOf<TConvertError>([&] { f.setAsString(input); });
        QVERIFY2(message.contains(column), qPrintable(message));
        QCOMPARE(f.asString(), before); // the failed write changed nothing
    } else {
        f.setAsString(input);
        QCOMPARE(f.asString(), expected);
        // And the value survives the file.
        rs.updateBatch();
        rs.reopen();
        rs.last();
        QCOMPARE(rs.field(column).asString(), expected);
    }
}

void TestRowSet::typedAccess()
{
    TTempStore s;
    TRowSet rs(Sql::AllSheets);
    rs.open();
    rs.append();
    TField price = rs.field(u"价格"_s);
    TField length = rs.field(u"长度"_s);
    TField name = rs.field(u"名称"_s);

    price.setAsString(u"33.99"_s);
    QCOMPARE(price.asInteger(), 33); // truncated toward zero
    QCOMPARE(price.asFloat(), 33.99);
    QCOMPARE(price.asCurrency().units(), qint64(339900));
    price.setAsInteger(5);
    QCOMPARE(price.asString(), u"5"_s);
    price.setAsFloat(-0.00015);
    QCOMPARE(price.asCurrency().units(), qint64(-2)); // four decimals, halves away from zero

    length.setAsFloat(2.9);
    QCOMPARE(length.asInteger(), 2);
    length.setAsFloat(-2.9);
    QCOMPARE(length.asInteger(), -2);
    length.setAsCurrency(TCurrency::fromUnits(12345678));
    QCOMPARE(length.asInteger(), 1234);
    QVERIFY(!errorOf<TConvertError>([&] { length.setAsInteger(3000000000LL); }).isEmpty());
    QVERIFY(!errorOf<TConvertError>([&] { length.setAsFloat(std::nan("")); }).isEmpty());
    QVERIFY(!errorOf<TConvertError>([&] {
        length.setAsDateTime(QDateTime::currentDateTime());
    }).isEmpty());
    QCOMPARE(length.asInteger(), 1234);

    // Text columns convert on reading.
    name.setAsString(u"abc"_s);
    QVERIFY(!errorOf<TConvertError>([&] { name.asInteger(); }).isEmpty());
    name.setAsInteger(42);
    QCOMPARE(name.asInteger(), 42);
    name.setAsCurrency(TCurrency::fromUnits(333000));
    QCOMPARE(name.asString(), u"33.3"_s);

    // setValue dispatches on the variant's type; a null variant clears.
    length.setValue(QVariant(1830));
    QCOMPARE(length.asInteger(), 1830);
    length.setValue(QVariant(u"915"_s));
    QCOMPARE(length.asInteger(), 915);
    length.setValue(QVariant());
    QVERIFY(length.isNull());

    TRowSet projects(Sql::RecentProjects);
    projects.open();
    projects.append();
    const QDateTime moment(QDate(2024, 12, 31), QTime(23, 59, 58, 750));
    projects.field(u"日期"_s).setAsDateTime(moment);
    QCOMPARE(projects.field(u"日期"_s).asDateTime(), moment.addMSecs(-750)); // seconds are kept
    QCOMPARE(projects.field(u"日期"_s).asString(), u"2024-12-31 23:59:58"_s);
    projects.field(u"单号"_s).setAsDateTime(moment);
    QCOMPARE(projects.field(u"单号"_s).asDateTime(), moment.addMSecs(-750));
    projects.field(u"日期"_s).setAsDateTime(QDateTime());
    QVERIFY(projects.field(u"日期"_s).isNull());
}

void TestRowSet::currencyRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("units");
    QTest::newRow("0.0001") << u"0.0001"_s << qint64(1);
    QTest::newRow("99999.9999") << u"99999.9999"_s << qint64(999999999);
    QTest::newRow("33.3") << u"33.3"_s << qint64(333000);
    QTest::newRow("negative") << u"-12.5"_s << qint64(-125000);
}

void TestRowSet::currencyRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(qint64, units);
    TTempStore s;
    TRowSet rs(Sql::SheetLibrary);
    rs.open();
    rs.append();
    rs.field(u"Price"_s).setAsString(text);
    rs.append();
    rs.field(u"Price"_s).setAsCurrency(TCurrency::fromUnits(units));
    rs.append();
    rs.field(u"Price"_s).setAsFloat(TCurrency::fromUnits(units).toDouble());
    rs.updateBatch();

    // Stored exactly, as integers of ten-thousandths.
    QCOMPARE(s.column(u"SELECT typeof(Price) || ' ' || Price FROM 原材料信息表 ORDER BY rowid"_s),
        QStringList(3, u"integer %1"_s.arg(units)));
    rs.reopen();
    for (rs.first(); !rs.eof(); rs.next()) {
        QCOMPARE(rs.field(u"price"_s).asString(), text);
        QCOMPARE(rs.field(u"price"_s).asCurrency().units(), units);
        QCOMPARE(rs.field(u"price"_s).asFloat(), TCurrency::parse(text)->toDouble());
    }
}

void TestRowSet::batchSave_writesChangesAndAssignsIds()
{
    TTempStore s;
    TRowSet rs(Sql::RecentProjects);
    rs.open();
    for (int i = 1; i <= 3; ++i) {
        rs.append();
        rs.field(u"单号"_s).setAsString(u"T%1"_s.arg(i));
        QVERIFY(rs.field(u"ID"_s).isNull());
    }
    QVERIFY(rs.hasPendingChanges());
    rs.updateBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(rs.recNo(), 3); // the current row stays
    QList<int> ids;
    for (rs.first(); !rs.eof(); rs.next())
        ids << rs.field(u"ID"_s).asInteger();
    QCOMPARE(ids, (QList<int> { 1, 2, 3 }));
    QCOMPARE(rs.data(rs.index(2, 0)).toString(), u"3"_s);
    QCOMPARE(s.column(u"SELECT ID || 单号 FROM 主数据表 ORDER BY ID"_s),
        (QStringList { u"1T1"_s, u"2T2"_s, u"3T3"_s }));

    // Delete the newest project; the next one still gets a larger ID than any before.
    rs.last();
    rs.deleteRecord();
    rs.first();
    rs.edit();
    rs.field(u"单号"_s).setAsString(u"T1-changed"_s);
    rs.append();
    rs.field(u"单号"_s).setAsString(u"T4"_s);
    rs.updateBatch();
    QCOMPARE(rs.field(u"ID"_s).asInteger(), 4);
    QCOMPARE(s.column(u"SELECT ID || 单号 FROM 主数据表 ORDER BY ID"_s),
        (QStringList { u"1T1-changed"_s, u"2T2"_s, u"4T4"_s }));
    // A save with nothing pending does nothing at all.
    const QString before = s.dump();
    rs.updateBatch();
    QCOMPARE(s.dump(), before);
}

void TestRowSet::batchSave_keylessRowsByHiddenKey()
{
    TTempStore s;
    // Two rows that agree in every column can only be told apart by the hidden key.
    for (int i = 0; i < 2; ++i)
        s.exec(
            u"INSERT INTO 零件表 (ID, 名称, 长度, 宽度, 数量) VALUES (7, '侧板', 720, 560, 2)"_s);
    TRowSet rs(Sql::PartsOfProject(7));
    rs.open();
    QCOMPARE(rs.columnCount(), 6);
    rs.setRecNo(2);
    rs.edit();
    rs.field(u"数量"_s).setAsInteger(5);
    rs.updateBatch();
    QCOMPARE(
        s.column(u"SELECT 数量 FROM 零件表 ORDER BY rowid"_s), (QStringList { u"2"_s, u"5"_s }));
    rs.first();
    rs.deleteRecord();
    rs.updateBatch();
    QCOMPARE(s.column(u"SELECT 数量 FROM 零件表 ORDER BY rowid"_s), QStringList { u"5"_s });
}

void TestRowSet::failedSave_keepsPendingAndLeavesFileUnchanged()
{
    TTempStore s;
    addSheetLibrary(s, { u"A"_s, u"B"_s, u"C"_s });
    s.exec(u"CREATE TRIGGER refuse BEFORE INSERT ON 原材料信息表 WHEN NEW.Name = 'BAD' "
           "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"_s);
    const QString before = s.dump();

    TRowSet rs(Sql::SheetLibrary);
    rs.open();
    rs.edit();
    rs.field(u"Price"_s).setAsString(u"1.5"_s); // change A
    rs.next();
    rs.deleteRecord(); // delete B
    rs.append();
    rs.field(u"Name"_s).setAsString(u"ok"_s);
    rs.append();
    rs.field(u"Name"_s).setAsString(u"BAD"_s); // the last write of the save fails
    const QStringList pending = names(rs);

    const QString message = errorOf<TDBError>([&] { rs.updateBatch(); });
    QVERIFY2(message.contains(u"refused by test"_s) && message.contains(u"原材料信息表"_s),
        qPrintable(message));
    QCOMPARE(s.dump(), before);
    QVERIFY(rs.hasPendingChanges());
    QCOMPARE(names(rs), pending);

    // Once the cause is gone the same changes save.
    s.exec(u"DROP TRIGGER refuse"_s);
    rs.updateBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(
        s.column(u"SELECT Name || '=' || ifnull(Price, 'null') FROM 原材料信息表 ORDER BY rowid"_s),
        (QStringList { u"A=15000"_s, u"C=1280000"_s, u"ok=null"_s, u"BAD=null"_s }));
}

void TestRowSet::conflictingChange_failsSave()
{
    TTempStore s;
    addSheetLibrary(s, { u"A"_s, u"B"_s });
    TRowSet rs(Sql::SheetLibrary);
    rs.open();

    // Another program changes the price after we read it; our price change must not win
    // silently.
    s.exec(u"UPDATE 原材料信息表 SET Price = 990000 WHERE Name = 'A'"_s);
    rs.edit();
    rs.field(u"Price"_s).setAsString(u"100"_s);
    rs.post();
    QVERIFY(errorOf<TDBError>([&] { rs.updateBatch(); }).contains(u"其他程序"_s));
    QCOMPARE(s.scalar(u"SELECT Price FROM 原材料信息表 WHERE Name = 'A'"_s).toLongLong(), 990000LL);
    QVERIFY(rs.hasPendingChanges());

    // A row deleted by another program cannot be deleted again.
    rs.reopen();
    s.exec(u"DELETE FROM 原材料信息表 WHERE Name = 'B'"_s);
    rs.last();
    rs.deleteRecord();
    QVERIFY(errorOf<TDBError>([&] { rs.updateBatch(); }).contains(u"其他程序"_s));

    // A change of a column we did not touch is no conflict.
    rs.reopen();
    s.exec(u"UPDATE 原材料信息表 SET Width = 1 WHERE Name = 'A'"_s);
    rs.edit();
    rs.field(u"Length"_s).setAsInteger(3000);
    rs.updateBatch();
    QCOMPARE(s.column(u"SELECT Length || 'x' || Width FROM 原材料信息表"_s),
        QStringList { u"3000x1"_s });
}

void TestRowSet::renumberingInAfterInsert_withControlsDisabled()
{
    TTempStore s;
    addSheetLibrary(s, { u"5"_s, u"9"_s, u"x"_s });
    TRowSet rs(Sql::SheetLibrary);
    QAbstractItemModelTester tester(&rs, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // The library editors' renumbering: post the new row, then walk all rows naming each by
    // its position, with the grid detached.
    rs.setAfterInsert([](TRowSet &r) {
        r.post();
        r.disableControls();
        const int n = r.recordCount();
        r.first();
        for (int i = 1; i <= n; ++i) {
            r.edit();
            r.field(u"name"_s).setAsString(QString::number(i));
            r.post();
            r.next();
        }
        r.enableControls();
    });
    rs.open();
    QSignalSpy resets(&rs, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&rs, &QAbstractItemModel::dataChanged);
    QSignalSpy current(&rs, &TRowSet::currentRowChanged);

    rs.append();
    QCOMPARE(names(rs), (QStringList { u"1"_s, u"2"_s, u"3"_s, u"4"_s }));
    QCOMPARE(rs.recNo(), 4);
    // The walk reached the grid as one reset, not row by row.
    QCOMPARE(resets.count(), 1);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(current.last().at(0).toInt(), 4);
    for (const QList<QVariant> &c : current)
        QVERIFY(c.at(0).toInt() == 4); // no intermediate positions were reported

    // Nested suspends resume only at the outermost.
    rs.disableControls();
    rs.disableControls();
    rs.first();
    rs.enableControls();
    QVERIFY(rs.controlsDisabled());
    rs.enableControls();
    QVERIFY(!rs.controlsDisabled());
    QCOMPARE(current.last().at(0).toInt(), 1);
}

void TestRowSet::afterInsert_maySaveOrDiscardTheNewRow()
{
    TTempStore s(DBSchema::TSeed::Examples);
    // A new scheme: its owner is set and it is saved at once (it needs its ID), then all
    // schemes are renamed by position; the names stay pending.
    TRowSet schemes(Sql::SchemesOfProject(1));
    QAbstractItemModelTester tester(
        &schemes, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<int> scrolledTo;
    schemes.setAfterScroll([&](TRowSet &r) { scrolledTo << r.field(u"ID"_s).asInteger(); });
    schemes.setAfterInsert([](TRowSet &r) {
        r.field(u"PID"_s).setAsInteger(1);
        r.updateBatch();
        r.disableControls();
        r.first();
        for (int i = 1; i <= r.recordCount(); ++i) {
            r.edit();
            r.field(u"名称"_s).setAsString(u"方案%1"_s.arg(i));
            r.post();
            r.next();
        }
        r.enableControls();
    });
    schemes.open();
    schemes.first();
    schemes.edit();
    schemes.field(u"名称"_s).setAsString(u"my own name"_s);
    schemes.post();
    scrolledTo.clear();
    schemes.insert(); // before the first scheme
    QCOMPARE(schemes.state(), dsBrowse);
    QCOMPARE(schemes.recNo(), 3);
    // The walk's moves, then the insert's own notification on the row current at its end.
    QCOMPARE(scrolledTo, (QList<int> { 1, 2, 2 }));
    QCOMPARE(names(schemes, u"名称"_s), (QStringList { u"方案1"_s, u"方案2"_s, u"方案3"_s }));
    schemes.first();
    QCOMPARE(schemes.field(u"ID"_s).asInteger(), 3); // the new scheme, saved with its ID
    QVERIFY(schemes.hasPendingChanges()); // the new names
    QCOMPARE(s.column(u"SELECT 名称 FROM 子数据表 ORDER BY ID"_s),
        (QStringList { u"my own name"_s, u"方案2"_s, u"<null>"_s }));

    // A sheet typed while no scheme is current is discarded at once.
    TRowSet sheets(Sql::NoSheets);
    sheets.setAfterInsert([](TRowSet &r) { r.deleteRecord(); });
    sheets.open();
    sheets.append();
    QVERIFY(sheets.isEmpty());
    QCOMPARE(sheets.state(), dsBrowse);
    QVERIFY(!sheets.hasPendingChanges());
}

void TestRowSet::modelEditing()
{
    TTempStore s(DBSchema::TSeed::Examples);
    TRowSet rs(Sql::SheetsOfScheme(1));
    QAbstractItemModelTester tester(&rs, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy errors(&rs, &TRowSet::editError);
    rs.open();
    QCOMPARE(rs.recordCount(), 2);
    const int length = rs.fieldIndex(u"长度"_s);

    QVERIFY(rs.setData(rs.index(0, length), u"2500"_s));
    QCOMPARE(rs.state(), dsEdit);
    QCOMPARE(rs.data(rs.index(0, length)).toString(), u"2500"_s);

    // Editing another row makes it current and posts the first edit.
    QVERIFY(rs.setData(rs.index(1, length), u"1900"_s));
    QCOMPARE(rs.recNo(), 2);
    QVERIFY(rs.hasPendingChanges());

    QVERIFY(!rs.setData(rs.index(1, length), u"abc"_s));
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.first().at(0).toString().contains(u"abc"_s));
    QCOMPARE(rs.data(rs.index(1, length)).toString(), u"1900"_s);

    rs.updateBatch();
    QCOMPARE(s.column(u"SELECT 长度 FROM 原材料表 WHERE ID = 1 ORDER BY rowid"_s),
        (QStringList { u"2500"_s, u"1900"_s }));

    TRowSet projects(Sql::RecentProjects);
    projects.open();
    QVERIFY(
        !(projects.flags(projects.index(0, projects.fieldIndex(u"ID"_s))) & Qt::ItemIsEditable));
    QVERIFY(projects.flags(projects.index(0, projects.fieldIndex(u"单号"_s))) & Qt::ItemIsEditable);
    QVERIFY(!projects.setData(projects.index(0, 0), u"5"_s));
}

void TestRowSet::execSql_deletesAtOnce()
{
    TTempStore s(DBSchema::TSeed::Examples);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表 WHERE ID = 2"_s).toInt(), 2);
    QCOMPARE(ExecSQL(Sql::DeleteSchemeSheets(2)), 2);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表 WHERE ID = 2"_s).toInt(), 0);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表"_s).toInt(), 2);
    QCOMPARE(s.dm->ExecSQL(Sql::DeleteSchemeSheets(2)), 0);
    const QString message
        = errorOf<TDBError>([&] { ExecSQL(u"Delete From 无此表 Where ID = 1"_s); });
    QVERIFY2(
        message.contains(u"无此表"_s) && message.contains(u"no such table"_s), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestRowSet)
#include "tst_rowset.moc"
