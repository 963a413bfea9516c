// The results window: a run with its tabs, usage list, totals, write-back and report; abnormal
// and empty runs; showing a layout (fit, details, part list, drawn once) and the zoom.

#include "CutPlan.h"
#include "DataFixture.h"
#include "Dialogs.h"
#include "DrawMaterial.h"
#include "RunReport.h"
#include "TypeSetClass.h"
#include "fmPreview.h"
#include "fmTypeSet.h"

#include "TabStrip.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

struct TSheet
{
    const char *name;
    int length, width, kerf;
    double price;
};
struct TPart
{
    const char *name;
    int length, width, count;
};

void load(TRectManage &engine, const QList<TSheet> &sheets, const QList<TPart> &parts)
{
    engine.BCTypeList().Clear();
    engine.MaterialTypeList().Clear();
    for (const TSheet &s : sheets) {
        TMaterialType *m = engine.AddBC(s.length, s.width);
        m->SetText(s.name);
        m->SetBlade(s.kerf);
        m->SetPrice(s.price);
    }
    for (const TPart &p : parts)
        engine.Add(p.length, p.width, p.count)->SetText(p.name);
}

// Three layouts: 800 x 400 once, 1000 x 500 twice, 800 x 400 once; both sheet kinds are named 板.
const QList<TSheet> TwoBoards { { "板", 1000, 500, 0, 10 }, { "板", 800, 400, 0, 5 } };
const QList<TPart> ThreeKinds { { "整块", 1000, 500, 2 }, { "中块", 800, 400, 1 },
    { "小块", 300, 200, 1 } };

QStringList rowTexts(QTableWidget *list)
{
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << (list->item(r, c) ? list->item(r, c)->text() : QString());
        out << cells.join(u' ');
    }
    return out;
}

QStringList tabTexts(TTabStrip *tabs)
{
    QStringList out;
    for (int i = 0; i < tabs->count(); ++i)
        out << tabs->tabText(i);
    return out;
}

// The results window shown at a known size, with the notes and progress panes beside it and a
// scheme row to write into.
class TWindow
{
public:
    explicit TWindow(TRectManage &engine)
    {
        FWindow = new TfrmTypeSet(engine);
        FWindow->Notes = &notes;
        FWindow->ProgressStatus = &progress;
        progress.setRange(0, 100);
        FWindow->resize(215 + 6 + 791, 600);
        FWindow->show();
        if (!QTest::qWaitForWindowExposed(FWindow))
            qWarning("results window not exposed");
        const QList<int> sizes = FWindow->Splitter1->sizes();
        FWindow->Splitter1->setSizes({ sizes[0] + sizes[1] - 791, 791 });
    }
    ~TWindow() { delete FWindow.data(); }
    TfrmTypeSet *operator->() const { return FWindow; }
    TfrmTypeSet *get() const { return FWindow; }

    QTextEdit notes;
    QProgressBar progress;

private:
    QPointer<TfrmTypeSet> FWindow;
};

} // namespace

