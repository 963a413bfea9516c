#include "ImportDialog.h"

#include "Dialogs.h"
#include "RowSet.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The file's rows below the header, as they are, with a tick box per row; cells with a problem
// are shaded red and say why in their tool tip.
class TImportPreviewModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void reset(const TSourceTable *table, int headerRow, const QSet<int> *skipped,
        const QList<TImportProblem> *problems, const QSet<int> &imported)
    {
        beginResetModel();
        FImported = imported;
        FTable = table;
        FFirst = headerRow + 1;
        FSkipped = skipped;
        FColumns = table ? table->columnCount() : 0;
        FHeader = table && headerRow >= 0 && headerRow < table->Rows.size()
            ? table->Rows[headerRow].Cells
            : QStringList();
        FProblems.clear();
        FRowProblems.clear();
        if (problems)
            for (const TImportProblem &p : *problems) {
                if (p.Row <= 0)
                    continue;
                FRowProblems[p.Row] << p.text();
                if (p.SourceColumn >= 0)
                    FProblems[{ p.Row, p.SourceColumn }] << p.Reason;
            }
        endResetModel();
    }

    void updateChecks()
    {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !FTable ? 0
                                           : int(qMax<qsizetype>(0, FTable->Rows.size() - FFirst));
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : FColumns + 1;
    }
    const TSourceRow &sourceRow(int row) const { return FTable->Rows[FFirst + row]; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || !FTable)
            return {};
        const TSourceRow &r = sourceRow(index.row());
        const bool skipped = FSkipped && FSkipped->contains(r.Number);
        // A ticked row without problems that still imports nothing: its columns are empty.
        const bool idle
            = !skipped && !FImported.contains(r.Number) && !FRowProblems.contains(r.Number);
        if (index.column() == 0) {
            switch (role) {
            case Qt::DisplayRole:
                return r.Number;
            case Qt::CheckStateRole:
                return skipped ? Qt::Unchecked : Qt::Checked;
            case Qt::BackgroundRole:
                return !skipped && FRowProblems.contains(r.Number) ? QColor(255, 200, 200)
                                                                   : QVariant();
            case Qt::ToolTipRole:
                return idle ? TImportDialog::tr("这一行要导入的列都是空的，不导入")
                            : FRowProblems.value(r.Number).join(u'\n');
            case Qt::ForegroundRole:
                return skipped || idle ? QColor(Qt::gray) : QVariant();
            default:
                return {};
            }
        }
        const int c = index.column() - 1;
        switch (role) {
        case Qt::DisplayRole:
            return c < r.Cells.size() ? r.Cells[c] : QString();
        case Qt::ForegroundRole:
            return skipped || idle ? QColor(Qt::gray) : QVariant();
        case Qt::BackgroundRole:
            return !skipped && FProblems.contains({ r.Number, c }) ? QColor(255, 170, 170)
                                                                   : QVariant();
        case Qt::ToolTipRole:
            return FProblems.value({ r.Number, c }).join(u'\n');
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        if (section == 0)
            return TImportDialog::tr("行");
        const int c = section - 1;
        const QString letter = ColumnLetter(c);
        return c < FHeader.size() && !FHeader[c].trimmed().isEmpty()
            ? letter + u' ' + FHeader[c].simplified()
            : letter;
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0)
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::CheckStateRole || index.column() != 0 || !FTable || !FOnTick)
            return false;
        FOnTick(sourceRow(index.row()).Number, value.toInt() != Qt::Checked);
        return true;
    }

    std::function<void(int, bool)> FOnTick;

private:
    const TSourceTable *FTable = nullptr;
    const QSet<int> *FSkipped = nullptr;
    int FFirst = 0;
    int FColumns = 0;
    QStringList FHeader;
    QHash<QPair<int, int>, QStringList> FProblems;
    QHash<int, QStringList> FRowProblems;
    QSet<int> FImported;
};

namespace {

QString &folderMemory()
{
    static QString folder;
    return folder;
}

} // namespace

