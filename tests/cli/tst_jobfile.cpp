// Job files of pnxcut: what they may contain, what is refused and how, the hand-over to the
// engine, and the program's handling of arguments, unreadable files and output streams.
#include "JobFile.h"
#include "TypeSetClass.h"

#include <QTemporaryDir>
#include <QtTest>

#include <random>
#include <sstream>

using namespace Qt::StringLiterals;

namespace {

QString q(const std::string &S)
{
    return QString::fromStdString(S);
}

// The parsed job in one line, to compare with a table.
QString Describe(const cli::Job &J)
{
    QStringList Out;
    for (const cli::SheetRow &S : J.Sheets)
        Out << u"sheet %1 %2 %3 %4 [%5]"_s.arg(S.Length).arg(S.Width).arg(S.Kerf).arg(S.Price).arg(
                   q(S.Name))
                + (S.Grain ? u" grain"_s : QString())
                + (S.Trim ? u" trim %1"_s.arg(S.Trim) : QString())
                + (S.Stock >= 0 ? u" stock %1"_s.arg(S.Stock) : QString());
    for (const cli::PartRow &P : J.Parts)
        Out << u"part %1 %2 %3 [%4]"_s.arg(P.Length).arg(P.Width).arg(P.Quantity).arg(q(P.Name))
                + (P.Grain ? u" grain"_s : QString());
    if (J.UseCost)
        Out << u"cost"_s;
    if (J.UseBigSheet)
        Out << u"bigsheet"_s;
    if (J.Deep)
        Out << u"deep"_s;
    if (J.Seconds != 1.0)
        Out << u"seconds %1"_s.arg(J.Seconds);
    if (J.Work)
        Out << u"work %1"_s.arg(J.Work);
    return Out.join(u" | "_s);
}

struct Invocation
{
    int Code = 0;
    std::string Out;
    std::string Err;
};

Invocation Invoke(const std::vector<std::string> &Args)
{
    std::ostringstream Out, Err;
    std::vector<std::string> Full { "pnxcut" };
    Full.insert(Full.end(), Args.begin(), Args.end());
    Invocation R;
    R.Code = cli::Main(Full, Out, Err);
    R.Out = Out.str();
    R.Err = Err.str();
    return R;
}

std::string WriteFile(const QTemporaryDir &Dir, const char *Name, const QByteArray &Content)
{
    const QString Path = Dir.filePath(QString::fromUtf8(Name));
    QFile F(Path);
    if (!F.open(QIODevice::WriteOnly) || F.write(Content) != Content.size())
        qFatal("cannot write %s", qPrintable(Path));
    return Path.toStdString();
}

} // namespace

class TestCliJobFile : public QObject
{
    Q_OBJECT

private slots:
    void parse_acceptsRecords_data();
    void parse_acceptsRecords();
    void parse_refusesMalformedLines_data();
    void parse_refusesMalformedLines();
    void loadJob_handsRowsToTheEngine();
    void main_printsResultRecords();
    void main_deepModeAddsTheBound();
    void main_refusesBadInvocationsWithNothingOnStdout_data();
    void main_refusesBadInvocationsWithNothingOnStdout();
    void parse_survivesAnyBytes();
};

