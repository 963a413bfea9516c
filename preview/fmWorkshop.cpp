#include "fmWorkshop.h"

#include "Command.h"
#include "Dialogs.h"
#include "LayoutSource.h"
#include "PrintLayouts.h"
#include "WidgetArt.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

bool &findPrinters()
{
    static bool on = true;
    return on;
}

QString &lastFolder()
{
    static QString folder;
    return folder;
}

constexpr int DeskMargin = 16; // grey around the page
constexpr int MinZoom = 10;
constexpr int MaxZoom = 400;

// The page on the desk: the rendered image with a shadow.
class TPageSheet : public QWidget
{
public:
    explicit TPageSheet(QWidget *parent)
        : QWidget(parent)
    { }
    void SetImage(const QImage &Image)
    {
        FImage = Image;
        const QSize Logical = (QSizeF(Image.size()) / Image.devicePixelRatio()).toSize();
        setFixedSize(Logical + QSize(2 * DeskMargin, 2 * DeskMargin));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect Page(QPoint(DeskMargin, DeskMargin),
            (QSizeF(FImage.size()) / FImage.devicePixelRatio()).toSize());
        WidgetArt::paintShadow(p, Page, 5);
        p.drawImage(Page.topLeft(), FImage);
        p.setPen(QColor(90, 90, 90));
        p.drawRect(Page.adjusted(0, 0, -1, -1));
    }

private:
    QImage FImage;
};

const QColor Ink(40, 40, 40);

void paper(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(110, 110, 110), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

// A sheet with numbered cut lines: the workshop pages.
void cutSheet(QPainter &p, const QRectF &r)
{
    paper(p, r);
    p.setPen(QPen(QColor(200, 0, 0), 1.6));
    p.drawLine(QPointF(r.left() + r.width() * 0.45, r.top() + 2),
        QPointF(r.left() + r.width() * 0.45, r.bottom() - 2));
    p.drawLine(QPointF(r.left() + 2, r.top() + r.height() * 0.55),
        QPointF(r.left() + r.width() * 0.45, r.top() + r.height() * 0.55));
}

QIcon printIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        cutSheet(p, QRectF(8, 2, 16, 13));
        p.setPen(QPen(Ink, 1.2));
        p.setBrush(QColor(190, 195, 205));
        p.drawRoundedRect(QRectF(3, 14, 26, 10), 2, 2);
        paper(p, QRectF(9, 22, 14, 8));
    });
}

QIcon pdfIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        cutSheet(p, QRectF(5, 2, 20, 26));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 40, 40));
        p.drawRect(QRectF(11, 17, 19, 11));
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setPixelSize(8);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(11, 17, 19, 11), Qt::AlignCenter, u"PDF"_s);
    });
}

QIcon fitIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        paper(p, QRectF(8, 4, 16, 22));
        p.setPen(QPen(QColor(50, 100, 190), 1.6));
        for (const auto &[a, b] :
            { std::pair { QPointF(3, 3), QPointF(8, 8) }, { QPointF(29, 3), QPointF(24, 8) },
                { QPointF(3, 29), QPointF(8, 24) }, { QPointF(29, 29), QPointF(24, 24) } })
            p.drawLine(a, b);
    });
}

QIcon arrowIcon(bool forward)
{
    return WidgetArt::drawnIcon([forward](QPainter &p) {
        QPainterPath arrow;
        const double s = forward ? 1 : -1, x = forward ? 5 : 27;
        arrow.moveTo(x, 13);
        arrow.lineTo(x + s * 10, 13);
        arrow.lineTo(x + s * 10, 6);
        arrow.lineTo(x + s * 22, 16);
        arrow.lineTo(x + s * 10, 26);
        arrow.lineTo(x + s * 10, 19);
        arrow.lineTo(x, 19);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(30, 90, 40), 1.2));
        p.setBrush(QColor(60, 170, 80));
        p.drawPath(arrow);
    });
}

} // namespace

void TfrmWorkshop::setFindPrinters(bool On)
{
    findPrinters() = On;
}

