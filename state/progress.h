#pragma once
// The frame of long operations: a banner on rows 15 to 17 while they run,
// a poll between their steps that keeps the window alive, and the question
// before an ESC stops them.
//
//   startProgress(app, kTitleUndoAll);
//   for (each step) { if (pollProgress(app)) break; ...one step... }
//
// The position reached is told to the platform through a ProgressRange.
//   drawPage(app);
#include "state/app_state.h"

namespace quorby {

inline constexpr int kBannerTopRow = 15;        // rows 15, 16 and 17 of the grid
inline constexpr int kBannerLength = 88;
inline constexpr int kBannerTitleColumn = 26;   // the title covers columns 26 .. 61
inline constexpr int kBannerTitleLength = 36;
inline constexpr std::int32_t kPollInterval = 256;
inline constexpr std::int32_t kMarqueeStart = 14;

// The operation titles, 36 characters each.
inline constexpr const char* kTitleFindDifferences = "          FIND  DIFFERENCES         ";
inline constexpr const char* kTitlePasteFile = "         P A S T E  F I L E         ";
inline constexpr const char* kTitlePasteData = "         P A S T E  D A T A         ";
inline constexpr const char* kTitlePasteText = "          P A S T E  T E X T        ";
inline constexpr const char* kTitleAppendFile = "     A P P E N D   F I L E          ";
inline constexpr const char* kTitleFillWithHexValue = "         FILL WITH HEX_VALUE        ";
inline constexpr const char* kTitleHighlightSaveAs = "         HIGHLIGHT SAVE AS          ";
inline constexpr const char* kTitleAppendHighlight = "         APPEND HIGHLIGHT           ";
inline constexpr const char* kTitleAppendEverything = "   A P P E N D   E V E R Y T H I N G";
inline constexpr const char* kTitleScanJournalFile = "        SCAN JOURNAL-FILE           ";
inline constexpr const char* kTitleDropHighlightedChanges = "      DROP HIGHLIGHTED CHANGES      ";
inline constexpr const char* kTitleRedoLast = "          R E D O  L A S T          ";
inline constexpr const char* kTitleRedoAll = "           R E D O  A L L           ";
inline constexpr const char* kTitleUndoLast = "          U N D O  L A S T          ";
inline constexpr const char* kTitleUndoAll = "           U N D O  A L L           ";
inline constexpr const char* kTitleRestoreOriginal = "     RESTORE ORIGINAL FILE VERSION  ";
inline constexpr const char* kTitleSaveFileAs = "        SAVE FILE AS                ";
inline constexpr const char* kTitleWriteHighlightedData = "      WRITE HIGHLIGHTED DATA TO FILE";

// The banner's first and last line (the title goes over the first).
inline constexpr const char* kBannerEdgeLine =
    " Stop with ESC * * * * * * * * * * * * * * * * * * * * * * * * * * * * * Stop with ESC  ";

inline constexpr const char* kInterruptQuestion = "Shall this Action be interrupted ?";
inline constexpr const char* kInterruptCaption = "Interrupt ?";

// Puts the title (up to 36 characters, padded with blanks) into the banner's
// first line and sets the poll counter to 256.
void startProgress(AppState& app, const char* title36);
// Once per step: lets the platform dispatch one pending input event; after a
// typed ESC asks whether to stop. Every 257th poll advances the marquee,
// updates the scroll bar and redraws the banner. Returns true to stop.
bool pollProgress(AppState& app);
// As pollProgress for one step that stands for `steps` polls (work done in
// large blocks): one input event, the banner at the pace of `steps` polls.
bool pollProgressSteps(AppState& app, std::uint32_t steps);
// The question after a typed ESC; true when the user says Yes.
bool askInterrupt(AppState& app);
// Counts `steps` polls at once, for work that asks the platform once per
// block of many steps: the marquee advances as often as pollProgress would
// have advanced it. Returns true when it advanced (the caller redraws).
bool countProgressSteps(AppState& app, std::uint32_t steps);
// Draws the banner's three lines at the current marquee offset.
void refreshBanner(AppState& app);
// The "Please wait ..." window that writing all changes shows instead of the
// banner: opened with "Lasting a while ...", refreshed once per journal record
// written (the marquee advances, the second text shows the record's position),
// closed when the operation ends.
void openPleaseWait(AppState& app);
void refreshPleaseWait(AppState& app, FilePos recordPos);
void closePleaseWait(AppState& app);

// The way a long operation goes, from `start` to `end` (downward when end <
// start): while it lives, the platform is told the position reached, which it
// shows with its share of the way outside the grid; it is hidden when the
// operation ends (the range goes out of scope).
//
//   ProgressRange range(app, from, to);
//   for (each step) { range.reached(pos); if (pollProgress(app)) break; ... }
class ProgressRange {
public:
    ProgressRange(AppState& app, FilePos start, FilePos end);
    ~ProgressRange();
    ProgressRange(const ProgressRange&) = delete;
    ProgressRange& operator=(const ProgressRange&) = delete;
    void reached(FilePos position);

private:
    AppState& app_;
    FilePos start_;
    FilePos end_;
};

// The 88 characters of the banner's middle line at a marquee offset 0 .. 14.
const char* bannerMiddleLine(std::int32_t marqueeOffset);

}  // namespace quorby
