// The workshop printout 车间图: one layout a page with its header, drawing, cut list, part list
// and offcuts, pages turned for the largest drawing, long lists going on over further pages; its
// PDF; and its print preview, whose pages are the printed ones.
#include "CutPlan.h"
#include "Dialogs.h"
#include "DrawMaterial.h"
#include "PreviewFixture.h"
#include "PrintLayouts.h"
#include "Workshop.h"
#include "fmWorkshop.h"

#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A job run through the quick mode, its layouts followed as the results window follows them.
struct TJob
{
    TRectManage Engine;
    TEngineLayouts Layouts { Engine };

    void Sheet(int L, int W, int Kerf, const std::string &Name)
    {
        TMaterialType &S = *Engine.BCTypeList().Add();
        S.SetText(Name);
        S.SetWidth(std::max(L, W));
        S.SetHeight(std::min(L, W));
        S.SetBlade(Kerf);
        S.SetPrice(50);
    }
    // As the workspace hands parts over: the longer side in Width, and whether the length as
    // entered was the shorter side.
    void Part(int L, int W, int Count, const std::string &Name)
    {
        TMaterialType &P = *Engine.MaterialTypeList().Add();
        P.SetText(Name);
        P.SetWidth(std::max(L, W));
        P.SetHeight(std::min(L, W));
        P.SetEnteredLengthShorter(L < W);
        P.SetCount(Count);
    }
    void Run(bool Cost = false)
    {
        Engine.SetUseCost(Cost);
        Engine.SetOnNewRectList([this](int G, int B, int C) { Layouts.OnNewRectList(G, B, C); });
        Engine.GoWork();
        Engine.GetTotalBC();
    }
};

TPdfText readPdf(const QString &Path)
{
    QString Error;
    const std::optional<TPdfText> T = ReadPdfText(Path, Error);
    if (!T)
        qFatal("%s", qPrintable(Error));
    return *T;
}

// Words of a page that are exactly s.
int wordsOnPage(const TPdfText &Pdf, int Page, const QString &S)
{
    int N = 0;
    for (const TPdfLine &W : Pdf.Words)
        N += W.Page == Page && W.Text == S;
    return N;
}

bool pageHas(const TPdfText &Pdf, int Page, const QString &S)
{
    for (const TPdfLine &L : Pdf.OnPage(Page))
        if (L.Text.contains(S))
            return true;
    return false;
}

// Grey levels averaged over blocks of Block x Block pixels.
QList<int> blocks(const QImage &Image, int Block)
{
    const QImage G = Image.convertToFormat(QImage::Format_Grayscale8);
    QList<int> Out;
    for (int y = 0; y + Block <= G.height(); y += Block)
        for (int x = 0; x + Block <= G.width(); x += Block) {
            int Sum = 0;
            for (int dy = 0; dy < Block; ++dy)
                for (int dx = 0; dx < Block; ++dx)
                    Sum += G.constScanLine(y + dy)[x + dx];
            Out << Sum / (Block * Block);
        }
    return Out;
}

} // namespace

