// Working machinery of TRectManage::GoWorkDeep: guillotine layouts of a whole job, searched within
// a budget, and lower bounds on what any layout of the job needs. Internal to the engine.
//
// Model. A part with kerf k needs, besides itself, a kerf to its right and below it unless it
// touches the sheet's edge there. Growing every part and the sheet by k on the right and at the
// bottom turns this into packing without kerf: parts (w + k) x (h + k) on a sheet (W + k) x (H + k)
// that do not overlap are exactly parts that lie at least a kerf apart, and a guillotine cut
// between grown parts is a cut of kerf width between the real ones. All search works on grown
// sizes.
//
// Layouts are built in a fixed order of four cut stages on a sheet that may be turned by 90
// degrees: columns from left to right (first cuts, across the sheet), rows from top to bottom in a
// column, slots from left to right in a row, and parts stacked from top to bottom in a slot. Any
// column, row and slot that is still open may grow while parts are added to it; what is left
// beside a shorter part is offcut. Every such layout is guillotine-cuttable. The open end of a
// sheet is described by its front (TFront): the corners from which the next part may be placed.
//
// Search. A partial layout (node) is the list of closed sheets, the front of the open sheet and
// the parts still to place. A move places a block of parts of one kind (one part, a row of them
// side by side in new slots, or a stack of them in one slot) at one of the front's corners, or
// opens a new sheet when nothing fits the open one. Beam search keeps, depth by depth, the nodes
// with the least waste per placed area (optionally divided by the mean part area, which places
// large parts first); widths grow while budget remains (iterative beam search). Nodes whose lower
// bound cannot beat the best layout known are dropped. For variety, a layer keeps only the best
// node (or few) of those that placed the same parts, and a pass may keep only a share of the
// children of any one node.
//
// Larger jobs are laid out sheet by sheet, each sheet filled by a narrow beam over the parts that
// fit its corners best, and the room the beam leaves closed behind its open end (below the parts
// of a slot, beside the last slot of a row, below the last row of a column) filled afterwards
// with the parts still open, within the same four stages. Several settings of the fill (how many
// parts a corner looks at, how wide the beam is) are tried in turn, as the best one differs from
// job to job. A complete layout is then improved by a large neighbourhood search: the parts of a
// few sheets (often the emptiest among them) are laid out again by the beam, or on jobs of many
// parts those of up to 64 of the emptiest sheets sheet by sheet, and the result is kept when it
// needs less, or as much but leaves a sheet emptier (which in time frees it). Last, sheets whose
// parts fit a sheet kind of less value move to it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace deep {

using i64 = std::int64_t;

// How a part is held to the grain of a sheet that has one: not at all, with its long side along
// the grain, or with its short side along it (a part whose length was entered as its shorter
// side). Square parts are never held.
enum class TLock : std::uint8_t { Free = 0, LongAlongGrain = 1, ShortAlongGrain = 2 };

// Which way a sheet's grain runs in its own coordinates.
enum class TGrain : std::uint8_t { None = 0, AlongX = 1, AlongY = 2 };

// A part kind with parts to place; Long >= Short > 0 (sides as entered, without kerf).
struct TItem
{
    i64 Long = 0;
    i64 Short = 0;
    i64 Count = 0;
    int Part = -1; // position in the engine's part kinds of the first part kind of this size
    TLock Lock = TLock::Free;
};

// A usable sheet kind: W along X, H along Y, kerf >= 0, and what one sheet counts in the
// objective (its area, or its price with the cost objective).
struct TSheet
{
    i64 W = 0;
    i64 H = 0;
    i64 Kerf = 0;
    double Value = 0.0;
    int Index = -1; // position in the engine's sheet kinds
    TGrain Grain = TGrain::None;
    i64 Stock = -1; // sheets of the kind a layout may use; -1: as many as it needs
};

