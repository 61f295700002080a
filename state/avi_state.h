#pragma once
// The AVI tools' state: the chunk stepper's cursor, the facts the structure
// walk and the stream scan gathered, the stream stepping mode, and the AVI
// check with its options, report buffer, log and windows.
#include <cstdint>
#include <string>

#include "avi/avi_facts.h"
#include "avi/chain_walk.h"
#include "avi/chunk_stepper.h"
#include "platform/file_io.h"

namespace quorby {

// The options of the "Check AVI-File" dialog.
struct AviCheckOptions {
    bool superIndex = true;
    bool dataIndexes = false;
    bool continuous = false;
    bool repair = false;
};

// The status texts of the dialog's parts: empty, "-----", "O.K." or "ERR".
struct AviCheckStatus {
    std::string superIndex;
    std::string packets;
    std::string idx1;
};

struct AviState {
    ChunkCursor cursor;
    AviFacts facts;
    bool factsKnown = false;     // the stream ids were looked for in this file
    std::string factsOf;         // the Main File whose stream facts these are
    bool streamStepping = false; // on after Goto Film-Start
    // The walk of Goto Film-Start, 'Play' and repair AVI-File; a 'Play' in
    // the stream stepping mode continues it.
    ChainWalk walk;
    std::uint32_t playOffset = 0;     // added to each packet's position as 'Play' shows it
    bool scanRunning = false;         // a scan or 'Play' steps through the chunks
    bool scanStopRequested = false;   // a blank or ESC typed while it runs

    AviCheckOptions options;
    AviCheckStatus status;
    bool checkDialogOpen = false;
    bool reportWindowOpen = false;
    bool checkRunning = false;
    bool cancelPressed = false;  // the dialog's cancel button during a check
    bool askOnError = true;
    // The report collected since the last flush, in the block buffer.
    std::uint32_t reportLength = 0;
    FileHandle logHandle = kNoFile;  // "quorby.log", open while the report window is
    std::string shownLog;            // the log's tail as the report window shows it
};

}  // namespace quorby
