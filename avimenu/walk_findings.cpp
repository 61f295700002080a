#include "avimenu/walk_findings.h"

#include "avimenu/check_log.h"
#include "avimenu/report_window.h"

namespace quorby {

void recordFinding(AppState& app, FilePos pos, std::string_view label) {
    AviState& avi = app.avi;
    CheckReport report(app);
    if (avi.checkRunning) {
        // The check flushes its report at its own points.
        reportPosLine(report, pos, label);
        return;
    }
    openReportWindow(app);
    if (avi.logHandle == kNoFile && openCheckLog(app) != 0) return;
    reportPosLine(report, pos, label);
    flushReport(app);
}

}  // namespace quorby
