#pragma once
// "Check Avi-File": the modeless options dialog "Check AVI-File" and the
// check it starts. The check writes the Main File's structure and the
// results of the index checks into the report buffer, flushed into the log
// "quorby.log" and the report window "AVI File Check" at fixed points.
// Repairs of standard index entries are changes of the current content
// through the edit path, so undo takes them back.
#include "state/app_state.h"

namespace quorby {

enum AviCheckControl : int {
    kAviCheckOk = 1,
    kAviCheckCancel = 2,
    kAviCheckSuperIndex = 1501,
    kAviCheckDataIndexes = 1502,
    kAviCheckContinuous = 1503,
    kAviCheckRepair = 1504,
    kAviCheckSuperStatus = 1505,
    kAviCheckPacketsStatus = 1506,
    kAviCheckIdx1Status = 1507,
    kAviCheckSpareStatus = 1508,
};

inline constexpr char kAviCheckTitle[] = "Check AVI-File";

// The dialog as the options and status texts stand.
DialogDescription aviCheckDialogDescription(const AppState& app);

// The menu command: opens the dialog (an AVI Main File only).
void aviCheckCommand(AppState& app);
void onAviCheckEvent(AppState& app, const ModelessEvent& event);

// The whole check with the dialog's options.
void runAviCheck(AppState& app);

}  // namespace quorby
