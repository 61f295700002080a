#pragma once
// What the window shows of the program's state beside the grid: the caption
// (the Main File's name first, "*" while the Journal File holds changes not
// yet written into the Main File) and the overview strip beside the scroll
// bar. Both follow the state at the end of every window event; the changed
// pages come from one walk of the Journal File's address chain, and stores
// keep that walk up to date instead of walking again.
#include <string>

#include "state/app_state.h"

namespace quorby {

struct CheckedChanges;

// The caption for the open Main File: "x.bin* — /home/u/dir — Quorby"; for a
// drive its text ("Drive  A: /dev/sdb1* — Quorby").
std::string mainFileCaption(AppState& app);

// Sets the caption for the open Main File now (opening, another Journal
// File, Save File); the previous walk of the Journal File is dropped first.
void showMainFileCaption(AppState& app);

// True while the Journal File holds changes that "Save &File" would write.
bool holdsUnwrittenChanges(AppState& app);

// The walk of the Journal File is up to date (stores call this before
// storing, then noteStoredPage with the answer).
bool journalChangesCurrent(const AppState& app);
// A page (position of its 512 bytes) was stored: into the Journal File
// (unwritten) or, in direct access, into the Main File with its earlier bytes
// kept (written). Keeps the walk up to date when it was before the store.
void noteStoredPage(AppState& app, FilePos page, bool unwritten, bool wasCurrent);
// Nothing the walk sees changed since it was current: the Journal File's
// header was committed, or exchanges swapped bytes without changing which
// pages are changed or unwritten.
void noteWalkStillCurrent(AppState& app, bool wasCurrent);
// Where the check of a Journal File about to be adopted puts the changed
// pages it finds for the overview strip.
CheckedChanges overviewChangesToCheck(AppState& app);
// The check of the Journal File just adopted found its changed pages in
// app.overview.checkedChanges: the next walk takes them while the Journal
// File and the Main File's length are as they were.
void noteCheckedChanges(AppState& app, const CheckedChanges& changes);
// "Save &File" wrote every change: the same pages stay changed, none is
// unwritten any more. Keeps the walk up to date when it was before.
void noteAllChangesWritten(AppState& app, bool wasCurrent);

// The end of a window event: caption and overview strip follow the state.
void followShownState(AppState& app);

// The first position of bin `bin` of the overview strip, as a page position.
FilePos overviewBinPage(const AppState& app, int bin);

}  // namespace quorby
