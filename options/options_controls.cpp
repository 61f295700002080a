#include "options/options_controls.h"

#include <iterator>

#include "decoder/decoder_state.h"
#include "state/edit_state.h"
#include "state/settings_file.h"

namespace quorby::options {

namespace {

using disasm::DecoderMode;

using K = ControlKind;
using F = OptionField;

constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint32_t kDirectAccess = 1u << 2;  // of the access-mode flags
constexpr int kJournalPathsBox = 419;
// A journal directory such as /home/user/.local/share/quorby/journal/ fits;
// longer ones scroll in the box.
constexpr int kPathBoxChars = 40;

#define MESSAGE(bit, text, frame, row) {kMessageFirst + (bit), 3, K::CheckBox, text, F::Messages, 1u << (bit), 1u << (bit), 0, row, frame, 0}

const OptionControlDef kControls[] = {
    // "View"
    {300, 1, K::Group, "Resolution", F::None, 0, 0, 0, 0, 0, 0},
    {301, 1, K::Radio, "&Byte", F::Resolution, kAll, 1, 0, 0, 300, 1},
    {302, 1, K::Radio, "&Zeile", F::Resolution, kAll, 2, 0, 1, 300, 1},
    {303, 1, K::Radio, "256 Bytes", F::Resolution, kAll, 4, 0, 2, 300, 1},
    {304, 1, K::Radio, "512 Bytes", F::Resolution, kAll, 8, 0, 3, 300, 1},
    {310, 1, K::Group, "Scrolling", F::None, 0, 0, 1, 0, 0, 0},
    {311, 1, K::Radio, "Moving the Cursor", F::Scrolling, 1, 0, 0, 0, 310, 2},
    {312, 1, K::Radio, "Moving the Background", F::Scrolling, 1, 1, 0, 1, 310, 2},
    {313, 1, K::CheckBox, "Allow Auto Scrolling (Strg.-Up/Dn)", F::Scrolling, 2, 2, 0, 2, 310, 0},
    {320, 1, K::Group, "Double Click Action", F::None, 0, 0, 0, 1, 0, 0},
    {321, 1, K::Radio, "As right Mouse Key", F::DoubleClick, 15, 0, 0, 0, 320, 3},
    {322, 1, K::Radio, "Show Values", F::DoubleClick, 15, 1, 0, 1, 320, 3},
    {323, 1, K::Radio, "Disassemble", F::DoubleClick, 15, 2, 0, 2, 320, 3},
    {kDisasm32Bit, 1, K::CheckBox, "32 Bit", F::None, 0, 0, 1, 2, 320, 0},
    {kDisasmRealMode, 1, K::CheckBox, "Real M.", F::None, 0, 0, 2, 2, 320, 0},
    {324, 1, K::Radio, "AVI-Chunk markieren", F::DoubleClick, 15, 4, 0, 3, 320, 3},
    {330, 1, K::Group, "Right Click Action", F::None, 0, 0, 1, 1, 0, 0},
    {331, 1, K::Radio, "Edit Menu", F::RightClick, kAll, 0, 0, 0, 330, 4},
    {332, 1, K::Radio, "Specials Menu", F::RightClick, kAll, 1, 0, 1, 330, 4},
    // "File Access"
    {401, 2, K::Radio, "Write Changes first in Journal-File", F::AccessFlags, kDirectAccess, 0, 0, 1, 0, 5},
    {402, 2, K::Radio, "Direct File Access", F::AccessFlags, kDirectAccess, kDirectAccess, 0, 2, 0, 5},
    {403, 2, K::Label, "only this Session", F::None, 0, 0, 1, 0, 0, 0},
    {404, 2, K::Label, "always", F::None, 0, 0, 2, 0, 0, 0},
    {405, 2, K::Radio, "", F::AccessMode, 2, 0, 1, 1, 0, 6},
    {406, 2, K::Radio, "", F::AccessMode, 2, 2, 2, 1, 0, 6},
    {410, 2, K::CheckBox, "Write Protection as Standard", F::WriteAccess, 1, 0, 0, 3, 0, 0},
    {411, 2, K::CheckBox, "", F::WriteAccess, 2, 0, 1, 3, 0, 0},
    // The journal directories in a box of their own, so that the path boxes
    // do not widen the columns of the access buttons above.
    {kJournalPathsBox, 2, K::Group, "", F::None, 0, 0, 0, 4, 0, 0},
    {kFixedPath, 2, K::CheckBox, "Fixed &Path", F::JournalLocation, 1, 1, 0, 0, kJournalPathsBox, 0},
    {kFixedPathBox, 2, K::Edit, "", F::None, 0, 0, 1, 0, kJournalPathsBox, 0},
    {kFixedPathCancel, 2, K::Button, "CANCEL", F::None, 0, 0, 2, 0, kJournalPathsBox, 0},
    {kAlternativePath, 2, K::CheckBox, "alternative Path", F::JournalLocation, 2, 2, 0, 1, kJournalPathsBox, 0},
    {kAlternativePathBox, 2, K::Edit, "", F::None, 0, 0, 1, 1, kJournalPathsBox, 0},
    {kAlternativePathCancel, 2, K::Button, "CANCEL", F::None, 0, 0, 2, 1, kJournalPathsBox, 0},
    {kNeverSameDrive, 2, K::CheckBox, "never same Drive as Main File", F::JournalLocation, 4, 4, 0, 2, kJournalPathsBox, 0},
    {430, 2, K::Group, "Undo-Options", F::None, 0, 0, 0, 7, 0, 0},
    {431, 2, K::Radio, "deactivate Undo", F::UndoOptions, 3, 0, 0, 0, 430, 7},
    {432, 2, K::Radio, "Keep Data for Restoring Main File", F::UndoOptions, 3, 1, 0, 1, 430, 7},
    {433, 2, K::Radio, "Undo for all Changes", F::UndoOptions, 3, 3, 0, 2, 430, 7},
    // "Messages"
    {501, 3, K::Group, "general Messages", F::None, 0, 0, 0, 0, 0, 0},
    MESSAGE(0, "Info at Start", 501, 0),
    {502, 3, K::Group, "when Exiting", F::None, 0, 0, 0, 1, 0, 0},
    MESSAGE(1, "Save File ?", 502, 0),
    MESSAGE(2, "Save Journal File ?", 502, 1),
    {503, 3, K::Group, "General", F::None, 0, 0, 1, 0, 0, 0},
    MESSAGE(3, "Compare with F6", 503, 0),
    MESSAGE(4, "Compare: File bigger / smaller", 503, 1),
    MESSAGE(5, "Journal File is growing", 503, 2),
    MESSAGE(6, "Enlarge / Decrease ?", 503, 3),
    MESSAGE(7, "Same Drive for Journal File", 503, 4),
    {504, 3, K::Group, "Warnings", F::None, 0, 0, 1, 1, 0, 0},
    MESSAGE(8, "Write Protect", 504, 0),
    MESSAGE(9, "To big for Clipboard", 504, 1),
    MESSAGE(11, "Writing directly", 504, 2),
    MESSAGE(13, "Unwritten Changes", 504, 3),
    {505, 3, K::Group, "Questions", F::None, 0, 0, 2, 0, 0, 0},
    MESSAGE(10, "Overwrite Journal File ?", 505, 0),
    MESSAGE(12, "Save File ?", 505, 1),
    MESSAGE(14, "Delete Journal File ?", 505, 2),
    MESSAGE(15, "Save Page ?", 505, 3),
    MESSAGE(16, "ESC: Discard Changes ?", 505, 4),
    MESSAGE(17, "Paste: enlarge File ?", 505, 5),
    MESSAGE(18, "F2 / F4: Change Main File ?", 505, 6),
    {kShowAll, 3, K::CheckBox, "Show ALL", F::None, 0, 0, 0, 3, 0, 0},
    {kShowNone, 3, K::CheckBox, "Show NONE", F::None, 0, 0, 1, 3, 0, 0},
    // "Config Types"
    {kConfigStandard, 4, K::Radio, "Standard", F::None, 0, 0, 0, 0, 0, 8},
    {kConfigMaxSafety, 4, K::Radio, "maximal\nSafety", F::None, 0, 0, 0, 1, 0, 8},
    {612, 4, K::Label, "Journal File, max.Undo\nneeds much Space, possibly slow", F::None, 0, 0, 1, 1, 0, 0},
    {kConfigUserDefined, 4, K::Radio, "userdefined", F::None, 0, 0, 0, 2, 0, 8},
    {613, 4, K::Label, "(click here and\nmake your Settings)", F::None, 0, 0, 1, 2, 0, 0},
    {kConfigBigChanges, 4, K::Radio, "for big amount of\nChanges", F::None, 0, 0, 0, 3, 0, 8},
    {614, 4, K::Label, "direct File Access\nUndo impossible", F::None, 0, 0, 1, 3, 0, 0},
    // below the pages
    {kOptionsOk, 0, K::Button, "OK", F::None, 0, 0, 1, 0, 0, 0},
    {kOptionsCancel, 0, K::Button, "CANCEL", F::None, 0, 0, 2, 0, 0, 0},
};
#undef MESSAGE

const OptionControlDef* defOf(int id) {
    for (const OptionControlDef& d : kControls)
        if (d.id == id) return &d;
    return nullptr;
}

void setBits(std::uint32_t& word, std::uint32_t mask, std::uint32_t value) { word = (word & ~mask) | (value & mask); }

// The offered undo option that is in effect. Bit 1 alone (the settings'
// default, or "maximal\nSafety" chosen after no undo) works as "Undo for all
// Changes": every store appends a version, and a word that is not 0 keeps the
// data for restoring the Main File. The word itself changes only when the
// user chooses a button.
std::uint32_t undoChoiceInEffect(std::uint32_t undoOptions) {
    if (undoOptions & kUndoEveryChange) return 3;
    return undoOptions & 1;
}

// The six fields that the presets and userDefinedConfig cover.
bool sameConfig(const SettingsRecord& a, const SettingsRecord& b) {
    return a.messageSwitches == b.messageSwitches && a.accessMode == b.accessMode &&
           a.writeAccess == b.writeAccess && a.journalLocation == b.journalLocation &&
           a.undoOptions == b.undoOptions && a.savedAccessFlags == b.savedAccessFlags;
}

}  // namespace

const OptionControlDef* optionControls(std::size_t* count) {
    *count = std::size(kControls);
    return kControls;
}

std::uint32_t* optionField(SettingsRecord& s, OptionField field) {
    switch (field) {
    case F::Resolution: return &s.resolution;
    case F::Scrolling: return &s.scrolling;
    case F::DoubleClick: return &s.doubleClickAction;
    case F::RightClick: return &s.rightClickMenu;
    case F::AccessFlags: return &s.savedAccessFlags;
    case F::AccessMode: return &s.accessMode;
    case F::WriteAccess: return &s.writeAccess;
    case F::JournalLocation: return &s.journalLocation;
    case F::UndoOptions: return &s.undoOptions;
    case F::Messages: return &s.messageSwitches;
    case F::None: break;
    }
    return nullptr;
}

OptionsCopy makeWorkingCopy(const SettingsRecord& settings, std::uint32_t accessFlags) {
    OptionsCopy copy;
    copy.settings = settings;
    copy.settings.savedAccessFlags = accessFlags;
    copy.settings.journalLocation &= 0x0FFFFFFF;
    copy.configType = presetOf(copy);
    return copy;
}

DialogDescription optionsDescription(const OptionsCopy& copy) {
    DialogDescription d;
    d.title = "Options";
    d.okId = kOptionsOk;
    d.cancelId = kOptionsCancel;
    d.pages = {"View", "File Access", "Messages", "Config Types"};
    for (const OptionControlDef& def : kControls) {
        DialogControl c = dialogControl(def.id, def.kind, def.text, def.column, def.row);
        c.page = def.page;
        c.frame = def.frame;
        c.group = def.group;
        if (def.kind == K::Edit) c.chars = kPathBoxChars;
        d.controls.push_back(c);
    }
    showCopy(d, copy);
    return d;
}

void showCopy(DialogDescription& dialog, const OptionsCopy& copy) {
    SettingsRecord s = copy.settings;
    const DecoderMode mode = disasm::storedModeOf(s.disassemblerOptions);
    for (DialogControl& c : dialog.controls) {
        const OptionControlDef* def = defOf(c.id);
        if (def == nullptr) continue;
        if (def->field == F::UndoOptions) c.checked = undoChoiceInEffect(s.undoOptions) == def->value;
        else if (std::uint32_t* field = optionField(s, def->field)) c.checked = (*field & def->mask) == def->value;
        switch (c.id) {
        case kDisasm32Bit: c.checked = mode == DecoderMode::Protected32 || mode == DecoderMode::Protected64; break;
        case kDisasmRealMode: c.checked = mode == DecoderMode::Real16; break;
        case kFixedPathBox:
            c.value = pathFieldText(s.fixedJournalPath);
            c.enabled = (s.journalLocation & kJournalFixedPath) != 0;
            break;
        case kAlternativePathBox:
            c.value = pathFieldText(s.alternativeJournalPath);
            c.enabled = (s.journalLocation & kJournalAlternativePath) != 0;
            break;
        case kShowAll: c.checked = s.messageSwitches == kAll; break;
        case kShowNone: c.checked = s.messageSwitches == kShowNoneSwitches; break;
        case kConfigStandard: case kConfigMaxSafety: case kConfigUserDefined: case kConfigBigChanges:
            c.checked = c.id == copy.configType;
            break;
        default: break;
        }
    }
}

void takeControl(OptionsCopy& copy, const DialogControl& control) {
    const OptionControlDef* def = defOf(control.id);
    if (def == nullptr) return;
    std::uint32_t& options = copy.settings.disassemblerOptions;
    const DecoderMode mode = disasm::storedModeOf(options);
    // Checking one mode box clears the other; unchecking leaves 16-bit protected mode.
    if (control.id == kDisasm32Bit) {
        if (control.checked) options = disasm::withStoredMode(options, DecoderMode::Protected32);
        else if (mode == DecoderMode::Protected32 || mode == DecoderMode::Protected64)
            options = disasm::withStoredMode(options, DecoderMode::Protected16);
        return;
    }
    if (control.id == kDisasmRealMode) {
        if (control.checked) options = disasm::withStoredMode(options, DecoderMode::Real16);
        else if (mode == DecoderMode::Real16) options = disasm::withStoredMode(options, DecoderMode::Protected16);
        return;
    }
    std::uint32_t* field = optionField(copy.settings, def->field);
    if (field == nullptr) return;
    if (def->kind == K::Radio && control.checked) setBits(*field, def->mask, def->value);
    if (def->kind == K::CheckBox) setBits(*field, def->mask, control.checked ? def->value : ~def->value);
}

void applyPreset(OptionsCopy& copy, int presetId) {
    SettingsRecord& s = copy.settings;
    const std::uint32_t* user = s.userDefinedConfig;
    switch (presetId) {
    case kConfigStandard:
        setBits(s.writeAccess, 3, 0);
        setBits(s.journalLocation, 5, 1);
        setBits(s.accessMode, 2, 0);
        setBits(s.undoOptions, 3, 1);
        setBits(s.savedAccessFlags, kDirectAccess, 0);
        break;
    case kConfigMaxSafety:
        s.messageSwitches = kAll;
        setBits(s.writeAccess, 3, 0);
        setBits(s.journalLocation, 5, 5);
        setBits(s.undoOptions, 2, 2);
        setBits(s.accessMode, 2, 0);
        setBits(s.savedAccessFlags, kDirectAccess, 0);
        break;
    case kConfigUserDefined:
        s.messageSwitches = user[0];
        setBits(s.accessMode, 2, user[1]);
        setBits(s.writeAccess, 3, user[2]);
        setBits(s.journalLocation, 7, user[3]);
        setBits(s.undoOptions, 3, user[4]);
        setBits(s.savedAccessFlags, kDirectAccess, user[5]);
        break;
    case kConfigBigChanges:
        setBits(s.accessMode, 2, 2);
        setBits(s.undoOptions, 3, 0);
        setBits(s.savedAccessFlags, kDirectAccess, kDirectAccess);
        break;
    default:
        return;
    }
    copy.configType = presetId;
}

int presetOf(const OptionsCopy& copy) {
    for (int id : {kConfigStandard, kConfigMaxSafety, kConfigBigChanges}) {
        OptionsCopy tried = copy;
        applyPreset(tried, id);
        if (sameConfig(tried.settings, copy.settings)) return id;
    }
    return kConfigUserDefined;
}

}  // namespace quorby::options
