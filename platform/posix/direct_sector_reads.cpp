#include "platform/posix/direct_sector_reads.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/file_io.h"
#include "platform/posix/stalled_reads.h"

namespace quorby {

namespace {

// O_DIRECT wants the buffer aligned to the device's logical sector; a
// memory page covers every sector size there is.
constexpr std::size_t kDirectAlignment = 4096;

}  // namespace

DirectSectorReads::~DirectSectorReads() {
    for (const auto& [fd, direct] : direct_) ::close(direct.fd);
}

void DirectSectorReads::noteFailedRead(int fd, int err) {
    if (!isMediumError(err) || direct_.count(fd) != 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode)) return;
    int sectorSize = 0;
    if (::ioctl(fd, BLKSSZGET, &sectorSize) != 0 || sectorSize < 512 || (sectorSize & (sectorSize - 1)) != 0 ||
        std::size_t(sectorSize) > kDirectAlignment)
        return;
    // The same device once more, past the page cache; without it the reads
    // stay buffered as before.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const int direct = ::open(self.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
    if (direct < 0) return;
    direct_[fd] = Direct{direct, std::uint32_t(sectorSize)};
}

int DirectSectorReads::directDescriptor(int fd, FilePos pos, std::uint32_t n) const {
    if (direct_.empty()) return -1;
    const auto it = direct_.find(fd);
    if (it == direct_.end()) return -1;
    const std::uint32_t sector = it->second.sectorSize;
    if (n == 0 || n > kDirectReadLimit || pos % sector != 0 || n % sector != 0) return -1;
    return it->second.fd;
}

void DirectSectorReads::forget(int fd) {
    const auto it = direct_.find(fd);
    if (it == direct_.end()) return;
    ::close(it->second.fd);
    direct_.erase(it);
}

int preadAligned(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
    *done = 0;
    if (n > kDirectReadLimit) return EINVAL;
    struct FreeAligned {
        void operator()(void* p) const { std::free(p); }
    };
    const std::unique_ptr<void, FreeAligned> aligned(std::aligned_alloc(kDirectAlignment, kDirectReadLimit));
    if (!aligned) return ENOMEM;
    const int err = preadFully(fd, pos, aligned.get(), n, done);
    std::memcpy(buf, aligned.get(), *done);
    return err;
}

}  // namespace quorby
