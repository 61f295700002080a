#include "journal/main_pre_images.h"

#include <iterator>
#include <vector>

#include "journal/rollback_log.h"
#include "journal/unit_cache.h"

namespace quorby {

namespace {

int failWrite(JournalFile& jf) {
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, true);
    return 1;
}

bool covered(const RollbackState& rb, FilePos pos, std::uint32_t n) {
    auto it = rb.mainCovered.upper_bound(pos);
    if (it == rb.mainCovered.begin()) return false;
    --it;
    return it->first <= pos && pos + n <= it->second;
}

void noteCovered(RollbackState& rb, FilePos pos, std::uint32_t n) {
    // A long command may keep the pre-images of very many ranges: forgetting
    // them only costs keeping some a second time.
    if (rb.mainCovered.size() >= 4 * kRollbackHeldLimit) rb.mainCovered.clear();
    // A range that continues the one before joins it, so that a write over
    // neighbouring halves is seen as covered.
    auto before = rb.mainCovered.upper_bound(pos);
    if (before != rb.mainCovered.begin() && std::prev(before)->second >= pos) {
        FilePos& end = std::prev(before)->second;
        if (end < pos + n) end = pos + n;
        return;
    }
    FilePos& end = rb.mainCovered[pos];
    if (end < pos + n) end = pos + n;
}

// True when each of the `count` records from `first` on was appended by the
// running command, or rewritten by it and is still held with its pre-image,
// which reaches the rollback file before the entry that names the record.
bool rewrittenOrAppended(const RollbackState& rb, FilePos first, std::uint32_t count) {
    auto it = rb.held.lower_bound(first);  // held units follow each other in the map as in the file
    for (std::uint32_t k = 0; k < count; ++k, ++it) {
        const FilePos at = first + FilePos(k) * kJournalRecordSize;
        if (at >= rb.committedEnd) return true;
        if (it == rb.held.end() || it->first != at || it->second.preImage.empty()) return false;
    }
    return true;
}

// The first Main File entry of a command keeps its length, so that bytes
// written beyond the end are taken back as well, and so that the opening
// knows the Main File was being written.
int keepMainLengthOnce(JournalFile& jf, FileHandle main) {
    RollbackState& rb = jf.rollback;
    if (!rb.mainCovered.empty()) return 0;
    FilePos length = 0;
    if (jf.files->size(main, &length) != 0) return failWrite(jf);
    queueRollbackEntry(rb, RollbackTarget::MainFileLength, length, nullptr, 0);
    rb.mainHandle = main;
    rb.mainPending = true;
    return 0;
}

}  // namespace

int keepMainPreImage(JournalFile& jf, FileHandle main, FilePos pos, const std::uint8_t* bytes, std::uint32_t n) {
    RollbackState& rb = jf.rollback;
    if (!usesRollbackFile(jf) || jf.handle == kNoFile || covered(rb, pos, n)) return 0;
    if (keepMainLengthOnce(jf, main) != 0) return 1;
    for (std::uint32_t at = 0; at < n; at += kRollbackMaxData) {
        const std::uint32_t part = n - at < kRollbackMaxData ? n - at : kRollbackMaxData;
        queueRollbackEntry(rb, RollbackTarget::MainFile, pos + at, bytes + at, part);
    }
    noteCovered(rb, pos, n);
    rb.mainHandle = main;
    rb.mainPending = true;
    return 0;
}

int keepMainPreImageInRecords(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t pages,
                              FilePos firstRecord) {
    RollbackState& rb = jf.rollback;
    const std::uint32_t n = pages * kRecordDataSize;
    if (!usesRollbackFile(jf) || jf.handle == kNoFile || pages == 0 || covered(rb, pos, n)) return 0;
    // Only records the command appended or rewrote are read back: nothing
    // writes over their data before the commit, the opening cuts appended
    // ones off only afterwards, and puts rewritten ones back only afterwards.
    if (firstRecord + FilePos(pages) * kJournalRecordSize > jf.journalEnd ||
        !rewrittenOrAppended(rb, firstRecord, pages))
        return failWrite(jf);
    // The records reach the disk before the entry that names them.
    if (writeHeldUnits(jf) != 0 || syncJournal(jf) != 0) return 1;
    if (keepMainLengthOnce(jf, main) != 0) return 1;
    std::uint8_t data[kRecordsEntryData];
    storeU64(data, firstRecord);
    storeU32(data + 8, pages);
    queueRollbackEntry(rb, RollbackTarget::MainFileInRecords, pos, data, kRecordsEntryData);
    noteCovered(rb, pos, n);
    rb.mainHandle = main;
    rb.mainPending = true;
    return writeRollbackEntries(jf);
}

int skipMainPreImage(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n) {
    if (!usesRollbackFile(jf) || jf.handle == kNoFile) return 0;
    if (keepMainLengthOnce(jf, main) != 0) return 1;
    noteCovered(jf.rollback, pos, n);
    return 0;
}

int prepareMainWrite(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n) {
    RollbackState& rb = jf.rollback;
    if (!usesRollbackFile(jf) || jf.handle == kNoFile) return 0;
    if (!covered(rb, pos, n)) {
        std::vector<std::uint8_t> bytes(n);
        std::uint32_t got = 0;
        if (jf.files->readAt(main, pos, bytes.data(), n, &got) != 0) return 1;
        // Bytes beyond the end have no pre-image; the kept length cuts them off.
        if (keepMainPreImage(jf, main, pos, bytes.data(), got) != 0) return 1;
        noteCovered(rb, pos, n);
    }
    rb.mainHandle = main;
    // Pre-images of journal units may wait: their units wait with them.
    if (rb.mainPending && writeRollbackEntries(jf) != 0) return 1;
    rb.step = CommitStep::MainFileWritten;
    return 0;
}

int prepareMainCut(JournalFile& jf, FileHandle main) {
    RollbackState& rb = jf.rollback;
    if (!usesRollbackFile(jf) || jf.handle == kNoFile) return 0;
    // The length kept is the one before the cut: the first Main File entry
    // of the command has it.
    if (keepMainLengthOnce(jf, main) != 0) return 1;
    rb.mainHandle = main;
    if (rb.mainPending && writeRollbackEntries(jf) != 0) return 1;
    rb.step = CommitStep::MainFileWritten;
    return 0;
}

}  // namespace quorby
