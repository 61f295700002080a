#pragma once
// The modeless value inspector "Value (at Cursor-Position)": the bytes at the
// cursor as BYTE, WORD, DWORD and QWORD in hexadecimal and decimal and the
// first four bytes in binary. Typing in a field changes the value and every
// other field; "save" and Return write it into the page through the edit path.
#include "state/app_state.h"

namespace quorby::inspect {

// Control numbers of the window.
enum InspectorControl : int {
    kValuesReturn = 1,        // the default button: what Return does
    kValuesCancel = 2,
    kByteHex = 1033, kWordHex = 1034, kDwordHex = 1036, kQwordHex = 1048,
    kByteDec = 1035, kWordDec = 1037, kDwordDec = 1038, kQwordDec = 1050,
    kSaveByte = 1039, kSaveWord = 1040, kSaveDword = 1041, kSaveQword = 1051,
    kBin1 = 1042, kBin2 = 1043, kBin3 = 1044, kBin4 = 1045,
    kKeepPosition = 1052,     // "Keep Window Position"
    kShowByDoubleClick = 1053,
    kReturnGroup = 1054,      // "What to do after hitting Return"
    kReturnSave = 1055,       // inputOptions bit 0
    kReturnGotoNext = 1056,   // bit 1
    kReturnClose = 1057,      // bit 2
    kReturnHighlight = 1058,  // bit 3
};

enum InputOption : std::uint32_t {
    kInputSaveValue = 1u << 0,
    kInputGotoNext = 1u << 1,
    kInputCloseWindow = 1u << 2,
    kInputHighlight = 1u << 3,
};
inline constexpr std::uint32_t kKeepWindowPosition = 1u << 0;  // inspectorOptions

inline constexpr const char* kValuesTitle = "Value (at Cursor-Position)";

DialogDescription inspectorDescription(const AppState& app);

// "Show &Values" and the double click with action 1: refreshes and places an
// open inspector, else opens it (the view first moved on by 16 bytes when the
// cursor is among the last three shown bytes).
void showValuesCommand(AppState& app);
// Takes the value at the cursor anew when the cursor moved or the page
// changed since it was shown; called after every command.
void followCursor(AppState& app);
// The window's top left cell: the hexadecimal column, and a row above the
// cursor's row when the cursor is in the lower half of the view, else below it.
void inspectorPlace(std::uint32_t cursorOffset, int* column, int* row);

void onValuesEvent(AppState& app, const ModelessEvent& event);

}  // namespace quorby::inspect
