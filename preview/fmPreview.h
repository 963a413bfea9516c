#pragma once
// The preview window "切割排版预览": the layouts of a run one at a time, each on a white
// miniature of the printer page, with the print commands and the page setup.
//
// It copies the source's layout views into a view of its own (FPanel) and never builds layouts
// itself. The page panel is the printer's printable area at the largest whole percentage that
// fits the scrolling area's width; the drawing is fitted to the page panel's width on every
// page change and after a page setup, and keeps its scale when the window is resized.
//
// Without an installed printer the window works on a PDF printer of A4 paper, and both print
// commands save a PDF file chosen in a file dialog. With a printer, the platform's print
// dialog also offers printing to a PDF file.

#include <QDir>
#include "PrintConfig.h" // IWYU pragma: export
#include "fmBase.h"

#include <QMarginsF>
#include <QSize>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class QStatusBar;
class QToolBar;
class TDrawMaterial;
class TLayoutSource;
struct TPrintPage;

// Page panel sizing: the printable area HR x VR printer pixels at k percent, k the largest
// whole percentage at which it is no wider than W pixels (k = W / (HR / 100) truncated; the
// sizes are MulDiv(HR, k, 100) by MulDiv(VR, k, 100)).
QSize PagePanelSize(int W, int HR, int VR);

// The scale that fits a sheet of MWidth mm into a panel Width pixels wide with the view's
// margin OffSet on both sides: (Width - 2 * OffSet) / (MWidth / 100) truncated; negative when
// there is no such scale (the view then ignores it).
int FitScale(int Width, int OffSet, int MWidth);

class TfrmPreview : public TfrmBase
{
    Q_OBJECT
public:
    // Source: the run whose layouts the window pages through; it must outlive the window.
    TfrmPreview(TLayoutSource &Source, QWidget *Owner);
    // The status line after a PDF was saved.
    static QString savedPdfText(const QString &Path)
    {
        return tr("已保存 PDF 文件：%1").arg(QDir::toNativeSeparators(Path));
    }
    ~TfrmPreview() override;

    QToolBar *ToolBar1;
    QAction *actClose;
    QAction *actPrintOne;
    QAction *actPrtAll;
    QAction *actZoomIn;
    QAction *actZoomOut;
    QAction *actPrevious;
    QAction *actNext;
    QAction *actPageSet;
    QAction *actWorkshop; // 车间图: the workshop printout of the run, from the layout shown

    QScrollArea *ScrollBox2; // the scrolling area, medium grey
    QWidget *Panel1; // the page panel, white
    QWidget *Panel2; // hidden; the parent of printing's temporary views
    TDrawMaterial *FPanel; // the preview's own view, inside the page panel

    QStatusBar *StatusBar1;
    QLabel *rstPages; // number of layouts, "7页"
    QLabel *rstPage; // layout shown, "3页"
    QLabel *rstMaterial; // sheets cut to the layout shown, "2个"

    // Shows View: sizes the page panel, copies View into FPanel and fits it to the page panel's
    // width. The results window calls it once before showing the window.
    void SetPanel(TDrawMaterial &View);
    // Shows layout n (from 1), drawing it first when the source has not; outside 1 to the
    // number of layouts nothing happens.
    void FindPanel(int n);
    // Sizes the page panel to the printer's printable area at the largest percentage that fits
    // the scrolling area; the drawing keeps its scale.
    void SizePagePanel();

    // The printer the window previews and prints on.
    QPrinter &Printer() { return *FPrinter; }
    // False while the window stands in a PDF printer for a missing one.
    bool HasPrinter() const { return FHasPrinter; }

    // Test hook: whether new windows look for installed printers (default true); false makes
    // them use the PDF printer as on a machine without printers.
    static void setFindPrinters(bool On);

    // The commands (each runs through the application's error display).
    void actCloseExecute();
    void actPrintOneExecute();
    void actPrtAllExecute();
    void actZoomInExecute();
    void actZoomOutExecute();
    void actPreviousExecute();
    void actNextExecute();
    void actPageSetExecute();
    void actWorkshopExecute();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FitToPage();
    // The common start and end of both print commands around Print: the print dialog (or, on
    // the PDF printer, the file dialog), the job, the settings.
    void RunPrintJob(const std::function<void(TPrintPage &)> &Print);

    TLayoutSource &FSource;
    std::unique_ptr<QPrinter> FPrinter;
    bool FHasPrinter = false;
    // The printer's own edges (the part of the paper it cannot print on), in millimetres; the
    // page setup's margins are applied by the drawing, not by the printer.
    QMarginsF FEdgeMargins;
    // The page setup dialog's right and bottom margins (hundredths of a millimetre), neither
    // stored nor used, kept for the next time the dialog opens.
    int FDialogRight = 2500;
    int FDialogBottom = 2500;
    QWidget *FPages; // the scrolling area's content: the page panel and Panel2
};

// The preview window while it exists.
extern TfrmPreview *frmPreview;
