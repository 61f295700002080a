// The disassembly window: single instructions at the cursor, the mode boxes,
// the options in the settings record, and what the window gives back.
#include <gtest/gtest.h>

#include "decoder/decoder_state.h"
#include "navigate/selection.h"
#include "tests/disasm/window_fixture.h"
#include "view/grid_layout.h"

namespace quorby::disasm::testing {
namespace {

// The window shows the decoder's title of its mode.
std::string title(DecoderMode mode) { return decoderModeTitle(setDecoderMode(0, mode)); }

std::vector<std::uint8_t> codeBytes() {
    std::vector<std::uint8_t> b = {0x90, 0xB8, 0x78, 0x56, 0x34, 0x12};
    b.resize(2048, 0x90);
    return b;
}

TEST(DisassemblyWindow, SingleModeAccumulatesLinesUntilResetAndGivesBackTheSelection) {
    DisasmApp d(codeBytes());
    ViewState& v = d.app.view;
    v.selectionStart = 100;
    v.selectionEnd = 200;
    v.selectionActive = kSelectionExists | kSelectionItemsEnabled;

    d.disassemble();
    EXPECT_EQ(d.window().dialog.title, title(DecoderMode::Protected32));
    EXPECT_EQ(d.shown(), listingLine(0, "NOP"));
    EXPECT_EQ(showWithCursorAt(d.app, 1), 0);
    d.disassemble();
    EXPECT_EQ(d.shown(), listingLine(0, "NOP") + listingLine(1, "MOV EAX,0x12345678"));
    EXPECT_EQ(v.selectionStart, 1u);
    EXPECT_EQ(v.selectionEnd, 6u);
    // Its bytes in the window's selection colour (the cursor on the first).
    EXPECT_EQ(d.platform.colours[kFirstDataRow][kFirstCharCell + 5], kDisasmSelectionColour);
    EXPECT_NE(d.platform.colours[kFirstDataRow][kFirstCharCell + 6], kDisasmSelectionColour);

    d.press(kDisasmResetListing);
    EXPECT_EQ(d.shown(), listingLine(1, "MOV EAX,0x12345678"));

    d.press(kDisasmOk);
    EXPECT_FALSE(d.windowOpen());
    EXPECT_EQ(v.selectionStart, 100u);
    EXPECT_EQ(v.selectionEnd, 200u);
    EXPECT_EQ(v.selectionActive, std::uint32_t(kSelectionExists | kSelectionItemsEnabled));
    EXPECT_EQ(v.selectionColour, kSelectionColour);
    // Closed by its frame: the same.
    d.disassemble();
    d.send(ModelessEventKind::Closed, 0);
    EXPECT_EQ(v.selectionStart, 100u);
    EXPECT_EQ(v.selectionColour, kSelectionColour);

    // In the last row the view first moves on by a row.
    EXPECT_EQ(showWithCursorAt(d.app, 505), 0);
    d.disassemble();
    EXPECT_EQ(firstShownPos(d.app), 16u);
    EXPECT_EQ(d.shown(), listingLine(505, "NOP"));
}

TEST(DisassemblyWindow, ModeBoxesChangeTitleAndDisassembleAgain) {
    DisasmApp d(std::vector<std::uint8_t>{0x48, 0x01, 0xD8, 0x90});
    d.disassemble();
    EXPECT_EQ(d.shown(), listingLine(0, "DEC EAX"));

    d.toggle(kDisasmMode64, true);
    EXPECT_EQ(d.window().dialog.title, title(DecoderMode::Protected64));
    EXPECT_EQ(d.shown(), listingLine(0, "REX.W ADD RAX,RBX"));
    EXPECT_TRUE(d.control(kDisasmMode64).checked);
    EXPECT_FALSE(d.control(kDisasmMode32).checked);

    d.toggle(kDisasmMode32, true);
    EXPECT_EQ(d.window().dialog.title, title(DecoderMode::Protected32));
    EXPECT_EQ(d.shown(), listingLine(0, "DEC EAX"));
    EXPECT_FALSE(d.control(kDisasmMode64).checked);

    // Unticking "32 Bit" gives Protected Mode 16 bit, unticking "(64 Bit)" 32 bit.
    d.toggle(kDisasmMode32, false);
    EXPECT_EQ(d.shown(), listingLine(0, "DEC AX"));
    d.toggle(kDisasmMode64, true);
    d.toggle(kDisasmMode64, false);
    EXPECT_EQ(d.window().dialog.title, title(DecoderMode::Protected32));
}

TEST(DisassemblyWindow, OptionsRoundTripThroughTheSettingsRecord) {
    std::vector<std::uint8_t> bytes = codeBytes();
    bytes[0] = 0x01;
    bytes[1] = 0xD8;
    DisasmApp d(bytes);
    // The record's defaults: Real Mode (the set REX bits of 0xFFFFFF00 do not
    // reach the decoder); an interval that is none of the four counts as 256.
    d.app.settings.disassemblerFlags = 0xFFFFFF00u;
    d.app.settings.disassemblerOptions = 2;
    d.disassemble();
    EXPECT_EQ(d.shown(), listingLine(0, "ADD AX,BX"));
    EXPECT_TRUE(d.control(kDisasmRealMode).checked);
    EXPECT_FALSE(d.control(kDisasmCancelAfterError).enabled);
    EXPECT_TRUE(d.control(kDisasmInterval64 + 2).checked);

    d.toggle(kDisasmMode64, true);
    d.toggle(kDisasmCompleteListing, true);
    EXPECT_TRUE(d.control(kDisasmCancelAfterError).enabled);
    d.toggle(kDisasmCancelAfterError, false);
    d.toggle(kDisasmOmitPrefixes, true);
    d.toggle(kDisasmInterval64 + 1, true);
    d.toggle(kDisasmByDoubleClick, true);
    d.toggle(kDisasmByDoubleClick, false);  // unticking keeps the action

    std::uint8_t image[kSettingsRecordSize];
    encodeSettings(d.app.settings, image);
    SettingsRecord loaded{};
    setSettingsDefaults(loaded, "", "");
    decodeSettings(image, sizeof image, loaded);
    d.press(kDisasmCancel);
    d.app.settings = loaded;
    d.disassemble();
    EXPECT_TRUE(d.control(kDisasmMode64).checked);
    EXPECT_TRUE(d.control(kDisasmCompleteListing).checked);
    EXPECT_FALSE(d.control(kDisasmCancelAfterError).checked);
    EXPECT_TRUE(d.control(kDisasmOmitPrefixes).checked);
    EXPECT_TRUE(d.control(kDisasmInterval64 + 1).checked);
    EXPECT_TRUE(d.control(kDisasmByDoubleClick).checked);
    EXPECT_EQ(loaded.doubleClickAction, kDoubleClickDisassembles);
    // The mode is kept at offset 100 with bits 0 and 1 set for 32 and 64 bit.
    EXPECT_EQ(image[100] & 3u, 3u);
}

TEST(DisassemblyWindow, ASettingsRecordOfAnotherVersionOpensInItsMode) {
    std::vector<std::uint8_t> bytes = codeBytes();
    bytes[0] = 0x01;
    bytes[1] = 0xD8;
    DisasmApp d(bytes);
    // "32 Bit" as the Options dialog writes it: bits 0 and 1 of offset 100;
    // the further flags at offset 124 as the defaults have them.
    d.app.settings.disassemblerOptions = 3;
    d.app.settings.disassemblerFlags = 0xFFFFFF00u;
    d.disassemble();
    EXPECT_EQ(d.shown(), listingLine(0, "ADD EAX,EBX"));
    EXPECT_TRUE(d.control(kDisasmMode32).checked);
    EXPECT_FALSE(d.control(kDisasmRealMode).checked);
    EXPECT_EQ(d.window().dialog.title, "Mnemonics - Protected Mode, 32 Bit  (you may click on addresses):");

    // Bit 0 clear is Real Mode, whatever bit 1 says.
    d.press(kDisasmCancel);
    d.app.settings.disassemblerOptions = 2;
    d.disassemble();
    EXPECT_EQ(d.shown(), listingLine(0, "ADD AX,BX"));
    EXPECT_TRUE(d.control(kDisasmRealMode).checked);
}

}  // namespace
}  // namespace quorby::disasm::testing
