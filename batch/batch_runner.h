#pragma once
// The batch mode: runs a script through the same entry points as the window
// (startApplication, the window procedure's onCommand, onKeyDown, ...) on the
// headless platform and writes a transcript.
#include <cstdio>
#include <string>
#include "app/startup.h"

namespace quorby {

// Runs the script at `scriptPath` ("-" reads standard input). Returns 0 when
// the script ran to its end, 1 on a script error ("ERROR line N: ..." goes to
// the transcript and to standard error).
[[nodiscard]] int runBatch(const std::string& scriptPath, const StartOptions& options, std::FILE* out);

// The --help text: the command line of the program and every script command.
const char* batchHelpText();

}  // namespace quorby
