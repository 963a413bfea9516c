// The data module: where pnx.dat is looked for, opening it, every way a file can be unusable,
// damaged files of any shape, and the fresh database the build places.

#include "DataFixture.h"
#include "DataPlace.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray seededBytes()
{
    QTemporaryDir d;
    DBSchema::CreateDatabase(d.filePath(u"pnx.dat"_s), DBSchema::TSeed::Examples);
    return readAll(d.filePath(u"pnx.dat"_s));
}

// A database made by raw statements, for files that are databases but not ours.
void makeRawDatabase(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw-make"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements)
            QVERIFY2(q.exec(s), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"raw-make"_s);
}

// Reads every column of every row of every table the way the windows do; the errors of the
// data layer are allowed, nothing else.
void readEverything()
{
    for (const DBSchema::TTableDef &t : DBSchema::Tables()) {
        TRowSet rs(u"select * from "_s + t.name);
        try {
            rs.open();
            for (rs.first(); !rs.eof(); rs.next()) {
                for (int i = 0; i < rs.fieldCount(); ++i) {
                    TField f = rs.field(i);
                    (void)f.asString();
                    (void)rs.data(rs.index(rs.recNo() - 1, i));
                    try {
                        (void)f.asInteger();
                        (void)f.asCurrency();
                        (void)f.asFloat();
                    } catch (const TConvertError &) { }
                }
            }
            if (!rs.isEmpty()) {
                rs.first();
                rs.edit();
                rs.field(0).setAsString(u"1"_s);
                rs.append();
                rs.updateBatch();
            }
        } catch (const TDataError &) { }
    }
}

} // namespace

class TestDM : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void databaseDirectory_isTheDataPlacesUnlessOverridden();
    void open_missingFile_reportsAndCreatesNothing();
    void open_unusableFile_data();
    void open_unusableFile();
    void open_goodFile_settingsAndReopen();
    void open_pathWithSpecialCharacters();
    void damagedFiles_neverCrash();
    void createDatabase_neverOverwrites();
    void createDatabase_removesLeftoversOfKilledRuns();
    void pnxdbinit_createsSeededDatabaseOnce();
    void pnxdbinit_optionsAreNeverFileNames_data();
    void pnxdbinit_optionsAreNeverFileNames();
};

void TestDM::cleanup()
{
    TFrmDM::setDatabaseDirectory(QString());
    QVERIFY(FrmDM == nullptr);
}

void TestDM::databaseDirectory_isTheDataPlacesUnlessOverridden()
{
    // The data place decides (DataPlace, tested on its own); the working directory never does.
    const QString placed = DataPlace::current().databaseFile;
    QCOMPARE(TFrmDM::databaseFile(), placed);
    QTemporaryDir elsewhere;
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    QCOMPARE(TFrmDM::databaseFile(), placed);
    QVERIFY(QDir::setCurrent(oldCwd));
    QCOMPARE(TFrmDM::databaseDirectory(), QFileInfo(placed).absolutePath());

    TFrmDM::setDatabaseDirectory(elsewhere.path());
    QCOMPARE(TFrmDM::databaseFile(), QDir(elsewhere.path()).filePath(u"pnx.dat"_s));
    QCOMPARE(TFrmDM::databaseDirectory(), QDir(elsewhere.path()).absolutePath());
    // Under the override nothing is ever copied into the user's folder.
    QVERIFY(!TFrmDM::provideDatabase());
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList());
    TFrmDM::setDatabaseDirectory(QString());
    QCOMPARE(TFrmDM::databaseFile(), placed);

    // The first data module becomes FrmDM and clears it when destroyed.
    {
        TFrmDM first;
        TFrmDM second;
        QCOMPARE(FrmDM, &first);
    }
    QVERIFY(FrmDM == nullptr);
}

