#include "store/earlier_content.h"

#include <cstring>

#include "journal/record_states.h"
#include "store/main_file_bytes.h"
#include "store/write_steps.h"

namespace quorby {

bool needsEarlierContent(const AppState& app, const JournalRecord& r) {
    return app.settings.undoOptions != 0 && !hasEarlierContentSaved(r.flag);
}

namespace {

// Marks every older version of r's page as having its earlier content saved
// and returns the oldest one (r itself when it has none).
int markOlderVersions(JournalFile& jf, const JournalRecord& r, JournalRecord& oldest) {
    oldest = r;
    FilePos ptr = r.pJnl;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        if (steps >= limit) return 1;  // a version chain that runs in a circle
        JournalRecord v;
        if (readRecordHeader(jf, ptr, kRecordLinks, v) != 0) return 1;
        v.flag = asOlderEarlierContentKnown(v.flag);
        if (writeRecordHeader(jf, v, kRecordLinks) != 0) return 1;
        oldest = v;
        ptr = v.pJnl;
    }
    return 0;
}

// The earlier-content records of one command form one undo group: each
// gets the redo mark when it is appended, the last one loses it again when
// the command ends (finishEarlierContentRun).
void joinRunGroup(JournalRecord& added, const EarlierContentRun& run) {
    added.flag = withRedoGroup(added.flag);
    if (!isEmptyPtr(run.lastSaved)) added.flag = withUndoGroup(added.flag);
}

}  // namespace

int saveEarlierContent(AppState& app, JournalRecord& r, EarlierContentRun& run, bool linksFresh) {
    JournalFile& jf = app.journal;
    if (!linksFresh && refreshStoredLinks(jf, r) != 0) return 1;
    JournalRecord added;
    std::uint32_t got = 0;
    if (readMainBytes(app, r.mainAdr, added.data, r.anz, &got) != 0 || got != r.anz) return 1;
    JournalRecord oldest;
    if (markOlderVersions(jf, r, oldest) != 0) return 1;
    added.mainAdr = r.mainAdr;
    added.prevPtr = r.prevPtr;
    added.nextPtr = r.nextPtr;
    added.anz = r.anz;
    added.flag = newEarlierContentRecord(r.flag);
    if (appendRecord(jf, added) != 0) return 1;
    int result = 0;
    if (oldest.jAdr == r.jAdr) {
        result |= linkOlderVersion(jf, r, added);
    } else {
        result |= linkOlderVersion(jf, oldest, added);
    }
    joinRunGroup(added, run);
    const bool rWasUndo = jf.header.undo == r.jAdr;
    result |= linkUndoEntry(jf, added);
    run.lastSaved = added.jAdr;
    ++run.saved;
    // As the former Undo entry, r got a new NUndo.
    if (rWasUndo) r.nUndo = added.jAdr;
    r.flag = asEarlierContentKnown(r.flag);
    return result;
}

int finishEarlierContentRun(AppState& app, EarlierContentRun& run) {
    if (isEmptyPtr(run.lastSaved)) return 0;
    JournalRecord last;
    if (readRecordHeader(app.journal, run.lastSaved, kRecordLinks, last) != 0) return 1;
    last.flag = withoutRedoGroup(last.flag);
    run.lastSaved = kEmptyPtr;
    return writeRecordHeader(app.journal, last, kRecordLinks);
}

int clearRestoreMarks(AppState& app, const JournalRecord& r) {
    JournalFile& jf = app.journal;
    FilePos ptr = r.pJnl;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        JournalRecord v;
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordLinks, v) != 0) return 1;
        if (isRestoreVisited(v.flag)) {
            v.flag = withoutRestoreVisited(v.flag);
            if (writeRecordHeader(jf, v, kRecordLinks) != 0) return 1;
        }
        ptr = v.pJnl;
    }
    return 0;
}

}  // namespace quorby
