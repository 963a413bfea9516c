#include "fmLibraryEditor.h"

#include "Command.h"
#include "DBNavigator.h"
#include "DM.h"
#include "Dialogs.h"
#include "ImportDialog.h"
#include "RowSet.h"
#include "ShadowPanel.h"
#include "WidgetArt.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QScopeGuard>
#include <QScrollArea>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmLibraryEditor::TfrmLibraryEditor(const TLibraryDef &def, QWidget *parent)
    : QWidget(parent)
    , FRules(def.rules)
    , FImportTarget(def.importTarget)
    , FImportCaption(def.importCaption)
{
    setObjectName(def.objectName);
    // Closing destroys the editor (and with it every unsaved change).
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ToolBar1 = MakeWorkToolBar(this);
    ToolBar1->setFixedHeight(ToolBarHeight);
    column->addWidget(ToolBar1);

    actClose = MakeCommand(this, "actClose", tr("关闭"), WidgetArt::closeIcon(),
        tr("关闭|关闭此窗体"), &TfrmLibraryEditor::actCloseExecute);
    actAdd = MakeCommand(this, "actAdd", tr("增加一行"), WidgetArt::addRowIcon(),
        tr("增加一行|增加一条记录"), &TfrmLibraryEditor::actAddExecute);
    actDel = MakeCommand(this, "actDel", tr("删除一行"), WidgetArt::deleteRowIcon(),
        tr("删除一行|删除选中的记录"), &TfrmLibraryEditor::actDelExecute);
    actModify = MakeCommand(this, "actModify", tr("修改数据"), WidgetArt::modifyIcon(),
        tr("修改数据|修改选中的记录"), &TfrmLibraryEditor::actModifyExecute);
    actSave = MakeCommand(this, "actSave", tr("保存数据"), WidgetArt::saveIcon(),
        tr("保存数据|保存数据"), &TfrmLibraryEditor::actSaveExecute);
    actImport = MakeCommand(this, "actImport", tr("导入"), WidgetArt::importIcon(),
        tr("导入|从Excel或CSV文件导入"), &TfrmLibraryEditor::actImportExecute);
    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addActions({ actAdd, actDel, actModify, actSave });
    ToolBar1->addSeparator();
    ToolBar1->addAction(actImport);
    for (QAction *a : { actClose, actAdd, actDel, actModify, actSave, actImport }) {
        if (QWidget *button = ToolBar1->widgetForAction(a)) {
            button->setObjectName(u"btn"_s + a->objectName().mid(3));
            button->setFixedSize(a == actAdd ? 65 : 60, 40);
        }
    }

    // The panel keeps its size at the left edge; the window around it may grow, and when the
    // window is smaller than the panel, the panel scrolls.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(u"scrLibrary"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *page = new QWidget;
    auto *body = new QHBoxLayout(page);
    body->setContentsMargins(0, 0, 0, 0);
    pnlLibrary = new TShadowPanel(page);
    pnlLibrary->setObjectName(u"pnlLibrary"_s);
    // A library of many columns (the sheets with grain, trim and stock) gets a wider grid, and
    // the panel grows with it.
    int columnsWidth = 0;
    for (const TGridColumn &c : def.columns)
        columnsWidth += c.width;
    const QSize gridSize(std::max(GridSize.width(), columnsWidth + GridChrome), GridSize.height());
    pnlLibrary->setFixedSize(PanelSize + QSize(gridSize.width() - GridSize.width(), 0));
    body->addWidget(pnlLibrary, 0, Qt::AlignLeft | Qt::AlignTop);
    body->addStretch(1);
    scroll->setWidget(page);
    column->addWidget(scroll, 1);

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
    grdLJ->setGeometry(QRect(QPoint(16, 12 + NavigatorBarSize.height() + 10), gridSize));
    grdLJ->setColumns(def.columns);

    pnlLibrary->addShadow(pnlNavigator, 6);
    pnlLibrary->addShadow(grdLJ, 6);

    // Created after the widgets bound to it, so it is destroyed after them.
    ADOMaterials = new TRowSet(def.commandText, this);
    ADOMaterials->setObjectName(u"ADOMaterials"_s);
    ADOMaterials->setAfterInsert([this](TRowSet &ds) { ADOMaterialsAfterInsert(ds); });
    grdLJ->setDataSource(ADOMaterials);
    grdLJ->setPasteTarget(FImportTarget);
    grdLJ->setPasteHandler([this](const TImportTarget &, const QList<TImportedRow> &rows) {
        if (ensureRead())
            importRows(rows);
    });
    DBNavigator1->setDataSource(ADOMaterials);
    setFocusProxy(grdLJ);

    // The file could not be read when the editor was shown: read it once the data module has
    // opened the file again (after the command that did so has finished).
    if (FrmDM)
        connect(
            FrmDM, &TFrmDM::connected, this,
            [this] {
                if (!FReloadOnShow && !ADOMaterials->isOpen())
                    Dialogs::guarded([this] { FormShow(); });
            },
            Qt::QueuedConnection);
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
    if (FImporting)
        return; // the batch renumbers once at its end
    DataSet.post();
    // Rows are numbered by position; a name the user typed ("中纤板 18mm") is kept.
    RenumberNames(DataSet, u"name"_s, QString());
}

