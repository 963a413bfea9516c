#pragma once
// One transaction on a connection, rolled back unless committed. The outermost transaction of
// a connection takes the write lock at once (BEGIN IMMEDIATE), waiting up to the busy timeout
// when another process holds it; transactions opened inside it become savepoints, so a batch
// save can run on its own or inside a larger unit such as deleting a project.
//
// Also here: the wording of the store's failures for the user, and the statements that may have
// to wait for another program's lock (StoreExec), which tell the program when they wait.

#include <QSqlDatabase>
#include <QString>
#include <functional>

class QSqlError;
class QSqlQuery;
class TDBError;

class TDBTransaction
{
public:
    // Throws TDBError (with the store's message) when the transaction cannot be started,
    // for example because another process holds the write lock.
    TDBTransaction(const QSqlDatabase &db, const QString &purpose);
    ~TDBTransaction();
    TDBTransaction(const TDBTransaction &) = delete;
    TDBTransaction &operator=(const TDBTransaction &) = delete;

    // Makes the changes permanent (outermost) or keeps them for the enclosing transaction.
    // On failure everything is rolled back and TDBError is thrown.
    void commit();

    // Depth of open transactions on the connection (0: none).
    static int depth(const QSqlDatabase &db);

private:
    bool run(const QString &sql, QString *error = nullptr);
    void rollback();

    QSqlDatabase FDb;
    QString FPurpose;
    int FLevel = 0;
    bool FDone = false;
};

// The message of a failed store call, worded for the user: what failed, then the store's own
// text, with a hint when the file is locked by another process.
QString StoreErrorText(const QString &what, const QString &storeText, const QString &nativeCode);

// The error of a failed store call on db, worded for the user: what failed, why in the user's
// terms where the store's code tells it (locked by another program, the file or its folder not
// writable, the file moved away or missing, the disk full), then the store's own text.
// A failure that can go away (all of these) also asks the data module to open the file again
// before the connection is next used, so that a retry meets the file as it is then.
TDBError StoreFailure(const QSqlDatabase &db, const QString &what, const QSqlError &error);

// Whether the store's error code means another program holds a lock on the file.
bool IsLockError(const QSqlError &error);

// Runs a statement that may have to wait for a lock another program holds: sql, or the
// prepared statement of q when sql is empty. It is first tried without waiting; when the file
// is locked, the wait hook is told (with a text for the status line), the statement is run again
// waiting up to the busy timeout, and the hook is told that the wait is over (an empty text).
// Returns what QSqlQuery::exec returns; q.lastError() tells why it failed.
bool StoreExec(const QSqlDatabase &db, QSqlQuery &q, const QString &sql = QString());

namespace StoreWait {
// Called with a text when a statement starts waiting for another program's lock and with an
// empty text when that wait is over. The program shows the busy cursor and the text meanwhile;
// the data layer itself shows nothing. No hook: waits are silent.
using THook = std::function<void(const QString &text)>;
void setHook(THook hook);
const THook &hook();
// The status-line text of a wait.
QString waitingText();
} // namespace StoreWait
