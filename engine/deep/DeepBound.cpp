// Lower bounds on the objective of any layout of a job, and the guillotine test of a sheet.
#include "DeepSearch.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace deep {

namespace {

using i128 = __int128;

// Whether two parts (sides as given, grown by the kerf) can lie on one sheet WW x HH (grown):
// two rectangles that do not overlap are always apart along X or along Y.
bool Together(i64 L1, i64 S1, i64 L2, i64 S2, i64 WW, i64 HH)
{
    for (int t1 = 0; t1 < 2; ++t1) {
        const i64 w1 = t1 ? S1 : L1, h1 = t1 ? L1 : S1;
        for (int t2 = 0; t2 < 2; ++t2) {
            const i64 w2 = t2 ? S2 : L2, h2 = t2 ? L2 : S2;
            if (w1 + w2 <= WW && std::max(h1, h2) <= HH)
                return true;
            if (h1 + h2 <= HH && std::max(w1, w2) <= WW)
                return true;
        }
    }
    return false;
}

// A dual feasible function on [0, C] given by integers: value Num(x) / Den.
struct TDff
{
    int Kind; // 0 identity, 1 threshold e, 2 u^(k)
    i64 C;
    i64 P; // e or k
    i64 Den() const { return Kind == 2 ? C * P : C; }
    i64 Num(i64 X) const
    {
        switch (Kind) {
        case 1:
            return X > C - P ? C : (X < P ? 0 : X);
        case 2: {
            // X <= C <= 10^7 and P <= 8 wherever these are used: no overflow.
            const i64 T = (P + 1) * X;
            if (T % C == 0)
                return X * P;
            return (T / C) * C;
        }
        default:
            return X;
        }
    }
};

std::vector<TDff> Family(i64 C, const std::vector<i64> &Sides)
{
    std::vector<TDff> F { { 0, C, 0 } };
    for (i64 k = 1; k <= 8; ++k)
        F.push_back({ 2, C, k });
    // Thresholds at the sides of the parts (no more than about 24 of them, spread evenly).
    std::vector<i64> E;
    for (const i64 S : Sides)
        if (S >= 1 && 2 * S <= C)
            E.push_back(S);
    std::sort(E.begin(), E.end());
    E.erase(std::unique(E.begin(), E.end()), E.end());
    const std::size_t Step = std::max<std::size_t>(1, E.size() / 24);
    for (std::size_t i = 0; i < E.size(); i += Step)
        F.push_back({ 1, C, E[i] });
    return F;
}

// Least number of sheets WW x HH (grown) for the parts (grown), through pairs of dual feasible
// functions; parts may be turned where they fit turned.
i64 DffSheets(
    const std::vector<i64> &L, const std::vector<i64> &S, const std::vector<i64> &N, i64 WW, i64 HH)
{
    if (WW > 10000000 || HH > 10000000)
        return 0; // keeps every product below 2^127
    std::vector<i64> XS, YS;
    for (std::size_t i = 0; i < L.size(); ++i) {
        XS.push_back(L[i]);
        XS.push_back(S[i]);
        YS.push_back(L[i]);
        YS.push_back(S[i]);
    }
    const std::vector<TDff> FX = Family(WW, XS), FY = Family(HH, YS);
    i64 Best = 0;
    for (const TDff &F : FX) {
        for (const TDff &G : FY) {
            i128 Sum = 0;
            for (std::size_t i = 0; i < L.size(); ++i) {
                i128 Least = -1;
                for (int t = 0; t < 2; ++t) {
                    const i64 w = t ? S[i] : L[i], h = t ? L[i] : S[i];
                    if (w > WW || h > HH)
                        continue;
                    const i128 V = i128(F.Num(w)) * G.Num(h);
                    if (Least < 0 || V < Least)
                        Least = V;
                }
                if (Least > 0)
                    Sum += Least * N[i];
            }
            const i128 Den = i128(F.Den()) * G.Den();
            const i128 Sheets = (Sum + Den - 1) / Den;
            if (Sheets > Best)
                Best = static_cast<i64>(std::min<i128>(Sheets, INT64_MAX));
        }
    }
    return Best;
}

// Parts of which no two fit one sheet of any allowed kind: largest first, each kept when it
// cannot lie beside any part kept before (nor, for several of its kind, beside itself).
// Returns the item indices with the number of parts counted for each.
std::vector<std::pair<std::size_t, i64>> Apart(const TProblem &P)
{
    std::vector<std::size_t> Order(P.Items.size());
    for (std::size_t i = 0; i < Order.size(); ++i)
        Order[i] = i;
    std::sort(Order.begin(), Order.end(), [&P](std::size_t A, std::size_t B) {
        const double AA = double(P.Items[A].Long) * double(P.Items[A].Short);
        const double AB = double(P.Items[B].Long) * double(P.Items[B].Short);
        return AA > AB || (AA == AB && A < B);
    });
    auto Share = [&P](const TItem &A, const TItem &B) {
        for (const TSheet &S : P.Sheets)
            if (Together(A.Long + S.Kerf, A.Short + S.Kerf, B.Long + S.Kerf, B.Short + S.Kerf,
                    S.W + S.Kerf, S.H + S.Kerf))
                return true;
        return false;
    };
    std::vector<std::pair<std::size_t, i64>> Kept;
    for (const std::size_t i : Order) {
        const TItem &I = P.Items[i];
        if (I.Count <= 0)
            continue;
        bool Ok = true;
        // Only the largest parts can qualify; a few hundred checks are enough.
        if (Kept.size() > 400)
            break;
        for (const auto &K : Kept)
            if (Share(I, P.Items[K.first])) {
                Ok = false;
                break;
            }
        if (Ok)
            Kept.push_back({ i, Share(I, I) ? 1 : I.Count });
    }
    return Kept;
}

// A lower bound for sheet kinds of any sizes and values, proved through the dual of a linear
// relaxation. A sheet of kind s (sides grown by its kerf) holds parts (grown likewise) whose
// values f(w) g(h) under a pair of dual feasible functions sum to at most f(W) g(H), however
// they lie; and it holds at most one of the big parts, of which no two fit one sheet. So for
// any layout and any split of each sheet kind's value V = a + b (a, b >= 0), the sheets of kind
// s are worth at least the sum over their parts of a u + b [part is big], u being the part's
// share f(w) g(h) / f(W) g(H) (the least over the ways it fits). Each part is worth at least the
// least of that over the sheet kinds it fits, whatever the layout; the bound is the sum of these
// over all parts. With the identity functions and b = 0 it is the part area grown by the kerf,
// at the cheapest value per grown area each part can have: the kerf no layout can avoid. The
// functions and the split of each sheet kind are chosen in turn, sheet kind by sheet kind, to
// make the sum largest; any choice gives a valid bound.
double KindsBound(const TProblem &P, const std::vector<std::pair<std::size_t, i64>> &Big)
{
    const std::size_t NI = P.Items.size(), NS = P.Sheets.size();
    if (NI == 0 || NS == 0)
        return 0.0;
    std::vector<i64> NBig(NI, 0);
    bool AnyBig = false;
    for (const auto &[i, n] : Big) {
        NBig[i] = n;
        AnyBig = AnyBig || n > 0;
    }
    // Function pairs tried per sheet kind: as many as keep the work (sheet kinds x pairs x part
    // kinds, twice) near a hundred thousand; on large jobs only the identity.
    const std::size_t Pairs
        = std::clamp<std::size_t>(50000 / std::max<std::size_t>(NI * NS, 1), 1, 121);
    const std::size_t PerSide
        = std::max<std::size_t>(1, static_cast<std::size_t>(std::sqrt(double(Pairs))));
    auto Functions = [&](const TSheet &S, i64 C) {
        std::vector<TDff> Out { { 0, C, 0 } };
        if (C > 10000000 || PerSide < 2)
            return Out; // beyond ten million the products would not stay exact in a double
        for (i64 k = 1; k <= 4 && Out.size() < PerSide; ++k)
            Out.push_back({ 2, C, k });
        // Thresholds at grown part sides between a quarter and half of the side.
        std::vector<i64> E;
        for (const TItem &I : P.Items)
            for (const i64 Side : { I.Long + S.Kerf, I.Short + S.Kerf })
                if (4 * Side > C && 2 * Side <= C)
                    E.push_back(Side);
        std::sort(E.begin(), E.end());
        E.erase(std::unique(E.begin(), E.end()), E.end());
        const std::size_t Room
            = std::min(PerSide > Out.size() ? PerSide - Out.size() : 0, E.size());
        for (std::size_t j = 0; j < Room; ++j)
            Out.push_back({ 1, C, E[(j * E.size()) / Room] });
        return Out;
    };
    const double Inf = std::numeric_limits<double>::infinity();
    // For one sheet kind: each function's share of each part's grown side, per way the part
    // lies (infinity where it does not fit that way).
    struct TTable
    {
        std::vector<TDff> FX, FY;
        std::vector<double> X[2], Y[2]; // [way][function * NI + part]
    };
    auto Table = [&](std::size_t s) {
        const TSheet &S = P.Sheets[s];
        const i64 WW = S.W + S.Kerf, HH = S.H + S.Kerf;
        TTable T;
        T.FX = Functions(S, WW);
        T.FY = Functions(S, HH);
        for (int t = 0; t < 2; ++t) {
            T.X[t].assign(T.FX.size() * NI, Inf);
            T.Y[t].assign(T.FY.size() * NI, Inf);
            for (std::size_t i = 0; i < NI; ++i) {
                const TItem &I = P.Items[i];
                const i64 w = (t ? I.Short : I.Long) + S.Kerf, h = (t ? I.Long : I.Short) + S.Kerf;
                if (w > WW || h > HH)
                    continue;
                for (std::size_t f = 0; f < T.FX.size(); ++f)
                    T.X[t][f * NI + i] = double(T.FX[f].Num(w)) / double(T.FX[f].Den());
                for (std::size_t g = 0; g < T.FY.size(); ++g)
                    T.Y[t][g * NI + i] = double(T.FY[g].Num(h)) / double(T.FY[g].Den());
            }
        }
        return T;
    };
    auto Shares = [&](const TTable &T, std::size_t f, std::size_t g, std::vector<double> &U) {
        for (std::size_t i = 0; i < NI; ++i) {
            const double A = T.X[0][f * NI + i], B = T.X[1][f * NI + i];
            U[i] = std::min(
                A == Inf ? Inf : A * T.Y[0][g * NI + i], B == Inf ? Inf : B * T.Y[1][g * NI + i]);
        }
    };
    // Worth of the parts of kind i on sheet kind s: plain parts, and big ones.
    std::vector<double> Plain(NS * NI), BigW(NS * NI);
    std::vector<double> U(NI);
    for (std::size_t s = 0; s < NS; ++s) {
        Shares(Table(s), 0, 0, U);
        const double V = P.Sheets[s].Value;
        for (std::size_t i = 0; i < NI; ++i)
            Plain[s * NI + i] = BigW[s * NI + i] = V * U[i];
    }
    auto Total = [&](const std::vector<double> &Pl, const std::vector<double> &Bg) {
        double Sum = 0.0;
        for (std::size_t i = 0; i < NI; ++i) {
            const TItem &I = P.Items[i];
            if (I.Count > NBig[i])
                Sum += double(I.Count - NBig[i]) * Pl[i];
            if (NBig[i])
                Sum += double(NBig[i]) * Bg[i];
        }
        return Sum;
    };
    std::vector<double> OtherPlain(NI), OtherBig(NI);
    auto Others = [&](std::size_t Skip) {
        for (std::size_t i = 0; i < NI; ++i) {
            OtherPlain[i] = OtherBig[i] = Inf;
            for (std::size_t o = 0; o < NS; ++o) {
                if (o == Skip)
                    continue;
                OtherPlain[i] = std::min(OtherPlain[i], Plain[o * NI + i]);
                OtherBig[i] = std::min(OtherBig[i], BigW[o * NI + i]);
            }
        }
    };
    Others(NS);
    double Bound = Total(OtherPlain, OtherBig);
    // The split of a sheet kind's value is tried where the job is small enough.
    const bool Split = AnyBig && NI * NS <= 5000;
    if (PerSide < 2 && !Split)
        return Bound; // nothing to choose
    std::vector<double> Pl(NI), Bg(NI), BestU(NI);
    for (int Pass = 0; Pass < 2; ++Pass) {
        for (std::size_t s = 0; s < NS; ++s) {
            Others(s);
            const double V = P.Sheets[s].Value;
            auto Try = [&](double A) {
                for (std::size_t i = 0; i < NI; ++i) {
                    Pl[i] = std::min(OtherPlain[i], A * U[i]);
                    Bg[i] = std::min(OtherBig[i], A * U[i] + (V - A));
                }
                return Total(Pl, Bg);
            };
            const TTable T = Table(s);
            double Here = -1.0, HereA = V;
            for (std::size_t f = 0; f < T.FX.size(); ++f)
                for (std::size_t g = 0; g < T.FY.size(); ++g) {
                    Shares(T, f, g, U);
                    const double Sum = Try(V);
                    if (Sum > Here) {
                        Here = Sum;
                        BestU = U;
                    }
                }
            // The split of the value between shares and big parts, for the best functions.
            U = BestU;
            if (Split)
                for (int k = 0; k < 10; ++k) {
                    const double A = V * k / 10.0;
                    const double Sum = Try(A);
                    if (Sum > Here) {
                        Here = Sum;
                        HereA = A;
                    }
                }
            if (Here > Bound) {
                for (std::size_t i = 0; i < NI; ++i) {
                    Plain[s * NI + i] = HereA * U[i];
                    BigW[s * NI + i] = HereA * U[i] + (V - HereA);
                }
                Bound = Here;
            }
        }
    }
    return Bound;
}

// The least value of whole sheets whose grown areas together reach the grown area of the parts
// (each part grown by the least kerf of the sheet kinds it fits), with as many sheets as there
// are big parts: sheets come whole, which matters where a job needs few of them. Branch and
// bound over the sheet kinds by value per grown area; 0 when that takes too long.
double CoverBound(const TProblem &P, i64 BigParts)
{
    struct TKind
    {
        double Cap, Value;
    };
    std::vector<TKind> Kinds;
    for (const TSheet &S : P.Sheets)
        Kinds.push_back({ double(S.W + S.Kerf) * double(S.H + S.Kerf), S.Value });
    if (Kinds.empty())
        return 0.0;
    std::sort(Kinds.begin(), Kinds.end(),
        [](const TKind &A, const TKind &B) { return A.Value * B.Cap < B.Value * A.Cap; });
    double Demand = 0.0;
    for (std::size_t i = 0; i < P.Items.size(); ++i) {
        const TItem &I = P.Items[i];
        double Least = std::numeric_limits<double>::infinity();
        for (std::size_t s = 0; s < P.Sheets.size(); ++s)
            if (P.Fits(int(i), int(s))) {
                const i64 K = P.Sheets[s].Kerf;
                Least = std::min(Least, double(I.Long + K) * double(I.Short + K));
            }
        if (std::isfinite(Least))
            Demand += Least * double(I.Count);
    }
    // Whole sheets matter where a job needs few of them: beyond a few hundred the gain is below
    // a few tenths of a percent and the search would mostly weigh sheet kinds of like value.
    if (Demand > 200.0 * Kinds.front().Cap)
        return 0.0;
    // Per kind from k on: the least value per grown area and the least value of a sheet.
    const std::size_t N = Kinds.size();
    std::vector<double> LeastValue(N + 1, std::numeric_limits<double>::infinity());
    for (std::size_t k = N; k-- > 0;)
        LeastValue[k] = std::min(LeastValue[k + 1], Kinds[k].Value);
    double Best = std::numeric_limits<double>::infinity();
    std::size_t Nodes = 0;
    bool Aborted = false;
    const std::function<void(std::size_t, double, double, double)> Dive
        = [&](std::size_t k, double Left, double Count, double Value) {
              if (Aborted)
                  return;
              if (++Nodes > 50000) {
                  Aborted = true;
                  return;
              }
              if (Left <= 0.0 && Count <= 0.0) {
                  Best = std::min(Best, Value);
                  return;
              }
              if (k == N)
                  return;
              const double Lower = Value
                  + std::max(std::max(Left, 0.0) * Kinds[k].Value / Kinds[k].Cap,
                      std::max(Count, 0.0) * LeastValue[k]);
              if (!(Lower < Best))
                  return;
              const double Most
                  = std::max(std::ceil(std::max(Left, 0.0) / Kinds[k].Cap), std::max(Count, 0.0));
              if (Most > 1e9)
                  return;
              for (double x = Most; x >= 0.0 && !Aborted; x -= 1.0)
                  Dive(k + 1, Left - x * Kinds[k].Cap, Count - x, Value + x * Kinds[k].Value);
          };
    Dive(0, Demand, double(BigParts), 0.0);
    return Aborted || !std::isfinite(Best) ? 0.0 : Best;
}

} // namespace

