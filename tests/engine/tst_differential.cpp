// The engine against its reference copy (tests/engine/reference): the same jobs must give the
// same results, field for field. The reference is the engine as it was before its speed work; the
// engine may find its answers faster, never different ones.
//
// Compared after each run: every notification (with what the handler can read at that moment),
// every field of every record of the part kinds, sheet kinds, strips (committed and of the last
// trial), layout groups and sheet totals, Execpt, TotalBCNum, GetMTLByGroup of every group, and
// what the public packing steps give when called after the run. That is a superset of pnxcut's
// output.
//
// PNX_DIFF_SWEEP=<n> adds a long sweep: n more jobs of every kind, and jobs of benchmark size
// (up to 2,000 part kinds). It is meant to be run by hand; its run time is minutes to hours.
#include "LayoutChecker.h"
#include "ReferenceEngine.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using namespace Qt::StringLiterals;
using namespace enginetest;

namespace {

// ---------------------------------------------------------------------------------------------
// Running and describing a job on either engine (both have the same interface).

template <typename Item> void DumpItem(std::string &Out, const char *Tag, int Index, Item &M)
{
    char Buf[512];
    std::snprintf(Buf, sizeof Buf,
        "%s %d x%d y%d w%d h%d o%d r%d c%d u%d mw%" PRId64 " mh%" PRId64 " g%d b%d p%.17g d%d ix%d",
        Tag, Index, M.X(), M.Y(), M.Width(), M.Height(), int(M.Orient()), int(M.Range()), M.Count(),
        M.UsedCount(), M.MaxWidth(), M.MaxHieght(), M.Group(), M.Blade(), M.Price(), M.Data,
        M.Index());
    Out += Buf;
    // Name and Text as stored; reading Text through GetText would fill it.
    Out += " n'" + M.Name() + "'\n";
}

template <typename List> void DumpList(std::string &Out, const char *Tag, List &L)
{
    Out += std::string(Tag) + " count " + std::to_string(L.Count()) + " rect "
        + std::to_string(L.RectCount()) + "\n";
    for (int i = 0; i < L.Count(); ++i)
        DumpItem(Out, Tag, i, *L.GetItem(i));
}

// Text of every item of a list, read last (GetText may fill it).
template <typename List> void DumpTexts(std::string &Out, const char *Tag, List &L)
{
    for (int i = 0; i < L.Count(); ++i)
        Out += std::string(Tag) + " text " + std::to_string(i) + " '" + L.GetItem(i)->GetText()
            + "'\n";
}

template <typename Engine> void LoadInto(const GenJob &J, Engine &E)
{
    E.BCTypeList().Clear();
    for (const GenSheet &S : J.Sheets) {
        auto &M = *E.BCTypeList().Add();
        M.SetText(S.Name);
        M.SetBlade(S.Kerf);
        M.SetWidth(std::max(S.Length, S.Width));
        M.SetHeight(std::min(S.Length, S.Width));
        M.SetPrice(S.Price);
    }
    E.MaterialTypeList().Clear();
    for (const GenPart &P : J.Parts) {
        auto &M = *E.MaterialTypeList().Add();
        M.SetText(P.Name);
        M.SetWidth(std::max(P.Length, P.Width));
        M.SetHeight(std::min(P.Length, P.Width));
        M.SetCount(P.Quantity);
    }
    E.SetUseCost(J.UseCost);
    E.SetUseBCMaxArea(J.UseBigSheet);
}

// How much the notification handler records of the engine's lists at each call: the sums it
// may read for progress always, the whole part-kind list and the newest strips with Full.
enum class Watch { Sums, Full };

// Runs GoWork on E (already loaded) and GetTotalBC, and describes everything observable.
template <typename Engine> std::string RunAndDescribe(Engine &E, Watch W)
{
    std::string Out;
    E.SetOnNewRectList([&Out, &E, W](int Group, int BCindex, int RectCount) {
        Out += "event " + std::to_string(Group) + " " + std::to_string(BCindex) + " "
            + std::to_string(RectCount) + " used "
            + std::to_string(E.MaterialTypeList().GetUsedSumCount()) + " groups "
            + std::to_string(E.GroupList().Count()) + " strips "
            + std::to_string(E.CreateRectList().Count()) + "\n";
        if (W == Watch::Full) {
            DumpList(Out, " part", E.MaterialTypeList());
            DumpList(Out, " trial", E.CreateMaterialList());
            if (E.GroupList().Count() > 0)
                DumpItem(Out, " group", E.GroupList().Count() - 1,
                    *E.GroupList().GetItem(E.GroupList().Count() - 1));
        }
    });
    E.GoWork();
    E.GetTotalBC();
    E.SetOnNewRectList(nullptr);

    Out += "execpt " + std::to_string(E.Execpt()) + " totalbcnum " + std::to_string(E.TotalBCNum())
        + " nullrects " + std::to_string(E.NullRectList().size()) + "\n";
    DumpList(Out, "group", E.GroupList());
    DumpList(Out, "strip", E.CreateRectList());
    DumpList(Out, "part", E.MaterialTypeList());
    DumpList(Out, "sheet", E.BCTypeList());
    DumpList(Out, "total", E.TotalBCList());
    DumpList(Out, "trial", E.CreateMaterialList());
    for (int g = -1; g <= E.GroupList().Count() + 1; ++g) {
        auto Summary = E.GetMTLByGroup(g);
        if (!Summary) {
            Out += "mtl " + std::to_string(g) + " none\n";
            continue;
        }
        const std::string Tag = "mtl " + std::to_string(g);
        DumpList(Out, Tag.c_str(), *Summary);
        DumpTexts(Out, Tag.c_str(), *Summary);
    }
    DumpTexts(Out, "group", E.GroupList());
    DumpTexts(Out, "strip", E.CreateRectList());
    DumpTexts(Out, "part", E.MaterialTypeList());
    DumpTexts(Out, "sheet", E.BCTypeList());
    DumpTexts(Out, "total", E.TotalBCList());
    return Out;
}

// After a run the public packing steps work on the state the run left: the size and kerf of the
// last sheet packed and the part kinds as restored. Asks for a strip in a few free rectangles.
template <typename Engine> std::string ProbeAfterRun(Engine &E)
{
    std::string Out;
    for (const auto &F : { std::pair { 0, 0 }, std::pair { 100, 50 }, std::pair { 700, 300 } }) {
        using Rect = std::remove_reference_t<decltype(*E.NullRectList().front())>;
        const Rect R { F.first, F.second, 1200, 800 };
        auto M = E.GetMaterialTypeGroup(R);
        if (M)
            DumpItem(Out, "probe", F.first, *M);
        else
            Out += "probe none\n";
    }
    DumpList(Out, "probed part", E.MaterialTypeList());
    return Out;
}

// The first line where two descriptions differ, with a little context.
QString FirstDifference(const std::string &Expected, const std::string &Actual)
{
    std::size_t Pos = 0, Line = 1;
    const std::size_t N = std::min(Expected.size(), Actual.size());
    while (Pos < N && Expected[Pos] == Actual[Pos]) {
        if (Expected[Pos] == '\n')
            ++Line;
        ++Pos;
    }
    auto LineAt = [](const std::string &S, std::size_t P) {
        const std::size_t B = S.rfind('\n', P == 0 ? 0 : P - 1);
        const std::size_t Start = (B == std::string::npos || P == 0) ? 0 : B + 1;
        const std::size_t End = S.find('\n', P);
        return QString::fromStdString(
            S.substr(Start, (End == std::string::npos ? S.size() : End) - Start));
    };
    return u"line %1\n  reference: %2\n  engine:    %3"_s.arg(Line).arg(
        LineAt(Expected, Pos), LineAt(Actual, Pos));
}

// Runs the job on both engines and compares. With Twice, each engine then runs again on the same
// object: first unchanged, then with changed quantities and one sheet kind fewer, so nothing of
// an earlier run may leak into a later one.
bool SameOnBoth(const GenJob &J, const QString &What, Watch W = Watch::Sums, bool Twice = false)
{
    reference::TRectManage Ref;
    TRectManage Eng;
    LoadInto(J, Ref);
    LoadInto(J, Eng);
    std::string Expected = RunAndDescribe(Ref, W);
    std::string Actual = RunAndDescribe(Eng, W);
    if (Twice && Expected == Actual) {
        Expected += RunAndDescribe(Ref, W);
        Actual += RunAndDescribe(Eng, W);
        for (int i = 0; i < Ref.MaterialTypeList().Count(); ++i) {
            const int Q = (Ref.MaterialTypeList().GetItem(i)->Count() * 7 + i) % 23;
            Ref.MaterialTypeList().GetItem(i)->SetCount(Q);
            Eng.MaterialTypeList().GetItem(i)->SetCount(Q);
        }
        if (Ref.BCTypeList().Count() > 1) {
            Ref.BCTypeList().Delete(0);
            Eng.BCTypeList().Delete(0);
        }
        Expected += RunAndDescribe(Ref, W);
        Actual += RunAndDescribe(Eng, W);
    }
    if (Expected == Actual) {
        Expected += ProbeAfterRun(Ref);
        Actual += ProbeAfterRun(Eng);
    }
    if (Expected == Actual)
        return true;
    qWarning("%s", qPrintable(What + u" differs at "_s + FirstDifference(Expected, Actual)));
    qWarning("job:\n%s", JobText(J).c_str());
    return false;
}

// ---------------------------------------------------------------------------------------------
// Jobs made to hit ties: sizes on a coarse grid so leftovers and areas come out equal, squares,
// part kinds and sheet kinds repeated, quantities of 0, 1 and thousands, kerf 0 and wider.

GenJob TieJob(Random &R)
{
    static const int Sheets[][2] = { { 1000, 500 }, { 1200, 500 }, { 1000, 600 }, { 600, 400 },
        { 1000, 1000 }, { 2440, 1220 }, { 1200, 1200 }, { 800, 300 } };
    static const double Prices[] = { 40.0, 50.0, 100.0, 120.0 };
    GenJob J;
    const int NSheets = static_cast<int>(R.Between(1, 4));
    const int Kerf = R.Chance(50) ? 0 : static_cast<int>(R.Between(1, 10));
    for (int i = 0; i < NSheets; ++i) {
        GenSheet S;
        if (i > 0 && R.Chance(25)) {
            S = J.Sheets[static_cast<std::size_t>(R.Between(0, i - 1))];
        } else {
            const auto &C = Sheets[R.Between(0, std::size(Sheets) - 1)];
            S.Length = C[0];
            S.Width = C[1];
            S.Kerf = R.Chance(80) ? Kerf : static_cast<int>(R.Between(0, 10));
            S.Price = Prices[R.Between(0, std::size(Prices) - 1)];
            S.Name = R.Chance(15) ? std::string() : "S" + std::to_string(R.Between(0, 3));
        }
        J.Sheets.push_back(S);
    }
    const int NParts = static_cast<int>(R.Between(1, 14));
    const int Grid = R.Chance(50) ? 50 : 100;
    for (int i = 0; i < NParts; ++i) {
        GenPart P;
        if (i > 0 && R.Chance(20)) {
            P = J.Parts[static_cast<std::size_t>(R.Between(0, i - 1))];
        } else if (R.Chance(10)) {
            P.Length = static_cast<int>(R.Between(3, 40)); // small: many strips, many rectangles
            P.Width = static_cast<int>(R.Between(3, 40));
        } else {
            P.Length = Grid * static_cast<int>(R.Between(1, 8));
            P.Width = R.Chance(25) ? P.Length : Grid * static_cast<int>(R.Between(1, 6));
            if (R.Chance(15))
                P.Length -= static_cast<int>(R.Between(1, Kerf + 1)); // one kerf short of the grid
        }
        const std::int64_t Q = R.Between(0, 9);
        P.Quantity = Q == 0 ? 0
            : Q <= 2        ? 1
            : Q == 3        ? static_cast<int>(R.Between(200, 3000))
                            : static_cast<int>(R.Between(1, 30));
        P.Name = R.Chance(15) ? std::string() : "P" + std::to_string(R.Between(0, 9));
        J.Parts.push_back(P);
    }
    J.UseCost = R.Chance(50);
    J.UseBigSheet = R.Chance(50);
    return J;
}

// Jobs shaped like the benchmark's: 50-1500 x 30-900 mm, common sheet sizes, many part kinds
// with quantities that run out at different times.
GenJob BenchLikeJob(Random &R, int PartKinds, int SheetKinds, int MaxQuantity)
{
    GenJob J = RealisticJob(R, PartKinds, SheetKinds);
    for (GenPart &P : J.Parts)
        P.Quantity = static_cast<int>(R.Between(1, MaxQuantity));
    return J;
}

int SweepSize()
{
    const char *V = std::getenv("PNX_DIFF_SWEEP");
    return V ? std::max(0, std::atoi(V)) : 0;
}

} // namespace

