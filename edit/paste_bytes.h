#pragma once
// The core of the paste commands: n bytes from a source go into the current
// content from the cursor on, page pair after page pair, through the same
// page halves, change marks and storing as typed bytes. The whole paste is
// one entry of the history; ESC between pages (with Yes to "Shall this
// Action be interrupted ?") stops it with the pasted part kept.
#include <cstdint>
#include <string>

#include "salvage/sector_reads.h"
#include "state/app_state.h"

namespace quorby {

// Where the pasted bytes come from: a block in memory (the clipboard's), a
// file read in page-sized pieces from `fileStart` on, or (fill >= 0) one
// byte value repeated.
struct PasteSource {
    int fill = -1;
    const std::uint8_t* bytes = nullptr;
    FileHandle file = kNoFile;
    FilePos fileStart = 0;
    std::string name;            // for "Error reading "
    // With both: unreadable sectors of `file` read as zeros and are listed
    // in `skipped` (positions of `file`) instead of failing the read.
    UnreadableSectors* unreadable = nullptr;
    ByteRanges* skipped = nullptr;
};

enum class EnlargeAsk { Question, MessageBox };

// `count` bytes of the source from `offset` (from the start of the paste)
// into `out`; a failed or short read of a file is reported ("Error reading "
// and its name) and gives 1.
[[nodiscard]] int readPasteSource(AppState& app, const PasteSource& source, FilePos offset, std::uint8_t* out, std::uint32_t count);

// The text of the question before a paste past the end enlarges the file by
// `missing` bytes.
std::string enlargeQuestionText(FilePos missing);

// Pastes `n` bytes of `source` from `start` on under the banner `title`
// (the view and cursor are where they were afterwards). First the journal
// growth check of n bytes (the "Many Changes !" dialog, which may switch to
// direct access for the paste). When
// they run past the end of the file, the file is first enlarged by what is
// missing, after the question "Too much Amount of Data !" (message switch
// 17; asked with `ask`). Result 1 when nothing was pasted (a refused check,
// No, a failed enlargement, no Main File), or when the paste stopped early
// (ESC, a failed read or store); what was pasted stays.
[[nodiscard]] int pasteBytes(AppState& app, const PasteSource& source, FilePos start, FilePos n, const char* title,
               EnlargeAsk ask);

}  // namespace quorby
