// "Save &File" of many changed page halves, beside a plain copy of the same
// bytes with `cp` and `dd` in the same run.
//
//   cmake -S . -B build-bench -G Ninja -DQUORBY_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench bench_save_file_speed
//   build-bench/bench/bench_save_file_speed [halves] [directory] [undoOptions]
//
// The halves are stored into the Journal File first (one command per page
// pair, not timed). "Save &File" then writes every one of them into the
// Main File; with undoOptions 1 or 3 it first keeps each half's earlier
// content in the Journal File (a read of the Main File and a 640-byte
// append per half, made durable once per 256 records).
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "edit/restore_original.h"
#include "edit/undo_commands.h"
#include "journal/command_commit.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "document/journal_errors.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "edit/write_all.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

void row(const char* what, double seconds, double megabytes) {
    std::printf("%-40s %9.3f s %9.1f MB/s\n", what, seconds, seconds > 0 ? megabytes / seconds : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t halves = argc > 1 ? std::strtoull(argv[1], nullptr, 10) & ~1ull : 100000;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const std::uint32_t undoOptions = argc > 3 ? std::uint32_t(std::atoi(argv[3])) : 1;
    const std::string mainPath = dir + "/quorby-bench-save.bin";
    const std::string journalPath = dir + "/quorby-bench-save.jnl";
    const std::string copyPath = dir + "/quorby-bench-save-copy.bin";

    PosixFileIo posix;
    testing::MemoryFileIo io;  // counts the system calls
    io.real = &posix;
    testing::FakePlatform platform;
    answerEverything(platform, true);
    static AppState app;  // large: kept off the stack
    if (openBenchFiles(app, io, platform, dir, mainPath, journalPath, halves) != 0) return 2;
    app.settings.undoOptions = undoOptions;

    // Every half changed and stored (syncs left out: not what is measured).
    app.journal.syncOnCommit = false;
    if (changeEveryHalf(app) != 0) {
        std::fprintf(stderr, "storing the changes failed\n");
        return 2;
    }
    app.journal.syncOnCommit = true;
    io.sync(app.journal.handle);
    io.sync(app.main.mainHandle);

    const double megabytes = double(halves) * 512 / 1e6;
    std::printf("%llu changed page halves (%.1f MB), undoOptions %u, in %s\n", (unsigned long long)halves,
                megabytes, undoOptions, dir.c_str());
    io.resetCounts();
    auto start = std::chrono::steady_clock::now();
    if (saveFile(app) != 0) std::fprintf(stderr, "Save File did not complete\n");
    commitCommand(app.journal);
    io.sync(app.main.mainHandle);
    const double saveSeconds = secondsSince(start);
    row("Save File (+ fsync of the Main File)", saveSeconds, megabytes);
    std::printf("%-40s %9llu writes %7llu reads %5llu syncs %6.1f MB written\n", "  system calls",
                (unsigned long long)io.writes, (unsigned long long)io.reads, (unsigned long long)io.syncs,
                double(io.bytesWritten) / 1e6);

    // With undo the write is one entry group: Undo All gives every half its
    // earlier bytes back, Redo All writes them again, Restore Original
    // File writes the earlier bytes once more.
    if (undoOptions != 0) {
        struct Timed {
            const char* name;
            void (*command)(AppState&);
        };
        const Timed commands[] = {{"Undo All of the write", undoAllCommand},
                                  {"Redo All of the write", redoAllCommand},
                                  {"Restore Original File", [](AppState& a) { restoreOriginalFile(a); }}};
        for (const Timed& c : commands) {
            io.resetCounts();
            start = std::chrono::steady_clock::now();
            c.command(app);
            commitCommand(app.journal);
            io.sync(app.main.mainHandle);
            row(c.name, secondsSince(start), megabytes);
            std::printf("%-40s %9llu writes %7llu reads %5llu syncs %6.1f MB written\n", "  system calls",
                        (unsigned long long)io.writes, (unsigned long long)io.reads, (unsigned long long)io.syncs,
                        double(io.bytesWritten) / 1e6);
        }
    }

    const std::string quotedMain = "'" + mainPath + "'", quotedCopy = "'" + copyPath + "'";
    row("cp of the Main File (+ sync)", timedCommand("cp " + quotedMain + " " + quotedCopy + " && sync " + quotedCopy),
        megabytes);
    row("dd bs=512 conv=notrunc,fsync",
        timedCommand("dd if=" + quotedMain + " of=" + quotedCopy + " bs=512 conv=notrunc,fsync status=none"),
        megabytes);

    io.close(app.journal.handle);
    io.close(app.main.mainHandle);
    std::remove(mainPath.c_str());
    std::remove(journalPath.c_str());
    std::remove(copyPath.c_str());
    return 0;
}
