#pragma once
// The mode cell of the header row and the bottom line with its three cells.
#include <cstdint>
#include "platform/platform.h"

namespace quorby {

inline constexpr int kBottomLineLength = 90;
inline constexpr int kModeTextLength = 20;

struct StatusState {
    char bottomLine[kBottomLineLength];      // row 33; cells at 56, 67 and 78
    char modeText[kModeTextLength];          // current mode cell text
    char permanentText[kModeTextLength];     // what a temporary mode returns to
    Colour modeColour = 0xCCCCFF;
    Colour permanentColour = 0xCCCCFF;
    std::uint8_t activityMark = 224;
    std::uint32_t activityCounter = 32;

    StatusState() {
        for (char& c : bottomLine) c = ' ';
        const char* edit = "    Edit Mode       ";
        for (int i = 0; i < kModeTextLength; ++i) modeText[i] = permanentText[i] = edit[i];
    }
};

}  // namespace quorby
