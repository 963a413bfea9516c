#pragma once
// The stored format of pnx.dat in one place: the six tables with their columns and types, the
// statements that create them, the seed data of a fresh install, and the check that an opened
// file really carries this schema.
//
// Storage: SQLite, rollback journal, synchronous=FULL. Column declarations:
//   auto-number  INTEGER PRIMARY KEY AUTOINCREMENT (never reused)
//   integer      INTEGER, checked to hold integers
//   floating     REAL
//   currency     CURRENCY, checked to hold integers: a count of ten-thousandths (33.3 is 333000)
//   text         TEXT
//   date-time    DATETIME, checked to hold the text "yyyy-MM-dd HH:mm:ss" (local time)
// Tables without a key of their own (原材料表, 零件表 and the two libraries) are identified by
// the store's row id, which no row-set column shows.

#include "DBTypes.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace DBSchema {

inline const QString Projects = QStringLiteral("主数据表");
inline const QString Schemes = QStringLiteral("子数据表");
inline const QString Sheets = QStringLiteral("原材料表");
inline const QString Parts = QStringLiteral("零件表");
inline const QString SheetLibrary = QStringLiteral("原材料信息表");
inline const QString PartLibrary = QStringLiteral("零件信息表");

struct TColumnDef
{
    QString name;
    TFieldType type;
};

struct TTableDef
{
    QString name;
    QList<TColumnDef> columns;
};

// The six tables, in the order they are created.
const QList<TTableDef> &Tables();

// A column this version added to a table of the version before (grain, trim, stock).
struct TAddedColumn
{
    QString table;
    TColumnDef column;
};
const QList<TAddedColumn> &AddedColumns();

// Upgrades a file of the version before in place: when db (open) holds the six tables with every
// column of that version and lacks some of the added ones, the file is first copied to
// "<filePath>.bak" beside it (through a temporary file, replacing an older copy) and the missing
// columns are added, all under one transaction. Returns true when it upgraded; false when there
// was nothing to do or the file is not of that version (the schema check then says what is
// wrong). Throws TDBError when the file needs upgrading but cannot be (read-only, locked, the
// copy fails): the file is then left as it was.
bool UpgradeSchema(const QSqlDatabase &db, const QString &filePath);

// CREATE TABLE and CREATE INDEX statements of an empty database.
QStringList CreateStatements();

// Declared type of a column of the given logical type, and back (the row sets read the
// declared types of the file they open).
QString DeclaredType(TFieldType type);
TFieldType TypeFromDeclared(const QString &declared, bool primaryKey);

enum class TSeed {
    None, // the empty schema
    Examples // sheet and part libraries plus one example project with two schemes
};

// Creates a new database file at path. The file is built under a temporary name beside it and
// renamed into place at the end, so no half-built file ever carries the name; an existing file
// is never overwritten (that is an error). Temporary files that an earlier creation killed part
// way left beside it are removed first. Throws TDBError.
void CreateDatabase(const QString &path, TSeed seed);
// Removes the temporary files (and journals) of creations of path whose process has ended;
// returns how many files went.
int RemoveStaleCreations(const QString &path);

// Checks that db (open) is a readable database holding the six tables with all their columns
// and that its structure is intact; given the file's path, also that the file holds whole pages
// (a file cut short by part of a page can otherwise pass the structure check). Throws
// TDBError naming what is wrong.
void CheckSchema(const QSqlDatabase &db, const QString &filePath = QString());

} // namespace DBSchema
