#pragma once
// How the grid turns a byte into something visible and a 0xBBGGRR colour
// into a QColor.
#include <QChar>
#include <QColor>
#include <QString>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace quorby {

// The glyph shown for a byte in the grid: Windows-1252, with the control
// codes 0x00..0x1F and 0x7F as a white bullet (U+25E6), the five codes that
// Windows-1252 leaves undefined as a white rectangle (U+25AF) and the soft
// hyphen 0xAD as a visible hyphen (U+2010). All three are in DejaVu Sans Mono.
char16_t glyphForByte(std::uint8_t byte);

// The byte a typed character stands for (Latin-1, plus the Windows-1252
// letters such as the euro sign); -1 for a character outside that set.
[[nodiscard]] int byteForCharacter(QChar c);

QColor toQColor(Colour bbggrr);

// Text for and from other programs (the clipboard): each byte as its
// Windows-1252 character, control codes as themselves and the five undefined
// codes as the C1 control of the same number, so that every byte comes back.
// Coming back, a character outside Windows-1252 becomes '?'.
QString textOfBytes(const std::string& bytes);
std::string bytesOfText(const QString& text);

// Edit fields whose value is bytes (DialogControl::byteText) show each byte
// as a character of its own: the grid's glyph, except the control codes as
// their control pictures (U+2400 + code, U+2421 for 0x7F) and the five
// undefined codes as their C1 controls. Typed characters map back like
// byteForCharacter, the control pictures and the grid's hyphen included.
char16_t fieldCharacterForByte(std::uint8_t byte);
[[nodiscard]] int byteForFieldCharacter(QChar c);

// What an Edit control shows of its value, and the value for a shown text.
// A text still as shown gives the value back unchanged.
QString editFieldText(const DialogControl& control);
std::string editFieldValue(const DialogControl& control, const QString& text);

// Texts of the logic (captions, messages, paths) are UTF-8; a text that is not
// valid UTF-8 is read as Windows-1252 so that no byte is lost from view.
QString fromLogicText(const std::string& text);
// A label or group title without its mnemonic: "&&" is a literal '&', a
// single '&' is dropped.
QString withoutMnemonic(const std::string& text);
std::string toLogicText(const QString& text);

}  // namespace quorby