void TestCliJobFile::parse_acceptsRecords_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("comments and blank lines")
        << QByteArray("# a job\n\n   \n\t# indented comment\n") << QString();
    QTest::newRow("sheet and part")
        << QByteArray("sheet 2440 1220 4 52.5 Board\npart 720 560 8 Side\n")
        << u"sheet 2440 1220 4 52.5 [Board] | part 720 560 8 [Side]"_s;
    QTest::newRow("names with blanks, trimmed")
        << QByteArray("part 1 2 3   Base unit  side 800  \t\n")
        << u"part 1 2 3 [Base unit  side 800]"_s;
    QTest::newRow("empty names") << QByteArray("sheet 1 2 3 4\npart 5 6 7   \n")
                                 << u"sheet 1 2 3 4 [] | part 5 6 7 []"_s;
    QTest::newRow("Chinese name") << QByteArray("part 300 200 2 门板（左）\n")
                                  << u"part 300 200 2 [门板（左）]"_s;
    QTest::newRow("tabs as separators")
        << QByteArray("part\t300\t200\t2\tA\n") << u"part 300 200 2 [A]"_s;
    QTest::newRow("CRLF line ends and no final newline")
        << QByteArray("sheet 10 20 0 1.5 S\r\npart 1 1 1 P\r\noption cost 1")
        << u"sheet 10 20 0 1.5 [S] | part 1 1 1 [P] | cost"_s;
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBFpart 1 1 1 P\n") << u"part 1 1 1 [P]"_s;
    QTest::newRow("signs, zero and limits")
        << QByteArray("sheet -2147483648 +2147483647 0 -0.25 S\npart 0 -5 -1 P\n")
        << u"sheet -2147483648 2147483647 0 -0.25 [S] | part 0 -5 -1 [P]"_s;
    QTest::newRow("prices") << QByteArray("sheet 1 1 1 .5 a\nsheet 1 1 1 7. b\nsheet 1 1 1 +3 c\n")
                            << u"sheet 1 1 1 0.5 [a] | sheet 1 1 1 7 [b] | sheet 1 1 1 3 [c]"_s;
    QTest::newRow("options, last one holds")
        << QByteArray("option cost 1\noption bigsheet 1\noption cost 0\n") << u"bigsheet"_s;
    QTest::newRow("deep mode with a time budget")
        << QByteArray("option deep 1\noption seconds 2.5\n") << u"deep | seconds 2.5"_s;
    QTest::newRow("deep mode with a work budget")
        << QByteArray("option deep 1\noption work 1000000000000\noption seconds 0.001\n")
        << u"deep | seconds 0.001 | work 1000000000000"_s;
    QTest::newRow("deep mode switched off again")
        << QByteArray("option deep 1\noption deep 0\n") << QString();
    QTest::newRow("grain, trim and stock describe the line above")
        << QByteArray("sheet 2440 1220 4 10 A\ngrain 1\ntrim 10\nstock 0\n"
                      "part 300 200 1 P\n\tgrain  1 \n# x\nsheet 9 9 0 1 B\nstock 7\ngrain 0\n")
        << u"sheet 2440 1220 4 10 [A] grain trim 10 stock 0 | sheet 9 9 0 1 [B] stock 7 | "
           "part 300 200 1 [P] grain"_s;
    QTest::newRow("options between a row and its records")
        << QByteArray("part 5 4 3 P\noption cost 1\ngrain 1\n") << u"part 5 4 3 [P] grain | cost"_s;
    QTest::newRow("rows keep file order")
        << QByteArray("part 1 1 1 b\nsheet 9 9 9 9 y\npart 2 2 2 a\nsheet 8 8 8 8 x\n")
        << u"sheet 9 9 9 9 [y] | sheet 8 8 8 8 [x] | part 1 1 1 [b] | part 2 2 2 [a]"_s;
}

void TestCliJobFile::parse_acceptsRecords()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    const cli::ParseOutcome R
        = cli::ParseJob(std::string_view(text.constData(), std::size_t(text.size())));
    QVERIFY2(R.Parsed, R.Error.Message.c_str());
    QCOMPARE(Describe(*R.Parsed), expected);
}

