#include "edit/restore_original.h"

#include <cstring>

#include "journal/command_commit.h"
#include "journal/record_states.h"
#include "state/edit_state.h"
#include "state/progress.h"
#include "document/exchange_record.h"
#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "edit/write_all.h"
#include "edit/write_steps.h"

namespace quorby {

namespace {

// One half of the address chain: the Main File gets the half's original
// content (when it has one) and the view shows the Main File, both kept by
// one exchange (journal/record_states.h, H6). Nothing happens to a half
// that shows its original content already.
int restoreHalf(AppState& app, JournalRecord& r, HistoryGroup& group) {
    JournalFile& jf = app.journal;
    std::uint8_t original[kRecordDataSize];
    int failed = 0;
    const bool known = originalContentOf(jf, r, original, &failed);
    if (failed) return 1;
    JournalRecord x;
    if (readExchange(app, r.mainAdr, r.anz, &r, kEmptyPtr, kEmptyPtr, x) != 0) return 1;
    const std::uint8_t* target = known ? original : x.data;
    const bool fileChanges = std::memcmp(target, x.data, r.anz) != 0;
    bool viewChanges = false;
    if (holdsContentToWrite(r.flag)) {
        std::uint8_t shown[kRecordDataSize];
        if (readRecordData(jf, r.jAdr, shown) != 0) return 1;
        viewChanges = std::memcmp(shown, target, r.anz) != 0;
    }
    if (!fileChanges && !viewChanges) return 0;
    if (appendExchange(app, x) != 0) return 1;
    if (fileChanges && writeHalfRangeIntoMain(app, r.mainAdr, target, 0, r.anz) != 0) return 1;
    return linkExchange(app, x, &r, group);
}

// The Main File's present bytes of the next `count` halves of the address
// chain from `ptr` are kept as the pre-images of their writes
// (journal/rollback_file.h), so that the writes wait for one sync of the
// rollback file, not one each. What cannot be read here is left to the
// half's own step, which reports it.
constexpr int kHalvesAhead = 1024;

void keepPreImagesAlongChain(AppState& app, FilePos ptr, int count) {
    JournalFile& jf = app.journal;
    if (!keepsPreImages(jf)) return;
    std::uint8_t bytes[kRecordDataSize];
    for (int k = 0; k < count && !isEmptyPtr(ptr); ++k) {
        JournalRecord r;
        std::uint32_t got = 0;
        if (readRecordHeader(jf, ptr, kRecordLinks, r) != 0 ||
            app.files->readAt(app.main.mainHandle, r.mainAdr, bytes, r.anz, &got) != 0 ||
            keepMainFileBytes(jf, app.main.mainHandle, r.mainAdr, bytes, got) != 0)
            return;
        ptr = r.nextPtr;
    }
}

int refuseWithoutUndo(AppState& app) {
    MessageBoxDescription box;
    box.caption = "Restore Original File";
    box.text = "Undo is deactivated (Options, \"deactivate Undo\"): the original content was not kept.";
    box.buttons = MsgButtons::Ok;
    box.icon = MsgIcon::Information;
    app.platform->messageBox(box);
    return 1;
}

}  // namespace

int restoreOriginalFile(AppState& app) {
    JournalFile& jf = app.journal;
    if (app.main.mainHandle == kNoFile || jf.handle == kNoFile) return 1;
    // Typed changes of the shown page are stored first, so they are restored too.
    if (pageIsDirty(app) && storePage(app) != 0 && app.edit.pageRefused) return 1;
    if (isEmptyPtr(jf.header.first)) return 1;
    if (app.settings.undoOptions == 0) return refuseWithoutUndo(app);
    if (reopenForWriting(app) != 0) return 1;
    startProgress(app, kTitleRestoreOriginal);
    HistoryGroup group;
    int result = 0;
    bool stopped = false;
    FilePos ptr = jf.header.first;
    FilePos lastAdr = 0;
    // The address chain runs up through the Main File.
    ProgressRange range(app, 0, app.main.fileSize);
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        JournalRecord r;
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordFullHeader, r) != 0 ||
            (steps > 0 && r.mainAdr <= lastAdr)) {
            result = 1;
            break;
        }
        if (steps % kHalvesAhead == 0) keepPreImagesAlongChain(app, r.jAdr, kHalvesAhead);
        lastAdr = r.mainAdr;
        ptr = r.nextPtr;
        range.reached(r.mainAdr);
        if (restoreHalf(app, r, group) != 0) {
            result = 1;   // reported once; the halves before stay restored
            break;
        }
        if (pollProgress(app)) {
            stopped = true;
            break;
        }
    }
    result |= closeHistoryGroup(jf, group);
    if (result == 0 && !stopped) jf.header.jnlFlags &= ~(kJnlUnwrittenChanges | kJnlUnwrittenWarned);
    showPairAfterWriting(app);
    return result;
}

}  // namespace quorby
