// Files out: tables to CSV and Excel and back through the importer, layouts from the engine,
// DXF drawings read back by dxflib, SVG drawings, part labels with barcodes that a scanner
// reads, and writers that fail without leaving half a file.
#include "DxfWriter.h"
#include "ExchangeError.h"
#include "ExchangeTypes.h"
#include "LabelWriter.h"
#include "PartImport.h"
#include "SaveFile.h"
#include "SvgWriter.h"
#include "TableReader.h"
#include "TableWriter.h"
#include "TypeSetClass.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <cmath>
#include <map>
#include <sstream>

using namespace Qt::StringLiterals;

namespace {

const QList<TPartRow> SampleParts = {
    { u"左侧板"_s, 720, 560, 2 },
    { u"门板, 左"_s, 716, 397, 1 },
    { u"抽屉\"面\"板"_s, 396, 178, 4 },
    { u"Back panel"_s, 764, 716, 1 },
    { u"=SUM(A1)"_s, 100, 50, 12 },
    { QString(), 300, 300, 3 },
};

QList<TPartRow> importParts(const QByteArray &bytes, const QString &name)
{
    const TReadOutcome r = ReadTableBytes(bytes, name);
    if (!r.Ok)
        qFatal("read: %s", qPrintable(r.Error));
    const TImportTarget target = ImportTargets::PartList();
    const TImportOutcome o = ConvertRows(r.Table, target, GuessMapping(r.Table, target));
    for (const TImportProblem &p : o.Problems)
        qWarning("%s", qPrintable(p.text()));
    return ToPartRows(o, target);
}

// A hand-made layout: a 2440 x 1220 sheet with three parts, one of them turned.
TLayoutSheet sampleLayout()
{
    TLayoutSheet l;
    l.Number = 3;
    l.SheetName = u"柜体板 18mm"_s;
    l.SheetLength = 2440;
    l.SheetWidth = 1220;
    l.Kerf = 4;
    l.SheetCount = 2;
    l.Parts = { { u"侧板"_s, 0, 0, 0, 720, 560 }, { u"侧板"_s, 0, 724, 0, 720, 560 },
        { u"Rail"_s, 1, 0, 564, 100, 600 } };
    return l;
}

// What dxflib reads back from a drawing.
class TDxfCollector : public DL_CreationAdapter
{
public:
    struct TPolyline
    {
        std::string layer;
        bool closed = false;
        std::vector<QPointF> points;
    };
    std::vector<std::string> layers;
    std::vector<TPolyline> polylines;
    std::vector<std::pair<std::string, std::string>> texts; // layer, text
    std::vector<double> angles;
    std::vector<std::pair<std::string, QLineF>> lines;

    void addLayer(const DL_LayerData &d) override { layers.push_back(d.name); }
    void addPolyline(const DL_PolylineData &d) override
    {
        polylines.push_back({ attributes.getLayer(), (d.flags & 1) != 0, {} });
    }
    void addVertex(const DL_VertexData &d) override
    {
        if (!polylines.empty())
            polylines.back().points.push_back(QPointF(d.x, d.y));
    }
    void addText(const DL_TextData &d) override
    {
        texts.push_back({ attributes.getLayer(), d.text });
        angles.push_back(d.angle);
    }
    void addLine(const DL_LineData &d) override
    {
        lines.push_back({ attributes.getLayer(), QLineF(d.x1, d.y1, d.x2, d.y2) });
    }
};

TDxfCollector readDxf(const QByteArray &bytes)
{
    TDxfCollector c;
    std::stringstream in(bytes.toStdString());
    DL_Dxf dxf;
    if (!dxf.in(in, &c))
        qFatal("dxflib could not read the drawing");
    return c;
}

// \U+XXXX escapes back to characters.
QString undoDxfText(const std::string &text)
{
    QString s = QString::fromStdString(text);
    static const QRegularExpression escape(u"\\\\U\\+([0-9A-Fa-f]{4})"_s);
    QRegularExpressionMatch m;
    while ((m = escape.match(s)).hasMatch())
        s.replace(m.capturedStart(), m.capturedLength(),
            QChar(char16_t(m.captured(1).toUInt(nullptr, 16))));
    return s;
}

// A rectangle as "x,y wxh" from the four corners of a closed polyline.
QString rectOf(const std::vector<QPointF> &points)
{
    double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
    for (const QPointF &p : points) {
        x0 = std::min(x0, p.x()), y0 = std::min(y0, p.y());
        x1 = std::max(x1, p.x()), y1 = std::max(y1, p.y());
    }
    return u"%1,%2 %3x%4"_s.arg(x0).arg(y0).arg(x1 - x0).arg(y1 - y0);
}

// Pages and the size of the first page (points) of a PDF that QPdfWriter made.
struct TPdfFacts
{
    int pages = 0;
    QSizeF mediaBox;
};

TPdfFacts pdfFacts(const QByteArray &pdf)
{
    TPdfFacts f;
    static const QRegularExpression page(u"/Type\\s*/Page(?![s\\w])"_s);
    auto it = page.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        it.next();
        ++f.pages;
    }
    static const QRegularExpression box(
        u"/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)\\s*\\]"_s);
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(pdf));
    if (m.hasMatch())
        f.mediaBox = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    return f;
}

