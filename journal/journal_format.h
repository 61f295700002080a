#pragma once
// The Journal File format: what its bytes mean, and the plain records that
// hold them in memory. Nothing here touches a file; journal/journal_file.h does
// the transfers.
//
// A Journal File keeps, for every changed 512-byte page of the Main File, the
// page's current content, all its earlier versions and the order in which the
// changes were made. Users keep Journal Files for later, so this layout is a
// promise: every byte below is written exactly so, little-endian, field by
// field, never by copying a struct.
//
// FILE
//   offset 0     header, 1024 bytes
//   offset 1024  record 0, 640 bytes
//   ...          record k at 1024 + 640 * k
// Records are only ever appended. They are rewritten in place but never moved
// or removed; a Journal File only becomes shorter by being recreated empty
// (or by cutting off what a command cut short appended). Every in-place
// rewrite is covered by the rollback file (journal/rollback_file.h).
//
// JOURNAL POINTER
//   The byte position of a record, 64 bits. The empty pointer is written as
//   all ones; any value whose high 32 bits are all ones reads as empty (older
//   writers cleared only the high half).
//
// HEADER (1024 bytes)
//     0  u32   JournalMagic     0xABCDEF04 (0xABCDEF01..03: older formats)
//     4  u32   SavedViewOffset  the view's offset in its page pair
//     8  u64   SavedAnfPtr      the view's page-pair position
//    16  ptr   Undo             the entry the next undo takes back
//    24  ptr   (reserved)       empty
//    32  ptr   First            lowest changed page: head of the address chain
//    40  ptr   LastPtr          highest changed page: tail of the address chain
//    48  u64   selection start
//    56  u64   selection end
//    64  u32   selection state  0 = no selection
//    68  u32   JnlFlags         bit 0 unwritten changes, bit 2 the Main File is
//                                being written (its last-write time will differ
//                                from MainTime), bit 4 warned about them
//    72  u64   JnlEnd           file length when the header was last written
//    80  u64   MainTime         Main File's last-write time (100 ns since 1601)
//    88  8     (not used)
//    96  ptr   FirstUndo        oldest entry of the undo order
//   104  ptr   SavedJAdr        record of the view's first page
//   112  ptr   SavedJPrevPtr    the view's record below its page pair
//   120  ptr   SavedJNextPtr    the view's record above its page pair
//   128  8     (not used)
//   136  6x16  reserved slots   first 8 bytes of each empty, the rest 0
//   224  u32   (reserved)       0
//   228  31    (not used)
//   259  256   MainName         Main File path or drive text, NUL-terminated
//   515  256   "PrevJournal"    NUL-terminated, never read
//   771  253   "NextJournal"    NUL-terminated, never read; ends at byte 1023
// Everything the running program changes lies in the first 128 bytes, one
// disk sector, so that the end of a command can bring it to disk in a single
// small write (commitCommand).
//
// RECORD (640 bytes): a 128-byte record header, then 512 data bytes
//     0  u64   MainAdr    Main File position of the page (a multiple of 512)
//     8  ptr   PrevPtr    address chain: next lower changed page
//    16  ptr   NextPtr    address chain: next higher changed page
//    24  ptr   PUndo      undo order: the entry made before this one
//    32  ptr   PJnl       versions: next older version of the same page
//    40  ptr   NJnl       versions: next newer version of the same page
//    48  ptr   NUndo      undo order: the entry made after this one
//    56  u32   anz        valid data bytes: 512, fewer on a short last page
//    60  u32   Flag       state bits of this version (kFlag... below)
//    64  64    ChangeMap  bit (i mod 8) of byte i/8: data byte i differs
//                         from the Main File
//   128  512   data       the whole page in this version
// Partial header transfers cover the first 24 bytes (MainAdr and the address
// links), the first 64 (all links, anz, Flag) or all 128; a version walk
// reads the 104 bytes from PUndo to the end of ChangeMap.
//
// INVARIANTS (checked by `quorby --journal-dump`, numbered as it reports them)
//   1. Header: JournalMagic is 0xABCDEF04.
//   2. Length: the file is 1024 + 640 * k bytes long. A shorter tail is a
//      record whose append was cut short; nothing points to it.
//   3. Pointers: every non-empty pointer (Undo, First, LastPtr, FirstUndo,
//      SavedJAdr, SavedJPrevPtr, SavedJNextPtr in the header; the seven links
//      of every record) is 1024 + 640 * k for a record k that lies wholly
//      inside the file.
//   4. Address chain: First and LastPtr are both empty or both set; from
//      First along NextPtr every record has a strictly higher MainAdr, a
//      multiple of 512; each PrevPtr points back to the record before (empty
//      for the first); LastPtr is the last record reached.
//   5. Version chains: when R.PJnl is P, then P.NJnl is R, and when R.NJnl is
//      N, then N.PJnl is R; linked versions carry the same MainAdr.
//   6. Data count: anz is 1 to 512.
//   7. Undo position: Undo set implies FirstUndo set.
// The undo order itself is not walked: the lower undo levels overwrite a
// page's newest version in place and append that same record to the order
// again, so an entry may legitimately be met twice.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/file_pos.h"

