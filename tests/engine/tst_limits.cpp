// Grain, edge trim and stock in both layout modes: parts held to their grain never turn on sheets
// with grain and turn elsewhere, trims leave the border free and change nothing else, stock limits
// the sheets of a kind and the run goes on with other kinds, and a job that stock cannot finish
// ends like any job that cannot be finished, naming the parts left over. The deep mode searches
// such jobs itself, its bound stays a bound and it never claims an incomplete layout optimal.
// Generated jobs with all three keep every layout rule in both modes, and the deep mode's layouts
// can be cut edge to edge and are no worse than the quick mode's.
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <map>

using namespace Qt::StringLiterals;
using namespace enginetest;

namespace {

GenSheet Sheet(int Length, int Width, int Kerf = 0, double Price = 100, bool Grain = false,
    int Trim = 0, int Stock = -1)
{
    GenSheet S;
    S.Length = Length;
    S.Width = Width;
    S.Kerf = Kerf;
    S.Price = Price;
    S.Grain = Grain;
    S.Trim = Trim;
    S.Stock = Stock;
    S.Name = "S" + std::to_string(Length) + "x" + std::to_string(Width);
    return S;
}

GenPart Part(int Length, int Width, int Quantity, bool Grain = false)
{
    GenPart P;
    P.Length = Length;
    P.Width = Width;
    P.Quantity = Quantity;
    P.Grain = Grain;
    P.Name = "P" + std::to_string(Length) + "x" + std::to_string(Width);
    return P;
}

// Runs the job in the quick mode (or the deep one with a small work limit on one thread) and
// checks the layout rules.
std::vector<Event> RunChecked(const GenJob &J, TRectManage &E, bool Deep = false)
{
    LoadJob(J, E);
    std::vector<Event> Events;
    E.SetOnNewRectList([&Events](int G, int B, int C) { Events.push_back({ G, B, C }); });
    if (Deep) {
        TDeepOptions O;
        O.Milliseconds = 0;
        O.WorkLimit = 300000;
        O.Threads = 1;
        E.GoWorkDeep(O);
    } else {
        E.GoWork();
    }
    E.GetTotalBC();
    E.SetOnNewRectList(nullptr);
    std::vector<std::string> Broken = CheckLayout(E, Events, 10);
    if (Deep)
        for (const std::string &Line : CheckGuillotine(E, 10))
            Broken.push_back(Line);
    for (const std::string &Line : Broken)
        qWarning("%s", Line.c_str());
    if (!Broken.empty())
        QTest::qFail("layout rules broken", __FILE__, __LINE__);
    return Events;
}

// Sheets used per sheet kind, from the notifications.
std::map<int, int> SheetsByKind(TRectManage &E, const std::vector<Event> &Events)
{
    std::map<int, int> Out;
    for (std::size_t g = 0; g < Events.size(); ++g)
        if (Events[g].BCindex >= 0)
            Out[Events[g].BCindex] += E.GroupList().GetItem(int(g))->Count();
    return Out;
}

} // namespace

