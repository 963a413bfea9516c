// pnxcut --cuts: the cut plan of every layout of a finished run as records.
#pragma once

#include <string>

class TRectManage;

namespace cli {

// For every layout group G of the run (in GroupList order; records without strips left out):
// its cuts in the saw's order as "cut G N X1 Y1 X2 Y2" (the segment where the kerf starts, in
// sheet coordinates; the kerf lies right of a vertical cut and below a horizontal one), then the
// pieces left over without parts as "offcut G X Y W H"; a layout that cannot be cut edge to edge
// gets the single record "cuts G none".
std::string FormatCuts(TRectManage &Engine);

} // namespace cli