namespace quorby {

inline constexpr std::uint32_t kJournalMagic = 0xABCDEF04u;
inline constexpr std::uint32_t kJournalMagicUpTo210 = 0xABCDEF01u;
inline constexpr std::uint32_t kJournalMagicUpTo218 = 0xABCDEF02u;
inline constexpr std::uint32_t kJournalMagicUpTo219y = 0xABCDEF03u;

inline constexpr std::uint32_t kJournalHeaderSize = 1024;
inline constexpr std::uint32_t kJournalRecordSize = 640;
inline constexpr std::uint32_t kRecordHeaderSize = 128;
inline constexpr std::uint32_t kRecordDataSize = 512;
inline constexpr std::uint32_t kChangeMapSize = 64;

// Lengths of the partial record-header transfers
inline constexpr std::uint32_t kRecordAddressLinks = 24;  // MainAdr, PrevPtr, NextPtr
inline constexpr std::uint32_t kRecordLinks = 64;         // + PUndo .. NUndo, anz, Flag
inline constexpr std::uint32_t kRecordFullHeader = 128;   // + ChangeMap
inline constexpr std::uint32_t kVersionWalkOffset = 24;   // PUndo ..
inline constexpr std::uint32_t kVersionWalkLength = 104;  // .. end of ChangeMap

// The leading part of the header that holds every field the running program
// changes; committed at the end of each command.
inline constexpr std::uint32_t kHeaderLiveSize = 128;

// Header field offsets
inline constexpr std::uint32_t kHdrMagic = 0;
inline constexpr std::uint32_t kHdrSavedViewOffset = 4;
inline constexpr std::uint32_t kHdrSavedAnfPtr = 8;
inline constexpr std::uint32_t kHdrUndo = 16;
inline constexpr std::uint32_t kHdrReserved24 = 24;
inline constexpr std::uint32_t kHdrFirst = 32;
inline constexpr std::uint32_t kHdrLastPtr = 40;
inline constexpr std::uint32_t kHdrSelectionStart = 48;
inline constexpr std::uint32_t kHdrSelectionEnd = 56;
inline constexpr std::uint32_t kHdrSelectionState = 64;
inline constexpr std::uint32_t kHdrJnlFlags = 68;
inline constexpr std::uint32_t kHdrJnlEnd = 72;
inline constexpr std::uint32_t kHdrMainTime = 80;
inline constexpr std::uint32_t kHdrUnused88 = 88;
inline constexpr std::uint32_t kHdrFirstUndo = 96;
inline constexpr std::uint32_t kHdrSavedJAdr = 104;
inline constexpr std::uint32_t kHdrSavedJPrevPtr = 112;
inline constexpr std::uint32_t kHdrSavedJNextPtr = 120;
inline constexpr std::uint32_t kHdrUnused128 = 128;
inline constexpr std::uint32_t kHdrReservedSlots = 136;
inline constexpr std::uint32_t kHdrReservedSlotStride = 16;
inline constexpr std::uint32_t kHdrReservedSlotCount = 6;
inline constexpr std::uint32_t kHdrReserved224 = 224;
inline constexpr std::uint32_t kHdrUnused228 = 228;
inline constexpr std::uint32_t kHdrMainName = 259;
inline constexpr std::uint32_t kHdrPrevJournal = 515;
inline constexpr std::uint32_t kHdrNextJournal = 771;

inline constexpr std::uint32_t kMainNameSize = 256;
inline constexpr std::uint32_t kPrevJournalSize = 256;
inline constexpr std::uint32_t kNextJournalSize = 253;
inline constexpr std::uint32_t kMainNameMaxLength = kMainNameSize - 1;

// Record field offsets
inline constexpr std::uint32_t kRecMainAdr = 0;
inline constexpr std::uint32_t kRecPrevPtr = 8;
inline constexpr std::uint32_t kRecNextPtr = 16;
inline constexpr std::uint32_t kRecPUndo = 24;
inline constexpr std::uint32_t kRecPJnl = 32;
inline constexpr std::uint32_t kRecNJnl = 40;
inline constexpr std::uint32_t kRecNUndo = 48;
inline constexpr std::uint32_t kRecAnz = 56;
inline constexpr std::uint32_t kRecFlag = 60;
inline constexpr std::uint32_t kRecChangeMap = 64;
inline constexpr std::uint32_t kRecData = 128;

// JnlFlags
inline constexpr std::uint32_t kJnlUnwrittenChanges = 0x1;
inline constexpr std::uint32_t kJnlUnwrittenWarned = 0x10;
inline constexpr std::uint32_t kJnlMainFileWriting = 0x4;

// Flag bits with a meaning of their own; every other bit belongs to the state
// code of the change operations and is kept as it is.
inline constexpr std::uint32_t kFlagRedoGroup = 0x00000002;       // redo goes on with the next entry
inline constexpr std::uint32_t kFlagUnwritten = 0x00000004;       // data not yet in the Main File
inline constexpr std::uint32_t kFlagMainContentSaved = 0x00000010;
inline constexpr std::uint32_t kFlagNoChangeMap = 0x00000020;     // ChangeMap is not valid
inline constexpr std::uint32_t kFlagInEffect = 0x00000100;
inline constexpr std::uint32_t kFlagUndoGroup = 0x00040000;       // undo goes on with the entry before
inline constexpr std::uint32_t kFlagAppendNext = 0x00080000;      // next change appends a version
inline constexpr std::uint32_t kFlagShowMainFile = 0x00400000;    // content is the Main File's
inline constexpr std::uint32_t kFlagNotInUndoOrder = 0x01000000;  // appended, not yet linked
inline constexpr std::uint32_t kFlagRestoreVisited = 0x10000000;

// For the identifier of an older format, the last program version that
// reads it ("2.10", "2.18", "2.19y"); nullptr for any other value.
const char* olderFormatVersion(std::uint32_t magic);

struct JournalHeader {
    std::uint32_t journalMagic = kJournalMagic;
    std::uint32_t savedViewOffset = 0;
    FilePos savedAnfPtr = 0;
    FilePos undo = kEmptyPtr;
    FilePos reserved24 = kEmptyPtr;
    FilePos first = kEmptyPtr;
    FilePos lastPtr = kEmptyPtr;
    FilePos selectionStart = 0;
    FilePos selectionEnd = 0;
    std::uint32_t selectionState = 0;
    std::uint32_t jnlFlags = 0;
    FilePos jnlEnd = 0;
    std::uint64_t mainTime = 0;
    std::uint8_t unused88[8] = {};
    FilePos firstUndo = kEmptyPtr;
    FilePos savedJAdr = kEmptyPtr;
    FilePos savedJPrevPtr = kEmptyPtr;
    FilePos savedJNextPtr = kEmptyPtr;
    std::uint8_t unused128[8] = {};
    std::uint8_t reservedSlots[kHdrReservedSlotCount][kHdrReservedSlotStride] = {};
    std::uint32_t reserved224 = 0;
    std::uint8_t unused228[31] = {};
    char mainName[kMainNameSize] = {};
    char prevJournal[kPrevJournalSize] = {};
    char nextJournal[kNextJournalSize] = {};
};

// A record as held in memory: the stored fields, the page data, and the
// record's own position in the Journal File (JAdr), which is not stored.
struct JournalRecord {
    FilePos mainAdr = 0;
    FilePos prevPtr = kEmptyPtr;
    FilePos nextPtr = kEmptyPtr;
    FilePos pUndo = kEmptyPtr;
    FilePos pJnl = kEmptyPtr;
    FilePos nJnl = kEmptyPtr;
    FilePos nUndo = kEmptyPtr;
    std::uint32_t anz = 0;
    std::uint32_t flag = 0;
    std::uint8_t changeMap[kChangeMapSize] = {};
    std::uint8_t data[kRecordDataSize] = {};
    FilePos jAdr = kEmptyPtr;
};

// Little-endian field access in byte arrays (inline: the rollback file's
// entry check runs them over every byte it keeps).
inline std::uint32_t loadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::uint64_t loadU64(const std::uint8_t* p) {
    return std::uint64_t(loadU32(p)) | std::uint64_t(loadU32(p + 4)) << 32;
}
inline void storeU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}
inline void storeU64(std::uint8_t* p, std::uint64_t v) {
    storeU32(p, std::uint32_t(v));
    storeU32(p + 4, std::uint32_t(v >> 32));
}

