#pragma once
// A Journal File left behind by a program that ended in the middle of a
// command: the records appended after the last header commit (at and beyond
// the header's JnlEnd) belong to that unfinished command. Nothing in the
// committed header points at them, but their neighbours may already: the
// links into them are set back (from the appended records' own links, and
// for the last committed record to empty where those records were lost) and
// the file is cut at JnlEnd, so that the Journal File holds exactly the
// commands that were completed.
#include "journal/journal_file.h"

namespace quorby {

// Works on an open Journal File whose header has been read and whose
// journalEnd has been measured. Does nothing when JnlEnd is not a record
// boundary inside the file (a header never committed, or a clean closing),
// except cutting off part of a record whose append was cut short.
// Result 0, or 1 after a reported transfer failure.
[[nodiscard]] int discardUnfinishedCommand(JournalFile& jf);

}  // namespace quorby
