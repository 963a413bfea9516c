// Part lists read from outside: encodings, CSV and tab-separated text, Excel workbooks, the
// guessed columns, every bad cell named, and files that are not what they claim to be.
#include "PartImport.h"
#include "TableReader.h"
#include "TextDecode.h"
#include "XlsxReader.h"
#include "ZipFixture.h"

#include <QStringEncoder>
#include <QtTest>

#include <random>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TColumnMapping)

namespace {

QByteArray gb18030(const QString &text)
{
    QStringEncoder e("GB18030");
    return e(text);
}

// The rows of a part-list import of the bytes, by the guessed mapping.
struct TImported
{
    TReadOutcome read;
    TImportOutcome outcome;
};

TImported importBytes(const QByteArray &bytes, const QString &name = u"parts.csv"_s)
{
    TImported r;
    r.read = ReadTableBytes(bytes, name);
    if (r.read.Ok)
        r.outcome = ConvertRows(r.read.Table, ImportTargets::PartList(),
            GuessMapping(r.read.Table, ImportTargets::PartList()));
    return r;
}

QStringList describe(const QList<TPartRow> &rows)
{
    QStringList out;
    for (const TPartRow &p : rows)
        out << u"%1 %2x%3 %4"_s.arg(p.Name).arg(p.Length).arg(p.Width).arg(p.Quantity);
    return out;
}

QStringList cellsOf(const TSourceTable &t)
{
    QStringList out;
    for (const TSourceRow &r : t.Rows)
        out << u"%1:%2"_s.arg(r.Number).arg(r.Cells.join(u'|'));
    return out;
}

TSourceTable table(const QList<QStringList> &rows)
{
    TSourceTable t;
    int n = 0;
    for (const QStringList &r : rows)
        t.Rows.append({ ++n, r, {} });
    return t;
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT
private slots:
    void decodeText_data();
    void decodeText();
    void gb18030Csv_importsChineseNames();
    void delimitedText_data();
    void delimitedText();
    void unterminatedQuote_namesItsLine();
    void guessMapping_data();
    void guessMapping();
    void badCells_data();
    void badCells();
    void problemText_namesRowColumnValueAndReason();
    void mappingProblems_comeBeforeAnyRow();
    void skippedRows_areNotChecked();
    void xlsx_readsStringsNumbersFormulasAndMergedCells();
    void xlsx_firstVisibleSheetIsRead();
    void badFiles_data();
    void badFiles();
    void readers_surviveAnyBytes();
};

void TestImport::decodeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text"); // empty: refused
    QTest::addColumn<QString>("encoding"); // or a fragment of the message
    const QString chinese = u"名称,长度\n侧板,720\n"_s;
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + chinese.toUtf8() << chinese << u"UTF-8"_s;
    QTest::newRow("UTF-8") << chinese.toUtf8() << chinese << u"UTF-8"_s;
    QTest::newRow("GB18030") << gb18030(chinese) << chinese << u"GB18030"_s;
    QTest::newRow("GBK, longer")
        << gb18030(u"零件名称,长度,宽度,数量\n抽屉面板,396,178,4\n门板,716,397,2\n"_s)
        << u"零件名称,长度,宽度,数量\n抽屉面板,396,178,4\n门板,716,397,2\n"_s << u"GB18030"_s;
    QByteArray utf16("\xFF\xFE");
    for (const QChar c : chinese)
        utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
    QTest::newRow("UTF-16 with mark") << utf16 << chinese << u"UTF-16LE"_s;
    QTest::newRow("binary") << QByteArray("\x7F"
                                          "ELF\x02\x01\x01\x00\x00\x00\x00",
        11) << QString() << u"不是文本文件"_s;
    QTest::newRow("neither UTF-8 nor GB18030")
        << QByteArray("a,b\n\x81\x81\xFF\x90,1\n") << QString() << u"编码"_s;
    QTest::newRow("UTF-8 mark, broken") << QByteArray("\xEF\xBB\xBF"
                                                      "a\xC3\x28")
                                        << QString() << u"UTF-8"_s;
}

void TestImport::decodeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, encoding);
    const TDecodedText d = DecodeText(bytes);
    if (text.isEmpty()) {
        QVERIFY(!d.Ok);
        QVERIFY2(d.Error.contains(encoding), qPrintable(d.Error));
    } else {
        QVERIFY2(d.Ok, qPrintable(d.Error));
        QCOMPARE(d.Text, text);
        QCOMPARE(d.Encoding, encoding);
    }
}

