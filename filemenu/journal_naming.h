#pragma once
// Where a Main File's Journal File lies and what it is called.
//
// The journal location word (settings.journalLocation) decides: bit 0 puts
// Journal Files into the fixed journal directory, bit 1 allows the
// alternative directory, bit 2 keeps them off the Main File's drive. Bits 3
// to 5 are working bits of one opening and are cleared whenever a new Main
// File is chosen. A "drive" is the filesystem that holds a path (FileIo::driveId).
#include <cstdint>
#include <string>

#include "journal/journal_name.h"
#include "state/app_state.h"

namespace quorby {

enum JournalWorkingBit : std::uint32_t {
    kJournalNameByHand = 1u << 3,        // the name was given by hand: taken as it is
    kJournalHandNameHasExtension = 1u << 4,  // that name already ends in ".jnl"
    kJournalUseAlternative = 1u << 5,    // this Main File uses the alternative directory
};
// The bits that survive the choice of a new Main File.
inline constexpr std::uint32_t kJournalLocationKeptBits = 7;

// The fixed or the alternative journal directory of the settings (falling
// back to the default of this user when the field is empty), ending in "/".
std::string journalDirectory(const AppState& app, bool alternative);

// True when the Main File is a drive (logical or physical).
bool mainFileIsDrive(const AppState& app);

// The path whose drive is the Main File's: the device for a drive, the file
// itself otherwise.
std::string mainFileDrivePath(const AppState& app);

// True when both paths lie on the same drive. A drive that cannot be
// determined counts as a different one.
bool onSameDrive(AppState& app, const std::string& a, const std::string& b);

// The same-drive question ("Same Drive !"). True for Yes; Yes with "Don't
// ask again !" switches the question off.
bool allowSameDrive(AppState& app);

// The naming rule for the Main File's name (bit 3 clear) or a name given by
// hand (bit 3 set): *result gets the Journal File's name. With bit 2 set, a
// journal on the Main File's drive is refused unless the user allows it;
// result 1 then, 0 when a name was set. `inDirectory` composes in the journal
// directory even when bits 0 and 2 are clear (drives have no "beside"); a
// drive without any known journal directory gets result 1.
[[nodiscard]] int composeJournalName(AppState& app, const std::string& name, std::string* result,
                       bool inDirectory = false);

}  // namespace quorby
