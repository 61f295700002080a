#include "journal/journal_format.h"

#include <bit>
#include <cstring>

namespace quorby {

namespace {

constexpr char kPrevJournalText[] = "PrevJournal";
constexpr char kNextJournalText[] = "NextJournal";

}  // namespace

const char* olderFormatVersion(std::uint32_t magic) {
    switch (magic) {
        case kJournalMagicUpTo210: return "2.10";
        case kJournalMagicUpTo218: return "2.18";
        case kJournalMagicUpTo219y: return "2.19y";
        default: return nullptr;
    }
}

int setMainName(JournalHeader& h, const std::string& mainName) {
    std::memset(h.mainName, 0, sizeof h.mainName);
    if (mainName.size() > kMainNameMaxLength) return 1;
    std::memcpy(h.mainName, mainName.data(), mainName.size());
    return 0;
}

std::string mainNameOf(const JournalHeader& h) {
    std::size_t n = 0;
    while (n < kMainNameMaxLength && h.mainName[n] != '\0') ++n;
    return std::string(h.mainName, n);
}

int initJournalHeader(JournalHeader& h, const std::string& mainName) {
    h = JournalHeader{};
    for (auto& slot : h.reservedSlots) std::memset(slot, 0xFF, 8);
    std::memcpy(h.prevJournal, kPrevJournalText, sizeof kPrevJournalText);
    std::memcpy(h.nextJournal, kNextJournalText, sizeof kNextJournalText);
    return setMainName(h, mainName);
}

void encodeJournalHeader(const JournalHeader& h, std::uint8_t out[kJournalHeaderSize]) {
    std::memset(out, 0, kJournalHeaderSize);
    storeU32(out + kHdrMagic, h.journalMagic);
    storeU32(out + kHdrSavedViewOffset, h.savedViewOffset);
    storeU64(out + kHdrSavedAnfPtr, h.savedAnfPtr);
    storeU64(out + kHdrUndo, h.undo);
    storeU64(out + kHdrReserved24, h.reserved24);
    storeU64(out + kHdrFirst, h.first);
    storeU64(out + kHdrLastPtr, h.lastPtr);
    storeU64(out + kHdrSelectionStart, h.selectionStart);
    storeU64(out + kHdrSelectionEnd, h.selectionEnd);
    storeU32(out + kHdrSelectionState, h.selectionState);
    storeU32(out + kHdrJnlFlags, h.jnlFlags);
    storeU64(out + kHdrJnlEnd, h.jnlEnd);
    storeU64(out + kHdrMainTime, h.mainTime);
    std::memcpy(out + kHdrUnused88, h.unused88, sizeof h.unused88);
    storeU64(out + kHdrFirstUndo, h.firstUndo);
    storeU64(out + kHdrSavedJAdr, h.savedJAdr);
    storeU64(out + kHdrSavedJPrevPtr, h.savedJPrevPtr);
    storeU64(out + kHdrSavedJNextPtr, h.savedJNextPtr);
    std::memcpy(out + kHdrUnused128, h.unused128, sizeof h.unused128);
    std::memcpy(out + kHdrReservedSlots, h.reservedSlots, sizeof h.reservedSlots);
    storeU32(out + kHdrReserved224, h.reserved224);
    std::memcpy(out + kHdrUnused228, h.unused228, sizeof h.unused228);
    std::memcpy(out + kHdrMainName, h.mainName, kMainNameSize);
    std::memcpy(out + kHdrPrevJournal, h.prevJournal, kPrevJournalSize);
    std::memcpy(out + kHdrNextJournal, h.nextJournal, kNextJournalSize);
}

void decodeJournalHeader(const std::uint8_t in[kJournalHeaderSize], JournalHeader& h) {
    h.journalMagic = loadU32(in + kHdrMagic);
    h.savedViewOffset = loadU32(in + kHdrSavedViewOffset);
    h.savedAnfPtr = loadU64(in + kHdrSavedAnfPtr);
    h.undo = loadU64(in + kHdrUndo);
    h.reserved24 = loadU64(in + kHdrReserved24);
    h.first = loadU64(in + kHdrFirst);
    h.lastPtr = loadU64(in + kHdrLastPtr);
    h.selectionStart = loadU64(in + kHdrSelectionStart);
    h.selectionEnd = loadU64(in + kHdrSelectionEnd);
    h.selectionState = loadU32(in + kHdrSelectionState);
    h.jnlFlags = loadU32(in + kHdrJnlFlags);
    h.jnlEnd = loadU64(in + kHdrJnlEnd);
    h.mainTime = loadU64(in + kHdrMainTime);
    std::memcpy(h.unused88, in + kHdrUnused88, sizeof h.unused88);
    h.firstUndo = loadU64(in + kHdrFirstUndo);
    h.savedJAdr = loadU64(in + kHdrSavedJAdr);
    h.savedJPrevPtr = loadU64(in + kHdrSavedJPrevPtr);
    h.savedJNextPtr = loadU64(in + kHdrSavedJNextPtr);
    std::memcpy(h.unused128, in + kHdrUnused128, sizeof h.unused128);
    std::memcpy(h.reservedSlots, in + kHdrReservedSlots, sizeof h.reservedSlots);
    h.reserved224 = loadU32(in + kHdrReserved224);
    std::memcpy(h.unused228, in + kHdrUnused228, sizeof h.unused228);
    std::memcpy(h.mainName, in + kHdrMainName, kMainNameSize);
    std::memcpy(h.prevJournal, in + kHdrPrevJournal, kPrevJournalSize);
    std::memcpy(h.nextJournal, in + kHdrNextJournal, kNextJournalSize);
}

void encodeRecordHeader(const JournalRecord& r, std::uint8_t out[kRecordHeaderSize]) {
    storeU64(out + kRecMainAdr, r.mainAdr);
    storeU64(out + kRecPrevPtr, r.prevPtr);
    storeU64(out + kRecNextPtr, r.nextPtr);
    storeU64(out + kRecPUndo, r.pUndo);
    storeU64(out + kRecPJnl, r.pJnl);
    storeU64(out + kRecNJnl, r.nJnl);
    storeU64(out + kRecNUndo, r.nUndo);
    storeU32(out + kRecAnz, r.anz);
    storeU32(out + kRecFlag, r.flag);
    std::memcpy(out + kRecChangeMap, r.changeMap, kChangeMapSize);
}

void encodeRecord(const JournalRecord& r, std::uint8_t out[kJournalRecordSize]) {
    encodeRecordHeader(r, out);
    std::memcpy(out + kRecData, r.data, kRecordDataSize);
}

void decodeRecordHeaderRange(const std::uint8_t* in, std::uint32_t offset, std::uint32_t length,
                             JournalRecord& r) {
    // Reads of the links (and of the whole header) start at the record and
    // hold every field they cover whole: those are taken directly.
    if (offset == 0 && length >= kRecordLinks) {
        r.mainAdr = loadU64(in + kRecMainAdr);
        r.prevPtr = loadU64(in + kRecPrevPtr);
        r.nextPtr = loadU64(in + kRecNextPtr);
        r.pUndo = loadU64(in + kRecPUndo);
        r.pJnl = loadU64(in + kRecPJnl);
        r.nJnl = loadU64(in + kRecNJnl);
        r.nUndo = loadU64(in + kRecNUndo);
        r.anz = loadU32(in + kRecAnz);
        r.flag = loadU32(in + kRecFlag);
        if (length >= kRecordHeaderSize) std::memcpy(r.changeMap, in + kRecChangeMap, kChangeMapSize);
        else if (length > kRecChangeMap) std::memcpy(r.changeMap, in + kRecChangeMap, length - kRecChangeMap);
        return;
    }
    // Encode what the copy holds, lay the stored range over it and decode the
    // whole: fields outside the range come back unchanged.
    std::uint8_t image[kRecordHeaderSize];
    encodeRecordHeader(r, image);
    if (offset > kRecordHeaderSize) return;
    if (length > kRecordHeaderSize - offset) length = kRecordHeaderSize - offset;
    std::memcpy(image + offset, in, length);
    r.mainAdr = loadU64(image + kRecMainAdr);
    r.prevPtr = loadU64(image + kRecPrevPtr);
    r.nextPtr = loadU64(image + kRecNextPtr);
    r.pUndo = loadU64(image + kRecPUndo);
    r.pJnl = loadU64(image + kRecPJnl);
    r.nJnl = loadU64(image + kRecNJnl);
    r.nUndo = loadU64(image + kRecNUndo);
    r.anz = loadU32(image + kRecAnz);
    r.flag = loadU32(image + kRecFlag);
    std::memcpy(r.changeMap, image + kRecChangeMap, kChangeMapSize);
}

void decodeRecord(const std::uint8_t in[kJournalRecordSize], JournalRecord& r) {
    decodeRecordHeaderRange(in, 0, kRecordHeaderSize, r);
    std::memcpy(r.data, in + kRecData, kRecordDataSize);
}

bool isRecordPointer(FilePos p, FilePos length) {
    if (isEmptyPtr(p) || p < kJournalHeaderSize || length < kJournalRecordSize) return false;
    if ((p - kJournalHeaderSize) % kJournalRecordSize != 0) return false;
    return p <= length - kJournalRecordSize;
}

std::uint64_t wholeRecordCount(FilePos length) {
    if (length < kJournalHeaderSize) return 0;
    return (length - kJournalHeaderSize) / kJournalRecordSize;
}

std::uint32_t countChangedBytes(const JournalRecord& r) {
    std::uint32_t valid = r.anz < kRecordDataSize ? r.anz : kRecordDataSize;
    std::uint32_t count = 0;
    std::uint32_t fullBytes = valid / 8;
    for (std::uint32_t i = 0; i < fullBytes; ++i) count += std::popcount(r.changeMap[i]);
    if (valid % 8 != 0) {
        std::uint8_t mask = std::uint8_t((1u << (valid % 8)) - 1);
        count += std::popcount(std::uint8_t(r.changeMap[fullBytes] & mask));
    }
    return count;
}

}  // namespace quorby
