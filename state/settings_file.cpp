#include "state/settings_file.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "state/error_report.h"

namespace quorby {
namespace {

// Byte offsets of the fields in the file.
enum SettingsOffset : std::size_t {
    kOffMagic = 0,
    kOffSeparator1 = 4,
    kOffNotice = 8,
    kOffSeparator2 = 48,
    kOffFontHeight = 52,
    kOffFontWidth = 56,
    kOffRecordSize = 60,
    kOffMessageSwitches = 64,
    kOffWriteAccess = 68,
    kOffUndoOptions = 72,
    kOffAccessMode = 76,
    kOffScrolling = 80,
    kOffResolution = 84,
    kOffReserved88 = 88,
    kOffJournalLocation = 92,
    kOffDoubleClickAction = 96,
    kOffDisassemblerOptions = 100,
    kOffInspectorOptions = 104,
    kOffInputOptions = 108,
    kOffResizeOptions = 112,
    kOffSavedAccessFlags = 116,
    kOffRightClickMenu = 120,
    kOffDisassemblerFlags = 124,
    kOffFixedJournalPath = 128,
    kOffAlternativeJournalPath = 388,
    kOffLastOpenedFiles = 648,
    kOffLastCompareFile = 3248,
    kOffLastPasteFile = 3508,
    kOffLastAppendTarget = 3768,
    kOffUserDefinedConfig = 4028,
    kOffReserved4052 = 4052,
};
static_assert(kOffReserved4052 + 64 == kSettingsRecordSize);
static_assert(kOffLastOpenedFiles + kLastOpenedCount * kPathFieldSize == kOffLastCompareFile);

constexpr std::uint8_t kSeparator[4] = {0x0A, 0x0D, 0x0A, 0x0D};
constexpr const char* kNoticeText = "Please do not change this File!   \n";
constexpr std::uint32_t kDefaultFontHeight = 16;
constexpr std::uint32_t kDefaultFontWidth = 8;
constexpr std::uint32_t kMaxFontCell = 256;

void put32(std::uint8_t* out, std::size_t offset, std::uint32_t v) {
    out[offset] = std::uint8_t(v);
    out[offset + 1] = std::uint8_t(v >> 8);
    out[offset + 2] = std::uint8_t(v >> 16);
    out[offset + 3] = std::uint8_t(v >> 24);
}

std::uint32_t get32(const std::uint8_t* in, std::size_t offset) {
    return std::uint32_t(in[offset]) | std::uint32_t(in[offset + 1]) << 8 |
           std::uint32_t(in[offset + 2]) << 16 | std::uint32_t(in[offset + 3]) << 24;
}

void putBytes(std::uint8_t* out, std::size_t offset, const void* field, std::size_t size) {
    std::memcpy(out + offset, field, size);
}

void getBytes(const std::uint8_t* in, std::size_t offset, void* field, std::size_t size) {
    std::memcpy(field, in + offset, size);
}

// Copies a text into a fixed field, zero-padded; returns 1 (field cleared)
// when the text and its terminator do not fit.
int copyTextField(char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    if (text.size() >= size) return 1;
    std::memcpy(field, text.data(), text.size());
    return 0;
}

void terminate(char* field, std::size_t size) { field[size - 1] = 0; }

bool isValidResolution(std::uint32_t r) { return r == 1 || r == 2 || r == 4 || r == 8; }

void showPathTooLong(AppState& app, const std::string& path) {
    if (!app.platform) return;
    MessageBoxDescription box;
    box.caption = "Path too long !";
    box.text = "This Path is too long to be kept (at most " + std::to_string(kPathFieldSize - 1) +
               " Characters):\n\n" + path;
    box.buttons = MsgButtons::Ok;
    app.platform->messageBox(box);
}

// The directory of a journal path field, made to end with '/' (when it fits)
// so that Journal File names can be appended to it.
std::string journalDirectoryOfField(char (&field)[kPathFieldSize]) {
    std::string dir = pathFieldText(field);
    if (!dir.empty() && dir.back() != '/' && dir.size() + 1 < std::size_t(kPathFieldSize)) {
        dir += '/';
        copyTextField(field, kPathFieldSize, dir);
    }
    return dir;
}

// Creates the directory of one journal path field; when that fails, the
// field gets the default directory and that is created instead.
void prepareOneJournalDirectory(AppState& app, bool used, char (&field)[kPathFieldSize],
                                const std::string& defaultDir) {
    std::string dir = journalDirectoryOfField(field);
    if (!used) {
        if (!dir.empty()) app.files->removeDirectoryIfEmpty(dir);
        return;
    }
    if (!dir.empty() && makeDirectoryPath(app, dir) == 0) return;
    if (defaultDir.empty() || defaultDir == dir) return;
    if (copyTextField(field, kPathFieldSize, defaultDir) != 0) return;
    // The last resort; a directory still missing is said when the start checks it.
    (void)makeDirectoryPath(app, defaultDir);
}

}  // namespace

void setSettingsDefaults(SettingsRecord& s, const std::string& fixedJournalDir,
                         const std::string& alternativeJournalDir) {
    std::memset(&s, 0, sizeof s);
    std::memcpy(s.magic, "ehey", 4);
    std::memcpy(s.separator1, kSeparator, 4);
    copyTextField(s.notice, sizeof s.notice, kNoticeText);
    std::memcpy(s.separator2, kSeparator, 4);
    s.fontHeight = kDefaultFontHeight;
    s.fontWidth = kDefaultFontWidth;
    s.recordSize = kSettingsRecordSize;
    s.messageSwitches = 0xFFFFFFFFu;
    s.writeAccess = 0;
    s.undoOptions = 2;
    s.accessMode = 0;
    s.scrolling = 2;
    s.resolution = 1;
    s.reserved88 = 0;
    s.journalLocation = kJournalFixedPath;
    s.doubleClickAction = 1;
    s.disassemblerOptions = 2;
    s.inspectorOptions = 0;
    s.inputOptions = 0;
    s.resizeOptions = 0;
    s.savedAccessFlags = 0;
    s.rightClickMenu = 0;
    s.disassemblerFlags = 0xFFFFFF00u;
    copyTextField(s.fixedJournalPath, kPathFieldSize, fixedJournalDir);
    copyTextField(s.alternativeJournalPath, kPathFieldSize, alternativeJournalDir);
}

void encodeSettings(const SettingsRecord& s, std::uint8_t out[kSettingsRecordSize]) {
    putBytes(out, kOffMagic, s.magic, 4);
    putBytes(out, kOffSeparator1, s.separator1, 4);
    putBytes(out, kOffNotice, s.notice, sizeof s.notice);
    putBytes(out, kOffSeparator2, s.separator2, 4);
    put32(out, kOffFontHeight, s.fontHeight);
    put32(out, kOffFontWidth, s.fontWidth);
    put32(out, kOffRecordSize, s.recordSize);
    put32(out, kOffMessageSwitches, s.messageSwitches);
    put32(out, kOffWriteAccess, s.writeAccess);
    put32(out, kOffUndoOptions, s.undoOptions);
    put32(out, kOffAccessMode, s.accessMode);
    put32(out, kOffScrolling, s.scrolling);
    put32(out, kOffResolution, s.resolution);
    put32(out, kOffReserved88, s.reserved88);
    put32(out, kOffJournalLocation, s.journalLocation);
    put32(out, kOffDoubleClickAction, s.doubleClickAction);
    put32(out, kOffDisassemblerOptions, s.disassemblerOptions);
    put32(out, kOffInspectorOptions, s.inspectorOptions);
    put32(out, kOffInputOptions, s.inputOptions);
    put32(out, kOffResizeOptions, s.resizeOptions);
    put32(out, kOffSavedAccessFlags, s.savedAccessFlags);
    put32(out, kOffRightClickMenu, s.rightClickMenu);
    put32(out, kOffDisassemblerFlags, s.disassemblerFlags);
    putBytes(out, kOffFixedJournalPath, s.fixedJournalPath, kPathFieldSize);
    putBytes(out, kOffAlternativeJournalPath, s.alternativeJournalPath, kPathFieldSize);
    for (int i = 0; i < kLastOpenedCount; ++i)
        putBytes(out, kOffLastOpenedFiles + std::size_t(i) * kPathFieldSize, s.lastOpenedFiles[i], kPathFieldSize);
    putBytes(out, kOffLastCompareFile, s.lastCompareFile, kPathFieldSize);
    putBytes(out, kOffLastPasteFile, s.lastPasteFile, kPathFieldSize);
    putBytes(out, kOffLastAppendTarget, s.lastAppendTarget, kPathFieldSize);
    for (int i = 0; i < 6; ++i) put32(out, kOffUserDefinedConfig + std::size_t(i) * 4, s.userDefinedConfig[i]);
    putBytes(out, kOffReserved4052, s.reserved4052, sizeof s.reserved4052);
}

void decodeSettings(const std::uint8_t* data, std::size_t length, SettingsRecord& s) {
    // Encode what is there, lay the file's bytes over it, decode the whole.
    std::uint8_t image[kSettingsRecordSize];
    encodeSettings(s, image);
    if (length > kSettingsRecordSize) length = kSettingsRecordSize;
    if (data && length > 0) std::memcpy(image, data, length);

    getBytes(image, kOffMagic, s.magic, 4);
    getBytes(image, kOffSeparator1, s.separator1, 4);
    getBytes(image, kOffNotice, s.notice, sizeof s.notice);
    getBytes(image, kOffSeparator2, s.separator2, 4);
    s.fontHeight = get32(image, kOffFontHeight);
    s.fontWidth = get32(image, kOffFontWidth);
    s.recordSize = get32(image, kOffRecordSize);
    s.messageSwitches = get32(image, kOffMessageSwitches);
    s.writeAccess = get32(image, kOffWriteAccess);
    s.undoOptions = get32(image, kOffUndoOptions);
    s.accessMode = get32(image, kOffAccessMode);
    s.scrolling = get32(image, kOffScrolling);
    s.resolution = get32(image, kOffResolution);
    s.reserved88 = get32(image, kOffReserved88);
    s.journalLocation = get32(image, kOffJournalLocation);
    s.doubleClickAction = get32(image, kOffDoubleClickAction);
    s.disassemblerOptions = get32(image, kOffDisassemblerOptions);
    s.inspectorOptions = get32(image, kOffInspectorOptions);
    s.inputOptions = get32(image, kOffInputOptions);
    s.resizeOptions = get32(image, kOffResizeOptions);
    s.savedAccessFlags = get32(image, kOffSavedAccessFlags);
    s.rightClickMenu = get32(image, kOffRightClickMenu);
    s.disassemblerFlags = get32(image, kOffDisassemblerFlags);
    getBytes(image, kOffFixedJournalPath, s.fixedJournalPath, kPathFieldSize);
    getBytes(image, kOffAlternativeJournalPath, s.alternativeJournalPath, kPathFieldSize);
    for (int i = 0; i < kLastOpenedCount; ++i)
        getBytes(image, kOffLastOpenedFiles + std::size_t(i) * kPathFieldSize, s.lastOpenedFiles[i], kPathFieldSize);
    getBytes(image, kOffLastCompareFile, s.lastCompareFile, kPathFieldSize);
    getBytes(image, kOffLastPasteFile, s.lastPasteFile, kPathFieldSize);
    getBytes(image, kOffLastAppendTarget, s.lastAppendTarget, kPathFieldSize);
    for (int i = 0; i < 6; ++i) s.userDefinedConfig[i] = get32(image, kOffUserDefinedConfig + std::size_t(i) * 4);
    getBytes(image, kOffReserved4052, s.reserved4052, sizeof s.reserved4052);
}

void sanitizeSettings(SettingsRecord& s) {
    terminate(s.notice, sizeof s.notice);
    terminate(s.fixedJournalPath, kPathFieldSize);
    terminate(s.alternativeJournalPath, kPathFieldSize);
    for (auto& entry : s.lastOpenedFiles) terminate(entry, kPathFieldSize);
    terminate(s.lastCompareFile, kPathFieldSize);
    terminate(s.lastPasteFile, kPathFieldSize);
    terminate(s.lastAppendTarget, kPathFieldSize);
    if (s.fontHeight == 0 || s.fontHeight > kMaxFontCell) s.fontHeight = kDefaultFontHeight;
    if (s.fontWidth == 0 || s.fontWidth > kMaxFontCell) s.fontWidth = kDefaultFontWidth;
    if (!isValidResolution(s.resolution)) s.resolution = 1;
    s.recordSize = kSettingsRecordSize;
}

std::string defaultFixedJournalDirFor(const char* xdgDataHome, const char* home) {
    // Without its trailing '/' ("/" itself becomes empty), so that the
    // parts join with exactly one '/'.
    auto withoutSlash = [](std::string dir) {
        while (!dir.empty() && dir.back() == '/') dir.pop_back();
        return dir;
    };
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (xdgDataHome && xdgDataHome[0] == '/') return withoutSlash(xdgDataHome) + "/quorby/journal/";
    if (home && home[0] == '/') return withoutSlash(home) + "/.local/share/quorby/journal/";
    return {};
}

std::string defaultAlternativeJournalDirFor(const std::string& userName) {
    if (userName.empty()) return {};
    std::string name = userName;
    for (char& c : name)
        if (c == '/') c = '_';
    return "/var/tmp/quorby-" + name + "/";
}

void findDefaultJournalDirectories(AppState& app) {
    const passwd* account = getpwuid(geteuid());
    const char* home = std::getenv("HOME");
    if ((!home || !*home) && account) home = account->pw_dir;
    std::string user;
    if (account && account->pw_name && *account->pw_name) user = account->pw_name;
    else if (const char* env = std::getenv("USER"); env && *env) user = env;
    else user = std::to_string(geteuid());

    std::string fixed = defaultFixedJournalDirFor(std::getenv("XDG_DATA_HOME"), home);
    std::string alternative = defaultAlternativeJournalDirFor(user);
    for (std::string* dir : {&fixed, &alternative}) {
        if (dir->size() >= std::size_t(kPathFieldSize)) {
            showPathTooLong(app, *dir);
            dir->clear();
        }
    }
    app.shell.defaultFixedJournalDir = fixed;
    app.shell.defaultAlternativeJournalDir = alternative;
}

std::string settingsFilePath(const AppState& app) {
    std::string path = app.shell.programDirectory;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + kSettingsFileName;
}

int loadSettings(AppState& app) {
    const std::string path = settingsFilePath(app);
    FileHandle h = kNoFile;
    // Not reported here: the defaults stay, and the write at exit reports.
    if (app.files->open(path, OpenMode::CreateReadWrite, &h) != 0) {
        app.shell.settingsHandle = kNoFile;
        return 1;
    }
    app.shell.settingsHandle = h;

    // Reading no further than the file's end keeps a short file from
    // looking like a read error.
    FilePos fileSize = 0;
    if (app.files->size(h, &fileSize) != 0) {
        reportError(app, kErrorReading, path);
        return 1;
    }
    if (fileSize < 4) return 0;  // new or foreign: the defaults stay

    std::uint8_t image[kSettingsRecordSize] = {};
    std::uint32_t done = 0;
    if (app.files->readAt(h, 0, image, 4, &done) != 0) {
        reportError(app, kErrorReading, path);
        return 1;
    }
    if (done < 4 || get32(image, 0) != kSettingsMagic) return 0;

    const std::uint32_t wanted = fileSize < kSettingsRecordSize ? std::uint32_t(fileSize) : kSettingsRecordSize;
    done = 0;
    int result = 0;
    if (app.files->readAt(h, 0, image, wanted, &done) != 0) {
        reportError(app, kErrorReading, path);
        result = 1;
    }
    // Whatever was read is taken over, even after a read error.
    decodeSettings(image, done, app.settings);
    sanitizeSettings(app.settings);
    return result;
}

int saveSettings(AppState& app) {
    SettingsRecord& s = app.settings;
    if (app.view.requestedHeight > 0) s.fontHeight = std::uint32_t(app.view.requestedHeight);
    if (app.view.requestedWidth > 0) s.fontWidth = std::uint32_t(app.view.requestedWidth);
    s.recordSize = kSettingsRecordSize;

    const std::string path = settingsFilePath(app);
    FileHandle h = app.shell.settingsHandle;
    if (h == kNoFile && app.files->open(path, OpenMode::CreateReadWrite, &h) != 0) {
        reportError(app, kErrorWriting, path);
        return 1;
    }
    app.shell.settingsHandle = kNoFile;

    std::uint8_t image[kSettingsRecordSize];
    SettingsRecord kept = s;
    kept.journalLocation |= app.lifecycle.locationOffThisRun;
    encodeSettings(kept, image);
    std::uint32_t done = 0;
    int result = 0;
    int written = app.files->writeAt(h, 0, image, kSettingsRecordSize, &done);
    if (written == 0 && done != kSettingsRecordSize) {
        app.files->setLastError({29, 0});  // a short write without a system error: "Write Error !"
        written = 1;
    }
    if (written != 0) {
        reportError(app, kErrorWriting, path);
        result = 1;
    } else {
        // A longer foreign file is cut to the record, so the file is its exact image.
        FilePos fileSize = 0;
        if (app.files->size(h, &fileSize) == 0 && fileSize > kSettingsRecordSize &&
            app.files->setSize(h, kSettingsRecordSize) != 0) {
            reportError(app, kErrorWriting, path);
            result = 1;
        }
    }
    app.files->close(h);
    return result;
}

int makeDirectoryPath(AppState& app, const std::string& path) {
    if (path.empty()) {
        app.files->setLastError({3, 0});  // "Path not found !"
        return 1;
    }
    for (std::size_t end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/') continue;
        if (path[end - 1] == '/') continue;  // the root, or a doubled '/'
        // The journal directory itself is private: journals hold copies of
        // raw drive sectors.
        const bool last = end >= path.size() || path.find_first_not_of('/', end) == std::string::npos;
        const std::string level = path.substr(0, end);
        if ((last ? app.files->makePrivateDirectory(level) : app.files->makeDirectory(level)) != 0) return 1;
    }
    return 0;
}

void prepareJournalDirectories(AppState& app) {
    SettingsRecord& s = app.settings;
    prepareOneJournalDirectory(app, (s.journalLocation & kJournalFixedPath) != 0, s.fixedJournalPath,
                               app.shell.defaultFixedJournalDir);
    prepareOneJournalDirectory(app, (s.journalLocation & kJournalAlternativePath) != 0, s.alternativeJournalPath,
                               app.shell.defaultAlternativeJournalDir);
}

void checkJournalDirectory(AppState& app) {
    SettingsRecord& s = app.settings;
    if ((s.journalLocation & (kJournalFixedPath | kJournalNeverSameDrive)) == 0) return;
    // An existing directory counts as created; any other failure (a file in
    // the way, no right to create it) means no Journal File can go there.
    if (makeDirectoryPath(app, pathFieldText(s.fixedJournalPath)) == 0) return;
    if (app.platform) {
        MessageBoxDescription box;
        box.text = "The Directory for the Journal-Files could not be created !\n\nPlease choose another Directory !";
        box.caption = "Error while Creating the Directory for the Journal-Files !";
        box.buttons = MsgButtons::OkCancel;
        box.icon = MsgIcon::None;
        box.taskModal = true;
        app.platform->messageBox(box);
    }
    app.lifecycle.locationOffThisRun |= s.journalLocation & (kJournalFixedPath | kJournalNeverSameDrive);
    s.journalLocation &= ~(kJournalFixedPath | kJournalNeverSameDrive);
}

void removeEmptyJournalDirectories(AppState& app) {
    for (const char (*field)[kPathFieldSize] : {&app.settings.fixedJournalPath, &app.settings.alternativeJournalPath}) {
        std::string dir = pathFieldText(*field);
        if (!dir.empty()) app.files->removeDirectoryIfEmpty(dir);
    }
}

std::string pathFieldText(const char (&field)[kPathFieldSize]) {
    return std::string(field, strnlen(field, kPathFieldSize));
}

int storePathField(AppState& app, char (&field)[kPathFieldSize], const std::string& path) {
    if (path.size() >= std::size_t(kPathFieldSize)) {
        showPathTooLong(app, path);
        return 1;
    }
    copyTextField(field, kPathFieldSize, path);
    return 0;
}

}  // namespace quorby
