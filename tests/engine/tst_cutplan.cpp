// Cut plans: replaying a plan's cuts in order on its sheet, each straight across the whole piece
// it lies in, must leave every placed part as exactly one final piece and the offcuts as the
// other final pieces, with no kerf crossing a part. Checked on hand-made layouts and on layouts
// of both modes; a layout is cuttable exactly when the layout checker's own guillotine test says
// its parts can be separated.
#include "CutPlan.h"
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <algorithm>
#include <limits>
#include <cstdio>
#include <set>
#include <sstream>
#include <tuple>

using namespace enginetest;
using i64 = std::int64_t;

namespace {

// Replays Plan with the test kit's replay and checks what the kit does not know: numbering,
// stages in order, 纵切/横切, lengths, positions and which offcuts are kept.
std::string Replay(
    const TCutPlan &Plan, const std::vector<TCutPart> &Parts, const TOffcutRule &Rule)
{
    std::vector<CutLine> Lines;
    for (const TCut &C : Plan.Cuts)
        Lines.push_back({ C.X1, C.Y1, C.X2, C.Y2 });
    std::vector<Piece> PartPieces, Offcuts;
    for (const TCutPart &P : Parts)
        PartPieces.push_back({ P.X, P.Y, P.Width, P.Height });
    for (const TOffcut &O : Plan.Offcuts)
        Offcuts.push_back({ O.X, O.Y, O.Width, O.Height });
    std::vector<i64> Positions;
    const std::string Broken = ReplayCuts(
        Plan.SheetWidth, Plan.SheetHeight, Plan.Kerf, Lines, PartPieces, Offcuts, &Positions);
    if (!Broken.empty())
        return Broken;
    int LastStage = 1;
    for (std::size_t n = 0; n < Plan.Cuts.size(); ++n) {
        const TCut &C = Plan.Cuts[n];
        const std::string Where = "cut " + std::to_string(n + 1) + ": ";
        if (C.Number != int(n) + 1)
            return Where + "numbered " + std::to_string(C.Number);
        if (C.Stage < LastStage || C.Stage < 1)
            return Where + "stage goes back";
        LastStage = C.Stage;
        if (C.Vertical != (C.X1 == C.X2))
            return Where + "Vertical says otherwise";
        const bool RipVertical = Plan.SheetHeight > Plan.SheetWidth;
        if ((C.Direction == TCutDirection::Rip) != (C.Vertical == RipVertical))
            return Where + "纵切/横切 mixed up";
        if (C.Length != (C.Vertical ? C.Y2 - C.Y1 : C.X2 - C.X1))
            return Where + "length";
        if (C.Position != Positions[n])
            return Where + "position " + std::to_string(C.Position) + ", replayed "
                + std::to_string(Positions[n]);
    }
    if (Plan.Stages != (Plan.Cuts.empty() ? 0 : LastStage))
        return "Stages " + std::to_string(Plan.Stages);
    for (const TOffcut &O : Plan.Offcuts)
        if (O.Kept
            != (std::max(O.Width, O.Height) >= Rule.MinLength
                && std::min(O.Width, O.Height) >= Rule.MinWidth))
            return "offcut kept wrongly";
    return {};
}

bool SamePlan(const TCutPlan &A, const TCutPlan &B)
{
    const auto Cut = [](const TCut &C) {
        return std::make_tuple(C.Number, C.Stage, C.Direction, C.Vertical, C.X1, C.Y1, C.X2, C.Y2,
            C.Position, C.Length);
    };
    const auto Off
        = [](const TOffcut &O) { return std::make_tuple(O.X, O.Y, O.Width, O.Height, O.Kept); };
    if (std::make_tuple(A.Cuttable, A.SheetWidth, A.SheetHeight, A.Kerf, A.Stages, A.Cuts.size(),
            A.Offcuts.size())
        != std::make_tuple(B.Cuttable, B.SheetWidth, B.SheetHeight, B.Kerf, B.Stages, B.Cuts.size(),
            B.Offcuts.size()))
        return false;
    for (std::size_t i = 0; i < A.Cuts.size(); ++i)
        if (Cut(A.Cuts[i]) != Cut(B.Cuts[i]))
            return false;
    for (std::size_t i = 0; i < A.Offcuts.size(); ++i)
        if (Off(A.Offcuts[i]) != Off(B.Offcuts[i]))
            return false;
    return true;
}

// The deep mode's budget: Units of work on one thread, so that the result repeats.
TDeepOptions DeepWork(std::uint64_t Units)
{
    TDeepOptions O;
    O.Milliseconds = 0;
    O.WorkLimit = Units;
    O.Threads = 1;
    return O;
}

// The quick mode, or the deep mode with a work limit on one thread.
std::vector<Event> Run(const GenJob &J, TRectManage &E, bool Deep)
{
    LoadJob(J, E);
    std::vector<Event> Events;
    E.SetOnNewRectList([&Events](int G, int B, int C) { Events.push_back({ G, B, C }); });
    if (Deep)
        E.GoWorkDeep(DeepWork(200000));
    else
        E.GoWork();
    E.GetTotalBC();
    E.SetOnNewRectList(nullptr);
    return Events;
}

// The groups the layout checker finds cannot be separated by edge-to-edge cuts.
std::set<int> UncuttableGroups(TRectManage &E)
{
    std::set<int> Out;
    for (const std::string &Line : CheckGuillotine(E, 100000)) {
        int G = 0;
        if (std::sscanf(Line.c_str(), "group %d", &G) == 1)
            Out.insert(G);
    }
    return Out;
}

} // namespace

