#include "state/error_report.h"

#include <cstring>

namespace quorby {

void setErrorText(ErrorState& error, const char* text) {
    constexpr std::size_t kCapacity = sizeof(error.errorText) - 1;
    std::size_t length = text ? std::strlen(text) : 0;
    if (length > kCapacity) {
        length = kCapacity;
        // Never end inside a multi-byte character: step back over
        // continuation bytes (10xxxxxx) to the start of the cut character.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    if (length > 0) std::memcpy(error.errorText, text, length);
    std::memset(error.errorText + length, 0, sizeof(error.errorText) - length);
}

int reportError(AppState& app, const char* message, const std::string& fileName) {
    // The last error first: any later call may overwrite it.
    SystemError failure;
    if (app.files) failure = app.files->lastError();

    const char* caption = messageTableText(failure.code);
    if (!caption && failure.code == 0 && failure.sysErrno != 0) caption = std::strerror(failure.sysErrno);
    setErrorText(app.error, caption);

    if (!app.platform) return 0;
    MessageBoxDescription box;
    box.text = std::string(message ? message : "") + fileName;
    box.caption = app.error.errorText;
    box.buttons = MsgButtons::OkCancel;
    box.icon = MsgIcon::None;
    box.taskModal = true;
    return app.platform->messageBox(box) == MsgAnswer::Cancel ? 1 : 0;
}

MsgAnswer showMessageBox(AppState& app, const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon, bool secondIsDefault) {
    MessageBoxDescription box;
    box.text = text;
    box.caption = caption;
    box.buttons = buttons;
    box.icon = icon;
    box.secondIsDefault = secondIsDefault;
    box.taskModal = true;
    return app.platform->messageBox(box);
}

int askQuestion(AppState& app, const std::string& caption, const std::string& text) {
    if (!app.platform) return 0;
    return app.platform->questionDialog(caption, text);
}

}  // namespace quorby
