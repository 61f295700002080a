#pragma once
// The file that "Save ... as" and "Append ... to other File" write into: the
// save dialog that names it, the questions before it is used, the free-space
// check, and the writes into it.
#include <cstdint>
#include <string>

#include "salvage/byte_ranges.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kOverwriteQuestion = "File already exists. Shall it be deleted?";
inline constexpr const char* kOverwriteCaption = "Overwrite File?";
inline constexpr const char* kReopenQuestion =
    "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?";
inline constexpr const char* kReopenCaption = "Re-open in Read-Write-Mode ?";
inline constexpr const char* kOwnFileTargetText =
    "This File is open in the Editor and cannot be the Target !\n\nPlease choose another File !";
inline constexpr const char* kOwnFileTargetCaption = "Choose another File !";

struct CopyTarget {
    FileHandle handle = kNoFile;
    std::string name;
    FilePos writePos = 0;  // where the next bytes go
    // The Main File's unreadable ranges the copy wrote as zeros.
    ByteRanges unreadable;
};

// The three save commands: the save dialog titled `caption`, preset with
// `preset` and its read-only box cleared, then the chosen file opened for
// reading and writing, created when missing. An existing file is emptied
// after "File already exists. Shall it be deleted?"; No shows the dialog
// again. Result 0 with `target` open at position 0, 1 when the command ends.
[[nodiscard]] int createTarget(AppState& app, const char* caption, const std::string& preset, CopyTarget& target);

// The append commands: the save dialog from settings.lastAppendTarget, which
// takes the chosen name. A ticked read-only box asks to re-open in
// read-write mode (OK shows the dialog again, Cancel ends) unless
// `readOnlyAllowed`, which opens the file read-only instead (its writes then
// fail and are reported). Result 0 with `target` open at its end.
[[nodiscard]] int openAppendTarget(AppState& app, const char* caption, bool readOnlyAllowed, CopyTarget& target);

// Refuses, with one of the two "not enough space" messages, when the
// filesystem of `name` has no more than `bytes` free. Result 0 or 1.
[[nodiscard]] int checkFreeSpace(AppState& app, const std::string& name, FilePos bytes);

// Writes `count` bytes at target.writePos and moves it on. A failed or short
// write is reported as "Error writing " + the target's name; result 1.
[[nodiscard]] int writeToTarget(AppState& app, CopyTarget& target, const std::uint8_t* bytes, std::uint32_t count);

void closeTarget(AppState& app, CopyTarget& target);

}  // namespace quorby
