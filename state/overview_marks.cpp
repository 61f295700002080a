#include "state/overview_marks.h"

#include <cstring>

#include "journal/change_bins.h"

namespace quorby {

void markFound(AppState& app, FilePos pos, std::uint8_t mark) {
    OverviewState& o = app.overview;
    if (o.foundSpan != app.main.fileSize) {
        std::memset(o.found, 0, sizeof o.found);
        o.foundSpan = app.main.fileSize;
    }
    o.found[binOfPosition(pos, o.foundSpan, kOverviewBins)] |= mark;
}

void clearFound(AppState& app, std::uint8_t mark) {
    for (std::uint8_t& bin : app.overview.found) bin &= std::uint8_t(~mark);
    if (mark & kOverviewMatch) app.overview.matchesPattern.clear();
}

}  // namespace quorby
