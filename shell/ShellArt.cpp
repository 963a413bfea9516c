#include "ShellArt.h"

#include "WidgetArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace ShellArt {

namespace {

const QColor Wood(232, 200, 150);
const QColor WoodEdge(160, 120, 70);
const QColor PartBlue(70, 130, 200);
const QColor PartGreen(90, 170, 110);
const QColor PartOrange(230, 150, 60);

QIcon drawn(const std::function<void(QPainter &)> &draw)
{
    return WidgetArt::drawnIcon(draw, { 16, 24, 32, 48 });
}

void roundBadge(QPainter &p, const QColor &c, const QString &glyph)
{
    QRadialGradient g(12, 10, 18);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(1, c);
    p.setPen(QPen(c.darker(140), 1.2));
    p.setBrush(g);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont f;
    f.setPixelSize(19);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, glyph);
}

} // namespace

void paintLayout(QPainter &p, const QRectF &r, bool faded)
{
    WidgetArt::paintLayout(p, r, faded);
}

void paintApplicationIcon(QPainter &p)
{
    paintLayout(p, QRectF(2, 5, 28, 22), false);
}

QIcon applicationIcon()
{
    return drawn(paintApplicationIcon);
}

QIcon exitIcon()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(110, 80, 50), 1.5));
        p.setBrush(QColor(190, 140, 90));
        p.drawRect(QRectF(5, 3, 14, 26));
        p.setBrush(QColor(250, 220, 120));
        p.drawEllipse(QRectF(15, 15, 2.5, 2.5));
        QPainterPath arrow;
        arrow.moveTo(18, 13);
        arrow.lineTo(25, 13);
        arrow.lineTo(25, 9);
        arrow.lineTo(31, 16);
        arrow.lineTo(25, 23);
        arrow.lineTo(25, 19);
        arrow.lineTo(18, 19);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(160, 30, 30), 1));
        p.setBrush(QColor(220, 60, 50));
        p.drawPath(arrow);
    });
}

QIcon layoutIcon()
{
    return WidgetArt::layoutIcon();
}

QIcon partsIcon()
{
    return drawn([](QPainter &p) {
        const QColor colors[] = { PartBlue, PartGreen, PartOrange };
        const QRectF parts[] = { { 3, 4, 12, 10 }, { 17, 4, 12, 16 }, { 3, 16, 12, 12 } };
        for (int i = 0; i < 3; ++i) {
            p.setPen(QPen(colors[i].darker(150), 1.2));
            p.setBrush(colors[i].lighter(120));
            p.drawRect(parts[i]);
        }
        p.setPen(QPen(Qt::darkGray, 1.2));
        p.drawLine(QPointF(18, 25), QPointF(29, 25));
        p.drawLine(QPointF(18, 23), QPointF(18, 27));
        p.drawLine(QPointF(29, 23), QPointF(29, 27));
    });
}

QIcon sheetsIcon()
{
    return drawn([](QPainter &p) {
        for (int i = 3; i >= 0; --i) {
            QPolygonF board;
            const double y = 8 + i * 5;
            board << QPointF(2, y + 6) << QPointF(14, y) << QPointF(30, y + 4)
                  << QPointF(18, y + 10);
            p.setPen(QPen(WoodEdge, 1.1));
            p.setBrush(i % 2 ? Wood : Wood.lighter(110));
            p.drawPolygon(board);
        }
    });
}

QIcon helpIcon()
{
    return drawn([](QPainter &p) { roundBadge(p, QColor(40, 110, 200), QStringLiteral("?")); });
}

QIcon aboutIcon()
{
    return drawn([](QPainter &p) { roundBadge(p, QColor(30, 140, 90), QStringLiteral("i")); });
}

QIcon webIcon()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(30, 90, 170), 1.5));
        QRadialGradient g(12, 11, 16);
        g.setColorAt(0, QColor(170, 215, 255));
        g.setColorAt(1, QColor(60, 130, 210));
        p.setBrush(g);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(10, 3, 12, 26));
        p.drawLine(QPointF(3, 16), QPointF(29, 16));
        p.drawLine(QPointF(16, 3), QPointF(16, 29));
    });
}

QIcon calculatorIcon()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 70), 1.2));
        p.setBrush(QColor(200, 205, 215));
        p.drawRoundedRect(QRectF(6, 2, 20, 28), 3, 3);
        p.setBrush(QColor(180, 220, 170));
        p.drawRect(QRectF(9, 5, 14, 6));
        p.setBrush(QColor(250, 250, 250));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRect(QRectF(9 + c * 5, 14 + r * 5, 3.5, 3.5));
    });
}

} // namespace ShellArt
