// A whole run: sheet selection by utilisation, cost or larger sheet, repeat counts, commits and
// notifications, abnormal ends, and the summaries made afterwards.
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <climits>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using enginetest::Event;

namespace {

QString q(const std::string &S)
{
    return QString::fromStdString(S);
}

// Sheet kinds as "W H Kerf Price Name" and part kinds as "W H Count Name", separated by ';'.
// Width takes the longer side, as the workspace hands rows over.
void Load(TRectManage &E, const QString &Sheets, const QString &Parts)
{
    E.BCTypeList().Clear();
    for (const QString &Item : Sheets.split(u';', Qt::SkipEmptyParts)) {
        const QStringList F = Item.simplified().split(u' ');
        TMaterialType &S = *E.BCTypeList().Add();
        S.SetWidth(std::max(F[0].toInt(), F[1].toInt()));
        S.SetHeight(std::min(F[0].toInt(), F[1].toInt()));
        S.SetBlade(F[2].toInt());
        S.SetPrice(F[3].toDouble());
        if (F.size() > 4)
            S.SetText(F[4].toStdString());
    }
    E.MaterialTypeList().Clear();
    for (const QString &Item : Parts.split(u';', Qt::SkipEmptyParts)) {
        const QStringList F = Item.simplified().split(u' ');
        TMaterialType &P = *E.MaterialTypeList().Add();
        P.SetWidth(std::max(F[0].toInt(), F[1].toInt()));
        P.SetHeight(std::min(F[0].toInt(), F[1].toInt()));
        P.SetCount(F[2].toInt());
        if (F.size() > 3)
            P.SetText(F[3].toStdString());
    }
}

std::vector<Event> Run(TRectManage &E)
{
    std::vector<Event> Events;
    E.SetOnNewRectList([&Events](int G, int B, int C) { Events.push_back({ G, B, C }); });
    E.GoWork();
    E.GetTotalBC();
    return Events;
}

QString EventText(const std::vector<Event> &Events)
{
    QStringList Out;
    for (const Event &Ev : Events)
        Out << u"(%1,%2,%3)"_s.arg(Ev.Group).arg(Ev.BCindex).arg(Ev.RectCount);
    return Out.join(u' ');
}

// Each group as "count x utilisation% partsArea".
QString GroupText(TRectManage &E)
{
    QStringList Out;
    for (int i = 0; i < E.GroupList().Count(); ++i) {
        const TMaterialType &G = *E.GroupList().GetItem(i);
        Out << u"%1x%2% %3"_s.arg(G.Count()).arg(G.UsedCount()).arg(G.MaxWidth());
    }
    return Out.join(u"; "_s);
}

void CheckRules(TRectManage &E, const std::vector<Event> &Events)
{
    const std::vector<std::string> Broken = enginetest::CheckLayout(E, Events);
    for (const std::string &Line : Broken)
        qWarning("%s", Line.c_str());
    QVERIFY(Broken.empty());
}

const QString TwoSheets = u"1000 500 0 100 S1; 600 400 0 40 S2"_s;
const QString TwoParts = u"300 200 10 A; 150 100 7 B"_s;

} // namespace

class TestEngineRun : public QObject
{
    Q_OBJECT

private slots:
    void goWork_selection_data();
    void goWork_selection();
    void goWork_notificationSeesCommittedGroup();
    void goWork_partKindsAfterRun();
    void goWork_secondRunStartsAfresh();
    void getMTLByGroup_mergesByText();
    void getMTLByGroup_noStripsGivesNothing();
    void getMTLByGroup_followsChangesToTheStrips();
    void getTotalBC_countsSheetsByText();
    void getTotalBC_secondCallAppendsAgain();
    void addAndAddBC_fillInputLists();
};

