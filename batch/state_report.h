#pragma once
// The `print state` lines of the batch mode: view, file and flag values as
// name=value pairs. Positions and flag words in hexadecimal with 0x, counts
// and offsets in decimal.
#include <string>
#include <utility>
#include <vector>
#include "state/app_state.h"

namespace quorby {

std::vector<std::pair<std::string, std::string>> stateReport(const AppState& app);

// The value of one name of the report; false when there is no such name.
bool stateValue(const AppState& app, const std::string& name, std::string* value);

}  // namespace quorby