void TestDM::open_missingFile_reportsAndCreatesNothing()
{
    QTemporaryDir dir;
    TFrmDM::setDatabaseDirectory(dir.path());
    TFrmDM dm;
    QString what;
    try {
        dm.DataModuleCreate();
        QFAIL("opened a missing file");
    } catch (const std::exception &e) {
        what = QString::fromUtf8(e.what());
    }
    QVERIFY2(what.contains(u"找不到数据库文件"_s)
            && what.contains(QDir::toNativeSeparators(dir.filePath(u"pnx.dat"_s))),
        qPrintable(what));
    QVERIFY2(what.contains(u"unable to open"_s), qPrintable(what)); // the store's own words
    QCOMPARE(dm.lastError(), what);
    QVERIFY(!dm.isConnected());
    QVERIFY(!dm.ADOCon().isOpen());
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    // Every later table access fails with the reason, and still creates nothing.
    TRowSet rs(Sql::PartLibrary);
    QVERIFY(errorOf<TDBError>([&] { rs.open(); }).contains(u"找不到数据库文件"_s));
    QVERIFY(errorOf<TDBError>([&] {
        dm.ExecSQL(Sql::DeleteSchemeSheets(1));
    }).contains(u"数据库没有打开"_s));
    QVERIFY(!errorOf<TDBError>([&] { dm.DataModuleCreate(); }).isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    // Once the file is there, the next open succeeds.
    DBSchema::CreateDatabase(dir.filePath(u"pnx.dat"_s), DBSchema::TSeed::None);
    dm.DataModuleCreate();
    QVERIFY(dm.isConnected());
    QCOMPARE(dm.lastError(), QString());
    rs.open();
}

void TestDM::open_unusableFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray seeded = seededBytes();
    QVERIFY(seeded.size() >= 8 * 4096);

    QTest::newRow("text file") << QByteArray(
        "Provider=Microsoft.Jet.OLEDB.4.0;\r\nnot a database\r\n")
                               << u"不是本系统可读的数据库"_s;
    QByteArray noise(20000, '\0');
    QRandomGenerator rng(7);
    for (char &c : noise)
        c = char(rng.bounded(256));
    QTest::newRow("random bytes") << noise << u"不是本系统可读的数据库"_s;
    QTest::newRow("empty file") << QByteArray() << u"缺少数据表“主数据表”"_s;
    QTest::newRow("truncated header") << seeded.left(50) << u"损坏"_s;
    QTest::newRow("first page only") << seeded.left(4096) << u"损坏"_s;
    QTest::newRow("half") << seeded.left(seeded.size() / 2 / 4096 * 4096) << u"损坏"_s;
    QTest::newRow("last page cut short") << seeded.left(seeded.size() - 1) << u"损坏"_s;
    QByteArray zeroed = seeded;
    std::memset(zeroed.data() + 2 * 4096, 0, 4096);
    QTest::newRow("a page zeroed") << zeroed << u"损坏"_s;
}

void TestDM::open_unusableFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pnx.dat"_s);
    writeAll(path, bytes);
    TFrmDM::setDatabaseDirectory(dir.path());
    TFrmDM dm;
    const QString message = errorOf<TDBError>([&] { dm.DataModuleCreate(); });
    QVERIFY2(message.contains(expected) && message.contains(u"pnx.dat"_s), qPrintable(message));
    QVERIFY(!dm.isConnected());
    QCOMPARE(readAll(path), bytes); // looked at, never changed
    TRowSet rs(Sql::SheetLibrary);
    QVERIFY(errorOf<TDBError>([&] { rs.open(); }).contains(u"数据库没有打开"_s));
}

void TestDM::open_goodFile_settingsAndReopen()
{
    TTempStore s(DBSchema::TSeed::Examples);
    QVERIFY(s.dm->isConnected());
    QSqlQuery q(s.dm->ADOCon());
    const QList<QPair<QString, QString>> pragmas = {
        { u"synchronous"_s, u"2"_s }, // FULL: each save is on the disk when it returns
        { u"busy_timeout"_s, QString::number(TFrmDM::BusyTimeoutMs) },
        { u"journal_mode"_s, u"delete"_s },
    };
    for (const auto &p : pragmas) {
        QVERIFY(q.exec(u"PRAGMA "_s + p.first) && q.next());
        QCOMPARE(q.value(0).toString(), p.second);
    }
    q.finish();

    // Opening again closes and reopens the one connection.
    s.dm->DataModuleCreate();
    QVERIFY(s.dm->isConnected());
    TRowSet rs(Sql::SheetLibrary);
    rs.open();
    QCOMPARE(rs.recordCount(), 7);

    // A database of some other program.
    {
        QTemporaryDir dir;
        makeRawDatabase(dir.filePath(u"pnx.dat"_s), { u"CREATE TABLE other (x)"_s });
        TFrmDM::setDatabaseDirectory(dir.path());
        QVERIFY(errorOf<TDBError>([&] {
            s.dm->DataModuleCreate();
        }).contains(u"缺少数据表“主数据表”"_s));
        QVERIFY(!s.dm->isConnected());
    }
    // A table without one of its columns.
    QTemporaryDir dir;
    QStringList statements = DBSchema::CreateStatements();
    statements.replaceInStrings(
        u", \"价格\" CURRENCY CHECK (\"价格\" IS NULL OR typeof(\"价格\") = 'integer')"_s,
        QString());
    makeRawDatabase(dir.filePath(u"pnx.dat"_s), statements);
    TFrmDM::setDatabaseDirectory(dir.path());
    const QString message = errorOf<TDBError>([&] { s.dm->DataModuleCreate(); });
    QVERIFY2(message.contains(u"数据表“原材料表”中缺少字段“价格”"_s), qPrintable(message));
}

