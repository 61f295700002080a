#pragma once
// The window program: the Qt application around the logic.
#include <string>

#include "app/startup.h"

namespace quorby {

// Runs the window until the exit sequence ends it; returns the exit code.
// Without a display it says so and returns 2. With a screenshot path it
// opens the file, saves the window as PNG and returns 0 (1 when the image
// could not be written). `screenshotDialog` "values" draws the value
// inspector over the window, "options" saves the open Options dialog instead.
[[nodiscard]] int runQtApplication(int argc, char** argv, const StartOptions& options, const std::string& screenshotPath,
                     const std::string& screenshotDialog = "");

}  // namespace quorby
