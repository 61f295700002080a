// The value inspector window over a Main File and its Journal File in memory:
// typing in its fields, saving through the edit path, Return, its place.
#include <gtest/gtest.h>

#include "app/dispatch.h"
#include "app/window_events.h"
#include "core/command_codes.h"
#include "inspect/value_inspector.h"
#include "navigate/page_moves.h"
#include "resources/dialog_controls.h"
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
    // Bytes typed into the file at `pos` and stored; the cursor then on `pos`.
    void putBytes(FilePos pos, const std::vector<std::uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) typeHex(pos + i, bytes[i]);
        EXPECT_EQ(storePage(app), 0);
        putCursor(pos);
    }
    std::vector<std::uint8_t> shownBytes(FilePos pos, int n) {
        std::vector<std::uint8_t> out;
        for (int i = 0; i < n; ++i) out.push_back(shownByte(pos + FilePos(i)));
        return out;
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

TEST(ValueInspector, BigEndianReadsAndWritesEveryWidthTheOtherWay) {
    InspectorFixture f;
    f.putBytes(100, {0x40, 0x48, 0xF5, 0xC3, 0x05, 0x06, 0x07, 0x08});
    EXPECT_EQ(f.field(kWordHex), "4840");
    EXPECT_EQ(f.field(kValuesFloat), "-490.56445");  // C3F54840 read little-endian
    f.check(kValuesBigEndian, true);
    EXPECT_EQ(f.field(kWordHex), "4048");
    EXPECT_EQ(f.field(kWordDec), "16456");
    EXPECT_EQ(f.field(kDwordHex), "4048 F5C3");
    EXPECT_EQ(f.field(kQwordHex), "4048 F5C3 0506 0708");
    EXPECT_EQ(f.field(kBin1), "0100 0000") << "single bytes have no order";
    EXPECT_EQ(f.field(kValuesFloat), "3.14");
    // Typed and saved big-endian: the first byte is the highest.
    f.type(kWordHex, "AABB");
    EXPECT_EQ(f.field(kBin1), "1010 1010");
    f.send(ModelessEventKind::Pressed, kSaveWord);
    EXPECT_EQ(f.shownBytes(100, 3), (std::vector<std::uint8_t>{0xAA, 0xBB, 0xF5}));
    // The order is kept when the window is closed and opened again.
    f.send(ModelessEventKind::Pressed, kValuesCancel);
    dispatchCommand(f.app, kCmdShowValues);
    EXPECT_TRUE(f.control(kValuesBigEndian)->checked);
    EXPECT_EQ(f.field(kWordHex), "AABB");
}

TEST(ValueInspector, FloatsShowNanAndSaveTheExactBits) {
    InspectorFixture f;
    f.putBytes(200, {0x00, 0x00, 0xC0, 0x7F, 0x00, 0x00, 0xF8, 0x7F});
    EXPECT_EQ(f.field(kValuesFloat), "nan");
    EXPECT_EQ(f.field(kValuesDouble), "nan");
    f.type(kValuesFloat, "3.14");
    EXPECT_EQ(f.field(kDwordHex), "4048 F5C3") << "the other fields follow the typed float";
    f.send(ModelessEventKind::Pressed, kValuesFloat + 1);
    EXPECT_EQ(f.shownBytes(200, 5), (std::vector<std::uint8_t>{0xC3, 0xF5, 0x48, 0x40, 0x00}));
    f.type(kValuesDouble, "-2.5");
    f.send(ModelessEventKind::Pressed, kValuesDouble + 1);
    EXPECT_EQ(f.shownBytes(200, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0x04, 0xC0}));
    dispatchCommand(f.app, kCmdUndo);
    EXPECT_EQ(f.shownBytes(200, 8), (std::vector<std::uint8_t>{0xC3, 0xF5, 0x48, 0x40, 0x00, 0x00, 0xF8, 0x7F}));
    // Text that is no number changes nothing.
    f.putCursor(200);
    f.type(kValuesFloat, "1e50");
    EXPECT_EQ(f.field(kDwordHex), "4048 F5C3");
}

