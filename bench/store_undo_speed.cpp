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

#include "app/app_state.h"
#include "app/settings_file.h"
#include "edit/store_page.h"
#include "edit/undo_commands.h"
#include "platform/posix/posix_file_io.h"
#include "store/journal_errors.h"
#include "store/page_assembly.h"

using namespace quorby;

namespace {

// Forwards to the real file access and counts the system calls.
class CountingFileIo final : public FileIo {
public:
    PosixFileIo real;
    std::uint64_t writes = 0, reads = 0, syncs = 0;

    int open(const std::string& p, OpenMode m, FileHandle* out) override { return real.open(p, m, out); }
    void close(FileHandle h) override { real.close(h); }
    int readAt(FileHandle h, FilePos pos, void* b, std::uint32_t n, std::uint32_t* d) override {
        ++reads;
        return real.readAt(h, pos, b, n, d);
    }
    int writeAt(FileHandle h, FilePos pos, const void* b, std::uint32_t n, std::uint32_t* d) override {
        ++writes;
        return real.writeAt(h, pos, b, n, d);
    }
    int size(FileHandle h, FilePos* out) override { return real.size(h, out); }
    int setSize(FileHandle h, FilePos s) override { return real.setSize(h, s); }
    int sync(FileHandle h) override {
        ++syncs;
        return real.sync(h);
    }
    int lastWriteTime(FileHandle h, std::uint64_t* out) override { return real.lastWriteTime(h, out); }
    int lastWriteTimeOfPath(const std::string& p, std::uint64_t* out) override { return real.lastWriteTimeOfPath(p, out); }
    bool exists(const std::string& p) override { return real.exists(p); }
    bool isBlockDevice(const std::string& p) override { return real.isBlockDevice(p); }
    int removeFile(const std::string& p) override { return real.removeFile(p); }
    int renameFile(const std::string& a, const std::string& b) override { return real.renameFile(a, b); }
    int copyFile(const std::string& a, const std::string& b) override { return real.copyFile(a, b); }
    int makeDirectory(const std::string& p) override { return real.makeDirectory(p); }
    int removeDirectoryIfEmpty(const std::string& p) override { return real.removeDirectoryIfEmpty(p); }
    int driveId(const std::string& p, std::uint64_t* out) override { return real.driveId(p, out); }
    int diskSpace(const std::string& p, DiskSpace* out) override { return real.diskSpace(p, out); }
    void listDrives(std::vector<DriveInfo>* l, std::vector<DriveInfo>* ph) override { real.listDrives(l, ph); }
    SystemError lastError() const override { return real.lastError(); }
    void setLastError(SystemError e) override { real.setLastError(e); }

    void reset() { writes = reads = syncs = 0; }
};

// Draws nothing and answers nothing: the benchmark measures the store.
class SilentPlatform final : public Platform {
public:
    void drawCells(int, int, const char*, int, Colour) override {}
    void setCaption(const std::string&) override {}
    void setScrollBar(std::int32_t, std::int32_t) override {}
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec&) override { return MsgAnswer::Ok; }
    int questionDialog(const std::string&, const std::string&) override { return kAnswerYes; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogSpec& d) override { return d.cancelId; }
    int createFont(int w, int h, int* aw, int* ah) override {
        *aw = w;
        *ah = h;
        return 0;
    }
    void fitWindowToGrid(int, int) override {}
    bool pollPendingInput() override { return false; }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return {}; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

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

    CountingFileIo io;
    SilentPlatform platform;
    static AppState app;  // large: kept off the stack
    app.platform = &platform;
    app.files = &io;
    setSettingsDefaults(app.settings, dir + "/", dir + "/");
    app.settings.undoOptions = 3;
    app.settings.messageSwitches = 0;

    // The Main File: `halves` pages.
    FileHandle h = kNoFile;
    if (io.open(mainPath, OpenMode::Truncate, &h) != 0 || io.setSize(h, halves * 512) != 0) {
        std::fprintf(stderr, "cannot create %s\n", mainPath.c_str());
        return 2;
    }
    app.main.mainHandle = h;
    app.main.mainKind = MainKind::File;
    app.main.mainName = mainPath;
    app.main.fileSize = halves * 512;
    app.main.lastBytePos = app.main.fileSize - 1;
    app.shell.accessFlags = kAccessNotLocked | kAccessWritable;
    FileHandle j = kNoFile;
    if (io.open(journalPath, OpenMode::Truncate, &j) != 0) return 2;
    attachJournal(app.journal, io, j, journalPath);
    reportJournalFailuresTo(app.journal, app);
    if (recreateJournal(app.journal, mainPath) != 0) return 2;
    app.journal.syncOnCommit = !(argc > 3 && std::string(argv[3]) == "nosync");
    loadPagePair(app, 0);

    std::printf("%llu page halves, journal %s, header commit %s\n", (unsigned long long)halves,
                journalPath.c_str(), app.journal.syncOnCommit ? "with syncs" : "without syncs");
    std::printf("%-34s %9s %9s %12s %10s %8s\n", "operation", "records", "seconds", "records/s", "writes/rec", "syncs");

    // Store: one command per pair; both halves typed, then the move stores them.
    io.reset();
    auto start = std::chrono::steady_clock::now();
    for (FilePos pos = 0; pos < app.main.fileSize; pos += 1024) {
        if (app.view.pagePos != pos) loadPagePair(app, pos);
        app.view.pageBuffer[5] ^= 0x5A;
        app.view.setChanged(5);
        app.view.pageBuffer[517] ^= 0xA5;
        app.view.setChanged(517);
        app.view.halfDirty[0] = app.view.halfDirty[1] = true;
        storePage(app);
        commitJournalHeader(app.journal);
    }
    row("store (new page halves)", halves, secondsSince(start), io.writes, io.syncs);

    io.reset();
    start = std::chrono::steady_clock::now();
    undoAllCommand(app);
    commitJournalHeader(app.journal);
    row("Undo All", halves, secondsSince(start), io.writes, io.syncs);

    io.reset();
    start = std::chrono::steady_clock::now();
    redoAllCommand(app);
    commitJournalHeader(app.journal);
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

    io.close(j);
    io.close(h);
    std::remove(mainPath.c_str());
    std::remove(journalPath.c_str());
    std::remove(plainPath.c_str());
    return 0;
}
