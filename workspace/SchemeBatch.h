#pragma once
// What the workspace hands to the layout engine, as plain rows, and 计算全部方案: every scheme of
// a project laid out in turn on a worker thread, each on an engine of its own, with the options
// of the results window. The window that starts a batch writes nothing but the cancel flag while
// it runs; results and progress come back as queued signals.

#include "ExchangeTypes.h"
#include "RunReport.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <thread>

class TRectManage;
class TRowSet;

// A sheet row of a scheme as entered (长度, 宽度 in either order).
struct TSheetInput
{
    QString Name;
    qint32 Length = 0;
    qint32 Width = 0;
    qint32 Kerf = 0;
    double Price = 0;
    bool Grain = false; // 纹理 有: grain along the length as entered
    qint32 Trim = 0; // 修边, off every edge
    qint32 Stock = -1; // 库存; -1 (an empty cell): unlimited
};

// The rows of a sheet list (原材料表 columns) and a part list (零件表 columns), in row order,
// read without moving the current row.
QList<TSheetInput> SheetInputs(const TRowSet &Rows);
QList<TPartRow> PartInputs(const TRowSet &Rows);

// Fills the engine's sheet kinds and part kinds, longer side into Width; a part or sheet whose
// entered length was its shorter side is marked so (drawings and labels give sizes as entered,
// and grain runs along the length as entered), with grain, trim and stock.
void FillEngine(TRectManage &Engine, const QList<TSheetInput> &Sheets, const QList<TPartRow> &Parts);

struct TBatchScheme
{
    qint64 Id = 0;
    QString Name;
    QList<TSheetInput> Sheets;
};

struct TBatchOptions
{
    bool UseCost = false; // 成本优先
    bool BigSheet = false; // 大板优先
    bool Deep = false; // 深度优化
    int Seconds = 10; // budget of each deep run
    std::uint64_t WorkLimit = 0; // instead of the time budget (tests)
};

struct TBatchResult
{
    qint64 Id = 0;
    QString Name;
    bool Completed = false;
    QString Why; // when not completed
    TRunTotals Totals;
};

class TSchemeBatch : public QObject
{
    Q_OBJECT
public:
    TSchemeBatch(QList<TBatchScheme> Schemes, QList<TPartRow> Parts, TBatchOptions Options,
        QObject *Parent = nullptr);
    // Stops and waits for the worker: nothing it did afterwards reaches anyone.
    ~TSchemeBatch() override;

    void start();
    // The scheme being laid out ends soon (a deep run keeps its best layout), the rest are left.
    void cancel() { FCancel = true; }
    bool isRunning() const { return FWorker.joinable() && !FDone; }
    bool wasCancelled() const { return FCancel; }
    // Every scheme laid out so far, in order; complete once finished() came.
    const QList<TBatchResult> &results() const { return FResults; }

signals:
    // Scheme Index (from 0) of Count starts, or a deep run in it improved (Text says how).
    void progress(int Index, int Count, const QString &Text);
    void finished();

private:
    void run();
    TBatchResult runOne(const TBatchScheme &Scheme);

    QList<TBatchScheme> FSchemes;
    QList<TPartRow> FParts;
    TBatchOptions FOptions;
    QList<TBatchResult> FResults; // written by the worker, read after finished()
    std::thread FWorker;
    std::atomic<bool> FCancel { false };
    std::atomic<bool> FDone { false };
    int FIndex = 0;
};
