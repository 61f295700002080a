#pragma once
// The file layer of the tests: a FileIo over files held in memory as byte
// vectors, with the directories, drives, disk space and drive ids the test
// decides. It counts every transfer (in all and per handle), can log them,
// fails the calls a test scripts, and can drop every write that was not
// synced, like a machine that lost power: all of them, all but one file's,
// or (crashKeepingSome) a seeded choice of them, sector by sector.
//
// Two more kinds of content for tests that need them:
// - synthetic files: any size (terabytes cost nothing), each byte a function
//   of its position, read-only;
// - `real`: when set, every file call goes to that FileIo instead (real files
//   through PosixFileIo), with the counting and scripted failures still
//   applied on the way.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_io.h"

namespace quorby::testing {

struct IoEvent {
    char kind;  // 'R' read, 'W' write, 'S' sync
    FilePos pos;
    std::uint32_t length;
};

class MemoryFileIo final : public FileIo {
public:
    // ---- content ---------------------------------------------------------------
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<std::string> directories;  // without a trailing '/'
    // When set, a file can only be created in a directory of `directories`.
    bool needParentDirectory = false;
    FileIo* real = nullptr;

    std::vector<std::uint8_t>& bytes(const std::string& path) { return files[path]; }
    void addSyntheticFile(const std::string& path, FilePos size, std::function<std::uint8_t(FilePos)> byteAt) {
        synthetic_[path] = Synthetic{size, std::move(byteAt)};
    }

    // ---- drives, space and times -------------------------------------------
    std::vector<DriveInfo> logicalDrives, physicalDrives;
    bool useRealDrives = false;        // listDrives asks `real`
    DiskSpace space;                   // what diskSpace answers
    bool scriptedSpace = false;        // with `real`: answer `space` instead of asking it
    // driveId: the id of the longest path prefix listed here, else defaultDriveId.
    std::map<std::string, std::uint64_t> driveIds;
    std::uint64_t defaultDriveId = 1;
    bool scriptedDriveIds = false;     // with `real`: answer from driveIds instead of asking it
    std::uint64_t writeTime = 0;       // lastWriteTime of every file
    // Instead: a file's last-write time changes whenever its content does
    // (a hash of it), so a program that misses its own write is seen.
    bool timeFromContent = false;

    // ---- counts ------------------------------------------------------------------
    std::uint64_t reads = 0, writes = 0, syncs = 0, bytesRead = 0, bytesWritten = 0;
    std::uint32_t largestRead = 0;
    int closes = 0;
    int makeDirectoryCalls = 0;
    bool logEvents = false;
    std::vector<IoEvent> events;

    // Reads shorter than smallReadBytes are counted apart as well (0: none is).
    std::uint32_t smallReadBytes = 0;

    std::uint64_t readsOf(FileHandle h) const { return countOf(readsByHandle_, h); }
    std::uint64_t smallReadsOf(FileHandle h) const { return countOf(smallReadsByHandle_, h); }
    std::uint64_t writesOf(FileHandle h) const { return countOf(writesByHandle_, h); }
    int openHandles() const { return int(handles_.size()); }
    void resetCounts() {
        reads = writes = syncs = bytesRead = bytesWritten = 0;
        largestRead = 0;
        readsByHandle_.clear();
        smallReadsByHandle_.clear();
        writesByHandle_.clear();
        events.clear();
    }

    // ---- scripted failures -------------------------------------------------------
    SystemError ioError{30, EIO};                 // of failing reads and space queries
    std::map<std::string, SystemError> failOpen;  // path -> error of its opening
    SystemError failOpenForWriting{};             // code other than 0: openings not ReadOnly fail with it
    std::map<std::string, SystemError> failMakeDirectory;
    std::map<std::string, SystemError> failRead;  // path -> error of every read of it (nothing moves)
    // The read covering this position stops there and fails with ioError.
    std::optional<FilePos> failReadAt;
    // Reads from this call on (1-based, counted while it is set) fail with
    // ioError after delivering at most readLimit bytes; 0: never.
    int failFromRead = 0;
    std::uint32_t readLimit = 0xFFFFFFFFu;
    bool failWrites = false;                      // every write fails, but into room set aside: drive full
    std::map<std::string, SystemError> failWrite; // path -> error of every write into it (nothing moves)
    bool readOnlyHandlesRefuseWrites = false;     // writes through a handle opened ReadOnly fail, as on disk
    std::uint32_t writeLimit = 0xFFFFFFFFu;       // bytes a write moves before it stops without an error
    // The process is killed (SIGKILL) just before write number killAtWrite
    // (1-based, counted as `writes`); 0: never.
    std::uint64_t killAtWrite = 0;
    bool failSpaceQuery = false;                  // diskSpace fails with ioError
    SystemError failSetSize{};                    // code other than 0: setSize fails with it