QString TImportDialog::lastFolder()
{
    const QString &f = folderMemory();
    if (!f.isEmpty() && QDir(f).exists())
        return f;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

TImportDialog::TImportDialog(const TImportTarget &Target, QWidget *parent)
    : QDialog(parent)
    , FTarget(Target)
{
    setObjectName(u"ImportDialog"_s);
    setWindowTitle(tr("导入"));
    resize(760, 560);

    auto *column = new QVBoxLayout(this);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("文件："), this));
    edtFile = new QLineEdit(this);
    edtFile->setObjectName(u"edtFile"_s);
    edtFile->setReadOnly(true);
    edtFile->setPlaceholderText(tr("请选择CSV、文本或Excel(.xlsx)文件"));
    fileRow->addWidget(edtFile, 1);
    btnBrowse = new QPushButton(tr("选择文件…"), this);
    btnBrowse->setObjectName(u"btnBrowse"_s);
    btnBrowse->setAutoDefault(false);
    fileRow->addWidget(btnBrowse);
    column->addLayout(fileRow);

    lblSource = new QLabel(this);
    lblSource->setObjectName(u"lblSource"_s);
    lblSource->setWordWrap(true);
    column->addWidget(lblSource);

    auto *mapRow = new QGridLayout;
    mapRow->addWidget(new QLabel(tr("标题行："), this), 0, 0);
    cbHeaderRow = new QComboBox(this);
    cbHeaderRow->setObjectName(u"cbHeaderRow"_s);
    cbHeaderRow->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbHeaderRow->setMinimumContentsLength(24);
    mapRow->addWidget(cbHeaderRow, 0, 1, 1, qMax(1, int(FTarget.size()) * 2 - 1));
    for (int f = 0; f < FTarget.size(); ++f) {
        auto *label = new QLabel(tr("%1：").arg(FTarget[f].Title), this);
        mapRow->addWidget(label, 1, f * 2);
        auto *box = new QComboBox(this);
        box->setObjectName(u"cbField%1"_s.arg(f));
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
        label->setBuddy(box);
        mapRow->addWidget(box, 1, f * 2 + 1);
        cbFields << box;
        connect(box, &QComboBox::currentIndexChanged, this, [this] { readBoxes(); });
    }
    mapRow->setColumnStretch(mapRow->columnCount(), 1);
    column->addLayout(mapRow);
    connect(cbHeaderRow, &QComboBox::currentIndexChanged, this, [this] {
        if (!FFilling)
            setHeaderRow(cbHeaderRow->currentData().toInt());
    });

    auto *split = new QSplitter(Qt::Vertical, this);
    FModel = new TImportPreviewModel(this);
    FModel->FOnTick = [this](int row, bool skipped) { setRowSkipped(row, skipped); };
    tblPreview = new QTableView(split);
    tblPreview->setObjectName(u"tblPreview"_s);
    tblPreview->setModel(FModel);
    tblPreview->verticalHeader()->hide();
    tblPreview->verticalHeader()->setDefaultSectionSize(tblPreview->fontMetrics().height() + 6);
    tblPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblPreview->setWordWrap(false);
    lstProblems = new QListWidget(split);
    lstProblems->setObjectName(u"lstProblems"_s);
    split->addWidget(tblPreview);
    split->addWidget(lstProblems);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    column->addWidget(split, 1);
    connect(lstProblems, &QListWidget::currentRowChanged, this, [this](int i) {
        if (i < 0 || i >= FOutcome.Problems.size())
            return;
        const TImportProblem &p = FOutcome.Problems[i];
        for (int r = 0; r < FModel->rowCount(); ++r)
            if (FModel->sourceRow(r).Number == p.Row) {
                const QModelIndex at
                    = FModel->index(r, p.SourceColumn >= 0 ? p.SourceColumn + 1 : 0);
                tblPreview->scrollTo(at);
                tblPreview->setCurrentIndex(at);
                break;
            }
    });

    auto *bottom = new QHBoxLayout;
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(u"lblSummary"_s);
    lblSummary->setWordWrap(true);
    bottom->addWidget(lblSummary, 1);
    btnImport = new QPushButton(tr("导入"), this);
    btnImport->setObjectName(u"btnImport"_s);
    btnCancel = new QPushButton(tr("取消"), this);
    btnCancel->setObjectName(u"btnCancel"_s);
    btnCancel->setAutoDefault(false);
    bottom->addWidget(btnImport);
    bottom->addWidget(btnCancel);
    column->addLayout(bottom);

    connect(btnBrowse, &QPushButton::clicked, this, [this] { browse(); });
    connect(btnImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    revalidate();
}

