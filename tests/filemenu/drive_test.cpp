#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/command_codes.h"
#include "resources/menus.h"
#include "filemenu/open_close.h"
#include "filemenu/drive_dialog.h"
#include "document/main_file.h"
#include "tests/document/store_fixture.h"
#include "tests/support/loop_device.h"

namespace quorby::test {
namespace {

// Drives made of plain files: the opening logic is the same for them.
class DriveTest : public StoreTest {
protected:
    std::vector<std::uint8_t> diskB = patternBytes(3000, 22);
    std::string pathA, pathB, pathP;

    void SetUp() override {
        StoreTest::SetUp();
        pathA = writeFile("diskA", patternBytes(4096, 21));
        pathB = writeFile("diskB", diskB);
        pathP = writeFile("physical", patternBytes(2048, 23));
        io.logicalDrives = {{pathA, 4096}, {pathB, 3000}};
        io.physicalDrives = {{pathP, 2048}};
    }
    // Answers the dialog by checking `radioId` (0: none) and the check box.
    void answerDialog(int radioId, bool writeProtected, int button = kDriveDialogOk) {
        platform.dialogHandler = [=](DialogDescription& dialog) {
            if (radioId) dialog.find(radioId)->checked = true;
            dialog.find(kDriveWriteProtected)->checked = writeProtected;
            return button;
        };
    }
};

TEST(DriveTextTest, LetterOrNumberEndsAtTheTenthCharacter) {
    EXPECT_EQ(driveText(0, "/dev/loop0"), "  Drive  A: /dev/loop0");
    EXPECT_EQ(driveText(kFirstPhysicalDriveNumber, "/dev/sda"), "  Drive  1: /dev/sda");
    EXPECT_EQ(driveText(kFirstPhysicalDriveNumber + 9, "/dev/sdj"), "  Drive 10: /dev/sdj");
    EXPECT_EQ(driveInfoText({"/dev/nvme0n1", 1000204886016ULL}), "/dev/nvme0n1   931.5 GiB");
}

TEST_F(DriveTest, TheDialogOffersThePresentDrivesAndNeedsAChoice) {
    EXPECT_EQ(openDriveDialog(app), 1);  // Cancel
    DialogDescription& d = platform.dialogsShown.at(0);
    EXPECT_EQ(d.title, "Open Drive");
    EXPECT_EQ(d.find(kDriveLogicalFirst + 19)->text, "&T:");
    EXPECT_EQ(d.find(kDrivePhysicalFirst + 9)->text, "&10");
    EXPECT_TRUE(d.find(kDriveLogicalFirst + 1)->enabled);
    EXPECT_FALSE(d.find(kDriveLogicalFirst + 2)->enabled);
    EXPECT_FALSE(d.find(kDrivePhysicalFirst + 1)->enabled);
    EXPECT_EQ(d.find(kDriveLogicalInfoFirst + 1)->text, pathB + "   2.9 KiB");
    EXPECT_TRUE(d.find(kDriveWriteProtected)->checked);

    app.settings.writeAccess = 1;
    answerDialog(0, true);  // OK without a drive counts as Cancel
    EXPECT_EQ(openDriveDialog(app), 1);
    EXPECT_FALSE(platform.dialogsShown.at(1).find(kDriveWriteProtected)->checked);
    answerDialog(kDriveLogicalFirst + 2, true);  // a letter without a drive
    EXPECT_EQ(openDriveDialog(app), 1);
    EXPECT_EQ(app.main.mainHandle, kNoFile);
}

TEST_F(DriveTest, OpeningALogicalDriveAndChangingItsAccess) {
    std::string file = writeFile("file.bin", patternBytes(100));
    ASSERT_EQ(openMainFile(app, file), 0);
    answerDialog(kDriveLogicalFirst + 1, true);
    ASSERT_EQ(openDriveDialog(app), 0);

    const std::string text = "  Drive  B: " + pathB;
    EXPECT_EQ(app.main.mainName, text);
    EXPECT_EQ(app.main.mainKind, MainKind::LogicalDrive);
    EXPECT_EQ(app.main.driveNumber, 1u);
    EXPECT_EQ(app.main.fileSize, 3000u);
    EXPECT_NE(app.shell.modeFlags & kModeDrive, 0u);
    EXPECT_EQ(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_FALSE(platform.itemEnabled.at(kCmdDeleteDrivePhysically));  // "Delete Drive physically"
    EXPECT_EQ(shown(0, 1024), slice(diskB, 0, 1024));
    EXPECT_EQ(platform.recentFiles.size(), 1u) << "drives stay out of the list of files";

    ASSERT_EQ(readPagePair(app, 2048), 0);
    app.view.viewOffset = 48;
    EXPECT_EQ(openDriveByPath(app, pathB, false), 0);  // the same drive: only the access changes
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(app.view.pagePos, 2048u);
    EXPECT_EQ(app.view.viewOffset, 48u);

    EXPECT_EQ(openDriveByPath(app, dir + "other", true), 1);  // not offered
    EXPECT_EQ(platform.boxes.size(), 1u);
    ASSERT_EQ(openMainFile(app, file), 0);  // a file after a drive leaves Disk Mode
    EXPECT_EQ(app.shell.modeFlags & kModeDrive, 0u);
}

TEST_F(DriveTest, WritingDirectlyIsConfirmedFirst) {
    app.settings.messageSwitches = kMsgWritingDirectly;
    platform.questionAnswers = {kAnswerDontAsk};  // No, with "Don't ask again !"
    answerDialog(kDrivePhysicalFirst, false);
    EXPECT_EQ(openDriveDialog(app), 1);
    EXPECT_EQ(app.main.mainHandle, kNoFile);
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_EQ(platform.questions[0].first, "               *** ! ! ! ! ! ! ! ! ! ! ***");
    EXPECT_EQ(platform.questions[0].second,
              "WARNING !\nWriting to the Drive directly\ncan cause complete Loss of Data !\n"
              "Please Check any Write-Action !");
    EXPECT_EQ(app.settings.messageSwitches, std::uint32_t(kMsgWritingDirectly));

    platform.questionAnswers = {kAnswerYes | kAnswerDontAsk};
    ASSERT_EQ(openDriveDialog(app), 0);
    EXPECT_EQ(app.main.mainKind, MainKind::PhysicalDrive);
    EXPECT_EQ(app.main.mainName, "  Drive  1: " + pathP);
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(app.settings.messageSwitches, 0u);

    EXPECT_EQ(openDriveByPath(app, pathP, true), 0);
    EXPECT_EQ(ensureWritable(app), 0);  // re-opens the drive, without the warning now
    EXPECT_NE(app.shell.accessFlags & kAccessWritable, 0u);
    EXPECT_EQ(platform.questions.size(), 2u);
}

TEST_F(DriveTest, ALoopDeviceOpensAsALogicalDrive) {
    constexpr std::size_t kSize = 8u << 20;
    auto content = patternBytes(kSize, 77);
    std::string backing = writeFile("loop.img", content);
    testing::LoopDevice loop(backing);
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();
    io.useRealDrives = true;
    std::vector<DriveInfo> logical, physical;
    io.listDrives(&logical, &physical);
    auto listed = std::find_if(logical.begin(), logical.end(), [&](auto& d) { return d.devicePath == loop.device(); });
    if (listed == logical.end()) {
        // Twenty other devices come first on this machine: offer it directly.
        ASSERT_EQ(logical.size(), kMaxLogicalDriveSlots) << loop.device() << " is missing from the list";
        io.useRealDrives = false;
        io.logicalDrives = {{loop.device(), kSize}};
    } else {
        EXPECT_EQ(listed->size, kSize);
    }

    ASSERT_EQ(openDriveByPath(app, loop.device(), true), 0);
    EXPECT_EQ(app.main.mainKind, MainKind::LogicalDrive);
    EXPECT_EQ(app.main.fileSize, kSize);  // from the device's size request
    EXPECT_EQ(app.main.mainName.substr(10), ": " + loop.device());
    EXPECT_EQ(shown(0, 1024), slice(content, 0, 1024));
    ASSERT_EQ(readPagePair(app, kSize - 1024), 0);
    EXPECT_EQ(shown(0, 1024), slice(content, kSize - 1024, 1024));
    ASSERT_EQ(readPagePair(app, kSize), 0);
    EXPECT_EQ(app.view.pageLength, 0u);

    DiskSpace space;  // the device is its own "drive"
    ASSERT_EQ(io.diskSpace(loop.device(), &space), 0);
    EXPECT_EQ(space.totalBytes, kSize);
    std::uint64_t id = 0;
    ASSERT_EQ(io.driveId(loop.device(), &id), 0);
    struct stat st;
    ASSERT_EQ(stat(loop.device().c_str(), &st), 0);
    EXPECT_EQ(id, std::uint64_t(st.st_rdev));
    EXPECT_EQ(closeMainFile(app), 0);
}

}  // namespace
}  // namespace quorby::test