    // The nth transfer (read or write) from now fails: a read moves nothing,
    // a write moves `torn` bytes first; with `forever` every transfer and
    // sync after it fails too, like a killed program.
    void failNth(std::uint64_t n, std::uint32_t torn = 0, bool forever = false) {
        failAtTransfer_ = transfers_ + n;
        tornBytes_ = torn;
        failForever_ = forever;
        failed_ = false;
    }
    void stopFailing() {
        failAtTransfer_ = 0;
        failForever_ = false;
        failed_ = false;
    }
    // The scripted nth transfer has happened (and failed).
    bool nthFailed() const { return failed_; }
    // Power loss: every file falls back to its content as of its last sync.
    void crash() {
        for (auto& [name, data] : files) data = durable_[name];
        unsynced_.clear();
    }
    // Power loss after the system wrote back all of `kept` but nothing of
    // the other files since their last sync.
    void crashKeeping(const std::string& kept) {
        for (auto& [name, data] : files) {
            if (name == kept) durable_[name] = data;
            else data = durable_[name];
        }
        unsynced_.clear();
    }
    // Power loss after the system wrote back some of the writes since the
    // last sync, in any order, as a disk's write cache does: each 512-byte
    // sector of each file ends up as it was after some number of the writes
    // into it (none, some or all of them, in their order; a sector is
    // written whole or not at all), and a file's length after some number of
    // its length changes. The choice follows `seed`, so a run can be
    // repeated.
    // It needs keepUnsyncedChanges set before the writes.
    void crashKeepingSome(std::uint64_t seed) {
        std::mt19937_64 random(seed);
        for (auto& [name, data] : files) {
            std::vector<std::uint8_t> kept = durable_[name];
            const auto pending = unsynced_.find(name);
            if (pending != unsynced_.end()) kept = someOf(pending->second, std::move(kept), random);
            data = kept;
            durable_[name] = std::move(kept);
        }
        unsynced_.clear();
    }

    // Keeps every write and length change since each file's last sync, for
    // crashKeepingSome (off: memory stays that of the files alone).
    bool keepUnsyncedChanges = false;

