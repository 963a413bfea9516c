// The system's statements against the store: their translation, the project and order-number
// queries, the owner queries, and the cascades that delete a project or a scheme.

#include "DataFixture.h"

using namespace Qt::StringLiterals;

namespace {

// Project p with `schemes` schemes; each scheme gets two sheets, the project three parts.
// Returns the scheme IDs.
QList<qint64> addProject(TTempStore &s, const QString &orderNo, int schemes)
{
    s.exec(u"INSERT INTO 主数据表 (单号, 日期) VALUES (?, '2024-01-01 08:00:00')"_s, { orderNo });
    const qint64 p = s.scalar(u"SELECT max(ID) FROM 主数据表"_s).toLongLong();
    QList<qint64> ids;
    for (int n = 1; n <= schemes; ++n) {
        s.exec(u"INSERT INTO 子数据表 (PID, 名称) VALUES (?, ?)"_s, { p, u"方案%1"_s.arg(n) });
        const qint64 id = s.scalar(u"SELECT max(ID) FROM 子数据表"_s).toLongLong();
        ids << id;
        for (int k = 0; k < 2; ++k)
            s.exec(
                u"INSERT INTO 原材料表 (ID, 名称, 长度, 宽度, 刀口, 价格) VALUES (?, ?, 2440, 1220, 4, 1280000)"_s,
                { id, u"%1-%2-%3"_s.arg(orderNo).arg(n).arg(k) });
    }
    for (int k = 0; k < 3; ++k)
        s.exec(u"INSERT INTO 零件表 (ID, 名称, 长度, 宽度, 数量) VALUES (?, ?, 700, 500, 2)"_s,
            { p, u"%1-part%2"_s.arg(orderNo).arg(k) });
    return ids;
}

qint64 projectId(TTempStore &s, const QString &orderNo)
{
    return s.scalar(u"SELECT ID FROM 主数据表 WHERE 单号 = '%1'"_s.arg(orderNo)).toLongLong();
}

// Everything stored for one project, to show that it is untouched.
QStringList projectRows(TTempStore &s, qint64 p)
{
    const QString id = QString::number(p);
    return s.column(u"SELECT '主' || ID || 单号 FROM 主数据表 WHERE ID = %1"_s.arg(id))
        + s.column(
            u"SELECT '子' || ID || 名称 FROM 子数据表 WHERE PID = %1 ORDER BY rowid"_s.arg(id))
        + s.column(
            u"SELECT '原' || rowid || 名称 FROM 原材料表 WHERE ID IN (SELECT ID FROM 子数据表 WHERE PID = %1) ORDER BY rowid"_s
                .arg(id))
        + s.column(
            u"SELECT '零' || rowid || 名称 FROM 零件表 WHERE ID = %1 ORDER BY rowid"_s.arg(id));
}

} // namespace

class TestStatements : public QObject
{
    Q_OBJECT
private slots:
    void translation_data();
    void translation();
    void statementTexts();
    void recentProjects_areTheTenWithLargestId();
    void orderNumberQuery_findsQuotes_data();
    void orderNumberQuery_findsQuotes();
    void ownerQueries();
    void deleteProject_removesItsRowsAndLeavesOthers();
    void deleteProject_failurePartWay_changesNothing_data();
    void deleteProject_failurePartWay_changesNothing();
    void deleteProject_runsNoScrollEventInsideTheTransaction();
    void deleteProject_unsavedRowIsCancelled();
    void deleteScheme_removesOnlyItsSheets();
    void deleteScheme_failure_changesNothing();
};

void TestStatements::translation_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("ten newest") << Sql::RecentProjects
                                << u"select * from 主数据表 order by ID desc LIMIT 10"_s;
    QTest::newRow("upper case, blanks, semicolon")
        << u"  SELECT  TOP 3 Name FROM x ; "_s << u"select Name FROM x LIMIT 3"_s;
    QTest::newRow("no top") << Sql::SheetsOfScheme(5) << Sql::SheetsOfScheme(5);
    QTest::newRow("a column named top") << u"select top from t"_s << u"select top from t"_s;
    QTest::newRow("quoted top kept")
        << Sql::ProjectByOrderNo(u"select Top 1 "_s) << Sql::ProjectByOrderNo(u"select Top 1 "_s);
    QTest::newRow("cascade") << Sql::DeleteProjectSheets(3) << Sql::DeleteProjectSheets(3);
}

