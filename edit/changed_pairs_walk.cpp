#include "edit/changed_pairs_walk.h"

#include "state/progress.h"
#include "document/page_assembly.h"
#include "edit/write_steps.h"

namespace quorby {

int walkChangedPairs(AppState& app, FilePos start, FilePos end, const std::function<void()>& visitShownPair) {
    ViewState& v = app.view;
    if (loadPagePair(app, pageStart(start)) != 0) return 1;
    v.viewOffset = 0;
    ProgressRange range(app, start, end);
    for (;;) {
        visitShownPair();
        FilePos next = 0;
        if (!nextChangedPage(app, end, &next)) return 0;
        range.reached(next);
        if (pollProgress(app)) return 0;
        if (loadPagePair(app, next) != 0) return 1;
        v.viewOffset = 0;
    }
}

}  // namespace quorby
