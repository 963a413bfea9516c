#include "PartImport.h"

#include "Currency.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(PartImport)
};

// Header texts of each kind, most telling first, as they read after normalise().
struct TSynonyms
{
    TFieldKind kind;
    QStringList words;
};

const QList<TSynonyms> &synonyms()
{
    static const QList<TSynonyms> table = {
        { TFieldKind::Name,
            { u"名称"_s, u"零件名称"_s, u"零件名"_s, u"板件名称"_s, u"板件名"_s, u"部件名称"_s,
                u"部件名"_s, u"名字"_s, u"品名"_s, u"零件"_s, u"部件"_s, u"板件"_s, u"name"_s,
                u"partname"_s, u"part"_s, u"description"_s } },
        { TFieldKind::Length,
            { u"长度"_s, u"长"_s, u"开料长度"_s, u"开料长"_s, u"成品长度"_s, u"成品长"_s,
                u"length"_s, u"len"_s, u"l"_s } },
        { TFieldKind::Width,
            { u"宽度"_s, u"宽"_s, u"开料宽度"_s, u"开料宽"_s, u"成品宽度"_s, u"成品宽"_s,
                u"width"_s, u"w"_s } },
        { TFieldKind::Quantity,
            { u"数量"_s, u"件数"_s, u"块数"_s, u"个数"_s, u"数"_s, u"qty"_s, u"quantity"_s,
                u"count"_s, u"pcs"_s, u"number"_s } },
        { TFieldKind::Kerf, { u"刀口"_s, u"锯缝"_s, u"kerf"_s } },
        { TFieldKind::Price,
            { u"价格"_s, u"单价"_s, u"价钱"_s, u"price"_s, u"unitprice"_s, u"cost"_s } },
    };
    return table;
}

const QStringList &wordsOf(TFieldKind kind)
{
    for (const TSynonyms &s : synonyms())
        if (s.kind == kind)
            return s.words;
    static const QStringList none;
    return none;
}

// The header the user is asked to write for a field: the first of its words, in the language of
// the interface (the English words are among the words too).
QString headerWord(TFieldKind kind)
{
    switch (kind) {
    case TFieldKind::Name:
        return Tr::tr("名称");
    case TFieldKind::Length:
        return Tr::tr("长度");
    case TFieldKind::Width:
        return Tr::tr("宽度");
    case TFieldKind::Quantity:
        return Tr::tr("数量");
    case TFieldKind::Kerf:
        return Tr::tr("刀口");
    case TFieldKind::Price:
        return Tr::tr("价格");
    }
    return wordsOf(kind).value(0);
}

// A header as compared: compatibility forms folded (full-width letters), lower case, without
// bracketed notes ("(mm)", "（件）"), blanks, punctuation and a trailing unit.
QString normalise(const QString &header)
{
    QString h = header.normalized(QString::NormalizationForm_KC).toLower();
    static const QRegularExpression bracketed(u"\\([^)]*\\)|\\[[^\\]]*\\]|【[^】]*】|〔[^〕]*〕"_s);
    h.remove(bracketed);
    static const QRegularExpression noise(u"[\\s:：*/._\\-#№]"_s);
    h.remove(noise);
    for (const QString &unit : { u"mm"_s, u"毫米"_s })
        if (h.size() > unit.size() && h.endsWith(unit))
            h.chop(unit.size());
    return h;
}

QString cellOf(const TSourceRow &row, int column)
{
    return column >= 0 && column < row.Cells.size() ? row.Cells[column] : QString();
}

// The text as a number, or why it is not one.
struct TNumberRead
{
    std::optional<double> value;
    QString reason;
};

TNumberRead readNumber(const QString &text, bool millimetres)
{
    const QString t = text.normalized(QString::NormalizationForm_KC).trimmed();
    static const QRegularExpression plain(u"^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"_s);
    if (plain.match(t).hasMatch()) {
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (ok && std::isfinite(v))
            return { v, {} };
        return { std::nullopt, Tr::tr("太大") };
    }
    static const QRegularExpression grouped(u"^[+-]?\\d{1,3}([,' ]\\d{3})+(\\.\\d+)?$"_s);
    if (grouped.match(t).hasMatch())
        return { std::nullopt, Tr::tr("含有千位分隔符，请只填数字，不要分隔符") };
    static const QRegularExpression withUnit(u"^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)\\s*(\\D+)$"_s);
    const QRegularExpressionMatch m = withUnit.match(t);
    if (m.hasMatch()) {
        const QString unit = m.captured(3).trimmed();
        if (unit.contains(QRegularExpression(u"[\\p{L}]"_s)))
            return { std::nullopt,
                millimetres ? Tr::tr("带有单位“%1”，请只填数字（单位是毫米）").arg(unit)
                            : Tr::tr("带有单位“%1”，请只填数字").arg(unit) };
    }
    return { std::nullopt, Tr::tr("不是数字") };
}

