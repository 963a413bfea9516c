#include "fmPreview.h"

#include "Command.h"
#include "AppSettings.h"
#include "fmWorkshop.h"
#include "Workshop.h"
#include "Dialogs.h"
#include "DrawMaterial.h"
#include "LayoutSource.h"
#include "PrintLayouts.h"
#include "WidgetArt.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

TfrmPreview *frmPreview = nullptr;

namespace {

bool &findPrinters()
{
    static bool on = true;
    return on;
}


const QColor Ink(40, 40, 40);
const QColor PaperEdge(110, 110, 110);

// The white page panel with a lowered outer and a raised inner bevel.
class TPagePanel : public QWidget
{
public:
    explicit TPagePanel(QWidget *parent)
        : QWidget(parent)
    { }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QColor shadow = palette().color(QPalette::Dark);
        const QColor light = palette().color(QPalette::Light);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        const auto bevel = [&p](const QRect &b, const QColor &topLeft, const QColor &bottomRight) {
            p.setPen(topLeft);
            p.drawLine(b.bottomLeft(), b.topLeft());
            p.drawLine(b.topLeft(), b.topRight());
            p.setPen(bottomRight);
            p.drawLine(b.topRight(), b.bottomRight());
            p.drawLine(b.bottomRight(), b.bottomLeft());
        };
        bevel(r, shadow, light);
        bevel(r.adjusted(1, 1, -1, -1), light, shadow);
    }
};

// Icons of the tool bar, drawn on a 32 x 32 canvas.
void paper(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(PaperEdge, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void printer(QPainter &p)
{
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(190, 195, 205));
    p.drawRoundedRect(QRectF(3, 13, 26, 11), 2, 2);
    p.setBrush(QColor(120, 125, 135));
    p.drawRect(QRectF(7, 21, 18, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 80));
    p.drawEllipse(QRectF(23.5, 15.5, 3, 3));
}

QIcon printOneIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        paper(p, QRectF(9, 3, 14, 12));
        p.setPen(QPen(QColor(50, 100, 190), 1.2));
        p.drawRect(QRectF(11.5, 5.5, 9, 6));
        printer(p);
        paper(p, QRectF(9, 22, 14, 8));
    });
}

QIcon printAllIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        paper(p, QRectF(12, 1, 14, 12));
        paper(p, QRectF(9, 3, 14, 12));
        paper(p, QRectF(6, 5, 14, 12));
        printer(p);
        paper(p, QRectF(9, 22, 14, 8));
    });
}

QIcon pageArrowIcon(bool forward)
{
    return WidgetArt::drawnIcon([forward](QPainter &p) {
        paper(p, QRectF(forward ? 3 : 15, 4, 14, 19));
        QPainterPath arrow;
        const double s = forward ? 1 : -1;
        const double x = forward ? 13 : 19;
        arrow.moveTo(x, 13);
        arrow.lineTo(x + s * 8, 13);
        arrow.lineTo(x + s * 8, 7);
        arrow.lineTo(x + s * 17, 17);
        arrow.lineTo(x + s * 8, 27);
        arrow.lineTo(x + s * 8, 21);
        arrow.lineTo(x, 21);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(30, 90, 40), 1.2));
        p.setBrush(QColor(60, 170, 80));
        p.drawPath(arrow);
    });
}

QIcon pageSetIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        paper(p, QRectF(6, 2, 20, 27));
        p.setPen(QPen(QColor(200, 50, 40), 1, Qt::DashLine));
        p.drawLine(QPointF(10.5, 2), QPointF(10.5, 29));
        p.drawLine(QPointF(6, 6.5), QPointF(26, 6.5));
        p.setPen(QPen(QColor(150, 150, 150), 1.2));
        for (double y : { 11.0, 15.0, 19.0, 23.0 })
            p.drawLine(QPointF(13, y), QPointF(23, y));
    });
}

} // namespace

