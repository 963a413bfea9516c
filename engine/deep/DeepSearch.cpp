// The beam search of the deep mode, the budget of its workers, and what all its parts share about
// problems and layouts.
#include "DeepSearch.h"

#include "DeepFront.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace deep {

// ---------------------------------------------------------------------------------------------
// Problem and solutions

void TProblem::Prepare()
{
    Density = std::numeric_limits<double>::infinity();
    Uniform = !Sheets.empty();
    Limited = false;
    for (const TSheet &S : Sheets) {
        Limited = Limited || S.Stock >= 0;
        Density = std::min(Density, S.Value / (double(S.W) * double(S.H)));
        const TSheet &F = Sheets.front();
        if (S.W != F.W || S.H != F.H || S.Value != F.Value)
            Uniform = false;
    }
    if (!std::isfinite(Density) || Density <= 0.0)
        Density = 0.0;
}

bool TProblem::Fits(int Item, int Sheet) const
{
    const TItem &I = Items[static_cast<std::size_t>(Item)];
    const TSheet &S = Sheets[static_cast<std::size_t>(Sheet)];
    return (I.Long <= S.W && I.Short <= S.H && MayLie(Item, Sheet, false))
        || (I.Long <= S.H && I.Short <= S.W && MayLie(Item, Sheet, true));
}

std::vector<i64> SheetsUsed(const TProblem &P, const TSolution &S)
{
    std::vector<i64> Used(P.Sheets.size(), 0);
    for (const TPattern &Pt : S.Patterns)
        Used[static_cast<std::size_t>(Pt.Sheet)] += Pt.Repeat;
    return Used;
}

std::vector<i64> StockLeft(const TProblem &P, const std::vector<i64> &Used)
{
    std::vector<i64> Left(P.Sheets.size(), -1);
    for (std::size_t s = 0; s < P.Sheets.size(); ++s)
        if (P.Sheets[s].Stock >= 0)
            Left[s] = std::max<i64>(0, P.Sheets[s].Stock - Used[s]);
    return Left;
}

i64 TPattern::Parts() const
{
    i64 N = 0;
    for (const TStrip &S : Strips)
        N += S.Count;
    return N;
}

i64 TPattern::PartsArea() const
{
    i64 A = 0;
    for (const TStrip &S : Strips)
        A += S.Count * S.W * S.H;
    return A;
}

void TSolution::Evaluate(const TProblem &P)
{
    Placed = 0;
    PlacedArea = 0;
    Value = 0.0;
    Area = 0;
    for (const TPattern &Pt : Patterns) {
        const TSheet &S = P.Sheets[static_cast<std::size_t>(Pt.Sheet)];
        Placed += Pt.Parts() * Pt.Repeat;
        PlacedArea += static_cast<__int128>(Pt.PartsArea()) * Pt.Repeat;
        Value += S.Value * double(Pt.Repeat);
        Area += static_cast<__int128>(S.W) * S.H * Pt.Repeat;
    }
}

bool Less(double A, double B)
{
    // An infinite value (no cutoff yet) compares without the tolerance, which would be NaN.
    const double M = std::max(std::fabs(A), std::fabs(B));
    return std::isfinite(M) ? A < B - 1e-9 * M : A < B;
}

double Spread(const TProblem &P, const TSolution &S)
{
    double Sum = 0.0;
    for (const TPattern &Pt : S.Patterns) {
        const TSheet &Sh = P.Sheets[static_cast<std::size_t>(Pt.Sheet)];
        const double F = double(Pt.PartsArea()) / (double(Sh.W) * double(Sh.H));
        Sum += F * F * double(Pt.Repeat);
    }
    return Sum;
}

bool TSolution::Better(const TSolution &Other, const TProblem &P) const
{
    if (Placed != Other.Placed)
        return Placed > Other.Placed;
    if (PlacedArea != Other.PlacedArea)
        return PlacedArea > Other.PlacedArea;
    if (!P.Cost)
        return Area < Other.Area;
    return Less(Value, Other.Value);
}

// ---------------------------------------------------------------------------------------------
// Budget

