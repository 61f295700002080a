// A whole search and a whole "Save File as" of a 64 MiB file with two
// unreadable ranges (4 KiB at 32 MiB, one sector at 63 MiB), beside the same
// file without them: what the bad ranges cost beyond reading the readable
// data. Both files are served by a small FUSE file system with direct I/O,
// so every read reaches it and a read of a bad range fails with EIO as a
// dying drive's would. Needs root and /dev/fuse.
//
//   cmake -S . -B build-bench -G Ninja -DQUORBY_BENCH=ON -DQUORBY_QT=OFF -DQUORBY_TESTS=OFF
//         -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench quorby bench_unreadable_speed
//   build-bench/bench/bench_unreadable_speed [runs] [directory] [quorby binary]
//
// Each figure is the best of `runs` (default 3) of `quorby --batch` opening
// the file read-only and running the command.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "tests/support/failing_fuse_file.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

constexpr std::uint64_t kSize = 64ull << 20;
constexpr std::uint64_t kBadBlock = 32ull << 20;
constexpr std::uint64_t kBadSector = 63ull << 20;

void writeScript(const std::string& path, const std::string& text) {
    if (std::FILE* f = std::fopen(path.c_str(), "w")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
}

double best(const std::string& command, int runs, const std::string& before = "") {
    double fastest = 1e9;
    for (int run = 0; run < runs; ++run) {
        if (!before.empty()) timedCommand(before);
        const double t = timedCommand(command);
        if (t < fastest) fastest = t;
    }
    return fastest;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const std::string dir = std::string(argc > 2 ? argv[2] : "/tmp") + "/quorby-bench-unreadable";
    const std::string quorby = quorbyProgram(argc > 3 ? argv[3] : nullptr);
    if (quorby.empty() || runs < 1) return 2;

    testing::FailingFuseFile healthy(kSize, patternByte, {});
    testing::FailingFuseFile failing(kSize, patternByte,
                                     {{kBadBlock, kBadBlock + 4096}, {kBadSector, kBadSector + 512}});
    if (healthy.path().empty() || failing.path().empty()) {
        std::printf("skipped: %s\n", (healthy.path().empty() ? healthy : failing).skipReason().c_str());
        return 0;
    }
    const std::string home = dir + "/home";
    const std::string target = dir + "/saved.bin";
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + home + "'").c_str());
    setenv("XDG_DATA_HOME", (dir + "/xdg-data").c_str(), 1);

    const auto batch = [&](const std::string& file, const std::string& name, const std::string& commands) {
        const std::string script = dir + "/" + name + ".txt";
        writeScript(script, "open " + file + " readonly\n" + commands + "quit\n");
        return "'" + quorby + "' --batch '" + script + "' --home '" + home + "' > '" + dir + "/" + name + ".out'";
    };
    const std::string search = "search text QXZJKWQXZ\n";
    const std::string saveAs = "file " + target + "\ncommand \"Save File &as\"\n";
    const std::string clean = "rm -f '" + target + "' '" + target + ".unreadable'";

    std::printf("64 MiB over FUSE (direct I/O), best of %d\n", runs);
    std::printf("%-22s %14s %14s %10s\n", "", "no bad ranges", "two bad ranges", "extra");
    const double searchHealthy = best(batch(healthy.path(), "search-healthy", search), runs);
    const double searchFailing = best(batch(failing.path(), "search-failing", search), runs);
    std::printf("%-22s %13.3fs %13.3fs %9.3fs\n", "search (whole file)", searchHealthy, searchFailing,
                searchFailing - searchHealthy);
    const double saveHealthy = best(batch(healthy.path(), "save-healthy", saveAs), runs, clean);
    const double saveFailing = best(batch(failing.path(), "save-failing", saveAs), runs, clean);
    std::printf("%-22s %13.3fs %13.3fs %9.3fs\n", "\"Save File as\"", saveHealthy, saveFailing,
                saveFailing - saveHealthy);

    // The copy of the failing file: zeros exactly in the two ranges, listed in the map.
    std::string map;
    if (std::FILE* f = std::fopen((target + ".unreadable").c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, f)) map += line;
        std::fclose(f);
    }
    const bool mapRight = map == "0x2000000 0x1000\n0x3F00000 0x200\n";
    std::printf("map file: %s", mapRight ? map.c_str() : "WRONG\n");
    std::system(("rm -rf '" + dir + "'").c_str());
    return mapRight ? 0 : 1;
}
