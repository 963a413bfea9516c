#pragma once
// Every per-user setting the shell reads or writes, with its default, in one place.
//
// View settings of the main window, QSettings organisation "Temp", application
// "Tavrin优化切割PNX" (on Windows HKEY_CURRENT_USER\Software\Temp\Tavrin优化切割PNX):
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

// Where the view settings live (organisation and application name).
QString viewOrganisation();
QString viewApplication();

} // namespace ShellSettings
