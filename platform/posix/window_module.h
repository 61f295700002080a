#pragma once
// The window is a shared module of its own, loaded only when a window is
// wanted: the command-line tools and the batch mode then start without
// loading the window system's libraries.
#include <cstdio>
#include <string>
#include <vector>

namespace quorby {

// What the program hands the window module: its command line and what it
// made of it (paths already absolute). Plain C types, since the module is
// entered through one C function.
struct WindowModuleStart {
    int argc;
    char** argv;
    const char* homeDirectory;     // --home DIR, or ""
    const char* fileToOpen;        // FILE, or ""
    const char* screenshotPath;    // --screenshot OUT.png, or ""
    const char* screenshotDialog;  // --show WHAT, or ""
};

// The module's one entry: runs the window and returns the exit code.
using WindowModuleEntry = int(const WindowModuleStart*);
inline constexpr const char* kWindowModuleEntryName = "quorby_window_main";

// The directory of the running program file, without a trailing '/'
// (empty when it cannot be found).
std::string executableDirectory();

// Loads the first of `candidates` that exists and runs its entry with
// `start`. When none exists or the module cannot be loaded, says so on
// `errors` and returns 2 (the exit code of "no window").
[[nodiscard]] int runWindowModule(const std::vector<std::string>& candidates, const WindowModuleStart& start, std::FILE* errors);

}  // namespace quorby
