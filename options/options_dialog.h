#pragma once
// "&Options": the modal "Options" dialog over a working copy of the
// settings. OK applies the copy and makes the changed modes take effect at
// once; "CANCEL" leaves the settings as they were.
#include "options/options_controls.h"
#include "state/app_state.h"

namespace quorby::options {

void optionsCommand(AppState& app);

// What a control of the open dialog does to the copy: the table's fields, the
// journal paths (directories created and removed), "Show ALL" / "Show NONE",
// the presets. Afterwards the dialog shows the copy again.
void reactToControl(AppState& app, OptionsCopy& copy, DialogDescription& dialog, int controlId);
// Takes every control whose state differs from the copy, as if the user had
// just changed it (for platforms that report changes only when a button ends
// the dialog).
void takeChangedControls(AppState& app, OptionsCopy& copy, DialogDescription& dialog);

// OK: the changed modes take effect (access cell, scroll resolution, arrow
// mode, disassembly title), then the copy's fields go into the settings and,
// with "userdefined" checked, into userDefinedConfig.
void applyOptions(AppState& app, const OptionsCopy& copy);

}  // namespace quorby::options
