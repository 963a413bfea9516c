#include "JobFile.h"

#include "CutsOutput.h"
#include "ExchangeOutput.h"
#include "TypeSetClass.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace cli {

namespace {

bool IsBlank(char C)
{
    return C == ' ' || C == '\t';
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view S)
{
    std::size_t i = 0;
    while (i < S.size()) {
        const auto C = static_cast<unsigned char>(S[i]);
        if (C < 0x80) {
            ++i;
            continue;
        }
        int Len;
        std::uint32_t Cp;
        if (C >= 0xC2 && C <= 0xDF) {
            Len = 2;
            Cp = C & 0x1F;
        } else if (C >= 0xE0 && C <= 0xEF) {
            Len = 3;
            Cp = C & 0x0F;
        } else if (C >= 0xF0 && C <= 0xF4) {
            Len = 4;
            Cp = C & 0x07;
        } else {
            return false;
        }
        if (S.size() - i < static_cast<std::size_t>(Len))
            return false;
        for (int k = 1; k < Len; ++k) {
            const auto Cc = static_cast<unsigned char>(S[i + static_cast<std::size_t>(k)]);
            if ((Cc & 0xC0) != 0x80)
                return false;
            Cp = (Cp << 6) | (Cc & 0x3F);
        }
        if ((Len == 3 && (Cp < 0x800 || (Cp >= 0xD800 && Cp <= 0xDFFF)))
            || (Len == 4 && (Cp < 0x10000 || Cp > 0x10FFFF)))
            return false;
        i += static_cast<std::size_t>(Len);
    }
    return true;
}

// The offending text as shown in a message: quoted, and cut short when long.
std::string Quote(std::string_view Field)
{
    constexpr std::size_t Max = 40;
    if (Field.size() <= Max)
        return "'" + std::string(Field) + "'";
    std::size_t Cut = Max;
    while (Cut > 0 && (static_cast<unsigned char>(Field[Cut]) & 0xC0) == 0x80)
        --Cut; // do not split a UTF-8 sequence
    return "'" + std::string(Field.substr(0, Cut)) + "...'";
}

// Walks the fields of one line.
class Fields
{
public:
    explicit Fields(std::string_view Line)
        : FLine(Line)
    { }

    // The next blank-separated field, or an empty view at the end of the line.
    std::string_view Next()
    {
        SkipBlanks();
        const std::size_t Start = FPos;
        while (FPos < FLine.size() && !IsBlank(FLine[FPos]))
            ++FPos;
        return FLine.substr(Start, FPos - Start);
    }

    // The rest of the line without its surrounding blanks.
    std::string_view Rest()
    {
        SkipBlanks();
        std::size_t End = FLine.size();
        while (End > FPos && IsBlank(FLine[End - 1]))
            --End;
        std::string_view R = FLine.substr(FPos, End - FPos);
        FPos = FLine.size();
        return R;
    }

private:
    void SkipBlanks()
    {
        while (FPos < FLine.size() && IsBlank(FLine[FPos]))
            ++FPos;
    }

