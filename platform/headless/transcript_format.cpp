#include "platform/headless/transcript_format.h"

#include <cstdio>

namespace quorby {

std::string formatGridRow(int row, const char* cells) {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d|", row);
    std::string line = prefix;
    for (int c = 0; c < kGridColumns; ++c) {
        auto code = static_cast<unsigned char>(cells[c]);
        line += (code >= 0x20 && code <= 0x7E) ? char(code) : '.';
    }
    line += '|';
    return line;
}

std::string formatCellCodes(const char* cells) {
    std::string line;
    char pair[4];
    for (int c = 0; c < kGridColumns; ++c) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(cells[c]));
        if (c > 0) line += ' ';
        line += pair;
    }
    return line;
}

std::string formatColourRuns(const Colour* colours) {
    std::string line;
    char run[32];
    int start = 0;
    for (int c = 1; c <= kGridColumns; ++c) {
        if (c < kGridColumns && colours[c] == colours[start]) continue;
        std::snprintf(run, sizeof run, "%s%d-%d %06X", start == 0 ? "" : ",", start, c - 1,
                      static_cast<unsigned>(colours[start] & 0xFFFFFFu));
        line += run;
        start = c;
    }
    return line;
}

std::string escapeTranscriptText(const std::string& text) {
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", c);
                    out += hex;
                } else {
                    out += ch;
                }
        }
    }
    return out;
}

std::string formatButtons(const MessageBoxDescription& box) {
    std::string first, second;
    switch (box.buttons) {
        case MsgButtons::Ok: first = "ok"; break;
        case MsgButtons::OkCancel: first = "ok", second = "cancel"; break;
        case MsgButtons::YesNo: first = "yes", second = "no"; break;
    }
    std::string text;
    if (second.empty()) {
        text = "[" + first + "]";
    } else if (box.secondIsDefault) {
        text = first + "/[" + second + "]";
    } else {
        text = "[" + first + "]/" + second;
    }
    if (box.icon == MsgIcon::Question) text += " question";
    if (box.icon == MsgIcon::Information) text += " information";
    return text;
}

const char* answerName(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Ok: return "ok";
        case MsgAnswer::Cancel: return "cancel";
        case MsgAnswer::Yes: return "yes";
        case MsgAnswer::No: return "no";
    }
    return "?";
}

namespace {

std::string markedBins(const OverviewStrip& strip, std::uint8_t mark) {
    std::string list;
    for (int k = 0; k < kOverviewBins; ++k) {
        if ((strip.marks[k] & mark) == 0) continue;
        int last = k;
        while (last + 1 < kOverviewBins && (strip.marks[last + 1] & mark) != 0) ++last;
        if (!list.empty()) list += ',';
        list += std::to_string(k);
        if (last > k) list += '-' + std::to_string(last);
        k = last;
    }
    return list.empty() ? "-" : list;
}

}  // namespace

std::string formatOverview(const OverviewStrip& strip) {
    if (!strip.fileOpen) return "OVERVIEW no file";
    return "OVERVIEW changed=" + markedBins(strip, kOverviewChanged) +
           " unwritten=" + markedBins(strip, kOverviewUnwritten) + " matches=" + markedBins(strip, kOverviewMatch) +
           " differences=" + markedBins(strip, kOverviewDifference) + " cursor=" + markedBins(strip, kOverviewCursor);
}

}  // namespace quorby
