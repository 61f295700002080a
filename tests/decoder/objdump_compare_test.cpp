// Instructions compared with binutils' objdump on real compiler output: the C
// and C++ libraries (64-bit, and 32-bit where the multilib packages are
// installed) and objects gcc builds here from generated C, among them AVX2
// and AVX-512 code.
//
// Per file three measures:
// - boundaries: the decoder walks the section from its start as the listing
//   does; recall is the share of objdump's instruction starts the walk meets,
//   precision the share of the walk's starts that objdump has;
// - lengths: each instruction objdump finds is decoded at its start and the
//   lengths must agree;
// - mnemonics: the first word of the text, compared with objdump's Intel
//   syntax after folding the documented differences of the program's notation
//   (foldMnemonic).
// Set apart is only what objdump itself cannot decode ("(bad)", an unknown
// segment register, a lone REX byte). VEX, EVEX and XOP instructions are also counted on their own, and
// the instructions the decoder calls invalid where objdump decodes one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/decoder/disasm_test_util.h"
#include "tests/decoder/objdump_support.h"

namespace quorby::disasm {
namespace {

using namespace testing;

// How objdump and the decoder are told the code's mode.
struct Target {
    const char* objdumpMachine;
    DecoderMode mode;
    bool is64() const { return mode == DecoderMode::Protected64; }
};

constexpr Target k64{"i386:x86-64", DecoderMode::Protected64};
constexpr Target k32{"i386", DecoderMode::Protected32};
constexpr Target k16{"i8086", DecoderMode::Real16};

struct Counts {
    std::size_t covered = 0;
    std::size_t lengthAgree = 0;
    std::size_t mnemonicAgree = 0;
};

struct Comparison {
    std::size_t total = 0;
    Counts all;
    Counts vector;  // VEX, EVEX and XOP
    std::size_t invalid = 0;  // objdump decodes, the decoder calls it invalid
    std::size_t objdumpStarts = 0, walkStarts = 0, commonStarts = 0;
    std::vector<std::string> mismatches;  // the first few, for the report
};

// What a file must reach.
struct Expect {
    double lengths;     // share of covered instructions with objdump's length
    double mnemonics;   // share with objdump's mnemonic
    double boundaries;  // recall and precision of the walk
    std::size_t minimum = 1000;        // covered instructions at least
    std::size_t minimumVector = 0;     // VEX/EVEX instructions at least
};

// The encoding after the legacy and REX prefixes, by the published maps.
struct Encoding {
    bool vector = false;  // VEX or EVEX
    bool outside = false; // what objdump cannot decode
};

Encoding classify(const std::uint8_t* b, std::size_t n, bool is64, const std::string& text) {
    Encoding e;
    if (!objdumpDecodes(text)) e.outside = true;
    // objdump lists a prefix that cannot apply (a REX before another prefix,
    // mostly in data between functions) as an instruction of its own.
    const auto w = words(text);
    if (w.size() == 1 && w[0].rfind("rex", 0) == 0) e.outside = true;
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t x = b[i];
        const bool legacy = x == 0x26 || x == 0x2E || x == 0x36 || x == 0x3E || x == 0x64 ||
                            x == 0x65 || x == 0x66 || x == 0x67 || x == 0xF0 || x == 0xF2 || x == 0xF3;
        if (!legacy && !(is64 && (x & 0xF0) == 0x40)) break;
        ++i;
    }
    if (i >= n) return e;
    const std::uint8_t op = b[i];
    const int next = i + 1 < n ? b[i + 1] : -1;
    if (op == 0xC4 || op == 0xC5 || op == 0x62) e.vector = is64 || (next >= 0 && (next & 0xC0) == 0xC0);
    if (op == 0x8F && next >= 0 && (next & 0x1F) >= 8) e.vector = true;  // XOP
    return e;
}

struct Decoded {
    std::uint32_t length = 0;
    std::string text;
};

Decoded decodeAt(const std::vector<std::uint8_t>& code, std::size_t offset, std::uint32_t st) {
    const std::size_t avail = code.size() - offset;
    char text[kMaxInstructionText];
    Decoded d;
    std::size_t textLength = 0;
    (void)decodeInstruction(code.data() + offset, avail < 16 ? avail : 16, offset, st, text, sizeof text, d.length,
                      textLength);
    d.text.assign(text, textLength);
    return d;
}

void countWalk(const std::vector<std::uint8_t>& code, const std::vector<ObjdumpInstruction>& list,
               std::uint32_t st, Comparison& r) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < code.size();) {
        starts.push_back(pos);
        const std::uint32_t length = decodeAt(code, pos, st).length;
        pos += length ? length : 1;
    }
    std::vector<std::size_t> theirs;
    for (const auto& ins : list)
        if (ins.offset < code.size()) theirs.push_back(ins.offset);
    std::vector<std::size_t> common;
    std::set_intersection(starts.begin(), starts.end(), theirs.begin(), theirs.end(), std::back_inserter(common));
    r.walkStarts = starts.size();
    r.objdumpStarts = theirs.size();
    r.commonStarts = common.size();
}

