// Find Differences of two big files in the page cache that differ only in
// their last byte, as a whole `quorby --batch` process, beside GNU `cmp` of
// the same two files; and the same with 100000 changed pages in the Main
// File's Journal File (the Compare File then holds the changed bytes too, so
// the only difference is still the last byte).
//
//   cmake -S . -B build-bench -G Ninja -DQUORBY_BENCH=ON -DQUORBY_QT=OFF -DQUORBY_TESTS=OFF
//         -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench quorby bench_compare_speed
//   build-bench/bench/bench_compare_speed [MiB] [records] [directory] [runs] [quorby binary]
//
// Defaults: 2048 MiB, 100000 records, /var/tmp, 5 runs, the quorby program
// of the same build tree. The table gives the best and the median of the runs.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "state/settings_file.h"
#include "filemenu/open_close.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

std::uint8_t changedByte(std::uint64_t k) { return std::uint8_t(~patternByte(k) ^ 0x5A); }

std::uint64_t changePos(std::uint64_t k, std::uint64_t records, std::uint64_t size) {
    return (k * (size / 512) / records) * 512 + (k * 37) % 512;
}

// The pattern, with the changes laid in when `records` is not 0, and the last byte flipped when `flipLast`.
int writeFile(const std::string& path, std::uint64_t size, std::uint64_t records, bool flipLast) {
    const int fd = writePatternFile(path, size);
    if (fd < 0) return 1;
    for (std::uint64_t k = 0; k < records; ++k) {
        const std::uint8_t b = changedByte(k);
        if (::pwrite(fd, &b, 1, off_t(changePos(k, records, size))) != 1) return 1;
    }
    if (flipLast) {
        const std::uint8_t b = std::uint8_t(~patternByte(size - 1));
        if (::pwrite(fd, &b, 1, off_t(size - 1)) != 1) return 1;
    }
    return ::close(fd);
}

// Settings without questions in `home`; with `records`, the changes stored
// through the program's store into the Main File's Journal File.
int prepareHome(const std::string& home, const std::string& mainPath, std::uint64_t records, std::uint64_t size) {
    PosixFileIo io;
    testing::FakePlatform platform;
    answerEverything(platform, false);
    const auto state = std::make_unique<AppState>();  // large: kept off the stack
    AppState& app = *state;
    startInHome(app, io, platform, home);
    app.main.openReadOnly = false;
    if (records != 0) {
        if (openMainFile(app, mainPath) != 0 || app.journal.handle == kNoFile) return 1;
        if (storeByteChanges(app, records, [&](std::uint64_t k) { return changePos(k, records, size); },
                             changedByte) != 0)
            return 1;
        loadPagePair(app, 0);
        closeMainFile(app);
    }
    return saveSettings(app);
}

struct Timed {
    double seconds;
    std::string output;
};

// Runs a command and returns its wall time and first line of output.
Timed timed(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    std::FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char line[512];
    while (p && std::fgets(line, sizeof line, p)) out += line;
    const int status = p ? ::pclose(p) : -1;
    const double seconds = secondsSince(start);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(2);
    }
    return {seconds, out};
}

struct Row {
    std::string label;
    std::string command;
    std::string expect;  // in the output of every run
    std::vector<double> times;
};

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2048;
    const std::uint64_t records = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 100000;
    const std::string dir = std::string(argc > 3 ? argv[3] : "/var/tmp") + "/quorby-bench-compare";
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    const std::string quorby = quorbyProgram(argc > 5 ? argv[5] : nullptr);
    if (quorby.empty()) return 2;
    const std::uint64_t size = mib << 20;
    const std::string a = dir + "/a.bin", b = dir + "/b.bin", bChanged = dir + "/b-changed.bin";
    const std::string plainHome = dir + "/home-plain", journalHome = dir + "/home-journal";
    const std::string script = dir + "/compare.txt", scriptChanged = dir + "/compare-changed.txt";

    std::system(("rm -rf '" + dir + "' && mkdir -p '" + plainHome + "' '" + journalHome + "'").c_str());
    std::printf("making 3 files of %llu MiB and %llu journal records in %s ...\n", (unsigned long long)mib,
                (unsigned long long)records, dir.c_str());
    if (writeFile(a, size, 0, false) != 0 || writeFile(b, size, 0, true) != 0 ||
        writeFile(bChanged, size, records, true) != 0) {
        std::fprintf(stderr, "cannot write the files in %s\n", dir.c_str());
        return 2;
    }
    setenv("XDG_DATA_HOME", (dir + "/xdg-plain").c_str(), 1);
    if (prepareHome(plainHome, a, 0, size) != 0) return 2;
    setenv("XDG_DATA_HOME", (dir + "/xdg-journal").c_str(), 1);
    if (prepareHome(journalHome, a, records, size) != 0) return 2;
    for (const auto& [path, compareFile] : {std::pair{script, b}, std::pair{scriptChanged, bChanged}}) {
        std::FILE* f = std::fopen(path.c_str(), "w");
        if (!f) return 2;
        std::fprintf(f, "key Ctrl+Home\ncompare %s\ndifferences\nquit\n", compareFile.c_str());
        std::fclose(f);
    }

    char last[64];
    std::snprintf(last, sizeof last, "COMPARE DIFFERENCE 0x%llX", (unsigned long long)(size - 1));
    const std::string run = "'" + quorby + "' --batch ";
    std::vector<Row> rows = {
        {"cmp a b", "cmp '" + a + "' '" + b + "'", "differ", {}},
        {"quorby Find Differences", "XDG_DATA_HOME='" + dir + "/xdg-plain' " + run + "'" + script + "' --home '" +
                                        plainHome + "' '" + a + "'", last, {}},
        {"quorby, journal records", "XDG_DATA_HOME='" + dir + "/xdg-journal' " + run + "'" + scriptChanged +
                                        "' --home '" + journalHome + "' '" + a + "'", last, {}},
    };
    timed("cat '" + a + "' '" + b + "' '" + bChanged + "' > /dev/null");  // into the page cache
    for (int r = 0; r < runs; ++r) {
        for (Row& row : rows) {
            Timed t = timed(row.command);
            if (t.output.find(row.expect) == std::string::npos) {
                std::fprintf(stderr, "%s: expected \"%s\" in:\n%s\n", row.label.c_str(), row.expect.c_str(),
                             t.output.c_str());
                return 1;
            }
            row.times.push_back(t.seconds);
        }
    }
    std::printf("\n%-26s %9s %9s %9s  %s\n", "", "best s", "median s", "ratio", "command");
    auto best = [](const Row& row) { return *std::min_element(row.times.begin(), row.times.end()); };
    for (const Row& row : rows) {
        std::vector<double> t = row.times;
        std::sort(t.begin(), t.end());
        std::printf("%-26s %9.3f %9.3f %9.2f  %s\n", row.label.c_str(), t.front(), t[t.size() / 2],
                    t.front() / best(rows[0]), row.command.c_str());
    }
    std::printf("journal records / without: %.2f\n", best(rows[2]) / best(rows[1]));
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
