// Every dialog and window of the program opened as a user opens them (menu
// keys and accelerators typed with xdotool into the real window under Xvfb
// and openbox), each checked from its window geometry: whole on the screen
// and clear of the main window's title and menu bar. Windows the user moved
// stay where he put them. On the large screen each window's picture is saved
// into the build tree (scripts/dialog-screenshots.sh copies them to docs/).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/gui/desktop_session.h"
#include "tests/support/temp_dir.h"

namespace quorby::testing {
namespace {

constexpr int kRows = 34;
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr long kFontHeightAt = 52;  // quorby.dat: the cell height, then the width
constexpr long kMessageSwitchesAt = 64;

void putU32(std::string& data, long at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) data[std::size_t(at + i)] = char((value >> (8 * i)) & 0xFF);
}

std::uint32_t getU32(const std::string& data, long at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t(std::uint8_t(data[std::size_t(at + i)])) << (8 * i);
    return value;
}

std::string fourcc(const char* code) { return std::string(code, 4); }
std::string u32(std::uint32_t v) {
    std::string out(4, '\0');
    putU32(out, 0, v);
    return out;
}
std::string chunk(const char* id, const std::string& body) { return fourcc(id) + u32(std::uint32_t(body.size())) + body; }
std::string list(const char* type, const std::string& body) { return chunk("LIST", fourcc(type) + body); }

// A small RIFF/AVI file: one video stream of two frames with an idx1 index.
std::string smallAvi() {
    std::string avih(56, '\0');
    putU32(avih, 0, 40000);  // microseconds per frame
    putU32(avih, 16, 2);     // frames
    putU32(avih, 24, 1);     // streams
    putU32(avih, 32, 16);    // width
    putU32(avih, 36, 16);    // height
    std::string strh(56, '\0');
    strh.replace(0, 4, "vids");
    strh.replace(4, 4, "DIB ");
    putU32(strh, 20, 1);   // scale
    putU32(strh, 24, 25);  // rate
    putU32(strh, 32, 2);   // length
    std::string strf(40, '\0');
    putU32(strf, 0, 40);
    putU32(strf, 4, 16);
    putU32(strf, 8, 16);
    const std::string hdrl = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    const std::string frame(16, '\x55');
    const std::string movi = list("movi", chunk("00dc", frame) + chunk("00dc", frame));
    std::string idx1;
    for (std::uint32_t k = 0; k < 2; ++k) idx1 += fourcc("00dc") + u32(0x10) + u32(4 + k * 24) + u32(16);
    const std::string body = fourcc("AVI ") + hdrl + movi + chunk("idx1", idx1);
    return fourcc("RIFF") + u32(std::uint32_t(body.size())) + body;
}

bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

std::string describe(const ScreenRect& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + " at " + std::to_string(r.x) + "," +
           std::to_string(r.y);
}

// One run of the program on a desktop of its own.
class DialogTour {
public:
    DialogTour(DesktopSession& session, const TempDir& dir, std::string shotDir)
        : session_(session), dir_(dir), shotDir_(std::move(shotDir)) {}

    // A settings directory with cells of 8 x 16 pixels and the welcome message switched on.
    std::string home() const {
        const std::string home = dir_.file("home");
        std::system(("mkdir -p " + home).c_str());
        const std::string batch = std::string(QUORBY_BINARY) + " --batch - --home " + home +
                                  " >/dev/null 2>&1 <<'EOF'\nanswer no\nquit\nEOF";
        EXPECT_EQ(std::system(batch.c_str()), 0);
        std::string data = readFile(home + "/quorby.dat");
        EXPECT_GE(data.size(), std::size_t(kMessageSwitchesAt + 4));
        if (data.size() < std::size_t(kMessageSwitchesAt + 4)) return home;
        putU32(data, kFontHeightAt, kCellHeight);
        putU32(data, kFontHeightAt + 4, kCellWidth);
        putU32(data, kMessageSwitchesAt, getU32(data, kMessageSwitchesAt) | 1u);
        writeFile(home + "/quorby.dat", data);
        return home;
    }

