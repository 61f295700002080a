#pragma once
// Runs the quorby program (QUORBY_BINARY) in batch mode: the script through
// a file or standard input, a home directory, optionally a file to open and
// more environment. The transcript (standard output) and standard error are
// kept; a program still running after two minutes is killed, so a fault
// fails the test instead of stalling it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace quorby::testing {

struct ProgramRun {
    int status = -1;         // exit status; -1 when it did not exit by itself
    std::string transcript;  // standard output (with standard error when merged)
    std::string errors;      // standard error unless merged
    bool has(const std::string& s) const { return transcript.find(s) != std::string::npos; }
};

struct ProgramOptions {
    std::string home;                      // --home
    std::string file;                      // the file to open; empty: none
    bool viaStdin = false;                 // the script through standard input ("--batch -")
    bool mergeErrors = false;              // standard error into the transcript
    std::vector<std::string> environment;  // "NAME=value", added to the test's own
};

inline ProgramRun runQuorby(const std::string& script, const ProgramOptions& options) {
    TempDir work;
    const std::string scriptPath = work.file("script.txt"), outPath = work.file("out.txt"),
                      errPath = work.file("err.txt");
    writeFile(scriptPath, script);
    std::vector<std::string> args = {QUORBY_BINARY, "--batch", options.viaStdin ? "-" : scriptPath, "--home",
                                     options.home};
    if (!options.file.empty()) args.push_back(options.file);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    ProgramRun run;
    const pid_t child = fork();
    if (child < 0) return run;
    if (child == 0) {
        const int in = ::open(options.viaStdin ? scriptPath.c_str() : "/dev/null", O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = options.mergeErrors ? out : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        for (const std::string& e : options.environment) putenv(const_cast<char*>(e.c_str()));
        execv(argv[0], argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    int raw = 0;
    while (waitpid(child, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &raw, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.transcript = readFile(outPath);
    if (!options.mergeErrors) run.errors = readFile(errPath);
    return run;
}

}  // namespace quorby::testing