void TestEngineRun::goWork_selection_data()
{
    QTest::addColumn<QString>("sheets");
    QTest::addColumn<QString>("parts");
    QTest::addColumn<int>("options"); // 1: UseCost, 2: UseBCMaxArea
    QTest::addColumn<QString>("expectedEvents");
    QTest::addColumn<QString>("expectedGroups");
    QTest::addColumn<bool>("expectedExecpt");

    // In step 1 the larger sheet reaches 93 % (465000 of 500000) and costs 215 per square
    // metre; the smaller one reaches 100 % at 166.
    const QString FourOnS2 = u"(1,1,1) (2,1,1) (3,1,1) (4,1,1)"_s;
    const QString FourGroups = u"1x100% 240000; 1x93% 225000; 1x75% 180000; 1x25% 60000"_s;
    QTest::newRow("by utilisation")
        << TwoSheets << TwoParts << 0 << FourOnS2 << FourGroups << false;
    QTest::newRow("by cost") << TwoSheets << TwoParts << 1 << FourOnS2 << FourGroups << false;
    QTest::newRow("larger sheet first") << TwoSheets << TwoParts << 2 << u"(1,0,1) (2,0,1)"_s
                                        << u"1x93% 465000; 1x48% 240000"_s << false;
    QTest::newRow("larger sheet listed after a better one is never taken")
        << u"600 400 0 40 S2; 1000 500 0 100 S1"_s << TwoParts << 2
        << u"(1,0,1) (2,0,1) (3,0,1) (4,0,1)"_s << FourGroups << false;
    QTest::newRow("larger sheet with cost") << TwoSheets << TwoParts << 3 << u"(1,0,1) (2,0,1)"_s
                                            << u"1x93% 465000; 1x48% 240000"_s << false;
    QTest::newRow("only the larger sheet")
        << u"1000 500 0 100 S1"_s << TwoParts << 0 << u"(1,0,1) (2,0,1)"_s
        << u"1x93% 465000; 1x48% 240000"_s << false;

    // Ties: equal utilisation takes the later kind, equal cost keeps the earlier one.
    QTest::newRow("equal utilisation: later kind")
        << u"600 400 0 40 X; 600 400 0 40 Y"_s << u"600 400 1 P"_s << 0 << u"(1,1,1)"_s
        << u"1x100% 240000"_s << false;
    QTest::newRow("equal area with larger sheet first: earlier kind")
        << u"600 400 0 40 X; 400 600 0 40 Y"_s << u"600 400 1 P"_s << 2 << u"(1,0,1)"_s
        << u"1x100% 240000"_s << false;
    QTest::newRow("equal cost: earlier kind")
        << u"600 400 0 40 X; 600 400 0 40 Y"_s << u"600 400 1 P"_s << 1 << u"(1,0,1)"_s
        << u"1x100% 240000"_s << false;
    QTest::newRow("equal cost figure after truncation: earlier kind")
        << u"600 400 0 40.05 X; 600 400 0 40 Y"_s << u"600 400 1 P"_s << 1 << u"(1,0,1)"_s
        << u"1x100% 240000"_s << false;
    QTest::newRow("lower cost wins over utilisation")
        << u"600 400 0 40 X; 1000 500 0 10 Y"_s << u"600 400 1 P"_s << 1 << u"(1,1,1)"_s
        << u"1x48% 240000"_s << false;

    // Repeat count: 2 parts per sheet of 11 give 1 + (11 - 2) div 2 = 5 sheets; one is left.
    QTest::newRow("repeat count") << u"250 100 0 1 S"_s << u"100 100 11 P"_s << 0
                                  << u"(1,0,5) (2,0,1)"_s << u"5x80% 20000; 1x40% 10000"_s << false;
    QTest::newRow("repeat count limited by the scarcest kind")
        << u"300 100 0 1 S"_s << u"200 100 5 P; 100 100 2 Q"_s << 0 << u"(1,0,2) (2,0,3)"_s
        << u"2x100% 30000; 3x66% 20000"_s << false;
    QTest::newRow("kerf 10: 8 parts, then 1")
        << u"1200 1000 10 1 S"_s << u"400 300 9 A"_s << 0 << u"(1,0,1) (2,0,1)"_s
        << u"1x80% 960000; 1x10% 120000"_s << false;

    // A step that places nothing ends the run; it adds no group and notifies "no layout".
    QTest::newRow("a part fits no sheet")
        << u"1200 1000 10 1 S"_s << u"400 300 9 A; 2000 100 1 B"_s << 0
        << u"(1,0,1) (2,0,1) (3,-1,0)"_s << u"1x80% 960000; 1x10% 120000"_s << true;
    QTest::newRow("no sheet kinds")
        << QString() << u"100 100 1 P"_s << 0 << u"(1,-1,0)"_s << QString() << true;
    QTest::newRow("no part kinds")
        << TwoSheets << QString() << 0 << QString() << QString() << false;
    QTest::newRow("all quantities 0")
        << TwoSheets << u"100 100 0 P; 50 50 0 Q"_s << 0 << QString() << QString() << false;
    // Used-up kinds of small parts with a wide kerf do not keep a sheet empty.
    QTest::newRow("exhausted kind does not block a sheet")
        << u"757 692 44 1 S"_s << u"274 457 5 P0; 5 267 2 P1"_s << 0 << u"(1,0,1) (2,0,1) (3,0,1)"_s
        << u"1x48% 253106; 1x47% 250436; 1x23% 125218"_s << false;
    QTest::newRow("cost figure out of range never passes")
        << u"600 400 0 1e12 S"_s << u"10 10 1 P"_s << 1 << u"(1,-1,0)"_s << QString() << true;
    QTest::newRow("cost figure out of range passes without cost")
        << u"600 400 0 1e12 S"_s << u"10 10 1 P"_s << 0 << u"(1,0,1)"_s << u"1x0% 100"_s << false;
    QTest::newRow("negative price is cheapest")
        << u"600 400 0 40 X; 600 400 0 -5 Y"_s << u"600 400 1 P"_s << 1 << u"(1,1,1)"_s
        << u"1x100% 240000"_s << false;

    // Areas beyond 32 bits.
    QTest::newRow("sheet area beyond 32 bits")
        << u"100000 60000 0 100 Big"_s << u"50000 30000 4 P"_s << 0 << u"(1,0,1)"_s
        << u"1x100% 6000000000"_s << false;
    QTest::newRow("cost of a sheet beyond 32 bits")
        << u"100000 60000 0 100 Big; 600 400 0 1 Small"_s << u"50000 30000 4 P; 600 400 1 Q"_s << 1
        << u"(1,0,1) (2,1,1)"_s << u"1x100% 6000000000; 1x100% 240000"_s << false;
    // An exact 29 % is recorded as 29, not as 28 from a binary fraction just below.
    QTest::newRow("utilisation truncated exactly") << u"1000 1000 0 1 S"_s << u"1000 290 1 P"_s << 0
                                                   << u"(1,0,1)"_s << u"1x29% 290000"_s << false;
}

