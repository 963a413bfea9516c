#pragma once
// The texts of a cut plan (CutPlan.h) as the results window's details pane and the workshop
// printout show them, in one place.

#include <QString>
#include <QStringList>

struct TCut;
struct TCutPlan;
struct TOffcut;
enum class TCutDirection : unsigned char;

// "纵切" (along the sheet's length) or "横切" (across it).
QString CutDirectionText(TCutDirection Direction);
// "此排版不能全部一刀切通": a layout without a cut plan.
QString UncuttableText();
// Column titles of the cut list: "序号", "阶段", "方向", "位置", "长度".
QStringList CutColumnTitles();
// One row of the cut list: number, stage, direction, position (mm from the edge of the piece the
// cut lies in), length (mm).
QStringList CutRow(const TCut &Cut);
// An offcut: "余料 800×397" (kept, longer side first) or "废料 800×12".
QString OffcutText(const TOffcut &Offcut);
// The offcuts kept (余料), one line per size with the number of pieces of that size, longest
// first: "800×397  2 块".
QStringList KeptOffcutLines(const TCutPlan &Plan);
