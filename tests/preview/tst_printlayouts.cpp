// Printing layouts onto pages: the scale and margin arithmetic, and the pages themselves as a
// PDF file read back with the places of its texts (pdftotext), or as an image for the drawing.

#include "AppSettings.h"
#include "DrawMaterial.h"
#include "PreviewFixture.h"
#include "PrintConfig.h"
#include "PrintLayouts.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Printer pixels to PDF points at the print resolution, and the PDF page's 5 mm edge.
constexpr double PtPerPx = 72.0 / PrintResolution;
constexpr double EdgePt = 5 / 25.4 * 72;

double ptX(double px)
{
    return EdgePt + px * PtPerPx;
}
double ptY(double px)
{
    return EdgePt + px * PtPerPx;
}

// What a print routine saw of its page.
struct TPageFacts
{
    int PW = 0;
    int PH = 0;
    int th = 0; // text height of the print font on the page
    int thList = 0; // and of the part lists of the ten-a-page cells
};

// Prints through Print into a PDF in Dir and reads its text back.
TPdfText printPdf(const QString &Path, const std::function<void(TPrintPage &)> &Print,
    TPageFacts &Facts, const QPageLayout &Layout = PdfPageLayout())
{
    PrintToPdfFile(Path, Layout, [&](TPrintPage &page) {
        Print(page);
        page.Painter.setFont(PrintFont());
        const int th = page.Painter.fontMetrics().height();
        page.Painter.setFont(CellListFont());
        Facts = { page.Width, page.Height, th, page.Painter.fontMetrics().height() };
    });
    QString error;
    const std::optional<TPdfText> text = ReadPdfText(Path, error);
    if (!text)
        qFatal("%s", qPrintable(error));
    return *text;
}

// Bounding box of the dark pixels of img inside area.
QRect darkPixels(const QImage &img, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(line[x]) < 128)
                box |= QRect(x, y, 1, 1);
    }
    return box;
}

void setMaker(const QString &company, const QString &phone)
{
    AppSettings::setValue(AppSettings::Key::MakerCompany, company);
    AppSettings::setValue(AppSettings::Key::MakerPhone, phone);
}

} // namespace

// A device that takes Room bytes and then refuses (-1, as a full disk) or writes nothing (0).
class TFillingDevice : public QIODevice
{
public:
    TFillingDevice(qint64 Room, bool Refuse)
        : FRoom(Room)
        , FRefuse(Refuse)
    { }
    QByteArray Written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *Data, qint64 Size) override
    {
        const qint64 n = std::min(Size, FRoom - qint64(Written.size()));
        if (n <= 0) {
            if (FRefuse)
                setErrorString(u"No space left on device"_s);
            return FRefuse ? -1 : 0;
        }
        Written.append(Data, n);
        return n;
    }

private:
    qint64 FRoom;
    bool FRefuse;
};

