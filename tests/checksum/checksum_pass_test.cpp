// The checksum engine against digests that md5sum, sha1sum, sha256sum,
// sha512sum and gzip's CRC printed for the same bytes.
#include <gtest/gtest.h>

#include <vector>

#include "checksum/checksum_pass.h"

namespace quorby {
namespace {

// The content of a file in memory; sectors listed in `unreadable` read as
// zeros and are reported as gaps, a read at or past `failAt` fails.
class MemoryContent : public ChecksumReader {
public:
    explicit MemoryContent(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, ReadGaps* gaps) override {
        gaps->count = 0;
        if (pos + n > failAt) return 1;
        for (std::uint32_t i = 0; i < n; ++i) out[i] = bytes_.at(pos + i);
        for (const auto& [from, length] : unreadable) {
            if (from + length <= pos || from >= pos + n) continue;
            const FilePos a = std::max(from, pos), b = std::min(from + length, pos + n);
            std::memset(out + (a - pos), 0, b - a);
            gaps->offset[gaps->count] = std::uint32_t(a - pos);
            gaps->length[gaps->count] = std::uint32_t(b - a);
            ++gaps->count;
        }
        ++reads;
        return 0;
    }
    std::vector<std::pair<FilePos, FilePos>> unreadable;
    FilePos failAt = ~FilePos{0};
    int reads = 0;

private:
    std::vector<std::uint8_t> bytes_;
};

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// The bytes of /tmp/pat.bin as the reference digests were taken of:
// byte i = (7 i + i / 512) mod 256, 1 MiB and 5 bytes.
std::vector<std::uint8_t> pattern() {
    std::vector<std::uint8_t> d(1048581);
    for (std::size_t i = 0; i < d.size(); ++i) d[i] = std::uint8_t(i * 7 + (i >> 9));
    return d;
}

ChecksumStep runPass(ChecksumPass& pass, ChecksumReader& reader, FilePos start, FilePos length, unsigned algorithms,
                     std::uint32_t blockSize, ChecksumResult* result) {
    pass.blockSize = blockSize;
    EXPECT_EQ(startChecksumPass(pass, start, length, algorithms), 0);
    std::vector<std::uint8_t> block(blockSize);
    ChecksumStep step;
    while ((step = checksumNextBlock(pass, reader, block.data())) == ChecksumStep::More) {}
    if (step == ChecksumStep::Done) {
        EXPECT_EQ(finishChecksumPass(pass, *result), 0);
    }
    return step;
}

TEST(ChecksumPass, KnownDigestsOfShortTexts) {
    const struct {
        const char* text;
        const char* crc32;
        const char* md5;
        const char* sha1;
        const char* sha256;
        const char* sha512;
    } vectors[] = {
        {"", "00000000", "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709",
         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
         "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e"},
        {"abc", "352441c2", "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {"123456789", "cbf43926", "25f9e794323b453885f5181f1b624d0b", "f7c3bc1d808e04732adf679965ccc34ca7ae3441",
         "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225",
         "d9e6762dd1c8eaf6d61b3c6192fc408d4d6d5f1176d0c29169bc24e71c3f274ad27fcd5811b313d681f7e55ec02d73d499c95455b6b5bb503acf574fba8ffe85"},
    };
    for (const auto& v : vectors) {
        MemoryContent content(bytesOf(v.text));
        ChecksumPass pass;
        ChecksumResult r;
        // Blocks of 2 bytes: the short texts are digested in several updates.
        ASSERT_EQ(runPass(pass, content, 0, std::strlen(v.text), kAllChecksums, 2, &r), ChecksumStep::Done);
        EXPECT_EQ(r.digests[0], v.crc32) << v.text;
        EXPECT_EQ(r.digests[1], v.md5) << v.text;
        EXPECT_EQ(r.digests[2], v.sha1) << v.text;
        EXPECT_EQ(r.digests[3], v.sha256) << v.text;
        EXPECT_EQ(r.digests[4], v.sha512) << v.text;
        EXPECT_EQ(checksumLine(r, 0), std::string("CRC32 ") + v.crc32);
        EXPECT_EQ(checksumLine(r, 3), std::string("SHA256 ") + v.sha256);
        EXPECT_EQ(r.unreadable.count, 0);
    }
}

TEST(ChecksumPass, BlockSizeAndChosenAlgorithmsChangeNothingButWhatIsShown) {
    MemoryContent content(pattern());
    for (std::uint32_t blockSize : {4096u, 65536u, kChecksumBlockSize}) {
        ChecksumPass pass;
        ChecksumResult r;
        ASSERT_EQ(runPass(pass, content, 0, 1048581, kChecksumSha256 | kChecksumCrc32, blockSize, &r),
                  ChecksumStep::Done);
        EXPECT_EQ(r.digests[3], "899f6c44757f26bbfe1f9c1503651a69db816e79f50be682a62f716c394083aa") << blockSize;
        EXPECT_EQ(r.digests[0], "1ef4a9da") << blockSize;
        EXPECT_EQ(r.digests[1], "");  // MD5 was not asked for
        EXPECT_EQ(r.digests[4], "");
        EXPECT_EQ(r.start, 0u);
        EXPECT_EQ(r.length, 1048581u);
    }
    // Only MD5, over the same bytes.
    ChecksumPass pass;
    ChecksumResult r;
    ASSERT_EQ(runPass(pass, content, 0, 1048581, kChecksumMd5, 8192, &r), ChecksumStep::Done);
    EXPECT_EQ(r.digests[1], "a67dd45186ed32cdf389dbb855ebfa31");
    EXPECT_EQ(r.digests[0], "");
    EXPECT_EQ(r.algorithms, unsigned(kChecksumMd5));
}

TEST(ChecksumPass, ARangeInsideTheContentIsDigestedAlone) {
    // "123456789" in the middle of other bytes: the digest of those nine bytes.
    MemoryContent content(bytesOf("xx123456789yyyy"));
    ChecksumPass pass;
    ChecksumResult r;
    ASSERT_EQ(runPass(pass, content, 2, 9, kAllChecksums, 4, &r), ChecksumStep::Done);
    EXPECT_EQ(r.digests[0], "cbf43926");
    EXPECT_EQ(r.digests[3], "15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225");
    EXPECT_EQ(r.start, 2u);
    EXPECT_EQ(r.length, 9u);
}

TEST(ChecksumPass, UnreadableSectorsCountAsZerosAndAreListed) {
    // The digest is the one of /tmp/patz.bin: the pattern with bytes
    // 0x1000 .. 0x11FF zeroed, as the unreadable sector reads.
    MemoryContent content(pattern());
    content.unreadable = {{0x1000, 0x200}};
    ChecksumPass pass;
    ChecksumResult r;
    ASSERT_EQ(runPass(pass, content, 0, 1048581, kChecksumSha256, 0x1100, &r), ChecksumStep::Done);
    EXPECT_EQ(r.digests[3], "3009700556afdde729aab5c052750e021c8030245832b7476d26dedc8dd2e506");
    ASSERT_EQ(r.unreadable.count, 1);  // the sector crossed two blocks: one range
    EXPECT_EQ(r.unreadable.start[0], 0x1000u);
    EXPECT_EQ(r.unreadable.end[0], 0x1200u);
}

TEST(ChecksumPass, AFailedReadEndsThePassAndAnAlgorithmWordNamesOne) {
    MemoryContent content(pattern());
    content.failAt = 20000;
    ChecksumPass pass;
    ChecksumResult r;
    EXPECT_EQ(runPass(pass, content, 0, 1048581, kAllChecksums, 4096, &r), ChecksumStep::Failed);
    EXPECT_EQ(content.reads, 4);  // the fifth block reaches past 20000

    EXPECT_EQ(checksumAlgorithmOfWord("SHA256"), unsigned(kChecksumSha256));
    EXPECT_EQ(checksumAlgorithmOfWord("crc32"), unsigned(kChecksumCrc32));
    EXPECT_EQ(checksumAlgorithmOfWord("sha-256"), 0u);
    EXPECT_EQ(checksumAlgorithmOfWord(""), 0u);
}

}  // namespace
}  // namespace quorby