// A library that could not be read is read now. False when it had to be: the command stops
// there, so that nothing acts on rows the user has not seen yet.
bool TfrmLibraryEditor::ensureRead()
{
    if (ADOMaterials->isOpen())
        return true;
    FormShow();
    return false;
}

void TfrmLibraryEditor::actAddExecute()
{
    if (!ensureRead() || !TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->append();
    // The new row is the last and current one; its length comes next.
    grdLJ->setSelectedIndex(1);
    grdLJ->setFocus();
}

void TfrmLibraryEditor::actDelExecute()
{
    if (!ensureRead())
        return;
    // Text being typed into the row is dropped with it.
    ADOMaterials->deleteRecord();
}

void TfrmLibraryEditor::actModifyExecute()
{
    if (!ensureRead() || !TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->edit();
    grdLJ->setFocus();
}

QStringList TfrmLibraryEditor::rowProblems() const
{
    const TRowSet &rows = *ADOMaterials;
    QStringList lines;
    const QList<TRowProblem> problems = CheckRows(rows, FRules)
        + TrimProblems(rows, u"Trim"_s, u"Length"_s, u"Width"_s, tr("修边"));
    for (const TRowProblem &p : problems) {
        if (RowIsBlank(rows, p.row - 1, FRules))
            continue;
        // Names are mostly the row numbers the renumbering wrote; only a name of its own helps.
        const int nameColumn = rows.fieldIndex(u"Name"_s);
        const QString name = nameColumn < 0
            ? QString()
            : rows.data(rows.index(p.row - 1, nameColumn)).toString().trimmed();
        const bool ownName = !IsNumberedName(name, QString());
        lines << DescribeProblems(rows, { p }, ownName ? u"Name"_s : QString());
    }
    return lines;
}

// Rows the user started and left without any size or price (Enter at the end of the last row
// appends one) are dropped, not saved.
void TfrmLibraryEditor::actSaveExecute()
{
    if (!ensureRead() || !TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->post();
    const QStringList problems = rowProblems();
    if (!problems.isEmpty()) {
        Dialogs::showError(this,
            tr("下面这些行的数据不能用于下料，所以什么都没有保存。"
               "请改正或删除这些行，然后再保存：\n")
                + problems.join(u'\n'));
        return;
    }
    DropBlankRows(*ADOMaterials, FRules);
    ADOMaterials->updateBatch();
}

void TfrmLibraryEditor::actImportExecute()
{
    if (!ensureRead() || !TDBGrid::commitEditors(ADOMaterials))
        return;
    importRows(RunImportDialog(this, FImportTarget, FImportCaption));
}

void TfrmLibraryEditor::importRows(const QList<TImportedRow> &Rows)
{
    if (Rows.isEmpty() || !TDBGrid::commitEditors(ADOMaterials))
        return;
    ADOMaterials->changeAtomically([&] {
        FImporting = true;
        const auto done = qScopeGuard([this] { FImporting = false; });
        AppendImportedRows(*ADOMaterials, FImportTarget, Rows);
        FImporting = false;
        // The last added row stays current, as after 增加一行.
        ADOMaterialsAfterInsert(*ADOMaterials);
    });
    grdLJ->setFocus();
}

void TfrmLibraryEditor::actCloseExecute()
{
    close();
}
