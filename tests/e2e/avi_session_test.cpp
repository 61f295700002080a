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

}  // namespace
}  // namespace quorby::e2e
