#include "PrintLayouts.h"

#include "DrawMaterial.h"
#include "LayoutSource.h"
#include "PrintConfig.h"
#include "TypeSetClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Distances of the printouts from the design of the pages, in printer pixels: texts stay 100
// pixels inside the right and bottom edge, and each drawing leaves 100 pixels to its right and
// 300 below it for its texts.
constexpr int TextInset = 100;
constexpr int DrawingRightBand = 100;
constexpr int DrawingBottomBand = 300;

// Texts placed by the top left corner of their cell, on a white box that covers the drawing
// beneath them, in black.
class TPageText
{
public:
    explicit TPageText(QPainter &painter)
        : FCanvas(painter)
    {
        FCanvas.SetBrushColor(Qt::white);
        FCanvas.SetBrushClear(false);
        FCanvas.SetFontColor(Qt::black);
    }
    int Width(const QString &s) const { return FCanvas.TextWidth(s); }
    int Height(const QString &s) const { return FCanvas.TextHeight(s); }
    void Out(qint64 x, qint64 y, const QString &s) { FCanvas.TextOut(x, y, s); }

private:
    TDrawCanvas FCanvas;
};

// The common start of both print commands on the page: black pen, clear brush, the print font.
void startPage(QPainter &painter)
{
    QPen pen = painter.pen();
    pen.setColor(Qt::black);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(PrintFont());
}

int truncated(double v)
{
    if (!std::isfinite(v))
        return v > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    return int(std::clamp(std::trunc(v), double(std::numeric_limits<int>::min()),
        double(std::numeric_limits<int>::max())));
}

} // namespace

TPrintPage PageOf(QPainter &Painter, QPagedPaintDevice &Device)
{
    return { Painter, Device.width(), Device.height(), Device.logicalDpiX(), Device.logicalDpiY(),
        [&Device] {
            if (!Device.newPage())
                throw EPrintError("无法开始新的一页");
        } };
}

QString PrintJobTitle()
{
    return u"Tavrin优化切割打印"_s;
}

QPageLayout PdfPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(5, 5, 5, 5),
        QPageLayout::Millimeter);
}

QFont PrintFont()
{
    QFont font;
    font.setFamilies({ u"WenQuanYi Micro Hei"_s, u"WenQuanYi Zen Hei"_s, u"Noto Sans CJK SC"_s,
        u"Source Han Sans SC"_s, u"SimSun"_s, u"宋体"_s });
    font.setPointSize(9);
    return font;
}

int MarginPixels(int Millimetres, int Dpi)
{
    return MulDiv64(Millimetres, qint64(Dpi) * 10, 254);
}

int PrintScale(double AW, double AH, int MWidth, int MHeight)
{
    if (MWidth <= 0 || MHeight <= 0)
        return -1;
    const int sh = truncated(AH / (MHeight / 100.0));
    const int sw = truncated(AW / (MWidth / 100.0));
    const int fit = sw < sh ? sw : sh;
    return fit > 501 ? 501 : fit;
}

int PageCount(int Layouts)
{
    return Layouts <= 0 ? 0 : (Layouts + 9) / 10;
}

QString PartLine(TMaterialType &Kind)
{
    return u" "_s + QString::fromStdString(Kind.Text()) + u" :"_s + QString::number(Kind.Width())
        + u"×"_s + QString::number(Kind.Height()) + u" "_s + QString::number(Kind.Count())
        + u"件"_s;
}

QString PrintOneCaption(const TDrawMaterial &View)
{
    return u"切割 "_s + QString::number(View.Group()) + u":原材料 "_s
        + QString::number(View.MWidth()) + u"×"_s + QString::number(View.MHeight()) + u" "_s
        + QString::number(View.Tag()) + u"件"_s;
}

QString MakerLine()
{
    return u"Velmarco.  电话：0571-8600 0000  传真：0571-8600 0001"_s;
}

QString PrintAllCaption(const TDrawMaterial &View, int UsedCount, const QString &Utilisation)
{
    return u"切割"_s + QString::number(View.Group()) + u":原片"_s + QString::number(View.MWidth())
        + u"×"_s + QString::number(View.MHeight()) + u" "_s + QString::number(View.Tag())
        + u"件,出材率:"_s + QString::number(UsedCount) + Utilisation;
}

QString FooterText(int Pages, int Page)
{
    return u"Tavrin软件. 共"_s + QString::number(Pages) + u"页 第"_s + QString::number(Page)
        + u"页"_s;
}

void DrawLayoutOnPage(TPrintPage &Page, const TDrawMaterial &View, int X0, int Y0, double AW,
    double AH, QWidget *Parent)
{
    TDrawMaterial temp(Parent);
    temp.hide();
    temp.SetDrawer(false);
    temp.Assign(View);
    temp.SetOffSet(0);
    temp.SetLeftOffset(X0);
    temp.SetTopOffset(Y0);
    temp.SetScale(PrintScale(AW, AH, temp.MWidth(), temp.MHeight()));
    temp.SetReadOnly(true);
    temp.SetPrinterCanvas(&Page.Painter);
    temp.SetIsPrinter(true);
    temp.SetDrawer(true); // paints onto the page now
    temp.SetIsPrinter(false);
    temp.SetPrinterCanvas(nullptr);
}

