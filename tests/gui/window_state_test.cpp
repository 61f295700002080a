// The real window under Xvfb and openbox, read as a user reads it: the
// caption names the file first and carries "*" exactly while a stored change
// is not yet written into the file, and opening another file leaves nothing
// of an earlier comparison behind (no offset in the header row, no
// difference marks in the overview strip beside the scroll bar).
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdio>
#include <string>

#include "tests/gui/desktop_suite.h"
#include "tests/support/captions.h"
#include "tests/support/temp_dir.h"

namespace quorby::testing {
namespace {

constexpr int kCellWidth = 8, kRowHeight = 16;
constexpr int kRows = 34;
constexpr int kStripWidth = 10;
constexpr long kFontHeightAt = 52;  // quorby.dat: the cell height, then the width
constexpr long kFontWidthAt = 56;

class WindowState : public DesktopSuite {
protected:
    // Settings with the welcome question off and cells of 8 x 16 pixels.
    std::string home() {
        const std::string dir = dir_.file("home");
        std::system(("mkdir -p " + dir).c_str());
        const std::string batch = std::string(QUORBY_BINARY) + " --batch - --home " + dir +
                                  " >/dev/null 2>&1 <<'EOF'\nanswer no\nquit\nEOF";
        EXPECT_EQ(std::system(batch.c_str()), 0);
        std::FILE* f = std::fopen((dir + "/quorby.dat").c_str(), "r+b");
        EXPECT_NE(f, nullptr);
        if (f) {
            const unsigned char h[4] = {kRowHeight, 0, 0, 0}, w[4] = {kCellWidth, 0, 0, 0};
            std::fseek(f, kFontHeightAt, SEEK_SET);
            std::fwrite(h, 1, 4, f);
            std::fseek(f, kFontWidthAt, SEEK_SET);
            std::fwrite(w, 1, 4, f);
            std::fclose(f);
        }
        return dir;
    }

    pid_t start(const std::string& file) {
        return session_->spawn({QUORBY_BINARY, "--home", home(), file},
                               {"XDG_DATA_HOME=" + dir_.file("xdg")});
    }

    // The caption once it is `want` (the program sets it after each event).
    std::string captionBecomes(const std::string& window, const std::string& want) {
        std::string name;
        for (int i = 0; i < 50; ++i) {
            name = session_->windowName(window);
            if (name == want) break;
            DesktopSession::sleepMs(100);
        }
        return name;
    }

    // Answers a dialog that comes up with `title` by pressing Return, if it comes.
    void answerIfAsked(pid_t pid, const std::string& title, int seconds = 3) {
        const std::string box = session_->windowOf(pid, title, seconds);
        if (!box.empty()) session_->keys(box, "Return");
    }

    void chooseInFileDialog(pid_t pid, const std::string& title, const std::string& path) {
        const std::string dialog = session_->windowOf(pid, title);
        ASSERT_FALSE(dialog.empty()) << "no file dialog " << title;
        DesktopSession::sleepMs(300);
        session_->keys(dialog, "ctrl+a");
        session_->type(dialog, path);
        session_->keys(dialog, "Return");
    }

    // Ctrl+X as a user quits; whatever the exit asks is answered No.
    void quit(pid_t pid, const std::string& window) {
        session_->keys(window, "ctrl+x");
        for (const char* title : {"Write File", "Save Journal-File"}) {
            const std::string asked = session_->windowOf(pid, title, 2);
            if (!asked.empty()) session_->keys(asked, "Escape");
        }
        EXPECT_EQ(DesktopSession::waitForExit(pid, 20), 0);
    }

