#include "XlsxReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QXmlStreamReader>

#include <zip.h>

#include <cmath>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(XlsxReader)
};

const QString RelNamespace
    = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s;

struct TXlsxError
{
    QString message;
};

QString damaged()
{
    return Tr::tr("Excel(.xlsx)文件已损坏，无法读取：请在Excel中打开并另存后再导入。");
}

// The archive, read from memory, with every unpacked byte counted against the caps.
class TArchive
{
public:
    explicit TArchive(const QByteArray &bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source
            = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
        if (source) {
            FZip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
            if (!FZip)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~TArchive()
    {
        if (FZip)
            zip_discard(FZip);
    }
    TArchive(const TArchive &) = delete;
    TArchive &operator=(const TArchive &) = delete;

    bool isOpen() const { return FZip != nullptr; }
    qint64 entryCount() const { return FZip ? zip_get_num_entries(FZip, 0) : 0; }

    // The unpacked part, or nothing when the archive has no such entry. Throws TXlsxError when
    // the entry cannot be read or unpacks beyond the caps.
    std::optional<QByteArray> read(const QString &name)
    {
        const QByteArray path = name.toUtf8();
        zip_int64_t index = zip_name_locate(FZip, path.constData(), 0);
        if (index < 0)
            index = zip_name_locate(FZip, path.constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return std::nullopt;
        zip_file_t *file = zip_fopen_index(FZip, zip_uint64_t(index), 0);
        if (!file) {
            const int code = zip_error_code_zip(zip_get_error(FZip));
            if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP)
                throw TXlsxError { Tr::tr("这个Excel文件有密码保护：请在Excel中去掉密码后再导入。") };
            throw TXlsxError { damaged() };
        }
        const std::unique_ptr<zip_file_t, int (*)(zip_file_t *)> closer(file, zip_fclose);
        QByteArray data;
        char buffer[65536];
        for (;;) {
            const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
            if (n < 0)
                throw TXlsxError { damaged() };
            if (n == 0)
                break;
            FTotal += n;
            if (data.size() + n > XlsxLimits::MaxPartBytes || FTotal > XlsxLimits::MaxTotalBytes)
                throw TXlsxError { Tr::tr("Excel(.xlsx)文件解压后太大（超过%"
                                      "1MB），不能导入：请只保留零件清单后另存再导入。")
                                       .arg(XlsxLimits::MaxPartBytes / (1024 * 1024)) };
            data.append(buffer, qsizetype(n));
        }
        return data;
    }

private:
    zip_t *FZip = nullptr;
    qint64 FTotal = 0;
};

void checkXml(const QXmlStreamReader &xml)
{
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        throw TXlsxError { damaged() };
    if (xml.hasError())
        throw TXlsxError { damaged() };
}

QString attribute(const QXmlStreamReader &xml, QStringView name)
{
    for (const QXmlStreamAttribute &a : xml.attributes())
        if (a.name() == name)
            return a.value().toString();
    return {};
}

// The relationship id of a <sheet>: r:id in the relationships namespace (any prefix).
QString relationshipId(const QXmlStreamReader &xml)
{
    for (const QXmlStreamAttribute &a : xml.attributes())
        if (a.name() == u"id"
            && (a.namespaceUri() == RelNamespace || a.qualifiedName().endsWith(u":id")))
            return a.value().toString();
    return {};
}

// The text of the <t> elements inside the current element (a shared string <si> or an inline
// string <is>), leaving out phonetic runs (<rPh>). Leaves the reader at the element's end.
QString richText(QXmlStreamReader &xml)
{
    QString text;
    int phonetic = 0;
    const int depthEnd = 1;
    int depth = depthEnd;
    while (depth > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType t = xml.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++depth;
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0) {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
            if (xml.name() == u"rPh")
                --phonetic;
        }
    }
    return text;
}

// The sheet part of the first visible sheet of the workbook (the first sheet when all are
// hidden), as a path inside the archive.
QString firstSheetPath(TArchive &archive)
{
    const QString fallback = u"xl/worksheets/sheet1.xml"_s;
    const std::optional<QByteArray> workbook = archive.read(u"xl/workbook.xml"_s);
    if (!workbook)
        throw TXlsxError { Tr::tr("这个文件不是Excel(.xlsx)工作簿（缺少workbook."
                              "xml）：请选择CSV、文本或Excel(.xlsx)文件。") };
    QString firstId, firstVisibleId;
    {
        QXmlStreamReader xml(*workbook);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet") {
                const QString id = relationshipId(xml);
                if (firstId.isEmpty())
                    firstId = id;
                const QString state = attribute(xml, u"state");
                if (firstVisibleId.isEmpty() && state != u"hidden" && state != u"veryHidden")
                    firstVisibleId = id;
            }
        }
        checkXml(xml);
    }
    const QString id = firstVisibleId.isEmpty() ? firstId : firstVisibleId;
    if (id.isEmpty())
        throw TXlsxError { Tr::tr("Excel(.xlsx)文件里没有工作表。") };
    const std::optional<QByteArray> rels = archive.read(u"xl/_rels/workbook.xml.rels"_s);
    if (!rels)
        return fallback;
    QXmlStreamReader xml(*rels);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship"
            && attribute(xml, u"Id") == id) {
            const QString target = attribute(xml, u"Target");
            if (target.isEmpty())
                break;
            const QString path = target.startsWith(u'/') ? target.mid(1) : u"xl/"_s + target;
            return QDir::cleanPath(path);
        }
    }
    checkXml(xml);
    return fallback;
}

