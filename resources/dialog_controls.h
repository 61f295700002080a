#pragma once
// Control numbers of the program's dialogs, shared by the dialogs that build
// them and the batch mode that fills them by label or number.
#include <cstddef>

namespace quorby {

// The "Open Drive" dialog.
inline constexpr std::size_t kMaxLogicalDriveSlots = 20;   // "&A:" .. "&T:"
inline constexpr std::size_t kMaxPhysicalDriveSlots = 10;  // "&1" .. "&10"

inline constexpr int kDriveDialogOk = 1;
inline constexpr int kDriveDialogCancel = 2;
inline constexpr int kDriveGroupLogical = 10;      // group box "Logical Drives"
inline constexpr int kDriveGroupPhysical = 11;     // group box "Physical Drives"
inline constexpr int kDriveWriteProtected = 20;    // check box "Open &write protected"
inline constexpr int kDriveLogicalFirst = 100;     // radio buttons "&A:" .. "&T:" = 100 .. 119
inline constexpr int kDrivePhysicalFirst = 200;    // radio buttons "&1" .. "&10" = 200 .. 209
inline constexpr int kDriveLogicalInfoFirst = 300; // labels: device path and size, 300 .. 319
inline constexpr int kDrivePhysicalInfoFirst = 400;// labels: device path and size, 400 .. 409

}  // namespace quorby
