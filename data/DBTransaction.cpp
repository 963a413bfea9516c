#include "DBTransaction.h"

#include "DBTypes.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {
QHash<QString, int> &depths()
{
    static QHash<QString, int> d;
    return d;
}
} // namespace

QString StoreErrorText(const QString &what, const QString &storeText, const QString &nativeCode)
{
    QString text = what;
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6), possibly with extended bits.
    bool ok = false;
    const int code = nativeCode.toInt(&ok);
    if (ok && ((code & 0xff) == 5 || (code & 0xff) == 6))
        text += u"：数据库文件正被其他程序使用，等待后仍被锁定"_s;
    if (!storeText.isEmpty())
        text += u"（"_s + storeText + u"）"_s;
    return text;
}

TDBTransaction::TDBTransaction(const QSqlDatabase &db, const QString &purpose)
    : FDb(db)
    , FPurpose(purpose)
{
    FLevel = depths().value(FDb.connectionName(), 0);
    QString error;
    const QString sql = FLevel == 0 ? u"BEGIN IMMEDIATE"_s : u"SAVEPOINT pnx_sp%1"_s.arg(FLevel);
    QSqlQuery q(FDb);
    if (!q.exec(sql)) {
        FDone = true;
        throw TDBError(StoreErrorText(FPurpose + u"失败"_s,
            q.lastError().databaseText().isEmpty() ? q.lastError().driverText()
                                                   : q.lastError().databaseText(),
            q.lastError().nativeErrorCode()));
    }
    depths()[FDb.connectionName()] = FLevel + 1;
}

TDBTransaction::~TDBTransaction()
{
    if (!FDone)
        rollback();
}

int TDBTransaction::depth(const QSqlDatabase &db)
{
    return depths().value(db.connectionName(), 0);
}

bool TDBTransaction::run(const QString &sql, QString *error)
{
    QSqlQuery q(FDb);
    if (q.exec(sql))
        return true;
    if (error) {
        const QSqlError e = q.lastError();
        *error = StoreErrorText(FPurpose + u"失败"_s,
            e.databaseText().isEmpty() ? e.driverText() : e.databaseText(), e.nativeErrorCode());
    }
    return false;
}

void TDBTransaction::rollback()
{
    FDone = true;
    if (FLevel == 0) {
        run(u"ROLLBACK"_s);
    } else {
        run(u"ROLLBACK TO pnx_sp%1"_s.arg(FLevel));
        run(u"RELEASE pnx_sp%1"_s.arg(FLevel));
    }
    depths()[FDb.connectionName()] = FLevel;
}

void TDBTransaction::commit()
{
    if (FDone)
        return;
    QString error;
    const bool ok
        = FLevel == 0 ? run(u"COMMIT"_s, &error) : run(u"RELEASE pnx_sp%1"_s.arg(FLevel), &error);
    if (!ok) {
        // A failed COMMIT (for example still locked by a reader) leaves the transaction open.
        rollback();
        throw TDBError(error);
    }
    FDone = true;
    depths()[FDb.connectionName()] = FLevel;
}
