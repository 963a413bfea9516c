#include "fmTypeSet.h"

#include "AppSettings.h"
#include "Command.h"
#include "ConfirmCutting.h"
#include "CutPlan.h"
#include "CutPlanText.h"
#include "Dialogs.h"
#include "DrawMaterial.h"
#include "DxfWriter.h"
#include "LabelWriter.h"
#include "LayoutFromEngine.h"
#include "RowSet.h"
#include "RunReport.h"
#include "SaveFile.h"
#include "SvgWriter.h"
#include "TabStrip.h"
#include "TableWriter.h"
#include "TypeSetClass.h"
#include "WidgetArt.h"
#include "Workshop.h"
#include "fmPreview.h"
#include "fmWorkshop.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableWidget>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

double PriceSum = 0;
qint64 Panel4_Tag = 0;
qint64 Panel7_Tag = 0;
TfrmTypeSet *frmTypeSet = nullptr;

namespace {

const QColor ListBackground(250, 245, 220);

// The millisecond tick count the run's duration is measured with.
quint32 tickCount()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return quint32(clock.elapsed());
}

QTableWidget *listView(const QString &name, const QStringList &titles, QWidget *parent)
{
    auto *list = new QTableWidget(0, int(titles.size()), parent);
    list->setObjectName(name);
    list->setHorizontalHeaderLabels(titles);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setSectionsClickable(false);
    list->horizontalHeader()->setHighlightSections(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setShowGrid(true);
    list->setWordWrap(false);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, ListBackground);
    list->setPalette(pal);
    return list;
}

void setRow(QTableWidget *list, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        list->setItem(row, c, new QTableWidgetItem(cells[c]));
}

QLabel *captionPanel(const QString &name, int width, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(width);
    return label;
}

// 锯切顺序: a sheet with numbered saw lines.
QIcon cutsIcon()
{
    return WidgetArt::drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(120, 90, 50), 1.2));
        p.setBrush(QColor(235, 215, 170));
        p.drawRect(QRectF(2, 5, 28, 22));
        p.setPen(QPen(QColor(200, 40, 30), 2, Qt::DashLine));
        p.drawLine(QPointF(13, 5), QPointF(13, 27));
        p.drawLine(QPointF(13, 16), QPointF(30, 16));
        QFont f = p.font();
        f.setPixelSize(9);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(200, 40, 30));
        p.drawText(QRectF(3, 6, 9, 10), Qt::AlignCenter, u"1"_s);
        p.drawText(QRectF(18, 6, 10, 10), Qt::AlignCenter, u"2"_s);
    });
}

} // namespace

