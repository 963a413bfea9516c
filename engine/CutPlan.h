// Cut plan of one layout: the cuts a panel-saw operator makes to free every part of one sheet,
// in the order the saw makes them, and the pieces left over (offcuts).
//
// Every cut runs straight across the whole piece it lies in (edge to edge) and removes a band of
// kerf width. The saw works stage by stage: stage 1 cuts the whole sheet into strips, stage 2
// cuts each strip, stage 3 each piece of a strip, and so on, alternating between cuts along the
// sheet's length (纵切) and across it (横切). The cuts are numbered 1..n: all cuts of stage 1, then
// those of stage 2 strip by strip, and so on; within a stage, piece by piece in the order the
// pieces came off, and within a piece from its reference edge (left for cuts across x, top for
// cuts across y) onwards. The last cuts around a part that free it from waste are cuts like any
// other.
//
// Coordinates are those of the engine: millimetres, x to the right along the sheet's Width, y
// downwards along its Height, from the sheet's top left corner. A cut is given where the saw's
// kerf starts: a vertical cut at x = X1 removes [X1, X1 + Kerf) over its length, a horizontal one
// at y = Y1 removes [Y1, Y1 + Kerf), as the engine places parts a kerf to the right of and below
// their neighbours. The kerf of a trim cut may reach past the piece's edge (over an earlier kerf
// or off the sheet) when less than a kerf of waste is left to take off.
//
// A layout that cannot be cut this way (some piece holds parts that no straight cut separates,
// or parts overlap or leave the sheet) has no plan: Cuttable is false and the lists are empty.
// Layouts of the deep mode can always be cut; those of the quick mode often, not always.
//
// Standard C++ only; plain values computed once per layout.
#pragma once

#include <cstdint>
#include <vector>

class TRectManage;

// One placed part, in sheet millimetres.
struct TCutPart
{
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// 纵切 (Rip): along the sheet's length (its longer side); 横切 (Cross): across it. On the usual
// sheet, Width >= Height, a rip cut is a horizontal line and a cross cut a vertical one.
enum class TCutDirection : std::uint8_t { Rip, Cross };

struct TCut
{
    int Number = 0; // 1..n, the saw's order
    int Stage = 0; // 1: across the whole sheet, 2: across a strip of it, ...
    TCutDirection Direction = TCutDirection::Rip;
    bool Vertical = false; // the line runs along y (X1 == X2)
    // The segment where the kerf starts, across the whole piece the cut lies in.
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    // Distance from the reference edge of the piece the cut lies in (its left edge for a vertical
    // cut, its top edge for a horizontal one) to the kerf: the size of what comes off on that
    // side. 0 for a trim cut whose kerf starts at or before that edge.
    int Position = 0;
    int Length = 0; // of the cut: the piece's extent along the line
};

// A piece left after all cuts that holds no part.
struct TOffcut
{
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    bool Kept = false; // 余料: at least the minimum offcut size; otherwise waste
};

// The smallest offcut worth keeping (余料): its longer side at least MinLength and its shorter
// side at least MinWidth. The settings keep it as MinOffcutLength and MinOffcutWidth.
struct TOffcutRule
{
    int MinLength = 200;
    int MinWidth = 200;

    bool Keeps(int Width, int Height) const;
};

struct TCutPlan
{
    // False: the layout cannot be cut edge to edge ("此排版不能全部一刀切通"); no cuts, no offcuts.
    bool Cuttable = false;
    int SheetWidth = 0;
    int SheetHeight = 0;
    int Kerf = 0;
    int Stages = 0; // highest stage of any cut (0 without cuts)
    std::vector<TCut> Cuts; // in the saw's order, Number = position + 1
    std::vector<TOffcut> Offcuts; // in the order the cuts free them

    int KeptOffcuts() const; // number of 余料 pieces
};

// The cut plan of a sheet of SheetWidth x SheetHeight with kerf Kerf carrying Parts. Of the
// possible first directions the one giving fewer stages is taken, then the one giving fewer
// cuts, then cuts along the sheet's length first.
TCutPlan MakeCutPlan(int SheetWidth, int SheetHeight, int Kerf, const std::vector<TCutPart> &Parts,
    const TOffcutRule &Rule = TOffcutRule());

// The cut plan of a sheet with an edge trim of Trim on every side (the parts lie inside it): the
// four trim cuts come first, two along the sheet's length across the whole sheet (stage 1), then
// two across it over the piece between them (stage 2), each with its kerf inside the trim next to
// the area kept; then the plan of the area inside the trim (MakeCutPlan), its stages counted on
// from 3. What the trim cuts take off is listed among the offcuts, never kept. Trim 0 is
// MakeCutPlan itself; a trim that leaves no room, or parts outside the area kept, give a plan
// that is not cuttable.
TCutPlan MakeTrimmedCutPlan(int SheetWidth, int SheetHeight, int Trim, int Kerf,
    const std::vector<TCutPart> &Parts, const TOffcutRule &Rule = TOffcutRule());

// The parts of layout group Group of the engine's last run, from the committed strips of
// CreateRectList: a strip of Count parts gives Count parts a strip's kerf apart, along x for a
// row (Range horizontal) and along y for a column.
std::vector<TCutPart> LayoutParts(TRectManage &Engine, int Group);

// The cut plan of layout group Group of the engine's last run: sheet size and trim from its record
// in GroupList, kerf from its strips (0 when it has none), parts as LayoutParts gives them. A group
// number without a record gives a plan that is not cuttable.
TCutPlan MakeCutPlan(TRectManage &Engine, int Group, const TOffcutRule &Rule = TOffcutRule());

// The plans of every record of GroupList, in its order, in one pass over the strips: item i is
// MakeCutPlan(Engine, GroupList item i's Group, Rule).
std::vector<TCutPlan> MakeCutPlans(TRectManage &Engine, const TOffcutRule &Rule = TOffcutRule());
