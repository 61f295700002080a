// One set of expectations for the file layer, run against the in-memory
// double of the tests and against the real files of PosixFileIo: what the
// program's logic may rely on (transfers, lengths, syncing, cutting and
// growing, open modes, the identity of a file under its names, and the
// errors of failures) must hold for both, or the tests over the double prove
// nothing about the program on a real disk.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/posix/posix_file_io.h"
#include "tests/support/memory_file_io.h"
#include "tests/support/temp_dir.h"

namespace quorby::testing {
namespace {

struct MemoryFiles {
    MemoryFileIo io;
    std::string dir = "/conformance";
    MemoryFiles() {
        io.directories = {"/", dir};
        io.needParentDirectory = true;
        io.readOnlyHandlesRefuseWrites = true;  // as on disk; off by default for older tests
    }
};

struct RealFiles {
    TempDir temp;
    PosixFileIo io;
    std::string dir = temp.path();
};

template <class Files>
class FileIoConformance : public ::testing::Test {
protected:
    Files files;
    FileIo& io() { return files.io; }
    std::string path(const std::string& name) const { return files.dir + "/" + name; }

    FileHandle openOk(const std::string& name, OpenMode mode) {
        FileHandle h = kNoFile;
        EXPECT_EQ(io().open(path(name), mode, &h), 0) << name;
        EXPECT_NE(h, kNoFile) << name;
        return h;
    }
    void writeOk(FileHandle h, FilePos pos, const std::vector<std::uint8_t>& bytes) {
        std::uint32_t done = 0;
        EXPECT_EQ(io().writeAt(h, pos, bytes.data(), std::uint32_t(bytes.size()), &done), 0);
        EXPECT_EQ(done, bytes.size());
    }
    // Up to n bytes at pos: the bytes that came (the file's end is no error).
    std::vector<std::uint8_t> readOk(FileHandle h, FilePos pos, std::uint32_t n) {
        std::vector<std::uint8_t> bytes(n, 0xEE);
        std::uint32_t done = 12345;
        EXPECT_EQ(io().readAt(h, pos, bytes.data(), n, &done), 0);
        bytes.resize(done);
        return bytes;
    }
    FilePos sizeOf(FileHandle h) {
        FilePos size = 99;
        EXPECT_EQ(io().size(h, &size), 0);
        return size;
    }
    FileIdentity identityOfPath(const std::string& name) {
        FileIdentity id;
        EXPECT_EQ(io().fileIdentity(path(name), &id), 0) << name;
        return id;
    }
    FileIdentity identityOfHandle(FileHandle h) {
        FileIdentity id;
        EXPECT_EQ(io().handleIdentity(h, &id), 0);
        return id;
    }
    // The call failed with this errno and the message table's code of it.
    void expectFailure(int result, int sysErrno, std::uint32_t code, const char* what) {
        EXPECT_EQ(result, 1) << what;
        EXPECT_EQ(io().lastError().sysErrno, sysErrno) << what;
        EXPECT_EQ(io().lastError().code, code) << what;
    }
};

std::vector<std::uint8_t> pattern(std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = std::uint8_t(i * 7 + seed + (i >> 8));
    return bytes;
}

using Implementations = ::testing::Types<MemoryFiles, RealFiles>;
struct ImplementationName {
    template <class T>
    static std::string GetName(int) {
        return std::is_same_v<T, MemoryFiles> ? "MemoryFileIo" : "PosixFileIo";
    }
};
TYPED_TEST_SUITE(FileIoConformance, Implementations, ImplementationName);

TYPED_TEST(FileIoConformance, WritesReadsAndSizes) {
    const FileHandle h = this->openOk("data", OpenMode::CreateNew);
    EXPECT_EQ(this->sizeOf(h), 0u);
    EXPECT_TRUE(this->readOk(h, 0, 16).empty()) << "an empty file reads nothing, without an error";

    // A write beyond the end grows the file; the gap reads as zeros.
    this->writeOk(h, 100, {1, 2, 3, 4, 5});
    EXPECT_EQ(this->sizeOf(h), 105u);
    std::vector<std::uint8_t> expected(100, 0);
    expected.insert(expected.end(), {1, 2, 3, 4, 5});
    EXPECT_EQ(this->readOk(h, 0, 200), expected) << "a read over the end returns the bytes up to it";
    EXPECT_TRUE(this->readOk(h, 105, 10).empty());
    EXPECT_TRUE(this->readOk(h, 1u << 20, 10).empty());

    // Overwriting in the middle changes only those bytes.
    this->writeOk(h, 102, {9, 9});
    EXPECT_EQ(this->readOk(h, 100, 5), (std::vector<std::uint8_t>{1, 2, 9, 9, 5}));
    EXPECT_EQ(this->sizeOf(h), 105u);

    // A transfer larger than any buffer of the program, at an odd position.
    const auto big = pattern(300000, 3);
    this->writeOk(h, 4097, big);
    EXPECT_EQ(this->sizeOf(h), 4097u + big.size());
    EXPECT_EQ(this->readOk(h, 4097, std::uint32_t(big.size())), big);
    EXPECT_EQ(this->io().sync(h), 0);
    this->io().close(h);

    // What was written is there for the next opening; a second handle sees
    // the writes of the first at once.
    const FileHandle again = this->openOk("data", OpenMode::ReadOnly);
    EXPECT_EQ(this->sizeOf(again), 4097u + big.size());
    EXPECT_EQ(this->readOk(again, 100, 5), (std::vector<std::uint8_t>{1, 2, 9, 9, 5}));
    const FileHandle writer = this->openOk("data", OpenMode::ReadWrite);
    this->writeOk(writer, 0, {0x41});
    EXPECT_EQ(this->readOk(again, 0, 1), std::vector<std::uint8_t>{0x41});
    this->io().close(writer);
    this->io().close(again);
}

TYPED_TEST(FileIoConformance, CuttingGrowingAndTheOpenModes) {
    FileHandle h = this->openOk("sized", OpenMode::CreateReadWrite);
    const auto bytes = pattern(2000, 1);
    this->writeOk(h, 0, bytes);
    ASSERT_EQ(this->io().setSize(h, 50), 0);
    EXPECT_EQ(this->sizeOf(h), 50u);
    EXPECT_EQ(this->readOk(h, 0, 100), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 50));
    ASSERT_EQ(this->io().setSize(h, 3000), 0);
    EXPECT_EQ(this->sizeOf(h), 3000u);
    std::vector<std::uint8_t> grown(bytes.begin(), bytes.begin() + 50);
    grown.resize(3000, 0);
    EXPECT_EQ(this->readOk(h, 0, 4000), grown) << "growing adds zeros, the cut bytes do not come back";
    this->io().close(h);