TfrmTypeSet::TfrmTypeSet(TRectManage &Engine, QWidget *parent)
    : QWidget(parent)
    , FEngine(Engine)
{
    setObjectName(u"frmTypeSet"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    frmTypeSet = this;

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    createToolBar();
    column->addWidget(ToolBar1);
    column->addWidget(ToolBar2);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(u"Splitter1"_s);
    Splitter1->setChildrenCollapsible(false);
    createLeftPane();
    createLayoutArea();
    column->addWidget(Splitter1, 1);
    createStatusBar();
    column->addWidget(StatusBar1);

    // FormCreate: the engine's layout events come to this window from now on.
    FEngine.SetOnNewRectList(
        [this](int Group, int BCindex, int RectCount) { NewRectList(Group, BCindex, RectCount); });
}

TfrmTypeSet::~TfrmTypeSet()
{
    abandonRun();
    FEngine.SetOnNewRectList(nullptr);
    if (frmTypeSet == this)
        frmTypeSet = nullptr;
}

void TfrmTypeSet::createToolBar()
{
    ToolBar1 = MakeWorkToolBar(this);

    actClose = MakeCommand(this, "actClose", tr("关闭"), WidgetArt::closeIcon(),
        tr("关闭|关闭此窗体"), &TfrmTypeSet::actCloseExecute);
    actYHJS = MakeCommand(this, "actYHJS", tr("优化计算"), WidgetArt::runIcon(),
        tr("优化计算|根据选中的项目方案进行优化计算"), &TfrmTypeSet::actYHJSExecute);
    actPreview = MakeCommand(this, "actPreview", tr("打印预览"), WidgetArt::previewIcon(),
        tr("打印预览|预览实际排样情况"), &TfrmTypeSet::actPreviewExecute);
    actZoomIn = MakeCommand(this, "actZoomIn", tr("放大"), WidgetArt::zoomInIcon(),
        tr("放大|排样图放大"), &TfrmTypeSet::ScalingPanelInc);
    actZoomOut = MakeCommand(this, "actZoomOut", tr("缩小"), WidgetArt::zoomOutIcon(),
        tr("缩小|排样图缩小"), &TfrmTypeSet::ScalingPanelDec);
    actConfirm = MakeCommand(this, "actConfirm", tr("确认下料"), WidgetArt::saveIcon(),
        tr("确认下料|按这次排样下料：从原材料库存中减去用掉的原材料，并把余料加入原材料库"),
        &TfrmTypeSet::actConfirmExecute);
    actConfirm->setEnabled(false);
    actCuts = MakeCommand(this, "actCuts", tr("锯切顺序"), WidgetArt::runIcon(),
        tr("锯切顺序|在排样图上显示每一刀的位置和顺序，并列出锯切清单和余料"),
        &TfrmTypeSet::actCutsExecute);
    actCuts->setIcon(cutsIcon());
    actCuts->setCheckable(true);
    actWorkshop = MakeCommand(this, "actWorkshop", tr("车间图"), WidgetArt::previewIcon(),
        tr("车间图|每张排版一页：尺寸线、锯切顺序、零件表和余料，供车间下料"),
        &TfrmTypeSet::actWorkshopExecute);
    actExportTables = MakeCommand(this, "actExportTables", tr("导出用料表…"), QIcon(),
        tr("导出用料表|把原材料用量、零件表和每个排版的零件导出为 Excel 或 CSV 文件"),
        &TfrmTypeSet::actExportTablesExecute);
    actExportDxf = MakeCommand(this, "actExportDxf", tr("导出排版图（DXF）…"), QIcon(),
        tr("导出排版图（DXF）|每个排版一个 DXF 文件，含零件和锯切线，供 CAD 和数控锯使用"),
        &TfrmTypeSet::actExportDxfExecute);
    actExportSvg = MakeCommand(this, "actExportSvg", tr("导出排版图（SVG）…"), QIcon(),
        tr("导出排版图（SVG）|每个排版一个按比例的 SVG 图"), &TfrmTypeSet::actExportSvgExecute);
    actLabels = MakeCommand(this, "actLabels", tr("打印标签…"), QIcon(),
        tr("打印标签|每个零件一张标签（条码、名称、尺寸、排版号），保存为 PDF"),
        &TfrmTypeSet::actLabelsExecute);
    auto *exportMenu = new QMenu(this);
    exportMenu->setObjectName(u"mnuExport"_s);
    exportMenu->addActions({ actExportTables, actExportDxf, actExportSvg });
    exportMenu->addSeparator();
    exportMenu->addAction(actLabels);
    actExport = new QAction(WidgetArt::exportIcon(), tr("导出"), this);
    actExport->setObjectName(u"actExport"_s);
    SetHint(actExport, tr("导出|导出用料表、排版图和零件标签"));
    actExport->setMenu(exportMenu);

    ComboBox1 = new QComboBox(ToolBar1);
    ComboBox1->setObjectName(u"ComboBox1"_s);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setFixedWidth(73);
    ComboBox1->setToolTip(tr("显示比例"));
    for (int s = 10; s <= 100; s += 10)
        ComboBox1->addItem(QString::number(s));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->lineEdit()->installEventFilter(this);
    connect(ComboBox1, &QComboBox::editTextChanged, this,
        [this] { Dialogs::guarded([this] { ComboBox1Change(); }); });

    cbUseBCMax = new QCheckBox(tr("大板优先"), ToolBar1);
    cbUseBCMax->setObjectName(u"cbUseBCMax"_s);
    cbUseBCMax->setToolTip(tr("大板优先", "tool tip"));
    cbUseBCMax->setStatusTip(tr("优先使用大尺寸原材料"));
    cbCost = new QCheckBox(tr("成本优先"), ToolBar1);
    cbCost->setObjectName(u"cbCost"_s);
    cbCost->setToolTip(tr("成本优先"));
    cbCost->setStatusTip(tr("使用低价原材料"));
    cbDeep = new QCheckBox(tr("深度优化"), ToolBar1);
    cbDeep->setObjectName(u"cbDeep"_s);
    cbDeep->setToolTip(tr("深度优化", "tool tip"));
    cbDeep->setStatusTip(
        tr("在给定时间内搜索用料最少（勾选成本优先时为成本最低）的排样，计算时可随时停止"));
    cbDeep->setChecked(AppSettings::boolValue(AppSettings::Key::DeepMode));
    edtSeconds = new QSpinBox(ToolBar1);
    edtSeconds->setObjectName(u"edtSeconds"_s);
    edtSeconds->setRange(1, 3600);
    edtSeconds->setSuffix(tr(" 秒"));
    edtSeconds->setToolTip(tr("深度优化的计算时间"));
    edtSeconds->setStatusTip(tr("深度优化最多计算的时间（1 到 3600 秒）；证明最优时提前结束"));
    edtSeconds->setValue(AppSettings::intValue(AppSettings::Key::DeepSeconds));
    edtSeconds->setEnabled(cbDeep->isChecked());
    connect(cbDeep, &QCheckBox::toggled, this, [this](bool on) {
        AppSettings::setValue(AppSettings::Key::DeepMode, on);
        edtSeconds->setEnabled(on && !FRunning);
    });
    connect(edtSeconds, &QSpinBox::valueChanged, this,
        [](int seconds) { AppSettings::setValue(AppSettings::Key::DeepSeconds, seconds); });

    ToolBar1->addAction(actClose);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actYHJS);
    auto *boxHolder = new QWidget(ToolBar1);
    auto *boxRow = new QHBoxLayout(boxHolder);
    boxRow->setContentsMargins(6, 0, 6, 0);
    boxRow->addWidget(ComboBox1);
    ToolBar1->addWidget(boxHolder);
    ToolBar1->addActions({ actPreview, actZoomIn, actZoomOut });
    // The run's options in two rows, so that they stay in view beside the designed commands in
    // a window of the first size; the workshop commands follow them.
    auto *checks = new QWidget(ToolBar1);
    auto *checkGrid = new QGridLayout(checks);
    checkGrid->setContentsMargins(6, 0, 6, 0);
    checkGrid->setHorizontalSpacing(6);
    checkGrid->setVerticalSpacing(2);
    checkGrid->addWidget(cbUseBCMax, 0, 0);
    checkGrid->addWidget(cbCost, 0, 1);
    checkGrid->addWidget(cbDeep, 1, 0);
    checkGrid->addWidget(edtSeconds, 1, 1);
    ToolBar1->addWidget(checks);
    for (QAction *a : { actClose, actYHJS, actPreview, actZoomIn, actZoomOut })
        if (QWidget *button = ToolBar1->widgetForAction(a))
            button->setFixedSize(a == actYHJS ? QSize(84, 54) : QSize(60, 40));

    // The commands for the saw and the stock have a compact row of their own under the designed
    // one: beside it they would not fit a window of the first size and would hide behind the
    // overflow button, where nobody looks for them.
    ToolBar2 = MakeWorkToolBar(this);
    ToolBar2->setObjectName(u"ToolBar2"_s);
    ToolBar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar2->setIconSize(QSize(16, 16));
    ToolBar2->addActions({ actCuts, actWorkshop, actExport, actConfirm });
    if (auto *button = qobject_cast<QToolButton *>(ToolBar2->widgetForAction(actExport)))
        button->setPopupMode(QToolButton::InstantPopup);
    for (QToolBar *bar : { ToolBar1, ToolBar2 })
        for (QAction *a : bar->actions())
            if (QWidget *button = bar->widgetForAction(a); button && !a->objectName().isEmpty())
                button->setObjectName(u"btn"_s + a->objectName().mid(3));
}

void TfrmTypeSet::createLeftPane()
{
    auto *left = new QWidget(Splitter1);
    left->setObjectName(u"pnlLeft"_s);
    auto *box = new QVBoxLayout(left);
    box->setContentsMargins(2, 2, 2, 2);
    box->setSpacing(2);

    auto *split = new QSplitter(Qt::Vertical, left);
    split->setObjectName(u"Splitter2"_s);
    split->setChildrenCollapsible(false);

    auto *usage = new QGroupBox(tr("原材料使用汇总"), split);
    usage->setObjectName(u"GroupBox1"_s);
    auto *usageBox = new QVBoxLayout(usage);
    usageBox->setContentsMargins(2, 2, 2, 2);
    ListView2 = listView(u"ListView2"_s, { tr("名称"), tr("长度"), tr("宽度"), tr("用量") }, usage);
    usageBox->addWidget(ListView2);

    auto *details = new QGroupBox(tr("切割方案详情"), split);
    details->setObjectName(u"GroupBox2"_s);
    auto *detailsBox = new QVBoxLayout(details);
    detailsBox->setContentsMargins(2, 2, 2, 2);
    ValueListEditor1 = listView(u"ValueListEditor1"_s, { tr("标识"), tr("值") }, details);
    ValueListEditor1->setColumnWidth(0, 86);
    ValueListEditor1->setColumnWidth(1, 115);
    // The values take what is left of the pane's width rather than a scroll bar.
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ValueListEditor1->setFixedHeight(ValueListEditor1->horizontalHeader()->sizeHint().height()
        + 5 * ValueListEditor1->verticalHeader()->defaultSectionSize() + 4);
    detailsBox->addWidget(ValueListEditor1);
    ListView1
        = listView(u"ListView1"_s, { tr("名称"), tr("长度"), tr("宽度"), tr("数量") }, details);
    detailsBox->addWidget(ListView1, 1);
    lstCuts = listView(u"lstCuts"_s, CutColumnTitles(), details);
    for (int c = 0; c < lstCuts->columnCount(); ++c)
        lstCuts->setColumnWidth(c, c == 0 ? 34 : 40);
    lstCuts->hide();
    detailsBox->addWidget(lstCuts, 1);
    lblOffcuts = new QLabel(details);
    lblOffcuts->setObjectName(u"lblOffcuts"_s);
    lblOffcuts->setWordWrap(true);
    lblOffcuts->hide();
    detailsBox->addWidget(lblOffcuts);
    for (QTableWidget *list : { ListView2, ListView1 }) {
        list->setColumnWidth(0, 64);
        for (int c = 1; c < 4; ++c)
            list->setColumnWidth(c, 44);
    }

    split->addWidget(usage);
    split->addWidget(details);
    split->setSizes({ 150, 300 });
    box->addWidget(split, 1);

    Panel4 = new QLabel(left);
    Panel4->setObjectName(u"Panel4"_s);
    Panel4->setFrameShape(QFrame::Panel);
    Panel4->setFrameShadow(QFrame::Sunken);
    Panel4->setFixedHeight(22);
    box->addWidget(Panel4);
    Panel10 = new QLabel(left);
    Panel10->setObjectName(u"Panel10"_s);
    Panel10->hide();

    Splitter1->addWidget(left);
}

