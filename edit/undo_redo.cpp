#include "edit/undo_redo.h"

#include <cstring>
#include <vector>

#include "journal/command_commit.h"
#include "journal/record_states.h"
#include "document/exchange_record.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"

namespace quorby {

namespace {

// The older version V = r.PJnl takes r's place in the address chain.
int olderVersionTakesPlace(AppState& app, const JournalRecord& r) {
    JournalRecord v;
    if (readRecordHeader(app.journal, r.pJnl, kRecordLinks, v) != 0) return 1;
    v.mainAdr = r.mainAdr;
    v.prevPtr = r.prevPtr;
    v.nextPtr = r.nextPtr;
    v.flag = afterTakingChainPlace(v.flag);
    app.edit.chainVersionSwapped = true;
    int result = writeRecordHeader(app.journal, v, kRecordLinks);
    return result | linkAddressNeighbours(app.journal, v, VersionScope::AllVersions);
}

// r takes its page's place back from its older version V = r.PJnl; r's
// header is written, then the neighbours point to it.
int takePlaceFromOlder(AppState& app, JournalRecord& r) {
    if (isEmptyPtr(r.pJnl)) return writeRecordHeader(app.journal, r, kRecordLinks);
    JournalRecord v;
    if (readRecordHeader(app.journal, r.pJnl, kRecordLinks, v) != 0) return 1;
    r.mainAdr = v.mainAdr;
    r.prevPtr = v.prevPtr;
    r.nextPtr = v.nextPtr;
    v.flag = afterGivingChainPlace(v.flag);
    app.edit.chainVersionSwapped = true;
    int result = writeRecordHeader(app.journal, v, kRecordLinks);
    result |= writeRecordHeader(app.journal, r, kRecordLinks);
    return result | linkAddressNeighbours(app.journal, r, VersionScope::AllVersions);
}

int undoExchange(AppState& app, JournalRecord& r, bool mainFileChecked) {
    const bool staysInChain = isEmptyPtr(r.pJnl);
    r.flag = asExchangeUndone(r.flag, staysInChain);
    if (exchangeWithMainFile(app, r, mainFileChecked) != 0) return 1;
    app.journal.header.undo = r.pUndo;
    // The page shows its older version again, which the Main File may not hold.
    app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
    return staysInChain ? 0 : olderVersionTakesPlace(app, r);
}

int redoExchange(AppState& app, JournalRecord& r, bool mainFileChecked) {
    r.flag = asExchangeApplied(r.flag);
    if (exchangeWithMainFile(app, r, mainFileChecked) != 0) return 1;
    app.journal.header.undo = r.jAdr;
    return takePlaceFromOlder(app, r);
}

// The record at Undo, its header read.
int readUndoRecord(AppState& app, JournalRecord& r) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.undo)) return 1;
    return readRecordHeader(jf, jf.header.undo, kRecordFullHeader, r);
}

// Undoes `r`, the record at Undo (its header read).
int undoRecord(AppState& app, JournalRecord& r, bool mainFileChecked) {
    JournalFile& jf = app.journal;
    const std::uint32_t f = r.flag;
    app.edit.continueFlag = hasUndoGroup(f);
    if (isExchange(f)) {
        if (isExchangeInEffect(f)) return undoExchange(app, r, mainFileChecked);
        jf.header.undo = r.pUndo;
        return 0;
    }
    jf.header.undo = r.pUndo;
    // The older version the page shows now may not be in the Main File.
    jf.header.jnlFlags |= kJnlUnwrittenChanges;
    if (isUndoableStoredVersion(f)) {
        if (isEmptyPtr(r.pJnl)) {
            r.flag = afterUndoOfOnlyVersion(f);
            return writeRecordHeader(jf, r, kRecordLinks);
        }
        r.flag = afterUndoOfVersion(f);
        int result = writeRecordHeader(jf, r, kRecordLinks);
        return result | olderVersionTakesPlace(app, r);
    }
    r.flag = afterUndo(f);
    return writeRecordHeader(jf, r, kRecordLinks);
}

