#pragma once
// What the benchmarks share: a platform that draws nothing and answers every
// question the same way, file access that counts its system calls, and
// timing of whole processes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "state/settings_file.h"
#include "platform/platform.h"
#include "platform/posix/posix_file_io.h"
#include "store/journal_errors.h"
#include "store/store_page.h"
#include "store/page_assembly.h"

namespace quorby::bench {

// Draws nothing; Yes/No boxes and questions get `yes`, other boxes OK,
// dialogs their cancel button.
class SilentPlatform final : public Platform {
public:
    explicit SilentPlatform(bool yes) : yes_(yes) {}
    void drawCells(int, int, const char*, int, Colour) override {}
    void setCaption(const std::string&) override {}
    void setScrollBar(std::int32_t, std::int32_t) override {}
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxDescription& box) override {
        if (box.buttons != MsgButtons::YesNo) return MsgAnswer::Ok;
        return yes_ ? MsgAnswer::Yes : MsgAnswer::No;
    }
    int questionDialog(const std::string&, const std::string&) override { return yes_ ? kAnswerYes : 0; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogDescription& d) override { return d.cancelId; }
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

private:
    bool yes_;
};

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

// Sets `app` up with a new Main File of `halves` zero pages, writable in
// journal access, and a new Journal File for it, without questions; shows
// the first page pair. Result 0, or 1 after a message on stderr.
inline int openBenchFiles(AppState& app, FileIo& io, Platform& platform, const std::string& dir,
                          const std::string& mainPath, const std::string& journalPath, std::uint64_t halves) {
    app.platform = &platform;
    app.files = &io;
    setSettingsDefaults(app.settings, dir + "/", dir + "/");
    app.settings.messageSwitches = 0;
    FileHandle h = kNoFile;
    if (io.open(mainPath, OpenMode::Truncate, &h) != 0 || io.setSize(h, halves * 512) != 0) {
        std::fprintf(stderr, "cannot create %s\n", mainPath.c_str());
        return 1;
    }
    app.main.mainHandle = h;
    app.main.mainKind = MainKind::File;
    app.main.mainName = mainPath;
    app.main.fileSize = halves * 512;
    app.main.lastBytePos = app.main.fileSize - 1;
    app.shell.accessFlags = kAccessNotLocked | kAccessWritable;
    FileHandle j = kNoFile;
    if (io.open(journalPath, OpenMode::Truncate, &j) != 0) {
        std::fprintf(stderr, "cannot create %s\n", journalPath.c_str());
        return 1;
    }
    attachJournal(app.journal, io, j, journalPath);
    reportJournalFailuresTo(app.journal, app);
    if (recreateJournal(app.journal, mainPath) != 0) return 1;
    loadPagePair(app, 0);
    return 0;
}

// Changes one byte in each half of every page pair and stores the pair, one
// command (with its header commit) per pair, as moving on after typing would.
inline void changeEveryHalf(AppState& app) {
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
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs a shell command and returns its wall time; a failing command ends the
// benchmark.
inline double timedCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = secondsSince(start);
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(2);
    }
    return seconds;
}

}  // namespace quorby::bench