class TestEngineLimits : public QObject
{
    Q_OBJECT

private slots:
    // One part kind on one sheet kind. alongX: the extent along the sheet's X (its Width) every
    // strip of the part must have; 0: at least one strip lies turned from the part's length
    // along X.
    void grain_heldPartsNeverTurnOnGrainSheets_data()
    {
        QTest::addColumn<int>("sheetLength");
        QTest::addColumn<int>("sheetWidth");
        QTest::addColumn<bool>("sheetGrain");
        QTest::addColumn<int>("partLength");
        QTest::addColumn<int>("partWidth");
        QTest::addColumn<bool>("partGrain");
        QTest::addColumn<int>("alongX");
        // Free, the first strip is a row of five parts turned (200 along X).
        QTest::newRow("held on a grain sheet: length along its length")
            << 1000 << 500 << true << 300 << 200 << true << 300;
        QTest::newRow("held on a sheet without grain: turns")
            << 1000 << 500 << false << 300 << 200 << true << 0;
        QTest::newRow("free on a grain sheet: turns")
            << 1000 << 500 << true << 300 << 200 << false << 0;
        QTest::newRow("held, length entered as the shorter side")
            << 1000 << 500 << true << 200 << 300 << true << 200;
        QTest::newRow("held, sheet's length entered shorter: grain along Y")
            << 500 << 1000 << true << 300 << 200 << true << 200;
        QTest::newRow("held, both entered shorter")
            << 500 << 1000 << true << 200 << 300 << true << 300;
        QTest::newRow("held, long part that fits only along the grain")
            << 1000 << 500 << true << 900 << 100 << true << 900;
    }
    void grain_heldPartsNeverTurnOnGrainSheets()
    {
        QFETCH(int, sheetLength);
        QFETCH(int, sheetWidth);
        QFETCH(bool, sheetGrain);
        QFETCH(int, partLength);
        QFETCH(int, partWidth);
        QFETCH(bool, partGrain);
        QFETCH(int, alongX);
        for (const bool Deep : { false, true }) {
            GenJob J;
            J.Sheets = { Sheet(sheetLength, sheetWidth, 0, 100, sheetGrain) };
            J.Parts = { Part(partLength, partWidth, 10, partGrain) };
            TRectManage E;
            RunChecked(J, E, Deep);
            QVERIFY(!E.Execpt());
            QCOMPARE(E.MaterialTypeList().GetItem(0)->UsedCount(), 10);
            bool Turned = false;
            for (int i = 0; i < E.CreateRectList().Count(); ++i) {
                const TMaterialType &S = *E.CreateRectList().GetItem(i);
                if (alongX > 0)
                    QCOMPARE(S.Width(), alongX);
                Turned = Turned || S.Width() != std::max(partLength, partWidth);
            }
            if (alongX == 0 && !Deep)
                QVERIFY(Turned);
        }
    }

    // A square part held to its grain is placed as any square: turning it changes nothing.
    void grain_heldSquareIsPlaced()
    {
        GenJob J;
        J.Sheets = { Sheet(1000, 500, 3, 100, true) };
        J.Parts = { Part(240, 240, 9, true), Part(400, 120, 4, true) };
        TRectManage E;
        RunChecked(J, E);
        QVERIFY(!E.Execpt());
    }

