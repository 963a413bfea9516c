// The English interface: with the program's English translation loaded, every area speaks
// English (the workspace, the results window with its run, report and exports, the preview and
// its printout captions, the workshop printout, the import dialog, the drawings' texts), while
// user data stays as typed; F1 opens the English manual. Loading Chinese again brings back the
// designed Chinese texts, and the report pnxcut writes stays Chinese whatever is loaded.

#include "DataFixture.h"
#include "ShellFixture.h"

#include "CutPlanText.h"
#include "DataPlace.h"
#include "DrawMaterial.h"
#include "ImportDialog.h"
#include "PrintLayouts.h"
#include "RunReport.h"
#include "TabStrip.h"
#include "TableWriter.h"
#include "TypeSetClass.h"
#include "UserManual.h"
#include "Workshop.h"
#include "fmLJinfo.h"
#include "fmMainC.h"
#include "fmMaterial.h"
#include "fmOptions.h"
#include "fmPreview.h"
#include "fmTypeSet.h"
#include "fmWorkshop.h"
#include "fmYCLinfo.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

// The numbers of a line, in order: what the English and the Chinese report must share.
QStringList numbersOf(const QString &line)
{
    QStringList out;
    static const QRegularExpression number(u"\\d+(\\.\\d+)?"_s);
    for (auto it = number.globalMatch(line); it.hasNext();)
        out << it.next().captured();
    return out;
}

// Everything a window shows of its own, with where it was found: its title; the captions of its
// labels, buttons, group boxes and tabs; the headers and cells of its lists; the items of its
// drop-down lists; its commands (menus, tool bars) with their tool tips and status tips; the
// tool tips of its widgets.
QStringList shownTexts(QWidget *window)
{
    QStringList out;
    const auto add = [&out](const QObject *where, const QString &text) {
        if (!text.isEmpty())
            out << QString::fromLatin1(where->metaObject()->className()) + u' '
                    + where->objectName() + u": "_s + text;
    };
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        add(w, w->windowTitle());
        add(w, w->toolTip());
        if (auto *label = qobject_cast<QLabel *>(w))
            add(w, label->text());
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            add(w, button->text());
        if (auto *group = qobject_cast<QGroupBox *>(w))
            add(w, group->title());
        if (auto *menu = qobject_cast<QMenu *>(w))
            add(w, menu->title());
        if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(w, combo->itemText(i));
        if (auto *tabs = qobject_cast<TTabStrip *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(w, tabs->tabText(i));
        if (auto *view = qobject_cast<QAbstractItemView *>(w); view && view->model()) {
            const QAbstractItemModel *model = view->model();
            for (int c = 0; c < model->columnCount(); ++c)
                add(w, model->headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < model->rowCount(); ++r)
                for (int c = 0; c < model->columnCount(); ++c)
                    add(w, model->index(r, c).data().toString());
        }
    }
    for (const QAction *action : window->findChildren<QAction *>()) {
        add(action, action->text());
        add(action, action->toolTip());
        add(action, action->statusTip());
    }
    return out;
}

// Whether a text holds Chinese characters or punctuation.
bool hasChinese(const QString &text)
{
    static const QRegularExpression chinese(
        u"[\\x{3000}-\\x{303f}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"_s);
    return text.contains(chinese);
}

// The texts of a window that still hold Chinese once the names of the user's data
// (userData) are taken out.
QStringList chineseIn(QWidget *window, const QStringList &userData)
{
    QStringList out;
    for (const QString &text : shownTexts(window)) {
        QString rest = text;
        for (const QString &data : userData)
            rest.remove(data);
        if (hasChinese(rest))
            out << text;
    }
    return out;
}

// The names the project of writeProject gives its scheme, sheets and parts.
const QStringList ProjectData { u"方案1"_s, u"中纤板"_s, u"小板"_s, u"侧板"_s, u"隔板"_s,
    u"背板"_s };

