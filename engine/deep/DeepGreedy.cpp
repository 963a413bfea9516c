// Sheet-by-sheet layout for large jobs: each step fills one sheet of every promising kind from the
// parts still open, with a narrow beam over the parts that fit each corner of the front best,
// takes the sheet with the least value per placed area and cuts it as often as the open
// quantities allow.
#include "DeepSearch.h"

#include "DeepFront.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace deep {

namespace {

// One orientation of a part kind, sides without kerf; Turned: the short side along X.
struct TEntry
{
    i64 W, H;
    int Item;
    bool Turned;
};

// The open part kinds in both orientations, by height and by width (largest first), for finding
// the parts that fill a corner best without looking at every kind. Entries of used-up kinds are
// skipped through links to the next live entry.
class TIndex
{
public:
    void Build(const TProblem &P, const std::vector<i64> &Pool)
    {
        ByH.clear();
        for (std::size_t i = 0; i < P.Items.size(); ++i) {
            if (Pool[i] <= 0)
                continue;
            const TItem &I = P.Items[i];
            ByH.push_back({ I.Long, I.Short, int(i), false });
            if (I.Long != I.Short)
                ByH.push_back({ I.Short, I.Long, int(i), true });
        }
        ByW = ByH;
        std::sort(ByH.begin(), ByH.end(), [](const TEntry &A, const TEntry &B) {
            return A.H != B.H ? A.H > B.H : A.W != B.W ? A.W > B.W : A.Item < B.Item;
        });
        std::sort(ByW.begin(), ByW.end(), [](const TEntry &A, const TEntry &B) {
            return A.W != B.W ? A.W > B.W : A.H != B.H ? A.H > B.H : A.Item < B.Item;
        });
        Link(ByH, FNextH, FPosH, P.Items.size());
        Link(ByW, FNextW, FPosW, P.Items.size());
    }

    // The kind has no parts left: its entries are skipped from now on.
    void Kill(int Item)
    {
        for (const int p : FPosH[static_cast<std::size_t>(Item)])
            if (p >= 0)
                FNextH[static_cast<std::size_t>(p)] = p + 1;
        for (const int p : FPosW[static_cast<std::size_t>(Item)])
            if (p >= 0)
                FNextW[static_cast<std::size_t>(p)] = p + 1;
    }

    // The first live entry at or after position i of the list (its size when there is none).
    std::size_t Live(bool ByHeight, std::size_t i)
    {
        std::vector<int> &Next = ByHeight ? FNextH : FNextW;
        std::size_t r = i;
        while (static_cast<std::size_t>(Next[r]) != r)
            r = static_cast<std::size_t>(Next[r]);
        // Path compression.
        while (i != r) {
            const std::size_t n = static_cast<std::size_t>(Next[i]);
            Next[i] = static_cast<int>(r);
            i = n;
        }
        return r;
    }

    std::vector<TEntry> ByH, ByW;

private:
    static void Link(const std::vector<TEntry> &List, std::vector<int> &Next,
        std::vector<std::array<int, 2>> &Pos, std::size_t Items)
    {
        Next.resize(List.size() + 1);
        for (std::size_t i = 0; i <= List.size(); ++i)
            Next[i] = static_cast<int>(i);
        Pos.assign(Items, { -1, -1 });
        for (std::size_t i = 0; i < List.size(); ++i) {
            auto &P = Pos[static_cast<std::size_t>(List[i].Item)];
            (P[0] < 0 ? P[0] : P[1]) = static_cast<int>(i);
        }
    }