    std::string_view FLine;
    std::size_t FPos = 0;
};

enum class NumberCheck { Ok, Missing, NotNumber, OutOfRange };

NumberCheck ParseWhole(std::string_view Field, std::int32_t &Value)
{
    if (Field.empty())
        return NumberCheck::Missing;
    std::size_t i = 0;
    bool Negative = false;
    if (Field[0] == '+' || Field[0] == '-') {
        Negative = Field[0] == '-';
        i = 1;
    }
    if (i == Field.size())
        return NumberCheck::NotNumber;
    std::int64_t Magnitude = 0;
    bool TooLarge = false;
    for (; i < Field.size(); ++i) {
        const char C = Field[i];
        if (C < '0' || C > '9')
            return NumberCheck::NotNumber;
        if (!TooLarge) {
            Magnitude = Magnitude * 10 + (C - '0');
            if (Magnitude > static_cast<std::int64_t>(INT32_MAX) + 1)
                TooLarge = true;
        }
    }
    const std::int64_t V = Negative ? -Magnitude : Magnitude;
    if (TooLarge || V > INT32_MAX || V < INT32_MIN)
        return NumberCheck::OutOfRange;
    Value = static_cast<std::int32_t>(V);
    return NumberCheck::Ok;
}

NumberCheck ParseDecimal(std::string_view Field, double &Value)
{
    if (Field.empty())
        return NumberCheck::Missing;
    std::size_t i = 0;
    if (Field[0] == '+' || Field[0] == '-')
        i = 1;
    std::size_t Digits = 0;
    bool Point = false;
    for (std::size_t k = i; k < Field.size(); ++k) {
        const char C = Field[k];
        if (C >= '0' && C <= '9')
            ++Digits;
        else if (C == '.' && !Point)
            Point = true;
        else
            return NumberCheck::NotNumber;
    }
    if (Digits == 0)
        return NumberCheck::NotNumber;
    // from_chars takes no leading '+'.
    std::string_view Body = Field[0] == '+' ? Field.substr(1) : Field;
    double V = 0.0;
    const auto [Ptr, Ec] = std::from_chars(Body.data(), Body.data() + Body.size(), V);
    if (Ec == std::errc::result_out_of_range || !std::isfinite(V))
        return NumberCheck::OutOfRange;
    if (Ec != std::errc() || Ptr != Body.data() + Body.size())
        return NumberCheck::NotNumber;
    Value = V;
    return NumberCheck::Ok;
}

// Reads one numeric field with Parse; on failure fills Message, naming the field (What), the
// kind of number expected (Kind) and, for a number too large, the range (Range).
template <typename T>
bool NumberField(Fields &F, const char *What, NumberCheck (*Parse)(std::string_view, T &),
    const char *Kind, const char *Range, T &Value, std::string &Message)
{
    const std::string_view Field = F.Next();
    switch (Parse(Field, Value)) {
    case NumberCheck::Ok:
        return true;
    case NumberCheck::Missing:
        Message = std::string("missing ") + What;
        return false;
    case NumberCheck::NotNumber:
        Message = std::string(What) + " is not a " + Kind + ": " + Quote(Field);
        return false;
    case NumberCheck::OutOfRange:
        Message = std::string(What) + " is " + Range + ": " + Quote(Field);
        return false;
    }
    return false;
}

bool WholeField(Fields &F, const char *What, std::int32_t &Value, std::string &Message)
{
    return NumberField(
        F, What, ParseWhole, "whole number", "outside the signed 32-bit range", Value, Message);
}

bool DecimalField(Fields &F, const char *What, double &Value, std::string &Message)
{
    return NumberField(F, What, ParseDecimal, "decimal number", "out of range", Value, Message);
}

// The row that grain, trim and stock records describe: the last sheet or part line, and which
// of those records it has had.
struct LastRow
{
    enum { None, Sheet, Part } Kind = None;
    int Line = 0;
    bool Grain = false, Trim = false, Stock = false;
};

// A grain, trim or stock record for the last row; returns an empty text or what is wrong.
std::string ParseRowRecord(std::string_view Kind, Fields &F, Job &J, LastRow &Last)
{
    const std::string Name(Kind);
    const bool ForSheet = Last.Kind == LastRow::Sheet;
    if (Last.Kind == LastRow::None || (Kind != "grain" && !ForSheet))
        return Name + " must follow a " + (Kind == "grain" ? "sheet or part" : "sheet") + " record";
    bool &Seen = Kind == "grain" ? Last.Grain : Kind == "trim" ? Last.Trim : Last.Stock;
    if (Seen)
        return "second " + Name + " record for the " + (ForSheet ? "sheet" : "part") + " of line "
            + std::to_string(Last.Line);
    const std::string_view Value = F.Next();
    std::int32_t N = 0;
    if (Kind == "grain") {
        if (Value != "0" && Value != "1")
            return "grain takes 0 or 1, not " + Quote(Value);
    } else if (ParseWhole(Value, N) != NumberCheck::Ok || N < 0) {
        return Name + " takes a whole number from 0 to 2147483647, not " + Quote(Value);
    }
    const std::string_view Extra = F.Rest();
    if (!Extra.empty())
        return "unexpected text after " + Name + ": " + Quote(Extra);
    Seen = true;
    if (Kind == "grain" && ForSheet)
        J.Sheets.back().Grain = Value == "1";
    else if (Kind == "grain")
        J.Parts.back().Grain = Value == "1";
    else if (Kind == "trim")
        J.Sheets.back().Trim = N;
    else
        J.Sheets.back().Stock = N;
    return {};
}

// Parses one record line into the job; returns an empty text or what is wrong.
std::string ParseLine(std::string_view Line, int LineNo, Job &J, LastRow &Last)
{
    Fields F(Line);
    const std::string_view Kind = F.Next();
    std::string Message;
    if (Kind == "grain" || Kind == "trim" || Kind == "stock")
        return ParseRowRecord(Kind, F, J, Last);
    if (Kind == "sheet") {
        SheetRow Row;
        if (!WholeField(F, "LENGTH", Row.Length, Message)
            || !WholeField(F, "WIDTH", Row.Width, Message)
            || !WholeField(F, "KERF", Row.Kerf, Message)
            || !DecimalField(F, "PRICE", Row.Price, Message))
            return Message;
        Row.Name = std::string(F.Rest());
        J.Sheets.push_back(std::move(Row));
        Last = LastRow();
        Last.Kind = LastRow::Sheet;
        Last.Line = LineNo;
        return {};
    }
    if (Kind == "part") {
        PartRow Row;
        if (!WholeField(F, "LENGTH", Row.Length, Message)
            || !WholeField(F, "WIDTH", Row.Width, Message)
            || !WholeField(F, "QUANTITY", Row.Quantity, Message))
            return Message;
        Row.Name = std::string(F.Rest());
        J.Parts.push_back(std::move(Row));
        Last = LastRow();
        Last.Kind = LastRow::Part;
        Last.Line = LineNo;
        return {};
    }
    if (Kind == "option") {
        const std::string_view Name = F.Next();
        constexpr const char *Known = "cost, bigsheet, deep, seconds or work";
        if (Name.empty())
            return std::string("missing option name (") + Known + ")";
        bool *Flag = nullptr;
        if (Name == "cost")
            Flag = &J.UseCost;
        else if (Name == "bigsheet")
            Flag = &J.UseBigSheet;
        else if (Name == "deep")
            Flag = &J.Deep;
        else if (Name != "seconds" && Name != "work")
            return "unknown option " + Quote(Name) + " (expected " + Known + ")";
        const std::string_view Value = F.Next();
        if (Value.empty())
            return "missing value of option " + std::string(Name)
                + (Flag                     ? " (0 or 1)"
                        : Name == "seconds" ? " (seconds)"
                                            : " (units of work)");
        double Seconds = 0.0;
        std::uint64_t Work = 0;
        if (Flag) {
            if (Value != "0" && Value != "1")
                return "option " + std::string(Name) + " takes 0 or 1, not " + Quote(Value);
        } else if (Name == "seconds") {
            // Up to a day; the budget is handed on in milliseconds.
            if (ParseDecimal(Value, Seconds) != NumberCheck::Ok || !(Seconds > 0.0)
                || Seconds > 86400.0)
                return "option seconds takes a number of seconds above 0 and up to 86400, not "
                    + Quote(Value);
        } else {
            const auto [Ptr, Ec] = std::from_chars(Value.data(), Value.data() + Value.size(), Work);
            if (Ec != std::errc() || Ptr != Value.data() + Value.size() || Work == 0
                || Work > 1000000000000ULL)
                return "option work takes a whole number from 1 to 1000000000000, not "
                    + Quote(Value);
        }
        const std::string_view Extra = F.Rest();
        if (!Extra.empty())
            return "unexpected text after option " + std::string(Name) + ": " + Quote(Extra);
        if (Flag)
            *Flag = Value == "1";
        else if (Name == "seconds")
            J.Seconds = Seconds;
        else
            J.Work = Work;
        return {};
    }
    return "unknown record " + Quote(Kind)
        + " (expected sheet, part, grain, trim, stock or option)";
}

void AppendNumber(std::string &Out, std::int64_t V)
{
    char Buf[24];
    const auto [Ptr, Ec] = std::to_chars(Buf, Buf + sizeof Buf, V);
    (void)Ec;
    Out.append(Buf, Ptr);
}

std::string GeneralDecimal(double V)
{
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "%.15g", V);
    return Buf;
}

