#include "navigate/goto_dialog.h"

#include <limits>

#include "navigate/page_moves.h"

namespace quorby {

namespace {

constexpr std::int64_t kMaxValue = std::numeric_limits<std::int64_t>::max();

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The positions the dialog works with; the target is kept in the file.
struct GotoValues {
    FilePos target = 0;
    std::int64_t distance = 0;
};

FilePos clampToFile(const AppState& app, std::int64_t pos) {
    if (pos < 0) return 0;
    return FilePos(pos) > lastByte(app.main) ? lastByte(app.main) : FilePos(pos);
}

std::int64_t distanceFromCursor(const ViewState& view, FilePos target) {
    return std::int64_t(target) - std::int64_t(view.cursorPos());
}

struct FieldDef {
    int labelId;
    const char* label;
    int editId;
};

constexpr FieldDef kFields[] = {
    {1070, "Address hex:", kGotoHexTarget},
    {1071, "Address dec:", kGotoDecTarget},
    {1072, "Distance hex:", kGotoHexDistance},
    {1073, "Distance dec:", kGotoDecDistance},
};

bool isHexField(int id) { return id == kGotoHexTarget || id == kGotoHexDistance; }
bool isDistanceField(int id) { return id == kGotoHexDistance || id == kGotoDecDistance; }

std::string fieldText(int id, const GotoValues& v) {
    const std::int64_t value = isDistanceField(id) ? v.distance : std::int64_t(v.target);
    return formatGotoNumber(value, isHexField(id));
}

DialogDescription buildDialog(const NavigationState& nav, const GotoValues& v) {
    DialogDescription described;
    described.title = "Goto";
    described.okId = kGotoOk;
    described.cancelId = kGotoCancel;
    int row = 0;
    for (const FieldDef& f : kFields) {
        DialogControl label;
        label.id = f.labelId;
        label.kind = ControlKind::Label;
        label.text = f.label;
        label.row = row;
        described.controls.push_back(label);
        DialogControl edit;
        edit.id = f.editId;
        edit.kind = ControlKind::Edit;
        edit.value = fieldText(f.editId, v);
        edit.column = 1;
        edit.row = row++;
        // A minus and 16 hex digits in groups of four, or 19 decimal digits in groups of three.
        edit.chars = isHexField(f.editId) ? 20 : 26;
        described.controls.push_back(edit);
    }
    const struct {
        int id;
        const char* text;
        bool enabled;
    } buttons[] = {
        {kGotoOk, "OK", true},
        {kGotoCancel, "Cancel", true},
        {kGotoPrevious, "<< prev.", nav.gotoPrevEnabled},
        {kGotoNext, "next  >>", nav.gotoNextEnabled},
    };
    int column = 0;
    for (const auto& b : buttons) {
        DialogControl button;
        button.id = b.id;
        button.kind = ControlKind::Button;
        button.text = b.text;
        button.enabled = b.enabled;
        button.column = column++;
        button.row = row;
        described.controls.push_back(button);
    }
    return described;
}

// Takes the values from the first edited field. Returns 1 when that field
// holds no number (reported), 0 otherwise; *edited tells whether any field
// was edited.
int takeEditedField(AppState& app, DialogDescription& described, GotoValues& v, bool* edited) {
    *edited = false;
    for (const FieldDef& f : kFields) {
        DialogControl* c = described.find(f.editId);
        if (!c || c->value == fieldText(f.editId, v)) continue;
        std::int64_t value = 0;
        if (parseGotoNumber(c->value, isHexField(f.editId), &value) != 0) {
            MessageBoxDescription box;
            box.caption = "Goto";
            box.text = "\"" + c->value + "\" is not a " + (isHexField(f.editId) ? "hexadecimal" : "decimal") +
                       " number.";
            app.platform->messageBox(box);
            return 1;
        }
        *edited = true;
        app.nav.gotoFocusField = f.editId;
        if (isDistanceField(f.editId)) {
            v.distance = value;
            v.target = clampToFile(app, std::int64_t(app.view.cursorPos()) + value);
        } else {
            v.target = clampToFile(app, value);
            v.distance = distanceFromCursor(app.view, v.target);
        }
        return 0;
    }
    return 0;
}

void goTo(AppState& app, FilePos target) {
    (void)showWithCursorAt(app, target);  // a page that cannot be read is reported and the view stays
    redrawView(app);
}

FilePos shownPagePosition(const ViewState& view) {
    return view.pagePos + (view.viewOffset >= std::uint32_t(kPageSize) ? FilePos(kPageSize) : 0);
}

}  // namespace

int parseGotoNumber(const std::string& text, bool hex, std::int64_t* out) {
    const std::uint64_t base = hex ? 16 : 10;
    bool negative = false, saturated = false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c == ' ') continue;
        if (c == '-') {
            negative = true;
            continue;
        }
        const int d = digitValue(c, hex);
        if (d < 0) return 1;
        if (value > (std::uint64_t(kMaxValue) - std::uint64_t(d)) / base) saturated = true;
        else value = value * base + std::uint64_t(d);
    }
    const std::int64_t magnitude = saturated ? kMaxValue : std::int64_t(value);
    *out = negative ? -magnitude : magnitude;
    return 0;
}

