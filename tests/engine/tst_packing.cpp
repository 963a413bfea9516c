// Packing one sheet: the order of free rectangles, the choice of strip, the start and end test,
// the strip test that keeps parts a kerf apart, the remainders and the input the packer refuses.
#include "TypeSetClass.h"

#include <QtTest>

#include <climits>
#include <memory>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString q(const std::string &S)
{
    return QString::fromStdString(S);
}

// Part kinds as "W H Count [Used]" separated by ';'.
void LoadParts(TRectManage &E, const QString &Rows)
{
    E.MaterialTypeList().Clear();
    for (const QString &Item : Rows.split(u';', Qt::SkipEmptyParts)) {
        const QStringList F = Item.simplified().split(u' ');
        TMaterialType &P = *E.MaterialTypeList().Add();
        P.SetWidth(std::max(F[0].toInt(), F[1].toInt()));
        P.SetHeight(std::min(F[0].toInt(), F[1].toInt()));
        P.SetCount(F[2].toInt());
        P.SetUsedCount(F.size() > 3 ? F[3].toInt() : 0);
    }
}

// A strip as "X,Y WxH H|Vk #part".
QString Describe(const TMaterialType &S)
{
    return u"%1,%2 %3x%4 %5%6 #%7"_s.arg(S.X())
        .arg(S.Y())
        .arg(S.Width())
        .arg(S.Height())
        .arg(S.Range() == TOrient::horizontal ? u"H"_s : u"V"_s)
        .arg(S.Count())
        .arg(S.Data);
}

QString Strips(TRectManage &E)
{
    QStringList Out;
    for (int i = 0; i < E.CreateMaterialList().Count(); ++i)
        Out << Describe(*E.CreateMaterialList().GetItem(i));
    return Out.join(u"; "_s);
}

QString UsedCounts(TRectManage &E)
{
    QStringList Out;
    for (int i = 0; i < E.MaterialTypeList().Count(); ++i)
        Out << QString::number(E.MaterialTypeList().GetItem(i)->UsedCount());
    return Out.join(u' ');
}

QString FreeList(const TRectManage &E)
{
    QStringList Out;
    for (const auto &R : E.NullRectList())
        Out << u"(%1,%2,%3,%4)"_s.arg(R->Left).arg(R->Top).arg(R->Right).arg(R->Bottom);
    return Out.join(u' ');
}

// A strip as the packer would make it in the corner of F.
std::unique_ptr<TMaterialType> MakeStrip(
    const TRect &F, int W, int H, bool Row, int Count, int Kerf, int Part = 0)
{
    auto M = std::make_unique<TMaterialType>();
    M->SetWidth(W);
    M->SetHeight(H);
    M->SetOrient(W >= H ? TOrient::horizontal : TOrient::vertical);
    M->SetRange(Row ? TOrient::horizontal : TOrient::vertical);
    M->SetCount(Count);
    M->Data = Part;
    if (Row) {
        M->SetMaxWidth(
            std::int64_t(F.Left) + std::int64_t(Count) * W + std::int64_t(Count - 1) * Kerf);
        M->SetMaxHieght(std::int64_t(F.Top) + H);
    } else {
        M->SetMaxWidth(std::int64_t(F.Left) + W);
        M->SetMaxHieght(
            std::int64_t(F.Top) + std::int64_t(Count) * H + std::int64_t(Count - 1) * Kerf);
    }
    return M;
}

// "X Y W H R K" strips separated by ';', placed on the sheet without any test.
void PutPlaced(TRectManage &E, const QString &Rows, int Kerf)
{
    for (const QString &Item : Rows.split(u';', Qt::SkipEmptyParts)) {
        const QStringList F = Item.simplified().split(u' ');
        const TRect At { F[0].toInt(), F[1].toInt(), INT_MAX, INT_MAX };
        auto M = MakeStrip(At, F[2].toInt(), F[3].toInt(), F[4] == u"H"_s, F[5].toInt(), Kerf);
        M->SetX(At.Left);
        M->SetY(At.Top);
        E.CreateMaterialList().Add()->Assign(*M);
    }
}

} // namespace

