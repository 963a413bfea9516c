// Loading the module with pnxcut's outputs that need Qt, on demand.
#include "JobFile.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string_view>

namespace cli {

namespace {

// The folder of the running program, with a trailing '/', or empty when unknown.
std::string ProgramFolder()
{
    char Buf[PATH_MAX];
    const ssize_t N = readlink("/proc/self/exe", Buf, sizeof Buf - 1);
    if (N <= 0)
        return {};
    const std::string Exe(Buf, static_cast<std::size_t>(N));
    const std::size_t Slash = Exe.rfind('/');
    return Slash == std::string::npos ? std::string() : Exe.substr(0, Slash + 1);
}

} // namespace

namespace {

// Loads one module (once; later calls give the same): beside the program (a copy of both), else
// where the installed layout keeps it. It stays loaded until the process ends, as Qt's own
// clean-up runs at exit.
const QtOutputs *Load(const char *File, std::string &Error)
{
    struct TLoaded
    {
        bool Tried = false;
        const QtOutputs *Outputs = nullptr;
        std::string Error;
    };
    static TLoaded Modules[2];
    TLoaded &M = Modules[std::string_view(File) == QtReportFile ? 0 : 1];
    if (!M.Tried) {
        M.Tried = true;
        const std::string Folder = ProgramFolder();
        std::string Path = Folder + File;
        if (access(Path.c_str(), F_OK) != 0)
            Path = Folder + PNX_MODULE_FROM_BIN + "/" + File;
        void *Module = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!Module) {
            const char *Why = dlerror();
            M.Error = Why ? Why : "cannot load " + Path;
        } else if (const auto Entry
            = reinterpret_cast<QtOutputsEntry>(dlsym(Module, QtOutputsSymbol))) {
            M.Outputs = Entry(QtOutputsVersion);
            if (!M.Outputs)
                M.Error = Path + " belongs to another build of pnxcut";
        } else {
            M.Error = Path + " has no entry " + QtOutputsSymbol;
        }
    }
    Error = M.Error;
    return M.Outputs;
}

} // namespace

const QtOutputs *LoadQtOutputs(bool ReportOnly, std::string &Error)
{
    return Load(ReportOnly ? QtReportFile : QtOutputsFile, Error);
}

} // namespace cli
