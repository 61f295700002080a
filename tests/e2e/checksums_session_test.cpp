// Checksums through the batch mode: print checksums and the "&Checksums..."
// window, over the content as shown after typing. The expected digests are
// libcrypto's of the bytes a user sees, put together by the test.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <string>

#include "e2e_support.h"
#include "tests/support/digest_text.h"

namespace quorby::e2e {
namespace {

std::string digestOf(const EVP_MD* md, const std::string& bytes) {
    return testing::digestText(md, bytes.data(), bytes.size());
}

TEST(ChecksumsSession, PrintChecksumsSeesTypedBytesAndTheSelection) {
    TempDir dir;
    std::string image(3000, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = char(i * 31 + 7);
    writeFile(dir.file("data.bin"), image);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("data.bin") + "\n"
                                "type 414243\n"
                                "print checksums sha256\n"
                                "key Ctrl+Home\n"
                                "key Shift+Right*15\n"
                                "print checksums md5\n"
                                "print checksums\n"
                                "answer no\n"
                                "quit\n",
                                dir.path());
    ASSERT_EQ(run.status, 0) << run.transcript;
    std::string shown = image;
    shown[0] = 'A';
    shown[1] = 'B';
    shown[2] = 'C';
    EXPECT_TRUE(run.has("CHECKSUMS 0x0 0xBB8\nSHA256 " + digestOf(EVP_sha256(), shown) + "\n")) << run.transcript;
    // Shift+Right 15 times from the first byte: the first 16 bytes.
    EXPECT_TRUE(run.has("CHECKSUMS 0x0 0x10\nMD5 " + digestOf(EVP_md5(), shown.substr(0, 16)) + "\n"))
        << run.transcript;
    EXPECT_TRUE(run.has("SHA512 " + digestOf(EVP_sha512(), shown.substr(0, 16)) + "\n")) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "CRC32 "), 1) << run.transcript;
    // Answered No at exit: the file keeps its bytes.
    EXPECT_EQ(readFile(dir.file("data.bin")), image);
}

TEST(ChecksumsSession, TheMenuItemShowsTheWindowAndBadNamesAreRefused) {
    TempDir dir;
    writeFile(dir.file("abc.bin"), "abc");
    BatchRun run = runInProcess("answer no\n"
                                "print checksums\n"
                                "open " + dir.file("abc.bin") + "\n"
                                "command \"&Checksums...\"\n"
                                "quit\n",
                                dir.path());
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_TRUE(run.has("CHECKSUMS NOT RUN")) << run.transcript;
    EXPECT_TRUE(run.has("DIALOG \"Checksums\"")) << run.transcript;
    EXPECT_TRUE(run.has("\"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\"")) << run.transcript;
    EXPECT_TRUE(run.has("\"352441c2\"")) << run.transcript;

    BatchRun bad = runInProcess("print checksums sha3\n", dir.path());
    EXPECT_NE(bad.status, 0);
    EXPECT_TRUE(bad.has("unknown checksum sha3")) << bad.transcript;
}

}  // namespace
}  // namespace quorby::e2e
