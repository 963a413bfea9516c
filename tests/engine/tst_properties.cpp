// Layout rules over many generated jobs (fixed seeds), and the strip test on a job where the
// single-point tests alone would let strips cross.
#include "LayoutChecker.h"
#include "TypeSetClass.h"

#include <QtTest>

#include <string>

using namespace Qt::StringLiterals;
using namespace enginetest;

namespace {

// Everything a run reports, as text, to compare two runs.
std::string Digest(TRectManage &E, const std::vector<Event> &Events)
{
    std::string Out;
    for (const Event &Ev : Events)
        Out += "e" + std::to_string(Ev.Group) + "," + std::to_string(Ev.BCindex) + ","
            + std::to_string(Ev.RectCount) + ";";
    for (int i = 0; i < E.CreateRectList().Count(); ++i) {
        const TMaterialType &S = *E.CreateRectList().GetItem(i);
        Out += "s" + std::to_string(S.Group()) + "," + std::to_string(S.X()) + ","
            + std::to_string(S.Y()) + "," + std::to_string(S.Width()) + ","
            + std::to_string(S.Height()) + "," + std::to_string(int(S.Range())) + ","
            + std::to_string(S.Count()) + "," + std::to_string(S.Data) + ";";
    }
    return Out + (E.Execpt() ? "x" : "o");
}

} // namespace

class TestEngineProperties : public QObject
{
    Q_OBJECT

private slots:
    void generatedJobs_keepLayoutRules_data();
    void generatedJobs_keepLayoutRules();
    void stripTest_keepsCrossingStripOff();
};

void TestEngineProperties::generatedJobs_keepLayoutRules_data()
{
    QTest::addColumn<int>("firstSeed");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("partKinds");
    QTest::addColumn<int>("sheetKinds");
    QTest::addColumn<int>(
        "variant"); // 0 as generated, 1 wide kerfs, 2 small parts, 3 one sheet kind unusable
    QTest::newRow("small jobs") << 1 << 400 << 20 << 3 << 0;
    QTest::newRow("few kinds") << 1001 << 400 << 3 << 2 << 0;
    QTest::newRow("medium jobs") << 2001 << 6 << 200 << 5 << 0;
    QTest::newRow("wide kerfs") << 3001 << 200 << 12 << 3 << 1;
    QTest::newRow("small parts") << 4001 << 60 << 40 << 2 << 2;
    QTest::newRow("unusable sheet kinds among them") << 5001 << 200 << 10 << 3 << 3;
}

