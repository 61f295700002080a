#pragma once
// The application state around a search command: the Main File (and a
// Journal File) on the in-memory files, and a platform that keeps the cell
// grid with its colours and delivers typed ESCs or nested find requests at
// chosen polls.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "memory_files.h"
#include "search/search_command.h"
#include "store/journal_errors.h"
#include "store/page_assembly.h"
#include "view/scroll_bar.h"

namespace quorby::testing {

class GridPlatform final : public Platform {
public:
    char grid[kGridRows][kGridColumns];
    Colour colour[kGridRows][kGridColumns];
    std::vector<std::string> infoCellTexts;  // every text drawn at row 0, column 0
    std::vector<std::int32_t> thumbs;
    std::vector<MessageBoxSpec> boxes;
    std::set<int> escAtPoll;                 // 1-based poll numbers that deliver a typed ESC
    std::function<void()> onPoll;            // runs at every poll (a dispatched request)
    int polls = 0;

    GridPlatform() {
        std::memset(grid, ' ', sizeof grid);
        for (auto& r : colour) for (auto& c : r) c = 0;
    }
    std::string text(int row, int column, int count) const { return std::string(grid[row] + column, count); }

    void drawCells(int column, int row, const char* t, int count, Colour background) override {
        if (row == 0 && column == 0) infoCellTexts.emplace_back(t, count);
        for (int i = 0; i < count && column + i < kGridColumns; ++i) {
            if (row < 0 || row >= kGridRows || column + i < 0) continue;
            grid[row][column + i] = t[i];
            colour[row][column + i] = background;
        }
    }
    void setCaption(const std::string&) override {}
    void setScrollBar(std::int32_t, std::int32_t position) override { thumbs.push_back(position); }
    void setMenuItemEnabled(int, bool) override {}
    void setMenuEnabled(int, bool) override {}
    void setRecentFiles(const std::vector<std::string>&) override {}
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec& box) override {
        boxes.push_back(box);
        return MsgAnswer::Ok;
    }
    int questionDialog(const std::string&, const std::string&) override { return 0; }
    FileDialogResult fileDialog(const FileDialogRequest&) override { return {}; }
    int runDialog(DialogSpec& dialog) override { return dialog.cancelId; }
    int createFont(int w, int h, int* aw, int* ah) override {
        *aw = w;
        *ah = h;
        return 0;
    }
    void fitWindowToGrid(int, int) override {}
    bool pollPendingInput() override {
        ++polls;
        if (onPoll) onPoll();
        return escAtPoll.count(polls) != 0;
    }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return {}; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

struct CommandFixture {
    MemoryFiles io;
    GridPlatform platform;
    AppState app;
    SearchState state;
    SearchRequest request;
    std::map<FilePos, FilePos> journalPages;

    void openMain(const std::vector<std::uint8_t>& content) {
        io.bytes("/data/main.bin") = content;
        app.platform = &platform;
        app.files = &io;
        app.main.mainName = "/data/main.bin";
        app.main.mainKind = MainKind::File;
        app.main.mainHandle = io.openExisting("/data/main.bin");
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