    std::vector<int> FNextH, FNextW;
    std::vector<std::array<int, 2>> FPosH, FPosW;
};

struct TUse
{
    int Item;
    i64 Count;
};

// A partial sheet of the fill beam.
struct TFillNode
{
    TFront F;
    double Placed = 0.0; // raw part area
    i64 Parts = 0;
    int Hist = -1;
    std::vector<TUse> Used;
};

struct TFillMove
{
    int Parent; // history index
    int Item;
    i64 Count;
    std::uint8_t Type;
    std::uint8_t Row;
    i64 W, H; // grown, as placed
};

struct TFillCand
{
    double Guide;
    double Tie;
    std::uint32_t Seq;
    std::uint32_t Node;
    TFillMove Move;
    bool operator<(const TFillCand &O) const
    {
        if (Guide != O.Guide)
            return Guide < O.Guide;
        if (Tie != O.Tie)
            return Tie < O.Tie;
        return Seq < O.Seq;
    }
};

struct TFill
{
    TPattern Pattern;
    std::vector<TUse> Used;
    double Placed = 0.0;
    int Hist = -1; // the beam's last move
};

class TFiller
{
public:
    TFiller(const TProblem &P, const std::vector<i64> &Pool, TIndex &Index, TWorker &W,
        const TGreedyOptions &O)
        : FP(P)
        , FPool(Pool)
        , FIndex(Index)
        , FW(W)
        , FO(O)
    { }

    TFill Fill(const TView &V)
    {
        FV = &V;
        FHist.clear();
        FMinSide = 1;
        TFill Best;
        std::vector<TFillNode> Cur(1), Next;
        const std::size_t Width = static_cast<std::size_t>(std::max(FO.Width, 1));
        int Moves = 0;
        while (!Cur.empty()) {
            FHeap.clear();
            FSeq = 0;
            for (std::size_t n = 0; n < Cur.size(); ++n) {
                FFound = false;
                Expand(Cur[n], static_cast<std::uint32_t>(n), Width);
                if (!FFound && Cur[n].Placed > Best.Placed)
                    Finish(Cur[n], Best);
            }
            FW.Tick(FSpent + 1);
            FSpent = 0;
            // A cap that only absurd input reaches (parts a thousandth of the sheet, say).
            if (++Moves > 20000) {
                for (const TFillNode &N : Cur)
                    if (N.Placed > Best.Placed)
                        Finish(N, Best);
                break;
            }
            std::sort(FHeap.begin(), FHeap.end());
            Next.clear();
            for (const TFillCand &C : FHeap) {
                const TFillNode &Pn = Cur[C.Node];
                TFillNode N;
                i64 X, Y;
                Insert(Pn.F, C.Move.Type, C.Move.W, C.Move.H, C.Move.Count, C.Move.Row, V.WW, V.HH,
                    N.F, X, Y);
                const TItem &I = FP.Items[static_cast<std::size_t>(C.Move.Item)];
                N.Placed = Pn.Placed + double(I.Long) * double(I.Short) * double(C.Move.Count);
                N.Parts = Pn.Parts + C.Move.Count;
                N.Used = Pn.Used;
                bool Found = false;
                for (TUse &U : N.Used)
                    if (U.Item == C.Move.Item) {
                        U.Count += C.Move.Count;
                        Found = true;
                    }
                if (!Found)
                    N.Used.push_back({ C.Move.Item, C.Move.Count });
                TFillMove M = C.Move;
                M.Parent = Pn.Hist;
                FHist.push_back(M);
                N.Hist = static_cast<int>(FHist.size() - 1);
                Next.push_back(std::move(N));
            }
            std::swap(Cur, Next);
        }
        if (Best.Hist >= 0)
            FillHoles(Best);
        return Best;
    }

private:
    // The room that the beam's layout leaves closed behind it: below the parts of every slot,
    // beside the last slot of every row, below the last row of every column, and beside the last
    // column. The beam only places at the open end of the sheet; here the parts still open fill
    // that room, slot, row and column as they are, so the layout keeps its four stages.
    void FillHoles(TFill &Fl)
    {
        const TView &V = *FV;
        struct TSlotR // Count slots of one width side by side, from XS
        {
            i64 XS, SW, YC;
            std::size_t Row;
            i64 Count = 1;
        };
        struct TRowR
        {
            i64 Y2, Y4 = 0, End = 0;
            std::size_t Col;
        };
        struct TColR
        {
            i64 X1, X3 = 0, Bottom = 0;
        };
        std::vector<TSlotR> Slots;
        std::vector<TRowR> Rows;
        std::vector<TColR> Cols;
        std::vector<const TFillMove *> Moves;
        for (int h = Fl.Hist; h >= 0; h = FHist[static_cast<std::size_t>(h)].Parent)
            Moves.push_back(&FHist[static_cast<std::size_t>(h)]);
        std::reverse(Moves.begin(), Moves.end());
        TFront F;
        for (const TFillMove *M : Moves) {
            TFront Nf;
            i64 X, Y;
            Insert(F, M->Type, M->W, M->H, M->Count, M->Row, V.WW, V.HH, Nf, X, Y);
            if (M->Type == Sheet || M->Type == Column)
                Cols.push_back({ X });
            if (M->Type == Sheet || M->Type == Column || M->Type == NewRow)
                Rows.push_back({ Y, 0, 0, Cols.size() - 1 });
            if (M->Type == Stack) {
                // Parts are stacked in the last slot of a row of them.
                if (Slots.back().Count > 1) {
                    TSlotR Last = Slots.back();
                    Last.XS += (Last.Count - 1) * Last.SW;
                    Last.Count = 1;
                    --Slots.back().Count;
                    Slots.push_back(Last);
                }
                TSlotR &S = Slots.back();
                S.SW = std::max(S.SW, M->W);
                S.YC = Y + M->H * M->Count;
            } else if (M->Row) {
                Slots.push_back({ X, M->W, Y + M->H, Rows.size() - 1, M->Count });
            } else {
                Slots.push_back({ X, M->W, Y + M->H * M->Count, Rows.size() - 1 });
            }
            F = Nf;
        }
        for (const TSlotR &S : Slots) {
            TRowR &R = Rows[S.Row];
            R.Y4 = std::max(R.Y4, S.YC);
            R.End = std::max(R.End, S.XS + S.SW * S.Count);
        }
        for (const TRowR &R : Rows) {
            TColR &C = Cols[R.Col];
            C.X3 = std::max(C.X3, R.End);
            C.Bottom = std::max(C.Bottom, R.Y4);
        }
        if (!Room(Fl))
            return;
        // Slots of a row of parts are alike: once nothing fits under one, nothing fits under
        // the next.
        for (const TSlotR &S : Slots)
            for (i64 j = 0; j < S.Count && Room(Fl); ++j)
                if (!StackIn(Fl, S.XS + j * S.SW, S.YC, S.SW, Rows[S.Row].Y4 - S.YC))
                    break;
        for (const TRowR &R : Rows)
            SlotsIn(Fl, R.End, R.Y2, Cols[R.Col].X3 - R.End, R.Y4 - R.Y2);
        for (const TColR &C : Cols)
            RowsIn(Fl, C.X1, C.Bottom, C.X3 - C.X1, V.HH - C.Bottom);
        if (!Cols.empty())
            ColumnsIn(Fl, Cols.back().X3, V.WW - Cols.back().X3, V.HH);
    }