class TestCutPlan : public QObject
{
    Q_OBJECT

private slots:
    void smallLayout_givesTheSawsCuts();
    void handMadeLayouts_replay_data();
    void handMadeLayouts_replay();
    void offcutRule_keepsPiecesOfTheMinimumSize_data();
    void offcutRule_keepsPiecesOfTheMinimumSize();
    void engineLayouts_replay_data();
    void engineLayouts_replay();
    void hostileJobs_givePlansThatReplay();
    void extremeValues_areRefusedOrPlanned();
    void quickLayoutThatCannotBeCut_hasNoPlan();
    void enteredOrientation_reachesTheStrips();
};

// One part in the corner of a larger sheet: a cut along the sheet's length first, then one across
// the strip, each with its position from the edge of the piece it cuts; both leftovers are 余料.
void TestCutPlan::smallLayout_givesTheSawsCuts()
{
    const TCutPlan P = MakeCutPlan(1000, 500, 3, { { 0, 0, 300, 200 } });
    QVERIFY(P.Cuttable);
    QCOMPARE(P.Stages, 2);
    QCOMPARE(P.Cuts.size(), std::size_t(2));
    const TCut &A = P.Cuts[0];
    QCOMPARE(A.Number, 1);
    QCOMPARE(A.Stage, 1);
    QVERIFY(A.Direction == TCutDirection::Rip && !A.Vertical);
    QCOMPARE((std::vector<int> { A.X1, A.Y1, A.X2, A.Y2, A.Position, A.Length }),
        (std::vector<int> { 0, 200, 1000, 200, 200, 1000 }));
    const TCut &B = P.Cuts[1];
    QCOMPARE(B.Stage, 2);
    QVERIFY(B.Direction == TCutDirection::Cross && B.Vertical);
    QCOMPARE((std::vector<int> { B.X1, B.Y1, B.X2, B.Y2, B.Position, B.Length }),
        (std::vector<int> { 300, 0, 300, 200, 300, 200 }));
    QCOMPARE(P.Offcuts.size(), std::size_t(2));
    QCOMPARE((std::vector<int> {
                 P.Offcuts[0].X, P.Offcuts[0].Y, P.Offcuts[0].Width, P.Offcuts[0].Height }),
        (std::vector<int> { 0, 203, 1000, 297 }));
    QCOMPARE((std::vector<int> {
                 P.Offcuts[1].X, P.Offcuts[1].Y, P.Offcuts[1].Width, P.Offcuts[1].Height }),
        (std::vector<int> { 303, 0, 697, 200 }));
    QCOMPARE(P.KeptOffcuts(), 2);
}

