#include <cerrno>
#include <algorithm>
#include <cstring>

#include "state/error_report.h"
#include "filemenu/open_close.h"
#include "document/main_file.h"
#include "document/page_assembly.h"
#include "tests/document/store_fixture.h"

namespace quorby::test {
namespace {

class PageReadTest : public StoreTest {
protected:
    // Opens `path` and dirties the view, so every read must reset its share.
    void openDirty(const std::string& path) {
        ASSERT_EQ(openMainFile(app, path), 0);
        std::memset(app.view.pageBuffer, 0xAA, sizeof app.view.pageBuffer);
        std::memset(app.view.changedBits, 0xFF, sizeof app.view.changedBits);
        app.view.halfDirty[0] = app.view.halfDirty[1] = true;
        app.view.viewOffset = 496;
    }
};

TEST_F(PageReadTest, PairLengthFollowsTheFileEnd) {
    struct Case { std::size_t size; std::uint32_t first, second; FilePos mid; };
    for (const Case& c : {Case{0, 0, 0, kEmptyPtr}, Case{5, 5, 0, kEmptyPtr}, Case{512, 512, 0, 512},
                          Case{700, 512, 188, 512}, Case{3000, 512, 512, 512}}) {
        SCOPED_TRACE(c.size);
        auto bytes = patternBytes(c.size, std::uint32_t(c.size));
        openDirty(writeFile("f" + std::to_string(c.size), bytes));
        ASSERT_EQ(readPagePair(app, 0), 0);
        std::size_t valid = c.first + c.second;
        EXPECT_EQ(app.view.firstPageCount, c.first);
        EXPECT_EQ(app.view.secondPageCount, c.second);
        EXPECT_EQ(app.view.pageLength, valid);
        EXPECT_EQ(app.view.midPtr, c.mid);
        EXPECT_EQ(shown(0, valid), slice(bytes, 0, valid));
        EXPECT_EQ(shown(valid, 1024 - valid), std::vector<std::uint8_t>(1024 - valid, 0));  // nothing left over
        EXPECT_EQ(std::count(app.view.changedBits, app.view.changedBits + 128, 0), 128);
        EXPECT_FALSE(app.view.halfDirty[0] || app.view.halfDirty[1]);
        EXPECT_EQ(app.view.viewOffset, c.first < 512 ? 0u : 496u);  // a short first page ends the pair
    }
}

TEST_F(PageReadTest, APairIsOneReadFromItsPagePosition) {
    auto bytes = patternBytes(3000, 5);
    openDirty(writeFile("one-read", bytes));
    io.logEvents = true;
    struct Case { FilePos pos; std::uint32_t length; };
    // Whole pairs (one from a position inside a page), a short second page,
    // a short first page, and beyond the end.
    for (const Case& c : {Case{0, 1024}, Case{1100, 1024}, Case{1536, 1024}, Case{2048, 952}, Case{2600, 440},
                          Case{3072, 0}}) {
        SCOPED_TRACE(c.pos);
        io.resetCounts();
        ASSERT_EQ(readPagePair(app, c.pos), 0);
        EXPECT_EQ(io.readsOf(app.main.mainHandle), 1u);
        ASSERT_EQ(io.events.size(), 1u);
        EXPECT_EQ(io.events[0].pos, c.pos & ~FilePos(511));  // whole sectors of a drive
        EXPECT_EQ(io.events[0].length, 1024u);
        EXPECT_EQ(app.view.pageLength, c.length);
        const std::size_t from = std::size_t(c.pos & ~FilePos(511));
        EXPECT_EQ(shown(0, c.length), slice(bytes, std::min(from, bytes.size()), c.length));
        EXPECT_EQ(shown(c.length, 1024 - c.length), std::vector<std::uint8_t>(1024 - c.length, 0));
    }

    // A sector that fails: the read, its retry, then each half alone; the
    // readable half is shown, the other is unreadable, nothing is reported.
    io.resetCounts();
    io.failReadAt = 800;
    EXPECT_EQ(readPagePair(app, 0), 0);
    EXPECT_EQ(io.readsOf(app.main.mainHandle), 4u);
    EXPECT_EQ(platform.boxes.size(), 0u);
    EXPECT_EQ(app.view.secondPageCount, 512u);
    EXPECT_FALSE(app.view.unreadableHalf[0]);
    EXPECT_TRUE(app.view.unreadableHalf[1]);
    EXPECT_EQ(shown(0, 512), slice(bytes, 0, 512));
    EXPECT_EQ(shown(512, 512), std::vector<std::uint8_t>(512, 0));
    // Known now: read again without touching it.
    io.resetCounts();
    EXPECT_EQ(readPagePair(app, 0), 0);
    EXPECT_EQ(io.readsOf(app.main.mainHandle), 1u);
    EXPECT_TRUE(app.view.unreadableHalf[1]);
}

TEST_F(PageReadTest, PositionsAboveFourGiBOnASparseFile) {
    const FilePos fourGiB = FilePos(1) << 32, size = fourGiB + 1024 + 700;
    std::string path = writeFile("sparse", {});
    ASSERT_EQ(truncate(path.c_str(), off_t(size)), 0);
    auto marks = patternBytes(1724, 7);
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_EQ(pwrite(fd, marks.data(), marks.size(), off_t(fourGiB)), ssize_t(marks.size()));
    ::close(fd);

    openDirty(path);
    EXPECT_EQ(app.main.fileSize, size);
    EXPECT_EQ(app.main.lastBytePos, size - 1);
    ASSERT_EQ(loadPagePair(app, fourGiB + 100), 0);  // taken to its page
    EXPECT_EQ(app.view.pagePos, fourGiB);
    EXPECT_EQ(app.view.midPtr, fourGiB + 512);
    EXPECT_EQ(shown(0, 1024), slice(marks, 0, 1024));

    ASSERT_EQ(readPagePair(app, fourGiB + 1024), 0);  // the last pair
    EXPECT_EQ(app.view.pageLength, 700u);
    EXPECT_EQ(shown(0, 700), slice(marks, 1024, 700));
    ASSERT_EQ(readPagePair(app, size + 4096), 0);  // beyond the end: empty, not an error
    EXPECT_EQ(app.view.pageLength, 0u);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PageReadTest, SingleHalvesAreReadAgainWithoutTouchingTheOther) {
    auto bytes = patternBytes(2048, 3);
    std::string path = writeFile("halves", bytes);
    ASSERT_EQ(openMainFile(app, path), 0);
    ASSERT_EQ(readPagePair(app, 1024), 0);
    std::memset(app.view.pageBuffer, 0x11, 1024);
    app.view.setChanged(3);
    app.view.setChanged(600);

    ASSERT_EQ(readSecondPage(app), 0);
    EXPECT_EQ(shown(0, 512), std::vector<std::uint8_t>(512, 0x11));
    EXPECT_EQ(shown(512, 512), slice(bytes, 1536, 512));
    EXPECT_TRUE(app.view.changed(3));
    EXPECT_FALSE(app.view.changed(600));

    app.view.setChanged(600);
    ASSERT_EQ(readFirstPage(app), 0);
    EXPECT_EQ(shown(0, 512), slice(bytes, 1024, 512));
    EXPECT_FALSE(app.view.changed(3));
    EXPECT_TRUE(app.view.changed(600));
    EXPECT_EQ(app.view.pageLength, 1024u);

    ASSERT_EQ(truncate(path.c_str(), 1024 + 100), 0);  // shrunk under the view
    ASSERT_EQ(readFirstPage(app), 0);
    EXPECT_EQ(app.view.pageLength, 100u);
    EXPECT_EQ(app.view.midPtr, kEmptyPtr);
}

TEST_F(PageReadTest, AFailedReadIsReportedAndKeepsWhatArrived) {
    auto bytes = patternBytes(1024, 9);
    std::string path = writeFile("failing", bytes);
    ASSERT_EQ(openMainFile(app, path), 0);

    // Not a failing sector but a file that refuses to be read: reported.
    io.ioError = {30, EACCES};
    io.failReadAt = 600;  // inside the second page
    EXPECT_EQ(readPagePair(app, 0), 1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Error reading " + path);
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::OkCancel);
    ASSERT_NE(messageTableText(30), nullptr);
    EXPECT_EQ(platform.boxes[0].caption, messageTableText(30));
    EXPECT_EQ(app.view.pageLength, 600u);
    EXPECT_EQ(shown(0, 600), slice(bytes, 0, 600));

    io.failReadAt = 100;  // inside the first page: the pair ends there
    EXPECT_EQ(readPagePair(app, 0), 1);
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(app.view.pageLength, 100u);
    EXPECT_EQ(app.view.midPtr, kEmptyPtr);

    EXPECT_EQ(closeMainFile(app), 0);  // no Main File: nothing to read, nothing to report
    EXPECT_EQ(readPagePair(app, 0), 1);
    EXPECT_EQ(app.view.pageLength, 0u);
    EXPECT_EQ(platform.boxes.size(), 2u);
}

}  // namespace
}  // namespace quorby::test
