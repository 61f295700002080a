#include "platform/posix/window_module.h"

#include <dlfcn.h>
#include <unistd.h>

namespace quorby {

namespace {

constexpr int kNoWindowExitCode = 2;

}  // namespace

std::string executableDirectory() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return "";
    path.resize(std::size_t(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

int runWindowModule(const std::vector<std::string>& candidates, const WindowModuleStart& start, std::FILE* errors) {
    for (const std::string& path : candidates) {
        if (access(path.c_str(), F_OK) != 0) continue;
        // The module stays loaded until the program ends: the window
        // system's libraries clean up at exit.
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            std::fprintf(errors, "quorby: cannot load the window module %s: %s\n", path.c_str(), dlerror());
            return kNoWindowExitCode;
        }
        auto* entry = reinterpret_cast<WindowModuleEntry*>(dlsym(module, kWindowModuleEntryName));
        if (entry == nullptr) {
            std::fprintf(errors, "quorby: the window module %s has no entry %s\n", path.c_str(), kWindowModuleEntryName);
            return kNoWindowExitCode;
        }
        return entry(&start);
    }
    std::fputs("quorby: the window module is not installed (looked for", errors);
    for (const std::string& path : candidates) std::fprintf(errors, " %s", path.c_str());
    std::fputs("); use --batch\n", errors);
    return kNoWindowExitCode;
}

}  // namespace quorby
