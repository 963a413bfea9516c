// The rectangle record and its owning list: naming, copying with re-orientation, positions,
// moves between lists and the sums.
#include "TypeSetClass.h"

#include <QtTest>

#include <climits>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString q(const std::string &S)
{
    return QString::fromStdString(S);
}

std::vector<std::string> NamesOf(const TMaterialTypeList &L)
{
    std::vector<std::string> Out;
    for (int i = 0; i < L.Count(); ++i)
        Out.push_back(L.GetItem(i)->Name());
    return Out;
}

// The naming rule stated plainly: "M" + the smallest n >= 1 that no item uses.
std::string SmallestFreeName(const TMaterialTypeList &L)
{
    std::set<std::string> Used;
    for (int i = 0; i < L.Count(); ++i)
        Used.insert(L.GetItem(i)->Name());
    for (int n = 1;; ++n)
        if (!Used.count("M" + std::to_string(n)))
            return "M" + std::to_string(n);
}

void CheckPositions(const TMaterialTypeList &L)
{
    for (int i = 0; i < L.Count(); ++i) {
        QCOMPARE(L.GetItem(i)->Index(), i);
        QCOMPARE(L.GetItem(i)->Collection(), &L);
    }
}

} // namespace

class TestEngineTypes : public QObject
{
    Q_OBJECT

private slots:
    void newRecord_isEmpty();
    void add_namesSmallestFreeNumber_data();
    void add_namesSmallestFreeNumber();
    void add_namingFollowsRenamesMovesAndDeletes();
    void setOrient_normalisesSides_data();
    void setOrient_normalisesSides();
    void assign_copiesEveryFieldAndReorients_data();
    void assign_copiesEveryFieldAndReorients();
    void getText_fillsEmptyTextWithName();
    void listAssign_appendsCopiesAndKeepsExistingItems();
    void addItem_placesAndMovesItems();
    void getItem_outOfRangeGivesNothing();
    void sums_data();
    void sums();
};

void TestEngineTypes::newRecord_isEmpty()
{
    TMaterialType R;
    QCOMPARE(R.X(), 0);
    QCOMPARE(R.Width(), 0);
    QCOMPARE(R.Count(), 0);
    QCOMPARE(R.MaxWidth(), 0);
    QCOMPARE(R.Price(), 0.0);
    QCOMPARE(R.Data, 0);
    QVERIFY(R.Name().empty());
    QVERIFY(R.Orient() == TOrient::none);
    QVERIFY(R.Range() == TOrient::none);
    QCOMPARE(R.Index(), -1);
    QVERIFY(!R.Collection());
}

void TestEngineTypes::add_namesSmallestFreeNumber_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty list") << QStringList {} << u"M1"_s;
    QTest::newRow("gap at 2") << QStringList { u"M1"_s, u"M3"_s } << u"M2"_s;
    QTest::newRow("dense") << QStringList { u"M1"_s, u"M2"_s, u"M3"_s } << u"M4"_s;
    QTest::newRow("gap at 1") << QStringList { u"M2"_s, u"M3"_s } << u"M1"_s;
    QTest::newRow("lookalikes do not count")
        << QStringList { u"M01"_s, u"m1"_s, u"M0"_s, u"M1x"_s, u""_s, u"M 1"_s } << u"M1"_s;
    QTest::newRow("duplicates") << QStringList { u"M1"_s, u"M1"_s, u"M2"_s } << u"M3"_s;
    QTest::newRow("large numbers")
        << QStringList { u"M1"_s, u"M99999999999999999"_s, u"M2"_s } << u"M3"_s;
}

void TestEngineTypes::add_namesSmallestFreeNumber()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    TMaterialTypeList L;
    for (const QString &Name : existing)
        L.Add()->SetName(Name.toStdString());
    QCOMPARE(q(L.Add()->Name()), expected);
    QCOMPARE(L.Count(), existing.size() + 1);
}

