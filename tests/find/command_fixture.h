#pragma once
// The application state around a search command: the Main File (and a
// Journal File) on the in-memory files, and a platform that keeps the cell
// grid with its colours and delivers typed ESCs or nested find requests at
// chosen polls.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "find/search_command.h"
#include "store/journal_errors.h"
#include "store/page_assembly.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"
#include "view/scroll_bar.h"

namespace quorby::testing {

struct CommandFixture {
    MemoryFileIo io;
    FakePlatform platform;
    AppState app;
    SearchState state;
    SearchRequest request;
    std::map<FilePos, FilePos> journalPages;

    CommandFixture() {
        platform.yesNoDefault = MsgAnswer::Ok;  // every box is answered OK
        platform.logDraws = true;
    }

    // Every text drawn at row 0, column 0, in order.
    std::vector<std::string> infoCellTexts() const {
        std::vector<std::string> out;
        for (const auto& d : platform.draws)
            if (d.row == 0 && d.column == 0) out.push_back(d.text);
        return out;
    }

    void openMain(const std::vector<std::uint8_t>& content) {
        io.bytes("/data/main.bin") = content;
        app.platform = &platform;
        app.files = &io;
        app.main.mainName = "/data/main.bin";
        app.main.mainKind = MainKind::File;
        app.main.mainHandle = kNoFile;
        io.open("/data/main.bin", OpenMode::ReadWrite, &app.main.mainHandle);
        app.main.fileSize = content.size();
        app.main.lastBytePos = content.empty() ? 0 : content.size() - 1;
        prepareScrollMapping(app);
        ASSERT_EQ(loadPagePair(app, 0), 0);
    }

    void openJournal() {
        FileHandle h = kNoFile;
        io.open("/data/main.bin.jnl", OpenMode::CreateReadWrite, &h);
        attachJournal(app.journal, io, h, "/data/main.bin.jnl");
        app.journal.syncOnCommit = false;
        reportJournalFailuresTo(app.journal, app);
        ASSERT_EQ(recreateJournal(app.journal, app.main.mainName), 0);
    }

    void addJournalPage(FilePos mainAdr, const std::vector<std::uint8_t>& data) {
        JournalRecord r;
        r.mainAdr = mainAdr;
        r.anz = std::uint32_t(data.size());
        r.flag = kFlagInEffect | kFlagUnwritten;
        std::memcpy(r.data, data.data(), data.size());
        auto above = journalPages.lower_bound(mainAdr);
        r.nextPtr = above == journalPages.end() ? kEmptyPtr : above->second;
        r.prevPtr = above == journalPages.begin() ? kEmptyPtr : std::prev(above)->second;
        ASSERT_EQ(appendNewPage(app.journal, r), 0);
        journalPages[mainAdr] = r.jAdr;
        forgetCursorRecords(app);
    }

    // Shows the pair at `pagePos` with the first shown byte at viewOffset.
    void showAt(FilePos pagePos, std::uint32_t viewOffset, std::uint32_t cursorOffset = 0) {
        ASSERT_EQ(loadPagePair(app, pagePos), 0);
        app.view.viewOffset = viewOffset;
        app.view.cursorOffset = cursorOffset;
    }

    void open(bool hex, const std::string& text, bool down = true) {
        request = SearchRequest{};
        std::strncpy(request.findText, text.c_str(), sizeof request.findText - 1);
        request.directionDown = down;
        openSearch(app, state, request, hex);
        request.findNext = true;
    }

    SearchResult find(FilePos* at = nullptr) { return runSearch(app, state, request, at); }

    std::string infoCell() const { return std::string(app.view.infoCell, sizeof app.view.infoCell); }
};

}  // namespace quorby::testing