void TestCliJobFile::parse_refusesMalformedLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown record")
        << QByteArray("# x\nboard 1 2 3 4 S\n") << 2
        << u"unknown record 'board' (expected sheet, part, grain, trim, stock or option)"_s;
    QTest::newRow("record names are lower case")
        << QByteArray("Sheet 1 2 3 4 S\n") << 1
        << u"unknown record 'Sheet' (expected sheet, part, grain, trim, stock or option)"_s;
    QTest::newRow("grain before any row") << QByteArray("grain 1\nsheet 1 2 3 4 S\n") << 1
                                          << u"grain must follow a sheet or part record"_s;
    QTest::newRow("trim of a part")
        << QByteArray("part 1 2 3 P\ntrim 5\n") << 2 << u"trim must follow a sheet record"_s;
    QTest::newRow("stock of a part") << QByteArray("sheet 1 2 3 4 S\npart 1 2 3 P\nstock 5\n") << 3
                                     << u"stock must follow a sheet record"_s;
    QTest::newRow("grain twice") << QByteArray("sheet 1 2 3 4 S\ngrain 1\ngrain 0\n") << 3
                                 << u"second grain record for the sheet of line 1"_s;
    QTest::newRow("grain other than 0 or 1")
        << QByteArray("part 1 2 3 P\ngrain yes\n") << 2 << u"grain takes 0 or 1, not 'yes'"_s;
    QTest::newRow("negative trim") << QByteArray("sheet 1 2 3 4 S\ntrim -1\n") << 2
                                   << u"trim takes a whole number from 0 to 2147483647, not '-1'"_s;
    QTest::newRow("missing stock") << QByteArray("sheet 1 2 3 4 S\nstock\n") << 2
                                   << u"stock takes a whole number from 0 to 2147483647, not ''"_s;
    QTest::newRow("text after trim")
        << QByteArray("sheet 1 2 3 4 S\ntrim 5 mm\n") << 2 << u"unexpected text after trim: 'mm'"_s;
    QTest::newRow("missing width") << QByteArray("part 300\n") << 1 << u"missing WIDTH"_s;
    QTest::newRow("missing quantity")
        << QByteArray("\n\npart 300 200\n") << 3 << u"missing QUANTITY"_s;
    QTest::newRow("missing kerf") << QByteArray("sheet 1 2\n") << 1 << u"missing KERF"_s;
    QTest::newRow("missing price") << QByteArray("sheet 1 2 3\n") << 1 << u"missing PRICE"_s;
    QTest::newRow("non-numeric length")
        << QByteArray("part abc 200 1 P\n") << 1 << u"LENGTH is not a whole number: 'abc'"_s;
    QTest::newRow("decimal quantity")
        << QByteArray("part 300 200 1.5 P\n") << 1 << u"QUANTITY is not a whole number: '1.5'"_s;
    QTest::newRow("sign alone") << QByteArray("part - 200 1 P\n") << 1
                                << u"LENGTH is not a whole number: '-'"_s;
    QTest::newRow("trailing letters")
        << QByteArray("part 300mm 200 1 P\n") << 1 << u"LENGTH is not a whole number: '300mm'"_s;
    QTest::newRow("just above 32 bits")
        << QByteArray("part 2147483648 1 1 P\n") << 1
        << u"LENGTH is outside the signed 32-bit range: '2147483648'"_s;
    QTest::newRow("just below 32 bits")
        << QByteArray("sheet 1 1 -2147483649 1 S\n") << 1
        << u"KERF is outside the signed 32-bit range: '-2147483649'"_s;
    QTest::newRow("far beyond 64 bits")
        << QByteArray("part 1 1 99999999999999999999999 P\n") << 1
        << u"QUANTITY is outside the signed 32-bit range: '99999999999999999999999'"_s;
    QTest::newRow("price with comma")
        << QByteArray("sheet 1 1 1 1,5 S\n") << 1 << u"PRICE is not a decimal number: '1,5'"_s;
    QTest::newRow("price with exponent")
        << QByteArray("sheet 1 1 1 1e5 S\n") << 1 << u"PRICE is not a decimal number: '1e5'"_s;
    QTest::newRow("price not a number")
        << QByteArray("sheet 1 1 1 nan S\n") << 1 << u"PRICE is not a decimal number: 'nan'"_s;
    QTest::newRow("price point only")
        << QByteArray("sheet 1 1 1 . S\n") << 1 << u"PRICE is not a decimal number: '.'"_s;
    QTest::newRow("price two points")
        << QByteArray("sheet 1 1 1 1.2.3 S\n") << 1 << u"PRICE is not a decimal number: '1.2.3'"_s;
    QTest::newRow("price too large")
        << QByteArray("sheet 1 1 1 1" + QByteArray(400, '0') + " S\n") << 1
        << u"PRICE is out of range: '1"_s + QString(39, u'0') + u"...'"_s; // cut at 40
    QTest::newRow("unknown option")
        << QByteArray("option speed 1\n") << 1
        << u"unknown option 'speed' (expected cost, bigsheet, deep, seconds or work)"_s;
    QTest::newRow("option without name") << QByteArray(
        "option\n") << 1 << u"missing option name (cost, bigsheet, deep, seconds or work)"_s;
    QTest::newRow("deep value 2") << QByteArray("option deep 2\n") << 1
                                  << u"option deep takes 0 or 1, not '2'"_s;
    QTest::newRow("seconds without value")
        << QByteArray("option seconds\n") << 1 << u"missing value of option seconds (seconds)"_s;
    QTest::newRow("work without value")
        << QByteArray("option work\n") << 1 << u"missing value of option work (units of work)"_s;
    const QString Seconds = u"option seconds takes a number of seconds above 0 and up to 86400, "
                            u"not "_s;
    QTest::newRow("seconds 0") << QByteArray("option seconds 0\n") << 1 << Seconds + u"'0'"_s;
    QTest::newRow("seconds negative")
        << QByteArray("option seconds -1\n") << 1 << Seconds + u"'-1'"_s;
    QTest::newRow("seconds beyond a day")
        << QByteArray("option seconds 86401\n") << 1 << Seconds + u"'86401'"_s;
    QTest::newRow("seconds with exponent")
        << QByteArray("option seconds 1e3\n") << 1 << Seconds + u"'1e3'"_s;
    const QString Work = u"option work takes a whole number from 1 to 1000000000000, not "_s;
    QTest::newRow("work 0") << QByteArray("option work 0\n") << 1 << Work + u"'0'"_s;
    QTest::newRow("work decimal") << QByteArray("option work 1.5\n") << 1 << Work + u"'1.5'"_s;
    QTest::newRow("work negative") << QByteArray("option work -5\n") << 1 << Work + u"'-5'"_s;
    QTest::newRow("work too large")
        << QByteArray("option work 1000000000001\n") << 1 << Work + u"'1000000000001'"_s;
    QTest::newRow("text after seconds") << QByteArray("option seconds 2 s\n") << 1
                                        << u"unexpected text after option seconds: 's'"_s;
    QTest::newRow("option without value")
        << QByteArray("option cost\n") << 1 << u"missing value of option cost (0 or 1)"_s;
    QTest::newRow("option value 2")
        << QByteArray("option bigsheet 2\n") << 1 << u"option bigsheet takes 0 or 1, not '2'"_s;
    QTest::newRow("option value yes")
        << QByteArray("option cost yes\n") << 1 << u"option cost takes 0 or 1, not 'yes'"_s;
    QTest::newRow("text after option") << QByteArray("option cost 1 please\n") << 1
                                       << u"unexpected text after option cost: 'please'"_s;
    QTest::newRow("invalid UTF-8")
        << QByteArray("part 1 1 1 ok\npart 1 1 1 \xC3\x28\n") << 2 << u"not valid UTF-8 text"_s;
    QTest::newRow("UTF-8 surrogate")
        << QByteArray("part 1 1 1 \xED\xA0\x80\n") << 1 << u"not valid UTF-8 text"_s;
    QTest::newRow("overlong UTF-8")
        << QByteArray("part 1 1 1 \xC0\xAF\n") << 1 << u"not valid UTF-8 text"_s;
    QTest::newRow("first error wins")
        << QByteArray("part 1 1 1 P\nfoo\npart x\n") << 2
        << u"unknown record 'foo' (expected sheet, part, grain, trim, stock or option)"_s;
    QTest::newRow("NUL in a number") << QByteArray("part 1\0002 1 1 P\n", 16) << 1
                                     << u"LENGTH is not a whole number: '1"_s + QChar(0) + u"2'"_s;
}