struct TProblem
{
    std::vector<TItem> Items;
    std::vector<TSheet> Sheets;
    bool Cost = false; // objective: total price, else total sheet area
    // Least Value per unit of area over the sheet kinds: what a unit of part area is worth at best.
    double Density = 1.0;
    // Every sheet kind has the same size and value: sheets can be counted instead of valued.
    bool Uniform = false;
    // Some sheet kind has a stock: layouts may place fewer than all parts.
    bool Limited = false;

    // Fills Density, Uniform and Limited from the sheet kinds.
    void Prepare();
    // Whether a part of the item fits an empty sheet of the kind in a way its grain allows.
    bool Fits(int Item, int Sheet) const;
    // Whether the item may lie on the sheet kind with its long side along the sheet's Y (turned)
    // or along its X: a part held to its grain keeps its length along the grain of a sheet
    // with grain; everything else lies either way.
    bool MayLie(int Item, int Sheet, bool LongAlongY) const
    {
        const TItem &I = Items[static_cast<std::size_t>(Item)];
        const TGrain G = Sheets[static_cast<std::size_t>(Sheet)].Grain;
        if (I.Lock == TLock::Free || G == TGrain::None)
            return true;
        // The long side runs along Y when the grain does and the part's long side follows it,
        // or when the grain runs along X and the part's short side follows it.
        return LongAlongY == ((G == TGrain::AlongY) == (I.Lock == TLock::LongAlongGrain));
    }
};

// A strip of equal parts on a sheet, in the sheet's own coordinates (without kerf): Count parts
// of W x H (as placed), side by side along X (Row) or one above another along Y, a kerf apart.
struct TStrip
{
    int Item = -1;
    i64 X = 0;
    i64 Y = 0;
    i64 W = 0;
    i64 H = 0;
    i64 Count = 1;
    bool Row = true;
};

// One sheet layout, cut Repeat times.
struct TPattern
{
    int Sheet = -1;
    std::vector<TStrip> Strips;
    i64 Repeat = 1;

    i64 Parts() const;
    i64 PartsArea() const; // of one sheet
};

struct TSolution
{
    std::vector<TPattern> Patterns;
    i64 Placed = 0; // parts placed, over all repeats
    __int128 PlacedArea = 0; // their area
    double Value = 0.0; // objective: total area or total price
    __int128 Area = 0; // total sheet area, exactly

    // Placed, PlacedArea, Value and Area from the patterns.
    void Evaluate(const TProblem &P);
    // Strictly better: more parts placed, or as many of more area (layouts that stock keeps from
    // placing every part), or as many with a smaller objective.
    bool Better(const TSolution &Other, const TProblem &P) const;
    bool Empty() const { return Patterns.empty(); }
};

// Sum over sheets of the squared share of the sheet that parts cover: larger when the same parts
// leave some sheets emptier.
double Spread(const TProblem &P, const TSolution &S);

// Objective values compare with a relative tolerance so that sums in a different order agree.
bool Less(double A, double B);

// ---------------------------------------------------------------------------------------------
// Budget, cancellation and progress shared by the workers of one run.

class TControl
{
public:
    using TClock = std::chrono::steady_clock;

    // Milliseconds <= 0: no time limit; WorkPerWorker 0: no work limit. The time counts from
    // Start.
    TControl(int Milliseconds, std::uint64_t WorkPerWorker, const std::atomic<bool> *Cancel,
        TClock::time_point Start = TClock::now());

    bool TimeOrCancel() const;
    bool Cancelled() const { return FCancel && FCancel->load(std::memory_order_relaxed); }
    double Seconds() const;
    TClock::time_point Start() const { return FStart; }
    int Milliseconds() const { return FMilliseconds; }
    std::uint64_t WorkPerWorker() const { return FWorkPerWorker; }

