#pragma once
// The one instance of the view's state: the two pages in memory, the cursor,
// the selection and the colours of the grid.
#include <cstdint>
#include "core/file_pos.h"
#include "platform/platform.h"

namespace quorby {

// Colour slots (0xBBGGRR)
inline constexpr Colour kAddressColour = 0xDDDDDD;
inline constexpr Colour kHexBackground = 0xEEFFEE;
inline constexpr Colour kCharBackground = 0xFFFFFF;
inline constexpr Colour kSelectionColour = 0x88EEFF;
inline constexpr Colour kChangedColour = 0xAADDFF;
inline constexpr Colour kChangedSelectedColour = 0xDDCCFF;
inline constexpr Colour kCursorActiveColour = 0xEEFF88;
inline constexpr Colour kCursorOtherColour = 0xDDDDDD;
inline constexpr Colour kBottomLineColour = 0xDDDDFF;
inline constexpr Colour kNegativeOffsetColour = 0x8888FF;
inline constexpr Colour kBannerColour = 0xFFE0E0;
inline constexpr Colour kUnreadableColour = 0xA0A0E8;  // bytes of sectors that could not be read

// Bits of selectionActive
enum SelectionBits : std::uint32_t {
    kSelectionExists = 1,
    kSelectionKeyboard = 2,
    kSelectionMovingEnd = 4,
    kSelectionItemsEnabled = 16,
};

struct ViewState {
    FilePos pagePos = 0;                 // first byte of pageBuffer, a multiple of 512
    std::uint8_t pageBuffer[kPagePairSize] = {};
    std::uint32_t pageLength = 0;        // 0 .. 1024 valid bytes
    std::uint32_t viewOffset = 0;        // 0 .. 511: first shown byte in pageBuffer
    std::uint32_t cursorOffset = 0;      // 0 .. 511: from the first shown byte
    bool cursorInChars = false;
    std::uint8_t changedBits[kPagePairSize / 8] = {};
    bool halfDirty[2] = {false, false};
    // A half read from the Main File holds an unreadable sector (its bytes are zeros).
    bool unreadableHalf[2] = {false, false};
    FilePos selectionStart = 0;
    FilePos selectionEnd = 0;            // exclusive
    std::uint32_t selectionActive = 0;
    FilePos rememberedStart = 0;
    FilePos rememberedEnd = 0;

    // Page-read results
    FilePos midPtr = kEmptyPtr;          // pagePos + 512, or empty when the first page is the last
    std::uint32_t firstPageCount = 0;
    std::uint32_t secondPageCount = 0;

    // Column headers: the label shift 0 .. 15
    std::uint32_t headerShift = 0;

    // Background colours: stored values and the current ones drawPage uses
    Colour storedHexBackground = kHexBackground;
    Colour storedCharBackground = kCharBackground;
    Colour hexBackground = kHexBackground;
    Colour charBackground = kCharBackground;
    // Changed (or, while a comparison shows them, differing) bytes.
    Colour changedColour = kChangedColour;
    // Selected bytes; the disassembly window draws its selection in its own colour.
    Colour selectionColour = kSelectionColour;

    // Geometry from the view font
    int cellWidth = 8;
    int rowHeight = 16;
    // Requested font cell size (kept in the settings at exit)
    int requestedWidth = 8;
    int requestedHeight = 16;

    // Row 0 left cell: blank or a short message, 21 characters
    char infoCell[21];
    Colour infoColour = kAddressColour;
    // Counts the writes of the info cell, so that the end of a command can
    // tell whether the command wrote it.
    std::uint32_t infoCellWrites = 0;

    ViewState() {
        for (char& c : infoCell) c = ' ';
    }

    bool changed(std::uint32_t k) const { return (changedBits[k >> 3] >> (k & 7)) & 1; }
    void setChanged(std::uint32_t k) { changedBits[k >> 3] |= std::uint8_t(1u << (k & 7)); }
    // Byte k shows no content: its sector could not be read and nothing was typed over it.
    bool unreadable(std::uint32_t k) const { return k < kPagePairSize && unreadableHalf[k / kPageSize] && !changed(k); }
    FilePos cursorPos() const { return pagePos + viewOffset + cursorOffset; }
};

}  // namespace quorby