std::string FixedDecimal(double V, int Places)
{
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.*f", Places, V);
    return Buf;
}

} // namespace

ParseOutcome ParseJob(std::string_view Text)
{
    ParseOutcome Outcome;
    Job J;
    if (Text.substr(0, 3) == "\xEF\xBB\xBF")
        Text.remove_prefix(3); // byte-order mark
    int LineNo = 0;
    LastRow Last;
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        ++LineNo;
        std::size_t End = Text.find('\n', Pos);
        if (End == std::string_view::npos)
            End = Text.size();
        std::string_view Line = Text.substr(Pos, End - Pos);
        Pos = End + 1;
        if (!Line.empty() && Line.back() == '\r')
            Line.remove_suffix(1);

        if (!IsValidUtf8(Line)) {
            Outcome.Error = { LineNo, "not valid UTF-8 text" };
            return Outcome;
        }
        std::size_t First = 0;
        while (First < Line.size() && IsBlank(Line[First]))
            ++First;
        if (First == Line.size() || Line[First] == '#')
            continue;
        const std::string Message = ParseLine(Line, LineNo, J, Last);
        if (!Message.empty()) {
            Outcome.Error = { LineNo, Message };
            return Outcome;
        }
    }
    Outcome.Parsed = std::move(J);
    return Outcome;
}

