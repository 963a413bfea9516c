// The module pnxcut_qt: pnxcut's outputs that need Qt, loaded by the program only when asked for.
#include "JobFile.h"
#include "PdfOutput.h"

extern "C" __attribute__((visibility("default"))) const cli::QtOutputs *pnxcut_qt_outputs(
    int Version)
{
    static const cli::QtOutputs Outputs { cli::FormatReport, cli::WritePdf };
    return Version == cli::QtOutputsVersion ? &Outputs : nullptr;
}
