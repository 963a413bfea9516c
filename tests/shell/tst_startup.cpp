// Start-up around the main window: the language of the user interface (setting, system,
// translators, the 设置 menu), the command line, the settings of earlier versions carried over
// once, and the status pane that names the database in use.

#include "AppSettings.h"
#include "DM.h"
#include "DataPlace.h"
#include "PnxApplication.h"
#include "ShellFixture.h"
#include "fmMainC.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

using namespace Qt::StringLiterals;
using AppSettings::Key;

namespace {

QStringList menuTitles(const TfrmMainC &w)
{
    QStringList titles;
    for (const QAction *a : w.menuBar()->actions())
        titles << a->text();
    return titles;
}

QString yesButton()
{
    QDialogButtonBox buttons(QDialogButtonBox::Yes);
    return buttons.button(QDialogButtonBox::Yes)->text();
}

// The settings files of earlier versions.
QSettings oldViewSettings()
{
    return QSettings(u"Temp"_s, u"Tavrin优化切割PNX"_s);
}
QSettings oldWorkAreaSettings()
{
    return QSettings(u"PNX"_s, u"PNX Cutting Planner"_s);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ShellFixture::setUpApplication();
        QVERIFY(qobject_cast<TPnxApplication *>(qApp));
    }

    void init()
    {
        Dialogs::resetHooks();
        ShellFixture::clearSettings();
    }

    void cleanup()
    {
        Startup::loadTranslations(u"zh"_s);
        DataPlace::setSharedDirectory(QString());
        DataPlace::setChosenDatabase(QString());
        TFrmDM::setDatabaseDirectory(QString());
        for (const QSettings &s : { oldViewSettings(), oldWorkAreaSettings() })
            QFile::remove(s.fileName());
    }

