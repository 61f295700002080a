// The index entries a chain repair takes a packet's size from: idx1 for the
// first RIFF part, the standard indexes for every part, asked in any order.
#include <gtest/gtest.h>

#include <algorithm>

#include "avi/packet_index.h"
#include "tests/avi/avi_files.h"

namespace quorby {
namespace {

TEST(PacketIndex, EveryPacketIsFoundWithItsIdAndSizeInAnyOrder) {
    test::BuiltAvi f = test::muxerAvi(5);
    // A dropped frame: its idx1 entry has size 0 and names no chunk.
    const std::size_t firstEntry = f.idx1 + 8;
    f.b.set32(firstEntry + 12, 0);
    test::MemoryContent content(f.b.bytes);
    IndexPlaces places = findIndexPlaces(content);
    EXPECT_EQ(places.idx1Pos, f.idx1);
    EXPECT_EQ(places.superIndexPos[1], f.indx[1]);
    std::vector<test::Packet> order = f.packets;
    std::reverse(order.begin(), order.begin() + long(order.size() / 2));  // backwards, then forwards
    for (const test::Packet& p : order) {
        IndexedChunk got;
        ASSERT_TRUE(indexedChunkAt(content, places, p.pos, &got)) << p.pos;
        EXPECT_EQ(fourCcText(got.id), p.id);
        EXPECT_EQ(got.size, p.size);
    }
    IndexedChunk none;
    EXPECT_FALSE(indexedChunkAt(content, places, f.packets[3].pos + 2, &none)) << "no chunk begins there";
    EXPECT_FALSE(indexedChunkAt(content, places, f.indx[0], &none)) << "header chunks are in no index";

    // Without idx1 (its id damaged) the standard indexes still know the
    // packets of the first part, the dropped frame included.
    f.b.bytes[f.idx1] = 'X';
    test::MemoryContent noIdx1(f.b.bytes);
    IndexPlaces standardOnly = findIndexPlaces(noIdx1);
    IndexedChunk got;
    ASSERT_TRUE(indexedChunkAt(noIdx1, standardOnly, f.packets[0].pos, &got));
    EXPECT_EQ(got.size, f.packets[0].size);
}

}  // namespace
}  // namespace quorby
