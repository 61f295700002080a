#include "document/journal_errors.h"

#include "state/error_report.h"

namespace quorby {

namespace {

void reportToApp(void* context, const JournalFile& jf, bool writing) {
    AppState& app = *static_cast<AppState*>(context);
    reportError(app, writing ? kErrorWriting : kErrorReading, jf.name);
}

}  // namespace

void reportJournalFailuresTo(JournalFile& jf, AppState& app) {
    jf.reportFailure = reportToApp;
    jf.reportContext = &app;
}

}  // namespace quorby
