// "Check Avi-File" as the user runs it: the dialog, the report in the log
// and the report window, repairs that undo takes back, the log's rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/dispatch.h"
#include "app/window_events.h"
#include "avimenu/avi_check.h"
#include "avimenu/check_log.h"
#include "avimenu/report_window.h"
#include "core/command_codes.h"
#include "tests/avimenu/avi_app.h"

namespace quorby {
namespace {

using test::AviApp;
using test::BuiltAvi;
using test::posLine;

const std::string kBanner("\r\nQuorby LogFile \r\n\0", 20);

struct CheckApp : AviApp {
    explicit CheckApp(const std::vector<std::uint8_t>& bytes) : AviApp(bytes) {
        app.shell.programDirectory = "/home/";
    }
    void tick(int control, bool on) {
        ModelessEvent e;
        e.window = ModelessWindow::AviCheck;
        e.kind = ModelessEventKind::Toggled;
        e.controlId = control;
        e.checked = on;
        onModelessEvent(app, e);
    }
    void pressIn(ModelessWindow window, int control) {
        ModelessEvent e;
        e.window = window;
        e.kind = ModelessEventKind::Pressed;
        e.controlId = control;
        onModelessEvent(app, e);
    }
    // Opens the dialog, sets the boxes and presses OK.
    void check(bool dataIndexes, bool repair = false) {
        press(kCmdAviCheck);
        tick(kAviCheckDataIndexes, dataIndexes);
        tick(kAviCheckRepair, repair);
        pressIn(ModelessWindow::AviCheck, kAviCheckOk);
    }
    std::string log() {
        const auto& b = io.bytes("/home/quorby.log");
        return std::string(b.begin(), b.end());
    }
    std::string reportTitle() { return platform.modeless[ModelessWindow::AviReport].dialog.title; }
    std::string shown() { return platform.modeless[ModelessWindow::AviReport].listings[kAviReportText]; }
    std::string status(int control) {
        return platform.modeless[ModelessWindow::AviCheck].dialog.find(control)->text;
    }
    // The current content, as the view shows it, of [pos, pos + n).
    std::uint32_t currentWord(FilePos pos) {
        EXPECT_EQ(loadPagePair(app, pos & ~FilePos{511}), 0);
        return le32(&app.view.pageBuffer[pos - app.view.pagePos]);
    }
};

std::string structureOf(const BuiltAvi& f) { return f.expectedReport(); }

TEST(AviCheck, WholeCheckOfAWriterFile) {
    BuiltAvi f = test::muxerAvi();
    CheckApp t(f.b.bytes);
    t.check(true);
    std::string super;
    for (int s = 0; s < 2; ++s)
        for (std::size_t ix : f.ix[s]) super += posLine(ix, s == 0 ? "ix00" : "ix01");
    const std::string report = "\r\n/data/movie.avi\r\n\r\nStructure of AVI-File\r\n\r\n" + structureOf(f) + "\r\n\r\n" +
                               "Checking Superindexes (indx) and Data Indexes (ix##)\r\n\r\n" + super +
                               "      No Errors !\r\n\r\n" + "Checking AVI 1.0 - Data Index (idx1)\r\n\r\n" +
                               "      No Errors !\r\n\r\n" + "\r\nReady !\r\n";
    EXPECT_EQ(t.log(), kBanner.substr(0, 19) + report + std::string(1, '\0'));
    EXPECT_EQ(t.shown(), "Quorby LogFile \r\n" + report);
    EXPECT_EQ(t.status(kAviCheckSuperStatus), "O.K.");
    EXPECT_EQ(t.status(kAviCheckIdx1Status), "O.K.");
    EXPECT_EQ(t.platform.modeless[ModelessWindow::AviReport].dialog.title, "AVI File Check finished !");
    EXPECT_EQ(t.app.avi.facts.superIndexPos[1], f.indx[1]);

    // Without the data indexes: the heading alone and no idx1 part.
    t.pressIn(ModelessWindow::AviReport, kAviReportClear);
    EXPECT_EQ(t.log(), kBanner);
    t.check(false);
    EXPECT_NE(t.log().find("Checking Superindexes (indx)\r\n\r\n" + super + "      No Errors !\r\n"), std::string::npos);
    EXPECT_EQ(t.log().find("idx1)"), std::string::npos);
    const std::string log = t.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\0'), 1) << "one zero byte, at the end";
    EXPECT_EQ(log.back(), '\0');
}

TEST(AviCheck, RepairsAreOneChangeThatUndoTakesBack) {
    BuiltAvi f = test::muxerAvi();
    // One wrong entry in each of the two video standard indexes, on two pages.
    const std::size_t entries[2] = {f.ix[0][0] + 32 + 8, f.ix[0][1] + 32 + 16};
    ASSERT_NE(entries[0] / 512, entries[1] / 512);
    std::uint32_t right[2];
    for (int k = 0; k < 2; ++k) {
        right[k] = le32(&f.b.bytes[entries[k]]);
        f.b.set32(entries[k], right[k] + 8);
    }
    CheckApp t(f.b.bytes);
    t.platform.questionDefault = kAnswerYes;
    t.check(true, true);
    const std::string log = t.log();
    const std::size_t first = log.find("   Trying to repair    Success !\r\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("   Trying to repair    Success !\r\n", first + 1), std::string::npos);
    EXPECT_EQ(t.status(kAviCheckSuperStatus), "ERR");
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(t.currentWord(entries[k]), right[k]) << "the current content holds the repair";
        EXPECT_EQ(le32(&t.io.bytes("/data/movie.avi")[entries[k]]), right[k] + 8) << "the Main File is untouched";
    }

    t.pressIn(ModelessWindow::AviReport, kAviReportClear);
    t.check(true, true);
    EXPECT_EQ(t.status(kAviCheckSuperStatus), "O.K.");
    EXPECT_EQ(t.log().find("Wrong Data"), std::string::npos);

    t.press(kCmdUndo);
    for (int k = 0; k < 2; ++k) EXPECT_EQ(t.currentWord(entries[k]), right[k] + 8) << "one undo takes both back";
    t.check(true, false);
    EXPECT_EQ(t.status(kAviCheckSuperStatus), "ERR");
    t.press(kCmdRedo);
    for (int k = 0; k < 2; ++k) EXPECT_EQ(t.currentWord(entries[k]), right[k]) << "one redo brings both again";
}

TEST(AviCheck, QuestionsAndDontAskAgain) {
    BuiltAvi f = test::muxerAvi();
    for (int k = 0; k < 3; ++k) f.b.set32(f.idx1 + 8 + 16 * k + 8, 0x10000 + k);
    {
        CheckApp t(f.b.bytes);
        t.platform.questionDefault = kAnswerYes | kAnswerDontAsk;
        t.check(true);
        ASSERT_EQ(t.platform.questions.size(), 1u) << "asked once, then not again";
        EXPECT_EQ(t.platform.questions[0].first, "Error");
        EXPECT_EQ(t.platform.questions[0].second, "Data Identifier not found !\n\nGo on anyway ?");
        EXPECT_NE(t.log().find("There are 3 Errors !"), std::string::npos);
        EXPECT_EQ(t.status(kAviCheckIdx1Status), "ERR");
    }
    {
        CheckApp t(f.b.bytes);
        t.platform.questionDefault = 0;  // No
        t.check(true);
        EXPECT_EQ(t.platform.questions.size(), 1u);
        const std::string log = t.log();
        const std::size_t idx1Part = log.find("Checking AVI 1.0 - Data Index (idx1)");
        ASSERT_NE(idx1Part, std::string::npos);
        EXPECT_EQ(log.find("Errors !", idx1Part), std::string::npos) << "the idx1 part gave no result";
        EXPECT_EQ(t.status(kAviCheckIdx1Status), "-----");
    }
}

TEST(AviCheck, LogTailAndClicksOnReportLines) {
    BuiltAvi f = test::textbookAvi();
    CheckApp t(f.b.bytes);
    t.check(false);
    // A click on the structure line of LIST hdrl selects that chunk.
    const std::string shown = t.shown();
    const std::size_t line = shown.find(posLine(f.hdrl, "LIST hdrl"));
    ASSERT_NE(line, std::string::npos);
    jumpFromReport(t.app, line + 25);
    const FilePos hdrlEnd = f.hdrl + 8 + le32(&f.b.bytes[f.hdrl + 4]);
    EXPECT_TRUE(t.selected(f.hdrl, hdrlEnd));
    EXPECT_EQ(t.app.view.cursorPos(), f.hdrl);
    EXPECT_EQ(t.platform.modeless[ModelessWindow::AviReport].selection, std::make_pair(line + 1, std::size_t(19)));
    // A line without a position selects its characters 1 to 19 and nothing else.
    const std::size_t plain = shown.find("Structure of AVI-File");
    t.app.view.selectionActive = 0;
    jumpFromReport(t.app, plain + 3);
    EXPECT_EQ(t.app.view.selectionActive & kSelectionExists, 0u);
    EXPECT_EQ(t.platform.modeless[ModelessWindow::AviReport].selection, std::make_pair(plain + 1, std::size_t(19)));

    // A log of exactly 16384 bytes is shown whole (after its first line
    // end); one more byte shows the last 16384 from the first complete line.
    for (std::size_t size : {std::size_t(16384), std::size_t(16385)}) {
        std::string log = kBanner.substr(0, 19);
        int n = 0;
        while (log.size() < size - 1) log += "line " + std::to_string(n++) + "\r\n";
        log.resize(size - 1);
        log += '\0';
        t.io.bytes("/home/quorby.log") = std::vector<std::uint8_t>(log.begin(), log.end());
        EXPECT_EQ(showLogTail(t.app), 0);
        const std::string tail = size == 16384 ? log : log.substr(1);
        const std::string want = tail.substr(tail.find("\r\n") + 2, tail.size() - tail.find("\r\n") - 3);
        EXPECT_EQ(t.shown(), want) << size;
    }
    EXPECT_EQ(afterFirstLine("abc"), 3u);
    EXPECT_EQ(afterFirstLine("a\r\nb"), 3u);
}

}  // namespace
}  // namespace quorby

