#include "journal/journal_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "journal/rollback_file.h"

namespace quorby {

namespace {

// System error codes set when the journal itself, not the system, fails.
constexpr std::uint32_t kFileCorrupt = 1392;
constexpr std::uint32_t kNameTooLong = 206;

int fail(JournalFile& jf, std::uint32_t code, bool writing) {
    if (code != 0) jf.files->setLastError(SystemError{code, 0});
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, writing);
    return 1;
}

// How much of [pos, pos + n) to read from disk: the rest, if any, is
// appended records still held.
std::uint32_t bytesOnDisk(const JournalFile& jf, FilePos pos, std::uint32_t n) {
    const FilePos diskEnd = journalDiskEnd(jf);
    if (diskEnd == jf.journalEnd || pos + n <= diskEnd) return n;
    return pos < diskEnd ? std::uint32_t(diskEnd - pos) : 0;
}

int readBytes(JournalFile& jf, FilePos pos, void* buf, std::uint32_t n) {
    if (readThroughUnits(jf, pos, buf, n)) return 0;
    const std::uint32_t fromDisk = bytesOnDisk(jf, pos, n);
    if (fromDisk < n && pos + n > jf.journalEnd) return fail(jf, kCodeReachedEndOfFile, false);
    std::uint32_t done = 0;
    if (fromDisk > 0 && jf.files->readAt(jf.handle, pos, buf, fromDisk, &done) != 0) return fail(jf, 0, false);
    if (done != fromDisk) return fail(jf, kCodeReachedEndOfFile, false);
    overlayHeldUnits(jf, pos, buf, n);
    return 0;
}

// Writes [pos, pos + n) to the file now.
int writeNow(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n) {
    ++jf.changeCount;
    std::uint32_t done = 0;
    const int failed = jf.files->writeAt(jf.handle, pos, buf, n, &done);
    // Kept units must show what is on disk, even after a write cut short.
    if (failed != 0 || done != n) forgetCleanUnits(jf);
    else noteDirectWrite(jf, pos, buf, n);
    if (failed != 0) return fail(jf, 0, true);
    if (done != n) return fail(jf, kCodeReachedEndOfFile, true);
    return 0;
}

int writeBytes(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, const std::uint8_t* seen = nullptr) {
    // Committed bytes are overwritten only after their pre-image is kept;
    // records this command appended are rewritten together at its end.
    const bool inPlace = usesRollbackFile(jf) && pos < jf.rollback.committedEnd;
    const bool appended = usesRollbackFile(jf) && pos >= kJournalHeaderSize && pos + n <= jf.journalEnd;
    if (!inPlace && !appended) return writeNow(jf, pos, buf, n);
    ++jf.changeCount;
    return holdInPlaceWrite(jf, pos, buf, n, inPlace, seen);
}

// Appends whole records: held until the commit where room is set aside for
// them, else written now.
int appendBytes(JournalFile& jf, const std::uint8_t* bytes, std::uint32_t n) {
    bool held = false;
    if (holdAppendedRecords(jf, bytes, n, &held) != 0) return 1;
    if (held) return 0;
    const FilePos end = jf.journalEnd;
    if (writeBytes(jf, end, bytes, n) == 0) return 0;
    // Part of a record is no record: the file ends at the last whole one again.
    FilePos length = 0;
    if (jf.files->size(jf.handle, &length) == 0 && length > end) (void)jf.files->setSize(jf.handle, end);
    return 1;
}

// A pointer must name a whole record below journalEnd before any transfer.
int checkPointer(JournalFile& jf, FilePos ptr, bool writing) {
    if (isRecordPointer(ptr, jf.journalEnd)) return 0;
    bool beyondEnd = !isEmptyPtr(ptr) && ptr >= jf.journalEnd;
    return fail(jf, beyondEnd ? kCodeReachedEndOfFile : kFileCorrupt, writing);
}

bool samePointer(FilePos a, FilePos b) {
    return (isEmptyPtr(a) && isEmptyPtr(b)) || a == b;
}

// The neighbours of a record by address, read and checked before anything of
// a relink is written.
struct Neighbours {
    JournalRecord below;
    JournalRecord above;
    bool hasBelow = false;
    bool hasAbove = false;
};

int readNeighbours(JournalFile& jf, const JournalRecord& r, Neighbours& n) {
    n.hasBelow = !isEmptyPtr(r.prevPtr);
    n.hasAbove = !isEmptyPtr(r.nextPtr);
    if (n.hasBelow && readRecordHeader(jf, r.prevPtr, kRecordLinks, n.below) != 0) return 1;
    if (n.hasAbove && readRecordHeader(jf, r.nextPtr, kRecordLinks, n.above) != 0) return 1;
    bool ordered = (!n.hasBelow || n.below.mainAdr < r.mainAdr) &&
                   (!n.hasAbove || n.above.mainAdr > r.mainAdr);
    if (!ordered) return fail(jf, kFileCorrupt, true);
    return 0;
}

// Sets one address link on `start` (already read, 64 bytes) and, with
// AllVersions, on every older and newer version of its page.
int setAddressLink(JournalFile& jf, JournalRecord& start, FilePos JournalRecord::*link, FilePos value,
                   VersionScope scope) {
    start.*link = value;
    int result = writeRecordHeader(jf, start, kRecordAddressLinks);
    if (scope == VersionScope::NewestOnly) return result;

    std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    for (FilePos JournalRecord::*direction : {&JournalRecord::pJnl, &JournalRecord::nJnl}) {
        FilePos ptr = start.*direction;
        for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
            if (steps >= limit) return fail(jf, kFileCorrupt, false);
            JournalRecord version;
            if (readRecordHeader(jf, ptr, kRecordLinks, version) != 0) return 1;
            version.*link = value;
            result |= writeRecordHeader(jf, version, kRecordAddressLinks);
            ptr = version.*direction;
        }
    }
    return result;
}

