#pragma once
// The plain data that goes in and out of files: part rows as the user entered them, the
// layouts of a finished run (sheet, placed parts, and cut lines once there are any), and the
// sheet usage. Made from the engine or the workspace's rows by the functions below, so that
// every writer works on the same few types and tests can build them by hand.

#include <QList>
#include <QString>
#include <QtGlobal>

#include <utility>
#include <vector>

class TRectManage;
class TRowSet;

// One row of a part list, sizes as entered (length first, not necessarily the longer side).
struct TPartRow
{
    TPartRow() = default;
    TPartRow(QString Name_, qint32 Length_, qint32 Width_, qint32 Quantity_, bool Grain_ = false)
        : Name(std::move(Name_))
        , Length(Length_)
        , Width(Width_)
        , Quantity(Quantity_)
        , Grain(Grain_)
    { }

    QString Name;
    qint32 Length = 0;
    qint32 Width = 0;
    qint32 Quantity = 0;
    bool Grain = false; // 纹理 顺纹: its length runs along the grain of a sheet with grain
    bool operator==(const TPartRow &) const = default;
};

// A part placed on a sheet, in millimetres from the sheet's top-left corner, X along the
// sheet's length, Y along its width, as the layout view draws it.
struct TPlacedPart
{
    QString Name;
    int PartIndex = -1; // position of its part kind in the engine's part list (-1: unknown)
    qint32 X = 0;
    qint32 Y = 0;
    qint32 Width = 0; // extent along X
    qint32 Height = 0; // extent along Y
};

// One straight saw cut, in the same coordinates as TPlacedPart.
struct TCutSegment
{
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
};

// One layout of a run: the sheet it is cut from, how many identical sheets are cut with it,
// and what lies on one of them.
struct TLayoutSheet
{
    int Number = 0; // the layout group, from 1 (tab 切割N)
    QString SheetName;
    qint32 SheetLength = 0; // extent along X
    qint32 SheetWidth = 0; // extent along Y
    qint32 Kerf = 0;
    int SheetCount = 0;
    std::vector<TPlacedPart> Parts;
    std::vector<TCutSegment> Cuts; // empty until cut plans are given
};

// A line of the sheet usage: sheets of one name used by the run.
struct TUsageRow
{
    QString Name;
    qint32 Length = 0;
    qint32 Width = 0;
    qint64 Sheets = 0;
};

// The parts of one layout, by name, as the results window lists them: placed size of the
// first strip of that name, and the number of pieces on one sheet.
struct TLayoutPartCount
{
    QString Name;
    qint32 Length = 0;
    qint32 Width = 0;
    qint64 PerSheet = 0;
};

// The layouts of a finished run (GoWork or GoWorkDeep), in group order, made from the engine's
// layout groups and committed strips: a strip of Count parts becomes Count placed parts spaced
// by the strip's kerf, as the layout view draws them.
std::vector<TLayoutSheet> LayoutsFromEngine(TRectManage &Engine);
// Gives every layout (as LayoutsFromEngine made them) the cuts of its cut plan; a layout that
// cannot be cut edge to edge keeps none.
void AddCutPlans(std::vector<TLayoutSheet> &Layouts, TRectManage &Engine);

// The sheet usage of the layouts: sheets summed by sheet name, in the order the names first
// appear (as the results window's usage list).
QList<TUsageRow> UsageRows(const std::vector<TLayoutSheet> &Layouts);

// The parts of one layout by name, in the order names first appear.
QList<TLayoutPartCount> LayoutPartCounts(const TLayoutSheet &Layout);

// The rows of a part list row set (columns 名称, 长度, 宽度, 数量, as 零件表), in row order,
// read without moving its current row. Empty numbers read as 0.
QList<TPartRow> PartRowsFromRowSet(const TRowSet &Rows);
