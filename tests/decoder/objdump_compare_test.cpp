// Instruction boundaries compared with binutils' objdump on real compiler
// output: the .text of the C library (64-bit, and the 32-bit one where the
// multilib package is installed, else an object built with gcc -m32).
//
// Each instruction objdump finds is decoded at its start; the lengths must
// agree. Instructions outside the decoder's coverage (VEX, EVEX, XOP, 3DNow!
// and what objdump itself calls "(bad)") are counted apart; the comparison
// goes on at objdump's next instruction either way. The thresholds are below
// the rates measured on Debian 12 (100% of covered instructions for both
// libraries) by a margin for other library builds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tests/decoder/disasm_test_util.h"

namespace quorby::disasm {
namespace {

struct ObjdumpInstruction {
    std::size_t offset;
    std::size_t length;
    std::string text;
};

// How objdump and the decoder are told the code's mode.
struct Target {
    const char* objdumpMachine;
    DecoderMode mode;
    bool is64() const { return mode == DecoderMode::Protected64; }
};

constexpr Target k64{"i386:x86-64", DecoderMode::Protected64};
constexpr Target k32{"i386", DecoderMode::Protected32};
constexpr Target k16{"i8086", DecoderMode::Real16};

struct Comparison {
    std::size_t total = 0;
    std::size_t covered = 0;
    std::size_t agree = 0;
    std::vector<std::string> mismatches;  // the first few, for the report
};

bool haveTool(const char* tool) {
    const std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

bool fileExists(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

std::string tempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/quorby_disasm_" + std::to_string(getpid()) + "_" + name;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Runs objdump on the raw bytes and collects offset, length and text of each line.
std::vector<ObjdumpInstruction> runObjdump(const std::string& bin, const Target& target) {
    std::vector<ObjdumpInstruction> list;
    const std::string cmd = std::string("objdump -D -b binary -m ") + target.objdumpMachine +
                            " --insn-width=16 '" + bin + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return list;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        char* end = nullptr;
        const unsigned long offset = std::strtoul(line, &end, 16);
        if (end == line || *end != ':' || end[1] != '\t') continue;
        const char* bytes = end + 2;
        std::size_t count = 0;
        const char* c = bytes;
        while (c[0] && c[1] && std::isxdigit(static_cast<unsigned char>(c[0])) &&
               std::isxdigit(static_cast<unsigned char>(c[1]))) {
            ++count;
            c += 2;
            while (*c == ' ') ++c;
        }
        if (count == 0) continue;
        std::string text = *c == '\t' ? std::string(c + 1) : std::string();
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
        list.push_back({offset, count, text});
    }
    pclose(p);
    return list;
}

// True for encodings the decoder does not cover.
bool outsideCoverage(const std::uint8_t* b, std::size_t n, bool is64, const std::string& text) {
    if (text.find("(bad)") != std::string::npos) return true;
    // objdump lists a prefix that cannot apply (a REX before another prefix,
    // mostly in data between functions) as an instruction of its own.
    const std::size_t lastWord = text.rfind(' ');
    if (text.compare(lastWord == std::string::npos ? 0 : lastWord + 1, 3, "rex") == 0) return true;
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t x = b[i];
        const bool legacy = x == 0x26 || x == 0x2E || x == 0x36 || x == 0x3E || x == 0x64 ||
                            x == 0x65 || x == 0x66 || x == 0x67 || x == 0xF0 || x == 0xF2 || x == 0xF3;
        if (!legacy && !(is64 && (x & 0xF0) == 0x40)) break;
        ++i;
    }
    if (i >= n) return false;
    const std::uint8_t op = b[i];
    const int next = i + 1 < n ? b[i + 1] : -1;
    if (op == 0xC4 || op == 0xC5 || op == 0x62) return is64 || (next >= 0 && (next & 0xC0) == 0xC0);
    if (op == 0x8F && next >= 0 && (next & 0x38) != 0) return true;  // XOP
    if (op == 0x0F && next == 0x0F) return true;                        // 3DNow!
    return false;
}

Comparison compare(const std::vector<std::uint8_t>& code, const std::vector<ObjdumpInstruction>& list,
                   const Target& target) {
    Comparison r;
    const bool is64 = target.is64();
    const std::uint32_t st = setDecoderMode(state::kShowPrefixes, target.mode);
    char text[kMaxInstructionText];
    for (const auto& ins : list) {
        if (ins.offset >= code.size()) continue;
        ++r.total;
        const std::size_t avail = code.size() - ins.offset;
        const std::size_t span = avail < 16 ? avail : 16;
        const std::uint8_t* at = code.data() + ins.offset;
        if (outsideCoverage(at, ins.length, is64, ins.text)) continue;
        ++r.covered;
        std::uint32_t s = st;
        std::uint32_t length = 0;
        std::size_t textLength = 0;
        decodeInstruction(at, span, ins.offset, s, text, sizeof text, length, textLength);
        if (length == ins.length) {
            ++r.agree;
        } else if (r.mismatches.size() < 25) {
            std::ostringstream os;
            os << std::hex << "at 0x" << ins.offset << ":";
            for (std::size_t k = 0; k < ins.length && k < span; ++k)
                os << ' ' << (at[k] < 16 ? "0" : "") << int(at[k]);
            os << std::dec << "  objdump " << ins.length << " '" << ins.text << "'  decoder "
               << length << " '" << text << "'";
            r.mismatches.push_back(os.str());
        }
    }
    return r;
}

// Extracts .text of `elf`, compares, and reports. Returns false when the
// bytes could not be prepared.
bool compareElf(const std::string& elf, const Target& target, double threshold, const char* label,
                std::size_t minimum = 1000) {
    const std::string bin = tempPath("text.bin");
    const std::string cmd = "objcopy -O binary --only-section=.text '" + elf + "' '" + bin + "' 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return false;
    const auto code = readFile(bin);
    const auto list = runObjdump(bin, target);
    std::remove(bin.c_str());
    if (code.empty() || list.empty()) return false;
    const Comparison r = compare(code, list, target);
    const double rate = r.covered ? double(r.agree) / double(r.covered) : 0.0;
    std::printf("[ objdump  ] %s (%s): %zu instructions, %zu covered, %zu agree: %.4f%%\n", label,
                elf.c_str(), r.total, r.covered, r.agree, 100.0 * rate);
    for (const auto& m : r.mismatches) std::printf("[ mismatch ] %s\n", m.c_str());
    EXPECT_GT(r.covered, minimum) << label;
    EXPECT_GE(rate, threshold) << label << ": boundaries disagree with objdump too often";
    return true;
}

// Compiles generated C (no headers needed) with the given gcc flags; returns
// the object's path, or "" when gcc cannot build it.
std::string compileGenerated(const char* flags) {
    const std::string src = tempPath("gen.c");
    const std::string obj = tempPath("gen.o");
    {
        std::ofstream out(src);
        for (int i = 0; i < 60; ++i) {
            out << "double f" << i << "(double a, int n) { double s = " << i
                << "; for (int k = 0; k < n; ++k) s += a * k / (k + " << i + 1 << "); return s; }\n"
                << "long long g" << i << "(long long a, long long b) { return a / (b | " << i + 1
                << ") + (a % (b | 1)) * " << i << "; }\n"
                << "int h" << i << "(const char* s, char* d, int n) { __builtin_memcpy(d, s, n); "
                << "return (int)__builtin_strlen(d) + __builtin_memcmp(s, d, n) + " << i << "; }\n"
                << "unsigned k" << i << "(unsigned x, short* p) { switch ((x >> " << i % 5 << ") & 7) {"
                << " case 0: return x << 3; case 1: return x >> 2; case 2: return x * " << 7 + i << ";"
                << " case 3: return ~x; case 4: return x ^ " << 0x5A5A + i << "; case 5: return p[x & 15];"
                << " default: return x / " << 3 + i << "; } }\n"
                << "float m" << i << "(float* v, int n) { float s = 0; for (int k = 0; k < n; ++k)"
                << " s = s > v[k] ? s : v[k] * " << i << ".5f; return s; }\n";
        }
    }
    const std::string cc = std::string("gcc -O2 ") + flags + " -c '" + src + "' -o '" + obj + "' 2>/dev/null";
    const bool built = std::system(cc.c_str()) == 0;
    std::remove(src.c_str());
    return built ? obj : std::string();
}

TEST(DisasmObjdump, BoundariesAgreeOn64BitLibraryCode) {
    if (!haveTool("objdump") || !haveTool("objcopy")) GTEST_SKIP() << "objdump/objcopy not installed";
    const std::string lib = "/usr/lib/x86_64-linux-gnu/libc.so.6";
    if (!fileExists(lib)) GTEST_SKIP() << lib << " not found";
    EXPECT_TRUE(compareElf(lib, k64, 0.9999, "64-bit libc"));
    // More 64-bit files to compare, colon separated (for runs by hand).
    if (const char* extra = std::getenv("QUORBY_DISASM_OBJDUMP_EXTRA")) {
        std::stringstream list(extra);
        for (std::string path; std::getline(list, path, ':');) {
            if (!path.empty()) {
                EXPECT_TRUE(compareElf(path, k64, 0.999, "extra")) << path;
            }
        }
    }
}

TEST(DisasmObjdump, BoundariesAgreeOn32BitCode) {
    if (!haveTool("objdump") || !haveTool("objcopy")) GTEST_SKIP() << "objdump/objcopy not installed";
    const std::string lib32 = "/usr/lib32/libc.so.6";
    if (fileExists(lib32)) {
        EXPECT_TRUE(compareElf(lib32, k32, 0.9999, "32-bit libc"));
        return;
    }
    // No 32-bit libraries: compile generated C with gcc -m32 instead.
    const std::string obj = compileGenerated("-m32 -msse4.2");
    if (obj.empty()) GTEST_SKIP() << "no /usr/lib32/libc.so.6 and gcc -m32 does not work";
    EXPECT_TRUE(compareElf(obj, k32, 0.999, "gcc -m32 object"));
    std::remove(obj.c_str());
}

// gcc -m16 writes 32-bit code for 16-bit mode: operand- and address-size
// prefixes on nearly every instruction.
TEST(DisasmObjdump, BoundariesAgreeOn16BitCode) {
    if (!haveTool("objdump") || !haveTool("objcopy")) GTEST_SKIP() << "objdump/objcopy not installed";
    const std::string obj = compileGenerated("-m16");
    if (obj.empty()) GTEST_SKIP() << "gcc -m16 does not work";
    EXPECT_TRUE(compareElf(obj, k16, 0.999, "gcc -m16 object", 500));
    std::remove(obj.c_str());
}

}  // namespace
}  // namespace quorby::disasm
