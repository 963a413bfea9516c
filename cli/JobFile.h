// Job files of the command-line layout tool: reading, handing to the engine, and the result text.
//
// A job file is UTF-8 text with one record per line, fields separated by blanks (spaces or tabs);
// blank lines and lines whose first non-blank character is '#' are ignored:
//
//   sheet LENGTH WIDTH KERF PRICE NAME
//   part LENGTH WIDTH QUANTITY NAME
//   grain 0|1
//   trim MM
//   stock N
//   option cost 0|1
//   option bigsheet 0|1
//   option deep 0|1
//   option seconds S
//   option work N
//
// `grain`, `trim` and `stock` describe the sheet or part of the nearest `sheet` or `part` line
// above them, each at most once: `grain 1` after a part holds it to its grain (顺纹: its LENGTH
// runs along the grain of a sheet with grain), after a sheet gives the sheet a grain along its
// LENGTH; `trim MM` (a whole number, 0 or more) is cut off every edge of the sheet before layout;
// `stock N` (a whole number, 0 or more) is how many sheets of the kind a run may use. Without
// them parts turn freely, sheets have no grain and no trim, and their stock is unlimited.
//
// NAME is the rest of the line without its surrounding blanks; it may contain blanks and may be
// empty. LENGTH, WIDTH, KERF and QUANTITY are whole numbers in the signed 32-bit range, PRICE a
// decimal number (digits with an optional sign and decimal point). `option deep 1` runs the deep
// mode (GoWorkDeep) instead of GoWork, for S seconds (a decimal number above 0, default 1) on
// every core, or, with `option work N`, for N units of work (a whole number above 0) on one
// thread, which makes the result the same on every run and machine.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TRectManage;

