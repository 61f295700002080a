#pragma once
// The AVI check's log "quorby.log" in the program's directory and the
// report buffer in front of it. The log is 8-bit text with CR LF line ends
// that always ends with one zero byte: it begins with the banner (written
// with its zero), and each flush writes the collected text with a zero in
// place of the log's final zero. The report window shows the log's tail.
#include <optional>
#include <string>
#include <string_view>

#include "avi/avi_report.h"
#include "state/app_state.h"
#include "state/progress.h"

namespace quorby {

inline constexpr char kLogName[] = "quorby.log";
inline constexpr std::string_view kLogBanner{"\r\nQuorby LogFile \r\n", 20};  // with its zero
inline constexpr std::uint32_t kLogTailSize = 16384;

// The report buffer as the walk and the checks write into it; a buffer that
// would overflow is flushed first. stopRequested dispatches one pending
// input event: a typed ESC or the dialog's cancel button stop.
class CheckReport : public AviReport {
public:
    explicit CheckReport(AppState& app) : app_(app) {}
    void append(std::string_view text) override;
    bool stopRequested() override;
    // The position is shown as a share of the whole file while the check runs.
    void reached(FilePos position) override;

private:
    AppState& app_;
    std::optional<ProgressRange> range_;
};

// Opens (or creates, with the banner) the log, shows its tail and empties
// the report buffer. Result 1 when the log cannot be opened.
[[nodiscard]] int openCheckLog(AppState& app);
void closeCheckLog(AppState& app);
// Appends the report buffer to the log, shows the tail, empties the buffer.
// A log that cannot be written or read back is reported to the user; the
// check goes on, since its status lines still tell the outcome.
void flushReport(AppState& app);
// The log's last 16384 bytes (all of a smaller log) from its first complete
// line on, up to its zero byte, into the report window.
[[nodiscard]] int showLogTail(AppState& app);
// Empties the log to its banner and shows it.
[[nodiscard]] int clearLog(AppState& app);

// The offset after the first CR LF of `text`, or its length when there is none.
std::size_t afterFirstLine(std::string_view text);

}  // namespace quorby
