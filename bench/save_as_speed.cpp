// "Save File &as" of a big file with changes spread over its Journal File,
// beside `cp` of the same file, both timed as whole processes with the file
// in the page cache.
//
//   cmake -S . -B build-bench -G Ninja -DQUORBY_BENCH=ON -DQUORBY_QT=OFF -DQUORBY_TESTS=OFF
//         -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench quorby bench_save_as_speed
//   build-bench/bench/bench_save_as_speed [MiB] [halves] [directory] [quorby binary]
//
// Defaults: 1024 MiB, 10000 changed page halves, /tmp, the quorby program of
// the same build tree. The changes are stored by the program's own store (one
// command per half, as typing and moving on would store them), then the
// timed run is `quorby --batch` opening the file, answering the save dialog
// and running "Save File &as". The saved file is checked at every change.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "journal/journal_file.h"
#include "platform/posix/posix_file_io.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "filemenu/open_close.h"
#include "document/page_assembly.h"
#include "document/store_page.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

std::uint8_t changedByte(std::uint64_t k) { return std::uint8_t(~patternByte(k) ^ 0x5A); }

int writePattern(const std::string& path, std::uint64_t size) {
    const int fd = writePatternFile(path, size);
    return fd < 0 ? 1 : ::close(fd);
}

// The position of change k: one byte in each of `halves` pages spread over the file.
std::uint64_t changePos(std::uint64_t k, std::uint64_t halves, std::uint64_t size) {
    const std::uint64_t pages = size / 512;
    return (k * pages / halves) * 512 + (k * 37) % 512;
}

// Stores the changes through the program's store, one command per half, and
// leaves the Journal File closed where the next opening finds it.
int storeChanges(const std::string& home, const std::string& mainPath, std::uint64_t halves, std::uint64_t size) {
    PosixFileIo io;
    testing::FakePlatform platform;
    answerEverything(platform, false);
    const auto state = std::make_unique<AppState>();  // large: kept off the stack
    AppState& app = *state;
    startInHome(app, io, platform, home);  // no questions, now and in the timed run
    app.settings.undoOptions = 3;
    app.main.openReadOnly = false;
    if (openMainFile(app, mainPath) != 0 || app.journal.handle == kNoFile) return 1;
    if (storeByteChanges(app, halves, [&](std::uint64_t k) { return changePos(k, halves, size); }, changedByte) != 0)
        return 1;
    if (closeMainFile(app) != 0) return 1;
    return saveSettings(app);
}

int checkSaved(const std::string& path, std::uint64_t halves, std::uint64_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0 || ::lseek(fd, 0, SEEK_END) != off_t(size)) return 1;
    int bad = 0;
    for (std::uint64_t k = 0; k < halves; ++k) {
        const std::uint64_t pos = changePos(k, halves, size);
        std::uint8_t bytes[2] = {};
        if (::pread(fd, bytes, 2, off_t(pos)) < 1 || bytes[0] != changedByte(k)) ++bad;
        if (pos + 1 < size && bytes[1] != patternByte(pos + 1)) ++bad;
    }
    ::close(fd);
    return bad;
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
    const std::uint64_t halves = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 10000;
    const std::string dir = std::string(argc > 3 ? argv[3] : "/tmp") + "/quorby-bench-saveas";
    const std::string quorby = quorbyProgram(argc > 4 ? argv[4] : nullptr);
    if (quorby.empty()) return 2;
    const std::uint64_t size = mib << 20;
    const std::string mainPath = dir + "/main.bin";
    const std::string saved = dir + "/saved.bin";
    const std::string copied = dir + "/copied.bin";
    const std::string home = dir + "/home";
    const std::string script = dir + "/save.txt";

    std::system(("rm -rf '" + dir + "' && mkdir -p '" + home + "'").c_str());
    setenv("XDG_DATA_HOME", (dir + "/xdg-data").c_str(), 1);
    if (writePattern(mainPath, size) != 0 || storeChanges(home, mainPath, halves, size) != 0) {
        std::fprintf(stderr, "setup failed in %s\n", dir.c_str());
        return 2;
    }
    if (std::FILE* f = std::fopen(script.c_str(), "w")) {
        std::fprintf(f, "file %s\ncommand \"Save File &as\"\nquit\n", saved.c_str());
        std::fclose(f);
    }
    const std::string saveAs =
        "'" + quorby + "' --batch '" + script + "' --home '" + home + "' '" + mainPath + "' > /dev/null";
    const std::string cp = "cp '" + mainPath + "' '" + copied + "'";
    const std::string clean = "rm -f '" + saved + "' '" + copied + "'";

    timedCommand("cat '" + mainPath + "' > /dev/null");  // into the page cache
    std::printf("%llu MiB, %llu changed page halves in the Journal File\n", (unsigned long long)mib,
                (unsigned long long)halves);
    std::printf("%-28s %10s %10s %10s %10s\n", "", "run 1", "run 2", "run 3", "run 4");
    double bestSave = 1e9, bestCp = 1e9;
    double saveTimes[4], cpTimes[4];
    for (int run = 0; run < 4; ++run) {
        // Each run starts without dirty pages of the previous one; the order
        // alternates, so neither always meets the other's writeback.
        timedCommand(clean + " && sync");
        if (run % 2 == 0) saveTimes[run] = timedCommand(saveAs);
        timedCommand("sync");
        cpTimes[run] = timedCommand(cp);
        timedCommand("sync");
        if (run % 2 == 1) saveTimes[run] = timedCommand(saveAs);
        bestSave = std::min(bestSave, saveTimes[run]);
        bestCp = std::min(bestCp, cpTimes[run]);
    }
    std::printf("%-28s %9.3fs %9.3fs %9.3fs %9.3fs\n", "quorby \"Save File &as\"", saveTimes[0], saveTimes[1],
                saveTimes[2], saveTimes[3]);
    std::printf("%-28s %9.3fs %9.3fs %9.3fs %9.3fs\n", "cp", cpTimes[0], cpTimes[1], cpTimes[2], cpTimes[3]);
    std::printf("best: save as %.3f s, cp %.3f s, ratio %.2f\n", bestSave, bestCp, bestSave / bestCp);
    const int bad = checkSaved(saved, halves, size);
    std::printf("saved file: %s\n", bad == 0 ? "every change present" : "WRONG CONTENT");
    std::system(("rm -rf '" + dir + "'").c_str());
    return bad == 0 ? 0 : 1;
}
