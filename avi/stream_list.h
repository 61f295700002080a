#pragma once
// Every stream of an AVI file as its header list names it: one "LIST strl"
// per stream, in the order of the stream numbers its data packets carry
// (00, 01, ...), the type from its "strh" ("vids", "auds", "txts" ...), and
// the packet id, taken from the first packet of that number in the first
// "movi" list (the usual one for its type when none is found there: a
// damaged packet does not hide its stream).
#include "avi/avi_facts.h"

namespace quorby {

struct StreamEntry {
    FourCc type = 0;
    FourCc id = 0;
    bool seen = false;  // a packet of the stream was found in "movi"
};

struct StreamList {
    static constexpr int kMaxStreams = 16;
    StreamEntry streams[kMaxStreams];
    int count = 0;
};

// At most this many chunks of "movi" are looked at for the packet ids.
inline constexpr int kStreamListPackets = 4096;

StreamList listStreams(RiffContent& content);

}  // namespace quorby
