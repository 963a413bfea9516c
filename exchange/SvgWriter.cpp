#include "SvgWriter.h"

#include "ExchangeError.h"
#include "SaveFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(SvgWriter)
};

const QColor SheetFill(236, 236, 236);
const QColor PartFill(250, 245, 220);
const QColor PartLine(0, 0, 160);
const QColor CutLine(220, 0, 0);

QFont outlineFont()
{
    QFont f;
    f.setPixelSize(100);
    return f;
}

// Text as outlines, height `height` (drawing units), centred on centre, turned a quarter to the
// left when turned.
void drawText(QPainter &p, const QString &text, QPointF centre, double height, bool turned,
    const QColor &colour)
{
    if (text.isEmpty() || height <= 0)
        return;
    static const QFont font = outlineFont();
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    const double scale = height / QFontMetricsF(font).height();
    p.save();
    p.translate(centre);
    if (turned)
        p.rotate(-90);
    p.scale(scale, scale);
    p.translate(-box.center());
    p.fillPath(path, colour);
    p.restore();
}

// How wide a text of height 1 runs.
double textUnits(const QString &text)
{
    static const QFont font = outlineFont();
    const QFontMetricsF m(font);
    return std::max(m.horizontalAdvance(text) / m.height(), 0.5);
}

void paintLayout(QPainter &p, const TLayoutSheet &l, double margin, double titleHeight)
{
    const QRectF sheet(0, 0, l.SheetLength, l.SheetWidth);
    const double line = std::max(l.SheetLength, l.SheetWidth) / 1500.0;
    p.setPen(QPen(Qt::black, line * 2));
    p.setBrush(SheetFill);
    p.drawRect(sheet);

    p.setPen(QPen(PartLine, line));
    p.setBrush(PartFill);
    for (const TPlacedPart &part : l.Parts)
        p.drawRect(QRectF(part.X, part.Y, part.Width, part.Height));
    for (const TPlacedPart &part : l.Parts) {
        const QRectF r(part.X, part.Y, part.Width, part.Height);
        const bool turned = r.height() > r.width();
        const double along = turned ? r.height() : r.width();
        const double across = turned ? r.width() : r.height();
        const QString size = u"%1 × %2"_s.arg(part.Width).arg(part.Height);
        const bool named = !part.Name.trimmed().isEmpty();
        double h = std::min(across / (named ? 4.0 : 2.5), 60.0);
        h = std::min(h, along * 0.9 / textUnits(size));
        if (named)
            h = std::min(h, along * 0.9 / textUnits(part.Name));
        const QPointF c = r.center();
        const QPointF up = turned ? QPointF(-h * 0.65, 0) : QPointF(0, -h * 0.65);
        if (named) {
            drawText(p, part.Name, c + up, h, turned, Qt::black);
            drawText(p, size, c - up, h * 0.8, turned, PartLine);
        } else {
            drawText(p, size, c, h * 0.8, turned, PartLine);
        }
    }

    if (!l.Cuts.empty()) {
        QPen cut(CutLine, line * 1.5);
        cut.setStyle(Qt::DashLine);
        p.setPen(cut);
        for (const TCutSegment &s : l.Cuts)
            p.drawLine(QPointF(s.X1, s.Y1), QPointF(s.X2, s.Y2));
    }

    // The title above the sheet, left-aligned, as large as the band allows.
    const QString title = LayoutTitle(l);
    const double th = std::min(titleHeight * 0.6, (l.SheetLength + margin) / textUnits(title));
    drawText(p, title, QPointF(th * textUnits(title) / 2, -margin / 2 - titleHeight / 2), th, false,
        Qt::black);
}

} // namespace

QString LayoutTitle(const TLayoutSheet &Layout)
{
    QString t = Tr::tr("切割%1").arg(Layout.Number);
    if (!Layout.SheetName.trimmed().isEmpty())
        t += Tr::tr("  原材料：%1").arg(Layout.SheetName.simplified());
    t += u"  %1 × %2"_s.arg(Layout.SheetLength).arg(Layout.SheetWidth);
    t += Tr::tr("  共%1张").arg(Layout.SheetCount);
    if (Layout.Kerf > 0)
        t += Tr::tr("  刀口%1").arg(Layout.Kerf);
    return t;
}

QByteArray SvgDrawing(const TLayoutSheet &Layout)
{
    const double longest
        = std::max<double>({ double(Layout.SheetLength), double(Layout.SheetWidth), 1.0 });
    const double margin = longest * 0.02;
    const double titleHeight = longest * 0.05;
    const QRectF view(-margin, -margin - titleHeight, Layout.SheetLength + 2 * margin,
        Layout.SheetWidth + 2 * margin + titleHeight);
    // Ten pixels a millimetre at 254 dots per inch: the file's size reads in millimetres. Very
    // large sheets get fewer pixels so the size stays within what the generator takes.
    const double perMm = std::min(10.0, 1.0e6 / std::max(view.width(), view.height()));

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(qRound(25.4 * perMm));
    svg.setSize(
        QSize(qMax(1, qRound(view.width() * perMm)), qMax(1, qRound(view.height() * perMm))));
    svg.setViewBox(view);
    svg.setTitle(LayoutTitle(Layout));
    svg.setDescription(Tr::tr("排样图，单位：毫米"));
    QPainter painter;
    if (!painter.begin(&svg))
        throw EExchangeError(Tr::tr("无法生成SVG排样图"));
    painter.setRenderHint(QPainter::Antialiasing);
    paintLayout(painter, Layout, margin, titleHeight);
    painter.end();
    return bytes;
}

void WriteSvg(QIODevice &Out, const TLayoutSheet &Layout)
{
    const QByteArray bytes = SvgDrawing(Layout);
    if (Out.write(bytes) != bytes.size())
        throw EExchangeError(Tr::tr("写入失败：%1").arg(Out.errorString()));
}

QList<QPair<QString, QByteArray>> SvgFiles(const std::vector<TLayoutSheet> &Layouts)
{
    return LayoutFiles(Layouts, u".svg"_s, SvgDrawing);
}
