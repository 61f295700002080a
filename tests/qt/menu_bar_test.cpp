#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "core/command_codes.h"
#include "platform/qt/qt_platform.h"
#include "resources/menus.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

using test::RecordingInput;

QAction* findAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

QStringList menuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    return texts;
}

// The text an item of the menu table shows: its text, a tab, its hint.
QString shownText(const MenuItemDef& item) {
    QString text = QString::fromLatin1(item.text);
    if (item.hint) text += "\t" + QString::fromLatin1(item.hint);
    return text;
}

// The item of a menu of the table with the given code (or kind).
const MenuItemDef& itemOf(int menu, int code, MenuItemKind kind = kItem) {
    std::size_t count = 0;
    const MenuDef& def = menuBar(&count)[menu];
    for (std::size_t i = 0; i < def.count; ++i)
        if ((kind == kItem ? def.items[i].code == code : true) && def.items[i].kind == kind) return def.items[i];
    ADD_FAILURE() << "no such item in menu " << menu;
    return def.items[0];
}

// The menu bar shows the program's menu table: titles in order, every item in
// its menu with its enabled state, and each item reports its own code.
TEST(MenuBar, ShowsTheMenuTableAndItsItemsReportTheirCodes) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    MenuBuilder& menus = platform.window().menus();
    std::size_t count = 0;
    const MenuDef* defs = menuBar(&count);
    const QList<QAction*> top = platform.window().menuBar()->actions();
    ASSERT_EQ(std::size_t(top.size()), count);

    int menuIndex = 0;
    std::vector<int> expectedCodes;
    for (std::size_t m = 0; m < count; ++m) {
        EXPECT_EQ(top[m]->text(), QString::fromLatin1(defs[m].title)) << m;
        if (defs[m].code != 0) {  // a command of the menu bar itself
            EXPECT_EQ(top[m]->menu(), nullptr) << defs[m].title;
            EXPECT_TRUE(top[m]->isEnabled());
            top[m]->trigger();
            expectedCodes.push_back(defs[m].code);
            continue;
        }
        QMenu* menu = menus.menu(menuIndex++);
        ASSERT_NE(menu, nullptr) << defs[m].title;
        EXPECT_EQ(top[m]->menu(), menu);
        EXPECT_EQ(menu->menuAction()->isEnabled(), !defs[m].grey) << defs[m].title;
        QStringList expected;
        for (std::size_t i = 0; i < defs[m].count; ++i) {
            const MenuItemDef& item = defs[m].items[i];
            if (item.kind == kSeparator || item.kind == kRecentFiles) continue;
            expected << shownText(item);
            QAction* action = findAction(menu, shownText(item));
            ASSERT_NE(action, nullptr) << item.text;
            EXPECT_EQ(action->isEnabled(), item.kind == kItem) << item.text;
            if (item.kind == kItem) {
                action->trigger();
                expectedCodes.push_back(item.code);
            }
        }
        EXPECT_EQ(menuTexts(menu), expected) << defs[m].title;
    }
    EXPECT_EQ(menuIndex, menus.menuCount());
    std::vector<int> reported;
    for (const auto& e : input.ofKind("command")) reported.push_back(e.a);
    EXPECT_EQ(reported, expectedCodes);

    // The accelerator table decides about keys: no Qt shortcut anywhere.
    for (QAction* a : platform.window().findChildren<QAction*>()) EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
}

TEST(MenuBar, ItemsFollowTheLogicsStates) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    MenuBuilder& menus = platform.window().menus();
    auto actionOf = [&](int menu, int code) { return findAction(menus.menu(menu), shownText(itemOf(menu, code))); };
    // The AVI menu is greyed until an AVI file is recognised.
    QAction* avi = menus.menu(kMenuAvi)->menuAction();
    EXPECT_FALSE(avi->isEnabled());
    platform.setMenuEnabled(kMenuAvi, true);
    EXPECT_TRUE(avi->isEnabled());
    platform.setMenuEnabled(kMenuAvi, false);
    EXPECT_FALSE(avi->isEnabled());

    // A code shown twice (View item and own item) changes both.
    platform.setMenuItemEnabled(kCmdActualContent, false);
    EXPECT_FALSE(platform.window().menuBar()->actions().back()->isEnabled());
    EXPECT_FALSE(actionOf(kMenuView, kCmdActualContent)->isEnabled());
    platform.setMenuItemEnabled(kCmdSaveSelection, false);
    EXPECT_FALSE(actionOf(kMenuFile, kCmdSaveSelection)->isEnabled());
    platform.setMenuItemEnabled(kCmdSaveSelection, true);
    EXPECT_TRUE(actionOf(kMenuFile, kCmdSaveSelection)->isEnabled());
}

TEST(MenuBar, PopupMenuOpensAtItsCellAndReportsTheChosenItem) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    platform.window().show();
    int w = 0, h = 0;
    ASSERT_EQ(platform.createFont(8, 16, &w, &h), 0);
    platform.fitWindowToGrid(w, h);
    QPoint shownAt;
    QTimer::singleShot(50, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup, platform.window().menus().menu(kMenuEdit));
        shownAt = popup->pos();
        findAction(popup, shownText(itemOf(kMenuEdit, kCmdCopy)))->trigger();
        popup->close();
    });
    platform.popupMenu(kMenuEdit, 30, 5);
    EXPECT_EQ(shownAt, platform.window().grid()->mapToGlobal(QPoint(30 * 8, 5 * 16)));
    auto commands = input.ofKind("command");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].a, kCmdCopy);
}

TEST(MenuBar, RecentFilesFollowTheLabelAndAreReplacedAsAWhole) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    QMenu* file = platform.window().menus().menu(kMenuFile);
    const QString labelText = shownText(itemOf(kMenuFile, 0, kLabel));
    const QString closeText = shownText(itemOf(kMenuFile, kCmdCloseFile));

    platform.setRecentFiles({"&1     /home/u/a.bin", "&2     /tmp/b b.dat", "", "&4     /x"});
    QStringList texts = menuTexts(file);
    qsizetype label = texts.indexOf(labelText);
    ASSERT_GE(label, 0);
    ASSERT_GT(texts.size(), label + 4);
    EXPECT_EQ(texts[label + 1], "&1     /home/u/a.bin");
    EXPECT_EQ(texts[label + 2], "&2     /tmp/b b.dat");
    EXPECT_EQ(texts[label + 3], "&4     /x");
    EXPECT_EQ(texts[label + 4], closeText);

    // Each entry opens with the code of its place in the list (kCmdLastOpenedFile1 = newest).
    findAction(file, "&4     /x")->trigger();
    findAction(file, "&1     /home/u/a.bin")->trigger();
    auto commands = input.ofKind("command");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].a, kCmdLastOpenedFile4);
    EXPECT_EQ(commands[1].a, kCmdLastOpenedFile1);

    platform.setRecentFiles({"&1     /only"});
    texts = menuTexts(file);
    label = texts.indexOf(labelText);
    EXPECT_EQ(texts[label + 1], "&1     /only");
    EXPECT_EQ(texts[label + 2], closeText);
    EXPECT_FALSE(texts.contains("&4     /x"));
}

}  // namespace
}  // namespace quorby