class TestEnginePacking : public QObject
{
    Q_OBJECT

private slots:
    void getMaxNullRect_partialExchangeOrder_data();
    void getMaxNullRect_partialExchangeOrder();
    void getMaxNullRect_emptyList();
    void pack_layouts_data();
    void pack_layouts();
    void getMaterialTypeGroup_turnsEveryKindAndRaisesChosen();
    void getMaterialTypeGroup_nothingFits();
    void placeStrip_startEndAndStripTests_data();
    void placeStrip_startEndAndStripTests();
    void placeStrip_remainders_data();
    void placeStrip_remainders();
    void placeStrip_freeListIsCapped();
    void getNullRect_refusesUnusableSheets_data();
    void getNullRect_refusesUnusableSheets();
    void nullRects_addAndDeleteByIdentity();
};

void TestEnginePacking::getMaxNullRect_partialExchangeOrder_data()
{
    QTest::addColumn<QList<int>>("areas");
    QTest::addColumn<QList<int>>("expectedOrder"); // original positions, front to back
    // Pass i compares position i with i+1 .. n-1-i only, so the rest is only partly sorted.
    QTest::newRow("ascending five") << QList<int> { 1, 2, 3, 4, 5 } << QList<int> { 4, 2, 0, 1, 3 };
    QTest::newRow("eight") << QList<int> { 3, 1, 4, 1, 5, 9, 2, 6 }
                           << QList<int> { 5, 4, 2, 3, 1, 0, 6, 7 };
    QTest::newRow("equal largest: lower position first")
        << QList<int> { 2, 5, 5, 1 } << QList<int> { 1, 2, 0, 3 };
    QTest::newRow("all equal: unchanged") << QList<int> { 7, 7, 7 } << QList<int> { 0, 1, 2 };
    QTest::newRow("single") << QList<int> { 4 } << QList<int> { 0 };
    QTest::newRow("largest last of two") << QList<int> { 1, 2 } << QList<int> { 1, 0 };
}

void TestEnginePacking::getMaxNullRect_partialExchangeOrder()
{
    QFETCH(QList<int>, areas);
    QFETCH(QList<int>, expectedOrder);
    TRectManage E;
    // Rectangle k is 1 high with the given area and Left = 1000 k, so its content names it.
    for (int k = 0; k < areas.size(); ++k)
        E.AddNullRect(std::make_unique<TRect>(TRect { 1000 * k, 0, 1000 * k + areas[k], 1 }));
    std::vector<const TRect *> Before;
    for (const auto &R : E.NullRectList())
        Before.push_back(R.get());

    TRect *Max = E.GetMaxNullRect();
    QCOMPARE(Max, E.NullRectList().front().get());
    QList<int> Order;
    for (std::size_t k = 0; k < E.NullRectList().size(); ++k) {
        // Contents moved, the records stayed where they were.
        QCOMPARE(E.NullRectList()[k].get(), Before[k]);
        Order << E.NullRectList()[k]->Left / 1000;
    }
    QCOMPARE(Order, expectedOrder);
}

void TestEnginePacking::getMaxNullRect_emptyList()
{
    TRectManage E;
    QVERIFY(!E.GetMaxNullRect());
}

