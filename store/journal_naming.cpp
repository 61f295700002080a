#include "store/journal_naming.h"

#include <cstdio>

#include "state/error_report.h"
#include "state/settings_file.h"

namespace quorby {

namespace {

constexpr std::size_t kExtensionLength = 4;
constexpr std::size_t kHashSuffixLength = 18;  // "~h" and 16 hexadecimal digits

std::uint64_t nameHash(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string hashSuffix(const std::string& text) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(nameHash(text)));
    return std::string("~h") + digits;
}

bool hasBit(const AppState& app, std::uint32_t bit) { return (app.settings.journalLocation & bit) != 0; }

}  // namespace

bool endsWithJnl(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "jnl") == 0;
}

std::string escapeMainName(const std::string& mainName) {
    std::string out;
    out.reserve(mainName.size() + 16);
    for (std::size_t i = 0; i < mainName.size(); ++i) {
        char c = mainName[i];
        if (c == ':' && i + 1 < mainName.size() && mainName[i + 1] == '/') {
            out += "~1";
            ++i;
        } else if (c == ':') {
            out += "~0";
        } else if (c == '/') {
            out += "~2";
        } else if (c == '~') {
            out += "~3";
        } else {
            out += c;
        }
    }
    return out;
}

std::string composeInDirectory(const std::string& directory, const std::string& mainName,
                               bool appendExtension) {
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string base = escapeMainName(mainName);
    std::string extension;
    if (appendExtension) {
        extension = kJournalExtension;
    } else if (endsWithJnl(base) && base.size() > kExtensionLength) {
        base.resize(base.size() - kExtensionLength);
        extension = kJournalExtension;
    }
    // One file name may hold at most 255 bytes: a longer one is cut and made
    // unique again by the hash of the whole name.
    if (base.size() + extension.size() > kComposedNameLimit) {
        base.resize(kComposedNameLimit - extension.size() - kHashSuffixLength);
        base += hashSuffix(mainName);
    }
    return dir + base + extension;
}

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
    bool byHand = hasBit(app, kJournalNameByHand);
    std::string directory = journalDirectory(app, hasBit(app, kJournalUseAlternative));

    if (hasBit(app, kJournalNeverSameDrive)) {
        const std::string& tested = byHand ? name : directory;
        if (onSameDrive(app, tested, mainFileDrivePath(app)) &&
            (app.settings.messageSwitches & kMsgSameDriveJournal) && !allowSameDrive(app))
            return 1;
    }

    bool composed = !byHand && (inDirectory || hasBit(app, kJournalFixedPath | kJournalNeverSameDrive));
    if (composed && directory.empty()) {
        // No journal directory is known: a file keeps its Journal File beside
        // it; a drive has no such place (never the current directory).
        if (mainFileIsDrive(app)) return 1;
        composed = false;
    }
    if (composed) {
        *result = composeInDirectory(directory, name, !hasBit(app, kJournalHandNameHasExtension));
        location |= kJournalNameByHand | kJournalHandNameHasExtension;
    } else if (hasBit(app, kJournalHandNameHasExtension)) {
        *result = name;
    } else {
        *result = name + kJournalExtension;
    }
    return 0;
}

}  // namespace quorby
