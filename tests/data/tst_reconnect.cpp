// A failure of the store that can go away (the file read-only, missing, moved away, locked)
// does not stick: the next read or save opens the file again and meets it as it is then, and
// the rows of open row sets, pending changes included, come through unharmed.

#include "DataFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlError>

using namespace Qt::StringLiterals;

namespace {

// Reopens the store's data module read-only (as if the file could not be written) or normally.
void reopen(TTempStore &s, bool readOnly)
{
    TFrmDM::setOpenReadOnly(readOnly);
    s.dm->DataModuleCreate();
}

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { TFrmDM::setOpenReadOnly(false); }

    // 保存数据 on a read-only file fails with a message saying so; once the file can be written,
    // the next save writes everything that was pending, in every row set that was open.
    void readOnlyFile_thenWritable_nextSaveWritesAllPending()
    {
        TTempStore s(DBSchema::TSeed::Examples);
        reopen(s, true);
        const QString before = s.dump();
        TRowSet sheets(Sql::SheetLibrary), parts(Sql::PartLibrary);
        sheets.open();
        parts.open();
        sheets.edit();
        sheets.field(u"Price"_s).setAsString(u"150"_s);
        sheets.append();
        sheets.field(u"Name"_s).setAsString(u"新板"_s);
        sheets.field(u"Length"_s).setAsInteger(2000);
        parts.deleteRecord();

        const QString message = errorOf<TDBError>([&] { sheets.updateBatch(); });
        QVERIFY2(message.contains(u"不能写入"_s) && message.contains(u"readonly"_s),
            qPrintable(message));
        QVERIFY(errorOf<TDBError>([&] { parts.updateBatch(); }).contains(u"readonly"_s));
        QVERIFY(sheets.hasPendingChanges() && parts.hasPendingChanges());
        QCOMPARE(s.dump(), before);

        TFrmDM::setOpenReadOnly(false); // the file can be written again
        sheets.updateBatch();
        parts.updateBatch();
        QVERIFY(!sheets.hasPendingChanges() && !parts.hasPendingChanges());
        QCOMPARE(s.scalar(u"SELECT Price FROM 原材料信息表 ORDER BY rowid LIMIT 1"_s).toLongLong(),
            1500000);
        QCOMPARE(s.scalar(u"SELECT count(*) FROM 原材料信息表 WHERE Name = '新板'"_s).toInt(), 1);
        QCOMPARE(s.scalar(u"SELECT count(*) FROM 零件信息表"_s).toInt(), parts.recordCount());
        // The new row carries the key the store gave it: it can be changed and saved again.
        sheets.last();
        sheets.edit();
        sheets.field(u"Width"_s).setAsInteger(1000);
        sheets.updateBatch();
        QCOMPARE(s.scalar(u"SELECT Width FROM 原材料信息表 WHERE Name = '新板'"_s).toInt(), 1000);
    }

    // Missing at start-up and put back while the program runs: the next read works, without
    // anyone opening the data module again by hand.
    void missingAtStartUp_thenPutBack_nextReadWorks()
    {
        TTempStore s(DBSchema::TSeed::Examples, false);
        const QString aside = s.path() + u".aside"_s;
        QVERIFY(QFile::rename(s.path(), aside));
        QVERIFY(errorOf<TDBError>([&] { s.dm->DataModuleCreate(); }).contains(u"找不到"_s));
        TRowSet rs(Sql::SheetLibrary);
        QVERIFY(errorOf<TDBError>([&] { rs.open(); }).contains(u"找不到数据库文件"_s));
        QVERIFY(!QFile::exists(s.path())); // trying again created nothing

        QVERIFY(QFile::rename(aside, s.path()));
        QSignalSpy connected(s.dm.get(), &TFrmDM::connected);
        rs.open();
        QCOMPARE(rs.recordCount(), 7);
        QCOMPARE(connected.size(), 1);
        QVERIFY(s.dm->isConnected());
        QCOMPARE(s.dm->lastError(), QString());
        QCOMPARE(ExecSQL(u"Delete From 零件信息表 Where Name = 'none'"_s), 0);
    }

    // Moved away while the program runs: the save fails and says so, the changes stay; put
    // back, the next save writes them into the file (not into the one moved away).
    void movedAwayWhileRunning_thenPutBack_nextSaveWrites()
    {
        TTempStore s(DBSchema::TSeed::Examples);
        s.closeRaw();
        TRowSet rs(Sql::PartLibrary);
        rs.open();
        rs.edit();
        rs.field(u"Length"_s).setAsInteger(777);
        const QString aside = s.path() + u".aside"_s;
        QVERIFY(QFile::rename(s.path(), aside));

        const QString moved = errorOf<TDBError>([&] { rs.updateBatch(); });
        QVERIFY2(moved.contains(u"已被移走"_s), qPrintable(moved));
        QVERIFY(rs.hasPendingChanges());
        // Still away: the retry opens the file again and finds it missing.
        QVERIFY(errorOf<TDBError>([&] { rs.updateBatch(); }).contains(u"找不到数据库文件"_s));
        QVERIFY(!QFile::exists(s.path()));

        QVERIFY(QFile::rename(aside, s.path()));
        rs.updateBatch();
        QVERIFY(!rs.hasPendingChanges());
        QCOMPARE(s.scalar(u"SELECT Length FROM 零件信息表 ORDER BY rowid LIMIT 1"_s).toInt(), 777);
    }

    // What a failure says, by the store's code: the user learns which thing to fix.
    void failureTexts_nameWhatToFix_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("says");
        QTest::addColumn<bool>("reconnect");
        QTest::newRow("locked") << u"5"_s << true << u"正被其他程序使用"_s << true;
        QTest::newRow("folder not writable") << u"1544"_s << true << u"不允许写入"_s << true;
        QTest::newRow("moved away") << u"1032"_s << false << u"已被移走"_s << true;
        QTest::newRow("read-only when opened") << u"8"_s << true << u"不能写入"_s << true;
        QTest::newRow("missing") << u"14"_s << false << u"找不到数据库文件"_s << true;
        QTest::newRow("disk full") << u"13"_s << true << u"磁盘已满"_s << true;
        QTest::newRow("a constraint") << u"19"_s << true << QString() << false;
    }
    void failureTexts_nameWhatToFix()
    {
        QFETCH(QString, code);
        QFETCH(bool, fileThere);
        QFETCH(QString, says);
        QFETCH(bool, reconnect);
        TTempStore s;
        s.closeRaw();
        const QString aside = s.path() + u".aside"_s;
        if (!fileThere)
            QVERIFY(QFile::rename(s.path(), aside));
        const QSqlError error(u"driver"_s, u"the store's words"_s, QSqlError::StatementError, code);
        const QString text = StoreFailure(s.dm->ADOCon(), u"保存失败"_s, error).message();
        QVERIFY2(text.startsWith(u"保存失败"_s) && text.endsWith(u"（the store's words）"_s),
            qPrintable(text));
        if (says.isEmpty())
            QCOMPARE(text, u"保存失败（the store's words）"_s);
        else
            QVERIFY2(text.contains(says), qPrintable(text));
        if (code == u"1544"_s)
            QVERIFY(text.contains(QDir::toNativeSeparators(s.dir())));
        QCOMPARE(s.dm->reconnectNeeded(), reconnect);
        if (!fileThere)
            QVERIFY(QFile::rename(aside, s.path()));
    }
};

QTEST_GUILESS_MAIN(TestReconnect)
#include "tst_reconnect.moc"
