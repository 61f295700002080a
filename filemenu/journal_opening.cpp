// The questions around the Journal File's opening and closing: finding or
// creating it by the naming rule (journal_naming.h), asking about one that
// fails the checks or belongs to a changed Main File, choosing one by hand,
// and at closing whether it is kept for later use. The operations they ask
// for are the document's (document/journal_lifecycle.h).
#include "filemenu/journal_opening.h"

#include <cstring>

#include "document/cut_command.h"
#include "document/journal_lifecycle.h"
#include "document/main_file.h"
#include "document/same_file.h"
#include "filemenu/drive_dialog.h"
#include "filemenu/journal_commands.h"
#include "filemenu/journal_naming.h"
#include "filemenu/open_close.h"
#include "journal/command_commit.h"
#include "journal/journal_dump.h"
#include "journal/journal_name.h"
#include "journal/journal_recovery.h"
#include "journal/rollback_file.h"
#include "state/error_report.h"
#include "state/settings_file.h"

namespace quorby {

namespace {

constexpr std::size_t kNameFieldLength = 50;    // the name in front of a question

// The last 50 characters of `name`, padded with blanks.
std::string nameField(const std::string& name) {
    std::string field = name.size() > kNameFieldLength ? name.substr(name.size() - kNameFieldLength) : name;
    field.resize(kNameFieldLength, ' ');
    return field;
}

void closeFile(AppState& app, FileHandle handle) {
    if (handle != kNoFile) app.files->close(handle);
}

int useRecreated(AppState& app, JournalFile& jf) {
    if (recreateJournalFor(app, jf) != 0) {
        closeFile(app, jf.handle);
        noJournal(app);
        return 1;
    }
    return adoptJournal(app, jf);
}

// Another instance that ended removes the journal directories it finds
// empty, also one that this instance made at its start and has not put a
// Journal File into yet. A Journal File named into the fixed or the
// alternative directory makes that directory again when it is gone.
bool remakeJournalDirectory(AppState& app, const std::string& journalName) {
    const std::size_t slash = journalName.rfind('/');
    if (slash == std::string::npos) return false;
    const std::string directory = journalName.substr(0, slash + 1);
    if (directory != journalDirectory(app, false) && directory != journalDirectory(app, true)) return false;
    if (app.files->exists(directory)) return false;
    return makeDirectoryPath(app, directory) == 0;
}

// "Journal-File could not be created automaticly !": the user may choose one.
int offerManualJournal(AppState& app) {
    MsgAnswer answer = showMessageBox(app,
                               "Journal-File could not be created automaticly !\n"
                               "Do you want to create it manually ?",
                               "Journal-File could not be created!", MsgButtons::YesNo, MsgIcon::Question, true);
    if (answer != MsgAnswer::Yes) {
        noJournal(app);
        return 1;
    }
    if (openOtherJournal(app) == 0) return 0;
    noJournal(app);
    showMessageBox(app, "Journal-File could not be created !\nPlease choose one manually !",
            "Journal-File could not be created!", MsgButtons::Ok, MsgIcon::Question);
    return 1;
}

// After a Journal File of an older format: the user chooses another one
// until one is open or he gives up.
int chooseAfterOldVersion(AppState& app) {
    for (;;) {
        if (openOtherJournal(app) == 0) return 0;
        MsgAnswer again = showMessageBox(app, "Journal-File could not be created!\n\nAnother Try ?", "No Success !",
                                  MsgButtons::YesNo, MsgIcon::Question);
        if (again != MsgAnswer::Yes) {
            noJournal(app);
            return 1;
        }
    }
}

// With "never same Drive as Main File": a Main File on the fixed directory's
// drive moves its Journal File to the alternative directory, or the user
// allows the same drive, or gives a name by hand on another drive (*given).
// Result 1 when the user cancelled the choice.
int chooseJournalDirectory(AppState& app, std::string* given) {
    std::uint32_t& location = app.settings.journalLocation;
    if ((location & kJournalNeverSameDrive) == 0) return 0;
    std::string mainDrive = mainFileDrivePath(app);
    if (!onSameDrive(app, journalDirectory(app, false), mainDrive)) return 0;
    if ((location & kJournalAlternativePath) && !onSameDrive(app, journalDirectory(app, true), mainDrive)) {
        location |= kJournalUseAlternative;
        return 0;
    }
    while (app.settings.messageSwitches & kMsgSameDriveJournal) {
        if (allowSameDrive(app)) break;
        FileDialogResult chosen = askJournalFileName(app, "Open Journal File", false, "");
        if (!chosen.accepted || chosen.path.empty()) return 1;
        if (refuseMainFileAsJournal(app, chosen.path)) continue;
        if (onSameDrive(app, chosen.path, mainDrive)) continue;
        location |= kJournalNameByHand;
        if (endsWithJnl(chosen.path)) location |= kJournalHandNameHasExtension;
        else location &= ~std::uint32_t(kJournalHandNameHasExtension);
        *given = chosen.path;
        return 0;
    }
    location &= ~std::uint32_t(kJournalNeverSameDrive);  // the drive is accepted for this opening
    return 0;
}

int openAutomaticForCurrentMainFile(AppState& app) {
    if (app.main.mainName.size() > kMainNameMaxLength) {
        showMessageBox(app,
                "The Name of the Main-File is too long for a Journal-File (at most 255 Characters) !\n"
                "The File is opened without Journal-File.",
                "No Journal-File !", MsgButtons::Ok, MsgIcon::Information);
        noJournal(app);
        return 1;
    }
    // Bit 2 and the working bits 3 to 5 serve this opening only.
    constexpr std::uint32_t kOpeningBits =
        std::uint32_t(kJournalNeverSameDrive) | kJournalNameByHand | kJournalHandNameHasExtension | kJournalUseAlternative;
    std::uint32_t& location = app.settings.journalLocation;
    std::uint32_t before = location & kOpeningBits;
    std::string given = app.main.mainName;
    std::string journalName;
    int result = 1;
    if (chooseJournalDirectory(app, &given) != 0) {
        noJournal(app);
    } else if (composeJournalName(app, given, &journalName, mainFileIsDrive(app)) != 0) {
        noJournal(app);
    } else {
        result = openAutomaticJournal(app, journalName);
    }
    location = (location & ~kOpeningBits) | before;
    return result;
}

}  // namespace

FileDialogResult askJournalFileName(AppState& app, const char* title, bool save, const std::string& preset) {
    FileDialogRequest request;
    request.save = save;
    request.title = title;
    request.filterName = "JNL-Files";
    request.filterPattern = "*.jnl";
    request.presetName = preset;
    request.showReadOnlyBox = false;
    request.readOnlyChecked = false;
    return app.platform->fileDialog(request);
}

bool refuseMainFileAsJournal(AppState& app, const std::string& name) {
    if (app.main.mainHandle == kNoFile || !sameFile(*app.files, name, app.main.mainName)) return false;
    showMessageBox(app, "The Main-File cannot be its own Journal-File !\n\nPlease choose another Journal-File !",
            kNotValidJournalCaption, MsgButtons::Ok, MsgIcon::Information);
    return true;
}






ChangedMainFile askAboutChangedMainFile(AppState& app, const JournalHeader& header) {
    if (mainFileIsDrive(app) || header.mainTime == app.main.mainTime) return ChangedMainFile::UseIt;
    // The program itself was writing when it ended: the change is its own.
    if (header.jnlFlags & kJnlMainFileWriting) return ChangedMainFile::UseIt;
    // A Journal File without changes cannot disagree with the Main File.
    if (isEmptyPtr(header.first) && isEmptyPtr(header.firstUndo)) return ChangedMainFile::UseIt;
    MsgAnswer answer = showMessageBox(app,
                               "Journal-File has been changed !\n\nUsing this File can cause Inconsistencies!\n\n"
                               "Use ist anyway ?",
                               "File has been changed !", MsgButtons::YesNo, MsgIcon::None);
    if (answer == MsgAnswer::Yes) {
        answer = showMessageBox(app, "To reduce Data-Error compare any changing Page\n\nwith F5 to the actual File-Content !",
                         "Check Data !", MsgButtons::OkCancel, MsgIcon::None);
        if (answer == MsgAnswer::Ok) return ChangedMainFile::UseIt;
    }
    answer = showMessageBox(app, kDeleteJournalQuestion, kDeleteJournalCaption, MsgButtons::YesNo, MsgIcon::Question, true);
    return answer == MsgAnswer::Yes ? ChangedMainFile::RecreateIt : ChangedMainFile::DeclineIt;
}

bool askDeleteInvalidJournal(AppState& app, const std::string& jnlName) {
    MsgAnswer answer = showMessageBox(app, nameField(jnlName) + "\nInvalid Journal-File. Shall it be deleted?",
                               "Delete Journal-File / Open it newly?", MsgButtons::YesNo, MsgIcon::Question, true);
    return answer == MsgAnswer::Yes;
}

void showOldVersionMessage(AppState& app, std::uint32_t magic) {
    const char* version = olderFormatVersion(magic);
    if (!version) return;
    showMessageBox(app,
            std::string("This Journal-File can used only up to Version ") + version +
                " !\n\nPlease choose another one !",
            "Old Version !", MsgButtons::Ok, MsgIcon::Information);
}

int holdJournalFile(AppState& app, FileHandle handle, const std::string& name) {
    if (app.files->holdExclusively(handle) == 0) return 0;
    const char* inUse = messageTableText(app.files->lastError().code);
    showMessageBox(app,
                   name + "\n\nThe Journal-File is used by another Quorby.\n"
                          "The File is opened without Journal-File and without Write Access.",
                   inUse ? inUse : kErrorGeneral, MsgButtons::Ok, MsgIcon::Information);
    return 1;
}

int openAutomaticJournal(AppState& app, const std::string& name) {
    std::string current = name;
    for (;;) {
        bool existed = app.files->exists(current);
        FileHandle handle = kNoFile;
        if (app.files->open(current, OpenMode::PrivateReadWrite, &handle) != 0 &&
            (!remakeJournalDirectory(app, current) ||
             app.files->open(current, OpenMode::PrivateReadWrite, &handle) != 0))
            return offerManualJournal(app);
        // Two instances appending to one Journal File would each lose the
        // other's records: the second one views the Main File only.
        if (holdJournalFile(app, handle, current) != 0) {
            closeFile(app, handle);
            noJournal(app);
            (void)reopenReadOnly(app);  // reports its own failure
            return 1;
        }
        JournalFile jf;
        bindJournal(app, jf, handle, current);
        if (!existed) return useRecreated(app, jf);
        if (putBackCutCommand(app, handle, current, &jf.rollback.shorteningToFinish) != 0) {
            closeFile(app, handle);
            noJournal(app);
            return 1;
        }

        HeaderKind kind = inspectJournalHeader(app, handle, current, jf.header, jf.committedLive);
        // Created and ended before its header was written: nothing in it to
        // lose. A header cut short is a damaged Journal File, asked about below.
        FilePos size = 0;
        if (kind == HeaderKind::Short && app.files->size(handle, &size) == 0 && size == 0)
            return useRecreated(app, jf);
        if (kind == HeaderKind::ReadFailed) {
            closeFile(app, handle);
            noJournal(app);
            return 1;
        }
        if (kind == HeaderKind::Current && mainNameOf(jf.header) == app.main.mainName) {
            switch (askAboutChangedMainFile(app, jf.header)) {
                case ChangedMainFile::UseIt: return adoptJournal(app, jf);
                case ChangedMainFile::RecreateIt: return useRecreated(app, jf);
                case ChangedMainFile::DeclineIt:
                    closeFile(app, handle);
                    noJournal(app);
                    return 1;
            }
        }
        if (kind == HeaderKind::Older) {
            showOldVersionMessage(app, jf.header.journalMagic);
            closeFile(app, handle);
            return chooseAfterOldVersion(app);
        }
        if (askDeleteInvalidJournal(app, current)) return useRecreated(app, jf);
        closeFile(app, handle);
        if (askJournalNameByHand(app, &current) != 0) {
            noJournal(app);
            return 1;
        }
    }
}

int openJournalForMainFile(AppState& app) {
    JournalLifecycleState& lc = app.lifecycle;
    int choice = lc.journalChoice;
    lc.journalChoice = kJournalChoiceAutomatic;
    bool keep = choice == kJournalChoiceKeepDrive || choice == kJournalChoiceKeepReopen;
    if (keep && app.journal.handle != kNoFile) return 0;
    if (choice == kJournalChoiceChosenFirst && lc.chosenHandle != kNoFile) return checkChosenJournal(app);
    return openAutomaticForCurrentMainFile(app);
}

int checkChosenJournal(AppState& app) {
    JournalLifecycleState& lc = app.lifecycle;
    JournalFile jf;
    bindJournal(app, jf, lc.chosenHandle, lc.chosenName);
    lc.chosenHandle = kNoFile;
    lc.chosenName.clear();

    bool usable = putBackCutCommand(app, jf.handle, jf.name, &jf.rollback.shorteningToFinish) == 0 &&
                  inspectJournalHeader(app, jf.handle, jf.name, jf.header, jf.committedLive) == HeaderKind::Current;
    if (usable) {
        switch (askAboutChangedMainFile(app, jf.header)) {
            case ChangedMainFile::UseIt: break;
            case ChangedMainFile::RecreateIt: usable = recreateJournalFor(app, jf) == 0; break;
            case ChangedMainFile::DeclineIt:
                closeFile(app, jf.handle);
                noJournal(app);
                return 1;
        }
    }
    if (usable) {
        if (adoptJournal(app, jf) == 0) return 0;  // on failure it closed the file itself
    } else {
        closeFile(app, jf.handle);
        noJournal(app);
    }
    showMessageBox(app, "Please choose Journal-File manually !", "Choose Journal-File manually !", MsgButtons::Ok,
            MsgIcon::None);
    return 1;
}


JournalAsMainFile openThroughJournal(AppState& app, const std::string& jnlPath) {
    JournalLifecycleState& lc = app.lifecycle;
    // The Main File that a chosen Journal File names is itself a ".jnl" file.
    if (lc.journalChoice == kJournalChoiceChosenFirst) return JournalAsMainFile::OpenItself;
    // The current Main File opened again (for write access) stays what it is.
    bool reopening = app.main.mainHandle != kNoFile && app.main.mainKind == MainKind::File &&
                     sameFile(*app.files, jnlPath, app.main.mainName);
    if (reopening || lc.journalChoice == kJournalChoiceKeepReopen) return JournalAsMainFile::OpenItself;
    MsgAnswer answer = showMessageBox(app, "Shall the suiting Main File (or Drive) be opened?",
                               "Shall the suiting Journal-File be opened?", MsgButtons::YesNo, MsgIcon::Question, true);
    if (answer != MsgAnswer::Yes) return JournalAsMainFile::OpenItself;

    // The Journal File in use is chosen again: its Main File is closed first,
    // so that its header is written before it is read here.
    if (app.main.mainHandle != kNoFile && app.journal.handle != kNoFile && sameFile(*app.files, jnlPath, app.journal.name))
        (void)closeMainFile(app);  // one is open: it closes

    FileHandle handle = kNoFile;
    if (app.files->open(jnlPath, OpenMode::PrivateReadWrite, &handle) != 0) {
        reportError(app, kErrorReading, jnlPath);
        return JournalAsMainFile::NothingOpened;
    }
    if (holdJournalFile(app, handle, jnlPath) != 0) {
        closeFile(app, handle);
        return JournalAsMainFile::NothingOpened;
    }
    JournalHeader header;
    HeaderKind kind = inspectJournalHeader(app, handle, jnlPath, header);
    if (kind != HeaderKind::Current) {
        closeFile(app, handle);
        if (kind == HeaderKind::Older) showOldVersionMessage(app, header.journalMagic);
        if (kind == HeaderKind::Short)
            showMessageBox(app, "Not enough Data in File !\n\nPlease choose another Journal-File !", kNotValidJournalCaption,
                    MsgButtons::Ok, MsgIcon::Information);
        if (kind == HeaderKind::Unknown)
            showMessageBox(app, "The choosen File is not a valid Journal-File !\n\nPlease choose another Journal-File !",
                    kNotValidJournalCaption, MsgButtons::Ok, MsgIcon::Information);
        return JournalAsMainFile::NothingOpened;
    }

    std::string mainName = mainNameOf(header);
    std::string device;
    bool drive = driveTextDevice(mainName, &device);
    // The named Main File is open already: it is opened anew with this Journal File.
    if (app.main.mainHandle != kNoFile &&
        (sameFile(*app.files, app.main.mainName, mainName) || (drive && app.main.devicePath == device)))
        (void)closeMainFile(app);  // one is open: it closes

    lc.journalChoice = kJournalChoiceChosenFirst;
    lc.chosenHandle = handle;
    lc.chosenName = jnlPath;
    int result = drive ? openDriveByPath(app, device, app.main.openReadOnly) : openMainFile(app, mainName);
    bool used = lc.chosenHandle == kNoFile;
    if (!used) {
        closeFile(app, lc.chosenHandle);
        lc.chosenHandle = kNoFile;
        lc.chosenName.clear();
    }
    lc.journalChoice = kJournalChoiceAutomatic;
    return result == 0 && used ? JournalAsMainFile::Opened : JournalAsMainFile::NothingOpened;
}



namespace {

// "Yes" to keeping the Journal File: it moves to the name the naming rule
// gives for it (the same name unless it was given by hand without ".jnl").
void keepForLaterUse(AppState& app, const std::string& name) {
    std::uint32_t& location = app.settings.journalLocation;
    location = (location & ~std::uint32_t(kJournalHandNameHasExtension)) | kJournalNameByHand;
    if (endsWithJnl(name)) location |= kJournalHandNameHasExtension;
    std::string backup;
    // A refused same-drive question keeps the Journal File where it is.
    if (composeJournalName(app, name, &backup) != 0 || backup == name) return;
    if (app.files->exists(backup) && (app.settings.messageSwitches & kMsgOverwriteJournal)) {
        int answer = askQuestion(app, "Overwrite File ?", "Shall the File really be overwritten ?");
        if ((answer & kAnswerYes) == 0) return;
        if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgOverwriteJournal);
    }
    if (app.files->copyFile(name, backup) != 0) {
        showMessageBox(app, "Error writing File", "Write-Error !", MsgButtons::Ok, MsgIcon::None);
        return;
    }
    app.files->removeFile(name);
}

}  // namespace


