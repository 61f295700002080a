#include "journal/rollback_log.h"

#include <cstring>
#include <vector>

#include "journal/unit_cache.h"

namespace quorby {

namespace {

constexpr std::uint32_t kEntryTail = 4;

// The check of an entry: its first 20 bytes and its data, mixed word by
// word with the cycle, so that an entry left from an earlier cycle fails.
std::uint32_t entryCheck(std::uint64_t cycle, const std::uint8_t* head, const std::uint8_t* data, std::uint32_t n) {
    std::uint64_t h = 0xcbf29ce484222325ull ^ cycle;
    auto mix = [&h](std::uint64_t w) { h = (h ^ w) * 0x100000001b3ull; };
    mix(loadU64(head));
    mix(loadU64(head + 8));
    mix(loadU32(head + 16));
    std::uint32_t i = 0;
    for (; i + 8 <= n; i += 8) mix(loadU64(data + i));
    for (; i < n; ++i) mix(data[i]);
    return std::uint32_t(h ^ (h >> 32));
}

int failWrite(JournalFile& jf) {
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, true);
    return 1;
}

// Narrows [*lo, *hi) to the span from the first to the last byte in which
// `a` and `b` differ (empty when they are equal), a word at a time.
void changedSpan(const std::uint8_t* a, const std::uint8_t* b, std::size_t* lo, std::size_t* hi) {
    auto sameWord = [a, b](std::size_t at) { return std::memcmp(a + at, b + at, 8) == 0; };
    while (*lo + 8 <= *hi && sameWord(*lo)) *lo += 8;
    while (*lo < *hi && a[*lo] == b[*lo]) ++*lo;
    while (*hi >= *lo + 8 && sameWord(*hi - 8)) *hi -= 8;
    while (*hi > *lo && a[*hi - 1] == b[*hi - 1]) --*hi;
}

}  // namespace

std::string rollbackNameFor(const std::string& journalName) { return journalName + "-rollback"; }

void useRollbackFile(JournalFile& jf) {
    jf.rollback.name = rollbackNameFor(jf.name);
    jf.rollback.committedEnd = jf.journalEnd;
}

bool usesRollbackFile(const JournalFile& jf) { return !jf.rollback.name.empty(); }

bool rollbackCycleOpen(const JournalFile& jf) {
    return jf.rollback.step != CommitStep::Committed;
}

void queueRollbackEntry(RollbackState& rb, RollbackTarget target, FilePos pos, const std::uint8_t* data,
                        std::uint32_t n) {
    std::uint8_t head[kRollbackEntryHead];
    storeU32(head, kRollbackEntryMagic);
    storeU32(head + 4, std::uint32_t(target));
    storeU64(head + 8, pos);
    storeU32(head + 16, n);
    storeU32(head + 20, entryCheck(rb.cycle, head, data, n));
    std::uint8_t tail[kEntryTail];
    storeU32(tail, kRollbackEntryHead + n + kEntryTail);
    rb.unwritten.insert(rb.unwritten.end(), head, head + kRollbackEntryHead);
    rb.unwritten.insert(rb.unwritten.end(), data, data + n);
    rb.unwritten.insert(rb.unwritten.end(), tail, tail + kEntryTail);
    if (rb.step == CommitStep::Committed) rb.step = CommitStep::Changing;
}

int writeRollbackEntries(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    if (rb.unwritten.empty()) return 0;
    FileIo& files = *jf.files;
    if (rb.handle == kNoFile && files.open(rb.name, OpenMode::PrivateReadWrite, &rb.handle) != 0) {
        rb.handle = kNoFile;
        return failWrite(jf);
    }
    if (rb.fileEnd == 0) {
        std::uint8_t head[kRollbackHeaderSize];
        storeU32(head, kRollbackMagic);
        storeU32(head + 4, kRollbackFormat);
        storeU64(head + 8, rb.committedEnd);
        storeU64(head + 16, rb.cycle);
        rb.unwritten.insert(rb.unwritten.begin(), head, head + kRollbackHeaderSize);
    }
    std::uint32_t done = 0;
    const std::uint32_t n = std::uint32_t(rb.unwritten.size());
    if (files.writeAt(rb.handle, rb.fileEnd, rb.unwritten.data(), n, &done) != 0 || done != n) {
        // What did arrive ends in an entry cut short; the next attempt writes over it.
        if (rb.fileEnd == 0) rb.unwritten.erase(rb.unwritten.begin(), rb.unwritten.begin() + kRollbackHeaderSize);
        return failWrite(jf);
    }
    if (jf.syncOnCommit && files.sync(rb.handle) != 0) return failWrite(jf);
    rb.fileEnd += n;
    if (rb.step < CommitStep::PreImagesDurable) rb.step = CommitStep::PreImagesDurable;
    rb.unwritten.clear();
    rb.mainPending = false;
    return 0;
}

