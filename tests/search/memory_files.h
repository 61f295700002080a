#pragma once
// An in-memory FileIo for the search tests: files are byte vectors; reads can
// be made to fail at chosen positions, and every read is counted.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "store/file_io.h"

namespace quorby::testing {

class MemoryFiles final : public FileIo {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<FilePos> failingReads;  // a read starting here fails after delivering nothing
    std::uint64_t reads = 0;

    std::vector<std::uint8_t>& bytes(const std::string& path) { return files[path]; }

    FileHandle openExisting(const std::string& path) {
        FileHandle h = kNoFile;
        open(path, OpenMode::ReadWrite, &h);
        return h;
    }

    int open(const std::string& path, OpenMode mode, FileHandle* out) override {
        *out = kNoFile;
        const bool present = files.count(path) != 0;
        if (!present && (mode == OpenMode::ReadOnly || mode == OpenMode::ReadWrite)) return fail(ENOENT, 2);
        if (present && mode == OpenMode::CreateNew) return fail(EEXIST, 80);
        if (mode == OpenMode::Truncate) files[path].clear();
        files[path];
        handles_[next_] = path;
        *out = next_++;
        return 0;
    }
    void close(FileHandle h) override { handles_.erase(h); }
    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        ++reads;
        auto* f = file(h);
        if (!f) return fail(EBADF, 6);
        if (failingReads.count(pos)) return fail(EIO, 30);
        if (pos >= f->size()) return 0;
        const std::uint32_t count = std::uint32_t(std::min<FilePos>(n, f->size() - pos));
        std::memcpy(buf, f->data() + pos, count);
        *done = count;
        return 0;
    }
    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        auto* f = file(h);
        if (!f) return fail(EBADF, 6);
        if (f->size() < pos + n) f->resize(pos + n, 0);
        std::memcpy(f->data() + pos, buf, n);
        *done = n;
        return 0;
    }
    int size(FileHandle h, FilePos* out) override {
        auto* f = file(h);
        if (!f) return fail(EBADF, 6);
        *out = f->size();
        return 0;
    }
    int setSize(FileHandle h, FilePos size) override {
        auto* f = file(h);
        if (!f) return fail(EBADF, 6);
        f->resize(size, 0);
        return 0;
    }
    int sync(FileHandle) override { return 0; }
    int lastWriteTime(FileHandle, std::uint64_t* out) override { *out = 0; return 0; }
    int lastWriteTimeOfPath(const std::string&, std::uint64_t* out) override { *out = 0; return 0; }
    bool exists(const std::string& path) override { return files.count(path) != 0; }
    bool isBlockDevice(const std::string&) override { return false; }
    int removeFile(const std::string& path) override { return files.erase(path) ? 0 : fail(ENOENT, 2); }
    int renameFile(const std::string&, const std::string&) override { return fail(ENOSYS, 50); }
    int copyFile(const std::string&, const std::string&) override { return fail(ENOSYS, 50); }
    int makeDirectory(const std::string&) override { return fail(ENOSYS, 50); }
    int removeDirectoryIfEmpty(const std::string&) override { return fail(ENOSYS, 50); }
    int driveId(const std::string&, std::uint64_t*) override { return fail(ENOSYS, 50); }
    int diskSpace(const std::string&, DiskSpace*) override { return fail(ENOSYS, 50); }
    void listDrives(std::vector<DriveInfo>*, std::vector<DriveInfo>*) override {}
    SystemError lastError() const override { return error_; }
    void setLastError(SystemError e) override { error_ = e; }

private:
    std::vector<std::uint8_t>* file(FileHandle h) {
        auto it = handles_.find(h);
        return it == handles_.end() ? nullptr : &files[it->second];
    }
    int fail(int err, std::uint32_t code) {
        error_ = {code, err};
        return 1;
    }
    std::map<FileHandle, std::string> handles_;
    FileHandle next_ = 3;
    SystemError error_;
};

}  // namespace quorby::testing
