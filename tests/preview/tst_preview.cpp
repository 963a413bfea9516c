// The preview window: opening as the results window opens it, the page panel, paging, zoom,
// the page setup with the settings file, and the print commands on a machine without a
// printer (a PDF file chosen in the file dialog).

#include "Dialogs.h"
#include "DrawMaterial.h"
#include "PreviewFixture.h"
#include "PrintLayouts.h"
#include "fmPreview.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QSettings>
#include <QStatusBar>
#include <QPrinter>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <tuple>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

int hundredths(double mm)
{
    return int(std::lround(mm * 100));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// A dialog handler that answers the next QFileDialog with Path (or cancels it when empty),
// and records that it was asked.
std::function<int(QDialog &)> saveAs(const QString &Path, bool *Asked = nullptr)
{
    return [Path, Asked](QDialog &d) {
        auto *files = qobject_cast<QFileDialog *>(&d);
        if (!files)
            qFatal("expected the file dialog");
        if (Asked)
            *Asked = true;
        if (Path.isEmpty())
            return int(QDialog::Rejected);
        files->selectFile(Path);
        return int(QDialog::Accepted);
    };
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    std::unique_ptr<TRunFixture> FRun;
    std::unique_ptr<TfrmPreview> FForm;

    // Seven layouts of 800 x 600, layout g cut g times; the window opened on layout Shown.
    TfrmPreview &open(int Shown = 3)
    {
        FRun = std::make_unique<TRunFixture>();
        FRun->AddLayouts(7);
        FRun->Layouts.SetUtilisationCaption(u"总利用率：81%"_s);
        TDrawMaterial &v = *FRun->Layouts.LayoutView(Shown - 1);
        FRun->Layouts.DrawPanel(v);
        FForm = std::make_unique<TfrmPreview>(FRun->Layouts, nullptr);
        FForm->SetPanel(v);
        FForm->FPanel->SetLineColor(QColor(0, 0, 255));
        FForm->FPanel->SetSelectColor(QColor(255, 255, 0));
        return *FForm;
    }

    QPageLayout pageSetupWith(const std::function<void(QPageSetupDialog &)> &Answer, bool Accept)
    {
        QPageLayout primed;
        Dialogs::setNextDialogHandler([&](QDialog &d) {
            auto *dialog = qobject_cast<QPageSetupDialog *>(&d);
            if (!dialog)
                qFatal("expected the page setup dialog");
            primed = dialog->printer()->pageLayout();
            Answer(*dialog);
            return int(Accept ? QDialog::Accepted : QDialog::Rejected);
        });
        FForm->actPageSet->trigger();
        return primed;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        SetConfigDirectory(FDir.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FDir.path());
        TfrmPreview::setFindPrinters(false);
    }
    void init()
    {
        PrintConfig = TPrintConfig();
        QFile::remove(ConfigFile());
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup()
    {
        FForm.reset();
        FRun.reset();
        // Nothing unexpected was shown or asked.
        QCOMPARE(Dialogs::takeCaptured(), QStringList());
    }
    void cleanupTestCase() { SetConfigDirectory(QString()); }

    void pagePanelSize_isThePrintableAreaAtAWholePercentage_data()
    {
        QTest::addColumn<int>("W");
        QTest::addColumn<int>("HR");
        QTest::addColumn<int>("VR");
        QTest::addColumn<QSize>("size");
        QTest::newRow("700 / 950: k 73") << 700 << 950 << 1300 << QSize(694, 949);
        QTest::newRow("exactly 100%") << 950 << 950 << 1300 << QSize(950, 1300);
        QTest::newRow("A4 at 600 dpi: k 14") << 685 << 4724 << 6780 << QSize(661, 949);
        QTest::newRow("no room") << 0 << 950 << 1300 << QSize(0, 0);
    }
    void pagePanelSize_isThePrintableAreaAtAWholePercentage()
    {
        QFETCH(int, W);
        QFETCH(int, HR);
        QFETCH(int, VR);
        QFETCH(QSize, size);
        QCOMPARE(PagePanelSize(W, HR, VR), size);
    }

    // Opened as the results window opens it: on the PDF printer, the given layout fitted to
    // the page panel, the status panes filled when shown.
    void open_showsTheLayoutOnThePage()
    {
        TfrmPreview &p = open(3);
        QCOMPARE(frmPreview, &p);
        QVERIFY(!p.HasPrinter());
        QCOMPARE(p.Printer().outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(p.Printer().resolution(), PrintResolution);
        QCOMPARE(p.Printer().pageLayout().pageSize().id(), QPageSize::A4);
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QCOMPARE(p.windowTitle(), u"切割排版预览"_s);
        QCOMPARE(p.rstPages->text(), u"7页"_s);
        QCOMPARE(p.rstPage->text(), u"3页"_s);
        QCOMPARE(p.rstMaterial->text(), u"3个"_s);
        const QSize page = PagePanelSize(
            p.ScrollBox2->viewport()->width(), p.Printer().width(), p.Printer().height());
        QVERIFY(page.width() > 0);
        QCOMPARE(p.Panel1->size(), page);
        QCOMPARE(p.FPanel->Group(), 3);
        QCOMPARE(p.FPanel->Materials()->Count(), 3);
        QCOMPARE(p.FPanel->Scale(), FitScale(p.Panel1->width(), 20, 800));
        QVERIFY(p.FPanel->width() <= p.Panel1->width());
        QCOMPARE(p.FPanel->LineColor(), QColor(0, 0, 255));
        QVERIFY(!p.Panel2->isVisible());
        // The hints: tooltip and status text.
        QCOMPARE(p.actPrtAll->toolTip(), u"打印所有"_s);
        QCOMPARE(p.actPrtAll->statusTip(), u"打印全部排样图"_s);
        p.actClose->trigger();
        QVERIFY(!p.isVisible());
        FForm.reset();
        QCOMPARE(frmPreview, nullptr);
    }

    // Paging: no wrap-around, layouts drawn on first visit, the selection dropped.
    void navigation_stopsAtBothEnds()
    {
        TfrmPreview &p = open(1);
        p.actPrevious->trigger();
        QCOMPARE(p.FPanel->Group(), 1);
        QCOMPARE(FRun->Layouts.LayoutView(1)->Materials()->Count(), 0);
        p.FPanel->SetSelectindex(1);
        p.actNext->trigger();
        QCOMPARE(p.FPanel->Group(), 2);
        QCOMPARE(p.FPanel->Selectindex(), -1);
        QCOMPARE(FRun->Layouts.LayoutView(1)->Materials()->Count(), 3);
        QCOMPARE(p.FPanel->Materials()->Count(), 3);
        QCOMPARE(p.rstPage->text(), u"2页"_s);
        QCOMPARE(p.rstMaterial->text(), u"2个"_s);
        p.FindPanel(7);
        p.actNext->trigger();
        QCOMPARE(p.FPanel->Group(), 7);
        for (int n : { 0, 8, -1 }) {
            p.FindPanel(n);
            QCOMPARE(p.FPanel->Group(), 7);
        }
        QCOMPARE(p.rstPage->text(), u"7页"_s);
    }

    void zoom_staysWithinTheViewsLimits_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("in");
        QTest::addColumn<int>("to");
        QTest::newRow("491 in") << 491 << true << 501;
        QTest::newRow("495 in refused") << 495 << true << 495;
        QTest::newRow("30 in") << 30 << true << 40;
        QTest::newRow("10 out") << 10 << false << 0;
        QTest::newRow("5 out refused") << 5 << false << 5;
    }
    void zoom_staysWithinTheViewsLimits()
    {
        QFETCH(int, from);
        QFETCH(bool, in);
        QFETCH(int, to);
        TfrmPreview &p = open();
        p.FPanel->SetScale(from);
        (in ? p.actZoomIn : p.actZoomOut)->trigger();
        QCOMPARE(p.FPanel->Scale(), to);
        // The page panel stays the page.
        const QSize page = p.Panel1->size();
        QCOMPARE(p.Panel1->size(), page);
    }

    // A wider window gives a larger page panel; the drawing keeps its scale until the page
    // changes.
    void resize_sizesThePageButKeepsTheScale()
    {
        TfrmPreview &p = open();
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        const int scale = p.FPanel->Scale();
        const int before = p.Panel1->width();
        p.resize(p.width() + 300, p.height());
        QTRY_VERIFY(p.Panel1->width() > before + 250);
        QCOMPARE(p.FPanel->Scale(), scale);
        p.actNext->trigger();
        QVERIFY(p.FPanel->Scale() > scale);
    }

    // The dialog is primed from the settings (margins × 100) and its numbers are stored in
    // whole millimetres, truncated.
    void pageSetup_primesAndReadsBack_data()
    {
        QTest::addColumn<double>("left"); // mm, as chosen in the dialog
        QTest::addColumn<double>("top");
        QTest::addColumn<int>("storedLeft");
        QTest::addColumn<int>("storedTop");
        QTest::newRow("25.99 and 0.99") << 25.99 << 0.99 << 25 << 0;
        QTest::newRow("whole") << 10.0 << 30.0 << 10 << 30;
        QTest::newRow("zero") << 0.0 << 0.0 << 0 << 0;
    }
    void pageSetup_primesAndReadsBack()
    {
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(int, storedLeft);
        QFETCH(int, storedTop);
        PrintConfig = TPrintConfig { 0, 25, 12, 21000, 29700 };
        SaveConfig();
        PrintConfig = TPrintConfig();
        TfrmPreview &p = open();
        const QSize printable(p.Printer().width(), p.Printer().height());
        const QPageLayout primed = pageSetupWith(
            [&](QPageSetupDialog &d) {
                d.printer()->setPageMargins(QMarginsF(left, top, 12, 13), QPageLayout::Millimeter);
            },
            true);
        const QMarginsF m = primed.margins(QPageLayout::Millimeter);
        QCOMPARE(hundredths(m.left()), 2500);
        QCOMPARE(hundredths(m.top()), 1200);
        QCOMPARE(hundredths(m.right()), 2500); // the dialog's own first values
        QCOMPARE(hundredths(m.bottom()), 2500);
        QCOMPARE(hundredths(primed.fullRect(QPageLayout::Millimeter).width()), 21000);

        const TPrintConfig expected { 0, storedLeft, storedTop, 21000, 29700 };
        QCOMPARE(PrintConfig, expected);
        QFile file(ConfigFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ConfigStream(expected));
        // The margins are the drawing's: the printer keeps its printable area.
        QCOMPARE(QSize(p.Printer().width(), p.Printer().height()), printable);

        // The next time the dialog opens with its last right and bottom margins.
        const QPageLayout again = pageSetupWith([](QPageSetupDialog &) {}, false);
        QCOMPARE(hundredths(again.margins(QPageLayout::Millimeter).right()), 1200);
        QCOMPARE(hundredths(again.margins(QPageLayout::Millimeter).bottom()), 1300);
        QCOMPARE(hundredths(again.margins(QPageLayout::Millimeter).left()), storedLeft * 100);
    }

    // Without saved settings the dialog opens with left and top margins 0 on the printer's
    // own paper.
    void pageSetup_withoutSettingsOpensWithZeroMargins()
    {
        open();
        const QPageLayout primed = pageSetupWith([](QPageSetupDialog &) {}, false);
        QCOMPARE(primed.margins(QPageLayout::Millimeter).left(), 0.0);
        QCOMPARE(primed.margins(QPageLayout::Millimeter).top(), 0.0);
        QCOMPARE(primed.pageSize().id(), QPageSize::A4);
        QVERIFY(!QFile::exists(ConfigFile()));
    }

    // Cancelling leaves the file alone and memory as the file had it.
    void pageSetup_cancelChangesNothingButTheLoad()
    {
        PrintConfig = TPrintConfig { 0, 7, 8, 21000, 29700 };
        SaveConfig();
        const QDateTime saved = QFileInfo(ConfigFile()).lastModified();
        PrintConfig.LeftOffset = 40;
        TfrmPreview &p = open();
        const QPageLayout printerBefore = p.Printer().pageLayout();
        pageSetupWith(
            [](QPageSetupDialog &d) {
                d.printer()->setPageMargins(QMarginsF(30, 30, 30, 30), QPageLayout::Millimeter);
            },
            false);
        QCOMPARE(PrintConfig, (TPrintConfig { 0, 7, 8, 21000, 29700 }));
        QCOMPARE(QFileInfo(ConfigFile()).lastModified(), saved);
        QVERIFY(p.Printer().pageLayout().isEquivalentTo(printerBefore));
    }

    // Landscape paper: stored as the dialog reports it, and the page panel turns with it.
    void pageSetup_landscapePaperTurnsThePage()
    {
        TfrmPreview &p = open();
        pageSetupWith(
            [](QPageSetupDialog &d) { d.printer()->setPageOrientation(QPageLayout::Landscape); },
            true);
        QCOMPARE(PrintConfig.PageWidth, 29700);
        QCOMPARE(PrintConfig.PageHeight, 21000);
        QVERIFY(p.Panel1->width() > p.Panel1->height());
        QCOMPARE(p.FPanel->Scale(), FitScale(p.Panel1->width(), 20, 800));
        // Primed from the file again: landscape A4.
        const QPageLayout primed = pageSetupWith([](QPageSetupDialog &) {}, false);
        QCOMPARE(primed.orientation(), QPageLayout::Landscape);
        QCOMPARE(hundredths(primed.fullRect(QPageLayout::Millimeter).width()), 29700);
    }

    // A damaged settings file does not lock the page setup out: the user is asked whether to
    // set the page up afresh. Cancel leaves everything as it was; OK keeps the damaged file as
    // Config.bad and opens the dialog from nothing.
    void pageSetup_damagedSettings_offerToStartAfresh()
    {
        const QByteArray damaged = "TPF0\x0CTPrintConfig\x00\x0ALeftOffset\x02\xF6\x00\x00"_ba;
        QFile f(ConfigFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(damaged);
        f.close();
        TfrmPreview &p = open();
        Dialogs::setNextAnswer(false);
        p.actPageSet->trigger();
        auto asked = Dialogs::takeAsked();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].text.contains(u"LeftOffset 的值 -10 超出范围"_s), qPrintable(asked[0].text));
        QVERIFY2(asked[0].text.contains(u"Config.bad"_s), qPrintable(asked[0].text));
        QCOMPARE(readAll(ConfigFile()), damaged);
        QVERIFY(!QFile::exists(ConfigFile() + u".bad"_s));

        Dialogs::setNextAnswer(true);
        const QPageLayout primed = pageSetupWith([](QPageSetupDialog &) {}, true);
        QCOMPARE(Dialogs::takeAsked().size(), 1);
        QCOMPARE(primed.margins(QPageLayout::Millimeter).left(), 0.0);
        QCOMPARE(readAll(ConfigFile() + u".bad"_s), damaged);
        QCOMPARE(readAll(ConfigFile()), ConfigStream(PrintConfig));
        QCOMPARE(PrintConfig.LeftOffset, 0);
    }

    // Without a printer both print commands save a PDF file chosen in a file dialog, one job
    // titled "Tavrin优化切割打印".
    void print_withoutPrinterSavesAPdf_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("打印本页") << false << 1 << QStringList { u"切割 3:原材料 800×600 3件"_s };
        QStringList all;
        for (int g = 1; g <= 7; ++g)
            all << u"切割%1:原片800×600 %1件,出材率:%2总利用率：81%"_s.arg(g).arg(79 + g);
        QTest::newRow("打印所有") << true << 1 << all;
    }
    void print_withoutPrinterSavesAPdf()
    {
        QFETCH(bool, all);
        QFETCH(int, pages);
        QFETCH(QStringList, captions);
        TfrmPreview &p = open(3);
        const QString path = FDir.filePath(all ? u"all.pdf"_s : u"one.pdf"_s);
        Dialogs::setNextDialogHandler(saveAs(path));
        (all ? p.actPrtAll : p.actPrintOne)->trigger();
        QString error;
        const std::optional<TPdfText> pdf = ReadPdfText(path, error);
        QVERIFY2(pdf, qPrintable(error));
        QCOMPARE(pdf->Title, PrintJobTitle());
        QCOMPARE(pdf->Pages.size(), pages);
        // Captions in reading order by their places on the page (the order of pdftotext's words
        // follows its own idea of columns).
        QList<TPdfLine> lines;
        for (const TPdfLine &l : pdf->Lines)
            if (l.Text.startsWith(u"切割"_s))
                lines << l;
        std::stable_sort(lines.begin(), lines.end(), [](const TPdfLine &a, const TPdfLine &b) {
            return std::tuple(a.Page, qRound(a.Box.top()), a.Box.left())
                < std::tuple(b.Page, qRound(b.Box.top()), b.Box.left());
        });
        QStringList found;
        for (const TPdfLine &l : lines)
            found << l.Text;
        QCOMPARE(found, captions);
        // The preview's own view is not changed by printing.
        QCOMPARE(p.FPanel->Group(), 3);
        QCOMPARE(p.FPanel->isPrinter(), false);
        // The status line says where the file went, and the next save starts in its folder.
        QCOMPARE(p.StatusBar1->currentMessage(), TfrmPreview::savedPdfText(path));
        QString startedIn;
        Dialogs::setNextDialogHandler([&](QDialog &d) {
            startedIn = static_cast<QFileDialog &>(d).directory().absolutePath();
            return int(QDialog::Rejected);
        });
        p.actPrintOne->trigger();
        QCOMPARE(startedIn, QFileInfo(path).absolutePath());
    }

    // The margins of the settings file reach the printout in millimetres.
    void print_usesTheSettingsFile()
    {
        PrintConfig = TPrintConfig { 0, 20, 0, 0, 0 };
        SaveConfig();
        PrintConfig = TPrintConfig();
        TfrmPreview &p = open(1);
        const QString path = FDir.filePath(u"margins.pdf"_s);
        Dialogs::setNextDialogHandler(saveAs(path));
        p.actPrtAll->trigger();
        QCOMPARE(PrintConfig.LeftOffset, 20);
        QString error;
        const std::optional<TPdfText> pdf = ReadPdfText(path, error);
        QVERIFY2(pdf, qPrintable(error));
        const QList<TPdfLine> first = pdf->Find(u"切割1:"_s);
        QCOMPARE(first.size(), 1);
        // The page's 5 mm edge and the 20 mm margin.
        QVERIFY2(qAbs(first[0].Box.left() - 25 / 25.4 * 72) < 1.0,
            qPrintable(QString::number(first[0].Box.left())));
    }

    // Cancelled, or failing on damaged settings: no file, and the error shown.
    void print_cancelledOrFailedLeavesNoFile()
    {
        TfrmPreview &p = open();
        const QString path = FDir.filePath(u"never.pdf"_s);
        bool asked = false;
        Dialogs::setNextDialogHandler(saveAs(QString(), &asked));
        p.actPrintOne->trigger();
        QVERIFY(asked);
        QVERIFY(!QFile::exists(path));

        QFile f(ConfigFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("TPF0\x0CTPrintConfig\x00\x09LineWidth\x06"_ba);
        f.close();
        Dialogs::setNextDialogHandler(saveAs(path));
        p.actPrtAll->trigger();
        QVERIFY(!QFile::exists(path));
        const QStringList shown = Dialogs::takeCaptured();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(u"LineWidth"_s), qPrintable(shown[0]));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
