#include "platform/qt/glyph_map.h"

#include <QStringDecoder>

namespace quorby {

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined codes.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char16_t kUndefinedGlyph = 0x25AF;  // white vertical rectangle
constexpr char16_t kControlGlyph = 0x25E6;     // white bullet
constexpr char16_t kSoftHyphenGlyph = 0x2010;  // hyphen
constexpr char16_t kControlPictures = 0x2400;  // U+2400..U+241F: the pictures of 0x00..0x1F
constexpr char16_t kDeletePicture = 0x2421;

// The bytes of `text`, character by character; a character without a byte
// (one outside the BMP included) becomes '?'.
template <typename ByteOf>
std::string bytesOfCharacters(const QString& text, ByteOf byteOf) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (char32_t code : text.toUcs4()) {
        const int byte = code <= 0xFFFF ? byteOf(QChar(char16_t(code))) : -1;
        bytes.push_back(char(byte >= 0 ? byte : '?'));
    }
    return bytes;
}

}  // namespace

char16_t glyphForByte(std::uint8_t byte) {
    if (byte < 0x20 || byte == 0x7F) return kControlGlyph;
    if (byte == 0xAD) return kSoftHyphenGlyph;
    if (byte >= 0x80 && byte < 0xA0) {
        char16_t mapped = kHighControls[byte - 0x80];
        return mapped ? mapped : kUndefinedGlyph;
    }
    return char16_t(byte);
}

int byteForCharacter(QChar c) {
    char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == u) return 0x80 + i;
    if (u >= 0x80 && u < 0xA0) return u;  // C1 controls typed as such
    return -1;
}

QString textOfBytes(const std::string& bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (char ch : bytes) {
        const auto byte = std::uint8_t(ch);
        const bool high = byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0;
        text.append(QChar(high ? kHighControls[byte - 0x80] : char16_t(byte)));
    }
    return text;
}

std::string bytesOfText(const QString& text) { return bytesOfCharacters(text, byteForCharacter); }

char16_t fieldCharacterForByte(std::uint8_t byte) {
    if (byte < 0x20) return char16_t(kControlPictures + byte);
    if (byte == 0x7F) return kDeletePicture;
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] == 0) return char16_t(byte);
    return glyphForByte(byte);
}

int byteForFieldCharacter(QChar c) {
    const char16_t u = c.unicode();
    if (u >= kControlPictures && u < kControlPictures + 0x20) return u - kControlPictures;
    if (u == kDeletePicture) return 0x7F;
    if (u == kSoftHyphenGlyph) return 0xAD;
    return byteForCharacter(c);
}

QString editFieldText(const DialogControl& control) {
    if (!control.byteText) return fromLogicText(control.value);
    QString text;
    text.reserve(qsizetype(control.value.size()));
    for (char ch : control.value) text.append(QChar(fieldCharacterForByte(std::uint8_t(ch))));
    return text;
}

std::string editFieldValue(const DialogControl& control, const QString& text) {
    if (text == editFieldText(control)) return control.value;
    return control.byteText ? bytesOfCharacters(text, byteForFieldCharacter) : toLogicText(text);
}

QColor toQColor(Colour bbggrr) {
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

QString fromLogicText(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    if (!utf8.hasError()) return decoded;
    QString fallback;
    fallback.reserve(qsizetype(text.size()));
    for (char ch : text) {
        auto byte = std::uint8_t(ch);
        bool highControl = byte >= 0x80 && byte < 0xA0;
        fallback.append(QChar(highControl ? glyphForByte(byte) : char16_t(byte)));
    }
    return fallback;
}

std::string toLogicText(const QString& text) { return text.toUtf8().toStdString(); }

QString withoutMnemonic(const std::string& text) {
    QString in = fromLogicText(text);
    QString out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == QLatin1Char('&')) {
            if (i + 1 < in.size() && in[i + 1] == QLatin1Char('&')) out.append(QLatin1Char('&')), ++i;
            continue;
        }
        out.append(in[i]);
    }
    return out;
}

}  // namespace quorby
