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
// TMinTree

void TMinTree::Reset(const std::vector<std::int64_t> &Values)
{
    FSize = 1;
    while (FSize < Values.size())
        FSize *= 2;
    FMin.assign(2 * FSize, INT64_MAX);
    std::copy(Values.begin(), Values.end(), FMin.begin() + static_cast<std::ptrdiff_t>(FSize));
    for (std::size_t i = FSize - 1; i >= 1; --i)
        FMin[i] = std::min(FMin[2 * i], FMin[2 * i + 1]);
}

void TMinTree::Set(std::size_t At, std::int64_t Value)
{
    std::size_t i = At + FSize;
    FMin[i] = Value;
    for (i /= 2; i >= 1; i /= 2)
        FMin[i] = std::min(FMin[2 * i], FMin[2 * i + 1]);
}

std::int64_t TMinTree::LastAtMost(std::int64_t X, std::int64_t C) const
{
    if (X < 0 || FSize == 0)
        return -1;
    std::size_t i = std::min(static_cast<std::size_t>(X), FSize - 1) + FSize;
    if (FMin[i] <= C)
        return static_cast<std::int64_t>(i - FSize);
    // Up until a subtree to the left holds such a value, then down into its rightmost one.
    for (;;) {
        if (i == 1)
            return -1;
        if ((i & 1) && FMin[i - 1] <= C) {
            --i;
            break;
        }
        i /= 2;
    }
    while (i < FSize) {
        i = 2 * i + 1;
        if (FMin[i] > C)
            --i;
    }
    return static_cast<std::int64_t>(i - FSize);
}

// ---------------------------------------------------------------------------------------------
// TStripSearch

void TStripSearch::Reset(const std::vector<TKind> &Kinds,
    const std::vector<std::int64_t> &Remaining, std::int64_t MaxSheetSide)
{
    FKinds = &Kinds;
    FByShort.clear();
    FBuckets.clear();
    FBucketRem.clear();
    FRetired.assign(Kinds.size(), 0);
    FRetiredEntries = 0;
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
    FBucketRem.assign(FBuckets.size(), 0);
    FBucketCross.assign(FBuckets.size(), INT64_MAX);
    FBucketDead.assign(FBuckets.size(), 0);
    FMinAlong = FMaxAlong;
    auto Put = [&](std::int64_t Along, const TPiece &P) {
        if (Along > FMaxAlong)
            return;
        const auto A = static_cast<std::size_t>(Along);
        FBuckets[A].push_back(P);
        FBucketRem[A] = std::max(FBucketRem[A], Remaining[static_cast<std::size_t>(P.Kind)]);
        FBucketCross[A] = std::min(FBucketCross[A], P.Cross);
        FMinAlong = std::min(FMinAlong, Along);
    };
    for (const TByShort &S : FByShort) {
        const TKind &K = Kinds[static_cast<std::size_t>(S.Kind)];
        if (K.Long == K.Short) {
            // A square gives the same figures in both orientations; the horizontal one comes
            // first in the scan, as a row (0) or as a column (1).
            Put(K.Long, { K.Short, S.Kind, 0, 1 });
            continue;
        }
        Put(K.Long, { K.Short, S.Kind, 0, 3 });
        Put(K.Short, { K.Long, S.Kind, 2, 1 });
    }
    for (auto &Bucket : FBuckets)
        std::sort(Bucket.begin(), Bucket.end(), [](const TPiece &A, const TPiece &B) {
            return A.Cross > B.Cross || (A.Cross == B.Cross && A.Kind < B.Kind);
        });
    FCrossTree.Reset(FBucketCross);
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
    FSpanHeap.clear();
    FRemHeap.clear();
    for (const TByShort &S : FByShort) {
        const std::int64_t R = Remaining[static_cast<std::size_t>(S.Kind)] + 1;
        FSpanHeap.push_back({ SatMul(R, Kinds[static_cast<std::size_t>(S.Kind)].Long), S.Kind });
        FRemHeap.push_back({ R, S.Kind });
    }
    std::make_heap(FSpanHeap.begin(), FSpanHeap.end());
    std::make_heap(FRemHeap.begin(), FRemHeap.end());
}

