#include "avimenu/stream_scan.h"

#include <cstdio>
#include <optional>
#include <string>

#include "avi/chain_repair.h"
#include "avi/chain_walk.h"
#include "avi/stream_list.h"
#include "avimenu/avi_information.h"
#include "avimenu/chunk_navigation.h"
#include "avimenu/content_store.h"
#include "avimenu/walk_findings.h"
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
    std::optional<IndexPlaces> places;  // looked for at the first broken chunk
};

void showAt(AppState& app, FilePos pos) {
    (void)showFromPosition(app, pos);  // a page that cannot be read leaves the view as it was
    redrawView(app);
}

std::string hex32(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", v);
    return text;
}

// A chunk's name in the report lines: its id, a list's id and type.
std::string chunkName(FourCc id, FourCc listType) {
    std::string name = fourCcText(id);
    if (id == kList || id == kRiff) name += " " + fourCcText(listType);
    for (char& ch : name)
        if (std::uint8_t(ch) < 0x20 || std::uint8_t(ch) > 0x7E) ch = '.';
    return name;
}

std::string listName(const ChainWalk& walk) {
    if (walk.depth == 0) return "File";
    return walk.listType[walk.depth - 1] == 0 ? "List" : "LIST " + chunkName(walk.listType[walk.depth - 1], 0);
}

IndexPlaces& indexPlaces(MainFileContent& content, WalkRun& run) {
    if (!run.places) run.places = findIndexPlaces(content);
    return *run.places;
}

// The question about structure errors, asked once per walk and not by
// repair AVI-File. Result true to repair.
bool repairWanted(AppState& app, WalkRun& run) {
    if (run.kind == WalkKind::Repair || run.asked) return true;
    const MsgAnswer answer = showMessageBox(
        app,
        "There are Errors in the File-Structure!\n\nThe last correct Chunk-Address is shown top left.\n\n"
        "Shall Errors be corrected?",
        "Errors in File-Structure", MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgAnswer::Yes) return false;
    run.asked = true;
    return true;
}

enum class Mend { Repaired, Unchanged, Ended };

// Writes the size a repair found. Result 1 when it could not be stored.
int storeSize(AppState& app, MainFileContent& content, FilePos chunk, const ChainRepair& repair) {
    std::uint8_t size[4];
    putLe32(size, repair.newSize);
    if (storeContentBytes(app, content, chunk + 4, size, 4) != 0) return 1;
    recordFinding(app, chunk,
                  "   Chunk-Size " + hex32(repair.oldSize) + " set to " + hex32(repair.newSize) +
                      (repair.fromIndex ? " (from the Index)" : ""));
    return 0;
}

// The chunk the walk stands on does not belong in the chain: the size of
// the chunk before it is mended so that it ends where the chain goes on, or
// left as it is when it already leads to a chunk whose id alone is damaged.
Mend mendChain(AppState& app, MainFileContent& content, WalkRun& run) {
    ChainWalk& walk = app.avi.walk;
    ChunkCursor& c = walk.cursor;
    const FilePos broken = c.previousChunkPos;
    if (broken >= c.currentChunkPos) {
        recordFinding(app, c.currentChunkPos, "   Unknown Chunk, Chunk-Chain not repaired !");
        return Mend::Ended;
    }
    showAt(app, broken);
    ChainBreak at;
    at.broken = broken;
    at.landing = c.currentChunkPos;
    at.end = walk.previousDepth > 0 ? walk.listEnd[walk.previousDepth - 1] : content.size();
    at.listType = walk.previousDepth > 0 ? walk.listType[walk.previousDepth - 1] : 0;
    const ChainRepair repair = findChainRepair(content, at, app.avi.facts, &indexPlaces(content, run));
    if (repair.verdict == ChainVerdict::SizeRight) {
        recordFinding(app, c.currentChunkPos, "   Damaged Chunk-ID " + chunkName(c.chunkId, 0) + ", stepped over");
        return Mend::Unchanged;
    }
    if (repair.verdict == ChainVerdict::NotFound) {
        recordFinding(app, broken, "   Broken Chunk-Chain: no Chunk found to repair it !");
        return Mend::Ended;
    }
    if (!repairWanted(app, run)) {
        recordFinding(app, broken, "   Broken Chunk-Chain: not repaired !");
        return Mend::Ended;
    }
    if (storeSize(app, content, broken, repair) != 0) return Mend::Ended;
    walk.depth = walk.previousDepth;
    c.nextChunkPos = broken;
    if (readChunkAt(content, c) != 0 || stepChain(content, walk) != 0) return Mend::Ended;
    showAt(app, c.currentChunkPos);
    return Mend::Repaired;
}

