#include "Barcode.h"

#include <QPainter>

#include <zint.h>

#include <memory>

namespace {

TBarcode encode(int symbology, const QByteArray &data)
{
    TBarcode out;
    const std::unique_ptr<zint_symbol, void (*)(zint_symbol *)> symbol(
        ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol) {
        out.Error = QStringLiteral("zint: out of memory");
        return out;
    }
    symbol->symbology = symbology;
    symbol->show_hrt = 0;
    symbol->whitespace_width = 0;
    if (symbology == BARCODE_QRCODE)
        symbol->option_1 = 2; // error correction level M
    const int code = ZBarcode_Encode_and_Buffer_Vector(symbol.get(),
        reinterpret_cast<const unsigned char *>(data.constData()), int(data.size()), 0);
    if (code >= ZINT_ERROR || !symbol->vector) {
        out.Error = QString::fromLatin1(symbol->errtxt);
        return out;
    }
    for (const zint_vector_rect *r = symbol->vector->rectangles; r; r = r->next)
        out.Bars.append(QRectF(r->x, r->y, r->width, r->height));
    out.Size = QSizeF(symbol->vector->width, symbol->vector->height);
    out.Modules = symbol->width;
    out.Ok = !out.Bars.isEmpty() && out.Size.width() > 0 && out.Size.height() > 0;
    if (!out.Ok && out.Error.isEmpty())
        out.Error = QStringLiteral("zint: empty symbol");
    return out;
}

} // namespace

TBarcode Code128(const QByteArray &Data)
{
    return encode(BARCODE_CODE128, Data);
}

TBarcode QrCode(const QByteArray &Data)
{
    return encode(BARCODE_QRCODE, Data);
}

void PaintBarcode(QPainter &Painter, const TBarcode &Symbol, const QRectF &Target, bool Square)
{
    if (!Symbol.Ok || Target.isEmpty())
        return;
    QRectF area = Target;
    if (Square) {
        const double side = std::min(Target.width(), Target.height());
        area = QRectF(0, 0, side, side);
        area.moveCenter(Target.center());
    } else {
        const double module = Target.width() / (Symbol.Modules + 20.0);
        area = Target.adjusted(module * 10, 0, -module * 10, 0);
    }
    const double sx = area.width() / Symbol.Size.width();
    const double sy = area.height() / Symbol.Size.height();
    Painter.save();
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(Qt::black);
    for (const QRectF &r : Symbol.Bars)
        Painter.drawRect(QRectF(
            area.left() + r.x() * sx, area.top() + r.y() * sy, r.width() * sx, r.height() * sy));
    Painter.restore();
}
