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

// The "Checksums" window: the range, one row per algorithm, the unreadable ranges.
inline constexpr int kChecksumsOk = 1;
inline constexpr int kChecksumsStart = 2340;       // edit field: the first byte, hexadecimal
inline constexpr int kChecksumsLength = 2341;      // edit field: the number of bytes, hexadecimal
inline constexpr int kChecksumsUnreadable = 2342;  // label: the ranges read as zeros
inline constexpr int kChecksumsDigestFirst = 2350; // edit fields: CRC32, MD5, SHA1, SHA256, SHA512 = 2350 .. 2354
inline constexpr int kChecksumsNameFirst = 2360;   // their labels = 2360 .. 2364

// The value inspector's further fields (its first ones are numbered in inspect/).
inline constexpr int kValuesBigEndian = 2370;      // check box "Big-Endian": every width read with byte 0 highest
inline constexpr int kValuesFloat = 2371;          // edit field and its "save" button = 2372
inline constexpr int kValuesDouble = 2373;         // 2374
inline constexpr int kValuesUtf8 = 2375;           // 2376
inline constexpr int kValuesUtf16 = 2377;          // 2378
inline constexpr int kValuesUnix32 = 2379;         // 2380
inline constexpr int kValuesUnix64 = 2381;         // 2382
inline constexpr int kValuesDos = 2383;            // 2384
inline constexpr int kValuesFormLabelFirst = 2390; // the rows' labels = 2390 .. 2396

}  // namespace quorby