TBound LowerBound(const TProblem &P, bool AreaOnly)
{
    TBound B;
    if (P.Items.empty() || P.Sheets.empty())
        return B;
    // Each part at the least value per area of the sheet kinds it fits.
    double ByPart = 0.0, Plain = 0.0;
    std::vector<double> PartDensity(P.Items.size(), 0.0);
    for (std::size_t i = 0; i < P.Items.size(); ++i) {
        const TItem &I = P.Items[i];
        double D = std::numeric_limits<double>::infinity();
        for (std::size_t s = 0; s < P.Sheets.size(); ++s)
            if (P.Fits(int(i), int(s)))
                D = std::min(
                    D, P.Sheets[s].Value / (double(P.Sheets[s].W) * double(P.Sheets[s].H)));
        if (!std::isfinite(D))
            D = 0.0;
        PartDensity[i] = D;
        const double A = double(I.Long) * double(I.Short) * double(I.Count);
        ByPart += A * D;
        Plain += A * P.Density;
    }
    B.AreaBound = Plain;
    B.Value = std::max(Plain, ByPart);
    if (AreaOnly) {
        if (P.Uniform && P.Sheets.front().Value > 0.0)
            B.Sheets = i64(std::ceil(B.Value / P.Sheets.front().Value - 1e-9));
        return B;
    }

    const std::vector<std::pair<std::size_t, i64>> Big = Apart(P);
    if (P.Uniform) {
        const TSheet &S0 = P.Sheets.front();
        i64 Kerf = S0.Kerf;
        for (const TSheet &S : P.Sheets)
            Kerf = std::min(Kerf, S.Kerf);
        const i64 WW = S0.W + Kerf, HH = S0.H + Kerf;
        std::vector<i64> L, S, N;
        i128 GrownArea = 0;
        for (const TItem &I : P.Items) {
            L.push_back(I.Long + Kerf);
            S.push_back(I.Short + Kerf);
            N.push_back(I.Count);
            GrownArea += i128(I.Long + Kerf) * (I.Short + Kerf) * I.Count;
        }
        const i128 SheetArea = i128(WW) * HH;
        i128 Sheets = (GrownArea + SheetArea - 1) / SheetArea;
        // Sheets holding one of the big parts each, and the rest of the area beyond them.
        i128 Count = 0, Room = 0;
        std::vector<char> IsBig(P.Items.size(), 0);
        for (const auto &[i, n] : Big) {
            Count += n;
            const TItem &I = P.Items[i];
            Room += (SheetArea - i128(I.Long + Kerf) * (I.Short + Kerf)) * n;
            if (n == I.Count)
                IsBig[i] = 1;
        }
        i128 Others = 0;
        for (std::size_t i = 0; i < P.Items.size(); ++i) {
            const TItem &I = P.Items[i];
            i64 n = I.Count;
            for (const auto &K : Big)
                if (K.first == i)
                    n -= K.second;
            Others += i128(I.Long + Kerf) * (I.Short + Kerf) * n;
        }
        const i128 Over = Others > Room ? Others - Room : 0;
        Sheets = std::max(Sheets, Count + (Over + SheetArea - 1) / SheetArea);
        Sheets = std::max<i128>(Sheets, DffSheets(L, S, N, WW, HH));
        B.Sheets = static_cast<i64>(std::min<i128>(Sheets, INT64_MAX));
        B.Value = std::max(B.Value, double(B.Sheets) * S0.Value);
        return B;
    }

    // Several kinds: each big part needs a sheet of its own.
    double Own = 0.0, Shared = 0.0, MaxDensity = 0.0;
    std::vector<i64> Left(P.Items.size());
    for (std::size_t i = 0; i < P.Items.size(); ++i)
        Left[i] = P.Items[i].Count;
    for (const auto &[i, n] : Big)
        Left[i] -= n;
    for (std::size_t i = 0; i < P.Items.size(); ++i) {
        if (Left[i] <= 0)
            continue;
        const TItem &I = P.Items[i];
        Shared += double(I.Long) * double(I.Short) * double(Left[i]) * PartDensity[i];
        MaxDensity = std::max(MaxDensity, PartDensity[i]);
    }
    double WithRoom = Shared;
    for (const auto &[i, n] : Big) {
        const TItem &I = P.Items[i];
        double Cheapest = std::numeric_limits<double>::infinity();
        double CheapestNet = std::numeric_limits<double>::infinity();
        for (std::size_t s = 0; s < P.Sheets.size(); ++s) {
            if (!P.Fits(int(i), int(s)))
                continue;
            const TSheet &S = P.Sheets[s];
            Cheapest = std::min(Cheapest, S.Value);
            // The sheet may carry other parts in the room beside the big one.
            const double Room = double(S.W) * double(S.H) - double(I.Long) * double(I.Short);
            CheapestNet = std::min(CheapestNet, S.Value - Room * MaxDensity);
        }
        if (!std::isfinite(Cheapest))
            continue;
        Own += Cheapest * double(n);
        WithRoom += CheapestNet * double(n);
    }
    i64 BigParts = 0;
    for (const auto &[i, n] : Big)
        BigParts += n;
    B.Value = std::max({ B.Value, Own, WithRoom, KindsBound(P, Big), CoverBound(P, BigParts) });
    return B;
}

