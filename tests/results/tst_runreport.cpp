#include "RunReport.h"
#include "TypeSetClass.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TMaterialType *addStrip(TRectManage &e, int group, int x, int y, int count, int blade = 0)
{
    TMaterialType *r = e.CreateRectList().Add();
    r->SetGroup(group);
    r->SetX(x);
    r->SetY(y);
    r->SetCount(count);
    r->SetBlade(blade);
    r->SetWidth(100);
    r->SetHeight(100);
    return r;
}

TMaterialType *addSheet(TRectManage &e, const char *name, int w, int h, int blade, double price)
{
    TMaterialType *s = e.AddBC(w, h);
    s->SetText(name);
    s->SetBlade(blade);
    s->SetPrice(price);
    return s;
}

} // namespace

class TestRunReport : public QObject
{
    Q_OBJECT
private slots:
    void generalDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 650.0 << u"650"_s;
        QTest::newRow("square metres") << 19535250 / 1e6 << u"19.53525"_s;
        QTest::newRow("half") << 12.5 << u"12.5"_s;
        QTest::newRow("fraction") << 0.75 << u"0.75"_s;
        QTest::newRow("binary noise cut at 15 digits") << 0.1 + 0.2 << u"0.3"_s;
        QTest::newRow("sum of prices") << 3 * 33.3 << u"99.9"_s;
        QTest::newRow("zero") << 0.0 << u"0"_s;
        QTest::newRow("negative") << -2.5 << u"-2.5"_s;
        QTest::newRow("large, no exponent") << 1e20 << u"100000000000000000000"_s;
        QTest::newRow("small, no exponent") << 1.5e-7 << u"0.00000015"_s;
        QTest::newRow("15 digits kept") << 123456789.012345 << u"123456789.012345"_s;
    }
    void generalDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(GeneralDecimal(value), text);
    }

    void totalUtilisation_roundsHalfToEven_data()
    {
        QTest::addColumn<qint64>("parts");
        QTest::addColumn<qint64>("net");
        QTest::addColumn<int>("percent");
        QTest::newRow("12.5 -> 12") << qint64(1000000) << qint64(8000000) << 12;
        QTest::newRow("37.5 -> 38") << qint64(3000000) << qint64(8000000) << 38;
        QTest::newRow("81.3 -> 81") << qint64(813) << qint64(1000) << 81;
        // Exact halves that a binary quotient misses (54.50000000000001, 57.49999999999999).
        QTest::newRow("54.5 -> 54") << qint64(545) << qint64(1000) << 54;
        QTest::newRow("57.5 -> 58") << qint64(575) << qint64(1000) << 58;
        QTest::newRow("just above a half") << qint64(545001) << qint64(1000000) << 55;
        QTest::newRow("huge areas") << qint64(4611686018427387904) << qint64(9223372036854775807)
                                    << 50;
        QTest::newRow("kerf allowance above the sheets") << qint64(150) << qint64(-100) << -150;
        QTest::newRow("all of it") << qint64(5) << qint64(5) << 100;
        QTest::newRow("no sheets") << qint64(0) << qint64(0) << 0;
    }
    void totalUtilisation_roundsHalfToEven()
    {
        QFETCH(qint64, parts);
        QFETCH(qint64, net);
        QFETCH(int, percent);
        QCOMPARE(TotalUtilisation(parts, net), percent);
    }

    // Each part of a strip that does not touch the left edge counts the kerf once, and once more
    // when it does not touch the top edge.
    void bladeSum_countsPartsAwayFromTheLeftAndTopEdges()
    {
        TRectManage e;
        addStrip(e, 1, 0, 0, 5);
        QCOMPARE(GetBladeSum(e, 4, 1), 0);
        addStrip(e, 2, 0, 600, 3);
        QCOMPARE(GetBladeSum(e, 4, 2), 12);
        addStrip(e, 3, 800, 600, 3);
        QCOMPARE(GetBladeSum(e, 4, 3), 24);
        QCOMPARE(GetBladeSum(e, 4, -1), 36);
        QCOMPARE(GetBladeSum(e, 4, 9), 0);
        // On a trimmed sheet the edges of the area inside the trim count as the sheet's.
        addStrip(e, 4, 10, 10, 2);
        addStrip(e, 4, 10, 600, 3);
        QCOMPARE(GetBladeSum(e, 4, 4, 0, 10), 12);
        QCOMPARE(GetBladeSum(e, 4, 4), 16 + 24);
    }

    void layoutTotals_twoLayouts_andTheClosingEventOfAnAbnormalEnd()
    {
        TRectManage e;
        addSheet(e, "大板", 2440, 1220, 0, 100);
        addSheet(e, "小板", 1830, 915, 0, 50);
        addStrip(e, 2, 0, 600, 3); // kerf of sheet 1 is 0: no allowance
        double price = 0;
        qint64 gross = 0, net = 0;
        AddLayoutTotals(e, 1, 0, 6, price, gross, net);
        AddLayoutTotals(e, 2, 1, 1, price, gross, net);
        AddLayoutTotals(e, 3, -1, 0, price, gross, net);
        QCOMPARE(price, 650.0);
        QCOMPARE(gross, qint64(19535250));
        QCOMPARE(net, gross);
        QCOMPARE(GeneralDecimal(gross / 1e6), u"19.53525"_s);

        e.BCTypeList().Items(1)->SetBlade(4);
        net = gross = 0;
        AddLayoutTotals(e, 2, 1, 1, price, gross, net);
        QCOMPARE(gross - net, qint64(12));
    }

    // A whole run through the engine: an unused sheet kind keeps its position in 序号, 金额 is
    // truncated (3 x 33.3 = 99.9 gives 99), and the part summary follows each layout.
    void report_ofARun()
    {
        TRectManage e;
        addSheet(e, "小样", 100, 100, 0, 1);
        addSheet(e, "板", 1000, 500, 0, 33.3);
        e.Add(500, 500, 6)->SetText("方块");
        e.GoWork();
        e.GetTotalBC();
        QVERIFY(!e.Execpt());
        const QStringList expected {
            u"===共使用 1 种原片==="_s,
            u"===总成本：99.9==="_s,
            u"===================="_s,
            u"序号:2"_s,
            u"原片名称:板"_s,
            u"原片规格:1000 x 500"_s,
            u"原片面积:500000"_s,
            u"用    量:3"_s,
            u"金    额:99"_s,
            u"===共有 1 种切割方案==="_s,
            u"===================="_s,
            u"切割方案:1"_s,
            u"原片名称:板"_s,
            u"原片规格:1000 x 500"_s,
            u"原片面积:500000"_s,
            u"零件面积:500000"_s,
            u"利 用 率:100"_s,
            u"用    量:3"_s,
            u"  ===共切割 1 种共 2 件==="_s,
            u"  ===================="_s,
            u"  零件名称:方块"_s,
            u"  零件规格:500 x 500"_s,
            u"  零件面积:250000"_s,
            u"  零件数量:2"_s,
        };
        QCOMPARE(ReportLines(e, CostCaption(99.9)), expected);
    }

    void report_withoutACompletedRun_hasSixEqualsSignsForTheCost()
    {
        TRectManage e;
        addSheet(e, "板", 1000, 500, 0, 10);
        e.Add(2000, 500, 1); // fits no sheet: the run ends abnormally
        e.GoWork();
        e.GetTotalBC();
        QVERIFY(e.Execpt());
        QCOMPARE(ReportLines(e, QString()),
            (QStringList {
                u"===共使用 0 种原片==="_s, u"======"_s, u"===共有 0 种切割方案==="_s }));
    }

    void captions()
    {
        QCOMPARE(SheetCountCaption(7), u"原材料总数：7"_s);
        QCOMPARE(UtilisationCaption(81), u"总利用率：81%"_s);
        QCOMPARE(CostCaption(650), u"总成本：650"_s);
    }
};

QTEST_MAIN(TestRunReport)
#include "tst_runreport.moc"
