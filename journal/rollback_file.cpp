#include "journal/rollback_file.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

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

// The unit a journal position belongs to: the header, or one record.
struct Unit {
    FilePos start;
    std::uint32_t size;
};
Unit unitOf(FilePos pos) {
    if (pos < kJournalHeaderSize) return {0, kJournalHeaderSize};
    return {recordPosition((pos - kJournalHeaderSize) / kJournalRecordSize), kJournalRecordSize};
}

int failWrite(JournalFile& jf) {
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, true);
    return 1;
}

void appendEntry(RollbackState& rb, RollbackTarget target, FilePos pos, const std::uint8_t* data, std::uint32_t n) {
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
}

// Writes the waiting entries to the rollback file and syncs it.
int writeEntries(JournalFile& jf) {
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
    rb.unwritten.clear();
    rb.mainPending = false;
    return 0;
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

}  // namespace

std::string rollbackNameFor(const std::string& journalName) { return journalName + "-rollback"; }

void useRollbackFile(JournalFile& jf) {
    jf.rollback.name = rollbackNameFor(jf.name);
    jf.rollback.committedEnd = jf.journalEnd;
}

bool usesRollbackFile(const JournalFile& jf) { return !jf.rollback.name.empty(); }

bool rollbackCycleOpen(const JournalFile& jf) {
    const RollbackState& rb = jf.rollback;
    return !rb.held.empty() || !rb.unwritten.empty() || rb.fileEnd != 0 || rb.mainWritten;
}

namespace {

// Undo and redo walk the records one after the other, Save File in the
// order of their pages, which is mostly the order in the file: a missing
// record is read with its neighbours on both sides in one transfer.
constexpr FilePos kUnitsAround = 32;

int readUnitsAround(JournalFile& jf, const Unit& u) {
    RollbackState& rb = jf.rollback;
    FilePos from = u.start, to = u.start + u.size;
    if (u.start >= kJournalHeaderSize) {
        // A walk that comes from the record before (after) reads on in its
        // own direction only.
        const bool forward = rb.clean.count(u.start - kJournalRecordSize) != 0;
        const bool backward = !forward && rb.clean.count(u.start + kJournalRecordSize) != 0;
        const FilePos reach = kUnitsAround * kJournalRecordSize;
        const FilePos before = forward ? 0 : backward ? 2 * reach : reach;
        const FilePos after = backward ? kJournalRecordSize : forward ? 2 * reach : reach;
        from = u.start - kJournalHeaderSize > before ? u.start - before : kJournalHeaderSize;
        // Appended records still held are not on disk: the read stops before them.
        const FilePos diskEnd = journalDiskEnd(jf);
        to = diskEnd - u.start > after ? u.start + after : diskEnd;
    }
    if (to < u.start + u.size) return 1;
    std::vector<std::uint8_t> bytes(std::size_t(to - from));
    std::uint32_t done = 0;
    if (jf.files->readAt(jf.handle, from, bytes.data(), std::uint32_t(to - from), &done) != 0 || done != to - from)
        return 1;
    if (rb.clean.size() + kUnitsAround * 2 >= kCleanUnitLimit) rb.clean.clear();
    for (FilePos at = from; at < to; at += unitOf(at).size) {
        const std::uint32_t size = unitOf(at).size;
        if (rb.held.count(at)) continue;  // the held unit is newer than the disk
        const std::uint8_t* unit = bytes.data() + (at - from);
        rb.clean.insert_or_assign(at, std::vector<std::uint8_t>(unit, unit + size));
    }
    return 0;
}

}  // namespace

int holdInPlaceWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepPreImage) {
    RollbackState& rb = jf.rollback;
    const std::uint8_t* from = static_cast<const std::uint8_t*>(buf);
    while (n > 0) {
        const Unit u = unitOf(pos);
        auto it = rb.held.find(u.start);
        if (it == rb.held.end()) {
            if (rb.held.size() >= kRollbackHeldLimit && writeHeldUnits(jf) != 0) return 1;
            auto kept = rb.clean.find(u.start);
            if (kept == rb.clean.end()) {
                if (readUnitsAround(jf, u) != 0) return failWrite(jf);
                kept = rb.clean.find(u.start);
            }
            RollbackState::HeldUnit unit;
            unit.bytes = std::move(kept->second);
            rb.clean.erase(kept);
            if (keepPreImage) unit.preImage = unit.bytes;
            it = rb.held.emplace(u.start, std::move(unit)).first;
        }
        const std::uint32_t offset = std::uint32_t(pos - u.start);
        const std::uint32_t part = n < u.size - offset ? n : u.size - offset;
        std::memcpy(it->second.bytes.data() + offset, from, part);
        pos += part;
        from += part;
        n -= part;
    }
    return 0;
}

