// Shelf layout: parts in rows of falling height, the rows one under another, in time near linear
// in the part kinds whatever the quantities. The deep mode uses it for the parts that its budget
// leaves no time to lay out otherwise.
#include "DeepSearch.h"

#include <algorithm>
#include <limits>

namespace deep {

namespace {

// A part kind on its sheet kind: sides as placed (without kerf) and grown by the kerf.
struct TShelfItem
{
    int Item;
    i64 W, H; // as placed
    i64 WW, HH; // grown
    i64 Count;
};

struct TRow
{
    i64 Y; // top, grown coordinates
    i64 Height; // grown
    i64 Used; // grown width taken
};

class TShelfSheet
{
public:
    TShelfSheet(int Sheet, i64 WW, i64 HH)
        : FSheet(Sheet)
        , FWW(WW)
        , FHH(HH)
    { }

    bool Empty() const { return FRows.empty(); }

    // Places up to Count parts of It into the rows that have room, then into new rows; returns
    // how many it placed.
    i64 Place(const TShelfItem &It, i64 Count)
    {
        i64 Placed = 0;
        for (TRow &R : FRows) {
            if (Placed == Count)
                break;
            if (R.Height < It.HH)
                continue;
            const i64 K = std::min(Count - Placed, (FWW - R.Used) / It.WW);
            if (K <= 0)
                continue;
            Add(It, R.Used, R.Y, K);
            R.Used += K * It.WW;
            Placed += K;
        }
        while (Placed < Count && FTop + It.HH <= FHH) {
            const i64 K = std::min(Count - Placed, FWW / It.WW);
            FRows.push_back({ FTop, It.HH, K * It.WW });
            Add(It, 0, FTop, K);
            FTop += It.HH;
            Placed += K;
        }
        return Placed;
    }

    TPattern Take(i64 Repeat)
    {
        TPattern Pt;
        Pt.Sheet = FSheet;
        Pt.Strips = std::move(FStrips);
        Pt.Repeat = Repeat;
        FStrips.clear();
        FRows.clear();
        FTop = 0;
        return Pt;
    }

private:
    void Add(const TShelfItem &It, i64 X, i64 Y, i64 K)
    {
        TStrip St;
        St.Item = It.Item;
        St.X = X;
        St.Y = Y;
        St.W = It.W;
        St.H = It.H;
        St.Count = K;
        St.Row = true;
        FStrips.push_back(St);
    }

    int FSheet;
    i64 FWW, FHH;
    i64 FTop = 0;
    std::vector<TRow> FRows;
    std::vector<TStrip> FStrips;
};

} // namespace

TSolution Shelves(const TProblem &P, const TTask &Task)
{
    TSolution Out;
    std::vector<i64> Left(P.Items.size(), 0); // parts still to place
    for (std::size_t i = 0; i < P.Items.size(); ++i)
        Left[i] = std::max<i64>(Task.Counts[i], 0);
    std::vector<i64> Stock(P.Sheets.size()); // sheets left (-1: any number)
    for (std::size_t s = 0; s < P.Sheets.size(); ++s)
        Stock[s] = Task.StockOf(P, s);
    // Rounds: each part kind goes to the sheet kind of least value per area that it fits and
    // that has sheets left, the larger sheet kind among equals. Without stock the first round
    // places everything; with it, what a kind's stock cannot take goes on to the next round.
    for (;;) {
        std::vector<std::vector<TShelfItem>> BySheet(P.Sheets.size());
        bool Any = false;
        for (std::size_t i = 0; i < P.Items.size(); ++i) {
            if (Left[i] <= 0)
                continue;
            int Best = -1;
            double BestDensity = std::numeric_limits<double>::infinity();
            for (std::size_t s = 0; s < P.Sheets.size(); ++s) {
                if ((!Task.SheetAllowed.empty() && !Task.SheetAllowed[s]) || Stock[s] == 0
                    || !P.Fits(int(i), int(s)))
                    continue;
                const TSheet &S = P.Sheets[s];
                const double Area = double(S.W) * double(S.H);
                const double Density = S.Value / Area;
                if (Best < 0 || Density < BestDensity
                    || (Density == BestDensity
                        && Area > double(P.Sheets[std::size_t(Best)].W)
                                * double(P.Sheets[std::size_t(Best)].H))) {
                    Best = int(s);
                    BestDensity = Density;
                }
            }
            if (Best < 0)
                continue;
            const TItem &I = P.Items[i];
            const TSheet &S = P.Sheets[static_cast<std::size_t>(Best)];
            // The longer side across the sheet when it fits that way (and its grain allows).
            const bool Across = I.Long <= S.W && I.Short <= S.H && P.MayLie(int(i), Best, false);
            const i64 W = Across ? I.Long : I.Short, H = Across ? I.Short : I.Long;
            BySheet[static_cast<std::size_t>(Best)].push_back(
                { int(i), W, H, W + S.Kerf, H + S.Kerf, Left[i] });
            Any = true;
        }
        if (!Any)
            break;
        for (std::size_t s = 0; s < P.Sheets.size(); ++s) {
            std::vector<TShelfItem> &Items = BySheet[s];
            if (Items.empty())
                continue;
            std::sort(Items.begin(), Items.end(), [](const TShelfItem &A, const TShelfItem &B) {
                return A.HH != B.HH ? A.HH > B.HH : A.WW != B.WW ? A.WW > B.WW : A.Item < B.Item;
            });
            const TSheet &S = P.Sheets[s];
            const i64 WW = S.W + S.Kerf, HH = S.H + S.Kerf;
            i64 &Stk = Stock[s];
            // A sheet may be started while the kind has one left; every sheet taken counts.
            auto CanOpen = [&Stk] { return Stk != 0; };
            TShelfSheet Open(int(s), WW, HH);
            auto Close = [&](i64 Repeat) {
                TPattern Pt = Open.Take(Repeat);
                if (!Pt.Strips.empty() && Stk > 0)
                    Stk -= Pt.Repeat;
                Out.Patterns.push_back(std::move(Pt));
            };
            for (const TShelfItem &It : Items) {
                i64 Rest = It.Count;
                if (!Open.Empty() || CanOpen())
                    Rest -= Open.Place(It, Rest);
                while (Rest > 0) {
                    Close(1);
                    if (!CanOpen())
                        break;
                    // Whole sheets of this kind alone, cut as often as the quantity (and the
                    // stock) allows.
                    const i64 PerSheet = (WW / It.WW) * (HH / It.HH);
                    if (PerSheet > 0 && Rest >= PerSheet) {
                        i64 Whole = Rest / PerSheet;
                        if (Stk > 0)
                            Whole = std::min(Whole, Stk);
                        Open.Place(It, PerSheet);
                        Close(Whole);
                        Rest -= Whole * PerSheet;
                        if (!CanOpen())
                            break;
                    }
                    Rest -= Open.Place(It, Rest);
                }
                Left[static_cast<std::size_t>(It.Item)] = Rest;
            }
            if (!Open.Empty())
                Close(1);
        }
    }
    // A sheet closed before anything was placed on it carries nothing.
    Out.Patterns.erase(std::remove_if(Out.Patterns.begin(), Out.Patterns.end(),
                           [](const TPattern &Pt) { return Pt.Strips.empty(); }),
        Out.Patterns.end());
    Out.Evaluate(P);
    return Out;
}

} // namespace deep
