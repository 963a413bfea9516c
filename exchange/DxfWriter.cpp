#include "DxfWriter.h"

#include "ExchangeError.h"
#include "SaveFile.h"

#include <QCoreApplication>
#include <QIODevice>

#include <dl_dxf.h>
#include <dl_writer_ascii.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(DxfWriter)
};

// dxflib's ASCII writer, writing into memory instead of a file of its own: the drawing is then
// handed to a QIODevice (a QSaveFile for files) as a whole. The base is given no file name, so
// it opens nothing.
class TDxfMemoryWriter : public DL_WriterA
{
public:
    TDxfMemoryWriter()
        : DL_WriterA("", DL_Codes::AC1015)
    { }

    const std::string &text() const { return FText; }

    void dxfReal(int gc, double value) const override
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.6f", std::isfinite(value) ? value : 0.0);
        std::string s = buf;
        // Trailing zeros go; one decimal stays, as DXF readers expect a real to look real.
        while (s.size() > 2 && s.back() == '0' && s[s.size() - 2] != '.')
            s.pop_back();
        code(gc);
        FText += s + "\n";
    }
    void dxfInt(int gc, int value) const override
    {
        code(gc);
        FText += std::to_string(value) + "\n";
    }
    void dxfHex(int gc, int value) const override
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%0X", unsigned(value));
        code(gc);
        FText += std::string(buf) + "\n";
    }
    void dxfString(int gc, const char *value) const override
    {
        code(gc);
        FText += std::string(value ? value : "") + "\n";
    }
    void dxfString(int gc, const std::string &value) const override
    {
        code(gc);
        FText += value + "\n";
    }

private:
    void code(int gc) const
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%3d\n", gc);
        FText += buf;
    }
    mutable std::string FText;
};

// How wide a text of height 1 runs: CJK characters about square, others about 0.6.
double textUnits(const QString &text)
{
    double w = 0;
    for (const QChar c : text)
        w += c.unicode() >= 0x2E80 ? 1.0 : 0.65;
    return std::max(w, 1.0);
}

QString sizeText(qint32 width, qint32 height)
{
    return u"%1 x %2"_s.arg(width).arg(height);
}

// The part's name and size, centred in it, running along its longer side, as large as fits.
void writePartTexts(DL_Dxf &dxf, TDxfMemoryWriter &dw, const DL_Attributes &attributes, double x,
    double y, double w, double h, const QString &name, const QString &size)
{
    const bool turned = h > w;
    const double along = turned ? h : w;
    const double across = turned ? w : h;
    const QString lines[2] = { name, size };
    const int count = name.trimmed().isEmpty() ? 1 : 2;
    double height = std::min(across / (count * 2.0), 40.0);
    for (int i = 2 - count; i < 2; ++i)
        height = std::min(height, along * 0.9 / textUnits(lines[i]));
    height = std::max(height, 1.0);
    const double cx = x + w / 2, cy = y + h / 2;
    const double angle = turned ? M_PI / 2 : 0.0;
    for (int i = 2 - count; i < 2; ++i) {
        // Two lines: the name above the middle, the size below it ("above" is -X when turned).
        const double offset = count == 2 ? (i == 0 ? 0.7 : -0.7) * height : 0.0;
        const double px = turned ? cx - offset : cx;
        const double py = turned ? cy : cy + offset;
        const double textHeight = i == 0 ? height : height * 0.8;
        dxf.writeText(dw,
            DL_TextData(px, py, 0, px, py, 0, textHeight, 1.0, 0, 1, 2, DxfText(lines[i]),
                "STANDARD", angle),
            attributes);
    }
}

void writeRectangle(DL_Dxf &dxf, TDxfMemoryWriter &dw, const DL_Attributes &attributes, double x,
    double y, double w, double h)
{
    dxf.writePolyline(dw, DL_PolylineData(4, 0, 0, 1), attributes);
    dxf.writeVertex(dw, DL_VertexData(x, y));
    dxf.writeVertex(dw, DL_VertexData(x + w, y));
    dxf.writeVertex(dw, DL_VertexData(x + w, y + h));
    dxf.writeVertex(dw, DL_VertexData(x, y + h));
    dxf.writePolylineEnd(dw);
}

} // namespace

