#pragma once
// TfrmTypeSet: the results window. 优化计算 runs the engine on the scheme the workspace loaded,
// follows every layout the engine reports (a tab, the sheet usage, the running totals and the
// progress), writes the totals of a completed run into the workspace's current scheme row and the
// report of the run into the main window's notes pane. Each layout is shown on its tab as a
// to-scale drawing with its details, its part list and a zoom; 打印预览 hands the shown layout to
// the preview window.
//
// A run of thousands of layouts stays light: a layout's view is created the first time it is
// shown, previewed or printed, and drawn from the engine's strips then; the report is built once.

#include "LayoutSource.h"
#include "ExchangeTypes.h"
#include "RunReport.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QFont>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

struct TDeepProgress;

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QStatusBar;
class QTableWidget;
class QTextDocument;
class QTextEdit;
class QToolBar;
class TDrawMaterial;
class TRowSet;
enum class TGrainDirection;
class TTabStrip;

// Run totals, reset at the start of every run (PriceSum also whenever the workspace hands a
// scheme over).
extern double PriceSum; // sheet price x sheets, summed over the layouts
extern qint64 Panel4_Tag; // sheet area x sheets, in square millimetres
extern qint64 Panel7_Tag; // the same less the kerf allowance of each layout

class TfrmTypeSet : public QWidget, public TLayoutSource
{
    Q_OBJECT
public:
    // Runs Engine (not owned; it outlives the window) and follows its layout event from now on.
    explicit TfrmTypeSet(TRectManage &Engine, QWidget *parent = nullptr);
    ~TfrmTypeSet() override;

    // ---- fields ----
    int Scaling = 0; // zoom preset; 20 once the window is shown
    quint32 CostTime = 0; // tick count at the start of a run, then the elapsed milliseconds
    QPointer<QTextEdit> Notes; // the main window's notes pane (not owned)
    QPointer<QProgressBar> ProgressStatus; // the main window's progress pane (not owned)
    // Where a completed run writes its totals: the workspace's scheme set, or nullptr once the
    // workspace is gone. Set by the workspace when it hands a scheme over.
    std::function<TRowSet *()> SchemeRows;
    // What the workspace handed over with the scheme: the project's order number, the scheme's
    // name and the part rows as entered (in the engine's order), for printouts and labels.
    QString HandOffProject;
    QString HandOffScheme;
    QList<TPartRow> HandOffParts;

    // ---- controls ----
    QToolBar *ToolBar1;
    QToolBar *ToolBar2; // cut sequence, workshop printout, export, confirm
    QComboBox *ComboBox1; // zoom box
    QCheckBox *cbUseBCMax; // 大板优先
    QCheckBox *cbCost; // 成本优先
    QCheckBox *cbDeep; // 深度优化: the deep mode on a worker thread
    QSpinBox *edtSeconds; // its time budget in seconds (1 to 3600)
    QSplitter *Splitter1; // left pane | layout area
    QTableWidget *ListView2; // sheet usage: 名称, 长度, 宽度, 用量
    QTableWidget *ValueListEditor1; // details: 标识, 值
    QTableWidget *ListView1; // parts of the shown layout: 名称, 长度, 宽度, 数量
    QLabel *Panel4; // 零件总数：
    QLabel *Panel10; // hidden: total sheet area of the last completed run
    QScrollArea *ScrollBox1; // layout area
    TTabStrip *TabSet1; // 切割1, 切割2, ...
    QSpinBox *edtGoTo; // 转到切割: the number of the layout to show
    QLabel *Panel8; // 原材料总数：
    QLabel *Panel7; // 总利用率：
    QLabel *pnlPriceSum; // 总成本：
    QLabel *pnlBound; // after a deep run: 下界：… 差距：…; hidden otherwise
    QLabel *Panel5; // 原材料尺寸：
    QLabel *Panel6; // 材料利用率：
    QStatusBar *StatusBar1;
    QLabel *StatusPane0; // 150 wide: 正在计算... / 计算完成,耗时:…ms
    QLabel *StatusPane1; // 50 wide
    QProgressBar *ProgressBar1;