void TestEngineTypes::add_namingFollowsRenamesMovesAndDeletes()
{
    // Random edits to two lists; every Add must give the smallest free name of its list.
    std::mt19937 Rng(7);
    TMaterialTypeList A, B;
    auto Pick = [&Rng](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
    for (int Round = 0; Round < 4000; ++Round) {
        TMaterialTypeList &L = Pick(2) ? A : B;
        TMaterialTypeList &Other = &L == &A ? B : A;
        switch (Pick(7)) {
        case 0:
        case 1: {
            const std::string Want = SmallestFreeName(L);
            QCOMPARE(q(L.Add()->Name()), q(Want));
            break;
        }
        case 2:
            if (L.Count())
                L.GetItem(Pick(L.Count()))->SetName("M" + std::to_string(1 + Pick(12)));
            break;
        case 3:
            if (L.Count())
                L.Delete(Pick(L.Count()));
            break;
        case 4:
            if (Other.Count())
                L.AddItem(Other.GetItem(Pick(Other.Count())), Pick(L.Count() + 2) - 1);
            break;
        case 5: {
            const std::string Want = SmallestFreeName(L);
            QCOMPARE(q(L.Insert(Pick(L.Count() + 1))->Name()), q(Want));
            break;
        }
        case 6:
            if (Pick(20) == 0)
                L.Clear();
            else if (Other.Count() < 30)
                L.Assign(Other);
            break;
        }
        CheckPositions(A);
        CheckPositions(B);
    }
}

void TestEngineTypes::setOrient_normalisesSides_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("orient");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");
    const int H = int(TOrient::horizontal), V = int(TOrient::vertical), N = int(TOrient::none),
              B = int(TOrient::both);
    QTest::newRow("horizontal on 300x500") << 300 << 500 << H << 500 << 300;
    QTest::newRow("horizontal on 500x300") << 500 << 300 << H << 500 << 300;
    QTest::newRow("vertical on 500x300") << 500 << 300 << V << 300 << 500;
    QTest::newRow("none on 500x300") << 500 << 300 << N << 300 << 500;
    QTest::newRow("both acts as vertical") << 500 << 300 << B << 300 << 500;
    QTest::newRow("square horizontal") << 400 << 400 << H << 400 << 400;
    QTest::newRow("square vertical") << 400 << 400 << V << 400 << 400;
}

void TestEngineTypes::setOrient_normalisesSides()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, orient);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);
    TMaterialType R;
    R.SetWidth(width);
    R.SetHeight(height);
    R.SetOrient(static_cast<TOrient>(orient));
    QCOMPARE(R.Width(), expectedWidth);
    QCOMPARE(R.Height(), expectedHeight);
    QCOMPARE(int(R.Orient()), orient);

    // Turning back restores the record.
    TMaterialType T;
    T.SetWidth(300);
    T.SetHeight(500);
    T.SetOrient(TOrient::horizontal);
    T.SetOrient(TOrient::vertical);
    QCOMPARE(T.Width(), 300);
    QCOMPARE(T.Height(), 500);
}

void TestEngineTypes::assign_copiesEveryFieldAndReorients_data()
{
    QTest::addColumn<int>("orient");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");
    QTest::newRow("none turns 200x100") << int(TOrient::none) << 200 << 100 << 100 << 200;
    QTest::newRow("horizontal keeps 200x100")
        << int(TOrient::horizontal) << 200 << 100 << 200 << 100;
    QTest::newRow("horizontal turns 100x200")
        << int(TOrient::horizontal) << 100 << 200 << 200 << 100;
    QTest::newRow("vertical keeps 100x200") << int(TOrient::vertical) << 100 << 200 << 100 << 200;
}

void TestEngineTypes::assign_copiesEveryFieldAndReorients()
{
    QFETCH(int, orient);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);

    TMaterialTypeList L;
    TMaterialType &S = *L.Add();
    S.SetX(11);
    S.SetY(12);
    S.SetCount(13);
    S.SetUsedCount(14);
    S.SetRange(TOrient::vertical);
    S.SetMaxWidth(15);
    S.SetMaxHieght(16);
    S.Data = 17;
    S.SetGroup(18);
    S.SetPrice(19.25);
    S.SetBlade(20);
    // Set the orientation field without normalising, as a record can hold it.
    S.SetWidth(width);
    S.SetHeight(height);
    S.SetOrient(static_cast<TOrient>(orient));
    S.SetWidth(width);
    S.SetHeight(height);

    TMaterialType C;
    C.Assign(S);
    QCOMPARE(C.Width(), expectedWidth);
    QCOMPARE(C.Height(), expectedHeight);
    QCOMPARE(int(C.Orient()), orient);
    QCOMPARE(C.X(), 11);
    QCOMPARE(C.Y(), 12);
    QCOMPARE(C.Count(), 13);
    QCOMPARE(C.UsedCount(), 14);
    QVERIFY(C.Range() == TOrient::vertical);
    QCOMPARE(C.MaxWidth(), 15);
    QCOMPARE(C.MaxHieght(), 16);
    QCOMPARE(C.Data, 17);
    QCOMPARE(C.Group(), 18);
    QCOMPARE(C.Price(), 19.25);
    QCOMPARE(C.Blade(), 20);
    QCOMPARE(q(C.Name()), QStringLiteral("M1"));
    // Text came through the source's GetText, which filled the source's empty Text.
    QCOMPARE(q(C.GetText()), QStringLiteral("M1"));
    QCOMPARE(q(S.GetText()), QStringLiteral("M1"));
    // The source is unchanged apart from that.
    QCOMPARE(S.Width(), width);
    QCOMPARE(S.Height(), height);
}

