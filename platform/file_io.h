#pragma once
// Every file, directory and device operation of the program goes through this
// interface, so that tests can swap in in-memory or failing files. The POSIX
// implementation lives in platform/posix/. All calls return 0 for done and 1
// for failure; after a failure lastError() tells why.
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>
#include "core/file_pos.h"

namespace quorby {

using FileHandle = int;
inline constexpr FileHandle kNoFile = -1;

// The last failure: `code` is the system error code of the message table
// (errno mapped to the Windows code with the same meaning), `sysErrno` the
// raw errno (0 when the failure did not come from the system).
struct SystemError {
    std::uint32_t code = 0;
    int sysErrno = 0;
};

// The errors of a medium with sectors that cannot be read.
inline bool isMediumError(int sysErrno) {
    return sysErrno == EIO || sysErrno == ENODATA || sysErrno == EBADMSG || sysErrno == EILSEQ;
}

// Codes of the message table that the logic sets itself (setLastError).
inline constexpr std::uint32_t kCodeReadError = 30;       // "Read Error !"
inline constexpr std::uint32_t kCodeReachedEndOfFile = 38;  // "Reached End of File !"

enum class OpenMode {
    ReadOnly,        // must exist
    ReadWrite,       // must exist
    CreateReadWrite, // created when missing, kept when present
    CreateNew,       // must not exist
    Truncate,        // created or emptied
    PrivateReadWrite,// created 0600 when missing; never through a symlink, refused
                     // when another user owns it, made 0600 when others may read it
};

// A block device that can be opened as a drive (logical drives
// from /sys/class/block, physical drives from /sys/block).
struct DriveInfo {
    std::string devicePath;  // "/dev/loop0"
    FilePos size = 0;
};

// What makes a file the same file under any of its names: its device and
// inode.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
};

struct DiskSpace {
    FilePos freeBytes = 0;   // available to the user
    FilePos totalBytes = 0;
};

class FileIo {
public:
    virtual ~FileIo() = default;

    virtual int open(const std::string& path, OpenMode mode, FileHandle* out) = 0;
    virtual void close(FileHandle h) = 0;
    // Positioned transfers; *done gets the bytes moved even on failure.
    virtual int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) = 0;
    virtual int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) = 0;
    // Size of a file, or of a block device (BLKGETSIZE64).
    virtual int size(FileHandle h, FilePos* out) = 0;
    virtual int setSize(FileHandle h, FilePos size) = 0;
    virtual int sync(FileHandle h) = 0;
    // Sets aside room on the drive for writes into [pos, pos + n) beyond the
    // end, without changing the file's length, so that those writes cannot
    // meet a full drive. 1 when the room is not there or cannot be set aside
    // (then the writes meet the drive as they come).
    virtual int reserve(FileHandle /*h*/, FilePos /*pos*/, FilePos /*n*/) { return 1; }
    // Starts putting the written bytes of [pos, pos + n) on the drive without
    // waiting for it, so that a later sync finds less to do. Only a hint.
    virtual void startWriteBack(FileHandle /*h*/, FilePos /*pos*/, FilePos /*n*/) {}
    // Holds the open file for this program alone for as long as the handle
    // stays open (an advisory lock that every instance of the program takes),
    // so that a second instance cannot use it at the same time. 1, with the
    // message table's code 32 ("Is always in Use !"), when another holds it;
    // 0 where the file system cannot hold files (nothing to compete with).
    virtual int holdExclusively(FileHandle /*h*/) { return 0; }
    // The unit a drive reads in (its logical sector size); 512 for files.
    virtual std::uint32_t sectorSize(FileHandle /*h*/) { return 512; }
    // Last-write time as a Windows file time (100 ns units since 1601-01-01).
    virtual int lastWriteTime(FileHandle h, std::uint64_t* out) = 0;
    virtual int lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) = 0;

    // Whether two open handles reach the same file or device (the same
    // file under two names included).
    virtual bool sameFile(FileHandle a, FileHandle b) { return a == b; }

    virtual bool exists(const std::string& path) = 0;
    virtual bool isBlockDevice(const std::string& path) = 0;
    virtual int removeFile(const std::string& path) = 0;
    virtual int renameFile(const std::string& from, const std::string& to) = 0;
    virtual int copyFile(const std::string& from, const std::string& to) = 0;
    // Creates one directory level; an existing directory counts as done.
    virtual int makeDirectory(const std::string& path) = 0;
    // The last level of a path for private files: created 0700; an existing
    // one must be a directory (not a symlink) of this user, and loses the
    // rights of others.
    virtual int makePrivateDirectory(const std::string& path) = 0;
    // Removes the directory only when it is empty; returns 1 otherwise.
    virtual int removeDirectoryIfEmpty(const std::string& path) = 0;
    // The "drive" of a path: st_dev of the path or of its nearest existing
    // parent; for a block device, its own st_rdev.
    virtual int driveId(const std::string& path, std::uint64_t* out) = 0;
    virtual int diskSpace(const std::string& path, DiskSpace* out) = 0;
    // The identity of the file a path names (symlinks followed); 1 when it
    // does not exist.
    virtual int fileIdentity(const std::string& path, FileIdentity* out) = 0;
    // The identity of an open file; compared with its path's, it tells
    // whether the file was deleted or replaced while open.
    virtual int handleIdentity(FileHandle h, FileIdentity* out) = 0;
    // The path without symlinks, "." and ".." (of its directory when the
    // file does not exist yet); the path as given when neither resolves.
    virtual std::string canonicalPath(const std::string& path) = 0;

    virtual void listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) = 0;

    virtual SystemError lastError() const = 0;
    // Lets the logic set the last error for failures it detects itself
    // (for example a short read where a full page was required).
    virtual void setLastError(SystemError e) = 0;
};

}  // namespace quorby