    // Parts still open after the fill so far.
    i64 Left(const TFill &Fl, int Item) const
    {
        i64 L = FPool[static_cast<std::size_t>(Item)];
        for (const TUse &U : Fl.Used)
            if (U.Item == Item)
                L -= U.Count;
        return L;
    }

    // The first open entry of List (by First descending) with First <= L1 and Second <= L2, both
    // grown by the kerf; false when there is none among the first few looked at.
    bool Pick(const TFill &Fl, bool ByHeight, i64 L1, i64 L2, TEntry &Out) const
    {
        const i64 k = FV->Kerf;
        const std::vector<TEntry> &List = ByHeight ? FIndex.ByH : FIndex.ByW;
        if (L1 - k < FMinSide || L2 - k < FMinSide)
            return false;
        auto It = std::lower_bound(List.begin(), List.end(), L1 - k,
            [ByHeight](const TEntry &E, i64 L) { return (ByHeight ? E.H : E.W) > L; });
        std::size_t Looked = 0;
        bool Found = false;
        double BestArea = 0;
        for (std::size_t i = FIndex.Live(ByHeight, std::size_t(It - List.begin()));
             i < List.size() && Looked < 64; i = FIndex.Live(ByHeight, i + 1), ++Looked) {
            const TEntry &E = List[i];
            if ((ByHeight ? E.W : E.H) + k > L2 || Left(Fl, E.Item) <= 0
                || !MayLie(FP, *FV, E.Item, E.Turned))
                continue;
            const double A = double(E.W) * double(E.H);
            if (A > BestArea) {
                BestArea = A;
                Out = E;
                Found = true;
            }
        }
        return Found;
    }

