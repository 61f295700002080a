// The command line listing: line format, --from/--to/--mode, page crossings,
// the end of the file, and errors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/tables.h"
#include "disasm/listing_cli.h"
#include "tests/decoder/disasm_test_util.h"
#include "tests/support/temp_dir.h"

namespace quorby::disasm {
namespace {

class ListingCli : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir ? dir : "/tmp") + "/quorby_listing_" + std::to_string(getpid()) + ".bin";
    }
    void TearDown() override { std::remove(path_.c_str()); }

    void writeFile(const std::vector<std::uint8_t>& bytes) {
        FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }

    // Runs the command with `args` after "--disassemble"; returns its output.
    std::string run(std::vector<std::string> args, int& rc) {
        args.insert(args.begin(), "--disassemble");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        FILE* out = std::tmpfile();
        rc = runDisassembleCommand(int(argv.size()), argv.data(), out);
        std::string text = quorby::testing::fileText(out);
        std::fclose(out);
        return text;
    }

    std::string path_;
};

std::vector<std::uint8_t> sampleFile() {
    // NOPs up to 508, then a CALL across the 512-byte page boundary, a MOV,
    // SYSCALL and a MOV cut off by the end of the file.
    std::vector<std::uint8_t> b(508, 0x90);
    for (std::uint8_t x : {0xE8, 0x00, 0x00, 0x00, 0x00, 0xB8, 0x78, 0x56, 0x34, 0x12, 0x0F, 0x05, 0xB8, 0x78})
        b.push_back(x);
    return b;
}

TEST_F(ListingCli, ListsTheRangeWithPositionsAndBranchLines) {
    writeFile(sampleFile());
    int rc = -1;
    // Positions are hexadecimal as everywhere in the program; 0x may lead.
    std::string out = run({path_, "--mode", "32", "--from", "1fc", "--to", "0x208"}, rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out,
              " 0000 0000 0000 01FC :    CALL NEAR  + 0x00000000\r\n  => 0000 0000 0000 0201\r\n"
              " 0000 0000 0000 0201 :    MOV EAX,0x12345678\r\n"
              " 0000 0000 0000 0206 :    SYSCALL\r\n");

    out = run({path_, "--mode", "32", "--from", "0x206"}, rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out,
              " 0000 0000 0000 0206 :    SYSCALL\r\n"
              " 0000 0000 0000 0208 :    (invalid Opcode)\r\n");

    out = run({path_, "--mode", "real16", "--from", "201", "--to", "204"}, rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, " 0000 0000 0000 0201 :    MOV AX,0x5678\r\n") << "--to is the first position not listed";

    out = run({path_}, rc);  // whole file, 64-bit mode by default
    EXPECT_EQ(rc, 0);
    std::size_t lines = 0;
    for (char c : out) lines += c == '\n';
    EXPECT_EQ(lines, 508u + 1 + 1 + 3);  // NOPs, CALL and its target line, MOV, SYSCALL, cut MOV
}

// A long file listed through the page window gives the same lines as
// decoding the bytes in memory with the same span.
TEST_F(ListingCli, PageWindowMatchesDecodingInMemory) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bytes(9000);
    for (auto& b : bytes) b = std::uint8_t(rng());
    writeFile(bytes);
    int rc = -1;
    const std::string out = run({path_, "--mode", "64"}, rc);
    ASSERT_EQ(rc, 0);
    std::string expected;
    std::uint32_t st = testing::modeState(DecoderMode::Protected64);
    char text[kMaxInstructionText];
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t span = bytes.size() - pos < 16 ? bytes.size() - pos : 16;
        std::uint32_t length = 0;
        std::size_t textLength = 0;
        (void)decodeInstruction(bytes.data() + pos, span, pos, st, text, sizeof text, length, textLength);
        char position[20];
        formatPositionText(pos, position);
        expected.append(position, 20).append(" :    ").append(text, textLength).append("\r\n");
        pos += length;
    }
    EXPECT_EQ(out, expected);
}

TEST_F(ListingCli, BadArgumentsAndUnreadableFilesFail) {
    writeFile(sampleFile());
    int rc = -1;
    const std::vector<std::vector<std::string>> bad = {
        {},
        {path_, "--mode", "48"},
        {path_, "--from"},
        {path_, "--from", "0x"},
        {path_, "--to", "12ag"},
        {path_, "--from", "-1"},
        {path_, "--from", "0x10000000000000000"},
        {path_, path_},
        {path_, "--verbose"},
        {path_ + ".missing"},
        {"/"},  // a directory cannot be read
    };
    for (const auto& args : bad) {
        EXPECT_EQ(run(args, rc), "") << ::testing::PrintToString(args);
        EXPECT_EQ(rc, 1) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(run({path_, "--from", "100000"}, rc), "");
    EXPECT_EQ(rc, 0) << "a start past the end lists nothing";
}

}  // namespace
}  // namespace quorby::disasm