int writeHeldUnits(JournalFile& jf, HeldAppends appends) {
    RollbackState& rb = jf.rollback;
    // A unit goes out whole, but its pre-image covers only the bytes the
    // command changed in it: the others are rewritten as they were, so a
    // write cut short leaves them right as well.
    for (const auto& [start, unit] : rb.held) {
        if (unit.preImage.empty()) continue;
        std::size_t lo = unit.writtenFrom, hi = unit.writtenTo;
        changedSpan(unit.bytes.data(), unit.preImage.data(), &lo, &hi);
        if (lo < hi)
            queueRollbackEntry(rb, RollbackTarget::JournalFile, start + lo, unit.preImage.data() + lo, std::uint32_t(hi - lo));
    }
    return writeRollbackEntries(jf) != 0 ? 1 : writeHeldUnitsWithoutPreImages(jf, appends);
}

namespace {

// The record links a command may set in the last committed record without a
// pre-image (R7), one after the other from PrevPtr to NUndo.
constexpr std::uint32_t kRecordLinkFields[] = {kRecPrevPtr, kRecNextPtr, kRecPUndo, kRecPJnl, kRecNJnl, kRecNUndo};
static_assert(kRecNUndo + 8 == kRecAnz && kRecNextPtr == kRecPrevPtr + 8 && kRecNUndo == kRecPrevPtr + 40);

// True when `unit` differs from its pre-image only in links that were empty
// and now point at records appended after `committedEnd`.
bool onlyEmptyLinksSetToTail(const RollbackState::HeldUnit& unit, FilePos committedEnd) {
    if (unit.preImage.size() != kJournalRecordSize || unit.bytes.size() != kJournalRecordSize) return false;
    const std::uint8_t* before = unit.preImage.data();
    const std::uint8_t* now = unit.bytes.data();
    for (std::uint32_t field : kRecordLinkFields) {
        const FilePos link = loadU64(now + field);
        if (link != loadU64(before + field) && (!isEmptyPtr(loadU64(before + field)) || link < committedEnd))
            return false;
    }
    // The link fields lie together: the bytes before and after them are unchanged.
    return std::memcmp(now, before, kRecPrevPtr) == 0 &&
           std::memcmp(now + kRecAnz, before + kRecAnz, kJournalRecordSize - kRecAnz) == 0;
}

}  // namespace

bool commitNeedsNoPreImages(const JournalFile& jf) {
    const RollbackState& rb = jf.rollback;
    if ((rb.held.empty() && rb.appended.empty()) || !rb.unwritten.empty() || rb.step > CommitStep::Changing ||
        !rb.mainCovered.empty())
        return false;
    const FilePos last = rb.committedEnd - kJournalRecordSize;
    for (const auto& [start, unit] : rb.held) {
        if (start >= rb.committedEnd) continue;
        if (start != last || last < kJournalHeaderSize || !onlyEmptyLinksSetToTail(unit, rb.committedEnd)) return false;
    }
    return true;
}

int endRollbackCycle(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    if (rb.fileEnd != 0) {
        // Clearing the magic ends the cycle; the next one writes over the
        // entries, whose checks carry their cycle. A long one's bytes go.
        const std::uint8_t cleared[4] = {};
        std::uint32_t done = 0;
        if (jf.files->writeAt(rb.handle, 0, cleared, 4, &done) != 0 || done != 4) return failWrite(jf);
        if (rb.fileEnd > kRollbackKeptLength && jf.files->setSize(rb.handle, 0) != 0) return failWrite(jf);
        if (jf.syncOnCommit && jf.files->sync(rb.handle) != 0) return failWrite(jf);
        ++rb.cycle;
    }
    rb.fileEnd = 0;
    rb.mainCovered.clear();
    rb.step = CommitStep::Committed;
    rb.committedEnd = jf.journalEnd;
    return 0;
}

int abandonRollbackCycle(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    forgetCachedUnits(jf);
    rb.unwritten.clear();
    rb.mainPending = false;
    const int result = endRollbackCycle(jf);
    rb.committedEnd = 0;
    return result;
}

void closeRollbackFile(JournalFile& jf, bool remove) {
    RollbackState& rb = jf.rollback;
    if (rb.handle != kNoFile) jf.files->close(rb.handle);
    rb.handle = kNoFile;
    if (remove && !rb.name.empty() && jf.files->exists(rb.name)) jf.files->removeFile(rb.name);
}

// --- Opening ----------------------------------------------------------------

