#include "fmSelectData.h"

#include "DBGrid.h"
#include "DBTypes.h"
#include "Dialogs.h"
#include "RowSet.h"
#include "ShadowPanel.h"
#include "WidgetArt.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Hot tracking: the row under the mouse is drawn underlined in blue.
class THotTrackDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_MouseOver) {
            option->font.setUnderline(true);
            option->palette.setColor(QPalette::Text, QColor(0, 0, 200));
            option->palette.setColor(QPalette::HighlightedText, QColor(255, 255, 200));
        }
    }
};

struct TListColumn
{
    const char *title; // translated in the context TfrmSelectData
    int width;
    Qt::Alignment alignment;
};

const TListColumn ListColumns[] = {
    { QT_TRANSLATE_NOOP("TfrmSelectData", "序号"), 60, Qt::AlignLeft | Qt::AlignVCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "名称"), 100, Qt::AlignCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "长"), 100, Qt::AlignCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "宽"), 100, Qt::AlignCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "价格"), 53, Qt::AlignCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "纹理"), 45, Qt::AlignCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "修边"), 45, Qt::AlignCenter },
    { QT_TRANSLATE_NOOP("TfrmSelectData", "库存"), 45, Qt::AlignCenter },
};

constexpr int NameColumn = 1;
constexpr int PriceColumn = 4;
constexpr int GrainColumn = 5;
constexpr int TrimColumn = 6;
constexpr int StockColumn = 7;

} // namespace

