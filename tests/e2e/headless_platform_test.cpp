// The headless platform: the cell grid, the transcript lines of message boxes,
// queued answers for questions, files and dialogs, and pending input.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "core/command_codes.h"
#include "e2e_support.h"
#include "platform/headless/dialog_filler.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/transcript_format.h"
#include "resources/dialog_controls.h"

namespace quorby {
namespace {

using Transcript = e2e::MemoryTranscript;

ScriptAnswer answer(AnswerWord w, bool dontAsk = false) { return ScriptAnswer{w, dontAsk}; }

TEST(TranscriptFormat, RowsColoursAndTexts) {
    char cells[kGridColumns];
    for (int i = 0; i < kGridColumns; ++i) cells[i] = char('A' + i % 26);
    cells[0] = '\x00';
    cells[1] = '\xE4';
    cells[2] = '\x7F';
    std::string row = formatGridRow(7, cells);
    EXPECT_EQ(row.size(), 92u);
    EXPECT_EQ(row.substr(0, 7), "07|...D");
    EXPECT_EQ(row.back(), '|');
    EXPECT_EQ(formatCellCodes(cells).substr(0, 12), "00 E4 7F 44 ");

    Colour colours[kGridColumns];
    for (int i = 0; i < kGridColumns; ++i) colours[i] = i <= 20 ? 0xDDDDDD : i <= 70 ? 0xEEFFEE : 0xFFFFFF;
    EXPECT_EQ(formatColourRuns(colours), "0-20 DDDDDD,21-70 EEFFEE,71-87 FFFFFF");
    colours[87] = 0x88EEFF;
    EXPECT_EQ(formatColourRuns(colours), "0-20 DDDDDD,21-70 EEFFEE,71-86 FFFFFF,87-87 88EEFF");
    for (Colour& c : colours) c = 0x00ABCD;
    EXPECT_EQ(formatColourRuns(colours), "0-87 00ABCD");

    EXPECT_EQ(escapeTranscriptText("a\nb\\c\x01\t\xFC"), "a\\nb\\\\c\\x01\\t\xFC");
}

TEST(HeadlessPlatform, GridKeepsCellsInsideTheWindow) {
    HeadlessPlatform p(nullptr);
    p.drawCells(85, 3, "ABCDE", 5, 0x112233);
    p.drawCells(-2, 4, "xyz", 3, 0x445566);
    p.drawCells(0, 34, "Q", 1, 0);
    p.drawCells(0, -1, "Q", 1, 0);
    EXPECT_EQ(std::string(p.rowCells(3) + 84, 4), " ABC");
    EXPECT_EQ(p.rowColours(3)[87], 0x112233u);
    EXPECT_EQ(p.rowColours(3)[84], 0xFFFFFFu);
    EXPECT_EQ(p.rowCells(4)[0], 'z');
    EXPECT_EQ(p.rowColours(4)[0], 0x445566u);
    EXPECT_EQ(p.rowCells(4)[1], ' ');

    int w = 0, h = 0;
    EXPECT_EQ(p.createFont(9, 17, &w, &h), 0);
    EXPECT_EQ(w, 9);
    EXPECT_EQ(h, 17);
    EXPECT_EQ(p.createFont(0, 17, &w, &h), 1);
    p.fitWindowToGrid(9, 17);
    EXPECT_EQ(p.windowWidth(), 9 * 88);
    EXPECT_EQ(p.windowHeight(), 17 * 34);
}

TEST(HeadlessPlatform, MessageBoxesTakeQueuedAnswersOrTheirDefault) {
    Transcript t;
    HeadlessPlatform p(t.file());
    MessageBoxDescription box;
    box.caption = "Overwrite File?";
    box.text = "line one\nline two";
    box.buttons = MsgButtons::YesNo;
    box.icon = MsgIcon::Question;
    box.secondIsDefault = true;
    EXPECT_EQ(p.messageBox(box), MsgAnswer::No);
    p.queueAnswer(answer(AnswerWord::Yes));
    EXPECT_EQ(p.messageBox(box), MsgAnswer::Yes);
    std::string error;
    EXPECT_FALSE(p.takeScriptError(&error));

    // An answer that is not one of the buttons: the default, and a script error.
    p.queueAnswer(answer(AnswerWord::Ok));
    EXPECT_EQ(p.messageBox(box), MsgAnswer::No);
    EXPECT_TRUE(p.takeScriptError(&error));
    EXPECT_NE(error.find("Overwrite File?"), std::string::npos);
    EXPECT_FALSE(p.takeScriptError(&error));

    MessageBoxDescription okOnly;
    okOnly.caption = "Blocked !";
    okOnly.text = "Error reading /x";
    p.queueAnswer(answer(AnswerWord::Cancel));
    EXPECT_EQ(p.messageBox(okOnly), MsgAnswer::Ok);
    EXPECT_TRUE(p.takeScriptError(&error));

    std::string text = t.text();
    EXPECT_NE(text.find("MESSAGE Overwrite File? | line one\\nline two | yes/[no] question -> no (default)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("| yes/[no] question -> yes\n"), std::string::npos) << text;
    EXPECT_NE(text.find("-> no (default; queued answer ok does not fit)"), std::string::npos) << text;
    EXPECT_NE(text.find("MESSAGE Blocked ! | Error reading /x | [ok] -> ok (default; queued answer cancel"),
              std::string::npos)
        << text;
}

TEST(HeadlessPlatform, QuestionDialogBitsAndSafeDefault) {
    Transcript t;
    HeadlessPlatform p(t.file());
    EXPECT_EQ(p.questionDialog("Write File?", "Changes have been made!"), 0);
    p.queueAnswer(answer(AnswerWord::No, true));
    EXPECT_EQ(p.questionDialog("Write File?", "x"), kAnswerDontAsk);
    p.queueAnswer(answer(AnswerWord::Yes, true));
    EXPECT_EQ(p.questionDialog("Write File?", "x"), kAnswerYes | kAnswerDontAsk);
    p.queueAnswer(answer(AnswerWord::Yes));
    EXPECT_EQ(p.questionDialog("Write File?", "x"), kAnswerYes);
    std::string text = t.text();
    EXPECT_NE(text.find("MESSAGE Write File? | Changes have been made! | yes/[no] +dontask -> no (default)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("-> no+dontask\n"), std::string::npos);
    EXPECT_NE(text.find("-> yes+dontask\n"), std::string::npos);
}

TEST(HeadlessPlatform, FileDialogsInQueueOrder) {
    Transcript t;
    HeadlessPlatform p(t.file());
    FileDialogRequest request;
    request.title = "Open File";
    request.showReadOnlyBox = true;
    EXPECT_FALSE(p.fileDialog(request).accepted);  // nothing queued: cancelled

    p.queueFileAnswer({false, "/second", true});
    p.queueFileAnswer({false, "/first", false}, true);
    p.queueFileAnswer({true, "", false});
    FileDialogResult r = p.fileDialog(request);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.path, "/first");
    EXPECT_FALSE(r.readOnly);
    r = p.fileDialog(request);
    EXPECT_EQ(r.path, "/second");
    EXPECT_TRUE(r.readOnly);
    EXPECT_FALSE(p.fileDialog(request).accepted);

    // A save dialog has no read-only box: the request for it is dropped.
    FileDialogRequest save;
    save.save = true;
    save.title = "Save File as";
    p.queueFileAnswer({false, "/out", true});
    r = p.fileDialog(save);
    EXPECT_TRUE(r.accepted);
    EXPECT_FALSE(r.readOnly);

    std::string text = t.text();
    EXPECT_NE(text.find("FILE open \"Open File\" -> cancel (no answer queued)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("FILE open \"Open File\" -> /second (readonly)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("FILE open \"Open File\" -> cancel\n"), std::string::npos) << text;
    EXPECT_NE(text.find("FILE save \"Save File as\" -> /out\n"), std::string::npos) << text;
}

void addControl(DialogDescription& d, int id, ControlKind kind, const std::string& text, int group = 0,
                bool enabled = true) {
    DialogControl c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.group = group;
    c.enabled = enabled;
    d.controls.push_back(c);
}

DialogDescription gotoLikeDialog() {
    DialogDescription d;
    d.title = "Goto";
    addControl(d, 10, ControlKind::Label, "&Address:");
    addControl(d, 11, ControlKind::Edit, "");
    addControl(d, 12, ControlKind::Label, "Distance");
    addControl(d, 13, ControlKind::Edit, "");
    addControl(d, 20, ControlKind::Radio, "&hex", 1);
    addControl(d, 21, ControlKind::Radio, "&decimal", 1);
    addControl(d, 30, ControlKind::CheckBox, "relative");
    addControl(d, 31, ControlKind::CheckBox, "locked", 0, false);
    addControl(d, 40, ControlKind::Button, "next  >>");
    addControl(d, 1, ControlKind::Button, "OK");
    addControl(d, 2, ControlKind::Button, "Cancel");
    d.controls[4].checked = true;
    return d;
}

TEST(DialogFiller, FillsByLabelOrNumberAndRefusesWhatDoesNotFit) {
    DialogDescription d = gotoLikeDialog();
    DialogAnswer a;
    a.actions = {{DialogAction::Kind::Set, "address", "1F00", true},
                 {DialogAction::Kind::Set, "13", "16", true},
                 {DialogAction::Kind::Choose, "Decimal", "", true},
                 {DialogAction::Kind::Check, "relative", "", true}};
    a.press = "next >>";  // blanks count: no such button
    int closing = 0;
    std::string error;
    EXPECT_EQ(applyDialogAnswer(d, a, &closing, &error), 1);
    EXPECT_EQ(d.find(11)->value, "");  // a refused answer changes nothing

    a.press = "next  >>";
    ASSERT_EQ(applyDialogAnswer(d, a, &closing, &error), 0) << error;
    EXPECT_EQ(closing, 40);
    EXPECT_EQ(d.find(11)->value, "1F00");
    EXPECT_EQ(d.find(13)->value, "16");
    EXPECT_FALSE(d.find(20)->checked);
    EXPECT_TRUE(d.find(21)->checked);
    EXPECT_TRUE(d.find(30)->checked);

    DialogAnswer disabled;
    disabled.actions = {{DialogAction::Kind::Check, "locked", "", true}};
    disabled.press = "OK";
    EXPECT_EQ(applyDialogAnswer(d, disabled, &closing, &error), 1);
    EXPECT_NE(error.find("disabled"), std::string::npos);

    DialogAnswer wrongKind;
    wrongKind.actions = {{DialogAction::Kind::Set, "relative", "x", true}};
    wrongKind.press = "1";
    EXPECT_EQ(applyDialogAnswer(d, wrongKind, &closing, &error), 1);

    // OK and Cancel work by name or number even without a button control.
    DialogDescription bare;
    bare.okId = 1;
    bare.cancelId = 2;
    DialogAnswer ok;
    ok.press = "ok";
    ASSERT_EQ(applyDialogAnswer(bare, ok, &closing, &error), 0);
    EXPECT_EQ(closing, 1);
    DialogAnswer cancel;
    cancel.cancel = true;
    ASSERT_EQ(applyDialogAnswer(bare, cancel, &closing, &error), 0);
    EXPECT_EQ(closing, 2);
}

TEST(DialogFiller, DriveChoiceByDevicePath) {
    DialogDescription d;
    d.okId = kDriveDialogOk;
    d.cancelId = kDriveDialogCancel;
    auto add = [&](int id, ControlKind kind, const std::string& text, bool enabled = true) {
        addControl(d, id, kind, text, kind == ControlKind::Radio ? 1 : 0, enabled);
    };
    add(kDriveLogicalFirst, ControlKind::Radio, "&A:");
    add(kDriveLogicalInfoFirst, ControlKind::Label, "/dev/loop10   8.0 MiB");
    add(kDriveLogicalFirst + 1, ControlKind::Radio, "&B:");
    add(kDriveLogicalInfoFirst + 1, ControlKind::Label, "/dev/loop1   1.0 MiB");
    add(kDrivePhysicalFirst, ControlKind::Radio, "&1");
    add(kDrivePhysicalInfoFirst, ControlKind::Label, "/dev/sda   1.0 TiB");
    add(kDrivePhysicalFirst + 1, ControlKind::Radio, "&2", false);
    add(kDrivePhysicalInfoFirst + 1, ControlKind::Label, "", false);
    add(kDriveWriteProtected, ControlKind::CheckBox, "Open &write protected");
    d.controls.back().checked = true;

    DialogAnswer a;
    a.driveDevice = "/dev/loop1";
    a.driveReadOnly = false;
    int closing = 0;
    std::string error;
    ASSERT_EQ(applyDialogAnswer(d, a, &closing, &error), 0) << error;
    EXPECT_EQ(closing, kDriveDialogOk);
    EXPECT_FALSE(d.find(kDriveLogicalFirst)->checked);
    EXPECT_TRUE(d.find(kDriveLogicalFirst + 1)->checked);
    EXPECT_FALSE(d.find(kDriveWriteProtected)->checked);

    a.driveDevice = "/dev/sda";
    a.driveReadOnly = true;
    ASSERT_EQ(applyDialogAnswer(d, a, &closing, &error), 0) << error;
    EXPECT_TRUE(d.find(kDrivePhysicalFirst)->checked);
    EXPECT_FALSE(d.find(kDriveLogicalFirst + 1)->checked);
    EXPECT_TRUE(d.find(kDriveWriteProtected)->checked);

    a.driveDevice = "/dev/sdb";
    EXPECT_EQ(applyDialogAnswer(d, a, &closing, &error), 1);
    EXPECT_NE(error.find("/dev/sdb"), std::string::npos);
}

TEST(HeadlessPlatform, DialogsWithoutAnswerAreCancelledAndListed) {
    Transcript t;
    HeadlessPlatform p(t.file());
    DialogDescription d = gotoLikeDialog();
    EXPECT_EQ(p.runDialog(d), 2);
    DialogAnswer bad;
    bad.actions = {{DialogAction::Kind::Set, "Nowhere", "1", true}};
    bad.press = "OK";
    p.queueDialogAnswer(bad);
    EXPECT_EQ(p.runDialog(d), 2);
    std::string error;
    EXPECT_TRUE(p.takeScriptError(&error));
    EXPECT_NE(error.find("Nowhere"), std::string::npos);
    std::string text = t.text();
    EXPECT_NE(text.find("DIALOG \"Goto\"\n  [10] label \"&Address:\"\n  [11] edit \"\" = \"\"\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("  [20] radio \"&hex\" on\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  [31] check \"locked\" off disabled\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DIALOG \"Goto\" -> cancel (no answer queued)\n"), std::string::npos) << text;
}

TEST(HeadlessPlatform, PendingInputOneEventPerPoll) {
    HeadlessPlatform p(nullptr);
    std::vector<std::string> seen;
    p.setInputDispatcher([&](const InputEvent& e) {
        switch (e.kind) {
            case InputEvent::Kind::KeyDown:
                seen.push_back("down");
                return e.key == Key::F9;  // F9 is an accelerator
            case InputEvent::Kind::KeyUp: seen.push_back("up"); break;
            case InputEvent::Kind::Char: seen.push_back("char" + std::to_string(e.character)); break;
            case InputEvent::Kind::Command: seen.push_back("cmd" + std::to_string(e.code)); break;
            case InputEvent::Kind::Wait: seen.push_back("wait"); break;
            case InputEvent::Kind::Window: seen.push_back("window"); break;
        }
        return true;
    });
    EXPECT_FALSE(p.pollPendingInput());  // nothing queued

    InputEvent wait;
    wait.kind = InputEvent::Kind::Wait;
    wait.count = 2;
    InputEvent escDown;
    escDown.kind = InputEvent::Kind::KeyDown;
    escDown.key = Key::Escape;
    InputEvent escUp = escDown;
    escUp.kind = InputEvent::Kind::KeyUp;
    InputEvent f9 = escDown;
    f9.key = Key::F9;
    p.queuePendingInput(wait);
    p.queuePendingInput(escDown);
    p.queuePendingInput(escUp);
    p.queuePendingInput(f9);

    std::vector<bool> results;
    for (int i = 0; i < 7; ++i) results.push_back(p.pollPendingInput());
    // two idle polls, key down, the typed ESC (the only true), key up, F9 (no
    // typed character after an accelerator), then nothing.
    EXPECT_EQ(results, (std::vector<bool>{false, false, false, true, false, false, false}));
    EXPECT_EQ(seen, (std::vector<std::string>{"down", "char27", "up", "down"}));
    EXPECT_EQ(p.pendingInputCount(), 0u);
}

TEST(HeadlessPlatform, PopupChoiceArrivesAsPostedCommand) {
    Transcript t;
    HeadlessPlatform p(t.file());
    p.popupMenu(1, 30, 5);  // nothing queued
    p.queuePopupAnswer({false, kCmdCopy});
    p.queuePopupAnswer({true, 0});
    p.popupMenu(1, 30, 5);
    p.popupMenu(1, 30, 6);
    int code = 0;
    ASSERT_TRUE(p.takePostedCommand(&code));
    EXPECT_EQ(code, kCmdCopy);
    EXPECT_FALSE(p.takePostedCommand(&code));
    std::string text = t.text();
    EXPECT_NE(text.find("POPUP menu 1 at 30,5 -> cancel (no answer queued)\nPOPUP menu 1 at 30,5 -> 32912\n"
                        "POPUP menu 1 at 30,6 -> cancel\n"),
              std::string::npos)
        << text;
}


TEST(HeadlessPlatform, TimeLimitTypesEscapeAndFailsTheScript) {
    Transcript t;
    HeadlessPlatform p(t.file());
    std::vector<int> typed;
    p.setInputDispatcher([&](const InputEvent& e) {
        if (e.kind == InputEvent::Kind::Char) typed.push_back(e.character);
        return e.kind != InputEvent::Kind::KeyDown;
    });
    p.queueAnswer({AnswerWord::No, false});
    p.setTimeLimit(1);
    p.startCommandClock();
    EXPECT_FALSE(p.pollPendingInput());  // within the limit: nothing happens
    std::string error;
    EXPECT_FALSE(p.takeScriptError(&error));
    usleep(1100 * 1000);
    EXPECT_FALSE(p.pollPendingInput());  // key down
    EXPECT_TRUE(p.pollPendingInput());   // the typed ESC
    EXPECT_FALSE(p.pollPendingInput());  // key up
    EXPECT_FALSE(p.pollPendingInput());  // fires once per command
    EXPECT_EQ(typed, std::vector<int>{27});
    ASSERT_TRUE(p.takeScriptError(&error));
    EXPECT_NE(error.find("longer than 1 s"), std::string::npos);
    // The interrupt question gets Yes instead of the answer queued for something else.
    MessageBoxDescription box;
    box.buttons = MsgButtons::YesNo;
    box.secondIsDefault = true;
    EXPECT_EQ(p.messageBox(box), MsgAnswer::Yes);
    EXPECT_EQ(p.queuedAnswers(), 0u);
    EXPECT_NE(t.text().find("TIMEOUT the command ran longer than 1 s: ESC typed\n"), std::string::npos);
}

}  // namespace
}  // namespace quorby