class TestPrintLayouts : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        // The maker's line comes from the settings: these tests keep theirs apart.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FDir.path());
    }
    void init() { QSettings(AppSettings::organisation(), AppSettings::application()).clear(); }

    // The maker's line is the user's company and telephone as set, and nothing until then.
    void makerLine_fromTheSettings_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("line");
        QTest::newRow("nothing set") << QString() << QString() << QString();
        QTest::newRow("both") << u"木工坊"_s << u"0571-1234567"_s
                              << u"木工坊  电话：0571-1234567"_s;
        QTest::newRow("company only") << u" 木工坊 "_s << u"  "_s << u"木工坊"_s;
        QTest::newRow("telephone only")
            << QString() << u"0571-1234567"_s << u"电话：0571-1234567"_s;
    }
    void makerLine_fromTheSettings()
    {
        QFETCH(QString, company);
        QFETCH(QString, phone);
        QFETCH(QString, line);
        setMaker(company, phone);
        QCOMPARE(MakerLine(), line);
    }

    // Until the user fills in the maker's line, 打印本页 prints none: no invented company or
    // telephone number on the page, and the caption keeps its place.
    void printOne_withoutMakerPrintsNoMakersLine()
    {
        TRunFixture run;
        run.AddLayout(2440, 1220, 3, 91, { { "侧板", 0, 0, 720, 560, 3 } }, 4);
        TDrawMaterial &view = *run.Layouts.LayoutView(0);
        run.Layouts.DrawPanel(view);
        TPageFacts f;
        const TPdfText pdf = printPdf(
            FDir.filePath(u"nomaker.pdf"_s),
            [&](TPrintPage &page) { PrintOneLayout(page, run.Layouts, view, TPrintConfig()); }, f);
        const double base = ptY(f.PH - 100);
        for (const TPdfLine &l : pdf.Lines) {
            QVERIFY2(
                !l.Text.contains(u"电话"_s) && !l.Text.contains(u"Velmarco"_s), qPrintable(l.Text));
            QVERIFY2(qAbs(l.Box.top() - base) > 1.5, qPrintable(l.Text)); // nothing on the line
        }
        const QList<TPdfLine> caption = pdf.Find(u"切割 1:原材料 2440×1220 3件"_s);
        QCOMPARE(caption.size(), 1);
        QVERIFY(qAbs(caption[0].Box.top() - (base - f.th * PtPerPx)) < 1.5);
    }

    void printScale_fitsTheSmallerSide_data()
    {
        QTest::addColumn<double>("AW");
        QTest::addColumn<double>("AH");
        QTest::addColumn<int>("W");
        QTest::addColumn<int>("H");
        QTest::addColumn<int>("scale");
        // A page 700 x 960 without margins: 600 x 660 for the drawing.
        QTest::newRow("800 x 600 example") << 600.0 << 660.0 << 800 << 600 << 75;
        QTest::newRow("height decides") << 600.0 << 100.0 << 800 << 600 << 16;
        QTest::newRow("truncated, not rounded") << 599.0 << 660.0 << 800 << 600 << 74;
        QTest::newRow("fit 501 kept") << 4008.0 << 9000.0 << 800 << 600 << 501;
        // A small sheet prints as large as the view can draw, not at 100.
        QTest::newRow("above the limit gives 501") << 4860.0 << 6716.0 << 800 << 600 << 501;
        QTest::newRow("no room: ignored by the view") << -20.0 << 660.0 << 800 << 600 << -2;
        QTest::newRow("sheet without size") << 600.0 << 660.0 << 0 << 600 << -1;
        QTest::newRow("full board on A4 at 600 dpi") << 4624.0 << 6480.0 << 2440 << 1220 << 189;
    }
    void printScale_fitsTheSmallerSide()
    {
        QFETCH(double, AW);
        QFETCH(double, AH);
        QFETCH(int, W);
        QFETCH(int, H);
        QFETCH(int, scale);
        QCOMPARE(PrintScale(AW, AH, W, H), scale);
    }

    // A drawing that would run into the text block at the area's bottom right is fitted beside
    // it or above it, whichever leaves it larger.
    void printScaleBesideText_keepsClearOfTheText_data()
    {
        QTest::addColumn<double>("textLeft");
        QTest::addColumn<double>("textTop");
        QTest::addColumn<int>("scale");
        // A 2440 x 1220 sheet in a cell of 2262 x 1056 pixels fits at 86 (2098 x 1049).
        QTest::newRow("text clear to the right") << 2160.0 << 500.0 << 86;
        QTest::newRow("text clear below") << 500.0 << 1100.0 << 86;
        QTest::newRow("beside is larger") << 1500.0 << 500.0 << 59;
        QTest::newRow("above is larger") << 200.0 << 900.0 << 69;
        QTest::newRow("no room beside or above: fitted") << 10.0 << 10.0 << 86;
    }
    void printScaleBesideText_keepsClearOfTheText()
    {
        QFETCH(double, textLeft);
        QFETCH(double, textTop);
        QFETCH(int, scale);
        QCOMPARE(PrintScale(2262, 1056, 2440, 1220), 86);
        QCOMPARE(PrintScaleBesideText(2262, 1056, 2440, 1220, textLeft, textTop), scale);
    }

    void marginPixels_convertsMillimetres_data()
    {
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("25 mm at 600") << 25 << 600 << 591;
        QTest::newRow("25 mm at 1200") << 25 << 1200 << 1181;
        QTest::newRow("1 mm at 600") << 1 << 600 << 24;
        QTest::newRow("0") << 0 << 600 << 0;
        QTest::newRow("254 mm at 300") << 254 << 300 << 3000;
    }
    void marginPixels_convertsMillimetres()
    {
        QFETCH(int, mm);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QCOMPARE(MarginPixels(mm, dpi), pixels);
    }

    // Ten layouts a page: the page count, each page's footer, and which captions it holds.
    void printAll_pagesFootersAndCaptions_data()
    {
        QTest::addColumn<int>("N");
        QTest::addColumn<int>("pages");
        QTest::newRow("5") << 5 << 1;
        QTest::newRow("10") << 10 << 1;
        QTest::newRow("11") << 11 << 2;
        QTest::newRow("15") << 15 << 2;
        QTest::newRow("25") << 25 << 3;
    }
    void printAll_pagesFootersAndCaptions()
    {
        QFETCH(int, N);
        QFETCH(int, pages);
        QCOMPARE(PageCount(N), pages);
        TRunFixture run;
        run.AddLayouts(N);
        run.Layouts.SetUtilisationCaption(u"总利用率：81%"_s);
        TPageFacts f;
        const TPdfText pdf = printPdf(
            FDir.filePath(u"all%1.pdf"_s.arg(N)),
            [&](TPrintPage &page) { PrintAllLayouts(page, run.Layouts, TPrintConfig()); }, f);
        QCOMPARE(pdf.Pages.size(), pages);
        for (int p = 1; p <= pages; ++p) {
            const QString footer = u"Tavrin软件. 共%1页 第%2页"_s.arg(pages).arg(p);
            QList<TPdfLine> found;
            for (const TPdfLine &l : pdf.OnPage(p))
                if (l.Text == footer)
                    found << l;
            // One place, however many layouts wrote it.
            QVERIFY2(found.size() >= 1, qPrintable(footer));
            for (const TPdfLine &l : found) {
                QVERIFY(qAbs(l.Box.right() - ptX(f.PW - 100)) < 1.0);
                QVERIFY(qAbs(l.Box.bottom() - ptY(f.PH)) < 1.5);
            }
            int captions = 0;
            for (const TPdfLine &l : pdf.OnPage(p))
                captions += l.Text.startsWith(u"切割"_s);
            QCOMPARE(captions, qMin(10, N - 10 * (p - 1)));
        }
        // Layout g of the run on page (g - 1) / 10 + 1, in its cell.
        for (int g = 1; g <= N; ++g) {
            const QString caption
                = u"切割%1:原片800×600 %1件,出材率:%2总利用率：81%"_s.arg(g).arg(80 + (g - 1) % 10);
            const QList<TPdfLine> found = pdf.Find(caption);
            QCOMPARE(found.size(), 1);
            const int r = (g - 1) % 10;
            QCOMPARE(found[0].Page, (g - 1) / 10 + 1);
            QVERIFY2(
                qAbs(found[0].Box.left() - ptX(f.PW * (r % 2) / 2)) < 1.0, qPrintable(caption));
            const double bottom = ptY(int(double(r / 2) * f.PH / 5) + f.PH / 5 - 100);
            QVERIFY2(qAbs(found[0].Box.bottom() - bottom) < 1.5, qPrintable(caption));
        }
    }

    // The part list of a cell: right-aligned at the cell's right side, above its caption.
    void printAll_partListAboveTheCaption()
    {
        TRunFixture run;
        run.AddLayouts(2);
        TPageFacts f;
        const TPdfText pdf = printPdf(
            FDir.filePath(u"cells.pdf"_s),
            [&](TPrintPage &page) { PrintAllLayouts(page, run.Layouts, TPrintConfig()); }, f);
        const QList<TPdfLine> sides = pdf.Find(u"侧板 :300×500 2件"_s);
        const QList<TPdfLine> shelves = pdf.Find(u"隔板 :150×400 1件"_s);
        QCOMPARE(sides.size(), 2);
        QCOMPARE(shelves.size(), 2);
        const QList<TPdfLine> captions = pdf.Find(u"出材率"_s);
        QCOMPARE(captions.size(), 2);
        for (int c = 0; c < 2; ++c) {
            const double right = ptX(f.PW / 2 * (c + 1) - 100);
            QVERIFY(qAbs(sides[c].Box.right() - right) < 1.0);
            QVERIFY(qAbs(shelves[c].Box.right() - right) < 1.0);
            // Two kinds directly above the caption, in the smaller list font.
            const double captionTop = ptY(f.PH / 5 - 100 - f.th);
            QVERIFY(qAbs(captions[c].Box.top() - captionTop) < 1.5);
            QVERIFY(qAbs(sides[c].Box.top() - (captionTop - 2 * f.thList * PtPerPx)) < 1.5);
            QVERIFY(qAbs(shelves[c].Box.top() - (captionTop - f.thList * PtPerPx)) < 1.5);
        }
    }

    // One layout: three part kinds above the caption, the maker's line on y = PH - 100,
    // everything right-aligned 100 pixels from the page's right edge.
    void printOne_partListCaptionAndMakersLine()
    {
        setMaker(u"木工坊"_s, u"0571-1234567"_s);
        TRunFixture run;
        run.AddLayout(2440, 1220, 3, 91,
            { { "侧板", 0, 0, 720, 560, 3 }, { "顶板", 0, 564, 800, 400, 3 },
                { "背板条", 0, 968, 1200, 240, 2 } },
            4);
        TDrawMaterial &view = *run.Layouts.LayoutView(0);
        run.Layouts.DrawPanel(view);
        TPageFacts f;
        const TPdfText pdf = printPdf(
            FDir.filePath(u"one.pdf"_s),
            [&](TPrintPage &page) { PrintOneLayout(page, run.Layouts, view, TPrintConfig()); }, f);
        QCOMPARE(pdf.Pages.size(), 1);
        const double base = ptY(f.PH - 100);
        const double th = f.th * PtPerPx;
        const struct
        {
            QString text;
            double top;
        } expected[] = {
            { u"侧板 :720×560 3件"_s, base - 4 * th },
            { u"顶板 :800×400 3件"_s, base - 3 * th },
            { u"背板条 :1200×240 2件"_s, base - 2 * th },
            { u"切割 1:原材料 2440×1220 3件"_s, base - th },
            { u"木工坊 电话：0571-1234567"_s, base },
        };
        for (const auto &e : expected) {
            QList<TPdfLine> found;
            for (const TPdfLine &l : pdf.Lines)
                if (l.Text.startsWith(e.text))
                    found << l;
            QVERIFY2(found.size() == 1, qPrintable(e.text));
            QVERIFY2(qAbs(found[0].Box.top() - e.top) < 1.5, qPrintable(e.text));
            QVERIFY2(qAbs(found[0].Box.right() - ptX(f.PW - 100)) < 1.0, qPrintable(e.text));
        }
        // The printed parts carry their size in their corner.
        QCOMPARE(pdf.Find(u"720×560"_s).size(), 3 + 1);
    }

    // Margins are millimetres: on the page they become printer pixels at its resolution, the
    // left and top ones placing the drawing, mirrored on the right and at the bottom.
    void printOne_marginsAreMillimetres()
    {
        TRunFixture run;
        run.AddLayout(2440, 1220, 1, 90, { { "侧板", 0, 0, 720, 560, 3 } });
        TDrawMaterial &view = *run.Layouts.LayoutView(0);
        run.Layouts.DrawPanel(view);
        // A small page, 2 x 3 inches at 600 dpi.
        QImage img(1200, 1800, QImage::Format_RGB32);
        img.setDotsPerMeterX(qRound(600 / 0.0254));
        img.setDotsPerMeterY(qRound(600 / 0.0254));
        img.fill(Qt::white);
        TPrintConfig config;
        config.LeftOffset = 10;
        config.TopOffset = 5;
        {
            QPainter painter(&img);
            TPrintPage page { painter, img.width(), img.height(), 600, 600, [] {} };
            PrintOneLayout(page, run.Layouts, view, config);
        }
        const int cfgL = MarginPixels(10, 600);
        const int cfgT = MarginPixels(5, 600);
        QCOMPARE(cfgL, 236);
        QCOMPARE(cfgT, 118);
        const QRect drawing = darkPixels(img, QRect(0, 0, img.width(), img.height() - 300 - cfgT));
        QCOMPARE(drawing.topLeft(), QPoint(cfgL, cfgT));
        // Fitted into 1200 - 2 * 236 - 100 = 628 pixels: scale 25, the sheet's top edge 610
        // pixels long.
        QCOMPARE(darkPixels(img, QRect(0, cfgT, img.width(), 1)), QRect(cfgL, cfgT, 610, 1));
    }

    // Ten a page, the margins are the page's: the two columns and five rows share the page
    // inside them, so every caption and part line stays inside the margins and the last row
    // clear of the footer.
    void printAll_marginsAreThePages()
    {
        TRunFixture run;
        run.AddLayouts(10);
        run.Layouts.SetUtilisationCaption(u"总利用率：81%"_s);
        TPrintConfig config;
        config.LeftOffset = 15;
        config.TopOffset = 20;
        TPageFacts f;
        const TPdfText pdf = printPdf(
            FDir.filePath(u"margins.pdf"_s),
            [&](TPrintPage &page) { PrintAllLayouts(page, run.Layouts, config); }, f);
        const int cfgL = MarginPixels(15, PrintResolution);
        const int cfgT = MarginPixels(20, PrintResolution);
        const double innerW = f.PW - 2.0 * cfgL;
        const double innerH = f.PH - 2.0 * cfgT;
        const QList<TPdfLine> footer = pdf.Find(u"Tavrin软件"_s);
        QCOMPARE(footer.size(), 1);
        int captions = 0;
        int partLines = 0;
        for (const TPdfLine &l : pdf.Lines) {
            QVERIFY2(l.Box.right() <= ptX(f.PW - 100) + 1.0, qPrintable(l.Text));
            QVERIFY2(l.Box.bottom() <= ptY(f.PH) + 1.0, qPrintable(l.Text));
            if (l.Text.contains(u"出材率"_s)) {
                ++captions;
                QVERIFY2(l.Box.bottom() < footer[0].Box.top(), qPrintable(l.Text));
                const int r = l.Text.mid(2, l.Text.indexOf(u':') - 2).toInt() - 1;
                QVERIFY(qAbs(l.Box.left() - ptX(cfgL + int(innerW * (r % 2) / 2))) < 1.0);
                const double bottom = ptY(cfgT + int(innerH * (r / 2) / 5) + int(innerH / 5) - 100);
                QVERIFY2(qAbs(l.Box.bottom() - bottom) < 1.5, qPrintable(l.Text));
            }
            if (l.Text.contains(u"隔板 :"_s)) { // right-aligned in its column, inside the margin
                ++partLines;
                const bool rightColumn = l.Box.left() > ptX(f.PW / 2);
                const double end = ptX(cfgL + int(innerW / 2) * (rightColumn ? 2 : 1) - 100);
                QVERIFY2(qAbs(l.Box.right() - end) < 1.0, qPrintable(l.Text));
            }
        }
        QCOMPARE(captions, 10);
        QCOMPARE(partLines, 10);
    }

    // No part list covers a drawing: every part's size text (printed in its corner) lies clear
    // of every text line of the page. The sheets are covered whole, with a row of thin parts
    // along the bottom edge, where the texts would cover them: one to a page on landscape paper
    // (the sheet fills the page's height) and ten to a page.
    void partListsNeverCoverDrawings_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("W");
        QTest::addColumn<int>("H");
        QTest::newRow("打印本页, landscape") << false << 2750 << 1830;
        QTest::newRow("打印所有") << true << 2440 << 1220;
    }
    void partListsNeverCoverDrawings()
    {
        QFETCH(bool, all);
        QFETCH(int, W);
        QFETCH(int, H);
        setMaker(u"木工坊"_s, u"0571-1234567"_s);
        TRunFixture run;
        for (int i = 0; i < 3; ++i)
            run.AddLayout(W, H, 1, 95,
                { { "侧板", 0, 0, W - 10, H - 50, 1 }, { "拉条", 0, H - 40, (W - 70) / 8, 40, 8 } },
                10);
        TPageFacts f;
        QPageLayout landscape = PdfPageLayout();
        landscape.setOrientation(QPageLayout::Landscape);
        TDrawMaterial &view = *run.Layouts.LayoutView(0);
        run.Layouts.DrawPanel(view);
        const TPdfText pdf = printPdf(
            FDir.filePath(u"clear.pdf"_s),
            [&](TPrintPage &page) {
                if (all)
                    PrintAllLayouts(page, run.Layouts, TPrintConfig());
                else
                    PrintOneLayout(page, run.Layouts, view, TPrintConfig());
            },
            f, all ? PdfPageLayout() : landscape);
        QList<TPdfLine> parts;
        QList<TPdfLine> texts;
        const QRegularExpression size(u"^\\d+×\\d+$"_s);
        for (const TPdfLine &w : pdf.Words)
            if (size.match(w.Text).hasMatch()
                && w.Text != u"%1×%2"_s.arg(W).arg(H)) // not a caption's
                parts << w;
        for (const TPdfLine &l : pdf.Lines) {
            if (l.Text.contains(u"件"_s) || l.Text.startsWith(u"木工坊"_s)
                || l.Text.startsWith(u"Tavrin"_s))
                texts << l; // part lists, captions, the maker's line, footers
        }
        // On a tenth of a page the 40 mm strips are too low for any text, so only the large
        // parts carry their sizes there; a text never runs over a neighbour instead.
        QCOMPARE(parts.size(), all ? 3 : 9);
        QCOMPARE(texts.size(), all ? 3 * 3 + 1 : 4);
        for (const TPdfLine &p : parts)
            for (const TPdfLine &t : texts)
                QVERIFY2(!p.Box.intersects(t.Box), qPrintable(p.Text + u" under "_s + t.Text));
    }

    // Layouts never shown are drawn before they are printed.
    void printAll_drawsLayoutsNotDrawnYet()
    {
        TRunFixture run;
        run.AddLayouts(3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(run.Layouts.LayoutView(i)->Materials()->Count(), 0);
        TPageFacts f;
        const TPdfText pdf = printPdf(
            FDir.filePath(u"lazy.pdf"_s),
            [&](TPrintPage &page) { PrintAllLayouts(page, run.Layouts, TPrintConfig()); }, f);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(run.Layouts.LayoutView(i)->Materials()->Count(), 3);
        // Each drawn part carries its size as entered, the longer side first (the fixture's
        // parts lie turned): two side panels and a shelf on each of 3 layouts.
        QCOMPARE(pdf.Find(u"500×300"_s).size(), 6);
        QCOMPARE(pdf.Find(u"400×150"_s).size(), 3);
    }

    // A failed print leaves no file, and an earlier file stays whole.
    void printToPdfFile_isAtomic()
    {
        const QString path = FDir.filePath(u"keep.pdf"_s);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier");
        }
        QVERIFY_THROWS_EXCEPTION(EConfigError,
            PrintToPdfFile(path, PdfPageLayout(),
                [](TPrintPage &) { throw EConfigError("broken settings"); }));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), "earlier"_ba);
        QVERIFY_THROWS_EXCEPTION(EPrintError,
            PrintToPdfFile(
                FDir.filePath(u"no/such/folder/x.pdf"_s), PdfPageLayout(), [](TPrintPage &) {}));
        QVERIFY(!QFile::exists(FDir.filePath(u"no/such/folder/x.pdf"_s)));
    }

    // A device that takes only part of the pages (a disk that fills up) is an error, never a
    // cut-off PDF reported as written; a device that takes everything gets the whole PDF.
    void printToPdf_deviceThatFailsPartWay_isAnError_data()
    {
        QTest::addColumn<qint64>("takes");
        QTest::addColumn<bool>("refuses"); // -1 once full, else 0 (a short write)
        QTest::newRow("full after 100 bytes") << qint64(100) << true;
        QTest::newRow("short write after 4096 bytes") << qint64(4096) << false;
        QTest::newRow("nothing at all") << qint64(0) << true;
    }
    void printToPdf_deviceThatFailsPartWay_isAnError()
    {
        QFETCH(qint64, takes);
        QFETCH(bool, refuses);
        const auto pages = [](TPrintPage &page) {
            page.Painter.drawText(100, 100, u"切割1"_s);
            page.NewPage();
            page.Painter.drawText(100, 100, u"切割2"_s);
        };
        TFillingDevice full(takes, refuses);
        QVERIFY(full.open(QIODevice::WriteOnly));
        try {
            PrintToPdf(full, PdfPageLayout(), pages);
            QFAIL("a cut-off PDF was reported as written");
        } catch (const EPrintError &e) {
            QVERIFY(!e.Reason().empty());
        }
        QCOMPARE(full.Written.size(), takes);

        QByteArray whole;
        QBuffer buffer(&whole);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        PrintToPdf(buffer, PdfPageLayout(), pages);
        QVERIFY(whole.startsWith("%PDF"));
        QVERIFY(whole.trimmed().endsWith("%%EOF"));
        QVERIFY(whole.size() > takes);
    }
};

QTEST_MAIN(TestPrintLayouts)
#include "tst_printlayouts.moc"
