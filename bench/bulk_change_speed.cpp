// The bulk changes on big files, each beside `dd` doing the same writes in
// the same run, all timed as whole processes with `/usr/bin/time -v` for
// their peak resident memory (best of the runs):
// - "Paste File" in direct access without undo, beside `dd conv=notrunc`;
// - "Fill Selection with Hex-Value" and "Paste File" in direct access with
//   the default undo options, beside `dd conv=notrunc` of the same bytes
//   followed by `sync`, then "&Undo" and "Redo" of each beside the change;
// - "Paste File" and "Fill Selection with Hex-Value" in journal access,
//   beside `dd` writing as many bytes as the Journal File got, their "&Undo"
//   and "Redo", then "Save &File" of the change with undo beside
//   `dd conv=notrunc,fsync` of the file's bytes.
// With `strace` on the path (and QUORBY_BENCH_NO_STRACE not set), one more run of each command under
// `strace -f -e trace=fsync,fdatasync,pwrite64,pread64` gives its syncs and
// writes per 1000 pages and the bytes it wrote and read per page.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DQUORBY_BENCH=ON
//   ninja -C build-bench quorby bench_bulk_change_speed
//   build-bench/bench/bench_bulk_change_speed [paste MiB] [fill MiB] [directory] [quorby binary] [runs] [cases]
//
// Defaults: 2560 MiB pasted, 1024 MiB filled, /var/tmp, the quorby program
// of the same build tree, 3 runs, every case; QUORBY_BENCH_KEEP set keeps the directory; cases is a comma list of
// direct-paste, undo-fill, undo-paste, journal-paste, journal-fill. The
// results are checked (the files' bytes after each step, the journal's
// record count) and everything is deleted afterwards.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <functional>
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

