// Bad input for the bulk changes: a source file that fails or disappears
// while it is pasted, a drive that fills up during a paste or an
// enlargement. Each stops with one message, keeps what was done as one
// undoable change and leaves a Journal File whose invariants hold.
#include "tests/edit/edit_fixture.h"

#include <string>
#include <vector>

#include "edit/file_size.h"
#include "edit/paste_file.h"
#include "edit/undo_commands.h"

namespace quorby::testing {
namespace {

constexpr FilePos kMainSize = 40 * 512;
constexpr FilePos kSourceSize = 30 * 512;
constexpr FilePos kStart = 1000;
const std::string kSource = "/data/src.bin";

struct FailureFixture : EditFixture {
    explicit FailureFixture(bool direct) : EditFixture(kMainSize, 3, direct) {
        app.settings.messageSwitches = 0;
        for (FilePos i = 0; i < kSourceSize; ++i) source.push_back(std::uint8_t(0xC0 ^ i));
        createFile(kSource, source);
        platform.fileAnswers.push_back({true, kSource, false});
        cursorTo(kStart);
    }
    std::vector<std::uint8_t> source;

    // `what` happens just before page pair `n` (1-based) of the paste is read.
    void atPair(int n, std::function<void()> what) {
        const int at = platform.polls + n - 1;
        platform.onPoll = [this, at, what] {
            if (platform.polls == at) what();
        };
    }
    std::vector<std::uint8_t> current() {
        std::vector<std::uint8_t> bytes;
        for (FilePos p = 0; p < app.main.fileSize; ++p) bytes.push_back(shown(p));
        return bytes;
    }
    // The Main File's bytes with the source's first `count` bytes at kStart.
    std::vector<std::uint8_t> pasted(FilePos count) {
        std::vector<std::uint8_t> b = original;
        std::copy(source.begin(), source.begin() + std::ptrdiff_t(count), b.begin() + std::ptrdiff_t(kStart));
        return b;
    }
    std::vector<std::string> messagesStartingWith(const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& t : platform.texts)
            if (t.rfind(prefix, 0) == 0) found.push_back(t);
        return found;
    }
};

// The pairs before pair `n` hold the source's bytes up to their end (the
// first pair starts at the page of kStart).
constexpr FilePos pastedBeforePair(int n) { return 512 + FilePos(n - 1) * 1024 - kStart; }
// In journal access the paste reads its source in blocks, here of two
// pairs: the fifth pair starts the third block, whose read fails. In direct
// access with undo the whole pairs after the first go as one run: its first
// pair fails.
int failingPair(bool direct) { return direct ? 2 : 5; }
constexpr std::uint32_t kTwoPairBlocks = 2 * 1024;

TEST(BulkFailure, ASourceThatFailsOrDisappearsMidwayStopsThePaste) {
    for (bool direct : {false, true}) {
        for (bool disappears : {false, true}) {
            SCOPED_TRACE(std::string(direct ? "direct" : "journal") + (disappears ? ", disappears" : ", fails"));
            FailureFixture f(direct);
            f.app.buffers.batches.pasteReadBlock = kTwoPairBlocks;
            f.atPair(failingPair(direct), [&] {
                if (disappears) f.io.files.erase(kSource);
                else f.io.failRead[kSource] = {21, ENXIO};  // its device is gone
            });
            EXPECT_EQ(pasteFile(f.app), 1);
            f.endCommand();
            EXPECT_EQ(f.messagesStartingWith("Error reading " + kSource).size(), 1u);
            EXPECT_EQ(f.platform.boxes.size(), 1u);
            EXPECT_EQ(f.current(), f.pasted(pastedBeforePair(failingPair(direct))));
            EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
            undoLastCommand(f.app);
            f.endCommand();
            EXPECT_EQ(f.current(), f.original);
            if (direct) {
                EXPECT_EQ(f.mainBytes(), f.original);
            }
        }
    }
}

TEST(BulkFailure, AFullDriveDuringAPasteStopsItWithOneMessage) {
    for (bool direct : {false, true}) {
        SCOPED_TRACE(direct ? "direct" : "journal");
        FailureFixture f(direct);
        // Room for the records of one pair at a time: the fifth pair's finds
        // the drive full.
        f.app.journal.appendRoom = 2 * kJournalRecordSize;
        f.atPair(failingPair(direct), [&] { f.io.failWrites = true; });
        EXPECT_EQ(pasteFile(f.app), 1);
        f.io.failWrites = false;
        f.endCommand();
        const std::vector<std::string> full = f.messagesStartingWith("Error writing ");
        EXPECT_EQ(full.size(), 1u);
        EXPECT_EQ(f.platform.boxes.size(), 1u);
        ASSERT_FALSE(f.platform.boxes.empty());
        EXPECT_EQ(f.platform.boxes[0].caption, "Drive full !");
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
        // What was pasted before the drive filled stays, and goes again with one undo.
        EXPECT_EQ(f.current(), f.pasted(pastedBeforePair(failingPair(direct))));
        undoLastCommand(f.app);
        f.endCommand();
        EXPECT_EQ(f.current(), f.original);
        EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    }
}

TEST(BulkFailure, AnEnlargementThatFailsPastesNothing) {
    // Direct access without undo: the journal's check does not ask first.
    FailureFixture f(true);
    f.app.settings.undoOptions = 0;
    f.cursorTo(kMainSize - 100);
    const std::uint64_t records = f.recordCount();

    // Too little room for the added bytes: the space message, nothing else.
    f.io.space = {kSourceSize - 100, FilePos{1} << 40};
    EXPECT_EQ(pasteFile(f.app), 1);
    f.endCommand();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].caption, "Not enough free Space !");
    EXPECT_EQ(f.mainBytes(), f.original);

    // In journal access with undo, the file system refuses the size:
    // "Error !" with the Main File's name.
    f.app.settings.undoOptions = 3;
    f.app.shell.accessFlags &= ~std::uint32_t(kAccessDirect);
    f.io.space = {FilePos{1} << 40, FilePos{1} << 41};
    f.io.failSetSize = {1106, EFBIG};
    f.platform.fileAnswers.push_back({true, kSource, false});
    EXPECT_EQ(pasteFile(f.app), 1);
    f.endCommand();
    ASSERT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.platform.boxes[1].text, "Error !" + f.mainPath);
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(f.app.main.fileSize, kMainSize);
    EXPECT_EQ(f.recordCount(), records);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);

    // Shortening that fails leaves size and journal as they were.
    f.typeHex(kMainSize - 10, 0x42);
    f.key(kCharEnter);
    EXPECT_EQ(resizeMainFile(f.app, 512), 1);
    f.endCommand();
    EXPECT_EQ(f.app.main.fileSize, kMainSize);
    EXPECT_EQ(f.shown(kMainSize - 10), 0x42);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
}

}  // namespace
}  // namespace quorby::testing
