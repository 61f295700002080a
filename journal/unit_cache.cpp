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

// The kept bytes [pos, pos + n), when one run holds them all.
const std::uint8_t* keptBytes(const RollbackState& rb, FilePos pos, std::uint32_t n) {
    // The newest runs first: a walk reads on where it read last.
    const std::size_t count = rb.clean.size();
    std::size_t k = rb.nextCleanRun < count ? rb.nextCleanRun : count;
    for (std::size_t left = count; left > 0; --left) {
        k = k == 0 ? count - 1 : k - 1;
        const RollbackState::CleanRun& run = rb.clean[k];
        if (pos >= run.start && pos - run.start + n <= run.bytes.size()) return run.bytes.data() + (pos - run.start);
    }
    return nullptr;
}

std::size_t heldBit(FilePos start) { return std::size_t(start / kJournalRecordSize) % RollbackState::kHeldBits; }

// The held unit that starts at `start`, or held.end(). Walks read and hold
// one record after the other, mostly beyond every unit held so far, or
// among them where none is held: those are told apart without a search.
RollbackState::HeldUnits::iterator findHeld(RollbackState& rb, FilePos start) {
    if (rb.held.empty() || start < rb.held.begin()->first || start > rb.held.rbegin()->first) return rb.held.end();
    const std::size_t bit = heldBit(start);
    if (rb.heldBits.empty() || (rb.heldBits[bit / 64] & (std::uint64_t(1) << (bit % 64))) == 0) return rb.held.end();
    return rb.held.find(start);
}

// A run to fill with `n` bytes from `start`: a new one, or in place of the oldest.
RollbackState::CleanRun& newCleanRun(RollbackState& rb, FilePos start, std::size_t n) {
    if (rb.clean.size() < kCleanRuns) rb.clean.emplace_back();
    RollbackState::CleanRun& run = rb.clean[rb.nextCleanRun];
    rb.nextCleanRun = (rb.nextCleanRun + 1) % kCleanRuns;
    run.start = start;
    run.bytes.resize(n);
    return run;
}

// Copies the bytes of `src` (file bytes from `srcPos`) that fall into `dst`
// (file bytes from `dstPos`) there.
void copyOverlap(std::uint8_t* dst, FilePos dstPos, std::size_t dstLength, const std::uint8_t* src, FilePos srcPos,
                 std::size_t srcLength) {
    const FilePos from = dstPos > srcPos ? dstPos : srcPos;
    const FilePos to = dstPos + dstLength < srcPos + srcLength ? dstPos + dstLength : srcPos + srcLength;
    if (from < to) std::memcpy(dst + (from - dstPos), src + (from - srcPos), std::size_t(to - from));
}

// Bytes that reached the disk at `pos`: the run's copy of them takes them.
void updateRun(RollbackState::CleanRun& run, FilePos pos, const std::uint8_t* bytes, std::size_t n) {
    copyOverlap(run.bytes.data(), run.start, run.bytes.size(), bytes, pos, n);
}

void updateKept(RollbackState& rb, FilePos pos, const std::uint8_t* bytes, std::size_t n) {
    for (RollbackState::CleanRun& run : rb.clean) updateRun(run, pos, bytes, n);
}

// A new held unit at `start`, in a spare node when there is one. Walks hold
// units below or above all others: the insertion starts at that end.
RollbackState::HeldUnits::iterator newHeldUnit(RollbackState& rb, FilePos start) {
    if (rb.heldBits.empty()) rb.heldBits.assign(RollbackState::kHeldBits / 64, 0);
    const std::size_t bit = heldBit(start);
    rb.heldBits[bit / 64] |= std::uint64_t(1) << (bit % 64);
    const auto hint = rb.held.empty() || start < rb.held.begin()->first ? rb.held.begin() : rb.held.end();
    std::vector<RollbackState::HeldUnits::node_type>& spare = rb.spareHeld.nodes;
    if (spare.empty()) return rb.held.emplace_hint(hint, start, RollbackState::HeldUnit{});
    RollbackState::HeldUnits::node_type node = std::move(spare.back());
    spare.pop_back();
    node.key() = start;
    return rb.held.insert(hint, std::move(node));
}

// The held units are gone; their nodes are kept as spares.
void releaseHeldUnits(RollbackState& rb) {
    while (!rb.held.empty()) rb.spareHeld.nodes.push_back(rb.held.extract(rb.held.begin()));
    std::fill(rb.heldBits.begin(), rb.heldBits.end(), 0);
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
    RollbackState::CleanRun& run = newCleanRun(rb, last, kJournalRecordSize);
    std::memcpy(run.bytes.data(), rb.appended.data() + (last - rb.heldAppendsFrom), kJournalRecordSize);
    rb.appended.clear();
    rb.heldAppendsFrom = RollbackState::kNoHeldAppends;
}

