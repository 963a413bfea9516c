// A pnx.dat of the version before (no grain, trim or stock columns) gains them when it is opened:
// after a copy pnx.dat.bak beside it, in one transaction, its rows and values kept and the
// designed statements working on it as before. A file that cannot be upgraded is left as it was,
// with a message saying why; a file of this version, or one that is not of the version before,
// is not touched.
#include "DataFixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// Writes at path a database of the version before with the example data of a fresh one: every
// table without the columns this version added.
void writePreviousVersion(const QString &path)
{
    QTemporaryDir fresh;
    const QString source = fresh.filePath(u"fresh.dat"_s);
    DBSchema::CreateDatabase(source, DBSchema::TSeed::Examples);
    const QString name = u"previous-version"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(u"ATTACH DATABASE '%1' AS fresh"_s.arg(source)));
        for (const DBSchema::TTableDef &t : DBSchema::Tables()) {
            QStringList columns, declared;
            for (const DBSchema::TColumnDef &c : t.columns) {
                bool added = false;
                for (const DBSchema::TAddedColumn &a : DBSchema::AddedColumns())
                    added = added || (a.table == t.name && a.column.name == c.name);
                if (added)
                    continue;
                columns << quoted(c.name);
                declared << quoted(c.name) + u' ' + DBSchema::DeclaredType(c.type)
                        + (c.type == ftAutoInc ? u" PRIMARY KEY AUTOINCREMENT"_s : QString());
            }
            QVERIFY2(q.exec(u"CREATE TABLE %1 (%2)"_s.arg(quoted(t.name), declared.join(u", "_s))),
                qPrintable(q.lastError().text()));
            QVERIFY2(q.exec(u"INSERT INTO %1 (%2) SELECT %2 FROM fresh.%1"_s.arg(
                         quoted(t.name), columns.join(u", "_s))),
                qPrintable(q.lastError().text()));
        }
        QVERIFY(q.exec(u"DETACH DATABASE fresh"_s));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Every row of every table, as text, in the columns of the version before.
QStringList previousContent(TTempStore &s)
{
    QStringList out;
    for (const DBSchema::TTableDef &t : DBSchema::Tables()) {
        QStringList columns;
        for (const DBSchema::TColumnDef &c : t.columns) {
            bool added = false;
            for (const DBSchema::TAddedColumn &a : DBSchema::AddedColumns())
                added = added || (a.table == t.name && a.column.name == c.name);
            if (!added)
                columns << u"ifnull(%1, '-')"_s.arg(quoted(c.name));
        }
        out << t.name + u": "_s
                + s.column(u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(
                               columns.join(u" || ' ' || "_s), quoted(t.name)))
                      .join(u" | "_s);
    }
    return out;
}

} // namespace

class TestUpgrade : public QObject
{
    Q_OBJECT
private slots:
    void previousVersion_gainsTheColumnsKeepsTheRowsAndLeavesACopy()
    {
        TTempStore s(DBSchema::TSeed::None, false);
        s.closeRaw();
        QFile::remove(s.path());
        writePreviousVersion(s.path());
        const QByteArray before = fileBytes(s.path());
        const QStringList content = previousContent(s);
        s.closeRaw();
        QVERIFY(content.join(u'\n').contains(u"侧板"_s));

        s.dm->DataModuleCreate();
        QVERIFY(s.dm->isConnected());
        // The copy is the file as it was.
        QCOMPARE(fileBytes(s.path() + u".bak"_s), before);
        // Every row and value kept; the new columns there, empty.
        QCOMPARE(previousContent(s), content);
        for (const DBSchema::TAddedColumn &a : DBSchema::AddedColumns())
            QCOMPARE(s.scalar(u"SELECT count(*) FROM %1 WHERE %2 IS NOT NULL"_s.arg(
                                  quoted(a.table), quoted(a.column.name)))
                         .toInt(),
                0);
        // The designed statements read the tables with their new columns, which take values.
        TRowSet sheets(Sql::SheetLibrary);
        sheets.open();
        QCOMPARE(sheets.recordCount(), 7);
        sheets.edit();
        sheets.field(u"Stock"_s).setAsInteger(5);
        sheets.field(u"Grain"_s).setAsInteger(1);
        sheets.updateBatch();
        TRowSet parts(Sql::PartsOfProject(1));
        parts.open();
        QCOMPARE(parts.recordCount(), 6);
        QCOMPARE(parts.field(u"纹理"_s).asString(), QString());
        QCOMPARE(s.scalar(u"SELECT Stock FROM 原材料信息表 ORDER BY rowid LIMIT 1"_s).toInt(), 5);

        // Opened again: nothing more to do, no copy made.
        QVERIFY(QFile::remove(s.path() + u".bak"_s));
        s.closeRaw();
        s.dm->DataModuleCreate();
        QVERIFY(!QFile::exists(s.path() + u".bak"_s));
    }

    // A file that cannot be written is not upgraded: it stays as it was, no copy is left, and
    // the message says why.
    void previousVersion_thatCannotBeWritten_isLeftUnchanged()
    {
        TTempStore s(DBSchema::TSeed::None, false);
        s.closeRaw();
        QFile::remove(s.path());
        writePreviousVersion(s.path());
        const QByteArray before = fileBytes(s.path());
        TFrmDM::setOpenReadOnly(true);
        const auto writable = qScopeGuard([] { TFrmDM::setOpenReadOnly(false); });
        QString message;
        try {
            s.dm->DataModuleCreate();
        } catch (const TDBError &e) {
            message = e.message();
        }
        QVERIFY2(message.contains(u"不能升级"_s) && message.contains(u"文件没有改动"_s),
            qPrintable(message));
        QVERIFY(!s.dm->isConnected());
        QCOMPARE(fileBytes(s.path()), before);
        QVERIFY(!QFile::exists(s.path() + u".bak"_s));
    }

    // Files that are not of the version before are left to the schema check, untouched.
    void otherFiles_areNotUpgraded()
    {
        TTempStore s(DBSchema::TSeed::None, false);
        s.exec(u"ALTER TABLE 零件信息表 RENAME TO 别的表"_s);
        s.closeRaw();
        const QByteArray before = fileBytes(s.path());
        QString message;
        try {
            s.dm->DataModuleCreate();
        } catch (const TDBError &e) {
            message = e.message();
        }
        QVERIFY2(message.contains(u"缺少数据表“零件信息表”"_s), qPrintable(message));
        QCOMPARE(fileBytes(s.path()), before);
        QVERIFY(!QFile::exists(s.path() + u".bak"_s));
    }
};

QTEST_GUILESS_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