    void start(const std::string& home, const std::string& file) {
        pid_ = session_.spawn({QUORBY_BINARY, "--home", home, file}, {});
    }
    pid_t pid() const { return pid_; }

    // The main window, found by the file name in its caption; its title and
    // menu bar are the band no dialog may cover.
    bool findMain(const std::string& name) {
        main_ = session_.windowOf(pid_, name);
        if (main_.empty()) return false;
        DesktopSession::sleepMs(500);
        const ScreenRect frame = session_.frameArea(main_);
        const ScreenRect client = session_.clientArea(main_);
        const int menuBottom = client.bottom() - kRows * kCellHeight;
        menuBand_ = ScreenRect{frame.x, frame.y, frame.width, menuBottom - frame.y};
        EXPECT_GT(menuBand_.height, client.y - frame.y) << "the main window has a menu bar below its title";
        return true;
    }
    const std::string& main() const { return main_; }
    const ScreenRect& menuBand() const { return menuBand_; }

    // Waits for a window of the program whose caption holds `caption`,
    // checks where it lies and saves its picture as `name`.png.
    std::string expectWindow(const std::string& name, const std::string& caption) {
        const std::string window = session_.windowOf(pid_, caption, 15);
        EXPECT_FALSE(window.empty()) << name << ": no window \"" << caption << "\"; the program shows"
                                     << shownCaptions();
        if (window.empty()) return window;
        check(name, window);
        return window;
    }

    void check(const std::string& name, const std::string& window) {
        DesktopSession::sleepMs(400);  // openbox maps and decorates it
        const ScreenRect f = session_.frameArea(window);
        SCOPED_TRACE(name + " " + describe(f));
        EXPECT_GE(f.x, 0) << "left of the screen";
        EXPECT_GE(f.y, 0) << "above the screen";
        EXPECT_LE(f.right(), session_.screenWidth()) << "right of the screen";
        EXPECT_LE(f.bottom(), session_.screenHeight()) << "below the screen";
        if (window != main_) {
            EXPECT_FALSE(overlaps(f, menuBand_)) << "over the main window's title or menu bar";
        }
        // The main window's caption names a scratch file: left out.
        const std::string caption = window == main_ ? std::string() : " \"" + session_.windowName(window) + "\"";
        measured_.push_back(name + " " + describe(f) + caption);
        if (!shotDir_.empty()) {
            EXPECT_TRUE(session_.saveShot(window, shotDir_ + "/" + name + ".png"));
        }
    }

    // Types keys into a window; the window opened by them is checked, then
    // closed with ESC.
    void openCheckClose(const std::string& name, const std::string& into, const std::string& keys,
                        const std::string& caption, const std::string& closeKeys = "Escape") {
        session_.keys(into, keys);
        const std::string window = expectWindow(name, caption);
        if (window.empty()) return;
        session_.keys(window, closeKeys);
        EXPECT_TRUE(session_.waitGone(window)) << name << " stays open";
        DesktopSession::sleepMs(200);
    }

    // The windows of the program other than the main window.
    std::vector<std::string> others() const {
        std::vector<std::string> out;
        for (const std::string& w : session_.windowsOf(pid_))
            if (w != main_) out.push_back(w);
        return out;
    }

    const std::vector<std::string>& measured() const { return measured_; }

