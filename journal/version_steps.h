#pragma once
// The decisions of one step of the page-version review (F2, towards older
// versions along PJnl) and preview (F4, towards newer versions along NJnl).
// A step looks at the Flag word F of the page's record copy and takes the
// first rule that matches; the changed Flag values live only in the copy.
#include <cstdint>

namespace quorby {

enum class VersionStep {
    Nothing,          // the oldest or newest version is shown already
    Clear,            // Flag := decision.flag; the page's changed marks cleared
    Map,              // Flag := decision.flag; the marks from the copy's ChangeMap
    ReloadRecord,     // read the copy's record again (header and data), map,
                      // then Flag := afterReload(Flag)
    WalkNewer,        // the copy moves to NJnl (then afterNewerWalk)
    WalkOlder,        // the copy moves to PJnl (then afterOlderWalk)
    MainFileContent,  // Flag := decision.flag, clear, the page read from the Main File
};

struct VersionDecision {
    VersionStep step = VersionStep::Nothing;
    std::uint32_t flag = 0;
};

// F4. `hasNewer`: NJnl is not empty.
VersionDecision decidePreviewStep(std::uint32_t flag, bool hasNewer);
// F2. `half` 0 for the first page of pageBuffer, 1 for the second.
VersionDecision decideReviewStep(std::uint32_t flag, int half, bool hasOlder);

// The Flag after ReloadRecord, from the Flag the record was read with.
std::uint32_t afterReload(std::uint32_t flag);
// After a walk to the next version: the new version's Flag, and whether its
// marks are cleared (true) or mapped (false).
std::uint32_t afterNewerWalk(std::uint32_t flag, bool* clearMarks);
std::uint32_t afterOlderWalk(std::uint32_t flag, bool* clearMarks);

}  // namespace quorby
