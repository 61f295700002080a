#pragma once
// The Journal File's file access while a search runs: everything passes
// through unchanged, and every call that may change a file is counted, so
// that the search knows whether a command dispatched between two blocks
// touched the Journal File.
#include <cstdint>
#include <string>
#include <vector>

#include "store/file_io.h"

namespace quorby {

class JournalWriteCounter final : public FileIo {
public:
    explicit JournalWriteCounter(FileIo& inner) : inner_(inner) {}
    FileIo& inner() { return inner_; }
    std::uint64_t changes() const { return changes_; }

    int open(const std::string& path, OpenMode mode, FileHandle* out) override {
        ++changes_;
        return inner_.open(path, mode, out);
    }
    void close(FileHandle h) override {
        ++changes_;
        inner_.close(h);
    }
    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        return inner_.readAt(h, pos, buf, n, done);
    }
    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override {
        ++changes_;
        return inner_.writeAt(h, pos, buf, n, done);
    }
    int size(FileHandle h, FilePos* out) override { return inner_.size(h, out); }
    int setSize(FileHandle h, FilePos size) override {
        ++changes_;
        return inner_.setSize(h, size);
    }
    int sync(FileHandle h) override { return inner_.sync(h); }
    int lastWriteTime(FileHandle h, std::uint64_t* out) override { return inner_.lastWriteTime(h, out); }
    int lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) override {
        return inner_.lastWriteTimeOfPath(path, out);
    }
    bool exists(const std::string& path) override { return inner_.exists(path); }
    bool isBlockDevice(const std::string& path) override { return inner_.isBlockDevice(path); }
    int removeFile(const std::string& path) override {
        ++changes_;
        return inner_.removeFile(path);
    }
    int renameFile(const std::string& from, const std::string& to) override {
        ++changes_;
        return inner_.renameFile(from, to);
    }
    int copyFile(const std::string& from, const std::string& to) override {
        ++changes_;
        return inner_.copyFile(from, to);
    }
    int makeDirectory(const std::string& path) override { return inner_.makeDirectory(path); }
    int removeDirectoryIfEmpty(const std::string& path) override { return inner_.removeDirectoryIfEmpty(path); }
    int driveId(const std::string& path, std::uint64_t* out) override { return inner_.driveId(path, out); }
    int diskSpace(const std::string& path, DiskSpace* out) override { return inner_.diskSpace(path, out); }
    void listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) override {
        inner_.listDrives(logical, physical);
    }
    SystemError lastError() const override { return inner_.lastError(); }
    void setLastError(SystemError e) override { inner_.setLastError(e); }

private:
    FileIo& inner_;
    std::uint64_t changes_ = 0;
};

}  // namespace quorby