int writeHeldAppends(JournalFile& jf) {
    RollbackState& rb = jf.rollback;
    if (rb.appended.empty()) return 0;
    const std::uint32_t n = std::uint32_t(rb.appended.size());
    std::uint32_t done = 0;
    if (jf.files->writeAt(jf.handle, rb.heldAppendsFrom, rb.appended.data(), n, &done) != 0 || done != n) {
        forgetCleanUnits(jf);  // what reached the disk is not known
        return failWrite(jf);
    }
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
        const bool forward = keptBytes(rb, u.start - kJournalRecordSize, kJournalRecordSize) != nullptr;
        const bool backward = !forward && keptBytes(rb, u.start + kJournalRecordSize, kJournalRecordSize) != nullptr;
        const FilePos reach = kUnitsAround * kJournalRecordSize;
        const FilePos before = forward ? 0 : backward ? 2 * reach : reach;
        const FilePos after = backward ? kJournalRecordSize : forward ? 2 * reach + kJournalRecordSize : reach;
        from = u.start - kJournalHeaderSize > before ? u.start - before : kJournalHeaderSize;
        // Appended records still held are not on disk: the read stops before them.
        const FilePos diskEnd = journalDiskEnd(jf);
        to = diskEnd - u.start > after ? u.start + after : diskEnd;
    }
    if (to < u.start + u.size) return 1;
    RollbackState::CleanRun& run = newCleanRun(rb, from, std::size_t(to - from));
    std::uint32_t done = 0;
    if (jf.files->readAt(jf.handle, from, run.bytes.data(), std::uint32_t(to - from), &done) != 0 || done != to - from) {
        run.bytes.clear();
        return 1;
    }
    return 0;
}

}  // namespace

JournalUnit journalUnitOf(FilePos pos) {
    if (pos < kJournalHeaderSize) return {0, kJournalHeaderSize};
    return {recordPosition((pos - kJournalHeaderSize) / kJournalRecordSize), kJournalRecordSize};
}

int holdInPlaceWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepPreImage,
                     const std::uint8_t* seen) {
    RollbackState& rb = jf.rollback;
    const FilePos seenFrom = pos;
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
        auto it = findHeld(rb, u.start);
        if (it == rb.held.end()) {
            if (rb.held.size() >= kRollbackHeldLimit && writeHeldUnits(jf) != 0) return 1;
            const std::uint8_t* kept = keptBytes(rb, u.start, u.size);
            // pos + n is the end of the whole write.
            if (kept == nullptr && seen != nullptr && u.start >= seenFrom && u.start + u.size <= pos + n)
                kept = seen + (u.start - seenFrom);
            if (kept == nullptr) {
                if (readUnitsAround(jf, u) != 0) return failWrite(jf);
                kept = keptBytes(rb, u.start, u.size);
            }
            it = newHeldUnit(rb, u.start);
            RollbackState::HeldUnit& unit = it->second;
            unit.bytes.assign(kept, kept + u.size);
            if (keepPreImage) unit.preImage = unit.bytes;
            else unit.preImage.clear();
            unit.writtenFrom = u.size;  // nothing written yet
            unit.writtenTo = 0;
            if (rb.step == CommitStep::Committed) rb.step = CommitStep::Changing;
        }
        RollbackState::HeldUnit& unit = it->second;
        std::memcpy(unit.bytes.data() + offset, from, part);
        unit.writtenFrom = std::min(unit.writtenFrom, offset);
        unit.writtenTo = std::max(unit.writtenTo, offset + part);
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

int sendAppendedRecords(JournalFile& jf, FilePos from) {
    if (writeHeldAppends(jf) != 0) return 1;
    if (from < jf.journalEnd) jf.files->startWriteBack(jf.handle, from, jf.journalEnd - from);
    return 0;
}

FilePos journalDiskEnd(const JournalFile& jf) {
    return jf.rollback.heldAppendsFrom < jf.journalEnd ? jf.rollback.heldAppendsFrom : jf.journalEnd;
}

void overlayHeldUnits(const JournalFile& jf, FilePos pos, void* buf, std::uint32_t n) {
    const RollbackState& rb = jf.rollback;
    std::uint8_t* out = static_cast<std::uint8_t*>(buf);
    if (!rb.appended.empty()) copyOverlap(out, pos, n, rb.appended.data(), rb.heldAppendsFrom, rb.appended.size());
    const auto& held = rb.held;
    if (held.empty() || n == 0) return;
    auto it = held.upper_bound(pos);
    if (it != held.begin()) --it;
    for (; it != held.end() && it->first < pos + n; ++it)
        copyOverlap(out, pos, n, it->second.bytes.data(), it->first, it->second.bytes.size());
}

bool readThroughUnits(JournalFile& jf, FilePos pos, void* buf, std::uint32_t n) {
    RollbackState& rb = jf.rollback;
    const JournalUnit u = journalUnitOf(pos);
    if (!usesRollbackFile(jf) || n == 0 || pos + n > u.start + u.size || u.start + u.size > jf.journalEnd) return false;
    if (const std::uint8_t* appended = inHeldAppends(rb, pos)) {
        std::memcpy(buf, appended, n);
        return true;
    }
    if (auto held = findHeld(rb, u.start); held != rb.held.end()) {
        std::memcpy(buf, held->second.bytes.data() + (pos - u.start), n);
        return true;
    }
    const std::uint8_t* kept = keptBytes(rb, pos, n);
    if (kept == nullptr) {
        if (readUnitsAround(jf, u) != 0) return false;
        kept = keptBytes(rb, pos, n);
    }
    std::memcpy(buf, kept, n);
    return true;
}

void noteDirectWrite(JournalFile& jf, FilePos pos, const void* buf, std::uint32_t n, bool keepNewUnits) {
    RollbackState& rb = jf.rollback;
    if (!usesRollbackFile(jf) || n == 0) return;
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(buf);
    updateKept(rb, pos, bytes, n);
    if (!keepNewUnits) return;
    // The whole units it wrote, up to a run's worth from its end, are kept.
    const JournalUnit first = journalUnitOf(pos);
    FilePos from = first.start == pos ? pos : first.start + first.size;
    const JournalUnit last = journalUnitOf(pos + n - 1);
    const FilePos to = last.start + last.size == pos + n ? pos + n : last.start;
    if (to <= from || keptBytes(rb, from, std::uint32_t(to - from)) != nullptr) return;
    const FilePos most = FilePos(kCleanRunUnits) * kJournalRecordSize;
    if (to - from > most) from = to - most;
    if (from != 0 && from < kJournalHeaderSize) from = kJournalHeaderSize;
    RollbackState::CleanRun& run = newCleanRun(rb, from, std::size_t(to - from));
    std::memcpy(run.bytes.data(), bytes + (from - pos), std::size_t(to - from));
}

void forgetCachedUnits(JournalFile& jf) {
    releaseHeldUnits(jf.rollback);  // their bits go with them
    forgetCleanUnits(jf);
    jf.rollback.appended.clear();
    jf.rollback.heldAppendsFrom = RollbackState::kNoHeldAppends;
    // A cut file gives back the room set aside beyond its end.
    jf.rollback.reservedEnd = 0;
}

void forgetCleanUnits(JournalFile& jf) {
    jf.rollback.clean.clear();
    jf.rollback.nextCleanRun = 0;
}

int writeHeldUnitsWithoutPreImages(JournalFile& jf, HeldAppends appends) {
    RollbackState& rb = jf.rollback;
    int result = 0;
    constexpr std::size_t kRunLimit = 1u << 20;
    std::vector<std::uint8_t>& run = rb.writeRun;
    run.clear();
    FilePos runStart = 0;
    auto flushRun = [&]() {
        if (run.empty()) return;
        std::uint32_t done = 0;
        const std::uint32_t n = std::uint32_t(run.size());
        if (jf.files->writeAt(jf.handle, runStart, run.data(), n, &done) != 0 || done != n) {
            forgetCleanUnits(jf);  // what reached the disk is not known
            result = failWrite(jf);
        }
        run.clear();
    };
    for (const auto& [start, unit] : rb.held) {
        if (!run.empty() && (runStart + run.size() != start || run.size() >= kRunLimit)) flushRun();
        if (run.empty()) runStart = start;
        run.insert(run.end(), unit.bytes.begin(), unit.bytes.end());
    }
    // Held units right before the held appends go out with them.
    const bool withAppends = appends == HeldAppends::WriteOut && !run.empty() && !rb.appended.empty() &&
                             runStart + run.size() == rb.heldAppendsFrom;
    if (withAppends) run.insert(run.end(), rb.appended.begin(), rb.appended.end());
    flushRun();
    if (result != 0) return 1;
    if (withAppends) heldAppendsWritten(rb);
    // Written out, the units are as on disk now: their kept copies take them.
    for (RollbackState::CleanRun& kept : rb.clean) {
        const FilePos keptEnd = kept.start + kept.bytes.size();
        for (auto it = rb.held.lower_bound(kept.start); it != rb.held.end() && it->first < keptEnd; ++it)
            updateRun(kept, it->first, it->second.bytes.data(), it->second.bytes.size());
    }
    releaseHeldUnits(rb);
    return appends == HeldAppends::WriteOut ? writeHeldAppends(jf) : 0;
}

}  // namespace quorby