void TestEngineTypes::getText_fillsEmptyTextWithName()
{
    TMaterialType R;
    R.SetName("M4");
    QCOMPARE(q(R.GetText()), QStringLiteral("M4"));
    R.SetName("M5");
    QCOMPARE(q(R.GetText()), QStringLiteral("M4")); // filled for good
    QCOMPARE(q(R.GetDisplayName()), QStringLiteral("M4"));

    TMaterialType T;
    T.SetName("M1");
    T.SetText("门板");
    QCOMPARE(q(T.GetText()), QStringLiteral("门板"));
}

void TestEngineTypes::listAssign_appendsCopiesAndKeepsExistingItems()
{
    TMaterialTypeList Source;
    for (int i = 0; i < 3; ++i) {
        TMaterialType &R = *Source.Add();
        R.SetText("part " + std::to_string(i));
        R.SetWidth(100 + i);
        R.SetHeight(50);
        R.SetCount(i + 1);
    }
    Source.GetItem(2)->SetName("M9");
    Source.SetRectCount(42);

    TMaterialTypeList Target;
    Target.Add()->SetText("old 1");
    Target.Add()->SetText("old 2");
    Target.Assign(Source);
    QCOMPARE(Target.Count(), 5);
    QCOMPARE(Target.RectCount(), 42);
    QCOMPARE(q(Target.GetItem(0)->GetText()), QStringLiteral("old 1"));
    QCOMPARE(q(Target.GetItem(4)->GetText()), QStringLiteral("part 2"));
    // Each copy ends with its source's name, even where that repeats a name already there.
    const std::vector<std::string> Want { "M1", "M2", "M1", "M2", "M9" };
    QVERIFY(NamesOf(Target) == Want);
    // Copies are normalised to their orientation (none: Width <= Height).
    QCOMPARE(Target.GetItem(2)->Width(), 50);
    QCOMPARE(Target.GetItem(2)->Height(), 100);
    CheckPositions(Target);
    QCOMPARE(Source.Count(), 3);

    // Assigning a list to itself doubles it.
    Source.Assign(Source);
    QCOMPARE(Source.Count(), 6);
    QCOMPARE(q(Source.GetItem(5)->GetText()), QStringLiteral("part 2"));
}

