#pragma once
// The index checks of the AVI check: the OpenDML super indexes ("indx") of
// streams "00" and "01", the standard indexes ("ix##") they lead to, and the
// AVI 1.0 index ("idx1"). Each entry must point at a chunk whose id is the
// one the index names. Indexes are read a few entries at a time through the
// content's window of pages, never whole; every count, offset and size read
// from the file is checked against the file's end before it is used.
#include "avi/avi_facts.h"
#include "avi/avi_report.h"

namespace quorby {

// What the checks ask of the program around them.
class IndexCheckPort {
public:
    virtual ~IndexCheckPort() = default;
    virtual RiffContent& content() = 0;
    virtual AviReport& report() = 0;
    // The report so far goes to the log and the window.
    virtual void flush() = 0;
    // After an error: true to go on ("Data Identifier not found ! Go on
    // anyway ?"; the port remembers "Don't ask again !").
    virtual bool goOnAfterError() = 0;
    // A repair: `n` bytes at `pos` as a change of the current content.
    // Result 0 when stored.
    virtual int storeBytes(FilePos pos, const std::uint8_t* bytes, std::uint32_t n) = 0;
};

struct IndexCheckOptions {
    bool dataIndexes = false;  // the standard indexes behind the super index entries
    bool repair = false;       // wrong standard index entries are set to the chunk that follows
};

enum class CheckEnd {
    Result,    // the part ended with its result line ("      No Errors !" or the error count)
    NoResult,  // ended without a result line (no index, No to the question, past the end of the file)
};

struct CheckOutcome {
    CheckEnd end = CheckEnd::NoResult;
    std::uint32_t errors = 0;
    // Every entry of every standard index the super indexes lead to was
    // checked and found right (the data indexes were on, no error, no stop).
    bool standardIndexesRight = false;
};

CheckOutcome checkSuperIndexes(IndexCheckPort& port, const AviFacts& facts, const IndexCheckOptions& options);
// With `standardIndexesRight` (the content unchanged since that check), an
// entry that names the same chunk as a standard index entry of its stream is
// taken as found without reading the chunk again.
CheckOutcome checkIdx1(IndexCheckPort& port, const AviFacts& facts, bool standardIndexesRight = false);

enum class StandardIndexEnd { Done, StoppedByNo, StoppedByUser, PastEnd };

// One "ix##" chunk at `pos`; errors are added to *errors.
StandardIndexEnd checkStandardIndex(IndexCheckPort& port, FilePos pos, bool repair, std::uint32_t* errors);

// The result line: "      No Errors !" or "There are N Errors !".
void reportResult(AviReport& report, std::uint32_t errors);

}  // namespace quorby
