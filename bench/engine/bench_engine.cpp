// Speed of the layout engine: GoWork + GetTotalBC on seeded generated jobs.
//
//   bench_engine [Google Benchmark options]     timings of small, medium and large jobs
//   bench_engine --once SIZE [--seed N] [--options N] [--grain PERCENT]
//                                               one run of one job (small, medium, large), then
//                                               its time, result and the process's peak memory
//   bench_engine --once SIZE --deep S [--work N] [--threads N] [--seed N] [--options N]
//                                               the same with the deep mode (GoWorkDeep) for S
//                                               seconds (or N units of work); also checks the
//                                               layout (rules and guillotine cuts) and prints
//                                               utilisation, cost and the gap to the bound
//   bench_engine --job SIZE [--seed N] [--options N]
//                                               the job as a pnxcut job file on standard output
//
// --options: 1 cost, 2 bigsheet (added). --grain: every sheet with grain and that share of the part
// kinds (spread evenly) held to it.
// Jobs: parts 50-1500 x 30-900 mm with random quantities, 3 / 5 / 10 sheet kinds of common sizes
// with kerf 0-5 and prices 40-300.
//   small   20 part kinds,   about 200 parts
//   medium  200 part kinds,  about 5,000 parts
//   large   2,000 part kinds, about 50,000 parts
//   cut2000, cut20000   the first 2,000 or 20,000 parts of the large job (its part kinds in
//                       order, the last one cut short), on its sheet kinds
//   distinct  50,000 part kinds of one part each, 10 sheet kinds
//   millions  4 part kinds of up to 10,000,000 parts each, 3 sheet kinds
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <benchmark/benchmark.h>
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
    int Cut; // > 0: only the first Cut parts
};

constexpr Size Sizes[]
    = { { "small", 20, 3, 10, 0 }, { "medium", 200, 5, 25, 0 }, { "large", 2000, 10, 25, 0 },
          { "cut2000", 2000, 10, 25, 2000 }, { "cut20000", 2000, 10, 25, 20000 },
          { "distinct", 50000, 10, 1, 0 }, { "millions", 4, 3, 5000000, 0 } };

enginetest::GenJob MakeJob(const Size &S, std::uint64_t Seed, int Options, int GrainPercent = 0)
{
    enginetest::Random R(Seed);
    enginetest::GenJob J = enginetest::BenchmarkJob(R, S.PartKinds, S.SheetKinds, S.MeanQuantity);
    if (S.Cut > 0)
        J = enginetest::FirstParts(J, S.Cut);
    J.UseCost = Options & 1;
    J.UseBigSheet = Options & 2;
    if (GrainPercent > 0) {
        for (enginetest::GenSheet &Sh : J.Sheets)
            Sh.Grain = true;
        for (std::size_t i = 0; i < J.Parts.size(); ++i)
            J.Parts[i].Grain = (i * std::size_t(GrainPercent)) / 100
                != ((i + 1) * std::size_t(GrainPercent)) / 100;
    }
    return J;
}

std::int64_t TotalParts(const enginetest::GenJob &J)
{
    std::int64_t N = 0;
    for (const auto &P : J.Parts)
        N += P.Quantity;
    return N;
}

// One benchmark: the job is loaded outside the timed region, the run inside it.
void RunLayout(benchmark::State &State, const Size &S, int Options)
{
    const enginetest::GenJob J = MakeJob(S, 1, Options);
    std::int64_t Sheets = 0, Groups = 0;
    for (auto _ : State) {
        State.PauseTiming();
        TRectManage E;
        enginetest::LoadJob(J, E);
        State.ResumeTiming();
        E.GoWork();
        E.GetTotalBC();
        benchmark::DoNotOptimize(E.TotalBCNum());
        State.PauseTiming();
        Groups = E.GroupList().Count();
        Sheets = 0;
        for (int i = 0; i < E.TotalBCList().Count(); ++i)
            Sheets += E.TotalBCList().GetItem(i)->UsedCount();
        State.ResumeTiming();
    }
    State.counters["parts"] = static_cast<double>(TotalParts(J));
    State.counters["groups"] = static_cast<double>(Groups);
    State.counters["sheets"] = static_cast<double>(Sheets);
}

struct DeepRun
{
    bool On = false;
    double Seconds = 1.0;
    std::uint64_t Work = 0;
    int Threads = 0;
};

const Size *FindSize(const char *SizeName)
{
    for (const Size &Candidate : Sizes)
        if (std::strcmp(Candidate.Name, SizeName) == 0)
            return &Candidate;
    std::fprintf(stderr,
        "unknown size '%s' (small, medium, large, cut2000, cut20000, distinct, millions)\n",
        SizeName);
    return nullptr;
}

