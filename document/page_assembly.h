#pragma once
// The single entry point that moves the view to a page pair. The view shows
// the current content: the Main File overlaid with the newest journal version
// of every changed page. Every caller that wants the content at a position
// goes through loadPagePair.
//
// Beside the two record copies (JData1, JData2 in app.records.jData) the
// assembly keeps the cursor records JPrevPtr / JNextPtr, the records just
// below and just above the pair in the address chain, so that moving by a
// page costs at most one or two record-header reads, and a jump beyond the
// changed pages none (journal/chain_segment.h).
#include "state/app_state.h"

namespace quorby {

// Loads the page pair at `pos` (rounded down to a multiple of 512) into the
// view: pending edits of the shown pages are stored first, an active version
// review or original-content view ends, each page comes from its record in
// the address chain (Flag bit 22: from the Main File at its position; bit 5:
// without changed marks) or else from the Main File. The cursor is kept on
// the pair's bytes. Result 0, or 1 after a reported read failure. A failure
// of the Journal File leaves the view and the records as they were.
// A long scan can be stopped with ESC: the pair where it stood is shown then
// (app.view.pagePos tells which).
[[nodiscard]] int loadPagePair(AppState& app, FilePos pos);

bool journalIsOpen(const AppState& app);

// The address chain changed in a way the cursor records cannot follow (the
// chain was cut, another Journal File was opened): the next assembly enters
// the chain at First or LastPtr.
void forgetCursorRecords(AppState& app);
// The cursor records and record copies belong to the shown pair of the open
// Journal File.
bool cursorRecordsCurrent(const AppState& app);

// Opening a Main File with its Journal File: shows the pair, view offset and
// cursor records saved in the journal header. Saved pointers are checked
// before they are used; what does not fit the chain is found anew. The
// caller draws.
[[nodiscard]] int restoreViewFromJournal(AppState& app);

// The view's position and cursor records into the header's saved fields
// (before the header is written when the Journal File is closed).
void saveViewToJournalHeader(AppState& app);

}  // namespace quorby
