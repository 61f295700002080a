// The index checks over the writer's layout: what the report says, what a
// repair changes, and damaged indexes.
#include <gtest/gtest.h>

#include <random>

#include "avi/index_check.h"
#include "avi/structure_walk.h"
#include "tests/avi/avi_files.h"

namespace quorby {
namespace {

using test::BuiltAvi;
using test::posLine;

// The program around the checks: the file in memory, repairs written into
// it, scripted answers and stops.
struct TestPort : IndexCheckPort {
    std::vector<std::uint8_t> bytes;
    test::MemoryContent memory{bytes};
    struct Report : test::StringReport {
        int stopAfter = -1;  // stop requests answered No before the one that stops
        int stops = 0;       // stops to give
        bool stopRequested() override {
            if (stops == 0) return false;
            if (stopAfter-- > 0) return false;
            --stops;
            stopAfter = 0;
            return true;
        }
    } text;
    std::vector<bool> answers;  // to the questions, in order; Yes when none is left
    int questions = 0;
    std::vector<std::pair<FilePos, std::uint32_t>> stored;
    int flushes = 0;

    explicit TestPort(std::vector<std::uint8_t> b) : bytes(std::move(b)) {}
    RiffContent& content() override { return memory; }
    AviReport& report() override { return text; }
    void flush() override { ++flushes; }
    bool goOnAfterError() override {
        const int k = questions++;
        return k < int(answers.size()) ? answers[std::size_t(k)] : true;
    }
    int storeBytes(FilePos pos, const std::uint8_t* b, std::uint32_t n) override {
        if (pos + n > bytes.size()) return 1;
        std::memcpy(&bytes[pos], b, n);
        stored.push_back({pos, le32(b)});
        return 0;
    }
    AviFacts facts() {
        AviFacts f;
        ChunkCursor c;
        test::StringReport r;
        (void)listStructure(memory, c, f, r);
        return f;
    }
};

// The lines a super index check of the writer's file gives: per stream, the
// standard indexes it names.
std::string superLines(const BuiltAvi& f) {
    std::string s;
    for (int stream = 0; stream < 2; ++stream)
        for (std::size_t ix : f.ix[stream]) s += posLine(ix, stream == 0 ? "ix00" : "ix01");
    return s;
}

TEST(IndexCheck, WriterFileIsFoundInOrder) {
    BuiltAvi f = test::muxerAvi();
    TestPort port(f.b.bytes);
    const AviFacts facts = port.facts();
    CheckOutcome super = checkSuperIndexes(port, facts, {true, false});
    EXPECT_EQ(super.end, CheckEnd::Result);
    EXPECT_EQ(super.errors, 0u);
    EXPECT_EQ(port.text.text, superLines(f) + "      No Errors !\r\n");
    port.text.text.clear();
    CheckOutcome idx1 = checkIdx1(port, facts);
    EXPECT_EQ(idx1.end, CheckEnd::Result);
    EXPECT_EQ(port.text.text, "      No Errors !\r\n");
    EXPECT_EQ(port.questions, 0);

    // AVI 1.0, relative and absolute offsets; no super index: no lines at all.
    for (bool absolute : {false, true}) {
        BuiltAvi t = test::textbookAvi(absolute);
        TestPort p(t.b.bytes);
        const AviFacts tf = p.facts();
        EXPECT_EQ(checkSuperIndexes(p, tf, {true, false}).end, CheckEnd::NoResult);
        EXPECT_EQ(p.text.text, "");
        EXPECT_EQ(checkIdx1(p, tf).errors, 0u);
        EXPECT_EQ(p.text.text, "      No Errors !\r\n");
    }
}

TEST(IndexCheck, Idx1ReadsAPacketTheStandardIndexesFoundRightOnlyOnce) {
    BuiltAvi f = test::muxerAvi(40);
    const std::size_t idx1Entries = 80;  // the packets of the first movi list
    auto idx1Reads = [](TestPort& port, const AviFacts& facts, bool right) {
        const std::uint64_t before = port.memory.reads;
        port.text.text.clear();
        checkIdx1(port, facts, right);
        return port.memory.reads - before;
    };
    {
        TestPort port(f.b.bytes);
        const AviFacts facts = port.facts();
        CheckOutcome super = checkSuperIndexes(port, facts, {true, false});
        EXPECT_TRUE(super.standardIndexesRight);
        const std::uint64_t plain = idx1Reads(port, facts, false);
        const std::uint64_t known = idx1Reads(port, facts, true);
        EXPECT_EQ(port.text.text, "      No Errors !\r\n");
        EXPECT_LE(known + idx1Entries - 20, plain) << "the packets are not read again";
        EXPECT_FALSE(checkSuperIndexes(port, facts, {false, false}).standardIndexesRight)
            << "without the data indexes nothing was found right";
    }
    {
        // An idx1 entry 8 bytes off is still found, and so is a packet
        // whose id is wrong for both indexes (the standard index check then
        // found an error, so nothing is taken as right).
        BuiltAvi g = test::muxerAvi(40);
        g.b.set32(g.idx1 + 8 + 16 * 5 + 8, le32(&g.b.bytes[g.idx1 + 8 + 16 * 5 + 8]) + 8);
        std::memcpy(&g.b.bytes[g.packets[8].pos], "00xx", 4);
        TestPort port(g.b.bytes);
        const AviFacts facts = port.facts();
        CheckOutcome super = checkSuperIndexes(port, facts, {true, false});
        EXPECT_EQ(super.errors, 1u);
        EXPECT_FALSE(super.standardIndexesRight);
        port.text.text.clear();
        EXPECT_EQ(checkIdx1(port, facts, super.standardIndexesRight).errors, 2u);
        TestPort again(g.b.bytes);
        again.text.text.clear();
        EXPECT_EQ(checkIdx1(again, facts, true).errors, 1u) << "the wrong idx1 entry is read";
        EXPECT_NE(again.text.text.find("Wrong Data"), std::string::npos);
    }
}

TEST(IndexCheck, StandardIndexEntryEightBytesOffIsRepaired) {
    BuiltAvi f = test::muxerAvi();
    // The second video entry of the first standard index points 8 bytes too far.
    const std::size_t ix = f.ix[0][0];
    const std::size_t entry = ix + 32 + 8;
    f.b.set32(entry, le32(&f.b.bytes[entry]) + 8);
    const test::Packet& wanted = f.packets[2];  // the second video packet
    ASSERT_EQ(wanted.id, "00dc");

    TestPort plain(f.b.bytes);
    CheckOutcome out = checkSuperIndexes(plain, plain.facts(), {false, false});
    EXPECT_EQ(out.errors, 0u) << "without the data indexes only the super index is looked at";
    std::uint32_t errors = 0;
    plain.text.text.clear();
    EXPECT_EQ(checkStandardIndex(plain, ix, false, &errors), StandardIndexEnd::Done);
    EXPECT_EQ(errors, 1u);
    EXPECT_EQ(plain.text.text,
              posLine(wanted.pos + 8, "   Wrong Data !") + posLine(entry - 8, "   (Index Entry)"));
    EXPECT_TRUE(plain.stored.empty()) << "nothing is written unless repair was asked for";
    EXPECT_EQ(plain.questions, 1);

    TestPort repair(f.b.bytes);
    const AviFacts facts = repair.facts();
    out = checkSuperIndexes(repair, facts, {true, true});
    EXPECT_EQ(out.errors, 1u);
    const std::string expected = posLine(f.ix[0][0], "ix00") + posLine(wanted.pos + 8, "   Wrong Data !") +
                                 posLine(entry - 8, "   (Index Entry)") + "   Trying to repair    Success !\r\n";
    EXPECT_EQ(repair.text.text.substr(0, expected.size()), expected);
    ASSERT_EQ(repair.stored.size(), 1u);
    EXPECT_EQ(repair.stored[0].first, entry);
    EXPECT_EQ(repair.stored[0].second, wanted.pos + 8 - f.moviList[0]);
    EXPECT_EQ(repair.bytes, test::muxerAvi().b.bytes) << "the file is as the writer made it";
    repair.text.text.clear();
    out = checkSuperIndexes(repair, facts, {true, true});
    EXPECT_EQ(out.errors, 0u);
    EXPECT_EQ(repair.text.text, superLines(f) + "      No Errors !\r\n");
}

TEST(IndexCheck, RepairStepsOverJunkAndOtherStreams) {
    BuiltAvi f = test::muxerAvi(2);
    // The audio index's second entry broken, and the second audio packet
    // renamed: no 01wb follows the first one.
    const std::size_t ix = f.ix[1][0];
    const std::size_t entry = ix + 32 + 8;
    f.b.set32(entry, 0x7FFFFF00);
    std::memcpy(&f.b.bytes[f.packets[3].pos], "01XX", 4);
    TestPort port(f.b.bytes);
    std::uint32_t errors = 0;
    checkStandardIndex(port, ix, true, &errors);
    EXPECT_EQ(errors, 1u);
    EXPECT_NE(port.text.text.find("   Trying to repair    No Success !\r\n"), std::string::npos);
    EXPECT_TRUE(port.stored.empty());

    // Packets separated by JUNK and an odd-sized packet's pad byte: the entry
    // is set past them.
    test::AviBuilder b;
    const std::size_t riff = b.beginList("RIFF", "AVI ");
    const std::size_t movi = b.beginList("LIST", "movi");
    const std::size_t p1 = b.chunk("00dc", 33);  // odd: a pad byte follows
    b.chunk("JUNK", 20);
    const std::size_t p2 = b.chunk("00dc", 10);
    const std::size_t ixPos = b.pos();
    b.put("ix00");
    b.put32(24 + 16);
    b.put16(2);
    b.bytes.push_back(0);
    b.bytes.push_back(1);
    b.put32(2);
    b.put("00dc");
    b.put64(movi);
    b.put32(0);
    b.put32(std::uint32_t(p1 + 8 - movi));
    b.put32(33);
    b.put32(std::uint32_t(p2 + 8 - movi + 3));  // three bytes off
    b.put32(10);
    b.endList(movi);
    b.endList(riff);
    TestPort junk(b.bytes);
    errors = 0;
    checkStandardIndex(junk, ixPos, true, &errors);
    EXPECT_EQ(errors, 1u);
    ASSERT_EQ(junk.stored.size(), 1u);
    EXPECT_EQ(junk.stored[0].second, p2 + 8 - movi);
}

TEST(IndexCheck, QuestionsStopsAndEntriesPointingNowhere) {
    BuiltAvi f = test::muxerAvi();
    // An idx1 entry pointing past the end and one pointing at the wrong chunk.
    const std::size_t e0 = f.idx1 + 8, e1 = f.idx1 + 8 + 16;
    f.b.set32(e0 + 8, 0xFFFFFF00);
    f.b.set32(e1 + 8, le32(&f.b.bytes[e1 + 8]) + 2);
    {
        TestPort port(f.b.bytes);
        CheckOutcome out = checkIdx1(port, port.facts());
        EXPECT_EQ(out.errors, 2u);
        EXPECT_EQ(port.questions, 2);
        const FilePos base = f.moviList[0] + 8;
        EXPECT_EQ(port.text.text, posLine(base + 0xFFFFFF00, "   Wrong Data !") + posLine(e0 + 8, "   (Index Entry)") +
                                      posLine(f.packets[1].pos + 2, "   Wrong Data !") +
                                      posLine(e1 + 8, "   (Index Entry)") + "There are 2 Errors !\r\n");
    }
    {
        // No to the first question: the idx1 check ends without a result line.
        TestPort port(f.b.bytes);
        port.answers = {false};
        CheckOutcome out = checkIdx1(port, port.facts());
        EXPECT_EQ(out.end, CheckEnd::NoResult);
        EXPECT_EQ(port.questions, 1);
        EXPECT_EQ(port.text.text.find("Errors"), std::string::npos);
    }
    {
        // ESC in a standard index ends that index; the second ESC ends the
        // super index check.
        BuiltAvi g = test::muxerAvi(4);
        TestPort port(g.b.bytes);
        port.text.stops = 2;
        port.text.stopAfter = 1;
        CheckOutcome out = checkSuperIndexes(port, port.facts(), {true, false});
        EXPECT_EQ(out.end, CheckEnd::Result);
        const std::string& r = port.text.text;
        std::size_t first = r.find("   Stopped by User !\r\n");
        ASSERT_NE(first, std::string::npos);
        std::size_t second = r.find("   Stopped by User !\r\n", first + 1);
        ASSERT_NE(second, std::string::npos);
        EXPECT_NE(r.find(posLine(g.ix[0][1], "ix00")), std::string::npos) << "the super index went on";
        EXPECT_EQ(r.substr(second), "   Stopped by User !\r\n   Stopped by User !\r\n      No Errors !\r\n");
    }
    {
        // A super index entry past the end of the file.
        BuiltAvi g = test::muxerAvi();
        g.b.set64(g.indx[1] + 32, 0x123456789AULL);
        TestPort port(g.b.bytes);
        CheckOutcome out = checkSuperIndexes(port, port.facts(), {true, false});
        EXPECT_EQ(out.end, CheckEnd::NoResult);
        EXPECT_EQ(out.errors, 1u);
        EXPECT_EQ(port.text.text, posLine(g.ix[0][0], "ix00") + posLine(g.ix[0][1], "ix00") +
                                      posLine(0x123456789AULL, "   File-Pointer beyond End of File !"));
    }
}

TEST(IndexCheck, CloseChunksAreReadTogetherAndTheFileEndStaysWhereItIs) {
    constexpr char kBeyond[] = "   File-Pointer beyond End of File !";
    const BuiltAvi f = test::muxerAvi(40);
    {
        // Forty close packets: their ids come in a few reads, all found.
        TestPort port(f.b.bytes);
        std::uint32_t errors = 0;
        EXPECT_EQ(checkStandardIndex(port, f.ix[0][0], false, &errors), StandardIndexEnd::Done);
        EXPECT_EQ(errors, 0u);
        EXPECT_EQ(port.text.text, "");
        EXPECT_LT(port.memory.reads, 10u);
    }
    {
        // Close chunks at the end of the file: those wholly in it are found,
        // an id cut by the end and one past it are wrong data.
        test::AviBuilder b;
        const std::size_t ix = b.pos();
        b.put("ix00");
        b.put32(24 + 5 * 8);
        b.put16(2);
        b.bytes.push_back(0);
        b.bytes.push_back(1);
        b.put32(5);
        b.put("00dc");
        b.put64(0);
        b.put32(0);
        const std::size_t first = b.pos() + 5 * 8;
        const std::size_t end = first + 3 * 18;
        for (std::size_t chunk : {first, first + 18, first + 36, end - 2, end}) {
            b.put32(std::uint32_t(chunk + 8));
            b.put32(10);
        }
        for (int k = 0; k < 3; ++k) b.chunk("00dc", 10);
        ASSERT_EQ(b.bytes.size(), end);
        TestPort port(b.bytes);
        std::uint32_t errors = 0;
        EXPECT_EQ(checkStandardIndex(port, ix, false, &errors), StandardIndexEnd::Done);
        EXPECT_EQ(errors, 2u);
        // Entry k lies at ix + 32 + 8k; the line names the position 8 before it.
        EXPECT_EQ(port.text.text, posLine(end - 2, "   Wrong Data !") + posLine(ix + 32 + 16, "   (Index Entry)") +
                                      posLine(end, "   Wrong Data !") + posLine(ix + 32 + 24, "   (Index Entry)"));
    }
    {
        // Index entries cut by the end of the file: the entries before it are
        // checked, the first one not wholly in the file is past the end.
        const std::size_t ix = f.ix[0][0];
        std::vector<std::uint8_t> cut(f.b.bytes.begin(), f.b.bytes.begin() + std::ptrdiff_t(ix + 32 + 8 * 25 + 3));
        std::memcpy(&cut[f.packets[2 * 24].pos], "00XX", 4);
        TestPort port(cut);
        std::uint32_t errors = 0;
        EXPECT_EQ(checkStandardIndex(port, ix, false, &errors), StandardIndexEnd::PastEnd);
        EXPECT_EQ(errors, 2u);
        EXPECT_EQ(port.text.text, posLine(f.packets[2 * 24].pos, "   Wrong Data !") +
                                      posLine(ix + 32 + 8 * 24 - 8, "   (Index Entry)") +
                                      posLine(ix + 32 + 8 * 25, kBeyond));
    }
    {
        // A byte that cannot be read (a bad sector): only the id or the
        // entry it lies in is lost, not the others read with it.
        const std::size_t ix = f.ix[0][0];
        for (const std::size_t bad : {f.packets[2 * 20].pos + 2, ix + 32 + 8 * 30 + 5}) {
            struct BadByte : RiffContent {
                test::MemoryContent& memory;
                std::size_t bad;
                BadByte(test::MemoryContent& m, std::size_t b) : memory(m), bad(b) {}
                FilePos size() const override { return memory.size(); }
                int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) override {
                    const int result = memory.read(pos, out, n, got);
                    return pos <= bad && bad < pos + n ? 1 : result;
                }
            };
            struct BadPort : TestPort {
                BadByte badContent;
                BadPort(std::vector<std::uint8_t> b, std::size_t at) : TestPort(std::move(b)), badContent(memory, at) {}
                RiffContent& content() override { return badContent; }
            } port(f.b.bytes, bad);
            std::uint32_t errors = 0;
            const StandardIndexEnd end = checkStandardIndex(port, ix, false, &errors);
            EXPECT_EQ(errors, 1u) << bad;
            if (bad < ix) {
                EXPECT_EQ(end, StandardIndexEnd::Done);
                EXPECT_EQ(port.text.text, posLine(f.packets[2 * 20].pos, "   Wrong Data !") +
                                              posLine(ix + 32 + 8 * 20 - 8, "   (Index Entry)"));
            } else {
                EXPECT_EQ(end, StandardIndexEnd::PastEnd);
                EXPECT_EQ(port.text.text, posLine(ix + 32 + 8 * 30, kBeyond));
            }
        }
    }
    {
        const std::size_t entry = f.idx1 + 8 + 16 * 30;
        TestPort full(f.b.bytes);
        const AviFacts facts = full.facts();
        std::vector<std::uint8_t> cut(f.b.bytes.begin(), f.b.bytes.begin() + std::ptrdiff_t(entry + 5));
        TestPort port(cut);
        const CheckOutcome out = checkIdx1(port, facts);
        EXPECT_EQ(out.end, CheckEnd::NoResult);
        EXPECT_EQ(out.errors, 1u);
        EXPECT_EQ(port.text.text, posLine(entry, kBeyond));
    }
}

TEST(IndexCheck, RandomCorruptionsEndAndReadInsideTheFile) {
    const std::vector<std::uint8_t> good = test::muxerAvi(6).b.bytes;
    std::mt19937 rng(77);
    const char* env = std::getenv("QUORBY_AVI_FUZZ");
    const int rounds = env ? std::atoi(env) : 1500;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::uint8_t> bad = good;
        for (int h = 0, hits = 1 + int(rng() % 6); h < hits; ++h) {
            const std::size_t at = rng() % (bad.size() - 4);
            if (rng() % 2) bad[at] = std::uint8_t(rng());
            else test::AviBuilder::set32Into(bad, at, rng());
        }
        TestPort port(bad);
        const AviFacts facts = port.facts();
        checkSuperIndexes(port, facts, {true, true});
        checkIdx1(port, facts);
        EXPECT_LE(port.memory.reads, 64 * bad.size()) << round;
        for (const auto& [pos, value] : port.stored) EXPECT_LE(pos + 4, bad.size()) << round;
    }
}

}  // namespace
}  // namespace quorby
