#pragma once
// `quorby --journal-dump FILE.jnl`: prints a Journal File's header and every
// record, and checks the invariants numbered in journal_format.h. It reads
// record by record through fixed buffers, so journals of any size can be
// inspected.
#include <cstdio>
#include <string>

#include "journal/change_bins.h"
#include "platform/file_io.h"

namespace quorby {

inline constexpr int kDumpAllHold = 0;
inline constexpr int kDumpInvariantFailed = 1;
inline constexpr int kDumpUnreadable = 2;   // usage error, or the file cannot be opened or read

// argv[0] is "--journal-dump", argv[1] the Journal File. Returns the exit
// status: 0 when every invariant holds, 1 when one fails (each failure is
// printed with its number), 2 for a usage error or a file that cannot be read.
[[nodiscard]] int runJournalDump(FileIo& files, int argc, char** argv, std::FILE* out);

// The same through any FileIo (the tests use an in-memory one); with `out`
// nullptr nothing is printed.
[[nodiscard]] int dumpJournal(FileIo& files, const std::string& path, std::FILE* out);

// What the check's walk of the address chain finds for the overview strip,
// as walkChangedPages (journal/change_bins.h) would: `bins` cleared and
// marked over a file of `span` bytes. `walked` tells that the chain was
// walked whole.
struct CheckedChanges {
    FilePos span = 0;
    std::uint8_t* bins = nullptr;
    int binCount = 0;
    ChangeBinMarks marks;
    std::uint64_t unwrittenPages = 0;
    bool walked = false;
};

// The invariants alone, as the opening of a Journal File checks them: the
// dump's result without its printing; with `changes`, the changed pages too.
[[nodiscard]] int checkJournalFile(FileIo& files, const std::string& path, CheckedChanges* changes = nullptr);

}  // namespace quorby