// The undo options a first start has.
std::uint32_t defaultUndoOptions() {
    SettingsRecord s;
    setSettingsDefaults(s, "/", "/");
    return s.undoOptions;
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

// True when every byte of `path` is `byte` (`cmp` against a stream of it).
bool allBytes(const std::string& path, std::uint64_t size, char byte) {
    char octal[8];
    std::snprintf(octal, sizeof octal, "%03o", unsigned(std::uint8_t(byte)));
    const std::string stream = byte == 0 ? "cat /dev/zero" : "tr '\\000' '\\" + std::string(octal) + "' < /dev/zero";
    return std::system(("sh -c \"" + stream + " | cmp -s -n " + std::to_string(size) + " - '" + path + "'\"").c_str()) == 0;
}

Timed best(const std::vector<Timed>& runs) {
    Timed b = runs.front();
    for (const Timed& t : runs) {
        if (t.withSync < b.withSync) b.withSync = t.withSync;
        if (t.seconds < b.seconds) b.seconds = t.seconds;
        if (t.peakKiB > b.peakKiB) b.peakKiB = t.peakKiB;   // the highest peak of all runs
    }
    return b;
}

void printRatio(const char* what, const Timed& q, const Timed& ref) {
    std::printf("  %-44s ratio %.2f, with sync %.2f\n", what, q.seconds / ref.seconds, q.withSync / ref.withSync);
}

// One run of `command` under strace: fsync + fdatasync and pwrite64 calls per 1000 pages of `bytes`.
// One more run of `command` under strace: its syncs and writes per 1000
// pages, and the bytes it wrote and read per page, whichever file they went to.
void syscallsPerPages(const char* name, const std::string& command, std::uint64_t bytes, const std::string& dir) {
    const std::string out = dir + "/strace.txt";
    std::system(("strace -f -e trace=fsync,fdatasync,pwrite64,pread64 -o '" + out + "' " + command).c_str());
    std::ifstream in(out);
    std::string line;
    std::uint64_t syncs = 0, writes = 0, written = 0, read = 0;
    // A call another thread cut in two shows its name in "<... pwrite64 resumed>" and its result there.
    const auto names = [&line](const char* call) {
        return line.find(std::string(call) + "(") != std::string::npos ||
               line.find(std::string("<... ") + call + " resumed>") != std::string::npos;
    };
    const auto result = [&line]() -> std::uint64_t {
        const std::size_t at = line.rfind(" = ");
        return at == std::string::npos ? 0 : std::strtoull(line.c_str() + at + 3, nullptr, 10);
    };
    while (std::getline(in, line)) {
        const bool started = line.find(" resumed>") == std::string::npos;
        if (names("fsync") || names("fdatasync")) {
            syncs += started ? 1 : 0;
        } else if (names("pwrite64")) {
            writes += started ? 1 : 0;
            written += result();
        } else if (names("pread64")) {
            read += result();
        }
    }
    const double pages = double(bytes) / 512;
    std::printf("  %-44s %8.2f syncs %9.1f pwrite64 per 1000 pages; per page %6.0f bytes written, %6.0f read"
                " (strace, %llu pages)\n",
                name, syncs * 1000.0 / pages, writes * 1000.0 / pages, double(written) / pages, double(read) / pages,
                (unsigned long long)(bytes / 512));
}

// QUORBY_BENCH_NO_STRACE set: the runs under strace are left out.
bool haveStrace() {
    return std::getenv("QUORBY_BENCH_NO_STRACE") == nullptr && std::system("command -v strace > /dev/null 2>&1") == 0;
}

struct Bench {
    std::string dir, quorby, xdg, timeFile, ddTarget;
    int runs = 3;
    int bad = 0;

    std::string batch(const std::string& script, const std::string& home, const std::string& main) const {
        return "'" + quorby + "' --batch '" + dir + "/" + script + "' --home '" + home + "' '" + main + "' > /dev/null";
    }
    void check(bool ok, const char* what) {
        if (ok) return;
        ++bad;
        std::printf("  WRONG: %s\n", what);
    }
};

// A change, its Undo and its Redo in direct access with undo, against dd conv=notrunc and sync.
void changeWithUndo(Bench& b, const char* title, const std::string& script, const std::string& ddSource,
                    const std::string& main, std::uint64_t size, char byte, const std::function<int()>& fresh) {
    // dd writes a file of the Main File's size of its own, in place as well.
    const std::string ddCommand = "dd if='" + ddSource + "' of='" + b.ddTarget + "' bs=1M count=" +
                                  std::to_string(size) + " iflag=count_bytes conv=notrunc status=none";
    const std::string home = b.dir + "/home-undo";
    std::printf("%s\n", title);
    std::vector<Timed> q, d, u, r;
    for (int run = 0; run < b.runs; ++run) {
        std::system(("rm -rf '" + b.xdg + "' '" + b.ddTarget + "'").c_str());
        if (fresh() != 0 || makeFile(b.ddTarget, size, 0) != 0) {
            b.check(false, "setup");
            return;
        }
        q.push_back(timed(b.batch(script, home, main), b.timeFile));
        b.check(allBytes(main, size, byte), "the change");
        d.push_back(timed(ddCommand, b.timeFile));
        u.push_back(timed(b.batch("undo.txt", home, main), b.timeFile));
        b.check(allBytes(main, size, 0), "its undo");
        r.push_back(timed(b.batch("redo.txt", home, main), b.timeFile));
        b.check(allBytes(main, size, byte), "its redo");
        std::printf(" run %d: change %.3f s (%.3f s with sync), dd %.3f s (%.3f s), undo %.3f s, redo %.3f s\n", run + 1,
                    q.back().seconds, q.back().withSync, d.back().seconds, d.back().withSync, u.back().seconds,
                    r.back().seconds);
    }
    printRow("quorby, best", best(q));
    printRow("dd conv=notrunc, best", best(d));
    printRow("quorby &Undo, best", best(u));
    printRow("quorby Redo, best", best(r));
    printRatio("change against dd conv=notrunc + sync", best(q), best(d));
    printRatio("&Undo against the change", best(u), best(q));
    printRatio("Redo against the change", best(r), best(q));
    if (haveStrace()) {
        std::system(("rm -rf '" + b.xdg + "'").c_str());
        if (fresh() == 0) {
            syscallsPerPages("change", b.batch(script, home, main), size, b.dir);
            syscallsPerPages("&Undo", b.batch("undo.txt", home, main), size, b.dir);
            syscallsPerPages("Redo", b.batch("redo.txt", home, main), size, b.dir);
        }
    }
}

// A change in journal access against dd of the journal's bytes, its Undo
// and Redo, then Save File with undo against dd conv=notrunc,fsync.
void journalChange(Bench& b, const char* title, const std::string& script, const std::string& main,
                   std::uint64_t size, char byte, const std::function<int()>& fresh) {
    const std::string home = b.dir + "/home-journal";
    std::printf("%s\n", title);
    std::vector<Timed> q, d, u, r, s, ds;
    for (int run = 0; run < b.runs; ++run) {
        std::system(("rm -rf '" + b.xdg + "' '" + b.ddTarget + "'").c_str());
        if (fresh() != 0) {
            b.check(false, "setup");
            return;
        }
        q.push_back(timed(b.batch(script, home, main), b.timeFile));
        const std::uint64_t journalBytes = sizeOf(journalIn(b.xdg));
        b.check(journalBytes / 640 >= size / 512, "the journal's records");
        d.push_back(timed("dd if=/dev/zero of='" + b.ddTarget + "' bs=1M count=" + std::to_string(journalBytes) +
                              " iflag=count_bytes status=none",
                          b.timeFile));
        u.push_back(timed(b.batch("undo.txt", home, main), b.timeFile));
        r.push_back(timed(b.batch("redo.txt", home, main), b.timeFile));
        s.push_back(timed(b.batch("save.txt", home, main), b.timeFile));
        b.check(allBytes(main, size, byte), "the saved file");
        ds.push_back(timed("dd if=/dev/zero of='" + b.ddTarget + "' bs=1M count=" + std::to_string(size) +
                               " iflag=count_bytes conv=notrunc,fsync status=none",
                           b.timeFile));
        std::printf(" run %d: Journal File %llu bytes; change %.3f s, dd %.3f s, undo %.3f s, redo %.3f s, save %.3f s,"
                    " dd fsync %.3f s\n",
                    run + 1, (unsigned long long)journalBytes, q.back().seconds, d.back().seconds, u.back().seconds,
                    r.back().seconds, s.back().seconds, ds.back().seconds);
    }
    printRow("quorby, best", best(q));
    printRow("dd of the journal's bytes, best", best(d));
    printRow("quorby &Undo, best", best(u));
    printRow("quorby Redo, best", best(r));
    printRow("quorby Save File with undo, best", best(s));
    printRow("dd conv=notrunc,fsync of the file, best", best(ds));
    printRatio("change against dd of the journal's bytes", best(q), best(d));
    printRatio("&Undo against the change", best(u), best(q));
    printRatio("Redo against the change", best(r), best(q));
    printRatio("Save File against dd conv=notrunc,fsync", best(s), best(ds));
    if (haveStrace()) {
        std::system(("rm -rf '" + b.xdg + "'").c_str());
        if (fresh() == 0) {
            syscallsPerPages("change", b.batch(script, home, main), size, b.dir);
            syscallsPerPages("Save File", b.batch("save.txt", home, main), size, b.dir);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::uint64_t pasteMiB = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 2560;
    const std::uint64_t fillMiB = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024;
    Bench b;
    b.dir = std::string(argc > 3 ? argv[3] : "/var/tmp") + "/quorby-bench-bulk";
    b.quorby = quorbyProgram(argc > 4 ? argv[4] : nullptr);
    b.runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 3;
    const std::string cases = "," + std::string(argc > 6 ? argv[6] : "direct-paste,undo-fill,undo-paste,journal-paste,journal-fill") + ",";
    const auto wanted = [&cases](const char* name) { return cases.find("," + std::string(name) + ",") != std::string::npos; };
    if (b.quorby.empty()) return 2;
    const std::string& dir = b.dir;
    const std::string pasteHome = dir + "/home-paste";
    b.xdg = dir + "/xdg";
    b.timeFile = dir + "/time.txt";
    b.ddTarget = dir + "/dd-target.bin";
    const std::string source = dir + "/source.bin", pasteMain = dir + "/paste-main.bin";
    const std::string fillMain = dir + "/fill-main.bin";
    const std::uint64_t pasteBytes = pasteMiB << 20, fillBytes = fillMiB << 20;
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + pasteHome + "' '" + dir + "/home-undo' '" + dir +
                 "/home-journal'").c_str());
    setenv("XDG_DATA_HOME", b.xdg.c_str(), 1);
    // The pasted source is one byte value, so that every step's result is checked with cmp.
    if (makeFile(source, pasteBytes, 'P') != 0 || writeSettings(pasteHome, true, 0) != 0 ||
        writeSettings(dir + "/home-undo", true, defaultUndoOptions()) != 0 ||
        writeSettings(dir + "/home-journal", false, defaultUndoOptions()) != 0) {
        std::fprintf(stderr, "setup failed in %s\n", dir.c_str());
        return 2;
    }
    writeScript(dir + "/paste.txt", "file " + source + "\ncommand \"Paste File\"\nquit\n");
    writeScript(dir + "/fill.txt", "key F12\ndialog set hex 41\ndialog press OK\n"
                                   "command \"Fill Selection with Hex-Value\"\nquit\n");
    writeScript(dir + "/undo.txt", "command \"&Undo\"\nquit\n");
    writeScript(dir + "/redo.txt", "command \"Redo\"\nquit\n");
    writeScript(dir + "/save.txt", "command \"Save &File\"\nquit\n");
    const auto freshPasteMain = [&] { return makeFile(pasteMain, pasteBytes, 0); };
    const auto freshFillMain = [&] { return makeFile(fillMain, fillBytes, 0); };

    if (wanted("direct-paste")) {
        const std::string paste = b.batch("paste.txt", pasteHome, pasteMain);
        const std::string ddPaste = "dd if='" + source + "' of='" + pasteMain + "' bs=1M conv=notrunc status=none";
        std::printf("Paste File of %llu MiB into the Main File, direct access without undo\n", (unsigned long long)pasteMiB);
        std::vector<Timed> q, d;
        for (int run = 0; run < b.runs; ++run) {
            std::system(("rm -rf '" + b.xdg + "'").c_str());
            if (freshPasteMain() != 0) ++b.bad;
            q.push_back(timed(paste, b.timeFile));
            b.check(sameBytes(source, pasteMain), "the pasted file");
            d.push_back(timed(ddPaste, b.timeFile));
        }
        printRow("quorby Paste File, best", best(q));
        printRow("dd bs=1M conv=notrunc, best", best(d));
        printRatio("Paste File against dd", best(q), best(d));
    }
    if (wanted("undo-fill")) {
        char title[160];
        std::snprintf(title, sizeof title, "Fill Selection of %llu MiB, direct access with undo (undo options %u)",
                      (unsigned long long)fillMiB, defaultUndoOptions());
        changeWithUndo(b, title, "fill.txt", "/dev/zero", fillMain, fillBytes, 'A', freshFillMain);
    }
    if (wanted("undo-paste")) {
        char title[160];
        std::snprintf(title, sizeof title, "Paste File of %llu MiB, direct access with undo (undo options %u)",
                      (unsigned long long)pasteMiB, defaultUndoOptions());
        changeWithUndo(b, title, "paste.txt", source, pasteMain, pasteBytes, 'P', freshPasteMain);
    }
    if (wanted("journal-paste")) {
        char title[160];
        std::snprintf(title, sizeof title, "Paste File of %llu MiB, journal access (undo options %u)",
                      (unsigned long long)pasteMiB, defaultUndoOptions());
        journalChange(b, title, "paste.txt", pasteMain, pasteBytes, 'P', freshPasteMain);
    }
    if (wanted("journal-fill")) {
        char title[160];
        std::snprintf(title, sizeof title, "Fill Selection of %llu MiB, journal access (undo options %u)",
                      (unsigned long long)fillMiB, defaultUndoOptions());
        journalChange(b, title, "fill.txt", fillMain, fillBytes, 'A', freshFillMain);
    }
    if (std::getenv("QUORBY_BENCH_KEEP") == nullptr) std::system(("rm -rf '" + dir + "'").c_str());
    return b.bad == 0 ? 0 : 1;
}
