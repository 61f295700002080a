#pragma once
// Where the AVI walk and checks write their report: a text sink the caller
// supplies (the report buffer and log of the check window, a string in the
// tests). Lines end with CR LF; a line with a position begins with the
// position text (a blank and four groups of four upper-case hexadecimal
// digits, each group after a blank) and three blanks.
#include <string_view>

#include "core/file_pos.h"

namespace quorby {

class AviReport {
public:
    virtual ~AviReport() = default;
    virtual void append(std::string_view text) = 0;
    // Asked after every chunk or index entry: true ends the running part
    // (ESC, a cancel button).
    virtual bool stopRequested() { return false; }
    // The file position the check has reached, told before stopRequested.
    virtual void reached(FilePos position) { (void)position; }
};

inline constexpr std::size_t kReportTextMax = 80;  // a text is copied up to 80 characters

// `text` (up to 80 characters) and CR LF.
void reportLine(AviReport& report, std::string_view text);
// The position text, three blanks, `label` (up to 80 characters) and CR LF.
void reportPosLine(AviReport& report, FilePos pos, std::string_view label);

}  // namespace quorby