void TfrmTypeSet::createLayoutArea()
{
    auto *right = new QWidget(Splitter1);
    right->setObjectName(u"pnlLayout"_s);
    auto *box = new QVBoxLayout(right);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);

    ScrollBox1 = new QScrollArea(right);
    ScrollBox1->setObjectName(u"ScrollBox1"_s);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = ScrollBox1->palette();
    pal.setColor(QPalette::Window, ListBackground);
    ScrollBox1->setPalette(pal);
    ScrollBox1->viewport()->setPalette(pal);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    FViews = new QWidget;
    FViews->setObjectName(u"pnlViews"_s);
    FViews->setPalette(pal);
    FViews->resize(0, 0);
    ScrollBox1->setWidget(FViews);
    box->addWidget(ScrollBox1, 1);

    // The tabs, and beside them a box that jumps to a layout by its number: reaching tab 438 of
    // a long run by scrolling takes the better part of a minute.
    auto *tabRow = new QWidget(right);
    tabRow->setObjectName(u"pnlTabs"_s);
    auto *tabLine = new QHBoxLayout(tabRow);
    tabLine->setContentsMargins(0, 0, 2, 0);
    tabLine->setSpacing(4);
    TabSet1 = new TTabStrip(tabRow);
    TabSet1->setObjectName(u"TabSet1"_s);
    connect(TabSet1, &TTabStrip::currentChanged, this, [this](int index) {
        if (index >= 0)
            Dialogs::guarded([&] { TabSet1Change(index); });
        const QSignalBlocker quiet(edtGoTo);
        edtGoTo->setValue(std::max(1, index + 1));
    });
    tabLine->addWidget(TabSet1, 1);
    auto *goToLabel = new QLabel(tr("转到切割"), tabRow);
    edtGoTo = new QSpinBox(tabRow);
    edtGoTo->setObjectName(u"edtGoTo"_s);
    edtGoTo->setRange(1, 1);
    edtGoTo->setKeyboardTracking(false); // a number is taken when typed in full (Enter)
    edtGoTo->setToolTip(tr("输入排版序号后按回车，直接转到该排版（Ctrl+G）"));
    edtGoTo->setEnabled(false);
    goToLabel->setBuddy(edtGoTo);
    connect(edtGoTo, &QSpinBox::valueChanged, this, [this](int n) {
        if (n >= 1 && n <= TabSet1->count())
            TabSet1->setCurrentIndex(n - 1);
    });
    tabLine->addWidget(goToLabel);
    tabLine->addWidget(edtGoTo);
    box->addWidget(tabRow);

    // From anywhere in the window: Ctrl+PgUp/PgDn to the previous or next layout, Ctrl+G to the
    // number box.
    const auto shortcut = [this](const QKeySequence &keys, std::function<void()> run) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, std::move(run));
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] {
        if (TabSet1->currentIndex() > 0)
            TabSet1->setCurrentIndex(TabSet1->currentIndex() - 1);
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] {
        if (TabSet1->currentIndex() + 1 < TabSet1->count())
            TabSet1->setCurrentIndex(TabSet1->currentIndex() + 1);
    });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_G), [this] {
        if (edtGoTo->isEnabled()) {
            edtGoTo->setFocus();
            edtGoTo->selectAll();
        }
    });

    FCaptions = new QWidget(right);
    FCaptions->setObjectName(u"pnlCaptions"_s);
    Panel8 = captionPanel(u"Panel8"_s, 105, FCaptions);
    Panel7 = captionPanel(u"Panel7"_s, 104, FCaptions);
    pnlPriceSum = captionPanel(u"pnlPriceSum"_s, 120, FCaptions);
    pnlBound = captionPanel(u"pnlBound"_s, 150, FCaptions);
    pnlBound->setToolTip(tr("深度优化证明的下界：任何排样所需的原材料（或成本）都不会少于它；"
                            "差距是本结果比下界多出的比例"));
    pnlBound->hide();
    Panel5 = captionPanel(u"Panel5"_s, 136, FCaptions);
    Panel6 = captionPanel(u"Panel6"_s, 112, FCaptions);
    FCaptions->setFixedHeight(24);
    FCaptions->setMinimumWidth(0);
    FCaptions->installEventFilter(this);
    auto *captions = FCaptions;
    box->addWidget(captions);

    Splitter1->addWidget(right);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({ LeftPaneWidth, 800 });
}

void TfrmTypeSet::createStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(false);
    StatusPane0 = new QLabel(StatusBar1);
    StatusPane0->setObjectName(u"StatusPane0"_s);
    StatusPane0->setFixedWidth(150);
    StatusPane1 = new QLabel(StatusBar1);
    StatusPane1->setObjectName(u"StatusPane1"_s);
    StatusPane1->setFixedWidth(50);
    StatusBar1->addWidget(StatusPane0);
    StatusBar1->addWidget(StatusPane1);
    // The progress bar lies over the status bar, from just right of the first pane to the end.
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setMaximum(100);
    ProgressBar1->setValue(0);
    StatusBar1->installEventFilter(this);
}

void TfrmTypeSet::placeCaptions()
{
    // Left to right, each at least as wide as laid out and as its text needs; a layout area too
    // narrow for all of them cuts off the last ones instead of squeezing them.
    int x = 0;
    for (QLabel *l : { Panel8, Panel7, pnlPriceSum, pnlBound, Panel5, Panel6 }) {
        if (l->isHidden())
            continue;
        const int w = std::max(l->minimumWidth(), l->sizeHint().width());
        l->setGeometry(x, 1, w, FCaptions->height() - 2);
        x += w + 1;
    }
}

