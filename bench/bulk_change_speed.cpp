// The bulk changes on big files, each beside `dd` doing the same writes in
// the same run, all timed as whole processes with `/usr/bin/time -v` for
// their peak resident memory:
// - "Paste File" of a file into the Main File in direct access without undo,
//   beside `dd if=SRC of=MAIN bs=1M conv=notrunc` of the same bytes;
// - "Fill Selection with Hex-Value" over a whole Main File in journal
//   access, beside `dd` writing as many bytes as the Journal File got.
// Both with and without the `sync` that puts the written bytes on the disk.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DQUORBY_BENCH=ON
//   ninja -C build-bench quorby bench_bulk_change_speed
//   build-bench/bench/bench_bulk_change_speed [paste MiB] [fill MiB] [directory] [quorby binary]
//
// Defaults: 2560 MiB pasted, 1024 MiB filled, /var/tmp, the quorby program
// of the same build tree. The results are checked (the pasted file, the
// journal's record count) and everything is deleted afterwards.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "platform/posix/posix_file_io.h"
#include "state/app_state.h"
#include "state/settings_file.h"

using namespace quorby;
using namespace quorby::bench;

namespace {

int writePattern(const std::string& path, std::uint64_t size) {
    const int fd = writePatternFile(path, size);
    return fd < 0 ? 1 : ::close(fd);
}

int makeFile(const std::string& path, std::uint64_t size, char byte) {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return 1;
    std::vector<char> block(1 << 20, byte);
    for (std::uint64_t pos = 0; pos < size; pos += block.size())
        if (::pwrite(fd, block.data(), block.size(), off_t(pos)) != ssize_t(block.size())) return 1;
    return ::close(fd);
}

// quorby.dat in `home` with no questions, files opened for writing, and the
// access mode and undo options given.
int writeSettings(const std::string& home, bool direct, std::uint32_t undoOptions) {
    PosixFileIo io;
    testing::FakePlatform platform;
    const auto state = std::make_unique<AppState>();  // large: kept off the stack
    AppState& app = *state;
    startInHome(app, io, platform, home);
    app.settings.writeAccess = 3;
    app.settings.undoOptions = undoOptions;
    app.settings.accessMode = direct ? 3 : 0;
    const int result = saveSettings(app);
    if (app.shell.settingsHandle != kNoFile) io.close(app.shell.settingsHandle);
    return result;
}

struct Timed {
    double seconds = 0;       // the command alone
    double withSync = 0;      // and the sync after it
    long peakKiB = 0;         // Maximum resident set size
};

// Runs `command` under /usr/bin/time -v after a sync, then a sync.
Timed timed(const std::string& command, const std::string& timeFile) {
    timedCommand("sync");
    Timed t;
    t.seconds = timedCommand("/usr/bin/time -v -o '" + timeFile + "' " + command);
    t.withSync = t.seconds + timedCommand("sync");
    std::ifstream in(timeFile);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "Maximum resident set size (kbytes): ";
        const std::size_t at = line.find(key);
        if (at != std::string::npos) t.peakKiB = std::atol(line.c_str() + at + key.size());
    }
    return t;
}

void printRow(const char* name, const Timed& t) {
    std::printf("  %-44s %8.3f s %8.3f s with sync %8.1f MiB peak RSS\n", name, t.seconds, t.withSync,
                double(t.peakKiB) / 1024);
}

std::uint64_t sizeOf(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
}

