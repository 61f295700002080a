#pragma once
// Where things stand in the 88 x 34 character grid of the page view.
#include <cstdint>

namespace quorby {

inline constexpr int kAddressColumn = 0;
inline constexpr int kAddressTextLength = 21;
inline constexpr int kHexColumn = 21;          // leading blank of the hexadecimal text
inline constexpr int kHexTextLength = 50;
inline constexpr int kGroupGapColumn = 46;     // blank between bytes 7 and 8
inline constexpr int kCharColumn = 71;         // leading blank of the character text
inline constexpr int kCharTextLength = 17;
inline constexpr int kFirstCharCell = 72;
inline constexpr int kHeaderLength = 25;
inline constexpr int kSecondHeaderColumn = 46;
inline constexpr int kFirstDataRow = 1;
inline constexpr int kDataRows = 32;
inline constexpr int kBytesPerRow = 16;
inline constexpr int kBottomRow = 33;
inline constexpr int kModeCellColumn = 71;
inline constexpr int kModeCellLength = 19;

// Hit-test results that are no byte index.
inline constexpr int kHitNoByte = 1280;   // a hex or character cell that belongs to no byte
inline constexpr int kHitOutside = 1536;  // address column, header row, beyond the last byte

// Column of byte i's first hexadecimal digit, relative to kHexColumn.
[[nodiscard]] inline constexpr int hexDigitOffset(int i) { return 3 * i + 1 + (i >= 8 ? 1 : 0); }

// The column table: one entry per cell from column 21 on (cells 21 .. 95);
// 255 for a cell of no byte, 2i for byte i's first digit and character cell,
// 2i + 1 for its second digit.
inline constexpr int kColumnTableSize = 75;
inline constexpr std::uint8_t kNoByteCell = 255;
std::uint8_t columnTableEntry(int cellFromHexColumn);

}  // namespace quorby
