#include "fmLibraryEditor.h"

#include "Command.h"
#include "DBNavigator.h"
#include "Dialogs.h"
#include "RowSet.h"
#include "ShadowPanel.h"
#include "WidgetArt.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QScopeGuard>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmLibraryEditor::TfrmLibraryEditor(const TLibraryDef &def, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(def.objectName);
    // Closing destroys the editor (and with it every unsaved change).
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(u"ToolBar1"_s);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->setFixedHeight(ToolBarHeight);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    column->addWidget(ToolBar1);

    actClose = MakeCommand(this, "actClose", u"关闭"_s, WidgetArt::closeIcon(),
        u"关闭|关闭此窗体"_s, &TfrmLibraryEditor::actCloseExecute);
    actAdd = MakeCommand(this, "actAdd", u"增加一行"_s, WidgetArt::addRowIcon(),
        u"增加一行|增加一条记录"_s, &TfrmLibraryEditor::actAddExecute);
    actDel = MakeCommand(this, "actDel", u"删除一行"_s, WidgetArt::deleteRowIcon(),
        u"删除一行|删除选中的记录"_s, &TfrmLibraryEditor::actDelExecute);
    actModify = MakeCommand(this, "actModify", u"修改数据"_s, WidgetArt::modifyIcon(),
        u"修改数据|修改选中的记录"_s, &TfrmLibraryEditor::actModifyExecute);
    actSave = MakeCommand(this, "actSave", u"保存数据"_s, WidgetArt::saveIcon(),
        u"保存数据|保存数据"_s, &TfrmLibraryEditor::actSaveExecute);
    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addActions({ actAdd, actDel, actModify, actSave });
    for (QAction *a : { actClose, actAdd, actDel, actModify, actSave }) {
        if (QWidget *button = ToolBar1->widgetForAction(a)) {
            button->setObjectName(u"btn"_s + a->objectName().mid(3));
            button->setFixedSize(a == actAdd ? 65 : 60, 40);
        }
    }

    // The panel keeps its size at the left edge; the window around it may grow.
    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    pnlLibrary = new TShadowPanel(this);
    pnlLibrary->setObjectName(u"pnlLibrary"_s);
    pnlLibrary->setFixedSize(PanelSize);
    body->addWidget(pnlLibrary, 0, Qt::AlignLeft | Qt::AlignTop);
    body->addStretch(1);
    column->addLayout(body, 1);

    pnlNavigator = new QFrame(pnlLibrary);
    pnlNavigator->setObjectName(u"pnlNavigator"_s);
    pnlNavigator->setFrameShape(QFrame::Panel);
    pnlNavigator->setFrameShadow(QFrame::Raised);
    pnlNavigator->setAutoFillBackground(true);
    pnlNavigator->setGeometry(QRect(QPoint(16, 12), NavigatorBarSize));
    auto *navRow = new QHBoxLayout(pnlNavigator);
    navRow->setContentsMargins(3, 3, 3, 3);
    DBNavigator1 = new TDBNavigator(pnlNavigator);
    DBNavigator1->setObjectName(u"DBNavigator1"_s);
    navRow->addWidget(DBNavigator1);

    grdLJ = new TDBGrid(pnlLibrary);
    grdLJ->setObjectName(u"grdLJ"_s);
    grdLJ->setGeometry(QRect(QPoint(16, 12 + NavigatorBarSize.height() + 10), GridSize));
    grdLJ->setColumns(def.columns);

    pnlLibrary->addShadow(pnlNavigator, 6);
    pnlLibrary->addShadow(grdLJ, 6);

    // Created after the widgets bound to it, so it is destroyed after them.
    ADOMaterials = new TRowSet(def.commandText, this);
    ADOMaterials->setObjectName(u"ADOMaterials"_s);
    ADOMaterials->setAfterInsert([this](TRowSet &ds) { ADOMaterialsAfterInsert(ds); });
    grdLJ->setDataSource(ADOMaterials);
    DBNavigator1->setDataSource(ADOMaterials);
    setFocusProxy(grdLJ);
}

TfrmLibraryEditor::~TfrmLibraryEditor()
{
    // Unbind before the row set goes, so nothing follows a row set being destroyed.
    grdLJ->setDataSource(nullptr);
    DBNavigator1->setDataSource(nullptr);
}

void TfrmLibraryEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Read the library when the editor appears: on its first showing and after it was hidden
    // itself. A main window coming back from the tray or from being minimised shows its
    // children again, too; that must not throw away what is being edited.
    if (!FReloadOnShow)
        return;
    FReloadOnShow = false;
    Dialogs::guarded([this] { FormShow(); });
}

void TfrmLibraryEditor::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (isHidden()) // hidden itself, not only with its window
        FReloadOnShow = true;
}

void TfrmLibraryEditor::FormShow()
{
    ADOMaterials->close();
    ADOMaterials->open();
}

void TfrmLibraryEditor::ADOMaterialsAfterInsert(TRowSet &DataSet)
{
    DataSet.post();
    DataSet.disableControls();
    const auto reattach = qScopeGuard([&] { DataSet.enableControls(); });
    DataSet.first();
    const int count = DataSet.recordCount();
    for (int i = 1; i <= count; ++i) {
        DataSet.edit();
        DataSet.field(u"name"_s).setAsString(QString::number(i));
        DataSet.post();
        DataSet.next();
    }
}

void TfrmLibraryEditor::actAddExecute()
{
    if (!TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->append();
    // The new row is the last and current one; its length comes next.
    grdLJ->setSelectedIndex(1);
    grdLJ->setFocus();
}

void TfrmLibraryEditor::actDelExecute()
{
    // Text being typed into the row is dropped with it.
    ADOMaterials->deleteRecord();
}

void TfrmLibraryEditor::actModifyExecute()
{
    if (!TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->edit();
    grdLJ->setFocus();
}

void TfrmLibraryEditor::actSaveExecute()
{
    if (!TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->updateBatch();
}

void TfrmLibraryEditor::actCloseExecute()
{
    close();
}
