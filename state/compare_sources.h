#pragma once
// The two sides of the comparison as the compare engine reads them.
#include "search/compare_scan.h"
#include "state/app_state.h"

namespace quorby {

// The Main File's current content: the file with the Journal File's
// changes laid over it (raw while F5 shows the file without changes).
CompareSource mainCompareSource(AppState& app);
// The Compare File read raw, or in the other-position mode the Main File's
// current content again.
CompareSource otherCompareSource(AppState& app);
// The name a failed read of the other side is reported with.
const std::string& otherSourceName(const AppState& app);

}  // namespace quorby
