#include "LayoutChecker.h"

#include "TypeSetClass.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <tuple>

namespace enginetest {

namespace {

struct Box
{
    std::int64_t L, T, R, B; // R and B exclusive
    int Strip;
};

class Report
{
public:
    explicit Report(std::size_t Max)
        : FMax(Max)
    { }
    template <typename... A> void Fail(A &&...Parts)
    {
        if (FLines.size() >= FMax)
            return;
        std::ostringstream S;
        (S << ... << Parts);
        FLines.push_back(S.str());
    }
    std::vector<std::string> Take() { return std::move(FLines); }

private:
    std::size_t FMax;
    std::vector<std::string> FLines;
};

constexpr std::int64_t PartLevelLimit = 4000;

std::int64_t Narrow(__int128 V)
{
    return V > INT64_MAX ? INT64_MAX : V < INT64_MIN ? INT64_MIN : static_cast<std::int64_t>(V);
}

bool SheetUsable(const TMaterialType &S)
{
    return S.Width() > 0 && S.Height() > 0 && S.Blade() >= 0 && S.Trim() >= 0
        && static_cast<std::int64_t>(S.Width()) > 2 * static_cast<std::int64_t>(S.Trim())
        && static_cast<std::int64_t>(S.Height()) > 2 * static_cast<std::int64_t>(S.Trim());
}

// Whether a strip of part kind P, Width x Height as placed, keeps P's grain along the grain of
// Sheet where P is held to it; true where nothing holds it.
bool GrainKept(const TMaterialType &P, const TMaterialType &Sheet, int Width, int Height)
{
    if (!P.Grain() || !Sheet.Grain() || Width == Height)
        return true;
    // The part's length (its longer side unless entered shorter) lies along X or Y; the sheet's
    // grain runs along X unless its length was entered shorter.
    const bool PartAlongX = (Width > Height) != P.EnteredLengthShorter();
    const bool SheetAlongX = !Sheet.EnteredLengthShorter();
    return PartAlongX == SheetAlongX;
}

// Whether the boxes can be split by guillotine cuts of kerf width down to single boxes. A cut
// along X at c needs every box on one side to end at or before c and every box on the other to
// start at or after c + Kerf.
bool Cuttable(std::vector<Box> Boxes, std::int64_t Kerf)
{
    // Explicit stack: a group can hold thousands of parts.
    std::vector<std::vector<Box>> Work;
    Work.push_back(std::move(Boxes));
    while (!Work.empty()) {
        std::vector<Box> Set = std::move(Work.back());
        Work.pop_back();
        if (Set.size() <= 1)
            continue;
        bool Cut = false;
        for (int Axis = 0; Axis < 2 && !Cut; ++Axis) {
            auto Start = [Axis](const Box &B) { return Axis == 0 ? B.L : B.T; };
            auto End = [Axis](const Box &B) { return Axis == 0 ? B.R : B.B; };
            std::sort(Set.begin(), Set.end(),
                [&](const Box &A, const Box &B) { return Start(A) < Start(B); });
            std::int64_t Reach = End(Set[0]);
            for (std::size_t i = 1; i < Set.size(); ++i) {
                if (Reach + Kerf <= Start(Set[i])) {
                    Work.emplace_back(Set.begin() + static_cast<std::ptrdiff_t>(i), Set.end());
                    Set.resize(i);
                    Work.push_back(std::move(Set));
                    Cut = true;
                    break;
                }
                Reach = std::max(Reach, End(Set[i]));
            }
        }
        if (!Cut)
            return false;
    }
    return true;
}

} // namespace

std::string ReplayCuts(std::int64_t W, std::int64_t H, std::int64_t K,
    const std::vector<CutLine> &Cuts, const std::vector<Piece> &Parts,
    const std::vector<Piece> &Offcuts, std::vector<std::int64_t> *Positions)
{
    struct B
    {
        std::int64_t X0, Y0, X1, Y1;
        bool operator==(const B &) const = default;
        bool operator<(const B &O) const
        {
            return std::tie(X0, Y0, X1, Y1) < std::tie(O.X0, O.Y0, O.X1, O.Y1);
        }
    };
    const auto Of = [](const Piece &P) { return B { P.X, P.Y, P.X + P.W, P.Y + P.H }; };
    const auto Overlap = [](const B &A, const B &C) {
        return A.X0 < C.X1 && C.X0 < A.X1 && A.Y0 < C.Y1 && C.Y0 < A.Y1;
    };
    std::vector<B> Pieces { { 0, 0, W, H } };
    std::vector<B> PartBoxes;
    for (const Piece &P : Parts)
        PartBoxes.push_back(Of(P));
    if (Positions)
        Positions->clear();
    for (std::size_t n = 0; n < Cuts.size(); ++n) {
        const CutLine &C = Cuts[n];
        const std::string Where = "cut " + std::to_string(n + 1) + ": ";
        const bool Vertical = C.X1 == C.X2;
        if (!Vertical && C.Y1 != C.Y2)
            return Where + "not straight";
        const std::int64_t At = Vertical ? C.X1 : C.Y1;
        const std::int64_t A0 = Vertical ? C.Y1 : C.X1, A1 = Vertical ? C.Y2 : C.X2;
        const B Band = Vertical ? B { At, A0, At + K, A1 } : B { A0, At, A1, At + K };
        for (const B &P : PartBoxes) {
            const bool Hit = K > 0 ? Overlap(Band, P)
                                   : (Vertical ? P.X0 < At && At < P.X1 && P.Y0 < A1 && A0 < P.Y1
                                               : P.Y0 < At && At < P.Y1 && P.X0 < A1 && A0 < P.X1);
            if (Hit)
                return Where + "crosses a part";
        }
        int Found = -1;
        for (std::size_t i = 0; i < Pieces.size(); ++i) {
            const B &P = Pieces[i];
            if ((Vertical ? P.Y0 : P.X0) != A0 || (Vertical ? P.Y1 : P.X1) != A1)
                continue;
            const std::int64_t Q0 = Vertical ? P.X0 : P.Y0, Q1 = Vertical ? P.X1 : P.Y1;
            if (!(K > 0 ? At < Q1 && At + K > Q0 : Q0 < At && At < Q1))
                continue;
            if (Found >= 0)
                return Where + "lies in two pieces";
            Found = static_cast<int>(i);
        }
        if (Found < 0)
            return Where + "runs across no whole piece";
        const B P = Pieces[static_cast<std::size_t>(Found)];
        const std::int64_t Q0 = Vertical ? P.X0 : P.Y0, Q1 = Vertical ? P.X1 : P.Y1;
        if (Positions)
            Positions->push_back(std::max<std::int64_t>(0, At - Q0));
        Pieces.erase(Pieces.begin() + Found);
        const auto Keep = [&](std::int64_t From, std::int64_t To) {
            if (To > From)
                Pieces.push_back(
                    Vertical ? B { From, P.Y0, To, P.Y1 } : B { P.X0, From, P.X1, To });
        };
        Keep(Q0, std::min(At, Q1));
        Keep(std::max(At + K, Q0), Q1);
    }
    std::vector<B> Rest;
    for (const B &P : Pieces) {
        const auto Same = std::count(PartBoxes.begin(), PartBoxes.end(), P);
        if (Same > 1)
            return "two parts in one place";
        if (Same == 1)
            continue;
        for (const B &Q : PartBoxes)
            if (Overlap(P, Q))
                return "a final piece holds a part with waste, or more than one part";
        Rest.push_back(P);
    }
    for (const B &Q : PartBoxes)
        if (std::count(Pieces.begin(), Pieces.end(), Q) != 1)
            return "a part is not a final piece";
    std::vector<B> Expected;
    for (const Piece &O : Offcuts)
        Expected.push_back(Of(O));
    std::sort(Rest.begin(), Rest.end());
    std::sort(Expected.begin(), Expected.end());
    if (Rest != Expected)
        return "the offcuts are not the pieces left without parts (" + std::to_string(Rest.size())
            + " pieces, " + std::to_string(Expected.size()) + " offcuts)";
    return {};
}

bool FitsEmptySheet(std::int64_t PartW, std::int64_t PartH, std::int64_t SheetW,
    std::int64_t SheetH, std::int64_t Kerf)
{
    if (PartW <= 0 || PartH <= 0 || SheetW <= 0 || SheetH <= 0 || Kerf < 0)
        return false;
    for (int Turn = 0; Turn < 2; ++Turn) {
        const std::int64_t W = Turn ? PartH : PartW;
        const std::int64_t H = Turn ? PartW : PartH;
        if (W <= SheetW && H <= SheetH && (W + Kerf <= SheetW || H + Kerf <= SheetH))
            return true;
    }
    return false;
}

std::vector<std::string> CheckLayout(
    TRectManage &Engine, const std::vector<Event> &Events, std::size_t MaxReports)
{
    Report Rep(MaxReports);
    TMaterialTypeList &Parts = Engine.MaterialTypeList();
    TMaterialTypeList &Sheets = Engine.BCTypeList();
    TMaterialTypeList &Groups = Engine.GroupList();
    TMaterialTypeList &Strips = Engine.CreateRectList();
    const int NGroups = Groups.Count();

    // Notifications: one per group in order, then the closing one exactly when Execpt is set.
    const std::size_t Expected = static_cast<std::size_t>(NGroups) + (Engine.Execpt() ? 1 : 0);
    if (Events.size() != Expected)
        Rep.Fail("notifications: ", Events.size(), " raised, ", Expected, " expected");
    std::vector<int> GroupSheet(static_cast<std::size_t>(NGroups) + 1, -1);
    for (int g = 0; g < NGroups && static_cast<std::size_t>(g) < Events.size(); ++g) {
        const Event &E = Events[static_cast<std::size_t>(g)];
        const TMaterialType &G = *Groups.GetItem(g);
        if (E.Group != g + 1 || G.Group() != g + 1)
            Rep.Fail("group ", g + 1, ": numbered ", G.Group(), ", notified as ", E.Group);
        if (E.RectCount != G.Count() || G.Count() < 1)
            Rep.Fail("group ", g + 1, ": Count ", G.Count(), ", notified ", E.RectCount);
        const TMaterialType *S = Sheets.GetItem(E.BCindex);
        if (!S) {
            Rep.Fail("group ", g + 1, ": notified sheet kind ", E.BCindex, " does not exist");
            continue;
        }
        GroupSheet[static_cast<std::size_t>(g + 1)] = E.BCindex;
        if (!SheetUsable(*S))
            Rep.Fail("group ", g + 1, ": uses sheet kind ", E.BCindex, " which is not usable");
        if (G.Width() != S->Width() || G.Height() != S->Height() || G.MaxHieght() != S->GetArea())
            Rep.Fail("group ", g + 1, ": sheet size/area differ from sheet kind ", E.BCindex);
    }
    // Stock: no sheet kind gives more sheets than it has.
    std::map<int, std::int64_t> SheetsOfKind;
    for (int g = 0; g < NGroups && static_cast<std::size_t>(g) < Events.size(); ++g)
        SheetsOfKind[Events[static_cast<std::size_t>(g)].BCindex] += Groups.GetItem(g)->Count();
    for (const auto &[Kind, N] : SheetsOfKind) {
        const TMaterialType *S = Sheets.GetItem(Kind);
        if (S && S->StockLimited() && N > S->Stock())
            Rep.Fail("sheet kind ", Kind, ": ", N, " sheets used, stock ", S->Stock());
    }
    if (Engine.Execpt() && Events.size() == Expected) {
        const Event &E = Events.back();
        if (E.Group != NGroups + 1 || E.BCindex != -1 || E.RectCount != 0)
            Rep.Fail("closing notification is (", E.Group, ", ", E.BCindex, ", ", E.RectCount,
                "), expected (", NGroups + 1, ", -1, 0)");
    }

    // Strips: inside the sheet, part size, kerf apart; placed counts per part kind.
    // Wide sums: a faulty engine must not make the checker overflow.
    std::vector<__int128> Placed(static_cast<std::size_t>(Parts.Count()), 0);
    std::vector<int> LastGroup(static_cast<std::size_t>(Parts.Count()), 0);
    std::vector<__int128> GroupArea(static_cast<std::size_t>(NGroups) + 1, 0);
    std::map<int, std::vector<Box>> Boxes; // parts per group
    std::map<int, std::vector<Box>> StripBoxes; // strips per group, grown by the kerf
    std::map<int, std::int64_t> PartsInGroup;
    for (int i = 0; i < Strips.Count(); ++i) {
        const TMaterialType &S = *Strips.GetItem(i);
        const int g = S.Group();
        if (g < 1 || g > NGroups || GroupSheet[static_cast<std::size_t>(g)] < 0) {
            Rep.Fail("strip ", i, ": group ", g, " has no valid record");
            continue;
        }
        const TMaterialType &Sheet = *Sheets.GetItem(GroupSheet[static_cast<std::size_t>(g)]);
        const TMaterialType *P = Parts.GetItem(S.Data);
        if (!P) {
            Rep.Fail("strip ", i, ": part kind ", S.Data, " does not exist");
            continue;
        }
        if (S.Count() < 1)
            Rep.Fail("strip ", i, ": Count ", S.Count());
        if (std::min(S.Width(), S.Height()) != std::min(P->Width(), P->Height())
            || std::max(S.Width(), S.Height()) != std::max(P->Width(), P->Height()))
            Rep.Fail("strip ", i, ": size ", S.Width(), "x", S.Height(),
                " is not that of part kind ", S.Data);
        if (S.Blade() != Sheet.Blade())
            Rep.Fail("strip ", i, ": kerf ", S.Blade(), ", sheet has ", Sheet.Blade());
        const std::int64_t K = std::max(S.Count(), 0);
        Placed[static_cast<std::size_t>(S.Data)]
            += static_cast<__int128>(K) * Groups.GetItem(g - 1)->Count();
        LastGroup[static_cast<std::size_t>(S.Data)]
            = std::max(LastGroup[static_cast<std::size_t>(S.Data)], g);
        GroupArea[static_cast<std::size_t>(g)] += static_cast<__int128>(K) * S.GetArea();
        const bool Row = S.Range() == TOrient::horizontal;
        const std::int64_t Step
            = static_cast<std::int64_t>(Row ? S.Width() : S.Height()) + Sheet.Blade();
        const std::int64_t EndX
            = Row ? S.X() + K * S.Width() + (K - 1) * Sheet.Blade() : S.X() + S.Width();
        const std::int64_t EndY
            = Row ? S.Y() + S.Height() : S.Y() + K * S.Height() + (K - 1) * Sheet.Blade();
        if (S.MaxWidth() != EndX || S.MaxHieght() != EndY)
            Rep.Fail("strip ", i, ": edges ", S.MaxWidth(), ",", S.MaxHieght(), " expected ", EndX,
                ",", EndY);
        // Inside the sheet, and inside its trim.
        const std::int64_t Trim = Sheet.Trim();
        if (S.X() < Trim || S.Y() < Trim || EndX > Sheet.Width() - Trim
            || EndY > Sheet.Height() - Trim)
            Rep.Fail("strip ", i, ": [", S.X(), ",", S.Y(), ")-(", EndX, ",", EndY,
                ") reaches outside sheet ", Sheet.Width(), "x", Sheet.Height(), " trimmed by ",
                Trim);
        if (!GrainKept(*P, Sheet, S.Width(), S.Height()))
            Rep.Fail("strip ", i, ": part kind ", S.Data, " held to its grain lies ", S.Width(),
                "x", S.Height(), " across the grain of sheet kind ",
                GroupSheet[static_cast<std::size_t>(g)]);
        StripBoxes[g].push_back({ S.X(), S.Y(), EndX + Sheet.Blade(), EndY + Sheet.Blade(), i });
        PartsInGroup[g] += K;
        std::vector<Box> &List = Boxes[g];
        for (std::int64_t j = 0; j < K && PartsInGroup[g] <= PartLevelLimit; ++j) {
            Box Bx;
            Bx.L = S.X() + (Row ? j * Step : 0);
            Bx.T = S.Y() + (Row ? 0 : j * Step);
            Bx.R = Bx.L + S.Width();
            Bx.B = Bx.T + S.Height();
            Bx.Strip = i;
            if (Bx.L < Trim || Bx.T < Trim || Bx.R > Sheet.Width() - Trim
                || Bx.B > Sheet.Height() - Trim)
                Rep.Fail("strip ", i, " part ", j, ": [", Bx.L, ",", Bx.T, ")-(", Bx.R, ",", Bx.B,
                    ") outside sheet ", Sheet.Width(), "x", Sheet.Height(), " trimmed by ", Trim);
            List.push_back(Bx);
        }
    }
    for (auto &[g, List] : Boxes) {
        if (PartsInGroup[g] > PartLevelLimit) {
            // Too many parts to compare one by one: compare whole strips, each grown by the kerf
            // on its right and bottom (a stricter test than part by part).
            std::vector<Box> &SB = StripBoxes[g];
            for (std::size_t a = 0; a < SB.size(); ++a)
                for (std::size_t b = a + 1; b < SB.size(); ++b)
                    if (SB[a].L < SB[b].R && SB[b].L < SB[a].R && SB[a].T < SB[b].B
                        && SB[b].T < SB[a].B)
                        Rep.Fail("group ", g, ": strips ", SB[a].Strip, " and ", SB[b].Strip,
                            " overlap or are closer than the kerf");
            continue;
        }
        const std::int64_t Kerf = Sheets.GetItem(GroupSheet[static_cast<std::size_t>(g)])->Blade();
        // Sweep by left edge: only boxes that start before this one's right edge plus the kerf
        // can come too close.
        std::sort(List.begin(), List.end(),
            [](const Box &A, const Box &B) { return A.L < B.L || (A.L == B.L && A.T < B.T); });
        for (std::size_t a = 0; a < List.size(); ++a) {
            for (std::size_t b = a + 1; b < List.size() && List[b].L < List[a].R + Kerf; ++b) {
                const Box &A = List[a], &B = List[b];
                const bool Apart = A.R + Kerf <= B.L || B.R + Kerf <= A.L || A.B + Kerf <= B.T
                    || B.B + Kerf <= A.T;
                if (!Apart)
                    Rep.Fail("group ", g, ": parts of strips ", A.Strip, " and ", B.Strip,
                        " overlap or are closer than the kerf ", Kerf);
            }
        }
    }
    for (int g = 1; g <= NGroups; ++g) {
        const TMaterialType &G = *Groups.GetItem(g - 1);
        if (G.MaxWidth() != GroupArea[static_cast<std::size_t>(g)])
            Rep.Fail("group ", g, ": parts area ", G.MaxWidth(), ", strips give ",
                Narrow(GroupArea[static_cast<std::size_t>(g)]));
        if (G.MaxHieght() > 0
            && G.UsedCount()
                != static_cast<int>(G.MaxWidth() * static_cast<__int128>(100) / G.MaxHieght()))
            Rep.Fail("group ", g, ": utilisation ", G.UsedCount(), " for ", G.MaxWidth(), "/",
                G.MaxHieght());
    }

    // Part kinds.
    bool AllPlaced = true;
    for (int p = 0; p < Parts.Count(); ++p) {
        const TMaterialType &P = *Parts.GetItem(p);
        const __int128 N = Placed[static_cast<std::size_t>(p)];
        if (N != P.UsedCount())
            Rep.Fail("part kind ", p, ": UsedCount ", P.UsedCount(), ", strips place ", Narrow(N));
        if (N > std::max(P.Count(), 0))
            Rep.Fail("part kind ", p, ": ", Narrow(N), " placed, quantity ", P.Count());
        if ((P.Width() <= 0 || P.Height() <= 0) && N > 0)
            Rep.Fail("part kind ", p, ": has a non-positive side but was placed");
        if (N < P.Count())
            AllPlaced = false;
        if (N > 0) {
            const int g = LastGroup[static_cast<std::size_t>(p)];
            if (P.Group() != g || P.Data != GroupSheet[static_cast<std::size_t>(g)])
                Rep.Fail("part kind ", p, ": Group/Data ", P.Group(), "/", P.Data, ", expected ", g,
                    "/", GroupSheet[static_cast<std::size_t>(g)]);
        }
    }
    if (Engine.Execpt() == AllPlaced)
        Rep.Fail("Execpt is ", Engine.Execpt(), " but all parts placed is ", AllPlaced);

    // Sheet totals (GetTotalBC called once): per sheet kind the sheets of groups of its text.
    TMaterialTypeList &Totals = Engine.TotalBCList();
    if (Totals.Count() != Sheets.Count()) {
        Rep.Fail("TotalBCList has ", Totals.Count(), " items for ", Sheets.Count(), " sheet kinds");
    } else {
        std::map<std::string, std::int64_t> ByText;
        for (int g = 0; g < NGroups; ++g)
            ByText[Groups.GetItem(g)->GetText()] += Groups.GetItem(g)->Count();
        std::int64_t SumDistinct = 0, SumGroups = 0;
        std::map<std::string, int> Seen;
        for (int i = 0; i < Totals.Count(); ++i) {
            TMaterialType &T = *Totals.GetItem(i);
            const std::int64_t Want = std::min<std::int64_t>(ByText[T.GetText()], INT32_MAX);
            if (T.UsedCount() != Want)
                Rep.Fail("TotalBCList ", i, ": UsedCount ", T.UsedCount(), ", expected ", Want);
            if (Seen[T.GetText()]++ == 0)
                SumDistinct += T.UsedCount();
        }
        for (int g = 0; g < NGroups; ++g)
            SumGroups += Groups.GetItem(g)->Count();
        if (SumDistinct != SumGroups && SumGroups <= INT32_MAX)
            Rep.Fail("sheets counted by GetTotalBC ", SumDistinct, " != sum of group counts ",
                SumGroups);
        int InUse = 0;
        for (int i = 0; i < Totals.Count(); ++i)
            InUse += Totals.GetItem(i)->UsedCount() != 0;
        if (Engine.TotalBCNum() != InUse)
            Rep.Fail("TotalBCNum ", Engine.TotalBCNum(), ", items in use ", InUse);
    }
    return Rep.Take();
}

std::vector<std::string> CheckGuillotine(TRectManage &Engine, std::size_t MaxReports)
{
    Report Rep(MaxReports);
    TMaterialTypeList &Strips = Engine.CreateRectList();
    std::map<int, std::vector<Box>> Parts, Whole;
    std::map<int, std::int64_t> Kerf, Count;
    for (int i = 0; i < Strips.Count(); ++i) {
        const TMaterialType &S = *Strips.GetItem(i);
        const int g = S.Group();
        const std::int64_t K = std::max(S.Count(), 0);
        const bool Row = S.Range() == TOrient::horizontal;
        const std::int64_t Step
            = static_cast<std::int64_t>(Row ? S.Width() : S.Height()) + S.Blade();
        Kerf[g] = S.Blade();
        Whole[g].push_back({ S.X(), S.Y(), S.MaxWidth(), S.MaxHieght(), i });
        Count[g] += K;
        for (std::int64_t j = 0; j < K && Count[g] <= PartLevelLimit; ++j) {
            const std::int64_t L = S.X() + (Row ? j * Step : 0);
            const std::int64_t T = S.Y() + (Row ? 0 : j * Step);
            Parts[g].push_back({ L, T, L + S.Width(), T + S.Height(), i });
        }
    }
    for (auto &[g, List] : Whole) {
        const bool ByPart = Count[g] <= PartLevelLimit;
        if (!Cuttable(ByPart ? Parts[g] : List, Kerf[g]))
            Rep.Fail("group ", g, ": its ", ByPart ? "parts" : "strips",
                " cannot be separated by edge-to-edge cuts of kerf ", Kerf[g]);
    }
    return Rep.Take();
}

// ---------------------------------------------------------------------------------------------

std::int64_t Random::Between(std::int64_t Lo, std::int64_t Hi)
{
    if (Hi <= Lo)
        return Lo;
    const std::uint64_t Span = static_cast<std::uint64_t>(Hi) - static_cast<std::uint64_t>(Lo) + 1;
    const std::uint64_t V = Span == 0 ? FEngine() : FEngine() % Span;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(Lo) + V);
}

