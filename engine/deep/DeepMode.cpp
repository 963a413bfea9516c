// TRectManage::GoWorkDeep: the job taken from the engine's lists, a start from GoWork's result,
// the search on one or more threads within the budget, and the result written back into the
// lists GoWork fills.
#include "TypeSetClass.h"

#include "DeepSearch.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>

namespace {

using namespace deep;

// The job as the search sees it, and how its items and sheets map to the engine's lists. Part
// kinds of the same size (and, where a sheet kind has grain, held to it alike) are one item,
// wherever they are written in the list: the search need not tell their parts apart, and each
// item's parts go back to its part kinds in list order.
struct TJob
{
    TProblem P;
    std::vector<int> ItemOfPart; // per part kind: item index, or -1 when nothing is to be placed
    std::vector<std::vector<int>> PartsOfItem; // per item: its part kinds in list order
    std::vector<i64> Wanted; // per part kind: parts to place
    std::vector<int> SheetOfKind; // per sheet kind: problem sheet index, or -1 when not usable
    i64 Parts = 0; // parts to place (of kinds that fit some sheet kind)
    bool Merged = false; // some item stands for several part kinds
};

// The sheet inside its trim, as the search lays it out; false when nothing is left to lay out.
bool TrimmedSheet(const TMaterialType &S, TSheet &T)
{
    if (S.Width() <= 0 || S.Height() <= 0 || S.Blade() < 0 || S.Trim() < 0)
        return false;
    T.W = i64(S.Width()) - 2 * i64(S.Trim());
    T.H = i64(S.Height()) - 2 * i64(S.Trim());
    T.Kerf = S.Blade();
    return T.W > 0 && T.H > 0;
}

TJob BuildJob(TMaterialTypeList &Parts, TMaterialTypeList &Sheets, bool Cost)
{
    TJob J;
    J.P.Cost = Cost;
    // A trimmed sheet is searched inside its trim but counts whole: with the area objective its
    // value is then its whole area, compared as a value (as prices are).
    bool Trimmed = false;
    for (int i = 0; i < Sheets.Count(); ++i)
        Trimmed = Trimmed || Sheets.GetItem(i)->Trim() != 0;
    if (Trimmed)
        J.P.Cost = true;
    J.SheetOfKind.assign(static_cast<std::size_t>(Sheets.Count()), -1);
    for (int i = 0; i < Sheets.Count(); ++i) {
        const TMaterialType &S = *Sheets.GetItem(i);
        TSheet T;
        if (!TrimmedSheet(S, T))
            continue;
        if (Cost) {
            // A price that is not a number or infinite makes the sheet kind unusable; a
            // negative one counts as nothing.
            if (!std::isfinite(S.Price()))
                continue;
            T.Value = std::max(S.Price(), 0.0);
        } else {
            T.Value = double(S.Width()) * double(S.Height());
        }
        T.Index = i;
        // The grain runs along the sheet's length: its Width, or its Height when the length was
        // entered as the shorter side.
        if (S.Grain())
            T.Grain = S.EnteredLengthShorter() ? TGrain::AlongY : TGrain::AlongX;
        if (S.StockLimited())
            T.Stock = S.Stock();
        J.SheetOfKind[static_cast<std::size_t>(i)] = static_cast<int>(J.P.Sheets.size());
        J.P.Sheets.push_back(T);
    }
    const bool GrainSheets = std::any_of(J.P.Sheets.begin(), J.P.Sheets.end(),
        [](const TSheet &T) { return T.Grain != TGrain::None; });
    J.ItemOfPart.assign(static_cast<std::size_t>(Parts.Count()), -1);
    J.Wanted.assign(static_cast<std::size_t>(Parts.Count()), 0);
    std::map<std::tuple<i64, i64, TLock>, int> BySize;
    for (int p = 0; p < Parts.Count(); ++p) {
        const TMaterialType &M = *Parts.GetItem(p);
        if (M.Count() <= 0 || M.Width() <= 0 || M.Height() <= 0)
            continue;
        TItem I;
        I.Long = std::max(M.Width(), M.Height());
        I.Short = std::min(M.Width(), M.Height());
        I.Count = M.Count();
        I.Part = p;
        // Held to its grain: its length (the long side, or the short one where the length was
        // entered as the shorter side) along the grain. Only where some sheet kind has grain.
        if (GrainSheets && M.Grain() && I.Long != I.Short)
            I.Lock = M.EnteredLengthShorter() ? TLock::ShortAlongGrain : TLock::LongAlongGrain;
        const auto [It, New]
            = BySize.emplace(std::make_tuple(I.Long, I.Short, I.Lock), int(J.P.Items.size()));
        if (!New) {
            const int Item = It->second;
            if (Item < 0)
                continue; // that size fits no sheet kind
            J.P.Items[static_cast<std::size_t>(Item)].Count += I.Count;
            J.PartsOfItem[static_cast<std::size_t>(Item)].push_back(p);
            J.ItemOfPart[static_cast<std::size_t>(p)] = Item;
            J.Wanted[static_cast<std::size_t>(p)] = I.Count;
            J.Parts += I.Count;
            J.Merged = true;
            continue;
        }
        J.P.Items.push_back(I);
        bool Fits = false;
        for (std::size_t s = 0; s < J.P.Sheets.size() && !Fits; ++s)
            Fits = J.P.Fits(int(J.P.Items.size() - 1), int(s));
        if (!Fits) {
            J.P.Items.pop_back();
            It->second = -1;
            continue;
        }
        J.PartsOfItem.push_back({ p });
        J.ItemOfPart[static_cast<std::size_t>(p)] = static_cast<int>(J.P.Items.size() - 1);
        J.Wanted[static_cast<std::size_t>(p)] = I.Count;
        J.Parts += I.Count;
    }
    J.P.Prepare();
    return J;
}

// GoWork's result on a copy of the input, as a starting layout: its layout groups that edge-to-edge
// cuts can separate, as they are, and the parts of the others laid out again sheet by sheet.
// Within the run's time: GoWork stops when the time is up (or the run is cancelled), the
// layout groups are laid out again only while time remains, and what is left then goes into
// shelves, which take next to no time. So the start is always complete, and it is GoWork's
// own layout (cut where needed) when the time allows GoWork to finish.
struct TRefPart
{
    int W, H, Count;
    int Item; // of the job, or -1
    bool Grain = false;
    bool EnteredLengthShorter = false;
};

TSolution FromDesigned(const std::vector<TRefPart> &Parts, TMaterialTypeList &Sheets, bool Cost,
    bool BigSheet, const TJob &J, const TControl &Run, const std::atomic<bool> *Cancel)
{
    TRectManage Ref;
    Ref.BCTypeList().Reserve(Sheets.Count());
    Ref.MaterialTypeList().Reserve(static_cast<int>(Parts.size()));
    for (int i = 0; i < Sheets.Count(); ++i) {
        const TMaterialType &S = *Sheets.GetItem(i);
        TMaterialType &T = *Ref.BCTypeList().Add();
        T.SetWidth(S.Width());
        T.SetHeight(S.Height());
        T.SetBlade(S.Blade());
        T.SetPrice(S.Price());
        T.SetTrim(S.Trim());
        T.SetGrain(S.Grain());
        T.SetEnteredLengthShorter(S.EnteredLengthShorter());
        T.SetStock(S.Stock());
    }
    for (const TRefPart &Part : Parts) {
        TMaterialType &T = *Ref.MaterialTypeList().Add();
        T.SetWidth(Part.W);
        T.SetHeight(Part.H);
        T.SetCount(Part.Count);
        T.SetGrain(Part.Grain);
        T.SetEnteredLengthShorter(Part.EnteredLengthShorter);
    }
    Ref.SetUseCost(Cost);
    Ref.SetUseBCMaxArea(BigSheet);
    std::vector<int> SheetOfGroup;
    Ref.SetOnNewRectList(
        [&SheetOfGroup](int, int BCindex, int) { SheetOfGroup.push_back(BCindex); });
    // The run's time and cancel, without its work limit: the start runs to its end on a run
    // limited by work alone, as the result must not depend on timing.
    TControl Time(Run.Milliseconds(), 0, Cancel, Run.Start());
    Ref.GoWork([&Time] { return Time.TimeOrCancel(); });

    const TProblem &P = J.P;
    TSolution S;
    std::vector<TPattern> ByGroup(static_cast<std::size_t>(Ref.GroupList().Count()));
    for (std::size_t g = 0; g < ByGroup.size(); ++g) {
        const int Kind = g < SheetOfGroup.size() ? SheetOfGroup[g] : -1;
        ByGroup[g].Sheet = Kind >= 0 ? J.SheetOfKind[static_cast<std::size_t>(Kind)] : -1;
        ByGroup[g].Repeat = Ref.GroupList().GetItem(static_cast<int>(g))->Count();
    }
    for (int i = 0; i < Ref.CreateRectList().Count(); ++i) {
        const TMaterialType &M = *Ref.CreateRectList().GetItem(i);
        const std::size_t g = static_cast<std::size_t>(M.Group() - 1);
        if (g >= ByGroup.size() || M.Data < 0 || M.Data >= static_cast<int>(Parts.size()))
            continue;
        TStrip St;
        St.Item = Parts[static_cast<std::size_t>(M.Data)].Item;
        // Inside the trim, as the search sees the sheet.
        const int Kind = g < SheetOfGroup.size() ? SheetOfGroup[g] : -1;
        const int Trim = Kind >= 0 ? Sheets.GetItem(Kind)->Trim() : 0;
        St.X = M.X() - Trim;
        St.Y = M.Y() - Trim;
        St.W = M.Width();
        St.H = M.Height();
        St.Count = M.Count();
        St.Row = M.Range() == TOrient::horizontal || M.Count() == 1;
        if (St.Item < 0)
            ByGroup[g].Sheet = -1; // cannot happen: every part GoWork places fits a sheet kind
        ByGroup[g].Strips.push_back(St);
    }
    std::vector<i64> Left(P.Items.size());
    for (std::size_t i = 0; i < P.Items.size(); ++i)
        Left[i] = P.Items[i].Count;
    // Laying groups out again has a work budget of its own, within the run's time.
    TControl Relayout(Run.Milliseconds(), 2000000, Cancel, Run.Start());
    TWorker W(Relayout, -1);
    for (TPattern &Pt : ByGroup) {
        if (Pt.Sheet < 0 || Pt.Strips.empty() || Pt.Repeat < 1)
            continue;
        const TSheet &Sh = P.Sheets[static_cast<std::size_t>(Pt.Sheet)];
        if (!StripsGuillotine(Pt.Strips, Sh.W, Sh.H, Sh.Kerf)) {
            if (W.Stopped())
                continue;
            // The same parts on one sheet of the same kind, laid out by the search.
            TTask One;
            One.Counts.assign(P.Items.size(), 0);
            One.SheetAllowed.assign(P.Sheets.size(), 0);
            One.SheetAllowed[static_cast<std::size_t>(Pt.Sheet)] = 1;
            i64 Parts = 0;
            for (const TStrip &St : Pt.Strips) {
                One.Counts[static_cast<std::size_t>(St.Item)] += St.Count;
                Parts += St.Count;
            }
            TBeamOptions O;
            O.OneSheet = true;
            O.MaxWork = 50000 + 5000 * std::uint64_t(std::min<i64>(Parts, 1000));
            O.MaxWidth = 1024;
            O.Floor = Sh.Value;
            const TSolution R = BeamSearch(P, One, 1.5 * Sh.Value + 1.0, W, O);
            if (R.Placed != Parts || R.Patterns.size() != 1)
                continue;
            const i64 Repeat = Pt.Repeat;
            Pt = R.Patterns.front();
            Pt.Repeat = Repeat;
        }
        for (const TStrip &St : Pt.Strips)
            Left[static_cast<std::size_t>(St.Item)] -= St.Count * Pt.Repeat;
        S.Patterns.push_back(std::move(Pt));
    }
    // The parts of the other groups (and any GoWork left over), sheet by sheet while time
    // remains, the rest in shelves; with stock, on the sheets the kept groups leave.
    TTask Task;
    Task.Counts = Left;
    if (P.Limited)
        Task.Stock = StockLeft(P, SheetsUsed(P, S));
    // Within the run's time and a work budget of its own (absurd input can take long here).
    TControl RestControl(Run.Milliseconds(), std::max<std::uint64_t>(2000000, Run.WorkPerWorker()),
        Cancel, Run.Start());
    TWorker Rest(RestControl, -1);
    TSolution Others;
    if (!Rest.Stopped())
        Others = SheetBySheet(P, Task, Rest, TGreedyOptions());
    for (TPattern &Pt : Others.Patterns) {
        for (const TStrip &St : Pt.Strips)
            Task.Counts[static_cast<std::size_t>(St.Item)] -= St.Count * Pt.Repeat;
        if (P.Limited && Task.Stock[static_cast<std::size_t>(Pt.Sheet)] > 0)
            Task.Stock[static_cast<std::size_t>(Pt.Sheet)] -= Pt.Repeat;
        S.Patterns.push_back(std::move(Pt));
    }
    if (std::any_of(Task.Counts.begin(), Task.Counts.end(), [](i64 N) { return N > 0; }))
        for (TPattern &Pt : Shelves(P, Task).Patterns)
            S.Patterns.push_back(std::move(Pt));
    S.Evaluate(P);
    return S;
}

// The layout with its strips' parts given to part kinds (Item: a part kind's position): an
// item's parts go to its part kinds in list order, as many as each wants. Identical sheets stay
// together while they can carry the same part kinds; a strip whose parts go to two part kinds is
// split between them.
TSolution ToPartKinds(const TJob &J, const TSolution &S)
{
    TSolution Out;
    Out.Placed = S.Placed;
    Out.Value = S.Value;
    Out.Area = S.Area;
    const std::size_t NItems = J.P.Items.size();
    std::vector<i64> Left = J.Wanted;
    std::vector<std::size_t> Next(NItems, 0); // the item's part kind first in line
    auto Front = [&](int Item) {
        const std::vector<int> &Kinds = J.PartsOfItem[static_cast<std::size_t>(Item)];
        std::size_t &k = Next[static_cast<std::size_t>(Item)];
        while (k + 1 < Kinds.size() && Left[static_cast<std::size_t>(Kinds[k])] <= 0)
            ++k;
        return Kinds[k];
    };
    std::vector<i64> PerSheet(NItems, 0);
    for (const TPattern &Pt : S.Patterns) {
        const i64 Kerf = J.P.Sheets[static_cast<std::size_t>(Pt.Sheet)].Kerf;
        for (const TStrip &St : Pt.Strips)
            PerSheet[static_cast<std::size_t>(St.Item)] += St.Count;
        for (i64 Repeat = Pt.Repeat; Repeat > 0;) {
            // Sheets on which every item's parts come from its part kind first in line.
            i64 Whole = Repeat;
            for (const TStrip &St : Pt.Strips)
                Whole = std::min(Whole,
                    Left[static_cast<std::size_t>(Front(St.Item))]
                        / PerSheet[static_cast<std::size_t>(St.Item)]);
            TPattern Sheet;
            Sheet.Sheet = Pt.Sheet;
            if (Whole > 0) {
                for (TStrip St : Pt.Strips) {
                    const int Part = Front(St.Item);
                    Left[static_cast<std::size_t>(Part)] -= St.Count * Whole;
                    St.Item = Part;
                    Sheet.Strips.push_back(St);
                }
                Sheet.Repeat = Whole;
                Repeat -= Whole;
            } else {
                // One sheet, its strips split where a part kind runs out.
                for (TStrip St : Pt.Strips) {
                    while (St.Count > 0) {
                        const int Part = Front(St.Item);
                        i64 &Have = Left[static_cast<std::size_t>(Part)];
                        const i64 Take = Have > 0 ? std::min(Have, St.Count) : St.Count;
                        TStrip Piece = St;
                        Piece.Item = Part;
                        Piece.Count = Take;
                        Piece.Row = St.Row || Take == 1;
                        Sheet.Strips.push_back(Piece);
                        Have -= Take;
                        St.Count -= Take;
                        if (St.Row)
                            St.X += Take * (St.W + Kerf);
                        else
                            St.Y += Take * (St.H + Kerf);
                    }
                }
                Sheet.Repeat = 1;
                Repeat -= 1;
            }
            Out.Patterns.push_back(std::move(Sheet));
        }
        for (const TStrip &St : Pt.Strips)
            PerSheet[static_cast<std::size_t>(St.Item)] = 0;
    }
    return Out;
}

// What the calling thread reports: a summary of the best layout any worker has found.
class TShared
{
public:
    void Publish(const TSolution &S, const TProblem &P)
    {
        std::lock_guard<std::mutex> Lock(FMutex);
        if (FHave && !Better(S, P))
            return;
        FHave = true;
        FFresh = true;
        FPlaced = S.Placed;
        FPlacedArea = S.PlacedArea;
        FValue = S.Value;
        FArea = S.Area;
        FSheets = 0;
        for (const TPattern &Pt : S.Patterns)
            FSheets += Pt.Repeat;
    }
    // The summary, and whether it changed since the last call.
    bool Take(TDeepProgress &Out, bool Cost)
    {
        std::lock_guard<std::mutex> Lock(FMutex);
        Out.Objective = Cost ? FValue : double(FArea);
        Out.Sheets = FSheets;
        Out.Placed = FPlaced;
        const bool Fresh = FFresh;
        FFresh = false;
        return Fresh;
    }

private:
    bool Better(const TSolution &S, const TProblem &P) const
    {
        if (S.Placed != FPlaced)
            return S.Placed > FPlaced;
        if (S.PlacedArea != FPlacedArea)
            return S.PlacedArea > FPlacedArea;
        return P.Cost ? Less(S.Value, FValue) : S.Area < FArea;
    }

