// The installed program: cmake --install into a temporary prefix gives the programs, their shared
// files, the menu entry, icons, metainfo and manual pages in their places; the installed pnxcut
// runs an example job; the installed pnx, started with an empty home folder, copies the fresh
// database into the user's data folder on its first start and keeps the user's data on the
// next one.

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString AppId = QStringLiteral(PNX_APP_ID);

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct TRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

TRun run(const QString &program, const QStringList &args,
    const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
    const QString &workingDirectory = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        p.setWorkingDirectory(workingDirectory);
    p.start(program, args);
    TRun r;
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// Whether process pid has file open (the store keeps its database open while connected).
bool holdsOpen(qint64 pid, const QString &file)
{
    const QString target = QFileInfo(file).canonicalFilePath();
    if (target.isEmpty())
        return false;
    QDirIterator fds(u"/proc/%1/fd"_s.arg(pid), QDir::Files | QDir::System);
    while (fds.hasNext())
        if (QFileInfo(fds.next()).symLinkTarget() == target)
            return true;
    return false;
}

int partLibraryRows(const QString &database)
{
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(database);
        QSqlQuery q(db);
        if (db.open() && q.exec(u"SELECT COUNT(*) FROM 零件信息表"_s) && q.next())
            rows = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return rows;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(FRoot.isValid());
        FPrefix = FRoot.filePath(u"usr"_s);
        const TRun install = run(QStringLiteral(PNX_CMAKE),
            { u"--install"_s, QStringLiteral(PNX_BUILD_DIR), u"--prefix"_s, FPrefix });
        QVERIFY2(install.exitCode == 0, install.out.constData());
    }

    // Everything in its place, and nothing of the build besides.
    void installTree()
    {
        QStringList expected { u"bin/pnx"_s, u"bin/pnxcut"_s, u"bin/pnxdbinit"_s,
            u"share/pnx/pnx.dat"_s, u"share/pnx/readme.rtf"_s, u"share/pnx/readme.en.rtf"_s,
            u"share/pnx/manual/index.html"_s, u"share/pnx/manual/en/index.html"_s,
            u"share/pnx/translations/pnx_en.qm"_s, u"share/applications/%1.desktop"_s.arg(AppId),
            u"share/metainfo/%1.metainfo.xml"_s.arg(AppId),
            u"share/icons/hicolor/scalable/apps/%1.svg"_s.arg(AppId), u"share/man/man1/pnx.1.gz"_s,
            u"share/man/man1/pnxcut.1.gz"_s, u"share/man/man1/pnxdbinit.1.gz"_s,
            u"share/doc/pnx/copyright"_s, u"share/doc/pnx/changelog.gz"_s,
            u"share/doc/pnx/examples/kitchen-cabinet.job"_s };
        for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
            expected << u"share/icons/hicolor/%1x%1/apps/%2.png"_s.arg(size).arg(AppId);
        const QDir prefix(FPrefix);
        for (const QString &file : expected)
            QVERIFY2(QFileInfo(prefix.filePath(file)).isFile(), qPrintable(file));
        QCOMPARE(QDir(prefix.filePath(u"bin"_s)).entryList(QDir::Files, QDir::Name),
            (QStringList { u"pnx"_s, u"pnxcut"_s, u"pnxdbinit"_s }));
        for (const int size : { 16, 48, 256 }) {
            const QImage icon(
                prefix.filePath(u"share/icons/hicolor/%1x%1/apps/%2.png"_s.arg(size).arg(AppId)));
            QCOMPARE(icon.size(), QSize(size, size));
        }
        QVERIFY(readAll(prefix.filePath(u"share/icons/hicolor/scalable/apps/%1.svg"_s.arg(AppId)))
                    .contains("<svg"));
    }

    // The menu entry starts the installed program by name, shows the installed icon and has
    // Chinese and English names; the desktop's own validators accept it and the metainfo.
    void menuEntryAndMetainfo()
    {
        const QString desktop
            = QDir(FPrefix).filePath(u"share/applications/%1.desktop"_s.arg(AppId));
        QMap<QString, QString> entry; // the keys of the group [Desktop Entry]
        bool inGroup = false;
        for (const QString &line : QString::fromUtf8(readAll(desktop)).split(u'\n')) {
            if (line.startsWith(u'['))
                inGroup = line == u"[Desktop Entry]";
            else if (inGroup && line.contains(u'='))
                entry.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
        }
        QCOMPARE(entry.value(u"Exec"_s), u"pnx"_s);
        QCOMPARE(entry.value(u"Icon"_s), AppId);
        QCOMPARE(entry.value(u"Name[zh_CN]"_s), u"Tavrin优化切割"_s);
        QCOMPARE(entry.value(u"Name"_s), u"Tavrin Cutting Optimizer"_s);
        QCOMPARE(entry.value(u"Categories"_s), u"Office;Engineering;"_s);
        QVERIFY(QFileInfo(QDir(FPrefix).filePath(u"bin/pnx"_s)).isExecutable());

        const QString validate = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
        QVERIFY2(!validate.isEmpty(), "desktop-file-validate is missing (tools/deps.sh)");
        const TRun d = run(validate, { desktop });
        QVERIFY2(d.exitCode == 0 && d.out.isEmpty(), QByteArray(d.out + d.err).constData());
        const QString appstream = QStandardPaths::findExecutable(u"appstreamcli"_s);
        QVERIFY2(!appstream.isEmpty(), "appstreamcli is missing (tools/deps.sh)");
        const TRun a = run(appstream,
            { u"validate"_s, u"--no-net"_s,
                QDir(FPrefix).filePath(u"share/metainfo/%1.metainfo.xml"_s.arg(AppId)) });
        QVERIFY2(a.exitCode == 0, QByteArray(a.out + a.err).constData());
    }

    // The installed command-line tool gives the same records as the build's on an installed
    // example job.
    void installedPnxcut_runsAnExampleJob()
    {
        const TRun r = run(QDir(FPrefix).filePath(u"bin/pnxcut"_s),
            { QDir(FPrefix).filePath(u"share/doc/pnx/examples/kitchen-cabinet.job"_s) });
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out,
            readAll(QStringLiteral(PNX_SOURCE_DIR) + u"/examples/expected/kitchen-cabinet.out"_s));
    }

    // The installed pnx finds its translation beside it, in the installed shared folder.
    void installedPnx_speaksBothLanguages()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, FRoot.filePath(u"home-help"_s));
        env.remove(u"XDG_CONFIG_HOME"_s);
        env.remove(u"LC_ALL"_s);
        env.insert(u"LANG"_s, u"en_US.UTF-8"_s);
        const QString pnx = QDir(FPrefix).filePath(u"bin/pnx"_s);
        const TRun english = run(pnx, { u"--help"_s }, env);
        QCOMPARE(english.exitCode, 0);
        QVERIFY2(english.out.contains("Open this database file"), english.out.constData());
        env.insert(u"LANG"_s, u"zh_CN.UTF-8"_s);
        const TRun chinese = run(pnx, { u"--help"_s }, env);
        QCOMPARE(chinese.exitCode, 0);
        QVERIFY2(chinese.out.contains("打开这个数据库文件"), chinese.out.constData());
    }

    // First start with an empty home folder: the fresh database is copied into the user's data
    // folder and opened. Second start: the user's data are kept.
    void installedPnx_createsTheUsersDatabaseOnce()
    {
        const QString home = FRoot.filePath(u"home"_s);
        QVERIFY(QDir().mkpath(home));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, home);
        for (const QString &name : { u"XDG_DATA_HOME"_s, u"XDG_CONFIG_HOME"_s })
            env.remove(name);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        const QString database = home + u"/.local/share/pnx/pnx.dat"_s;
        const QString templateFile = QDir(FPrefix).filePath(u"share/pnx/pnx.dat"_s);

        const auto startAndWaitForTheDatabase = [&] {
            QProcess pnx;
            pnx.setProcessEnvironment(env);
            pnx.setWorkingDirectory(home);
            pnx.start(QDir(FPrefix).filePath(u"bin/pnx"_s), {});
            QVERIFY(pnx.waitForStarted());
            QElapsedTimer waited;
            waited.start();
            bool opened = false;
            while (!opened && waited.elapsed() < 60000 && pnx.state() == QProcess::Running) {
                opened = holdsOpen(pnx.processId(), database);
                QTest::qWait(100);
            }
            const QByteArray said = pnx.readAllStandardError();
            pnx.kill();
            pnx.waitForFinished();
            QVERIFY2(opened, said.constData());
        };

        startAndWaitForTheDatabase();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(readAll(database), readAll(templateFile));
        QVERIFY(QFileInfo::exists(home + u"/.config/pnx"_s));
        const int rows = partLibraryRows(database);
        QVERIFY(rows > 0);

        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"edit"_s);
            db.setDatabaseName(database);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(u"INSERT INTO 零件信息表 (Name, Length, Width) VALUES ('x', 5, 6)"_s));
        }
        QSqlDatabase::removeDatabase(u"edit"_s);

        startAndWaitForTheDatabase();
        QCOMPARE(partLibraryRows(database), rows + 1);
    }

private:
    QTemporaryDir FRoot;
    QString FPrefix;
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
