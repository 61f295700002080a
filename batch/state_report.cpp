#include "batch/state_report.h"

#include <cinttypes>
#include <cstdio>

namespace quorby {

namespace {

std::string hex(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIX64, v);
    return text;
}

std::string dec(std::uint64_t v) { return std::to_string(v); }

std::string flag(bool b) { return b ? "1" : "0"; }

// A position the AVI walk may not have found.
std::string hexOrNone(std::uint64_t v) { return v == kNoPos ? "none" : hex(v); }

std::string streamId(bool known, FourCc id) { return known ? fourCcText(id) : "none"; }

const char* kindName(MainKind kind) {
    switch (kind) {
        case MainKind::None: return "none";
        case MainKind::File: return "file";
        case MainKind::LogicalDrive: return "logical-drive";
        case MainKind::PhysicalDrive: return "physical-drive";
    }
    return "?";
}

const char* compareModeName(CompareMode mode) {
    switch (mode) {
        case CompareMode::None: return "none";
        case CompareMode::OtherFile: return "file";
        case CompareMode::OtherPosition: return "position";
    }
    return "?";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> stateReport(const AppState& app) {
    const ViewState& v = app.view;
    const MainFileState& m = app.main;
    return {
        {"mainName", m.mainName},
        {"mainKind", kindName(m.mainKind)},
        {"fileSize", hex(m.fileSize)},
        {"pagePos", hex(v.pagePos)},
        {"pageLength", dec(v.pageLength)},
        {"viewOffset", dec(v.viewOffset)},
        {"cursorOffset", dec(v.cursorOffset)},
        {"cursorPos", hex(v.cursorPos())},
        {"cursorInChars", flag(v.cursorInChars)},
        {"halfDirty", flag(v.halfDirty[0]) + flag(v.halfDirty[1])},
        {"selectionStart", hex(v.selectionStart)},
        {"selectionEnd", hex(v.selectionEnd)},
        {"selectionActive", hex(v.selectionActive)},
        {"rememberedStart", hex(v.rememberedStart)},
        {"rememberedEnd", hex(v.rememberedEnd)},
        {"midPtr", hex(v.midPtr)},
        {"headerShift", dec(v.headerShift)},
        {"accessFlags", hex(app.shell.accessFlags)},
        {"modeFlags", hex(app.shell.modeFlags)},
        {"cellWidth", dec(std::uint64_t(v.cellWidth))},
        {"rowHeight", dec(std::uint64_t(v.rowHeight))},
        {"messageSwitches", hex(app.settings.messageSwitches)},
        {"compareMode", compareModeName(app.compare.mode)},
        {"firstPoint", hex(app.compare.firstPoint)},
        {"secondPoint", hex(app.compare.secondPoint)},
        {"compareShift", app.compare.shift < 0 ? "-" + hex(0 - std::uint64_t(app.compare.shift))
                                               : hex(std::uint64_t(app.compare.shift))},
        {"moviBase", hexOrNone(app.avi.facts.moviBase)},
        {"idx1Pos", hexOrNone(app.avi.facts.idx1Pos)},
        {"superIndex00", hex(app.avi.facts.superIndexPos[0])},
        {"superIndex01", hex(app.avi.facts.superIndexPos[1])},
        {"videoDataId", streamId(app.avi.facts.videoIdKnown, app.avi.facts.videoDataId)},
        {"audioDataId", streamId(app.avi.facts.audioIdKnown, app.avi.facts.audioDataId)},
        {"playOffset", dec(app.avi.playOffset)},
    };
}

bool stateValue(const AppState& app, const std::string& name, std::string* value) {
    for (auto& [key, text] : stateReport(app)) {
        if (key == name) {
            *value = text;
            return true;
        }
    }
    return false;
}

}  // namespace quorby
