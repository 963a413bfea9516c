#include "fmMainC.h"

#include "AppSettings.h"
#include "Command.h"
#include "DM.h"
#include "DataPlace.h"
#include "DeskCalculator.h"
#include "Dialogs.h"
#include "ProductInfo.h"
#include "RtfReader.h"
#include "ShellArt.h"
#include "ShellSettings.h"
#include "ShellWidgets.h"
#include "Startup.h"
#include "UserManual.h"
#include "fmAbout.h"
#include "fmLJinfo.h"
#include "fmMaterial.h"
#include "fmOptions.h"
#include "fmYCLinfo.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

using namespace Qt::StringLiterals;

TfrmMainC *frmMainC = nullptr;

namespace {

QAction *command(QObject *owner, const char *name, const QString &caption, const QIcon &icon,
    const QKeySequence &shortcut, const QString &hint)
{
    auto *action = new QAction(icon, caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (!hint.isEmpty())
        SetHint(action, hint);
    return action;
}

QAction *viewToggle(QObject *owner, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

// A status-bar text at its width that gives way (cut short with "…") when the bar is short.
QLabel *statusLabel(const QString &text, int width, QWidget *parent)
{
    auto *label = new TStatusText(text, parent, width);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    return label;
}

} // namespace

TfrmMainC::TfrmMainC(QWidget *parent)
    : QMainWindow(parent)
{
    frmMainC = this;
    setObjectName(u"frmMainC"_s);
    setWindowTitle(ProductInfo::mainCaption());
    setWindowIcon(ShellArt::applicationIcon());

    createActions();
    createMenus();
    createToolBar();
    createPanes();
    createStatusBar();
    createTrayIcon();
    plugWorkAreas();
    loadNotes();
    restoreViewSettings();
}

namespace {
// Property of a work area: the caption of the command that opened it.
constexpr char WorkAreaCaption[] = "pnxWorkAreaCaption";
} // namespace

TfrmMainC::~TfrmMainC()
{
    // The work areas go with the panel after this object has stopped being a main window.
    disconnect(pnlMain, nullptr, this, nullptr);
    if (frmMainC == this)
        frmMainC = nullptr;
}

void TfrmMainC::createActions()
{
    actOCS = command(this, "actOCS", tr("优化排样"), ShellArt::layoutIcon(), Qt::Key_F2,
        tr("根据需要建立各种优化排样工作模式"));
    actLJ = command(this, "actLJ", tr("零件管理"), ShellArt::partsIcon(), Qt::Key_F3,
        tr("设置各种常用零件尺寸"));
    actMaterial = command(this, "actMaterial", tr("原材料管理"), ShellArt::sheetsIcon(), Qt::Key_F4,
        tr("设置各种原材料的尺寸和价格"));
    actManu = command(this, "actManu", tr("用户手册"), ShellArt::helpIcon(), Qt::Key_F1, {});
    actAbout = command(this, "actAbout", tr("关于..."), ShellArt::aboutIcon(), Qt::Key_F12, {});
    actExit
        = command(this, "actExit", tr("退出(&x)"), ShellArt::exitIcon(), {}, tr("退出|退出本程序"));
    actTavrin = command(this, "actTavrin", tr("Tavrin软件"), ShellArt::webIcon(), {}, {});

    // A work area's command stays disabled until its window is plugged in (plugWorkAreas).
    for (QAction *a : { actOCS, actLJ, actMaterial })
        a->setEnabled(false);

    connect(actManu, &QAction::triggered, this,
        [this] { Dialogs::guarded([this] { actManuExecute(); }); });
    actOptions = new QAction(tr("选项(&P)…"), this);
    actOptions->setObjectName(u"actOptions"_s);
    SetHint(actOptions, tr("选项|打印页脚的公司名称和电话、余料尺寸、零件标签的版式"));
    connect(actOptions, &QAction::triggered, this,
        [this] { Dialogs::guarded([this] { TfrmOptions::Execute(this); }); });
    connect(actAbout, &QAction::triggered, this,
        [this] { Dialogs::guarded([this] { actAboutExecute(); }); });
    connect(actExit, &QAction::triggered, this,
        [this] { Dialogs::guarded([this] { actExitExecute(); }); });
    connect(actTavrin, &QAction::triggered, this,
        [this] { Dialogs::guarded([this] { actTavrinExecute(); }); });

    mnuToolBar = viewToggle(this, "mnuToolBar", tr("工具条        &T"));
    mnuStatusBar = viewToggle(this, "mnuStatusBar", tr("状态栏        &S"));
    mnuNotes = viewToggle(this, "mnuNotes", tr("说明          &N"));
    mnuLeftMenu = viewToggle(this, "mnuLeftMenu", tr("左侧菜单      &L"));
    for (QAction *a : { mnuToolBar, mnuStatusBar, mnuNotes, mnuLeftMenu })
        connect(a, &QAction::toggled, this,
            [this] { Dialogs::guarded([this] { applyViewToggles(); }); });

    // The names of the two languages are written in their own language.
    auto *languages = new QActionGroup(this);
    const QString stored = AppSettings::stringValue(AppSettings::Key::Language);
    const auto language = [&](const char *name, const QString &caption, const QString &code) {
        auto *action = new QAction(caption, languages);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setChecked(stored == code);
        connect(action, &QAction::triggered, this,
            [this, code] { Dialogs::guarded([&] { chooseLanguage(code); }); });
        return action;
    };
    actLanguageSystem = language("actLanguageSystem", tr("跟随系统"), QString());
    actLanguageZh = language("actLanguageZh", u"中文"_s, u"zh"_s);
    actLanguageEn = language("actLanguageEn", u"English"_s, u"en"_s);
}

void TfrmMainC::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("文件(&F)"));
    file->setObjectName(u"mnuFile"_s);
    file->addAction(actOCS);
    file->addSeparator();
    file->addAction(actExit);

