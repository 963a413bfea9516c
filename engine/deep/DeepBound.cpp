// Lower bounds on the objective of any layout of a job, and the guillotine test of a sheet.
#include "DeepSearch.h"

#include <algorithm>
#include <cmath>

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
            const i128 T = i128(P + 1) * X;
            if (T % C == 0)
                return X * P;
            return static_cast<i64>(T / C) * C;
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

} // namespace

TBound LowerBound(const TProblem &P)
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
    B.Value = std::max({ B.Value, Own, WithRoom });
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