// The header of a new, empty Journal File for `mainName`. Returns 1 (and
// leaves MainName empty) when the name does not fit its 255 characters.
[[nodiscard]] int initJournalHeader(JournalHeader& h, const std::string& mainName);
[[nodiscard]] int setMainName(JournalHeader& h, const std::string& mainName);
// MainName as a string (up to its NUL, at most 255 characters).
std::string mainNameOf(const JournalHeader& h);

void encodeJournalHeader(const JournalHeader& h, std::uint8_t out[kJournalHeaderSize]);
void decodeJournalHeader(const std::uint8_t in[kJournalHeaderSize], JournalHeader& h);

// The record header's 128 bytes, and the whole 640-byte record.
void encodeRecordHeader(const JournalRecord& r, std::uint8_t out[kRecordHeaderSize]);
void encodeRecord(const JournalRecord& r, std::uint8_t out[kJournalRecordSize]);
// Overlays the stored bytes of the record-header range [offset, offset+length)
// onto `r`; fields outside the range keep their values. The range must start
// and end on field boundaries (0, 24, 64, 128 or the version walk's 24/104).
void decodeRecordHeaderRange(const std::uint8_t* in, std::uint32_t offset, std::uint32_t length,
                             JournalRecord& r);
void decodeRecord(const std::uint8_t in[kJournalRecordSize], JournalRecord& r);

// Pointer arithmetic of the record area.
inline constexpr FilePos recordPosition(std::uint64_t k) {
    return kJournalHeaderSize + FilePos(kJournalRecordSize) * k;
}
// True when `p` is the position of a record that lies wholly inside a file
// of `length` bytes.
bool isRecordPointer(FilePos p, FilePos length);
// The number of whole records in a file of `length` bytes.
std::uint64_t wholeRecordCount(FilePos length);

// The number of bytes among the first `anz` that the ChangeMap marks.
std::uint32_t countChangedBytes(const JournalRecord& r);

}  // namespace quorby
