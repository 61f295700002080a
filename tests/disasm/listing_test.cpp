// Complete listings and clicks in the listing.
#include <gtest/gtest.h>

#include "disasm/listing_text.h"
#include "navigate/selection.h"
#include "tests/disasm/window_fixture.h"

namespace quorby::disasm::testing {
namespace {

void select(AppState& app, FilePos start, FilePos end) {
    app.view.selectionStart = start;
    app.view.selectionEnd = end;
    app.view.selectionActive = kSelectionExists;
}

TEST(CompleteListing, RunsOverTheHighlightedRegionOrFromTheCursorToTheEnd) {
    DisasmApp d(std::vector<std::uint8_t>(4096, 0x90));
    d.setOption(state::kCompleteListing);
    select(d.app, 1000, 1003);
    EXPECT_EQ(showWithCursorAt(d.app, 1001), 0);
    d.disassemble();
    // Each of the one-byte instructions, although their text takes more than
    // 16 characters per byte.
    EXPECT_EQ(d.shown(), listingLine(1000, "NOP") + listingLine(1001, "NOP") + listingLine(1002, "NOP"));
    EXPECT_EQ(showWithCursorAt(d.app, 4094), 0);
    d.press(kDisasmResetListing);
    EXPECT_EQ(d.shown(), listingLine(4094, "NOP") + listingLine(4095, "NOP"));
}

TEST(CompleteListing, CancelAfterErrorStopsAtTheFirstInvalidOpcode) {
    DisasmApp d(std::vector<std::uint8_t>{0x90, 0x06, 0x90}, DecoderMode::Protected64);
    d.setOption(state::kCompleteListing | state::kCancelAfterError);
    d.disassemble();
    EXPECT_EQ(d.shown(), listingLine(0, "NOP") + listingLine(1, "(invalid Opcode)"));
    d.toggle(kDisasmCancelAfterError, false);
    d.press(kDisasmResetListing);
    EXPECT_EQ(d.shown(), listingLine(0, "NOP") + listingLine(1, "(invalid Opcode)") + listingLine(2, "NOP"));
}

TEST(CompleteListing, StopsBeforeTheLineThatWouldPassTheLimit) {
    // 64 MiB of "00 00": far more text than the field takes.
    DisasmApp d({}, DecoderMode::Protected32, FilePos(64) << 20);
    d.setOption(state::kCompleteListing);
    d.disassemble();
    const std::string shown = d.shown();
    const std::size_t lineLength = shown.find('\n') + 1;
    ASSERT_EQ(shown.size() % lineLength, 0u);
    EXPECT_LE(shown.size(), kListingCap);
    EXPECT_GT(shown.size() + lineLength, kListingCap);
    const FilePos lastListed = FilePos(shown.size() / lineLength - 1) * 2;
    EXPECT_EQ(shown.substr(shown.size() - lineLength, 20), listingLine(lastListed, "").substr(0, 20));
    EXPECT_EQ(d.app.view.pagePos, lastListed & ~FilePos(511));  // the view moved along
}

TEST(ListingClick, InstructionLineSelectsItsBytesBranchTargetOnlyMovesTheView) {
    std::vector<std::uint8_t> bytes = {
        0x75, 0x05,                    // 0: JNZ to 7
        0xB8, 0x78, 0x56, 0x34, 0x12,  // 2: MOV EAX,0x12345678
        0x90,                          // 7: NOP
        0xE9, 0xF4, 0x05, 0x00, 0x00,  // 8: JMP NEAR to 0x601
    };
    bytes.resize(2048, 0x90);
    DisasmApp d(bytes);
    d.setOption(state::kCompleteListing);
    storeScrollingInterval(d.app.settings, 128);
    select(d.app, 0, 13);
    d.disassemble();
    const std::string listing = d.shown();

    const std::size_t mov = listing.find("MOV EAX");  // a caret anywhere in the line
    d.caret(mov);
    EXPECT_EQ(d.app.view.selectionStart, 2u);
    EXPECT_EQ(d.app.view.selectionEnd, 7u);
    EXPECT_EQ(d.app.view.cursorPos(), 2u);
    EXPECT_EQ(d.window().selection, std::make_pair(listing.rfind('\n', mov) + 2, std::size_t(19)));

    // The JMP's target line: the view from the target's 128-byte row, the
    // cursor on the target, the selection as it was.
    const std::size_t target = listing.find("=> 0000 0000 0000 0601");
    d.caret(target);
    EXPECT_EQ(firstShownPos(d.app), 0x600u);
    EXPECT_EQ(d.app.view.cursorPos(), 0x601u);
    EXPECT_EQ(d.app.view.selectionStart, 2u);
    EXPECT_EQ(d.app.view.selectionEnd, 7u);
    EXPECT_EQ(d.window().selection, std::make_pair(target + 3, std::size_t(19)));

    d.caret(listing.find("JMP"));
    EXPECT_EQ(d.app.view.selectionStart, 8u);
    EXPECT_EQ(d.app.view.selectionEnd, 13u);
}

}  // namespace
}  // namespace quorby::disasm::testing
