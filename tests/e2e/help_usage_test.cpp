// What a user reads: `quorby --help` lists every script command with the
// usage line a script error shows for it, and a wrong line in a script or on
// the command line names the right usage.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/command_line_run.h"
#include "tests/support/temp_dir.h"

namespace quorby::e2e {
namespace {

// The help's lines that start with `start` after the four blanks of a
// command line.
bool helpListsCommand(const std::string& help, const std::string& start) {
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("    " + start, 0) == 0) return true;
    return false;
}

// The first error line of a script of one line.
std::string scriptError(const std::string& line) {
    testing::TempDir dir;
    testing::writeFile(dir.file("script.txt"), line + "\n");
    const CommandLineRun run = runCommandLine("--batch '" + dir.file("script.txt") + "' --home '" + dir.file("home") + "'");
    EXPECT_EQ(run.status, 1) << line;
    const std::string prefix = "ERROR line 1: ";
    const std::size_t at = run.out.find(prefix);
    if (at == std::string::npos) return "(no error: " + run.out + ")";
    return run.out.substr(at + prefix.size(), run.out.find('\n', at) - at - prefix.size());
}

TEST(HelpAndUsage, HelpListsEveryCommandOfTheLanguage) {
    const CommandLineRun run = runCommandLine("--help");
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.errors.empty()) << run.errors;
    const std::string& help = run.out;
    EXPECT_EQ(help.rfind("Quorby 2.5.3 - hex editor for big files and drives\n", 0), 0u);
    for (const char* heading : {"\nUsage:\n", "\nBatch mode\n", "\n  Actions\n", "\n  Limit\n", "\n  Output\n",
                                "\n  Transcript\n", "\n  Answers, queued for what comes later"})
        EXPECT_NE(help.find(heading), std::string::npos) << heading;
    // Each command a script can hold, as the user types it.
    for (const char* command :
         {"open PATH [readonly]", "drive DEVICE [readonly]", "command CODE|\"MENU TEXT\"", "key KEYS", "hold KEY",
          "release ", "type TEXT", "click COL ROW [right|double] [shift|ctrl]", "drag COL ROW COL ROW",
          "wheel STEPS [ctrl|shift]", "scroll lineup|linedown", "resize WIDTH HEIGHT", "paint ",
          "window WINDOW set LABEL-OR-ID TEXT", "window WINDOW caret LISTING-ID LINE", "window WINDOW close",
          "search text|hex PATTERN [up|down] [case]", "compare PATH", "clipboard text TEXT",
          "clipboard data HEXBYTES", "clipboard clear", "differences ", "quit ", "close ", "answer A [A ...]",
          "file PATH|cancel [readonly]", "popup CODE|\"MENU TEXT\"|cancel", "dialog set LABEL-OR-ID VALUE",
          "dialog check LABEL-OR-ID [on|off]", "dialog choose LABEL-OR-ID", "dialog press LABEL-OR-ID",
          "dialog cancel", "pending key KEYS", "pending type TEXT", "pending wait N",
          "pending command CODE|\"MENU TEXT\"", "pending window WINDOW ...", "timeout SECONDS|off", "print grid",
          "print row N", "print cells ROW", "print colours ROW", "print state", "print caption", "print scrollbar",
          "print menus", "print clipboard", "print window WINDOW", "echo TEXT", "expect row N TEXT",
          "expect state NAME VALUE", "expect caption TEXT"})
        EXPECT_TRUE(helpListsCommand(help, command)) << command;
    // Texts beside their commands, as the user looks them up.
    EXPECT_NE(help.find("    open PATH [readonly]        \"&Open\" with the file dialog answered\n"), std::string::npos);
    EXPECT_NE(help.find("    timeout SECONDS|off         a time limit for each later command"), std::string::npos);
    EXPECT_NE(help.find("(command 32805)"), std::string::npos) << "the code of \"Save &File\" as the example";
    EXPECT_NE(help.find("WINDOW = find |\n"), std::string::npos);
    EXPECT_NE(help.find("values | avicheck | avi"), std::string::npos) << "every window a script can act in";
    // Spellings the language takes but the help does not list twice.
    EXPECT_FALSE(helpListsCommand(help, "print colors"));
}

TEST(HelpAndUsage, AScriptErrorShowsTheUsageTheHelpLists) {
    const std::string help = runCommandLine("--help").out;
    const struct {
        const char* line;
        const char* usage;
    } cases[] = {
        {"open", "open PATH [readonly]"},
        {"click 5", "click COL ROW [right|double] [shift|ctrl]"},
        {"resize 100", "resize WIDTH HEIGHT"},
        {"scroll sideways", "scroll lineup|linedown|pageup|pagedown|top|bottom|track POS|thumb POS"},
        {"print row", "print row N"},
        {"dialog set Name", "dialog set LABEL-OR-ID VALUE"},
        {"dialog check Name maybe", "dialog check LABEL-OR-ID [on|off]"},
        {"window find caret 1", "window WINDOW caret LISTING-ID LINE"},
        {"pending wait", "pending wait N"},
        {"expect state fileSize", "expect state NAME VALUE"},
        {"file a.bin writable", "file PATH|cancel [readonly]"},
        {"quit now", "quit"},
        {"type \"\"", "type TEXT"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scriptError(c.line), std::string("usage: ") + c.usage) << c.line;
        EXPECT_TRUE(helpListsCommand(help, c.usage)) << c.usage << " is not in --help";
    }
    // A command without its form lists all its forms, each as --help has it.
    const std::string print = scriptError("print everything");
    EXPECT_EQ(print.rfind("usage: print grid | print row N | print cells ROW | print colours ROW | ", 0), 0u) << print;
    EXPECT_NE(print.find(" | print window WINDOW"), std::string::npos) << print;
    const std::string window = scriptError("window find");
    EXPECT_NE(window.find("window WINDOW set LABEL-OR-ID TEXT | window WINDOW check LABEL-OR-ID [on|off]"),
              std::string::npos)
        << window;
    EXPECT_NE(scriptError("pending window find").find("pending window WINDOW press LABEL-OR-ID"), std::string::npos);
    EXPECT_EQ(scriptError("frobnicate now"), "unknown command 'frobnicate'");
    EXPECT_EQ(scriptError("click 1 2 middle"), "unknown click option 'middle'; click COL ROW [right|double] [shift|ctrl]");
}

TEST(HelpAndUsage, AWrongCommandLineNamesTheProblemAboveTheHelp) {
    const CommandLineRun unknown = runCommandLine("--frobnicate");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.out.empty()) << "the help goes to standard error";
    EXPECT_EQ(unknown.errors.rfind("quorby: unknown option --frobnicate\nQuorby 2.5.3 - hex editor", 0), 0u)
        << unknown.errors.substr(0, 200);
    const CommandLineRun missing = runCommandLine("--batch");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors.rfind("quorby: --batch needs a script file (or - for standard input)\n", 0), 0u);
    const CommandLineRun two = runCommandLine("--batch - a.bin b.bin");
    EXPECT_EQ(two.status, 1);
    EXPECT_EQ(two.errors.rfind("quorby: only one FILE can be opened\n", 0), 0u);
    EXPECT_EQ(runCommandLine("-h").out, runCommandLine("--help").out);
}

}  // namespace
}  // namespace quorby::e2e
