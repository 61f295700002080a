#include "edit/clipboard_paste.h"

#include <string>

#include "edit/clipboard_formats.h"
#include "edit/paste_bytes.h"
#include "state/progress.h"

namespace quorby {

int pasteClipboard(AppState& app) {
    Platform& p = *app.platform;
    std::string data;
    FilePos n = 0;
    const char* title = kTitlePasteData;
    if (p.clipboardHas(kMimeRawData) && p.clipboardHas(kMimeDataSize)) {
        const std::string count = p.clipboardData(kMimeDataSize);
        for (std::size_t i = 0; i < 4 && i < count.size(); ++i) n |= FilePos(std::uint8_t(count[i])) << (8 * i);
        data = p.clipboardData(kMimeRawData);
        if (n > data.size()) n = data.size();   // a count from elsewhere never reads past the block
    } else if (p.clipboardHas(kMimeText)) {
        data = p.clipboardData(kMimeText);
        n = data.find('\0') == std::string::npos ? data.size() : data.find('\0');
        title = kTitlePasteText;
    } else {
        return 1;
    }
    PasteSource source;
    source.bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    return pasteBytes(app, source, app.view.cursorPos(), n, title, EnlargeAsk::Question);
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void pasteCommand(AppState& app) { (void)pasteClipboard(app); }

}  // namespace quorby
