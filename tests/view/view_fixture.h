#pragma once
// Common set-up for the view tests: an application state drawing into the
// fake platform, whose untouched cells hold '?' on 0x123456 so that every
// drawn cell shows, and printf formatters for the expected row texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "tests/support/test_app.h"

namespace quorby::test {

class ViewTest : public ::testing::Test, protected testing::TestApp {
protected:
    ViewTest() : TestApp('?', 0x123456) {
        platform.yesNoDefault = MsgAnswer::Ok;  // every box is answered OK
    }

    // A page pair with byte k = (k * 7 + 3) mod 256; the file ends with the valid bytes.
    void loadPattern(FilePos pagePos, std::uint32_t pageLength, std::uint32_t viewOffset = 0) {
        app.view.pagePos = pagePos;
        app.view.pageLength = pageLength;
        app.view.viewOffset = viewOffset;
        for (int k = 0; k < kPagePairSize; ++k) app.view.pageBuffer[k] = std::uint8_t(k * 7 + 3);
        app.main.fileSize = pagePos + pageLength;
    }
    void select(FilePos start, FilePos end) {
        app.view.selectionStart = start;
        app.view.selectionEnd = end;
        app.view.selectionActive = kSelectionExists;
    }
    Colour colourAt(int column, int row) const { return platform.colours[row][column]; }
    // Colours of byte i (0 .. 15) of a grid row: first digit, character cell.
    Colour hexColour(int row, int i) const { return colourAt(22 + 3 * i + (i >= 8 ? 1 : 0), row); }
    Colour charColour(int row, int i) const { return colourAt(72 + i, row); }
};

inline std::string expectedAddress(FilePos a) {
    char text[32];
    std::snprintf(text, sizeof text, " %04X %04X %04X %04X ", unsigned(a >> 48) & 0xFFFF,
                  unsigned(a >> 32) & 0xFFFF, unsigned(a >> 16) & 0xFFFF, unsigned(a) & 0xFFFF);
    return text;
}

// The hexadecimal and character texts (50 + 17 characters) of `count` bytes.
inline std::string expectedBytes(const std::uint8_t* bytes, int count) {
    std::string hex = " ";
    std::string chars = " ";
    for (int i = 0; i < 16; ++i) {
        char pair[4] = "   ";
        if (i < count) std::snprintf(pair, sizeof pair, "%02X ", bytes[i]);
        hex += (i == 8 ? " " : "") + std::string(pair);
        chars += i < count ? char(bytes[i]) : ' ';
    }
    return hex + chars;
}

}  // namespace quorby::test
