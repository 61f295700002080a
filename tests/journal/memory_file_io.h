#pragma once
// An in-memory FileIo for the journal tests. It counts every transfer, keeps
// a log of writes and syncs, can fail the Nth transfer (optionally after
// moving part of it, and optionally failing everything after it, like a
// killed program), and can drop every write that was not synced, like a
// machine that lost power.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "store/file_io.h"

namespace quorby::testing {

struct IoEvent {
    char kind;  // 'R' read, 'W' write, 'S' sync
    FilePos pos;
    std::uint32_t length;
};

class MemoryFileIo final : public FileIo {
public:
    struct File {
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> durable;  // content as of the last sync
    };

    std::map<std::string, File> files;
    std::uint64_t reads = 0, writes = 0, syncs = 0, bytesRead = 0;
    std::uint32_t largestRead = 0;
    bool logEvents = false;
    std::vector<IoEvent> events;

    std::uint64_t failAtTransfer = 0;  // 1-based count of reads and writes; 0 = never
    std::uint32_t tornBytes = 0;       // bytes the failing write still moves
    bool failForever = false;          // every transfer after the failing one fails too

    std::vector<std::uint8_t>& bytes(const std::string& path) { return files[path].data; }
    // The nth transfer from now fails.
    void failNth(std::uint64_t n, std::uint32_t torn = 0, bool forever = false) {
        failAtTransfer = transfers_ + n;
        tornBytes = torn;
        failForever = forever;
        failed_ = false;
    }
    void stopFailing() {
        failAtTransfer = 0;
        failForever = false;
        failed_ = false;
    }
    void resetCounts() {
        reads = writes = syncs = bytesRead = 0;
        largestRead = 0;
        events.clear();
    }
    // Power loss: every file falls back to its last synced content.
    void crash() {
        for (auto& [name, f] : files) f.data = f.durable;
    }

    int open(const std::string& path, OpenMode mode, FileHandle* out) override {
        *out = kNoFile;
        bool present = files.count(path) != 0;
        if (!present && (mode == OpenMode::ReadOnly || mode == OpenMode::ReadWrite)) return fail(ENOENT, 2);
        if (present && mode == OpenMode::CreateNew) return fail(EEXIST, 80);
        if (mode == OpenMode::Truncate) files[path].data.clear();
        files[path];
        handles_[nextHandle_] = path;
        *out = nextHandle_++;
        return 0;
    }
    void close(FileHandle h) override { handles_.erase(h); }

    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        ++reads;
        largestRead = std::max(largestRead, n);
        if (logEvents) events.push_back({'R', pos, n});
        if (transferFails()) return fail(EIO, 30);
        File* f = file(h);
        if (!f) return fail(EBADF, 6);
        if (pos >= f->data.size()) return 0;
        std::uint32_t count = std::uint32_t(std::min<FilePos>(n, f->data.size() - pos));
        std::memcpy(buf, f->data.data() + pos, count);
        *done = count;
        bytesRead += count;
        return 0;
    }

    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        ++writes;
        if (logEvents) events.push_back({'W', pos, n});
        File* f = file(h);
        if (!f) return fail(EBADF, 6);
        bool failing = transferFails();
        std::uint32_t count = failing ? std::min(tornBytes, n) : n;
        if (count > 0) {
            if (f->data.size() < pos + count) f->data.resize(pos + count, 0);
            std::memcpy(f->data.data() + pos, buf, count);
        }
        *done = count;
        return failing ? fail(EIO, 29) : 0;
    }

    int size(FileHandle h, FilePos* out) override {
        File* f = file(h);
        if (!f) return fail(EBADF, 6);
        *out = f->data.size();
        return 0;
    }
    int setSize(FileHandle h, FilePos size) override {
        File* f = file(h);
        if (!f) return fail(EBADF, 6);
        f->data.resize(size, 0);
        return 0;
    }
    int sync(FileHandle h) override {
        ++syncs;
        if (logEvents) events.push_back({'S', 0, 0});
        File* f = file(h);
        if (!f) return fail(EBADF, 6);
        if (failForever && failed_) return fail(EIO, 29);
        f->durable = f->data;
        return 0;
    }
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
    SystemError lastError() const override { return lastError_; }
    void setLastError(SystemError e) override { lastError_ = e; }

private:
    bool transferFails() {
        ++transfers_;
        if (failForever && failed_) return true;
        if (failAtTransfer != 0 && transfers_ == failAtTransfer) {
            failed_ = true;
            return true;
        }
        return false;
    }
    int fail(int err, std::uint32_t code) {
        lastError_ = SystemError{code, err};
        return 1;
    }
    File* file(FileHandle h) {
        auto it = handles_.find(h);
        return it == handles_.end() ? nullptr : &files[it->second];
    }

    std::map<FileHandle, std::string> handles_;
    FileHandle nextHandle_ = 3;
    std::uint64_t transfers_ = 0;
    bool failed_ = false;
    SystemError lastError_{};
};

}  // namespace quorby::testing
