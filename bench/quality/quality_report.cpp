// Layout quality of the engine on published two-dimensional packing instances, against the best
// known values stored beside them:
// - Berkey & Wang classes 1-6 and Martello & Vigo classes 7-10 (one square sheet kind, parts may
//   be turned): sheets used, against the best known numbers of sheets with rotation allowed;
// - Pisinger & Sigurd classes 1-10 (five sheet kinds with costs): total cost of the sheets used,
//   against the best known costs. Those were found with parts kept in their orientation, which
//   the engine does not do (it turns parts freely), so its figures there are not held to quite
//   the same rules.
//
//   quality_report [DATA_FOLDER] [--detail] [--deep [MS]] [--work N] [--threads N]
//                  [--filter TEXT] [--sets LIST] [--grain PERCENT]
//
// DATA_FOLDER defaults to ../shared/benchdata beside the repository. --detail adds one line per
// instance. Kerf 0; every part kind a quantity of COPIES (1 when the column is missing).
//
// The set jobs (built with the tests' job generator) is the engine benchmark's job of 50,000
// parts on 10 sheet kinds with kerf (bench_engine's large) and its cuts to its first 2,000 and
// 20,000 parts, by area and by cost: sheet area, utilisation, cost, and the deep mode's gap to
// its bound.
//
// --grain PERCENT gives every sheet a grain along its width as listed and holds that share of the
// item kinds (spread evenly over the list) to it, their width as listed along the grain: what
// holding parts to their grain costs.
//
// --deep adds the deep mode (GoWorkDeep) beside the designed one, MS milliseconds per instance
// (default 1000) on --threads threads (default: one per core); --work N gives it N units of work
// per instance instead (repeatable, no time limit). --filter keeps the instances whose name
// contains TEXT; --sets picks the tables: bw (Berkey-Wang and Martello-Vigo), ps (Pisinger-Sigurd
// by utilisation), psc (Pisinger-Sigurd by cost), jobs (the benchmark jobs below); default bw,
// ps and psc, or bw, psc and jobs with --deep.
// Timed figures depend on the load of the machine.
#include "TypeSetClass.h"
#ifdef PNX_HAVE_TESTKIT
#include "LayoutChecker.h"
#endif

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A CSV file as rows of fields; the first row is the header. Nothing on failure.
std::optional<std::vector<std::vector<std::string>>> ReadCsv(const fs::path &Path)
{
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        return std::nullopt;
    std::vector<std::vector<std::string>> Rows;
    std::string Line;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line.empty())
            continue;
        std::vector<std::string> Fields;
        std::stringstream S(Line);
        std::string Field;
        while (std::getline(S, Field, ','))
            Fields.push_back(Field);
        Rows.push_back(std::move(Fields));
    }
    return Rows;
}

template <typename T> std::optional<T> Number(const std::string &Text)
{
    T Value {};
    const char *End = Text.data() + Text.size();
    const auto [Ptr, Ec] = std::from_chars(Text.data(), End, Value);
    if (Ec != std::errc() || Ptr != End)
        return std::nullopt;
    return Value;
}

int Column(const std::vector<std::string> &Header, const char *Name)
{
    for (std::size_t i = 0; i < Header.size(); ++i)
        if (Header[i] == Name)
            return static_cast<int>(i);
    return -1;
}

struct Rect
{
    int Width = 0;
    int Height = 0;
    int Copies = 1;
    double Cost = 0.0;
};

