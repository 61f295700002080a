// Opening a logical or physical drive: the "Open Drive" dialog and the
// opening of the chosen block device.
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "core/command_codes.h"
#include "resources/menus.h"
#include "state/error_report.h"
#include "filemenu/drive_dialog.h"
#include "document/main_file_steps.h"
#include "filemenu/open_close.h"
#include "view/status_cells.h"

namespace quorby {

namespace {


bool isPhysicalNumber(std::uint32_t driveNumber) { return driveNumber > 255; }

struct DriveChoice {
    std::uint32_t driveNumber = 0;
    std::string devicePath;
};



}  // namespace


namespace {

int openDrive(AppState& app, const DriveChoice& choice) {
    bool writable = !app.main.openReadOnly;
    if (app.main.mainHandle != kNoFile && app.main.mainKind != MainKind::File &&
        app.main.devicePath == choice.devicePath)
        return changeDriveAccess(app, writable);

    const std::string name = driveText(choice.driveNumber, choice.devicePath);
    FileHandle handle = kNoFile;
    if (openDeviceHandle(app, name, choice.devicePath, writable, &handle) != 0) return 1;
    FilePos size = 0;
    if (takeOverMainHandle(app, handle, name, &size) != 0) return 1;
    app.main.mainKind = isPhysicalNumber(choice.driveNumber) ? MainKind::PhysicalDrive : MainKind::LogicalDrive;
    app.main.previousDriveNumber = app.main.driveNumber;
    app.main.driveNumber = choice.driveNumber;
    app.main.devicePath = choice.devicePath;
    app.main.mainDriveLetter =
        app.main.mainKind == MainKind::LogicalDrive ? char('A' + choice.driveNumber) : 0;
    app.shell.modeFlags &= ~std::uint32_t(kModeOldDiskService);
    app.files->lastWriteTime(handle, &app.main.mainTime);
    showMainFileAccess(app, writable);
    app.main.fileSize = size;
    app.main.lastBytePos = size == 0 ? 0 : size - 1;
    setMainName(app, name);
    app.view.pagePos = 0;
    app.shell.modeFlags |= kModeDrive;
    enterPermanentMode(app, PermanentMode::Disk);
    app.platform->setMenuEnabled(kMenuAvi, false);
    if (app.main.mainKind == MainKind::LogicalDrive)
        app.platform->setMenuItemEnabled(kCmdDeleteDrivePhysically, false);
    finishOpening(app);
    return 0;
}

DialogControl control(int id, ControlKind kind, std::string text, bool enabled, int column, int row,
                      int group = 0) {
    DialogControl c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.enabled = enabled;
    c.column = column;
    c.row = row;
    c.group = group;
    return c;
}

// The rows of one group box: a radio button and the drive's device and size.
void addDriveRows(DialogDescription& dialog, const std::vector<DriveInfo>& drives, std::size_t slots, int radioFirst,
                  int infoFirst, int box, bool logical) {
    constexpr int column = 0;
    constexpr int kDriveRadioGroup = 1;  // one choice across both groups
    for (std::size_t i = 0; i < slots; ++i) {
        std::string label = logical ? std::string("&") + char('A' + i) + ":" : "&" + std::to_string(i + 1);
        bool present = i < drives.size();
        dialog.controls.push_back(control(radioFirst + int(i), ControlKind::Radio, label, present, column,
                                          int(i), kDriveRadioGroup));
        dialog.controls.back().frame = box;
        dialog.controls.push_back(control(infoFirst + int(i), ControlKind::Label,
                                          present ? driveInfoText(drives[i]) : "", present, column + 1,
                                          int(i)));
        dialog.controls.back().frame = box;
    }
}

// The checked, enabled radio button of the dialog, if any.
bool chosenDrive(DialogDescription& dialog, const std::vector<DriveInfo>& logical,
                 const std::vector<DriveInfo>& physical, DriveChoice* choice) {
    for (std::size_t i = 0; i < logical.size() && i < kMaxLogicalDriveSlots; ++i) {
        DialogControl* c = dialog.find(kDriveLogicalFirst + int(i));
        if (c && c->checked && c->enabled) {
            *choice = {std::uint32_t(i), logical[i].devicePath};
            return true;
        }
    }
    for (std::size_t i = 0; i < physical.size() && i < kMaxPhysicalDriveSlots; ++i) {
        DialogControl* c = dialog.find(kDrivePhysicalFirst + int(i));
        if (c && c->checked && c->enabled) {
            *choice = {kFirstPhysicalDriveNumber + std::uint32_t(i), physical[i].devicePath};
            return true;
        }
    }
    return false;
}

}  // namespace

std::string driveText(std::uint32_t driveNumber, const std::string& devicePath) {
    std::string text = "  Drive  A:";
    if (isPhysicalNumber(driveNumber)) {
        std::uint32_t k = driveNumber - kFirstPhysicalDriveNumber + 1;
        if (k >= 10) {
            text[8] = char('0' + k / 10 % 10);
            text[9] = char('0' + k % 10);
        } else {
            text[9] = char('0' + k);
        }
    } else {
        text[9] = char('A' + driveNumber % 26);
    }
    return text + " " + devicePath;
}

std::string driveInfoText(const DriveInfo& drive) {
    static const char* const kUnits[] = {"Bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    char size[32];
    if (drive.size < 1024) {
        std::snprintf(size, sizeof size, "%" PRIu64 " Bytes", drive.size);
    } else {
        int unit = 0;
        double value = double(drive.size);
        while (value >= 1024.0 && unit < 6) {
            value /= 1024.0;
            ++unit;
        }
        std::snprintf(size, sizeof size, "%.1f %s", value, kUnits[unit]);
    }
    return drive.devicePath + "   " + size;
}

int openDriveDialog(AppState& app) {
    std::vector<DriveInfo> logical, physical;
    app.files->listDrives(&logical, &physical);

    DialogDescription dialog;
    dialog.title = "Open Drive";
    dialog.okId = kDriveDialogOk;
    dialog.cancelId = kDriveDialogCancel;
    dialog.controls.push_back(control(kDriveGroupLogical, ControlKind::Group, "Logical Drives", true, 0, 0));
    dialog.controls.push_back(control(kDriveGroupPhysical, ControlKind::Group, "Physical Drives", true, 1, 0));
    addDriveRows(dialog, logical, kMaxLogicalDriveSlots, kDriveLogicalFirst, kDriveLogicalInfoFirst,
                 kDriveGroupLogical, true);
    addDriveRows(dialog, physical, kMaxPhysicalDriveSlots, kDrivePhysicalFirst, kDrivePhysicalInfoFirst,
                 kDriveGroupPhysical, false);
    DialogControl writeProtected =
        control(kDriveWriteProtected, ControlKind::CheckBox, "Open &write protected", true, 0, 1);
    writeProtected.checked = (app.settings.writeAccess & 1u) == 0;
    dialog.controls.push_back(writeProtected);
    dialog.controls.push_back(control(kDriveDialogOk, ControlKind::Button, "OK", true, 0, 2));
    dialog.controls.push_back(control(kDriveDialogCancel, ControlKind::Button, "Cancel", true, 1, 2));

    if (app.platform->runDialog(dialog) != kDriveDialogOk) return 1;
    DriveChoice choice;
    // OK without a chosen drive counts as Cancel.
    if (!chosenDrive(dialog, logical, physical, &choice)) return 1;
    app.main.openReadOnly = dialog.find(kDriveWriteProtected)->checked;
    return openDrive(app, choice);
}

int openDriveByPath(AppState& app, const std::string& devicePath, bool readOnly) {
    std::vector<DriveInfo> logical, physical;
    app.files->listDrives(&logical, &physical);
    DriveChoice choice;
    bool found = false;
    for (std::size_t i = 0; i < logical.size() && i < kMaxLogicalDriveSlots && !found; ++i)
        if (logical[i].devicePath == devicePath) {
            choice = {std::uint32_t(i), devicePath};
            found = true;
        }
    for (std::size_t i = 0; i < physical.size() && i < kMaxPhysicalDriveSlots && !found; ++i)
        if (physical[i].devicePath == devicePath) {
            choice = {kFirstPhysicalDriveNumber + std::uint32_t(i), devicePath};
            found = true;
        }
    if (!found) {
        MessageBoxDescription box;
        box.text = "The Device " + devicePath + " is not one of the Drives that can be opened !";
        box.caption = "Open Drive";
        app.platform->messageBox(box);
        return 1;
    }
    app.main.openReadOnly = readOnly;
    return openDrive(app, choice);
}

}  // namespace quorby
