#include "document/shown_state.h"
#include "document/store_page.h"

#include <cstring>

#include "journal/command_commit.h"
#include "journal/page_store.h"
#include "journal/record_states.h"
#include "state/error_report.h"
#include "document/exchange_record.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

constexpr std::uint32_t kHalfBit[2] = {kFirstHalfHasRecord, kSecondHalfHasRecord};

bool hasRecord(const PageRecords& records, int half) { return (records.jReadFlag & kHalfBit[half]) != 0; }

FilePos halfPosition(const ViewState& view, int half) { return view.pagePos + FilePos(half) * kPageSize; }

std::uint32_t halfCount(const ViewState& view, int half) {
    return half == 0 ? view.firstPageCount : view.secondPageCount;
}

bool halfHasChangedBytes(const ViewState& view, int half) {
    const std::uint8_t* bits = view.changedBits + half * kChangeMapSize;
    for (std::uint32_t k = 0; k < kChangeMapSize; ++k)
        if (bits[k] != 0) return true;
    return false;
}

// The records by address around a half that has none: the other half's
// record when it has one, else the view's cursor records.
void addressNeighbours(const AppState& app, int half, JournalRecord& r) {
    const PageRecords& rec = app.records;
    if (half == 0) {
        r.prevPtr = rec.jPrevPtr;
        r.nextPtr = hasRecord(app.records, 1) ? rec.jData[1].jAdr : rec.jNextPtr;
    } else {
        r.prevPtr = hasRecord(app.records, 0) ? rec.jData[0].jAdr : rec.jPrevPtr;
        r.nextPtr = rec.jNextPtr;
    }
}

// The other half's copy follows the address links just written for `half`.
void followNeighbourLinks(AppState& app, int half) {
    int other = 1 - half;
    if (!hasRecord(app.records, other)) return;
    if (half == 0)
        app.records.jData[1].prevPtr = app.records.jData[0].jAdr;
    else
        app.records.jData[0].nextPtr = app.records.jData[1].jAdr;
}

void copyHalfInto(const AppState& app, int half, JournalRecord& r) {
    std::memcpy(r.changeMap, app.view.changedBits + half * kChangeMapSize, kChangeMapSize);
    std::memcpy(r.data, app.view.pageBuffer + half * kPageSize, kRecordDataSize);
    r.anz = halfCount(app.view, half);
}

int storeNewPage(AppState& app, int half) {
    JournalRecord& copy = app.records.jData[half];
    JournalRecord r;
    r.mainAdr = halfPosition(app.view, half);
    r.flag = newStoredPage(copy.flag);
    addressNeighbours(app, half, r);
    copyHalfInto(app, half, r);
    int result = appendNewPage(app.journal, r);
    if (isEmptyPtr(r.jAdr)) return 1;
    copy = r;
    app.records.jReadFlag |= kHalfBit[half];
    followNeighbourLinks(app, half);
    return result;
}

int overwriteNewestVersion(AppState& app, int half) {
    JournalRecord& copy = app.records.jData[half];
    copyHalfInto(app, half, copy);
    return overwriteNewestInPlace(app.journal, copy);
}

int appendNewVersion(AppState& app, int half) {
    JournalRecord& present = app.records.jData[half];
    // The new version takes the copy's group marks.
    JournalRecord added;
    added.flag = present.flag & kGroupMarks;
    copyHalfInto(app, half, added);
    const int result = appendHalfVersion(app.journal, present, added);
    if (isEmptyPtr(added.jAdr)) return 1;
    present = added;
    followNeighbourLinks(app, half);
    return result;
}

