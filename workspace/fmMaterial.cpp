#include "fmMaterial.h"

#include "Command.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "DM.h"
#include "Dialogs.h"
#include "RowCheck.h"
#include "ShadowPanel.h"
#include "TypeSetClass.h"
#include "WidgetArt.h"
#include "fmSelectData.h"
#include "fmTypeSet.h"
#include "AppSettings.h"
#include "ImportDialog.h"
#include "SchemeBatch.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QTextEdit>

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

using namespace Qt::StringLiterals;

TfrmMaterial *frmMaterial = nullptr;
TRectManage *RectManage = nullptr;

namespace {

const QList<TGridColumn> SchemeColumns {
    { u"名称"_s, u"方案名称"_s, 70 },
    { u"利用率"_s, u"利用率(%)"_s, 70 },
    { u"板材数量"_s, u"板材用量"_s, 70 },
    { u"总面积"_s, u"总面积"_s, 70 },
    { u"总价格"_s, u"总金额"_s, 70 },
};
const QList<TGridColumn> SheetColumns {
    { u"名称"_s, u"名称"_s, 70 },
    { u"长度"_s, u"长度"_s, 70 },
    { u"宽度"_s, u"宽度"_s, 70 },
    { u"刀口"_s, u"刀口"_s, 70 },
    { u"价格"_s, u"价格"_s, 70 },
};
const QList<TGridColumn> PartColumns {
    { u"名称"_s, u"名称"_s, 70 },
    { u"长度"_s, u"长度"_s, 70 },
    { u"宽度"_s, u"宽度"_s, 70 },
    { u"数量"_s, u"数量"_s, 70 },
};

// What the engine needs of the rows: sizes above 0; a kerf and a price, where given, not below 0
// (an empty kerf counts as 0); a quantity of 0 or more.
const QList<TColumnRule> SheetRules {
    { u"长度"_s, u"长度"_s, TColumnRule::Positive },
    { u"宽度"_s, u"宽度"_s, TColumnRule::Positive },
    { u"刀口"_s, u"刀口"_s, TColumnRule::NonNegative },
    { u"价格"_s, u"价格"_s, TColumnRule::NonNegative, MaxSheetPrice },
};
const QList<TColumnRule> PartRules {
    { u"长度"_s, u"长度"_s, TColumnRule::Positive },
    { u"宽度"_s, u"宽度"_s, TColumnRule::Positive },
    { u"数量"_s, u"数量"_s, TColumnRule::RequiredNonNegative },
};

// A row is left blank when its name and every number are empty: the Enter key leaves one at the
// end of a list. Such rows are dropped rather than saved or refused.
const QList<TColumnRule> SheetBlank = QList<TColumnRule> { { u"名称"_s, u"名称"_s } } + SheetRules;
const QList<TColumnRule> PartBlank = QList<TColumnRule> { { u"名称"_s, u"名称"_s } } + PartRules;

const QStringList NavigatorHints { u"第一条"_s, u"上一条"_s, u"下一条"_s, u"最后条"_s, u"插入"_s,
    u"删除"_s, u"编辑"_s, u"提交"_s, u"放弃"_s, u"刷新"_s };

} // namespace

