#include "compare/offset_dialog.h"

#include "compare/alignment.h"

namespace quorby {
namespace {

constexpr int kPointsBox = 1010;
constexpr int kPointTextChars = 19;  // four groups of four digits

DialogDescription offsetDialog(const CompareSession& c) {
    DialogDescription d;
    d.title = kOffsetDialogTitle;
    d.okId = kOffsetOk;
    d.cancelId = kOffsetCancel;
    DialogControl first = dialogControl(kOffsetFirstEdit, ControlKind::Edit, "", 1, 1);
    DialogControl second = dialogControl(kOffsetSecondEdit, ControlKind::Edit, "", 1, 2);
    first.value = formatPointText(c.firstPoint);
    second.value = formatPointText(c.secondPoint);
    first.chars = second.chars = kPointTextChars;
    d.controls = {
        dialogControl(kPointsBox, ControlKind::Group, "Points to be superposed", 0, 0),
        dialogControl(1011, ControlKind::Label, "( HEXADECIMAL Values )", 1, 0),
        dialogControl(1012, ControlKind::Label, "1. File  /  double click", 0, 1),
        first,
        dialogControl(kOffsetResetFirst, ControlKind::Button, "RESET", 2, 1),
        dialogControl(1013, ControlKind::Label, "2. File  /  F6 + double click", 0, 2),
        second,
        dialogControl(kOffsetResetSecond, ControlKind::Button, "RESET", 2, 2),
        dialogControl(kOffsetZeroToFirst, ControlKind::Button, ">>", 0, 3),
        dialogControl(kOffsetZeroToSecond, ControlKind::Button, "<<", 1, 3),
        dialogControl(1014, ControlKind::Label, "NOTE:\nStrg + Al t+ Cursor Keys change the Offset as well !", 0, 1),
        dialogControl(kOffsetOk, ControlKind::Button, "OK", 1, 2),
        dialogControl(kOffsetCancel, ControlKind::Button, "Cancel", 2, 2),
    };
    // The points, their buttons and the heading sit in the group box.
    for (std::size_t i = 1; i <= 9; ++i) d.controls[i].frame = kPointsBox;
    return d;
}

FilePos& pointOf(CompareSession& c, int editId) { return editId == kOffsetFirstEdit ? c.firstPoint : c.secondPoint; }

void showPoint(AppState& app, int editId) {
    DialogControl field = dialogControl(editId, ControlKind::Edit, "", 1, editId == kOffsetFirstEdit ? 1 : 2);
    field.value = formatPointText(pointOf(app.compare, editId));
    app.platform->setModelessControl(ModelessWindow::OffsetAdjustment, field);
}

// Typing in a field: its value is the point at once (a text that is no
// hexadecimal number leaves the point as it was).
void takeField(AppState& app, int editId) {
    if (editId != kOffsetFirstEdit && editId != kOffsetSecondEdit) return;
    DialogDescription values = app.platform->modelessValues(ModelessWindow::OffsetAdjustment);
    const DialogControl* field = values.find(editId);
    FilePos point = 0;
    if (field == nullptr || !parsePointText(field->value, &point)) return;
    pointOf(app.compare, editId) = point;
    applyPoints(app, false);
}

void closeDialog(AppState& app) {
    app.compare.dialogOpen = false;
    app.platform->closeModeless(ModelessWindow::OffsetAdjustment);
}

void pressed(AppState& app, int id) {
    CompareSession& c = app.compare;
    switch (id) {
        case kOffsetZeroToFirst:  // the shift stays; points below 0 do not exist
            if (c.secondPoint < c.firstPoint) return;
            c.secondPoint -= c.firstPoint;
            c.firstPoint = 0;
            break;
        case kOffsetZeroToSecond:
            if (c.firstPoint < c.secondPoint) return;
            c.firstPoint -= c.secondPoint;
            c.secondPoint = 0;
            break;
        case kOffsetResetFirst: c.firstPoint = 0; break;
        case kOffsetResetSecond: c.secondPoint = 0; break;
        case kOffsetOk:
            closeDialog(app);
            break;
        case kOffsetCancel:
            c.firstPoint = c.dialogFirstPoint;
            c.secondPoint = c.dialogSecondPoint;
            closeDialog(app);
            break;
        default:
            return;
    }
    applyPoints(app);
}

}  // namespace

std::string formatPointText(FilePos point) {
    std::string text;
    for (int group = 3; group >= 0; --group) {
        for (int digit = 3; digit >= 0; --digit)
            text += "0123456789ABCDEF"[(point >> (group * 16 + digit * 4)) & 15];
        if (group > 0) text += ' ';
    }
    return text;
}

bool parsePointText(const std::string& text, FilePos* point) {
    FilePos value = 0;
    for (char ch : text) {
        int nibble = -1;
        if (ch >= '0' && ch <= '9') nibble = ch - '0';
        else if (ch >= 'A' && ch <= 'F') nibble = ch - 'A' + 10;
        else if (ch >= 'a' && ch <= 'f') nibble = ch - 'a' + 10;
        else if (ch == ' ') continue;
        // Leading zeros do not count: a digit typed into the full field of
        // sixteen is taken as long as the value fits in 64 bits.
        if (nibble < 0 || (value >> 60) != 0) return false;
        value = (value << 4) | FilePos(nibble);
    }
    *point = value;
    return true;
}

void openOffsetDialog(AppState& app) {
    CompareSession& c = app.compare;
    if (!app.platform || c.mode == CompareMode::None) return;
    if (!c.dialogOpen) {
        c.dialogFirstPoint = c.firstPoint;
        c.dialogSecondPoint = c.secondPoint;
    }
    c.dialogOpen = true;
    app.platform->openModeless(ModelessWindow::OffsetAdjustment, offsetDialog(c));
}

void refreshOffsetFields(AppState& app) {
    if (!app.compare.dialogOpen || !app.platform) return;
    showPoint(app, kOffsetFirstEdit);
    showPoint(app, kOffsetSecondEdit);
}

void onOffsetDialogEvent(AppState& app, const ModelessEvent& event) {
    if (!app.compare.dialogOpen || !app.platform) return;
    switch (event.kind) {
        case ModelessEventKind::Edited:
            takeField(app, event.controlId);
            break;
        case ModelessEventKind::EditFinished:
            if (event.controlId == kOffsetFirstEdit || event.controlId == kOffsetSecondEdit)
                showPoint(app, event.controlId);
            break;
        case ModelessEventKind::Pressed:
            pressed(app, event.controlId);
            break;
        case ModelessEventKind::Closed:
            pressed(app, kOffsetCancel);
            break;
        default:
            break;
    }
}

}  // namespace quorby