void TestImport::gb18030Csv_importsChineseNames()
{
    // As a Chinese spreadsheet program saves it: GBK, CRLF, a blank line, quantities last.
    const QByteArray bytes = gb18030(u"零件名称,长(mm),宽(mm),数量（件）\r\n"
                                     "左侧板,720,560,2\r\n"
                                     "\r\n"
                                     "抽屉面板,396,178,4\r\n"
                                     "背板（薄）,764,716,1\r\n"_s);
    const TImported r = importBytes(bytes);
    QVERIFY2(r.read.Ok, qPrintable(r.read.Error));
    QCOMPARE(r.read.Table.Encoding, u"GB18030"_s);
    QVERIFY(r.outcome.ok());
    QCOMPARE(describe(ToPartRows(r.outcome, ImportTargets::PartList())),
        QStringList({ u"左侧板 720x560 2"_s, u"抽屉面板 396x178 4"_s, u"背板（薄） 764x716 1"_s }));
    // Row numbers are the file's lines: the blank line still counts.
    QCOMPARE(r.outcome.Rows.last().SourceRow, 5);
}

void TestImport::delimitedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows"); // "line:cell|cell|..."
    QTest::newRow("quoted commas, quotes and line breaks")
        << u"名称,长度\n\"门板, 左\",720\n\"抽屉\"\"面\"\"板\",396\n\"两行\n名字\",100\n末行,5\n"_s
        << QStringList { u"1:名称|长度"_s, u"2:门板, 左|720"_s, u"3:抽屉\"面\"板|396"_s,
               u"4:两行\n名字|100"_s, u"6:末行|5"_s };
    QTest::newRow("tabs, as copied from a spreadsheet")
        << u"名称\t长\t宽\r\n侧板\t720\t560\r\n"_s
        << QStringList { u"1:名称|长|宽"_s, u"2:侧板|720|560"_s };
    QTest::newRow("semicolons") << u"name;length;width\nA;1;2"_s
                                << QStringList { u"1:name|length|width"_s, u"2:A|1|2"_s };
    QTest::newRow("blank lines and blank cells")
        << u"\n\n名称,长度\n,,\n侧板,720\n\n"_s
        << QStringList { u"3:名称|长度"_s, u"5:侧板|720"_s };
    QTest::newRow("old Mac line ends") << u"a,b\r1,2\r"_s << QStringList { u"1:a|b"_s, u"2:1|2"_s };
}

void TestImport::delimitedText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    const TReadOutcome r = ReadDelimitedText(text);
    QVERIFY2(r.Ok, qPrintable(r.Error));
    QCOMPARE(cellsOf(r.Table), rows);
}

void TestImport::unterminatedQuote_namesItsLine()
{
    const TReadOutcome r = ReadDelimitedText(u"名称,长度\n侧板,720\n\"门板,716\n顶板,800\n"_s);
    QVERIFY(!r.Ok);
    QVERIFY2(r.Error.startsWith(u"第3行"_s), qPrintable(r.Error));
}

void TestImport::guessMapping_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<int>("header");
    QTest::addColumn<QList<int>>("columns"); // 名称, 长度, 宽度, 数量
    QTest::newRow("Chinese") << QList<QStringList> { { u"名称"_s, u"长度"_s, u"宽度"_s,
        u"数量"_s } } << 0 << QList<int> { 0, 1, 2, 3 };
    QTest::newRow("English, other order")
        << QList<QStringList> { { u"Qty"_s, u"Width"_s, u"Length"_s, u"Name"_s } } << 0
        << QList<int> { 3, 2, 1, 0 };
    QTest::newRow("units and notes in the header") << QList<QStringList> {
        { u"序号"_s, u"零件名称"_s, u"长(mm)"_s, u"宽（mm）"_s, u"数量（件）"_s, u"备注"_s }
    } << 0 << QList<int> { 1, 2, 3, 4 };
    QTest::newRow("title rows above the header") << QList<QStringList> { { u"衣柜下料单"_s },
        { u"客户：张三"_s, u"日期：2024-05-01"_s }, { u"名称"_s, u"长"_s, u"宽"_s, u"quantity"_s },
        { u"侧板"_s, u"720"_s, u"560"_s, u"2"_s } }
                                                 << 2 << QList<int> { 0, 1, 2, 3 };
    QTest::newRow("no quantity column")
        << QList<QStringList> { { u"name"_s, u"length"_s, u"width"_s } } << 0
        << QList<int> { 0, 1, 2, -1 };
    QTest::newRow("no header, names first") << QList<QStringList> {
        { u"侧板"_s, u"720"_s, u"560"_s, u"2"_s }, { u"顶板"_s, u"800"_s, u"560"_s, u"1"_s }
    } << -1 << QList<int> { 0, 1, 2, 3 };
    QTest::newRow("no header, numbers only")
        << QList<QStringList> { { u"720"_s, u"560"_s, u"2"_s } } << -1
        << QList<int> { -1, 0, 1, 2 };
    QTest::newRow("one size word is no header")
        << QList<QStringList> { { u"长度"_s, u"720"_s, u"560"_s } } << -1
        << QList<int> { 0, 1, 2, -1 };
}

