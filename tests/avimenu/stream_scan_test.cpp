// repair AVI-File, 'Play' Video / 'Play' Audio, the structure scan with its
// question, AVI File-Information and the continuous check, as the user runs
// them: through the command table, with the repairs in the Journal File.
#include <gtest/gtest.h>

#include <random>

#include "app/dispatch.h"
#include "app/window_events.h"
#include "avimenu/avi_check.h"
#include "core/command_codes.h"
#include "tests/avimenu/avi_app.h"

namespace quorby {
namespace {

using test::AviApp;
using test::BuiltAvi;

const char kStructureQuestion[] =
    "There are Errors in the File-Structure!\n\nThe last correct Chunk-Address is shown top left.\n\n"
    "Shall Errors be corrected?";

struct ScanApp : AviApp {
    using AviApp::AviApp;
    std::uint32_t currentWord(FilePos pos) {
        EXPECT_EQ(loadPagePair(app, pos & ~FilePos{511}), 0);
        return le32(&app.view.pageBuffer[pos - app.view.pagePos]);
    }
    std::uint32_t fileWord(FilePos pos) { return le32(&io.bytes("/data/movie.avi")[pos]); }
    std::size_t asked(const std::string& text) const {
        std::size_t n = 0;
        for (const auto& b : platform.boxes) n += b.text == text;
        return n;
    }
};

TEST(StreamScan, RepairAviFileMendsABrokenSizeInMoviAsOneChange) {
    BuiltAvi f = test::muxerAvi(4);
    // A video packet and an audio packet, in the two movi lists, 6 bytes too
    // long and 10 bytes too short.
    const test::Packet& video = f.packets[2];
    const test::Packet& audio = f.packets[f.packets.size() - 3];
    ASSERT_EQ(video.id, "00dc");
    ASSERT_EQ(audio.id, "01wb");
    f.b.set32(video.pos + 4, video.size + 6);
    f.b.set32(audio.pos + 4, audio.size - 10);
    ScanApp t(f.b.bytes);
    t.press(kCmdAviRepair);
    EXPECT_EQ(t.asked(kStructureQuestion), 0u) << "repair AVI-File does not ask";
    EXPECT_EQ(t.currentWord(video.pos + 4), video.size);
    EXPECT_EQ(t.currentWord(audio.pos + 4), audio.size);
    EXPECT_EQ(t.fileWord(video.pos + 4), video.size + 6) << "the Main File is untouched";
    EXPECT_EQ(t.top(), t.app.main.fileSize - 1 - (t.app.main.fileSize - 1) % 512) << "walked to the end";

    t.press(kCmdUndo);
    EXPECT_EQ(t.currentWord(video.pos + 4), video.size + 6) << "one undo takes both back";
    EXPECT_EQ(t.currentWord(audio.pos + 4), audio.size - 10);
    t.press(kCmdRedo);
    EXPECT_EQ(t.currentWord(video.pos + 4), video.size);
    EXPECT_EQ(t.currentWord(audio.pos + 4), audio.size);
}

TEST(StreamScan, DamagedChainsEndAndWriteNothingUnasked) {
    for (int damage = 0; damage < 3; ++damage) {
        SCOPED_TRACE(damage);
        BuiltAvi f = test::muxerAvi(3);
        const test::Packet& p = f.packets[1];
        if (damage == 0) f.b.set32(p.pos + 4, 0);              // size 0: the next "chunk" is inside the data
        if (damage == 1) f.b.set32(p.pos + 4, 0xFFFFFFF8u);    // past the end of the file
        if (damage == 2) f.b.bytes.resize(p.pos + 20);          // truncated in a packet
        ScanApp t(f.b.bytes);
        t.platform.yesNoDefault = MsgAnswer::No;
        t.press(kCmdAviPlayVideo);
        t.press(kCmdAviPlayAudio);
        EXPECT_FALSE(t.app.avi.scanRunning);
        EXPECT_EQ(t.app.journal.header.undo, kEmptyPtr) << "nothing written without a Yes";
    }
}

TEST(StreamScan, RandomCorruptionsRepairedAsOneChangeThatUndoTakesBack) {
    const char* env = std::getenv("QUORBY_AVI_FUZZ");
    const int rounds = env ? std::atoi(env) / 20 + 1 : 25;
    std::mt19937 rng(77);
    const BuiltAvi clean = test::muxerAvi(5);
    int repaired = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::uint8_t> bytes = clean.b.bytes;
        for (int k = 0; k < 3; ++k) {
            const test::Packet& p = clean.packets[rng() % clean.packets.size()];
            const std::uint32_t sizes[] = {0, p.size + 2 * std::uint32_t(rng() % 40), p.size - 2 * std::uint32_t(rng() % 20),
                                           0xFFFFFFF0u};
            test::AviBuilder::set32Into(bytes, p.pos + 4, sizes[rng() % 4]);
        }
        ScanApp t(bytes);
        t.press(kCmdAviRepair);
        EXPECT_FALSE(t.app.avi.scanRunning);
        EXPECT_EQ(t.io.bytes("/data/movie.avi"), bytes) << "the Main File itself is untouched";
        repaired += t.app.journal.header.undo != kEmptyPtr;
        t.press(kCmdUndo);
        for (std::size_t at = 0; at < bytes.size(); at += 512) {
            EXPECT_EQ(loadPagePair(t.app, at), 0);
            const std::size_t n = std::min<std::size_t>(512, bytes.size() - at);
            ASSERT_EQ(std::memcmp(t.app.view.pageBuffer, &bytes[at], n), 0) << "one undo takes every repair back";
        }
    }
    EXPECT_GT(repaired, rounds / 3) << "most damages are within reach of the repair";
}

TEST(StreamScan, PlayShowsThePacketsOfOneStreamWithItsKeys) {
    BuiltAvi f = test::textbookAvi();
    ScanApp t(f.b.bytes);
    t.press(kCmdAviFilmStart);
    ASSERT_TRUE(t.app.avi.streamStepping);
    std::vector<FilePos> shown;
    int polls = 0;
    t.platform.onPoll = [&] {
        shown.push_back(t.top());
        if (++polls <= 3) onChar(t.app, '+');
    };
    t.press(kCmdAviPlayVideo);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], f.packets[0].pos) << "Play continues from the film start";
    EXPECT_EQ(t.app.avi.playOffset, 1536u) << "three + show each packet 1536 bytes past its header";
    EXPECT_EQ(t.top(), lastViewStart(t.app)) << "played to the end of the file";
    EXPECT_FALSE(t.app.avi.streamStepping) << "Play ends the stream stepping mode";

    // A blank stops it at once.
    t.app.avi.playOffset = 0;
    polls = 0;
    t.platform.onPoll = [&] { ++polls; onChar(t.app, ' '); };
    t.press(kCmdAviPlayAudio);
    EXPECT_EQ(polls, 1);
    // ESC stops it too.
    t.platform.onPoll = nullptr;
    t.platform.escAfterPolls = t.platform.polls + 1;
    const int before = t.platform.polls;
    t.press(kCmdAviPlayVideo);
    EXPECT_EQ(t.platform.polls - before, 1);
}

