#pragma once
// The program's icons and pictures, drawn in code so the repository holds no image files.

#include <QIcon>
#include <QPixmap>

class QPainter;
class QRectF;

namespace ShellArt {

QIcon applicationIcon();
// The application icon's picture in a 32 x 32 box; scale the painter for other sizes. The
// installed icons (SVG and PNG) are drawn by it too (dist/pnxicon).
void paintApplicationIcon(QPainter &p);
QIcon exitIcon();
QIcon layoutIcon(); // 优化排样
QIcon partsIcon(); // 零件管理
QIcon sheetsIcon(); // 原材料管理
QIcon helpIcon(); // 用户手册
QIcon aboutIcon(); // 关于...
QIcon webIcon(); // Tavrin软件
QIcon calculatorIcon();

// A cutting layout: a sheet with rows of parts, drawn into r; faded for backgrounds.
void paintLayout(QPainter &p, const QRectF &r, bool faded);

} // namespace ShellArt
