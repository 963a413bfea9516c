#pragma once
// TRowSet: the cached, editable result of one query over the database connection.
//
// Opening reads every matching row into memory. Appending, editing and deleting change only the
// cached copy; nothing reaches the file until updateBatch(), which writes every pending
// insertion, change and deletion in one transaction. The row set is a Qt table model, so a grid
// binds to it directly, and it works without any widget.
//
// Positions (recNo) count from 1; 0 means "no current row". Columns are addressed by name,
// ignoring letter case ("name" finds Name). Tables without a key of their own are identified by
// the store's row id, which is kept beside each row and never appears as a column.
//
// Events are plain callbacks (like a data set's event properties). They run synchronously inside
// the operation that raises them; an exception thrown by a handler leaves that operation and
// reaches its caller:
//   BeforeScroll — before the current row changes to another row (navigation, append, insert,
//                  delete); throwing here stops the move
//   AfterScroll  — after the current row changed (including after open and after a new row was
//                  cancelled)
//   AfterInsert  — after a new row was appended or inserted (it is current, in dsInsert)
//   AfterOpen    — after the rows were read
// Errors: TDBError for the store and for misuse (closed row set, no current row, unknown column),
// TConvertError when a value does not convert to a column's type.

#include "Currency.h"
#include "DBTypes.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QVariant>
#include <functional>

class TRowSet;
class TCascade;
using TRowSetEvent = std::function<void(TRowSet &)>;

// A column of the current row of a row set. A light handle: get it with TRowSet::field() and use
// it at once. Reading with no current row gives null (0, empty text); an empty numeric column
// reads as 0, an empty text column as "". Writing needs the row set in dsEdit or dsInsert.
class TField
{
public:
    QString name() const;
    QString displayLabel() const; // what errors about the column call it (see setDisplayLabel)
    TFieldType type() const;
    int index() const { return FIndex; }
    bool isNull() const;

    QString asString() const; // display text: integers in decimal, currency "33.3",
                              // floating in up to 15 significant digits, date-time
                              // "yyyy-MM-dd HH:mm:ss"; null gives ""
    int asInteger() const; // float and currency truncate toward zero
    qint64 asLargeInt() const;
    double asFloat() const;
    TCurrency asCurrency() const;
    QDateTime asDateTime() const; // null gives an invalid QDateTime
    QVariant value() const; // the stored form: null, qlonglong, double or QString

    // Text is converted to the column's type; empty text (or blanks) makes a numeric or
    // date-time column null. Text that does not convert throws TConvertError at once.
    void setAsString(const QString &text);
    void setAsInteger(qint64 value);
    void setAsFloat(double value);
    void setAsCurrency(TCurrency value);
    void setAsDateTime(const QDateTime &value);
    void setValue(const QVariant &value); // by the variant's type; a null variant clears
    void clear();

private:
    friend class TRowSet;
    TField(TRowSet *rowSet, int index)
        : FRowSet(rowSet)
        , FIndex(index)
    { }
    QVariant raw() const;
    void store(const QVariant &stored);

    TRowSet *FRowSet;
    int FIndex;
};

