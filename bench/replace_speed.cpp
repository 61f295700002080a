// Speed of "Replace All" in journal access over a file in the page cache,
// beside the search alone over the same file and `dd` writing as many bytes
// as the Journal File received. The file holds the benchmarks' page pattern
// with N matches of a 14-byte text spread evenly over it (default 100000 in
// 2 GiB). Measured in this process with the program's own commands:
//   (s)  the search alone: a search for a text of the same length that the
//        file does not hold, from the first byte to the end (one whole pass);
//   (r)  Replace All of the N matches, one change in a new Journal File,
//        its commit (and sync) included;
//   (d)  dd of the Journal File's size, with conv=fdatasync as the
//        journal's commit syncs.
// One more row times Replace All in direct access with the default undo
// options (the Main File written, its earlier bytes kept in the Journal
// File); the file is put back by the opposite Replace All, not timed.
// The goal is r <= 2 s + d. Each run starts with a new Journal File; the
// Main File is never written (journal access, the file is not closed
// through the program, its Journal File is deleted). The replaced content is
// checked on a sample of pages, and the replacement count on every run.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DQUORBY_BENCH=ON
//   ninja -C build-bench bench_replace_speed
//   build-bench/bench/bench_replace_speed [MiB] [matches] [directory] [runs] [journal]
//
// Defaults: 2048 MiB, 100000 matches, /var/tmp, 3 runs; a fifth argument
// "journal" leaves the direct access row out; QUORBY_BENCH_KEEP set keeps
// the files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "filemenu/open_close.h"
#include "find/find_dialog.h"
#include "find/replace_command.h"
#include "find/search_command.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

constexpr const char* kPattern = "QUORBY*REPLACE";
constexpr const char* kReplacement = "quorby#replace";
constexpr const char* kAbsent = "QUORBY*ABSENT!";
constexpr std::size_t kLength = 14;

std::uint64_t matchPos(std::uint64_t k, std::uint64_t count, std::uint64_t size) {
    const std::uint64_t spacing = size / count;
    return k * spacing + (k * 37) % (spacing - kLength);
}

int writeFile(const std::string& path, std::uint64_t size, std::uint64_t count) {
    const int fd = writePatternFile(path, size);
    if (fd < 0) return 1;
    for (std::uint64_t k = 0; k < count; ++k)
        if (::pwrite(fd, kPattern, kLength, off_t(matchPos(k, count, size))) != ssize_t(kLength)) return 1;
    return ::close(fd);
}

struct Session {
    PosixFileIo io;
    testing::FakePlatform platform;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();  // large: kept off the stack
    AppState& app = *state;
};

int openSession(Session& s, const std::string& home, const std::string& mainPath) {
    answerEverything(s.platform, false);
    startInHome(s.app, s.io, s.platform, home);
    s.app.main.openReadOnly = false;
    if (openMainFile(s.app, mainPath) != 0 || s.app.journal.handle == kNoFile) {
        std::fprintf(stderr, "cannot open %s with a Journal File\n", mainPath.c_str());
        return 1;
    }
    return 0;
}

void setRequest(AppState& app, const char* pattern, const char* replacement) {
    openFindDialog(app, false);
    SearchRequest& r = app.search.request;
    std::memset(r.findText, 0, sizeof r.findText);
    std::memset(r.replaceText, 0, sizeof r.replaceText);
    std::strcpy(r.findText, pattern);
    std::strcpy(r.replaceText, replacement);
    r.matchCase = true;
    r.directionDown = true;
    r.findNext = true;
}

double searchAlone(const std::string& home, const std::string& mainPath) {
    Session s;
    if (openSession(s, home, mainPath) != 0) std::exit(2);
    setRequest(s.app, kAbsent, kAbsent);
    const auto start = std::chrono::steady_clock::now();
    const SearchResult result = runSearch(s.app, s.app.search.state, s.app.search.request, nullptr);
    const double seconds = secondsSince(start);
    if (result != SearchResult::NotFound) {
        std::fprintf(stderr, "the search alone did not run to the end\n");
        std::exit(2);
    }
    std::filesystem::remove(s.app.journal.name);
    return seconds;
}

struct ReplaceRun {
    double seconds = 0;
    std::uint64_t journalBytes = 0;
};

void expectReplaced(const AppState& app, std::uint64_t count) {
    if (app.search.replaceResult != ReplaceResult::Done || app.search.replacedCount != count) {
        std::fprintf(stderr, "Replace All replaced %llu of %llu\n",
                     static_cast<unsigned long long>(app.search.replacedCount),
                     static_cast<unsigned long long>(count));
        std::exit(2);
    }
}

