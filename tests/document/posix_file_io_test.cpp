#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>

#include "platform/posix/errno_map.h"
#include "platform/posix/posix_file_io.h"
#include "tests/document/store_fixture.h"

namespace quorby::test {
namespace {

using PosixFileIoTest = StoreTest;

TEST_F(PosixFileIoTest, FailuresKeepTheMappedError) {
    PosixFileIo files;
    FileHandle h = 123;
    EXPECT_EQ(files.open(dir + "missing", OpenMode::ReadOnly, &h), 1);
    EXPECT_EQ(h, kNoFile);
    EXPECT_EQ(files.lastError().sysErrno, ENOENT);
    EXPECT_EQ(files.lastError().code, 2u);
    EXPECT_EQ(files.open(writeFile("exists", {1}), OpenMode::CreateNew, &h), 1);
    EXPECT_EQ(files.lastError().code, 80u);
    EXPECT_EQ(files.makeDirectory(dir + "exists"), 1);  // a file in the way
    EXPECT_EQ(files.makeDirectory(dir), 0);             // an existing directory is fine

    // Directories and FIFOs are refused at once; a FIFO must not block.
    EXPECT_EQ(files.open(dir, OpenMode::ReadOnly, &h), 1);
    EXPECT_EQ(files.lastError().sysErrno, EISDIR);
    ASSERT_EQ(mkfifo((dir + "fifo").c_str(), 0600), 0);
    EXPECT_EQ(files.open(dir + "fifo", OpenMode::ReadOnly, &h), 1);
    EXPECT_EQ(files.lastError().code, windowsErrorCode(EINVAL, false));
}

TEST_F(PosixFileIoTest, TransfersAndSizes) {
    PosixFileIo files;
    FileHandle h = kNoFile;
    std::string path = dir + "data";
    ASSERT_EQ(files.open(path, OpenMode::CreateNew, &h), 0);
    EXPECT_NE(fcntl(h, F_GETFD) & FD_CLOEXEC, 0);
    auto bytes = patternBytes(5000);
    std::uint32_t done = 0;
    ASSERT_EQ(files.writeAt(h, 100, bytes.data(), 5000, &done), 0);
    FilePos size = 0;
    ASSERT_EQ(files.size(h, &size), 0);
    EXPECT_EQ(size, 5100u);
    std::vector<std::uint8_t> back(6000);
    ASSERT_EQ(files.readAt(h, 100, back.data(), 6000, &done), 0);  // the file's end is no error
    EXPECT_EQ(done, 5000u);
    EXPECT_EQ(slice(back, 0, 5000), bytes);
    // Positions past the signed file offset fail instead of wrapping around.
    EXPECT_EQ(files.readAt(h, FilePos(LLONG_MAX), back.data(), 2, &done), 1);
    EXPECT_EQ(files.lastError().code, 87u);
    ASSERT_EQ(files.setSize(h, 10), 0);
    ASSERT_EQ(files.size(h, &size), 0);
    EXPECT_EQ(size, 10u);
    files.close(h);

    ASSERT_EQ(files.open(path, OpenMode::ReadOnly, &h), 0);
    EXPECT_EQ(files.writeAt(h, 0, bytes.data(), 1, &done), 1);
    EXPECT_EQ(files.lastError().sysErrno, EBADF);
    files.close(h);
}

TEST_F(PosixFileIoTest, LastWriteTimeIsAWindowsFileTime) {
    EXPECT_EQ(windowsFileTime(0, 0), 116444736000000000ULL);
    EXPECT_EQ(windowsFileTime(-11644473601LL, 0), 0u);  // before 1601
    std::string path = writeFile("stamped", {1});
    timespec times[2] = {{1700000000, 0}, {1700000000, 987654321}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    PosixFileIo files;
    std::uint64_t byPath = 0;
    ASSERT_EQ(files.lastWriteTimeOfPath(path, &byPath), 0);
    EXPECT_EQ(byPath, (1700000000ULL + 11644473600ULL) * 10000000ULL + 9876543ULL);
}

TEST_F(PosixFileIoTest, CopyReplacesOnlyAfterASuccessfulCopy) {
    PosixFileIo files;
    auto big = patternBytes(200000, 5);  // several rounds of the copy buffer
    std::string from = writeFile("source", big), to = writeFile("target", {9, 9, 9});
    ASSERT_EQ(chmod(from.c_str(), 0640), 0);
    ASSERT_EQ(files.copyFile(from, to), 0);
    std::ifstream in(to, std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), big);
    struct stat st;
    ASSERT_EQ(stat(to.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    EXPECT_EQ(files.copyFile(dir + "missing", to), 1);
    EXPECT_EQ(std::filesystem::file_size(to), big.size());  // the target is untouched
    EXPECT_EQ(files.copyFile(from, dir + "no/dir/target"), 1);
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) entries += e.exists();
    EXPECT_EQ(entries, 2) << "no temporary file is left behind";

    std::uint64_t here = 0, notYet = 0;
    ASSERT_EQ(files.driveId(dir, &here), 0);
    ASSERT_EQ(files.driveId(dir + "a/b/c.jnl", &notYet), 0);  // the nearest existing parent
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(here, std::uint64_t(st.st_dev));
    EXPECT_EQ(notYet, here);
}

}  // namespace
}  // namespace quorby::test