void TestEnginePacking::pack_layouts_data()
{
    QTest::addColumn<int>("sheetWidth");
    QTest::addColumn<int>("sheetHeight");
    QTest::addColumn<int>("kerf");
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QString>("expectedStrips");
    QTest::addColumn<QString>("expectedUsed");

    QTest::newRow("turned row of 5, then three columns with no leftover")
        << 1000 << 500 << 0 << u"300 200 10"_s
        << u"0,0 200x300 H5 #0; 0,300 300x200 V1 #0; 300,300 300x200 V1 #0; 600,300 300x200 V1 #0"_s
        << u"8"_s;
    QTest::newRow("kerf 5: rows of 3 with leftover 90")
        << 1000 << 500 << 5 << u"300 200 10"_s << u"0,0 300x200 H3 #0; 0,205 300x200 H3 #0"_s
        << u"6"_s;
    QTest::newRow("kerf after every part: 310 takes 2")
        << 310 << 100 << 5 << u"100 100 10"_s << u"0,0 100x100 H2 #0"_s << u"2"_s;
    QTest::newRow("kerf after every part: 315 takes 3")
        << 315 << 100 << 5 << u"100 100 10"_s << u"0,0 100x100 H3 #0"_s << u"3"_s;
    QTest::newRow("part as wide as the sheet forms a column")
        << 100 << 300 << 5 << u"100 100 3"_s << u"0,0 100x100 V2 #0"_s << u"2"_s;
    QTest::newRow("equal leftover: more part area wins")
        << 600 << 400 << 0 << u"300 200 10"_s << u"0,0 200x300 H3 #0"_s << u"3"_s;
    QTest::newRow("exact tie: the earlier kind and orientation keep it")
        << 300 << 100 << 0 << u"100 100 3; 100 100 3"_s << u"0,0 100x100 H3 #0"_s << u"3 0"_s;
    // Fewer parts than fit: the leftover still counts a kerf for every part that would fit,
    // which makes the turned row (650) beat the unturned one (660).
    QTest::newRow("leftover counts the kerfs of the parts that would fit")
        << 1000 << 149 << 50 << u"140 100 1"_s << u"0,0 100x140 H1 #0"_s << u"1"_s;
    // An exhausted kind of small parts with a wide kerf would leave 120 in a column of none;
    // a candidate of no parts takes no part in the comparison, so the open kind is placed.
    QTest::newRow("exhausted kind keeps no free rectangle empty")
        << 757 << 692 << 44 << u"457 274 1 0; 267 5 2 2"_s << u"0,0 274x457 V1 #0"_s << u"1 2"_s;
    QTest::newRow("a quantity of 0 places nothing")
        << 1000 << 500 << 0 << u"100 100 0"_s << QString() << u"0"_s;
    QTest::newRow("kerf wider than the sheet")
        << 1000 << 500 << 1001 << u"10 10 5"_s << QString() << u"0"_s;
    QTest::newRow("non-positive sides are never placed")
        << 1000 << 500 << 0 << u"0 100 5; -50 100 5; 100 -1 5; 200 100 1"_s
        << u"0,0 100x200 V1 #3"_s << u"0 0 0 1"_s;
    QTest::newRow("negative quantity places nothing")
        << 1000 << 500 << 0 << u"100 100 -3"_s << QString() << u"0"_s;
}

void TestEnginePacking::pack_layouts()
{
    QFETCH(int, sheetWidth);
    QFETCH(int, sheetHeight);
    QFETCH(int, kerf);
    QFETCH(QString, parts);
    QFETCH(QString, expectedStrips);
    QFETCH(QString, expectedUsed);
    TRectManage E;
    LoadParts(E, parts);
    E.StartSheet(sheetWidth, sheetHeight, kerf);
    E.GetNullRect();
    QCOMPARE(Strips(E), expectedStrips);
    QCOMPARE(UsedCounts(E), expectedUsed);
    QVERIFY(E.NullRectList().empty());
    for (int i = 0; i < E.CreateMaterialList().Count(); ++i)
        QCOMPARE(E.CreateMaterialList().GetItem(i)->Blade(), kerf);
}

void TestEnginePacking::getMaterialTypeGroup_turnsEveryKindAndRaisesChosen()
{
    TRectManage E;
    LoadParts(E, u"300 200 10 4; 700 600 1"_s);
    E.MaterialTypeList().GetItem(0)->SetText("side");
    E.StartSheet(1000, 500, 0);
    std::unique_ptr<TMaterialType> M = E.GetMaterialTypeGroup(*E.NullRectList().front());
    QVERIFY(M);
    QVERIFY(!M->Collection());
    // A row of 5 turned parts: Orient and sides as placed, edges from the free corner.
    QCOMPARE(Describe(*M), u"0,0 200x300 H5 #0"_s);
    QVERIFY(M->Orient() == TOrient::vertical);
    QCOMPARE(M->MaxWidth(), 1000);
    QCOMPARE(M->MaxHieght(), 300);
    QCOMPARE(q(M->GetText()), u"side"_s);
    QCOMPARE(q(M->Name()), u"M1"_s);
    QCOMPARE(M->UsedCount(), 4); // a copy of the kind as it stood
    QCOMPARE(E.MaterialTypeList().GetItem(0)->UsedCount(), 9);
    QCOMPARE(E.MaterialTypeList().GetItem(1)->UsedCount(), 0);
    // Every kind is left turned upright.
    for (int i = 0; i < 2; ++i) {
        const TMaterialType &P = *E.MaterialTypeList().GetItem(i);
        QVERIFY(P.Orient() == TOrient::vertical);
        QVERIFY(P.Width() <= P.Height());
    }
    // The free list is untouched.
    QCOMPARE(FreeList(E), u"(0,0,1000,500)"_s);
}

