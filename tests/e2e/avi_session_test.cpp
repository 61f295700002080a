// The AVI menu through the batch mode: chunk steps with Ctrl+R and Ctrl+S,
// the check started in its dialog, the report read from its window, and the
// facts the walk found in `print state`.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "tests/avi/avi_files.h"

namespace quorby::e2e {
namespace {

TEST(AviSession, StepsCheckAndReport) {
    test::BuiltAvi f = test::muxerAvi();
    TempDir dir;
    writeFile(dir.file("movie.avi"), std::string(f.b.bytes.begin(), f.b.bytes.end()));
    char hdrl[16], movi[16];
    std::snprintf(hdrl, sizeof hdrl, "0x%zX", f.hdrl);
    std::snprintf(movi, sizeof movi, "0x%zX", f.moviList[0] + 8);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("movie.avi") + "\n"
                                "command \"Goto &First RIFF-Chunk\"\n"
                                "key Ctrl+S\n"
                                "expect state selectionStart " + hdrl + "\n"
                                "command \"Check Avi-File\"\n"
                                "window avicheck check \"Check Data Indexes\\n(will last a While ...)\" on\n"
                                "window avicheck press OK\n"
                                "print window avi\n"
                                "expect state moviBase " + movi + "\n"
                                "print state\n"
                                "quit\n",
                                dir.path());
    EXPECT_EQ(run.status, 0) << run.transcript << run.errors;
    EXPECT_TRUE(run.has("Ready !")) << run.transcript;
    EXPECT_TRUE(run.has("Checking AVI 1.0 - Data Index (idx1)"));
    EXPECT_TRUE(run.has("      vprp"));
    char super[64];
    std::snprintf(super, sizeof super, "superIndex00=0x%zX\nsuperIndex01=0x%zX", f.indx[0], f.indx[1]);
    EXPECT_TRUE(run.has(super)) << run.transcript;
}

TEST(AviSession, CheckReadsTheTypedChangesOfCloseAndFarChunks) {
    // Close packets (read several in one go) and far ones (one read each):
    // a video packet broken in the file and mended by a typed change, and
    // packets right in the file broken by typed changes, in both RIFF parts.
    for (std::uint32_t videoSize : {0u, 6000u}) {
        test::BuiltAvi f = test::muxerAvi(20, videoSize);
        const std::size_t mended = f.packets[20].pos, video = f.packets[22].pos, audio = f.packets[31].pos,
                          later = f.packets[46].pos;  // the fourth video packet of the AVIX part
        f.b.bytes[mended + 3] = 'X';
        TempDir dir;
        writeFile(dir.file("movie.avi"), std::string(f.b.bytes.begin(), f.b.bytes.end()));
        std::string script = "answer no\nopen " + dir.file("movie.avi") + "\n";
        for (const auto& [pos, hex] : {std::pair{mended, "63"}, {video, "58"}, {audio, "58"}, {later, "58"}, {0, ""}}) {
            char line[96];
            std::snprintf(line, sizeof line, "dialog set \"address hex\" %zX\ndialog press OK\nkey Ctrl+G\n", pos + 3);
            script += line + std::string(*hex ? "type " + std::string(hex) + "\n" : "");
        }
        BatchRun run = runInProcess(script +
                                        "command \"Check Avi-File\"\n"
                                        "window avicheck check \"Check Data Indexes\\n(will last a While ...)\" on\n"
                                        "answer yes yes yes yes yes\n"
                                        "window avicheck press OK\n"
                                        "print window avi\n"
                                        "answer no no\n"  // neither written nor the journal kept
                                        "quit\n",
                                    dir.path());
        EXPECT_EQ(run.status, 0) << run.transcript << run.errors;
        EXPECT_TRUE(run.has("Ready !")) << run.transcript;
        auto wrongAt = [&](std::size_t pos) {
            const std::string line = test::posLine(pos, "   Wrong Data !");
            return countOccurrences(run.transcript, line.substr(0, line.size() - 2));
        };
        // The standard indexes and, for the first part, idx1 name each packet.
        EXPECT_EQ(wrongAt(video), 2) << videoSize << run.transcript;
        EXPECT_EQ(wrongAt(audio), 2) << videoSize;
        EXPECT_EQ(wrongAt(later), 1) << videoSize;
        EXPECT_EQ(countOccurrences(run.transcript, "Wrong Data !"), 5) << videoSize;
    }
}

TEST(AviSession, PlayRepairsABrokenChainOnceAndInformationShowsTheStreams) {
    test::BuiltAvi f = test::muxerAvi();
    const test::Packet& p = f.packets[2];
    f.b.set32(p.pos + 4, p.size + 6);
    TempDir dir;
    writeFile(dir.file("movie.avi"), std::string(f.b.bytes.begin(), f.b.bytes.end()));
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("movie.avi") + "\n"
                                "command \"AVI File-&Information\"\n"
                                "answer yes\n"
                                "command \"'Play' &Video\"\n"
                                "command \"'Play '&Audio\"\n"
                                "command \"repair AVI-File\"\n"
                                "quit\n",
                                dir.path());
    EXPECT_EQ(run.status, 0) << run.transcript << run.errors;
    EXPECT_TRUE(run.has("Video Stream:             00dc")) << run.transcript;
    EXPECT_TRUE(run.has("Audio Stream:             01wb"));
    const std::string question = "Errors in File-Structure";
    const std::size_t first = run.transcript.find(question);
    ASSERT_NE(first, std::string::npos) << run.transcript;
    EXPECT_EQ(run.transcript.find(question, first + 1), std::string::npos) << "repaired once, asked once";
}

}  // namespace
}  // namespace quorby::e2e
