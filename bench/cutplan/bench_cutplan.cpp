// Speed of the cut plans and of the workshop printout on the engine's benchmark jobs (large:
// 2,000 part kinds, about 50,000 parts, 10 sheet kinds; 2,364 layouts in the quick mode).
//
//   bench_cutplan [--size small|medium|large] [--seed N] [--runs N] [--deep S]
//                 [--workshop] [--out FILE.pdf]
//
// Runs the job once (GoWork, or GoWorkDeep for S seconds), then computes the plans of all
// layouts --runs times and prints the time of each pass, the best, and what the plans hold.
// --workshop then also writes the workshop PDF of every layout (车间图, as pnxcut --workshop does,
// into FILE.pdf or a temporary file) and prints the time to plan its pages and to write it.
// Runs headless on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "CutPlan.h"
#include "EngineLayouts.h"
#include "LayoutChecker.h"
#include "TypeSetClass.h"
#include "Workshop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    const Size *S = &Sizes[2];
    bool Workshop = false;
    QString Out;
    std::uint64_t Seed = 1;
    int Runs = 5;
    double Deep = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string A = argv[i];
        const char *Next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (A == "--size" && Next) {
            S = nullptr;
            for (const Size &C : Sizes)
                if (std::strcmp(C.Name, Next) == 0)
                    S = &C;
            if (!S) {
                std::fprintf(stderr, "unknown size '%s' (small, medium, large)\n", Next);
                return 2;
            }
            ++i;
        } else if (A == "--seed" && Next) {
            Seed = std::strtoull(Next, nullptr, 10);
            ++i;
        } else if (A == "--runs" && Next) {
            Runs = std::max(1, std::atoi(Next));
            ++i;
        } else if (A == "--deep" && Next) {
            Deep = std::atof(Next);
            ++i;
        } else if (A == "--workshop") {
            Workshop = true;
        } else if (A == "--out" && Next) {
            Out = QString::fromLocal8Bit(Next);
            ++i;
        } else {
            std::fprintf(stderr,
                "usage: bench_cutplan [--size small|medium|large] [--seed N] [--runs N] "
                "[--deep S] [--workshop] [--out FILE.pdf]\n");
            return 2;
        }
    }

    enginetest::Random R(Seed);
    const enginetest::GenJob J
        = enginetest::BenchmarkJob(R, S->PartKinds, S->SheetKinds, S->MeanQuantity);
    TRectManage E;
    TEngineLayouts Views(E);
    enginetest::LoadJob(J, E);
    E.SetOnNewRectList([&](int G, int B, int C) { Views.OnNewRectList(G, B, C); });
    if (Deep > 0) {
        TDeepOptions O;
        O.Milliseconds = static_cast<int>(Deep * 1000);
        E.GoWorkDeep(O);
    } else {
        E.GoWork();
    }
    const int Layouts = E.GroupList().Count();
    std::printf("%s seed %llu, %s mode: %d layouts\n", S->Name,
        static_cast<unsigned long long>(Seed), Deep > 0 ? "deep" : "quick", Layouts);

    // All plans at once (one pass over the strips), as pnxcut --cuts makes them.
    double Best = 1e300;
    long Cuttable = 0, Cuts = 0, Offcuts = 0, Kept = 0, Parts = 0;
    for (int Run = 0; Run < Runs; ++Run) {
        Cuttable = Cuts = Offcuts = Kept = 0;
        const auto Start = std::chrono::steady_clock::now();
        const std::vector<TCutPlan> Plans = MakeCutPlans(E);
        for (const TCutPlan &P : Plans) {
            Cuttable += P.Cuttable;
            Cuts += static_cast<long>(P.Cuts.size());
            Offcuts += static_cast<long>(P.Offcuts.size());
            Kept += P.KeptOffcuts();
        }
        const double Ms
            = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start)
                  .count();
        Best = std::min(Best, Ms);
        std::printf("pass %d: %.3f ms\n", Run + 1, Ms);
    }
    // Layout by layout, as the windows make them when a layout is first drawn (each call looks
    // through all strips of the run for its own).
    long SingleCuttable = 0;
    const auto Start = std::chrono::steady_clock::now();
    for (int i = 0; i < Layouts; ++i)
        SingleCuttable += MakeCutPlan(E, E.GroupList().GetItem(i)->Group()).Cuttable;
    const double Single
        = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start)
              .count();
    if (SingleCuttable != Cuttable)
        std::printf("MakeCutPlan and MakeCutPlans disagree\n");
    for (int i = 0; i < E.CreateRectList().Count(); ++i)
        Parts += E.CreateRectList().GetItem(i)->Count();
    std::printf("all plans at once: best %.3f ms for %d layouts (%.1f us a layout)\n", Best,
        Layouts, Layouts ? Best * 1000.0 / Layouts : 0.0);
    std::printf("layout by layout: %.3f ms\n", Single);
    std::printf("%ld cuttable, %ld cuts, %ld offcuts of which %ld kept (余料), %ld parts on the "
                "layouts\n",
        Cuttable, Cuts, Offcuts, Kept, Parts);

    if (!Workshop)
        return 0;
    QTemporaryDir Dir;
    if (Out.isEmpty())
        Out = Dir.filePath(QStringLiteral("workshop.pdf"));
    QElapsedTimer Clock;
    Clock.start();
    const TWorkshopDocument Doc(
        Views, { QStringLiteral("20240101120000"), QStringLiteral("基准"), {} });
    const qint64 PlanMs = Clock.elapsed();
    Clock.restart();
    WriteWorkshopPdf(Out, Doc);
    const qint64 WriteMs = Clock.elapsed();
    rusage U {};
    getrusage(RUSAGE_SELF, &U);
    std::printf("workshop PDF: %d pages planned in %lld ms, written in %lld ms, in all %.2f s\n",
        Doc.PageCount(), static_cast<long long>(PlanMs), static_cast<long long>(WriteMs),
        (PlanMs + WriteMs) / 1000.0);
    std::printf("PDF %.1f MB, peak memory %.0f MB\n", QFileInfo(Out).size() / 1e6,
        double(U.ru_maxrss) / 1024.0);
    return 0;
}
