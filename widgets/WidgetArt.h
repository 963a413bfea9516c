#pragma once
// Icons of the tool bars and the record navigator and the base dialog's edge pictures, drawn
// in code so the repository holds no image files; and the colours these windows share.

#include <QColor>
#include <QIcon>

#include <functional>
#include <initializer_list>

class QPainter;
class QRect;

namespace WidgetArt {

// Background of the data grids and the picker list: pale cream.
inline const QColor GridBackground(250, 245, 220);
// Every other row of a grid.
inline const QColor GridAlternate(240, 232, 200);

// An icon drawn by `draw` on a 32 x 32 canvas, rendered at each of the given pixel sizes.
// The shell draws its icons through this too.
QIcon drawnIcon(const std::function<void(QPainter &)> &draw,
    std::initializer_list<int> sizes = { 16, 24, 32 });

// Tool-bar commands of the library editors.
QIcon closeIcon(); // 关闭
QIcon addRowIcon(); // 增加一行
QIcon deleteRowIcon(); // 删除一行
QIcon modifyIcon(); // 修改数据
QIcon saveIcon(); // 保存数据

// Glyphs of the record navigator, in button order: first, prior, next, last, insert, delete,
// edit, post, cancel, refresh.
QIcon navigatorIcon(int button);

// A soft drop shadow below and to the right of r, `depth` pixels deep.
void paintShadow(QPainter &p, const QRect &r, int depth);

// The decorative edge pictures of the base dialog: a vertical (left edge) or horizontal
// (bottom edge) band, stretched over r.
void paintEdge(QPainter &p, const QRect &r, Qt::Orientation orientation);

} // namespace WidgetArt
