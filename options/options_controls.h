#pragma once
// The controls of the "Options" dialog and the settings fields they set: the
// working copy, the description of the four pages, and the presets of
// "Config Types".
#include <cstdint>

#include "core/settings_record.h"
#include "platform/platform.h"

namespace quorby::options {

// The working copy: the settings with the access-mode flags in
// savedAccessFlags and the checked "Config Types" button.
struct OptionsCopy {
    SettingsRecord settings{};
    int configType = 0;   // one of the preset ids below
};

// Control numbers.
enum OptionsControl : int {
    kOptionsOk = 1,
    kOptionsCancel = 2,
    kFixedPathBox = 168,
    kAlternativePathBox = 169,
    kDisasm32Bit = 325,
    kDisasmRealMode = 326,
    kFixedPath = 420,
    kFixedPathCancel = 421,
    kAlternativePath = 422,
    kAlternativePathCancel = 423,
    kNeverSameDrive = 424,
    kMessageFirst = 510,  // 510 + bit: the check box of a message switch
    kShowAll = 540,
    kShowNone = 541,
    kConfigStandard = 601,
    kConfigMaxSafety = 602,
    kConfigUserDefined = 603,
    kConfigBigChanges = 604,
};

inline constexpr std::uint32_t kMessageSwitchCount = 19;
inline constexpr std::uint32_t kShowNoneSwitches = 0x2700;  // bits 8, 9, 10 and 13

// The settings field a control sets, and how: a radio button or check box
// stands checked when (field & mask) == value; choosing or checking it puts
// `value` into the masked bits, unchecking a check box their complement.
enum class OptionField {
    None, Resolution, Scrolling, DoubleClick, RightClick, AccessFlags, AccessMode, WriteAccess, JournalLocation,
    UndoOptions, Messages,
};

struct OptionControlDef {
    int id;
    int page;             // 1 "View", 2 "File Access", 3 "Messages", 4 "Config Types"; 0 below the pages
    ControlKind kind;
    const char* text;
    OptionField field;
    std::uint32_t mask;
    std::uint32_t value;
    int column, row;
    int frame;            // the group box around it
    int group;            // radio group
};

// Every control of the dialog, in the order the dialog lists them.
const OptionControlDef* optionControls(std::size_t* count);
std::uint32_t* optionField(SettingsRecord& s, OptionField field);

// The copy the dialog starts from.
OptionsCopy makeWorkingCopy(const SettingsRecord& settings, std::uint32_t accessFlags);
DialogDescription optionsDescription(const OptionsCopy& copy);
// Shows the copy in every control: checked states, path texts, the path boxes
// greyed while their check box is clear.
void showCopy(DialogDescription& dialog, const OptionsCopy& copy);
// Takes a check box's or radio button's state into the copy (the table's
// fields and the disassembly mode boxes; not the path check boxes, the
// message buttons and the presets, which act).
void takeControl(OptionsCopy& copy, const DialogControl& control);

// Fills the copy as a "Config Types" button does.
void applyPreset(OptionsCopy& copy, int presetId);
// The preset whose values the copy holds ("userdefined" when none does).
[[nodiscard]] int presetOf(const OptionsCopy& copy);

}  // namespace quorby::options
