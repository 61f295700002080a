#include "journal/journal_recovery.h"

#include <algorithm>
#include <string>
#include <vector>
#include <utility>

#include "journal/rollback_file.h"

namespace quorby {

namespace {

constexpr std::uint64_t kTailBlockRecords = 102;  // 64 KiB

// Sets `link` of the record at `ptr` to `value` when it points at `tail`
// (only those links were made by the unfinished command). A link of the
// tail that leads to no committed record (a record never written whole, a
// zero-filled tail) made nothing to set back.
int restoreLink(JournalFile& jf, FilePos ptr, FilePos tail, FilePos JournalRecord::*link, FilePos value,
                FilePos committedEnd) {
    if (!isRecordPointer(ptr, committedEnd)) return 0;
    JournalRecord r;
    if (readRecordHeader(jf, ptr, kRecordLinks, r) != 0) return 1;
    if (r.*link != tail) return 0;
    r.*link = value;
    bool addressLink = link == &JournalRecord::prevPtr || link == &JournalRecord::nextPtr;
    return writeRecordHeader(jf, r, addressLink ? kRecordAddressLinks : kRecordLinks);
}

// A command that only appended records may have set empty links of the last
// committed record to them before its header commit (rollback rule R7):
// every link of it at or past the committed length goes back to empty.
int unlinkLastRecordFromTail(JournalFile& jf, FilePos committedEnd, bool* unlinked) {
    *unlinked = false;
    if (committedEnd < kJournalHeaderSize + kJournalRecordSize) return 0;
    JournalRecord r;
    if (readRecordHeader(jf, committedEnd - kJournalRecordSize, kRecordLinks, r) != 0) return 1;
    for (FilePos JournalRecord::*link : {&JournalRecord::prevPtr, &JournalRecord::nextPtr, &JournalRecord::pUndo,
                                         &JournalRecord::pJnl, &JournalRecord::nJnl, &JournalRecord::nUndo}) {
        if (isEmptyPtr(r.*link) || r.*link < committedEnd) continue;
        r.*link = kEmptyPtr;
        *unlinked = true;
    }
    return *unlinked ? writeRecordHeader(jf, r, kRecordLinks) : 0;
}

// The recovery puts committed bytes back: while it runs, its writes go
// straight to the file instead of waiting among the held units of a command.
class WritesStraightToFile {
public:
    explicit WritesStraightToFile(JournalFile& jf) : jf_(jf), rollbackName_(std::move(jf.rollback.name)) {
        jf.rollback.name.clear();
    }
    ~WritesStraightToFile() { jf_.rollback.name = std::move(rollbackName_); }
    WritesStraightToFile(const WritesStraightToFile&) = delete;
    WritesStraightToFile& operator=(const WritesStraightToFile&) = delete;

private:
    JournalFile& jf_;
    std::string rollbackName_;
};

}  // namespace

int discardUnfinishedCommand(JournalFile& jf) {
    FilePos committedEnd = jf.header.jnlEnd;
    if (committedEnd < kJournalHeaderSize || committedEnd > jf.journalEnd ||
        (committedEnd < jf.journalEnd && !isRecordPointer(committedEnd, jf.journalEnd)))
        return 0;
    WritesStraightToFile straight(jf);
    // Newest first, so that a link made by a later record is set back to the
    // one an earlier record of the same command made, and then to the
    // committed one. The tail is read in blocks of whole records: it may be
    // long (a zero-filled or sparse tail of millions of records).
    std::vector<std::uint8_t> block(kTailBlockRecords * kJournalRecordSize);
    for (FilePos blockEnd = jf.journalEnd; blockEnd > committedEnd;) {
        const std::uint64_t count =
            std::min<std::uint64_t>(kTailBlockRecords, (blockEnd - committedEnd) / kJournalRecordSize);
        const FilePos blockStart = blockEnd - count * kJournalRecordSize;
        std::uint32_t done = 0;
        if (readJournalSpan(jf, blockStart, block.data(), std::uint32_t(count * kJournalRecordSize), &done) != 0 ||
            done != count * kJournalRecordSize)
            return 1;
        for (std::uint64_t k = count; k-- > 0;) {
            JournalRecord t;
            decodeRecordHeaderRange(block.data() + k * kJournalRecordSize, 0, kRecordLinks, t);
            const FilePos tail = blockStart + k * kJournalRecordSize;
            // In the address chain the record stood in for its older version, or
            // was new between its two neighbours.
            bool replacedOlder = isRecordPointer(t.pJnl, committedEnd);
            FilePos belowNext = replacedOlder ? t.pJnl : t.nextPtr;
            FilePos abovePrev = replacedOlder ? t.pJnl : t.prevPtr;
            int result = restoreLink(jf, t.prevPtr, tail, &JournalRecord::nextPtr, belowNext, committedEnd);
            result |= restoreLink(jf, t.nextPtr, tail, &JournalRecord::prevPtr, abovePrev, committedEnd);
            result |= restoreLink(jf, t.pJnl, tail, &JournalRecord::nJnl, t.nJnl, committedEnd);
            result |= restoreLink(jf, t.nJnl, tail, &JournalRecord::pJnl, t.pJnl, committedEnd);
            result |= restoreLink(jf, t.pUndo, tail, &JournalRecord::nUndo, kEmptyPtr, committedEnd);
            if (result != 0) return 1;
        }
        blockEnd = blockStart;
    }
    // What is left links the last committed record to appended records whose
    // own links were lost with them.
    bool unlinked = false;
    if (unlinkLastRecordFromTail(jf, committedEnd, &unlinked) != 0) return 1;
    // Part of a record whose append was cut short lies beyond the last whole one.
    FilePos length = 0;
    if (jf.files->size(jf.handle, &length) != 0) return 1;
    if (length <= committedEnd && !unlinked) return 0;
    ++jf.changeCount;
    forgetCachedUnits(jf);
    if (jf.files->setSize(jf.handle, committedEnd) != 0 || jf.files->sync(jf.handle) != 0) return 1;
    jf.journalEnd = committedEnd;
    return 0;
}

}  // namespace quorby
