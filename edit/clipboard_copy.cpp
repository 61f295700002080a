#include "edit/clipboard_copy.h"

#include <string>
#include <utility>

#include "edit/clipboard_formats.h"
#include "edit/copy_with_changes.h"
#include "navigate/page_moves.h"
#include "document/page_assembly.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

bool refusedAsTooBig(AppState& app, FilePos n) {
    if (n > kClipboardLimit) {
        MessageBoxDescription box;
        box.caption = "Too much Amount of Data for the Clipboard !";
        box.text = "Too much Amount of Data !\n\nYou may use a different File for Storage !";
        box.buttons = MsgButtons::Ok;
        box.icon = MsgIcon::Question;
        app.platform->messageBox(box);
        return true;
    }
    return n > kClipboardQuestionSize && declinedQuestion(app, kMsgTooBigForClipboard, "Big Amount of Data !",
                                                          "Really big Amount of Data !\nUse the Clipboard anyway ?");
}

// The bytes [from, to) of the current content, a page pair at a time.
int gatherBytes(AppState& app, FilePos from, FilePos to, std::string& out) {
    FilePos pos = from;
    while (pos < to) {
        if (loadPagePair(app, pageStart(pos)) != 0) return 1;
        const ViewState& v = app.view;
        if (pos < v.pagePos || pos >= v.pagePos + v.pageLength) return 1;   // the pair does not hold it
        const FilePos inPair = v.pagePos + v.pageLength - pos;
        const FilePos take = to - pos < inPair ? to - pos : inPair;
        out.append(reinterpret_cast<const char*>(v.pageBuffer + (pos - v.pagePos)), std::size_t(take));
        pos += take;
    }
    return 0;
}

}  // namespace

int copySelection(AppState& app) {
    if (app.main.mainHandle == kNoFile || app.view.selectionActive == 0) return 1;
    const SelectedRange range = selectedRange(app);
    const FilePos n = range.to - range.from;
    if (n == 0 || refusedAsTooBig(app, n)) return 1;

    const FilePos pagePos = app.view.pagePos;
    const std::uint32_t viewOffset = app.view.viewOffset;
    const std::uint32_t cursorOffset = app.view.cursorOffset;
    std::string raw;
    raw.reserve(std::size_t(n) + 1);
    const int failed = gatherBytes(app, range.from, range.to, raw);
    (void)loadPagePair(app, pagePos);  // reported; what was copied stands
    app.view.viewOffset = viewOffset;
    app.view.cursorOffset = cursorOffset;
    redrawView(app);
    if (failed) return 1;

    putBytesOnClipboard(*app.platform, std::move(raw));
    return 0;
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void copyCommand(AppState& app) { (void)copySelection(app); }

}  // namespace quorby
