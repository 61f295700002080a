#include "avimenu/avi_check.h"

#include "avi/index_check.h"
#include "avi/structure_walk.h"
#include "avimenu/check_log.h"
#include "avimenu/content_store.h"
#include "avimenu/report_window.h"
#include "avimenu/stream_scan.h"
#include "navigate/page_moves.h"
#include "state/avi_content.h"
#include "state/error_report.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "view/page_render.h"

namespace quorby {
namespace {

constexpr ModelessWindow kWindow = ModelessWindow::AviCheck;
constexpr char kRunning[] = "-----";

DialogControl checkBox(int id, const char* text, bool checked, int row) {
    DialogControl c = dialogControl(id, ControlKind::CheckBox, text, 0, row);
    c.checked = checked;
    return c;
}

}  // namespace

DialogDescription aviCheckDialogDescription(const AppState& app) {
    const AviCheckOptions& o = app.avi.options;
    const AviCheckStatus& s = app.avi.status;
    DialogDescription d;
    d.title = kAviCheckTitle;
    d.okId = kAviCheckOk;
    d.cancelId = kAviCheckCancel;
    d.controls.push_back(checkBox(kAviCheckSuperIndex, "Check Superindex (recommendet !)", o.superIndex, 0));
    d.controls.push_back(checkBox(kAviCheckDataIndexes, "Check Data Indexes\n(will last a While ...)", o.dataIndexes, 1));
    d.controls.push_back(checkBox(kAviCheckContinuous, "Check Data Packages continuously\n(normally not necessary !)",
                                  o.continuous, 2));
    d.controls.push_back(checkBox(kAviCheckRepair, "Automatic Repair\n(EXPERIMENTAL !)", o.repair, 3));
    d.controls.push_back(dialogControl(kAviCheckSuperStatus, ControlKind::Label, s.superIndex, 1, 0));
    d.controls.push_back(dialogControl(kAviCheckPacketsStatus, ControlKind::Label, s.packets, 1, 2));
    d.controls.push_back(dialogControl(kAviCheckIdx1Status, ControlKind::Label, s.idx1, 1, 1));
    d.controls.push_back(dialogControl(kAviCheckSpareStatus, ControlKind::Label, "", 1, 3));
    d.controls.push_back(dialogControl(kAviCheckOk, ControlKind::Button, "OK", 0, 4));
    d.controls.push_back(dialogControl(kAviCheckCancel, ControlKind::Button, "CANCEL", 1, 4));
    return d;
}

namespace {

void setStatus(AppState& app, std::string& status, const char* text, int control) {
    status = text;
    if (!app.avi.checkDialogOpen) return;
    DialogDescription d = aviCheckDialogDescription(app);
    if (const DialogControl* c = d.find(control)) app.platform->setModelessControl(kWindow, *c);
}

// The program around the index checks.
class CheckPort : public IndexCheckPort {
public:
    explicit CheckPort(AppState& app) : app_(app), content_(app), report_(app) {}
    RiffContent& content() override { return content_; }
    AviReport& report() override { return report_; }
    void flush() override { flushReport(app_); }
    bool goOnAfterError() override {
        if (!app_.avi.askOnError) return true;
        const int answer = askQuestion(app_, "Error", "Data Identifier not found !\n\nGo on anyway ?");
        if (answer & kAnswerDontAsk) app_.avi.askOnError = false;
        return (answer & kAnswerYes) != 0;
    }
    int storeBytes(FilePos pos, const std::uint8_t* bytes, std::uint32_t n) override {
        return storeContentBytes(app_, content_, pos, bytes, n);
    }

private:
    AppState& app_;
    MainFileContent content_;
    CheckReport report_;
};

void blankLine(AviReport& r) { reportLine(r, ""); }

}  // namespace

void aviCheckCommand(AppState& app) {
    if (!aviFileLoaded(app)) return;
    if (app.avi.checkDialogOpen && app.platform->modelessOpen(kWindow)) return;
    app.avi.checkDialogOpen = true;
    app.platform->openModeless(kWindow, aviCheckDialogDescription(app));
}

void runAviCheck(AppState& app) {
    AviState& avi = app.avi;
    if (avi.checkRunning || !aviFileLoaded(app)) return;
    avi.checkRunning = true;
    avi.cancelPressed = false;
    avi.facts.superIndexPos[0] = avi.facts.superIndexPos[1] = 0;
    avi.facts.idx1Pos = kNoPos;
    avi.askOnError = true;
    openReportWindow(app);
    setReportTitle(app, "Starting AVI-Filecheck ...");
    if (openCheckLog(app) != 0) {
        avi.checkRunning = false;
        return;
    }
    CheckPort port(app);
    AviReport& r = port.report();
    blankLine(r);
    reportLine(r, app.main.mainName);
    blankLine(r);
    reportLine(r, "Structure of AVI-File");
    blankLine(r);
    flushReport(app);

    setReportTitle(app, "Investigate AVI-Structure ...");
    // Its result 1 is the usual end, at the end of the file.
    (void)listStructure(port.content(), avi.cursor, avi.facts, r);
    blankLine(r);
    blankLine(r);
    flushReport(app);

    const IndexCheckOptions options{avi.options.dataIndexes, avi.options.repair};
    // All repairs of one check are one entry of the history.
    if (options.repair) beginStoreGroup(app);
    // What the standard index check found right stays right for the idx1
    // check while nothing is stored in between (the check dispatches input).
    bool standardIndexesRight = false;
    const FilePos undoBefore = app.journal.header.undo;
    if (avi.options.superIndex) {
        r.append("Checking Superindexes (indx)");
        reportLine(r, avi.options.dataIndexes ? " and Data Indexes (ix##)" : "");
        blankLine(r);
        setStatus(app, avi.status.superIndex, kRunning, kAviCheckSuperStatus);
        flushReport(app);
        setReportTitle(app, "Checking Superindex ...   (Stop with ESC !)");
        const CheckOutcome out = checkSuperIndexes(port, avi.facts, options);
        if (out.end == CheckEnd::Result)
            setStatus(app, avi.status.superIndex, out.errors ? "ERR" : "O.K.", kAviCheckSuperStatus);
        standardIndexesRight = out.standardIndexesRight;
        blankLine(r);
        flushReport(app);
    }
    // A journal that fails here has told the user; the checks that follow only read.
    if (options.repair) (void)endStoreGroup(app);
    if (avi.options.dataIndexes) {
        reportLine(r, "Checking AVI 1.0 - Data Index (idx1)");
        blankLine(r);
        setStatus(app, avi.status.idx1, kRunning, kAviCheckIdx1Status);
        flushReport(app);
        setReportTitle(app, "AVI 1.0 - Data Index (idx1) ...   (Stop with ESC !)");
        const bool unchanged = app.journal.header.undo == undoBefore && !pageIsDirty(app);
        const CheckOutcome out = checkIdx1(port, avi.facts, standardIndexesRight && unchanged);
        if (out.end == CheckEnd::Result)
            setStatus(app, avi.status.idx1, out.errors ? "ERR" : "O.K.", kAviCheckIdx1Status);
        blankLine(r);
        flushReport(app);
    }
    if (avi.options.continuous) {
        setStatus(app, avi.status.packets, kRunning, kAviCheckPacketsStatus);
        reportLine(r, "Scanning all Video Data Packets");
        flushReport(app);
        const int videoFailed = scanStreamPackets(app, true);
        reportLine(r, "Scanning all Audio Data Packets");
        flushReport(app);
        const int audioFailed = scanStreamPackets(app, false);
        blankLine(r);
        flushReport(app);
        // A scan that did not run to its end is no O.K., as with the index checks.
        if (videoFailed == 0 && audioFailed == 0) setStatus(app, avi.status.packets, "O.K.", kAviCheckPacketsStatus);
    }
    blankLine(r);
    reportLine(r, "Ready !");
    setReportTitle(app, "AVI File Check finished !");
    flushReport(app);
    avi.checkRunning = false;
    if (fileIsOpen(app)) redrawView(app);
}

void onAviCheckEvent(AppState& app, const ModelessEvent& event) {
    AviState& avi = app.avi;
    if (!avi.checkDialogOpen) return;
    switch (event.kind) {
        case ModelessEventKind::Toggled:
            if (event.controlId == kAviCheckSuperIndex) avi.options.superIndex = event.checked;
            else if (event.controlId == kAviCheckDataIndexes) avi.options.dataIndexes = event.checked;
            else if (event.controlId == kAviCheckContinuous) avi.options.continuous = event.checked;
            else if (event.controlId == kAviCheckRepair) avi.options.repair = event.checked;
            break;
        case ModelessEventKind::Pressed:
            if (event.controlId == kAviCheckOk) {
                runAviCheck(app);
            } else if (event.controlId == kAviCheckCancel) {
                if (avi.checkRunning) {
                    avi.cancelPressed = true;
                } else {
                    avi.checkDialogOpen = false;
                    app.platform->closeModeless(kWindow);
                }
            }
            break;
        case ModelessEventKind::Closed:
            avi.checkDialogOpen = false;
            if (avi.checkRunning) avi.cancelPressed = true;
            break;
        default:
            break;
    }
}

}  // namespace quorby
