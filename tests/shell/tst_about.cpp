// The about box: title with the build's version, owner lines read (never written) from the
// per-user settings, links handed to the desktop, fixed size, OK as default button.

#include "PnxApplication.h"
#include "ShellFixture.h"
#include "ShellWidgets.h"
#include "fmAbout.h"
#include "fmMainC.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

class TUrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ShellFixture::setUpApplication(); }

    void init()
    {
        Dialogs::resetHooks();
        ShellFixture::clearSettings();
    }

    void ownerLines_fromTheSettings_data()
    {
        QTest::addColumn<QVariant>("user"); // invalid: value absent
        QTest::addColumn<QVariant>("org");
        QTest::addColumn<QString>("lines");
        QTest::newRow("both recorded") << QVariant(u"张三"_s) << QVariant(u"某某家具厂"_s)
                                       << u"用户: 张三\n单位: 某某家具厂"_s;
        QTest::newRow("no settings") << QVariant() << QVariant() << u"用户: \n单位: "_s;
        QTest::newRow("only the user")
            << QVariant(u"Li Si"_s) << QVariant() << u"用户: Li Si\n单位: "_s;
    }
    void ownerLines_fromTheSettings()
    {
        QFETCH(QVariant, user);
        QFETCH(QVariant, org);
        QFETCH(QString, lines);
        const QString ownerFile = QSettings(u"Quarvel"_s, u"PNX"_s).fileName();
        if (user.isValid() || org.isValid()) {
            QSettings s(u"Quarvel"_s, u"PNX"_s);
            if (user.isValid())
                s.setValue(u"User"_s, user);
            if (org.isValid())
                s.setValue(u"Org"_s, org);
        } else {
            QVERIFY(!QFile::exists(ownerFile));
        }

        // Opened the way the user opens it: F12 in the main window.
        ShellFixture::TWorkingDir cwd;
        TfrmMainC w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QString caption, owner, title;
        QSize size, minimum, maximum;
        QWidget *owningWindow = nullptr;
        Dialogs::setNextDialogHandler([&](QDialog &d) {
            auto &about = dynamic_cast<TfrmAbout &>(d);
            caption = about.windowTitle();
            owner = about.memOwner->toPlainText();
            title = about.lblTitle->text();
            size = about.size();
            minimum = about.minimumSize();
            maximum = about.maximumSize();
            owningWindow = about.parentWidget();
            return int(QDialog::Accepted);
        });
        QTest::keyClick(&w, Qt::Key_F12);
        QCOMPARE(caption, u"关于 板材优化切割软件"_s);
        QCOMPARE(owner, lines);
        QCOMPARE(title,
            u"Quarvel PNX  板材优化切割软件 版本:"_s + QString::fromLatin1(PNX_TEST_VERSION));
        QCOMPARE(size, QSize(558, 506));
        QCOMPARE(minimum, size);
        QCOMPARE(maximum, size);
        QCOMPARE(owningWindow, &w);
        // Only read: nothing was written where there was nothing.
        if (!user.isValid() && !org.isValid())
            QVERIFY(!QFile::exists(ownerFile));
        QVERIFY(Dialogs::takeCaptured().isEmpty());
    }

    void title_withoutVersion()
    {
        QCOMPARE(TfrmAbout::titleText(QString()),
            u"Quarvel PNX  板材优化切割软件 版本:Value Not Available"_s);
        QCOMPARE(TfrmAbout::titleText(u"2.1.0"_s), u"Quarvel PNX  板材优化切割软件 版本:2.1.0"_s);
    }

    void links_areHandedToTheDesktop()
    {
        TUrlRecorder web;
        TUrlRecorder mail;
        QDesktopServices::setUrlHandler(u"https"_s, &web, "open");
        QDesktopServices::setUrlHandler(u"mailto"_s, &mail, "open");
        TfrmAbout about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.lblFeedback->text(), u"反  馈"_s);
        QTest::mouseClick(about.lblWeb, Qt::LeftButton);
        QTest::mouseClick(about.lblFeedback, Qt::LeftButton);
        QCOMPARE(web.urls.size(), 1);
        QCOMPARE(web.urls.first().toString(), about.lblWeb->text());
        QCOMPARE(mail.urls.size(), 1);
        QCOMPARE(mail.urls.first().scheme(), u"mailto"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
        QDesktopServices::unsetUrlHandler(u"mailto"_s);
    }

    void enterKey_closesThroughTheDefaultButton()
    {
        TfrmAbout about;
        QVERIFY(about.btnOK->isDefault());
        // Tests run under the C locale: the button speaks Chinese as every other box does.
        QCOMPARE(about.btnOK->text(), u"确定"_s);
        about.show();
        QApplication::setActiveWindow(&about);
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTest::keyClick(&about, Qt::Key_Return);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

int main(int argc, char **argv)
{
    TPnxApplication app(argc, argv);
    TestAbout test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_about.moc"
