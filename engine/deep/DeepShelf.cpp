// Shelf layout: parts in rows of falling height, the rows one under another, in time near linear
// in the part kinds whatever the quantities. The deep mode uses it for the parts that its budget
// leaves no time to lay out otherwise.
#include "DeepSearch.h"

#include <algorithm>
#include <limits>
#include <set>
#include <utility>

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

// Packs the part kinds given to one sheet kind, tallest first, in rows across the sheet. A row
// starts with the tallest part kind left, as many of it as fit side by side; the room left at the
// row's end is filled slot by slot, each slot with a large part kind left that fits it, stacked
// as high as the row allows and topped up with narrower kinds. Every part left is no taller than
// the row it goes into, as rows start tallest first. Each row goes onto the sheet with the least
// room left below its rows that takes it, so the low rows that come last fill the bottoms of the
// sheets opened for tall ones. Large quantities go mostly onto whole sheets of one kind, cut as
// often as the quantity allows, so that they cost no more time than small ones. Three cut
// stages: rows, slots, parts.
class TShelfPacker
{
public:
    TShelfPacker(int Sheet, i64 WW, i64 HH, std::vector<TShelfItem> &Items, i64 &Stock,
        std::vector<TPattern> &Out)
        : FSheet(Sheet)
        , FWW(WW)
        , FHH(HH)
        , FItems(Items)
        , FStock(Stock)
        , FOut(Out)
    {
        const std::size_t N = FItems.size();
        FByWidth.resize(N);
        for (std::size_t k = 0; k < N; ++k)
            FByWidth[k] = k;
        std::sort(FByWidth.begin(), FByWidth.end(), [this](std::size_t A, std::size_t B) {
            return FItems[A].WW != FItems[B].WW ? FItems[A].WW < FItems[B].WW : A < B;
        });
        FWidths.resize(N);
        FPos.resize(N);
        FAlive.resize(N + 1);
        FAlive[0] = 0;
        for (std::size_t p = 0; p < N; ++p) {
            FWidths[p] = FItems[FByWidth[p]].WW;
            FPos[FByWidth[p]] = p;
            FAlive[p + 1] = FItems[FByWidth[p]].Count > 0 ? p + 1 : p;
        }
    }

    // Places what the stock allows; the counts left stay in the items.
    void Run()
    {
        std::size_t Next = 0;
        for (;;) {
            while (Next < FItems.size() && FItems[Next].Count <= 0)
                ++Next;
            if (Next == FItems.size())
                break;
            TShelfItem &T = FItems[Next];
            const i64 Across = FWW / T.WW, Down = FHH / T.HH;
            if (Across <= 0 || Down <= 0) { // cannot happen: every kind given fits the sheet
                Take(Next, T.Count);
                continue;
            }
            // Whole sheets of this kind alone for all but the last few sheets' worth of a large
            // quantity: their room beside and below the parts stays empty, so the rows take
            // the rest.
            constexpr i64 RowSheets = 64;
            if (T.Count / (Across * Down) > RowSheets && FStock != 0) {
                i64 Whole = T.Count / (Across * Down) - RowSheets;
                if (FStock > 0)
                    Whole = std::min(Whole, FStock);
                TPattern Pt;
                Pt.Sheet = FSheet;
                Pt.Repeat = Whole;
                for (i64 r = 0; r < Down; ++r)
                    Pt.Strips.push_back(Strip(T, 0, r * T.HH, Across, true));
                FOut.push_back(std::move(Pt));
                if (FStock > 0)
                    FStock -= Whole;
                Take(Next, Whole * Across * Down);
                continue;
            }
            // The sheet for a row of this height: the least room that takes it, else a new one.
            auto Room = FRoom.lower_bound({ T.HH, 0 });
            if (Room == FRoom.end()) {
                if (FStock == 0)
                    break;
                if (FStock > 0)
                    --FStock;
                FOpen.push_back({});
                Room = FRoom.insert({ FHH, FOpen.size() - 1 }).first;
            }
            const std::size_t At = Room->second;
            const i64 Top = FHH - Room->first;
            FRoom.erase(Room);
            std::vector<TStrip> &Strips = FOpen[At];
            const i64 K = std::min(T.Count, Across);
            Strips.push_back(Strip(T, 0, Top, K, true));
            const i64 RowHeight = T.HH;
            const i64 Used = K * T.WW;
            Take(Next, K);
            FillRow(Strips, Used, Top, RowHeight);
            FRoom.insert({ FHH - Top - RowHeight, At });
        }
        for (std::vector<TStrip> &Strips : FOpen) {
            if (Strips.empty())
                continue;
            TPattern Pt;
            Pt.Sheet = FSheet;
            Pt.Strips = std::move(Strips);
            FOut.push_back(std::move(Pt));
        }
    }

private:
    // The room of a row of the given top and height from X to the sheet's edge, slot by slot.
    void FillRow(std::vector<TStrip> &Strips, i64 X, i64 Top, i64 RowHeight)
    {
        while (X < FWW) {
            const std::size_t k = Largest(FWW - X, RowHeight);
            if (k == None)
                break;
            const i64 SlotWidth = FItems[k].WW;
            i64 Y = 0;
            // Stack the slot: the first kind, then others no wider in the height left.
            for (std::size_t e = k; e != None; e = Largest(SlotWidth, RowHeight - Y)) {
                TShelfItem &It = FItems[e];
                const i64 C = std::min(It.Count, (RowHeight - Y) / It.HH);
                Strips.push_back(Strip(It, X, Top + Y, C, false));
                Y += C * It.HH;
                Take(e, C);
            }
            X += SlotWidth;
        }
    }

