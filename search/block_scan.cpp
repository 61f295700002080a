#include "search/block_scan.h"

#include <array>
#include <cstring>

#include "search/case_fold.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QUORBY_SCAN_X86 1
#endif

namespace quorby {
namespace {

// How common a byte value is in typical files and drives, 0 (rare) .. 255
// (everywhere): zero and 0xFF fill, blanks, text, line ends. Only the order
// matters: the two rarest pattern bytes become the anchors.
std::array<std::uint8_t, 256> buildFrequencyScores() {
    std::array<std::uint8_t, 256> s{};
    for (int b = 0; b < 256; ++b) s[b] = 40;                  // bytes above 0x7F
    for (int b = 0x01; b < 0x20; ++b) s[b] = 60;              // control bytes
    for (int b = 0x21; b < 0x7F; ++b) s[b] = 110;             // signs
    for (int b = '0'; b <= '9'; ++b) s[b] = 150;
    for (int b = 'A'; b <= 'Z'; ++b) s[b] = 120;
    for (int b = 'a'; b <= 'z'; ++b) s[b] = 160;
    // Letters by their share of English and German text, most common first.
    const char* common = "etaoinsrhldcu";
    for (int i = 0; common[i]; ++i) s[std::uint8_t(common[i])] = std::uint8_t(230 - 5 * i);
    const char* rare = "qxzjkvw";
    for (int i = 0; rare[i]; ++i) s[std::uint8_t(rare[i])] = std::uint8_t(125 + i);
    const char* rareCapitals = "QXZJKVWY";
    for (int i = 0; rareCapitals[i]; ++i) s[std::uint8_t(rareCapitals[i])] = std::uint8_t(90 + i);
    s[0x00] = 255;
    s[0xFF] = 235;
    s[' '] = 245;
    s['\n'] = 200;
    s['\r'] = 190;
    s['\t'] = 170;
    s[0x01] = 120;
    s[0x80] = 80;
    s['.'] = 180;
    s[','] = 170;
    s['"'] = 150;
    s['='] = 150;
    s['<'] = 150;
    s['>'] = 150;
    s['/'] = 150;
    s['-'] = 150;
    s[':'] = 150;
    return s;
}

const std::array<std::uint8_t, 256>& frequencyScores() {
    static const std::array<std::uint8_t, 256> scores = buildFrequencyScores();
    return scores;
}

unsigned anchorScore(const std::uint8_t values[2]) {
    const auto& f = frequencyScores();
    unsigned score = f[values[0]];
    if (values[1] != values[0]) score += f[values[1]];  // two values meet twice as often
    return score;
}

bool matchesAt(const ScanPattern& s, const std::uint8_t* p) {
    if (!s.foldCase) return std::memcmp(p, s.bytes, s.length) == 0;
    const std::uint8_t* fold = caseFoldTable();
    for (std::uint32_t i = 0; i < s.length; ++i) {
        if (fold[p[i]] != s.bytes[i]) return false;
    }
    return true;
}

bool anchorsAt(const ScanPattern& s, const std::uint8_t* p) {
    const std::uint8_t a = p[s.anchorA];
    const std::uint8_t b = p[s.anchorB];
    return (a == s.valuesA[0] || a == s.valuesA[1]) && (b == s.valuesB[0] || b == s.valuesB[1]);
}

// Positions first .. last (inclusive), one at a time.
std::uint32_t forwardOneByOne(const ScanPattern& s, const std::uint8_t* block, std::uint64_t first,
                              std::uint64_t last) {
    for (std::uint64_t p = first; p <= last; ++p) {
        if (anchorsAt(s, block + p) && matchesAt(s, block + p)) return std::uint32_t(p);
    }
    return kNoMatch;
}

std::uint32_t backwardOneByOne(const ScanPattern& s, const std::uint8_t* block, std::int64_t last) {
    for (std::int64_t p = last; p >= 0; --p) {
        if (anchorsAt(s, block + p) && matchesAt(s, block + p)) return std::uint32_t(p);
    }
    return kNoMatch;
}

#if QUORBY_SCAN_X86

// The vector helpers are internal and always inlined into the AVX2 scan, so
// the ABI note about passing AVX vectors between functions does not apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

struct Avx2 {
    static constexpr int kWidth = 32;
    using Vector = __m256i;
    __attribute__((target("avx2"))) static Vector splat(std::uint8_t v) { return _mm256_set1_epi8(char(v)); }
    __attribute__((target("avx2"))) static Vector load(const std::uint8_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    __attribute__((target("avx2"))) static Vector equal(Vector a, Vector b) { return _mm256_cmpeq_epi8(a, b); }
    __attribute__((target("avx2"))) static Vector either(Vector a, Vector b) { return _mm256_or_si256(a, b); }
    __attribute__((target("avx2"))) static Vector both(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    __attribute__((target("avx2"))) static std::uint32_t bits(Vector a) {
        return std::uint32_t(_mm256_movemask_epi8(a));
    }
};

struct Sse2 {
    static constexpr int kWidth = 16;
    using Vector = __m128i;
    static Vector splat(std::uint8_t v) { return _mm_set1_epi8(char(v)); }
    static Vector load(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static Vector equal(Vector a, Vector b) { return _mm_cmpeq_epi8(a, b); }
    static Vector either(Vector a, Vector b) { return _mm_or_si128(a, b); }
    static Vector both(Vector a, Vector b) { return _mm_and_si128(a, b); }
    static std::uint32_t bits(Vector a) { return std::uint32_t(_mm_movemask_epi8(a)); }
};

// A mask of the kWidth positions from `p` on whose two anchors match. An
// anchor with two values (a letter without match case) compares the buffer
// byte with the bit that tells the two apart set: both fold tables' pairs
// differ in one bit (0x20).
template <class V, bool Fold>
struct AnchorProbe {
    typename V::Vector valueA, valueB, maskA, maskB;
    std::uint32_t offsetA, offsetB;

    __attribute__((always_inline)) explicit AnchorProbe(const ScanPattern& s)
        : valueA(V::splat(s.valuesA[0] | (s.valuesA[0] ^ s.valuesA[1]))),
          valueB(V::splat(s.valuesB[0] | (s.valuesB[0] ^ s.valuesB[1]))),
          maskA(V::splat(s.valuesA[0] ^ s.valuesA[1])), maskB(V::splat(s.valuesB[0] ^ s.valuesB[1])),
          offsetA(s.anchorA), offsetB(s.anchorB) {}

    __attribute__((always_inline)) std::uint32_t at(const std::uint8_t* p) const {
        typename V::Vector x = V::load(p + offsetA);
        typename V::Vector y = V::load(p + offsetB);
        if constexpr (Fold) {
            x = V::either(x, maskA);
            y = V::either(y, maskB);
        }
        return V::bits(V::both(V::equal(x, valueA), V::equal(y, valueB)));
    }
};

// Candidate positions first .. last; loads stay below last + length.
template <class V, bool Fold>
__attribute__((always_inline)) inline std::uint32_t forwardVector(const ScanPattern& s, const std::uint8_t* block,
                                                                  std::uint64_t first, std::uint64_t last) {
    const AnchorProbe<V, Fold> probe(s);
    std::uint64_t p = first;
    auto check = [&](std::uint64_t at, std::uint32_t hits) -> std::uint32_t {
        while (hits != 0) {
            const std::uint32_t k = std::uint32_t(__builtin_ctz(hits));
            if (matchesAt(s, block + at + k)) return std::uint32_t(at + k);
            hits &= hits - 1;
        }
        return kNoMatch;
    };
    // Two vectors a step: positions without both anchors cost one test.
    while (p + 2 * V::kWidth <= last + 1) {
        const std::uint32_t low = probe.at(block + p);
        const std::uint32_t high = probe.at(block + p + V::kWidth);
        if ((low | high) != 0) {
            std::uint32_t found = check(p, low);
            if (found == kNoMatch) found = check(p + V::kWidth, high);
            if (found != kNoMatch) return found;
        }
        p += 2 * V::kWidth;
    }
    while (p + V::kWidth <= last + 1) {
        const std::uint32_t found = check(p, probe.at(block + p));
        if (found != kNoMatch) return found;
        p += V::kWidth;
    }
    return forwardOneByOne(s, block, p, last);
}

// Candidate positions last down to 0; loads stay below last + length.
template <class V, bool Fold>
__attribute__((always_inline)) inline std::uint32_t backwardVector(const ScanPattern& s, const std::uint8_t* block,
                                                                   std::int64_t last) {
    const AnchorProbe<V, Fold> probe(s);
    // Candidates at..at + kWidth - 1, the highest first.
    auto check = [&](std::int64_t at, std::uint32_t hits) -> std::uint32_t {
        while (hits != 0) {
            const std::uint32_t k = 31u - std::uint32_t(__builtin_clz(hits));
            if (matchesAt(s, block + at + k)) return std::uint32_t(at + k);
            hits &= ~(1u << k);
        }
        return kNoMatch;
    };
    std::int64_t high = last;  // candidates 0 .. high are left
    // Two vectors a step, as forward: positions without both anchors cost one test.
    while (high + 1 >= 2 * V::kWidth) {
        const std::int64_t q = high + 1 - 2 * V::kWidth;
        const std::uint32_t low = probe.at(block + q);
        const std::uint32_t upper = probe.at(block + q + V::kWidth);
        if ((low | upper) != 0) {
            std::uint32_t found = check(q + V::kWidth, upper);
            if (found == kNoMatch) found = check(q, low);
            if (found != kNoMatch) return found;
        }
        high = q - 1;
    }
    if (high + 1 >= V::kWidth) {
        const std::int64_t q = high + 1 - V::kWidth;
        const std::uint32_t found = check(q, probe.at(block + q));
        if (found != kNoMatch) return found;
        high = q - 1;
    }
    return backwardOneByOne(s, block, high);
}

__attribute__((target("avx2"))) std::uint32_t forwardAvx2(const ScanPattern& s, const std::uint8_t* block,
                                                          std::uint64_t first, std::uint64_t last) {
    return s.foldCase ? forwardVector<Avx2, true>(s, block, first, last)
                      : forwardVector<Avx2, false>(s, block, first, last);
}
__attribute__((target("avx2"))) std::uint32_t backwardAvx2(const ScanPattern& s, const std::uint8_t* block,
                                                           std::int64_t last) {
    return s.foldCase ? backwardVector<Avx2, true>(s, block, last) : backwardVector<Avx2, false>(s, block, last);
}
std::uint32_t forwardSse2(const ScanPattern& s, const std::uint8_t* block, std::uint64_t first, std::uint64_t last) {
    return s.foldCase ? forwardVector<Sse2, true>(s, block, first, last)
                      : forwardVector<Sse2, false>(s, block, first, last);
}
std::uint32_t backwardSse2(const ScanPattern& s, const std::uint8_t* block, std::int64_t last) {
    return s.foldCase ? backwardVector<Sse2, true>(s, block, last) : backwardVector<Sse2, false>(s, block, last);
}

#pragma GCC diagnostic pop

// The probe tells two anchor values apart by one bit.
bool probeFits(const ScanPattern& s) {
    const unsigned a = s.valuesA[0] ^ s.valuesA[1];
    const unsigned b = s.valuesB[0] ^ s.valuesB[1];
    return (a & (a - 1)) == 0 && (b & (b - 1)) == 0;
}

bool haveAvx2() {
    static const bool present = __builtin_cpu_supports("avx2");
    return present;
}

#endif

}  // namespace

void prepareScan(ScanPattern& scan, const std::uint8_t* pattern, std::uint32_t length, bool foldCase) {
    scan = ScanPattern{};
    if (length > kMaxPatternLength) length = 0;
    scan.length = length;
    scan.foldCase = foldCase;
    if (length == 0) return;
    for (std::uint32_t i = 0; i < length; ++i) scan.bytes[i] = foldCase ? foldByte(pattern[i]) : pattern[i];

    std::uint8_t values[kMaxPatternLength][2];
    unsigned scores[kMaxPatternLength];
    for (std::uint32_t i = 0; i < length; ++i) {
        if (foldCase) {
            bytesFoldingTo(scan.bytes[i], values[i]);
        } else {
            values[i][0] = values[i][1] = scan.bytes[i];
        }
        scores[i] = anchorScore(values[i]);
    }
    // The rarest byte, then the rarest one of another value (two anchors of
    // the same value would meet together in a run of that value).
    std::uint32_t first = 0;
    for (std::uint32_t i = 1; i < length; ++i) {
        if (scores[i] < scores[first]) first = i;
    }
    std::uint32_t second = first == 0 ? length - 1 : 0;
    bool secondDiffers = scan.bytes[second] != scan.bytes[first];
    for (std::uint32_t i = 0; i < length; ++i) {
        if (i == first) continue;
        const bool differs = scan.bytes[i] != scan.bytes[first];
        if ((differs && !secondDiffers) || (differs == secondDiffers && scores[i] < scores[second])) {
            second = i;
            secondDiffers = differs;
        }
    }
    scan.anchorA = first < second ? first : second;
    scan.anchorB = first < second ? second : first;
    std::memcpy(scan.valuesA, values[scan.anchorA], 2);
    std::memcpy(scan.valuesB, values[scan.anchorB], 2);
}

std::uint32_t scanForward(const ScanPattern& scan, const std::uint8_t* block, std::uint32_t from, std::uint32_t end) {
    if (scan.length == 0 || end < scan.length || from > end - scan.length) return kNoMatch;
    const std::uint64_t last = end - scan.length;
#if QUORBY_SCAN_X86
    if (!probeFits(scan)) return forwardOneByOne(scan, block, from, last);
    if (haveAvx2()) return forwardAvx2(scan, block, from, last);
    return forwardSse2(scan, block, from, last);
#else
    return forwardOneByOne(scan, block, from, last);
#endif
}

std::uint32_t scanBackward(const ScanPattern& scan, const std::uint8_t* block, std::uint32_t end) {
    if (scan.length == 0 || end < scan.length) return kNoMatch;
    const std::int64_t last = std::int64_t(end) - scan.length;
#if QUORBY_SCAN_X86
    if (!probeFits(scan)) return backwardOneByOne(scan, block, last);
    if (haveAvx2()) return backwardAvx2(scan, block, last);
    return backwardSse2(scan, block, last);
#else
    return backwardOneByOne(scan, block, last);
#endif
}

}  // namespace quorby
