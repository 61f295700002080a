#pragma once
// A paste or fill in journal access reads in blocks: nothing writes the
// Main File while it runs, so the Main File's bytes under the next pairs and
// the source file's bytes for them come in one read each, of up to 256 KiB
// (BatchSizes::pasteReadBlock), instead of one read per page pair. Pairs
// are then copied from the blocks (a block with an unreadable sector is not
// used: its pairs are read one by one and marked as before).
#include <cstdint>

#include "edit/paste_bytes.h"
#include "state/app_state.h"

namespace quorby {

class PasteReadAhead {
public:
    // The paste of `source` onto [start, end); `enabled` false reads as
    // before, pair by pair.
    PasteReadAhead(AppState& app, const PasteSource& source, FilePos start, FilePos end, bool enabled);
    ~PasteReadAhead();
    PasteReadAhead(const PasteReadAhead&) = delete;
    PasteReadAhead& operator=(const PasteReadAhead&) = delete;

    // The pair at `pairPos` is loaded next: the Main File's block holding it
    // is read when it is not in memory yet.
    void aheadOfPair(FilePos pairPos);
    // `count` source bytes from `offset` (from the start of the paste), from
    // the source block when it holds them, else as readPasteSource reads them.
    [[nodiscard]] int readSource(FilePos offset, std::uint8_t* out, std::uint32_t count);

private:
    bool readSourceBlock(FilePos offset, std::uint32_t want);

    AppState& app_;
    const PasteSource& source_;
    FilePos start_, end_;
    bool enabled_;
    std::uint32_t blockSize_ = 0;
    std::uint8_t* mainBlock_ = nullptr;
    std::uint8_t* sourceBlock_ = nullptr;
    FilePos sourceFrom_ = 0;        // offset of the source block's first byte
    std::uint32_t sourceLength_ = 0;
};

}  // namespace quorby