    // CreateReadWrite keeps an existing file; Truncate empties it.
    h = this->openOk("sized", OpenMode::CreateReadWrite);
    EXPECT_EQ(this->sizeOf(h), 3000u);
    this->io().close(h);
    h = this->openOk("sized", OpenMode::Truncate);
    EXPECT_EQ(this->sizeOf(h), 0u);
    this->io().close(h);
    h = this->openOk("fresh", OpenMode::Truncate);
    EXPECT_EQ(this->sizeOf(h), 0u);
    this->io().close(h);
    EXPECT_TRUE(this->io().exists(this->path("fresh")));

    // A read-only handle refuses writes and leaves the file as it was.
    h = this->openOk("fresh", OpenMode::ReadOnly);
    std::uint32_t done = 7;
    const std::uint8_t one = 1;
    this->expectFailure(this->io().writeAt(h, 0, &one, 1, &done), EBADF, 6, "write through a read-only handle");
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(this->sizeOf(h), 0u);
    this->io().close(h);
}

TYPED_TEST(FileIoConformance, IdentityFollowsTheFileNotTheName) {
    const FileHandle a = this->openOk("a", OpenMode::CreateNew);
    this->writeOk(a, 0, {0xAA});
    const FileHandle b = this->openOk("b", OpenMode::CreateNew);
    const FileHandle a2 = this->openOk("a", OpenMode::ReadOnly);
    EXPECT_EQ(this->identityOfPath("a"), this->identityOfHandle(a));
    EXPECT_EQ(this->identityOfPath("./a"), this->identityOfHandle(a)) << "the same file under another spelling";
    EXPECT_FALSE(this->identityOfPath("a") == this->identityOfPath("b"));
    EXPECT_TRUE(this->io().sameFile(a, a2));
    EXPECT_FALSE(this->io().sameFile(a, b));
    EXPECT_EQ(this->io().canonicalPath(this->path("./a")), this->path("a"));
    FileIdentity none;
    EXPECT_EQ(this->io().fileIdentity(this->path("missing"), &none), 1);

    // Renamed while open: the handle still reaches the file and its identity
    // is the new name's.
    ASSERT_EQ(this->io().renameFile(this->path("a"), this->path("c")), 0);
    EXPECT_FALSE(this->io().exists(this->path("a")));
    EXPECT_EQ(this->identityOfPath("c"), this->identityOfHandle(a));
    EXPECT_EQ(this->readOk(a, 0, 4), std::vector<std::uint8_t>{0xAA});
    this->writeOk(a, 1, {0xBB});
    const FileHandle c = this->openOk("c", OpenMode::ReadOnly);
    EXPECT_EQ(this->readOk(c, 0, 4), (std::vector<std::uint8_t>{0xAA, 0xBB}));
    this->io().close(c);

    // Replaced by another file of the same name: the open handle's identity
    // no longer matches the name's. A copy is another file.
    ASSERT_EQ(this->io().removeFile(this->path("c")), 0);
    this->io().close(this->openOk("c", OpenMode::CreateNew));
    EXPECT_FALSE(this->identityOfPath("c") == this->identityOfHandle(a));
    ASSERT_EQ(this->io().copyFile(this->path("b"), this->path("d")), 0);
    EXPECT_FALSE(this->identityOfPath("d") == this->identityOfPath("b"));
    for (FileHandle h : {a, a2, b}) this->io().close(h);
}

TYPED_TEST(FileIoConformance, FailuresNameTheirCause) {
    FileIo& io = this->io();
    FileHandle h = 77;
    this->expectFailure(io.open(this->path("missing"), OpenMode::ReadOnly, &h), ENOENT, 2, "read-only, missing");
    EXPECT_EQ(h, kNoFile);
    this->expectFailure(io.open(this->path("missing"), OpenMode::ReadWrite, &h), ENOENT, 2, "read-write, missing");
    EXPECT_FALSE(io.exists(this->path("missing"))) << "a failed opening creates nothing";
    this->expectFailure(io.open(this->path("no/such/dir"), OpenMode::CreateReadWrite, &h), ENOENT, 2,
                        "create in a missing directory");
    this->io().close(this->openOk("here", OpenMode::CreateNew));
    this->expectFailure(io.open(this->path("here"), OpenMode::CreateNew, &h), EEXIST, 80, "create new, present");
    std::uint64_t time = 0;
    this->expectFailure(io.lastWriteTimeOfPath(this->path("missing"), &time), ENOENT, 2, "time of a missing file");
    this->expectFailure(io.removeFile(this->path("missing")), ENOENT, 2, "remove a missing file");
    this->expectFailure(io.renameFile(this->path("missing"), this->path("x")), ENOENT, 2, "rename a missing file");
    EXPECT_EQ(io.copyFile(this->path("missing"), this->path("here")), 1);
    EXPECT_TRUE(io.exists(this->path("here"))) << "a failed copy leaves the target";

    // Directories: an existing one counts as made, a file in the way or a
    // missing parent does not; only an empty one is removed.
    EXPECT_EQ(io.makeDirectory(this->path("sub")), 0);
    EXPECT_EQ(io.makeDirectory(this->path("sub")), 0);
    EXPECT_TRUE(io.exists(this->path("sub")));
    EXPECT_EQ(io.makeDirectory(this->path("here")), 1);
    this->expectFailure(io.makeDirectory(this->path("none/sub")), ENOENT, 2, "directory in a missing one");
    this->io().close(this->openOk("sub/inside", OpenMode::CreateNew));
    EXPECT_EQ(io.removeDirectoryIfEmpty(this->path("sub")), 1);
    EXPECT_TRUE(io.exists(this->path("sub/inside")));
    ASSERT_EQ(io.removeFile(this->path("sub/inside")), 0);
    EXPECT_EQ(io.removeDirectoryIfEmpty(this->path("sub")), 0);
    EXPECT_FALSE(io.exists(this->path("sub")));
}

// The double's power loss that keeps a seeded part of the unsynced writes
// (the crash loops' cut that is not whole files): each sector shows the
// state after some of its own writes, in their order, and nothing synced is
// lost; the same seed gives the same files.
TEST(MemoryFileIoCrash, KeepingSomeWritesKeepsWholeSectorsInOrder) {
    auto run = [](std::uint64_t seed) {
        MemoryFileIo io;
        io.keepUnsyncedChanges = true;
        FileHandle h = kNoFile;
        EXPECT_EQ(io.open("/f", OpenMode::CreateNew, &h), 0);
        std::vector<std::uint8_t> block(4 * 512, 0x11);
        std::uint32_t done = 0;
        io.writeAt(h, 0, block.data(), std::uint32_t(block.size()), &done);
        io.sync(h);
        // Three rounds over sectors 1-3, each round one write across them.
        for (std::uint8_t round = 1; round <= 3; ++round) {
            std::vector<std::uint8_t> bytes(3 * 512, std::uint8_t(0x20 * round));
            io.writeAt(h, 512, bytes.data(), std::uint32_t(bytes.size()), &done);
        }
        io.crashKeepingSome(seed);
        return io.files["/f"];
    };
    std::set<std::vector<std::uint8_t>> seen;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const auto after = run(seed);
        EXPECT_EQ(after, run(seed)) << "seed " << seed;
        ASSERT_EQ(after.size(), 4u * 512);
        EXPECT_EQ(std::vector<std::uint8_t>(after.begin(), after.begin() + 512), std::vector<std::uint8_t>(512, 0x11))
            << "the synced sector 0";
        for (int sector = 1; sector <= 3; ++sector) {
            const std::uint8_t first = after[sector * 512];
            EXPECT_TRUE(first == 0x11 || first == 0x20 || first == 0x40 || first == 0x60) << int(first);
            for (int i = 1; i < 512; ++i) ASSERT_EQ(after[sector * 512 + i], first) << "sector " << sector << " torn";
        }
        seen.insert(after);
    }
    EXPECT_GT(seen.size(), 10u) << "the seeds choose different sectors and rounds";
}

}  // namespace
}  // namespace quorby::testing
