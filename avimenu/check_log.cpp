#include "avimenu/check_log.h"

#include <cstring>

#include "avimenu/report_window.h"
#include "state/error_report.h"
#include "state/work_buffer_access.h"
#include "state/work_buffers.h"

namespace quorby {
namespace {

std::string logPath(const ShellState& shell) { return shell.programDirectory + kLogName; }

int writeLog(AppState& app, FilePos pos, const void* data, std::uint32_t n) {
    std::uint32_t done = 0;
    if (app.files->writeAt(app.avi.logHandle, pos, data, n, &done) != 0 || done != n) {
        reportError(app, "Error writing ", logPath(app.shell));
        return 1;
    }
    return 0;
}

}  // namespace

void CheckReport::append(std::string_view text) {
    AviState& avi = app_.avi;
    if (avi.reportLength + text.size() + 1 > kBlockBufferSize) flushReport(app_);
    if (text.size() + 1 > kBlockBufferSize) text = text.substr(0, kBlockBufferSize - 1);
    std::uint8_t* buffer = blockBuffer(app_);
    std::memcpy(buffer + avi.reportLength, text.data(), text.size());
    avi.reportLength += std::uint32_t(text.size());
}

void CheckReport::reached(FilePos position) {
    if (!range_) range_.emplace(app_, 0, app_.main.fileSize);
    range_->reached(position);
}

bool CheckReport::stopRequested() {
    const bool typedEsc = app_.platform->pollPendingInput();
    const bool cancelled = app_.avi.cancelPressed;
    app_.avi.cancelPressed = false;
    return typedEsc || cancelled;
}

int openCheckLog(AppState& app) {
    AviState& avi = app.avi;
    avi.reportLength = 0;
    if (avi.logHandle != kNoFile) return showLogTail(app);
    const std::string path = logPath(app.shell);
    const bool existed = app.files->exists(path);
    if (app.files->open(path, OpenMode::CreateReadWrite, &avi.logHandle) != 0) {
        avi.logHandle = kNoFile;
        reportError(app, "Error reading ", path);
        return 1;
    }
    if (!existed && writeLog(app, 0, kLogBanner.data(), std::uint32_t(kLogBanner.size())) != 0) return 1;
    return showLogTail(app);
}

void closeCheckLog(AppState& app) {
    if (app.avi.logHandle != kNoFile) app.files->close(app.avi.logHandle);
    app.avi.logHandle = kNoFile;
}

void flushReport(AppState& app) {
    AviState& avi = app.avi;
    if (avi.logHandle == kNoFile) {
        avi.reportLength = 0;
        return;
    }
    FilePos size = 0;
    if (app.files->size(avi.logHandle, &size) != 0) {
        reportError(app, "Error reading ", logPath(app.shell));
        return;
    }
    std::uint8_t* buffer = blockBuffer(app);
    buffer[avi.reportLength] = 0;
    const int failed = writeLog(app, size == 0 ? 0 : size - 1, buffer, avi.reportLength + 1);
    avi.reportLength = 0;
    if (failed != 0) return;
    (void)showLogTail(app);
}

std::size_t afterFirstLine(std::string_view text) {
    const std::size_t at = text.find("\r\n");
    return at == std::string_view::npos ? text.size() : at + 2;
}

int showLogTail(AppState& app) {
    AviState& avi = app.avi;
    FilePos size = 0;
    if (avi.logHandle == kNoFile) return 1;
    if (app.files->size(avi.logHandle, &size) != 0) {
        reportError(app, "Error reading ", logPath(app.shell));
        return 1;
    }
    const std::uint32_t n = size < kLogTailSize ? std::uint32_t(size) : kLogTailSize;
    std::string tail(n, '\0');
    std::uint32_t got = 0;
    if (app.files->readAt(avi.logHandle, size - n, tail.data(), n, &got) != 0) {
        reportError(app, "Error reading ", logPath(app.shell));
        return 1;
    }
    tail.resize(got);
    std::string_view shown(tail);
    shown.remove_prefix(afterFirstLine(shown));
    shown = shown.substr(0, shown.find('\0'));
    avi.shownLog.assign(shown);
    showReportText(app);
    return 0;
}

int clearLog(AppState& app) {
    if (app.avi.logHandle == kNoFile) return 1;
    if (app.files->setSize(app.avi.logHandle, 0) != 0) {
        reportError(app, "Error writing ", logPath(app.shell));
        return 1;
    }
    if (writeLog(app, 0, kLogBanner.data(), std::uint32_t(kLogBanner.size())) != 0) return 1;
    return showLogTail(app);
}

}  // namespace quorby
