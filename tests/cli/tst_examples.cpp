// The example jobs: pnxcut's output on each must equal the stored expected output byte for byte,
// and each layout must keep the layout rules (and, for jobs in the deep mode, be cut by
// guillotine cuts and place every part). pnxcut --cuts gives every layout a sequence of cuts that
// replays on its sheet, or "none" exactly for the layouts no edge-to-edge cuts can separate.
#include "CutPlan.h"
#include "JobFile.h"
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <QDir>
#include <QProcess>
#include <QtTest>
#include <cstdio>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

QString ExamplesDir()
{
    return QString::fromUtf8(PNX_EXAMPLES_DIR);
}

// The stored output of a job: ".out" for the result records, ".report" for --report.
QString ExpectedPath(const QString &Job, const QString &Suffix = u".out"_s)
{
    return ExamplesDir() + u"/expected/"_s + QFileInfo(Job).completeBaseName() + Suffix;
}

QByteArray ReadAll(const QString &Path)
{
    QFile F(Path);
    if (!F.open(QIODevice::ReadOnly))
        return QByteArray();
    return F.readAll();
}

} // namespace

class TestCliExamples : public QObject
{
    Q_OBJECT

private slots:
    void everyJobHasExpectedOutputAndBack();
    void pnxcut_matchesExpectedOutput_data();
    void pnxcut_matchesExpectedOutput();
    void examples_keepLayoutRules_data();
    void examples_keepLayoutRules();
    void cuts_matchExpectedOutput_data();
    void cuts_matchExpectedOutput();
    void cuts_replayOnEveryLayout_data();
    void cuts_replayOnEveryLayout();
};

void TestCliExamples::everyJobHasExpectedOutputAndBack()
{
    const QStringList Jobs = QDir(ExamplesDir()).entryList({ u"*.job"_s }, QDir::Files);
    QVERIFY(Jobs.size() >= 3);
    QVERIFY(Jobs.contains(u"kitchen-cabinet.job"_s));
    for (const QString &Job : Jobs)
        for (const QString &Suffix : { u".out"_s, u".report"_s })
            QVERIFY2(QFile::exists(ExpectedPath(Job, Suffix)),
                qPrintable(u"no expected "_s + Suffix + u" for "_s + Job));
    const QStringList Outputs
        = QDir(ExamplesDir() + u"/expected"_s)
              .entryList({ u"*.out"_s, u"*.report"_s, u"*.cuts"_s }, QDir::Files);
    for (const QString &Out : Outputs)
        QVERIFY2(Jobs.contains(QFileInfo(Out).completeBaseName() + u".job"_s),
            qPrintable(u"expected output without a job: "_s + Out));
}

void TestCliExamples::pnxcut_matchesExpectedOutput_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("suffix");
    for (const QString &Job : QDir(ExamplesDir()).entryList({ u"*.job"_s }, QDir::Files)) {
        QTest::newRow(qPrintable(Job)) << ExamplesDir() + u'/' + Job << QStringList() << u".out"_s;
        QTest::newRow(qPrintable(Job + u" --report"_s))
            << ExamplesDir() + u'/' + Job << QStringList { u"--report"_s } << u".report"_s;
    }
}

void TestCliExamples::pnxcut_matchesExpectedOutput()
{
    QFETCH(QString, job);
    QFETCH(QStringList, options);
    QFETCH(QString, suffix);
    QVERIFY(QFile::exists(ExpectedPath(job, suffix)));
    QProcess P;
    P.start(QString::fromUtf8(PNXCUT_PATH), options + QStringList { job });
    QVERIFY(P.waitForFinished(60000));
    QCOMPARE(P.exitStatus(), QProcess::NormalExit);
    QCOMPARE(P.exitCode(), 0);
    QCOMPARE(P.readAllStandardError(), QByteArray());
    const QByteArray Actual = P.readAllStandardOutput();
    const QByteArray Expected = ReadAll(ExpectedPath(job, suffix));
    QVERIFY(!Expected.isEmpty());
    if (Actual != Expected) {
        // Point at the first line that differs.
        const QList<QByteArray> A = Actual.split('\n'), E = Expected.split('\n');
        for (qsizetype i = 0; i < std::max(A.size(), E.size()); ++i) {
            const QByteArray L = i < A.size() ? A[i] : QByteArray("(end)");
            const QByteArray R = i < E.size() ? E[i] : QByteArray("(end)");
            if (L != R)
                QFAIL(qPrintable(u"line %1: got \"%2\", expected \"%3\""_s.arg(i + 1).arg(
                    QString::fromUtf8(L), QString::fromUtf8(R))));
        }
    }
    QCOMPARE(Actual, Expected);
}

void TestCliExamples::examples_keepLayoutRules_data()
{
    QTest::addColumn<QString>("job");
    for (const QString &Job : QDir(ExamplesDir()).entryList({ u"*.job"_s }, QDir::Files))
        QTest::newRow(qPrintable(Job)) << ExamplesDir() + u'/' + Job;
}