// ---------------------------------------------------------------------------------------------

namespace {

struct TBox
{
    i64 L, T, R, B; // R, B exclusive
};

bool Separable(std::vector<TBox> &Boxes, i64 Kerf, int Depth)
{
    if (Boxes.size() <= 1)
        return true;
    if (Depth > 10000)
        return false;
    for (int Axis = 0; Axis < 2; ++Axis) {
        std::sort(Boxes.begin(), Boxes.end(),
            [Axis](const TBox &A, const TBox &B) { return Axis == 0 ? A.L < B.L : A.T < B.T; });
        i64 Reach = Axis == 0 ? Boxes[0].R : Boxes[0].B;
        for (std::size_t i = 1; i < Boxes.size(); ++i) {
            const i64 Start = Axis == 0 ? Boxes[i].L : Boxes[i].T;
            if (Reach + Kerf <= Start) {
                std::vector<TBox> Second(
                    Boxes.begin() + static_cast<std::ptrdiff_t>(i), Boxes.end());
                Boxes.resize(i);
                return Separable(Boxes, Kerf, Depth + 1) && Separable(Second, Kerf, Depth + 1);
            }
            Reach = std::max(Reach, Axis == 0 ? Boxes[i].R : Boxes[i].B);
        }
    }
    return false;
}

} // namespace

bool StripsGuillotine(const std::vector<TStrip> &Strips, i64 W, i64 H, i64 Kerf)
{
    std::vector<TBox> Boxes;
    for (const TStrip &S : Strips) {
        const i64 R = S.Row ? S.X + S.Count * S.W + (S.Count - 1) * Kerf : S.X + S.W;
        const i64 B = S.Row ? S.Y + S.H : S.Y + S.Count * S.H + (S.Count - 1) * Kerf;
        if (S.X < 0 || S.Y < 0 || R > W || B > H)
            return false;
        Boxes.push_back({ S.X, S.Y, R, B });
    }
    return Separable(Boxes, Kerf, 0);
}

} // namespace deep