GenJob RealisticJob(Random &R, int PartKinds, int SheetKinds)
{
    static const int Common[][2] = { { 2440, 1220 }, { 2750, 1830 }, { 3050, 1525 }, { 1830, 915 },
        { 2800, 2070 }, { 2000, 1000 }, { 1220, 2440 }, { 3210, 2250 } };
    GenJob J;
    for (int i = 0; i < SheetKinds; ++i) {
        GenSheet S;
        if (R.Chance(80)) {
            const auto &C = Common[R.Between(0, std::size(Common) - 1)];
            S.Length = C[0];
            S.Width = C[1];
        } else {
            S.Length = static_cast<int>(R.Between(600, 3600));
            S.Width = static_cast<int>(R.Between(400, 2200));
        }
        S.Kerf = static_cast<int>(R.Between(0, 5));
        S.Price = static_cast<double>(R.Between(4000, 30000)) / 100.0;
        S.Name = "Sheet " + std::to_string(i + 1);
        J.Sheets.push_back(S);
    }
    for (int i = 0; i < PartKinds; ++i) {
        GenPart P;
        const std::int64_t Kind = R.Between(0, 9);
        if (Kind == 0) { // small pieces
            P.Length = static_cast<int>(R.Between(20, 200));
            P.Width = static_cast<int>(R.Between(20, 200));
        } else if (Kind == 1) { // long and narrow
            P.Length = static_cast<int>(R.Between(1000, 2400));
            P.Width = static_cast<int>(R.Between(30, 150));
        } else {
            P.Length = static_cast<int>(R.Between(50, 1500));
            P.Width = static_cast<int>(R.Between(30, 900));
        }
        P.Quantity = static_cast<int>(R.Chance(10) ? R.Between(0, 60) : R.Between(1, 20));
        P.Name = "Part " + std::to_string(i + 1);
        J.Parts.push_back(P);
    }
    J.UseCost = R.Chance(30);
    J.UseBigSheet = R.Chance(20);
    return J;
}