void TestEnginePacking::getMaterialTypeGroup_nothingFits()
{
    TRectManage E;
    LoadParts(E, u"1200 100 3; 600 600 2"_s);
    E.StartSheet(1000, 500, 0);
    QVERIFY(!E.GetMaterialTypeGroup(*E.NullRectList().front()));
    QCOMPARE(UsedCounts(E), u"0 0"_s);
}

void TestEnginePacking::placeStrip_startEndAndStripTests_data()
{
    QTest::addColumn<int>("sheetWidth");
    QTest::addColumn<int>("sheetHeight");
    QTest::addColumn<int>("kerf");
    QTest::addColumn<QString>("placed"); // "X Y W H R K" strips already on the sheet
    QTest::addColumn<QList<int>>("strip"); // free corner X, Y; part W, H; row (1) or column; count
    QTest::addColumn<bool>("expectPlaced");

    // The end point of a row is the point just past its last part.
    QTest::newRow("row ending against a strip") << 1000 << 1000 << 0 << u"500 0 100 100 H 1"_s
                                                << QList<int> { 0, 0, 500, 50, 1, 1 } << false;
    QTest::newRow("row ending one short of a strip") << 1000 << 1000 << 0 << u"501 0 100 100 H 1"_s
                                                     << QList<int> { 0, 0, 500, 50, 1, 1 } << true;
    // The end point of a column lies one unit below its last part.
    QTest::newRow("column ending one above a strip")
        << 100 << 1500 << 0 << u"0 1498 100 2 H 1"_s << QList<int> { 0, 0, 60, 499, 0, 3 } << false;
    QTest::newRow("column ending two above a strip")
        << 100 << 1500 << 0 << u"0 1499 100 1 H 1"_s << QList<int> { 0, 0, 60, 499, 0, 3 } << true;
    QTest::newRow("corner on a strip") << 1000 << 1000 << 0 << u"0 0 100 100 H 1"_s
                                       << QList<int> { 50, 50, 100, 100, 1, 1 } << false;
    // Corner and end point free, but the strip runs across a strip placed earlier.
    QTest::newRow("crossing a strip in the middle")
        << 1000 << 1000 << 0 << u"300 100 100 100 H 1"_s << QList<int> { 0, 150, 1000, 10, 1, 1 }
        << false;
    QTest::newRow("crossing a column in the middle")
        << 1000 << 1000 << 0 << u"300 100 100 100 V 3"_s << QList<int> { 0, 250, 200, 10, 1, 4 }
        << false;
    QTest::newRow("closer than the kerf below a strip")
        << 1000 << 1000 << 5 << u"300 100 100 100 H 1"_s << QList<int> { 0, 202, 1000, 10, 1, 1 }
        << false;
    QTest::newRow("closer than the kerf right of a strip")
        << 1000 << 1000 << 5 << u"0 100 100 100 H 1"_s << QList<int> { 103, 50, 10, 500, 0, 1 }
        << false;
    QTest::newRow("a kerf below a strip") << 1000 << 1000 << 5 << u"300 100 100 100 H 1"_s
                                          << QList<int> { 0, 205, 1000, 10, 1, 1 } << true;
    QTest::newRow("touching with kerf 0") << 1000 << 1000 << 0 << u"300 100 100 100 H 1"_s
                                          << QList<int> { 0, 200, 1000, 10, 1, 1 } << true;
    QTest::newRow("in the kerf gap of a row") << 1000 << 1000 << 20 << u"0 0 100 100 H 3"_s
                                              << QList<int> { 105, 0, 10, 10, 1, 1 } << false;
}