int writeNeighbours(JournalFile& jf, const JournalRecord& r, Neighbours& n, VersionScope scope) {
    int result = 0;
    if (n.hasBelow)
        result |= setAddressLink(jf, n.below, &JournalRecord::nextPtr, r.jAdr, scope);
    else
        jf.header.first = r.jAdr;
    if (n.hasAbove)
        result |= setAddressLink(jf, n.above, &JournalRecord::prevPtr, r.jAdr, scope);
    else
        jf.header.lastPtr = r.jAdr;
    return result;
}

}  // namespace

void attachJournal(JournalFile& jf, FileIo& files, FileHandle handle, const std::string& name) {
    jf.files = &files;
    jf.handle = handle;
    jf.name = name;
    jf.journalEnd = 0;
    forgetCachedUnits(jf);
    ++jf.changeCount;
}

int measureJournal(JournalFile& jf) {
    FilePos length = 0;
    if (jf.files->size(jf.handle, &length) != 0) return fail(jf, 0, false);
    if (length < kJournalHeaderSize) {
        jf.journalEnd = length;
        return 1;
    }
    jf.journalEnd = recordPosition(wholeRecordCount(length));
    return 0;
}

int readJournalHeader(JournalFile& jf) {
    std::uint8_t bytes[kJournalHeaderSize];
    if (readBytes(jf, 0, bytes, kJournalHeaderSize) != 0) return 1;
    decodeJournalHeader(bytes, jf.header);
    std::memcpy(jf.committedLive, bytes, kHeaderLiveSize);
    return 0;
}

int writeJournalHeader(JournalFile& jf) {
    std::uint8_t bytes[kJournalHeaderSize];
    encodeJournalHeader(jf.header, bytes);
    if (writeBytes(jf, 0, bytes, kJournalHeaderSize) != 0) return 1;
    std::memcpy(jf.committedLive, bytes, kHeaderLiveSize);
    return 0;
}

bool headerNeedsCommit(const JournalFile& jf) {
    JournalHeader h = jf.header;
    h.jnlEnd = jf.journalEnd;
    std::uint8_t bytes[kJournalHeaderSize];
    encodeJournalHeader(h, bytes);
    return std::memcmp(bytes, jf.committedLive, kHeaderLiveSize) != 0;
}

int writeJournalBytes(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n) {
    return writeBytes(jf, pos, buf, n);
}

int writeJournalBytesNow(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n) {
    return writeNow(jf, pos, buf, n);
}

int syncJournal(JournalFile& jf) {
    if (jf.syncOnCommit && jf.files->sync(jf.handle) != 0) return fail(jf, 0, true);
    return 0;
}

