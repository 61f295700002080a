#pragma once
// The find dialog's request and the search engine's working values, both
// kept for the program's whole run.
#include <cstdint>

#include "core/file_pos.h"
#include "search/block_scan.h"
#include "search/hex_pattern.h"
#include "salvage/byte_ranges.h"

namespace quorby {

// The request record of the find dialog.
struct SearchRequest {
    char findText[kFindTextCapacity] = {};  // zero-terminated
    bool directionDown = true;              // forward
    bool matchCase = false;                 // exact text comparison
    bool hideWholeWord = true;              // the dialog never offers "whole word"
    bool hideMatchCase = false;             // set in hex mode
    bool findNext = false;                  // the user asked for the next match
    bool dialogClosing = false;             // the user closed the dialog
    // A search starts at the cursor (backward: just before it) instead of
    // at the first byte shown.
    bool fromCursor = false;
    // Find and Replace: what each match becomes, in the form of the find
    // text (bytes in text mode, hex digits in hex mode); zero-terminated.
    char replaceText[kFindTextCapacity] = {};
};

// searchMode bits
enum SearchModeBit : std::uint32_t {
    kSearchDialogOpen = 1u << 0,  // the dialog was opened and not closed
    kSearchHexMode = 1u << 1,     // hex search chosen
    kSearchLastFound = 1u << 2,   // a search since the dialog was opened found a match
    kSearchMore = 1u << 3,        // a block was searched without a match and more follow
    kSearchAtEnd = 1u << 4,       // no match up to the start or end of the file
};

struct SearchState {
    std::uint32_t searchMode = 0;
    std::uint8_t pattern[kMaxPatternLength] = {};
    std::uint32_t patternLength = 0;  // 0: no usable pattern
    ScanPattern scan;                 // the pattern prepared for the block scan
    bool lastDirectionDown = true;
    // Forward: the first position at which a match may begin. Backward: a
    // match's last byte must lie below it.
    FilePos startPos = 0;
    // A multiple of 512 or the file size. Forward: the next block's start;
    // backward: the next block's end.
    FilePos blockPos = 0;
    FilePos foundPos = 0;      // first byte of the last match
    FilePos savedPagePos = 0;  // the page shown when the search began
    // The unreadable ranges the last search went past.
    ByteRanges skipped;

    // The journal overlay: whether the search lays the Journal File's
    // changes over the blocks, and where its walks along the address chain
    // stand (a record pointer, or empty).
    bool overlayJournal = false;
    FilePos forwardChainPos = kEmptyPtr;
    FilePos backwardChainPos = kEmptyPtr;
    // Set when the search positions moved where the walks' positions do not
    // follow: the next block enters the chain at First (forward) or LastPtr
    // (backward).
    bool chainFromEnd = true;
    // Journal records read for one block serve the next blocks of the same
    // search while nothing can have changed the Journal File (0: never).
    std::uint64_t journalWindowToken = 0;
    std::uint64_t lastWindowToken = 0;  // tokens are never handed out twice

    // With "from cursor": the cursor position when the search positions were
    // last set or a search last ended; a cursor found elsewhere at the next
    // request was moved by the user, and the search starts there.
    FilePos cursorAfterSearch = ~FilePos{0};

    // Counts the search requests run; a request dispatched between two
    // blocks of a running search starts its own, and the running one stops.
    std::uint32_t requestSerial = 0;
    // Set when the find dialog closes: a search running between two blocks
    // stops as after a typed ESC.
    bool stopRequested = false;
};

enum class SearchResult {
    Found,        // the view shows the match, "------- FOUND -------"
    NotFound,     // the page from before, "----- NOT FOUND -----"
    Interrupted,  // ESC, the dialog closed, or a failed read the user cancelled:
                  // the page from before, no outcome line
    Superseded,   // a find request dispatched between blocks ran its own search
    NotRun,       // no Find Next in the request, or the last search ended at the file's end
};

enum class ReplaceResult {
    NotRun,       // no replace request yet
    Done,         // `replacedCount` matches replaced (0: none was there)
    Refused,      // nothing replaced: a replacement of another length, no
                  // usable pattern, or a store the user declined
    Interrupted,  // stopped by ESC or a failed store: `replacedCount` stay
                  // replaced, one entry of the history
};

// What the application keeps of the search from start to exit.
struct SearchSession {
    SearchRequest request;
    SearchState state;
    // The outcome of the last request of the dialog or F3, and its match.
    SearchResult lastResult = SearchResult::NotRun;
    FilePos lastMatch = 0;
    // The find dialog shows Find and Replace (the replacement, Replace and
    // Replace All, the choice of text or hex).
    bool replaceLayout = false;
    // The outcome of the last Replace or Replace All.
    ReplaceResult replaceResult = ReplaceResult::NotRun;
    std::uint64_t replacedCount = 0;
};

}  // namespace quorby
