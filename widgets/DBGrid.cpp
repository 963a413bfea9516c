#include "DBGrid.h"

#include "Currency.h"
#include "Dialogs.h"
#include "ImportDialog.h"
#include "RowSet.h"
#include "WidgetArt.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QToolTip>
#include <cmath>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Every grid that exists, so that a command on a row set can first take the text still being
// typed into any grid bound to it.
std::vector<TDBGrid *> &allGrids()
{
    static std::vector<TDBGrid *> grids;
    return grids;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isEnterKey(const QKeyEvent *e)
{
    return (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

QList<TGridChoice> SheetGrainChoices()
{
    return { { 0, TDBGrid::tr("无") }, { 1, TDBGrid::tr("有") } };
}

QList<TGridChoice> PartGrainChoices()
{
    return { { 0, TDBGrid::tr("无") }, { 1, TDBGrid::tr("顺纹") } };
}

int TDBGrid::choicesWidth(const TGridColumn &Column) const
{
    // The widest choice with the cell's margins: the designed widths hold the Chinese choices,
    // a translation may need more.
    int widest = 0;
    for (const TGridChoice &choice : Column.choices)
        widest = std::max(widest, fontMetrics().horizontalAdvance(choice.caption));
    return widest > 0 ? widest + 12 : 0;
}

// ======================================================================= TNumericValidator

TNumericValidator::TNumericValidator(TKind kind, QObject *parent)
    : QValidator(parent)
    , FKind(kind)
{ }

std::optional<TNumericValidator::TKind> TNumericValidator::kindOf(TFieldType type)
{
    switch (type) {
    case ftAutoInc:
    case ftInteger:
        return Integer;
    case ftCurrency:
        return Currency;
    case ftFloat:
        return Float;
    default:
        return std::nullopt;
    }
}

QValidator::State TNumericValidator::refuse(const QString &why) const
{
    FRefusal = why;
    return Invalid;
}

QValidator::State TNumericValidator::validate(QString &input, int &) const
{
    const QString &t = input;
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype intDigits = 0;
    while (i < t.size() && isAsciiDigit(t[i])) {
        ++i;
        ++intDigits;
    }
    if (FKind == Integer) {
        if (i != t.size())
            return refuse(tr("这一列只能输入整数"));
        if (intDigits == 0)
            return Intermediate;
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (ok && v >= std::numeric_limits<qint32>::min()
            && v <= std::numeric_limits<qint32>::max())
            return Acceptable;
        return refuse(t.startsWith(u'-') ? tr("数字太小，不能再输入：最小是 -2147483648")
                                         : tr("数字太大，不能再输入：最大是 2147483647"));
    }

    qsizetype fracDigits = 0;
    bool point = false;
    if (i < t.size() && t[i] == u'.') {
        point = true;
        ++i;
        while (i < t.size() && isAsciiDigit(t[i])) {
            ++i;
            ++fracDigits;
        }
    }
    const bool mantissa = intDigits + fracDigits > 0;
    if (FKind == Currency) {
        if (i != t.size())
            return refuse(tr("这一列只能输入数字和一个小数点"));
        if (fracDigits > 4)
            return refuse(tr("金额最多只能有四位小数"));
        if (!mantissa)
            return Intermediate;
        if (TCurrency::parse(t))
            return Acceptable;
        // "12." is on its way to a price; anything else that does not parse is out of range.
        if (point && fracDigits == 0 && TCurrency::parse(t.chopped(1)))
            return Intermediate;
        return refuse(tr("金额太大，不能再输入"));
    }

    // Floating: an exponent may follow the mantissa.
    bool exponentOpen = false;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        if (!mantissa)
            return refuse(tr("这一列只能输入数字"));
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        qsizetype expDigits = 0;
        while (i < t.size() && isAsciiDigit(t[i])) {
            ++i;
            ++expDigits;
        }
        exponentOpen = expDigits == 0;
    }
    if (i != t.size())
        return refuse(tr("这一列只能输入数字"));
    if (!mantissa || exponentOpen)
        return Intermediate;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok && std::isfinite(d) ? Acceptable : refuse(tr("数字太大，不能再输入"));
}

// ======================================================================= TDBGridDelegate

TDBGridDelegate::TDBGridDelegate(TDBGrid *grid)
    : QStyledItemDelegate(grid)
    , FGrid(grid)
{ }

QWidget *TDBGridDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (const TGridColumn *column = FGrid->columnOf(index.column());
        column && !column->choices.isEmpty()) {
        auto *box = new QComboBox(parent);
        box->setFrame(false);
        for (const TGridChoice &c : column->choices)
            box->addItem(c.caption, c.value);
        // A choice made is the new value at once, as a typed cell's text is on Enter.
        connect(box, &QComboBox::activated, box,
            [this, box] { emit const_cast<TDBGridDelegate *>(this)->commitData(box); });
        return box;
    }
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line) {
        // The row set gives every value as text; should the factory ever choose another
        // editor, a plain line edit takes its place.
        delete editor;
        line = new QLineEdit(parent);
        line->setFrame(false);
        editor = line;
    }
    const TRowSet *rs = FGrid->dataSource();
    if (rs && rs->fieldType(index.column()) == ftString)
        line->setMaxLength(MaxNameLength);
    if (rs) {
        if (const auto kind = TNumericValidator::kindOf(rs->fieldType(index.column()))) {
            auto *validator = new TNumericValidator(*kind, line);
            line->setValidator(validator);
            // A refused key shows: the cell turns red and a tip says why, until the next key
            // the cell takes.
            const QPalette normal = line->palette();
            connect(line, &QLineEdit::inputRejected, line, [line, validator] {
                QPalette refused = line->palette();
                refused.setColor(QPalette::Base, refusedColor());
                line->setPalette(refused);
                QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())),
                    validator->refusal(), line, QRect(), 4000);
            });
            connect(line, &QLineEdit::textEdited, line, [line, normal] {
                line->setPalette(normal);
                QToolTip::hideText();
            });
        }
    }
    return editor;
}