    // The captions of the program's visible windows, to tell what took the keys.
    std::string shownCaptions() const {
        std::string out;
        for (const std::string& w : session_.windowsOf(pid_)) out += " \"" + session_.windowName(w) + "\"";
        return out.empty() ? " no window" : out;
    }

private:
    DesktopSession& session_;
    const TempDir& dir_;
    std::string shotDir_;
    pid_t pid_ = -1;
    std::string main_;
    ScreenRect menuBand_;
    std::vector<std::string> measured_;
};

class DialogGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string missing = missingDesktopTools();
        if (!missing.empty()) GTEST_SKIP() << "the desktop tools are not installed (" << missing << ")";
    }

    // Opens every dialog and window on a screen of that size.
    void tour(int width, int height, const std::string& shotDir) {
        DesktopSession session;
        ASSERT_TRUE(session.start(width, height)) << "Xvfb or openbox did not start";
        TempDir dir;
        DialogTour t(session, dir, shotDir);
        const std::string file = dir.file("movie.avi");
        writeFile(file, smallAvi());
        t.start(t.home(), file);

        // The welcome message comes before the main window takes input.
        const std::string welcome = session.windowOf(t.pid(), "WELCOME", 20);
        ASSERT_FALSE(welcome.empty()) << "no welcome message";
        ASSERT_TRUE(t.findMain("HEX-Editor"));
        t.check("message-welcome", welcome);
        session.keys(welcome, "Escape");
        EXPECT_TRUE(session.waitGone(welcome));
        // Then the file named on the command line opens, with its Journal
        // File and without a message.
        EXPECT_FALSE(session.windowOf(t.pid(), "movie.avi").empty());
        DesktopSession::sleepMs(300);
        ASSERT_TRUE(t.others().empty()) << "after the opening the program shows" << t.shownCaptions();
        const std::string m = t.main();
        t.check("main-window", m);

        // The modal dialogs of the menus.
        t.openCheckClose("open-file", m, "ctrl+o", "Open");
        t.openCheckClose("open-drive", m, "ctrl+l", "Open Drive");
        t.openCheckClose("goto", m, "ctrl+g", "Goto");
        t.openCheckClose("change-file-size", m, "alt+f e", "Change File Size");
        t.openCheckClose("fill-choose-char", m, "alt+e Up Up Up Return", "Choose Char");
        t.openCheckClose("pointers-and-flags", m, "alt+p p", "Pointers and Flags");
        t.openCheckClose("checksums", m, "alt+p c", "Checksums");
        t.openCheckClose("info", m, "alt+h i", "Info");
        t.openCheckClose("message-avi-information", m, "alt+a i", "AVI File-Information");

        // Options, each of its four pages.
        session.keys(m, "alt+p o");
        const std::string options = t.expectWindow("options-view", "Options");
        if (!options.empty()) {
            const char* pages[] = {"options-file-access", "options-messages", "options-config-types"};
            for (const char* page : pages) {
                session.keys(options, "ctrl+Tab");
                DesktopSession::sleepMs(300);
                t.check(page, options);
            }
            session.keys(options, "Escape");
            EXPECT_TRUE(session.waitGone(options));
        }

        // The modeless windows.
        t.openCheckClose("find-text", m, "ctrl+f", "Find TEXT");
        t.openCheckClose("find-hex", m, "ctrl+h", "find binarily");
        t.openCheckClose("find-replace", m, "ctrl+shift+h", "Find and Replace");
        t.openCheckClose("disassembly", m, "alt+p d", "Mnemonics");
        t.openCheckClose("values", m, "alt+p v", "Value");
        // Compare with another position: a notice, then the Offset-Adjustment window.
        t.openCheckClose("message-compare-notice", m, "alt+c p", "Hinweis", "Return");
        t.openCheckClose("offset-adjustment", m, "alt+c o", "Offset-Adjustment");
        // Check AVI-File (the last but three of the AVI menu); its OK runs the check into the report.
        session.keys(m, "alt+a Up Up Up Up Return");
        const std::string check = t.expectWindow("check-avi-file", "Check AVI-File");
        if (!check.empty()) {
            session.keys(check, "Return");
            const std::string report = t.expectWindow("avi-report", "AVI File Check");
            if (!report.empty()) {
                session.keys(report, "Escape");
                EXPECT_TRUE(session.waitGone(report));
            }
            if (session.viewable(check)) session.keys(check, "Escape");
        }

        // A changed byte: quitting asks the questions of the exit.
        session.keys(m, "4 1 Down");
        DesktopSession::sleepMs(300);
        session.keys(m, "ctrl+x");
        std::set<std::string> seen;
        int status = -1;
        for (int i = 0; i < 100; ++i) {
            DesktopSession::sleepMs(200);
            int raw = 0;
            if (waitpid(t.pid(), &raw, WNOHANG) == t.pid()) {
                status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
                break;
            }
            for (const std::string& w : t.others()) {
                if (seen.count(w)) continue;
                seen.insert(w);
                const std::string caption = session.windowName(w);
                const bool question = caption.find("Journal-File") != std::string::npos;
                t.check(question ? "question-save-journal" : "message-exit-" + std::to_string(seen.size()), w);
                session.keys(w, "Escape");
            }
        }
        EXPECT_EQ(status, 0) << "the program ends after its questions";
        EXPECT_GE(seen.size(), 1u) << "the exit asks about the changes";

        std::printf("Windows on the %dx%d screen (frame size and place):\n", width, height);
        for (const std::string& line : t.measured()) std::printf("  %s\n", line.c_str());
        if (!shotDir.empty()) {
            std::ofstream sizes(shotDir + "/sizes.txt");
            for (const std::string& line : t.measured()) sizes << line << "\n";
        }
    }
};

