// The deep mode in the results window: its options remembered, a run on a worker thread that
// gives what pnxcut gives, 停止 with a usable result, and closing the window during a run.

#include "AppSettings.h"
#include "Dialogs.h"
#include "JobFile.h"
#include "TabStrip.h"
#include "TypeSetClass.h"
#include "fmTypeSet.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

cli::Job readJob(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    cli::ParseOutcome parsed = cli::ParseJob(f.readAll().toStdString());
    if (!parsed.Parsed)
        qFatal("bad job %s: %s", qPrintable(path), parsed.Error.Message.c_str());
    return *parsed.Parsed;
}

QString examples()
{
    return QStringLiteral(PNX_EXAMPLES_DIR);
}

// A job no search proves optimal within seconds: sixty odd kinds on a sheet with kerf.
void loadHardJob(TRectManage &engine)
{
    engine.BCTypeList().Clear();
    engine.MaterialTypeList().Clear();
    TMaterialType *s = engine.AddBC(2440, 1220);
    s->SetText("板");
    s->SetBlade(4);
    s->SetPrice(100);
    for (int i = 0; i < 60; ++i)
        engine.Add(211 + (i * 37) % 590, 97 + (i * 53) % 410, 1 + i % 4)->SetText("件");
}

bool everyPartPlaced(TRectManage &engine)
{
    TMaterialTypeList &parts = engine.MaterialTypeList();
    for (int i = 0; i < parts.Count(); ++i)
        if (parts.Items(i)->UsedCount() < parts.Items(i)->Count())
            return false;
    return true;
}

} // namespace

class TestDeepRun : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FDir.path());
    }
    void init()
    {
        QSettings(AppSettings::organisation(), AppSettings::application()).clear();
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmTypeSet);
        QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked");
    }

    // Off at first start; the check box and the budget are remembered for the next window.
    void deepOptions_rememberedInTheSettings()
    {
        TRectManage engine;
        {
            TfrmTypeSet w(engine);
            QVERIFY(!w.cbDeep->isChecked());
            QCOMPARE(w.edtSeconds->value(), 10);
            QVERIFY(!w.edtSeconds->isEnabled());
            QCOMPARE(w.edtSeconds->minimum(), 1);
            QCOMPARE(w.edtSeconds->maximum(), 3600);
            w.cbDeep->setChecked(true);
            QVERIFY(w.edtSeconds->isEnabled());
            w.edtSeconds->setValue(45);
        }
        TfrmTypeSet again(engine);
        QVERIFY(again.cbDeep->isChecked());
        QCOMPARE(again.edtSeconds->value(), 45);
    }

    // A work-limited deep run through the window gives pnxcut's totals and report, block of the
    // deep mode included: the same layouts.
    void workLimitedRun_isWhatPnxcutReports_data()
    {
        QTest::addColumn<QString>("job");
        QTest::newRow("kitchen, by area") << u"kitchen-cabinet-deep"_s;
        QTest::newRow("glass, by cost") << u"glass-windows-deep"_s;
    }
    void workLimitedRun_isWhatPnxcutReports()
    {
        QFETCH(QString, job);
        const cli::Job J = readJob(examples() + u'/' + job + u".job"_s);
        QVERIFY(J.Deep && J.Work > 0);
        TRectManage engine;
        cli::LoadJob(J, engine);
        QTextEdit notes;
        auto *w = new TfrmTypeSet(engine);
        w->Notes = &notes;
        w->cbDeep->setChecked(true);
        w->cbCost->setChecked(J.UseCost);
        w->setDeepWorkLimit(J.Work);
        w->show();
        w->actYHJS->trigger();
        QVERIFY(w->isRunning());
        QCOMPARE(w->actYHJS->text(), u"停止"_s);
        QVERIFY(!w->cbCost->isEnabled() && !w->cbDeep->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isRunning(), 60000);
        QCOMPARE(w->actYHJS->text(), u"优化计算"_s);
        QVERIFY(w->actYHJS->isEnabled());
        QVERIFY(w->StatusPane0->text().startsWith(u"计算完成"_s));

        QFile expected(examples() + u"/expected/"_s + job + u".report"_s);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(notes.toPlainText() + u'\n', QString::fromUtf8(expected.readAll()));
        QVERIFY(w->pnlBound->isVisible());
        QVERIFY2(w->pnlBound->text().startsWith(u"下界："_s), qPrintable(w->pnlBound->text()));
        QVERIFY(w->TabSet1->count() > 0);
        delete w;
    }

    // 停止 ends the run at once with a complete layout of every part, and the window is usable:
    // the tabs show, and the next run can start.
    void stop_leavesACompleteResultAndAUsableWindow()
    {
        AppSettings::setValue(AppSettings::Key::DeepSeconds, 3600);
        TRectManage engine;
        loadHardJob(engine);
        auto *w = new TfrmTypeSet(engine);
        w->cbDeep->setChecked(true);
        w->show();
        w->actYHJS->trigger();
        QVERIFY(w->isRunning());
        // Progress arrives while it runs, without a click on anything.
        QTRY_VERIFY_WITH_TIMEOUT(!w->statusText().isEmpty(), 10000);
        QVERIFY(w->isRunning());
        w->actYHJS->trigger(); // 停止
        QTRY_VERIFY_WITH_TIMEOUT(!w->isRunning(), 5000);
        QVERIFY(engine.DeepResult().Cancelled);
        QVERIFY(!engine.Execpt());
        QVERIFY(everyPartPlaced(engine));
        QVERIFY(w->TabSet1->count() > 0);
        QCOMPARE(w->TabSet1->currentIndex(), 0);
        QVERIFY(w->actPreview->isEnabled() && w->cbDeep->isEnabled());
        QVERIFY(w->Panel8->text().startsWith(u"原材料总数："_s));

        // Again, quick this time: the designed run is untouched by the deep one before.
        w->cbDeep->setChecked(false);
        w->actYHJS->trigger();
        QVERIFY(!w->isRunning());
        QVERIFY(everyPartPlaced(engine));
        delete w;
    }

    // Closing the window during a run stops it: the worker is joined, nothing is shown or
    // written afterwards, and the engine can run again.
    void closingDuringARun_stopsItCleanly()
    {
        AppSettings::setValue(AppSettings::Key::DeepSeconds, 3600);
        TRectManage engine;
        loadHardJob(engine);
        QPointer<TfrmTypeSet> w = new TfrmTypeSet(engine);
        bool asked = false;
        w->SchemeRows = [&asked]() -> TRowSet * {
            asked = true;
            return nullptr;
        };
        w->cbDeep->setChecked(true);
        w->show();
        w->actYHJS->trigger();
        QVERIFY(w->isRunning());
        QTest::qWait(200);
        QVERIFY(w->close());
        QVERIFY(!w->isRunning());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w);
        QCoreApplication::processEvents(); // what the worker posted finds no window
        QVERIFY(!asked);
        engine.GoWork();
        QVERIFY(everyPartPlaced(engine));
    }
};

QTEST_MAIN(TestDeepRun)
#include "tst_deeprun.moc"
