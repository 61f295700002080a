#include "edit/undo_redo.h"

#include <algorithm>
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
// paste or fill appended in a row, for pages one after the other. Each run
// costs three syncs (its records' pre-images, its records, the entry that
// names them as the pages' pre-image).
constexpr std::uint64_t kMostRunSteps = 2048;

// `r` may be part of a run: an exchange the step takes (back when `undo`),
// the only version of its page, a whole page.
bool mayJoinRun(const JournalRecord& r, bool undo) {
    return isExchange(r.flag) && isExchangeInEffect(r.flag) == undo && isEmptyPtr(r.pJnl) && r.anz == kPageSize;
}

// `next` follows `r` in a run: the next step within the entry, the next
// record in the Journal File and the next page.
bool continuesRun(const JournalRecord& r, const JournalRecord& next, bool undo) {
    const FilePos step = undo ? FilePos(0) - kJournalRecordSize : kJournalRecordSize;
    const FilePos page = undo ? FilePos(0) - kPageSize : kPageSize;
    return (undo ? hasUndoGroup(r.flag) : hasRedoGroup(r.flag)) && next.jAdr == r.jAdr + step &&
           next.mainAdr == r.mainAdr + page && mayJoinRun(next, undo);
}

// Records of a run are read this many at a time, so that a step that begins
// no run reads little.
constexpr std::uint64_t kRunReadRecords = 256;

// Where the record `step` steps from `first` lies in run.seen, which holds
// `limit` records in file order: from the end down for undo, from the start
// up for redo.
std::size_t seenOffset(bool undo, std::uint64_t limit, std::uint64_t step) {
    return std::size_t(undo ? limit - 1 - step : step) * kJournalRecordSize;
}

// From `first`, the record the step at Undo (undo) or after it (redo) takes
// (its header read): the run of exchanges it begins within its entry group,
// at most `most` long, into run.records (in step order) and run.seen (their
// bytes as the command sees them, in file order).
// Fewer than two, or records that cannot be read together: no run (the
// single step reads and reports).
void collectRun(AppState& app, bool undo, std::uint64_t most, const JournalRecord& first, ExchangeRunBuffers& run) {
    JournalFile& jf = app.journal;
    run.records.clear();
    if (!mayJoinRun(first, undo)) return;
    // The steps of a run lie one after the other from `first`: down in the
    // file for undo, up for redo.
    std::uint64_t limit = std::min(most, kMostRunSteps);
    limit = std::min<std::uint64_t>(limit, undo ? (first.jAdr - kJournalHeaderSize) / kJournalRecordSize + 1
                                                : (jf.journalEnd - first.jAdr) / kJournalRecordSize);
    run.seen.resize(std::size_t(limit) * kJournalRecordSize);
    for (std::uint64_t step = 0; step < limit;) {
        const std::uint64_t count = std::min(limit - step, kRunReadRecords);
        const std::size_t lowest = seenOffset(undo, limit, undo ? step + count - 1 : step);
        const std::uint32_t length = std::uint32_t(count * kJournalRecordSize);
        std::uint32_t done = 0;
        const FilePos from = undo ? first.jAdr - (step + count - 1) * kJournalRecordSize
                                  : first.jAdr + step * kJournalRecordSize;
        if (readJournalSpan(jf, from, run.seen.data() + lowest, length, &done) != 0 || done != length) break;
        for (const std::uint64_t end = step + count; step < end; ++step) {
            JournalRecord r;
            decodeRecord(run.seen.data() + seenOffset(undo, limit, step), r);
            r.jAdr = undo ? first.jAdr - step * kJournalRecordSize : first.jAdr + step * kJournalRecordSize;
            if (step > 0) {
                const JournalRecord& last = run.records.back();
                if ((undo ? last.pUndo : last.nUndo) != r.jAdr || !continuesRun(last, r, undo)) {
                    limit = step;  // the run ends before this record
                    break;
                }
            }
            run.records.push_back(r);
        }
    }
    if (run.records.size() < 2) run.records.clear();
}

