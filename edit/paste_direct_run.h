#pragma once
// The quick way of a paste or fill in direct access: whole page pairs that
// hold no journal record would each be written straight into the Main File
// by the page store anyway; runs of them are written in large blocks
// instead. Without undo the blocks keep no pre-images in the rollback file.
// With undo the Main File's earlier bytes of a block are read once and
// appended as the exchanges of its halves (linked among themselves as they
// are appended); made durable, the exchanges are the pre-images of its write
// as well, named by one small entry in the rollback file; once the block is
// written, the run of exchanges is linked at its ends into the address
// chain, the undo order and the command's group. The command commits at its
// end: a kill before takes all of it back.
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
    // at most one block) when direct access holds for it and no record lies
    // in it. Returns the pairs written, 0 when the page store
    // must take the pair at `pairPos`; *failed is set when a read or write
    // failed (reported).
    FilePos write(FilePos pairPos, FilePos pairsLeft, bool* failed);

private:
    // With undo: the block's earlier bytes become exchanges and pre-images
    // before its write. 1 when the block must not be written.
    int keepEarlierBytes(FilePos pairPos, std::uint32_t bytes);
    // With undo, after the block's write: its exchanges join the group.
    // `overviewCurrent`: the overview's walk was up to date before the block.
    int linkExchanges(bool overviewCurrent);
    // The record by address before `pairPos`: the last exchange of the run
    // before, or the newest record of the pair the page store just stored.
    FilePos recordBefore() const;

    AppState& app_;
    const PasteSource& source_;
    FilePos start_, end_;
    FilePos nextRecordAdr_ = 0;   // nothing known before the first pair is loaded
    FilePos nextRecordPtr_ = ~FilePos{0};   // that record's journal pointer
    bool ownRunLast_ = false;               // the last pairs were a run of this class
    FilePos lastExchange_ = ~FilePos{0};
    bool refused_ = false;
    std::vector<std::uint8_t> block_;
    std::vector<std::uint8_t> earlier_;
    std::vector<JournalRecord> exchanges_;
};

}  // namespace quorby
