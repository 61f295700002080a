// Find and Replace as Qt shows it (offscreen), wired to the program's logic:
// Ctrl+Shift+H reaches the command, the dialog has its replace controls,
// what the user types and presses replaces bytes of the file's content, the
// outcome is shown in the dialog, and choosing hex turns the dialog to it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/window_events.h"
#include "core/command_codes.h"
#include "document/page_assembly.h"
#include "filemenu/open_close.h"
#include "find/find_dialog.h"
#include "platform/posix/posix_file_io.h"
#include "platform/qt/key_mapping.h"
#include "platform/qt/modeless_dialog.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/window_input.h"
#include "resources/menus.h"
#include "state/settings_file.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/temp_dir.h"
#include "view/view_font.h"

namespace quorby {
namespace {

template <typename Widget>
Widget* control(ModelessDialog* dialog, int id) {
    return dialog ? qobject_cast<Widget*>(dialog->controlWidget(id)) : nullptr;
}

TEST(ReplaceWindow, CtrlShiftHOpensItAndItsButtonsReplaceInTheContent) {
    test::ensureQtApplication();
    // The key reaches the command through the accelerator table.
    const MappedKey key = mapQtKey(Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(acceleratorCode(key.key, key.modifiers), int(kCmdFindReplace));
    EXPECT_EQ(acceleratorCode(Key('H'), kCtrl), int(kCmdFindHexKey)) << "Ctrl+H stays Find Hex";

    testing::TempDir dir;
    std::string content(4096, '.');
    for (std::size_t at : {5u, 600u, 1020u}) content.replace(at, 3, "abc");
    testing::writeFile(dir.file("a.bin"), content);
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
    ASSERT_EQ(createViewFont(app, 8, 16), 0);
    // A box that comes is closed and counted.
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

    input.keyDown(key.key, key.modifiers);
    ModelessDialog* dialog = platform.modelessDialog(ModelessWindow::Find);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "Find and Replace");
    auto* what = control<QLineEdit>(dialog, kFindWhatEdit);
    auto* with = control<QLineEdit>(dialog, kReplaceWithEdit);
    auto* replaceAll = control<QPushButton>(dialog, kReplaceAllButton);
    ASSERT_TRUE(what && with && replaceAll);
    for (int id : {kFindNextButton, kReplaceButton, kReplaceAllButton, kFindCancelButton})
        EXPECT_TRUE(control<QPushButton>(dialog, id) && control<QPushButton>(dialog, id)->isVisible()) << id;
    EXPECT_EQ(control<QPushButton>(dialog, kFindCancelButton)->text(), "Close");
    EXPECT_TRUE(control<QCheckBox>(dialog, kFindMatchCase)->isVisible());
    EXPECT_FALSE(control<QCheckBox>(dialog, kFindFromCursor)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, kReplaceText)->isChecked());
    EXPECT_FALSE(control<QLabel>(dialog, kReplaceOutcome)->isVisible());

    // Replace All with the typed texts: every match, one after the other.
    what->setText("ABC");
    with->setText("xyz");
    replaceAll->click();
    EXPECT_EQ(app.search.replaceResult, ReplaceResult::Done);
    EXPECT_EQ(app.search.replacedCount, 3u);
    auto* outcome = control<QLabel>(dialog, kReplaceOutcome);
    ASSERT_NE(outcome, nullptr);
    EXPECT_TRUE(outcome->isVisible());
    EXPECT_EQ(outcome->text(), "3 replaced");
    ASSERT_EQ(loadPagePair(app, 0), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(app.view.pageBuffer) + 5, 3), "xyz");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(app.view.pageBuffer) + 1020, 3), "xyz");
    EXPECT_TRUE(modalBoxes.empty()) << modalBoxes.front();

    // A replacement of another length: a message, nothing replaced.
    with->setText("xy");
    replaceAll->click();
    QApplication::processEvents();
    EXPECT_EQ(app.search.replaceResult, ReplaceResult::Refused);
    EXPECT_EQ(outcome->text(), "nothing replaced");
    ASSERT_EQ(modalBoxes.size(), 1u);
    EXPECT_EQ(modalBoxes[0], "Find and Replace");

    // Hex chosen: the dialog shows the hex mode ("Match case" hidden) and
    // keeps what was typed; hex digits are replaced as hex digits.
    control<QRadioButton>(dialog, kReplaceHex)->click();
    QApplication::processEvents();
    dialog = platform.modelessDialog(ModelessWindow::Find);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(control<QRadioButton>(dialog, kReplaceHex)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(dialog, kFindMatchCase)->isVisible());
    EXPECT_EQ(control<QLineEdit>(dialog, kFindWhatEdit)->text(), "ABC");
    control<QLineEdit>(dialog, kFindWhatEdit)->setText("78 79 7A");
    control<QLineEdit>(dialog, kReplaceWithEdit)->setText("41,42,43");
    control<QPushButton>(dialog, kReplaceAllButton)->click();
    EXPECT_EQ(app.search.replacedCount, 3u);
    ASSERT_EQ(loadPagePair(app, 0), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(app.view.pageBuffer) + 600, 3), "ABC");

    // Close ends the dialog.
    control<QPushButton>(dialog, kFindCancelButton)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(platform.modelessOpen(ModelessWindow::Find));
    guard.stop();
}

}  // namespace
}  // namespace quorby
