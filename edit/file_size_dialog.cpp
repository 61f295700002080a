#include "edit/file_size_dialog.h"

#include <cctype>
#include <cstdint>
#include <limits>

#include "edit/file_size.h"
#include "state/error_report.h"

namespace quorby {

namespace {

constexpr std::uint64_t kUnits[5] = {1, 512, 1024, 1048576, 1073741824};
constexpr const char* kRowNames[5] = {"Bytes", "Sectors", "KBytes", "MBytes", "GBytes"};
constexpr int kGroups[2] = {kSizeAmountGroup, kSizeNewGroup};
// The widest texts of the fields: a minus and 19 decimal or 16 hexadecimal digits.
constexpr int kSizeDecimalChars = 20;
constexpr int kSizeHexChars = 17;
// No file is longer than the largest signed 64-bit position; bigger numbers stop there.
constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

// A minus sign before the number, as the dialog writes a negative amount.
bool startsWithMinus(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first != std::string::npos && text[first] == '-';
}

std::int64_t bytesOf(std::uint64_t count, int row) {
    return count > std::uint64_t(kLargest) / kUnits[row] ? kLargest : std::int64_t(count * kUnits[row]);
}

// sizeChange and newSize, kept in agreement with the Main File's size.
class SizeFields : public DialogReaction {
public:
    SizeFields(AppState& app) : app_(app), size_(std::int64_t(app.main.fileSize)), newSize_(size_) {}

    void react(DialogDescription& dialog, int controlId) override {
        if (controlId == kSizeHighlight) {
            const DialogControl* box = dialog.find(kSizeHighlight);
            if (box && box->checked) app_.settings.resizeOptions |= 1u;
            else app_.settings.resizeOptions &= ~1u;
        }
        takeChangedField(dialog);
        writeAll(dialog);
    }
    void writeAll(DialogDescription& dialog) {
        for (int g = 0; g < 2; ++g)
            for (int row = 0; row < 5; ++row)
                for (int hex = 0; hex < 2; ++hex) {
                    const int id = sizeField(kGroups[g], row, hex);
                    const std::string text = sizeFieldText(g == 0 ? newSize_ - size_ : newSize_, row, hex != 0);
                    written_[g][row][hex] = text;
                    if (DialogControl* c = dialog.find(id)) c->value = text;
                }
    }
    std::int64_t newSize() const { return newSize_; }

private:
    // The field whose text is not what was written last is the one the user changed.
    void takeChangedField(DialogDescription& dialog) {
        for (int g = 0; g < 2; ++g)
            for (int row = 0; row < 5; ++row)
                for (int hex = 0; hex < 2; ++hex) {
                    const DialogControl* c = dialog.find(sizeField(kGroups[g], row, hex));
                    if (c == nullptr || c->value == written_[g][row][hex]) continue;
                    std::int64_t value = bytesOf(sizeFieldNumber(c->value, hex != 0), row);
                    if (startsWithMinus(c->value)) value = -value;
                    newSize_ = g == 0 ? (value > kLargest - size_ ? kLargest : size_ + value) : value;
                    return;
                }
    }

    AppState& app_;
    std::int64_t size_;
    std::int64_t newSize_;
    std::string written_[2][5][2];
};

}  // namespace

std::uint64_t sizeFieldNumber(const std::string& text, bool hex) {
    std::uint64_t value = 0;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const std::uint64_t base = hex ? 16 : 10;
        std::uint64_t digit;
        if (hex && std::isxdigit(c)) digit = std::uint64_t(std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10);
        else if (!hex && std::isdigit(c)) digit = std::uint64_t(c - '0');
        else continue;
        value = value > (UINT64_MAX - digit) / base ? UINT64_MAX : value * base + digit;
    }
    return value;
}

std::string sizeFieldText(std::int64_t value, int row, bool hex) {
    const std::uint64_t magnitude = (value < 0 ? std::uint64_t(-value) : std::uint64_t(value)) / kUnits[row];
    std::string digits;
    const char* set = "0123456789ABCDEF";
    std::uint64_t rest = magnitude;
    do {
        digits.insert(digits.begin(), set[rest % (hex ? 16 : 10)]);
        rest /= hex ? 16 : 10;
    } while (rest != 0);
    return (value < 0 && magnitude != 0 ? "-" : "") + digits;
}

void changeFileSizeCommand(AppState& app) {
    if (app.main.mainHandle == kNoFile) return;
    SizeFields fields(app);
    DialogDescription dialog;
    dialog.title = "Change File Size";
    dialog.okId = kSizeDialogOk;
    dialog.cancelId = kSizeDialogCancel;
    const char* groupNames[2] = {"AMOUNT OF CHANGE:", "NEW SIZE:"};
    // Each group box holds its column heads, unit names and fields.
    auto inBox = [&](DialogControl c, int box) {
        c.frame = box;
        dialog.controls.push_back(c);
    };
    for (int g = 0; g < 2; ++g) {
        dialog.controls.push_back(dialogControl(kGroups[g], ControlKind::Group, groupNames[g], g, 0));
        inBox(dialogControl(0, ControlKind::Label, "DEZ", 1, 0), kGroups[g]);
        inBox(dialogControl(0, ControlKind::Label, "HEX", 2, 0), kGroups[g]);
        for (int row = 0; row < 5; ++row) {
            inBox(dialogControl(0, ControlKind::Label, kRowNames[row], 0, row + 1), kGroups[g]);
            for (int hex = 0; hex < 2; ++hex) {
                DialogControl field = dialogControl(sizeField(kGroups[g], row, hex), ControlKind::Edit, "", 1 + hex, row + 1);
                field.chars = hex ? kSizeHexChars : kSizeDecimalChars;
                inBox(field, kGroups[g]);
            }
        }
    }
    DialogControl highlight = dialogControl(kSizeHighlight, ControlKind::CheckBox, "Highlight Enlargement", 0, 1);
    highlight.checked = (app.settings.resizeOptions & 1u) != 0;
    dialog.controls.push_back(highlight);
    dialog.controls.push_back(dialogControl(kSizeDialogOk, ControlKind::Button, "OK", 0, 2));
    dialog.controls.push_back(dialogControl(kSizeDialogCancel, ControlKind::Button, "Cancel", 1, 2));
    fields.writeAll(dialog);
    if (app.platform->runReactiveDialog(dialog, fields) != kSizeDialogOk) return;
    fields.react(dialog, kSizeHighlight);   // what was changed just before OK counts
    if (fields.newSize() < 0) {
        showMessageBox(app, "A File cannot have a negative Size !", "Change File Size", MsgButtons::Ok);
        return;
    }
    (void)resizeMainFile(app, FilePos(fields.newSize()));  // it reports its own failures
}

}  // namespace quorby
