#include "store/write_all.h"

#include "journal/record_states.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "state/work_buffer_access.h"
#include "store/page_assembly.h"
#include "store/store_page.h"
#include "store/write_steps.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

constexpr std::size_t kNameField = 50;
const char* const kChangesMadeText =
    "Changes have been made!\nWrite Changes into the Main File?\n(Even without Writing they will stay available!)";

// Records are taken in chunks: the earlier content of a whole chunk is
// saved and made durable (one header commit) before any of its pages is
// overwritten, so that a program killed while writing never leaves a page
// in the Main File whose earlier content is missing from the journal.

int collectChunk(JournalFile& jf, FilePos& next, FilePos& lastAdr, std::uint64_t& steps, WriteChunk& c) {
    c.count = 0;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    while (!isEmptyPtr(next) && c.count < kWriteChunkRecords) {
        JournalRecord& r = c.records[c.count];
        // Header and data in one transfer: the data are what writeRecord writes.
        if (++steps > limit || readRecord(jf, next, r) != 0) return 1;
        if (steps > 1 && r.mainAdr <= lastAdr) return 1;  // a damaged chain
        lastAdr = r.mainAdr;
        next = r.nextPtr;
        c.ready[c.count] = true;
        c.savedNow[c.count] = false;
        ++c.count;
    }
    return 0;
}

// `undoBefore`: the Undo entry from before the run, the one chain record
// whose links the first earlier-content record changes.
int saveEarlierContents(AppState& app, WriteChunk& c, EarlierContentRun& run, FilePos undoBefore) {
    int result = 0;
    const std::uint64_t before = run.saved;
    for (int i = 0; i < c.count; ++i) {
        JournalRecord& r = c.records[i];
        if (!holdsContentToWrite(r.flag) || !needsEarlierContent(app, r)) continue;
        if (saveEarlierContent(app, r, run, r.jAdr != undoBefore) != 0) {
            // Reported once: a full drive would fail every further append
            // with a message of its own. The records before are written.
            for (int k = i; k < c.count; ++k) c.ready[k] = false;
            result = 1;
            break;
        }
        c.savedNow[i] = true;
    }
    if (run.saved != before && commitJournalHeader(app.journal) != 0) {
        for (int i = 0; i < c.count; ++i) c.ready[i] = false;
        return 1;
    }
    return result;
}

// Records of an interrupted chunk whose earlier content was saved keep that
// knowledge, so that the next run does not save it a second time.
void keepSavedMarks(AppState& app, WriteChunk& c, int from) {
    for (int i = from; i < c.count; ++i) {
        JournalRecord& r = c.records[i];
        if (!c.ready[i] || !hasEarlierContentSaved(r.flag)) continue;
        if (refreshStoredLinks(app.journal, r) == 0) writeRecordHeader(app.journal, r, kRecordLinks);
    }
}

}  // namespace

std::string writeFileQuestion(const AppState& app) {
    std::string name = app.main.mainName;
    if (name.size() > kNameField) name = name.substr(name.size() - kNameField);
    name.resize(kNameField, ' ');
    return name + "\n          " + kChangesMadeText;
}

int writeRecord(AppState& app, JournalRecord& v, bool dataRead, bool linksFresh) {
    JournalFile& jf = app.journal;
    if (!dataRead && readRecordData(jf, v.jAdr, v.data) != 0) return 1;
    if (!linksFresh && refreshStoredLinks(jf, v) != 0) return 1;
    v.flag = afterWrite(v.flag, app.settings.undoOptions != 0);
    // The version is marked written before its bytes reach the Main File: a
    // run cut short in between leaves it shown from the journal and written
    // again by the next "Save &File".
    if (writeRecordHeader(jf, v, kRecordFullHeader) != 0) return 1;
    return writeHalfRangeIntoMain(app, v.mainAdr, v.data, 0, v.anz);
}

