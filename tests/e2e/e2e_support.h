#pragma once
// Helpers of the end-to-end tests: temporary directories, files, and runs of
// batch scripts in this process or through the quorby program.
#include <cstdio>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace quorby::e2e {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;
using BatchRun = testing::ProgramRun;

// A transcript written into memory (open_memstream).
class MemoryTranscript {
public:
    MemoryTranscript();
    ~MemoryTranscript();
    MemoryTranscript(const MemoryTranscript&) = delete;
    MemoryTranscript& operator=(const MemoryTranscript&) = delete;
    std::FILE* file() { return file_; }
    std::string text();

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_ = nullptr;
};

// A sparse file of `size` bytes whose last `tail` bytes are written.
void makeSparseFile(const std::string& path, unsigned long long size, const std::string& tail);

// runBatch in this process, with --home `home` and an optional FILE.
BatchRun runInProcess(const std::string& script, const std::string& home, const std::string& file = "");
// The quorby program with --batch; the script goes through a file or, when
// `viaStdin` is set, through standard input ("-").
inline BatchRun runProgram(const std::string& script, const std::string& home, bool viaStdin = false) {
    testing::ProgramOptions options;
    options.home = home;
    options.viaStdin = viaStdin;
    return testing::runQuorby(script, options);
}

// The line of the transcript that starts with `prefix` ("01|"), or "".
std::string lineStartingWith(const std::string& transcript, const std::string& prefix);
int countOccurrences(const std::string& text, const std::string& what);

}  // namespace quorby::e2e
