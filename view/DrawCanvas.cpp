#include "DrawCanvas.h"

#include <QPainter>
#include <QPen>

namespace {

QPen linePen(const QColor &color)
{
    QPen pen(color);
    pen.setWidth(1);
    pen.setCosmetic(true);
    // A square cap makes QPainter set both end pixels of an aliased line, so the span
    // handed to drawLine is exactly the span of pixels wanted.
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

} // namespace

TDrawCanvas::TDrawCanvas(QPainter &painter)
    : FPainter(painter)
    , FMetrics(painter.fontMetrics())
{
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setPen(linePen(FPenColor));
    FPainter.setBrush(Qt::NoBrush);
    SetBrushColor(FBrushColor);
    SetBrushClear(false);
}

void TDrawCanvas::SetPenColor(const QColor &color)
{
    FPenColor = color;
    FPainter.setPen(linePen(color));
}

void TDrawCanvas::SetBrushColor(const QColor &color)
{
    FBrushColor = color;
    FPainter.setBackground(color);
}

void TDrawCanvas::SetBrushClear(bool clear)
{
    FBrushClear = clear;
    FPainter.setBackgroundMode(clear ? Qt::TransparentMode : Qt::OpaqueMode);
}

void TDrawCanvas::LineTo(qint64 x, qint64 y)
{
    const QPoint from = FPos;
    const QPoint to(Clip(x), Clip(y));
    FPos = to;
    if (from == to)
        return; // a line of no length sets no pixel

    FPainter.setPen(linePen(FPenColor));
    const auto span = [this](QPoint a, QPoint b) {
        if (a == b)
            FPainter.drawPoint(a);
        else
            FPainter.drawLine(a, b);
    };
    if (from.y() == to.y()) {
        // Horizontal: from the start towards the end, the end pixel left out.
        const int last = to.x() > from.x() ? to.x() - 1 : to.x() + 1;
        span(from, QPoint(last, from.y()));
    } else if (from.x() == to.x()) {
        const int last = to.y() > from.y() ? to.y() - 1 : to.y() + 1;
        span(from, QPoint(from.x(), last));
    } else {
        QPen pen = linePen(FPenColor);
        pen.setCapStyle(Qt::FlatCap);
        FPainter.setPen(pen);
        FPainter.drawLine(from, to);
    }
}

void TDrawCanvas::FillRect(const TPixelRect &r)
{
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    FPainter.fillRect(r.toQRect(), FBrushColor);
}

void TDrawCanvas::TextOut(qint64 x, qint64 y, const QString &s)
{
    if (s.isEmpty())
        return;
    FPainter.setPen(FFontColor);
    // QPainter places text by its baseline; the cell's top lies one ascent above it.
    FPainter.drawText(QPoint(Clip(x), Clip(y + FMetrics.ascent())), s);
    FPainter.setPen(linePen(FPenColor));
}

int TDrawCanvas::TextWidth(const QString &s) const
{
    return FMetrics.horizontalAdvance(s);
}

int TDrawCanvas::TextHeight(const QString &) const
{
    // Every text of one font has the cell height of that font.
    return FMetrics.height();
}