    // ---- FileIo ------------------------------------------------------------------
    int open(const std::string& path, OpenMode mode, FileHandle* out) override {
        *out = kNoFile;
        if (auto f = failOpen.find(path); f != failOpen.end()) return fail(f->second);
        if (failOpenForWriting.code != 0 && mode != OpenMode::ReadOnly) return fail(failOpenForWriting);
        if (real) {
            int r = real->open(path, mode, out);
            if (r == 0) handles_[*out] = path;
            return r;
        }
        if (synthetic_.count(path)) {
            if (mode != OpenMode::ReadOnly) return fail({5, EACCES});
        } else {
            bool present = files.count(path) != 0;
            if (!present && (mode == OpenMode::ReadOnly || mode == OpenMode::ReadWrite)) return fail({2, ENOENT});
            if (present && mode == OpenMode::CreateNew) return fail({80, EEXIST});
            if (!present && needParentDirectory && !directories.count(parentOf(path))) return fail({2, ENOENT});  // as the system: no such file or directory
            if (!present || mode == OpenMode::Truncate) {
                files[path].clear();
                if (keepUnsyncedChanges) unsynced_[path].push_back({0, {}, true});
            }
            if (!present) identities_[canonicalPath(path)] = nextIdentity_++;
        }
        handles_[nextHandle_] = path;
        handleIdentities_[nextHandle_] = identityOf(canonicalPath(path));
        if (mode == OpenMode::ReadOnly) readOnlyHandles_.insert(nextHandle_);
        *out = nextHandle_++;
        return 0;
    }
    void close(FileHandle h) override {
        ++closes;
        handles_.erase(h);
        handleIdentities_.erase(h);
        readOnlyHandles_.erase(h);
        if (real) real->close(h);
    }

    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        ++reads;
        ++readsByHandle_[h];
        if (n < smallReadBytes) ++smallReadsByHandle_[h];
        largestRead = std::max(largestRead, n);
        if (logEvents) events.push_back({'R', pos, n});
        if (transferFails()) return fail({30, EIO});
        if (!failRead.empty()) {
            auto it = handles_.find(h);
            if (it != handles_.end())
                if (auto f = failRead.find(it->second); f != failRead.end()) return fail(f->second);
        }
        if (failReadAt && *failReadAt >= pos && *failReadAt < pos + n) {
            transfer(h, pos, buf, std::uint32_t(*failReadAt - pos), done);
            return fail(ioError);
        }
        if (failFromRead != 0 && ++armedReads_ >= failFromRead) {
            transfer(h, pos, buf, std::min(n, readLimit), done);
            return fail(ioError);
        }
        int r = transfer(h, pos, buf, n, done);
        if (r == 0) bytesRead += *done;
        return r;
    }

    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override {
        *done = 0;
        ++writes;
        bytesWritten += n;
        if (killAtWrite != 0 && writes == killAtWrite) raise(SIGKILL);
        ++writesByHandle_[h];
        if (logEvents) events.push_back({'W', pos, n});
        if (!real && !memoryFile(h) && !syntheticFile(h)) return fail({6, EBADF});
        if (failWrites && !inReservedRoom(h, pos, n)) return fail({112, ENOSPC});
        if (readOnlyHandlesRefuseWrites && readOnlyHandles_.count(h)) return fail({6, EBADF});
        if (!failWrite.empty()) {
            auto it = handles_.find(h);
            if (it != handles_.end())
                if (auto f = failWrite.find(it->second); f != failWrite.end()) return fail(f->second);
        }
        bool failing = transferFails();
        std::uint32_t count = failing ? std::min(tornBytes_, n) : std::min(n, writeLimit);
        int r = 0;
        if (real) {
            r = real->writeAt(h, pos, buf, count, done);
        } else if (syntheticFile(h)) {
            r = fail({5, EACCES});
        } else if (count > 0) {
            auto& data = *memoryFile(h);
            if (data.size() < pos + count) data.resize(pos + count, 0);
            std::memcpy(data.data() + pos, buf, count);
            *done = count;
            const auto* from = static_cast<const std::uint8_t*>(buf);
            if (keepUnsyncedChanges)
                unsynced_[handles_[h]].push_back({pos, std::vector<std::uint8_t>(from, from + count), false});
        }
        return failing ? fail({29, EIO}) : r;
    }