void TestImport::guessMapping()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(int, header);
    QFETCH(QList<int>, columns);
    const TColumnMapping m = GuessMapping(table(rows), ImportTargets::PartList());
    QCOMPARE(m.HeaderRow, header);
    QCOMPARE(m.Columns, columns);
}

void TestImport::badCells_data()
{
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("reason"); // empty: accepted
    QTest::addColumn<int>("value"); // the length taken when accepted
    QTest::newRow("unit mm") << u"720mm"_s << u"1"_s << u"带有单位“mm”，请只填数字（单位是毫米）"_s
                             << 0;
    QTest::newRow("unit cm, blank") << u"72 cm"_s << u"1"_s << u"带有单位“cm”"_s << 0;
    QTest::newRow("thousands separator") << u"1,220"_s << u"1"_s << u"千位分隔符"_s << 0;
    QTest::newRow("negative") << u"-5"_s << u"1"_s << u"必须大于0"_s << 0;
    QTest::newRow("zero") << u"0"_s << u"1"_s << u"必须大于0"_s << 0;
    QTest::newRow("fraction") << u"12.5"_s << u"1"_s << u"必须是整数（单位是毫米）"_s << 0;
    QTest::newRow("text") << u"abc"_s << u"1"_s << u"不是数字"_s << 0;
    QTest::newRow("empty") << QString() << u"1"_s << u"不能为空"_s << 0;
    QTest::newRow("beyond 32 bits") << u"99999999999"_s << u"1"_s << u"太大"_s << 0;
    QTest::newRow("quantity with unit")
        << u"720"_s << u"2件"_s << u"带有单位“件”，请只填数字"_s << 0;
    QTest::newRow("quantity fraction") << u"720"_s << u"1.5"_s << u"必须是整数"_s << 0;
    QTest::newRow("quantity empty") << u"720"_s << QString() << u"不能为空"_s << 0;
    QTest::newRow("full-width digits") << u"７２０"_s << u"1"_s << QString() << 720;
    QTest::newRow("whole number written as decimal") << u"720.0"_s << u"1"_s << QString() << 720;
    QTest::newRow("blanks around") << u" 720 "_s << u"1"_s << QString() << 720;
    QTest::newRow("exponent from a spreadsheet") << u"1.2E3"_s << u"1"_s << QString() << 1200;
}

void TestImport::badCells()
{
    QFETCH(QString, length);
    QFETCH(QString, quantity);
    QFETCH(QString, reason);
    QFETCH(int, value);
    const TSourceTable t = table({ { u"名称"_s, u"长度"_s, u"宽度"_s, u"数量"_s },
        { u"侧板"_s, length, u"560"_s, quantity }, { u"顶板"_s, u"800"_s, u"560"_s, u"1"_s } });
    const TImportOutcome o
        = ConvertRows(t, ImportTargets::PartList(), GuessMapping(t, ImportTargets::PartList()));
    if (reason.isEmpty()) {
        QVERIFY2(o.ok(), o.Problems.isEmpty() ? "" : qPrintable(o.Problems.first().text()));
        QCOMPARE(o.Rows.size(), 2);
        QCOMPARE(o.Rows.first().Values.value(1).toInt(), value);
        return;
    }
    QCOMPARE(o.Problems.size(), 1);
    const TImportProblem &p = o.Problems.first();
    QCOMPARE(p.Row, 2);
    QVERIFY2(p.Reason.contains(reason), qPrintable(p.Reason));
    QCOMPARE(p.Column, quantity == u"1"_s ? u"长度（B列）"_s : u"数量（D列）"_s);
    QCOMPARE(p.Value, quantity == u"1"_s ? length : quantity);
    // The bad row is not among the rows offered; the good one is.
    QCOMPARE(o.Rows.size(), 1);
    QCOMPARE(o.Rows.first().SourceRow, 3);
}