int readJournalSpan(JournalFile& jf, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
    *done = 0;
    const std::uint32_t fromDisk = bytesOnDisk(jf, pos, n);
    if (fromDisk > 0 && jf.files->readAt(jf.handle, pos, buf, fromDisk, done) != 0) return 1;
    if (fromDisk < n && *done == fromDisk)
        *done = pos >= jf.journalEnd ? 0 : std::uint32_t(std::min<FilePos>(n, jf.journalEnd - pos));
    overlayHeldUnits(jf, pos, buf, *done);
    return 0;
}

int recreateJournal(JournalFile& jf, const std::string& mainName) {
    JournalHeader fresh;
    if (initJournalHeader(fresh, mainName) != 0) return fail(jf, kNameTooLong, true);
    ++jf.changeCount;
    // Nothing of the emptied journal is to be put back after a crash.
    if (usesRollbackFile(jf) && abandonRollbackCycle(jf) != 0) return 1;
    if (jf.files->setSize(jf.handle, 0) != 0) return fail(jf, 0, true);
    jf.header = fresh;
    jf.journalEnd = kJournalHeaderSize;
    return writeJournalHeader(jf);
}

// Fields read from disk are used as lengths and positions: a record whose
// MainAdr is not a page position or whose anz is not 1..512 is a damaged
// journal, reported and never used (no writer stores a page without bytes).
namespace {
bool validDataCount(std::uint32_t anz) { return anz >= 1 && anz <= kRecordDataSize; }
}  // namespace

int checkRecordFields(JournalFile& jf, const JournalRecord& r, std::uint32_t length) {
    if (length >= kRecPrevPtr && r.mainAdr % kRecordDataSize != 0) return fail(jf, kFileCorrupt, false);
    if (length >= kRecFlag && !validDataCount(r.anz)) return fail(jf, kFileCorrupt, false);
    return 0;
}

int readRecordHeaderAsStored(JournalFile& jf, FilePos ptr, std::uint32_t length, JournalRecord& r) {
    if (length == 0 || length > kRecordHeaderSize) length = kRecordHeaderSize;
    if (checkPointer(jf, ptr, false) != 0) return 1;
    std::uint8_t bytes[kRecordHeaderSize];
    if (readBytes(jf, ptr, bytes, length) != 0) return 1;
    decodeRecordHeaderRange(bytes, 0, length, r);
    r.jAdr = ptr;
    return 0;
}

int readRecordHeader(JournalFile& jf, FilePos ptr, std::uint32_t length, JournalRecord& r) {
    if (length == 0 || length > kRecordHeaderSize) length = kRecordHeaderSize;
    if (readRecordHeaderAsStored(jf, ptr, length, r) != 0) return 1;
    return checkRecordFields(jf, r, length);
}

int readVersionWalk(JournalFile& jf, FilePos ptr, JournalRecord& r) {
    if (checkPointer(jf, ptr, false) != 0) return 1;
    std::uint8_t bytes[kVersionWalkLength];
    if (readBytes(jf, ptr + kVersionWalkOffset, bytes, kVersionWalkLength) != 0) return 1;
    decodeRecordHeaderRange(bytes, kVersionWalkOffset, kVersionWalkLength, r);
    r.jAdr = ptr;
    return validDataCount(r.anz) ? 0 : fail(jf, kFileCorrupt, false);
}

int readRecordData(JournalFile& jf, FilePos ptr, std::uint8_t out[kRecordDataSize]) {
    if (checkPointer(jf, ptr, false) != 0) return 1;
    return readBytes(jf, ptr + kRecData, out, kRecordDataSize);
}

int readRecord(JournalFile& jf, FilePos ptr, JournalRecord& r) {
    if (checkPointer(jf, ptr, false) != 0) return 1;
    std::uint8_t bytes[kJournalRecordSize];
    if (readBytes(jf, ptr, bytes, kJournalRecordSize) != 0) return 1;
    decodeRecord(bytes, r);
    r.jAdr = ptr;
    return checkRecordFields(jf, r, kRecordHeaderSize);
}

int refreshStoredLinks(JournalFile& jf, JournalRecord& copy) {
    JournalRecord stored;
    if (readRecordHeader(jf, copy.jAdr, kRecordLinks, stored) != 0) return 1;
    copy.prevPtr = stored.prevPtr;
    copy.nextPtr = stored.nextPtr;
    copy.pUndo = stored.pUndo;
    copy.pJnl = stored.pJnl;
    copy.nJnl = stored.nJnl;
    copy.nUndo = stored.nUndo;
    return 0;
}

