#pragma once
// Running binutils' objdump on raw bytes and comparing its Intel-syntax
// mnemonics with the decoder's, shared by the objdump comparison tests.
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
#include <vector>

namespace quorby::disasm::testing {

struct ObjdumpInstruction {
    std::size_t offset;
    std::size_t length;
    std::string text;
};

inline bool haveTool(const char* tool) {
    const std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

inline bool fileExists(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

inline std::string tempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/quorby_disasm_" + std::to_string(getpid()) + "_" + name;
}

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Runs objdump on the raw bytes and collects offset, length and text of each
// line; with a stride only of the lines at offsets that are multiples of it.
inline std::vector<ObjdumpInstruction> runObjdump(const std::string& bin, const char* machine,
                                                  std::size_t stride = 1) {
    std::vector<ObjdumpInstruction> list;
    const std::string cmd = std::string("objdump -D -M intel -b binary -m ") + machine +
                            " --insn-width=16 '" + bin + "' 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return list;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        char* end = nullptr;
        const unsigned long offset = std::strtoul(line, &end, 16);
        if (end == line || *end != ':' || end[1] != '\t' || offset % stride != 0) continue;
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

// objdump marks what it cannot decode with "(bad)" or "{bad}", and a
// segment register number 6 or 7 with "?".
inline bool objdumpDecodes(const std::string& text) {
    return text.find("(bad)") == std::string::npos && text.find("{bad}") == std::string::npos &&
           text.find('?') == std::string::npos;
}

inline std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

inline std::string lower(std::string s) {
    for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// objdump's mnemonic: the first word after its prefix words. The two-byte
// no-operation 66 90 is "xchg ax,ax" ("xchg eax,eax" in 16-bit code) there.
inline std::string objdumpMnemonic(const std::string& text) {
    const auto w = words(text);
    if (w.size() == 2 && w[0] == "xchg" && (w[1] == "ax,ax" || w[1] == "eax,eax")) return "nop";
    static const char* const kPrefixWords[] = {
        "rep", "repz", "repnz", "repe", "repne", "lock", "data16", "data32", "addr16", "addr32",
        "cs", "ds", "es", "ss", "fs", "gs", "notrack", "bnd", "xacquire", "xrelease",
        "{evex}", "{vex}", "{vex3}"};
    for (const std::string& w : words(text)) {
        const bool prefix = w.rfind("rex", 0) == 0 ||
                            std::any_of(std::begin(kPrefixWords), std::end(kPrefixWords),
                                        [&](const char* p) { return w == p; });
        if (!prefix) return w;
    }
    return "";
}

// The decoder's mnemonic: the first word after the prefix notes ("REX.W ",
// "(16 Bit Op.) ", "LOCK ", "REP ", "ES: ", "// " ...); in "EAX = IMUL ..." the
// word after the equals sign.
inline std::string decoderMnemonic(const std::string& text) {
    const auto w = words(text.substr(0, text.find('\r')));
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (w[i] == "=" && i + 1 < w.size()) return lower(w[i + 1]);
    }
    bool inNote = false;
    for (const std::string& x : w) {
        if (inNote || x[0] == '(') {
            inNote = x.back() != ')';
            continue;
        }
        const bool note = x.rfind("REX", 0) == 0 || x == "LOCK" || x == "REP" || x == "REPE" ||
                          x == "REPNE" || x == "//" || (x.size() == 3 && x[2] == ':');
        if (!note) return lower(x);
    }
    return "";
}

// Folds the differences between objdump's names and the program's notation:
// JZ/JNZ and SETPO for je/jne/setnp, MOV for movabs, INT 3, XLATB, WAIT and
// PREFETCH0..2, PUSHF/POPF and string instructions with their size letter,
// objdump's operand-size letter on call, ret and jmp in 16-bit code, and the
// comparison predicates objdump writes into the name where the program
// writes the immediate (cmpltps, vpcmpnleub, vpclmulhqlqdq).
inline std::string foldMnemonic(std::string m) {
    if (m == "movabs") return "mov";
    if (m == "sal") return "shl";  // C0-D3 /6, which objdump names as /4
    // Operand-size letters objdump adds where the program writes none or another.
    if (m == "pushad" || m == "pushaw") return "pusha";
    if (m == "popad" || m == "popaw") return "popa";
    if (m == "iretd" || m == "iretw") return "iret";
    if (m == "sysretd" || m == "sysexitd") return m.substr(0, m.size() - 1);
    if (m == "pushw" || m == "pushd" || m == "popw" || m == "popd") return m.substr(0, m.size() - 1);
    if (m.rfind("frstpm", 0) == 0) return "frstpm";  // "frstpm(287 only)"
    if (m.rfind("fneni", 0) == 0) return "feni";      // "fneni(8087 only)"
    if (m.rfind("fndisi", 0) == 0) return "fdisi";    // "fndisi(8087 only)"
    if (m == "leavew" || m == "leaveq") return "leave";
    if (m == "retfq" || m == "retfw") return "retf";
    if (m == "vpcmpestriq" || m == "vpcmpestrmq") return m.substr(0, m.size() - 1);
    for (const char* table : {"lgdt", "lidt", "sgdt", "sidt"}) {
        if (m.size() == 5 && m.rfind(table, 0) == 0 && (m[4] == 'w' || m[4] == 'd')) return table;
    }
    if (m == "fwait") return "wait";
    if (m == "prefetcht0" || m == "prefetcht1" || m == "prefetcht2") return "prefetch" + m.substr(9);
    if (m == "calld" || m == "callw" || m == "retd" || m == "retw" || m == "jmpd" || m == "jmpw")
        return m.substr(0, m.size() - 1);
    if (m == "je") return "jz";
    if (m == "jne") return "jnz";
    if (m == "setnp") return "setpo";
    if (m == "int3") return "int";
    if (m == "xlatb") return "xlat";
    static const char* const kPredicates[] = {
        "eq_uq", "neq_oq", "eq_os", "lt_oq", "le_oq", "unord_s", "neq_us", "nlt_uq", "nle_uq",
        "ord_s", "eq_us", "nge_uq", "ngt_uq", "false_os", "neq_os", "ge_oq", "gt_oq", "true_us",
        "unord", "false", "true", "neq", "nlt", "nle", "nge", "ngt", "ord", "eq", "lt", "le", "ge", "gt"};
    for (const char* stem : {"vpcmp", "vpcom", "vcmp", "cmp"}) {
        if (m.rfind(stem, 0) != 0) continue;
        const std::string rest = m.substr(std::string(stem).size());
        for (const char* p : kPredicates) {
            const std::string pred(p);
            const std::string tail = rest.size() > pred.size() ? rest.substr(pred.size()) : "";
            const bool packedOrScalar = tail == "ps" || tail == "pd" || tail == "ss" || tail == "sd" ||
                                        tail == "ph" || tail == "sh";
            const bool element = tail == "b" || tail == "w" || tail == "d" || tail == "q" ||
                                 tail == "ub" || tail == "uw" || tail == "ud" || tail == "uq";
            const bool integer = std::string(stem) == "vpcmp" || std::string(stem) == "vpcom";
            const bool gt = pred == "gt" && std::string(stem) == "vpcmp";  // VPCMPGTB is its own
            if (rest.rfind(pred, 0) == 0 && !gt && (integer ? element : packedOrScalar)) {
                m = stem + tail;
                break;
            }
        }
        break;
    }
    for (const char* stem : {"vpclmul", "pclmul"}) {
        const std::string s(stem);
        if (m.rfind(s, 0) == 0 && m.size() == s.size() + 6 && m.compare(m.size() - 2, 2, "dq") == 0)
            m = s + "qdq";
    }
    for (const char* stem : {"movs", "cmps", "stos", "lods", "scas", "ins", "outs", "pushf", "popf"}) {
        const std::string s(stem);
        if (m.size() == s.size() + 1 && m.rfind(s, 0) == 0 && std::strchr("bwdq", m.back())) m = s;
    }
    return m;
}

}  // namespace quorby::disasm::testing