class TestEngineDifferential : public QObject
{
    Q_OBJECT

private slots:
    void generatedJobs_sameAsReference_data();
    void generatedJobs_sameAsReference();
    void editedJobs_sameAsReference();
    void largeJobs_sameAsReference();
};

void TestEngineDifferential::generatedJobs_sameAsReference_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("firstSeed");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("partKinds");
    QTest::addColumn<int>("sheetKinds");
    const int Sweep = SweepSize();
    QTest::newRow("realistic, few kinds") << u"realistic"_s << 1 << 300 + Sweep << 4 << 2;
    QTest::newRow("realistic, small") << u"realistic"_s << 10001 << 300 + Sweep << 20 << 3;
    QTest::newRow("realistic, many sheet kinds")
        << u"realistic"_s << 20001 << 60 + Sweep << 30 << 8;
    QTest::newRow("realistic, small parts") << u"smallparts"_s << 30001 << 40 + Sweep << 40 << 2;
    // Many kinds of millimetre parts: long free-rectangle lists (over 250 entries).
    QTest::newRow("tiny parts, many kinds") << u"tinyparts"_s << 31001 << 6 + Sweep << 300 << 1;
    QTest::newRow("small parts, many kinds") << u"smallparts30"_s << 32001 << 4 + Sweep << 500 << 2;
    // Many kinds, some of them tiny: strips of fewer parts than fit compete with full ones.
    QTest::newRow("mixed sizes") << u"mixed"_s << 33001 << 15 + Sweep << 150 << 4;
    QTest::newRow("benchmark-like") << u"benchlike"_s << 40001 << 20 + Sweep << 80 << 5;
    QTest::newRow("one or two of each kind") << u"fewofeach"_s << 41001 << 20 + Sweep << 150 << 4;
    // Many kinds of one part, or of a few: the strip search's paths for those (the longest part
    // that fits through a tree of lengths, strips of fewer parts than fit by length downwards).
    QTest::newRow("many kinds of one part") << u"single"_s << 42001 << 2 + Sweep << 900 << 10;
    QTest::newRow("many kinds of a few parts") << u"fewofeach3"_s << 43001 << 3 + Sweep << 500 << 6;
    QTest::newRow("ties") << u"ties"_s << 50001 << 1500 + Sweep << 0 << 0;
    QTest::newRow("hostile") << u"hostile"_s << 60001 << 600 + Sweep << 0 << 0;
    QTest::newRow("watched by the handler") << u"watched"_s << 70001 << 60 + Sweep << 12 << 3;
}

