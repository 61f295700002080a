#pragma once
// Keys as the logic sees them: platform-independent codes for the keys that
// accelerators and the edit path use, plus modifier bits.
#include <cstdint>

namespace quorby {

enum class Key : std::uint16_t {
    None = 0,
    Left, Right, Up, Down, PageUp, PageDown, Home, End, Insert, Delete,
    Tab, Space, Enter, Escape, Backspace,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    // Letters and digits keep their ASCII upper-case code.
    Digit0 = '0', Digit9 = '9',
    A = 'A', Z = 'Z',
    QuestionMark = '?',
};

enum Modifier : std::uint32_t {
    kNoModifier = 0,
    kShift = 1,
    kCtrl = 2,
    kAlt = 4,
};

inline constexpr Key letterKey(char c) { return Key(std::uint16_t(c >= 'a' && c <= 'z' ? c - 32 : c)); }

// What the user did on the scroll bar.
enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, Top, Bottom };

}  // namespace quorby
