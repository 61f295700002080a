#include "platform/posix/posix_file_io.h"

#include <cstdlib>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/posix/block_devices.h"
#include "platform/posix/errno_map.h"

namespace quorby {

namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr std::uint32_t kCopyBufferSize = 64 * 1024;

int openFlags(OpenMode mode) {
    switch (mode) {
    case OpenMode::PrivateReadWrite: return O_RDWR | O_CREAT | O_NOFOLLOW;
    case OpenMode::ReadOnly: return O_RDONLY;
    case OpenMode::ReadWrite: return O_RDWR;
    case OpenMode::CreateReadWrite: return O_RDWR | O_CREAT;
    case OpenMode::CreateNew: return O_RDWR | O_CREAT | O_EXCL;
    case OpenMode::Truncate: return O_RDWR | O_CREAT | O_TRUNC;
    }
    return O_RDONLY;
}

bool isWriteMode(OpenMode mode) { return mode != OpenMode::ReadOnly; }

// pread/pwrite take a signed offset: a transfer must end within it.
bool fitsOffset(FilePos pos, std::uint32_t n) {
    constexpr FilePos kMaxOffset = FilePos(LLONG_MAX);
    return pos <= kMaxOffset && n <= kMaxOffset - pos;
}

std::string parentOf(const std::string& path) {
    std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) return "/";
    std::size_t slash = path.find_last_of('/', end);
    if (slash == std::string::npos) return ".";
    std::size_t keep = path.find_last_not_of('/', slash);
    return keep == std::string::npos ? "/" : path.substr(0, keep + 1);
}

}  // namespace

std::uint64_t windowsFileTime(std::int64_t seconds, std::int64_t nanoseconds) {
    if (seconds < -kSecondsFrom1601To1970) return 0;
    std::uint64_t since1601 = std::uint64_t(seconds + kSecondsFrom1601To1970);
    return since1601 * 10000000ULL + std::uint64_t(nanoseconds) / 100;
}

PosixFileIo::PosixFileIo(std::string sysRoot) : sysRoot_(std::move(sysRoot)) {}

int PosixFileIo::fail(int err, bool writing) {
    lastError_.code = windowsErrorCode(err, writing);
    lastError_.sysErrno = err;
    return 1;
}

int PosixFileIo::open(const std::string& path, OpenMode mode, FileHandle* out) {
    *out = kNoFile;
    // O_NONBLOCK keeps a FIFO from blocking the open; it is cleared again for
    // the files that are accepted (it has no effect on them anyway).
    const bool own = mode == OpenMode::PrivateReadWrite;
    int fd = ::open(path.c_str(), openFlags(mode) | O_CLOEXEC | O_NONBLOCK, own ? 0600 : 0666);
    if (fd < 0) return fail(errno, isWriteMode(mode));
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return fail(err, isWriteMode(mode));
    }
    // A private file another user owns is refused: it could be read or
    // forged by them. So is one with a second name, which may be a hard link
    // planted to another file of this user. One of this user's that others
    // may read (as older versions made them) becomes private.
    if (own && (st.st_uid != ::geteuid() || st.st_nlink > 1 ||
                (S_ISREG(st.st_mode) && ::fchmod(fd, st.st_mode & 0700) != 0))) {
        ::close(fd);
        return fail(EACCES, true);
    }
    if (!S_ISREG(st.st_mode) && !S_ISBLK(st.st_mode)) {
        ::close(fd);
        return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, isWriteMode(mode));
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (S_ISBLK(st.st_mode)) stalled_.watch(fd);
    *out = fd;
    return 0;
}

void PosixFileIo::close(FileHandle h) {
    if (h == kNoFile) return;
    stalled_.forget(h);
    directReads_.forget(h);
    ::close(h);
}

int PosixFileIo::readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
    *done = 0;
    if (!fitsOffset(pos, n)) return fail(EINVAL, false);
    const int direct = directReads_.directDescriptor(h, pos, n);
    const int from = direct >= 0 ? direct : h;
    const ReadFunction read = direct >= 0 ? preadAligned : preadFully;
    int err = 0;
    if (stalled_.active() && stalled_.watched(h)) {
        err = stalled_.readWatched(from, pos, buf, n, done, read);
    } else {
        const auto started = std::chrono::steady_clock::now();
        err = read(from, pos, buf, n, done);
        if (err != 0 || std::chrono::steady_clock::now() - started > kReadStallTime) stalled_.watch(h);
    }
    if (err == 0) return 0;
    if (direct < 0) directReads_.noteFailedRead(h, err);
    return fail(err, false);
}

