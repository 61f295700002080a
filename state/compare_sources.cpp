#include "state/compare_sources.h"

#include "state/work_buffer_access.h"

namespace quorby {

CompareSource mainCompareSource(AppState& app) {
    CompareSource s;
    s.files = app.files;
    s.handle = app.main.mainHandle;
    s.size = app.main.fileSize;
    s.unreadable = &app.main.unreadable;
    if (app.journal.files != nullptr && app.journal.handle != kNoFile && !app.records.unchangedFileShown) {
        s.journal = &app.journal;
        s.window = &journalOverlayWindow(app);
    }
    return s;
}

CompareSource otherCompareSource(AppState& app) {
    if (app.compare.mode == CompareMode::OtherPosition) return mainCompareSource(app);
    CompareSource s;
    s.files = app.files;
    s.handle = app.compare.handle;
    s.size = app.compare.size;
    s.unreadable = &app.compare.unreadable;
    return s;
}

const std::string& otherSourceName(const AppState& app) {
    return app.compare.mode == CompareMode::OtherPosition ? app.main.mainName : app.compare.name;
}

}  // namespace quorby
