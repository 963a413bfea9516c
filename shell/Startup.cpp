#include "Startup.h"

#include "DM.h"

#include "Dialogs.h"
#include "PnxApplication.h"
#include "ProductInfo.h"
#include "ShellArt.h"
#include "TypeSetClass.h"
#include "fmMainC.h"
#include "fmMaterial.h"
#include <QScopeGuard>

#include <QLibraryInfo>
#include <QPointer>
#include <QStatusBar>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace Startup {

bool loadQtTranslation()
{
    const QString name = u"qtbase_zh_CN"_s;
    if (qApp->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly))
        return true;
    auto *translator = new QTranslator(qApp);
    translator->setObjectName(name);
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void initApplication()
{
    QCoreApplication::setApplicationName(ProductInfo::applicationTitle());
    QCoreApplication::setApplicationVersion(ProductInfo::fileVersion());
    QApplication::setWindowIcon(ShellArt::applicationIcon());
    loadQtTranslation();
}

void createDataModule()
{
    if (!FrmDM)
        new TFrmDM(qApp); // becomes FrmDM; lives as long as the application object
    Dialogs::guarded([] { FrmDM->DataModuleCreate(); });
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
    TPnxApplication app(argc, argv);
    initApplication();
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
