// pnxcut's file outputs besides the records and the PDF: layout drawings (--dxf DIR, --svg DIR),
// the parts of every layout as CSV (--csv OUT.csv), part labels (--labels OUT.pdf), and
// --convert PARTLIST, which prints the part records a spreadsheet part list (.csv, .txt, .xlsx)
// gives through the program's importer.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class TRectManage;

namespace cli {

struct Job;

// The usage lines of these options, following pnxcut's first usage line.
extern const char *const ExchangeUsage;

struct ExchangeOptions
{
    std::optional<std::string> DxfDir;
    std::optional<std::string> SvgDir;
    std::optional<std::string> CsvPath;
    std::optional<std::string> LabelsPath;
    bool Any() const { return DxfDir || SvgDir || CsvPath || LabelsPath; }
};

// Takes Args[i] (and its value, advancing i) when it is one of the output options above.
// Returns 1 when taken, 0 when Args[i] is not one of them, -1 when its value is missing (the
// message is then on Err).
int TakeExchangeOption(const std::vector<std::string> &Args, std::size_t &i,
    ExchangeOptions &Options, std::ostream &Err);

// Writes the chosen outputs of a finished run of J (read from JobPath). Each file is written
// whole or not at all. Returns 0, or 1 with a message on Err.
int WriteExchangeOutputs(TRectManage &Engine, const Job &J, const std::string &JobPath,
    const ExchangeOptions &Options, std::ostream &Err);

// --convert: reads the part list at Path and prints one `part LENGTH WIDTH QUANTITY NAME` record
// a row on Out. A file that cannot be read, or any bad row, gives the importer's messages on
// Err (each prefixed with "pnxcut: PATH: "), nothing on Out, and exit code 2.
int ConvertPartList(const std::string &Path, std::ostream &Out, std::ostream &Err);

} // namespace cli