void TestStatements::translation()
{
    QFETCH(QString, jet);
    QFETCH(QString, sqlite);
    QCOMPARE(TRowSet::toSqlite(jet), sqlite);
}

void TestStatements::statementTexts()
{
    // The texts are the system's own; these are the forms the windows rely on.
    const QList<QPair<QString, QString>> texts = {
        { Sql::ProjectByOrderNo(u"T2024"_s), u"select * from 主数据表 Where 单号 = 'T2024'"_s },
        { Sql::ProjectByOrderNo(u"O'Neil''s"_s),
            u"select * from 主数据表 Where 单号 = 'O''Neil''''s'"_s },
        { Sql::SchemesOfProject(12), u"select * from 子数据表 where PID = 12"_s },
        { Sql::SheetsOfScheme(7), u"Select * From 原材料表 Where ID = 7"_s },
        { Sql::PartsOfProject(0), u"Select * From 零件表 Where ID = 0"_s },
        { Sql::DeleteProjectSheets(3),
            u"Delete From 原材料表 Where ID in (Select ID From 子数据表 Where PID = 3)"_s },
        { Sql::DeleteProjectParts(3), u"Delete From 零件表 Where ID = 3"_s },
        { Sql::DeleteProjectSchemes(3), u"Delete From 子数据表 Where PID = 3"_s },
        { Sql::DeleteSchemeSheets(-4), u"Delete From 原材料表 Where ID = -4"_s },
    };
    for (const auto &t : texts)
        QCOMPARE(t.first, t.second);
}

void TestStatements::recentProjects_areTheTenWithLargestId()
{
    TTempStore s;
    for (int i = 1; i <= 12; ++i)
        addProject(s, u"T%1"_s.arg(i), 0);
    s.exec(u"DELETE FROM 主数据表 WHERE ID = 5"_s);
    TRowSet rs(Sql::RecentProjects);
    rs.open();
    QList<int> ids;
    for (rs.first(); !rs.eof(); rs.next())
        ids << rs.field(u"ID"_s).asInteger();
    QCOMPARE(ids, (QList<int> { 12, 11, 10, 9, 8, 7, 6, 4, 3, 2 }));

    // The list stays editable and saves like any other row set.
    rs.first();
    rs.edit();
    rs.field(u"单号"_s).setAsString(u"newest"_s);
    rs.updateBatch();
    QCOMPARE(s.scalar(u"SELECT 单号 FROM 主数据表 WHERE ID = 12"_s).toString(), u"newest"_s);
}

void TestStatements::orderNumberQuery_findsQuotes_data()
{
    QTest::addColumn<QString>("orderNo");
    QTest::newRow("plain") << u"T20240315093000"_s;
    QTest::newRow("one quote") << u"T'1"_s;
    QTest::newRow("doubled quotes") << u"T''2"_s;
    QTest::newRow("injection attempt") << u"x' or '1'='1"_s;
    QTest::newRow("statement attempt") << u"x'; Delete From 主数据表; --"_s;
    QTest::newRow("chinese and trailing space") << u"工程 一 "_s;
}

void TestStatements::orderNumberQuery_findsQuotes()
{
    QFETCH(QString, orderNo);
    TTempStore s;
    for (const QString &o : { u"T20240315093000"_s, u"T'1"_s, u"T''2"_s, u"x' or '1'='1"_s,
             u"x'; Delete From 主数据表; --"_s, u"工程 一 "_s, u"x"_s, u"工程 一"_s })
        addProject(s, o, 1);
    TRowSet rs;
    rs.open(Sql::ProjectByOrderNo(orderNo));
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.field(u"单号"_s).asString(), orderNo);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 主数据表"_s).toInt(), 8);

    rs.open(Sql::ProjectByOrderNo(u"missing"_s));
    QVERIFY(rs.isEmpty());
}

