#pragma once
// Marking many versions at once after "Save &File" without undo wrote their
// bytes into the Main File: each gets the Flag that says it shows the Main
// File from now on.
//
// Such a mark needs no pre-image in the rollback file (rule R5 of
// journal/rollback_file.h): the caller syncs the Main File first, so before
// and after the mark the version shows the same bytes, and the 4-byte Flag
// field lies inside one disk sector (a record starts at 1024 + 640 k, so its
// Flag starts at 60, 188, 316 or 444 within a sector), so a crash leaves
// each record in one of the two states. Neighbouring records are rewritten
// in one transfer: read, their Flags changed, written back unchanged
// otherwise.
#include <cstdint>
#include <vector>

#include "journal/journal_file.h"

namespace quorby {

struct FlagMark {
    FilePos jAdr;
    std::uint32_t flag;
};

// Writes every mark. A record held by the running command takes its mark
// among its held bytes instead, so that the held unit, written later, keeps
// it. 1 when a transfer failed (reported); the marks before it are written.
[[nodiscard]] int writeFlagMarks(JournalFile& jf, std::vector<FlagMark>& marks);

}  // namespace quorby