// The codes a scanner reads from page `page` of a PDF (pdftoppm, then zbarimg).
QStringList scannedCodes(const QByteArray &pdf, int page)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(u"labels.pdf"_s));
    if (!f.open(QIODevice::WriteOnly) || f.write(pdf) != pdf.size())
        qFatal("cannot write the PDF");
    f.close();
    QProcess render;
    render.start(u"pdftoppm"_s,
        { u"-r"_s, u"200"_s, u"-f"_s, QString::number(page), u"-l"_s, QString::number(page),
            u"-png"_s, u"-singlefile"_s, f.fileName(), dir.filePath(u"page"_s) });
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        qFatal("pdftoppm failed");
    QProcess scan;
    scan.start(u"zbarimg"_s, { u"-q"_s, u"--raw"_s, dir.filePath(u"page.png"_s) });
    if (!scan.waitForFinished(60000))
        qFatal("zbarimg did not finish");
    QStringList codes
        = QString::fromUtf8(scan.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    codes.sort();
    return codes;
}

// A device that takes nothing.
class TFullDevice : public QIODevice
{
public:
    TFullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override
    {
        setErrorString(u"disk full"_s);
        return -1;
    }
};

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void partList_roundTripsThroughCsvAndXlsx();
    void workbook_holdsEveryTableOnItsOwnSheet();
    void layoutsFromEngine_matchTheRun();
    void dxf_readBackGivesTheLayout();
    void dxf_cutLinesHaveTheirOwnLayer();
    void svg_isAToScaleDrawing();
    void labels_onePerPieceWithSizesAsEntered();
    void labels_pagesAndBarcodesAScannerReads();
    void writers_failWithoutHalfFiles();
};

void TestExport::partList_roundTripsThroughCsvAndXlsx()
{
    const QByteArray csv = CsvBytes(PartListTable(SampleParts));
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(importParts(csv, u"parts.csv"_s), SampleParts);

    QBuffer xlsx;
    xlsx.open(QIODevice::WriteOnly);
    WriteXlsx(xlsx, { PartListTable(SampleParts) });
    QVERIFY(xlsx.data().startsWith("PK"));
    QCOMPARE(importParts(xlsx.data(), u"parts.xlsx"_s), SampleParts);
}

void TestExport::workbook_holdsEveryTableOnItsOwnSheet()
{
    // The first sheet is the one the importer reads; numbers stay numbers.
    const std::vector<TLayoutSheet> layouts { sampleLayout() };
    QBuffer xlsx;
    xlsx.open(QIODevice::WriteOnly);
    WriteXlsx(xlsx,
        { LayoutPartsTable(layouts), UsageTable(UsageRows(layouts)), PartListTable(SampleParts) });
    const TReadOutcome r = ReadTableBytes(xlsx.data(), u"out.xlsx"_s);
    QVERIFY2(r.Ok, qPrintable(r.Error));
    QStringList rows;
    for (const TSourceRow &row : r.Table.Rows)
        rows << row.Cells.join(u'|');
    QCOMPARE(rows,
        QStringList({ u"切割|原材料|原材料长度|原材料宽度|张数|名称|长度|宽度|每张数量|合计数量"_s,
            u"切割3|柜体板 18mm|2440|1220|2|侧板|720|560|2|4"_s,
            u"切割3|柜体板 18mm|2440|1220|2|Rail|100|600|1|2"_s }));
    QCOMPARE(CsvBytes(UsageTable(UsageRows(layouts))),
        "\xEF\xBB\xBF" + u"名称,长度,宽度,用量\r\n柜体板 18mm,2440,1220,2\r\n"_s.toUtf8());
}

