#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "journal/journal_format.h"

namespace quorby {
namespace {

void putU64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

TEST(JournalFormat, NewHeaderMatchesTheLayoutByteForByte) {
    // The expected image is built by hand from the layout, not by the encoder.
    std::uint8_t expected[1024] = {};
    expected[0] = 0x04; expected[1] = 0xEF; expected[2] = 0xCD; expected[3] = 0xAB;
    for (int off : {16, 24, 32, 40, 96, 104, 112, 120, 136, 152, 168, 184, 200, 216})
        std::memset(expected + off, 0xFF, 8);
    std::memcpy(expected + 259, "/home/u/x.bin", 13);
    std::memcpy(expected + 515, "PrevJournal", 11);
    std::memcpy(expected + 771, "NextJournal", 11);

    JournalHeader h;
    ASSERT_EQ(initJournalHeader(h, "/home/u/x.bin"), 0);
    std::uint8_t actual[1024];
    std::memset(actual, 0xAA, sizeof actual);
    encodeJournalHeader(h, actual);
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(actual[i], expected[i]) << "header byte " << i;
}

TEST(JournalFormat, MainNameLimitsAndNextJournalEndsAtTheLastByte) {
    JournalHeader h;
    std::string longest(255, 'n');
    ASSERT_EQ(initJournalHeader(h, longest), 0);
    std::uint8_t bytes[1024];
    encodeJournalHeader(h, bytes);
    EXPECT_EQ(bytes[259 + 254], 'n');
    EXPECT_EQ(bytes[259 + 255], 0);  // the terminating NUL is the field's last byte
    EXPECT_EQ(std::memcmp(bytes + 515, "PrevJournal", 12), 0);
    EXPECT_EQ(mainNameOf(h), longest);

    EXPECT_EQ(initJournalHeader(h, std::string(256, 'n')), 1);
    EXPECT_EQ(mainNameOf(h), "");
}

TEST(JournalFormat, DecodingAndEncodingKeepsEveryHeaderByte) {
    // Unused and reserved bytes of a header written by someone else survive
    // a read and a write back.
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::uint8_t in[1024], out[1024];
        for (auto& b : in) b = std::uint8_t(random());
        JournalHeader h;
        decodeJournalHeader(in, h);
        encodeJournalHeader(h, out);
        ASSERT_EQ(std::memcmp(in, out, 1024), 0);
    }
}

TEST(JournalFormat, RecordFieldsSitAtTheirOffsetsLittleEndian) {
    JournalRecord r;
    r.mainAdr = 0x0102030405060708;
    r.prevPtr = 0x1112131415161718;
    r.nextPtr = 0x2122232425262728;
    r.pUndo = 0x3132333435363738;
    r.pJnl = 0x4142434445464748;
    r.nJnl = 0x5152535455565758;
    r.nUndo = 0x6162636465666768;
    r.anz = 0x71727374;
    r.flag = 0x81828384;
    for (int i = 0; i < 64; ++i) r.changeMap[i] = std::uint8_t(0xC0 + i);
    for (int i = 0; i < 512; ++i) r.data[i] = std::uint8_t(i * 7);

    std::uint8_t expected[640];
    putU64(expected + 0, 0x0102030405060708);
    putU64(expected + 8, 0x1112131415161718);
    putU64(expected + 16, 0x2122232425262728);
    putU64(expected + 24, 0x3132333435363738);
    putU64(expected + 32, 0x4142434445464748);
    putU64(expected + 40, 0x5152535455565758);
    putU64(expected + 48, 0x6162636465666768);
    const std::uint8_t anzFlag[8] = {0x74, 0x73, 0x72, 0x71, 0x84, 0x83, 0x82, 0x81};
    std::memcpy(expected + 56, anzFlag, 8);
    for (int i = 0; i < 64; ++i) expected[64 + i] = std::uint8_t(0xC0 + i);
    for (int i = 0; i < 512; ++i) expected[128 + i] = std::uint8_t(i * 7);

    std::uint8_t actual[640];
    encodeRecord(r, actual);
    ASSERT_EQ(std::memcmp(actual, expected, 640), 0);

    JournalRecord back;
    decodeRecord(actual, back);
    std::uint8_t again[640];
    encodeRecord(back, again);
    EXPECT_EQ(std::memcmp(again, expected, 640), 0);
}

TEST(JournalFormat, PartialHeaderReadsOverlayOnlyTheirFields) {
    JournalRecord stored;
    stored.mainAdr = 0x1000;
    stored.prevPtr = 0x400;
    stored.nextPtr = 0xA80;
    stored.pUndo = 0x680;
    stored.pJnl = 0x900;
    stored.nJnl = kEmptyPtr;
    stored.nUndo = 0xD00;
    stored.anz = 512;
    stored.flag = 0x00400120;
    stored.changeMap[63] = 0x80;
    std::uint8_t bytes[128];
    encodeRecordHeader(stored, bytes);

    JournalRecord copy;
    copy.pUndo = 0x1234;
    copy.flag = 7;
    decodeRecordHeaderRange(bytes, 0, kRecordAddressLinks, copy);
    EXPECT_EQ(copy.mainAdr, 0x1000u);
    EXPECT_EQ(copy.nextPtr, 0xA80u);
    EXPECT_EQ(copy.pUndo, 0x1234u);  // beyond the 24 bytes: untouched
    EXPECT_EQ(copy.flag, 7u);

    // The version walk keeps the copy's MainAdr and address links.
    JournalRecord walk;
    walk.mainAdr = 0x2000;
    walk.prevPtr = 0x1F80;
    walk.nextPtr = kEmptyPtr;
    decodeRecordHeaderRange(bytes + kVersionWalkOffset, kVersionWalkOffset, kVersionWalkLength, walk);
    EXPECT_EQ(walk.mainAdr, 0x2000u);
    EXPECT_EQ(walk.prevPtr, 0x1F80u);
    EXPECT_EQ(walk.pJnl, 0x900u);
    EXPECT_EQ(walk.nUndo, 0xD00u);
    EXPECT_EQ(walk.flag, 0x00400120u);
    EXPECT_EQ(walk.changeMap[63], 0x80);

    // A read of the links and part of the ChangeMap takes just those bytes.
    JournalRecord part;
    part.changeMap[10] = 0x11;
    part.changeMap[63] = 0x22;
    decodeRecordHeaderRange(bytes, 0, 100, part);
    EXPECT_EQ(part.mainAdr, 0x1000u);
    EXPECT_EQ(part.nUndo, 0xD00u);
    EXPECT_EQ(part.anz, 512u);
    EXPECT_EQ(part.flag, 0x00400120u);
    EXPECT_EQ(part.changeMap[10], 0x00);  // within the 100 bytes: as stored
    EXPECT_EQ(part.changeMap[63], 0x22);  // beyond them: untouched
}

TEST(JournalFormat, PointerFormsAndChangedByteCount) {
    // Any high half of all ones is empty, whatever the low half says.
    EXPECT_TRUE(isEmptyPtr(0xFFFFFFFF00000000ull));
    EXPECT_TRUE(isEmptyPtr(0xFFFFFFFF00000400ull));
    EXPECT_FALSE(isEmptyPtr(0xFFFFFFFEFFFFFFFFull));
    EXPECT_FALSE(isEmptyPtr(0x00000000FFFFFFFFull));

    // Record pointers: 1024 + 640 k with the whole record inside the file.
    EXPECT_TRUE(isRecordPointer(1024, 1664));
    EXPECT_FALSE(isRecordPointer(1024, 1663));
    EXPECT_FALSE(isRecordPointer(1664, 1664));
    EXPECT_FALSE(isRecordPointer(1025, 4000));
    EXPECT_FALSE(isRecordPointer(384, 4000));
    EXPECT_FALSE(isRecordPointer(0xFFFFFFFF00000400ull, ~0ull));
    EXPECT_EQ(wholeRecordCount(1024 + 640 * 3 + 128), 3u);

    // Only the first anz bytes count on a short last page.
    JournalRecord r;
    std::memset(r.changeMap, 0xFF, sizeof r.changeMap);
    r.anz = 512;
    EXPECT_EQ(countChangedBytes(r), 512u);
    r.anz = 13;
    EXPECT_EQ(countChangedBytes(r), 13u);
    r.changeMap[1] = 0xEF;  // byte 12 clear; bytes 13 to 15 lie beyond anz
    EXPECT_EQ(countChangedBytes(r), 12u);
}

}  // namespace
}  // namespace quorby