void TestEngineProperties::generatedJobs_keepLayoutRules()
{
    QFETCH(int, firstSeed);
    QFETCH(int, jobs);
    QFETCH(int, partKinds);
    QFETCH(int, sheetKinds);
    QFETCH(int, variant);
    int Incomplete = 0;
    for (int Seed = firstSeed; Seed < firstSeed + jobs; ++Seed) {
        Random R(static_cast<std::uint64_t>(Seed));
        GenJob J = RealisticJob(R, partKinds, sheetKinds);
        if (variant == 1)
            for (GenSheet &S : J.Sheets)
                S.Kerf = static_cast<int>(R.Between(0, 120));
        if (variant == 2)
            for (GenPart &P : J.Parts) {
                P.Length = static_cast<int>(R.Between(5, 120));
                P.Width = static_cast<int>(R.Between(5, 120));
            }
        if (variant == 3) {
            GenSheet &S = J.Sheets[static_cast<std::size_t>(R.Between(0, sheetKinds - 1))];
            switch (R.Between(0, 2)) {
            case 0:
                S.Kerf = -1;
                break;
            case 1:
                S.Width = 0;
                break;
            default:
                S.Length = -S.Length;
            }
        }
        const QByteArray Job = QByteArray::fromStdString(JobText(J));

        TRectManage E;
        const std::vector<Event> Events = RunJob(J, E);
        const std::vector<std::string> Broken = CheckLayout(E, Events);
        if (!Broken.empty()) {
            for (const std::string &Line : Broken)
                qWarning("%s", Line.c_str());
            QFAIL(qPrintable(
                u"seed %1 breaks the layout rules; job:\n"_s.arg(Seed) + QString::fromUtf8(Job)));
        }

        // A run that stops early without cost ranking has no remaining part that fits an empty
        // sheet of a usable kind (with cost ranking a sheet may be refused for its price).
        if (E.Execpt()) {
            ++Incomplete;
            if (!J.UseCost) {
                for (int p = 0; p < E.MaterialTypeList().Count(); ++p) {
                    const TMaterialType &P = *E.MaterialTypeList().GetItem(p);
                    if (P.UsedCount() >= P.Count())
                        continue;
                    for (int s = 0; s < E.BCTypeList().Count(); ++s) {
                        const TMaterialType &S = *E.BCTypeList().GetItem(s);
                        if (FitsEmptySheet(P.Width(), P.Height(), S.Width(), S.Height(), S.Blade()))
                            QFAIL(qPrintable(
                                u"seed %1: part kind %2 fits sheet kind %3 but was left; job:\n"_s
                                    .arg(Seed)
                                    .arg(p)
                                    .arg(s)
                                + QString::fromUtf8(Job)));
                    }
                }
            }
        }

        // The same job on a fresh engine gives the same result.
        TRectManage Again;
        const std::vector<Event> EventsAgain = RunJob(J, Again);
        QCOMPARE(Digest(Again, EventsAgain), Digest(E, Events));
    }
    qInfo("%d of %d jobs could not be completed", Incomplete, jobs);
}

void TestEngineProperties::stripTest_keepsCrossingStripOff()
{
    // On this sheet the last part of kind P2 would go into the free rectangle at (0, 587): its
    // corner (0, 587) and end point (0, 625) lie on no strip, yet it would run across the
    // column of two P2 parts at (37, 551). The strip test keeps it off the sheet.
    GenJob J;
    J.Sheets.push_back({ 644, 893, 0, 1.0, "S" });
    J.Parts.push_back({ 85, 414, 4, "P0" });
    J.Parts.push_back({ 381, 511, 6, "P1" });
    J.Parts.push_back({ 37, 587, 5, "P2" });
    TRectManage E;
    const std::vector<Event> Events = RunJob(J, E);
    QStringList Group1;
    for (int i = 0; i < E.CreateRectList().Count(); ++i) {
        const TMaterialType &S = *E.CreateRectList().GetItem(i);
        if (S.Group() != 1)
            continue;
        Group1 << u"%1,%2 %3x%4 %5%6"_s.arg(S.X())
                      .arg(S.Y())
                      .arg(S.Width())
                      .arg(S.Height())
                      .arg(S.Range() == TOrient::horizontal ? u"H"_s : u"V"_s)
                      .arg(S.Count());

        // The single-point tests would not have stopped the crossing strip.
        const bool Row = S.Range() == TOrient::horizontal;
        const int Right = S.X() + S.Width() * (Row ? S.Count() : 1);
        const int Bottom = S.Y() + S.Height() * (Row ? 1 : S.Count());
        for (const auto &[X, Y] : { std::pair { 0, 587 }, std::pair { 0, 587 + 37 + 1 } })
            QVERIFY(!(S.X() <= X && X < Right && S.Y() <= Y && Y < Bottom));
    }
    QCOMPARE(Group1.join(u"; "_s),
        u"0,0 37x587 V1; 37,0 414x85 H2; 37,85 414x85 H2; 37,170 511x381 V1; 37,551 587x37 V2"_s);
    QCOMPARE(E.GroupList().GetItem(0)->MaxWidth(), 400608);
    QCOMPARE(E.MaterialTypeList().GetItem(2)->UsedCount(), 5); // placed later on another sheet
    QVERIFY(!E.Execpt());
    QVERIFY(CheckLayout(E, Events).empty());
}

QTEST_APPLESS_MAIN(TestEngineProperties)
#include "tst_properties.moc"
