// Damaged and hostile Journal Files met at the opening of their Main File:
// bit flips, truncations, garbage tails, out-of-range fields and link
// cycles. The program must neither crash nor hang, must leave the Main File
// outside the changed pages alone, and must either say what is wrong or
// work on a journal that passes the dump.
//
// Each variant runs in a child process with an alarm and its stderr in a
// file, so that an ASan or UBSan report or a hang is counted for that
// variant instead of ending the suite.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "edit/enter_char.h"
#include "edit/undo_commands.h"
#include "edit/write_all.h"
#include "journal/journal_dump.h"
#include "journal/journal_file.h"
#include "navigate/page_moves.h"
#include "state/app_state.h"
#include "state/settings_file.h"
#include "resources/dialog_controls.h"
#include "document/page_assembly.h"
#include "tests/support/fake_platform.h"
#include "tests/support/forked_run.h"
#include "tests/support/journal_dump_run.h"
#include "tests/support/memory_file_io.h"
#include "tests/support/program_on_files.h"

namespace quorby::testing::corrupted_journal {
namespace {

constexpr const char* kMainPath = "/data/disk.bin";
constexpr FilePos kMainSize = 16 * 512 + 100;  // a short last page
constexpr unsigned kAlarmSeconds = 2;  // a variant takes milliseconds

std::uint8_t originalAt(FilePos pos) { return std::uint8_t(pos * 13 + (pos >> 9) * 5 + 3); }

std::vector<std::uint8_t> originalMain() {
    std::vector<std::uint8_t> bytes(kMainSize);
    for (FilePos i = 0; i < kMainSize; ++i) bytes[i] = originalAt(i);
    return bytes;
}

struct Program : ProgramOnFiles {
    Program(MemoryFileIo& io, std::uint32_t undoOptions) : ProgramOnFiles(io, kMainPath, undoOptions) {}
};

// The pages the valid journal changes.
const std::set<FilePos> kChangedPages = {1, 3, 7, 10, 16};

struct Valid {
    std::vector<std::uint8_t> journal;
    std::string journalName;
};

// Several pages, some with several versions, the last change undone.
Valid buildValidJournal() {
    Valid v;
    MemoryFileIo io;
    io.bytes(kMainPath) = originalMain();
    Program p(io, kUndoKeepRestoreData | kUndoEveryChange);
    EXPECT_EQ(p.open(), 0);
    p.type(1 * 512 + 4, 0x10);
    p.type(3 * 512 + 9, 0x30);
    p.type(3 * 512 + 10, 0x31);
    p.type(7 * 512 + 300, 0x70);
    p.type(10 * 512 + 2, 0xA0);
    p.type(10 * 512 + 3, 0xA1);
    p.type(3 * 512 + 11, 0x32);
    p.type(16 * 512 + 50, 0xF0);
    p.run(undoLastCommand);
    EXPECT_TRUE(p.platform.boxes.empty());
    v.journalName = p.app.journal.name;
    v.journal = io.bytes(v.journalName);
    EXPECT_EQ(io.bytes(kMainPath), originalMain());
    return v;
}

// ---- little-endian field access ------------------------------------------------

std::uint64_t get64(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}
void put64(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}

struct Variant {
    std::string kind;    // the family, for the summary
    std::string detail;  // what exactly was done
    std::vector<std::uint8_t> bytes;
};

std::vector<Variant> makeVariants(const std::vector<std::uint8_t>& valid) {
    std::vector<Variant> out;
    std::mt19937 rng(0x51ab1e);
    auto pick = [&](std::uint64_t below) { return std::uniform_int_distribution<std::uint64_t>(0, below - 1)(rng); };
    const std::uint64_t records = (valid.size() - kJournalHeaderSize) / kJournalRecordSize;
    const std::uint64_t end = valid.size();
    auto rec = [](std::uint64_t k) { return std::size_t(kJournalHeaderSize + kJournalRecordSize * k); };
    auto add = [&](std::string kind, std::string detail, std::vector<std::uint8_t> bytes) {
        out.push_back({std::move(kind), std::move(detail), std::move(bytes)});
    };
    auto hex = [](std::uint64_t v) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%llX", (unsigned long long)v);
        return std::string(buf);
    };

