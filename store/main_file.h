#pragma once
// The Main File: opening a file or a drive, re-opening it with other access,
// closing it, and reading its pages into the view's pageBuffer. Every read
// starts at a multiple of 512 and moves at most 512 bytes per page.
//
// Failed openings are reported through reportError ("Error writing " with the
// name when write access was refused, else "Error reading "), so the user
// always learns why nothing opened; the state stays as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include "resources/dialog_controls.h"
#include "state/app_state.h"

namespace quorby {

// ---- opening and closing ------------------------------------------------------

// "&Open": the open-file dialog "Open File" (filter "all Files" "*.*"), preset
// with the newest last-opened file, read-only box checked unless bit 0 of
// settings.writeAccess is set. Cancel: result 1, nothing changes.
int chooseMainFile(AppState& app);

// Opens `name` as the Main File with the access app.main.openReadOnly asks
// for. When `name` is the current Main File it is re-opened in place: only
// the handle, the access and mainTime change; the view and every position stay.
int openMainFile(AppState& app, const std::string& name);

// "Open &Drive": the dialog below, then the chosen drive.
int openDriveDialog(AppState& app);

// Opens a block device as a drive, as the dialog's OK does. The device must
// be one of the listed drives; its place in the list gives its letter or
// number. Result 1 when it is not listed or cannot be opened.
int openDriveByPath(AppState& app, const std::string& devicePath, bool readOnly);

// Opens the same Main File again with write access. Result 0 or 1.
int reopenReadWrite(AppState& app);

// Before the program writes into the Main File: the file it opened must
// still be there under its name and no shorter, and another program's
// change since it was read is overwritten only when the user says so.
// Result 0 to go on, 1 (after saying why) when nothing may be written.
int checkMainFileBeforeWriting(AppState& app);

// Makes sure the Main File may be written and is open for writing before an
// operation writes into it: checkMainFileBeforeWriting, then asks "Re-open
// in Read-Write-Mode ?" (message switch "Write Protect") and re-opens. Result
// 0 when writable, 1 when the caller must give up.
int ensureWritable(AppState& app);

// Closes the Main File and resets the view. Result 1 when none was open.
int closeMainFile(AppState& app);

// ---- the list of last opened files (settings.lastOpenedFiles) -----------------
// Each entry is "   &N. " followed by the path (the path starts at the eighth
// character), newest first, N renumbered to the entry's place.

inline constexpr int kLastOpenedPathOffset = 7;
inline constexpr int kLastOpenedMaxPath = 260 - kLastOpenedPathOffset - 1;  // 252

// Menu codes 2..11 give index 0..9; an empty entry does nothing.
void openLastOpenedFile(AppState& app, int index);
// Puts `name` at the top (moving it there when it is listed already). A path
// longer than kLastOpenedMaxPath is not listed; a message box says so.
void addToLastOpenedFiles(AppState& app, const std::string& name);
// Hands the list to the File menu (start-up and after every change).
void buildLastFilesMenu(AppState& app);
// The path of entry `index`, or "" when the entry is empty or malformed.
std::string lastOpenedPath(const AppState& app, int index);

// ---- page reads -------------------------------------------------------------------
// A failed read is reported as "Error reading " + mainName; the read goes on
// with the bytes that arrived and the result is 1. Bytes of pageBuffer that
// were not read are zero. With no Main File open the pair is empty (result 1).

// Reads the pair at `pos` (rounded down to a multiple of 512): sets pagePos,
// midPtr, firstPageCount, secondPageCount and pageLength, clears changedBits
// and halfDirty. A short first page ends the pair (midPtr empty, viewOffset 0).
int readPagePair(AppState& app, FilePos pos);
// Re-reads the first half at pagePos.
int readFirstPage(AppState& app);
// Re-reads the second half at pagePos + 512.
int readSecondPage(AppState& app);

// ---- free space ---------------------------------------------------------------
// True when the space free for the user on the filesystem holding `path` is
// larger than `bytes` (exactly as many free bytes is not enough).
bool hasFreeSpace(AppState& app, const std::string& path, FilePos bytes);
// As hasFreeSpace; when there is not enough, says so in a message box and
// returns 1 (the caller cancels). A failed query is reported and gives 1.
int requireFreeSpace(AppState& app, const std::string& path, FilePos bytes);

// driveNumber of physical drive k (1..10): 0xFFFFFFF0 + k - 1.
inline constexpr std::uint32_t kFirstPhysicalDriveNumber = 0xFFFFFFF0u;

// The drive text that becomes mainName and the caption: the letter (or the
// number, right-aligned) ends at the tenth character, the colon is the
// eleventh, then a blank and the device path.
//   logical drive 0:  "  Drive  A: /dev/loop0"
//   physical drive 1: "  Drive  1: /dev/sda"     physical drive 10: "  Drive 10: /dev/sdj"
std::string driveText(std::uint32_t driveNumber, const std::string& devicePath);

// Size text of the dialog's information labels: "/dev/loop0   8.0 MiB".
std::string driveInfoText(const DriveInfo& drive);

}  // namespace quorby
