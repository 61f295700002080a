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

    std::vector<std::uint8_t>& bytes(const std::string& path);
    void addSyntheticFile(const std::string& path, FilePos size, std::function<std::uint8_t(FilePos)> byteAt);

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

    std::uint64_t readsOf(FileHandle h) const;
    std::uint64_t smallReadsOf(FileHandle h) const;
    std::uint64_t writesOf(FileHandle h) const;
    int openHandles() const;
    void resetCounts();

    // ---- scripted failures -------------------------------------------------------
    SystemError ioError{30, EIO};                 // of failing reads and space queries
    std::map<std::string, SystemError> failOpen;  // path -> error of its opening
    SystemError failOpenForWriting{};             // code other than 0: openings not ReadOnly fail with it
    std::map<std::string, SystemError> failMakeDirectory;
    std::map<std::string, SystemError> failRead;  // path -> error of every read of it (nothing moves)
    // The read covering this position stops there and fails with ioError.
    std::optional<FilePos> failReadAt;
    // A dying drive: path -> byte ranges [first, second) that cannot be read.
    // A read that touches one delivers the bytes before it and fails with
    // EIO, every time (however small the read).
    std::map<std::string, std::vector<std::pair<FilePos, FilePos>>> unreadable;
    std::uint32_t sectorBytes = 512;  // what sectorSize answers
    std::uint32_t sectorSize(FileHandle h) override;
    // Reads from this call on (1-based, counted while it is set) fail with
    // ioError after delivering at most readLimit bytes; 0: never.
    int failFromRead = 0;
    std::uint32_t readLimit = 0xFFFFFFFFu;
    bool failWrites = false;                      // every write fails, but into room set aside: drive full
    // A full drive as file systems have it: what needs new room (past a
    // file's end and the room set aside) fails; overwriting stays possible.
    bool driveFull = false;
    // The drive fills up at write number driveFullAtWrite (1-based, counted
    // as `writes`): driveFull is set from that write on; 0: never.
    std::uint64_t driveFullAtWrite = 0;
    std::map<std::string, SystemError> failWrite; // path -> error of every write into it (nothing moves)
    bool readOnlyHandlesRefuseWrites = false;     // writes through a handle opened ReadOnly fail, as on disk
    std::uint32_t writeLimit = 0xFFFFFFFFu;       // bytes a write moves before it stops without an error
    // The process is killed (SIGKILL) just before write number killAtWrite
    // (1-based, counted as `writes`); 0: never.
    std::uint64_t killAtWrite = 0;
    bool failSpaceQuery = false;                  // diskSpace fails with ioError
    SystemError failSetSize{};                    // code other than 0: setSize fails with it

    // The nth transfer (read or write) from now fails: a read moves nothing,
    // a write moves `torn` bytes first; with `forever` every transfer, sync
    // and length change after it fails too, like a killed program.
    void failNth(std::uint64_t n, std::uint32_t torn = 0, bool forever = false);
    void stopFailing();
    // The scripted nth transfer has happened (and failed).
    bool nthFailed() const;
    // Power loss: every file falls back to its content as of its last sync.
    void crash();
    // Power loss after the system wrote back all of `kept` but nothing of
    // the other files since their last sync.
    void crashKeeping(const std::string& kept);
    // Power loss after the system wrote back some of the writes since the
    // last sync, in any order, as a disk's write cache does: each 512-byte
    // sector of each file ends up as it was after some number of the writes
    // into it (none, some or all of them, in their order; a sector is
    // written whole or not at all), and a file's length after some number of
    // its length changes. The choice follows `seed`, so a run can be
    // repeated.
    // It needs keepUnsyncedChanges set before the writes.
    void crashKeepingSome(std::uint64_t seed);

    // Keeps every write and length change since each file's last sync, for
    // crashKeepingSome (off: memory stays that of the files alone).
    bool keepUnsyncedChanges = false;

    // ---- FileIo ------------------------------------------------------------------
    int open(const std::string& path, OpenMode mode, FileHandle* out) override;
    void close(FileHandle h) override;

    int readAt(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done) override;

    int writeAt(FileHandle h, FilePos pos, const void* buf, std::uint32_t n, std::uint32_t* done) override;

    int size(FileHandle h, FilePos* out) override;
    int setSize(FileHandle h, FilePos size) override;
    // Room is there unless the drive is full or the file refuses writes;
    // once set aside, writes into it succeed on a full drive as well.
    int reserve(FileHandle h, FilePos pos, FilePos n) override;
    int sync(FileHandle h) override;
    // Passed on to `real`; files in memory have no second instance to meet.
    int holdExclusively(FileHandle h) override;
    int lastWriteTime(FileHandle h, std::uint64_t* out) override;
    int lastWriteTimeOfPath(const std::string& path, std::uint64_t* out) override;

    bool exists(const std::string& path) override;
    bool isBlockDevice(const std::string& path) override;
    int removeFile(const std::string& path) override;
    int renameFile(const std::string& from, const std::string& to) override;
    int copyFile(const std::string& from, const std::string& to) override;
    int makeDirectory(const std::string& path) override;
    int removeDirectoryIfEmpty(const std::string& path) override;
    int driveId(const std::string& path, std::uint64_t* out) override;
    int diskSpace(const std::string& path, DiskSpace* out) override;
    int makePrivateDirectory(const std::string& path) override;
    // A file's identity is a number it gets when it is created; it keeps it
    // when renamed, and a file created anew under the same name gets
    // another. A handle keeps the identity of the file it opened.
    int fileIdentity(const std::string& path, FileIdentity* out) override;
    bool sameFile(FileHandle a, FileHandle b) override;
    int handleIdentity(FileHandle h, FileIdentity* out) override;
    std::string canonicalPath(const std::string& path) override;
    void listDrives(std::vector<DriveInfo>* logical, std::vector<DriveInfo>* physical) override;

    SystemError lastError() const override;
    void setLastError(SystemError e) override;

private:
    static std::uint64_t contentTime(const std::vector<std::uint8_t>& data);
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

    std::uint64_t identityOf(const std::string& path);
    // `durable` with a random choice of `changes` applied (crashKeepingSome).
    static std::vector<std::uint8_t> someOf(const std::vector<UnsyncedChange>& changes, std::vector<std::uint8_t> durable,
                                            std::mt19937_64& random);

    bool inReservedRoom(FileHandle h, FilePos pos, std::uint32_t n) const;
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

    int fail(SystemError e);
    bool transferFails();
    static std::uint64_t countOf(const std::map<FileHandle, std::uint64_t>& counts, FileHandle h);
    const Synthetic* syntheticFile(FileHandle h) const;
    // The bytes of an open in-memory file (null for an unknown handle).
    std::vector<std::uint8_t>* memoryFile(FileHandle h);
    // Reads up to n bytes at pos; fewer at the end of the file is no error.
    int transfer(FileHandle h, FilePos pos, void* buf, std::uint32_t n, std::uint32_t* done);
    static std::string trimmed(std::string path);
    static std::string parentOf(const std::string& path);
};

}  // namespace quorby::testing