void TestImport::problemText_namesRowColumnValueAndReason()
{
    const TSourceTable t
        = table({ { u"名称"_s, u"长度"_s, u"宽度"_s }, { u"门板"_s, u"720mm"_s, u""_s } });
    const TImportOutcome o
        = ConvertRows(t, ImportTargets::PartList(), GuessMapping(t, ImportTargets::PartList()));
    QStringList texts;
    for (const TImportProblem &p : o.Problems)
        texts << p.text();
    QCOMPARE(texts,
        QStringList({ u"第2行 长度（B列）：“720mm”带有单位“mm”，请只填数字（单位是毫米）"_s,
            u"第2行 宽度（C列）：不能为空"_s }));
}

void TestImport::mappingProblems_comeBeforeAnyRow()
{
    const TSourceTable t
        = table({ { u"名称"_s, u"长度"_s, u"数量"_s }, { u"侧板"_s, u"720"_s, u"2"_s } });
    TColumnMapping m = GuessMapping(t, ImportTargets::PartList());
    QCOMPARE(m.Columns, QList<int>({ 0, 1, -1, 2 }));
    TImportOutcome o = ConvertRows(t, ImportTargets::PartList(), m);
    QCOMPARE(o.Problems.size(), 1);
    QCOMPARE(o.Problems.first().Row, 0);
    QVERIFY(o.Problems.first().text().startsWith(u"宽度："_s));
    QVERIFY(o.Rows.isEmpty());

    m.Columns[2] = 1; // width from the length's column
    o = ConvertRows(t, ImportTargets::PartList(), m);
    QCOMPARE(o.Problems.size(), 1);
    QVERIFY(o.Problems.first().text().contains(u"同一列"_s));

    m.Columns[2] = 2; // the caller's choice: width from the quantity column
    m.Columns[3] = -1;
    o = ConvertRows(t, ImportTargets::PartList(), m);
    QVERIFY(o.ok());
    QCOMPARE(describe(ToPartRows(o, ImportTargets::PartList())), QStringList { u"侧板 720x2 1"_s });
}

void TestImport::skippedRows_areNotChecked()
{
    const TSourceTable t = table({ { u"名称"_s, u"长度"_s, u"宽度"_s, u"数量"_s },
        { u"侧板"_s, u"720"_s, u"560"_s, u"2"_s }, { u"合计"_s, u""_s, u""_s, u"2"_s } });
    const TColumnMapping m = GuessMapping(t, ImportTargets::PartList());
    QCOMPARE(ConvertRows(t, ImportTargets::PartList(), m).Problems.size(), 2);
    const TImportOutcome o = ConvertRows(t, ImportTargets::PartList(), m, { 3 });
    QVERIFY(o.ok());
    QCOMPARE(o.Rows.size(), 1);
}

