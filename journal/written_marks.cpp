#include "journal/written_marks.h"

#include <algorithm>

#include "journal/rollback_file.h"

namespace quorby {

namespace {

constexpr std::size_t kRunRecords = 1024;

int fail(JournalFile& jf, bool writing) {
    if (jf.reportFailure) jf.reportFailure(jf.reportContext, jf, writing);
    return 1;
}

bool isRecordOfFile(const JournalFile& jf, FilePos ptr) {
    return ptr >= kJournalHeaderSize && (ptr - kJournalHeaderSize) % kJournalRecordSize == 0 &&
           ptr + kJournalRecordSize <= jf.journalEnd;
}

bool isHeld(const JournalFile& jf, FilePos ptr) {
    const RollbackState& rb = jf.rollback;
    const bool appended = !rb.appended.empty() && ptr >= rb.heldAppendsFrom && ptr - rb.heldAppendsFrom < rb.appended.size();
    return appended || rb.held.count(ptr) != 0;
}

// Rewrites the records [marks[from].jAdr, marks[to - 1].jAdr + 640), which
// follow one another in the file, with their new Flags.
int writeRun(JournalFile& jf, const std::vector<FlagMark>& marks, std::size_t from, std::size_t to,
             std::vector<std::uint8_t>& bytes) {
    const FilePos start = marks[from].jAdr;
    const std::uint32_t n = std::uint32_t(to - from) * kJournalRecordSize;
    bytes.resize(n);
    std::uint32_t done = 0;
    if (jf.files->readAt(jf.handle, start, bytes.data(), n, &done) != 0 || done != n) return fail(jf, false);
    for (std::size_t k = from; k < to; ++k) storeU32(bytes.data() + (marks[k].jAdr - start) + kRecFlag, marks[k].flag);
    ++jf.changeCount;
    const int failed = jf.files->writeAt(jf.handle, start, bytes.data(), n, &done);
    if (failed != 0 || done != n) {
        forgetCleanUnits(jf);
        return fail(jf, true);
    }
    noteDirectWrite(jf, start, bytes.data(), n, false);
    return 0;
}

}  // namespace

int writeFlagMarks(JournalFile& jf, std::vector<FlagMark>& marks) {
    std::stable_sort(marks.begin(), marks.end(), [](const FlagMark& a, const FlagMark& b) { return a.jAdr < b.jAdr; });
    // A record marked twice keeps its last mark.
    std::vector<FlagMark> unique;
    unique.reserve(marks.size());
    for (const FlagMark& m : marks) {
        if (!isRecordOfFile(jf, m.jAdr)) return fail(jf, true);
        if (!unique.empty() && unique.back().jAdr == m.jAdr) unique.back() = m;
        else unique.push_back(m);
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < unique.size();) {
        if (isHeld(jf, unique[i].jAdr)) {
            std::uint8_t flag[4];
            storeU32(flag, unique[i].flag);
            ++jf.changeCount;
            if (holdInPlaceWrite(jf, unique[i].jAdr + kRecFlag, flag, 4, true) != 0) return 1;
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < unique.size() && j - i < kRunRecords && !isHeld(jf, unique[j].jAdr) &&
               unique[j].jAdr == unique[j - 1].jAdr + kJournalRecordSize)
            ++j;
        if (writeRun(jf, unique, i, j, bytes) != 0) return 1;
        i = j;
    }
    return 0;
}

}  // namespace quorby
