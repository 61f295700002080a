// Random byte strings in every mode: the decoder must not crash, must take
// 1..span bytes, must not read past the span, and a valid result must not
// depend on bytes after the instruction.
//
// The span ends at a page guarded with PROT_NONE, so a read past it faults.
// QUORBY_DISASM_FUZZ_COUNT sets the number of strings per mode (default 100000).
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "tests/decoder/disasm_test_util.h"

namespace quorby::disasm {
namespace {

class GuardedSpan {
public:
    GuardedSpan() {
        page_ = std::size_t(sysconf(_SC_PAGESIZE));
        base_ = static_cast<std::uint8_t*>(
            mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (base_ == MAP_FAILED) base_ = nullptr;
        if (base_ && mprotect(base_ + page_, page_, PROT_NONE) != 0) {
            munmap(base_, 2 * page_);
            base_ = nullptr;
        }
    }
    ~GuardedSpan() {
        if (base_) munmap(base_, 2 * page_);
    }
    bool ok() const { return base_ != nullptr; }
    // Copies `n` bytes so that they end exactly at the guard page.
    const std::uint8_t* place(const std::uint8_t* bytes, std::size_t n) {
        std::uint8_t* at = base_ + page_ - n;
        std::memcpy(at, bytes, n);
        return at;
    }

private:
    std::size_t page_ = 0;
    std::uint8_t* base_ = nullptr;
};

std::size_t fuzzCount() {
    if (const char* env = std::getenv("QUORBY_DISASM_FUZZ_COUNT")) {
        const long n = std::strtol(env, nullptr, 10);
        if (n > 0) return std::size_t(n);
    }
    return 100000;
}

// Bytes that lead into prefixes, escapes and groups turn up more often than
// uniform random bytes would make them.
std::uint8_t randomByte(std::mt19937& rng) {
    static const std::uint8_t kInteresting[] = {0x0F, 0x38, 0x3A, 0x66, 0x67, 0xF2, 0xF3, 0xF0,
                                                0x2E, 0x48, 0x4F, 0x41, 0xC4, 0xC5, 0x62, 0xD9,
                                                0xDB, 0xDF, 0xFF, 0xF7, 0x8F, 0x90, 0x04, 0x05};
    const std::uint32_t r = rng();
    if ((r & 3) == 0) return kInteresting[(r >> 8) % sizeof kInteresting];
    return std::uint8_t(r >> 16);
}

TEST(DisasmFuzzDeathTest, TheGuardPageCatchesAReadPastTheSpan) {
    GuardedSpan guard;
    ASSERT_TRUE(guard.ok());
    const std::uint8_t bytes[2] = {0x90, 0x90};
    const volatile std::uint8_t* span = guard.place(bytes, 2);
    EXPECT_EQ(span[1], 0x90);
    EXPECT_DEATH({ [[maybe_unused]] std::uint8_t past = span[2]; }, "");
}

TEST(DisasmFuzz, RandomBytesInEveryModeStayWithinTheSpan) {
    GuardedSpan guard;
    ASSERT_TRUE(guard.ok()) << "could not map a guarded page";
    const std::size_t count = fuzzCount();
    std::mt19937 rng(20260601u);
    std::uint8_t bytes[48];
    char text[kMaxInstructionText];
    std::size_t failures = 0;
    for (auto mode : {DecoderMode::Real16, DecoderMode::Protected16, DecoderMode::Protected32,
                      DecoderMode::Protected64}) {
        for (std::size_t i = 0; i < count && failures < 20; ++i) {
            const std::size_t n = 1 + rng() % 20;
            for (std::size_t k = 0; k < n; ++k) bytes[k] = randomByte(rng);
            const bool show = (i & 1) != 0;
            std::uint32_t st = testing::modeState(mode, show);
            const std::uint8_t* span = guard.place(bytes, n);
            std::uint32_t length = 0;
            std::size_t textLength = 0;
            const int rc = decodeInstruction(span, n, 0x1000, st, text, sizeof text, length, textLength);
            const bool invalid = (st & state::kDecodeError) != 0;
            const bool sayInvalid = std::strstr(text, "(invalid Opcode)") != nullptr;
            bool ok = rc == 0 && length >= 1 && length <= n && textLength > 0 &&
                      textLength < sizeof text && std::strlen(text) == textLength &&
                      invalid == sayInvalid;
            if (ok && !invalid) {
                // The same instruction with more bytes after it decodes alike.
                const std::string first(text);
                for (std::size_t k = n; k < n + 16; ++k) bytes[k] = std::uint8_t(rng());
                std::uint32_t st2 = testing::modeState(mode, show);
                std::uint32_t length2 = 0;
                (void)decodeInstruction(guard.place(bytes, n + 16), n + 16, 0x1000, st2, text, sizeof text,
                                  length2, textLength);
                ok = length2 == length && first == text;
            }
            if (!ok) {
                ++failures;
                std::string hex;
                for (std::size_t k = 0; k < n; ++k) {
                    char b[4];
                    std::snprintf(b, sizeof b, "%02X ", bytes[k]);
                    hex += b;
                }
                ADD_FAILURE() << "mode " << int(mode) << " bytes " << hex << "-> length " << length
                              << " text '" << text << "'";
            }
        }
    }
    EXPECT_EQ(failures, 0u);
}

// An instruction cut short anywhere, VEX and EVEX prefixes included, is
// invalid and takes exactly the bytes that are there.
TEST(DisasmFuzz, CutInstructionsAreInvalidAndTakeTheWholeSpan) {
    GuardedSpan guard;
    ASSERT_TRUE(guard.ok()) << "could not map a guarded page";
    std::mt19937 rng(20260602u);
    const std::uint8_t kEscapes[] = {0xC4, 0xC5, 0x62};
    std::uint8_t bytes[32];
    std::size_t cut = 0, failures = 0;
    for (auto mode : {DecoderMode::Protected32, DecoderMode::Protected64}) {
        for (std::size_t i = 0; i < fuzzCount() / 10 && failures < 20; ++i) {
            for (auto& b : bytes) b = randomByte(rng);
            bytes[0] = kEscapes[i % 3];
            if (mode == DecoderMode::Protected32) bytes[1] |= 0xC0;
            const auto whole = testing::decodeBytes({bytes, bytes + 16}, testing::modeState(mode));
            if (whole.state & state::kDecodeError) continue;
            for (std::uint32_t n = 1; n < whole.length; ++n) {
                std::uint32_t st = testing::modeState(mode);
                char text[kMaxInstructionText];
                std::uint32_t length = 0;
                std::size_t textLength = 0;
                (void)decodeInstruction(guard.place(bytes, n), n, 0, st, text, sizeof text, length, textLength);
                ++cut;
                if ((st & state::kDecodeError) && length == n && std::strstr(text, "(invalid Opcode)")) continue;
                ++failures;
                ADD_FAILURE() << "mode " << int(mode) << ": '" << whole.text << "' cut to " << n
                              << " bytes -> length " << length << " text '" << text << "'";
            }
        }
    }
    EXPECT_GT(cut, 1000u) << "too few valid VEX/EVEX instructions among the random bytes";
}

}  // namespace
}  // namespace quorby::disasm
