#pragma once
// The text forms of the value inspector's fields, and reading a typed text
// back. Values are little-endian: byte 0 is the lowest.
#include <cstdint>
#include <string>

namespace quorby::inspect {

enum class ValueBase { Hex, Dec, Bin };

// The value of the first `width` bytes (1, 2, 4 or 8).
std::uint64_t valueOfBytes(const std::uint8_t* bytes, int width);
void putValueBytes(std::uint8_t* bytes, int width, std::uint64_t value);

// Upper-case hexadecimal with all digits of the width: the BYTE as two digits
// ("0A"), wider values in groups of four separated by a blank ("0000 000A").
std::string hexText(std::uint64_t value, int width);
// Decimal without leading zeros: the BYTE unsigned (0 .. 255), wider values
// signed, a minus sign directly before the first digit ("-1").
std::string decimalText(std::uint64_t value, int width);
// One byte as two groups of four binary digits ("0000 1010").
std::string binaryText(std::uint8_t byte);
std::string valueText(std::uint64_t value, ValueBase base, int width);

// Reads a typed text as a value of `width` bytes. Blanks are ignored;
// hexadecimal digits may be lower case; a decimal text may be negative and
// takes both the signed and the unsigned range of the width; a binary text
// is one byte. Returns 1 (and leaves *out) for an empty text, a character
// that is no digit of the base, or a value that does not fit the width.
[[nodiscard]] int parseValue(const std::string& text, ValueBase base, int width, std::uint64_t* out);

}  // namespace quorby::inspect
