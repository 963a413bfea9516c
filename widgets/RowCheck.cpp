#include "RowCheck.h"

#include "RowSet.h"

#include <QCoreApplication>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(RowCheck)
};

QString cellText(const TRowSet &rows, int row, int column)
{
    return rows.data(rows.index(row, column), Qt::DisplayRole).toString().trimmed();
}

} // namespace

QList<TRowProblem> CheckRows(const TRowSet &rows, const QList<TColumnRule> &rules)
{
    QList<TRowProblem> problems;
    for (int r = 0; r < rows.recordCount(); ++r) {
        for (const TColumnRule &rule : rules) {
            const int column = rows.fieldIndex(rule.field);
            if (column < 0)
                continue;
            const QString text = cellText(rows, r, column);
            QString reason;
            if (text.isEmpty()) {
                if (rule.kind != TColumnRule::NonNegative)
                    reason = Tr::tr("不能为空");
            } else {
                bool ok = false;
                const double value = text.toDouble(&ok);
                if (!ok)
                    reason = Tr::tr("不是数字");
                else if (rule.kind == TColumnRule::Positive && !(value > 0))
                    reason = Tr::tr("必须大于0");
                else if (rule.kind != TColumnRule::Positive && value < 0)
                    reason = Tr::tr("不能小于0");
                else if (rule.maximum && value > *rule.maximum)
                    reason = Tr::tr("不能大于%1").arg(QString::number(*rule.maximum, 'g', 15));
            }
            if (!reason.isEmpty())
                problems.push_back({ r + 1, rule.title, reason });
        }
    }
    return problems;
}

QList<TRowProblem> TrimProblems(const TRowSet &rows, const QString &trimField,
    const QString &lengthField, const QString &widthField, const QString &trimTitle)
{
    QList<TRowProblem> problems;
    const int trim = rows.fieldIndex(trimField);
    const int length = rows.fieldIndex(lengthField);
    const int width = rows.fieldIndex(widthField);
    if (trim < 0 || length < 0 || width < 0)
        return problems;
    for (int r = 0; r < rows.recordCount(); ++r) {
        bool okT = false, okL = false, okW = false;
        const double t = cellText(rows, r, trim).toDouble(&okT);
        const double l = cellText(rows, r, length).toDouble(&okL);
        const double w = cellText(rows, r, width).toDouble(&okW);
        // Other rules speak of empty, negative and missing sizes.
        if (!okT || !okL || !okW || t <= 0 || l <= 0 || w <= 0)
            continue;
        if (2 * t >= l || 2 * t >= w)
            problems.push_back(
                { r + 1, trimTitle, Tr::tr("太大，两边修边后原材料没有可用的地方") });
    }
    return problems;
}

bool RowIsBlank(const TRowSet &rows, int row, const QList<TColumnRule> &rules)
{
    for (const TColumnRule &rule : rules) {
        const int column = rows.fieldIndex(rule.field);
        if (column >= 0 && !cellText(rows, row, column).isEmpty())
            return false;
    }
    return true;
}

QStringList DescribeProblems(
    const TRowSet &rows, const QList<TRowProblem> &problems, const QString &nameField)
{
    const int nameColumn = nameField.isEmpty() ? -1 : rows.fieldIndex(nameField);
    QStringList lines;
    for (const TRowProblem &p : problems) {
        QString line = Tr::tr("第%1行").arg(p.row);
        if (nameColumn >= 0) {
            const QString name = cellText(rows, p.row - 1, nameColumn);
            if (!name.isEmpty())
                line = Tr::tr("%1（%2）").arg(line, name);
        }
        lines << Tr::tr("%1 %2：%3").arg(line, p.column, p.reason);
    }
    return lines;
}

void DropBlankRows(TRowSet &rows, const QList<TColumnRule> &rules)
{
    int current = rows.recNo();
    for (int r = rows.recordCount() - 1; r >= 0; --r) {
        if (!RowIsBlank(rows, r, rules))
            continue;
        rows.setRecNo(r + 1);
        rows.deleteRecord();
        if (r + 1 < current)
            --current;
    }
    if (current >= 1 && current <= rows.recordCount())
        rows.setRecNo(current);
}

bool IsNumberedName(const QString &name, const QString &prefix)
{
    const QString t = name.trimmed();
    if (t.isEmpty())
        return true;
    if (!t.startsWith(prefix) || t.size() == prefix.size())
        return false;
    for (qsizetype i = prefix.size(); i < t.size(); ++i)
        if (t[i] < u'0' || t[i] > u'9')
            return false;
    return true;
}

void RenumberNames(TRowSet &rows, const QString &field, const QString &prefix)
{
    rows.disableControls();
    const auto reattach = qScopeGuard([&] { rows.enableControls(); });
    rows.first();
    const int count = rows.recordCount();
    for (int i = 1; i <= count; ++i) {
        const QString name = rows.field(field).asString();
        const QString numbered = prefix + QString::number(i);
        if (name != numbered && IsNumberedName(name, prefix)) {
            rows.edit();
            rows.field(field).setAsString(numbered);
            rows.post();
        }
        rows.next();
    }
}
