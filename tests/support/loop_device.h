#pragma once
// A loop device attached to an image file for a test's duration, detached
// however the test ends. Attaching needs root and losetup; device() is empty
// when it failed, and skipReason() says why for GTEST_SKIP.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace quorby::testing {

class LoopDevice {
public:
    explicit LoopDevice(const std::string& image) {
        if (geteuid() != 0) {
            reason_ = "attaching a loop device needs root and losetup: not running as root";
            return;
        }
        if (std::FILE* p = popen(("losetup -f --show '" + image + "' 2>/dev/null").c_str(), "r")) {
            char line[256] = {};
            if (std::fgets(line, sizeof line, p) != nullptr) device_ = line;
            pclose(p);
        }
        while (!device_.empty() && (device_.back() == '\n' || device_.back() == ' ')) device_.pop_back();
        if (device_.rfind("/dev/loop", 0) != 0) {
            device_.clear();
            reason_ = "no loop device could be attached (losetup -f --show failed)";
        }
    }
    ~LoopDevice() {
        if (!device_.empty()) std::system(("losetup -d '" + device_ + "'").c_str());
    }
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    const std::string& device() const { return device_; }
    const std::string& skipReason() const { return reason_; }

private:
    std::string device_;
    std::string reason_;
};

// A zero-filled image of `sectors` 512-byte sectors in a new temporary
// directory, attached as a loop device, with a place for a Journal File
// beside it. All of it is removed again however the test ends.
class ZeroDriveOnLoop {
public:
    explicit ZeroDriveOnLoop(std::size_t sectors) {
        if (mkdtemp(dir_) == nullptr) return;
        image_ = std::string(dir_) + "/drive.img";
        journal_ = std::string(dir_) + "/drive.jnl";
        if (std::FILE* f = std::fopen(image_.c_str(), "wb")) {
            std::vector<char> zeros(sectors * 512, 0);
            std::fwrite(zeros.data(), 1, zeros.size(), f);
            std::fclose(f);
            loop_.emplace(image_);
        }
    }
    ~ZeroDriveOnLoop() {
        loop_.reset();
        if (!journal_.empty()) std::remove(journal_.c_str());
        if (!image_.empty()) std::remove(image_.c_str());
        rmdir(dir_);
    }
    ZeroDriveOnLoop(const ZeroDriveOnLoop&) = delete;
    ZeroDriveOnLoop& operator=(const ZeroDriveOnLoop&) = delete;

    // Empty when no device could be attached; skipReason() says why.
    std::string device() const { return loop_ ? loop_->device() : std::string(); }
    std::string skipReason() const { return loop_ ? loop_->skipReason() : "no temporary image could be made"; }
    const std::string& journal() const { return journal_; }

private:
    char dir_[32] = "/tmp/quorby-loop-XXXXXX";
    std::string image_, journal_;
    std::optional<LoopDevice> loop_;
};

}  // namespace quorby::testing
