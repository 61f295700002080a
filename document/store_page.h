#pragma once
// Storing the typed changes of the shown page pair: into the Journal File
// (journal access), or straight into the Main File (direct access) after the
// Main File's present bytes were saved in the Journal File.
#include "state/app_state.h"

namespace quorby {

// Stores every dirty half of pageBuffer. Result 1 when the store was refused:
// no Main File open, no Journal File to store into, or the user declined (then
// app.edit.pageRefused is set and the typed changes are dropped).
[[nodiscard]] int storePage(AppState& app);

// Stores half 0 or 1 into the Journal File: a new record for a page that has
// none, the newest version overwritten in place (undoOptions without bit 1
// and a newest version that storesInPlace), or a new version appended. The record becomes the
// newest entry of the undo order and the half's record copy follows it.
[[nodiscard]] int storeHalf(AppState& app, int half);

// Direct access: asks "Shall the actual Page be written to File ?" (message
// switch 15), keeps the Main File's present bytes of each dirty half as an
// exchange (unless undoOptions is 0) and writes the half into the Main File.
// Both halves are one entry of the history.
[[nodiscard]] int writePageDirectly(AppState& app);

// Before a command reads the content as the view shows it (a search, a
// compare, a copy with changes, a jump between changes): the typed changes of
// the shown pair are stored. 0 when none remain unstored (stored, or declined
// and dropped), 1 when they could not be stored, so that the command would
// read other bytes than the view shows.
[[nodiscard]] int storeTypedChangesFirst(AppState& app);

// A typed byte: `value` goes into pageBuffer at `index`, its changed bit is
// set and its half is marked as changed by typing (markHalfChanged).
void typeByte(AppState& app, int index, std::uint8_t value);
// Marks half 0 or 1 as changed by typing: clears both group marks of its
// record copy and sets its dirty flag.
void markHalfChanged(AppState& app, int half);

// Between these two, every page stored into the Journal File (or, in direct
// access, written with its earlier bytes kept) joins one entry of the
// history, so one undo takes all of them back (the repairs of an AVI check,
// a paste, a fill). endStoreGroup takes the redo mark from the group's last
// record.
void beginStoreGroup(AppState& app);
[[nodiscard]] int endStoreGroup(AppState& app);

bool pageIsDirty(const AppState& app);
// Drops the typed changes of both halves without storing them.
void dropPageChanges(AppState& app);

}  // namespace quorby
