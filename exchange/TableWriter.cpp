#include "TableWriter.h"

#include "ExchangeError.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QSet>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(TableWriter)
};

QString csvCell(const QVariant &v)
{
    QString text;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        text = QString::number(v.toDouble(), 'g', 15);
        break;
    default:
        text = v.toString();
    }
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r')
        || text.startsWith(u' ') || text.endsWith(u' ')) {
        text.replace(u"\""_s, u"\"\""_s);
        text = u'"' + text + u'"';
    }
    return text;
}

void writeAll(QIODevice &out, const QByteArray &bytes)
{
    if (out.write(bytes) != bytes.size())
        throw EExchangeError(Tr::tr("写入失败：%1").arg(out.errorString()));
}

// A worksheet name Excel takes: at most 31 characters, none of []:*?/\, unique in the book.
QString sheetName(const QString &title, QSet<QString> &taken)
{
    QString base = title;
    for (const QChar c : u"[]:*?/\\"_s)
        base.replace(c, u'_');
    base = base.trimmed();
    if (base.isEmpty())
        base = u"Sheet"_s;
    base = base.left(31);
    QString name = base;
    for (int n = 2; taken.contains(name.toLower()); ++n) {
        const QString suffix = u" (%1)"_s.arg(n);
        name = base.left(31 - suffix.size()) + suffix;
    }
    taken.insert(name.toLower());
    return name;
}

void check(lxw_error error)
{
    if (error != LXW_NO_ERROR)
        throw EExchangeError(
            Tr::tr("无法生成Excel文件：%1").arg(QString::fromUtf8(lxw_strerror(error))));
}

// Display width of a text in Excel's character units: CJK characters count double.
double textWidth(const QString &text)
{
    double w = 0;
    for (const QChar c : text)
        w += c.unicode() >= 0x2E80 ? 2.0 : 1.0;
    return w;
}

} // namespace

TExportTable PartListTable(const QList<TPartRow> &Parts)
{
    TExportTable t;
    t.Title = Tr::tr("零件清单");
    t.Header = { Tr::tr("名称"), Tr::tr("长度"), Tr::tr("宽度"), Tr::tr("数量") };
    for (const TPartRow &p : Parts)
        t.Rows.append({ p.Name, p.Length, p.Width, p.Quantity });
    return t;
}

TExportTable UsageTable(const QList<TUsageRow> &Usage)
{
    TExportTable t;
    t.Title = Tr::tr("原材料用量");
    t.Header = { Tr::tr("名称"), Tr::tr("长度"), Tr::tr("宽度"), Tr::tr("用量") };
    for (const TUsageRow &u : Usage)
        t.Rows.append({ u.Name, u.Length, u.Width, u.Sheets });
    return t;
}

TExportTable LayoutPartsTable(const std::vector<TLayoutSheet> &Layouts)
{
    TExportTable t;
    t.Title = Tr::tr("排样零件");
    t.Header = { Tr::tr("切割"), Tr::tr("原材料"), Tr::tr("原材料长度"), Tr::tr("原材料宽度"), Tr::tr("张数"),
        Tr::tr("名称"), Tr::tr("长度"), Tr::tr("宽度"), Tr::tr("每张数量"), Tr::tr("合计数量") };
    for (const TLayoutSheet &l : Layouts)
        for (const TLayoutPartCount &p : LayoutPartCounts(l))
            t.Rows.append({ Tr::tr("切割%1").arg(l.Number), l.SheetName, l.SheetLength, l.SheetWidth,
                l.SheetCount, p.Name, p.Length, p.Width, p.PerSheet, p.PerSheet * l.SheetCount });
    return t;
}

QByteArray CsvBytes(const TExportTable &Table)
{
    QString text;
    auto line = [&text](const QVariantList &cells) {
        for (int i = 0; i < cells.size(); ++i) {
            if (i)
                text += u',';
            text += csvCell(cells[i]);
        }
        text += u"\r\n"_s;
    };
    QVariantList header;
    for (const QString &h : Table.Header)
        header << h;
    line(header);
    for (const QVariantList &row : Table.Rows)
        line(row);
    return "\xEF\xBB\xBF" + text.toUtf8();
}

void WriteCsv(QIODevice &Out, const TExportTable &Table)
{
    writeAll(Out, CsvBytes(Table));
}

void WriteXlsx(QIODevice &Out, const QList<TExportTable> &Tables)
{
    // The library writes a file (and its own temporary files) in a folder of its own, which is
    // then read back whole and handed to Out.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw EExchangeError(
            Tr::tr("无法生成Excel文件：不能建立临时文件夹（%1）").arg(dir.errorString()));
    const QByteArray path = QFile::encodeName(dir.filePath(u"book.xlsx"_s));
    QByteArray tmp = QFile::encodeName(dir.path());
    lxw_workbook_options options {};
    options.tmpdir = tmp.data();
    lxw_workbook *book = workbook_new_opt(path.constData(), &options);
    if (!book)
        throw EExchangeError(Tr::tr("无法生成Excel文件：内存不足"));
    bool closed = false;
    try {
        lxw_format *bold = workbook_add_format(book);
        format_set_bold(bold);
        QSet<QString> taken;
        for (const TExportTable &t : Tables) {
            const QByteArray name = sheetName(t.Title, taken).toUtf8();
            lxw_worksheet *sheet = workbook_add_worksheet(book, name.constData());
            if (!sheet)
                throw EExchangeError(Tr::tr("无法生成Excel文件：不能建立工作表“%1”").arg(t.Title));
            QList<double> widths;
            for (int c = 0; c < t.Header.size(); ++c) {
                check(worksheet_write_string(
                    sheet, 0, lxw_col_t(c), t.Header[c].toUtf8().constData(), bold));
                widths << textWidth(t.Header[c]);
            }
            for (int r = 0; r < t.Rows.size(); ++r) {
                const QVariantList &row = t.Rows[r];
                for (int c = 0; c < row.size(); ++c) {
                    const QVariant &v = row[c];
                    const lxw_row_t at = lxw_row_t(r + 1);
                    QString shown;
                    switch (v.typeId()) {
                    case QMetaType::Int:
                    case QMetaType::LongLong:
                    case QMetaType::UInt:
                    case QMetaType::ULongLong:
                    case QMetaType::Double:
                        check(
                            worksheet_write_number(sheet, at, lxw_col_t(c), v.toDouble(), nullptr));
                        shown = QString::number(v.toDouble(), 'g', 15);
                        break;
                    default:
                        shown = v.toString();
                        if (!shown.isEmpty())
                            check(worksheet_write_string(
                                sheet, at, lxw_col_t(c), shown.toUtf8().constData(), nullptr));
                    }
                    if (c >= widths.size())
                        widths.resize(c + 1, 0.0);
                    widths[c] = qMax(widths[c], textWidth(shown));
                }
            }
            for (int c = 0; c < widths.size(); ++c)
                check(worksheet_set_column(
                    sheet, lxw_col_t(c), lxw_col_t(c), qBound(6.0, widths[c] + 2, 60.0), nullptr));
        }
        closed = true;
        check(workbook_close(book));
    } catch (...) {
        if (!closed)
            workbook_close(book);
        throw;
    }
    QFile file(dir.filePath(u"book.xlsx"_s));
    if (!file.open(QIODevice::ReadOnly))
        throw EExchangeError(Tr::tr("无法生成Excel文件：%1").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        throw EExchangeError(Tr::tr("无法生成Excel文件：%1").arg(file.errorString()));
    writeAll(Out, bytes);
}