std::optional<std::string> ReadWholeFile(const std::string &Path, std::string &Error)
{
    std::FILE *File = std::fopen(Path.c_str(), "rb");
    if (!File) {
        Error = std::strerror(errno);
        return std::nullopt;
    }
    std::string Content;
    char Buf[65536];
    for (;;) {
        const std::size_t N = std::fread(Buf, 1, sizeof Buf, File);
        Content.append(Buf, N);
        if (N < sizeof Buf)
            break;
    }
    const bool Failed = std::ferror(File) != 0;
    const int Errno = errno;
    std::fclose(File);
    if (Failed) {
        Error = Errno ? std::strerror(Errno) : "read error";
        return std::nullopt;
    }
    return Content;
}

void LoadJob(const Job &J, TRectManage &Engine)
{
    TMaterialTypeList &Sheets = Engine.BCTypeList();
    Sheets.Clear();
    Sheets.Reserve(static_cast<int>(std::min<std::size_t>(J.Sheets.size(), INT32_MAX)));
    for (const SheetRow &Row : J.Sheets) {
        TMaterialType &S = *Sheets.Add();
        S.SetText(Row.Name);
        S.SetBlade(Row.Kerf);
        S.SetWidth(Row.Length > Row.Width ? Row.Length : Row.Width);
        S.SetHeight(Row.Length > Row.Width ? Row.Width : Row.Length);
        S.SetPrice(Row.Price);
        S.SetEnteredLengthShorter(Row.Length < Row.Width);
        S.SetGrain(Row.Grain);
        S.SetTrim(Row.Trim);
        S.SetStock(Row.Stock);
    }
    TMaterialTypeList &Parts = Engine.MaterialTypeList();
    Parts.Clear();
    Parts.Reserve(static_cast<int>(std::min<std::size_t>(J.Parts.size(), INT32_MAX)));
    for (const PartRow &Row : J.Parts) {
        TMaterialType &P = *Parts.Add();
        P.SetText(Row.Name);
        P.SetWidth(Row.Length > Row.Width ? Row.Length : Row.Width);
        P.SetHeight(Row.Length > Row.Width ? Row.Width : Row.Length);
        P.SetEnteredLengthShorter(Row.Length < Row.Width);
        P.SetCount(Row.Quantity);
        P.SetGrain(Row.Grain);
    }
    Engine.SetUseCost(J.UseCost);
    Engine.SetUseBCMaxArea(J.UseBigSheet);
}

void RunEngine(
    const Job &J, TRectManage &Engine, std::optional<std::chrono::steady_clock::time_point> Start)
{
    if (!J.Deep) {
        Engine.GoWork();
        return;
    }
    // The desktop program drives its deep runs with the same options.
    TDeepOptions O = TDeepOptions::ForBudget(J.Seconds, J.Work);
    O.Start = Start;
    Engine.GoWorkDeep(O);
}

std::string FormatBound(const TRectManage &Engine)
{
    const TDeepResult &R = Engine.DeepResult();
    if (R.Cost)
        return "bound cost " + GeneralDecimal(R.Bound) + "\n";
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.0f", std::floor(R.Bound));
    return std::string("bound area ") + Buf + "\n";
}

