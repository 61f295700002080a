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

#include "find/search_command.h"
#include "tests/support/journal_pages.h"
#include "tests/support/test_app.h"

namespace quorby::testing {

struct CommandFixture : TestApp {
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
        createFile("/data/main.bin", content);
        TestApp::openMain("/data/main.bin");
        ASSERT_EQ(show(), 0);
    }

    void openJournal() {
        app.journal.syncOnCommit = false;
        TestApp::openJournal("/data/main.bin.jnl", OpenMode::CreateReadWrite);
    }

    void addJournalPage(FilePos mainAdr, const std::vector<std::uint8_t>& data) {
        appendChainedPage(app.journal, journalPages, mainAdr, data);
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
