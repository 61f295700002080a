#pragma once
// How the batch transcript writes grid rows, colours and message boxes.
#include <string>
#include "platform/platform.h"

namespace quorby {

// "07|" followed by the row's 88 cells and a closing "|". Cells outside
// 0x20..0x7E print as '.', so every row is 92 characters wide.
std::string formatGridRow(int row, const char* cells);

// The cells' character codes as 88 hexadecimal pairs separated by blanks.
std::string formatCellCodes(const char* cells);

// Runs of equal background: "0-20 DDDDDD,21-87 EEFFEE" (colour 0xBBGGRR).
std::string formatColourRuns(const Colour* colours);
// The overview strip: "OVERVIEW changed=3,10-12 unwritten=10 matches=- differences=- cursor=0",
// each list the bins (of kOverviewBins) that carry the mark, runs joined
// with a hyphen; "OVERVIEW no file" without a Main File.
std::string formatOverview(const OverviewStrip& strip);

// A text on one line: backslash, line feed, carriage return, tab and other
// control characters as C escapes; other bytes unchanged.
std::string escapeTranscriptText(const std::string& text);

// "[yes]/no", the default button in brackets, and the icon when there is one.
std::string formatButtons(const MessageBoxDescription& box);

const char* answerName(MsgAnswer answer);

}  // namespace quorby