void TestEngineDifferential::generatedJobs_sameAsReference()
{
    QFETCH(QString, kind);
    QFETCH(int, firstSeed);
    QFETCH(int, jobs);
    QFETCH(int, partKinds);
    QFETCH(int, sheetKinds);
    for (int Seed = firstSeed; Seed < firstSeed + jobs; ++Seed) {
        Random R(static_cast<std::uint64_t>(Seed));
        GenJob J;
        Watch W = Watch::Sums;
        if (kind == u"realistic"_s || kind == u"watched"_s) {
            J = RealisticJob(R, partKinds, sheetKinds);
            if (kind == u"watched"_s)
                W = Watch::Full;
        } else if (kind == u"smallparts"_s) {
            J = RealisticJob(R, partKinds, sheetKinds);
            for (GenPart &P : J.Parts) {
                P.Length = static_cast<int>(R.Between(3, 75));
                P.Width = static_cast<int>(R.Between(3, 75));
            }
        } else if (kind == u"tinyparts"_s || kind == u"smallparts30"_s) {
            J = RealisticJob(R, partKinds, sheetKinds);
            const bool Tiny = kind == u"tinyparts"_s;
            for (GenPart &P : J.Parts) {
                P.Length = static_cast<int>(Tiny ? R.Between(1, 10) : R.Between(3, 30));
                P.Width = static_cast<int>(Tiny ? R.Between(1, 10) : R.Between(3, 30));
                P.Quantity = static_cast<int>(R.Between(1, Tiny ? 100 : 50));
            }
        } else if (kind == u"mixed"_s) {
            J = BenchLikeJob(R, partKinds, sheetKinds, 49);
            for (GenPart &P : J.Parts)
                if (R.Chance(30)) {
                    P.Length = static_cast<int>(R.Between(3, 25));
                    P.Width = static_cast<int>(R.Between(3, 25));
                }
        } else if (kind == u"benchlike"_s) {
            J = BenchLikeJob(R, partKinds, sheetKinds, 49);
        } else if (kind == u"fewofeach"_s) {
            J = BenchLikeJob(R, partKinds, sheetKinds, 2);
        } else if (kind == u"single"_s) {
            J = BenchLikeJob(R, partKinds, sheetKinds, 1);
        } else if (kind == u"fewofeach3"_s) {
            J = BenchLikeJob(R, partKinds, sheetKinds, 3);
        } else if (kind == u"ties"_s) {
            J = TieJob(R);
        } else {
            J = HostileJob(R);
        }
        if (!SameOnBoth(J, u"%1 job, seed %2,"_s.arg(kind).arg(Seed), W))
            QFAIL("the engine's result differs from the reference's");
    }
}

