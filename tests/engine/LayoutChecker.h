// Test kit for the layout engine: a checker of the layout rules and a generator of seeded jobs.
// Standard C++ only, so that tests and benchmarks can both use it.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class TRectManage;

namespace enginetest {

struct Event
{
    int Group = 0;
    int BCindex = 0;
    int RectCount = 0;
};

// Checks the state of an engine after GoWork and one GetTotalBC against the rules every layout
// must keep, given the notifications the run raised:
// - every part lies inside its sheet; no two parts of a layout overlap or come closer than the
//   sheet's kerf; strips have Count >= 1 and the size of their part kind;
// - per part kind: placed = sum of strip Count x group Count = UsedCount <= quantity; Group and
//   Data name the last layout group that placed it and that group's sheet kind;
// - layout-group records: numbered 1..n, one notification each (Group, sheet kind, Count), sheet
//   size and area, parts area and truncated utilisation as the strips give them;
// - Execpt is false exactly when every part is placed, and then no extra notification follows;
//   with Execpt one closing notification (n+1, -1, 0);
// - GetTotalBC: per sheet kind, the sheets of its text; in all, the sum of group counts (when
//   sheet texts are distinct);
// - parts with a non-positive side and sheets with a non-positive side or negative kerf are
//   never used;
// - grain, trim and stock: parts lie inside the sheet's trim; a part held to its grain (not square)
//   on a sheet with grain keeps its length along the sheet's grain; no sheet kind gives more
//   sheets than its stock; sheets whose trim leaves no room are never used.
// Returns one line per broken rule (empty when all hold). MaxReports limits the list.
std::vector<std::string> CheckLayout(
    TRectManage &Engine, const std::vector<Event> &Events, std::size_t MaxReports = 20);

// Checks that every layout group can be cut by guillotine cuts: its parts split into two
// non-empty sets by a straight cut from edge to edge of kerf width (the strip's Blade), and each
// set again, down to single parts. Groups of more parts than the part-level checks of CheckLayout
// take are checked strip by strip (the parts of one strip lie a kerf apart in a line, so a strip
// is always cut into its parts). Returns one line per group that cannot be cut.
std::vector<std::string> CheckGuillotine(TRectManage &Engine, std::size_t MaxReports = 20);

// A rectangle of a cut replay (x to the right, y downwards, sheet millimetres).
struct Piece
{
    std::int64_t X = 0, Y = 0, W = 0, H = 0;
};

// A cut as a saw makes it: the segment where its kerf starts (X1 == X2: a vertical cut whose
// kerf runs right of the line; else Y1 == Y2, a horizontal one whose kerf runs below it).
struct CutLine
{
    std::int64_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// Replays Cuts in order on a sheet of W x H with kerf Kerf: each cut must run straight across
// the whole of exactly one piece (from edge to edge) and take something off it, and its kerf
// (with kerf 0: its line) must cross no part. At the end every part must be exactly one final
// piece and the other final pieces exactly the Offcuts (in any order). Returns what is wrong,
// or an empty text. Positions, when given, receives for each cut its distance from the left
// (vertical cut) or top (horizontal cut) edge of the piece it cut, 0 when its kerf starts
// before that edge.
std::string ReplayCuts(std::int64_t W, std::int64_t H, std::int64_t Kerf,
    const std::vector<CutLine> &Cuts, const std::vector<Piece> &Parts,
    const std::vector<Piece> &Offcuts, std::vector<std::int64_t> *Positions = nullptr);

// True when a part kind of the given size fits an empty sheet as a strip of one part with a
// kerf after it in at least one direction and one orientation (what the packer needs to place
// anything on an empty sheet).
bool FitsEmptySheet(std::int64_t PartW, std::int64_t PartH, std::int64_t SheetW,
    std::int64_t SheetH, std::int64_t Kerf);

struct GenSheet
{
    int Length = 0;
    int Width = 0;
    int Kerf = 0;
    double Price = 0.0;
    std::string Name;
    bool Grain = false;
    int Trim = 0;
    int Stock = -1; // unlimited
};

struct GenPart
{
    int Length = 0;
    int Width = 0;
    int Quantity = 0;
    std::string Name;
    bool Grain = false;
};

struct GenJob
{
    std::vector<GenSheet> Sheets;
    std::vector<GenPart> Parts;
    bool UseCost = false;
    bool UseBigSheet = false;
};

// Small deterministic random source (the standard distributions differ between libraries).
class Random
{
public:
    explicit Random(std::uint64_t Seed)
        : FEngine(Seed)
    { }
    // Uniform in [Lo, Hi].
    std::int64_t Between(std::int64_t Lo, std::int64_t Hi);
    bool Chance(int Percent) { return Between(0, 99) < Percent; }

private:
    std::mt19937_64 FEngine;
};

// A job as a workshop would enter it: parts of 50-1500 x 30-900 mm (some larger, some small),
// quantities 1-20, sheets of common sizes with kerf 0-5 and prices 40-300, options at random.
GenJob RealisticJob(Random &R, int PartKinds, int SheetKinds);

// A job for the benchmarks: PartKinds kinds of 50-1500 x 30-900 mm with quantities 1 to
// 2 x MeanQuantity - 1, SheetKinds distinct common sheet sizes (up to 10) with kerf 0-5 and prices
// 40-300, no options.
GenJob BenchmarkJob(Random &R, int PartKinds, int SheetKinds, int MeanQuantity);

// RealisticJob with grain, trims and stock: half the sheets with grain, half with a trim of up to
// 30, some with a stock of 0 to 4 sheets, half the parts held to their grain, some sheets and
// parts with their length entered as the shorter side.
GenJob LimitedJob(Random &R, int PartKinds, int SheetKinds);

// The job's first Parts parts: its part kinds in order, the last one cut short, and the rest
// left out (the benchmarks' 2,000- and 20,000-part cuts of the large job).
GenJob FirstParts(GenJob J, int Parts);

// Anything goes: zero, negative and huge sizes, quantities and kerfs, empty lists.
GenJob HostileJob(Random &R);

// Loads a job into the engine as the workspace does: Width the longer side, Height the shorter,
// EnteredLengthShorter where the length was the shorter side, grain, trim and stock.
void LoadJob(const GenJob &J, TRectManage &Engine);

// The job in the command-line tool's job-file format.
std::string JobText(const GenJob &J);

// Runs the job: LoadJob, GoWork (collecting notifications), GetTotalBC.
std::vector<Event> RunJob(const GenJob &J, TRectManage &Engine);

} // namespace enginetest