void TestEnginePacking::placeStrip_startEndAndStripTests()
{
    QFETCH(int, sheetWidth);
    QFETCH(int, sheetHeight);
    QFETCH(int, kerf);
    QFETCH(QString, placed);
    QFETCH(QList<int>, strip);
    QFETCH(bool, expectPlaced);
    TRectManage E;
    E.StartSheet(sheetWidth, sheetHeight, kerf);
    E.DeleNullRect(E.NullRectList().front().get());
    PutPlaced(E, placed, kerf);
    const int Before = E.CreateMaterialList().Count();
    const TRect F { strip[0], strip[1], sheetWidth, sheetHeight };
    auto M = MakeStrip(F, strip[2], strip[3], strip[4] == 1, strip[5], kerf);
    QCOMPARE(E.PlaceStrip(*M, F), expectPlaced);
    QCOMPARE(E.CreateMaterialList().Count(), Before + (expectPlaced ? 1 : 0));
    if (!expectPlaced)
        QVERIFY(E.NullRectList().empty()); // the free rectangle is dropped with the strip
    else
        QCOMPARE(Describe(*E.CreateMaterialList().GetItem(Before)), Describe(*M));
}

void TestEnginePacking::placeStrip_remainders_data()
{
    QTest::addColumn<int>("kerf");
    QTest::addColumn<QString>("placed");
    QTest::addColumn<QList<int>>("free"); // free rectangles already listed: Left, Top pairs
    QTest::addColumn<QList<int>>("strip"); // free corner X, Y; part W, H; row (1) or column; count
    QTest::addColumn<QString>("expectedFree");

    // Sheet 1000 x 500 unless the free rectangles say otherwise; all reach its edges.
    QTest::newRow("right and bottom remainders after a kerf")
        << 5 << QString() << QList<int> {} << QList<int> { 0, 0, 300, 200, 1, 3 }
        << u"(915,0,1000,500) (0,205,1000,500)"_s;
    QTest::newRow("remainder at the sheet's right edge is empty")
        << 0 << QString() << QList<int> {} << QList<int> { 0, 0, 200, 300, 1, 5 }
        << u"(0,300,1000,500)"_s;
    QTest::newRow("remainder at the bottom edge is empty")
        << 0 << QString() << QList<int> {} << QList<int> { 0, 0, 200, 500, 1, 2 }
        << u"(400,0,1000,500)"_s;
    QTest::newRow("remainder containing a listed free rectangle is dropped")
        << 0 << QString() << QList<int> { 600, 0 } << QList<int> { 0, 0, 500, 100, 1, 1 }
        << u"(600,0,1000,500) (0,100,1000,500)"_s;
    QTest::newRow("remainder equal to a listed one is dropped")
        << 0 << QString() << QList<int> { 500, 0 } << QList<int> { 0, 0, 500, 100, 1, 1 }
        << u"(500,0,1000,500) (0,100,1000,500)"_s;
    QTest::newRow("remainder inside a listed one is kept")
        << 0 << QString() << QList<int> { 400, 0 } << QList<int> { 0, 0, 500, 100, 1, 1 }
        << u"(400,0,1000,500) (500,0,1000,500) (0,100,1000,500)"_s;
    QTest::newRow("remainder whose corner point below is covered")
        << 0 << u"500 1 10 10 H 1"_s << QList<int> {} << QList<int> { 0, 0, 500, 100, 1, 1 }
        << u"(0,100,1000,500)"_s;
    // The covered area of a row is its parts' total length without the kerfs, so the end of
    // its last part counts as free.
    QTest::newRow("corner point on the end of a row's last part is free")
        << 20 << u"400 300 100 100 H 3"_s << QList<int> {} << QList<int> { 710, 0, 20, 280, 0, 1 }
        << u"(750,0,1000,500) (710,300,1000,500)"_s;
}

