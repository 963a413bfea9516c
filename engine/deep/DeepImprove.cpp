// Improving a complete layout: large neighbourhood search over its sheets, and cheaper sheet kinds
// for single sheets.
#include "DeepSearch.h"

#include <algorithm>
#include <cmath>

namespace deep {

namespace {

// Deterministic random numbers (the standard distributions differ between libraries).
class TRng
{
public:
    explicit TRng(std::uint64_t Seed)
        : FState(Seed * 0x9e3779b97f4a7c15ULL + 0x632be59bd9b4e019ULL)
    { }
    std::uint64_t Next()
    {
        FState += 0x9e3779b97f4a7c15ULL;
        std::uint64_t Z = FState;
        Z = (Z ^ (Z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        Z = (Z ^ (Z >> 27)) * 0x94d049bb133111ebULL;
        return Z ^ (Z >> 31);
    }
    // Uniform in [0, N).
    std::size_t Below(std::size_t N) { return N ? static_cast<std::size_t>(Next() % N) : 0; }

private:
    std::uint64_t FState;
};

double Fill(const TProblem &P, const TPattern &Pt)
{
    const TSheet &S = P.Sheets[static_cast<std::size_t>(Pt.Sheet)];
    return double(Pt.PartsArea()) / (double(S.W) * double(S.H));
}

// The sheets of a layout in a fixed order, as runs of identical sheets: sheet i is found through
// the runs' running totals. Taking sheets out shortens their runs in place, new sheets are
// appended as runs of one, so the order of the remaining sheets never changes. Each step costs
// the number of runs, not of sheets, which keeps jobs of millions of parts quick.
class TSheets
{
public:
    explicit TSheets(const TProblem &P, const std::vector<TPattern> &Patterns)
        : FP(P)
    {
        for (const TPattern &Pt : Patterns)
            if (Pt.Repeat > 0)
                Append(Pt, Pt.Repeat);
        Index();
    }

    i64 Count() const { return FEnds.empty() ? 0 : FEnds.back(); }
    std::size_t Runs() const { return FRuns.size(); }
    // The run that holds sheet i.
    std::size_t RunOf(i64 i) const
    {
        return static_cast<std::size_t>(
            std::upper_bound(FEnds.begin(), FEnds.end(), i) - FEnds.begin());
    }
    i64 First(std::size_t Run) const { return Run ? FEnds[Run - 1] : 0; }
    const TPattern &Sheet(std::size_t Run) const { return FRuns[Run]; }
    double Fill(std::size_t Run) const { return FFills[Run]; }
    // The first sheet of least fill.
    i64 Emptiest() const
    {
        const std::size_t R = static_cast<std::size_t>(
            std::min_element(FFills.begin(), FFills.end()) - FFills.begin());
        return First(R);
    }

    // Takes the given sheets out (each once) and appends the new ones.
    void Replace(const std::vector<i64> &Out, std::vector<TPattern> &&In)
    {
        for (const i64 i : Out)
            --FRuns[RunOf(i)].Repeat;
        std::size_t To = 0;
        for (std::size_t r = 0; r < FRuns.size(); ++r)
            if (FRuns[r].Repeat > 0) {
                if (To != r) {
                    FRuns[To] = std::move(FRuns[r]);
                    FFills[To] = FFills[r];
                }
                ++To;
            }
        FRuns.resize(To);
        FFills.resize(To);
        for (TPattern &Pt : In)
            Append(Pt, 1);
        Index();
    }

    std::vector<TPattern> Patterns() const { return FRuns; }

    // The stock left for laying the sheets Out again: each kind's stock less the sheets of the
    // other sheets (-1: any number).
    std::vector<i64> StockWithout(const std::vector<i64> &Out) const
    {
        std::vector<i64> Used(FP.Sheets.size(), 0);
        for (const TPattern &Pt : FRuns)
            Used[static_cast<std::size_t>(Pt.Sheet)] += Pt.Repeat;
        for (const i64 i : Out)
            --Used[static_cast<std::size_t>(FRuns[RunOf(i)].Sheet)];
        return StockLeft(FP, Used);
    }

private:
    void Append(const TPattern &Pt, i64 Repeat)
    {
        FRuns.push_back(Pt);
        FRuns.back().Repeat = Repeat;
        const TSheet &S = FP.Sheets[static_cast<std::size_t>(Pt.Sheet)];
        FFills.push_back(double(Pt.PartsArea()) / (double(S.W) * double(S.H)));
    }
    void Index()
    {
        FEnds.resize(FRuns.size());
        i64 Sum = 0;
        for (std::size_t r = 0; r < FRuns.size(); ++r)
            FEnds[r] = Sum += FRuns[r].Repeat;
    }

    const TProblem &FP;
    std::vector<TPattern> FRuns; // Repeat: the sheets in the run
    std::vector<double> FFills;
    std::vector<i64> FEnds; // running totals of the runs' sheets
};

// The sheets as they stand become Best when they are better.
void Adopt(const TProblem &P, const TSheets &Sheets, TSolution &Best,
    const std::function<void(const TSolution &)> &OnImproved)
{
    TSolution S;
    S.Patterns = Sheets.Patterns();
    S.Evaluate(P);
    if (S.Better(Best, P)) {
        Best = std::move(S);
        if (OnImproved)
            OnImproved(Best);
    }
}

// Up to K of the emptiest sheets into Chosen, emptiest first, some passed over at random (Order:
// working space).
void Emptiest(const TSheets &Sheets, TRng &Rng, i64 K, std::vector<std::size_t> &Order,
    std::vector<i64> &Chosen)
{
    Order.resize(Sheets.Runs());
    for (std::size_t r = 0; r < Order.size(); ++r)
        Order[r] = r;
    std::sort(Order.begin(), Order.end(), [&](std::size_t A, std::size_t B) {
        return Sheets.Fill(A) < Sheets.Fill(B) || (Sheets.Fill(A) == Sheets.Fill(B) && A < B);
    });
    Chosen.clear();
    for (const std::size_t r : Order) {
        if (i64(Chosen.size()) >= K)
            break;
        if (Rng.Below(3) == 0)
            continue;
        const i64 First = Sheets.First(r);
        for (i64 j = 0; j < Sheets.Sheet(r).Repeat && i64(Chosen.size()) < K; ++j)
            Chosen.push_back(First + j);
    }
}

} // namespace

void Improve(const TProblem &P, TSolution &Best, TWorker &W, double Floor, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved)
{
    TSheets Sheets(P, Best.Patterns);
    if (Sheets.Count() < 1)
        return;

    TRng Rng(Seed);
    const std::size_t MinK = P.Uniform ? 2 : 1;
    double Value = Best.Value;
    std::vector<i64> Chosen, Emptier;
    std::vector<std::size_t> Order;
    TTask Task;
    Task.Counts.assign(P.Items.size(), 0);
    auto Pick = [&Rng](i64 N) { return static_cast<i64>(Rng.Below(static_cast<std::size_t>(N))); };

    while (!W.Stopped() && Less(Floor, Value) && Sheets.Count() >= i64(MinK)) {
        const i64 N = Sheets.Count();
        const i64 K = std::min<i64>(N, i64(MinK + Rng.Below(4)));
        // The first sheet: often the emptiest, else the emptier of two at random.
        Chosen.clear();
        if (Rng.Below(2) == 0) {
            Chosen.push_back(Sheets.Emptiest());
        } else {
            const i64 A = Pick(N), B = Pick(N);
            Chosen.push_back(Sheets.Fill(Sheets.RunOf(A)) <= Sheets.Fill(Sheets.RunOf(B)) ? A : B);
        }
        // On sheets all alike, half the time the others are the next emptiest sheets (some
        // passed over at random): sheets that are not full are where the parts of an emptied
        // sheet find room.
        if (P.Uniform && Rng.Below(2) != 0) {
            Emptiest(Sheets, Rng, K + 2, Order, Emptier);
            for (const i64 e : Emptier)
                if (i64(Chosen.size()) < K
                    && std::find(Chosen.begin(), Chosen.end(), e) == Chosen.end())
                    Chosen.push_back(e);
        }
        while (i64(Chosen.size()) < K) {
            const i64 C = Pick(N);
            if (std::find(Chosen.begin(), Chosen.end(), C) == Chosen.end())
                Chosen.push_back(C);
        }

        std::fill(Task.Counts.begin(), Task.Counts.end(), 0);
        double OldValue = 0.0, OldSpread = 0.0;
        i64 Parts = 0;
        for (const i64 c : Chosen) {
            const std::size_t Run = Sheets.RunOf(c);
            const TPattern &Pt = Sheets.Sheet(Run);
            OldValue += P.Sheets[static_cast<std::size_t>(Pt.Sheet)].Value;
            OldSpread += Sheets.Fill(Run) * Sheets.Fill(Run);
            for (const TStrip &S : Pt.Strips) {
                Task.Counts[static_cast<std::size_t>(S.Item)] += S.Count;
                Parts += S.Count;
            }
        }
        if (P.Limited)
            Task.Stock = Sheets.StockWithout(Chosen);
        TBeamOptions O;
        O.MaxWork = 5000 + 1000 * std::uint64_t(Parts);
        O.MaxWidth = 512;
        O.SpreadAt = OldValue;
        // Every arrangement of the same parts stays in the beam. A neighbourhood has few parts,
        // and arrangements that the guide cannot tell apart (parts that fill their sheets without
        // waste look alike however they lie) differ in the room they leave for the parts to come.
        O.SameParts = 0;
        // Accept as good a layout as the sheets have now: it may leave one of them emptier.
        const double Cutoff = OldValue * (1.0 + 1e-7) + 1e-9;
        TSolution R = BeamSearch(P, Task, Cutoff, W, O);
        if (R.Empty() || R.Placed != Parts)
            continue;
        double NewSpread = 0.0;
        for (const TPattern &Pt : R.Patterns) {
            const double F = Fill(P, Pt);
            NewSpread += F * F;
        }
        const bool Better = Less(R.Value, OldValue);
        const bool Sideways = !Better && !Less(OldValue, R.Value) && NewSpread > OldSpread + 1e-12;
        if (!Better && !Sideways)
            continue;
        // Replace the chosen sheets by the new ones.
        Sheets.Replace(Chosen, std::move(R.Patterns));
        if (Better) {
            Value = Value - OldValue + R.Value;
            TSolution S;
            S.Patterns = Sheets.Patterns();
            S.Evaluate(P);
            if (S.Better(Best, P)) {
                Best = std::move(S);
                Value = Best.Value;
                if (OnImproved)
                    OnImproved(Best);
            }
        }
    }
}

void Regroup(const TProblem &P, TSolution &Best, TWorker &W, double Floor, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved)
{
    static constexpr TGreedyOptions Settings[]
        = { { 1, 1 }, { 1, 2 }, { 2, 1 }, { 3, 1 }, { 2, 2 }, { 3, 2 }, { 4, 2 } };
    TSheets Sheets(P, Best.Patterns);
    TRng Rng(Seed);
    TTask Task;
    std::vector<std::size_t> Order;
    std::vector<i64> Chosen;
    while (!W.Stopped() && Less(Floor, Best.Value) && Sheets.Count() >= 2) {
        Emptiest(Sheets, Rng, std::min<i64>(Sheets.Count(), i64(4) << Rng.Below(5)), Order, Chosen);
        if (Chosen.size() < 2)
            continue;
        Task.Counts.assign(P.Items.size(), 0);
        double OldValue = 0.0, OldSpread = 0.0;
        for (const i64 c : Chosen) {
            const std::size_t Run = Sheets.RunOf(c);
            const TPattern &Pt = Sheets.Sheet(Run);
            OldValue += P.Sheets[static_cast<std::size_t>(Pt.Sheet)].Value;
            OldSpread += Sheets.Fill(Run) * Sheets.Fill(Run);
            for (const TStrip &S : Pt.Strips)
                Task.Counts[static_cast<std::size_t>(S.Item)] += S.Count;
        }
        i64 Parts = 0;
        for (const i64 N : Task.Counts)
            Parts += N;
        if (P.Limited)
            Task.Stock = Sheets.StockWithout(Chosen);
        TSolution R = SheetBySheet(P, Task, W, Settings[Rng.Below(std::size(Settings))]);
        if (R.Placed != Parts)
            continue;
        double NewSpread = 0.0;
        for (const TPattern &Pt : R.Patterns)
            NewSpread += Fill(P, Pt) * Fill(P, Pt) * double(Pt.Repeat);
        const bool Better = Less(R.Value, OldValue);
        if (!Better && !(!Less(OldValue, R.Value) && NewSpread > OldSpread + 1e-12))
            continue;
        std::vector<TPattern> In;
        for (TPattern &Pt : R.Patterns)
            for (i64 j = 0; j < Pt.Repeat; ++j) {
                In.push_back(Pt);
                In.back().Repeat = 1;
            }
        Sheets.Replace(Chosen, std::move(In));
        if (Better)
            Adopt(P, Sheets, Best, OnImproved);
    }
}

void Refill(const TProblem &P, TSolution &Best, TWorker &W, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved)
{
    static constexpr TGreedyOptions Settings[]
        = { { 1, 1 }, { 1, 2 }, { 2, 1 }, { 3, 1 }, { 2, 2 }, { 3, 2 }, { 4, 2 } };
    TSheets Sheets(P, Best.Patterns);
    TRng Rng(Seed);
    // Parts no sheet carries.
    std::vector<i64> Left(P.Items.size());
    for (std::size_t i = 0; i < P.Items.size(); ++i)
        Left[i] = P.Items[i].Count;
    for (const TPattern &Pt : Best.Patterns)
        for (const TStrip &St : Pt.Strips)
            Left[static_cast<std::size_t>(St.Item)] -= St.Count * Pt.Repeat;
    auto AnyLeft
        = [&Left] { return std::any_of(Left.begin(), Left.end(), [](i64 N) { return N > 0; }); };
    TTask Task;
    std::vector<std::size_t> Order;
    std::vector<i64> Chosen;
    while (!W.Stopped() && AnyLeft() && Sheets.Count() >= 1) {
        Emptiest(Sheets, Rng, std::min<i64>(Sheets.Count(), i64(1) << Rng.Below(7)), Order, Chosen);
        if (Chosen.empty())
            continue;
        TSolution Old;
        Task.Counts = Left;
        for (const i64 c : Chosen) {
            TPattern Pt = Sheets.Sheet(Sheets.RunOf(c));
            Pt.Repeat = 1;
            for (const TStrip &S : Pt.Strips)
                Task.Counts[static_cast<std::size_t>(S.Item)] += S.Count;
            Old.Patterns.push_back(std::move(Pt));
        }
        Old.Evaluate(P);
        Task.Stock = Sheets.StockWithout(Chosen);
        TSolution R = SheetBySheet(P, Task, W, Settings[Rng.Below(std::size(Settings))]);
        if (!R.Better(Old, P))
            continue;
        for (const TPattern &Pt : Old.Patterns)
            for (const TStrip &St : Pt.Strips)
                Left[static_cast<std::size_t>(St.Item)] += St.Count;
        std::vector<TPattern> In;
        for (TPattern &Pt : R.Patterns) {
            for (const TStrip &St : Pt.Strips)
                Left[static_cast<std::size_t>(St.Item)] -= St.Count * Pt.Repeat;
            for (i64 j = 0; j < Pt.Repeat; ++j) {
                In.push_back(Pt);
                In.back().Repeat = 1;
            }
        }
        Sheets.Replace(Chosen, std::move(In));
        Adopt(P, Sheets, Best, OnImproved);
    }
}

bool DowngradeSheets(const TProblem &P, TSolution &S, TWorker &W)
{
    bool Changed = false;
    // With stock, a sheet moves only to a kind with as many sheets left as it is cut.
    std::vector<i64> Used = SheetsUsed(P, S);
    for (TPattern &Pt : S.Patterns) {
        if (W.Stopped())
            break;
        const double Now = P.Sheets[static_cast<std::size_t>(Pt.Sheet)].Value;
        TTask Task;
        Task.Counts.assign(P.Items.size(), 0);
        if (P.Limited) {
            const std::vector<i64> Left = StockLeft(P, Used);
            Task.SheetAllowed.assign(P.Sheets.size(), 0);
            Task.Stock.assign(P.Sheets.size(), -1);
            for (std::size_t s = 0; s < P.Sheets.size(); ++s)
                Task.SheetAllowed[s] = Left[s] < 0 || Left[s] >= Pt.Repeat
                    || s == static_cast<std::size_t>(Pt.Sheet);
        }
        i64 Parts = 0;
        for (const TStrip &St : Pt.Strips) {
            Task.Counts[static_cast<std::size_t>(St.Item)] += St.Count;
            Parts += St.Count;
        }
        TBeamOptions O;
        O.OneSheet = true;
        O.MaxWork = 20000 + 2000 * std::uint64_t(Parts);
        O.MaxWidth = 256;
        TSolution R = BeamSearch(P, Task, Now, W, O);
        if (R.Empty() || R.Placed != Parts || R.Patterns.size() != 1 || !Less(R.Value, Now))
            continue;
        const i64 Repeat = Pt.Repeat;
        Used[static_cast<std::size_t>(Pt.Sheet)] -= Repeat;
        Pt = std::move(R.Patterns.front());
        Pt.Repeat = Repeat;
        Used[static_cast<std::size_t>(Pt.Sheet)] += Repeat;
        Changed = true;
    }
    if (Changed)
        S.Evaluate(P);
    return Changed;
}

} // namespace deep