void TestCutPlan::handMadeLayouts_replay_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("kerf");
    QTest::addColumn<std::vector<TCutPart>>("parts");
    QTest::addColumn<bool>("cuttable");
    QTest::addColumn<int>("cuts"); // -1: not checked
    QTest::addColumn<int>("offcuts"); // -1: not checked

    using V = std::vector<TCutPart>;
    QTest::newRow("part as large as the sheet")
        << 2440 << 1220 << 4 << V { { 0, 0, 2440, 1220 } } << true << 0 << 0;
    QTest::newRow("part as large as the sheet, kerf 0")
        << 2440 << 1220 << 0 << V { { 0, 0, 2440, 1220 } } << true << 0 << 0;
    QTest::newRow("part as long as the sheet")
        << 2440 << 1220 << 4 << V { { 0, 0, 2440, 600 } } << true << 1 << 1;
    QTest::newRow("no parts: the sheet is one offcut")
        << 2440 << 1220 << 4 << V {} << true << 0 << 1;
    QTest::newRow("two parts a kerf apart, kerf 0")
        << 1000 << 500 << 0 << V { { 0, 0, 500, 500 }, { 500, 0, 500, 500 } } << true << 1 << 0;
    QTest::newRow("two parts a kerf apart filling the sheet")
        << 1003 << 500 << 3 << V { { 0, 0, 500, 500 }, { 503, 0, 500, 500 } } << true << 1 << 0;
    // 5 mm between the parts with a 3 mm kerf: one cut frees the first, a trim the second.
    QTest::newRow("gap between one and two kerfs")
        << 1005 << 500 << 3 << V { { 0, 0, 500, 500 }, { 505, 0, 500, 500 } } << true << 2 << 0;
    QTest::newRow("waste between parts")
        << 1100 << 500 << 3 << V { { 0, 0, 500, 500 }, { 600, 0, 500, 500 } } << true << 2 << 1;
    QTest::newRow("less than a kerf of waste at the edges")
        << 1004 << 503 << 5 << V { { 2, 1, 1000, 500 } } << true << 4 << 0;
    QTest::newRow("part in the middle")
        << 1000 << 800 << 4 << V { { 300, 200, 400, 300 } } << true << 4 << 4;
    QTest::newRow("turned parts, rows and columns, kerf 4")
        << 2440 << 1220 << 4
        << V { { 0, 0, 720, 560 }, { 724, 0, 720, 560 }, { 1448, 0, 560, 720 },
               { 0, 724, 400, 240 }, { 0, 968, 400, 240 }, { 404, 724, 1200, 240 } }
        << true << -1 << -1;
    QTest::newRow("pinwheel cannot be cut") << 300 << 300 << 0
                                            << V { { 0, 0, 200, 100 }, { 200, 0, 100, 200 },
                                                   { 100, 200, 200, 100 }, { 0, 100, 100, 200 } }
                                            << false << 0 << 0;
    QTest::newRow("parts closer than a kerf cannot be cut")
        << 1000 << 500 << 3 << V { { 0, 0, 500, 500 }, { 502, 0, 400, 500 } } << false << 0 << 0;
    QTest::newRow("overlapping parts")
        << 1000 << 500 << 0 << V { { 0, 0, 500, 500 }, { 400, 0, 500, 400 } } << false << 0 << 0;
    QTest::newRow("part off the sheet")
        << 1000 << 500 << 0 << V { { 600, 0, 500, 500 } } << false << 0 << 0;
    QTest::newRow("portrait sheet")
        << 1220 << 2440 << 4 << V { { 0, 0, 600, 2440 }, { 604, 0, 600, 1000 } } << true << -1
        << -1;
}

void TestCutPlan::handMadeLayouts_replay()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, kerf);
    QFETCH(std::vector<TCutPart>, parts);
    QFETCH(bool, cuttable);
    QFETCH(int, cuts);
    QFETCH(int, offcuts);
    const TCutPlan P = MakeCutPlan(w, h, kerf, parts);
    QCOMPARE(P.Cuttable, cuttable);
    QCOMPARE((std::vector<int> { P.SheetWidth, P.SheetHeight, P.Kerf }),
        (std::vector<int> { w, h, kerf }));
    if (!cuttable) {
        QVERIFY(P.Cuts.empty() && P.Offcuts.empty());
        return;
    }
    if (cuts >= 0)
        QCOMPARE(int(P.Cuts.size()), cuts);
    if (offcuts >= 0)
        QCOMPARE(int(P.Offcuts.size()), offcuts);
    const std::string Broken = Replay(P, parts, TOffcutRule());
    QVERIFY2(Broken.empty(), Broken.c_str());
}