QStringList sharedStrings(TArchive &archive)
{
    QStringList strings;
    const std::optional<QByteArray> part = archive.read(u"xl/sharedStrings.xml"_s);
    if (!part)
        return strings;
    QXmlStreamReader xml(*part);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si") {
            if (strings.size() >= XlsxLimits::MaxCells)
                throw TXlsxError { Tr::tr("Excel(.xlsx)文件的内容太多，不能导入。") };
            strings << richText(xml);
        }
    }
    checkXml(xml);
    return strings;
}

// A cell reference such as "C12": column (from 1) and row (from 1); nothing when malformed or
// beyond the sheet's limits.
struct TCellRef
{
    int column = 0;
    int row = 0;
};

std::optional<TCellRef> parseRef(QStringView ref)
{
    TCellRef r;
    qsizetype i = 0;
    qint64 column = 0, row = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 0x80) {
        column = column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (column > 16384)
            return std::nullopt;
        ++i;
    }
    while (i < ref.size() && ref[i] == u'$')
        ++i;
    const qsizetype digitsFrom = i;
    while (i < ref.size() && ref[i] >= u'0' && ref[i] <= u'9') {
        row = row * 10 + (ref[i].unicode() - u'0');
        if (row > 1048576)
            return std::nullopt;
        ++i;
    }
    if (i != ref.size())
        return std::nullopt;
    r.column = int(column);
    r.row = i > digitsFrom ? int(row) : 0;
    return r;
}

// A number as stored (a double in decimal) in its shortest form: "720", "0.3", "1.5e+20".
QString numberText(const QString &stored)
{
    bool ok = false;
    const double v = stored.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return stored.trimmed();
    return QString::number(v, 'g', 15);
}

struct TCell
{
    QString text;
    bool uncomputed = false;
};

