#include "Startup.h"

#include "AppSettings.h"
#include "DM.h"
#include "DataPlace.h"
#include "Dialogs.h"
#include "PnxApplication.h"
#include "ProductInfo.h"
#include "ShellArt.h"
#include "ShellSettings.h"
#include "TypeSetClass.h"
#include "fmMainC.h"
#include "fmMaterial.h"

#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <string_view>

using namespace Qt::StringLiterals;

namespace Startup {

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Startup)
};

const QString QtChinese = u"qtbase_zh_CN"_s;
const QString ProgramEnglish = u"pnx_en"_s;

// Loads the translation file name from dir into the application unless it is there already.
bool installTranslator(const QString &name, const QString &dir)
{
    if (qApp->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly))
        return true;
    auto *translator = new QTranslator(qApp);
    translator->setObjectName(name);
    if (!translator->load(name, dir)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

// The options of pnx.
struct TCommandLine
{
    QCommandLineParser parser;
    const QCommandLineOption help { { u"h"_s, u"help"_s }, Tr::tr("显示这段说明。") };
    const QCommandLineOption version { { u"v"_s, u"version"_s }, Tr::tr("显示版本号。") };
    const QCommandLineOption database { u"database"_s,
        Tr::tr("打开这个数据库文件，而不是通常的 pnx.dat（不存在的文件不会被建立）。"),
        Tr::tr("文件") };

    TCommandLine()
    {
        parser.setApplicationDescription(Tr::tr("板材优化切割：规划从原材料板上切出零件的排样。"));
        parser.addOptions({ help, version, database });
    }

    // --help and --version print their answer on standard output: exit code 0.
    std::optional<int> answer() const
    {
        if (parser.isSet(help)) {
            std::fputs(qPrintable(parser.helpText()), stdout);
            return 0;
        }
        if (parser.isSet(version)) {
            std::printf("pnx %s\n", qPrintable(ProductInfo::fileVersion()));
            return 0;
        }
        return std::nullopt;
    }
};

void removeTranslator(const QString &name)
{
    // Deleting a translator takes it out of the application.
    delete qApp->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

bool loadQtTranslation()
{
    return installTranslator(QtChinese, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QString uiLanguage(const QString &setting, const QLocale &system)
{
    if (setting == u"zh" || setting == u"en")
        return setting;
    const QString first = system.uiLanguages().value(0);
    if (first.isEmpty() || first == u"C" || first.startsWith(u"zh"))
        return u"zh"_s;
    return u"en"_s;
}

bool loadTranslations(const QString &language)
{
    if (language == u"en") {
        removeTranslator(QtChinese);
        return installTranslator(
            ProgramEnglish, QDir(DataPlace::sharedDirectory()).filePath(u"translations"_s));
    }
    removeTranslator(ProgramEnglish);
    return loadQtTranslation();
}

QString loadedLanguage()
{
    return qApp && qApp->findChild<QTranslator *>(ProgramEnglish, Qt::FindDirectChildrenOnly)
        ? u"en"_s
        : u"zh"_s;
}

void initApplication()
{
    ShellSettings::carryOverOldSettings();
    loadTranslations(
        uiLanguage(AppSettings::stringValue(AppSettings::Key::Language), QLocale::system()));
    QCoreApplication::setApplicationName(ProductInfo::applicationTitle());
    QCoreApplication::setApplicationVersion(ProductInfo::fileVersion());
    QApplication::setWindowIcon(ShellArt::applicationIcon());
    QGuiApplication::setDesktopFileName(ProductInfo::desktopFileName());
}

std::optional<int> parseCommandLine(const QStringList &arguments)
{
    TCommandLine line;
    const bool parsed = line.parser.parse(arguments);
    if (const std::optional<int> end = line.answer())
        return end;
    if (!parsed) {
        std::fprintf(stderr, "pnx: %s\n", qPrintable(line.parser.errorText()));
        return 2;
    }
    if (!line.parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "pnx: %s\n",
            qPrintable(
                Tr::tr("不认识的参数：%1").arg(line.parser.positionalArguments().join(u' '))));
        return 2;
    }
    if (line.parser.isSet(line.database)) {
        const QString file = line.parser.value(line.database);
        if (file.isEmpty()) {
            std::fprintf(stderr, "pnx: %s\n", qPrintable(Tr::tr("--database 需要一个文件名")));
            return 2;
        }
        DataPlace::setChosenDatabase(file);
    }
    return std::nullopt;
}

std::optional<int> answerOnTerminal(int &argc, char **argv)
{
    const bool asked = std::any_of(argv + 1, argv + argc, [](const char *a) {
        const std::string_view arg(a);
        return arg == "-h" || arg == "--help" || arg == "-v" || arg == "--version";
    });
    if (!asked)
        return std::nullopt;
    QCoreApplication console(argc, argv);
    loadTranslations(
        uiLanguage(AppSettings::stringValue(AppSettings::Key::Language), QLocale::system()));
    TCommandLine line;
    line.parser.parse(QCoreApplication::arguments()); // errors are the GUI start's to report
    return line.answer();
}

void createDataModule()
{
    if (!FrmDM)
        new TFrmDM(qApp); // becomes FrmDM; lives as long as the application object
    Dialogs::guarded([] {
        TFrmDM::provideDatabase();
        FrmDM->DataModuleCreate();
    });
}

std::unique_ptr<TfrmMainC> createMainWindow()
{
    auto window = std::make_unique<TfrmMainC>();
    // A save or read that waits for another program's lock blocks the window for up to the
    // busy timeout: show that it is alive and why.
    StoreWait::setHook([bar = QPointer<QStatusBar>(window->statusBar())](const QString &text) {
        if (!text.isEmpty()) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            if (bar) {
                bar->showMessage(text);
                bar->repaint(); // no event loop runs until the wait is over
            }
        } else {
            QApplication::restoreOverrideCursor();
            if (bar)
                bar->clearMessage();
        }
    });
    window->show();
    return window;
}

int run(int &argc, char **argv)
{
    if (const std::optional<int> end = answerOnTerminal(argc, argv))
        return *end;
    TPnxApplication app(argc, argv);
    initApplication();
    if (const std::optional<int> end = parseCommandLine(QCoreApplication::arguments()))
        return *end;
    // The one engine object, from start to end of the program.
    TRectManage engine;
    RectManage = &engine;
    const auto forget = qScopeGuard([] { RectManage = nullptr; });
    try {
        createDataModule();
        const auto window = createMainWindow();
        QApplication::exec();
    } catch (...) {
        Dialogs::reportCurrentException();
    }
    return 0;
}

} // namespace Startup
