#include "edit/write_all.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "journal/command_commit.h"
#include "journal/record_states.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "state/work_buffer_access.h"
#include "document/exchange_record.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "document/shown_state.h"
#include "edit/write_steps.h"
#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

namespace {

constexpr std::size_t kNameField = 50;
const char* const kChangesMadeText =
    "Changes have been made!\nWrite Changes into the Main File?\n(Even without Writing they will stay available!)";

// Records are taken in chunks: the Main File's bytes of every half of a
// chunk that differs from it are appended as exchanges and kept as the
// pre-images of the writes (journal/rollback_file.h) before any of its halves
// is overwritten; each exchange is linked once its half is written
// (journal/record_states.h, H3). Every few chunks (BatchSizes) the work so far
// is committed: a program killed in between goes back to the last commit,
// with the rest shown from the journal, to be written by the next "Save &File".
// Without undo nothing is appended: the written versions are marked as
// showing the Main File, many at a time, after a sync of the Main File.

int collectChunk(JournalFile& jf, int capacity, FilePos& next, FilePos& lastAdr, std::uint64_t& steps, WriteChunk& c) {
    c.count = 0;
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    while (!isEmptyPtr(next) && c.count < capacity) {
        JournalRecord& r = c.records[c.count];
        if (++steps > limit || readRecord(jf, next, r) != 0) return 1;
        if (steps > 1 && r.mainAdr <= lastAdr) return 1;  // a damaged chain
        lastAdr = r.mainAdr;
        next = r.nextPtr;
        c.ready[c.count] = false;
        ++c.count;
    }
    return 0;
}

// The halves from `i` on that follow one another in the Main File, each
// whole, and that `belongs` takes in.
template <typename Belongs>
int neighbourRunEnd(const WriteChunk& c, int i, Belongs belongs) {
    int j = i + 1;
    while (j < c.count && belongs(j) && c.records[j - 1].anz == kRecordDataSize &&
           c.records[j].mainAdr == c.records[j - 1].mainAdr + kRecordDataSize)
        ++j;
    return j;
}

// Changed pages that lie wholly or partly beyond the Main File's end (another
// program shortened it): they stay unwritten, and the user is told.
struct BeyondEnd {
    std::uint64_t pages = 0;
    FilePos first = 0;
    FilePos end = 0;  // the length the file needs to take them all
};

void noteBeyondEnd(BeyondEnd& beyond, const JournalRecord& r) {
    if (beyond.pages++ == 0) beyond.first = r.mainAdr;
    beyond.end = std::max(beyond.end, r.mainAdr + r.anz);
}

void reportBeyondEnd(AppState& app, const BeyondEnd& beyond) {
    if (beyond.pages == 0) return;
    char text[320];
    std::snprintf(text, sizeof text,
                  "The Main File is shorter than the Changes in the Journal-File !\n\n"
                  "%llu changed Page(s) from 0x%llX on lie beyond its End and have not been written.\n\n"
                  "To write them, enlarge the File to 0x%llX Bytes and save again;\n"
                  "or take them back with Undo.",
                  static_cast<unsigned long long>(beyond.pages), static_cast<unsigned long long>(beyond.first),
                  static_cast<unsigned long long>(beyond.end));
    showMessageBox(app, text, "Main File changed !", MsgButtons::Ok, MsgIcon::Information);
}

// Marks the halves to write and keeps their Main File bytes, read in runs of
// neighbouring halves and appended in one transfer. A failure ends the
// preparation: the halves before it are still written.
int prepareChunk(AppState& app, WriteChunk& c, BeyondEnd& beyond) {
    const bool keep = app.settings.undoOptions != 0;
    int result = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<JournalRecord*> toAppend;
    const FilePos fileSize = app.main.fileSize;
    const auto fits = [&c, fileSize](int j) { return c.records[j].mainAdr + c.records[j].anz <= fileSize; };
    for (int i = 0; i < c.count && result == 0;) {
        if (!holdsContentToWrite(c.records[i].flag)) {
            ++i;
            continue;
        }
        if (!fits(i)) {
            noteBeyondEnd(beyond, c.records[i]);
            ++i;
            continue;
        }
        const int end =
            neighbourRunEnd(c, i, [&c, &fits](int j) { return holdsContentToWrite(c.records[j].flag) && fits(j); });
        const FilePos from = c.records[i].mainAdr;
        const std::uint32_t length = std::uint32_t(c.records[end - 1].mainAdr + c.records[end - 1].anz - from);
        bytes.resize(length);
        std::uint32_t got = 0;
        if (readMainBytes(app, from, bytes.data(), length, &got) != 0 || got != length) {
            result = 1;
            break;
        }
        for (; i < end; ++i) {
            JournalRecord& r = c.records[i];
            JournalRecord& x = c.exchanges[i];
            makeExchange(r.mainAdr, r.anz, bytes.data() + (r.mainAdr - from), &r, x);
            if (std::memcmp(x.data, r.data, r.anz) == 0) continue;   // the Main File holds it already
            c.ready[i] = true;
            if (keep) toAppend.push_back(&x);
        }
    }
    const bool appended = !toAppend.empty();
    // Reported once: a full drive would fail every further append.
    if (appended && appendRecords(app.journal, toAppend.data(), int(toAppend.size())) != 0) {
        for (int i = 0; i < c.count; ++i) c.ready[i] = false;
        return 1;
    }
    // The Main File's bytes just read are the pre-images of the chunk's
    // writes: kept together, so that the writes wait for one sync, not one
    // each. Without undo the versions show the new bytes until the commit.
    for (int i = 0; i < c.count; ++i) {
        if (!c.ready[i]) continue;
        const JournalRecord& r = c.records[i];
        const int kept = keep ? keepMainFileBytes(app.journal, app.main.mainHandle, r.mainAdr, c.exchanges[i].data, r.anz)
                              : passMainFileBytes(app.journal, app.main.mainHandle, r.mainAdr, r.anz);
        if (kept != 0) c.ready[i] = false;
    }
    return result;
}

bool chunkHasWrites(const WriteChunk& c) {
    for (int i = 0; i < c.count; ++i)
        if (c.ready[i]) return true;
    return false;
}

// The ready halves from `i` on go into the file with one transfer. A drive
// is written half by half (whole sectors).
int runEnd(const MainFileState& mainFile, const WriteChunk& c, int i) {
    if (mainFile.mainKind != MainKind::File) return i + 1;
    return neighbourRunEnd(c, i, [&c](int j) { return c.ready[j]; });
}

int writeRun(AppState& app, const WriteChunk& c, int from, int to) {
    const JournalRecord& first = c.records[from];
    if (to - from == 1) return writeHalfRangeIntoMain(app, first.mainAdr, first.data, 0, first.anz);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(to - from) * kRecordDataSize);
    for (int k = from; k < to; ++k) bytes.insert(bytes.end(), c.records[k].data, c.records[k].data + c.records[k].anz);
    return writeMainBytes(app, first.mainAdr, bytes.data(), std::uint32_t(bytes.size()));
}

