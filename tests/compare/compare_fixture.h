#pragma once
// A Main File with a Journal File and a Compare File on the in-memory files,
// the comparison set up as "To other &File" leaves it, and the content the
// user sees: the Main File with the journal's pages laid over it.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "compare/compare_commands.h"
#include "compare/find_differences.h"
#include "tests/support/journal_pages.h"
#include "tests/support/test_app.h"

namespace quorby::testing {

struct CompareFixture : TestApp {
    std::vector<std::uint8_t> mainBytes;   // the file as stored
    std::vector<std::uint8_t> current;     // what the view shows
    std::vector<std::uint8_t> otherBytes;
    std::map<FilePos, FilePos> journalPages;

    CompareFixture() {
        useDefaultSettings();
        platform.yesNoDefault = MsgAnswer::Yes;
    }

    void openFiles(const std::vector<std::uint8_t>& main, const std::vector<std::uint8_t>& other) {
        mainBytes = current = main;
        otherBytes = other;
        createFile("/data/main.bin", main);
        createFile("/data/other.bin", other);
        openMain("/data/main.bin");
        app.journal.syncOnCommit = false;
        openJournal("/data/main.bin.jnl", OpenMode::CreateReadWrite);
        ASSERT_EQ(show(), 0);
    }

    // A journal version of the page at `mainAdr` (a multiple of 512).
    void changePage(FilePos mainAdr, const std::vector<std::uint8_t>& page) {
        appendChainedPage(app.journal, journalPages, mainAdr, page);
        forgetCursorRecords(app);
        for (std::size_t i = 0; i < page.size() && mainAdr + i < current.size(); ++i) current[mainAdr + i] = page[i];
    }

    void compareWithOther() {
        platform.fileAnswers.push_back({true, "/data/other.bin", true});
        ASSERT_EQ(compareWithFile(app), 0);
    }

    void showAt(FilePos pagePos, std::uint32_t viewOffset = 0) {
        ASSERT_EQ(loadPagePair(app, pagePos), 0);
        app.view.viewOffset = viewOffset;
        app.view.cursorOffset = 0;
    }

    std::string infoCell() const { return std::string(app.view.infoCell, sizeof app.view.infoCell); }
};

}  // namespace quorby::testing
