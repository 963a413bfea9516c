#pragma once
// Icons of the tool bars and the record navigator and the base dialog's edge pictures, drawn
// in code so the repository holds no image files; and the colours these windows share.

#include <QColor>
#include <QIcon>

#include <functional>
#include <initializer_list>

class QPainter;
class QRect;
class QRectF;

namespace WidgetArt {

// Background of the data grids and the picker list: pale cream.
inline const QColor GridBackground(250, 245, 220);
// Every other row of a grid.
inline const QColor GridAlternate(240, 232, 200);

// An icon drawn by `draw` on a 32 x 32 canvas, rendered at each of the given pixel sizes.
// The shell draws its icons through this too.
QIcon drawnIcon(
    const std::function<void(QPainter &)> &draw, std::initializer_list<int> sizes = { 16, 24, 32 });

// Tool-bar commands of the library editors.
QIcon closeIcon(); // 关闭
QIcon addRowIcon(); // 增加一行
QIcon deleteRowIcon(); // 删除一行
QIcon modifyIcon(); // 修改数据
QIcon saveIcon(); // 保存数据
QIcon importIcon(); // 导入: a table with an arrow pointing into it
QIcon exportIcon(); // 导出: a table with an arrow pointing out of it

// Tool-bar commands of the project workspace and the results window.
QIcon layoutIcon(); // 优化排样: a sheet with rows of parts
QIcon addProjectIcon(); // 增加工程
QIcon deleteProjectIcon(); // 删除工程
QIcon runIcon(); // 优化计算
QIcon stopIcon(); // 停止: a red octagon
QIcon runAllIcon(); // 计算全部方案: three sheets with a go arrow
QIcon previewIcon(); // 打印预览
QIcon zoomInIcon(); // 放大
QIcon zoomOutIcon(); // 缩小

// A cutting layout: a sheet with rows of parts, drawn into r; faded for backgrounds.
void paintLayout(QPainter &p, const QRectF &r, bool faded);

// Glyphs of the record navigator, in button order: first, prior, next, last, insert, delete,
// edit, post, cancel, refresh.
QIcon navigatorIcon(int button);

// A soft drop shadow below and to the right of r, `depth` pixels deep.
void paintShadow(QPainter &p, const QRect &r, int depth);

// The decorative edge pictures of the base dialog: a vertical (left edge) or horizontal
// (bottom edge) band, stretched over r.
void paintEdge(QPainter &p, const QRect &r, Qt::Orientation orientation);

} // namespace WidgetArt