TImportDialog::~TImportDialog() = default;

void TImportDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Opened without a file: the file chooser comes first, as the user came for a file.
    if (!FOfferedBrowse && edtFile->text().isEmpty() && FTable.Rows.isEmpty()) {
        FOfferedBrowse = true;
        QTimer::singleShot(0, this, [this] { browse(); });
    }
}

void TImportDialog::browse()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("选择要导入的文件"), lastFolder(),
        tr("表格文件 (*.xlsx *.csv *.txt *.tsv);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    folderMemory() = QFileInfo(path).absolutePath();
    loadFile(path);
}

bool TImportDialog::loadFile(const QString &Path)
{
    edtFile->setText(QDir::toNativeSeparators(Path));
    QFile file(Path);
    TReadOutcome read;
    if (!file.open(QIODevice::ReadOnly))
        read.Error = tr("无法打开文件：%1").arg(file.errorString());
    else
        read = ReadTableFile(file, Path);
    if (!read.Ok) {
        FTable = {};
        FSourceError = read.Error;
        FMapping = {};
        FSkipped.clear();
        fillBoxes();
        revalidate();
        return false;
    }
    QString source = read.Table.Format;
    if (!read.Table.Encoding.isEmpty())
        source = tr("%1，编码 %2").arg(source, read.Table.Encoding);
    else
        source = tr("%1，第一张工作表").arg(source);
    setTable(read.Table, source);
    return true;
}

void TImportDialog::setTable(const TSourceTable &Table, const QString &Source)
{
    FTable = Table;
    FSourceError.clear();
    FSkipped.clear();
    FMapping = GuessMapping(FTable, FTarget);
    lblSource->setText(tr("%1，共%2行").arg(Source).arg(FTable.Rows.size()));
    fillBoxes();
    revalidate();
}

void TImportDialog::setMapping(const TColumnMapping &Mapping)
{
    FMapping = Mapping;
    fillBoxes();
    revalidate();
}

void TImportDialog::setHeaderRow(int HeaderRow)
{
    // A new header names the columns anew.
    FMapping = MappingForHeader(FTable, FTarget, HeaderRow);
    fillBoxes();
    revalidate();
}

void TImportDialog::setRowSkipped(int SourceRow, bool Skipped)
{
    if (Skipped)
        FSkipped.insert(SourceRow);
    else
        FSkipped.remove(SourceRow);
    revalidate();
}

// The boxes show the mapping.
void TImportDialog::fillBoxes()
{
    FFilling = true;
    const int columns = FTable.columnCount();
    const QStringList header = FMapping.HeaderRow >= 0 && FMapping.HeaderRow < FTable.Rows.size()
        ? FTable.Rows[FMapping.HeaderRow].Cells
        : QStringList();
    cbHeaderRow->clear();
    cbHeaderRow->addItem(tr("没有标题行"), -1);
    for (int r = 0; r < qMin<qsizetype>(10, FTable.Rows.size()); ++r) {
        QStringList cells;
        for (const QString &c : FTable.Rows[r].Cells)
            if (!c.trimmed().isEmpty())
                cells << c.simplified();
        QString text = tr("第%1行：%2").arg(FTable.Rows[r].Number).arg(cells.join(tr("，")));
        if (text.size() > 60)
            text = text.left(60) + u"…"_s;
        cbHeaderRow->addItem(text, r);
    }
    cbHeaderRow->setCurrentIndex(qMax(0, cbHeaderRow->findData(FMapping.HeaderRow)));
    cbHeaderRow->setEnabled(!FTable.Rows.isEmpty());
    for (int f = 0; f < cbFields.size(); ++f) {
        QComboBox *box = cbFields[f];
        box->clear();
        const TFieldKind k = FTarget[f].Kind;
        box->addItem(k == TFieldKind::Quantity                      ? tr("（无：每行1件）")
                : k == TFieldKind::Length || k == TFieldKind::Width ? tr("（请选择）")
                                                                    : tr("（无）"),
            -1);
        for (int c = 0; c < columns; ++c) {
            const QString title = c < header.size() ? header[c].simplified() : QString();
            box->addItem(title.isEmpty() ? tr("%1列").arg(ColumnLetter(c))
                                         : tr("%1列：%2").arg(ColumnLetter(c), title),
                c);
        }
        box->setCurrentIndex(qMax(0, box->findData(FMapping.Columns.value(f, -1))));
        box->setEnabled(columns > 0);
    }
    FFilling = false;
}

