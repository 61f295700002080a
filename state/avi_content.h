#pragma once
// The Main File's current content (the file with the Journal File's changes
// laid over it) as the AVI engine reads it. A read that continues where the
// last one ended (an index read entry by entry) goes through a window of
// eight pages kept between reads; any other read takes just the bytes asked for, so
// looking at a chunk id costs one small read. The journal's changes are laid
// over the reads going forward (state/forward_overlay.h). A failed read is
// reported as "Error reading " with the Main File's name.
#include "avi/chunk_stepper.h"
#include "avi/riff_content.h"
#include "state/app_state.h"
#include "state/forward_overlay.h"

namespace quorby {

class MainFileContent : public RiffContent {
public:
    explicit MainFileContent(AppState& app) : app_(app) {}
    FilePos size() const override { return app_.main.fileSize; }
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) override;
    // The content changed (a repair was stored): the window is read anew.
    void forget() {
        windowLength_ = 0;
        lastEnd_ = kNoPos;
        overlay_ = {};
    }

private:
    static constexpr std::uint32_t kWindowSize = 4096;
    int readAvailable(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got);
    int fill(FilePos start);
    int readDirect(FilePos pos, std::uint8_t* out, std::uint32_t n);
    AppState& app_;
    FilePos windowStart_ = 0;
    std::uint32_t windowLength_ = 0;
    FilePos lastEnd_ = kNoPos;
    std::uint8_t window_[kWindowSize] = {};
    ForwardOverlay overlay_;
};

// The Main File is an AVI file: a file (not a drive) that begins with "RIFF".
bool aviFileLoaded(AppState& app);

}  // namespace quorby
