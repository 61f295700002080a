#pragma once
// The ids of the chunks an index points at. A read of a few bytes costs
// about as much as a read of a page, so when the chunks the next entries
// point at follow each other closely, their ids are read in one go with the
// first (up to 64 KiB); chunks far apart are read one small read each. The
// bytes come through the content like every other read (the file with its
// journal changes); the caller drops them whenever the content may have
// changed (a repair stored, a question answered).
#include <cstdint>
#include <vector>

#include "avi/riff_content.h"

namespace quorby {

class ChunkIdWindow {
public:
    static constexpr std::uint32_t kMaxSize = 65536;
    // Ids closer than this to the one before are read together with it.
    static constexpr std::uint32_t kNearGap = 4096;

    explicit ChunkIdWindow(RiffContent& content) : content_(content) {}
    // The four bytes at `pos`, or false when they do not lie wholly in the
    // file or cannot be read. When they are not held yet, the read goes on
    // to `reachEnd` (the end of the last id the caller will ask for soon;
    // pos + 4 for none), at most kMaxSize bytes and never past the file end.
    bool idAt(FilePos pos, FilePos reachEnd, FourCc* id);
    // The id at `pos` is held: asking for it costs no read.
    bool holds(FilePos pos) const { return pos >= start_ && length_ >= 4 && pos - start_ <= length_ - 4; }
    void forget() { length_ = 0; }

private:
    RiffContent& content_;
    std::vector<std::uint8_t> bytes_;
    FilePos start_ = 0;
    std::uint32_t length_ = 0;
};

// Adds the id at `next` to a reach that ends at `reachEnd` and began at
// `start`, when it lies after the last one, close to it and within
// ChunkIdWindow::kMaxSize of `start`. Result: false when it does not.
bool extendReach(FilePos start, FilePos& reachEnd, FilePos next);

}  // namespace quorby
