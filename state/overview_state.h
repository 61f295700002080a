#pragma once
// What the overview strip and the caption follow: the Journal File's changed
// pages and whether any of them is not yet written into the Main File, the
// search matches and compare differences found so far, each kept in bins
// over the whole file (kOverviewBins, platform/platform.h), so the memory
// stays the same whatever the file and Journal File sizes.
#include <cstdint>
#include <string>

#include "core/file_pos.h"
#include "platform/platform.h"

namespace quorby {

struct OverviewState {
    // The Journal File's pages per bin (kOverviewChanged, kOverviewUnwritten),
    // walked for the Journal File as it was at changesAt (its changeCount) and
    // a file of changesSpan bytes; stores keep them up to date without a walk.
    std::uint8_t changes[kOverviewBins] = {};
    bool unwritten = false;             // a page's change is not yet in the Main File
    bool changesKnown = false;
    std::uint64_t changesAt = 0;
    FilePos changesSpan = 0;
    std::string changesJournal;         // the Journal File they were walked in
    // The same as the check of the Journal File found them when it was
    // opened: taken instead of a walk while nothing changed since.
    std::uint8_t checkedChanges[kOverviewBins] = {};
    bool checkedUnwritten = false;
    bool checkedKnown = false;
    std::uint64_t checkedAt = 0;
    FilePos checkedSpan = 0;
    std::string checkedJournal;

    // Search matches (kOverviewMatch) and compare differences
    // (kOverviewDifference) found so far, over a file of foundSpan bytes.
    std::uint8_t found[kOverviewBins] = {};
    FilePos foundSpan = 0;
    std::string matchesPattern;         // the search whose matches are marked

    // What the platform was last given.
    OverviewStrip shown;
    bool shownOnce = false;
};

}  // namespace quorby