QSize PagePanelSize(int W, int HR, int VR)
{
    if (HR <= 0)
        return QSize(0, 0);
    const double k = std::trunc(W / (HR / 100.0));
    const int percent = int(std::clamp(k, 0.0, 1e6));
    return QSize(MulDiv(HR, percent, 100), MulDiv(VR, percent, 100));
}

int FitScale(int Width, int OffSet, int MWidth)
{
    if (MWidth <= 0)
        return -1;
    const double s = std::trunc((double(Width) - 2.0 * OffSet) / (MWidth / 100.0));
    return int(std::clamp(s, -1.0, 1e6));
}

void TfrmPreview::setFindPrinters(bool On)
{
    findPrinters() = On;
}

TfrmPreview::TfrmPreview(TLayoutSource &Source, QWidget *Owner)
    : TfrmBase(Owner)
    , FSource(Source)
{
    setObjectName(u"frmPreview"_s);
    setWindowTitle(tr("切割排版预览"));
    resize(702, 429);
    frmPreview = this;

    // The printer: the default one (or the first installed), else a PDF printer of A4 paper.
    // Either prints at PrintResolution; the page setup's margins are the drawing's, so the
    // printer keeps only its own unprintable edges.
    const QList<QPrinterInfo> printers
        = findPrinters() ? QPrinterInfo::availablePrinters() : QList<QPrinterInfo>();
    if (!printers.isEmpty()) {
        const QPrinterInfo chosen = QPrinterInfo::defaultPrinter().isNull()
            ? printers.first()
            : QPrinterInfo::defaultPrinter();
        FPrinter = std::make_unique<QPrinter>(chosen, QPrinter::HighResolution);
        FHasPrinter = true;
        QPageLayout layout = FPrinter->pageLayout();
        FEdgeMargins = QPageLayout(
            layout.pageSize(), layout.orientation(), layout.minimumMargins(), layout.units())
                           .margins(QPageLayout::Millimeter);
    } else {
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        FPrinter->setOutputFormat(QPrinter::PdfFormat);
        FEdgeMargins = PdfPageLayout().margins(QPageLayout::Millimeter);
    }
    FPrinter->setResolution(PrintResolution);
    FPrinter->setFullPage(false);
    const QPageLayout current = FPrinter->pageLayout();
    FPrinter->setPageLayout(QPageLayout(FHasPrinter ? current.pageSize() : QPageSize(QPageSize::A4),
        current.orientation(), FEdgeMargins, QPageLayout::Millimeter));
    FPrinter->setDocName(PrintJobTitle());

    auto *column = new QVBoxLayout(PanelBack);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar1 = MakeWorkToolBar(PanelBack);
    ToolBar1->setFixedHeight(44);
    column->addWidget(ToolBar1);

    actClose = MakeCommand(this, "actClose", tr("关闭"), WidgetArt::closeIcon(),
        tr("关闭|关闭此窗体"), &TfrmPreview::actCloseExecute);
    actPrintOne = MakeCommand(this, "actPrintOne", tr("打印本页"), printOneIcon(),
        tr("打印本页|仅打印本排样图"), &TfrmPreview::actPrintOneExecute);
    actPrtAll = MakeCommand(this, "actPrtAll", tr("打印所有"), printAllIcon(),
        tr("打印所有|打印全部排样图"), &TfrmPreview::actPrtAllExecute);
    actZoomIn = MakeCommand(this, "actZoomIn", tr("放大"), WidgetArt::zoomInIcon(),
        tr("放大|排样图放大"), &TfrmPreview::actZoomInExecute);
    actZoomOut = MakeCommand(this, "actZoomOut", tr("缩小"), WidgetArt::zoomOutIcon(),
        tr("缩小|排样图缩小"), &TfrmPreview::actZoomOutExecute);
    actPrevious = MakeCommand(this, "actPrevious", tr("上一页"), pageArrowIcon(false),
        tr("上一页|显示上一页"), &TfrmPreview::actPreviousExecute);
    actNext = MakeCommand(this, "actNext", tr("下一页"), pageArrowIcon(true), tr("下一页|显示下一页"),
        &TfrmPreview::actNextExecute);
    actPageSet = MakeCommand(this, "actPageSet", tr("页面设置"), pageSetIcon(),
        tr("页面设置|设置纸张边距"), &TfrmPreview::actPageSetExecute);
    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addActions({ actPrintOne, actPrtAll, actZoomIn, actZoomOut, actPrevious, actNext });
    actWorkshop = MakeCommand(this, "actWorkshop", tr("车间图"), WidgetArt::previewIcon(),
        tr("车间图|每张排版一页：尺寸线、锯切顺序、零件表和余料，供车间下料"),
        &TfrmPreview::actWorkshopExecute);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actPageSet);
    ToolBar1->addAction(actWorkshop);
    for (QAction *a : ToolBar1->actions()) {
        if (a->isSeparator())
            continue;
        if (QWidget *button = ToolBar1->widgetForAction(a)) {
            button->setObjectName(u"btn"_s + a->objectName().mid(3));
            button->setFixedSize(60, 40);
        }
    }

    ScrollBox2 = new QScrollArea(PanelBack);
    ScrollBox2->setObjectName(u"ScrollBox2"_s);
    ScrollBox2->setFrameShape(QFrame::NoFrame);
    QPalette grey = ScrollBox2->viewport()->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    ScrollBox2->viewport()->setPalette(grey);
    ScrollBox2->viewport()->setBackgroundRole(QPalette::Window);
    ScrollBox2->viewport()->setAutoFillBackground(true);
    // The page panel is as wide as the visible area; a vertical bar that came and went would
    // change that width, so it is always there.
    ScrollBox2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox2->setWidgetResizable(false);
    column->addWidget(ScrollBox2, 1);

    FPages = new QWidget;
    FPages->setObjectName(u"Pages"_s);
    FPages->setAutoFillBackground(false);
    Panel1 = new TPagePanel(FPages);
    Panel1->setObjectName(u"Panel1"_s);
    Panel2 = new QWidget(FPages);
    Panel2->setObjectName(u"Panel2"_s);
    Panel2->hide();
    ScrollBox2->setWidget(FPages);
    ScrollBox2->viewport()->installEventFilter(this);

    FPanel = new TDrawMaterial(Panel1);
    FPanel->setObjectName(u"FPanel"_s);
    FPanel->move(0, 0);

    StatusBar1 = new QStatusBar(PanelBack);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(false);
    const auto pane = [this](const QString &name, const QString &text, int width) {
        auto *label = new QLabel(text, StatusBar1);
        label->setObjectName(name);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (width > 0) {
            label->setFixedWidth(width);
            StatusBar1->addWidget(label);
        } else {
            StatusBar1->addWidget(label, 1);
        }
        return label;
    };
    pane(u"lblPages"_s, tr("总页数"), 49);
    rstPages = pane(u"rstPages"_s, QString(), 72);
    pane(u"lblPage"_s, tr("当前页"), 48);
    rstPage = pane(u"rstPage"_s, QString(), 72);
    pane(u"lblMaterial"_s, tr("原材料数量"), 72);
    rstMaterial = pane(u"rstMaterial"_s, QString(), 0);
    column->addWidget(StatusBar1);

    // Laid out now, so SetPanel before the window is shown fits the drawing to the page panel
    // of the initial size.
    layout()->activate();
    PanelBack->layout()->activate();
    SizePagePanel();
}

