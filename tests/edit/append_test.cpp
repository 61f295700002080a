// "Append ... to other File": the current content added at the end of
// another file, the remembered target, the read-only box.
#include "tests/edit/edit_fixture.h"

#include "edit/append_to_file.h"
#include "state/settings_file.h"

namespace quorby::testing {
namespace {

constexpr const char* kTarget = "/data/log.bin";

struct AppendFixture : EditFixture {
    explicit AppendFixture(FilePos size) : EditFixture(size) {
        io.space = {FilePos{1} << 40, FilePos{1} << 41};
        model = original;
        io.bytes(kTarget) = {'a', 'b', 'c'};
        expected = io.bytes(kTarget);
    }
    std::vector<std::uint8_t> model, expected;

    void change(FilePos pos, std::uint8_t value) {
        typeHex(pos, value);
        model[pos] = value;
    }
    void choose(const std::string& path, bool readOnly = false) {
        platform.fileAnswers.push_back({true, path, readOnly});
    }
    void expectAppended(FilePos from, FilePos to) {
        expected.insert(expected.end(), model.begin() + from, model.begin() + to);
        EXPECT_EQ(io.bytes(kTarget), expected);
    }
};

TEST(Append, EachCommandAddsTheCurrentContentAtTheEnd) {
    AppendFixture f(300000);
    f.change(5, 0x10);
    f.change(299999, 0x20);
    f.change(1030, 0x30);  // typed, not stored
    f.choose(kTarget);
    EXPECT_EQ(appendFile(f.app), 0);
    f.expectAppended(0, 300000);
    EXPECT_EQ(pathFieldText(f.app.settings.lastAppendTarget), kTarget);

    f.app.view.selectionStart = 1020;
    f.app.view.selectionEnd = 400000;  // beyond the file: up to its end
    f.app.view.selectionActive = kSelectionExists;
    f.choose(kTarget);
    EXPECT_EQ(appendSelection(f.app), 0);
    f.expectAppended(1020, 300000);

    EXPECT_EQ(loadPagePair(f.app, 1024), 0);
    f.app.view.viewOffset = 16;
    f.choose(kTarget);
    EXPECT_EQ(appendPage(f.app), 0);
    f.expectAppended(1040, 1552);

    ASSERT_EQ(f.platform.fileRequests.size(), 3u);
    EXPECT_EQ(f.platform.fileRequests[0].title, "Append File to ...");
    EXPECT_EQ(f.platform.fileRequests[1].title, "Append highlighted Data to ...");
    EXPECT_EQ(f.platform.fileRequests[1].presetName, kTarget);  // the last target is offered
    EXPECT_EQ(f.platform.fileRequests[2].title, "Append Page to ...");
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.mainBytes(), f.original);
}

TEST(Append, ReadOnlyBoxAsksAgainOrFailsTheWriteOfAPage) {
    AppendFixture f(2000);
    // OK shows the dialog again, Cancel ends; nothing is appended.
    f.choose(kTarget, true);
    f.choose(kTarget, true);
    f.platform.boxAnswers = {MsgAnswer::Ok, MsgAnswer::Cancel};
    EXPECT_EQ(appendFile(f.app), 1);
    EXPECT_EQ(f.platform.fileRequests.size(), 2u);
    ASSERT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.platform.boxes[0].caption, "Re-open in Read-Write-Mode ?");
    EXPECT_EQ(f.platform.boxes[0].text,
              "File has been opened in Read-Only-Mode ! Shall it be re-opened in Read-Write-Mode ?");
    EXPECT_TRUE(f.platform.boxes[0].buttons == MsgButtons::OkCancel && f.platform.boxes[0].icon == MsgIcon::Question);

    // The page is appended to a file opened read-only: the write fails.
    f.io.readOnlyHandlesRefuseWrites = true;
    f.choose(kTarget, true);
    EXPECT_EQ(appendPage(f.app), 1);
    ASSERT_EQ(f.platform.boxes.size(), 3u);
    EXPECT_EQ(f.platform.boxes[2].text, "Error writing /data/log.bin");
    EXPECT_EQ(f.io.bytes(kTarget), f.expected);
    EXPECT_EQ(f.io.openHandles(), 2);
}

}  // namespace
}  // namespace quorby::testing
