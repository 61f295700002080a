#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "journal/command_commit.h"
#include "tests/journal/journal_fixture.h"

namespace quorby::testing {
namespace {

void setU64(std::vector<std::uint8_t>& b, std::size_t off, std::uint64_t v) { storeU64(b.data() + off, v); }
void setU32(std::vector<std::uint8_t>& b, std::size_t off, std::uint32_t v) { storeU32(b.data() + off, v); }

std::string failedInvariants(const std::string& text) {
    std::string found;
    for (std::size_t at = text.find("FAIL invariant "); at != std::string::npos;
         at = text.find("FAIL invariant ", at + 1)) {
        char n = text[at + 15];
        if (found.find(n) == std::string::npos) found += n;
    }
    return found;
}

// Pages 0x000, 0x400 and 0x800 at 400, 680 and 900, and a newer version of
// page 0x400 at B80.
struct SmallJournal : JournalFixture {
    SmallJournal() {
        addPage(0x000, 1);
        FilePos mid = addPage(0x400, 2);
        addPage(0x800, 3);
        addVersion(mid, 4);
        EXPECT_EQ(commitCommand(jf), 0);
    }
};

TEST(JournalDump, EachInvariantIsReportedByItsNumber) {
    struct Case {
        const char* what;
        char invariant;
        const char* mention;
        void (*damage)(std::vector<std::uint8_t>&);
    };
    const Case cases[] = {
        {"older magic", '1', "older format (up to version 2.19y)",
         [](auto& b) { setU32(b, kHdrMagic, kJournalMagicUpTo219y); }},
        {"cut-short tail", '2', "100 bytes after the last whole record",
         [](auto& b) { b.resize(b.size() + 100, 0xEE); }},
        {"misaligned PUndo", '3', "record 400 PUndo = 500 is not 1024 + 640 k",
         [](auto& b) { setU64(b, 0x400 + kRecPUndo, 0x500); }},
        {"pointer past the end", '3', "header SavedJAdr = E00 lies beyond the last whole record",
         [](auto& b) { setU64(b, kHdrSavedJAdr, 0xE00); }},
        {"missing back link", '4', "record 680 has PrevPtr -, but the chain reached it from 400",
         [](auto& b) { setU64(b, 0x680 + kRecPrevPtr, kEmptyPtr); }},
        {"falling MainAdr", '4', "not strictly increasing",
         [](auto& b) { setU64(b, 0x900 + kRecMainAdr, 0x200); }},
        {"LastPtr short of the end", '4', "LastPtr is 680, but the chain ends at 900",
         [](auto& b) { setU64(b, kHdrLastPtr, 0x680); }},
        {"First empty, LastPtr set", '4', "First is - but LastPtr is 900",
         [](auto& b) { setU64(b, kHdrFirst, kEmptyPtr); }},
        {"one-way version link", '5', "record 680 has NJnl B80, whose PJnl is -",
         [](auto& b) { setU64(b, 0xB80 + kRecPJnl, kEmptyPtr); }},
        {"version of another page", '5', "belong to different pages",
         [](auto& b) { setU64(b, 0xB80 + kRecMainAdr, 0x1000); }},
        {"anz above a page", '6', "record 900 has anz 513", [](auto& b) { setU32(b, 0x900 + kRecAnz, 513); }},
        {"page without bytes", '6', "record 680 has anz 0", [](auto& b) { setU32(b, 0x680 + kRecAnz, 0); }},
        {"Undo without FirstUndo", '7', "Undo = 900 but FirstUndo is empty",
         [](auto& b) { setU64(b, kHdrFirstUndo, kEmptyPtr); }},
    };
    SmallJournal j;
    DumpResult clean = j.dump();
    ASSERT_EQ(clean.status, kDumpAllHold) << clean.text;
    const std::vector<std::uint8_t> good = j.bytes();
    for (const Case& c : cases) {
        j.bytes() = good;
        c.damage(j.bytes());
        DumpResult d = j.dump();
        EXPECT_EQ(d.status, kDumpInvariantFailed) << c.what << "\n" << d.text;
        EXPECT_EQ(failedInvariants(d.text), std::string(1, c.invariant)) << c.what << "\n" << d.text;
        EXPECT_TRUE(d.mentions(c.mention)) << c.what << "\n" << d.text;
    }
}

TEST(JournalDump, ShowsRecordStateAndRefusesWhatIsNoJournal) {
    SmallJournal j;
    // A record whose content is the Main File's and one without a valid map.
    setU32(j.bytes(), 0x400 + kRecFlag, kFlagInEffect | kFlagShowMainFile);
    setU32(j.bytes(), 0x900 + kRecFlag, kFlagInEffect | kFlagNoChangeMap);
    setU32(j.bytes(), 0x680 + kRecAnz, 3);  // short page: of the 4 marked bytes 3 are valid
    DumpResult d = j.dump();
    EXPECT_EQ(d.status, kDumpAllHold) << d.text;
    EXPECT_TRUE(d.mentions("MainName    \"/home/u/x.bin\""));
    EXPECT_TRUE(d.mentions("length      3584 bytes, 4 records"));
    EXPECT_TRUE(d.mentions("00400100       4  main-file")) << d.text;
    EXPECT_TRUE(d.mentions(" 512 00000120  no-map")) << d.text;
    EXPECT_TRUE(d.mentions("   3 00000104       3\n")) << d.text;

    j.bytes().resize(500);
    d = j.dump();
    EXPECT_EQ(d.status, kDumpInvariantFailed);
    EXPECT_TRUE(d.mentions("fewer than the 1024-byte header"));

    d = runDump(j.io, "/nowhere.jnl");
    EXPECT_EQ(d.status, kDumpUnreadable);
    EXPECT_TRUE(d.mentions("ERROR cannot open /nowhere.jnl"));
}

TEST(JournalDump, CommandLine) {
    SmallJournal j;
    std::string arg0 = "--journal-dump";
    char* argv[] = {arg0.data(), j.path.data()};
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(runJournalDump(j.io, 2, argv, out), kDumpAllHold);
    std::rewind(out);
    std::string text(8192, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), out));
    std::fclose(out);
    EXPECT_NE(text.find("address chain: 3 pages, MainAdr 0 .. 800"), std::string::npos) << text;
    EXPECT_NE(text.find("result: all invariants hold"), std::string::npos);

