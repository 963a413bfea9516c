// pnxcut --pdf: every layout of a job's run printed into a PDF file the way the preview's
// 打印所有 prints them (ten a page, captions, part lists, footers), without a display.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class TRectManage;

namespace cli {

// The layout views are widgets, and texts need fonts: both need an application object. pnxcut
// has none of its own and wants no display: it gets one on the offscreen platform unless a
// platform is chosen. Nothing when an application object exists already.
std::unique_ptr<QApplication> EnsureApplication();

struct LayoutEvent;

// Writes the layouts of a finished run (the engine after the run, and the layout notifications
// it raised) to the PDF file at Path, atomically: a failed run leaves no file (and an earlier
// file at Path as it was). The print settings file "Config" beside the
// program gives the margins, as for printing from the preview. Returns the exit code: 0, or 1
// with a message on Err (no layout to print, unreadable settings, a file that cannot be
// written).
int WritePdf(TRectManage &Engine, const std::vector<LayoutEvent> &Events, const std::string &Path,
    std::ostream &Err);

// pnxcut --workshop: the workshop printout (车间图, one layout a page with its cut plan, see
// preview/Workshop.h) of a finished run written to the PDF file at Path, atomically, on A4. The
// header names Project (the job file's name) and no scheme; the footer has no maker's line, and
// offcuts of at least 200 x 200 mm are 余料, whatever the program's settings say. Returns the exit
// code: 0, or 1 with a message on Err.
int WriteWorkshop(TRectManage &Engine, const std::vector<LayoutEvent> &Events,
    const std::string &Path, const std::string &Project, std::ostream &Err);

} // namespace cli