    // Bit flips, 1 to 3 bits: header (mostly its live part) and records
    // (mostly their headers).
    for (int i = 0; i < 50; ++i) {
        std::vector<std::uint8_t> b = valid;
        std::string detail = "header bits";
        for (int n = int(pick(3)) + 1; n > 0; --n) {
            std::size_t at = pick(5) ? pick(kHeaderLiveSize) : pick(kJournalHeaderSize);
            int bit = int(pick(8));
            b[at] ^= std::uint8_t(1u << bit);
            detail += " " + std::to_string(at) + "." + std::to_string(bit);
        }
        add("bit flip in header", detail, std::move(b));
    }
    for (int i = 0; i < 60; ++i) {
        std::vector<std::uint8_t> b = valid;
        std::string detail = "record bits";
        for (int n = int(pick(3)) + 1; n > 0; --n) {
            std::uint64_t k = pick(records);
            std::size_t at = pick(5) ? pick(kRecordHeaderSize) : pick(kJournalRecordSize);
            int bit = int(pick(8));
            b[rec(k) + at] ^= std::uint8_t(1u << bit);
            detail += " r" + std::to_string(k) + "+" + std::to_string(at) + "." + std::to_string(bit);
        }
        add("bit flip in record", detail, std::move(b));
    }

    // Truncations, fixed ones and random lengths (mostly inside records).
    std::vector<std::uint64_t> lengths = {0, 1, 100, 127, 128, 1023, 1024, 1025, 1024 + 640 - 1, 1024 + 640 + 64};
    for (int i = 0; i < 15; ++i) lengths.push_back(pick(end));
    for (std::uint64_t len : lengths) {
        std::vector<std::uint8_t> b(valid.begin(), valid.begin() + std::ptrdiff_t(len));
        add("truncation", "length " + std::to_string(len), std::move(b));
    }

    // Garbage tails.
    for (int i = 0; i < 10; ++i) {
        std::vector<std::uint8_t> b = valid;
        std::uint64_t extra = i == 0 ? 640 : pick(3000) + 1;
        for (std::uint64_t n = 0; n < extra; ++n) b.push_back(std::uint8_t(pick(256)));
        add("garbage tail", std::to_string(extra) + " bytes", std::move(b));
    }

    // Zero-filled tails past the committed length: an append that the file
    // system extended the file for but never filled.
    for (std::uint64_t count : {1u, 100u}) {
        std::vector<std::uint8_t> b = valid;
        b.resize(b.size() + count * kJournalRecordSize, 0);
        add("zero-filled tail", std::to_string(count) + " records", std::move(b));
    }

    // The identifier: older formats and an unknown one.
    for (std::uint32_t magic : {kJournalMagicUpTo210, kJournalMagicUpTo219y, 0u, 0x04EFCDABu}) {
        std::vector<std::uint8_t> b = valid;
        put32(b, kHdrMagic, magic);
        add("identifier", "magic " + hex(magic), std::move(b));
    }

    // Data counts of 0 and above 512.
    for (std::uint64_t k = 0; k < records; ++k) {
        for (std::uint32_t anz : {0u, 513u, 4096u, 0xFFFFFFFFu}) {
            std::vector<std::uint8_t> b = valid;
            put32(b, rec(k) + kRecAnz, anz);
            add("data count", "record " + std::to_string(k) + " anz " + std::to_string(anz), std::move(b));
        }
    }

    // Header pointers past the end, into the header, into a record's middle.
    const std::pair<std::uint32_t, const char*> headerPointers[] = {
        {kHdrUndo, "Undo"},           {kHdrFirst, "First"},           {kHdrLastPtr, "LastPtr"},
        {kHdrFirstUndo, "FirstUndo"}, {kHdrSavedJAdr, "SavedJAdr"},   {kHdrSavedJPrevPtr, "SavedJPrevPtr"},
        {kHdrSavedJNextPtr, "SavedJNextPtr"},
    };
    const std::uint64_t hostilePointers[] = {end, end + 640 * 5, 1024 + 17, 0, 1000, 0x7FFFFFFF00000000ull};
    for (auto [at, name] : headerPointers) {
        for (std::uint64_t v : hostilePointers) {
            std::vector<std::uint8_t> b = valid;
            put64(b, at, v);
            add("header pointer", std::string(name) + " = " + hex(v), std::move(b));
        }
    }

    // Record links past the end and into the middle of a record.
    const std::pair<std::uint32_t, const char*> links[] = {
        {kRecPrevPtr, "PrevPtr"}, {kRecNextPtr, "NextPtr"}, {kRecPUndo, "PUndo"},
        {kRecPJnl, "PJnl"},       {kRecNJnl, "NJnl"},       {kRecNUndo, "NUndo"},
    };
    for (std::uint64_t k = 0; k < records; ++k) {
        for (auto [at, name] : links) {
            const std::uint64_t pastEnd = end + 640 * pick(4);
            const std::uint64_t inside = rec(pick(records)) + 1 + pick(639);
            std::vector<std::uint8_t> b = valid;
            put64(b, rec(k) + at, pastEnd);
            add("record link past the end", "record " + std::to_string(k) + " " + name + " = " + hex(pastEnd), std::move(b));
            b = valid;
            put64(b, rec(k) + at, inside);
            add("record link into a record", "record " + std::to_string(k) + " " + name + " = " + hex(inside), std::move(b));
        }
    }

