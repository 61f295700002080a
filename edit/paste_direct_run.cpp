#include "edit/paste_direct_run.h"

#include <algorithm>

#include "journal/command_commit.h"
#include "state/error_report.h"
#include "document/exchange_record.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "document/shown_state.h"
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
    // A run is written only after a pair whose cursor records are current:
    // the record after the pair by address is then this one.
    nextRecordPtr_ = app_.records.jNextPtr;
    ownRunLast_ = false;
}

FilePos DirectPasteRun::recordBefore() const {
    if (ownRunLast_) return lastExchange_;
    for (int half = 1; half >= 0; --half)
        if (halfHasRecord(app_, half)) return app_.records.jData[half].jAdr;
    return app_.records.jPrevPtr;
}

int DirectPasteRun::keepEarlierBytes(FilePos pairPos, std::uint32_t bytes) {
    JournalFile& jf = app_.journal;
    earlier_.resize(bytes);
    const std::uint32_t halves = bytes / kPageSize;
    exchanges_.resize(halves);
    std::vector<JournalRecord*> order(halves);
    // The exchanges are appended one after the other, already linked among
    // themselves: by address between the record before the run and the one
    // after it, in the undo order after the newest entry, in the command's
    // group. linkExchanges then links the run at its ends. They are read,
    // made and appended piece by piece, each piece on its way to the drive
    // while the next one is made.
    const FilePos base = jf.journalEnd;
    const FilePos before = recordBefore();
    const FilePos newestEntry = jf.header.undo;
    HistoryGroup group = app_.edit.storeGroup;
    const std::uint32_t piece = std::max<std::uint32_t>(app_.buffers.batches.directSendPiece / kPageSize, 1);
    for (std::uint32_t from = 0; from < halves; from += piece) {
        const std::uint32_t count = std::min(piece, halves - from);
        std::uint8_t* earlier = earlier_.data() + std::size_t(from) * kPageSize;
        std::uint32_t got = 0;
        if (readMainBytes(app_, pairPos + FilePos(from) * kPageSize, earlier, count * kPageSize, &got) != 0 ||
            got != count * kPageSize)
            return 1;
        for (std::uint32_t k = from; k < from + count; ++k) {
            JournalRecord& x = exchanges_[k];
            makeExchange(pairPos + FilePos(k) * kPageSize, kPageSize, earlier_.data() + std::size_t(k) * kPageSize,
                         nullptr, x);
            const FilePos at = base + FilePos(k) * kJournalRecordSize;
            const bool last = k + 1 == halves;
            x.prevPtr = k == 0 ? before : at - kJournalRecordSize;
            x.nextPtr = last ? nextRecordPtr_ : at + kJournalRecordSize;
            x.pUndo = k == 0 ? newestEntry : at - kJournalRecordSize;
            x.nUndo = last ? kEmptyPtr : at + kJournalRecordSize;
            x.flag &= ~kFlagNotInUndoOrder;
            joinHistoryGroup(group, x);
            group.last = at;
            order[k] = &x;
        }
        // The links above were made for these places.
        const FilePos at = base + FilePos(from) * kJournalRecordSize;
        if (appendRecords(jf, order.data() + from, int(count)) != 0 || order[from]->jAdr != at ||
            sendAppendedRecordsAhead(jf, at) != 0)
            return 1;
    }
    // The exchanges hold the bytes just read: once durable, they are the
    // pre-images of the block's write as well.
    return keepMainFileBytesInRecords(jf, app_.main.mainHandle, pairPos, halves, base);
}

int DirectPasteRun::linkExchanges(bool overviewCurrent) {
    if (linkAppendedRun(app_.journal, exchanges_.front(), exchanges_.back()) != 0) return 1;
    noteInHistoryGroup(app_.edit.storeGroup, exchanges_.back());
    // The overview strip takes the pages as written ones instead of walking
    // the whole Journal File again after the command.
    for (const JournalRecord& x : exchanges_) noteStoredPage(app_, x.mainAdr, false, overviewCurrent);
    lastExchange_ = exchanges_.back().jAdr;
    ownRunLast_ = true;
    // The address chain changed under the cursor records.
    forgetCursorRecords(app_);
    return 0;
}

FilePos DirectPasteRun::write(FilePos pairPos, FilePos pairsLeft, bool* failed) {
    const std::uint32_t needed = kAccessDirect | kAccessWritable | kAccessNotLocked;
    if ((app_.shell.accessFlags & needed) != needed || pairPos < start_) return 0;
    const bool keep = app_.settings.undoOptions != 0;
    if (keep && !journalOpen(app_.journal)) return 0;
    FilePos limit = end_ < app_.main.fileSize ? end_ : app_.main.fileSize;
    if (nextRecordAdr_ < limit) limit = nextRecordAdr_;
    if (limit < pairPos + kPagePairSize) return 0;
    FilePos pairs = (limit - pairPos) / kPagePairSize;
    if (pairs > pairsLeft) pairs = pairsLeft;
    // With undo a block also holds its exchanges in memory.
    const FilePos block = keep ? std::max<FilePos>(app_.buffers.batches.directKeepBlock, kPagePairSize) : kRunBlock;
    if (pairs > block / kPagePairSize) pairs = block / kPagePairSize;
    // Once the Main File may not be written (and the user was told), the
    // page store decides page by page.
    if (refused_ || checkMainFileBeforeWriting(app_) != 0) {
        refused_ = true;
        return 0;
    }
    const std::uint32_t bytes = std::uint32_t(pairs * kPagePairSize);
    if (block_.size() < bytes) block_.resize(bytes);
    const bool overviewCurrent = journalChangesCurrent(app_);
    if (keep) {
        if (keepEarlierBytes(pairPos, bytes) != 0) {
            *failed = true;
            return 0;
        }
    } else if (passMainFileBytes(app_.journal, app_.main.mainHandle, pairPos, bytes) != 0) {
        // Without undo there is nothing to go back to: the blocks keep no
        // pre-image, and a crash leaves the run part written.
        reportError(app_, kErrorWriting, app_.main.mainName);
        *failed = true;
        return 0;
    }
    if (readPasteSource(app_, source_, pairPos - start_, block_.data(), bytes) != 0 ||
        writeMainBytes(app_, pairPos, block_.data(), bytes) != 0) {
        *failed = true;
        return 0;
    }
    if (keep && linkExchanges(overviewCurrent) != 0) {
        *failed = true;
        return 0;
    }
    // The commit's sync then finds most of the run on the drive already.
    app_.files->startWriteBack(app_.main.mainHandle, pairPos, bytes);
    return pairs;
}

}  // namespace quorby
