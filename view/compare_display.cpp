#include "view/compare_display.h"

#include <cstring>

#include "state/compare_sources.h"
#include "state/error_report.h"
#include "view/page_render.h"

namespace quorby {
namespace {

// Compare positions up to this far before the other source's start read as
// blanks; further before it there is no compare data.
constexpr std::int64_t kBlankLead = 512;

// Reads the compare bytes for pageBuffer[0 .. 1024): pairData[k] is the
// other source's byte at pagePos + k + shift.
void readComparePair(AppState& app) {
    CompareSession& c = app.compare;
    c.pairValid = true;
    c.pairPagePos = app.view.pagePos;
    c.pairShift = c.shift;
    c.pairJournalChanges = app.journal.changeCount;
    c.pairFrom = c.pairTo = 0;
    const CompareSource other = otherCompareSource(app);
    const std::int64_t first = std::int64_t(app.view.pagePos) + c.shift;  // the other position of index 0
    const std::int64_t size = std::int64_t(other.size);
    std::int64_t from = first < -kBlankLead ? -kBlankLead : first;      // the first other position with data
    std::int64_t to = first + kPagePairSize < size ? first + kPagePairSize : size;
    if (from >= to) return;
    const std::uint32_t fromIndex = std::uint32_t(from - first);
    if (from < 0) {
        const std::int64_t blanks = (to < 0 ? to : 0) - from;
        std::memset(c.pairData + fromIndex, ' ', std::size_t(blanks));
        from += blanks;
    }
    if (from < to) {
        FilePos chain = other.journal ? other.journal->header.first : kEmptyPtr;
        std::uint8_t* out = c.pairData + (from - first);
        if (readSourceBytes(other, FilePos(from), out, std::uint32_t(to - from), chain, 0) != 0) {
            reportError(app, kErrorReading, otherSourceName(app));
            return;
        }
    }
    c.pairFrom = fromIndex;
    c.pairTo = std::uint32_t(to - first);
}

void markDifferences(AppState& app, std::uint32_t length) {
    CompareSession& c = app.compare;
    std::memset(c.differenceBits, 0, sizeof c.differenceBits);
    const std::uint32_t to = c.pairTo < length ? c.pairTo : length;
    for (std::uint32_t k = c.pairFrom; k < to; ++k)
        if (app.view.pageBuffer[k] != c.pairData[k]) c.differenceBits[k >> 3] |= std::uint8_t(1u << (k & 7));
}

}  // namespace

bool differencesShown(const AppState& app) {
    const CompareSession& c = app.compare;
    if (c.mode == CompareMode::None || app.main.mainHandle == kNoFile) return false;
    return c.differencesAlways || c.fileShown || c.marksPagePos == app.view.pagePos;
}

std::uint32_t shownHeaderShift(const AppState& app) {
    const std::uint32_t own = app.view.headerShift;
    if (!app.compare.fileShown || !differencesShown(app)) return own;
    return (own + std::uint32_t(std::uint64_t(app.compare.shift) & 15)) & 15;
}

void forgetComparePair(AppState& app) { app.compare.pairValid = false; }

ShownContent shownContent(AppState& app) {
    ViewState& v = app.view;
    CompareSession& c = app.compare;
    if (!differencesShown(app)) return {v.pageBuffer, v.changedBits, v.pageLength, v.unreadableHalf};
    if (!c.pairValid || c.pairPagePos != v.pagePos || c.pairShift != c.shift ||
        (c.mode == CompareMode::OtherPosition && c.pairJournalChanges != app.journal.changeCount))
        readComparePair(app);
    markDifferences(app, v.pageLength);
    if (!c.fileShown) return {v.pageBuffer, c.differenceBits, v.pageLength, v.unreadableHalf};
    // F6: the compare bytes; places before the compare data show blanks.
    if (c.pairFrom > 0) std::memset(c.pairData, ' ', c.pairFrom);
    return {c.pairData, c.differenceBits, c.pairTo < v.pageLength ? c.pairTo : v.pageLength};
}

void formatCompareOffset(std::int64_t shift, char out[21]) {
    std::memcpy(out, "Offs", 4);
    out[4] = shift < 0 ? '-' : ' ';
    std::uint64_t magnitude = shift < 0 ? 0 - std::uint64_t(shift) : std::uint64_t(shift);
    for (int i = 20; i >= 5; --i) {
        out[i] = "0123456789ABCDEF"[magnitude & 15];
        magnitude >>= 4;
    }
}

void drawCompareOffset(AppState& app) {
    char text[22] = {};
    formatCompareOffset(app.compare.shift, text);
    setInfoCell(app, text, app.compare.shift < 0 ? kNegativeOffsetColour : kAddressColour);
}

}  // namespace quorby
