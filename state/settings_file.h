#pragma once
// The settings file "quorby.dat" in the program directory: the 4116-byte
// image of the SettingsRecord, read once at start and written once at exit,
// and the journal directories it names.
//
// Start-up order: findDefaultJournalDirectories, setSettingsDefaults (with the
// directories found), loadSettings, prepareJournalDirectories,
// checkJournalDirectory. Exit: saveSettings, removeEmptyJournalDirectories.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/settings_record.h"
#include "state/app_state.h"

namespace quorby {

inline constexpr const char* kSettingsFileName = "quorby.dat";
inline constexpr std::uint32_t kSettingsMagic = 0x79656865;  // "ehey"

// journalLocation bits
enum JournalLocationBit : std::uint32_t {
    kJournalFixedPath = 1u << 0,
    kJournalAlternativePath = 1u << 1,
    kJournalNeverSameDrive = 1u << 2,
    kJournalPathsEdited = 1u << 31,
};

// Every field to its default; the two journal directories from the arguments
// (a directory that does not fit its field leaves the field empty).
void setSettingsDefaults(SettingsRecord& s, const std::string& fixedJournalDir,
                         const std::string& alternativeJournalDir);

// The record as it lies in the file: little-endian, field by field.
void encodeSettings(const SettingsRecord& s, std::uint8_t out[kSettingsRecordSize]);
// Overlays the first `length` bytes of a file image on `s`; the rest of `s`
// stays as it was. Bytes beyond the record size are ignored.
void decodeSettings(const std::uint8_t* data, std::size_t length, SettingsRecord& s);
// Makes values read from a file safe to use: terminates every text field and
// puts back the defaults of font size and scroll resolution when they are out
// of range.
void sanitizeSettings(SettingsRecord& s);

// The default journal directories of this user, each ending with '/':
// $XDG_DATA_HOME/quorby/journal/ (else $HOME/.local/share/quorby/journal/)
// and /var/tmp/quorby-<user>/. Empty when they cannot be composed.
std::string defaultFixedJournalDirFor(const char* xdgDataHome, const char* home);
std::string defaultAlternativeJournalDirFor(const std::string& userName);
// Fills app.shell.defaultFixedJournalDir / defaultAlternativeJournalDir.
void findDefaultJournalDirectories(AppState& app);

// programDirectory + "quorby.dat"
std::string settingsFilePath(const AppState& app);
// Opens (or creates) the settings file, keeps it open in
// app.shell.settingsHandle and takes its content over the record when it
// starts with the magic. Returns 1 when it could not be opened or read.
[[nodiscard]] int loadSettings(AppState& app);
// Writes the record (with the requested font size of the view) at offset 0 of
// the settings file and closes it. Failures are reported; returns 1 then.
[[nodiscard]] int saveSettings(AppState& app);

// Creates a directory with all its missing parents, one level at a time; the
// last level is private to the user (makePrivateDirectory).
[[nodiscard]] int makeDirectoryPath(AppState& app, const std::string& path);
// Creates the journal directories that journalLocation asks for (falling back
// to the defaults) and removes the unused ones when empty.
void prepareJournalDirectories(AppState& app);
// Makes sure the fixed journal directory exists when it is to be used; when it
// cannot be created, says so and switches the fixed path off.
void checkJournalDirectory(AppState& app);
// At exit: removes the two journal directories when they are empty.
void removeEmptyJournalDirectories(AppState& app);

// The text of a 260-byte path field (up to its terminator).
std::string pathFieldText(const char (&field)[kPathFieldSize]);
// Stores `path` in a path field. A path that does not fit (259 bytes and the
// terminator) is refused with a message box and the field is left unchanged;
// returns 1 then.
[[nodiscard]] int storePathField(AppState& app, char (&field)[kPathFieldSize], const std::string& path);

}  // namespace quorby
