// Another process on the same file: a lock at start-up, a lock during a save, and a process
// killed in the middle of its saves.

#include "DataFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

// The helper process; killed (SIGKILL) when the test leaves its scope.
class TWorker
{
public:
    explicit TWorker(const QStringList &args)
    {
        FProcess.setProgram(QStringLiteral(PNX_DATA_WORKER));
        FProcess.setArguments(args);
        FProcess.start();
    }
    ~TWorker() { kill(); }
    // Waits for the first line the worker prints.
    QByteArray firstLine()
    {
        QElapsedTimer t;
        t.start();
        while (!FProcess.canReadLine() && t.elapsed() < 20000)
            FProcess.waitForReadyRead(100);
        return FProcess.readLine().trimmed();
    }
    void kill()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(10000);
        }
    }
    QProcess &process() { return FProcess; }

private:
    QProcess FProcess;
};

} // namespace

class TestDurability : public QObject
{
    Q_OBJECT
private slots:
    void lockedAtStartUp_failsAfterWaiting();
    void saveWhileAnotherProcessWrites_waitsThenFails();
    void waitHook_isToldWhileAStatementWaits();
    void killedDuringSave_leavesIntactDatabase();
};

void TestDurability::lockedAtStartUp_failsAfterWaiting()
{
    TTempStore s(DBSchema::TSeed::Examples, false);
    TWorker locker({ u"lock"_s, s.dir(), u"exclusive"_s });
    QCOMPARE(locker.firstLine(), QByteArray("locked"));

    QElapsedTimer t;
    t.start();
    const QString message = errorOf<TDBError>([&] { s.dm->DataModuleCreate(); });
    QVERIFY2(
        message.contains(u"其他程序使用"_s) && message.contains(u"pnx.dat"_s), qPrintable(message));
    QVERIFY2(t.elapsed() >= TFrmDM::BusyTimeoutMs - 500, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!s.dm->isConnected());

    locker.kill();
    s.dm->DataModuleCreate();
    QVERIFY(s.dm->isConnected());
}

void TestDurability::saveWhileAnotherProcessWrites_waitsThenFails()
{
    TTempStore s(DBSchema::TSeed::Examples);
    const QString before = s.dump();
    s.closeRaw();
    TRowSet rs(Sql::SheetLibrary);
    rs.open();
    rs.edit();
    rs.field(u"Price"_s).setAsString(u"150"_s);
    rs.append();
    rs.field(u"Name"_s).setAsString(u"new"_s);

    TWorker writer({ u"lock"_s, s.dir(), u"immediate"_s });
    QCOMPARE(writer.firstLine(), QByteArray("locked"));
    QElapsedTimer t;
    t.start();
    const QString message = errorOf<TDBError>([&] { rs.updateBatch(); });
    QVERIFY2(message.contains(u"其他程序使用"_s) && message.contains(u"database is locked"_s),
        qPrintable(message));
    QVERIFY2(t.elapsed() >= TFrmDM::BusyTimeoutMs - 500, qPrintable(QString::number(t.elapsed())));
    QVERIFY(rs.hasPendingChanges());
    QCOMPARE(rs.recordCount(), 8);

    // The cascades meet the same lock and change nothing either.
    TRowSet projects(Sql::RecentProjects);
    projects.open();
    QVERIFY(errorOf<TDBError>([&] { DeleteProject(projects); }).contains(u"其他程序使用"_s));
    QCOMPARE(projects.recordCount(), 1);

    writer.kill();
    QCOMPARE(s.dump(), before);
    rs.updateBatch();
    QVERIFY(!rs.hasPendingChanges());
    QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料信息表"_s).toInt(), 8);
}

