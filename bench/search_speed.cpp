// Speed of the search over a file in the page cache, whole process, beside
// cat, grep and ripgrep reading the same file. The file is made of
// alternating 1 MiB of random bytes and 1 MiB of zero bytes, and no search
// finds anything:
//   (a) the text QXZJKW with match case,
//   (b) the hex pattern 00 11 22 33 44 55 (its first byte fills the zero runs),
//   (c) the text Quorby without match case,
//   (a+journal) as (a) with 100000 journal records spread over the file.
// Each of (a), (b), (c) runs forward from the top and backward from the end
// of the file. A second table times the block scan alone, forward and
// backward over the same blocks (the first 64 MiB of the file, each block
// scanned while it is in the processor's cache), with the backward speed as
// a share of the forward one.
//
// usage: bench_search_speed [--mib N] [--file PATH] [--runs N] [--keep]
//        (default 2048 MiB in /var/tmp/quorby-search-bench.bin, 5 runs)
//        bench_search_speed --run a|b|c FILE [JOURNAL]   one search, used by the table
//        bench_search_speed --run-back a|b|c FILE        the same search backward
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "journal/command_commit.h"
#include "journal/journal_file.h"
#include "platform/posix/posix_file_io.h"
#include "search/hex_pattern.h"
#include "search/search_pass.h"
#include "state/work_buffers.h"

namespace {

using namespace quorby;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr const char* kTextA = "QXZJKW";
constexpr const char* kHexB = "00 11 22 33 44 55";
constexpr const char* kTextC = "Quorby";
constexpr std::uint64_t kJournalRecords = 100000;

// The pattern of search (a), (b) or (c) into `state`.
void choosePattern(const char* which, SearchState& state) {
    bool fold = false;
    if (std::strcmp(which, "a") == 0) {
        state.patternLength = copyTextPattern(kTextA, 7, false, state.pattern);
    } else if (std::strcmp(which, "b") == 0) {
        state.patternLength = parseHexPattern(kHexB, std::strlen(kHexB) + 1, state.pattern);
    } else {
        fold = true;
        state.patternLength = copyTextPattern(kTextC, 7, true, state.pattern);
    }
    prepareStatePattern(state, fold);
}

int runSearchOnce(const char* which, const char* path, const char* journalPath, bool forward) {
    PosixFileIo io;
    FileHandle h = kNoFile;
    FilePos size = 0;
    if (io.open(path, OpenMode::ReadOnly, &h) != 0 || io.size(h, &size) != 0) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 2;
    }
    SearchState state;
    choosePattern(which, state);
    startPositionsFromTop(state, forward ? 0 : size, size, forward);

    SearchSource source;
    source.files = &io;
    source.handle = h;
    source.fileSize = size;
    JournalFile journal;
    auto window = std::make_unique<JournalOverlayWindow>();
    if (journalPath) {
        FileHandle jh = kNoFile;
        if (io.open(journalPath, OpenMode::ReadOnly, &jh) != 0) return 2;
        attachJournal(journal, io, jh, journalPath);
        if (measureJournal(journal) != 0 || readJournalHeader(journal) != 0) return 2;
        source.journal = &journal;
        source.journalWindow = window.get();
        state.overlayJournal = true;
    }
    std::vector<std::uint8_t> block(kBlockBufferSize);
    const PassResult r = searchPasses(state, source, forward, block.data());
    if (r == PassResult::Found) std::printf("found at %llu\n", static_cast<unsigned long long>(state.foundPos));
    return r == PassResult::AtEnd ? 0 : 1;
}

bool makeFile(const std::string& path, std::uint64_t mib) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::vector<std::uint8_t> random(kMiB), zero(kMiB, 0);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t m = 0; m < mib; ++m) {
        if (m % 2 == 0) {
            for (std::size_t i = 0; i < kMiB; i += 8) {
                x ^= x << 13;
                x ^= x >> 7;
                x ^= x << 17;
                std::memcpy(&random[i], &x, 8);
            }
        }
        if (std::fwrite(m % 2 == 0 ? random.data() : zero.data(), 1, kMiB, f) != kMiB) {
            std::fclose(f);
            return false;
        }
    }
    return std::fclose(f) == 0;
}

