#pragma once
// "&Checksums...": CRC32, MD5, SHA1, SHA256 and SHA512 of the selection, or
// of the whole Main File when nothing is selected, over the content the view
// shows (the Journal File's changes included, typed bytes stored first). A
// long run shows its progress and stops at ESC; unreadable sectors count as
// zeros and are named in the result.
#include "checksum/checksum_pass.h"
#include "state/app_state.h"

namespace quorby::inspect {

enum class ChecksumOutcome { Done, Interrupted, Failed, NotRun };

inline constexpr const char* kChecksumsTitle = "Checksums";

// The range the command digests: the selection (up to the file's end) when
// there is one, else the whole file.
void checksumRange(const AppState& app, FilePos* start, FilePos* length);

// Digests the range with the algorithms of `algorithms` (kChecksum* bits)
// into `result`. NotRun without a Main File; Failed after a read error
// (reported); Interrupted when the user stopped it with ESC or the Main
// File was closed meanwhile.
ChecksumOutcome computeChecksums(AppState& app, unsigned algorithms, ChecksumResult& result);

// "N unreadable ranges read as zeros: 0x2000+0x200, ..."; empty when none.
std::string unreadableZerosLine(const ByteRanges& ranges);

// The command: every algorithm, shown in the "Checksums" window.
void checksumsCommand(AppState& app);

}  // namespace quorby::inspect
