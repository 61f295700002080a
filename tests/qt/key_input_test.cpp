#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <chrono>
#include <thread>

#include "platform/qt/key_mapping.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

using test::RecordingInput;

void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {},
           bool autoRepeat = false) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text, autoRepeat);
    QCoreApplication::sendEvent(w, &down);
}

void release(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, bool autoRepeat = false) {
    QKeyEvent up(QEvent::KeyRelease, key, mods, QString(), autoRepeat);
    QCoreApplication::sendEvent(w, &up);
}

TEST(KeyMapping, QtKeysBecomeLogicKeysWithModifiers) {
    const struct {
        int qtKey;
        Qt::KeyboardModifiers qtModifiers;
        Key key;
        std::uint32_t modifiers;
    } cases[] = {
        {Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier, Key::Down, kCtrl | kAlt},
        {Qt::Key_Insert, Qt::ShiftModifier, Key::Insert, kShift},
        {Qt::Key_F12, Qt::NoModifier, Key::F12, 0},
        {Qt::Key_F2, Qt::AltModifier, Key::F2, kAlt},
        {Qt::Key_PageDown, Qt::KeypadModifier, Key::PageDown, 0},  // keypad keys count as their twins
        {Qt::Key_Enter, Qt::KeypadModifier, Key::Enter, 0},
        {Qt::Key_O, Qt::ControlModifier, Key('O'), kCtrl},
        {Qt::Key_0, Qt::ControlModifier, Key('0'), kCtrl},
        {Qt::Key_Backtab, Qt::NoModifier, Key::Tab, kShift},  // Shift+Tab arrives as Backtab
        // '?' needs Shift on most keyboards; its accelerator is Alt+? alone.
        {Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier, Key::QuestionMark, kAlt},
    };
    for (const auto& c : cases) {
        const MappedKey k = mapQtKey(c.qtKey, c.qtModifiers);
        EXPECT_EQ(k.key, c.key) << c.qtKey;
        EXPECT_EQ(k.modifiers, c.modifiers) << c.qtKey;
    }
    EXPECT_EQ(mapQtKey(Qt::Key_Shift, Qt::ShiftModifier).key, Key::None);
    EXPECT_EQ(mapQtKey(Qt::Key_VolumeUp, Qt::NoModifier).key, Key::None);
}

TEST(KeyInput, AcceleratorsGoAsKeysEverythingElseAsTypedBytes) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    GridWidget* grid = platform.window().grid();

    press(grid, Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);  // accelerator: no character
    press(grid, Qt::Key_A, Qt::NoModifier, "a");
    press(grid, Qt::Key_Adiaeresis, Qt::NoModifier, QString::fromUtf8("ä"));  // no key name
    press(grid, Qt::Key_E, Qt::AltModifier, QString::fromUtf8("€"));
    press(grid, Qt::Key_Return, Qt::NoModifier, "\r");
    press(grid, Qt::Key_Escape);                                      // without text
    press(grid, Qt::Key_Backspace, Qt::NoModifier, "\b");
    press(grid, Qt::Key_Delete, Qt::NoModifier, "\x7f");              // types nothing
    press(grid, Qt::Key_Tab, Qt::NoModifier, "\t");                   // accelerator, reaches the grid
    press(grid, Qt::Key_Space, Qt::NoModifier, " ");                  // accelerator
    press(grid, Qt::Key_B, Qt::ControlModifier, "\x02");              // no accelerator: typed code 2
    press(grid, Qt::Key_Right, Qt::NoModifier, {}, true);             // auto-repeat moves too

    auto keys = input.ofKind("keyDown");
    ASSERT_EQ(keys.size(), 11u);  // 'ä' has no key name: it is only typed
    EXPECT_EQ(keys[0].a, int(Key::Down));
    EXPECT_EQ(keys[0].b, int(kCtrl | kAlt));
    EXPECT_EQ(keys[2].a, int(Key('E')));
    EXPECT_EQ(keys[2].b, int(kAlt));
    EXPECT_EQ(keys[7].a, int(Key::Tab));
    EXPECT_EQ(keys[10].a, int(Key::Right));
    std::vector<int> typed;
    for (const auto& e : input.ofKind("char")) typed.push_back(e.a);
    EXPECT_EQ(typed, (std::vector<int>{'a', 0xE4, 0x80, 13, 27, 8, 2}));

    // Releases report every key once, auto-repeat releases none.
    release(grid, Qt::Key_F5);
    release(grid, Qt::Key_Shift, Qt::ShiftModifier);
    release(grid, Qt::Key_Right, Qt::NoModifier, true);
    auto ups = input.ofKind("keyUp");
    ASSERT_EQ(ups.size(), 2u);
    EXPECT_EQ(ups[0].a, int(Key::F5));
    EXPECT_EQ(ups[1].a, int(Key::None));
}

TEST(KeyInput, EscapeDuringALongOperationIsKeptForThePoll) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    GridWidget* grid = platform.window().grid();

    EXPECT_FALSE(platform.pollPendingInput());
    QCoreApplication::postEvent(grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    QCoreApplication::postEvent(grid, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b"));
    std::this_thread::sleep_for(std::chrono::milliseconds(80));  // until the next poll is due
    EXPECT_TRUE(platform.pollPendingInput());
    EXPECT_FALSE(platform.pollPendingInput());  // reported once
    auto typed = input.ofKind("char");
    ASSERT_EQ(typed.size(), 1u);  // the 'a' was dispatched, the ESC was not
    EXPECT_EQ(typed[0].a, 'a');

    // Outside a poll ESC is an ordinary typed character again.
    press(grid, Qt::Key_Escape, Qt::NoModifier, "\x1b");
    typed = input.ofKind("char");
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typed[1].a, 27);
}

TEST(MouseInput, ButtonsMovesAndWheelReportClientPixels) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    GridWidget* grid = platform.window().grid();
    const QPointF p(100, 50);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
        QMouseEvent e(type, p, grid->mapToGlobal(p), button, buttons, mods);
        QCoreApplication::sendEvent(grid, &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);
    QWheelEvent wheel(p, grid->mapToGlobal(p), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid, &wheel);

    const auto& ev = input.events;
    ASSERT_EQ(ev.size(), 7u);
    EXPECT_EQ(ev[0].kind, "leftDown");
    EXPECT_EQ(ev[0].a, 100);
    EXPECT_EQ(ev[0].b, 50);
    EXPECT_EQ(ev[0].c, int(kShift));
    EXPECT_EQ(ev[1].kind, "move");
    EXPECT_EQ(ev[1].c, 1);  // left button down
    EXPECT_EQ(ev[2].kind, "leftUp");
    EXPECT_EQ(ev[3].kind, "double");
    EXPECT_EQ(ev[4].kind, "rightDown");
    EXPECT_EQ(ev[5].c, 2);  // Shift held, no button
    EXPECT_EQ(ev[6].kind, "wheel");
    EXPECT_EQ(ev[6].a, -240);
    EXPECT_EQ(ev[6].b, int(kCtrl));
}

}  // namespace
}  // namespace quorby
