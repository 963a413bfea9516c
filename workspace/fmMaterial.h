#pragma once
// TfrmMaterial: the project workspace, where a job is planned. The user finds or creates a
// project (identified by its order number), keeps its cutting schemes, edits the sheets offered in
// the current scheme and the parts the project needs (typed in or picked from the libraries), and
// hands the current scheme to the layout engine with 优化排样, which opens the results window.
//
// Four row sets hold the data; their pending changes reach the file when the workspace saves
// (保存工程, closing the workspace, 优化排样, ending the program), sheet edits also when the user
// leaves a scheme, scheme rows when a scheme is added or deleted. Switching to another project
// saves the schemes, sheets and parts of the one left, so nothing typed is lost.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>

class QAction;
class QComboBox;
class QLabel;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QTextEdit;
class QToolBar;
class TDBGrid;
class TDBNavigator;
class TRectManage;
class TRowSet;
class TShadowPanel;
class TfrmSelectData;
class TSchemeBatch;

class TfrmMaterial : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmMaterial(QWidget *parent = nullptr);
    ~TfrmMaterial() override;

    // ---- set by the main window before the workspace is shown (not owned) ----
    QProgressBar *ProgressStatus = nullptr; // the main window's progress pane
    QTextEdit *Notes = nullptr; // the main window's notes pane
    QWidget *FrmTypeSetParent = nullptr; // the panel that receives the results window

    // ---- row sets (owned) ----
    TRowSet *ADOOrder; // projects: the ten newest, or the one found
    TRowSet *ADOOrderDetail; // schemes of the current project
    TRowSet *ADOMaterialA; // sheets of the current scheme
    TRowSet *ADOMaterialB; // parts of the current project
    TRowSet *ADOBC; // sheet library, for the picker
    TRowSet *ADOMaterial; // part library, for the picker

    // ---- controls ----
    QToolBar *ToolBar1;
    QComboBox *cbOrder; // the project box: editable, its items are order numbers
    QSplitter *splMain; // left pane | right column
    QSplitter *splRight; // sheets over parts
    TShadowPanel *pnlFA; // left pane: schemes
    TShadowPanel *pnlYCL; // upper right pane: sheets
    TShadowPanel *pnlLJ; // lower right pane: parts
    TDBNavigator *navFA;
    TDBNavigator *navYCL;
    TDBNavigator *navLJ;
    TDBGrid *rdgFA; // schemes
    TDBGrid *rdgYCL; // sheets
    TDBGrid *rdgLJ; // parts
    QStatusBar *StatusBar1;

    // ---- commands ----
    QAction *actYHPY; // 优化排样
    QAction *actAddPrj; // 增加工程
    QAction *actDelPrj; // 删除工程
    QAction *actSave; // 保存工程
    QAction *actClose; // 关闭
    QAction *N1; // 删除 (sheet grid)
    QAction *N3; // 选择原材料
    QAction *N2; // 删除 (part grid)
    QAction *N4; // 选择零件
    QAction *N5; // 导入原材料… (sheet grid)
    QAction *N6; // 导入零件… (part grid)
    QAction *actCalcAll; // 计算全部方案, 停止 while it runs

    // ---- operations (errors reach the caller; commands and events report them) ----
    // Creates a project row with a new order number "T" + yyyyMMddHHmmss, saves it, adds the
    // number to the project box and shows it there. Returns the new project's ID as text.
    QString AddOrderNo();
    // Fills the project box with the ten newest projects, oldest first, the newest selected.
    void ShowOrderList();
    // Loads the project whose order number is in the project box, with its schemes (the first
    // current), the sheets of that scheme and its parts. Nothing changes when none matches,
    // except that no project is current then.
    void actFindExecute();
    void actAddPrjExecute();
    void actDelPrjExecute();
    void actSaveExecute();
    void actCloseExecute();
    // Saves, checks the rows, loads the current scheme and the parts into the engine and opens
    // (or raises) the results window.
    void actYHPYExecute();
    // 计算全部方案: every scheme of the project laid out in turn with the results window's
    // options (deep or not, its budget for each) on a worker thread; each completed scheme's
    // totals go into its row (利用率, 板材数量, 总面积, 总价格), the cheapest becomes current;
    // schemes that cannot be completed are named in one message and keep their old totals.
    // While it runs the lists cannot be edited and the command reads 停止.
    void actCalcAllExecute();
    bool isBatchRunning() const;
    // Test hook: deep runs of the batch limited by work instead of time (0: by time).
    void setBatchWorkLimit(std::uint64_t Units) { FBatchWorkLimit = Units; }
    // Imports rows from a spreadsheet file into the sheet list of the current scheme (N5) or the
    // part list (N6): all rows or none, pending until saved.
    void N5Click();
    void N6Click();
    // Fills the engine's sheet kinds and part kinds from the sheet and part sets, longer side
    // first.
    void CreateRectManage(TRectManage &Engine);
    // The rows the engine could not use (sizes not above 0, negative kerf, price or quantity,
    // empty quantity), one line each naming scheme, list, row and column; empty when all is well.
    QStringList CheckInput() const;
    // What a run needs and the workspace lacks (a current scheme, its sheets, parts), one line
    // each telling the user what to do; empty when all is there.
    QStringList MissingInput() const;

    void ADOOrderDetailAfterInsert(TRowSet &DataSet);
    void ADOOrderDetailBeforeScroll(TRowSet &DataSet);
    void ADOOrderDetailAfterScroll(TRowSet &DataSet);
    // The scheme navigator's delete: asks, then deletes the scheme with its sheets.
    void DeleteSchemeExecute();

    void ShowMaterialA();
    void ShowMaterialB();
    void ADOMaterialAAfterInsert(TRowSet &DataSet);
    void ADOMaterialBAfterInsert(TRowSet &DataSet);
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void AddBCData(TfrmSelectData &Picker);
    void AddMaterial(TfrmSelectData &Picker);

    void FormShow(); // ShowOrderList, then Find: the newest project with its first scheme

    // Whether a project / a scheme is current.
    bool hasProject() const;
    bool hasScheme() const;

    // Texts of the window.
    static QString deleteProjectQuestion() { return tr("是否要执行删除操作！"); }
    static QString deleteProjectTitle() { return tr("警告..."); }
    static QString deleteSchemeQuestion() { return tr("是否删除数据！"); }
    static QString deleteSchemeTitle() { return tr("提示"); }
    static QString noProjectText(const QString &orderNo)
    {
        return tr("没有单号为“%1”的工程").arg(orderNo);
    }
    static QString deepRunningText()
    {
        return tr("正在进行深度优化：请先在结果窗口中按“停止”，或等它算完。");
    }
    static QString noProjectYetText() { return tr("请先用“增加工程”建立一个工程"); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Closing saves the workspace; when the save fails the error is shown and the workspace
    // stays open with its changes.
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    QAction *menuCommand(const char *name, const QString &caption, void (TfrmMaterial::*execute)());
    void createPanes();
    // Captioned pane with a navigator bar and a grid; Command, when given, stands at the right
    // of the caption.
    TShadowPanel *createPane(const QString &name, const QString &caption, TDBNavigator *&navigator,
        TDBGrid *&grid, QAction *Command = nullptr);
    // Applies the scheme, sheet and part sets of the project being left.
    void applyDetailSets();
    // Writes a set's pending changes; sheet and part rows left blank are dropped first.
    void applyRows(TRowSet &Rows);
    // Puts the text of every open cell editor into its row; throws Dialogs::TAbandoned when a
    // cell refused its text (it has said why).
    void commitEditors();
    qint64 projectId() const;
    QString currentOrderNo() const; // of the current project, or ""
    bool orderNoTaken(const QString &orderNo) const; // a project with this number exists
    void showOrderNoInBox(const QString &orderNo);
    qint64 schemeId() const;

    void batchFinished();
    void setBatchRunning(bool Running);

    QPointer<TSchemeBatch> FBatch;
    std::uint64_t FBatchWorkLimit = 0;
    bool FShowPending = true;
    bool FFirstShow = true;
};

// The project workspace while it exists.
extern TfrmMaterial *frmMaterial;

// The one engine object of the program: created at start-up, destroyed at exit. The workspace
// loads the current scheme into it, the results window runs it.
extern TRectManage *RectManage;
