#pragma once
// The modeless report window "AVI File Check": the log's tail in a text
// field and the buttons "Quit", "Save", "Open" and "Clear". A click on a
// report line that begins with a position selects the chunk there.
#include "state/app_state.h"

namespace quorby {

enum AviReportControl : int {
    kAviReportText = 1401,
    kAviReportQuit = 1402,
    kAviReportSave = 1403,
    kAviReportOpen = 1404,
    kAviReportClear = 1405,
};

inline constexpr char kAviReportTitle[] = "AVI File Check";

// The window's text field and buttons.
DialogDescription aviReportWindowDescription();

void openReportWindow(AppState& app);
void setReportTitle(AppState& app, const char* title);
// The shown log text into the window, its end in view.
void showReportText(AppState& app);
void onAviReportEvent(AppState& app, const ModelessEvent& event);

// The line holding `caret` in the shown text: characters 1 to 19 are
// selected; a line that begins with a blank and "0" gives the position of
// the chunk the stepper reads and selects, with the cursor on it.
void jumpFromReport(AppState& app, std::size_t caret);

}  // namespace quorby
