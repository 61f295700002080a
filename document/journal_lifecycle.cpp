#include "document/journal_lifecycle.h"

#include <cstring>

#include "document/cut_command.h"
#include "document/journal_errors.h"
#include "document/page_assembly.h"
#include "document/shown_state.h"
#include "journal/command_commit.h"
#include "journal/journal_dump.h"
#include "journal/journal_recovery.h"
#include "journal/rollback_file.h"
#include "state/error_report.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

constexpr char kDriveTextStart[] = "  Drive ";
constexpr std::size_t kDriveTextColon = 10;     // "  Drive  A:" ends at the eleventh character

void showJournalName(AppState& app, const std::string& name) { showBottomLineName(app, name); }

// Another Journal File (or none) belongs to the Main File now: the caption
// says whether it holds changes that are not yet written.
void setCaptionForJournal(AppState& app) { showMainFileCaption(app); }

void closeFile(AppState& app, FileHandle handle) {
    if (handle != kNoFile) app.files->close(handle);
}

// The Journal File is gone: nothing open, nothing shown, First empty.
void forgetJournal(AppState& app) {
    closeRollbackFile(app.journal, false);
    JournalFile fresh;
    fresh.files = app.files;
    fresh.changeCount = app.journal.changeCount + 1;  // the count goes on across Journal Files
    reportJournalFailuresTo(fresh, app);
    app.journal = fresh;
    app.records = PageRecords{};
    showJournalName(app, "");
}

}  // namespace

void bindJournal(AppState& app, JournalFile& jf, FileHandle handle, const std::string& name) {
    attachJournal(jf, *app.files, handle, name);
    useRollbackFile(jf);
    reportJournalFailuresTo(jf, app);
}

int recreateJournalFor(AppState& app, JournalFile& jf) {
    if (recreateJournal(jf, app.main.mainName) != 0) return 1;
    // JnlEnd and MainTime on disk at once: they tell the next opening where
    // the completed commands end.
    jf.header.mainTime = app.main.mainTime;
    return commitCommand(jf);
}

HeaderKind inspectJournalHeader(AppState& app, FileHandle handle, const std::string& name, JournalHeader& header,
                                std::uint8_t* live) {
    std::uint8_t bytes[kJournalHeaderSize];
    std::uint32_t done = 0;
    if (app.files->readAt(handle, 0, bytes, kJournalHeaderSize, &done) != 0) {
        reportError(app, kErrorReading, name);
        return HeaderKind::ReadFailed;
    }
    if (done < kJournalHeaderSize) return HeaderKind::Short;
    decodeJournalHeader(bytes, header);
    if (live) std::memcpy(live, bytes, kHeaderLiveSize);
    if (header.journalMagic == kJournalMagic) return HeaderKind::Current;
    if (olderFormatVersion(header.journalMagic)) return HeaderKind::Older;
    return HeaderKind::Unknown;
}

Adoption adoptJournalFile(AppState& app, JournalFile& jf) {
    if (measureJournal(jf) != 0) {
        closeFile(app, jf.handle);
        noJournal(app);
        return Adoption::Failed;
    }
    // A command cut short by the end of the program is taken back (its
    // failures are reported; the Journal File is used as it is then).
    (void)discardUnfinishedCommand(jf);
    jf.rollback.committedEnd = jf.journalEnd;
    // Links and fields read from a damaged Journal File would send undo,
    // redo and writing astray: it is not used unless the user has it emptied.
    // The check walks the address chain: it finds the changed pages of the
    // overview strip on the way.
    CheckedChanges changes = overviewChangesToCheck(app);
    const int check = checkJournalFile(*app.files, jf.name, &changes);
    if (check != kDumpAllHold) {
        if (check == kDumpInvariantFailed) return Adoption::Invalid;
        reportError(app, kErrorReading, jf.name);
        closeFile(app, jf.handle);
        noJournal(app);
        return Adoption::Failed;
    }
    // The header on disk takes the Main File's time with the next commit, so
    // a program that is killed later does not leave a stale MainTime behind.
    jf.header.mainTime = app.main.mainTime;
    if (app.journal.handle != jf.handle) closeFile(app, app.journal.handle);
    app.journal = jf;
    noteCheckedChanges(app, changes);
    (void)finishCutShortening(app);  // reported; the journal stays as the checks found it
    setCaptionForJournal(app);
    showJournalName(app, jf.name);
    return Adoption::Adopted;
}

void noJournal(AppState& app) {
    closeFile(app, app.journal.handle);
    forgetJournal(app);
    // A name too long for MainName leaves it empty: there is no file to write it to.
    (void)initJournalHeader(app.journal.header, app.main.mainName);
    app.journal.journalEnd = kJournalHeaderSize;
    setCaptionForJournal(app);
}

bool driveTextDevice(const std::string& mainName, std::string* devicePath) {
    if (mainName.compare(0, sizeof kDriveTextStart - 1, kDriveTextStart) != 0) return false;
    if (mainName.size() <= kDriveTextColon + 2 || mainName[kDriveTextColon] != ':' ||
        mainName[kDriveTextColon + 1] != ' ' || mainName[kDriveTextColon + 2] != '/')
        return false;
    *devicePath = mainName.substr(kDriveTextColon + 2);
    return true;
}

void updateHeaderForWriting(AppState& app) {
    if (app.main.mainHandle != kNoFile) {
        std::uint64_t time = 0;
        if (app.files->lastWriteTime(app.main.mainHandle, &time) == 0) app.main.mainTime = time;
    }
    JournalHeader& h = app.journal.header;
    h.mainTime = app.main.mainTime;
    h.jnlFlags &= ~kJnlMainFileWriting;
    h.jnlEnd = app.journal.journalEnd;
    saveViewToJournalHeader(app);
}

int flushJournalHeader(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile) return 0;
    updateHeaderForWriting(app);
    return commitCommand(jf);
}

JournalClosing closeJournal(AppState& app, std::string* name, int* result) {
    JournalFile& jf = app.journal;
    *result = 0;
    if (jf.handle == kNoFile) {
        forgetJournal(app);
        return JournalClosing::NoneOpen;
    }
    *name = jf.name;
    if (jf.journalEnd <= kJournalHeaderSize) {
        closeRollbackFile(jf, true);
        closeFile(app, jf.handle);
        app.files->removeFile(*name);
        forgetJournal(app);
        return JournalClosing::Deleted;
    }
    *result = flushJournalHeader(app);
    // A failed commit leaves the rollback file for the next opening.
    closeRollbackFile(jf, *result == 0);
    closeFile(app, jf.handle);
    forgetJournal(app);
    return JournalClosing::Closed;
}

int endCommandInJournal(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.header.jnlFlags & kJnlMainFileWriting) {
        noteMainFileWritten(app);
        jf.header.jnlFlags &= ~kJnlMainFileWriting;
    }
    const int result = commitCommand(jf);
    app.error.journalDriveFullShown = false;
    return result;
}

void noteMainFileWritten(AppState& app) {
    if (app.main.mainHandle == kNoFile) return;
    app.journal.header.mainTime = app.main.mainTime;
}

}  // namespace quorby
