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

// An exchange (H3); journals of older program versions carry the same bit
// on the Main File's content saved before a direct write, which undo and
// redo exchange the same way.
inline constexpr std::uint32_t kFlagExchange = 0x02000000;
// A version that stands in the address chain (the view shows it).
inline constexpr std::uint32_t kFlagInChain = 0x00100000;
// An exchange in effect: in the address chain and in effect, showing the
// Main File without marks; its data are the Main File's earlier bytes.
inline constexpr std::uint32_t kStateExchangeApplied = kFlagExchange | kFlagShowMainFile | kFlagInChain |
                                                       kFlagInEffect | kFlagNoChangeMap | kFlagMainContentSaved;


// ---- records of journals written by older program versions -------------

// Set on an earlier-content record whose data an undo wrote back into the
// Main File.
inline constexpr std::uint32_t kFlagEarlierContentInMain = 0x00800000;


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
constexpr bool showsMainFile(std::uint32_t f) { return (f & kFlagShowMainFile) != 0; }
constexpr bool appendsNextVersion(std::uint32_t f) { return (f & kFlagAppendNext) != 0; }
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

// The Main File's content of a page from before its first write, as older
// program versions kept it: appended, not in effect.
constexpr bool isEarlierContentRecord(std::uint32_t f) { return (f & 0x81835u) == 0x80030u; }
// ... and no undo has written it back into the Main File yet.
constexpr bool isEarlierContentStillOut(std::uint32_t f) {
    return isEarlierContentRecord(f) && (f & kFlagEarlierContentInMain) == 0;
}

// A version in effect in the address chain whose data reached the Main File,
// as older program versions marked it.
constexpr bool isWrittenVersion(std::uint32_t f) { return (f & 0x331904u) == 0x330904u; }

// A typed version in effect in the address chain, not in the Main File
// (kStateStoredVersion and what a store in place keeps): undo takes it back.
constexpr bool isUndoableStoredVersion(std::uint32_t f) { return (f & 0x301304u) == 0x100104u; }
// A direct save whose undo put the earlier bytes back: the record holds the
// typed bytes, and redo exchanges them again.
constexpr bool isRedoableDirectSave(std::uint32_t f) { return (f & 0x633A31u) == 0x3A01u; }
// Typed bytes exchanged with the Main File without the written bit: undo
// only shows the Main File again (isRedoableExchange), redo exchanges.
constexpr bool isUndoableExchange(std::uint32_t f) { return (f & 0x633A31u) == 0x3201u; }

// A version in effect whose write an undo took back: redo writes it again.
constexpr bool isWriteTakenBack(std::uint32_t t) { return (t & 0x333904u) == 0x110904u; }
// An undone version out of the chain whose older version took its place:
// redo puts it back.
constexpr bool isRedoableReplacedVersion(std::uint32_t t) { return (t & 0x102104u) == 0x4u; }
// The undone only version of a page, still in the chain and showing the
// Main File: redo puts it in effect again.
constexpr bool isRedoableStoredVersion(std::uint32_t t) { return (t & 0x523105u) == 0x500005u; }


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
    return f & ~kFlagExchange;
}


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
// Any other undo: out of the chain and out of effect, showing the Main File.
constexpr std::uint32_t afterUndo(std::uint32_t f) { return (f & 0xFAFFEDFu) | kShowsMainFile; }

// Redo (`t` is redoTestState of `f`).
// Back in the chain, in effect.
constexpr std::uint32_t afterRedoIntoChain(std::uint32_t f) { return f | 0x100100u; }
// The only version in effect again, shown from the journal (the mask also
// drops the top four bits, the restore mark among them).
constexpr std::uint32_t afterRedoOfStoredVersion(std::uint32_t f) { return (f & 0xFBFFEDFu) | kFlagInEffect; }

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
