// The "Options" dialog over its working copy: every control against the
// settings field it sets, OK and CANCEL, the presets, the journal paths.
#include <gtest/gtest.h>

#include <cstring>

#include "core/command_codes.h"
#include "decoder/decoder_state.h"
#include "options/options_dialog.h"
#include "state/settings_file.h"
#include "tests/support/test_app.h"
#include "view/status_cells.h"

namespace quorby::options {
namespace {

using U32 = std::uint32_t SettingsRecord::*;

struct OptionsFixture : testing::TestApp {
    OptionsFixture() {
        useDefaultSettings("/j/", "/k/");
        io.directories = {"", "/j", "/k", "/home"};
        app.shell.accessFlags = kAccessNotLocked;
    }
    OptionsCopy copy() { return makeWorkingCopy(app.settings, app.shell.accessFlags); }
    // The user sets a control of the open dialog; the dialog reacts.
    static void act(AppState& app, OptionsCopy& c, DialogDescription& d, int id, bool checked, const char* text = nullptr) {
        DialogControl* control = d.find(id);
        ASSERT_NE(control, nullptr) << id;
        if (text) control->value = text;
        else if (control->kind == ControlKind::Radio) {
            for (DialogControl& other : d.controls)
                if (other.kind == ControlKind::Radio && other.group == control->group) other.checked = false;
            control->checked = true;
        } else {
            control->checked = checked;
        }
        reactToControl(app, c, d, id);
    }
    std::vector<std::uint8_t> settingsBytes() {
        std::vector<std::uint8_t> bytes(kSettingsRecordSize);
        encodeSettings(app.settings, bytes.data());
        return bytes;
    }
};

TEST(OptionsDialog, EveryControlSetsItsField) {
    // From the first start's settings (no message switched on): each control
    // checked (or chosen), then, for check boxes, unchecked again.
    const struct {
        int id;
        U32 field;
        std::uint32_t checked;
        std::uint32_t unchecked;  // check boxes only
    } controls[] = {
        {301, &SettingsRecord::resolution, 1, 0}, {302, &SettingsRecord::resolution, 2, 0},
        {303, &SettingsRecord::resolution, 4, 0}, {304, &SettingsRecord::resolution, 8, 0},
        {311, &SettingsRecord::scrolling, 2, 0}, {312, &SettingsRecord::scrolling, 3, 0},
        {313, &SettingsRecord::scrolling, 2, 0},
        {321, &SettingsRecord::doubleClickAction, 0, 0}, {322, &SettingsRecord::doubleClickAction, 1, 0},
        {323, &SettingsRecord::doubleClickAction, 2, 0}, {324, &SettingsRecord::doubleClickAction, 4, 0},
        {331, &SettingsRecord::rightClickMenu, 0, 0}, {332, &SettingsRecord::rightClickMenu, 1, 0},
        {401, &SettingsRecord::savedAccessFlags, kAccessNotLocked, 0},
        {402, &SettingsRecord::savedAccessFlags, kAccessNotLocked | kAccessDirect, 0},
        {405, &SettingsRecord::accessMode, 0, 0}, {406, &SettingsRecord::accessMode, 2, 0},
        {410, &SettingsRecord::writeAccess, 0, 1}, {411, &SettingsRecord::writeAccess, 0, 2},
        {431, &SettingsRecord::undoOptions, 0, 0}, {432, &SettingsRecord::undoOptions, 1, 0},
        {433, &SettingsRecord::undoOptions, 3, 0},
    };
    OptionsFixture f;
    std::size_t tested = 0;
    for (const auto& c : controls) {
        OptionsCopy copy = f.copy();
        DialogDescription d = optionsDescription(copy);
        const bool checkBox = d.find(c.id)->kind == ControlKind::CheckBox;
        OptionsFixture::act(f.app, copy, d, c.id, true);
        EXPECT_EQ(copy.settings.*c.field, c.checked) << c.id;
        EXPECT_TRUE(d.find(c.id)->checked) << c.id << " shows the copy";
        if (checkBox) {
            OptionsFixture::act(f.app, copy, d, c.id, false);
            EXPECT_EQ(copy.settings.*c.field, c.unchecked) << c.id << " unchecked";
        }
        ++tested;
    }
    // The 19 message switches, each its own bit.
    for (int bit = 0; bit < 19; ++bit) {
        OptionsCopy copy = f.copy();
        DialogDescription d = optionsDescription(copy);
        OptionsFixture::act(f.app, copy, d, kMessageFirst + bit, true);
        EXPECT_EQ(copy.settings.messageSwitches, 1u << bit);
        OptionsFixture::act(f.app, copy, d, kMessageFirst + bit, false);
        EXPECT_EQ(copy.settings.messageSwitches, 0u);
        ++tested;
    }
    // The disassembly mode of the double click lives in bits 0 and 1 of
    // disassemblerOptions: "32 Bit" is both set, "Real M." bit 0 clear; one
    // box clears the other, and the further flags are not touched.
    OptionsCopy copy = f.copy();
    copy.settings.disassemblerOptions = 2;
    DialogDescription d = optionsDescription(copy);
    EXPECT_TRUE(d.find(kDisasmRealMode)->checked);
    EXPECT_FALSE(d.find(kDisasm32Bit)->checked);
    const std::uint32_t flags = copy.settings.disassemblerFlags;
    OptionsFixture::act(f.app, copy, d, kDisasm32Bit, true);
    EXPECT_EQ(copy.settings.disassemblerOptions & 3u, 3u);
    EXPECT_FALSE(d.find(kDisasmRealMode)->checked);
    OptionsFixture::act(f.app, copy, d, kDisasmRealMode, true);
    EXPECT_EQ(copy.settings.disassemblerOptions & 1u, 0u);
    EXPECT_FALSE(d.find(kDisasm32Bit)->checked);
    OptionsFixture::act(f.app, copy, d, kDisasmRealMode, false);
    EXPECT_EQ(copy.settings.disassemblerOptions & 3u, 1u);
    EXPECT_FALSE(d.find(kDisasm32Bit)->checked);
    EXPECT_FALSE(d.find(kDisasmRealMode)->checked);
    EXPECT_EQ(copy.settings.disassemblerFlags, flags);
    copy.settings.disassemblerOptions = 0x00400003;  // as another version writes "32 Bit"
    d = optionsDescription(copy);
    EXPECT_TRUE(d.find(kDisasm32Bit)->checked);
    EXPECT_FALSE(d.find(kDisasmRealMode)->checked);
    tested += 2;

    // Every radio button and check box of the dialog was tried above or in
    // the preset, path and message-button tests.
    std::size_t count = 0;
    const OptionControlDef* defs = optionControls(&count);
    std::size_t choosable = 0;
    for (std::size_t i = 0; i < count; ++i)
        choosable += defs[i].kind == ControlKind::Radio || defs[i].kind == ControlKind::CheckBox;
    const std::size_t elsewhere = 4 /* presets */ + 3 /* path boxes */ + 2 /* Show ALL / NONE */;
    EXPECT_EQ(tested + elsewhere, choosable);
}

TEST(OptionsDialog, OkAppliesAndCancelLeavesTheSettingsByteIdentical) {
    OptionsFixture f;
    const std::vector<std::uint8_t> before = f.settingsBytes();
    const std::string lockCell = f.app.status.bottomLine + std::string(kStatusCellLength, ' ');
    auto changeEverything = [](DialogDescription& d) {
        for (int id : {304, 312, 323, 332, 402, 406, 433, int(kMessageFirst) + 4, int(kShowAll), int(kConfigBigChanges)}) {
            DialogControl* c = d.find(id);
            if (c->kind == ControlKind::Radio)
                for (DialogControl& other : d.controls)
                    if (other.kind == ControlKind::Radio && other.group == c->group) other.checked = false;
            c->checked = !c->checked || c->kind == ControlKind::Radio;
        }
    };
    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        changeEverything(d);
        return int(kOptionsCancel);
    });
    dispatchCommand(f.app, kCmdOptions);
    EXPECT_EQ(f.settingsBytes(), before);
    EXPECT_EQ(f.app.shell.accessFlags, std::uint32_t(kAccessNotLocked));
    EXPECT_EQ(f.app.nav.scrollStep, 16u) << "resolution unchanged";