// With `direct`, in direct access with the default undo options: the Main
// File is written, and put back afterwards by a Replace All the other way
// (not timed).
ReplaceRun replaceAll(const std::string& home, const std::string& mainPath, std::uint64_t count, std::uint64_t size,
                      bool direct = false) {
    Session s;
    if (openSession(s, home, mainPath) != 0) std::exit(2);
    if (direct) s.app.shell.accessFlags |= kAccessDirect | kAccessWritable | kAccessNotLocked;
    const std::uint64_t before = s.app.journal.journalEnd;
    setRequest(s.app, kPattern, kReplacement);
    const auto start = std::chrono::steady_clock::now();
    replaceAllMatches(s.app);
    ReplaceRun run;
    run.seconds = secondsSince(start);
    run.journalBytes = s.app.journal.journalEnd - before;
    expectReplaced(s.app, count);
    // A sample of the matches now shows the replacement.
    for (std::uint64_t k = 0; k < count; k += count / 97 + 1) {
        const FilePos pos = matchPos(k, count, size);
        if (loadPagePair(s.app, pos) != 0 ||
            std::memcmp(s.app.view.pageBuffer + (pos - s.app.view.pagePos), kReplacement, kLength) != 0) {
            std::fprintf(stderr, "match %llu was not replaced\n", static_cast<unsigned long long>(k));
            std::exit(2);
        }
    }
    if (direct) {
        setRequest(s.app, kReplacement, kPattern);
        replaceAllMatches(s.app);
        expectReplaced(s.app, count);
    }
    // Not closed: nothing is to be written into the Main File.
    std::filesystem::remove(s.app.journal.name);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2048;
    const std::uint64_t count = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 100000;
    const std::string dir = std::string(argc > 3 ? argv[3] : "/var/tmp") + "/quorby-bench-replace";
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    const bool withDirect = !(argc > 5 && std::strcmp(argv[5], "journal") == 0);
    const std::uint64_t size = mib << 20;
    if (count == 0 || size / count <= 2 * kLength) {
        std::fprintf(stderr, "too many matches for the file\n");
        return 2;
    }
    std::filesystem::create_directories(dir + "/home");
    std::filesystem::create_directories(dir + "/xdg");
    ::setenv("XDG_DATA_HOME", (dir + "/xdg").c_str(), 1);
    const std::string mainPath = dir + "/main.bin";
    const std::string home = dir + "/home";
    std::printf("file %llu MiB with %llu matches of \"%s\" (%s), %d runs, best of each\n",
                static_cast<unsigned long long>(mib), static_cast<unsigned long long>(count), kPattern, dir.c_str(),
                runs);
    if (writeFile(mainPath, size, count) != 0) {
        std::fprintf(stderr, "cannot write %s\n", mainPath.c_str());
        return 2;
    }
    timedCommand("cat '" + mainPath + "' > /dev/null");  // into the page cache

    double search = 1e9, replace = 1e9, dd = 1e9, direct = 1e9;
    std::uint64_t journalBytes = 0, directJournalBytes = 0;
    for (int run = 0; run < runs; ++run) {
        search = std::min(search, searchAlone(home, mainPath));
        const ReplaceRun r = replaceAll(home, mainPath, count, size);
        replace = std::min(replace, r.seconds);
        journalBytes = r.journalBytes;
        const std::uint64_t ddMiB = (journalBytes + (1 << 20) - 1) >> 20;
        dd = std::min(dd, timedCommand("dd if=/dev/zero of='" + dir + "/dd.bin' bs=1M count=" +
                                       std::to_string(ddMiB) + " conv=fdatasync status=none"));
        std::filesystem::remove(dir + "/dd.bin");
        if (!withDirect) continue;
        const ReplaceRun d = replaceAll(home, mainPath, count, size, true);
        direct = std::min(direct, d.seconds);
        directJournalBytes = d.journalBytes;
    }
    std::printf("%-44s %8.3f s\n", "(s) search alone, the whole file", search);
    std::printf("%-44s %8.3f s  (journal +%llu bytes, %.0f per match)\n", "(r) Replace All, journal access", replace,
                static_cast<unsigned long long>(journalBytes), double(journalBytes) / double(count));
    std::printf("%-44s %8.3f s\n", "(d) dd of the journal's bytes, fdatasync", dd);
    const double goal = 2 * search + dd;
    std::printf("r / (2 s + d) = %.2f  (%s)\n", replace / goal, replace <= goal ? "goal met" : "goal missed");
    std::printf("r / (s + d)   = %.2f\n", replace / (search + dd));
    if (withDirect)
        std::printf("%-44s %8.3f s  (journal +%llu bytes)\n", "Replace All, direct access with undo", direct,
                    static_cast<unsigned long long>(directJournalBytes));
    if (std::getenv("QUORBY_BENCH_KEEP") == nullptr) std::filesystem::remove_all(dir);
    return 0;
}