    int size(FileHandle h, FilePos* out) override {
        if (real) return real->size(h, out);
        if (const Synthetic* s = syntheticFile(h)) {
            *out = s->size;
            return 0;
        }
        auto* data = memoryFile(h);
        if (!data) return fail({6, EBADF});
        *out = data->size();
        return 0;
    }
    int setSize(FileHandle h, FilePos size) override {
        if (failSetSize.code != 0) return fail(failSetSize);
        if (real) return real->setSize(h, size);
        if (syntheticFile(h)) return fail({5, EACCES});
        auto* data = memoryFile(h);
        if (!data) return fail({6, EBADF});
        data->resize(size, 0);
        if (keepUnsyncedChanges) unsynced_[handles_[h]].push_back({size, {}, true});
        // Cutting a file gives back the room set aside beyond its new end.
        FilePos& end = reservedEnd_[handles_[h]];
        end = std::min(end, size);
        return 0;
    }
    // Room is there unless the drive is full or the file refuses writes;
    // once set aside, writes into it succeed on a full drive as well.
    int reserve(FileHandle h, FilePos pos, FilePos n) override {
        if (real) return real->reserve(h, pos, n);
        if (failWrites || !memoryFile(h)) return 1;
        const std::string& path = handles_[h];
        if (failWrite.count(path)) return 1;
        FilePos& end = reservedEnd_[path];
        end = std::max(end, pos + n);
        return 0;
    }
    int sync(FileHandle h) override {
        ++syncs;
        if (logEvents) events.push_back({'S', 0, 0});
        if (real) {
            if (failForever_ && failed_) return fail({29, EIO});
            return real->sync(h);
        }
        if (syntheticFile(h)) return 0;
        auto* data = memoryFile(h);
        if (!data) return fail({6, EBADF});
        if (failForever_ && failed_) return fail({29, EIO});
        durable_[handles_.at(h)] = *data;
        unsynced_.erase(handles_.at(h));
        return 0;
    }
    int lastWriteTime(FileHandle h, std::uint64_t* out) override {
        if (real) return real->lastWriteTime(h, out);
        const auto* data = memoryFile(h);
        *out = timeFromContent && data ? contentTime(*data) : writeTime;
        return 0;
    }
    int lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) override {
        if (real) return real->lastWriteTimeOfPath(path, out);
        const auto it = files.find(path);
        if (it == files.end() && !synthetic_.count(path)) return fail({2, ENOENT});
        *out = timeFromContent && it != files.end() ? contentTime(it->second) : writeTime;
        return 0;
    }

    bool exists(const std::string& path) override {
        if (real) return real->exists(path);
        return files.count(path) || synthetic_.count(path) || directories.count(trimmed(path));
    }
    bool isBlockDevice(const std::string& path) override {
        if (real) return real->isBlockDevice(path);
        for (const auto* list : {&logicalDrives, &physicalDrives})
            for (const DriveInfo& d : *list)
                if (d.devicePath == path) return true;
        return false;
    }
    int removeFile(const std::string& path) override {
        if (real) return real->removeFile(path);
        if (!files.erase(path)) return fail({2, ENOENT});
        durable_.erase(path);
        unsynced_.erase(path);
        identities_.erase(path);
        return 0;
    }
    int renameFile(const std::string& from, const std::string& to) override {
        if (real) return real->renameFile(from, to);
        if (!files.count(from)) return fail({2, ENOENT});
        if (needParentDirectory && !directories.count(parentOf(to))) return fail({2, ENOENT});  // as the system: no such file or directory
        if (from == to) return 0;
        files[to] = std::move(files[from]);
        durable_[to] = std::move(durable_[from]);
        unsynced_[to] = std::move(unsynced_[from]);
        identities_[to] = identityOf(from);
        files.erase(from);
        durable_.erase(from);
        unsynced_.erase(from);
        identities_.erase(from);
        // Open handles stay with the file under its new name.
        for (auto& [handle, path] : handles_)
            if (path == from) path = to;
        return 0;
    }
    int copyFile(const std::string& from, const std::string& to) override {
        if (real) return real->copyFile(from, to);
        if (!files.count(from)) return fail({2, ENOENT});
        if (needParentDirectory && !directories.count(parentOf(to))) return fail({2, ENOENT});  // as the system: no such file or directory
        files[to] = files[from];
        durable_[to] = files[from];
        unsynced_.erase(to);
        identities_[to] = nextIdentity_++;
        return 0;
    }
    int makeDirectory(const std::string& path) override {
        ++makeDirectoryCalls;
        if (real) return real->makeDirectory(path);
        std::string dir = trimmed(path);
        if (directories.count(dir)) return 0;
        if (auto f = failMakeDirectory.find(dir); f != failMakeDirectory.end()) return fail(f->second);
        if (files.count(dir)) return fail({80, EEXIST});
        if (!directories.count(parentOf(dir))) return fail({2, ENOENT});  // as the system: no such file or directory
        directories.insert(dir);
        return 0;
    }
    int removeDirectoryIfEmpty(const std::string& path) override {
        if (real) return real->removeDirectoryIfEmpty(path);
        std::string dir = trimmed(path);
        if (!directories.count(dir)) return fail({2, ENOENT});
        std::string prefix = dir + "/";
        for (const auto& [name, data] : files)
            if (name.compare(0, prefix.size(), prefix) == 0) return fail({145, ENOTEMPTY});
        for (const auto& other : directories)
            if (other.compare(0, prefix.size(), prefix) == 0) return fail({145, ENOTEMPTY});
        directories.erase(dir);
        return 0;
    }
    int driveId(const std::string& path, std::uint64_t* out) override {
        if (real && !scriptedDriveIds) return real->driveId(path, out);
        *out = defaultDriveId;
        std::size_t longest = 0;
        for (const auto& [prefix, id] : driveIds) {
            if (prefix.size() >= longest && path.compare(0, prefix.size(), prefix) == 0) {
                longest = prefix.size();
                *out = id;
            }
        }
        return 0;
    }
    int diskSpace(const std::string& path, DiskSpace* out) override {
        if (failSpaceQuery) return fail(ioError);
        if (real && !scriptedSpace) return real->diskSpace(path, out);
        *out = space;
        return 0;
    }
    int makePrivateDirectory(const std::string& path) override {
        if (real) return real->makePrivateDirectory(path);
        return makeDirectory(path);
    }
    // A file's identity is a number it gets when it is created; it keeps it
    // when renamed, and a file created anew under the same name gets
    // another. A handle keeps the identity of the file it opened.
    int fileIdentity(const std::string& path, FileIdentity* out) override {
        if (real) return real->fileIdentity(path, out);
        const std::string p = canonicalPath(path);
        if (!files.count(p)) return 1;
        out->device = 1;
        out->inode = identityOf(p);
        return 0;
    }
    bool sameFile(FileHandle a, FileHandle b) override {
        if (real) return real->sameFile(a, b);
        FileIdentity x, y;
        return handleIdentity(a, &x) == 0 && handleIdentity(b, &y) == 0 && x == y;
    }
    int handleIdentity(FileHandle h, FileIdentity* out) override {
        if (real) return real->handleIdentity(h, out);
        auto it = handleIdentities_.find(h);
        if (it == handleIdentities_.end()) return 1;
        out->device = 1;
        out->inode = it->second;
        return 0;
    }
    std::string canonicalPath(const std::string& path) override {
        if (real) return real->canonicalPath(path);
        std::vector<std::string> parts;
        std::size_t at = 0;
        while (at <= path.size()) {
            const std::size_t slash = std::min(path.find('/', at), path.size());
            const std::string part = path.substr(at, slash - at);
            if (part == "..") {
                if (!parts.empty()) parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            at = slash + 1;
        }
        std::string out;
        for (const std::string& part : parts) out += "/" + part;
        return path.empty() || path[0] != '/' ? path : out.empty() ? "/" : out;
    }
    void listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) override {
        if (real && useRealDrives) return real->listDrives(logical, physical);
        *logical = logicalDrives;
        *physical = physicalDrives;
    }

    SystemError lastError() const override { return real ? real->lastError() : last_; }
    void setLastError(SystemError e) override {
        last_ = e;
        if (real) real->setLastError(e);
    }

