#include "avi/chunk_id_window.h"

namespace quorby {

bool ChunkIdWindow::idAt(FilePos pos, FilePos reachEnd, FourCc* id) {
    const FilePos size = content_.size();
    if (pos >= size || size - pos < 4) return false;
    if (!holds(pos)) {
        length_ = 0;
        FilePos end = reachEnd < pos + 4 ? pos + 4 : reachEnd;
        if (end - pos > kMaxSize) end = pos + kMaxSize;
        if (end > size) end = size;
        const std::uint32_t n = std::uint32_t(end - pos);
        std::uint32_t got = 0;
        std::uint8_t one[4];
        if (n == 4) {
            if (content_.read(pos, one, 4, &got) != 0 || got != 4) return false;
            *id = le32(one);
            return true;
        }
        if (bytes_.size() < kMaxSize) bytes_.resize(kMaxSize);
        // A window that cannot be read whole may still hold a readable id
        // at its start: that is read on its own.
        if (content_.read(pos, bytes_.data(), n, &got) != 0 || got != n) {
            if (content_.read(pos, one, 4, &got) != 0 || got != 4) return false;
            *id = le32(one);
            return true;
        }
        start_ = pos;
        length_ = n;
    }
    *id = le32(bytes_.data() + (pos - start_));
    return true;
}

bool extendReach(FilePos start, FilePos& reachEnd, FilePos next) {
    const FilePos last = reachEnd - 4;
    if (next < last || next - last > ChunkIdWindow::kNearGap || next < start ||
        next - start > ChunkIdWindow::kMaxSize - 4)
        return false;
    reachEnd = next + 4;
    return true;
}

}  // namespace quorby
