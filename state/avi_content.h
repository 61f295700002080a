#pragma once
// The Main File's current content (the file with the Journal File's changes
// laid over it) as the AVI engine reads it, through a window of a few pages
// kept between reads. A failed read is reported as "Error reading " with the
// Main File's name.
#include "avi/riff_content.h"
#include "state/app_state.h"

namespace quorby {

class MainFileContent : public RiffContent {
public:
    explicit MainFileContent(AppState& app) : app_(app) {}
    FilePos size() const override { return app_.main.fileSize; }
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) override;
    // The content changed (a repair was stored): the window is read anew.
    void forget() { windowLength_ = 0; }

private:
    static constexpr std::uint32_t kWindowSize = 4096;
    int fill(FilePos start);
    AppState& app_;
    FilePos windowStart_ = 0;
    std::uint32_t windowLength_ = 0;
    std::uint8_t window_[kWindowSize] = {};
};

// The Main File is an AVI file: a file (not a drive) that begins with "RIFF".
bool aviFileLoaded(AppState& app);

}  // namespace quorby
