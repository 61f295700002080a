// The data packet ids found from the stream headers and the first packets.
#include <gtest/gtest.h>

#include "avi/stream_ids.h"
#include "tests/avi/avi_files.h"

namespace quorby {
namespace {

std::vector<std::uint8_t> fileWith(const std::vector<const char*>& types, const std::vector<const char*>& packets) {
    return test::streamsAndPackets(types, packets);
}

std::string found(const std::vector<std::uint8_t>& bytes, int* result = nullptr) {
    test::MemoryContent content(bytes);
    AviFacts facts;
    const int r = findStreamIds(content, facts);
    if (result) *result = r;
    return (facts.videoIdKnown ? fourCcText(facts.videoDataId) : "-") + "/" +
           (facts.audioIdKnown ? fourCcText(facts.audioDataId) : "-");
}

TEST(StreamIds, PrefixesFollowTheCountedStreams) {
    EXPECT_EQ(found(fileWith({"vids", "auds"}, {"ix00", "01wb", "00db"})), "00db/01wb");
    // Audio first: 00w and 01d.
    EXPECT_EQ(found(fileWith({"auds", "vids"}, {"00wb", "01dc"})), "01dc/00wb");
    // A text stream between does not count: the audio stays 01w, and the
    // packets of a third stream (02wb) do not match it.
    EXPECT_EQ(found(fileWith({"vids", "txts", "auds"}, {"02wb", "00dc", "01wb"})), "00dc/01wb");
    // "iavs" counts as video; one stream only: the other id stays unknown.
    EXPECT_EQ(found(fileWith({"iavs"}, {"00dc"})), "00dc/-");
    int result = 0;
    EXPECT_EQ(found(fileWith({"vids"}, {"01wb"}), &result), "-/-");
    EXPECT_EQ(result, 1);
}

TEST(StreamIds, DamagedFilesEnd) {
    const std::vector<std::uint8_t> good = test::muxerAvi().b.bytes;
    for (std::size_t cut = 0; cut < good.size(); cut += 5) {
        std::vector<std::uint8_t> part(good.begin(), good.begin() + cut);
        found(part);
    }
    // Lists nested in each other far deeper than any file has them.
    test::AviBuilder b;
    b.beginList("RIFF", "AVI ");
    std::vector<std::size_t> open;
    for (int i = 0; i < 5000; ++i) open.push_back(b.beginList("LIST", "strl"));
    b.streamHeader("vids", "abcd");
    while (!open.empty()) {
        b.endList(open.back());
        open.pop_back();
    }
    int result = 0;
    EXPECT_EQ(found(b.bytes, &result), "-/-");
    EXPECT_EQ(result, 1);
}

}  // namespace
}  // namespace quorby