    // ---- commands ----
    QAction *actClose; // 关闭
    QAction *actYHJS; // 优化计算
    QAction *actPreview; // 打印预览
    QAction *actZoomIn; // 放大
    QAction *actZoomOut; // 缩小
    QAction *actConfirm; // 确认下料
    QAction *actCuts; // 锯切顺序: cut lines and numbers on the drawing, cuts and offcuts listed
    QAction *actWorkshop; // 车间图: the workshop printout from the layout shown
    QAction *actExport; // 导出: a menu of files (tables, drawings, labels)
    QAction *actExportTables; // 导出用料表: usage, part list and the parts of every layout
    QAction *actExportDxf; // 导出排版图 (DXF)
    QAction *actExportSvg; // 导出排版图 (SVG)
    QAction *actLabels; // 打印标签: one label per piece, as a PDF
    QTableWidget *lstCuts; // the cuts of the shown layout while 锯切顺序 is on
    QLabel *lblOffcuts; // its offcuts kept (余料), or why there is no cut plan

    // ---- the run ----
    void actYHJSExecute();
    // The engine's layout event.
    void NewRectList(int Group, int BCindex, int RectCount);
    void CreateDraw(int Group, int BCindex, int RectCount);
    // Kerf allowance of one layout (every layout for Group -1).
    qint32 GetBladeSum(int Blade, int Group) const;
    // The workspace handed a new scheme over: a window stopped by an abnormal end may run again.
    void SchemeReloaded();

    // 确认下料: once the last run has completed, asks, then takes the sheets it used out of the
    // library's stock and adds its usable offcuts to the library (ConfirmCutting, one
    // transaction). Each completed run can be confirmed once: runs are numbered as they
    // complete, and the number of the run confirmed last is kept; the same number again is
    // refused with confirmedAgainText(), and so is a run that did not complete.
    void actConfirmExecute();
    static QString confirmedAgainText()
    {
        return tr("这次排样已经确认下料了，不能再确认一次。");
    }
    static QString nothingToConfirmText()
    {
        return tr("还没有完成的排样：请先优化计算，全部零件排完后再确认下料。");
    }

    // ---- the deep run ----
    // With 深度优化 checked, 优化计算 runs the deep mode on a worker thread within the budget;
    // the window stays usable and shows the time and the best result so far; 优化计算 reads
    // 停止 meanwhile. When the run ends (budget spent, bound reached or 停止) the tabs, usage,
    // captions, write-back and report appear as after a quick run, with the bound and the gap.
    bool isRunning() const { return FRunning; }
    // Ends a deep run now and shows the best layout it found (nothing when none is running).
    void StopRun();
    // Test hook: deep runs limited by this much search work on one thread instead of by time,
    // as pnxcut's "option work" (0: by time again).
    void setDeepWorkLimit(std::uint64_t Units) { FWorkLimit = Units; }
    // The hint after a quick run on a scheme that offers one size at different prices.
    static QString samePriceHint()
    {
        return tr("相同尺寸有不同价格：勾选成本优先或深度优化可降低成本");
    }
    // What the status bar says besides the panes: the deep run's progress, or a hint.
    QString statusText() const;

    // The message after an abnormal end: every part kind the run left short, with its size and
    // the number still wanted; empty when nothing is missing.
    static QString UnplacedPartsText(TRectManage &Engine);

    // ---- layouts ----
    // The view of layout Group, made visible after hiding every other; nullptr when none.
    TDrawMaterial *FindPanel(int Group);
    // Shows the layout of tab Index, fitted to the width of the layout area.
    void TabSet1Change(int Index);
    void ClearTabs();
    void ScalingPanelInc();
    void ScalingPanelDec();
    void ComboBox1Change();
    void actPreviewExecute();
    void actCloseExecute();
    // The view shown now, or nullptr.
    TDrawMaterial *shownView() const;

    // ---- TLayoutSource: what the preview and printing read ----
    int LayoutCount() const override;
    TDrawMaterial *LayoutView(int i) const override;
    void DrawPanel(TDrawMaterial &View) override;
    QString UtilisationCaption() const override;
    TRectManage &Engine() const override { return FEngine; }
    QString ProjectNumber() const override { return HandOffProject; }
    QString SchemeName() const override { return HandOffScheme; }