void TestEnginePacking::placeStrip_remainders()
{
    QFETCH(int, kerf);
    QFETCH(QString, placed);
    QFETCH(QList<int>, free);
    QFETCH(QList<int>, strip);
    QFETCH(QString, expectedFree);
    TRectManage E;
    E.StartSheet(1000, 500, kerf);
    E.DeleNullRect(E.NullRectList().front().get());
    PutPlaced(E, placed, kerf);
    for (int k = 0; k + 1 < free.size(); k += 2)
        E.AddNullRect(std::make_unique<TRect>(TRect { free[k], free[k + 1], 1000, 500 }));
    const TRect F { strip[0], strip[1], 1000, 500 };
    auto M = MakeStrip(F, strip[2], strip[3], strip[4] == 1, strip[5], kerf);
    QVERIFY(E.PlaceStrip(*M, F));
    QCOMPARE(FreeList(E), expectedFree);
}

void TestEnginePacking::placeStrip_freeListIsCapped()
{
    TRectManage E;
    E.StartSheet(100000, 100000, 0);
    E.DeleNullRect(E.NullRectList().front().get());
    // Free rectangles along the top edge; none of them contains the remainders below.
    for (int k = 0; k < TRectManage::MaxNullRects; ++k)
        E.AddNullRect(std::make_unique<TRect>(TRect { 50000 + k, 0, 100000, 100000 }));
    const TRect F { 0, 200, 100000, 100000 };
    auto M = MakeStrip(F, 100, 100, true, 1, 0);
    QVERIFY(E.PlaceStrip(*M, F));
    QCOMPARE(int(E.NullRectList().size()), TRectManage::MaxNullRects);
    QCOMPARE(E.NullRectList().back()->Left, 50000 + TRectManage::MaxNullRects - 1);

    E.DeleNullRect(E.NullRectList().back().get());
    const TRect G { 0, 400, 100000, 100000 };
    auto N = MakeStrip(G, 100, 100, true, 1, 0);
    QVERIFY(E.PlaceStrip(*N, G));
    QCOMPARE(int(E.NullRectList().size()), TRectManage::MaxNullRects); // the first fits in
    QCOMPARE(E.NullRectList().back()->Left, 100);
    QCOMPARE(E.NullRectList().back()->Top, 400);
}

void TestEnginePacking::getNullRect_refusesUnusableSheets_data()
{
    QTest::addColumn<int>("sheetWidth");
    QTest::addColumn<int>("sheetHeight");
    QTest::addColumn<int>("kerf");
    QTest::newRow("zero width") << 0 << 500 << 0;
    QTest::newRow("negative height") << 1000 << -500 << 0;
    QTest::newRow("negative kerf") << 1000 << 500 << -1;
    QTest::newRow("most negative kerf") << 1000 << 500 << INT_MIN;
    QTest::newRow("most negative sides") << INT_MIN << INT_MIN << 0;
}

void TestEnginePacking::getNullRect_refusesUnusableSheets()
{
    QFETCH(int, sheetWidth);
    QFETCH(int, sheetHeight);
    QFETCH(int, kerf);
    TRectManage E;
    LoadParts(E, u"10 10 5; 1 1 100"_s);
    E.StartSheet(sheetWidth, sheetHeight, kerf);
    E.GetNullRect();
    QCOMPARE(E.CreateMaterialList().Count(), 0);
    QVERIFY(E.NullRectList().empty());
    QCOMPARE(UsedCounts(E), u"0 0"_s);
}

void TestEnginePacking::nullRects_addAndDeleteByIdentity()
{
    TRectManage E;
    E.AddNullRect(std::make_unique<TRect>(TRect { 0, 0, 10, 10 }));
    E.AddNullRect(std::make_unique<TRect>(TRect { 0, 0, 10, 10 })); // same content
    E.AddNullRect(nullptr);
    QCOMPARE(int(E.NullRectList().size()), 2);
    TRect *Second = E.NullRectList()[1].get();
    TRect Outside { 0, 0, 10, 10 };
    QVERIFY(!E.DeleNullRect(&Outside));
    std::unique_ptr<TRect> Taken = E.DeleNullRect(Second);
    QCOMPARE(Taken.get(), Second);
    QCOMPARE(int(E.NullRectList().size()), 1);
    QVERIFY(E.NullRectList()[0].get() != Second);
}

QTEST_APPLESS_MAIN(TestEnginePacking)
#include "tst_packing.moc"