// The program shows that it waits (busy cursor, status text) through the wait hook: told when a
// save or a read starts waiting for another program's lock and when the wait is over, and
// never while nothing waits.
void TestDurability::waitHook_isToldWhileAStatementWaits()
{
    TTempStore s(DBSchema::TSeed::Examples);
    s.closeRaw();
    QStringList told;
    StoreWait::setHook([&](const QString &text) { told << text; });
    const auto unhook = qScopeGuard([] { StoreWait::setHook({}); });
    const QStringList waited { StoreWait::waitingText(), QString() };
    TRowSet rs(Sql::SheetLibrary);
    rs.open();
    rs.edit();
    rs.field(u"Price"_s).setAsString(u"1"_s);
    rs.updateBatch();
    QCOMPARE(told, QStringList());

    {
        TWorker writer({ u"lock"_s, s.dir(), u"immediate"_s });
        QCOMPARE(writer.firstLine(), QByteArray("locked"));
        rs.edit();
        rs.field(u"Price"_s).setAsString(u"2"_s);
        QVERIFY(errorOf<TDBError>([&] { rs.updateBatch(); }).contains(u"其他程序使用"_s));
        QCOMPARE(told, waited);
    }
    told.clear();
    {
        TWorker reader({ u"lock"_s, s.dir(), u"exclusive"_s });
        QCOMPARE(reader.firstLine(), QByteArray("locked"));
        TRowSet parts(Sql::PartLibrary);
        QVERIFY(errorOf<TDBError>([&] { parts.open(); }).contains(u"其他程序使用"_s));
        QCOMPARE(told, waited);
    }
    told.clear();
    rs.updateBatch(); // the lock is gone: saved at once, nothing to show
    QCOMPARE(told, QStringList());
    QCOMPARE(s.scalar(u"SELECT Price FROM 原材料信息表 ORDER BY rowid LIMIT 1"_s).toInt(), 20000);
}

void TestDurability::killedDuringSave_leavesIntactDatabase()
{
    const int rows = 300;
    TTempStore s(DBSchema::TSeed::None, false);
    s.exec(u"INSERT INTO 主数据表 (单号) VALUES ('kill')"_s);
    s.exec(u"INSERT INTO 子数据表 (PID, 名称) VALUES (1, '方案1')"_s);
    s.exec(u"BEGIN"_s);
    for (int i = 0; i < rows; ++i)
        s.exec(
            u"INSERT INTO 原材料表 (ID, 名称, 长度, 宽度, 刀口, 价格) VALUES (1, ?, 2440, 1220, 0, 0)"_s,
            { u"R%1"_s.arg(i) });
    s.exec(u"COMMIT"_s);
    s.closeRaw();

    QRandomGenerator rng(QRandomGenerator::global()->generate());
    int hotJournals = 0;
    int lastGeneration = 0;
    for (int round = 0; round < 12; ++round) {
        int reported = -1;
        bool journalLeft = false;
        {
            TWorker saver({ u"save"_s, s.dir(), u"1"_s });
            const QByteArray ready = saver.firstLine();
            QVERIFY2(ready.startsWith("ready"), ready.constData());
            QTest::qWait(20 + rng.bounded(400));
            saver.kill();
            journalLeft = QFile::exists(s.path() + u"-journal"_s);
            const QList<QByteArray> lines = saver.process().readAllStandardOutput().split('\n');
            for (const QByteArray &l : lines)
                if (!l.trimmed().isEmpty())
                    reported = l.trimmed().toInt();
            QVERIFY2(saver.process().readAllStandardError().isEmpty(), "the worker's saves failed");
        }
        hotJournals += journalLeft ? 1 : 0;

        // The next opener rolls an interrupted save back; the file is intact and holds exactly
        // the last save that returned, or the one after it (committed just before the kill).
        s.dm->DataModuleCreate();
        QCOMPARE(s.scalar(u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
        const int generation = s.scalar(u"SELECT max(刀口) FROM 原材料表"_s).toInt();
        QCOMPARE(
            s.scalar(u"SELECT count(*) FROM 原材料表 WHERE 刀口 = %1 AND 价格 = %1 * 10000"_s.arg(
                         generation))
                .toInt(),
            rows);
        QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表"_s).toInt(), rows);
        QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料表 WHERE 名称 LIKE 'G%'"_s).toInt(),
            qMin(generation, rows));
        if (generation > 0)
            QCOMPARE(
                s.scalar(u"SELECT 名称 FROM 原材料表 ORDER BY rowid DESC LIMIT 1"_s).toString(),
                u"G%1"_s.arg(generation));
        QVERIFY2(generation >= reported && generation <= qMax(reported, lastGeneration) + 1,
            qPrintable(u"file %1, reported %2"_s.arg(generation).arg(reported)));
        QVERIFY(generation >= lastGeneration);
        lastGeneration = generation;
        s.closeRaw();
        s.dm.reset();
        s.dm = std::make_unique<TFrmDM>();
    }
    qInfo("%d of 12 kills interrupted a save in progress; last generation %d", hotJournals,
        lastGeneration);
    // The kills must really have hit saves in progress, or this test would prove nothing.
    QVERIFY(hotJournals > 0);
}

QTEST_GUILESS_MAIN(TestDurability)
#include "tst_durability.moc"