TfrmMaterial::TfrmMaterial(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"frmMaterial"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    frmMaterial = this;

    // Row sets first: the grids and navigators bound to them are destroyed before them.
    ADOOrder = new TRowSet(Sql::RecentProjects, this);
    ADOOrder->setObjectName(u"ADOOrder"_s);
    ADOOrderDetail = new TRowSet(Sql::AllSchemes, this);
    ADOOrderDetail->setObjectName(u"ADOOrderDetail"_s);
    ADOMaterialA = new TRowSet(Sql::AllSheets, this);
    ADOMaterialA->setObjectName(u"ADOMaterialA"_s);
    ADOMaterialB = new TRowSet(Sql::AllParts, this);
    ADOMaterialB->setObjectName(u"ADOMaterialB"_s);
    ADOBC = new TRowSet(Sql::SheetLibrary, this);
    ADOBC->setObjectName(u"ADOBC"_s);
    ADOMaterial = new TRowSet(Sql::PartLibrary, this);
    ADOMaterial->setObjectName(u"ADOMaterial"_s);

    ADOOrderDetail->setAfterInsert([this](TRowSet &ds) { ADOOrderDetailAfterInsert(ds); });
    ADOOrderDetail->setBeforeScroll([this](TRowSet &ds) { ADOOrderDetailBeforeScroll(ds); });
    ADOOrderDetail->setAfterScroll([this](TRowSet &ds) { ADOOrderDetailAfterScroll(ds); });
    ADOMaterialA->setAfterInsert([this](TRowSet &ds) { ADOMaterialAAfterInsert(ds); });
    ADOMaterialB->setAfterInsert([this](TRowSet &ds) { ADOMaterialBAfterInsert(ds); });

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar1 = MakeWorkToolBar(this);
    column->addWidget(ToolBar1);

    actClose = MakeCommand(this, "actClose", u"关闭"_s, WidgetArt::closeIcon(),
        u"关闭|关闭此窗体"_s, &TfrmMaterial::actCloseExecute);
    actYHPY = MakeCommand(this, "actYHPY", u"优化排样"_s, WidgetArt::layoutIcon(),
        u"优化排样|根据选中的项目方案进行优化"_s, &TfrmMaterial::actYHPYExecute);
    actAddPrj = MakeCommand(this, "actAddPrj", u"增加工程"_s, WidgetArt::addProjectIcon(),
        u"增加工程|增加需要计算的项目数据"_s, &TfrmMaterial::actAddPrjExecute);
    actDelPrj = MakeCommand(this, "actDelPrj", u"删除工程"_s, WidgetArt::deleteProjectIcon(),
        u"删除工程|删除项目数据"_s, &TfrmMaterial::actDelPrjExecute);
    actSave = MakeCommand(this, "actSave", u"保存工程"_s, WidgetArt::saveIcon(),
        u"保存工程|保存项目数据"_s, &TfrmMaterial::actSaveExecute);
    actCalcAll = MakeCommand(this, "actCalcAll", u"计算全部方案"_s, WidgetArt::runAllIcon(),
        u"计算全部方案|用结果窗口的选项依次计算本工程的每个方案，把结果写入方案表以便比较"_s,
        &TfrmMaterial::actCalcAllExecute);

    cbOrder = new QComboBox(ToolBar1);
    cbOrder->setObjectName(u"cbOrder"_s);
    cbOrder->setEditable(true);
    cbOrder->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is looked up as it stands: no completion to a listed number.
    cbOrder->setCompleter(nullptr);
    cbOrder->setFixedWidth(185);
    cbOrder->setToolTip(u"工程编号,系统自动生成。"_s);
    // Every change of the text, typed or chosen from the list, looks the project up.
    connect(cbOrder, &QComboBox::editTextChanged, this,
        [this] { Dialogs::guarded([this] { actFindExecute(); }); });

    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actYHPY);
    ToolBar1->addAction(actCalcAll);
    auto *boxHolder = new QWidget(ToolBar1);
    auto *boxRow = new QHBoxLayout(boxHolder);
    boxRow->setContentsMargins(6, 0, 6, 0);
    boxRow->addWidget(cbOrder);
    ToolBar1->addWidget(boxHolder);
    ToolBar1->addActions({ actAddPrj, actDelPrj, actSave });
    for (QAction *a : { actClose, actYHPY, actCalcAll, actAddPrj, actDelPrj, actSave }) {
        if (QWidget *button = ToolBar1->widgetForAction(a)) {
            button->setObjectName(u"btn"_s + a->objectName().mid(3));
            button->setFixedSize(a == actYHPY ? 65 : a == actCalcAll ? 84 : 60, 40);
        }
    }

    createPanes();
    column->addWidget(splMain, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(false);
    column->addWidget(StatusBar1);
}

TfrmMaterial::~TfrmMaterial()
{
    for (TDBGrid *g : { rdgFA, rdgYCL, rdgLJ })
        g->setDataSource(nullptr);
    for (TDBNavigator *n : { navFA, navYCL, navLJ })
        n->setDataSource(nullptr);
    if (frmMaterial == this)
        frmMaterial = nullptr;
}

QAction *TfrmMaterial::menuCommand(
    const char *name, const QString &caption, void (TfrmMaterial::*execute)())
{
    return MakeCommand(this, name, caption, QIcon(), caption, execute);
}

TShadowPanel *TfrmMaterial::createPane(
    const QString &name, const QString &caption, TDBNavigator *&navigator, TDBGrid *&grid)
{
    // From the top: the navigator bar, the caption bar with its line, the grid; the pane paints
    // a soft shadow under the navigator bar and under the grid.
    auto *pane = new TShadowPanel(this);
    pane->setObjectName(u"pnl"_s + name);
    auto *box = new QVBoxLayout(pane);
    box->setContentsMargins(6, 6, 12, 12);
    box->setSpacing(8);

    auto *bar = new QFrame(pane);
    bar->setObjectName(u"pnlNav"_s + name);
    bar->setFrameShape(QFrame::Panel);
    bar->setFrameShadow(QFrame::Raised);
    bar->setAutoFillBackground(true);
    bar->setFixedHeight(35);
    auto *barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(3, 3, 3, 3);
    navigator = new TDBNavigator(bar);
    navigator->setObjectName(u"nav"_s + name);
    navigator->setHints(NavigatorHints);
    barRow->addWidget(navigator);
    barRow->addStretch(1);
    box->addWidget(bar);

    auto *title = new QLabel(caption, pane);
    title->setObjectName(u"lbl"_s + name);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    box->addWidget(title);
    auto *line = new QFrame(pane);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    box->addWidget(line);

    grid = new TDBGrid(pane);
    grid->setObjectName(u"rdg"_s + name);
    box->addWidget(grid, 1);

    pane->addShadow(bar, 6);
    pane->addShadow(grid, 6);
    return pane;
}

