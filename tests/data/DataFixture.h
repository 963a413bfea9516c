#pragma once
// A fresh database in a temporary directory with the data module opened on it, plus raw
// access through a second connection for checks that must not go through the row sets.

#include "DM.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TTempStore
{
public:
    explicit TTempStore(DBSchema::TSeed seed = DBSchema::TSeed::None, bool open = true)
    {
        TFrmDM::setDatabaseDirectory(FDir.path());
        DBSchema::CreateDatabase(path(), seed);
        dm = std::make_unique<TFrmDM>();
        if (open)
            dm->DataModuleCreate();
    }
    ~TTempStore()
    {
        closeRaw();
        dm.reset();
        TFrmDM::setDatabaseDirectory(QString());
    }
    TTempStore(const TTempStore &) = delete;
    TTempStore &operator=(const TTempStore &) = delete;

    QString dir() const { return FDir.path(); }
    QString path() const { return FDir.filePath(QStringLiteral("pnx.dat")); }

    // A second, independent connection to the same file.
    QSqlDatabase raw()
    {
        if (!QSqlDatabase::contains(FRawName)) {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FRawName);
            db.setDatabaseName(path());
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open())
                qFatal("raw connection: %s", qPrintable(db.lastError().text()));
            // Test set-up only: no need to wait for the disk on every statement.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = OFF"));
        }
        return QSqlDatabase::database(FRawName);
    }
    void closeRaw()
    {
        if (QSqlDatabase::contains(FRawName)) {
            {
                QSqlDatabase db = QSqlDatabase::database(FRawName, false);
                db.close();
            }
            QSqlDatabase::removeDatabase(FRawName);
        }
    }
    void exec(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery q(raw());
        if (!q.prepare(sql))
            qFatal("prepare %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            qFatal("exec %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }
    QVariant scalar(const QString &sql)
    {
        QSqlQuery q(raw());
        if (!q.exec(sql) || !q.next())
            qFatal("scalar %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.value(0);
    }
    QStringList column(const QString &sql)
    {
        QSqlQuery q(raw());
        if (!q.exec(sql))
            qFatal("column %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        QStringList out;
        while (q.next())
            out << (q.isNull(0) ? QStringLiteral("<null>") : q.value(0).toString());
        return out;
    }
    // Every row of every table with its row id and the stored kind of each value, so that a
    // comparison shows any change the file went through.
    QString dump()
    {
        QString out;
        for (const DBSchema::TTableDef &t : DBSchema::Tables()) {
            QSqlQuery q(raw());
            if (!q.exec(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(t.name)))
                qFatal("dump: %s", qPrintable(q.lastError().text()));
            out += t.name + QLatin1Char('\n');
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << (q.isNull(i) ? QStringLiteral("<null>")
                                          : q.value(i).toString() + QLatin1Char(':')
                                + QString::fromLatin1(q.value(i).metaType().name()));
                out += cells.join(QLatin1Char('|')) + QLatin1Char('\n');
            }
        }
        out += QStringLiteral("seq ")
            + column(QStringLiteral("SELECT name || '=' || seq FROM sqlite_sequence ORDER BY name"))
                  .join(QLatin1Char(','));
        return out;
    }

    std::unique_ptr<TFrmDM> dm;

private:
    QTemporaryDir FDir;
    QString FRawName = QStringLiteral("raw-check-") + QString::number(quintptr(this));
};

// Runs the statement and returns the error message it threw, or "" when it threw nothing.
template <typename E = TDataError, typename F> QString errorOf(F &&f)
{
    try {
        f();
    } catch (const E &e) {
        return e.message();
    }
    return QString();
}
