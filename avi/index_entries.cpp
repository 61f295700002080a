#include "avi/index_entries.h"

namespace quorby {

IndexEntries::IndexEntries(RiffContent& content, FilePos first, std::uint32_t entrySize, std::uint32_t count)
    : content_(content), first_(first), entrySize_(entrySize), count_(count) {}

const std::uint8_t* IndexEntries::held(std::uint32_t i) const {
    if (i < blockFirst_ || i - blockFirst_ >= blockCount_) return nullptr;
    return block_ + entrySize_ * (i - blockFirst_);
}

const std::uint8_t* IndexEntries::entry(std::uint32_t i) {
    if (const std::uint8_t* e = held(i)) return e;
    blockCount_ = 0;
    const FilePos size = content_.size();
    const FilePos pos = first_ + FilePos(entrySize_) * i;
    if (i >= count_ || pos >= size || size - pos < entrySize_) return nullptr;
    const FilePos whole = (size - pos) / entrySize_;
    std::uint32_t n = count_ - i;
    if (n > kBlockSize / entrySize_) n = kBlockSize / entrySize_;
    if (n > whole) n = std::uint32_t(whole);
    std::uint32_t got = 0;
    if (n > 1 && (content_.read(pos, block_, n * entrySize_, &got) != 0 || got != n * entrySize_)) n = 1;
    if (n == 1 && (content_.read(pos, block_, entrySize_, &got) != 0 || got != entrySize_)) return nullptr;
    blockFirst_ = i;
    blockCount_ = n;
    return block_;
}

}  // namespace quorby