    // MainAdr past the Main File's end, and not on a page boundary.
    for (std::uint64_t k = 0; k < records; ++k) {
        const std::uint64_t old = get64(valid, rec(k) + kRecMainAdr);
        for (std::uint64_t v : {std::uint64_t(17 * 512), std::uint64_t(4096 * 512), std::uint64_t(0xFFFFFFFFFFFFFE00ull), std::uint64_t(old + 7)}) {
            std::vector<std::uint8_t> b = valid;
            put64(b, rec(k) + kRecMainAdr, v);
            add("MainAdr", "record " + std::to_string(k) + " MainAdr = " + hex(v), std::move(b));
        }
    }

    // Cycles. The address chain: the last record leads back to the first, a
    // record leads to itself; the undo order: an entry is its own
    // predecessor, the oldest entry follows the newest.
    const std::uint64_t first = get64(valid, kHdrFirst), last = get64(valid, kHdrLastPtr);
    const std::uint64_t undo = get64(valid, kHdrUndo), firstUndo = get64(valid, kHdrFirstUndo);
    auto cycle = [&](const char* kind, const std::string& detail, std::uint64_t record, std::uint32_t field,
                     std::uint64_t target) {
        std::vector<std::uint8_t> b = valid;
        put64(b, std::size_t(record + field), target);
        add(kind, detail, std::move(b));
    };
    cycle("address chain cycle", "last NextPtr = First", last, kRecNextPtr, first);
    cycle("address chain cycle", "first PrevPtr = LastPtr", first, kRecPrevPtr, last);
    {
        std::vector<std::uint8_t> b = valid;
        const std::uint64_t second = get64(valid, std::size_t(first + kRecNextPtr));
        put64(b, std::size_t(second + kRecNextPtr), second);
        add("address chain cycle", "second NextPtr = itself", std::move(b));
        b = valid;
        put64(b, std::size_t(second + kRecNextPtr), first);
        add("address chain cycle", "second NextPtr = First", std::move(b));
    }
    cycle("undo order cycle", "Undo entry PUndo = itself", undo, kRecPUndo, undo);
    cycle("undo order cycle", "FirstUndo PUndo = Undo", firstUndo, kRecPUndo, undo);
    cycle("undo order cycle", "Undo entry NUndo = FirstUndo", undo, kRecNUndo, firstUndo);
    cycle("undo order cycle", "FirstUndo NUndo = itself", firstUndo, kRecNUndo, firstUndo);
    for (std::uint64_t k = 0; k < records; ++k) {
        const std::uint64_t older = get64(valid, rec(k) + kRecPJnl);
        if (older >> 32 == 0xFFFFFFFFu) continue;
        cycle("version cycle", "record " + std::to_string(k) + ": its older version's PJnl = it", older, kRecPJnl, rec(k));
    }

