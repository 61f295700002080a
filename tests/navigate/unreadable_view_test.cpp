// The view over sectors that cannot be read: the readable sectors beside
// them are shown, the unreadable bytes as "??" and a mark in their own
// colour, the cursor moves through them and typing over them is allowed.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/dispatch.h"
#include "app/window_events.h"
#include "core/command_codes.h"
#include "navigate/unchanged_view.h"
#include "tests/support/test_app.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

constexpr FilePos kSize = 64 * 1024;
constexpr FilePos kBad = 0x8000, kBadEnd = 0x8200;  // one sector

std::uint8_t fileByte(FilePos p) { return std::uint8_t(0x20 + p % 90); }

struct DyingView : TestApp {
    DyingView() {
        platform.yesNoDefault = MsgAnswer::Ok;
        std::vector<std::uint8_t> bytes(kSize);
        for (FilePos p = 0; p < kSize; ++p) bytes[p] = fileByte(p);
        createFile("/data/main.bin", bytes);
        io.unreadable["/data/main.bin"] = {{kBad, kBadEnd}};
        openMain("/data/main.bin");
        io.logEvents = true;
    }
    std::uint64_t readsOfBadSector() const {
        return std::uint64_t(std::count_if(io.events.begin(), io.events.end(), [](const IoEvent& e) {
            return e.kind == 'R' && e.pos < kBadEnd && e.pos + e.length > kBad;
        }));
    }
    std::string info() const { return std::string(app.view.infoCell, 10); }
};

// Row r (1 .. 32) of the grid: the hex text and the character text.
std::string hexRow(const FakePlatform& p, int r) { return p.rowText(r, 21, 50); }
std::string charRow(const FakePlatform& p, int r) { return p.rowText(r, 71, 17); }

TEST(UnreadableView, TheSectorBeforeABadOneIsShownAndTheBadOneAsMarks) {
    DyingView f;
    // Goto the readable sector right before the bad one.
    ASSERT_EQ(loadPagePair(f.app, kBad - 512), 0);
    EXPECT_TRUE(f.platform.boxes.empty()) << f.platform.texts.at(0);
    EXPECT_EQ(f.app.view.pageLength, 1024u);
    f.app.view.viewOffset = 256;  // half of each sector on screen
    f.app.view.cursorOffset = 0;
    drawPage(f.app);
    // Rows 1 .. 16: readable bytes; 17 .. 32: the bad sector.
    const FilePos firstShown = kBad - 256;
    char want[4];
    std::snprintf(want, sizeof want, "%02X", fileByte(firstShown + 16 * 15 + 3));
    EXPECT_EQ(hexRow(f.platform, 16).substr(10, 2), want);
    EXPECT_EQ(charRow(f.platform, 16)[1 + 3], char(fileByte(firstShown + 16 * 15 + 3)));
    EXPECT_EQ(hexRow(f.platform, 17), " ?? ?? ?? ?? ?? ?? ?? ??  ?? ?? ?? ?? ?? ?? ?? ?? ");
    EXPECT_EQ(charRow(f.platform, 32), " ????????????????");
    EXPECT_EQ(f.platform.colours[17][22], kUnreadableColour);
    EXPECT_EQ(f.platform.colours[32][72 + 15], kUnreadableColour);
    EXPECT_NE(f.platform.colours[16][22], kUnreadableColour);
    EXPECT_EQ(f.info(), "          ");

    // The cursor through them: the info cell says so while it stands on one.
    f.app.view.cursorOffset = 16 * 16 + 5;
    drawCursor(f.app);
    EXPECT_EQ(f.info(), "unreadable");
    eraseCursor(f.app);
    f.app.view.cursorOffset = 16 * 15;
    drawCursor(f.app);
    EXPECT_EQ(f.info(), "          ");

    // Repaints and another Goto there do not read the bad sector again.
    const std::uint64_t tried = f.readsOfBadSector();
    EXPECT_GE(tried, 1u);
    drawPage(f.app);
    ASSERT_EQ(loadPagePair(f.app, kBad), 0);
    ASSERT_EQ(loadPagePair(f.app, kBad - 512), 0);
    EXPECT_EQ(f.readsOfBadSector(), tried);
    EXPECT_TRUE(f.app.view.unreadableHalf[1]);
    EXPECT_FALSE(f.app.view.unreadableHalf[0]);
    // Goto into the bad sector itself: it is the first half now.
    ASSERT_EQ(loadPagePair(f.app, kBad + 0x10), 0);
    EXPECT_TRUE(f.app.view.unreadableHalf[0]);
    EXPECT_FALSE(f.app.view.unreadableHalf[1]);
    EXPECT_EQ(f.app.view.pageBuffer[512], fileByte(kBadEnd));
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(UnreadableView, TypingOverAnUnreadableByteShowsItAndF5ShowsTheMarksAgain) {
    DyingView f;
    f.useDefaultSettings();
    f.app.journal.syncOnCommit = false;
    f.openJournal("/data/main.bin.jnl", OpenMode::CreateReadWrite);
    ASSERT_EQ(loadPagePair(f.app, kBad), 0);
    f.app.view.viewOffset = 0;
    f.app.view.cursorOffset = 2;
    f.type("41");
    drawPage(f.app);
    EXPECT_EQ(hexRow(f.platform, 1).substr(0, 13), " ?? ?? 41 ?? ");
    EXPECT_EQ(charRow(f.platform, 1).substr(0, 5), " ??A?");
    EXPECT_NE(f.platform.colours[1][22 + 6], kUnreadableColour);
    EXPECT_EQ(f.platform.colours[1][22 + 12], kUnreadableColour);  // byte 4 (the cursor stands on byte 3)

    // Stored in the Journal File and shown again: the typed byte, the others
    // still unreadable.
    storeWithEnter(f.app);
    ASSERT_EQ(loadPagePair(f.app, 0), 0);
    ASSERT_EQ(loadPagePair(f.app, kBad), 0);
    f.app.view.cursorOffset = 100;
    drawPage(f.app);
    EXPECT_EQ(hexRow(f.platform, 1).substr(0, 13), " ?? ?? 41 ?? ");

    // F5 held: the Main File's own bytes, the bad sector as marks.
    showUnchangedFile(f.app);
    EXPECT_EQ(hexRow(f.platform, 1).substr(0, 13), " ?? ?? ?? ?? ");
    onKeyUp(f.app, Key{});
    drawPage(f.app);
    EXPECT_EQ(hexRow(f.platform, 1).substr(0, 13), " ?? ?? 41 ?? ");
}

}  // namespace
}  // namespace quorby::testing