namespace {

struct EntryHead {
    RollbackTarget target;
    FilePos position;
    std::uint32_t n;
};

// Reads and checks the entry at `at`; its data goes to `data` (kRollbackMaxData bytes).
bool readEntry(FileIo& files, FileHandle h, std::uint64_t cycle, FilePos at, FilePos fileEnd, EntryHead& e,
               std::uint8_t* data) {
    if (fileEnd - at < kRollbackEntryHead + kEntryTail) return false;
    std::uint8_t head[kRollbackEntryHead];
    std::uint32_t done = 0;
    if (files.readAt(h, at, head, kRollbackEntryHead, &done) != 0 || done != kRollbackEntryHead) return false;
    const std::uint32_t n = loadU32(head + 16);
    const std::uint32_t target = loadU32(head + 4);
    if (loadU32(head) != kRollbackEntryMagic || n > kRollbackMaxData || target < 1 || target > 4) return false;
    if (target == std::uint32_t(RollbackTarget::MainFileInRecords) && n != kRecordsEntryData) return false;
    if (fileEnd - at < kRollbackEntryHead + n + kEntryTail) return false;
    std::uint8_t tail[kEntryTail];
    if (n > 0 && (files.readAt(h, at + kRollbackEntryHead, data, n, &done) != 0 || done != n)) return false;
    if (files.readAt(h, at + kRollbackEntryHead + n, tail, kEntryTail, &done) != 0 || done != kEntryTail) return false;
    if (loadU32(tail) != kRollbackEntryHead + n + kEntryTail) return false;
    if (loadU32(head + 20) != entryCheck(cycle, head, data, n)) return false;
    e = {RollbackTarget(target), loadU64(head + 8), n};
    return true;
}

// The end of the last whole entry of the cycle, the Journal File's committed
// length, and what the entries are for.
int walkEntries(FileIo& files, FileHandle h, FilePos* validEnd, std::uint64_t* cycle, FilePos* committedEnd,
                RollbackFound* found) {
    *validEnd = 0;
    FilePos size = 0;
    if (files.size(h, &size) != 0) return 1;
    if (size < kRollbackHeaderSize) return 0;
    std::uint8_t head[kRollbackHeaderSize];
    std::uint32_t done = 0;
    if (files.readAt(h, 0, head, kRollbackHeaderSize, &done) != 0 || done != kRollbackHeaderSize) return 1;
    if (loadU32(head) != kRollbackMagic || loadU32(head + 4) != kRollbackFormat) return 0;
    *committedEnd = loadU64(head + 8);
    *cycle = loadU64(head + 16);
    std::vector<std::uint8_t> data(kRollbackMaxData);
    FilePos at = kRollbackHeaderSize;
    EntryHead e{};
    while (readEntry(files, h, *cycle, at, size, e, data.data())) {
        ++found->entries;
        if (e.target != RollbackTarget::JournalFile) ++found->mainEntries;
        at += kRollbackEntryHead + e.n + kEntryTail;
    }
    *validEnd = at;
    return 0;
}

// Writes the data of the records a MainFileInRecords entry names back into
// the Main File, a block of records at a time. A record that is not the
// whole page it should be stops the replay: its bytes are not written over
// the Main File.
int putBackFromRecords(FileIo& files, FileHandle journal, FileHandle main, FilePos mainPos, const std::uint8_t* data) {
    constexpr std::uint32_t kBlockRecords = 64;
    const FilePos first = loadU64(data);
    const std::uint32_t pages = loadU32(data + 8);
    FilePos journalLength = 0;
    if (pages == 0 || files.size(journal, &journalLength) != 0 || !isRecordPointer(first, journalLength)) return 1;
    std::vector<std::uint8_t> records(std::size_t(kBlockRecords) * kJournalRecordSize);
    std::vector<std::uint8_t> bytes(std::size_t(kBlockRecords) * kRecordDataSize);
    for (std::uint32_t done = 0; done < pages;) {
        const std::uint32_t count = pages - done < kBlockRecords ? pages - done : kBlockRecords;
        const std::uint32_t want = count * kJournalRecordSize;
        std::uint32_t got = 0;
        if (files.readAt(journal, first + FilePos(done) * kJournalRecordSize, records.data(), want, &got) != 0 ||
            got != want)
            return 1;
        const FilePos pos = mainPos + FilePos(done) * kRecordDataSize;
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint8_t* record = records.data() + std::size_t(k) * kJournalRecordSize;
            if (loadU64(record + kRecMainAdr) != pos + FilePos(k) * kRecordDataSize ||
                loadU32(record + kRecAnz) != kRecordDataSize)
                return 1;
            std::memcpy(bytes.data() + std::size_t(k) * kRecordDataSize, record + kRecData, kRecordDataSize);
        }
        const std::uint32_t length = count * kRecordDataSize;
        if (files.writeAt(main, pos, bytes.data(), length, &got) != 0 || got != length) return 1;
        done += count;
    }
    return 0;
}