TfrmPreview::~TfrmPreview()
{
    ScrollBox2->viewport()->removeEventFilter(this);
    if (frmPreview == this)
        frmPreview = nullptr;
}

void TfrmPreview::SizePagePanel()
{
    // The visible width: the viewport's once shown; before that (no resize events reach a
    // hidden window) the area less its vertical bar, as the viewport will be.
    const int width = ScrollBox2->isVisible() ? ScrollBox2->viewport()->width()
                                              : ScrollBox2->maximumViewportSize().width()
            - ScrollBox2->verticalScrollBar()->sizeHint().width();
    const QSize size = PagePanelSize(width, FPrinter->width(), FPrinter->height());
    Panel1->resize(size);
    FPages->resize(size);
}

void TfrmPreview::FitToPage()
{
    FPanel->SetScale(FitScale(Panel1->width(), FPanel->OffSet(), FPanel->MWidth()));
}

void TfrmPreview::SetPanel(TDrawMaterial &View)
{
    SizePagePanel();
    FPanel->SetDrawer(false);
    FPanel->Assign(View);
    FitToPage();
    FPanel->SetDrawer(true);
    FPanel->SetShowHint(true);
    rstPage->setText(tr("%1页").arg(FPanel->Group()));
    rstMaterial->setText(tr("%1个").arg(FPanel->Tag()));
}

