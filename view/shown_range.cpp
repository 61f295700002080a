#include "view/shown_range.h"

namespace quorby {

bool fileIsOpen(const AppState& app) { return app.main.mainHandle != kNoFile; }

FilePos firstShownPos(const AppState& app) { return app.view.pagePos + app.view.viewOffset; }

FilePos lastViewStart(const AppState& app) {
    const FilePos lastByte = app.main.fileSize == 0 ? 0 : app.main.fileSize - 1;
    return pageStart(lastByte);
}

std::uint32_t shownByteCount(const AppState& app) {
    const ViewState& v = app.view;
    if (v.pageLength <= v.viewOffset) return 0;
    std::uint32_t n = v.pageLength - v.viewOffset;
    return n > std::uint32_t(kPageSize) ? std::uint32_t(kPageSize) : n;
}

}  // namespace quorby
