#include "fmMaterial.h"

#include "AppSettings.h"
#include "Command.h"
#include "DBGrid.h"
#include "DBNavigator.h"
#include "DM.h"
#include "Dialogs.h"
#include "ImportDialog.h"
#include "RowCheck.h"
#include "SchemeBatch.h"
#include "ShadowPanel.h"
#include "TypeSetClass.h"
#include "WidgetArt.h"
#include "fmSelectData.h"
#include "fmTypeSet.h"

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

QList<TGridColumn> SchemeColumns()
{
    return {
        { u"名称"_s, TfrmMaterial::tr("方案名称"), 70 },
        { u"利用率"_s, TfrmMaterial::tr("利用率(%)"), 70 },
        { u"板材数量"_s, TfrmMaterial::tr("板材用量"), 70 },
        { u"总面积"_s, TfrmMaterial::tr("总面积"), 70 },
        { u"总价格"_s, TfrmMaterial::tr("总金额"), 70 },
    };
}
QList<TGridColumn> SheetColumns()
{
    return {
        { u"名称"_s, TfrmMaterial::tr("名称"), 70 },
        { u"长度"_s, TfrmMaterial::tr("长度"), 70 },
        { u"宽度"_s, TfrmMaterial::tr("宽度"), 70 },
        { u"刀口"_s, TfrmMaterial::tr("刀口"), 70 },
        { u"价格"_s, TfrmMaterial::tr("价格"), 70 },
        { u"纹理"_s, TfrmMaterial::tr("纹理"), 50, SheetGrainChoices() },
        { u"修边"_s, TfrmMaterial::tr("修边"), 50 },
        { u"库存"_s, TfrmMaterial::tr("库存"), 50 },
    };
}
QList<TGridColumn> PartColumns()
{
    return {
        { u"名称"_s, TfrmMaterial::tr("名称"), 70 },
        { u"长度"_s, TfrmMaterial::tr("长度"), 70 },
        { u"宽度"_s, TfrmMaterial::tr("宽度"), 70 },
        { u"数量"_s, TfrmMaterial::tr("数量"), 70 },
        { u"纹理"_s, TfrmMaterial::tr("纹理"), 50, PartGrainChoices() },
    };
}

// What the engine needs of the rows: sizes above 0; a kerf and a price, where given, not below 0
// (an empty kerf counts as 0); a quantity of 0 or more.
QList<TColumnRule> SheetRules()
{
    return {
        { u"长度"_s, TfrmMaterial::tr("长度"), TColumnRule::Positive },
        { u"宽度"_s, TfrmMaterial::tr("宽度"), TColumnRule::Positive },
        { u"刀口"_s, TfrmMaterial::tr("刀口"), TColumnRule::NonNegative },
        { u"价格"_s, TfrmMaterial::tr("价格"), TColumnRule::NonNegative, MaxSheetPrice },
        { u"修边"_s, TfrmMaterial::tr("修边"), TColumnRule::NonNegative },
        { u"库存"_s, TfrmMaterial::tr("库存"), TColumnRule::NonNegative },
    };
}
QList<TColumnRule> PartRules()
{
    return {
        { u"长度"_s, TfrmMaterial::tr("长度"), TColumnRule::Positive },
        { u"宽度"_s, TfrmMaterial::tr("宽度"), TColumnRule::Positive },
        { u"数量"_s, TfrmMaterial::tr("数量"), TColumnRule::RequiredNonNegative },
    };
}

