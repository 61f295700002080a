#pragma once
// The command table: every menu code and accelerator code of the program and
// the operation it runs. Codes whose operations are not built have no handler
// and do nothing.
#include "core/command_codes.h"
#include "state/app_state.h"

namespace quorby {

using CommandHandler = void (*)(AppState& app);

struct CommandEntry {
    int code;
    CommandHandler handler;  // nullptr: no handler, the command does nothing
};

void dispatchCommand(AppState& app, int code);
// Ends a command or a typed character: commits the journal header.
void endOfCommand(AppState& app);
// The entry for a code, or nullptr when the code is unknown.
const CommandEntry* findCommand(int code);

}  // namespace quorby