void TfrmMaterial::createPanes()
{
    splMain = new QSplitter(Qt::Horizontal, this);
    splMain->setObjectName(u"splMain"_s);
    splMain->setChildrenCollapsible(false);

    pnlFA = createPane(u"FA"_s, u"加工方案"_s, navFA, rdgFA);
    rdgFA->setColumns(SchemeColumns);
    rdgFA->setDataSource(ADOOrderDetail);
    // Enter in the scheme list only takes the typed name: schemes are added with the navigator,
    // never by walking off the last row.
    rdgFA->setEnterWalk(false);
    navFA->setDataSource(ADOOrderDetail);
    navFA->setVisibleButtons(TDBNavigator::allButtons());
    // The scheme's own delete: a question of its own, then the scheme with its sheets.
    navFA->setBeforeAction([this](TDBNavigator::TNavigateBtn b) {
        if (b != TDBNavigator::nbDelete)
            return true;
        DeleteSchemeExecute();
        return false;
    });

    splRight = new QSplitter(Qt::Vertical, splMain);
    splRight->setObjectName(u"splRight"_s);
    splRight->setChildrenCollapsible(false);
    pnlYCL = createPane(u"YCL"_s, u"提供的原材料"_s, navYCL, rdgYCL);
    pnlLJ = createPane(u"LJ"_s, u"工程需要切割的零件"_s, navLJ, rdgLJ);
    rdgYCL->setColumns(SheetColumns);
    rdgLJ->setColumns(PartColumns);
    rdgYCL->setDataSource(ADOMaterialA);
    rdgLJ->setDataSource(ADOMaterialB);
    const TDBNavigator::TButtonSet nine { TDBNavigator::nbFirst, TDBNavigator::nbPrior,
        TDBNavigator::nbNext, TDBNavigator::nbLast, TDBNavigator::nbInsert, TDBNavigator::nbDelete,
        TDBNavigator::nbEdit, TDBNavigator::nbPost, TDBNavigator::nbCancel };
    for (TDBNavigator *n : { navYCL, navLJ }) {
        n->setVisibleButtons(nine);
        n->setDeleteQuestion(u"Delete selected record?"_s);
    }
    navYCL->setDataSource(ADOMaterialA);
    navLJ->setDataSource(ADOMaterialB);
    splRight->addWidget(pnlYCL);
    splRight->addWidget(pnlLJ);

    splMain->addWidget(pnlFA);
    splMain->addWidget(splRight);
    splMain->setStretchFactor(0, 0);
    splMain->setStretchFactor(1, 1);

    N1 = menuCommand("N1", u"删除"_s, &TfrmMaterial::N1Click);
    N3 = menuCommand("N3", u"选择原材料"_s, &TfrmMaterial::N3Click);
    N2 = menuCommand("N2", u"删除"_s, &TfrmMaterial::N2Click);
    N4 = menuCommand("N4", u"选择零件"_s, &TfrmMaterial::N4Click);
    N5 = menuCommand("N5", u"导入原材料…"_s, &TfrmMaterial::N5Click);
    N6 = menuCommand("N6", u"导入零件…"_s, &TfrmMaterial::N6Click);
    rdgYCL->addActions({ N1, N3, N5 });
    rdgLJ->addActions({ N2, N4, N6 });
    rdgFA->addAction(actCalcAll);
    for (TDBGrid *g : { rdgFA, rdgYCL, rdgLJ })
        g->setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool TfrmMaterial::event(QEvent *event)
{
    // Status-line texts of the commands under the mouse go to the workspace's own status bar.
    if (event->type() == QEvent::StatusTip) {
        StatusBar1->showMessage(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

void TfrmMaterial::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Loaded when the workspace appears, not whenever its main window comes back from being
    // minimised: that must not throw away what is being typed.
    if (!FShowPending)
        return;
    if (FFirstShow) {
        // The scheme grid's five columns where there is room; the sheets and parts, typed most,
        // get the rest.
        FFirstShow = false;
        const int left = std::min(430, width() * 2 / 5);
        splMain->setSizes({ left, std::max(1, width() - left) });
    }
    FShowPending = false;
    Dialogs::guarded([this] { FormShow(); });
}

void TfrmMaterial::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (isHidden())
        FShowPending = true;
}

void TfrmMaterial::closeEvent(QCloseEvent *event)
{
    bool saved = false;
    Dialogs::guarded([&] {
        actSaveExecute();
        saved = true;
    });
    if (!saved) {
        event->ignore();
        return;
    }
    // Runs on what is closing end with it: a batch is dropped, a deep run in the results window
    // ends now with its best layout (written back while this workspace still exists).
    delete FBatch.data();
    if (frmTypeSet && frmTypeSet->isRunning())
        Dialogs::guarded([] { frmTypeSet->StopRun(); });
    QWidget::closeEvent(event);
}

void TfrmMaterial::FormShow()
{
    ShowOrderList();
    actFindExecute();
}

// ---- state ----

bool TfrmMaterial::hasProject() const
{
    return ADOOrder->isOpen() && !ADOOrder->isEmpty();
}

bool TfrmMaterial::hasScheme() const
{
    return ADOOrderDetail->isOpen() && !ADOOrderDetail->isEmpty();
}

qint64 TfrmMaterial::projectId() const
{
    return hasProject() ? ADOOrder->field(u"ID"_s).asLargeInt() : 0;
}

qint64 TfrmMaterial::schemeId() const
{
    return hasScheme() ? ADOOrderDetail->field(u"ID"_s).asLargeInt() : 0;
}

void TfrmMaterial::commitEditors()
{
    // A cell that refuses its text has said why; the command stops there, with the window and
    // every row as they are, instead of going on without what was typed.
    for (TRowSet *rs : { ADOOrderDetail, ADOMaterialA, ADOMaterialB })
        if (!TDBGrid::commitEditors(rs))
            throw Dialogs::TAbandoned();
}

QString TfrmMaterial::currentOrderNo() const
{
    return hasProject() ? ADOOrder->field(u"单号"_s).asString() : QString();
}

bool TfrmMaterial::orderNoTaken(const QString &orderNo) const
{
    TRowSet found(Sql::ProjectByOrderNo(orderNo));
    found.open();
    return !found.isEmpty();
}

void TfrmMaterial::showOrderNoInBox(const QString &orderNo)
{
    const QSignalBlocker quiet(cbOrder); // the program's own change: no Find
    cbOrder->setEditText(orderNo);
}

// ---- projects ----

QString TfrmMaterial::AddOrderNo()
{
    // The number comes from the clock; one already given (two projects within a second) moves to
    // the next free second, so that every project can be found by its number.
    const QDateTime now = QDateTime::currentDateTime();
    QString orderNo;
    for (qint64 k = 0;; ++k) {
        orderNo = u"T"_s + now.addSecs(k).toString(u"yyyyMMddHHmmss"_s);
        if (!orderNoTaken(orderNo))
            break;
    }
    const QString left = currentOrderNo();
    try {
        ADOOrder->close();
        ADOOrder->setCommandText(Sql::ProjectByOrderNo(orderNo));
        ADOOrder->open();
        ADOOrder->append();
        ADOOrder->field(u"单号"_s).setAsString(orderNo);
        ADOOrder->field(u"日期"_s).setAsDateTime(QDateTime::currentDateTime());
        ADOOrder->updateBatch();
    } catch (...) {
        // Not made: the project that was current stays so.
        ADOOrder->close();
        ADOOrder->setCommandText(Sql::ProjectByOrderNo(left));
        Dialogs::guarded([this] { ADOOrder->open(); });
        throw;
    }
    {
        const QSignalBlocker quiet(cbOrder); // the program's own change: no Find
        cbOrder->addItem(orderNo);
        cbOrder->setCurrentIndex(cbOrder->count() - 1);
    }
    return QString::number(ADOOrder->field(u"ID"_s).asLargeInt());
}

void TfrmMaterial::ShowOrderList()
{
    ADOOrder->close();
    ADOOrder->setCommandText(Sql::RecentProjects);
    ADOOrder->open();
    const QSignalBlocker quiet(cbOrder); // the program's own change: no Find
    cbOrder->clear();
    for (int n = ADOOrder->recordCount(); n >= 1; --n) {
        ADOOrder->setRecNo(n);
        cbOrder->addItem(ADOOrder->field(u"单号"_s).asString());
    }
    if (cbOrder->count() > 0)
        cbOrder->setCurrentIndex(cbOrder->count() - 1);
}

void TfrmMaterial::applyRows(TRowSet &Rows)
{
    if (!Rows.isOpen())
        return;
    if (!TDBGrid::commitEditors(&Rows))
        throw Dialogs::TAbandoned();
    if (&Rows == ADOMaterialA)
        DropBlankRows(Rows, SheetBlank);
    else if (&Rows == ADOMaterialB)
        DropBlankRows(Rows, PartBlank);
    Rows.updateBatch();
}

void TfrmMaterial::applyDetailSets()
{
    for (TRowSet *rs : { ADOOrderDetail, ADOMaterialA, ADOMaterialB })
        if (rs->isOpen() && rs->hasPendingChanges())
            applyRows(*rs);
}

void TfrmMaterial::actFindExecute()
{
    const QString orderNo = cbOrder->currentText();
    if (orderNo.isEmpty())
        return;
    // Looked up aside first: the project on screen stays current until another one is found,
    // so that a number being typed never leaves the lists without their project.
    if (!orderNoTaken(orderNo)) {
        StatusBar1->showMessage(noProjectText(orderNo));
        return;
    }
    StatusBar1->clearMessage();
    // What was typed for the project being left is written before anything moves; when that
    // fails the project stays current and the box shows its number again.
    const QString left = currentOrderNo();
    try {
        commitEditors();
        applyDetailSets();
    } catch (...) {
        if (hasProject())
            showOrderNoInBox(left);
        throw;
    }
    ADOOrder->close();
    ADOOrder->setCommandText(Sql::ProjectByOrderNo(orderNo));
    ADOOrder->open();
    ADOOrderDetail->close();
    ADOOrderDetail->setCommandText(Sql::SchemesOfProject(projectId()));
    ADOOrderDetail->open();
    ShowMaterialA();
    ShowMaterialB();
}

void TfrmMaterial::actAddPrjExecute()
{
    // What was typed for the project on screen is written first; when that fails no project is
    // made and nothing moves.
    commitEditors();
    applyDetailSets();
    AddOrderNo();
    actFindExecute();
}

void TfrmMaterial::actDelPrjExecute()
{
    if (!hasProject())
        return;
    // Only the project whose number the box shows is deleted, never one left current while
    // another number is being typed.
    if (cbOrder->currentText() != currentOrderNo()) {
        StatusBar1->showMessage(noProjectText(cbOrder->currentText()));
        return;
    }
    if (!Dialogs::askOkCancel(this, deleteProjectQuestion(), deleteProjectTitle()))
        return;
    const QString orderNo = ADOOrder->field(u"单号"_s).asString();
    // Sheets of its schemes, its parts, its schemes and the project row, in one transaction: a
    // failure reports its error and keeps the project as it was.
    DeleteProject(*ADOOrder);
    {
        const QSignalBlocker quiet(cbOrder); // the program's own change: no Find
        const int item = cbOrder->findText(orderNo, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (item >= 0)
            cbOrder->removeItem(item);
        cbOrder->setEditText(QString());
    }
    ADOOrderDetail->close();
    ADOMaterialA->close();
    ADOMaterialB->close();
}

void TfrmMaterial::actSaveExecute()
{
    commitEditors();
    // The project box is a search: its text never becomes a project or a project's new number
    // (增加工程 makes projects). The project row itself has nothing the user edits.
    if (ADOOrder->isOpen() && ADOOrder->hasPendingChanges())
        ADOOrder->updateBatch();
    for (TRowSet *rs : { ADOOrderDetail, ADOMaterialA, ADOMaterialB })
        applyRows(*rs);
}

void TfrmMaterial::actCloseExecute()
{
    close();
}

// ---- schemes ----

void TfrmMaterial::ADOOrderDetailAfterInsert(TRowSet &DataSet)
{
    if (!hasProject()) {
        DataSet.cancel(); // a scheme belongs to a project: without one the row is discarded
        StatusBar1->showMessage(noProjectYetText());
        return;
    }
    DataSet.field(u"PID"_s).setAsInteger(projectId());
    DataSet.updateBatch();
    // The schemes are numbered by position; a name the user gave a scheme is kept.
    RenumberNames(DataSet, u"名称"_s, u"方案"_s);
}

void TfrmMaterial::ADOOrderDetailBeforeScroll(TRowSet &DataSet)
{
    // The sheet edits of a scheme are written when the user leaves it.
    if (!DataSet.isEmpty())
        applyRows(*ADOMaterialA);
}

void TfrmMaterial::ADOOrderDetailAfterScroll(TRowSet &)
{
    ShowMaterialA();
}

void TfrmMaterial::DeleteSchemeExecute()
{
    if (!hasScheme())
        return;
    if (!Dialogs::askOkCancel(this, deleteSchemeQuestion(), deleteSchemeTitle()))
        return;
    // Its sheets, then the scheme row, in one transaction.
    DeleteScheme(*ADOOrderDetail);
}

// ---- sheets and parts ----

void TfrmMaterial::ShowMaterialA()
{
    ADOMaterialA->close();
    ADOMaterialA->setCommandText(hasScheme() ? Sql::SheetsOfScheme(schemeId()) : Sql::NoSheets);
    ADOMaterialA->open();
}

void TfrmMaterial::ShowMaterialB()
{
    ADOMaterialB->close();
    ADOMaterialB->setCommandText(Sql::PartsOfProject(projectId()));
    ADOMaterialB->open();
}

void TfrmMaterial::ADOMaterialAAfterInsert(TRowSet &DataSet)
{
    if (!hasScheme()) {
        DataSet.cancel(); // a sheet belongs to a scheme: without one the row is discarded
        return;
    }
    DataSet.field(u"ID"_s).setAsInteger(schemeId());
}

void TfrmMaterial::ADOMaterialBAfterInsert(TRowSet &DataSet)
{
    if (!hasProject()) {
        DataSet.cancel(); // a part belongs to a project: without one the row is discarded
        StatusBar1->showMessage(noProjectYetText());
        return;
    }
    DataSet.field(u"ID"_s).setAsInteger(projectId());
}

void TfrmMaterial::N1Click()
{
    if (hasScheme() && ADOMaterialA->isOpen() && !ADOMaterialA->isEmpty())
        ADOMaterialA->deleteRecord();
}

void TfrmMaterial::N2Click()
{
    if (ADOMaterialB->isOpen() && !ADOMaterialB->isEmpty())
        ADOMaterialB->deleteRecord();
}

void TfrmMaterial::AddBCData(TfrmSelectData &Picker)
{
    Picker.fillFromLibrary(*ADOBC, true);
}

void TfrmMaterial::AddMaterial(TfrmSelectData &Picker)
{
    Picker.fillFromLibrary(*ADOMaterial, false);
}

void TfrmMaterial::N3Click()
{
    if (!ADOMaterialA->isOpen() || !hasScheme())
        return;
    if (!TDBGrid::commitEditors(ADOMaterialA))
        return;
    TfrmSelectData picker(this);
    picker.setWindowTitle(u"选择原材料"_s);
    AddBCData(picker);
    for (const TPickedRow &row : picker.execute()) {
        ADOMaterialA->append();
        ADOMaterialA->field(u"ID"_s).setAsInteger(schemeId());
        ADOMaterialA->field(u"名称"_s).setAsString(row.name);
        ADOMaterialA->field(u"长度"_s).setAsString(row.length);
        ADOMaterialA->field(u"宽度"_s).setAsString(row.width);
        ADOMaterialA->field(u"价格"_s).setAsString(row.price);
        ADOMaterialA->field(u"刀口"_s).setAsString(u"0"_s);
        ADOMaterialA->post();
    }
}

void TfrmMaterial::N4Click()
{
    if (!ADOMaterialB->isOpen())
        return;
    if (!TDBGrid::commitEditors(ADOMaterialB))
        return;
    TfrmSelectData picker(this);
    picker.setWindowTitle(u"选择零件"_s);
    AddMaterial(picker);
    for (const TPickedRow &row : picker.execute()) {
        ADOMaterialB->append();
        if (hasProject())
            ADOMaterialB->field(u"ID"_s).setAsInteger(projectId());
        ADOMaterialB->field(u"名称"_s).setAsString(row.name);
        ADOMaterialB->field(u"长度"_s).setAsString(row.length);
        ADOMaterialB->field(u"宽度"_s).setAsString(row.width);
        ADOMaterialB->field(u"数量"_s).setAsString(u"1"_s);
        ADOMaterialB->post();
    }
}

// ---- hand-off ----

QStringList TfrmMaterial::CheckInput() const
{
    QStringList lines;
    if (ADOMaterialA->isOpen()) {
        const QString scheme
            = hasScheme() ? ADOOrderDetail->field(u"名称"_s).asString() : QString();
        const QString where = (scheme.isEmpty() ? QString() : scheme + u' ') + u"提供的原材料 "_s;
        for (const QString &line :
            DescribeProblems(*ADOMaterialA, CheckRows(*ADOMaterialA, SheetRules), u"名称"_s))
            lines << where + line;
    }
    if (ADOMaterialB->isOpen()) {
        for (const QString &line :
            DescribeProblems(*ADOMaterialB, CheckRows(*ADOMaterialB, PartRules), u"名称"_s))
            lines << u"工程需要切割的零件 "_s + line;
    }
    return lines;
}

QStringList TfrmMaterial::MissingInput() const
{
    QStringList lines;
    if (!hasScheme())
        lines << u"工程还没有加工方案：请在“加工方案”表中增加一个方案。"_s;
    else if (!ADOMaterialA->isOpen() || ADOMaterialA->recordCount() == 0)
        lines << u"方案“%1”还没有提供的原材料：请在“提供的原材料”表中右击，选择原材料。"_s.arg(
            ADOOrderDetail->field(u"名称"_s).asString());
    if (!ADOMaterialB->isOpen() || ADOMaterialB->recordCount() == 0)
        lines << u"工程还没有需要切割的零件：请在“工程需要切割的零件”表中右击，选择零件。"_s;
    return lines;
}

void TfrmMaterial::CreateRectManage(TRectManage &Engine)
{
    FillEngine(Engine, SheetInputs(*ADOMaterialA), PartInputs(*ADOMaterialB));
    // As the rows' walk always did: the last row of each list is current afterwards.
    for (TRowSet *rows : { ADOMaterialA, ADOMaterialB })
        if (rows->isOpen() && rows->recordCount() > 0)
            rows->setRecNo(rows->recordCount());
}

void TfrmMaterial::actYHPYExecute()
{
    // The engine is busy while the results window runs the deep mode or a batch runs.
    if ((frmTypeSet && frmTypeSet->isRunning()) || isBatchRunning()) {
        Dialogs::showInformation(this, deepRunningText(), u"提示"_s);
        return;
    }
    actSaveExecute();
    // Rows the engine cannot use are named and the hand-off stops; what was typed is saved.
    const QStringList problems = CheckInput();
    if (!problems.isEmpty()) {
        Dialogs::showInformation(this,
            u"以下数据不能用于优化排样，请改正或删除后再试：\n"_s + problems.join(u'\n'),
            u"提示"_s);
        return;
    }
    // Without a scheme, sheets or parts the results window could only sit empty (its 优化计算
    // does nothing on empty lists): say what is missing instead.
    const QStringList missing = MissingInput();
    if (!missing.isEmpty()) {
        Dialogs::showInformation(
            this, u"还不能优化排样：\n"_s + missing.join(u'\n'), u"提示"_s);
        return;
    }
    if (!RectManage)
        throw std::logic_error("the layout engine has not been created");
    CreateRectManage(*RectManage);
    PriceSum = 0;
    const auto handOver = [this](TfrmTypeSet &results) {
        results.HandOffProject = currentOrderNo();
        results.HandOffScheme = ADOOrderDetail->field(u"名称"_s).asString();
        results.HandOffParts = PartInputs(*ADOMaterialB);
    };
    if (frmTypeSet) {
        handOver(*frmTypeSet);
        frmTypeSet->SchemeReloaded();
        frmTypeSet->show();
        frmTypeSet->raise();
        return;
    }
    auto *results = new TfrmTypeSet(*RectManage, FrmTypeSetParent);
    results->Notes = Notes;
    results->ProgressStatus = ProgressStatus;
    results->SchemeRows = [] { return frmMaterial ? frmMaterial->ADOOrderDetail : nullptr; };
    handOver(*results);
    results->show();
    results->raise();
}

// ---- import ----

void TfrmMaterial::N5Click()
{
    if (!ADOMaterialA->isOpen() || !hasScheme())
        return;
    if (!TDBGrid::commitEditors(ADOMaterialA))
        return;
    const QList<TImportedRow> rows
        = RunImportDialog(this, ImportTargets::SheetList(), u"导入原材料"_s);
    AppendImportedRows(*ADOMaterialA, ImportTargets::SheetList(), rows);
}

void TfrmMaterial::N6Click()
{
    if (!ADOMaterialB->isOpen() || !hasProject())
        return;
    if (!TDBGrid::commitEditors(ADOMaterialB))
        return;
    const QList<TImportedRow> rows = RunImportDialog(this, ImportTargets::PartList(), u"导入零件"_s);
    AppendImportedRows(*ADOMaterialB, ImportTargets::PartList(), rows);
}

// ---- 计算全部方案 ----

bool TfrmMaterial::isBatchRunning() const
{
    // Until its results are written: the worker may have ended a moment before.
    return bool(FBatch);
}

void TfrmMaterial::actCalcAllExecute()
{
    if (FBatch) {
        FBatch->cancel();
        StatusBar1->showMessage(u"正在停止……"_s);
        return;
    }
    if (frmTypeSet && frmTypeSet->isRunning()) {
        Dialogs::showInformation(this, deepRunningText(), u"提示"_s);
        return;
    }
    actSaveExecute();
    if (!hasScheme()) {
        Dialogs::showInformation(this,
            u"工程还没有加工方案：请在“加工方案”表中增加一个方案。"_s, u"提示"_s);
        return;
    }
    const QList<TPartRow> parts = PartInputs(*ADOMaterialB);
    if (parts.isEmpty()) {
        Dialogs::showInformation(this,
            u"工程还没有需要切割的零件：请在“工程需要切割的零件”表中右击，选择零件。"_s,
            u"提示"_s);
        return;
    }
    const QStringList partProblems
        = DescribeProblems(*ADOMaterialB, CheckRows(*ADOMaterialB, PartRules), u"名称"_s);
    if (!partProblems.isEmpty()) {
        QStringList lines;
        for (const QString &line : partProblems)
            lines << u"工程需要切割的零件 "_s + line;
        Dialogs::showInformation(this,
            u"以下数据不能用于优化排样，请改正或删除后再试：\n"_s + lines.join(u'\n'),
            u"提示"_s);
        return;
    }

    // Every scheme with its sheets as saved; a scheme whose sheets the engine cannot use goes
    // without them, and is named at the end.
    QList<TBatchScheme> schemes;
    const int idColumn = ADOOrderDetail->fieldIndex(u"ID"_s);
    const int nameColumn = ADOOrderDetail->fieldIndex(u"名称"_s);
    for (int r = 0; r < ADOOrderDetail->rowCount(); ++r) {
        TBatchScheme scheme;
        scheme.Id = ADOOrderDetail->data(ADOOrderDetail->index(r, idColumn)).toLongLong();
        scheme.Name = ADOOrderDetail->data(ADOOrderDetail->index(r, nameColumn)).toString();
        TRowSet sheets(Sql::SheetsOfScheme(scheme.Id));
        sheets.open();
        if (CheckRows(sheets, SheetRules).isEmpty())
            scheme.Sheets = SheetInputs(sheets);
        schemes << scheme;
    }

    TBatchOptions options;
    if (frmTypeSet) {
        options.UseCost = frmTypeSet->cbCost->isChecked();
        options.BigSheet = frmTypeSet->cbUseBCMax->isChecked();
        options.Deep = frmTypeSet->cbDeep->isChecked();
        options.Seconds = frmTypeSet->edtSeconds->value();
    } else {
        options.Deep = AppSettings::boolValue(AppSettings::Key::DeepMode);
        options.Seconds = AppSettings::intValue(AppSettings::Key::DeepSeconds);
    }
    options.WorkLimit = FBatchWorkLimit;

    auto *batch = new TSchemeBatch(schemes, parts, options, this);
    FBatch = batch;
    connect(batch, &TSchemeBatch::progress, this,
        [this, schemes](int index, int count, const QString &text) {
            StatusBar1->showMessage(u"计算全部方案：%1（%2/%3）  %4"_s.arg(schemes[index].Name)
                                        .arg(index + 1)
                                        .arg(count)
                                        .arg(text));
            if (ProgressStatus)
                ProgressStatus->setValue(count > 0 ? index * 100 / count : 0);
        });
    connect(batch, &TSchemeBatch::finished, this,
        [this] { Dialogs::guarded([this] { batchFinished(); }); });
    setBatchRunning(true);
    batch->start();
}

void TfrmMaterial::setBatchRunning(bool Running)
{
    // The lists stay as they are while their schemes are laid out.
    splMain->setEnabled(!Running);
    for (QAction *a : { actYHPY, actAddPrj, actDelPrj, actSave })
        a->setEnabled(!Running);
    cbOrder->setEnabled(!Running);
    actCalcAll->setText(Running ? u"停止"_s : u"计算全部方案"_s);
    actCalcAll->setIcon(Running ? WidgetArt::stopIcon() : WidgetArt::runAllIcon());
    if (ProgressStatus && !Running)
        ProgressStatus->setValue(0);
}

void TfrmMaterial::batchFinished()
{
    TSchemeBatch *batch = FBatch;
    if (!batch)
        return;
    const QList<TBatchResult> results = batch->results();
    const bool cancelled = batch->wasCancelled();
    batch->deleteLater();
    FBatch = nullptr;
    setBatchRunning(false);

    // Totals into the rows of the completed schemes, then the cheapest made current.
    QStringList failed;
    int cheapest = -1;
    double cheapestPrice = 0;
    qint64 cheapestSheets = 0;
    const int idColumn = ADOOrderDetail->fieldIndex(u"ID"_s);
    for (const TBatchResult &r : results) {
        if (!r.Completed) {
            failed << u"%1：%2"_s.arg(r.Name, r.Why);
            continue;
        }
        int row = -1;
        for (int i = 0; i < ADOOrderDetail->rowCount(); ++i)
            if (ADOOrderDetail->data(ADOOrderDetail->index(i, idColumn)).toLongLong() == r.Id)
                row = i;
        if (row < 0)
            continue;
        ADOOrderDetail->setRecNo(row + 1);
        WriteSchemeTotals(*ADOOrderDetail, r.Totals);
        if (cheapest < 0 || r.Totals.Price < cheapestPrice
            || (r.Totals.Price == cheapestPrice && r.Totals.Sheets < cheapestSheets)) {
            cheapest = row;
            cheapestPrice = r.Totals.Price;
            cheapestSheets = r.Totals.Sheets;
        }
    }
    if (cheapest >= 0)
        ADOOrderDetail->setRecNo(cheapest + 1);
    StatusBar1->showMessage(cancelled
            ? u"计算全部方案已停止：算完 %1 个方案"_s.arg(results.size() - failed.size())
            : u"计算全部方案完成：%1 个方案"_s.arg(results.size()));
    if (!failed.isEmpty())
        Dialogs::showInformation(this,
            u"以下方案未能算完，保留原来的结果：\n"_s + failed.join(u'\n'), u"提示"_s);
}
