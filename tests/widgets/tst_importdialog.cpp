// Rows from spreadsheets: the import dialog (preview, guessed and changed columns, bad cells
// listed, rows left out), adding the rows to a row set all or none, and Ctrl+V in a grid.

#include "ImportDialog.h"
#include "LibraryFixture.h"
#include "Statements.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableView>

using namespace Qt::StringLiterals;
using namespace LibraryTest;

namespace {

// The parts of a project, as the workspace shows them; AfterInsert sets the owner as the
// workspace does.
const QList<TGridColumn> PartColumns = {
    { u"名称"_s, u"名称"_s, 70 },
    { u"长度"_s, u"长度"_s, 70 },
    { u"宽度"_s, u"宽度"_s, 70 },
    { u"数量"_s, u"数量"_s, 70 },
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return f.fileName();
}

QByteArray gbk(const QString &text)
{
    QStringEncoder e("GB18030");
    return e(text);
}

QStringList rowsOf(TRowSet &rs)
{
    QStringList out;
    for (int r = 0; r < rs.recordCount(); ++r) {
        QStringList cells;
        for (const QString &f : { u"ID"_s, u"名称"_s, u"长度"_s, u"宽度"_s, u"数量"_s })
            cells << rs.data(rs.index(r, rs.fieldIndex(f))).toString();
        out << cells.join(u'|');
    }
    return out;
}

// The checked-box column of the preview row showing file row `number`.
QModelIndex tickOf(const TImportDialog &d, int number)
{
    QAbstractItemModel *m = d.tblPreview->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toInt() == number)
            return m->index(r, 0);
    return {};
}

void openParts(TRowSet &rs, int project)
{
    rs.setAfterInsert([project](TRowSet &r) { r.field(u"ID"_s).setAsInteger(project); });
    rs.open(Sql::PartsOfProject(project));
}

} // namespace

class TestImportDialog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup() { QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked"); }

