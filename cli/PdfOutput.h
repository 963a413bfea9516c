// pnxcut --pdf: every layout of a job's run printed into a PDF file the way the preview's
// 打印所有 prints them (ten a page, captions, part lists, footers), without a display.
#pragma once

#include <iosfwd>
#include <string>

namespace cli {

struct Job;

// Runs the job and writes its layouts to the PDF file at Path, atomically: a failed run leaves
// no file (and an earlier file at Path as it was). The print settings file "Config" beside the
// program gives the margins, as for printing from the preview. Returns the exit code: 0, or 1
// with a message on Err (no layout to print, unreadable settings, a file that cannot be
// written).
int WritePdf(const Job &J, const std::string &Path, std::ostream &Err);

} // namespace cli
