#include "edit/paste_direct_run.h"

#include "journal/command_commit.h"
#include "state/error_report.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

constexpr FilePos kNoRecord = ~FilePos{0};
// Each block is one read of the source and one write: few and large ones.
constexpr FilePos kRunBlock = FilePos(4) << 20;

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
    if (block_.size() < bytes) block_.resize(bytes);
    // Without undo there is nothing to go back to: the blocks keep no
    // pre-image, and a crash leaves the run part written.
    if (passMainFileBytes(app_.journal, app_.main.mainHandle, pairPos, bytes) != 0) {
        reportError(app_, kErrorWriting, app_.main.mainName);
        *failed = true;
        return 0;
    }
    if (readPasteSource(app_, source_, pairPos - start_, block_.data(), bytes) != 0 ||
        writeMainBytes(app_, pairPos, block_.data(), bytes) != 0) {
        *failed = true;
        return 0;
    }
    // The commit's sync then finds most of the run on the drive already.
    app_.files->startWriteBack(app_.main.mainHandle, pairPos, bytes);
    return pairs;
}

}  // namespace quorby
