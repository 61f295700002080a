#pragma once
// Fills one of the program's dialogs from a queued script answer: controls are
// found by number or by their text ('&' and a trailing ':' ignored, case
// ignored); a label names the edit field that follows it.
#include <cstddef>
#include <string>
#include "platform/headless/script_answers.h"
#include "platform/platform.h"

namespace quorby {

// Applies the answer's actions to `dialog` and returns in *closingId the id of
// the button that ends it. Returns 1 with a reason when a control is missing,
// disabled or of the wrong kind; the dialog is then left as it was.
[[nodiscard]] int applyDialogAnswer(DialogDescription& dialog, const DialogAnswer& answer, int* closingId, std::string* error);

// Applies one action (set, check, choose) to `dialog`; the id of the control
// it changed, or -1 with a reason (the dialog is then unchanged).
[[nodiscard]] int applyDialogAction(DialogDescription& dialog, const DialogAction& action, std::string* error);

// The index of the control a target names (number or text; a label stands
// for the edit field after it when labelMeansEdit), or -1 with a reason.
[[nodiscard]] int findDialogControl(const DialogDescription& dialog, const std::string& target, bool labelMeansEdit,
                      std::string* error);
// 0 when the control is of `kind`, shown and enabled; else 1 with a reason.
[[nodiscard]] int requireUsableControl(const DialogControl& control, ControlKind kind, const std::string& target,
                         std::string* error);
// Checks the radio button at `index` and clears the others of its group.
void chooseRadio(DialogDescription& dialog, std::size_t index);
const char* controlKindName(ControlKind kind);

// One line per control, for the transcript: `  [1001] edit "Address:" = "0"`.
std::string describeDialogControls(const DialogDescription& dialog);

}  // namespace quorby
