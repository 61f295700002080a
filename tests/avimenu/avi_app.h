#pragma once
// An application with an AVI file as its Main File (and a Journal File for
// changes laid over it), on the in-memory files.
#include <map>
#include <vector>

#include "tests/avi/avi_files.h"
#include "tests/support/journal_pages.h"
#include "tests/support/test_app.h"
#include "view/shown_range.h"

namespace quorby::test {

struct AviApp : testing::TestApp {
    std::map<FilePos, FilePos> journalPages;

    explicit AviApp(const std::vector<std::uint8_t>& bytes) {
        platform.yesNoDefault = MsgAnswer::Ok;
        useDefaultSettings();
        createFile("/data/movie.avi", bytes);
        openMain("/data/movie.avi");
        app.journal.syncOnCommit = false;
        openJournal("/data/movie.avi.jnl");
        EXPECT_EQ(show(), 0);
    }

    // A change of the page at `pagePos` as the Journal File keeps it.
    void changePage(FilePos pagePos, const std::vector<std::uint8_t>& content) {
        std::vector<std::uint8_t> page(content.begin() + pagePos,
                                       content.begin() + std::min<std::size_t>(pagePos + 512, content.size()));
        testing::appendChainedPage(app.journal, journalPages, pagePos, page);
        forgetCursorRecords(app);
        EXPECT_EQ(loadPagePair(app, app.view.pagePos), 0);
    }

    FilePos top() const { return firstShownPos(app); }
    bool selected(FilePos start, FilePos end) const {
        return (app.view.selectionActive & kSelectionExists) && app.view.selectionStart == start &&
               app.view.selectionEnd == end;
    }
};

}  // namespace quorby::test