int writeRecordHeader(JournalFile& jf, const JournalRecord& r, std::uint32_t length) {
    if (length == 0 || length > kRecordHeaderSize) length = kRecordHeaderSize;
    if (checkPointer(jf, r.jAdr, true) != 0) return 1;
    std::uint8_t bytes[kRecordHeaderSize];
    encodeRecordHeader(r, bytes);
    return writeBytes(jf, r.jAdr, bytes, length);
}

int writeRecord(JournalFile& jf, const JournalRecord& r) {
    if (checkPointer(jf, r.jAdr, true) != 0) return 1;
    std::uint8_t bytes[kJournalRecordSize];
    encodeRecord(r, bytes);
    return writeBytes(jf, r.jAdr, bytes, kJournalRecordSize);
}

int rewriteRecords(JournalFile& jf, FilePos first, const std::uint8_t* bytes, const std::uint8_t* seen,
                   std::uint32_t count) {
    if (count == 0) return 0;
    const FilePos last = first + FilePos(count - 1) * kJournalRecordSize;
    if (checkPointer(jf, first, true) != 0 || checkPointer(jf, last, true) != 0) return 1;
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::size_t at = std::size_t(k) * kJournalRecordSize;
        if (writeBytes(jf, first + at, bytes + at, kJournalRecordSize, seen + at) != 0) return 1;
    }
    return 0;
}

int appendRecord(JournalFile& jf, JournalRecord& r) {
    r.jAdr = kEmptyPtr;
    if (jf.journalEnd < kJournalHeaderSize) return fail(jf, kFileCorrupt, true);
    std::uint8_t bytes[kJournalRecordSize];
    encodeRecord(r, bytes);
    if (appendBytes(jf, bytes, kJournalRecordSize) != 0) return 1;
    r.jAdr = jf.journalEnd;
    jf.journalEnd += kJournalRecordSize;
    return 0;
}

int appendRecords(JournalFile& jf, JournalRecord* const* records, int count) {
    for (int k = 0; k < count; ++k) records[k]->jAdr = kEmptyPtr;
    if (count == 0) return 0;
    if (jf.journalEnd < kJournalHeaderSize) return fail(jf, kFileCorrupt, true);
    std::vector<std::uint8_t> bytes(std::size_t(count) * kJournalRecordSize);
    for (int k = 0; k < count; ++k) encodeRecord(*records[k], bytes.data() + std::size_t(k) * kJournalRecordSize);
    if (appendBytes(jf, bytes.data(), std::uint32_t(bytes.size())) != 0) return 1;
    for (int k = 0; k < count; ++k) records[k]->jAdr = jf.journalEnd + FilePos(k) * kJournalRecordSize;
    jf.journalEnd += FilePos(count) * kJournalRecordSize;
    return 0;
}

int linkAddressNeighbours(JournalFile& jf, const JournalRecord& r, VersionScope scope) {
    if (checkPointer(jf, r.jAdr, true) != 0) return 1;
    Neighbours n;
    if (readNeighbours(jf, r, n) != 0) return 1;
    return writeNeighbours(jf, r, n, scope);
}

int linkUndoEntry(JournalFile& jf, JournalRecord& r) {
    if (checkPointer(jf, r.jAdr, true) != 0) return 1;
    int result = 0;
    FilePos former = jf.header.undo;
    r.pUndo = former;
    r.nUndo = kEmptyPtr;
    r.flag &= ~kFlagNotInUndoOrder;
    if (isEmptyPtr(former)) {
        // A new change after everything was undone drops the redo entries.
        jf.header.firstUndo = r.jAdr;
    } else {
        JournalRecord entry;
        if (readRecordHeader(jf, former, kRecordLinks, entry) != 0) {
            result = 1;
        } else {
            entry.nUndo = r.jAdr;
            result |= writeRecordHeader(jf, entry, kRecordLinks);
        }
    }
    jf.header.undo = r.jAdr;
    result |= writeRecordHeader(jf, r, kRecordLinks);
    return result;
}