void TStripSearch::Retire(int Kind)
{
    const TKind &K = (*FKinds)[static_cast<std::size_t>(Kind)];
    char &Retired = FRetired[static_cast<std::size_t>(Kind)];
    if (!K.Valid || Retired)
        return;
    Retired = 1;
    // A kind that took no part in this run (none left at its start) has no entries.
    const TByShort Key { K.Short, Kind };
    if (!std::binary_search(
            FByShort.begin(), FByShort.end(), Key, [](const TByShort &A, const TByShort &B) {
                return A.Short < B.Short || (A.Short == B.Short && A.Kind < B.Kind);
            }))
        return;
    // Removing entries one by one costs the length of the lists each time: with many kinds of a
    // few parts each that grows with the square of the kinds. Entries of retired kinds are
    // skipped where the lists are read (they have nothing left), and dropped all at once when
    // they are the larger part of a list.
    if (FDivisorsOn) {
        RetireFromBucket(static_cast<std::size_t>(K.Long), K.Short);
        if (K.Long != K.Short)
            RetireFromBucket(static_cast<std::size_t>(K.Short), K.Long);
    }
    if (++FRetiredEntries > 64 && 2 * FRetiredEntries > FByShort.size())
        Compact();
}

void TStripSearch::RetireFromBucket(std::size_t Along, std::int64_t Cross)
{
    if (Along > static_cast<std::size_t>(FMaxAlong))
        return;
    std::vector<TPiece> &Bucket = FBuckets[Along];
    auto Retired = [this](const TPiece &P) { return FRetired[static_cast<std::size_t>(P.Kind)]; };
    if (2 * ++FBucketDead[Along] > Bucket.size()) {
        Bucket.erase(std::remove_if(Bucket.begin(), Bucket.end(), Retired), Bucket.end());
        FBucketDead[Along] = 0;
    }
    // The least Cross of the bucket's live pieces: the last live one (by Cross descending).
    if (Cross > FBucketCross[Along])
        return;
    std::int64_t Least = INT64_MAX;
    for (auto It = Bucket.rbegin(); It != Bucket.rend(); ++It)
        if (!Retired(*It)) {
            Least = It->Cross;
            break;
        }
    if (Least != FBucketCross[Along]) {
        FBucketCross[Along] = Least;
        FCrossTree.Set(Along, Least);
    }
}

void TStripSearch::Compact()
{
    auto Live = [this](int Kind) { return !FRetired[static_cast<std::size_t>(Kind)]; };
    FByShort.erase(std::remove_if(FByShort.begin(), FByShort.end(),
                       [&](const TByShort &S) { return !Live(S.Kind); }),
        FByShort.end());
    for (auto &Bucket : FBuckets)
        Bucket.erase(std::remove_if(Bucket.begin(), Bucket.end(),
                         [&](const TPiece &P) { return !Live(P.Kind); }),
            Bucket.end());
    std::fill(FBucketDead.begin(), FBucketDead.end(), 0);
    FRetiredEntries = 0; // the least Cross of each bucket's live pieces stays as it is
}

void TStripSearch::Lowered(int Kind, std::int64_t NowRemaining)
{
    const TKind &K = (*FKinds)[static_cast<std::size_t>(Kind)];
    if (!FDivisorsOn || !K.Valid || NowRemaining <= 0)
        return;
    // The kind's earlier entries no longer match its quantity and are dropped when they come up.
    FSpanHeap.push_back({ SatMul(NowRemaining + 1, K.Long), Kind });
    std::push_heap(FSpanHeap.begin(), FSpanHeap.end());
    FRemHeap.push_back({ NowRemaining + 1, Kind });
    std::push_heap(FRemHeap.begin(), FRemHeap.end());
}

