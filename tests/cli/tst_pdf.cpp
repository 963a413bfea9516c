// pnxcut --pdf: the layouts of a job printed into a PDF as the preview's 打印所有 prints them,
// without a display. The program runs from a copy in a temporary folder, so the print settings
// file beside it is the test's own.

#include "Dialogs.h"
#include "JobFile.h"
#include "PreviewFixture.h"
#include "PrintConfig.h"
#include "PrintLayouts.h"
#include "TypeSetClass.h"
#include "fmTypeSet.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString ExamplesDir()
{
    return QString::fromUtf8(PNX_EXAMPLES_DIR);
}

QByteArray ReadAll(const QString &Path)
{
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

void WriteAll(const QString &Path, const QByteArray &Bytes)
{
    QFile F(Path);
    QVERIFY(F.open(QIODevice::WriteOnly));
    QCOMPARE(F.write(Bytes), Bytes.size());
}

// Twelve layouts: each part fills a sheet of its own.
const QByteArray TwelveLayouts = [] {
    QByteArray job = "sheet 1000 800 4 20 板\n"_ba;
    for (int i = 1; i <= 12; ++i)
        job += "part " + QByteArray::number(900 - 10 * i) + " 700 1 门板" + QByteArray::number(i)
            + "\n";
    return job;
}();

struct TRun
{
    int Code = -1;
    QByteArray Out;
    QByteArray Err;
};

} // namespace

class TestCliPdf : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    QString FProgram;

    TRun Pnxcut(const QStringList &Args) { return Run(FProgram, Args); }
    TRun Run(const QString &Program, const QStringList &Args)
    {
        QProcess P;
        // No display and no platform chosen: the program must manage without both.
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.remove(u"DISPLAY"_s);
        Env.remove(u"WAYLAND_DISPLAY"_s);
        Env.remove(u"QT_QPA_PLATFORM"_s);
        // Nor a runtime folder, as under cron or a plain ssh login.
        Env.remove(u"XDG_RUNTIME_DIR"_s);
        // The user's folders are the test's own: never the real user's "Config".
        Env.insert(u"HOME"_s, FDir.filePath(u"home"_s));
        Env.remove(u"XDG_CONFIG_HOME"_s);
        Env.remove(u"XDG_DATA_HOME"_s);
        P.setProcessEnvironment(Env);
        P.start(Program, Args);
        TRun R;
        if (!P.waitForFinished(60000) || P.exitStatus() != QProcess::NormalExit)
            return R;
        R.Code = P.exitCode();
        R.Out = P.readAllStandardOutput();
        R.Err = P.readAllStandardError();
        return R;
    }

    TPdfText Text(const QString &Path)
    {
        QString Error;
        std::optional<TPdfText> T = ReadPdfText(Path, Error);
        if (!T)
            qFatal("%s", qPrintable(Error));
        return *T;
    }

