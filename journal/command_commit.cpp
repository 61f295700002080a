#include "journal/command_commit.h"

#include <cstring>

#include "journal/rollback_file.h"

namespace quorby {

CommitStep commitStep(const JournalFile& jf) { return jf.rollback.step; }

bool keepsPreImages(const JournalFile& jf) { return usesRollbackFile(jf) && jf.handle != kNoFile; }

int keepMainFileBytes(JournalFile& jf, FileHandle main, FilePos pos, const std::uint8_t* bytes, std::uint32_t n) {
    return keepMainPreImage(jf, main, pos, bytes, n);
}

int keepMainFileBytesInRecords(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t pages,
                               FilePos firstRecord) {
    return keepMainPreImageInRecords(jf, main, pos, pages, firstRecord);
}

int sendAppendedRecordsAhead(JournalFile& jf, FilePos from) { return sendAppendedRecords(jf, from); }

int passMainFileBytes(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n) {
    return skipMainPreImage(jf, main, pos, n);
}

int writeHeldChanges(JournalFile& jf) { return writeHeldUnits(jf, HeldAppends::KeepWaiting); }

int makeRoomForHeldUnits(JournalFile& jf, std::size_t units) {
    return jf.rollback.held.size() + units > kRollbackHeldLimit ? writeHeldChanges(jf) : 0;
}

int beginMainFileWrite(JournalFile& jf, FileHandle main, FilePos pos, std::uint32_t n) {
    return prepareMainWrite(jf, main, pos, n);
}

int beginMainFileCut(JournalFile& jf, FileHandle main) { return prepareMainCut(jf, main); }

int markVersionsShowingMainFile(JournalFile& jf, FileHandle main, std::vector<FlagMark>& marks,
                                bool* mainSyncFailed) {
    *mainSyncFailed = false;
    if (marks.empty()) return 0;
    if (jf.syncOnCommit && jf.files->sync(main) != 0) {
        *mainSyncFailed = true;
        return 1;
    }
    const int result = writeFlagMarks(jf, marks);
    marks.clear();
    return result;
}

namespace {

// R7: the records and the link to them first, synced, then the header.
int commitAppendsOnly(JournalFile& jf, const std::uint8_t* header, bool appendOnly) {
    // The records first: the header must never reach the disk pointing at
    // records that are not there yet.
    if (appendOnly && writeHeldUnitsWithoutPreImages(jf) != 0) return 1;
    if (syncJournal(jf) != 0) return 1;
    if (writeJournalBytesNow(jf, 0, header, kHeaderLiveSize) != 0) return 1;
    if (syncJournal(jf) != 0) return 1;
    return appendOnly ? endRollbackCycle(jf) : 0;
}

// R1, R2: held units after their pre-images, both files synced, then the
// rollback file marked empty.
int commitThroughRollbackFile(JournalFile& jf, const std::uint8_t* header, bool headerChanged) {
    if (headerChanged && writeJournalBytes(jf, 0, header, kHeaderLiveSize) != 0) return 1;
    if (writeHeldUnits(jf) != 0) return 1;
    if (syncJournal(jf) != 0) return 1;
    const RollbackState& rb = jf.rollback;
    if (jf.syncOnCommit && rb.step == CommitStep::MainFileWritten && jf.files->sync(rb.mainHandle) != 0) {
        if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, true);
        return 1;
    }
    return endRollbackCycle(jf);
}

}  // namespace

int commitCommand(JournalFile& jf) {
    if (!jf.files || jf.handle == kNoFile) return 0;
    const bool headerChanged = headerNeedsCommit(jf);
    if (!headerChanged && !rollbackCycleOpen(jf)) return 0;
    jf.header.jnlEnd = jf.journalEnd;
    std::uint8_t bytes[kJournalHeaderSize];
    encodeJournalHeader(jf.header, bytes);
    // A command that only appended records (R7) commits as one without a
    // rollback file does.
    const bool appendOnly = usesRollbackFile(jf) && headerChanged && commitNeedsNoPreImages(jf);
    const int result = !usesRollbackFile(jf) || appendOnly ? commitAppendsOnly(jf, bytes, appendOnly)
                                                           : commitThroughRollbackFile(jf, bytes, headerChanged);
    if (result != 0) return 1;
    std::memcpy(jf.committedLive, bytes, kHeaderLiveSize);
    return 0;
}