void TfrmTypeSet::placeProgressBar()
{
    const int left = StatusPane0->geometry().right() + 1 + 2;
    ProgressBar1->setGeometry(
        left, 2, std::max(0, StatusBar1->width() - left), std::max(0, StatusBar1->height() - 4));
    ProgressBar1->raise();
}

bool TfrmTypeSet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StatusBar1
        && (event->type() == QEvent::Resize || event->type() == QEvent::Show
            || event->type() == QEvent::LayoutRequest)) {
        placeProgressBar();
    } else if (watched == ComboBox1->lineEdit() && event->type() == QEvent::KeyPress) {
        // Enter applies the text; digits and Backspace are typed; other characters are refused.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Dialogs::guarded([this] { ComboBox1Change(); });
            return true;
        }
        const QString text = key->text();
        if (key->key() == Qt::Key_Backspace || text.isEmpty() || !text[0].isPrint())
            return false;
        return !(text.size() == 1 && text[0] >= u'0' && text[0] <= u'9');
    } else if (watched == FShown && event->type() == QEvent::Resize) {
        fitViewsArea();
    } else if (watched == FCaptions && event->type() == QEvent::Resize) {
        placeCaptions();
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmTypeSet::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!FShownOnce) {
        FShownOnce = true;
        Scaling = 20;
        Splitter1->setSizes({ LeftPaneWidth, std::max(1, width() - LeftPaneWidth) });
    }
    placeProgressBar();
}

void TfrmTypeSet::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeProgressBar();
}

void TfrmTypeSet::fitViewsArea()
{
    FViews->resize(FShown ? FShown->size() : QSize(0, 0));
}

// ---- the run ----

void TfrmTypeSet::actYHJSExecute()
{
    if (FRunning) {
        // 停止: the worker ends soon with the best complete layout so far.
        FCancel = true;
        setStatusText(tr("正在停止……"));
        return;
    }
    if (FEngine.MaterialTypeList().Count() == 0 || FEngine.BCTypeList().Count() == 0)
        return;
    actYHJS->setEnabled(false);
    ClearTabs();
    FRunComplete = false;
    actConfirm->setEnabled(false);
    Panel4_Tag = 0;
    Panel7_Tag = 0;
    PriceSum = 0;
    ListView2->setRowCount(0);
    pnlBound->clear();
    pnlBound->hide();
    setStatusText(QString());
    // At least 1: a maximum of 0 would turn the bar into a busy indicator that never stops.
    ProgressBar1->setMaximum(std::max(1, FEngine.MaterialTypeList().GetSumCount()));
    ProgressBar1->setValue(0);
    StatusPane0->setText(runningText());
    FEngine.SetUseBCMaxArea(cbUseBCMax->isChecked());
    FEngine.SetUseCost(cbCost->isChecked());
    CostTime = tickCount();
    FStripsSeen = 0;
    if (cbDeep->isChecked()) {
        startDeepRun();
        return;
    }
    FEngine.GoWork();
    finishRun(false);
}

void TfrmTypeSet::finishRun(bool Deep)
{
    // The run's outcome: every part placed, or a step that could place nothing.
    if (FEngine.Execpt())
        abnormalEnd();
    else
        completeRun();
    if (Deep && !FEngine.Execpt()) {
        pnlBound->setText(DeepBoundCaption(FEngine.DeepResult()));
        pnlBound->show();
        placeCaptions();
    }
    if (Deep)
        return; // the report follows from the report worker (startDeepReport)
    FEngine.GetTotalBC();
    writeReport(false);
    afterReport(false);
}

void TfrmTypeSet::afterReport(bool Deep)
{
    // A write-back the store refused is reported once the results stand and the report is
    // written; the scheme row keeps the totals as pending changes, saved with the workspace.
    if (!FWriteBackError.isEmpty())
        Dialogs::reportError(std::exchange(FWriteBackError, QString()));
    // "计算异常" alone leaves the user guessing; say which parts are still wanted.
    if (FEngine.Execpt()) {
        const QString unplaced = UnplacedPartsText(FEngine);
        if (!unplaced.isEmpty())
            Dialogs::showError(this, unplaced, tr("提示"));
    } else if (!Deep && !cbCost->isChecked()) {
        // The quick mode takes the first of equal sheets whatever it costs: say so when a
        // dearer board of the same size may have been used.
        TMaterialTypeList &sheets = FEngine.BCTypeList();
        for (int i = 0; i < sheets.Count(); ++i)
            for (int j = i + 1; j < sheets.Count(); ++j) {
                const TMaterialType &a = *sheets.Items(i);
                const TMaterialType &b = *sheets.Items(j);
                if (a.Width() == b.Width() && a.Height() == b.Height() && a.Price() != b.Price()) {
                    setStatusText(samePriceHint());
                    return;
                }
            }
    }
}

// A deep run goes through three owners of the engine in turn: the search worker, this thread
// (the tabs and totals, which also note every sheet kind's last layout), and the report worker
// (the totals per sheet kind and the report of tens of thousands of lines, which would hold the
// window up). The window counts as running until the report is in the notes pane.
void TfrmTypeSet::startDeepRun()
{
    FPartArea = FEngine.MaterialTypeList().GetAreaSum();
    FDeepEvents.clear();
    FWorkerError.clear();
    FCancel = false;
    FReportDocument.reset();
    // The worker raises the layout notifications at its end; they are kept and replayed on this
    // thread, where the tabs and totals are made.
    FEngine.SetOnNewRectList([this](int Group, int BCindex, int RectCount) {
        FDeepEvents.push_back({ Group, BCindex, RectCount });
    });
    TDeepOptions options = TDeepOptions::ForBudget(edtSeconds->value(), FWorkLimit);
    options.Cancel = &FCancel;
    options.OnProgress = [this](const TDeepProgress &P) {
        QMetaObject::invokeMethod(
            this, [this, P] { showDeepProgress(P); }, Qt::QueuedConnection);
    };
    setRunning(true);
    FWorker = std::thread([this, options] {
        try {
            FEngine.GoWorkDeep(options);
        } catch (const std::exception &e) {
            FWorkerError = QString::fromUtf8(e.what());
        } catch (...) {
            FWorkerError = tr("深度优化意外中止");
        }
        // Delivered only while the window exists; a closed window has joined the worker.
        QMetaObject::invokeMethod(
            this, [this] { finishDeepRun(); }, Qt::QueuedConnection);
    });
}