void TImportDialog::readBoxes()
{
    if (FFilling)
        return;
    FMapping.Columns.clear();
    for (QComboBox *box : std::as_const(cbFields))
        FMapping.Columns << box->currentData().toInt();
    revalidate();
}

void TImportDialog::revalidate()
{
    if (FTable.Rows.isEmpty()) {
        FOutcome = {};
    } else {
        if (FMapping.Columns.size() != FTarget.size())
            FMapping.Columns.resize(FTarget.size(), -1);
        FOutcome = ConvertRows(FTable, FTarget, FMapping, FSkipped);
    }
    QSet<int> imported;
    for (const TImportedRow &r : std::as_const(FOutcome.Rows))
        imported.insert(r.SourceRow);
    FModel->reset(FTable.Rows.isEmpty() ? nullptr : &FTable, FMapping.HeaderRow, &FSkipped,
        &FOutcome.Problems, imported);
    tblPreview->resizeColumnsToContents();

    lstProblems->clear();
    for (const TImportProblem &p : std::as_const(FOutcome.Problems))
        lstProblems->addItem(p.text());

    const bool ok = !FTable.Rows.isEmpty() && FOutcome.ok() && !FOutcome.Rows.isEmpty();
    btnImport->setEnabled(ok);
    if (!FSourceError.isEmpty()) {
        lblSource->setText(FSourceError);
        lblSource->setStyleSheet(u"color: #b00000;"_s);
        lblSummary->setText(tr("这个文件不能导入。"));
    } else {
        lblSource->setStyleSheet(QString());
        if (FTable.Rows.isEmpty() && edtFile->text().isEmpty())
            lblSummary->setText(tr("请选择要导入的文件。"));
        else if (!FOutcome.ok())
            lblSummary->setText(
                tr("有%1处问题（见下方列表，问题单元格标为红色）：请改正文件后重新选择，"
                   "或者改变列的对应，或者取消勾选这些行。").arg(FOutcome.Problems.size()));
        else if (FOutcome.Rows.isEmpty())
            lblSummary->setText(tr("文件里没有可以导入的行。"));
        else
            lblSummary->setText(tr("将导入%1行。").arg(FOutcome.Rows.size()));
    }
}

QList<TImportedRow> TImportDialog::rows() const
{
    return FOutcome.ok() ? FOutcome.Rows : QList<TImportedRow>();
}

void AppendImportedRows(
    TRowSet &Rows, const TImportTarget &Target, const QList<TImportedRow> &Imported)
{
    if (Imported.isEmpty())
        return;
    Rows.changeAtomically([&] {
        for (const TImportedRow &row : Imported) {
            Rows.append();
            if (Rows.state() != dsInsert)
                throw TDBError(TImportDialog::tr("这个表现在不能增加行"));
            for (int f = 0; f < Target.size(); ++f) {
                TField field = Rows.field(Target[f].Column);
                const QVariant v = row.Values.value(f);
                if (v.isNull())
                    field.clear();
                else
                    field.setValue(v);
            }
            Rows.post();
        }
    });
}

QList<TImportedRow> RunImportDialog(
    QWidget *Parent, const TImportTarget &Target, const QString &Caption)
{
    TImportDialog dialog(Target, Parent);
    dialog.setWindowTitle(Caption);
    if (Dialogs::exec(dialog) != QDialog::Accepted)
        return {};
    return dialog.rows();
}

QStringList ProblemLines(const QList<TImportProblem> &Problems, int MaxLines)
{
    QStringList lines;
    for (int i = 0; i < Problems.size() && i < MaxLines; ++i)
        lines << Problems[i].text();
    if (Problems.size() > MaxLines)
        lines << TImportDialog::tr("……另有%1处问题").arg(Problems.size() - MaxLines);
    return lines;
}
