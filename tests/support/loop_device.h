#pragma once
// A loop device attached to an image file for a test's duration, detached
// however the test ends. Attaching needs root and losetup; device() is empty
// when it failed, and skipReason() says why for GTEST_SKIP.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

}  // namespace quorby::testing