bool TStripSearch::FullPossible(std::int64_t L, std::int64_t B, const std::int64_t *Rem)
{
    auto Top = [&](std::vector<std::pair<std::int64_t, int>> &Heap, bool Span) -> std::int64_t {
        while (!Heap.empty()) {
            const auto [Value, Kind] = Heap.front();
            const std::int64_t Now = Rem[Kind] + 1;
            if (!FRetired[static_cast<std::size_t>(Kind)]
                && Value
                    == (Span ? SatMul(Now, (*FKinds)[static_cast<std::size_t>(Kind)].Long) : Now))
                return Value;
            std::pop_heap(Heap.begin(), Heap.end());
            Heap.pop_back();
        }
        return 0;
    };
    FMaxSpan = Top(FSpanHeap, true);
    FMaxRemPlus1 = Top(FRemHeap, false);
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
    std::int64_t RMax, const std::int64_t *Rem, const std::int64_t *Used,
    const std::uint8_t *Turns, std::int64_t &Budget, TChoice &Best)
{
    // A strip of all n = L div s parts (s = part length + kerf) leaves r + B, r = L mod s < s:
    // s divides L - r. The first part of a bucket, by Cross descending, that is no wider than C
    // and has n left wanted has the most area of that length, the earliest kind among equals.
    auto Take = [&](std::size_t Along, std::int64_t N, std::int64_t r) {
        const std::vector<TPiece> &Bucket = FBuckets[Along];
        auto P = std::partition_point(
            Bucket.begin(), Bucket.end(), [C](const TPiece &Q) { return Q.Cross > C; });
        for (; P != Bucket.end(); ++P) {
            --Budget;
            if (Rem[P->Kind] - Used[P->Kind] < N)
                continue;
            if (!MayTake(Turns, P->Kind, Row ? P->RowSub : P->ColSub))
                continue;
            TChoice Candidate;
            Candidate.Kind = P->Kind;
            Candidate.Sub = Row ? P->RowSub : P->ColSub;
            Candidate.K = N;
            Candidate.N = N;
            Candidate.Leftover = r + B;
            Candidate.KArea = N * static_cast<std::int64_t>(Along) * P->Cross;
            if (Candidate.Beats(Best))
                Best = Candidate;
            return true;
        }
        return false;
    };

    // One part (n = 1, s = L - r > r): the longest part no longer than L - B whose other side is
    // within C, found through the tree of each length's narrowest part.
    std::int64_t R1 = -1;
    for (std::int64_t X = std::min(L - B, FMaxAlong); X >= 1;) {
        const std::int64_t Along = FCrossTree.LastAtMost(X, C);
        --Budget;
        if (Along < 1)
            break;
        const std::int64_t r = L - (Along + B);
        if (Along + B <= r || r > RMax)
            break; // more than one would fit: no such strip with a shorter part either
        if (Take(static_cast<std::size_t>(Along), 1, r)) {
            R1 = r;
            break;
        }
        if (Budget < 0)
            return -2;
        X = Along - 1;
    }
    if (R1 >= 0)
        RMax = R1;

    // Two parts or more (s <= (L - r) / 2): by r upwards through the divisors of L - r. No s
    // above FMaxAlong + B is a piece and n is below FMaxRemPlus1, so L - r = n s <=
    // (FMaxRemPlus1 - 1) x (FMaxAlong + B): smaller r have none.
    if (FMaxRemPlus1 > 2) {
        const std::int64_t Reach
            = SatMul(std::max<std::int64_t>(FMaxRemPlus1 - 1, 0), FMaxAlong + B);
        for (std::int64_t r = std::max<std::int64_t>(0, SatAdd(L, -Reach)); r <= RMax; ++r) {
            const std::int64_t M = L - r;
            if (M <= r)
                break;
            --Budget;
            const int *DBegin = FDivisors.data() + FDivisorStart[static_cast<std::size_t>(M)];
            const int *DEnd = FDivisors.data() + FDivisorStart[static_cast<std::size_t>(M) + 1];
            // s > r, part length s - B >= 1, n = M div s no more than any kind has left.
            const std::int64_t SMin
                = std::max({ r, B, M / std::max<std::int64_t>(FMaxRemPlus1, 1) });
            bool Found = false;
            for (const int *It = std::upper_bound(DBegin, DEnd, SMin); It != DEnd; ++It) {
                const std::int64_t S = *It;
                const std::int64_t Along = S - B;
                if (Along > FMaxAlong || 2 * S > M)
                    break;
                const std::int64_t N = M / S;
                --Budget;
                const auto A = static_cast<std::size_t>(Along);
                if (FBucketRem[A] < N || FBucketCross[A] > C)
                    continue; // no kind of this length has n left, or none is narrow enough
                Found = Take(A, N, r) || Found;
                if (Budget < 0)
                    return -2;
            }
            if (Found)
                return r;
            if (Budget < 0)
                return -2;
        }
    }
    return R1;
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
    if (RCol == -2)
        return Scan(Lx, Ly, B, Rem, Used, Turns);

    // The best full strip, with the least remainder R of any (none: R = -1).
    const std::int64_t R = RCol >= 0 && (RRow < 0 || RCol < RRow) ? RCol : RRow;
    TChoice Best;
    if (R >= 0 && RRow == R)
        Best = RowBest;
    if (R >= 0 && RCol == R && ColBest.Beats(Best))
        Best = ColBest;
    Partial(Lx, Ly, B, R >= 0 ? std::min(R, FMaxAlong) : FMaxAlong, Rem, Used, Turns, Best);
    return Best;
}