int adoptJournal(AppState& app, JournalFile& jf) {
    switch (adoptJournalFile(app, jf)) {
        case Adoption::Adopted: return 0;
        case Adoption::Failed: return 1;
        case Adoption::Invalid: break;
    }
    if (askDeleteInvalidJournal(app, jf.name)) return useRecreated(app, jf);
    closeFile(app, jf.handle);
    noJournal(app);
    return 1;
}

int closeJournalAsking(AppState& app) {
    std::string name;
    int result = 0;
    const JournalClosing closing = closeJournal(app, &name, &result);
    if (closing == JournalClosing::NoneOpen) return 0;
    if (closing == JournalClosing::Closed && (app.settings.messageSwitches & kMsgSaveJournalFile)) {
        int answer = askQuestion(app, "Save Journal-File ?", "Shall the Journal-File be kept\nfor later Use ?");
        if (answer & kAnswerYes) {
            if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgSaveJournalFile);
            keepForLaterUse(app, name);
        } else {
            app.files->removeFile(name);
        }
    }
    app.settings.journalLocation &= kJournalLocationKeptBits;
    return result;
}

int askJournalNameByHand(AppState& app, std::string* journalName, std::string* chosenPath) {
    std::uint32_t& location = app.settings.journalLocation;
    for (;;) {
        location = (location & ~std::uint32_t(kJournalHandNameHasExtension)) | kJournalNameByHand;
        FileDialogResult chosen = askJournalFileName(app, "Open Journal File", false, "");
        if (!chosen.accepted || chosen.path.empty()) return 1;
        if (refuseMainFileAsJournal(app, chosen.path)) continue;
        if (endsWithJnl(chosen.path)) location |= kJournalHandNameHasExtension;
        if (composeJournalName(app, chosen.path, journalName) == 0) {
            if (chosenPath) *chosenPath = chosen.path;
            return 0;
        }
    }
}



}  // namespace quorby