bool isWhole(double v)
{
    return std::abs(v - std::round(v)) < 1e-9;
}

// Checks one cell for its field; returns the value, or sets reason. Empty cells of optional
// fields give their default.
QVariant convert(TFieldKind kind, const QString &raw, QString &reason)
{
    const QString text = raw.trimmed();
    if (kind == TFieldKind::Name) {
        QString name = raw;
        for (QChar &c : name)
            if (c.category() == QChar::Other_Control)
                c = u' ';
        return name.trimmed();
    }
    if (text.isEmpty()) {
        switch (kind) {
        case TFieldKind::Length:
        case TFieldKind::Width:
        case TFieldKind::Quantity:
            reason = Tr::tr("不能为空");
            return {};
        case TFieldKind::Kerf:
            return 0;
        default:
            return QVariant(); // price: none
        }
    }
    const bool millimetres
        = kind == TFieldKind::Length || kind == TFieldKind::Width || kind == TFieldKind::Kerf;
    const TNumberRead n = readNumber(text, millimetres);
    if (!n.value) {
        reason = n.reason;
        return {};
    }
    const double v = *n.value;
    if (kind == TFieldKind::Price) {
        if (v < 0) {
            reason = Tr::tr("不能小于0");
            return {};
        }
        if (v > MaxSheetPrice) {
            reason = Tr::tr("不能大于%1").arg(QString::number(MaxSheetPrice, 'f', 0));
            return {};
        }
        const std::optional<TCurrency> c = TCurrency::fromDouble(v);
        if (!c) {
            reason = Tr::tr("不是数字");
            return {};
        }
        return c->toDouble();
    }
    if (!isWhole(v)) {
        reason = millimetres ? Tr::tr("必须是整数（单位是毫米）") : Tr::tr("必须是整数");
        return {};
    }
    if (v > double(INT_MAX)) {
        reason = Tr::tr("太大（最大%1）").arg(INT_MAX);
        return {};
    }
    if (kind == TFieldKind::Kerf) {
        if (v < 0) {
            reason = Tr::tr("不能小于0");
            return {};
        }
    } else if (v <= 0) {
        reason = Tr::tr("必须大于0");
        return {};
    }
    return int(std::llround(v));
}

bool looksNumeric(const QString &cell)
{
    return readNumber(cell, false).value.has_value();
}

} // namespace

QString ColumnLetter(int Column)
{
    QString s;
    int n = Column + 1;
    while (n > 0) {
        const int r = (n - 1) % 26;
        s.prepend(QChar(u'A' + r));
        n = (n - 1) / 26;
    }
    return s;
}

QString TImportProblem::text() const
{
    if (Row <= 0)
        return Column.isEmpty() ? Reason : Tr::tr("%1：%2").arg(Column, Reason);
    if (Value.trimmed().isEmpty())
        return Tr::tr("第%1行 %2：%3").arg(Row).arg(Column, Reason);
    QString shown = Value.simplified();
    if (shown.size() > 40)
        shown = shown.left(40) + u"…"_s;
    return Tr::tr("第%1行 %2：“%3”%4").arg(Row).arg(Column, shown, Reason);
}

