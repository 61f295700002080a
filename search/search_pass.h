#pragma once
// The search engine: one pass over one block of up to 256 KiB, forward or
// backward, and the positions that carry a search from block to block and
// from one match to the next.
//
// Forward, a match begins at or after startPos; the blocks follow each other
// 256 KiB less 512 bytes apart, so that a match straddling two blocks lies
// wholly in the second. After a match the next search begins one byte after
// its first byte, so overlapping matches are found one by one.
// Backward, a match's last byte lies below startPos; the blocks overlap by
// 512 bytes the same way, and after a match the next search takes the next
// match that ends below the last byte of this one.
#include <cstdint>

#include "core/file_pos.h"
#include "journal/journal_file.h"
#include "journal/journal_overlay.h"
#include "platform/file_io.h"
#include "salvage/sector_reads.h"
#include "search/search_state.h"

namespace quorby {

inline constexpr std::uint32_t kSearchBlockSize = 262144;

// Where a search reads from.
struct SearchSource {
    FileIo* files = nullptr;
    FileHandle handle = kNoFile;
    FilePos fileSize = 0;
    // The Journal File whose changes are laid over each block when
    // state.overlayJournal is set; nullptr for none.
    JournalFile* journal = nullptr;
    JournalOverlayWindow* journalWindow = nullptr;  // required with `journal`
    // The file's known unreadable sectors: with it, every readable sector
    // of a block is searched, unreadable ones are passed over (no match
    // lies across one) and added to `skipped` (optional).
    UnreadableSectors* unreadable = nullptr;
    ByteRanges* skipped = nullptr;
    // Called after a failed read of the Main File (with `unreadable`: one
    // that failed for another reason than unreadable sectors; the pass goes
    // on with the bytes that were read); returns true when the search is to
    // stop.
    bool (*readFailed)(void* context) = nullptr;
    void* context = nullptr;
    // The block size: kSearchBlockSize in the program; smaller blocks (a
    // multiple of 512, at least 1024) let tests cross many block boundaries
    // in small files. The next forward block starts 512 bytes before the end
    // of this one.
    std::uint32_t blockSize = kSearchBlockSize;
};

enum class PassResult {
    Found,    // foundPos is set, startPos and blockPos moved past the match
    More,     // no match in a full block; kSearchMore is set
    AtEnd,    // no match up to the start or end of the file; kSearchAtEnd is set
    Stopped,  // a failed read of the file or of the Journal File ended the search
};

// The Journal File may have changed: its records are read afresh.
void takeNewWindowToken(SearchState& state);

// Start positions from the view's top position (the first byte shown):
// forward the first byte shown is the first candidate; backward the search
// covers the 512 bytes from the top and everything before them, or the whole
// file when fewer than 512 bytes follow the top.
void startPositionsFromTop(SearchState& state, FilePos topPos, FilePos fileSize, bool forward);

// Start positions at a byte (the cursor): forward it is the first
// candidate; backward a match must end before it.
void startPositionsAt(SearchState& state, FilePos pos, FilePos fileSize, bool forward);

// The match at foundPos was replaced: the next search goes on beside it,
// finding neither it nor a match that overlaps it (forward from its end,
// backward a match that ends before its first byte).
void continueAfterReplacement(SearchState& state, bool forward);

// A change of direction after a search that found a match: the search goes
// on from that match (forward from startPos, backward below it).
void continueFromLastMatch(SearchState& state, bool forward);

// Prepares state.scan from state.pattern / patternLength.
void prepareStatePattern(SearchState& state, bool foldCase);

// One pass over the block at state.blockPos, through `block`
// (source.blockSize bytes).
PassResult searchPass(SearchState& state, const SearchSource& source, bool forward, std::uint8_t* block);

// Called with each match of passAllMatches; true stops the pass.
using MatchSink = bool (*)(void* context, FilePos matchPos);

// The bytes of the file a pass left in its block, as the view shows them:
// [pos, pos + count), unreadable sectors as zeros.
struct BlockExtent {
    FilePos pos = 0;
    std::uint32_t count = 0;
};
// Forward only: every match in the block at state.blockPos that begins at
// or after startPos, none overlapping another (after a match the scan goes
// on at its end), each given to `sink` while the block is in `block`.
// More: the block is done and the next one follows, startPos lying at or
// after the last match's end. AtEnd: the file's end (source.fileSize) was
// reached. Stopped: the sink or a failed read stopped it. `extent`
// (optional) tells what the block holds afterwards.
PassResult passAllMatches(SearchState& state, const SearchSource& source, std::uint8_t* block, MatchSink sink,
                          void* context, BlockExtent* extent = nullptr);

// Passes until one ends with something other than More. `betweenPasses`
// (optional) runs after each More; when it returns true the search stops and
// More is returned.
PassResult searchPasses(SearchState& state, const SearchSource& source, bool forward, std::uint8_t* block,
                        bool (*betweenPasses)(void* context) = nullptr, void* context = nullptr);

}  // namespace quorby