void TestCutPlan::offcutRule_keepsPiecesOfTheMinimumSize_data()
{
    QTest::addColumn<int>("minLength");
    QTest::addColumn<int>("minWidth");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<bool>("kept");
    QTest::newRow("exactly the minimum") << 200 << 200 << 200 << 200 << true;
    QTest::newRow("one side short") << 200 << 200 << 1000 << 199 << false;
    QTest::newRow("the other side short") << 200 << 200 << 199 << 1000 << false;
    QTest::newRow("long and narrow rule, either way round") << 300 << 100 << 150 << 400 << true;
    QTest::newRow("too short for the length") << 300 << 100 << 250 << 250 << false;
    QTest::newRow("nothing") << 1 << 1 << 0 << 500 << false;
}

void TestCutPlan::offcutRule_keepsPiecesOfTheMinimumSize()
{
    QFETCH(int, minLength);
    QFETCH(int, minWidth);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(bool, kept);
    QCOMPARE((TOffcutRule { minLength, minWidth }.Keeps(w, h)), kept);
}

void TestCutPlan::engineLayouts_replay_data()
{
    QTest::addColumn<bool>("deep");
    QTest::addColumn<int>("seed");
    for (int Seed = 1; Seed <= 40; ++Seed)
        QTest::newRow(qPrintable(QStringLiteral("quick %1").arg(Seed))) << false << Seed;
    for (int Seed = 1; Seed <= 8; ++Seed)
        QTest::newRow(qPrintable(QStringLiteral("deep %1").arg(Seed))) << true << Seed;
}

// Every layout of a run: a plan exactly when the layout checker finds its parts separable (in
// the deep mode always), and the plan replays. Some jobs are given a rule other than the default.
void TestCutPlan::engineLayouts_replay()
{
    QFETCH(bool, deep);
    QFETCH(int, seed);
    Random R(std::uint64_t(seed) * 7919);
    const GenJob J = RealisticJob(R, deep ? 6 : int(R.Between(3, 25)), int(R.Between(1, 3)));
    TRectManage E;
    Run(J, E, deep);
    const std::set<int> Uncuttable = UncuttableGroups(E);
    const TOffcutRule Rule = seed % 3 == 0 ? TOffcutRule { 500, 100 } : TOffcutRule();
    const std::vector<TCutPlan> All = MakeCutPlans(E, Rule);
    QCOMPARE(int(All.size()), E.GroupList().Count());
    int Groups = 0;
    for (int i = 0; i < E.GroupList().Count(); ++i) {
        const int G = E.GroupList().GetItem(i)->Group();
        const std::vector<TCutPart> Parts = LayoutParts(E, G);
        if (Parts.empty())
            continue; // the record of a step that placed nothing
        ++Groups;
        const TCutPlan P = MakeCutPlan(E, G, Rule);
        QVERIFY(SamePlan(P, All[std::size_t(i)]));
        QCOMPARE(P.SheetWidth, E.GroupList().GetItem(i)->Width());
        QCOMPARE(P.SheetHeight, E.GroupList().GetItem(i)->Height());
        QCOMPARE(P.Cuttable, !Uncuttable.count(G));
        if (deep)
            QVERIFY(P.Cuttable);
        if (!P.Cuttable)
            continue;
        const std::string Broken = Replay(P, Parts, Rule);
        QVERIFY2(Broken.empty(),
            qPrintable(QStringLiteral("group %1: %2").arg(G).arg(QString::fromStdString(Broken))));
    }
    QVERIFY(Groups > 0 || J.Parts.empty() || J.Sheets.empty() || E.Execpt());
}

// Jobs of absurd sizes, kerfs and quantities: every layout they give gets a plan or none, as
// the checker's own guillotine test says, and every plan replays.
void TestCutPlan::hostileJobs_givePlansThatReplay()
{
    int Checked = 0;
    for (int Seed = 1; Seed <= 40; ++Seed) {
        Random R(std::uint64_t(Seed) * 104729);
        const GenJob J = HostileJob(R);
        TRectManage E;
        Run(J, E, false);
        const std::set<int> Uncuttable = UncuttableGroups(E);
        for (int i = 0; i < E.GroupList().Count(); ++i) {
            const int G = E.GroupList().GetItem(i)->Group();
            const std::vector<TCutPart> Parts = LayoutParts(E, G);
            if (Parts.empty() || Parts.size() > 3000)
                continue; // the checker's part-level test and the replay take a few thousand
            const TCutPlan P = MakeCutPlan(E, G);
            QCOMPARE(P.Cuttable, !Uncuttable.count(G));
            if (P.Cuttable) {
                const std::string Broken = Replay(P, Parts, TOffcutRule());
                QVERIFY2(Broken.empty(), qPrintable(QStringLiteral("seed %1 group %2: %3")
                                                 .arg(Seed)
                                                 .arg(G)
                                                 .arg(QString::fromStdString(Broken))));
            }
            ++Checked;
        }
    }
    QVERIFY(Checked > 10);
}

