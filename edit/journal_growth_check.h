#pragma once
// Before a bulk change (paste, paste file, fill selection): what it will add
// to the Journal File, and the "Many Changes !" dialog when that is a lot or
// more than the journal's drive has free. The dialog can switch to direct
// access without undo for the duration of the change (or for good), remove
// the write protection and accept that unwritten changes may be given up.
#include <cstdint>

#include "journal/rollback_log.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr int kManyChangesOk = 1;
inline constexpr int kManyChangesCancel = 2;
inline constexpr int kManyChangesText = 1880;
inline constexpr int kManyChangesAdvantages = 1881;
inline constexpr int kManyChangesDontAsk = 1882;
inline constexpr int kManyChangesPermanent = 1883;
inline constexpr int kManyChangesWritable = 1884;
inline constexpr int kManyChangesGiveUp = 1885;
inline constexpr int kManyChangesDirect = 1886;

// Above this estimate the dialog asks even with enough free space.
inline constexpr FilePos kBigJournalGrowth = 0x10000000;

// The journal bytes n changed bytes cost: the data and a 128-byte header for
// every 512 of them.
constexpr FilePos journalGrowthEstimate(FilePos n) { return n + ((n + 511) >> 2); }
// In direct access with undo the rollback file beside the Journal File holds
// the earlier bytes of the n changed ones as well until the change ends:
// its header, and a framed entry for every page at most.
constexpr FilePos rollbackCopyEstimate(FilePos n) {
    return kRollbackHeaderSize + n + ((n + 511) >> 9) * (kRollbackEntryHead + 4);
}

// The access mode and undoOptions of a bulk change: what the dialog took
// for its duration is put back when the scope ends, except a permanent
// switch to direct access (undoOptions always comes back).
class BulkChangeAccess {
public:
    explicit BulkChangeAccess(AppState& app);
    ~BulkChangeAccess();
    BulkChangeAccess(const BulkChangeAccess&) = delete;
    BulkChangeAccess& operator=(const BulkChangeAccess&) = delete;

    // The check for n bytes, skipped in direct access without undo (nothing
    // reaches the journal). Result 0 to go on, 1 refused: short of space in
    // journal access (or in direct access with undo), or No to "Unwritten
    // Changes !".
    int check(FilePos n);

private:
    void takeDirectAccess(bool permanent);

    AppState& app_;
    std::uint32_t undoOptions_;
    bool switchedToDirect_ = false;
    bool permanent_ = false;
};

}  // namespace quorby
