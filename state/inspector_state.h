#pragma once
// The value inspector's state: the eight bytes at the cursor as the window
// shows them, and what the user has typed into its fields.
#include <cstdint>

#include "core/file_pos.h"

namespace quorby {

struct InspectorState {
    bool open = false;
    std::uint8_t value[8] = {};      // byte 0 is the byte under the cursor
    std::uint8_t typedBytes = 0;     // bit i: value[i] was changed by typing
    int typingField = 0;             // the field being typed in (never rewritten), 0: none
    int lastTypedField = 0;          // gets the focus back after Return
    int lastWidth = 0;               // 1, 2, 4 or 8: the width of the last edited value; 0: none
    bool bigEndian = false;          // values of several bytes read with the first byte highest
    // Where the shown value was taken from, so that only a moved cursor or a
    // changed page refreshes the fields.
    FilePos shownPos = kEmptyPtr;
    std::uint8_t shownBytes[8] = {};
};

}  // namespace quorby
