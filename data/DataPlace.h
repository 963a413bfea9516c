#pragma once
// Where the program keeps its data (the database pnx.dat and the print settings file "Config")
// and where it finds the read-only files it comes with.
//
// The data place, decided once per run:
//   Chosen    pnx --database FILE: that database file; "Config" as in the two other cases.
//   Portable  the program's folder holds a pnx.dat this user may write (an unpacked copy, the
//             build folder): both files beside the program.
//   User      otherwise (an installed program): pnx.dat in the user's data folder
//             (~/.local/share/pnx) and "Config" in the user's config folder (~/.config/pnx),
//             through QStandardPaths. The first start copies the fresh database that comes with
//             the program there (provide()).
//
// The shared files (the fresh database, the manual, the translations) lie in
// <program folder>/../share/pnx where that folder exists (an installed program, the build
// folder), else beside the program.

#include <QString>

namespace DataPlace {

enum class TKind { Portable, User, Chosen };

struct TPlace
{
    TKind kind = TKind::User;
    QString databaseFile; // absolute
    QString configDirectory; // absolute; "Config" lies in it
};

struct TFolders
{
    QString program; // folder of the running program
    QString userData; // the user's data folder for this program
    QString userConfig; // the user's config folder for this program
};

// True when dir holds a pnx.dat that this user may write, in a folder this user may write (the
// store writes its journal beside the file).
bool holdsWritableDatabase(const QString &dir);

// The place for these folders. chosenDatabase: the file named on the command line ("" for
// none); a relative name is taken from the working folder. writable decides whether a program
// folder holds a writable pnx.dat.
TPlace choose(const TFolders &folders, const QString &chosenDatabase,
    bool (*writable)(const QString &dir) = holdsWritableDatabase);

// The folders of this run: the program's, and the user's data and config folders of "pnx".
TFolders runningFolders();

// The database named on the command line; call before the first current(). "" for none.
void setChosenDatabase(const QString &file);

// The place of this run: choose(runningFolders(), the chosen database), decided on the first
// call and kept for the run, so that a file appearing or vanishing later cannot move the data.
TPlace current();
// Test hook: forget the decision, so that the next current() decides again.
void forgetCurrent();

// Makes the place ready to use: for the user's place its two folders are created and, when
// pnx.dat is missing there, the fresh database (templateFile) is copied to it. Nothing is done
// for the two other kinds, and an existing database is never touched. Returns true when it
// copied. Throws TDBError when a folder cannot be made or the copy fails (no half file is left).
bool provide(const TPlace &place, const QString &templateFile);

// The folder of the shared read-only files, or the test override.
QString sharedDirectory();
// Test hook: the folder to use instead (empty: the program's again).
void setSharedDirectory(const QString &dir);
// The fresh database that comes with the program: sharedDirectory() + "/pnx.dat".
QString templateDatabase();

} // namespace DataPlace
