// The AVI menu's chunk navigation as the user sees it: where the view goes
// and which bytes are selected.
#include <gtest/gtest.h>

#include "avimenu/chunk_navigation.h"
#include "app/dispatch.h"
#include "core/command_codes.h"
#include "tests/avimenu/avi_app.h"

namespace quorby {
namespace {

using test::AviApp;
using test::BuiltAvi;

FilePos chunkEnd(const std::vector<std::uint8_t>& b, FilePos pos) {
    const FilePos end = pos + 8 + le32(&b[pos + 4]);
    return end + (end & 1);
}

TEST(ChunkNavigation, FirstChunkNextChunkAndSubChunk) {
    BuiltAvi f = test::textbookAvi();
    const auto& b = f.b.bytes;
    AviApp t(b);
    t.press(kCmdAviFirstChunk);
    EXPECT_TRUE(t.selected(0, b.size())) << "the whole RIFF chunk";
    EXPECT_EQ(t.top(), 0u);

    t.press(kCmdAviNextSubChunkKey);  // into RIFF: LIST hdrl
    EXPECT_TRUE(t.selected(f.hdrl, chunkEnd(b, f.hdrl)));
    t.press(kCmdAviNextSubChunk);     // into hdrl: avih
    EXPECT_TRUE(t.selected(f.avih, chunkEnd(b, f.avih)));

    // The first stream list begins at 88, in the middle of its row: Ctrl+S
    // after Ctrl+R enters it all the same.
    t.press(kCmdAviNextChunkKey);
    const FilePos strl = chunkEnd(b, f.avih);
    ASSERT_NE(strl % 16, 0u);
    EXPECT_TRUE(t.selected(strl, chunkEnd(b, strl)));
    EXPECT_EQ(t.top(), strl & ~FilePos{15}) << "the view's top on the chunk's row";
    t.press(kCmdAviNextSubChunkKey);
    EXPECT_TRUE(t.selected(strl + 12, chunkEnd(b, strl + 12)));
    EXPECT_EQ(std::memcmp(&b[strl + 12], "strh", 4), 0);

    // Ctrl+R at the top level to the end: hdrl, movi, idx1, then the end.
    t.press(kCmdAviFirstChunk);
    t.press(kCmdAviNextSubChunk);
    t.press(kCmdAviNextChunk);
    EXPECT_TRUE(t.selected(f.moviList[0], chunkEnd(b, f.moviList[0])));
    t.press(kCmdAviNextChunk);
    EXPECT_TRUE(t.selected(f.idx1, b.size()));
    t.press(kCmdAviNextChunk);
    EXPECT_EQ(t.app.view.selectionActive & kSelectionExists, 0u) << "past the last chunk nothing is selected";
    EXPECT_EQ(t.top(), lastViewStart(t.app));
}

TEST(ChunkNavigation, OddSizesStepOverThePadByte) {
    BuiltAvi f = test::textbookAvi();
    AviApp t(f.b.bytes);
    const test::Packet odd = f.packets[0];  // 101 bytes, in the "rec " list
    ASSERT_EQ(odd.size % 2, 1u);
    t.app.avi.cursor.nextChunkPos = odd.pos;
    t.press(kCmdAviNextChunk);
    EXPECT_TRUE(t.selected(odd.pos, odd.pos + 8 + 102));
    t.press(kCmdAviNextChunk);
    EXPECT_TRUE(t.selected(f.packets[1].pos, f.packets[1].pos + 8 + 64));
    EXPECT_EQ(f.packets[1].pos, odd.pos + 110);
}

TEST(ChunkNavigation, StepsFollowTheJournalsChanges) {
    BuiltAvi f = test::textbookAvi();
    std::vector<std::uint8_t> changed = f.b.bytes;
    // The hdrl list made 16 bytes longer in the Journal File only.
    const std::uint32_t size = le32(&changed[f.hdrl + 4]) + 16;
    putLe32(&changed[f.hdrl + 4], size);
    AviApp t(f.b.bytes);
    t.changePage(0, changed);
    t.press(kCmdAviFirstChunk);
    t.press(kCmdAviNextSubChunk);
    EXPECT_TRUE(t.selected(f.hdrl, f.hdrl + 8 + size));
    t.press(kCmdAviNextChunk);
    EXPECT_EQ(t.app.avi.cursor.currentChunkPos, f.hdrl + 8 + size);
}

TEST(ChunkNavigation, FilmStartFindsTheFirstDataPacket) {
    {
        // Packets grouped in a "rec " list: the first one inside it.
        BuiltAvi f = test::textbookAvi();
        AviApp t(f.b.bytes);
        t.press(kCmdAviFilmStart);
        EXPECT_TRUE(t.app.avi.factsKnown);
        EXPECT_EQ(fourCcText(t.app.avi.facts.videoDataId), "00dc");
        EXPECT_EQ(fourCcText(t.app.avi.facts.audioDataId), "01wb");
        EXPECT_EQ(t.top(), f.packets[0].pos);
        EXPECT_TRUE(t.app.avi.streamStepping);
    }
    {
        // The writer's layout: past JUNK, INFO and the reserved index space.
        BuiltAvi f = test::muxerAvi();
        AviApp t(f.b.bytes);
        t.press(kCmdAviFilmStart);
        EXPECT_EQ(t.top(), f.packets[0].pos);
        EXPECT_EQ(t.app.avi.cursor.currentChunkPos, f.packets[0].pos);
    }
    {
        // No stream header of a counted type: no ids, a message, no move.
        BuiltAvi f = test::textbookAvi();
        for (std::size_t at = 0; at + 4 <= f.b.bytes.size(); ++at)
            if (std::memcmp(&f.b.bytes[at], "strh", 4) == 0) std::memcpy(&f.b.bytes[at + 8], "txts", 4);
        AviApp t(f.b.bytes);
        t.press(kCmdAviFilmStart);
        EXPECT_FALSE(t.app.avi.factsKnown);
        ASSERT_FALSE(t.platform.boxes.empty());
        EXPECT_EQ(t.platform.boxes.back().text, "Could not find any StreamIDs!");
        EXPECT_EQ(t.platform.boxes.back().caption, "no StreamIDs");
        EXPECT_EQ(t.top(), 0u);
    }
}

TEST(ChunkNavigation, OtherFilesAreLeftAlone) {
    std::vector<std::uint8_t> notAvi = test::textbookAvi().b.bytes;
    std::memcpy(notAvi.data(), "RIFX", 4);
    AviApp t(notAvi);
    for (int code : {kCmdAviFirstChunk, kCmdAviNextChunkKey, kCmdAviNextSubChunkKey, kCmdAviFilmStart}) {
        t.press(code);
        EXPECT_EQ(t.app.view.selectionActive & kSelectionExists, 0u) << code;
        EXPECT_EQ(t.top(), 0u) << code;
    }
    EXPECT_TRUE(t.platform.boxes.empty());
}

}  // namespace
}  // namespace quorby