int PosixFileIo::writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) {
    *done = 0;
    if (!fitsOffset(pos, n)) return fail(EINVAL, true);
    const auto* p = static_cast<const std::uint8_t*>(buf);
    while (*done < n) {
        ssize_t put = ::pwrite(h, p + *done, n - *done, off_t(pos + *done));
        if (put < 0) {
            if (errno == EINTR) continue;
            return fail(errno, true);
        }
        // No progress without an error: the end of a device was reached.
        if (put == 0) return fail(ENOSPC, true);
        *done += std::uint32_t(put);
    }
    return 0;
}

std::uint32_t PosixFileIo::sectorSize(FileHandle h) {
    struct stat st {};
    int bytes = 0;
    if (::fstat(h, &st) != 0 || !S_ISBLK(st.st_mode) || ::ioctl(h, BLKSSZGET, &bytes) != 0 || bytes < 512) return 512;
    return std::uint32_t(bytes);
}

int PosixFileIo::size(FileHandle h, FilePos* out) {
    *out = 0;
    struct stat st;
    if (::fstat(h, &st) != 0) return fail(errno, false);
    if (S_ISBLK(st.st_mode)) {
        std::uint64_t bytes = 0;
        if (::ioctl(h, BLKGETSIZE64, &bytes) != 0) return fail(errno, false);
        *out = bytes;
        return 0;
    }
    *out = FilePos(st.st_size);
    return 0;
}

int PosixFileIo::setSize(FileHandle h, FilePos size) {
    if (size > FilePos(LLONG_MAX)) return fail(EFBIG, true);
    while (::ftruncate(h, off_t(size)) != 0) {
        if (errno != EINTR) return fail(errno, true);
    }
    return 0;
}

int PosixFileIo::reserve(FileHandle h, FilePos pos, FilePos n) {
    if (pos > FilePos(LLONG_MAX) || n > FilePos(LLONG_MAX) - pos) return 1;
    while (::fallocate(h, FALLOC_FL_KEEP_SIZE, off_t(pos), off_t(n)) != 0) {
        if (errno != EINTR) return 1;
    }
    return 0;
}

void PosixFileIo::startWriteBack(FileHandle h, FilePos pos, FilePos n) {
    if (pos > FilePos(LLONG_MAX) || n > FilePos(LLONG_MAX) - pos) return;
    ::sync_file_range(h, off_t(pos), off_t(n), SYNC_FILE_RANGE_WRITE);
}

int PosixFileIo::sync(FileHandle h) {
    if (::fsync(h) != 0) return fail(errno, true);
    return 0;
}

int PosixFileIo::holdExclusively(FileHandle h) {
    while (::flock(h, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return 0;  // no locks on this file system
        constexpr std::uint32_t kInUse = 32;
        lastError_ = SystemError{kInUse, EWOULDBLOCK};
        return 1;
    }
    return 0;
}

int PosixFileIo::lastWriteTime(FileHandle h, std::uint64_t* out) {
    *out = 0;
    struct stat st;
    if (::fstat(h, &st) != 0) return fail(errno, false);
    *out = windowsFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return 0;
}

bool PosixFileIo::sameFile(FileHandle a, FileHandle b) {
    struct stat sa, sb;
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0) return false;
    if (S_ISBLK(sa.st_mode) && S_ISBLK(sb.st_mode)) return sa.st_rdev == sb.st_rdev;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int PosixFileIo::lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) {
    *out = 0;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return fail(errno, false);
    *out = windowsFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return 0;
}

bool PosixFileIo::exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool PosixFileIo::isBlockDevice(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

int PosixFileIo::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return fail(errno, true);
    return 0;
}

int PosixFileIo::renameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return fail(errno, true);
    return 0;
}