// The chunk the walk stands on reaches past the end of its list: a list is
// reported and entered as far as its parent goes; a chunk's size is mended
// where the indexes or the chain tell it. Result: the walk ends.
bool mendOverrun(AppState& app, MainFileContent& content, WalkRun& run) {
    ChainWalk& walk = app.avi.walk;
    ChunkCursor& c = walk.cursor;
    const FilePos end = currentListEnd(walk, content.size());
    recordFinding(app, c.currentChunkPos,
                  "   " + chunkName(c.chunkId, c.listType) + " runs past End of " + listName(walk) + " !");
    if (c.chunkId == kList || c.chunkId == kRiff) return false;
    ChainBreak at;
    at.broken = c.currentChunkPos;
    at.landing = c.nextChunkPos;
    at.end = end;
    at.listType = innerListType(walk);
    const ChainRepair repair = findChainRepair(content, at, app.avi.facts, &indexPlaces(content, run));
    if (repair.verdict == ChainVerdict::SizeRight) return false;
    if (repair.verdict == ChainVerdict::NotFound) {
        recordFinding(app, c.currentChunkPos, "   Chunk-Size not repaired: no Chunk found after it !");
        return false;
    }
    if (!repairWanted(app, run)) {
        recordFinding(app, c.currentChunkPos, "   Chunk-Size not repaired !");
        return true;
    }
    if (storeSize(app, content, c.currentChunkPos, repair) != 0) return true;
    c.chunkSize = repair.newSize;
    c.nextChunkPos = repair.found;
    return false;
}

// Damage of the chunk the walk stands on. Result true when the walk ends.
bool damageEndsWalk(AppState& app, MainFileContent& content, WalkRun& run, int* result) {
    ChainWalk& walk = app.avi.walk;
    ChunkCursor& c = walk.cursor;
    if (!chunkFitsChain(walk, app.avi.facts)) {
        const Mend mend = mendChain(app, content, run);
        if (mend == Mend::Ended) {
            *result = 1;
            return true;
        }
        if (mend == Mend::Unchanged) return false;
    }
    if (chunkPassesListEnd(walk, content.size())) {
        if (mendOverrun(app, content, run)) {
            *result = 1;
            return true;
        }
    } else if (chunkDataEnd(c) > content.size()) {
        recordFinding(app, c.currentChunkPos, "   " + chunkName(c.chunkId, c.listType) + " runs past End of File !");
    }
    return false;
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
        const ChunkCursor& c = walk.cursor;
        // "Scan Avi" ends at the movi list: what lies behind it is not its part.
        if (run.kind == WalkKind::Structure && c.chunkId == kList && c.listType == fourCc("movi")) break;
        if (damageEndsWalk(app, content, run, &result)) break;
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
    WalkRun run{WalkKind::Play, 0, false, std::nullopt};
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

// A file with more than one audio stream (a PCM and an MP3 track, say):
// 'Play' Audio asks which one it steps through, the one found first chosen.
constexpr int kAudioStreamOk = 1, kAudioStreamCancel = 2, kAudioStreamFirst = 100;

int chooseAudioStream(AppState& app) {
    MainFileContent content(app);
    const StreamList streams = listStreams(content);
    DialogDescription d;
    d.title = "Audio Stream";
    d.okId = kAudioStreamOk;
    d.cancelId = kAudioStreamCancel;
    int audio = 0;
    for (int n = 0; n < streams.count; ++n) {
        const StreamEntry& s = streams.streams[n];
        if (s.type != fourCc("auds")) continue;
        char label[32];
        std::snprintf(label, sizeof label, "Stream %02d: %s", n, fourCcText(s.id).c_str());
        DialogControl c = dialogControl(kAudioStreamFirst + n, ControlKind::Radio, label, 0, audio++);
        c.group = 1;
        c.checked = app.avi.facts.audioIdKnown && s.id == app.avi.facts.audioDataId;
        d.controls.push_back(c);
    }
    if (audio < 2) return 0;
    d.controls.push_back(dialogControl(kAudioStreamOk, ControlKind::Button, "OK", 0, audio));
    d.controls.push_back(dialogControl(kAudioStreamCancel, ControlKind::Button, "CANCEL", 1, audio));
    if (app.platform->runDialog(d) != kAudioStreamOk) return 1;
    for (const DialogControl& c : d.controls) {
        if (c.kind != ControlKind::Radio || !c.checked) continue;
        app.avi.facts.audioDataId = streams.streams[c.id - kAudioStreamFirst].id;
        app.avi.facts.audioIdKnown = true;
    }
    return 0;
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
    WalkRun run{WalkKind::Structure, 0, false, std::nullopt};
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
    if (!video && chooseAudioStream(app) != 0) return 1;
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
    WalkRun run{WalkKind::Repair, 0, false, std::nullopt};
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
