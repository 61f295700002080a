#include "find/replace_command.h"

#include <cstring>
#include <memory>
#include <vector>

#include "document/main_file_bytes.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "find/search_command.h"
#include "journal/command_commit.h"
#include "navigate/page_moves.h"
#include "search/case_fold.h"
#include "search/search_pass.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "state/work_buffer_access.h"
#include "view/page_render.h"

namespace quorby {
namespace {

constexpr std::uint32_t kPairsPerBlock = kSearchBlockSize / kPageSize;

struct Pattern {
    std::uint8_t bytes[kMaxPatternLength] = {};
    std::uint32_t length = 0;
    bool foldCase = false;
};

// The pattern and the replacement of the dialog's request; false (and the
// user told why) when they cannot be used.
bool takePatterns(AppState& app, Pattern& pattern, std::uint8_t* replacement) {
    const SearchSession& s = app.search;
    const bool hex = (s.state.searchMode & kSearchHexMode) != 0;
    pattern.length = requestPattern(s.state, s.request, pattern.bytes);
    pattern.foldCase = !hex && !s.request.matchCase;
    if (pattern.foldCase)
        for (std::uint32_t k = 0; k < pattern.length; ++k) pattern.bytes[k] = foldByte(pattern.bytes[k]);
    const std::uint32_t replacementLength = replacementBytes(s.request, hex, replacement);
    if (pattern.length == 0) {
        if (app.platform) setInfoCell(app, kInfoNotFound, kSelectionColour);
        return false;
    }
    if (replacementLength != pattern.length) {
        if (app.platform) {
            MessageBoxDescription box;
            box.caption = kReplaceCaption;
            box.text = replaceLengthMessage(pattern.length, replacementLength);
            box.buttons = MsgButtons::Ok;
            box.icon = MsgIcon::Information;
            app.platform->messageBox(box);
        }
        return false;
    }
    return true;
}

// Whether the loaded pair holds the pattern at `pos`, all of it readable.
bool pairMatchesAt(const AppState& app, const Pattern& pattern, FilePos pos) {
    const ViewState& v = app.view;
    if (pos < v.pagePos || pos - v.pagePos + pattern.length > v.pageLength) return false;
    if (overlapsRanges(app.main.unreadable.ranges, pos, pos + pattern.length)) return false;
    const std::uint8_t* at = v.pageBuffer + (pos - v.pagePos);
    for (std::uint32_t k = 0; k < pattern.length; ++k) {
        const std::uint8_t b = pattern.foldCase ? foldByte(at[k]) : at[k];
        if (b != pattern.bytes[k]) return false;
    }
    return true;
}

void typeReplacement(AppState& app, FilePos pos, const std::uint8_t* replacement, std::uint32_t length) {
    const std::uint32_t at = std::uint32_t(pos - app.view.pagePos);
    for (std::uint32_t k = 0; k < length; ++k) typeByte(app, int(at + k), replacement[k]);
}

// One Replace All. The search collects the matches of its blocks; every
// few thousand matches (and at the end) they are typed into their page
// pairs, a pair stored when the next match lies in another one.
struct ReplaceRun {
    AppState* app = nullptr;
    const Pattern* pattern = nullptr;
    const std::uint8_t* replacement = nullptr;
    std::vector<FilePos> found;    // matches of the blocks searched, not yet replaced
    bool pairLoaded = false;
    std::uint64_t typed = 0;       // matches typed into the loaded pair, not yet stored
    std::uint64_t replaced = 0;    // matches stored
    std::uint64_t ownChanges = 0;  // the Journal File's change count after the last store
    bool failed = false;           // a read or store failed, or the user declined one
};

// Matches replaced at once: in direct access with undo their pages' earlier
// bytes are made durable together, before the first of them is written.
constexpr std::size_t kMatchesAtOnce = 4096;

int storeTyped(ReplaceRun& run) {
    if (run.typed == 0) return 0;
    AppState& app = *run.app;
    if (storePage(app) != 0 || pageIsDirty(app)) {
        dropPageChanges(app);
        run.typed = 0;
        run.failed = true;
        return 1;
    }
    run.replaced += run.typed;
    run.typed = 0;
    run.ownChanges = app.journal.changeCount;
    return 0;
}

bool collectMatch(void* context, FilePos pos) {
    static_cast<ReplaceRun*>(context)->found.push_back(pos);
    return false;
}

// In direct access with undo each page written keeps the Main File's
// earlier bytes, durable before the write. Kept here for all the pages of
// the matches first, they cost one sync together instead of one each; the
// page store finds them kept. A page that cannot be read is left to it.
void keepEarlierBytes(ReplaceRun& run) {
    AppState& app = *run.app;
    const std::uint32_t direct = kAccessDirect | kAccessWritable | kAccessNotLocked;
    if ((app.shell.accessFlags & direct) != direct || app.settings.undoOptions == 0 || !keepsPreImages(app.journal))
        return;
    std::uint8_t bytes[kPageSize];
    FilePos lastPage = ~FilePos{0};
    for (const FilePos pos : run.found) {
        for (FilePos page = pageStart(pos); page < pos + run.pattern->length; page += kPageSize) {
            if (page == lastPage) continue;
            lastPage = page;
            const std::uint32_t count = pageCountAt(app, page);
            std::uint32_t got = 0;
            if (count == 0 || app.files->readAt(app.main.mainHandle, page, bytes, count, &got) != 0 || got != count)
                continue;
            if (keepMainFileBytes(app.journal, app.main.mainHandle, page, bytes, count) != 0) return;
        }
    }
}

// Types the replacement over one match, loading (and first storing) pairs.
// False when the run must stop.
bool replaceMatch(ReplaceRun& run, FilePos pos) {
    AppState& app = *run.app;
    const ViewState& v = app.view;
    const std::uint32_t length = run.pattern->length;
    if (!run.pairLoaded || pos < v.pagePos || pos - v.pagePos + length > v.pageLength) {
        if (storeTyped(run) != 0) return false;
        if (loadPagePair(app, pageStart(pos)) != 0 || v.pagePos != pageStart(pos)) {
            run.failed = true;
            return false;
        }
        run.pairLoaded = true;
    }
    // The search saw the match; the pair is read anew and must agree.
    if (!pairMatchesAt(app, *run.pattern, pos)) return true;
    typeReplacement(app, pos, run.replacement, length);
    ++run.typed;
    return true;
}

// Replaces the matches collected so far. 1 when the run must stop.
int replaceFound(ReplaceRun& run) {
    if (run.found.empty()) return 0;
    keepEarlierBytes(run);
    for (const FilePos pos : run.found)
        if (!replaceMatch(run, pos)) break;
    run.found.clear();
    return run.failed || storeTyped(run) != 0 ? 1 : 0;
}

// After matches were stored: the next block's walk along the address chain
// enters at the last stored pair's records (everything below them lies
// before the next match), or at the chain's start when they do not describe it.
void walkFromStoredPair(AppState& app, SearchState& state) {
    const PageRecords& r = app.records;
    if (!state.overlayJournal || !cursorRecordsCurrent(app) || r.reviewState != 0) {
        state.chainFromEnd = true;
    } else {
        state.forwardChainPos = (r.jReadFlag & kFirstHalfHasRecord)    ? r.jData[0].jAdr
                                : (r.jReadFlag & kSecondHalfHasRecord) ? r.jData[1].jAdr
                                                                       : r.jNextPtr;
        state.chainFromEnd = false;
    }
    takeNewWindowToken(state);
}

// The optional question "Shall the actual Page be written to File ?" is
// not asked page by page.
class SavePageQuestionOff {
public:
    explicit SavePageQuestionOff(AppState& app) : app_(app), saved_(app.settings.messageSwitches & kMsgSavePage) {
        app.settings.messageSwitches &= ~std::uint32_t(kMsgSavePage);
    }
    ~SavePageQuestionOff() { app_.settings.messageSwitches |= saved_; }
    SavePageQuestionOff(const SavePageQuestionOff&) = delete;
    SavePageQuestionOff& operator=(const SavePageQuestionOff&) = delete;

private:
    AppState& app_;
    std::uint32_t saved_;
};

bool readFailed(void* context) {
    AppState& app = *static_cast<AppState*>(context);
    return reportError(app, kErrorReading, app.main.mainName) != 0;
}

void showReplacedCount(AppState& app, std::uint64_t count) {
    if (!app.platform) return;
    char text[22];
    std::snprintf(text, sizeof text, "%12llu REPLACED", static_cast<unsigned long long>(count));
    setInfoCell(app, text, kSelectionColour);
}

}  // namespace

std::uint32_t replacementBytes(const SearchRequest& request, bool hexMode, std::uint8_t out[kMaxPatternLength]) {
    if (hexMode) return parseHexPattern(request.replaceText, kFindTextCapacity, out);
    return copyTextPattern(request.replaceText, kFindTextCapacity, false, out);
}

std::string replaceLengthMessage(std::uint32_t patternLength, std::uint32_t replacementLength) {
    return "The Replacement has " + std::to_string(replacementLength) + " Bytes, the Search Pattern " +
           std::to_string(patternLength) +
           ".\nBoth must be equally long: the File is overwritten, no Bytes are inserted or removed.";
}

void replaceCurrentMatch(AppState& app) {
    SearchSession& s = app.search;
    s.replacedCount = 0;
    s.replaceResult = ReplaceResult::Refused;
    if (app.main.mainHandle == kNoFile) return;
    Pattern pattern;
    std::uint8_t replacement[kMaxPatternLength];
    if (!takePatterns(app, pattern, replacement)) return;
    s.replaceResult = ReplaceResult::Done;
    const FilePos cursor = app.view.cursorPos();
    const bool onMatch = s.lastResult == SearchResult::Found && s.lastMatch == cursor &&
                         (s.state.searchMode & kSearchLastFound) != 0;
    if (!onMatch) return;
    if (storeTypedChangesFirst(app) != 0) return;
    const ViewState& v = app.view;
    if (cursor - v.pagePos + pattern.length > v.pageLength && loadPagePair(app, pageStart(cursor)) != 0) return;
    if (!pairMatchesAt(app, pattern, cursor)) return;
    typeReplacement(app, cursor, replacement, pattern.length);
    if (storePage(app) != 0 || pageIsDirty(app)) {
        dropPageChanges(app);
        s.replaceResult = ReplaceResult::Refused;
        redrawView(app);
        return;
    }
    s.replacedCount = 1;
    s.state.foundPos = cursor;
    s.state.patternLength = pattern.length;
    continueAfterReplacement(s.state, s.request.directionDown);
    s.state.cursorAfterSearch = cursor;
    redrawView(app);
}

void replaceAllMatches(AppState& app) {
    SearchSession& s = app.search;
    s.replacedCount = 0;
    s.replaceResult = ReplaceResult::Refused;
    if (app.main.mainHandle == kNoFile || app.files == nullptr) return;
    Pattern pattern;
    std::uint8_t replacement[kMaxPatternLength];
    if (!takePatterns(app, pattern, replacement)) return;
    if (storeTypedChangesFirst(app) != 0) return;

    // The selection, as far as it lies in the file, or the whole file.
    ViewState& v = app.view;
    FilePos from = 0, to = app.main.fileSize;
    if (v.selectionActive != 0) {
        from = v.selectionStart;
        to = v.selectionEnd < to ? v.selectionEnd : to;
        if (from > to) from = to;
    }
    const FilePos pagePos = v.pagePos;
    const std::uint32_t viewOffset = v.viewOffset;
    const std::uint32_t cursorOffset = v.cursorOffset;

    // A search of its own: the find dialog's positions stay as they are.
    auto state = std::make_unique<SearchState>();
    std::memcpy(state->pattern, pattern.bytes, pattern.length);
    state->patternLength = pattern.length;
    prepareStatePattern(*state, pattern.foldCase);
    startPositionsAt(*state, from, to, true);
    setOverlayPositions(app, *state, true);

    SearchSource source;
    source.files = app.files;
    source.handle = app.main.mainHandle;
    source.fileSize = to;  // a match lies wholly inside the range
    source.journal = &app.journal;
    source.journalWindow = &journalOverlayWindow(app);
    source.unreadable = &app.main.unreadable;
    source.skipped = &state->skipped;
    source.readFailed = readFailed;
    source.context = &app;

    ReplaceRun run;
    run.app = &app;
    run.pattern = &pattern;
    run.replacement = replacement;
    run.ownChanges = app.journal.changeCount;
    bool interrupted = false;
    {
        startProgress(app, kReplaceAllTitle);
        ProgressRange range(app, from, to);
        SavePageQuestionOff quiet(app);
        beginStoreGroup(app);
        std::uint8_t* block = blockBuffer(app);
        // In journal access nothing writes the Main File during the run: the
        // matches of a block are replaced while it is still in memory, and
        // their pairs are taken from it instead of being read again.
        const bool fromBlock = (app.shell.accessFlags & kAccessDirect) == 0;
        for (;;) {
            BlockExtent extent;
            const PassResult result = passAllMatches(*state, source, block, collectMatch, &run, &extent);
            const bool more = result == PassResult::More;
            if (!more || run.found.size() >= kMatchesAtOnce || (fromBlock && !run.found.empty())) {
                const bool any = !run.found.empty();
                if (fromBlock) app.main.readAhead = {block, extent.pos, extent.count};
                const int replaced = replaceFound(run);
                app.main.readAhead = {};
                if (replaced != 0) break;
                if (any) walkFromStoredPair(app, *state);
            }
            if (!more) {
                interrupted = result == PassResult::Stopped;
                break;
            }
            range.reached(state->blockPos);
            if (pollProgressSteps(app, kPairsPerBlock)) {
                // Stopped where the search stands: what it found before is replaced.
                interrupted = true;
                (void)replaceFound(run);
                break;
            }
            // A command dispatched in between changed the Journal File: the
            // walk starts afresh, and the next pair is loaded anew.
            if (app.journal.changeCount != run.ownChanges) {
                state->chainFromEnd = true;
                takeNewWindowToken(*state);
                run.ownChanges = app.journal.changeCount;
                run.pairLoaded = false;
            }
        }
        dropPageChanges(app);
        if (endStoreGroup(app) != 0) run.failed = true;
    }
    (void)loadPagePair(app, pagePos);  // reported; what was replaced stands
    v.viewOffset = viewOffset;
    v.cursorOffset = cursorOffset;
    redrawView(app);

    s.replacedCount = run.replaced;
    if (run.failed || interrupted)
        s.replaceResult = run.replaced == 0 && run.failed ? ReplaceResult::Refused : ReplaceResult::Interrupted;
    else
        s.replaceResult = ReplaceResult::Done;
    showReplacedCount(app, run.replaced);
    // The unreadable ranges the last search went past: this one's.
    s.state.skipped = state->skipped;
    showUnreadableSkipped(app, state->skipped.count);
}

}  // namespace quorby