// Rewritten records an entry named may be put back to their committed bytes
// by older entries, after which they no longer hold the Main File's pages: once
// the Main File has their data, and what the newer entries wrote back is
// durable, the entry's magic is cleared, so that a replay run again after a
// crash stops before it.
int markEntryReplayed(FileIo& files, FileHandle rollback, FilePos entry, FileHandle journal, FileHandle main) {
    if (files.sync(journal) != 0 || files.sync(main) != 0) return 1;
    const std::uint8_t cleared[4] = {};
    std::uint32_t done = 0;
    if (files.writeAt(rollback, entry, cleared, 4, &done) != 0 || done != 4) return 1;
    return files.sync(rollback);
}

}  // namespace

int inspectRollbackFile(FileIo& files, const std::string& name, RollbackFound* found) {
    *found = RollbackFound{};
    if (!files.exists(name)) return 0;
    FileHandle h = kNoFile;
    if (files.open(name, OpenMode::PrivateReadWrite, &h) != 0) return 1;
    FilePos end = 0;
    std::uint64_t cycle = 0;
    FilePos committedEnd = 0;
    const int result = walkEntries(files, h, &end, &cycle, &committedEnd, found);
    files.close(h);
    return result;
}

int replayRollbackFile(FileIo& files, const std::string& name, FileHandle journal, FileHandle main,
                       FilePos* mainShortenedTo) {
    if (mainShortenedTo) *mainShortenedTo = RollbackState::kNoShortening;
    if (!files.exists(name)) return 0;
    FileHandle h = kNoFile;
    if (files.open(name, OpenMode::PrivateReadWrite, &h) != 0) return 1;
    FilePos at = 0;
    RollbackFound found;
    std::uint64_t cycle = 0;
    FilePos committedEnd = 0;
    int result = walkEntries(files, h, &at, &cycle, &committedEnd, &found);
    if (result == 0 && found.mainEntries > 0 && main == kNoFile) result = 1;
    std::vector<std::uint8_t> data(kRollbackMaxData);
    bool mainTouched = false;
    while (result == 0 && at > kRollbackHeaderSize) {
        std::uint8_t tail[kEntryTail];
        std::uint32_t done = 0;
        if (files.readAt(h, at - kEntryTail, tail, kEntryTail, &done) != 0 || done != kEntryTail) {
            result = 1;
            break;
        }
        const FilePos start = at - loadU32(tail);
        EntryHead e{};
        if (loadU32(tail) > at - kRollbackHeaderSize || !readEntry(files, h, cycle, start, at, e, data.data())) {
            result = 1;
            break;
        }
        const FileHandle target = e.target == RollbackTarget::JournalFile ? journal : main;
        if (e.target == RollbackTarget::MainFileInRecords) {
            result = putBackFromRecords(files, journal, main, e.position, data.data());
            // Records the command appended are cut off afterwards, never put back.
            if (result == 0 && loadU64(data.data()) < committedEnd)
                result = markEntryReplayed(files, h, start, journal, main);
        } else if (e.target == RollbackTarget::MainFileLength) {
            FilePos length = 0;
            if (files.size(main, &length) != 0) result = 1;
            else if (length > e.position && files.setSize(main, e.position) != 0) result = 1;
            else if (length < e.position && mainShortenedTo) *mainShortenedTo = length;
        } else if (files.writeAt(target, e.position, data.data(), e.n, &done) != 0 || done != e.n) {
            result = 1;
        }
        mainTouched |= e.target != RollbackTarget::JournalFile;
        at = start;
    }
    // The Main File's last-write time is now this program's own: the header
    // says so, as it does while a command writes into it.
    if (result == 0 && mainTouched) {
        std::uint8_t flags[4];
        std::uint32_t done = 0;
        if (files.readAt(journal, kHdrJnlFlags, flags, 4, &done) != 0 || done != 4) {
            result = 1;
        } else {
            storeU32(flags, loadU32(flags) | kJnlMainFileWriting);
            if (files.writeAt(journal, kHdrJnlFlags, flags, 4, &done) != 0 || done != 4) result = 1;
        }
    }
    if (result == 0 && files.sync(journal) != 0) result = 1;
    if (result == 0 && mainTouched && files.sync(main) != 0) result = 1;
    files.close(h);
    // Kept when anything failed: the next opening tries again.
    if (result == 0) result = files.removeFile(name);
    return result;
}

}  // namespace quorby