class TestWorkshop : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        TfrmWorkshop::setFindPrinters(false);
    }
    void init()
    {
        Dialogs::resetHooks();
        Dialogs::setCapture(true);
    }
    void cleanup() { QCOMPARE(Dialogs::takeCaptured(), QStringList()); }

    // Every layout on a page of its own: the header names the project, scheme, material with its
    // size, kerf, layout n of N, the sheets cut to it and its utilisation; the cut list has a row
    // per cut; the part list gives each part with its size as entered; the offcuts kept are
    // listed; the footer carries the maker's line and page n of N.
    void pages_carryHeaderListsAndFooter()
    {
        TJob Job;
        Job.Sheet(2440, 1220, 4, "18mm 白色三聚氰胺板");
        Job.Part(720, 560, 9, "侧板");
        Job.Part(397, 716, 7, "门板"); // entered with the shorter side as its length
        Job.Part(1800, 300, 3, "顶板");
        Job.Run();
        const int N = Job.Layouts.LayoutCount();
        QVERIFY(N >= 2);
        const TWorkshopDocument Doc(Job.Layouts,
            { u"20240517093000"_s, u"方案A"_s, MakerLine(u"木工坊"_s, u"0571-1234567"_s) });
        QCOMPARE(Doc.PageCount(), N);
        QCOMPARE(Doc.LayoutCount(), N);
        const QString Path = FDir.filePath(u"pages.pdf"_s);
        WriteWorkshopPdf(Path, Doc);
        const TPdfText Pdf = readPdf(Path);
        QCOMPARE(Pdf.Pages.size(), N);
        QCOMPARE(Pdf.Title, PrintJobTitle());
        for (int i = 0; i < N; ++i) {
            const int Page = i + 1;
            QCOMPARE(Doc.FirstPage(i), i);
            QCOMPARE(Doc.LayoutOfPage(i), i);
            const TDrawMaterial &V = *Job.Layouts.LayoutView(i);
            const TMaterialType &G = *Job.Engine.GroupList().GetItem(i);
            for (const QString &S : { u"车间图"_s, u"工程 20240517093000"_s, u"方案 方案A"_s,
                     u"原材料 18mm 白色三聚氰胺板 2440×1220 mm"_s, u"刀口 4 mm"_s,
                     u"排版 %1 / %2"_s.arg(Page).arg(N), u"本排版 %1 张"_s.arg(G.Count()),
                     u"利用率 %1%"_s.arg(G.UsedCount()), u"第 %1 页 / 共 %2 页"_s.arg(Page).arg(N),
                     u"木工坊 电话：0571-1234567"_s })
                QVERIFY2(pageHas(Pdf, Page, S), qPrintable(u"page %1: %2"_s.arg(Page).arg(S)));
            // One row per cut, each naming its direction once.
            const TCutPlan &P = *V.CutPlan();
            QVERIFY(P.Cuttable);
            QCOMPARE(wordsOnPage(Pdf, Page, u"纵切"_s) + wordsOnPage(Pdf, Page, u"横切"_s),
                int(P.Cuts.size()));
            QVERIFY(pageHas(Pdf, Page, u"锯切顺序 共 %1 刀"_s.arg(P.Cuts.size())));
            // The parts of the sheet, sizes as entered: the doors 397 x 716.
            for (int k = 0; k < V.Materials()->Count(); ++k) {
                const TDrawMaterialItem &It = *V.Materials()->GetItem(k);
                QVERIFY(pageHas(Pdf, Page, It.Text()));
                QVERIFY(pageHas(Pdf, Page,
                    QString::number(It.EnteredLength()) + u"×"_s
                        + QString::number(It.EnteredWidth())));
                if (It.Text() == u"门板"_s)
                    QCOMPARE(It.EnteredLength(), 397);
            }
            for (const TOffcut &O : P.Offcuts)
                if (O.Kept)
                    QVERIFY(pageHas(Pdf, Page,
                        QString::number(std::max(O.Width, O.Height)) + u"×"_s
                            + QString::number(std::min(O.Width, O.Height))));
            QVERIFY(P.KeptOffcuts() > 0 || pageHas(Pdf, Page, u"无"_s));
        }
        // Nothing invented: no maker's line when none is given.
        const TWorkshopDocument Bare(Job.Layouts, { u"1"_s, {}, {} });
        WriteWorkshopPdf(Path, Bare);
        const TPdfText NoMaker = readPdf(Path);
        QVERIFY(NoMaker.Find(u"电话"_s).isEmpty());
        QVERIFY(NoMaker.Find(u"方案"_s).isEmpty());
    }

    // A sheet much longer than wide prints on landscape paper; each page of the PDF has the size
    // and turn the document planned for it.
    void pages_turnedForTheLargestDrawing()
    {
        TJob Job;
        Job.Sheet(2440, 400, 3, "Strip stock");
        Job.Part(1200, 390, 2, "Shelf");
        Job.Sheet(1000, 1000, 3, "Square");
        Job.Run();
        const TWorkshopDocument Doc(Job.Layouts, { u"1"_s, {}, {} });
        QVERIFY(Doc.PageCount() >= 1);
        QCOMPARE(Doc.PageLayout(0).orientation(), QPageLayout::Landscape);
        const QString Path = FDir.filePath(u"turned.pdf"_s);
        WriteWorkshopPdf(Path, Doc);
        const TPdfText Pdf = readPdf(Path);
        QCOMPARE(Pdf.Pages.size(), Doc.PageCount());
        for (int p = 0; p < Doc.PageCount(); ++p) {
            const QSizeF Pt = Doc.PageLayout(p).fullRect(QPageLayout::Point).size();
            QVERIFY(qAbs(Pdf.Pages[p].width() - Pt.width()) < 1.0);
            QVERIFY(qAbs(Pdf.Pages[p].height() - Pt.height()) < 1.0);
        }
    }

    // A layout of many small parts has more cuts than a page holds: its lists go on over
    // further pages marked （续）, every cut listed once, the pages numbered through.
    void longLists_goOnOverFurtherPages()
    {
        TJob Job;
        Job.Sheet(2440, 1220, 3, "Board");
        Job.Part(80, 60, 500, "Block");
        Job.Run();
        const TWorkshopDocument Doc(Job.Layouts, { u"1"_s, {}, {} });
        QVERIFY(Doc.PageCount() > Doc.LayoutCount());
        const QString Path = FDir.filePath(u"long.pdf"_s);
        WriteWorkshopPdf(Path, Doc);
        const TPdfText Pdf = readPdf(Path);
        QCOMPARE(Pdf.Pages.size(), Doc.PageCount());
        for (int i = 0; i < Doc.LayoutCount(); ++i) {
            const int First = Doc.FirstPage(i);
            const int Last = i + 1 < Doc.LayoutCount() ? Doc.FirstPage(i + 1) : Doc.PageCount();
            int Rows = 0;
            for (int p = First; p < Last; ++p) {
                QCOMPARE(Doc.LayoutOfPage(p), i);
                Rows += wordsOnPage(Pdf, p + 1, u"纵切"_s) + wordsOnPage(Pdf, p + 1, u"横切"_s);
                QVERIFY(
                    pageHas(Pdf, p + 1, u"第 %1 页 / 共 %2 页"_s.arg(p + 1).arg(Doc.PageCount())));
                QCOMPARE(pageHas(Pdf, p + 1, u"（续）"_s), p > First);
            }
            QCOMPARE(Rows, int(Job.Layouts.LayoutView(i)->CutPlan()->Cuts.size()));
        }
    }

    // A quick-mode layout that cannot be cut edge to edge says so where its cut list would be.
    void uncuttableLayout_saysSo()
    {
        TJob Job;
        Job.Sheet(1220, 2440, 1, "Sheet 1");
        Job.Part(942, 111, 20, "Part 1");
        Job.Part(755, 115, 11, "Part 2");
        Job.Part(355, 646, 10, "Part 3");
        Job.Run(true);
        const TWorkshopDocument Doc(Job.Layouts, { u"1"_s, {}, {} });
        QVERIFY(!Job.Layouts.LayoutView(1)->CutPlan()->Cuttable);
        const QString Path = FDir.filePath(u"uncuttable.pdf"_s);
        WriteWorkshopPdf(Path, Doc);
        const TPdfText Pdf = readPdf(Path);
        const int Page = Doc.FirstPage(1) + 1;
        QVERIFY(pageHas(Pdf, Page, u"此排版不能全部一刀切通"_s));
        QCOMPARE(wordsOnPage(Pdf, Page, u"纵切"_s) + wordsOnPage(Pdf, Page, u"横切"_s), 0);
        QVERIFY(!pageHas(Pdf, Doc.FirstPage(0) + 1, u"此排版不能全部一刀切通"_s));
    }

    // A PDF that cannot be written leaves nothing behind and says why.
    void pdf_unwritableLeavesNoFile()
    {
        TJob Job;
        Job.Sheet(2440, 1220, 3, "Board");
        Job.Part(700, 500, 2, "A");
        Job.Run();
        const TWorkshopDocument Doc(Job.Layouts, { u"1"_s, {}, {} });
        const QString Path = FDir.filePath(u"missing/folder/x.pdf"_s);
        QVERIFY_THROWS_EXCEPTION(EPrintError, WriteWorkshopPdf(Path, Doc));
        QVERIFY(!QFile::exists(Path));
        TRectManage Empty;
        TEngineLayouts None(Empty);
        const TWorkshopDocument Nothing(None, { u"1"_s, {}, {} });
        QCOMPARE(Nothing.PageCount(), 0);
        const QString Kept = FDir.filePath(u"kept.pdf"_s);
        {
            QFile F(Kept);
            QVERIFY(F.open(QIODevice::WriteOnly));
            F.write("earlier");
        }
        QVERIFY_THROWS_EXCEPTION(EPrintError, WriteWorkshopPdf(Kept, Nothing));
        QFile F(Kept);
        QVERIFY(F.open(QIODevice::ReadOnly));
        QCOMPARE(F.readAll(), QByteArray("earlier"));
    }

    // The preview opens on the layout asked for, pages through the document, zooms within its
    // limits, and shows each page as it prints: the page rendered from the PDF looks the same.
    void preview_showsThePagesAsTheyPrint()
    {
        TJob Job;
        Job.Sheet(2440, 1220, 4, "Board");
        Job.Part(720, 560, 9, "侧板");
        Job.Part(397, 716, 7, "门板");
        Job.Run();
        const int N = Job.Layouts.LayoutCount();
        QVERIFY(N >= 2);
        TfrmWorkshop W(Job.Layouts, { u"42"_s, u"A"_s, {} }, 1, nullptr);
        QCOMPARE(W.CurrentPage(), W.Document().FirstPage(1));
        QCOMPARE(W.rstLayout->text(), u"排版 2 / %1"_s.arg(N));
        QCOMPARE(W.rstPage->text(), u"第 2 页 / 共 %1 页"_s.arg(W.Document().PageCount()));
        W.actPreviousExecute();
        QCOMPARE(W.CurrentPage(), 0);
        QVERIFY(!W.actPrevious->isEnabled());
        W.actPreviousExecute();
        QCOMPARE(W.CurrentPage(), 0);
        W.ShowPage(W.Document().PageCount() - 1);
        QVERIFY(!W.actNext->isEnabled());
        W.ShowPage(W.Document().PageCount()); // past the end: nothing
        QCOMPARE(W.CurrentPage(), W.Document().PageCount() - 1);
        W.SetZoom(1000);
        QCOMPARE(W.Zoom(), 400);
        W.SetZoom(1);
        QCOMPARE(W.Zoom(), 10);

        // Page 1 at 60 dpi, in the preview and from the PDF.
        W.ShowPage(0);
        W.SetZoom(int(std::lround(60.0 * 100 / W.logicalDpiX())));
        const QImage Shown = W.PageImage();
        const double Dpi = W.logicalDpiX() * W.Zoom() / 100.0;
        const QString Path = FDir.filePath(u"preview.pdf"_s);
        WriteWorkshopPdf(Path, W.Document());
        QProcess Render;
        Render.start(u"pdftoppm"_s,
            { u"-r"_s, QString::number(Dpi, 'f', 4), u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-png"_s,
                u"-singlefile"_s, Path, FDir.filePath(u"page"_s) });
        QVERIFY(Render.waitForFinished(60000));
        QCOMPARE(Render.exitCode(), 0);
        const QImage Printed(FDir.filePath(u"page.png"_s));
        QVERIFY(!Printed.isNull());
        QVERIFY(qAbs(Printed.width() - Shown.width()) <= 2);
        QVERIFY(qAbs(Printed.height() - Shown.height()) <= 2);
        const QSize Common = Printed.size().boundedTo(Shown.size());
        const QList<int> A = blocks(Shown.copy(QRect(QPoint(), Common)), 8);
        const QList<int> B = blocks(Printed.copy(QRect(QPoint(), Common)), 8);
        QCOMPARE(A.size(), B.size());
        int Far = 0;
        for (qsizetype k = 0; k < A.size(); ++k)
            Far += qAbs(A[k] - B[k]) > 40;
        QVERIFY2(
            Far < A.size() / 50, qPrintable(u"%1 of %2 blocks differ"_s.arg(Far).arg(A.size())));
        // And a page of another layout looks different.
        W.ShowPage(1);
        const QList<int> C = blocks(W.PageImage().copy(QRect(QPoint(), Common)), 8);
        int Other = 0;
        for (qsizetype k = 0; k < qMin(A.size(), C.size()); ++k)
            Other += qAbs(A[k] - C[k]) > 40;
        QVERIFY(Other > Far);
    }

    // Without a printer 打印 saves a PDF file, as 保存PDF does; cancelling the file dialog
    // writes nothing.
    void preview_withoutPrinterSavesPdf()
    {
        TJob Job;
        Job.Sheet(2440, 1220, 4, "Board");
        Job.Part(720, 560, 3, "侧板");
        Job.Run();
        TfrmWorkshop W(Job.Layouts, { u"42"_s, {}, {} }, 0, nullptr);
        const QString Path = FDir.filePath(u"saved.pdf"_s);
        for (QAction *Command : { W.actPdf, W.actPrint }) {
            QFile::remove(Path);
            Dialogs::setNextDialogHandler([](QDialog &) { return int(QDialog::Rejected); });
            Command->trigger();
            QVERIFY(!QFile::exists(Path));
            Dialogs::setNextDialogHandler([&](QDialog &D) {
                auto *F = qobject_cast<QFileDialog *>(&D);
                if (!F)
                    qFatal("expected the file dialog");
                F->selectFile(Path);
                return int(QDialog::Accepted);
            });
            Command->trigger();
            QVERIFY(QFile::exists(Path));
            QCOMPARE(readPdf(Path).Pages.size(), W.Document().PageCount());
        }
    }

    // Opening the preview of a run without layouts shows nothing.
    void open_withoutLayoutsShowsNothing()
    {
        TRectManage Empty;
        TEngineLayouts None(Empty);
        bool Shown = false;
        Dialogs::setNextDialogHandler([&](QDialog &) {
            Shown = true;
            return int(QDialog::Rejected);
        });
        TfrmWorkshop::Open(None, { u"1"_s, {}, {} }, 0, nullptr);
        QVERIFY(!Shown);
        Dialogs::resetHooks();
    }
};

QTEST_MAIN(TestWorkshop)
#include "tst_workshop.moc"