    // The trim takes the border off: every part lies inside it, and the layout is the one of a
    // sheet that size shifted by the trim, while the utilisation counts the whole sheet.
    void trim_leavesTheBorderFreeAndLaysOutTheRest_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("trim");
        for (int Seed = 1; Seed <= 6; ++Seed)
            QTest::addRow("seed %d trim %d", Seed, Seed * 4) << Seed << Seed * 4;
    }
    void trim_leavesTheBorderFreeAndLaysOutTheRest()
    {
        QFETCH(int, seed);
        QFETCH(int, trim);
        Random R(static_cast<std::uint64_t>(seed));
        GenJob Trimmed = RealisticJob(R, 12, 1);
        Trimmed.UseBigSheet = false;
        Trimmed.Sheets[0].Trim = trim;
        GenJob Cut = Trimmed;
        Cut.Sheets[0].Trim = 0;
        Cut.Sheets[0].Length -= 2 * trim;
        Cut.Sheets[0].Width -= 2 * trim;

        TRectManage A, B;
        const std::vector<Event> EA = RunChecked(Trimmed, A);
        const std::vector<Event> EB = RunChecked(Cut, B);
        QCOMPARE(EA.size(), EB.size());
        QCOMPARE(A.CreateRectList().Count(), B.CreateRectList().Count());
        for (int i = 0; i < A.CreateRectList().Count(); ++i) {
            const TMaterialType &SA = *A.CreateRectList().GetItem(i);
            const TMaterialType &SB = *B.CreateRectList().GetItem(i);
            QCOMPARE(SA.X(), SB.X() + trim);
            QCOMPARE(SA.Y(), SB.Y() + trim);
            QCOMPARE(SA.MaxWidth(), SB.MaxWidth() + trim);
            QCOMPARE(SA.Width(), SB.Width());
            QCOMPARE(SA.Count(), SB.Count());
            QCOMPARE(SA.Group(), SB.Group());
        }
        const TMaterialType &S = *A.BCTypeList().GetItem(0);
        for (int g = 0; g < A.GroupList().Count(); ++g) {
            const TMaterialType &G = *A.GroupList().GetItem(g);
            QCOMPARE(G.MaxHieght(), S.GetArea());
            QCOMPARE(G.Width(), S.Width());
            QCOMPARE(G.Trim(), trim);
            QCOMPARE(G.Count(), B.GroupList().GetItem(g)->Count());
        }
    }

    // Trims are laid out by the deep search too, inside the trim and valued whole.
    void trim_deepModeSearchesInsideTheTrim()
    {
        Random R(7);
        GenJob J = RealisticJob(R, 10, 2);
        J.Sheets[0].Trim = 15;
        J.Sheets[1].Trim = 5;
        TRectManage E;
        const std::vector<Event> Events = RunChecked(J, E, true);
        const TDeepResult &D = E.DeepResult();
        double Whole = 0;
        for (const auto &[Kind, N] : SheetsByKind(E, Events)) {
            const TMaterialType &S = *E.BCTypeList().GetItem(Kind);
            Whole += (J.UseCost ? S.Price() : double(S.GetArea())) * N;
        }
        QVERIFY(std::abs(D.Objective - Whole) <= 1e-9 * Whole);
        QVERIFY(D.Bound <= D.Objective * (1 + 1e-9));
    }

    // Stock: a kind gives no more sheets than it has and the run goes on with the others;
    // a kind without any is never used; when every kind is used up, the run ends with the parts
    // left over, as any run that cannot be finished.
    void stock_limitsSheetsAndRunsOnWithOtherKinds_data()
    {
        QTest::addColumn<int>("stockA");
        QTest::addColumn<int>("stockB");
        QTest::addColumn<int>("usedA");
        QTest::addColumn<int>("usedB");
        QTest::addColumn<bool>("execpt");
        // Parts of 500 x 250: 4 on A (1000 x 500, used first: it fits them best), 5 on B
        // (1300 x 500, 1000 x 500 of parts).
        QTest::newRow("unlimited: all on A") << -1 << -1 << 10 << 0 << false;
        QTest::newRow("A limited: the rest on B") << 3 << -1 << 3 << 6 << false;
        QTest::newRow("A none: all on B") << 0 << -1 << 0 << 8 << false;
        QTest::newRow("both limited, enough") << 3 << 6 << 3 << 6 << false;
        QTest::newRow("both limited, too few") << 2 << 2 << 2 << 2 << true;
        QTest::newRow("nothing in stock") << 0 << 0 << 0 << 0 << true;
    }
    void stock_limitsSheetsAndRunsOnWithOtherKinds()
    {
        QFETCH(int, stockA);
        QFETCH(int, stockB);
        QFETCH(int, usedA);
        QFETCH(int, usedB);
        QFETCH(bool, execpt);
        for (const bool Deep : { false, true }) {
            GenJob J;
            J.Sheets = { Sheet(1000, 500, 0, 100, false, 0, stockA),
                Sheet(1300, 500, 0, 120, false, 0, stockB) };
            J.Parts = { Part(500, 250, 40) };
            TRectManage E;
            const std::vector<Event> Events = RunChecked(J, E, Deep);
            std::map<int, int> Used = SheetsByKind(E, Events);
            QCOMPARE(Used[0], usedA);
            QCOMPARE(Used[1], usedB);
            QCOMPARE(E.Execpt(), execpt);
            const TMaterialType &P = *E.MaterialTypeList().GetItem(0);
            QCOMPARE(P.UsedCount(), execpt ? 4 * usedA + 5 * usedB : 40);
            if (execpt) {
                QCOMPARE(Events.back().BCindex, -1);
                QCOMPARE(Events.back().RectCount, 0);
            }
            if (Deep) {
                const TDeepResult &D = E.DeepResult();
                QCOMPARE(D.Complete, !execpt);
                // The bound stays a bound of every complete layout; an incomplete one is never
                // called optimal.
                if (!execpt)
                    QVERIFY(D.Bound <= D.Objective * (1 + 1e-9));
                else
                    QVERIFY(!D.Optimal);
            }
        }
    }

    // A repeated layout stops at the stock: the sheet count of a group is cut to what is left.
    void stock_cutsTheRepeatCount()
    {
        GenJob J;
        J.Sheets = { Sheet(1000, 500, 0, 100, false, 0, 5) };
        J.Parts = { Part(500, 250, 100) };
        TRectManage E;
        const std::vector<Event> Events = RunChecked(J, E);
        QCOMPARE(E.GroupList().Count(), 1);
        QCOMPARE(E.GroupList().GetItem(0)->Count(), 5);
        QVERIFY(E.Execpt());
        QCOMPARE(E.MaterialTypeList().GetItem(0)->UsedCount(), 20);
    }

    // The deep search holds parts to the grain itself: 500 x 90 parts lie 11 to a 1000 x 500
    // sheet turned (90 along X) but only 10 with their length along X. On a sheet with grain
    // the held parts need three sheets and never lie turned, beside free parts of the same size
    // that may turn; without grain two sheets do. The bound stays below the result.
    void grain_deepSearchNeverTurnsHeldParts_data()
    {
        QTest::addColumn<bool>("sheetGrain");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("free");
        QTest::addColumn<int>("sheets");
        QTest::newRow("grain sheet, all held") << true << 22 << 0 << 3;
        QTest::newRow("sheet without grain, all held") << false << 22 << 0 << 2;
        QTest::newRow("grain sheet, none held") << true << 0 << 22 << 2;
        // Eleven held need two sheets (10 + 1); the free ones fill the rest turned or not.
        QTest::newRow("grain sheet, held and free of one size") << true << 11 << 11 << 3;
    }
    void grain_deepSearchNeverTurnsHeldParts()
    {
        QFETCH(bool, sheetGrain);
        QFETCH(int, held);
        QFETCH(int, free);
        QFETCH(int, sheets);
        GenJob J;
        J.Sheets = { Sheet(1000, 500, 0, 100, sheetGrain) };
        if (held > 0)
            J.Parts.push_back(Part(500, 90, held, true));
        if (free > 0)
            J.Parts.push_back(Part(500, 90, free, false));
        TRectManage E;
        const std::vector<Event> Events = RunChecked(J, E, true);
        QVERIFY(!E.Execpt());
        QCOMPARE(SheetsByKind(E, Events)[0], sheets);
        const TDeepResult &D = E.DeepResult();
        QVERIFY(D.Bound <= D.Objective * (1 + 1e-9));
        for (int i = 0; i < E.CreateRectList().Count(); ++i) {
            const TMaterialType &S = *E.CreateRectList().GetItem(i);
            if (sheetGrain && E.MaterialTypeList().GetItem(S.Data)->Grain())
                QCOMPARE(S.Width(), 500);
        }
    }

    // Stock that cannot take the job: the deep mode fills what there is and names the rest.
    // Two 1000 x 500 sheets hold 8 parts of 500 x 250 and the 1300 x 500 ones 5; 2 + 1 sheets
    // take 13 of the 20, and the closing notification and the part counts give the 7 left over.
    void stock_deepModeFillsWhatThereIsAndNamesTheRest()
    {
        GenJob J;
        J.Sheets = { Sheet(1000, 500, 0, 100, false, 0, 2), Sheet(1300, 500, 0, 120, false, 0, 1) };
        J.Parts = { Part(500, 250, 20), Part(900, 450, 1) };
        for (const bool Deep : { false, true }) {
            TRectManage E;
            const std::vector<Event> Events = RunChecked(J, E, Deep);
            QVERIFY(E.Execpt());
            QCOMPARE(Events.back().BCindex, -1);
            QCOMPARE(Events.back().RectCount, 0);
            const std::map<int, int> Used = SheetsByKind(E, Events);
            QCOMPARE(Used.at(0), 2);
            QCOMPARE(Used.at(1), 1);
            const int Small = E.MaterialTypeList().GetItem(0)->UsedCount();
            const int Big = E.MaterialTypeList().GetItem(1)->UsedCount();
            QVERIFY(Small < 20);
            if (Deep) {
                // Most parts first: the big part would take a sheet that holds four or five.
                QCOMPARE(Small, 13);
                QCOMPARE(Big, 0);
                QVERIFY(!E.DeepResult().Complete);
                QVERIFY(!E.DeepResult().Optimal);
            }
        }
    }

    // Jobs with grain, trims and stock keep every rule in both modes (in the deep mode their
    // layouts can be cut edge to edge too); the deep mode places no fewer parts than the quick
    // mode and, with as many placed, needs no more.
    void generatedJobs_keepEveryRule_data()
    {
        QTest::addColumn<bool>("deep");
        QTest::newRow("quick mode") << false;
        QTest::newRow("deep mode") << true;
    }
    void generatedJobs_keepEveryRule()
    {
        QFETCH(bool, deep);
        Random R(deep ? 2024 : 1105);
        int Incomplete = 0, Held = 0;
        const int Rounds = deep ? 40 : 124;
        for (int Round = 0; Round < Rounds; ++Round) {
            // The last few quick rounds have kinds enough for the packer's divisor search.
            const int Kinds = Round >= 120 ? 200 : static_cast<int>(R.Between(1, 25));
            const GenJob J = LimitedJob(R, Kinds, static_cast<int>(R.Between(1, 4)));
            TRectManage E;
            const std::vector<Event> Events = RunChecked(J, E, deep);
            if (QTest::currentTestFailed()) {
                qWarning("%s", JobText(J).c_str());
                return;
            }
            if (!deep)
                continue;
            TRectManage Q;
            const std::vector<Event> QuickEvents = RunChecked(J, Q, false);
            const std::int64_t Placed = E.MaterialTypeList().GetUsedSumCount();
            const std::int64_t QuickPlaced = Q.MaterialTypeList().GetUsedSumCount();
            QVERIFY2(Placed >= QuickPlaced, JobText(J).c_str());
            auto Objective = [&J](TRectManage &Engine, const std::vector<Event> &Ev) {
                double Sum = 0;
                for (const Event &V : Ev)
                    if (V.BCindex >= 0) {
                        const TMaterialType &S = *Engine.BCTypeList().GetItem(V.BCindex);
                        Sum += V.RectCount * (J.UseCost ? S.Price() : double(S.GetArea()));
                    }
                return Sum;
            };
            const double Mine = Objective(E, Events);
            if (Placed == QuickPlaced)
                QVERIFY2(Mine <= Objective(Q, QuickEvents) * (1 + 1e-12), JobText(J).c_str());
            const TDeepResult &D = E.DeepResult();
            // Only stock leaves parts over that fit some sheet kind, and then the run ends as one
            // that cannot be completed.
            if (!D.Complete)
                QVERIFY(E.Execpt());
            if (D.Complete)
                QVERIFY(D.Bound <= Mine * (1 + 1e-9));
            else
                QVERIFY(!D.Optimal);
            Incomplete += !D.Complete;
            for (int i = 0; i < E.CreateRectList().Count(); ++i) {
                const TMaterialType &S = *E.CreateRectList().GetItem(i);
                const int Kind = Events[std::size_t(S.Group() - 1)].BCindex;
                Held += S.Grain() && S.Width() != S.Height()
                    && E.BCTypeList().GetItem(Kind)->Grain();
            }
        }
        // The sweep reached runs that stock ended and parts held on sheets with grain.
        if (deep)
            QVERIFY(Incomplete > 0 && Incomplete < Rounds && Held > 0);
    }
};

QTEST_APPLESS_MAIN(TestEngineLimits)
#include "tst_limits.moc"
