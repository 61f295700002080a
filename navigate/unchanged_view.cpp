#include "navigate/unchanged_view.h"

#include <cstring>

#include "salvage/sector_reads.h"
#include "state/error_report.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

// The caption while the view is on: the program's caption with the Main
// File's name written from its 17th character on.
std::string unchangedFileCaption(const MainFileState& mainFile) {
    return std::string(kProgramCaption).substr(0, 16) + mainFile.mainName;
}

}  // namespace

void showUnchangedFile(AppState& app) {
    PageRecords& r = app.records;
    if (r.unchangedFileShown || app.main.mainHandle == kNoFile) return;
    if (storeTypedChangesFirst(app) != 0) return;
    r.unchangedFileShown = true;
    ViewState& v = app.view;
    std::uint32_t count = 0;
    ReadGaps gaps;
    v.unreadableHalf[0] = v.unreadableHalf[1] = false;
    if (salvageRead(*app.files, app.main.mainHandle, app.main.unreadable, v.pagePos, v.pageBuffer, sizeof v.pageBuffer,
                    &count, &gaps) != 0) {
        reportError(app, kErrorReading, app.main.mainName);
    } else if (gaps.count != 0) {
        // An unreadable last sector counts only up to the file's end.
        const FilePos left = v.pagePos < app.main.fileSize ? app.main.fileSize - v.pagePos : 0;
        if (count > left) count = std::uint32_t(left);
        for (std::uint32_t k = 0; k < sizeof v.pageBuffer; k += kPageSize)
            if (inGap(gaps, k)) v.unreadableHalf[k / kPageSize] = true;
    }
    if (count > sizeof v.pageBuffer) count = sizeof v.pageBuffer;
    std::memset(v.pageBuffer + count, 0, sizeof v.pageBuffer - count);
    v.pageLength = count;
    std::memset(v.changedBits, 0, sizeof v.changedBits);
    app.platform->setCaption(unchangedFileCaption(app.main));
    r.requestedPos = v.pagePos;
    updateScrollBar(app);
    drawPage(app);
}


void endUnchangedFile(AppState& app) {
    if (!app.records.unchangedFileShown) return;
    leaveUnchangedFile(app);
    const std::uint32_t viewOffset = app.view.viewOffset;
    (void)loadPagePair(app, app.view.pagePos);  // reported; the view shows what it can
    if (viewOffset < app.view.pageLength) app.view.viewOffset = viewOffset;
    updateScrollBar(app);
    drawPage(app);
}

}  // namespace quorby