    f.platform.dialogAnswers.push_back([&](DialogDescription& d) {
        d.find(304)->checked = true;
        d.find(301)->checked = false;
        d.find(312)->checked = true;
        d.find(311)->checked = false;
        return int(kOptionsOk);
    });
    dispatchCommand(f.app, kCmdOptions);
    EXPECT_EQ(f.app.settings.resolution, 8u);
    EXPECT_EQ(f.app.nav.scrollStep, 512u);
    EXPECT_EQ(std::string(f.app.status.bottomLine + kLockCellColumn, kStatusCellLength).find_first_not_of(' ') !=
                  std::string::npos,
              true)
        << "the lock cell names the resolution";
    EXPECT_TRUE(f.app.shell.modeFlags & kModeArrowsMoveView);
}

TEST(OptionsDialog, TheAccessModeSwitchesAtOnce) {
    OptionsFixture f;
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(kConfigBigChanges)->checked = true;
        d.find(kConfigUserDefined)->checked = false;
        return int(kOptionsOk);
    });
    dispatchCommand(f.app, kCmdOptions);
    EXPECT_EQ(std::string(f.app.status.bottomLine + kAccessCellColumn, kStatusCellLength), " directly");
    EXPECT_TRUE(f.app.shell.accessFlags & kAccessDirect);
    EXPECT_EQ(f.app.settings.accessMode, 3u) << "always, and for this session";
    EXPECT_EQ(f.app.settings.undoOptions, 0u);

    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(401)->checked = true;
        d.find(402)->checked = false;
        return int(kOptionsOk);
    });
    dispatchCommand(f.app, kCmdOptions);
    EXPECT_EQ(std::string(f.app.status.bottomLine + kAccessCellColumn, kStatusCellLength), " Journal ");
    EXPECT_FALSE(f.app.shell.accessFlags & kAccessDirect);
}

