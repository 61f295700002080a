#include "journal/journal_dump.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "journal/journal_file.h"

namespace quorby {

namespace {

constexpr int kInvariantCount = 7;
constexpr unsigned kShownPerInvariant = 20;

const char* const kInvariantNames[kInvariantCount + 1] = {
    "", "header", "length", "pointers", "address chain", "version chains", "data count",
    "undo position"};

// The record walks read the file in blocks. The records follow one another
// in the file, but the address chain may step back and forth between the
// places where several passes appended their versions, so the blocks read
// last are kept. A block that served few records before it made room for
// another tells of a chain that jumps about: the next blocks are read
// smaller, down to a few records, and larger again once they serve many.
constexpr int kWindowCount = 8;
constexpr std::uint32_t kWindowSize = 400 * kJournalRecordSize;
constexpr std::uint32_t kSmallestWindow = 8 * kJournalRecordSize;

struct Window {
    std::vector<std::uint8_t> bytes;
    FilePos start = 0;
    std::uint32_t length = 0;
    std::uint64_t lastUse = 0;
    std::uint32_t served = 0;  // records read from it since it was filled
};

struct DumpRun {
    DumpRun(FileIo& f, std::FILE* o) : files(f), out(o) {}
    FileIo& files;
    std::FILE* out;
    JournalFile jf;
    FilePos length = 0;
    unsigned failures[kInvariantCount + 1] = {};
    bool readFailed = false;
    Window windows[kWindowCount];
    Window* lastUsed = &windows[0];
    std::uint64_t uses = 0;
    std::uint32_t readSize = kWindowSize;
    CheckedChanges* changes = nullptr;
};

Window* windowHolding(DumpRun& run, FilePos pos) {
    for (Window& w : run.windows)
        if (w.length > 0 && pos >= w.start && pos + kJournalRecordSize <= w.start + w.length) return &w;
    return nullptr;
}

// A walk that goes on past the end of the block it used last reads the next
// block into the same buffer; else the block read longest ago makes room.
// How much the block served sizes the next read.
Window& windowToFill(DumpRun& run, FilePos pos) {
    Window* last = run.lastUsed;
    const FilePos lastEnd = last->start + last->length;
    Window* oldest = last;
    if (last->length == 0 || pos < lastEnd || pos - lastEnd >= kWindowSize)
        for (Window& w : run.windows)
            if (w.lastUse < oldest->lastUse) oldest = &w;
    const std::uint32_t records = oldest->length / kJournalRecordSize;
    if (records > 0 && oldest->served * 8 < records)
        run.readSize = std::max(kSmallestWindow, run.readSize / 2);
    else if (records > 0 && oldest->served * 2 >= records)
        run.readSize = std::min(kWindowSize, run.readSize * 2);
    return *oldest;
}

// The header of the record at `pos` (a record of the file) from the block
// that holds it, read anew when none does.
int readHeaderThroughWindow(DumpRun& run, FilePos pos, std::uint32_t length, JournalRecord& r) {
    Window* w = windowHolding(run, pos);
    if (!w) {
        w = &windowToFill(run, pos);
        const FilePos rest = run.length - pos;
        const std::uint32_t n = rest < run.readSize ? std::uint32_t(rest) : run.readSize;
        std::uint32_t done = 0;
        w->bytes.resize(kWindowSize);
        w->length = 0;
        w->served = 0;
        if (run.files.readAt(run.jf.handle, pos, w->bytes.data(), n, &done) != 0 || done != n)
            return readRecordHeaderAsStored(run.jf, pos, length, r);
        w->start = pos;
        w->length = n;
    }
    w->lastUse = ++run.uses;
    run.lastUsed = w;
    ++w->served;
    decodeRecordHeaderRange(w->bytes.data() + (pos - w->start), 0, length, r);
    r.jAdr = pos;
    return 0;
}

void say(DumpRun& run, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Prints to the dump's output; a check without output (out == nullptr) only counts.
void say(DumpRun& run, const char* format, ...) {
    if (!run.out) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(run.out, format, args);
    va_end(args);
}

void fail(DumpRun& run, int invariant, const char* format, ...) __attribute__((format(printf, 3, 4)));

void fail(DumpRun& run, int invariant, const char* format, ...) {
    unsigned count = ++run.failures[invariant];
    if (count > kShownPerInvariant || !run.out) return;
    std::fprintf(run.out, "FAIL invariant %d (%s): ", invariant, kInvariantNames[invariant]);
    va_list args;
    va_start(args, format);
    std::vfprintf(run.out, format, args);
    va_end(args);
    std::fputc('\n', run.out);
    if (count == kShownPerInvariant)
        std::fprintf(run.out, "     (further failures of invariant %d are counted, not shown)\n", invariant);
}

void reportReadFailure(DumpRun& run, FilePos position) {
    SystemError e = run.files.lastError();
    const char* why = e.sysErrno != 0 ? std::strerror(e.sysErrno) : "the file ends here";
    say(run, "ERROR reading at %" PRIX64 ": %s\n", position, why);
    run.readFailed = true;
}

// Pointers print as hexadecimal positions; every empty form as "-".
const char* pointerText(FilePos p, char (&buf)[24]) {
    if (isEmptyPtr(p)) return "-";
    std::snprintf(buf, sizeof buf, "%" PRIX64, p);
    return buf;
}

void checkPointer(DumpRun& run, const char* where, const char* field, FilePos p) {
    if (isEmptyPtr(p) || isRecordPointer(p, run.length)) return;
    if (p >= kJournalHeaderSize && (p - kJournalHeaderSize) % kJournalRecordSize == 0)
        fail(run, 3, "%s %s = %" PRIX64 " lies beyond the last whole record", where, field, p);
    else
        fail(run, 3, "%s %s = %" PRIX64 " is not 1024 + 640 k", where, field, p);
}

void printHeader(DumpRun& run) {
    const JournalHeader& h = run.jf.header;
    char b[8][24];
    say(run, "journal     %s\n", run.jf.name.c_str());
    say(run, "length      %" PRIu64 " bytes, %" PRIu64 " records\n", run.length,
                 wholeRecordCount(run.length));
    say(run, "magic       %08" PRIX32 "\n", h.journalMagic);
    say(run, "MainName    \"%s\"\n", mainNameOf(h).c_str());
    say(run, "First       %s\nLastPtr     %s\nUndo        %s\nFirstUndo   %s\n",
                 pointerText(h.first, b[0]), pointerText(h.lastPtr, b[1]), pointerText(h.undo, b[2]),
                 pointerText(h.firstUndo, b[3]));
    say(run, "JnlFlags    %08" PRIX32 "\nJnlEnd      %" PRIu64 "\nMainTime    %016" PRIX64 "\n",
                 h.jnlFlags, h.jnlEnd, h.mainTime);
    say(run, "SavedAnfPtr %016" PRIX64 "  SavedViewOffset %" PRIu32 "\n", h.savedAnfPtr,
                 h.savedViewOffset);
    say(run, "SavedJAdr   %s  SavedJPrevPtr %s  SavedJNextPtr %s\n", pointerText(h.savedJAdr, b[4]),
                 pointerText(h.savedJPrevPtr, b[5]), pointerText(h.savedJNextPtr, b[6]));
    say(run, "selection   %016" PRIX64 " .. %016" PRIX64 "  state %" PRIu32 "\n", h.selectionStart,
                 h.selectionEnd, h.selectionState);
    if (h.jnlEnd != 0 && h.jnlEnd != run.length)
        say(run, "note        JnlEnd differs from the length: the header was last written "
                              "when the file was %" PRIu64 " bytes long\n", h.jnlEnd);
}

// Returns 1 when the header is not one of this format (nothing more is read).
int checkHeader(DumpRun& run) {
    const JournalHeader& h = run.jf.header;
    if (h.journalMagic != kJournalMagic) {
        const char* version = olderFormatVersion(h.journalMagic);
        if (version)
            fail(run, 1, "JournalMagic %08" PRIX32 " instead of %08" PRIX32
                         ": a Journal File of an older format (up to version %s)",
                 h.journalMagic, kJournalMagic, version);
        else
            fail(run, 1, "JournalMagic %08" PRIX32 " instead of %08" PRIX32 ": not a Journal File",
                 h.journalMagic, kJournalMagic);
        return 1;
    }
    FilePos tail = (run.length - kJournalHeaderSize) % kJournalRecordSize;
    if (tail != 0)
        fail(run, 2, "%" PRIu64 " bytes after the last whole record: an append was cut short", tail);
    checkPointer(run, "header", "Undo", h.undo);
    checkPointer(run, "header", "First", h.first);
    checkPointer(run, "header", "LastPtr", h.lastPtr);
    checkPointer(run, "header", "FirstUndo", h.firstUndo);
    checkPointer(run, "header", "SavedJAdr", h.savedJAdr);
    checkPointer(run, "header", "SavedJPrevPtr", h.savedJPrevPtr);
    checkPointer(run, "header", "SavedJNextPtr", h.savedJNextPtr);
    if (!isEmptyPtr(h.undo) && isEmptyPtr(h.firstUndo))
        fail(run, 7, "Undo = %" PRIX64 " but FirstUndo is empty", h.undo);
    return 0;
}

// The version links of one record must be answered by the records they name.
void checkVersionLinks(DumpRun& run, const JournalRecord& r) {
    struct Link {
        FilePos JournalRecord::*forward;
        FilePos JournalRecord::*back;
        const char* forwardName;
        const char* backName;
    };
    const Link links[] = {{&JournalRecord::pJnl, &JournalRecord::nJnl, "PJnl", "NJnl"},
                          {&JournalRecord::nJnl, &JournalRecord::pJnl, "NJnl", "PJnl"}};
    for (const Link& link : links) {
        FilePos target = r.*link.forward;
        if (isEmptyPtr(target) || !isRecordPointer(target, run.length)) continue;
        JournalRecord other;
        if (readRecordHeaderAsStored(run.jf, target, kRecordLinks, other) != 0) {
            reportReadFailure(run, target);
            return;
        }
        char b[24];
        if (!(other.*link.back == r.jAdr))
            fail(run, 5, "record %" PRIX64 " has %s %" PRIX64 ", whose %s is %s", r.jAdr, link.forwardName, target,
                 link.backName, pointerText(other.*link.back, b));
        if (other.mainAdr != r.mainAdr)
            fail(run, 5, "record %" PRIX64 " (MainAdr %" PRIX64 ") and its version %" PRIX64 " (MainAdr %" PRIX64
                         ") belong to different pages",
                 r.jAdr, r.mainAdr, target, other.mainAdr);
    }
}

// One line of the record table.
void printRecord(DumpRun& run, const JournalRecord& r) {
    char b[7][24];
    char changed[16];
    if (r.flag & kFlagNoChangeMap)
        std::snprintf(changed, sizeof changed, "no-map");
    else
        std::snprintf(changed, sizeof changed, "%" PRIu32, countChangedBytes(r));
    say(run, "%12" PRIX64 " %16" PRIX64 " %12s %12s %12s %12s %12s %12s %4" PRIu32 " %08" PRIX32
                  " %7s%s%s\n",
             r.jAdr, r.mainAdr, pointerText(r.prevPtr, b[0]), pointerText(r.nextPtr, b[1]),
             pointerText(r.pUndo, b[2]), pointerText(r.pJnl, b[3]), pointerText(r.nJnl, b[4]),
             pointerText(r.nUndo, b[5]), r.anz, r.flag, changed,
             (r.flag & kFlagShowMainFile) ? "  main-file" : "",
             (r.flag & kFlagNotInUndoOrder) ? "  unlinked" : "");
}

void dumpRecords(DumpRun& run) {
    say(run, "\n%12s %16s %12s %12s %12s %12s %12s %12s %4s %8s %7s\n", "position", "MainAdr",
                 "PrevPtr", "NextPtr", "PUndo", "PJnl", "NJnl", "NUndo", "anz", "Flag", "changed");
    std::uint64_t count = wholeRecordCount(run.length);
    for (std::uint64_t k = 0; k < count && !run.readFailed; ++k) {
        FilePos pos = recordPosition(k);
        JournalRecord r;
        if (readHeaderThroughWindow(run, pos, kRecordHeaderSize, r) != 0) {
            reportReadFailure(run, pos);
            return;
        }
        if (run.out) printRecord(run, r);
        const FilePos links[] = {r.prevPtr, r.nextPtr, r.pUndo, r.pJnl, r.nJnl, r.nUndo};
        const char* const names[] = {"PrevPtr", "NextPtr", "PUndo", "PJnl", "NJnl", "NUndo"};
        for (int i = 0; i < 6; ++i) {
            if (isEmptyPtr(links[i]) || isRecordPointer(links[i], run.length)) continue;
            char where[40];
            std::snprintf(where, sizeof where, "record %" PRIX64, pos);
            checkPointer(run, where, names[i], links[i]);
        }
        if (r.anz == 0 || r.anz > kRecordDataSize) fail(run, 6, "record %" PRIX64 " has anz %" PRIu32, pos, r.anz);
        checkVersionLinks(run, r);
    }
}

void walkAddressChain(DumpRun& run) {
    const JournalHeader& h = run.jf.header;
    if (isEmptyPtr(h.first) != isEmptyPtr(h.lastPtr)) {
        char b[2][24];
        fail(run, 4, "First is %s but LastPtr is %s", pointerText(h.first, b[0]), pointerText(h.lastPtr, b[1]));
        return;
    }
    CheckedChanges* changes = run.changes;
    if (changes) {
        std::memset(changes->bins, 0, std::size_t(changes->binCount));
        changes->unwrittenPages = 0;
    }
    // The changed pages need each record's ChangeMap as well.
    const std::uint32_t readLength = changes ? kRecordHeaderSize : kRecordLinks;
    FilePos ptr = h.first;
    FilePos previous = kEmptyPtr;
    FilePos previousAdr = 0;
    FilePos lowest = 0;
    std::uint64_t steps = 0;
    while (!isEmptyPtr(ptr)) {
        if (!isRecordPointer(ptr, run.length)) {
            fail(run, 4, "the chain leaves the records: %s points to %" PRIX64,
                 steps == 0 ? "First" : "a NextPtr", ptr);
            return;
        }
        JournalRecord r;
        if (readHeaderThroughWindow(run, ptr, readLength, r) != 0) {
            reportReadFailure(run, ptr);
            return;
        }
        char b[2][24];
        if (!(r.prevPtr == previous || (isEmptyPtr(r.prevPtr) && isEmptyPtr(previous))))
            fail(run, 4, "record %" PRIX64 " has PrevPtr %s, but the chain reached it from %s", ptr,
                 pointerText(r.prevPtr, b[0]), steps == 0 ? "First" : pointerText(previous, b[1]));
        if (r.mainAdr % kRecordDataSize != 0)
            fail(run, 4, "record %" PRIX64 " has MainAdr %" PRIX64 ", not a page position", ptr, r.mainAdr);
        if (steps > 0 && r.mainAdr <= previousAdr) {
            // Stop here: a chain that does not climb may loop.
            fail(run, 4, "record %" PRIX64 " (MainAdr %" PRIX64 ") follows MainAdr %" PRIX64
                         ": not strictly increasing",
                 ptr, r.mainAdr, previousAdr);
            return;
        }
        if (steps == 0) lowest = r.mainAdr;
        if (changes) {
            std::uint8_t& bin = changes->bins[binOfPosition(r.mainAdr, changes->span, changes->binCount)];
            bin |= changes->marks.changed;
            if (differsFromMainFile(r)) {
                bin |= changes->marks.unwritten;
                ++changes->unwrittenPages;
            }
        }
        previous = ptr;
        previousAdr = r.mainAdr;
        ptr = r.nextPtr;
        ++steps;
    }
    if (!(previous == h.lastPtr || (isEmptyPtr(previous) && isEmptyPtr(h.lastPtr)))) {
        char b[2][24];
        fail(run, 4, "LastPtr is %s, but the chain ends at %s", pointerText(h.lastPtr, b[0]),
             pointerText(previous, b[1]));
    } else if (changes) {
        changes->walked = true;
    }
    if (steps == 0)
        say(run, "\naddress chain: empty\n");
    else
        say(run, "\naddress chain: %" PRIu64 " pages, MainAdr %" PRIX64 " .. %" PRIX64 "\n", steps,
                     lowest, previousAdr);
}

int summarize(DumpRun& run) {
    if (run.readFailed) {
        say(run, "result: the Journal File could not be read to its end\n");
        return kDumpUnreadable;
    }
    bool any = false;
    for (int i = 1; i <= kInvariantCount; ++i) {
        if (run.failures[i] == 0) continue;
        say(run, "%s invariant %d (%s) failed %u time%s", any ? "," : "result:", i,
                     kInvariantNames[i], run.failures[i], run.failures[i] == 1 ? "" : "s");
        any = true;
    }
    if (any) {
        say(run, "\n");
        return kDumpInvariantFailed;
    }
    say(run, "result: all invariants hold\n");
    return kDumpAllHold;
}

int checkOrDump(FileIo& files, const std::string& path, std::FILE* out, CheckedChanges* changes) {
    DumpRun run(files, out);
    run.changes = changes;
    if (changes) changes->walked = false;
    FileHandle handle = kNoFile;
    if (files.open(path, OpenMode::ReadOnly, &handle) != 0) {
        SystemError e = files.lastError();
        say(run, "ERROR cannot open %s: %s\n", path.c_str(),
                     e.sysErrno != 0 ? std::strerror(e.sysErrno) : "refused");
        return kDumpUnreadable;
    }
    attachJournal(run.jf, files, handle, path);
    int result = kDumpUnreadable;
    if (files.size(handle, &run.length) != 0) {
        reportReadFailure(run, 0);
    } else if (run.length < kJournalHeaderSize) {
        say(run, "journal     %s\nlength      %" PRIu64 " bytes\n", path.c_str(), run.length);
        fail(run, 2, "%" PRIu64 " bytes are fewer than the 1024-byte header: not a Journal File", run.length);
        result = summarize(run);
    } else {
        run.jf.journalEnd = run.length;
        if (readJournalHeader(run.jf) != 0) {
            reportReadFailure(run, 0);
        } else {
            printHeader(run);
            if (checkHeader(run) == 0) {
                dumpRecords(run);
                if (!run.readFailed) walkAddressChain(run);
            }
        }
        result = summarize(run);
    }
    files.close(handle);
    return result;
}

}  // namespace

int dumpJournal(FileIo& files, const std::string& path, std::FILE* out) {
    return checkOrDump(files, path, out, nullptr);
}

int checkJournalFile(FileIo& files, const std::string& path, CheckedChanges* changes) {
    return checkOrDump(files, path, nullptr, changes);
}

int runJournalDump(FileIo& files, int argc, char** argv, std::FILE* out) {
    if (argc != 2) {
        std::fputs("usage: quorby --journal-dump FILE.jnl\n", stderr);
        return kDumpUnreadable;
    }
    return dumpJournal(files, argv[1], out);
}

}  // namespace quorby
