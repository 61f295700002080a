#include "app/dispatch.h"
#include "app/info_cell_lifetime.h"
#include "app/window_events.h"
#include "avimenu/avi_check.h"
#include "avimenu/report_window.h"
#include "compare/offset_dialog.h"
#include "disasm/disassembly_window.h"
#include "find/find_dialog.h"
#include "inspect/value_inspector.h"

namespace quorby {

void onModelessEvent(AppState& app, const ModelessEvent& event) {
    const std::uint32_t infoMark = infoCellMark(app);
    switch (event.window) {
        case ModelessWindow::Find:
            onFindDialogEvent(app, event);
            break;
        case ModelessWindow::Disassembly:
            disasm::onDisassemblyEvent(app, event);
            break;
        case ModelessWindow::OffsetAdjustment:
            onOffsetDialogEvent(app, event);
            break;
        case ModelessWindow::Values:
            inspect::onValuesEvent(app, event);
            break;
        case ModelessWindow::AviCheck:
            onAviCheckEvent(app, event);
            break;
        case ModelessWindow::AviReport:
            onAviReportEvent(app, event);
            break;
        default:
            break;
    }
    endInfoCellText(app, infoMark);
    endOfCommand(app);
}

}  // namespace quorby
