#pragma once
// Reads that a dying drive may hold up for seconds or minutes: they run on a
// thread of their own while the caller waits in short slices, so that the
// window keeps being drawn and ESC can give the read up.
//
// Which descriptors are read that way: block devices from their opening on,
// and any file from its first read that failed or took longer than the
// stall time. A healthy regular file keeps reading on the caller's thread,
// at no extra cost.
#include <chrono>
#include <cstdint>
#include <functional>
#include <set>

#include "core/file_pos.h"

namespace quorby {

inline constexpr std::chrono::milliseconds kReadStallTime{300};
inline constexpr std::chrono::milliseconds kStalledReadPollSlice{100};

// pread repeated over short transfers and EINTR up to `n` bytes or the end
// of the file. Returns 0, or the errno of the failed call; *done what
// arrived before.
int preadFully(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done);
using ReadFunction = int (*)(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done);

class StalledReads {
public:
    // `stopWaiting` is asked every poll slice once a read has waited the
    // stall time; true gives the read up. Without one, reads wait as long as
    // the system takes.
    void setStopWaiting(std::function<bool()> stopWaiting) { stopWaiting_ = std::move(stopWaiting); }
    bool active() const { return static_cast<bool>(stopWaiting_); }

    void watch(int fd) { watched_.insert(fd); }
    void forget(int fd) { watched_.erase(fd); }
    bool watched(int fd) const { return watched_.count(fd) != 0; }

    // Reads with `read` on a thread of its own. Returns ECANCELED when
    // stopWaiting gave the read up: the thread then finishes into a buffer
    // of its own, and `buf` is not touched after the return.
    int readWatched(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done,
                    ReadFunction read = preadFully);

private:
    std::function<bool()> stopWaiting_;
    std::set<int> watched_;
};

}  // namespace quorby
