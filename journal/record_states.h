#pragma once
// The states of a record's Flag word and the steps between them: the state
// codes the edit path writes, the tests undo, redo, storing, writing and the
// version review make (is...), and the rewrites they apply (after..., as...,
// with...). Bits with a meaning of their own are in journal/journal_format.h;
// every other mask of the Flag word lives here and nowhere else.
//
// THE HISTORY (what the user sees; every writer keeps these rules)
//   H1. The history is linear: a list of entries and a position in it. Every
//       step that changes the view or the Main File is one entry: a stored
//       page, a write of a page, the selection or the file, a discard, a
//       restore, a direct-access write. An entry is a group of records that
//       follow each other in the undo order; kFlagUndoGroup on every record
//       but the group's first, kFlagRedoGroup on every record but its last.
//   H2. Undo takes back one entry and brings back both the view and the Main
//       File as they were before it; Redo applies the next entry again
//       exactly. A new entry drops every entry that waited for redo.
//   H3. Two kinds of record carry the history:
//       - a version (kFlagTyped): a page half's content as stored. Undo puts
//         the half's older version back in the address chain (or, with none,
//         shows the Main File); redo puts the version back.
//       - an exchange (kFlagExchange): the Main File's bytes of a half from
//         before a write. It is appended as the half's newest version and
//         shows the Main File. Undo exchanges its data with the Main File's
//         bytes (the Main File gets its earlier content back, the record
//         keeps the written bytes) and lets the older version take the
//         chain place again; redo exchanges once more. An exchange is its
//         own inverse, so a write of a whole half, of a few bytes of it, a
//         direct write and a restore are all taken back and redone exactly.
//   H4. A write of part of a half appends the exchange and, when changes of
//       the half remain unwritten, a version holding them on top
//       (kFlagAppendNext), so the view keeps showing them.
//   H5. undoOptions 0 keeps no undo: writes keep no earlier content and the
//       undo commands and "Restore Original File" say so instead of acting.
//       undoOptions 1 keeps the earlier content of every write; a half
//       stored again while its newest version is a version that was only
//       stored (no kFlagAppendNext) overwrites that version in place and
//       moves its entry to the end of the history, so undo takes the half
//       back to its written or original content. undoOptions 3 appends a
//       version for every store.
//   H6. The original content of a half is the data of its oldest exchange
//       in effect. "Restore Original File" appends, for every half that
//       shows changes or has an exchange in effect, an exchange that gives
//       the Main File that content and shows it: one entry.
//   H7. An undo or redo that cannot write the Main File changes nothing and
//       leaves the position where it was.
//   H8. Everything above lives in the Journal File: quitting and opening
//       again between any two steps changes nothing.
#include <cstdint>

#include "journal/journal_format.h"