namespace quorby {
namespace {

TEST(AviCheck, EscAndTheCancelButtonStopTheRunningPart) {
    BuiltAvi f = test::muxerAvi(4);
    {
        // ESC in the first standard index ends it; the second ESC, in the
        // next one, ends the super index check.
        CheckApp t(f.b.bytes);
        int entries = 0;
        t.platform.onPoll = [&] {
            if (t.reportTitle() == "Checking Superindex ...   (Stop with ESC !)" && (++entries == 2 || entries == 4))
                t.platform.escAtPoll.insert(t.platform.polls);
        };
        t.check(true);
        const std::string log = t.log();
        EXPECT_NE(log.find(posLine(f.ix[0][1], "ix00")), std::string::npos) << "the super index check went on";
        EXPECT_NE(log.find("   Stopped by User !\r\n   Stopped by User !\r\n      No Errors !\r\n"), std::string::npos);
        EXPECT_EQ(log.find(posLine(f.ix[1][0], "ix01")), std::string::npos);
        EXPECT_EQ(t.status(kAviCheckSuperStatus), "O.K.");
        EXPECT_NE(log.find("Ready !"), std::string::npos);
    }
    {
        // The dialog's cancel button during the idx1 check stops it there.
        CheckApp t(f.b.bytes);
        t.tick(kAviCheckSuperIndex, false);
        int entries = 0;
        t.platform.onPoll = [&] {
            if (t.reportTitle() == "AVI 1.0 - Data Index (idx1) ...   (Stop with ESC !)" && ++entries == 3)
                t.pressIn(ModelessWindow::AviCheck, kAviCheckCancel);
        };
        t.check(true);
        EXPECT_NE(t.log().find("   Stopped by User !\r\n      No Errors !\r\n"), std::string::npos);
        EXPECT_TRUE(t.platform.modelessOpen(ModelessWindow::AviCheck)) << "cancel during a check does not close";
        t.platform.onPoll = nullptr;
        t.pressIn(ModelessWindow::AviCheck, kAviCheckCancel);
        EXPECT_FALSE(t.platform.modelessOpen(ModelessWindow::AviCheck));
    }
}

}  // namespace
}  // namespace quorby