    static constexpr std::size_t None = std::numeric_limits<std::size_t>::max();

    // Of the few widest kinds left no wider than Width, the one of largest area no taller than
    // Height; looking at a few only keeps the packing near linear.
    std::size_t Largest(i64 Width, i64 Height)
    {
        std::size_t Best = None;
        i64 BestArea = 0;
        std::size_t p = Alive(static_cast<std::size_t>(
            std::upper_bound(FWidths.begin(), FWidths.end(), Width) - FWidths.begin()));
        for (int Looked = 0; p > 0 && Looked < 8; ++Looked, p = Alive(p - 1)) {
            const std::size_t k = FByWidth[p - 1];
            const TShelfItem &C = FItems[k];
            if (C.HH <= Height && C.WW * C.HH > BestArea) {
                Best = k;
                BestArea = C.WW * C.HH;
            }
        }
        return Best;
    }

    // The last position (counted from 1) at or before p of a kind with parts left; 0: none.
    std::size_t Alive(std::size_t p)
    {
        while (FAlive[p] != p) {
            FAlive[p] = FAlive[FAlive[p]];
            p = FAlive[p];
        }
        return p;
    }

    void Take(std::size_t k, i64 N)
    {
        TShelfItem &It = FItems[k];
        It.Count -= N;
        if (It.Count <= 0)
            FAlive[FPos[k] + 1] = FPos[k];
    }

    static TStrip Strip(const TShelfItem &It, i64 X, i64 Y, i64 K, bool Row)
    {
        TStrip St;
        St.Item = It.Item;
        St.X = X;
        St.Y = Y;
        St.W = It.W;
        St.H = It.H;
        St.Count = K;
        St.Row = Row || K == 1;
        return St;
    }

    int FSheet;
    i64 FWW, FHH;
    std::vector<TShelfItem> &FItems;
    i64 &FStock;
    std::vector<TPattern> &FOut;
    // The kinds by grown width (then by position), their widths, each kind's place there, and
    // for each place (counted from 1) a link towards the nearest place at or before it whose kind
    // has parts left (a kind used up links to the place before it; links are shortened on use).
    std::vector<std::size_t> FByWidth;
    std::vector<i64> FWidths;
    std::vector<std::size_t> FPos;
    std::vector<std::size_t> FAlive;
    std::vector<std::vector<TStrip>> FOpen; // the sheets of partial rows
    std::set<std::pair<i64, std::size_t>> FRoom; // (room below the rows, sheet)
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
            TShelfPacker(int(s), S.W + S.Kerf, S.H + S.Kerf, Items, Stock[s], Out.Patterns).Run();
            for (const TShelfItem &It : Items)
                Left[static_cast<std::size_t>(It.Item)] = std::max<i64>(It.Count, 0);
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
