#include "WidgetArt.h"

#include <cmath>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>

#include <algorithm>
#include <functional>

namespace WidgetArt {

namespace {

const QColor Ink(40, 40, 40);
const QColor Blue(50, 100, 190);
const QColor Green(40, 150, 70);
const QColor Red(200, 50, 40);

// A small table: a header row and three body rows.
void table(QPainter &p)
{
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(QColor(255, 252, 235));
    p.drawRect(QRectF(3, 5, 22, 20));
    p.fillRect(QRectF(3.6, 5.6, 20.8, 4.8), QColor(150, 180, 225));
    for (double y : { 10.5, 15.5, 20.5 })
        p.drawLine(QPointF(3, y), QPointF(25, y));
    p.drawLine(QPointF(11, 5), QPointF(11, 25));
}

void badge(QPainter &p, const QColor &c, const std::function<void(QPainter &)> &mark)
{
    p.setPen(QPen(c.darker(140), 1.2));
    p.setBrush(c);
    p.drawEllipse(QRectF(17, 17, 14, 14));
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    mark(p);
}

void triangle(QPainter &p, bool right, double x)
{
    QPainterPath path;
    if (right) {
        path.moveTo(x, 8);
        path.lineTo(x + 11, 16);
        path.lineTo(x, 24);
    } else {
        path.moveTo(x + 11, 8);
        path.lineTo(x, 16);
        path.lineTo(x + 11, 24);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPath(path);
}

} // namespace

QIcon drawnIcon(const std::function<void(QPainter &)> &draw, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon closeIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(120, 80, 40), 1.4));
        p.setBrush(QColor(200, 160, 110));
        p.drawRect(QRectF(6, 3, 16, 26)); // a door
        p.setBrush(QColor(230, 200, 150));
        p.drawRect(QRectF(9, 6, 10, 20));
        p.setPen(QPen(Red, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 13), QPointF(29, 23));
        p.drawLine(QPointF(29, 13), QPointF(19, 23));
    });
}

QIcon addRowIcon()
{
    return drawnIcon([](QPainter &p) {
        table(p);
        badge(p, Green, [](QPainter &q) {
            q.drawLine(QPointF(24, 20), QPointF(24, 28));
            q.drawLine(QPointF(20, 24), QPointF(28, 24));
        });
    });
}

QIcon deleteRowIcon()
{
    return drawnIcon([](QPainter &p) {
        table(p);
        badge(p, Red, [](QPainter &q) { q.drawLine(QPointF(20, 24), QPointF(28, 24)); });
    });
}

QIcon importIcon()
{
    return drawnIcon([](QPainter &p) {
        table(p);
        badge(p, Blue, [](QPainter &q) {
            q.drawLine(QPointF(24, 19), QPointF(24, 28));
            q.drawLine(QPointF(20.5, 24.5), QPointF(24, 28));
            q.drawLine(QPointF(27.5, 24.5), QPointF(24, 28));
        });
    });
}

QIcon exportIcon()
{
    return drawnIcon([](QPainter &p) {
        table(p);
        badge(p, Blue, [](QPainter &q) {
            q.drawLine(QPointF(24, 29), QPointF(24, 20));
            q.drawLine(QPointF(20.5, 23.5), QPointF(24, 20));
            q.drawLine(QPointF(27.5, 23.5), QPointF(24, 20));
        });
    });
}

QIcon modifyIcon()
{
    return drawnIcon([](QPainter &p) {
        table(p);
        // A pencil across the lower right corner.
        p.save();
        p.translate(23, 23);
        p.rotate(-45);
        p.setPen(QPen(QColor(120, 80, 20), 1));
        p.setBrush(QColor(240, 190, 60));
        p.drawRect(QRectF(-9, -2.6, 14, 5.2));
        p.setBrush(QColor(230, 120, 120));
        p.drawRect(QRectF(5, -2.6, 3, 5.2));
        QPainterPath tip;
        tip.moveTo(-9, -2.6);
        tip.lineTo(-14, 0);
        tip.lineTo(-9, 2.6);
        tip.closeSubpath();
        p.setBrush(QColor(250, 225, 180));
        p.drawPath(tip);
        p.restore();
    });
}

QIcon saveIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(30, 60, 120), 1.4));
        p.setBrush(Blue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2); // a diskette
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 4, 16, 9));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(9, 18, 14, 10));
        p.fillRect(QRectF(18, 5.5, 3, 6), QColor(30, 60, 120));
    });
}