    // Stops every worker (the whole run is decided, for instance a layout reached the bound).
    void StopAll() { FStopAll.store(true, std::memory_order_relaxed); }
    bool Stopped() const { return FStopAll.load(std::memory_order_relaxed); }

private:
    int FMilliseconds;
    std::uint64_t FWorkPerWorker;
    const std::atomic<bool> *FCancel;
    TClock::time_point FStart;
    TClock::time_point FDeadline;
    std::atomic<bool> FStopAll { false };
};

// One worker's view: its own work count and budget, and a hook that the calling thread's worker
// uses to report progress. A worker's budget is spent in phases: SetPhase(f) ends the current
// phase when the share f of the budget (by work or by time, whichever comes first) is spent.
class TWorker
{
public:
    TWorker(TControl &Control, int Id);

    void SetPhase(double UpTo);
    // Counts work; returns false when the phase or the whole run is over (budget spent,
    // cancelled). Cheap: the clock is read every few thousand units.
    bool Tick(std::uint64_t Units = 1);
    bool Stopped() const { return FPhaseOver || FRunOver; }
    std::uint64_t Work() const { return FWork; }
    int Id() const { return FId; }
    TControl &Control() { return FControl; }

    // Called on every Tick that reads the clock (set on the calling thread's worker).
    std::function<void()> OnPoll;

private:
    void Poll();

    TControl &FControl;
    int FId;
    std::uint64_t FWork = 0;
    std::uint64_t FNextPoll = 0;
    std::uint64_t FPhaseWork = 0; // 0: no work limit
    TControl::TClock::time_point FPhaseEnd;
    bool FPhaseOver = false;
    bool FRunOver = false;
};

// ---------------------------------------------------------------------------------------------
// Search

enum class TGuide : std::uint8_t {
    WasteRatio, // waste / placed area
    WastePerMeanArea, // the same, divided by the mean placed part area
};

// A subproblem: how many parts of each item to place (indices into the problem's items) and
// which sheet kinds may be used.
struct TTask
{
    std::vector<i64> Counts; // per item of the problem
    std::vector<char> SheetAllowed; // per sheet kind; empty: all
    // Per sheet kind: the sheets a layout of the task may use (-1: any number); empty: the
    // problem's stock.
    std::vector<i64> Stock;

    // The sheets of the kind a layout of the task may use, or -1 for any number.
    i64 StockOf(const TProblem &P, std::size_t Sheet) const
    {
        return Stock.empty() ? P.Sheets[Sheet].Stock : Stock[Sheet];
    }
};

// Sheets per sheet kind that the layout uses.
std::vector<i64> SheetsUsed(const TProblem &P, const TSolution &S);

// The stock per sheet kind left for a layout of some parts when the sheets Used are taken by the
// rest of a layout (-1 stays -1: any number).
std::vector<i64> StockLeft(const TProblem &P, const std::vector<i64> &Used);

// Iterative beam search for a layout of Task of less Value than Cutoff (infinity for none). Returns
// the best layout found, or an empty solution. Stops when the worker stops, when MaxWidth is
// passed, or when a layout reaches Floor (the bound).
struct TBeamOptions
{
    TGuide Guide = TGuide::WastePerMeanArea;
    std::uint64_t FirstWidth = 1;
    std::uint64_t MaxWidth = std::uint64_t(1) << 20;
    double Growth = 2.0;
    double Floor = 0.0; // no layout can be better than this: stop when it is reached
    bool OneSheet = false; // only layouts of one sheet (used to re-fit a sheet's parts)
    std::uint64_t MaxWork = 0; // work units for this search (0: until the worker stops)
    // > 0: layouts of this value are kept too (below Cutoff), the one of largest Spread winning.
    double SpreadAt = 0.0;
    // Passes run at each width, each keeping at most Width / Share children of one node (0: no
    // limit). Limiting siblings keeps the beam from filling with near-copies of one node; which
    // share finds a tight layout first varies from job to job.
    std::vector<int> SiblingShares { 0 };
    // At most this many nodes of a layer that placed the same parts (on as many closed sheets, in
    // the same view of the open one); 0: no limit. Jobs of many equal parts otherwise fill the
    // beam with the same layouts in other orders.
    std::size_t SameParts = 1;
    // Called with every improving layout (already evaluated).
    std::function<void(const TSolution &)> OnImproved;
    // Where stock may keep the task from being laid out in full: when no complete layout is
    // found, the layout of a node that nothing can follow (no part fits the open sheet and no
    // sheet of any kind is left) that places the most parts (then the most area) is returned.
    bool Partial = false;
};

