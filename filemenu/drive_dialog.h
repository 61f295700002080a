#pragma once
// "Open &Drive": the dialog of logical and physical drives and the opening
// of the chosen block device as the Main File.
#include <cstdint>
#include <string>
#include "resources/dialog_controls.h"
#include "state/app_state.h"

namespace quorby {

// "Open &Drive": the dialog, then the chosen drive.
[[nodiscard]] int openDriveDialog(AppState& app);

// Opens a block device as a drive, as the dialog's OK does. The device must
// be one of the listed drives; its place in the list gives its letter or
// number. Result 1 when it is not listed or cannot be opened.
[[nodiscard]] int openDriveByPath(AppState& app, const std::string& devicePath, bool readOnly);

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
