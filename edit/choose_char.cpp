#include "edit/choose_char.h"

#include <cctype>

namespace quorby {

namespace {

constexpr int kFields[3] = {kChooseCharDecimal, kChooseCharHex, kChooseCharChar};

std::string fieldText(int field, std::uint8_t value) {
    const char* digits = "0123456789ABCDEF";
    if (field == kChooseCharDecimal) return std::to_string(value);
    if (field == kChooseCharHex) return {digits[value >> 4], digits[value & 15]};
    return std::string(1, char(value));
}

bool allOf(const std::string& text, int (*test)(int)) {
    for (char c : text)
        if (!test(static_cast<unsigned char>(c))) return false;
    return true;
}

// The field the user changed is the one whose text is not what the dialog
// last wrote into it; its value is written into all three.
class LinkedFields : public DialogReaction {
public:
    explicit LinkedFields(std::uint8_t value) : value_(value) {
        for (int i = 0; i < 3; ++i) written_[i] = fieldText(kFields[i], value);
    }
    void react(DialogDescription& dialog, int) override {
        for (int i = 0; i < 3; ++i) {
            const DialogControl* c = dialog.find(kFields[i]);
            if (c && c->value != written_[i]) {
                value_ = chooseCharValue(kFields[i], c->value);
                break;
            }
        }
        for (int i = 0; i < 3; ++i) {
            written_[i] = fieldText(kFields[i], value_);
            if (DialogControl* c = dialog.find(kFields[i])) c->value = written_[i];
        }
    }
    std::uint8_t value() const { return value_; }
    const std::string& written(int i) const { return written_[i]; }

private:
    std::uint8_t value_;
    std::string written_[3];
};

}  // namespace

std::uint8_t chooseCharValue(int field, const std::string& text) {
    if (field == kChooseCharDecimal) {
        if (text.empty() || text.size() > 3 || !allOf(text, isdigit)) return 0;
        const int v = std::stoi(text);
        return std::uint8_t(v > 255 ? 255 : v);
    }
    if (field == kChooseCharHex) {
        if (text.empty() || text.size() > 2 || !allOf(text, isxdigit)) return 0;
        return std::uint8_t(std::stoi(text, nullptr, 16));
    }
    return text.empty() ? 0 : std::uint8_t(text[0]);
}

int chooseChar(AppState& app) {
    LinkedFields fields(app.edit.fillValue);
    DialogDescription dialog;
    dialog.title = "Choose Char";
    dialog.okId = kChooseCharOk;
    dialog.cancelId = kChooseCharCancel;
    const char* labels[3] = {"Decimal:", "Hex:", "Char:"};
    for (int i = 0; i < 3; ++i) {
        dialog.controls.push_back(dialogControl(0, ControlKind::Label, labels[i], 0, i));
        DialogControl edit = dialogControl(kFields[i], ControlKind::Edit, "", 1, i);
        edit.value = fields.written(i);
        edit.byteText = kFields[i] == kChooseCharChar;  // the byte itself, shown as its character
        edit.chars = 4;  // "255", "FF" or one character
        dialog.controls.push_back(edit);
    }
    dialog.controls.push_back(dialogControl(kChooseCharOk, ControlKind::Button, "OK", 0, 3));
    dialog.controls.push_back(dialogControl(kChooseCharCancel, ControlKind::Button, "Cancel", 1, 3));
    if (app.platform->runReactiveDialog(dialog, fields) != kChooseCharOk) return 1;
    fields.react(dialog, kChooseCharOk);   // a field changed just before OK counts
    app.edit.fillValue = fields.value();
    return 0;
}

}  // namespace quorby