void TestCliJobFile::parse_refusesMalformedLines()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, message);
    const cli::ParseOutcome R
        = cli::ParseJob(std::string_view(text.constData(), std::size_t(text.size())));
    QVERIFY(!R.Parsed);
    QCOMPARE(R.Error.Line, line);
    QCOMPARE(QString::fromUtf8(R.Error.Message.data(), qsizetype(R.Error.Message.size())), message);
}

void TestCliJobFile::loadJob_handsRowsToTheEngine()
{
    const cli::ParseOutcome R = cli::ParseJob("sheet 1220 2440 4 52.75 Board A\n"
                                              "grain 1\n"
                                              "trim 12\n"
                                              "stock 3\n"
                                              "sheet 2440 1220 0 0 Board B\n"
                                              "sheet 1000 1000 3 1 Square\n"
                                              "part 200 700 0 Side\n"
                                              "grain 1\n"
                                              "part 700 200 5 Top\n"
                                              "option cost 1\n");
    QVERIFY(R.Parsed);
    TRectManage E;
    E.BCTypeList().Add(); // anything there before is replaced
    E.MaterialTypeList().Add();
    cli::LoadJob(*R.Parsed, E);
    QVERIFY(E.UseCost());
    QVERIFY(!E.UseBCMaxArea());
    QCOMPARE(E.BCTypeList().Count(), 3);
    for (int i = 0; i < 2; ++i) {
        TMaterialType &S = *E.BCTypeList().GetItem(i);
        QCOMPARE(S.Width(), 2440);
        QCOMPARE(S.Height(), 1220);
    }
    TMaterialType &A = *E.BCTypeList().GetItem(0);
    QCOMPARE(q(A.GetText()), u"Board A"_s);
    QCOMPARE(A.Blade(), 4);
    QCOMPARE(A.Price(), 52.75);
    QCOMPARE(q(A.Name()), u"M1"_s);
    QCOMPARE(E.BCTypeList().GetItem(2)->Width(), 1000);
    QVERIFY(E.BCTypeList().GetItem(2)->Orient() == TOrient::none);
    QCOMPARE(E.MaterialTypeList().Count(), 2);
    TMaterialType &Side = *E.MaterialTypeList().GetItem(0);
    QCOMPARE(Side.Width(), 700);
    QCOMPARE(Side.Height(), 200);
    QCOMPARE(Side.Count(), 0);
    QCOMPARE(Side.Blade(), 0);
    QCOMPARE(Side.Price(), 0.0);
    QCOMPARE(q(E.MaterialTypeList().GetItem(1)->GetText()), u"Top"_s);
    // Grain along the length as written (Board A's 1220 lies along Y), trim and stock as given;
    // the rest without.
    QVERIFY(A.Grain() && A.EnteredLengthShorter());
    QCOMPARE(A.Trim(), 12);
    QCOMPARE(A.Stock(), 3);
    const TMaterialType &B = *E.BCTypeList().GetItem(1);
    QVERIFY(!B.Grain() && !B.EnteredLengthShorter() && B.Trim() == 0 && !B.StockLimited());
    QVERIFY(Side.Grain() && Side.EnteredLengthShorter());
    QVERIFY(!E.MaterialTypeList().GetItem(1)->Grain());
}