private slots:
    void initTestCase()
    {
        Dialogs::setCapture(true); // messages are recorded, never shown modally
        QVERIFY(FDir.isValid());
        FProgram = FDir.filePath(u"pnxcut"_s);
        QVERIFY(QFile::copy(QString::fromUtf8(PNXCUT_PATH), FProgram));
        QVERIFY(QFile::setPermissions(
            FProgram, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        // The program loads what printing needs from its module beside it.
        QVERIFY(QFile::copy(QString::fromUtf8(PNXCUT_QT_PATH), FDir.filePath(u"pnxcut_qt.so"_s)));
        WriteAll(FDir.filePath(u"twelve.job"_s), TwelveLayouts);
        // A copy of the program whose folder holds a writable pnx.dat keeps "Config" beside it.
        WriteAll(FDir.filePath(u"pnx.dat"_s), "");
    }
    void init() { QFile::remove(FDir.filePath(u"Config"_s)); }

    // The PDF holds what the preview's 打印所有 prints from the results window after the same
    // run: the same words at the same places, the utilisation caption included; the records
    // on standard output are those of a run without --pdf.
    void pdf_isWhatPrintAllPrintsFromTheResultsWindow_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<int>("pages");
        QTest::newRow("twelve layouts") << FDir.filePath(u"twelve.job"_s) << 2;
        QTest::newRow("kitchen") << ExamplesDir() + u"/kitchen-cabinet.job"_s << 1;
        QTest::newRow("abnormal end") << ExamplesDir() + u"/wardrobe-incomplete.job"_s << 1;
    }
    void pdf_isWhatPrintAllPrintsFromTheResultsWindow()
    {
        QFETCH(QString, job);
        QFETCH(int, pages);
        const QString Pdf = FDir.filePath(u"out.pdf"_s);
        const TRun R = Pnxcut({ u"--pdf"_s, Pdf, job });
        QCOMPARE(R.Code, 0);
        // Standard error is for the program's own messages: none on success.
        QVERIFY2(R.Err.isEmpty(), R.Err.constData());
        const TRun Plain = Pnxcut({ job });
        QCOMPARE(R.Out, Plain.Out);
        const TPdfText Printed = Text(Pdf);
        QCOMPARE(Printed.Title, u"Tavrin优化切割打印"_s);
        QCOMPARE(Printed.Pages.size(), pages);

        // The same job run by the results window and printed from it.
        std::string Error;
        const std::optional<std::string> Content = cli::ReadWholeFile(job.toStdString(), Error);
        QVERIFY(Content);
        const cli::ParseOutcome Parsed = cli::ParseJob(*Content);
        QVERIFY(Parsed.Parsed);
        TRectManage Engine;
        cli::LoadJob(*Parsed.Parsed, Engine);
        auto *Window = new TfrmTypeSet(Engine);
        Window->actYHJS->trigger();
        const QString Utilisation = Window->Panel7->text();
        QCOMPARE(Utilisation.isEmpty(), Engine.Execpt());
        // An abnormal end names the parts left over; a complete run says nothing.
        QCOMPARE(Dialogs::takeCaptured().size(), Engine.Execpt() ? 1 : 0);
        const QString FromWindow = FDir.filePath(u"window.pdf"_s);
        PrintConfig = TPrintConfig();
        PrintToPdfFile(FromWindow, PdfPageLayout(),
            [&](TPrintPage &Page) { PrintAllLayouts(Page, *Window, PrintConfig); });
        const int Layouts = Window->LayoutCount();
        delete Window;
        QVERIFY(Layouts > 0);
        QCOMPARE(Printed.Pages.size(), PageCount(Layouts));
        const TPdfText Expected = Text(FromWindow);
        QCOMPARE(Printed.Words.size(), Expected.Words.size());
        for (qsizetype i = 0; i < Expected.Words.size(); ++i) {
            QCOMPARE(Printed.Words[i].Text, Expected.Words[i].Text);
            QCOMPARE(Printed.Words[i].Page, Expected.Words[i].Page);
            QVERIFY(qAbs(Printed.Words[i].Box.left() - Expected.Words[i].Box.left()) < 0.01);
            QVERIFY(qAbs(Printed.Words[i].Box.top() - Expected.Words[i].Box.top()) < 0.01);
        }
        // Every layout's caption, with the run's utilisation after a completed run only.
        int Captions = 0;
        for (const TPdfLine &L : Printed.Lines)
            if (L.Text.startsWith(u"切割"_s)) {
                ++Captions;
                QVERIFY2(L.Text.contains(u",出材率:"_s), qPrintable(L.Text));
                QCOMPARE(L.Text.contains(u"总利用率："_s), !Utilisation.isEmpty());
                if (!Utilisation.isEmpty())
                    QVERIFY(L.Text.endsWith(Utilisation));
            }
        QCOMPARE(Captions, Layouts);
        for (int P = 1; P <= pages; ++P)
            QCOMPARE(Printed.Find(u"Tavrin软件. 共%1页 第%2页"_s.arg(pages).arg(P)).size(), 1);
    }

    // The twelve layouts: the second page holds layouts 11 and 12 in its first row, each with
    // its part line.
    void pdf_secondPageHoldsTheLastLayouts()
    {
        const QString Pdf = FDir.filePath(u"twelve.pdf"_s);
        QCOMPARE(Pnxcut({ u"--pdf"_s, Pdf, FDir.filePath(u"twelve.job"_s) }).Code, 0);
        const TPdfText T = Text(Pdf);
        QStringList Second;
        for (const TPdfLine &L : T.OnPage(2))
            if (L.Text.startsWith(u"切割"_s) || L.Text.contains(u" :"_s))
                Second << L.Text;
        QCOMPARE(Second.size(), 4);
        QVERIFY(Second.filter(u"切割11:原片1000×800 1件,出材率:"_s).size() == 1);
        QVERIFY(Second.filter(u"切割12:原片1000×800 1件,出材率:"_s).size() == 1);
        // One part kind on each: "门板n :W×700 1件".
        QCOMPARE(Second.filter(QRegularExpression(u"^门板\\d+ :\\d+×700 1件$"_s)).size(), 2);
        const QList<TPdfLine> Eleven = T.Find(u"切割11:"_s);
        const QList<TPdfLine> Twelve = T.Find(u"切割12:"_s);
        QCOMPARE(Eleven[0].Box.top(), Twelve[0].Box.top());
        QVERIFY(Eleven[0].Box.left() < T.Pages[1].width() / 4);
        QVERIFY(Twelve[0].Box.left() > T.Pages[1].width() / 2 - 5);
        QVERIFY(Eleven[0].Box.bottom() < T.Pages[1].height() / 5);
    }

    // The settings file gives the margins, in millimetres: beside a program whose folder holds
    // a writable pnx.dat, else (an installed program) in the user's config folder.
    void pdf_usesTheSettingsOfTheDataPlace_data()
    {
        QTest::addColumn<bool>("portable");
        QTest::newRow("beside a portable program") << true;
        QTest::newRow("user's config folder") << false;
    }
    void pdf_usesTheSettingsOfTheDataPlace()
    {
        QFETCH(bool, portable);
        TPrintConfig C;
        C.LeftOffset = 20;
        C.TopOffset = 10;
        const QString Database = FDir.filePath(u"pnx.dat"_s);
        const QString UserConfig = FDir.filePath(u"home/.config/pnx"_s);
        QVERIFY(QDir().mkpath(UserConfig));
        const auto Restore = qScopeGuard([&] {
            WriteAll(Database, "");
            QFile::remove(UserConfig + u"/Config"_s);
        });
        if (portable) {
            WriteAll(FDir.filePath(u"Config"_s), ConfigStream(C));
            WriteAll(UserConfig + u"/Config"_s, ConfigStream(TPrintConfig {}));
        } else {
            QVERIFY(QFile::remove(Database));
            WriteAll(FDir.filePath(u"Config"_s), ConfigStream(TPrintConfig {}));
            WriteAll(UserConfig + u"/Config"_s, ConfigStream(C));
        }
        const QString Pdf = FDir.filePath(u"margins.pdf"_s);
        QCOMPARE(Pnxcut({ u"--pdf"_s, Pdf, FDir.filePath(u"twelve.job"_s) }).Code, 0);
        const QList<TPdfLine> First = Text(Pdf).Find(u"切割1:"_s);
        QCOMPARE(First.size(), 1);
        // 5 mm edge of the PDF page and 20 mm margin.
        QVERIFY(qAbs(First[0].Box.left() - 25 / 25.4 * 72) < 1.0);
    }

    // Failures: a message naming the cause, exit code 1 (2 for the command line itself), and
    // no PDF, an earlier file at the same name left whole.
    void pdf_failuresLeaveNoHalfFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("message");
        const QString Kitchen = ExamplesDir() + u"/kitchen-cabinet.job"_s;
        QTest::newRow("damaged settings")
            << QStringList { Kitchen } << "TPF0\x0CTPrintConfig\x00\x05Width\x02\x01\x00\x00"_ba
            << 1 << "pnxcut: print settings:"_ba;
        QTest::newRow("no layout") << QStringList { ExamplesDir() + u"/edge-nothing-wanted.job"_s }
                                   << QByteArray() << 1 << "pnxcut: no PDF written"_ba;
        QTest::newRow("unreadable job") << QStringList { FDir.filePath(u"missing.job"_s) }
                                        << QByteArray() << 2 << "pnxcut: cannot read"_ba;
    }
    void pdf_failuresLeaveNoHalfFile()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, config);
        QFETCH(int, code);
        QFETCH(QByteArray, message);
        if (!config.isEmpty())
            WriteAll(FDir.filePath(u"Config"_s), config);
        const QString Pdf = FDir.filePath(u"kept.pdf"_s);
        WriteAll(Pdf, "an earlier file");
        const TRun R = Pnxcut(QStringList { u"--pdf"_s, Pdf } + args);
        QCOMPARE(R.Code, code);
        QVERIFY2(R.Err.contains(message), R.Err.constData());
        QCOMPARE(ReadAll(Pdf), "an earlier file"_ba);
        QCOMPARE(QDir(FDir.path())
                     .entryList({ u"*.pdf"_s, u"*.pdf.*"_s }, QDir::Files)
                     .filter(u"kept"_s),
            QStringList { u"kept.pdf"_s });
    }

    void pdf_unwritableFolderOrMissingName()
    {
        const QString Kitchen = ExamplesDir() + u"/kitchen-cabinet.job"_s;
        const TRun R = Pnxcut({ u"--pdf"_s, FDir.filePath(u"no/such/folder/x.pdf"_s), Kitchen });
        QCOMPARE(R.Code, 1);
        QVERIFY2(R.Err.contains("pnxcut: cannot write"), R.Err.constData());
        const TRun Missing = Pnxcut({ u"--pdf"_s });
        QCOMPARE(Missing.Code, 2);
        QVERIFY(Missing.Err.contains("usage: pnxcut"));
    }

    // Without its module the program still writes records (and cut records); what needs Qt is
    // refused with a message before any run, and no file is written.
    void withoutModule_qtOutputsRefusedRecordsWritten()
    {
        QTemporaryDir Alone;
        QVERIFY(Alone.isValid());
        const QString Program = Alone.filePath(u"pnxcut"_s);
        QVERIFY(QFile::copy(FProgram, Program));
        QVERIFY(QFile::setPermissions(
            Program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QString Kitchen = ExamplesDir() + u"/kitchen-cabinet.job"_s;
        const TRun Records = Run(Program, { Kitchen });
        QCOMPARE(Records.Code, 0);
        QCOMPARE(Records.Out, ReadAll(ExamplesDir() + u"/expected/kitchen-cabinet.out"_s));
        const QString Pdf = Alone.filePath(u"x.pdf"_s);
        const QString Dir = Alone.filePath(u"drawings"_s);
        for (const QStringList &Args :
            { QStringList { u"--report"_s, Kitchen }, QStringList { u"--pdf"_s, Pdf, Kitchen },
                QStringList { u"--workshop"_s, Pdf, Kitchen },
                QStringList { u"--svg"_s, Dir, Kitchen },
                QStringList { u"--labels"_s, Pdf, Kitchen },
                QStringList { u"--convert"_s, Kitchen } }) {
            const TRun R = Run(Program, Args);
            QCOMPARE(R.Code, 2);
            QVERIFY(R.Out.isEmpty());
            const QByteArray Expected = "pnxcut: " + Args.first().toUtf8() + " is not available: ";
            QVERIFY2(R.Err.startsWith(Expected), R.Err.constData());
            QVERIFY2(R.Err.contains(".so"), R.Err.constData());
        }
        QVERIFY(!QFile::exists(Pdf));
        QVERIFY(!QFile::exists(Dir));
        const TRun Cuts = Run(Program, { u"--cuts"_s, Kitchen });
        QCOMPARE(Cuts.Code, 0);
        QCOMPARE(Cuts.Out, ReadAll(ExamplesDir() + u"/expected/kitchen-cabinet.cuts"_s));
    }

    // --workshop: the workshop printout of the same run, one layout a page headed with the job's
    // name and without a maker's line; the records on standard output stay those of the run
    // (with --cuts its cut plans too); failures leave no file.
    void workshop_onePageALayoutBesideTheRecords()
    {
        const QString Kitchen = ExamplesDir() + u"/kitchen-cabinet.job"_s;
        const QString Pdf = FDir.filePath(u"workshop.pdf"_s);
        const TRun R = Pnxcut({ u"--cuts"_s, u"--workshop"_s, Pdf, Kitchen });
        QCOMPARE(R.Code, 0);
        QVERIFY2(!R.Err.contains("pnxcut"), R.Err.constData());
        QCOMPARE(R.Out, ReadAll(ExamplesDir() + u"/expected/kitchen-cabinet.cuts"_s));
        const int Layouts = int(R.Out.count("\ngroup "));
        QVERIFY(Layouts >= 2);
        const TPdfText T = Text(Pdf);
        QCOMPARE(T.Pages.size(), Layouts);
        for (int p = 1; p <= Layouts; ++p) {
            bool Project = false, Layout = false, Numbered = false;
            for (const TPdfLine &L : T.OnPage(p)) {
                Project |= L.Text.contains(u"工程 kitchen-cabinet"_s);
                Layout |= L.Text.contains(u"排版 %1 / %2"_s.arg(p).arg(Layouts));
                Numbered |= L.Text.contains(u"第 %1 页 / 共 %2 页"_s.arg(p).arg(Layouts));
            }
            QVERIFY2(Project && Layout && Numbered, qPrintable(u"page %1"_s.arg(p)));
        }
        QVERIFY(T.Find(u"电话"_s).isEmpty());

        const QString Kept = FDir.filePath(u"kept-workshop.pdf"_s);
        WriteAll(Kept, "an earlier file");
        const TRun Nothing
            = Pnxcut({ u"--workshop"_s, Kept, ExamplesDir() + u"/edge-nothing-wanted.job"_s });
        QCOMPARE(Nothing.Code, 1);
        QVERIFY2(Nothing.Err.contains("pnxcut: no workshop PDF written"), Nothing.Err.constData());
        QCOMPARE(ReadAll(Kept), "an earlier file"_ba);
        const TRun Unwritable
            = Pnxcut({ u"--workshop"_s, FDir.filePath(u"no/such/folder/x.pdf"_s), Kitchen });
        QCOMPARE(Unwritable.Code, 1);
        QVERIFY2(Unwritable.Err.contains("pnxcut: cannot write"), Unwritable.Err.constData());
        const TRun Missing = Pnxcut({ u"--workshop"_s });
        QCOMPARE(Missing.Code, 2);
        QVERIFY(Missing.Err.contains("usage: pnxcut"));
    }
};

QTEST_MAIN(TestCliPdf)
#include "tst_pdf.moc"