void TestEngineRun::goWork_selection()
{
    QFETCH(QString, sheets);
    QFETCH(QString, parts);
    QFETCH(int, options);
    QFETCH(QString, expectedEvents);
    QFETCH(QString, expectedGroups);
    QFETCH(bool, expectedExecpt);
    TRectManage E;
    Load(E, sheets, parts);
    E.SetUseCost(options & 1);
    E.SetUseBCMaxArea(options & 2);
    const std::vector<Event> Events = Run(E);
    QCOMPARE(EventText(Events), expectedEvents);
    QCOMPARE(GroupText(E), expectedGroups);
    QCOMPARE(E.Execpt(), expectedExecpt);
    CheckRules(E, Events);
}

void TestEngineRun::goWork_notificationSeesCommittedGroup()
{
    TRectManage E;
    Load(E, TwoSheets, TwoParts);
    int Calls = 0;
    E.SetOnNewRectList([&](int Group, int BCindex, int RectCount) {
        ++Calls;
        QCOMPARE(Group, Calls);
        QCOMPARE(E.GroupList().Count(), Group);
        QCOMPARE(E.GroupList().GetItem(Group - 1)->Count(), RectCount);
        QCOMPARE(q(E.GroupList().GetItem(Group - 1)->GetText()),
            q(E.BCTypeList().GetItem(BCindex)->GetText()));
        // The group's strips are committed and the part kinds updated.
        const TMaterialType &Last = *E.CreateRectList().GetItem(E.CreateRectList().Count() - 1);
        QCOMPARE(Last.Group(), Group);
        QCOMPARE(E.CreateRectList().RectCount(), RectCount);
        const int Expected[] = { 7, 13, 16, 17 };
        QCOMPARE(E.MaterialTypeList().GetUsedSumCount(), Expected[Group - 1]);
        // The handler may write Count and Group of sheet kinds.
        E.BCTypeList().GetItem(BCindex)->SetCount(RectCount);
        E.BCTypeList().GetItem(BCindex)->SetGroup(Group);
    });
    E.GoWork();
    QCOMPARE(Calls, 4);
    QVERIFY(!E.Execpt());
}

