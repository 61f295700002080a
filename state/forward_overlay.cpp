#include "state/forward_overlay.h"

#include "journal/journal_overlay.h"
#include "state/work_buffer_access.h"

namespace quorby {

void overlayForward(AppState& app, ForwardOverlay& o, FilePos pos, std::uint8_t* block, std::uint32_t n) {
    JournalFile& jf = app.journal;
    if (o.known && (o.changeCount != jf.changeCount || pos < o.from)) o.known = false;
    // No record from `chain` on meets the block: the records before it end
    // before `from`, the ones after it lie at or beyond `nextChange`.
    if (o.known && (isEmptyPtr(o.chain) || (o.nextChangeKnown && pos + n <= o.nextChange))) return;
    FilePos chain = o.known ? o.chain : jf.header.first;
    if (isEmptyPtr(chain)) return;
    o.known = overlayJournalChanges(jf, journalOverlayWindow(app), chain, true, pos, block, n) == 0;
    if (!o.known) return;
    // The walk stops on the first record at or above the block's last page.
    const std::uint32_t lastPage = n < kRecordDataSize ? n : kRecordDataSize;
    o.chain = chain;
    o.from = pos + n - lastPage + kRecordDataSize;
    o.changeCount = jf.changeCount;
    o.nextChangeKnown = false;
    if (isEmptyPtr(chain)) return;
    JournalRecord r;
    if (readRecordHeader(jf, chain, 24, r) == 0) {
        o.nextChange = r.mainAdr;
        o.nextChangeKnown = true;
    }
}

}  // namespace quorby
