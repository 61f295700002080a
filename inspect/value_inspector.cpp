#include "inspect/value_inspector.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "inspect/value_forms.h"
#include "inspect/value_text.h"
#include "resources/dialog_controls.h"
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

// The further readings of the value: one edit field and one "save" button each.
enum class Form { Float, Double, Utf8, Utf16, Unix32, Unix64, Dos };

struct FormField {
    int id;  // the edit field; its "save" button is id + 1
    Form form;
    const char* label;
    int chars;
};

constexpr FormField kFormFields[] = {
    {kValuesFloat, Form::Float, "FLOAT (32 Bit)", 16},
    {kValuesDouble, Form::Double, "DOUBLE (64 Bit)", 24},
    {kValuesUtf8, Form::Utf8, "UTF-8", 10},
    {kValuesUtf16, Form::Utf16, "UTF-16", 10},
    {kValuesUnix32, Form::Unix32, "Unix Time (32 Bit)", 19},
    {kValuesUnix64, Form::Unix64, "Unix Time (64 Bit)", 19},
    {kValuesDos, Form::Dos, "DOS Date-Time", 19},
};

const FormField* formFieldOf(int id) {
    for (const FormField& f : kFormFields)
        if (f.id == id) return &f;
    return nullptr;
}

const FormField* formSaveOf(int id) {
    for (const FormField& f : kFormFields)
        if (f.id + 1 == id) return &f;
    return nullptr;
}

// The bytes a form covers at the start of `v`: a character its sequence's
// (an invalid one its first byte or unit), the others their width.
int formWidth(Form form, const std::uint8_t v[8], bool bigEndian) {
    std::uint32_t cp = 0;
    switch (form) {
    case Form::Float: case Form::Unix32: case Form::Dos: return 4;
    case Form::Double: case Form::Unix64: return 8;
    case Form::Utf8: {
        const int n = utf8Sequence(v, 8, &cp);
        return n == 0 ? 1 : n;
    }
    case Form::Utf16: {
        const int n = utf16Sequence(v, bigEndian, &cp);
        return n == 0 ? 2 : n;
    }
    }
    return 1;
}

std::string formText(Form form, const std::uint8_t v[8], bool bigEndian) {
    std::uint32_t cp = 0;
    switch (form) {
    case Form::Float: return floatText(std::uint32_t(orderedValue(v, 4, bigEndian)));
    case Form::Double: return doubleText(orderedValue(v, 8, bigEndian));
    case Form::Utf8: return utf8Sequence(v, 8, &cp) != 0 ? characterText(cp) : "invalid";
    case Form::Utf16: return utf16Sequence(v, bigEndian, &cp) != 0 ? characterText(cp) : "invalid";
    case Form::Unix32: return utcText(std::int32_t(std::uint32_t(orderedValue(v, 4, bigEndian))));
    case Form::Unix64: return utcText(std::int64_t(orderedValue(v, 8, bigEndian)));
    case Form::Dos:
        return dosText(std::uint16_t(orderedValue(v, 2, bigEndian)), std::uint16_t(orderedValue(v + 2, 2, bigEndian)));
    }
    return {};
}

// The bytes of a typed text: their number, 0 when the text is no value of the form.
int formBytes(Form form, const std::string& text, bool bigEndian, std::uint8_t out[8]) {
    std::uint32_t bits32 = 0, cp = 0;
    std::uint64_t bits64 = 0;
    std::int64_t seconds = 0;
    std::uint16_t time = 0, date = 0;
    switch (form) {
    case Form::Float:
        if (parseFloat(text, &bits32) != 0) return 0;
        putOrderedValue(out, 4, bits32, bigEndian);
        return 4;
    case Form::Double:
        if (parseDouble(text, &bits64) != 0) return 0;
        putOrderedValue(out, 8, bits64, bigEndian);
        return 8;
    case Form::Utf8: return parseCharacter(text, &cp) != 0 ? 0 : encodeUtf8(cp, out);
    case Form::Utf16: return parseCharacter(text, &cp) != 0 ? 0 : encodeUtf16(cp, bigEndian, out);
    case Form::Unix32:
        if (parseUtc(text, &seconds) != 0 || seconds < INT32_MIN || seconds > INT32_MAX) return 0;
        putOrderedValue(out, 4, std::uint64_t(seconds), bigEndian);
        return 4;
    case Form::Unix64:
        if (parseUtc(text, &seconds) != 0) return 0;
        putOrderedValue(out, 8, std::uint64_t(seconds), bigEndian);
        return 8;
    case Form::Dos:
        if (parseDos(text, &time, &date) != 0) return 0;
        putOrderedValue(out, 2, time, bigEndian);
        putOrderedValue(out + 2, 2, date, bigEndian);
        return 4;
    }
    return 0;
}

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
    return valueText(orderedValue(s.value + f.firstByte, f.width, s.bigEndian), f.base, f.width);
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
    if (const FormField* f = formFieldOf(id)) c.chars = f->chars;
    return c;
}

