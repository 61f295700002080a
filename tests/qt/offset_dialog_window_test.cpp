// The "Offset-Adjustment" window as Qt shows it (offscreen), wired to the
// program's logic: what the user types, presses and double-clicks moves the
// two points of a comparison, and the fields follow the points.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "app/window_events.h"
#include "compare/compare_commands.h"
#include "compare/offset_dialog.h"
#include "core/command_codes.h"
#include "platform/posix/posix_file_io.h"
#include "platform/qt/modeless_dialog.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_input.h"
#include "state/settings_file.h"
#include "filemenu/open_close.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/temp_dir.h"
#include "view/view_font.h"

namespace quorby {
namespace {

void typeInto(QLineEdit* field, const std::string& text) {
    for (char ch : text) {
        const int code = ch == ' ' ? int(Qt::Key_Space) : ch >= 'A' ? int(Qt::Key_A) + (ch - 'A') : int(Qt::Key_0) + (ch - '0');
        QKeyEvent key(QEvent::KeyPress, code, Qt::NoModifier, QString(QChar::fromLatin1(ch)));
        QApplication::sendEvent(field, &key);
    }
}

QString labelText(ModelessDialog* dialog, int id) {
    auto* label = qobject_cast<QLabel*>(dialog->controlWidget(id));
    return label ? label->text() : QStringLiteral("(no label)");
}

TEST(OffsetWindow, TypingButtonsKeysAndDoubleClicksMoveThePoints) {
    test::ensureQtApplication();
    testing::TempDir dir;
    testing::writeFile(dir.file("a.bin"), std::string(4096, 'a'));
    std::filesystem::create_directories(dir.file("j"));
    std::filesystem::create_directories(dir.file("k"));

    AppState app;
    PosixFileIo files;
    LogicInput input(app);
    QtPlatform platform(&input);
    app.platform = &platform;
    app.files = &files;
    setSettingsDefaults(app.settings, dir.file("j") + "/", dir.file("k") + "/");
    app.settings.messageSwitches = 0;
    app.main.openReadOnly = true;
    ASSERT_EQ(createViewFont(app, 8, 16), 0);
    // No question may wait for an answer here: one that comes is cancelled and counted.
    std::vector<std::string> modalBoxes;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modalBoxes.push_back(modal->windowTitle().toStdString());
            modal->close();
        }
    });
    guard.start(50);
    ASSERT_EQ(openMainFile(app, dir.file("a.bin")), 0);
    ASSERT_EQ(compareWithPosition(app), 0);

    onCommand(app, kCmdCompareSetOffset);
    ModelessDialog* dialog = platform.modelessDialog(ModelessWindow::OffsetAdjustment);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Offset-Adjustment");
    EXPECT_EQ(labelText(dialog, 1012), "1. File  /  double click");
    EXPECT_EQ(labelText(dialog, 1013), "2. File  /  F6 + double click");
    auto* first = qobject_cast<QLineEdit*>(dialog->controlWidget(kOffsetFirstEdit));
    auto* second = qobject_cast<QLineEdit*>(dialog->controlWidget(kOffsetSecondEdit));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->text(), "0000 0000 0000 0000");
    QApplication::setActiveWindow(dialog);
    QApplication::processEvents();

    // Typed digits count at once; leaving the field writes it back in groups.
    dialog->focusControl(kOffsetFirstEdit, true);
    typeInto(first, "20");
    EXPECT_EQ(app.compare.firstPoint, 0x20u);
    EXPECT_EQ(app.compare.shift, -0x20);
    EXPECT_EQ(std::string(app.view.infoCell, 21), "Offs-0000000000000020");
    dialog->focusControl(kOffsetSecondEdit, true);
    EXPECT_EQ(first->text(), "0000 0000 0000 0020");
    typeInto(second, "5 0");
    EXPECT_EQ(app.compare.shift, 0x30);

    // ">>": the zero moves to the first point, the shift stays.
    qobject_cast<QPushButton*>(dialog->controlWidget(kOffsetZeroToFirst))->click();
    EXPECT_EQ(first->text(), "0000 0000 0000 0000");
    EXPECT_EQ(second->text(), "0000 0000 0000 0030");
    EXPECT_EQ(app.compare.shift, 0x30);

    // Ctrl+Alt+Right moves the second point; the field follows.
    onKeyDown(app, Key::Right, kCtrl | kAlt);
    EXPECT_EQ(second->text(), "0000 0000 0000 0031");

    // A double click on the grid picks the Main File byte at row 2, byte 2 (0x12).
    GridWidget* grid = platform.window().grid();
    const QPointF at(28 * app.view.cellWidth + app.view.cellWidth / 2, 2 * app.view.rowHeight + app.view.rowHeight / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, grid->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, grid->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, grid->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(grid, &press);
    QApplication::sendEvent(grid, &release);
    QApplication::sendEvent(grid, &twice);
    QApplication::sendEvent(grid, &release);
    EXPECT_EQ(first->text(), "0000 0000 0000 0012");
    EXPECT_EQ(app.compare.shift, 0x31 - 0x12);

    // RESET clears its own field only; Cancel returns to the points the
    // dialog opened with and closes it.
    qobject_cast<QPushButton*>(dialog->controlWidget(kOffsetResetSecond))->click();
    EXPECT_EQ(second->text(), "0000 0000 0000 0000");
    EXPECT_EQ(first->text(), "0000 0000 0000 0012");

    // A digit typed behind the sixteen of the written-back field counts at
    // once, before the field is left: the offset shows it while typing.
    dialog->focusControl(kOffsetFirstEdit, false);
    typeInto(first, "3");
    EXPECT_EQ(app.compare.firstPoint, 0x123u);
    EXPECT_EQ(std::string(app.view.infoCell, 21), "Offs-0000000000000123");
    EXPECT_EQ(first->text(), "0000 0000 0000 00123");
    qobject_cast<QPushButton*>(dialog->controlWidget(kOffsetCancel))->click();
    EXPECT_FALSE(platform.modelessOpen(ModelessWindow::OffsetAdjustment));
    EXPECT_EQ(app.compare.firstPoint, 0u);
    EXPECT_EQ(app.compare.secondPoint, 0u);
    EXPECT_TRUE(modalBoxes.empty()) << modalBoxes.front();
    closeCompareFile(app);
    EXPECT_EQ(closeMainFile(app), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace quorby
