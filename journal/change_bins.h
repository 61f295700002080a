#pragma once
// Where a Journal File's changed pages lie, in a fixed number of bins over
// the Main File: one walk along the address chain (64 bytes per record, the
// Main File is never read), so the result takes the same memory for a
// Journal File of any size.
#include <cstdint>

#include "journal/journal_file.h"

namespace quorby {

struct ChangeBinMarks {
    std::uint8_t changed = 1;    // set in the bin of every page with a record
    std::uint8_t unwritten = 2;  // ... whose current content is not yet in the Main File
};

// Bin of `pos` among `binCount` equal parts of `span` bytes; positions at or
// beyond `span` fall into the last bin.
[[nodiscard]] int binOfPosition(FilePos pos, FilePos span, int binCount);
// The first position of bin `bin`.
FilePos binStart(int bin, FilePos span, int binCount);

// Whether the page's version waits to be written and holds a byte the Main
// File does not have: its ChangeMap has a bit set, or it carries no valid
// ChangeMap. A version stored after its changes were discarded holds none.
// `record` holds its whole header (ChangeMap included).
bool differsFromMainFile(const JournalRecord& record);

// Clears `bins` and walks the address chain once, setting the marks of each
// record's page; *unwrittenPages counts the pages whose current version waits
// to be written and differs from the Main File in at least one byte (its
// ChangeMap), so a page whose changes were discarded does not count. 0, or 1
// when the chain is broken or cannot be read (the bins hold what the walk
// saw up to there).
[[nodiscard]] int walkChangedPages(JournalFile& jf, FilePos span, std::uint8_t* bins, int binCount, const ChangeBinMarks& marks,
                     std::uint64_t* unwrittenPages);

}  // namespace quorby
