#pragma once
// Maps a Linux errno to the Windows system error code of the same meaning,
// which selects the text of the message table (state/error_report.h).
#include <cstdint>

namespace quorby {

// `writing` tells a failed write from a failed read: EIO becomes "Write Error !"
// (29) on a write and "Read Error !" (30) otherwise. An errno without an
// equivalent gives 0; the error box then shows the system's own text.
std::uint32_t windowsErrorCode(int err, bool writing);

}  // namespace quorby
