#include "LabelWriter.h"

#include "AppSettings.h"
#include "Barcode.h"
#include "ExchangeError.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(LabelWriter)
};

QString sizeText(qint32 a, qint32 b)
{
    return u"%1 × %2"_s.arg(a).arg(b);
}

// Draws text in Box (device units), in a font of FontPx pixels shrunk down to 60 % to fit the
// box's width, elided beyond that.
void fitText(QPainter &p, const QRectF &box, const QString &text, double fontPx, bool bold,
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    if (text.isEmpty() || box.width() <= 0 || fontPx < 1)
        return;
    QFont f;
    f.setBold(bold);
    f.setPixelSize(std::max(1, qRound(fontPx)));
    double w = QFontMetricsF(f).horizontalAdvance(text);
    if (w > box.width()) {
        const double shrunk = std::max(fontPx * 0.6, fontPx * box.width() / w);
        f.setPixelSize(std::max(1, qRound(shrunk)));
        w = QFontMetricsF(f).horizontalAdvance(text);
    }
    p.setFont(f);
    const QString shown
        = w > box.width() ? QFontMetricsF(f).elidedText(text, Qt::ElideRight, box.width()) : text;
    p.drawText(box, int(align), shown);
}

// One label in Cell (device units); perMm device units a millimetre.
void paintLabel(QPainter &p, const QRectF &cell, double perMm, const TLabel &label, bool qr)
{
    const double pad
        = std::clamp(std::min(cell.width(), cell.height()) / perMm * 0.06, 1.5, 4.0) * perMm;
    const QRectF inner = cell.adjusted(pad, pad, -pad, -pad);
    if (inner.width() <= 0 || inner.height() <= 0)
        return;
    const double h = inner.height();

    const QByteArray code = label.PieceCode.toLatin1();
    const TBarcode bars = Code128(code);
    if (!bars.Ok)
        throw EExchangeError(Tr::tr("无法生成条码“%1”：%2").arg(label.PieceCode, bars.Error));

    // Bottom: the barcode across the whole width, the code under it.
    const double codeLine = h * 0.10;
    const double barHeight = h * 0.28;
    const QRectF codeBox(inner.left(), inner.bottom() - codeLine, inner.width(), codeLine);
    const QRectF barBox(inner.left(), codeBox.top() - barHeight, inner.width(), barHeight);
    PaintBarcode(p, bars, barBox, false);
    fitText(
        p, codeBox, label.PieceCode, codeLine * 0.9, false, Qt::AlignHCenter | Qt::AlignVCenter);

    // Top: the texts, with the QR code at their right when chosen.
    const double textHeight = barBox.top() - inner.top() - h * 0.03;
    QRectF text(inner.left(), inner.top(), inner.width(), textHeight);
    if (qr) {
        const TBarcode square = QrCode(code);
        if (!square.Ok)
            throw EExchangeError(Tr::tr("无法生成二维码“%1”：%2").arg(label.PieceCode, square.Error));
        const double side = std::min(textHeight, inner.width() * 0.35);
        PaintBarcode(p, square, QRectF(inner.right() - side, inner.top(), side, side), true);
        text.setRight(inner.right() - side - pad);
    }
    const double unit = textHeight / 1.0;
    const double rows[4] = { 0.20, 0.32, 0.26, 0.22 };
    double y = text.top();
    QStringList top;
    if (!label.Project.isEmpty())
        top << label.Project;
    if (!label.Scheme.isEmpty())
        top << label.Scheme;
    const QString lines[4] = { top.join(u"  "_s), label.PartName, label.Size,
        Tr::tr("切割%1  第%2/%3张").arg(label.Layout).arg(label.Sheet).arg(label.Sheets) };
    for (int i = 0; i < 4; ++i) {
        const QRectF box(text.left(), y, text.width(), unit * rows[i]);
        fitText(p, box, lines[i], box.height() * 0.82, i == 1 || i == 2);
        y += box.height();
    }
}

} // namespace

TLabelSettings LabelSettingsFromApp()
{
    using AppSettings::Key;
    TLabelSettings s;
    s.PerPage = AppSettings::boolValue(Key::LabelPerPage);
    s.Columns = AppSettings::intValue(Key::LabelColumns);
    s.Rows = AppSettings::intValue(Key::LabelRows);
    s.SheetMarginMm = AppSettings::doubleValue(Key::LabelSheetMarginMm);
    s.WidthMm = AppSettings::doubleValue(Key::LabelWidthMm);
    s.HeightMm = AppSettings::doubleValue(Key::LabelHeightMm);
    s.QrCode = AppSettings::boolValue(Key::LabelQrCode);
    return s;
}