GenJob BenchmarkJob(Random &R, int PartKinds, int SheetKinds, int MeanQuantity)
{
    std::vector<std::pair<int, int>> Sizes { { 2440, 1220 }, { 2750, 1830 }, { 3050, 1525 },
        { 1830, 915 }, { 2800, 2070 }, { 2000, 1000 }, { 3660, 1830 }, { 2500, 1250 },
        { 2440, 1830 }, { 3210, 2250 } };
    GenJob J;
    for (int i = 0; i < SheetKinds; ++i) {
        // Distinct sizes while they last, in random order.
        const std::size_t Left = Sizes.size() - static_cast<std::size_t>(i) % Sizes.size();
        const std::size_t Pick
            = static_cast<std::size_t>(R.Between(0, static_cast<std::int64_t>(Left) - 1));
        std::swap(Sizes[Pick], Sizes[Left - 1]);
        GenSheet S;
        S.Length = Sizes[Left - 1].first;
        S.Width = Sizes[Left - 1].second;
        S.Kerf = static_cast<int>(R.Between(0, 5));
        S.Price = static_cast<double>(R.Between(4000, 30000)) / 100.0;
        S.Name = "Sheet " + std::to_string(i + 1);
        J.Sheets.push_back(S);
    }
    for (int i = 0; i < PartKinds; ++i) {
        GenPart P;
        P.Length = static_cast<int>(R.Between(50, 1500));
        P.Width = static_cast<int>(R.Between(30, 900));
        P.Quantity = static_cast<int>(R.Between(1, std::max(1, 2 * MeanQuantity - 1)));
        P.Name = "Part " + std::to_string(i + 1);
        J.Parts.push_back(P);
    }
    return J;
}

