#include "inspect/value_forms.h"

#include <bit>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace quorby::inspect {

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t from = text.find_first_not_of(' ');
    if (from == std::string::npos) return {};
    return text.substr(from, text.find_last_not_of(' ') - from + 1);
}

// from_chars takes no '+' sign.
template <typename T>
int parseNumber(const std::string& typed, T* out) {
    std::string text = trimmed(typed);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    if (text.empty()) return 1;
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // A value beyond the range of the type has no bytes of its own.
    if (error != std::errc() || end != text.data() + text.size()) return 1;
    *out = value;
    return 0;
}

template <typename T>
std::string shortestText(T value) {
    char text[48];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string();
}

bool isLeapYear(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(std::int64_t year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t* y, int* m, int* d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    *d = int(doy - (153 * mp + 2) / 5 + 1);
    *m = int(mp < 10 ? mp + 3 : mp - 9);
    *y = yoe + era * 400 + (*m <= 2);
}

std::string dateTimeText(std::int64_t y, int mo, int d, int h, int mi, int s) {
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(y), mo, d, h, mi, s);
    return text;
}

// "YYYY-MM-DD HH:MM:SS" with a valid date and time of day.
int parseDateTime(const std::string& typed, int* y, int* mo, int* d, int* h, int* mi, int* s) {
    const std::string text = trimmed(typed);
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':')
        return 1;
    int* fields[] = {y, mo, d, h, mi, s};
    const int starts[] = {0, 5, 8, 11, 14, 17};
    for (int f = 0; f < 6; ++f) {
        const int length = f == 0 ? 4 : 2;
        int v = 0;
        for (int i = 0; i < length; ++i) {
            const char c = text[std::size_t(starts[f] + i)];
            if (c < '0' || c > '9') return 1;
            v = v * 10 + (c - '0');
        }
        *fields[f] = v;
    }
    if (*mo < 1 || *mo > 12 || *d < 1 || *d > daysInMonth(*y, *mo) || *h > 23 || *mi > 59 || *s > 59) return 1;
    return 0;
}

}  // namespace

std::uint64_t orderedValue(const std::uint8_t* bytes, int width, bool bigEndian) {
    std::uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = (v << 8) | bytes[bigEndian ? i : width - 1 - i];
    return v;
}

void putOrderedValue(std::uint8_t* bytes, int width, std::uint64_t value, bool bigEndian) {
    for (int i = 0; i < width; ++i) bytes[bigEndian ? width - 1 - i : i] = std::uint8_t(value >> (8 * i));
}

std::string floatText(std::uint32_t bits) { return shortestText(std::bit_cast<float>(bits)); }
std::string doubleText(std::uint64_t bits) { return shortestText(std::bit_cast<double>(bits)); }

int parseFloat(const std::string& text, std::uint32_t* bits) {
    float v = 0;
    if (parseNumber(text, &v) != 0) return 1;
    *bits = std::bit_cast<std::uint32_t>(v);
    return 0;
}

int parseDouble(const std::string& text, std::uint64_t* bits) {
    double v = 0;
    if (parseNumber(text, &v) != 0) return 1;
    *bits = std::bit_cast<std::uint64_t>(v);
    return 0;
}

