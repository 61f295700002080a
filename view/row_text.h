#pragma once
// The texts of the page view: the address of a row, its hexadecimal and
// character texts and the column headers, built from the hex pair table.
#include <cstdint>
#include "core/file_pos.h"
#include "view/grid_layout.h"

namespace quorby {

// " HHHH HHHH HHHH HHHH ": the address text of a row. Built once per page and
// advanced row by row by incrementing digits rather than formatted anew.
struct AddressText {
    char text[kAddressTextLength];

    explicit AddressText(FilePos address);
    // Adds 16 to the shown address, carrying through all sixteen digits.
    void advanceRow();
};

// Writes `count` (0 .. 16) bytes as the 50-character hexadecimal text of a row;
// the places of missing bytes stay blank.
void buildHexText(const std::uint8_t* bytes, int count, char out[kHexTextLength]);
// Writes the 17-character character text: a blank and the bytes unchanged.
void buildCharText(const std::uint8_t* bytes, int count, char out[kCharTextLength]);
// The first (second == false) or second column header for a label shift 0 .. 15.
const char* headerText(std::uint32_t headerShift, bool second);

}  // namespace quorby
