// Decoder state handling: mode bits, sticky bits, prefix depth, truncation,
// number writers and bounded text output.
#include <gtest/gtest.h>

#include <cstring>

#include "decoder/text_out.h"
#include "tests/decoder/disasm_test_util.h"

namespace quorby::disasm {
namespace {

using testing::decodeBytes;
using testing::modeState;

TEST(DisasmState, ModeSelectionSetsTheDocumentedBitsAndKeepsOptions) {
    const std::uint32_t options = state::kShowPrefixes | state::kCompleteListing | state::kCancelAfterError;
    const std::uint32_t all = options | state::kModeBits;
    EXPECT_EQ(setDecoderMode(all, DecoderMode::Protected64) & ~options, 0x77u);  // bits 0,1,2,4,5,6
    EXPECT_EQ(setDecoderMode(all, DecoderMode::Protected32) & ~options, 0x07u);
    EXPECT_EQ(setDecoderMode(all, DecoderMode::Protected16) & ~options, 0x01u);
    EXPECT_EQ(setDecoderMode(all, DecoderMode::Real16) & ~options, 0x00u);
    EXPECT_EQ(setDecoderMode(all, DecoderMode::Real16) & options, options);
    for (auto m : {DecoderMode::Real16, DecoderMode::Protected16, DecoderMode::Protected32,
                   DecoderMode::Protected64})
        EXPECT_EQ(decoderModeOf(setDecoderMode(0, m)), m);
    EXPECT_STREQ(decoderModeTitle(setDecoderMode(0, DecoderMode::Real16)),
                 "Mnemonics - Real Mode, 16 Bit  (you may click on addresses):");
    EXPECT_STREQ(decoderModeTitle(setDecoderMode(0, DecoderMode::Protected64)),
                 "Mnemonics - Protected Mode, 64 Bit  (you may click on addresses):");
}

TEST(DisasmState, PrefixesActOnOneInstructionAndTheErrorBitSticks) {
    std::uint32_t st = modeState(DecoderMode::Protected64) | state::kCancelAfterError;
    auto d = decodeBytes({0x66, 0x48, 0x01, 0xD8}, st);
    EXPECT_EQ(d.state, st) << "prefixes must not leak into the caller's state";
    d = decodeBytes({0x06}, st);
    EXPECT_EQ(d.text, "(invalid Opcode)");
    EXPECT_EQ(d.state, st | state::kDecodeError);
    const auto next = decodeBytes({0x01, 0xD8}, d.state);
    EXPECT_EQ(next.text, "ADD EAX,EBX");
    EXPECT_EQ(next.state, st | state::kDecodeError) << "decodeError and cancelAfterError survive";
}

TEST(DisasmState, LongPrefixRunsStayWithinTheStateStack) {
    // 31 nested prefixes are decoded; the 32nd would overflow the stack.
    std::vector<std::uint8_t> bytes(31, 0x2E);
    bytes.push_back(0x90);
    auto d = decodeBytes(bytes, modeState(DecoderMode::Protected32));
    std::string expected;
    for (int i = 0; i < 31; ++i) expected += "CS: ";
    EXPECT_EQ(d.text, expected + "NOP");
    EXPECT_EQ(d.length, 32u);

    bytes.assign(32, 0x2E);
    bytes.push_back(0x90);
    d = decodeBytes(bytes, modeState(DecoderMode::Protected32));
    EXPECT_EQ(d.text, expected + "(invalid Opcode)");
    EXPECT_EQ(d.length, 32u);
    EXPECT_TRUE(d.state & state::kDecodeError);

    for (std::uint8_t p : {0x66, 0x67, 0xF0, 0xF2, 0xF3, 0x48, 0x26}) {
        bytes.assign(200, p);
        d = decodeBytes(bytes, modeState(DecoderMode::Protected64));
        EXPECT_EQ(d.length, 32u) << int(p);
        EXPECT_NE(d.text.find("(invalid Opcode)"), std::string::npos) << int(p);
    }
}

TEST(DisasmState, BranchTargetsUseTheInstructionsFilePosition) {
    const std::uint32_t st = modeState(DecoderMode::Protected32);
    auto d = decodeBytes({0xEB, 0x80}, st, 0x123456789ABCull);
    EXPECT_EQ(d.text, "JMP SHORT  - 0x80\r\n  => 0000 1234 5678 9A3E");
    d = decodeBytes({0xE8, 0xF0, 0xFF, 0xFF, 0xFF}, st, 0x10000);
    EXPECT_EQ(d.text, "CALL NEAR  - 0x00000010\r\n  => 0000 0000 0000 FFF5");
    d = decodeBytes({0x0F, 0x85, 0x00, 0x00, 0x00, 0x80}, st, 0);
    EXPECT_EQ(d.text, "JNZ  - 0x80000000\r\n  => FFFF FFFF 8000 0006");
}

TEST(DisasmState, NumberWritersFollowTheFixedWidthConventions) {
    char buf[64];
    auto run = [&](auto fn) {
        TextOut out{buf, sizeof buf};
        fn(out);
        out.terminate();
        return std::string(buf);
    };
    EXPECT_EQ(run([](TextOut& o) { writeSigned(o, 0xFF, 1); }), " - 0x01");
    EXPECT_EQ(run([](TextOut& o) { writeSigned(o, 0x80, 1); }), " - 0x80");
    EXPECT_EQ(run([](TextOut& o) { writeSigned(o, 0x7F, 1); }), " + 0x7F");
    EXPECT_EQ(run([](TextOut& o) { writeSigned(o, 0x8000, 2); }), " - 0x8000");
    EXPECT_EQ(run([](TextOut& o) { writeSigned(o, 0x80000000u, 4); }), " - 0x80000000");
    EXPECT_EQ(run([](TextOut& o) { writeUnsigned(o, 0xAB, 1); }), "0xAB");
    EXPECT_EQ(run([](TextOut& o) { writeUnsigned(o, 0x1, 2); }), "0x0001");
    EXPECT_EQ(run([](TextOut& o) { writeUnsigned(o, 0x1122334455667788ull, 8); }),
              "0x11223344 55667788");
    EXPECT_EQ(run([](TextOut& o) { writeFilePosition(o, 0xFEDCBA9876543210ull); }),
              " FEDC BA98 7654 3210");
}

TEST(DisasmState, TextIsCutAtTheCapacityAndAlwaysTerminated) {
    const std::vector<std::uint8_t> bytes = {0x2E, 0x8B, 0x44, 0x8B, 0x10};
    std::uint32_t st = modeState(DecoderMode::Protected32);
    char text[12];
    std::memset(text, 'x', sizeof text);
    std::uint32_t length = 0;
    std::size_t textLength = 0;
    ASSERT_EQ(decodeInstruction(bytes.data(), bytes.size(), 0, st, text, 8, length, textLength), 0);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(textLength, 7u);
    EXPECT_STREQ(text, "CS: MOV");
    EXPECT_EQ(text[8], 'x') << "wrote past the capacity";
    EXPECT_EQ(decodeInstruction(nullptr, 4, 0, st, text, sizeof text, length, textLength), 1);
    EXPECT_EQ(decodeInstruction(bytes.data(), 0, 0, st, text, sizeof text, length, textLength), 1);
    EXPECT_EQ(decodeInstruction(bytes.data(), 5, 0, st, text, 0, length, textLength), 1);
}

}  // namespace
}  // namespace quorby::disasm
