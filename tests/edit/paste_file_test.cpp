// Paste File and Append File.
#include "tests/edit/edit_fixture.h"

#include <string>
#include <vector>

#include "edit/paste_file.h"
#include "edit/undo_commands.h"
#include "state/settings_file.h"

namespace quorby::testing {
namespace {

struct PasteFileFixture : EditFixture {
    PasteFileFixture(FilePos size, std::uint32_t undoOptions, bool direct) : EditFixture(size, undoOptions, direct) {
        io.space = {FilePos{1} << 40, FilePos{1} << 41};
        app.settings.messageSwitches |= kMsgPasteEnlarge;
    }
    void choose(const std::string& path) { platform.fileAnswers.push_back({true, path, false}); }
    std::vector<std::uint8_t> current() {
        std::vector<std::uint8_t> bytes;
        for (FilePos p = 0; p < app.main.fileSize; ++p) bytes.push_back(shown(p));
        return bytes;
    }
};

std::vector<std::uint8_t> sourceBytes(std::size_t n) {
    std::vector<std::uint8_t> b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(0x80 ^ (i * 5));
    return b;
}

// The Main File pasted into itself after its own start: the result holds
// the bytes as they were before the paste (no repeated block), and one Undo
// takes the paste and the enlargement's bytes back.
TEST(PasteFile, TheMainFileItselfIsCopiedAsItWasBefore) {
    for (bool direct : {false, true}) {
        SCOPED_TRACE(direct ? "direct" : "journal");
        PasteFileFixture f(3000, 3, direct);
        f.cursorTo(700);
        f.choose("/data/../data/main.bin");
        f.platform.boxAnswers = {MsgAnswer::Yes};
        EXPECT_EQ(pasteFile(f.app), 0);
        f.endCommand();
        ASSERT_EQ(f.platform.boxes.size(), 1u);
        EXPECT_EQ(f.platform.boxes[0].caption, "Too much Amount of Data !");
        EXPECT_EQ(f.platform.boxes[0].text, "For this Action the file is for\n700  Bytes too small !\nSHALL THE FILE BE ENLARGED ?");
        std::vector<std::uint8_t> expected(f.original.begin(), f.original.begin() + 700);
        expected.insert(expected.end(), f.original.begin(), f.original.end());
        EXPECT_EQ(f.current(), expected);
        if (direct) {
            EXPECT_EQ(f.mainBytes(), expected);
        }
        undoLastCommand(f.app);
        f.endCommand();
        std::vector<std::uint8_t> undone = f.current();
        undone.resize(3000);
        EXPECT_EQ(undone, f.original);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

TEST(PasteFile, LargerThanTheMainFileCancelAndUnreadable) {
    PasteFileFixture f(1024, 1, false);
    const std::vector<std::uint8_t> src = sourceBytes(5000);
    f.createFile("/data/src.bin", src);
    f.cursorTo(100);

    EXPECT_EQ(pasteFile(f.app), 1);   // Cancel in the dialog
    ASSERT_EQ(f.platform.fileRequests.size(), 1u);
    EXPECT_EQ(f.platform.fileRequests[0].title, "Open Paste-File");
    EXPECT_EQ(f.recordCount(), 0u);

    // No to the enlargement: nothing changes, the name is remembered.
    f.choose("/data/src.bin");
    f.platform.boxAnswers = {MsgAnswer::No};
    EXPECT_EQ(pasteFile(f.app), 1);
    EXPECT_EQ(f.mainBytes().size(), 1024u);
    EXPECT_EQ(f.recordCount(), 0u);
    EXPECT_EQ(pathFieldText(f.app.settings.lastPasteFile), "/data/src.bin");

    f.choose("/data/src.bin");
    f.platform.boxAnswers = {MsgAnswer::Yes};
    EXPECT_EQ(pasteFile(f.app), 0);
    EXPECT_EQ(f.platform.fileRequests.back().presetName, "/data/src.bin");
    EXPECT_EQ(f.app.main.fileSize, 5100u);
    std::vector<std::uint8_t> expected(f.original.begin(), f.original.begin() + 100);
    expected.insert(expected.end(), src.begin(), src.end());
    EXPECT_EQ(f.current(), expected);

    // A source that cannot be read: one message, nothing pasted.
    f.io.failRead["/data/src.bin"] = {5, EACCES};
    const std::uint64_t records = f.recordCount();
    f.choose("/data/src.bin");
    f.platform.boxAnswers = {MsgAnswer::Yes};
    f.cursorTo(0);
    EXPECT_EQ(pasteFile(f.app), 1);
    EXPECT_EQ(f.platform.texts.back().rfind("Error reading /data/src.bin", 0), 0u) << f.platform.texts.back();
    EXPECT_EQ(f.recordCount(), records);
    EXPECT_EQ(f.current(), expected);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

// In journal access the Main File and the source are read in blocks (here
// of three pairs, so that the paste crosses several): pairs with earlier
// changes keep them where the paste does not reach, and the result is the
// same as pasting pair by pair.
TEST(PasteFile, JournalAccessReadsInBlocksAndKeepsEarlierChanges) {
    PasteFileFixture f(40 * 512, 3, false);
    f.app.buffers.batches.pasteReadBlock = 3 * 1024;
    const std::vector<std::uint8_t> src = sourceBytes(13000);
    f.createFile("/data/src.bin", src);
    std::vector<std::uint8_t> expected = f.original;
    for (FilePos pos : {FilePos(5), FilePos(700), FilePos(2100), FilePos(9000), FilePos(14000), FilePos(20000)}) {
        f.typeHex(pos, 0x5A);
        f.key(kCharEnter);
        expected[pos] = 0x5A;
    }
    EXPECT_EQ(f.current(), expected);
    std::copy(src.begin(), src.end(), expected.begin() + 777);
    f.cursorTo(777);
    f.choose("/data/src.bin");
    f.io.resetCounts();
    EXPECT_EQ(pasteFile(f.app), 0);
    f.endCommand();
    // 14 pairs, the Main File's in 5 blocks: 9 reads of it in all, where
    // reading pair by pair took 14.
    EXPECT_LE(f.io.readsOf(f.app.main.mainHandle), 9u);
    EXPECT_EQ(f.current(), expected);
    undoLastCommand(f.app);
    f.endCommand();
    std::copy(f.original.begin() + 777, f.original.begin() + 777 + 13000, expected.begin() + 777);
    for (FilePos pos : {FilePos(2100), FilePos(9000)}) expected[pos] = 0x5A;
    EXPECT_EQ(f.current(), expected);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

TEST(AppendFile, WritesAfterTheEndWithoutJournalAndPutsTheModesBack) {
    PasteFileFixture f(1500, 3, false);
    f.app.settings.messageSwitches |= kMsgPasteEnlarge | kMsgEnlargeDecrease | kMsgSavePage;
    const std::uint32_t switches = f.app.settings.messageSwitches;
    const std::vector<std::uint8_t> src = sourceBytes(2100);
    f.createFile("/data/src.bin", src);
    f.choose("/data/src.bin");
    EXPECT_EQ(appendOtherFile(f.app), 0);
    f.endCommand();
    std::vector<std::uint8_t> expected = f.original;
    expected.insert(expected.end(), src.begin(), src.end());
    EXPECT_EQ(f.mainBytes(), expected);
    EXPECT_TRUE(f.platform.questions.empty());
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.recordCount(), 0u);
    EXPECT_EQ(f.app.settings.undoOptions, 3u);
    EXPECT_EQ(f.app.shell.accessFlags & kAccessDirect, 0u);
    EXPECT_EQ(f.app.settings.messageSwitches, switches);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

// Direct access without undo writes runs of whole pairs in big blocks; pages
// that hold journal records in between still show the pasted bytes, and a
// source that fails after the first block stops the paste with one message.
TEST(PasteFile, DirectAccessWithoutUndoWritesBigBlocks) {
    constexpr FilePos kSize = 6000 * 512;
    PasteFileFixture f(kSize, 3, false);
    for (FilePos pos : {FilePos(2500 * 512 + 7), FilePos(4500 * 512 + 600)}) {
        f.typeHex(pos, 0x42);
        f.key(kCharEnter);
    }
    f.app.settings.undoOptions = 0;
    f.app.shell.accessFlags |= kAccessDirect;
    const std::vector<std::uint8_t> src = sourceBytes(kSize - 1000);
    f.createFile("/data/src.bin", src);
    std::vector<std::uint8_t> expected(f.original.begin(), f.original.begin() + 300);
    expected.insert(expected.end(), src.begin(), src.end());
    expected.insert(expected.end(), f.original.end() - 700, f.original.end());

    f.choose("/data/src.bin");
    f.cursorTo(300);
    f.io.resetCounts();
    EXPECT_EQ(pasteFile(f.app), 0);
    f.endCommand();
    EXPECT_GE(f.io.largestRead, 1u << 20);
    EXPECT_EQ(f.current(), expected);
    EXPECT_EQ(f.mainBytes(), expected);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);

    // The source becomes unreadable after the first block.
    f.createFile("/data/src.bin", std::vector<std::uint8_t>(src.size(), 0x77));
    f.choose("/data/src.bin");
    f.cursorTo(300);
    const int at = f.platform.polls + 2;
    f.platform.onPoll = [&] {
        if (f.platform.polls == at) f.io.failRead["/data/src.bin"] = {21, ENXIO};  // the device is gone
    };
    EXPECT_EQ(pasteFile(f.app), 1);
    f.endCommand();
    ASSERT_EQ(f.platform.texts.size(), 1u);
    EXPECT_EQ(f.platform.texts[0], "Error reading /data/src.bin");
    const std::vector<std::uint8_t> now = f.current();
    EXPECT_EQ(now[1500], 0x77);
    EXPECT_EQ(now[kSize - 800], expected[kSize - 800]);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

}  // namespace
}  // namespace quorby::testing
