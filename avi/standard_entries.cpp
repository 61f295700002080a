#include "avi/standard_entries.h"

namespace quorby {
namespace {

bool bytesAt(RiffContent& content, FilePos pos, std::uint8_t* out, std::uint32_t n) {
    std::uint32_t got = 0;
    if (pos >= content.size() || content.size() - pos < n) return false;
    return content.read(pos, out, n, &got) == 0 && got == n;
}

}  // namespace

StandardEntries::StandardEntries(RiffContent& content, FilePos indx) : content_(content), indx_(indx) {
    std::uint8_t header[32];
    if (indx == 0 || !bytesAt(content, indx, header, sizeof header)) {
        ended_ = true;
        return;
    }
    const FilePos windowEnd = pageStart(indx) + 2048;
    const FilePos chunkEnd = indx + 8 + FilePos(le32(header + 4));
    superEnd_ = windowEnd < chunkEnd ? windowEnd : chunkEnd;
    superInUse_ = le32(header + 12);
    streamId_ = FourCc('i') | FourCc('x') << 8 | FourCc(header[16]) << 16 | FourCc(header[17]) << 24;
    ended_ = !nextIndex() || !nextEntry();
}

bool StandardEntries::nextIndex() {
    while (superNext_ < superInUse_) {
        const FilePos entry = indx_ + 32 + 16 * FilePos(superNext_++);
        std::uint8_t e[16], header[32];
        if (entry + 16 > superEnd_ || !bytesAt(content_, entry, e, 16)) return false;
        const FilePos ix = le64(e);
        if (!bytesAt(content_, ix, header, sizeof header) || le32(header) != streamId_) continue;
        const std::uint32_t size = le32(header + 4);
        const std::uint32_t room = size < 24 ? 0 : (size - 24) / 8;
        ixPos_ = ix;
        inUse_ = le32(header + 12) < room ? le32(header + 12) : room;
        id_ = le32(header + 16);
        base_ = le64(header + 20);
        next_ = 0;
        blockCount_ = 0;
        if (inUse_ > 0) return true;
    }
    return false;
}

bool StandardEntries::nextEntry() {
    while (next_ >= inUse_)
        if (!nextIndex()) return false;
    if (next_ >= blockFirst_ + blockCount_ || next_ < blockFirst_) {
        const std::uint32_t count = inUse_ - next_ < kBlockEntries ? inUse_ - next_ : kBlockEntries;
        if (!bytesAt(content_, ixPos_ + 32 + 8 * FilePos(next_), block_, 8 * count)) return false;
        blockFirst_ = next_;
        blockCount_ = count;
    }
    chunk_ = base_ + le32(block_ + 8 * (next_ - blockFirst_)) - 8;
    ++next_;
    return true;
}

bool StandardEntries::names(FilePos chunk, FourCc id) {
    while (!ended_ && chunk_ < chunk) ended_ = !nextEntry();
    return !ended_ && chunk_ == chunk && id_ == id;
}

}  // namespace quorby
