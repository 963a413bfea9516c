#pragma once
// Every per-user setting the shell reads or writes, with its default, in one place.
//
// View settings of the main window, in the group "MainWindow" of the program's one settings file
// (QSettings organisation and application of AppSettings: ~/.config/pnx/pnx.conf), beside the
// work-area settings (data/AppSettings.h):
//
//   Key            Default   Meaning
//   ToolBar        true      check mark of "工具条        &T"
//   StatusBar      true      check mark of "状态栏        &S"
//   Notes          true      check mark of "说明          &N"
//   TaskPane       true      check mark of "左侧菜单      &L"
//   TaskPaneWidth  199       width of the task pane in pixels
//   NotesWidth     186       width of the notes pane in pixels
//   Geometry       (none)    position, size and state of the main window (QWidget::saveGeometry);
//                            without it the window is laid out with a 1006 x 582 client area
//
// Owner data recorded for this installation, QSettings organisation "Quarvel", application
// "PNX" (HKEY_CURRENT_USER\Software\Quarvel\PNX), only ever read:
//
//   User           ""        the licensed user
//   Org            ""        the user's organisation

#include <QByteArray>
#include <QString>

namespace ShellSettings {

constexpr int FirstClientWidth = 1006;
constexpr int FirstClientHeight = 582;

struct TViewSettings
{
    bool toolBar = true;
    bool statusBar = true;
    bool notes = true;
    bool taskPane = true;
    int taskPaneWidth = 199;
    int notesWidth = 186;
    QByteArray geometry;

    // Missing or unusable values give their defaults.
    static TViewSettings load();
    void save() const;
};

struct TOwnerInfo
{
    QString user;
    QString org;

    // Reads the two values without creating anything.
    static TOwnerInfo read();
};

// Where the view settings live (organisation and application name, and their group).
QString viewOrganisation();
QString viewApplication();
QString viewGroup(); // "MainWindow"

// Where earlier versions kept the settings: the view settings under organisation "Temp" and
// application "Tavrin优化切割PNX", the work-area settings under "PNX" and "PNX Cutting Planner".
// The first start with the one settings file copies every value found there into it (a value
// already in the new file is kept) and records that it did, so it happens once; the old files
// are left as they are. Returns true when it copied (or looked) this time.
bool carryOverOldSettings();

} // namespace ShellSettings