void TestEngineRun::goWork_partKindsAfterRun()
{
    TRectManage E;
    Load(E, TwoSheets, TwoParts);
    Run(E);
    const TMaterialType &A = *E.MaterialTypeList().GetItem(0);
    const TMaterialType &B = *E.MaterialTypeList().GetItem(1);
    QCOMPARE(A.UsedCount(), 10);
    QCOMPARE(A.Group(), 4); // the last group that placed it
    QCOMPARE(A.Data, 1); // that group's sheet kind
    QCOMPARE(B.UsedCount(), 7);
    QCOMPARE(B.Group(), 2);
    QCOMPARE(B.Data, 1);
    // Restored from copies after every trial: upright, names and texts kept.
    QVERIFY(A.Width() <= A.Height());
    QCOMPARE(q(A.Name()), u"M1"_s);
    QCOMPARE(q(E.MaterialTypeList().GetItem(1)->GetText()), u"B"_s);
    // Strips name their part kind and carry the kerf of their sheet.
    for (int i = 0; i < E.CreateRectList().Count(); ++i) {
        TMaterialType &S = *E.CreateRectList().GetItem(i);
        QCOMPARE(q(S.GetText()), q(E.MaterialTypeList().GetItem(S.Data)->GetText()));
        QCOMPARE(S.Blade(), 0);
    }
    // The sheet kinds are only read.
    QCOMPARE(E.BCTypeList().GetItem(1)->Width(), 600);
    QCOMPARE(E.BCTypeList().GetItem(1)->Count(), 0);
}

void TestEngineRun::goWork_secondRunStartsAfresh()
{
    TRectManage E;
    Load(E, TwoSheets, TwoParts);
    const QString FirstEvents = EventText(Run(E));
    const QString First = FirstEvents + GroupText(E);
    const int Strips = E.CreateRectList().Count();
    const QString SecondEvents = EventText(Run(E));
    const QString Second = SecondEvents + GroupText(E);
    QCOMPARE(Second, First);
    QCOMPARE(E.CreateRectList().Count(), Strips);
    QCOMPARE(E.TotalBCList().Count(), 2);

    // Refilled lists between runs.
    Load(E, u"1000 500 0 1 S"_s, u"1000 500 1 P"_s);
    QCOMPARE(EventText(Run(E)), u"(1,0,1)"_s);
    QCOMPARE(E.GroupList().Count(), 1);
}

