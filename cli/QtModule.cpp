// The module pnxcut_qt: pnxcut's outputs that need Qt, loaded by the program only when asked for.
#include "JobFile.h"

extern "C" __attribute__((visibility("default"))) const cli::QtOutputs *pnxcut_qt_outputs(
    int Version)
{
    std::string Unused;
    return Version == cli::QtOutputsVersion ? cli::LinkedQtOutputs(false, Unused) : nullptr;
}