void TestExport::layoutsFromEngine_matchTheRun()
{
    TRectManage engine;
    const struct
    {
        int l, w, n;
        const char *name;
    } parts[] = { { 720, 560, 7, "侧板" }, { 564, 320, 9, "顶板" }, { 396, 178, 13, "抽屉面板" } };
    for (const auto &p : parts) {
        TMaterialType &t = *engine.MaterialTypeList().Add();
        t.SetText(p.name);
        t.SetWidth(p.l);
        t.SetHeight(p.w);
        t.SetCount(p.n);
    }
    for (const auto &s : { std::pair { 2440, 1220 }, std::pair { 1830, 915 } }) {
        TMaterialType &t = *engine.BCTypeList().Add();
        t.SetText(s.first == 2440 ? "大板" : "小板");
        t.SetWidth(s.first);
        t.SetHeight(s.second);
        t.SetBlade(4);
        t.SetPrice(100);
    }
    engine.GoWork();
    QVERIFY(!engine.Execpt());
    const std::vector<TLayoutSheet> layouts = LayoutsFromEngine(engine);
    QCOMPARE(int(layouts.size()), engine.GroupList().Count());
    qint64 pieces = 0, sheets = 0;
    for (const TLayoutSheet &l : layouts) {
        QVERIFY(l.SheetCount > 0 && !l.Parts.empty());
        QCOMPARE(l.Kerf, 4);
        sheets += l.SheetCount;
        pieces += qint64(l.Parts.size()) * l.SheetCount;
        for (std::size_t i = 0; i < l.Parts.size(); ++i) {
            const TPlacedPart &a = l.Parts[i];
            QVERIFY(a.X >= 0 && a.Y >= 0 && a.X + a.Width <= l.SheetLength
                && a.Y + a.Height <= l.SheetWidth);
            QVERIFY(a.PartIndex >= 0 && a.PartIndex < 3);
            QCOMPARE(QString::fromStdString(engine.MaterialTypeList().GetItem(a.PartIndex)->Text()),
                a.Name);
            const QRect ra(a.X, a.Y, a.Width, a.Height);
            for (std::size_t k = i + 1; k < l.Parts.size(); ++k) {
                const TPlacedPart &b = l.Parts[k];
                QVERIFY2(!ra.intersects(QRect(b.X, b.Y, b.Width, b.Height)), "parts overlap");
            }
        }
    }
    QCOMPARE(pieces, qint64(7 + 9 + 13));
    qint64 used = 0;
    for (const TUsageRow &u : UsageRows(layouts))
        used += u.Sheets;
    QCOMPARE(used, sheets);
}

void TestExport::dxf_readBackGivesTheLayout()
{
    const TLayoutSheet l = sampleLayout();
    const TDxfCollector d = readDxf(DxfDrawing(l));
    QCOMPARE(d.layers, (std::vector<std::string> { "0", "SHEET", "PARTS" }));
    QStringList sheet, parts;
    for (const auto &p : d.polylines) {
        QVERIFY(p.closed);
        QCOMPARE(int(p.points.size()), 4);
        (p.layer == "SHEET" ? sheet : parts) << rectOf(p.points);
    }
    QCOMPARE(sheet, QStringList { u"0,0 2440x1220"_s });
    // Y turned upwards: a part at the top edge of the layout view lies at the top of the drawing.
    QCOMPARE(parts, QStringList({ u"0,660 720x560"_s, u"724,660 720x560"_s, u"0,56 100x600"_s }));
    QStringList texts;
    for (const auto &[layer, text] : d.texts) {
        QCOMPARE(layer, std::string("PARTS"));
        texts << undoDxfText(text);
    }
    QCOMPARE(texts,
        QStringList(
            { u"侧板"_s, u"720 x 560"_s, u"侧板"_s, u"720 x 560"_s, u"Rail"_s, u"100 x 600"_s }));
    // The tall part's texts run along it.
    QVERIFY(std::abs(d.angles[4] - M_PI / 2) < 1e-6 || std::abs(d.angles[4] - 90) < 1e-6);
    QCOMPARE(d.angles[0], 0.0);
    QVERIFY(d.lines.empty());
}