void TestEngineRun::getMTLByGroup_mergesByText()
{
    TRectManage E;
    auto AddStrip = [&E](const char *Text, int W, int H, int Count, int Group) {
        TMaterialType &S = *E.CreateRectList().Add();
        S.SetText(Text);
        S.SetWidth(W);
        S.SetHeight(H);
        S.SetCount(Count);
        S.SetGroup(Group);
    };
    AddStrip("A", 300, 200, 5, 1);
    AddStrip("X", 10, 10, 9, 2);
    AddStrip("B", 150, 100, 7, 1);
    AddStrip("A", 200, 300, 1, 1); // same text turned: merged with the first A
    AddStrip("a", 300, 200, 2, 1); // case matters

    std::unique_ptr<TMaterialTypeList> L = E.GetMTLByGroup(1);
    QVERIFY(L);
    QCOMPARE(L->Count(), 3);
    QCOMPARE(L->RectCount(), 15);
    const TMaterialType &A = *L->GetItem(0);
    QCOMPARE(q(L->GetItem(0)->GetText()), u"A"_s);
    QCOMPARE(A.Count(), 6);
    QCOMPARE(A.Width(), 300);
    QCOMPARE(A.Height(), 200);
    QCOMPARE(q(A.Name()), u"M1"_s);
    QCOMPARE(q(L->GetItem(1)->GetText()), u"B"_s);
    QCOMPARE(L->GetItem(1)->Count(), 7);
    QCOMPARE(q(L->GetItem(2)->GetText()), u"a"_s);
    QCOMPARE(A.X(), 0);
    QCOMPARE(A.Group(), 0);

    // Strips without a text go by their name.
    TMaterialType &Unnamed = *E.CreateRectList().Add();
    Unnamed.SetName("M7");
    Unnamed.SetCount(2);
    Unnamed.SetGroup(3);
    std::unique_ptr<TMaterialTypeList> U = E.GetMTLByGroup(3);
    QVERIFY(U);
    QCOMPARE(q(U->GetItem(0)->GetText()), u"M7"_s);
    QCOMPARE(U->RectCount(), 2);
}

void TestEngineRun::getMTLByGroup_noStripsGivesNothing()
{
    TRectManage E;
    QVERIFY(!E.GetMTLByGroup(1));
    Load(E, TwoSheets, TwoParts);
    Run(E);
    QVERIFY(!E.GetMTLByGroup(0));
    QVERIFY(!E.GetMTLByGroup(5));
    QVERIFY(!E.GetMTLByGroup(-1));
    // One layout of the run: 3 A and 4 B on a sheet of group 1.
    std::unique_ptr<TMaterialTypeList> L = E.GetMTLByGroup(1);
    QVERIFY(L);
    QCOMPARE(L->RectCount(), 7);
}

void TestEngineRun::getMTLByGroup_followsChangesToTheStrips()
{
    // Summaries are taken through an index of the strips by group; whatever a caller does to the
    // strip list between two calls shows in the next one.
    TRectManage E;
    Load(E, TwoSheets, TwoParts);
    Run(E);
    TMaterialTypeList &Strips = E.CreateRectList();
    auto Parts = [&E](int Group) {
        const std::unique_ptr<TMaterialTypeList> L = E.GetMTLByGroup(Group);
        return L ? L->RectCount() : -1;
    };
    QCOMPARE(Parts(1), 7);
    const int Second = Parts(2);
    QVERIFY(Second > 0);
    TMaterialType &First = *Strips.GetItem(0);
    QCOMPARE(First.Group(), 1);
    const int Moved = First.Count();
    First.SetGroup(2); // regrouped
    QCOMPARE(Parts(1), 7 - Moved);
    QCOMPARE(Parts(2), Second + Moved);
    Strips.AddItem(&First, -1); // moved to the end: still group 2, counted once
    QCOMPARE(Parts(2), Second + Moved);
    Strips.Delete(Strips.Count() - 1); // deleted
    QCOMPARE(Parts(2), Second);
    TMaterialType &Fresh = *Strips.Add(); // appended to a group of none
    Fresh.SetCount(5);
    Fresh.SetGroup(9);
    QCOMPARE(Parts(9), 5);
    Strips.Clear();
    QCOMPARE(Parts(2), -1);
    QVERIFY(E.StripsOfGroup(9).empty());
}

