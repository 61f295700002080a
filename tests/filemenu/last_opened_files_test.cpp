#include <cstring>

#include "filemenu/last_opened_files.h"
#include "tests/document/store_fixture.h"

namespace quorby::test {
namespace {

using LastOpenedFilesTest = StoreTest;

TEST_F(LastOpenedFilesTest, NewestFirstRenumberedWithoutDuplicates) {
    for (const char* name : {"/a", "/b", "/c", "/a"}) addToLastOpenedFiles(app, name);
    EXPECT_EQ(std::string(app.settings.lastOpenedFiles[0]), "   &0. /a");
    EXPECT_EQ(std::string(app.settings.lastOpenedFiles[1]), "   &1. /c");
    EXPECT_EQ(std::string(app.settings.lastOpenedFiles[2]), "   &2. /b");
    EXPECT_EQ(app.settings.lastOpenedFiles[3][0], 0);
    EXPECT_EQ(platform.recentFiles, (std::vector<std::string>{"   &0. /a", "   &1. /c", "   &2. /b"}));

    for (int i = 0; i < 12; ++i) addToLastOpenedFiles(app, "/f" + std::to_string(i));
    EXPECT_EQ(std::string(app.settings.lastOpenedFiles[9]), "   &9. /f2");  // the oldest dropped out
    EXPECT_EQ(platform.recentFiles.size(), 10u);
    EXPECT_EQ(lastOpenedPath(app, 0), "/f11");

    // The longest path that fits, and one character more: refused, list unchanged.
    std::string longest = "/" + std::string(kLastOpenedMaxPath - 1, 'x');
    addToLastOpenedFiles(app, longest);
    EXPECT_EQ(lastOpenedPath(app, 0), longest);
    addToLastOpenedFiles(app, longest + "y");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].text.find(longest + "y"), std::string::npos);
    EXPECT_EQ(lastOpenedPath(app, 0), longest);
    EXPECT_EQ(lastOpenedPath(app, 1), "/f11");
}

TEST_F(LastOpenedFilesTest, ChoosingAnEntryOpensItWithTheSettingsAccess) {
    std::string first = writeFile("first.bin", patternBytes(10));
    std::string second = writeFile("second.bin", patternBytes(20));
    addToLastOpenedFiles(app, first);
    addToLastOpenedFiles(app, second);
    app.settings.writeAccess = 1;
    app.settings.journalLocation = 0x80000005u;

    openLastOpenedFile(app, 1);
    EXPECT_EQ(app.main.mainName, first);
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(app.settings.journalLocation, 5u);
    EXPECT_EQ(lastOpenedPath(app, 0), first);

    app.settings.writeAccess = 0;
    openLastOpenedFile(app, 1);
    EXPECT_EQ(app.main.mainName, second);
    EXPECT_EQ(app.shell.accessFlags & kAccessWritable, 0u);
    openLastOpenedFile(app, 5);  // an empty entry does nothing
    EXPECT_EQ(app.main.mainName, second);
    EXPECT_TRUE(platform.boxes.empty());
}

}  // namespace
}  // namespace quorby::test