void TestImport::xlsx_readsStringsNumbersFormulasAndMergedCells()
{
    // Row 1: a title merged across; row 2: the header (one name split into rich-text runs with a
    // phonetic guide); row 3-4: a part name merged over two rows; row 5 missing (an empty row);
    // row 6: an inline string, a number with floating noise and a formula with its result;
    // row 7: a formula without a stored result.
    const QByteArray body
        = "<sheetData>"
          "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
          "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\" t=\"s\"><v>2</v></c>"
          "<c r=\"C2\" t=\"s\"><v>3</v></c><c r=\"D2\" t=\"s\"><v>4</v></c></row>"
          "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>5</v></c><c r=\"B3\"><v>720</v></c>"
          "<c r=\"C3\"><v>560</v></c><c r=\"D3\"><v>2</v></c></row>"
          "<row r=\"4\"><c r=\"B4\"><v>719.99999999999989</v></c><c r=\"C4\"><v>100</v></c>"
          "<c r=\"D4\"><v>1</v></c></row>"
          "<row r=\"6\"><c r=\"A6\" t=\"inlineStr\"><is><t>背板</t></is></c>"
          "<c r=\"B6\"><f>B3+44</f><v>764</v></c><c r=\"C6\" "
          "t=\"str\"><f>\"7\"&amp;\"16\"</f><v>716</v></c>"
          "<c r=\"D6\"><v>1</v></c></row>"
          "<row r=\"7\"><c r=\"A7\" t=\"inlineStr\"><is><t>顶板</t></is></c><c "
          "r=\"B7\"><f>B3*2</f></c>"
          "<c r=\"C7\"><v>560</v></c><c r=\"D7\"><v>1</v></c></row>"
          "</sheetData>"
          "<mergeCells count=\"2\"><mergeCell ref=\"A1:D1\"/><mergeCell "
          "ref=\"A3:A4\"/></mergeCells>";
    const QByteArray workbook = XlsxWorkbook({ body },
        { "<t>衣柜下料单</t>",
            "<r><t>零件</t></r><r><t>名称</t></r><rPh sb=\"0\" eb=\"2\"><t>lingjian</t></rPh>",
            "<t>长度</t>", "<t>宽度</t>", "<t>数量</t>", "<t xml:space=\"preserve\">侧板</t>" });
    const TReadOutcome r = ReadTableBytes(workbook, u"parts.xlsx"_s);
    QVERIFY2(r.Ok, qPrintable(r.Error));
    QCOMPARE(cellsOf(r.Table),
        QStringList({ u"1:衣柜下料单|衣柜下料单|衣柜下料单|衣柜下料单"_s,
            u"2:零件名称|长度|宽度|数量"_s, u"3:侧板|720|560|2"_s, u"4:侧板|720|100|1"_s,
            u"6:背板|764|716|1"_s, u"7:顶板||560|1"_s }));
    QCOMPARE(r.Table.Rows.last().Uncomputed, QList<int> { 1 });

    const TImportOutcome o = ConvertRows(
        r.Table, ImportTargets::PartList(), GuessMapping(r.Table, ImportTargets::PartList()));
    QCOMPARE(o.Problems.size(), 1);
    QCOMPARE(o.Problems.first().Row, 7);
    QVERIFY(o.Problems.first().Reason.contains(u"公式"_s));
    QCOMPARE(describe(ToPartRows(o, ImportTargets::PartList())),
        QStringList({ u"侧板 720x560 2"_s, u"侧板 720x100 1"_s, u"背板 764x716 1"_s }));
}

void TestImport::xlsx_firstVisibleSheetIsRead()
{
    const QByteArray hidden = "<sheetData><row r=\"1\"><c r=\"A1\" "
                              "t=\"inlineStr\"><is><t>隐藏</t></is></c></row></sheetData>";
    const QByteArray shown = "<sheetData><row r=\"1\"><c r=\"A1\" "
                             "t=\"inlineStr\"><is><t>显示</t></is></c></row></sheetData>";
    const TReadOutcome r = ReadXlsx(XlsxWorkbook({ hidden, shown }, {}, { true, false }));
    QVERIFY2(r.Ok, qPrintable(r.Error));
    QCOMPARE(cellsOf(r.Table), QStringList { u"1:显示"_s });
}

