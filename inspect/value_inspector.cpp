#include "inspect/value_inspector.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "inspect/value_text.h"
#include "search/compare_scan.h"
#include "state/compare_sources.h"
#include "navigate/page_moves.h"
#include "state/error_report.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "navigate/version_review.h"
#include "view/grid_layout.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby::inspect {

namespace {

constexpr ModelessWindow kWindow = ModelessWindow::Values;

struct Field {
    int id;
    ValueBase base;
    int width;
    int firstByte;
};

constexpr Field kFields[] = {
    {kByteHex, ValueBase::Hex, 1, 0},  {kByteDec, ValueBase::Dec, 1, 0},
    {kWordHex, ValueBase::Hex, 2, 0},  {kWordDec, ValueBase::Dec, 2, 0},
    {kDwordHex, ValueBase::Hex, 4, 0}, {kDwordDec, ValueBase::Dec, 4, 0},
    {kQwordHex, ValueBase::Hex, 8, 0}, {kQwordDec, ValueBase::Dec, 8, 0},
    {kBin1, ValueBase::Bin, 1, 0},     {kBin2, ValueBase::Bin, 1, 1},
    {kBin3, ValueBase::Bin, 1, 2},     {kBin4, ValueBase::Bin, 1, 3},
};

struct SaveButton {
    int id;
    int width;
};
constexpr SaveButton kSaveButtons[] = {{kSaveByte, 1}, {kSaveWord, 2}, {kSaveDword, 4}, {kSaveQword, 8}};

struct ReturnOption {
    int id;
    const char* text;
    std::uint32_t bit;
};
constexpr ReturnOption kReturnOptions[] = {{kReturnSave, "Save Value", kInputSaveValue},
                                           {kReturnGotoNext, "Goto next", kInputGotoNext},
                                           {kReturnClose, "Close Window", kInputCloseWindow},
                                           {kReturnHighlight, "highlight", kInputHighlight}};

const Field* fieldOf(int id) {
    for (const Field& f : kFields)
        if (f.id == id) return &f;
    return nullptr;
}

std::uint32_t cursorIndex(const ViewState& view) { return view.viewOffset + view.cursorOffset; }

// The eight bytes from the cursor as shown: pageBuffer holds them up to the
// pair's end (typed bytes included); past it they are read from the content
// (the file with its journal changes); past the file's end they are 0.
void bytesAtCursor(AppState& app, std::uint8_t out[8]) {
    const std::uint32_t k = cursorIndex(app.view);
    std::memset(out, 0, 8);
    const std::uint32_t inPair = k < kPagePairSize ? std::min<std::uint32_t>(8, kPagePairSize - k) : 0;
    std::memcpy(out, app.view.pageBuffer + k, inPair);
    const FilePos from = app.view.pagePos + kPagePairSize;
    if (inPair == 8 || app.view.pageLength < kPagePairSize || from >= app.main.fileSize) return;
    const std::uint32_t n = std::uint32_t(std::min<FilePos>(8 - inPair, app.main.fileSize - from));
    const CompareSource source = mainCompareSource(app);
    FilePos chain = source.journal ? source.journal->header.first : kEmptyPtr;
    (void)readSourceBytes(source, from, out + inPair, n, chain, 0);  // what cannot be read shows as 0
}

std::string fieldText(const InspectorState& s, const Field& f) {
    return valueText(valueOfBytes(s.value + f.firstByte, f.width), f.base, f.width);
}

// The characters of a field's widest value: two hex digits a byte with a
// blank between groups of four, eight bits with a blank in the middle, the
// decimal digits of the largest value of its width.
int fieldChars(const Field& f) {
    if (f.base == ValueBase::Hex) return 2 * f.width + (f.width > 2 ? f.width / 2 - 1 : 0);
    if (f.base == ValueBase::Bin) return 9;
    return f.width == 1 ? 3 : f.width == 2 ? 5 : f.width == 4 ? 10 : 20;
}

DialogControl edit(int id, int column, int row) {
    DialogControl c = dialogControl(id, ControlKind::Edit, "", column, row);
    if (const Field* f = fieldOf(id)) c.chars = fieldChars(*f);
    return c;
}

void showField(AppState& app, DialogDescription& shown, const Field& f) {
    if (DialogControl* c = shown.find(f.id)) {
        c->value = fieldText(app.inspector, f);
        app.platform->setModelessControl(kWindow, *c);
    }
}

void rewriteFields(AppState& app, int except) {
    DialogDescription shown = app.platform->modelessValues(kWindow);
    for (const Field& f : kFields)
        if (f.id != except) showField(app, shown, f);
}

// The value at the cursor becomes the shown one; typed bytes are forgotten.
void takeValue(AppState& app) {
    InspectorState& s = app.inspector;
    bytesAtCursor(app, s.value);
    std::memcpy(s.shownBytes, s.value, sizeof s.value);
    s.shownPos = app.view.cursorPos();
    s.typedBytes = 0;
    rewriteFields(app, s.typingField);
}

void placeWindow(AppState& app) {
    if (app.settings.inspectorOptions & kKeepWindowPosition) return;
    int column = 0, row = 0;
    inspectorPlace(app.view.cursorOffset, &column, &row);
    app.platform->placeModeless(kWindow, column, row);
}

// Moves the view on by 16 bytes (into the next page when needed) with the
// cursor kept on its byte; at the last page the view stays.
void moveViewOn(AppState& app) {
    const FilePos cursor = app.view.cursorPos();
    if (showFromPosition(app, app.view.pagePos + app.view.viewOffset + 16) != 0) return;
    const FilePos viewStart = app.view.pagePos + app.view.viewOffset;
    if (cursor >= viewStart && cursor - viewStart < kPageSize) app.view.cursorOffset = std::uint32_t(cursor - viewStart);
    else (void)showWithCursorAt(app, cursor);  // reported; the view shows what it can
}

// Writes the bytes of `mask` from the value into pageBuffer at the cursor as
// typed bytes and stores the page: one change of the history. A value that
// reaches past the file's last byte is refused as a whole.
int writeIntoPage(AppState& app, std::uint8_t mask) {
    InspectorState& s = app.inspector;
    if (app.main.mainHandle == kNoFile || app.view.pageLength == 0 || mask == 0) return 1;
    // A value that runs past the pair's end but not past the file's: the view
    // moves on until the pair holds all of it.
    std::uint32_t last = 7;
    while ((mask >> last & 1) == 0) --last;
    if (cursorIndex(app.view) + last >= kPagePairSize && app.view.cursorPos() + last < app.main.fileSize)
        moveViewOn(app);
    const std::uint32_t k = cursorIndex(app.view);
    for (std::uint32_t i = 0; i < 8; ++i) {
        if ((mask >> i & 1) == 0 || k + i < app.view.pageLength) continue;
        showMessageBox(app, "The Value reaches beyond the End of the File !\n\nNothing was written.", "Save Value",
                       MsgButtons::Ok, MsgIcon::Information);
        return 1;
    }
    endVersionReview(app);
    for (std::uint32_t i = 0; i < 8; ++i)
        if (mask >> i & 1) typeByte(app, int(k + i), s.value[i]);
    s.typedBytes = std::uint8_t(s.typedBytes & ~mask);
    const int result = storePage(app);
    const int reloaded = loadPagePair(app, app.view.pagePos);
    updateScrollBar(app);
    drawPage(app);
    return result != 0 || reloaded != 0 ? 1 : 0;
}

void onEdited(AppState& app, const Field& f) {
    InspectorState& s = app.inspector;
    s.typingField = f.id;
    DialogDescription shown = app.platform->modelessValues(kWindow);
    const DialogControl* c = shown.find(f.id);
    std::uint64_t v = 0;
    // A text that is no value of the field changes nothing; the field gets
    // its display form back when it loses the focus.
    if (c == nullptr || parseValue(c->value, f.base, f.width, &v) != 0) return;
    putValueBytes(s.value + f.firstByte, f.width, v);
    s.typedBytes = std::uint8_t(s.typedBytes | (((1u << f.width) - 1) << f.firstByte));
    s.lastWidth = f.width;
    s.lastTypedField = f.id;
    rewriteFields(app, f.id);
}

void onFocusLeft(AppState& app, const Field& f) {
    InspectorState& s = app.inspector;
    if (s.typingField == f.id) s.typingField = 0;
    DialogDescription shown = app.platform->modelessValues(kWindow);
    showField(app, shown, f);
}

void closeInspector(AppState& app) {
    app.inspector = InspectorState{};
    app.platform->closeModeless(kWindow);
}

void onReturn(AppState& app) {
    InspectorState& s = app.inspector;
    const std::uint32_t options = app.settings.inputOptions;
    if ((options & kInputSaveValue) && s.typedBytes != 0) writeIntoPage(app, s.typedBytes);
    if ((options & kInputGotoNext) && s.lastWidth != 0 && app.view.pageLength != 0) {
        FilePos target = app.view.cursorPos() + FilePos(s.lastWidth);
        if (target > app.main.lastBytePos) target = app.main.lastBytePos;
        // The value at the new cursor stays among the shown bytes.
        if (target - (app.view.pagePos + app.view.viewOffset) + 8 > kPageSize) moveViewOn(app);
        (void)showWithCursorAt(app, target);  // reported; the view shows what it can
    }
    if (options & kInputCloseWindow) {
        closeInspector(app);
        redrawView(app);
        return;
    }
    redrawView(app);
    s.typingField = 0;
    takeValue(app);
    placeWindow(app);
    if (s.lastTypedField != 0)
        app.platform->focusModelessControl(kWindow, s.lastTypedField, (options & kInputHighlight) != 0);
}

void onToggled(SettingsRecord& settings, int id, bool checked) {
    auto setBit = [checked](std::uint32_t& word, std::uint32_t bit) { word = checked ? word | bit : word & ~bit; };
    if (id == kKeepPosition) setBit(settings.inspectorOptions, kKeepWindowPosition);
    // Unchecked, a double click acts as the right mouse button again.
    if (id == kShowByDoubleClick) settings.doubleClickAction = checked ? 1 : 0;
    for (const ReturnOption& o : kReturnOptions)
        if (o.id == id) setBit(settings.inputOptions, o.bit);
}

void onPressed(AppState& app, int id) {
    if (id == kValuesReturn) return onReturn(app);
    if (id == kValuesCancel) return closeInspector(app);
    for (const SaveButton& b : kSaveButtons)
        if (b.id == id) writeIntoPage(app, std::uint8_t((1u << b.width) - 1));
}

}  // namespace

