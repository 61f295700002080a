#pragma once
// The disassembly window's state: the listing text and what the window gives
// back to the view when it closes.
#include <cstdint>
#include <string>

#include "core/file_pos.h"
#include "platform/platform.h"

namespace quorby {

struct DisasmState {
    // The listing as the field shows it: lines ending with CR LF, bounded by
    // kListingCap characters (disasm/listing_text.h).
    std::string listing;
    // Set while a listing is being built: the field's own caret changes are
    // not clicks then.
    bool building = false;
    bool windowOpen = false;
    // The Main File whose ELF or PE header last chose the mode: the header
    // chooses it once per file, after that the user's choice stands.
    std::string headerModeFile;
    // The view's selection and selection colour when the window opened; OK
    // and Cancel give them back.
    FilePos savedSelectionStart = 0;
    FilePos savedSelectionEnd = 0;
    std::uint32_t savedSelectionActive = 0;
    Colour savedSelectionColour = 0;
};

}  // namespace quorby
