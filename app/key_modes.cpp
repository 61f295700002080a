#include "app/key_modes.h"

#include "avimenu/stream_scan.h"
#include "navigate/auto_scroll.h"

namespace quorby {

namespace {

struct KeyMode {
    bool (*running)(const AppState& app);
    // True when the mode used the character.
    bool (*takeKey)(AppState& app, int character);
};

bool autoScrollRunning(const AppState& app) { return app.nav.autoScrollActive; }
bool streamScanRunning(const AppState& app) { return app.avi.scanRunning; }

// Asked in this order; the first that takes the character ends the offer.
constexpr KeyMode kKeyModes[] = {
    {autoScrollRunning, autoScrollTakesKey},
    {streamScanRunning, streamScanTakesKey},
};

}  // namespace

bool offerKeyToModes(AppState& app, int character) {
    for (const KeyMode& mode : kKeyModes)
        if (mode.running(app) && mode.takeKey(app, character)) return true;
    return false;
}

}  // namespace quorby
