// Picking the two points to be superposed by double click, and the column
// headers while F6 shows the Compare File at a shift.
#include "compare/alignment.h"
#include "compare/offset_dialog.h"
#include "tests/compare/compare_fixture.h"
#include "view/compare_display.h"
#include "view/grid_layout.h"
#include "view/page_render.h"

namespace quorby::testing {
namespace {

std::vector<std::uint8_t> numbered(std::size_t n, unsigned salt) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = std::uint8_t((i * 7 + salt) % 251);
    return bytes;
}

std::string fieldText(const FakePlatform& p, int id) {
    auto window = p.modeless.find(ModelessWindow::OffsetAdjustment);
    if (window == p.modeless.end()) return "(closed)";
    DialogDescription dialog = window->second.dialog;
    const DialogControl* field = dialog.find(id);
    return field ? field->value : "(none)";
}

TEST(SuperposePoints, MainByteThenCompareByteUnderF6LineTheTwoUp) {
    CompareFixture f;
    f.openFiles(numbered(4096, 0), numbered(4096, 3));
    f.compareWithOther();
    openOffsetDialog(f.app);

    // Without F6 the byte clicked is a Main File point.
    pickPoint(f.app, 0x10);
    EXPECT_EQ(f.app.compare.firstPoint, 0x10u);
    EXPECT_EQ(f.app.compare.secondPoint, 0u);
    EXPECT_EQ(f.infoCell(), "Offs-0000000000000010");
    EXPECT_EQ(fieldText(f.platform, kOffsetFirstEdit), "0000 0000 0000 0010");

    // F6 shows the Compare File from -0x10 on: the first 16 places are blanks
    // and a double click there picks nothing.
    showCompareData(f.app);
    EXPECT_EQ(shownContent(f.app).bytes[0x23], f.otherBytes[0x13]);
    pickPoint(f.app, 0x05);
    EXPECT_EQ(f.app.compare.secondPoint, 0u);
    EXPECT_EQ(f.app.compare.shift, -0x10);

    // The Compare File's byte shown at 0x23 is its byte 0x13: it becomes the
    // second point, and the Main File's 0x10 now lies beside it.
    pickPoint(f.app, 0x23);
    EXPECT_EQ(f.app.compare.secondPoint, 0x13u);
    EXPECT_EQ(f.app.compare.shift, 3);
    EXPECT_EQ(f.infoCell(), "Offs 0000000000000003");
    EXPECT_EQ(fieldText(f.platform, kOffsetSecondEdit), "0000 0000 0000 0013");
    EXPECT_EQ(shownContent(f.app).bytes[0x10], f.otherBytes[0x13]);
    endCompareData(f.app);
    EXPECT_EQ(shownContent(f.app).bytes[0x10], f.mainBytes[0x10]);
    EXPECT_EQ(f.app.compare.firstPoint, 0x10u) << "releasing F6 keeps the points";

    // Cancel returns to the points the dialog opened with.
    onOffsetDialogEvent(f.app, {ModelessWindow::OffsetAdjustment, ModelessEventKind::Pressed, kOffsetCancel});
    EXPECT_EQ(f.app.compare.shift, 0);
}

TEST(SuperposePoints, HeadersNameTheCompareColumnsWhileF6IsHeld) {
    CompareFixture f;
    f.openFiles(numbered(4096, 0), numbered(4096, 0));
    f.compareWithOther();
    auto headers = [&] {
        return f.platform.rowText(0, kHexColumn, 25) + "|" + f.platform.rowText(0, kSecondHeaderColumn, 25);
    };
    f.app.compare.secondPoint = 0x23;
    applyPoints(f.app);
    EXPECT_EQ(headers(), " 00 01 02 03 04 05 06 07 | 08 09 0A 0B 0C 0D 0E 0F ") << "F6 not held";
    showCompareData(f.app);
    EXPECT_EQ(headers(), " 03 04 05 06 07 08 09 0A | 0B 0C 0D 0E 0F 00 01 02 ");
    endCompareData(f.app);
    EXPECT_EQ(headers(), " 00 01 02 03 04 05 06 07 | 08 09 0A 0B 0C 0D 0E 0F ");

    // A shift of -3: the column of Main File position 0 shows compare position -3, ending in D.
    f.app.compare.firstPoint = 0x28;
    f.app.compare.secondPoint = 0x25;
    applyPoints(f.app);
    showCompareData(f.app);
    EXPECT_EQ(headers(), " 0D 0E 0F 00 01 02 03 04 | 05 06 07 08 09 0A 0B 0C ");
    // The view moved byte by byte adds its own shift of the headers.
    f.app.view.headerShift = 5;
    drawPage(f.app);
    EXPECT_EQ(f.platform.rowText(0, kHexColumn, 4), " 02 ");
    endCompareData(f.app);
    EXPECT_EQ(f.platform.rowText(0, kHexColumn, 4), " 05 ");
}

}  // namespace
}  // namespace quorby::testing
