#include "CutPlan.h"

#include "TypeSetClass.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <unordered_map>

namespace {

using i64 = std::int64_t;

// A piece of the sheet still to be cut: [X0, X1) x [Y0, Y1) and the parts lying in it.
struct TPiece
{
    i64 X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    std::vector<int> Parts;
    int Stage = 1;
    bool Vertical = false; // the direction tried first for its cuts
};

struct TBuild
{
    const std::vector<TCutPart> &Parts;
    i64 Kerf;
    bool RipIsVertical; // the sheet's length runs along y
    std::vector<TCut> Cuts;
    std::vector<TOffcut> Offcuts;
    int Stages = 0;
};

int ToInt(i64 V)
{
    return static_cast<int>(
        std::clamp<i64>(V, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The part's extent along the axis a cut of the given direction crosses.
i64 Lo(const TCutPart &P, bool Vertical)
{
    return Vertical ? P.X : P.Y;
}

i64 Hi(const TCutPart &P, bool Vertical)
{
    return Vertical ? i64(P.X) + P.Width : i64(P.Y) + P.Height;
}

// A run of parts along the axis that no cut of kerf width can pass between.
struct TCluster
{
    i64 Lo = 0, Hi = 0;
    std::vector<int> Parts;
};

std::vector<TCluster> Clusters(const TPiece &Piece, bool Vertical, const TBuild &B)
{
    std::vector<int> Order = Piece.Parts;
    std::sort(Order.begin(), Order.end(), [&](int a, int b) {
        const i64 la = Lo(B.Parts[std::size_t(a)], Vertical);
        const i64 lb = Lo(B.Parts[std::size_t(b)], Vertical);
        return la != lb ? la < lb : a < b;
    });
    std::vector<TCluster> Out;
    for (const int i : Order) {
        const TCutPart &P = B.Parts[std::size_t(i)];
        const i64 L = Lo(P, Vertical), H = Hi(P, Vertical);
        // A kerf fits between the run so far and this part when the gap is at least a kerf
        // wide (with kerf 0: when they do not overlap).
        if (Out.empty() || L >= Out.back().Hi + B.Kerf) {
            Out.push_back({ L, H, { i } });
            continue;
        }
        TCluster &C = Out.back();
        C.Hi = std::max(C.Hi, H);
        C.Parts.push_back(i);
    }
    return Out;
}

// Cuts Piece with cuts of one direction: every cut that passes between parts and every trim cut
// that takes waste off its sides. Pieces with parts go to Queue; pieces without are offcuts.
// Returns false (and adds nothing) when no such cut exists.
bool Split(const TPiece &Piece, bool Vertical, TBuild &B, std::deque<TPiece> &Queue)
{
    const i64 A0 = Vertical ? Piece.X0 : Piece.Y0;
    const i64 A1 = Vertical ? Piece.X1 : Piece.Y1;
    const std::vector<TCluster> Runs = Clusters(Piece, Vertical, B);
    if (Runs.size() == 1 && Runs.front().Lo <= A0 && Runs.front().Hi >= A1)
        return false;

    const i64 K = B.Kerf;
    const i64 Across0 = Vertical ? Piece.Y0 : Piece.X0;
    const i64 Across1 = Vertical ? Piece.Y1 : Piece.X1;
    const auto Cut = [&](i64 At, i64 PieceStart) {
        TCut C;
        C.Stage = Piece.Stage;
        C.Vertical = Vertical;
        C.Direction = Vertical == B.RipIsVertical ? TCutDirection::Rip : TCutDirection::Cross;
        C.X1 = ToInt(Vertical ? At : Across0);
        C.Y1 = ToInt(Vertical ? Across0 : At);
        C.X2 = ToInt(Vertical ? At : Across1);
        C.Y2 = ToInt(Vertical ? Across1 : At);
        C.Position = ToInt(std::max<i64>(0, At - PieceStart));
        C.Length = ToInt(Across1 - Across0);
        C.Number = static_cast<int>(B.Cuts.size()) + 1;
        B.Cuts.push_back(C);
        B.Stages = std::max(B.Stages, Piece.Stage);
    };
    const auto Waste = [&](i64 From, i64 To) {
        if (To <= From || Across1 <= Across0)
            return;
        TOffcut O;
        O.X = ToInt(Vertical ? From : Across0);
        O.Y = ToInt(Vertical ? Across0 : From);
        O.Width = ToInt(Vertical ? To - From : Across1 - Across0);
        O.Height = ToInt(Vertical ? Across1 - Across0 : To - From);
        B.Offcuts.push_back(O);
    };

    // From the reference edge on: waste before a run comes off with a cut whose kerf ends where
    // the run begins; the run comes off with a cut where it ends, unless the piece ends there.
    i64 Cur = A0;
    for (const TCluster &R : Runs) {
        if (R.Lo > Cur) {
            const i64 At = R.Lo - K;
            Waste(Cur, At);
            Cut(At, Cur);
            Cur = R.Lo;
        }
        TPiece Child;
        Child.X0 = Vertical ? R.Lo : Piece.X0;
        Child.X1 = Vertical ? R.Hi : Piece.X1;
        Child.Y0 = Vertical ? Piece.Y0 : R.Lo;
        Child.Y1 = Vertical ? Piece.Y1 : R.Hi;
        Child.Parts = R.Parts;
        Child.Stage = Piece.Stage + 1;
        Child.Vertical = !Vertical;
        Queue.push_back(std::move(Child));
        if (R.Hi < A1) {
            Cut(R.Hi, Cur);
            Cur = R.Hi + K;
        } else {
            Cur = A1;
        }
    }
    Waste(Cur, A1);
    return true;
}

bool IsWholePart(const TPiece &P, const TBuild &B)
{
    if (P.Parts.size() != 1)
        return false;
    const TCutPart &Q = B.Parts[std::size_t(P.Parts.front())];
    return Q.X == P.X0 && Q.Y == P.Y0 && i64(Q.X) + Q.Width == P.X1 && i64(Q.Y) + Q.Height == P.Y1;
}

// The whole plan with the first cuts in the given direction (the other when none exists).
bool Build(TBuild &B, i64 W, i64 H, bool FirstVertical)
{
    std::deque<TPiece> Queue;
    TPiece Sheet;
    Sheet.X1 = W;
    Sheet.Y1 = H;
    Sheet.Vertical = FirstVertical;
    Sheet.Parts.resize(B.Parts.size());
    for (std::size_t i = 0; i < B.Parts.size(); ++i)
        Sheet.Parts[i] = static_cast<int>(i);
    if (Sheet.Parts.empty()) {
        B.Offcuts.push_back({ 0, 0, ToInt(W), ToInt(H), false });
        return true;
    }
    Queue.push_back(std::move(Sheet));
    while (!Queue.empty()) {
        const TPiece P = std::move(Queue.front());
        Queue.pop_front();
        if (IsWholePart(P, B))
            continue;
        if (!Split(P, P.Vertical, B, Queue) && !Split(P, !P.Vertical, B, Queue))
            return false; // parts that no straight cut separates
    }
    return true;
}

} // namespace

bool TOffcutRule::Keeps(int Width, int Height) const
{
    const int Long = std::max(Width, Height), Short = std::min(Width, Height);
    return Short > 0 && Long >= MinLength && Short >= MinWidth;
}

int TCutPlan::KeptOffcuts() const
{
    return static_cast<int>(
        std::count_if(Offcuts.begin(), Offcuts.end(), [](const TOffcut &O) { return O.Kept; }));
}

TCutPlan MakeCutPlan(int SheetWidth, int SheetHeight, int Kerf, const std::vector<TCutPart> &Parts,
    const TOffcutRule &Rule)
{
    TCutPlan Plan;
    Plan.SheetWidth = SheetWidth;
    Plan.SheetHeight = SheetHeight;
    Plan.Kerf = Kerf;
    if (SheetWidth <= 0 || SheetHeight <= 0 || Kerf < 0)
        return Plan;
    for (const TCutPart &P : Parts)
        if (P.Width <= 0 || P.Height <= 0 || P.X < 0 || P.Y < 0 || i64(P.X) + P.Width > SheetWidth
            || i64(P.Y) + P.Height > SheetHeight)
            return Plan;

    const bool RipIsVertical = SheetHeight > SheetWidth;
    TBuild Best { Parts, Kerf, RipIsVertical, {}, {}, 0 };
    bool Found = false;
    for (const bool FirstVertical : { RipIsVertical, !RipIsVertical }) {
        TBuild B { Parts, Kerf, RipIsVertical, {}, {}, 0 };
        if (!Build(B, SheetWidth, SheetHeight, FirstVertical))
            continue;
        if (!Found || B.Stages < Best.Stages
            || (B.Stages == Best.Stages && B.Cuts.size() < Best.Cuts.size())) {
            Best.Cuts = std::move(B.Cuts);
            Best.Offcuts = std::move(B.Offcuts);
            Best.Stages = B.Stages;
            Found = true;
        }
    }
    if (!Found)
        return Plan;
    Plan.Cuttable = true;
    Plan.Stages = Best.Stages;
    Plan.Cuts = std::move(Best.Cuts);
    Plan.Offcuts = std::move(Best.Offcuts);
    for (TOffcut &O : Plan.Offcuts)
        O.Kept = Rule.Keeps(O.Width, O.Height);
    return Plan;
}

TCutPlan MakeTrimmedCutPlan(int SheetWidth, int SheetHeight, int Trim, int Kerf,
    const std::vector<TCutPart> &Parts, const TOffcutRule &Rule)
{
    if (Trim == 0)
        return MakeCutPlan(SheetWidth, SheetHeight, Kerf, Parts, Rule);
    TCutPlan Plan;
    Plan.SheetWidth = SheetWidth;
    Plan.SheetHeight = SheetHeight;
    Plan.Kerf = Kerf;
    const i64 T = Trim, K = Kerf, W = SheetWidth, H = SheetHeight;
    if (T < 0 || K < 0 || W - 2 * T <= 0 || H - 2 * T <= 0)
        return Plan;
    std::vector<TCutPart> Inside;
    Inside.reserve(Parts.size());
    for (const TCutPart &P : Parts) {
        const i64 X = i64(P.X) - T, Y = i64(P.Y) - T;
        if (X < 0 || Y < 0 || X > W || Y > H)
            return Plan;
        Inside.push_back({ int(X), int(Y), P.Width, P.Height });
    }
    const TCutPlan Inner = MakeCutPlan(int(W - 2 * T), int(H - 2 * T), Kerf, Inside, Rule);
    if (!Inner.Cuttable)
        return Plan;

    // The trim: two cuts along the sheet's length across the whole sheet, then two across it over
    // the piece between them; each kerf lies inside the trim, next to the area kept.
    Plan.Cuttable = true;
    const bool RipIsVertical = SheetHeight > SheetWidth;
    const auto Add = [&](int Stage, bool Vertical, i64 At, i64 From, i64 To, i64 PieceStart) {
        TCut C;
        C.Number = int(Plan.Cuts.size()) + 1;
        C.Stage = Stage;
        C.Direction = Vertical == RipIsVertical ? TCutDirection::Rip : TCutDirection::Cross;
        C.Vertical = Vertical;
        C.X1 = ToInt(Vertical ? At : From);
        C.Y1 = ToInt(Vertical ? From : At);
        C.X2 = ToInt(Vertical ? At : To);
        C.Y2 = ToInt(Vertical ? To : At);
        C.Position = ToInt(std::max<i64>(0, At - PieceStart));
        C.Length = ToInt(To - From);
        Plan.Cuts.push_back(C);
    };
    const auto Band = [&](i64 X, i64 Y, i64 BW, i64 BH) {
        if (BW > 0 && BH > 0)
            Plan.Offcuts.push_back({ ToInt(X), ToInt(Y), ToInt(BW), ToInt(BH), false });
    };
    const i64 First = RipIsVertical ? W : H; // the sheet's extent across the first two cuts
    const i64 Along = RipIsVertical ? H : W;
    Add(1, RipIsVertical, T - K, 0, Along, 0);
    Add(1, RipIsVertical, First - T, 0, Along, T);
    Add(2, !RipIsVertical, T - K, T, First - T, 0);
    Add(2, !RipIsVertical, Along - T, T, First - T, T);
    // What the trim cuts take off: waste, however large.
    if (RipIsVertical) {
        Band(0, 0, T - K, H);
        Band(W - T + K, 0, T - K, H);
        Band(T, 0, W - 2 * T, T - K);
        Band(T, H - T + K, W - 2 * T, T - K);
    } else {
        Band(0, 0, W, T - K);
        Band(0, H - T + K, W, T - K);
        Band(0, T, T - K, H - 2 * T);
        Band(W - T + K, T, T - K, H - 2 * T);
    }
    for (TCut C : Inner.Cuts) {
        C.Number += 4;
        C.Stage += 2;
        C.X1 = ToInt(i64(C.X1) + T);
        C.X2 = ToInt(i64(C.X2) + T);
        C.Y1 = ToInt(i64(C.Y1) + T);
        C.Y2 = ToInt(i64(C.Y2) + T);
        Plan.Cuts.push_back(C);
    }
    for (TOffcut O : Inner.Offcuts) {
        O.X = ToInt(i64(O.X) + T);
        O.Y = ToInt(i64(O.Y) + T);
        Plan.Offcuts.push_back(O);
    }
    Plan.Stages = 2 + Inner.Stages;
    return Plan;
}

namespace {

// Appends the parts of strip S.
void AddParts(const TMaterialType &S, std::vector<TCutPart> &Out)
{
    const bool Row = S.Range() == TOrient::horizontal;
    for (int k = 0; k < S.Count(); ++k) {
        const i64 Step = i64(k) * ((Row ? i64(S.Width()) : i64(S.Height())) + S.Blade());
        Out.push_back({ ToInt(S.X() + (Row ? Step : 0)), ToInt(S.Y() + (Row ? 0 : Step)), S.Width(),
            S.Height() });
    }
}

const TMaterialType *GroupRecord(TRectManage &Engine, int Group)
{
    TMaterialTypeList &Groups = Engine.GroupList();
    if (const TMaterialType *R = Groups.GetItem(Group - 1); R && R->Group() == Group)
        return R;
    for (int i = 0; i < Groups.Count(); ++i)
        if (Groups.GetItem(i)->Group() == Group)
            return Groups.GetItem(i);
    return nullptr;
}

} // namespace

std::vector<TCutPart> LayoutParts(TRectManage &Engine, int Group)
{
    std::vector<TCutPart> Out;
    TMaterialTypeList &Strips = Engine.CreateRectList();
    for (int i = 0; i < Strips.Count(); ++i)
        if (const TMaterialType &S = *Strips.GetItem(i); S.Group() == Group)
            AddParts(S, Out);
    return Out;
}

TCutPlan MakeCutPlan(TRectManage &Engine, int Group, const TOffcutRule &Rule)
{
    const TMaterialType *Record = GroupRecord(Engine, Group);
    if (!Record)
        return TCutPlan();
    int Kerf = 0;
    bool First = true;
    std::vector<TCutPart> Parts;
    TMaterialTypeList &Strips = Engine.CreateRectList();
    for (int i = 0; i < Strips.Count(); ++i) {
        const TMaterialType &S = *Strips.GetItem(i);
        if (S.Group() != Group)
            continue;
        if (First)
            Kerf = S.Blade();
        First = false;
        AddParts(S, Parts);
    }
    return MakeTrimmedCutPlan(Record->Width(), Record->Height(), Record->Trim(), Kerf, Parts, Rule);
}

std::vector<TCutPlan> MakeCutPlans(TRectManage &Engine, const TOffcutRule &Rule)
{
    TMaterialTypeList &Groups = Engine.GroupList();
    std::unordered_map<int, std::size_t> Slot;
    for (int i = 0; i < Groups.Count(); ++i)
        Slot.try_emplace(Groups.GetItem(i)->Group(), std::size_t(i));
    std::vector<std::vector<TCutPart>> Parts(std::size_t(Groups.Count()));
    std::vector<int> Kerf(std::size_t(Groups.Count()), 0);
    std::vector<char> Seen(std::size_t(Groups.Count()), 0);
    TMaterialTypeList &Strips = Engine.CreateRectList();
    for (int i = 0; i < Strips.Count(); ++i) {
        const TMaterialType &S = *Strips.GetItem(i);
        const auto It = Slot.find(S.Group());
        if (It == Slot.end())
            continue;
        if (!Seen[It->second])
            Kerf[It->second] = S.Blade();
        Seen[It->second] = 1;
        AddParts(S, Parts[It->second]);
    }
    std::vector<TCutPlan> Out;
    Out.reserve(Parts.size());
    for (int i = 0; i < Groups.Count(); ++i) {
        const TMaterialType &G = *Groups.GetItem(i);
        // A second record with the same number (never made by a run) shares the first's plan.
        const std::size_t Own = Slot[G.Group()];
        if (Own != std::size_t(i))
            Out.push_back(Out[Own]);
        else
            Out.push_back(MakeTrimmedCutPlan(G.Width(), G.Height(), G.Trim(), Kerf[std::size_t(i)],
                Parts[std::size_t(i)], Rule));
    }
    return Out;
}