TEST_F(DialogGeometry, EveryDialogLiesOnALargeScreenClearOfTheMenuBar) {
    const std::string shots = QUORBY_DIALOG_SHOTS;
    std::system(("mkdir -p " + shots).c_str());
    tour(1280, 1024, shots);
}

TEST_F(DialogGeometry, EveryDialogLiesOnASmallScreenClearOfTheMenuBar) { tour(1024, 768, ""); }

TEST_F(DialogGeometry, WindowsTheUserMovedStayWhereHePutThem) {
    DesktopSession session;
    ASSERT_TRUE(session.start()) << "Xvfb or openbox did not start";
    TempDir dir;
    DialogTour t(session, dir, "");
    const std::string file = dir.file("code.bin");
    std::string bytes(4096, '\x90');
    writeFile(file, bytes);
    const std::string home = t.home();
    // The welcome message switched off again.
    std::string data = readFile(home + "/quorby.dat");
    putU32(data, kMessageSwitchesAt, getU32(data, kMessageSwitchesAt) & ~1u);
    writeFile(home + "/quorby.dat", data);
    t.start(home, file);
    ASSERT_TRUE(t.findMain("code.bin"));
    const std::string m = t.main();
    const ScreenRect client = session.clientArea(m);

    for (const auto& [keys, caption] : {std::pair<std::string, std::string>{"alt+p d", "Mnemonics"},
                                        std::pair<std::string, std::string>{"alt+p v", "Value"}}) {
        SCOPED_TRACE(caption);
        session.keys(m, keys);
        std::string window = t.expectWindow(caption, caption);
        ASSERT_FALSE(window.empty());
        // The user drags it over the grid, to a place where it fits on the
        // screen (a window that would stick out is brought back onto it).
        const int x = client.x + 40, y = client.y + client.height / 4;
        session.moveWindow(window, x, y);
        DesktopSession::sleepMs(400);
        const ScreenRect placed = session.clientArea(window);
        // Commands that move the cursor and redraw the page.
        session.keys(m, "Down Down Right Right ctrl+End ctrl+Home");
        DesktopSession::sleepMs(800);
        const ScreenRect after = session.clientArea(window);
        EXPECT_EQ(after.x, placed.x) << "moved back after a command";
        EXPECT_EQ(after.y, placed.y) << "moved back after a command";
        // Closed and opened again: where the user left it.
        session.keys(window, "Escape");
        ASSERT_TRUE(session.waitGone(window));
        session.keys(m, keys);
        window = session.windowOf(t.pid(), caption);
        ASSERT_FALSE(window.empty());
        DesktopSession::sleepMs(400);
        const ScreenRect reopened = session.clientArea(window);
        EXPECT_EQ(reopened.x, placed.x) << "opened again elsewhere";
        EXPECT_EQ(reopened.y, placed.y) << "opened again elsewhere";
        session.keys(window, "Escape");
        ASSERT_TRUE(session.waitGone(window));
    }
    session.keys(m, "ctrl+x");
    EXPECT_EQ(DesktopSession::waitForExit(t.pid(), 20), 0);
}

}  // namespace
}  // namespace quorby::testing