// After its half is written: with undo kept its exchange becomes the page's
// newest version, else the version is to show the Main File from now on.
int linkWrittenHalf(AppState& app, JournalRecord& r, JournalRecord& x, HistoryGroup& group,
                    std::vector<FlagMark>& marks) {
    if (app.settings.undoOptions != 0) return linkExchange(app, x, &r, group);
    marks.push_back({r.jAdr, showingMainFile(r.flag)});
    return 0;
}

// The marks of written versions go out together once the Main File bytes
// they stand for are durable (journal/written_marks.h).
int writeMarks(AppState& app, std::vector<FlagMark>& marks) {
    bool mainSyncFailed = false;
    const int result = markVersionsShowingMainFile(app.journal, app.main.mainHandle, marks, &mainSyncFailed);
    if (mainSyncFailed) reportError(app, kErrorWriting, app.main.mainName);
    return result;
}

}  // namespace

std::string writeFileQuestion(const AppState& app) {
    std::string name = app.main.mainName;
    if (name.size() > kNameField) name = name.substr(name.size() - kNameField);
    name.resize(kNameField, ' ');
    return name + "\n          " + kChangesMadeText;
}

int writeAll(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.first)) return 1;
    // A "Save &File" chosen while this one polls for input waits for it.
    if (app.edit.writeAllRunning) return 1;
    // Typed bytes that cannot be stored would not be written with the rest.
    if (storeTypedChangesFirst(app) != 0) return 1;
    app.edit.writeAllRunning = true;
    // Writing changes no page's place in the address chain: a walk that is
    // up to date now stays so once every change is written.
    const bool overviewCurrent = journalChangesCurrent(app);
    openPleaseWait(app);

    HistoryGroup group;
    std::vector<FlagMark> marks;
    // The address chain runs up through the Main File.
    ProgressRange range(app, 0, app.main.fileSize);
    const bool keep = app.settings.undoOptions != 0;
    const BatchSizes& batches = app.buffers.batches;
    const int capacity = std::clamp(batches.writeChunkRecords, 1, kWriteChunkRecords);
    WriteChunk& chunk = writeChunk(app);
    FilePos next = jf.header.first;
    FilePos lastAdr = 0;
    std::uint64_t steps = 0;
    int chunks = 0;
    int result = 0;
    bool stopped = false;
    bool lastChunk = false;  // a failed preparation: its ready halves are still written
    BeyondEnd beyond;
    while (!stopped && !lastChunk && !isEmptyPtr(next)) {
        // Without undo a kill leaves nothing to take back: the versions not
        // marked yet show the bytes the Main File got.
        if (keep && ++chunks % std::max(1, batches.chunksPerCommit) == 0 && commitCommand(jf) != 0) {
            result = 1;
            break;
        }
        if (marks.size() >= batches.marksBeforeSync && writeMarks(app, marks) != 0) {
            result = 1;
            break;
        }
        if (collectChunk(jf, capacity, next, lastAdr, steps, chunk) != 0) {
            result = 1;
            stopped = true;
        }
        if (!stopped && prepareChunk(app, chunk, beyond) != 0) {
            result = 1;
            lastChunk = true;
        }
        // The pre-images of this chunk's writes and of the units the last
        // chunk's links changed become durable with one sync; those units
        // go out, and this chunk's links fit among the held units.
        if (keep && writeHeldChanges(jf) != 0) {
            result = 1;
            stopped = true;
        }
        // Another program may have written the Main File since the chunk's
        // bytes were read: asked as before any write, No ends the run here.
        if (!stopped && chunkHasWrites(chunk) && checkMainFileBeforeWriting(app) != 0) stopped = true;
        for (int i = 0; i < chunk.count && !stopped;) {
            // A failed write is reported once and ends the run; its halves
            // stay shown from the journal for the next "Save &File".
            const int end = chunk.ready[i] ? runEnd(app.main, chunk, i) : i + 1;
            if (chunk.ready[i] && writeRun(app, chunk, i, end) != 0) {
                result = 1;
                stopped = true;
                break;
            }
            // Every half written is linked before ESC is honoured, so that
            // undo finds the earlier content of each.
            for (; i < end; ++i) {
                if (chunk.ready[i] && linkWrittenHalf(app, chunk.records[i], chunk.exchanges[i], group, marks) != 0) {
                    result = 1;
                    stopped = true;
                }
                range.reached(chunk.records[i].mainAdr);
                if (bannerRefreshedNow(app)) refreshPleaseWait(app, chunk.records[i].jAdr);
                if (pollProgress(app)) stopped = true;
            }
        }
    }
    result |= writeMarks(app, marks);
    result |= closeHistoryGroup(jf, group);
    if (!stopped && result == 0 && beyond.pages == 0) {
        jf.header.jnlFlags &= ~(kJnlUnwrittenChanges | kJnlUnwrittenWarned);
        showMainFileCaption(app);
        noteAllChangesWritten(app, overviewCurrent);
    }
    closePleaseWait(app);
    reportBeyondEnd(app, beyond);
    app.edit.writeAllRunning = false;
    showPairAfterWriting(app);
    return stopped || result != 0 ? 1 : 0;
}