Comparison compare(const std::vector<std::uint8_t>& code, const std::vector<ObjdumpInstruction>& list,
                   const Target& target) {
    Comparison r;
    const std::uint32_t st = setDecoderMode(state::kShowPrefixes, target.mode);
    for (const auto& ins : list) {
        if (ins.offset >= code.size()) continue;
        ++r.total;
        const std::uint8_t* at = code.data() + ins.offset;
        const Encoding enc = classify(at, std::min(ins.length, code.size() - ins.offset), target.is64(), ins.text);
        if (enc.outside) continue;
        const Decoded d = decodeAt(code, ins.offset, st);
        const bool lengthOk = d.length == ins.length;
        r.invalid += d.text.find("(invalid Opcode)") != std::string::npos;
        const bool mnemonicOk = foldMnemonic(decoderMnemonic(d.text)) == foldMnemonic(objdumpMnemonic(ins.text));
        for (Counts* c : {&r.all, enc.vector ? &r.vector : nullptr}) {
            if (!c) continue;
            ++c->covered;
            c->lengthAgree += lengthOk;
            c->mnemonicAgree += lengthOk && mnemonicOk;
        }
        if ((!lengthOk || !mnemonicOk) && r.mismatches.size() < 25) {
            std::ostringstream os;
            os << std::hex << "at 0x" << ins.offset << ":";
            for (std::size_t k = 0; k < ins.length && k < 16; ++k)
                os << ' ' << (at[k] < 16 ? "0" : "") << int(at[k]);
            os << std::dec << "  objdump " << ins.length << " '" << ins.text << "'  decoder " << d.length << " '"
               << d.text.substr(0, d.text.find('\r')) << "'";
            r.mismatches.push_back(os.str());
        }
    }
    countWalk(code, list, st, r);
    return r;
}

double share(std::size_t part, std::size_t whole) { return whole ? double(part) / double(whole) : 0.0; }

// Extracts .text of `elf`, compares, and reports. Returns false when the
// bytes could not be prepared.
bool compareElf(const std::string& elf, const Target& target, const Expect& expect, const char* label) {
    const std::string bin = tempPath("text.bin");
    const std::string cmd = "objcopy -O binary --only-section=.text '" + elf + "' '" + bin + "' 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return false;
    const auto code = readFile(bin);
    const auto list = runObjdump(bin, target.objdumpMachine);
    std::remove(bin.c_str());
    if (code.empty() || list.empty()) return false;
    const Comparison r = compare(code, list, target);
    const double recall = share(r.commonStarts, r.objdumpStarts);
    const double precision = share(r.commonStarts, r.walkStarts);
    const double lengths = share(r.all.lengthAgree, r.all.covered);
    const double mnemonics = share(r.all.mnemonicAgree, r.all.covered);
    std::printf("[ objdump  ] %s (%s, %zu bytes)\n"
                "[ objdump  ]   %zu instructions, %zu compared; lengths agree %.4f%%, mnemonics %.4f%%\n"
                "[ objdump  ]   boundaries: walk %zu, objdump %zu, common %zu: recall %.4f%%, precision %.4f%%\n"
                "[ objdump  ]   VEX/EVEX/XOP %zu: lengths agree %zu, mnemonics %zu; invalid here %zu\n",
                label, elf.c_str(), code.size(), r.total, r.all.covered, 100.0 * lengths, 100.0 * mnemonics,
                r.walkStarts, r.objdumpStarts, r.commonStarts, 100.0 * recall, 100.0 * precision,
                r.vector.covered, r.vector.lengthAgree, r.vector.mnemonicAgree, r.invalid);
    for (const auto& m : r.mismatches) std::printf("[ mismatch ] %s\n", m.c_str());
    EXPECT_GT(r.all.covered, expect.minimum) << label;
    EXPECT_GE(r.vector.covered, expect.minimumVector) << label;
    EXPECT_GE(lengths, expect.lengths) << label << ": lengths disagree with objdump too often";
    EXPECT_GE(mnemonics, expect.mnemonics) << label << ": mnemonics disagree with objdump too often";
    EXPECT_GE(share(r.vector.mnemonicAgree, r.vector.covered), r.vector.covered ? expect.mnemonics : 0.0)
        << label << ": VEX/EVEX instructions disagree with objdump too often";
    EXPECT_GE(recall, expect.boundaries) << label;
    EXPECT_GE(precision, expect.boundaries) << label;
    return true;
}