TSolution BeamSearch(
    const TProblem &P, const TTask &Task, double Cutoff, TWorker &W, const TBeamOptions &Options);

// Sheet-by-sheet layout for jobs too large for a whole-job beam: each step fills one sheet of
// every allowed kind from the open parts with a narrow beam, keeps the best by objective per
// placed area, and repeats it while the open quantities (and the task's stock) allow. Returns a
// complete layout unless the worker was stopped first or the stock of every kind ran out (then
// the parts laid out so far).
struct TGreedyOptions
{
    int Width = 1; // beam width per sheet
    // Parts tried per corner and way of looking for them: more is not better, the beam's guide
    // then takes more parts that fit well locally and leaves more waste later.
    int Candidates = 1;
};

TSolution SheetBySheet(
    const TProblem &P, const TTask &Task, TWorker &W, const TGreedyOptions &Options);

// Rows of falling height, one under another, each part kind on the sheet kind of least value per
// area that it fits (and that has sheets left): a complete layout of Task, unless stock runs out,
// in time near linear in the part kinds, whatever the quantities. For parts that the budget
// leaves no time to lay out otherwise.
TSolution Shelves(const TProblem &P, const TTask &Task);

// Large neighbourhood search: repeatedly takes the parts of a few sheets off Best (often the
// emptiest sheet among them) and lays them out again by beam search, keeping the result when it
// needs less, or as much while leaving one of its sheets emptier. Returns when the worker stops or
// Floor is reached.
void Improve(const TProblem &P, TSolution &Best, TWorker &W, double Floor, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved);

// Large neighbourhood search for layouts of many sheets: the parts of many of the emptiest
// sheets (up to 64, some passed over at random) laid out again sheet by sheet in a setting
// picked at random, kept when they need less, or as much while leaving a sheet emptier.
void Regroup(const TProblem &P, TSolution &Best, TWorker &W, double Floor, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved);

// For layouts that stock keeps from placing every part: the parts of some of the emptiest sheets
// and the parts no sheet carries, laid out again sheet by sheet on as many sheets of the same
// kinds (in a setting picked at random), kept when they place more parts (then more area, then
// need less). Returns when the worker stops or every part is placed.
void Refill(const TProblem &P, TSolution &Best, TWorker &W, std::uint64_t Seed,
    const std::function<void(const TSolution &)> &OnImproved);

// Tries to move each sheet's parts to a sheet kind of smaller value (one sheet each).
bool DowngradeSheets(const TProblem &P, TSolution &S, TWorker &W);

// ---------------------------------------------------------------------------------------------
// Bounds and checks

// A proven lower bound on the objective of any layout (guillotine or not) that places every part
// of the problem: the part area (valued at the cheapest density each part can have), sheets
// counted through dual feasible functions when all sheet kinds are alike, and parts that no two
// can share a sheet.
struct TBound
{
    double Value = 0.0; // area or cost
    double AreaBound = 0.0; // the plain part-area bound, for comparison
    i64 Sheets = 0; // with Uniform: least number of sheets
};

// AreaOnly: the part area alone (valued as above), for a run whose time is already spent.
TBound LowerBound(const TProblem &P, bool AreaOnly = false);

// Whether the strips of one sheet (sheet W x H, kerf) can be separated by edge-to-edge cuts of
// kerf width, each strip taken as a whole.
bool StripsGuillotine(const std::vector<TStrip> &Strips, i64 W, i64 H, i64 Kerf);

} // namespace deep
