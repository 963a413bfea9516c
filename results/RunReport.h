#pragma once
// The arithmetic and the text of a finished layout run, shared by the results window and the
// command-line tool: the kerf allowance of a layout, the totals accumulated per reported layout,
// the overall utilisation with its rounding, the captions, and the report written into the
// notes pane.

#include <QString>
#include <QStringList>
#include <QtGlobal>

class TRectManage;

// Kerf allowance of layout Group (every layout when Group is -1): for every committed strip of
// the group, Blade x Count once when the strip does not touch the sheet's left edge and once
// more when it does not touch its top edge. Summed in 32 bits as the totals expect, held to
// the 32-bit range. Strips before FirstStrip are not looked at: the strips of the layout just
// reported are the last ones committed, so a caller following the run passes where they begin.
qint32 GetBladeSum(TRectManage &Engine, int Blade, int Group, int FirstStrip = 0);

// Adds one reported layout to the totals: PriceSum += price x sheets, Panel4 += sheet area x
// sheets, Panel7 += the same less the layout's kerf allowance (its strips looked for from
// FirstStrip on). A sheet index outside the sheet kinds (the closing notification of an abnormal
// end carries -1) adds nothing.
void AddLayoutTotals(TRectManage &Engine, int Group, int BCindex, int RectCount, double &PriceSum,
    qint64 &Panel4, qint64 &Panel7, int FirstStrip = 0);

// Rounds to the nearest integer, halves to the even neighbour (12.5 -> 12, 37.5 -> 38).
qint64 RoundHalfEven(double Value);

// Overall utilisation in whole percent: part area / net sheet area x 100, rounded half to
// even; 0 when there is no sheet area.
int TotalUtilisation(qint64 PartArea, qint64 NetSheetArea);

// The shortest decimal text with at most 15 significant digits, no exponent, no thousands
// separator and no trailing zeros: 12.5, 3, 0.75, 19.53525.
QString GeneralDecimal(double Value);

// Captions of the totals panels.
QString SheetCountCaption(qint64 Sheets); // "原材料总数：7"
QString UtilisationCaption(int Percent); // "总利用率：81%"
QString CostCaption(double PriceSum); // "总成本：650"

// The report of a run, line by line, after GoWork and GetTotalBC: the sheet kinds used with
// their counts and amounts, then every layout group with its part summary. costCaption is the
// caption of the total-cost panel (empty when no run has completed).
QStringList ReportLines(TRectManage &Engine, const QString &costCaption);