TEST(StreamScan, StructureQuestionAndInformation) {
    // The video stream's strf 4 bytes too long: the scan of the header meets
    // garbage inside the stream list.
    BuiltAvi f = test::textbookAvi();
    std::size_t strf = 0;
    for (std::size_t at = 0; at + 4 <= f.b.bytes.size(); ++at)
        if (std::memcmp(&f.b.bytes[at], "strf", 4) == 0) { strf = at; break; }
    ASSERT_NE(strf, 0u);
    const std::uint32_t size = le32(&f.b.bytes[strf + 4]);
    const std::string info = "\xB5s pro Frame:       " "     40000\r\n"
                             "interleaved:" + std::string(18, ' ') + "ja  \r\n"
                             "Width:" + std::string(21, ' ') + "       320\r\n"
                             "Height:" + std::string(18, ' ') + "       240\r\n"
                             "Video Stream:             00dc\r\n"
                             "Audio Stream:             01wb\r\n"
                             "Kompression:              DIVX";
    {
        std::vector<std::uint8_t> bytes = f.b.bytes;
        test::AviBuilder::set32Into(bytes, strf + 4, size + 4);
        std::memset(&bytes[strf + 8 + size], 0xEE, 4);  // what the wrong size lands on is no chunk id
        ScanApp t(bytes);
        t.platform.yesNoDefault = MsgAnswer::No;
        t.press(kCmdAviInformation);
        EXPECT_EQ(t.asked(kStructureQuestion), 1u);
        EXPECT_EQ(t.platform.boxes.back().caption, "Errors in File-Structure");
        EXPECT_EQ(t.top(), 0u) << "the view comes back";
        EXPECT_EQ(t.app.journal.header.undo, kEmptyPtr) << "No writes nothing";
    }
    {
        // The video stream header 6 bytes too long: Yes sets it back to 56
        // as a change of the current content, and the information follows.
        std::vector<std::uint8_t> bytes = f.b.bytes;
        const std::size_t strh = strf - 64;
        ASSERT_EQ(std::memcmp(&bytes[strh], "strh", 4), 0);
        test::AviBuilder::set32Into(bytes, strh + 4, 62);
        ScanApp t(bytes);
        t.platform.yesNoDefault = MsgAnswer::Yes;
        t.press(kCmdAviInformation);
        EXPECT_EQ(t.asked(kStructureQuestion), 1u);
        EXPECT_EQ(t.currentWord(strh + 4), 56u);
        EXPECT_EQ(t.fileWord(strh + 4), 62u);
        EXPECT_EQ(t.platform.boxes.back().text, info);
    }
    {
        ScanApp t(f.b.bytes);
        t.press(kCmdAviInformation);
        ASSERT_EQ(t.platform.boxes.size(), 1u);
        EXPECT_EQ(t.platform.boxes[0].caption, "AVI File-Information");
        EXPECT_EQ(t.platform.boxes[0].text, info);
    }
}

TEST(StreamScan, ContinuousCheckScansBothStreams) {
    BuiltAvi f = test::muxerAvi();
    ScanApp t(f.b.bytes);
    t.app.shell.programDirectory = "/home/";
    t.press(kCmdAviCheck);
    ModelessEvent e;
    e.window = ModelessWindow::AviCheck;
    e.kind = ModelessEventKind::Toggled;
    e.controlId = kAviCheckContinuous;
    e.checked = true;
    onModelessEvent(t.app, e);
    e.kind = ModelessEventKind::Pressed;
    e.controlId = kAviCheckOk;
    onModelessEvent(t.app, e);
    const auto& b = t.io.bytes("/home/quorby.log");
    const std::string log(b.begin(), b.end());
    EXPECT_NE(log.find("Scanning all Video Data Packets\r\nScanning all Audio Data Packets\r\n\r\n\r\nReady !"),
              std::string::npos)
        << log;
    EXPECT_EQ(t.platform.modeless[ModelessWindow::AviCheck].dialog.find(kAviCheckPacketsStatus)->text, "O.K.");
}

}  // namespace
}  // namespace quorby
