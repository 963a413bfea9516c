#include "Startup.h"

#include "DM.h"

#include <QScopeGuard>
#include "Dialogs.h"
#include "PnxApplication.h"
#include "ProductInfo.h"
#include "ShellArt.h"
#include "TypeSetClass.h"
#include "fmMainC.h"
#include "fmMaterial.h"

namespace Startup {

void initApplication()
{
    QCoreApplication::setApplicationName(ProductInfo::applicationTitle());
    QCoreApplication::setApplicationVersion(ProductInfo::fileVersion());
    QApplication::setWindowIcon(ShellArt::applicationIcon());
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