// The first start's undo word 2 is none of the offered 0, 1 and 3, yet every
// change is appended as with "Undo for all Changes": that button is shown
// chosen, and OK without a choice leaves the word as it is.
TEST(OptionsDialog, TheUndoOptionInEffectIsShownChosen) {
    OptionsFixture f;
    ASSERT_EQ(f.app.settings.undoOptions, 2u) << "the first start's default";
    const struct { std::uint32_t word; int shown; } cases[] = {{0, 431}, {1, 432}, {2, 433}, {3, 433}};
    for (const auto& c : cases) {
        f.app.settings.undoOptions = c.word;
        DialogDescription d = optionsDescription(f.copy());
        for (int id : {431, 432, 433})
            EXPECT_EQ(d.find(id)->checked, id == c.shown) << "word " << c.word << ", button " << id;
    }

    f.app.settings.undoOptions = 2;
    f.platform.dialogAnswers.push_back([](DialogDescription&) { return int(kOptionsOk); });
    dispatchCommand(f.app, kCmdOptions);
    EXPECT_EQ(f.app.settings.undoOptions, 2u);
    f.platform.dialogAnswers.push_back([](DialogDescription& d) {
        d.find(433)->checked = false;
        d.find(432)->checked = true;
        return int(kOptionsOk);
    });
    dispatchCommand(f.app, kCmdOptions);
    EXPECT_EQ(f.app.settings.undoOptions, 1u);
}

TEST(OptionsDialog, PresetsSetTheirValues) {
    const std::uint32_t user[6] = {0x2700, 2, 3, 5, 3, 4};
    const struct {
        int preset;
        std::uint32_t messages, accessMode, writeAccess, journalLocation, undo, accessFlags;
    } presets[] = {
        // from messages 0, accessMode 2, writeAccess 3, journalLocation 6, undoOptions 2, direct access
        {kConfigStandard, 0, 0, 0, 3, 1, kAccessNotLocked},
        {kConfigMaxSafety, 0xFFFFFFFF, 0, 0, 7, 2, kAccessNotLocked},
        {kConfigUserDefined, 0x2700, 2, 3, 5, 3, kAccessNotLocked | kAccessDirect},
        {kConfigBigChanges, 0, 2, 3, 6, 0, kAccessNotLocked | kAccessDirect},
    };
    for (const auto& p : presets) {
        OptionsFixture f;
        SettingsRecord& s = f.app.settings;
        s.accessMode = 2;
        s.writeAccess = 3;
        s.journalLocation = 6;
        std::memcpy(s.userDefinedConfig, user, sizeof user);
        f.app.shell.accessFlags = kAccessNotLocked | kAccessDirect;
        OptionsCopy copy = f.copy();
        DialogDescription d = optionsDescription(copy);
        OptionsFixture::act(f.app, copy, d, p.preset, true);
        EXPECT_EQ(copy.settings.messageSwitches, p.messages) << p.preset;
        EXPECT_EQ(copy.settings.accessMode, p.accessMode) << p.preset;
        EXPECT_EQ(copy.settings.writeAccess, p.writeAccess) << p.preset;
        EXPECT_EQ(copy.settings.journalLocation & 7, p.journalLocation) << p.preset;
        EXPECT_EQ(copy.settings.undoOptions, p.undo) << p.preset;
        EXPECT_EQ(copy.settings.savedAccessFlags, p.accessFlags) << p.preset;
        // Undo words 2 and 3 both append every change.
        EXPECT_EQ(d.find(433)->checked, p.undo == 2 || p.undo == 3) << "the other pages show it at once";
    }
}

