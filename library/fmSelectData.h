#pragma once
// TfrmSelectData: the picker. A modal dialog listing the rows of a library with a tick box in
// front of each; the caller fills it, shows it, and on OK copies the ticked rows into its own
// list. The dialog itself holds nothing but the list rows; a row's tick is its selection
// (highlighting rows with the mouse does not count).
//
// Typical use (the project workspace):
//     TfrmSelectData picker(this);
//     picker.setWindowTitle(u"选择原材料"_s);
//     picker.fillFromLibrary(ADOBC, true); // reopens ADOBC, one list row per library row
//     for (const TPickedRow &row : picker.execute()) // empty unless the user chose 确定
//         ... append to the target row set from row.name, row.length, row.width, row.price

#include "fmBase.h"

#include <QList>
#include <QString>

#include <utility>

class QCheckBox;
class QPushButton;
class QTreeWidget;
class TRowSet;
class TShadowPanel;

// The texts of one list row, column by column.
struct TPickedRow
{
    TPickedRow() = default;
    TPickedRow(QString No, QString Name, QString Length, QString Width, QString Price,
        QString Grain = {}, QString Trim = {}, QString Stock = {})
        : no(std::move(No))
        , name(std::move(Name))
        , length(std::move(Length))
        , width(std::move(Width))
        , price(std::move(Price))
        , grain(std::move(Grain))
        , trim(std::move(Trim))
        , stock(std::move(Stock))
    { }

    QString no; // "序号": the library row's 1-based position
    QString name; // "名称": Name
    QString length; // "长": Length
    QString width; // "宽": Width
    QString price; // "价格": Price; empty for parts
    QString grain; // "纹理": Grain as stored ("1": 有 / 顺纹, "0" or empty: 无)
    QString trim; // "修边": Trim; empty for parts
    QString stock; // "库存": Stock (empty: no count kept); empty for parts
    friend bool operator==(const TPickedRow &, const TPickedRow &) = default;
};

class TfrmSelectData : public TfrmBase
{
    Q_OBJECT
public:
    explicit TfrmSelectData(QWidget *parent = nullptr);

    QTreeWidget *ListView1; // the tick-box list
    TShadowPanel *pnlList; // holds the list and paints its shadow
    QWidget *pnlBar; // the bar along the bottom
    QCheckBox *chkSelectAll; // 全部选中
    QCheckBox *chkClearAll; // 全部取消
    QPushButton *btnOK; // 确定
    QPushButton *btnCancel; // 取消

    static constexpr QSize ClientSize { 700, 320 }; // room for names of a few dozen characters
    static constexpr int BarHeight = 35;

    // Reopens the library row set (so rows saved meanwhile are included), empties the list and
    // adds one row per library row in the order the row set gives them: the position, then
    // Name, Length, Width, with withPrice (the sheet library) Price, then Grain and, for sheets,
    // Trim and Stock, each as text (the grain shown by its caption). Errors of the store reach
    // the caller; the list is then empty.
    void fillFromLibrary(TRowSet &library, bool withPrice);
    // Adds one unticked row at the end.
    void addRow(const TPickedRow &row);
    int rowCount() const;
    void setRowChecked(int row, bool checked);
    bool isRowChecked(int row) const;

    // The ticked rows, top to bottom, whatever the dialog's result.
    QList<TPickedRow> checkedRows() const;
    // Shows the dialog modally (through Dialogs::exec) and returns the ticked rows when it ends
    // with 确定; after 取消 or closing through the title bar, none.
    QList<TPickedRow> execute();

    // The two check boxes: each acts only when it becomes ticked.
    void chkSelectAllClick();
    void chkClearAllClick();
};
