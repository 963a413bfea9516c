#include "DM.h"

#include "DataPlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(TFrmDM)
};

} // namespace

TFrmDM *FrmDM = nullptr;

namespace {

QString &directoryOverride()
{
    static QString dir;
    return dir;
}

bool &openReadOnly()
{
    static bool on = false;
    return on;
}

QString storeText(const QSqlError &e)
{
    const QString t = e.databaseText().trimmed();
    return t.isEmpty() ? e.driverText().trimmed() : t;
}

QString notOpenText()
{
    QString text = Tr::tr("数据库没有打开，不能执行语句");
    if (FrmDM && !FrmDM->lastError().isEmpty())
        text = Tr::tr("%1（%2）").arg(text, FrmDM->lastError());
    return text;
}

} // namespace

TFrmDM::TFrmDM(QObject *parent)
    : QObject(parent)
{
    static int instances = 0;
    FConnectionName = u"ADOCon-%1"_s.arg(++instances);
    QSqlDatabase::addDatabase(u"QSQLITE"_s, FConnectionName);
    if (!FrmDM)
        FrmDM = this;
}

TFrmDM::~TFrmDM()
{
    {
        QSqlDatabase db = QSqlDatabase::database(FConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(FConnectionName);
    if (FrmDM == this)
        FrmDM = nullptr;
}

QString TFrmDM::databaseDirectory()
{
    return QFileInfo(databaseFile()).absolutePath();
}

void TFrmDM::setDatabaseDirectory(const QString &dir)
{
    directoryOverride() = dir;
}

void TFrmDM::setOpenReadOnly(bool on)
{
    openReadOnly() = on;
}

QString TFrmDM::databaseFile()
{
    if (!directoryOverride().isEmpty())
        return QDir(directoryOverride()).absoluteFilePath(u"pnx.dat"_s);
    return DataPlace::current().databaseFile;
}

bool TFrmDM::provideDatabase()
{
    if (!directoryOverride().isEmpty())
        return false;
    return DataPlace::provide(DataPlace::current(), DataPlace::templateDatabase());
}

QSqlDatabase TFrmDM::ADOCon() const
{
    return QSqlDatabase::database(FConnectionName, false);
}

bool TFrmDM::isConnected() const
{
    return FConnected && ADOCon().isOpen();
}

void TFrmDM::ensureConnected()
{
    if (isConnected() && !FReconnectNeeded)
        return;
    if (TDBTransaction::depth(ADOCon()) > 0)
        return;
    DataModuleCreate();
}

void TFrmDM::DataModuleCreate()
{
    FConnected = false;
    FReconnectNeeded = false;
    FLastError.clear();
    QSqlDatabase db = ADOCon();
    if (db.isOpen())
        db.close();
    const QString path = databaseFile();
    const QString shown = QDir::toNativeSeparators(path);
    try {
        if (!db.isValid())
            throw TDBError(
                Tr::tr("不能打开数据库文件“%1”：SQLite 数据库驱动（QSQLITE）不可用").arg(shown));
        const QFileInfo info(path);
        // mode=rw: open an existing file for reading and writing, never create one.
        db.setDatabaseName(QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded())
            + (openReadOnly() ? u"?mode=ro"_s : u"?mode=rw"_s));
        db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1"_s.arg(BusyTimeoutMs));
        if (!db.open()) {
            const QSqlError e = db.lastError();
            if (!info.exists())
                throw TDBError(Tr::tr("找不到数据库文件“%1”（%2）").arg(shown, storeText(e)));
            throw TDBError(StoreErrorText(
                Tr::tr("不能打开数据库文件“%1”").arg(shown), storeText(e), e.nativeErrorCode()));
        }
        try {
            DBSchema::CheckSchema(db, path);
        } catch (const TDBError &e) {
            // A file of the version before gains the columns of this one (after a copy beside
            // it); one that cannot be upgraded is left as it was, and the message says why.
            if (!DBSchema::UpgradeSchema(db, path))
                throw TDBError(Tr::tr("不能使用数据库文件“%1”：%2").arg(shown, e.message()));
            try {
                DBSchema::CheckSchema(db, path);
            } catch (const TDBError &again) {
                throw TDBError(Tr::tr("不能使用数据库文件“%1”：%2").arg(shown, again.message()));
            }
        }
        {
            QSqlQuery q(db);
            // Each commit is flushed to the disk before the save returns, so a crash or power
            // loss leaves the file as before or after a save.
            if (!q.exec(u"PRAGMA synchronous = FULL"_s))
                throw TDBError(StoreErrorText(Tr::tr("不能使用数据库文件“%1”").arg(shown),
                    storeText(q.lastError()), q.lastError().nativeErrorCode()));
        }
        FConnected = true;
    } catch (const TDBError &e) {
        db.close();
        FConnected = false;
        FReconnectNeeded = false;
        FLastError = e.message();
        throw;
    }
    emit connected();
}

int TFrmDM::ExecSQL(const QString &statement)
{
    try {
        ensureConnected();
    } catch (const TDBError &) {
        throw TDBError(notOpenText());
    }
    return ::ExecSQL(statement, ADOCon());
}

int ExecSQL(const QString &statement, const QSqlDatabase &db)
{
    QSqlDatabase target = db;
    if (!target.isValid()) {
        if (!FrmDM)
            throw TDBError(notOpenText());
        return FrmDM->ExecSQL(statement);
    }
    if (!target.isOpen())
        throw TDBError(notOpenText());
    QSqlQuery q(target);
    if (!StoreExec(target, q, TRowSet::toSqlite(statement)))
        throw StoreFailure(target, Tr::tr("执行语句“%1”失败").arg(statement), q.lastError());
    return q.numRowsAffected();
}

class TCascade
{
public:
    static void deleteProject(TRowSet &projects);
    static void deleteScheme(TRowSet &schemes);

private:
    static void deleteWithDependents(
        TRowSet &rows, const QString &purpose, const QStringList &statements);
};

// The owner statements, then the row itself deleted from its row set and that row set saved,
// all in one transaction.
void TCascade::deleteWithDependents(
    TRowSet &rows, const QString &purpose, const QStringList &statements)
{
    const QSqlDatabase db = rows.connection();
    const TRowSet::TSnapshot before = rows.snapshot();
    {
        TDBTransaction transaction(db, purpose);
        try {
            for (const QString &s : statements)
                ExecSQL(s, db);
            // Leaving a row that is about to vanish must not trigger work for it (such as
            // saving the sheets of a scheme whose sheets were just deleted).
            rows.setScrollEventsSuppressed(true);
            rows.deleteRecord();
            const TRowSet::TSaveResult saved = rows.savePending(db);
            transaction.commit();
            rows.setScrollEventsSuppressed(false);
            rows.acceptSave(saved);
        } catch (...) {
            rows.setScrollEventsSuppressed(false);
            rows.restore(before);
            throw;
        }
    }
    rows.fireAfterScroll();
}

void TCascade::deleteProject(TRowSet &projects)
{
    projects.checkCanModify();
    if (projects.state() == dsInsert) {
        projects.cancel();
        return;
    }
    if (projects.isEmpty())
        throw TDBError(Tr::tr("没有可删除的工程"));
    QStringList statements;
    TField id = projects.field(u"ID"_s);
    if (!id.isNull()) {
        const qint64 p = id.asLargeInt();
        statements << Sql::DeleteProjectSheets(p) << Sql::DeleteProjectParts(p)
                   << Sql::DeleteProjectSchemes(p);
    }
    deleteWithDependents(projects, Tr::tr("删除工程"), statements);
}

void TCascade::deleteScheme(TRowSet &schemes)
{
    schemes.checkCanModify();
    if (schemes.state() == dsInsert) {
        schemes.cancel();
        return;
    }
    if (schemes.isEmpty())
        throw TDBError(Tr::tr("没有可删除的方案"));
    QStringList statements;
    TField id = schemes.field(u"ID"_s);
    if (!id.isNull())
        statements << Sql::DeleteSchemeSheets(id.asLargeInt());
    deleteWithDependents(schemes, Tr::tr("删除方案"), statements);
}

void DeleteProject(TRowSet &projects)
{
    TCascade::deleteProject(projects);
}
void DeleteScheme(TRowSet &schemes)
{
    TCascade::deleteScheme(schemes);
}
