#include <gtest/gtest.h>

#include "journal/record_states.h"

namespace quorby {
namespace {

// A page typed and stored, the Enter key's first version of it.
constexpr std::uint32_t kTyped = kStateStoredVersion;

TEST(RecordStates, TypedVersionIsUndoneAndRedoneToItself) {
    EXPECT_TRUE(isUndoableStoredVersion(kTyped));
    EXPECT_FALSE(isWrittenVersion(kTyped));
    EXPECT_FALSE(isEarlierContentRecord(kTyped));
    EXPECT_TRUE(holdsContentToWrite(kTyped));
    EXPECT_FALSE(showsMainFile(kTyped));

    // The page's only version: undo shows the Main File again, redo brings
    // back exactly the state before.
    const std::uint32_t undone = afterUndoOfOnlyVersion(kTyped);
    EXPECT_FALSE(isUndoableStoredVersion(undone));
    EXPECT_TRUE(showsMainFile(undone));
    EXPECT_FALSE(holdsContentToWrite(undone));
    EXPECT_TRUE(isRedoableStoredVersion(redoTestState(undone)));
    EXPECT_EQ(afterRedoOfStoredVersion(undone), kTyped);

    // A version with an older one: it leaves the chain to the older version.
    const std::uint32_t replaced = afterUndoOfVersion(kTyped);
    EXPECT_FALSE(isUndoableStoredVersion(replaced));
    EXPECT_FALSE(isRedoableStoredVersion(redoTestState(replaced)));
    EXPECT_TRUE(isRedoableReplacedVersion(redoTestState(replaced)));
    EXPECT_EQ(afterRedoIntoChain(replaced), kTyped);
    // The older version standing in for it gives the place back on redo.
    const std::uint32_t older = asOlderVersion(kTyped);
    EXPECT_EQ(afterGivingChainPlace(afterTakingChainPlace(older)), older);

    // Stored again in place: still the page's undoable current version.
    EXPECT_TRUE(isUndoableStoredVersion(afterStoreInPlace(kTyped)));
    EXPECT_TRUE(holdsContentToWrite(afterStoreInPlace(kTyped)));
}

TEST(RecordStates, WrittenVersionsTakeTheWriteBackFirst) {
    const std::uint32_t written = afterWrite(asEarlierContentKnown(kTyped), true);
    EXPECT_TRUE(isWrittenVersion(written));
    EXPECT_FALSE(isUndoableStoredVersion(written));
    EXPECT_TRUE(hasEarlierContentSaved(written));

    // The first undo takes the write back: the version is unwritten again,
    // and the next undo takes the version itself back.
    const std::uint32_t takenBack = afterWriteTakenBack(written);
    EXPECT_FALSE(isWrittenVersion(takenBack));
    EXPECT_TRUE(isUndoableStoredVersion(takenBack));
    EXPECT_TRUE(isWriteTakenBack(redoTestState(takenBack)));
    EXPECT_TRUE(isWrittenVersion(afterRedoWrite(takenBack)));

    // Both undone, then both redone: back in the chain, then written again.
    const std::uint32_t undone = afterUndoOfVersion(takenBack);
    EXPECT_TRUE(isRedoableTakenBackVersion(redoTestState(undone)));
    const std::uint32_t redone = afterRedoIntoChain(undone);
    EXPECT_TRUE(isWriteTakenBack(redoTestState(redone)));
    EXPECT_TRUE(isWrittenVersion(afterRedoWrite(redone)));

    // Below a newer version it still counts as the Main File's content from
    // before that version's write; an unwritten version does not.
    EXPECT_TRUE(wasWrittenIntoMain(asOlderVersion(written)));
    EXPECT_TRUE(holdsEarlierMainContent(asOlderVersion(written)));
    EXPECT_FALSE(holdsEarlierMainContent(asOlderVersion(kTyped)));

    // Written selections: all of a half, part of it, or split off with the
    // remaining changes in a version of their own.
    EXPECT_TRUE(isWrittenVersion(asSelectionWritten(kTyped)));
    EXPECT_TRUE(isWrittenVersion(asPartlyWritten(kTyped)));
    EXPECT_FALSE(hasNoChangeMap(asPartlyWritten(kTyped)));
    EXPECT_TRUE(isWrittenVersion(asSplitNew(kTyped)));
    EXPECT_FALSE(isWrittenVersion(asSplitOld(kTyped)));

    // Written with undo deactivated: nothing to take back, but a later
    // store in place is undoable again.
    const std::uint32_t noUndo = afterWrite(kTyped, false);
    EXPECT_FALSE(isWrittenVersion(noUndo));
    EXPECT_FALSE(isUndoableStoredVersion(noUndo));
    EXPECT_TRUE(showsMainFile(noUndo));
    EXPECT_FALSE(holdsContentToWrite(noUndo));
    EXPECT_TRUE(isUndoableStoredVersion(afterStoreInPlace(noUndo)));
}

TEST(RecordStates, EarlierContentRecords) {
    const std::uint32_t marked = kTyped | kGroupMarks | kFlagDirectSaved | kFlagRestoreVisited;
    const std::uint32_t e = newEarlierContentRecord(marked);
    EXPECT_TRUE(isEarlierContentRecord(e));
    EXPECT_TRUE(hasEarlierContentSaved(e));
    EXPECT_TRUE(holdsEarlierMainContent(e));
    EXPECT_FALSE(isUndoableStoredVersion(e));
    EXPECT_FALSE(holdsContentToWrite(e));
    // A new record: not yet linked, without the marks of the version it
    // was saved for.
    EXPECT_NE(e & kFlagNotInUndoOrder, 0u);
    EXPECT_FALSE(hasUndoGroup(e) || hasRedoGroup(e) || isDirectSaved(e) || isRestoreVisited(e));
    for (std::uint32_t f : {kTyped, afterWrite(kTyped, true), kStateSavedBeforeWrite, kStateRestored})
        EXPECT_FALSE(isEarlierContentRecord(f)) << std::hex << f;

    // Back in the chain, it makes the page show the Main File, unless an
    // undo already wrote it back there.
    EXPECT_TRUE(showsMainFile(afterTakingChainPlace(e)));
    EXPECT_TRUE(isEarlierContentRecord(asWrittenBack(e)));
    EXPECT_FALSE(isEarlierContentStillOut(asWrittenBack(e)));
    EXPECT_FALSE(showsMainFile(afterTakingChainPlace(asWrittenBack(e))));
    // Saving a newer earlier content makes the older one no longer written back.
    EXPECT_TRUE(isEarlierContentStillOut(asOlderEarlierContentKnown(asWrittenBack(e))));
}

TEST(RecordStates, DirectWriteExchangesBackAndForth) {
    const std::uint32_t saved = newDirectSave(kGroupMarks);
    EXPECT_TRUE(isUndoableDirectSave(saved));
    EXPECT_TRUE(concernsMainFileContent(saved));
    EXPECT_TRUE(showsMainFile(saved));
    EXPECT_TRUE(isDirectSaved(saved));
    EXPECT_TRUE(hasUndoGroup(saved) && hasRedoGroup(saved));
    EXPECT_FALSE(isUndoableStoredVersion(saved) || isWrittenVersion(saved));
    EXPECT_TRUE(appendsNextVersion(asDirectSaveInPlace(0)));
    EXPECT_FALSE(appendsNextVersion(newDirectSave(0)));

    const std::uint32_t undone = afterDirectSaveUndo(saved);
    EXPECT_FALSE(isUndoableDirectSave(undone));
    EXPECT_TRUE(showsMainFile(undone));  // it stays in the chain, showing the Main File
    EXPECT_TRUE(isTyped(undone));
    EXPECT_TRUE(isRedoableDirectSave(redoTestState(undone)));
    EXPECT_EQ(afterDirectSaveRedo(redoTestState(undone)), saved);
    // Stored over in place, the record is no longer a direct save.
    EXPECT_FALSE(isDirectSaved(afterStoreInPlace(saved)));
}

TEST(RecordStates, GroupAndRestoreMarks) {
    // A typed change clears the group marks; a new version takes them over
    // from the copy, and keeps the page's saved earlier content.
    const std::uint32_t grouped = withRedoGroup(withUndoGroup(kTyped));
    EXPECT_TRUE(hasUndoGroup(grouped) && hasRedoGroup(grouped));
    EXPECT_FALSE(hasUndoGroup(withoutGroupMarks(grouped)) || hasRedoGroup(withoutGroupMarks(grouped)));
    EXPECT_TRUE(hasUndoGroup(withoutRedoGroup(grouped)));
    EXPECT_FALSE(hasRedoGroup(withoutRedoGroup(grouped)));
    const std::uint32_t added = newStoredVersion(asEarlierContentKnown(grouped));
    EXPECT_TRUE(hasUndoGroup(added) && hasRedoGroup(added) && hasEarlierContentSaved(added));
    EXPECT_TRUE(isUndoableStoredVersion(added));
    EXPECT_NE(added & kFlagNotInUndoOrder, 0u);
    EXPECT_FALSE(hasEarlierContentSaved(newStoredPage(asEarlierContentKnown(grouped))));
    EXPECT_TRUE(hasUndoGroup(newStoredPage(grouped)));

    // Restore Original File: typed versions and visited ones are not written;
    // the copy joining the undo order is unvisited and not yet linked.
    const std::uint32_t e = newEarlierContentRecord(kTyped);
    EXPECT_TRUE(skippedByRestore(kTyped));
    EXPECT_FALSE(skippedByRestore(e));
    EXPECT_TRUE(skippedByRestore(asRestoreVisited(e)));
    EXPECT_FALSE(skippedByRestore(withoutRestoreVisited(asRestoreVisited(e))));
    const std::uint32_t copy = newRestoreCopy(asRestoreVisited(e) & ~kFlagNotInUndoOrder);
    EXPECT_FALSE(isRestoreVisited(copy));
    EXPECT_NE(copy & kFlagNotInUndoOrder, 0u);
    EXPECT_TRUE(showsMainFile(asRestored(kTyped)));
    EXPECT_FALSE(holdsContentToWrite(asRestored(kTyped)));
}

}  // namespace
}  // namespace quorby