class TestTypeSet : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup()
    {
        QVERIFY(!frmTypeSet);
        QVERIFY2(Dialogs::takeCaptured().isEmpty(), "a message was left unchecked");
    }

    void completedRun_tabsUsageTotalsWriteBackAndReport()
    {
        TTempStore store;
        store.exec(u"INSERT INTO 子数据表 (PID, 名称) VALUES (1, '方案1'), (1, '方案2')"_s);
        TRowSet schemes;
        schemes.open(u"select * from 子数据表 where PID = 1"_s);
        schemes.setRecNo(2);

        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->SchemeRows = [&schemes] { return &schemes; };
        QCOMPARE(w->Scaling, 20);
        w->actYHJS->trigger();

        QCOMPARE(tabTexts(w->TabSet1), (QStringList { u"切割1"_s, u"切割2"_s, u"切割3"_s }));
        QCOMPARE(w->LayoutCount(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w->LayoutView(i)->Group(), i + 1);
        QCOMPARE(w->LayoutView(1)->Tag(), 2);
        QCOMPARE(w->LayoutView(1)->MWidth(), 1000);
        // Sheets of the same name share one usage row.
        QCOMPARE(rowTexts(w->ListView2), QStringList { u"板 800 400 4"_s });
        QVERIFY(w->StatusPane0->text().startsWith(u"计算完成,耗时:"_s));
        QVERIFY(w->StatusPane0->text().endsWith(u"ms"_s));
        QVERIFY(w->actYHJS->isEnabled());
        QCOMPARE(w->ProgressBar1->value(), 0);
        QCOMPARE(w.progress.value(), 100);
        // Parts 2 x 500 000 + 320 000 + 60 000 on sheets of 1 640 000: 84.1 %.
        QCOMPARE(w->Panel7->text(), u"总利用率：84%"_s);
        QCOMPARE(w->UtilisationCaption(), u"总利用率：84%"_s);
        QCOMPARE(w->Panel8->text(), u"原材料总数：4"_s);
        QCOMPARE(w->pnlPriceSum->text(), u"总成本：30"_s);
        QCOMPARE(w->Panel10->text(), u"1640000"_s);
        QCOMPARE(PriceSum, 30.0);
        // The first tab shows layout 1.
        QCOMPARE(w->shownView(), w->LayoutView(0));
        QCOMPARE(w->ValueListEditor1->item(0, 1)->text(), u"切割1"_s);

        QCOMPARE(store.column(
                     u"SELECT 名称 || ' ' || ifnull(利用率, '-') || ' ' || ifnull(板材数量, '-') "
                     "|| ' ' || ifnull(总面积, '-') || ' ' || ifnull(总价格, '-') FROM 子数据表"_s),
            (QStringList { u"方案1 - - - -"_s, u"方案2 84 4 1.64 30.0"_s }));
        QCOMPARE(w.notes.toPlainText(), ReportLines(engine, u"总成本：30"_s).join(u'\n'));

        // A second run starts from empty totals, usage and tabs.
        w->actYHJS->trigger();
        QCOMPARE(w->TabSet1->count(), 3);
        QCOMPARE(rowTexts(w->ListView2), QStringList { u"板 800 400 4"_s });
        QCOMPARE(w->pnlPriceSum->text(), u"总成本：30"_s);
    }

    // A write-back the store refuses is reported after the report is written; the totals wait
    // in the scheme row for the workspace's next save.
    void writeBackRefused_isReportedAndKeptPending()
    {
        TTempStore store;
        store.exec(u"INSERT INTO 子数据表 (PID, 名称) VALUES (1, '方案1')"_s);
        store.exec(u"CREATE TRIGGER frozen BEFORE UPDATE ON 子数据表 "
                   "BEGIN SELECT RAISE(ABORT, 'schemes are frozen'); END"_s);
        TRowSet schemes;
        schemes.open(u"select * from 子数据表 where PID = 1"_s);
        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->SchemeRows = [&schemes] { return &schemes; };
        w->actYHJS->trigger();
        const QStringList errors = Dialogs::takeCaptured();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"schemes are frozen"_s), qPrintable(errors[0]));
        QVERIFY(w.notes.toPlainText().startsWith(u"===共使用"_s));
        QVERIFY(w->actYHJS->isEnabled());
        QVERIFY(schemes.hasPendingChanges());
        QCOMPARE(schemes.field(u"利用率"_s).asInteger(), 84);
    }

    // A part that fits no sheet: the run ends abnormally, the closing notification adds nothing,
    // the scheme row is left alone, the report has no cost, and 优化计算 waits for a new scheme.
    void abnormalEnd_reportsAndWritesNothingBack()
    {
        TRectManage engine;
        load(engine, { { "板", 1000, 500, 0, 10 } },
            { { "能放", 500, 500, 2 }, { "太长", 1200, 100, 1 } });
        TWindow w(engine);
        bool asked = false;
        w->SchemeRows = [&asked]() -> TRowSet * {
            asked = true;
            return nullptr;
        };
        w->actYHJS->trigger();
        QVERIFY(engine.Execpt());
        QVERIFY(w->StatusPane0->text().startsWith(u"计算异常,耗时:"_s));
        // The user is told which part is left and why it may be.
        const QStringList said = Dialogs::takeCaptured();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains(u"\n太长（1200×100）：还差 1 件\n"_s), qPrintable(said[0]));
        QVERIFY(!said[0].contains(u"能放"_s));
        QCOMPARE(w->TabSet1->count(), engine.GroupList().Count());
        QCOMPARE(w->LayoutCount(), engine.GroupList().Count());
        QVERIFY(!asked);
        QCOMPARE(w->Panel7->text(), QString());
        QCOMPARE(w.notes.toPlainText().split(u'\n').value(1), u"======"_s);
        QVERIFY(!w->actYHJS->isEnabled());
        QVERIFY(!w->shownView()); // nothing shown until a tab is picked
        w->ScalingPanelInc(); // nothing to zoom
        QVERIFY(!w->shownView());
        w->SchemeReloaded();
        QVERIFY(w->actYHJS->isEnabled());
    }

    // Many kinds left over: ten are named with what is missing, the rest counted.
    void unplacedParts_namedUpToTenKinds()
    {
        TRectManage engine;
        QList<TPart> parts { { "能放", 500, 500, 3 } };
        std::vector<std::string> names(13);
        for (int i = 1; i <= 12; ++i) {
            names[std::size_t(i)] = "大" + std::to_string(i);
            parts.append({ names[std::size_t(i)].c_str(), 2000 + i, 100, i });
        }
        load(engine, { { "板", 1000, 500, 0, 10 } }, parts);
        engine.GoWork();
        QVERIFY(engine.Execpt());
        const QStringList lines = TfrmTypeSet::UnplacedPartsText(engine).split(u'\n');
        QVERIFY2(lines.contains(u"大1（2001×100）：还差 1 件"_s), qPrintable(lines.join(u'|')));
        QVERIFY(lines.contains(u"大10（2010×100）：还差 10 件"_s));
        QVERIFY(!lines.join(u'|').contains(u"大11"_s));
        QVERIFY(lines.contains(u"……另有 2 种零件"_s));

        TRectManage done;
        load(done, { { "板", 1000, 500, 0, 10 } }, { { "能放", 500, 500, 3 } });
        done.GoWork();
        QCOMPARE(TfrmTypeSet::UnplacedPartsText(done), QString());
    }

    // Quantities of 0 only: the run completes with no sheets; without a workspace nothing is
    // written back.
    void nothingWanted_completesWithZeroSheets()
    {
        TRectManage engine;
        load(engine, TwoBoards, { { "不要", 100, 100, 0 } });
        TWindow w(engine);
        w->actYHJS->trigger();
        QVERIFY(w->StatusPane0->text().startsWith(u"计算完成"_s));
        QVERIFY(w->actYHJS->isEnabled());
        QCOMPARE(w->TabSet1->count(), 0);
        QCOMPARE(w->Panel8->text(), u"原材料总数：0"_s);
        QCOMPARE(w->Panel7->text(), u"总利用率：0%"_s);
        QCOMPARE(w->pnlPriceSum->text(), u"总成本：0"_s);
        // The bar is a plain empty bar, not a busy indicator left running.
        QVERIFY(w->ProgressBar1->maximum() > w->ProgressBar1->minimum());
    }

    // Getting to a far layout: Ctrl+PgDn/PgUp from anywhere in the window, the number box, and
    // the tab strip's own keys once it has the keyboard.
    void farLayouts_reachedByKeysAndNumber()
    {
        TRectManage engine;
        // Forty parts of which no two share a sheet: forty layouts.
        QList<TPart> parts;
        for (int i = 0; i < 40; ++i)
            parts.append({ "宽块", 1000, 260 + i, 1 });
        load(engine, { { "板", 1000, 500, 0, 10 } }, parts);
        TWindow w(engine);
        w->actYHJS->trigger();
        const int n = w->TabSet1->count();
        QVERIFY(n >= 40);
        QCOMPARE(w->TabSet1->currentIndex(), 0);
        QCOMPARE(w->edtGoTo->maximum(), n);

        w->ValueListEditor1->setFocus();
        QTest::keyClick(w->ValueListEditor1, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(w->TabSet1->currentIndex(), 1);
        QTest::keyClick(w->ValueListEditor1, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(w->TabSet1->currentIndex(), 0);

        QTest::keyClick(w->ListView1, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(w->edtGoTo->hasFocus());
        QTest::keyClicks(w->edtGoTo, QString::number(n - 1));
        QCOMPARE(w->TabSet1->currentIndex(), 0); // taken on Enter, not on every digit
        QTest::keyClick(w->edtGoTo, Qt::Key_Return);
        QCOMPARE(w->TabSet1->currentIndex(), n - 2);
        QCOMPARE(w->ValueListEditor1->item(0, 1)->text(), u"切割%1"_s.arg(n - 1));

        w->TabSet1->setFocus();
        QTest::keyClick(w->TabSet1, Qt::Key_End);
        QCOMPARE(w->TabSet1->currentIndex(), n - 1);
        QCOMPARE(w->edtGoTo->value(), n);
        QTest::keyClick(w->TabSet1, Qt::Key_Home);
        QCOMPARE(w->TabSet1->currentIndex(), 0);
        QTest::keyClick(w->TabSet1, Qt::Key_PageDown);
        QVERIFY(w->TabSet1->currentIndex() > 1);

        w->ClearTabs();
        QVERIFY(!w->edtGoTo->isEnabled());
    }

    // 锯切顺序 lists the shown layout's cuts and offcuts and draws them on every view, made or
    // not yet made; the files leave with the run's layouts (tables, drawings with cut lines,
    // labels).
    void cutsAndExports_fromTheShownRun()
    {
        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->HandOffProject = u"T20261211080000"_s;
        w->HandOffScheme = u"方案1"_s;
        w->actYHJS->trigger();
        QVERIFY(!w->lstCuts->isVisible());
        w->actCuts->trigger();
        QVERIFY(w->actCuts->isChecked());
        QVERIFY(w->lstCuts->isVisible());
        const TDrawMaterial *shown = w->shownView();
        QVERIFY(shown && shown->CutPlan());
        QCOMPARE(w->lstCuts->rowCount(), int(shown->CutPlan()->Cuts.size()));
        QVERIFY(w->lblOffcuts->text().startsWith(u"余料"_s)
            || w->lblOffcuts->text().contains(u"一刀"_s));
        w->TabSet1->setCurrentIndex(2); // made now: it shows the cuts too
        QVERIFY(w->shownView()->ShowCuts());
        w->actCuts->trigger();
        QVERIFY(!w->lstCuts->isVisible());
        QVERIFY(!w->shownView()->ShowCuts());

        QTemporaryDir dir;
        const QStringList dxf = w->ExportDrawings(dir.path(), u"dxf"_s);
        QCOMPARE(dxf.size(), w->TabSet1->count());
        int withCuts = 0; // a part as large as its sheet needs none
        for (const QString &path : dxf) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            withCuts += f.readAll().contains("CUTS") ? 1 : 0;
        }
        QVERIFY(withCuts > 0);
        w->ExportTables(dir.filePath(u"用料.xlsx"_s));
        QFile xlsx(dir.filePath(u"用料.xlsx"_s));
        QVERIFY(xlsx.open(QIODevice::ReadOnly));
        QVERIFY(xlsx.read(2) == "PK");
        w->ExportLabels(dir.filePath(u"标签.pdf"_s));
        QFile labels(dir.filePath(u"标签.pdf"_s));
        QVERIFY(labels.open(QIODevice::ReadOnly));
        QVERIFY(labels.read(4) == "%PDF");
    }

    // In a window too narrow for the tool bar, the overflow button offers what does not fit:
    // 大板优先 and 成本优先 stay reachable.
    void narrowWindow_toolBarOverflowOffersTheHiddenCommands()
    {
        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->resize(380, 500);
        QTRY_VERIFY(!w->cbCost->isVisible());
        auto *more = w->ToolBar1->findChild<QToolButton *>(u"qt_toolbar_ext_button"_s);
        QVERIFY(more && more->isVisible());
        QMenu *menu = more->menu();
        QVERIFY(menu);
        QMetaObject::invokeMethod(menu, "aboutToShow"); // as the button does before showing it
        QStringList entries;
        QAction *cost = nullptr;
        for (QAction *a : menu->actions()) {
            entries << a->text();
            if (a->text() == u"成本优先"_s)
                cost = a;
        }
        QVERIFY2(entries.contains(u"大板优先"_s), qPrintable(entries.join(u',')));
        QVERIFY(cost && cost->isCheckable() && !cost->isChecked());
        cost->trigger();
        QVERIFY(w->cbCost->isChecked());
    }

    // In a results window of the first start's size, the designed commands and the commands
    // for the saw (锯切顺序, 车间图, 导出, 确认下料) are all in view, none behind the overflow
    // button.
    void firstSize_keepsEveryCommandInView()
    {
        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->resize(620, 470);
        for (const char *name : { "btnClose", "btnYHJS", "btnPreview", "btnZoomIn", "btnZoomOut",
                 "btnCuts", "btnWorkshop", "btnExport", "btnConfirm" }) {
            auto *button = w->findChild<QToolButton *>(QString::fromLatin1(name));
            QVERIFY2(button, name);
            QTRY_VERIFY2(button->isVisible(), name);
        }
        QVERIFY(w->cbCost->isVisible() && w->cbDeep->isVisible());
    }

    // Empty part or sheet list: the command does nothing at all.
    void emptyLists_doNothing()
    {
        TRectManage engine;
        load(engine, TwoBoards, {});
        TWindow w(engine);
        w->actYHJS->trigger();
        QCOMPARE(w->StatusPane0->text(), QString());
        QVERIFY(w->actYHJS->isEnabled());
        QCOMPARE(w.notes.toPlainText(), QString());
    }

    // A tab shows its layout fitted to the width, with its details, part list and figures; it is
    // drawn the first time only.
    void showingALayout_fitsDetailsAndDrawsOnce()
    {
        TRectManage engine;
        load(engine, { { "大板", 2440, 1220, 4, 100 } },
            { { "门", 1200, 600, 3 }, { "条", 500, 100, 5 } });
        TWindow w(engine);
        w->actYHJS->trigger();
        QCOMPARE(w->ScrollBox1->width(), 791);
        TDrawMaterial *V = w->shownView();
        QVERIFY(V);
        QCOMPARE(V->Scale(), 30); // (791 - 40) / 24.4 = 30.78
        QCOMPARE(w->ComboBox1->currentText(), u"30"_s);
        QCOMPARE(rowTexts(w->ValueListEditor1),
            (QStringList { u"名称 切割1"_s, u"原材料名称 大板"_s, u"长度 2440"_s, u"宽度 1220"_s,
                u"用量 "_s + QString::number(V->Tag()) }));
        QCOMPARE(w->Panel5->text(), u"原材料尺寸：2440×1220"_s);
        qint64 parts = 0;
        for (int i = 0; i < V->Materials()->Count(); ++i)
            parts += qint64(V->Materials()->GetItem(i)->Width())
                * V->Materials()->GetItem(i)->Height();
        const qint64 T = (parts + w->GetBladeSum(4, 1)) * 100 / (2440LL * 1220);
        QCOMPARE(w->Panel6->text(), u"材料利用率：%1%"_s.arg(T));
        QCOMPARE(w->Panel4->text(), u"零件总数：%1"_s.arg(V->Materials()->Count()));
        int listed = 0;
        for (int r = 0; r < w->ListView1->rowCount(); ++r)
            listed += w->ListView1->item(r, 3)->text().toInt();
        QCOMPARE(listed, V->Materials()->Count());

        if (w->TabSet1->count() > 1) {
            TDrawMaterial *second = w->LayoutView(1);
            QCOMPARE(second->Materials()->Count(), 0); // not drawn before it is shown
            w->TabSet1->setCurrentIndex(1);
            const int drawn = second->Materials()->Count();
            QVERIFY(drawn > 0);
            QVERIFY(V->isHidden() && second->isVisible());
            w->TabSet1->setCurrentIndex(0);
            w->TabSet1->setCurrentIndex(1);
            QCOMPARE(second->Materials()->Count(), drawn);
        }
    }

    // The workspace loading another scheme into the engine leaves the tabs showing the previous
    // run, also those not shown yet.
    void engineReloaded_tabsKeepThePreviousRun()
    {
        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->actYHJS->trigger();
        load(engine, { { "别的板", 3000, 1500, 9, 1 } }, { { "别的", 10, 10, 1 } });
        w->SchemeReloaded();
        w->TabSet1->setCurrentIndex(1);
        TDrawMaterial *second = w->shownView();
        QVERIFY(second);
        QCOMPARE(second->MWidth(), 1000);
        QCOMPARE(second->MHeight(), 500);
        QCOMPARE(second->Blade(), 0);
        QCOMPARE(second->Materials()->Count(), 1);
        QCOMPARE(w->Panel5->text(), u"原材料尺寸：1000×500"_s);
    }

    // 打印预览 hands the shown layout to the preview window, blue lines and yellow selection;
    // without a layout shown it does nothing.
    void preview_showsTheShownLayout()
    {
        TfrmPreview::setFindPrinters(false);
        TRectManage engine;
        load(engine, TwoBoards, ThreeKinds);
        TWindow w(engine);
        w->actPreview->trigger(); // nothing shown yet: no preview
        w->actYHJS->trigger();
        w->TabSet1->setCurrentIndex(1);
        int shownGroup = 0;
        QString page;
        Dialogs::setNextDialogHandler([&](QDialog &d) {
            auto &preview = static_cast<TfrmPreview &>(d);
            shownGroup = preview.FPanel->Group();
            page = preview.rstPage->text();
            [&] {
                QCOMPARE(frmPreview, &preview);
                QCOMPARE(preview.FPanel->LineColor(), QColor(0, 0, 255));
                QCOMPARE(preview.FPanel->SelectColor(), QColor(255, 255, 0));
                QCOMPARE(
                    preview.FPanel->Materials()->Count(), w->LayoutView(1)->Materials()->Count());
            }();
            return int(QDialog::Rejected);
        });
        w->actPreview->trigger();
        QCOMPARE(shownGroup, 2);
        QCOMPARE(page, u"2页"_s);
        QVERIFY(!frmPreview);
    }

    void zoom_stepsTypingAndLimits()
    {
        TRectManage engine;
        load(engine, { { "大板", 2440, 1220, 0, 100 } }, { { "门", 1200, 600, 1 } });
        TWindow w(engine);
        w->actYHJS->trigger();
        TDrawMaterial *V = w->shownView();
        QCOMPARE(V->Scale(), 30);
        w->actZoomIn->trigger();
        QCOMPARE(V->Scale(), 40);
        QCOMPARE(w->ComboBox1->currentText(), u"40"_s);
        w->actZoomOut->trigger();
        w->actZoomOut->trigger();
        QCOMPARE(V->Scale(), 20);

        V->SetScale(500);
        w->actZoomIn->trigger(); // 510 is beyond the view's limit
        QCOMPARE(V->Scale(), 500);
        QCOMPARE(w->ComboBox1->currentText(), u"500"_s);

        // Typing: every change applies; digits and Backspace only; an empty box keeps the scale.
        QLineEdit *edit = w->ComboBox1->lineEdit();
        edit->setFocus();
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(V->Scale(), 50);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(w->ComboBox1->currentText(), QString());
        QCOMPARE(V->Scale(), 5);
        QTest::keyClicks(edit, u"6x5"_s);
        QCOMPARE(w->ComboBox1->currentText(), u"65"_s);
        QCOMPARE(V->Scale(), 65);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(V->Scale(), 65);
        w->ComboBox1->setCurrentIndex(w->ComboBox1->findText(u"90"_s));
        QCOMPARE(V->Scale(), 90);
    }

    // 确认下料 takes the sheets the run used out of the library's stock (only where the library
    // keeps a count, never below 0) and adds the run's offcuts as sheets "余料 W×H"; the same
    // run again is refused and changes nothing. A new run can be confirmed again.
    void confirmCutting_onceForEachRun()
    {
        TTempStore store;
        // The scheme's board in the library twice: a row with a count of 3 and one without a
        // count; a board of another name that the run does not use; an old offcut that it uses.
        store.exec(u"INSERT INTO 原材料信息表 (Name, Length, Width, Price, Stock) VALUES "
                   "('板', 1000, 500, 100000, 3), ('板', 500, 1000, 100000, NULL), "
                   "('别的', 1000, 500, 100000, 9), ('余料 800×400', 800, 400, 0, 1)"_s);
        TRectManage engine;
        // Two sheets of 板 (1000 x 500, 300 x 500 of offcut each) and the offcut 800 x 400.
        load(engine, { { "余料 800×400", 800, 400, 0, 0 }, { "板", 1000, 500, 0, 10 } },
            { { "大块", 700, 500, 2 }, { "中块", 800, 400, 1 } });
        TWindow w(engine);
        // Before any run the command is off, and refuses when asked all the same.
        QVERIFY(!w->actConfirm->isEnabled());
        w->actConfirmExecute();
        QCOMPARE(Dialogs::takeCaptured(), QStringList { TfrmTypeSet::nothingToConfirmText() });

        w->actYHJS->trigger();
        QVERIFY(w->actConfirm->isEnabled());
        const auto library = [&store] {
            return store.column(u"SELECT Name || ' ' || Length || 'x' || Width || ' ' || Price "
                                "|| ' ' || ifnull(Grain, '-') || ' ' || ifnull(Trim, '-') || ' ' "
                                "|| ifnull(Stock, '-') FROM 原材料信息表 ORDER BY rowid"_s);
        };
        Dialogs::setNextAnswer(true);
        w->actConfirm->trigger();
        QCOMPARE(Dialogs::takeAsked().size(), 1);
        const QStringList confirmed = Dialogs::takeCaptured();
        QCOMPARE(confirmed.size(), 1);
        // Two boards and the old offcut.
        QVERIFY2(confirmed[0].contains(u"减去 3 张"_s), qPrintable(confirmed[0]));
        const QStringList after { u"板 1000x500 100000 - - 1"_s, u"板 500x1000 100000 - - -"_s,
            u"别的 1000x500 100000 - - 9"_s, u"余料 500×300 500x300 0 0 0 2"_s };
        QCOMPARE(library(), after);
        QVERIFY(!w->actConfirm->isEnabled());

        // The same run again: the command is off, and refuses before anything is asked or
        // written.
        w->actConfirmExecute();
        QCOMPARE(Dialogs::takeAsked().size(), 0);
        QCOMPARE(Dialogs::takeCaptured(), QStringList { TfrmTypeSet::confirmedAgainText() });
        QCOMPARE(library(), after);

        // Cancelled: nothing written, and the run can still be confirmed.
        w->actYHJS->trigger();
        Dialogs::setNextAnswer(false);
        w->actConfirm->trigger();
        QCOMPARE(Dialogs::takeAsked().size(), 1);
        QCOMPARE(library(), after);
        // Confirmed: the counted row runs short (1 left, 2 used) and stays at 0.
        Dialogs::setNextAnswer(true);
        w->actConfirm->trigger();
        Dialogs::takeAsked();
        const QStringList second = Dialogs::takeCaptured();
        QCOMPARE(second.size(), 1);
        QVERIFY2(second[0].contains(u"库存少 1 张"_s), qPrintable(second[0]));
        QCOMPARE(store.scalar(u"SELECT Stock FROM 原材料信息表 WHERE rowid = 1"_s).toInt(), 0);
        // The new pieces join the offcut row of the same size.
        QCOMPARE(store.column(u"SELECT Stock FROM 原材料信息表 WHERE Name = '余料 500×300'"_s),
            QStringList { u"4"_s });
    }

    // A run that stock cannot finish names the parts left over and the sheets used up.
    void stockRunsOut_namesPartsAndSheets()
    {
        TRectManage engine;
        load(engine, { { "板", 1000, 500, 0, 10 } }, { { "块", 500, 500, 5 } });
        engine.BCTypeList().GetItem(0)->SetStock(2);
        TWindow w(engine);
        w->actYHJS->trigger();
        QVERIFY(engine.Execpt());
        const QStringList shown = Dialogs::takeCaptured();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(u"块（500×500）：还差 1 件"_s), qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(u"库存已经用完的原材料：板"_s), qPrintable(shown[0]));
        // Only a completed run can be confirmed.
        QVERIFY(!w->actConfirm->isEnabled());
        w->actConfirmExecute();
        QCOMPARE(Dialogs::takeCaptured(), QStringList { TfrmTypeSet::nothingToConfirmText() });
    }
};

QTEST_MAIN(TestTypeSet)
#include "tst_typeset.moc"