void TestExport::dxf_cutLinesHaveTheirOwnLayer()
{
    TLayoutSheet l = sampleLayout();
    l.Cuts = { { 722, 0, 722, 560 }, { 0, 562, 2440, 562 } };
    const TDxfCollector d = readDxf(DxfDrawing(l));
    QCOMPARE(d.layers, (std::vector<std::string> { "0", "SHEET", "PARTS", "CUTS" }));
    QCOMPARE(int(d.lines.size()), 2);
    QCOMPARE(d.lines[0].first, std::string("CUTS"));
    QCOMPARE(d.lines[0].second, QLineF(722, 1220, 722, 660));
    QCOMPARE(d.lines[1].second, QLineF(0, 658, 2440, 658));
}

void TestExport::svg_isAToScaleDrawing()
{
    const TLayoutSheet l = sampleLayout();
    const QByteArray svg = SvgDrawing(l);
    QSvgRenderer renderer(svg);
    QVERIFY(renderer.isValid());
    const QRectF view = renderer.viewBoxF();
    QVERIFY(view.contains(QRectF(0, 0, 2440, 1220)));
    // The file's size in millimetres equals its drawing units: it prints to scale.
    static const QRegularExpression size(u"width=\"([\\d.]+)mm\" height=\"([\\d.]+)mm\""_s);
    const QRegularExpressionMatch m = size.match(QString::fromUtf8(svg));
    QVERIFY(m.hasMatch());
    QVERIFY(std::abs(m.captured(1).toDouble() - view.width()) < 1.0);
    QVERIFY(std::abs(m.captured(2).toDouble() - view.height()) < 1.0);
    QVERIFY(QString::fromUtf8(svg).contains(LayoutTitle(l).toHtmlEscaped()));
    QCOMPARE(LayoutTitle(l), u"切割3  原材料：柜体板 18mm  2440 × 1220  共2张  刀口4"_s);
}

void TestExport::labels_onePerPieceWithSizesAsEntered()
{
    const std::vector<TLayoutSheet> layouts { sampleLayout() };
    // Part 0 was entered width first; part 1 has no entered row.
    const QList<TLabel> labels = LabelsForLayouts(
        layouts, u"T20240501093000"_s, u"方案2"_s, { { u"侧板"_s, 560, 720, 4 } });
    QCOMPARE(labels.size(), 6);
    QSet<QString> codes;
    for (const TLabel &l : labels) {
        QCOMPARE(l.Project, u"T20240501093000"_s);
        QCOMPARE(l.Scheme, u"方案2"_s);
        QCOMPARE(l.Layout, 3);
        QCOMPARE(l.Sheets, 2);
        codes.insert(l.PieceCode);
    }
    QCOMPARE(codes.size(), 6);
    QCOMPARE(labels[0].Size, u"560 × 720"_s);
    QCOMPARE(labels[2].Size, u"600 × 100"_s);
    QCOMPARE(labels[2].Sheet, 1);
    QCOMPARE(labels[3].Sheet, 2);
    QCOMPARE(labels[5].PieceCode, u"T20240501093000-2-3-6"_s);
    QCOMPARE(PieceCode(u"单号·T1'2"_s, u"方案"_s, 1, 2), u"T12-1-2"_s);
}

