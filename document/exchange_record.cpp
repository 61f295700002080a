#include "document/exchange_record.h"

#include <cstring>

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
    JournalRecord last;
    if (readRecordHeader(jf, group.last, kRecordLinks, last) != 0) return 1;
    last.flag = withoutRedoGroup(last.flag);
    group.last = kEmptyPtr;
    return writeRecordHeader(jf, last, kRecordLinks);
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

int appendExchange(AppState& app, JournalRecord& x) { return appendRecord(app.journal, x); }

int linkExchange(AppState& app, JournalRecord& x, JournalRecord* present, HistoryGroup& group) {
    JournalFile& jf = app.journal;
    joinHistoryGroup(group, x);
    int result = 0;
    if (present) {
        // The record as stored: the copy may carry the marks of typing.
        JournalRecord older;
        if (readRecordHeader(jf, present->jAdr, kRecordLinks, older) != 0) return 1;
        x.prevPtr = older.prevPtr;
        x.nextPtr = older.nextPtr;
        result |= linkNewerVersion(jf, older, x);
        present->nJnl = older.nJnl;
    }
    result |= linkAddressNeighbours(jf, x, VersionScope::NewestOnly);
    result |= linkUndoEntry(jf, x);
    if (result == 0) noteInHistoryGroup(group, x);
    return result;
}

int exchangeWithMainFile(AppState& app, JournalRecord& x) {
    if (ensureWritable(app) != 0) return 1;
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
    const std::uint64_t limit = wholeRecordCount(jf.journalEnd);
    FilePos oldest = kEmptyPtr;
    FilePos ptr = chainRecord.jAdr;
    for (std::uint64_t steps = 0; !isEmptyPtr(ptr); ++steps) {
        JournalRecord v;
        if (steps >= limit || readRecordHeader(jf, ptr, kRecordLinks, v) != 0) {
            *failed = 1;
            return false;
        }
        if (isExchangeInEffect(v.flag)) oldest = v.jAdr;
        ptr = v.pJnl;
    }
    if (isEmptyPtr(oldest)) return false;
    if (readRecordData(jf, oldest, out) != 0) {
        *failed = 1;
        return false;
    }
    return true;
}

}  // namespace quorby