    void dialog_guessesColumns_listsBadCells_importsTickedRows()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, u"衣柜.csv"_s,
            gbk(u"衣柜下料单\n零件名称,长(mm),宽(mm),数量\n左侧板,720,560,2\n门板,716mm,397,2\n合计,,,4\n"_s));
        TImportDialog d(ImportTargets::PartList());
        QVERIFY(d.loadFile(path));
        QVERIFY2(d.lblSource->text().contains(u"GB18030"_s), qPrintable(d.lblSource->text()));
        // Header found on the second row; every field has its column.
        QCOMPARE(d.cbHeaderRow->currentData().toInt(), 1);
        QList<int> shown;
        for (QComboBox *box : d.cbFields)
            shown << box->currentData().toInt();
        QCOMPARE(shown, QList<int>({ 0, 1, 2, 3 }));
        QCOMPARE(d.cbFields[1]->currentText(), u"B列：长(mm)"_s);
        // Three data rows previewed; the unit and the total row are named, 导入 stays off.
        QCOMPARE(d.tblPreview->model()->rowCount(), 3);
        QCOMPARE(d.lstProblems->count(), 3);
        QCOMPARE(d.lstProblems->item(0)->text(),
            u"第4行 长(mm)（B列）：“716mm”带有单位“mm”，请只填数字（单位是毫米）"_s);
        QVERIFY(d.lstProblems->item(1)->text().startsWith(u"第5行 长(mm)（B列）：不能为空"_s));
        QVERIFY(!d.btnImport->isEnabled());
        QVERIFY(d.rows().isEmpty());
        const QModelIndex bad = d.tblPreview->model()->index(1, 2);
        QCOMPARE(bad.data(Qt::BackgroundRole).value<QColor>(), QColor(255, 170, 170));

        // The user leaves both rows out: the rest imports.
        QVERIFY(d.tblPreview->model()->setData(tickOf(d, 4), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(d.tblPreview->model()->setData(tickOf(d, 5), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(d.lstProblems->count(), 0);
        QVERIFY(d.btnImport->isEnabled());
        QCOMPARE(d.lblSummary->text(), u"将导入1行。"_s);
        QCOMPARE(ToPartRows({ d.rows(), {} }, d.target()),
            (QList<TPartRow> { { u"左侧板"_s, 720, 560, 2 } }));
    }

    void dialog_mappingChangedByTheUser()
    {
        QTemporaryDir dir;
        const QString path
            = writeFile(dir, u"p.csv"_s, "Part,Qty,Length,Width,Thickness\nSide,2,720,560,18\n");
        TImportDialog d(ImportTargets::PartList());
        QVERIFY(d.loadFile(path));
        QCOMPARE(d.mapping().Columns, QList<int>({ 0, 2, 3, 1 }));
        // No quantity column: one piece each.
        d.cbFields[3]->setCurrentIndex(d.cbFields[3]->findData(-1));
        QCOMPARE(ToPartRows({ d.rows(), {} }, d.target()),
            (QList<TPartRow> { { u"Side"_s, 720, 560, 1 } }));
        // Width from the thickness column.
        d.cbFields[2]->setCurrentIndex(d.cbFields[2]->findData(4));
        QCOMPARE(ToPartRows({ d.rows(), {} }, d.target()),
            (QList<TPartRow> { { u"Side"_s, 720, 18, 1 } }));
        // No header row: the header line becomes a row with bad numbers.
        d.cbHeaderRow->setCurrentIndex(d.cbHeaderRow->findData(-1));
        QCOMPARE(d.mapping().HeaderRow, -1);
        QVERIFY(!d.problems().isEmpty());
        QCOMPARE(d.problems().first().Row, 1);
        QVERIFY(!d.btnImport->isEnabled());
    }

    void dialog_unreadableFile_offersNothing()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, u"parts.csv"_s, QByteArray("PK\x03\x04garbage", 11));
        TImportDialog d(ImportTargets::PartList());
        QVERIFY(!d.loadFile(path));
        QVERIFY2(d.lblSource->text().contains(u"Excel"_s), qPrintable(d.lblSource->text()));
        QCOMPARE(d.lblSource->text(), d.sourceError());
        QVERIFY(!d.btnImport->isEnabled());
        QCOMPARE(d.tblPreview->model()->rowCount(), 0);
        QVERIFY(!d.loadFile(dir.filePath(u"missing.csv"_s)));
        QVERIFY(d.sourceError().contains(u"无法打开"_s));
    }

    void appendImportedRows_allOrNone()
    {
        TLibraryStore store;
        store.exec(
            u"INSERT INTO 零件表 (ID, 名称, 长度, 宽度, 数量) VALUES (5, '原有', 1, 2, 3)"_s);
        TRowSet rs;
        openParts(rs, 5);
        const QList<TImportedRow> rows
            = { { 2, { u"侧板"_s, 720, 560, 2 } }, { 3, { u"顶板"_s, 800, 560, 1 } } };

        AppendImportedRows(rs, ImportTargets::PartList(), rows);
        QCOMPARE(rowsOf(rs),
            QStringList({ u"5|原有|1|2|3"_s, u"5|侧板|720|560|2"_s, u"5|顶板|800|560|1"_s }));
        QCOMPARE(rs.recNo(), 3);

        // A column the row set does not have fails on the first row: nothing of the batch stays,
        // the earlier pending rows do.
        TImportTarget broken = ImportTargets::PartList();
        broken[3].Column = u"件数"_s;
        QVERIFY_THROWS_EXCEPTION(TDBError, AppendImportedRows(rs, broken, rows));
        QCOMPARE(rs.recordCount(), 3);
        QCOMPARE(rs.state(), dsBrowse);
        rs.updateBatch();
        QCOMPARE(store.scalar(u"select count(*) from 零件表 where ID = 5"_s).toInt(), 3);
    }

    void paste_appendsCheckedRowsOrNone()
    {
        TLibraryStore store;
        TRowSet rs;
        openParts(rs, 9);
        TDBGrid grid;
        grid.resize(400, 300);
        grid.setColumns(PartColumns);
        grid.setDataSource(&rs);
        QVERIFY(showActive(&grid));

        // Rows copied from a spreadsheet with their header, columns in another order.
        QGuiApplication::clipboard()->setText(
            u"数量\t名称\t长\t宽\r\n2\t侧板\t720\t560\r\n1\t顶板\t800\t560\r\n"_s);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rowsOf(rs), QStringList({ u"9|侧板|720|560|2"_s, u"9|顶板|800|560|1"_s }));

        // A bad value anywhere: nothing is added and every problem is named.
        QGuiApplication::clipboard()->setText(
            u"背板\t764\t716\t1\n隔板\t0\t560\t1\n抽屉\t396\t178\t2件\n"_s);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rs.recordCount(), 2);
        const QStringList messages = Dialogs::takeCaptured();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(u"第2行 长度（B列）：“0”必须大于0"_s),
            qPrintable(messages.first()));
        QVERIFY(messages.first().contains(u"第3行 数量（D列）：“2件”带有单位“件”"_s));

        // One value goes into the current cell.
        grid.setCurrentIndex(grid.cellIndex(0, 1));
        QGuiApplication::clipboard()->setText(u"730\n"_s);
        QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rowsOf(rs).first(), u"9|侧板|730|560|2"_s);
        QCOMPARE(rs.recordCount(), 2);
    }
};

QTEST_MAIN(TestImportDialog)
#include "tst_importdialog.moc"