int holdAppendedRecords(JournalFile& jf, const std::uint8_t* bytes, std::uint32_t n, bool* held) {
    RollbackState& rb = jf.rollback;
    *held = false;
    const std::size_t count = n / kJournalRecordSize;
    if (!usesRollbackFile(jf) || n == 0 || n % kJournalRecordSize != 0 || count > kRollbackHeldLimit) return 0;
    const FilePos at = jf.journalEnd;
    if (at + n > rb.reservedEnd) {
        const FilePos room = n > jf.appendRoom ? n : jf.appendRoom;
        if (jf.files->reserve(jf.handle, at, room) != 0) return 0;
        rb.reservedEnd = at + room;
    }
    if (rb.held.size() + count > kRollbackHeldLimit && writeHeldUnits(jf) != 0) return 1;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint8_t* record = bytes + k * kJournalRecordSize;
        RollbackState::HeldUnit unit;
        unit.bytes.assign(record, record + kJournalRecordSize);
        rb.held.insert_or_assign(at + k * kJournalRecordSize, std::move(unit));
    }
    if (rb.heldAppendsFrom > at) rb.heldAppendsFrom = at;
    ++jf.changeCount;
    *held = true;
    return 0;
}

FilePos journalDiskEnd(const JournalFile& jf) {
    return jf.rollback.heldAppendsFrom < jf.journalEnd ? jf.rollback.heldAppendsFrom : jf.journalEnd;
}

void overlayHeldUnits(const JournalFile& jf, FilePos pos, void* buf, std::uint32_t n) {
    const auto& held = jf.rollback.held;
    if (held.empty() || n == 0) return;
    auto it = held.upper_bound(pos);
    if (it != held.begin()) --it;
    std::uint8_t* out = static_cast<std::uint8_t*>(buf);
    for (; it != held.end() && it->first < pos + n; ++it) {
        const std::vector<std::uint8_t>& bytes = it->second.bytes;
        const FilePos unitEnd = it->first + bytes.size();
        const FilePos from = it->first > pos ? it->first : pos;
        const FilePos to = unitEnd < pos + n ? unitEnd : pos + n;
        if (from < to) std::memcpy(out + (from - pos), bytes.data() + (from - it->first), std::size_t(to - from));
    }
}

bool readThroughUnits(JournalFile& jf, FilePos pos, void* buf, std::uint32_t n) {
    RollbackState& rb = jf.rollback;
    const Unit u = unitOf(pos);
    if (!usesRollbackFile(jf) || n == 0 || pos + n > u.start + u.size || u.start + u.size > jf.journalEnd) return false;
    const std::vector<std::uint8_t>* bytes = nullptr;
    if (auto held = rb.held.find(u.start); held != rb.held.end()) {
        bytes = &held->second.bytes;
    } else {
        auto kept = rb.clean.find(u.start);
        if (kept == rb.clean.end()) {
            if (readUnitsAround(jf, u) != 0) return false;
            kept = rb.clean.find(u.start);
        }
        bytes = &kept->second;
    }
    std::memcpy(buf, bytes->data() + (pos - u.start), n);
    return true;
}

void noteDirectWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepNewUnits) {
    RollbackState& rb = jf.rollback;
    if (!usesRollbackFile(jf)) return;
    const std::uint8_t* from = static_cast<const std::uint8_t*>(buf);
    while (n > 0) {
        const Unit u = unitOf(pos);
        const std::uint32_t offset = std::uint32_t(pos - u.start);
        const std::uint32_t part = n < u.size - offset ? n : u.size - offset;
        auto it = rb.clean.find(u.start);
        if (it != rb.clean.end()) {
            std::memcpy(it->second.data() + offset, from, part);
        } else if (keepNewUnits && part == u.size) {
            if (rb.clean.size() >= kCleanUnitLimit) rb.clean.clear();
            rb.clean.emplace(u.start, std::vector<std::uint8_t>(from, from + part));
        }
        pos += part;
        from += part;
        n -= part;
    }
}

void forgetCachedUnits(JournalFile& jf) {
    jf.rollback.held.clear();
    jf.rollback.clean.clear();
    jf.rollback.heldAppendsFrom = RollbackState::kNoHeldAppends;
    // A cut file gives back the room set aside beyond its end.
    jf.rollback.reservedEnd = 0;
}

void forgetCleanUnits(JournalFile& jf) { jf.rollback.clean.clear(); }

// Neighbouring units go out in one transfer; written, they are kept as they
// are on disk now.
int writeHeldUnitsWithoutPreImages(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    int result = 0;
    constexpr std::size_t kRunLimit = 1u << 20;
    std::size_t heldBytes = 0;
    for (const auto& [start, unit] : rb.held) heldBytes += unit.bytes.size();
    std::vector<std::uint8_t> run;
    run.reserve(std::min(heldBytes, kRunLimit + kJournalHeaderSize));
    FilePos runStart = 0;
    auto flushRun = [&]() {
        if (run.empty()) return;
        std::uint32_t done = 0;
        const std::uint32_t n = std::uint32_t(run.size());
        if (jf.files->writeAt(jf.handle, runStart, run.data(), n, &done) != 0 || done != n) result = failWrite(jf);
        run.clear();
    };
    for (const auto& [start, unit] : rb.held) {
        if (!run.empty() && (runStart + run.size() != start || run.size() >= kRunLimit)) flushRun();
        if (run.empty()) runStart = start;
        run.insert(run.end(), unit.bytes.begin(), unit.bytes.end());
    }
    flushRun();
    if (result != 0) return 1;
    // Written out, the units are as on disk now. They are kept only where
    // they do not push out units read more recently.
    if (rb.clean.size() + rb.held.size() <= kCleanUnitLimit)
        for (auto& [start, unit] : rb.held) rb.clean[start] = std::move(unit.bytes);
    rb.held.clear();
    rb.heldAppendsFrom = RollbackState::kNoHeldAppends;
    return 0;
}

