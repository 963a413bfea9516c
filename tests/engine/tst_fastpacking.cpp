// The working machinery of GoWork against the public packing steps it stands in for: the strip
// search against GetMaterialTypeGroup, and the free list's exchange sort against
// GetMaxNullRect, over many random cases each. (Whole runs are compared in the differential test.)
#include "LayoutChecker.h"
#include "SheetPacking.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <vector>

using namespace Qt::StringLiterals;
using namespace enginetest;

class TestEngineFastPacking : public QObject
{
    Q_OBJECT

private slots:
    void stripSearch_choosesAsGetMaterialTypeGroup_data();
    void stripSearch_choosesAsGetMaterialTypeGroup();
    void freeList_ordersAsGetMaxNullRect();
    void stripSearch_withTurns_takesTheBestAllowedCandidate_data();
    void stripSearch_withTurns_takesTheBestAllowedCandidate();
};

namespace {

// The strip GetMaterialTypeGroup would choose if each kind could take only the candidates Turns
// allows: every allowed candidate of every kind with parts left, the best by TChoice::Beats.
packing::TChoice AllowedBest(const std::vector<packing::TKind> &Kinds, std::int64_t Lx,
    std::int64_t Ly, std::int64_t B, const std::vector<std::int64_t> &Rem,
    const std::vector<std::int64_t> &Used, const std::vector<std::uint8_t> &Turns)
{
    packing::TChoice Best;
    for (std::size_t k = 0; k < Kinds.size(); ++k) {
        const std::int64_t E = Rem[k] - Used[k];
        if (!Kinds[k].Valid || E < 1)
            continue;
        const std::int64_t Lo = Kinds[k].Long, Sh = Kinds[k].Short;
        // Candidate s: the part's extent along the strip, across it, the strip's side and the
        // room across.
        const std::int64_t Along[4] = { Lo, Sh, Sh, Lo }, Cross[4] = { Sh, Lo, Lo, Sh };
        const std::int64_t L[4] = { Lx, Ly, Lx, Ly }, C[4] = { Ly, Lx, Ly, Lx };
        for (int Sub = 0; Sub < 4; ++Sub) {
            if (!((Turns[k] >> Sub) & 1) || Along[Sub] > L[Sub] || Cross[Sub] > C[Sub])
                continue;
            const std::int64_t N = L[Sub] / (Along[Sub] + B);
            const std::int64_t K = std::min(N, E);
            if (K < 1)
                continue;
            packing::TChoice Candidate;
            Candidate.Kind = static_cast<int>(k);
            Candidate.Sub = Sub;
            Candidate.K = K;
            Candidate.N = N;
            Candidate.Leftover = L[Sub] - K * Along[Sub] - (N - 1) * B;
            Candidate.KArea = K * Along[Sub] * Cross[Sub];
            if (Candidate.Beats(Best))
                Best = Candidate;
        }
    }
    return Best;
}

} // namespace

void TestEngineFastPacking::stripSearch_withTurns_takesTheBestAllowedCandidate_data()
{
    QTest::addColumn<int>("kinds");
    QTest::addColumn<int>("held"); // percent of the kinds held to one direction
    QTest::newRow("few kinds, half held") << 30 << 50;
    QTest::newRow("many kinds, half held") << 300 << 50;
    QTest::newRow("many kinds, all held") << 300 << 100;
    QTest::newRow("many kinds, none held") << 300 << 0;
}

