#include "Schema.h"

#include <QCoreApplication>

#include <cerrno>
#include <limits>
#include <signal.h>

#include "Currency.h"
#include "DBTransaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(DBSchema)
};

} // namespace

namespace DBSchema {

namespace {

QString quoteId(const QString &name)
{
    QString q = name;
    q.replace(u'"', u"\"\""_s);
    return u'"' + q + u'"';
}

QString storeText(const QSqlError &e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    return t;
}

QString columnDefinition(const TColumnDef &c)
{
    const QString id = quoteId(c.name);
    QString def = id + u' ' + DeclaredType(c.type);
    switch (c.type) {
    case ftAutoInc:
        def += u" PRIMARY KEY AUTOINCREMENT"_s;
        break;
    case ftInteger:
        def += u" CHECK (%1 IS NULL OR (typeof(%1) = 'integer' AND %1 BETWEEN -2147483648 AND 2147483647))"_s
                   .arg(id);
        break;
    case ftCurrency:
        def += u" CHECK (%1 IS NULL OR typeof(%1) = 'integer')"_s.arg(id);
        break;
    case ftDateTime:
        def += u" CHECK (%1 IS NULL OR (typeof(%1) = 'text' AND %1 GLOB "
               "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'))"_s
                   .arg(id);
        break;
    default:
        break;
    }
    return def;
}

// ---- seed data of a fresh install ----

struct SheetSeed
{
    const char16_t *name;
    int length, width;
    const char16_t *price;
};
// Common stock sizes of board material; prices per sheet.
const SheetSeed sheetLibrary[] = {
    { u"2440×1220", 2440, 1220, u"128.00" },
    { u"2750×1830", 2750, 1830, u"215.50" },
    { u"3050×1525", 3050, 1525, u"238.00" },
    { u"1830×915", 1830, 915, u"72.80" },
    { u"2440×1830", 2440, 1830, u"189.90" },
    { u"2800×2070", 2800, 2070, u"268.00" },
    { u"2440×915", 2440, 915, u"96.50" },
};

struct PartSeed
{
    const char16_t *name;
    int length, width;
};
// Parts of a plain base cabinet, 800 wide, 720 high and 560 deep, in 18 mm board.
const PartSeed partLibrary[] = {
    { u"侧板", 720, 560 },
    { u"底板", 764, 560 },
    { u"顶拉条", 764, 100 },
    { u"层板", 762, 520 },
    { u"门板", 716, 396 },
    { u"背板", 784, 704 },
    { u"抽屉面板", 796, 176 },
    { u"踢脚板", 800, 100 },
};

const char16_t *const exampleOrderNo = u"T20240315093000";
const char16_t *const exampleDate = u"2024-03-15 09:30:00";

struct ExampleSheet
{
    int scheme; // 1 or 2
    const char16_t *name;
    int length, width, kerf;
    const char16_t *price;
};
// Two schemes of the example project offer different stock for the same parts.
const ExampleSheet exampleSheets[] = {
    { 1, u"2440×1220", 2440, 1220, 4, u"128" },
    { 1, u"1830×915", 1830, 915, 4, u"72.8" },
    { 2, u"2750×1830", 2750, 1830, 4, u"215.5" },
    { 2, u"3050×1525", 3050, 1525, 4, u"238" },
};

struct ExamplePart
{
    const char16_t *name;
    int length, width, count;
};
// Two base cabinets.
const ExamplePart exampleParts[] = {
    { u"侧板", 720, 560, 4 },
    { u"底板", 764, 560, 2 },
    { u"顶拉条", 764, 100, 4 },
    { u"层板", 762, 520, 2 },
    { u"门板", 716, 396, 4 },
    { u"背板", 784, 704, 2 },
};

qint64 priceUnits(const char16_t *text)
{
    return TCurrency::parse(QString::fromUtf16(text)).value().units();
}

class Exec
{
public:
    explicit Exec(QSqlDatabase db)
        : FDb(db)
    { }
    QSqlQuery run(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(FDb);
        if (!q.prepare(sql))
            throw TDBError(Tr::tr("创建数据库失败：%1（%2）").arg(storeText(q.lastError()), sql));
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            throw TDBError(Tr::tr("创建数据库失败：%1（%2）").arg(storeText(q.lastError()), sql));
        return q;
    }

private:
    QSqlDatabase FDb;
};

void insertSeed(Exec &x)
{
    for (const SheetSeed &s : sheetLibrary)
        x.run(
            u"INSERT INTO \"原材料信息表\" (\"Name\", \"Length\", \"Width\", \"Price\") VALUES (?, ?, ?, ?)"_s,
            { QString::fromUtf16(s.name), s.length, s.width, priceUnits(s.price) });
    for (const PartSeed &p : partLibrary)
        x.run(u"INSERT INTO \"零件信息表\" (\"Name\", \"Length\", \"Width\") VALUES (?, ?, ?)"_s,
            { QString::fromUtf16(p.name), p.length, p.width });

    QSqlQuery project = x.run(u"INSERT INTO \"主数据表\" (\"单号\", \"日期\") VALUES (?, ?)"_s,
        { QString::fromUtf16(exampleOrderNo), QString::fromUtf16(exampleDate) });
    const qint64 projectId = project.lastInsertId().toLongLong();
    qint64 schemeIds[3] = {};
    for (int n = 1; n <= 2; ++n) {
        QSqlQuery scheme = x.run(u"INSERT INTO \"子数据表\" (\"PID\", \"名称\") VALUES (?, ?)"_s,
            { projectId, u"方案%1"_s.arg(n) });
        schemeIds[n] = scheme.lastInsertId().toLongLong();
    }
    for (const ExampleSheet &s : exampleSheets)
        x.run(
            u"INSERT INTO \"原材料表\" (\"ID\", \"名称\", \"长度\", \"宽度\", \"刀口\", \"价格\") "
            "VALUES (?, ?, ?, ?, ?, ?)"_s,
            { schemeIds[s.scheme], QString::fromUtf16(s.name), s.length, s.width, s.kerf,
                priceUnits(s.price) });
    for (const ExamplePart &p : exampleParts)
        x.run(
            u"INSERT INTO \"零件表\" (\"ID\", \"名称\", \"长度\", \"宽度\", \"数量\") VALUES (?, ?, ?, ?, ?)"_s,
            { projectId, QString::fromUtf16(p.name), p.length, p.width, p.count });
}

} // namespace

const QList<TTableDef> &Tables()
{
    static const QList<TTableDef> tables = {
        { Projects,
            { { u"ID"_s, ftAutoInc }, { u"单号"_s, ftString }, { u"日期"_s, ftDateTime } } },
        { Schemes,
            { { u"ID"_s, ftAutoInc }, { u"PID"_s, ftInteger }, { u"名称"_s, ftString },
                { u"利用率"_s, ftInteger }, { u"板材数量"_s, ftInteger }, { u"总面积"_s, ftFloat },
                { u"总价格"_s, ftFloat } } },
        { Sheets,
            { { u"ID"_s, ftInteger }, { u"名称"_s, ftString }, { u"长度"_s, ftInteger },
                { u"宽度"_s, ftInteger }, { u"刀口"_s, ftInteger }, { u"价格"_s, ftCurrency },
                { u"纹理"_s, ftInteger }, { u"修边"_s, ftInteger }, { u"库存"_s, ftInteger } } },
        { Parts,
            { { u"ID"_s, ftInteger }, { u"名称"_s, ftString }, { u"长度"_s, ftInteger },
                { u"宽度"_s, ftInteger }, { u"数量"_s, ftInteger }, { u"纹理"_s, ftInteger } } },
        { SheetLibrary,
            { { u"Name"_s, ftString }, { u"Length"_s, ftInteger }, { u"Width"_s, ftInteger },
                { u"Price"_s, ftCurrency }, { u"Grain"_s, ftInteger }, { u"Trim"_s, ftInteger },
                { u"Stock"_s, ftInteger } } },
        { PartLibrary,
            { { u"Name"_s, ftString }, { u"Length"_s, ftInteger }, { u"Width"_s, ftInteger },
                { u"Grain"_s, ftInteger } } },
    };
    return tables;
}

const QList<TAddedColumn> &AddedColumns()
{
    static const QList<TAddedColumn> added = {
        { Sheets, { u"纹理"_s, ftInteger } },
        { Sheets, { u"修边"_s, ftInteger } },
        { Sheets, { u"库存"_s, ftInteger } },
        { Parts, { u"纹理"_s, ftInteger } },
        { SheetLibrary, { u"Grain"_s, ftInteger } },
        { SheetLibrary, { u"Trim"_s, ftInteger } },
        { SheetLibrary, { u"Stock"_s, ftInteger } },
        { PartLibrary, { u"Grain"_s, ftInteger } },
    };
    return added;
}

QString DeclaredType(TFieldType type)
{
    switch (type) {
    case ftAutoInc:
    case ftInteger:
        return u"INTEGER"_s;
    case ftFloat:
        return u"REAL"_s;
    case ftCurrency:
        return u"CURRENCY"_s;
    case ftDateTime:
        return u"DATETIME"_s;
    case ftString:
    case ftUnknown:
        break;
    }
    return u"TEXT"_s;
}

TFieldType TypeFromDeclared(const QString &declared, bool primaryKey)
{
    const QString t = declared.trimmed().toUpper();
    if (t == u"INTEGER"_s)
        return primaryKey ? ftAutoInc : ftInteger;
    if (t == u"CURRENCY"_s || t == u"MONEY"_s)
        return ftCurrency;
    if (t == u"DATETIME"_s || t == u"DATE"_s || t == u"TIMESTAMP"_s)
        return ftDateTime;
    if (t.contains(u"INT"_s))
        return ftInteger;
    if (t.contains(u"REAL"_s) || t.contains(u"FLOA"_s) || t.contains(u"DOUB"_s))
        return ftFloat;
    if (t.contains(u"CHAR"_s) || t.contains(u"CLOB"_s) || t.contains(u"TEXT"_s))
        return ftString;
    return ftUnknown;
}

QStringList CreateStatements()
{
    QStringList out;
    for (const TTableDef &t : Tables()) {
        QStringList cols;
        for (const TColumnDef &c : t.columns)
            cols << columnDefinition(c);
        out << u"CREATE TABLE %1 (%2)"_s.arg(quoteId(t.name), cols.join(u", "_s));
    }
    // Owner columns are what every filtered query and cascade looks up.
    const struct
    {
        QString table, column;
    } indexes[] = { { Projects, u"单号"_s }, { Schemes, u"PID"_s }, { Sheets, u"ID"_s },
        { Parts, u"ID"_s } };
    for (const auto &ix : indexes)
        out << u"CREATE INDEX %1 ON %2 (%3)"_s.arg(
            quoteId(ix.table + u'_' + ix.column), quoteId(ix.table), quoteId(ix.column));
    return out;
}

namespace {

// Whether a process with this id runs (or exists at all) on this machine.
bool processExists(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

int RemoveStaleCreations(const QString &path)
{
    // A creation writes <file>.new-<process id>-<random> (and its journal) and renames it when
    // complete. One whose process is gone was killed part way: nothing will ever finish it.
    const QFileInfo target(path);
    const QString prefix = target.fileName() + u".new-"_s;
    int removed = 0;
    const QStringList names = target.absoluteDir().entryList(
        { prefix + u'*' }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString rest = name.mid(prefix.size());
        bool ok = false;
        const qint64 pid = rest.section(u'-', 0, 0).toLongLong(&ok);
        if (ok && processExists(pid))
            continue;
        if (QFile::remove(target.absoluteDir().absoluteFilePath(name)))
            ++removed;
    }
    return removed;
}

void CreateDatabase(const QString &path, TSeed seed)
{
    const QFileInfo target(path);
    if (target.absoluteDir().exists())
        RemoveStaleCreations(path);
    if (target.exists() || target.isSymLink())
        throw TDBError(
            Tr::tr("数据库文件“%1”已经存在，不会覆盖它").arg(QDir::toNativeSeparators(path)));
    if (!target.absoluteDir().exists())
        throw TDBError(Tr::tr("创建数据库失败：文件夹“%1”不存在")
                           .arg(QDir::toNativeSeparators(target.absolutePath())));

    const QString temp = target.absoluteFilePath() + u".new-"_s
        + QString::number(QCoreApplication::applicationPid()) + u'-'
        + QString::number(QRandomGenerator::global()->generate64(), 36);
    const QString connection = u"pnx-create-"_s + QFileInfo(temp).fileName();
    auto removeTemp = [&] {
        QFile::remove(temp);
        QFile::remove(temp + u"-journal"_s);
    };
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
            db.setDatabaseName(temp);
            if (!db.open())
                throw TDBError(Tr::tr("创建数据库文件“%1”失败：%2")
                                   .arg(QDir::toNativeSeparators(temp), storeText(db.lastError())));
            Exec x(db);
            x.run(u"PRAGMA journal_mode = DELETE"_s);
            x.run(u"PRAGMA synchronous = FULL"_s);
            x.run(u"BEGIN IMMEDIATE"_s);
            for (const QString &statement : CreateStatements())
                x.run(statement);
            if (seed == TSeed::Examples)
                insertSeed(x);
            x.run(u"COMMIT"_s);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    } catch (...) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        removeTemp();
        throw;
    }
    // rename() refuses to replace an existing file, so a file that appeared meanwhile stays.
    if (!QFile::rename(temp, target.absoluteFilePath())) {
        removeTemp();
        throw TDBError(
            Tr::tr("创建数据库失败：不能把临时文件改名为“%1”（文件已存在或文件夹不可写）")
                .arg(QDir::toNativeSeparators(path)));
    }
}

namespace {

// The columns of each table in the file, case-folded; a table missing from the file has none.
// Throws TDBError when the file cannot be read.
QHash<QString, QSet<QString>> FileColumns(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // No waiting for a lock here: the schema check has waited already.
    if (!q.exec(u"SELECT name FROM sqlite_master WHERE type = 'table'"_s))
        throw TDBError(storeText(q.lastError()));
    QSet<QString> tables;
    while (q.next())
        tables.insert(q.value(0).toString().toCaseFolded());
    QHash<QString, QSet<QString>> out;
    for (const TTableDef &t : Tables()) {
        if (!tables.contains(t.name.toCaseFolded()))
            continue;
        if (!q.exec(u"PRAGMA table_info(%1)"_s.arg(quoteId(t.name))))
            throw TDBError(storeText(q.lastError()));
        QSet<QString> &columns = out[t.name];
        while (q.next())
            columns.insert(q.value(1).toString().toCaseFolded());
    }
    return out;
}

TDBError upgradeRefused(const QString &shownFile, const QString &why)
{
    return TDBError(
        Tr::tr("数据库文件“%1”是上一版本的，要增加纹理、修边和库存等字段后才能使用，"
               "但不能升级：%2。文件没有改动；请让文件和它所在的文件夹可以写入后再打开。")
            .arg(shownFile, why));
}

bool isAdded(const QString &table, const QString &column)
{
    for (const TAddedColumn &a : AddedColumns())
        if (a.table == table && a.column.name == column)
            return true;
    return false;
}

} // namespace

bool UpgradeSchema(const QSqlDatabase &db, const QString &filePath)
{
    QHash<QString, QSet<QString>> present;
    try {
        present = FileColumns(db);
    } catch (const TDBError &) {
        return false; // not readable: the schema check says why
    }
    // Only a file of the version before: every table there with every column it had then.
    QList<TAddedColumn> missing;
    for (const TTableDef &t : Tables()) {
        if (!present.contains(t.name))
            return false;
        for (const TColumnDef &c : t.columns) {
            if (present[t.name].contains(c.name.toCaseFolded()))
                continue;
            if (!isAdded(t.name, c.name))
                return false;
            missing.append({ t.name, c });
        }
    }
    if (missing.isEmpty())
        return false;

    const QString shown = QDir::toNativeSeparators(filePath);
    const QString backup = filePath + u".bak"_s;
    const QString shownBackup = QDir::toNativeSeparators(backup);
    // Why the upgrade stopped; the transaction has rolled back by the time it is reported.
    struct TStop
    {
        QString why;
    };
    try {
        if (!QFileInfo(filePath).isWritable())
            throw TStop { Tr::tr("文件是只读的") };
        // The write lock first: nobody changes the file while it is copied and upgraded.
        TDBTransaction transaction(db, Tr::tr("升级数据库"));
        {
            // A connection that cannot write (opened read-only) is found before any copy is
            // made: writing the header's user version as it is fails there.
            QSqlQuery probe(db);
            if (!probe.exec(u"PRAGMA user_version"_s) || !probe.next())
                throw TStop { storeText(probe.lastError()) };
            const qint64 version = probe.value(0).toLongLong();
            probe.finish();
            if (!probe.exec(u"PRAGMA user_version = %1"_s.arg(version)))
                throw TStop { Tr::tr("文件不能写入（%1）").arg(storeText(probe.lastError())) };
        }
        {
            QFile source(filePath);
            if (!source.open(QIODevice::ReadOnly))
                throw TStop { Tr::tr("不能读取文件（%1）").arg(source.errorString()) };
            QSaveFile copy(backup);
            if (!copy.open(QIODevice::WriteOnly))
                throw TStop {
                    Tr::tr("不能建立备份“%1”（%2）").arg(shownBackup, copy.errorString())
                };
            for (;;) {
                const QByteArray block = source.read(1 << 20);
                if (block.isEmpty()) {
                    if (source.error() != QFileDevice::NoError)
                        throw TStop { Tr::tr("不能读取文件（%1）").arg(source.errorString()) };
                    break;
                }
                if (copy.write(block) != block.size())
                    throw TStop {
                        Tr::tr("不能写入备份“%1”（%2）").arg(shownBackup, copy.errorString())
                    };
            }
            if (!copy.commit())
                throw TStop {
                    Tr::tr("不能写入备份“%1”（%2）").arg(shownBackup, copy.errorString())
                };
        }
        QSqlQuery q(db);
        for (const TAddedColumn &a : std::as_const(missing)) {
            const QString sql = u"ALTER TABLE %1 ADD COLUMN %2"_s.arg(
                quoteId(a.table), columnDefinition(a.column));
            if (!q.exec(sql))
                throw TStop { storeText(q.lastError()) };
        }
        transaction.commit();
    } catch (const TStop &stop) {
        throw upgradeRefused(shown, stop.why);
    } catch (const TDBError &e) {
        throw upgradeRefused(shown, e.message());
    }
    return true;
}

void CheckSchema(const QSqlDatabase &db, const QString &filePath)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The first read of the file: a file that is not a database fails here, and a file another
    // program holds locked is waited for.
    if (!StoreExec(db, q, u"SELECT name FROM sqlite_master WHERE type = 'table'"_s)) {
        const QSqlError e = q.lastError();
        bool ok = false;
        const int code = e.nativeErrorCode().toInt(&ok) & 0xff;
        if (ok && (code == 5 || code == 6)) // busy, locked
            throw TDBError(
                Tr::tr("数据库文件正被其他程序使用，等待后仍被锁定（%1）").arg(storeText(e)));
        throw TDBError(Tr::tr("文件不是本系统可读的数据库，或已损坏（%1）").arg(storeText(e)));
    }
    QSet<QString> tables;
    while (q.next())
        tables.insert(q.value(0).toString().toCaseFolded());
    for (const TTableDef &t : Tables()) {
        if (!tables.contains(t.name.toCaseFolded()))
            throw TDBError(Tr::tr("数据库中缺少数据表“%1”").arg(t.name));
        if (!q.exec(u"PRAGMA table_info(%1)"_s.arg(quoteId(t.name))))
            throw TDBError(
                Tr::tr("不能读取数据表“%1”的结构（%2）").arg(t.name, storeText(q.lastError())));
        QSet<QString> columns;
        while (q.next())
            columns.insert(q.value(1).toString().toCaseFolded());
        for (const TColumnDef &c : t.columns)
            if (!columns.contains(c.name.toCaseFolded()))
                throw TDBError(Tr::tr("数据表“%1”中缺少字段“%2”").arg(t.name, c.name));
    }
    // A truncated or damaged file often still shows its schema; the structure check finds it.
    if (!q.exec(u"PRAGMA quick_check"_s))
        throw TDBError(Tr::tr("数据库文件已损坏（%1）").arg(storeText(q.lastError())));
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems != QStringList { u"ok"_s })
        throw TDBError(Tr::tr("数据库文件已损坏（%1）").arg(problems.mid(0, 3).join(u"; "_s)));

    // In rollback-journal mode the file always holds whole pages, never fewer than the
    // database counts (it only grows or shrinks by whole pages while committing).
    if (!filePath.isEmpty() && q.exec(u"PRAGMA journal_mode"_s) && q.next()
        && q.value(0).toString().compare(u"wal"_s, Qt::CaseInsensitive) != 0) {
        qint64 pageSize = 0, pageCount = 0;
        if (q.exec(u"PRAGMA page_size"_s) && q.next())
            pageSize = q.value(0).toLongLong();
        if (q.exec(u"PRAGMA page_count"_s) && q.next())
            pageCount = q.value(0).toLongLong();
        const qint64 size = QFileInfo(filePath).size();
        if (pageSize > 0 && (size % pageSize != 0 || size < pageSize * pageCount))
            throw TDBError(
                Tr::tr("数据库文件已损坏：文件长度 %1 字节不是完整的数据页（页大小 %2，页数 %3）")
                    .arg(size)
                    .arg(pageSize)
                    .arg(pageCount));
    }
}

} // namespace DBSchema
