// Speed of the results window on the engine's large benchmark job (2,000 part kinds, about
// 50,000 parts, 10 sheet kinds): from 优化计算 to a completed window with every tab, the usage
// list, the first layout drawn and the report in the notes pane, with the events that follow
// handled (the window painted).
//
//   bench_results [--runs N] [--seed N] [--size small|medium|large]
//   bench_results --deep SECONDS [--stop-after SECONDS] [--seed N] [--size ...]
//
// Prints the time of each run, the mean, and the process's peak memory. With --deep: one deep
// run of that budget through the window (on its worker thread), pressing 停止 after
// --stop-after seconds when given; prints the longest stall of the window's event loop during
// the run (a timer that should fire every 5 ms), the longest wait between two progress updates,
// the time from 停止 to a complete window, and the time the end of the run (tabs, totals,
// report) takes on the window's thread. Runs headless on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "Dialogs.h"
#include "DrawMaterial.h"
#include "LayoutChecker.h"
#include "TypeSetClass.h"
#include "fmTypeSet.h"

#include "TabStrip.h"
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Size
{
    const char *Name;
    int PartKinds;
    int SheetKinds;
    int MeanQuantity;
};
constexpr Size Sizes[]
    = { { "small", 20, 3, 10 }, { "medium", 200, 5, 25 }, { "large", 2000, 10, 25 } };

