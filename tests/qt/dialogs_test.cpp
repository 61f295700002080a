#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>

#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

using test::RecordingInput;

// Runs `act` on the modal dialog as soon as it is shown.
void whenModalShown(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

void pressEscape(QWidget* w) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(w, &esc);
}

TEST(MessageBox, ButtonsIconsAndDefaultsAreThoseAsked) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);

    MessageBoxDescription question;
    question.caption = "Overwrite File?";
    question.text = "<b>/tmp/a&b.bin</b>\nexists";
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::Question;
    question.secondIsDefault = true;
    bool checked = false;
    whenModalShown([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Overwrite File?");
        EXPECT_EQ(box->text(), "<b>/tmp/a&b.bin</b>\nexists");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        checked = true;
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(platform.messageBox(question), MsgAnswer::Yes);
    EXPECT_TRUE(checked);

    MessageBoxDescription error;
    error.caption = "Blocked !";
    error.text = "Error reading /tmp/x";
    error.buttons = MsgButtons::OkCancel;
    whenModalShown([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
        pressEscape(box);
    });
    EXPECT_EQ(platform.messageBox(error), MsgAnswer::Cancel);

    MessageBoxDescription notice;
    notice.caption = "Different Drive !";
    notice.icon = MsgIcon::Information;
    whenModalShown([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        pressEscape(box);
    });
    EXPECT_EQ(platform.messageBox(notice), MsgAnswer::Ok);
}

TEST(QuestionDialog, AnswerBitsCombineYesNoAndDontAskAgain) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    struct Case { const char* button; bool dontAsk; int expected; };
    for (Case c : {Case{"yes", false, kAnswerYes}, Case{"no", true, kAnswerDontAsk},
                   Case{"yes", true, kAnswerYes | kAnswerDontAsk}, Case{"escape", false, 0}}) {
        whenModalShown([c](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), "Write File?");
            auto* box = w->findChild<QCheckBox*>("dontAskAgain");
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Don't ask again !");
            EXPECT_EQ(w->findChild<QPushButton*>("yes")->text(), "Yes");
            EXPECT_EQ(w->findChild<QPushButton*>("no")->text(), "No");
            box->setChecked(c.dontAsk);
            if (std::string(c.button) == "escape") pressEscape(w);
            else w->findChild<QPushButton*>(c.button)->click();
        });
        EXPECT_EQ(platform.questionDialog("Write File?", "Changes have been made!"), c.expected) << c.button;
    }
}

TEST(DialogRunner, ControlsAreShownAndTheirValuesComeBack) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    DialogDescription described;
    described.title = "Goto";
    described.controls = {
        {10, ControlKind::Label, "&Address:", "", false, true, 0, 0, 0},
        {11, ControlKind::Edit, "", "0000 0010", false, true, 0, 1, 0},
        {12, ControlKind::CheckBox, "&hex", "", true, true, 0, 0, 1},
        {13, ControlKind::Radio, "&Bytes", "", true, true, 1, 0, 2},
        {14, ControlKind::Radio, "&Pages", "", false, true, 1, 1, 2},
        {15, ControlKind::Edit, "", "locked", false, false, 0, 2, 0},
        {1, ControlKind::Button, "OK", "", false, true, 0, 0, 3},
        {2, ControlKind::Button, "Cancel", "", false, true, 0, 1, 3},
        {7, ControlKind::Button, "next  >>", "", false, true, 0, 2, 3},
    };
    whenModalShown([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Goto");
        EXPECT_FALSE(w->findChild<QLineEdit*>("control15")->isEnabled());
        w->findChild<QLineEdit*>("control11")->setText(QString::fromUtf8("1234 ä"));
        w->findChild<QCheckBox*>("control12")->setChecked(false);
        w->findChild<QRadioButton*>("control14")->setChecked(true);
        w->findChild<QPushButton*>("control7")->click();
    });
    EXPECT_EQ(platform.runDialog(described), 7);
    EXPECT_EQ(described.find(11)->value, "1234 \xC3\xA4");
    EXPECT_FALSE(described.find(12)->checked);
    EXPECT_FALSE(described.find(13)->checked);  // one radio of a group at a time
    EXPECT_TRUE(described.find(14)->checked);

    whenModalShown([](QWidget* w) { pressEscape(w); });
    EXPECT_EQ(platform.runDialog(described), 2);
}

TEST(Clipboard, FormatsOfOneCopyStayTogetherAndTextIsWindows1252) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    const std::string raw("\x00\x01\xE4\x80", 4);
    platform.setClipboard("application/x-quorby-rawdata", raw);
    platform.setClipboard("application/x-quorby-datasize", "4");
    platform.setClipboard("text/plain", "A\xE4\x80");
    EXPECT_TRUE(platform.clipboardHas("application/x-quorby-rawdata"));
    EXPECT_TRUE(platform.clipboardHas("application/x-quorby-datasize"));
    EXPECT_TRUE(platform.clipboardHas("text/plain"));
    EXPECT_EQ(platform.clipboardData("application/x-quorby-rawdata"), raw);
    EXPECT_EQ(platform.clipboardData("application/x-quorby-datasize"), "4");
    EXPECT_EQ(platform.clipboardData("text/plain"), "A\xE4\x80");
    // Other programs see the bytes as Windows-1252 characters.
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("A\u00E4\u20AC"));

    // The next copy replaces the whole content.
    platform.setClipboard("application/x-quorby-rawdata", "xy");
    EXPECT_EQ(platform.clipboardData("application/x-quorby-rawdata"), "xy");
    EXPECT_FALSE(platform.clipboardHas("application/x-quorby-datasize"));
    EXPECT_FALSE(platform.clipboardHas("text/plain"));

    // Text copied by another program: Windows-1252 letters such as the euro
    // sign come back as their byte, characters beyond the byte range as '?'.
    QApplication::clipboard()->setText(QString::fromUtf8("ö€中"));
    EXPECT_FALSE(platform.clipboardHas("application/x-quorby-rawdata"));
    EXPECT_EQ(platform.clipboardData("text/plain"), "\xF6\x80?");
}

}  // namespace
}  // namespace quorby
