#include "RowCheck.h"

#include "RowSet.h"

using namespace Qt::StringLiterals;

namespace {

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
                    reason = u"不能为空"_s;
            } else {
                bool ok = false;
                const double value = text.toDouble(&ok);
                if (!ok)
                    reason = u"不是数字"_s;
                else if (rule.kind == TColumnRule::Positive && !(value > 0))
                    reason = u"必须大于0"_s;
                else if (rule.kind != TColumnRule::Positive && value < 0)
                    reason = u"不能小于0"_s;
                else if (rule.maximum && value > *rule.maximum)
                    reason = u"不能大于"_s + QString::number(*rule.maximum, 'g', 15);
            }
            if (!reason.isEmpty())
                problems.push_back({ r + 1, rule.title, reason });
        }
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
        QString line = u"第%1行"_s.arg(p.row);
        if (nameColumn >= 0) {
            const QString name = cellText(rows, p.row - 1, nameColumn);
            if (!name.isEmpty())
                line += u"（"_s + name + u"）"_s;
        }
        lines << line + u' ' + p.column + u"："_s + p.reason;
    }
    return lines;
}
