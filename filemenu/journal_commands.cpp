#include "filemenu/journal_commands.h"

#include "state/error_report.h"
#include "document/journal_lifecycle.h"
#include "filemenu/journal_opening.h"
#include "filemenu/journal_naming.h"
#include "document/main_file.h"
#include "document/page_assembly.h"
#include "document/shown_state.h"
#include "view/view_refresh.h"

namespace quorby {

namespace {

enum class Verdict { Accept, TryAgain, GiveUp };

// A chosen file whose name does not end in ".jnl" may be anything: it is
// checked from a copy of its header before anything could recreate it.
Verdict checkForeignFile(AppState& app, FileHandle handle, const std::string& name) {
    JournalHeader copy;
    const char* text = nullptr;
    switch (inspectJournalHeader(app, handle, name, copy)) {
        case HeaderKind::Short:
        case HeaderKind::ReadFailed:
            text = "Not enough Data in File !\n\nPlease choose another Journal-File !";
            break;
        case HeaderKind::Current:
            if (mainNameOf(copy) == app.main.mainName) return Verdict::Accept;
            text = "The choosen File doesn't suit to the Main-File !\n\nPlease choose another Journal-File !";
            break;
        case HeaderKind::Older:
            showOldVersionMessage(app, copy.journalMagic);
            return Verdict::GiveUp;
        case HeaderKind::Unknown:
            text = "The choosen File is not a valid Journal-File !\n\nPlease choose another Journal-File !";
            break;
    }
    MessageBoxDescription box;
    box.text = text;
    box.caption = kNotValidJournalCaption;
    box.buttons = MsgButtons::OkCancel;
    box.icon = MsgIcon::Information;
    return app.platform->messageBox(box) == MsgAnswer::Ok ? Verdict::TryAgain : Verdict::GiveUp;
}

// The new Journal File is in use: the view shows the pages through it.
int useOtherJournal(AppState& app, JournalFile& jf) {
    if (adoptJournal(app, jf) != 0) return 1;
    (void)loadPagePair(app, app.view.pagePos);  // reported; the journal is in use
    refreshView(app);
    return 0;
}

int useRecreatedOther(AppState& app, JournalFile& jf) {
    if (recreateJournalFor(app, jf) != 0) {
        app.files->close(jf.handle);
        return 1;
    }
    return useOtherJournal(app, jf);
}

// One chosen name: 0 used, 1 given up, 2 the dialog asks again.
constexpr int kAskAgain = 2;

int tryChosenJournal(AppState& app, const std::string& name) {
    bool existed = app.files->exists(name);
    FileHandle handle = kNoFile;
    if (app.files->open(name, OpenMode::PrivateReadWrite, &handle) != 0) {
        reportError(app, kErrorWriting, name);
        return 1;
    }
    if (holdJournalFile(app, handle, name) != 0) {
        app.files->close(handle);
        return 1;
    }
    JournalFile jf;
    bindJournal(app, jf, handle, name);
    if (!existed) return useRecreatedOther(app, jf);

    if (!endsWithJnl(name)) {
        Verdict verdict = checkForeignFile(app, handle, name);
        if (verdict != Verdict::Accept) {
            app.files->close(handle);
            return verdict == Verdict::TryAgain ? kAskAgain : 1;
        }
    }
    HeaderKind kind = inspectJournalHeader(app, handle, name, jf.header, jf.committedLive);
    if (kind == HeaderKind::ReadFailed || kind == HeaderKind::Older) {
        if (kind == HeaderKind::Older) showOldVersionMessage(app, jf.header.journalMagic);
        app.files->close(handle);
        return 1;
    }
    if (kind == HeaderKind::Current && mainNameOf(jf.header) == app.main.mainName) {
        switch (askAboutChangedMainFile(app, jf.header)) {
            case ChangedMainFile::UseIt: return useOtherJournal(app, jf);
            case ChangedMainFile::RecreateIt: return useRecreatedOther(app, jf);
            case ChangedMainFile::DeclineIt: break;
        }
    }
    if (askDeleteInvalidJournal(app, name)) return useRecreatedOther(app, jf);
    app.files->close(handle);
    return kAskAgain;
}

}  // namespace

int openOtherJournal(AppState& app) {
    if (app.main.mainHandle == kNoFile) return 1;
    // The journal in use is left only with its header on disk.
    if (flushJournalHeader(app) != 0) return 1;
    for (;;) {
        // The file is opened under the name chosen; the naming rule only has
        // to accept it.
        std::string accepted, chosenPath;
        if (askJournalNameByHand(app, &accepted, &chosenPath) != 0) return 1;
        int result = tryChosenJournal(app, chosenPath);
        if (result != kAskAgain) return result;
    }
}

int saveJournalAs(AppState& app) {
    if (app.main.mainHandle == kNoFile || app.journal.handle == kNoFile) return 1;
    // A copy with an old header on disk would be no backup of this journal.
    if (flushJournalHeader(app) != 0) return 1;
    FileDialogResult chosen = askJournalFileName(app, "Backup-Name for Journal-File", true, app.journal.name);
    if (!chosen.accepted || chosen.path.empty()) return 1;
    const std::string& target = chosen.path;
    if (target == app.journal.name) return 0;  // it is there already
    if (refuseMainFileAsJournal(app, target)) return 1;
    if (app.files->exists(target) && (app.settings.messageSwitches & kMsgOverwriteJournal)) {
        int answer = askQuestion(app, "Overwrite File?", "File already exists. Shall it be deleted?");
        if ((answer & kAnswerYes) == 0) return 1;
        if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgOverwriteJournal);
    }
    if (app.files->copyFile(app.journal.name, target) != 0) {
        reportError(app, kErrorWriting, target);
        return 1;
    }
    return 0;
}

int emptyJournal(AppState& app) {
    if (app.journal.handle == kNoFile) return 1;
    if (app.settings.messageSwitches & kMsgDeleteJournal) {
        int answer = askQuestion(app, kDeleteJournalCaption, kDeleteJournalQuestion);
        if ((answer & kAnswerYes) == 0) return 1;
        if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgDeleteJournal);
    }
    if (recreateJournalFor(app, app.journal) != 0) return 1;
    app.records = PageRecords{};
    showMainFileCaption(app);
    (void)readPagePair(app, app.view.pagePos);  // reported; the view shows what it can
    refreshView(app);
    return 0;
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void openOtherJournalCommand(AppState& app) { (void)openOtherJournal(app); }
void saveJournalAsCommand(AppState& app) { (void)saveJournalAs(app); }
void deleteJournalCommand(AppState& app) { (void)emptyJournal(app); }

}  // namespace quorby
