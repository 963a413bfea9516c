#include "PdfOutput.h"

#include "EngineLayouts.h"
#include "JobFile.h"
#include "PrintConfig.h"
#include "PrintLayouts.h"
#include "RunReport.h"
#include "TypeSetClass.h"
#include "Workshop.h"

#include <QApplication>
#include <QFile>

#include <memory>
#include <ostream>

namespace cli {

namespace {

// Standard error is for pnxcut's own messages: Qt's notes about the environment ("XDG_RUNTIME_DIR
// not set", font and platform remarks) are dropped; critical errors still reach it.
QtMessageHandler QtDefaultHandler = nullptr;
void QuietQtMessages(QtMsgType Type, const QMessageLogContext &Context, const QString &Text)
{
    if (Type == QtCriticalMsg || Type == QtFatalMsg)
        QtDefaultHandler(Type, Context, Text);
}

} // namespace

std::unique_ptr<QApplication> EnsureApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    // Installed once: a second application of the same run (--pdf, then --labels) must not
    // take the quiet handler for Qt's own.
    if (!QtDefaultHandler)
        QtDefaultHandler = qInstallMessageHandler(QuietQtMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int Argc = 1;
    static char Name[] = "pnxcut";
    static char *Argv[] = { Name, nullptr };
    return std::make_unique<QApplication>(Argc, Argv);
}

int WritePdf(TRectManage &Engine, const std::vector<LayoutEvent> &Events, const std::string &Path,
    std::ostream &Err)
{
    const std::unique_ptr<QApplication> App = EnsureApplication();

    // The run as the results window follows it: a view per reported layout, the totals per
    // layout, and the overall utilisation once the run has completed.
    TEngineLayouts Layouts(Engine);
    double PriceSum = 0;
    qint64 Gross = 0;
    qint64 Net = 0;
    for (const LayoutEvent &E : Events) {
        Layouts.OnNewRectList(E.Group, E.BCindex, E.RectCount);
        AddLayoutTotals(Engine, E.Group, E.BCindex, E.RectCount, PriceSum, Gross, Net);
    }
    if (!Engine.Execpt())
        Layouts.SetUtilisationCaption(
            UtilisationCaption(TotalUtilisation(Engine.MaterialTypeList().GetAreaSum(), Net)));
    if (Layouts.LayoutCount() == 0) {
        Err << "pnxcut: no PDF written: the run has no layout to print\n";
        return 1;
    }

    try {
        PrintToPdfFile(QFile::decodeName(Path.c_str()), PdfPageLayout(), [&](TPrintPage &Page) {
            SetConfig(&Page.Painter);
            PrintAllLayouts(Page, Layouts, PrintConfig);
        });
    } catch (const EPrintError &E) {
        Err << "pnxcut: cannot write " << Path << ": "
            << (E.Reason().empty() ? E.what() : E.Reason()) << "\n";
        return 1;
    } catch (const EConfigError &E) {
        Err << "pnxcut: print settings: " << E.what() << "\n";
        return 1;
    }
    return 0;
}

int WriteWorkshop(TRectManage &Engine, const std::vector<LayoutEvent> &Events,
    const std::string &Path, const std::string &Project, std::ostream &Err)
{
    const std::unique_ptr<QApplication> App = EnsureApplication();
    TEngineLayouts Layouts(Engine);
    for (const LayoutEvent &E : Events)
        Layouts.OnNewRectList(E.Group, E.BCindex, E.RectCount);
    if (Layouts.LayoutCount() == 0) {
        Err << "pnxcut: no workshop PDF written: the run has no layout to print\n";
        return 1;
    }
    try {
        const TWorkshopDocument Doc(Layouts, { QString::fromStdString(Project), {}, {} });
        WriteWorkshopPdf(QFile::decodeName(Path.c_str()), Doc);
    } catch (const EPrintError &E) {
        Err << "pnxcut: cannot write " << Path << ": "
            << (E.Reason().empty() ? E.what() : E.Reason()) << "\n";
        return 1;
    }
    return 0;
}

} // namespace cli
