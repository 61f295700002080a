#pragma once
// The Main File: an ordinary file or a whole drive, open from "&Open" or
// "Open &Drive" until "&Close File", another opening, or exit.
#include <cstdint>
#include <string>
#include "core/file_pos.h"
#include "platform/file_io.h"
#include "salvage/sector_reads.h"

namespace quorby {

enum class MainKind { None, File, LogicalDrive, PhysicalDrive };

struct MainFileState {
    std::string mainName;          // path, or the drive text "  Drive  A: /dev/loop0"
    std::string devicePath;        // for a drive: the block device
    FileHandle mainHandle = kNoFile;
    MainKind mainKind = MainKind::None;
    std::uint32_t driveNumber = 0; // 0..19 logical, 0xFFFFFFF0.. physical
    std::uint32_t previousDriveNumber = 0xFFFFFFFFu;
    char mainDriveLetter = 0;
    bool openReadOnly = true;      // read-only request of the last open dialog
    FilePos fileSize = 0;
    FilePos lastBytePos = 0;       // fileSize - 1 (0 for an empty file)
    std::uint64_t mainTime = 0;    // last-write time, Windows file time
    // Sectors that failed to read while the file is open: not read again.
    UnreadableSectors unreadable;
    // Main File bytes a long pass holds in memory while nothing writes the
    // file (Replace All's search block in journal access): a page pair
    // without records that lies wholly inside, clear of unreadable sectors,
    // is copied from here instead of being read again. Empty otherwise.
    struct ReadAhead {
        const std::uint8_t* bytes = nullptr;
        FilePos pos = 0;
        std::uint32_t length = 0;
    } readAhead;
};

// The position of the file's last byte as its size gives it (0 for an empty file).
inline FilePos lastByte(const MainFileState& mainFile) { return mainFile.fileSize == 0 ? 0 : mainFile.fileSize - 1; }

}  // namespace quorby
