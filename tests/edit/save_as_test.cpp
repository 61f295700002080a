// "Save ... as": the current content (unwritten and typed changes included)
// into a new file, the target dialog and its questions, the free-space check,
// failures and ESC.
#include "tests/edit/edit_fixture.h"

#include "compare/compare_commands.h"
#include "edit/copy_with_changes.h"
#include "edit/save_as.h"
#include "journal/rollback_file.h"
#include "state/progress.h"
#include "filemenu/journal_commands.h"
#include "filemenu/open_close.h"
#include "tests/support/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

namespace quorby::testing {
namespace {

constexpr const char* kTarget = "/data/out.bin";

struct SaveFixture : EditFixture {
    explicit SaveFixture(FilePos size) : EditFixture(size) {
        io.space = {FilePos{1} << 40, FilePos{1} << 41};
        model = original;
    }
    std::vector<std::uint8_t> model;  // the content the view should show

    void change(FilePos pos, std::uint8_t value) {
        typeHex(pos, value);
        model[pos] = value;
    }
    void choose(const std::string& path) { platform.fileAnswers.push_back({true, path, false}); }
    std::vector<std::uint8_t>& target() { return io.bytes(kTarget); }
};

TEST(SaveAs, SelectionOfThreeBytesTakesStoredAndTypedChanges) {
    SaveFixture f(4096);
    f.change(1001, 0xAB);
    EXPECT_EQ(storePage(f.app), 0);  // in the Journal File, not written into the Main File
    f.change(1002, 0xCD);  // typed only
    f.app.view.selectionStart = 1000;
    f.app.view.selectionEnd = 1003;
    f.app.view.selectionActive = kSelectionExists;
    f.choose(kTarget);
    const int handlesBefore = f.io.openHandles();
    EXPECT_EQ(saveSelectionAs(f.app), 0);
    EXPECT_EQ(f.target(), (std::vector<std::uint8_t>{originalByte(1000), 0xAB, 0xCD}));
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(f.platform.fileRequests.at(0).title, "Save highlighted Data as ...");
    EXPECT_EQ(f.io.openHandles(), handlesBefore);  // the target is closed again
}

TEST(SaveAs, PageAsWritesTheShownBytesUpToTheFileEnd) {
    SaveFixture f(1500);
    f.change(1300, 0x11);  // typed, not stored
    f.change(600, 0x22);
    f.key(kCharEnter);
    f.change(610, 0x33);   // typed, not stored
    struct Case {
        FilePos pagePos;
        std::uint32_t viewOffset;
        FilePos from, to;
    };
    for (Case c : {Case{0, 48, 48, 560}, Case{1024, 0, 1024, 1500}}) {
        EXPECT_EQ(loadPagePair(f.app, c.pagePos), 0);
        f.app.view.viewOffset = c.viewOffset;
        f.choose(kTarget);
        f.platform.boxAnswers = {MsgAnswer::Yes};
        EXPECT_EQ(savePageAs(f.app), 0);
        EXPECT_EQ(f.target(), std::vector<std::uint8_t>(f.model.begin() + c.from, f.model.begin() + c.to)) << c.from;
    }
    EXPECT_EQ(f.platform.fileRequests[0].title, "Save Page as ...");
}

TEST(SaveAs, ExistingTargetIsAskedForAndEmptiedCompletely) {
    SaveFixture f(1500);
    f.change(700, 0x5A);
    f.io.bytes(kTarget) = std::vector<std::uint8_t>(5000, 0xEE);
    // No: the dialog comes again; its Cancel ends with the old file untouched.
    f.choose(kTarget);
    f.platform.boxAnswers = {MsgAnswer::No};
    EXPECT_EQ(saveFileAs(f.app), 1);
    EXPECT_EQ(f.platform.fileRequests.size(), 2u);
    EXPECT_EQ(f.target(), std::vector<std::uint8_t>(5000, 0xEE));
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    const MessageBoxDescription& box = f.platform.boxes[0];
    EXPECT_EQ(box.text, "File already exists. Shall it be deleted?");
    EXPECT_EQ(box.caption, "Overwrite File?");
    EXPECT_TRUE(box.buttons == MsgButtons::YesNo && box.icon == MsgIcon::Question && box.secondIsDefault);
    EXPECT_EQ(f.platform.fileRequests[0].title, "Save File as ...");
    EXPECT_EQ(f.platform.fileRequests[0].presetName, f.mainPath);

    // Yes: exactly the 1500 bytes of the content, nothing of the old 5000.
    f.choose(kTarget);
    f.platform.boxAnswers = {MsgAnswer::Yes};
    EXPECT_EQ(saveFileAs(f.app), 0);
    EXPECT_EQ(f.target(), f.model);
}

TEST(SaveAs, MainFileOrJournalFileAsTargetIsRefused) {
    SaveFixture f(1500);
    f.change(10, 0x01);
    f.choose(f.mainPath);
    f.choose(f.journalPath);
    EXPECT_EQ(saveFileAs(f.app), 1);  // the third dialog is cancelled
    EXPECT_EQ(f.platform.fileRequests.size(), 3u);
    EXPECT_EQ(f.mainBytes(), f.original);
    EXPECT_EQ(f.dumpStatus(), kDumpAllHold);
    ASSERT_EQ(f.platform.boxes.size(), 2u);
    EXPECT_EQ(f.platform.boxes[1].caption, "Choose another File !");
}

// Another spelling of the Main File or the Journal File is the same file:
// a symlink, "." and "..", a hard link. Each is refused as a target, a
// Compare File or a journal copy, nothing is emptied,
// and opening the Main File under another spelling names it (and so its
// Journal File) the same.
TEST(SaveAs, OtherSpellingsOfTheOpenFilesAreRefused) {
    TempDir dir;
    const std::string main = dir.file("m.bin"), journal = dir.file("m.jnl");
    writeFile(main, std::string(1500, 'x'));
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
    ASSERT_EQ(symlink(main.c_str(), dir.file("link.bin").c_str()), 0);
    ASSERT_EQ(symlink(journal.c_str(), dir.file("link.jnl").c_str()), 0);
    ASSERT_EQ(link(main.c_str(), dir.file("hard.bin").c_str()), 0);
    TestApp t;
    t.useRealFiles();
    t.useDefaultSettings();
    t.openMain(main);
    t.openJournal(journal);
    t.show();
    t.type("12");
    EXPECT_EQ(storePage(t.app), 0);
    t.endCommand();
    const std::vector<std::string> spellings = {dir.file("link.bin"), dir.path() + "/./m.bin",
                                                dir.file("sub/../m.bin"), dir.file("hard.bin"),
                                                dir.file("link.jnl"), dir.path() + "/sub/../m.jnl"};
    for (const std::string& name : spellings) t.platform.fileAnswers.push_back({true, name, false});
    EXPECT_EQ(saveFileAs(t.app), 1);  // the last dialog is cancelled
    EXPECT_EQ(t.platform.fileRequests.size(), spellings.size() + 1);
    EXPECT_EQ(readFile(main), std::string(1500, 'x'));
    EXPECT_GT(readFile(journal).size(), 1024u);

    // Neither is it a Compare File nor a place for "Save Journal-File as".
    const std::vector<std::string> mainSpellings(spellings.begin(), spellings.begin() + 4);
    for (const std::string& name : mainSpellings) {
        t.platform.fileAnswers.push_back({true, name, false});
        EXPECT_EQ(compareWithFile(t.app), 1) << name;
        EXPECT_EQ(t.app.compare.handle, kNoFile) << name;
        t.platform.fileAnswers.push_back({true, name, false});
        EXPECT_EQ(saveJournalAs(t.app), 1) << name;
    }
    EXPECT_EQ(readFile(main), std::string(1500, 'x'));
    t.closeFiles();

    TestApp other;
    other.useRealFiles();
    other.useDefaultSettings();
    ASSERT_EQ(openMainFile(other.app, dir.file("sub/../link.bin")), 0);
    EXPECT_EQ(other.app.main.mainName, main);
    other.closeFiles();
}

// Blocks of 256 KiB meet journal changes at their edges, in the middle, in
// the short last page and in pages of more than one version.
TEST(SaveAs, LargeFileEqualsTheShownContentPageByPage) {
    const FilePos size = (FilePos{1} << 20) + 777;
    SaveFixture f(size);
    for (FilePos pos = 3; pos < size; pos += 7919) f.change(pos, std::uint8_t(pos >> 3));
    for (FilePos pos : {FilePos{262143}, FilePos{262144}, FilePos{524288 - 512}, size - 1, FilePos{3}})
        f.change(pos, 0xA5);
    f.cursorTo(600000);
    const FilePos shownPage = f.app.view.pagePos;
    f.platform.logDraws = true;
    f.choose(kTarget);
    EXPECT_EQ(saveFileAs(f.app), 0);
    ASSERT_EQ(f.target(), f.model);
    bool bannerDrawn = false;
    for (const auto& d : f.platform.draws)
        bannerDrawn |= d.row == kBannerTopRow && d.text.find(kTitleSaveFileAs) != std::string::npos;
    EXPECT_TRUE(bannerDrawn);
    EXPECT_EQ(f.app.view.pagePos, shownPage);
    for (FilePos pos = 0; pos < size; pos += 1024) {
        EXPECT_EQ(loadPagePair(f.app, pos), 0);
        ASSERT_EQ(std::memcmp(f.app.view.pageBuffer, f.target().data() + pos, f.app.view.pageLength), 0) << pos;
    }
}

TEST(SaveAs, TooLittleFreeSpaceShowsTheFittingMessageAndWritesNothing) {
    struct Case {
        DiskSpace space;
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {{1500, 1500}, "Not enough Space on this Drive !",
         "There is not enough free Space on the Drive vor this Action!\nPlease choose another Drive !"},
        {{1500, 1 << 30}, "Not enough free Space !",
         "There is not enough free Space on the Drive vor this Action!\nPlease choose another Drive\n\n"
         "or delete unused Files !"},
    };
    for (const Case& c : cases) {
        SaveFixture f(1500);
        f.io.space = c.space;  // exactly as many free bytes as needed is too few
        f.io.bytes(kTarget) = {1, 2, 3};
        f.choose(kTarget);
        f.platform.boxAnswers = {MsgAnswer::Yes};
        EXPECT_EQ(saveFileAs(f.app), 1);
        ASSERT_EQ(f.platform.boxes.size(), 2u);
        EXPECT_EQ(f.platform.boxes[1].caption, c.caption);
        EXPECT_EQ(f.platform.boxes[1].text, c.text);
        EXPECT_TRUE(f.target().empty());
        EXPECT_EQ(f.io.openHandles(), 2);
    }
}

TEST(SaveAs, FailuresAreReportedAndStopTheCopy) {
    const FilePos size = FilePos{1} << 20;
    {  // every write into the target fails: one report, no second block
        SaveFixture f(size);
        f.io.failWrite[kTarget] = {112, ENOSPC};
        f.choose(kTarget);
        EXPECT_EQ(saveFileAs(f.app), 1);
        ASSERT_EQ(f.platform.boxes.size(), 1u);
        EXPECT_EQ(f.platform.boxes[0].text, "Error writing /data/out.bin");
        EXPECT_EQ(f.platform.boxes[0].caption, "Drive full !");
    }
    {  // the Journal File cannot be read: the rest could not be assembled
        SaveFixture f(size);
        f.change(700000, 0x42);
        f.cursorTo(0);
        forgetCachedUnits(f.app.journal);  // no record of it left in memory
        f.io.failRead[f.journalPath] = {30, EIO};
        f.choose(kTarget);
        EXPECT_EQ(saveFileAs(f.app), 1);
        ASSERT_FALSE(f.platform.boxes.empty());
        EXPECT_EQ(f.platform.boxes[0].text, "Error reading /data/main.bin.jnl");
        EXPECT_LT(f.target().size(), size);
    }
    {  // a bad sector in the Main File: reported, copied as zeros, the copy goes on
        SaveFixture f(size);
        f.io.failReadAt = FilePos{300000};
        f.choose(kTarget);
        EXPECT_EQ(saveFileAs(f.app), 0);
        ASSERT_EQ(f.platform.boxes.size(), 1u);
        EXPECT_EQ(f.platform.boxes[0].text.rfind("1 unreadable range of /data/main.bin written as zeros:\n0x49200+0x200", 0), 0u);
        ASSERT_EQ(f.target().size(), size);
        EXPECT_EQ(f.target()[299519], originalByte(299519));
        EXPECT_EQ(f.target()[299520], 0);
        EXPECT_EQ(f.target()[300031], 0);
        EXPECT_EQ(f.target()[300032], originalByte(300032));
        EXPECT_EQ(f.target()[524288], originalByte(524288));
    }
    {  // a Main File that refuses reads: reported, copied as zeros, the copy goes on
        SaveFixture f(size);
        f.io.ioError = {5, EACCES};
        f.io.failReadAt = FilePos{300000};
        f.choose(kTarget);
        EXPECT_EQ(saveFileAs(f.app), 0);
        ASSERT_EQ(f.platform.boxes.size(), 1u);
        EXPECT_EQ(f.platform.boxes[0].text, "Error reading /data/main.bin");
        ASSERT_EQ(f.target().size(), size);
        EXPECT_EQ(f.target()[299999], originalByte(299999));
        EXPECT_EQ(f.target()[300000], 0);
        EXPECT_EQ(f.target()[524288], originalByte(524288));
    }
}

TEST(SaveAs, EscapeAsksAndYesStopsAfterTheBlockInProgress) {
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        SaveFixture f(FilePos{1} << 20);
        f.platform.escAtPoll = {2};
        f.choose(kTarget);
        f.platform.boxAnswers = {answer};
        EXPECT_EQ(saveFileAs(f.app), answer == MsgAnswer::Yes ? 1 : 0);
        ASSERT_EQ(f.platform.boxes.size(), 1u);  // its text: ProgressTest.EscAsksAndOnlyYesStops
        const std::size_t expected = answer == MsgAnswer::Yes ? 2 * kCopyBlockSize : f.model.size();
        ASSERT_EQ(f.target().size(), expected);
        EXPECT_TRUE(std::equal(f.target().begin(), f.target().end(), f.model.begin()));
    }
}

// The window is served between blocks: a change stored there, in front of
// the record the copy would meet next, is in the copy; a second copy is refused.
TEST(SaveAs, CommandsRunDuringTheCopyAreSeenOrRefused) {
    SaveFixture f(FilePos{1} << 20);
    f.change(700000, 0x42);
    f.cursorTo(0);
    f.platform.onPoll = [&f] {
        if (f.platform.polls != 1) return;
        f.change(600000, 0x24);
        f.cursorTo(0);
        EXPECT_EQ(saveFileAs(f.app), 1);
    };
    f.choose(kTarget);
    EXPECT_EQ(saveFileAs(f.app), 0);
    EXPECT_EQ(f.platform.fileRequests.size(), 1u);
    EXPECT_EQ(f.target(), f.model);
}

}  // namespace
}  // namespace quorby::testing
