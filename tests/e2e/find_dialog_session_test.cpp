// The find dialog through the batch mode: its text is bytes (also above
// 0x7F), a reopened dialog has its text selected, and after "NOT FOUND" Find
// Next is greyed with a line saying how to start again, until Ctrl+F.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

TEST(FindDialogSession, BytePatternsAndTheGreyedFindNextAfterNotFound) {
    TempDir dir;
    std::string bytes(2048, 'x');
    bytes.replace(0x300, 3, "\xE4\x80\xFF");
    writeFile(dir.file("data.bin"), bytes);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("data.bin") + "\n"
                                "search text \"\\xE4\\x80\\xFF\" case\n"
                                "search text nope\n"
                                "print window find\n"
                                "search text \"\\xE4\\x80\\xFF\"\n"
                                "key F3\n"
                                "expect state cursorPos 0x300\n"
                                "key Ctrl+F\n"
                                "print window find\n"
                                "search text \"\\xE4\\x80\\xFF\" case\n"
                                "quit\n",
                                dir.file("home"));
    const std::string& t = run.transcript;
    ASSERT_EQ(run.status, 0) << t;
    const std::size_t found = t.find("SEARCH FOUND 0x300\n");
    const std::size_t notFound = t.find("> search text nope\nSEARCH NOT FOUND\n");
    ASSERT_NE(found, std::string::npos) << t;
    ASSERT_NE(notFound, std::string::npos) << t;

    const std::size_t greyed = t.find("WINDOW find \"Find TEXT\"", notFound);
    const std::size_t reopened = t.find("WINDOW find \"Find TEXT\"", greyed + 1);
    ASSERT_NE(greyed, std::string::npos) << t;
    ASSERT_NE(reopened, std::string::npos) << t;
    const std::string afterNotFound = t.substr(greyed, reopened - greyed);
    const std::string afterReopening = t.substr(reopened);
    EXPECT_NE(afterNotFound.find("  [1] button \"&Find Next\" disabled\n"), std::string::npos) << afterNotFound;
    EXPECT_NE(afterNotFound.find("  [1090] label \"NOT FOUND: Ctrl+F starts a new search\"\n"), std::string::npos)
        << afterNotFound;
    EXPECT_NE(afterNotFound.find("> search text \"\\xE4\\x80\\xFF\"\nSEARCH NOT RUN\n"), std::string::npos)
        << "nothing runs until the dialog is opened anew";

    EXPECT_NE(afterReopening.find(" focus [1152] selected\n"), std::string::npos) << afterReopening;
    EXPECT_NE(afterReopening.find("  [1] button \"&Find Next\"\n"), std::string::npos) << afterReopening;
    EXPECT_NE(afterReopening.find("  [1090] label \"\" hidden\n"), std::string::npos) << afterReopening;
    EXPECT_NE(afterReopening.find("SEARCH FOUND 0x300\n"), std::string::npos) << afterReopening;
}

}  // namespace
}  // namespace quorby::e2e