void PrintOneLayout(TPrintPage &Page, TLayoutSource &Source, const TDrawMaterial &View,
    const TPrintConfig &Config, QWidget *Parent)
{
    startPage(Page.Painter);
    const int PW = Page.Width;
    const int PH = Page.Height;
    const int cfgL = MarginPixels(Config.LeftOffset, Page.DpiX);
    const int cfgT = MarginPixels(Config.TopOffset, Page.DpiY);

    DrawLayoutOnPage(Page, View, cfgL, cfgT, double(PW) - 2.0 * cfgL - DrawingRightBand,
        double(PH) - 2.0 * cfgT - DrawingBottomBand, Parent);

    // Part list, caption and the maker's line, right-aligned at the bottom of the page; the
    // first part kind highest, the maker's line lowest.
    TPageText text(Page.Painter);
    const auto rightAligned
        = [&](const QString &s) { return qint64(PW) - text.Width(s) - TextInset; };
    if (std::unique_ptr<TMaterialTypeList> kinds = Source.Engine().GetMTLByGroup(View.Group())) {
        const int n = kinds->Count();
        for (int k = 0; k < n; ++k) {
            const QString s = PartLine(*kinds->GetItem(k));
            text.Out(
                rightAligned(s), qint64(PH) - TextInset - qint64(text.Height(s)) * (n - k + 1), s);
        }
    }
    const QString caption = PrintOneCaption(View);
    text.Out(rightAligned(caption), qint64(PH) - TextInset - text.Height(caption), caption);
    const QString maker = MakerLine();
    text.Out(rightAligned(maker), qint64(PH) - TextInset, maker);
}

void PrintAllLayouts(
    TPrintPage &Page, TLayoutSource &Source, const TPrintConfig &Config, QWidget *Parent)
{
    startPage(Page.Painter);
    const int PW = Page.Width;
    const int PH = Page.Height;
    const int cfgL = MarginPixels(Config.LeftOffset, Page.DpiX);
    const int cfgT = MarginPixels(Config.TopOffset, Page.DpiY);
    // Every cell is the same size and offers its drawing the same area, so layouts of one sheet
    // size print at one scale wherever they fall.
    const int cellW = truncated(PW / 2.0);
    const int cellH = truncated(PH / 5.0);
    const double AW = PW / 2.0 - 2.0 * cfgL - DrawingRightBand;
    const double AH = PH / 5.0 - 2.0 * cfgT - DrawingBottomBand;

    const int N = Source.LayoutCount();
    const int T = PageCount(N);
    int P = 1;
    for (int i = 0; i < N; ++i) {
        const int r = i % 10;
        if (i >= 10 && r == 0) {
            Page.NewPage();
            ++P;
        }
        TDrawMaterial *v = Source.LayoutView(i);
        if (!v)
            continue;
        if (v->Materials()->Count() == 0)
            Source.DrawPanel(*v);

        // Two columns, five rows, filled row by row.
        const int col = r % 2;
        const int row = r / 2;
        const int x0 = truncated(double(PW) * col / 2.0) + cfgL;
        const int y0 = truncated(double(qint64(row) * PH) / 5.0) + cfgT;
        DrawLayoutOnPage(Page, *v, x0, y0, AW, AH, Parent);

        // The cell's texts keep its margins on the right and at the bottom as the drawing does
        // on the left and at the top: the part list right-aligned above the caption, the
        // caption left-aligned under the drawing.
        TPageText text(Page.Painter);
        const qint64 right = qint64(x0) + cellW - 2 * qint64(cfgL) - TextInset;
        const qint64 bottom = qint64(y0) + cellH - 2 * qint64(cfgT) - TextInset;
        if (std::unique_ptr<TMaterialTypeList> kinds = Source.Engine().GetMTLByGroup(v->Group())) {
            const int n = kinds->Count();
            for (int k = 0; k < n; ++k) {
                const QString s = PartLine(*kinds->GetItem(k));
                text.Out(right - text.Width(s), bottom - qint64(text.Height(s)) * (n - k + 1), s);
            }
        }
        const TMaterialType *group = Source.Engine().GroupList().GetItem(i);
        const QString caption
            = PrintAllCaption(*v, group ? group->UsedCount() : 0, Source.UtilisationCaption());
        text.Out(x0, bottom - text.Height(caption), caption);

        const QString footer = FooterText(T, P);
        text.Out(
            qint64(PW) - text.Width(footer) - TextInset, qint64(PH) - text.Height(footer), footer);
    }
}

void PrintToPdfFile(
    const QString &Path, const QPageLayout &Layout, const std::function<void(TPrintPage &)> &Print)
{
    QSaveFile file(Path);
    const auto cannotWrite = [&](const QString &reason) {
        throw EPrintError(u"无法写入 PDF 文件“%1”：%2"_s.arg(QDir::toNativeSeparators(Path), reason)
                              .toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(PrintResolution);
        writer.setPageLayout(Layout);
        writer.setTitle(PrintJobTitle());
        writer.setCreator(QCoreApplication::applicationName());
        QPainter painter;
        if (!painter.begin(&writer))
            cannotWrite(u"无法开始绘制"_s);
        TPrintPage page = PageOf(painter, writer);
        Print(page);
        painter.end();
    }
    if (!file.commit())
        cannotWrite(file.errorString());
}
