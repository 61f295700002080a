#include "disasm/header_mode.h"

#include "decoder/executable_header.h"
#include "disasm/disasm_options.h"
#include "state/avi_content.h"

namespace quorby::disasm {

namespace {

// The mode the Main File's current content names, or false.
bool headerMode(AppState& app, DecoderMode* mode) {
    MainFileContent content(app);
    std::uint8_t start[kExecutableStartSize] = {};
    std::uint32_t got = 0;
    if (content.read(0, start, sizeof start, &got) != 0) return false;
    std::uint64_t peOffset = 0;
    const HeaderProbe probe = probeExecutableStart(start, got, app.main.fileSize, mode, &peOffset);
    if (probe != HeaderProbe::PeHeaderAt) return probe == HeaderProbe::Mode;
    std::uint8_t pe[kPeHeaderProbeSize] = {};
    if (content.read(peOffset, pe, sizeof pe, &got) != 0) return false;
    return probePeHeader(pe, got, mode) == HeaderProbe::Mode;
}

}  // namespace

void takeModeFromHeader(AppState& app) {
    if (app.main.mainHandle == kNoFile || app.disasm.headerModeFile == app.main.mainName) return;
    app.disasm.headerModeFile = app.main.mainName;
    DecoderMode mode = DecoderMode::Real16;
    if (!headerMode(app, &mode)) return;
    storeMode(app.settings, mode);
}

}  // namespace quorby::disasm
