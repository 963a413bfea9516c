#pragma once
// One transaction on a connection, rolled back unless committed. The outermost transaction of
// a connection takes the write lock at once (BEGIN IMMEDIATE), waiting up to the busy timeout
// when another process holds it; transactions opened inside it become savepoints, so a batch
// save can run on its own or inside a larger unit such as deleting a project.

#include <QSqlDatabase>
#include <QString>

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
