#pragma once
// Real file access with test controls: a fixed drive list, an injected read
// failure and scripted free-space answers.
#include <vector>

#include "platform/posix/posix_file_io.h"

namespace quorby::test {

class ScriptedFileIo final : public FileIo {
public:
    PosixFileIo real;
    std::vector<DriveInfo> logicalDrives, physicalDrives;
    bool useRealDrives = false;
    FilePos failReadAt = kEmptyPtr;  // a read covering it stops there with failError
    SystemError failError{30, 5};
    SystemError failOpenForWriting{};  // a code other than 0: openings for writing fail with it
    bool scriptedSpace = false, failSpaceQuery = false;
    DiskSpace space;

    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        if (failReadAt == kEmptyPtr || failReadAt < pos || failReadAt >= pos + n) return real.readAt(h, pos, buf, n, done);
        real.readAt(h, pos, buf, std::uint32_t(failReadAt - pos), done);
        real.setLastError(failError);
        return 1;
    }
    int open(const std::string& p, OpenMode m, FileHandle* out) override {
        if (failOpenForWriting.code == 0 || m == OpenMode::ReadOnly) return real.open(p, m, out);
        real.setLastError(failOpenForWriting);
        return 1;
    }
    int diskSpace(const std::string& p, DiskSpace* out) override {
        if (failSpaceQuery) { real.setLastError(failError); return 1; }
        if (!scriptedSpace) return real.diskSpace(p, out);
        *out = space;
        return 0;
    }
    void listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) override {
        if (useRealDrives) return real.listDrives(logical, physical);
        *logical = logicalDrives;
        *physical = physicalDrives;
    }

    // Everything else is the real thing.
    void close(FileHandle h) override { real.close(h); }
    int writeAt(FileHandle h, FilePos pos, const void* b, std::uint32_t n, std::uint32_t* d) override { return real.writeAt(h, pos, b, n, d); }
    int size(FileHandle h, FilePos* out) override { return real.size(h, out); }
    int setSize(FileHandle h, FilePos s) override { return real.setSize(h, s); }
    int sync(FileHandle h) override { return real.sync(h); }
    int lastWriteTime(FileHandle h, std::uint64_t* out) override { return real.lastWriteTime(h, out); }
    int lastWriteTimeOfPath(const std::string& p, std::uint64_t* out) override { return real.lastWriteTimeOfPath(p, out); }
    bool exists(const std::string& p) override { return real.exists(p); }
    bool isBlockDevice(const std::string& p) override { return real.isBlockDevice(p); }
    int removeFile(const std::string& p) override { return real.removeFile(p); }
    int renameFile(const std::string& a, const std::string& b) override { return real.renameFile(a, b); }
    int copyFile(const std::string& a, const std::string& b) override { return real.copyFile(a, b); }
    int makeDirectory(const std::string& p) override { return real.makeDirectory(p); }
    int removeDirectoryIfEmpty(const std::string& p) override { return real.removeDirectoryIfEmpty(p); }
    int driveId(const std::string& p, std::uint64_t* out) override { return real.driveId(p, out); }
    SystemError lastError() const override { return real.lastError(); }
    void setLastError(SystemError e) override { real.setLastError(e); }
};

}  // namespace quorby::test
