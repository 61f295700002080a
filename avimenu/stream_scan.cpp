#include "avimenu/stream_scan.h"

#include "avi/chain_repair.h"
#include "avi/chain_walk.h"
#include "avimenu/avi_information.h"
#include "avimenu/chunk_navigation.h"
#include "avimenu/content_store.h"
#include "navigate/page_moves.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "document/store_page.h"
#include "view/status_cells.h"

namespace quorby {
namespace {

constexpr FourCc kList = fourCc("LIST");
constexpr FourCc kRiff = fourCc("RIFF");
constexpr std::uint32_t kOffsetStep = 512;

enum class WalkKind { Structure, Play, Repair };

struct WalkRun {
    WalkKind kind;
    FourCc streamId = 0;
    bool asked = false;  // the question about structure errors was answered Yes
};

void showAt(AppState& app, FilePos pos) {
    (void)showFromPosition(app, pos);  // a page that cannot be read leaves the view as it was
    redrawView(app);
}

// The size of the chunk before the one that does not fit is set so that the
// chunk ends at the nearest known chunk id; the walk then stands on that
// chunk. Result 1 when there is none (nothing is changed).
int repairChain(AppState& app, MainFileContent& content, ChainWalk& walk) {
    ChunkCursor& c = walk.cursor;
    const FilePos broken = c.previousChunkPos;
    if (broken >= c.currentChunkPos) return 1;
    const FilePos end = walk.previousDepth > 0 ? walk.listEnd[walk.previousDepth - 1] : content.size();
    std::uint8_t oldSize[4] = {};
    std::uint32_t got = 0;
    if (content.read(broken + 4, oldSize, 4, &got) != 0 || got < 4) return 1;
    ChainRepair repair;
    if (findChainRepair(content, broken, le32(oldSize), c.currentChunkPos, end, app.avi.facts, &repair) != 0)
        return 1;
    std::uint8_t size[4];
    putLe32(size, repair.newSize);
    if (storeContentBytes(app, content, broken + 4, size, 4) != 0) return 1;
    walk.depth = walk.previousDepth;
    c.nextChunkPos = broken;
    if (readChunkAt(content, c) != 0 || stepChain(content, walk) != 0) return 1;
    showAt(app, c.currentChunkPos);
    return 0;
}

// A chunk that does not belong in the chain: the last correct chunk is shown
// at the top left; the question (not for repair AVI-File, asked once per
// walk), then the repair. Result 1 when the walk ends.
int mendChain(AppState& app, MainFileContent& content, WalkRun& run) {
    ChainWalk& walk = app.avi.walk;
    showAt(app, walk.cursor.previousChunkPos);
    if (run.kind != WalkKind::Repair && !run.asked) {
        const MsgAnswer answer = showMessageBox(
            app,
            "There are Errors in the File-Structure!\n\nThe last correct Chunk-Address is shown top left.\n\n"
            "Shall Errors be corrected?",
            "Errors in File-Structure", MsgButtons::YesNo, MsgIcon::Question);
        if (answer != MsgAnswer::Yes) return 1;
        run.asked = true;
    }
    return repairChain(app, content, walk);
}

enum class Action { Step, Enter, End };

Action actionFor(AppState& app, const WalkRun& run) {
    const ChunkCursor& c = app.avi.walk.cursor;
    const bool isList = c.chunkId == kList || c.chunkId == kRiff;
    switch (run.kind) {
        case WalkKind::Structure:
            if (c.chunkId == kList && c.listType == fourCc("movi")) return Action::End;
            showAt(app, c.currentChunkPos);
            return isList ? Action::Enter : Action::Step;
        case WalkKind::Repair:
            showAt(app, c.currentChunkPos);
            return isList ? Action::Enter : Action::Step;
        case WalkKind::Play:
            if (c.chunkId == run.streamId) showAt(app, c.currentChunkPos + app.avi.playOffset);
            if (c.chunkId == kRiff) return Action::Enter;
            // Packets grouped in "rec " lists are played too.
            if (c.chunkId == kList && (c.listType == fourCc("movi") || c.listType == fourCc("rec ")))
                return Action::Enter;
            return Action::Step;
    }
    return Action::Step;
}

// The walk from the chunk it stands on. Result 1 when it ended on a refused
// or failed repair.
int walkChunks(AppState& app, MainFileContent& content, WalkRun& run) {
    AviState& avi = app.avi;
    ChainWalk& walk = avi.walk;
    avi.scanRunning = true;
    avi.scanStopRequested = false;
    ProgressRange range(app, walk.cursor.currentChunkPos, app.main.fileSize);
    int result = 0;
    for (;;) {
        if (!chunkFitsChain(walk, avi.facts) && mendChain(app, content, run) != 0) {
            result = 1;
            break;
        }
        const Action action = actionFor(app, run);
        if (action == Action::End) break;
        if (action == Action::Enter) enterChainList(walk);
        tickActivityMark(app);
        // Playing shows every packet; the scans leave the repaint to the poll.
        if (run.kind == WalkKind::Play) app.platform->presentNow();
        range.reached(walk.cursor.currentChunkPos);
        if (app.platform->pollPendingInput() || avi.scanStopRequested) break;
        if (stepChain(content, walk) != 0) break;
    }
    avi.cursor = walk.cursor;
    avi.scanRunning = false;
    avi.scanStopRequested = false;
    return result;
}

// Repairs made while a walk runs are one entry of the history.
int walkAsOneChange(AppState& app, MainFileContent& content, WalkRun& run) {
    beginStoreGroup(app);
    const int result = walkChunks(app, content, run);
    return endStoreGroup(app) != 0 ? 1 : result;
}

// The packets of one stream from the chunk the walk stands on.
int stepStream(AppState& app, bool video) {
    AviState& avi = app.avi;
    MainFileContent content(app);
    WalkRun run{WalkKind::Play};
    // A stream without packets plays nothing: no chunk carries its id.
    if (video ? avi.facts.videoIdKnown : avi.facts.audioIdKnown)
        run.streamId = video ? avi.facts.videoDataId : avi.facts.audioDataId;
    enterTemporaryMode(app, TemporaryMode::VideoPlay);
    const int result = walkAsOneChange(app, content, run);
    avi.streamStepping = false;
    restorePermanentMode(app);
    redrawView(app);
    return result;
}

}  // namespace

void offerIndirectAccess(AppState& app) {
    if ((app.shell.accessFlags & kAccessDirect) == 0) return;
    const MsgAnswer answer = showMessageBox(app,
                                            "This File is being accessed directly !\n\nFor this Action it is "
                                            "recommended to choose indirect Access.\n\n\nChange Access-Mode to "
                                            "indirect Access?",
                                            "Change Access-Mode to indirect Access?", MsgButtons::YesNo,
                                            MsgIcon::Information);
    if (answer == MsgAnswer::Yes) showJournalAccess(app);
}

int scanStructure(AppState& app, MainFileContent& content) {
    if (app.avi.scanRunning) return 1;
    offerIndirectAccess(app);
    enterTemporaryMode(app, TemporaryMode::ScanAvi);
    startChainWalk(app.avi.walk);
    WalkRun run{WalkKind::Structure};
    int result = 0;
    if (stepChain(content, app.avi.walk) == 0) result = walkAsOneChange(app, content, run);
    restorePermanentMode(app);
    return result;
}

int playStream(AppState& app, bool video) {
    AviState& avi = app.avi;
    if (!aviFileLoaded(app) || avi.scanRunning) return 1;
    lockMainFile(app);
    offerIndirectAccess(app);
    if ((!streamFactsKnown(app) || !avi.streamStepping) && gotoFilmStart(app) != 0) return 1;
    return stepStream(app, video);
}

int scanStreamPackets(AppState& app, bool video) {
    if (app.avi.scanRunning || gotoFilmStart(app) != 0) return 1;
    return stepStream(app, video);
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void playVideoCommand(AppState& app) { (void)playStream(app, true); }
void playAudioCommand(AppState& app) { (void)playStream(app, false); }

void repairAviCommand(AppState& app) {
    AviState& avi = app.avi;
    if (!aviFileLoaded(app) || avi.scanRunning) return;
    lockMainFile(app);
    offerIndirectAccess(app);
    if (!streamFactsKnown(app) && scanStreamFacts(app) != 0) return;
    MainFileContent content(app);
    if (!avi.streamStepping) {
        startChainWalk(avi.walk);
        if (stepChain(content, avi.walk) != 0) return;
    }
    enterTemporaryMode(app, TemporaryMode::ScanAvi);
    WalkRun run{WalkKind::Repair};
    walkAsOneChange(app, content, run);
    avi.streamStepping = false;
    restorePermanentMode(app);
    redrawView(app);
}

bool streamScanTakesKey(AppState& app, int character) {
    AviState& avi = app.avi;
    if (!avi.scanRunning) return false;
    const std::uint32_t step = app.nav.scrollStep;
    switch (character) {
        case '+': avi.playOffset += kOffsetStep; break;
        case '-': if (avi.playOffset >= kOffsetStep) avi.playOffset -= kOffsetStep; break;
        case '>': avi.playOffset += step; break;
        case '<': if (avi.playOffset >= step) avi.playOffset -= step; break;
        case ' ':
        case 27: avi.scanStopRequested = true; break;
        default: return false;
    }
    return true;
}

}  // namespace quorby