std::string formatGotoNumber(std::int64_t value, bool hex) {
    static const char kDigits[] = "0123456789ABCDEF";
    const unsigned base = hex ? 16 : 10;
    const int group = hex ? 4 : 3;
    std::uint64_t magnitude = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    std::string reversed;
    int inGroup = 0;
    do {
        if (inGroup == group) {
            reversed += ' ';
            inGroup = 0;
        }
        reversed += kDigits[magnitude % base];
        magnitude /= base;
        ++inGroup;
    } while (magnitude != 0);
    std::string text = value < 0 ? "- " : "";
    text.append(reversed.rbegin(), reversed.rend());
    return text;
}

void gotoCommand(AppState& app) {
    if (!fileIsOpen(app)) return;
    NavigationState& nav = app.nav;
    GotoValues v;
    v.target = clampToFile(app, std::int64_t(nav.gotoTarget > FilePos(kMaxValue) ? kMaxValue : nav.gotoTarget));
    v.distance = distanceFromCursor(app.view, v.target);
    nav.gotoFocusField = kGotoHexTarget;
    nav.gotoStepping = false;
    for (;;) {
        DialogDescription described = buildDialog(app.nav, v);
        const int pressed = app.platform->runDialog(described);
        if (pressed != kGotoOk && pressed != kGotoPrevious && pressed != kGotoNext) break;
        bool edited = false;
        if (takeEditedField(app, described, v, &edited) != 0) continue;
        if (edited) nav.gotoStepping = false;
        if (pressed == kGotoOk) {
            nav.gotoPrevious = shownPagePosition(app.view);
            nav.gotoPrevEnabled = true;
            nav.gotoNextEnabled = false;
            if (isDistanceField(nav.gotoFocusField)) {
                // The first OK goes to the target as shown, every further OK
                // in a row steps on by the distance.
                if (nav.gotoStepping)
                    v.target = clampToFile(app, std::int64_t(app.view.cursorPos()) + v.distance);
                nav.gotoStepping = true;
                goTo(app, v.target);
            } else {
                goTo(app, v.target);
                v.distance = distanceFromCursor(app.view, v.target);
            }
        } else {
            if ((pressed == kGotoPrevious && !nav.gotoPrevEnabled) || (pressed == kGotoNext && !nav.gotoNextEnabled))
                continue;
            const FilePos previous = clampToFile(app, std::int64_t(nav.gotoPrevious));
            nav.gotoPrevious = v.target;
            v.target = previous;
            nav.gotoPrevEnabled = pressed == kGotoNext;
            nav.gotoNextEnabled = pressed == kGotoPrevious;
            nav.gotoStepping = false;
            goTo(app, v.target);
            if (!isDistanceField(nav.gotoFocusField)) v.distance = distanceFromCursor(app.view, v.target);
        }
        v.target = app.view.cursorPos();
        nav.gotoTarget = v.target;
    }
}

}  // namespace quorby
