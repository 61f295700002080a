#pragma once
// The modeless disassembly window: the mode boxes and options, the listing,
// and its buttons. Its options live in the settings record
// (disasm/disasm_options.h).
#include "state/app_state.h"

namespace quorby::disasm {

// Control numbers of the window.
enum DisasmControl : int {
    kDisasmOk = 1,
    kDisasmCancel = 2,
    kDisasmMode32 = 1301,          // "32 Bit"
    kDisasmRealMode = 1302,        // "Real-Mode"
    kDisasmMode64 = 1303,          // "(64 Bit)"
    kDisasmCompleteListing = 1304,
    kDisasmCancelAfterError = 1305,
    kDisasmOmitPrefixes = 1306,
    kDisasmByDoubleClick = 1307,
    kDisasmIntervalGroup = 1308,
    kDisasmInterval64 = 1309,      // .. 1312: 64, 128, 256, 512
    kDisasmSizeNote = 1313,
    kDisasmListing = 1314,
    kDisasmResetListing = 1315,
    kDisasmSave = 1316,
};

inline constexpr Colour kDisasmSelectionColour = 0xFFAAFF;

// "&Disassemble" (and a double click with the option set): opens the window
// when it is not open, then lists the instruction at the cursor, or the
// complete listing when that option is on.
void disassembleAtCursor(AppState& app);

// The Options changed the settings: the open window's mode boxes, options
// and title follow them.
void showSettings(AppState& app);

// What the user did in the window.
void onDisassemblyEvent(AppState& app, const ModelessEvent& event);

}  // namespace quorby::disasm
