#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "navigate/cursor_moves.h"
#include "navigate/goto_dialog.h"
#include "navigate/scroll_bar_actions.h"
#include "tests/navigate/nav_fixture.h"

namespace quorby::test {
namespace {

// The byte the cursor stands on: the real sparse file holds zeros.
std::uint8_t syntheticByteOrZero(NavApp& t) { return t.files.real ? 0 : syntheticByte(t.cursor()); }

// Goto through the dialog: types `hex` into the target field, OK, then Cancel.
void gotoHex(NavApp& t, const std::string& hex) {
    t.platform.dialogAnswers.push_back([hex](DialogDescription& d) {
        d.find(kGotoHexTarget)->value = hex;
        return kGotoOk;
    });
    gotoCommand(t.app);
}

// File End, Goto to the last byte, the scroll bar's bottom and single steps
// back from there each cost at most one page pair, and the address column
// shows all sixteen digits.
void checkEndMoves(NavApp& t, FilePos size) {
    const FilePos last = size - 1;
    const FilePos lastPage = last & ~FilePos{511};
    char expected[21];
    std::snprintf(expected, sizeof expected, " %04X %04X %04X %04X", unsigned(lastPage >> 48),
                  unsigned(lastPage >> 32) & 0xFFFF, unsigned(lastPage >> 16) & 0xFFFF, unsigned(lastPage) & 0xFFFF);

    t.files.reads = 0;
    fileEndCommand(t.app);
    EXPECT_LE(t.files.reads, 2);
    EXPECT_EQ(t.cursor(), last);
    EXPECT_EQ(t.platform.row(1).substr(0, 20), expected);
    EXPECT_LT(t.platform.scrollPosition, 32768);
    EXPECT_LE(t.platform.scrollPosition, t.platform.scrollMaximum);

    fileBeginCommand(t.app);
    t.files.reads = 0;
    gotoHex(t, "FFFF FFFF FFFF FFFF");  // beyond the file: the last byte
    EXPECT_LE(t.files.reads, 2);
    EXPECT_EQ(t.cursor(), last);

    fileBeginCommand(t.app);
    t.files.reads = 0;
    scrollBarAction(t.app, ScrollAction::Bottom, 0);
    EXPECT_LE(t.files.reads, 2);
    EXPECT_EQ(t.cursor(), last);

    t.files.reads = 0;
    scrollBarAction(t.app, ScrollAction::ThumbTrack, t.platform.scrollMaximum);
    EXPECT_LE(t.files.reads, 2);
    EXPECT_EQ(t.first(), lastPage);

    t.app.view.cursorOffset = 0;
    t.files.reads = 0;
    EXPECT_EQ(cursorLeft(t.app), 0);
    EXPECT_LE(t.files.reads, 2);
    EXPECT_EQ(t.cursor(), lastPage - 1);
    t.files.reads = 0;
    pageUpCommand(t.app);
    EXPECT_LE(t.files.reads, 2);

    t.files.reads = 0;
    gotoHex(t, "0123 4567 89AB");
    EXPECT_LE(t.files.reads, 2);
    EXPECT_EQ(t.cursor(), 0x0123456789ABu);
    EXPECT_EQ(t.app.view.pageBuffer[t.app.view.viewOffset + t.app.view.cursorOffset], syntheticByteOrZero(t));
}

TEST(HugeFile, SixteenTebibytesAreNavigableWithAtMostOnePairPerMove) {
    NavApp t(16 * kTiB);
    EXPECT_EQ(t.app.nav.scrollShift, 29u);
    checkEndMoves(t, 16 * kTiB);
}

TEST(HugeFile, RealSparseFileNearSixteenTebibytes) {
    // ext4 refuses exactly 16 TiB; 4 KiB less is its largest file.
    char path[] = "/tmp/quorby_nav_sparse_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const FilePos size = 16 * kTiB - 4096;
    const bool sparse = ftruncate(fd, off_t(size)) == 0;
    close(fd);
    if (!sparse) {
        unlink(path);
        GTEST_SKIP() << "the filesystem of /tmp cannot hold a sparse file of " << size << " bytes";
    }
    PosixFileIo posix;
    NavApp t(0);
    t.files.real = &posix;
    FileHandle h = kNoFile;
    ASSERT_EQ(posix.open(path, OpenMode::ReadOnly, &h), 0);
    t.attach(size, h);
    EXPECT_EQ(t.app.main.fileSize, size);
    checkEndMoves(t, size);
    posix.close(h);
    unlink(path);
}

}  // namespace
}  // namespace quorby::test