// A Journal File for `mainPath` with records spread evenly over the file,
// built with the store's own append and link operations.
bool makeJournal(const std::string& journalPath, const std::string& mainPath, std::uint64_t fileSize) {
    PosixFileIo io;
    FileHandle h = kNoFile;
    if (io.open(journalPath, OpenMode::Truncate, &h) != 0) return false;
    JournalFile jf;
    attachJournal(jf, io, h, journalPath);
    jf.syncOnCommit = false;
    if (recreateJournal(jf, mainPath) != 0) return false;
    const std::uint64_t stride = fileSize / kJournalRecords / 512 * 512;
    FilePos previous = kEmptyPtr;
    for (std::uint64_t k = 0; k < kJournalRecords; ++k) {
        JournalRecord r;
        r.mainAdr = k * stride;
        r.anz = 512;
        r.flag = kFlagInEffect | kFlagUnwritten;
        std::memset(r.data, 0x5A, sizeof r.data);
        r.prevPtr = previous;
        if (appendNewPage(jf, r) != 0) return false;
        previous = r.jAdr;
    }
    const int result = commitCommand(jf);
    io.close(h);
    return result == 0;
}

// GB/s of the block scan over `data` in blocks of kSearchBlockSize, each
// scanned kBlockRepeats times in a row, so that it is in the processor's
// cache as a block just read is; the median of `runs`. *hits counts the
// matches (none in the bench file).
constexpr int kBlockRepeats = 16;

double scanSpeed(const ScanPattern& scan, const std::vector<std::uint8_t>& data, bool forward, int runs,
                 std::uint64_t* hits) {
    std::vector<double> times;
    *hits = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        for (std::size_t at = 0; at < data.size(); at += kSearchBlockSize) {
            const auto length = std::uint32_t(std::min<std::size_t>(kSearchBlockSize, data.size() - at));
            for (int k = 0; k < kBlockRepeats; ++k) {
                const std::uint32_t found = forward ? scanForward(scan, data.data() + at, 0, length)
                                                    : scanBackward(scan, data.data() + at, length);
                if (found != kNoMatch) ++*hits;
            }
        }
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return double(data.size()) * kBlockRepeats / times[times.size() / 2] / 1e9;
}

// The block scan alone, forward and backward on the first `mib` MiB of the
// file in memory.
void printScanTable(const std::string& path, std::uint64_t mib, int runs) {
    std::vector<std::uint8_t> data(mib * kMiB);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return;
    data.resize(std::fread(data.data(), 1, data.size(), f));
    std::fclose(f);
    std::printf("\nblock scan of cached blocks, %llu MiB x %d, median of %d\n%-32s %10s %10s %10s\n",
                static_cast<unsigned long long>(data.size() / kMiB), kBlockRepeats, runs, "pattern", "fwd GB/s",
                "back GB/s", "back/fwd");
    const char* labels[] = {"(a) QXZJKW", "(b) 00 11 22 33 44 55", "(c) Quorby, no case"};
    const char* which[] = {"a", "b", "c"};
    for (int k = 0; k < 3; ++k) {
        SearchState state;
        choosePattern(which[k], state);
        std::uint64_t forwardHits = 0, backwardHits = 0;
        const double forward = scanSpeed(state.scan, data, true, runs, &forwardHits);
        const double backward = scanSpeed(state.scan, data, false, runs, &backwardHits);
        std::printf("%-32s %10.2f %10.2f %10.2f%s\n", labels[k], forward, backward, backward / forward,
                    forwardHits == backwardHits ? "" : "  (different matches!)");
    }
}