// Sizes at the ends of the int range, negative kerfs and empty parts: refused (no plan) or
// planned without overflow.
void TestCutPlan::extremeValues_areRefusedOrPlanned()
{
    constexpr int Max = std::numeric_limits<int>::max();
    QVERIFY(!MakeCutPlan(1000, 500, -1, { { 0, 0, 10, 10 } }).Cuttable);
    QVERIFY(!MakeCutPlan(0, 500, 0, {}).Cuttable);
    QVERIFY(!MakeCutPlan(1000, 500, 0, { { 0, 0, 0, 10 } }).Cuttable);
    QVERIFY(!MakeCutPlan(1000, 500, 0, { { -1, 0, 10, 10 } }).Cuttable);
    QVERIFY(!MakeCutPlan(Max, Max, 0, { { Max - 5, 0, 10, 10 } }).Cuttable);
    const std::vector<TCutPart> Far { { Max - 20, Max - 20, 10, 10 } };
    const TCutPlan P = MakeCutPlan(Max, Max, 7, Far);
    QVERIFY(P.Cuttable);
    QVERIFY2(Replay(P, Far, TOffcutRule()).empty(), Replay(P, Far, TOffcutRule()).c_str());
    QCOMPARE(P.Cuts.size(), std::size_t(4));
    QVERIFY(P.Offcuts[0].Kept);
}

// A quick-mode layout whose parts no edge-to-edge cut separates: the parts of the second layout
// wind round each other (found among generated jobs). It has no plan; the layouts before it do.
void TestCutPlan::quickLayoutThatCannotBeCut_hasNoPlan()
{
    GenJob J;
    J.Sheets.push_back({ 1220, 2440, 1, 191.92, "Sheet 1" });
    J.Parts.push_back({ 942, 111, 20, "Part 1" });
    J.Parts.push_back({ 755, 115, 11, "Part 2" });
    J.Parts.push_back({ 355, 646, 10, "Part 3" });
    J.UseCost = true;
    TRectManage E;
    Run(J, E, false);
    QVERIFY(E.GroupList().Count() >= 2);
    QCOMPARE(UncuttableGroups(E), std::set<int> { 2 });
    const TCutPlan P = MakeCutPlan(E, 2);
    QVERIFY(!P.Cuttable);
    QVERIFY(P.Cuts.empty() && P.Offcuts.empty());
    QCOMPARE(P.Stages, 0);
    const TCutPlan First = MakeCutPlan(E, 1);
    QVERIFY(First.Cuttable);
    QVERIFY(Replay(First, LayoutParts(E, 1), TOffcutRule()).empty());
    QVERIFY(!MakeCutPlan(E, E.GroupList().Count() + 5).Cuttable); // no such layout
}

// The side a part was entered with as its length survives the runs of both modes on the part
// kinds and reaches every strip of the kind.
void TestCutPlan::enteredOrientation_reachesTheStrips()
{
    for (const bool Deep : { false, true }) {
        GenJob J;
        J.Sheets.push_back({ 2440, 1220, 4, 100, "Sheet" });
        J.Parts.push_back({ 500, 300, 7, "entered long side first" });
        J.Parts.push_back({ 300, 500, 7, "entered short side first" });
        J.Parts.push_back({ 400, 400, 3, "square" });
        TRectManage E;
        LoadJob(J, E);
        E.MaterialTypeList().GetItem(1)->SetEnteredLengthShorter(true);
        if (Deep)
            E.GoWorkDeep(DeepWork(100000));
        else
            E.GoWork();
        QVERIFY(!E.Execpt());
        for (int k = 0; k < 3; ++k)
            QCOMPARE(E.MaterialTypeList().GetItem(k)->EnteredLengthShorter(), k == 1);
        int Seen = 0;
        for (int i = 0; i < E.CreateRectList().Count(); ++i) {
            const TMaterialType &S = *E.CreateRectList().GetItem(i);
            QCOMPARE(S.EnteredLengthShorter(), S.Data == 1);
            Seen |= 1 << S.Data;
        }
        QCOMPARE(Seen, 7);
    }
}

QTEST_APPLESS_MAIN(TestCutPlan)
#include "tst_cutplan.moc"
