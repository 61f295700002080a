#pragma once
// Before a page half's changes first reach the Main File, the Main File's
// present bytes of that half are kept in the Journal File as the page's
// oldest version, so that undo and "Restore Original File" can bring them
// back.
#include "state/app_state.h"

namespace quorby {

// The earlier-content records appended by one command form one undo group:
// the first has no undo mark, each later one the undo mark, and each one
// before another the redo mark.
struct EarlierContentRun {
    FilePos lastSaved = kEmptyPtr;
    std::uint64_t saved = 0;
};

// True when writing `r` into the Main File must save the earlier content
// first: undo is not deactivated and the page's earlier content is not yet
// in the Journal File (hasEarlierContentSaved).
bool needsEarlierContent(const AppState& app, const JournalRecord& r);

// Appends the Main File's present bytes of r's half (r.anz bytes at
// r.MainAdr) as the oldest version of r's page and links it into the undo
// order. Every older version becomes asOlderEarlierContentKnown; r (the
// copy, its links refreshed) becomes asEarlierContentKnown in memory only: the caller writes r's
// header, after the new record is safe on disk. Result 1 when the Main File
// could not be read or the record not be appended; then nothing may be
// written into the Main File for r. `linksFresh`: r's links were just read.
int saveEarlierContent(AppState& app, JournalRecord& r, EarlierContentRun& run, bool linksFresh = false);

// The end of a command that saved earlier contents: the last record of the
// run loses the redo mark.
int finishEarlierContentRun(AppState& app, EarlierContentRun& run);

// A page whose earlier content was saved before is written again: its
// older versions lose the mark of a past "Restore Original File" run, so
// that the next run restores the page once more.
int clearRestoreMarks(AppState& app, const JournalRecord& r);

}  // namespace quorby