double timeCommand(const std::string& command) {
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (status == -1 || !WIFEXITED(status)) std::fprintf(stderr, "failed: %s\n", command.c_str());
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--run") == 0)
        return runSearchOnce(argv[2], argv[3], argc > 4 ? argv[4] : nullptr, true);
    if (argc >= 4 && std::strcmp(argv[1], "--run-back") == 0) return runSearchOnce(argv[2], argv[3], nullptr, false);

    std::uint64_t mib = 2048;
    std::string path = "/var/tmp/quorby-search-bench.bin";
    int runs = 5;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mib") == 0 && i + 1 < argc) mib = std::strtoull(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--file") == 0 && i + 1 < argc) path = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--keep") == 0) keep = true;
    }
    const std::string journalPath = path + ".jnl";
    const std::string hexPatternFile = path + ".pattern";
    std::printf("making %llu MiB in %s ...\n", static_cast<unsigned long long>(mib), path.c_str());
    if (!makeFile(path, mib) || !makeJournal(journalPath, path, mib * kMiB)) {
        std::fprintf(stderr, "cannot write the bench files\n");
        return 2;
    }
    if (std::FILE* p = std::fopen(hexPatternFile.c_str(), "wb")) {
        const unsigned char bytes[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, '\n'};
        std::fwrite(bytes, 1, sizeof bytes, p);
        std::fclose(p);
    }

    const std::string self = argv[0];
    const std::string f = " '" + path + "'";
    struct Row {
        const char* label;
        std::string command;
    };
    const std::vector<Row> rows = {
        {"cat > /dev/null", "cat" + f + " > /dev/null"},
        {"quorby (a) QXZJKW", self + " --run a" + f},
        {"quorby (a) backward", self + " --run-back a" + f},
        {"grep   (a)", "grep -c -F -a QXZJKW" + f + " > /dev/null"},
        {"rg     (a)", "rg --no-mmap -c -a -F QXZJKW" + f + " > /dev/null"},
        {"quorby (b) 00 11 22 33 44 55", self + " --run b" + f},
        {"quorby (b) backward", self + " --run-back b" + f},
        {"grep   (b)", "grep -c -F -a -f '" + hexPatternFile + "'" + f + " > /dev/null"},
        {"rg     (b)", "rg --no-mmap -c -a -F -f '" + hexPatternFile + "'" + f + " > /dev/null"},
        {"quorby (c) Quorby, no case", self + " --run c" + f},
        {"quorby (c) backward", self + " --run-back c" + f},
        {"grep   (c)", "grep -c -F -a -i Quorby" + f + " > /dev/null"},
        {"rg     (c)", "rg --no-mmap -c -a -F -i Quorby" + f + " > /dev/null"},
        {"quorby (a) + 100000 records", self + " --run a" + f + " '" + journalPath + "'"},
    };
    timeCommand("cat" + f + " > /dev/null");  // into the page cache
    timeCommand("cat '" + journalPath + "' > /dev/null");
    std::vector<std::vector<double>> times(rows.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < rows.size(); ++i) times[i].push_back(timeCommand(rows[i].command));
    }
    const double bytes = double(mib * kMiB);
    std::printf("\n%-32s %10s %10s %10s %10s\n", "command", "median s", "best s", "GB/s", "back/fwd");
    double previousMedian = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<double> t = times[i];
        std::sort(t.begin(), t.end());
        const double median = t[t.size() / 2];
        std::printf("%-32s %10.3f %10.3f %10.2f", rows[i].label, median, t.front(), bytes / median / 1e9);
        // A backward row follows its forward row: its speed as a share of that one's.
        if (std::strstr(rows[i].label, "backward")) std::printf(" %10.2f", previousMedian / median);
        std::printf("\n");
        previousMedian = median;
    }
    printScanTable(path, std::min<std::uint64_t>(mib, 64), runs);
    if (!keep) {
        std::remove(path.c_str());
        std::remove(journalPath.c_str());
        std::remove(hexPatternFile.c_str());
    }
    return 0;
}
