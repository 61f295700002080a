// A loop device opened as a drive through the batch mode's `drive` command,
// which fills the "Open Drive" dialog. Needs root to attach the loop device.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "e2e_support.h"
#include "tests/support/digest_text.h"
#include "tests/support/loop_device.h"

namespace quorby::e2e {
namespace {

TEST(DriveSession, LoopDeviceOpensWriteProtectedThroughTheDriveDialog) {
    TempDir dir;
    std::string image = dir.file("drive.img");
    writeFile(image, "DRIVE-DATA" + std::string(64 * 1024 - 10, '\0'));
    testing::LoopDevice loop(image);
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();

    BatchRun run = runInProcess("answer no\n"
                                "drive " + loop.device() + " readonly\n"
                                "print row 1\nprint state\n"
                                "expect state mainKind logical-drive\n"
                                "expect state fileSize 0x10000\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_NE(run.transcript.find("DIALOG \"Open Drive\" -> 1\n"), std::string::npos) << run.transcript;
    EXPECT_NE(lineStartingWith(run.transcript, "01|").find("44 52 49 56 45 2D 44 41  54 41 00"), std::string::npos)
        << run.transcript;
    std::string name = lineStartingWith(run.transcript, "mainName=");
    EXPECT_EQ(name.substr(name.size() - loop.device().size() - 1), " " + loop.device());
    // Write-protected: no write access bit.
    std::string access = lineStartingWith(run.transcript, "accessFlags=");
    EXPECT_EQ(std::stoul(access.substr(12), nullptr, 16) & 8u, 0u) << access;

    // A device that is not listed fails the script instead of opening something else.
    BatchRun missing = runInProcess("answer no\ndrive /dev/not-a-drive readonly\n", dir.file("home"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.transcript.find("ERROR line 2: the drive dialog does not list /dev/not-a-drive"),
              std::string::npos)
        << missing.transcript;
}

TEST(DriveSession, ChecksumsOfADriveAreThoseOfItsBytes) {
    TempDir dir;
    std::string image(192 * 1024, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = char(i * 131 + (i >> 10));
    writeFile(dir.file("drive.img"), image);
    testing::LoopDevice loop(dir.file("drive.img"));
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();
    BatchRun run = runInProcess("answer no\n"
                                "drive " + loop.device() + " readonly\n"
                                "print checksums sha256\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string hex = testing::digestText(EVP_sha256(), image.data(), image.size());
    EXPECT_TRUE(run.has("CHECKSUMS 0x0 0x30000\nSHA256 " + hex + "\n")) << run.transcript;
}

}  // namespace
}  // namespace quorby::e2e
