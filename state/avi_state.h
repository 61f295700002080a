#pragma once
// The AVI tools' state: the chunk stepper's cursor, the facts the structure
// walk and the stream scan gathered, and the stream stepping mode.
#include "avi/avi_facts.h"
#include "avi/chunk_stepper.h"

namespace quorby {

struct AviState {
    ChunkCursor cursor;
    AviFacts facts;
    bool factsKnown = false;     // the stream ids were looked for in this file
    bool streamStepping = false; // on after Goto Film-Start
};

}  // namespace quorby