TfrmWorkshop::TfrmWorkshop(
    TLayoutSource &Source, const TWorkshopInfo &Info, int Layout, QWidget *Owner)
    : TfrmBase(Owner)
    , FSource(Source)
    , FInfo(Info)
{
    setObjectName(u"frmWorkshop"_s);
    setWindowTitle(tr("车间图预览"));
    resize(900, 700);

    const QList<QPrinterInfo> printers
        = findPrinters() ? QPrinterInfo::availablePrinters() : QList<QPrinterInfo>();
    if (!printers.isEmpty()) {
        const QPrinterInfo chosen = QPrinterInfo::defaultPrinter().isNull()
            ? printers.first()
            : QPrinterInfo::defaultPrinter();
        FPrinter = std::make_unique<QPrinter>(chosen, QPrinter::HighResolution);
        FHasPrinter = true;
    } else {
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        FPrinter->setOutputFormat(QPrinter::PdfFormat);
        FPrinter->setPageSize(QPageSize(QPageSize::A4));
    }
    FPrinter->setResolution(PrintResolution);
    FPrinter->setDocName(PrintJobTitle());
    FDoc = std::make_unique<TWorkshopDocument>(Source, Info, FPrinter->pageLayout().pageSize());

    auto *column = new QVBoxLayout(PanelBack);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    ToolBar1 = MakeWorkToolBar(PanelBack);
    column->addWidget(ToolBar1);
    actClose = MakeCommand(this, "actClose", tr("关闭"), WidgetArt::closeIcon(),
        tr("关闭|关闭此窗体"), &TfrmWorkshop::actCloseExecute);
    actPrint = MakeCommand(this, "actPrint", tr("打印"), printIcon(),
        tr("打印|打印车间图（没有打印机时存为 PDF 文件）"), &TfrmWorkshop::actPrintExecute);
    actPdf = MakeCommand(this, "actPdf", tr("保存PDF"), pdfIcon(),
        tr("保存PDF|把车间图存为 PDF 文件"), &TfrmWorkshop::actPdfExecute);
    actZoomIn = MakeCommand(this, "actZoomIn", tr("放大"), WidgetArt::zoomInIcon(),
        tr("放大|页面放大"), &TfrmWorkshop::actZoomInExecute);
    actZoomOut = MakeCommand(this, "actZoomOut", tr("缩小"), WidgetArt::zoomOutIcon(),
        tr("缩小|页面缩小"), &TfrmWorkshop::actZoomOutExecute);
    actFit = MakeCommand(
        this, "actFit", tr("整页"), fitIcon(), tr("整页|显示整个页面"), &TfrmWorkshop::actFitExecute);
    actPrevious = MakeCommand(this, "actPrevious", tr("上一页"), arrowIcon(false),
        tr("上一页|显示上一页"), &TfrmWorkshop::actPreviousExecute);
    actNext = MakeCommand(this, "actNext", tr("下一页"), arrowIcon(true), tr("下一页|显示下一页"),
        &TfrmWorkshop::actNextExecute);
    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addActions({ actPrint, actPdf });
    ToolBar1->addSeparator();
    ToolBar1->addActions({ actZoomIn, actZoomOut, actFit, actPrevious, actNext });

    ScrollBox = new QScrollArea(PanelBack);
    ScrollBox->setObjectName(u"ScrollBox"_s);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setAlignment(Qt::AlignCenter);
    ScrollBox->setWidgetResizable(false);
    QPalette grey = ScrollBox->viewport()->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    ScrollBox->viewport()->setPalette(grey);
    ScrollBox->viewport()->setBackgroundRole(QPalette::Window);
    ScrollBox->viewport()->setAutoFillBackground(true);
    FSheet = new TPageSheet(nullptr);
    FSheet->setObjectName(u"Page"_s);
    ScrollBox->setWidget(FSheet);
    column->addWidget(ScrollBox, 1);

    StatusBar1 = new QStatusBar(PanelBack);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(false);
    rstPage = new QLabel(StatusBar1);
    rstPage->setObjectName(u"rstPage"_s);
    rstLayout = new QLabel(StatusBar1);
    rstLayout->setObjectName(u"rstLayout"_s);
    for (QLabel *l : { rstPage, rstLayout }) {
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setMinimumWidth(120);
        StatusBar1->addWidget(l);
    }
    column->addWidget(StatusBar1);

    const int first = FDoc->FirstPage(Layout);
    FPage = first >= 0 ? first : 0;
    Render();
}

TfrmWorkshop::~TfrmWorkshop() = default;

void TfrmWorkshop::Open(
    TLayoutSource &Source, const TWorkshopInfo &Info, int Layout, QWidget *Owner)
{
    if (Source.LayoutCount() == 0)
        return;
    TfrmWorkshop window(Source, Info, Layout, Owner);
    Dialogs::exec(window);
}

void TfrmWorkshop::showEvent(QShowEvent *event)
{
    TfrmBase::showEvent(event);
    if (!FFitted) {
        FFitted = true;
        SetZoom(FitZoom());
    }
}

int TfrmWorkshop::FitZoom() const
{
    if (FDoc->PageCount() == 0)
        return FZoom;
    const QSizeF Mm = FDoc->PageLayout(FPage).fullRect(QPageLayout::Millimeter).size();
    const QSize Room = ScrollBox->maximumViewportSize() - QSize(2 * DeskMargin, 2 * DeskMargin);
    const double PxPerMm = logicalDpiX() / 25.4;
    const double Fit
        = std::min(Room.width() / (Mm.width() * PxPerMm), Room.height() / (Mm.height() * PxPerMm))
        * 100.0;
    return std::clamp(int(std::floor(Fit)), MinZoom, MaxZoom);
}

void TfrmWorkshop::SetZoom(int Percent)
{
    FZoom = std::clamp(Percent, MinZoom, MaxZoom);
    Render();
}