void TestEngineRun::getTotalBC_countsSheetsByText()
{
    TRectManage E;
    Load(E, TwoSheets, TwoParts);
    Run(E);
    TMaterialTypeList &T = E.TotalBCList();
    QCOMPARE(T.Count(), 2);
    QCOMPARE(T.GetItem(0)->UsedCount(), 0);
    QCOMPARE(T.GetItem(1)->UsedCount(), 4);
    QCOMPARE(E.TotalBCNum(), 1);
    QCOMPARE(q(T.GetItem(1)->GetText()), u"S2"_s);
    QCOMPARE(T.GetItem(1)->Price(), 40.0);
    // Used kinds take the group's size; unused ones keep the turned copy.
    QCOMPARE(T.GetItem(1)->Width(), 600);
    QCOMPARE(T.GetItem(1)->Height(), 400);
    QCOMPARE(T.GetItem(0)->Width(), 500);
    QCOMPARE(T.GetItem(0)->Height(), 1000);

    // Sheet kinds that share a text each receive the sum of both.
    TRectManage Shared;
    Load(Shared, u"1000 500 0 100 Same; 600 400 0 40 Same"_s, TwoParts);
    Shared.SetUseBCMaxArea(true);
    const std::vector<Event> Events = Run(Shared);
    QCOMPARE(EventText(Events), u"(1,0,1) (2,0,1)"_s);
    QCOMPARE(Shared.TotalBCList().GetItem(0)->UsedCount(), 2);
    QCOMPARE(Shared.TotalBCList().GetItem(1)->UsedCount(), 2);
    QCOMPARE(Shared.TotalBCNum(), 2);
    QCOMPARE(Shared.TotalBCList().GetItem(1)->Width(), 1000); // the group's sheet size

    // A sheet kind without a text is matched by its name.
    TRectManage Unnamed;
    Load(Unnamed, u"600 400 0 40"_s, u"600 400 2 P"_s);
    Run(Unnamed);
    QCOMPARE(q(Unnamed.GroupList().GetItem(0)->GetText()), u"M1"_s);
    QCOMPARE(Unnamed.TotalBCList().GetItem(0)->UsedCount(), 2);
}

void TestEngineRun::getTotalBC_secondCallAppendsAgain()
{
    TRectManage E;
    Load(E, TwoSheets, TwoParts);
    Run(E);
    E.GetTotalBC();
    QCOMPARE(E.TotalBCList().Count(), 4);
    QCOMPARE(E.TotalBCNum(), 2);
    QCOMPARE(E.TotalBCList().GetItem(3)->UsedCount(), 4);
}

void TestEngineRun::addAndAddBC_fillInputLists()
{
    TRectManage E;
    TMaterialType *P = E.Add(720, 560, 8);
    QCOMPARE(P->Width(), 720);
    QCOMPARE(P->Height(), 560);
    QCOMPARE(P->Count(), 8);
    QCOMPARE(q(P->Name()), u"M1"_s);
    TMaterialType *S = E.AddBC(1220, 2440);
    QCOMPARE(S->Width(), 1220);
    QCOMPARE(S->Height(), 2440);
    QCOMPARE(E.BCTypeList().Count(), 1);
    S->SetBlade(4);
    S->SetPrice(50);
    const std::vector<Event> Events = Run(E);
    QVERIFY(!E.Execpt());
    QCOMPARE(E.MaterialTypeList().GetUsedSumCount(), 8);
    CheckRules(E, Events);
}

QTEST_APPLESS_MAIN(TestEngineRun)
#include "tst_run.moc"
