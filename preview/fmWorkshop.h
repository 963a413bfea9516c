#pragma once
// The print preview of the workshop printout 车间图 (see Workshop.h): its pages exactly as they
// print, turned as each page wants, one at a time on a grey desk, with zoom, paging, printing
// and saving as PDF.
//
// Opening it, from the results window or the preview window, with the run's layout source:
//
//     TfrmWorkshop::Open(Source, WorkshopInfo(ProjectNumber, SchemeName), LayoutIndex, this);
//
// Without an installed printer, 打印 saves a PDF file chosen in a file dialog, as the preview
// window's print commands do; 保存PDF always does.

#include "Workshop.h"
#include "fmBase.h"

#include <QImage>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class QStatusBar;
class QToolBar;
class TLayoutSource;

class TfrmWorkshop : public TfrmBase
{
    Q_OBJECT
public:
    // Plans the pages of Source's layouts (drawing layouts not drawn yet) on the printer's paper
    // (A4 without a printer) and shows the first page of layout Layout (from 0; the first page
    // when out of range). Source must outlive the window.
    TfrmWorkshop(TLayoutSource &Source, const TWorkshopInfo &Info, int Layout, QWidget *Owner);
    ~TfrmWorkshop() override;

    // Opens the window modally (through Dialogs::exec) and returns when it is closed. Does
    // nothing when Source has no layout.
    static void Open(TLayoutSource &Source, const TWorkshopInfo &Info, int Layout, QWidget *Owner);

    QToolBar *ToolBar1;
    QAction *actClose;
    QAction *actPrint;
    QAction *actPdf;
    QAction *actZoomIn;
    QAction *actZoomOut;
    QAction *actFit;
    QAction *actPrevious;
    QAction *actNext;
    QScrollArea *ScrollBox;
    QStatusBar *StatusBar1;
    QLabel *rstPage; // "第 3 页 / 共 12 页"
    QLabel *rstLayout; // "排版 2 / 7"

    const TWorkshopDocument &Document() const { return *FDoc; }
    int CurrentPage() const { return FPage; }
    // Shows page Page (from 0); outside the document nothing happens.
    void ShowPage(int Page);
    // Zoom in percent of the page's real size on the screen, 10 to 400.
    int Zoom() const { return FZoom; }
    void SetZoom(int Percent);
    // The zoom at which the whole page fits the visible area.
    int FitZoom() const;
    // The page as it is shown now.
    QImage PageImage() const { return FImage; }

    // Test hook: whether new windows look for installed printers (default true); false makes
    // them work as on a machine without printers.
    static void setFindPrinters(bool On);

    void actCloseExecute();
    void actPrintExecute();
    void actPdfExecute();
    void actZoomInExecute();
    void actZoomOutExecute();
    void actFitExecute();
    void actPreviousExecute();
    void actNextExecute();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Render();
    // A PDF file of every page, at a path asked for in a file dialog.
    void SavePdf();

    TLayoutSource &FSource;
    TWorkshopInfo FInfo;
    std::unique_ptr<QPrinter> FPrinter;
    bool FHasPrinter = false;
    std::unique_ptr<TWorkshopDocument> FDoc;
    int FPage = 0;
    int FZoom = 100;
    bool FFitted = false;
    QImage FImage;
    QWidget *FSheet; // shows FImage
};
