#pragma once
// Cursor movement, scroll-bar mapping, mouse-wheel steps, mouse drag state,
// auto scroll and the "Goto" dialog's positions.
#include <cstdint>
#include "core/file_pos.h"

namespace quorby {

// Indexes of NavigationState::wheelStep by the modifier keys held.
enum WheelModifier : int { kWheelPlain = 0, kWheelCtrl = 1, kWheelShift = 2, kWheelCtrlShift = 3 };

struct NavigationState {
    std::uint32_t scrollStep = 16;       // 16, 16, 256 or 512 by the resolution
    std::uint32_t offsetMultiple = 1;    // viewOffset is kept a multiple of it
    std::uint32_t scrollShift = 0;       // positions >> shift fit the scroll range
    std::int32_t scrollMaximum = 0;
    // Mouse-wheel steps in bytes by WheelModifier; an in-page step moves
    // viewOffset, a page step moves pagePos.
    std::uint64_t wheelStep[4] = {16, 16, 16, 16};
    bool wheelInPage[4] = {true, true, true, true};
    int wheelRemainder = 0;              // wheel delta below one notch, kept for the next event
    // Drag
    int anchorIndex = -1;
    FilePos anchorPos = 0;
    bool anchorInChars = false;          // the anchor lies in the character column
    bool dragMoved = false;
    int lastDragIndex = -1;              // byte under the mouse at the last drag step
    // Auto scroll
    bool autoScrollActive = false;
    bool autoScrollStopRequested = false;
    // "Goto" dialog: kept for the whole run
    FilePos gotoTarget = 0;
    FilePos gotoPrevious = 0;
    bool gotoPrevEnabled = false;
    bool gotoNextEnabled = false;
    bool gotoStepping = false;           // the last OK went by the distance fields
    int gotoFocusField = 1060;           // the field the next OK reads (the last one edited)
};

// The scroll-bar thumb that stands for `pos`: rounded down to 16, shifted
// into the scroll range, never past its maximum.
inline std::int32_t scrollThumbFor(FilePos pos, const NavigationState& nav) {
    const std::int32_t thumb = std::int32_t((pos & ~FilePos{15}) >> nav.scrollShift);
    return thumb > nav.scrollMaximum ? nav.scrollMaximum : thumb;
}

}  // namespace quorby