int linkAppendedRun(JournalFile& jf, const JournalRecord& first, const JournalRecord& last) {
    if (checkPointer(jf, first.jAdr, true) != 0 || checkPointer(jf, last.jAdr, true) != 0) return 1;
    const FilePos former = jf.header.undo;
    if (!samePointer(first.pUndo, former)) return 1;
    Neighbours n;
    n.hasBelow = !isEmptyPtr(first.prevPtr);
    n.hasAbove = !isEmptyPtr(last.nextPtr);
    if (n.hasBelow && readRecordHeader(jf, first.prevPtr, kRecordLinks, n.below) != 0) return 1;
    if (n.hasAbove && readRecordHeader(jf, last.nextPtr, kRecordLinks, n.above) != 0) return 1;
    if ((n.hasBelow && n.below.mainAdr >= first.mainAdr) || (n.hasAbove && n.above.mainAdr <= last.mainAdr))
        return fail(jf, kFileCorrupt, true);
    int result = 0;
    if (n.hasBelow)
        result |= setAddressLink(jf, n.below, &JournalRecord::nextPtr, first.jAdr, VersionScope::NewestOnly);
    else
        jf.header.first = first.jAdr;
    if (n.hasAbove)
        result |= setAddressLink(jf, n.above, &JournalRecord::prevPtr, last.jAdr, VersionScope::NewestOnly);
    else
        jf.header.lastPtr = last.jAdr;
    if (isEmptyPtr(former)) {
        // A new change after everything was undone drops the redo entries.
        jf.header.firstUndo = first.jAdr;
    } else {
        // Read after the address links were written: the former entry is
        // often the neighbour below as well.
        JournalRecord entry;
        if (readRecordHeader(jf, former, kRecordLinks, entry) != 0) return 1;
        entry.nUndo = first.jAdr;
        result |= writeRecordHeader(jf, entry, kRecordLinks);
    }
    jf.header.undo = last.jAdr;
    return result;
}

int moveUndoEntryToNewest(JournalFile& jf, JournalRecord& r) {
    if (checkPointer(jf, r.jAdr, true) != 0) return 1;
    if (samePointer(r.jAdr, jf.header.undo)) return 0;
    FilePos before = r.pUndo;
    FilePos after = r.nUndo;
    JournalRecord older, newer;
    if (!isEmptyPtr(before) && readRecordHeader(jf, before, kRecordLinks, older) != 0) return 1;
    if (!isEmptyPtr(after) && readRecordHeader(jf, after, kRecordLinks, newer) != 0) return 1;
    // The neighbours keep a group mark only while the group went on past r
    // (r's marks as stored, before the caller gave it new ones).
    JournalRecord stored;
    if (readRecordHeader(jf, r.jAdr, kRecordLinks, stored) != 0) return 1;
    if ((stored.flag & kFlagRedoGroup) == 0) older.flag &= ~kFlagRedoGroup;
    if ((stored.flag & kFlagUndoGroup) == 0) newer.flag &= ~kFlagUndoGroup;
    int result = 0;
    if (!isEmptyPtr(before)) {
        older.nUndo = after;
        result |= writeRecordHeader(jf, older, kRecordLinks);
    } else if (samePointer(jf.header.firstUndo, r.jAdr) && !isEmptyPtr(after)) {
        jf.header.firstUndo = after;
    }
    if (!isEmptyPtr(after)) {
        newer.pUndo = before;
        result |= writeRecordHeader(jf, newer, kRecordLinks);
    }
    return result | linkUndoEntry(jf, r);
}

int linkNewerVersion(JournalFile& jf, JournalRecord& older, JournalRecord& newer) {
    if (checkPointer(jf, older.jAdr, true) != 0 || checkPointer(jf, newer.jAdr, true) != 0) return 1;
    FilePos follower = older.nJnl;
    JournalRecord next;
    if (!isEmptyPtr(follower) && readRecordHeader(jf, follower, kRecordLinks, next) != 0) return 1;
    newer.mainAdr = older.mainAdr;
    newer.pJnl = older.jAdr;
    newer.nJnl = follower;
    older.nJnl = newer.jAdr;
    // The new record first: its links point only at records already there.
    int result = writeRecordHeader(jf, newer, kRecordLinks);
    result |= writeRecordHeader(jf, older, kRecordLinks);
    if (!isEmptyPtr(follower)) {
        next.pJnl = newer.jAdr;
        result |= writeRecordHeader(jf, next, kRecordLinks);
    }
    return result;
}

