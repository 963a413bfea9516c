#pragma once
// Pixel-exact drawing primitives for the layout view, on any QPainter.
//
// The layout picture is defined in whole pixels with the classic raster conventions: a line
// from A to B sets every pixel from A towards B except B itself, a filled rectangle covers
// [Left, Right) x [Top, Bottom), and a text is placed by the top left corner of its cell.
// QPainter draws both end points of a line and places text by its baseline, so this class
// does the conversion once, for the screen image, test images and printer pages alike.

#include <QColor>
#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QtGlobal>

class QPainter;

// A rectangle by its edges: Right and Bottom lie just outside it.
struct TPixelRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    // The same pixels as a QRect.
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    // Left and top edges inside, right and bottom edges outside.
    bool Contains(QPoint p) const
    {
        return p.x() >= Left && p.x() < Right && p.y() >= Top && p.y() < Bottom;
    }
    TPixelRect Inflated(int d) const { return { Left - d, Top - d, Right + d, Bottom + d }; }
    friend bool operator==(const TPixelRect &, const TPixelRect &) = default;
};

class TDrawCanvas
{
public:
    // Draws with a cosmetic pen one pixel wide, no antialiasing for lines.
    explicit TDrawCanvas(QPainter &painter);

    QPainter &Painter() { return FPainter; }

    void SetPenColor(const QColor &color);
    // Text background: clear (transparent) or solid in the brush colour. The painter's
    // background mode and colour follow at once, so texts its owner writes afterwards get
    // the same background.
    void SetBrushColor(const QColor &color);
    void SetBrushClear(bool clear);
    QColor BrushColor() const { return FBrushColor; }
    bool BrushClear() const { return FBrushClear; }
    void SetFontColor(const QColor &color) { FFontColor = color; }

    // Coordinates are taken in 64 bits and kept within +-CoordLimit, so sums of far-out
    // values can neither overflow nor reach QPainter's own limits.
    static constexpr qint64 CoordLimit = qint64(1) << 29;
    static int Clip(qint64 v) { return int(qBound(-CoordLimit, v, CoordLimit)); }

    void MoveTo(qint64 x, qint64 y) { FPos = QPoint(Clip(x), Clip(y)); }
    // Draws from the current position to (x, y) without the pixel (x, y) itself, and moves
    // there. Only horizontal and vertical lines occur in the layout picture; others are
    // drawn as a plain line.
    void LineTo(qint64 x, qint64 y);
    // Fills [Left, Right) x [Top, Bottom) with the brush colour.
    void FillRect(const TPixelRect &r);
    // Writes s with the top left corner of its cell at (x, y), in the font colour, over a
    // background of the brush colour unless the brush is clear.
    void TextOut(qint64 x, qint64 y, const QString &s);

    int TextWidth(const QString &s) const;
    int TextHeight(const QString &s) const;

private:
    QPainter &FPainter;
    QFontMetrics FMetrics;
    QPoint FPos;
    QColor FPenColor = Qt::black;
    QColor FBrushColor = Qt::white;
    QColor FFontColor = Qt::black;
    bool FBrushClear = false;
};