    void uiLanguage_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("language");
        QTest::newRow("follow: C locale") << QString() << u"C"_s << u"zh"_s;
        QTest::newRow("follow: Chinese") << QString() << u"zh_CN"_s << u"zh"_s;
        QTest::newRow("follow: Chinese, Taiwan") << QString() << u"zh_TW"_s << u"zh"_s;
        QTest::newRow("follow: English") << QString() << u"en_GB"_s << u"en"_s;
        QTest::newRow("follow: German reads English") << QString() << u"de_DE"_s << u"en"_s;
        QTest::newRow("Chinese on an English system") << u"zh"_s << u"en_US"_s << u"zh"_s;
        QTest::newRow("English on a Chinese system") << u"en"_s << u"zh_CN"_s << u"en"_s;
        QTest::newRow("unknown setting follows") << u"fr"_s << u"zh_CN"_s << u"zh"_s;
    }
    void uiLanguage()
    {
        QFETCH(QString, setting);
        QFETCH(QString, system);
        QFETCH(QString, language);
        QCOMPARE(Startup::uiLanguage(setting, QLocale(system)), language);
    }

    // English: the program's translation and Qt's own English; Chinese: the source texts and
    // Qt's Chinese. Switching back and forth leaves no translator of the other behind.
    void loadTranslations_switchesTheWholeInterface()
    {
        DataPlace::setSharedDirectory(QStringLiteral(PNX_TEST_SHARE_DIR));
        QVERIFY(Startup::loadTranslations(u"en"_s));
        {
            TfrmMainC w;
            QCOMPARE(
                menuTitles(w), (QStringList { u"&File"_s, u"&View"_s, u"&Settings"_s, u"&Help"_s }));
            QCOMPARE(w.actOCS->text(), u"Layout"_s);
            QCOMPARE(w.actExit->toolTip(), u"Exit"_s);
            QCOMPARE(w.windowTitle(), u"Tavrin Cutting Optimizer"_s);
        }
        QCOMPARE(yesButton(), u"&Yes"_s);
        // A message of the data layer.
        QTemporaryDir empty;
        TFrmDM::setDatabaseDirectory(empty.path());
        TFrmDM dm;
        QVERIFY_THROWS_EXCEPTION(TDBError, dm.DataModuleCreate());
        QVERIFY2(dm.lastError().startsWith(u"The database file"_s), qPrintable(dm.lastError()));

        QVERIFY(Startup::loadTranslations(u"zh"_s));
        TfrmMainC w;
        QCOMPARE(menuTitles(w),
            (QStringList { u"文件(&F)"_s, u"查看(&V)"_s, u"设置(&O)"_s, u"帮助(&H)"_s }));
        QCOMPARE(w.actOCS->text(), u"优化排样"_s);
        QCOMPARE(yesButton(), u"是(&Y)"_s);
    }

    // Without its translation file the English interface stays in the source language; start-up
    // goes on.
    void loadTranslations_missingFileKeepsChinese()
    {
        QTemporaryDir empty;
        DataPlace::setSharedDirectory(empty.path());
        QVERIFY(!Startup::loadTranslations(u"en"_s));
        TfrmMainC w;
        QCOMPARE(w.actOCS->text(), u"优化排样"_s);
    }

    // The setting decides at start-up, including the application title of the message boxes.
    void initApplication_followsTheLanguageSetting()
    {
        DataPlace::setSharedDirectory(QStringLiteral(PNX_TEST_SHARE_DIR));
        AppSettings::setValue(Key::Language, u"en"_s);
        Startup::initApplication();
        QCOMPARE(QCoreApplication::applicationName(), u"Tavrin Cutting Optimizer PNX"_s);
        AppSettings::setValue(Key::Language, QString());
        Startup::initApplication();
        QCOMPARE(QCoreApplication::applicationName(), u"Tavrin优化切割PNX"_s);
        QCOMPARE(yesButton(), u"是(&Y)"_s);
    }

    // 设置 > 界面语言: the three choices, the stored one ticked; a choice that changes the
    // language says it applies from the next start.
    void languageMenu_storesTheChoice()
    {
        AppSettings::setValue(Key::Language, u"zh"_s);
        {
            TfrmMainC w;
            QVERIFY(w.actLanguageZh->isChecked());
            QVERIFY(!w.actLanguageSystem->isChecked() && !w.actLanguageEn->isChecked());
            QCOMPARE(w.actLanguageEn->text(), u"English"_s);
            QCOMPARE(w.actLanguageSystem->text(), u"跟随系统"_s);

            w.actLanguageEn->trigger();
            QCOMPARE(AppSettings::stringValue(Key::Language), u"en"_s);
            QCOMPARE(
                Dialogs::takeCaptured(), QStringList { u"界面语言将在程序下次启动时更换。"_s });
            QVERIFY(w.actLanguageEn->isChecked() && !w.actLanguageZh->isChecked());

            w.actLanguageEn->trigger(); // no change: nothing to say
            QVERIFY(Dialogs::takeCaptured().isEmpty());
            w.actLanguageSystem->trigger(); // the C locale of the tests follows to Chinese
            QCOMPARE(AppSettings::stringValue(Key::Language), QString());
            QCOMPARE(Dialogs::takeCaptured().size(), 1);
            w.actLanguageZh->trigger(); // Chinese either way
            QVERIFY(Dialogs::takeCaptured().isEmpty());
        }
        TfrmMainC again;
        QVERIFY(again.actLanguageZh->isChecked());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode"); // -1: the program goes on
        QTest::addColumn<QString>("database"); // "" none chosen; else relative to the cwd
        QTest::newRow("nothing") << QStringList { u"pnx"_s } << -1 << QString();
        QTest::newRow("--database")
            << QStringList { u"pnx"_s, u"--database"_s, u"shop.dat"_s } << -1 << u"shop.dat"_s;
        QTest::newRow("--database=")
            << QStringList { u"pnx"_s, u"--database=jobs/a.dat"_s } << -1 << u"jobs/a.dat"_s;
        QTest::newRow("--database without a file")
            << QStringList { u"pnx"_s, u"--database"_s } << 2 << QString();
        QTest::newRow("--database empty")
            << QStringList { u"pnx"_s, u"--database="_s } << 2 << QString();
        QTest::newRow("unknown option") << QStringList { u"pnx"_s, u"--bogus"_s } << 2 << QString();
        QTest::newRow("a stray argument")
            << QStringList { u"pnx"_s, u"shop.dat"_s } << 2 << QString();
        QTest::newRow("--version") << QStringList { u"pnx"_s, u"--version"_s } << 0 << QString();
        QTest::newRow("--help") << QStringList { u"pnx"_s, u"-h"_s } << 0 << QString();
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, database);
        ShellFixture::TWorkingDir cwd;
        const QString usual = DataPlace::current().databaseFile;
        QCOMPARE(Startup::parseCommandLine(arguments).value_or(-1), exitCode);
        const DataPlace::TPlace place = DataPlace::current();
        if (database.isEmpty()) {
            QCOMPARE(place.databaseFile, usual);
        } else {
            QCOMPARE(int(place.kind), int(DataPlace::TKind::Chosen));
            QCOMPARE(place.databaseFile, QDir(cwd.path()).absoluteFilePath(database));
        }
    }

    // The status bar names the database file the program works on.
    void statusBar_namesTheDatabase()
    {
        ShellFixture::TWorkingDir cwd;
        QVERIFY(!Startup::parseCommandLine({ u"pnx"_s, u"--database"_s, u"my shop.dat"_s }));
        TfrmMainC w;
        const QString file = QDir::toNativeSeparators(cwd.filePath(u"my shop.dat"_s));
        QCOMPARE(w.stsDatabase->text(), file); // a temporary folder, not under the home folder
        QVERIFY(w.stsDatabase->toolTip().contains(file));
        QVERIFY(w.stsDatabase->minimumWidth()
            >= w.stsDatabase->fontMetrics().horizontalAdvance(u"my shop.dat"_s));
        QCOMPARE(w.stsDatabase->parentWidget(), w.statusBar());

        // A file in the home folder is shown from "~" (the name only; nothing is made there).
        TFrmDM::setDatabaseDirectory(QDir::home().filePath(u"pnx-not-there"_s));
        TfrmMainC inHome;
        QCOMPARE(
            inHome.stsDatabase->text(), QDir::toNativeSeparators(u"~/pnx-not-there/pnx.dat"_s));
        QVERIFY(inHome.stsDatabase->toolTip().contains(QDir::toNativeSeparators(QDir::homePath())));
    }

    // The view and work-area settings of earlier versions move into the one settings file
    // once; a value already there wins; later changes of the old files are not looked at.
    void oldSettings_areCarriedOverOnce()
    {
        {
            QSettings view = oldViewSettings();
            view.setValue(u"ToolBar"_s, false);
            view.setValue(u"NotesWidth"_s, 150);
            view.setValue(u"TaskPaneWidth"_s, 240);
            QSettings work = oldWorkAreaSettings();
            work.setValue(u"DeepSeconds"_s, 42);
            QSettings now(AppSettings::organisation(), AppSettings::application());
            now.setValue(ShellSettings::viewGroup() + u"/TaskPaneWidth"_s, 222);
        }
        QVERIFY(ShellSettings::carryOverOldSettings());
        auto v = ShellSettings::TViewSettings::load();
        QVERIFY(!v.toolBar);
        QCOMPARE(v.notesWidth, 150);
        QCOMPARE(v.taskPaneWidth, 222);
        QCOMPARE(AppSettings::intValue(Key::DeepSeconds), 42);
        const QString file
            = QSettings(AppSettings::organisation(), AppSettings::application()).fileName();
        QVERIFY2(file.endsWith(u"/pnx/pnx.conf"_s), qPrintable(file));

        oldViewSettings().setValue(u"NotesWidth"_s, 99);
        QVERIFY(!ShellSettings::carryOverOldSettings());
        QCOMPARE(ShellSettings::TViewSettings::load().notesWidth, 150);
        QVERIFY(oldViewSettings().contains(u"ToolBar"_s)); // the old file is left alone
    }
};

int main(int argc, char **argv)
{
    TPnxApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
