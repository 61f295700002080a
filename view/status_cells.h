#pragma once
// The status cells: the mode cell at the right end of the header row and the
// access, resolution-lock and protection cells of the bottom line.
#include <cstdint>
#include <string>
#include "state/app_state.h"

namespace quorby {

// Bottom line cells (9 characters each) and the colour of the bottom line.
inline constexpr int kAccessCellColumn = 56;
inline constexpr int kLockCellColumn = 67;
inline constexpr int kProtectionCellColumn = 78;
inline constexpr int kStatusCellLength = 9;

void showDirectAccess(AppState& app);
void showJournalAccess(AppState& app);
void showReadOnly(AppState& app);
void showWritable(AppState& app);
// "&Lock": only a Main File open for writing can be locked.
void lockMainFile(AppState& app);
void unlockMainFile(AppState& app);
// Resolution 1 (byte), 2 (line), 4 (256 bytes) or 8 (page).
void showResolutionLock(AppState& app, std::uint32_t resolution);

enum class PermanentMode { Edit, Disk, Compare };
void enterPermanentMode(AppState& app, PermanentMode mode);
enum class TemporaryMode { AutoScroll, VideoPlay, ScanAvi };
void enterTemporaryMode(AppState& app, TemporaryMode mode);
// Ends a temporary mode: the permanent mode's text and colour come back.
void restorePermanentMode(AppState& app);

// The Journal File's name at the bottom line's start (45 characters): a
// longer name shows its end, the part that names the file, after "...".
inline constexpr int kBottomNameLength = 45;
void showBottomLineName(AppState& app, const std::string& name);
void drawBottomLine(AppState& app);
void drawModeCell(AppState& app);
// Called once per step of a long scan: every 32nd call draws the next mark.
void tickActivityMark(AppState& app);

}  // namespace quorby
