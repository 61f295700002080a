// Decoding and formatting speed of the disassembler over the .text section of
// a large x86-64 library, beside Zydis decoding and formatting the same bytes
// when Zydis is available; then the whole-process listing of the same bytes,
// `quorby --disassemble` beside `objdump -D` (best of three runs each).
//
// usage: bench_disasm_speed [ELF64 file] [quorby binary]
//   (defaults: the C library; the quorby program of this build tree)
#include <elf.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "decoder/decoder.h"

#ifdef QUORBY_HAVE_ZYDIS
#include <Zydis/Zydis.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// The bytes of the .text section of an ELF64 file, or nothing.
std::vector<std::uint8_t> textSection(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file(std::istreambuf_iterator<char>(in), {});
    if (file.size() < sizeof(Elf64_Ehdr) || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0 ||
        file[EI_CLASS] != ELFCLASS64)
        return {};
    Elf64_Ehdr eh;
    std::memcpy(&eh, file.data(), sizeof eh);
    if (eh.e_shoff == 0 || eh.e_shstrndx >= eh.e_shnum ||
        eh.e_shoff + std::uint64_t(eh.e_shnum) * sizeof(Elf64_Shdr) > file.size())
        return {};
    auto section = [&](int i) {
        Elf64_Shdr sh;
        std::memcpy(&sh, file.data() + eh.e_shoff + std::uint64_t(i) * sizeof sh, sizeof sh);
        return sh;
    };
    const Elf64_Shdr names = section(eh.e_shstrndx);
    for (int i = 0; i < eh.e_shnum; ++i) {
        const Elf64_Shdr sh = section(i);
        if (names.sh_offset + sh.sh_name + 6 > file.size()) continue;
        if (std::strcmp(reinterpret_cast<const char*>(file.data() + names.sh_offset + sh.sh_name), ".text") != 0)
            continue;
        if (sh.sh_offset + sh.sh_size > file.size()) return {};
        return {file.begin() + long(sh.sh_offset), file.begin() + long(sh.sh_offset + sh.sh_size)};
    }
    return {};
}

struct Result {
    std::size_t instructions = 0;
    double seconds = 0;
    std::size_t checksum = 0;  // keeps the text in use
};

Result runQuorby(const std::vector<std::uint8_t>& code, int passes) {
    using namespace quorby::disasm;
    Result r;
    char text[kMaxInstructionText];
    const auto t0 = Clock::now();
    for (int p = 0; p < passes; ++p) {
        std::uint32_t st = setDecoderMode(state::kShowPrefixes, DecoderMode::Protected64);
        for (std::size_t pos = 0; pos < code.size();) {
            const std::size_t rest = code.size() - pos;
            std::uint32_t length = 1;
            std::size_t textLength = 0;
            decodeInstruction(code.data() + pos, rest < 16 ? rest : 16, pos, st, text, sizeof text, length,
                              textLength);
            r.checksum += textLength;
            ++r.instructions;
            pos += length;
        }
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    return r;
}

#ifdef QUORBY_HAVE_ZYDIS
Result runZydis(const std::vector<std::uint8_t>& code, int passes) {
    Result r;
    ZydisDecoder decoder;
    ZydisDecoderInit(&decoder, ZYDIS_MACHINE_MODE_LONG_64, ZYDIS_STACK_WIDTH_64);
    ZydisFormatter formatter;
    ZydisFormatterInit(&formatter, ZYDIS_FORMATTER_STYLE_INTEL);
    ZydisDecodedInstruction instruction;
    ZydisDecodedOperand operands[ZYDIS_MAX_OPERAND_COUNT];
    char text[256];
    const auto t0 = Clock::now();
    for (int p = 0; p < passes; ++p) {
        for (std::size_t pos = 0; pos < code.size();) {
            std::size_t length = 1;
            if (ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder, code.data() + pos, code.size() - pos,
                                                    &instruction, operands))) {
                ZydisFormatterFormatInstruction(&formatter, &instruction, operands,
                                                instruction.operand_count_visible, text, sizeof text, pos,
                                                ZYAN_NULL);
                r.checksum += std::strlen(text);
                length = instruction.length;
            }
            ++r.instructions;
            pos += length;
        }
    }
    r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    return r;
}
#endif

void report(const char* name, const Result& r) {
    std::printf("%-8s %10zu instructions in %.3f s: %7.2f million instructions/s (checksum %zu)\n", name,
                r.instructions, r.seconds, r.instructions / r.seconds / 1e6, r.checksum);
}

// Best wall time of three runs of `command`.
double bestOfThree(const std::string& command) {
    double best = quorby::bench::timedCommand(command);
    for (int i = 0; i < 2; ++i) best = std::min(best, quorby::bench::timedCommand(command));
    return best;
}

void compareProcesses(const std::vector<std::uint8_t>& code, const char* given) {
    const std::string quorby = quorby::bench::quorbyProgram(given);
    if (quorby.empty()) return;
    const std::string bin = "/tmp/quorby-bench-disasm-" + std::to_string(getpid()) + ".bin";
    {
        std::ofstream out(bin, std::ios::binary);
        out.write(reinterpret_cast<const char*>(code.data()), std::streamsize(code.size()));
    }
    const std::string ours = "'" + quorby + "' --disassemble '" + bin + "' --mode 64 > /dev/null";
    const std::string theirs = "objdump -D -b binary -m i386:x86-64 '" + bin + "' > /dev/null";
    const double q = bestOfThree(ours);
    const double o = bestOfThree(theirs);
    std::remove(bin.c_str());
    std::printf("process  %s\n         %.3f s\n", ours.c_str(), q);
    std::printf("process  %s\n         %.3f s\n", theirs.c_str(), o);
    std::printf("process  quorby / objdump: %.3f\n", q / o);
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "/usr/lib/x86_64-linux-gnu/libc.so.6";
    const auto code = textSection(path);
    if (code.empty()) {
        std::fprintf(stderr, "no .text section in '%s' (an x86-64 ELF file is needed)\n", path);
        return 1;
    }
    std::printf("%s: .text of %zu bytes, 64-bit mode, decode and format\n", path, code.size());
    const int passes = 5;
    runQuorby(code, 1);  // warm-up
    const Result q = runQuorby(code, passes);
    report("quorby", q);
#ifdef QUORBY_HAVE_ZYDIS
    runZydis(code, 1);
    const Result z = runZydis(code, passes);
    report("zydis", z);
    std::printf("quorby / zydis instructions per second: %.2f\n",
                (q.instructions / q.seconds) / (z.instructions / z.seconds));
#else
    std::printf("zydis    not built in (install libzydis-dev and reconfigure)\n");
#endif
    compareProcesses(code, argc > 2 ? argv[2] : "");
    return 0;
}
