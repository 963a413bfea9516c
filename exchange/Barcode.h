#pragma once
// Barcodes for labels, encoded by zint: Code 128 and QR code, as dark rectangles drawn with a
// QPainter, so they stay sharp on any printer and in PDF.

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

struct TBarcode
{
    bool Ok = false;
    QString Error; // zint's reason when not Ok
    QList<QRectF> Bars; // dark areas, in the symbol's own units
    QSizeF Size; // the symbol's extent in those units
    int Modules = 0; // modules across
};

TBarcode Code128(const QByteArray &Data);
TBarcode QrCode(const QByteArray &Data);

// Draws the symbol into Target: a linear code stretched to the target's width less a quiet zone
// of ten modules on each side and to its full height; a two-dimensional one square, centred.
void PaintBarcode(QPainter &Painter, const TBarcode &Symbol, const QRectF &Target, bool Square);