// The run's pages get the bytes its records hold, its records the bytes the
// pages held: one read and one write of the Main File for all of them. The
// records change first and, durable, are the pages' pre-image: the rollback
// file keeps one copy of each page (the records' earlier bytes), not two.
int exchangeRun(AppState& app, ExchangeRunBuffers& run, bool undo, bool mainFileChecked) {
    if (!mainFileChecked && ensureWritable(app) != 0) return 1;
    JournalFile& jf = app.journal;
    const std::size_t n = run.records.size();
    // In the file and in the Main File, the run goes down for undo.
    const auto inFile = [n, undo](std::size_t step) { return undo ? n - 1 - step : step; };
    const FilePos low = run.records[inFile(0)].mainAdr;
    const FilePos firstRecord = run.records[inFile(0)].jAdr;
    const std::uint32_t bytes = std::uint32_t(n * kPageSize);
    run.former.resize(bytes);
    run.earlier.resize(bytes);
    run.changed.resize(n * kJournalRecordSize);
    std::uint32_t got = 0;
    if (readMainBytes(app, low, run.former.data(), bytes, &got) != 0 || got != bytes) return 1;
    for (std::size_t step = 0; step < n; ++step) {
        JournalRecord& r = run.records[step];
        const std::size_t at = inFile(step);
        std::memcpy(run.earlier.data() + at * kPageSize, r.data, kPageSize);
        r.flag = undo ? asExchangeUndone(r.flag, true) : asExchangeApplied(r.flag);
        std::memcpy(r.data, run.former.data() + at * kPageSize, kPageSize);
        encodeRecord(r, run.changed.data() + at * kJournalRecordSize);
    }
    if (makeRoomForHeldUnits(jf, n) != 0) return 1;
    const std::uint32_t count = std::uint32_t(n);
    // For undo the run's records end run.seen, for redo they begin it.
    const std::uint8_t* seen = run.seen.data() + (undo ? run.seen.size() - n * kJournalRecordSize : 0);
    if (rewriteRecords(jf, firstRecord, run.changed.data(), seen, count) == 0 &&
        keepMainFileBytesInRecords(jf, app.main.mainHandle, low, count, firstRecord) == 0) {
        if (writeMainBytes(app, low, run.earlier.data(), bytes) == 0) return 0;
        // A write that failed (reported) may have arrived in part: the pages get their bytes back.
        std::uint32_t done = 0;
        (void)app.files->writeAt(app.main.mainHandle, low, run.former.data(), bytes, &done);
    }
    // The records get their bytes back.
    (void)rewriteRecords(jf, firstRecord, seen, seen, count);
    return 1;
}

}  // namespace

int findStepRecord(AppState& app, bool undo, JournalRecord& out) {
    return undo ? readUndoRecord(app, out) : findRedoRecord(app, out);
}

bool runKeptChangeMarks(const ExchangeRunBuffers& buffers) {
    if (buffers.records.empty()) return false;
    for (const JournalRecord& r : buffers.records)
        if (holdsContentToWrite(r.flag)) return false;
    return true;
}

int undoOrRedoRun(AppState& app, bool undo, bool mainFileChecked, std::uint64_t most, JournalRecord& first,
                  ExchangeRunBuffers& run, std::uint64_t* steps) {
    *steps = 1;
    collectRun(app, undo, most, first, run);
    if (run.records.empty())
        return undo ? undoRecord(app, first, mainFileChecked) : redoRecord(app, first, mainFileChecked);
    if (exchangeRun(app, run, undo, mainFileChecked) != 0) return 1;
    JournalFile& jf = app.journal;
    const JournalRecord& last = run.records.back();
    if (undo) {
        jf.header.undo = last.pUndo;
        // The pages show their older content again, which the Main File may not hold.
        jf.header.jnlFlags |= kJnlUnwrittenChanges;
        app.edit.continueFlag = hasUndoGroup(last.flag);
    } else {
        jf.header.undo = last.jAdr;
        app.edit.continueFlag = hasRedoGroup(last.flag);
    }
    *steps = run.records.size();
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

bool keepPreImagesAhead(AppState& app, bool undo, std::uint64_t count, bool groupOnly, std::uint64_t* walked) {
    *walked = 0;
    JournalFile& jf = app.journal;
    if (!keepsPreImages(jf) || app.main.mainHandle == kNoFile) return false;
    bool writesMainFile = false;
    JournalRecord r;
    FilePos ptr = jf.header.undo;
    if (!undo) ptr = findRedoRecord(app, r) == 0 ? r.jAdr : kEmptyPtr;
    GatheredPreImages gathered(app);
    // A step is settled once the next record shows that it begins no run.
    JournalRecord waiting;
    bool isWaiting = false;
    const auto settle = [&](const JournalRecord& step) {
        ++*walked;
        if (!isExchange(step.flag) || isExchangeInEffect(step.flag) != undo) return 0;
        writesMainFile = true;
        return gathered.add(step.mainAdr, step.anz);
    };
    for (std::uint64_t k = 0; k < count && !isEmptyPtr(ptr); ++k) {
        // Whatever cannot be read here is left to the step itself, which reports it.
        if (readRecordHeader(jf, ptr, kRecordLinks, r) != 0) break;
        if (isWaiting) {
            if (mayJoinRun(waiting, undo) && continuesRun(waiting, r, undo)) {
                isWaiting = false;
                break;
            }
            if (settle(waiting) != 0) return writesMainFile;
        }
        waiting = r;
        isWaiting = true;
        if (groupOnly && !(undo ? hasUndoGroup(r.flag) : hasRedoGroup(r.flag))) break;
        ptr = undo ? r.pUndo : r.nUndo;
    }
    if (isWaiting && settle(waiting) != 0) return writesMainFile;
    (void)gathered.keep();
    return writesMainFile;
}

int redoOne(AppState& app, bool mainFileChecked) {
    JournalRecord r;
    return findRedoRecord(app, r) != 0 ? 1 : redoRecord(app, r, mainFileChecked);
}

}  // namespace quorby