std::string FormatResult(TRectManage &Engine, const std::vector<LayoutEvent> &Events)
{
    std::string Out;
    auto Line = [&Out](const char *Tag, std::initializer_list<std::int64_t> Numbers) {
        Out += Tag;
        for (const std::int64_t N : Numbers) {
            Out += ' ';
            AppendNumber(Out, N);
        }
        Out += '\n';
    };
    for (const LayoutEvent &E : Events)
        Line("event", { E.Group, E.BCindex, E.RectCount });
    TMaterialTypeList &Groups = Engine.GroupList();
    for (int i = 0; i < Groups.Count(); ++i) {
        const TMaterialType &G = *Groups.GetItem(i);
        Line("group",
            { G.Group(), G.Count(), G.UsedCount(), G.MaxWidth(), G.MaxHieght(), G.Width(),
                G.Height() });
    }
    TMaterialTypeList &Strips = Engine.CreateRectList();
    for (int i = 0; i < Strips.Count(); ++i) {
        const TMaterialType &S = *Strips.GetItem(i);
        Out += "strip";
        for (const std::int64_t N : { S.Group(), S.X(), S.Y(), S.Width(), S.Height() }) {
            Out += ' ';
            AppendNumber(Out, N);
        }
        Out += S.Range() == TOrient::horizontal ? " H " : " V ";
        AppendNumber(Out, S.Count());
        Out += ' ';
        AppendNumber(Out, S.Data);
        Out += '\n';
    }
    TMaterialTypeList &Parts = Engine.MaterialTypeList();
    for (int i = 0; i < Parts.Count(); ++i) {
        const TMaterialType &P = *Parts.GetItem(i);
        Line("part", { i, P.UsedCount(), P.Group(), P.Data });
    }
    TMaterialTypeList &Totals = Engine.TotalBCList();
    for (int i = 0; i < Totals.Count(); ++i)
        Line("sheet", { i, Totals.GetItem(i)->UsedCount() });
    Out += Engine.Execpt() ? "execpt 1\n" : "execpt 0\n";
    return Out;
}

namespace {

// The human-readable summary of a finished run (--summary).
std::string FormatSummary(
    const Job &J, TRectManage &Engine, const std::vector<LayoutEvent> &Events, double Ms)
{
    // Summary: sheets by sheet kind (by position, so kinds that share a name stay apart).
    TMaterialTypeList &Sheets = Engine.BCTypeList();
    std::vector<std::int64_t> Used(static_cast<std::size_t>(Sheets.Count()), 0);
    std::int64_t TotalSheets = 0;
    double Cost = 0.0;
    for (const LayoutEvent &E : Events) {
        const TMaterialType *S = Sheets.GetItem(E.BCindex);
        if (!S)
            continue;
        Used[static_cast<std::size_t>(E.BCindex)] += E.RectCount;
        TotalSheets += E.RectCount;
        Cost += S->Price() * E.RectCount;
    }
    long double PartsArea = 0, SheetArea = 0;
    TMaterialTypeList &Groups = Engine.GroupList();
    for (int i = 0; i < Groups.Count(); ++i) {
        const TMaterialType &G = *Groups.GetItem(i);
        PartsArea += static_cast<long double>(G.MaxWidth()) * G.Count();
        SheetArea += static_cast<long double>(G.MaxHieght()) * G.Count();
    }
    std::int64_t Required = 0, Placed = 0;
    TMaterialTypeList &Parts = Engine.MaterialTypeList();
    for (int i = 0; i < Parts.Count(); ++i) {
        const TMaterialType &P = *Parts.GetItem(i);
        Required += P.Count() > 0 ? P.Count() : 0;
        Placed += P.UsedCount();
    }

    std::string Sum;
    Sum += "Sheets used per sheet kind:\n";
    for (int i = 0; i < Sheets.Count(); ++i) {
        TMaterialType &S = *Sheets.GetItem(i);
        Sum += "  " + std::to_string(i) + " " + S.GetText() + " (" + std::to_string(S.Width())
            + " x " + std::to_string(S.Height())
            + "): " + std::to_string(Used[static_cast<std::size_t>(i)]) + "\n";
    }
    Sum += "Total sheets: " + std::to_string(TotalSheets) + "\n";
    Sum += "Parts placed: " + std::to_string(Placed) + " of " + std::to_string(Required) + "\n";
    Sum += "Utilisation: "
        + (SheetArea > 0 ? FixedDecimal(static_cast<double>(PartsArea / SheetArea * 100), 2) + " %"
                         : std::string("-"))
        + "\n";
    Sum += "Total cost: " + GeneralDecimal(Cost) + "\n";
    if (J.Deep) {
        const TDeepResult &R = Engine.DeepResult();
        const double Objective = J.UseCost ? Cost : static_cast<double>(SheetArea);
        Sum += std::string("Lower bound: ") + GeneralDecimal(R.Bound)
            + (J.UseCost ? " (cost)" : " (sheet area)") + ", result "
            + (R.Bound > 0 ? FixedDecimal((Objective / R.Bound - 1.0) * 100.0, 2) + " % above it"
                           : std::string("-"))
            + "\n";
    }
    Sum += "Engine time: " + FixedDecimal(Ms, 3) + " ms\n";
    if (Engine.Execpt())
        Sum += "Not completed: a step could place no further part\n";
    return Sum;
}

} // namespace

