#pragma once
// What a Journal File in use keeps about its rollback file and the running
// command's in-place writes (journal/rollback_file.h has the format and the
// rules).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/file_pos.h"
#include "platform/file_io.h"

namespace quorby {

// Where the running command stands between two commits
// (journal/command_commit.h drives it from one to the next).
enum class CommitStep : std::uint8_t {
    Committed,         // nothing changed since the last commit
    Changing,          // changes wait in memory; the rollback file is empty
    PreImagesDurable,  // the rollback file holds this command's pre-images
    MainFileWritten,   // and the Main File was written under them
};

struct RollbackState {
    CommitStep step = CommitStep::Committed;
    // Empty: no rollback file; writes go straight to the Journal File (the
    // journal engine's own tests, a Journal File read as a Main File).
    std::string name;
    FileHandle handle = kNoFile;
    // Bytes of the rollback file written since the last commit (0: empty).
    FilePos fileEnd = 0;
    // Counts the commits; every entry's check carries it.
    std::uint64_t cycle = 1;
    // Encoded entries waiting to be written to the rollback file.
    std::vector<std::uint8_t> unwritten;
    // The Journal File's length at the last commit: a write below it
    // overwrites committed bytes in place; one at or above it appends.
    FilePos committedEnd = 0;
    // In-place writes of the running command, held as whole units (the
    // header, or one record) until their pre-images are durable.
    struct HeldUnit {
        std::vector<std::uint8_t> bytes;     // as the command left them
        std::vector<std::uint8_t> preImage;  // as committed; empty when none is needed
        // The bytes the command wrote lie in [writtenFrom, writtenTo): the
        // others are as committed, and the pre-image needs no look at them.
        std::uint32_t writtenFrom = 0;
        std::uint32_t writtenTo = 0;
    };
    using HeldUnits = std::map<FilePos, HeldUnit>;
    HeldUnits held;
    // One bit per unit position (the record's number modulo the bits' count),
    // set for every held unit and cleared when none is held: a clear bit
    // tells without a search that a unit is not held.
    static constexpr std::size_t kHeldBits = std::size_t(1) << 16;
    std::vector<std::uint64_t> heldBits;
    // Held units written out, kept with their buffers for the next ones, so
    // that a long command does not allocate per unit. A copy of the state
    // starts without them.
    struct SpareHeldUnits {
        std::vector<HeldUnits::node_type> nodes;
        SpareHeldUnits() = default;
        SpareHeldUnits(const SpareHeldUnits&) {}
        SpareHeldUnits& operator=(const SpareHeldUnits&) {
            nodes.clear();
            return *this;
        }
        SpareHeldUnits(SpareHeldUnits&&) = default;
        SpareHeldUnits& operator=(SpareHeldUnits&&) = default;
    } spareHeld;
    // The buffer in which neighbouring held units go out together.
    std::vector<std::uint8_t> writeRun;
    // Records appended by the running command that wait in memory, one
    // after the other from heldAppendsFrom to journalEnd; beyond
    // heldAppendsFrom the disk holds nothing yet. kNoHeldAppends when none
    // waits. They need no pre-image (R6), so they may go out at any time.
    static constexpr FilePos kNoHeldAppends = ~FilePos{0};
    FilePos heldAppendsFrom = kNoHeldAppends;
    std::vector<std::uint8_t> appended;
    // A shortening of the Main File that the end of the program cut short
    // after the file itself was cut: its bytes are gone, so the opening
    // finishes it at this length instead of taking it back.
    static constexpr FilePos kNoShortening = ~FilePos{0};
    FilePos shorteningToFinish = kNoShortening;
    // Room on the drive is set aside for appends up to here.
    FilePos reservedEnd = 0;
    // Runs of whole units as they are on disk, kept from recent reads and
    // writes, so that reading a record again or keeping its pre-image costs
    // no transfer. A held unit is newer than its copy here, which is not
    // used while it is held. The oldest run makes room for a new one.
    struct CleanRun {
        FilePos start = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<CleanRun> clean;
    std::size_t nextCleanRun = 0;   // the run a new one replaces once all are in use
    // Main File ranges whose pre-image is kept since the last commit: start -> end.
    std::map<FilePos, FilePos> mainCovered;
    FileHandle mainHandle = kNoFile;
    // `unwritten` holds a Main File pre-image: the next Main File write waits for it.
    bool mainPending = false;
};

}  // namespace quorby
