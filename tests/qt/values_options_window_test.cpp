// The value inspector and the Options dialog as Qt draws them (offscreen):
// typing and focus reach the logic, the Options dialog has its tab pages and
// group boxes and hands every change to the logic while it is open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <vector>

#include "inspect/value_inspector.h"
#include "options/options_controls.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/modeless_dialog.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

TEST(ValuesWindow, TypingAndLeavingAFieldReachTheLogic) {
    test::ensureQtApplication();
    AppState app;
    std::vector<ModelessEvent> events;
    ModelessDialog dialog(nullptr, ModelessWindow::Values, inspect::inspectorDescription(app),
                          [&](const ModelessEvent& e) { events.push_back(e); }, nullptr);
    dialog.show();
    // Focus changes need the active window, also offscreen.
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    auto* byteHex = qobject_cast<QLineEdit*>(dialog.controlWidget(inspect::kByteHex));
    auto* wordHex = qobject_cast<QLineEdit*>(dialog.controlWidget(inspect::kWordHex));
    ASSERT_TRUE(byteHex && wordHex);
    EXPECT_EQ(byteHex->text(), "00");

    dialog.focusControl(inspect::kByteHex, true);
    EXPECT_EQ(byteHex->selectedText(), "00") << "highlight selects the whole text";
    QKeyEvent f(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier, "f");
    QApplication::sendEvent(byteHex, &f);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, ModelessEventKind::Edited);
    EXPECT_EQ(events.back().controlId, int(inspect::kByteHex));
    EXPECT_EQ(dialog.values().find(inspect::kByteHex)->value, "f");

    // The logic's own setting of a field sends nothing.
    const std::size_t sent = events.size();
    DialogControl c = *dialog.values().find(inspect::kWordHex);
    c.value = "00FF";
    dialog.setControl(c);
    EXPECT_EQ(events.size(), sent);

    dialog.focusControl(inspect::kWordHex, false);
    bool left = false;
    for (std::size_t i = sent; i < events.size(); ++i)
        left |= events[i].kind == ModelessEventKind::FocusLeft && events[i].controlId == int(inspect::kByteHex);
    EXPECT_TRUE(left) << "the BYTE field reported that it lost the focus";
    EXPECT_EQ(wordHex->cursorPosition(), 4) << "without highlight the caret goes to the end";
}

class RecordingReaction final : public DialogReaction {
public:
    std::vector<int> ids;
    void react(DialogDescription& dialog, int controlId) override {
        ids.push_back(controlId);
        // As the Options dialog does: "Show NONE" rewrites the message boxes.
        if (controlId == options::kShowNone)
            for (int bit = 0; bit < 19; ++bit)
                dialog.find(options::kMessageFirst + bit)->checked = ((0x2700u >> bit) & 1) != 0;
    }
};

TEST(OptionsWindow, TabPagesGroupBoxesAndLiveReactions) {
    test::ensureQtApplication();
    SettingsRecord settings{};
    settings.messageSwitches = 0xFFFFFFFF;
    settings.resolution = 1;
    DialogDescription described = options::optionsDescription(options::makeWorkingCopy(settings, 0));
    RecordingReaction reaction;
    int tabs = 0, boxes = 0;
    bool infoAtStartAfter = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* tabWidget = dialog->findChild<QTabWidget*>();
        ASSERT_NE(tabWidget, nullptr);
        tabs = tabWidget->count();
        EXPECT_EQ(tabWidget->tabText(0), "View");
        EXPECT_EQ(tabWidget->tabText(3), "Config Types");
        boxes = int(dialog->findChildren<QGroupBox*>().size());
        dialog->findChild<QCheckBox*>(QStringLiteral("control%1").arg(options::kShowNone))->click();
        infoAtStartAfter = dialog->findChild<QCheckBox*>(QStringLiteral("control%1").arg(options::kMessageFirst))
                               ->isChecked();
        dialog->findChild<QRadioButton*>("control303")->click();
        dialog->findChild<QPushButton*>("control1")->click();
    });
    const int pressed = runReactiveDescribedDialog(nullptr, described, reaction, "");
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(tabs, 4);
    EXPECT_EQ(boxes, 11) << "Resolution, Scrolling, Double Click Action, Right Click Action, the journal "
                            "directories, Undo-Options, the five message groups";
    EXPECT_FALSE(infoAtStartAfter) << "the reaction's change is shown while the dialog is open";
    EXPECT_EQ(reaction.ids, (std::vector<int>{options::kShowNone, 303}));
    EXPECT_TRUE(described.find(303)->checked) << "the values the dialog closed with";
    EXPECT_FALSE(described.find(301)->checked);
}

}  // namespace
}  // namespace quorby
