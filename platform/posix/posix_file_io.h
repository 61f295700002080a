#pragma once
// File, directory and block-device access on Linux: the FileIo the program
// runs with. Every descriptor is opened with O_CLOEXEC; positioned transfers
// go through pread/pwrite and are repeated over short transfers and EINTR.
// Failures keep errno and its mapped system error code for lastError().
#include <functional>
#include <string>
#include <vector>
#include "platform/file_io.h"
#include "platform/posix/direct_sector_reads.h"
#include "platform/posix/stalled_reads.h"

namespace quorby {

class PosixFileIo final : public FileIo {
public:
    // `sysRoot` is where the block-device listing looks ("/sys"); tests point
    // it at a prepared directory tree.
    explicit PosixFileIo(std::string sysRoot = "/sys");

    // From now on, reads of block devices, and of files whose reads have
    // failed or stalled, wait on a thread of their own and ask `stopWaiting`
    // while they take long; true gives the read up (ECANCELED, "Vorgang
    // abgebrochen !").
    void watchStalledReads(std::function<bool()> stopWaiting) { stalled_.setStopWaiting(std::move(stopWaiting)); }

    // Opens regular files and block devices only: a directory, FIFO, socket or
    // character device is refused (EISDIR or EINVAL), so that nothing blocks
    // on opening and no read ever sees a stream without a size.
    int open(const std::string& path, OpenMode mode, FileHandle* out) override;
    void close(FileHandle h) override;
    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override;
    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override;
    int size(FileHandle h, FilePos* out) override;
    std::uint32_t sectorSize(FileHandle h) override;
    int setSize(FileHandle h, FilePos size) override;
    int sync(FileHandle h) override;
    int holdExclusively(FileHandle h) override;
    int reserve(FileHandle h, FilePos pos, FilePos n) override;
    void startWriteBack(FileHandle h, FilePos pos, FilePos n) override;
    int lastWriteTime(FileHandle h, std::uint64_t* out) override;
    int lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) override;

    bool sameFile(FileHandle a, FileHandle b) override;
    bool exists(const std::string& path) override;
    bool isBlockDevice(const std::string& path) override;
    int removeFile(const std::string& path) override;
    // rename(2): an existing target is replaced.
    int renameFile(const std::string& from, const std::string& to) override;
    // Copies into a temporary file beside the target and renames it over the
    // target only when the whole copy succeeded, so a failed copy never
    // damages an existing target. The target gets the source's permissions.
    int copyFile(const std::string& from, const std::string& to) override;
    // New directories are private to the user (0700): they hold journal data.
    int makeDirectory(const std::string& path) override;
    int removeDirectoryIfEmpty(const std::string& path) override;
    int driveId(const std::string& path, std::uint64_t* out) override;
    // For a block device: total = the device's size, free = 0 (a raw device
    // has no free space to offer for files).
    int diskSpace(const std::string& path, DiskSpace* out) override;
    int fileIdentity(const std::string& path, FileIdentity* out) override;
    int handleIdentity(FileHandle h, FileIdentity* out) override;
    int makePrivateDirectory(const std::string& path) override;
    std::string canonicalPath(const std::string& path) override;

    void listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) override;

    SystemError lastError() const override { return lastError_; }
    void setLastError(SystemError e) override { lastError_ = e; }

private:
    int fail(int err, bool writing);
    int existingAncestor(const std::string& path, std::string* out);

    std::string sysRoot_;
    SystemError lastError_{};
    std::vector<std::uint8_t> copyBuffer_;  // copyFile's, allocated at its first use
    StalledReads stalled_;
    DirectSectorReads directReads_;
};

// Seconds and nanoseconds since 1970 as a Windows file time (100 ns units
// since 1601-01-01); times before 1601 give 0.
std::uint64_t windowsFileTime(std::int64_t seconds, std::int64_t nanoseconds);

}  // namespace quorby
