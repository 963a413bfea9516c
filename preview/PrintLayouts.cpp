#include "PrintLayouts.h"

#include "AppSettings.h"
#include "DrawMaterial.h"
#include "LayoutSource.h"
#include "PrintConfig.h"
#include "TypeSetClass.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(PrintLayouts)
};

// A part kind's line of the printouts with the given name: " 侧板 :720×560 3件".
QString partLine(const QString &name, TMaterialType &kind)
{
    return Tr::tr(" %1 :%2×%3 %4件")
               .arg(name, QString::number(kind.Width()), QString::number(kind.Height()),
                   QString::number(kind.Count()))
        + (kind.Grain() ? Tr::tr(" 顺纹") : QString());
}

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
        , FFont(painter.font())
    {
        FCanvas.SetBrushColor(Qt::white);
        FCanvas.SetBrushClear(false);
        FCanvas.SetFontColor(Qt::black);
    }
    int Width(const QString &s) const { return FCanvas.TextWidth(s); }
    int Height(const QString &s) const { return FCanvas.TextHeight(s); }
    void Out(qint64 x, qint64 y, const QString &s) { FCanvas.TextOut(x, y, s); }
    QFont Font() const { return FFont; }

private:
    TDrawCanvas FCanvas;
    QFont FFont;
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
                throw EPrintError(Tr::tr("无法开始新的一页").toStdString());
        },
        [&Device](const QPageLayout &Layout) { Device.setPageLayout(Layout); } };
}