TfrmSelectData::TfrmSelectData(QWidget *parent)
    : TfrmBase(parent)
{
    setObjectName(u"frmSelectData"_s);
    Left->hide();
    Bottom->hide();

    auto *column = new QVBoxLayout(PanelBack);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlList = new TShadowPanel(PanelBack);
    pnlList->setObjectName(u"pnlList"_s);
    auto *listBox = new QVBoxLayout(pnlList);
    listBox->setContentsMargins(6, 6, 10, 4);
    ListView1 = new QTreeWidget(pnlList);
    ListView1->setObjectName(u"ListView1"_s);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setMouseTracking(true);
    ListView1->viewport()->setAttribute(Qt::WA_Hover);
    ListView1->setItemDelegate(new THotTrackDelegate(ListView1));
    QPalette pal = ListView1->palette();
    pal.setColor(QPalette::Base, WidgetArt::GridBackground);
    pal.setColor(QPalette::AlternateBase, WidgetArt::GridBackground);
    ListView1->setPalette(pal);
    ListView1->setColumnCount(int(std::size(ListColumns)));
    auto *header = new QTreeWidgetItem;
    for (int i = 0; i < int(std::size(ListColumns)); ++i) {
        header->setText(i, tr(ListColumns[i].title));
        header->setTextAlignment(i, ListColumns[i].alignment);
    }
    ListView1->setHeaderItem(header);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsMovable(false);
    for (int i = 0; i < int(std::size(ListColumns)); ++i)
        ListView1->setColumnWidth(i, ListColumns[i].width);
    // Names take the width the other columns leave, so that they are not cut short.
    ListView1->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    listBox->addWidget(ListView1);
    pnlList->addShadow(ListView1, 6);
    column->addWidget(pnlList, 1);

    pnlBar = new QWidget(PanelBack);
    pnlBar->setObjectName(u"pnlBar"_s);
    pnlBar->setFixedHeight(BarHeight);
    auto *bar = new QHBoxLayout(pnlBar);
    bar->setContentsMargins(8, 0, 10, 0);
    bar->setSpacing(8);
    chkSelectAll = new QCheckBox(tr("全部选中"), pnlBar);
    chkSelectAll->setObjectName(u"chkSelectAll"_s);
    chkClearAll = new QCheckBox(tr("全部取消"), pnlBar);
    chkClearAll->setObjectName(u"chkClearAll"_s);
    btnOK = new QPushButton(tr("确定"), pnlBar);
    btnOK->setObjectName(u"btnOK"_s);
    btnCancel = new QPushButton(tr("取消"), pnlBar);
    btnCancel->setObjectName(u"btnCancel"_s);
    for (QPushButton *b : { btnOK, btnCancel }) {
        b->setFlat(true);
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setFixedSize(75, 25);
    }
    bar->addWidget(chkSelectAll);
    bar->addWidget(chkClearAll);
    bar->addStretch(1);
    bar->addWidget(btnOK);
    bar->addWidget(btnCancel);
    column->addWidget(pnlBar);

    connect(chkSelectAll, &QCheckBox::clicked, this, [this] { chkSelectAllClick(); });
    connect(chkClearAll, &QCheckBox::clicked, this, [this] { chkClearAllClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(ClientSize);
}

void TfrmSelectData::addRow(const TPickedRow &row)
{
    auto *item = new QTreeWidgetItem(ListView1);
    const QString texts[]
        = { row.no, row.name, row.length, row.width, row.price, row.grain, row.trim, row.stock };
    for (int i = 0; i < int(std::size(ListColumns)); ++i) {
        // The list shows a text edited elsewhere to any length cut short; the row picked keeps
        // it whole.
        item->setData(i, Qt::UserRole, texts[i]);
        item->setText(i, ShownText(texts[i]));
        item->setTextAlignment(i, ListColumns[i].alignment);
    }
    // The grain by its caption; the row picked keeps the stored value.
    const QList<TGridChoice> grains
        = ListView1->isColumnHidden(TrimColumn) ? PartGrainChoices() : SheetGrainChoices();
    const int grain = row.grain.trimmed().toInt();
    for (const TGridChoice &c : grains)
        if (c.value == grain)
            item->setText(GrainColumn, c.caption);
    item->setToolTip(1, ShownText(row.name));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
        | Qt::ItemNeverHasChildren);
    item->setCheckState(0, Qt::Unchecked);
}

void TfrmSelectData::fillFromLibrary(TRowSet &library, bool withPrice)
{
    ListView1->clear();
    // Parts have no price, trim or stock: their list has no such columns.
    for (const int column : { PriceColumn, TrimColumn, StockColumn })
        ListView1->setColumnHidden(column, !withPrice);
    library.reopen();
    library.disableControls();
    const auto reattach = qScopeGuard([&] { library.enableControls(); });
    library.first();
    const int count = library.recordCount();
    const auto text = [&](const QString &column) {
        return library.fieldIndex(column) >= 0 ? library.field(column).asString() : QString();
    };
    for (int i = 1; i <= count; ++i) {
        addRow({ QString::number(i), library.field(u"Name"_s).asString(),
            library.field(u"Length"_s).asString(), library.field(u"Width"_s).asString(),
            withPrice ? library.field(u"Price"_s).asString() : QString(), text(u"Grain"_s),
            withPrice ? text(u"Trim"_s) : QString(), withPrice ? text(u"Stock"_s) : QString() });
        library.next();
    }
}

int TfrmSelectData::rowCount() const
{
    return ListView1->topLevelItemCount();
}

void TfrmSelectData::setRowChecked(int row, bool checked)
{
    if (QTreeWidgetItem *item = ListView1->topLevelItem(row))
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

bool TfrmSelectData::isRowChecked(int row) const
{
    const QTreeWidgetItem *item = ListView1->topLevelItem(row);
    return item && item->checkState(0) == Qt::Checked;
}

QList<TPickedRow> TfrmSelectData::checkedRows() const
{
    QList<TPickedRow> rows;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ListView1->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) {
            const auto at
                = [item](int column) { return item->data(column, Qt::UserRole).toString(); };
            rows.append({ at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7) });
        }
    }
    return rows;
}

QList<TPickedRow> TfrmSelectData::execute()
{
    if (Dialogs::exec(*this) != QDialog::Accepted)
        return {};
    return checkedRows();
}

void TfrmSelectData::chkSelectAllClick()
{
    if (!chkSelectAll->isChecked())
        return;
    for (int i = 0; i < rowCount(); ++i)
        setRowChecked(i, true);
    chkClearAll->setChecked(false);
}

void TfrmSelectData::chkClearAllClick()
{
    if (!chkClearAll->isChecked())
        return;
    for (int i = 0; i < rowCount(); ++i)
        setRowChecked(i, false);
    chkSelectAll->setChecked(false);
}
