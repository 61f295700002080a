#pragma once
// Small reads of a failing block device past the page cache. Buffered, the
// kernel reads a device a memory page (eight sectors) at a time, so one bad
// sector makes the reads of its seven neighbours fail with it. Once a read
// of a block device has failed on the medium, its reads of whole sectors up
// to kDirectReadLimit go through a second descriptor opened with O_DIRECT:
// each reaches the drive as it is asked, and only the sectors that fail on
// their own are lost. Larger reads (a search's blocks) stay buffered; the
// sector reader splits them when they fail.
#include <cstdint>
#include <map>

#include "core/file_pos.h"

namespace quorby {

inline constexpr std::uint32_t kDirectReadLimit = 64 * 1024;

class DirectSectorReads {
public:
    DirectSectorReads() = default;
    DirectSectorReads(const DirectSectorReads&) = delete;
    DirectSectorReads& operator=(const DirectSectorReads&) = delete;
    ~DirectSectorReads();

    // A buffered read of `fd` failed with `err`: a block device whose medium
    // failed is read directly from now on, while it stays open.
    void noteFailedRead(int fd, int err);
    // The descriptor to read [pos, pos + n) of `fd` through, or -1 when the
    // read stays buffered.
    int directDescriptor(int fd, FilePos pos, std::uint32_t n) const;
    void forget(int fd);

private:
    struct Direct {
        int fd = -1;
        std::uint32_t sectorSize = 512;
    };
    std::map<int, Direct> direct_;
};

// preadFully through a buffer aligned for O_DIRECT (`n` up to
// kDirectReadLimit).
int preadAligned(int fd, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done);

}  // namespace quorby
