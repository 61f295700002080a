// Fields whose value is bytes (the "Choose Char" character, the find text) as
// the Qt dialogs show them: every byte 0..255 is shown as a character of its
// own and comes back as the same byte, untouched or typed; a field the user
// did not touch comes back byte for byte. And F3 in the find dialog, and the
// find text selected when the dialog opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <cstring>
#include <functional>
#include <vector>

#include "edit/choose_char.h"
#include "find/find_dialog.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/modeless_dialog.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

// Windows-1252 0x80..0x9F as the code page defines them; 0 for its five gaps.
constexpr char16_t kCodePageHigh[32] = {
    u'€', 0,      u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0,      u'Ž', 0,
    0,      u'‘', u'’', u'“', u'”', u'•', u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', 0,      u'ž', u'Ÿ',
};

// What a byte field shows for a byte: its Windows-1252 character; control
// codes as their control pictures, the soft hyphen as the grid's hyphen, the
// five codes without a character as the C1 control of the same number.
QChar shownCharacter(int value) {
    if (value < 0x20) return QChar(char16_t(0x2400 + value));
    if (value == 0x7F) return QChar(u'\u2421');
    if (value == 0xAD) return QChar(u'\u2010');
    if (value >= 0x80 && value < 0xA0 && kCodePageHigh[value - 0x80] != 0) return QChar(kCodePageHigh[value - 0x80]);
    return QChar(char16_t(value));
}

// Runs `act` on the dialog of the next modal run (posted before the run starts).
void onNextModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

QLineEdit* lineEdit(QWidget* dialog, int id) {
    return dialog->findChild<QLineEdit*>(QStringLiteral("control%1").arg(id));
}

std::string allBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(char(b));
    return bytes;
}

