#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/window_events.h"
#include "find/find_dialog.h"
#include "tests/find/command_fixture.h"

namespace quorby::testing {
namespace {

// The find text is bytes: what the field holds is searched as it is, and a
// reopened dialog shows the last request's bytes selected, ready to be typed over.
TEST(FindDialog, TheTextIsBytesAndNotFoundGreysFindNextUntilTheDialogIsOpenedAnew) {
    CommandFixture f;
    std::vector<std::uint8_t> content(4096, 'x');
    content[700] = 0x80;
    content[701] = 0xE4;
    content[702] = 0x01;
    f.openMain(content);
    AppState& app = f.app;
    auto shown = [&](int id) { return f.platform.modeless[ModelessWindow::Find].dialog.find(id); };

    openFindDialog(app, false);
    ASSERT_TRUE(shown(kFindWhatEdit)->byteText);
    EXPECT_EQ(f.platform.focusedControl, kFindWhatEdit);
    EXPECT_TRUE(f.platform.focusSelectsAll);
    EXPECT_FALSE(shown(kFindEndedHint)->visible);
    shown(kFindWhatEdit)->value = "\x80\xE4\x01";
    shown(kFindMatchCase)->checked = true;
    onModelessEvent(app, {ModelessWindow::Find, ModelessEventKind::Pressed, kFindNextButton});
    EXPECT_EQ(app.search.lastResult, SearchResult::Found);
    EXPECT_EQ(app.search.lastMatch, 700u);
    EXPECT_TRUE(shown(kFindNextButton)->enabled);

    shown(kFindWhatEdit)->value = "\x80\xE4\x02";
    onModelessEvent(app, {ModelessWindow::Find, ModelessEventKind::Pressed, kFindNextButton});
    EXPECT_EQ(app.search.lastResult, SearchResult::NotFound);
    EXPECT_FALSE(shown(kFindNextButton)->enabled) << "nothing runs until the dialog is opened anew";
    EXPECT_TRUE(shown(kFindEndedHint)->visible);
    EXPECT_EQ(shown(kFindEndedHint)->text, "NOT FOUND: Ctrl+F starts a new search");
    f.platform.focusedControl = 0;
    repeatSearch(app);
    EXPECT_EQ(app.search.lastResult, SearchResult::NotRun) << "F3 does nothing either";

    // Opened anew (Ctrl+F): Find Next works again, the last bytes are selected.
    openFindDialog(app, false);
    EXPECT_TRUE(shown(kFindNextButton)->enabled);
    EXPECT_FALSE(shown(kFindEndedHint)->visible);
    EXPECT_EQ(shown(kFindWhatEdit)->value, "\x80\xE4\x02");
    EXPECT_EQ(f.platform.focusedControl, kFindWhatEdit);
    EXPECT_TRUE(f.platform.focusSelectsAll);

    // The hex dialog says its own key.
    openFindDialog(app, true);
    shown(kFindWhatEdit)->value = "77";
    onModelessEvent(app, {ModelessWindow::Find, ModelessEventKind::Pressed, kFindNextButton});
    EXPECT_EQ(shown(kFindEndedHint)->text, "NOT FOUND: Ctrl+H starts a new search");
}

TEST(FindDialog, ValuesReachTheRequestAndClosingStopsTheSearch) {
    CommandFixture f;
    f.openMain(std::vector<std::uint8_t>(4096, 'x'));
    AppState& app = f.app;

    openFindDialog(app, true);
    ASSERT_TRUE(f.platform.modelessOpen(ModelessWindow::Find));
    EXPECT_EQ(f.platform.modeless[ModelessWindow::Find].dialog.title, kFindHexTitle);
    EXPECT_FALSE(f.platform.modeless[ModelessWindow::Find].dialog.find(kFindMatchCase)->visible);

    // A text longer than the dialog's capacity is cut to 249 bytes.
    f.platform.modeless[ModelessWindow::Find].dialog.find(kFindWhatEdit)->value = std::string(300, '7');
    f.platform.modeless[ModelessWindow::Find].dialog.find(kFindUp)->checked = true;
    f.platform.modeless[ModelessWindow::Find].dialog.find(kFindDown)->checked = false;
    onModelessEvent(app, {ModelessWindow::Find, ModelessEventKind::Pressed, kFindNextButton});
    EXPECT_EQ(std::strlen(app.search.request.findText), kFindTextCapacity - 1);
    EXPECT_FALSE(app.search.request.directionDown);
    EXPECT_EQ(app.search.lastResult, SearchResult::NotFound);

    // Closed by its frame: the search's open state ends; F3 opens it again in hex mode.
    onModelessEvent(app, {ModelessWindow::Find, ModelessEventKind::Closed});
    EXPECT_FALSE(f.platform.modelessOpen(ModelessWindow::Find));
    EXPECT_FALSE(app.search.state.searchMode & kSearchDialogOpen);
    EXPECT_TRUE(app.search.state.stopRequested);
    repeatSearch(app);
    ASSERT_TRUE(f.platform.modelessOpen(ModelessWindow::Find));
    EXPECT_EQ(f.platform.modeless[ModelessWindow::Find].dialog.title, kFindHexTitle);
    EXPECT_EQ(f.platform.modeless[ModelessWindow::Find].dialog.find(kFindWhatEdit)->value, std::string(249, '7'));
}

}  // namespace
}  // namespace quorby::testing