namespace ImportTargets {

TImportTarget PartList()
{
    return { { TFieldKind::Name, u"名称"_s, Tr::tr("名称") },
        { TFieldKind::Length, u"长度"_s, Tr::tr("长度") }, { TFieldKind::Width, u"宽度"_s, Tr::tr("宽度") },
        { TFieldKind::Quantity, u"数量"_s, Tr::tr("数量") } };
}

TImportTarget SheetList()
{
    return { { TFieldKind::Name, u"名称"_s, Tr::tr("名称") },
        { TFieldKind::Length, u"长度"_s, Tr::tr("长度") }, { TFieldKind::Width, u"宽度"_s, Tr::tr("宽度") },
        { TFieldKind::Kerf, u"刀口"_s, Tr::tr("刀口") }, { TFieldKind::Price, u"价格"_s, Tr::tr("价格") } };
}

TImportTarget PartLibrary()
{
    return { { TFieldKind::Name, u"Name"_s, Tr::tr("名称") }, { TFieldKind::Length, u"Length"_s, Tr::tr("长") },
        { TFieldKind::Width, u"Width"_s, Tr::tr("宽") } };
}

TImportTarget SheetLibrary()
{
    return { { TFieldKind::Name, u"Name"_s, Tr::tr("名称") }, { TFieldKind::Length, u"Length"_s, Tr::tr("长") },
        { TFieldKind::Width, u"Width"_s, Tr::tr("宽") }, { TFieldKind::Price, u"Price"_s, Tr::tr("价格") } };
}

} // namespace ImportTargets

std::optional<TFieldKind> KindOfHeader(const QString &Header)
{
    const QString h = normalise(Header);
    if (h.isEmpty())
        return std::nullopt;
    for (const TSynonyms &s : synonyms())
        if (s.words.contains(h))
            return s.kind;
    return std::nullopt;
}

TImportTarget TargetForColumns(const QList<QPair<QString, QString>> &Columns)
{
    TImportTarget target;
    for (const auto &[column, title] : Columns) {
        std::optional<TFieldKind> kind = KindOfHeader(column);
        if (!kind)
            kind = KindOfHeader(title);
        if (!kind)
            continue;
        bool taken = false;
        for (const TImportField &f : std::as_const(target))
            taken = taken || f.Kind == *kind;
        if (!taken)
            target.append({ *kind, column, title });
    }
    return target;
}

TColumnMapping GuessMapping(const TSourceTable &Table, const TImportTarget &Target)
{
    // The header: the row among the first ten that names the most fields of the target.
    int header = -1;
    int bestScore = 1;
    for (int r = 0; r < qMin<qsizetype>(10, Table.Rows.size()); ++r) {
        QSet<TFieldKind> named;
        for (const QString &cell : Table.Rows[r].Cells)
            if (const std::optional<TFieldKind> k = KindOfHeader(cell))
                for (const TImportField &f : Target)
                    if (f.Kind == *k)
                        named.insert(*k);
        if (named.size() > bestScore) {
            bestScore = int(named.size());
            header = r;
        }
    }
    return MappingForHeader(Table, Target, header);
}

TColumnMapping MappingForHeader(
    const TSourceTable &Table, const TImportTarget &Target, int HeaderRow)
{
    TColumnMapping mapping;
    mapping.Columns = QList<int>(Target.size(), -1);
    if (HeaderRow >= Table.Rows.size())
        HeaderRow = -1;
    mapping.HeaderRow = std::max(HeaderRow, -1);

    if (mapping.HeaderRow >= 0) {
        const QStringList &cells = Table.Rows[mapping.HeaderRow].Cells;
        QList<QString> normalised;
        for (const QString &c : cells)
            normalised << normalise(c);
        QSet<int> used;
        for (int f = 0; f < Target.size(); ++f) {
            for (const QString &word : wordsOf(Target[f].Kind)) {
                const int c = int(normalised.indexOf(word));
                if (c >= 0 && !used.contains(c)) {
                    mapping.Columns[f] = c;
                    used.insert(c);
                    break;
                }
            }
        }
        return mapping;
    }

    // No header: a leading column of text is the name; the numbers follow in target order.
    const int columns = Table.columnCount();
    int next = 0;
    int textRows = 0, seen = 0;
    for (int r = 0; r < qMin<qsizetype>(5, Table.Rows.size()); ++r) {
        const QString cell = cellOf(Table.Rows[r], 0).trimmed();
        if (cell.isEmpty())
            continue;
        ++seen;
        if (!looksNumeric(cell))
            ++textRows;
    }
    if (seen > 0 && textRows * 2 >= seen) {
        for (int f = 0; f < Target.size(); ++f)
            if (Target[f].Kind == TFieldKind::Name)
                mapping.Columns[f] = 0;
        next = 1;
    }
    for (int f = 0; f < Target.size() && next < columns; ++f)
        if (Target[f].Kind != TFieldKind::Name)
            mapping.Columns[f] = next++;
    return mapping;
}

