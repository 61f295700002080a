#include "avi/structure_walk.h"

#include <string>

namespace quorby {
namespace {

enum class Level { Top, Header, Stream, OpenDml };

struct OpenList {
    Level level;
    FilePos end;
};

constexpr int kMaxDepth = 16;

struct Walk {
    RiffContent& content;
    ChunkCursor& cursor;
    AviFacts& facts;
    AviReport& report;
    OpenList lists[kMaxDepth];
    int depth = 0;
};

constexpr FourCc kList = fourCc("LIST");
constexpr FourCc kRiff = fourCc("RIFF");
constexpr FourCc kJunk = fourCc("JUNK");

// What the loop does after a chunk was looked at.
enum class Next { Step, Enter, End };

const char* indentOf(Level level) {
    switch (level) {
        case Level::Top: return "";
        case Level::Header: return "   ";
        default: return "      ";
    }
}

// A chunk that reaches past the end of the list it lies in (`level`) or of
// the file gets a line saying so: a file cut short (the list it lies in
// reaches past the end too) at the end of the file, otherwise at the chunk.
void reportOverrun(Walk& w, int level) {
    const ChunkCursor& c = w.cursor;
    const FilePos size = w.content.size();
    const FilePos listEnd = w.lists[level].end;
    // The data's end: a missing pad byte after the last chunk is no damage.
    const FilePos end = c.currentChunkPos + 8 + FilePos(c.chunkSize);
    if (end <= listEnd && end <= size) return;
    std::string name = fourCcText(c.chunkId);
    if (c.chunkId == kList) name += " " + fourCcText(c.listType);
    for (char& ch : name)
        if (std::uint8_t(ch) < 0x20 || std::uint8_t(ch) > 0x7E) ch = '.';
    if (end > size && listEnd > size) reportPosLine(w.report, size, "   File ends inside " + name + " !");
    else if (end > size) reportPosLine(w.report, c.currentChunkPos, "   " + name + " runs past End of File !");
    else reportPosLine(w.report, c.currentChunkPos, "   " + name + " runs past End of List !");
}

// A line for a chunk the walk does not name: its own id (a list: "LIST" and
// its type), when it is plausibly a chunk of this list.
Next unnamedChunk(Walk& w) {
    const ChunkCursor& c = w.cursor;
    const FilePos listEnd = w.lists[w.depth - 1].end;
    if (!isPrintableFourCc(c.chunkId)) return Next::End;
    if (c.currentChunkPos + 8 + FilePos(c.chunkSize) > listEnd) {
        reportOverrun(w, w.depth - 1);
        return Next::End;
    }
    std::string label = indentOf(w.lists[w.depth - 1].level) + fourCcText(c.chunkId);
    if (c.chunkId == kList) label += " " + fourCcText(c.listType);
    reportPosLine(w.report, c.currentChunkPos, label);
    return Next::Step;
}

Next enter(Walk& w, Level level, const char* label) {
    reportPosLine(w.report, w.cursor.currentChunkPos, label);
    if (w.depth == kMaxDepth) return Next::Step;
    w.lists[w.depth++] = {level, followingChunkPos(w.cursor.currentChunkPos, w.cursor.chunkSize)};
    return Next::Enter;
}

// The first bytes of a header chunk at the cursor.
void keepHeader(Walk& w, std::uint8_t* out) {
    std::uint32_t got = 0;
    w.content.read(w.cursor.currentChunkPos, out, AviFacts::kHeaderBytes, &got);
}

// Of the first four idx1 entries the first whose id begins with "0" (the
// fourth unchecked): when its offset, taken as a file position, holds its
// chunk id, the offsets are absolute.
void decideIdx1Offsets(Walk& w) {
    const std::uint32_t entries = w.cursor.chunkSize / 16 < 4 ? w.cursor.chunkSize / 16 : 4;
    std::uint8_t head[64] = {};
    std::uint32_t got = 0;
    if (entries == 0 || w.content.read(w.cursor.currentChunkPos + 8, head, 16 * entries, &got) != 0 ||
        got < 16 * entries)
        return;
    std::uint32_t pick = 0;
    while (pick < entries && head[16 * pick] != '0' && pick < 3) ++pick;
    if (pick == entries) return;
    const FourCc id = le32(head + 16 * pick);
    const FilePos offset = le32(head + 16 * pick + 8);
    std::uint8_t there[4] = {};
    if (w.content.read(offset, there, 4, &got) == 0 && got == 4 && le32(there) == id) w.facts.moviBase = 0;
}

Next topChunk(Walk& w) {
    ChunkCursor& c = w.cursor;
    if (c.chunkId == kList) {
        if (c.listType == fourCc("hdrl")) return enter(w, Level::Header, "LIST hdrl");
        if (c.listType == fourCc("movi")) {
            reportPosLine(w.report, c.currentChunkPos, "LIST movi");
            if (w.facts.moviBase == kNoPos) w.facts.moviBase = c.currentChunkPos + 8;
            return Next::Step;
        }
        if (c.listType == fourCc("INFO")) {
            reportPosLine(w.report, c.currentChunkPos, "LIST INFO");
            return Next::Step;
        }
        return unnamedChunk(w);
    }
    if (c.chunkId == kRiff) return enter(w, Level::Top, "RIFF");
    if (c.chunkId == kJunk) {
        reportPosLine(w.report, c.currentChunkPos, "JUNK");
        return Next::Step;
    }
    if (c.chunkId == fourCc("idx1")) {
        reportPosLine(w.report, c.currentChunkPos, "idx1");
        w.facts.idx1Pos = c.currentChunkPos;
        decideIdx1Offsets(w);
        return Next::Step;
    }
    if ((c.chunkId & 0xFFFF) == (fourCc("ix00") & 0xFFFF)) {
        reportPosLine(w.report, c.currentChunkPos, fourCcText(c.chunkId));
        return Next::Step;
    }
    return unnamedChunk(w);
}

Next headerChunk(Walk& w) {
    ChunkCursor& c = w.cursor;
    if (c.chunkId == fourCc("avih")) {
        reportPosLine(w.report, c.currentChunkPos, "   avih");
        keepHeader(w, w.facts.mainHeader);
        w.facts.hasMainHeader = true;
        return Next::Step;
    }
    if (c.chunkId == kList && c.listType == fourCc("strl")) return enter(w, Level::Stream, "   LIST strl");
    if (c.chunkId == kList && c.listType == fourCc("odml")) return enter(w, Level::OpenDml, "   LIST odml");
    if (c.chunkId == kJunk) {
        reportPosLine(w.report, c.currentChunkPos, "   JUNK");
        return Next::Step;
    }
    return unnamedChunk(w);
}

void keepStreamHeader(Walk& w) {
    std::uint8_t header[AviFacts::kHeaderBytes] = {};
    keepHeader(w, header);
    const FourCc type = le32(header + 8);
    std::uint8_t* keep = nullptr;
    if (type == fourCc("vids")) {
        keep = w.facts.videoHeader;
        w.facts.hasVideoHeader = true;
    } else if (type == fourCc("auds")) {
        keep = w.facts.audioHeader;
        w.facts.hasAudioHeader = true;
    }
    if (keep != nullptr)
        for (int i = 0; i < AviFacts::kHeaderBytes; ++i) keep[i] = header[i];
}

void keepSuperIndex(Walk& w) {
    std::uint8_t id[2] = {};
    std::uint32_t got = 0;
    if (w.content.read(w.cursor.currentChunkPos + 16, id, 2, &got) != 0 || got < 2 || id[0] != '0') return;
    if (id[1] == '0' || id[1] == '1') w.facts.superIndexPos[id[1] - '0'] = w.cursor.currentChunkPos;
}

Next streamChunk(Walk& w) {
    ChunkCursor& c = w.cursor;
    const char* label = nullptr;
    if (c.chunkId == fourCc("strh")) {
        label = "      LIST strh";
        keepStreamHeader(w);
    } else if (c.chunkId == fourCc("strf")) {
        label = "      LIST strf";
    } else if (c.chunkId == fourCc("indx")) {
        label = "      LIST indx";
        keepSuperIndex(w);
    } else if (c.chunkId == fourCc("strn")) {
        label = "      LIST strn";
    } else if (c.chunkId == kJunk) {
        label = "      JUNK";
    } else {
        return unnamedChunk(w);
    }
    reportPosLine(w.report, c.currentChunkPos, label);
    return Next::Step;
}

Next openDmlChunk(Walk& w) {
    if (w.cursor.chunkId != fourCc("dmlh")) return unnamedChunk(w);
    reportPosLine(w.report, w.cursor.currentChunkPos, "      LIST dmlh");
    return Next::Step;
}

}  // namespace

int listStructure(RiffContent& content, ChunkCursor& cursor, AviFacts& facts, AviReport& report) {
    facts.moviBase = kNoPos;
    Walk w{content, cursor, facts, report, {}, 0};
    // The file is the outermost list; the walk begins inside its first RIFF.
    std::uint8_t riffSize[4] = {};
    std::uint32_t got = 0;
    content.read(4, riffSize, 4, &got);
    w.lists[w.depth++] = {Level::Top, content.size()};
    w.lists[w.depth++] = {Level::Top, followingChunkPos(0, le32(riffSize))};
    if (startWalk(content, cursor) != 0) return 1;
    for (;;) {
        report.reached(cursor.currentChunkPos);
        if (report.stopRequested()) return 0;
        while (w.depth > 1 && cursor.currentChunkPos >= w.lists[w.depth - 1].end) --w.depth;
        Next next = Next::End;
        switch (w.lists[w.depth - 1].level) {
            case Level::Top: next = topChunk(w); break;
            case Level::Header: next = headerChunk(w); break;
            case Level::Stream: next = streamChunk(w); break;
            case Level::OpenDml: next = openDmlChunk(w); break;
        }
        if (next == Next::End) return 0;
        reportOverrun(w, next == Next::Enter ? w.depth - 2 : w.depth - 1);
        const int failed = next == Next::Enter ? enterListAt(content, cursor, cursor.currentChunkPos)
                                               : readChunkAt(content, cursor);
        if (failed != 0) return 1;
    }
}

}  // namespace quorby
