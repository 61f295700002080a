#include <sys/stat.h>

#include <cerrno>

#include "resources/menus.h"
#include "state/error_report.h"
#include "filemenu/open_close.h"
#include "document/main_file.h"
#include "tests/support/captions.h"
#include "tests/document/store_fixture.h"

namespace quorby::test {
namespace {

using MainFileTest = StoreTest;

TEST_F(MainFileTest, OpeningAndClosing) {
    auto bytes = patternBytes(700);
    std::string path = writeFile("plain.bin", bytes);
    app.view.viewOffset = 600;  // left over: not a valid offset
    ASSERT_EQ(openMainFile(app, path), 0);
    EXPECT_EQ(app.main.mainKind, MainKind::File);
    EXPECT_EQ(app.main.mainName, path);
    EXPECT_EQ(platform.caption, testing::fileCaption(path, false));
    EXPECT_EQ(app.main.fileSize, 700u);
    EXPECT_EQ(app.main.lastBytePos, 699u);
    std::uint64_t expectedTime = 0;
    io.lastWriteTimeOfPath(path, &expectedTime);
    EXPECT_EQ(app.main.mainTime, expectedTime);
    EXPECT_EQ(app.shell.accessFlags & kAccessWritable, 0u);  // openReadOnly is the default
    EXPECT_EQ(app.view.viewOffset, 0u);
    EXPECT_EQ(shown(0, 700), bytes);
    EXPECT_EQ(platform.recentFiles, std::vector<std::string>{"   &0. " + path});
    EXPECT_FALSE(platform.menuEnabled.at(kMenuAvi));

    // A RIFF file enables the AVI menu; the previous file is closed.
    FileHandle previous = app.main.mainHandle;
    struct stat before {};
    ASSERT_EQ(fstat(previous, &before), 0);
    ASSERT_EQ(openMainFile(app, writeFile("clip.avi", {'R', 'I', 'F', 'F', 0, 0})), 0);
    EXPECT_TRUE(platform.menuEnabled.at(kMenuAvi));
    // The descriptor number may be taken again by the new Journal File, but it
    // no longer refers to the previous Main File.
    struct stat after {};
    EXPECT_TRUE(fstat(previous, &after) != 0 || after.st_ino != before.st_ino);

    app.view.selectionActive = kSelectionExists;
    EXPECT_EQ(closeMainFile(app), 0);
    EXPECT_EQ(app.main.mainHandle, kNoFile);
    EXPECT_EQ(app.main.fileSize, 0u);
    EXPECT_EQ(app.view.pageLength, 0u);
    EXPECT_EQ(app.view.selectionActive, 0u);
    EXPECT_EQ(shown(0, 6), std::vector<std::uint8_t>(6, 0));
    EXPECT_EQ(platform.caption, kProgramCaption);  // no file: the program's own caption
    EXPECT_FALSE(platform.menuEnabled.at(kMenuAvi));
    EXPECT_EQ(closeMainFile(app), 1);
}

TEST_F(MainFileTest, AFailedOpeningChangesNothingAndSaysWhy) {
    std::string path = writeFile("kept.bin", patternBytes(2048));
    ASSERT_EQ(openMainFile(app, path), 0);
    ASSERT_EQ(readPagePair(app, 1024), 0);
    FileHandle handle = app.main.mainHandle;

    std::string missing = dir + "no such file";
    EXPECT_EQ(openMainFile(app, missing), 1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Error reading " + missing);
    ASSERT_NE(messageTableText(2), nullptr);
    EXPECT_EQ(platform.boxes[0].caption, messageTableText(2));
    EXPECT_EQ(openMainFile(app, dir), 1);  // a directory is no Main File either
    app.main.openReadOnly = false;
    EXPECT_EQ(openMainFile(app, missing), 1);  // missing, though write access was asked for
    io.failOpenForWriting = {5, EACCES};
    EXPECT_EQ(openMainFile(app, path), 1);  // the current file, but writing is refused
    ASSERT_EQ(platform.boxes.size(), 4u);
    EXPECT_EQ(platform.boxes[1].text, "Error reading " + dir);
    EXPECT_EQ(platform.boxes[2].text, "Error reading " + missing);
    EXPECT_EQ(platform.boxes[3].text, "Error writing " + path);
    EXPECT_EQ(app.shell.accessFlags & kAccessWritable, 0u);

    EXPECT_EQ(app.main.mainHandle, handle);
    EXPECT_EQ(app.main.mainName, path);
    EXPECT_EQ(app.view.pagePos, 1024u);
    EXPECT_EQ(platform.caption, testing::fileCaption(path, false));
}

TEST_F(MainFileTest, ReopeningTheCurrentFileKeepsTheView) {
    std::string path = writeFile("reopen.bin", patternBytes(8192));
    ASSERT_EQ(openMainFile(app, path), 0);
    ASSERT_EQ(readPagePair(app, 2048), 0);
    app.view.viewOffset = 32;
    app.view.setChanged(5);
    app.view.pageBuffer[5] = 0x42;  // an edit not yet stored

    app.main.openReadOnly = false;
    ASSERT_EQ(openMainFile(app, path), 0);
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(app.view.pagePos, 2048u);
    EXPECT_EQ(app.view.viewOffset, 32u);
    EXPECT_TRUE(app.view.changed(5));
    EXPECT_EQ(app.view.pageBuffer[5], 0x42);
    const std::uint8_t byte = 0x5A;
    std::uint32_t done = 0;
    EXPECT_EQ(io.writeAt(app.main.mainHandle, 10, &byte, 1, &done), 0);  // the new handle writes

    app.main.openReadOnly = true;
    ASSERT_EQ(openMainFile(app, path), 0);
    EXPECT_EQ(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(io.writeAt(app.main.mainHandle, 10, &byte, 1, &done), 1);
    EXPECT_EQ(platform.recentFiles.size(), 1u);
}

TEST_F(MainFileTest, EnsureWritableAsksAndReopens) {
    std::string path = writeFile("protected.bin", patternBytes(1024));
    ASSERT_EQ(openMainFile(app, path), 0);
    app.settings.messageSwitches = kMsgWriteProtect;

    platform.questionAnswers = {0};  // No
    EXPECT_EQ(ensureWritable(app), 1);
    EXPECT_EQ(app.shell.accessFlags & kAccessWritable, 0u);
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_EQ(platform.questions[0].first, "Re-open in Read-Write-Mode ?");
    EXPECT_EQ(platform.questions[0].second,
              "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?");

    platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    EXPECT_EQ(ensureWritable(app), 0);
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(app.settings.messageSwitches & kMsgWriteProtect, 0u);
    EXPECT_EQ(ensureWritable(app), 0);  // writable already: no question
    EXPECT_EQ(platform.questions.size(), 2u);

    EXPECT_EQ(closeMainFile(app), 0);
    EXPECT_EQ(ensureWritable(app), 1);
}

TEST_F(MainFileTest, ChooseMainFileUsesTheDialogAnswer) {
    std::string older = writeFile("older.bin", patternBytes(100));
    std::string chosen = writeFile("chosen.bin", patternBytes(600));
    ASSERT_EQ(openMainFile(app, older), 0);
    app.settings.journalLocation = 0x80000007u;

    EXPECT_EQ(chooseMainFile(app), 1);  // Cancel
    const FileDialogRequest& request = platform.fileRequests.at(0);
    EXPECT_EQ(request.title, "Open File");
    EXPECT_EQ(request.filterName + " " + request.filterPattern, "all Files *.*");
    EXPECT_EQ(request.presetName, older);
    EXPECT_TRUE(request.readOnlyChecked);
    EXPECT_EQ(app.main.mainName, older);

    app.settings.writeAccess = 1;
    platform.fileAnswers.push_back({true, chosen, false});
    EXPECT_EQ(chooseMainFile(app), 0);
    EXPECT_FALSE(platform.fileRequests.at(1).readOnlyChecked);
    EXPECT_EQ(app.main.mainName, chosen);
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(app.settings.journalLocation, 7u);
}

}  // namespace
}  // namespace quorby::test
