#include "avimenu/report_window.h"

#include "avimenu/check_log.h"
#include "avimenu/chunk_navigation.h"
#include "navigate/page_moves.h"
#include "state/avi_content.h"
#include "view/shown_range.h"

namespace quorby {
namespace {

constexpr ModelessWindow kWindow = ModelessWindow::AviReport;
constexpr std::size_t kPositionField = 19;  // characters 1 to 19 of a line

}  // namespace

DialogDescription aviReportWindowDescription() {
    DialogDescription d;
    d.title = kAviReportTitle;
    d.okId = kAviReportQuit;
    d.cancelId = kAviReportQuit;
    d.controls.push_back(dialogControl(kAviReportText, ControlKind::Listing, "", 0, 0));
    d.controls.push_back(dialogControl(kAviReportQuit, ControlKind::Button, "Quit", 0, 1));
    d.controls.push_back(dialogControl(kAviReportSave, ControlKind::Button, "Save", 1, 1));
    d.controls.push_back(dialogControl(kAviReportOpen, ControlKind::Button, "Open", 2, 1));
    d.controls.push_back(dialogControl(kAviReportClear, ControlKind::Button, "Clear", 3, 1));
    return d;
}

namespace {

void closeWindow(AppState& app) {
    if (!app.avi.reportWindowOpen) return;
    app.avi.reportWindowOpen = false;
    closeCheckLog(app);
    app.platform->closeModeless(kWindow);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void openReportWindow(AppState& app) {
    if (app.avi.reportWindowOpen && app.platform->modelessOpen(kWindow)) return;
    app.avi.reportWindowOpen = true;
    app.platform->openModeless(kWindow, aviReportWindowDescription());
}

void setReportTitle(AppState& app, const char* title) {
    if (app.avi.reportWindowOpen) app.platform->setModelessTitle(kWindow, title);
}

void showReportText(AppState& app) {
    if (!app.avi.reportWindowOpen) return;
    app.platform->setListingText(kWindow, kAviReportText, app.avi.shownLog);
    app.platform->selectListingText(kWindow, kAviReportText, app.avi.shownLog.size(), 0);
}

void jumpFromReport(AppState& app, std::size_t caret) {
    const std::string& text = app.avi.shownLog;
    if (caret > text.size()) caret = text.size();
    std::size_t start = caret;
    while (start > 0 && text[start - 1] != '\n') --start;
    app.platform->selectListingText(kWindow, kAviReportText, start + 1, kPositionField);
    if (start + 1 + kPositionField > text.size() || text[start] != ' ' || text[start + 1] != '0') return;
    FilePos pos = 0;
    int digits = 0;
    for (std::size_t k = start + 1; k < start + 1 + kPositionField; ++k) {
        if (text[k] == ' ') continue;
        const int d = hexDigit(text[k]);
        if (d < 0) return;
        pos = pos << 4 | FilePos(d);
        ++digits;
    }
    if (digits != 16 || !fileIsOpen(app)) return;
    app.avi.cursor.nextChunkPos = pos;
    MainFileContent content(app);
    if (showNextChunk(app, content) != 0) return;
    const FilePos top = firstShownPos(app);
    if (pos >= top && pos - top < 512) app.view.cursorOffset = std::uint32_t(pos - top);
    limitCursorToFile(app);
    redrawView(app);
}

void onAviReportEvent(AppState& app, const ModelessEvent& event) {
    if (!app.avi.reportWindowOpen) return;
    switch (event.kind) {
        case ModelessEventKind::Pressed:
            if (event.controlId == kAviReportQuit) closeWindow(app);
            else if (event.controlId == kAviReportClear) (void)clearLog(app);  // reports its own failure
            break;
        case ModelessEventKind::CaretMoved:
            if (event.controlId == kAviReportText) jumpFromReport(app, event.caretPosition);
            break;
        case ModelessEventKind::Closed:
            closeWindow(app);
            break;
        default:
            break;
    }
}

}  // namespace quorby
