// What the program loads: the command-line tools and the batch mode run
// without the window system's libraries (they start several times faster);
// only a window loads the window module, and without it the program says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/command_line_run.h"
#include "tests/support/temp_dir.h"

namespace quorby::e2e {
namespace {

TEST(ProgramStart, ToolsAndBatchModeLoadNoQtLibrary) {
    testing::TempDir dir;
    testing::writeFile(dir.file("code.bin"), std::string("\x55\x89\xE5\xC3", 4));
    testing::writeFile(dir.file("script.txt"), "answer no\nprint row 0\nquit\n");
    testing::writeFile(dir.file("not.jnl"), std::string(1024, 'x'));
    const std::string home = "--home '" + dir.file("home") + "'";
    const struct {
        const char* what;
        std::string arguments;
        int status;
        const char* shows;
    } runs[] = {
        {"--version", "--version", 0, "Quorby 2.5.3"},
        {"--help", "--help", 0, "Batch mode"},
        {"--batch", "--batch '" + dir.file("script.txt") + "' " + home, 0, "> print row 0"},
        {"--disassemble", "--disassemble '" + dir.file("code.bin") + "' --mode 32", 0, "PUSH EBP"},
        {"--journal-dump", "--journal-dump '" + dir.file("not.jnl") + "'", 1, ""},
    };
    for (const auto& r : runs) {
        const CommandLineRun run = runCommandLine(r.arguments, "LD_DEBUG=libs");
        EXPECT_EQ(run.status, r.status) << r.what << "\n" << run.out;
        EXPECT_NE(run.out.find(r.shows), std::string::npos) << r.what << "\n" << run.out;
        // The loader names every library it looks for.
        EXPECT_NE(run.errors.find("find library=libc.so"), std::string::npos) << r.what << ": no loader log";
        EXPECT_EQ(run.errors.find("libQt"), std::string::npos) << r.what << " loaded Qt";
    }
}

TEST(ProgramStart, AWindowWithoutItsModuleIsRefusedWithAMessage) {
    // A copy of the program in a directory of its own finds no module beside
    // it (nor at the installed place, in a test build).
    testing::TempDir dir;
    const std::string copy = dir.file("quorby");
    std::filesystem::copy_file(QUORBY_BINARY, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    const CommandLineRun window =
        runCommandLine("--home '" + dir.file("home") + "'", "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", copy);
    if (window.errors.find("no display") != std::string::npos)
        GTEST_SKIP() << "a window module is installed on this machine";
    EXPECT_EQ(window.status, 2);
    EXPECT_NE(window.errors.find("quorby: the window module is not installed"), std::string::npos) << window.errors;
    EXPECT_NE(window.errors.find("libquorby-window.so"), std::string::npos) << window.errors;
    EXPECT_NE(window.errors.find("use --batch"), std::string::npos) << window.errors;
    // The tools still work from the copy.
    EXPECT_EQ(runCommandLine("--version", "", copy).out, "Quorby 2.5.3\n");
}

}  // namespace
}  // namespace quorby::e2e