void TfrmTypeSet::startDeepReport()
{
    const QFont font = Notes ? Notes->document()->defaultFont() : QFont();
    const QString cost = pnlPriceSum->text();
    // The report in the language of the interface (its designed Chinese wording without a
    // translation).
    const TReportTexts texts = TReportTexts::Translated();
    FReporting = true;
    FWorker = std::thread([this, font, cost, texts] {
        try {
            FEngine.GetTotalBC();
            QStringList lines = ReportLines(FEngine, cost, texts);
            lines += DeepReportLines(FEngine.DeepResult(), FWorkLimit > 0, texts);
            auto doc = std::make_unique<QTextDocument>();
            doc->setDefaultFont(font);
            doc->setPlainText(lines.join(u'\n'));
            doc->moveToThread(QCoreApplication::instance()->thread());
            FReportDocument = std::move(doc);
        } catch (const std::exception &e) {
            FWorkerError = QString::fromUtf8(e.what());
        }
        QMetaObject::invokeMethod(
            this, [this] { finishDeepReport(); }, Qt::QueuedConnection);
    });
}

void TfrmTypeSet::finishDeepReport()
{
    if (!FWorker.joinable() || !FReporting)
        return;
    FWorker.join();
    FReporting = false;
    setRunning(false);
    // As after a quick run: off after an abnormal end, until a scheme comes again.
    actYHJS->setEnabled(!FEngine.Execpt());
    if (!FWorkerError.isEmpty())
        Dialogs::reportError(std::exchange(FWorkerError, QString()));
    writeReport(true);
    afterReport(true);
}

void TfrmTypeSet::showDeepProgress(const TDeepProgress &P)
{
    if (!FRunning)
        return;
    const double budget = FWorkLimit > 0 ? 0.0 : double(edtSeconds->value());
    if (budget > 0)
        ProgressBar1->setValue(int(std::clamp(P.Seconds / budget, 0.0, 1.0) * 1000));
    if (ProgressStatus)
        ProgressStatus->setValue(
            budget > 0 ? int(std::clamp(P.Seconds / budget, 0.0, 1.0) * 100) : 0);
    QString best;
    if (P.Sheets > 0) {
        best = tr("目前最好：%1 张").arg(P.Sheets);
        if (FEngine.UseCost())
            best += tr("，成本 ") + GeneralDecimal(P.Objective);
        else if (P.Objective > 0)
            best += tr("，利用率 ") + QString::number(double(FPartArea) / P.Objective * 100, 'f', 1)
                + u'%';
        if (P.Placed < P.Parts)
            best += tr("（已排 %1/%2 件）").arg(P.Placed).arg(P.Parts);
    }
    StatusPane0->setText(tr("深度优化 %1 秒").arg(QString::number(P.Seconds, 'f', 1)));
    setStatusText(best);
}

void TfrmTypeSet::finishDeepRun()
{
    if (!FWorker.joinable() || FReporting)
        return;
    FWorker.join();
    FEngine.SetOnNewRectList(
        [this](int Group, int BCindex, int RectCount) { NewRectList(Group, BCindex, RectCount); });
    setStatusText(QString());
    ProgressBar1->setMaximum(std::max(1, FEngine.MaterialTypeList().GetSumCount()));
    if (!FWorkerError.isEmpty()) {
        setRunning(false);
        abnormalEnd();
        actYHJS->setEnabled(true);
        Dialogs::reportError(std::exchange(FWorkerError, QString()));
        return;
    }
    {
        // Every layout is committed already: the kerf allowances come from one pass.
        FKerfUnits = KerfUnitsByGroup(FEngine);
        const QScopedValueRollback<bool> replaying(FReplaying, true);
        for (const TLayoutEvent &e : std::exchange(FDeepEvents, {}))
            CreateDraw(e.Group, e.BCindex, e.RectCount);
        FKerfUnits.clear();
    }
    finishRun(true);
    // The layouts stand; only the report is still to come. 停止 has nothing more to stop.
    actYHJS->setText(tr("优化计算"));
    actYHJS->setIcon(WidgetArt::runIcon());
    actYHJS->setEnabled(false);
    startDeepReport();
}

void TfrmTypeSet::StopRun()
{
    if (!FWorker.joinable())
        return;
    FCancel = true;
    finishDeepRun();
    finishDeepReport();
}

void TfrmTypeSet::abandonRun()
{
    if (!FWorker.joinable())
        return;
    FCancel = true;
    FWorker.join();
    FReporting = false;
    FReportDocument.reset();
    FDeepEvents.clear();
    setRunning(false);
    FEngine.SetOnNewRectList(
        [this](int Group, int BCindex, int RectCount) { NewRectList(Group, BCindex, RectCount); });
    StatusPane0->setText(tr("计算已停止"));
    actYHJS->setEnabled(true);
}

void TfrmTypeSet::closeEvent(QCloseEvent *event)
{
    // A run in progress ends with the window: nothing of it is shown or written back.
    abandonRun();
    QWidget::closeEvent(event);
}

void TfrmTypeSet::setRunning(bool Running)
{
    FRunning = Running;
    if (Running) {
        actYHJS->setText(tr("停止"));
        actYHJS->setIcon(WidgetArt::stopIcon());
        SetHint(actYHJS, tr("停止|停止深度优化，保留目前找到的最好排样"));
        actYHJS->setEnabled(true);
        ProgressBar1->setRange(0, 1000);
        ProgressBar1->setValue(0);
    } else {
        actYHJS->setText(tr("优化计算"));
        actYHJS->setIcon(WidgetArt::runIcon());
        SetHint(actYHJS, tr("优化计算|根据选中的项目方案进行优化计算"));
        ProgressBar1->setValue(0);
    }
    for (QWidget *w : { static_cast<QWidget *>(cbUseBCMax), static_cast<QWidget *>(cbCost),
             static_cast<QWidget *>(cbDeep) })
        w->setEnabled(!Running);
    edtSeconds->setEnabled(!Running && cbDeep->isChecked());
    actPreview->setEnabled(!Running);
}

void TfrmTypeSet::setStatusText(const QString &Text)
{
    // The text lies in the progress bar, which covers the status bar beside the first pane.
    ProgressBar1->setFormat(Text);
    ProgressBar1->setTextVisible(!Text.isEmpty());
}

QString TfrmTypeSet::statusText() const
{
    return ProgressBar1->isTextVisible() ? ProgressBar1->format() : QString();
}

QString TfrmTypeSet::UnplacedPartsText(TRectManage &Engine)
{
    // One line per part kind the run left short, longer side first as the workspace hands it
    // over; lists are cut after ten kinds.
    constexpr int Shown = 10;
    QStringList lines;
    int more = 0;
    TMaterialTypeList &parts = Engine.MaterialTypeList();
    for (int i = 0; i < parts.Count(); ++i) {
        TMaterialType *P = parts.Items(i);
        if (!P || P->UsedCount() >= P->Count())
            continue;
        if (lines.size() == Shown) {
            ++more;
            continue;
        }
        const qint64 missing = qint64(P->Count()) - std::max(0, P->UsedCount());
        lines << tr("%1（%2×%3）：还差 %4 件")
                     .arg(QString::fromStdString(P->Text()))
                     .arg(std::max(P->Width(), P->Height()))
                     .arg(std::min(P->Width(), P->Height()))
                     .arg(missing);
    }
    if (lines.isEmpty())
        return {};
    if (more > 0)
        lines << tr("……另有 %1 种零件").arg(more);
    // Sheet kinds whose stock the run used up (their totals, after GetTotalBC).
    QStringList usedUp;
    TMaterialTypeList &sheets = Engine.BCTypeList();
    for (int i = 0; i < sheets.Count(); ++i) {
        TMaterialType *S = sheets.Items(i);
        TMaterialType *T = Engine.TotalBCList().Items(i);
        if (S && S->StockLimited() && (!T || T->UsedCount() >= S->Stock()))
            usedUp << QString::fromStdString(S->Text());
    }
    QString advice = tr("\n\n请检查这些零件的长、宽（加上刀口）是否超过了本方案提供的所有原材料。");
    if (!usedUp.isEmpty())
        advice += tr("\n库存已经用完的原材料：%1。请增加库存，或在本方案中提供其他原材料。")
                      .arg(usedUp.join(tr("、")));
    return tr("计算异常：以下零件没有排下。\n") + lines.join(u'\n') + advice;
}

