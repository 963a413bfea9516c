// Shows a layout view with a realistic 2440 x 1220 mm layout, the way the results window
// does, for looking at the drawing by eye. Options:
//   --pdf <file>   also prints the layout onto an A4 PDF page, the way printing does
//   --select <n>   selects part n (default 4)
//   --quit         exits after the window was shown (for screenshots from a script)

#include "DrawMaterial.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

struct Part
{
    QString text;
    int left, top, width, height;
};

QList<Part> demoLayout()
{
    // Three rows cut across the sheet with a 4 mm kerf.
    QList<Part> parts;
    for (int k = 0; k < 3; ++k)
        parts.append({ u"侧板"_s, k * 724, 0, 720, 560 });
    parts.append({ u"隔板"_s, 2172, 0, 260, 560 });
    for (int k = 0; k < 3; ++k)
        parts.append({ u"顶板"_s, k * 804, 564, 800, 400 });
    for (int k = 0; k < 2; ++k)
        parts.append({ u"背板条"_s, k * 1204, 968, 1200, 240 });
    parts.append({ u"拉手垫"_s, 2408, 968, 30, 240 });
    return parts;
}

void fill(TDrawMaterial &view)
{
    view.SetDrawer(false);
    for (const Part &p : demoLayout()) {
        TDrawMaterialItem *item = view.Materials()->Add();
        item->SetText(p.text);
        item->SetLeft(p.left);
        item->SetTop(p.top);
        item->SetWidth(p.width);
        item->SetHeight(p.height);
    }
    view.SetDrawer(true);
}

void printLayout(const TDrawMaterial &shown, const QString &file)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    // At the PDF default of 1200 dpi a sheet fitted to the page would need a scale above the
    // view's 501 and print at 100 instead; 600 dpi is what a real printer typically reports.
    printer.setResolution(600);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int margin = 100;

    TDrawMaterial temp;
    temp.hide();
    temp.SetDrawer(false);
    temp.Assign(shown);
    temp.SetOffSet(0);
    temp.SetLeftOffset(margin);
    temp.SetTopOffset(margin);
    const int sw = int((page.width() - 2 * margin - 100) / (temp.MWidth() / 100.0));
    const int sh = int((page.height() - 2 * margin - 300) / (temp.MHeight() / 100.0));
    temp.SetScale(sw < sh ? sw : sh);
    temp.SetReadOnly(true);
    temp.SetPrinterCanvas(&painter);
    temp.SetIsPrinter(true);
    temp.SetDrawer(true);
    temp.SetIsPrinter(false);

    const QString caption = u"切割 1:原材料 "_s + QString::number(temp.MWidth()) + u"×"_s
        + QString::number(temp.MHeight()) + u" "_s + QString::number(shown.Tag()) + u"件"_s;
    const QFontMetrics fm = painter.fontMetrics();
    painter.setPen(Qt::black);
    painter.drawText(page.width() - fm.horizontalAdvance(caption) - 100,
        page.height() - 100 - fm.height() + fm.ascent(), caption);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({ u"pdf"_s, u"print the layout to this PDF file"_s, u"file"_s });
    parser.addOption({ u"select"_s, u"part to select"_s, u"n"_s, u"4"_s });
    parser.addOption({ u"quit"_s, u"exit after showing"_s });
    parser.process(app);

    QWidget window;
    window.setWindowTitle(u"排样图"_s);
    auto *layout = new QVBoxLayout(&window);
    auto *area = new QScrollArea;
    area->setBackgroundRole(QPalette::Dark);
    layout->addWidget(area);

    auto *view = new TDrawMaterial;
    view->SetMWidth(2440);
    view->SetMHeight(1220);
    view->SetTag(3);
    view->SetGroup(1);
    view->SetBlade(4);
    view->SetShowHint(true);
    view->SetColor(view->palette().color(QPalette::Button));
    view->SetSelectColor(QColor(255, 255, 0));
    view->SetLineColor(QColor(0, 0, 255));
    area->setWidget(view);
    fill(*view);
    view->SetSelectindex(parser.value(u"select"_s).toInt());

    window.resize(1360, 760);
    window.show();
    // Fit to the width of the layout area, as the results window does.
    const int fit
        = int((area->viewport()->width() - 2 * view->OffSet()) / (view->MWidth() / 100.0));
    view->SetScale(fit);
    // The hint of the first part, shown where the pointer would be.
    const QPoint over(view->OffSet() + 60, view->OffSet() + 60);
    view->PointToHint(over);
    QTimer::singleShot(500, view,
        [view, over] { QToolTip::showText(view->mapToGlobal(over), view->toolTip(), view); });

    if (parser.isSet(u"pdf"_s))
        printLayout(*view, parser.value(u"pdf"_s));
    if (parser.isSet(u"quit"_s))
        QTimer::singleShot(3000, &app, &QCoreApplication::quit);
    return app.exec();
}
