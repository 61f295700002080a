#include "compare/compare_commands.h"

#include <cstring>

#include "core/command_codes.h"
#include "state/error_report.h"
#include "state/overview_marks.h"
#include "document/store_page.h"
#include "view/compare_display.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"
#include "view/status_cells.h"

namespace quorby {
namespace {

constexpr const char* kNoMainText = "Please open the 1. File furst ! \n\n -> File -> Open";
constexpr const char* kNoMainCaption = "1. File has not been opened!";
constexpr const char* kBiggerText =
    "WARNING !\nThis File is bigger than the first !\n-----------------------------\ncompare with F6 !\n"
    "Shall this message be shown next Time ?";
constexpr const char* kSmallerText =
    "WARNING !\nThis File is smaller than the first !\n-----------------------------\ncompare with F6 !\n"
    "Shall this message be shown next Time ?";
constexpr const char* kHintText =
    "Compare with F6 !\n\nOffset-Adjustment with Alt + Strg + Cursor-Key\n\nShall this Message be shown next Time ?";
constexpr std::uint32_t kInUse = 32;  // the message table's "Is always in Use !"

bool mainOpen(AppState& app) {
    if (app.main.mainHandle != kNoFile) return true;
    showMessageBox(app, kNoMainText, kNoMainCaption, MsgButtons::Ok, MsgIcon::Information);
    return false;
}

// A notice with "Shall this message be shown next Time ?": No switches it off.
void noticeUnlessOff(AppState& app, std::uint32_t messageSwitch, const char* text, const char* caption) {
    if (!(app.settings.messageSwitches & messageSwitch)) return;
    if (showMessageBox(app, text, caption, MsgButtons::YesNo, MsgIcon::Information) == MsgAnswer::No)
        app.settings.messageSwitches &= ~messageSwitch;
}

void setMenuMarks(AppState& app) {
    if (!app.platform) return;
    const CompareSession& c = app.compare;
    app.platform->setMenuItemChecked(kCmdShowDifferencesAlways, c.mode != CompareMode::None && c.differencesAlways);
    app.platform->setMenuItemChecked(kCmdActivateCompare, c.mode != CompareMode::None);
}

void showDifferencesAlways(AppState& app, bool on) {
    app.compare.differencesAlways = on;
    app.view.changedColour = on ? kDifferenceColour : kChangedColour;
}

void enterCompareMode(AppState& app, CompareMode mode) {
    CompareSession& c = app.compare;
    c.mode = mode;
    c.suspendedMode = CompareMode::None;
    c.marksPagePos = kEmptyPtr;
    forgetComparePair(app);
    clearFound(app, kOverviewDifference);
    showDifferencesAlways(app, true);
    setMenuMarks(app);
    if (app.platform) enterPermanentMode(app, PermanentMode::Compare);
    redrawComparison(app);
}

void leaveCompareMode(AppState& app) {
    CompareSession& c = app.compare;
    endCompareData(app);
    c.suspendedMode = c.mode;
    c.mode = CompareMode::None;
    showDifferencesAlways(app, false);
    setMenuMarks(app);
    if (app.platform)
        enterPermanentMode(app, app.main.mainKind == MainKind::File ? PermanentMode::Edit : PermanentMode::Disk);
    redrawComparison(app);
}

void rememberCompareFile(SettingsRecord& settings, const std::string& path) {
    char* field = settings.lastCompareFile;
    if (path.size() >= std::size_t(kPathFieldSize)) return;  // kept only when it fits whole
    std::memset(field, 0, kPathFieldSize);
    std::memcpy(field, path.data(), path.size());
}

void resetPoints(CompareSession& c, FilePos first, FilePos second) {
    c.firstPoint = first;
    c.secondPoint = second;
    c.shift = std::int64_t(second - first);
}

}  // namespace

void redrawComparison(AppState& app) {
    if (!app.platform) return;
    drawHeaderAndBottomLine(app);
    updateScrollBar(app);
    drawPage(app);
    if (app.compare.mode != CompareMode::None) drawCompareOffset(app);
}

int compareWithFile(AppState& app) {
    if (!app.platform || !mainOpen(app)) return 1;
    FileDialogRequest request;
    request.title = kOpenCompareTitle;
    request.filterName = "all Files";
    request.filterPattern = "*.*";
    request.presetName = std::string(app.settings.lastCompareFile, strnlen(app.settings.lastCompareFile, kPathFieldSize));
    const FileDialogResult chosen = app.platform->fileDialog(request);
    if (!chosen.accepted) return 1;

    FileHandle h = kNoFile;
    FilePos size = 0;
    if (app.files->open(chosen.path, OpenMode::ReadOnly, &h) != 0) {
        reportError(app, kErrorReading, chosen.path);
        return 1;
    }
    const bool usable = app.files->size(h, &size) == 0;
    if (usable && app.files->sameFile(h, app.main.mainHandle)) app.files->setLastError({kInUse, 0});
    if (!usable || app.files->sameFile(h, app.main.mainHandle)) {
        reportError(app, kErrorReading, chosen.path);
        app.files->close(h);
        return 1;
    }
    closeCompareFile(app);
    CompareSession& c = app.compare;
    c.handle = h;
    forgetUnreadable(c.unreadable, app.files->sectorSize(h));
    c.name = chosen.path;
    c.size = size;
    resetPoints(c, 0, 0);
    rememberCompareFile(app.settings, chosen.path);

    const std::int32_t difference = clampedDifference(size, app.main.fileSize);
    if (difference > 0) noticeUnlessOff(app, kMsgCompareFileSize, kBiggerText, "2. File bigger");
    if (difference < 0) noticeUnlessOff(app, kMsgCompareFileSize, kSmallerText, "2. File smaller");
    if (difference == 0) noticeUnlessOff(app, kMsgCompareWithF6, kHintText, "Hinweis");
    enterCompareMode(app, CompareMode::OtherFile);
    return 0;
}

int compareWithPosition(AppState& app) {
    if (!app.platform || !mainOpen(app)) return 1;
    resetPoints(app.compare, 0, 0);
    noticeUnlessOff(app, kMsgCompareWithF6, kHintText, "Hinweis");
    enterCompareMode(app, CompareMode::OtherPosition);
    return 0;
}

void startCompareAtCursor(AppState& app) {
    if (app.compare.mode == CompareMode::None || app.main.mainHandle == kNoFile) return;
    resetPoints(app.compare, app.view.cursorPos(), 0);
    clearFound(app, kOverviewDifference);
    redrawComparison(app);
}

void toggleDifferencesAlways(AppState& app) {
    CompareSession& c = app.compare;
    if (c.mode == CompareMode::None) return;
    // Typed bytes reach the journal before the marks change their meaning.
    if (!c.differencesAlways && storeTypedChangesFirst(app) != 0) return;
    showDifferencesAlways(app, !c.differencesAlways);
    c.marksPagePos = kEmptyPtr;
    setMenuMarks(app);
    redrawComparison(app);
}

void toggleActiveCompare(AppState& app) {
    CompareSession& c = app.compare;
    if (c.mode != CompareMode::None) {
        leaveCompareMode(app);
    } else if (c.suspendedMode == CompareMode::OtherPosition ||
               (c.suspendedMode == CompareMode::OtherFile && c.handle != kNoFile)) {
        if (app.main.mainHandle != kNoFile) enterCompareMode(app, c.suspendedMode);
    }
}

void showCompareData(AppState& app) {
    CompareSession& c = app.compare;
    if (c.fileShown || c.mode == CompareMode::None || app.main.mainHandle == kNoFile || !app.platform) return;
    c.fileShown = true;
    app.view.storedHexBackground = kCompareHexBackground;
    app.view.storedCharBackground = kCompareCharBackground;
    drawPage(app);
}

void endCompareData(AppState& app) {
    CompareSession& c = app.compare;
    if (!c.fileShown) return;
    c.fileShown = false;
    app.view.storedHexBackground = kHexBackground;
    app.view.storedCharBackground = kCharBackground;
    if (app.platform) drawPage(app);
}

void endComparison(AppState& app) {
    CompareSession& c = app.compare;
    const bool wasOn = c.mode != CompareMode::None || c.suspendedMode != CompareMode::None;
    if (c.dialogOpen && app.platform) app.platform->closeModeless(ModelessWindow::OffsetAdjustment);
    c.dialogOpen = false;
    c.fileShown = false;
    closeCompareFile(app);
    c.mode = CompareMode::None;
    c.suspendedMode = CompareMode::None;
    c.name.clear();
    c.size = 0;
    resetPoints(c, 0, 0);
    c.marksPagePos = kEmptyPtr;
    c.lastResult = DifferenceResult::NotRun;
    c.lastPos = 0;
    forgetComparePair(app);
    clearFound(app, kOverviewDifference);
    if (!wasOn) return;
    showDifferencesAlways(app, false);
    setMenuMarks(app);
    if (app.platform) {
        enterPermanentMode(app, app.main.mainKind == MainKind::File || app.main.mainKind == MainKind::None
                                    ? PermanentMode::Edit
                                    : PermanentMode::Disk);
        redrawComparison(app);
    }
}

void closeCompareFile(AppState& app) {
    CompareSession& c = app.compare;
    if (c.handle != kNoFile) app.files->close(c.handle);
    c.handle = kNoFile;
    if (c.mode == CompareMode::OtherFile) c.mode = CompareMode::None;
    if (c.suspendedMode == CompareMode::OtherFile) c.suspendedMode = CompareMode::None;
}

}  // namespace quorby
