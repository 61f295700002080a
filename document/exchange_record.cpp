#include "document/exchange_record.h"

#include <cstring>

#include "journal/page_store.h"
#include "journal/record_states.h"
#include "document/main_file.h"
#include "document/main_file_bytes.h"

namespace quorby {

void joinHistoryGroup(HistoryGroup& group, JournalRecord& r) {
    r.flag = withRedoGroup(withoutGroupMarks(r.flag));
    if (!isEmptyPtr(group.last)) r.flag = withUndoGroup(r.flag);
}

void noteInHistoryGroup(HistoryGroup& group, const JournalRecord& r) {
    group.last = r.jAdr;
}

int closeHistoryGroup(JournalFile& jf, HistoryGroup& group) {
    if (isEmptyPtr(group.last)) return 0;
    const FilePos last = group.last;
    group.last = kEmptyPtr;
    return endHistoryGroupAt(jf, last);
}

void makeExchange(FilePos pos, std::uint32_t count, const std::uint8_t* mainBytes, const JournalRecord* present,
                  JournalRecord& x) {
    x = JournalRecord{};
    std::memcpy(x.data, mainBytes, count);
    x.mainAdr = pos;
    x.anz = count;
    if (present) {
        x.prevPtr = present->prevPtr;
        x.nextPtr = present->nextPtr;
    }
    x.flag = kStateExchangeApplied | kFlagNotInUndoOrder;
}

int readExchange(AppState& app, FilePos pos, std::uint32_t count, const JournalRecord* present, FilePos prevPtr,
                 FilePos nextPtr, JournalRecord& x) {
    std::uint8_t bytes[kRecordDataSize];
    std::uint32_t got = 0;
    if (readMainBytes(app, pos, bytes, count, &got) != 0 || got != count) return 1;
    makeExchange(pos, count, bytes, present, x);
    if (!present) {
        x.prevPtr = prevPtr;
        x.nextPtr = nextPtr;
    }
    return 0;
}

int appendExchange(AppState& app, JournalRecord& x) { return appendExchangeRecord(app.journal, x, nullptr); }

int linkExchange(AppState& app, JournalRecord& x, JournalRecord* present, HistoryGroup& group) {
    joinHistoryGroup(group, x);
    const int result = linkExchangeRecord(app.journal, x, present);
    if (result == 0) noteInHistoryGroup(group, x);
    return result;
}

int exchangeWithMainFile(AppState& app, JournalRecord& x, bool mainFileChecked) {
    if (!mainFileChecked && ensureWritable(app) != 0) return 1;
    std::uint8_t earlier[kRecordDataSize];
    if (readRecordData(app.journal, x.jAdr, earlier) != 0) return 1;
    std::uint8_t former[kRecordDataSize] = {};
    std::uint32_t got = 0;
    if (readMainBytes(app, x.mainAdr, former, x.anz, &got) != 0 || got != x.anz) return 1;
    if (std::memcmp(former, earlier, x.anz) != 0 &&
        writeHalfRangeIntoMain(app, x.mainAdr, earlier, 0, x.anz) != 0)
        return 1;
    std::memcpy(x.data, former, kRecordDataSize);
    return writeRecord(app.journal, x);
}

bool originalContentOf(JournalFile& jf, const JournalRecord& chainRecord, std::uint8_t out[kRecordDataSize],
                       int* failed) {
    return oldestExchangeData(jf, chainRecord, out, failed);
}

}  // namespace quorby
