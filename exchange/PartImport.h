#pragma once
// From a table read from a file (or pasted) to rows a list can take: which column holds what
// (guessed from the header, or from the content when there is none, and changeable by the
// caller), and every value checked before anything is written. Each bad cell is named with its
// row as the user sees it in the file, its column, its value and why it is refused; a row the
// caller leaves out is not looked at.

#include "ExchangeTypes.h"
#include "TableReader.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>

#include <optional>

enum class TFieldKind {
    Name, // text
    Length, // whole millimetres above 0, required
    Width, // whole millimetres above 0, required
    Quantity, // a whole number above 0; 1 when no column holds it
    Kerf, // whole millimetres, 0 or more; 0 when empty
    Price, // 0 or more, up to MaxSheetPrice, four decimals; none when empty
};

// One thing a list takes: its kind, the row set's column it goes into, and the title the user
// knows it by.
struct TImportField
{
    TFieldKind Kind;
    QString Column;
    QString Title;
};
using TImportTarget = QList<TImportField>;

namespace ImportTargets {
TImportTarget PartList(); // 零件表: 名称, 长度, 宽度, 数量
TImportTarget SheetList(); // 原材料表: 名称, 长度, 宽度, 刀口, 价格
TImportTarget PartLibrary(); // 零件信息表: Name, Length, Width
TImportTarget SheetLibrary(); // 原材料信息表: Name, Length, Width, Price
} // namespace ImportTargets

// The target for a grid: its columns (row-set column name, title) whose kind is known from the
// column name (名称/Name, 长度/Length, ...), in the grid's order.
TImportTarget TargetForColumns(const QList<QPair<QString, QString>> &Columns);

// The kind a header text stands for ("长度(mm)", "Qty", "数量（件）"), if any.
std::optional<TFieldKind> KindOfHeader(const QString &Header);

// Which source column feeds each field of the target (-1: none), and which row is the header
// (an index into the table's rows, -1: no header; rows above it are left out too).
struct TColumnMapping
{
    int HeaderRow = -1;
    QList<int> Columns;
    bool operator==(const TColumnMapping &) const = default;
};

// The header is the row among the first ten that names the most fields (at least two); each
// field takes the first column whose header names it. Without a header: a first column of text
// is the name, and the numbers follow in the target's order.
TColumnMapping GuessMapping(const TSourceTable &Table, const TImportTarget &Target);

// The mapping when row HeaderRow (an index into the table's rows) is the header: each field
// takes the first column whose header names it. -1: no header, columns guessed from the content.
TColumnMapping MappingForHeader(
    const TSourceTable &Table, const TImportTarget &Target, int HeaderRow);

struct TImportProblem
{
    int Row = 0; // as the user sees it in the file; 0 for a problem of the mapping
    QString Column; // "长度（C列）"
    QString Value;
    QString Reason;
    int SourceColumn = -1; // the file's column (from 0), -1 for a problem of the mapping
    QString text() const; // "第5行 长度（C列）：“720mm”带有单位，请只填数字（单位是毫米）"
};

struct TImportedRow
{
    int SourceRow = 0;
    // One per field of the target: QString for Name, int for the whole numbers, double (or a
    // null QVariant when empty) for Price.
    QVariantList Values;
};

struct TImportOutcome
{
    QList<TImportedRow> Rows;
    QList<TImportProblem> Problems;
    bool ok() const { return Problems.isEmpty(); }
};

// Converts the data rows (those below the header) whose mapped cells are not all blank; rows
// whose number is in Skip are left out. Problems come in row order.
TImportOutcome ConvertRows(const TSourceTable &Table, const TImportTarget &Target,
    const TColumnMapping &Mapping, const QSet<int> &Skip = {});

// The rows of a part-list import as part rows (fields found by kind; quantity 1 without one).
QList<TPartRow> ToPartRows(const TImportOutcome &Outcome, const TImportTarget &Target);

// "A", "B", ..., "Z", "AA" for a column index from 0.
QString ColumnLetter(int Column);
