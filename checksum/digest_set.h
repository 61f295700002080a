#pragma once
// Digests of one stream of bytes, several algorithms in one pass: CRC32 from
// zlib, MD5, SHA1, SHA256 and SHA512 from OpenSSL's libcrypto. The bytes go
// through each chosen algorithm in turn, block by block, so a file is read
// once whatever the number of algorithms.
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorby {

enum ChecksumAlgorithm : unsigned {
    kChecksumCrc32 = 1u << 0,
    kChecksumMd5 = 1u << 1,
    kChecksumSha1 = 1u << 2,
    kChecksumSha256 = 1u << 3,
    kChecksumSha512 = 1u << 4,
};
inline constexpr unsigned kAllChecksums = 0x1F;
inline constexpr int kChecksumAlgorithmCount = 5;

struct ChecksumAlgorithmName {
    unsigned bit;
    const char* name;  // as the result shows it: "SHA256"
    const char* word;  // as a script names it: "sha256"
};

// The algorithms in the order the results list them.
const ChecksumAlgorithmName* checksumAlgorithms();
// The bit of a script's name of an algorithm ("crc32", "md5", ...), without
// regard to case; 0 for none.
unsigned checksumAlgorithmOfWord(const std::string& word);

// The digests of one pass. It owns libcrypto's hashing contexts, so it is
// neither copied nor moved.
class DigestSet {
public:
    DigestSet() = default;
    ~DigestSet();
    DigestSet(const DigestSet&) = delete;
    DigestSet& operator=(const DigestSet&) = delete;

    // Starts afresh with the algorithms of `algorithms` (kChecksum* bits).
    // Result 1 when libcrypto could not set one up.
    [[nodiscard]] int begin(unsigned algorithms);
    // Adds `n` bytes to every chosen digest. Result 1 when libcrypto failed.
    [[nodiscard]] int update(const std::uint8_t* bytes, std::size_t n);
    // Ends the pass: digests[i] receives the lower-case hexadecimal digest of
    // checksumAlgorithms()[i] when chosen, else stays empty. Result 1 when
    // libcrypto failed.
    [[nodiscard]] int finish(std::string digests[kChecksumAlgorithmCount]);
    unsigned algorithms() const { return algorithms_; }

private:
    void release();
    unsigned algorithms_ = 0;
    std::uint32_t crc_ = 0;
    void* contexts_[kChecksumAlgorithmCount] = {};  // EVP_MD_CTX*, one per libcrypto algorithm
};

}  // namespace quorby