int PosixFileIo::copyFile(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return fail(errno, false);
    struct stat st;
    int statError = ::fstat(in, &st) != 0 ? errno : 0;
    if (statError == 0 && !S_ISREG(st.st_mode)) statError = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    if (statError != 0) {
        ::close(in);
        return fail(statError, false);
    }
    // A name of its own beside the target (never a planted file or symlink),
    // renamed over the target once complete: a kill leaves the old or the
    // new file whole.
    std::string temporary = to + ".XXXXXX";
    int outFd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (outFd >= 0) ::fchmod(outFd, st.st_mode & 0777);
    if (outFd < 0) {
        int err = errno;
        ::close(in);
        return fail(err, true);
    }
    copyBuffer_.resize(kCopyBufferSize);
    std::uint8_t* buffer = copyBuffer_.data();
    FilePos pos = 0;
    int result = 0;
    for (;;) {
        std::uint32_t got = 0, put = 0;
        if (readAt(in, pos, buffer, kCopyBufferSize, &got) != 0) { result = 1; break; }
        if (got == 0) break;
        if (writeAt(outFd, pos, buffer, got, &put) != 0) { result = 1; break; }
        pos += got;
    }
    if (result == 0 && ::fsync(outFd) != 0) result = fail(errno, true);
    ::close(in);
    if (::close(outFd) != 0 && result == 0) result = fail(errno, true);
    if (result == 0 && ::rename(temporary.c_str(), to.c_str()) != 0) result = fail(errno, true);
    if (result != 0) {
        SystemError keep = lastError_;
        ::unlink(temporary.c_str());
        lastError_ = keep;
    }
    return result;
}

int PosixFileIo::makePrivateDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return fail(errno, true);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return fail(errno, true);
    // Not a symlink, a directory of this user, for nobody else.
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return fail(EACCES, true);
    if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return fail(errno, true);
    return 0;
}

int PosixFileIo::makeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) == 0) return 0;
    int err = errno;
    struct stat st;
    if (err == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
    return fail(err, true);
}

int PosixFileIo::removeDirectoryIfEmpty(const std::string& path) {
    if (::rmdir(path.c_str()) != 0) return fail(errno, true);
    return 0;
}

int PosixFileIo::existingAncestor(const std::string& path, std::string* out) {
    std::string p = path.empty() ? "." : path;
    struct stat st;
    for (;;) {
        if (::stat(p.c_str(), &st) == 0) {
            *out = p;
            return 0;
        }
        int err = errno;
        if (err != ENOENT && err != ENOTDIR) return fail(err, false);
        std::string parent = parentOf(p);
        if (parent == p) return fail(err, false);
        p = parent;
    }
}

int PosixFileIo::driveId(const std::string& path, std::uint64_t* out) {
    *out = 0;
    std::string existing;
    if (existingAncestor(path, &existing) != 0) return 1;
    struct stat st;
    if (::stat(existing.c_str(), &st) != 0) return fail(errno, false);
    *out = S_ISBLK(st.st_mode) ? std::uint64_t(st.st_rdev) : std::uint64_t(st.st_dev);
    return 0;
}

int PosixFileIo::fileIdentity(const std::string& path, FileIdentity* out) {
    *out = FileIdentity{};
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return 1;
    out->device = std::uint64_t(st.st_dev);
    out->inode = std::uint64_t(st.st_ino);
    return 0;
}

int PosixFileIo::handleIdentity(FileHandle h, FileIdentity* out) {
    *out = FileIdentity{};
    struct stat st;
    if (::fstat(h, &st) != 0) return fail(errno, false);
    out->device = std::uint64_t(st.st_dev);
    out->inode = std::uint64_t(st.st_ino);
    return 0;
}

std::string PosixFileIo::canonicalPath(const std::string& path) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
        std::string out(resolved);
        std::free(resolved);
        return out;
    }
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty() || base == "." || base == "..") return path;
    if (char* resolved = ::realpath(dir.c_str(), nullptr)) {
        std::string out(resolved);
        std::free(resolved);
        return (out == "/" ? out : out + "/") + base;
    }
    return path;
}

int PosixFileIo::diskSpace(const std::string& path, DiskSpace* out) {
    *out = DiskSpace{};
    std::string existing;
    if (existingAncestor(path, &existing) != 0) return 1;
    struct stat st;
    if (::stat(existing.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
        FileHandle h = kNoFile;
        if (open(existing, OpenMode::ReadOnly, &h) != 0) return 1;
        int result = size(h, &out->totalBytes);
        ::close(h);
        return result;
    }
    struct statvfs vfs;
    if (::statvfs(existing.c_str(), &vfs) != 0) return fail(errno, false);
    out->freeBytes = FilePos(vfs.f_bavail) * vfs.f_frsize;
    out->totalBytes = FilePos(vfs.f_blocks) * vfs.f_frsize;
    return 0;
}

void PosixFileIo::listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) {
    listBlockDevices(sysRoot_, logical, physical);
}

}  // namespace quorby
