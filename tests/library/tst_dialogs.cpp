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
        QCOMPARE(Dialogs::takeCaptured(), QStringList{u"?删除记录？"_s});
    }

    void messages_areCapturedInsteadOfShown()
    {
        Dialogs::showError(nullptr, u"错误一"_s);
        Dialogs::showInformation(nullptr, u"提示"_s);
        QCOMPARE(Dialogs::takeCaptured(), (QStringList{u"错误一"_s, u"提示"_s}));
        QVERIFY(Dialogs::takeCaptured().isEmpty());
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
        QCOMPARE(Dialogs::takeCaptured(), QStringList{u"?选择零件"_s});
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
