// Where the database and "Config" live: beside a program whose folder holds a writable pnx.dat,
// in the user's folders otherwise, or the file named with --database; and the first start's copy
// of the fresh database, which a later start never touches.

#include "DM.h"
#include "DataPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;
using DataPlace::TKind;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A program folder that is not writable for this user, as seen from a process that cannot tell
// by file modes (root may write anywhere).
bool neverWritable(const QString &)
{
    return false;
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace

class TestDataPlace : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cleanup()
    {
        DataPlace::setChosenDatabase(QString());
        DataPlace::setSharedDirectory(QString());
        TFrmDM::setDatabaseDirectory(QString());
    }

    void choose_data()
    {
        QTest::addColumn<bool>("programHasDatabase");
        QTest::addColumn<bool>("programWritable"); // false: as if the folder were read-only
        QTest::addColumn<QString>("chosen"); // "" none; "rel:" relative to the working folder
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("database"); // program:, user:, cwd:, abs:
        QTest::addColumn<QString>("config"); // program or user
        QTest::newRow("portable: writable pnx.dat beside the program")
            << true << true << QString() << int(TKind::Portable) << u"program:pnx.dat"_s
            << u"program"_s;
        QTest::newRow("installed: no pnx.dat beside the program")
            << false << true << QString() << int(TKind::User) << u"user:pnx.dat"_s << u"user"_s;
        QTest::newRow("read-only program folder with pnx.dat")
            << true << false << QString() << int(TKind::User) << u"user:pnx.dat"_s << u"user"_s;
        QTest::newRow("--database, portable program")
            << true << true << u"abs:other.dat"_s << int(TKind::Chosen) << u"abs:other.dat"_s
            << u"program"_s;
        QTest::newRow("--database relative, installed program")
            << false << true << u"rel:jobs/shop.dat"_s << int(TKind::Chosen)
            << u"cwd:jobs/shop.dat"_s << u"user"_s;
    }
    void choose()
    {
        QFETCH(bool, programHasDatabase);
        QFETCH(bool, programWritable);
        QFETCH(QString, chosen);
        QFETCH(int, kind);
        QFETCH(QString, database);
        QFETCH(QString, config);

        QTemporaryDir program, user, cwd, elsewhere;
        if (programHasDatabase)
            writeAll(QDir(program.path()).filePath(u"pnx.dat"_s), "x");
        const DataPlace::TFolders folders { program.path(), user.filePath(u"share/pnx"_s),
            user.filePath(u"config/pnx"_s) };
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        QString chosenArg;
        if (chosen.startsWith(u"rel:"))
            chosenArg = chosen.mid(4);
        else if (chosen.startsWith(u"abs:"))
            chosenArg = elsewhere.filePath(chosen.mid(4));
        const DataPlace::TPlace place = programWritable
            ? DataPlace::choose(folders, chosenArg)
            : DataPlace::choose(folders, chosenArg, neverWritable);
        QVERIFY(QDir::setCurrent(oldCwd));

        const auto expand = [&](const QString &where) {
            const QString name = where.section(u':', 1);
            const QString root = where.section(u':', 0, 0);
            if (root == u"program")
                return QDir(program.path()).absoluteFilePath(name);
            if (root == u"user")
                return QDir(folders.userData).absoluteFilePath(name);
            if (root == u"cwd")
                return QDir(cwd.path()).absoluteFilePath(name);
            return QDir(elsewhere.path()).absoluteFilePath(name);
        };
        QCOMPARE(int(place.kind), kind);
        QCOMPARE(place.databaseFile, expand(database));
        QCOMPARE(place.configDirectory,
            config == u"program" ? QDir(program.path()).absolutePath()
                                 : QDir(folders.userConfig).absolutePath());
        // Choosing creates nothing.
        QVERIFY(!QFileInfo::exists(folders.userData));
        QVERIFY(!QFileInfo::exists(folders.userConfig));
    }

    // Only a real, writable file in a writable folder makes the program folder the data place.
    void holdsWritableDatabase()
    {
        QTemporaryDir dir;
        QVERIFY(!DataPlace::holdsWritableDatabase(dir.path()));
        QVERIFY(QDir(dir.path()).mkdir(u"pnx.dat"_s)); // a folder of that name
        QVERIFY(!DataPlace::holdsWritableDatabase(dir.path()));
        QVERIFY(QDir(dir.path()).rmdir(u"pnx.dat"_s));
        const QString file = dir.filePath(u"pnx.dat"_s);
        writeAll(file, "x");
        QVERIFY(DataPlace::holdsWritableDatabase(dir.path()));
        if (runningAsRoot())
            return; // root may write whatever the modes say
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
        QVERIFY(!DataPlace::holdsWritableDatabase(dir.path()));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(!DataPlace::holdsWritableDatabase(dir.path()));
        QVERIFY(QFile::setPermissions(
            dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    // First start: the folders are made and the fresh database copied, and it opens. Second
    // start: the user's data stay exactly as they are.
    void provide_copiesTheTemplateOnceAndKeepsTheUsersData()
    {
        QTemporaryDir shared, home;
        const QString templateFile = shared.filePath(u"pnx.dat"_s);
        DBSchema::CreateDatabase(templateFile, DBSchema::TSeed::Examples);
        const QByteArray fresh = readAll(templateFile);
        const DataPlace::TPlace place { TKind::User, home.filePath(u"data/pnx/pnx.dat"_s),
            home.filePath(u"config/pnx"_s) };

        QVERIFY(DataPlace::provide(place, templateFile));
        QCOMPARE(readAll(place.databaseFile), fresh);
        QVERIFY(QFileInfo(place.configDirectory).isDir());
        QVERIFY(QFileInfo(place.databaseFile).isWritable());
        QCOMPARE(QDir(QFileInfo(place.databaseFile).absolutePath()).entryList(QDir::Files),
            QStringList { u"pnx.dat"_s }); // no temporary file left

        {
            TFrmDM::setDatabaseDirectory(QFileInfo(place.databaseFile).absolutePath());
            TFrmDM dm;
            dm.DataModuleCreate();
            QSqlQuery q(dm.ADOCon());
            QVERIFY(
                q.exec(u"INSERT INTO 零件信息表 (Name, Length, Width) VALUES ('mine', 1, 2)"_s));
        }
        const QByteArray users = readAll(place.databaseFile);
        QVERIFY(users != fresh);

        QVERIFY(!DataPlace::provide(place, templateFile));
        QCOMPARE(readAll(place.databaseFile), users);
        // Even a template that has gone missing does not matter once the user has a database.
        QVERIFY(QFile::remove(templateFile));
        QVERIFY(!DataPlace::provide(place, templateFile));
        QCOMPARE(readAll(place.databaseFile), users);
    }

    // Beside the program and with --database nothing is made or copied: a missing file is
    // reported by the opening, as it always was.
    void provide_doesNothingForThePortableOrChosenPlace()
    {
        QTemporaryDir shared, dir;
        const QString templateFile = shared.filePath(u"pnx.dat"_s);
        writeAll(templateFile, "template");
        for (const TKind kind : { TKind::Portable, TKind::Chosen }) {
            const DataPlace::TPlace place { kind, dir.filePath(u"sub/pnx.dat"_s),
                dir.filePath(u"config"_s) };
            QVERIFY(!DataPlace::provide(place, templateFile));
            QCOMPARE(
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        }
    }

    // Failures say which file or folder is at fault and leave no database behind.
    void provide_failuresAreReported()
    {
        QTemporaryDir shared, home;
        const DataPlace::TPlace place { TKind::User, home.filePath(u"data/pnx.dat"_s),
            home.filePath(u"config"_s) };
        const QString missing = shared.filePath(u"pnx.dat"_s);
        try {
            DataPlace::provide(place, missing);
            QFAIL("copied a template that does not exist");
        } catch (const TDBError &e) {
            QVERIFY2(
                e.message().contains(QDir::toNativeSeparators(missing)), qPrintable(e.message()));
        }
        QVERIFY(!QFileInfo::exists(place.databaseFile));

        // A file where the data folder should be.
        writeAll(missing, "template");
        writeAll(home.filePath(u"blocked"_s), "x");
        const DataPlace::TPlace blocked { TKind::User, home.filePath(u"blocked/pnx.dat"_s),
            home.filePath(u"config"_s) };
        try {
            DataPlace::provide(blocked, missing);
            QFAIL("made a folder where a file is");
        } catch (const TDBError &e) {
            QVERIFY2(e.message().contains(u"blocked"_s), qPrintable(e.message()));
        }
    }

    // The place of the run is decided once; --database (given before) and the test hooks
    // decide again.
    void current_isDecidedOnceAndFollowsTheCommandLine()
    {
        QTemporaryDir dir;
        const DataPlace::TPlace first = DataPlace::current();
        QCOMPARE(DataPlace::current().databaseFile, first.databaseFile);
        QCOMPARE(TFrmDM::databaseFile(), first.databaseFile);

        const QString chosen = dir.filePath(u"shop.dat"_s);
        DataPlace::setChosenDatabase(chosen);
        QCOMPARE(int(DataPlace::current().kind), int(TKind::Chosen));
        QCOMPARE(DataPlace::current().databaseFile, chosen);
        QCOMPARE(TFrmDM::databaseFile(), chosen);
        // Opening a chosen file that does not exist reports it and creates nothing.
        QVERIFY(!TFrmDM::provideDatabase());
        TFrmDM dm;
        QVERIFY_THROWS_EXCEPTION(TDBError, dm.DataModuleCreate());
        QVERIFY(dm.lastError().contains(QDir::toNativeSeparators(chosen)));
        QVERIFY(!QFileInfo::exists(chosen));

        DataPlace::setChosenDatabase(QString());
        QCOMPARE(DataPlace::current().databaseFile, first.databaseFile);
    }

    void sharedDirectory_overrideAndTemplate()
    {
        const QString program = QCoreApplication::applicationDirPath();
        const QString installed = QDir(program + u"/../share/pnx"_s).canonicalPath();
        QCOMPARE(DataPlace::sharedDirectory(), installed.isEmpty() ? program : installed);
        QTemporaryDir dir;
        DataPlace::setSharedDirectory(dir.path());
        QCOMPARE(DataPlace::templateDatabase(), QDir(dir.path()).filePath(u"pnx.dat"_s));
    }
};

QTEST_GUILESS_MAIN(TestDataPlace)
#include "tst_dataplace.moc"