// --- invariants -------------------------------------------------------------

namespace {

constexpr std::uint32_t kSmallestEntry = kRollbackEntryHead + 4;

const char* brokenStep(const RollbackState& rb) {
    switch (rb.step) {
    case CommitStep::Committed:
        if (!rb.held.empty() || !rb.appended.empty() || !rb.unwritten.empty() || rb.fileEnd != 0 ||
            !rb.mainCovered.empty())
            return "Committed: nothing may be held, waiting, logged or covered";
        return nullptr;
    case CommitStep::Changing:
        return rb.fileEnd != 0 ? "Changing: the rollback file must still be empty" : nullptr;
    case CommitStep::PreImagesDurable:
    case CommitStep::MainFileWritten:
        if (rb.fileEnd < kRollbackHeaderSize + kSmallestEntry)
            return "PreImagesDurable / MainFileWritten: the rollback file must hold an entry";
        if (rb.step == CommitStep::MainFileWritten && rb.mainHandle == kNoFile)
            return "MainFileWritten: the Main File written must be known";
        return nullptr;
    }
    return "unknown step";
}

const char* brokenHeldUnits(const JournalFile& jf) {
    const RollbackState& rb = jf.rollback;
    if (rb.held.size() > kRollbackHeldLimit) return "R4: more held units than kRollbackHeldLimit";
    if (rb.clean.size() > kCleanRuns) return "R4: more kept runs than kCleanRuns";
    for (const RollbackState::CleanRun& run : rb.clean) {
        if (run.bytes.size() > kCleanRunUnits * kJournalRecordSize) return "R4: a kept run longer than kCleanRunUnits";
        const FilePos end = run.start + run.bytes.size();
        const JournalUnit last = journalUnitOf(end - 1);
        if (!run.bytes.empty() && (journalUnitOf(run.start).start != run.start || last.start + last.size != end))
            return "kept run: not whole units";
    }
    for (const auto& [start, unit] : rb.held) {
        const JournalUnit u = journalUnitOf(start);
        if (u.start != start || unit.bytes.size() != u.size) return "held unit: not a whole header or record";
        if (start + u.size > jf.journalEnd) return "held unit: beyond journalEnd";
        // R1: a committed unit keeps its pre-image; an appended one needs none.
        const bool committed = start < rb.committedEnd;
        if (committed && unit.preImage.size() != unit.bytes.size()) return "R1: held committed unit without pre-image";
        if (!committed && !unit.preImage.empty()) return "held appended unit with a pre-image";
    }
    if (rb.appended.size() / kJournalRecordSize > kRollbackHeldLimit) return "R4: more held appends than kRollbackHeldLimit";
    if (rb.appended.empty() != (rb.heldAppendsFrom == RollbackState::kNoHeldAppends))
        return "R6: held appends and their start must go together";
    if (!rb.appended.empty()) {
        if (rb.heldAppendsFrom < rb.committedEnd || rb.heldAppendsFrom + rb.appended.size() != jf.journalEnd ||
            rb.appended.size() % kJournalRecordSize != 0)
            return "R6: held appends must be whole records from at or past the committed length to journalEnd";
        if (rb.held.lower_bound(rb.heldAppendsFrom) != rb.held.end()) return "R6: a held unit among the held appends";
    }
    return nullptr;
}

}  // namespace

int checkCommitProtocol(const JournalFile& jf, const char** broken) {
    const RollbackState& rb = jf.rollback;
    const char* found = nullptr;
    if (!usesRollbackFile(jf)) {
        if (rb.step != CommitStep::Committed || !rb.held.empty() || !rb.appended.empty() || !rb.unwritten.empty())
            found = "no rollback file: nothing may be held or waiting";
    } else if (rb.committedEnd > jf.journalEnd) {
        found = "the committed length lies beyond journalEnd";
    } else if (rb.mainPending && rb.unwritten.empty()) {
        found = "R1: a Main File pre-image waits, but no entry does";
    } else if ((found = brokenStep(rb)) == nullptr) {
        found = brokenHeldUnits(jf);
    }
    if (broken) *broken = found;
    return found ? 1 : 0;
}

}  // namespace quorby
