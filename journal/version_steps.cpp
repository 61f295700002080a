#include "journal/version_steps.h"

#include "journal/journal_format.h"

namespace quorby {

namespace {

bool matches(std::uint32_t flag, std::uint32_t mask, std::uint32_t value) { return (flag & mask) == value; }

}  // namespace

VersionDecision decidePreviewStep(std::uint32_t f, bool hasNewer) {
    if (matches(f, 0x32B984, 0x300904) || matches(f, 0x32B984, 0x100904))
        return {VersionStep::Clear, f | 0x20020};
    if (matches(f, 0x52B185, 0x500005)) return {VersionStep::ReloadRecord, f};
    if (matches(f, 0x633A31, 0x3A01)) return {VersionStep::Clear, f | 0x430020};
    if (matches(f, 0x633A00, 0x213A00)) return {VersionStep::Clear, (f & ~0x200000u) | 0x420020};
    if (matches(f, 0x633F31, 0x413731)) return {VersionStep::Map, f & ~0x400020u};
    if (matches(f, 0x633F31, 0x13611)) return {VersionStep::Map, f | 0x100};
    if (!hasNewer) return {VersionStep::Nothing, f};
    return {VersionStep::WalkNewer, f};
}

VersionDecision decideReviewStep(std::uint32_t f, int half, bool hasOlder) {
    const bool restorable = half == 0 ? matches(f, 0x33B904, 0x330904) : matches(f, 0x339B24, 0x330924);
    if (restorable) return {VersionStep::Map, f & ~0x20020u};
    if (matches(f, 0x433A00, 0x433A00)) return {VersionStep::Map, (f & ~0x420020u) | 0x200000};
    if (matches(f, 0x633A31, 0x3201)) return {VersionStep::Clear, f | 0x400020};
    if (!hasOlder) {
        // The oldest version: the Main File's content before all versions
        // can still be shown once.
        if (matches(f, 0x322135, 0x100105)) return {VersionStep::MainFileContent, (f & ~kFlagInEffect) | 0x400020};
        return {VersionStep::Nothing, f};
    }
    return {VersionStep::WalkOlder, f};
}

std::uint32_t afterReload(std::uint32_t f) { return (f & ~0x400020u) | kFlagInEffect; }

std::uint32_t afterNewerWalk(std::uint32_t f, bool* clearMarks) {
    *clearMarks = (f & kFlagNoChangeMap) != 0;
    if (matches(f, 0x323904, 0x320904)) {
        f &= ~0x20020u;
        *clearMarks = false;
    }
    return f;
}

std::uint32_t afterOlderWalk(std::uint32_t f, bool* clearMarks) {
    *clearMarks = (f & kFlagNoChangeMap) != 0;
    if (matches(f, 0x333904, 0x110904)) {
        f |= 0x220020;
        *clearMarks = true;
    }
    return f;
}

}  // namespace quorby
