#pragma once
// The workshop printout 车间图: what an operator at the panel saw works from, one layout a page.
//
// Each page carries a header (project number, scheme, material name and size, kerf, layout n of
// N, how many identical sheets, utilisation), the layout drawn to scale with dimension lines
// (sheet length and width, and the strips of the first cuts), part names and sizes as entered,
// turned parts marked "↻", and every cut with its number; beside or below the drawing the cut
// list, the part list (name, size as entered, count on the sheet) and the offcuts kept (余料);
// at the foot the maker's line (from the settings; nothing until the user fills it in) and page
// n of N. Each page is turned (portrait or landscape) so that the drawing comes out largest with
// its lists beside or below it. A layout with more cuts than one page holds continues its lists
// on further pages.
//
// The pages are planned once, in millimetres of paper, and then painted onto any device at its
// own resolution: the printer, a PDF file and the print preview (TfrmWorkshop) all paint the
// same pages.

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <memory>

class QPainter;
class QPrinter;
class QWidget;
class TLayoutSource;

struct TWorkshopInfo
{
    QString Project; // 工程单号; empty: not printed
    QString Scheme; // the scheme's name (方案); empty: not printed
    QString Maker; // the maker's line of the footer (see MakerLine); empty: none
};

// The header and footer texts of the workshop pages as the program has them: Project and
// Scheme as given, the maker's line from the settings.
TWorkshopInfo WorkshopInfo(const QString &Project, const QString &Scheme);

class TWorkshopDocument
{
public:
    // Plans the pages of every layout of Source on paper of the given size. Layouts not drawn
    // yet are drawn first (Source.DrawPanel), which also gives them their cut plans. Source must
    // outlive the document and keep its layouts while the document is used.
    explicit TWorkshopDocument(TLayoutSource &Source, const TWorkshopInfo &Info,
        const QPageSize &Paper = QPageSize(QPageSize::A4));
    ~TWorkshopDocument();
    TWorkshopDocument(const TWorkshopDocument &) = delete;
    TWorkshopDocument &operator=(const TWorkshopDocument &) = delete;

    int PageCount() const;
    int LayoutCount() const;
    // The first page (from 0) of layout Layout (from 0), or -1.
    int FirstPage(int Layout) const;
    // The layout (from 0) a page belongs to, or -1.
    int LayoutOfPage(int Page) const;
    // The page's paper, turned as the page wants it, without margins (the page keeps its own).
    QPageLayout PageLayout(int Page) const;
    // Paints page Page onto Painter, whose origin is the paper's top left corner; lengths follow
    // the resolution of the painter's device.
    void PaintPage(QPainter &Painter, int Page) const;

    struct TPlan;

private:
    std::unique_ptr<TPlan> FPlan;
};

// Prints pages From to To (from 0; To -1: to the last) on Printer, each page turned as it wants,
// as one job titled PrintJobTitle. Throws EPrintError when the job cannot be started or a page
// begun; the job is then aborted.
void PrintWorkshop(QPrinter &Printer, const TWorkshopDocument &Doc, int From = 0, int To = -1);

// Writes every page into a PDF file at Path at PrintResolution, atomically: a failure leaves an
// earlier file at Path as it was. Throws EPrintError when the file cannot be written.
void WriteWorkshopPdf(const QString &Path, const TWorkshopDocument &Doc);