int saveFile(AppState& app, bool asked) {
    if (app.main.mainHandle == kNoFile || app.journal.handle == kNoFile) return 1;
    if (storeTypedChangesFirst(app) != 0) return 1;
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
    (void)storeTypedChangesFirst(app);  // what cannot be stored stays in the view
    PageRecords& rec = app.records;
    for (int half = 0; half < 2; ++half) {
        const std::uint32_t bit = half == 0 ? kFirstHalfHasRecord : kSecondHalfHasRecord;
        if ((rec.jReadFlag & bit) == 0) continue;
        if (readRecordHeader(app.journal, rec.jData[half].jAdr, kRecordFullHeader, rec.jData[half]) != 0)
            forgetCursorRecords(app);
    }
    (void)loadPagePair(app, app.view.pagePos);  // reported; what was written stands
    updateScrollBar(app);
    drawPage(app);
}

void offerWriteOnClose(AppState& app) {
    const JournalFile& jf = app.journal;
    if (jf.handle == kNoFile || isEmptyPtr(jf.header.first)) return;
    if ((app.settings.messageSwitches & kMsgSaveFileOnExit) == 0) return;
    if (!holdsUnwrittenChanges(app)) return;
    const int answer = askQuestion(app, "Write File?", writeFileQuestion(app));
    if (answer & kAnswerYes) {
        (void)saveFile(app, true);  // reports its own failure; the closing goes on
    } else if (answer & kAnswerDontAsk) {
        app.settings.messageSwitches &= ~std::uint32_t(kMsgSaveFileOnExit);
    }
}

}  // namespace quorby