    TempDir dir_;
};


// Where the grid and the overview strip are on the screen.
struct WindowLayout {
    ScreenRect client;
    int gridTop = 0;  // below the menu bar
    static WindowLayout of(const DesktopSession& session, const std::string& window) {
        WindowLayout l;
        l.client = session.clientArea(window);
        l.gridTop = l.client.y + l.client.height - kRows * kRowHeight;
        return l;
    }
    // Dark pixels in the header row's info cell (cells 0 to 20): its text.
    int infoCellInk(const QImage& screen) const {
        int ink = 0;
        for (int y = gridTop; y < gridTop + kRowHeight; ++y)
            for (int x = client.x; x < client.x + 21 * kCellWidth; ++x)
                if (qGray(screen.pixel(x, y)) < 100) ++ink;
        return ink;
    }
    // Pixels of the strip's right half in the colour of compare differences.
    int differenceMarks(const QImage& screen) const {
        int marks = 0;
        const int x = client.right() - 2;
        for (int y = gridTop; y < client.bottom(); ++y) {
            const QColor c(screen.pixel(x, y));
            if (c.green() > 0x80 && c.red() < 0x60 && c.blue() < 0x70) ++marks;
        }
        return marks;
    }
};

TEST_F(WindowState, TheStarFollowsAStoredChangeAndGoesWithSaveFile) {
    const std::string file = dir_.file("star.bin");
    writeFile(file, std::string(4096, 'a'));
    const pid_t pid = start(file);
    const std::string window = session_->windowOf(pid, "star.bin");
    ASSERT_FALSE(window.empty()) << "no window with the file name in its caption";
    EXPECT_EQ(captionBecomes(window, fileCaption(file, false)), fileCaption(file, false));

    // Two hex digits typed and Enter: the page is stored in the Journal File.
    session_->keys(window, "7 e Return");
    EXPECT_EQ(captionBecomes(window, fileCaption(file, true)), fileCaption(file, true));
    EXPECT_EQ(readFile(file)[0], 'a') << "nothing is written yet";

    // File > Save File, answered Yes: the change is in the file, the star goes.
    // The menu opens first; its item's key then goes to the open menu.
    session_->keys(window, "alt+f");
    DesktopSession::sleepMs(700);
    session_->run("xdotool key --clearmodifiers f");
    answerIfAsked(pid, "Write File", 10);
    // Opened from the command line the file is write-protected: Yes re-opens it for writing.
    answerIfAsked(pid, "Re-open in Read-Write-Mode", 5);
    EXPECT_EQ(captionBecomes(window, fileCaption(file, false)), fileCaption(file, false));
    EXPECT_EQ(readFile(file)[0], char(0x7E));

    quit(pid, window);
}

TEST_F(WindowState, OpeningAnotherFileClearsTheOffsetAndTheDifferenceMarks) {
    std::string content(8192, 'x');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = char('A' + i % 23);
    std::string other = content;
    other[0x1A00] = '#';
    writeFile(dir_.file("a.bin"), content);
    writeFile(dir_.file("b.bin"), other);
    writeFile(dir_.file("c.bin"), content);
    const pid_t pid = start(dir_.file("a.bin"));
    const std::string window = session_->windowOf(pid, "a.bin");
    ASSERT_FALSE(window.empty());
    DesktopSession::sleepMs(500);
    const WindowLayout layout = WindowLayout::of(*session_, window);

    // Compare > To other File, then Find Differences (Ctrl+U).
    session_->keys(window, "alt+c f");
    chooseInFileDialog(pid, "Open File to compare to", dir_.file("b.bin"));
    answerIfAsked(pid, "Hinweis");
    session_->keys(window, "ctrl+u");
    QImage screen;
    for (int i = 0; i < 30; ++i) {
        DesktopSession::sleepMs(100);
        screen = session_->grabScreen();
        if (layout.differenceMarks(screen) > 0) break;
    }
    EXPECT_GT(layout.infoCellInk(screen), 0) << "the compare offset is shown in the header row";
    EXPECT_GT(layout.differenceMarks(screen), 0) << "the difference found is marked in the overview strip";

    // File > Open another file: the old comparison is gone from the window.
    session_->keys(window, "ctrl+o");
    chooseInFileDialog(pid, "Open File", dir_.file("c.bin"));
    ASSERT_EQ(captionBecomes(window, fileCaption(dir_.file("c.bin"), false)), fileCaption(dir_.file("c.bin"), false));
    DesktopSession::sleepMs(300);
    screen = session_->grabScreen();
    EXPECT_EQ(layout.infoCellInk(screen), 0) << "no compare offset after opening another file";
    EXPECT_EQ(layout.differenceMarks(screen), 0) << "no difference marks after opening another file";

    quit(pid, window);
}

}  // namespace
}  // namespace quorby::testing
