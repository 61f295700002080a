#pragma once
// The entries of an index read a block at a time rather than one by one:
// an index holds thousands of entries of 8 or 16 bytes, and each read has a
// cost of its own whatever its size. Only whole entries that lie in the file
// are read; a block that cannot be read is read again entry by entry, so an
// entry that can be read is never lost to a bad one behind it.
#include <cstdint>

#include "avi/riff_content.h"

namespace quorby {

class IndexEntries {
public:
    // `count` entries of `entrySize` bytes from `first` on.
    IndexEntries(RiffContent& content, FilePos first, std::uint32_t entrySize, std::uint32_t count);
    // Entry i's bytes, or nullptr when they do not lie wholly in the file or
    // the read failed.
    const std::uint8_t* entry(std::uint32_t i);
    // Entry i's bytes when they were already read with an earlier one
    // (looking ahead costs no read); nullptr otherwise.
    const std::uint8_t* held(std::uint32_t i) const;
    // The content may have changed: the next entry is read anew.
    void forget() { blockCount_ = 0; }

private:
    static constexpr std::uint32_t kBlockSize = 4096;
    RiffContent& content_;
    FilePos first_;
    std::uint32_t entrySize_;
    std::uint32_t count_;
    std::uint32_t blockFirst_ = 0;
    std::uint32_t blockCount_ = 0;
    std::uint8_t block_[kBlockSize] = {};
};

}  // namespace quorby
