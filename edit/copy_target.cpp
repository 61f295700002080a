#include "edit/copy_target.h"

#include <cerrno>

#include "state/error_report.h"
#include "state/settings_file.h"
#include "edit/free_space.h"
#include "document/same_file.h"

namespace quorby {

namespace {

FileDialogResult askTargetName(AppState& app, const char* caption, const std::string& preset) {
    FileDialogRequest request;
    request.save = true;
    request.title = caption;
    request.filterName = "all Files";
    request.filterPattern = "*.*";
    request.presetName = preset;
    request.showReadOnlyBox = true;
    request.readOnlyChecked = false;
    return app.platform->fileDialog(request);
}

// Emptying or appending to the Main File or the Journal File while they are
// read would destroy the content being copied.
bool refuseOwnFile(AppState& app, const std::string& name) {
    const bool own = isOpenMainOrJournal(app, name);
    if (own) showMessageBox(app, kOwnFileTargetText, kOwnFileTargetCaption, MsgButtons::Ok, MsgIcon::Information);
    return own;
}

enum class Chosen { Open, AskAgain, End };

Chosen openNewTarget(AppState& app, const std::string& name, CopyTarget& target) {
    const bool existed = app.files->exists(name);
    FileHandle handle = kNoFile;
    if (app.files->open(name, OpenMode::CreateReadWrite, &handle) != 0) {
        reportError(app, kErrorWriting, name);
        return Chosen::End;
    }
    if (existed) {
        MsgAnswer answer = showMessageBox(app, kOverwriteQuestion, kOverwriteCaption, MsgButtons::YesNo,
                                   MsgIcon::Question, true);
        if (answer != MsgAnswer::Yes) {
            app.files->close(handle);
            return Chosen::AskAgain;
        }
        if (app.files->setSize(handle, 0) != 0) {
            reportError(app, kErrorGeneral, name);
            app.files->close(handle);
            return Chosen::End;
        }
    }
    target.handle = handle;
    target.name = name;
    target.writePos = 0;
    return Chosen::Open;
}

}  // namespace

int createTarget(AppState& app, const char* caption, const std::string& preset, CopyTarget& target) {
    for (;;) {
        FileDialogResult chosen = askTargetName(app, caption, preset);
        if (!chosen.accepted || chosen.path.empty()) return 1;
        if (refuseOwnFile(app, chosen.path)) continue;
        switch (openNewTarget(app, chosen.path, target)) {
            case Chosen::Open: return 0;
            case Chosen::AskAgain: continue;
            case Chosen::End: return 1;
        }
    }
}

int openAppendTarget(AppState& app, const char* caption, bool readOnlyAllowed, CopyTarget& target) {
    for (;;) {
        FileDialogResult chosen = askTargetName(app, caption, pathFieldText(app.settings.lastAppendTarget));
        if (!chosen.accepted || chosen.path.empty()) return 1;
        // A name too long for the settings is said so there; the append goes on.
        (void)storePathField(app, app.settings.lastAppendTarget, chosen.path);
        if (chosen.readOnly && !readOnlyAllowed) {
            MsgAnswer answer = showMessageBox(app, kReopenQuestion, kReopenCaption, MsgButtons::OkCancel, MsgIcon::Question);
            if (answer != MsgAnswer::Ok) return 1;
            continue;
        }
        if (refuseOwnFile(app, chosen.path)) continue;
        const OpenMode mode = chosen.readOnly ? OpenMode::ReadOnly : OpenMode::CreateReadWrite;
        FileHandle handle = kNoFile;
        FilePos end = 0;
        if (app.files->open(chosen.path, mode, &handle) != 0) {
            reportError(app, kErrorWriting, chosen.path);
            return 1;
        }
        if (app.files->size(handle, &end) != 0) {
            reportError(app, kErrorReading, chosen.path);
            app.files->close(handle);
            return 1;
        }
        target.handle = handle;
        target.name = chosen.path;
        target.writePos = end;
        return 0;
    }
}

int checkFreeSpace(AppState& app, const std::string& name, FilePos bytes) {
    return requireFreeSpace(app, name, bytes);
}

int writeToTarget(AppState& app, CopyTarget& target, const std::uint8_t* bytes, std::uint32_t count) {
    if (count == 0) return 0;
    std::uint32_t done = 0;
    int result = app.files->writeAt(target.handle, target.writePos, bytes, count, &done);
    target.writePos += done;
    if (result == 0 && done < count) {
        // A write that stops short without an error: the filesystem is full.
        app.files->setLastError({112, ENOSPC});
        result = 1;
    }
    if (result != 0) reportError(app, kErrorWriting, target.name);
    return result;
}

void closeTarget(AppState& app, CopyTarget& target) {
    if (target.handle != kNoFile) app.files->close(target.handle);
    target.handle = kNoFile;
}

}  // namespace quorby