int writeHeldUnits(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    // A unit goes out whole, but its pre-image covers only the bytes the
    // command changed in it: the others are rewritten as they were, so a
    // write cut short leaves them right as well.
    for (const auto& [start, unit] : rb.held) {
        if (unit.preImage.empty()) continue;
        std::size_t lo = 0, hi = unit.bytes.size();
        changedSpan(unit.bytes.data(), unit.preImage.data(), &lo, &hi);
        if (lo < hi)
            appendEntry(rb, RollbackTarget::JournalFile, start + lo, unit.preImage.data() + lo, std::uint32_t(hi - lo));
    }
    return writeEntries(jf) != 0 ? 1 : writeHeldUnitsWithoutPreImages(jf);
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
    if (rb.held.empty() || !rb.unwritten.empty() || rb.fileEnd != 0 || rb.mainWritten || !rb.mainCovered.empty())
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
    rb.mainWritten = false;
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

namespace {

// The first Main File entry of a command keeps its length, so that bytes
// written beyond the end are taken back as well, and so that the opening
// knows the Main File was being written.
int keepMainLengthOnce(JournalFile& jf, FileHandle main) {
    RollbackState& rb = jf.rollback;
    if (!rb.mainCovered.empty()) return 0;
    FilePos length = 0;
    if (jf.files->size(main, &length) != 0) return failWrite(jf);
    appendEntry(rb, RollbackTarget::MainFileLength, length, nullptr, 0);
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
        appendEntry(rb, RollbackTarget::MainFile, pos + at, bytes + at, part);
    }
    noteCovered(rb, pos, n);
    rb.mainHandle = main;
    rb.mainPending = true;
    return 0;
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
    rb.mainWritten = true;
    // Pre-images of journal units may wait: their units wait with them.
    return rb.mainPending ? writeEntries(jf) : 0;
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
    if (loadU32(head) != kRollbackEntryMagic || n > kRollbackMaxData || target < 1 || target > 3) return false;
    if (fileEnd - at < kRollbackEntryHead + n + kEntryTail) return false;
    std::uint8_t tail[kEntryTail];
    if (n > 0 && (files.readAt(h, at + kRollbackEntryHead, data, n, &done) != 0 || done != n)) return false;
    if (files.readAt(h, at + kRollbackEntryHead + n, tail, kEntryTail, &done) != 0 || done != kEntryTail) return false;
    if (loadU32(tail) != kRollbackEntryHead + n + kEntryTail) return false;
    if (loadU32(head + 20) != entryCheck(cycle, head, data, n)) return false;
    e = {RollbackTarget(target), loadU64(head + 8), n};
    return true;
}

// The end of the last whole entry of the cycle, and what the entries are for.
int walkEntries(FileIo& files, FileHandle h, FilePos* validEnd, std::uint64_t* cycle, RollbackFound* found) {
    *validEnd = 0;
    FilePos size = 0;
    if (files.size(h, &size) != 0) return 1;
    if (size < kRollbackHeaderSize) return 0;
    std::uint8_t head[kRollbackHeaderSize];
    std::uint32_t done = 0;
    if (files.readAt(h, 0, head, kRollbackHeaderSize, &done) != 0 || done != kRollbackHeaderSize) return 1;
    if (loadU32(head) != kRollbackMagic || loadU32(head + 4) != kRollbackFormat) return 0;
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

}  // namespace

int inspectRollbackFile(FileIo& files, const std::string& name, RollbackFound* found) {
    *found = RollbackFound{};
    if (!files.exists(name)) return 0;
    FileHandle h = kNoFile;
    if (files.open(name, OpenMode::PrivateReadWrite, &h) != 0) return 1;
    FilePos end = 0;
    std::uint64_t cycle = 0;
    const int result = walkEntries(files, h, &end, &cycle, found);
    files.close(h);
    return result;
}

int replayRollbackFile(FileIo& files, const std::string& name, FileHandle journal, FileHandle main) {
    if (!files.exists(name)) return 0;
    FileHandle h = kNoFile;
    if (files.open(name, OpenMode::PrivateReadWrite, &h) != 0) return 1;
    FilePos at = 0;
    RollbackFound found;
    std::uint64_t cycle = 0;
    int result = walkEntries(files, h, &at, &cycle, &found);
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
        if (e.target == RollbackTarget::MainFileLength) {
            FilePos length = 0;
            if (files.size(main, &length) != 0) result = 1;
            else if (length > e.position && files.setSize(main, e.position) != 0) result = 1;
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
