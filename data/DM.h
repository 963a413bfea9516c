#pragma once
// The data module: the one database connection of the program and the operations that act on
// the stored tables as a whole. Including this header gives the whole data layer: the row sets
// (RowSet.h), the statement texts (Statements.h), the schema (Schema.h), money (Currency.h)
// and the errors (DBTypes.h).
//
// Which pnx.dat is opened is decided by DataPlace (beside the program, in the user's data folder,
// or the file named on the command line). Opening never creates it: a fresh file comes from the
// build (the pnxdbinit program, see Schema.h), and an installed program's first start copies
// that fresh file into the user's data folder (provideDatabase).

#include "Currency.h"
#include "DBTransaction.h"
#include "DBTypes.h"
#include "RowSet.h"
#include "Schema.h"
#include "Statements.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

class TFrmDM : public QObject
{
    Q_OBJECT
public:
    // Does not open anything; start-up calls DataModuleCreate. The first instance made while
    // FrmDM is empty becomes FrmDM; destroying it empties FrmDM again.
    explicit TFrmDM(QObject *parent = nullptr);
    ~TFrmDM() override;

    // Closes the connection if open, then opens <databaseDirectory()>/pnx.dat, upgrades a file of
    // the version before (DBSchema::UpgradeSchema: a copy pnx.dat.bak beside it, then the new
    // columns in one transaction) and checks that it is a readable, undamaged database with the
    // six tables. Never creates a file. On
    // failure throws TDBError (what(): the UTF-8 message, including the store's own text) and
    // the connection stays closed. Waits up to the busy timeout when another process holds the
    // file locked.
    void DataModuleCreate();

    QSqlDatabase ADOCon() const; // the one connection (possibly closed)
    bool isConnected() const;
    QString lastError() const { return FLastError; } // message of the last failed open, or ""

    // Opens the file again (DataModuleCreate) when the connection is not usable: never opened,
    // the last open failed, or a store error that can go away (a lock, a read-only, moved or
    // missing file; see StoreFailure) made it suspect. Does nothing while the connection is
    // fine, and never while a transaction is open on it. Throws TDBError like DataModuleCreate.
    // Row sets call it before they read or save, so a retry after such an error meets the file
    // as it is now; their cached rows and pending changes are not touched by it.
    void ensureConnected();
    // Asks for the connection to be opened again before its next use.
    void setReconnectNeeded() { FReconnectNeeded = true; }
    bool reconnectNeeded() const { return FReconnectNeeded; }

    // Test hook: open the file read-only, as when the file cannot be written (a file's write
    // permission does not stop a process running as root).
    static void setOpenReadOnly(bool on);

    // Runs one statement (a delete of the cascades) at once on ADOCon, outside any row set;
    // returns the number of rows it changed. Throws TDBError.
    int ExecSQL(const QString &statement);

    // The database file of this run (DataPlace::current()), or <test override>/pnx.dat.
    static QString databaseFile();
    static QString databaseDirectory(); // the folder of databaseFile()
    static void setDatabaseDirectory(const QString &dir); // test hook; empty = the data place's

    // First start of an installed program: makes the user's folders and copies the fresh
    // database there when the data place is the user's and its pnx.dat is missing
    // (DataPlace::provide). Does nothing under the test override. Returns true when it copied;
    // throws TDBError when it cannot.
    static bool provideDatabase();

    // How long a statement waits for a lock held by another process before it fails.
    static constexpr int BusyTimeoutMs = 5000;

signals:
    // The connection was opened, at start-up or again after a failure: windows whose rows could
    // not be read before may read them now.
    void connected();

private:
    QString FConnectionName;
    QString FLastError;
    bool FConnected = false;
    bool FReconnectNeeded = false;
};

extern TFrmDM *FrmDM; // the one instance; nullptr until start-up creates it

// Runs one statement at once on db (default: FrmDM's connection); the Jet wording is translated
// like the row sets'. Returns the number of rows changed. Throws TDBError.
int ExecSQL(const QString &statement, const QSqlDatabase &db = QSqlDatabase());

// Deletes the current project of `projects` (a row set over 主数据表) with everything it owns:
// the sheets of all its schemes, its parts, its schemes (the three delete statements), then the
// project row, which is deleted from the row set and the row set batch-saved (with whatever
// else was pending in it). All of it is one transaction: on any error nothing reaches the file,
// the row set is exactly as before, and TDBError is thrown. No scroll event runs inside the
// transaction; AfterScroll runs once after it has committed.
// A project row that is still being entered (never saved) is simply cancelled.
void DeleteProject(TRowSet &projects);

// Deletes the current scheme of `schemes` (a row set over 子数据表): its sheets (the delete
// statement), then the scheme row, deleted from the row set and the row set batch-saved; one
// transaction, as DeleteProject.
void DeleteScheme(TRowSet &schemes);
