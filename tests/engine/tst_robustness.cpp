// Input the engine must survive: zero, negative and huge sizes, quantities and kerfs, prices that
// are not numbers, empty lists. Every run must end, keep the layout rules and never use a part
// or sheet kind that makes no sense.
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <climits>
#include <limits>

using namespace Qt::StringLiterals;
using namespace enginetest;

namespace {

void CheckRules(TRectManage &E, const std::vector<Event> &Events, const GenJob &J)
{
    const std::vector<std::string> Broken = CheckLayout(E, Events);
    for (const std::string &Line : Broken)
        qWarning("%s", Line.c_str());
    if (!Broken.empty())
        QFAIL(qPrintable(u"layout rules broken; job:\n"_s + QString::fromStdString(JobText(J))));
}

int MostStripsInAGroup(TRectManage &E)
{
    std::map<int, int> PerGroup;
    int Most = 0;
    for (int i = 0; i < E.CreateRectList().Count(); ++i)
        Most = std::max(Most, ++PerGroup[E.CreateRectList().GetItem(i)->Group()]);
    return Most;
}

} // namespace

class TestEngineRobustness : public QObject
{
    Q_OBJECT

private slots:
    void extremeJobs_data();
    void extremeJobs();
    void priceNotANumber_data();
    void priceNotANumber();
    void hostileJobs_endAndKeepRules();
    void manyPartKinds_groupLimitGrowsWithThem();
};

void TestEngineRobustness::extremeJobs_data()
{
    QTest::addColumn<QList<QList<int>>>("sheets"); // length, width, kerf
    QTest::addColumn<QList<QList<int>>>("parts"); // length, width, quantity
    QTest::addColumn<int>("expectedPlaced"); // -1: do not check
    QTest::addColumn<bool>("expectedExecpt");

    const int Max = INT_MAX, Min = INT_MIN;
    QTest::newRow("empty lists") << QList<QList<int>> {} << QList<QList<int>> {} << 0 << false;
    QTest::newRow("zero-size parts, kerf 0")
        << QList<QList<int>> { { 1000, 500, 0 } }
        << QList<QList<int>> { { 0, 0, 3 }, { 0, 100, 2 }, { 100, 0, 1 } } << 0 << true;
    QTest::newRow("negative sizes")
        << QList<QList<int>> { { -1000, -500, 0 }, { 1000, 500, 0 } }
        << QList<QList<int>> { { -100, -100, 3 }, { 100, 100, 2 } } << 2 << true;
    QTest::newRow("negative and zero quantities")
        << QList<QList<int>> { { 1000, 500, 0 } }
        << QList<QList<int>> { { 100, 100, -5 }, { 100, 100, 0 }, { 100, 100, Min } } << 0 << false;
    QTest::newRow("negative kerf") << QList<QList<int>> { { 1000, 500, -5 }, { 1000, 500, Min } }
                                   << QList<QList<int>> { { 100, 100, 1 } } << 0 << true;
    QTest::newRow("kerf wider than the sheet")
        << QList<QList<int>> { { 1000, 500, 1001 }, { 1000, 500, Max } }
        << QList<QList<int>> { { 100, 100, 1 } } << 0 << true;
    QTest::newRow("largest part on largest sheet")
        << QList<QList<int>> { { Max, Max, 0 } } << QList<QList<int>> { { Max, Max, 3 } } << 3
        << false;
    QTest::newRow("largest sheet and kerf")
        << QList<QList<int>> { { Max, Max, Max } }
        << QList<QList<int>> { { 1, 1, 5 }, { Max, 1, 1 } } << 0 << true;
    QTest::newRow("most negative everything")
        << QList<QList<int>> { { Min, Min, Min } } << QList<QList<int>> { { Min, Min, Min } } << 0
        << false;
    QTest::newRow("huge quantities of small parts on a huge sheet")
        << QList<QList<int>> { { Max, Max, 1 } }
        << QList<QList<int>> { { 1, 1, Max }, { 3, 2, Max }, { 7, 5, Max } } << -1 << false;
    QTest::newRow("quantities whose sum passes 32 bits")
        << QList<QList<int>> { { 2440, 1220, 4 } }
        << QList<QList<int>> { { 2000, 1000, Max }, { 2000, 1000, Max } } << -1 << false;
    // Millimetre parts on a sheet hundreds of kilometres long: thousands of strips per sheet
    // and a staircase of free rectangles; the packing limits keep this to a few seconds.
    QTest::newRow("very long sheet, many strips")
        << QList<QList<int>> { { 900498553, 560, 4 } }
        << QList<QList<int>> { { 2, 2628, 2147482678 } } << -1 << false;
}