    // Absurd input (parts a millionth of the sheet) would otherwise fill one sheet with
    // millions of strips.
    static bool Room(const TFill &Fl) { return Fl.Pattern.Strips.size() < 20000; }

    void Place(TFill &Fl, const TEntry &E, i64 X, i64 Y, i64 Count, bool Row)
    {
        const i64 k = FV->Kerf;
        Fl.Pattern.Strips.push_back(MakeStrip(*FV, E.Item, X, Y, E.W + k, E.H + k, Count, Row));
        Fl.Placed += double(E.W) * double(E.H) * double(Count);
        for (TUse &U : Fl.Used)
            if (U.Item == E.Item) {
                U.Count += Count;
                return;
            }
        Fl.Used.push_back({ E.Item, Count });
    }

    // Parts stacked in a slot of width W from (X, Y) down H: the widest that fit first. Returns
    // whether any was placed.
    bool StackIn(TFill &Fl, i64 X, i64 Y, i64 W, i64 H)
    {
        const std::size_t Before = Fl.Pattern.Strips.size();
        TEntry E;
        while (H > 0 && Room(Fl) && Pick(Fl, false, W, H, E)) {
            const i64 h = E.H + FV->Kerf;
            const i64 K = std::min(Left(Fl, E.Item), H / h);
            Place(Fl, E, X, Y, K, false);
            Y += K * h;
            H -= K * h;
        }
        return Fl.Pattern.Strips.size() > Before;
    }

    // New slots in a row from (X, Y), W across and H high: the tallest part that fits opens each,
    // with parts stacked under it.
    void SlotsIn(TFill &Fl, i64 X, i64 Y, i64 W, i64 H)
    {
        TEntry E;
        while (W > 0 && Room(Fl) && Pick(Fl, true, H, W, E)) {
            const i64 w = E.W + FV->Kerf, h = E.H + FV->Kerf;
            Place(Fl, E, X, Y, 1, true);
            StackIn(Fl, X, Y + h, w, H - h);
            X += w;
            W -= w;
        }
    }

    // New rows in a column from (X, Y), W wide and H down: the tallest part that fits opens
    // each row.
    void RowsIn(TFill &Fl, i64 X, i64 Y, i64 W, i64 H)
    {
        TEntry E;
        while (H > 0 && Room(Fl) && Pick(Fl, true, H, W, E)) {
            const i64 h = E.H + FV->Kerf;
            SlotsIn(Fl, X, Y, W, h);
            Y += h;
            H -= h;
        }
    }

    // New columns from X, W across the whole height H: the widest part that fits opens each.
    void ColumnsIn(TFill &Fl, i64 X, i64 W, i64 H)
    {
        TEntry E;
        while (W > 0 && Room(Fl) && Pick(Fl, false, W, H, E)) {
            const i64 w = E.W + FV->Kerf;
            RowsIn(Fl, X, 0, w, H);
            X += w;
            W -= w;
        }
    }

    i64 Open(const TFillNode &N, int Item) const
    {
        i64 Left = FPool[static_cast<std::size_t>(Item)];
        for (const TUse &U : N.Used)
            if (U.Item == Item)
                Left -= U.Count;
        return Left;
    }