void TestEngineTypes::addItem_placesAndMovesItems()
{
    TMaterialTypeList L;
    L.Add()->SetText("a");
    L.Add()->SetText("b");
    auto Texts = [](TMaterialTypeList &List) {
        QStringList Out;
        for (int i = 0; i < List.Count(); ++i)
            Out << q(List.GetItem(i)->GetText());
        return Out;
    };

    TMaterialType *Front = L.AddItem(nullptr, 0);
    Front->SetText("front");
    QCOMPARE(q(Front->Name()), QStringLiteral("M3"));
    L.Insert(2)->SetText("mid");
    L.AddItem(nullptr, -1)->SetText("last");
    L.AddItem(nullptr, 99)->SetText("beyond");
    QCOMPARE(
        Texts(L), (QStringList { u"front"_s, u"a"_s, u"mid"_s, u"b"_s, u"last"_s, u"beyond"_s }));
    CheckPositions(L);

    // Moving within the list.
    L.AddItem(L.GetItem(0), 3);
    QCOMPARE(
        Texts(L), (QStringList { u"a"_s, u"mid"_s, u"b"_s, u"front"_s, u"last"_s, u"beyond"_s }));
    L.AddItem(L.GetItem(0), -1);
    QCOMPARE(
        Texts(L), (QStringList { u"mid"_s, u"b"_s, u"front"_s, u"last"_s, u"beyond"_s, u"a"_s }));
    CheckPositions(L);

    // Moving from another list keeps the record and its name.
    TMaterialTypeList Other;
    TMaterialType *Moved = L.GetItem(1);
    const std::string Name = Moved->Name();
    QCOMPARE(Other.AddItem(Moved, -1), Moved);
    QCOMPARE(L.Count(), 5);
    QCOMPARE(Other.Count(), 1);
    QCOMPARE(Moved->Collection(), &Other);
    QCOMPARE(q(Moved->Name()), q(Name));
    CheckPositions(L);
    // The moved record's name is free again in the list it left.
    QCOMPARE(q(L.Add()->Name()), q(Name));

    // A free-standing record is taken over only by the owning overload.
    auto Free = std::make_unique<TMaterialType>();
    TMaterialType *Raw = Free.get();
    QVERIFY(!Other.AddItem(Raw, 0));
    QCOMPARE(Other.AddItem(std::move(Free), 0), Raw);
    QCOMPARE(Raw->Index(), 0);
    QCOMPARE(Other.Count(), 2);
    CheckPositions(Other);

    // SetItem copies into the existing record.
    TMaterialType Value;
    Value.SetText("copied");
    Value.SetName("M77");
    TMaterialType *Before = L.GetItem(0);
    L.SetItem(0, Value);
    QCOMPARE(L.GetItem(0), Before);
    QCOMPARE(q(L.GetItem(0)->GetText()), QStringLiteral("copied"));
    L.SetItem(-1, Value);
    L.SetItem(L.Count(), Value);
}

void TestEngineTypes::getItem_outOfRangeGivesNothing()
{
    TMaterialTypeList L;
    QVERIFY(!L.GetItem(0));
    L.Add();
    QVERIFY(L.GetItem(0));
    QVERIFY(!L.GetItem(1));
    QVERIFY(!L.GetItem(-1));
    QVERIFY(!L.GetItem(INT_MIN));
    L.Delete(5);
    L.Delete(-1);
    QCOMPARE(L.Count(), 1);
}

void TestEngineTypes::sums_data()
{
    QTest::addColumn<QList<QList<int>>>("items"); // width, height, count, used count
    QTest::addColumn<qint64>("areaSum");
    QTest::addColumn<int>("sumCount");
    QTest::addColumn<int>("usedSumCount");
    QTest::newRow("empty") << QList<QList<int>> {} << qint64(0) << 0 << 0;
    QTest::newRow("two kinds") << QList<QList<int>> { { 100, 200, 3, 1 }, { 50, 50, 2, 2 } }
                               << qint64(65000) << 5 << 3;
    QTest::newRow("area beyond 32 bits")
        << QList<QList<int>> { { 100000, 100000, 3, 0 } } << qint64(30000000000) << 3 << 0;
    QTest::newRow("negative count")
        << QList<QList<int>> { { 10, 10, -2, 0 }, { 10, 10, 3, 0 } } << qint64(100) << 1 << 0;
    QTest::newRow("sums held to the range") << QList<QList<int>> {
        { INT_MAX, INT_MAX, INT_MAX, INT_MAX }, { INT_MAX, INT_MAX, INT_MAX, INT_MAX }
    } << qint64(INT64_MAX) << INT_MAX << INT_MAX;
    QTest::newRow("sums held to the range below") << QList<QList<int>> {
        { INT_MAX, INT_MAX, INT_MIN, INT_MIN }, { INT_MAX, INT_MAX, INT_MIN, 0 }
    } << qint64(INT64_MIN) << INT_MIN << INT_MIN;
}

void TestEngineTypes::sums()
{
    QFETCH(QList<QList<int>>, items);
    QFETCH(qint64, areaSum);
    QFETCH(int, sumCount);
    QFETCH(int, usedSumCount);
    TMaterialTypeList L;
    for (const QList<int> &I : items) {
        TMaterialType &R = *L.Add();
        R.SetWidth(I[0]);
        R.SetHeight(I[1]);
        R.SetCount(I[2]);
        R.SetUsedCount(I[3]);
    }
    QCOMPARE(L.GetAreaSum(), areaSum);
    QCOMPARE(L.GetSumCount(), sumCount);
    QCOMPARE(L.GetUsedSumCount(), usedSumCount);
}

QTEST_APPLESS_MAIN(TestEngineTypes)
#include "tst_types.moc"
