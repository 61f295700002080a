#include "checksum/digest_set.h"

#include <openssl/evp.h>
#include <zlib.h>

namespace quorby {
namespace {

constexpr ChecksumAlgorithmName kAlgorithms[kChecksumAlgorithmCount] = {
    {kChecksumCrc32, "CRC32", "crc32"},    {kChecksumMd5, "MD5", "md5"},
    {kChecksumSha1, "SHA1", "sha1"},       {kChecksumSha256, "SHA256", "sha256"},
    {kChecksumSha512, "SHA512", "sha512"},
};

// libcrypto's algorithm of a slot; nullptr for the CRC, which zlib computes.
const EVP_MD* digestOf(int slot) {
    switch (kAlgorithms[slot].bit) {
    case kChecksumMd5: return EVP_md5();
    case kChecksumSha1: return EVP_sha1();
    case kChecksumSha256: return EVP_sha256();
    case kChecksumSha512: return EVP_sha512();
    default: return nullptr;
    }
}

std::string lowerHex(const unsigned char* bytes, unsigned n) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * n);
    for (unsigned i = 0; i < n; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

// zlib takes at most an unsigned int of bytes per call.
constexpr std::size_t kCrcChunk = std::size_t(1) << 30;

}  // namespace

const ChecksumAlgorithmName* checksumAlgorithms() { return kAlgorithms; }

unsigned checksumAlgorithmOfWord(const std::string& word) {
    std::string lower;
    for (char c : word) lower += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const ChecksumAlgorithmName& a : kAlgorithms)
        if (lower == a.word) return a.bit;
    return 0;
}

DigestSet::~DigestSet() { release(); }

void DigestSet::release() {
    for (void*& context : contexts_) {
        EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(context));
        context = nullptr;
    }
    algorithms_ = 0;
}

int DigestSet::begin(unsigned algorithms) {
    release();
    algorithms_ = algorithms & kAllChecksums;
    crc_ = std::uint32_t(crc32(0L, Z_NULL, 0));
    for (int i = 0; i < kChecksumAlgorithmCount; ++i) {
        const EVP_MD* md = digestOf(i);
        if (md == nullptr || (algorithms_ & kAlgorithms[i].bit) == 0) continue;
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        contexts_[i] = context;
        if (context == nullptr || EVP_DigestInit_ex(context, md, nullptr) != 1) return 1;
    }
    return 0;
}

int DigestSet::update(const std::uint8_t* bytes, std::size_t n) {
    if (algorithms_ & kChecksumCrc32)
        for (std::size_t at = 0; at < n; at += kCrcChunk) {
            const std::size_t part = n - at < kCrcChunk ? n - at : kCrcChunk;
            crc_ = std::uint32_t(crc32(crc_, bytes + at, unsigned(part)));
        }
    for (void* context : contexts_)
        if (context != nullptr && EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(context), bytes, n) != 1) return 1;
    return 0;
}

int DigestSet::finish(std::string digests[kChecksumAlgorithmCount]) {
    for (int i = 0; i < kChecksumAlgorithmCount; ++i) digests[i].clear();
    if (algorithms_ & kChecksumCrc32) {
        const unsigned char crcBytes[4] = {std::uint8_t(crc_ >> 24), std::uint8_t(crc_ >> 16), std::uint8_t(crc_ >> 8),
                                           std::uint8_t(crc_)};
        digests[0] = lowerHex(crcBytes, 4);
    }
    int result = 0;
    for (int i = 0; i < kChecksumAlgorithmCount; ++i) {
        auto* context = static_cast<EVP_MD_CTX*>(contexts_[i]);
        if (context == nullptr) continue;
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned length = 0;
        if (EVP_DigestFinal_ex(context, digest, &length) != 1) {
            result = 1;
            continue;
        }
        digests[i] = lowerHex(digest, length);
    }
    release();
    return result;
}

}  // namespace quorby
