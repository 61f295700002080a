#include "platform/posix/stalled_reads.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quorby {

namespace {

// What the reading thread and the waiting caller share; the last of the two
// to let go frees it, so a read given up can still finish safely.
struct PendingRead {
    std::mutex mutex;
    std::condition_variable finishedSignal;
    bool finished = false;
    std::vector<std::uint8_t> data;
    std::uint32_t done = 0;
    int err = 0;
};

}  // namespace

int preadFully(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
    *done = 0;
    auto* p = static_cast<std::uint8_t*>(buf);
    while (*done < n) {
        const ssize_t got = ::pread(fd, p + *done, n - *done, off_t(pos + *done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) break;  // end of file
        *done += std::uint32_t(got);
    }
    return 0;
}

int StalledReads::readWatched(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done,
                              ReadFunction readBytes) {
    *done = 0;
    auto read = std::make_shared<PendingRead>();
    read->data.resize(n);
    try {
        std::thread([read, fd, pos, n, readBytes] {
            std::uint32_t got = 0;
            const int err = readBytes(fd, pos, read->data.data(), n, &got);
            const std::lock_guard<std::mutex> lock(read->mutex);
            read->done = got;
            read->err = err;
            read->finished = true;
            read->finishedSignal.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had (the system's limit): the read waits here.
        return readBytes(fd, pos, buf, n, done);
    }

    std::unique_lock<std::mutex> lock(read->mutex);
    const auto started = std::chrono::steady_clock::now();
    while (!read->finishedSignal.wait_for(lock, kStalledReadPollSlice, [&] { return read->finished; })) {
        if (std::chrono::steady_clock::now() - started < kReadStallTime || !stopWaiting_) continue;
        lock.unlock();
        const bool stop = stopWaiting_();
        lock.lock();
        if (stop && !read->finished) return ECANCELED;
    }
    std::memcpy(buf, read->data.data(), read->done);
    *done = read->done;
    return read->err;
}

}  // namespace quorby
