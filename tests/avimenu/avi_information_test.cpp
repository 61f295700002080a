// AVI File-Information lists every stream of the header list with its type
// and packet id, also where the stream ids found from the packets leave one
// out (a second audio stream, a stream whose packets were not reached).
#include <gtest/gtest.h>

#include <algorithm>

#include "app/dispatch.h"
#include "core/command_codes.h"
#include "tests/avimenu/avi_app.h"

namespace quorby {
namespace {

// Stream lists of the given types, then a movi list of the given packets
// (the first one's size field says `firstSize`).
std::vector<std::uint8_t> fileWith(const std::vector<const char*>& types, const std::vector<const char*>& packets,
                                   std::uint32_t firstSize = 10, std::uint32_t packetSize = 10) {
    std::size_t movi = 0;
    std::vector<std::uint8_t> bytes = test::streamsAndPackets(types, packets, packetSize, &movi);
    test::AviBuilder::set32Into(bytes, movi + 12 + 4, firstSize);
    return bytes;
}

// The stream lines of the information text (those after "Height:").
std::string streamLines(const std::vector<std::uint8_t>& bytes) {
    test::AviApp t(bytes);
    t.platform.yesNoDefault = MsgAnswer::No;
    t.press(kCmdAviInformation);
    if (t.platform.boxes.empty() || t.platform.boxes.back().caption != "AVI File-Information") return "no box";
    const std::string& text = t.platform.boxes.back().text;
    const std::size_t from = text.find("\r\n", text.find("Height:")) + 2;
    return text.substr(from, text.find("Kompression:") - from);
}

TEST(AviInformation, EveryStreamOfTheHeaderIsShown) {
    // A PCM and an MP3 stream: the second audio stream's id is the one found
    // by the packets; the first gets a line of its own.
    EXPECT_EQ(streamLines(fileWith({"vids", "auds", "auds"}, {"00dc", "01wb", "02wb", "00dc"})),
              "Video Stream:             00dc\r\n"
              "Audio Stream:             02wb\r\n"
              "Audio Stream 01:          01wb\r\n");
    // A text stream between: it and the audio stream 02wb, which the stream
    // ids found from the packets do not name, are listed.
    EXPECT_EQ(streamLines(fileWith({"vids", "txts", "auds"}, {"00db", "02wb", "01tx"})),
              "Video Stream:             00db\r\n"
              "Text Stream 01:           01tx\r\n"
              "Audio Stream 02:          02wb\r\n");
    // Two streams as usual: nothing more than the two lines.
    EXPECT_EQ(streamLines(fileWith({"vids", "auds"}, {"00dc", "01wb"})),
              "Video Stream:             00dc\r\n"
              "Audio Stream:             01wb\r\n");
    // The first packet's size damaged so that the walk for the ids passes
    // every audio packet: the audio stream is still shown, with the id
    // audio packets have.
    EXPECT_EQ(streamLines(fileWith({"vids", "auds"}, {"00dc", "01wb", "01wb", "00dc"}, 10 + 2 * 18)),
              "Video Stream:             00dc\r\n"
              "Audio Stream 01:          01wb\r\n");
}

// With two audio streams 'Play' Audio asks which one it steps through, and
// shows only that stream's packets; Cancel plays nothing.
TEST(AviInformation, PlayAudioStepsTheChosenStream) {
    // Packets of 4 KiB, so that the view can stand on each.
    const std::vector<std::uint8_t> bytes = fileWith(
        {"vids", "auds", "auds"}, {"00dc", "01wb", "02wb", "00dc", "01wb", "02wb", "00dc", "01wb", "02wb"}, 4096, 4096);
    auto packetsOf = [&bytes](const char* id) {
        std::vector<FilePos> at;
        for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
            if (std::equal(id, id + 4, bytes.begin() + std::ptrdiff_t(i))) at.push_back(i);
        return at;
    };
    for (const char* id : {"01wb", "02wb"}) {
        SCOPED_TRACE(id);
        const char* other = id[1] == '1' ? "02wb" : "01wb";
        test::AviApp t(bytes);
        std::vector<std::string> offered;
        t.platform.dialogAnswers.push_back([&](DialogDescription& d) {
            for (DialogControl& c : d.controls) {
                if (c.kind != ControlKind::Radio) continue;
                offered.push_back(c.text);
                c.checked = c.text.find(id) != std::string::npos;
            }
            return d.okId;
        });
        std::vector<FilePos> shown;
        t.platform.onPoll = [&] { shown.push_back(t.top()); };
        t.press(kCmdAviPlayAudio);
        EXPECT_EQ(offered, (std::vector<std::string>{"Stream 01: 01wb", "Stream 02: 02wb"}));
        int ofChosen = 0, ofOther = 0;
        for (FilePos pos : shown) {
            for (FilePos p : packetsOf(id)) ofChosen += p == pos;
            for (FilePos p : packetsOf(other)) ofOther += p == pos;
        }
        EXPECT_GE(ofChosen, 2);
        EXPECT_EQ(ofOther, 0);
    }
    test::AviApp t(bytes);
    t.platform.dialogAnswers.push_back([](DialogDescription& d) { return d.cancelId; });
    std::vector<FilePos> shown;
    t.platform.onPoll = [&] { shown.push_back(t.top()); };
    t.press(kCmdAviPlayAudio);
    for (FilePos pos : shown)
        for (const char* id : {"01wb", "02wb"})
            for (FilePos p : packetsOf(id)) EXPECT_NE(p, pos) << "nothing is played after Cancel";
}

}  // namespace
}  // namespace quorby