    QMenu *view = menuBar()->addMenu(tr("查看(&V)"));
    view->setObjectName(u"mnuView"_s);
    view->addActions({ mnuToolBar, mnuStatusBar, mnuNotes, mnuLeftMenu });

    QMenu *settings = menuBar()->addMenu(tr("设置(&O)"));
    settings->setObjectName(u"mnuSettings"_s);
    settings->addActions({ actLJ, actMaterial });
    settings->addSeparator();
    settings->addAction(actOptions);
    QMenu *language = settings->addMenu(tr("界面语言(&L)"));
    language->setObjectName(u"mnuLanguage"_s);
    language->addActions({ actLanguageSystem, actLanguageZh, actLanguageEn });

    QMenu *help = menuBar()->addMenu(tr("帮助(&H)"));
    help->setObjectName(u"mnuHelp"_s);
    help->addAction(actManu);
    help->addSeparator();
    help->addAction(actAbout);
}

void TfrmMainC::createToolBar()
{
    tbMain = new QToolBar(tr("工具条"), this);
    tbMain->setObjectName(u"tbMain"_s);
    tbMain->setMovable(false);
    tbMain->setFloatable(false);
    tbMain->setContextMenuPolicy(Qt::PreventContextMenu);
    tbMain->toggleViewAction()->setVisible(false);
    tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbMain->setIconSize(QSize(20, 20));
    tbMain->setFixedHeight(44);
    addToolBar(Qt::TopToolBarArea, tbMain);

    tbMain->addAction(actExit);
    tbMain->addSeparator();
    tbMain->addActions({ actOCS, actLJ, actMaterial });
    for (QAction *a : { actExit, actOCS, actLJ, actMaterial })
        if (QWidget *button = tbMain->widgetForAction(a))
            button->setFixedSize(a == actMaterial ? 68 : 60, 40);
}

