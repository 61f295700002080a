#include "journal/version_steps.h"

#include "journal/record_states.h"

namespace quorby {

VersionDecision decidePreviewStep(std::uint32_t f, bool hasNewer) {
    if (isPreviewedCurrentVersion(f)) return {VersionStep::Clear, asReviewUnmarked(f)};
    if (isPreviewReloadedVersion(f)) return {VersionStep::ReloadRecord, f};
    if (isRedoableDirectSave(f)) return {VersionStep::Clear, asPreviewedUndoneDirectSave(f)};
    if (isReviewedDirectSave(f)) return {VersionStep::Clear, asPreviewedDirectSave(f)};
    if (isReviewedExchangeShownFromMain(f)) return {VersionStep::Map, showingJournal(f)};
    if (isPreviewedExchangeOutOfEffect(f)) return {VersionStep::Map, asPreviewedInEffect(f)};
    if (!hasNewer) return {VersionStep::Nothing, f};
    return {VersionStep::WalkNewer, f};
}

VersionDecision decideReviewStep(std::uint32_t f, int half, bool hasOlder) {
    if (isReviewRestorable(f, half)) return {VersionStep::Map, asReviewMarked(f)};
    if (isDirectSaveShownFromMain(f)) return {VersionStep::Map, asReviewedDirectSave(f)};
    if (isUndoableExchange(f)) return {VersionStep::Clear, showingMainFile(f)};
    if (!hasOlder) {
        // The oldest version: the Main File's content before all versions
        // can still be shown once.
        if (isOldestStoredVersion(f)) return {VersionStep::MainFileContent, asOldestMainFileContent(f)};
        return {VersionStep::Nothing, f};
    }
    return {VersionStep::WalkOlder, f};
}

std::uint32_t afterReload(std::uint32_t f) { return asReloadedInEffect(f); }

std::uint32_t afterNewerWalk(std::uint32_t f, bool* clearMarks) {
    *clearMarks = hasNoChangeMap(f);
    if (isNewerWalkUnmarked(f)) {
        f = asReviewMarked(f);
        *clearMarks = false;
    }
    return f;
}

std::uint32_t afterOlderWalk(std::uint32_t f, bool* clearMarks) {
    *clearMarks = hasNoChangeMap(f);
    if (isWriteTakenBack(f)) {
        f = asOlderWalkTakenBack(f);
        *clearMarks = true;
    }
    return f;
}

}  // namespace quorby
