#include <fstream>

#include "platform/posix/block_devices.h"
#include "platform/posix/posix_file_io.h"
#include "tests/document/store_fixture.h"

namespace quorby::test {
namespace {

class BlockDevicesTest : public StoreTest {
protected:
    // An entry of a made-up sysfs tree with its size in 512-byte sectors.
    void device(const std::string& folder, const std::string& name, std::uint64_t sectors, bool partition = false) {
        std::string path = dir + folder + "/" + name;
        std::filesystem::create_directories(path);
        std::ofstream(path + "/size") << sectors << "\n";
        if (partition) std::ofstream(path + "/partition") << "1\n";
    }
    static std::vector<std::string> paths(const std::vector<DriveInfo>& drives) {
        std::vector<std::string> out;
        for (auto& d : drives) out.push_back(d.devicePath);
        return out;
    }
};

TEST_F(BlockDevicesTest, ListsFromASysfsTree) {
    for (const char* name : {"sda", "sdab", "vdb", "hdc", "xvda", "nvme0n1", "nvme12n3", "mmcblk0"})
        EXPECT_TRUE(isWholeDiskName(name)) << name;
    for (const char* name : {"sda1", "sd", "nvme0n1p1", "nvme0", "mmcblk0p2", "loop0", "dm-0", "zram0", "sr0"})
        EXPECT_FALSE(isWholeDiskName(name)) << name;

    device("class/block", "loop10", 16);
    device("class/block", "loop2", 8);
    device("class/block", "loop3", 0);    // unbound: no size
    device("class/block", "sda", 1000);   // a whole disk is a physical drive only
    device("class/block", "sda1", 600, true);
    device("class/block", "dm-0", 40);
    device("class/block", "md127", 50);
    device("class/block", "zram0", 70);   // swap, not a filesystem
    device("class/block", "cciss!c0d0p1", 10, true);
    device("block", "sdb", 0);
    device("block", "sda", 1000);
    device("block", "nvme0n1", 9000000000ULL);  // beyond 32 bits in bytes and in sectors
    device("block", "loop2", 8);

    std::vector<DriveInfo> logical, physical;
    listBlockDevices(dir, &logical, &physical);
    EXPECT_EQ(paths(logical), (std::vector<std::string>{"/dev/cciss/c0d0p1", "/dev/dm-0", "/dev/loop2",
                                                        "/dev/loop10", "/dev/md127", "/dev/sda1"}));
    EXPECT_EQ(logical.at(2).size, 8u * 512);
    EXPECT_EQ(paths(physical), (std::vector<std::string>{"/dev/nvme0n1", "/dev/sda"}));
    EXPECT_EQ(physical.at(0).size, 9000000000ULL * 512);

    // Twenty letters and ten numbers at most.
    for (int i = 0; i < 25; ++i) {
        device("class/block", "loop" + std::to_string(100 + i), 1);
        device("block", "sd" + std::string(1, char('c' + i)), 1);
    }
    PosixFileIo(dir).listDrives(&logical, &physical);
    EXPECT_EQ(logical.size(), kMaxLogicalDrives);
    EXPECT_EQ(physical.size(), kMaxPhysicalDrives);
    PosixFileIo(dir + "nothing").listDrives(&logical, &physical);
    EXPECT_TRUE(logical.empty() && physical.empty());
}

}  // namespace
}  // namespace quorby::test
