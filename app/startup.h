#pragma once
// Start-up and exit of the program, shared by the window and the batch mode.
#include <string>
#include "state/app_state.h"

namespace quorby {

// What `quorby --version` prints.
inline constexpr const char* kProgramVersionLine = "Quorby 2.5.3";

struct StartOptions {
    std::string homeDirectory;   // --home DIR, else $XDG_CONFIG_HOME/quorby/
    std::string fileToOpen;      // FILE on the command line, or empty
    bool showWelcome = true;     // the welcome question (if the settings want it)
    std::string timingLog;       // --timing FILE: how long the actions took, for measuring
};

// Runs the start-up sequence with the platform and file access already set in
// `app`: tables, settings, journal directories, font, status cells, caption,
// the welcome question and the command-line file. Each step tells the user
// of its own failure; the start goes on.
void startApplication(AppState& app, const StartOptions& options);

// The program directory: --home or $XDG_CONFIG_HOME/quorby/
// (default ~/.config/quorby/), always ending with '/'.
std::string resolveProgramDirectory(const std::string& homeOption);

}  // namespace quorby
