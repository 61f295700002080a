// The value inspector window over a Main File and its Journal File in memory:
// typing in its fields, saving through the edit path, Return, its place.
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/window_events.h"
#include "core/command_codes.h"
#include "inspect/value_inspector.h"
#include "navigate/page_moves.h"
#include "state/settings_file.h"
#include "tests/edit/edit_fixture.h"

namespace quorby::inspect {
namespace {

using testing::EditFixture;
using testing::originalByte;

struct InspectorFixture : EditFixture {
    explicit InspectorFixture(FilePos size = 4096) : EditFixture(size) {
        dispatchCommand(app, kCmdShowValues);
    }
    DialogControl* control(int id) { return platform.modeless[ModelessWindow::Values].dialog.find(id); }
    std::string field(int id) { return control(id) ? control(id)->value : "<no control>"; }
    void send(ModelessEventKind kind, int id, bool checked = false) {
        ModelessEvent e;
        e.window = ModelessWindow::Values;
        e.kind = kind;
        e.controlId = id;
        e.checked = checked;
        onModelessEvent(app, e);
    }
    void type(int id, const std::string& text) {
        control(id)->value = text;
        send(ModelessEventKind::Edited, id);
    }
    void check(int id, bool on) {
        control(id)->checked = on;
        send(ModelessEventKind::Toggled, id, on);
    }
    // The content as the program shows it at `pos` after the page is loaded again.
    std::uint8_t shownByte(FilePos pos) {
        EXPECT_EQ(storePage(app), 0);
        EXPECT_EQ(loadPagePair(app, pos & ~FilePos{511}), 0);
        return app.view.pageBuffer[pos & 511];
    }
    void putCursor(FilePos pos) {
        EXPECT_EQ(showWithCursorAt(app, pos), 0);
        endOfCommand(app);
    }
};

const int kAllFields[] = {kByteHex, kByteDec, kWordHex, kWordDec, kDwordHex, kDwordDec,
                          kQwordHex, kQwordDec, kBin1, kBin2, kBin3, kBin4};

TEST(ValueInspector, TypingInAnyFieldRewritesEveryOtherOne) {
    // The bytes under the cursor become 04 03 02 01 FF FF FF 7F whichever
    // field is typed in; the typed field keeps the text as typed.
    const struct {
        int field;
        const char* typed;
    } typings[] = {
        {kQwordHex, "7fffffff01020304"}, {kQwordDec, "9223372032576717572"},
    };
    const struct {
        int field;
        const char* shown;
    } expected[] = {
        {kByteHex, "04"}, {kByteDec, "4"}, {kWordHex, "0304"}, {kWordDec, "772"},
        {kDwordHex, "0102 0304"}, {kDwordDec, "16909060"}, {kQwordHex, "7FFF FFFF 0102 0304"},
        {kQwordDec, "9223372032576717572"}, {kBin1, "0000 0100"}, {kBin2, "0000 0011"},
        {kBin3, "0000 0010"}, {kBin4, "0000 0001"},
    };
    for (const auto& t : typings) {
        InspectorFixture f;
        f.type(t.field, t.typed);
        for (const auto& e : expected)
            EXPECT_EQ(f.field(e.field), e.field == t.field ? t.typed : e.shown) << "typed in " << t.field;
        // Leaving the field shows it in its display form.
        f.send(ModelessEventKind::FocusLeft, t.field);
        for (const auto& e : expected) EXPECT_EQ(f.field(e.field), e.shown) << "after leaving " << t.field;
    }

    // "FF" into the BYTE: its decimal, binary and the low byte of the wider values follow.
    InspectorFixture f;
    const std::uint8_t b1 = originalByte(1);
    f.type(kByteHex, "FF");
    EXPECT_EQ(f.field(kByteDec), "255");
    EXPECT_EQ(f.field(kBin1), "1111 1111");
    char word[5];
    std::snprintf(word, sizeof word, "%02XFF", b1);
    EXPECT_EQ(f.field(kWordHex), word);
    EXPECT_EQ(f.field(kDwordHex).substr(7), "FF");
    EXPECT_EQ(f.field(kQwordHex).substr(17), "FF");
    // A negative WORD and a binary byte.
    f.type(kWordDec, "-2");
    EXPECT_EQ(f.field(kWordHex), "FFFE");
    EXPECT_EQ(f.field(kBin2), "1111 1111");
    f.type(kBin3, "1010");
    EXPECT_EQ(f.field(kDwordHex).substr(2, 2), "0A") << "byte 2 is the DWORD's third byte";
    EXPECT_EQ(f.field(kBin3), "1010") << "the field being typed in keeps the text as typed";
}

TEST(ValueInspector, BadInputInEveryFieldChangesNothing) {
    InspectorFixture f;
    std::vector<std::string> before;
    for (int id : kAllFields) before.push_back(f.field(id));
    for (int id : kAllFields) {
        for (const char* bad : {"", "zz", "1 0000 0000 0000 0000 0000", "-99999999999999999999", "12x", "2"}) {
            // "2" is a good value for every field but the binary ones.
            const bool binary = id >= kBin1 && id <= kBin4;
            if (std::string(bad) == "2" && !binary) continue;
            f.type(id, bad);
            f.send(ModelessEventKind::FocusLeft, id);
            for (std::size_t i = 0; i < std::size(kAllFields); ++i)
                EXPECT_EQ(f.field(kAllFields[i]), before[i]) << "after \"" << bad << "\" in " << id;
        }
    }
    f.send(ModelessEventKind::Pressed, kSaveQword);
    EXPECT_FALSE(f.app.view.halfDirty[0]);
    EXPECT_EQ(f.shownByte(0), originalByte(0));
}

TEST(ValueInspector, EachSaveIsOneChangeThatUndoTakesBack) {
    const struct {
        int button;
        int width;
    } saves[] = {{kSaveByte, 1}, {kSaveWord, 2}, {kSaveDword, 4}, {kSaveQword, 8}};
    for (const auto& s : saves) {
        InspectorFixture f;
        f.putCursor(100);
        f.type(kQwordHex, "1122 3344 5566 7788");
        f.send(ModelessEventKind::Pressed, s.button);
        EXPECT_FALSE(f.app.view.halfDirty[0] || f.app.view.halfDirty[1]) << "stored at once";
        const std::uint8_t little[8] = {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(f.shownByte(100 + i), i < s.width ? little[i] : originalByte(100 + i)) << s.width << " byte " << i;
        dispatchCommand(f.app, kCmdUndo);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(f.shownByte(100 + i), originalByte(100 + i)) << "undone, byte " << i;
    }
}

TEST(ValueInspector, ValuesAcrossTheHalvesAndPastTheFileEnd) {
    // From offset 510 the DWORD reaches into the second page of the pair.
    InspectorFixture f;
    f.putCursor(510);
    f.type(kDwordHex, "A1B2C3D4");
    f.send(ModelessEventKind::Pressed, kSaveDword);
    EXPECT_EQ(f.shownByte(510), 0xD4);
    EXPECT_EQ(f.shownByte(511), 0xC3);
    EXPECT_EQ(f.shownByte(512), 0xB2);
    EXPECT_EQ(f.shownByte(513), 0xA1);
    EXPECT_EQ(f.shownByte(514), originalByte(514));

    // A file of 1000 bytes with the cursor on byte 998: the WORD fits, the
    // DWORD is refused with a message and writes nothing.
    InspectorFixture g(1000);
    g.putCursor(998);
    EXPECT_EQ(g.field(kByteHex).size(), 2u);
    g.type(kDwordHex, "0102 0304");
    const std::size_t boxes = g.platform.boxes.size();
    g.send(ModelessEventKind::Pressed, kSaveDword);
    EXPECT_EQ(g.platform.boxes.size(), boxes + 1);
    EXPECT_EQ(g.shownByte(998), originalByte(998));
    g.putCursor(998);
    g.type(kWordHex, "0A0B");
    g.send(ModelessEventKind::Pressed, kSaveWord);
    EXPECT_EQ(g.shownByte(998), 0x0B);
    EXPECT_EQ(g.shownByte(999), 0x0A);
}

// The view scrolled byte by byte to 511 with the cursor on the last shown
// byte (0x3FE): the QWORD runs past the two pages held in memory, yet shows
// the file's bytes there (a stored change among them), and saving it writes
// all eight bytes without a word.
TEST(ValueInspector, AValuePastThePagePairShowsAndSavesTheFilesBytes) {
    InspectorFixture f;
    f.putCursor(0x401);
    f.type(kByteHex, "5A");
    f.send(ModelessEventKind::Pressed, kSaveByte);
    ASSERT_EQ(showFromPosition(f.app, 511), 0);
    f.app.view.cursorOffset = 511;
    endOfCommand(f.app);
    ASSERT_EQ(f.app.view.cursorPos(), 0x3FEu);
    std::string expected;
    const char* digits = "0123456789ABCDEF";
    for (int i = 7; i >= 0; --i) {
        const std::uint8_t b = 0x3FE + i == 0x401 ? 0x5A : originalByte(0x3FE + i);
        expected += digits[b >> 4];
        expected += digits[b & 15];
        if (i % 2 == 0 && i != 0) expected += ' ';
    }
    EXPECT_EQ(f.field(kQwordHex), expected);

    const std::size_t boxes = f.platform.boxes.size();
    f.type(kQwordHex, "1122334455667788");
    f.send(ModelessEventKind::Pressed, kSaveQword);
    EXPECT_EQ(f.platform.boxes.size(), boxes);
    const std::uint8_t saved[8] = {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
    for (FilePos i = 0; i < 8; ++i) EXPECT_EQ(f.shownByte(0x3FE + i), saved[i]) << "byte " << 0x3FE + i;
    EXPECT_EQ(f.shownByte(0x406), originalByte(0x406));
}

TEST(ValueInspector, ReturnSavesAndGoesOnByTheWidthMovingTheViewAtThePageEnd) {
    InspectorFixture f;
    f.check(kReturnSave, true);
    f.check(kReturnGotoNext, true);
    f.check(kReturnHighlight, true);
    f.putCursor(200);
    f.type(kWordHex, "BEEF");
    f.send(ModelessEventKind::Pressed, kValuesReturn);
    EXPECT_EQ(f.app.view.cursorPos(), 202u);
    EXPECT_EQ(f.shownByte(200), 0xEF);
    EXPECT_EQ(f.shownByte(201), 0xBE);
    EXPECT_EQ(f.platform.focusedControl, kWordHex);
    EXPECT_TRUE(f.platform.focusSelectsAll);

    // At the end of the shown bytes the view moves on by 16 and the cursor keeps its byte.
    f.putCursor(0);
    f.putCursor(506);
    ASSERT_EQ(f.app.view.pagePos + f.app.view.viewOffset, 0u);
    f.type(kDwordHex, "1");
    f.send(ModelessEventKind::Pressed, kValuesReturn);
    EXPECT_EQ(f.app.view.cursorPos(), 510u);
    EXPECT_EQ(f.app.view.pagePos + f.app.view.viewOffset, 16u);
    EXPECT_EQ(f.app.view.cursorOffset, 494u);
    char dword[10];
    std::snprintf(dword, sizeof dword, "%02X%02X %02X%02X", originalByte(513), originalByte(512), originalByte(511),
                  originalByte(510));
    EXPECT_EQ(f.field(kDwordHex), dword) << "refreshed at the new cursor";

    f.check(kReturnClose, true);
    f.send(ModelessEventKind::Pressed, kValuesReturn);
    EXPECT_FALSE(f.platform.modelessOpen(ModelessWindow::Values));
    EXPECT_FALSE(f.app.inspector.open);
}

TEST(ValueInspector, FollowsTheCursorAndOpensWithTheValueInThePagePair) {
    InspectorFixture f;
    char hex[3];
    f.putCursor(300);
    std::snprintf(hex, sizeof hex, "%02X", originalByte(300));
    EXPECT_EQ(f.field(kByteHex), hex);
    f.type(kByteHex, "7");
    f.putCursor(301);
    std::snprintf(hex, sizeof hex, "%02X", originalByte(301));
    EXPECT_EQ(f.field(kByteDec), std::to_string(originalByte(301)));
    EXPECT_EQ(f.app.inspector.typedBytes, 0) << "typed bytes belong to the value they were typed for";

    // Opened with the cursor on one of the last three shown bytes, the view moves on by 16.
    f.send(ModelessEventKind::Pressed, kValuesCancel);
    f.putCursor(510);
    ASSERT_EQ(f.app.view.viewOffset, 0u);
    dispatchCommand(f.app, kCmdShowValues);
    EXPECT_EQ(f.app.view.viewOffset, 16u);
    EXPECT_EQ(f.app.view.cursorPos(), 510u);
}

TEST(ValueInspector, PlacedAboveOrBelowTheCursorRow) {
    const struct {
        std::uint32_t cursorOffset;
        int row;
    } places[] = {{0, 5}, {16 * 15 + 3, 20}, {256, 0}, {16 * 20, 4}, {511, 15}};
    for (const auto& p : places) {
        int column = -1, row = -1;
        inspectorPlace(p.cursorOffset, &column, &row);
        EXPECT_EQ(column, 21) << "the hexadecimal column";
        EXPECT_EQ(row, p.row) << p.cursorOffset;
    }
    InspectorFixture f;
    f.putCursor(16 * 20 + 5);
    dispatchCommand(f.app, kCmdShowValues);
    EXPECT_EQ(f.platform.modelessPlaces[ModelessWindow::Values], std::make_pair(21, 4));
    f.check(kKeepPosition, true);
    f.putCursor(5);
    dispatchCommand(f.app, kCmdShowValues);
    EXPECT_EQ(f.platform.modelessPlaces[ModelessWindow::Values], std::make_pair(21, 4)) << "kept";
}

TEST(ValueInspector, OptionsGoIntoTheSettingsFile) {
    InspectorFixture f;
    f.check(kKeepPosition, true);
    f.check(kReturnGotoNext, true);
    f.check(kReturnHighlight, true);
    f.check(kShowByDoubleClick, false);
    std::uint8_t file[kSettingsRecordSize];
    encodeSettings(f.app.settings, file);
    EXPECT_EQ(file[96], 0) << "double click as the right mouse button";
    EXPECT_EQ(file[104], 1) << "Keep Window Position";
    EXPECT_EQ(file[108], 2 | 8) << "Goto next, highlight";
    SettingsRecord read{};
    decodeSettings(file, sizeof file, read);
    EXPECT_EQ(read.inspectorOptions, 1u);
    EXPECT_EQ(read.inputOptions, 10u);
    f.check(kShowByDoubleClick, true);
    EXPECT_EQ(f.app.settings.doubleClickAction, 1u);
}

}  // namespace
}  // namespace quorby::inspect
