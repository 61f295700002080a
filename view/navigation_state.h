#pragma once
// Cursor movement, scroll-bar mapping, mouse-wheel steps and mouse drag state.
#include <cstdint>
#include "app/file_pos.h"

namespace quorby {

struct NavigationState {
    std::uint32_t scrollStep = 16;       // 16, 16, 256 or 512 by the resolution
    std::uint32_t offsetMultiple = 1;    // viewOffset is kept a multiple of it
    std::uint32_t scrollShift = 0;       // positions >> shift fit the scroll range
    std::int32_t scrollMaximum = 0;
    // Mouse-wheel steps: no modifier, Ctrl, Shift (bytes)
    std::uint32_t wheelStep[3] = {16, 16, 16};
    bool wheelInPage[3] = {true, true, true};
    // Drag
    int anchorIndex = -1;
    FilePos anchorPos = 0;
    bool dragMoved = false;
};

}  // namespace quorby
