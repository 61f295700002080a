#pragma once
// Page-version review (F2, "Page-Version-&Review": one version older per
// step) and preview (F4, "Page-Version-&Preview": one version newer). The
// page concerned is the second page of pageBuffer when viewOffset is 512 or
// more, else the first; it must have a record. While a review is shown the
// caption and the background colours say so; RETURN takes the shown version
// over (the edit path), any other command ends the review and shows the page
// as it was.
#include "core/command_codes.h"
#include "document/shown_views.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kReviewCaption =
    "* * * * *   Preview of VERSIONS   * * * * *   accept with RETURN   * * * * *";
inline constexpr Colour kReviewHexBackground = 0xDEEFDE;
inline constexpr Colour kReviewCharBackground = 0xEFEFEF;

void reviewOlderVersion(AppState& app);   // F2
void previewNewerVersion(AppState& app);  // F4

// Ends an active review: caption and colours as before, the page shown
// before the review loaded again and drawn.
void endVersionReview(AppState& app);

// Runs before every command: the preview commands are handled here and the
// result is true (nothing else happens for them); any other command first
// ends an active review and the result is false.
bool handlePreviewCommands(AppState& app, int code);

}  // namespace quorby
