#include "search/search_pass.h"

#include "journal/journal_overlay.h"

namespace quorby {
namespace {

constexpr FilePos kSector = 512;

constexpr FilePos roundDown(FilePos p) { return p & ~(kSector - 1); }
constexpr FilePos roundUp(FilePos p) { return roundDown(p + kSector - 1); }

// Reads [pos, pos + want) into the block; returns the bytes delivered, or
// nothing when the source asks to stop after a failure (*stop is set).
// `gaps` receives the unreadable parts.
std::uint32_t readBlock(const SearchSource& source, FilePos pos, std::uint32_t want, std::uint8_t* block,
                        ReadGaps& gaps, bool* stop) {
    *stop = false;
    gaps.count = 0;
    std::uint32_t done = 0;
    if (want == 0) return 0;
    const int failed = source.unreadable != nullptr
                           ? salvageRead(*source.files, source.handle, *source.unreadable, pos, block, want, &done, &gaps)
                           : source.files->readAt(source.handle, pos, block, want, &done);
    if (failed != 0 && source.readFailed) {
        *stop = source.readFailed(source.context);
    }
    return done <= want ? done : want;
}

int layChanges(SearchState& state, const SearchSource& source, bool forward, FilePos blockStart, std::uint8_t* block,
               std::uint32_t count, ReadGaps& gaps, FilePos* chainEntry) {
    if (!state.overlayJournal || source.journal == nullptr || count == 0) return 0;
    if (state.chainFromEnd) {
        state.forwardChainPos = source.journal->header.first;
        state.backwardChainPos = source.journal->header.lastPtr;
        state.chainFromEnd = false;
    }
    FilePos& chainPos = forward ? state.forwardChainPos : state.backwardChainPos;
    *chainEntry = chainPos;
    const OverlayLaid laid{gaps.count != 0 ? coverGapOf : nullptr, &gaps};
    return overlayJournalChanges(*source.journal, *source.journalWindow, chainPos, forward, blockStart, block, count,
                                 state.journalWindowToken, laid);
}

// Lays the journal's changes over the block; a change over an unreadable
// sector makes those bytes searchable. The gaps left are counted as skipped.
// *chainEntry receives the walk's position before it (where a search of the
// same block has to begin again). Result 1 when the Journal File could not
// be read (reported through its reporter): the block no longer shows what
// the view does.
int overlay(SearchState& state, const SearchSource& source, bool forward, FilePos blockStart, std::uint8_t* block,
            std::uint32_t count, ReadGaps& gaps, FilePos* chainEntry) {
    const int result = layChanges(state, source, forward, blockStart, block, count, gaps, chainEntry);
    if (gaps.count != 0 && source.skipped != nullptr) addGapsAt(*source.skipped, blockStart, gaps);
    return result;
}

PassResult found(SearchState& state, FilePos pos, bool forward, FilePos chainEntry) {
    state.foundPos = pos;
    // The next search reads this block again (or one within it): its walk
    // has to begin where this block's walk began.
    if (state.overlayJournal && !state.chainFromEnd) {
        (forward ? state.forwardChainPos : state.backwardChainPos) = chainEntry;
    }
    if (forward) {
        state.startPos = pos + 1;
        state.blockPos = roundDown(state.startPos);
    } else {
        state.startPos = pos + state.patternLength - 1;
        state.blockPos = roundUp(state.startPos);
    }
    state.searchMode = (state.searchMode & ~(kSearchMore | kSearchAtEnd)) | kSearchLastFound;
    return PassResult::Found;
}

PassResult atEnd(SearchState& state) {
    state.searchMode = (state.searchMode & ~kSearchMore) | kSearchAtEnd;
    return PassResult::AtEnd;
}

PassResult more(SearchState& state) {
    state.searchMode = (state.searchMode & ~kSearchAtEnd) | kSearchMore;
    return PassResult::More;
}

// The block a forward pass reads at state.blockPos, with the journal's
// changes laid over it.
struct ForwardBlock {
    std::uint32_t count = 0;  // the bytes delivered
    ReadGaps gaps;
    FilePos chainEntry = kEmptyPtr;
    bool last = false;  // the file ends within it
};

// False when the pass has to stop (a failed read the source stops at, or a
// Journal File that could not be read).
bool readForwardBlock(SearchState& state, const SearchSource& source, std::uint8_t* block, ForwardBlock& b) {
    const FilePos remaining = source.fileSize - state.blockPos;
    const std::uint32_t size = source.blockSize;
    const std::uint32_t want = remaining < size ? std::uint32_t(remaining) : size;
    // Whether more blocks follow is a matter of the file's size, not of what
    // a failing read delivered.
    b.last = want < size || state.blockPos + want >= source.fileSize;
    bool stop = false;
    b.count = readBlock(source, state.blockPos, want, block, b.gaps, &stop);
    return !stop && overlay(state, source, true, state.blockPos, block, b.count, b.gaps, &b.chainEntry) == 0;
}

PassResult forwardPass(SearchState& state, const SearchSource& source, std::uint8_t* block) {
    if (state.blockPos >= source.fileSize) return atEnd(state);
    ForwardBlock b;
    if (!readForwardBlock(state, source, block, b)) return PassResult::Stopped;

    const FilePos from = state.startPos > state.blockPos ? state.startPos - state.blockPos : 0;
    // Each readable stretch on its own: no match lies across an unreadable byte.
    std::uint32_t runStart = 0, runEnd = 0;
    for (FilePos at = from; at < b.count && nextReadableRun(b.gaps, std::uint32_t(at), b.count, &runStart, &runEnd);
         at = runEnd) {
        const std::uint32_t match = scanForward(state.scan, block, runStart, runEnd);
        if (match != kNoMatch) return found(state, state.blockPos + match, true, b.chainEntry);
    }
    if (b.last) return atEnd(state);
    state.blockPos += source.blockSize - kSector;  // the blocks overlap by 512 bytes
    state.startPos = state.blockPos + kSector + 1 - state.patternLength;
    return more(state);
}

PassResult backwardPass(SearchState& state, const SearchSource& source, std::uint8_t* block) {
    if (state.blockPos == 0) return atEnd(state);
    const FilePos size = source.blockSize;
    const FilePos blockStart = state.blockPos > size ? state.blockPos - size : 0;
    const FilePos blockEnd = state.blockPos < source.fileSize ? state.blockPos : source.fileSize;
    const std::uint32_t want = blockEnd > blockStart ? std::uint32_t(blockEnd - blockStart) : 0;
    bool stop = false;
    ReadGaps gaps;
    const std::uint32_t count = readBlock(source, blockStart, want, block, gaps, &stop);
    if (stop) return PassResult::Stopped;
    FilePos chainEntry = kEmptyPtr;
    if (overlay(state, source, false, blockStart, block, count, gaps, &chainEntry) != 0) return PassResult::Stopped;

    // A match must end within the bytes read and below startPos.
    const FilePos limit = state.startPos > blockStart ? state.startPos - blockStart : 0;
    const std::uint32_t end = limit < count ? std::uint32_t(limit) : count;
    // The highest match of the readable stretches below `end`, each on its own.
    std::uint32_t best = kNoMatch;
    std::uint32_t runStart = 0, runEnd = 0;
    for (std::uint32_t at = 0; at < end && nextReadableRun(gaps, at, end, &runStart, &runEnd); at = runEnd) {
        const std::uint32_t match = scanBackward(state.scan, block + runStart, runEnd - runStart);
        if (match != kNoMatch) best = runStart + match;
    }
    if (best != kNoMatch) return found(state, blockStart + best, false, chainEntry);
    if (blockStart == 0) return atEnd(state);
    state.blockPos = blockStart + kSector;
    state.startPos = blockStart + kSector + 1 - state.patternLength;
    return more(state);
}

}  // namespace

PassResult passAllMatches(SearchState& state, const SearchSource& source, std::uint8_t* block, MatchSink sink,
                          void* context, BlockExtent* extent) {
    if (extent) *extent = BlockExtent{state.blockPos, 0};
    if (state.patternLength == 0 || state.scan.length != state.patternLength) return atEnd(state);
    if (source.blockSize < 2 * kSector || source.blockSize % kSector != 0) return PassResult::Stopped;
    if (state.blockPos >= source.fileSize) return atEnd(state);
    ForwardBlock b;
    if (!readForwardBlock(state, source, block, b)) return PassResult::Stopped;
    if (extent) extent->count = b.count;

    // Each readable stretch on its own, and within it one match after the
    // other from the end of the one before.
    FilePos nextFree = state.startPos;  // the first byte a match may take
    const FilePos from = state.startPos > state.blockPos ? state.startPos - state.blockPos : 0;
    std::uint32_t runStart = 0, runEnd = 0;
    for (FilePos at = from; at < b.count && nextReadableRun(b.gaps, std::uint32_t(at), b.count, &runStart, &runEnd);
         at = runEnd) {
        for (std::uint32_t scanFrom = runStart; scanFrom < runEnd;) {
            const std::uint32_t match = scanForward(state.scan, block, scanFrom, runEnd);
            if (match == kNoMatch) break;
            state.foundPos = state.blockPos + match;
            nextFree = state.foundPos + state.patternLength;
            state.searchMode |= kSearchLastFound;
            if (sink(context, state.foundPos)) {
                state.startPos = nextFree;
                state.blockPos = roundDown(nextFree);
                return PassResult::Stopped;
            }
            scanFrom = match + state.patternLength;
        }
    }
    if (b.last) {
        state.startPos = nextFree;
        return atEnd(state);
    }
    state.blockPos += source.blockSize - kSector;  // the blocks overlap by 512 bytes
    const FilePos straddling = state.blockPos + kSector + 1 - state.patternLength;
    state.startPos = straddling > nextFree ? straddling : nextFree;
    return more(state);
}

void takeNewWindowToken(SearchState& state) { state.journalWindowToken = ++state.lastWindowToken; }

void startPositionsFromTop(SearchState& state, FilePos topPos, FilePos fileSize, bool forward) {
    state.chainFromEnd = true;
    takeNewWindowToken(state);
    if (forward) {
        state.startPos = topPos;
        state.blockPos = roundDown(topPos);
    } else if (topPos <= fileSize && fileSize - topPos >= kSector) {
        state.startPos = topPos + kSector;
        state.blockPos = roundUp(state.startPos);
    } else {
        state.startPos = state.blockPos = fileSize;
    }
}

void startPositionsAt(SearchState& state, FilePos pos, FilePos fileSize, bool forward) {
    state.chainFromEnd = true;
    takeNewWindowToken(state);
    if (pos > fileSize) pos = fileSize;
    state.startPos = pos;
    state.blockPos = forward ? roundDown(pos) : roundUp(pos);
    if (!forward && state.blockPos > fileSize) state.blockPos = fileSize;
}

void continueAfterReplacement(SearchState& state, bool forward) {
    state.chainFromEnd = true;
    takeNewWindowToken(state);
    state.startPos = forward ? state.foundPos + state.patternLength : state.foundPos;
    state.blockPos = forward ? roundDown(state.startPos) : roundUp(state.startPos);
    state.lastDirectionDown = forward;
    state.searchMode = (state.searchMode & ~(kSearchMore | kSearchAtEnd)) | kSearchLastFound;
}

void continueFromLastMatch(SearchState& state, bool forward) {
    state.chainFromEnd = true;
    takeNewWindowToken(state);
    state.blockPos = forward ? roundDown(state.startPos) : roundUp(state.startPos);
}

void prepareStatePattern(SearchState& state, bool foldCase) {
    prepareScan(state.scan, state.pattern, state.patternLength, foldCase);
}

PassResult searchPass(SearchState& state, const SearchSource& source, bool forward, std::uint8_t* block) {
    if (state.patternLength == 0 || state.scan.length != state.patternLength) return atEnd(state);
    if (source.blockSize < 2 * kSector || source.blockSize % kSector != 0) return PassResult::Stopped;
    return forward ? forwardPass(state, source, block) : backwardPass(state, source, block);
}

PassResult searchPasses(SearchState& state, const SearchSource& source, bool forward, std::uint8_t* block,
                        bool (*betweenPasses)(void* context), void* context) {
    for (;;) {
        const PassResult r = searchPass(state, source, forward, block);
        if (r != PassResult::More) return r;
        if (betweenPasses && betweenPasses(context)) return r;
    }
}

}  // namespace quorby