double PeakMegabytes()
{
    rusage U {};
    getrusage(RUSAGE_SELF, &U);
    return double(U.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window remembers its options: a measured run must not change the user's settings.
    QTemporaryDir SettingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, SettingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, SettingsDir.path());
    Dialogs::setCapture(true); // a message box must never stop a measured run

    int Runs = 5;
    double DeepSeconds = 0;
    double StopAfter = 0;
    std::uint64_t Seed = 1;
    const Size *S = &Sizes[2];
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--runs"))
            Runs = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--deep"))
            DeepSeconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--stop-after"))
            StopAfter = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed"))
            Seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--size"))
            for (const Size &Z : Sizes)
                if (!std::strcmp(argv[i + 1], Z.Name))
                    S = &Z;
    }

    enginetest::Random R(Seed);
    const enginetest::GenJob Job
        = enginetest::BenchmarkJob(R, S->PartKinds, S->SheetKinds, S->MeanQuantity);
    std::int64_t Parts = 0;
    for (const auto &P : Job.Parts)
        Parts += P.Quantity;

    // The main window's central area with the notes pane beside it, at the first-start size.
    QWidget Main;
    Main.resize(1006, 582);
    auto *Row = new QHBoxLayout(&Main);
    QWidget *Central = new QWidget(&Main);
    auto *CentralBox = new QHBoxLayout(Central);
    CentralBox->setContentsMargins(0, 0, 0, 0);
    auto *Notes = new QTextEdit(&Main);
    Notes->setFixedWidth(186);
    QProgressBar Progress;
    Row->addWidget(Central, 1);
    Row->addWidget(Notes);

    TRectManage Engine;
    enginetest::LoadJob(Job, Engine);
    auto *Window = new TfrmTypeSet(Engine, Central);
    CentralBox->addWidget(Window);
    Window->Notes = Notes;
    Window->ProgressStatus = &Progress;
    Main.show();
    QApplication::processEvents();

    if (DeepSeconds > 0) {
        Window->cbDeep->setChecked(true);
        Window->edtSeconds->setValue(std::max(1, int(DeepSeconds)));
        QElapsedTimer Clock;
        qint64 LastTick = 0, WorstStall = 0, LastProgress = 0, WorstProgressGap = 0;
        qint64 StoppedAt = -1, DoneAt = -1, WorstStallEnd = 0;
        qint64 FirstProgress = -1, EndStall = 0, TabsAt = -1;
        QString LastStatus;
        QTimer Tick;
        Tick.setInterval(5);
        QObject::connect(&Tick, &QTimer::timeout, [&] {
            const qint64 Now = Clock.nsecsElapsed() / 1000;
            // A gap that ends while the run goes on is a stall of the run; the one that ends after
            // it is the end of the run (tabs, totals and the report made on this thread).
            if (Window->isRunning() && Now - LastTick > WorstStall) {
                WorstStall = Now - LastTick;
                WorstStallEnd = Now;
            } else if (!Window->isRunning())
                EndStall = std::max(EndStall, Now - LastTick);
            LastTick = Now;
            if (TabsAt < 0 && Window->TabSet1->count() > 0)
                TabsAt = Now;
            if (Window->isRunning()) {
                const QString Status = Window->StatusPane0->text() + Window->statusText();
                if (Status != LastStatus) {
                    if (FirstProgress < 0)
                        FirstProgress = Now;
                    WorstProgressGap = std::max(WorstProgressGap, Now - LastProgress);
                    LastProgress = Now;
                    LastStatus = Status;
                }
                if (StopAfter > 0 && StoppedAt < 0 && Now >= qint64(StopAfter * 1e6)) {
                    StoppedAt = Now;
                    Window->actYHJS->trigger(); // 停止
                }
            }
        });
        Clock.start();
        Tick.start();
        Window->actYHJS->trigger();
        while (Window->isRunning())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        DoneAt = Clock.nsecsElapsed() / 1000;
        Tick.stop();
        std::printf("deep run of %g s on the %s job (seed %llu): %d layouts, %s\n", DeepSeconds,
            S->Name, static_cast<unsigned long long>(Seed), Window->LayoutCount(),
            qPrintable(Window->Panel7->text() + u' ' + Window->pnlBound->text()));
        std::printf("longest event-loop stall during the run: %.1f ms, ending %.3f s after 优化计算 "
                    "(timer every 5 ms)\n",
            WorstStall / 1000.0, WorstStallEnd / 1e6);
        std::printf("the end of the run (tabs, totals, report into the notes pane): %.1f ms\n",
            EndStall / 1000.0);
        std::printf("first progress shown %.3f s after 优化计算\n", FirstProgress / 1e6);
        std::printf("longest wait between progress updates: %.1f ms\n", WorstProgressGap / 1000.0);
        if (StoppedAt >= 0) {
            std::printf("停止 to the layouts shown (tabs, totals, first drawing): %.1f ms\n",
                (TabsAt - StoppedAt) / 1000.0);
            std::printf("停止 to a complete window, report included: %.1f ms\n",
                (DoneAt - StoppedAt) / 1000.0);
        }
        std::printf("peak memory: %.1f MB\n", PeakMegabytes());
        return 0;
    }

    double Sum = 0, Best = 1e300;
    for (int Run = 0; Run < Runs; ++Run) {
        QElapsedTimer T;
        T.start();
        Window->actYHJS->trigger();
        // Everything the run posted (layout, painting of the window, the tab strip and the notes)
        // is handled before the window counts as responsive.
        QApplication::processEvents();
        QApplication::processEvents();
        const double Ms = double(T.nsecsElapsed()) / 1e6;
        Sum += Ms;
        Best = std::min(Best, Ms);
        std::printf("run %d: %.1f ms  (%d tabs, %d usage rows, report %lld lines, first layout %d "
                    "parts drawn)\n",
            Run + 1, Ms, Window->TabSet1->count(), Window->ListView2->rowCount(),
            static_cast<long long>(Notes->document()->blockCount()),
            Window->shownView() ? Window->shownView()->Materials()->Count() : 0);
    }

    // Responsiveness afterwards: the last tab, and the end of the report.
    QElapsedTimer T;
    T.start();
    Window->TabSet1->setCurrentIndex(Window->TabSet1->count() - 1);
    QApplication::processEvents();
    const double LastTab = double(T.nsecsElapsed()) / 1e6;
    T.restart();
    Notes->verticalScrollBar()->setValue(Notes->verticalScrollBar()->maximum());
    QApplication::processEvents();
    const double ReportEnd = double(T.nsecsElapsed()) / 1e6;

    std::printf("job %s (seed %llu): %d part kinds, %lld parts, %d sheet kinds, %d layouts\n",
        S->Name, static_cast<unsigned long long>(Seed), S->PartKinds, static_cast<long long>(Parts),
        S->SheetKinds, Window->LayoutCount());
    std::printf(
        "优化计算 to a completed, painted window: mean %.1f ms, best %.1f ms over %d runs\n",
        Sum / Runs, Best, Runs);
    std::printf("showing the last tab: %.1f ms; scrolling to the report's end: %.1f ms\n", LastTab,
        ReportEnd);
    std::printf("peak memory: %.1f MB\n", PeakMegabytes());
    return 0;
}