void TfrmPreview::FindPanel(int n)
{
    const int i = n - 1;
    if (i < 0 || i >= FSource.LayoutCount())
        return;
    TDrawMaterial *v = FSource.LayoutView(i);
    if (!v)
        return;
    if (v->Materials()->Count() == 0)
        FSource.DrawPanel(*v);
    FPanel->SetDrawer(false);
    FPanel->SetSelectindex(-1);
    SetPanel(*v);
    FPanel->SetSelectColor(QColor(255, 255, 0));
    FPanel->SetLineColor(QColor(0, 0, 255));
    FPanel->SetDrawer(true);
}

void TfrmPreview::showEvent(QShowEvent *event)
{
    TfrmBase::showEvent(event);
    if (event->spontaneous())
        return;
    Panel1->move(0, 0);
    SizePagePanel();
    rstPages->setText(tr("%1页").arg(FSource.LayoutCount()));
}

bool TfrmPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ScrollBox2->viewport() && event->type() == QEvent::Resize)
        SizePagePanel();
    return TfrmBase::eventFilter(watched, event);
}

void TfrmPreview::actCloseExecute()
{
    close();
}

void TfrmPreview::actZoomInExecute()
{
    FPanel->SetScale(FPanel->Scale() + 10);
}

void TfrmPreview::actZoomOutExecute()
{
    FPanel->SetScale(FPanel->Scale() - 10);
}

void TfrmPreview::actPreviousExecute()
{
    FindPanel(FPanel->Group() - 1);
}

void TfrmPreview::actNextExecute()
{
    FindPanel(FPanel->Group() + 1);
}

void TfrmPreview::actPrintOneExecute()
{
    RunPrintJob(
        [this](TPrintPage &page) { PrintOneLayout(page, FSource, *FPanel, PrintConfig, Panel2); });
}

void TfrmPreview::actPrtAllExecute()
{
    RunPrintJob([this](TPrintPage &page) { PrintAllLayouts(page, FSource, PrintConfig, Panel2); });
}

void TfrmPreview::RunPrintJob(const std::function<void(TPrintPage &)> &Print)
{
    if (!FHasPrinter) {
        // No printer: the pages go into a PDF file of the user's choosing.
        QFileDialog dialog(this, tr("保存为 PDF 文件"));
        dialog.setObjectName(u"dlgSavePdf"_s);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(tr("PDF 文件 (*.pdf)"));
        dialog.setDefaultSuffix(u"pdf"_s);
        const QString last = AppSettings::stringValue(AppSettings::Key::LastFolder);
        dialog.setDirectory(last.isEmpty() || !QDir(last).exists() ? QDir::homePath() : last);
        dialog.selectFile(tr("切割排版.pdf"));
        if (Dialogs::exec(dialog) != QDialog::Accepted)
            return;
        const QString path = dialog.selectedFiles().value(0);
        if (path.isEmpty())
            return;
        PrintToPdfFile(path, FPrinter->pageLayout(), [&](TPrintPage &page) {
            SetConfig(&page.Painter);
            Print(page);
        });
        AppSettings::setValue(AppSettings::Key::LastFolder, QFileInfo(path).absolutePath());
        StatusBar1->showMessage(savedPdfText(path), 20000);
        return;
    }

    QPrintDialog dialog(FPrinter.get(), this);
    dialog.setObjectName(u"dlgPrint"_s);
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return;
    FPrinter->setResolution(PrintResolution);
    FPrinter->setDocName(PrintJobTitle());
    QPainter painter;
    if (!painter.begin(FPrinter.get()))
        throw EPrintError(tr("无法开始打印作业").toStdString());
    // A job that fails halfway (unreadable settings, say) is cancelled rather than printed
    // half.
    auto cancel = qScopeGuard([&] { FPrinter->abort(); });
    SetConfig(&painter);
    TPrintPage page = PageOf(painter, *FPrinter);
    Print(page);
    cancel.dismiss();
    if (!painter.end())
        throw EPrintError(tr("打印作业未能完成").toStdString());
}

