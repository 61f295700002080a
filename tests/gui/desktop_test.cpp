// The real window under a real window manager (Xvfb with openbox), checked
// as a user would look at it: where the window and its title bar are, what
// the grid's pixels show at every size of the View menu, whether a font
// size survives restarts, and whether the dialogs leave the match in view.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/gui/desktop_suite.h"
#include "tests/support/captions.h"
#include "tests/support/view_menu_sizes.h"
#include "tests/support/temp_dir.h"

namespace quorby::testing {
namespace {

constexpr int kColumns = 88;
constexpr int kRows = 34;
constexpr int kCharColumn = 72;    // the character cell of a row's first byte
constexpr long kFontHeightAt = 52;  // quorby.dat: the cell height, then the width
constexpr long kFontWidthAt = 56;

class Desktop : public DesktopSuite {
protected:
    // A settings directory whose quorby.dat asks for this cell size (the
    // welcome question already switched off).
    std::string homeWithFont(int width, int height) {
        const std::string home = dir_.file("home");
        std::system(("mkdir -p " + home).c_str());
        const std::string batch = std::string(QUORBY_BINARY) + " --batch - --home " + home +
                                  " >/dev/null 2>&1 <<'EOF'\nanswer no\nquit\nEOF";
        EXPECT_EQ(std::system(batch.c_str()), 0);
        writeFont(home, width, height);
        return home;
    }
    static void writeFont(const std::string& home, int width, int height) {
        std::FILE* f = std::fopen((home + "/quorby.dat").c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        const std::uint8_t h[4] = {std::uint8_t(height), 0, 0, 0};
        const std::uint8_t w[4] = {std::uint8_t(width), 0, 0, 0};
        std::fseek(f, kFontHeightAt, SEEK_SET);
        std::fwrite(h, 1, 4, f);
        std::fseek(f, kFontWidthAt, SEEK_SET);
        std::fwrite(w, 1, 4, f);
        std::fclose(f);
    }
    static std::pair<int, int> savedFont(const std::string& home) {
        const std::string data = readFile(home + "/quorby.dat");
        if (data.size() < 60) return {0, 0};
        auto at = [&](long offset) { return int(std::uint8_t(data[std::size_t(offset)])); };
        return {at(kFontWidthAt), at(kFontHeightAt)};
    }

    pid_t startWindow(const std::string& home, const std::string& file) {
        return session_->spawn({QUORBY_BINARY, "--home", home, file}, {});
    }
    // Quits with Ctrl+X as a user does; the exit writes quorby.dat.
    void quit(pid_t pid, const std::string& window) {
        session_->keys(window, "ctrl+x");
        EXPECT_EQ(DesktopSession::waitForExit(pid, 20), 0);
    }

    TempDir dir_;
};


// Text is black on light backgrounds; a thin line between two pixel rows
// shows as grey.
bool isInk(QRgb pixel) { return qGray(pixel) < 200; }

// The pixels of one cell of the grid in a window image whose menu bar is
// `top` pixels high.
struct Cell {
    const QImage& image;
    int left, top, width, height;
    // Rows (0 = the cell's top) that hold ink; empty when none.
    std::vector<int> inkRows() const {
        std::vector<int> rows;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (isInk(image.pixel(left + x, top + y))) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }
};

TEST_F(Desktop, WindowAndItsTitleBarComeUpOnScreenWithTheFileNameInTheCaption) {
    const std::string home = homeWithFont(8, 16);
    const std::string file = dir_.file("caption.bin");
    writeFile(file, std::string(4096, 'a'));
    const pid_t pid = startWindow(home, file);
    const std::string window = session_->windowOf(pid, "caption.bin");
    ASSERT_FALSE(window.empty()) << "no window with the file name in its caption";
    DesktopSession::sleepMs(500);
    EXPECT_EQ(session_->windowName(window), fileCaption(file, false));
    const ScreenRect frame = session_->frameArea(window);
    const ScreenRect client = session_->clientArea(window);
    EXPECT_GT(client.y, frame.y) << "openbox gives the window a title bar";
    EXPECT_GE(frame.x, 0);
    EXPECT_GE(frame.y, 0) << "the title bar is on the screen";
    EXPECT_LE(frame.right(), DesktopSession::kScreenWidth);
    EXPECT_LE(frame.bottom(), DesktopSession::kScreenHeight);
    // The client area holds the 88 x 34 cells of 8 x 16 pixels (and the menu bar).
    EXPECT_GE(client.width, kColumns * 8);
    EXPECT_GE(client.height, kRows * 16);
    quit(pid, window);
}

TEST_F(Desktop, UnderscoreDescendersAndAccentsStayInsideTheirCellsAtEveryViewSize) {
    // Row 0x10: underscores, letters with descenders, capitals with accents
    // and a cedilla; the rows before and after it are blank.
    const std::string glyphRow = "_gjpqy\xC9\xC5\xC7\xE7\xD6_gy_x";
    const std::string file = dir_.file("glyphs.bin");
    writeFile(file, std::string(16, ' ') + glyphRow + std::string(16, ' '));
    for (auto [width, height] : viewMenuSizes(16)) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const std::string home = homeWithFont(width, height);
        const std::string shot = dir_.file("shot.png");
        std::remove(shot.c_str());
        const pid_t pid = session_->spawn({QUORBY_BINARY, "--home", home, "--screenshot", shot, file}, {});
        ASSERT_EQ(DesktopSession::waitForExit(pid, 30), 0);
        const QImage image(QString::fromStdString(shot));
        ASSERT_FALSE(image.isNull());
        const int menuBar = image.height() - kRows * height;
        ASSERT_GT(menuBar, 0) << "the window is 34 rows of " << height << " pixels below its menu bar";
        auto cell = [&](int row, int index) {
            return Cell{image, (kCharColumn + index) * width, menuBar + row * height, width, height};
        };
        for (int i = 0; i < 16; ++i) {
            SCOPED_TRACE("byte " + std::to_string(i) + " of row 0x10");
            const std::vector<int> ink = cell(2, i).inkRows();
            ASSERT_FALSE(ink.empty()) << "the glyph is drawn";
            const unsigned char byte = static_cast<unsigned char>(glyphRow[std::size_t(i)]);
            if (byte == '_') {
                EXPECT_GE(ink.front(), height / 2) << "the underscore lies in the cell's lower half";
            }
            if (std::string("gjpqy").find(char(byte)) != std::string::npos) {
                EXPECT_GE(ink.back(), height - height / 4 - 1) << "the descender reaches the cell's last quarter";
            }
            EXPECT_TRUE(cell(1, i).inkRows().empty()) << "nothing of it shows in the row above";
            EXPECT_TRUE(cell(3, i).inkRows().empty()) << "nothing of it shows in the row below";
        }
    }
}

TEST_F(Desktop, SavedFontSizeIsKeptAcrossTenStarts) {
    const std::string home = homeWithFont(10, 20);
    const std::string file = dir_.file("font.bin");
    writeFile(file, std::string(1024, 'f'));
    for (int start = 1; start <= 10; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        const pid_t pid = startWindow(home, file);
        const std::string window = session_->windowOf(pid, "font.bin");
        ASSERT_FALSE(window.empty());
        // Quit at different moments after the window manager mapped the window.
        DesktopSession::sleepMs(100 * (start % 4));
        const ScreenRect client = session_->clientArea(window);
        quit(pid, window);
        EXPECT_EQ(savedFont(home), std::make_pair(10, 20));
        EXPECT_GE(client.width, kColumns * 10);
    }
}

// The colour (0xRRGGBB) of a grid cell's top-left pixel on the screen, for a
// window with cells of `width` x `height` whose grid ends its client area.
QRgb cellColour(const QImage& screen, const ScreenRect& client, int width, int height, int column, int row) {
    const int gridTop = client.bottom() - kRows * height;
    return screen.pixel(client.x + column * width, gridTop + row * height) & 0xFFFFFF;
}

bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

// The byte at `index` of a row: the grid columns of its two digits and of its character.
std::vector<int> columnsOfByte(int index) {
    const int first = 21 + 3 * index + (index < 8 ? 1 : 2);
    return {first, first + 1, kCharColumn + index};
}

TEST_F(Desktop, FindDialogAndDisassemblyWindowLeaveTheMatchAndTheCursorInView) {
    constexpr QRgb kSelection = 0xFFEE88;     // the selection and the match
    constexpr QRgb kActiveCursor = 0x88FFEE;  // the cursor's cell in the column with the input
    const std::string home = homeWithFont(8, 16);
    const std::string file = dir_.file("find.bin");
    std::string bytes(4096, '.');
    bytes.replace(0x1A4, 4, "MARK");  // row 0x1A0 is grid row 27, the bytes 4 to 7 of it
    writeFile(file, bytes);
    const pid_t pid = startWindow(home, file);
    const std::string window = session_->windowOf(pid, "find.bin");
    ASSERT_FALSE(window.empty());
    DesktopSession::sleepMs(300);
    const ScreenRect client = session_->clientArea(window);
    const ScreenRect matchRow{client.x, client.bottom() - (kRows - 27) * 16, kColumns * 8, 16};

    session_->keys(window, "ctrl+f");
    const std::string find = session_->windowOf(pid, "Find TEXT");
    ASSERT_FALSE(find.empty());
    session_->type(find, "MARK");
    session_->keys(find, "Return");
    // The search and the drawing take their time on a busy machine.
    auto matchShown = [&](const QImage& shot) {
        return cellColour(shot, client, 8, 16, columnsOfByte(4)[0], 27) == kSelection;
    };
    QImage screen = session_->grabScreen();
    for (int i = 0; i < 50 && !matchShown(screen); ++i) {
        DesktopSession::sleepMs(100);
        screen = session_->grabScreen();
    }
    for (int index = 4; index < 8; ++index)
        for (int column : columnsOfByte(index))
            EXPECT_EQ(cellColour(screen, client, 8, 16, column, 27), kSelection)
                << "the match's cell at column " << column << " is in view";
    EXPECT_FALSE(overlaps(session_->frameArea(find), matchRow)) << "the find dialog lies over the match";
    session_->keys(find, "Escape");
    DesktopSession::sleepMs(300);

    // Specials > Disassemble lists from the cursor, which stands on the match.
    session_->keys(window, "alt+p d");
    const std::string listing = session_->windowOf(pid, "Mnemonics");
    ASSERT_FALSE(listing.empty());
    const std::vector<int> cursorColumns = columnsOfByte(4);
    screen = session_->grabScreen();
    for (int i = 0; i < 50 && cellColour(screen, client, 8, 16, cursorColumns[0], 27) != kActiveCursor; ++i) {
        DesktopSession::sleepMs(100);
        screen = session_->grabScreen();
    }
    const ScreenRect listingFrame = session_->frameArea(listing);
    EXPECT_EQ(cellColour(screen, client, 8, 16, cursorColumns[0], 27), kActiveCursor) << "the cursor is in view";
    EXPECT_FALSE(overlaps(listingFrame, matchRow)) << "the disassembly window lies over the cursor's row";
    EXPECT_GE(listingFrame.x, 0);
    EXPECT_GE(listingFrame.y, 0);
    EXPECT_LE(listingFrame.right(), DesktopSession::kScreenWidth);
    EXPECT_LE(listingFrame.bottom(), DesktopSession::kScreenHeight);
    session_->keys(listing, "Escape");
    DesktopSession::sleepMs(300);
    quit(pid, window);
}

}  // namespace
}  // namespace quorby::testing
