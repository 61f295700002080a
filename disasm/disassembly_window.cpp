#include "disasm/disassembly_window.h"

#include "decoder/decoder_state.h"
#include "disasm/disasm_options.h"
#include "disasm/header_mode.h"
#include "disasm/listing_build.h"
#include "disasm/listing_click.h"
#include "disasm/listing_file.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"

namespace quorby::disasm {

namespace {

constexpr ModelessWindow kWindow = ModelessWindow::Disassembly;
constexpr std::uint32_t kIntervals[] = {64, 128, 256, 512};

DialogControl checkBox(int id, const char* text, bool checked, int column, int row) {
    DialogControl c = dialogControl(id, ControlKind::CheckBox, text, column, row);
    c.checked = checked;
    return c;
}

// The window as the options in the settings record describe it.
DialogDescription describeWindow(const SettingsRecord& settings) {
    const std::uint32_t st = storedDecoderState(settings);
    const DecoderMode mode = decoderModeOf(st);
    const bool complete = (st & state::kCompleteListing) != 0;
    DialogDescription d;
    d.title = decoderModeTitle(st);
    d.okId = kDisasmOk;
    d.cancelId = kDisasmCancel;
    d.controls.push_back(checkBox(kDisasmMode32, "32 Bit", mode == DecoderMode::Protected32, 0, 0));
    d.controls.push_back(checkBox(kDisasmRealMode, "Real-Mode", mode == DecoderMode::Real16, 1, 0));
    d.controls.push_back(checkBox(kDisasmMode64, "(64 Bit)", mode == DecoderMode::Protected64, 2, 0));
    d.controls.push_back(checkBox(kDisasmCompleteListing, "complete Listing", complete, 0, 1));
    DialogControl cancelBox = checkBox(kDisasmCancelAfterError, "Cancel after Error",
                                       (st & state::kCancelAfterError) != 0, 1, 1);
    cancelBox.enabled = complete;
    d.controls.push_back(cancelBox);
    d.controls.push_back(checkBox(kDisasmOmitPrefixes, "Omit Präfixes",
                                  (st & state::kShowPrefixes) == 0, 2, 1));
    d.controls.push_back(checkBox(kDisasmByDoubleClick, "Disassemble by double click",
                                  settings.doubleClickAction == kDoubleClickDisassembles, 0, 2));
    d.controls.push_back(dialogControl(kDisasmIntervalGroup, ControlKind::Group, "Scrolling-Intervals (Bytes)", 0, 3));
    const std::uint32_t interval = scrollingInterval(settings);
    for (int k = 0; k < 4; ++k) {
        static const char* const kTexts[] = {"64", "128", "256", "512"};
        DialogControl radio = dialogControl(kDisasmInterval64 + k, ControlKind::Radio, kTexts[k], k, 0);
        radio.group = 1;
        radio.frame = kDisasmIntervalGroup;
        radio.checked = kIntervals[k] == interval;
        d.controls.push_back(radio);
    }
    d.controls.push_back(dialogControl(kDisasmSizeNote, ControlKind::Label,
                                 "Size of Operand in Bit:  b:8; w:16; d:32; q:64; dq:128; p:48; t:80", 0, 5));
    d.controls.push_back(dialogControl(kDisasmListing, ControlKind::Listing, "", 0, 6));
    d.controls.push_back(dialogControl(kDisasmOk, ControlKind::Button, "OK", 0, 7));
    d.controls.push_back(dialogControl(kDisasmCancel, ControlKind::Button, "Cancel", 1, 7));
    d.controls.push_back(dialogControl(kDisasmResetListing, ControlKind::Button, "Reset Listing", 2, 7));
    d.controls.push_back(dialogControl(kDisasmSave, ControlKind::Button, "Save", 3, 7));
    return d;
}

void refreshControl(AppState& app, int id) {
    DialogDescription d = describeWindow(app.settings);
    if (const DialogControl* c = d.find(id)) app.platform->setModelessControl(kWindow, *c);
}

void showListing(AppState& app) { app.platform->setListingText(kWindow, kDisasmListing, app.disasm.listing); }

void openWindow(AppState& app) {
    takeModeFromHeader(app);
    storeScrollingInterval(app.settings, scrollingInterval(app.settings));
    DisasmState& d = app.disasm;
    ViewState& v = app.view;
    d.savedSelectionStart = v.selectionStart;
    d.savedSelectionEnd = v.selectionEnd;
    d.savedSelectionActive = v.selectionActive;
    d.savedSelectionColour = v.selectionColour;
    v.selectionColour = kDisasmSelectionColour;
    d.listing.clear();
    d.windowOpen = true;
    app.platform->openModeless(kWindow, describeWindow(app.settings));
    showListing(app);
}

// OK, Cancel and the window's frame: the selection and its colour as they
// were when the window opened.
void closeWindow(AppState& app) {
    DisasmState& d = app.disasm;
    if (!d.windowOpen) return;
    d.windowOpen = false;
    ViewState& v = app.view;
    v.selectionStart = d.savedSelectionStart;
    v.selectionEnd = d.savedSelectionEnd;
    v.selectionActive = d.savedSelectionActive;
    v.selectionColour = d.savedSelectionColour;
    if (v.selectionActive & kSelectionItemsEnabled) enableSelectionItems(app);
    else greySelectionItems(app);
    app.platform->closeModeless(kWindow);
    if (fileIsOpen(app)) redrawView(app);
}

void setOption(AppState& app, std::uint32_t bit, bool on) {
    std::uint32_t st = storedDecoderState(app.settings);
    st = on ? st | bit : st & ~bit;
    storeDecoderState(app.settings, st);
}

// Ticking a mode box unticks the other two; unticking "32 Bit" or
// "Real-Mode" gives Protected Mode 16 bit, unticking "(64 Bit)" 32 bit.
void changeMode(AppState& app, int box, bool checked) {
    DecoderMode mode = DecoderMode::Protected16;
    if (box == kDisasmMode32) mode = checked ? DecoderMode::Protected32 : DecoderMode::Protected16;
    else if (box == kDisasmRealMode) mode = checked ? DecoderMode::Real16 : DecoderMode::Protected16;
    else mode = checked ? DecoderMode::Protected64 : DecoderMode::Protected32;
    storeMode(app.settings, mode);
    for (int id : {kDisasmMode32, kDisasmRealMode, kDisasmMode64}) refreshControl(app, id);
    app.platform->setModelessTitle(kWindow, decoderModeTitle(storedDecoderState(app.settings)));
    app.disasm.listing.clear();
    disassembleAtCursor(app);
}

void onToggled(AppState& app, int id, bool checked) {
    switch (id) {
    case kDisasmMode32:
    case kDisasmRealMode:
    case kDisasmMode64:
        changeMode(app, id, checked);
        break;
    case kDisasmCompleteListing:
        setOption(app, state::kCompleteListing, checked);
        refreshControl(app, kDisasmCancelAfterError);
        break;
    case kDisasmCancelAfterError:
        setOption(app, state::kCancelAfterError, checked);
        break;
    case kDisasmOmitPrefixes:
        setOption(app, state::kShowPrefixes, !checked);
        break;
    case kDisasmByDoubleClick:
        // Unticking leaves the double-click action as it is.
        if (checked) app.settings.doubleClickAction = kDoubleClickDisassembles;
        break;
    default:
        if (checked && id >= kDisasmInterval64 && id < kDisasmInterval64 + 4)
            storeScrollingInterval(app.settings, kIntervals[id - kDisasmInterval64]);
        break;
    }
}

void onPressed(AppState& app, int id) {
    switch (id) {
    case kDisasmOk:
    case kDisasmCancel:
        closeWindow(app);
        break;
    case kDisasmResetListing:
        app.disasm.listing.clear();
        disassembleAtCursor(app);
        break;
    case kDisasmSave:
        (void)saveListing(app);  // reports its own failure
        break;
    default:
        break;
    }
}

}  // namespace

void showSettings(AppState& app) {
    if (!app.disasm.windowOpen || !app.platform->modelessOpen(kWindow)) return;
    const int ids[] = {kDisasmMode32,      kDisasmRealMode,       kDisasmMode64,         kDisasmCompleteListing,
                       kDisasmCancelAfterError, kDisasmOmitPrefixes, kDisasmByDoubleClick, kDisasmInterval64,
                       kDisasmInterval64 + 1,   kDisasmInterval64 + 2, kDisasmInterval64 + 3};
    for (int id : ids)
        refreshControl(app, id);
    app.platform->setModelessTitle(kWindow, decoderModeTitle(storedDecoderState(app.settings)));
}

void disassembleAtCursor(AppState& app) {
    // A window the platform closed without telling gives back the view's
    // selection before it opens again.
    if (app.disasm.windowOpen && !app.platform->modelessOpen(kWindow)) closeWindow(app);
    if (!app.disasm.windowOpen) openWindow(app);
    // A listing cut short by a read failure shows what was listed.
    if (storedDecoderState(app.settings) & state::kCompleteListing) (void)listComplete(app);
    else (void)listInstructionAtCursor(app);
    showListing(app);
}

void onDisassemblyEvent(AppState& app, const ModelessEvent& event) {
    if (!app.disasm.windowOpen) return;
    switch (event.kind) {
    case ModelessEventKind::Pressed:
        onPressed(app, event.controlId);
        break;
    case ModelessEventKind::Toggled:
        onToggled(app, event.controlId, event.checked);
        break;
    case ModelessEventKind::CaretMoved:
        if (event.controlId == kDisasmListing)
            clickInListing(app, event.caretPosition, scrollingInterval(app.settings));
        break;
    case ModelessEventKind::Closed:
        closeWindow(app);
        break;
    case ModelessEventKind::Edited:
    case ModelessEventKind::EditFinished:
    case ModelessEventKind::FocusLeft:
        break;
    }
}

}  // namespace quorby::disasm
