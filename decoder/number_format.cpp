#include "core/tables.h"
#include "decoder/text_out.h"

namespace quorby::disasm {

namespace {

void writeDigits(TextOut& out, std::uint64_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) out.put(kDigits[(value >> (4 * i)) & 15]);
}

}  // namespace

std::int64_t signExtend(std::uint64_t raw, int bytes) {
    if (bytes >= 8) return std::int64_t(raw);
    const int shift = 64 - 8 * bytes;
    return std::int64_t(raw << shift) >> shift;
}

void writeHex64(TextOut& out, std::uint64_t value) {
    out.put("0x");
    writeDigits(out, value >> 32, 8);
    out.put(' ');
    writeDigits(out, value & 0xFFFFFFFFu, 8);
}

void writeUnsigned(TextOut& out, std::uint64_t value, int bytes) {
    if (bytes >= 8) {
        writeHex64(out, value);
        return;
    }
    out.put("0x");
    writeDigits(out, value, 2 * bytes);
}

void writeSigned(TextOut& out, std::uint64_t rawValue, int bytes) {
    const std::int64_t v = signExtend(rawValue, bytes);
    const std::uint64_t magnitude = v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v);
    out.put(v < 0 ? " - 0x" : " + 0x");
    writeDigits(out, magnitude, 2 * (bytes >= 8 ? 8 : bytes));
}

void writeFilePosition(TextOut& out, FilePos pos) {
    char buf[20];
    formatPositionText(pos, buf);
    for (char c : buf) out.put(c);
}

}  // namespace quorby::disasm