int writeAll(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.first)) return 1;
    // A "Save &File" chosen while this one polls for input waits for it.
    if (app.edit.writeAllRunning) return 1;
    app.edit.writeAllRunning = true;
    openPleaseWait(app);
    if (pageIsDirty(app)) storePage(app);

    EarlierContentRun run;
    const FilePos undoBefore = jf.header.undo;
    WriteChunk& chunk = writeChunk(app);
    FilePos next = jf.header.first;
    FilePos lastAdr = 0;
    std::uint64_t steps = 0;
    int result = 0;
    bool stopped = false;
    while (!stopped && !isEmptyPtr(next)) {
        if (collectChunk(jf, next, lastAdr, steps, chunk) != 0) {
            result = 1;
            stopped = true;
        }
        if (saveEarlierContents(app, chunk, run, undoBefore) != 0) {
            result = 1;
            stopped = true;
        }
        for (int i = 0; i < chunk.count; ++i) {
            JournalRecord& r = chunk.records[i];
            if (!chunk.ready[i]) continue;
            if (holdsContentToWrite(r.flag)) {
                if (!chunk.savedNow[i] && hasEarlierContentSaved(r.flag)) result |= clearRestoreMarks(app, r);
                // A failed write is reported once and ends the run; the
                // version stays marked for the next "Save &File".
                // Only the Undo entry from before the run can have got new
                // links since the chunk was read (the first earlier-content
                // record was linked after it); every other copy is current.
                if (writeRecord(app, r, true, r.jAdr != undoBefore) != 0) {
                    keepSavedMarks(app, chunk, i + 1);
                    result = 1;
                    stopped = true;
                    break;
                }
            }
            if (bannerRefreshedNow(app)) refreshPleaseWait(app, r.jAdr);
            if (pollProgress(app)) {
                keepSavedMarks(app, chunk, i + 1);
                stopped = true;
                break;
            }
        }
    }
    result |= finishEarlierContentRun(app, run);
    if (!stopped && result == 0) {
        jf.header.jnlFlags &= ~(kJnlUnwrittenChanges | kJnlUnwrittenWarned);
        app.platform->setCaption(app.shell.caption);
    }
    closePleaseWait(app);
    app.edit.writeAllRunning = false;
    showPairAfterWriting(app);
    return stopped || result != 0 ? 1 : 0;
}

int saveFile(AppState& app, bool asked) {
    if (app.main.mainHandle == kNoFile || app.journal.handle == kNoFile) return 1;
    if (pageIsDirty(app)) storePage(app);
    if ((app.journal.header.jnlFlags & kJnlUnwrittenChanges) == 0) return 1;
    if (!asked) {
        const bool direct = (app.shell.accessFlags & kAccessDirect) != 0;
        const std::string text = direct ? "Write Changes into the Main File?" : writeFileQuestion(app);
        if (declinedQuestion(app, kMsgSaveFileQuestion, "Write File?", text)) return 1;
    }
    if (reopenForWriting(app) != 0) return 1;
    return writeAll(app);
}

void showPairAfterWriting(AppState& app) {
    if (pageIsDirty(app)) storePage(app);
    PageRecords& rec = app.records;
    for (int half = 0; half < 2; ++half) {
        const std::uint32_t bit = half == 0 ? kFirstHalfHasRecord : kSecondHalfHasRecord;
        if ((rec.jReadFlag & bit) == 0) continue;
        if (readRecordHeader(app.journal, rec.jData[half].jAdr, kRecordFullHeader, rec.jData[half]) != 0)
            forgetCursorRecords(app);
    }
    loadPagePair(app, app.view.pagePos);
    updateScrollBar(app);
    drawPage(app);
}

void offerWriteOnClose(AppState& app) {
    const JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.first)) return;
    if ((app.settings.messageSwitches & kMsgSaveFileOnExit) == 0) return;
    if ((jf.header.jnlFlags & kJnlUnwrittenChanges) == 0) return;
    const int answer = askQuestion(app, "Write File?", writeFileQuestion(app));
    if (answer & kAnswerYes) {
        saveFile(app, true);
    } else if (answer & kAnswerDontAsk) {
        app.settings.messageSwitches &= ~std::uint32_t(kMsgSaveFileOnExit);
    }
}

}  // namespace quorby