TEST(ByteFields, ChooseCharKeepsEveryByteAndTakesTypedCharacters) {
    test::ensureQtApplication();
    test::RecordingInput input;
    QtPlatform platform(&input);
    AppState app;
    app.platform = &platform;
    // OK without touching the dialog: the byte stays whatever it is.
    std::vector<int> wrong;
    for (int value = 0; value < 256; ++value) {
        app.edit.fillValue = std::uint8_t(value);
        QString shown;
        onNextModal([&](QWidget* dialog) {
            shown = lineEdit(dialog, kChooseCharChar)->text();
            dialog->findChild<QPushButton*>(QStringLiteral("control%1").arg(kChooseCharOk))->click();
        });
        ASSERT_EQ(chooseChar(app), 0);
        if (app.edit.fillValue != value || shown.size() != 1) wrong.push_back(value);
        EXPECT_EQ(shown, QString(shownCharacter(value))) << value;
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " values changed, the first " << (wrong.empty() ? -1 : wrong[0]);

    // Typed characters: the euro sign is 0x80, y-diaeresis 0xFF, the picture of TAB 0x09;
    // a character outside the code page is '?'.
    const struct { const char16_t* typed; int byte; } typedCases[] = {
        {u"€", 0x80}, {u"ÿ", 0xFF}, {u"Ì", 0xCC}, {u"\u2409", 0x09}, {u"A", 0x41}, {u"Ω", '?'}};
    for (const auto& c : typedCases) {
        app.edit.fillValue = 0x41;
        onNextModal([&](QWidget* dialog) {
            lineEdit(dialog, kChooseCharChar)->setText(QString::fromUtf16(c.typed));
            dialog->findChild<QPushButton*>(QStringLiteral("control%1").arg(kChooseCharOk))->click();
        });
        ASSERT_EQ(chooseChar(app), 0);
        EXPECT_EQ(app.edit.fillValue, c.byte) << QString::fromUtf16(c.typed).toStdString();
    }
}

TEST(ByteFields, TheFindTextAndDialogFieldsCarryAll256Bytes) {
    test::ensureQtApplication();
    SearchRequest request;
    // Every byte that a find text can hold, one dialog each, as the logic opens it.
    for (int value = 1; value < 256; ++value) {
        std::memset(request.findText, 0, sizeof request.findText);
        request.findText[0] = char(value);
        ModelessDialog dialog(nullptr, ModelessWindow::Find, findDialogDescription(request, false), nullptr, nullptr);
        EXPECT_EQ(dialog.values().find(kFindWhatEdit)->value, std::string(1, char(value))) << value;
    }

    // All 256 bytes at once, set by the logic, read back untouched, then the
    // same characters typed anew.
    ModelessDialog dialog(nullptr, ModelessWindow::Find, findDialogDescription(request, false), nullptr, nullptr);
    DialogControl field = *dialog.values().find(kFindWhatEdit);
    field.value = allBytes();
    dialog.setControl(field);
    auto* edit = qobject_cast<QLineEdit*>(dialog.controlWidget(kFindWhatEdit));
    ASSERT_NE(edit, nullptr);
    const QString shown = edit->text();
    ASSERT_EQ(shown.size(), 256);
    EXPECT_EQ(QSet<QChar>(shown.begin(), shown.end()).size(), 256) << "each byte is a character of its own";
    EXPECT_EQ(dialog.values().find(kFindWhatEdit)->value, allBytes());
    edit->clear();
    edit->insert(shown);
    EXPECT_EQ(dialog.values().find(kFindWhatEdit)->value, allBytes()) << "typed again, the same bytes";
    edit->setText(QString::fromUtf8("a€ä"));
    EXPECT_EQ(dialog.values().find(kFindWhatEdit)->value, "a\x80\xE4");

    // A modal dialog: a byte field and a text field whose value is no UTF-8
    // (a path) come back unchanged when untouched.
    test::RecordingInput input;
    QtPlatform platform(&input);
    DialogDescription described;
    described.title = "Bytes";
    DialogControl bytes = dialogControl(10, ControlKind::Edit, "", 0, 0);
    bytes.value = allBytes();
    bytes.byteText = true;
    DialogControl path = dialogControl(11, ControlKind::Edit, "", 0, 1);
    path.value = "/tmp/\xE4\x80";
    described.controls = {bytes, path, dialogControl(1, ControlKind::Button, "OK", 0, 2)};
    onNextModal([](QWidget* d) { d->findChild<QPushButton*>("control1")->click(); });
    EXPECT_EQ(platform.runDialog(described), 1);
    EXPECT_EQ(described.find(10)->value, allBytes());
    EXPECT_EQ(described.find(11)->value, "/tmp/\xE4\x80");
}

TEST(ByteFields, TheFindDialogSelectsItsTextAndPassesF3On) {
    test::ensureQtApplication();
    test::RecordingInput input;
    QtPlatform platform(&input);
    SearchRequest request;
    std::strcpy(request.findText, "old");
    platform.openModeless(ModelessWindow::Find, findDialogDescription(request, false));
    platform.focusModelessControl(ModelessWindow::Find, kFindWhatEdit, true);
    ModelessDialog* dialog = platform.modelessDialog(ModelessWindow::Find);
    ASSERT_NE(dialog, nullptr);
    QApplication::processEvents();
    auto* edit = qobject_cast<QLineEdit*>(dialog->controlWidget(kFindWhatEdit));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->selectedText(), "old");
    QKeyEvent n(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, "n");
    QApplication::sendEvent(edit, &n);
    EXPECT_EQ(edit->text(), "n") << "typing replaces the last text";

    // F3 in the field goes to the accelerators as in the main window.
    QKeyEvent f3(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier);
    QApplication::sendEvent(edit, &f3);
    const std::vector<test::InputEvent> keys = input.ofKind("keyDown");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].a, int(Key::F3));
    // A key the dialog uses itself is not passed on.
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(edit, &left);
    EXPECT_EQ(input.ofKind("keyDown").size(), 1u);

    // The greyed Find Next and its line after NOT FOUND, as the logic sets them.
    DialogDescription shown = platform.modelessValues(ModelessWindow::Find);
    DialogControl next = *shown.find(kFindNextButton);
    DialogControl hint = *shown.find(kFindEndedHint);
    EXPECT_FALSE(dialog->controlWidget(kFindEndedHint)->isVisible());
    next.enabled = false;
    hint.text = findEndedHint(false);
    hint.visible = true;
    platform.setModelessControl(ModelessWindow::Find, next);
    platform.setModelessControl(ModelessWindow::Find, hint);
    EXPECT_FALSE(dialog->controlWidget(kFindNextButton)->isEnabled());
    EXPECT_TRUE(dialog->controlWidget(kFindEndedHint)->isVisible());
    platform.closeModeless(ModelessWindow::Find);
}

}  // namespace
}  // namespace quorby