void TfrmWorkshop::ShowPage(int Page)
{
    if (Page < 0 || Page >= FDoc->PageCount())
        return;
    FPage = Page;
    Render();
}

void TfrmWorkshop::Render()
{
    const int Pages = FDoc->PageCount();
    if (Pages == 0) {
        FImage = QImage();
        rstPage->setText(tr("没有页面"));
        rstLayout->clear();
        return;
    }
    // The page as the printer gets it, scaled to the screen's resolution times the zoom: the
    // image claims the print resolution, so that texts are measured and every distance is
    // worked out exactly as on paper, and the painter scales it all down.
    const double Ratio = devicePixelRatioF();
    const double Dpi = logicalDpiX() * FZoom / 100.0 * Ratio;
    const QSizeF Mm = FDoc->PageLayout(FPage).fullRect(QPageLayout::Millimeter).size();
    const QSize Size(qMax(1, int(std::lround(Mm.width() / 25.4 * Dpi))),
        qMax(1, int(std::lround(Mm.height() / 25.4 * Dpi))));
    QImage Image(Size, QImage::Format_RGB32);
    if (!Image.isNull()) {
        const int Dpm = int(std::lround(PrintResolution / 0.0254));
        Image.setDotsPerMeterX(Dpm);
        Image.setDotsPerMeterY(Dpm);
        Image.fill(Qt::white);
        QPainter Painter(&Image);
        Painter.setRenderHint(QPainter::SmoothPixmapTransform);
        Painter.scale(Dpi / PrintResolution, Dpi / PrintResolution);
        FDoc->PaintPage(Painter, FPage);
        Painter.end();
        Image.setDevicePixelRatio(Ratio);
    }
    FImage = Image;
    static_cast<TPageSheet *>(FSheet)->SetImage(FImage);
    rstPage->setText(tr("第 %1 页 / 共 %2 页").arg(FPage + 1).arg(Pages));
    rstLayout->setText(
        tr("排版 %1 / %2").arg(FDoc->LayoutOfPage(FPage) + 1).arg(FDoc->LayoutCount()));
    actPrevious->setEnabled(FPage > 0);
    actNext->setEnabled(FPage + 1 < Pages);
}

void TfrmWorkshop::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_PageDown) {
        ShowPage(FPage + 1);
        return;
    }
    if (event->key() == Qt::Key_PageUp) {
        ShowPage(FPage - 1);
        return;
    }
    TfrmBase::keyPressEvent(event);
}

void TfrmWorkshop::actCloseExecute()
{
    close();
}

void TfrmWorkshop::actZoomInExecute()
{
    SetZoom(int(std::ceil(FZoom * 1.25)));
}

void TfrmWorkshop::actZoomOutExecute()
{
    SetZoom(int(std::floor(FZoom / 1.25)));
}

void TfrmWorkshop::actFitExecute()
{
    SetZoom(FitZoom());
}

void TfrmWorkshop::actPreviousExecute()
{
    ShowPage(FPage - 1);
}

void TfrmWorkshop::actNextExecute()
{
    ShowPage(FPage + 1);
}

void TfrmWorkshop::actPdfExecute()
{
    SavePdf();
}

void TfrmWorkshop::SavePdf()
{
    QFileDialog dialog(this, tr("保存车间图为 PDF 文件"));
    dialog.setObjectName(u"dlgSavePdf"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("PDF 文件 (*.pdf)"));
    dialog.setDefaultSuffix(u"pdf"_s);
    dialog.setDirectory(lastFolder().isEmpty() ? QDir::homePath() : lastFolder());
    dialog.selectFile(tr("车间图.pdf"));
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return;
    const QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    WriteWorkshopPdf(path, *FDoc);
}

void TfrmWorkshop::actPrintExecute()
{
    if (!FHasPrinter) {
        SavePdf();
        return;
    }
    FPrinter->setFromTo(1, FDoc->PageCount());
    QPrintDialog dialog(FPrinter.get(), this);
    dialog.setObjectName(u"dlgPrint"_s);
    dialog.setMinMax(1, FDoc->PageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return;
    int From = 0, To = FDoc->PageCount() - 1;
    if (FPrinter->printRange() == QPrinter::PageRange) {
        From = FPrinter->fromPage() - 1;
        To = FPrinter->toPage() - 1;
    } else if (FPrinter->printRange() == QPrinter::CurrentPage) {
        From = To = FPage;
    }
    // Paper other than the pages were planned for: the pages planned again for it.
    const QPageSize Paper = FPrinter->pageLayout().pageSize();
    if (!Paper.isEquivalentTo(FDoc->PageLayout(0).pageSize())) {
        const int Layout = FDoc->LayoutOfPage(FPage);
        FDoc = std::make_unique<TWorkshopDocument>(FSource, FInfo, Paper);
        FPage = std::max(0, FDoc->FirstPage(Layout));
        From = 0;
        To = FDoc->PageCount() - 1;
        Render();
    }
    PrintWorkshop(*FPrinter, *FDoc, From, To);
}
