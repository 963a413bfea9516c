#include "DBTransaction.h"

#include "DBTypes.h"
#include "DM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(TDBTransaction)
};

} // namespace

namespace {
QHash<QString, int> &depths()
{
    static QHash<QString, int> d;
    return d;
}

QString storeText(const QSqlError &e)
{
    const QString t = e.databaseText().trimmed();
    return t.isEmpty() ? e.driverText().trimmed() : t;
}

// The store's result code (extended codes included), or -1.
int resultCode(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? code : -1;
}

// Primary and extended result codes of the store that tell the user something.
enum : int {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26,
    ReadOnlyDbMoved = ReadOnly | (4 << 8),
    ReadOnlyDirectory = ReadOnly | (6 << 8),
};

// The file behind a connection: its name is either a path or a "file:" address (with options).
QString fileOf(const QSqlDatabase &db)
{
    const QString name = db.databaseName();
    if (name.startsWith(u"file:"_s))
        return QUrl(name).toLocalFile();
    return name == u":memory:"_s ? QString() : name;
}

// Why a failed call failed, in the user's terms; empty when the code tells nothing more.
QString reasonOf(const QSqlDatabase &db, int code)
{
    const QString file = fileOf(db);
    const QFileInfo info(file);
    const QString shownFile = QDir::toNativeSeparators(file);
    const QString shownFolder = QDir::toNativeSeparators(info.absolutePath());
    const auto folderNotWritable = [&] {
        return Tr::tr("：文件夹“%1”不允许写入（保存时要在数据库文件旁建立临时日志文件），"
                      "请让这个文件夹可以写入后再试")
            .arg(shownFolder);
    };
    switch (code & 0xff) {
    case Busy:
    case Locked:
        return Tr::tr("：数据库文件正被其他程序使用，等待后仍被锁定");
    case ReadOnly:
        if (file.isEmpty())
            return QString();
        if (code == ReadOnlyDbMoved)
            return Tr::tr("：数据库文件“%1”已被移走、改名或删除，请把它放回原处后再试")
                .arg(shownFile);
        if (code == ReadOnlyDirectory)
            return folderNotWritable();
        if (info.exists() && !info.isWritable())
            return Tr::tr("：数据库文件“%1”是只读的，请取消它的只读属性后再试").arg(shownFile);
        if (!QFileInfo(info.absolutePath()).isWritable())
            return folderNotWritable();
        return Tr::tr("：打开数据库文件“%1”时它不能写入；再试一次时程序会重新打开它")
            .arg(shownFile);
    case CantOpen:
        if (file.isEmpty())
            return QString();
        if (!info.exists())
            return Tr::tr("：找不到数据库文件“%1”，请把它放回原处后再试").arg(shownFile);
        if (!QFileInfo(info.absolutePath()).isWritable())
            return folderNotWritable();
        return Tr::tr("：不能打开数据库文件“%1”").arg(shownFile);
    case Full:
        return Tr::tr("：磁盘已满");
    case IoError:
        return file.isEmpty() ? QString() : Tr::tr("：读写数据库文件“%1”时出错").arg(shownFile);
    default:
        return QString();
    }
}

// A failure that a retry on a freshly opened connection may not meet again.
bool canGoAway(int code)
{
    switch (code & 0xff) {
    case Busy:
    case Locked:
    case ReadOnly:
    case IoError:
    case Corrupt:
    case Full:
    case CantOpen:
    case NotADatabase:
        return true;
    default:
        return false;
    }
}

StoreWait::THook &waitHook()
{
    static StoreWait::THook hook;
    return hook;
}

void setBusyTimeout(const QSqlDatabase &db, int ms)
{
    QSqlQuery(db).exec(u"PRAGMA busy_timeout = %1"_s.arg(ms));
}

} // namespace

QString StoreErrorText(const QString &what, const QString &storeText, const QString &nativeCode)
{
    QString text = what;
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6), possibly with extended bits.
    bool ok = false;
    const int code = nativeCode.toInt(&ok);
    if (ok && ((code & 0xff) == Busy || (code & 0xff) == Locked))
        text += Tr::tr("：数据库文件正被其他程序使用，等待后仍被锁定");
    if (!storeText.isEmpty())
        text = Tr::tr("%1（%2）").arg(text, storeText);
    return text;
}

TDBError StoreFailure(const QSqlDatabase &db, const QString &what, const QSqlError &error)
{
    const int code = resultCode(error);
    if (code >= 0 && canGoAway(code) && FrmDM
        && db.connectionName() == FrmDM->ADOCon().connectionName())
        FrmDM->setReconnectNeeded();
    QString text = what + reasonOf(db, code);
    const QString store = storeText(error);
    if (!store.isEmpty())
        text += u"（"_s + store + u"）"_s;
    return TDBError(text);
}

bool IsLockError(const QSqlError &error)
{
    const int code = resultCode(error);
    return code >= 0 && ((code & 0xff) == Busy || (code & 0xff) == Locked);
}

bool StoreExec(const QSqlDatabase &db, QSqlQuery &q, const QString &sql)
{
    const auto run = [&] { return sql.isEmpty() ? q.exec() : q.exec(sql); };
    setBusyTimeout(db, 0);
    bool ok = run();
    if (!ok && IsLockError(q.lastError())) {
        const StoreWait::THook hook = waitHook();
        if (hook)
            hook(StoreWait::waitingText());
        setBusyTimeout(db, TFrmDM::BusyTimeoutMs);
        ok = run();
        if (hook)
            hook(QString());
    }
    setBusyTimeout(db, TFrmDM::BusyTimeoutMs);
    return ok;
}

namespace StoreWait {
void setHook(THook hook)
{
    waitHook() = std::move(hook);
}
const THook &hook()
{
    return waitHook();
}
QString waitingText()
{
    return Tr::tr("数据库文件正被其他程序使用，正在等待（最多 %1 秒）……")
        .arg(TFrmDM::BusyTimeoutMs / 1000);
}
} // namespace StoreWait

TDBTransaction::TDBTransaction(const QSqlDatabase &db, const QString &purpose)
    : FDb(db)
    , FPurpose(purpose)
{
    FLevel = depths().value(FDb.connectionName(), 0);
    QSqlQuery q(FDb);
    if (FLevel == 0) {
        if (!StoreExec(FDb, q, u"BEGIN IMMEDIATE"_s)) {
            FDone = true;
            throw StoreFailure(FDb, Tr::tr("%1失败").arg(FPurpose), q.lastError());
        }
    } else if (!q.exec(u"SAVEPOINT pnx_sp%1"_s.arg(FLevel))) {
        FDone = true;
        throw StoreFailure(FDb, Tr::tr("%1失败").arg(FPurpose), q.lastError());
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
    // Committing may wait for other programs that are still reading the file.
    if (sql == u"COMMIT"_s ? StoreExec(FDb, q, sql) : q.exec(sql))
        return true;
    if (error)
        *error = StoreFailure(FDb, Tr::tr("%1失败").arg(FPurpose), q.lastError()).message();
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