void TestEngineDifferential::editedJobs_sameAsReference()
{
    // Runs again on the same objects, with and without changed input in between.
    for (int Seed = 80001; Seed < 80041; ++Seed) {
        Random R(static_cast<std::uint64_t>(Seed));
        const GenJob J = Seed % 2 ? RealisticJob(R, 15, 3) : TieJob(R);
        if (!SameOnBoth(J, u"job run again, seed %1,"_s.arg(Seed), Watch::Sums, true))
            QFAIL("the engine's result differs from the reference's");
    }
}

void TestEngineDifferential::largeJobs_sameAsReference()
{
    // One medium job always; with the sweep, jobs of benchmark size and the small-part job that
    // fills the free-rectangle list.
    struct Large
    {
        int Kinds, Sheets, MaxQuantity;
        bool SmallParts;
    };
    std::vector<Large> Jobs { { 200, 5, 49, false } };
    if (SweepSize() > 0)
        Jobs.insert(Jobs.end(),
            { { 500, 6, 49, false }, { 2000, 10, 49, false }, { 2000, 3, 20, true },
                { 2000, 10, 49, true } });
    for (std::size_t i = 0; i < Jobs.size(); ++i) {
        Random R(90001 + i);
        GenJob J = BenchLikeJob(R, Jobs[i].Kinds, Jobs[i].Sheets, Jobs[i].MaxQuantity);
        if (Jobs[i].SmallParts)
            for (GenPart &P : J.Parts) {
                P.Length = static_cast<int>(R.Between(3, 75));
                P.Width = static_cast<int>(R.Between(3, 75));
            }
        if (!SameOnBoth(J, u"large job %1,"_s.arg(i)))
            QFAIL("the engine's result differs from the reference's");
    }
    if (SweepSize() == 0)
        return;
    // The benchmark's own jobs (bench/engine), with every combination of the options.
    struct Bench
    {
        int Kinds, Sheets, Mean;
    };
    for (const Bench &B : { Bench { 20, 3, 10 }, Bench { 200, 5, 25 }, Bench { 2000, 10, 25 } })
        for (int Options = 0; Options < 4; ++Options) {
            Random R(1);
            GenJob J = BenchmarkJob(R, B.Kinds, B.Sheets, B.Mean);
            J.UseCost = Options & 1;
            J.UseBigSheet = Options & 2;
            if (!SameOnBoth(
                    J, u"benchmark job of %1 kinds, options %2,"_s.arg(B.Kinds).arg(Options)))
                QFAIL("the engine's result differs from the reference's");
        }
}

int main(int argc, char **argv)
{
    // The long sweep runs far longer than Qt Test's default limit of five minutes per function.
    if (SweepSize() > 0 && !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    TestEngineDifferential Test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&Test, argc, argv);
}
#include "tst_differential.moc"
