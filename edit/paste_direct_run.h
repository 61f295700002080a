#pragma once
// The quick way of a paste or fill in direct access without undo: whole page
// pairs that hold no journal record would each be written straight into the
// Main File by the page store anyway; runs of them are written in large
// blocks instead, without pre-images in the rollback file.
// Pairs with a record, and pairs the paste covers only in part, take the
// page store.
#include <cstdint>
#include <vector>

#include "edit/paste_bytes.h"
#include "state/app_state.h"

namespace quorby {

class DirectPasteRun {
public:
    // The paste of `source` onto [start, end).
    DirectPasteRun(AppState& app, const PasteSource& source, FilePos start, FilePos end);

    // The page store has just loaded a pair: its cursor records tell where
    // the next record after it lies.
    void notePairLoaded();
    // Writes the run of whole pairs from `pairPos` on (at most `pairsLeft`,
    // at most one block) when direct access without undo holds for it and
    // no record lies in it. Returns the pairs written, 0 when the page store
    // must take the pair at `pairPos`; *failed is set when a read or write
    // failed (reported).
    FilePos write(FilePos pairPos, FilePos pairsLeft, bool* failed);

private:
    AppState& app_;
    const PasteSource& source_;
    FilePos start_, end_;
    FilePos nextRecordAdr_ = 0;   // nothing known before the first pair is loaded
    bool refused_ = false;
    std::vector<std::uint8_t> block_;
};

}  // namespace quorby
