#pragma once
// The user manual behind F1 (用户手册): the help file "PNX.CHM" of the working directory where
// one is present, else the HTML manual in the program's shared folder, opened in the desktop's
// browser: the Chinese one (<share/pnx>/manual/index.html, DataPlace::sharedDirectory), or the
// English one (manual/en/index.html) when the interface is English. When neither can be opened,
// a message says so.

#include <QString>

class QWidget;

namespace UserManual {

// "PNX.CHM" in the working directory (a relative name, looked up there).
QString helpFile();
// manual/index.html in the shared folder (or in the folder set by setManualDirectory); with the
// English translation loaded (Startup::loadedLanguage) manual/en/index.html where it exists.
QString htmlFile();
// Test hook: the folder holding index.html (and en/index.html); empty: <shared folder>/manual.
void setManualDirectory(const QString &dir);

// Hands the help file, else the HTML manual, to the desktop. Errors are shown in a message box
// on parent (the desktop's own failures included): the user always sees something happen.
void open(QWidget *parent);

} // namespace UserManual