void showField(AppState& app, DialogDescription& shown, const Field& f) {
    if (DialogControl* c = shown.find(f.id)) {
        c->value = fieldText(app.inspector, f);
        app.platform->setModelessControl(kWindow, *c);
    }
}

void showFormField(AppState& app, DialogDescription& shown, const FormField& f) {
    if (DialogControl* c = shown.find(f.id)) {
        c->value = formText(f.form, app.inspector.value, app.inspector.bigEndian);
        app.platform->setModelessControl(kWindow, *c);
    }
}

void rewriteFields(AppState& app, int except) {
    DialogDescription shown = app.platform->modelessValues(kWindow);
    for (const Field& f : kFields)
        if (f.id != except) showField(app, shown, f);
    for (const FormField& f : kFormFields)
        if (f.id != except) showFormField(app, shown, f);
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
    putOrderedValue(s.value + f.firstByte, f.width, v, s.bigEndian);
    s.typedBytes = std::uint8_t(s.typedBytes | (((1u << f.width) - 1) << f.firstByte));
    s.lastWidth = f.width;
    s.lastTypedField = f.id;
    rewriteFields(app, f.id);
}

// A typed character whose encoding is not as long as the sequence at the
// cursor changes nothing: the bytes are overwritten, never shifted ("save"
// says so).
void onFormEdited(AppState& app, const FormField& f) {
    InspectorState& s = app.inspector;
    s.typingField = f.id;
    DialogDescription shown = app.platform->modelessValues(kWindow);
    const DialogControl* c = shown.find(f.id);
    std::uint8_t bytes[8] = {};
    const int n = c ? formBytes(f.form, c->value, s.bigEndian, bytes) : 0;
    if (n == 0 || n != formWidth(f.form, s.shownBytes, s.bigEndian)) return;
    std::memcpy(s.value, bytes, std::size_t(n));
    s.typedBytes = std::uint8_t(s.typedBytes | ((1u << n) - 1));
    s.lastWidth = n;
    s.lastTypedField = f.id;
    rewriteFields(app, f.id);
}

void onFormFocusLeft(AppState& app, const FormField& f) {
    InspectorState& s = app.inspector;
    if (s.typingField == f.id) s.typingField = 0;
    DialogDescription shown = app.platform->modelessValues(kWindow);
    showFormField(app, shown, f);
}

