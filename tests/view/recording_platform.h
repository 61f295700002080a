#pragma once
// A Platform for the view tests: keeps the 88 x 34 grid of characters and
// background colours that the logic draws, and records font and window calls.
#include <string>
#include <utility>
#include <vector>
#include "platform/platform.h"

namespace quorby::test {

class RecordingPlatform final : public Platform {
public:
    char cells[kGridRows][kGridColumns];
    Colour colours[kGridRows][kGridColumns];
    int drawCalls = 0;
    int scrollBarCalls = 0;
    // createFont answers the request plus fontWidthDelta, or fails.
    bool fontFails = false;
    int fontWidthDelta = 0;
    std::vector<std::pair<int, int>> fontRequests;
    std::vector<std::pair<int, int>> windowFits;

    RecordingPlatform() { clear(); }

    void clear() {
        for (int r = 0; r < kGridRows; ++r) {
            for (int c = 0; c < kGridColumns; ++c) {
                cells[r][c] = '?';
                colours[r][c] = 0x123456;
            }
        }
    }

    // `count` cells of a row from `column`; the rest of the row by default.
    std::string rowText(int row, int column = 0, int count = -1) const {
        if (count < 0 || column + count > kGridColumns) count = kGridColumns - column;
        return std::string(&cells[row][column], std::size_t(count));
    }

    void drawCells(int column, int row, const char* text, int count, Colour background) override {
        ++drawCalls;
        for (int k = 0; k < count && row >= 0 && row < kGridRows; ++k) {
            if (column + k < 0 || column + k >= kGridColumns) continue;
            cells[row][column + k] = text[k];
            colours[row][column + k] = background;
        }
    }
    int createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) override {
        fontRequests.emplace_back(cellWidth, cellHeight);
        *actualWidth = cellWidth + fontWidthDelta;
        *actualHeight = cellHeight;
        return fontFails ? 1 : 0;
    }
    void fitWindowToGrid(int cellWidth, int rowHeight) override { windowFits.emplace_back(cellWidth, rowHeight); }
    void setScrollBar(std::int32_t, std::int32_t) override { ++scrollBarCalls; }

    void setCaption(const std::string&) override {}
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec&) override { return MsgAnswer::Ok; }
    int questionDialog(const std::string&, const std::string&) override { return 0; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogSpec& dialog) override { return dialog.cancelId; }
    bool pollPendingInput() override { return false; }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return {}; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

}  // namespace quorby::test