void TestCliJobFile::main_printsResultRecords()
{
    QTemporaryDir Dir;
    const std::string Path = WriteFile(Dir, "two.job",
        "sheet 1000 500 0 100 S1\nsheet 600 400 0 40 S2\npart 300 200 10 A\npart 150 100 7 B\n");
    const Invocation Plain = Invoke({ Path });
    QCOMPARE(Plain.Code, 0);
    QVERIFY(Plain.Err.empty());
    // Records in their order: events, groups, strips, parts, sheets, the flag.
    const QStringList Lines = q(Plain.Out).split(u'\n');
    QCOMPARE(Lines.first(), u"event 1 1 1"_s);
    QCOMPARE(Lines.at(4), u"group 1 1 100 240000 240000 600 400"_s);
    QCOMPARE(Lines.at(8), u"strip 1 0 0 200 300 H 3 0"_s);
    QCOMPARE(Lines.at(9), u"strip 1 0 300 150 100 H 4 1"_s);
    QCOMPARE(Lines.at(16), u"part 0 10 4 1"_s);
    QCOMPARE(Lines.at(18), u"sheet 0 0"_s);
    QCOMPARE(Lines.at(19), u"sheet 1 4"_s);
    QCOMPARE(Lines.at(20), u"execpt 0"_s);
    QCOMPARE(Lines.size(), 22); // ends with a newline

    // The summary goes to standard error and leaves standard output as it was.
    const Invocation Summary = Invoke({ "--summary", Path });
    QCOMPARE(Summary.Code, 0);
    QCOMPARE(q(Summary.Out), q(Plain.Out));
    const QString Err = q(Summary.Err);
    QVERIFY2(Err.contains(u"  0 S1 (1000 x 500): 0\n"_s), qPrintable(Err));
    QVERIFY(Err.contains(u"  1 S2 (600 x 400): 4\n"_s));
    QVERIFY(Err.contains(u"Total sheets: 4\n"_s));
    QVERIFY(Err.contains(u"Parts placed: 17 of 17\n"_s));
    QVERIFY(Err.contains(u"Utilisation: 73.44 %\n"_s)); // 705000 of 960000
    QVERIFY(Err.contains(u"Total cost: 160\n"_s));
    QVERIFY(Err.contains(u"Engine time: "_s));
    QVERIFY(!Err.contains(u"Not completed"_s));

    const std::string Left
        = WriteFile(Dir, "left.job", "sheet 100 100 0 2.5 S\npart 50 50 2 A\npart 200 1 1 B\n");
    const Invocation Incomplete = Invoke({ Left, "--summary" });
    QCOMPARE(Incomplete.Code, 0);
    QVERIFY(q(Incomplete.Out).contains(u"event 2 -1 0\n"_s));
    QVERIFY(q(Incomplete.Out).endsWith(u"execpt 1\n"_s));
    QVERIFY(q(Incomplete.Err).contains(u"Parts placed: 2 of 3\n"_s));
    QVERIFY(q(Incomplete.Err).contains(u"Total cost: 2.5\n"_s));
    QVERIFY(q(Incomplete.Err).contains(u"Not completed"_s));

    // A job without any layout has no utilisation to show.
    const std::string None = WriteFile(Dir, "none.job", "part 1 1 1 P\n");
    const Invocation Empty = Invoke({ "--summary", None });
    QCOMPARE(q(Empty.Out), u"event 1 -1 0\npart 0 0 0 0\nexecpt 1\n"_s);
    QVERIFY(q(Empty.Err).contains(u"Utilisation: -\n"_s));
}