void TestEngineFastPacking::stripSearch_withTurns_takesTheBestAllowedCandidate()
{
    QFETCH(int, kinds);
    QFETCH(int, held);
    Random R(static_cast<std::uint64_t>(kinds * 7 + held));
    for (int Round = 0; Round < 10; ++Round) {
        const int SheetW = static_cast<int>(R.Between(1000, 3660));
        const int SheetH = static_cast<int>(R.Between(600, SheetW));
        const int Kerf = static_cast<int>(R.Chance(30) ? 0 : R.Between(1, 8));
        std::vector<packing::TKind> Kinds;
        std::vector<std::int64_t> Rem, Used;
        std::vector<std::uint8_t> Turns, Free;
        for (int k = 0; k < kinds; ++k) {
            // Sizes on a coarse grid make many equal leftovers, where order decides.
            const bool Grid = R.Chance(50);
            const int A = Grid ? 50 * static_cast<int>(R.Between(1, 12))
                               : static_cast<int>(R.Between(50, 1500));
            const int B = Grid ? (R.Chance(20) ? A : 50 * static_cast<int>(R.Between(1, 8)))
                               : static_cast<int>(R.Between(30, 900));
            Kinds.push_back({ std::max(A, B), std::min(A, B), true });
            const int Count = static_cast<int>(R.Between(0, 40));
            Rem.push_back(Count);
            Used.push_back(Count > 0 && R.Chance(20) ? R.Between(0, Count) : 0);
            const bool Held = A != B && R.Chance(held);
            Turns.push_back(!Held  ? packing::AnyTurn
                    : R.Chance(50) ? packing::LongAlongX
                                   : packing::LongAlongY);
            Free.push_back(packing::AnyTurn);
        }
        packing::TStripSearch Search;
        Search.Reset(Kinds, Rem, std::max(SheetW, SheetH));
        for (int Query = 0; Query < 150; ++Query) {
            const std::int64_t Lx = R.Chance(20) ? SheetW : R.Between(1, SheetW);
            const std::int64_t Ly = R.Chance(20) ? SheetH : R.Between(1, SheetH);
            const QString Where
                = u"round %1, query %2: %3x%4 kerf %5"_s.arg(Round).arg(Query).arg(Lx).arg(Ly).arg(
                    Kerf);
            // Without turns held, the brute force agrees with the search (which agrees with
            // GetMaterialTypeGroup, see above): it is a fair judge.
            const packing::TChoice All = Search.Find(Lx, Ly, Kerf, Rem.data(), Used.data());
            const packing::TChoice AllWant = AllowedBest(Kinds, Lx, Ly, Kerf, Rem, Used, Free);
            QVERIFY2(All.Kind == AllWant.Kind && All.Sub == AllWant.Sub && All.K == AllWant.K,
                qPrintable(Where));
            const packing::TChoice C
                = Search.Find(Lx, Ly, Kerf, Rem.data(), Used.data(), Turns.data());
            const packing::TChoice Want = AllowedBest(Kinds, Lx, Ly, Kerf, Rem, Used, Turns);
            QVERIFY2(C.Kind == Want.Kind && C.Sub == Want.Sub && C.K == Want.K,
                qPrintable(Where
                    + u": got kind %1 sub %2 k %3, want kind %4 sub %5 k %6"_s.arg(C.Kind)
                          .arg(C.Sub)
                          .arg(C.K)
                          .arg(Want.Kind)
                          .arg(Want.Sub)
                          .arg(Want.K)));
        }
    }
}

void TestEngineFastPacking::stripSearch_choosesAsGetMaterialTypeGroup_data()
{
    QTest::addColumn<int>("sizes"); // 0 ordinary, 1 tiny, 2 on a 50 mm grid, 3 mixed
    QTest::addColumn<int>("kinds");
    QTest::addColumn<int>("maxQuantity");
    QTest::newRow("ordinary parts") << 0 << 300 << 49;
    QTest::newRow("ordinary parts, many left") << 0 << 120 << 2000;
    QTest::newRow("ordinary parts, one or two each") << 0 << 300 << 2;
    QTest::newRow("tiny parts") << 1 << 200 << 30;
    QTest::newRow("grid sizes: equal leftovers") << 2 << 150 << 20;
    QTest::newRow("mixed sizes") << 3 << 250 << 49;
    QTest::newRow("few kinds") << 3 << 20 << 10;
}

