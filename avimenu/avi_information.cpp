#include "avimenu/avi_information.h"

#include <cstdio>

#include "avi/chain_walk.h"
#include "avi/stream_ids.h"
#include "avimenu/stream_scan.h"
#include "navigate/page_moves.h"
#include "state/avi_content.h"
#include "state/error_report.h"
#include "view/shown_range.h"

namespace quorby {
namespace {

constexpr FourCc kList = fourCc("LIST");

// Right-aligned in 10 characters, leading zeros as blanks: 0 is ten blanks.
std::string number10(std::uint32_t value) {
    char digits[16];
    if (value == 0) return std::string(10, ' ');
    std::snprintf(digits, sizeof digits, "%10u", value);
    return digits;
}

// An id as it stands in the file; zero bytes (an empty handler) as blanks.
std::string idText(FourCc id) {
    std::string text = fourCcText(id);
    for (char& c : text)
        if (c == '\0') c = ' ';
    return text;
}

bool isDataPacket(const AviFacts& facts, FourCc id) {
    return (facts.videoIdKnown && id == facts.videoDataId) || (facts.audioIdKnown && id == facts.audioDataId);
}

}  // namespace

bool streamFactsKnown(const AppState& app) { return app.avi.factsKnown && app.avi.factsOf == app.main.mainName; }

int scanStreamFacts(AppState& app) {
    AviState& avi = app.avi;
    avi.factsKnown = false;
    const FilePos shown = firstShownPos(app);
    const ChunkCursor cursor = avi.cursor;
    MainFileContent content(app);
    int result = scanStructure(app, content);
    if (result == 0 && findStreamIds(content, avi.facts) != 0) {
        showMessageBox(app, "Could not find any StreamIDs!", "no StreamIDs", MsgButtons::Ok, MsgIcon::None);
        result = 1;
    }
    if (result == 0) {
        avi.factsKnown = true;
        avi.factsOf = app.main.mainName;
    }
    avi.cursor = cursor;
    avi.streamStepping = false;
    // The facts stand even when the page cannot be shown (the read failure was reported).
    (void)showFromPosition(app, shown);
    redrawView(app);
    return result;
}

// A stream the "Video Stream:" and "Audio Stream:" lines do not show: its
// type, number and id, the id in the same column.
std::string otherStreamLine(int number, const StreamEntry& s) {
    const FourCc t = s.type;
    std::string label = t == fourCc("vids") || t == fourCc("iavs") ? "Video"
                        : t == fourCc("auds")                     ? "Audio"
                        : t == fourCc("txts")                     ? "Text"
                                                                  : idText(t);
    label += " Stream " + std::string(1, char('0' + number / 10 % 10)) + char('0' + number % 10) + ":";
    if (label.size() < 26) label.append(26 - label.size(), ' ');
    return label + idText(s.id) + "\r\n";
}

std::string aviInformationText(const AviFacts& facts, const StreamList& streams) {
    const std::uint8_t* data = facts.mainHeader + 8;
    const bool header = facts.hasMainHeader;
    std::string text;
    text += "\xB5s pro Frame:       " + number10(header ? le32(data) : 0) + "\r\n";
    text += std::string("interleaved:") + std::string(18, ' ') + (header && (le32(data + 12) & 0x100) ? "ja  " : "nein");
    text += "\r\n";
    text += "Width:" + std::string(21, ' ') + number10(header ? le32(data + 32) : 0) + "\r\n";
    text += "Height:" + std::string(18, ' ') + number10(header ? le32(data + 36) : 0) + "\r\n";
    if (facts.videoIdKnown) text += "Video Stream:" + std::string(13, ' ') + idText(facts.videoDataId) + "\r\n";
    if (facts.audioIdKnown) text += "Audio Stream:" + std::string(13, ' ') + idText(facts.audioDataId) + "\r\n";
    for (int n = 0; n < streams.count; ++n) {
        const FourCc id = streams.streams[n].id;
        const bool shown = (facts.videoIdKnown && id == facts.videoDataId) || (facts.audioIdKnown && id == facts.audioDataId);
        if (!shown) text += otherStreamLine(n, streams.streams[n]);
    }
    text += "Kompression:" + std::string(14, ' ') + idText(facts.videoCompression);
    return text;
}

void aviInformationCommand(AppState& app) {
    if (!aviFileLoaded(app) || app.avi.scanRunning) return;
    if (!streamFactsKnown(app) && scanStreamFacts(app) != 0) return;
    MainFileContent content(app);
    const StreamList streams = listStreams(content);
    showMessageBox(app, aviInformationText(app.avi.facts, streams), "AVI File-Information", MsgButtons::Ok,
                   MsgIcon::None);
}

int gotoFilmStart(AppState& app) {
    AviState& avi = app.avi;
    if (!streamFactsKnown(app) && scanStreamFacts(app) != 0) return 1;
    MainFileContent content(app);
    ChainWalk& walk = avi.walk;
    startChainWalk(walk);
    bool failed = stepChain(content, walk) != 0;
    while (!failed && !isDataPacket(avi.facts, walk.cursor.chunkId)) {
        const ChunkCursor& c = walk.cursor;
        if (c.chunkId == fourCc("RIFF") ||
            (c.chunkId == kList && (c.listType == fourCc("movi") || c.listType == fourCc("rec "))))
            enterChainList(walk);
        failed = stepChain(content, walk) != 0;
    }
    avi.cursor = walk.cursor;
    if (showFromPosition(app, failed ? lastViewStart(app) : walk.cursor.currentChunkPos) != 0) failed = true;
    avi.streamStepping = !failed;
    redrawView(app);
    return failed ? 1 : 0;
}

}  // namespace quorby
