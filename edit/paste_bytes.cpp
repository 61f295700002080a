#include "edit/paste_bytes.h"

#include <cstring>

#include "edit/file_size.h"
#include "navigate/page_moves.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "store/exchange_record.h"
#include "store/page_assembly.h"
#include "store/store_page.h"

namespace quorby {

namespace {

constexpr const char* kEnlargeCaption = "Too much Amount of Data !";

// Clears message switches for the duration of a scope, then puts them back.
class SwitchesOff {
public:
    SwitchesOff(AppState& app, std::uint32_t bits) : app_(app), saved_(app.settings.messageSwitches & bits) {
        app.settings.messageSwitches &= ~bits;
    }
    ~SwitchesOff() { app_.settings.messageSwitches |= saved_; }
    SwitchesOff(const SwitchesOff&) = delete;
    SwitchesOff& operator=(const SwitchesOff&) = delete;

private:
    AppState& app_;
    std::uint32_t saved_;
};

bool declinedEnlarging(AppState& app, FilePos missing, EnlargeAsk ask) {
    if ((app.settings.messageSwitches & kMsgPasteEnlarge) == 0) return false;
    const std::string text = enlargeQuestionText(missing);
    if (ask == EnlargeAsk::MessageBox) {
        MessageBoxDescription box;
        box.caption = kEnlargeCaption;
        box.text = text;
        box.buttons = MsgButtons::YesNo;
        box.icon = MsgIcon::Question;
        return app.platform->messageBox(box) != MsgAnswer::Yes;
    }
    const int answer = askQuestion(app, kEnlargeCaption, text);
    if ((answer & kAnswerYes) == 0) return true;
    if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgPasteEnlarge);
    return false;
}

int readSource(AppState& app, const PasteSource& source, FilePos offset, std::uint8_t* out, std::uint32_t count) {
    if (source.fill >= 0) {
        std::memset(out, source.fill, count);
        return 0;
    }
    if (source.bytes != nullptr) {
        std::memcpy(out, source.bytes + offset, count);
        return 0;
    }
    std::uint32_t done = 0;
    if (app.files->readAt(source.file, source.fileStart + offset, out, count, &done) != 0 || done != count) {
        reportError(app, kErrorReading, source.name);
        return 1;
    }
    return 0;
}

// The pasted bytes [at, at + count) of pageBuffer are changes of the halves
// they lie in, as if typed.
void markPasted(AppState& app, std::uint32_t at, std::uint32_t count) {
    for (std::uint32_t k = at; k < at + count; ++k) app.view.setChanged(k);
    if (at < std::uint32_t(kPageSize)) markHalfChanged(app, 0);
    if (at + count > std::uint32_t(kPageSize)) markHalfChanged(app, 1);
}

int pasteFromCursor(AppState& app, const PasteSource& source, FilePos start, FilePos n) {
    HistoryGroup run;
    int result = 0;
    FilePos done = 0;
    while (done < n) {
        ViewState& v = app.view;
        const FilePos pos = start + done;
        if (pos < v.pagePos || pos >= v.pagePos + v.pageLength) {
            result = 1;   // the pair does not hold it: the file is shorter than expected
            break;
        }
        const std::uint32_t at = std::uint32_t(pos - v.pagePos);
        const FilePos left = n - done;
        const std::uint32_t take = left < v.pageLength - at ? std::uint32_t(left) : v.pageLength - at;
        if (readSource(app, source, done, v.pageBuffer + at, take) != 0) {
            result = 1;
            break;
        }
        markPasted(app, at, take);
        if (storePageInGroup(app, run) != 0) {
            result = 1;
            break;
        }
        done += take;
        if (done == n) break;
        if (pollProgress(app) || loadPagePair(app, v.pagePos + kPagePairSize) != 0) {
            result = 1;
            break;
        }
    }
    dropPageChanges(app);
    if (journalIsOpen(app)) result |= closeHistoryGroup(app.journal, run);
    return result;
}

}  // namespace

std::string enlargeQuestionText(FilePos missing) {
    return "For this Action the file is for\n" + std::to_string(missing) + "  Bytes too small !\nSHALL THE FILE BE ENLARGED ?";
}

int pasteBytes(AppState& app, const PasteSource& source, FilePos start, FilePos n, const char* title,
               EnlargeAsk ask) {
    if (app.main.mainHandle == kNoFile || n == 0) return 1;
    if (pageIsDirty(app) && storePage(app) != 0) return 1;
    ViewState& v = app.view;
    if (start + n > app.main.fileSize) {
        if (declinedEnlarging(app, start + n - app.main.fileSize, ask)) return 1;
        SwitchesOff quiet(app, kMsgEnlargeDecrease | kMsgWriteProtect);
        if (enlargeMainFile(app, start + n) != 0) return 1;
    }
    const FilePos pagePos = v.pagePos;
    const std::uint32_t viewOffset = v.viewOffset;
    const std::uint32_t cursorOffset = v.cursorOffset;
    int result = loadPagePair(app, start & ~FilePos{kPageSize - 1});   // as long as the file is now
    if (result == 0) {
        startProgress(app, title);
        // A paste over thousands of pages asks nothing page by page.
        SwitchesOff quiet(app, kMsgSavePage);
        result = pasteFromCursor(app, source, start, n);
    }
    loadPagePair(app, pagePos);
    v.viewOffset = viewOffset;
    v.cursorOffset = cursorOffset;
    redrawView(app);
    return result;
}

}  // namespace quorby
