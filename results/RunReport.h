#pragma once
// The arithmetic and the text of a finished layout run, shared by the results window and the
// command-line tool: the kerf allowance of a layout, the totals accumulated per reported layout,
// the overall utilisation with its rounding, the captions, and the report written into the
// notes pane.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdint>
#include <unordered_map>
#include <vector>

class TRectManage;
struct TDeepOptions;
struct TDeepResult;

// One layout notification of a run, as the engine raised it.
struct TLayoutEvent
{
    int Group = 0;
    int BCindex = -1;
    int RectCount = 0;
};

// What a completed run writes into its scheme row, from its notifications.
struct TRunTotals
{
    int Utilisation = 0; // 利用率, whole percent
    qint64 Sheets = 0; // 板材数量
    qint64 GrossArea = 0; // square millimetres of sheet (总面积 is this / 10^6)
    qint64 NetArea = 0; // the same less the kerf allowance
    double Price = 0; // 总价格
};
// The totals of a finished run from all its notifications (strips searched from the first).
TRunTotals RunTotals(TRectManage &Engine, const std::vector<TLayoutEvent> &Events);

// Kerf allowance of layout Group (every layout when Group is -1): for every committed strip of
// the group, Blade x Count once when the strip does not touch the sheet's left edge and once
// more when it does not touch its top edge; on a sheet with a trim the edges are those of the
// area inside it (x and y equal to Trim). Summed in 32 bits as the totals expect, held to the
// 32-bit range. Strips before FirstStrip are not looked at: the strips of the layout just
// reported are the last ones committed, so a caller following the run passes where they begin.
qint32 GetBladeSum(TRectManage &Engine, int Blade, int Group, int FirstStrip = 0, int Trim = 0);

// Adds one reported layout to the totals: PriceSum += price x sheets, Panel4 += sheet area x
// sheets, Panel7 += the same less the layout's kerf allowance (its strips looked for from
// FirstStrip on). A sheet index outside the sheet kinds (the closing notification of an abnormal
// end carries -1) adds nothing.
void AddLayoutTotals(TRectManage &Engine, int Group, int BCindex, int RectCount, double &PriceSum,
    qint64 &Panel4, qint64 &Panel7, int FirstStrip = 0);

// The kerf allowance of every layout group in one pass over the strips, for runs whose layouts
// are all committed before they are reported (the deep mode): per group, the number of kerfs,
// Count once for a strip away from the left edge and once more away from the top edge.
// KerfAllowance(Units, Group, Blade) is then GetBladeSum(Engine, Blade, Group) for Blade >= 0.
using TKerfUnits = std::unordered_map<int, qint64>;
TKerfUnits KerfUnitsByGroup(TRectManage &Engine);
qint32 KerfAllowance(const TKerfUnits &Units, int Group, int Blade);
// AddLayoutTotals with the kerf allowance taken from Units (a negative kerf is looked up in the
// strips as before).
void AddLayoutTotals(TRectManage &Engine, int Group, int BCindex, int RectCount, double &PriceSum,
    qint64 &Panel4, qint64 &Panel7, const TKerfUnits &Units);

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

// The labels of the report. The report is a stored format in its designed Chinese wording
// (Chinese(), what pnxcut --report writes); an English interface shows the same report with the
// labels translated (Translated(): the translation loaded into the application, the Chinese
// wording without one). Both come from one table of texts, so the two reports differ in their
// labels only.
struct TReportTexts
{
    QString SheetKinds; // "===共使用 %1 种原片==="
    QString Number; // "序号:"
    QString SheetName; // "原片名称:"
    QString SheetSize; // "原片规格:"
    QString SheetArea; // "原片面积:"
    QString Quantity; // "用    量:"
    QString Amount; // "金    额:"
    QString LayoutKinds; // "===共有 %1 种切割方案==="
    QString Layout; // "切割方案:"
    QString PartArea; // "零件面积:"
    QString Utilisation; // "利 用 率:"
    QString LayoutParts; // "  ===共切割 %1 种共 %2 件==="
    QString PartName; // "  零件名称:"
    QString PartSize; // "  零件规格:"
    QString PartAreaEach; // "  零件面积:"
    QString PartCount; // "  零件数量:"
    QString DeepTitle; // "===深度优化==="
    QString Objective; // "优化目标:"
    QString ObjectivePrice; // "总价格"
    QString ObjectiveArea; // "总面积"
    QString Work; // "计算量:"
    QString Time; // "计算用时:"
    QString Seconds; // "秒"
    QString Result; // "结    果:"
    QString Bound; // "下    界:"
    QString Gap; // "差    距:"
    QString ProvenOptimal; // "已证明最优"
    QString NotAllPlaced; // "未全部排下"
    QString LimitTitle; // "===纹理 修边 库存==="
    QString LimitPartName; // "零件名称:"
    QString LimitPartSize; // "零件规格:"
    QString Grain; // "纹    理:"
    QString SheetGrain; // "有"
    QString PartGrain; // "顺纹"
    QString Trim; // "修    边:"
    QString Stock; // "库    存:"

    static const TReportTexts &Chinese();
    static TReportTexts Translated();
};

// The report of a run, line by line, after GoWork and GetTotalBC: the sheet kinds used with
// their counts and amounts, then every layout group with its part summary. costCaption is the
// caption of the total-cost panel (empty when no run has completed).
QStringList ReportLines(TRectManage &Engine, const QString &costCaption,
    const TReportTexts &Texts = TReportTexts::Chinese());

// The block a deep run appends to the report, after the designed lines:
//   ===深度优化===
//   优化目标:总面积 | 总价格
//   计算用时:3.2秒        (a run limited by work instead: 计算量:<units of work>)
//   结    果:<objective>  (square millimetres, or the total price)
//   下    界:<bound>      (proven: no layout of these parts needs less)
//   差    距:1.23% | 已证明最优
QStringList DeepReportLines(const TDeepResult &Result, bool WorkLimited,
    const TReportTexts &Texts = TReportTexts::Chinese());
// The gap of a deep result to its bound: "1.23%", or "已证明最优" when the bound is reached,
// "未全部排下" when stock ran out before every part was placed.
QString DeepGapText(const TDeepResult &Result, const TReportTexts &Texts = TReportTexts::Chinese());
// The caption beside the totals after a deep run: "下界：24.78m² 差距：1.23%", "下界：7张 …" where
// the sheet kinds are all alike, "下界：438 …" with the cost objective. The captions are in the
// language of the interface.
QString DeepBoundCaption(const TDeepResult &Result);

// The block the report ends with when a sheet kind has grain, a trim or a limited stock, or a part
// kind is held to its grain (nothing otherwise), after the designed lines and the deep block:
//   ===纹理 修边 库存===
//   ====================            for every such sheet kind, in list order
//   原片名称:<name>
//   原片规格:<length> x <width>
//   纹    理:有                       (only what is set)
//   修    边:<mm>
//   库    存:<sheets>
//   用    量:<sheets the run used>    (with a stock)
//   ====================            for every part kind held to its grain
//   零件名称:<name>
//   零件规格:<length> x <width>
//   纹    理:顺纹
// Call after GetTotalBC.
QStringList LimitReportLines(
    TRectManage &Engine, const TReportTexts &Texts = TReportTexts::Chinese());