    std::mutex FMutex;
    bool FHave = false;
    bool FFresh = false;
    i64 FPlaced = 0;
    __int128 FPlacedArea = 0;
    double FValue = 0.0;
    __int128 FArea = 0;
    i64 FSheets = 0;
};

bool ReachedBound(const TSolution &S, const TProblem &P, i64 Parts, double Bound)
{
    return S.Placed == Parts && !Less(Bound, S.Value) && !P.Items.empty();
}

// One worker's search, starting from Start. Workers differ in their guide, in how they share
// their budget between the beam search and the neighbourhood search, and in their random seed.
TSolution Search(const TProblem &P, const TSolution &Start, i64 Parts, double Bound, TWorker &W,
    TShared &Shared, bool StopOthers, int Threads)
{
    TSolution Best = Start;
    auto Offer = [&](const TSolution &S) {
        if (!S.Better(Best, P))
            return;
        Best = S;
        Shared.Publish(Best, P);
        if (StopOthers && ReachedBound(Best, P, Parts, Bound))
            W.Control().StopAll();
    };
    if (ReachedBound(Best, P, Parts, Bound) || P.Items.empty() || W.Stopped())
        return Best;

    std::size_t Kinds = 0;
    for (const TItem &I : P.Items)
        Kinds += I.Count > 0;
    // The whole job in one beam while the tree stays small (a few hundred parts); else sheet by
    // sheet, which from a few thousand parts on (2,000 parts of 80 kinds, say) also does better
    // within seconds than a beam that cannot grow wide enough.
    const bool Small = double(Parts) * double(Kinds) <= 20000.0;
    TTask All;
    for (const TItem &I : P.Items)
        All.Counts.push_back(I.Count);

    // Layouts of a few sheets.
    i64 Sheets = 0;
    for (const TPattern &Pt : Best.Patterns)
        Sheets += Pt.Repeat;
    const bool Few = P.Uniform ? Bound <= 4.5 * P.Sheets.front().Value : Sheets <= 4;

    // Sheet-by-sheet layouts in settings (beam width per sheet, parts per corner), the workers
    // taking turns along the list. Which setting fills a job's sheets best varies from job to
    // job and is not the widest: a fill that looks at fewer parts per corner is often the
    // tighter one. Jobs of many parts go through the list while the construction lasts (four
    // tenths of the budget); jobs for a whole-job beam try the first four.
    static constexpr TGreedyOptions Settings[] = { { 1, 1 }, { 2, 1 }, { 3, 1 }, { 1, 2 }, { 4, 1 },
        { 2, 2 }, { 3, 2 }, { 6, 1 }, { 4, 2 }, { 8, 1 }, { 6, 2 }, { 1, 3 }, { 3, 3 }, { 12, 1 },
        { 8, 2 }, { 16, 1 }, { 6, 3 }, { 12, 2 }, { 24, 1 }, { 16, 2 } };
    const std::size_t Tries = Small ? 4 : 8;
    // The first layout of each worker may take the whole budget: one that is cut short is lost.
    bool First = true;
    for (std::size_t k = std::size_t(W.Id()) % std::size_t(Threads); k < Tries;
         k += std::size_t(Threads)) {
        W.SetPhase(First ? 1.0 : Small ? 0.1 : 0.4);
        First = false;
        if (W.Stopped())
            break;
        TSolution S = SheetBySheet(P, All, W, Settings[k]);
        // Where stock keeps some parts off every layout, the one placing most is the best.
        if (S.Placed == Parts || P.Limited)
            Offer(S);
    }

    // The beam's share of the budget. Layouts of a few sheets gain little from the neighbourhood
    // search, which works on a few sheets at a time; there the beam takes nearly all. Else the
    // first worker mostly beam searches and the others mostly improve. A worker alone on sheets
    // all alike spends a tenth on the beam: there emptying sheets one neighbourhood at a time
    // saves more sheets than a wider beam over the whole job (with sheet kinds to choose from,
    // the beam's choice of kinds gains more).
    const double BeamShare = Few ? 0.9
        : Threads == 1           ? (P.Uniform ? 0.1 : 0.5)
        : W.Id() == 0            ? 0.5
                                 : 0.15;
    W.SetPhase(Small ? BeamShare : 0.45);
    if (Small && !W.Stopped()) {
        TBeamOptions O;
        O.Guide = W.Id() < 2 || W.Id() % 2 == 0 ? TGuide::WastePerMeanArea : TGuide::WasteRatio;
        // Workers keep different shares of siblings in their beams; alone, both in turn.
        if (Threads == 1)
            O.SiblingShares = { 8, 4 };
        else
            O.SiblingShares = { W.Id() == 0 ? 8 : W.Id() == 1 ? 4 : 0 };
        // Odd workers keep every arrangement of the same parts: where the parts fill their
        // sheets with little or no waste, the guide cannot tell those arrangements apart, and the
        // one kept may leave no room for the parts to come. The others keep one, which suits
        // jobs of many equal parts.
        if (W.Id() % 2 == 1)
            O.SameParts = 0;
        O.Floor = Bound;
        O.Partial = P.Limited;
        O.OnImproved = [&](const TSolution &S) { Offer(S); };
        auto Cutoff = [&] {
            return Best.Placed == Parts ? Best.Value : std::numeric_limits<double>::infinity();
        };
        // A layout of a few sheets that beats the start often has very little waste and many
        // parts of all sizes. A beam by the plain waste ratio, with no limit on the children of
        // one node, often finds it far sooner than worker 0's own beam, whose guide places large
        // parts first and leaves the last gaps to the few small parts it has not used. On other
        // jobs of a few sheets worker 0's own beam is the faster, so the waste-ratio beam runs
        // first and only for about a third of the beam's share.
        if (Few && Threads > 1 && W.Id() == 0) {
            TBeamOptions Tight = O;
            Tight.Guide = TGuide::WasteRatio;
            Tight.SiblingShares = { 0 };
            W.SetPhase(0.35 * BeamShare);
            Offer(BeamSearch(P, All, Cutoff(), W, Tight));
            W.SetPhase(BeamShare);
        }
        if (!W.Stopped())
            Offer(BeamSearch(P, All, Cutoff(), W, O));
    }
    if (Best.Placed < Parts && P.Limited) {
        // Stock ran out: more parts on the same sheets.
        W.SetPhase(1.0);
        Refill(P, Best, W, 1 + std::uint64_t(W.Id()),
            [&](const TSolution &S) { Shared.Publish(S, P); });
    }
    if (Best.Placed == Parts && !ReachedBound(Best, P, Parts, Bound)) {
        W.SetPhase(P.Uniform ? 1.0 : 0.95);
        auto Published = [&](const TSolution &S) {
            Shared.Publish(S, P);
            if (StopOthers && ReachedBound(S, P, Parts, Bound))
                W.Control().StopAll();
        };
        if (Small)
            Improve(P, Best, W, Bound, 1 + std::uint64_t(W.Id()), Published);
        else
            Regroup(P, Best, W, Bound, 1 + std::uint64_t(W.Id()), Published);
        if (!P.Uniform) {
            W.SetPhase(1.0);
            if (DowngradeSheets(P, Best, W))
                Shared.Publish(Best, P);
        }
    }
    return Best;
}

// Identical sheets: equal sheet kind and strips.
using TKey = std::pair<int, std::vector<std::tuple<i64, i64, i64, i64, i64, int, bool>>>;

TKey KeyOf(const TPattern &Pt)
{
    TKey K;
    K.first = Pt.Sheet;
    for (const TStrip &S : Pt.Strips)
        K.second.emplace_back(S.X, S.Y, S.W, S.H, S.Count, S.Item, S.Row);
    std::sort(K.second.begin(), K.second.end());
    return K;
}

// Joins strips placed one after another into longer rows and columns.
std::vector<TStrip> Joined(const std::vector<TStrip> &In, i64 Kerf)
{
    std::vector<TStrip> Out;
    for (const TStrip &S : In) {
        if (!Out.empty()) {
            TStrip &L = Out.back();
            const bool Same = L.Item == S.Item && L.W == S.W && L.H == S.H;
            const bool LRow = L.Row || L.Count == 1, SRow = S.Row || S.Count == 1;
            const bool LCol = !L.Row || L.Count == 1, SCol = !S.Row || S.Count == 1;
            if (Same && LRow && SRow && L.Y == S.Y && L.X + L.Count * (L.W + Kerf) == S.X) {
                L.Count += S.Count;
                L.Row = true;
                continue;
            }
            if (Same && LCol && SCol && L.X == S.X && L.Y + L.Count * (L.H + Kerf) == S.Y) {
                L.Count += S.Count;
                L.Row = false;
                continue;
            }
        }
        Out.push_back(S);
    }
    return Out;
}

} // namespace

