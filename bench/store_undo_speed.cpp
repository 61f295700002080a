// Storing page halves into the Journal File, then Undo All and Redo All over
// them, beside plain sequential pwrite calls of the same bytes.
//
//   cmake -S . -B build-bench -G Ninja -DQUORBY_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench bench_store_undo_speed
//   build-bench/bench/bench_store_undo_speed [halves] [directory] [nosync]
//
// "nosync" leaves out the syncs of the header commit, to show what they cost.
//
// Each pair of halves is stored by one command (the move to the next pair),
// and the journal header is committed at the end of every command as the
// command loop does it (with its syncs). Undo All and Redo All are one
// command each.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "edit/undo_commands.h"
#include "journal/command_commit.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "document/journal_errors.h"
#include "document/page_assembly.h"
#include "document/store_page.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

void row(const char* what, std::uint64_t records, double seconds, std::uint64_t writes, std::uint64_t syncs) {
    std::printf("%-34s %9llu %9.3f %12.0f %10.2f %8llu\n", what, (unsigned long long)records, seconds,
                records / seconds, double(writes) / double(records), (unsigned long long)syncs);
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t halves = argc > 1 ? std::strtoull(argv[1], nullptr, 10) & ~1ull : 100000;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    const std::string mainPath = dir + "/quorby-bench-main.bin";
    const std::string journalPath = dir + "/quorby-bench-main.jnl";
    const std::string plainPath = dir + "/quorby-bench-plain.bin";

    PosixFileIo posix;
    testing::MemoryFileIo io;  // counts the system calls
    io.real = &posix;
    testing::FakePlatform platform;
    answerEverything(platform, true);
    static AppState app;  // large: kept off the stack
    if (openBenchFiles(app, io, platform, dir, mainPath, journalPath, halves) != 0) return 2;
    app.settings.undoOptions = 3;
    app.journal.syncOnCommit = !(argc > 3 && std::string(argv[3]) == "nosync");

    std::printf("%llu page halves, journal %s, header commit %s\n", (unsigned long long)halves,
                journalPath.c_str(), app.journal.syncOnCommit ? "with syncs" : "without syncs");
    std::printf("%-34s %9s %9s %12s %10s %8s\n", "operation", "records", "seconds", "records/s", "writes/rec", "syncs");

    // Store: one command per pair; both halves typed, then the move stores them.
    io.resetCounts();
    auto start = std::chrono::steady_clock::now();
    if (changeEveryHalf(app) != 0) {
        std::fprintf(stderr, "storing the changes failed\n");
        return 2;
    }
    row("store (new page halves)", halves, secondsSince(start), io.writes, io.syncs);

    io.resetCounts();
    start = std::chrono::steady_clock::now();
    undoAllCommand(app);
    commitCommand(app.journal);
    row("Undo All", halves, secondsSince(start), io.writes, io.syncs);

    io.resetCounts();
    start = std::chrono::steady_clock::now();
    redoAllCommand(app);
    commitCommand(app.journal);
    row("Redo All", halves, secondsSince(start), io.writes, io.syncs);

    // The same bytes (640 per record) with plain sequential pwrite calls.
    std::vector<std::uint8_t> record(640, 0x33);
    int fd = ::open(plainPath.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return 2;
    start = std::chrono::steady_clock::now();
    for (std::uint64_t k = 0; k < halves; ++k)
        if (::pwrite(fd, record.data(), record.size(), off_t(1024 + 640 * k)) != 640) return 2;
    double plainSeconds = secondsSince(start);
    row("plain pwrite, 640 B sequential", halves, plainSeconds, halves, 0);
    start = std::chrono::steady_clock::now();
    ::fsync(fd);
    std::printf("%-34s %9s %9.3f\n", "  fsync of the plain file", "", secondsSince(start));
    ::close(fd);

    io.close(app.journal.handle);
    io.close(app.main.mainHandle);
    std::remove(mainPath.c_str());
    std::remove(journalPath.c_str());
    std::remove(plainPath.c_str());
    return 0;
}
