// Every opcode of every map, compared with binutils' objdump: the one-byte
// map, 0F, 0F 38 and 0F 3A under no prefix, 66, F3 and F2, the VEX maps
// 0F, 0F 38 and 0F 3A, the XOP maps 8, 9 and A and, in 32- and 64-bit mode,
// the EVEX maps 0F, 0F 38, 0F 3A, 5 and 6; each opcode with a register
// operand and with memory operands (SIB with a 32-bit and with an 8-bit
// displacement), the ModRM reg field running through all eight values.
//
// Each encoding gets a slot of its own, padded with NOPs, so that whatever
// either side makes of the bytes the next slot starts afresh. Where objdump
// decodes an instruction, the decoder must take the same length and must
// not call it invalid; the names are compared as in the library comparison.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/decoder/disasm_test_util.h"
#include "tests/decoder/objdump_support.h"

namespace quorby::disasm {
namespace {

using namespace testing;

// A slot holds one encoding (13 bytes at most), zeros and a last byte F8
// (CLC). Whatever objdump or the decoder makes of an encoding, what they
// read after it ends within the zeros, 15 bytes at most past its start;
// objdump skips runs of zeros in steps of four bytes, and the rest, decoded
// as 00 00 pairs and at worst 00 F8, ends at the slot's end. Zeros keep
// objdump's listing short.
constexpr std::size_t kSlot = 32;

struct Sweep {
    std::vector<std::uint8_t> code;
    void add(const std::vector<std::uint8_t>& bytes) {
        const std::size_t at = code.size();
        code.resize(at + kSlot, 0x00);
        code[at + kSlot - 1] = 0xF8;
        std::copy(bytes.begin(), bytes.end(), code.begin() + long(at));
    }
};

// The ModRM forms: the reg field r with a register, with SIB and a 32-bit
// displacement, and with SIB and an 8-bit displacement; two immediate bytes
// follow, enough for any 0F-map instruction.
// Maps with groups (members chosen by the reg field) get all eight reg values
// in both forms; the others a register, a SIB and a disp8 form.
std::vector<std::vector<std::uint8_t>> operandForms(bool groups) {
    std::vector<std::vector<std::uint8_t>> forms;
    for (int r = 0; r < (groups ? 8 : 1); ++r) {
        forms.push_back({std::uint8_t(0xC0 | r << 3 | ((r + 1) & 7)), 0x11, 0x22});
        forms.push_back({std::uint8_t(0x84 | r << 3), 0x71, 0x40, 0x30, 0x20, 0x01, 0x11, 0x22});
    }
    forms.push_back({0x54, 0x71, 0x08, 0x11, 0x22});
    return forms;
}

// Opcodes whose instruction depends on the ModRM reg field, by the published
// maps: VEX 0F 71-73 and AE, VEX 0F 38 49 and F3; EVEX 0F 71-73 and 0F 38
// C6, C7; XOP 9 01, 02, 12 and XOP A 12.
bool isGroup(int escape, int map, int op) {
    if (escape == 0x62) return (map == 1 && op >= 0x71 && op <= 0x73) || (map == 2 && (op == 0xC6 || op == 0xC7));
    if (escape == 0x8F) return (map == 9 && (op == 0x01 || op == 0x02 || op == 0x12)) || (map == 10 && op == 0x12);
    return (map == 1 && ((op >= 0x71 && op <= 0x73) || op == 0xAE)) || (map == 2 && (op == 0x49 || op == 0xF3));
}

void addLegacyMaps(Sweep& s, bool is64) {
    const auto all = operandForms(true);
    const auto few = operandForms(false);
    for (int op = 0; op < 256; ++op) {
        const bool prefix = op == 0x26 || op == 0x2E || op == 0x36 || op == 0x3E || op == 0x64 ||
                            op == 0x65 || op == 0x66 || op == 0x67 || op == 0xF0 || op == 0xF2 ||
                            op == 0xF3 || op == 0x0F || (is64 && (op & 0xF0) == 0x40);
        if (prefix || op == 0xC4 || op == 0xC5 || op == 0x62 || op == 0x8F) continue;
        for (const auto& f : all) {
            std::vector<std::uint8_t> b{std::uint8_t(op)};
            b.insert(b.end(), f.begin(), f.end());
            s.add(b);
        }
    }
    for (const std::vector<std::uint8_t>& escape : {std::vector<std::uint8_t>{0x0F},
                                                   std::vector<std::uint8_t>{0x0F, 0x38},
                                                   std::vector<std::uint8_t>{0x0F, 0x3A}}) {
        for (int prefix : {0, 0x66, 0xF3, 0xF2}) {
            for (int op = 0; op < 256; ++op) {
                if (escape.size() == 1 && (op == 0x38 || op == 0x3A)) continue;
                for (const auto& f : escape.size() == 1 ? all : few) {
                    std::vector<std::uint8_t> b;
                    if (prefix) b.push_back(std::uint8_t(prefix));
                    b.insert(b.end(), escape.begin(), escape.end());
                    b.push_back(std::uint8_t(op));
                    b.insert(b.end(), f.begin(), f.end());
                    s.add(b);
                }
            }
        }
    }
}

// VEX (C4) and XOP (8F) in their three-byte form, EVEX (62): no register
// extension; vvvv unused (1111) with memory and naming register 1 with a
// register. Vector length, W and (EVEX) the mask register change from one
// form to the next.
void addVectorMaps(Sweep& s, std::uint8_t escape, std::initializer_list<int> maps) {
    const auto all = operandForms(true);
    const auto few = operandForms(false);
    const int prefixes = escape == 0x8F ? 1 : 4;  // XOP has no implied prefix
    for (int map : maps) {
        for (int op = 0; op < 256; ++op) {
            for (int pp = 0; pp < prefixes; ++pp) {
                int k = 0;
                for (const auto& f : isGroup(escape, map, op) ? all : few) {
                    const bool reg = (f[0] >> 6) == 3;
                    const int vvvv = reg ? 0x0E : 0x0F;
                    const int w = (k >> 1) & 1;
                    std::vector<std::uint8_t> b;
                    if (escape == 0x62) {
                        const int l = k % 3, mask = k & 1;
                        b = {0x62, std::uint8_t(0xF0 | map), std::uint8_t(w << 7 | vvvv << 3 | 0x04 | pp),
                             std::uint8_t(l << 5 | 0x08 | mask)};
                    } else {
                        const int l = k & 1;
                        b = {escape, std::uint8_t(0xE0 | map), std::uint8_t(w << 7 | vvvv << 3 | l << 2 | pp)};
                    }
                    ++k;
                    b.push_back(std::uint8_t(op));
                    b.insert(b.end(), f.begin(), f.end());
                    s.add(b);
                }
            }
        }
    }
}

// Where the decoder follows the processor and objdump does not:
// - instructions that exist only in 64-bit mode (SWAPGS, the FS/GS base
//   moves, CMPccXADD) are invalid in the other modes;
// - in 64-bit mode a 66 prefix does not shorten the displacement of a near
//   branch (Intel processors ignore it there; objdump reads 16 bits);
// - 9B (WAIT) is an instruction of its own, also before an x87 opcode;
// - 0F 1A and 0F 1B are hint NOPs: the MPX instructions objdump names there
//   are gone from the processors.
bool documentedDifference(const std::uint8_t* at, const ObjdumpInstruction& ins, DecoderMode mode,
                          bool invalid) {
    const std::string name = objdumpMnemonic(ins.text);
    if (at[0] == 0x9B) return true;
    if (name.rfind("bnd", 0) == 0 && !invalid) return true;
    if (mode != DecoderMode::Protected64) {
        const bool only64 = name == "swapgs" || name == "rdfsbase" || name == "rdgsbase" ||
                            name == "wrfsbase" || name == "wrgsbase" ||
                            (name.rfind("cmp", 0) == 0 && name.size() > 7 &&
                             name.compare(name.size() - 4, 4, "xadd") == 0);
        return only64 && invalid;
    }
    const bool nearBranch = at[0] == 0x66 && ((at[1] == 0x0F && (at[2] & 0xF0) == 0x80) ||
                                              at[1] == 0xE8 || at[1] == 0xE9);
    return nearBranch;
}

struct SweepResult {
    std::size_t decoded = 0;        // slots objdump decodes
    std::size_t lengthAgree = 0;
    std::size_t mnemonicAgree = 0;
    std::size_t invalidHere = 0;    // objdump decodes, the decoder calls it invalid
    std::size_t validDiffering = 0; // both decode, with another length or name
    std::vector<std::string> mismatches;
};

std::string hexBytes(const std::uint8_t* b, std::size_t n) {
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02x ", b[i]);
        s += buf;
    }
    return s;
}

SweepResult runSweep(const Sweep& s, const char* machine, DecoderMode mode, const char* name) {
    SweepResult r;
    const std::string bin = tempPath(name);
    {
        std::ofstream out(bin, std::ios::binary);
        out.write(reinterpret_cast<const char*>(s.code.data()), std::streamsize(s.code.size()));
    }
    const auto list = runObjdump(bin, machine, kSlot);
    std::remove(bin.c_str());
    const std::uint32_t st = modeState(mode);
    for (const auto& ins : list) {
        if (ins.offset % kSlot != 0 || !objdumpDecodes(ins.text)) continue;
        const std::uint8_t* at = s.code.data() + ins.offset;
        const auto d = decodeBytes(std::vector<std::uint8_t>(at, at + 16), st);
        const bool invalid = d.text.find("(invalid Opcode)") != std::string::npos;
        if (documentedDifference(at, ins, mode, invalid)) continue;
        ++r.decoded;
        const bool lengthOk = d.length == ins.length && !invalid;
        const bool nameOk = foldMnemonic(decoderMnemonic(d.text)) == foldMnemonic(objdumpMnemonic(ins.text));
        r.invalidHere += invalid;
        r.lengthAgree += lengthOk;
        r.mnemonicAgree += lengthOk && nameOk;
        r.validDiffering += !invalid && (!lengthOk || !nameOk);
        if ((!lengthOk || !nameOk) && (r.mismatches.size() < 40 || std::getenv("QUORBY_SWEEP_ALL"))) {
            r.mismatches.push_back(hexBytes(at, ins.length) + " objdump " + std::to_string(ins.length) + " '" +
                                   ins.text + "'  decoder " + std::to_string(d.length) + " '" +
                                   d.text.substr(0, d.text.find('\r')) + "'");
        }
    }
    std::printf("[ sweep    ] %s: %zu encodings objdump decodes; lengths agree %zu, names %zu, "
                "invalid here %zu, decoded otherwise %zu\n",
                name, r.decoded, r.lengthAgree, r.mnemonicAgree, r.invalidHere, r.validDiffering);
    for (const auto& m : r.mismatches) std::printf("[ mismatch ] %s\n", m.c_str());
    return r;
}

TEST(DisasmObjdumpSweep, EveryMapAgreesWithObjdumpInEveryMode) {
    if (!haveTool("objdump")) GTEST_SKIP() << "objdump not installed";
    struct Case {
        const char* machine;
        DecoderMode mode;
        const char* name;
    };
    for (const Case& c : {Case{"i386:x86-64", DecoderMode::Protected64, "64-bit"},
                          Case{"i386", DecoderMode::Protected32, "32-bit"},
                          Case{"i8086", DecoderMode::Protected16, "16-bit"}}) {
        Sweep s;
        addLegacyMaps(s, c.mode == DecoderMode::Protected64);
        addVectorMaps(s, 0xC4, {1, 2, 3});
        addVectorMaps(s, 0x8F, {8, 9, 10});
        addVectorMaps(s, 0x62, {1, 2, 3, 5, 6});
        const SweepResult r = runSweep(s, c.machine, c.mode, c.name);
        EXPECT_GT(r.decoded, 17000u) << c.name;
        // Every encoding both sides decode has the same length and name.
        EXPECT_EQ(r.validDiffering, 0u) << c.name;
        EXPECT_EQ(r.lengthAgree + r.invalidHere, r.decoded) << c.name;
        // What objdump decodes and the decoder refuses: encodings the
        // processor refuses too (a W, vector length or implied prefix the
        // instruction does not have, memory where only a register is
        // allowed, L'L or b of EVEX where the instruction has no use for
        // them), the Xeon Phi families (AVX512ER, PF, 4FMAPS, 4VNNIW), AMX's
        // tile configuration and EVEX forms of the AVX-VNNI-INT8 dot
        // products. Fewer than 1 in 150 of the encodings.
        EXPECT_LT(r.invalidHere * 150, r.decoded) << c.name;
    }
}

}  // namespace
}  // namespace quorby::disasm
