#include "SheetPacking.h"

#include <algorithm>
#include <climits>

namespace packing {

namespace {

// Below this many kinds that could fit, looking at each of them is cheaper than anything else.
constexpr std::size_t SmallScan = 48;
// Longest sheet side for which divisors are looked up (a table of that many lists).
constexpr std::int64_t MaxDivisorSide = 1 << 16;

std::int64_t SatAdd(std::int64_t A, std::int64_t B)
{
    std::int64_t R;
    if (__builtin_add_overflow(A, B, &R))
        return B > 0 ? INT64_MAX : INT64_MIN;
    return R;
}

std::int64_t SatMul(std::int64_t A, std::int64_t B)
{
    std::int64_t R;
    if (__builtin_mul_overflow(A, B, &R))
        return ((A < 0) != (B < 0)) ? INT64_MIN : INT64_MAX;
    return R;
}

// The candidate of one kind in one orientation and direction: a strip along a side of length L
// with at most C across, parts of Along x Cross, kerf B, E parts wanted.
inline void Consider(int Kind, int Sub, std::int64_t Along, std::int64_t Cross, std::int64_t L,
    std::int64_t C, std::int64_t B, std::int64_t E, TChoice &Best)
{
    if (Along > L || Cross > C)
        return;
    const std::int64_t N = L / (Along + B);
    const std::int64_t K = E >= N ? N : E;
    if (K < 1)
        return;
    TChoice Candidate;
    Candidate.Kind = Kind;
    Candidate.Sub = Sub;
    Candidate.K = K;
    Candidate.N = N;
    Candidate.Leftover = L - K * Along - (N - 1) * B;
    Candidate.KArea = K * Along * Cross;
    if (Candidate.Beats(Best))
        Best = Candidate;
}

bool IsRow(int Sub)
{
    return Sub == 0 || Sub == 2;
}

// Whether kind Kind may take candidate Sub (every kind may take every one without Turns).
inline bool MayTake(const std::uint8_t *Turns, int Kind, int Sub)
{
    return !Turns || (Turns[Kind] >> Sub) & 1;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TStripSearch

void TStripSearch::Reset(const std::vector<TKind> &Kinds,
    const std::vector<std::int64_t> &Remaining, std::int64_t MaxSheetSide)
{
    FKinds = &Kinds;
    FByShort.clear();
    FBuckets.clear();
    FDivisors.clear();
    FDivisorStart.clear();
    FMaxAlong = 0;
    for (std::size_t k = 0; k < Kinds.size(); ++k)
        if (Kinds[k].Valid && Remaining[k] > 0)
            FByShort.push_back({ Kinds[k].Short, static_cast<int>(k) });
    std::sort(FByShort.begin(), FByShort.end(), [](const TByShort &A, const TByShort &B) {
        return A.Short < B.Short || (A.Short == B.Short && A.Kind < B.Kind);
    });

    FDivisorsOn = FByShort.size() > SmallScan && MaxSheetSide > 0 && MaxSheetSide <= MaxDivisorSide;
    if (!FDivisorsOn)
        return;
    // Parts longer than every sheet never fit and are left out of the buckets.
    for (const TByShort &S : FByShort) {
        const TKind &K = Kinds[static_cast<std::size_t>(S.Kind)];
        FMaxAlong = std::max(FMaxAlong, std::min(K.Long, MaxSheetSide));
    }
    FBuckets.resize(static_cast<std::size_t>(FMaxAlong) + 1);
    for (const TByShort &S : FByShort) {
        const TKind &K = Kinds[static_cast<std::size_t>(S.Kind)];
        if (K.Long == K.Short) {
            // A square gives the same figures in both orientations; the horizontal one comes
            // first in the scan, as a row (0) or as a column (1).
            if (K.Long <= FMaxAlong)
                FBuckets[static_cast<std::size_t>(K.Long)].push_back({ K.Short, S.Kind, 0, 1 });
            continue;
        }
        if (K.Long <= FMaxAlong)
            FBuckets[static_cast<std::size_t>(K.Long)].push_back({ K.Short, S.Kind, 0, 3 });
        if (K.Short <= FMaxAlong)
            FBuckets[static_cast<std::size_t>(K.Short)].push_back({ K.Long, S.Kind, 2, 1 });
    }
    for (auto &Bucket : FBuckets)
        std::sort(Bucket.begin(), Bucket.end(), [](const TPiece &A, const TPiece &B) {
            return A.Cross > B.Cross || (A.Cross == B.Cross && A.Kind < B.Kind);
        });
    // Divisor lists of 1 .. MaxSheetSide by a sieve, each ascending.
    const auto D = static_cast<std::size_t>(MaxSheetSide);
    FDivisorStart.assign(D + 2, 0);
    for (std::size_t d = 1; d <= D; ++d)
        for (std::size_t m = d; m <= D; m += d)
            ++FDivisorStart[m + 1];
    for (std::size_t m = 1; m <= D + 1; ++m)
        FDivisorStart[m] += FDivisorStart[m - 1];
    FDivisors.assign(static_cast<std::size_t>(FDivisorStart[D + 1]), 0);
    std::vector<int> Fill(FDivisorStart.begin(), FDivisorStart.end() - 1);
    for (std::size_t d = 1; d <= D; ++d)
        for (std::size_t m = d; m <= D; m += d)
            FDivisors[static_cast<std::size_t>(Fill[m]++)] = static_cast<int>(d);
    FBoundsStale = true;
}

void TStripSearch::Retire(int Kind)
{
    const TKind &K = (*FKinds)[static_cast<std::size_t>(Kind)];
    if (!K.Valid)
        return;
    const TByShort Key { K.Short, Kind };
    auto It = std::lower_bound(
        FByShort.begin(), FByShort.end(), Key, [](const TByShort &A, const TByShort &B) {
            return A.Short < B.Short || (A.Short == B.Short && A.Kind < B.Kind);
        });
    if (It == FByShort.end() || It->Kind != Kind)
        return; // retired already
    FByShort.erase(It);
    if (!FDivisorsOn)
        return;
    for (const std::int64_t Along : { K.Long, K.Short }) {
        if (Along > FMaxAlong)
            continue;
        auto &Bucket = FBuckets[static_cast<std::size_t>(Along)];
        Bucket.erase(std::remove_if(Bucket.begin(), Bucket.end(),
                         [Kind](const TPiece &P) { return P.Kind == Kind; }),
            Bucket.end());
    }
}

void TStripSearch::Lowered(int Kind, std::int64_t OldRemaining)
{
    const TKind &K = (*FKinds)[static_cast<std::size_t>(Kind)];
    if (K.Valid && ((OldRemaining + 1) * K.Long >= FMaxSpan || OldRemaining + 1 >= FMaxRemPlus1))
        FBoundsStale = true;
}

bool TStripSearch::FullPossible(std::int64_t L, std::int64_t B, const std::int64_t *Rem)
{
    if (FBoundsStale) {
        FBoundsStale = false;
        FMaxSpan = 0;
        FMaxRemPlus1 = 0;
        for (const TByShort &S : FByShort) {
            const std::int64_t R = Rem[S.Kind] + 1;
            FMaxSpan = std::max(FMaxSpan, R * (*FKinds)[static_cast<std::size_t>(S.Kind)].Long);
            FMaxRemPlus1 = std::max(FMaxRemPlus1, R);
        }
    }
    // (E + 1)(a + B) <= (remaining + 1) x long side + (remaining + 1) x B for every piece.
    return L < FMaxSpan + FMaxRemPlus1 * B;
}

TChoice TStripSearch::Scan(std::int64_t Lx, std::int64_t Ly, std::int64_t B,
    const std::int64_t *Rem, const std::int64_t *Used, const std::uint8_t *Turns) const
{
    TChoice Best;
    const std::int64_t MinSide = std::min(Lx, Ly);
    for (const TByShort &S : FByShort) {
        if (S.Short > MinSide)
            break;
        const std::int64_t E = Rem[S.Kind] - Used[S.Kind];
        if (E < 1)
            continue;
        const TKind &K = (*FKinds)[static_cast<std::size_t>(S.Kind)];
        if (Turns && Turns[S.Kind] != AnyTurn) {
            const std::uint8_t M = Turns[S.Kind];
            if (M & 1)
                Consider(S.Kind, 0, K.Long, K.Short, Lx, Ly, B, E, Best);
            if (M & 2)
                Consider(S.Kind, 1, K.Short, K.Long, Ly, Lx, B, E, Best);
            if (M & 4)
                Consider(S.Kind, 2, K.Short, K.Long, Lx, Ly, B, E, Best);
            if (M & 8)
                Consider(S.Kind, 3, K.Long, K.Short, Ly, Lx, B, E, Best);
            continue;
        }
        Consider(S.Kind, 0, K.Long, K.Short, Lx, Ly, B, E, Best);
        Consider(S.Kind, 1, K.Short, K.Long, Ly, Lx, B, E, Best);
        Consider(S.Kind, 2, K.Short, K.Long, Lx, Ly, B, E, Best);
        Consider(S.Kind, 3, K.Long, K.Short, Ly, Lx, B, E, Best);
    }
    return Best;
}

std::int64_t TStripSearch::LeastFull(std::int64_t L, std::int64_t C, bool Row, std::int64_t B,
    std::int64_t RMax, const std::int64_t *Rem, const std::int64_t *Used, const std::uint8_t *Turns,
    std::int64_t &Budget, TChoice &Best)
{
    // A strip of all n = L div s parts (s = part length + kerf) leaves (L mod s) + B. Those with
    // remainder r have s dividing L - r and s > r.
    for (std::int64_t r = 0; r <= RMax; ++r) {
        const std::int64_t M = L - r;
        if (M <= r)
            break;
        --Budget;
        const int *DBegin = FDivisors.data() + FDivisorStart[static_cast<std::size_t>(M)];
        const int *DEnd = FDivisors.data() + FDivisorStart[static_cast<std::size_t>(M) + 1];
        // s > r, part length s - B >= 1, and n = M div s no more than any kind has left.
        const std::int64_t SMin = std::max({ r, B, M / std::max<std::int64_t>(FMaxRemPlus1, 1) });
        const int *It = std::upper_bound(DBegin, DEnd, SMin);
        bool Found = false;
        for (; It != DEnd; ++It) {
            const std::int64_t S = *It;
            const std::int64_t Along = S - B;
            if (Along > FMaxAlong)
                break;
            const std::int64_t N = M / S;
            --Budget;
            for (const TPiece &P : FBuckets[static_cast<std::size_t>(Along)]) {
                --Budget;
                if (P.Cross > C)
                    continue;
                if (Rem[P.Kind] - Used[P.Kind] < N)
                    continue;
                if (!MayTake(Turns, P.Kind, Row ? P.RowSub : P.ColSub))
                    continue;
                // The first piece that fits with all n parts wanted has the most area of this
                // part length (Cross descending), the earliest kind among equals.
                TChoice Candidate;
                Candidate.Kind = P.Kind;
                Candidate.Sub = Row ? P.RowSub : P.ColSub;
                Candidate.K = N;
                Candidate.N = N;
                Candidate.Leftover = r + B;
                Candidate.KArea = N * Along * P.Cross;
                if (Candidate.Beats(Best))
                    Best = Candidate;
                Found = true;
                break;
            }
            if (Budget < 0)
                return -2;
        }
        if (Found)
            return r;
        if (Budget < 0)
            return -2;
    }
    return -1;
}

TChoice TStripSearch::Find(std::int64_t Lx, std::int64_t Ly, std::int64_t B,
    const std::int64_t *Rem, const std::int64_t *Used, const std::uint8_t *Turns)
{
    const std::int64_t MinSide = std::min(Lx, Ly);
    const auto Fitting = static_cast<std::size_t>(
        std::upper_bound(FByShort.begin(), FByShort.end(), MinSide,
            [](std::int64_t V, const TByShort &S) { return V < S.Short; })
        - FByShort.begin());
    if (!FDivisorsOn || Fitting <= SmallScan)
        return Scan(Lx, Ly, B, Rem, Used, Turns);

    // Looking through divisors pays only while it is cheaper than looking at every kind.
    std::int64_t Budget = static_cast<std::int64_t>(Fitting) * 2;
    TChoice RowBest, ColBest;
    const std::int64_t RRow = FullPossible(Lx, B, Rem)
        ? LeastFull(Lx, Ly, true, B, Lx, Rem, Used, Turns, Budget, RowBest)
        : -1;
    if (RRow == -2)
        return Scan(Lx, Ly, B, Rem, Used, Turns);
    const std::int64_t RCol = FullPossible(Ly, B, Rem)
        ? LeastFull(Ly, Lx, false, B, RRow >= 0 ? RRow : Ly, Rem, Used, Turns, Budget, ColBest)
        : -1;
    if (RCol == -2 || (RRow < 0 && RCol < 0))
        return Scan(Lx, Ly, B, Rem, Used, Turns);

    const std::int64_t R = RCol >= 0 && (RRow < 0 || RCol < RRow) ? RCol : RRow;
    TChoice Best;
    if (RRow == R)
        Best = RowBest;
    if (RCol == R && ColBest.Beats(Best))
        Best = ColBest;
    // A strip of fewer parts than fit leaves at least kerf + part length: only parts no longer
    // than R can match or beat the best full strip. Look at those exactly, in both directions.
    const std::int64_t Upto = std::min(R, FMaxAlong);
    for (std::int64_t Along = 1; Along <= Upto; ++Along) {
        for (const TPiece &P : FBuckets[static_cast<std::size_t>(Along)]) {
            const std::int64_t E = Rem[P.Kind] - Used[P.Kind];
            if (E < 1)
                continue;
            if (MayTake(Turns, P.Kind, P.RowSub))
                Consider(P.Kind, P.RowSub, Along, P.Cross, Lx, Ly, B, E, Best);
            if (MayTake(Turns, P.Kind, P.ColSub))
                Consider(P.Kind, P.ColSub, Along, P.Cross, Ly, Lx, B, E, Best);
        }
    }
    return Best;
}

// ---------------------------------------------------------------------------------------------
// TFreeList

void TFreeList::Reset(int Width, int Height)
{
    FWidth = Width;
    FHeight = Height;
    FRects.clear();
    FAreas.clear();
    FRects.push_back({ 0, 0 });
    FAreas.push_back(Area(FRects.back()));
    FClean = 0;
}

void TFreeList::Clear()
{
    FRects.clear();
    FAreas.clear();
    FClean = 0;
}

void TFreeList::PopFront()
{
    FRects.erase(FRects.begin());
    FAreas.erase(FAreas.begin());
    FClean = std::max(FClean - 2, 0);
}

void TFreeList::Push(TFree R)
{
    FRects.push_back(R);
    FAreas.push_back(Area(R));
}

TFreeList::TFree TFreeList::SortAndFront()
{
    const int N = Size();
    for (int i = 0; i < N; ++i) {
        const int Hi = N - 1 - i;
        if (i + 1 > Hi)
            break;
        // Positions i+1 .. FClean-1-i hold no larger area (see the header).
        for (int j = std::max(i + 1, FClean - i); j <= Hi; ++j) {
            const auto I = static_cast<std::size_t>(i), J = static_cast<std::size_t>(j);
            if (FAreas[I] < FAreas[J]) {
                std::swap(FRects[I], FRects[J]);
                std::swap(FAreas[I], FAreas[J]);
            }
        }
    }
    FClean = N;
    return FRects.front();
}

bool TFreeList::Dominated(int Left, int Top) const
{
    for (const TFree &E : FRects)
        if (E.Left >= Left && E.Top >= Top)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// TTrialPacker

void TTrialPacker::Reset(const std::vector<TKind> &Kinds,
    const std::vector<std::int64_t> &Remaining, std::int64_t MaxSheetSide, TLimits Limits)
{
    FKinds = &Kinds;
    FLimits = Limits;
    FSearch.Reset(Kinds, Remaining, MaxSheetSide);
    FUsed.assign(Kinds.size(), 0);
    FOnSheet.assign(Kinds.size(), 0);
    FTouched.clear();
}

bool TTrialPacker::Covered(std::int64_t X, std::int64_t Y) const
{
    for (const TBox &Box : FBoxes)
        if (Box.X <= X && X < Box.CoverRight && Box.Y <= Y && Y < Box.CoverBottom)
            return true;
    return false;
}

bool TTrialPacker::Overlaps(std::int64_t L, std::int64_t T, std::int64_t R, std::int64_t B) const
{
    for (const TBox &Box : FBoxes)
        if (L < Box.GrowRight && Box.X < R && T < Box.GrowBottom && Box.Y < B)
            return true;
    return false;
}

void TTrialPacker::AddRemainder(std::int64_t Left, std::int64_t Top)
{
    if (FWidth <= Left || FHeight <= Top)
        return;
    if (FFree.Size() >= FLimits.MaxNullRects
        || FFree.Dominated(static_cast<int>(Left), static_cast<int>(Top)) || Covered(Left, Top + 1))
        return;
    FFree.Push({ static_cast<int>(Left), static_cast<int>(Top) });
}

void TTrialPacker::Pack(TTrial &T, int Width, int Height, int Blade,
    const std::vector<std::int64_t> &Rem, const std::uint8_t *Turns)
{
    FWidth = Width;
    FHeight = Height;
    FBlade = Blade;
    FFree.Reset(Width, Height);
    FBoxes.clear();
    for (const int Kind : FTouched) {
        FUsed[static_cast<std::size_t>(Kind)] = 0;
        FOnSheet[static_cast<std::size_t>(Kind)] = 0;
    }
    FTouched.clear();
    T.Strips.clear();

    const std::size_t Keep = T.Packed ? static_cast<std::size_t>(T.ValidQueries) : 0;
    const std::int64_t B = Blade;
    std::size_t Q = 0;
    while (!FFree.Empty()) {
        if (static_cast<int>(T.Strips.size()) >= FLimits.MaxStripsPerSheet) {
            FFree.Clear();
            break;
        }
        const TFreeList::TFree F = FFree.SortAndFront();
        TTrial::TQuery Query;
        if (Q < Keep) {
            Query = T.Queries[Q]; // still the choice a search would make
        } else {
            const TChoice C = FSearch.Find(static_cast<std::int64_t>(Width) - F.Left,
                static_cast<std::int64_t>(Height) - F.Top, B, Rem.data(), FUsed.data(), Turns);
            Query.Kind = C.Kind;
            Query.Sub = C.Sub;
            Query.K = C.K;
            Query.N = C.N;
            Query.UsedBefore = C.Kind >= 0 ? FUsed[static_cast<std::size_t>(C.Kind)] : 0;
            if (Q < T.Queries.size())
                T.Queries[Q] = Query;
            else
                T.Queries.push_back(Query);
        }
        ++Q;
        FFree.PopFront();
        if (Query.Kind < 0)
            continue; // no strip: the free rectangle stays empty

        std::int64_t &Used = FUsed[static_cast<std::size_t>(Query.Kind)];
        if (Used == 0)
            FTouched.push_back(Query.Kind);
        Used += Query.K;

        // The strip as GetMaterialTypeGroup makes it and PlaceStrip tests it.
        const TKind &Kind = (*FKinds)[static_cast<std::size_t>(Query.Kind)];
        const bool Horizontal = Query.Sub < 2;
        const std::int64_t W = Horizontal ? Kind.Long : Kind.Short;
        const std::int64_t H = Horizontal ? Kind.Short : Kind.Long;
        const std::int64_t K = Query.K;
        const std::int64_t X = F.Left, Y = F.Top;
        std::int64_t MaxW, MaxH, EndX = X, EndY = Y, CoverR, CoverB;
        if (IsRow(Query.Sub)) {
            MaxW = X + K * W + (K - 1) * B;
            MaxH = Y + H;
            EndX = MaxW;
            CoverR = X + W * K;
            CoverB = Y + H;
        } else {
            MaxW = X + W;
            MaxH = Y + K * H + (K - 1) * B;
            EndY = MaxH + 1;
            CoverR = X + W;
            CoverB = Y + H * K;
        }
        const std::int64_t GrowR = SatAdd(MaxW, B), GrowB = SatAdd(MaxH, B);
        if (Covered(X, Y) || Covered(EndX, EndY) || Overlaps(X, Y, GrowR, GrowB))
            continue; // refused; the parts stay taken for this packing

        FBoxes.push_back({ X, Y, CoverR, CoverB, GrowR, GrowB });
        T.Strips.push_back({ Query.Kind, Query.Sub, F.Left, F.Top, static_cast<int>(W),
            static_cast<int>(H), static_cast<int>(K), MaxW, MaxH, Query.UsedBefore });
        AddRemainder(GrowR, Y);
        AddRemainder(X, GrowB);
    }
    T.Queries.resize(Q);
    T.ValidQueries = static_cast<int>(Q);
    T.Packed = true;

    // What the repeat count and the parts area need.
    T.Uses.clear();
    T.PartsArea = 0;
    for (const TTrialStrip &S : T.Strips) {
        T.PartsArea
            = SatAdd(T.PartsArea, SatMul(S.Count, static_cast<std::int64_t>(S.Width) * S.Height));
        FOnSheet[static_cast<std::size_t>(S.Kind)] += S.Count;
    }
    for (const int Kind : FTouched)
        if (const std::int64_t OnSheet = FOnSheet[static_cast<std::size_t>(Kind)])
            T.Uses.push_back({ Kind, OnSheet, FUsed[static_cast<std::size_t>(Kind)] });
}

} // namespace packing