std::string DxfText(const QString &Text)
{
    std::string out;
    for (const QChar c : Text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else if (u < 0x20) {
            out += ' ';
        } else if (c.isSurrogate()) {
            out += '?';
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "\\U+%04X", unsigned(u));
            out += buf;
        }
    }
    return out;
}

QByteArray DxfDrawing(const TLayoutSheet &Layout)
{
    DL_Dxf dxf;
    TDxfMemoryWriter dw;
    const bool cuts = !Layout.Cuts.empty();

    dxf.writeHeader(dw);
    dw.dxfString(9, "$INSUNITS");
    dw.dxfInt(70, 4); // millimetres
    dw.dxfString(9, "$MEASUREMENT");
    dw.dxfInt(70, 1); // metric
    dw.dxfString(9, "$EXTMIN");
    dw.dxfReal(10, 0.0);
    dw.dxfReal(20, 0.0);
    dw.dxfReal(30, 0.0);
    dw.dxfString(9, "$EXTMAX");
    dw.dxfReal(10, Layout.SheetLength);
    dw.dxfReal(20, Layout.SheetWidth);
    dw.dxfReal(30, 0.0);
    dw.sectionEnd();

    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw.tableEnd();
    dw.tableLayers(cuts ? 4 : 3);
    dxf.writeLayer(
        dw, DL_LayerData("0", 0), DL_Attributes("", DL_Codes::white, 100, "CONTINUOUS", 1.0));
    dxf.writeLayer(dw, DL_LayerData(DxfLayers::Sheet, 0),
        DL_Attributes("", DL_Codes::white, 100, "CONTINUOUS", 1.0));
    dxf.writeLayer(dw, DL_LayerData(DxfLayers::Parts, 0),
        DL_Attributes("", DL_Codes::blue, 100, "CONTINUOUS", 1.0));
    if (cuts)
        dxf.writeLayer(dw, DL_LayerData(DxfLayers::Cuts, 0),
            DL_Attributes("", DL_Codes::red, 100, "CONTINUOUS", 1.0));
    dw.tableEnd();
    dw.tableStyle(1);
    dxf.writeStyle(dw, DL_StyleData("STANDARD", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 2.5, 0.625, 0.625, 0.625, 2.5);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();

    dw.sectionBlocks();
    dxf.writeBlock(dw, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Model_Space");
    dxf.writeBlock(dw, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Paper_Space");
    dxf.writeBlock(dw, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, "*Paper_Space0");
    dw.sectionEnd();

    dw.sectionEntities();
    const DL_Attributes sheet(DxfLayers::Sheet, 256, -1, -1, "BYLAYER");
    const DL_Attributes parts(DxfLayers::Parts, 256, -1, -1, "BYLAYER");
    const double top = Layout.SheetWidth;
    writeRectangle(dxf, dw, sheet, 0, 0, Layout.SheetLength, Layout.SheetWidth);
    for (const TPlacedPart &p : Layout.Parts) {
        const double x = p.X, y = top - double(p.Y) - p.Height;
        writeRectangle(dxf, dw, parts, x, y, p.Width, p.Height);
        writePartTexts(
            dxf, dw, parts, x, y, p.Width, p.Height, p.Name, sizeText(p.Width, p.Height));
    }
    if (cuts) {
        const DL_Attributes cutLayer(DxfLayers::Cuts, 256, -1, -1, "BYLAYER");
        for (const TCutSegment &c : Layout.Cuts)
            dxf.writeLine(dw, DL_LineData(c.X1, top - c.Y1, 0, c.X2, top - c.Y2, 0), cutLayer);
    }
    dw.sectionEnd();

    dxf.writeObjects(dw);
    dxf.writeObjectsEnd(dw);
    dw.dxfEOF();
    return QByteArray::fromStdString(dw.text());
}

void WriteDxf(QIODevice &Out, const TLayoutSheet &Layout)
{
    const QByteArray bytes = DxfDrawing(Layout);
    if (Out.write(bytes) != bytes.size())
        throw EExchangeError(Tr::tr("写入失败：%1").arg(Out.errorString()));
}

QList<QPair<QString, QByteArray>> DxfFiles(const std::vector<TLayoutSheet> &Layouts)
{
    return LayoutFiles(Layouts, u".dxf"_s, DxfDrawing);
}
