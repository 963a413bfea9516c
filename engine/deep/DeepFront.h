// The open end of a sheet in the four-stage layouts of the deep search, and the placement of a
// block of parts there. Internal to the engine (shared by the beam search and the sheet-by-sheet
// layout).
#pragma once

#include "DeepSearch.h"

#include <algorithm>

namespace deep {

// Corners of the open end of a sheet (grown sizes, Y downwards): the current column spans
// X1..X3, its current row Y2..Y4, the current slot of that row XS..XS+SW, and the stack in that
// slot reaches down to YC. An empty sheet has all zero.
struct TFront
{
    i64 X1 = 0, X3 = 0, Y2 = 0, Y4 = 0, XS = 0, SW = 0, YC = 0;
};

enum TType : std::uint8_t { Stack = 0, Slot = 1, NewRow = 2, Column = 3, Sheet = 4 };

// Area still open to parts on a sheet of WW x HH: the staircase of the four corners, without
// the corners whose free width or height is below M (the least side of any part left).
inline double Usable(const TFront &F, i64 WW, i64 HH, i64 M)
{
    const i64 X[4] = { F.X1, F.XS, F.XS + F.SW, F.X3 };
    const i64 Y[4] = { F.Y4, F.YC, F.Y2, 0 };
    double A = 0.0;
    int Prev = -1;
    for (int i = 0; i < 4; ++i) {
        if (WW - X[i] < M || HH - Y[i] < M)
            continue;
        if (Prev >= 0)
            A += double(X[i] - X[Prev]) * double(HH - Y[Prev]);
        Prev = i;
    }
    if (Prev >= 0)
        A += double(WW - X[Prev]) * double(HH - Y[Prev]);
    return A;
}

// Places a block of Count parts of w x h (grown) by Type: side by side in Count new slots (Row)
// or stacked in one slot. Sheet places like Column on an empty front. Gives the block's
// top-left corner and the new front; false when it does not fit.
inline bool Insert(const TFront &F, int Type, i64 w, i64 h, i64 Count, bool Row, i64 WW, i64 HH,
    TFront &N, i64 &X, i64 &Y)
{
    const i64 BW = Row ? w * Count : w;
    const i64 BH = Row ? h : h * Count;
    switch (Type) {
    case Stack: {
        if (F.SW == 0 || Row)
            return false;
        const i64 SW = std::max(F.SW, w);
        X = F.XS;
        Y = F.YC;
        if (F.XS + SW > WW || Y + BH > HH)
            return false;
        N = F;
        N.SW = SW;
        N.YC = Y + BH;
        N.Y4 = std::max(F.Y4, N.YC);
        N.X3 = std::max(F.X3, F.XS + SW);
        return true;
    }
    case Slot:
        if (F.SW == 0)
            return false;
        X = F.XS + F.SW;
        Y = F.Y2;
        if (X + BW > WW || Y + BH > HH)
            return false;
        N = F;
        N.XS = X + BW - w;
        N.SW = w;
        N.YC = Y + BH;
        N.Y4 = std::max(F.Y4, N.YC);
        N.X3 = std::max(F.X3, X + BW);
        return true;
    case NewRow:
        if (F.X3 == F.X1)
            return false;
        X = F.X1;
        Y = F.Y4;
        if (X + BW > WW || Y + BH > HH)
            return false;
        N = F;
        N.Y2 = Y;
        N.XS = X + BW - w;
        N.SW = w;
        N.YC = Y + BH;
        N.Y4 = N.YC;
        N.X3 = std::max(F.X3, X + BW);
        return true;
    default: // Column, Sheet
        X = F.X3;
        Y = 0;
        if (X + BW > WW || BH > HH)
            return false;
        N.X1 = X;
        N.X3 = X + BW;
        N.Y2 = 0;
        N.Y4 = BH;
        N.XS = X + BW - w;
        N.SW = w;
        N.YC = BH;
        return true;
    }
}

// A sheet kind in one of its two turns, with grown sides.
struct TView
{
    int Sheet;
    bool Turned;
    i64 WW, HH, Kerf;
    double Value;
    double RawArea;
};

// Whether the item may lie in the view with its short side along the view's X (Turned) or its
// long side: a turned view turns the sheet's grain with it.
inline bool MayLie(const TProblem &P, const TView &V, int Item, bool Turned)
{
    return P.MayLie(Item, V.Sheet, Turned != V.Turned);
}

inline std::vector<TView> Views(const TProblem &P, const std::vector<char> &Allowed)
{
    std::vector<TView> V;
    for (std::size_t s = 0; s < P.Sheets.size(); ++s) {
        if (!Allowed.empty() && !Allowed[s])
            continue;
        const TSheet &S = P.Sheets[s];
        const double Raw = double(S.W) * double(S.H);
        V.push_back({ int(s), false, S.W + S.Kerf, S.H + S.Kerf, S.Kerf, S.Value, Raw });
        if (S.W != S.H)
            V.push_back({ int(s), true, S.H + S.Kerf, S.W + S.Kerf, S.Kerf, S.Value, Raw });
    }
    return V;
}

// A placed block as a strip in the sheet's own coordinates: sizes without kerf, and a turned
// view turned back.
inline TStrip MakeStrip(const TView &V, int Item, i64 X, i64 Y, i64 w, i64 h, i64 Count, bool Row)
{
    TStrip St;
    St.Item = Item;
    St.X = X;
    St.Y = Y;
    St.W = w - V.Kerf;
    St.H = h - V.Kerf;
    St.Count = Count;
    St.Row = Row || Count == 1;
    if (V.Turned) {
        std::swap(St.X, St.Y);
        std::swap(St.W, St.H);
        St.Row = !St.Row || Count == 1;
    }
    return St;
}

} // namespace deep
