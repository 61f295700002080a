#include "store/journal_lifecycle.h"

#include <cstring>

#include "journal/command_commit.h"
#include "journal/journal_dump.h"
#include "journal/journal_recovery.h"
#include "journal/rollback_file.h"
#include "state/error_report.h"
#include "state/settings_file.h"
#include "store/cut_command.h"
#include "store/journal_commands.h"
#include "store/journal_errors.h"
#include "store/journal_naming.h"
#include "store/main_file.h"
#include "store/page_assembly.h"
#include "store/same_file.h"
#include "store/shown_state.h"
#include "view/status_cells.h"

namespace quorby {

namespace {

constexpr std::size_t kNameFieldLength = 50;    // the name in front of a question
constexpr char kDriveTextStart[] = "  Drive ";
constexpr std::size_t kDriveTextColon = 10;     // "  Drive  A:" ends at the eleventh character

// The last 50 characters of `name`, padded with blanks.
std::string nameField(const std::string& name) {
    std::string field = name.size() > kNameFieldLength ? name.substr(name.size() - kNameFieldLength) : name;
    field.resize(kNameFieldLength, ' ');
    return field;
}

void showJournalName(AppState& app, const std::string& name) { showBottomLineName(app, name); }

// Another Journal File (or none) belongs to the Main File now: the caption
// says whether it holds changes that are not yet written.
void setCaptionForJournal(AppState& app) { showMainFileCaption(app); }

void closeFile(AppState& app, FileHandle handle) {
    if (handle != kNoFile) app.files->close(handle);
}

// The Journal File is gone: nothing open, nothing shown, First empty.
void forgetJournal(AppState& app) {
    closeRollbackFile(app.journal, false);
    JournalFile fresh;
    fresh.files = app.files;
    fresh.changeCount = app.journal.changeCount + 1;  // the count goes on across Journal Files
    reportJournalFailuresTo(fresh, app);
    app.journal = fresh;
    app.records = PageRecords{};
    showJournalName(app, "");
}

int useRecreated(AppState& app, JournalFile& jf) {
    if (recreateJournalFor(app, jf) != 0) {
        closeFile(app, jf.handle);
        noJournal(app);
        return 1;
    }
    return adoptJournal(app, jf);
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

void bindJournal(AppState& app, JournalFile& jf, FileHandle handle, const std::string& name) {
    attachJournal(jf, *app.files, handle, name);
    useRollbackFile(jf);
    reportJournalFailuresTo(jf, app);
}

int recreateJournalFor(AppState& app, JournalFile& jf) {
    if (recreateJournal(jf, app.main.mainName) != 0) return 1;
    // JnlEnd and MainTime on disk at once: they tell the next opening where
    // the completed commands end.
    jf.header.mainTime = app.main.mainTime;
    return commitCommand(jf);
}

HeaderKind inspectJournalHeader(AppState& app, FileHandle handle, const std::string& name, JournalHeader& header,
                                std::uint8_t* live) {
    std::uint8_t bytes[kJournalHeaderSize];
    std::uint32_t done = 0;
    if (app.files->readAt(handle, 0, bytes, kJournalHeaderSize, &done) != 0) {
        reportError(app, kErrorReading, name);
        return HeaderKind::ReadFailed;
    }
    if (done < kJournalHeaderSize) return HeaderKind::Short;
    decodeJournalHeader(bytes, header);
    if (live) std::memcpy(live, bytes, kHeaderLiveSize);
    if (header.journalMagic == kJournalMagic) return HeaderKind::Current;
    if (olderFormatVersion(header.journalMagic)) return HeaderKind::Older;
    return HeaderKind::Unknown;
}

int adoptJournal(AppState& app, JournalFile& jf) {
    if (measureJournal(jf) != 0) {
        closeFile(app, jf.handle);
        noJournal(app);
        return 1;
    }
    // A command cut short by the end of the program is taken back (its
    // failures are reported; the Journal File is used as it is then).
    discardUnfinishedCommand(jf);
    jf.rollback.committedEnd = jf.journalEnd;
    // Links and fields read from a damaged Journal File would send undo,
    // redo and writing astray: it is not used unless the user has it emptied.
    const int check = checkJournalFile(*app.files, jf.name);
    if (check != kDumpAllHold) {
        if (check == kDumpInvariantFailed && askDeleteInvalidJournal(app, jf.name)) return useRecreated(app, jf);
        if (check != kDumpInvariantFailed) reportError(app, kErrorReading, jf.name);
        closeFile(app, jf.handle);
        noJournal(app);
        return 1;
    }
    // The header on disk takes the Main File's time with the next commit, so
    // a program that is killed later does not leave a stale MainTime behind.
    jf.header.mainTime = app.main.mainTime;
    if (app.journal.handle != jf.handle) closeFile(app, app.journal.handle);
    app.journal = jf;
    setCaptionForJournal(app);
    showJournalName(app, jf.name);
    return 0;
}

void noJournal(AppState& app) {
    closeFile(app, app.journal.handle);
    forgetJournal(app);
    // A name too long for MainName leaves it empty: there is no file to write it to.
    initJournalHeader(app.journal.header, app.main.mainName);
    app.journal.journalEnd = kJournalHeaderSize;
    setCaptionForJournal(app);
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

int openAutomaticJournal(AppState& app, const std::string& name) {
    std::string current = name;
    for (;;) {
        bool existed = app.files->exists(current);
        FileHandle handle = kNoFile;
        if (app.files->open(current, OpenMode::PrivateReadWrite, &handle) != 0) return offerManualJournal(app);
        JournalFile jf;
        bindJournal(app, jf, handle, current);
        if (!existed) return useRecreated(app, jf);
        if (putBackCutCommand(app, handle, current) != 0) {
            closeFile(app, handle);
            noJournal(app);
            return 1;
        }

        HeaderKind kind = inspectJournalHeader(app, handle, current, jf.header, jf.committedLive);
        // Created and cut short before its header was written: nothing in it to lose.
        if (kind == HeaderKind::Short) return useRecreated(app, jf);
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

    bool usable = putBackCutCommand(app, jf.handle, jf.name) == 0 &&
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

bool driveTextDevice(const std::string& mainName, std::string* devicePath) {
    if (mainName.compare(0, sizeof kDriveTextStart - 1, kDriveTextStart) != 0) return false;
    if (mainName.size() <= kDriveTextColon + 2 || mainName[kDriveTextColon] != ':' ||
        mainName[kDriveTextColon + 1] != ' ' || mainName[kDriveTextColon + 2] != '/')
        return false;
    *devicePath = mainName.substr(kDriveTextColon + 2);
    return true;
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
        closeMainFile(app);

    FileHandle handle = kNoFile;
    if (app.files->open(jnlPath, OpenMode::PrivateReadWrite, &handle) != 0) {
        reportError(app, kErrorReading, jnlPath);
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
        closeMainFile(app);

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

void updateHeaderForWriting(AppState& app) {
    if (app.main.mainHandle != kNoFile) {
        std::uint64_t time = 0;
        if (app.files->lastWriteTime(app.main.mainHandle, &time) == 0) app.main.mainTime = time;
    }
    JournalHeader& h = app.journal.header;
    h.mainTime = app.main.mainTime;
    h.jnlFlags &= ~kJnlMainFileWriting;
    h.jnlEnd = app.journal.journalEnd;
    saveViewToJournalHeader(app);
}

int flushJournalHeader(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.handle == kNoFile) return 0;
    updateHeaderForWriting(app);
    return commitCommand(jf);
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

int closeJournal(AppState& app) {
    JournalFile& jf = app.journal;
    std::uint32_t& location = app.settings.journalLocation;
    if (jf.handle == kNoFile) {
        forgetJournal(app);
        return 0;
    }
    const std::string name = jf.name;
    if (jf.journalEnd <= kJournalHeaderSize) {
        closeRollbackFile(jf, true);
        closeFile(app, jf.handle);
        app.files->removeFile(name);
        forgetJournal(app);
        location &= kJournalLocationKeptBits;
        return 0;
    }
    int result = flushJournalHeader(app);
    // A failed commit leaves the rollback file for the next opening.
    closeRollbackFile(jf, result == 0);
    closeFile(app, jf.handle);
    forgetJournal(app);

    if (app.settings.messageSwitches & kMsgSaveJournalFile) {
        int answer = askQuestion(app, "Save Journal-File ?", "Shall the Journal-File be kept\nfor later Use ?");
        if (answer & kAnswerYes) {
            if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgSaveJournalFile);
            keepForLaterUse(app, name);
        } else {
            app.files->removeFile(name);
        }
    }
    location &= kJournalLocationKeptBits;
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

int endCommandInJournal(AppState& app) {
    JournalFile& jf = app.journal;
    if (jf.header.jnlFlags & kJnlMainFileWriting) {
        noteMainFileWritten(app);
        jf.header.jnlFlags &= ~kJnlMainFileWriting;
    }
    return commitCommand(jf);
}

void noteMainFileWritten(AppState& app) {
    if (app.main.mainHandle == kNoFile) return;
    std::uint64_t time = 0;
    if (app.files->lastWriteTime(app.main.mainHandle, &time) != 0) return;
    app.main.mainTime = time;
    app.journal.header.mainTime = time;
}

}  // namespace quorby
