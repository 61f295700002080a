#pragma once
// Copying a range of the current content (the Main File with the journal's
// current version of every changed page laid over it) into a target file.
// The copy goes in blocks of 256 KiB through one buffer held for the whole
// run; the view is not moved while it runs.
#include <cstdint>

#include "edit/copy_target.h"
#include "state/app_state.h"

namespace quorby {

// The unit of the banner's pace: the marquee advances every 257 units, as if
// the copy had polled once per 1024 bytes.
inline constexpr std::uint32_t kCopyStepBytes = 1024;

// What the page commands write: the shown bytes of pageBuffer from
// viewOffset, 512 or fewer where the file ends.
struct ShownBytes {
    const std::uint8_t* bytes = nullptr;
    std::uint32_t count = 0;
};
ShownBytes shownPageBytes(const AppState& app);

// The selection's bytes within the file: [from, to), empty when the
// selection lies beyond the file's end.
struct SelectedRange {
    FilePos from = 0;
    FilePos to = 0;
};
SelectedRange selectedRange(const AppState& app);

// Copies the bytes [from, to) of the current content to target.writePos on.
// With a `title` the banner of long operations runs: between blocks the
// window is served and ESC asks whether to stop. Typed changes of the shown
// pages must be stored before (they are not in the Journal File yet).
//
// Every readable sector of the Main File is copied; unreadable ones are
// copied as zeros, so the target keeps its length and offsets, and are
// listed in target.unreadable. A read that fails otherwise is reported
// ("Error reading " + mainName) and its bytes are copied as zeros. A failed write into the target, a failed
// read or a broken address chain in the Journal File (the rest could not be
// assembled), a Main File closed or shortened by a command run meanwhile,
// and ESC with Yes stop the copy: result 1, the bytes copied so far stay.
// A copy already running refuses a second one started from within it.
[[nodiscard]] int copyWithChanges(AppState& app, FilePos from, FilePos to, CopyTarget& target, const char* title);

// True while a copy runs: a copy command chosen from within it (the window
// is served between blocks) does nothing.
bool contentCopyRunning(const AppState& app);

// The copy loop of the save and append commands around copyWithChanges:
// the free-space check for to - from bytes, the typed changes of the shown
// pages stored, the copy, the target closed, the unreadable ranges reported
// with their map file beside the target, and the page shown before loaded
// again and drawn. The target is closed in every case. Result 0 when
// everything was copied.
[[nodiscard]] int copyContentToTarget(AppState& app, FilePos from, FilePos to, CopyTarget& target, const char* title);

}  // namespace quorby