int linkOlderVersion(JournalFile& jf, JournalRecord& newer, JournalRecord& added) {
    if (checkPointer(jf, newer.jAdr, true) != 0 || checkPointer(jf, added.jAdr, true) != 0) return 1;
    FilePos formerOlder = newer.pJnl;
    JournalRecord before;
    if (!isEmptyPtr(formerOlder) && readRecordHeader(jf, formerOlder, kRecordLinks, before) != 0) return 1;
    added.mainAdr = newer.mainAdr;
    added.nJnl = newer.jAdr;
    added.pJnl = formerOlder;
    newer.pJnl = added.jAdr;
    int result = writeRecordHeader(jf, added, kRecordLinks);
    result |= writeRecordHeader(jf, newer, kRecordLinks);
    if (!isEmptyPtr(formerOlder)) {
        before.nJnl = added.jAdr;
        result |= writeRecordHeader(jf, before, kRecordLinks);
    }
    return result;
}

int appendNewPage(JournalFile& jf, JournalRecord& r) {
    if (r.mainAdr % kRecordDataSize != 0) return fail(jf, kFileCorrupt, true);
    Neighbours n;
    if (readNeighbours(jf, r, n) != 0) return 1;
    r.pJnl = kEmptyPtr;
    r.nJnl = kEmptyPtr;
    r.pUndo = jf.header.undo;
    r.nUndo = kEmptyPtr;
    r.flag |= kFlagNotInUndoOrder;
    if (appendRecord(jf, r) != 0) return 1;
    int result = writeNeighbours(jf, r, n, VersionScope::NewestOnly);
    result |= linkUndoEntry(jf, r);
    return result;
}

int findPredecessor(JournalFile& jf, FilePos position, FilePos* result, JournalRecord* found) {
    *result = kEmptyPtr;
    std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    FilePos ptr = jf.header.lastPtr;
    FilePos aboveAdr = 0;
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        JournalRecord r;
        if (steps >= limit) return fail(jf, kFileCorrupt, false);
        if (readRecordHeader(jf, ptr, kRecordLinks, r) != 0) return 1;
        // Going down the chain, MainAdr must fall: anything else is a damaged
        // chain that could loop.
        if (steps > 0 && r.mainAdr >= aboveAdr) return fail(jf, kFileCorrupt, false);
        if (r.mainAdr < position) {
            *result = ptr;
            if (found) *found = r;
            return 0;
        }
        aboveAdr = r.mainAdr;
        ptr = r.prevPtr;
    }
    return 0;
}

int cutAddressChain(JournalFile& jf, FilePos position) {
    FilePos predecessor = kEmptyPtr;
    JournalRecord r;
    if (findPredecessor(jf, position, &predecessor, &r) != 0) return 1;
    if (samePointer(predecessor, jf.header.lastPtr)) return 0;
    if (isEmptyPtr(predecessor)) {
        // Every changed page lies at or beyond the new end.
        jf.header.first = kEmptyPtr;
        jf.header.lastPtr = kEmptyPtr;
        return 0;
    }
    r.nextPtr = kEmptyPtr;
    int result = writeRecordHeader(jf, r, kRecordAddressLinks);
    jf.header.lastPtr = predecessor;
    return result;
}

void startAddressWalk(const JournalFile& jf, AddressWalk& walk) {
    walk = AddressWalk{};
    walk.next = jf.header.first;
    walk.state = isEmptyPtr(walk.next) ? WalkState::End : WalkState::Going;
}

int nextAddressRecord(JournalFile& jf, AddressWalk& walk, JournalRecord& out) {
    if (walk.state != WalkState::Going) return 1;
    if (isEmptyPtr(walk.next)) {
        walk.state = WalkState::End;
        return 1;
    }
    if (!isRecordPointer(walk.next, jf.journalEnd)) {
        walk.state = WalkState::Broken;
        return 1;
    }
    if (readRecordHeader(jf, walk.next, kRecordLinks, out) != 0) {
        walk.state = WalkState::ReadFailed;
        return 1;
    }
    if (walk.steps > 0 && out.mainAdr <= walk.previousAdr) {
        walk.state = WalkState::Broken;
        return 1;
    }
    walk.previousAdr = out.mainAdr;
    walk.previousPtr = walk.next;
    walk.next = out.nextPtr;
    ++walk.steps;
    return 0;
}

}  // namespace quorby