void TestDM::open_pathWithSpecialCharacters()
{
    QTemporaryDir base;
    const QString dir = base.filePath(u"a b#c?d%20e 数据"_s);
    QVERIFY(QDir().mkpath(dir));
    DBSchema::CreateDatabase(QDir(dir).filePath(u"pnx.dat"_s), DBSchema::TSeed::Examples);
    TFrmDM::setDatabaseDirectory(dir);
    TFrmDM dm;
    dm.DataModuleCreate();
    TRowSet rs(Sql::RecentProjects);
    rs.open();
    QCOMPARE(rs.field(u"单号"_s).asString(), u"T20240315093000"_s);
    // Nothing was created beside it under a mangled name.
    QCOMPARE(QDir(base.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { u"a b#c?d%20e 数据"_s });
}

void TestDM::damagedFiles_neverCrash()
{
    const QByteArray seeded = seededBytes();
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    QRandomGenerator rng(seed);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pnx.dat"_s);
    TFrmDM::setDatabaseDirectory(dir.path());
    TFrmDM dm;
    int opened = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = seeded;
        switch (round % 4) {
        case 0: // a few bytes anywhere
            for (int k = 1 + rng.bounded(16); k > 0; --k)
                bytes[rng.bounded(int(bytes.size()))] = char(rng.bounded(256));
            break;
        case 1: // the header and the first page's cell pointers
            for (int k = 1 + rng.bounded(4); k > 0; --k)
                bytes[rng.bounded(120)] = char(rng.bounded(256));
            break;
        case 2: // cut anywhere
            bytes.truncate(rng.bounded(int(bytes.size())));
            break;
        case 3: { // one page of noise
            const int page = rng.bounded(int(bytes.size() / 4096));
            for (int i = 0; i < 4096; ++i)
                bytes[page * 4096 + i] = char(rng.bounded(256));
            break;
        }
        }
        QFile::remove(path + u"-journal"_s);
        writeAll(path, bytes);
        try {
            dm.DataModuleCreate();
            ++opened;
            readEverything();
        } catch (const TDBError &e) {
            QVERIFY(!e.message().isEmpty());
            QVERIFY(!dm.isConnected());
        }
    }
    qInfo("%d of 300 damaged files still opened", opened);
}

void TestDM::createDatabase_neverOverwrites()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pnx.dat"_s);
    writeAll(path, "keep me");
    QVERIFY(errorOf<TDBError>([&] {
        DBSchema::CreateDatabase(path, DBSchema::TSeed::Examples);
    }).contains(u"已经存在"_s));
    QCOMPARE(readAll(path), QByteArray("keep me"));
    QVERIFY(errorOf<TDBError>([&] {
        DBSchema::CreateDatabase(dir.filePath(u"no/such/dir/pnx.dat"_s), DBSchema::TSeed::None);
    }).contains(u"不存在"_s));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { u"pnx.dat"_s });
}

// A creation killed part way leaves its temporary file and journal; the next run removes them,
// but never those of a creation still running.
void TestDM::createDatabase_removesLeftoversOfKilledRuns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pnx.dat"_s);
    const QString running = u"pnx.dat.new-%1-live"_s.arg(QCoreApplication::applicationPid());
    const QStringList leftovers { u"pnx.dat.new-999999999-k9"_s,
        u"pnx.dat.new-999999999-k9-journal"_s, u"pnx.dat.new-3hx8aq"_s };
    for (const QString &name : leftovers + QStringList { running, u"other.dat.new-1-x"_s })
        writeAll(dir.filePath(name), "half built");
    QProcess init;
    init.start(QStringLiteral(PNX_DBINIT), { path });
    QVERIFY(init.waitForFinished(30000));
    QCOMPARE(init.exitCode(), 0);
    QStringList left = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    left.sort();
    QStringList expected { u"other.dat.new-1-x"_s, u"pnx.dat"_s, running };
    expected.sort();
    QCOMPARE(left, expected);
}