TDeepOptions TDeepOptions::ForBudget(double Seconds, std::uint64_t WorkLimit)
{
    TDeepOptions O;
    if (WorkLimit > 0) {
        O.Milliseconds = 0;
        O.WorkLimit = WorkLimit;
        O.Threads = 1;
    } else {
        O.Milliseconds = int(std::lround(std::clamp(Seconds * 1000.0, 1.0, 86400000.0)));
        O.Threads = 0;
    }
    return O;
}

void TRectManage::GoWorkDeep(const TDeepOptions &Options)
{
    init();
    FDeepResult = TDeepResult();
    FDeepResult.Cost = FUseCost;
    const int NSheets = FBCTypeList.Count();
    const int NParts = FMaterialTypeList.Count();
    // As GoWork leaves them: Text filled and sides in the order their Orient gives.
    if (NSheets > 0) {
        for (int p = 0; p < NParts; ++p) {
            TMaterialType &M = *FMaterialTypeList.GetItem(p);
            M.GetText();
            M.SetOrient(M.Orient());
        }
    }

    int Milliseconds = Options.Milliseconds;
    if (Milliseconds <= 0 && Options.WorkLimit == 0)
        Milliseconds = 1000;
    int Threads = Options.Threads;
    if (Threads <= 0)
        Threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    Threads = std::clamp(Threads, 1, 16);
    TControl Control(Milliseconds, Options.WorkLimit / std::uint64_t(Threads), Options.Cancel,
        Options.Start.value_or(TControl::TClock::now()));

    const TJob J = BuildJob(FMaterialTypeList, FBCTypeList, FUseCost);
    const TProblem &P = J.P;
    // Where reading a long part list has spent the run's time, the bound is the part area only:
    // the rest of it may take longer than the layout the run still owes.
    const TBound Bound = LowerBound(P, Control.TimeOrCancel());
    FDeepResult.Bound = Bound.Value;
    FDeepResult.AreaBound = Bound.AreaBound;
    FDeepResult.BoundSheets = P.Uniform ? Bound.Sheets : 0;

    TShared Shared;
    TSolution Start;
    if (!P.Items.empty()) {
        // The quick mode's layout of the job as entered (the deep mode ends no worse), and, where
        // part kinds of the same size were written apart, of the job with them together.
        std::vector<TRefPart> AsEntered;
        for (int p = 0; p < NParts; ++p) {
            const TMaterialType &M = *FMaterialTypeList.GetItem(p);
            AsEntered.push_back({ M.Width(), M.Height(), M.Count(), J.ItemOfPart[std::size_t(p)],
                M.Grain(), M.EnteredLengthShorter() });
        }
        if (Control.TimeOrCancel()) {
            // The run's time already spent (reading a long part list can take it): the quick
            // mode would stop before laying anything out, and setting it up for every part kind
            // takes longer than the layout the run still owes. Every part goes into shelves.
            TTask All;
            for (const TItem &I : P.Items)
                All.Counts.push_back(I.Count);
            Start = Shelves(P, All);
        } else {
            Start = FromDesigned(
                AsEntered, FBCTypeList, FUseCost, FUseBCMaxArea, J, Control, Options.Cancel);
        }
        std::vector<TRefPart> Together;
        for (std::size_t i = 0; i < P.Items.size(); ++i) {
            const TItem &I = P.Items[i];
            if (I.Count > INT_MAX)
                break; // more than a part kind can hold
            Together.push_back({ int(I.Long), int(I.Short), int(I.Count), int(i),
                I.Lock != TLock::Free, I.Lock == TLock::ShortAlongGrain });
        }
        if (J.Merged && Together.size() == P.Items.size() && !Control.TimeOrCancel()) {
            TSolution S = FromDesigned(
                Together, FBCTypeList, FUseCost, FUseBCMaxArea, J, Control, Options.Cancel);
            if (S.Better(Start, P))
                Start = std::move(S);
        }
    }
    Shared.Publish(Start, P);

    TDeepProgress Progress;
    Progress.Bound = Bound.Value;
    Progress.Parts = J.Parts;
    auto LastReport = TControl::TClock::now() - std::chrono::seconds(1);
    auto Report = [&](bool Always) {
        if (!Options.OnProgress)
            return;
        const auto Now = TControl::TClock::now();
        const bool Fresh = Shared.Take(Progress, P.Cost);
        if (!Always && !(Fresh && Now - LastReport >= std::chrono::milliseconds(50))
            && Now - LastReport < std::chrono::milliseconds(100))
            return;
        LastReport = Now;
        Progress.Seconds = Control.Seconds();
        Options.OnProgress(Progress);
    };

    // Workers: this thread is worker 0. Without a work limit the first to reach the bound stops
    // the others; with one, each stops on its own so that the result does not depend on timing.
    const bool StopOthers = Options.WorkLimit == 0;
    std::vector<TSolution> Results(static_cast<std::size_t>(Threads));
    std::vector<std::uint64_t> Work(static_cast<std::size_t>(Threads), 0);
    std::mutex DoneMutex;
    std::condition_variable DoneSignal;
    int Running = Threads - 1;
    auto Body = [&](int Id) {
        TWorker W(Control, Id);
        if (Id == 0)
            W.OnPoll = [&Report]() { Report(false); };
        try {
            Results[static_cast<std::size_t>(Id)]
                = Search(P, Start, J.Parts, Bound.Value, W, Shared, StopOthers, Threads);
        } catch (...) {
            // Out of memory, most likely: this worker's result is lost, the start remains.
            Results[static_cast<std::size_t>(Id)] = TSolution();
        }
        Work[static_cast<std::size_t>(Id)] = W.Work();
    };
    std::vector<std::thread> Pool;
    if (!P.Items.empty()) {
        for (int Id = 1; Id < Threads; ++Id) {
            try {
                Pool.emplace_back([&, Id]() {
                    Body(Id);
                    std::lock_guard<std::mutex> Lock(DoneMutex);
                    --Running;
                    DoneSignal.notify_all();
                });
            } catch (...) {
                // No thread to be had: that share of the work is not done.
                std::lock_guard<std::mutex> Lock(DoneMutex);
                --Running;
            }
        }
        Body(0);
        std::unique_lock<std::mutex> Lock(DoneMutex);
        while (Running > 0) {
            DoneSignal.wait_for(Lock, std::chrono::milliseconds(20));
            Lock.unlock();
            Report(false);
            Lock.lock();
        }
    }
    for (std::thread &T : Pool)
        T.join();

    TSolution Best = Start;
    for (const TSolution &R : Results)
        if (!R.Empty() && R.Better(Best, P))
            Best = R;
    Shared.Publish(Best, P);

    // With trims the area objective is valued whole sheet by whole sheet (see BuildJob).
    FDeepResult.Objective = P.Cost ? Best.Value : double(Best.Area);
    FDeepResult.Optimal = ReachedBound(Best, P, J.Parts, Bound.Value);
    // Only stock keeps a layout from placing every part that fits some sheet kind.
    FDeepResult.Complete = Best.Placed == J.Parts;
    FDeepResult.Cancelled = Control.Cancelled();
    FDeepResult.Seconds = Control.Seconds();
    for (const std::uint64_t U : Work)
        FDeepResult.Work += U;
    CommitDeep(P, ToPartKinds(J, Best));
    Report(true);
}

