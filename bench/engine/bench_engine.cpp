// Speed of the layout engine: GoWork + GetTotalBC on seeded generated jobs.
//
//   bench_engine [Google Benchmark options]     timings of small, medium and large jobs
//   bench_engine --once SIZE [--seed N]         one run of one job (small, medium, large), then
//                                               its time, result and the process's peak memory
//
// Jobs: parts 50-1500 x 30-900 mm with random quantities, 3 / 5 / 10 sheet kinds of common sizes
// with kerf 0-5 and prices 40-300.
//   small   20 part kinds,   about 200 parts
//   medium  200 part kinds,  about 5,000 parts
//   large   2,000 part kinds, about 50,000 parts
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

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

enginetest::GenJob MakeJob(const Size &S, std::uint64_t Seed, int Options)
{
    enginetest::Random R(Seed);
    enginetest::GenJob J = enginetest::BenchmarkJob(R, S.PartKinds, S.SheetKinds, S.MeanQuantity);
    J.UseCost = Options & 1;
    J.UseBigSheet = Options & 2;
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

int RunOnce(const char *SizeName, std::uint64_t Seed, int Options)
{
    const Size *S = nullptr;
    for (const Size &Candidate : Sizes)
        if (std::strcmp(Candidate.Name, SizeName) == 0)
            S = &Candidate;
    if (!S) {
        std::fprintf(stderr, "unknown size '%s' (small, medium, large)\n", SizeName);
        return 2;
    }
    const enginetest::GenJob J = MakeJob(*S, Seed, Options);
    TRectManage E;
    enginetest::LoadJob(J, E);
    const auto Start = std::chrono::steady_clock::now();
    E.GoWork();
    E.GetTotalBC();
    const auto Stop = std::chrono::steady_clock::now();
    std::int64_t Sheets = 0;
    for (int i = 0; i < E.TotalBCList().Count(); ++i)
        Sheets += E.TotalBCList().GetItem(i)->UsedCount();
    rusage Usage {};
    getrusage(RUSAGE_SELF, &Usage);
    std::printf("%s seed %llu options %d: %d part kinds, %lld parts, %d sheet kinds\n", S->Name,
        static_cast<unsigned long long>(Seed), Options, S->PartKinds,
        static_cast<long long>(TotalParts(J)), S->SheetKinds);
    std::printf("time %.3f ms, %d layout groups, %lld sheets, execpt %d\n",
        std::chrono::duration<double, std::milli>(Stop - Start).count(), E.GroupList().Count(),
        static_cast<long long>(Sheets), int(E.Execpt()));
    std::printf("peak memory (ru_maxrss) %ld KiB\n", Usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--once") == 0) {
        std::uint64_t Seed = 1;
        int Options = 0;
        for (int i = 3; i + 1 < argc; i += 2) {
            if (std::strcmp(argv[i], "--seed") == 0)
                Seed = std::strtoull(argv[i + 1], nullptr, 10);
            else if (std::strcmp(argv[i], "--options") == 0)
                Options = std::atoi(argv[i + 1]) & 3;
        }
        return RunOnce(argv[2], Seed, Options);
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
