#include "edit/enter_char.h"

#include "edit/version_takeover.h"
#include "journal/record_states.h"
#include "navigate/cursor_moves.h"
#include "state/error_report.h"
#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "navigate/version_review.h"
#include "view/grid_layout.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

bool pendingDigit(const ShellState& shell) { return (shell.modeFlags & kModeSecondDigit) != 0; }

void clearPendingDigit(ShellState& shell) { shell.modeFlags &= ~std::uint32_t(kModeSecondDigit); }

// The pageBuffer index of the byte under the cursor, or -1 when the cursor
// stands on no byte.
int cursorIndex(const ViewState& view) {
    std::uint32_t k = view.viewOffset + view.cursorOffset;
    return k < view.pageLength ? int(k) : -1;
}

int hexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void reloadAndDraw(AppState& app) {
    (void)loadPagePair(app, app.view.pagePos);  // reported; the view shows what it can
    updateScrollBar(app);
    drawPage(app);
}

void drawPendingDigit(AppState& app, int value) {
    const int offset = int(app.view.cursorOffset);
    const int row = kFirstDataRow + offset / kBytesPerRow;
    const int column = kHexColumn + hexDigitOffset(offset % kBytesPerRow);
    const char digit = "0123456789ABCDEF"[value];
    app.platform->drawCells(column, row, &digit, 1, kPendingDigitColour);
}

// The byte is complete: it is drawn and the cursor moves on (at the last
// shown byte the view scrolls by its step; at the file's end it stays).
void advanceAfterByte(AppState& app) {
    clearPendingDigit(app.shell);
    drawPage(app);
    (void)cursorRight(app);  // a page that cannot be read keeps the cursor where it is
}

void typeHexDigit(AppState& app, int index, int value) {
    if (!pendingDigit(app.shell)) {
        app.edit.firstNibble = std::uint8_t(value);
        app.shell.modeFlags |= kModeSecondDigit;
        drawPendingDigit(app, value);
        return;
    }
    typeByte(app, index, std::uint8_t(app.edit.firstNibble * 16 + value));
    advanceAfterByte(app);
}

}  // namespace

void discardPageChanges(AppState& app) {
    if (pendingDigit(app.shell)) {
        clearPendingDigit(app.shell);
        drawPage(app);
    }
    if (pageIsDirty(app)) {
        if (app.settings.messageSwitches & kMsgEscDiscard) {
            int answer = askQuestion(app, "Discard Changes ?", "Discard actual Changes ?");
            if ((answer & kAnswerYes) == 0) {
                // A store that fails or is declined has told the user; the reload shows what is stored.
                (void)storePage(app);
                reloadAndDraw(app);
                return;
            }
            if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgEscDiscard);
        }
        dropPageChanges(app);
    }
    reloadAndDraw(app);
}

void restoreByte(AppState& app) {
    const int index = cursorIndex(app.view);
    if (index < 0 || app.main.mainHandle == kNoFile) return;
    const int half = index < kPageSize ? 0 : 1;
    const std::uint32_t inHalf = std::uint32_t(index % kPageSize);
    const bool hasRecord = (app.records.jReadFlag & (half == 0 ? kFirstHalfHasRecord : kSecondHalfHasRecord)) != 0;
    // A record whose page shows the Main File keeps an undone version in its
    // data block: the stored byte then is the Main File's.
    if (hasRecord && !showsMainFile(app.records.jData[half].flag)) {
        std::uint8_t data[kRecordDataSize];
        if (readRecordData(app.journal, app.records.jData[half].jAdr, data) == 0)
            app.view.pageBuffer[index] = data[inHalf];
    } else {
        // The whole page is read, so that a drive is read by sectors.
        std::uint8_t page[kPageSize];
        std::uint32_t got = 0;
        const FilePos pagePos = app.view.pagePos + FilePos(half) * kPageSize;
        if (readMainBytes(app, pagePos, page, kPageSize, &got) == 0 && got > inHalf)
            app.view.pageBuffer[index] = page[inHalf];
        app.view.changedBits[index >> 3] &= std::uint8_t(~(1u << (index & 7)));
    }
    drawPage(app);
    (void)cursorLeft(app);  // a page that cannot be read keeps the cursor where it is
}

void storeWithEnter(AppState& app) {
    if (app.records.reviewState != 0) {
        takeOverReviewedVersion(app);
        return;
    }
    clearPendingDigit(app.shell);
    // Only halves with changed bytes are stored; a half whose every byte
    // was restored holds nothing to store.
    for (int half = 0; half < 2; ++half) {
        if (!app.view.halfDirty[half]) continue;
        bool anyChanged = false;
        for (std::uint32_t i = 0; i < kChangeMapSize; ++i)
            anyChanged |= app.view.changedBits[half * kChangeMapSize + i] != 0;
        if (!anyChanged) app.view.halfDirty[half] = false;
    }
    // A store that fails or is declined has told the user; the reload shows what is stored.
    (void)storePage(app);
    reloadAndDraw(app);
}

void enterChar(AppState& app, int character, int /*scanCode*/) {
    if (app.main.mainHandle == kNoFile || app.view.pageLength == 0) return;
    if (character != kCharEnter && app.records.reviewState != 0) endVersionReview(app);
    if (character == kCharEscape) {
        discardPageChanges(app);
        return;
    }
    if (character == kCharBackspace) {
        clearPendingDigit(app.shell);
        restoreByte(app);
        return;
    }
    if (character == kCharEnter) {
        storeWithEnter(app);
        return;
    }
    const int index = cursorIndex(app.view);
    if (index < 0) return;
    if (app.view.cursorInChars) {
        typeByte(app, index, std::uint8_t(character));
        advanceAfterByte(app);
        return;
    }
    const int value = hexValue(character);
    if (value >= 0) typeHexDigit(app, index, value);
}

}  // namespace quorby