void TfrmMainC::createPanes()
{
    auto *central = new QWidget(this);
    central->setObjectName(u"pnlCentral"_s);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    // Task pane: "优化切割" and "简易计算器".
    auto *scroll = new QScrollArea;
    scroll->setObjectName(u"taskPane"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *groups = new QWidget;
    groups->setObjectName(u"taskPaneGroups"_s);
    groups->setAttribute(Qt::WA_StyledBackground);
    groups->setStyleSheet(u"#taskPaneGroups { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                          " stop:0 #7ba2e7, stop:1 #6375d6); }"_s);
    auto *column = new QVBoxLayout(groups);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(12);

    grpOCS = new TTaskGroup(tr("优化切割"), ShellArt::layoutIcon(), true, groups);
    grpOCS->setObjectName(u"grpOCS"_s);
    grpOCS->addItem(actTavrin)->setObjectName(u"itemTavrin"_s);
    grpOCS->addDivider();
    grpOCS->addItem(actOCS);
    grpOCS->addItem(actMaterial);
    grpOCS->addItem(actLJ);
    grpOCS->addDivider();
    grpOCS->addItem(actAbout);
    grpOCS->addDivider();
    grpOCS->addItem(actExit);
    column->addWidget(grpOCS);

    grpCalculator = new TTaskGroup(tr("简易计算器"), ShellArt::calculatorIcon(), false, groups);
    grpCalculator->setObjectName(u"grpCalculator"_s);
    calculator = new TDeskCalculator;
    grpCalculator->addContent(calculator);
    column->addWidget(grpCalculator);
    column->addStretch(1);
    scroll->setWidget(groups);

    pnlTask = new TSizePanel(Qt::LeftEdge, scroll, central);
    pnlTask->setObjectName(u"pnlTask"_s);

    // Central work panel with the header strip and the welcome panel.
    pnlMain = new TWorkPanel(central);
    pnlMain->setObjectName(u"pnlMain"_s);
    rzpnlHeader = pnlMain->header();
    connect(pnlMain, &TWorkPanel::frontChanged, this, &TfrmMainC::updateHeader);
    pnlWelcome = new TWelcomePanel(pnlMain);
    pnlWelcome->setObjectName(u"pnlWelcome"_s);

    // Notes pane.
    edtNotes = new QTextEdit;
    edtNotes->setObjectName(u"edtNotes"_s);
    edtNotes->setAcceptRichText(true);
    edtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont notesFont(u"Arial"_s);
    notesFont.setPointSize(9);
    edtNotes->setFont(notesFont);
    edtNotes->document()->setDefaultFont(notesFont);
    pnlNotes = new TSizePanel(Qt::RightEdge, edtNotes, central);
    pnlNotes->setObjectName(u"pnlNotes"_s);

    row->addWidget(pnlTask);
    row->addWidget(pnlMain, 1);
    row->addWidget(pnlNotes);
    setCentralWidget(central);
}

void TfrmMainC::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(u"stbMain"_s);

    auto *company = new QWidget(bar);
    company->setObjectName(u"stsCompany"_s);
    auto *companyRow = new QHBoxLayout(company);
    companyRow->setContentsMargins(2, 0, 4, 0);
    companyRow->setSpacing(4);
    auto *companyIcon = new QLabel(company);
    const int iconSize = fontMetrics().height();
    companyIcon->setPixmap(ShellArt::applicationIcon().pixmap(iconSize, iconSize));
    companyRow->addWidget(companyIcon);
    companyRow->addWidget(
        new TStatusText(tr("优化切割软件 ") + ProductInfo::companyName(), company));
    bar->addWidget(company);

    auto *clock = new TClockPane(bar);
    clock->setObjectName(u"stsClock"_s);
    bar->addWidget(clock);

    using SystemStatus::LockKey;
    if (TKeyStatePane::available(LockKey::NumLock)) {
        auto *num = new TKeyStatePane(LockKey::NumLock, u"NUM"_s, bar);
        num->setObjectName(u"stsNumLock"_s);
        num->setMinimumWidth(35);
        bar->addWidget(num);
    }
    if (TKeyStatePane::available(LockKey::ScrollLock)) {
        auto *scroll = new TKeyStatePane(LockKey::ScrollLock, u"SCRL"_s, bar);
        scroll->setObjectName(u"stsScrollLock"_s);
        scroll->setMinimumWidth(34);
        bar->addWidget(scroll);
    }
    if (TMemoryPane::available()) {
        auto *memory = new TMemoryPane(bar);
        memory->setObjectName(u"stsMemory"_s);
        memory->setFixedWidth(91);
        bar->addWidget(memory);
    }

    rzprgrstsMain = new QProgressBar(bar);
    rzprgrstsMain->setObjectName(u"rzprgrstsMain"_s);
    rzprgrstsMain->setRange(0, 100);
    rzprgrstsMain->setValue(0);
    rzprgrstsMain->setFormat(u"%p%"_s);
    rzprgrstsMain->setAlignment(Qt::AlignCenter);
    rzprgrstsMain->setFixedWidth(116);
    bar->addWidget(rzprgrstsMain);

    auto *maker = statusLabel(ProductInfo::companyName(), 120, bar);
    maker->setObjectName(u"stsMaker"_s);
    bar->addWidget(maker);
    auto *version = statusLabel(ProductInfo::fileVersion(), 40, bar);
    version->setObjectName(u"stsVersion"_s);
    bar->addWidget(version);

    // Which database the program works on: beside the program, in the user's data folder, or
    // the file named with --database. A file in the home folder is shown from "~"; squeezed, the
    // pane keeps the file's name in sight.
    const QString database = QDir::toNativeSeparators(TFrmDM::databaseFile());
    const QString home = QDir::toNativeSeparators(QDir::homePath()) + QDir::separator();
    const QString shown = database.startsWith(home)
        ? u'~' + QDir::separator() + database.mid(home.size())
        : database;
    auto *databasePane = new TStatusText(shown, bar, 160);
    databasePane->setElideMode(Qt::ElideLeft);
    databasePane->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    databasePane->setMinimumWidth(databasePane->fontMetrics().horizontalAdvance(
                                      u"…"_s + QDir::separator() + QFileInfo(database).fileName())
        + 8);
    databasePane->setToolTip(tr("数据库文件：%1").arg(database));
    databasePane->setObjectName(u"stsDatabase"_s);
    stsDatabase = databasePane;
    bar->addWidget(stsDatabase, 1);

    for (QProgressBar *p : bar->findChildren<QProgressBar *>())
        p->setMaximumHeight(16);
    keepStatusBarWhole(bar);
}

void TfrmMainC::createTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    FTrayIcon = new QSystemTrayIcon(windowIcon(), this);
    FTrayIcon->setObjectName(u"trayIcon"_s);
    FTrayIcon->setToolTip(ProductInfo::mainCaption());
    connect(
        FTrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::DoubleClick)
                restoreFromTray();
        });
    FTrayIcon->show();
}

