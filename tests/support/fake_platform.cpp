#include "tests/support/fake_platform.h"


namespace quorby::testing {

FakePlatform::FakePlatform(char blank, Colour blankBackground)
        : blankChar(blank), blankColour(blankBackground) {
    clear();
}

void FakePlatform::clear() {
    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            cells[r][c] = blankChar;
            colours[r][c] = blankColour;
        }
    }
}

std::string FakePlatform::rowText(int row, int column, int count) const {
    if (count < 0 || column + count > kGridColumns) count = kGridColumns - column;
    return std::string(&cells[row][column], std::size_t(count));
}

std::string FakePlatform::row(int r) const { return rowText(r); }

void FakePlatform::drawCells(int column, int row, const char* text, int count, Colour background) {
    ++drawCalls;
    if (logDraws) draws.push_back({column, row, std::string(text, std::size_t(count < 0 ? 0 : count)), background});
    if (row < 0 || row >= kGridRows) return;
    for (int k = 0; k < count && column + k < kGridColumns; ++k) {
        if (column + k < 0) continue;
        cells[row][column + k] = text[k];
        colours[row][column + k] = background;
    }
}

void FakePlatform::setCaption(const std::string& c) { caption = c; }

void FakePlatform::setScrollBar(std::int32_t maximum, std::int32_t position) {
    ++scrollBarCalls;
    scrollMaximum = maximum;
    scrollPosition = position;
}

void FakePlatform::setMenuItemEnabled(int code, bool enabled) { itemEnabled[code] = enabled; }

void FakePlatform::setMenuEnabled(int menuIndex, bool enabled) { menuEnabled[menuIndex] = enabled; }

void FakePlatform::setRecentFiles(const std::vector<std::string>& entries) { recentFiles = entries; }

void FakePlatform::popupMenu(int menuIndex, int, int) { popups.push_back(menuIndex); }

MsgAnswer FakePlatform::messageBox(const MessageBoxDescription& box) {
    boxes.push_back(box);
    shown.push_back(box.caption);
    texts.push_back(box.text);
    if (!boxAnswers.empty()) {
        MsgAnswer a = boxAnswers.front();
        boxAnswers.pop_front();
        return a;
    }
    if (box.buttons == MsgButtons::YesNo) return yesNoDefault;
    return box.buttons == MsgButtons::OkCancel ? okCancelDefault : MsgAnswer::Ok;
}

int FakePlatform::questionDialog(const std::string& c, const std::string& text) {
    questions.emplace_back(c, text);
    shown.push_back(c);
    texts.push_back(text);
    if (questionAnswers.empty()) return questionDefault;
    int a = questionAnswers.front();
    questionAnswers.pop_front();
    return a;
}

FileDialogResult FakePlatform::fileDialog(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    shown.push_back("[file] " + request.title);
    if (fileAnswers.empty()) return {};
    FileDialogResult r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

int FakePlatform::runDialog(DialogDescription& dialog) {
    dialogsShown.push_back(dialog);
    if (!dialogAnswers.empty()) {
        auto answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        return answer(dialog);
    }
    return dialogHandler ? dialogHandler(dialog) : dialog.cancelId;
}

int FakePlatform::createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) {
    fontRequests.emplace_back(cellWidth, cellHeight);
    *actualWidth = cellWidth + fontWidthDelta;
    *actualHeight = cellHeight;
    return fontFails ? 1 : 0;
}

void FakePlatform::fitWindowToGrid(int cellWidth, int rowHeight) { windowFits.emplace_back(cellWidth, rowHeight); }

bool FakePlatform::pollPendingInput() {
    ++polls;
    if (onPoll) onPoll();
    return escAtPoll.count(polls) != 0 || (escAfterPolls >= 0 && polls >= escAfterPolls);
}

void FakePlatform::clearClipboard() { clipboard.clear(); }

void FakePlatform::setClipboard(const std::string& mimeType, const std::string& data) { clipboard[mimeType] = data; }

bool FakePlatform::clipboardHas(const std::string& mimeType) { return clipboard.count(mimeType) != 0; }

std::string FakePlatform::clipboardData(const std::string& mimeType) {
    auto it = clipboard.find(mimeType);
    return it == clipboard.end() ? std::string() : it->second;
}

void FakePlatform::showPleaseWait(bool visible, const std::string& a, const std::string& b) {
    pleaseWaitShown = visible;
    text1067 = a;
    text1068 = b;
}

void FakePlatform::openModeless(ModelessWindow window, const DialogDescription& dialog) {
    modelessOpened.push_back(window);
    Modeless& m = modeless[window];
    m.dialog = dialog;
    m.visible = true;
}

void FakePlatform::closeModeless(ModelessWindow window) { modeless.erase(window); }

bool FakePlatform::modelessOpen(ModelessWindow window) const { return modeless.count(window) != 0; }

void FakePlatform::setModelessVisible(ModelessWindow window, bool visible) {
    if (modeless.count(window)) modeless[window].visible = visible;
}

void FakePlatform::setModelessTitle(ModelessWindow window, const std::string& title) {
    if (modeless.count(window)) modeless[window].dialog.title = title;
}

void FakePlatform::placeModeless(ModelessWindow window, int column, int row) { modelessPlaces[window] = {column, row}; }

void FakePlatform::focusModelessControl(ModelessWindow, int controlId, bool selectAll) {
    focusedControl = controlId;
    focusSelectsAll = selectAll;
}

void FakePlatform::setModelessControl(ModelessWindow window, const DialogControl& control) {
    if (!modeless.count(window)) return;
    if (DialogControl* c = modeless[window].dialog.find(control.id)) *c = control;
}

DialogDescription FakePlatform::modelessValues(ModelessWindow window) {
    return modeless.count(window) ? modeless[window].dialog : DialogDescription{};
}

void FakePlatform::setListingText(ModelessWindow window, int controlId, const std::string& text) {
    if (modeless.count(window)) modeless[window].listings[controlId] = text;
}

void FakePlatform::selectListingText(ModelessWindow window, int, std::size_t start, std::size_t length) {
    if (modeless.count(window)) modeless[window].selection = {start, length};
}

void FakePlatform::openHelp(const std::string& path) { helpOpened.push_back(path); }

void FakePlatform::quit(int exitCode) { quitCode = exitCode; }

}  // namespace quorby::testing
