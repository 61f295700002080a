// A Journal File of 100000 records, one for every even page of a Main File of
// 200000 pages, navigated from end to end with the record-header reads counted.
#include "state/progress.h"
#include "tests/document/assembly_fixture.h"

namespace quorby::test {
namespace {

constexpr FilePos kPages = 200000;
constexpr FilePos kRecords = kPages / 2;

class LargeJournal : public AssemblyTest {
protected:
    void SetUp() override {
        openFiles(kPages * 512);
        // Appended in address order, record k holds page 2k.
        FilePos last = kEmptyPtr;
        for (FilePos k = 0; k < kRecords; ++k) {
            JournalRecord r = pageRecord(2 * k * 512, std::uint8_t(k), kFlagInEffect | kFlagUnwritten);
            r.prevPtr = last;
            ASSERT_EQ(appendNewPage(app.journal, r), 0);
            ASSERT_EQ(r.jAdr, recordPosition(k));
            last = r.jAdr;
        }
    }

    static bool hasRecord(FilePos page) { return page % 2 == 0 && page < kPages; }
    static FilePos recordOf(FilePos page) { return recordPosition(page / 2); }

    // The pair at `page` against the arithmetic of the layout.
    void expectPair(FilePos page) {
        const PageRecords& r = app.records;
        ASSERT_EQ(app.view.pagePos, page * 512);
        FilePos prev = page == 0 ? kPages : (page - 1) % 2 == 0 ? page - 1 : page - 2;
        if (page < 2 && !hasRecord(prev)) prev = kPages;
        if (prev < kPages) {
            ASSERT_EQ(r.jPrevPtr, recordOf(prev)) << page;
            ASSERT_EQ(r.jPrevAdr, prev * 512) << page;
        } else {
            ASSERT_TRUE(isEmptyPtr(r.jPrevPtr)) << page;
        }
        const FilePos next = (page + 2) % 2 == 0 ? page + 2 : page + 3;
        if (next < kPages) {
            ASSERT_EQ(r.jNextPtr, recordOf(next)) << page;
            ASSERT_EQ(r.jNextAdr, next * 512) << page;
        } else {
            ASSERT_TRUE(isEmptyPtr(r.jNextPtr)) << page;
        }
        for (int half = 0; half < 2; ++half) {
            const FilePos p = page + half;
            const bool shown = half == 0 || p < kPages;
            ASSERT_EQ(((r.jReadFlag >> half) & 1) != 0, shown && hasRecord(p)) << page;
            if (shown && hasRecord(p)) {
                ASSERT_EQ(r.jData[half].jAdr, recordOf(p)) << page;
                ASSERT_EQ(app.view.pageBuffer[half * 512 + 7], std::uint8_t(p / 2)) << page;
            } else if (shown) {
                ASSERT_EQ(app.view.pageBuffer[half * 512 + 7], mainByte(p * 512 + 7)) << page;
            }
        }
    }

    std::uint64_t moveTo(FilePos page) {
        io.resetCounts();
        EXPECT_EQ(loadPagePair(app, page * 512), 0);
        return journalHeaderReads();
    }
};

TEST_F(LargeJournal, NavigatedFromEndToEndReadsAtMostOneHeaderPerPageMoved) {
    moveTo(0);
    expectPair(0);
    std::uint64_t total = 0, most = 0;
    for (FilePos page = 1; page < kPages; ++page) {
        const std::uint64_t headers = moveTo(page);
        total += headers;
        most = std::max(most, headers);
        expectPair(page);
        if (HasFatalFailure()) return;
    }
    std::printf("forward by one page, %llu moves: %llu record headers, at most %llu per move\n",
                (unsigned long long)(kPages - 1), (unsigned long long)total, (unsigned long long)most);
    EXPECT_LE(most, 1u);
    EXPECT_LE(total, kRecords);

    total = most = 0;
    for (FilePos page = kPages - 2; page + 2 > 0; page -= 2) {
        const std::uint64_t headers = moveTo(page);
        total += headers;
        most = std::max(most, headers);
        expectPair(page);
        if (HasFatalFailure()) return;
    }
    std::printf("backward by two pages, %llu moves: %llu record headers, at most %llu per move\n",
                (unsigned long long)(kPages / 2 - 1), (unsigned long long)total, (unsigned long long)most);
    EXPECT_LE(most, 2u);

    // File end and file begin enter the chain at its ends.
    EXPECT_LE(moveTo(kPages - 1), 4u);
    expectPair(kPages - 1);
    EXPECT_LE(moveTo(0), 4u);
    expectPair(0);
}

TEST_F(LargeJournal, AJumpAcrossHalfTheRecordsScansWithTheBannerAndEscStopsWhereItStands) {
    moveTo(0);
    const std::uint64_t headers = moveTo(100001);
    expectPair(100001);
    std::printf("jump over 50000 records: %llu record headers\n", (unsigned long long)headers);
    EXPECT_GE(headers, 50000u);
    EXPECT_LE(headers, 50004u);
    EXPECT_NE(platform.row(kBannerTopRow).find("SCAN JOURNAL-FILE"), std::string::npos);
    EXPECT_GT(platform.polls, 40000);

    // ESC during the next scan, and Yes to "Shall this Action be interrupted ?".
    moveTo(0);
    platform.escAtPoll = {platform.polls + 1000};
    platform.boxAnswers = {MsgAnswer::Yes};
    platform.boxes.clear();
    io.resetCounts();
    EXPECT_EQ(loadPagePair(app, 190001 * 512), 0);
    ASSERT_EQ(platform.boxes.size(), 1u);  // the question of the progress banner
    const FilePos stood = app.view.pagePos / 512;
    EXPECT_GT(stood, 1500u);
    EXPECT_LT(stood, 3000u);
    EXPECT_LT(journalHeaderReads(), 1100u);
    expectPair(stood);

    // No answer Yes: the scan goes on to its end.
    platform.escAtPoll = {platform.polls + 10};
    platform.boxAnswers = {MsgAnswer::No};
    moveTo(120001);
    expectPair(120001);
}

}  // namespace
}  // namespace quorby::test