// The work areas of the product, one line each:
//   plugWorkArea(actLJ, frmLJinfo, [] { return new TfrmLJinfo; });
// The project workspace also receives the three references it writes into.
void TfrmMainC::plugWorkAreas()
{
    plugWorkArea(actOCS, frmMaterial, [this] {
        auto *workspace = new TfrmMaterial;
        workspace->FrmTypeSetParent = pnlMain;
        workspace->ProgressStatus = rzprgrstsMain;
        workspace->Notes = edtNotes;
        return workspace;
    });
    plugWorkArea(actLJ, frmLJinfo, [] { return new TfrmLJinfo; });
    plugWorkArea(actMaterial, frmYCLinfo, [] { return new TfrmYCLinfo; });
}

void TfrmMainC::setWorkAreaOpener(QAction *command, std::function<QWidget *()> opener)
{
    const bool first = FWorkAreas.find(command) == FWorkAreas.end();
    FWorkAreas[command] = std::move(opener);
    if (first)
        connect(command, &QAction::triggered, this,
            [this, command] { Dialogs::guarded([&] { openWorkArea(command); }); });
    command->setEnabled(true);
}

void TfrmMainC::embedWorkArea(QWidget *area)
{
    area->setParent(pnlMain); // a child widget: borderless, inside the panel
    area->setAttribute(Qt::WA_DeleteOnClose);
    area->setGeometry(pnlMain->clientRect());
    area->show();
}

void TfrmMainC::openWorkArea(QAction *command)
{
    const auto it = FWorkAreas.find(command);
    if (it == FWorkAreas.end())
        return;
    // Work areas read and save through the data module: a connection that failed (the file
    // was missing or locked) or became suspect is opened again first, so that a file put back
    // or set free meanwhile is used; a file still unusable is reported here.
    if (FrmDM)
        FrmDM->ensureConnected();
    QWidget *area = it->second();
    area->setProperty(WorkAreaCaption, QString(command->text()).remove(u'&'));
    area->show();
    area->raise();
    updateHeader();
}

void TfrmMainC::updateHeader()
{
    // The header names the work area in front. A window a work area opened itself (the results
    // window of 优化排样) is part of that work.
    QWidget *front = pnlMain->frontWidget();
    if (!front || front == pnlWelcome) {
        rzpnlHeader->setText(THeaderStrip::welcomeText());
        return;
    }
    const QString caption = front->property(WorkAreaCaption).toString();
    rzpnlHeader->setText(caption.isEmpty() ? QString(actOCS->text()).remove(u'&') : caption);
}

