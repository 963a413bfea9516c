#pragma once
// The library editor shared by the part library (TfrmLJinfo) and the sheet library
// (TfrmYCLinfo): a work area of the main window that shows one library table in a grid, with a
// tool bar (关闭, 增加一行, 删除一行, 修改数据, 保存数据) and a record navigator.
//
// Edits stay in the row set until 保存数据 writes them in one batch; closing discards them and
// destroys the editor. Every row added (by any command) numbers the rows 1..N by position in the
// Name column, keeping the names the user typed.
//
// 导入 reads rows from a spreadsheet file (CSV, text, Excel) through the import dialog, and
// Ctrl+V in the grid pastes rows copied from a spreadsheet: the sizes (and price) of every row
// are checked first, and then all rows are added at the end of the library or none, with their
// names (rows without one are numbered). Added rows are pending like typed ones until 保存数据.
//
// 保存数据 first checks the rows: a row whose sizes (and price) are all empty is dropped, and
// rows that can never be cut (a size empty, zero or negative; a price negative or absurdly
// large) are listed in one message, and then nothing is saved until they are fixed or deleted.
//
// A library that could not be read when the editor was shown (the file missing or locked) is
// read as soon as the file can be opened again, and by any command of the editor.

#include "DBGrid.h"
#include "PartImport.h"
#include "RowCheck.h"

#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QFrame;
class QToolBar;
class TDBNavigator;
class TRowSet;
class TShadowPanel;

// What distinguishes the two library editors.
struct TLibraryDef
{
    QString objectName; // "frmLJinfo", "frmYCLinfo"
    QString commandText; // the library query
    QList<TGridColumn> columns; // grid columns, left to right
    QList<TColumnRule> rules; // what a row must hold to be saved
    TImportTarget importTarget; // what 导入 and pasting fill
    QString importCaption; // title of the import dialog
};

class TfrmLibraryEditor : public QWidget
{
    Q_OBJECT
public:
    ~TfrmLibraryEditor() override;

    // ---- parts ----
    TRowSet *ADOMaterials; // the library table, owned
    QToolBar *ToolBar1;
    TShadowPanel *pnlLibrary; // the fixed panel holding the navigator bar and the grid
    QFrame *pnlNavigator; // the navigator bar
    TDBNavigator *DBNavigator1;
    TDBGrid *grdLJ;

    // ---- commands ----
    QAction *actClose; // 关闭
    QAction *actAdd; // 增加一行
    QAction *actDel; // 删除一行
    QAction *actModify; // 修改数据
    QAction *actSave; // 保存数据
    QAction *actImport; // 导入

    // Fixed sizes of the layout, in pixels.
    static constexpr int ToolBarHeight = 46;
    static constexpr QSize PanelSize { 497, 520 };
    static constexpr QSize NavigatorBarSize { 432, 35 };
    static constexpr QSize GridSize { 433, 431 };
    // Room the grid takes besides its columns (row indicator, frame, scroll bar); a grid whose
    // columns need more than GridSize is widened to fit them, and the panel with it.
    static constexpr int GridChrome = 40;

    // ---- operations (errors reach the caller; the commands report them) ----
    void FormShow(); // reads the library again, as it is stored now
    void ADOMaterialsAfterInsert(TRowSet &DataSet); // renumbers Name after a new row
    void actAddExecute();
    void actDelExecute();
    void actModifyExecute();
    void actSaveExecute();
    void actImportExecute();
    void actCloseExecute();
    // Appends checked rows of an import (file or paste) at the end, all or none, and renumbers
    // the library once.
    void importRows(const QList<TImportedRow> &Rows);

    // The rows 保存数据 would refuse, as the lines of its message (empty: none). Rows whose
    // checked columns are all empty are not listed: saving drops them.
    QStringList rowProblems() const;

protected:
    explicit TfrmLibraryEditor(const TLibraryDef &def, QWidget *parent = nullptr);
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool ensureRead();

    QList<TColumnRule> FRules;
    TImportTarget FImportTarget;
    QString FImportCaption;
    bool FReloadOnShow = true;
    bool FImporting = false; // rows are being added in a batch: renumber once, afterwards
};
