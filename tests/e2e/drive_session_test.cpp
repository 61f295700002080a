// A loop device opened as a drive through the batch mode's `drive` command,
// which fills the "Open Drive" dialog. Needs root to attach the loop device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

// A loop device attached for the test's duration.
class LoopDevice {
public:
    explicit LoopDevice(const std::string& image) {
        std::string command = "losetup -f --show '" + image + "' 2>/dev/null";
        if (std::FILE* p = popen(command.c_str(), "r")) {
            char line[256] = {};
            if (std::fgets(line, sizeof line, p) != nullptr) device_ = line;
            pclose(p);
        }
        while (!device_.empty() && (device_.back() == '\n' || device_.back() == ' ')) device_.pop_back();
    }
    ~LoopDevice() {
        if (!device_.empty()) std::system(("losetup -d '" + device_ + "'").c_str());
    }
    const std::string& device() const { return device_; }

private:
    std::string device_;
};

TEST(DriveSession, LoopDeviceOpensWriteProtectedThroughTheDriveDialog) {
    if (geteuid() != 0) GTEST_SKIP() << "attaching a loop device needs root";
    TempDir dir;
    std::string image = dir.file("drive.img");
    writeFile(image, "DRIVE-DATA" + std::string(64 * 1024 - 10, '\0'));
    LoopDevice loop(image);
    if (loop.device().empty()) GTEST_SKIP() << "no loop device could be attached";

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

}  // namespace
}  // namespace quorby::e2e