    // Records present, the chain's ends empty.
    {
        std::vector<std::uint8_t> b = valid;
        put64(b, kHdrFirst, kEmptyPtr);
        add("empty First", "First empty", std::move(b));
        b = valid;
        put64(b, kHdrFirst, kEmptyPtr);
        put64(b, kHdrLastPtr, kEmptyPtr);
        add("empty First", "First and LastPtr empty", std::move(b));
        b = valid;
        put64(b, kHdrLastPtr, kEmptyPtr);
        add("empty First", "LastPtr empty", std::move(b));
    }
    // JnlEnd that disagrees with the length.
    for (std::uint64_t v : {std::uint64_t(0), std::uint64_t(1024), std::uint64_t(end + 640 * 1000), std::uint64_t(~0ull)}) {
        std::vector<std::uint8_t> b = valid;
        put64(b, kHdrJnlEnd, v);
        add("JnlEnd", "JnlEnd = " + hex(v), std::move(b));
    }
    return out;
}

// ---- one variant in a child ------------------------------------------------------

struct Outcome {
    bool journalOpen = false;
    int dumpStatus = -1;           // of the journal the program opened, right after opening
    bool told = false;             // a message box or question with text was shown
    bool mainTouched = false;      // a byte outside the changed pages differs
    char firstMessage[120] = {};
    char dumpFailure[120] = {};
};

Outcome runVariant(const std::vector<std::uint8_t>& journal, const std::string& journalName) {
    Outcome out;
    MemoryFileIo io;
    io.bytes(kMainPath) = originalMain();
    io.bytes(journalName) = journal;
    Program p(io, kUndoKeepRestoreData | kUndoEveryChange);
    p.open();
    out.journalOpen = p.app.journal.handle != kNoFile;
    if (out.journalOpen) {
        const DumpResult dump = runDump(io, p.app.journal.name);
        out.dumpStatus = dump.status;
        std::snprintf(out.dumpFailure, sizeof out.dumpFailure, "%s", dump.firstFailure().c_str());
    }
    // Every pair is read; a corrupted journal may refuse some, which is what is looked at.
    for (FilePos pos = 0; pos < kMainSize; pos += 1024) (void)loadPagePair(p.app, pos);
    p.run(undoAllCommand);
    p.run(redoAllCommand);
    (void)saveFile(p.app, true);
    p.endCommand();
    p.run(undoAllCommand);
    for (FilePos pos = 0; pos < kMainSize; pos += 1024) (void)loadPagePair(p.app, pos);

    for (const MessageBoxDescription& box : p.platform.boxes) {
        if (box.text.empty()) continue;
        if (!out.told) std::snprintf(out.firstMessage, sizeof out.firstMessage, "%s", box.text.c_str());
        out.told = true;
    }
    for (const auto& [caption, text] : p.platform.questions) {
        if (text.empty()) continue;
        if (!out.told) std::snprintf(out.firstMessage, sizeof out.firstMessage, "%s", text.c_str());
        out.told = true;
    }
    const std::vector<std::uint8_t> original = originalMain();
    const std::vector<std::uint8_t>& now = io.bytes(kMainPath);
    out.mainTouched = now.size() != original.size();
    for (FilePos i = 0; i < std::min<FilePos>(now.size(), original.size()); ++i)
        if (!kChangedPages.count(i / 512) && now[i] != original[i]) out.mainTouched = true;
    return out;
}

// The sanitizer's verdict and the first frame in the program's own code.
std::string crashSite(const std::string& report) {
    std::string what, where;
    std::size_t at = report.find("ERROR: ");
    if (at == std::string::npos) at = report.find("runtime error");
    if (at != std::string::npos) what = report.substr(at, report.find('\n', at) - at);
    at = report.find(" in quorby::");
    if (at != std::string::npos) where = report.substr(at + 4, report.find('\n', at) - at - 4);
    return what + " | " + where;
}

// Not a rule of the writers: the readers' check of every field read from
// disk, so that a journal no rule produced is refused instead of followed.
TEST(CorruptedJournal, EveryVariantIsReportedOrOpensAJournalThatPassesTheDump) {
    const Valid valid = buildValidJournal();
    ASSERT_GT(valid.journal.size(), std::size_t(kJournalHeaderSize + 6 * kJournalRecordSize));
    {
        MemoryFileIo io;
        io.bytes(valid.journalName) = valid.journal;
        const DumpResult dump = runDump(io, valid.journalName);
        ASSERT_EQ(dump.status, kDumpAllHold) << dump.text;
    }

    const std::vector<Variant> variants = makeVariants(valid.journal);
    std::map<std::string, std::pair<int, int>> byKind;  // kind -> (run, failing)
    std::vector<std::string> failures;
    int handled = 0;
    for (const Variant& v : variants) {
        Outcome o;
        std::string report;
        const auto variantRun = [&] { return runVariant(v.bytes, valid.journalName); };
        const Ending ending = runForked<Outcome>(variantRun, kAlarmSeconds, &o, &report);
        std::string fault;
        if (ending == Ending::Hung)
            fault = "hang";
        else if (ending == Ending::Crashed)
            fault = "crash: " + crashSite(report);
        else if (o.mainTouched)
            fault = "Main File touched outside the changed pages";
        else if (!o.told && o.journalOpen && o.dumpStatus != kDumpAllHold)
            fault = std::string("silent acceptance: ") + o.dumpFailure;
        else if (!o.told && !o.journalOpen)
            fault = "Journal File dropped without a message";
        ++byKind[v.kind].first;
        const std::string where = v.kind + " [" + v.detail + "]";
        // No crash, no hang, the Main File outside the changed pages
        // untouched, and never a damaged journal used without a word.
        EXPECT_NE(ending, Ending::Crashed) << where << ": " << crashSite(report);
        EXPECT_NE(ending, Ending::Hung) << where;
        EXPECT_FALSE(ending == Ending::Done && o.mainTouched) << where;
        EXPECT_EQ(fault, "") << where;
        if (fault.empty()) {
            ++handled;
            continue;
        }
        ++byKind[v.kind].second;
        failures.push_back(v.kind + " [" + v.detail + "]: " + fault);
    }

    std::printf("[ corrupt ] %zu variants, %d handled, %zu failing\n", variants.size(), handled, failures.size());
    for (const auto& [kind, counts] : byKind)
        std::printf("[ corrupt ]   %-28s %3d run, %3d failing\n", kind.c_str(), counts.first, counts.second);
    for (const std::string& f : failures) std::printf("[ corrupt ]   %s\n", f.c_str());
    ::testing::Test::RecordProperty("variants", int(variants.size()));
    ::testing::Test::RecordProperty("failing", int(failures.size()));

    EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace quorby::testing::corrupted_journal
