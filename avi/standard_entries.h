#pragma once
// The entries of one stream's standard indexes ("ix##") in the order the
// super index lists them, read a block at a time: the idx1 check asks it
// whether a chunk it is about to read was already found right by the
// standard index check, so a packet that both indexes name is read once.
// Only what the super index check looks at is walked: the entries of the
// super index's 2048-byte window, each standard index's entries in use that
// its chunk holds.
#include "avi/riff_content.h"

namespace quorby {

class StandardEntries {
public:
    // `indx`: the super index chunk; 0 for none.
    StandardEntries(RiffContent& content, FilePos indx);
    // Moves on to the first entry whose chunk lies at or after `chunk`
    // (never back); true when that entry's chunk is `chunk` and the index's
    // chunk id is `id`.
    bool names(FilePos chunk, FourCc id);

private:
    static constexpr std::uint32_t kBlockEntries = 256;
    bool nextIndex();
    bool nextEntry();

    RiffContent& content_;
    FilePos indx_ = 0;
    FilePos superEnd_ = 0;         // the end of the super index's entries looked at
    std::uint32_t superNext_ = 0;  // the next super index entry
    std::uint32_t superInUse_ = 0;
    FourCc streamId_ = 0;          // "ix" and the super index's stream number
    FourCc id_ = 0;                // the chunk id of the current standard index
    FilePos ixPos_ = 0;
    FilePos base_ = 0;
    std::uint32_t inUse_ = 0;
    std::uint32_t next_ = 0;       // the next entry of the current standard index
    std::uint8_t block_[8 * kBlockEntries] = {};
    std::uint32_t blockFirst_ = 0;
    std::uint32_t blockCount_ = 0;
    FilePos chunk_ = 0;            // the current entry's chunk
    bool ended_ = false;
};

}  // namespace quorby