void TestCliJobFile::main_deepModeAddsTheBound()
{
    // Eight parts that tile two sheets exactly: the deep mode finds that layout (it is also the
    // bound) and prints the records of GoWork's format and the bound last.
    QTemporaryDir Dir;
    const QByteArray Job = "sheet 1000 500 0 30 S\npart 500 250 8 A\noption deep 1\n"
                           "option work 200000\n";
    const Invocation Area = Invoke({ WriteFile(Dir, "deep.job", Job), "--summary" });
    QCOMPARE(Area.Code, 0);
    const QStringList Lines = q(Area.Out).split(u'\n');
    QCOMPARE(Lines.first(), u"event 1 0 2"_s);
    QCOMPARE(Lines.at(1), u"group 1 2 100 500000 500000 1000 500"_s);
    QVERIFY(Lines.contains(u"part 0 8 1 0"_s));
    QVERIFY(Lines.contains(u"sheet 0 2"_s));
    QCOMPARE(Lines.at(Lines.size() - 3), u"execpt 0"_s);
    QCOMPARE(Lines.at(Lines.size() - 2), u"bound area 1000000"_s);
    QVERIFY2(q(Area.Err).contains(u"Lower bound: 1000000 (sheet area), result 0.00 % above it\n"_s),
        Area.Err.c_str());

    const Invocation Cost = Invoke({ WriteFile(Dir, "deepcost.job", Job + "option cost 1\n") });
    QCOMPARE(Cost.Code, 0);
    QVERIFY2(q(Cost.Out).endsWith(u"execpt 0\nbound cost 60\n"_s), Cost.Out.c_str());

    // Without the option nothing is added.
    const Invocation Plain = Invoke({ WriteFile(Dir, "plain.job",
        "sheet 1000 500 5 30 S\n"
        "part 500 250 8 A\n") });
    QVERIFY(q(Plain.Out).endsWith(u"execpt 0\n"_s));
}

