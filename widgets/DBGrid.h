#pragma once
// TDBGrid: a data grid bound to a row set. It shows the chosen columns of the row set with their
// own titles and widths (titles centred, other columns hidden), marks the current row in a narrow
// indicator column, and keeps the grid's current row and the row set's current row together in
// both directions.
//
// Cells are edited in place: typing starts the editor, and a numeric column's editor refuses
// characters its type cannot hold (TNumericValidator). An edit that the row set refuses is
// reported through the application-wide error handler; the grid connects the row set's
// editError to it, so owners need not (and should not, or it is shown twice). The grid gives the
// row set its column titles as display labels, so those errors name a column as the user sees
// it ("长", not "Length").
//
// The Enter key walks the grid: to the next column of the row; from the last column to the
// second column of the next row, appending a new row at the end (the row set's AfterInsert then
// runs as for any new row). With a cell editor open, Enter first puts the text into the row.
//
// Ctrl+V appends rows copied from a spreadsheet: the text goes through the same reader and
// checks as an imported file (columns from a copied header, else from the content), and either
// every row is added or, when any value is refused, none, with every problem listed. A single
// value (no tab, no line break) goes into the current cell instead, as typing it would.

#include <QIdentityProxyModel>
#include <QList>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QValidator>
#include <optional>
#include <utility>

#include "PartImport.h"
#include "RowSet.h"

#include <functional>

class TDBGrid;

// One value of a column that holds one of a few whole numbers, and its caption.
struct TGridChoice
{
    int value = 0;
    QString caption;
};

// One column of a grid: the row set's column (any letter case), its title and width in pixels.
// A column with choices shows the caption of its value (an empty cell: the first choice's) and is
// edited with a drop-down list of the captions; a value outside them shows as the number.
struct TGridColumn
{
    TGridColumn() = default;
    TGridColumn(QString FieldName, QString Title, int Width = 64, QList<TGridChoice> Choices = {})
        : fieldName(std::move(FieldName))
        , title(std::move(Title))
        , width(Width)
        , choices(std::move(Choices))
    { }

    QString fieldName;
    QString title;
    int width = 64;
    QList<TGridChoice> choices;
};

// The choices of the grain columns (纹理, stored as 0 or 1): sheets 无 / 有 (the board has grain
// along its length), parts 无 / 顺纹 (the part's length must run along the grain).
QList<TGridChoice> SheetGrainChoices();
QList<TGridChoice> PartGrainChoices();

// Accepts only text a numeric column can take while it is being typed: for whole numbers an
// optional leading sign and digits, within the 32-bit range; for prices the same plus one
// decimal point and at most four decimals; for floating columns also an exponent. Any other
// character is refused as it is typed. "", "-", "+" and "." are accepted as unfinished input.
// Why the last text was refused is kept for the cell editor to show (refusal()).
class TNumericValidator : public QValidator
{
    Q_OBJECT
public:
    enum TKind { Integer, Currency, Float };
    explicit TNumericValidator(TKind kind, QObject *parent = nullptr);
    TKind kind() const { return FKind; }
    State validate(QString &input, int &pos) const override;
    // The validator kind for a column type; none for text and date-time columns.
    static std::optional<TKind> kindOf(TFieldType type);
    // Why the last text validate() refused was refused, for the user ("" before any refusal).
    QString refusal() const { return FRefusal; }

private:
    State refuse(const QString &why) const;
    TKind FKind;
    mutable QString FRefusal;
};

// The cell editor of a TDBGrid: a line edit, with a TNumericValidator on numeric columns. Enter
// in the editor puts the text into the row and continues the grid's Enter walk. A key the
// validator refuses is not dropped silently: the cell turns red and a tip beside it says why
// (a number that would grow beyond its column's range, a character the column cannot hold),
// until the next key it takes.
class TDBGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TDBGridDelegate(TDBGrid *grid);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    // Whether the last setModelData was taken by the row set.
    bool lastCommitOk() const { return FLastCommitOk; }
    // The background of a cell editor that has just refused a key.
    static QColor refusedColor();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    friend class TDBGrid;
    TDBGrid *FGrid;
    mutable bool FLastCommitOk = true;
};

class TDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    // The row set shown (not owned; nullptr shows nothing).
    void setDataSource(TRowSet *rowSet);
    TRowSet *dataSource() const { return FRowSet; }

    // The columns shown, in this order; every other column of the row set is hidden. Without
    // any, all columns are shown under their own names.
    void setColumns(const QList<TGridColumn> &columns);
    const QList<TGridColumn> &columns() const { return FColumns; }
    int gridColumnCount() const; // columns shown (while the row set is open)
    // The column description of a model column, or nullptr when it is not one of columns().
    const TGridColumn *columnOf(int modelColumn) const;

    // The grid column (0-based, in shown order) of the current cell; -1 when there is none.
    int selectedIndex() const;
    void setSelectedIndex(int gridColumn);
    // The model index of a cell, by row (0-based) and grid column; invalid when out of range.
    QModelIndex cellIndex(int row, int gridColumn) const;

    // The Enter key (errors left to the caller; the key reports them).
    void enterWalk();
    // Whether Enter walks the grid (the default). Without the walk, Enter only puts the text of
    // an open cell editor into its row: it never moves to another row or appends one.
    void setEnterWalk(bool on) { FEnterWalk = on; }
    bool enterWalkEnabled() const { return FEnterWalk; }

    // Puts the text of an open cell editor into the row set and closes the editor. False when
    // the row set refused the text (it has been reported); true otherwise, also with no editor.
    bool commitEditor();
    // The same for every grid bound to rowSet: commands that act on a row set call it first, so
    // that text still being typed is not lost or written to the wrong row.
    static bool commitEditors(const TRowSet *rowSet);

    // Ctrl+V with Text on the clipboard (errors left to the caller; the key reports them).
    void pasteRows(const QString &Text);
    // What pasted rows fill: by default the shown columns whose kind the importer knows
    // (名称/Name, 长度/Length, 宽度/Width, 数量, 刀口, 价格/Price).
    void setPasteTarget(const TImportTarget &target) { FPasteTarget = target; }
    TImportTarget pasteTarget() const;
    // Who takes the checked rows; by default AppendImportedRows into the row set.
    using TPasteHandler = std::function<void(const TImportTarget &, const QList<TImportedRow> &)>;
    void setPasteHandler(TPasteHandler handler) { FPasteHandler = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class TDBGridDelegate;
    class TTitles;
    class TIndicator;

    QList<int> shownModelColumns() const; // model column of each grid column
    int choicesWidth(const TGridColumn &Column) const; // room for its widest choice, or 0
    void applyColumns();
    void applyDisplayLabels();
    void followRowSet();
    void repaintIndicator();

    QPointer<TRowSet> FRowSet;
    TTitles *FModel;
    TDBGridDelegate *FDelegate;
    QList<TGridColumn> FColumns;
    QList<QMetaObject::Connection> FConnections;
    int FSelectedColumn = -1; // model column of the current cell, kept across model resets
    int FModelChanging = 0; // inside a structural change of the row set
    bool FSyncing = false; // moving the grid to the row set's current row
    bool FCommitting = false; // an editor's text is being put into the row set
    bool FEnterWalk = true;
    TImportTarget FPasteTarget;
    TPasteHandler FPasteHandler;
};