// Rows of NAME_items.csv or NAME_bins.csv; an error text when the file is missing or damaged.
std::optional<std::vector<Rect>> ReadRects(const fs::path &Path, bool WithCost, std::string &Error)
{
    const auto Rows = ReadCsv(Path);
    if (!Rows || Rows->empty()) {
        Error = "cannot read " + Path.string();
        return std::nullopt;
    }
    const auto &Header = Rows->front();
    const int W = Column(Header, "WIDTH"), H = Column(Header, "HEIGHT");
    const int Copies = Column(Header, "COPIES"), Cost = Column(Header, "COST");
    if (W < 0 || H < 0) {
        Error = Path.string() + ": no WIDTH or HEIGHT column";
        return std::nullopt;
    }
    std::vector<Rect> Out;
    for (std::size_t r = 1; r < Rows->size(); ++r) {
        const auto &Row = (*Rows)[r];
        auto Field = [&Row](int C) -> std::string {
            return C >= 0 && static_cast<std::size_t>(C) < Row.size()
                ? Row[static_cast<std::size_t>(C)]
                : std::string();
        };
        const auto Wv = Number<int>(Field(W)), Hv = Number<int>(Field(H));
        if (!Wv || !Hv || *Wv <= 0 || *Hv <= 0) {
            Error = Path.string() + ": bad size on line " + std::to_string(r + 1);
            return std::nullopt;
        }
        Rect R;
        R.Width = *Wv;
        R.Height = *Hv;
        if (Copies >= 0) {
            const auto C = Number<int>(Field(Copies));
            if (!C || *C < 0) {
                Error = Path.string() + ": bad COPIES on line " + std::to_string(r + 1);
                return std::nullopt;
            }
            R.Copies = *C;
        }
        R.Cost = static_cast<double>(R.Width) * R.Height; // cost = area unless given
        if (WithCost && Cost >= 0) {
            const auto C = Number<double>(Field(Cost));
            if (!C) {
                Error = Path.string() + ": bad COST on line " + std::to_string(r + 1);
                return std::nullopt;
            }
            R.Cost = *C;
        }
        Out.push_back(R);
    }
    return Out;
}

struct Outcome
{
    bool Complete = false;
    long long Sheets = 0;
    double Cost = 0.0;
    double Ms = 0.0;
    double Bound = 0.0; // deep mode: its lower bound (sheets or cost)
};

struct DeepSettings
{
    bool On = false;
    int Ms = 1000;
    unsigned long long Work = 0;
    int Threads = 0;
};

// Percent of the item kinds held to the grain of sheets with grain (0: no grain at all).
int GrainPercent = 0;

// Whether item kind i of a list is held when Percent of the kinds are: spread evenly.
bool Held(std::size_t i, int Percent)
{
    return Percent > 0
        && (i * std::size_t(Percent)) / 100 != ((i + 1) * std::size_t(Percent)) / 100;
}

Outcome RunInstance(const std::vector<Rect> &Items, const std::vector<Rect> &Bins, bool UseCost,
    const DeepSettings *Deep)
{
    TRectManage E;
    for (std::size_t i = 0; i < Bins.size(); ++i) {
        TMaterialType &S = *E.BCTypeList().Add();
        S.SetWidth(std::max(Bins[i].Width, Bins[i].Height));
        S.SetHeight(std::min(Bins[i].Width, Bins[i].Height));
        S.SetBlade(0);
        S.SetPrice(Bins[i].Cost);
        S.SetText("B" + std::to_string(i));
        S.SetGrain(GrainPercent > 0);
        S.SetEnteredLengthShorter(Bins[i].Width < Bins[i].Height);
    }
    for (std::size_t i = 0; i < Items.size(); ++i) {
        TMaterialType &P = *E.MaterialTypeList().Add();
        P.SetWidth(std::max(Items[i].Width, Items[i].Height));
        P.SetHeight(std::min(Items[i].Width, Items[i].Height));
        P.SetCount(Items[i].Copies);
        P.SetText("I" + std::to_string(i));
        P.SetGrain(Held(i, GrainPercent));
        P.SetEnteredLengthShorter(Items[i].Width < Items[i].Height);
    }
    E.SetUseCost(UseCost);
    std::vector<std::pair<int, int>> Used; // sheet kind, sheets
    E.SetOnNewRectList([&Used](int, int BCindex, int RectCount) {
        if (BCindex >= 0)
            Used.emplace_back(BCindex, RectCount);
    });
    const auto Start = std::chrono::steady_clock::now();
    if (Deep) {
        TDeepOptions O;
        O.Milliseconds = Deep->Work ? 0 : Deep->Ms;
        O.WorkLimit = Deep->Work;
        O.Threads = Deep->Threads;
        E.GoWorkDeep(O);
    } else {
        E.GoWork();
    }
    E.GetTotalBC();
    const auto Stop = std::chrono::steady_clock::now();
    Outcome O;
    O.Complete = !E.Execpt();
    for (const auto &[Kind, Count] : Used) {
        O.Sheets += Count;
        O.Cost += Bins[static_cast<std::size_t>(Kind)].Cost * Count;
    }
    O.Ms = std::chrono::duration<double, std::milli>(Stop - Start).count();
    if (Deep) {
        const TDeepResult &R = E.DeepResult();
        O.Bound = R.BoundSheets > 0 ? double(R.BoundSheets) : R.Bound;
    }
    return O;
}

