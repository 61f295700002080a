#pragma once
// The search engine over an in-memory Main File (and optionally a Journal
// File on the same in-memory files), and the reference it is measured
// against: every match of the pattern in the whole content, found naively.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "journal/journal_file.h"
#include "search/case_fold.h"
#include "search/search_pass.h"
#include "tests/support/journal_pages.h"
#include "tests/support/memory_file_io.h"

namespace quorby::testing {

using Bytes = std::vector<std::uint8_t>;
inline constexpr FilePos kNone = ~FilePos{0};

inline Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Every position at which `pattern` matches `content`, ascending.
inline std::vector<FilePos> allMatches(const Bytes& content, const Bytes& pattern, bool fold) {
    std::vector<FilePos> out;
    if (pattern.empty() || pattern.size() > content.size()) return out;
    for (std::size_t p = 0; p + pattern.size() <= content.size(); ++p) {
        bool same = true;
        for (std::size_t i = 0; i < pattern.size() && same; ++i) {
            same = fold ? foldByte(content[p + i]) == foldByte(pattern[i]) : content[p + i] == pattern[i];
        }
        if (same) out.push_back(p);
    }
    return out;
}

struct EngineFixture {
    MemoryFileIo io;
    std::string mainPath = "/data/main.bin";
    SearchSource source;
    SearchState state;
    Bytes block = Bytes(kSearchBlockSize);
    JournalFile journal;
    std::unique_ptr<JournalOverlayWindow> window = std::make_unique<JournalOverlayWindow>();
    std::map<FilePos, FilePos> journalPages;  // MainAdr -> record

    void setMain(const Bytes& content) {
        io.bytes(mainPath) = content;
        source.files = &io;
        source.handle = kNoFile;
        io.open(mainPath, OpenMode::ReadWrite, &source.handle);
        source.fileSize = content.size();
    }

    void begin(const Bytes& pattern, bool fold, FilePos top, bool forward) {
        state = SearchState{};
        std::memcpy(state.pattern, pattern.data(), pattern.size());
        state.patternLength = std::uint32_t(pattern.size());
        prepareStatePattern(state, fold);
        startPositionsFromTop(state, top, source.fileSize, forward);
        state.lastDirectionDown = forward;
        state.overlayJournal = source.journal != nullptr;  // entering the chain at its ends
    }

    // One search: the match's first byte, or kNone.
    FilePos next(bool forward) {
        const PassResult r = searchPasses(state, source, forward, block.data());
        return r == PassResult::Found ? state.foundPos : kNone;
    }

    // Repeats the search until nothing more is found.
    std::vector<FilePos> all(bool forward, std::size_t limit = 100000) {
        std::vector<FilePos> out;
        for (FilePos p; out.size() < limit && (p = next(forward)) != kNone;) out.push_back(p);
        return out;
    }

    // A Journal File beside the Main File; pages are added with the store's
    // own append and link operations.
    void openJournal() {
        const std::string path = mainPath + ".jnl";
        FileHandle h = kNoFile;
        io.open(path, OpenMode::CreateReadWrite, &h);
        attachJournal(journal, io, h, path);
        journal.syncOnCommit = false;
        ASSERT_EQ(recreateJournal(journal, mainPath), 0);
        source.journal = &journal;
        source.journalWindow = window.get();
    }

    FilePos addJournalPage(FilePos mainAdr, const Bytes& data, std::uint32_t flag = kFlagInEffect | kFlagUnwritten) {
        return appendChainedPage(journal, journalPages, mainAdr, data, flag);
    }
};

}  // namespace quorby::testing