GenJob LimitedJob(Random &R, int PartKinds, int SheetKinds)
{
    GenJob J = RealisticJob(R, PartKinds, SheetKinds);
    for (GenSheet &S : J.Sheets) {
        S.Grain = R.Chance(50);
        S.Trim = R.Chance(50) ? static_cast<int>(R.Between(0, 30)) : 0;
        S.Stock = R.Chance(40) ? static_cast<int>(R.Between(0, 4)) : -1;
        // Some sheets have their length entered as the shorter side: their grain runs across.
        if (R.Chance(15))
            std::swap(S.Length, S.Width);
    }
    for (GenPart &P : J.Parts) {
        P.Grain = R.Chance(50);
        if (R.Chance(20))
            std::swap(P.Length, P.Width);
    }
    return J;
}

GenJob FirstParts(GenJob J, int Parts)
{
    int Left = Parts;
    std::size_t Kept = 0;
    for (; Kept < J.Parts.size() && Left > 0; ++Kept) {
        J.Parts[Kept].Quantity = std::min(J.Parts[Kept].Quantity, Left);
        Left -= std::max(J.Parts[Kept].Quantity, 0);
    }
    J.Parts.resize(Kept);
    return J;
}

GenJob HostileJob(Random &R)
{
    // Values from several scales, with the extremes well represented.
    auto Value = [&R]() -> int {
        switch (R.Between(0, 9)) {
        case 0:
            return static_cast<int>(R.Between(-3, 3));
        case 1:
            return static_cast<int>(R.Between(INT32_MIN, -1));
        case 2:
            return R.Chance(50) ? INT32_MAX : INT32_MIN;
        case 3:
            return static_cast<int>(R.Between(INT32_MAX - 1000, INT32_MAX));
        case 4:
            return static_cast<int>(R.Between(1000000, INT32_MAX));
        case 5:
            return static_cast<int>(R.Between(1, 20));
        default:
            return static_cast<int>(R.Between(1, 5000));
        }
    };
    GenJob J;
    const int NSheets = static_cast<int>(R.Between(0, 4));
    const int NParts = static_cast<int>(R.Between(0, 6));
    for (int i = 0; i < NSheets; ++i) {
        GenSheet S;
        S.Length = Value();
        S.Width = Value();
        S.Kerf = R.Chance(50) ? static_cast<int>(R.Between(0, 10)) : Value();
        switch (R.Between(0, 4)) {
        case 0:
            S.Price = 0.0;
            break;
        case 1:
            S.Price = -static_cast<double>(R.Between(0, 1000000));
            break;
        case 2:
            S.Price = 1e300;
            break;
        default:
            S.Price = static_cast<double>(R.Between(0, 100000)) / 100.0;
        }
        S.Name = R.Chance(20) ? std::string() : "S" + std::to_string(R.Between(0, 3));
        J.Sheets.push_back(S);
    }
    for (int i = 0; i < NParts; ++i) {
        GenPart P;
        P.Length = Value();
        P.Width = Value();
        P.Quantity = R.Chance(60) ? static_cast<int>(R.Between(0, 30)) : Value();
        P.Name = R.Chance(20) ? std::string() : "P" + std::to_string(R.Between(0, 4));
        J.Parts.push_back(P);
    }
    J.UseCost = R.Chance(40);
    J.UseBigSheet = R.Chance(40);
    return J;
}

