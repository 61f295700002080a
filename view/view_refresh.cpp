#include "view/view_refresh.h"

#include "view/page_render.h"
#include "view/scroll_bar.h"

namespace quorby {

void refreshView(AppState& app) {
    prepareScrollMapping(app);
    updateScrollBar(app);
    drawHeaderAndBottomLine(app);
    drawPage(app);
}

}  // namespace quorby
