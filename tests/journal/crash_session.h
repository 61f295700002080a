#pragma once
// The session of the crash loops: every command that writes the Journal File
// or the Main File, run by a program over files in `dir` that outlive it, and
// what the program shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "edit/append_to_file.h"
#include "edit/file_size.h"
#include "edit/fill_commands.h"
#include "edit/paste_bytes.h"
#include "edit/save_as.h"
#include "edit/undo_commands.h"
#include "edit/write_commands.h"
#include "navigate/page_moves.h"
#include "document/page_assembly.h"
#include "document/store_page.h"
#include "tests/support/program_on_files.h"

namespace quorby::testing {

inline constexpr FilePos kMainSize = 10 * 512;

inline std::uint8_t originalAt(FilePos pos) { return std::uint8_t(pos * 29 + (pos >> 9) * 3 + 7); }

// One program run: its window system and its state over the shared files.
// Without bit 1 a store over a page's newest version rewrites it in place;
// bit 0 keeps the Main File's earlier content for Restore.
struct Program : ProgramOnFiles {
    Program(MemoryFileIo& io, const std::string& dir, std::uint32_t undoOptions = kUndoKeepRestoreData,
            const BatchSizes& batches = {})
        : ProgramOnFiles(io, dir + "/disk.bin", undoOptions) {
        app.buffers.batches = batches;
    }
};

struct Step {
    const char* name;
    std::function<void(Program&)> run;
    // A command that commits between its entries (Undo All, Redo All) may
    // be cut after any of them: the single step it repeats.
    void (*single)(AppState&) = nullptr;
    // A direct fill without undo has nothing to go back to: cut, it may
    // leave each byte as before it or as after it.
    bool mayStopPartDone = false;
};

inline void select(Program& p, FilePos start, FilePos end) {
    (void)showWithCursorAt(p.app, start);
    p.app.view.selectionStart = start;
    p.app.view.selectionEnd = end;
    p.app.view.selectionActive = kSelectionExists;
}

inline void toFile(Program& p, const std::string& path, void (*command)(AppState&)) {
    p.platform.fileAnswers.push_back({true, path, false});
    p.run(command);
}

// The session. Pages 1 and 3 are stored twice in the same half: the second
// store overwrites the newest version in place.
inline std::vector<Step> session(const std::string& dir) {
    return {
        {"store page 1", [](Program& p) { p.type(1 * 512 + 10, 0x11); }},
        {"store page 1 again (in place)", [](Program& p) { p.type(1 * 512 + 11, 0x12); }},
        {"store page 3", [](Program& p) { p.type(3 * 512 + 5, 0x31); }},
        {"store page 6", [](Program& p) { p.type(6 * 512 + 500, 0x61); }},
        {"store page 3 again (in place)", [](Program& p) { p.type(3 * 512 + 6, 0x32); }},
        {"undo", [](Program& p) { p.run(undoLastCommand); }},
        {"undo", [](Program& p) { p.run(undoLastCommand); }},
        {"redo", [](Program& p) { p.run(redoLastCommand); }},
        {"undo all", [](Program& p) { p.run(undoAllCommand); }},
        {"redo all", [](Program& p) { p.run(redoAllCommand); }},
        {"undo per page", [](Program& p) { p.run(undoPerPageCommand); }},
        {"redo per page", [](Program& p) { p.run(redoPerPageCommand); }},
        {"save file", [](Program& p) { p.run(saveFileCommand); }},
        {"store page 1 after saving", [](Program& p) { p.type(1 * 512 + 12, 0x13); }},
        {"store page 8", [](Program& p) { p.type(8 * 512 + 1, 0x81); }},
        {"store page 9", [](Program& p) { p.type(9 * 512 + 2, 0x91); }},
        {"save selected data",
         [](Program& p) {
             select(p, 8 * 512, 8 * 512 + 4);
             p.run(saveSelectedDataCommand);
         }},
        {"discard changes in page",
         [](Program& p) {
             (void)showWithCursorAt(p.app, 9 * 512);
             p.run(discardPageCommand);
         }},
        {"save file as", [dir](Program& p) { toFile(p, dir + "/copy.bin", saveFileAsCommand); }},
        {"append page", [dir](Program& p) { toFile(p, dir + "/pages.bin", appendPageCommand); }},
        {"restore original file", [](Program& p) { p.run(restoreOriginalCommand); }},
        {"undo the restore", [](Program& p) { p.run(undoLastCommand); }},
    };
}

// Stores on both sides of a new end: the file is shortened through a changed
// page, changed below its new end, lengthened back to its size (zeros where
// it was cut) and the page past the cut changed again.
inline std::vector<Step> resizeSession() {
    auto resizeTo = [](FilePos size) {
        return [size](Program& p) {
            (void)resizeMainFile(p.app, size);
            p.endCommand();
        };
    };
    return {
        {"store page 1", [](Program& p) { p.type(1 * 512 + 10, 0x11); }},
        {"store page 8", [](Program& p) { p.type(8 * 512 + 20, 0x81); }},
        {"shorten the file", resizeTo(8 * 512 + 100)},
        {"store page 2", [](Program& p) { p.type(2 * 512 + 30, 0x21); }},
        {"lengthen the file", resizeTo(kMainSize)},
        {"store page 9", [](Program& p) { p.type(9 * 512 + 40, 0x91); }},
        {"save file", [](Program& p) { p.run(saveFileCommand); }},
    };
}

// Batches so small that the session below meets every boundary of them.
inline BatchSizes smallBatches() {
    BatchSizes b;
    b.writeChunkRecords = 3;
    b.chunksPerCommit = 2;
    b.marksBeforeSync = 5;
    b.stepsPerCommit = 4;
    return b;
}

// Every half of the Main File typed and stored, written by "Save &File" in
// many chunks, with undo taken back and brought back by Undo All and Redo
// All over several commits, changed again and written again.
inline std::vector<Step> batchedSession(bool withUndo) {
    std::vector<Step> steps;
    // Without undo, direct access fills whole page pairs straight into the
    // Main File; the pair of a stored page in between goes through its
    // journal record.
    if (!withUndo) {
        steps.push_back({"store a half", [](Program& p) { p.type(2048 + 7, 0x77); }});
        steps.push_back({"fill directly", [](Program& p) {
                             select(p, 1024, 4096);
                             p.run([](AppState& app) {
                                 app.edit.fillValue = 0x5A;
                                 app.shell.accessFlags |= kAccessDirect;
                                 (void)fillSelection(app);
                                 app.shell.accessFlags &= ~kAccessDirect;
                             });
                         },
                         nullptr, true});
    }
    for (FilePos half = 0; half < kMainSize / 256; ++half)
        steps.push_back({"store a half", [half](Program& p) { p.type(half * 256 + 7, std::uint8_t(0xA0 + half)); }});
    steps.push_back({"save file", [](Program& p) { p.run(saveFileCommand); }});
    if (withUndo) {
        steps.push_back({"undo all", [](Program& p) { p.run(undoAllCommand); }, undoLastCommand});
        steps.push_back({"redo all", [](Program& p) { p.run(redoAllCommand); }, redoLastCommand});
    }
    for (FilePos half = 1; half < kMainSize / 256; half += 3)
        steps.push_back({"store a half again", [half](Program& p) { p.type(half * 256 + 9, std::uint8_t(0x50 + half)); }});
    steps.push_back({"save file again", [](Program& p) { p.run(saveFileCommand); }});
    return steps;
}

// Direct runs with undo in blocks of one pair, so that a run of a few
// pairs is several blocks, each linked onto the one before (the fill below
// is a run of two), and each block's exchanges sent ahead half by half.
inline BatchSizes onePairDirectBlocks() {
    BatchSizes b;
    b.directKeepBlock = kPagePairSize;
    b.directSendPiece = kPageSize;
    return b;
}

// A fill and a paste in direct access with undo, over pairs that hold no
// record (written as one run) and pairs that do or that they cover only in
// part (through the page store), among typed stores, Undo and Redo. Each is
// one command: cut anywhere, it is whole or not there.
inline std::vector<Step> directUndoSession() {
    auto direct = [](void (*command)(AppState&)) {
        return [command](Program& p) {
            p.app.shell.accessFlags |= kAccessDirect;
            p.run(command);
            p.app.shell.accessFlags &= ~kAccessDirect;
        };
    };
    return {
        {"store page 6", [](Program& p) { p.type(6 * 512 + 5, 0x61); }},
        {"fill directly with undo",
         [direct](Program& p) {
             select(p, 300, 9 * 512 + 40);
             p.app.edit.fillValue = 0x5A;
             direct([](AppState& app) { (void)fillSelection(app); })(p);
         }},
        {"paste directly with undo",
         [direct](Program& p) {
             (void)showWithCursorAt(p.app, 1 * 512 + 3);
             direct([](AppState& app) {
                 static std::uint8_t bytes[3000];
                 for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = std::uint8_t(0xC0 + i % 37);
                 PasteSource source;
                 source.bytes = bytes;
                 (void)pasteBytes(app, source, app.view.cursorPos(), sizeof bytes, "", EnlargeAsk::Question);
             })(p);
         }},
        {"type directly", direct([](AppState& app) {
             (void)showWithCursorAt(app, 8 * 512 + 9);
             typeByte(app, int(app.view.viewOffset + app.view.cursorOffset), 0x7E);
             (void)storePage(app);
         })},
        {"undo the typed byte", [](Program& p) { p.run(undoLastCommand); }},
        {"undo the paste", [](Program& p) { p.run(undoLastCommand); }},
        {"redo the paste", [](Program& p) { p.run(redoLastCommand); }},
        {"undo all", [](Program& p) { p.run(undoAllCommand); }, undoLastCommand},
        {"redo all", [](Program& p) { p.run(redoAllCommand); }, redoLastCommand},
    };
}

// The Main File of a fresh machine; no Journal File yet.
inline std::vector<std::uint8_t> originalBytes() {
    std::vector<std::uint8_t> bytes(kMainSize);
    for (FilePos i = 0; i < kMainSize; ++i) bytes[i] = originalAt(i);
    return bytes;
}

using Content = std::vector<std::uint8_t>;

// What the program shows, page pair by page pair, up to the file's end.
inline Content shownContent(Program& p) {
    Content c;
    for (FilePos pos = 0; pos < std::min(kMainSize, p.app.main.fileSize); pos += 1024) {
        (void)loadPagePair(p.app, pos);
        c.insert(c.end(), p.app.view.pageBuffer, p.app.view.pageBuffer + p.app.view.pageLength);
    }
    return c;
}

// Each byte of `shown` as in `before` or as in `after`: a step that may stop
// part done stopped somewhere.
inline bool eachByteFrom(const Content& shown, const Content& before, const Content& after) {
    if (shown.size() != before.size() || shown.size() != after.size()) return false;
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] != before[i] && shown[i] != after[i]) return false;
    return true;
}

// What a new program shows over a copy of the files of a run in `dir`.
inline Content contentOf(const std::map<std::string, std::vector<std::uint8_t>>& files, const std::string& dir) {
    MemoryFileIo io;
    io.timeFromContent = true;
    io.files = files;
    Program p(io, dir);
    EXPECT_EQ(p.open(), 0);
    return shownContent(p);
}

// Every content a new program over a copy of `files` shows while it repeats
// `single` until the undo position stays.
inline std::vector<Content> contentsAlong(const std::map<std::string, std::vector<std::uint8_t>>& files,
                                          const std::string& dir, std::uint32_t undoOptions,
                                          void (*single)(AppState&)) {
    MemoryFileIo io;
    io.timeFromContent = true;
    io.files = files;
    Program p(io, dir, undoOptions);
    EXPECT_EQ(p.open(), 0);
    std::vector<Content> seen{shownContent(p)};
    for (int k = 0; k < 200; ++k) {
        const FilePos undo = p.app.journal.header.undo;
        p.run(single);
        if (p.app.journal.header.undo == undo) break;
        seen.push_back(shownContent(p));
    }
    return seen;
}

}  // namespace quorby::testing