namespace cli {

struct SheetRow
{
    std::int32_t Length = 0;
    std::int32_t Width = 0;
    std::int32_t Kerf = 0;
    double Price = 0.0;
    std::string Name;
    bool Grain = false;
    std::int32_t Trim = 0;
    std::int32_t Stock = -1; // -1: unlimited
};

struct PartRow
{
    std::int32_t Length = 0;
    std::int32_t Width = 0;
    std::int32_t Quantity = 0;
    std::string Name;
    bool Grain = false;
};

struct Job
{
    std::vector<SheetRow> Sheets; // in file order
    std::vector<PartRow> Parts; // in file order
    bool UseCost = false;
    bool UseBigSheet = false;
    bool Deep = false;
    double Seconds = 1.0;
    std::uint64_t Work = 0; // 0: the time budget holds
};

// What is wrong with a job file, and on which line (from 1; 0 when no line is to blame).
struct JobError
{
    int Line = 0;
    std::string Message;
};

// Either the job or the first error found.
struct ParseOutcome
{
    std::optional<Job> Parsed;
    JobError Error;
};

[[nodiscard]] ParseOutcome ParseJob(std::string_view Text);

// Reads a whole file; on failure returns nothing and sets Error to the reason.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string &Path, std::string &Error);

// Fills the engine's sheet and part lists from the job, in file order, with the longer side of
// each row in Width, and sets its two options.
void LoadJob(const Job &J, TRectManage &Engine);

// Runs the job's mode on an engine loaded with LoadJob: GoWork, or GoWorkDeep with the job's
// budget counted from Start (by default the call).
void RunEngine(const Job &J, TRectManage &Engine,
    std::optional<std::chrono::steady_clock::time_point> Start = {});

// One call of the engine's layout notification.
struct LayoutEvent
{
    int Group = 0;
    int BCindex = 0;
    int RectCount = 0;
};

struct RunOutcome
{
    std::string Output; // the result records, one per line
    std::string Summary; // human-readable summary
};

// Which texts RunJob writes: a run asked only for its report or its PDF needs neither.
struct RunTexts
{
    bool Records = true;
    bool Summary = true;
};

// Runs the job through a fresh engine (GoWork, then GetTotalBC once) and writes the result.
// AfterRun, when given, sees the engine and its layout notifications once the run is finished.
// A deep run's budget counts from Start (the program's start; by default the call).
[[nodiscard]] RunOutcome RunJob(const Job &J,
    const std::function<void(TRectManage &, const std::vector<LayoutEvent> &)> &AfterRun = {},
    RunTexts Texts = {}, std::optional<std::chrono::steady_clock::time_point> Start = {});

// The result records of a finished run.
std::string FormatResult(TRectManage &Engine, const std::vector<LayoutEvent> &Events);

// The record that follows them after a deep run: "bound area A" (A a whole number) or, with the
// cost option, "bound cost C": the deep run's lower bound on total sheet area or total price.
std::string FormatBound(const TRectManage &Engine);

struct ExchangeOptions;

// The outputs that need Qt: the run's report as the results window writes it into the notes
// pane, the PDF of its layouts and the workshop printout (PdfOutput.h), the drawings, CSV and
// labels, and the conversion of a part list (ExchangeOutput.h). pnxcut itself links no Qt, which
// keeps its start quick; it loads these from the module pnxcut_qt (LoadQtOutputs) only when one
// of them is asked for. Tests link them in directly (cli_qt, LinkedQtOutputs).
struct QtOutputs
{
    // The report, with the deep run's block after it when the run was deep (limited by work
    // or by time).
    std::string (*Report)(
        TRectManage &Engine, const std::vector<LayoutEvent> &Events, bool Deep, bool WorkLimited);
    int (*Pdf)(TRectManage &Engine, const std::vector<LayoutEvent> &Events, const std::string &Path,
        std::ostream &Err);
    int (*Workshop)(TRectManage &Engine, const std::vector<LayoutEvent> &Events,
        const std::string &Path, const std::string &Project, std::ostream &Err);
    int (*Exchange)(TRectManage &Engine, const Job &J, const std::string &JobPath,
        const ExchangeOptions &Options, std::ostream &Err);
    int (*Convert)(const std::string &Path, std::ostream &Out, std::ostream &Err);
};

// The modules: pnxcut_qt with every output, and pnxcut_report with the report alone (it needs Qt
// Core only, so it loads far quicker). What each exports (extern "C"), and the version of
// QtOutputs it must have been built with: a module left over from another build is refused
// rather than called.
constexpr const char *QtOutputsFile = "pnxcut_qt.so";
constexpr const char *QtReportFile = "pnxcut_report.so";
constexpr const char *QtOutputsSymbol = "pnxcut_qt_outputs";
constexpr int QtOutputsVersion = 2;
using QtOutputsEntry = const QtOutputs *(*)(int Version);

// Gives the Qt outputs (with ReportOnly, at least the report), or nothing with the reason in
// Error.
using QtOutputsSource = std::function<const QtOutputs *(bool ReportOnly, std::string &Error)>;

// Loads a module from the program's folder or the installed layout's lib/pnx beside it (each
// once; later calls give the same): pnxcut_report with ReportOnly, else pnxcut_qt.
const QtOutputs *LoadQtOutputs(bool ReportOnly, std::string &Error);

// The Qt outputs linked into the caller (library cli_qt).
const QtOutputs *LinkedQtOutputs(bool ReportOnly, std::string &Error);

// The report of a finished run, as the results window writes it into the notes pane: line 2
// carries the total cost of a completed run, or nothing ("======") after an abnormal end. In
// the library cli_report.
std::string FormatReport(TRectManage &Engine, const std::vector<LayoutEvent> &Events);
// The same with the deep run's block after it when the run was deep (cli_report).
std::string ReportOfRun(
    TRectManage &Engine, const std::vector<LayoutEvent> &Events, bool Deep, bool WorkLimited);

// The program: pnxcut [--summary | --report] [--cuts] [--pdf OUT.pdf] [--workshop OUT.pdf]
// JOBFILE, with any of the file outputs of ExchangeOutput.h, or pnxcut --convert PARTLIST.
// Returns the exit code. Outputs gives what needs Qt when one of those outputs is asked for;
// Start is the program's start, from which a deep run's budget counts.
int Main(const std::vector<std::string> &Args, std::ostream &Out, std::ostream &Err,
    const QtOutputsSource &Outputs = LoadQtOutputs,
    std::optional<std::chrono::steady_clock::time_point> Start = {});

} // namespace cli