TEST(ValueInspector, CharactersAreOverwrittenOnlyByOnesOfTheSameLength) {
    InspectorFixture f;
    f.putBytes(300, {0xC3, 0xA9, 0x41, 0x00, 0x80, 0x41});
    EXPECT_EQ(f.field(kValuesUtf8), "U+00E9 \xC3\xA9");
    EXPECT_EQ(f.field(kValuesUtf16), "U+A9C3 \xEA\xA7\x83");
    // "ü" takes two bytes as "é" does: saved.
    f.type(kValuesUtf8, "\xC3\xBC");
    f.send(ModelessEventKind::Pressed, kValuesUtf8 + 1);
    EXPECT_EQ(f.shownBytes(300, 3), (std::vector<std::uint8_t>{0xC3, 0xBC, 0x41}));
    // "A" takes one: refused, nothing written.
    f.putCursor(300);
    const std::size_t boxes = f.platform.boxes.size();
    f.type(kValuesUtf8, "A");
    EXPECT_EQ(f.field(kByteHex), "C3") << "a character of another length is not taken into the value";
    f.send(ModelessEventKind::Pressed, kValuesUtf8 + 1);
    ASSERT_EQ(f.platform.boxes.size(), boxes + 1);
    EXPECT_NE(f.platform.boxes.back().text.find("Nothing was written."), std::string::npos);
    EXPECT_EQ(f.shownBytes(300, 3), (std::vector<std::uint8_t>{0xC3, 0xBC, 0x41}));
    // UTF-16 big-endian at 302: 41 00 is U+4100; "B" as U+0042 takes two bytes too.
    f.putCursor(302);
    f.check(kValuesBigEndian, true);
    EXPECT_EQ(f.field(kValuesUtf16), "U+4100 \xE4\x84\x80");
    f.type(kValuesUtf16, "U+0042");
    f.send(ModelessEventKind::Pressed, kValuesUtf16 + 1);
    EXPECT_EQ(f.shownBytes(302, 2), (std::vector<std::uint8_t>{0x00, 0x42}));
    // A continuation byte starts no character.
    f.putCursor(304);
    EXPECT_EQ(f.field(kValuesUtf8), "invalid");
}

TEST(ValueInspector, UnixAndDosTimesShowAndSave) {
    InspectorFixture f;
    f.putBytes(400, {0x8D, 0x0D, 0x17, 0x6B, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(f.field(kValuesUnix32), "2026-12-07 19:48:29");
    EXPECT_EQ(f.field(kValuesUnix64), "2026-12-07 19:48:29");
    EXPECT_EQ(f.field(kValuesDos), "2033-08-23 01:44:26") << "time word 0D8D, date word 6B17";
    f.type(kValuesUnix32, "2038-01-19 03:14:07");
    f.send(ModelessEventKind::Pressed, kValuesUnix32 + 1);
    EXPECT_EQ(f.shownBytes(400, 4), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}));
    // Past 2038 a 32-bit time has no bytes; the 64-bit one has.
    f.putCursor(400);
    f.type(kValuesUnix32, "2038-01-19 03:14:08");
    EXPECT_EQ(f.field(kDwordHex), "7FFF FFFF");
    f.type(kValuesUnix64, "2038-01-19 03:14:08");
    EXPECT_EQ(f.field(kQwordHex), "0000 0000 8000 0000");

    f.putBytes(500, {0x0E, 0x9E, 0x87, 0x5D});
    EXPECT_EQ(f.field(kValuesDos), "2026-12-07 19:48:28");
    f.type(kValuesDos, "1980-01-01 00:00:02");
    f.send(ModelessEventKind::Pressed, kValuesDos + 1);
    EXPECT_EQ(f.shownBytes(500, 4), (std::vector<std::uint8_t>{0x01, 0x00, 0x21, 0x00}));
    f.send(ModelessEventKind::FocusLeft, kValuesDos);
    EXPECT_EQ(f.field(kValuesDos), "1980-01-01 00:00:02");
    f.putBytes(500, {0x00, 0x00, 0xA1, 0x01});
    EXPECT_EQ(f.field(kValuesDos), "invalid") << "month 13";
}

}  // namespace
}  // namespace quorby::inspect