void inspectorPlace(std::uint32_t cursorOffset, int* column, int* row) {
    const int cursorRow = int(cursorOffset / 16);
    *column = kHexColumn;
    *row = cursorOffset >= 256 ? cursorRow - 16 : cursorRow + 5;
}

DialogDescription inspectorDescription(const AppState& app) {
    DialogDescription d;
    d.title = kValuesTitle;
    d.okId = kValuesReturn;
    d.cancelId = kValuesCancel;
    auto& c = d.controls;
    c.push_back(dialogControl(1030, ControlKind::Label, "HEX", 1, 0));
    c.push_back(dialogControl(1031, ControlKind::Label, "DEZ", 2, 0));
    const char* rows[] = {"BYTE (8 Bit)", "WORD (16 Bit)", "DWORD (32 Bit)", "QWORD (64 Bit)"};
    for (int r = 0; r < 4; ++r) {
        c.push_back(dialogControl(1060 + r, ControlKind::Label, rows[r], 0, r + 1));
        c.push_back(edit(kFields[2 * r].id, 1, r + 1));
        c.push_back(edit(kFields[2 * r + 1].id, 2, r + 1));
        c.push_back(dialogControl(kSaveButtons[r].id, ControlKind::Button, "save", 3, r + 1));
    }
    c.push_back(dialogControl(1064, ControlKind::Label, "BIN", 0, 6));
    for (int b = 0; b < 4; ++b) {
        c.push_back(dialogControl(1065 + b, ControlKind::Label, std::to_string(b + 1) + ". Byte", b + 1, 5));
        c.push_back(edit(kBin1 + b, b + 1, 6));
    }
    DialogControl keep = dialogControl(kKeepPosition, ControlKind::CheckBox, "Keep Window Position", 0, 7);
    keep.checked = (app.settings.inspectorOptions & kKeepWindowPosition) != 0;
    DialogControl byDoubleClick = dialogControl(kShowByDoubleClick, ControlKind::CheckBox, "Show by double clicking", 1, 7);
    byDoubleClick.checked = app.settings.doubleClickAction == 1;
    c.push_back(keep);
    c.push_back(byDoubleClick);
    c.push_back(dialogControl(kReturnGroup, ControlKind::Group, "What to do after hitting Return", 0, 8));
    for (std::size_t i = 0; i < std::size(kReturnOptions); ++i) {
        DialogControl box = dialogControl(kReturnOptions[i].id, ControlKind::CheckBox, kReturnOptions[i].text, int(i), 0);
        box.frame = kReturnGroup;
        box.checked = (app.settings.inputOptions & kReturnOptions[i].bit) != 0;
        c.push_back(box);
    }
    c.push_back(dialogControl(kValuesReturn, ControlKind::Button, "OK", 3, 10));
    c.push_back(dialogControl(kValuesCancel, ControlKind::Button, "Cancel", 4, 10));
    for (DialogControl& control : c)
        if (const Field* f = fieldOf(control.id)) control.value = fieldText(app.inspector, *f);
    return d;
}

