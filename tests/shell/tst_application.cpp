// Start-up and the application-wide error handler: the steps main() runs, with the database
// missing, good or damaged, and readme.rtf present, absent or damaged in the working directory.

#include "DM.h"
#include "DataPlace.h"
#include "PnxApplication.h"
#include "ShellFixture.h"
#include "fmMainC.h"
#include "fmYCLinfo.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

class TThrower : public QObject
{
public:
    static constexpr QEvent::Type Throw = QEvent::User;
    static constexpr QEvent::Type ThrowOther = QEvent::Type(QEvent::User + 1);
    static constexpr QEvent::Type Count = QEvent::Type(QEvent::User + 2);

    QString message;
    int counted = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == Throw)
            throw std::runtime_error(message.toStdString());
        if (e->type() == ThrowOther)
            throw 42;
        if (e->type() == Count) {
            ++counted;
            return true;
        }
        return QObject::event(e);
    }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ShellFixture::setUpApplication();
        QVERIFY(qobject_cast<TPnxApplication *>(qApp));
    }

    void init()
    {
        Dialogs::resetHooks();
        ShellFixture::clearSettings();
    }

    void cleanup()
    {
        delete FrmDM;
        TFrmDM::setDatabaseDirectory(QString());
    }

    void applicationTitle_isSetAtStartUp()
    {
        QCOMPARE(QCoreApplication::applicationName(), u"Tavrin优化切割PNX"_s);
        QCOMPARE(Dialogs::title(), u"Tavrin优化切割PNX"_s);
    }

    // An exception that escapes event delivery is caught in notify and shown with the full-stop
    // rule; the event loop carries on with the next event.
    void errorHandler_catchesEscapingErrors_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("chinese text gets a full stop") << u"数据库已锁定"_s << u"数据库已锁定."_s;
        QTest::newRow("chinese full stop is higher") << u"无法保存。"_s << u"无法保存。."_s;
        QTest::newRow("full stop stays single") << u"Disk full."_s << u"Disk full."_s;
        QTest::newRow("closing bracket is lower") << u"(x)"_s << u"(x)"_s;
        QTest::newRow("slash is higher") << u"D:/"_s << u"D:/."_s;
        QTest::newRow("empty message") << QString() << QString();
    }
    void errorHandler_catchesEscapingErrors()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        TThrower thrower;
        thrower.message = message;

        QEvent direct(TThrower::Throw);
        QVERIFY(!QCoreApplication::sendEvent(&thrower, &direct));
        QCOMPARE(Dialogs::takeCaptured(), QStringList { shown });

        // Through the event loop: the throwing event is abandoned, the next one delivered.
        QCoreApplication::postEvent(&thrower, new QEvent(TThrower::Throw));
        QCoreApplication::postEvent(&thrower, new QEvent(TThrower::Count));
        QCoreApplication::sendPostedEvents(&thrower);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { shown });
        QCOMPARE(thrower.counted, 1);
    }

    void errorHandler_showsAnEmptyMessageForNonStandardErrors()
    {
        TThrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(TThrower::ThrowOther));
        QCoreApplication::sendPostedEvents(&thrower);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { QString() });
    }

    // A command slot that forgot its guard: the error still ends in the handler, and the
    // window goes on working.
    void errorHandler_catchesAThrowingCommand()
    {
        ShellFixture::TWorkingDir cwd;
        TfrmMainC window;
        auto *bad = new QAction(&window);
        bad->setShortcut(Qt::CTRL | Qt::Key_B);
        window.addAction(bad);
        connect(bad, &QAction::triggered, [] { throw std::runtime_error("命令失败"); });
        window.show();
        activate(window);
        QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"命令失败."_s });
        QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"命令失败."_s });
        QVERIFY(window.isVisible());
    }

    // Start-up steps 1 to 3 as main() runs them: the database is opened (a failure is reported
    // once) and the main window opens every time.
    void startUp_withEachKindOfDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("connected");
        QTest::newRow("no database") << u"none"_s << false;
        QTest::newRow("good database") << u"good"_s << true;
        QTest::newRow("damaged: not a database") << u"garbage"_s << false;
        QTest::newRow("damaged: cut short") << u"truncated"_s << false;
        QTest::newRow("damaged: empty file") << u"empty"_s << false;
    }
    void startUp_withEachKindOfDatabase()
    {
        QFETCH(QString, kind);
        QFETCH(bool, connected);
        QTemporaryDir exeDir;
        QVERIFY(exeDir.isValid());
        TFrmDM::setDatabaseDirectory(exeDir.path());
        const QString dat = exeDir.filePath(u"pnx.dat"_s);
        if (kind == u"good") {
            DBSchema::CreateDatabase(dat, DBSchema::TSeed::Examples);
        } else if (kind == u"garbage") {
            writeFile(dat, QByteArray(4096, 'x'));
        } else if (kind == u"truncated") {
            DBSchema::CreateDatabase(dat, DBSchema::TSeed::Examples);
            QFile f(dat);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(f.size() / 3));
        } else if (kind == u"empty") {
            writeFile(dat, {});
        }
        ShellFixture::TWorkingDir cwd; // started from elsewhere: the database is still found

        Startup::createDataModule();
        QVERIFY(FrmDM);
        QCOMPARE(FrmDM->isConnected(), connected);
        const QStringList errors = Dialogs::takeCaptured();
        if (connected) {
            QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'|')));
        } else {
            QCOMPARE(errors.size(), 1);
            QVERIFY2(errors.first().contains(u"pnx.dat"_s), qPrintable(errors.first()));
        }

        const auto window = Startup::createMainWindow();
        QVERIFY(window->isVisible());
        QCOMPARE(frmMainC, window.get());
        QCOMPARE(window->windowTitle(), u"Tavrin优化切割"_s);
        QVERIFY(Dialogs::takeCaptured().isEmpty());
        if (kind == u"none") // no file was created by opening
            QVERIFY(!QFile::exists(dat));
    }

    // Missing at start-up and put back while the program runs: the next command opens the
    // file and works, without a restart.
    void startUp_databaseMissing_thenPutBack_nextCommandWorks()
    {
        QTemporaryDir exeDir;
        TFrmDM::setDatabaseDirectory(exeDir.path());
        ShellFixture::TWorkingDir cwd;
        Startup::createDataModule();
        QCOMPARE(Dialogs::takeCaptured().size(), 1);
        const auto window = Startup::createMainWindow();

        window->actMaterial->trigger();
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"找不到数据库文件"_s), qPrintable(errors[0]));
        QVERIFY(!frmYCLinfo); // no empty editor is left behind

        DBSchema::CreateDatabase(exeDir.filePath(u"pnx.dat"_s), DBSchema::TSeed::Examples);
        window->actMaterial->trigger();
        QVERIFY(Dialogs::takeCaptured().isEmpty());
        QVERIFY(frmYCLinfo);
        QCOMPARE(frmYCLinfo->ADOMaterials->recordCount(), 7);
        QVERIFY(FrmDM->isConnected());
    }

    // Qt's own texts speak Chinese, also under the C locale the tests run in; a message box is
    // wide enough for its whole title.
    void qtTexts_areChinese_andMessageBoxesFitTheirTitle()
    {
        QCOMPARE(QLocale::system().language(), QLocale::C);
        QVERIFY(Startup::loadQtTranslation());
        const auto box = Dialogs::messageBox(nullptr, QMessageBox::Question,
            u"确实要删除当前记录吗？"_s, QString(), QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box->windowTitle(), u"Tavrin优化切割PNX"_s);
        QCOMPARE(box->button(QMessageBox::Ok)->text(), u"确定"_s);
        QCOMPARE(box->button(QMessageBox::Cancel)->text(), u"取消"_s);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QVERIFY2(box->width() >= Dialogs::titleWidth(box->windowTitle()),
            qPrintable(
                u"%1 < %2"_s.arg(box->width()).arg(Dialogs::titleWidth(box->windowTitle()))));

        QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No);
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text().remove(u'&'), u"是(Y)"_s);
        QLineEdit edit;
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList items;
        for (const QAction *a : menu->actions())
            items << a->text();
        QVERIFY2(items.join(u' ').contains(u"粘贴"_s), qPrintable(items.join(u' ')));
    }

    // While a save waits for another program's lock, the busy cursor shows and the status line
    // says why; both go when the wait is over.
    void waitingForTheFile_showsBusyCursorAndStatusText()
    {
        ShellFixture::TWorkingDir cwd;
        const auto window = Startup::createMainWindow();
        QVERIFY(StoreWait::hook());
        StoreWait::hook()(StoreWait::waitingText());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QCOMPARE(window->statusBar()->currentMessage(), StoreWait::waitingText());
        StoreWait::hook()(QString());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(window->statusBar()->currentMessage(), QString());
    }

    // readme.rtf comes from the working directory only; a damaged one is reported and the
    // window opens anyway.
    void startUp_readmeFromTheWorkingDirectory_data()
    {
        QTest::addColumn<QByteArray>("readme"); // null: no file
        QTest::addColumn<QString>("notes"); // expected start of the notes pane
        QTest::addColumn<QString>("error"); // expected error text part, empty for none
        QTest::newRow("absent") << QByteArray() << QString() << QString();
        QTest::newRow("present") << QByteArray(
            "{\\rtf1\\ansi\\ansicpg936{\\b \\'bb\\'b6\\'d3\\'ad}\\par use it}")
                                 << u"欢迎\nuse it"_s << QString();
        QTest::newRow("truncated: what could be read")
            << QByteArray("{\\rtf1\\ansi first\\par sec") << u"first\nsec"_s << QString();
        QTest::newRow("damaged: not rich text")
            << QByteArray("\x00\x01garbage", 9) << QString() << u"readme.rtf"_s;
        QTest::newRow("empty file") << QByteArray("") << QString() << u"readme.rtf"_s;
    }
    void startUp_readmeFromTheWorkingDirectory()
    {
        QFETCH(QByteArray, readme);
        QFETCH(QString, notes);
        QFETCH(QString, error);
        // The build puts the sample readme.rtf beside the test program; it must not be used.
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + u"/readme.rtf"_s));
        ShellFixture::TWorkingDir cwd;
        if (!readme.isNull())
            writeFile(cwd.filePath(u"readme.rtf"_s), readme);

        const auto window = Startup::createMainWindow();
        QVERIFY(window->isVisible());
        QCOMPARE(window->edtNotes->toPlainText(), notes);
        const QStringList errors = Dialogs::takeCaptured();
        if (error.isEmpty()) {
            QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'|')));
        } else {
            QCOMPARE(errors.size(), 1);
            QVERIFY2(errors.first().contains(error), qPrintable(errors.first()));
        }
    }

    void startUp_showsTheSampleReadme()
    {
        ShellFixture::TWorkingDir cwd;
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + u"/readme.rtf"_s,
            cwd.filePath(u"readme.rtf"_s)));
        const auto window = Startup::createMainWindow();
        QVERIFY(Dialogs::takeCaptured().isEmpty());
        const QTextDocument *doc = window->edtNotes->document();
        QVERIFY(doc->toPlainText().startsWith(u"板材优化切割软件\n使用说明\n"_s));
        QTextCursor heading(doc->firstBlock());
        heading.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(heading.charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(doc->toPlainText().contains(u"F4 原材料管理"_s));
        QVERIFY(!doc->toPlainText().contains(u'?')); // every \u fallback was skipped
    }

    // The installed program, started in a folder without notes (the user's home, from the
    // desktop's menu), shows the notes of its shared folder; a working directory with its own
    // notes keeps them.
    void startUp_installedProgramFindsItsNotes_data()
    {
        QTest::addColumn<bool>("ownNotes");
        QTest::newRow("working directory without notes") << false;
        QTest::newRow("working directory with its own") << true;
    }
    void startUp_installedProgramFindsItsNotes()
    {
        QFETCH(bool, ownNotes);
        QTemporaryDir shared;
        QVERIFY(shared.isValid());
        writeFile(shared.filePath(u"readme.rtf"_s), "{\\rtf1\\ansi shared notes}");
        DataPlace::setSharedDirectory(shared.path());
        const auto restore = qScopeGuard([] { DataPlace::setSharedDirectory(QString()); });
        ShellFixture::TWorkingDir cwd;
        if (ownNotes)
            writeFile(cwd.filePath(u"readme.rtf"_s), "{\\rtf1\\ansi own notes}");
        const auto window = Startup::createMainWindow();
        QVERIFY(Dialogs::takeCaptured().isEmpty());
        QCOMPARE(window->edtNotes->toPlainText(), ownNotes ? u"own notes"_s : u"shared notes"_s);
    }

private:
    static void activate(QWidget &w)
    {
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
};

int main(int argc, char **argv)
{
    TPnxApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