void TfrmMainC::loadNotes()
{
    // Looked up in the working directory, not beside the executable. An installed program is
    // mostly started from the desktop's menu in the user's home folder: there the notes come
    // from the installed shared folder (share/pnx), when the working directory has none, in
    // English (readme.en.rtf) while the interface speaks English.
    QFileInfo readme(QDir::current().filePath(u"readme.rtf"_s));
    const QDir shared(DataPlace::sharedDirectory());
    if (!readme.exists() && shared != QDir(QCoreApplication::applicationDirPath())) {
        readme = QFileInfo(shared.filePath(u"readme.rtf"_s));
        const QFileInfo english(shared.filePath(u"readme.en.rtf"_s));
        if (Startup::loadedLanguage() == u"en" && english.exists())
            readme = english;
    }
    if (!readme.exists() || readme.isDir())
        return;
    edtNotes->clear();
    Dialogs::guarded([&] { TRtfReader::readFile(readme.filePath(), *edtNotes->document()); });
    edtNotes->moveCursor(QTextCursor::Start);
}

void TfrmMainC::applyViewToggles()
{
    tbMain->setVisible(mnuToolBar->isChecked());
    statusBar()->setVisible(mnuStatusBar->isChecked());
    pnlNotes->setVisible(mnuNotes->isChecked());
    pnlTask->setVisible(mnuLeftMenu->isChecked());
}

void TfrmMainC::restoreViewSettings()
{
    const auto v = ShellSettings::TViewSettings::load();
    const QSignalBlocker b1(mnuToolBar), b2(mnuStatusBar), b3(mnuNotes), b4(mnuLeftMenu);
    mnuToolBar->setChecked(v.toolBar);
    mnuStatusBar->setChecked(v.statusBar);
    mnuNotes->setChecked(v.notes);
    mnuLeftMenu->setChecked(v.taskPane);
    pnlTask->setPaneWidth(v.taskPaneWidth);
    pnlNotes->setPaneWidth(v.notesWidth);
    if (v.geometry.isEmpty() || !restoreGeometry(v.geometry)) {
        // First layout: a client area of 1006 x 582 below the menu bar, centred on the screen.
        resize(ShellSettings::FirstClientWidth,
            ShellSettings::FirstClientHeight + menuBar()->sizeHint().height());
        if (const QScreen *screen = this->screen()) {
            QRect frame(QPoint(), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    applyViewToggles();
}

void TfrmMainC::chooseLanguage(const QString &language)
{
    const QString before = Startup::uiLanguage(
        AppSettings::stringValue(AppSettings::Key::Language), QLocale::system());
    AppSettings::setValue(AppSettings::Key::Language, language);
    if (Startup::uiLanguage(language, QLocale::system()) != before)
        Dialogs::showInformation(this, tr("界面语言将在程序下次启动时更换。"));
}

void TfrmMainC::saveViewSettings() const
{
    ShellSettings::TViewSettings v;
    v.toolBar = mnuToolBar->isChecked();
    v.statusBar = mnuStatusBar->isChecked();
    v.notes = mnuNotes->isChecked();
    v.taskPane = mnuLeftMenu->isChecked();
    v.taskPaneWidth = pnlTask->paneWidth();
    v.notesWidth = pnlNotes->paneWidth();
    v.geometry = saveGeometry();
    v.save();
}

void TfrmMainC::closeEvent(QCloseEvent *e)
{
    // The open workspace is saved as when it is closed. When that fails its error has been
    // shown; the user decides whether to quit all the same.
    if (frmMaterial && !frmMaterial->close()
        && !Dialogs::askOkCancel(this, tr("工程数据未能保存，仍要退出吗？"))) {
        e->ignore();
        return;
    }
    Dialogs::guarded([this] { saveViewSettings(); });
    QMainWindow::closeEvent(e);
}

void TfrmMainC::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    // Minimising hides the window to its notification-area icon, where the desktop has one.
    if (e->type() == QEvent::WindowStateChange && isMinimized() && FTrayIcon
        && FTrayIcon->isVisible())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized())
                    hide();
            },
            Qt::QueuedConnection);
}

void TfrmMainC::restoreFromTray()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TfrmMainC::actManuExecute()
{
    UserManual::open(this);
}

void TfrmMainC::actAboutExecute()
{
    TfrmAbout about(this);
    about.setWindowTitle(tr("关于 板材优化切割软件"));
    Dialogs::exec(about);
}

void TfrmMainC::actExitExecute()
{
    close();
}

void TfrmMainC::actTavrinExecute()
{
    QDesktopServices::openUrl(QUrl(ProductInfo::webAddress()));
}
