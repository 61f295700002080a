#pragma once
// The drives that the "Open Drive" dialog offers, read from sysfs.
#include <cstddef>
#include <string>
#include <vector>
#include "platform/file_io.h"

namespace quorby {

inline constexpr std::size_t kMaxLogicalDrives = 20;   // "&A:" .. "&T:"
inline constexpr std::size_t kMaxPhysicalDrives = 10;  // "&1" .. "&10"

// A whole disk by its kernel name: sd*, vd*, xvd*, hd* followed by letters;
// nvme<N>n<M>; mmcblk<N>. Partitions ("sda1", "nvme0n1p2") are not.
bool isWholeDiskName(const std::string& name);

// Orders names with their digit runs compared as numbers ("loop2" before
// "loop10"), so the drive letters follow the order a user expects.
bool naturalNameLess(const std::string& a, const std::string& b);

// Logical drives: entries of <sysRoot>/class/block that are partitions (they
// have a "partition" file) or loop, device-mapper or md devices, with a
// non-zero size; at most 20. Physical drives: whole disks of <sysRoot>/block
// with a non-zero size; at most 10. Both in natural name order; sizes are the
// "size" file (512-byte sectors) times 512; device paths are /dev/<name>.
void listBlockDevices(const std::string& sysRoot, std::vector<DriveInfo>* logical,
                      std::vector<DriveInfo>* physical);

}  // namespace quorby
