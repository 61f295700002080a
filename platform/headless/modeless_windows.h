#pragma once
// The modeless windows of the headless platform (the find dialog, the
// disassembly window, the value inspector): what the logic described, and the user's actions in
// them as a script gives them.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/headless/script_answers.h"
#include "platform/platform.h"

namespace quorby {

inline constexpr int kNotPlaced = -1000;

struct OpenModeless {
    DialogDescription dialog;
    bool visible = true;
    int column = kNotPlaced, row = kNotPlaced;   // top left grid cell, once placed
    int focused = 0;                             // the edit field with the focus
    bool focusSelected = false;                  // its whole text selected
    std::map<int, std::string> listings;                                 // by control id
    std::map<int, std::pair<std::size_t, std::size_t>> selections;       // start, length
};

// "find", "disassembly", "offset", "values".
const char* modelessWindowName(ModelessWindow window);
[[nodiscard]] int parseModelessWindowName(const std::string& word, ModelessWindow* out, std::string* error);

// Applies a user's action (not Close) to `window` and fills *event with what
// the window sends for it (typing into an edit field sends Edited; the
// caller sends EditFinished after it, as the input leaving the field would). Returns 1 with a reason when the control is missing,
// hidden, disabled or of the wrong kind; the window is then unchanged.
[[nodiscard]] int applyModelessAction(OpenModeless& window, const ModelessAction& action, ModelessEvent* event, bool* sends,
                        std::string* error);

// The offset at which line `line` (1-based) of a listing text begins; lines
// end with LF (CR LF in listings). npos when the text has fewer lines.
std::size_t listingLineStart(const std::string& text, std::int64_t line);

// For `print window`: the title, one line per control with its value, and
// the lines of each listing with its selection.
std::string describeModeless(ModelessWindow which, const OpenModeless& window);

}  // namespace quorby