QColor TDBGridDelegate::refusedColor()
{
    return QColor(255, 200, 200);
}

void TDBGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        const QString stored = index.model()->data(index, Qt::EditRole).toString().trimmed();
        const int at = stored.isEmpty() ? 0 : box->findData(stored.toInt());
        box->setCurrentIndex(std::max(at, 0));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void TDBGridDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const QScopedValueRollback<bool> committing(FGrid->FCommitting, true);
    if (const auto *box = qobject_cast<const QComboBox *>(editor)) {
        const QString value = QString::number(box->currentData().toInt());
        const QString stored = model->data(index, Qt::EditRole).toString().trimmed();
        // The value shown for an empty cell, chosen again, changes nothing.
        if (value == stored || (stored.isEmpty() && box->currentIndex() == 0)) {
            FLastCommitOk = true;
            return;
        }
        FLastCommitOk = model->setData(index, value, Qt::EditRole);
        return;
    }
    if (const auto *line = qobject_cast<const QLineEdit *>(editor)) {
        // Unchanged text changes nothing: no edit is started and nothing becomes pending.
        if (line->text() == model->data(index, Qt::EditRole).toString()) {
            FLastCommitOk = true;
            return;
        }
        FLastCommitOk = model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
    FLastCommitOk = true;
}

bool TDBGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent *>(event))) {
        Dialogs::guarded([this] { FGrid->enterWalk(); });
        return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

// ======================================================================= titles and indicator

// The row set seen through the grid: titles of the grid's columns, centred; numbers aligned
// right in their cells; no row numbers (the indicator column shows the current row instead).
class TDBGrid::TTitles : public QIdentityProxyModel
{
public:
    explicit TTitles(TDBGrid *grid)
        : QIdentityProxyModel(grid)
        , FGrid(grid)
    { }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical)
            return QVariant();
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        if (role == Qt::DisplayRole) {
            if (const TRowSet *rs = FGrid->dataSource()) {
                const QString field = rs->fieldName(section);
                for (const TGridColumn &c : FGrid->columns())
                    if (c.fieldName.compare(field, Qt::CaseInsensitive) == 0)
                        return c.title;
            }
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const TGridColumn *column = FGrid->columnOf(index.column());
        if (column && !column->choices.isEmpty()) {
            if (role == Qt::TextAlignmentRole)
                return int(Qt::AlignCenter);
            if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
                const QString stored
                    = QIdentityProxyModel::data(index, Qt::EditRole).toString().trimmed();
                if (stored.isEmpty())
                    return column->choices.first().caption;
                bool ok = false;
                const int value = stored.toInt(&ok);
                for (const TGridChoice &c : column->choices)
                    if (ok && c.value == value)
                        return c.caption;
                return stored;
            }
        }
        if (role == Qt::TextAlignmentRole) {
            const TRowSet *rs = FGrid->dataSource();
            const bool numeric = rs && TNumericValidator::kindOf(rs->fieldType(index.column()));
            return int((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        }
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            const QVariant v = QIdentityProxyModel::data(index, role);
            if (v.typeId() == QMetaType::QString)
                return ShownText(v.toString());
            return v;
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    TDBGrid *FGrid;
};

// The narrow column at the left: an arrow at the current row, an I-beam while it is being
// edited, a star while a new row is being entered.
class TDBGrid::TIndicator : public QHeaderView
{
public:
    explicit TIndicator(TDBGrid *grid)
        : QHeaderView(Qt::Vertical, grid)
        , FGrid(grid)
    {
        setSectionsClickable(false);
        setSectionResizeMode(QHeaderView::Fixed);
        setDefaultSectionSize(20);
        setMinimumWidth(12);
    }

    QSize sizeHint() const override
    {
        QSize s = QHeaderView::sizeHint();
        s.setWidth(12);
        return s;
    }

protected:
    void paintSection(QPainter *p, const QRect &rect, int logicalIndex) const override
    {
        QHeaderView::paintSection(p, rect, logicalIndex);
        const TRowSet *rs = FGrid->dataSource();
        if (!rs || !rs->isOpen() || rs->recNo() - 1 != logicalIndex)
            return;
        p->save();
        // The style may leave a clip of its own behind after drawing the section.
        p->setClipRect(rect);
        p->setRenderHint(QPainter::Antialiasing);
        const QPointF c = QRectF(rect).center();
        p->setPen(Qt::NoPen);
        p->setBrush(Qt::black);
        switch (rs->state()) {
        case dsInsert: {
            QFont f = p->font();
            f.setBold(true);
            p->setFont(f);
            p->setPen(Qt::black);
            p->drawText(rect, Qt::AlignCenter, u"*"_s);
            break;
        }
        case dsEdit:
            p->setPen(QPen(Qt::black, 1));
            p->drawLine(QPointF(c.x(), c.y() - 5), QPointF(c.x(), c.y() + 5));
            p->drawLine(QPointF(c.x() - 2, c.y() - 5), QPointF(c.x() + 2, c.y() - 5));
            p->drawLine(QPointF(c.x() - 2, c.y() + 5), QPointF(c.x() + 2, c.y() + 5));
            break;
        default: {
            QPainterPath arrow;
            arrow.moveTo(c.x() - 2.5, c.y() - 4.5);
            arrow.lineTo(c.x() + 2.5, c.y());
            arrow.lineTo(c.x() - 2.5, c.y() + 4.5);
            arrow.closeSubpath();
            p->drawPath(arrow);
            break;
        }
        }
        p->restore();
    }

private:
    TDBGrid *FGrid;
};

// ======================================================================= TDBGrid

TDBGrid::TDBGrid(QWidget *parent)
    : QTableView(parent)
{
    FDelegate = new TDBGridDelegate(this);
    setItemDelegate(FDelegate);
    setVerticalHeader(new TIndicator(this));
    FModel = new TTitles(this);
    setModel(FModel);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setAlternatingRowColors(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, WidgetArt::GridBackground);
    pal.setColor(QPalette::AlternateBase, WidgetArt::GridAlternate);
    setPalette(pal);

    QHeaderView *h = horizontalHeader();
    h->setDefaultAlignment(Qt::AlignCenter);
    h->setSectionsClickable(false);
    h->setHighlightSections(false);
    h->setStretchLastSection(false);

    // After the view has followed a reset of the rows, the columns are laid out again (a reset
    // forgets widths and hidden columns) and the current row is shown.
    connect(FModel, &QAbstractItemModel::modelReset, this, [this] { applyColumns(); });
    connect(FModel, &QAbstractItemModel::layoutChanged, this, [this] { applyColumns(); });
    connect(FModel, &QAbstractItemModel::columnsInserted, this, [this] { applyColumns(); });

    allGrids().push_back(this);
}

TDBGrid::~TDBGrid()
{
    std::erase(allGrids(), this);
    for (const auto &c : std::as_const(FConnections))
        disconnect(c);
    FModel->setSourceModel(nullptr);
}

void TDBGrid::setDataSource(TRowSet *rowSet)
{
    for (const auto &c : std::as_const(FConnections))
        disconnect(c);
    FConnections.clear();
    FModelChanging = 0;
    FRowSet = rowSet;

    auto begin = [this] { ++FModelChanging; };
    auto end = [this] { FModelChanging = qMax(0, FModelChanging - 1); };
    // The "about to" handlers are connected before the titles model connects its own, the
    // "done" handlers after: so the mark spans everything the view does to follow the change,
    // and current-cell changes made then are not taken for the user's moves.
    if (rowSet) {
        FConnections << connect(rowSet, &QAbstractItemModel::rowsAboutToBeInserted, this, begin)
                     << connect(rowSet, &QAbstractItemModel::rowsAboutToBeRemoved, this, begin)
                     << connect(rowSet, &QAbstractItemModel::rowsAboutToBeMoved, this, begin)
                     << connect(rowSet, &QAbstractItemModel::columnsAboutToBeInserted, this, begin)
                     << connect(rowSet, &QAbstractItemModel::columnsAboutToBeRemoved, this, begin)
                     << connect(rowSet, &QAbstractItemModel::modelAboutToBeReset, this, begin)
                     << connect(rowSet, &QAbstractItemModel::layoutAboutToBeChanged, this, begin);
    }
    FModel->setSourceModel(rowSet);
    if (rowSet) {
        FConnections
            << connect(rowSet, &QAbstractItemModel::rowsInserted, this, end)
            << connect(rowSet, &QAbstractItemModel::rowsRemoved, this, end)
            << connect(rowSet, &QAbstractItemModel::rowsMoved, this, end)
            << connect(rowSet, &QAbstractItemModel::columnsInserted, this, end)
            << connect(rowSet, &QAbstractItemModel::columnsRemoved, this, end)
            << connect(rowSet, &QAbstractItemModel::modelReset, this, end)
            << connect(rowSet, &QAbstractItemModel::layoutChanged, this, end)
            << connect(rowSet, &TRowSet::currentRowChanged, this, [this] { followRowSet(); })
            // A row set that goes first leaves an empty grid, not a dangling one.
            << connect(rowSet, &QObject::destroyed, this, [this] { setDataSource(nullptr); })
            << connect(rowSet, &TRowSet::stateChanged, this,
                   [this](TDataSetState state) {
                       // Cancelled or posted from outside while a cell was still
                       // being typed: the text is dropped (commands that keep it
                       // call commitEditors first).
                       if (state != dsEdit && state != dsInsert && !FCommitting
                           && this->state() == QAbstractItemView::EditingState) {
                           if (QWidget *editor = indexWidget(currentIndex()))
                               closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
                       }
                       repaintIndicator();
                   })
            << connect(rowSet, &TRowSet::editError, this,
                   [](const QString &message) { Dialogs::reportError(message); });
    }
    applyDisplayLabels();
    applyColumns();
}

// Errors about a column name it by the title the user sees above it.
void TDBGrid::applyDisplayLabels()
{
    if (TRowSet *rs = FRowSet)
        for (const TGridColumn &c : std::as_const(FColumns))
            rs->setDisplayLabel(c.fieldName, c.title);
}

void TDBGrid::setColumns(const QList<TGridColumn> &columns)
{
    FColumns = columns;
    FSelectedColumn = -1;
    applyDisplayLabels();
    applyColumns();
    if (FModel->columnCount() > 0)
        emit FModel->headerDataChanged(Qt::Horizontal, 0, FModel->columnCount() - 1);
}

QList<int> TDBGrid::shownModelColumns() const
{
    QList<int> out;
    const TRowSet *rs = FRowSet;
    if (!rs || !rs->isOpen())
        return out;
    if (FColumns.isEmpty()) {
        for (int i = 0; i < rs->fieldCount(); ++i)
            out << i;
        return out;
    }
    for (const TGridColumn &c : FColumns) {
        const int i = rs->fieldIndex(c.fieldName);
        if (i >= 0 && !out.contains(i))
            out << i;
    }
    return out;
}

const TGridColumn *TDBGrid::columnOf(int modelColumn) const
{
    const TRowSet *rs = FRowSet;
    if (!rs || modelColumn < 0)
        return nullptr;
    const QString field = rs->fieldName(modelColumn);
    for (const TGridColumn &c : FColumns)
        if (c.fieldName.compare(field, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

int TDBGrid::gridColumnCount() const
{
    return int(shownModelColumns().size());
}

void TDBGrid::applyColumns()
{
    const int n = FModel->columnCount();
    if (n > 0) {
        const QList<int> shown = shownModelColumns();
        QHeaderView *h = horizontalHeader();
        for (int c = 0; c < n; ++c)
            setColumnHidden(c, !shown.contains(c));
        for (int i = 0; i < shown.size(); ++i) {
            const int c = shown[i];
            const int from = h->visualIndex(c);
            if (from != i)
                h->moveSection(from, i);
        }
        const TRowSet *rs = FRowSet;
        for (const TGridColumn &col : FColumns) {
            const int c = rs ? rs->fieldIndex(col.fieldName) : -1;
            if (c >= 0)
                setColumnWidth(c, std::max(col.width, choicesWidth(col)));
        }
    }
    followRowSet();
}

int TDBGrid::selectedIndex() const
{
    return int(shownModelColumns().indexOf(FSelectedColumn));
}

void TDBGrid::setSelectedIndex(int gridColumn)
{
    const QList<int> shown = shownModelColumns();
    if (gridColumn < 0 || gridColumn >= shown.size())
        return;
    FSelectedColumn = shown[gridColumn];
    followRowSet();
}

QModelIndex TDBGrid::cellIndex(int row, int gridColumn) const
{
    const QList<int> shown = shownModelColumns();
    if (gridColumn < 0 || gridColumn >= shown.size())
        return QModelIndex();
    return FModel->index(row, shown[gridColumn]);
}

void TDBGrid::followRowSet()
{
    const QScopedValueRollback<bool> syncing(FSyncing, true);
    // The row set moved on its own (a command, another window): an editor still open belongs
    // to the row it was opened on. Commands take its text first (commitEditors); here it is
    // dropped rather than written into the wrong row.
    if (state() == QAbstractItemView::EditingState) {
        if (QWidget *editor = indexWidget(currentIndex()))
            closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
    const TRowSet *rs = FRowSet;
    const QList<int> shown = shownModelColumns();
    if (!rs || !rs->isOpen() || rs->recNo() == 0 || shown.isEmpty()
        || rs->recNo() > FModel->rowCount()) {
        if (selectionModel() && currentIndex().isValid())
            selectionModel()->clearCurrentIndex();
        repaintIndicator();
        return;
    }
    const int column = shown.contains(FSelectedColumn) ? FSelectedColumn : shown.first();
    FSelectedColumn = column;
    const QModelIndex cell = FModel->index(rs->recNo() - 1, column);
    if (currentIndex() != cell)
        selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    scrollTo(cell);
    repaintIndicator();
}

void TDBGrid::repaintIndicator()
{
    verticalHeader()->viewport()->update();
}

void TDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        FSelectedColumn = current.column();
    repaintIndicator();
    TRowSet *rs = FRowSet;
    if (FSyncing || FModelChanging > 0 || !current.isValid() || !rs || !rs->isOpen())
        return;
    // The user moved to another row of the grid: the row set follows.
    if (current.row() + 1 == rs->recNo())
        return;
    Dialogs::guarded([&] { rs->setRecNo(current.row() + 1); });
    if (current.row() + 1 != rs->recNo()) {
        // The move was refused (reported): show the row set's row again, once the view has
        // finished its own handling of this change.
        QMetaObject::invokeMethod(
            this, [this] { followRowSet(); }, Qt::QueuedConnection);
    }
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    if (isEnterKey(event) && state() != QAbstractItemView::EditingState) {
        Dialogs::guarded([this] { enterWalk(); });
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) && state() != QAbstractItemView::EditingState) {
        const QString text = QGuiApplication::clipboard()->text();
        Dialogs::guarded([&] { pasteRows(text); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TDBGrid::commitEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return true;
    QWidget *editor = indexWidget(currentIndex());
    if (!editor)
        return true;
    FDelegate->FLastCommitOk = true;
    commitData(editor);
    if (!FDelegate->FLastCommitOk)
        return false; // the editor stays open with the refused text
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

bool TDBGrid::commitEditors(const TRowSet *rowSet)
{
    if (!rowSet)
        return true;
    const std::vector<TDBGrid *> grids = allGrids();
    for (TDBGrid *g : grids)
        if (g->dataSource() == rowSet && !g->commitEditor())
            return false;
    return true;
}

void TDBGrid::enterWalk()
{
    TRowSet *rs = FRowSet;
    if (!rs || !rs->isOpen())
        return;
    if (!commitEditor() || !FEnterWalk)
        return;
    const int count = gridColumnCount();
    if (count == 0)
        return;
    const int selected = qMax(0, selectedIndex());
    if (selected >= count - 1) {
        if (rs->recNo() == rs->recordCount())
            rs->append();
        else
            rs->next();
        setSelectedIndex(count > 1 ? 1 : 0);
    } else {
        setSelectedIndex(selected + 1);
    }
}

TImportTarget TDBGrid::pasteTarget() const
{
    if (!FPasteTarget.isEmpty())
        return FPasteTarget;
    QList<QPair<QString, QString>> columns;
    for (const TGridColumn &c : FColumns)
        columns.append({ c.fieldName, c.title });
    return TargetForColumns(columns);
}

void TDBGrid::pasteRows(const QString &Text)
{
    TRowSet *rs = FRowSet;
    if (!rs || !rs->isOpen() || Text.trimmed().isEmpty())
        return;
    if (!commitEditor())
        return;
    // One value: into the current cell, checked as if typed.
    QString single = Text;
    while (single.endsWith(u'\n') || single.endsWith(u'\r'))
        single.chop(1);
    if (!single.contains(u'\t') && !single.contains(u'\n') && !single.contains(u'\r')) {
        const QModelIndex cell = currentIndex();
        if (cell.isValid())
            model()->setData(cell, single.trimmed(), Qt::EditRole);
        return;
    }
    const TReadOutcome read = ReadDelimitedText(Text);
    if (!read.Ok) {
        Dialogs::showError(this, tr("粘贴的内容不能读成表格，没有增加任何行：\n") + read.Error);
        return;
    }
    const TImportTarget target = pasteTarget();
    const TImportOutcome outcome
        = ConvertRows(read.Table, target, GuessMapping(read.Table, target));
    if (!outcome.ok()) {
        Dialogs::showError(this,
            tr("粘贴的行有问题，没有增加任何行。请改正后重新复制、粘贴：\n")
                + ProblemLines(outcome.Problems).join(u'\n'));
        return;
    }
    if (outcome.Rows.isEmpty())
        return;
    if (FPasteHandler)
        FPasteHandler(target, outcome.Rows);
    else
        AppendImportedRows(*rs, target, outcome.Rows);
    setFocus();
}
