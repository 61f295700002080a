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
#include <string_view>
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
    std::vector<std::string> w;
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && space(text[i])) ++i;
        std::size_t end = i;
        while (end < text.size() && !space(text[end])) ++end;
        if (end > i) w.emplace_back(text, i, end - i);
        i = end;
    }
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
    // Compared as a view: this runs for every instruction of whole libraries.
    const std::string_view v(m);
    const auto starts = [&v](std::string_view head) { return v.substr(0, head.size()) == head; };
    const auto lessLast = [&m] { return m.substr(0, m.size() - 1); };
    if (v == "movabs") return "mov";
    if (v == "sal") return "shl";  // C0-D3 /6, which objdump names as /4
    // Operand-size letters objdump adds where the program writes none or another.
    if (v == "pushad" || v == "pushaw") return "pusha";
    if (v == "popad" || v == "popaw") return "popa";
    if (v == "iretd" || v == "iretw") return "iret";
    if (v == "sysretd" || v == "sysexitd") return lessLast();
    if (v == "pushw" || v == "pushd" || v == "popw" || v == "popd") return lessLast();
    if (starts("frstpm")) return "frstpm";  // "frstpm(287 only)"
    if (starts("fneni")) return "feni";      // "fneni(8087 only)"
    if (starts("fndisi")) return "fdisi";    // "fndisi(8087 only)"
    if (v == "leavew" || v == "leaveq") return "leave";
    if (v == "retfq" || v == "retfw") return "retf";
    if (v == "vpcmpestriq" || v == "vpcmpestrmq") return lessLast();
    for (std::string_view table : {"lgdt", "lidt", "sgdt", "sidt"}) {
        if (v.size() == 5 && starts(table) && (v[4] == 'w' || v[4] == 'd')) return std::string(table);
    }
    if (v == "fwait") return "wait";
    if (v == "prefetcht0" || v == "prefetcht1" || v == "prefetcht2") return "prefetch" + m.substr(9);
    if (v == "calld" || v == "callw" || v == "retd" || v == "retw" || v == "jmpd" || v == "jmpw")
        return lessLast();
    if (v == "je") return "jz";
    if (v == "jne") return "jnz";
    if (v == "setnp") return "setpo";
    if (v == "int3") return "int";
    if (v == "xlatb") return "xlat";
    std::string folded = m;
    static constexpr std::string_view kPredicates[] = {
        "eq_uq", "neq_oq", "eq_os", "lt_oq", "le_oq", "unord_s", "neq_us", "nlt_uq", "nle_uq",
        "ord_s", "eq_us", "nge_uq", "ngt_uq", "false_os", "neq_os", "ge_oq", "gt_oq", "true_us",
        "unord", "false", "true", "neq", "nlt", "nle", "nge", "ngt", "ord", "eq", "lt", "le", "ge", "gt"};
    for (std::string_view stem : {"vpcmp", "vpcom", "vcmp", "cmp"}) {
        if (!starts(stem)) continue;
        const std::string_view rest = v.substr(stem.size());
        for (std::string_view pred : kPredicates) {
            const std::string_view tail = rest.size() > pred.size() ? rest.substr(pred.size()) : "";
            const bool packedOrScalar = tail == "ps" || tail == "pd" || tail == "ss" || tail == "sd" ||
                                        tail == "ph" || tail == "sh";
            const bool element = tail == "b" || tail == "w" || tail == "d" || tail == "q" ||
                                 tail == "ub" || tail == "uw" || tail == "ud" || tail == "uq";
            const bool integer = stem == "vpcmp" || stem == "vpcom";
            const bool gt = pred == "gt" && stem == "vpcmp";  // VPCMPGTB is its own
            if (rest.substr(0, pred.size()) == pred && !gt && (integer ? element : packedOrScalar)) {
                folded = std::string(stem) + std::string(tail);
                break;
            }
        }
        break;
    }
    const std::string_view f(folded);
    for (std::string_view stem : {"vpclmul", "pclmul"}) {
        if (f.substr(0, stem.size()) == stem && f.size() == stem.size() + 6 && f.substr(f.size() - 2) == "dq")
            return std::string(stem) + "qdq";
    }
    for (std::string_view stem : {"movs", "cmps", "stos", "lods", "scas", "ins", "outs", "pushf", "popf"}) {
        if (f.size() == stem.size() + 1 && f.substr(0, stem.size()) == stem && std::strchr("bwdq", f.back()))
            return std::string(stem);
    }
    return folded;
}

}  // namespace quorby::disasm::testing