void TestCliExamples::examples_keepLayoutRules()
{
    QFETCH(QString, job);
    const QByteArray Text = ReadAll(job);
    const cli::ParseOutcome R
        = cli::ParseJob(std::string_view(Text.constData(), std::size_t(Text.size())));
    QVERIFY2(R.Parsed, R.Error.Message.c_str());
    TRectManage E;
    cli::LoadJob(*R.Parsed, E);
    std::vector<enginetest::Event> Events;
    E.SetOnNewRectList([&Events](int G, int B, int C) { Events.push_back({ G, B, C }); });
    cli::RunEngine(*R.Parsed, E);
    E.GetTotalBC();
    std::vector<std::string> Broken = enginetest::CheckLayout(E, Events);
    if (R.Parsed->Deep) {
        for (const std::string &Line : enginetest::CheckGuillotine(E))
            Broken.push_back(Line);
        QVERIFY(!E.Execpt());
    }
    for (const std::string &Line : Broken)
        qWarning("%s", Line.c_str());
    QVERIFY(Broken.empty());
}

// The jobs with stored --cuts output (a few: the records before the cuts are those of the
// ".out" files already).
void TestCliExamples::cuts_matchExpectedOutput_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("suffix");
    const QStringList Stored
        = QDir(ExamplesDir() + u"/expected"_s).entryList({ u"*.cuts"_s }, QDir::Files);
    QVERIFY(Stored.contains(u"edge-cannot-cut.cuts"_s));
    for (const QString &Cuts : Stored)
        QTest::newRow(qPrintable(Cuts))
            << ExamplesDir() + u'/' + QFileInfo(Cuts).completeBaseName() + u".job"_s
            << QStringList { u"--cuts"_s } << u".cuts"_s;
}

void TestCliExamples::cuts_matchExpectedOutput()
{
    pnxcut_matchesExpectedOutput();
}

void TestCliExamples::cuts_replayOnEveryLayout_data()
{
    examples_keepLayoutRules_data();
}

void TestCliExamples::cuts_replayOnEveryLayout()
{
    QFETCH(QString, job);
    QProcess Proc;
    Proc.start(QString::fromUtf8(PNXCUT_PATH), { u"--cuts"_s, job });
    QVERIFY(Proc.waitForFinished(60000));
    QCOMPARE(Proc.exitCode(), 0);
    // The cut records by layout.
    std::map<int, std::vector<enginetest::CutLine>> Cuts;
    std::map<int, std::vector<enginetest::Piece>> Offcuts;
    std::set<int> None;
    for (const QByteArray &Line : Proc.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> F = Line.split(' ');
        if (F.isEmpty() || !(F[0] == "cut" || F[0] == "offcut" || F[0] == "cuts"))
            continue;
        const int G = F.value(1).toInt();
        if (F[0] == "cuts") {
            QCOMPARE(F.value(2), QByteArray("none"));
            None.insert(G);
            continue;
        }
        QCOMPARE(F.size(), F[0] == "cut" ? 7 : 6);
        if (F[0] == "cut") {
            QCOMPARE(F[2].toInt(), int(Cuts[G].size()) + 1); // numbered 1..n
            Cuts[G].push_back(
                { F[3].toLongLong(), F[4].toLongLong(), F[5].toLongLong(), F[6].toLongLong() });
        } else {
            Offcuts[G].push_back(
                { F[2].toLongLong(), F[3].toLongLong(), F[4].toLongLong(), F[5].toLongLong() });
        }
    }

    // The same run in this process: its layouts, and those the layout checker cannot separate.
    const QByteArray Text = ReadAll(job);
    const cli::ParseOutcome R
        = cli::ParseJob(std::string_view(Text.constData(), std::size_t(Text.size())));
    QVERIFY(R.Parsed);
    TRectManage E;
    cli::LoadJob(*R.Parsed, E);
    cli::RunEngine(*R.Parsed, E);
    std::set<int> Uncuttable;
    for (const std::string &Line : enginetest::CheckGuillotine(E, 100000)) {
        int G = 0;
        if (std::sscanf(Line.c_str(), "group %d", &G) == 1)
            Uncuttable.insert(G);
    }
    QCOMPARE(None, Uncuttable);
    for (int i = 0; i < E.GroupList().Count(); ++i) {
        const TMaterialType &Group = *E.GroupList().GetItem(i);
        const int G = Group.Group();
        std::vector<enginetest::Piece> Parts;
        for (const TCutPart &P : LayoutParts(E, G))
            Parts.push_back({ P.X, P.Y, P.Width, P.Height });
        if (Parts.empty() || None.count(G)) {
            QVERIFY(!Cuts.count(G) && !Offcuts.count(G));
            continue;
        }
        int Kerf = 0;
        for (int k = 0; k < E.CreateRectList().Count(); ++k)
            if (E.CreateRectList().GetItem(k)->Group() == G)
                Kerf = E.CreateRectList().GetItem(k)->Blade();
        const std::string Broken = enginetest::ReplayCuts(
            Group.Width(), Group.Height(), Kerf, Cuts[G], Parts, Offcuts[G]);
        QVERIFY2(Broken.empty(),
            qPrintable(u"layout %1: %2"_s.arg(G).arg(QString::fromStdString(Broken))));
    }
}

QTEST_APPLESS_MAIN(TestCliExamples)
#include "tst_examples.moc"
