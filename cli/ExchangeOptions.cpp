// pnxcut's options of the file outputs (ExchangeOutput.h): reading them needs no Qt, writing
// them does (the module pnxcut_qt).
#include "ExchangeOutput.h"

#include <ostream>

namespace cli {

const char *const ExchangeUsage
    = "         with any of [--dxf DIR] [--svg DIR] [--csv OUT.csv] [--labels OUT.pdf]\n"
      "       pnxcut --convert PARTLIST\n";

int TakeExchangeOption(const std::vector<std::string> &Args, std::size_t &i,
    ExchangeOptions &Options, std::ostream &Err)
{
    struct Option
    {
        const char *Name;
        std::optional<std::string> *Value;
        const char *What;
    };
    const Option Known[] = {
        { "--dxf", &Options.DxfDir, "a folder for the DXF drawings" },
        { "--svg", &Options.SvgDir, "a folder for the SVG drawings" },
        { "--csv", &Options.CsvPath, "the name of the CSV file" },
        { "--labels", &Options.LabelsPath, "the name of the labels' PDF file" },
    };
    for (const Option &O : Known) {
        if (Args[i] != O.Name)
            continue;
        if (i + 1 == Args.size()) {
            Err << "pnxcut: " << O.Name << " needs " << O.What << "\n";
            return -1;
        }
        *O.Value = Args[++i];
        return 1;
    }
    return 0;
}

} // namespace cli
