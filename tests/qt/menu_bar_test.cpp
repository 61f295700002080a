#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "core/command_codes.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"
#include "resources/menus.h"

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

TEST(MenuBar, HasTheNineMenusTheOwnItemAndTheTableTexts) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    const QList<QAction*> top = platform.window().menuBar()->actions();
    ASSERT_EQ(top.size(), 10);
    const QStringList titles = {"&File", "&Edit", "&Goto", "&Search", "&Compare",
                                "&AVI", "S&pecials", "&View", "&Help", "   |||       F5 : File-Content"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(top[i]->text(), titles[i]) << i;
    EXPECT_EQ(top[9]->menu(), nullptr);  // a command of its own, not a menu

    MenuBuilder& menus = platform.window().menus();
    QMenu* file = menus.menu(kMenuFile);
    ASSERT_NE(file, nullptr);
    QAction* open = findAction(file, "&Open\tStrg-o");
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->isEnabled());
    QAction* newItem = findAction(file, "&New");
    ASSERT_NE(newItem, nullptr);
    EXPECT_FALSE(newItem->isEnabled());
    ASSERT_NE(findAction(file, "Save &File"), nullptr);
    EXPECT_TRUE(findAction(file, "Save &File")->isEnabled());
    QAction* label = findAction(file, "LAST OPENED FILES:");
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isEnabled());

    EXPECT_NE(findAction(menus.menu(kMenuEdit), "Select all\tStrg-A  /  F12"), nullptr);
    EXPECT_FALSE(findAction(menus.menu(kMenuEdit), "Paste highlighted Data")->isEnabled());
    EXPECT_NE(findAction(menus.menu(kMenuGoto), "Auto Scroll &Down\tStrg-Dn / (Leertaste)"), nullptr);
    EXPECT_FALSE(findAction(menus.menu(kMenuView), "Re&do-Preview\tALT-F4")->isEnabled());
    EXPECT_FALSE(findAction(menus.menu(kMenuSpecials), "Delete Drive physically")->isEnabled());

    // Every table item is in its menu, in table order.
    std::size_t count = 0;
    const MenuDef* defs = menuBar(&count);
    for (int m = 0; m < menus.menuCount(); ++m) {
        QStringList expected;
        for (std::size_t i = 0; i < defs[m].count; ++i) {
            const MenuItemDef& item = defs[m].items[i];
            if (item.kind == kSeparator || item.kind == kRecentFiles) continue;
            QString text = QString::fromLatin1(item.text);
            if (item.hint) text += "\t" + QString::fromLatin1(item.hint);
            expected << text;
        }
        EXPECT_EQ(menuTexts(menus.menu(m)), expected) << defs[m].title;
    }

    // The accelerator table decides about keys: no Qt shortcut anywhere.
    for (QAction* a : platform.window().findChildren<QAction*>()) EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
}

TEST(MenuBar, ItemsReportTheirCodesAndFollowTheLogicsStates) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    MenuBuilder& menus = platform.window().menus();

    findAction(menus.menu(kMenuFile), "Save &File")->trigger();
    platform.window().menuBar()->actions().back()->trigger();  // the own item
    findAction(menus.menu(kMenuView), "Actual File-Content\tF5")->trigger();
    auto commands = input.ofKind("command");
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].a, kCmdSaveFile);
    EXPECT_EQ(commands[1].a, kCmdActualContent);
    EXPECT_EQ(commands[2].a, kCmdActualContent);

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
    EXPECT_FALSE(findAction(menus.menu(kMenuView), "Actual File-Content\tF5")->isEnabled());
    platform.setMenuItemEnabled(kCmdSaveSelection, false);
    EXPECT_FALSE(findAction(menus.menu(kMenuFile), "Save selected Data")->isEnabled());
    platform.setMenuItemEnabled(kCmdSaveSelection, true);
    EXPECT_TRUE(findAction(menus.menu(kMenuFile), "Save selected Data")->isEnabled());
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
        findAction(popup, "Copy\tStrg-C")->trigger();
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

    platform.setRecentFiles({"&1     /home/u/a.bin", "&2     /tmp/b b.dat", "", "&4     /x"});
    QStringList texts = menuTexts(file);
    qsizetype label = texts.indexOf("LAST OPENED FILES:");
    ASSERT_GE(label, 0);
    ASSERT_GT(texts.size(), label + 4);
    EXPECT_EQ(texts[label + 1], "&1     /home/u/a.bin");
    EXPECT_EQ(texts[label + 2], "&2     /tmp/b b.dat");
    EXPECT_EQ(texts[label + 3], "&4     /x");
    EXPECT_EQ(texts[label + 4], "&Close File");

    // Each entry opens with the code of its place in the list (kCmdLastOpenedFile1 = newest).
    findAction(file, "&4     /x")->trigger();
    findAction(file, "&1     /home/u/a.bin")->trigger();
    auto commands = input.ofKind("command");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].a, kCmdLastOpenedFile4);
    EXPECT_EQ(commands[1].a, kCmdLastOpenedFile1);

    platform.setRecentFiles({"&1     /only"});
    texts = menuTexts(file);
    label = texts.indexOf("LAST OPENED FILES:");
    EXPECT_EQ(texts[label + 1], "&1     /only");
    EXPECT_EQ(texts[label + 2], "&Close File");
    EXPECT_FALSE(texts.contains("&4     /x"));
}

}  // namespace
}  // namespace quorby