TControl::TControl(int Milliseconds, std::uint64_t WorkPerWorker, const std::atomic<bool> *Cancel,
    TClock::time_point Start)
    : FMilliseconds(Milliseconds)
    , FWorkPerWorker(WorkPerWorker)
    , FCancel(Cancel)
    , FStart(Start)
    , FDeadline(FStart + std::chrono::milliseconds(std::max(Milliseconds, 0)))
{ }

bool TControl::TimeOrCancel() const
{
    return Cancelled() || Stopped() || (FMilliseconds > 0 && TClock::now() >= FDeadline);
}

double TControl::Seconds() const
{
    return std::chrono::duration<double>(TClock::now() - FStart).count();
}

TWorker::TWorker(TControl &Control, int Id)
    : FControl(Control)
    , FId(Id)
{
    SetPhase(1.0);
}

void TWorker::SetPhase(double UpTo)
{
    UpTo = std::clamp(UpTo, 0.0, 1.0);
    FPhaseWork = FControl.WorkPerWorker() ? std::max<std::uint64_t>(
                     1, static_cast<std::uint64_t>(double(FControl.WorkPerWorker()) * UpTo))
                                          : 0;
    FPhaseEnd = FControl.Start()
        + std::chrono::duration_cast<TControl::TClock::duration>(
            std::chrono::duration<double, std::milli>(
                double(std::max(FControl.Milliseconds(), 0)) * UpTo));
    FPhaseOver = FRunOver;
    if (FPhaseWork && FWork >= FPhaseWork)
        FPhaseOver = true;
    Poll();
}

void TWorker::Poll()
{
    FNextPoll = FWork + 4096;
    if (OnPoll)
        OnPoll();
    if (FControl.TimeOrCancel())
        FRunOver = true;
    if (FControl.Milliseconds() > 0 && TControl::TClock::now() >= FPhaseEnd)
        FPhaseOver = true;
    if (FRunOver)
        FPhaseOver = true;
}

bool TWorker::Tick(std::uint64_t Units)
{
    FWork += Units;
    if (FControl.WorkPerWorker() && FWork >= FControl.WorkPerWorker())
        FRunOver = true;
    if (FPhaseWork && FWork >= FPhaseWork)
        FPhaseOver = true;
    if (FWork >= FNextPoll || FRunOver)
        Poll();
    return !Stopped();
}

// ---------------------------------------------------------------------------------------------
// Replaying moves

