#include "edit/unreadable_report.h"

#include <cinttypes>
#include <cstdio>

#include "state/error_report.h"

namespace quorby {

int writeUnreadableMap(AppState& app, const std::string& mapPath, const ByteRanges& ranges) {
    std::string text;
    for (int i = 0; i < ranges.count; ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "0x%" PRIX64 " 0x%" PRIX64 "\n", std::uint64_t(ranges.start[i]),
                      std::uint64_t(ranges.end[i] - ranges.start[i]));
        text += line;
    }
    FileHandle h = kNoFile;
    std::uint32_t done = 0;
    int result = 0;
    if (app.files->open(mapPath, OpenMode::Truncate, &h) != 0 ||
        app.files->writeAt(h, 0, text.data(), std::uint32_t(text.size()), &done) != 0 || done != text.size()) {
        reportError(app, kErrorWriting, mapPath);
        result = 1;
    }
    if (h != kNoFile) app.files->close(h);
    return result;
}

void reportUnreadableCopy(AppState& app, const std::string& sourceName, const ByteRanges& ranges,
                          const std::string& targetName) {
    if (ranges.count == 0) return;
    const std::string mapPath = targetName.empty() ? std::string() : targetName + kUnreadableMapSuffix;
    const bool mapWritten = !mapPath.empty() && writeUnreadableMap(app, mapPath, ranges) == 0;
    char head[96];
    std::snprintf(head, sizeof head, "%d%s unreadable range%s of ", ranges.count, ranges.overflowed ? "+" : "",
                  ranges.count == 1 && !ranges.overflowed ? "" : "s");
    std::string text = head + sourceName + " written as zeros:\n" + rangeListText(ranges, 16);
    if (mapWritten) text += "\n\nThe list is in " + mapPath;
    if (app.platform) (void)showMessageBox(app, text, kUnreadableCaption, MsgButtons::Ok, MsgIcon::Information);
}

}  // namespace quorby
