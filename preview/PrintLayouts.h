#pragma once
// Printing layouts onto pages: one layout on a page of its own with its part list ("打印本页"),
// or every layout of a run ten to a page with captions and page footers ("打印所有"). The
// preview's print commands and the command-line tool's PDF output call the same functions; they
// draw through any QPainter on a page device, with temporary layout views in printer mode.

#include <QPageLayout>
#include <QString>
#include <functional>
#include <stdexcept>

class QFont;
class QPagedPaintDevice;
class QPainter;
class QWidget;
class TDrawMaterial;
class TLayoutSource;
class QIODevice;
class TMaterialType;
class TPrintConfig;

// A print job that cannot be started or written. what() is the UTF-8 message shown to the user;
// Reason() what the system said, when known (for messages of the command-line tool).
class EPrintError : public std::runtime_error
{
public:
    explicit EPrintError(const std::string &Message, const std::string &Reason = {})
        : std::runtime_error(Message)
        , FReason(Reason)
    { }
    const std::string &Reason() const { return FReason; }

private:
    std::string FReason;
};

// The page being printed: its painter, its printable area in device pixels (the painter's
// origin is the area's top left corner), its resolution, and how the next page begins.
struct TPrintPage
{
    QPainter &Painter;
    int Width = 0; // PW
    int Height = 0; // PH
    int DpiX = 0;
    int DpiY = 0;
    std::function<void()> NewPage; // throws EPrintError when no new page can be begun
    // Sets the paper and turn of the pages begun after it (empty where the device cannot).
    std::function<void(const QPageLayout &)> SetNextLayout = {};
};

// The page of a printer or PDF writer the painter is active on.
TPrintPage PageOf(QPainter &Painter, QPagedPaintDevice &Device);

// Title of every print job and of the PDF files.
QString PrintJobTitle(); // "Tavrin优化切割打印"

// Resolution of printed pages, in dots per inch. The drawing's fixed distances (100 and 300
// pixels beside the layouts) and the layout view's scale limit of 501 (5 pixels per millimetre)
// are printer pixels; at 600 dpi a full board (1220 mm or more on one side) fills an A4 page at
// its fitted scale, ten layouts a page leave 47 mm of height to each drawing, and text fits in
// the bands reserved for it. At 1200 dpi a board narrower than 2 m would pass the limit.
constexpr int PrintResolution = 600;

// Page of PDF output: A4 portrait with a 5 mm edge on every side, the part of a sheet of paper
// an office printer cannot reach, so a PDF printed later loses nothing at its edges.
QPageLayout PdfPageLayout();

// Font of the printed text lines: a CJK font (WenQuanYi Micro Hei first) at 9 points, so
// Chinese prints as real text.
QFont PrintFont();
// Font of the part lists of "打印所有": the print font at 7 points.
QFont CellListFont();
// Font of the part names and sizes inside a drawing printed at Scale on a page of Dpi: the
// print font at the size whose line is about 100 mm of board tall (a narrow strip holds its
// size), between 6 and 9 points.
QFont DrawingFont(int Scale, int Dpi);

// A margin of whole millimetres in printer pixels at Dpi (rounded to nearest).
int MarginPixels(int Millimetres, int Dpi);

// Scale for a layout of MWidth x MHeight mm in an area AW x AH pixels: the smaller of the two
// fitted scales, each truncated. A fit above the view's limit of 501 gives 501 (the largest the
// view draws), so a small sheet prints as large as it can instead of at 100. A negative or
// undefined fit comes back negative; the view then ignores it and keeps its scale.
int PrintScale(double AW, double AH, int MWidth, int MHeight);

// Scale for a layout in an area AW x AH pixels whose bottom right corner holds a block of text
// starting TextLeft pixels right of and TextTop pixels below the area's origin: the fitted
// scale when the drawing stays clear of the block, otherwise the larger of the scales that fit
// it beside the block or above it (each keeping TextGap pixels away).
int PrintScaleBesideText(
    double AW, double AH, int MWidth, int MHeight, double TextLeft, double TextTop);
constexpr int TextGap = 50;

// Number of pages for N layouts ten to a page (N / 10 rounded up).
int PageCount(int Layouts);

// Text lines of the printouts.
QString PartLine(TMaterialType &Kind); // " 侧板 :720×560 3件", " 门板 :716×396 2件 顺纹"
// What the captions of a layout add for its sheet: " 有纹理" with grain, " 修边10" with a trim;
// empty without either.
QString SheetMarksText(const TDrawMaterial &View);
QString PrintOneCaption(const TDrawMaterial &View); // "切割 1:原材料 2440×1220 3件"
// The maker's line of the printouts' footers, from the settings (MakerCompany, MakerPhone):
// "木工坊  电话：0571-1234567", either part alone, or empty while neither is filled in.
QString MakerLine();
QString MakerLine(const QString &Company, const QString &Phone);
// "切割3:原片800×600 2件,出材率:87" followed directly by the run's utilisation caption.
QString PrintAllCaption(const TDrawMaterial &View, int UsedCount, const QString &Utilisation);
QString FooterText(int Pages, int Page); // "Tavrin软件. 共2页 第2页"

// Draws View onto the page at Scale with its sheet's top left corner at (X0, Y0), through a
// temporary view in printer mode (a child of Parent when given), its texts in DrawingFont; with
// its cut plan (cut lines, numbers and 余料) when Cuts is set, else without, whatever the view
// shows on screen.
void DrawLayoutOnPage(TPrintPage &Page, const TDrawMaterial &View, int X0, int Y0, int Scale,
    QWidget *Parent, bool Cuts = false);

// "打印本页": View on the page with its part list, caption and the maker's line (MakerLine; none
// while it is empty) at the bottom right, the drawing fitted beside or above them. Config gives
// the margins (millimetres).
void PrintOneLayout(TPrintPage &Page, TLayoutSource &Source, const TDrawMaterial &View,
    const TPrintConfig &Config, QWidget *Parent = nullptr);

// "打印所有": every layout of Source, ten a page in two columns and five rows inside the page's
// margins, each with its part list and caption, every page with its footer. Views not drawn
// yet are filled first. Every cell offers its drawing the same room beside or above the
// largest part list of the run, so layouts of one sheet size print at one scale and no list
// covers a drawing.
void PrintAllLayouts(
    TPrintPage &Page, TLayoutSource &Source, const TPrintConfig &Config, QWidget *Parent = nullptr);

// Runs Print on PDF pages made in memory, then writes them to Device, checking every byte.
// Throws EPrintError (with a Reason) when the device takes less than everything.
void PrintToPdf(
    QIODevice &Device, const QPageLayout &Layout, const std::function<void(TPrintPage &)> &Print);
// Runs Print on a PDF file at Path with the given page layout at PrintResolution, titled
// PrintJobTitle. The file is written atomically: an error (Print may throw) leaves any earlier
// file at Path as it was. Throws EPrintError when the file cannot be written.
void PrintToPdfFile(
    const QString &Path, const QPageLayout &Layout, const std::function<void(TPrintPage &)> &Print);
