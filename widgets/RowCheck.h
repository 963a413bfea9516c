#pragma once
// Checks the numbers of the rows of a row set before they are saved or handed to the engine, so
// that a sheet of -1500 mm or a part without a length never goes further without a word. Each
// rule names a column (as the row set spells it) and the title the user sees on the grid; the
// problems come back as one line per offending cell, ready to be listed in one message.

#include "Currency.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TRowSet;

struct TColumnRule
{
    enum TKind {
        Positive, // a number above 0; empty is refused
        NonNegative, // empty, or a number of 0 or more
        RequiredNonNegative, // a number of 0 or more; empty is refused
    };
    QString field; // column of the row set (any letter case)
    QString title; // the grid's title of the column
    TKind kind = Positive;
    // The largest number allowed, if any (a number above it: "不能大于<maximum>").
    std::optional<double> maximum = std::nullopt;
};

struct TRowProblem
{
    int row = 0; // 1-based position in the row set
    QString column; // the column's title
    QString reason; // "不能为空", "必须大于0", "不能小于0" or "不能大于<maximum>"
};

// Every cell of every row that breaks its column's rule, row by row, in rule order. Reads the
// cached rows (pending changes included) without moving the current row. Columns the row set
// does not have are skipped.
QList<TRowProblem> CheckRows(const TRowSet &rows, const QList<TColumnRule> &rules);

// Rows whose trim (trimField, 0 or more) leaves nothing of the sheet: twice the trim not below
// the length or the width (columns lengthField, widthField, both above 0). The problem names the
// column by trimTitle: "第2行 修边：太大，两边修边后原材料没有可用的地方".
QList<TRowProblem> TrimProblems(const TRowSet &rows,
    const QString &trimField = QStringLiteral("修边"),
    const QString &lengthField = QStringLiteral("长度"),
    const QString &widthField = QStringLiteral("宽度"),
    const QString &trimTitle = QStringLiteral("修边"));

// Whether every column of the rules is empty in the row (0-based): a row the user started and
// left blank.
bool RowIsBlank(const TRowSet &rows, int row, const QList<TColumnRule> &rules);

// Deletes every row whose columns of the rules are all empty, keeping the current row where it
// was when that row stays. The deletions are pending like any other.
void DropBlankRows(TRowSet &rows, const QList<TColumnRule> &rules);

// One line per problem: "第3行 长：必须大于0", with the row's name before the cell when
// nameField is given and the name is not empty: "第3行（侧板） 长：必须大于0".
QStringList DescribeProblems(
    const TRowSet &rows, const QList<TRowProblem> &problems, const QString &nameField = {});

// Numbers the rows by position in the column field: row i gets prefix + i where its name is empty
// or one this numbering gave ("5" for an empty prefix, "方案5" for "方案"); a name the user typed
// is kept. Leaves the last row current, as the numbering walk did. The edits are pending like
// any other.
void RenumberNames(TRowSet &rows, const QString &field, const QString &prefix);
// Whether name is one RenumberNames gives (prefix followed by ASCII digits only) or empty.
bool IsNumberedName(const QString &name, const QString &prefix);
