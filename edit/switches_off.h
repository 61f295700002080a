#pragma once
// Message switches cleared for the duration of a scope and put back after it.
#include <cstdint>

#include "state/app_state.h"

namespace quorby {

class SwitchesOff {
public:
    SwitchesOff(AppState& app, std::uint32_t bits) : app_(app), saved_(app.settings.messageSwitches & bits) {
        app.settings.messageSwitches &= ~bits;
    }
    ~SwitchesOff() { app_.settings.messageSwitches |= saved_; }
    SwitchesOff(const SwitchesOff&) = delete;
    SwitchesOff& operator=(const SwitchesOff&) = delete;

private:
    AppState& app_;
    std::uint32_t saved_;
};

}  // namespace quorby