// Orders class names with their numbers as numbers: Class_2 before Class_10, MB_C2 before MB_C10.
struct NaturalLess
{
    bool operator()(const std::string &A, const std::string &B) const
    {
        std::size_t i = 0, j = 0;
        while (i < A.size() && j < B.size()) {
            const bool DigitA = A[i] >= '0' && A[i] <= '9', DigitB = B[j] >= '0' && B[j] <= '9';
            if (DigitA && DigitB) {
                std::size_t ei = i, ej = j;
                while (ei < A.size() && A[ei] >= '0' && A[ei] <= '9')
                    ++ei;
                while (ej < B.size() && B[ej] >= '0' && B[ej] <= '9')
                    ++ej;
                const std::string NA = A.substr(i, ei - i), NB = B.substr(j, ej - j);
                const std::size_t ZA = NA.find_first_not_of('0'), ZB = NB.find_first_not_of('0');
                const std::string TA = ZA == std::string::npos ? "" : NA.substr(ZA);
                const std::string TB = ZB == std::string::npos ? "" : NB.substr(ZB);
                if (TA.size() != TB.size())
                    return TA.size() < TB.size();
                if (TA != TB)
                    return TA < TB;
                i = ei;
                j = ej;
                continue;
            }
            if (A[i] != B[j])
                return A[i] < B[j];
            ++i;
            ++j;
        }
        return A.size() - i < B.size() - j;
    }
};

// Figures of one mode over a class (or all).
struct ModeSum
{
    int Incomplete = 0;
    double Value = 0.0; // sheets or cost, complete instances
    double Best = 0.0; // best known of the same instances
    double RatioSum = 0.0;
    double WorstRatio = 0.0;
    int AtBest = 0;
    double Ms = 0.0;
    double GapSum = 0.0; // deep: value / its bound
    double BestGapSum = 0.0; // deep: best known value / its bound (how tight the bound is)
    int Optimal = 0; // deep: value equals its bound

    void Add(const Outcome &O, double Value_, double BestValue, bool Deep)
    {
        Ms += O.Ms;
        if (!O.Complete) {
            ++Incomplete;
            return;
        }
        const double Ratio = Value_ / BestValue;
        Value += Value_;
        Best += BestValue;
        RatioSum += Ratio;
        WorstRatio = std::max(WorstRatio, Ratio);
        AtBest += Value_ <= BestValue + 1e-9;
        if (Deep && O.Bound > 0) {
            GapSum += Value_ / O.Bound;
            BestGapSum += BestValue / O.Bound;
            Optimal += Value_ <= O.Bound * (1 + 1e-9);
        }
    }
    void Merge(const ModeSum &O)
    {
        Incomplete += O.Incomplete;
        Value += O.Value;
        Best += O.Best;
        RatioSum += O.RatioSum;
        WorstRatio = std::max(WorstRatio, O.WorstRatio);
        AtBest += O.AtBest;
        Ms += O.Ms;
        GapSum += O.GapSum;
        BestGapSum += O.BestGapSum;
        Optimal += O.Optimal;
    }
};

struct ClassSum
{
    int Instances = 0;
    ModeSum Designed, Deep;
};

std::string IncompleteText(int N)
{
    return N ? " (" + std::to_string(N) + " incomplete)" : std::string();
}