// "save" of a form: its bytes from the value; a character only when its
// encoding is as long as the sequence it replaces.
void saveForm(AppState& app, const FormField& f) {
    InspectorState& s = app.inspector;
    const int replaced = formWidth(f.form, s.shownBytes, s.bigEndian);
    if (f.form == Form::Utf8 || f.form == Form::Utf16) {
        DialogDescription shown = app.platform->modelessValues(kWindow);
        const DialogControl* c = shown.find(f.id);
        std::uint8_t bytes[8] = {};
        const int n = c ? formBytes(f.form, c->value, s.bigEndian, bytes) : 0;
        if (n == 0) return;
        if (n != replaced) {
            showMessageBox(app,
                           "The Character takes " + std::to_string(n) + " Bytes, the one at the Cursor " +
                               std::to_string(replaced) +
                               ": Bytes are overwritten, never shifted.\n\nNothing was written.",
                           "Save Value", MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        std::memcpy(s.value, bytes, std::size_t(n));
    }
    (void)writeIntoPage(app, std::uint8_t((1u << replaced) - 1));
}

void onFocusLeft(AppState& app, const Field& f) {
    InspectorState& s = app.inspector;
    if (s.typingField == f.id) s.typingField = 0;
    DialogDescription shown = app.platform->modelessValues(kWindow);
    showField(app, shown, f);
}

// Closed, the inspector forgets its value but keeps its byte order.
void forgetInspector(InspectorState& s) {
    const bool bigEndian = s.bigEndian;
    s = InspectorState{};
    s.bigEndian = bigEndian;
}

void closeInspector(AppState& app) {
    forgetInspector(app.inspector);
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

void onToggled(AppState& app, int id, bool checked) {
    SettingsRecord& settings = app.settings;
    if (id == kValuesBigEndian) {
        app.inspector.bigEndian = checked;
        rewriteFields(app, 0);
        return;
    }
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
    if (const FormField* f = formSaveOf(id)) saveForm(app, *f);
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
    DialogControl bigEndian = dialogControl(kValuesBigEndian, ControlKind::CheckBox, "Big-Endian", 3, 0);
    bigEndian.checked = app.inspector.bigEndian;
    c.push_back(bigEndian);
    for (std::size_t i = 0; i < std::size(kFormFields); ++i) {
        const FormField& f = kFormFields[i];
        const int row = 7 + int(i);
        c.push_back(dialogControl(kValuesFormLabelFirst + int(i), ControlKind::Label, f.label, 0, row));
        DialogControl field = edit(f.id, 1, row);
        field.value = formText(f.form, app.inspector.value, app.inspector.bigEndian);
        c.push_back(field);
        c.push_back(dialogControl(f.id + 1, ControlKind::Button, "save", 3, row));
    }
    constexpr int kBelowForms = 7 + int(std::size(kFormFields));
    DialogControl keep = dialogControl(kKeepPosition, ControlKind::CheckBox, "Keep Window Position", 0, kBelowForms);
    keep.checked = (app.settings.inspectorOptions & kKeepWindowPosition) != 0;
    DialogControl byDoubleClick = dialogControl(kShowByDoubleClick, ControlKind::CheckBox, "Show by double clicking", 1, kBelowForms);
    byDoubleClick.checked = app.settings.doubleClickAction == 1;
    c.push_back(keep);
    c.push_back(byDoubleClick);
    c.push_back(dialogControl(kReturnGroup, ControlKind::Group, "What to do after hitting Return", 0, kBelowForms + 1));
    for (std::size_t i = 0; i < std::size(kReturnOptions); ++i) {
        DialogControl box = dialogControl(kReturnOptions[i].id, ControlKind::CheckBox, kReturnOptions[i].text, int(i), 0);
        box.frame = kReturnGroup;
        box.checked = (app.settings.inputOptions & kReturnOptions[i].bit) != 0;
        c.push_back(box);
    }
    c.push_back(dialogControl(kValuesReturn, ControlKind::Button, "OK", 3, kBelowForms + 3));
    c.push_back(dialogControl(kValuesCancel, ControlKind::Button, "Cancel", 4, kBelowForms + 3));
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
        forgetInspector(s);
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
        if (const FormField* form = formFieldOf(event.controlId)) onFormEdited(app, *form);
        break;
    case ModelessEventKind::FocusLeft:
        if (f) onFocusLeft(app, *f);
        if (const FormField* form = formFieldOf(event.controlId)) onFormFocusLeft(app, *form);
        break;
    case ModelessEventKind::EditFinished:
        break;
    case ModelessEventKind::Toggled:
        onToggled(app, event.controlId, event.checked);
        break;
    case ModelessEventKind::Pressed:
        onPressed(app, event.controlId);
        break;
    case ModelessEventKind::Closed:
        forgetInspector(app.inspector);
        break;
    case ModelessEventKind::CaretMoved:
        break;
    }
}

}  // namespace quorby::inspect