void TestImport::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message"); // a fragment of the error
    const QByteArray good = XlsxWorkbook(
        { "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>" }, {});
    QTest::newRow("empty") << QByteArray() << u"a.csv"_s << u"空的"_s;
    QByteArray binary(4096, '\0');
    std::mt19937 rng(7);
    for (char &c : binary)
        c = char(rng());
    QTest::newRow("binary renamed .csv") << binary << u"parts.csv"_s << u"不是文本文件"_s;
    QTest::newRow("old Excel") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)
            + QByteArray(600, '\0')
                               << u"parts.csv"_s << u".xls"_s;
    QTest::newRow("PDF") << QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj") << u"parts.txt"_s
                         << u"PDF"_s;
    QTest::newRow("text renamed .xlsx")
        << QByteArray("名称,长度\n") << u"parts.xlsx"_s << u"不是有效的Excel"_s;
    QTest::newRow("zip without a workbook")
        << ZipArchive({ { u"hello.txt"_s, "hello" } }) << u"parts.xlsx"_s << u"workbook.xml"_s;
    QTest::newRow("cut short") << good.left(good.size() / 2) << u"parts.xlsx"_s << u"Excel"_s;
    QByteArray flipped = good;
    for (qsizetype i = 60; i < flipped.size() - 200; i += 97)
        flipped[i] = char(flipped[i] ^ 0x5A);
    QTest::newRow("damaged inside") << flipped << u"parts.xlsx"_s << u"Excel"_s;
    QTest::newRow("shared string out of range") << XlsxWorkbook(
        { "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>9</v></c></row></sheetData>" }, {})
                                                << u"parts.xlsx"_s << u"已损坏"_s;
    QTest::newRow("cell reference beyond the sheet") << XlsxWorkbook(
        { "<sheetData><row r=\"1\"><c r=\"ZZZZ1\"><v>1</v></c></row></sheetData>" }, {})
                                                     << u"parts.xlsx"_s << u"已损坏"_s;
    QTest::newRow("too wide") << XlsxWorkbook(
        { "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c><c "
          "r=\"XFD1\"><v>1</v></c></row></sheetData>" },
        {}) << u"parts.xlsx"_s << u"太宽"_s;
    QTest::newRow("malformed XML")
        << XlsxWorkbook({ "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row></sheetData>" }, {})
        << u"parts.xlsx"_s << u"已损坏"_s;
    // A zip bomb: a sheet that unpacks to more than the cap from a few hundred kilobytes.
    const QByteArray huge
        = "<sheetData>" + QByteArray(XlsxLimits::MaxPartBytes + 1024, ' ') + "</sheetData>";
    QTest::newRow("zip bomb") << XlsxWorkbook({ huge }, {}) << u"parts.xlsx"_s << u"解压后太大"_s;
}

void TestImport::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QString, message);
    const TReadOutcome r = ReadTableBytes(bytes, name);
    QVERIFY(!r.Ok);
    QVERIFY2(r.Error.contains(message), qPrintable(r.Error));
}

void TestImport::readers_surviveAnyBytes()
{
    // Mutations of a valid workbook and a valid CSV, and random bytes: every read ends in a
    // table or a message, never in a crash or a hang.
    const QByteArray workbook
        = XlsxWorkbook({ "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" "
                         "t=\"s\"><v>1</v></c></row>"
                         "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>侧板</t></is></c><c "
                         "r=\"B2\"><v>720</v></c></row></sheetData>"
                         "<mergeCells><mergeCell ref=\"A2:A9\"/></mergeCells>" },
            { "<t>名称</t>", "<t>长度</t>" });
    const QByteArray csv
        = gb18030(u"名称,长度,宽度,数量\n\"侧板,左\",720,560,2\n顶板,800,560,1\n"_s);
    std::mt19937 rng(20240501);
    int tables = 0;
    for (int round = 0; round < 600; ++round) {
        QByteArray bytes = round % 3 == 0 ? workbook : round % 3 == 1 ? csv : QByteArray();
        if (bytes.isEmpty()) {
            bytes.resize(int(rng() % 2000));
            for (char &c : bytes)
                c = char(rng());
        } else {
            const int edits = 1 + int(rng() % 8);
            for (int e = 0; e < edits; ++e) {
                const qsizetype at = qsizetype(rng() % quint32(bytes.size()));
                switch (rng() % 3) {
                case 0:
                    bytes[at] = char(rng());
                    break;
                case 1:
                    bytes.remove(at, qsizetype(rng() % 16));
                    break;
                default:
                    bytes.insert(at, QByteArray(int(rng() % 16), char(rng())));
                }
            }
        }
        const TReadOutcome r = ReadTableBytes(bytes, round % 2 ? u"x.xlsx"_s : u"x.csv"_s);
        QVERIFY(r.Ok || !r.Error.isEmpty());
        if (r.Ok) {
            ++tables;
            const TImportOutcome o = ConvertRows(r.Table, ImportTargets::PartList(),
                GuessMapping(r.Table, ImportTargets::PartList()));
            for (const TImportProblem &p : o.Problems)
                QVERIFY(!p.text().isEmpty());
        }
    }
    QVERIFY(tables > 0);
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