void TestStatements::ownerQueries()
{
    TTempStore s;
    const QList<qint64> a = addProject(s, u"A"_s, 2);
    addProject(s, u"B"_s, 1);
    const qint64 pa = projectId(s, u"A"_s);

    TRowSet schemes(Sql::SchemesOfProject(pa));
    schemes.open();
    QCOMPARE(schemes.recordCount(), 2);
    QCOMPARE(schemes.field(u"名称"_s).asString(), u"方案1"_s);

    TRowSet sheets(Sql::SheetsOfScheme(a[1]));
    sheets.open();
    QStringList names;
    for (sheets.first(); !sheets.eof(); sheets.next())
        names << sheets.field(u"名称"_s).asString();
    QCOMPARE(names, (QStringList { u"A-2-0"_s, u"A-2-1"_s }));
    QCOMPARE(sheets.field(u"价格"_s).asString(), u"128"_s);

    TRowSet parts(Sql::PartsOfProject(pa));
    parts.open();
    QCOMPARE(parts.recordCount(), 3);

    sheets.close();
    sheets.open(Sql::NoSheets);
    QVERIFY(sheets.isEmpty());
    QCOMPARE(sheets.columnCount(), 9);
}

void TestStatements::deleteProject_removesItsRowsAndLeavesOthers()
{
    TTempStore s;
    const QList<qint64> a2 = addProject(s, u"A"_s, 2);
    addProject(s, u"B"_s, 1);
    addProject(s, u"C"_s, 2);
    const qint64 pa = projectId(s, u"A"_s), pb = projectId(s, u"B"_s), pc = projectId(s, u"C"_s);
    // A's second scheme has the number of B's project: its sheets must survive, the cascade
    // follows B's schemes, not the number.
    QCOMPARE(a2[1], pb);
    const QStringList a = projectRows(s, pa), c = projectRows(s, pc);

    TRowSet projects(Sql::RecentProjects);
    projects.open();
    projects.setRecNo(2); // B (newest first: C, B, A)
    QCOMPARE(projects.field(u"单号"_s).asString(), u"B"_s);
    DeleteProject(projects);

    QCOMPARE(projectRows(s, pb), QStringList());
    QCOMPARE(projectRows(s, pa), a);
    QCOMPARE(projectRows(s, pc), c);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表"_s).toInt(), 8);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 零件表"_s).toInt(), 6);
    QCOMPARE(projects.recordCount(), 2);
    QCOMPARE(projects.field(u"单号"_s).asString(), u"A"_s);
    QVERIFY(!projects.hasPendingChanges());
}

void TestStatements::deleteProject_failurePartWay_changesNothing_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("step 2: parts") << u"BEFORE DELETE ON 零件表"_s;
    QTest::newRow("step 3: schemes") << u"BEFORE DELETE ON 子数据表"_s;
    QTest::newRow("step 4: project row save") << u"BEFORE DELETE ON 主数据表"_s;
    QTest::newRow("pending change saved with it") << u"BEFORE UPDATE ON 主数据表"_s;
}

void TestStatements::deleteProject_failurePartWay_changesNothing()
{
    QFETCH(QString, trigger);
    TTempStore s;
    addProject(s, u"A"_s, 2);
    addProject(s, u"B"_s, 2);
    s.exec(u"CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused by test'); END"_s.arg(
        trigger));
    const QString before = s.dump();

    TRowSet projects(Sql::RecentProjects);
    projects.open();
    projects.last();
    projects.edit();
    projects.field(u"单号"_s).setAsString(u"A2"_s); // pending, saved together with the delete
    projects.first(); // B
    const int count = projects.recordCount();

    const QString message = errorOf<TDBError>([&] { DeleteProject(projects); });
    QVERIFY2(message.contains(u"refused by test"_s), qPrintable(message));
    QCOMPARE(s.dump(), before);
    // The row set is as it was: B still current, A's change still pending.
    QCOMPARE(projects.recordCount(), count);
    QCOMPARE(projects.recNo(), 1);
    QCOMPARE(projects.field(u"单号"_s).asString(), u"B"_s);
    QVERIFY(projects.hasPendingChanges());

    s.exec(u"DROP TRIGGER refuse"_s);
    DeleteProject(projects);
    QCOMPARE(s.column(u"SELECT 单号 FROM 主数据表"_s), QStringList { u"A2"_s });
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 子数据表"_s).toInt(), 2);
}