// One set: Path,Best rows in the CSV of best values; per instance the engine's figure.
bool RunSet(const fs::path &Data, const char *BestFile, const char *Title, bool CostSet,
    bool UseCost, bool Detail, const DeepSettings &Deep, const std::string &Filter)
{
    const auto Best = ReadCsv(Data / BestFile);
    if (!Best || Best->size() < 2) {
        std::fprintf(stderr, "cannot read %s\n", (Data / BestFile).string().c_str());
        return false;
    }
    std::map<std::string, ClassSum, NaturalLess> Classes;
    bool Ok = true;
    for (std::size_t r = 1; r < Best->size(); ++r) {
        const auto &Row = (*Best)[r];
        if (Row.size() < 2)
            continue;
        const std::string &Name = Row[0]; // e.g. berkey1987/Class_01.2bp_20_1
        if (!Filter.empty() && Name.find(Filter) == std::string::npos)
            continue;
        const auto BestValue = Number<double>(Row[1]);
        if (!BestValue || *BestValue <= 0) {
            std::fprintf(stderr, "%s line %zu: no best value\n", BestFile, r + 1);
            Ok = false;
            continue;
        }
        std::string Error;
        const auto Items = ReadRects(Data / (Name + "_items.csv"), false, Error);
        const auto Bins
            = Items ? ReadRects(Data / (Name + "_bins.csv"), true, Error) : std::nullopt;
        if (!Items || !Bins) {
            std::fprintf(stderr, "%s\n", Error.c_str());
            Ok = false;
            continue;
        }
        // Class: the file name up to ".2bp" (Berkey-Wang, Martello-Vigo) or to the last "_"
        // (Pisinger-Sigurd: MB_C3_17 -> MB_C3).
        std::string File = fs::path(Name).filename().string();
        std::string Class = File.substr(0, File.find(".2bp"));
        if (Class == File)
            Class = File.substr(0, File.rfind('_'));
        ClassSum &C = Classes[Class];
        ++C.Instances;
        const Outcome O = RunInstance(*Items, *Bins, UseCost, nullptr);
        const double Value = CostSet ? O.Cost : static_cast<double>(O.Sheets);
        C.Designed.Add(O, Value, *BestValue, false);
        Outcome D;
        double DeepValue = 0.0;
        if (Deep.On) {
            D = RunInstance(*Items, *Bins, UseCost, &Deep);
            DeepValue = CostSet ? D.Cost : static_cast<double>(D.Sheets);
            C.Deep.Add(D, DeepValue, *BestValue, true);
        }
        if (Detail) {
            std::printf("  %-40s %s %10.2f%s", Name.c_str(), CostSet ? "cost" : "sheets", Value,
                O.Complete ? "" : " (incomplete)");
            if (Deep.On)
                std::printf(" deep %10.2f%s bound %10.2f %6.0f ms", DeepValue,
                    D.Complete ? "" : " (incomplete)", D.Bound, D.Ms);
            std::printf(" best %10.2f\n", *BestValue);
            std::fflush(stdout);
        }
    }

    const char *What = CostSet ? "cost" : "sheets";
    std::printf("\n%s\n", Title);
    if (!Deep.On) {
        std::printf("| class | instances | %s engine | %s best known | engine / best (sum) | mean "
                    "of ratios | worst | at best | engine ms |\n",
            What, What);
        std::printf("|---|---|---|---|---|---|---|---|---|\n");
    } else {
        std::printf("| class | instances | %s best known | designed: %s | mean of ratios | worst "
                    "| at best | ms | deep: %s | mean of ratios | worst | at best | ms | mean "
                    "deep / its bound | at bound | mean best known / bound |\n",
            What, What, What);
        std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    }
    ClassSum All;
    auto Line = [&](const std::string &Name, const ClassSum &C) {
        const ModeSum &A = C.Designed, &B = C.Deep;
        const int DoneA = C.Instances - A.Incomplete, DoneB = C.Instances - B.Incomplete;
        if (!Deep.On) {
            std::printf("| %s | %d%s | %.0f | %.0f | %.3f | %.3f | %.3f | %d | %.1f |\n",
                Name.c_str(), C.Instances, IncompleteText(A.Incomplete).c_str(), A.Value, A.Best,
                A.Best > 0 ? A.Value / A.Best : 0.0, DoneA ? A.RatioSum / DoneA : 0.0, A.WorstRatio,
                A.AtBest, A.Ms);
            return;
        }
        std::printf("| %s | %d | %.0f | %.0f%s | %.4f | %.3f | %d | %.1f | %.0f%s | %.4f | %.3f | "
                    "%d | %.0f | %.4f | %d | %.4f |\n",
            Name.c_str(), C.Instances, A.Best, A.Value, IncompleteText(A.Incomplete).c_str(),
            DoneA ? A.RatioSum / DoneA : 0.0, A.WorstRatio, A.AtBest, A.Ms, B.Value,
            IncompleteText(B.Incomplete).c_str(), DoneB ? B.RatioSum / DoneB : 0.0, B.WorstRatio,
            B.AtBest, B.Ms, DoneB ? B.GapSum / DoneB : 0.0, B.Optimal,
            DoneB ? B.BestGapSum / DoneB : 0.0);
    };
    for (const auto &[Class, C] : Classes) {
        Line(Class, C);
        All.Instances += C.Instances;
        All.Designed.Merge(C.Designed);
        All.Deep.Merge(C.Deep);
    }
    Line("all", All);
    std::fflush(stdout);
    return Ok;
}

