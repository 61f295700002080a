#pragma once
// Set-up of the Journal File lifecycle tests: an application state with real
// files in a private temporary directory, a window system that answers from
// queues and records every box and question, and a file layer whose "drives"
// the test decides (PosixFileIo for everything else).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "platform/posix/posix_file_io.h"
#include "store/journal_file.h"

namespace quorby::lifecycle_test {

// Every message box and question, by caption, in the order shown.
class AnsweringPlatform final : public Platform {
public:
    std::deque<MsgAnswer> boxAnswers;           // empty: the box's safe answer (No / Cancel / OK)
    std::deque<int> questionAnswers;            // empty: No
    std::deque<FileDialogResult> fileAnswers;   // empty: Cancel
    std::vector<std::string> shown;             // captions of boxes and questions
    std::vector<std::string> texts;
    std::vector<FileDialogRequest> fileRequests;
    std::string caption;

    void drawCells(int, int, const char*, int, Colour) override {}
    void setCaption(const std::string& c) override { caption = c; }
    void setScrollBar(std::int32_t, std::int32_t) override {}
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec& box) override {
        shown.push_back(box.caption);
        texts.push_back(box.text);
        if (!boxAnswers.empty()) {
            MsgAnswer a = boxAnswers.front();
            boxAnswers.pop_front();
            return a;
        }
        if (box.buttons == MsgButtons::YesNo) return MsgAnswer::No;
        return box.buttons == MsgButtons::OkCancel ? MsgAnswer::Cancel : MsgAnswer::Ok;
    }
    int questionDialog(const std::string& c, const std::string& text) override {
        shown.push_back(c);
        texts.push_back(text);
        if (questionAnswers.empty()) return 0;
        int a = questionAnswers.front();
        questionAnswers.pop_front();
        return a;
    }
    FileDialogResult fileDialog(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        shown.push_back("[file] " + request.title);
        if (fileAnswers.empty()) return {};
        FileDialogResult r = fileAnswers.front();
        fileAnswers.pop_front();
        return r;
    }
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
    std::string clipboardData(const std::string&) override { return ""; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

// PosixFileIo with test-made drives: a path under a registered prefix lies on
// that prefix's drive; any other path on drive 1.
class DriveMapFileIo final : public FileIo {
public:
    PosixFileIo real;
    std::vector<std::pair<std::string, std::uint64_t>> drives;

    int driveId(const std::string& path, std::uint64_t* out) override {
        std::size_t best = 0;
        *out = 1;
        for (auto& [prefix, id] : drives)
            if (path.compare(0, prefix.size(), prefix) == 0 && prefix.size() > best) {
                best = prefix.size();
                *out = id;
            }
        return 0;
    }
    int open(const std::string& p, OpenMode m, FileHandle* h) override { return real.open(p, m, h); }
    void close(FileHandle h) override { real.close(h); }
    int readAt(FileHandle h, FilePos pos, void* b, std::uint32_t n, std::uint32_t* d) override {
        return real.readAt(h, pos, b, n, d);
    }
    int writeAt(FileHandle h, FilePos pos, const void* b, std::uint32_t n, std::uint32_t* d) override {
        return real.writeAt(h, pos, b, n, d);
    }
    int size(FileHandle h, FilePos* out) override { return real.size(h, out); }
    int setSize(FileHandle h, FilePos s) override { return real.setSize(h, s); }
    int sync(FileHandle h) override { return real.sync(h); }
    int lastWriteTime(FileHandle h, std::uint64_t* out) override { return real.lastWriteTime(h, out); }
    int lastWriteTimeOfPath(const std::string& p, std::uint64_t* out) override {
        return real.lastWriteTimeOfPath(p, out);
    }
    bool exists(const std::string& p) override { return real.exists(p); }
    bool isBlockDevice(const std::string& p) override { return real.isBlockDevice(p); }
    int removeFile(const std::string& p) override { return real.removeFile(p); }
    int renameFile(const std::string& a, const std::string& b) override { return real.renameFile(a, b); }
    int copyFile(const std::string& a, const std::string& b) override { return real.copyFile(a, b); }
    int makeDirectory(const std::string& p) override { return real.makeDirectory(p); }
    int removeDirectoryIfEmpty(const std::string& p) override { return real.removeDirectoryIfEmpty(p); }
    int diskSpace(const std::string& p, DiskSpace* out) override { return real.diskSpace(p, out); }
    void listDrives(std::vector<DriveInfo>* l, std::vector<DriveInfo>* p) override { real.listDrives(l, p); }
    SystemError lastError() const override { return real.lastError(); }
    void setLastError(SystemError e) override { real.setLastError(e); }
};

class LifecycleTest : public ::testing::Test {
protected:
    AnsweringPlatform platform;
    DriveMapFileIo io;
    AppState app;
    std::string dir;          // ends with '/'
    std::string fixedDir;     // the journal directories, each ending with '/'
    std::string altDir;

    void SetUp() override {
        char pattern[] = "/tmp/quorby-lifecycle-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
        fixedDir = dir + "fixed/";
        altDir = dir + "alt/";
        std::filesystem::create_directory(fixedDir);
        std::filesystem::create_directory(altDir);
        app.platform = &platform;
        app.files = &io;
        app.journal.files = &io;
        app.settings.messageSwitches = 0;
        app.settings.journalLocation = 0;
        app.shell.defaultFixedJournalDir = fixedDir;
        app.shell.defaultAlternativeJournalDir = altDir;
        app.main.openReadOnly = false;
    }
    void TearDown() override {
        if (app.journal.handle != kNoFile) io.close(app.journal.handle);
        if (app.main.mainHandle != kNoFile) io.close(app.main.mainHandle);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string writeFile(const std::string& path, std::size_t size, std::uint8_t fill = 0x5A) {
        std::vector<std::uint8_t> bytes(size, fill);
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        EXPECT_GE(fd, 0) << path;
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size())) << path;
        ::close(fd);
        return path;
    }
    static std::uintmax_t fileSize(const std::string& path) {
        std::error_code ec;
        std::uintmax_t n = std::filesystem::file_size(path, ec);
        return ec ? std::uintmax_t(-1) : n;
    }
    static bool exists(const std::string& path) { return std::filesystem::exists(path); }
    // Moves the file's last-write time, as another program writing it would.
    static void touchMainFile(const std::string& path, long secondsAhead) {
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        struct timespec times[2] = {st.st_atim, st.st_mtim};
        times[1].tv_sec += secondsAhead;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    bool wasShown(const std::string& caption) const {
        for (const auto& c : platform.shown)
            if (c == caption) return true;
        return false;
    }

    // Appends one record for page `mainAdr` (pages appended in increasing
    // order) through the journal operations and commits the header, as the
    // end of a command does.
    void appendPage(FilePos mainAdr, std::uint8_t fill) {
        JournalRecord r;
        r.mainAdr = mainAdr;
        r.anz = 512;
        r.flag = kFlagUnwritten;
        for (auto& b : r.data) b = fill;
        r.prevPtr = app.journal.header.lastPtr;
        r.nextPtr = kEmptyPtr;
        ASSERT_EQ(appendNewPage(app.journal, r), 0);
        app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
        ASSERT_EQ(commitJournalHeader(app.journal), 0);
    }
};

}  // namespace quorby::lifecycle_test