void TestStatements::deleteProject_runsNoScrollEventInsideTheTransaction()
{
    TTempStore s;
    addProject(s, u"A"_s, 1);
    addProject(s, u"B"_s, 1);
    TRowSet projects(Sql::RecentProjects);
    projects.open();
    QStringList log;
    projects.setBeforeScroll([&](TRowSet &) { log << u"before"_s; });
    projects.setAfterScroll([&](TRowSet &r) {
        // By now the deletion is in the file.
        log << u"after %1 %2"_s.arg(r.field(u"单号"_s).asString())
                   .arg(s.scalar(u"SELECT count(*) FROM 主数据表"_s).toInt());
    });
    DeleteProject(projects);
    QCOMPARE(log, QStringList { u"after A 1"_s });

    // On failure no event runs at all.
    log.clear();
    s.exec(
        u"CREATE TRIGGER refuse BEFORE DELETE ON 主数据表 BEGIN SELECT RAISE(ABORT, 'no'); END"_s);
    QVERIFY(!errorOf<TDBError>([&] { DeleteProject(projects); }).isEmpty());
    QCOMPARE(log, QStringList());
}

void TestStatements::deleteProject_unsavedRowIsCancelled()
{
    TTempStore s;
    addProject(s, u"A"_s, 1);
    const QString before = s.dump();
    TRowSet projects(Sql::RecentProjects);
    projects.open();
    projects.append();
    projects.field(u"单号"_s).setAsString(u"new"_s);
    DeleteProject(projects);
    QCOMPARE(projects.recordCount(), 1);
    QCOMPARE(projects.field(u"单号"_s).asString(), u"A"_s);
    QCOMPARE(s.dump(), before);

    projects.open(Sql::ProjectByOrderNo(u"missing"_s));
    QVERIFY(!errorOf<TDBError>([&] { DeleteProject(projects); }).isEmpty());
}

void TestStatements::deleteScheme_removesOnlyItsSheets()
{
    TTempStore s;
    const QList<qint64> a = addProject(s, u"A"_s, 3);
    addProject(s, u"B"_s, 1);
    const qint64 pa = projectId(s, u"A"_s);
    const QStringList b = projectRows(s, projectId(s, u"B"_s));

    TRowSet schemes(Sql::SchemesOfProject(pa));
    schemes.open();
    schemes.setRecNo(2);
    DeleteScheme(schemes);

    QCOMPARE(s.column(u"SELECT 名称 FROM 子数据表 WHERE PID = %1"_s.arg(pa)),
        (QStringList { u"方案1"_s, u"方案3"_s }));
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表 WHERE ID = %1"_s.arg(a[1])).toInt(), 0);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表 WHERE ID IN (%1, %2)"_s.arg(a[0]).arg(a[2]))
                 .toInt(),
        4);
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 零件表 WHERE ID = %1"_s.arg(pa)).toInt(), 3);
    QCOMPARE(projectRows(s, projectId(s, u"B"_s)), b);
    QCOMPARE(schemes.recordCount(), 2);
    QCOMPARE(schemes.field(u"名称"_s).asString(), u"方案3"_s);
}

void TestStatements::deleteScheme_failure_changesNothing()
{
    TTempStore s;
    addProject(s, u"A"_s, 2);
    s.exec(
        u"CREATE TRIGGER refuse BEFORE DELETE ON 子数据表 BEGIN SELECT RAISE(ABORT, 'refused by test'); END"_s);
    const QString before = s.dump();
    TRowSet schemes(Sql::SchemesOfProject(projectId(s, u"A"_s)));
    schemes.open();
    QVERIFY(errorOf<TDBError>([&] { DeleteScheme(schemes); }).contains(u"refused by test"_s));
    QCOMPARE(s.dump(), before); // the sheets deleted first are back
    QCOMPARE(schemes.recordCount(), 2);
    QVERIFY(!schemes.hasPendingChanges());
}

QTEST_GUILESS_MAIN(TestStatements)
#include "tst_statements.moc"