TImportOutcome ConvertRows(const TSourceTable &Table, const TImportTarget &Target,
    const TColumnMapping &Mapping, const QSet<int> &Skip)
{
    TImportOutcome out;
    const QStringList header = Mapping.HeaderRow >= 0 && Mapping.HeaderRow < Table.Rows.size()
        ? Table.Rows[Mapping.HeaderRow].Cells
        : QStringList();
    auto columnText = [&](int f) {
        const int c = Mapping.Columns.value(f, -1);
        const QString title = c >= 0 && c < header.size() && !header[c].trimmed().isEmpty()
            ? header[c].simplified()
            : Target[f].Title;
        return c < 0 ? title : Tr::tr("%1（%2列）").arg(title, ColumnLetter(c));
    };

    // The mapping first: the sizes must come from somewhere, and from two different columns.
    for (int f = 0; f < Target.size(); ++f) {
        const TFieldKind k = Target[f].Kind;
        const int c = Mapping.Columns.value(f, -1);
        if (c < 0 && (k == TFieldKind::Length || k == TFieldKind::Width))
            out.Problems.append({ 0, Target[f].Title, {},
                Tr::tr("没有找到“%1”列：表头应写“%2”，或者选择文件中的哪一列是%1")
                    .arg(Target[f].Title, headerWord(k)) });
        for (int g = 0; g < f && c >= 0; ++g)
            if (Mapping.Columns.value(g, -1) == c)
                out.Problems.append({ 0, {}, {},
                    Tr::tr("“%1”和“%2”用了同一列（%3列）")
                        .arg(Target[g].Title, Target[f].Title, ColumnLetter(c)) });
    }
    if (!out.Problems.isEmpty())
        return out;

    for (int r = Mapping.HeaderRow + 1; r < Table.Rows.size(); ++r) {
        const TSourceRow &row = Table.Rows[r];
        if (Skip.contains(row.Number))
            continue;
        bool blank = true;
        for (int f = 0; f < Target.size() && blank; ++f) {
            const int c = Mapping.Columns.value(f, -1);
            blank = cellOf(row, c).trimmed().isEmpty() && !row.Uncomputed.contains(c);
        }
        if (blank)
            continue;
        TImportedRow imported;
        imported.SourceRow = row.Number;
        bool good = true;
        for (int f = 0; f < Target.size(); ++f) {
            const int c = Mapping.Columns.value(f, -1);
            const QString cell = cellOf(row, c);
            if (c >= 0 && row.Uncomputed.contains(c)) {
                out.Problems.append({ row.Number, columnText(f), {},
                    Tr::tr("是公式，但文件里没有保存计算结果：请在Excel中打开并保存文件后再导入"), c });
                good = false;
                imported.Values << QVariant();
                continue;
            }
            QVariant value;
            if (c < 0 && Target[f].Kind == TFieldKind::Quantity) {
                value = 1;
            } else {
                QString reason;
                value = convert(Target[f].Kind, cell, reason);
                if (!reason.isEmpty()) {
                    out.Problems.append({ row.Number, columnText(f), cell, reason, c });
                    good = false;
                }
            }
            imported.Values << value;
        }
        if (good)
            out.Rows.append(std::move(imported));
    }
    return out;
}

QList<TPartRow> ToPartRows(const TImportOutcome &Outcome, const TImportTarget &Target)
{
    auto indexOf = [&Target](TFieldKind k) {
        for (int f = 0; f < Target.size(); ++f)
            if (Target[f].Kind == k)
                return f;
        return -1;
    };
    const int name = indexOf(TFieldKind::Name), length = indexOf(TFieldKind::Length),
              width = indexOf(TFieldKind::Width), quantity = indexOf(TFieldKind::Quantity);
    QList<TPartRow> rows;
    for (const TImportedRow &r : Outcome.Rows)
        rows.append({ r.Values.value(name).toString(), r.Values.value(length).toInt(),
            r.Values.value(width).toInt(), quantity < 0 ? 1 : r.Values.value(quantity).toInt() });
    return rows;
}