#ifdef PNX_HAVE_TESTKIT
// The benchmark jobs: each in the designed and (with --deep) the deep mode.
void RunJobs(const DeepSettings &Deep)
{
    std::printf("\nBenchmark jobs (bench_engine's large: 2,000 part kinds of 50-1500 x 30-900 mm, "
                "10 sheet kinds, kerf 0-5; and its first 2,000 and 20,000 parts)\n");
    std::printf("| job | parts | by | designed: sheet m2 | utilisation | cost | ms | deep: sheet "
                "m2 | utilisation | cost | ms | bound | deep / bound | layout check |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    struct Job
    {
        const char *Name;
        int Parts; // 0: all
    };
    for (const Job &Jb : { Job { "cut2000", 2000 }, Job { "cut20000", 20000 }, Job { "large", 0 } })
        for (const bool Cost : { false, true }) {
            enginetest::Random R(1);
            enginetest::GenJob J = enginetest::BenchmarkJob(R, 2000, 10, 25);
            if (Jb.Parts > 0)
                J = enginetest::FirstParts(J, Jb.Parts);
            J.UseCost = Cost;
            long long Parts = 0;
            for (const auto &P : J.Parts)
                Parts += P.Quantity;
            struct Figures
            {
                double SheetArea = 0, PartsArea = 0, Cost = 0, Ms = 0, Bound = 0, Objective = 0;
                bool Ok = true;
            };
            auto Run = [&](bool DeepMode) {
                TRectManage E;
                enginetest::LoadJob(J, E);
                std::vector<enginetest::Event> Events;
                E.SetOnNewRectList([&Events](int G, int B, int C) {
                    Events.push_back({ G, B, C });
                });
                const auto Start = std::chrono::steady_clock::now();
                if (DeepMode) {
                    TDeepOptions O;
                    O.Milliseconds = Deep.Work ? 0 : Deep.Ms;
                    O.WorkLimit = Deep.Work;
                    O.Threads = Deep.Threads;
                    E.GoWorkDeep(O);
                } else {
                    E.GoWork();
                }
                E.GetTotalBC();
                Figures F;
                F.Ms = std::chrono::duration<double, std::milli>(
                    std::chrono::steady_clock::now() - Start)
                           .count();
                for (int g = 0; g < E.GroupList().Count(); ++g) {
                    const TMaterialType &G = *E.GroupList().GetItem(g);
                    F.PartsArea += double(G.MaxWidth()) * G.Count();
                    F.SheetArea += double(G.MaxHieght()) * G.Count();
                }
                for (const enginetest::Event &Ev : Events)
                    if (Ev.BCindex >= 0)
                        F.Cost += E.BCTypeList().GetItem(Ev.BCindex)->Price() * Ev.RectCount;
                if (DeepMode) {
                    F.Bound = E.DeepResult().Bound;
                    F.Objective = E.DeepResult().Objective;
                    F.Ok = enginetest::CheckLayout(E, Events, 1).empty()
                        && enginetest::CheckGuillotine(E, 1).empty() && !E.Execpt();
                }
                return F;
            };
            const Figures A = Run(false);
            std::printf("| %s | %lld | %s | %.3f | %.3f %% | %.2f | %.1f |", Jb.Name, Parts,
                Cost ? "cost" : "area", A.SheetArea / 1e6, A.PartsArea / A.SheetArea * 100, A.Cost,
                A.Ms);
            if (Deep.On) {
                const Figures B = Run(true);
                std::printf(" %.3f | %.3f %% | %.2f | %.0f | %.6g | %.4f | %s |\n",
                    B.SheetArea / 1e6, B.PartsArea / B.SheetArea * 100, B.Cost, B.Ms, B.Bound,
                    B.Bound > 0 ? B.Objective / B.Bound : 0.0, B.Ok ? "kept" : "BROKEN");
            } else {
                std::printf(" | | | | | | |\n");
            }
            std::fflush(stdout);
        }
}
#endif

fs::path DefaultData()
{
    // ../shared/benchdata beside the repository: <repository>/../shared/benchdata.
    return fs::weakly_canonical(fs::path(PNX_SOURCE_DIR) / ".." / "shared" / "benchdata");
}

} // namespace

