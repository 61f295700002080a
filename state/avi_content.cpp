#include "state/avi_content.h"

#include <cstring>

#include "state/compare_sources.h"
#include "state/error_report.h"
#include "state/forward_overlay.h"

namespace quorby {

int MainFileContent::readDirect(FilePos pos, std::uint8_t* out, std::uint32_t n) {
    CompareSource source = mainCompareSource(app_);
    const bool changes = source.journal != nullptr;
    source.journal = nullptr;
    FilePos unused = kEmptyPtr;
    if (readSourceBytes(source, pos, out, n, unused, 0) != 0) {
        reportError(app_, "Error reading ", app_.main.mainName);
        return 1;
    }
    if (changes) overlayForward(app_, overlay_, pos, out, n);
    return 0;
}

int MainFileContent::fill(FilePos start) {
    windowLength_ = 0;
    if (start >= size()) return 0;
    const FilePos left = size() - start;
    const std::uint32_t n = left < kWindowSize ? std::uint32_t(left) : kWindowSize;
    if (readDirect(start, window_, n) != 0) return 1;
    windowStart_ = start;
    windowLength_ = n;
    return 0;
}

int MainFileContent::read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) {
    *got = 0;
    const int result = readAvailable(pos, out, n, got);
    std::memset(out + *got, 0, n - *got);
    return result;
}

int MainFileContent::readAvailable(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) {
    if (pos >= size()) return 0;
    const bool inWindow = windowLength_ != 0 && pos >= windowStart_ && pos - windowStart_ < windowLength_;
    const bool sequential = pos == lastEnd_;
    lastEnd_ = pos + n;
    if (!inWindow && !sequential) {
        const FilePos left = size() - pos;
        const std::uint32_t count = left < n ? std::uint32_t(left) : n;
        if (readDirect(pos, out, count) != 0) return 1;
        *got = count;
        return 0;
    }
    while (*got < n && pos + *got < size()) {
        const FilePos at = pos + *got;
        if (windowLength_ == 0 || at < windowStart_ || at >= windowStart_ + windowLength_) {
            if (fill(pageStart(at)) != 0) return 1;
            if (windowLength_ == 0 || at >= windowStart_ + windowLength_) break;
        }
        const std::uint32_t offset = std::uint32_t(at - windowStart_);
        std::uint32_t take = windowLength_ - offset;
        if (take > n - *got) take = n - *got;
        std::memcpy(out + *got, window_ + offset, take);
        *got += take;
    }
    return 0;
}

bool aviFileLoaded(AppState& app) {
    if (app.main.mainHandle == kNoFile || app.main.mainKind != MainKind::File || app.main.fileSize < 12) return false;
    std::uint8_t head[4] = {};
    std::uint32_t got = 0;
    return app.files->readAt(app.main.mainHandle, 0, head, 4, &got) == 0 && got == 4 &&
           std::memcmp(head, "RIFF", 4) == 0;
}

}  // namespace quorby
