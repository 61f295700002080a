#pragma once
// Fitting the journal to a Main File whose length changed: the pages beyond
// a new end leave it, and every version of the page that holds an end
// counts exactly the bytes the file has there.
#include "journal/journal_file.h"

namespace quorby {

// The journal forgets the pages at and beyond `newSize`: they leave the
// address chain, and the undo order (which might step onto them) is emptied
// when there were any. The page that holds the new end counts only the bytes
// before it.
[[nodiscard]] int cutJournalAt(JournalFile& jf, FilePos newSize);

// The page that held the old end counts the added bytes as its own (zeros,
// as the Main File has them), so that they show and take changes.
[[nodiscard]] int extendEndRecord(JournalFile& jf, FilePos oldSize, FilePos newSize);

}  // namespace quorby