void TfrmTypeSet::NewRectList(int Group, int BCindex, int RectCount)
{
    CreateDraw(Group, BCindex, RectCount);
}

void TfrmTypeSet::CreateDraw(int Group, int BCindex, int RectCount)
{
    // The closing notification of an abnormal end names no sheet: no tab, no usage, no totals.
    if (TMaterialType *S = FEngine.BCTypeList().Items(BCindex)) {
        FLayouts.append({ Group, RectCount, S->Width(), S->Height(), S->Blade(), nullptr, S->Trim(),
            SheetGrainDirection(*S), S->Price() });
        TabSet1->addTab(tr("切割%1").arg(TabSet1->count() + 1));
        edtGoTo->setMaximum(TabSet1->count());
        edtGoTo->setEnabled(true);
        S->SetCount(RectCount);
        S->SetGroup(Group);
        addSheetUsage(QString::fromStdString(S->Text()), S->Width(), S->Height(), RectCount);
        if (FReplaying)
            AddLayoutTotals(
                FEngine, Group, BCindex, RectCount, PriceSum, Panel4_Tag, Panel7_Tag, FKerfUnits);
        else
            AddLayoutTotals(
                FEngine, Group, BCindex, RectCount, PriceSum, Panel4_Tag, Panel7_Tag, FStripsSeen);
    }
    FStripsSeen = FEngine.CreateRectList().Count();
    const int position = std::max(0, FEngine.MaterialTypeList().GetUsedSumCount());
    ProgressBar1->setValue(std::min(position, ProgressBar1->maximum()));
    if (ProgressStatus) {
        const int maximum = ProgressBar1->maximum();
        ProgressStatus->setValue(
            maximum > 0 ? int(std::min<qint64>(100, qint64(position) * 100 / maximum)) : 0);
    }
}

void TfrmTypeSet::addSheetUsage(const QString &Name, int Width, int Height, int Sheets)
{
    for (int r = 0; r < ListView2->rowCount(); ++r) {
        if (ListView2->item(r, 0)->text() == Name) {
            QTableWidgetItem *used = ListView2->item(r, 3);
            used->setText(QString::number(used->text().toLongLong() + Sheets));
            return;
        }
    }
    const int r = ListView2->rowCount();
    ListView2->insertRow(r);
    setRow(ListView2, r,
        { Name, QString::number(Width), QString::number(Height), QString::number(Sheets) });
}

void TfrmTypeSet::abnormalEnd()
{
    ProgressBar1->setValue(0);
    CostTime = tickCount() - CostTime;
    StatusPane0->setText(tr("计算异常,耗时:%1ms").arg(CostTime));
    // 优化计算 stays off until the workspace hands a scheme over again: the same input would end
    // the same way.
}

void TfrmTypeSet::SchemeReloaded()
{
    actYHJS->setEnabled(true);
}

void TfrmTypeSet::completeRun()
{
    ++FRunSerial;
    FRunComplete = true;
    actConfirm->setEnabled(true);
    ProgressBar1->setValue(0);
    CostTime = tickCount() - CostTime;
    StatusPane0->setText(tr("计算完成,耗时:%1ms").arg(CostTime));
    actYHJS->setEnabled(true);
    TabSet1->setCurrentIndex(0);
    const int U = TotalUtilisation(FEngine.MaterialTypeList().GetAreaSum(), Panel7_Tag);
    Panel7->setText(::UtilisationCaption(U));
    qint64 N = 0;
    for (const TLayout &l : std::as_const(FLayouts))
        N += l.RectCount;
    Panel8->setText(SheetCountCaption(N));
    pnlPriceSum->setText(CostCaption(PriceSum));
    placeCaptions();
    Panel10->setText(QString::number(Panel4_Tag));
    try {
        writeBack(U, N);
    } catch (const std::exception &e) {
        FWriteBackError = QString::fromUtf8(e.what());
    }
}

void TfrmTypeSet::actConfirmExecute()
{
    if (FRunning || !FRunComplete) {
        Dialogs::showInformation(this, nothingToConfirmText(), tr("提示"));
        return;
    }
    if (FConfirmedSerial == FRunSerial) {
        Dialogs::showInformation(this, confirmedAgainText(), tr("提示"));
        return;
    }
    QList<TGroupPrice> prices;
    for (const TLayout &l : std::as_const(FLayouts))
        prices.append({ l.Group, l.Price });
    const TRunCutting cutting = CuttingOfRun(FEngine, prices, OffcutRuleFromSettings(),
        AppSettings::doubleValue(AppSettings::Key::OffcutPriceRatio));
    if (!Dialogs::askOkCancel(this, ConfirmQuestion(cutting), tr("确认下料")))
        return;
    const TConfirmOutcome outcome = ConfirmCutting(cutting);
    FConfirmedSerial = FRunSerial;
    actConfirm->setEnabled(false);
    Dialogs::showInformation(this, ConfirmedText(outcome), tr("确认下料"));
}

void WriteSchemeTotals(TRowSet &Rows, const TRunTotals &Totals)
{
    Rows.edit();
    Rows.field(u"利用率"_s).setAsInteger(Totals.Utilisation);
    Rows.field(u"总面积"_s).setAsString(GeneralDecimal(double(Totals.GrossArea) / 1000000.0));
    Rows.field(u"板材数量"_s).setAsInteger(Totals.Sheets);
    Rows.field(u"总价格"_s).setAsString(GeneralDecimal(Totals.Price));
    Rows.updateBatch();
}

void TfrmTypeSet::writeBack(int Utilisation, qint64 Sheets)
{
    // The scheme row current in the workspace now receives the totals and is saved at once.
    // Without a workspace, or with no scheme current there, there is no row to write into.
    TRowSet *rows = SchemeRows ? SchemeRows() : nullptr;
    if (!rows || !rows->isOpen() || rows->isEmpty())
        return;
    TRunTotals totals;
    totals.Utilisation = Utilisation;
    totals.Sheets = Sheets;
    totals.GrossArea = Panel4_Tag;
    totals.NetArea = Panel7_Tag;
    totals.Price = PriceSum;
    WriteSchemeTotals(*rows, totals);
}

