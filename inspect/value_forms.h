#pragma once
// The value inspector's further readings of the bytes at the cursor: the
// byte order of values of several bytes, floating-point numbers, the UTF-8
// and UTF-16 character, Unix times and the DOS date-time; each with the
// exact bytes of a typed text.
#include <cstdint>
#include <string>

namespace quorby::inspect {

// The value of the first `width` bytes, byte 0 lowest (little-endian) or
// highest (big-endian); and the bytes of a value in that order.
std::uint64_t orderedValue(const std::uint8_t* bytes, int width, bool bigEndian);
void putOrderedValue(std::uint8_t* bytes, int width, std::uint64_t value, bool bigEndian);

// The shortest decimal text that reads back to the same bits ("1.5",
// "-0", "1e+30", "inf", "nan"); a typed text read as the nearest value
// ("nan" and "inf" with or without a sign; blanks around it are ignored).
std::string floatText(std::uint32_t bits);
std::string doubleText(std::uint64_t bits);
[[nodiscard]] int parseFloat(const std::string& text, std::uint32_t* bits);
[[nodiscard]] int parseDouble(const std::string& text, std::uint64_t* bits);

// The UTF-8 sequence at `bytes` (`available` of them): its length (1 to 4)
// with *codePoint, or 0 when it is no valid sequence (a continuation byte,
// an overlong form, a surrogate, beyond U+10FFFF, cut short).
int utf8Sequence(const std::uint8_t* bytes, int available, std::uint32_t* codePoint);
// The UTF-16 unit or surrogate pair at `bytes` (4 of them): 2 or 4, or 0
// for a lone surrogate.
int utf16Sequence(const std::uint8_t* bytes, bool bigEndian, std::uint32_t* codePoint);
// The encodings of a code point: their length, and the bytes in `out`.
int encodeUtf8(std::uint32_t codePoint, std::uint8_t out[4]);
int encodeUtf16(std::uint32_t codePoint, bool bigEndian, std::uint8_t out[4]);
// "U+00E9 é": the code point and, unless it is a control character, the
// character itself (UTF-8).
std::string characterText(std::uint32_t codePoint);
// A typed character: "U+" and hexadecimal digits (what follows a blank is
// ignored), or exactly one character. Result 1 for anything else or a code
// point that no character has (a surrogate, beyond U+10FFFF).
[[nodiscard]] int parseCharacter(const std::string& text, std::uint32_t* codePoint);

// Seconds since 1970-01-01 00:00:00 UTC as "2026-12-07 19:48:29"; years
// outside 0000 .. 9999 give "out of range". A typed text of that form back
// into seconds (result 1 for another form or an impossible date).
std::string utcText(std::int64_t seconds);
[[nodiscard]] int parseUtc(const std::string& text, std::int64_t* seconds);

// The DOS date-time: the time word (hours 5 bits, minutes 6, seconds / 2
// 5) and the date word (years since 1980 7 bits, month 4, day 5), as
// "2026-12-07 19:48:28", or "invalid" when a field is out of its range. A
// typed text back into both words: years 1980 .. 2107, even seconds.
std::string dosText(std::uint16_t time, std::uint16_t date);
[[nodiscard]] int parseDos(const std::string& text, std::uint16_t* time, std::uint16_t* date);

}  // namespace quorby::inspect
