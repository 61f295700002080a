#pragma once
// A small window and a file for the navigation tests: the platform keeps the
// 88 x 34 cell grid and records scroll bar, menu items and popups; the file is
// either synthetic (any size, each byte a function of its position) or a real
// file through PosixFileIo, and every page read is counted.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/posix/posix_file_io.h"
#include "store/page_assembly.h"
#include "view/page_moves.h"
#include "view/scroll_bar.h"

namespace quorby::test {

inline std::uint8_t syntheticByte(FilePos pos) { return std::uint8_t(pos * 7 + (pos >> 9) + (pos >> 40)); }

class NavPlatform final : public Platform {
public:
    char grid[kGridRows][kGridColumns];
    Colour colours[kGridRows][kGridColumns];
    std::int32_t scrollMaximum = -1, scrollPosition = -1;
    std::map<int, bool> itemEnabled;
    std::vector<int> popups;                   // menu indexes popped up
    std::vector<MessageBoxSpec> boxes;
    // Dialog answers: each fills the controls and returns the button pressed.
    std::deque<std::function<int(DialogSpec&)>> dialogAnswers;
    std::vector<DialogSpec> dialogsShown;
    // pollPendingInput: ESC after this many polls (-1: never).
    int escAfterPolls = -1;
    int polls = 0;
    std::function<void()> onPoll;              // runs on each poll (nested input)

    NavPlatform() {
        for (auto& row : grid)
            for (char& c : row) c = ' ';
        for (auto& row : colours)
            for (Colour& c : row) c = 0;
    }
    std::string row(int r) const { return std::string(grid[r], kGridColumns); }

    void drawCells(int column, int r, const char* text, int count, Colour background) override {
        for (int i = 0; i < count && column + i < kGridColumns; ++i) {
            if (r < 0 || r >= kGridRows || column + i < 0) continue;
            grid[r][column + i] = text[i];
            colours[r][column + i] = background;
        }
    }
    void setCaption(const std::string&) override {}
    void setScrollBar(std::int32_t maximum, std::int32_t position) override {
        scrollMaximum = maximum;
        scrollPosition = position;
    }
    void setMenuItemEnabled(int code, bool enabled) override { itemEnabled[code] = enabled; }
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int menuIndex, int, int) override { popups.push_back(menuIndex); }
    MsgAnswer messageBox(const MessageBoxSpec& box) override {
        boxes.push_back(box);
        return MsgAnswer::Ok;
    }
    int questionDialog(const std::string&, const std::string&) override { return kAnswerYes; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogSpec& dialog) override {
        dialogsShown.push_back(dialog);
        if (dialogAnswers.empty()) return dialog.cancelId;
        auto answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer(dialog);
    }
    int createFont(int w, int h, int* aw, int* ah) override {
        *aw = w;
        *ah = h;
        return 0;
    }
    void fitWindowToGrid(int, int) override {}
    bool pollPendingInput() override {
        ++polls;
        if (onPoll) onPoll();
        return escAfterPolls >= 0 && polls >= escAfterPolls;
    }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return {}; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

// Serves a synthetic file of any size, or forwards to a real file.
class CountingFileIo final : public FileIo {
public:
    FilePos syntheticSize = 0;
    PosixFileIo* real = nullptr;
    int reads = 0;

    int open(const std::string& path, OpenMode mode, FileHandle* out) override {
        if (real) return real->open(path, mode, out);
        *out = 3;
        return 0;
    }
    void close(FileHandle h) override {
        if (real) real->close(h);
    }
    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        ++reads;
        if (real) return real->readAt(h, pos, buf, n, done);
        std::uint32_t count = pos >= syntheticSize ? 0 : (syntheticSize - pos < n ? std::uint32_t(syntheticSize - pos) : n);
        auto* bytes = static_cast<std::uint8_t*>(buf);
        for (std::uint32_t i = 0; i < count; ++i) bytes[i] = syntheticByte(pos + i);
        *done = count;
        return 0;
    }
    int writeAt(FileHandle, FilePos, const void*, std::uint32_t, std::uint32_t* done) override {
        *done = 0;
        return 1;
    }
    int size(FileHandle h, FilePos* out) override {
        if (real) return real->size(h, out);
        *out = syntheticSize;
        return 0;
    }
    int setSize(FileHandle, FilePos) override { return 1; }
    int sync(FileHandle) override { return 0; }
    int lastWriteTime(FileHandle, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    int lastWriteTimeOfPath(const std::string&, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    bool exists(const std::string&) override { return false; }
    bool isBlockDevice(const std::string&) override { return false; }
    int removeFile(const std::string&) override { return 1; }
    int renameFile(const std::string&, const std::string&) override { return 1; }
    int copyFile(const std::string&, const std::string&) override { return 1; }
    int makeDirectory(const std::string&) override { return 1; }
    int removeDirectoryIfEmpty(const std::string&) override { return 1; }
    int driveId(const std::string&, std::uint64_t* out) override {
        *out = 0;
        return 0;
    }
    int diskSpace(const std::string&, DiskSpace* out) override {
        *out = {};
        return 0;
    }
    void listDrives(std::vector<DriveInfo>*, std::vector<DriveInfo>*) override {}
    SystemError lastError() const override { return real ? real->lastError() : SystemError{}; }
    void setLastError(SystemError e) override {
        if (real) real->setLastError(e);
    }
};

// An application with a Main File of `size` bytes shown from position 0.
struct NavApp {
    NavPlatform platform;
    CountingFileIo files;
    AppState app;

    explicit NavApp(FilePos size, std::uint32_t resolution = 2) {
        files.syntheticSize = size;
        app.platform = &platform;
        app.files = &files;
        attach(size, 3);
        setScrollResolution(app, resolution);
    }

    // Shows the file from position 0, as opening a file does.
    void attach(FilePos size, FileHandle handle) {
        app.main.mainHandle = handle;
        app.main.mainName = "test file";
        app.main.mainKind = MainKind::File;
        app.main.fileSize = size;
        app.main.lastBytePos = size == 0 ? 0 : size - 1;
        app.view.viewOffset = 0;
        app.view.cursorOffset = 0;
        loadPagePair(app, 0);
        prepareScrollMapping(app);
        files.reads = 0;
    }

    FilePos cursor() const { return app.view.cursorPos(); }
    FilePos first() const { return firstShownPos(app); }
    // Puts the cursor on `pos` the way Goto does.
    void cursorTo(FilePos pos) {
        showWithCursorAt(app, pos);
        files.reads = 0;
    }
    // Pixel centre of grid cell (column, row).
    int px(int column) const { return column * app.view.cellWidth + app.view.cellWidth / 2; }
    int py(int row) const { return row * app.view.rowHeight + app.view.rowHeight / 2; }
};

}  // namespace quorby::test