void TfrmPreview::actWorkshopExecute()
{
    TfrmWorkshop::Open(FSource, WorkshopInfo(FSource.ProjectNumber(), FSource.SchemeName()),
        std::max(0, FPanel->Group() - 1), this);
}

void TfrmPreview::actPageSetExecute()
{
    // A damaged settings file would keep the page setup from ever opening: offer to set the
    // page up afresh, keeping the damaged file aside.
    try {
        SetConfig();
    } catch (const EConfigError &e) {
        if (!Dialogs::askOkCancel(this,
                QString::fromUtf8(e.what())
                    + tr("\n\n要重新设置页面吗？损坏的文件将保存为“Config.bad”。")))
            return;
        PutDamagedConfigAside();
    }

    // Prime the dialog: left and top margins and paper from the settings, right and bottom
    // margins from the last time it was shown. It works on the printer's page layout, which
    // gets its own edges back afterwards whatever the user chose.
    const QPageLayout before = FPrinter->pageLayout();
    QPageLayout primed = before;
    if (PrintConfig.PageWidth > 0 && PrintConfig.PageHeight > 0) {
        const double w = PrintConfig.PageWidth / 100.0;
        const double h = PrintConfig.PageHeight / 100.0;
        primed.setOrientation(w > h ? QPageLayout::Landscape : QPageLayout::Portrait);
        primed.setPageSize(
            QPageSize(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter));
    }
    primed.setUnits(QPageLayout::Millimeter);
    primed.setMinimumMargins(QMarginsF());
    primed.setMargins(QMarginsF(PrintConfig.LeftOffset, PrintConfig.TopOffset, FDialogRight / 100.0,
        FDialogBottom / 100.0));
    FPrinter->setPageLayout(primed);
    auto restore = qScopeGuard([&] { FPrinter->setPageLayout(before); });

    QPageSetupDialog dialog(FPrinter.get(), this);
    dialog.setObjectName(u"dlgPageSetup"_s);
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return;

    // The dialog's numbers in hundredths of a millimetre.
    const QPageLayout chosen = FPrinter->pageLayout();
    const QMarginsF m = chosen.margins(QPageLayout::Millimeter);
    const auto hundredths = [](double mm) { return int(std::lround(mm * 100)); };
    const QRectF paper = chosen.fullRect(QPageLayout::Millimeter);
    FDialogRight = hundredths(m.right());
    FDialogBottom = hundredths(m.bottom());

    restore.dismiss();
    FPrinter->setPageLayout(QPageLayout(
        chosen.pageSize(), chosen.orientation(), FEdgeMargins, QPageLayout::Millimeter));
    SizePagePanel();
    FPanel->SetDrawer(false);
    FitToPage();
    FPanel->SetDrawer(true);

    PrintConfig.LeftOffset = std::min(MaxMargin, hundredths(m.left()) / 100);
    PrintConfig.TopOffset = std::min(MaxMargin, hundredths(m.top()) / 100);
    PrintConfig.PageWidth = hundredths(paper.width());
    PrintConfig.PageHeight = hundredths(paper.height());
    SaveConfig();
}
