#include "edit/paste_read_ahead.h"

#include <algorithm>
#include <cstring>

#include "salvage/sector_reads.h"
#include "state/work_buffer_access.h"

namespace quorby {

PasteReadAhead::PasteReadAhead(AppState& app, const PasteSource& source, FilePos start, FilePos end, bool enabled)
    : app_(app), source_(source), start_(start), end_(end), enabled_(enabled) {
    if (!enabled_) return;
    blockSize_ = std::clamp(app.buffers.batches.pasteReadBlock, std::uint32_t(kPagePairSize),
                            std::min(kCopyBlockSize, kBlockBufferSize));
    mainBlock_ = blockBuffer(app);
    if (source.file != kNoFile) sourceBlock_ = copyBlockBuffer(app);
}

PasteReadAhead::~PasteReadAhead() {
    if (enabled_) app_.main.readAhead = {};
}

void PasteReadAhead::aheadOfPair(FilePos pairPos) {
    if (!enabled_) return;
    MainFileState& main = app_.main;
    const MainFileState::ReadAhead& ahead = main.readAhead;
    if (ahead.length != 0 && pairPos >= ahead.pos && pairPos - ahead.pos + kPagePairSize <= ahead.length) return;
    main.readAhead = {};
    if (pairPos >= main.fileSize) return;
    const FilePos left = main.fileSize - pairPos;
    const std::uint32_t want = left < blockSize_ ? std::uint32_t(left) : blockSize_;
    std::uint32_t done = 0;
    ReadGaps gaps;
    // A failed block, or one with gaps, is left to the pair reads, which
    // report the failure and mark the unreadable halves.
    if (salvageRead(*app_.files, main.mainHandle, main.unreadable, pairPos, mainBlock_, want, &done, &gaps) != 0 ||
        gaps.count != 0)
        return;
    main.readAhead = {mainBlock_, pairPos, done};
}

// Reads the source block of `want` bytes from `offset`; nothing is
// reported: a failed or short block leaves its pairs to readPasteSource.
bool PasteReadAhead::readSourceBlock(FilePos offset, std::uint32_t want) {
    const FilePos pos = source_.fileStart + offset;
    std::uint32_t done = 0;
    if (source_.unreadable != nullptr && source_.skipped != nullptr) {
        ReadGaps gaps;
        if (salvageRead(*app_.files, source_.file, *source_.unreadable, pos, sourceBlock_, want, &done, &gaps) != 0 ||
            done != want)
            return false;
        addGapsAt(*source_.skipped, pos, gaps);
        return true;
    }
    return app_.files->readAt(source_.file, pos, sourceBlock_, want, &done) == 0 && done == want;
}

int PasteReadAhead::readSource(FilePos offset, std::uint8_t* out, std::uint32_t count) {
    if (sourceBlock_ != nullptr && (offset < sourceFrom_ || offset - sourceFrom_ + count > sourceLength_)) {
        // The block starts at this pair's bytes and ends with the paste at
        // the latest: it reads nothing the pairs would not read.
        const FilePos left = (end_ - start_) - offset;
        const std::uint32_t want = left < blockSize_ ? std::uint32_t(left) : blockSize_;
        sourceFrom_ = offset;
        sourceLength_ = want >= count && readSourceBlock(offset, want) ? want : 0;
        // After a failed block the pairs read on their own.
        if (sourceLength_ == 0) sourceBlock_ = nullptr;
    }
    if (sourceBlock_ != nullptr && offset >= sourceFrom_ && offset - sourceFrom_ + count <= sourceLength_) {
        std::memcpy(out, sourceBlock_ + (offset - sourceFrom_), count);
        return 0;
    }
    return readPasteSource(app_, source_, offset, out, count);
}

}  // namespace quorby
