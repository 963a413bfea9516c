#pragma once
// Layout drawings as SVG, to look at or print from a browser: the sheet, its parts with name and
// size, the saw cuts when the layout carries any, and a title line (layout, sheet, size, number
// of sheets). One unit of the drawing is one millimetre of the sheet, and the file states its
// size in millimetres, so it prints to scale. Texts are drawn as outlines: the drawing looks the
// same on machines without Chinese fonts.

#include "ExchangeTypes.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <vector>

class QIODevice;

QByteArray SvgDrawing(const TLayoutSheet &Layout);
void WriteSvg(QIODevice &Out, const TLayoutSheet &Layout);

// The title line of a layout's drawing: "切割3  原材料：柜体板  2440 × 1220  共2张".
QString LayoutTitle(const TLayoutSheet &Layout);

// One drawing per layout, named like the DXF drawings (切割01.svg, ...).
QList<QPair<QString, QByteArray>> SvgFiles(const std::vector<TLayoutSheet> &Layouts);
