#include "view/status_cells.h"

#include <cstring>
#include "view/grid_layout.h"
#include "view/page_render.h"

namespace quorby {

namespace {

constexpr const char* kBlankCell = "         ";

struct ModeLook {
    const char* text;  // 20 characters; the cell shows the first 19
    Colour colour;
};

constexpr ModeLook kEditMode{"    Edit Mode       ", 0xCCCCFF};
constexpr ModeLook kDiskMode{"    Disk Mode       ", 0xDDFFFF};
constexpr ModeLook kCompareMode{"   Compare Mode     ", 0xFF88FF};
constexpr ModeLook kAutoScroll{"    Auto Scroll     ", 0xDDCCFF};
constexpr ModeLook kVideoPlay{"    Video Play      ", 0xFF88FF};
constexpr ModeLook kScanAvi{"    Scan Avi        ", 0xFF88FF};

constexpr std::uint8_t kFirstActivityMark = 224;
constexpr std::uint8_t kLastActivityMark = 229;
constexpr std::uint32_t kActivityInterval = 32;

void setBottomCell(StatusState& status, int column, const char* text9) {
    std::memcpy(status.bottomLine + column, text9, kStatusCellLength);
}

// The protection cell follows the flags, so that no operation can show a
// read-only file as unprotected or a locked one as writable.
void setProtectionCell(AppState& app) {
    const std::uint32_t flags = app.shell.accessFlags;
    const char* text = kBlankCell;
    if (!(flags & kAccessWritable)) {
        text = "Read Only";
    } else if (!(flags & kAccessNotLocked)) {
        text = "  locked ";
    }
    setBottomCell(app.status, kProtectionCellColumn, text);
}

void drawStatus(AppState& app, bool modeChanged) {
    drawHeaderAndBottomLine(app);
    if (modeChanged && app.view.pageLength != 0) drawCursor(app);
}

void setModeText(StatusState& status, const ModeLook& look) {
    std::memcpy(status.modeText, look.text, kModeTextLength);
    status.modeColour = look.colour;
}

}  // namespace

void showDirectAccess(AppState& app) {
    app.shell.accessFlags |= kAccessDirect;
    setBottomCell(app.status, kAccessCellColumn, " directly");
    drawStatus(app, false);
}

void showJournalAccess(AppState& app) {
    app.shell.accessFlags &= ~std::uint32_t(kAccessDirect);
    setBottomCell(app.status, kAccessCellColumn, " Journal ");
    drawStatus(app, false);
}

void showReadOnly(AppState& app) {
    app.shell.accessFlags &= ~std::uint32_t(kAccessWritable);
    setBottomCell(app.status, kProtectionCellColumn, "Read Only");
    drawStatus(app, false);
}

void showWritable(AppState& app) {
    app.shell.accessFlags |= kAccessWritable;
    setProtectionCell(app);
    drawStatus(app, false);
}

void lockMainFile(AppState& app) {
    if (!(app.shell.accessFlags & kAccessWritable)) return;
    app.shell.accessFlags &= ~std::uint32_t(kAccessNotLocked);
    setProtectionCell(app);
    drawStatus(app, false);
}

void unlockMainFile(AppState& app) {
    app.shell.accessFlags |= kAccessNotLocked;
    // Unlocking a file that is open read-only leaves its "Read Only" cell.
    if (app.shell.accessFlags & kAccessWritable) setProtectionCell(app);
    drawStatus(app, false);
}

void showResolutionLock(AppState& app, std::uint32_t resolution) {
    const char* text = kBlankCell;
    if (resolution == 2) text = "Line lock";
    if (resolution == 4) text = "256B lock";
    if (resolution == 8) text = "Page lock";
    setBottomCell(app.status, kLockCellColumn, text);
    drawStatus(app, false);
}

void enterPermanentMode(AppState& app, PermanentMode mode) {
    const ModeLook* look = &kEditMode;
    if (mode == PermanentMode::Edit) {
        app.shell.accessFlags &= ~std::uint32_t(kAccessBit0);
        app.shell.modeFlags &= ~std::uint32_t(kModeDrive | kModeOldDiskService);
    } else if (mode == PermanentMode::Disk) {
        look = &kDiskMode;
        app.shell.modeFlags |= kModeDrive;
    } else {
        look = &kCompareMode;
    }
    std::memcpy(app.status.permanentText, look->text, kModeTextLength);
    app.status.permanentColour = look->colour;
    setModeText(app.status, *look);
    drawStatus(app, true);
}

void enterTemporaryMode(AppState& app, TemporaryMode mode) {
    const ModeLook* look = &kAutoScroll;
    if (mode == TemporaryMode::VideoPlay) look = &kVideoPlay;
    if (mode == TemporaryMode::ScanAvi) look = &kScanAvi;
    setModeText(app.status, *look);
    drawStatus(app, true);
}

void restorePermanentMode(AppState& app) {
    std::memcpy(app.status.modeText, app.status.permanentText, kModeTextLength);
    app.status.modeColour = app.status.permanentColour;
    drawStatus(app, true);
}

void showBottomLineName(AppState& app, const std::string& name) {
    char* cells = app.status.bottomLine;
    std::memset(cells, ' ', kBottomNameLength);
    const std::size_t room = kBottomNameLength;
    if (name.size() <= room) {
        std::memcpy(cells, name.data(), name.size());
    } else {
        constexpr char kElision[] = "...";
        const std::size_t tail = room - (sizeof kElision - 1);
        std::memcpy(cells, kElision, sizeof kElision - 1);
        std::memcpy(cells + sizeof kElision - 1, name.data() + name.size() - tail, tail);
    }
    drawBottomLine(app);
}

void drawBottomLine(AppState& app) {
    const char* line = app.status.bottomLine;
    app.platform->drawCells(0, kBottomRow, line, kAddressTextLength, kBottomLineColour);
    app.platform->drawCells(kAddressTextLength, kBottomRow, line + kAddressTextLength,
                            kBottomLineLength - kAddressTextLength, kBottomLineColour);
}

void drawModeCell(AppState& app) {
    app.platform->drawCells(kModeCellColumn, 0, app.status.modeText, kModeCellLength, app.status.modeColour);
}

void tickActivityMark(AppState& app) {
    StatusState& s = app.status;
    if (s.activityCounter > 1) {
        --s.activityCounter;
        return;
    }
    s.activityCounter = kActivityInterval;
    if (s.activityMark < kFirstActivityMark || s.activityMark > kLastActivityMark) s.activityMark = kFirstActivityMark;
    const char mark = char(s.activityMark);
    app.platform->drawCells(kModeCellColumn, 0, &mark, 1, s.modeColour);
    s.activityMark = s.activityMark >= kLastActivityMark ? kFirstActivityMark : std::uint8_t(s.activityMark + 1);
}

}  // namespace quorby