void TfrmTypeSet::writeReport(bool Deep)
{
    if (Deep && FReportDocument) {
        std::unique_ptr<QTextDocument> doc = std::move(FReportDocument);
        if (!Notes)
            return;
        // The pane deletes a document of its own when given another; one this window gave it
        // before goes here.
        const QPointer<QTextDocument> before = Notes->document();
        doc->setParent(Notes);
        Notes->setDocument(doc.release());
        if (before && before->parent() == Notes.data())
            before->deleteLater();
        return;
    }
    const TReportTexts texts = TReportTexts::Translated();
    QStringList lines = ReportLines(FEngine, pnlPriceSum->text(), texts);
    if (Deep)
        lines += DeepReportLines(FEngine.DeepResult(), FWorkLimit > 0, texts);
    lines += LimitReportLines(FEngine, texts);
    if (!Notes)
        return;
    Notes->setUpdatesEnabled(false);
    // Plain lines in the pane's own font: nothing of the formatting of what it showed before.
    Notes->clear();
    Notes->setCurrentCharFormat(QTextCharFormat());
    QTextCursor cursor(Notes->document());
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    Notes->setPlainText(lines.join(u'\n'));
    Notes->setUpdatesEnabled(true);
}

qint32 TfrmTypeSet::GetBladeSum(int Blade, int Group) const
{
    return ::GetBladeSum(FEngine, Blade, Group);
}

// ---- layouts ----

int TfrmTypeSet::LayoutCount() const
{
    return int(FLayouts.size());
}

TDrawMaterial *TfrmTypeSet::LayoutView(int i) const
{
    if (i < 0 || i >= FLayouts.size())
        return nullptr;
    TLayout &l = FLayouts[i];
    if (!l.View) {
        auto *view = new TDrawMaterial(FViews);
        view->setObjectName(u"Layout"_s + QString::number(l.Group));
        view->hide();
        view->move(0, 0);
        SetupLayoutView(
            *view, l.SheetWidth, l.SheetHeight, l.Blade, l.Group, l.RectCount, l.Trim, l.Grain);
        view->SetShowCuts(FShowCuts);
        view->installEventFilter(const_cast<TfrmTypeSet *>(this));
        l.View = view;
    }
    return l.View;
}

void TfrmTypeSet::DrawPanel(TDrawMaterial &View)
{
    ::DrawPanel(View, FEngine);
}

QString TfrmTypeSet::UtilisationCaption() const
{
    return Panel7->text();
}

TDrawMaterial *TfrmTypeSet::FindPanel(int Group)
{
    TDrawMaterial *found = nullptr;
    for (int i = 0; i < FLayouts.size(); ++i)
        if (FLayouts[i].Group == Group) {
            found = LayoutView(i);
            break;
        }
    if (FShown && FShown != found)
        FShown->hide();
    FShown = found;
    if (found)
        found->show();
    fitViewsArea();
    return found;
}

TDrawMaterial *TfrmTypeSet::shownView() const
{
    return FShown;
}

void TfrmTypeSet::TabSet1Change(int Index)
{
    FTabIndex = Index;
    TDrawMaterial *V = FindPanel(Index + 1);
    if (!V)
        return;
    if (V->Materials()->Count() == 0)
        DrawPanel(*V);
    if (V->MWidth() > 0)
        V->SetScale(int((ScrollBox1->width() - 2 * V->OffSet()) / (V->MWidth() / 100.0)));
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setEditText(QString::number(V->Scale()));
    }

    TMaterialType *group = FEngine.GroupList().Items(Index);
    const QList<QStringList> details {
        { tr("名称"), tr("切割%1").arg(Index + 1) },
        { tr("原材料名称"), group ? QString::fromStdString(group->Text()) : QString() },
        { tr("长度"), QString::number(V->MWidth()) },
        { tr("宽度"), QString::number(V->MHeight()) },
        { tr("用量"), QString::number(V->Tag()) },
    };
    ValueListEditor1->setRowCount(0);
    ValueListEditor1->setRowCount(int(details.size()));
    for (int r = 0; r < details.size(); ++r)
        setRow(ValueListEditor1, r, details[r]);

    Panel5->setText(tr("原材料尺寸：%1×%2").arg(V->MWidth()).arg(V->MHeight()));
    qint64 partArea = 0;
    for (int i = 0; i < V->Materials()->Count(); ++i) {
        const TDrawMaterialItem *item = V->Materials()->GetItem(i);
        partArea += qint64(item->Width()) * item->Height();
    }
    partArea += GetBladeSum(V->Blade(), V->Group());
    const qint64 sheetArea = qint64(V->MWidth()) * V->MHeight();
    const qint64 T = sheetArea > 0 ? qint64(double(partArea) / double(sheetArea) * 100) : 0;
    Panel6->setText(tr("材料利用率：%1%").arg(T));
    placeCaptions();

    // The parts of one sheet of this layout, by name.
    ListView1->setRowCount(0);
    QHash<QString, int> rowOf;
    TMaterialTypeList &strips = FEngine.CreateRectList();
    for (int i = 0; i < strips.Count(); ++i) {
        TMaterialType &r = *strips.Items(i);
        if (r.Group() != V->Group())
            continue;
        const QString name = QString::fromStdString(r.Text());
        const auto it = rowOf.constFind(name);
        if (it != rowOf.cend()) {
            QTableWidgetItem *count = ListView1->item(*it, 3);
            count->setText(QString::number(count->text().toLongLong() + r.Count()));
        } else {
            const int row = ListView1->rowCount();
            ListView1->insertRow(row);
            setRow(ListView1, row,
                { name, QString::number(r.Width()), QString::number(r.Height()),
                    QString::number(r.Count()) });
            rowOf.insert(name, row);
        }
    }
    Panel4->setText(tr("零件总数：%1").arg(V->Materials()->Count()));
    showCutList(*V);
}

void TfrmTypeSet::showCutList(TDrawMaterial &View)
{
    lstCuts->setVisible(FShowCuts);
    lblOffcuts->setVisible(FShowCuts);
    if (!FShowCuts)
        return;
    lstCuts->setRowCount(0);
    const TCutPlan *plan = View.CutPlan();
    if (!plan || !plan->Cuttable) {
        lblOffcuts->setText(UncuttableText());
        return;
    }
    lstCuts->setRowCount(int(plan->Cuts.size()));
    for (int r = 0; r < int(plan->Cuts.size()); ++r)
        setRow(lstCuts, r, CutRow(plan->Cuts[std::size_t(r)]));
    const QStringList kept = KeptOffcutLines(*plan);
    lblOffcuts->setText(kept.isEmpty() ? tr("余料：无") : tr("余料：\n") + kept.join(u'\n'));
}

void TfrmTypeSet::actCutsExecute()
{
    FShowCuts = actCuts->isChecked();
    for (const TLayout &l : std::as_const(FLayouts))
        if (l.View)
            l.View->SetShowCuts(FShowCuts);
    if (FShown)
        showCutList(*FShown);
}

