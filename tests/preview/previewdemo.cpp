// Opens the preview window on the layouts of a pnxcut job, the way the results window opens
// it, for looking at it by eye (not a test). Options:
//   --page <n>        the layout shown first (default 1)
//   --pdf-all <file>  also prints every layout ten a page into a PDF file, as 打印所有 does
//   --pdf-one <file>  also prints the first shown layout into a PDF file, as 打印本页 does
//   --no-window       only the PDF files
// The overall-utilisation caption is a fixed sample text: the run's totals belong to the
// results window.

#include "Dialogs.h"
#include "DrawMaterial.h"
#include "EngineLayouts.h"
#include "JobFile.h"
#include "PrintLayouts.h"
#include "TypeSetClass.h"
#include "fmPreview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"Tavrin优化切割PNX"_s);
    QCommandLineParser parser;
    parser.addPositionalArgument(u"job"_s, u"pnxcut job file"_s);
    parser.addOption({ u"page"_s, u"layout shown first"_s, u"n"_s, u"1"_s });
    parser.addOption({ u"pdf-all"_s, u"print all layouts into this PDF"_s, u"file"_s });
    parser.addOption({ u"pdf-one"_s, u"print the shown layout into this PDF"_s, u"file"_s });
    parser.addOption({ u"no-window"_s, u"do not open the window"_s });
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    std::string error;
    const auto text = cli::ReadWholeFile(parser.positionalArguments()[0].toStdString(), error);
    if (!text) {
        QTextStream(stderr) << QString::fromStdString(error) << '\n';
        return 2;
    }
    const cli::ParseOutcome job = cli::ParseJob(*text);
    if (!job.Parsed) {
        QTextStream(stderr) << QString::fromStdString(job.Error.Message) << '\n';
        return 2;
    }
    TRectManage engine;
    cli::LoadJob(*job.Parsed, engine);
    TEngineLayouts layouts(engine);
    engine.SetOnNewRectList([&](int g, int b, int r) { layouts.OnNewRectList(g, b, r); });
    engine.GoWork();
    layouts.SetUtilisationCaption(u"总利用率：81%"_s);
    if (layouts.LayoutCount() == 0) {
        QTextStream(stderr) << "no layout\n";
        return 1;
    }
    const int shown = qBound(0, parser.value(u"page"_s).toInt() - 1, layouts.LayoutCount() - 1);
    TDrawMaterial &view = *layouts.LayoutView(shown);
    layouts.DrawPanel(view);

    int rc = 0;
    Dialogs::guarded([&] {
        if (parser.isSet(u"pdf-all"_s))
            PrintToPdfFile(parser.value(u"pdf-all"_s), PdfPageLayout(), [&](TPrintPage &page) {
                SetConfig(&page.Painter);
                PrintAllLayouts(page, layouts, PrintConfig);
            });
        if (parser.isSet(u"pdf-one"_s))
            PrintToPdfFile(parser.value(u"pdf-one"_s), PdfPageLayout(), [&](TPrintPage &page) {
                SetConfig(&page.Painter);
                PrintOneLayout(page, layouts, view, PrintConfig);
            });
    });
    if (parser.isSet(u"no-window"_s))
        return rc;

    auto *p = new TfrmPreview(layouts, nullptr);
    p->SetPanel(view);
    p->FPanel->SetLineColor(QColor(0, 0, 255));
    p->FPanel->SetSelectColor(QColor(255, 255, 0));
    Dialogs::exec(*p);
    delete p;
    return rc;
}