bool sameBytes(const std::string& a, const std::string& b) {
    return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

// The Journal File below `xdg` (one only), or "".
std::string journalIn(const std::string& xdg) {
    const std::string list = xdg + ".list";
    std::system(("find '" + xdg + "' -name '*.jnl' > '" + list + "'").c_str());
    std::ifstream in(list);
    std::string path;
    std::getline(in, path);
    return path;
}

void writeScript(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t pasteMiB = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2560;
    const std::uint64_t fillMiB = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
    const std::string dir = std::string(argc > 3 ? argv[3] : "/var/tmp") + "/quorby-bench-bulk";
    const std::string quorby = quorbyProgram(argc > 4 ? argv[4] : nullptr);
    if (quorby.empty()) return 2;
    const std::string pasteHome = dir + "/home-paste", fillHome = dir + "/home-fill";
    const std::string xdg = dir + "/xdg";
    const std::string source = dir + "/source.bin", pasteMain = dir + "/paste-main.bin";
    const std::string fillMain = dir + "/fill-main.bin", ddJournal = dir + "/dd-journal.bin";
    const std::string timeFile = dir + "/time.txt";
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + pasteHome + "' '" + fillHome + "'").c_str());
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    if (writePattern(source, pasteMiB << 20) != 0 || makeFile(pasteMain, pasteMiB << 20, 0) != 0 ||
        makeFile(fillMain, fillMiB << 20, 0) != 0 || writeSettings(pasteHome, true, 0) != 0 ||
        writeSettings(fillHome, false, 3) != 0) {
        std::fprintf(stderr, "setup failed in %s\n", dir.c_str());
        return 2;
    }
    writeScript(dir + "/paste.txt", "file " + source + "\ncommand \"Paste File\"\nquit\n");
    writeScript(dir + "/fill.txt", "key F12\ndialog set hex 41\ndialog press OK\n"
                                   "command \"Fill Selection with Hex-Value\"\nquit\n");
    const std::string paste = "'" + quorby + "' --batch '" + dir + "/paste.txt' --home '" + pasteHome + "' '" +
                              pasteMain + "' > /dev/null";
    const std::string ddPaste = "dd if='" + source + "' of='" + pasteMain + "' bs=1M conv=notrunc status=none";
    const std::string fill = "'" + quorby + "' --batch '" + dir + "/fill.txt' --home '" + fillHome + "' '" +
                             fillMain + "' > /dev/null";

    int bad = 0;
    std::printf("Paste File of %llu MiB into the Main File, direct access without undo\n", (unsigned long long)pasteMiB);
    for (int run = 0; run < 3; ++run) {
        // The order alternates, so neither always meets the other's writeback.
        std::system(("rm -rf '" + xdg + "'").c_str());
        const Timed q1 = run % 2 == 0 ? timed(paste, timeFile) : Timed{};
        if (run == 0 && !sameBytes(source, pasteMain)) ++bad;
        const Timed d = timed(ddPaste, timeFile);
        const Timed q = run % 2 == 1 ? timed(paste, timeFile) : q1;
        std::printf(" run %d\n", run + 1);
        printRow("quorby Paste File", q);
        printRow("dd bs=1M conv=notrunc", d);
        std::printf("  ratio %.2f, with sync %.2f\n", q.seconds / d.seconds, q.withSync / d.withSync);
    }
    std::printf("pasted file: %s\n", bad == 0 ? "same bytes as the source" : "WRONG CONTENT");

    std::printf("Fill Selection of %llu MiB, journal access (undo for all changes)\n", (unsigned long long)fillMiB);
    for (int run = 0; run < 3; ++run) {
        std::system(("rm -rf '" + xdg + "' '" + ddJournal + "'").c_str());
        const Timed q = timed(fill, timeFile);
        const std::string journal = journalIn(xdg);
        const std::uint64_t journalBytes = sizeOf(journal);
        const std::uint64_t records = journalBytes / 640;
        if (journalBytes == 0 || records < (fillMiB << 20) / 512) ++bad;
        const std::string ddFill = "dd if=/dev/zero of='" + ddJournal + "' bs=1M count=" +
                                   std::to_string(journalBytes) + " iflag=count_bytes status=none";
        const Timed d = timed(ddFill, timeFile);
        std::printf(" run %d: Journal File %llu bytes\n", run + 1, (unsigned long long)journalBytes);
        printRow("quorby Fill Selection", q);
        printRow("dd bs=1M of the journal's bytes", d);
        std::printf("  ratio %.2f, with sync %.2f\n", q.seconds / d.seconds, q.withSync / d.withSync);
    }
    std::system(("rm -rf '" + dir + "'").c_str());
    return bad == 0 ? 0 : 1;
}