// The Main File's present bytes of a half are kept as an exchange before the
// typed bytes replace them (journal/record_states.h, H3); the exchange is
// made durable first and linked once the Main File holds the new bytes.
int writeHalfDirectly(AppState& app, int half, HistoryGroup& group) {
    JournalRecord& copy = app.records.jData[half];
    const FilePos pos = halfPosition(app.view, half);
    const std::uint32_t count = halfCount(app.view, half);
    const std::uint8_t* bytes = app.view.pageBuffer + half * kPageSize;
    if (app.settings.undoOptions == 0) {
        // Nothing kept: a record the page has shows the Main File from now on.
        if (hasRecord(app.records, half) && markShowingMainFile(app.journal, copy) != 0) return 1;
        return writeMainBytes(app, pos, bytes, count);
    }
    if (!journalOpen(app.journal)) return 1;
    const bool walkCurrent = journalChangesCurrent(app);
    JournalRecord* present = hasRecord(app.records, half) ? &copy : nullptr;
    JournalRecord prevNext;
    addressNeighbours(app, half, prevNext);
    JournalRecord x;
    if (readExchange(app, pos, count, present, prevNext.prevPtr, prevNext.nextPtr, x) != 0) return 1;
    if (appendExchangeRecord(app.journal, x, present) != 0) return 1;
    // Never overwrite bytes that are not saved. A typed page commits its
    // exchange first; a paste or fill commits once at its end, and until
    // then the rollback file keeps the Main File's earlier bytes
    // (beginMainFileWrite), so that a kill takes the whole command back.
    if (!app.edit.groupStores && commitCommand(app.journal) != 0) return 1;
    if (writeMainBytes(app, pos, bytes, count) != 0) return 1;
    if (linkExchange(app, x, present, group) != 0) return 1;
    // A page without a record gains a written one: the overview only adds
    // its mark. Over a record it may lose an unwritten mark: walked again.
    noteStoredPage(app, pos, false, walkCurrent && present == nullptr);
    copy = x;
    app.records.jReadFlag |= kHalfBit[half];
    followNeighbourLinks(app, half);
    return 0;
}

bool askedNo(AppState& app, std::uint32_t messageSwitch, const char* caption, const char* text) {
    if ((app.settings.messageSwitches & messageSwitch) == 0) return false;
    int answer = askQuestion(app, caption, text);
    if ((answer & kAnswerYes) == 0) return true;
    if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~messageSwitch;
    return false;
}

int refuseAndDrop(AppState& app) {
    dropPageChanges(app);
    app.edit.pageRefused = true;
    return 1;
}

// Without a Journal File the typed changes have nowhere to go: the user is
// told so instead of losing them unnoticed when the page is left.
int refuseWithoutJournal(AppState& app) {
    MessageBoxDescription box;
    box.caption = "No Journal-File !";
    box.text = "No Journal-File is open: the Changes of this Page cannot be stored.\n\n"
               "Use direct access to write them into the File.";
    box.buttons = MsgButtons::Ok;
    box.icon = MsgIcon::Information;
    app.platform->messageBox(box);
    return refuseAndDrop(app);
}

// Both halves of a page stored together are one entry of the history.
void markPairGroup(AppState& app) {
    const bool both = app.view.halfDirty[0] && app.view.halfDirty[1] && halfCount(app.view, 1) > 0;
    for (int half = 0; half < 2; ++half) {
        std::uint32_t& f = app.records.jData[half].flag;
        f = withoutGroupMarks(f);
        if (both) f = half == 0 ? withRedoGroup(f) : withUndoGroup(f);
    }
}

int storeIntoJournal(AppState& app) {
    if (!journalOpen(app.journal)) return refuseWithoutJournal(app);
    markPairGroup(app);
    int result = 0;
    for (int half = 0; half < 2; ++half) {
        if (!app.view.halfDirty[half]) continue;
        const bool joins = app.edit.groupStores && halfCount(app.view, half) > 0;
        if (joins) joinHistoryGroup(app.edit.storeGroup, app.records.jData[half]);
        const int stored = storeHalf(app, half);
        if (joins && stored == 0) noteInHistoryGroup(app.edit.storeGroup, app.records.jData[half]);
        result |= stored;
    }
    return result;
}

}  // namespace

void typeByte(AppState& app, int index, std::uint8_t value) {
    app.view.pageBuffer[index] = value;
    app.view.setChanged(std::uint32_t(index));
    markHalfChanged(app, index < kPageSize ? 0 : 1);
}

void markHalfChanged(AppState& app, int half) {
    app.records.jData[half].flag = withoutGroupMarks(app.records.jData[half].flag);
    app.view.halfDirty[half] = true;
}