QString PrintJobTitle()
{
    return Tr::tr("Tavrin优化切割打印");
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

QFont CellListFont()
{
    QFont font = PrintFont();
    font.setPointSize(7);
    return font;
}

QFont DrawingFont(int Scale, int Dpi)
{
    // The font's line is about 1.2 em: 100 mm of board is Scale pixels, Scale / 1.2 pixels of
    // em are Scale / 1.2 * 72 / Dpi points.
    const double points = Dpi > 0 ? Scale / 1.2 * 72.0 / Dpi : 9.0;
    QFont font = PrintFont();
    font.setPointSizeF(std::clamp(points, 6.0, 9.0));
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

int PrintScaleBesideText(
    double AW, double AH, int MWidth, int MHeight, double TextLeft, double TextTop)
{
    const int fit = PrintScale(AW, AH, MWidth, MHeight);
    if (fit < 0)
        return fit;
    // Clear of the block when it lies right of the drawing or below it.
    if (MulDiv(MWidth, fit, 100) <= TextLeft - TextGap
        || MulDiv(MHeight, fit, 100) <= TextTop - TextGap)
        return fit;
    const int beside = PrintScale(std::min(AW, TextLeft - TextGap), AH, MWidth, MHeight);
    const int above = PrintScale(AW, std::min(AH, TextTop - TextGap), MWidth, MHeight);
    // Without room beside or above, the drawing keeps its fitted scale under the text.
    const int best = std::max(beside, above);
    return best >= 0 ? best : fit;
}

int PageCount(int Layouts)
{
    return Layouts <= 0 ? 0 : (Layouts + 9) / 10;
}

QString PartLine(TMaterialType &Kind)
{
    return partLine(QString::fromStdString(Kind.Text()), Kind);
}

QString SheetMarksText(const TDrawMaterial &View)
{
    QString out;
    if (View.SheetGrain() != TGrainDirection::None)
        out += Tr::tr(" 有纹理");
    if (View.Trim() > 0)
        out += Tr::tr(" 修边%1").arg(View.Trim());
    return out;
}

QString PrintOneCaption(const TDrawMaterial &View)
{
    return Tr::tr("切割 %1:原材料 %2×%3 %4件")
               .arg(QString::number(View.Group()), QString::number(View.MWidth()),
                   QString::number(View.MHeight()), QString::number(View.Tag()))
        + SheetMarksText(View);
}

QString MakerLine()
{
    return MakerLine(AppSettings::stringValue(AppSettings::Key::MakerCompany),
        AppSettings::stringValue(AppSettings::Key::MakerPhone));
}

QString MakerLine(const QString &Company, const QString &Phone)
{
    QStringList parts;
    if (!Company.trimmed().isEmpty())
        parts << Company.trimmed();
    if (!Phone.trimmed().isEmpty())
        parts << Tr::tr("电话：%1").arg(Phone.trimmed());
    return parts.join(u"  "_s);
}

QString PrintAllCaption(const TDrawMaterial &View, int UsedCount, const QString &Utilisation)
{
    return Tr::tr("切割%1:原片%2×%3 %4件,出材率:%5%6")
               .arg(QString::number(View.Group()), QString::number(View.MWidth()),
                   QString::number(View.MHeight()), QString::number(View.Tag()),
                   QString::number(UsedCount), Utilisation)
        + SheetMarksText(View);
}

QString FooterText(int Pages, int Page)
{
    return Tr::tr("Tavrin软件. 共%1页 第%2页").arg(Pages).arg(Page);
}

void DrawLayoutOnPage(TPrintPage &Page, const TDrawMaterial &View, int X0, int Y0, int Scale,
    QWidget *Parent, bool Cuts)
{
    TDrawMaterial temp(Parent);
    temp.hide();
    temp.SetDrawer(false);
    temp.Assign(View);
    temp.SetOffSet(0);
    temp.SetLeftOffset(X0);
    temp.SetTopOffset(Y0);
    temp.SetScale(Scale);
    temp.SetReadOnly(true);
    temp.SetShowCuts(Cuts);
    const QFont textFont = Page.Painter.font();
    Page.Painter.setFont(DrawingFont(temp.Scale(), Page.DpiY));
    temp.SetPrinterCanvas(&Page.Painter);
    temp.SetIsPrinter(true);
    temp.SetDrawer(true); // paints onto the page now
    temp.SetIsPrinter(false);
    temp.SetPrinterCanvas(nullptr);
    Page.Painter.setFont(textFont);
}

namespace {

// The part list of a layout as printed, one line per part kind, first kind first.
QList<TMaterialType *> partKinds(
    TLayoutSource &source, int group, std::unique_ptr<TMaterialTypeList> &holder)
{
    holder = source.Engine().GetMTLByGroup(group);
    QList<TMaterialType *> kinds;
    if (holder)
        for (int k = 0; k < holder->Count(); ++k)
            kinds << holder->GetItem(k);
    return kinds;
}

// The line of a part kind no wider than maxWidth: a name too long loses its end to "…"; the
// size and count, which the saw needs, stay whole.
QString fittedPartLine(TMaterialType &kind, const TPageText &text, qint64 maxWidth)
{
    const QString line = PartLine(kind);
    if (text.Width(line) <= maxWidth)
        return line;
    const QString name = QString::fromStdString(kind.Text());
    const QFontMetrics metrics(text.Font());
    const qint64 room = maxWidth - text.Width(partLine(QString(), kind));
    return partLine(metrics.elidedText(name, Qt::ElideRight, int(qMax<qint64>(0, room))), kind);
}

// The lines of a part list that fit `room` lines: all of them, or as many as fit less one and
// a line saying how many kinds are left out.
QStringList limitedLines(QStringList lines, qint64 room)
{
    if (room < 1)
        return {};
    if (lines.size() <= room)
        return lines;
    const qsizetype kept = room - 1;
    const qsizetype left = lines.size() - kept;
    lines.resize(kept);
    lines << Tr::tr(" ……另有 %1 种零件").arg(left);
    return lines;
}

} // namespace

void PrintOneLayout(TPrintPage &Page, TLayoutSource &Source, const TDrawMaterial &View,
    const TPrintConfig &Config, QWidget *Parent)
{
    startPage(Page.Painter);
    const int PW = Page.Width;
    const int PH = Page.Height;
    const int cfgL = MarginPixels(Config.LeftOffset, Page.DpiX);
    const int cfgT = MarginPixels(Config.TopOffset, Page.DpiY);
    const double AW = double(PW) - 2.0 * cfgL - DrawingRightBand;
    const double AH = double(PH) - 2.0 * cfgT - DrawingBottomBand;

    // Part list, caption and the maker's line, right-aligned at the bottom of the page; the
    // first part kind highest, the maker's line lowest.
    TPageText text(Page.Painter);
    const qint64 th = text.Height(u"M"_s);
    std::unique_ptr<TMaterialTypeList> holder;
    QStringList lines;
    for (TMaterialType *kind : partKinds(Source, View.Group(), holder))
        lines << fittedPartLine(*kind, text, qint64(PW) - TextInset);
    lines = limitedLines(lines, (qint64(PH) - TextInset - cfgT) / th - 1);
    const QString caption = PrintOneCaption(View);
    const QString maker = MakerLine();
    qint64 blockWidth = qMax(text.Width(caption), text.Width(maker));
    for (const QString &s : std::as_const(lines))
        blockWidth = qMax<qint64>(blockWidth, text.Width(s));
    const qint64 blockTop = qint64(PH) - TextInset - th * (lines.size() + 1);

    DrawLayoutOnPage(Page, View, cfgL, cfgT,
        PrintScaleBesideText(AW, AH, View.MWidth(), View.MHeight(),
            double(PW - TextInset - blockWidth - cfgL), double(blockTop - cfgT)),
        Parent);

    TPageText out(Page.Painter);
    const auto rightAligned
        = [&](const QString &s) { return qint64(PW) - out.Width(s) - TextInset; };
    const qsizetype n = lines.size();
    for (qsizetype k = 0; k < n; ++k)
        out.Out(rightAligned(lines[k]), qint64(PH) - TextInset - th * (n - k + 1), lines[k]);
    out.Out(rightAligned(caption), qint64(PH) - TextInset - th, caption);
    if (!maker.isEmpty())
        out.Out(rightAligned(maker), qint64(PH) - TextInset, maker);
}

void PrintAllLayouts(
    TPrintPage &Page, TLayoutSource &Source, const TPrintConfig &Config, QWidget *Parent)
{
    startPage(Page.Painter);
    const int PW = Page.Width;
    const int PH = Page.Height;
    const int cfgL = MarginPixels(Config.LeftOffset, Page.DpiX);
    const int cfgT = MarginPixels(Config.TopOffset, Page.DpiY);
    // The margins are the page's: the ten cells share the page inside them (the right and
    // bottom margins mirror the left and top ones). Every cell offers its drawing the same
    // area.
    const double innerW = double(PW) - 2.0 * cfgL;
    const double innerH = double(PH) - 2.0 * cfgT;
    const double AW = innerW / 2.0 - DrawingRightBand;
    const double AH = innerH / 5.0 - DrawingBottomBand;
    // Relative to a cell's drawing origin, its part list ends at `right` and its caption at
    // `bottom`.
    const qint64 right = qint64(truncated(innerW / 2.0)) - TextInset;
    const qint64 bottom = qint64(truncated(innerH / 5.0)) - TextInset;

    // The captions in the print font, the part lists smaller: a cell has little room.
    const QFont captionFont = Page.Painter.font();
    const qint64 thCaption = TPageText(Page.Painter).Height(u"M"_s);
    Page.Painter.setFont(CellListFont());
    TPageText list(Page.Painter);
    const qint64 thList = list.Height(u"M"_s);
    // Lines that fit between the caption and the cell's top.
    const qint64 listRoom = (bottom - thCaption) / thList;
    // No part list takes more than half the drawing's width; longer names are shortened.
    const qint64 listMaxWidth = qint64(qMax(0.0, AW * 0.5));

    // The part lists of every layout, and the room the largest takes in a cell.
    const int N = Source.LayoutCount();
    QList<QStringList> lists(N);
    qint64 listWidth = 0;
    qsizetype listLines = 0;
    for (int i = 0; i < N; ++i) {
        const TDrawMaterial *v = Source.LayoutView(i);
        if (!v)
            continue;
        std::unique_ptr<TMaterialTypeList> holder;
        for (TMaterialType *kind : partKinds(Source, v->Group(), holder))
            lists[i] << fittedPartLine(*kind, list, listMaxWidth);
        lists[i] = limitedLines(lists[i], listRoom);
        for (const QString &s : std::as_const(lists[i]))
            listWidth = qMax<qint64>(listWidth, list.Width(s));
        listLines = qMax(listLines, lists[i].size());
    }
    Page.Painter.setFont(captionFont);
    const double textLeft = double(right - listWidth);
    const double textTop = listLines > 0 ? double(bottom - thCaption - thList * listLines) : AH;

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
        const int x0 = cfgL + truncated(innerW * col / 2.0);
        const int y0 = cfgT + truncated(innerH * row / 5.0);
        DrawLayoutOnPage(Page, *v, x0, y0,
            PrintScaleBesideText(AW, AH, v->MWidth(), v->MHeight(), textLeft, textTop), Parent);

        // The part list right-aligned above the caption, the caption left-aligned under the
        // drawing.
        Page.Painter.setFont(CellListFont());
        TPageText listOut(Page.Painter);
        const QStringList &lines = lists[i];
        const qsizetype n = lines.size();
        for (qsizetype k = 0; k < n; ++k)
            listOut.Out(x0 + right - listOut.Width(lines[k]),
                y0 + bottom - thCaption - thList * (n - k), lines[k]);
        Page.Painter.setFont(captionFont);
        TPageText out(Page.Painter);
        const TMaterialType *group = Source.Engine().GroupList().GetItem(i);
        const QString caption
            = PrintAllCaption(*v, group ? group->UsedCount() : 0, Source.UtilisationCaption());
        out.Out(x0, y0 + bottom - thCaption, caption);

        const QString footer = FooterText(T, P);
        out.Out(
            qint64(PW) - out.Width(footer) - TextInset, qint64(PH) - out.Height(footer), footer);
    }
}

void PrintToPdf(
    QIODevice &Device, const QPageLayout &Layout, const std::function<void(TPrintPage &)> &Print)
{
    // The PDF writer ignores a device that takes only part of what it writes, so the pages are
    // made in memory first and then written with every byte checked.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(PrintResolution);
        writer.setPageLayout(Layout);
        writer.setTitle(PrintJobTitle());
        writer.setCreator(QCoreApplication::applicationName());
        QPainter painter;
        if (!painter.begin(&writer))
            throw EPrintError("cannot start drawing", "cannot start drawing");
        TPrintPage page = PageOf(painter, writer);
        Print(page);
        if (!painter.end())
            throw EPrintError("cannot finish drawing", "cannot finish drawing");
    }
    qint64 done = 0;
    while (done < pdf.size()) {
        const qint64 n = Device.write(pdf.constData() + done, pdf.size() - done);
        if (n <= 0) {
            const QString reason = Device.errorString().isEmpty() || n == 0
                ? Tr::tr("只写入了 %1 / %2 字节").arg(done).arg(pdf.size())
                : Device.errorString();
            throw EPrintError(reason.toStdString(), reason.toStdString());
        }
        done += n;
    }
}

void PrintToPdfFile(
    const QString &Path, const QPageLayout &Layout, const std::function<void(TPrintPage &)> &Print)
{
    QSaveFile file(Path);
    const auto cannotWrite = [&](const QString &reason) {
        throw EPrintError(Tr::tr("无法写入 PDF 文件“%1”：%2")
                              .arg(QDir::toNativeSeparators(Path), reason)
                              .toStdString(),
            reason.toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(file.errorString());
    try {
        PrintToPdf(file, Layout, Print);
    } catch (const EPrintError &e) {
        if (!e.Reason().empty())
            cannotWrite(QString::fromStdString(e.Reason()));
        throw;
    }
    // The save file keeps the old file until every byte is on the disk: a full disk fails here.
    if (!file.commit())
        cannotWrite(file.errorString());
}
