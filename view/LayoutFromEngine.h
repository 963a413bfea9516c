#pragma once
// Layout views made from the engine's results: what the results window does when the engine
// reports a layout (a view sized to the sheet, carrying the layout number, sheet count and kerf)
// and when a layout is first shown, previewed or printed (its parts drawn from the committed
// strips, and its cut plan). The command-line tool's PDF output builds its views the same way.

#include "CutPlan.h"
#include "DrawMaterial.h"

class TDrawMaterial;
class TMaterialType;
class TRectManage;

// Sets up a new view for layout Group, cut RectCount times from sheet kind Sheet: sheet size,
// Tag = RectCount, Group, Blade = the sheet's kerf, the sheet's trim and grain, hints shown, the
// button-face colour, yellow selection and blue lines. Draws nothing yet.
void SetupLayoutView(TDrawMaterial &View, TMaterialType &Sheet, int Group, int RectCount);
// The same from the sheet's length, width, kerf, trim and grain, as they were when the layout
// was reported.
void SetupLayoutView(TDrawMaterial &View, int SheetWidth, int SheetHeight, int Blade, int Group,
    int RectCount, int Trim = 0, TGrainDirection Grain = TGrainDirection::None);

// Which way a sheet kind's grain runs as the layout draws it (None without grain).
TGrainDirection SheetGrainDirection(const TMaterialType &Sheet);

// Fills the view's drawn rectangles from the engine's committed strips of the view's Group: a
// strip of Count parts becomes Count rectangles spaced by the strip's kerf, along the sheet's
// length (horizontal strips) or its width (vertical ones), each marked Turned when its entered
// length (the strip's EnteredLengthShorter says which side that was) runs along the sheet's
// width, and a part held to its grain (a strip with Grain) with its grain along its entered
// length (a square one along the sheet's grain, where the sheet has grain). Then gives the view
// the layout's cut plan (MakeTrimmedCutPlan on the view's sheet size, trim and kerf and the
// group's parts), with offcuts kept as 余料 by Rule; the two-argument form takes the
// rule from the settings (MinOffcutLength, MinOffcutWidth). Painting is off while it fills and on
// afterwards. Rectangles already in the view stay; callers fill a view once, while it has none.
void DrawPanel(TDrawMaterial &View, TRectManage &Engine);
void DrawPanel(TDrawMaterial &View, TRectManage &Engine, const TOffcutRule &Rule);

// The smallest offcut kept as 余料 by the settings (MinOffcutLength x MinOffcutWidth).
TOffcutRule OffcutRuleFromSettings();