// Redoes `r`, the record after Undo (its header read).
int redoRecord(AppState& app, JournalRecord& r, bool mainFileChecked) {
    JournalFile& jf = app.journal;
    const std::uint32_t f = r.flag;
    app.edit.continueFlag = hasRedoGroup(f);
    if (isExchange(f)) {
        if (!isExchangeInEffect(f)) return redoExchange(app, r, mainFileChecked);
        jf.header.undo = r.jAdr;
        return 0;
    }
    jf.header.undo = r.jAdr;
    jf.header.jnlFlags |= kJnlUnwrittenChanges;
    if (isRedoableReplacedVersion(f)) {
        r.flag = afterRedoIntoChain(f);
        return takePlaceFromOlder(app, r);
    }
    if (isRedoableStoredVersion(f)) {
        r.flag = afterRedoOfStoredVersion(f);
        return writeRecordHeader(jf, r, kRecordLinks);
    }
    return 0;
}

// Exchanges taken back or brought back together: the records one direct
// paste or fill appended in a row, for pages one after the other.
constexpr std::uint64_t kMostRunSteps = 1024;

// `next` follows `r` in a run: the next record in the Journal File and the
// next page, in the same state, the only version of its page, a whole page.
bool continuesRun(const JournalRecord& r, const JournalRecord& next, bool undo) {
    const FilePos step = undo ? FilePos(0) - kJournalRecordSize : kJournalRecordSize;
    const FilePos page = undo ? FilePos(0) - kPageSize : kPageSize;
    return next.jAdr == r.jAdr + step && next.mainAdr == r.mainAdr + page && next.anz == kPageSize &&
           isExchange(next.flag) && isExchangeInEffect(next.flag) == undo && isEmptyPtr(next.pJnl);
}

// From `first`, the record the step at Undo (undo) or after it (redo) takes
// (its header read): the run of exchanges it begins within its entry group,
// at most `most` long. Fewer than two: no run.
int collectRun(AppState& app, bool undo, std::uint64_t most, const JournalRecord& first,
               std::vector<JournalRecord>& run) {
    JournalFile& jf = app.journal;
    run.clear();
    if (!isExchange(first.flag) || isExchangeInEffect(first.flag) != undo || !isEmptyPtr(first.pJnl) ||
        first.anz != kPageSize)
        return 0;
    JournalRecord r;
    if (readRecord(jf, first.jAdr, r) != 0) return 1;
    run.push_back(r);
    while (run.size() < most && run.size() < kMostRunSteps) {
        const JournalRecord& last = run.back();
        if (!(undo ? hasUndoGroup(last.flag) : hasRedoGroup(last.flag))) break;  // the group ends with it
        const FilePos next = undo ? last.pUndo : last.nUndo;
        JournalRecord n;
        if (isEmptyPtr(next) || readRecord(jf, next, n) != 0 || !continuesRun(last, n, undo)) break;
        run.push_back(n);
    }
    if (run.size() < 2) run.clear();
    return 0;
}

// The run's pages get the bytes its records hold, its records the bytes the
// pages held: one read and one write of the Main File for all of them.
int exchangeRun(AppState& app, std::vector<JournalRecord>& run, bool undo, bool mainFileChecked) {
    if (!mainFileChecked && ensureWritable(app) != 0) return 1;
    const std::size_t n = run.size();
    const FilePos low = undo ? run.back().mainAdr : run.front().mainAdr;
    std::vector<std::uint8_t> former(n * kPageSize), earlier(n * kPageSize);
    std::uint32_t got = 0;
    const std::uint32_t bytes = std::uint32_t(n * kPageSize);
    if (readMainBytes(app, low, former.data(), bytes, &got) != 0 || got != bytes) return 1;
    for (const JournalRecord& r : run)
        std::memcpy(earlier.data() + (r.mainAdr - low), r.data, kPageSize);
    if (writeMainBytes(app, low, earlier.data(), bytes) != 0) return 1;
    int result = 0;
    for (JournalRecord& r : run) {
        r.flag = undo ? asExchangeUndone(r.flag, true) : asExchangeApplied(r.flag);
        std::memcpy(r.data, former.data() + (r.mainAdr - low), kPageSize);
        result |= writeRecord(app.journal, r);
    }
    return result;
}

}  // namespace

int findStepRecord(AppState& app, bool undo, JournalRecord& out) {
    return undo ? readUndoRecord(app, out) : findRedoRecord(app, out);
}

