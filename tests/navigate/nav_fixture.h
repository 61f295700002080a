#pragma once
// A small window and a file for the navigation tests: the fake platform keeps
// the 88 x 34 cell grid and records scroll bar, menu items and popups; the
// file is either synthetic (any size, each byte a function of its position)
// or a real file through PosixFileIo (files.real), and every page read is
// counted (files.reads).
#include <string>

#include "navigate/page_moves.h"
#include "tests/support/test_app.h"

namespace quorby::test {

inline constexpr FilePos kTiB = FilePos{1} << 40;

inline std::uint8_t syntheticByte(FilePos pos) { return std::uint8_t(pos * 7 + (pos >> 9) + (pos >> 40)); }

// An application with a Main File of `size` bytes shown from position 0.
struct NavApp : testing::TestApp {
    testing::MemoryFileIo& files = io;

    explicit NavApp(FilePos size, std::uint32_t resolution = 2) {
        platform.yesNoDefault = MsgAnswer::Ok;     // every box is answered OK
        platform.questionDefault = kAnswerYes;     // and every question Yes
        files.addSyntheticFile("test file", size, syntheticByte);
        FileHandle handle = kNoFile;
        files.open("test file", OpenMode::ReadOnly, &handle);
        attach(size, handle);
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
        show();
        files.reads = 0;
    }

    FilePos cursor() const { return app.view.cursorPos(); }
    FilePos first() const { return firstShownPos(app); }
    // Puts the cursor on `pos` the way Goto does.
    void cursorTo(FilePos pos) {
        EXPECT_EQ(showWithCursorAt(app, pos), 0);
        files.reads = 0;
    }
    // Pixel centre of grid cell (column, row).
    int px(int column) const { return column * app.view.cellWidth + app.view.cellWidth / 2; }
    int py(int row) const { return row * app.view.rowHeight + app.view.rowHeight / 2; }
};

}  // namespace quorby::test
