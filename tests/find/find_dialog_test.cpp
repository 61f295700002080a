#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/window_events.h"
#include "find/find_dialog.h"
#include "search/find_text_encoding.h"
#include "tests/find/command_fixture.h"

namespace quorby::testing {
namespace {

TEST(FindTextEncoding, DialogTextsBecomeWindows1252Bytes) {
    EXPECT_EQ(findTextBytes("abc"), "abc");
    EXPECT_EQ(findTextBytes("\xC3\xA4\xE2\x82\xAC"), "\xE4\x80") << "UTF-8 a-umlaut and euro sign";
    EXPECT_EQ(findTextBytes("x\xE4y"), "x\xE4y") << "not UTF-8: taken byte for byte";
    EXPECT_EQ(findTextBytes("\xE2\x82"), "\xE2\x82") << "a cut sequence is not UTF-8";
    EXPECT_EQ(findTextBytes("\xE4\xB8\x80"), "?") << "a character outside the code page";
    for (const std::string bytes : {"\xE4\x80 z", "\x9F\xFF", "a\x81"}) EXPECT_EQ(findTextBytes(findTextForDialog(bytes)), bytes);
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