void showValuesCommand(AppState& app) {
    if (!app.platform) return;
    InspectorState& s = app.inspector;
    if (!s.open) {
        // All eight bytes of the value lie in pageBuffer.
        if (app.view.cursorOffset > 508 && app.view.pageLength != 0) {
            moveViewOn(app);
            redrawView(app);
        }
        s = InspectorState{};
        s.open = true;
        bytesAtCursor(app, s.value);
        app.platform->openModeless(kWindow, inspectorDescription(app));
    }
    app.platform->setModelessVisible(kWindow, true);
    takeValue(app);
    placeWindow(app);
}

void followCursor(AppState& app) {
    if (!app.inspector.open || !app.platform) return;
    std::uint8_t now[8];
    bytesAtCursor(app, now);
    if (app.view.cursorPos() != app.inspector.shownPos || std::memcmp(now, app.inspector.shownBytes, 8) != 0)
        takeValue(app);
}

void onValuesEvent(AppState& app, const ModelessEvent& event) {
    if (!app.inspector.open) return;
    const Field* f = fieldOf(event.controlId);
    switch (event.kind) {
    case ModelessEventKind::Edited:
        if (f) onEdited(app, *f);
        break;
    case ModelessEventKind::FocusLeft:
        if (f) onFocusLeft(app, *f);
        break;
    case ModelessEventKind::EditFinished:
        break;
    case ModelessEventKind::Toggled:
        onToggled(app.settings, event.controlId, event.checked);
        break;
    case ModelessEventKind::Pressed:
        onPressed(app, event.controlId);
        break;
    case ModelessEventKind::Closed:
        app.inspector = InspectorState{};
        break;
    case ModelessEventKind::CaretMoved:
        break;
    }
}

}  // namespace quorby::inspect
