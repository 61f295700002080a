// The golden cases in tests/data/disasm/golden.txt: each line gives a mode,
// the bytes, the expected length and the expected text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/decoder/disasm_test_util.h"

namespace quorby::disasm {
namespace {

struct GoldenCase {
    int line = 0;
    DecoderMode mode = DecoderMode::Protected32;
    bool showPrefixes = true;
    std::vector<std::uint8_t> bytes;
    std::uint32_t length = 0;
    std::string text;
};

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

bool parseCase(const std::string& raw, int lineNo, GoldenCase& c) {
    const auto p1 = raw.find('|');
    const auto p2 = raw.find('|', p1 + 1);
    const auto p3 = raw.find('|', p2 + 1);
    if (p1 == std::string::npos || p2 == std::string::npos || p3 == std::string::npos) return false;
    c.line = lineNo;
    std::string mode = trim(raw.substr(0, p1));
    if (mode.size() > 2 && mode.substr(mode.size() - 2) == "/n") {
        c.showPrefixes = false;
        mode.resize(mode.size() - 2);
    }
    if (mode == "r16") c.mode = DecoderMode::Real16;
    else if (mode == "p16") c.mode = DecoderMode::Protected16;
    else if (mode == "32") c.mode = DecoderMode::Protected32;
    else if (mode == "64") c.mode = DecoderMode::Protected64;
    else return false;
    std::istringstream hex(raw.substr(p1 + 1, p2 - p1 - 1));
    std::string byte;
    while (hex >> byte) c.bytes.push_back(std::uint8_t(std::stoul(byte, nullptr, 16)));
    c.length = std::uint32_t(std::stoul(trim(raw.substr(p2 + 1, p3 - p2 - 1))));
    std::string text = raw.substr(p3 + 1);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    for (std::size_t at; (at = text.find("\\r\\n")) != std::string::npos;) text.replace(at, 4, "\r\n");
    c.text = text;
    return !c.bytes.empty();
}

std::vector<GoldenCase> loadCases() {
    std::vector<GoldenCase> cases;
    std::ifstream in(QUORBY_TEST_DATA "/disasm/golden.txt");
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        GoldenCase c;
        EXPECT_TRUE(parseCase(line, lineNo, c)) << "golden.txt line " << lineNo << ": " << line;
        cases.push_back(c);
    }
    return cases;
}

TEST(DisasmGolden, EveryCaseDecodesToItsTextAndLength) {
    const auto cases = loadCases();
    ASSERT_GT(cases.size(), 200u) << "golden.txt missing or truncated";
    for (const auto& c : cases) {
        const std::uint32_t st = testing::modeState(c.mode, c.showPrefixes);
        const auto d = testing::decodeBytes(c.bytes, st);
        EXPECT_EQ(d.text, c.text) << "golden.txt line " << c.line;
        EXPECT_EQ(d.length, c.length) << "golden.txt line " << c.line;
        const bool invalid = c.text.find("(invalid Opcode)") != std::string::npos;
        EXPECT_EQ((d.state & state::kDecodeError) != 0, invalid) << "golden.txt line " << c.line;
    }
}

// With a longer span the same instructions keep their lengths: the cases that
// are not cut short do not depend on bytes after them.
TEST(DisasmGolden, TrailingBytesDoNotChangeCompleteInstructions) {
    for (const auto& c : loadCases()) {
        if (c.text.find("(invalid Opcode)") != std::string::npos) continue;
        auto bytes = c.bytes;
        bytes.insert(bytes.end(), 16, 0x90);
        const auto d = testing::decodeBytes(bytes, testing::modeState(c.mode, c.showPrefixes));
        EXPECT_EQ(d.length, c.length) << "golden.txt line " << c.line;
        EXPECT_EQ(d.text, c.text) << "golden.txt line " << c.line;
    }
}

}  // namespace
}  // namespace quorby::disasm
