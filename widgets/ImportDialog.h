#pragma once
// TImportDialog: brings rows from a spreadsheet file (CSV, tab-separated text, Excel .xlsx) into
// a list. It shows where the rows come from, a preview of the file's rows, which column feeds
// which field (guessed from the header, changeable), and every bad cell (row, column, value,
// why). 导入 stays off while a ticked row has a problem: the user fixes the file, changes the
// mapping, or unticks the row. The dialog writes nothing itself; the caller takes rows() and
// puts them into its row set with AppendImportedRows, which adds all of them or none.
//
// Pasting rows copied from a spreadsheet into a grid (Ctrl+V in TDBGrid) goes through the same
// reader, mapping and checks, without the dialog.

#include "PartImport.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;
class TRowSet;
class TImportPreviewModel;

class TImportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TImportDialog(const TImportTarget &Target, QWidget *parent = nullptr);
    ~TImportDialog() override;

    // Reads a file as 选择文件 does. False when it cannot be read; the reason is then shown in
    // the dialog (sourceError()) and nothing is offered for import.
    bool loadFile(const QString &Path);
    // Offers a table read elsewhere (pasted text), described by Source.
    void setTable(const TSourceTable &Table, const QString &Source);

    TColumnMapping mapping() const { return FMapping; }
    void setMapping(const TColumnMapping &Mapping); // as if chosen in the boxes
    void setHeaderRow(int HeaderRow); // as if chosen: -1 none, else an index into the rows
    // Leaves a row (by its number in the file) out of the import, or takes it again.
    void setRowSkipped(int SourceRow, bool Skipped);

    QString sourceError() const { return FSourceError; }
    const QList<TImportProblem> &problems() const { return FOutcome.Problems; }
    // The rows to insert: every ticked row, checked; empty while there are problems.
    QList<TImportedRow> rows() const;
    const TImportTarget &target() const { return FTarget; }

    // ---- controls (object names as the member names) ----
    QLineEdit *edtFile;
    QPushButton *btnBrowse; // 选择文件…
    QLabel *lblSource; // format and encoding, or why the file cannot be read
    QComboBox *cbHeaderRow; // 标题行
    QList<QComboBox *> cbFields; // one per field of the target: "cbField0", "cbField1", ...
    QTableView *tblPreview;
    QListWidget *lstProblems;
    QLabel *lblSummary;
    QPushButton *btnImport; // 导入
    QPushButton *btnCancel; // 取消

    // The folder the file chooser opens in; remembered for the session.
    static QString lastFolder();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void browse();
    void fillBoxes();
    void readBoxes();
    void revalidate();

    TImportTarget FTarget;
    TSourceTable FTable;
    TColumnMapping FMapping;
    QSet<int> FSkipped;
    TImportOutcome FOutcome;
    QString FSourceError;
    TImportPreviewModel *FModel;
    bool FFilling = false;
    bool FOfferedBrowse = false;
};

// Appends the rows to the row set, each field into its column (a null value clears it), as one
// unit: when any row cannot be added (the row set refuses a new row or a value), none is, and
// the error goes on to the caller. The row set's AfterInsert runs for each row as for any new
// row (it sets the owner's ID, or renumbers a library).
void AppendImportedRows(
    TRowSet &Rows, const TImportTarget &Target, const QList<TImportedRow> &Imported);

// Shows the file chooser, then the dialog; returns the rows to insert (empty when cancelled).
// Caption is the dialog's title ("导入零件").
QList<TImportedRow> RunImportDialog(
    QWidget *Parent, const TImportTarget &Target, const QString &Caption);

// The problems of an import as the lines of one message, at most MaxLines, then how many more.
QStringList ProblemLines(const QList<TImportProblem> &Problems, int MaxLines = 20);