namespace quorby {

// A page version stored by typing: in the address chain (0x100000), in
// effect (0x100), not yet in the Main File (0x4), plus 0x1. Undo's test
// F & 0x301304 == 0x100104 and redo's F & 0x523105 == 0x500005 (after the
// undo added 0x400020) both rely on it, and so does the version review.
inline constexpr std::uint32_t kStateStoredVersion = 0x00100105;

// The bits a typed change clears and every new version keeps from the
// in-memory copy: the two group marks.
inline constexpr std::uint32_t kGroupMarks = 0x00040002;

// A record in the address chain that holds the Main File's content from
// before a direct write; the page itself shows the Main File (0x400000,
// 0x20). Undo exchanges the record's data with the Main File's bytes, redo
// exchanges them back.
inline constexpr std::uint32_t kStateSavedBeforeWrite = 0x00633A30;
// Marks such a record: after an exchange it stays in the address chain and
// keeps showing the Main File. A bit no other operation names. The same bit
// marks the exchanges of the history (H3).
inline constexpr std::uint32_t kFlagDirectSaved = 0x02000000;
inline constexpr std::uint32_t kFlagExchange = kFlagDirectSaved;
// A version that stands in the address chain (the view shows it).
inline constexpr std::uint32_t kFlagInChain = 0x00100000;
// An exchange in effect: in the address chain and in effect, showing the
// Main File without marks; its data are the Main File's earlier bytes.
inline constexpr std::uint32_t kStateExchangeApplied = kFlagExchange | kFlagShowMainFile | kFlagInChain |
                                                       kFlagInEffect | kFlagNoChangeMap | kFlagMainContentSaved;


// ---- writing into the Main File ----------------------------------------

// The Main File's content of a page from before its first write, kept as
// the page's oldest version: 0x80000, 0x200000, 0x30 (earlier content
// saved, no valid ChangeMap). Of the written version's bits it keeps those
// outside kEarlierContentDropped. Undo finds it by F & 0x81835 == 0x80030.
inline constexpr std::uint32_t kStateEarlierContent = 0x00280030;
inline constexpr std::uint32_t kEarlierContentDropped = 0x00128B85;
// Every version of a page whose earlier content is in the Journal File.
inline constexpr std::uint32_t kStateEarlierContentKnown = 0x00010010;
// Set on a version whose data an undo wrote back into the Main File.
inline constexpr std::uint32_t kFlagEarlierContentInMain = 0x00800000;

// A version written into the Main File ("reached the Main File": undo's
// test F & 0x331904 == 0x330904 takes the write back first).
inline constexpr std::uint32_t kStateWritten = 0x00A30820;
// The same for a half whose selected changes were all written.
inline constexpr std::uint32_t kStateSelectionWritten = 0x00230820;
// A version written with undo deactivated: nothing of the page's earlier
// content is kept, so the record becomes what an undone typed version is:
// in the address chain, not in effect, shown from the Main File (0x400000)
// without marks (0x20). The state codes 0x633A30 / 0x233A21 left bits
// 0x1000 and 0x200 behind that a later store in place keeps, and undo's
// test F & 0x301304 == 0x100104 then never took that store back.
inline constexpr std::uint32_t kStateWrittenNoUndo = 0x00400020;

// A half whose selection was written while changes outside it remain: with
// "Undo for all Changes" the old version keeps its Flag masked and marked,
// and a new version holds the remaining changes.
inline constexpr std::uint32_t kKeepSplitOld = 0x0FFEFF77;
inline constexpr std::uint32_t kStateSplitOld = 0x00010080;
inline constexpr std::uint32_t kKeepSplitNew = 0x0EDC7777;
inline constexpr std::uint32_t kStateSplitNew = 0x01238808;

// The same with "Undo for all Changes" off: the half keeps its record, its
// ChangeMap holds the remaining changes, and it is in the written state
// (as kStateSelectionWritten, but with a valid ChangeMap), so that undo
// takes the write back first. The state code 0x1B200 matched none of
// undo's tests: undo passed over the record and the Main File kept the
// written bytes.
inline constexpr std::uint32_t kKeepPartlyWritten = 0x0F7E4DFF;
inline constexpr std::uint32_t kStatePartlyWritten = 0x00230800;

// "Restore Original File": the chain record of every restored page shows
// the Main File again, without changed marks. (0x1200 beside 0x400000
// would hide an earlier-content record that sits in the chain from undo's
// test F & 0x81835 == 0x80030, and a version stored over such a record in
// place from undo's test F & 0x301304 == 0x100104.)
inline constexpr std::uint32_t kStateRestored = 0x00400020;


// ---- bits and pairs of bits -------------------------------------------------

// Typed content: a version stored from typing or an exchange's typed bytes.
inline constexpr std::uint32_t kFlagTyped = 0x00000001;
// An older version standing in the address chain for its undone newer one.
inline constexpr std::uint32_t kFlagChainStandIn = 0x00000008;
// A written version's mark of having reached the Main File (see isWrittenVersion).
inline constexpr std::uint32_t kFlagWrittenMark = 0x00200000;
// The page shows the Main File's bytes, without changed marks.
inline constexpr std::uint32_t kShowsMainFile = kFlagShowMainFile | kFlagNoChangeMap;
// The review shows a version without its changed marks.
inline constexpr std::uint32_t kReviewUnmarked = 0x00020020;
// The marks of the record itself, kept outside the state code.
inline constexpr std::uint32_t kRecordOwnMarks = 0xFF000000;

// ---- tests ---------------------------------------------------------------

constexpr bool isTyped(std::uint32_t f) { return (f & kFlagTyped) != 0; }
constexpr bool isDirectSaved(std::uint32_t f) { return (f & kFlagDirectSaved) != 0; }
constexpr bool showsMainFile(std::uint32_t f) { return (f & kFlagShowMainFile) != 0; }
constexpr bool hasEarlierContentSaved(std::uint32_t f) { return (f & kFlagMainContentSaved) != 0; }
constexpr bool appendsNextVersion(std::uint32_t f) { return (f & kFlagAppendNext) != 0; }
constexpr bool isRestoreVisited(std::uint32_t f) { return (f & kFlagRestoreVisited) != 0; }
constexpr bool hasUndoGroup(std::uint32_t f) { return (f & kFlagUndoGroup) != 0; }
constexpr bool hasRedoGroup(std::uint32_t f) { return (f & kFlagRedoGroup) != 0; }
constexpr bool hasNoChangeMap(std::uint32_t f) { return (f & kFlagNoChangeMap) != 0; }

// A version whose data are the page's current content and are not yet (or
// not known to be) in the Main File. A record that an undo turned back to
// the Main File's content keeps kFlagUnwritten, but writing its data would
// bring the undone change back.
constexpr bool holdsContentToWrite(std::uint32_t f) {
    return (f & (kFlagUnwritten | kFlagShowMainFile)) == kFlagUnwritten;
}

// The Main File's content of a page from before its first write
// (kStateEarlierContent, with or without marks): appended, not in effect.
constexpr bool isEarlierContentRecord(std::uint32_t f) { return (f & 0x81835u) == 0x80030u; }
// ... and no undo has written it back into the Main File yet.
constexpr bool isEarlierContentStillOut(std::uint32_t f) {
    return isEarlierContentRecord(f) && (f & kFlagEarlierContentInMain) == 0;
}

// A version in effect in the address chain whose data reached the Main File
// (kStateWritten): undo takes the write back first.
constexpr bool isWrittenVersion(std::uint32_t f) { return (f & 0x331904u) == 0x330904u; }
// A written version, in effect or not: its data are what the Main File held
// before any newer write.
constexpr bool wasWrittenIntoMain(std::uint32_t f) { return (f & 0x331804u) == 0x330804u; }
// An older version that holds the Main File's content from before a write.
constexpr bool holdsEarlierMainContent(std::uint32_t f) {
    return wasWrittenIntoMain(f) || isEarlierContentRecord(f);
}

// A typed version in effect in the address chain, not in the Main File
// (kStateStoredVersion and what a store in place keeps): undo takes it back.
constexpr bool isUndoableStoredVersion(std::uint32_t f) { return (f & 0x301304u) == 0x100104u; }
// A record that shows the Main File or knows its earlier content: the
// records of a direct write. Undo leaves any other state of these alone.
constexpr bool concernsMainFileContent(std::uint32_t f) { return (f & 0x410000u) != 0; }
// The Main File's content saved before a direct write (kStateSavedBeforeWrite):
// undo exchanges it with the Main File's bytes.
constexpr bool isUndoableDirectSave(std::uint32_t f) { return (f & 0x633A31u) == 0x633A30u; }
// A direct save whose undo put the earlier bytes back: the record holds the
// typed bytes, and redo exchanges them again.
constexpr bool isRedoableDirectSave(std::uint32_t f) { return (f & 0x633A31u) == 0x3A01u; }
// Typed bytes exchanged with the Main File without the written bit: undo
// only shows the Main File again (isRedoableExchange), redo exchanges.
constexpr bool isUndoableExchange(std::uint32_t f) { return (f & 0x633A31u) == 0x3201u; }
constexpr bool isRedoableExchange(std::uint32_t f) { return (f & 0x633A31u) == 0x403221u; }

// The state redo tests: a direct-saved record stays in the address chain
// and shows the Main File throughout, so those bits are left out.
constexpr std::uint32_t redoTestState(std::uint32_t f) { return isDirectSaved(f) ? f & ~kShowsMainFile : f; }
// An undone version whose write an earlier undo took back, out of the
// chain: redo puts it back in place of its older version, group by group.
constexpr bool isRedoableTakenBackVersion(std::uint32_t t) { return (t & 0x331904u) == 0x10804u; }
// A version in effect whose write an undo took back: redo writes it again.
constexpr bool isWriteTakenBack(std::uint32_t t) { return (t & 0x333904u) == 0x110904u; }
// An undone version out of the chain whose older version took its place:
// redo puts it back.
constexpr bool isRedoableReplacedVersion(std::uint32_t t) { return (t & 0x102104u) == 0x4u; }
// The undone only version of a page, still in the chain and showing the
// Main File: redo puts it in effect again.
constexpr bool isRedoableStoredVersion(std::uint32_t t) { return (t & 0x523105u) == 0x500005u; }

// Restore Original File writes neither typed versions nor those it visited.
constexpr bool skippedByRestore(std::uint32_t f) { return (f & (kFlagTyped | kFlagRestoreVisited)) != 0; }

// ---- tests of the page-version review (F2) and preview (F4) -------------

// The current version in the chain, written or not: F4 shows it unmarked.
constexpr bool isPreviewedCurrentVersion(std::uint32_t f) {
    return (f & 0x32B984u) == 0x300904u || (f & 0x32B984u) == 0x100904u;
}
// An undone version showing the Main File: F4 reads its record again.
constexpr bool isPreviewReloadedVersion(std::uint32_t f) { return (f & 0x52B185u) == 0x500005u; }
// A direct save shown by a review step: F4 shows the Main File.
constexpr bool isReviewedDirectSave(std::uint32_t f) { return (f & 0x633A00u) == 0x213A00u; }
// An exchange shown from the Main File by F2: F4 maps it from the journal.
constexpr bool isReviewedExchangeShownFromMain(std::uint32_t f) { return (f & 0x633F31u) == 0x413731u; }
// An exchange taken out of effect: F4 puts it back in effect.
constexpr bool isPreviewedExchangeOutOfEffect(std::uint32_t f) { return (f & 0x633F31u) == 0x13611u; }
// A written version F2 can show with its marks (each half has its own test).
constexpr bool isReviewRestorable(std::uint32_t f, int half) {
    return half == 0 ? (f & 0x33B904u) == 0x330904u : (f & 0x339B24u) == 0x330924u;
}
// A direct save shown from the Main File: F2 maps its saved bytes.
constexpr bool isDirectSaveShownFromMain(std::uint32_t f) { return (f & 0x433A00u) == 0x433A00u; }
// The page's oldest typed version: F2 can show the Main File's content
// from before it once.
constexpr bool isOldestStoredVersion(std::uint32_t f) { return (f & 0x322135u) == 0x100105u; }
// A version reached by walking newer that F4 had shown unmarked.
constexpr bool isNewerWalkUnmarked(std::uint32_t f) { return (f & 0x323904u) == 0x320904u; }

// ---- the history's records (H3-H5) -------------------------------------------

constexpr bool isExchange(std::uint32_t f) { return (f & kFlagExchange) != 0; }
constexpr bool isExchangeInEffect(std::uint32_t f) { return isExchange(f) && (f & kFlagInEffect) != 0; }
// An exchange taken back: out of effect; out of the address chain when an
// older version took its place there.
constexpr std::uint32_t asExchangeUndone(std::uint32_t f, bool staysInChain) {
    f &= ~kFlagInEffect;
    return staysInChain ? f : f & ~kFlagInChain;
}
constexpr std::uint32_t asExchangeApplied(std::uint32_t f) { return f | kFlagInEffect | kFlagInChain; }
// H5: with undoOptions 0 or 1 a store overwrites the half's newest version
// in place when that is a version that was only stored.
constexpr bool storesInPlace(std::uint32_t f) { return isTyped(f) && !isExchange(f) && !appendsNextVersion(f); }

// ---- rewrites ---------------------------------------------------------------

constexpr std::uint32_t withoutGroupMarks(std::uint32_t f) { return f & ~kGroupMarks; }
constexpr std::uint32_t withUndoGroup(std::uint32_t f) { return f | kFlagUndoGroup; }
constexpr std::uint32_t withRedoGroup(std::uint32_t f) { return f | kFlagRedoGroup; }
constexpr std::uint32_t withoutRedoGroup(std::uint32_t f) { return f & ~kFlagRedoGroup; }
constexpr std::uint32_t asRestoreVisited(std::uint32_t f) { return f | kFlagRestoreVisited; }
constexpr std::uint32_t withoutRestoreVisited(std::uint32_t f) { return f & ~kFlagRestoreVisited; }
constexpr std::uint32_t showingMainFile(std::uint32_t f) { return f | kShowsMainFile; }
constexpr std::uint32_t showingJournal(std::uint32_t f) { return f & ~kShowsMainFile; }

// Storing.
// A new page's first version, keeping the group marks of the copy.
constexpr std::uint32_t newStoredPage(std::uint32_t copy) { return (copy & kGroupMarks) | kStateStoredVersion; }
// A new version appended over `present`; the page's saved earlier content
// stays the oldest version, so a later write does not save a newer one.
constexpr std::uint32_t newStoredVersion(std::uint32_t present) {
    return (present & (kGroupMarks | kFlagMainContentSaved)) | kStateStoredVersion | kFlagNotInUndoOrder;
}
// The present version below a newly appended one: it no longer stands in
// the chain and loses its own marks; a written version stays marked
// written, so that undoing it later takes the write back first.
constexpr std::uint32_t asOlderVersion(std::uint32_t f) {
    const std::uint32_t keep = isWrittenVersion(f) ? kFlagWrittenMark : 0u;
    f &= ~((kFlagChainStandIn | kFlagWrittenMark) & ~keep);
    return f & ~(kRecordOwnMarks & ~kFlagExchange);
}
// The newest version stored again in place: once more its page's unwritten
// current version; an untyped one no longer has its earlier content saved.
constexpr std::uint32_t afterStoreInPlace(std::uint32_t f) {
    if (!isTyped(f)) f &= ~kFlagMainContentSaved;
    f &= ~kFlagShowMainFile;
    f |= kFlagInEffect | 0x400u;
    f &= ~0xE20820u;  // written back, shown from the Main File, written, review marks, no ChangeMap
    f |= 0x100004u;   // in the chain, unwritten
    return f & ~kFlagDirectSaved;
}
// The Main File's bytes saved before a direct write: a new record, or the
// page's record rewritten in place (the next store then appends).
constexpr std::uint32_t newDirectSave(std::uint32_t copy) {
    return (copy & kGroupMarks) | kStateSavedBeforeWrite | kFlagDirectSaved;
}
constexpr std::uint32_t asDirectSaveInPlace(std::uint32_t copy) { return newDirectSave(copy) | kFlagAppendNext; }

// Writing into the Main File.
constexpr std::uint32_t afterWrite(std::uint32_t f, bool undoKept) {
    return undoKept ? f | kStateWritten : (f & ~kFlagInEffect) | kStateWrittenNoUndo;
}
constexpr std::uint32_t asSelectionWritten(std::uint32_t f) { return f | kStateSelectionWritten; }
constexpr std::uint32_t asPartlyWritten(std::uint32_t f) { return (f & kKeepPartlyWritten) | kStatePartlyWritten; }
constexpr std::uint32_t asSplitOld(std::uint32_t f) { return (f & kKeepSplitOld) | kStateSplitOld; }
constexpr std::uint32_t asSplitNew(std::uint32_t f) { return (f & kKeepSplitNew) | kStateSplitNew; }
// The earlier-content record saved from the Main File before writing a
// version with Flag `f`; it starts without the record's own marks.
constexpr std::uint32_t newEarlierContentRecord(std::uint32_t f) {
    return (f & ~kRecordOwnMarks & ~(kEarlierContentDropped | kGroupMarks)) | kStateEarlierContent |
           kFlagNotInUndoOrder;
}
// A version whose page's earlier content is now in the Journal File; an
// older one of them is no longer the one written back.
constexpr std::uint32_t asEarlierContentKnown(std::uint32_t f) { return f | kStateEarlierContentKnown; }
constexpr std::uint32_t asOlderEarlierContentKnown(std::uint32_t f) {
    return asEarlierContentKnown(f) & ~kFlagEarlierContentInMain;
}
// Restore Original File: a copy of a restored version joining the undo
// order, and the page's chain record afterwards.
constexpr std::uint32_t newRestoreCopy(std::uint32_t f) { return withoutRestoreVisited(f) | kFlagNotInUndoOrder; }
constexpr std::uint32_t asRestored(std::uint32_t f) { return f | kStateRestored; }

// Undo.
// The written version whose write was taken back: it leaves the written
// state even when no earlier content could be written back, or every later
// undo would stop at it again.
constexpr std::uint32_t afterWriteTakenBack(std::uint32_t f) { return f & 0xF5DFFDFu; }
// The older version whose data an undo wrote back into the Main File.
constexpr std::uint32_t asWrittenBack(std::uint32_t f) { return f | kFlagEarlierContentInMain; }
// The only version of a page undone: it stays in the chain, out of effect,
// showing the Main File.
constexpr std::uint32_t afterUndoOfOnlyVersion(std::uint32_t f) { return showingMainFile(f & ~kFlagInEffect); }
// A version undone in favour of its older version: out of the chain and
// out of effect.
constexpr std::uint32_t afterUndoOfVersion(std::uint32_t f) { return f & 0xFEFFEF7u; }
// The older version taking the undone one's place in the chain. An earlier
// content that a later write replaced, and no undo wrote back, means the
// page's content now is what the Main File holds.
constexpr std::uint32_t afterTakingChainPlace(std::uint32_t f) {
    f |= kFlagChainStandIn;
    return isEarlierContentStillOut(f) ? showingMainFile(f) : f;
}
// The older version giving the chain place back on redo.
constexpr std::uint32_t afterGivingChainPlace(std::uint32_t f) { return f & ~kFlagChainStandIn; }
// A direct save undone by the exchange: it holds the typed bytes; a
// direct-saved record keeps showing the Main File.
constexpr std::uint32_t afterDirectSaveUndo(std::uint32_t f) {
    const std::uint32_t r = (f & 0xF9CFFCEu) | kFlagTyped;
    return isDirectSaved(f) ? showingMainFile(r) : r;
}
// Any other undo: out of the chain and out of effect, showing the Main File.
constexpr std::uint32_t afterUndo(std::uint32_t f) { return (f & 0xFAFFEDFu) | kShowsMainFile; }

// Redo (`t` is redoTestState of `f`).
// Back in the chain, in effect.
constexpr std::uint32_t afterRedoIntoChain(std::uint32_t f) { return f | 0x100100u; }
// Written into the Main File again.
constexpr std::uint32_t afterRedoWrite(std::uint32_t f) { return f | 0xA20020u; }
// The only version in effect again, shown from the journal (the mask also
// drops the top four bits, the restore mark among them).
constexpr std::uint32_t afterRedoOfStoredVersion(std::uint32_t f) { return (f & 0xFBFFEDFu) | kFlagInEffect; }
// The exchange redone: shown from the journal again (top four bits dropped).
constexpr std::uint32_t afterExchangeRedo(std::uint32_t f) { return f & 0xFBFFFDFu; }
// The direct save exchanged back: the saved bytes in the record again.
constexpr std::uint32_t afterDirectSaveRedo(std::uint32_t t) { return (t & 0xF9CFFCEu) | 0x630030u; }

// Review (F2) and preview (F4) rewrites of the record copy.
constexpr std::uint32_t asReviewUnmarked(std::uint32_t f) { return f | kReviewUnmarked; }
constexpr std::uint32_t asReviewMarked(std::uint32_t f) { return f & ~kReviewUnmarked; }
// F4's reload: in effect again and shown from the journal.
constexpr std::uint32_t asReloadedInEffect(std::uint32_t f) { return showingJournal(f) | kFlagInEffect; }
// F4 on an undone direct save: shown from the Main File as a reviewed save.
constexpr std::uint32_t asPreviewedUndoneDirectSave(std::uint32_t f) { return f | 0x430020u; }
// F4 on a reviewed direct save: shown from the Main File.
constexpr std::uint32_t asPreviewedDirectSave(std::uint32_t f) {
    return (f & ~kFlagWrittenMark) | kFlagShowMainFile | kReviewUnmarked;
}
// F2 on a direct save shown from the Main File: its saved bytes mapped.
constexpr std::uint32_t asReviewedDirectSave(std::uint32_t f) {
    return (f & ~(kFlagShowMainFile | kReviewUnmarked)) | kFlagWrittenMark;
}
constexpr std::uint32_t asPreviewedInEffect(std::uint32_t f) { return f | kFlagInEffect; }
// F2 past the oldest typed version: the Main File's content shown.
constexpr std::uint32_t asOldestMainFileContent(std::uint32_t f) { return showingMainFile(f & ~kFlagInEffect); }
// F2 walking to an older version whose write was taken back: shown unmarked
// with its written mark.
constexpr std::uint32_t asOlderWalkTakenBack(std::uint32_t f) { return f | kFlagWrittenMark | kReviewUnmarked; }

}  // namespace quorby
