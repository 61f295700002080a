#pragma once
// The single report of failed file operations, the message table behind its
// caption, and the Yes/No question with "Don't ask again !".
// All texts are UTF-8.
#include <cstdint>
#include <string>

#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kErrorReading = "Error reading ";
inline constexpr const char* kErrorWriting = "Error writing ";
inline constexpr const char* kErrorGeneral = "Error !";

// Reads app.files->lastError() before anything else, puts the caption into
// app.error.errorText (the message table's text; the system's own text for an
// errno without a table code; empty for a code not in the table) and shows the
// box "message + fileName" with OK and Cancel. Returns 1 when Cancel was
// chosen, 0 for OK or when no box could be shown.
int reportError(AppState& app, const char* message, const std::string& fileName);

// The text of a system error code, or nullptr when the table has none.
const char* messageTableText(std::uint32_t code);

// Shows the question dialog; returns kAnswerYes / kAnswerDontAsk bits
// (0, a plain No, when no dialog can be shown).
[[nodiscard]] int askQuestion(AppState& app, const std::string& caption, const std::string& text);

// A task-modal message box; its answer.
MsgAnswer showMessageBox(AppState& app, const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon = MsgIcon::None, bool secondIsDefault = false);

// Copies `text` into the error text buffer, cut to at most 64 bytes at a
// character boundary of UTF-8.
void setErrorText(ErrorState& error, const char* text);

}  // namespace quorby