void paintLayout(QPainter &p, const QRectF &r, bool faded)
{
    const QColor wood(232, 200, 150), woodEdge(160, 120, 70);
    p.save();
    p.setOpacity(faded ? 0.18 : 1.0);
    p.setPen(QPen(woodEdge, 1.2));
    p.setBrush(wood);
    p.drawRect(r);
    // Rows of identical parts, as the engine lays them out: strips across the sheet.
    const double w = r.width();
    const double h = r.height();
    const double kerf = std::max(1.0, w / 120.0);
    struct Strip
    {
        double height;
        int count;
        QColor color;
    };
    const Strip strips[] = { { 0.34, 3, QColor(70, 130, 200) }, { 0.26, 5, QColor(90, 170, 110) },
        { 0.22, 4, QColor(230, 150, 60) } };
    double y = r.top() + kerf;
    for (const Strip &s : strips) {
        const double sh = h * s.height - kerf;
        const double pw = (w * 0.92 - kerf * (s.count - 1)) / s.count;
        for (int i = 0; i < s.count; ++i) {
            const QRectF part(r.left() + kerf + i * (pw + kerf), y, pw, sh);
            p.setPen(QPen(s.color.darker(150), 1));
            p.setBrush(s.color.lighter(125));
            p.drawRect(part);
        }
        y += sh + kerf;
    }
    p.restore();
}

QIcon layoutIcon()
{
    return drawnIcon(
        [](QPainter &p) { paintLayout(p, QRectF(1, 4, 30, 24), false); }, { 16, 24, 32, 48 });
}

namespace {

// A project folder, the base of the project commands.
void folder(QPainter &p)
{
    p.setPen(QPen(QColor(150, 110, 30), 1.2));
    p.setBrush(QColor(245, 205, 100));
    QPainterPath path;
    path.moveTo(3, 8);
    path.lineTo(11, 8);
    path.lineTo(14, 11);
    path.lineTo(26, 11);
    path.lineTo(26, 26);
    path.lineTo(3, 26);
    path.closeSubpath();
    p.drawPath(path);
}

// A magnifying glass over the lower right, with an optional mark in its lens.
void magnifier(QPainter &p, const std::function<void(QPainter &)> &mark)
{
    p.setPen(QPen(QColor(90, 60, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    p.setPen(QPen(QColor(60, 60, 60), 1.6));
    p.setBrush(QColor(220, 235, 255, 220));
    p.drawEllipse(QRectF(4, 4, 19, 19));
    if (mark) {
        p.setPen(QPen(Blue, 2.6, Qt::SolidLine, Qt::RoundCap));
        mark(p);
    }
}

} // namespace

QIcon addProjectIcon()
{
    return drawnIcon([](QPainter &p) {
        folder(p);
        badge(p, Green, [](QPainter &q) {
            q.drawLine(QPointF(24, 20), QPointF(24, 28));
            q.drawLine(QPointF(20, 24), QPointF(28, 24));
        });
    });
}

QIcon deleteProjectIcon()
{
    return drawnIcon([](QPainter &p) {
        folder(p);
        badge(p, Red, [](QPainter &q) { q.drawLine(QPointF(20, 24), QPointF(28, 24)); });
    });
}

QIcon runIcon()
{
    return drawnIcon(
        [](QPainter &p) {
            paintLayout(p, QRectF(1, 3, 24, 20), false);
            // A green "go" arrow over the lower right corner.
            QPainterPath arrow;
            arrow.moveTo(16, 19);
            arrow.lineTo(31, 25);
            arrow.lineTo(16, 31);
            arrow.closeSubpath();
            p.setPen(QPen(Green.darker(140), 1));
            p.setBrush(Green);
            p.drawPath(arrow);
        },
        { 16, 24, 32, 48 });
}

QIcon stopIcon()
{
    return drawnIcon(
        [](QPainter &p) {
            QPolygonF octagon;
            for (int i = 0; i < 8; ++i) {
                const double a = (22.5 + 45.0 * i) * 3.14159265358979 / 180.0;
                octagon << QPointF(16 + 14 * std::cos(a), 16 + 14 * std::sin(a));
            }
            p.setPen(QPen(Red.darker(150), 1.2));
            p.setBrush(Red);
            p.drawPolygon(octagon);
            p.setPen(QPen(Qt::white, 3));
            p.drawLine(QPointF(10, 16), QPointF(22, 16));
        },
        { 16, 24, 32, 48 });
}

QIcon runAllIcon()
{
    return drawnIcon([](QPainter &p) {
        for (int i = 2; i >= 0; --i)
            paintLayout(p, QRectF(1 + 4 * i, 1 + 4 * i, 18, 15), false);
        QPainterPath arrow;
        arrow.moveTo(18, 19);
        arrow.lineTo(31, 25);
        arrow.lineTo(18, 31);
        arrow.closeSubpath();
        p.setPen(QPen(Green.darker(140), 1));
        p.setBrush(Green);
        p.drawPath(arrow);
    });
}

QIcon previewIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 2, 18, 24)); // a page
        p.setPen(QPen(QColor(70, 130, 200), 1));
        for (double y : { 7.0, 11.0, 15.0 })
            p.drawLine(QPointF(6, y), QPointF(18, y));
        p.translate(8, 8);
        p.scale(0.75, 0.75);
        magnifier(p, nullptr);
    });
}

