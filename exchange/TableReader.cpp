#include "TableReader.h"

#include "TextDecode.h"
#include "XlsxReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIODevice>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(TableReader)
};

TReadOutcome failure(const QString &message)
{
    TReadOutcome o;
    o.Error = message;
    return o;
}

bool blankRow(const QStringList &cells)
{
    for (const QString &c : cells)
        if (!c.trimmed().isEmpty())
            return false;
    return true;
}

// The delimiter the first lines use most (outside quotes); ties go to tab, then comma.
QChar guessDelimiter(const QString &text)
{
    const QChar candidates[] = { u'\t', u',', u';' };
    int best[3] = { 0, 0, 0 };
    int counts[3] = { 0, 0, 0 };
    bool quoted = false;
    int lines = 0;
    for (qsizetype i = 0; i < text.size() && lines < 20; ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            for (int k = 0; k < 3; ++k) {
                best[k] = qMax(best[k], counts[k]);
                counts[k] = 0;
            }
            ++lines;
        } else if (!quoted) {
            for (int k = 0; k < 3; ++k)
                if (c == candidates[k])
                    ++counts[k];
        }
    }
    for (int k = 0; k < 3; ++k)
        best[k] = qMax(best[k], counts[k]);
    int pick = 0;
    for (int k = 1; k < 3; ++k)
        if (best[k] > best[pick])
            pick = k;
    return candidates[pick];
}

bool hasSignature(const QByteArray &bytes, const char *signature)
{
    return bytes.startsWith(signature);
}

} // namespace

int TSourceTable::columnCount() const
{
    int n = 0;
    for (const TSourceRow &r : Rows)
        n = qMax(n, int(r.Cells.size()));
    return n;
}

TReadOutcome ReadDelimitedText(const QString &Text)
{
    TReadOutcome out;
    const QChar delimiter = guessDelimiter(Text);
    out.Table.Format = delimiter == u'\t' ? Tr::tr("制表符分隔文本") : u"CSV"_s;

    QStringList cells;
    QString cell;
    int line = 1; // the line the current record starts on
    int physical = 1; // the line being read
    qsizetype i = 0;
    const qsizetype n = Text.size();
    auto endRecord = [&]() -> bool {
        cells << cell;
        cell.clear();
        if (!blankRow(cells)) {
            if (out.Table.Rows.size() >= ReadLimits::MaxRows) {
                out.Error = Tr::tr("表格超过%1行，不能导入。").arg(ReadLimits::MaxRows);
                return false;
            }
            out.Table.Rows.append({ line, cells, {} });
        }
        cells.clear();
        line = physical;
        return true;
    };
    while (i < n) {
        const QChar c = Text[i];
        if (c == u'"' && cell.trimmed().isEmpty()) {
            // A quoted cell: up to the closing quote; "" is one quote.
            const int startLine = physical;
            cell.clear();
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar q = Text[i];
                if (q == u'"') {
                    if (i + 1 < n && Text[i + 1] == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (q == u'\n' || (q == u'\r' && !(i + 1 < n && Text[i + 1] == u'\n')))
                    ++physical;
                cell += q;
                ++i;
            }
            if (!closed) {
                out.Error
                    = Tr::tr("第%1行：引号“\"”开始的内容直到文件结束都没有结束引号，文件可能不完整。")
                          .arg(startLine);
                return out;
            }
            // Text after the closing quote up to the delimiter belongs to the cell.
            continue;
        }
        if (c == delimiter) {
            cells << cell;
            cell.clear();
            if (cells.size() > ReadLimits::MaxColumns) {
                out.Error = Tr::tr("第%1行超过%2列，不能导入。").arg(line).arg(ReadLimits::MaxColumns);
                return out;
            }
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            i += (c == u'\r' && i + 1 < n && Text[i + 1] == u'\n') ? 2 : 1;
            ++physical;
            if (!endRecord())
                return out;
            continue;
        }
        cell += c;
        ++i;
    }
    if (!cell.isEmpty() || !cells.isEmpty()) {
        if (!endRecord())
            return out;
    }
    out.Ok = true;
    return out;
}

TReadOutcome ReadTableBytes(const QByteArray &Bytes, const QString &FileName)
{
    if (Bytes.isEmpty())
        return failure(Tr::tr("文件是空的。"));
    if (Bytes.size() > ReadLimits::MaxFileBytes)
        return failure(
            Tr::tr("文件太大（超过%1MB），不能导入。").arg(ReadLimits::MaxFileBytes / (1024 * 1024)));
    const QString suffix = QFileInfo(FileName).suffix().toLower();
    if (hasSignature(Bytes, "PK\x03\x04") || hasSignature(Bytes, "PK\x05\x06"))
        return ReadXlsx(Bytes);
    if (hasSignature(Bytes, "\xD0\xCF\x11\xE0"))
        return failure(Tr::tr("这是旧版Excel(.xls)或其他Office文件，不能直接导入：请在Excel中另存为."
                          "xlsx或CSV文件后再导入。"));
    if (suffix == u"xlsx" || suffix == u"xlsm")
        return failure(
            Tr::tr("这个文件不是有效的Excel(.xlsx)文件：文件可能已损坏，或者只是改了扩展名。"));
    if (hasSignature(Bytes, "%PDF"))
        return failure(Tr::tr("这是PDF文件，不是表格：请选择CSV、文本或Excel(.xlsx)文件。"));
    const TDecodedText text = DecodeText(Bytes);
    if (!text.Ok)
        return failure(text.Error);
    TReadOutcome out = ReadDelimitedText(text.Text);
    out.Table.Encoding = text.Encoding;
    return out;
}

TReadOutcome ReadTableFile(QIODevice &In, const QString &FileName)
{
    if (!In.isOpen() && !In.open(QIODevice::ReadOnly))
        return failure(Tr::tr("无法打开文件：%1").arg(In.errorString()));
    const QByteArray bytes = In.read(ReadLimits::MaxFileBytes + 1);
    if (bytes.isEmpty() && !In.atEnd())
        return failure(Tr::tr("无法读取文件：%1").arg(In.errorString()));
    return ReadTableBytes(bytes, FileName);
}
