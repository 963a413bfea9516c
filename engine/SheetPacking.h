// Working machinery of TRectManage::GoWork: the same packing and choices as the public packing
// steps (GetMaxNullRect, GetMaterialTypeGroup, PlaceStrip), on compact data and without work
// whose result is already known. Internal to the engine.
//
// Exactness rests on three observations:
// - The strip chosen for a free rectangle is the candidate with the least (leftover, -parts
//   area, scan position), where the scan position is part kind x 4 + (horizontal row, horizontal
//   column, vertical row, vertical column); GetMaterialTypeGroup's starting value, the sheet's
//   area, never wins, as a leftover is shorter than the free rectangle's side. Parts that are
//   used up take no part (k = 0 is left out). A candidate depends on the remaining quantity of its
//   kind only through k = min(n, remaining): when the remaining quantity falls, k falls or stays,
//   and a candidate whose k falls gets a strictly larger leftover.
// - So a trial packing stays exactly as it was while, for every strip it chose (placed or
//   refused), k = min(n, remaining) is unchanged: every other candidate can only have become
//   worse. A trial is re-packed only from its first strip whose k changed.
// - A strip of n parts with a kerf after each, all wanted (remaining >= n), has the leftover
//   (L mod (along + kerf)) + kerf. Candidates with the least leftover are therefore found
//   through the divisors of L - r for r = 0, 1, 2, ..., instead of by looking at every kind.
//   A strip of fewer parts than fit has a leftover of at least kerf + its part length, so only
//   short parts need an exact look besides.
#pragma once

#include <cstdint>
#include <vector>

namespace packing {

// Limits shared with TRectManage (see there).
struct TLimits
{
    int MaxStripsPerSheet;
    int MaxNullRects;
};

// Which of its four candidates (TChoice::Sub) a part kind may take on the sheet being packed, one
// bit each: every one, only the horizontal ones (0 and 1: the long side along X) or only the
// vertical ones (2 and 3). A grain-held part on a sheet with grain has one direction only.
constexpr std::uint8_t AnyTurn = 0xF;
constexpr std::uint8_t LongAlongX = 0x3;
constexpr std::uint8_t LongAlongY = 0xC;

// A part kind as the packer sees it. Long >= Short; Valid when both are positive.
struct TKind
{
    std::int64_t Long = 0;
    std::int64_t Short = 0;
    bool Valid = false;
};

// One candidate strip: kind, which of its four candidates (0 horizontal row, 1 horizontal column,
// 2 vertical row, 3 vertical column), parts in it (K), parts that would fit (N), and its figures.
struct TChoice
{
    int Kind = -1;
    int Sub = 0;
    std::int64_t K = 0;
    std::int64_t N = 0;
    std::int64_t Leftover = 0;
    std::int64_t KArea = 0;

    explicit operator bool() const { return Kind >= 0; }
    // Strictly better than Other (Other may be empty).
    bool Beats(const TChoice &Other) const
    {
        if (Other.Kind < 0)
            return true;
        if (Leftover != Other.Leftover)
            return Leftover < Other.Leftover;
        if (KArea != Other.KArea)
            return KArea > Other.KArea;
        return Kind * 4 + Sub < Other.Kind * 4 + Other.Sub;
    }
};

// Least values over positions 0 .. n-1 with changes of single values, and the last position up
// to X whose value is at most C.
class TMinTree
{
public:
    void Reset(const std::vector<std::int64_t> &Values);
    void Set(std::size_t At, std::int64_t Value);
    // The largest position <= X with a value <= C, or -1.
    std::int64_t LastAtMost(std::int64_t X, std::int64_t C) const;

private:
    std::size_t FSize = 0; // leaves (a power of two)
    std::vector<std::int64_t> FMin; // heap order, root at 1
};

// Finds the strip for a free rectangle among the part kinds with parts left.
class TStripSearch
{
public:
    // Kinds and their remaining quantities (committed) for a run; MaxSheetSide is the longest
    // side of any usable sheet kind.
    void Reset(const std::vector<TKind> &Kinds, const std::vector<std::int64_t> &Remaining,
        std::int64_t MaxSheetSide);
    // A kind has no parts left (committed): it never takes part again in this run.
    void Retire(int Kind);
    // The committed remaining quantity of a kind went down to NowRemaining.
    void Lowered(int Kind, std::int64_t NowRemaining);

