// The module pnxcut_report: the report alone, which needs no more of Qt than its core, so that
// pnxcut --report loads far less than the module with every output.
#include "JobFile.h"

extern "C" __attribute__((visibility("default"))) const cli::QtOutputs *pnxcut_qt_outputs(
    int Version)
{
    static const cli::QtOutputs Outputs { cli::ReportOfRun, nullptr, nullptr, nullptr, nullptr };
    return Version == cli::QtOutputsVersion ? &Outputs : nullptr;
}