void TestEngineRobustness::extremeJobs()
{
    QFETCH(QList<QList<int>>, sheets);
    QFETCH(QList<QList<int>>, parts);
    QFETCH(int, expectedPlaced);
    QFETCH(bool, expectedExecpt);
    GenJob J;
    for (const QList<int> &S : sheets)
        J.Sheets.push_back({ S[0], S[1], S[2], 10.0, "S" + std::to_string(J.Sheets.size()) });
    for (const QList<int> &P : parts)
        J.Parts.push_back({ P[0], P[1], P[2], "P" + std::to_string(J.Parts.size()) });
    for (int Options = 0; Options < 4; ++Options) {
        J.UseCost = Options & 1;
        J.UseBigSheet = Options & 2;
        TRectManage E;
        const std::vector<Event> Events = RunJob(J, E);
        CheckRules(E, Events, J);
        if (expectedPlaced >= 0)
            QCOMPARE(E.MaterialTypeList().GetUsedSumCount(), expectedPlaced);
        QCOMPARE(E.Execpt(), expectedExecpt);
        QVERIFY(MostStripsInAGroup(E) <= TRectManage::MaxStripsPerSheet);
        QVERIFY(E.GroupList().Count() <= TRectManage::MaxGroups);
    }
}

void TestEngineRobustness::priceNotANumber_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<bool>("useCost");
    QTest::addColumn<bool>("expectedExecpt");
    const double Nan = std::numeric_limits<double>::quiet_NaN();
    const double Inf = std::numeric_limits<double>::infinity();
    QTest::newRow("NaN by cost") << Nan << true << true;
    QTest::newRow("infinite by cost") << Inf << true << true;
    QTest::newRow("minus infinite by cost") << -Inf << true << false;
    QTest::newRow("largest by cost") << std::numeric_limits<double>::max() << true << true;
    QTest::newRow("NaN by utilisation") << Nan << false << false;
}

void TestEngineRobustness::priceNotANumber()
{
    QFETCH(double, price);
    QFETCH(bool, useCost);
    QFETCH(bool, expectedExecpt);
    GenJob J;
    J.Sheets.push_back({ 2440, 1220, 4, price, "S" });
    J.Parts.push_back({ 600, 400, 5, "P" });
    J.UseCost = useCost;
    TRectManage E;
    const std::vector<Event> Events = RunJob(J, E);
    QCOMPARE(E.Execpt(), expectedExecpt);
    CheckRules(E, Events, J);
}

void TestEngineRobustness::hostileJobs_endAndKeepRules()
{
    for (int Seed = 0; Seed < 300; ++Seed) {
        Random R(static_cast<std::uint64_t>(Seed));
        const GenJob J = HostileJob(R);
        TRectManage E;
        const std::vector<Event> Events = RunJob(J, E);
        CheckRules(E, Events, J);
        QVERIFY(MostStripsInAGroup(E) <= TRectManage::MaxStripsPerSheet);
    }
}

void TestEngineRobustness::manyPartKinds_groupLimitGrowsWithThem()
{
    // A large but ordinary job: 9,000 part kinds need more layout groups than the fixed floor of
    // the limit; the limit grows with the number of part kinds, so the run still completes.
    Random R(7);
    const GenJob J = BenchmarkJob(R, 9000, 10, 25);
    TRectManage E;
    const std::vector<Event> Events = RunJob(J, E);
    QCOMPARE(E.GroupLimit(), 9000 * TRectManage::MaxGroupsPerPartKind);
    QVERIFY(E.GroupList().Count() > TRectManage::MaxGroups);
    QVERIFY(!E.Execpt());
    CheckRules(E, Events, J);

    TRectManage Few;
    Few.Add(100, 100, 1);
    QCOMPARE(Few.GroupLimit(), TRectManage::MaxGroups);
}

QTEST_APPLESS_MAIN(TestEngineRobustness)
#include "tst_robustness.moc"