void TStripSearch::Partial(std::int64_t Lx, std::int64_t Ly, std::int64_t B, std::int64_t Upto,
    const std::int64_t *Rem, const std::int64_t *Used, const std::uint8_t *Turns,
    TChoice &Best) const
{
    // Along a side L a strip of K = min(E, N) parts of length a, N = L div (a + B), leaves
    // L - Q with Q = K a + (N - 1) B. A strip of fewer parts than fit (K = E < N) leaves at
    // least a + B, so only parts no longer than the best leftover less B can match it; full
    // strips are all known from LeastFull. Buckets are looked at from the longest part down,
    // those without a part narrow enough passed over through the tree: a bucket is passed over
    // too when even its largest quantity left cannot give a Q that matches the best, and the
    // search ends when no shorter part can (Q <= Mr x a + (L / (a + B) - 1) B with Mr the largest
    // quantity left of any kind, which is convex in a, so over a range it is largest at an end).
    const std::int64_t Side[2] = { Lx, Ly };
    const std::int64_t Across[2] = { Ly, Lx };
    const std::int64_t Wide = std::max(Lx, Ly);
    const double Mr = static_cast<double>(std::max<std::int64_t>(FMaxRemPlus1 - 1, 1));
    auto Tail = [&](int d, double a) {
        return Mr * a + static_cast<double>(Side[d]) * static_cast<double>(B) / (a + double(B))
            - static_cast<double>(B);
    };
    const double Shortest = static_cast<double>(std::max<std::int64_t>(FMinAlong, 1));
    for (std::int64_t X = Upto;;) {
        if (Best) {
            // A strip of fewer parts than fit leaves at least Along + B.
            X = std::min(X, Best.Leftover - B);
            if (X < 1)
                break;
            bool More = false;
            for (int d = 0; d < 2 && !More; ++d) {
                const double Need = static_cast<double>(Side[d] - Best.Leftover);
                More = std::max(Tail(d, Shortest), Tail(d, static_cast<double>(X))) >= Need - 0.5;
            }
            if (!More)
                break;
        }
        const std::int64_t Along = FCrossTree.LastAtMost(X, Wide);
        if (Along < 1)
            break;
        X = Along - 1;
        const auto A = static_cast<std::size_t>(Along);
        const std::int64_t MostLeft = FBucketRem[A];
        // Per side: the most parts a strip can have, and whether it can match the best.
        std::int64_t Cap[2] = { 0, 0 };
        for (int d = 0; d < 2; ++d) {
            if (Along > Side[d] || FBucketCross[A] > Across[d])
                continue;
            const std::int64_t N = Side[d] / (Along + B);
            const std::int64_t K = std::min(MostLeft, N);
            if (K >= 1 && (!Best || Side[d] - (K * Along + (N - 1) * B) <= Best.Leftover))
                Cap[d] = K;
        }
        if (!Cap[0] && !Cap[1])
            continue;
        // By Cross descending: along each side the first part with the most parts a strip can
        // take beats all that follow, so the look along that side ends there.
        const std::vector<TPiece> &Bucket = FBuckets[A];
        for (auto P = std::partition_point(
                 Bucket.begin(), Bucket.end(), [Wide](const TPiece &Q) { return Q.Cross > Wide; });
             P != Bucket.end() && (Cap[0] || Cap[1]); ++P) {
            const std::int64_t E = Rem[P->Kind] - Used[P->Kind];
            if (E < 1)
                continue;
            for (int d = 0; d < 2; ++d) {
                if (!Cap[d] || P->Cross > Across[d])
                    continue;
                // A part held to the other direction is no candidate (and ends no look).
                if (!MayTake(Turns, P->Kind, d == 0 ? P->RowSub : P->ColSub))
                    continue;
                Consider(P->Kind, d == 0 ? P->RowSub : P->ColSub, Along, P->Cross, Side[d],
                    Across[d], B, E, Best);
                if (std::min(E, Side[d] / (Along + B)) >= Cap[d])
                    Cap[d] = 0;
            }
        }
    }
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
