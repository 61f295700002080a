#include "journal/change_bins.h"

#include <cstring>

#include "journal/record_states.h"

namespace quorby {

namespace {

// Only a version that waits to be written and carries a ChangeMap needs its whole header.
bool changeMapDecides(std::uint32_t flag) { return holdsContentToWrite(flag) && !hasNoChangeMap(flag); }

}  // namespace

bool differsFromMainFile(const JournalRecord& record) {
    if (!holdsContentToWrite(record.flag)) return false;
    if (hasNoChangeMap(record.flag)) return true;
    const std::uint32_t bytes = record.anz < kRecordDataSize ? record.anz : kRecordDataSize;
    for (std::uint32_t i = 0; i < bytes; ++i)
        if (record.changeMap[i / 8] & (1u << (i % 8))) return true;
    return false;
}

int binOfPosition(FilePos pos, FilePos span, int binCount) {
    if (span == 0 || binCount <= 0 || pos >= span) return binCount > 0 ? binCount - 1 : 0;
    return int(static_cast<unsigned __int128>(pos) * unsigned(binCount) / span);
}

FilePos binStart(int bin, FilePos span, int binCount) {
    if (bin <= 0 || binCount <= 0) return 0;
    if (bin >= binCount) return span;
    return FilePos(static_cast<unsigned __int128>(span) * unsigned(bin) / unsigned(binCount));
}

int walkChangedPages(JournalFile& jf, FilePos span, std::uint8_t* bins, int binCount, const ChangeBinMarks& marks,
                     std::uint64_t* unwrittenPages) {
    std::memset(bins, 0, std::size_t(binCount));
    *unwrittenPages = 0;
    if (jf.handle == kNoFile) return 0;
    AddressWalk walk;
    startAddressWalk(jf, walk);
    JournalRecord record;
    while (nextAddressRecord(jf, walk, record) == 0) {
        std::uint8_t& bin = bins[binOfPosition(record.mainAdr, span, binCount)];
        bin |= marks.changed;
        // A ChangeMap that cannot be read counts as a change.
        const bool mapUnread =
            changeMapDecides(record.flag) && readRecordHeader(jf, record.jAdr, kRecordHeaderSize, record) != 0;
        if (mapUnread || differsFromMainFile(record)) {
            bin |= marks.unwritten;
            ++*unwrittenPages;
        }
    }
    return walk.state == WalkState::End ? 0 : 1;
}

}  // namespace quorby
