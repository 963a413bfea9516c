// Loading the module with pnxcut's outputs that need Qt, on demand.
#include "JobFile.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

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

const QtOutputs *LoadQtOutputs(std::string &Error)
{
    static const QtOutputs *Loaded = nullptr;
    static std::string LoadError;
    static bool Tried = false;
    if (!Tried) {
        Tried = true;
        // Beside the program (a copy of both), else where the installed layout keeps it.
        const std::string Folder = ProgramFolder();
        std::string Path = Folder + "pnxcut_qt.so";
        if (access(Path.c_str(), F_OK) != 0)
            Path = Folder + PNX_MODULE_FROM_BIN + "/pnxcut_qt.so";
        // Kept loaded until the process ends: Qt's own clean-up runs at exit.
        void *Module = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!Module) {
            const char *Why = dlerror();
            LoadError = Why ? Why : "cannot load " + Path;
        } else if (const auto Entry
            = reinterpret_cast<QtOutputsEntry>(dlsym(Module, QtOutputsSymbol))) {
            Loaded = Entry(QtOutputsVersion);
            if (!Loaded)
                LoadError = Path + " belongs to another build of pnxcut";
        } else {
            LoadError = Path + " has no entry " + QtOutputsSymbol;
        }
    }
    Error = LoadError;
    return Loaded;
}

} // namespace cli
