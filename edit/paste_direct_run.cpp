#include "edit/paste_direct_run.h"

#include "journal/rollback_file.h"
#include "state/error_report.h"
#include "store/journal_lifecycle.h"
#include "store/main_file.h"
#include "store/main_file_bytes.h"
#include "store/write_steps.h"

namespace quorby {

namespace {

constexpr FilePos kNoRecord = ~FilePos{0};
// Each block is one read of the source and one write: few and large ones.
constexpr FilePos kRunBlock = FilePos(4) << 20;
// Without records in the history, the written part is committed now and
// then, so that the rollback file keeps the pre-images of this much at most.
// They are kept ahead for the whole stretch, made durable by one sync.
constexpr FilePos kCommitEvery = FilePos(64) << 20;

}  // namespace

DirectPasteRun::DirectPasteRun(AppState& app, const PasteSource& source, FilePos start, FilePos end)
    : app_(app), source_(source), start_(start), end_(end) {}

void DirectPasteRun::notePairLoaded() {
    FilePos next = 0;
    nextRecordAdr_ = nextChangedPage(app_, end_, &next) ? next : kNoRecord;
}

FilePos DirectPasteRun::write(FilePos pairPos, FilePos pairsLeft, bool* failed) {
    const std::uint32_t needed = kAccessDirect | kAccessWritable | kAccessNotLocked;
    if ((app_.shell.accessFlags & needed) != needed || app_.settings.undoOptions != 0 || pairPos < start_) return 0;
    FilePos limit = end_ < app_.main.fileSize ? end_ : app_.main.fileSize;
    if (nextRecordAdr_ < limit) limit = nextRecordAdr_;
    if (limit < pairPos + kPagePairSize) return 0;
    FilePos pairs = (limit - pairPos) / kPagePairSize;
    if (pairs > pairsLeft) pairs = pairsLeft;
    if (pairs > kRunBlock / kPagePairSize) pairs = kRunBlock / kPagePairSize;
    // Once the Main File may not be written (and the user was told), the
    // page store decides page by page.
    if (refused_ || checkMainFileBeforeWriting(app_) != 0) {
        refused_ = true;
        return 0;
    }
    const std::uint32_t bytes = std::uint32_t(pairs * kPagePairSize);
    FilePos stretch = sinceCommit_ < kCommitEvery ? kCommitEvery - sinceCommit_ : bytes;
    const FilePos runEnd = pairPos + pairsLeft * kPagePairSize < limit ? pairPos + pairsLeft * kPagePairSize : limit;
    if (stretch > runEnd - pairPos) stretch = runEnd - pairPos;
    const FilePos blockSize = stretch > bytes ? (stretch < kRunBlock ? stretch : kRunBlock) : bytes;
    if (block_.size() < blockSize) block_.resize(std::size_t(blockSize));
    if (keepMainPreImagesAhead(app_.journal, app_.main.mainHandle, pairPos, stretch, block_) != 0) {
        reportError(app_, kErrorWriting, app_.main.mainName);
        *failed = true;
        return 0;
    }
    std::uint8_t* block = block_.data();
    if (readPasteSource(app_, source_, pairPos - start_, block, bytes) != 0 ||
        writeMainBytes(app_, pairPos, block, bytes) != 0) {
        *failed = true;
        return 0;
    }
    sinceCommit_ += bytes;
    if (sinceCommit_ >= kCommitEvery && isEmptyPtr(app_.edit.storeGroup.last)) {
        sinceCommit_ = 0;
        if (endCommandInJournal(app_) != 0) *failed = true;
    }
    return pairs;
}

}  // namespace quorby