void TestEngineFastPacking::stripSearch_choosesAsGetMaterialTypeGroup()
{
    QFETCH(int, sizes);
    QFETCH(int, kinds);
    QFETCH(int, maxQuantity);
    Random R(static_cast<std::uint64_t>(sizes * 1000 + kinds));
    for (int Round = 0; Round < 12; ++Round) {
        const int SheetW = static_cast<int>(R.Between(1000, 3660));
        const int SheetH = static_cast<int>(R.Between(600, SheetW));
        const int Kerf = static_cast<int>(R.Chance(30) ? 0 : R.Between(1, 8));

        // Part kinds with committed and trial usage: the engine's record holds both in
        // UsedCount, the search gets them apart.
        TRectManage E;
        std::vector<packing::TKind> Kinds;
        std::vector<std::int64_t> Rem, Used;
        for (int k = 0; k < kinds; ++k) {
            int A, B;
            const int Kind = sizes == 3 ? static_cast<int>(R.Between(0, 2)) : sizes;
            if (Kind == 0) {
                A = static_cast<int>(R.Between(50, 1500));
                B = static_cast<int>(R.Between(30, 900));
            } else if (Kind == 1) {
                A = static_cast<int>(R.Between(1, 30));
                B = static_cast<int>(R.Between(1, 30));
            } else {
                A = 50 * static_cast<int>(R.Between(1, 12));
                B = R.Chance(25) ? A : 50 * static_cast<int>(R.Between(1, 8));
            }
            const int Count = static_cast<int>(R.Between(0, maxQuantity));
            const int Committed = static_cast<int>(R.Chance(30) ? R.Between(0, Count) : 0);
            E.Add(A, B, Count);
            Kinds.push_back({ std::max(A, B), std::min(A, B), true });
            Rem.push_back(Count - Committed);
            Used.push_back(0);
        }
        packing::TStripSearch Search;
        Search.Reset(Kinds, Rem, std::max(SheetW, SheetH));
        // Some kinds run out (committed), some have parts taken by the trial.
        for (int k = 0; k < kinds; ++k) {
            if (Rem[static_cast<std::size_t>(k)] > 0 && R.Chance(10)) {
                Search.Lowered(k, Rem[static_cast<std::size_t>(k)]);
                Rem[static_cast<std::size_t>(k)] = 0;
                Search.Retire(k);
            } else if (Rem[static_cast<std::size_t>(k)] > 0 && R.Chance(20)) {
                Used[static_cast<std::size_t>(k)] = R.Between(1, Rem[static_cast<std::size_t>(k)]);
            }
            TMaterialType &P = *E.MaterialTypeList().GetItem(k);
            P.SetUsedCount(static_cast<int>(
                P.Count() - Rem[static_cast<std::size_t>(k)] + Used[static_cast<std::size_t>(k)]));
        }
        E.StartSheet(SheetW, SheetH, Kerf);

        for (int Query = 0; Query < 150; ++Query) {
            const int Left = static_cast<int>(R.Chance(20) ? 0 : R.Between(0, SheetW - 1));
            const int Top = static_cast<int>(R.Chance(20) ? 0 : R.Between(0, SheetH - 1));
            const TRect F { Left, Top, SheetW, SheetH };
            const packing::TChoice C
                = Search.Find(SheetW - Left, SheetH - Top, Kerf, Rem.data(), Used.data());
            std::unique_ptr<TMaterialType> M = E.GetMaterialTypeGroup(F);
            const QString Where
                = u"round %1, query %2: free rectangle at %3,%4 of %5x%6 kerf %7"_s.arg(Round)
                      .arg(Query)
                      .arg(Left)
                      .arg(Top)
                      .arg(SheetW)
                      .arg(SheetH)
                      .arg(Kerf);
            if (!M) {
                QVERIFY2(!C, qPrintable(Where));
                continue;
            }
            QVERIFY2(C, qPrintable(Where));
            QCOMPARE(C.Kind, M->Data);
            QCOMPARE(C.Sub < 2 ? TOrient::horizontal : TOrient::vertical, M->Orient());
            QCOMPARE(
                C.Sub == 0 || C.Sub == 2 ? TOrient::horizontal : TOrient::vertical, M->Range());
            QCOMPARE(C.K, static_cast<std::int64_t>(M->Count()));
            // GetMaterialTypeGroup took the parts; give them back.
            TMaterialType &P = *E.MaterialTypeList().GetItem(M->Data);
            P.SetUsedCount(P.UsedCount() - M->Count());
        }
    }
}

void TestEngineFastPacking::freeList_ordersAsGetMaxNullRect()
{
    // The same rectangles in both lists; after every sort the order must agree, for short lists
    // (sorted as written) and long ones (through the tree), with many equal areas.
    for (int Round = 0; Round < 60; ++Round) {
        Random R(static_cast<std::uint64_t>(500 + Round));
        const int W = 1000, H = 1000;
        const int Grain = static_cast<int>(R.Between(1, 100)); // coarse corners: equal areas
        auto Corner = [&R, Grain](int Side) {
            return static_cast<int>(R.Between(0, (Side - 1) / Grain)) * Grain;
        };
        TRectManage E;
        packing::TFreeList Fast;
        Fast.Reset(W, H);
        Fast.PopFront();
        const int Target = static_cast<int>(R.Between(1, 400));
        for (int k = 0; k < Target; ++k) {
            const int L = Corner(W), T = Corner(H);
            E.AddNullRect(std::make_unique<TRect>(TRect { L, T, W, H }));
            Fast.Push({ L, T });
        }
        for (int Step = 0; Step < 300 && !Fast.Empty(); ++Step) {
            const packing::TFreeList::TFree Front = Fast.SortAndFront();
            TRect *Max = E.GetMaxNullRect();
            QVERIFY(Max);
            QCOMPARE(int(E.NullRectList().size()), Fast.Size());
            QCOMPARE(Front.Left, Max->Left);
            QCOMPARE(Front.Top, Max->Top);
            // The whole order, seen through the fronts of copies popped one by one.
            packing::TFreeList Copy = Fast;
            for (const auto &Rect : E.NullRectList()) {
                QCOMPARE(Copy.Front().Left, Rect->Left);
                QCOMPARE(Copy.Front().Top, Rect->Top);
                Copy.PopFront();
            }
            Fast.PopFront();
            E.DeleNullRect(Max);
            for (int Add = static_cast<int>(R.Between(0, 2)); Add > 0; --Add) {
                const int L = Corner(W), T = Corner(H);
                E.AddNullRect(std::make_unique<TRect>(TRect { L, T, W, H }));
                Fast.Push({ L, T });
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestEngineFastPacking)
#include "tst_fastpacking.moc"
