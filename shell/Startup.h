#pragma once
// Start-up of the program, step by step, so that tests run the same steps as main().

#include <memory>

class TfrmMainC;

namespace Startup {

// Step 1: application-wide settings: the application title "Tavrin优化切割PNX" (title of every
// message box) and the application icon. Needs the application object.
void initApplication();

// Step 2: creates the data module FrmDM and opens the database. A failure is reported by the
// application-wide error handler and start-up goes on with the connection closed.
void createDataModule();

// Step 3: creates the main window (which loads readme.rtf from the working directory) and shows
// it.
std::unique_ptr<TfrmMainC> createMainWindow();

// The whole program: steps 1 to 3, the event loop until the main window closes; an error that
// escapes is shown by the error handler. Returns the exit code, 0.
int run(int &argc, char **argv);

} // namespace Startup