class TRowSet : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TRowSet(QObject *parent = nullptr);
    explicit TRowSet(const QString &commandText, QObject *parent = nullptr);
    ~TRowSet() override;

    // ---- connection and query ----
    // The connection to use; by default (an invalid QSqlDatabase) the data module's ADOCon.
    // Opening or saving with no open connection throws "database not open".
    void setConnection(const QSqlDatabase &db);
    QSqlDatabase connection() const; // throws TDBError when not open
    QString commandText() const { return FCommandText; }
    void setCommandText(const QString &text); // only while closed (throws otherwise)
    QString tableName() const { return FTable; } // the table the query reads (after open)
    bool isReadOnly() const { return FReadOnly; } // a query without a row key cannot be edited

    // ---- open / close ----
    void open(); // reads all rows; first row current. No-op when open.
    void open(const QString &commandText); // close, set the text, open
    void close(); // discards the cache and every pending change
    void reopen(); // close and open the same text
    bool isOpen() const { return FState != dsInactive; }
    TDataSetState state() const { return FState; }

    // ---- position ----
    int recordCount() const { return int(FRows.size()); }
    int recNo() const { return FCurrent + 1; } // 1-based; 0 when there is no current row
    void setRecNo(int recNo); // 1..recordCount, else TDBError
    void first();
    void last();
    void next(); // at the last row: stays and sets eof()
    void prior(); // at the first row: stays and sets bof()
    bool eof() const { return FEof; }
    bool bof() const { return FBof; }
    bool isEmpty() const { return FRows.isEmpty(); } // no current row at all

    // ---- changing rows ----
    void append(); // new row at the end, current, dsInsert
    void insert(); // new row before the current one, current, dsInsert
    void edit(); // current row into dsEdit; on an empty row set starts a new row
    void post(); // commit the edited or new row into the cache
    void cancel(); // undo the edit, or drop the new row
    void deleteRecord(); // delete the current row; while inserting cancels the new row;
                         // on an empty row set throws TDBError
    // Moving to another row (or appending, inserting, saving) while editing posts first.

    // Runs Change (appends, edits, posts, deletes) as one unit on the cache: when it throws, the
    // rows, the pending changes, the current row and the state are put back as they were
    // before, and the error goes on to the caller. Grids are updated once, at the end.
    void changeAtomically(const std::function<void()> &Change);

    // ---- columns ----
    int fieldCount() const { return int(FFields.size()); }
    QString fieldName(int index) const;
    TFieldType fieldType(int index) const;
    int fieldIndex(const QString &name) const; // ignoring case; -1 when absent
    TField field(const QString &name); // throws TDBError when absent
    TField field(int index);
    TField fieldByName(const QString &name) { return field(name); }
    // The title a column is shown under, such as a grid's column title ("长" for Length):
    // conversion and range errors about the column name it by this label, so the user reads the
    // word on the screen. Without one, the column's own name. Kept while the row set is closed
    // and opened again; an empty label removes it.
    void setDisplayLabel(const QString &field, const QString &label);
    QString displayLabel(int index) const;

    // ---- saving ----
    bool hasPendingChanges() const;
    // Writes every pending insertion, change and deletion in one transaction (posting an edit
    // in progress first). On any error nothing of it reaches the file, the store's message is
    // thrown as TDBError and the changes stay pending. Afterwards new rows carry the ID the
    // store assigned them.
    void updateBatch();

    // ---- link to a grid ----
    // While disabled, the model sends no per-row signals; resuming resets the model once if
    // anything changed and reports the current row. Calls nest.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return FDisableCount > 0; }

    // ---- events ----
    void setBeforeScroll(TRowSetEvent handler) { FBeforeScroll = std::move(handler); }
    void setAfterScroll(TRowSetEvent handler) { FAfterScroll = std::move(handler); }
    void setAfterInsert(TRowSetEvent handler) { FAfterInsert = std::move(handler); }
    void setAfterOpen(TRowSetEvent handler) { FAfterOpen = std::move(handler); }

    // ---- the store's dialect ----
    // Translates a statement of the system (Jet wording) into the store's: "select Top n ..."
    // becomes "select ... LIMIT n". Everything else is kept as written.
    static QString toSqlite(const QString &statement);

    // ---- Qt model ----
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Editing a cell makes its row current (posting any other edit), puts it into dsEdit and
    // writes the text. Never throws: on an error it returns false and emits editError.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // The current row changed (recNo, 0 for none); not sent while controls are disabled.
    void currentRowChanged(int recNo);
    void stateChanged(TDataSetState state);
    // A batch save wrote every pending change; nothing is pending any more.
    void saved();
    // setData failed (conversion error, store error while moving); the grid owner shows it.
    void editError(const QString &message);

private:
    friend class TField;
    // The cascades of the data module run the row set's save inside their own transaction.
    friend class TCascade;

    struct TFieldDef
    {
        QString name;
        TFieldType type = ftUnknown;
        bool inTable = false; // a column of the table (can be written back)
    };
    struct TRow
    {
        QList<QVariant> cur;
        QList<QVariant> orig;
        qint64 key = 0;
        bool hasKey = false; // stored in the file
        bool inserted = false; // new, not yet saved
        bool modified = false; // differs from the file
        quint64 uid = 0;
    };

    struct TSnapshot
    {
        QList<TRow> rows;
        QList<TRow> deleted;
        int current = -1;
        bool bof = true, eof = true;
        TDataSetState state = dsInactive;
        QList<QVariant> editBackup;
        quint64 insertReturnUid = 0;
    };

    struct TSaveResult
    {
        QList<QPair<quint64, qint64>> newKeys; // row uid -> key assigned by the store
    };
    // Writes the pending changes inside the caller's open transaction (posting an edit first);
    // acceptSave records the outcome in the cache once that transaction has committed.
    TSaveResult savePending(const QSqlDatabase &db);
    void acceptSave(const TSaveResult &result);
    TSnapshot snapshot() const;
    void restore(const TSnapshot &snapshot);
    void setScrollEventsSuppressed(bool on) { FScrollEventsSuppressed = on; }

    void checkOpen() const;
    void checkBrowseMode(); // posts an edit in progress
    void checkCanModify() const;
    void setState(TDataSetState state);
    void moveTo(int index, bool bof, bool eof);
    void addRow(bool atEnd);
    void fireBeforeScroll();
    void fireAfterScroll();
    void notifyCurrent();
    void notifyRowChanged(int row);
    void notifyReset();
    QString displayText(int row, int column) const;
    int rowIndexOfUid(quint64 uid) const;
    void writeField(int index, const QVariant &stored);
    QVariant readField(int index) const;
    void rowDataChanged(int first, int last);

    QString FConnectionName;
    QString FCommandText;
    QString FTable;
    bool FReadOnly = false;
    TDataSetState FState = dsInactive;
    QList<TFieldDef> FFields;
    QHash<QString, QString> FDisplayLabels; // case-folded column name -> label
    QList<TRow> FRows;
    QList<TRow> FDeleted;
    int FCurrent = -1;
    bool FBof = true;
    bool FEof = true;
    QList<QVariant> FEditBackup;
    quint64 FInsertReturnUid = 0;
    quint64 FNextUid = 1;
    int FDisableCount = 0;
    bool FChangedWhileDisabled = false;
    bool FScrollEventsSuppressed = false;
    TRowSetEvent FBeforeScroll, FAfterScroll, FAfterInsert, FAfterOpen;
};