// A row is left blank when its name and every number are empty: the Enter key leaves one at the
// end of a list. Such rows are dropped rather than saved or refused.
QList<TColumnRule> SheetBlank()
{
    return QList<TColumnRule> { { u"名称"_s, u"名称"_s } } + SheetRules();
}
QList<TColumnRule> PartBlank()
{
    return QList<TColumnRule> { { u"名称"_s, u"名称"_s } } + PartRules();
}

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

    actClose = MakeCommand(this, "actClose", tr("关闭"), WidgetArt::closeIcon(),
        tr("关闭|关闭此窗体"), &TfrmMaterial::actCloseExecute);
    actYHPY = MakeCommand(this, "actYHPY", tr("优化排样"), WidgetArt::layoutIcon(),
        tr("优化排样|根据选中的项目方案进行优化"), &TfrmMaterial::actYHPYExecute);
    actAddPrj = MakeCommand(this, "actAddPrj", tr("增加工程"), WidgetArt::addProjectIcon(),
        tr("增加工程|增加需要计算的项目数据"), &TfrmMaterial::actAddPrjExecute);
    actDelPrj = MakeCommand(this, "actDelPrj", tr("删除工程"), WidgetArt::deleteProjectIcon(),
        tr("删除工程|删除项目数据"), &TfrmMaterial::actDelPrjExecute);
    actSave = MakeCommand(this, "actSave", tr("保存工程"), WidgetArt::saveIcon(),
        tr("保存工程|保存项目数据"), &TfrmMaterial::actSaveExecute);
    actCalcAll = MakeCommand(this, "actCalcAll", tr("计算全部方案"), WidgetArt::runAllIcon(),
        tr("计算全部方案|用结果窗口的选项依次计算本工程的每个方案，把结果写入方案表以便比较"),
        &TfrmMaterial::actCalcAllExecute);

    cbOrder = new QComboBox(ToolBar1);
    cbOrder->setObjectName(u"cbOrder"_s);
    cbOrder->setEditable(true);
    cbOrder->setInsertPolicy(QComboBox::NoInsert);
    // What is typed is looked up as it stands: no completion to a listed number.
    cbOrder->setCompleter(nullptr);
    cbOrder->setFixedWidth(185);
    cbOrder->setToolTip(tr("工程编号,系统自动生成。"));
    // Every change of the text, typed or chosen from the list, looks the project up.
    connect(cbOrder, &QComboBox::editTextChanged, this,
        [this] { Dialogs::guarded([this] { actFindExecute(); }); });

    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actYHPY);
    auto *boxHolder = new QWidget(ToolBar1);
    auto *boxRow = new QHBoxLayout(boxHolder);
    boxRow->setContentsMargins(6, 0, 6, 0);
    boxRow->addWidget(cbOrder);
    ToolBar1->addWidget(boxHolder);
    ToolBar1->addActions({ actAddPrj, actDelPrj, actSave });
    // The designed commands first: in a window of the first size the added one is what goes
    // behind the overflow button, and the scheme list carries it in view (see createPanes).
    ToolBar1->addAction(actCalcAll);
    for (QAction *a : { actClose, actYHPY, actCalcAll, actAddPrj, actDelPrj, actSave }) {
        if (QWidget *button = ToolBar1->widgetForAction(a)) {
            button->setObjectName(u"btn"_s + a->objectName().mid(3));
            // The designed widths hold the Chinese captions; a longer caption (English)
            // widens its button rather than being cut short.
            const int designed = a == actYHPY ? 65 : a == actCalcAll ? 84 : 60;
            button->setFixedSize(std::max(designed, button->sizeHint().width()), 40);
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

TShadowPanel *TfrmMaterial::createPane(const QString &name, const QString &caption,
    TDBNavigator *&navigator, TDBGrid *&grid, QAction *Command)
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
    navigator->setHints(TDBNavigator::defaultHints());
    barRow->addWidget(navigator);
    barRow->addStretch(1);
    box->addWidget(bar);

    auto *title = new QLabel(caption, pane);
    title->setObjectName(u"lbl"_s + name);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    if (Command) {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(title);
        row->addStretch(1);
        auto *button = new QToolButton(pane);
        button->setObjectName(u"btn"_s + Command->objectName().mid(3) + name);
        button->setDefaultAction(Command);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        row->addWidget(button);
        box->addLayout(row);
    } else {
        box->addWidget(title);
    }
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

    // 计算全部方案 beside the scheme list's caption, where it stays in view at any width.
    pnlFA = createPane(u"FA"_s, tr("加工方案"), navFA, rdgFA, actCalcAll);
    rdgFA->setColumns(SchemeColumns());
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
    pnlYCL = createPane(u"YCL"_s, tr("提供的原材料"), navYCL, rdgYCL);
    pnlLJ = createPane(u"LJ"_s, tr("工程需要切割的零件"), navLJ, rdgLJ);
    rdgYCL->setColumns(SheetColumns());
    rdgLJ->setColumns(PartColumns());
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

    N1 = menuCommand("N1", tr("删除"), &TfrmMaterial::N1Click);
    N3 = menuCommand("N3", tr("选择原材料"), &TfrmMaterial::N3Click);
    N2 = menuCommand("N2", tr("删除"), &TfrmMaterial::N2Click);
    N4 = menuCommand("N4", tr("选择零件"), &TfrmMaterial::N4Click);
    N5 = menuCommand("N5", tr("导入原材料…"), &TfrmMaterial::N5Click);
    N6 = menuCommand("N6", tr("导入零件…"), &TfrmMaterial::N6Click);
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
        DropBlankRows(Rows, SheetBlank());
    else if (&Rows == ADOMaterialB)
        DropBlankRows(Rows, PartBlank());
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
    RenumberNames(DataSet, u"名称"_s, tr("方案"));
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
    picker.setWindowTitle(tr("选择原材料"));
    AddBCData(picker);
    for (const TPickedRow &row : picker.execute()) {
        ADOMaterialA->append();
        ADOMaterialA->field(u"ID"_s).setAsInteger(schemeId());
        ADOMaterialA->field(u"名称"_s).setAsString(row.name);
        ADOMaterialA->field(u"长度"_s).setAsString(row.length);
        ADOMaterialA->field(u"宽度"_s).setAsString(row.width);
        ADOMaterialA->field(u"价格"_s).setAsString(row.price);
        ADOMaterialA->field(u"刀口"_s).setAsString(u"0"_s);
        ADOMaterialA->field(u"纹理"_s).setAsString(row.grain);
        ADOMaterialA->field(u"修边"_s).setAsString(row.trim);
        ADOMaterialA->field(u"库存"_s).setAsString(row.stock);
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
    picker.setWindowTitle(tr("选择零件"));
    AddMaterial(picker);
    for (const TPickedRow &row : picker.execute()) {
        ADOMaterialB->append();
        if (hasProject())
            ADOMaterialB->field(u"ID"_s).setAsInteger(projectId());
        ADOMaterialB->field(u"名称"_s).setAsString(row.name);
        ADOMaterialB->field(u"长度"_s).setAsString(row.length);
        ADOMaterialB->field(u"宽度"_s).setAsString(row.width);
        ADOMaterialB->field(u"数量"_s).setAsString(u"1"_s);
        ADOMaterialB->field(u"纹理"_s).setAsString(row.grain);
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
        const QString where = (scheme.isEmpty() ? QString() : scheme + u' ') + tr("提供的原材料 ");
        for (const QString &line : DescribeProblems(*ADOMaterialA,
                 CheckRows(*ADOMaterialA, SheetRules())
                     + TrimProblems(*ADOMaterialA, u"修边"_s, u"长度"_s, u"宽度"_s, tr("修边")),
                 u"名称"_s))
            lines << where + line;
    }
    if (ADOMaterialB->isOpen()) {
        for (const QString &line :
            DescribeProblems(*ADOMaterialB, CheckRows(*ADOMaterialB, PartRules()), u"名称"_s))
            lines << tr("工程需要切割的零件 ") + line;
    }
    return lines;
}

QStringList TfrmMaterial::MissingInput() const
{
    QStringList lines;
    if (!hasScheme())
        lines << tr("工程还没有加工方案：请在“加工方案”表中增加一个方案。");
    else if (!ADOMaterialA->isOpen() || ADOMaterialA->recordCount() == 0)
        lines << tr("方案“%1”还没有提供的原材料：请在“提供的原材料”表中右击，选择原材料。")
                     .arg(ADOOrderDetail->field(u"名称"_s).asString());
    if (!ADOMaterialB->isOpen() || ADOMaterialB->recordCount() == 0)
        lines << tr("工程还没有需要切割的零件：请在“工程需要切割的零件”表中右击，选择零件。");
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
        Dialogs::showInformation(this, deepRunningText(), tr("提示"));
        return;
    }
    actSaveExecute();
    // Rows the engine cannot use are named and the hand-off stops; what was typed is saved.
    const QStringList problems = CheckInput();
    if (!problems.isEmpty()) {
        Dialogs::showInformation(this,
            tr("以下数据不能用于优化排样，请改正或删除后再试：\n") + problems.join(u'\n'),
            tr("提示"));
        return;
    }
    // Without a scheme, sheets or parts the results window could only sit empty (its 优化计算
    // does nothing on empty lists): say what is missing instead.
    const QStringList missing = MissingInput();
    if (!missing.isEmpty()) {
        Dialogs::showInformation(this, tr("还不能优化排样：\n") + missing.join(u'\n'), tr("提示"));
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
        = RunImportDialog(this, ImportTargets::SheetList(), tr("导入原材料"));
    AppendImportedRows(*ADOMaterialA, ImportTargets::SheetList(), rows);
}

void TfrmMaterial::N6Click()
{
    if (!ADOMaterialB->isOpen() || !hasProject())
        return;
    if (!TDBGrid::commitEditors(ADOMaterialB))
        return;
    const QList<TImportedRow> rows
        = RunImportDialog(this, ImportTargets::PartList(), tr("导入零件"));
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
        StatusBar1->showMessage(tr("正在停止……"));
        return;
    }
    if (frmTypeSet && frmTypeSet->isRunning()) {
        Dialogs::showInformation(this, deepRunningText(), tr("提示"));
        return;
    }
    actSaveExecute();
    if (!hasScheme()) {
        Dialogs::showInformation(
            this, tr("工程还没有加工方案：请在“加工方案”表中增加一个方案。"), tr("提示"));
        return;
    }
    const QList<TPartRow> parts = PartInputs(*ADOMaterialB);
    if (parts.isEmpty()) {
        Dialogs::showInformation(this,
            tr("工程还没有需要切割的零件：请在“工程需要切割的零件”表中右击，选择零件。"),
            tr("提示"));
        return;
    }
    const QStringList partProblems
        = DescribeProblems(*ADOMaterialB, CheckRows(*ADOMaterialB, PartRules()), u"名称"_s);
    if (!partProblems.isEmpty()) {
        QStringList lines;
        for (const QString &line : partProblems)
            lines << tr("工程需要切割的零件 ") + line;
        Dialogs::showInformation(this,
            tr("以下数据不能用于优化排样，请改正或删除后再试：\n") + lines.join(u'\n'), tr("提示"));
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
        if (CheckRows(sheets, SheetRules()).isEmpty())
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
            StatusBar1->showMessage(tr("计算全部方案：%1（%2/%3）  %4")
                                        .arg(schemes[index].Name)
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
    actCalcAll->setText(Running ? tr("停止") : tr("计算全部方案"));
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
            failed << tr("%1：%2").arg(r.Name, r.Why);
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
            ? tr("计算全部方案已停止：算完 %1 个方案").arg(results.size() - failed.size())
            : tr("计算全部方案完成：%1 个方案").arg(results.size()));
    if (!failed.isEmpty())
        Dialogs::showInformation(
            this, tr("以下方案未能算完，保留原来的结果：\n") + failed.join(u'\n'), tr("提示"));
}
