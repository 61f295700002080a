// Save as, append and Paste File over a file with sectors that cannot be
// read: every readable sector is copied, unreadable ones as zeros, and one
// message and a map file beside the target list them.
#include "tests/edit/edit_fixture.h"

#include <cerrno>

#include "edit/append_to_file.h"
#include "edit/paste_file.h"
#include "edit/save_as.h"

namespace quorby::testing {
namespace {

constexpr const char* kTarget = "/data/out.bin";

std::string text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The original content with the unreadable ranges as zeros.
std::vector<std::uint8_t> withZeros(std::vector<std::uint8_t> bytes,
                                    const std::vector<std::pair<FilePos, FilePos>>& ranges) {
    for (const auto& [from, to] : ranges) std::fill(bytes.begin() + std::ptrdiff_t(from), bytes.begin() + std::ptrdiff_t(to), 0);
    return bytes;
}

TEST(UnreadableCopy, SaveFileAsCopiesEveryReadableSectorAndWritesTheMap) {
    // 1 MiB: 4 KiB unreadable inside one 256 KiB block, one sector near the end.
    EditFixture f(1 << 20);
    const std::vector<std::pair<FilePos, FilePos>> bad{{0x80000, 0x81000}, {0xFC000, 0xFC200}};
    f.io.unreadable[f.mainPath] = bad;
    f.typeHex(0x80010, 0xAB);  // a stored change over an unreadable sector is copied
    f.platform.fileAnswers.push_back({true, kTarget, false});
    EXPECT_EQ(saveFileAs(f.app), 0);

    std::vector<std::uint8_t> want = withZeros(f.original, bad);
    want[0x80010] = 0xAB;
    EXPECT_EQ(f.io.bytes(kTarget).size(), want.size());
    EXPECT_TRUE(f.io.bytes(kTarget) == want) << "readable sectors next to the bad ones are copied";
    EXPECT_EQ(text(f.io.bytes("/data/out.bin.unreadable")), "0x80000 0x1000\n0xFC000 0x200\n");
    ASSERT_EQ(f.platform.boxes.size(), 1u) << "one message for all of them";
    EXPECT_EQ(f.platform.boxes[0].caption, "Unreadable Sectors");
    EXPECT_EQ(f.platform.boxes[0].text,
              "2 unreadable ranges of /data/main.bin written as zeros:\n0x80000+0x1000, 0xFC000+0x200\n\n"
              "The list is in /data/out.bin.unreadable");
    EXPECT_EQ(f.mainBytes(), f.original);

    // Appending a selection that holds part of a bad range: the map names
    // only that part.
    f.app.view.selectionStart = 0x80800;
    f.app.view.selectionEnd = 0x81800;
    f.app.view.selectionActive = kSelectionExists;
    f.platform.fileAnswers.push_back({true, kTarget, false});
    EXPECT_EQ(appendSelection(f.app), 0);
    ASSERT_EQ(f.io.bytes(kTarget).size(), want.size() + 0x1000);
    EXPECT_TRUE(std::equal(want.begin() + 0x80800, want.begin() + 0x81800, f.io.bytes(kTarget).begin() + std::ptrdiff_t(want.size())));
    EXPECT_EQ(text(f.io.bytes("/data/out.bin.unreadable")), "0x80800 0x800\n");
    EXPECT_EQ(f.platform.boxes.size(), 2u);
}

TEST(UnreadableCopy, PasteFileTakesTheReadableSectorsOfTheSource) {
    EditFixture f(8192);
    std::vector<std::uint8_t> src(6000);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = std::uint8_t(0x80 ^ (i * 5));
    f.createFile("/data/src.bin", src);
    f.io.unreadable["/data/src.bin"] = {{1024, 1536}, {5800, 5801}};
    f.cursorTo(100);
    f.platform.fileAnswers.push_back({true, "/data/src.bin", false});
    EXPECT_EQ(pasteFile(f.app), 0);
    f.endCommand();
    const std::vector<std::uint8_t> pasted = withZeros(src, {{1024, 1536}, {5632, 6000}});
    for (FilePos p = 0; p < pasted.size(); ++p) ASSERT_EQ(f.shown(100 + p), pasted[p]) << p;
    EXPECT_EQ(f.shown(99), f.original[99]);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text,
              "2 unreadable ranges of /data/src.bin written as zeros:\n0x400+0x200, 0x1600+0x170\n\n"
              "The list is in /data/main.bin.unreadable");
    EXPECT_EQ(text(f.io.bytes("/data/main.bin.unreadable")), "0x400 0x200\n0x1600 0x170\n");

    // A source that cannot be read at all is still refused with its error.
    f.io.failRead["/data/src.bin"] = {5, EACCES};
    f.platform.fileAnswers.push_back({true, "/data/src.bin", false});
    EXPECT_EQ(pasteFile(f.app), 1);
    EXPECT_EQ(f.platform.texts.back().rfind("Error reading /data/src.bin", 0), 0u) << f.platform.texts.back();
}

}  // namespace
}  // namespace quorby::testing