int main(int argc, char **argv)
{
    fs::path Data;
    bool Detail = false;
    DeepSettings Deep;
    std::string Filter, Sets;
    auto Value = [&](int &i) -> const char * { return i + 1 < argc ? argv[++i] : ""; };
    for (int i = 1; i < argc; ++i) {
        const std::string A = argv[i];
        if (A == "--detail") {
            Detail = true;
        } else if (A == "--deep") {
            Deep.On = true;
            if (i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9')
                Deep.Ms = std::atoi(argv[++i]);
        } else if (A == "--work") {
            Deep.On = true;
            Deep.Work = std::strtoull(Value(i), nullptr, 10);
        } else if (A == "--threads") {
            Deep.Threads = std::atoi(Value(i));
        } else if (A == "--filter") {
            Filter = Value(i);
        } else if (A == "--sets") {
            Sets = Value(i);
        } else if (A == "--grain") {
            GrainPercent = std::clamp(std::atoi(Value(i)), 0, 100);
        } else if (A == "--help" || A == "-h") {
            std::printf("usage: quality_report [DATA_FOLDER] [--detail] [--deep [MS]] [--work N] "
                        "[--threads N] [--filter TEXT] [--sets bw,ps,psc,jobs] [--grain PERCENT]\n"
                        "(default %s)\n",
                DefaultData().string().c_str());
            return 0;
        } else {
            Data = A;
        }
    }
    if (Sets.empty())
        Sets = Deep.On ? "bw,psc,jobs" : "bw,ps,psc";
    auto Want = [&Sets](const std::string &Set) {
        return ("," + Sets + ",").find("," + Set + ",") != std::string::npos;
    };
    if (Data.empty())
        Data = DefaultData();
    std::error_code Ec;
    if (Want("bw") || Want("ps") || Want("psc")) {
        if (!fs::is_directory(Data, Ec)) {
            std::fprintf(
                stderr, "quality_report: data folder %s not found\n", Data.string().c_str());
            return 2;
        }
        std::printf("Data: %s\n", fs::weakly_canonical(Data, Ec).string().c_str());
    }
    if (GrainPercent > 0)
        std::printf("Grain: every sheet, %d %% of the item kinds held to it\n", GrainPercent);
    if (Deep.On) {
        if (Deep.Work)
            std::printf("Deep mode: %llu work units per instance, %d threads (0: one per core)\n",
                Deep.Work, Deep.Threads);
        else
            std::printf("Deep mode: %d ms per instance, %d threads (0: one per core)\n", Deep.Ms,
                Deep.Threads);
    }
    bool Ok = true;
    if (Want("bw"))
        Ok = RunSet(Data, "data_bin_packing_rotation.csv",
                 "Berkey-Wang (classes 1-6) and Martello-Vigo (7-10), one sheet kind, rotation "
                 "allowed: sheets used",
                 false, false, Detail, Deep, Filter)
            && Ok;
    if (Want("ps"))
        Ok = RunSet(Data, "data_variable_sized_bin_packing_oriented_pisinger2005.csv",
                 "Pisinger-Sigurd, five sheet kinds, by utilisation (no options): total sheet "
                 "cost (best known values are for parts kept in their orientation)",
                 true, false, Detail, Deep, Filter)
            && Ok;
    if (Want("psc"))
        Ok = RunSet(Data, "data_variable_sized_bin_packing_oriented_pisinger2005.csv",
                 "Pisinger-Sigurd, five sheet kinds, by cost (option cost): total sheet cost "
                 "(best known values are for parts kept in their orientation)",
                 true, true, Detail, Deep, Filter)
            && Ok;
    if (Want("jobs")) {
#ifdef PNX_HAVE_TESTKIT
        RunJobs(Deep);
#else
        std::fprintf(
            stderr, "the set jobs needs the tests' job generator (build with the tests)\n");
        Ok = false;
#endif
    }
    return Ok ? 0 : 1;
}
