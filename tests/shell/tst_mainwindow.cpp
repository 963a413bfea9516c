// The main window: work areas opened and raised in the work panel, view settings kept per user,
// menus and commands, the hand-offs to the desktop and the status bar.

#include "DeskCalculator.h"
#include "PnxApplication.h"
#include "ShellFixture.h"
#include "ShellWidgets.h"
#include "SystemStatus.h"
#include "UserManual.h"
#include "fmMainC.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenuBar>
#include <QProgressBar>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A work area for the tests only: a plain widget; close() stands for its own close command.
class TTestArea : public QWidget
{
public:
    static inline int created = 0;
    TTestArea() { ++created; }
};

TTestArea *frmTestA = nullptr;
TTestArea *frmTestB = nullptr;

// Records what was handed to the desktop.
class TUrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

std::unique_ptr<TfrmMainC> shownWindow()
{
    auto w = std::make_unique<TfrmMainC>();
    w->show();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("main window did not become active");
    return w;
}

void deleteClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList itemsOf(const QMenu *menu)
{
    QStringList items;
    for (const QAction *a : menu->actions())
        items << (a->isSeparator() ? u"-"_s : a->text() + u'|' + a->shortcut().toString());
    return items;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ShellFixture::setUpApplication(); }

    void init()
    {
        Dialogs::resetHooks();
        ShellFixture::clearSettings();
        FCwd = std::make_unique<ShellFixture::TWorkingDir>();
    }

    void cleanup()
    {
        QVERIFY2(Dialogs::takeCaptured().isEmpty(), "unexpected message box");
        FCwd.reset();
    }

    void menusAndCommands_asDesigned()
    {
        TfrmMainC w;
        QStringList menus;
        for (const QAction *a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(
            menus, (QStringList { u"文件(&F)"_s, u"查看(&V)"_s, u"设置(&O)"_s, u"帮助(&H)"_s }));
        const auto menu = [&](int i) { return w.menuBar()->actions().at(i)->menu(); };
        QCOMPARE(itemsOf(menu(0)), (QStringList { u"优化排样|F2"_s, u"-"_s, u"退出(&x)|"_s }));
        QCOMPARE(itemsOf(menu(1)),
            (QStringList { u"工具条        &T|"_s, u"状态栏        &S|"_s, u"说明          &N|"_s,
                u"左侧菜单      &L|"_s }));
        QCOMPARE(itemsOf(menu(2)),
            (QStringList { u"零件管理|F3"_s, u"原材料管理|F4"_s, u"-"_s, u"选项(&P)…|"_s,
                u"界面语言(&L)|"_s }));
        QCOMPARE(itemsOf(menu(3)), (QStringList { u"用户手册|F1"_s, u"-"_s, u"关于...|F12"_s }));

        // Hints: tool tip before "|", status text after it (the whole hint without "|").
        QCOMPARE(w.actExit->toolTip(), u"退出"_s);
        QCOMPARE(w.actExit->statusTip(), u"退出本程序"_s);
        QCOMPARE(w.actLJ->toolTip(), u"设置各种常用零件尺寸"_s);
        QCOMPARE(w.actLJ->statusTip(), u"设置各种常用零件尺寸"_s);

        // Tool bar: 退出, separator, the three work areas.
        const QList<QAction *> tools = w.tbMain->actions();
        QCOMPARE(tools.size(), 5);
        QCOMPARE(tools[0], w.actExit);
        QVERIFY(tools[1]->isSeparator());
        QCOMPARE((QList<QAction *> { tools[2], tools[3], tools[4] }),
            (QList<QAction *> { w.actOCS, w.actLJ, w.actMaterial }));
        QCOMPARE(w.tbMain->widgetForAction(w.actMaterial)->width(), 68);

        // The project workspace and the library editors are plugged in.
        QVERIFY(w.actOCS->isEnabled());
        QVERIFY(w.actLJ->isEnabled());
        QVERIFY(w.actMaterial->isEnabled());
        QCOMPARE(w.rzpnlHeader->text(), u"Quarvel Cutting Optimization"_s);
        QCOMPARE(w.pnlMain->frontWidget(), w.pnlWelcome);
    }

    // F3/F4 open a work area once, raise it on later presses, set the header; a closed one
    // empties its slot and reveals what lies below, whose name the header then shows; the next
    // press makes a fresh one.
    void workAreas_openRaiseAndClose()
    {
        auto w = shownWindow();
        TTestArea::created = 0;
        w->plugWorkArea(w->actLJ, frmTestA, [] { return new TTestArea; });
        w->plugWorkArea(w->actMaterial, frmTestB, [] { return new TTestArea; });
        QVERIFY(w->actLJ->isEnabled() && w->actMaterial->isEnabled());

        QTest::keyClick(w.get(), Qt::Key_F3);
        QVERIFY(frmTestA);
        QCOMPARE(frmTestA->parentWidget(), w->pnlMain);
        QVERIFY(!frmTestA->isWindow());
        QVERIFY(frmTestA->isVisible());
        QCOMPARE(frmTestA->geometry(), w->pnlMain->clientRect());
        QCOMPARE(w->pnlMain->frontWidget(), frmTestA);
        QCOMPARE(w->rzpnlHeader->text(), u"零件管理"_s);

        TTestArea *const first = frmTestA;
        QTest::keyClick(w.get(), Qt::Key_F3);
        QCOMPARE(frmTestA, first);
        QCOMPARE(TTestArea::created, 1);

        QTest::keyClick(w.get(), Qt::Key_F4);
        QVERIFY(frmTestB);
        QCOMPARE(w->pnlMain->frontWidget(), frmTestB);
        QCOMPARE(w->rzpnlHeader->text(), u"原材料管理"_s);

        QTest::keyClick(w.get(), Qt::Key_F3); // raises the first one again
        QCOMPARE(frmTestA, first);
        QCOMPARE(w->pnlMain->frontWidget(), frmTestA);
        QCOMPARE(w->rzpnlHeader->text(), u"零件管理"_s);
        QCOMPARE(TTestArea::created, 2);

        // Work areas follow the panel's size.
        w->resize(w->width() + 120, w->height() + 80);
        QCOMPARE(frmTestA->geometry(), w->pnlMain->clientRect());
        QCOMPARE(frmTestB->geometry(), w->pnlMain->clientRect());

        frmTestA->close();
        deleteClosed();
        QVERIFY(!frmTestA);
        QCOMPARE(w->pnlMain->frontWidget(), frmTestB);
        QCOMPARE(w->rzpnlHeader->text(), u"原材料管理"_s); // the header names what shows

        // A window a work area opens itself (the results window) counts as that work.
        auto *own = new QWidget(w->pnlMain);
        own->show();
        QCOMPARE(w->rzpnlHeader->text(), u"优化排样"_s);
        delete own;
        QCOMPARE(w->rzpnlHeader->text(), u"原材料管理"_s);

        frmTestB->close();
        deleteClosed();
        QVERIFY(!frmTestB);
        QCOMPARE(w->pnlMain->frontWidget(), w->pnlWelcome);
        QCOMPARE(w->rzpnlHeader->text(), u"Quarvel Cutting Optimization"_s);

        QTest::keyClick(w.get(), Qt::Key_F3);
        QVERIFY(frmTestA && frmTestA != first);
        QCOMPARE(TTestArea::created, 3);

        // The main window going away takes its work areas with it and empties their slots.
        w.reset();
        QVERIFY(!frmTestA);
        QVERIFY(!frmMainC);
    }

    // A work area that cannot be created (say, the database is not open) is reported, and
    // nothing is left behind.
    void workAreas_creationErrorIsReported()
    {
        auto w = shownWindow();
        TTestArea *slot = nullptr;
        w->plugWorkArea(
            w->actOCS, slot, []() -> TTestArea * { throw std::runtime_error("找不到数据库文件"); });
        QTest::keyClick(w.get(), Qt::Key_F2);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"找不到数据库文件."_s });
        QVERIFY(!slot);
        QCOMPARE(w->pnlMain->frontWidget(), w->pnlWelcome);
        QCOMPARE(w->rzpnlHeader->text(), u"Quarvel Cutting Optimization"_s);
    }

    void viewToggles_showAndHideTheirParts()
    {
        auto w = shownWindow();
        const QList<std::pair<QAction *, QWidget *>> toggles = {
            { w->mnuToolBar, w->tbMain },
            { w->mnuStatusBar, w->statusBar() },
            { w->mnuNotes, w->pnlNotes },
            { w->mnuLeftMenu, w->pnlTask },
        };
        for (const auto &[action, part] : toggles) {
            QVERIFY(action->isChecked() && part->isVisible());
            action->trigger();
            QVERIFY(!action->isChecked());
            QVERIFY2(part->isHidden(), qPrintable(action->text()));
            action->trigger();
            QVERIFY(part->isVisible());
        }
    }

    void viewSettings_defaultsOnFirstStart()
    {
        auto w = shownWindow();
        QCOMPARE(w->pnlTask->paneWidth(), 199);
        QCOMPARE(w->pnlTask->width(), 199);
        QCOMPARE(w->pnlNotes->paneWidth(), 186);
        QCOMPARE(w->pnlNotes->width(), 186);
        QCOMPARE(w->width(), 1006);
        QCOMPARE(w->height() - w->menuBar()->height(), 582);
    }

    // Hide the notes and task panes, resize, move, quit: the next start looks the same.
    // However small the window is made, the work panel keeps a usable size and the status-bar
    // panes stay side by side; cut texts show whole as tool tips.
    void smallWindow_keepsEveryPartUsable()
    {
        auto w = shownWindow();
        w->resize(300, 200);
        QCoreApplication::processEvents();
        QVERIFY(w->width() > 300);
        QVERIFY2(w->pnlMain->width() >= TWorkPanel::MinimumSize.width()
                && w->pnlMain->height() >= TWorkPanel::MinimumSize.height(),
            qPrintable(u"%1x%2"_s.arg(w->pnlMain->width()).arg(w->pnlMain->height())));
        QVERIFY(w->pnlTask->width() == 199 && w->pnlNotes->width() == 186);
        QList<QWidget *> panes;
        for (QWidget *p : w->statusBar()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (p->isVisible() && !qobject_cast<QSizeGrip *>(p))
                panes << p;
        std::sort(
            panes.begin(), panes.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        QVERIFY(panes.size() >= 6);
        for (int i = 1; i < panes.size(); ++i)
            QVERIFY2(panes[i - 1]->geometry().right() < panes[i]->x(),
                qPrintable(panes[i - 1]->objectName() + u" overlaps "_s + panes[i]->objectName()));
        QVERIFY(panes.last()->geometry().right() < w->statusBar()->width());
        auto *maker = w->statusBar()->findChild<TStatusText *>(u"stsMaker"_s);
        QVERIFY(maker);
        QCOMPARE(maker->toolTip(), u"Quarvel Software Co.,Ltd."_s);

        // With the side panes hidden, the window may be narrower: the panel's minimum remains.
        w->mnuNotes->trigger();
        w->mnuLeftMenu->trigger();
        w->resize(300, 200);
        QCoreApplication::processEvents();
        QVERIFY(w->pnlMain->width() >= TWorkPanel::MinimumSize.width());
    }

    void viewSettings_roundTrip()
    {
        QRect geometry;
        {
            auto w = shownWindow();
            w->mnuNotes->trigger();
            w->mnuLeftMenu->trigger();
            w->pnlTask->setPaneWidth(251);
            w->pnlNotes->setPaneWidth(143);
            w->setGeometry(70, 80, 900, 640);
            geometry = w->geometry();
            QVERIFY(w->close());
        }
        const QSettings stored(ShellSettings::viewOrganisation(), ShellSettings::viewApplication());
        QVERIFY(QFile::exists(stored.fileName()));
        QVERIFY(stored.fileName().contains(u".qttest"_s)); // never the user's real settings

        auto w = shownWindow();
        QVERIFY(w->mnuToolBar->isChecked() && w->mnuStatusBar->isChecked());
        QVERIFY(!w->mnuNotes->isChecked() && !w->mnuLeftMenu->isChecked());
        QVERIFY(w->tbMain->isVisible() && w->statusBar()->isVisible());
        QVERIFY(w->pnlNotes->isHidden() && w->pnlTask->isHidden());
        QCOMPARE(w->pnlTask->paneWidth(), 251);
        QCOMPARE(w->pnlNotes->paneWidth(), 143);
        QCOMPARE(w->geometry(), geometry);

        // Shown again, the panes come back at their kept widths.
        w->mnuLeftMenu->trigger();
        QCOMPARE(w->pnlTask->width(), 251);
    }

    void viewSettings_maximisedStateIsKept()
    {
        {
            auto w = shownWindow();
            w->showMaximized();
            QTRY_VERIFY(w->isMaximized());
            QVERIFY(w->close());
        }
        auto w = shownWindow();
        QTRY_VERIFY(w->isMaximized());
    }

    void viewSettings_unusableValuesGiveDefaults()
    {
        {
            QSettings s(ShellSettings::viewOrganisation(), ShellSettings::viewApplication());
            s.beginGroup(ShellSettings::viewGroup());
            s.setValue(u"TaskPaneWidth"_s, u"wide"_s);
            s.setValue(u"NotesWidth"_s, -5);
            s.setValue(u"Notes"_s, u"perhaps"_s);
            s.setValue(u"TaskPane"_s, u"false"_s);
            s.setValue(u"Geometry"_s, QByteArray("not a geometry"));
        }
        auto w = shownWindow();
        QCOMPARE(w->pnlTask->paneWidth(), 199);
        QCOMPARE(w->pnlNotes->paneWidth(), 186);
        QVERIFY(w->mnuNotes->isChecked());
        QVERIFY(!w->mnuLeftMenu->isChecked());
        QCOMPARE(w->width(), 1006);
    }

    // F1 hands PNX.CHM of the working directory to the desktop where there is one, else the
    // HTML manual beside the program; "Tavrin软件" the web site.
    void desktopHandOffs()
    {
        TUrlRecorder files;
        TUrlRecorder web;
        QDesktopServices::setUrlHandler(u"file"_s, &files, "open");
        QDesktopServices::setUrlHandler(u"https"_s, &web, "open");
        auto w = shownWindow();
        QFile chm(FCwd->filePath(u"PNX.CHM"_s));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        QTest::keyClick(w.get(), Qt::Key_F1);
        QCOMPARE(files.urls, QList<QUrl> { QUrl::fromLocalFile(FCwd->filePath(u"PNX.CHM"_s)) });
        files.urls.clear();
        QVERIFY(chm.remove());
        QTest::keyClick(w.get(), Qt::Key_F1);
        const QString manual = QCoreApplication::applicationDirPath() + u"/manual/index.html"_s;
        QCOMPARE(files.urls, QList<QUrl> { QUrl::fromLocalFile(manual) });

        auto *tavrin = w->findChild<QToolButton *>(u"itemTavrin"_s);
        QVERIFY(tavrin);
        QTest::mouseClick(tavrin, Qt::LeftButton);
        QCOMPARE(web.urls.size(), 1);
        QCOMPARE(web.urls.first().scheme(), u"https"_s);
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
    }

    // F1 always shows something: the manual that is there but cannot be opened (no browser),
    // or no manual at all, is reported.
    void userManual_thatCannotBeOpened_isReported()
    {
        auto w = shownWindow();
        QVERIFY(QFile::exists(UserManual::htmlFile()));
        w->actManu->trigger(); // no desktop handler for files here: nothing can open it
        QStringList shown = Dialogs::takeCaptured();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(u"不能打开用户手册"_s)
                && shown[0].contains(QDir::toNativeSeparators(UserManual::htmlFile())),
            qPrintable(shown[0]));

        QTemporaryDir empty;
        UserManual::setManualDirectory(empty.path());
        w->actManu->trigger();
        UserManual::setManualDirectory(QString());
        shown = Dialogs::takeCaptured();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(u"找不到用户手册"_s) && shown[0].contains(u"PNX.CHM"_s),
            qPrintable(shown[0]));
    }

    void exitCommand_closesAndSaves()
    {
        auto w = shownWindow();
        w->mnuToolBar->trigger();
        w->actExit->trigger();
        QVERIFY(!w->isVisible());
        QVERIFY(!ShellSettings::TViewSettings::load().toolBar);
    }

    void statusBar_panes()
    {
        auto w = shownWindow();
        const auto text = [&](const char *name) {
            auto *label = w->statusBar()->findChild<QLabel *>(QString::fromLatin1(name));
            return label ? label->text() : u"<missing>"_s;
        };
        QCOMPARE(text("stsMaker"), u"Quarvel Software Co.,Ltd."_s);
        QCOMPARE(text("stsVersion"), QString::fromLatin1(PNX_TEST_VERSION));
        QVERIFY(!text("stsClock").isEmpty());
        QVERIFY(w->statusBar()->findChild<QWidget *>(u"stsCompany"_s));
        QCOMPARE(w->rzprgrstsMain->value(), 0);
        QCOMPARE(w->rzprgrstsMain->text(), u"0%"_s);
        w->rzprgrstsMain->setValue(37); // what the results view does during a run
        QCOMPARE(w->rzprgrstsMain->text(), u"37%"_s);
    }

    void memoryLoad_fromMeminfo_data()
    {
        QTest::addColumn<QByteArray>("meminfo");
        QTest::addColumn<int>("load"); // -1: unknown
        QTest::newRow("typical") << QByteArray(
            "MemTotal:  8000000 kB\nMemFree: 1 kB\nMemAvailable:  2000000 kB\n")
                                 << 75;
        QTest::newRow("all free") << QByteArray("MemAvailable: 100 kB\nMemTotal: 100 kB\n") << 0;
        QTest::newRow("more available than total")
            << QByteArray("MemTotal: 10 kB\nMemAvailable: 50 kB\n") << 0;
        QTest::newRow("no MemAvailable") << QByteArray("MemTotal: 100 kB\nMemFree: 10 kB\n") << -1;
        QTest::newRow("zero total") << QByteArray("MemTotal: 0 kB\nMemAvailable: 0 kB\n") << -1;
        QTest::newRow("garbage") << QByteArray("MemTotal: lots\n\x01\x02:") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }
    void memoryLoad_fromMeminfo()
    {
        QFETCH(QByteArray, meminfo);
        QFETCH(int, load);
        QCOMPARE(SystemStatus::memoryLoadFromMeminfo(meminfo).value_or(-1), load);
    }

    void sizeBar_buttonCollapsesAndRestoresThePane()
    {
        auto w = shownWindow();
        TSizeBar *bar = w->pnlTask->sizeBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->buttonRect().center());
        QVERIFY(w->pnlTask->isCollapsed());
        QCOMPARE(w->pnlTask->width(), TSizeBar::Thickness);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->buttonRect().center());
        QVERIFY(!w->pnlTask->isCollapsed());
        QCOMPARE(w->pnlTask->width(), 199);
    }

    void taskPane_calculatorWorks()
    {
        auto w = shownWindow();
        QCOMPARE(w->calculator->size(), QSize(149, 149));
        w->calculator->setFocus();
        QTest::keyClicks(w->calculator, u"12*3="_s);
        QCOMPARE(w->calculator->display(), u"36"_s);
        QTest::keyClick(w->calculator, Qt::Key_Escape);
        QCOMPARE(w->calculator->display(), u"0"_s);
    }

private:
    std::unique_ptr<ShellFixture::TWorkingDir> FCwd;
};

int main(int argc, char **argv)
{
    TPnxApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
