// The list of last opened files in settings.lastOpenedFiles and in the File menu.
#include <cstring>
#include <vector>

#include "filemenu/last_opened_files.h"
#include "filemenu/open_close.h"

namespace quorby {

namespace {

using Entry = char[kPathFieldSize];

// "   &N. " followed by the path, zero-padded to the field.
void writeEntry(Entry& entry, int digit, const std::string& path) {
    std::memset(entry, 0, kPathFieldSize);
    std::memcpy(entry, "   &0. ", kLastOpenedPathOffset);
    entry[4] = char('0' + digit);
    std::memcpy(entry + kLastOpenedPathOffset, path.data(), path.size());
}

std::string entryPath(const Entry& entry) {
    std::size_t length = strnlen(entry, kPathFieldSize);
    if (length <= std::size_t(kLastOpenedPathOffset)) return "";
    // A field without its terminator (a damaged settings file) is not trusted.
    if (length == std::size_t(kPathFieldSize)) return "";
    return std::string(entry + kLastOpenedPathOffset, length - kLastOpenedPathOffset);
}

void refuseLongPath(AppState& app, const std::string& name) {
    MessageBoxDescription box;
    box.text = "The Path is too long for the List of last opened Files (at most " +
               std::to_string(kLastOpenedMaxPath) + " Characters):\n" + name;
    box.caption = "Path too long !";
    app.platform->messageBox(box);
}

}  // namespace

std::string lastOpenedPath(const AppState& app, int index) {
    if (index < 0 || index >= kLastOpenedCount) return "";
    return entryPath(app.settings.lastOpenedFiles[index]);
}

void buildLastFilesMenu(AppState& app) {
    std::vector<std::string> shown;
    for (int i = 0; i < kLastOpenedCount; ++i) {
        const Entry& entry = app.settings.lastOpenedFiles[i];
        if (!entryPath(entry).empty()) shown.emplace_back(entry, strnlen(entry, kPathFieldSize));
    }
    app.platform->setRecentFiles(shown);
}

void addToLastOpenedFiles(AppState& app, const std::string& name) {
    if (name.empty()) return;
    if (name.size() > std::size_t(kLastOpenedMaxPath)) {
        refuseLongPath(app, name);
        return;
    }
    // The listed paths, newest first, without `name` and without gaps.
    std::vector<std::string> paths{name};
    for (int i = 0; i < kLastOpenedCount; ++i) {
        std::string path = lastOpenedPath(app, i);
        if (!path.empty() && path != name) paths.push_back(path);
    }
    if (paths.size() > std::size_t(kLastOpenedCount)) paths.resize(kLastOpenedCount);
    for (int i = 0; i < kLastOpenedCount; ++i) {
        Entry& entry = app.settings.lastOpenedFiles[i];
        if (std::size_t(i) < paths.size()) writeEntry(entry, i, paths[i]);
        else std::memset(entry, 0, kPathFieldSize);
    }
    buildLastFilesMenu(app);
}

void openLastOpenedFile(AppState& app, int index) {
    std::string path = lastOpenedPath(app, index);
    if (path.empty()) return;
    app.main.openReadOnly = (app.settings.writeAccess & 1u) == 0;
    app.settings.journalLocation &= 7u;
    app.lifecycle.journalChoice = kJournalChoiceAutomatic;
    (void)openMainFile(app, path);  // reports its own failure
}

}  // namespace quorby
