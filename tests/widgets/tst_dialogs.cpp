#include "Dialogs.h"

#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }

    void queuedAnswers_areUsedInOrder_thenCaptureCancels()
    {
        Dialogs::setNextAnswer(true);
        Dialogs::setNextAnswer(false);
        QVERIFY(Dialogs::askOkCancel(nullptr, u"a"_s));
        QVERIFY(!Dialogs::askOkCancel(nullptr, u"b"_s));
        // No answer left: under capture the question is recorded and counts as Cancel.
        QVERIFY(!Dialogs::askOkCancel(nullptr, u"删除记录？"_s));
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"?删除记录？"_s });
    }

    void questions_areRecordedWithTheirTitle_defaultTheApplicationTitle()
    {
        QCoreApplication::setApplicationName(u"Tavrin优化切割PNX"_s);
        Dialogs::setNextAnswer(true);
        Dialogs::askOkCancel(nullptr, u"是否要执行删除操作！"_s, u"警告..."_s);
        Dialogs::askOkCancel(nullptr, u"删除记录？"_s);
        const auto asked = Dialogs::takeAsked();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].title, u"警告..."_s);
        QCOMPARE(asked[0].text, u"是否要执行删除操作！"_s);
        QCOMPARE(asked[1].title, u"Tavrin优化切割PNX"_s);
        QVERIFY(Dialogs::takeAsked().isEmpty());
    }

    void messages_areCapturedInsteadOfShown()
    {
        Dialogs::showError(nullptr, u"错误一"_s);
        Dialogs::showInformation(nullptr, u"提示"_s);
        QCOMPARE(Dialogs::takeCaptured(), (QStringList { u"错误一"_s, u"提示"_s }));
        QVERIFY(Dialogs::takeCaptured().isEmpty());
    }

    void errorText_appendsFullStopAfterHigherCharacter_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << u"File not found"_s << u"File not found."_s;
        QTest::newRow("chinese full stop") << u"无法打开。"_s << u"无法打开。."_s;
        QTest::newRow("full stop") << u"Done."_s << u"Done."_s;
        QTest::newRow("comma is lower") << u"a,"_s << u"a,"_s;
        QTest::newRow("slash is higher") << u"C:/"_s << u"C:/."_s;
        QTest::newRow("space is lower") << u"x "_s << u"x "_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void errorText_appendsFullStopAfterHigherCharacter()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(Dialogs::errorText(message), shown);
    }

    void guarded_reportsEscapingExceptions_andGoesOn()
    {
        bool after = false;
        Dialogs::guarded([] { throw std::runtime_error("数据库已锁定"); });
        Dialogs::guarded([] { throw 42; });
        Dialogs::guarded([&] { after = true; });
        QVERIFY(after);
        QCOMPARE(Dialogs::takeCaptured(), (QStringList { u"数据库已锁定."_s, QString() }));
    }

    void dialogHandler_decidesResult_andMaySeeTheDialog()
    {
        QDialog d;
        d.setWindowTitle(u"选择零件"_s);
        QString seen;
        Dialogs::setNextDialogHandler([&](QDialog &dlg) {
            seen = dlg.windowTitle();
            return int(QDialog::Accepted);
        });
        QCOMPARE(Dialogs::exec(d), int(QDialog::Accepted));
        QCOMPARE(seen, u"选择零件"_s);
        QCOMPARE(Dialogs::exec(d), int(QDialog::Rejected)); // no handler left, captured
        QCOMPARE(Dialogs::takeCaptured(), QStringList { u"?选择零件"_s });
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