TEST(OptionsDialog, MessageButtonsAndUserDefinedAcrossSessions) {
    OptionsFixture f;
    OptionsCopy copy = f.copy();
    DialogDescription d = optionsDescription(copy);
    OptionsFixture::act(f.app, copy, d, kShowAll, true);
    EXPECT_EQ(copy.settings.messageSwitches, 0xFFFFFFFFu);
    EXPECT_TRUE(d.find(kShowAll)->checked);
    EXPECT_TRUE(d.find(kMessageFirst + 18)->checked);
    OptionsFixture::act(f.app, copy, d, kShowNone, true);
    EXPECT_EQ(copy.settings.messageSwitches, 0x2700u);
    EXPECT_TRUE(d.find(kShowNone)->checked);
    EXPECT_FALSE(d.find(kShowAll)->checked);
    EXPECT_TRUE(d.find(kMessageFirst + 13)->checked);
    EXPECT_FALSE(d.find(kMessageFirst + 0)->checked);

    // "userdefined" checked at OK keeps the choices; a later session brings them back.
    OptionsFixture::act(f.app, copy, d, 406, true);
    OptionsFixture::act(f.app, copy, d, kConfigUserDefined, true);
    OptionsFixture::act(f.app, copy, d, kShowNone, true);
    OptionsFixture::act(f.app, copy, d, 406, true);
    OptionsFixture::act(f.app, copy, d, 432, true);
    applyOptions(f.app, copy);
    EXPECT_EQ(f.app.settings.userDefinedConfig[0], 0x2700u);
    EXPECT_EQ(f.app.settings.userDefinedConfig[1], 3u);
    EXPECT_EQ(f.app.settings.userDefinedConfig[4], 1u);

    OptionsCopy later = f.copy();
    DialogDescription d2 = optionsDescription(later);
    OptionsFixture::act(f.app, later, d2, kConfigStandard, true);
    OptionsFixture::act(f.app, later, d2, kShowAll, true);
    EXPECT_EQ(later.settings.undoOptions, 1u);
    OptionsFixture::act(f.app, later, d2, kConfigUserDefined, true);
    EXPECT_EQ(later.settings.messageSwitches, 0x2700u);
    EXPECT_EQ(later.settings.accessMode & 2, 2u);
    EXPECT_EQ(later.settings.undoOptions, 1u);
}

TEST(OptionsDialog, JournalPathBoxes) {
    OptionsFixture f;
    OptionsCopy copy = f.copy();
    DialogDescription d = optionsDescription(copy);
    EXPECT_EQ(d.find(kFixedPathBox)->value, "/j/");
    EXPECT_FALSE(d.find(kAlternativePathBox)->enabled);

    // A typed directory is created and shown with '/'; the empty one before is removed.
    OptionsFixture::act(f.app, copy, d, kFixedPathBox, false, "/home/journals");
    EXPECT_EQ(d.find(kFixedPathBox)->value, "/home/journals/");
    EXPECT_TRUE(f.io.directories.count("/home/journals"));
    EXPECT_FALSE(f.io.directories.count("/j"));
    EXPECT_TRUE(copy.settings.journalLocation & kJournalPathsEdited);

    // Bad directories leave the copy as it was: one that cannot be made, one too long for its field.
    for (const std::string& bad : {std::string("/nowhere/deeper/x"), "/home/" + std::string(300, 'a'), std::string()}) {
        f.io.failMakeDirectory["/nowhere"] = {5, EACCES};
        const std::size_t boxes = f.platform.boxes.size();
        OptionsFixture::act(f.app, copy, d, kFixedPathBox, false, bad.c_str());
        EXPECT_EQ(d.find(kFixedPathBox)->value, "/home/journals/") << bad.size();
        EXPECT_EQ(f.platform.boxes.size(), boxes + 1) << "said so";
    }

    // "CANCEL" beside the box: the settings' path again.
    OptionsFixture::act(f.app, copy, d, kFixedPathCancel, false);
    EXPECT_EQ(d.find(kFixedPathBox)->value, "/j/");

    // "alternative Path" turns on "Fixed &Path"; unchecking the fixed path is
    // refused while "never same Drive as Main File" is checked, and otherwise
    // takes the alternative path with it.
    OptionsFixture::act(f.app, copy, d, kFixedPath, false);
    EXPECT_EQ(copy.settings.journalLocation & 7, 0u);
    EXPECT_FALSE(d.find(kFixedPathBox)->enabled);
    OptionsFixture::act(f.app, copy, d, kAlternativePath, true);
    EXPECT_EQ(copy.settings.journalLocation & 7, 3u);
    EXPECT_TRUE(f.io.directories.count("/k"));
    OptionsFixture::act(f.app, copy, d, kNeverSameDrive, true);
    OptionsFixture::act(f.app, copy, d, kFixedPath, false);
    EXPECT_EQ(copy.settings.journalLocation & 7, 7u);
    EXPECT_TRUE(d.find(kFixedPath)->checked);
    OptionsFixture::act(f.app, copy, d, kNeverSameDrive, false);
    OptionsFixture::act(f.app, copy, d, kFixedPath, false);
    EXPECT_EQ(copy.settings.journalLocation & 7, 0u);
    EXPECT_FALSE(d.find(kAlternativePath)->checked);
    EXPECT_FALSE(f.io.directories.count("/k")) << "empty, removed";
}

}  // namespace
}  // namespace quorby::options