void TestDM::pnxdbinit_createsSeededDatabaseOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pnx.dat"_s);
    QProcess init;
    init.start(QStringLiteral(PNX_DBINIT), { path });
    QVERIFY(init.waitForFinished(30000));
    QCOMPARE(init.exitCode(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { u"pnx.dat"_s });

    TFrmDM::setDatabaseDirectory(dir.path());
    {
        TFrmDM dm;
        dm.DataModuleCreate();

        TRowSet sheets(Sql::SheetLibrary);
        sheets.open();
        QStringList sizes;
        for (sheets.first(); !sheets.eof(); sheets.next()) {
            sizes << sheets.field(u"Length"_s).asString() + u'x'
                    + sheets.field(u"Width"_s).asString();
            QVERIFY(sheets.field(u"Price"_s).asCurrency() > TCurrency());
        }
        for (const QString &common :
            { u"2440x1220"_s, u"2750x1830"_s, u"3050x1525"_s, u"1830x915"_s })
            QVERIFY2(sizes.contains(common), qPrintable(sizes.join(u' ')));

        TRowSet parts(Sql::PartLibrary);
        parts.open();
        QVERIFY(parts.recordCount() >= 4);
        QCOMPARE(parts.field(u"Name"_s).asString(), u"侧板"_s);

        // One example project with two schemes, each offering sheets, and a part list: enough
        // to run a layout at once.
        TRowSet projects(Sql::RecentProjects);
        projects.open();
        QCOMPARE(projects.recordCount(), 1);
        const int project = projects.field(u"ID"_s).asInteger();
        QVERIFY(projects.field(u"日期"_s).asDateTime().isValid());
        TRowSet schemes(Sql::SchemesOfProject(project));
        schemes.open();
        QCOMPARE(schemes.recordCount(), 2);
        for (schemes.first(); !schemes.eof(); schemes.next()) {
            TRowSet offered(Sql::SheetsOfScheme(schemes.field(u"ID"_s).asInteger()));
            offered.open();
            QVERIFY(offered.recordCount() >= 2);
            QVERIFY(offered.field(u"价格"_s).asFloat() > 0);
            QVERIFY(offered.field(u"刀口"_s).asInteger() >= 0);
        }
        TRowSet needed(Sql::PartsOfProject(project));
        needed.open();
        QVERIFY(needed.recordCount() >= 3);
        for (needed.first(); !needed.eof(); needed.next())
            QVERIFY(needed.field(u"数量"_s).asInteger() > 0
                && needed.field(u"长度"_s).asInteger() <= 2440);

        // A mark of the user's data, which the next run must leave alone.
        ExecSQL(u"Delete From 零件信息表"_s);
    }
    init.start(QStringLiteral(PNX_DBINIT), { path });
    QVERIFY(init.waitForFinished(30000));
    QCOMPARE(init.exitCode(), 0);
    {
        TFrmDM dm;
        dm.DataModuleCreate();
        TRowSet parts(Sql::PartLibrary);
        parts.open();
        QVERIFY(parts.isEmpty());
    }

    // Not even a file that is no database is replaced.
    writeAll(path, "not a database");
    init.start(QStringLiteral(PNX_DBINIT), { path });
    QVERIFY(init.waitForFinished(30000));
    QCOMPARE(init.exitCode(), 0);
    QCOMPARE(readAll(path), QByteArray("not a database"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
        QStringList { u"pnx.dat"_s });
}

void TestDM::pnxdbinit_optionsAreNeverFileNames_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("--help") << QStringList { u"--help"_s } << 0 << u"usage:"_s;
    QTest::newRow("-h with a path") << QStringList { u"-h"_s, u"pnx.dat"_s } << 0 << u"usage:"_s;
    QTest::newRow("mistyped option") << QStringList { u"--emtpy"_s } << 2 << u"--emtpy"_s;
    QTest::newRow("option and path") << QStringList { u"-x"_s, u"pnx.dat"_s } << 2 << u"-x"_s;
    QTest::newRow("no path") << QStringList { u"--empty"_s } << 2 << u"usage:"_s;
    QTest::newRow("two paths") << QStringList { u"a.dat"_s, u"b.dat"_s } << 2 << u"usage:"_s;
}

void TestDM::pnxdbinit_optionsAreNeverFileNames()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QTemporaryDir dir;
    QProcess init;
    init.setWorkingDirectory(dir.path());
    init.start(QStringLiteral(PNX_DBINIT), args);
    QVERIFY(init.waitForFinished(30000));
    QCOMPARE(init.exitCode(), exitCode);
    const QString said
        = QString::fromLocal8Bit(init.readAllStandardOutput() + init.readAllStandardError());
    QVERIFY2(said.contains(output), qPrintable(said));
    // Nothing was created in the working folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

QTEST_GUILESS_MAIN(TestDM)
#include "tst_dm.moc"