void beginStoreGroup(AppState& app) {
    app.edit.groupStores = true;
    app.edit.storeGroup = HistoryGroup{};
}

int endStoreGroup(AppState& app) {
    app.edit.groupStores = false;
    const int result = journalOpen(app.journal) ? closeHistoryGroup(app.journal, app.edit.storeGroup) : 0;
    app.edit.storeGroup = HistoryGroup{};
    return result;
}

bool pageIsDirty(const AppState& app) { return app.view.halfDirty[0] || app.view.halfDirty[1]; }

int storeTypedChangesFirst(AppState& app) {
    if (!pageIsDirty(app)) return 0;
    // A declined store drops the typed changes; only a failed one leaves them.
    (void)storePage(app);
    return pageIsDirty(app) ? 1 : 0;
}

void dropPageChanges(AppState& app) {
    app.view.halfDirty[0] = app.view.halfDirty[1] = false;
}

int storeHalf(AppState& app, int half) {
    if (!journalOpen(app.journal)) return 1;
    if (halfCount(app.view, half) == 0) {
        app.view.halfDirty[half] = false;
        return 0;
    }
    app.journal.header.jnlFlags |= kJnlUnwrittenChanges;
    const bool walkCurrent = journalChangesCurrent(app);
    const bool every = (app.settings.undoOptions & kUndoEveryChange) != 0;
    int result;
    if (!hasRecord(app.records, half))
        result = storeNewPage(app, half);
    else if (!every && storesInPlace(app.records.jData[half].flag))
        result = overwriteNewestVersion(app, half);
    else
        result = appendNewVersion(app, half);
    // A half that could not be stored keeps its typed bytes in the view, to
    // be stored again (once the drive has room) or discarded by the user.
    if (result == 0) app.view.halfDirty[half] = false;
    // A half stored with changed bytes only adds marks; one that holds none
    // (its changes were discarded) may take a mark away: the walk is redone.
    noteStoredPage(app, halfPosition(app.view, half), true,
                   walkCurrent && result == 0 && halfHasChangedBytes(app.view, half));
    return result;
}

int writePageDirectly(AppState& app) {
    if (askedNo(app, kMsgSavePage, "Save Page ?", "Shall the actual Page be written to File ?"))
        return refuseAndDrop(app);
    // The typed bytes are kept in the journal rather than written over a file
    // that is gone or changed elsewhere.
    if (checkMainFileBeforeWriting(app) != 0) return storeIntoJournal(app);
    int result = 0;
    // Inside an open group the kept bytes join it; else the page is one entry.
    HistoryGroup pageGroup;
    HistoryGroup& group = app.edit.groupStores ? app.edit.storeGroup : pageGroup;
    for (int half = 0; half < 2; ++half) {
        if (!app.view.halfDirty[half]) continue;
        if (halfCount(app.view, half) > 0) result |= writeHalfDirectly(app, half, group);
        // The page now is the Main File's content: nothing differs from it.
        std::memset(app.view.changedBits + half * kChangeMapSize, 0, kChangeMapSize);
        app.view.halfDirty[half] = false;
    }
    if (!app.edit.groupStores && journalOpen(app.journal)) result |= closeHistoryGroup(app.journal, group);
    return result;
}

int storePage(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    if (!pageIsDirty(app)) return 0;
    app.edit.pageRefused = false;
    if ((app.shell.accessFlags & kAccessDirect) == 0) return storeIntoJournal(app);

    if ((app.shell.accessFlags & kAccessWritable) == 0) {
        if (askedNo(app, kMsgWriteProtect, "Re-open in Read-Write-Mode ?",
                    "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?"))
            return refuseAndDrop(app);
        if (reopenReadWrite(app) != 0) return 1;
    }
    if ((app.shell.accessFlags & kAccessNotLocked) == 0) {
        if ((app.settings.messageSwitches & kMsgWriteProtect) != 0 &&
            (askQuestion(app, "Make File writeable ?", "Make File writeable ?") & kAnswerYes) != 0)
            unlockMainFile(app);
        if ((app.shell.accessFlags & kAccessNotLocked) == 0) return storeIntoJournal(app);
    }
    return writePageDirectly(app);
}

}  // namespace quorby
