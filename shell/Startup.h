#pragma once
// Start-up of the program, step by step, so that tests run the same steps as main().

#include <QLocale>
#include <QStringList>

#include <memory>
#include <optional>

class TfrmMainC;

namespace Startup {

// Step 1: application-wide settings: the settings of earlier versions carried over once
// (ShellSettings::carryOverOldSettings), the language of the user interface (the setting
// Language, see uiLanguage and loadTranslations), the application title "Tavrin优化切割PNX"
// (title of every message box) and the application icon. Needs the application object.
void initApplication();

// The language of the user interface, "zh" or "en": the setting when it names one; for "" (follow
// the system) Chinese when the system's first user-interface language is Chinese or the system
// names none (the C locale), English for any other.
QString uiLanguage(const QString &setting, const QLocale &system);

// Installs the translators of a language into the application, replacing those of the other:
// "zh" needs none of the program's own (its texts are written in Chinese) but Qt's Chinese
// translation, so that Qt's standard buttons, dialogs and context menus speak Chinese whatever
// the locale; "en" the program's English translation (translations/pnx_en.qm in the shared
// folder, DataPlace::sharedDirectory) and Qt's own texts as they are. False when a file it
// needs is missing (those texts then stay in their source language).
bool loadTranslations(const QString &language);
// The language the interface speaks now: "en" while the program's English translation is
// installed, else "zh".
QString loadedLanguage();

// Loads Qt's Chinese translation (qtbase_zh_CN from Qt's translations folder) into the
// application, once. False when it is not installed: Qt's texts then stay English.
bool loadQtTranslation();

// The command line of pnx: --database FILE opens that database instead of the usual one
// (DataPlace::setChosenDatabase); --help and --version print and end the program. Unknown
// options end it with a message and exit code 2. Returns the exit code when the program is to
// end now.
std::optional<int> parseCommandLine(const QStringList &arguments);

// --help and --version are answered before the application object exists, so that they work
// on a terminal without a display: when argv asks for one of them, prints the answer (through a
// console application object of its own) and returns 0; otherwise returns nothing.
std::optional<int> answerOnTerminal(int &argc, char **argv);

// Step 2: creates the data module FrmDM and opens the database; on the first start of an
// installed program the fresh database is first copied into the user's data folder
// (TFrmDM::provideDatabase). A failure is reported by the application-wide error handler and
// start-up goes on with the connection closed.
void createDataModule();

// Step 3: creates the main window (which loads readme.rtf from the working directory) and shows
// it. While the data layer waits for another program's lock on the database file, the busy
// cursor shows and the main window's status line says what it waits for.
std::unique_ptr<TfrmMainC> createMainWindow();

// The whole program: step 1, the command line, steps 2 and 3, the event loop until the main window
// closes; an error that escapes is shown by the error handler. Returns the exit code, 0.
int run(int &argc, char **argv);

} // namespace Startup
