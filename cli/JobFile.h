// Job files of the command-line layout tool: reading, handing to the engine, and the result text.
//
// A job file is UTF-8 text with one record per line, fields separated by blanks (spaces or tabs);
// blank lines and lines whose first non-blank character is '#' are ignored:
//
//   sheet LENGTH WIDTH KERF PRICE NAME
//   part LENGTH WIDTH QUANTITY NAME
//   option cost 0|1
//   option bigsheet 0|1
//
// NAME is the rest of the line without its surrounding blanks; it may contain blanks and may be
// empty. LENGTH, WIDTH, KERF and QUANTITY are whole numbers in the signed 32-bit range, PRICE a
// decimal number (digits with an optional sign and decimal point).
#pragma once

#include <cstdint>
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
};

struct PartRow
{
    std::int32_t Length = 0;
    std::int32_t Width = 0;
    std::int32_t Quantity = 0;
    std::string Name;
};

struct Job
{
    std::vector<SheetRow> Sheets; // in file order
    std::vector<PartRow> Parts; // in file order
    bool UseCost = false;
    bool UseBigSheet = false;
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
    std::string Report; // the run's report as the results window writes it, one line each
};

// Runs the job through a fresh engine (GoWork, then GetTotalBC once) and writes the result.
[[nodiscard]] RunOutcome RunJob(const Job &J);

// The result records of a finished run.
std::string FormatResult(TRectManage &Engine, const std::vector<LayoutEvent> &Events);

// The report of a finished run, as the results window writes it into the notes pane: line 2
// carries the total cost of a completed run, or nothing ("======") after an abnormal end.
std::string FormatReport(TRectManage &Engine, const std::vector<LayoutEvent> &Events);

// The program: pnxcut [--summary | --report] JOBFILE. Returns the exit code.
int Main(const std::vector<std::string> &Args, std::ostream &Out, std::ostream &Err);

} // namespace cli