// Compiles generated C (no headers needed) with the given gcc flags; returns
// the object's path, or "" when gcc cannot build it. The loops give gcc's
// vectoriser work: arithmetic, fused multiply-add, gathers through an index,
// conditional updates (blends, AVX-512 masks), byte and word elements and
// conversions between integer and floating point.
std::string compileGenerated(const char* flags) {
    const std::string src = tempPath("gen.c");
    const std::string obj = tempPath("gen.o");
    {
        std::ofstream out(src);
        for (int i = 0; i < 40; ++i) {
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
                << " s = s > v[k] ? s : v[k] * " << i << ".5f; return s; }\n"
                << "void va" << i << "(float* restrict a, const float* restrict b, const float* restrict c, int n)"
                << " { for (int k = 0; k < n; ++k) a[k] = a[k] * b[k] + c[k] * " << i << ".25f; }\n"
                << "void vb" << i << "(double* restrict a, const int* restrict x, const double* restrict t, int n)"
                << " { for (int k = 0; k < n; ++k) a[k] += t[x[k]] * " << i + 2 << ".0; }\n"
                << "void vc" << i << "(int* restrict a, const int* restrict b, int n)"
                << " { for (int k = 0; k < n; ++k) if (b[k] > " << i << ") a[k] = b[k] >> " << i % 7 + 1 << "; }\n"
                << "void vd" << i << "(unsigned char* restrict d, const unsigned char* restrict s, int n)"
                << " { for (int k = 0; k < n; ++k) d[k] = s[k] < " << 60 + i << " ? s[k] : s[k] - 32; }\n"
                << "void ve" << i << "(double* restrict d, const float* restrict s, const long long* restrict q, int n)"
                << " { for (int k = 0; k < n; ++k) d[k] = s[k] + (double)q[k] / " << i + 1 << "; }\n"
                << "long long vf" << i << "(const short* s, int n) { long long t = 0;"
                << " for (int k = 0; k < n; ++k) t += s[k] * s[k] + " << i << "; return t; }\n"
                << "unsigned vg" << i << "(unsigned x, unsigned y) { return (x & ~y) ^ (x >> (y & 31)) ^ "
                << "(unsigned)__builtin_ctz(x | " << i + 1 << "); }\n"
                << "void vi" << i << "(unsigned char* restrict d, const unsigned char* restrict s, int n)"
                << " { for (int k = 0; k < n; ++k) d[k] = (unsigned char)((s[k] << " << i % 7 + 1
                << ") | (s[k] >> " << 7 - i % 7 << ")) ^ (unsigned char)(s[k] * " << i + 3 << "); }\n";
            out << "long double vl" << i << "(long double a, long double b) { return a * b + a / (b + " << i
                << "); }\n";
            // Half precision where the target has the type (SSE2 and later).
            out << "#ifdef __SSE2__\n"
                << "void vh" << i << "(_Float16* restrict a, const _Float16* restrict b, int n)"
                << " { for (int k = 0; k < n; ++k) a[k] = a[k] * b[k] + (_Float16)" << i << ".5f; }\n"
                << "float vj" << i << "(const _Float16* v, int n) { float s = 0; for (int k = 0; k < n; ++k)"
                << " s += (float)v[k] * " << i + 1 << ".0f; return s; }\n"
                << "#endif\n";
        }
    }
    const std::string cc = std::string("gcc ") + flags + " -c '" + src + "' -o '" + obj + "' 2>/dev/null";
    const bool built = std::system(cc.c_str()) == 0;
    std::remove(src.c_str());
    return built ? obj : std::string();
}

bool toolsMissing() { return !haveTool("objdump") || !haveTool("objcopy"); }

constexpr Expect kLibrary{0.9999, 0.9999, 0.9999};

TEST(DisasmObjdump, LibrariesAgreeIn64BitMode) {
    if (toolsMissing()) GTEST_SKIP() << "objdump/objcopy not installed";
    const std::string libc = "/usr/lib/x86_64-linux-gnu/libc.so.6";
    if (!fileExists(libc)) GTEST_SKIP() << libc << " not found";
    // The C library's string functions come in AVX2 and EVEX variants.
    EXPECT_TRUE(compareElf(libc, k64, Expect{0.9999, 0.9999, 0.9999, 1000, 5000}, "64-bit libc"));
    const std::string libstdcxx = "/usr/lib/x86_64-linux-gnu/libstdc++.so.6";
    if (fileExists(libstdcxx)) {
        EXPECT_TRUE(compareElf(libstdcxx, k64, kLibrary, "64-bit libstdc++"));
    }
    // More 64-bit files to compare, colon separated (for runs by hand).
    if (const char* extra = std::getenv("QUORBY_DISASM_OBJDUMP_EXTRA")) {
        std::stringstream list(extra);
        for (std::string path; std::getline(list, path, ':');) {
            if (!path.empty()) {
                EXPECT_TRUE(compareElf(path, k64, Expect{0.999, 0.99, 0.999}, "extra")) << path;
            }
        }
    }
}

