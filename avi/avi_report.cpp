#include "avi/avi_report.h"

#include "core/tables.h"

namespace quorby {

void reportLine(AviReport& report, std::string_view text) {
    report.append(text.substr(0, kReportTextMax));
    report.append("\r\n");
}

void reportPosLine(AviReport& report, FilePos pos, std::string_view label) {
    char position[20];
    formatPositionText(pos, position);
    report.append(std::string_view(position, sizeof position));
    report.append("   ");
    reportLine(report, label);
}

}  // namespace quorby
