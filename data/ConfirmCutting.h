#pragma once
// 确认下料: after a completed run the workshop has cut it, and the sheet library is brought up to
// date in one transaction: the sheets the run used are taken out of the library's stock where the
// library keeps a count, and the run's usable offcuts (余料, from the cut plans) are added to it as
// sheets of their own, "余料 W×H", with their number in stock and a price in proportion to their
// area (OffcutPriceRatio of the price per area of the sheet they come from; 0 by default, which
// makes them the cheapest sheets of all).
//
// The two halves: CuttingOfRun reads what a finished run used and left from the engine's result
// lists (no database); ConfirmCutting writes it into the library (no engine).

#include "Currency.h"
#include "CutPlan.h"

#include <QList>
#include <QString>
#include <QStringList>

class TRectManage;

// Sheets of one kind a run used.
struct TUsedSheets
{
    QString name;
    int length = 0; // the sheet's sides as the run had them, longer first
    int width = 0;
    qint64 sheets = 0;
};

// Usable offcuts of one size that a run left, to be stocked as one library row.
struct TNewOffcut
{
    // Sides: along the grain of the sheet it comes from first (its length, so that the grain
    // still runs along the length), else the longer side first.
    int length = 0;
    int width = 0;
    bool grain = false; // it comes from a sheet with grain
    TCurrency price; // of one piece
    qint64 pieces = 0;

    QString name() const; // "余料 <length>×<width>"
};

struct TRunCutting
{
    QList<TUsedSheets>
        used; // by layout group, in the run's order, sheets of a name and size merged
    QList<TNewOffcut> offcuts; // by size, grain and price, in the order they first come
};

// A layout group of the finished run and the price of one sheet of it (the run's sheet kinds
// may have been replaced since: the results window keeps the price as the layout was reported).
struct TGroupPrice
{
    int group = 0;
    double price = 0.0;
};

// What the run in Engine's result lists used and left: every layout group of GroupList (its
// record gives the sheet's name, size, trim and grain, its Count the sheets), with the offcuts
// the cut plans keep as 余料 by Rule on each sheet of it. Layouts that cannot be cut edge to edge
// leave no offcuts. Offcut prices: PriceRatio x the group's price / sheet area x offcut area.
TRunCutting CuttingOfRun(TRectManage &Engine, const QList<TGroupPrice> &Prices,
    const TOffcutRule &Rule, double PriceRatio);

// What ConfirmCutting did, for the message to the user.
struct TConfirmOutcome
{
    qint64 sheetsTaken = 0; // taken from library rows that keep a count
    qint64 sheetsUncounted = 0; // used sheets whose library rows keep no count, or with no row
    QStringList shortOf; // "<name> <length>×<width>：库存少 <n> 张" where the count ran short
    qint64 offcutsAdded = 0; // pieces
    int offcutRowsAdded = 0; // new rows (the other pieces joined rows there were)
    int offcutRowsRemoved = 0; // 余料 rows whose last piece was used
};

// Writes Cutting into the sheet library (原材料信息表) of the data module's connection, all in one
// transaction; on any error nothing is written and TDBError is thrown.
// - Used sheets: library rows of the same name whose sides are the same (in either order) give
//   their stock, row by row in library order, until the sheets are taken; a row without a count
//   (Stock empty) is not counted down, and a count never goes below 0 (what is missing is
//   reported in shortOf). A 余料 row whose count reaches 0 is deleted: the piece is gone.
// - Offcuts: pieces of one size, grain and price join an offcut row of the library that has the
//   same name, sides, price and grain and keeps a count; otherwise one row each at the end: Name
//   "余料 W×H", Length, Width, Price, Grain, Trim 0, Stock the number of pieces.
TConfirmOutcome ConfirmCutting(const TRunCutting &Cutting);

// The prefix of the names of offcut rows.
QString OffcutNamePrefix(); // "余料 "

// The question before, and the message after ConfirmCutting.
QString ConfirmQuestion(const TRunCutting &Cutting);
QString ConfirmedText(const TConfirmOutcome &Outcome);
