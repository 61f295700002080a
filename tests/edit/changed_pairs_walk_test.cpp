// Writing and dropping the highlighted changes walk the changed page pairs
// one by one. A pair that cannot be read ends the walk with a "Read
// Error !": the pairs before it are done, the pairs from it on keep their
// changes (none is skipped), and no pair is read again and again.
#include "tests/edit/edit_fixture.h"

#include <string>

#include "edit/drop_changes.h"
#include "edit/write_selection.h"

namespace quorby::testing {
namespace {

constexpr FilePos kSize = 64 * 1024;
// Three changed pairs; the second one's second page has no record, so it is
// read from the Main File, and that read fails.
constexpr FilePos kFirst = 10, kSecond = 40000, kThird = 60000;
constexpr FilePos kUnreadable = (kSecond & ~FilePos{511}) + 512 + 5;

struct WalkFixture : EditFixture {
    WalkFixture() : EditFixture(kSize) {
        app.settings.messageSwitches = 0;
        for (FilePos pos : {kFirst, kSecond, kThird}) {
            typeHex(pos, 0x5A);
            key(kCharEnter);
        }
        app.view.selectionStart = 0;
        app.view.selectionEnd = kSize;
        app.view.selectionActive = kSelectionExists;
        io.ioError = {30, EACCES};  // not a failing sector (that would be salvaged): the read fails
        io.failReadAt = kUnreadable;
        // A walk that keeps coming back to the failing pair is ended by ESC
        // after this many polls instead of running forever.
        platform.escAfterPolls = 2000;
        io.resetCounts();
    }
    int readErrors() const {
        int n = 0;
        for (const std::string& caption : platform.shown) n += caption == "Read Error !" ? 1 : 0;
        return n;
    }
};

TEST(ChangedPairsWalk, AnUnreadablePairEndsWritingAndDroppingWithOneReadError) {
    {
        SCOPED_TRACE("write the highlighted changes");
        WalkFixture f;
        EXPECT_EQ(writeSelection(f.app), 1);
        EXPECT_GE(f.readErrors(), 1);
        EXPECT_LT(f.io.readsOf(f.app.main.mainHandle), 20u);
        const std::vector<std::uint8_t> main = f.mainBytes();
        EXPECT_EQ(main[kFirst], 0x5A);
        EXPECT_EQ(main[kSecond], f.original[kSecond]);
        EXPECT_EQ(main[kThird], f.original[kThird]);
    }
    {
        SCOPED_TRACE("drop the highlighted changes");
        WalkFixture f;
        EXPECT_EQ(dropSelection(f.app), 1);
        EXPECT_GE(f.readErrors(), 1);
        EXPECT_LT(f.io.readsOf(f.app.main.mainHandle), 20u);
        f.io.failReadAt.reset();
        EXPECT_EQ(f.shown(kFirst), f.original[kFirst]);
        EXPECT_EQ(f.shown(kSecond), 0x5A);
        EXPECT_EQ(f.shown(kThird), 0x5A);
        EXPECT_EQ(f.mainBytes(), f.original);
    }
}

}  // namespace
}  // namespace quorby::testing