int RunOnce(
    const char *SizeName, std::uint64_t Seed, int Options, const DeepRun &Deep, int GrainPercent)
{
    const Size *S = FindSize(SizeName);
    if (!S)
        return 2;
    const enginetest::GenJob J = MakeJob(*S, Seed, Options, GrainPercent);
    TRectManage E;
    enginetest::LoadJob(J, E);
    std::vector<enginetest::Event> Events;
    E.SetOnNewRectList([&Events](int G, int B, int C) { Events.push_back({ G, B, C }); });
    const auto Start = std::chrono::steady_clock::now();
    if (Deep.On) {
        TDeepOptions O;
        O.Milliseconds = Deep.Work ? 0 : static_cast<int>(Deep.Seconds * 1000.0);
        O.WorkLimit = Deep.Work;
        O.Threads = Deep.Threads;
        E.GoWorkDeep(O);
    } else {
        E.GoWork();
    }
    E.GetTotalBC();
    const auto Stop = std::chrono::steady_clock::now();
    std::int64_t Sheets = 0;
    for (int i = 0; i < E.TotalBCList().Count(); ++i)
        Sheets += E.TotalBCList().GetItem(i)->UsedCount();
    double PartsArea = 0.0, SheetArea = 0.0, Cost = 0.0;
    for (int g = 0; g < E.GroupList().Count(); ++g) {
        const TMaterialType &G = *E.GroupList().GetItem(g);
        PartsArea += double(G.MaxWidth()) * G.Count();
        SheetArea += double(G.MaxHieght()) * G.Count();
    }
    for (const enginetest::Event &Ev : Events)
        if (Ev.BCindex >= 0)
            Cost += E.BCTypeList().GetItem(Ev.BCindex)->Price() * Ev.RectCount;
    rusage Usage {};
    getrusage(RUSAGE_SELF, &Usage);
    std::printf("%s seed %llu options %d%s: %zu part kinds, %lld parts, %d sheet kinds\n", S->Name,
        static_cast<unsigned long long>(Seed), Options, Deep.On ? " deep" : "", J.Parts.size(),
        static_cast<long long>(TotalParts(J)), S->SheetKinds);
    if (GrainPercent > 0)
        std::printf("grain: every sheet, %d %% of the part kinds held\n", GrainPercent);
    std::printf("time %.3f ms, %d layout groups, %lld sheets, execpt %d\n",
        std::chrono::duration<double, std::milli>(Stop - Start).count(), E.GroupList().Count(),
        static_cast<long long>(Sheets), int(E.Execpt()));
    std::printf("utilisation %.3f %%, total cost %.2f\n",
        SheetArea > 0 ? PartsArea / SheetArea * 100.0 : 0.0, Cost);
    if (Deep.On) {
        const TDeepResult &R = E.DeepResult();
        std::printf("bound %.6g (%s; area bound %.6g), result %.3f %% above it, work %llu\n",
            R.Bound, R.Cost ? "cost" : "sheet area", R.AreaBound,
            R.Bound > 0 ? (R.Objective / R.Bound - 1.0) * 100.0 : 0.0,
            static_cast<unsigned long long>(R.Work));
        std::vector<std::string> Broken = enginetest::CheckLayout(E, Events, 5);
        for (const std::string &Line : enginetest::CheckGuillotine(E, 5))
            Broken.push_back(Line);
        std::printf("layout check: %s\n", Broken.empty() ? "all rules kept" : "BROKEN");
        for (const std::string &Line : Broken)
            std::printf("  %s\n", Line.c_str());
    }
    std::printf("peak memory (ru_maxrss) %ld KiB\n", Usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && (std::strcmp(argv[1], "--once") == 0 || std::strcmp(argv[1], "--job") == 0)) {
        std::uint64_t Seed = 1;
        int Options = 0;
        int GrainPercent = 0;
        DeepRun Deep;
        for (int i = 3; i + 1 < argc; i += 2) {
            if (std::strcmp(argv[i], "--seed") == 0)
                Seed = std::strtoull(argv[i + 1], nullptr, 10);
            else if (std::strcmp(argv[i], "--options") == 0)
                Options = std::atoi(argv[i + 1]) & 3;
            else if (std::strcmp(argv[i], "--grain") == 0)
                GrainPercent = std::clamp(std::atoi(argv[i + 1]), 0, 100);
            else if (std::strcmp(argv[i], "--deep") == 0) {
                Deep.On = true;
                Deep.Seconds = std::atof(argv[i + 1]);
            } else if (std::strcmp(argv[i], "--work") == 0) {
                Deep.On = true;
                Deep.Work = std::strtoull(argv[i + 1], nullptr, 10);
            } else if (std::strcmp(argv[i], "--threads") == 0)
                Deep.Threads = std::atoi(argv[i + 1]);
        }
        if (std::strcmp(argv[1], "--once") == 0)
            return RunOnce(argv[2], Seed, Options, Deep, GrainPercent);
        const Size *S = FindSize(argv[2]);
        if (!S)
            return 2;
        std::fputs(enginetest::JobText(MakeJob(*S, Seed, Options, GrainPercent)).c_str(), stdout);
        return 0;
    }
    for (const Size &S : Sizes) {
        benchmark::RegisterBenchmark((std::string("GoWork/") + S.Name).c_str(),
            [&S](benchmark::State &State) { RunLayout(State, S, 0); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("GoWork/") + S.Name + "/cost").c_str(),
            [&S](benchmark::State &State) { RunLayout(State, S, 1); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("GoWork/") + S.Name + "/bigsheet").c_str(),
            [&S](benchmark::State &State) { RunLayout(State, S, 2); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
