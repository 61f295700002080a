// "Save": the listing file.
#include <gtest/gtest.h>

#include "tests/disasm/window_fixture.h"

namespace quorby::disasm::testing {
namespace {

TEST(ListingFile, SaveReplacesAnExistingFileOnlyAfterYesAndReportsFailedWrites) {
    DisasmApp d(std::vector<std::uint8_t>{0xB8, 0x78, 0x56, 0x34, 0x12, 0x90});
    d.disassemble();
    const std::string expected =
        "Quorby Assembler-Listing\r\n\r\ncode.bin\r\n\r\n" + listingLine(0, "MOV EAX,0x12345678");
    const std::vector<std::uint8_t> longer(5000, 'x');
    d.files.files["out.lst"] = longer;
    d.platform.fileAnswers.push_back({true, "out.lst", false});
    d.platform.boxAnswers.push_back(MsgAnswer::No);
    d.press(kDisasmSave);
    EXPECT_EQ(d.files.files["out.lst"], longer);
    EXPECT_EQ(d.platform.boxes.back().caption, "Overwrite File?");

    d.platform.fileAnswers.push_back({true, "out.lst", false});
    d.platform.boxAnswers.push_back(MsgAnswer::Yes);
    d.press(kDisasmSave);
    EXPECT_EQ(d.files.files["out.lst"], std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_TRUE(d.window().visible);

    d.files.failWrites = true;
    d.platform.fileAnswers.push_back({true, "new.lst", false});
    d.press(kDisasmSave);
    EXPECT_EQ(d.platform.texts.back(), "Error writing new.lst");
    EXPECT_EQ(d.files.openHandles(), 1);  // only the Main File
}

}  // namespace
}  // namespace quorby::disasm::testing