QIcon zoomInIcon()
{
    return drawnIcon([](QPainter &p) {
        magnifier(p, [](QPainter &q) {
            q.drawLine(QPointF(13.5, 8.5), QPointF(13.5, 18.5));
            q.drawLine(QPointF(8.5, 13.5), QPointF(18.5, 13.5));
        });
    });
}

QIcon zoomOutIcon()
{
    return drawnIcon([](QPainter &p) {
        magnifier(p, [](QPainter &q) { q.drawLine(QPointF(8.5, 13.5), QPointF(18.5, 13.5)); });
    });
}

QIcon navigatorIcon(int button)
{
    return drawnIcon(
        [button](QPainter &p) {
            switch (button) {
            case 0: // first
                p.fillRect(QRectF(7, 8, 3, 16), Ink);
                triangle(p, false, 11);
                break;
            case 1: // prior
                triangle(p, false, 10);
                break;
            case 2: // next
                triangle(p, true, 11);
                break;
            case 3: // last
                triangle(p, true, 10);
                p.fillRect(QRectF(22, 8, 3, 16), Ink);
                break;
            case 4: // insert
                p.fillRect(QRectF(14.5, 7, 3, 18), Ink);
                p.fillRect(QRectF(7, 14.5, 18, 3), Ink);
                break;
            case 5: // delete
                p.fillRect(QRectF(7, 14.5, 18, 3), Ink);
                break;
            case 6: { // edit
                QPainterPath path;
                path.moveTo(8, 22);
                path.lineTo(16, 10);
                path.lineTo(24, 22);
                path.closeSubpath();
                p.setPen(Qt::NoPen);
                p.setBrush(Ink);
                p.drawPath(path);
                break;
            }
            case 7: // post
                p.setPen(QPen(Ink, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPolyline(QPolygonF({ QPointF(8, 16), QPointF(14, 22), QPointF(24, 9) }));
                break;
            case 8: // cancel
                p.setPen(QPen(Ink, 3.2, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(9, 9), QPointF(23, 23));
                p.drawLine(QPointF(23, 9), QPointF(9, 23));
                break;
            case 9: { // refresh
                p.setPen(QPen(Ink, 2.8, Qt::SolidLine, Qt::FlatCap));
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(8, 8, 16, 16), 100 * 16, 290 * 16);
                QPainterPath head;
                head.moveTo(13, 4);
                head.lineTo(19, 8.5);
                head.lineTo(13, 13);
                head.closeSubpath();
                p.setPen(Qt::NoPen);
                p.setBrush(Ink);
                p.drawPath(head);
                break;
            }
            default:
                break;
            }
        },
        { 16, 20, 32 });
}

void paintShadow(QPainter &p, const QRect &r, int depth)
{
    if (depth <= 0 || r.isEmpty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    // Layers offset by 1..depth pixels: close to the edge they overlap and darken, further out
    // only the faint outer layers remain.
    for (int i = 1; i <= depth; ++i) {
        p.setBrush(QColor(0, 0, 0, 22));
        p.drawRoundedRect(QRectF(r).translated(i, i), 2, 2);
    }
    p.restore();
}

void paintEdge(QPainter &p, const QRect &r, Qt::Orientation orientation)
{
    QLinearGradient g;
    if (orientation == Qt::Vertical) {
        g.setStart(r.topLeft());
        g.setFinalStop(r.bottomLeft());
    } else {
        g.setStart(r.topLeft());
        g.setFinalStop(r.topRight());
    }
    g.setColorAt(0, QColor(99, 117, 214));
    g.setColorAt(1, QColor(123, 162, 231));
    p.fillRect(r, g);
}

} // namespace WidgetArt
