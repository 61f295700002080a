#include "filemenu/journal_naming.h"

#include "state/error_report.h"
#include "state/settings_file.h"

namespace quorby {

namespace {

bool hasBit(const SettingsRecord& settings, std::uint32_t bit) { return (settings.journalLocation & bit) != 0; }

}  // namespace

std::string journalDirectory(const AppState& app, bool alternative) {
    std::string dir = alternative ? pathFieldText(app.settings.alternativeJournalPath)
                                  : pathFieldText(app.settings.fixedJournalPath);
    if (dir.empty())
        dir = alternative ? app.shell.defaultAlternativeJournalDir : app.shell.defaultFixedJournalDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

bool mainFileIsDrive(const AppState& app) {
    return app.main.mainKind == MainKind::LogicalDrive || app.main.mainKind == MainKind::PhysicalDrive;
}

std::string mainFileDrivePath(const AppState& app) {
    if (mainFileIsDrive(app)) return app.main.devicePath;
    return app.main.mainName;
}

bool onSameDrive(AppState& app, const std::string& a, const std::string& b) {
    std::uint64_t first = 0, second = 0;
    if (a.empty() || b.empty()) return false;
    if (app.files->driveId(a, &first) != 0 || app.files->driveId(b, &second) != 0) return false;
    return first == second;
}

bool allowSameDrive(AppState& app) {
    int answer = askQuestion(app, "Same Drive !",
                             "Do You want to allow the Journal-File to be on the same Drive as the Main-File ?\n"
                             "If not please choose another Path !");
    if ((answer & kAnswerYes) == 0) return false;
    if (answer & kAnswerDontAsk) app.settings.messageSwitches &= ~std::uint32_t(kMsgSameDriveJournal);
    return true;
}

int composeJournalName(AppState& app, const std::string& name, std::string* result, bool inDirectory) {
    std::uint32_t& location = app.settings.journalLocation;
    bool byHand = hasBit(app.settings, kJournalNameByHand);
    std::string directory = journalDirectory(app, hasBit(app.settings, kJournalUseAlternative));

    if (hasBit(app.settings, kJournalNeverSameDrive)) {
        const std::string& tested = byHand ? name : directory;
        if (onSameDrive(app, tested, mainFileDrivePath(app)) &&
            (app.settings.messageSwitches & kMsgSameDriveJournal) && !allowSameDrive(app))
            return 1;
    }

    bool composed = !byHand && (inDirectory || hasBit(app.settings, kJournalFixedPath | kJournalNeverSameDrive));
    if (composed && directory.empty()) {
        // No journal directory is known: a file keeps its Journal File beside
        // it; a drive has no such place (never the current directory).
        if (mainFileIsDrive(app)) return 1;
        composed = false;
    }
    if (composed) {
        *result = composeInDirectory(directory, name, !hasBit(app.settings, kJournalHandNameHasExtension));
        location |= kJournalNameByHand | kJournalHandNameHasExtension;
    } else if (hasBit(app.settings, kJournalHandNameHasExtension)) {
        *result = name;
    } else {
        *result = name + kJournalExtension;
    }
    return 0;
}

}  // namespace quorby
