// The table of pnxcut's outputs that need Qt, as linked in (tests, the module pnxcut_qt).
#include "ExchangeOutput.h"
#include "JobFile.h"
#include "PdfOutput.h"

namespace cli {

const QtOutputs *LinkedQtOutputs(bool, std::string &)
{
    static const QtOutputs Outputs { ReportOfRun, WritePdf, WriteWorkshop, WriteExchangeOutputs,
        ConvertPartList };
    return &Outputs;
}

} // namespace cli