int utf8Sequence(const std::uint8_t* bytes, int available, std::uint32_t* codePoint) {
    if (available < 1) return 0;
    const std::uint8_t b0 = bytes[0];
    int length = 0;
    std::uint32_t cp = 0;
    if (b0 < 0x80) length = 1, cp = b0;
    else if (b0 >= 0xC2 && b0 <= 0xDF) length = 2, cp = b0 & 0x1F;
    else if (b0 >= 0xE0 && b0 <= 0xEF) length = 3, cp = b0 & 0x0F;
    else if (b0 >= 0xF0 && b0 <= 0xF4) length = 4, cp = b0 & 0x07;
    else return 0;  // a continuation byte, an overlong lead (C0, C1) or beyond F4
    if (length > available) return 0;
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (bytes[i] & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *codePoint = cp;
    return length;
}

int utf16Sequence(const std::uint8_t* bytes, bool bigEndian, std::uint32_t* codePoint) {
    const std::uint32_t first = std::uint32_t(orderedValue(bytes, 2, bigEndian));
    if (first < 0xD800 || first > 0xDFFF) {
        *codePoint = first;
        return 2;
    }
    if (first > 0xDBFF) return 0;  // a low surrogate first
    const std::uint32_t second = std::uint32_t(orderedValue(bytes + 2, 2, bigEndian));
    if (second < 0xDC00 || second > 0xDFFF) return 0;
    *codePoint = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    return 4;
}

int encodeUtf8(std::uint32_t cp, std::uint8_t out[4]) {
    if (cp < 0x80) {
        out[0] = std::uint8_t(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = std::uint8_t(0xC0 | cp >> 6);
        out[1] = std::uint8_t(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = std::uint8_t(0xE0 | cp >> 12);
        out[1] = std::uint8_t(0x80 | ((cp >> 6) & 0x3F));
        out[2] = std::uint8_t(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = std::uint8_t(0xF0 | cp >> 18);
    out[1] = std::uint8_t(0x80 | ((cp >> 12) & 0x3F));
    out[2] = std::uint8_t(0x80 | ((cp >> 6) & 0x3F));
    out[3] = std::uint8_t(0x80 | (cp & 0x3F));
    return 4;
}

int encodeUtf16(std::uint32_t cp, bool bigEndian, std::uint8_t out[4]) {
    if (cp < 0x10000) {
        putOrderedValue(out, 2, cp, bigEndian);
        return 2;
    }
    const std::uint32_t v = cp - 0x10000;
    putOrderedValue(out, 2, 0xD800 + (v >> 10), bigEndian);
    putOrderedValue(out + 2, 2, 0xDC00 + (v & 0x3FF), bigEndian);
    return 4;
}

std::string characterText(std::uint32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", unsigned(cp));
    const bool control = cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
    if (control) return text;
    std::uint8_t bytes[4];
    const int n = encodeUtf8(cp, bytes);
    return std::string(text) + " " + std::string(reinterpret_cast<const char*>(bytes), std::size_t(n));
}

int parseCharacter(const std::string& typed, std::uint32_t* codePoint) {
    std::string text = typed;
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    if (text.size() > 2 && (text[0] == 'U' || text[0] == 'u') && text[1] == '+') {
        std::uint32_t cp = 0;
        std::size_t i = 2;
        for (; i < text.size() && text[i] != ' '; ++i) {
            const char c = text[i];
            const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0 || i >= 8) return 1;
            cp = cp * 16 + std::uint32_t(d);
        }
        if (i == 2 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 1;
        *codePoint = cp;
        return 0;
    }
    // One character: a blank typed alone is one, blanks around another are not.
    if (text.empty()) text = typed;
    while (text.size() > 1 && text.back() == ' ') text.pop_back();
    std::uint32_t cp = 0;
    const int n = utf8Sequence(reinterpret_cast<const std::uint8_t*>(text.data()), int(text.size()), &cp);
    if (n == 0 || std::size_t(n) != text.size()) return 1;
    *codePoint = cp;
    return 0;
}

std::string utcText(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    std::int64_t y = 0;
    int m = 0, d = 0;
    civilFromDays(days, &y, &m, &d);
    if (y < 0 || y > 9999) return "out of range";
    return dateTimeText(y, m, d, int(secondOfDay / 3600), int(secondOfDay / 60 % 60), int(secondOfDay % 60));
}

int parseUtc(const std::string& text, std::int64_t* seconds) {
    int y, mo, d, h, mi, s;
    if (parseDateTime(text, &y, &mo, &d, &h, &mi, &s) != 0) return 1;
    *seconds = daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
    return 0;
}

std::string dosText(std::uint16_t time, std::uint16_t date) {
    const int h = time >> 11, mi = (time >> 5) & 63, s = (time & 31) * 2;
    const int y = 1980 + (date >> 9), mo = (date >> 5) & 15, d = date & 31;
    if (h > 23 || mi > 59 || s > 58 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo)) return "invalid";
    return dateTimeText(y, mo, d, h, mi, s);
}

int parseDos(const std::string& text, std::uint16_t* time, std::uint16_t* date) {
    int y, mo, d, h, mi, s;
    if (parseDateTime(text, &y, &mo, &d, &h, &mi, &s) != 0) return 1;
    // The DOS form holds the years 1980 .. 2107 and even seconds only.
    if (y < 1980 || y > 2107 || s % 2 != 0) return 1;
    *time = std::uint16_t(h << 11 | mi << 5 | s / 2);
    *date = std::uint16_t((y - 1980) << 9 | mo << 5 | d);
    return 0;
}

}  // namespace quorby::inspect
