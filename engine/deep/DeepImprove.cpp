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

// Largest number of strips, over single sheets, that the search expands a layout into.
constexpr std::size_t MaxStrips = 2000000;

} // namespace

void Improve(const TProblem &P, TSolution &Best, TWorker &W, double Floor, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved)
{
    double Total = 0.0, Strips = 0.0;
    for (const TPattern &Pt : Best.Patterns) {
        Total += double(Pt.Repeat);
        Strips += double(Pt.Repeat) * double(Pt.Strips.size());
    }
    if (Total < 1.0 || Strips > double(MaxStrips))
        return;
    std::vector<TPattern> Sheets;
    for (const TPattern &Pt : Best.Patterns)
        for (i64 r = 0; r < Pt.Repeat; ++r) {
            Sheets.push_back(Pt);
            Sheets.back().Repeat = 1;
        }
    std::vector<double> Fills;
    for (const TPattern &Pt : Sheets)
        Fills.push_back(Fill(P, Pt));

    TRng Rng(Seed);
    const std::size_t MinK = P.Uniform ? 2 : 1;
    double Value = Best.Value;
    std::vector<std::size_t> Chosen;
    std::vector<char> Taken(Sheets.size(), 0);
    TTask Task;
    Task.Counts.assign(P.Items.size(), 0);

    while (!W.Stopped() && Less(Floor, Value) && Sheets.size() >= MinK) {
        const std::size_t N = Sheets.size();
        const std::size_t K = std::min(N, MinK + Rng.Below(4));
        // The first sheet: often the emptiest, else the emptier of two at random.
        Chosen.clear();
        std::size_t First;
        if (Rng.Below(2) == 0) {
            First = static_cast<std::size_t>(
                std::min_element(Fills.begin(), Fills.end()) - Fills.begin());
        } else {
            const std::size_t A = Rng.Below(N), B = Rng.Below(N);
            First = Fills[A] <= Fills[B] ? A : B;
        }
        Chosen.push_back(First);
        Taken[First] = 1;
        while (Chosen.size() < K) {
            const std::size_t C = Rng.Below(N);
            if (Taken[C])
                continue;
            Taken[C] = 1;
            Chosen.push_back(C);
        }
        for (const std::size_t c : Chosen)
            Taken[c] = 0;

        std::fill(Task.Counts.begin(), Task.Counts.end(), 0);
        double OldValue = 0.0, OldSpread = 0.0;
        i64 Parts = 0;
        for (const std::size_t c : Chosen) {
            OldValue += P.Sheets[static_cast<std::size_t>(Sheets[c].Sheet)].Value;
            OldSpread += Fills[c] * Fills[c];
            for (const TStrip &S : Sheets[c].Strips) {
                Task.Counts[static_cast<std::size_t>(S.Item)] += S.Count;
                Parts += S.Count;
            }
        }
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
        std::sort(Chosen.begin(), Chosen.end());
        for (std::size_t i = Chosen.size(); i-- > 0;) {
            Sheets.erase(Sheets.begin() + static_cast<std::ptrdiff_t>(Chosen[i]));
            Fills.erase(Fills.begin() + static_cast<std::ptrdiff_t>(Chosen[i]));
        }
        for (TPattern &Pt : R.Patterns) {
            Fills.push_back(Fill(P, Pt));
            Sheets.push_back(std::move(Pt));
        }
        Taken.assign(Sheets.size(), 0);
        if (Better) {
            Value = Value - OldValue + R.Value;
            TSolution S;
            S.Patterns = Sheets;
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

bool DowngradeSheets(const TProblem &P, TSolution &S, TWorker &W)
{
    bool Changed = false;
    for (TPattern &Pt : S.Patterns) {
        if (W.Stopped())
            break;
        const double Now = P.Sheets[static_cast<std::size_t>(Pt.Sheet)].Value;
        TTask Task;
        Task.Counts.assign(P.Items.size(), 0);
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
        Pt = std::move(R.Patterns.front());
        Pt.Repeat = Repeat;
        Changed = true;
    }
    if (Changed)
        S.Evaluate(P);
    return Changed;
}

} // namespace deep
