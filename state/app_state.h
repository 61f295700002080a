#pragma once
// The application state: one instance from start to exit, split into plain
// records per subsystem and passed explicitly to every operation.
#include <cstdint>
#include <string>
#include "core/settings_record.h"
#include "journal/journal_file.h"
#include "platform/file_io.h"
#include "platform/platform.h"
#include "search/search_state.h"
#include "state/avi_state.h"
#include "state/compare_state.h"
#include "state/disasm_state.h"
#include "state/edit_state.h"
#include "state/inspector_state.h"
#include "state/journal_lifecycle_state.h"
#include "state/main_file_state.h"
#include "state/navigation_state.h"
#include "state/overview_state.h"
#include "state/page_records.h"
#include "state/status_state.h"
#include "state/view_state.h"
#include "state/work_buffers.h"

namespace quorby {

// accessFlags
enum AccessFlag : std::uint32_t {
    kAccessBit0 = 1u << 0,       // cleared when "Edit Mode" is entered
    kAccessNotLocked = 1u << 1,
    kAccessDirect = 1u << 2,
    kAccessWritable = 1u << 3,
};

// modeFlags
enum ModeFlag : std::uint32_t {
    kModeArrowsMoveView = 1u << 0,   // cursor-move mode "Moving the Background"
    kModeSecondDigit = 1u << 1,      // the hex cursor stands on the second digit
    kModeDrive = 1u << 7,            // a drive is open ("Disk Mode")
    kModeOldDiskService = 1u << 8,   // never set on this platform
    kModePointersDialog = 1u << 30,  // the "Pointers and Flags" dialog is shown
};

inline constexpr const char* kProgramCaption = "Quorby 2.5.3     ";
inline constexpr const char* kStartCaption = "HEX-Editor for big Files";

struct ShellState {
    std::string programDirectory;      // ends with '/'
    std::string helpFilePath;
    std::string caption = kStartCaption;
    std::uint32_t modeFlags = 0;
    std::uint32_t accessFlags = kAccessNotLocked;
    int mouseX = 0, mouseY = 0;        // last reported mouse position, pixels
    int wheelDelta = 0;
    int lastCommand = 0;
    bool doubleClickFlag = false;
    bool destroyed = false;
    bool helpUnavailable = false;
    // Default journal directories, each ending with '/'
    std::string defaultFixedJournalDir;
    std::string defaultAlternativeJournalDir;
    FileHandle settingsHandle = kNoFile; // "quorby.dat", open from start to exit
};

struct ErrorState {
    char errorText[65] = {};           // caption of the last error box
    bool journalDriveFullShown = false; // this command reported a full drive under the Journal File
};

struct ProgressState {
    std::int32_t pollCounter = 256;
    std::int32_t marqueeOffset = 14;
    char topLine[89] = {};
    bool pleaseWaitWindow = false;     // the "Please wait ..." window instead of the banner
};

struct AppState {
    Platform* platform = nullptr;
    FileIo* files = nullptr;
    SettingsRecord settings{};
    ShellState shell;
    ViewState view;
    NavigationState nav;
    StatusState status;
    MainFileState main;
    JournalFile journal;
    JournalLifecycleState lifecycle;
    PageRecords records;
    EditState edit;
    ErrorState error;
    ProgressState progress;
    DisasmState disasm;
    InspectorState inspector;
    SearchSession search;
    CompareSession compare;
    AviState avi;
    OverviewState overview;
    WorkBuffers buffers;
};

}  // namespace quorby