void LoadJob(const GenJob &J, TRectManage &Engine)
{
    Engine.BCTypeList().Clear();
    for (const GenSheet &S : J.Sheets) {
        TMaterialType &M = *Engine.BCTypeList().Add();
        M.SetText(S.Name);
        M.SetBlade(S.Kerf);
        M.SetWidth(std::max(S.Length, S.Width));
        M.SetHeight(std::min(S.Length, S.Width));
        M.SetPrice(S.Price);
        M.SetEnteredLengthShorter(S.Length < S.Width);
        M.SetGrain(S.Grain);
        M.SetTrim(S.Trim);
        M.SetStock(S.Stock);
    }
    Engine.MaterialTypeList().Clear();
    for (const GenPart &P : J.Parts) {
        TMaterialType &M = *Engine.MaterialTypeList().Add();
        M.SetText(P.Name);
        M.SetWidth(std::max(P.Length, P.Width));
        M.SetHeight(std::min(P.Length, P.Width));
        M.SetCount(P.Quantity);
        M.SetEnteredLengthShorter(P.Length < P.Width);
        M.SetGrain(P.Grain);
    }
    Engine.SetUseCost(J.UseCost);
    Engine.SetUseBCMaxArea(J.UseBigSheet);
}

std::string JobText(const GenJob &J)
{
    std::string Out;
    char Price[64];
    for (const GenSheet &S : J.Sheets) {
        std::snprintf(Price, sizeof Price, "%.2f", S.Price);
        Out += "sheet " + std::to_string(S.Length) + " " + std::to_string(S.Width) + " "
            + std::to_string(S.Kerf) + " " + Price + " " + S.Name + "\n";
        if (S.Grain)
            Out += "grain 1\n";
        if (S.Trim != 0)
            Out += "trim " + std::to_string(S.Trim) + "\n";
        if (S.Stock >= 0)
            Out += "stock " + std::to_string(S.Stock) + "\n";
    }
    for (const GenPart &P : J.Parts) {
        Out += "part " + std::to_string(P.Length) + " " + std::to_string(P.Width) + " "
            + std::to_string(P.Quantity) + " " + P.Name + "\n";
        if (P.Grain)
            Out += "grain 1\n";
    }
    if (J.UseCost)
        Out += "option cost 1\n";
    if (J.UseBigSheet)
        Out += "option bigsheet 1\n";
    return Out;
}

std::vector<Event> RunJob(const GenJob &J, TRectManage &Engine)
{
    LoadJob(J, Engine);
    std::vector<Event> Events;
    Engine.SetOnNewRectList([&Events](int Group, int BCindex, int RectCount) {
        Events.push_back({ Group, BCindex, RectCount });
    });
    Engine.GoWork();
    Engine.GetTotalBC();
    Engine.SetOnNewRectList(nullptr);
    return Events;
}

} // namespace enginetest