void TRectManage::CommitDeep(const TProblem &P, const TSolution &S)
{
    // Identical sheets become one group; groups by utilisation, best first.
    struct TGroup
    {
        TPattern Pattern;
        i64 PartsArea;
        i64 SheetArea;
    };
    std::map<TKey, std::size_t> Seen;
    std::vector<TGroup> Groups;
    for (const TPattern &Pt : S.Patterns) {
        if (Pt.Strips.empty() || Pt.Repeat < 1)
            continue;
        const TSheet &Sh = P.Sheets[static_cast<std::size_t>(Pt.Sheet)];
        TPattern J = Pt;
        J.Strips = Joined(Pt.Strips, Sh.Kerf);
        const TKey K = KeyOf(J);
        auto It = Seen.find(K);
        if (It != Seen.end()) {
            Groups[It->second].Pattern.Repeat += J.Repeat;
            continue;
        }
        Seen.emplace(K, Groups.size());
        Groups.push_back({ J, J.PartsArea(), FBCTypeList.GetItem(Sh.Index)->GetArea() });
    }
    std::stable_sort(Groups.begin(), Groups.end(), [](const TGroup &A, const TGroup &B) {
        const __int128 L = static_cast<__int128>(A.PartsArea) * B.SheetArea;
        const __int128 R = static_cast<__int128>(B.PartsArea) * A.SheetArea;
        if (L != R)
            return L > R;
        if (A.Pattern.Sheet != B.Pattern.Sheet)
            return A.Pattern.Sheet < B.Pattern.Sheet;
        return A.Pattern.Repeat > B.Pattern.Repeat;
    });

    std::size_t Strips = 0;
    for (const TGroup &G : Groups)
        Strips += G.Pattern.Strips.size();
    FCreateRectList.Reserve(static_cast<int>(std::min<std::size_t>(Strips, INT_MAX)));
    FGroupList.Reserve(static_cast<int>(std::min<std::size_t>(Groups.size(), INT_MAX)));
    std::vector<i64> Before(static_cast<std::size_t>(FMaterialTypeList.Count()), 0);
    std::vector<int> Touched;
    int Group = 0;
    for (const TGroup &G : Groups) {
        ++Group;
        const int Kind = P.Sheets[static_cast<std::size_t>(G.Pattern.Sheet)].Index;
        TMaterialType &Sheet = *FBCTypeList.GetItem(Kind);
        const int Count = static_cast<int>(std::min<i64>(G.Pattern.Repeat, INT_MAX));
        TMaterialType &Record = *FGroupList.Add();
        Record.SetText(Sheet.GetText());
        Record.SetWidth(Sheet.Width());
        Record.SetHeight(Sheet.Height());
        Record.SetTrim(Sheet.Trim());
        Record.SetGrain(Sheet.Grain());
        Record.SetEnteredLengthShorter(Sheet.EnteredLengthShorter());
        Record.SetGroup(Group);
        Record.SetCount(Count);
        Record.SetMaxWidth(G.PartsArea);
        Record.SetMaxHieght(Sheet.GetArea());
        Record.SetUsedCount(Sheet.GetArea() > 0
                ? static_cast<int>(static_cast<__int128>(G.PartsArea) * 100 / Sheet.GetArea())
                : 0);

        // Parts of each kind earlier on this sheet, and the kinds on it in order.
        Touched.clear();
        // The search laid the sheet out inside its trim.
        const i64 Trim = Sheet.Trim();
        for (const TStrip &Found : G.Pattern.Strips) {
            TStrip St = Found;
            St.X += Trim;
            St.Y += Trim;
            const int Part = St.Item;
            TMaterialType &M = *FMaterialTypeList.GetItem(Part);
            auto Item = std::make_unique<TMaterialType>();
            Item->SetX(static_cast<int>(St.X));
            Item->SetY(static_cast<int>(St.Y));
            Item->SetWidth(static_cast<int>(St.W));
            Item->SetHeight(static_cast<int>(St.H));
            Item->SetCount(static_cast<int>(St.Count));
            i64 &Earlier = Before[static_cast<std::size_t>(Part)];
            if (Earlier == 0)
                Touched.push_back(Part);
            Item->SetUsedCount(static_cast<int>(std::min<i64>(INT_MAX, M.UsedCount() + Earlier)));
            Earlier += St.Count;
            Item->SetName(M.Name());
            Item->SetText(M.GetText());
            Item->SetOrient(St.W >= St.H ? TOrient::horizontal : TOrient::vertical);
            Item->SetRange(St.Row ? TOrient::horizontal : TOrient::vertical);
            const i64 B = Sheet.Blade();
            Item->SetMaxWidth(St.Row ? St.X + St.Count * St.W + (St.Count - 1) * B : St.X + St.W);
            Item->SetMaxHieght(St.Row ? St.Y + St.H : St.Y + St.Count * St.H + (St.Count - 1) * B);
            Item->Data = Part;
            Item->SetGroup(Group);
            Item->SetPrice(M.Price());
            Item->SetBlade(Sheet.Blade());
            Item->SetEnteredLengthShorter(M.EnteredLengthShorter());
            Item->SetGrain(M.Grain());
            FCreateRectList.AddItem(std::move(Item), -1);
        }
        FCreateRectList.SetRectCount(Count);
        for (const int Part : Touched) {
            i64 &N = Before[static_cast<std::size_t>(Part)];
            TMaterialType &M = *FMaterialTypeList.GetItem(Part);
            M.SetUsedCount(static_cast<int>(
                std::min<i64>(INT_MAX, M.UsedCount() + N * static_cast<i64>(Count))));
            M.SetGroup(Group);
            M.Data = Kind;
            N = 0;
        }
        Notify(Group, Kind, Count);
    }
    for (int p = 0; p < FMaterialTypeList.Count(); ++p) {
        const TMaterialType &M = *FMaterialTypeList.GetItem(p);
        if (M.UsedCount() < M.Count())
            FExecpt = true;
    }
    if (FExecpt)
        Notify(Group + 1, -1, 0);
}
