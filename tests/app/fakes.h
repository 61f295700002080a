#pragma once
// Test doubles for the tests of the application shell: a Platform that keeps
// the grid and scripted answers in memory, and a FileIo over in-memory files
// and directories with failures that a test can switch on.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/file_io.h"

namespace quorby::testing {

class FakePlatform final : public Platform {
public:
    char grid[kGridRows][kGridColumns];
    Colour colours[kGridRows][kGridColumns] = {};
    int drawCalls = 0;
    std::vector<MessageBoxSpec> boxes;
    std::deque<MsgAnswer> boxAnswers;            // answers for the next boxes
    std::vector<std::pair<std::string, std::string>> questions;
    std::deque<int> questionAnswers;
    int polls = 0;
    std::set<int> escAtPoll;                     // 1-based poll numbers that deliver an ESC
    int scrollBarCalls = 0;

    FakePlatform() { std::memset(grid, ' ', sizeof grid); }

    std::string row(int r) const { return std::string(grid[r], kGridColumns); }

    void drawCells(int column, int row, const char* text, int count, Colour background) override {
        ++drawCalls;
        for (int i = 0; i < count && column + i < kGridColumns; ++i) {
            grid[row][column + i] = text[i];
            colours[row][column + i] = background;
        }
    }
    void setCaption(const std::string&) override {}
    void setScrollBar(std::int32_t, std::int32_t) override { ++scrollBarCalls; }
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec& box) override {
        boxes.push_back(box);
        if (!boxAnswers.empty()) {
            MsgAnswer a = boxAnswers.front();
            boxAnswers.pop_front();
            return a;
        }
        return box.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    int questionDialog(const std::string& caption, const std::string& text) override {
        questions.emplace_back(caption, text);
        if (questionAnswers.empty()) return 0;
        int a = questionAnswers.front();
        questionAnswers.pop_front();
        return a;
    }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogSpec& dialog) override { return dialog.cancelId; }
    int createFont(int w, int h, int* aw, int* ah) override {
        *aw = w;
        *ah = h;
        return 0;
    }
    void fitWindowToGrid(int, int) override {}
    bool pollPendingInput() override { return escAtPoll.count(++polls) != 0; }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return {}; }
    void showPleaseWait(bool visible, const std::string& a, const std::string& b) override {
        pleaseWaitShown = visible;
        text1067 = a;
        text1068 = b;
    }
    bool pleaseWaitShown = false;
    std::string text1067, text1068;
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

class FakeFileIo final : public FileIo {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<std::string> directories;           // without a trailing '/'
    std::map<std::string, SystemError> failOpen; // path -> error of open
    std::map<std::string, SystemError> failMakeDirectory;
    int failFromRead = 0;                        // reads from this call on (1-based) fail; 0: never
    bool failWrites = false;
    std::uint32_t readLimit = 0xFFFFFFFFu;       // bytes a failing read still delivers
    std::uint32_t writeLimit = 0xFFFFFFFFu;      // bytes a write moves before it stops without an error
    SystemError ioError{30, EIO};
    SystemError last;

    int open(const std::string& path, OpenMode mode, FileHandle* out) override {
        if (auto f = failOpen.find(path); f != failOpen.end()) return fail(f->second);
        bool present = files.count(path) != 0;
        if (!present && (mode == OpenMode::ReadOnly || mode == OpenMode::ReadWrite)) return fail({2, ENOENT});
        if (present && mode == OpenMode::CreateNew) return fail({80, EEXIST});
        if (!present && !directories.count(parentOf(path))) return fail({3, ENOENT});
        if (!present || mode == OpenMode::Truncate) files[path].clear();
        handles[nextHandle] = path;
        *out = nextHandle++;
        return 0;
    }
    void close(FileHandle h) override {
        handles.erase(h);
        ++closes;
    }
    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        const auto& data = files[handles.at(h)];
        *done = 0;
        std::uint32_t available = pos < data.size() ? std::uint32_t(std::min<FilePos>(n, data.size() - pos)) : 0;
        bool failing = failFromRead != 0 && ++readCalls >= failFromRead;
        if (failing) available = std::min(available, readLimit);
        if (available) std::memcpy(buf, data.data() + pos, available);
        *done = available;
        return failing ? fail(ioError) : 0;
    }
    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        if (failWrites) return fail({112, ENOSPC});
        auto& data = files[handles.at(h)];
        n = std::min(n, writeLimit);
        if (data.size() < pos + n) data.resize(pos + n);
        std::memcpy(data.data() + pos, buf, n);
        *done = n;
        return 0;
    }
    int size(FileHandle h, FilePos* out) override {
        *out = files[handles.at(h)].size();
        return 0;
    }
    int setSize(FileHandle h, FilePos size) override {
        files[handles.at(h)].resize(size);
        return 0;
    }
    int sync(FileHandle) override { return 0; }
    int lastWriteTime(FileHandle, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    int lastWriteTimeOfPath(const std::string&, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    bool exists(const std::string& path) override { return files.count(path) || directories.count(trimmed(path)); }
    bool isBlockDevice(const std::string&) override { return false; }
    int removeFile(const std::string& path) override { return files.erase(path) ? 0 : fail({2, ENOENT}); }
    int renameFile(const std::string&, const std::string&) override { return fail({1, 0}); }
    int copyFile(const std::string&, const std::string&) override { return fail({1, 0}); }
    int makeDirectory(const std::string& path) override {
        std::string dir = trimmed(path);
        ++makeDirectoryCalls;
        if (directories.count(dir)) return 0;
        if (auto f = failMakeDirectory.find(dir); f != failMakeDirectory.end()) return fail(f->second);
        if (files.count(dir)) return fail({80, EEXIST});
        if (!directories.count(parentOf(dir))) return fail({3, ENOENT});
        directories.insert(dir);
        return 0;
    }
    int removeDirectoryIfEmpty(const std::string& path) override {
        std::string dir = trimmed(path);
        if (!directories.count(dir)) return fail({2, ENOENT});
        std::string prefix = dir + "/";
        for (const auto& [name, data] : files)
            if (name.compare(0, prefix.size(), prefix) == 0) return fail({145, ENOTEMPTY});
        for (const auto& other : directories)
            if (other.compare(0, prefix.size(), prefix) == 0) return fail({145, ENOTEMPTY});
        directories.erase(dir);
        return 0;
    }
    int driveId(const std::string&, std::uint64_t* out) override {
        *out = 1;
        return 0;
    }
    int diskSpace(const std::string&, DiskSpace* out) override {
        *out = {};
        return 0;
    }
    void listDrives(std::vector<DriveInfo>*, std::vector<DriveInfo>*) override {}
    SystemError lastError() const override { return last; }
    void setLastError(SystemError e) override { last = e; }

    int openHandles() const { return int(handles.size()); }
    int closes = 0;
    int readCalls = 0;
    int makeDirectoryCalls = 0;

private:
    std::map<FileHandle, std::string> handles;
    FileHandle nextHandle = 3;

    int fail(SystemError e) {
        last = e;
        return 1;
    }
    static std::string trimmed(std::string path) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path;
    }
    static std::string parentOf(const std::string& path) {
        std::string p = trimmed(path);
        std::size_t slash = p.find_last_of('/');
        if (slash == std::string::npos) return ".";
        return slash == 0 ? "/" : p.substr(0, slash);
    }
};

}  // namespace quorby::testing
