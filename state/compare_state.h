#pragma once
// The comparison: a Compare File (or another position of the Main File)
// lined up byte for byte with the Main File, kept from start to exit.
#include <cstdint>
#include <string>

#include "core/file_pos.h"
#include "platform/file_io.h"
#include "search/compare_scan.h"
#include "state/view_state.h"

namespace quorby {

enum class CompareMode { None, OtherFile, OtherPosition };

// The outcome of the last Find Differences.
enum class DifferenceResult {
    NotRun,       // no comparison is active or no Main File is open
    Found,        // lastPos: the first differing byte
    NotFound,     // no difference beyond the shown bytes
    LengthsDiffer,// no difference, but one source ends first: lastPos is where,
                  // as a Main File position; lastEndedMain tells which
    Interrupted,  // ESC and Yes, or a nested command changed the comparison
    Failed,       // a read failed (reported)
};

// The background colours while F6 shows the compare data.
inline constexpr Colour kCompareHexBackground = 0xEEEEEE;
inline constexpr Colour kCompareCharBackground = 0xFFEEFF;
// The difference marks' colour while the differences are shown permanently.
inline constexpr Colour kDifferenceColour = 0xAAFFDD;

struct CompareSession {
    CompareMode mode = CompareMode::None;
    // "Activate Compare" switched the comparison off: the mode it comes back to.
    CompareMode suspendedMode = CompareMode::None;

    // The Compare File of the other-file mode (the other-position mode
    // reads the Main File through its own handle).
    FileHandle handle = kNoFile;
    std::string name;
    FilePos size = 0;
    UnreadableSectors unreadable;  // of the Compare File
    // The unreadable ranges the last Find Differences went past.
    ByteRanges skipped;

    FilePos firstPoint = 0;   // "1. File": a Main File position
    FilePos secondPoint = 0;  // "2. File": its Compare File counterpart
    std::int64_t shift = 0;   // secondPoint - firstPoint

    bool differencesAlways = false;  // "Show Differences permamently"
    bool fileShown = false;          // F6 held: the view shows the compare data
    FilePos marksPagePos = kEmptyPtr;// differences shown once, for the pair at this position

    // The compare bytes beside the shown pair: pairData[k] lines up with
    // pageBuffer[k]; indexes pairFrom .. pairTo - 1 have compare data.
    std::uint8_t pairData[kPagePairSize] = {};
    std::uint32_t pairFrom = 0;
    std::uint32_t pairTo = 0;
    bool pairValid = false;
    FilePos pairPagePos = 0;
    std::int64_t pairShift = 0;
    std::uint64_t pairJournalChanges = 0;
    std::uint8_t differenceBits[kPagePairSize / 8] = {};

    // The "Offset-Adjustment" dialog and the points it returns to on Cancel.
    bool dialogOpen = false;
    FilePos dialogFirstPoint = 0;
    FilePos dialogSecondPoint = 0;

    std::uint64_t lastWindowToken = 0;
    // Find Differences' block: 256 KiB in the program; smaller blocks let
    // tests cross many block edges in small files.
    std::uint32_t scanBlockSize = kCompareBlockSize;
    DifferenceResult lastResult = DifferenceResult::NotRun;
    FilePos lastPos = 0;
    bool lastEndedMain = false;
};

}  // namespace quorby