QString PieceCode(const QString &Project, const QString &Scheme, int Layout, int Piece)
{
    QString project, scheme;
    for (const QChar c : Project)
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            project += c;
    for (const QChar c : Scheme)
        if (c >= u'0' && c <= u'9')
            scheme += c;
    QStringList parts;
    if (!project.isEmpty())
        parts << project.left(20);
    if (!scheme.isEmpty())
        parts << scheme.left(4);
    parts << QString::number(Layout) << QString::number(Piece);
    return parts.join(u'-');
}

QList<TLabel> LabelsForLayouts(const std::vector<TLayoutSheet> &Layouts, const QString &Project,
    const QString &Scheme, const QList<TPartRow> &EnteredParts)
{
    QList<TLabel> labels;
    for (const TLayoutSheet &l : Layouts) {
        int piece = 0;
        for (int sheet = 1; sheet <= l.SheetCount; ++sheet) {
            for (const TPlacedPart &p : l.Parts) {
                TLabel label;
                label.Project = Project;
                label.Scheme = Scheme;
                label.PartName = p.Name;
                if (p.PartIndex >= 0 && p.PartIndex < EnteredParts.size()) {
                    const TPartRow &entered = EnteredParts[p.PartIndex];
                    label.Size = sizeText(entered.Length, entered.Width);
                } else {
                    label.Size = sizeText(std::max(p.Width, p.Height), std::min(p.Width, p.Height));
                }
                label.Layout = l.Number;
                label.Sheet = sheet;
                label.Sheets = l.SheetCount;
                label.PieceCode = PieceCode(Project, Scheme, l.Number, ++piece);
                labels.append(std::move(label));
            }
        }
    }
    return labels;
}

void PaintLabels(
    QPagedPaintDevice &Device, const QList<TLabel> &Labels, const TLabelSettings &Settings)
{
    if (Labels.isEmpty())
        throw EExchangeError(Tr::tr("没有要打印的标签：排样结果里没有零件。"));
    const bool perPage = Settings.PerPage;
    const int columns = perPage ? 1 : std::max(1, Settings.Columns);
    const int rows = perPage ? 1 : std::max(1, Settings.Rows);
    const QPageSize size = perPage
        ? QPageSize(QSizeF(std::max(10.0, Settings.WidthMm), std::max(10.0, Settings.HeightMm)),
            QPageSize::Millimeter, Tr::tr("标签"), QPageSize::ExactMatch)
        : QPageSize(QPageSize::A4);
    QPageLayout page(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    page.setMode(QPageLayout::FullPageMode);
    if (!Device.setPageLayout(page))
        throw EExchangeError(Tr::tr("打印机不接受这个纸张大小（%1 × %2 毫米）")
                                 .arg(size.size(QPageSize::Millimeter).width())
                                 .arg(size.size(QPageSize::Millimeter).height()));

    QPainter p;
    if (!p.begin(&Device))
        throw EExchangeError(Tr::tr("无法开始打印标签"));
    const QPageLayout actual = Device.pageLayout();
    const int dpi = Device.logicalDpiX();
    const double perMm = dpi / 25.4;
    // Drawn from the paper's corner, wherever the device puts the painter's origin.
    const QRect full = actual.fullRectPixels(dpi);
    const QRect paint = actual.paintRectPixels(dpi);
    p.translate(full.topLeft() - paint.topLeft());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(Qt::black);

    const QSizeF paper = actual.fullRect(QPageLayout::Millimeter).size();
    const double margin = perPage
        ? 0.0
        : std::clamp(Settings.SheetMarginMm, 0.0, std::min(paper.width(), paper.height()) / 3);
    const double cellW = (paper.width() - 2 * margin) / columns;
    const double cellH = (paper.height() - 2 * margin) / rows;
    const int perSheet = columns * rows;
    try {
        for (int i = 0; i < Labels.size(); ++i) {
            const int slot = i % perSheet;
            if (i > 0 && slot == 0 && !Device.newPage())
                throw EExchangeError(Tr::tr("无法开始新的一页"));
            const double x = margin + (slot % columns) * cellW;
            const double y = margin + (slot / columns) * cellH;
            paintLabel(p, QRectF(x * perMm, y * perMm, cellW * perMm, cellH * perMm), perMm,
                Labels[i], Settings.QrCode);
        }
    } catch (...) {
        p.end();
        throw;
    }
    if (!p.end())
        throw EExchangeError(Tr::tr("打印标签失败"));
}

QByteArray LabelsPdf(const QList<TLabel> &Labels, const TLabelSettings &Settings)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(600);
        pdf.setCreator(QCoreApplication::applicationName());
        pdf.setTitle(Tr::tr("零件标签"));
        PaintLabels(pdf, Labels, Settings);
    }
    return bytes;
}

void WriteLabelsPdf(QIODevice &Out, const QList<TLabel> &Labels, const TLabelSettings &Settings)
{
    const QByteArray bytes = LabelsPdf(Labels, Settings);
    if (Out.write(bytes) != bytes.size())
        throw EExchangeError(Tr::tr("写入失败：%1").arg(Out.errorString()));
}
