#pragma once
// The disassembly mode an executable names: when the window opens on a Main
// File with an ELF or PE header, the header's mode becomes the window's (once
// per file, so the user's own choice stands afterwards); other files keep
// the last mode used.
#include "state/app_state.h"

namespace quorby::disasm {

void takeModeFromHeader(AppState& app);

}  // namespace quorby::disasm
