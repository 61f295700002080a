#pragma once
// What libcrypto makes of some bytes, as lower-case hex text: the reference
// the checksum tests compare the program's digests with.
#include <openssl/evp.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace quorby::testing {

inline std::string digestText(const EVP_MD* md, const void* bytes, std::size_t n) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned length = 0;
    if (EVP_Digest(bytes, n, digest, &length, md, nullptr) != 1) return "(libcrypto failed)";
    std::string text;
    char pair[3];
    for (unsigned i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        text += pair;
    }
    return text;
}

}  // namespace quorby::testing