    void Finish(const TFillNode &N, TFill &Best) const
    {
        Best = TFill();
        Best.Placed = N.Placed;
        Best.Used = N.Used;
        Best.Hist = N.Hist;
        Best.Pattern.Sheet = FV->Sheet;
        std::vector<const TFillMove *> Moves;
        for (int h = N.Hist; h >= 0; h = FHist[static_cast<std::size_t>(h)].Parent)
            Moves.push_back(&FHist[static_cast<std::size_t>(h)]);
        std::reverse(Moves.begin(), Moves.end());
        TFront F;
        for (const TFillMove *M : Moves) {
            TFront Nf;
            i64 X, Y;
            Insert(F, M->Type, M->W, M->H, M->Count, M->Row, FV->WW, FV->HH, Nf, X, Y);
            F = Nf;
            Best.Pattern.Strips.push_back(
                MakeStrip(*FV, M->Item, X, Y, M->W, M->H, M->Count, M->Row));
        }
    }

    void Offer(const TFillCand &C, std::size_t Width)
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

    void Child(const TFillNode &N, std::uint32_t NodeIndex, int Type, const TEntry &E, i64 Left,
        std::size_t Width)
    {
        const TView &V = *FV;
        const i64 w = E.W + V.Kerf, h = E.H + V.Kerf;
        TFront F;
        i64 X, Y;
        if (!Insert(N.F, Type, w, h, 1, false, V.WW, V.HH, F, X, Y))
            return;
        FFound = true;
        const double PartArea = double(E.W) * double(E.H);
        auto Add = [&](const TFront &Fr, i64 Count, bool Row) {
            ++FSpent;
            const double Placed = N.Placed + PartArea * double(Count);
            const double Sheet = double(V.WW) * double(V.HH);
            const double Used = Sheet - Usable(Fr, V.WW, V.HH, 0);
            const double G = (Used / Sheet * V.RawArea - Placed) / Placed;
            const double Mean = Placed / double(N.Parts + Count);
            Offer({ G, -Mean, FSeq++, NodeIndex,
                      { -1, E.Item, Count, static_cast<std::uint8_t>(Type),
                          static_cast<std::uint8_t>(Row && Count > 1), w, h } },
                Width);
        };
        Add(F, 1, false);
        if (Left < 2)
            return;
        if (Type != Stack) {
            const i64 K = std::min<i64>(Left, (V.WW - X) / w);
            if (K >= 2 && Insert(N.F, Type, w, h, K, true, V.WW, V.HH, F, X, Y))
                Add(F, K, true);
        }
        const i64 Limit = (Type == Stack || Type == Slot) ? N.F.Y4 : V.HH;
        const i64 K = std::min<i64>(Left, (Limit - Y) / h);
        if (K >= 2 && Insert(N.F, Type, w, h, K, false, V.WW, V.HH, F, X, Y))
            Add(F, K, false);
    }

    // Up to K open entries of List (sorted by First descending) with First <= L1 and
    // Second <= L2; Row says whether First is the height.
    void Query(const TFillNode &N, std::uint32_t NodeIndex, int Type,
        const std::vector<TEntry> &List, bool ByHeight, i64 L1, i64 L2, std::size_t K,
        std::size_t Width)
    {
        if (L1 < FMinSide || L2 < FMinSide)
            return;
        auto It = std::lower_bound(List.begin(), List.end(), L1,
            [ByHeight](const TEntry &E, i64 L) { return (ByHeight ? E.H : E.W) > L; });
        std::size_t Taken = 0, Looked = 0;
        const std::size_t MaxLook = 8 * K + 64;
        for (std::size_t i = FIndex.Live(ByHeight, std::size_t(It - List.begin()));
             i < List.size() && Taken < K && Looked < MaxLook;
             i = FIndex.Live(ByHeight, i + 1), ++Looked) {
            const TEntry &E = List[i];
            if ((ByHeight ? E.W : E.H) > L2 || !MayLie(FP, *FV, E.Item, E.Turned))
                continue;
            const i64 Left = Open(N, E.Item);
            if (Left <= 0)
                continue;
            ++Taken;
            Child(N, NodeIndex, Type, E, Left, Width);
        }
    }

