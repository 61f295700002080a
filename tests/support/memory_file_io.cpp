#include "tests/support/memory_file_io.h"


namespace quorby::testing {

std::vector<std::uint8_t>& MemoryFileIo::bytes(const std::string& path) { return files[path]; }

void MemoryFileIo::addSyntheticFile(const std::string& path, FilePos size, std::function<std::uint8_t(FilePos)> byteAt) {
    synthetic_[path] = Synthetic{size, std::move(byteAt)};
}

std::uint64_t MemoryFileIo::readsOf(FileHandle h) const { return countOf(readsByHandle_, h); }

std::uint64_t MemoryFileIo::smallReadsOf(FileHandle h) const { return countOf(smallReadsByHandle_, h); }

std::uint64_t MemoryFileIo::writesOf(FileHandle h) const { return countOf(writesByHandle_, h); }

int MemoryFileIo::openHandles() const { return int(handles_.size()); }

void MemoryFileIo::resetCounts() {
    reads = writes = syncs = bytesRead = bytesWritten = 0;
    largestRead = 0;
    readsByHandle_.clear();
    smallReadsByHandle_.clear();
    writesByHandle_.clear();
    events.clear();
}

void MemoryFileIo::failNth(std::uint64_t n, std::uint32_t torn, bool forever) {
    failAtTransfer_ = transfers_ + n;
    tornBytes_ = torn;
    failForever_ = forever;
    failed_ = false;
}

void MemoryFileIo::stopFailing() {
    failAtTransfer_ = 0;
    failForever_ = false;
    failed_ = false;
}

bool MemoryFileIo::nthFailed() const { return failed_; }

void MemoryFileIo::crash() {
    for (auto& [name, data] : files) data = durable_[name];
    unsynced_.clear();
}

void MemoryFileIo::crashKeeping(const std::string& kept) {
    for (auto& [name, data] : files) {
        if (name == kept) durable_[name] = data;
        else data = durable_[name];
    }
    unsynced_.clear();
}

void MemoryFileIo::crashKeepingSome(std::uint64_t seed) {
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

int MemoryFileIo::open(const std::string& path, OpenMode mode, FileHandle* out) {
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

void MemoryFileIo::close(FileHandle h) {
    ++closes;
    handles_.erase(h);
    handleIdentities_.erase(h);
    readOnlyHandles_.erase(h);
    if (real) real->close(h);
}

int MemoryFileIo::readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
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
    if (!unreadable.empty()) {
        auto it = handles_.find(h);
        const auto bad = it == handles_.end() ? unreadable.end() : unreadable.find(it->second);
        if (bad != unreadable.end()) {
            FilePos first = pos + n;
            for (const auto& [from, to] : bad->second)
                if (from < pos + n && to > pos) first = std::min(first, std::max(from, pos));
            if (first < pos + n) {
                transfer(h, pos, buf, std::uint32_t(first - pos), done);
                return fail({30, EIO});
            }
        }
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

std::uint32_t MemoryFileIo::sectorSize(FileHandle h) {
    if (real) return real->sectorSize(h);
    return sectorBytes;
}

int MemoryFileIo::writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) {
    *done = 0;
    ++writes;
    bytesWritten += n;
    if (killAtWrite != 0 && writes == killAtWrite) raise(SIGKILL);
    if (driveFullAtWrite != 0 && writes >= driveFullAtWrite) driveFull = true;
    ++writesByHandle_[h];
    if (logEvents) events.push_back({'W', pos, n});
    if (!real && !memoryFile(h) && !syntheticFile(h)) return fail({6, EBADF});
    if (failWrites && !inReservedRoom(h, pos, n)) return fail({112, ENOSPC});
    if (driveFull && !inReservedRoom(h, pos, n) && (!memoryFile(h) || pos + n > memoryFile(h)->size()))
        return fail({112, ENOSPC});
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

int MemoryFileIo::size(FileHandle h, FilePos* out) {
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

int MemoryFileIo::setSize(FileHandle h, FilePos size) {
    if (failSetSize.code != 0) return fail(failSetSize);
    if (failForever_ && failed_) return fail({29, EIO});  // a killed program changes nothing more
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

int MemoryFileIo::reserve(FileHandle h, FilePos pos, FilePos n) {
    if (real) return real->reserve(h, pos, n);
    if (failWrites || driveFull || !memoryFile(h)) return 1;
    const std::string& path = handles_[h];
    if (failWrite.count(path)) return 1;
    FilePos& end = reservedEnd_[path];
    end = std::max(end, pos + n);
    return 0;
}

int MemoryFileIo::holdExclusively(FileHandle h) {
    return real ? real->holdExclusively(h) : 0;
}

int MemoryFileIo::sync(FileHandle h) {
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

int MemoryFileIo::lastWriteTime(FileHandle h, std::uint64_t* out) {
    if (real) return real->lastWriteTime(h, out);
    const auto* data = memoryFile(h);
    *out = timeFromContent && data ? contentTime(*data) : writeTime;
    return 0;
}

int MemoryFileIo::lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) {
    if (real) return real->lastWriteTimeOfPath(path, out);
    const auto it = files.find(path);
    if (it == files.end() && !synthetic_.count(path)) return fail({2, ENOENT});
    *out = timeFromContent && it != files.end() ? contentTime(it->second) : writeTime;
    return 0;
}

bool MemoryFileIo::exists(const std::string& path) {
    if (real) return real->exists(path);
    return files.count(path) || synthetic_.count(path) || directories.count(trimmed(path));
}

bool MemoryFileIo::isBlockDevice(const std::string& path) {
    if (real) return real->isBlockDevice(path);
    for (const auto* list : {&logicalDrives, &physicalDrives})
        for (const DriveInfo& d : *list)
            if (d.devicePath == path) return true;
    return false;
}

int MemoryFileIo::removeFile(const std::string& path) {
    if (real) return real->removeFile(path);
    if (!files.erase(path)) return fail({2, ENOENT});
    durable_.erase(path);
    unsynced_.erase(path);
    identities_.erase(path);
    return 0;
}

int MemoryFileIo::renameFile(const std::string& from, const std::string& to) {
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

int MemoryFileIo::copyFile(const std::string& from, const std::string& to) {
    if (real) return real->copyFile(from, to);
    if (!files.count(from)) return fail({2, ENOENT});
    if (needParentDirectory && !directories.count(parentOf(to))) return fail({2, ENOENT});  // as the system: no such file or directory
    files[to] = files[from];
    durable_[to] = files[from];
    unsynced_.erase(to);
    identities_[to] = nextIdentity_++;
    return 0;
}

int MemoryFileIo::makeDirectory(const std::string& path) {
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

int MemoryFileIo::removeDirectoryIfEmpty(const std::string& path) {
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

int MemoryFileIo::driveId(const std::string& path, std::uint64_t* out) {
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

int MemoryFileIo::diskSpace(const std::string& path, DiskSpace* out) {
    if (failSpaceQuery) return fail(ioError);
    if (real && !scriptedSpace) return real->diskSpace(path, out);
    *out = space;
    return 0;
}

int MemoryFileIo::makePrivateDirectory(const std::string& path) {
    if (real) return real->makePrivateDirectory(path);
    return makeDirectory(path);
}

int MemoryFileIo::fileIdentity(const std::string& path, FileIdentity* out) {
    if (real) return real->fileIdentity(path, out);
    const std::string p = canonicalPath(path);
    if (!files.count(p)) return 1;
    out->device = 1;
    out->inode = identityOf(p);
    return 0;
}

bool MemoryFileIo::sameFile(FileHandle a, FileHandle b) {
    if (real) return real->sameFile(a, b);
    FileIdentity x, y;
    return handleIdentity(a, &x) == 0 && handleIdentity(b, &y) == 0 && x == y;
}

int MemoryFileIo::handleIdentity(FileHandle h, FileIdentity* out) {
    if (real) return real->handleIdentity(h, out);
    auto it = handleIdentities_.find(h);
    if (it == handleIdentities_.end()) return 1;
    out->device = 1;
    out->inode = it->second;
    return 0;
}

std::string MemoryFileIo::canonicalPath(const std::string& path) {
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

void MemoryFileIo::listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) {
    if (real && useRealDrives) return real->listDrives(logical, physical);
    *logical = logicalDrives;
    *physical = physicalDrives;
}

SystemError MemoryFileIo::lastError() const { return real ? real->lastError() : last_; }

void MemoryFileIo::setLastError(SystemError e) {
    last_ = e;
    if (real) real->setLastError(e);
}

std::uint64_t MemoryFileIo::contentTime(const std::vector<std::uint8_t>& data) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::uint8_t b : data) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

std::uint64_t MemoryFileIo::identityOf(const std::string& path) {
    auto it = identities_.find(path);
    if (it == identities_.end()) it = identities_.emplace(path, nextIdentity_++).first;
    return it->second;
}

std::vector<std::uint8_t> MemoryFileIo::someOf(const std::vector<UnsyncedChange>& changes, std::vector<std::uint8_t> durable,
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

bool MemoryFileIo::inReservedRoom(FileHandle h, FilePos pos, std::uint32_t n) const {
    auto it = handles_.find(h);
    if (it == handles_.end()) return false;
    auto room = reservedEnd_.find(it->second);
    return room != reservedEnd_.end() && pos + n <= room->second;
}

int MemoryFileIo::fail(SystemError e) {
    setLastError(e);
    return 1;
}

bool MemoryFileIo::transferFails() {
    ++transfers_;
    if (failForever_ && failed_) return true;
    if (failAtTransfer_ != 0 && transfers_ == failAtTransfer_) {
        failed_ = true;
        return true;
    }
    return false;
}

std::uint64_t MemoryFileIo::countOf(const std::map<FileHandle, std::uint64_t>& counts, FileHandle h) {
    auto it = counts.find(h);
    return it == counts.end() ? 0 : it->second;
}

const MemoryFileIo::Synthetic* MemoryFileIo::syntheticFile(FileHandle h) const {
    auto it = handles_.find(h);
    if (it == handles_.end()) return nullptr;
    auto s = synthetic_.find(it->second);
    return s == synthetic_.end() ? nullptr : &s->second;
}

std::vector<std::uint8_t>* MemoryFileIo::memoryFile(FileHandle h) {
    auto it = handles_.find(h);
    if (it == handles_.end() || synthetic_.count(it->second)) return nullptr;
    return &files[it->second];
}

int MemoryFileIo::transfer(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) {
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

std::string MemoryFileIo::trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string MemoryFileIo::parentOf(const std::string& path) {
    std::string p = trimmed(path);
    std::size_t slash = p.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

}  // namespace quorby::testing
