#pragma once
// Key names of the batch mode: "Ctrl+Alt+Down", "F9", "PageDown", "Shift+Right",
// and the character a key stroke types when no accelerator takes it.
#include <cstdint>
#include <string>
#include "core/keys.h"

namespace quorby {

// Parses one key with its modifiers ("Ctrl+Shift+F2"). Names are
// case-insensitive. Returns 0, or 1 with a reason in *error.
[[nodiscard]] int parseKeyChord(const std::string& text, Key* key, std::uint32_t* modifiers, std::string* error);

// The canonical name of a key ("PageDown", "F9", "A"), for the transcript.
std::string keyName(Key key);
std::string keyChordName(Key key, std::uint32_t modifiers);

// The character a key stroke types when it is not an accelerator (Escape 27,
// Enter 13, Backspace 8, letters and digits), or -1 for keys that type nothing.
[[nodiscard]] int typedCharacter(Key key, std::uint32_t modifiers);

}  // namespace quorby