namespace {

struct TMove
{
    int Item = -1;
    std::int32_t Count = 1; // parts in the block
    std::uint8_t Type = Column;
    std::uint8_t Turned = 0; // part turned: Short along X
    std::uint8_t Row = 0;
    std::int16_t View = -1; // new sheet's view (Type Sheet)
};

struct THist
{
    int Parent;
    TMove Move;
};

std::uint64_t Mix(std::uint64_t X)
{
    X ^= X >> 31;
    X *= 0x7fb5d329728ea185ULL;
    X ^= X >> 27;
    X *= 0x81dadef4bc2dd44dULL;
    X ^= X >> 33;
    return X;
}

// Replays a list of moves into sheet layouts.
TSolution Replay(const TProblem &P, const std::vector<TView> &V, const std::vector<TMove> &Moves)
{
    TSolution S;
    TFront F;
    int View = -1;
    for (const TMove &M : Moves) {
        if (M.Type == Sheet) {
            View = M.View;
            F = TFront();
            TPattern Pt;
            Pt.Sheet = V[static_cast<std::size_t>(View)].Sheet;
            S.Patterns.push_back(Pt);
        }
        const TView &Vw = V[static_cast<std::size_t>(View)];
        const TItem &I = P.Items[static_cast<std::size_t>(M.Item)];
        const i64 w = (M.Turned ? I.Short : I.Long) + Vw.Kerf;
        const i64 h = (M.Turned ? I.Long : I.Short) + Vw.Kerf;
        TFront N;
        i64 X = 0, Y = 0;
        Insert(F, M.Type, w, h, M.Count, M.Row, Vw.WW, Vw.HH, N, X, Y);
        F = N;
        const TStrip St = MakeStrip(Vw, M.Item, X, Y, w, h, M.Count, M.Row);
        S.Patterns.back().Strips.push_back(St);
    }
    S.Evaluate(P);
    return S;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Beam search

namespace {

struct TNode
{
    TFront F;
    int View = -1;
    int Closed = 0; // sheets closed
    double ClosedValue = 0.0;
    double PlacedArea = 0.0; // raw
    i64 Parts = 0;
    i64 RemParts = 0;
    double RemArea = 0.0; // raw
    std::uint64_t Key = 0; // parts placed, as an order-independent sum
    int Hist = -1;
};

struct TCand
{
    double Guide;
    double Tie; // second key: larger mean part area first
    std::uint32_t Seq;
    std::uint32_t Node;
    TMove Move;
    bool operator<(const TCand &O) const
    {
        if (Guide != O.Guide)
            return Guide < O.Guide;
        if (Tie != O.Tie)
            return Tie < O.Tie;
        return Seq < O.Seq;
    }
};

class TBeam
{
public:
    TBeam(const TProblem &P, const TTask &Task, TWorker &W, const TBeamOptions &O)
        : FP(P)
        , FW(W)
        , FO(O)
        , FViews(Views(P, Task.SheetAllowed))
    {
        for (std::size_t j = 0; j < P.Items.size(); ++j) {
            if (Task.Counts[j] <= 0)
                continue;
            bool Fits = false;
            for (const TView &V : FViews)
                Fits = Fits || P.Fits(int(j), V.Sheet);
            if (!Fits)
                continue;
            FActive.push_back(int(j));
        }
        FN = FActive.size();
        // Sheets left of each kind ride along with the counts of the parts left where stock is
        // limited.
        for (const TView &V : FViews)
            FLimited = FLimited || Task.StockOf(P, static_cast<std::size_t>(V.Sheet)) >= 0;
        FStride = FLimited ? FN + P.Sheets.size() : FN;
        FRoot.Counts.assign(FStride, 0);
        std::uint64_t Z = 0x9e3779b97f4a7c15ULL;
        for (std::size_t a = 0; a < FN; ++a) {
            const TItem &I = P.Items[static_cast<std::size_t>(FActive[a])];
            const i64 C = std::min<i64>(Task.Counts[static_cast<std::size_t>(FActive[a])],
                std::numeric_limits<std::int32_t>::max());
            FRoot.Counts[a] = static_cast<std::int32_t>(C);
            FRoot.Node.RemParts += C;
            FRoot.Node.RemArea += double(C) * double(I.Long) * double(I.Short);
            Z = Mix(Z + a);
            FZobrist.push_back(Z);
        }
        if (FLimited) {
            for (std::size_t s = 0; s < P.Sheets.size(); ++s) {
                const i64 Stock = Task.StockOf(P, s);
                FRoot.Counts[FN + s] = static_cast<std::int32_t>(Stock < 0
                        ? std::numeric_limits<std::int32_t>::max()
                        : std::min<i64>(Stock, std::numeric_limits<std::int32_t>::max()));
                Z = Mix(Z + FN + s);
                FZobrist.push_back(Z);
            }
        }
        FUniformArea = P.Uniform && !P.Sheets.empty()
            ? double(P.Sheets.front().W) * double(P.Sheets.front().H)
            : 0.0;
    }

    bool Feasible() const { return !FViews.empty(); }

    TSolution Run(double Cutoff)
    {
        FCutoff = Cutoff;
        TSolution Best;
        double Width = double(std::max<std::uint64_t>(FO.FirstWidth, 1));
        while (!FW.Stopped() && !FDone) {
            const std::uint64_t Wd = static_cast<std::uint64_t>(Width);
            if (Wd > FO.MaxWidth)
                break;
            // Memory, kept to about 64 MB a search: two layers of nodes with their counts, the
            // candidates, and the history of as many layers as there are parts (at most).
            const double PerWidth = 2.0 * double(sizeof(TNode) + FStride * sizeof(std::int32_t))
                + 3.0 * sizeof(TCand)
                + double(std::min<i64>(FRoot.Node.RemParts, 100000)) * sizeof(THist);
            if (double(Wd) * PerWidth > 64e6)
                break;
            bool Stopped = false;
            for (std::size_t v = 0; v < FO.SiblingShares.size() && !Stopped && !FDone; ++v)
                Stopped
                    = !Pass(Wd, static_cast<std::size_t>(std::max(FO.SiblingShares[v], 0)), Best);
            if (Stopped)
                break;
            Width = std::max(Width * FO.Growth, Width + 1.0);
        }
        if (Best.Empty() && FO.Partial)
            return std::move(FPartial);
        return Best;
    }

private:
    struct TLayer
    {
        std::vector<TNode> Nodes;
        std::vector<std::int32_t> Counts; // FStride per node: parts left, then sheets left
    };
    struct TRoot
    {
        TNode Node;
        std::vector<std::int32_t> Counts;
    };

    double Guide(
        double ClosedValue, const TView &V, double Usable, double PlacedArea, i64 Parts) const
    {
        const double Sheet = double(V.WW) * double(V.HH);
        const double Used = Sheet - Usable;
        const double Cost = ClosedValue + Used / Sheet * V.Value;
        const double Placed = PlacedArea * FP.Density;
        double G = (Cost - Placed) / std::max(Placed, 1e-300);
        if (FO.Guide == TGuide::WastePerMeanArea)
            G /= PlacedArea / double(Parts);
        return G;
    }

    // Lower bound on the objective of any completion.
    double Bound(
        int Closed, double ClosedValue, const TView &V, double Usable, double RemArea) const
    {
        const double Over = std::max(0.0, RemArea - Usable);
        if (FUniformArea > 0.0) {
            const double More = Over > 0.0 ? std::ceil(Over / FUniformArea - 1e-9) : 0.0;
            return (double(Closed) + 1.0 + More) * V.Value;
        }
        return ClosedValue + V.Value + Over * FP.Density;
    }

    void Offer(const TCand &C, std::size_t Width)
    {
        if (FHeap.size() < Width) {
            FHeap.push_back(C);
            std::push_heap(FHeap.begin(), FHeap.end());
        } else if (C < FHeap.front()) {
            std::pop_heap(FHeap.begin(), FHeap.end());
            FHeap.back() = C;
            std::push_heap(FHeap.begin(), FHeap.end());
        }
    }

    // A child that places the last part: a complete layout.
    void Complete(const TNode &N, const TMove &M, double Value, TSolution &Best)
    {
        if (!Less(Value, FCutoff))
            return;
        std::vector<TMove> Moves { M };
        for (int h = N.Hist; h >= 0; h = FHist[static_cast<std::size_t>(h)].Parent)
            Moves.push_back(FHist[static_cast<std::size_t>(h)].Move);
        std::reverse(Moves.begin(), Moves.end());
        TSolution S = Replay(FP, FViews, Moves);
        if (!Less(S.Value, FCutoff))
            return;
        if (FO.SpreadAt > 0.0 && !Less(S.Value, FO.SpreadAt)) {
            // As good as the layout being replaced: keep the one that leaves sheets emptiest.
            const double Sp = Spread(FP, S);
            if (!Best.Empty() && Sp <= FBestSpread)
                return;
            FBestSpread = Sp;
            Best = std::move(S);
            return;
        }
        FCutoff = S.Value;
        Best = std::move(S);
        if (FO.OnImproved)
            FO.OnImproved(Best);
        if (!Less(FO.Floor, FCutoff))
            FDone = true;
    }

    // A node that nothing can follow while parts are left: stock ran out. Kept when it places
    // the most parts (then the most area) of such nodes so far.
    void DeadEnd(const TNode &N)
    {
        if (N.Hist < 0 || N.Parts < FPartial.Placed)
            return;
        std::vector<TMove> Moves;
        for (int h = N.Hist; h >= 0; h = FHist[static_cast<std::size_t>(h)].Parent)
            Moves.push_back(FHist[static_cast<std::size_t>(h)].Move);
        std::reverse(Moves.begin(), Moves.end());
        TSolution S = Replay(FP, FViews, Moves);
        if (FPartial.Empty() || S.Better(FPartial, FP))
            FPartial = std::move(S);
    }

    void Child(const TNode &N, std::uint32_t NodeIndex, const TView &V, int ViewIndex,
        const TFront &F, int Type, std::size_t a, bool Turned, i64 Count, bool Row, double PartArea,
        std::size_t Width, TSolution &Best)
    {
        ++FEvaluated;
        TMove M;
        M.Item = FActive[a];
        M.Count = static_cast<std::int32_t>(Count);
        M.Type = static_cast<std::uint8_t>(Type);
        M.Turned = Turned;
        M.Row = Row && Count > 1;
        M.View = static_cast<std::int16_t>(ViewIndex);
        const int Closed = Type == Sheet && N.View >= 0 ? N.Closed + 1 : N.Closed;
        const double ClosedValue = Type == Sheet && N.View >= 0
            ? N.ClosedValue + FViews[static_cast<std::size_t>(N.View)].Value
            : N.ClosedValue;
        const double Area = N.PlacedArea + PartArea * double(Count);
        if (FO.OneSheet && Type == Sheet && N.View >= 0)
            return;
        const i64 Rem = N.RemParts - Count;
        if (Rem == 0) {
            Complete(N, M, ClosedValue + V.Value, Best);
            return;
        }
        const double RemArea = N.RemArea - PartArea * double(Count);
        const double All = Usable(F, V.WW, V.HH, 0);
        // Corners too narrow for any part left count as waste for the bound (X3 and Y4 are the
        // corners nearest the sheet's far edges).
        const i64 Least = FMinSide + V.Kerf;
        const bool Narrow = V.WW - F.X3 < Least || V.HH - F.Y4 < Least;
        const double Open = Narrow ? Usable(F, V.WW, V.HH, Least) : All;
        if (!Less(Bound(Closed, ClosedValue, V, Open, RemArea), FCutoff))
            return;
        const double G = Guide(ClosedValue, V, All, Area, N.Parts + Count);
        Offer({ G, -Area / double(N.Parts + Count), FSeq++, NodeIndex, M }, Width);
    }

    // All children of node N (index NodeIndex in the layer) with counts C.
    void Expand(const TNode &N, std::uint32_t NodeIndex, const std::int32_t *C, std::size_t Width,
        TSolution &Best)
    {
        bool AnyFit = false;
        FMinSide = std::numeric_limits<std::int32_t>::max();
        for (std::size_t a = 0; a < FN; ++a)
            if (C[a] > 0)
                FMinSide = std::min(FMinSide, FP.Items[static_cast<std::size_t>(FActive[a])].Short);
        if (N.View >= 0) {
            const TView &V = FViews[static_cast<std::size_t>(N.View)];
            for (std::size_t a = 0; a < FN; ++a) {
                if (C[a] <= 0)
                    continue;
                const TItem &I = FP.Items[static_cast<std::size_t>(FActive[a])];
                const double PartArea = double(I.Long) * double(I.Short);
                for (int t = 0; t < (I.Long == I.Short ? 1 : 2); ++t) {
                    if (!MayLie(FP, V, FActive[a], t))
                        continue;
                    const i64 w = (t ? I.Short : I.Long) + V.Kerf;
                    const i64 h = (t ? I.Long : I.Short) + V.Kerf;
                    for (int Type = Stack; Type <= Column; ++Type) {
                        TFront F;
                        i64 X, Y;
                        if (!Insert(N.F, Type, w, h, 1, false, V.WW, V.HH, F, X, Y))
                            continue;
                        AnyFit = true;
                        Child(N, NodeIndex, V, N.View, F, Type, a, t, 1, false, PartArea, Width,
                            Best);
                        if (C[a] < 2)
                            continue;
                        // Blocks: a row across the free width, a stack down the free height
                        // (in the open slot only as far as the row already reaches).
                        if (Type != Stack) {
                            const i64 K = std::min<i64>(C[a], (V.WW - X) / w);
                            if (K >= 2 && Insert(N.F, Type, w, h, K, true, V.WW, V.HH, F, X, Y))
                                Child(N, NodeIndex, V, N.View, F, Type, a, t, K, true, PartArea,
                                    Width, Best);
                        }
                        const i64 Limit = (Type == Stack || Type == Slot) ? N.F.Y4 : V.HH;
                        const i64 K = std::min<i64>(C[a], (Limit - Y) / h);
                        if (K >= 2 && Insert(N.F, Type, w, h, K, false, V.WW, V.HH, F, X, Y))
                            Child(N, NodeIndex, V, N.View, F, Type, a, t, K, false, PartArea, Width,
                                Best);
                    }
                }
            }
        }
        if (AnyFit)
            return;
        // A new sheet only when nothing fits the open one, and only of a kind with sheets left.
        bool NewSheet = false;
        for (std::size_t v = 0; v < FViews.size(); ++v) {
            const TView &V = FViews[v];
            if (FLimited && C[FN + static_cast<std::size_t>(V.Sheet)] <= 0)
                continue;
            for (std::size_t a = 0; a < FN; ++a) {
                if (C[a] <= 0)
                    continue;
                const TItem &I = FP.Items[static_cast<std::size_t>(FActive[a])];
                const double PartArea = double(I.Long) * double(I.Short);
                for (int t = 0; t < (I.Long == I.Short ? 1 : 2); ++t) {
                    if (!MayLie(FP, V, FActive[a], t))
                        continue;
                    const i64 w = (t ? I.Short : I.Long) + V.Kerf;
                    const i64 h = (t ? I.Long : I.Short) + V.Kerf;
                    TFront F;
                    i64 X, Y;
                    if (!Insert(TFront(), Sheet, w, h, 1, false, V.WW, V.HH, F, X, Y))
                        continue;
                    NewSheet = true;
                    Child(N, NodeIndex, V, int(v), F, Sheet, a, t, 1, false, PartArea, Width, Best);
                    if (C[a] < 2)
                        continue;
                    i64 K = std::min<i64>(C[a], V.WW / w);
                    if (K >= 2 && Insert(TFront(), Sheet, w, h, K, true, V.WW, V.HH, F, X, Y))
                        Child(N, NodeIndex, V, int(v), F, Sheet, a, t, K, true, PartArea, Width,
                            Best);
                    K = std::min<i64>(C[a], V.HH / h);
                    if (K >= 2 && Insert(TFront(), Sheet, w, h, K, false, V.WW, V.HH, F, X, Y))
                        Child(N, NodeIndex, V, int(v), F, Sheet, a, t, K, false, PartArea, Width,
                            Best);
                }
            }
        }
        if (!NewSheet && FO.Partial)
            DeadEnd(N);
    }

    // One beam search of the given width, keeping at most Width / Share children of one node
    // (Share 0: no limit). False when the worker stopped during it.
    bool Pass(std::uint64_t Width, std::size_t Share, TSolution &Best)
    {
        // With a limit, more candidates are gathered so that the beam can still be filled.
        const std::size_t Gather = Share ? 3 * Width : Width;
        const std::size_t Siblings = Share ? std::max<std::size_t>(2, Width / Share) : Width;
        FHist.clear();
        TLayer Cur, Next;
        Cur.Nodes.push_back(FRoot.Node);
        Cur.Counts = FRoot.Counts;
        std::unordered_set<std::uint64_t> Seen;
        std::unordered_map<std::uint64_t, std::size_t> SetCount;
        while (!Cur.Nodes.empty() && !FDone) {
            FHeap.clear();
            FSeq = 0;
            for (std::size_t n = 0; n < Cur.Nodes.size(); ++n) {
                FEvaluated = 0;
                Expand(Cur.Nodes[n], static_cast<std::uint32_t>(n), Cur.Counts.data() + n * FStride,
                    Gather, Best);
                FSpent += FEvaluated + 1;
                if (!FW.Tick(FEvaluated + 1) || (FO.MaxWork && FSpent > FO.MaxWork))
                    return false;
                if (FDone)
                    return true;
            }
            // The kept children, best first.
            std::sort(FHeap.begin(), FHeap.end());
            Next.Nodes.clear();
            Next.Counts.clear();
            Seen.clear();
            SetCount.clear();
            FPerNode.assign(Cur.Nodes.size(), 0);
            std::size_t Kept = 0;
            for (const TCand &Cd : FHeap) {
                if (Kept >= Width)
                    break;
                if (FPerNode[Cd.Node] >= Siblings)
                    continue;
                const TNode &Pn = Cur.Nodes[Cd.Node];
                const TMove &M = Cd.Move;
                const int ViewIndex = M.Type == Sheet ? M.View : Pn.View;
                const TView &V = FViews[static_cast<std::size_t>(ViewIndex)];
                const TItem &I = FP.Items[static_cast<std::size_t>(M.Item)];
                const i64 w = (M.Turned ? I.Short : I.Long) + V.Kerf;
                const i64 h = (M.Turned ? I.Long : I.Short) + V.Kerf;
                TNode N = Pn;
                i64 X, Y;
                Insert(M.Type == Sheet ? TFront() : Pn.F, M.Type, w, h, M.Count, M.Row, V.WW, V.HH,
                    N.F, X, Y);
                if (M.Type == Sheet && Pn.View >= 0) {
                    N.Closed += 1;
                    N.ClosedValue += FViews[static_cast<std::size_t>(Pn.View)].Value;
                }
                N.View = ViewIndex;
                const std::size_t a = static_cast<std::size_t>(
                    std::lower_bound(FActive.begin(), FActive.end(), M.Item) - FActive.begin());
                const double PartArea = double(I.Long) * double(I.Short);
                N.PlacedArea += PartArea * M.Count;
                N.RemArea -= PartArea * M.Count;
                N.Parts += M.Count;
                N.RemParts -= M.Count;
                N.Key += FZobrist[a] * static_cast<std::uint64_t>(M.Count);
                if (FLimited && M.Type == Sheet)
                    N.Key += FZobrist[FN + static_cast<std::size_t>(V.Sheet)];
                const std::uint64_t Key = Mix(N.Key ^ Mix(std::uint64_t(N.F.X1) * 31 + N.F.X3)
                    ^ Mix(std::uint64_t(N.F.Y2) * 37 + N.F.Y4 + (std::uint64_t(N.View) << 40))
                    ^ Mix(std::uint64_t(N.F.XS) * 41 + N.F.SW + (std::uint64_t(N.F.YC) << 20)
                        + std::uint64_t(N.Closed) * 1000003));
                if (!Seen.insert(Key).second)
                    continue;
                if (FO.SameParts) {
                    // Nodes that placed the same parts differ only in how; the best few suffice.
                    const std::uint64_t G = Mix(
                        N.Key + std::uint64_t(N.View) * 7919 + std::uint64_t(N.Closed) * 104729);
                    if (++SetCount[G] > FO.SameParts)
                        continue;
                }
                FHist.push_back({ Pn.Hist, M });
                ++FPerNode[Cd.Node];
                ++Kept;
                N.Hist = static_cast<int>(FHist.size() - 1);
                Next.Nodes.push_back(N);
                const std::size_t Base = Next.Counts.size();
                Next.Counts.insert(Next.Counts.end(), Cur.Counts.begin() + Cd.Node * FStride,
                    Cur.Counts.begin() + (Cd.Node + 1) * FStride);
                Next.Counts[Base + a] -= M.Count;
                if (FLimited && M.Type == Sheet)
                    Next.Counts[Base + FN + static_cast<std::size_t>(V.Sheet)] -= 1;
            }
            std::swap(Cur, Next);
        }
        return true;
    }

    const TProblem &FP;
    TWorker &FW;
    TBeamOptions FO;
    std::vector<TView> FViews;
    std::vector<int> FActive; // items with parts to place, ascending
    std::size_t FN = 0;
    bool FLimited = false; // some sheet kind of the task has a stock
    std::size_t FStride = 0; // counts per node: FN, and with stock one per sheet kind
    TSolution FPartial; // with Partial: the best dead end so far
    TRoot FRoot;
    std::vector<std::uint64_t> FZobrist;
    double FUniformArea = 0.0;
    double FCutoff = 0.0;
    i64 FMinSide = 0; // least side of the parts left at the node being expanded
    double FBestSpread = 0.0;
    std::vector<std::size_t> FPerNode; // children of each node kept in the next layer
    bool FDone = false;
    std::vector<TCand> FHeap;
    std::uint32_t FSeq = 0;
    std::uint64_t FEvaluated = 0;
    std::uint64_t FSpent = 0;
    std::vector<THist> FHist;
};

} // namespace

TSolution BeamSearch(
    const TProblem &P, const TTask &Task, double Cutoff, TWorker &W, const TBeamOptions &Options)
{
    TBeam B(P, Task, W, Options);
    if (!B.Feasible())
        return TSolution();
    return B.Run(Cutoff);
}

} // namespace deep