// Libraries with hand-written assembly (AVX2, AVX-512, AES-NI, SHA, GFNI,
// XOP paths for AMD): the AV1 decoder agrees everywhere; OpenSSL's
// libcrypto keeps constant tables inside .text, where the walk may part
// from objdump's for a few bytes.
TEST(DisasmObjdump, AssemblyLibrariesAgree) {
    if (toolsMissing()) GTEST_SKIP() << "objdump/objcopy not installed";
    int found = 0;
    const std::string dav1d = "/usr/lib/x86_64-linux-gnu/libdav1d.so.6";
    if (fileExists(dav1d)) {
        ++found;
        EXPECT_TRUE(compareElf(dav1d, k64, Expect{1.0, 1.0, 1.0, 1000, 50000}, "64-bit libdav1d"));
    }
    const std::string crypto = "/usr/lib/x86_64-linux-gnu/libcrypto.so.3";
    if (fileExists(crypto)) {
        ++found;
        EXPECT_TRUE(compareElf(crypto, k64, Expect{0.9999, 0.9998, 0.99, 1000, 10000}, "64-bit libcrypto"));
    }
    if (found == 0) GTEST_SKIP() << "neither libdav1d nor libcrypto installed";
}

TEST(DisasmObjdump, LibrariesAgreeIn32BitMode) {
    if (toolsMissing()) GTEST_SKIP() << "objdump/objcopy not installed";
    bool any = false;
    for (const char* lib : {"/usr/lib32/libc.so.6", "/usr/lib32/libstdc++.so.6"}) {
        if (!fileExists(lib)) continue;
        EXPECT_TRUE(compareElf(lib, k32, kLibrary, lib));
        any = true;
    }
    if (any) return;
    // No 32-bit libraries: compile generated C with gcc -m32 instead.
    const std::string obj = compileGenerated("-O2 -m32 -msse4.2");
    if (obj.empty()) GTEST_SKIP() << "no /usr/lib32/libc.so.6 and gcc -m32 does not work";
    EXPECT_TRUE(compareElf(obj, k32, Expect{0.999, 0.999, 0.999}, "gcc -m32 object"));
    std::remove(obj.c_str());
}

// Vectorised loops built for AVX2 (with FMA, F16C, BMI1/2), for Sapphire
// Rapids (AVX-512 with FP16, VBMI2, BITALG, GFNI, VAES, VPCLMULQDQ, AVX-VNNI,
// BF16) in 64- and 32-bit mode, and for Zen 3 in 32-bit mode (whose x87 code
// pops with FFREEP): every instruction must agree. Each build costs seconds,
// so the pairs are chosen to cover every family once.
TEST(DisasmObjdump, VectorCodeAgreesIn64And32BitMode) {
    if (toolsMissing()) GTEST_SKIP() << "objdump/objcopy not installed";
    const char* const avx2 = "-O3 -mavx2 -mfma -mf16c -mbmi -mbmi2 -mlzcnt";
    const char* const sapphireRapids = "-O3 -march=sapphirerapids -mprefer-vector-width=512";
    const char* const zen3 = "-O3 -march=znver3";
    int built = 0;
    const std::pair<Target, const char*> builds[] = {
        {k64, avx2}, {k64, sapphireRapids}, {k32, sapphireRapids}, {k32, zen3}};
    for (const auto& [target, isa] : builds) {
        const std::string flags = std::string(target.is64() ? "-m64 " : "-m32 ") + isa;
        const std::string obj = compileGenerated(flags.c_str());
        if (obj.empty()) continue;
        ++built;
        EXPECT_TRUE(compareElf(obj, target, Expect{1.0, 1.0, 1.0, 1000, 1000}, flags.c_str()));
        std::remove(obj.c_str());
    }
    if (built == 0) GTEST_SKIP() << "gcc cannot build AVX2 or AVX-512 code here";
}

// gcc -m16 writes 32-bit code for 16-bit mode: operand- and address-size
// prefixes on nearly every instruction.
TEST(DisasmObjdump, BoundariesAgreeOn16BitCode) {
    if (toolsMissing()) GTEST_SKIP() << "objdump/objcopy not installed";
    const std::string obj = compileGenerated("-O2 -m16");
    if (obj.empty()) GTEST_SKIP() << "gcc -m16 does not work";
    EXPECT_TRUE(compareElf(obj, k16, Expect{0.999, 0.99, 0.999, 500}, "gcc -m16 object"));
    std::remove(obj.c_str());
}

}  // namespace
}  // namespace quorby::disasm
