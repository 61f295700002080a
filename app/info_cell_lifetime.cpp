#include "app/info_cell_lifetime.h"

#include <cstring>

#include "find/search_command.h"
#include "view/compare_display.h"
#include "view/page_render.h"

namespace quorby {

namespace {

bool cellIsBlank(const ViewState& v) {
    for (char c : v.infoCell)
        if (c != ' ') return false;
    return v.infoColour == kAddressColour;
}

// Progress is written in the address colour (the undo position of a long
// undo or redo) or the banner colour (the place a search has reached);
// messages have colours of their own.
bool isProgress(const ViewState& v) {
    return v.infoColour == kAddressColour || v.infoColour == kSearchProgressColour;
}

}  // namespace

std::uint32_t infoCellMark(const AppState& app) { return app.view.infoCellWrites; }

void endInfoCellText(AppState& app, std::uint32_t markAtStart) {
    if (!app.platform) return;
    ViewState& v = app.view;
    const bool writtenNow = v.infoCellWrites != markAtStart;
    if (writtenNow && !isProgress(v)) return;  // this command's message stays until the next one
    if (app.compare.mode != CompareMode::None) {
        char offset[21];
        formatCompareOffset(app.compare.shift, offset);
        const Colour colour = app.compare.shift < 0 ? kNegativeOffsetColour : kAddressColour;
        if (std::memcmp(offset, v.infoCell, sizeof offset) != 0 || v.infoColour != colour) drawCompareOffset(app);
        return;
    }
    if (!cellIsBlank(v)) setInfoCell(app, "", kAddressColour);
}

}  // namespace quorby