RunOutcome RunJob(const Job &J,
    const std::function<void(TRectManage &, const std::vector<LayoutEvent> &)> &AfterRun,
    RunTexts Texts, std::optional<std::chrono::steady_clock::time_point> Start)
{
    TRectManage Engine;
    LoadJob(J, Engine);
    std::vector<LayoutEvent> Events;
    Engine.SetOnNewRectList([&Events](int Group, int BCindex, int RectCount) {
        Events.push_back({ Group, BCindex, RectCount });
    });

    const auto RunStart = std::chrono::steady_clock::now();
    RunEngine(J, Engine, Start);
    Engine.GetTotalBC();
    const auto Stop = std::chrono::steady_clock::now();
    const double Ms = std::chrono::duration<double, std::milli>(Stop - RunStart).count();

    RunOutcome Outcome;
    if (Texts.Records) {
        Outcome.Output = FormatResult(Engine, Events);
        if (J.Deep)
            Outcome.Output += FormatBound(Engine);
    }
    if (Texts.Summary)
        Outcome.Summary = FormatSummary(J, Engine, Events, Ms);
    if (AfterRun)
        AfterRun(Engine, Events);
    return Outcome;
}

int Main(const std::vector<std::string> &Args, std::ostream &Out, std::ostream &Err,
    const QtOutputsSource &Outputs, std::optional<std::chrono::steady_clock::time_point> Start)
{
    const std::string Usage = std::string("usage: pnxcut [--summary | --report] [--cuts] "
                                          "[--pdf OUT.pdf] [--workshop OUT.pdf] JOBFILE\n")
        + ExchangeUsage;
    ExchangeOptions Exchange;
    std::optional<std::string> ConvertPath;
    bool Summary = false;
    bool Report = false;
    bool OptionsDone = false;
    std::optional<std::string> Path;
    std::optional<std::string> PdfPath;
    bool Cuts = false;
    std::optional<std::string> WorkshopPath;
    for (std::size_t i = 1; i < Args.size(); ++i) {
        const std::string &A = Args[i];
        if (!OptionsDone && A == "--") {
            OptionsDone = true;
        } else if (!OptionsDone && A == "--summary") {
            Summary = true;
        } else if (!OptionsDone && A == "--report") {
            Report = true;
        } else if (!OptionsDone && A == "--pdf") {
            if (i + 1 == Args.size()) {
                Err << "pnxcut: --pdf needs the name of the PDF file\n" << Usage;
                return 2;
            }
            PdfPath = Args[++i];
        } else if (!OptionsDone && A == "--cuts") {
            Cuts = true;
        } else if (!OptionsDone && A == "--workshop") {
            if (i + 1 == Args.size()) {
                Err << "pnxcut: --workshop needs the name of the PDF file\n" << Usage;
                return 2;
            }
            WorkshopPath = Args[++i];
        } else if (!OptionsDone && A == "--convert") {
            if (i + 1 == Args.size()) {
                Err << "pnxcut: --convert needs the name of a part list (.csv, .txt or .xlsx)\n"
                    << Usage;
                return 2;
            }
            ConvertPath = Args[++i];
        } else if (!OptionsDone && (A == "--help" || A == "-h")) {
            Out << Usage;
            return 0;
        } else if (!OptionsDone && A.size() > 1 && A[0] == '-') {
            const int Taken = TakeExchangeOption(Args, i, Exchange, Err);
            if (Taken == 0)
                Err << "pnxcut: unknown option '" << A << "'\n";
            if (Taken <= 0) {
                Err << Usage;
                return 2;
            }
        } else if (Path) {
            Err << "pnxcut: only one job file can be given\n" << Usage;
            return 2;
        } else {
            Path = A;
        }
    }
    // What needs Qt is loaded only when asked for, and before the run, so that a missing module
    // costs no run.
    const char *NeedsQt = Report ? "--report"
        : PdfPath                ? "--pdf"
        : WorkshopPath           ? "--workshop"
        : Exchange.DxfDir        ? "--dxf"
        : Exchange.SvgDir        ? "--svg"
        : Exchange.CsvPath       ? "--csv"
        : Exchange.LabelsPath    ? "--labels"
        : ConvertPath            ? "--convert"
                                 : nullptr;
    const QtOutputs *Qt = nullptr;
    auto LoadQt = [&]() {
        std::string LoadError;
        // The report alone comes from the small module.
        const bool ReportOnly
            = Report && !PdfPath && !WorkshopPath && !Exchange.Any() && !ConvertPath;
        Qt = Outputs ? Outputs(ReportOnly, LoadError) : nullptr;
        if (!Qt)
            Err << "pnxcut: " << NeedsQt
                << " is not available: " << (LoadError.empty() ? "no module" : LoadError) << "\n";
        return Qt != nullptr;
    };
    if (ConvertPath) {
        if (Path) {
            Err << "pnxcut: --convert takes no job file\n" << Usage;
            return 2;
        }
        if (!LoadQt())
            return 2;
        return Qt->Convert(*ConvertPath, Out, Err);
    }
    if (!Path) {
        Err << Usage;
        return 2;
    }

    std::string ReadError;
    const std::optional<std::string> Text = ReadWholeFile(*Path, ReadError);
    if (!Text) {
        Err << "pnxcut: cannot read " << *Path << ": " << ReadError << "\n";
        return 2;
    }
    ParseOutcome Parsed = ParseJob(*Text);
    if (!Parsed.Parsed) {
        Err << "pnxcut: " << *Path << ":" << Parsed.Error.Line << ": " << Parsed.Error.Message
            << "\n";
        return 2;
    }
    if (NeedsQt && !LoadQt())
        return 2;
    // The PDF comes from the same run as the records: a deep run with a time budget does not
    // repeat itself.
    int PdfCode = 0;
    std::string ReportText;
    std::string CutRecords;
    int ExchangeCode = 0;
    RunTexts Texts;
    Texts.Records = !Report;
    Texts.Summary = Summary;
    const Job &J = *Parsed.Parsed;
    const RunOutcome Run = RunJob(
        J,
        [&](TRectManage &Engine, const std::vector<LayoutEvent> &Events) {
            if (Report)
                ReportText = Qt->Report(Engine, Events, J.Deep, J.Work > 0);
            if (PdfPath)
                PdfCode = Qt->Pdf(Engine, Events, *PdfPath, Err);
            if (WorkshopPath && !PdfCode) {
                std::string Name = *Path;
                Name = Name.substr(Name.find_last_of('/') + 1);
                if (const std::size_t Dot = Name.rfind('.'); Dot != std::string::npos && Dot > 0)
                    Name.resize(Dot);
                PdfCode = Qt->Workshop(Engine, Events, *WorkshopPath, Name, Err);
            }
            if (Cuts)
                CutRecords = FormatCuts(Engine);
            if (Exchange.Any())
                ExchangeCode = Qt->Exchange(Engine, J, *Path, Exchange, Err);
        },
        Texts, Start);
    Out << (Report ? ReportText : Run.Output) << CutRecords;
    Out.flush();
    if (Summary)
        Err << Run.Summary;
    if (PdfCode)
        return PdfCode;
    if (ExchangeCode)
        return ExchangeCode;
    return Out ? 0 : 1;
}

} // namespace cli