    // The best strip for a free rectangle of Lx x Ly on a sheet with kerf B (B >= 0, Lx, Ly > 0),
    // given the committed remaining quantities Rem and what the trial has used so far (Used).
    // Turns, when given, holds per kind the candidates it may take (AnyTurn, LongAlongX,
    // LongAlongY); without it every kind may take all four.
    TChoice Find(std::int64_t Lx, std::int64_t Ly, std::int64_t B, const std::int64_t *Rem,
        const std::int64_t *Used, const std::uint8_t *Turns = nullptr);

private:
    struct TPiece
    {
        std::int64_t Cross; // the side across the strip
        int Kind;
        std::uint8_t RowSub; // candidate number as a row, and as a column
        std::uint8_t ColSub;
    };
    struct TByShort
    {
        std::int64_t Short;
        int Kind;
    };

    void Exact(const TPiece &P, std::int64_t Along, std::int64_t L, std::int64_t C, bool Row,
        std::int64_t B, std::int64_t E, TChoice &Best) const;
    TChoice Scan(std::int64_t Lx, std::int64_t Ly, std::int64_t B, const std::int64_t *Rem,
        const std::int64_t *Used, const std::uint8_t *Turns) const;
    // Least remainder r <= RMax with a strip of all n parts that fit, along a side of length L
    // with at most C across; Best gets the best such strip. Returns -1 when there is none up to
    // RMax, -2 when the work exceeded Budget (Budget is reduced by the work done).
    std::int64_t LeastFull(std::int64_t L, std::int64_t C, bool Row, std::int64_t B,
        std::int64_t RMax, const std::int64_t *Rem, const std::int64_t *Used,
        const std::uint8_t *Turns, std::int64_t &Budget, TChoice &Best);
    // Whether a strip of all the parts that fit can exist along a side of length L: that needs
    // a kind with (remaining + 1) x (part length + kerf) > L.
    bool FullPossible(std::int64_t L, std::int64_t B, const std::int64_t *Rem);
    // Drops the entries of retired kinds from the lists.
    void Compact();
    // Completes Best (a full strip with the least remainder, or none) with the strips of fewer
    // parts than fit, of parts no longer than Upto.
    void Partial(std::int64_t Lx, std::int64_t Ly, std::int64_t B, std::int64_t Upto,
        const std::int64_t *Rem, const std::int64_t *Used, const std::uint8_t *Turns, TChoice &Best) const;

    const std::vector<TKind> *FKinds = nullptr;
    // Pieces by the length along the strip (both orientations of each kind with parts left),
    // each bucket by Cross descending, then kind.
    std::vector<std::vector<TPiece>> FBuckets;
    // Per bucket, at least the largest committed remaining quantity of its kinds (it only
    // falls, so the value taken when the bucket was filled stays an upper bound).
    std::vector<std::int64_t> FBucketRem;
    // Per bucket, the least Cross of its pieces of kinds not retired, and a tree of them.
    std::vector<std::int64_t> FBucketCross;
    TMinTree FCrossTree;
    // A piece of a kind just retired leaves a bucket: its dead entries go when they are the
    // larger part, and the bucket's least Cross is taken again when the piece held it.
    void RetireFromBucket(std::size_t Along, std::int64_t Cross);
    // Retired kinds keep their entries in FByShort and FBuckets (where nothing is left of them
    // to take) until they are the larger part and the lists are compacted.
    std::vector<char> FRetired;
    std::size_t FRetiredEntries = 0;
    std::vector<std::size_t> FBucketDead; // entries of retired kinds per bucket
    std::int64_t FMaxAlong = 0;
    std::int64_t FMinAlong = 0; // the shortest length along of any piece
    bool FDivisorsOn = false;
    // Divisors of M ascending: FDivisors[FDivisorStart[M] .. FDivisorStart[M + 1]).
    std::vector<int> FDivisors;
    std::vector<int> FDivisorStart;
    // The largest (remaining + 1) x long side and remaining + 1 over the kinds with parts left
    // (as of the last FullPossible), and max-heaps of (value, kind) that give them: a kind's
    // entry is pushed again when its quantity falls, and old entries are dropped when on top.
    std::int64_t FMaxSpan = 0;
    std::int64_t FMaxRemPlus1 = 0;
    std::vector<std::pair<std::int64_t, int>> FSpanHeap;
    std::vector<std::pair<std::int64_t, int>> FRemHeap;
    // Kinds with parts left, by short side: a kind fits a free rectangle only if its short side
    // fits both of the rectangle's sides.
    std::vector<TByShort> FByShort;
};

// The free rectangles of the sheet being packed, each fixed by its top-left corner (all reach
// the sheet's right and bottom edges), in the list order that decides ties.
//
// The exchange sort of GetMaxNullRect compares, in pass i, position i with i+1 .. n-1-i. Done as
// written it costs n^2/4 comparisons per call; here nearly all of them are known beforehand.
// After a sort every position i holds an area at least as large as any in i+1 .. n-1-i: pass i
// made it so, and later passes only exchange inside that range. Taking the front away shifts the
// list by one, after which position i still dominates i+1 .. n-3-i; pushing appends behind. So
// in the next sort only the tail of each range, from n-2-i on, can hold a larger area. That stays
// so while the sort exchanges: an exchange moves into the later position the running maximum of
// its pass, which dominates that pass's range and so the smaller ranges of the later passes.
class TFreeList
{
public:
    struct TFree
    {
        int Left;
        int Top;
    };