    // ---- workshop output ----
    void actCutsExecute();
    void actWorkshopExecute();
    void actExportTablesExecute();
    void actExportDxfExecute();
    void actExportSvgExecute();
    void actLabelsExecute();
    // Writes the usage, the part list and every layout's parts to Path: .xlsx (one sheet
    // each) or .csv (every layout's parts).
    void ExportTables(const QString &Path);
    // Writes one drawing per layout into Folder ("dxf" or "svg"); returns the files written.
    QStringList ExportDrawings(const QString &Folder, const QString &Suffix);
    // Writes one label per piece of the run to a PDF file at Path.
    void ExportLabels(const QString &Path);

    // Texts of the window.
    static QString runningText() { return tr("正在计算..."); }
    static constexpr int LeftPaneWidth = 215;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One reported layout: what its tab shows, and its view once made. The sheet's size and
    // kerf are kept as reported: the workspace may load another scheme into the engine before
    // the view is first needed.
    struct TLayout
    {
        int Group;
        int RectCount;
        int SheetWidth;
        int SheetHeight;
        int Blade;
        TDrawMaterial *View; // nullptr until first needed
        int Trim = 0;
        TGrainDirection Grain {};
        double Price = 0; // of one sheet, for the offcuts' prices
    };
    int FRunSerial = 0; // completed runs of this window; the current one's number while complete
    bool FRunComplete = false; // the layouts shown are those of a completed run
    int FConfirmedSerial = 0; // the run confirmed last (0: none)

    void createToolBar();
    void createLeftPane();
    void createLayoutArea();
    void createStatusBar();
    void placeProgressBar();
    void placeCaptions();
    void zoomBy(int Step);
    void addSheetUsage(const QString &Name, int Width, int Height, int Sheets);
    void finishRun(bool Deep);
    void startDeepRun();
    void showDeepProgress(const TDeepProgress &Progress);
    void finishDeepRun();
    void startDeepReport();
    void finishDeepReport();
    void afterReport(bool Deep);
    void abandonRun();
    void setRunning(bool Running);
    void setStatusText(const QString &Text);
    void completeRun();
    void abnormalEnd();
    void writeBack(int Utilisation, qint64 Sheets);
    void writeReport(bool Deep);
    void fitViewsArea();
    void showCutList(TDrawMaterial &View);
    QString askSavePath(const QString &Title, const QString &Filter, const QString &Name);
    QString askFolder(const QString &Title);

    TRectManage &FEngine;
    mutable QList<TLayout> FLayouts;
    QWidget *FViews; // the widget inside the layout area that holds the views
    QWidget *FCaptions; // the row of caption panels below the tab strip
    TDrawMaterial *FShown = nullptr;
    int FTabIndex = -1; // the tab whose layout was last shown; -1 before any
    int FStripsSeen = 0; // committed strips already counted in the totals of this run
    QString FWriteBackError; // why the totals could not be saved into the scheme row

    // The deep run: the worker, the only thing the window writes while it runs (the cancel
    // flag), the notifications the engine raised on the worker, replayed when it ends.
    std::thread FWorker;
    std::atomic<bool> FCancel { false };
    std::vector<TLayoutEvent> FDeepEvents; // written by the worker only while it runs
    QString FWorkerError;
    bool FRunning = false;
    bool FReplaying = false; // replayed layouts take their kerf allowance from FKerfUnits
    TKerfUnits FKerfUnits;
    // Made by the worker at the end of a deep run (laying out a report of tens of thousands of
    // lines would hold the window up): the run's totals per sheet kind are in the engine then,
    // and the report waits as a document for the notes pane.
    std::unique_ptr<QTextDocument> FReportDocument;
    bool FReporting = false; // the report worker runs
    std::uint64_t FWorkLimit = 0;
    qint64 FPartArea = 0; // of the job, taken before the run (the engine's lists are busy then)

    bool FShownOnce = false;
    bool FShowCuts = false;
};

// Writes a run's totals into the current row of a scheme set (利用率, 总面积 in square metres,
// 板材数量, 总价格) and saves the set at once.
void WriteSchemeTotals(TRowSet &Rows, const TRunTotals &Totals);

// The results window while it exists.
extern TfrmTypeSet *frmTypeSet;