    void Expand(const TFillNode &N, std::uint32_t NodeIndex, std::size_t Width)
    {
        const TView &V = *FV;
        const TFront &F = N.F;
        const i64 k = V.Kerf;
        const std::size_t K = static_cast<std::size_t>(std::max(FO.Candidates, 1));
        if (F.SW > 0) {
            // Under the last part of the open slot, within the row.
            Query(N, NodeIndex, Stack, FIndex.ByW, false, F.SW - k, F.Y4 - F.YC - k, K, Width);
            Query(N, NodeIndex, Stack, FIndex.ByH, true, F.Y4 - F.YC - k, F.SW - k, K, Width);
            // A new slot: within the row's height, or a little taller.
            const i64 RoomW = V.WW - F.XS - F.SW - k;
            Query(N, NodeIndex, Slot, FIndex.ByH, true, F.Y4 - F.Y2 - k, RoomW, K, Width);
            Query(N, NodeIndex, Slot, FIndex.ByW, false, RoomW, F.Y4 - F.Y2 - k, K, Width);
            Query(N, NodeIndex, Slot, FIndex.ByH, true, V.HH - F.Y2 - k, RoomW, 2, Width);
        }
        if (F.X3 > F.X1) {
            const i64 RoomH = V.HH - F.Y4 - k;
            Query(N, NodeIndex, NewRow, FIndex.ByW, false, F.X3 - F.X1 - k, RoomH, K, Width);
            Query(N, NodeIndex, NewRow, FIndex.ByH, true, RoomH, F.X3 - F.X1 - k, K, Width);
            Query(N, NodeIndex, NewRow, FIndex.ByW, false, V.WW - F.X1 - k, RoomH, 2, Width);
        }
        const i64 RoomW = V.WW - F.X3 - k;
        Query(N, NodeIndex, Column, FIndex.ByW, false, RoomW, V.HH - k, K, Width);
        Query(N, NodeIndex, Column, FIndex.ByH, true, V.HH - k, RoomW, K, Width);
    }

    const TProblem &FP;
    const std::vector<i64> &FPool;
    TIndex &FIndex;
    TWorker &FW;
    TGreedyOptions FO;
    const TView *FV = nullptr;
    i64 FMinSide = 0;
    std::vector<TFillMove> FHist;
    std::vector<TFillCand> FHeap;
    std::uint32_t FSeq = 0;
    std::uint64_t FSpent = 0;
    bool FFound = false;
};

} // namespace

