#include "document/journal_errors.h"

#include "state/error_report.h"

namespace quorby {

namespace {

// A full drive fails every further store of the same command: it is
// reported once per command (the end of its commit starts the next).
void reportToApp(void* context, const JournalFile& jf, bool writing) {
    AppState& app = *static_cast<AppState*>(context);
    constexpr std::uint32_t kHandleDiskFull = 39, kDiskFull = 112;
    const std::uint32_t code = app.files->lastError().code;
    const bool driveFull = writing && (code == kDiskFull || code == kHandleDiskFull);
    if (driveFull && app.error.journalDriveFullShown) return;
    if (driveFull) app.error.journalDriveFullShown = true;
    reportError(app, writing ? kErrorWriting : kErrorReading, jf.name);
}

}  // namespace

void reportJournalFailuresTo(JournalFile& jf, AppState& app) {
    jf.reportFailure = reportToApp;
    jf.reportContext = &app;
}

}  // namespace quorby
