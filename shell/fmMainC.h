#pragma once
// The main window: menus, tool bar, task pane, the work panel that hosts the work areas, the notes
// pane and the status bar.

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>

class QAction;
class QLabel;
class QProgressBar;
class QSystemTrayIcon;
class QTextEdit;
class QToolBar;
class TDeskCalculator;
class THeaderStrip;
class TSizePanel;
class TTaskGroup;
class TWorkPanel;

class TfrmMainC : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMainC(QWidget *parent = nullptr);
    ~TfrmMainC() override;

    // ---- commands ----
    QAction *actOCS; // 优化排样 (F2): project workspace
    QAction *actLJ; // 零件管理 (F3): part library editor
    QAction *actMaterial; // 原材料管理 (F4): sheet library editor
    QAction *actManu; // 用户手册 (F1)
    QAction *actAbout; // 关于... (F12)
    QAction *actOptions; // 选项…: printout footer, offcuts, labels
    QAction *actExit; // 退出(&x)
    QAction *actTavrin; // task-pane item "Tavrin软件": the maker's web site
    // View toggles of the 查看 menu.
    QAction *mnuToolBar;
    QAction *mnuStatusBar;
    QAction *mnuNotes;
    QAction *mnuLeftMenu;
    // Language of the user interface (设置 menu, submenu "界面语言"): the setting Language "",
    // "zh" or "en", used from the next start on.
    QAction *actLanguageSystem;
    QAction *actLanguageZh;
    QAction *actLanguageEn;

    // ---- parts other windows use ----
    TWorkPanel *pnlMain; // every work area is placed in it (setParent) and fills it
    THeaderStrip *rzpnlHeader; // header strip at the top of pnlMain
    QTextEdit *edtNotes; // notes pane: read-me at start-up, optimisation reports
    QProgressBar *rzprgrstsMain; // progress pane, a percentage (0..100), initially 0
    QLabel *stsDatabase; // status pane: the database file in use

    QToolBar *tbMain;
    TSizePanel *pnlTask; // task pane with its sizing bar
    TSizePanel *pnlNotes; // notes pane with its sizing bar
    TTaskGroup *grpOCS; // task-pane group "优化切割"
    TTaskGroup *grpCalculator; // task-pane group "简易计算器"
    TDeskCalculator *calculator;
    QWidget *pnlWelcome;

    // Makes command open or raise a work area: while slot is empty, create() makes a new one,
    // which is stored in slot, placed in pnlMain and shown; every run of the command then
    // brings slot's window to the front and sets the header text to the command's caption.
    // When the window is destroyed (its own close command closes it; work areas are deleted on
    // close) the slot is emptied again. The command is enabled from here on.
    template <class T, class Factory> void plugWorkArea(QAction *command, T *&slot, Factory create)
    {
        T **where = &slot;
        setWorkAreaOpener(command, [this, where, create]() -> QWidget * {
            if (!*where) {
                T *area = create();
                *where = area;
                QObject::connect(area, &QObject::destroyed, [where, area] {
                    if (*where == area)
                        *where = nullptr;
                });
                embedWorkArea(area);
            }
            return *where;
        });
    }

    // What a work-area command runs (errors reach the caller).
    void openWorkArea(QAction *command);
    // Sets the header to the caption of the work area in front.
    void updateHeader();

    // The commands' effects (each runs through the application-wide error handler).
    void actManuExecute();
    void actAboutExecute();
    void actExitExecute();
    void actTavrinExecute();

    // Applies the check marks to the tool bar, status bar, notes pane and task pane.
    void applyViewToggles();

    // Stores the language setting ("", "zh" or "en") and says that it applies from the next
    // start when the language would change.
    void chooseLanguage(const QString &language);

protected:
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createPanes();
    void createStatusBar();
    void createTrayIcon();
    void plugWorkAreas();
    void loadNotes();
    void restoreViewSettings();
    void saveViewSettings() const;
    void setWorkAreaOpener(QAction *command, std::function<QWidget *()> opener);
    void embedWorkArea(QWidget *area);
    void restoreFromTray();

    std::map<QAction *, std::function<QWidget *()>> FWorkAreas;
    QSystemTrayIcon *FTrayIcon = nullptr;
};

// The main window while it exists.
extern TfrmMainC *frmMainC;