    EXPECT_EQ(runJournalDump(j.io, 1, argv, stdout), kDumpUnreadable);
}

// The records of a journal lie in the order the pages were stored, the
// address chain in the order of the pages: two passes over every other page
// make a chain that steps back and forth, pages stored in no order one that
// jumps about. The check reads such a journal in a few times its length
// (not a block per record) and finds its chain whole, or its broken link.
TEST(JournalDump, ReadsAChainThatJumpsAboutInAFewTimesTheFilesLength) {
    constexpr FilePos kPages = 4000;
    for (const bool shuffled : {false, true}) {
        const char* const layout = shuffled ? "pages stored in no order" : "two passes";
        JournalFixture f;
        std::vector<FilePos> pages;
        for (FilePos p = 0; p < kPages; p += 2) pages.push_back(p);
        for (FilePos p = 1; p < kPages; p += 2) pages.push_back(p);
        if (shuffled) std::shuffle(pages.begin(), pages.end(), std::mt19937(7));
        std::map<FilePos, FilePos> stored;  // page position -> its record
        for (const FilePos page : pages) {
            JournalRecord r;
            r.mainAdr = page * 512;
            r.anz = 512;
            r.flag = kFlagInEffect | kFlagUnwritten;
            std::memset(r.data, int(page), sizeof r.data);
            r.changeMap[0] = 0x0F;
            const auto above = stored.upper_bound(r.mainAdr);
            r.nextPtr = above == stored.end() ? kEmptyPtr : above->second;
            r.prevPtr = above == stored.begin() ? kEmptyPtr : std::prev(above)->second;
            ASSERT_EQ(appendNewPage(f.jf, r), 0) << layout;
            stored[r.mainAdr] = r.jAdr;
        }
        ASSERT_EQ(commitCommand(f.jf), 0);
        const std::uint64_t length = f.bytes().size();
        ASSERT_EQ(length, kJournalHeaderSize + kPages * kJournalRecordSize);
        const std::uint64_t before = f.io.bytesRead;
        DumpResult d = f.dump();
        EXPECT_EQ(d.status, kDumpAllHold) << layout << d.text.substr(d.text.size() - 400);
        EXPECT_TRUE(d.mentions("address chain: 4000 pages, MainAdr 0 .. 1F3E00")) << layout;
        // Two passes need each record once more; no order, a few records per read.
        EXPECT_LT(f.io.bytesRead - before, (shuffled ? 12 : 3) * length) << layout;

        // The link back from page 2001 names page 1999 instead of 2000.
        setU64(f.bytes(), stored[2001 * 512] + kRecPrevPtr, stored[1999 * 512]);
        d = f.dump();
        EXPECT_EQ(failedInvariants(d.text), "4") << layout;
        char wrongLink[40];
        std::snprintf(wrongLink, sizeof wrongLink, "has PrevPtr %llX,", (unsigned long long)stored[1999 * 512]);
        EXPECT_TRUE(d.mentions(wrongLink)) << layout << d.text;
    }
}

}  // namespace
}  // namespace quorby::testing