void TfrmTypeSet::actWorkshopExecute()
{
    if (FLayouts.isEmpty())
        return;
    TfrmWorkshop::Open(
        *this, WorkshopInfo(HandOffProject, HandOffScheme), std::max(0, FTabIndex), this);
}

QString TfrmTypeSet::askSavePath(const QString &Title, const QString &Filter, const QString &Name)
{
    QFileDialog dialog(this, Title);
    dialog.setObjectName(u"dlgExport"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(Filter.split(u";;"_s));
    const QString last = AppSettings::stringValue(AppSettings::Key::LastFolder);
    dialog.setDirectory(last.isEmpty() || !QDir(last).exists() ? QDir::homePath() : last);
    dialog.selectFile(Name);
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return {};
    QString path = dialog.selectedFiles().value(0);
    if (path.isEmpty())
        return {};
    // The suffix of the chosen filter when none was typed.
    if (QFileInfo(path).suffix().isEmpty()) {
        const QString filter = dialog.selectedNameFilter();
        const qsizetype star = filter.indexOf(u"*."_s);
        if (star >= 0)
            path += u'.' + filter.mid(star + 2).section(u')', 0, 0).section(u' ', 0, 0);
    }
    AppSettings::setValue(AppSettings::Key::LastFolder, QFileInfo(path).absolutePath());
    return path;
}

QString TfrmTypeSet::askFolder(const QString &Title)
{
    QFileDialog dialog(this, Title);
    dialog.setObjectName(u"dlgExportFolder"_s);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    const QString last = AppSettings::stringValue(AppSettings::Key::LastFolder);
    dialog.setDirectory(last.isEmpty() || !QDir(last).exists() ? QDir::homePath() : last);
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return {};
    const QString folder = dialog.selectedFiles().value(0);
    if (!folder.isEmpty())
        AppSettings::setValue(AppSettings::Key::LastFolder, folder);
    return folder;
}

void TfrmTypeSet::ExportTables(const QString &Path)
{
    const std::vector<TLayoutSheet> layouts = LayoutsFromEngine(FEngine);
    if (Path.endsWith(u".csv"_s, Qt::CaseInsensitive)) {
        SaveBytes(Path, CsvBytes(LayoutPartsTable(layouts)));
        return;
    }
    SaveFile(Path, [&](QIODevice &Out) {
        WriteXlsx(Out,
            { UsageTable(UsageRows(layouts)), PartListTable(HandOffParts),
                LayoutPartsTable(layouts) });
    });
}

QStringList TfrmTypeSet::ExportDrawings(const QString &Folder, const QString &Suffix)
{
    std::vector<TLayoutSheet> layouts = LayoutsFromEngine(FEngine);
    AddCutPlans(layouts, FEngine);
    return SaveIntoFolder(Folder, Suffix == u"svg"_s ? SvgFiles(layouts) : DxfFiles(layouts));
}

void TfrmTypeSet::ExportLabels(const QString &Path)
{
    const QList<TLabel> labels
        = LabelsForLayouts(LayoutsFromEngine(FEngine), HandOffProject, HandOffScheme, HandOffParts);
    SaveBytes(Path, LabelsPdf(labels, LabelSettingsFromApp()));
}

void TfrmTypeSet::actExportTablesExecute()
{
    if (FLayouts.isEmpty())
        return;
    const QString path = askSavePath(tr("导出用料表"),
        tr("Excel 工作簿 (*.xlsx);;CSV 文件（每个排版的零件） (*.csv)"), tr("用料表.xlsx"));
    if (path.isEmpty())
        return;
    ExportTables(path);
    setStatusText(tr("已导出：%1").arg(QDir::toNativeSeparators(path)));
}

void TfrmTypeSet::actExportDxfExecute()
{
    if (FLayouts.isEmpty())
        return;
    const QString folder = askFolder(tr("选择保存 DXF 排版图的文件夹"));
    if (folder.isEmpty())
        return;
    const QStringList files = ExportDrawings(folder, u"dxf"_s);
    setStatusText(
        tr("已导出 %1 个 DXF 文件到：%2").arg(files.size()).arg(QDir::toNativeSeparators(folder)));
}

void TfrmTypeSet::actExportSvgExecute()
{
    if (FLayouts.isEmpty())
        return;
    const QString folder = askFolder(tr("选择保存 SVG 排版图的文件夹"));
    if (folder.isEmpty())
        return;
    const QStringList files = ExportDrawings(folder, u"svg"_s);
    setStatusText(
        tr("已导出 %1 个 SVG 文件到：%2").arg(files.size()).arg(QDir::toNativeSeparators(folder)));
}

void TfrmTypeSet::actLabelsExecute()
{
    if (FLayouts.isEmpty())
        return;
    const QString path = askSavePath(tr("打印标签"), tr("PDF 文件 (*.pdf)"), tr("零件标签.pdf"));
    if (path.isEmpty())
        return;
    ExportLabels(path);
    setStatusText(tr("已保存标签：%1").arg(QDir::toNativeSeparators(path)));
}

void TfrmTypeSet::ClearTabs()
{
    {
        const QSignalBlocker quiet(TabSet1);
        TabSet1->clear();
    }
    {
        const QSignalBlocker quiet(edtGoTo);
        edtGoTo->setRange(1, 1);
        edtGoTo->setEnabled(false);
    }
    FShown = nullptr;
    FTabIndex = -1;
    for (int i = int(FLayouts.size()) - 1; i >= 0; --i)
        delete FLayouts[i].View;
    FLayouts.clear();
    fitViewsArea();
}

void TfrmTypeSet::ScalingPanelInc()
{
    zoomBy(10);
}

void TfrmTypeSet::ScalingPanelDec()
{
    zoomBy(-10);
}

void TfrmTypeSet::zoomBy(int Step)
{
    TDrawMaterial *V = FindPanel(FTabIndex + 1);
    if (!V)
        return;
    V->SetScale(V->Scale() + Step); // the view refuses a scale beyond its limits
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setEditText(QString::number(V->Scale()));
}

void TfrmTypeSet::ComboBox1Change()
{
    TDrawMaterial *V = FindPanel(FTabIndex + 1);
    if (!V)
        return;
    const int remembered = V->Scale();
    bool ok = false;
    const int scale = ComboBox1->currentText().toInt(&ok);
    V->SetScale(ok ? scale : remembered);
}

void TfrmTypeSet::actPreviewExecute()
{
    TDrawMaterial *V = FindPanel(FTabIndex + 1);
    if (!V)
        return;
    TfrmPreview preview(*this, this);
    preview.SetPanel(*V);
    preview.FPanel->SetLineColor(QColor(0, 0, 255));
    preview.FPanel->SetSelectColor(QColor(255, 255, 0));
    Dialogs::exec(preview);
}

void TfrmTypeSet::actCloseExecute()
{
    close();
}