    void Reset(int Width, int Height);
    bool Empty() const { return FRects.empty(); }
    int Size() const { return static_cast<int>(FRects.size()); }
    void Clear();
    TFree Front() const { return FRects.front(); }
    // The partial exchange sort of GetMaxNullRect: pass i compares position i with i+1 ..
    // n-1-i and exchanges when the later one has the larger area. Returns the front.
    TFree SortAndFront();
    void PopFront();
    void Push(TFree R);
    // Some free rectangle has its corner at or right of and at or below (Left, Top).
    bool Dominated(int Left, int Top) const;

private:
    std::int64_t Area(const TFree &R) const
    {
        return (static_cast<std::int64_t>(FWidth) - R.Left)
            * (static_cast<std::int64_t>(FHeight) - R.Top);
    }

    int FWidth = 0;
    int FHeight = 0;
    std::vector<TFree> FRects;
    std::vector<std::int64_t> FAreas; // area of each rectangle, same positions
    // Position i dominates i+1 .. FClean-1-i (see above).
    int FClean = 0;
};

// A strip of a trial, as GetMaterialTypeGroup and PlaceStrip would have made it.
struct TTrialStrip
{
    int Kind;
    int Sub;
    int X, Y;
    int Width, Height; // one part as placed
    int Count;
    std::int64_t MaxWidth, MaxHeight;
    std::int64_t UsedBefore; // parts of this kind the trial had taken before this strip
};

// The packing of one sheet kind, kept from step to step while it stays valid.
struct TTrial
{
    struct TQuery
    {
        int Kind; // -1: no strip
        int Sub;
        std::int64_t K, N;
        std::int64_t UsedBefore;
    };
    std::vector<TQuery> Queries; // one per free rectangle taken, in order
    int ValidQueries = 0; // the first ValidQueries entries of Queries still hold
    bool Packed = false; // packed at least once in this run
    std::vector<TTrialStrip> Strips; // placed strips
    struct TKindUse
    {
        int Kind;
        std::int64_t OnSheet; // parts on the sheet
        std::int64_t Taken; // parts taken by the trial, refused strips included
    };
    std::vector<TKindUse> Uses; // kinds with parts on the sheet
    std::int64_t PartsArea = 0;
};

// Packs trials of one run.
class TTrialPacker
{
public:
    void Reset(const std::vector<TKind> &Kinds, const std::vector<std::int64_t> &Remaining,
        std::int64_t MaxSheetSide, TLimits Limits);
    void Retire(int Kind) { FSearch.Retire(Kind); }
    void Lowered(int Kind, std::int64_t NowRemaining) { FSearch.Lowered(Kind, NowRemaining); }

    // Brings T up to date for a sheet of Width x Height with kerf Blade (a usable sheet): keeps
    // the first T.ValidQueries choices and searches from there on. Turns: per kind the candidates
    // it may take on this sheet (see TStripSearch::Find); it must stay the same for T all run.
    void Pack(TTrial &T, int Width, int Height, int Blade, const std::vector<std::int64_t> &Rem,
        const std::uint8_t *Turns = nullptr);

private:
    struct TBox
    {
        std::int64_t X, Y;
        std::int64_t CoverRight, CoverBottom; // parts without the kerfs between them
        std::int64_t GrowRight, GrowBottom; // strip grown by one kerf
    };
    bool Covered(std::int64_t X, std::int64_t Y) const;
    bool Overlaps(std::int64_t L, std::int64_t T, std::int64_t R, std::int64_t B) const;
    void AddRemainder(std::int64_t Left, std::int64_t Top);

    const std::vector<TKind> *FKinds = nullptr;
    TLimits FLimits {};
    TStripSearch FSearch;
    TFreeList FFree;
    std::vector<TBox> FBoxes;
    std::vector<std::int64_t> FUsed; // per kind, parts taken by the trial being packed
    std::vector<std::int64_t> FOnSheet; // per kind, parts placed by it
    std::vector<int> FTouched;
    int FWidth = 0;
    int FHeight = 0;
    int FBlade = 0;
};

} // namespace packing
