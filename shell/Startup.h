#pragma once
// Start-up of the program, step by step, so that tests run the same steps as main().

#include <memory>

class TfrmMainC;

namespace Startup {

// Step 1: application-wide settings: the application title "Tavrin优化切割PNX" (title of every
// message box), the application icon, and Qt's own Chinese translation, so that the standard
// buttons, dialogs and context menus of Qt speak Chinese whatever the user's locale. Needs the
// application object.
void initApplication();

// Loads Qt's Chinese translation (qtbase_zh_CN from Qt's translations folder) into the
// application, once. False when it is not installed: Qt's texts then stay English.
bool loadQtTranslation();

// Step 2: creates the data module FrmDM and opens the database. A failure is reported by the
// application-wide error handler and start-up goes on with the connection closed.
void createDataModule();

// Step 3: creates the main window (which loads readme.rtf from the working directory) and shows
// it. While the data layer waits for another program's lock on the database file, the busy
// cursor shows and the main window's status line says what it waits for.
std::unique_ptr<TfrmMainC> createMainWindow();

// The whole program: steps 1 to 3, the event loop until the main window closes; an error that
// escapes is shown by the error handler. Returns the exit code, 0.
int run(int &argc, char **argv);

} // namespace Startup
