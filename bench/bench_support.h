#pragma once
// What the benchmarks share with the tests: the window system, answering
// every question the same way, and the file layer (over the real files it
// counts the system calls); and timing of whole processes.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/startup.h"
#include "journal/command_commit.h"
#include "journal/rollback_file.h"
#include "platform/posix/posix_file_io.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "document/journal_errors.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"

namespace quorby::bench {

// The window system of the tests: Yes/No boxes and questions get `yes`,
// other boxes OK, dialogs their cancel button.
inline void answerEverything(testing::FakePlatform& platform, bool yes) {
    platform.yesNoDefault = yes ? MsgAnswer::Yes : MsgAnswer::No;
    platform.questionDefault = yes ? kAnswerYes : 0;
}

// Starts the program over `io` and `platform` with its settings in `home`,
// as a whole process would, without the welcome and asking nothing.
inline void startInHome(AppState& app, FileIo& io, Platform& platform, const std::string& home) {
    app.platform = &platform;
    app.files = &io;
    StartOptions options;
    options.homeDirectory = home;
    options.showWelcome = false;
    startApplication(app, options);
    app.settings.messageSwitches = 0;
}

// Sets `app` up with a new Main File of `halves` zero pages, writable in
// journal access, and a new Journal File for it, without questions; shows
// the first page pair. Result 0, or 1 after a message on stderr.
inline int openBenchFiles(AppState& app, FileIo& io, Platform& platform, const std::string& dir,
                          const std::string& mainPath, const std::string& journalPath, std::uint64_t halves) {
    app.platform = &platform;
    app.files = &io;
    setSettingsDefaults(app.settings, dir + "/", dir + "/");
    app.settings.messageSwitches = 0;
    FileHandle h = kNoFile;
    if (io.open(mainPath, OpenMode::Truncate, &h) != 0 || io.setSize(h, halves * 512) != 0) {
        std::fprintf(stderr, "cannot create %s\n", mainPath.c_str());
        return 1;
    }
    app.main.mainHandle = h;
    app.main.mainKind = MainKind::File;
    app.main.mainName = mainPath;
    app.main.fileSize = halves * 512;
    app.main.lastBytePos = app.main.fileSize - 1;
    app.shell.accessFlags = kAccessNotLocked | kAccessWritable;
    FileHandle j = kNoFile;
    if (io.open(journalPath, OpenMode::Truncate, &j) != 0) {
        std::fprintf(stderr, "cannot create %s\n", journalPath.c_str());
        return 1;
    }
    attachJournal(app.journal, io, j, journalPath);
    useRollbackFile(app.journal);
    reportJournalFailuresTo(app.journal, app);
    if (recreateJournal(app.journal, mainPath) != 0) return 1;
    return loadPagePair(app, 0);
}

// Changes one byte in each half of every page pair and stores the pair, one
// command (with its header commit) per pair, as moving on after typing would.
// Result 0, or 1 when a read or store failed.
[[nodiscard]] inline int changeEveryHalf(AppState& app) {
    for (FilePos pos = 0; pos < app.main.fileSize; pos += 1024) {
        if (app.view.pagePos != pos && loadPagePair(app, pos) != 0) return 1;
        app.view.pageBuffer[5] ^= 0x5A;
        app.view.setChanged(5);
        app.view.pageBuffer[517] ^= 0xA5;
        app.view.setChanged(517);
        app.view.halfDirty[0] = app.view.halfDirty[1] = true;
        if (storePage(app) != 0 || commitCommand(app.journal) != 0) return 1;
    }
    return 0;
}

// Setup: `count` changes of one byte each, the page stored after each
// (the journal's syncs are off meanwhile: they would take minutes).
template <typename Position, typename Value>
int storeByteChanges(AppState& app, std::uint64_t count, Position position, Value value) {
    app.journal.syncOnCommit = false;
    for (std::uint64_t k = 0; k < count; ++k) {
        const std::uint64_t pos = position(k);
        if (loadPagePair(app, pos) != 0) return 1;
        const std::uint32_t at = std::uint32_t(pos - app.view.pagePos);
        app.view.pageBuffer[at] = value(k);
        app.view.setChanged(at);
        app.view.halfDirty[at / 512] = true;
        if (storePage(app) != 0 || commitCommand(app.journal) != 0) return 1;
    }
    return 0;
}

// The bytes of the benchmarks' files: a pattern that differs from page to page.
inline std::uint8_t patternByte(std::uint64_t pos) { return std::uint8_t(pos * 31 + (pos >> 12)); }

// Writes `size` bytes of the pattern to a new file `path` in 1 MiB blocks.
// Returns its descriptor, still open for more writes, or -1.
inline int writePatternFile(const std::string& path, std::uint64_t size) {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return -1;
    std::vector<std::uint8_t> block(1 << 20);
    for (std::uint64_t pos = 0; pos < size; pos += block.size()) {
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = patternByte(pos + i);
        const std::size_t n = std::min<std::uint64_t>(block.size(), size - pos);
        if (::pwrite(fd, block.data(), n, off_t(pos)) != ssize_t(n)) {
            ::close(fd);
            return -1;
        }
    }
    return fd;
}

// The program built beside the benchmarks (build/bench/X -> build/quorby),
// unless `given` names one; empty when it cannot be found.
inline std::string quorbyProgram(const char* given) {
    if (given && *given) return given;
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return "";
    const std::string path(self);
    return path.substr(0, path.rfind('/')) + "/../quorby";
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs a shell command and returns its wall time; a failing command ends the
// benchmark.
inline double timedCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = secondsSince(start);
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(2);
    }
    return seconds;
}

}  // namespace quorby::bench
