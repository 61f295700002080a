// What long operations tell the window about their progress, through the
// batch mode: the way they go (from where to where), the positions they
// reach, that the report ends with the operation, and that ESC still stops
// them while they report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

constexpr unsigned long long kSize = 64ull << 20;  // 0x4000000
constexpr unsigned long long kTail = 4096;         // written bytes at the end

struct Progress {
    unsigned long long reports = 0, from = 0, to = 0, first = 0, last = 0;
    int percent = -1;
    std::string shown;
};

unsigned long long field(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(" " + name + "=");
    return at == std::string::npos ? ~0ull : std::strtoull(line.c_str() + at + name.size() + 2, nullptr, 0);
}

// The PROGRESS lines of a transcript, in order.
std::vector<Progress> progressLines(const std::string& transcript) {
    std::vector<Progress> found;
    for (std::size_t at = transcript.find("PROGRESS "); at != std::string::npos;
         at = transcript.find("PROGRESS ", at + 1)) {
        const std::string line = transcript.substr(at, transcript.find('\n', at) - at);
        Progress p;
        p.reports = field(line, "reports");
        p.from = field(line, "from");
        p.to = field(line, "to");
        p.first = field(line, "first");
        p.last = field(line, "last");
        p.percent = int(field(line, "percent"));
        p.shown = line.substr(line.find("shown=") + 6);
        found.push_back(p);
    }
    return found;
}

TEST(ProgressSession, SearchAndFindDifferencesReportTheirWayAndEscStillStopsThem) {
    TempDir dir;
    std::string tail(kTail, 'x');
    tail.replace(0, 6, "NEEDLE");  // at 0x3FFF000
    std::string other = tail;
    other[4000] = 'y';  // the difference at 0x3FFFFA0
    makeSparseFile(dir.file("a.bin"), kSize, tail);
    makeSparseFile(dir.file("b.bin"), kSize, other);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("a.bin") + "\n"
                                "print progress\n"
                                "search text NEEDLE\n"
                                "print progress\n"
                                "search text NEEDLE up\n"
                                "print progress\n"
                                "answer no\n"
                                "compare " + dir.file("b.bin") + "\n"
                                "key Ctrl+Home\n"
                                "differences\n"
                                "print progress\n"
                                "key Ctrl+Home\n"
                                "pending wait 5\n"
                                "pending key Escape\n"
                                "answer yes\n"
                                "differences\n"
                                "print progress\n"
                                "quit\n",
                                dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    EXPECT_NE(t.find("SEARCH FOUND 0x3FFF000"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE DIFFERENCE 0x3FFFFA0"), std::string::npos) << t;
    EXPECT_NE(t.find("COMPARE INTERRUPTED"), std::string::npos) << t;
    const std::vector<Progress> p = progressLines(t);
    ASSERT_EQ(p.size(), 5u) << t;

    // Opening the file is no long operation.
    EXPECT_EQ(p[0].reports, 0u) << t;

    // Forward from the first byte shown to the end of the file, block by
    // block (256 blocks of 256 KiB), up to the block with the match.
    EXPECT_EQ(p[1].from, 0u);
    EXPECT_EQ(p[1].to, kSize);
    EXPECT_EQ(p[1].first, 0u);
    EXPECT_GE(p[1].reports, 250u) << t;
    EXPECT_GE(p[1].last, kSize - 0x80000) << t;
    EXPECT_LE(p[1].last, 0x3FFF000u) << t;
    EXPECT_GE(p[1].percent, 99) << t;
    EXPECT_EQ(p[1].shown, "no") << "the report ends with the search";

    // Backward from just past the last match (the search goes on from it)
    // down to the start of the file; the match is in the first block.
    EXPECT_EQ(p[2].from, 0x3FFF001u) << t;
    EXPECT_EQ(p[2].to, 0u) << t;
    EXPECT_EQ(p[2].shown, "no");

    // Find Differences from just after the shown bytes to the end.
    EXPECT_EQ(p[3].from, 0x200u) << t;
    EXPECT_EQ(p[3].to, kSize) << t;
    EXPECT_GE(p[3].reports, 250u) << t;
    EXPECT_GE(p[3].last, kSize - 0x80000) << t;
    EXPECT_LE(p[3].last, 0x3FFFFA0u) << t;
    EXPECT_EQ(p[3].shown, "no");

    // Stopped with ESC after a few blocks: the report ends where it stopped.
    EXPECT_EQ(p[4].from, 0x200u) << t;
    EXPECT_EQ(p[4].to, kSize) << t;
    EXPECT_GE(p[4].reports, 5u) << t;
    EXPECT_LT(p[4].reports, 20u) << t;
    EXPECT_LT(p[4].last, 0x800000u) << t;
    EXPECT_LT(p[4].percent, 15) << t;
    EXPECT_EQ(p[4].shown, "no");
}

}  // namespace
}  // namespace quorby::e2e
