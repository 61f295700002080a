#pragma once
// Runs the quorby program with a command line through the shell and keeps
// what it wrote to standard output and to standard error, and its exit code.
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

namespace quorby::e2e {

struct CommandLineRun {
    int status = -1;
    std::string out;
    std::string errors;
};

// `arguments` and `environment` ("NAME=value ...") are shell text.
inline CommandLineRun runCommandLine(const std::string& arguments, const std::string& environment = "",
                                     const std::string& program = QUORBY_BINARY) {
    testing::TempDir dir;
    const std::string errorsPath = dir.file("errors.txt");
    const std::string command =
        "env " + environment + " '" + program + "' " + arguments + " 2>'" + errorsPath + "' </dev/null";
    CommandLineRun run;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) run.out.append(buffer, n);
        const int raw = pclose(p);
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    run.errors = testing::readFile(errorsPath);
    return run;
}

}  // namespace quorby::e2e
