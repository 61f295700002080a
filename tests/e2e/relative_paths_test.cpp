// Paths on the command line and in a script are relative to the directory
// the program was started in, although the program changes into its own
// directory at start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

TEST(RelativePaths, HomeFileAndScriptPathsFollowTheStartingDirectory) {
    TempDir dir;
    writeFile(dir.file("a.bin"), "RELATIVE");
    writeFile(dir.file("b.bin"), "SECOND");
    writeFile(dir.file("script.txt"), "print state\nopen b.bin readonly\nprint row 1\nquit\n");
    char before[PATH_MAX];
    ASSERT_NE(getcwd(before, sizeof before), nullptr);
    ASSERT_EQ(chdir(dir.file("").c_str()), 0);
    const std::string command = "'" + std::string(QUORBY_BINARY) + "' --batch script.txt --home home a.bin 2>&1";
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        pclose(p);
    }
    ASSERT_EQ(chdir(before), 0);
    EXPECT_EQ(lineStartingWith(out, "mainName="), "mainName=" + dir.file("a.bin")) << out;
    EXPECT_NE(lineStartingWith(out, "01|").find("SECOND"), std::string::npos) << out;
    EXPECT_EQ(out.find("Error"), std::string::npos) << out;  // the settings file is written at exit
    EXPECT_EQ(access(dir.file("home/quorby.dat").c_str(), F_OK), 0) << out;
}

}  // namespace
}  // namespace quorby::e2e
