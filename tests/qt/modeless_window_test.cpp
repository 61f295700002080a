#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <vector>

#include "platform/qt/modeless_dialog.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

DialogControl makeControl(int id, ControlKind kind, const char* text, int row) {
    DialogControl c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.row = row;
    return c;
}

DialogDescription windowWithListing() {
    DialogDescription d;
    d.title = "Listing window";
    DialogControl edit = makeControl(10, ControlKind::Edit, "", 0);
    edit.value = "x";
    d.controls = {edit, makeControl(11, ControlKind::CheckBox, "Option", 1), makeControl(1, ControlKind::Button, "Go", 2),
                  makeControl(20, ControlKind::Listing, "", 3)};
    return d;
}

TEST(ModelessWindow, UserActionsBecomeEventsAndTheLogicsChangesDoNot) {
    test::ensureQtApplication();
    test::ModelessRecorder input;
    QtPlatform platform(&input);
    input.platform = &platform;
    platform.openModeless(ModelessWindow::Disassembly, windowWithListing());
    ASSERT_TRUE(platform.modelessOpen(ModelessWindow::Disassembly));
    ModelessDialog* dialog = platform.modelessDialog(ModelessWindow::Disassembly);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());

    static_cast<QPushButton*>(dialog->controlWidget(1))->click();
    ASSERT_EQ(input.events.size(), 1u);
    EXPECT_EQ(input.events[0].window, ModelessWindow::Disassembly);
    EXPECT_EQ(input.events[0].kind, ModelessEventKind::Pressed);
    EXPECT_EQ(input.events[0].controlId, 1);

    // Text set by the program sends nothing; the value is read when the logic asks.
    static_cast<QLineEdit*>(dialog->controlWidget(10))->setText("typed");
    static_cast<QCheckBox*>(dialog->controlWidget(11))->click();
    ASSERT_EQ(input.events.size(), 2u);
    EXPECT_EQ(input.events[1].kind, ModelessEventKind::Toggled);
    EXPECT_EQ(input.events[1].controlId, 11);
    EXPECT_TRUE(input.events[1].checked);
    DialogDescription values = platform.modelessValues(ModelessWindow::Disassembly);
    EXPECT_EQ(values.find(10)->value, "typed");
    EXPECT_TRUE(values.find(11)->checked);

    // The logic sets the listing (Windows-1252, CR LF) and its selection: no event.
    auto* listing = static_cast<QPlainTextEdit*>(dialog->controlWidget(20));
    platform.setListingText(ModelessWindow::Disassembly, 20, "line one\r\nl\xE4ne two\r\nthree\r\n");
    EXPECT_EQ(listing->toPlainText(), QString::fromUtf8("line one\nl\xC3\xA4ne two\nthree"));
    platform.selectListingText(ModelessWindow::Disassembly, 20, 10, 8);
    EXPECT_EQ(listing->textCursor().selectedText(), QString::fromUtf8("l\xC3\xA4ne two"));
    DialogControl hidden = values.controls[1];
    hidden.visible = false;
    platform.setModelessControl(ModelessWindow::Disassembly, hidden);
    EXPECT_TRUE(dialog->controlWidget(11)->isHidden());
    EXPECT_EQ(input.events.size(), 2u);

    // The user puts the caret on the third line, column 2: offset 20 + 2 in the logic's text.
    QTextCursor caret(listing->document()->findBlockByNumber(2));
    caret.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
    listing->setTextCursor(caret);
    ASSERT_EQ(input.events.size(), 3u);
    EXPECT_EQ(input.events[2].kind, ModelessEventKind::CaretMoved);
    EXPECT_EQ(input.events[2].controlId, 20);
    EXPECT_EQ(input.events[2].caretPosition, 22u);

    // Closing by the frame: the window is gone when the logic hears of it.
    input.events.clear();
    dialog->close();
    ASSERT_EQ(input.events.size(), 1u);
    EXPECT_EQ(input.events[0].kind, ModelessEventKind::Closed);
    EXPECT_FALSE(input.openAtLastEvent);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace quorby