TSolution SheetBySheet(
    const TProblem &P, const TTask &Task, TWorker &W, const TGreedyOptions &Options)
{
    TSolution Out;
    const std::vector<TView> V = Views(P, Task.SheetAllowed);
    std::vector<i64> Pool(P.Items.size(), 0);
    i64 Open = 0;
    for (std::size_t i = 0; i < P.Items.size(); ++i) {
        bool Fits = false;
        for (const TView &Vw : V)
            Fits = Fits || P.Fits(int(i), Vw.Sheet);
        if (Fits && Task.Counts[i] > 0) {
            Pool[i] = Task.Counts[i];
            Open += Pool[i];
        }
    }
    if (V.empty() || Open == 0) {
        Out.Evaluate(P);
        return Out;
    }
    // Sheets left per sheet kind (-1: any number).
    std::vector<i64> Stock(P.Sheets.size());
    for (std::size_t s = 0; s < P.Sheets.size(); ++s)
        Stock[s] = Task.StockOf(P, s);
    auto InStock
        = [&Stock, &V](std::size_t v) { return Stock[static_cast<std::size_t>(V[v].Sheet)] != 0; };
    TIndex Index;
    Index.Build(P, Pool);
    TFiller Filler(P, Pool, Index, W, Options);

    // Sheet kinds in turn are all tried in the first steps and every so often; in between only
    // the few that did best.
    std::vector<double> ScoreSum(V.size(), 0.0);
    std::vector<int> ScoreCount(V.size(), 0);
    std::vector<std::size_t> Short;
    std::size_t Step = 0;
    while (Open > 0 && !W.Stopped()) {
        const bool All = Step < 24 || Step % 32 == 0 || Short.empty();
        std::vector<std::size_t> Try;
        if (All) {
            Try.resize(V.size());
            std::iota(Try.begin(), Try.end(), std::size_t(0));
        } else {
            Try = Short;
        }
        Try.erase(
            std::remove_if(Try.begin(), Try.end(), [&](std::size_t v) { return !InStock(v); }),
            Try.end());
        if (Try.empty())
            break; // no sheet left of any kind: the parts still open stay so
        TFill Best;
        double BestScore = std::numeric_limits<double>::infinity();
        for (const std::size_t v : Try) {
            TFill F = Filler.Fill(V[v]);
            if (F.Placed <= 0.0)
                continue;
            const double Score = V[v].Value / (F.Placed * std::max(P.Density, 1e-300));
            if (All) {
                ScoreSum[v] += Score;
                ScoreCount[v] += 1;
            }
            if (Score < BestScore || (Score == BestScore && F.Placed > Best.Placed)) {
                BestScore = Score;
                Best = std::move(F);
            }
        }
        if (All) {
            // The shortlist: the four views with the best mean score so far.
            std::vector<std::size_t> Order;
            for (std::size_t v = 0; v < V.size(); ++v)
                if (ScoreCount[v] > 0)
                    Order.push_back(v);
            std::sort(Order.begin(), Order.end(), [&](std::size_t A, std::size_t B) {
                const double SA = ScoreSum[A] / ScoreCount[A], SB = ScoreSum[B] / ScoreCount[B];
                return SA < SB || (SA == SB && A < B);
            });
            Order.resize(std::min<std::size_t>(Order.size(), 4));
            Short = Order;
        }
        if (Best.Used.empty()) {
            // The index search found nothing (it looks at a limited number of entries): one part
            // that fits, on the sheet kind of least value.
            for (std::size_t i = 0; i < P.Items.size() && Best.Used.empty(); ++i) {
                if (Pool[i] <= 0)
                    continue;
                const TItem &I = P.Items[i];
                for (std::size_t v = 0; v < V.size(); ++v) {
                    const TView &Vw = V[v];
                    // The long side along X where its grain allows, else across.
                    const bool Turned = !MayLie(P, Vw, int(i), false);
                    const i64 w = Turned ? I.Short : I.Long, h = Turned ? I.Long : I.Short;
                    if (!InStock(v) || !MayLie(P, Vw, int(i), Turned) || w > Vw.WW - Vw.Kerf
                        || h > Vw.HH - Vw.Kerf)
                        continue;
                    if (!Best.Used.empty()
                        && !(Vw.Value < P.Sheets[std::size_t(Best.Pattern.Sheet)].Value))
                        continue;
                    Best = TFill();
                    Best.Used.push_back({ int(i), 1 });
                    Best.Pattern.Sheet = Vw.Sheet;
                    Best.Pattern.Strips.push_back(
                        MakeStrip(Vw, int(i), 0, 0, w + Vw.Kerf, h + Vw.Kerf, 1, true));
                }
            }
            if (Best.Used.empty())
                break;
        }
        i64 Repeat = std::numeric_limits<i64>::max();
        for (const TUse &U : Best.Used)
            Repeat = std::min(Repeat, Pool[static_cast<std::size_t>(U.Item)] / U.Count);
        Repeat = std::max<i64>(Repeat, 1);
        if (i64 &Left = Stock[static_cast<std::size_t>(Best.Pattern.Sheet)]; Left >= 0) {
            Repeat = std::min(Repeat, Left);
            Left -= Repeat;
        }
        for (const TUse &U : Best.Used) {
            i64 &Left = Pool[static_cast<std::size_t>(U.Item)];
            Left -= U.Count * Repeat;
            Open -= U.Count * Repeat;
            if (Left <= 0)
                Index.Kill(U.Item);
        }
        Best.Pattern.Repeat = Repeat;
        Out.Patterns.push_back(std::move(Best.Pattern));
        ++Step;
    }
    Out.Evaluate(P);
    return Out;
}

} // namespace deep