TSourceTable readSheet(const QByteArray &part, const QStringList &strings)
{
    QMap<int, QMap<int, TCell>> rows;
    QList<QPair<TCellRef, TCellRef>> merges;
    qint64 cells = 0;

    QXmlStreamReader xml(part);
    int rowNumber = 0;
    int column = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == u"row") {
            bool ok = false;
            const int r = attribute(xml, u"r").toInt(&ok);
            if (ok && (r < 1 || r > 1048576))
                throw TXlsxError { damaged() };
            rowNumber = ok ? r : rowNumber + 1;
            column = 0;
        } else if (name == u"c") {
            const QString ref = attribute(xml, u"r");
            if (!ref.isEmpty()) {
                const std::optional<TCellRef> at = parseRef(ref);
                if (!at || at->column < 1)
                    throw TXlsxError { damaged() };
                column = at->column;
                if (at->row > 0)
                    rowNumber = at->row;
            } else {
                ++column;
            }
            if (rowNumber < 1)
                rowNumber = 1;
            const QString type = attribute(xml, u"t");
            QString value;
            bool hasValue = false, hasFormula = false, inlineText = false;
            QString inlineValue;
            // Children: <f>, <v>, <is>.
            while (!xml.atEnd()) {
                const QXmlStreamReader::TokenType t = xml.readNext();
                if (t == QXmlStreamReader::EndElement && xml.name() == u"c")
                    break;
                if (t != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == u"v") {
                    value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    hasValue = true;
                } else if (xml.name() == u"f") {
                    hasFormula = true;
                    xml.skipCurrentElement();
                } else if (xml.name() == u"is") {
                    inlineValue = richText(xml);
                    inlineText = true;
                } else {
                    xml.skipCurrentElement();
                }
            }
            QString text;
            if (type == u"s") {
                bool ok = false;
                const qint64 index = value.trimmed().toLongLong(&ok);
                if (hasValue && (!ok || index < 0 || index >= strings.size()))
                    throw TXlsxError { damaged() };
                if (hasValue)
                    text = strings[qsizetype(index)];
            } else if (type == u"inlineStr") {
                text = inlineText ? inlineValue : value;
            } else if (type == u"b") {
                text = value.trimmed() == u"1" ? u"TRUE"_s : u"FALSE"_s;
            } else if (type == u"str" || type == u"e" || type == u"d") {
                text = value;
            } else {
                text = hasValue ? numberText(value) : QString();
            }
            const bool uncomputed = hasFormula && !hasValue && !inlineText;
            if (text.trimmed().isEmpty() && !uncomputed)
                continue;
            if (column > ReadLimits::MaxColumns)
                throw TXlsxError { Tr::tr(
                    "第%1行在第%"
                    "2列之后还有内容，表格太宽，不能导入：请只保留零件清单后另存再导入。")
                                       .arg(rowNumber)
                                       .arg(ReadLimits::MaxColumns) };
            if (++cells > XlsxLimits::MaxCells)
                throw TXlsxError { Tr::tr("Excel(.xlsx)文件的内容太多，不能导入。") };
            rows[rowNumber][column] = { text, uncomputed };
            if (rows.size() > ReadLimits::MaxRows)
                throw TXlsxError { Tr::tr("表格超过%1行，不能导入。").arg(ReadLimits::MaxRows) };
        } else if (name == u"mergeCell") {
            const QStringList ends = attribute(xml, u"ref").split(u':');
            if (ends.size() != 2)
                continue;
            const std::optional<TCellRef> a = parseRef(ends[0]);
            const std::optional<TCellRef> b = parseRef(ends[1]);
            if (a && b && a->column >= 1 && a->row >= 1 && b->column >= a->column
                && b->row >= a->row)
                merges.append({ *a, *b });
        }
    }
    checkXml(xml);

    // A merged range shows its top-left value in every cell it covers: a part name merged over
    // several rows names each of them. Only rows that hold something else are filled, and only
    // up to the last column in use, so a title merged across a whole row stays one row.
    int lastColumn = 0;
    for (const auto &row : std::as_const(rows))
        if (!row.isEmpty())
            lastColumn = qMax(lastColumn, row.lastKey());
    for (const auto &[from, to] : std::as_const(merges)) {
        const auto fromRow = rows.constFind(from.row);
        if (fromRow == rows.cend())
            continue;
        const auto source = fromRow->constFind(from.column);
        if (source == fromRow->cend())
            continue;
        const TCell value = *source;
        for (auto it = rows.lowerBound(from.row); it != rows.end() && it.key() <= to.row; ++it)
            for (int c = from.column; c <= qMin(to.column, lastColumn); ++c)
                if (!it->contains(c))
                    it->insert(c, value);
    }

    TSourceTable table;
    table.Format = u"Excel(.xlsx)"_s;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        TSourceRow row;
        row.Number = it.key();
        const int width = it->isEmpty() ? 0 : it->lastKey();
        row.Cells.reserve(width);
        for (int c = 1; c <= width; ++c) {
            const auto cell = it->constFind(c);
            row.Cells << (cell == it->cend() ? QString() : cell->text);
            if (cell != it->cend() && cell->uncomputed)
                row.Uncomputed << c - 1;
        }
        table.Rows.append(std::move(row));
    }
    return table;
}

} // namespace

TReadOutcome ReadXlsx(const QByteArray &Bytes)
{
    TReadOutcome out;
    TArchive archive(Bytes);
    if (!archive.isOpen()) {
        out.Error = Tr::tr("这个文件不是有效的Excel(.xlsx)文件：文件可能已损坏，或者只是改了扩展名。");
        return out;
    }
    if (archive.entryCount() > XlsxLimits::MaxEntries) {
        out.Error = Tr::tr("Excel(.xlsx)文件的内容太多，不能导入。");
        return out;
    }
    try {
        const QString path = firstSheetPath(archive);
        const QStringList strings = sharedStrings(archive);
        const std::optional<QByteArray> sheet = archive.read(path);
        if (!sheet)
            throw TXlsxError { damaged() };
        out.Table = readSheet(*sheet, strings);
        out.Ok = true;
    } catch (const TXlsxError &e) {
        out.Error = e.message;
    } catch (const std::bad_alloc &) {
        out.Error = Tr::tr("Excel(.xlsx)文件的内容太多，不能导入。");
    }
    return out;
}