void TestCliJobFile::main_refusesBadInvocationsWithNothingOnStdout_data()
{
    QTest::addColumn<QStringList>("args"); // %DIR% stands for a temporary folder with test files
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("errorStart");
    QTest::newRow("no arguments") << QStringList {} << 2 << u"usage: pnxcut [--summary | --report] [--cuts] [--pdf OUT.pdf] [--workshop OUT.pdf] JOBFILE"_s;
    QTest::newRow("only --summary") << QStringList { u"--summary"_s } << 2 << u"usage:"_s;
    QTest::newRow("unknown option") << QStringList { u"--fast"_s, u"%DIR%/good.job"_s } << 2
                                    << u"pnxcut: unknown option '--fast'"_s;
    QTest::newRow("two job files") << QStringList { u"%DIR%/good.job"_s, u"%DIR%/good.job"_s } << 2
                                   << u"pnxcut: only one job file can be given"_s;
    QTest::newRow("missing file") << QStringList {
        u"%DIR%/nowhere.job"_s
    } << 2 << u"pnxcut: cannot read %DIR%/nowhere.job: No such file or directory"_s;
    QTest::newRow("a folder") << QStringList { u"%DIR%"_s } << 2
                              << u"pnxcut: cannot read %DIR%: Is a directory"_s;
    QTest::newRow("malformed line")
        << QStringList { u"--summary"_s, u"%DIR%/bad.job"_s } << 2
        << u"pnxcut: %DIR%/bad.job:3: QUANTITY is not a whole number: 'x'\n"_s;
    QTest::newRow("file after --")
        << QStringList { u"--"_s, u"%DIR%/-odd.job"_s } << 0 << QString();
    QTest::newRow("help") << QStringList { u"--help"_s } << 0 << QString();
}

void TestCliJobFile::main_refusesBadInvocationsWithNothingOnStdout()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, errorStart);
    QTemporaryDir Dir;
    WriteFile(Dir, "good.job", "sheet 100 100 0 1 S\npart 10 10 1 P\n");
    WriteFile(Dir, "-odd.job", "sheet 100 100 0 1 S\npart 10 10 1 P\n");
    WriteFile(Dir, "bad.job", "sheet 100 100 0 1 S\n# fine so far\npart 10 10 x P\n");
    std::vector<std::string> Args;
    for (const QString &A : args)
        Args.push_back(QString(A).replace(u"%DIR%"_s, Dir.path()).toStdString());
    const Invocation R = Invoke(Args);
    QCOMPARE(R.Code, code);
    if (code != 0) {
        QVERIFY(R.Out.empty());
        QVERIFY2(q(R.Err).startsWith(QString(errorStart).replace(u"%DIR%"_s, Dir.path())),
            R.Err.c_str());
    } else if (args.first() == u"--help"_s) {
        QVERIFY(q(R.Out).startsWith(u"usage:"_s));
    } else {
        QVERIFY(q(R.Out).endsWith(u"execpt 0\n"_s));
    }
}

void TestCliJobFile::parse_survivesAnyBytes()
{
    // Random bytes and mutations of a valid job: the reader answers with a job or an error
    // naming an existing line, and whatever it accepts the engine runs to the end.
    const QByteArray Valid = "# job\nsheet 2440 1220 4 52.5 Board\nsheet 1830 915 3 30 Small\n"
                             "part 720 560 8 Side\npart 564 100 6 Rail\noption cost 1\n";
    std::mt19937 Rng(42);
    int Accepted = 0;
    for (int Round = 0; Round < 3000; ++Round) {
        QByteArray Text;
        if (Round % 3 == 0) {
            Text.resize(int(Rng() % 200));
            for (char &C : Text)
                C = char(Rng() % 256);
        } else {
            Text = Valid;
            const int Edits = 1 + int(Rng() % 4);
            for (int e = 0; e < Edits; ++e) {
                const int At = int(Rng() % unsigned(Text.size() + 1));
                switch (Rng() % 4) {
                case 0:
                    Text.insert(At, char(Rng() % 256));
                    break;
                case 1:
                    if (At < Text.size())
                        Text[At] = "0123456789 -+.\n#x"[Rng() % 17];
                    break;
                case 2:
                    Text.remove(At, int(Rng() % 5));
                    break;
                default:
                    Text.insert(At, QByteArray::number(quint64(Rng()) * quint64(Rng())));
                }
            }
        }
        const cli::ParseOutcome R
            = cli::ParseJob(std::string_view(Text.constData(), std::size_t(Text.size())));
        if (!R.Parsed) {
            QVERIFY(R.Error.Line >= 1);
            QVERIFY(R.Error.Line <= Text.count('\n') + 1);
            QVERIFY(!R.Error.Message.empty());
            continue;
        }
        ++Accepted;
        const cli::RunOutcome Run = cli::RunJob(*R.Parsed);
        QVERIFY(QByteArray::fromStdString(Run.Output).endsWith("\n"));
    }
    QVERIFY(Accepted > 100);
}

QTEST_APPLESS_MAIN(TestCliJobFile)
#include "tst_jobfile.moc"