void TestExport::labels_pagesAndBarcodesAScannerReads()
{
    TLayoutSheet l = sampleLayout();
    l.SheetCount = 9; // 27 labels
    const QList<TLabel> labels = LabelsForLayouts({ l }, u"T20240501093000"_s, u"方案1"_s);

    TLabelSettings sheets; // A4, 3 x 8
    const QByteArray a4 = LabelsPdf(labels, sheets);
    const TPdfFacts a4Facts = pdfFacts(a4);
    QCOMPARE(a4Facts.pages, 2);
    QVERIFY(std::abs(a4Facts.mediaBox.width() - 595.3) < 1
        && std::abs(a4Facts.mediaBox.height() - 841.9) < 1);
    QStringList expected;
    for (int i = 0; i < 24; ++i)
        expected << labels[i].PieceCode;
    expected.sort();
    QCOMPARE(scannedCodes(a4, 1), expected);

    TLabelSettings printer;
    printer.PerPage = true;
    printer.QrCode = true;
    const QByteArray single = LabelsPdf(labels, printer);
    const TPdfFacts singleFacts = pdfFacts(single);
    QCOMPARE(singleFacts.pages, 27);
    // 60 x 40 mm, wider than high.
    QVERIFY2(std::abs(singleFacts.mediaBox.width() - 170.1) < 1
            && std::abs(singleFacts.mediaBox.height() - 113.4) < 1,
        qPrintable(
            u"%1 x %2"_s.arg(singleFacts.mediaBox.width()).arg(singleFacts.mediaBox.height())));
    // Code 128 and the QR code carry the same code.
    QCOMPARE(scannedCodes(single, 5), QStringList({ labels[4].PieceCode, labels[4].PieceCode }));

    QBuffer none;
    none.open(QIODevice::WriteOnly);
    QVERIFY_THROWS_EXCEPTION(EExchangeError, WriteLabelsPdf(none, {}, sheets));
}

void TestExport::writers_failWithoutHalfFiles()
{
    TFullDevice full;
    QVERIFY_THROWS_EXCEPTION(EExchangeError, WriteCsv(full, PartListTable(SampleParts)));
    QVERIFY_THROWS_EXCEPTION(EExchangeError, WriteXlsx(full, { PartListTable(SampleParts) }));
    QVERIFY_THROWS_EXCEPTION(EExchangeError, WriteDxf(full, sampleLayout()));
    QVERIFY_THROWS_EXCEPTION(EExchangeError, WriteSvg(full, sampleLayout()));

    QTemporaryDir dir;
    // A file that stays as it was when the new content cannot be made.
    const QString kept = dir.filePath(u"parts.csv"_s);
    SaveBytes(kept, "old");
    QVERIFY_THROWS_EXCEPTION(EExchangeError, SaveFile(kept, [](QIODevice &out) {
        WriteCsv(out, PartListTable(SampleParts)), throw EExchangeError(u"x"_s);
    }));
    QFile check(kept);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("old"));
    QVERIFY_THROWS_EXCEPTION(EExchangeError, SaveBytes(dir.filePath(u"missing/parts.csv"_s), "x"));
    QVERIFY(!QFileInfo::exists(dir.filePath(u"missing"_s)));

    // A folder of drawings: when the second cannot be written, the first one this call made
    // goes again; files that were there before stay.
    const QString folder = dir.filePath(u"drawings"_s);
    QVERIFY(QDir().mkpath(folder + u"/切割2.dxf"_s)); // a folder where a drawing should go
    SaveBytes(folder + u"/切割3.dxf"_s, "earlier");
    TLayoutSheet one = sampleLayout(), two = sampleLayout(), three = sampleLayout();
    one.Number = 1, two.Number = 2, three.Number = 3;
    QVERIFY_THROWS_EXCEPTION(EExchangeError, SaveIntoFolder(folder, DxfFiles({ one, three, two })));
    QVERIFY(!QFileInfo::exists(folder + u"/切割1.dxf"_s));
    QVERIFY(QFileInfo::exists(folder + u"/切割3.dxf"_s));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { u"切割3.dxf"_s });

    const QStringList written = SaveIntoFolder(dir.filePath(u"fresh"_s), SvgFiles({ one, three }));
    QCOMPARE(written.size(), 2);
    QVERIFY(written[1].endsWith(u"切割3.svg"_s));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
