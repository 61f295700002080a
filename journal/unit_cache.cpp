#include "journal/unit_cache.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "journal/rollback_log.h"

namespace quorby {

namespace {

int failWrite(JournalFile& jf) {
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, true);
    return 1;
}

// The held appended records' bytes from `pos` on, when `pos` lies among them.
std::uint8_t* inHeldAppends(RollbackState& rb, FilePos pos) {
    if (rb.appended.empty() || pos < rb.heldAppendsFrom || pos - rb.heldAppendsFrom >= rb.appended.size())
        return nullptr;
    return rb.appended.data() + (pos - rb.heldAppendsFrom);
}

// Writes the held appended records out in one transfer; the last one is kept
// as a clean unit, as the next record is often linked to it.
void heldAppendsWritten(RollbackState& rb) {
    const FilePos last = rb.heldAppendsFrom + rb.appended.size() - kJournalRecordSize;
    if (rb.clean.size() < kCleanUnitLimit && rb.held.count(last) == 0)
        rb.clean.insert_or_assign(last, std::vector<std::uint8_t>(rb.appended.end() - kJournalRecordSize, rb.appended.end()));
    rb.appended.clear();
    rb.heldAppendsFrom = RollbackState::kNoHeldAppends;
}

int writeHeldAppends(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    if (rb.appended.empty()) return 0;
    const std::uint32_t n = std::uint32_t(rb.appended.size());
    std::uint32_t done = 0;
    if (jf.files->writeAt(jf.handle, rb.heldAppendsFrom, rb.appended.data(), n, &done) != 0 || done != n)
        return failWrite(jf);
    heldAppendsWritten(rb);
    return 0;
}

// Undo and redo walk the records one after the other, Save File in the
// order of their pages, which is mostly the order in the file: a missing
// record is read with its neighbours on both sides in one transfer.
constexpr FilePos kUnitsAround = 32;

int readUnitsAround(JournalFile& jf, const JournalUnit& u) {
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
    for (FilePos at = from; at < to; at += journalUnitOf(at).size) {
        const std::uint32_t size = journalUnitOf(at).size;
        if (rb.held.count(at)) continue;  // the held unit is newer than the disk
        const std::uint8_t* unit = bytes.data() + (at - from);
        rb.clean.insert_or_assign(at, std::vector<std::uint8_t>(unit, unit + size));
    }
    return 0;
}

}  // namespace

JournalUnit journalUnitOf(FilePos pos) {
    if (pos < kJournalHeaderSize) return {0, kJournalHeaderSize};
    return {recordPosition((pos - kJournalHeaderSize) / kJournalRecordSize), kJournalRecordSize};
}

int holdInPlaceWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepPreImage) {
    RollbackState& rb = jf.rollback;
    const std::uint8_t* from = static_cast<const std::uint8_t*>(buf);
    while (n > 0) {
        const JournalUnit u = journalUnitOf(pos);
        const std::uint32_t offset = std::uint32_t(pos - u.start);
        const std::uint32_t part = n < u.size - offset ? n : u.size - offset;
        if (std::uint8_t* appended = inHeldAppends(rb, pos)) {
            std::memcpy(appended, from, part);
            pos += part;
            from += part;
            n -= part;
            continue;
        }
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
            if (rb.step == CommitStep::Committed) rb.step = CommitStep::Changing;
        }
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
    // Records that are not held are written now, after those held.
    if (!usesRollbackFile(jf) || n == 0 || n % kJournalRecordSize != 0 || count > kRollbackHeldLimit)
        return writeHeldAppends(jf);
    const FilePos at = jf.journalEnd;
    // The records held stay one run up to journalEnd and bounded (R4).
    if (!rb.appended.empty() &&
        (rb.heldAppendsFrom + rb.appended.size() != at || rb.appended.size() / kJournalRecordSize + count > kRollbackHeldLimit) &&
        writeHeldAppends(jf) != 0)
        return 1;
    if (at + n > rb.reservedEnd) {
        const FilePos room = n > jf.appendRoom ? n : jf.appendRoom;
        if (jf.files->reserve(jf.handle, at, room) != 0) return writeHeldAppends(jf);
        rb.reservedEnd = at + room;
    }
    if (rb.appended.empty()) rb.heldAppendsFrom = at;
    rb.appended.insert(rb.appended.end(), bytes, bytes + n);
    if (rb.step == CommitStep::Committed) rb.step = CommitStep::Changing;
    ++jf.changeCount;
    *held = true;
    return 0;
}

FilePos journalDiskEnd(const JournalFile& jf) {
    return jf.rollback.heldAppendsFrom < jf.journalEnd ? jf.rollback.heldAppendsFrom : jf.journalEnd;
}

void overlayHeldUnits(const JournalFile& jf, FilePos pos, void* buf, std::uint32_t n) {
    const RollbackState& rb = jf.rollback;
    std::uint8_t* out = static_cast<std::uint8_t*>(buf);
    if (!rb.appended.empty() && n != 0) {
        const FilePos appendedEnd = rb.heldAppendsFrom + rb.appended.size();
        const FilePos from = rb.heldAppendsFrom > pos ? rb.heldAppendsFrom : pos;
        const FilePos to = appendedEnd < pos + n ? appendedEnd : pos + n;
        if (from < to) std::memcpy(out + (from - pos), rb.appended.data() + (from - rb.heldAppendsFrom), std::size_t(to - from));
    }
    const auto& held = rb.held;
    if (held.empty() || n == 0) return;
    auto it = held.upper_bound(pos);
    if (it != held.begin()) --it;
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
    const JournalUnit u = journalUnitOf(pos);
    if (!usesRollbackFile(jf) || n == 0 || pos + n > u.start + u.size || u.start + u.size > jf.journalEnd) return false;
    if (const std::uint8_t* appended = inHeldAppends(rb, pos)) {
        std::memcpy(buf, appended, n);
        return true;
    }
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
        const JournalUnit u = journalUnitOf(pos);
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
    jf.rollback.appended.clear();
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
    // Held units right before the held appends go out with them.
    const bool withAppends = !run.empty() && !rb.appended.empty() && runStart + run.size() == rb.heldAppendsFrom;
    if (withAppends) run.insert(run.end(), rb.appended.begin(), rb.appended.end());
    flushRun();
    if (result != 0) return 1;
    if (withAppends) heldAppendsWritten(rb);
    // Written out, the units are as on disk now. They are kept only where
    // they do not push out units read more recently.
    if (rb.clean.size() + rb.held.size() <= kCleanUnitLimit)
        for (auto& [start, unit] : rb.held) rb.clean[start] = std::move(unit.bytes);
    rb.held.clear();
    return writeHeldAppends(jf);
}

}  // namespace quorby