private:
    static std::uint64_t contentTime(const std::vector<std::uint8_t>& data) {
        std::uint64_t h = 0xcbf29ce484222325ull;
        for (std::uint8_t b : data) h = (h ^ b) * 0x100000001b3ull;
        return h;
    }
    struct Synthetic {
        FilePos size = 0;
        std::function<std::uint8_t(FilePos)> byteAt;
    };

    std::map<std::string, Synthetic> synthetic_;
    std::map<std::string, std::vector<std::uint8_t>> durable_;  // content as of the last sync
    std::map<std::string, FilePos> reservedEnd_;                // room set aside up to here

    // A write or a length change since the file's last sync.
    struct UnsyncedChange {
        FilePos pos;                      // of the write; the new length of a length change
        std::vector<std::uint8_t> bytes;  // of the write
        bool lengthChange;
    };
    std::map<std::string, std::vector<UnsyncedChange>> unsynced_;
    std::map<std::string, std::uint64_t> identities_;  // files given content by the test get one on first use
    std::map<FileHandle, std::uint64_t> handleIdentities_;
    std::uint64_t nextIdentity_ = 1;

    std::uint64_t identityOf(const std::string& path) {
        auto it = identities_.find(path);
        if (it == identities_.end()) it = identities_.emplace(path, nextIdentity_++).first;
        return it->second;
    }
    // `durable` with a random choice of `changes` applied (crashKeepingSome).
    static std::vector<std::uint8_t> someOf(const std::vector<UnsyncedChange>& changes, std::vector<std::uint8_t> durable,
                                            std::mt19937_64& random) {
        constexpr FilePos kSector = 512;
        // How many of the writes into each sector, and of the length changes, arrive.
        std::map<FilePos, std::uint64_t> writesInto, arriving;
        std::uint64_t lengthChanges = 0;
        for (const UnsyncedChange& c : changes) {
            if (c.lengthChange) ++lengthChanges;
            else if (!c.bytes.empty())
                for (FilePos s = c.pos / kSector; s <= (c.pos + c.bytes.size() - 1) / kSector; ++s) ++writesInto[s];
        }
        for (const auto& [sector, count] : writesInto) arriving[sector] = random() % (count + 1);
        std::uint64_t lengthsArriving = random() % (lengthChanges + 1);
        for (const UnsyncedChange& c : changes) {
            if (c.lengthChange) {
                if (lengthsArriving > 0) {
                    --lengthsArriving;
                    durable.resize(c.pos, 0);
                }
                continue;
            }
            for (FilePos s = c.pos / kSector; !c.bytes.empty() && s <= (c.pos + c.bytes.size() - 1) / kSector; ++s) {
                if (arriving[s] == 0) continue;
                --arriving[s];
                const FilePos from = std::max(c.pos, s * kSector);
                const FilePos to = std::min(c.pos + c.bytes.size(), (s + 1) * kSector);
                if (durable.size() < to) durable.resize(to, 0);
                std::memcpy(durable.data() + from, c.bytes.data() + (from - c.pos), to - from);
            }
        }
        return durable;
    }

    bool inReservedRoom(FileHandle h, FilePos pos, std::uint32_t n) const {
        auto it = handles_.find(h);
        if (it == handles_.end()) return false;
        auto room = reservedEnd_.find(it->second);
        return room != reservedEnd_.end() && pos + n <= room->second;
    }
    std::map<FileHandle, std::string> handles_;
    std::set<FileHandle> readOnlyHandles_;
    FileHandle nextHandle_ = 3;
    std::map<FileHandle, std::uint64_t> readsByHandle_, smallReadsByHandle_, writesByHandle_;
    SystemError last_{};

    std::uint64_t transfers_ = 0;
    std::uint64_t failAtTransfer_ = 0;  // 1-based count of reads and writes; 0: never
    std::uint32_t tornBytes_ = 0;
    bool failForever_ = false;
    bool failed_ = false;
    int armedReads_ = 0;                // reads counted while failFromRead is set

    int fail(SystemError e) {
        setLastError(e);
        return 1;
    }
    bool transferFails() {
        ++transfers_;
        if (failForever_ && failed_) return true;
        if (failAtTransfer_ != 0 && transfers_ == failAtTransfer_) {
            failed_ = true;
            return true;
        }
        return false;
    }
    static std::uint64_t countOf(const std::map<FileHandle, std::uint64_t>& counts, FileHandle h) {
        auto it = counts.find(h);
        return it == counts.end() ? 0 : it->second;
    }
    const Synthetic* syntheticFile(FileHandle h) const {
        auto it = handles_.find(h);
        if (it == handles_.end()) return nullptr;
        auto s = synthetic_.find(it->second);
        return s == synthetic_.end() ? nullptr : &s->second;
    }
    // The bytes of an open in-memory file (null for an unknown handle).
    std::vector<std::uint8_t>* memoryFile(FileHandle h) {
        auto it = handles_.find(h);
        if (it == handles_.end() || synthetic_.count(it->second)) return nullptr;
        return &files[it->second];
    }
    // Reads up to n bytes at pos; fewer at the end of the file is no error.
    int transfer(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
        if (real) return real->readAt(h, pos, buf, n, done);
        auto* bytes = static_cast<std::uint8_t*>(buf);
        if (const Synthetic* s = syntheticFile(h)) {
            std::uint32_t count = pos >= s->size ? 0 : std::uint32_t(std::min<FilePos>(n, s->size - pos));
            for (std::uint32_t i = 0; i < count; ++i) bytes[i] = s->byteAt(pos + i);
            *done = count;
            return 0;
        }
        auto* data = memoryFile(h);
        if (!data) return fail({6, EBADF});
        std::uint32_t count = pos >= data->size() ? 0 : std::uint32_t(std::min<FilePos>(n, data->size() - pos));
        if (count) std::memcpy(bytes, data->data() + pos, count);
        *done = count;
        return 0;
    }
    static std::string trimmed(std::string path) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        return path;
    }
    static std::string parentOf(const std::string& path) {
        std::string p = trimmed(path);
        std::size_t slash = p.find_last_of('/');
        if (slash == std::string::npos) return ".";
        return slash == 0 ? "/" : p.substr(0, slash);
    }
};

}  // namespace quorby::testing
