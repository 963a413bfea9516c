#pragma once
// Layout drawings as DXF (AutoCAD R2000, millimetres), for CAD and saw programs: the sheet's
// outline on layer SHEET, each part as a closed rectangle with its name and size as text on
// layer PARTS, and the saw cuts on layer CUTS when the layout carries any. The drawing's origin
// is the sheet's bottom-left corner, X along the sheet's length, Y up (the layout view's top
// edge is the drawing's top edge). Texts outside ASCII are written as \U+XXXX, which CAD
// programs show as the character whatever their code page.

#include "ExchangeTypes.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <vector>

class QIODevice;

namespace DxfLayers {
inline constexpr char Sheet[] = "SHEET";
inline constexpr char Parts[] = "PARTS";
inline constexpr char Cuts[] = "CUTS";
} // namespace DxfLayers

QByteArray DxfDrawing(const TLayoutSheet &Layout);
void WriteDxf(QIODevice &Out, const TLayoutSheet &Layout);

// Text as DXF carries it: ASCII as it is, every other character as \U+XXXX.
std::string DxfText(const QString &Text);

// One drawing per layout, named by LayoutFileName, for SaveIntoFolder.
QList<QPair<QString, QByteArray>> DxfFiles(const std::vector<TLayoutSheet> &Layouts);