// The captions of a list's columns that are not hidden.
QStringList headerTexts(const QTableView *list)
{
    QStringList out;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        if (!list->isColumnHidden(c))
            out << list->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

// A project with one scheme offering two boards, and three kinds of parts, written into the
// file; names are user data and stay Chinese.
void writeProject(TTempStore &store)
{
    store.exec(u"INSERT INTO 主数据表 (单号, 日期) VALUES ('T1', '2026-12-01 08:00:00')"_s);
    store.exec(u"INSERT INTO 子数据表 (PID, 名称) VALUES (1, '方案1')"_s);
    store.exec(u"INSERT INTO 原材料表 (ID, 名称, 长度, 宽度, 刀口, 价格) VALUES "
               "(1, '中纤板', 2440, 1220, 4, 1500000), (1, '小板', 1200, 600, 4, 400000)"_s);
    store.exec(u"INSERT INTO 零件表 (ID, 名称, 长度, 宽度, 数量) VALUES "
               "(1, '侧板', 720, 560, 6), (1, '隔板', 560, 300, 8), (1, '背板', 1200, 700, 2)"_s);
}

} // namespace

class TestEnglish : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ShellFixture::setUpApplication();
        TfrmPreview::setFindPrinters(false);
        TfrmWorkshop::setFindPrinters(false);
        DataPlace::setSharedDirectory(QStringLiteral(PNX_TEST_SHARE_DIR));
        QVERIFY(Startup::loadTranslations(u"en"_s));
    }

    void cleanupTestCase() { Startup::loadTranslations(u"zh"_s); }

    void init() { Dialogs::setCapture(true); }

    // From the workspace through a run to the preview and the workshop printout: captions,
    // commands, lists and the report in English, with the figures of the designed report.
    void workspaceResultsAndPreview_speakEnglish()
    {
        TTempStore store;
        writeProject(store);
        TRectManage engine;
        RectManage = &engine;
        const auto unset = qScopeGuard([] { RectManage = nullptr; });
        QTextEdit notes;

        auto *workspace = new TfrmMaterial;
        const QPointer<TfrmMaterial> guardWorkspace(workspace);
        workspace->Notes = &notes;
        workspace->resize(1000, 640);
        workspace->show();
        QVERIFY(QTest::qWaitForWindowExposed(workspace));
        QCOMPARE(workspace->actYHPY->text(), u"Layout"_s);
        QCOMPARE(workspace->actAddPrj->text(), u"New"_s);
        QCOMPARE(workspace->actAddPrj->toolTip(), u"New project"_s);
        QCOMPARE(workspace->actCalcAll->text(), u"All schemes"_s);
        QCOMPARE(workspace->findChild<QLabel *>(u"lblYCL"_s)->text(), u"Sheets offered"_s);
        QCOMPARE(workspace->ADOMaterialB->recordCount(), 3);
        QCOMPARE(headerTexts(workspace->rdgLJ),
            (QStringList { u"Name"_s, u"Length"_s, u"Width"_s, u"Quantity"_s, u"Grain"_s }));
        QCOMPARE(workspace->N4->text(), u"Choose parts"_s);
        QVERIFY2(chineseIn(workspace, ProjectData).isEmpty(),
            qPrintable(chineseIn(workspace, ProjectData).join(u'\n')));

        workspace->actYHPYExecute();
        QPointer<TfrmTypeSet> results = frmTypeSet;
        QVERIFY(results);
        results->resize(1100, 650);
        results->show();
        QVERIFY(QTest::qWaitForWindowExposed(results));
        QCOMPARE(results->actYHJS->text(), u"Optimize"_s);
        QCOMPARE(results->cbCost->text(), u"Cost first"_s);
        QCOMPARE(headerTexts(results->ListView2).value(0), u"Name"_s);

        results->actYHJSExecute();
        QVERIFY(results->TabSet1->count() > 0);
        QCOMPARE(results->TabSet1->tabText(0), u"Layout 1"_s);
        QVERIFY2(results->StatusPane0->text().startsWith(u"Done in "_s),
            qPrintable(results->StatusPane0->text()));
        QVERIFY2(results->Panel7->text().startsWith(u"Total utilization: "_s),
            qPrintable(results->Panel7->text()));
        QVERIFY(results->Panel8->text().startsWith(u"Sheets: "_s));
        QVERIFY(results->Panel5->text().startsWith(u"Sheet size: "_s));
        QCOMPARE(results->ValueListEditor1->item(0, 1)->text(), u"Layout 1"_s);
        QCOMPARE(headerTexts(results->lstCuts),
            (QStringList { u"No."_s, u"Stage"_s, u"Dir."_s, u"At"_s, u"Length"_s }));
        // The names the user typed stay as typed.
        QCOMPARE(results->ListView2->item(0, 0)->text(), u"中纤板"_s);
        QVERIFY2(chineseIn(results, ProjectData).isEmpty(),
            qPrintable(chineseIn(results, ProjectData).join(u'\n')));

        // The report: English labels, the designed report's lines and figures one for one.
        const QStringList english = notes.toPlainText().split(u'\n');
        const QStringList chinese = ReportLines(
            engine, u"总成本：%1"_s.arg(GeneralDecimal(PriceSum)), TReportTexts::Chinese());
        QVERIFY2(english.value(0).endsWith(u"sheet kinds used==="_s), qPrintable(english.value(0)));
        QCOMPARE(english.size(), chinese.size());
        for (int i = 0; i < english.size(); ++i)
            QCOMPARE(numbersOf(english[i]), numbersOf(chinese[i]));
        QVERIFY(chinese.value(0).startsWith(u"===共使用 "_s));

        // The preview window and the captions of its printouts.
        {
            TfrmPreview preview(*results, results);
            preview.SetPanel(*results->shownView());
            QCOMPARE(preview.windowTitle(), u"Layout preview"_s);
            QCOMPARE(preview.actPrtAll->text(), u"Print all"_s);
            QCOMPARE(preview.findChild<QLabel *>(u"lblPages"_s)->text(), u"Pages"_s);
            const TDrawMaterial &view = *preview.FPanel;
            QCOMPARE(PrintOneCaption(view),
                u"Layout 1: sheet %1×%2 %3 pcs"_s.arg(view.MWidth())
                    .arg(view.MHeight())
                    .arg(view.Tag()));
            QCOMPARE(FooterText(2, 1), u"Tavrin Software. Page 1 of 2"_s);
            QVERIFY2(chineseIn(&preview, ProjectData).isEmpty(),
                qPrintable(chineseIn(&preview, ProjectData).join(u'\n')));
            QCOMPARE(PrintJobTitle(), u"Tavrin Cutting Optimizer printout"_s);
        }
        // The workshop printout's window.
        {
            TfrmWorkshop workshop(*results, WorkshopInfo(u"T1"_s, u"方案1"_s), 0, results);
            QCOMPARE(workshop.windowTitle(), u"Workshop printout preview"_s);
            QVERIFY2(workshop.rstPage->text().startsWith(u"Page 1 of "_s),
                qPrintable(workshop.rstPage->text()));
            QCOMPARE(workshop.actFit->text(), u"Fit page"_s);
            QVERIFY2(chineseIn(&workshop, ProjectData).isEmpty(),
                qPrintable(chineseIn(&workshop, ProjectData).join(u'\n')));
        }
        // Exported tables follow the interface.
        QCOMPARE(PartListTable(results->HandOffParts).Header,
            (QStringList { u"Name"_s, u"Length"_s, u"Width"_s, u"Quantity"_s }));

        results->close();
        workspace->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guardWorkspace && !results);
    }

    // The main window with its menus, the two library editors and the options dialog show no
    // Chinese but the name of the Chinese language in the language menu and the user's rows.
    void mainWindowLibrariesAndOptions_speakEnglish()
    {
        TTempStore store;
        store.exec(
            u"INSERT INTO 原材料信息表 (Name, Length, Width, Price) VALUES ('中纤板', 2440, 1220, 150)"_s);
        store.exec(u"INSERT INTO 零件信息表 (Name, Length, Width) VALUES ('侧板', 720, 560)"_s);
        TfrmMainC main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.actOCS->text(), u"Layout"_s);
        // The status bar names the database file: a path of the user's.
        const QStringList mainData { u"中文"_s, QDir::toNativeSeparators(store.path()) };
        QVERIFY2(chineseIn(&main, mainData).isEmpty(),
            qPrintable(chineseIn(&main, mainData).join(u'\n')));

        TfrmYCLinfo sheets;
        TfrmLJinfo parts;
        for (QWidget *library : std::initializer_list<QWidget *> { &sheets, &parts }) {
            library->show();
            QVERIFY(QTest::qWaitForWindowExposed(library));
            QVERIFY2(chineseIn(library, ProjectData).isEmpty(),
                qPrintable(chineseIn(library, ProjectData).join(u'\n')));
        }
        QCOMPARE(sheets.grdLJ->model()->rowCount(), 1);

        TfrmOptions options;
        QVERIFY2(
            chineseIn(&options, {}).isEmpty(), qPrintable(chineseIn(&options, {}).join(u'\n')));
    }

    // The import dialog: its controls, and a problem named in English.
    void importDialog_speaksEnglish()
    {
        TImportDialog dialog(ImportTargets::PartList());
        QCOMPARE(dialog.windowTitle(), u"Import"_s);
        QCOMPARE(dialog.btnBrowse->text(), u"Choose file…"_s);
        QCOMPARE(dialog.btnCancel->text(), u"Cancel"_s);
        TSourceTable table;
        table.Rows = { { 1, { u"名称"_s, u"长度"_s, u"宽度"_s }, {} },
            { 2, { u"侧板"_s, u"720mm"_s, u"560"_s }, {} } };
        dialog.setTable(table, u"CSV"_s);
        QCOMPARE(dialog.lblSource->text(), u"CSV, 2 rows"_s);
        QCOMPARE(dialog.problems().size(), 1);
        QCOMPARE(dialog.problems()[0].text(),
            u"Row 2 长度 (column B): “720mm” has the unit “mm”: enter the number only (in "
            "millimeters)"_s);
        QVERIFY(!dialog.btnImport->isEnabled());
    }

    // The texts drawn on layouts and written into the workshop list.
    void drawingTexts_speakEnglish()
    {
        QCOMPARE(UncuttableText(), u"This layout cannot be cut with through cuts alone"_s);
        TDrawMaterialItem *item = nullptr;
        TDrawMaterial view;
        item = view.Materials()->Add();
        item->SetText(u"侧板"_s);
        QVERIFY(TCustomDrawMaterial::HintText(*item).startsWith(u"Name: 侧板"_s));
    }

    // The installed program started in a folder without notes of its own (the user's home, from
    // the desktop's menu) shows the English notes of its shared folder, with the keys of the
    // commands (the Chinese notes in the Chinese interface: test_application).
    void notes_englishFromTheSharedFolder()
    {
        ShellFixture::TWorkingDir cwd;
        TfrmMainC main;
        const QString notes = main.edtNotes->toPlainText();
        QVERIFY2(notes.contains(u"Quick start"_s) && notes.contains(u"F2"_s), qPrintable(notes));
        QVERIFY2(!hasChinese(notes), qPrintable(notes));
    }

    // F1: the English manual while the interface is English, the Chinese one otherwise.
    void userManual_followsTheLanguage()
    {
        UserManual::setManualDirectory(QCoreApplication::applicationDirPath() + u"/manual"_s);
        const auto reset = qScopeGuard([] { UserManual::setManualDirectory(QString()); });
        QVERIFY2(UserManual::htmlFile().endsWith(u"/manual/en/index.html"_s),
            qPrintable(UserManual::htmlFile()));
        QVERIFY(QFileInfo(UserManual::htmlFile()).isFile());
        QVERIFY(Startup::loadTranslations(u"zh"_s));
        const auto english = qScopeGuard([] { Startup::loadTranslations(u"en"_s); });
        QVERIFY(UserManual::htmlFile().endsWith(u"/manual/index.html"_s));
        QCOMPARE(UncuttableText(), u"此排版不能全部一刀切通"_s);
        QCOMPARE(FooterText(2, 1), u"Tavrin软件. 共2页 第1页"_s);
    }
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