int undoOrRedoRun(AppState& app, bool undo, bool mainFileChecked, std::uint64_t most, JournalRecord& first,
                  std::uint64_t* steps) {
    *steps = 1;
    std::vector<JournalRecord> run;
    if (collectRun(app, undo, most, first, run) != 0 || run.empty())
        return undo ? undoRecord(app, first, mainFileChecked) : redoRecord(app, first, mainFileChecked);
    if (exchangeRun(app, run, undo, mainFileChecked) != 0) return 1;
    JournalFile& jf = app.journal;
    const JournalRecord& last = run.back();
    if (undo) {
        jf.header.undo = last.pUndo;
        // The pages show their older content again, which the Main File may not hold.
        jf.header.jnlFlags |= kJnlUnwrittenChanges;
        app.edit.continueFlag = hasUndoGroup(last.flag);
    } else {
        jf.header.undo = last.jAdr;
        app.edit.continueFlag = hasRedoGroup(last.flag);
    }
    *steps = run.size();
    return 0;
}

int undoOne(AppState& app, bool mainFileChecked) {
    JournalRecord r;
    return readUndoRecord(app, r) != 0 ? 1 : undoRecord(app, r, mainFileChecked);
}

int findRedoRecord(AppState& app, JournalRecord& out) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile) return 1;
    FilePos next = jf.header.firstUndo;
    if (!isEmptyPtr(jf.header.undo)) {
        JournalRecord at;
        if (readRecordHeader(jf, jf.header.undo, kRecordLinks, at) != 0) return 1;
        next = at.nUndo;
    }
    if (isEmptyPtr(next)) return 1;
    return readRecordHeader(jf, next, kRecordFullHeader, out);
}

namespace {

// The Main File's bytes of neighbouring halves, gathered while the steps
// ahead are read and kept as pre-images in one read.
class GatheredPreImages {
public:
    explicit GatheredPreImages(AppState& app) : app_(app), bytes_(kMostRunSteps * kPageSize) {}
    // Takes the half [pos, pos + n) in; 1 when gathered bytes could not be kept.
    int add(FilePos pos, std::uint32_t n) {
        if (n == 0) return 0;
        const bool joins = hi_ > lo_ && hi_ - lo_ + n <= bytes_.size() && (pos == hi_ || pos + n == lo_);
        if (!joins) {
            if (keep() != 0) return 1;
            lo_ = pos;
            hi_ = pos + n;
        } else if (pos == hi_) {
            hi_ += n;
        } else {
            lo_ = pos;
        }
        return 0;
    }
    int keep() {
        if (hi_ == lo_) return 0;
        const std::uint32_t n = std::uint32_t(hi_ - lo_);
        std::uint32_t got = 0;
        const FileHandle main = app_.main.mainHandle;
        const int result = app_.files->readAt(main, lo_, bytes_.data(), n, &got) != 0 ||
                           keepMainFileBytes(app_.journal, main, lo_, bytes_.data(), got) != 0;
        lo_ = hi_ = 0;
        return result;
    }

private:
    AppState& app_;
    std::vector<std::uint8_t> bytes_;
    FilePos lo_ = 0, hi_ = 0;
};

}  // namespace

bool keepPreImagesAhead(AppState& app, bool undo, std::uint64_t count, bool groupOnly) {
    JournalFile& jf = app.journal;
    if (!keepsPreImages(jf) || app.main.mainHandle == kNoFile) return false;
    bool writesMainFile = false;
    JournalRecord r;
    FilePos ptr = jf.header.undo;
    if (!undo) ptr = findRedoRecord(app, r) == 0 ? r.jAdr : kEmptyPtr;
    GatheredPreImages gathered(app);
    for (std::uint64_t k = 0; k < count && !isEmptyPtr(ptr); ++k) {
        // Whatever cannot be read here is left to the step itself, which reports it.
        if (readRecordHeader(jf, ptr, kRecordLinks, r) != 0) break;
        if (isExchange(r.flag) && isExchangeInEffect(r.flag) == undo) {
            writesMainFile = true;
            if (gathered.add(r.mainAdr, r.anz) != 0) return writesMainFile;
        }
        if (groupOnly && !(undo ? hasUndoGroup(r.flag) : hasRedoGroup(r.flag))) break;
        ptr = undo ? r.pUndo : r.nUndo;
    }
    (void)gathered.keep();
    return writesMainFile;
}

int redoOne(AppState& app, bool mainFileChecked) {
    JournalRecord r;
    return findRedoRecord(app, r) != 0 ? 1 : redoRecord(app, r, mainFileChecked);
}

}  // namespace quorby
