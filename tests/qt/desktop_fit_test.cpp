// The window's fit to the desktop: every glyph whole in its cell at every
// size of the View menu, dialogs placed beside the main window, and the
// window greying the same menu items as the batch mode reports.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <set>

#include "app/startup.h"
#include "platform/headless/headless_platform.h"
#include "platform/posix/posix_file_io.h"
#include "platform/qt/cell_font.h"
#include "platform/qt/dialog_placement.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/qt_platform.h"
#include "state/app_state.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/view_menu_sizes.h"

namespace quorby {
namespace {

// Every glyph of bytes 0x21..0xFF drawn as the grid draws it, at its cell in
// the middle of a 3 x 3 block of cells: no ink may fall into the rows above
// or below, and the glyphs must not shrink to a fraction of the cell.
TEST(DesktopFit, EveryGlyphIsWholeInItsCellAtEverySizeOfTheViewMenu) {
    test::ensureQtApplication();
    const auto sizes = testing::viewMenuSizes();
    ASSERT_GT(sizes.size(), 80u);
    for (auto [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        CellFont font;
        ASSERT_EQ(makeCellFont(width, height, &font), 0);
        QImage block(3 * width, 3 * height, QImage::Format_Grayscale8);
        block.fill(255);
        QPainter painter(&block);
        painter.setFont(font.font);
        painter.setPen(Qt::black);
        for (int byte = 0x21; byte < 0x100; ++byte)
            painter.drawText(QPointF(width, height + font.baseline), QString(QChar(glyphForByte(std::uint8_t(byte)))));
        painter.end();
        int top = block.height(), bottom = -1;
        for (int y = 0; y < block.height(); ++y) {
            const uchar* line = block.constScanLine(y);
            for (int x = 0; x < block.width(); ++x)
                if (line[x] < 250) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        }
        EXPECT_GE(top, height) << "ink above the cell";
        EXPECT_LT(bottom, 2 * height) << "ink below the cell";
        EXPECT_GE(bottom - top + 1, height * 3 / 4) << "the glyphs fill most of the cell's height";
    }
}

TEST(DesktopFit, DialogsGoBesideTheMainWindowAndNeverOverTheMarkedRows) {
    const QRect screen(0, 0, 1280, 1024);
    const QRect main(100, 100, 720, 600);
    // Room on the right: right of the main window, top edges aligned.
    EXPECT_EQ(placeBeside(screen, main, QSize(300, 150), QRect()), QPoint(820, 100));
    // Too wide for the right, room below.
    EXPECT_EQ(placeBeside(screen, main, QSize(500, 200), QRect()), QPoint(100, 700));
    // Room nowhere beside it: a place on the screen that leaves the marked
    // rows (a match low in the grid) in view.
    const QRect match(100, 660, 720, 16);
    const QSize big(917, 602);
    const QPoint at = placeBeside(screen, main, big, match);
    EXPECT_FALSE(hides(QRect(at, big), match)) << at.x() << "," << at.y();
    EXPECT_TRUE(screen.contains(QRect(at, big)));
    // A match at the top: the dialog leaves that row too.
    const QRect topMatch(100, 130, 720, 16);
    const QPoint other = placeBeside(screen, main, big, topMatch);
    EXPECT_FALSE(hides(QRect(other, big), topMatch)) << other.x() << "," << other.y();
}

TEST(DesktopFit, NoDialogCoversTheMainWindowsMenuBarWhenTheScreenHasRoom) {
    const QRect screen(0, 0, 1024, 768);
    const QRect main(152, 90, 720, 588);
    const QRect menuBar(152, 90, 720, 50);
    // A tall dialog centred over the main window would reach the menu bar: it goes below it.
    const QSize options(656, 484);
    const QPoint over = placeOver(screen, main, options, menuBar);
    EXPECT_FALSE(hides(QRect(over, options), menuBar)) << over.x() << "," << over.y();
    EXPECT_TRUE(screen.contains(QRect(over, options)));
    // A small one stays centred.
    const QPoint centred = placeOver(screen, main, QSize(200, 100), menuBar);
    EXPECT_NEAR(centred.x(), 412, 1);
    EXPECT_NEAR(centred.y(), 334, 1);
    // Nowhere beside the main window: a place that leaves the menu bar in view.
    const QSize listing(552, 488);
    const QPoint beside = placeBeside(screen, main, listing, QRect(), menuBar);
    EXPECT_FALSE(hides(QRect(beside, listing), menuBar)) << beside.x() << "," << beside.y();
    EXPECT_TRUE(screen.contains(QRect(beside, listing)));
    // A place wanted off the screen is moved onto it, and off the menu bar.
    const QPoint moved = keepInside(screen, QPoint(900, 100), QSize(300, 200), menuBar);
    EXPECT_TRUE(screen.contains(QRect(moved, QSize(300, 200))));
    EXPECT_FALSE(hides(QRect(moved, QSize(300, 200)), menuBar));
    // Taller than the room below the menu bar: whole on the screen at least.
    EXPECT_TRUE(screen.contains(QRect(keepInside(screen, QPoint(0, 0), QSize(900, 700), menuBar), QSize(900, 700))));
    EXPECT_EQ(fitInto(screen, QSize(1331, 900)), QSize(1024, 768));
}

TEST(DesktopFit, AWindowWithoutRoomBesideTheMarksGetsShorter) {
    const QRect screen(0, 0, 1280, 1024);
    const QRect main(280, 218, 720, 588);
    const QRect menuBar(280, 218, 720, 50);
    const QRect cursorRow(280, 700, 720, 16);
    const QSize listing(552, 488);
    // Every place of that size covers the menu bar or the cursor's row: the
    // window goes between them (432 pixels), as tall as that room.
    const QRect place = placeShrinking(screen, main, listing, QSize(552, 250), cursorRow, menuBar);
    EXPECT_FALSE(hides(place, menuBar));
    EXPECT_FALSE(hides(place, cursorRow));
    EXPECT_TRUE(screen.contains(place));
    EXPECT_EQ(place.height(), 700 - 268);
    EXPECT_EQ(place.width(), 552);
    // With room enough it keeps its size; when even the least size fits nowhere, too.
    EXPECT_EQ(placeShrinking(screen, main, QSize(250, 200), QSize(100, 100), cursorRow, menuBar).size(), QSize(250, 200));
    EXPECT_EQ(placeShrinking(screen, main, listing, QSize(552, 480), cursorRow, menuBar).size(), listing);
}

// The codes of the items a menu bar shows greyed (the menus' own state aside).
std::set<int> greyedInWindow(QtPlatform& platform) {
    std::set<int> codes;
    for (QAction* top : platform.window().menuBar()->actions()) {
        QList<QAction*> items = top->menu() ? top->menu()->actions() : QList<QAction*>{top};
        for (QAction* item : items) {
            const QVariant code = item->property("quorbyCode");
            if (code.isValid() && !item->isEnabled()) codes.insert(code.toInt());
        }
    }
    return codes;
}

TEST(DesktopFit, TheWindowGreysWhatTheBatchModeReportsAsGreyed) {
    test::ensureQtApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    StartOptions options;
    options.homeDirectory = home.path().toStdString();
    options.showWelcome = false;
    // The journal directories are made under the test's own data directory.
    qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());

    PosixFileIo files;
    AppState windowApp;
    LogicInput input(windowApp);
    QtPlatform window(&input);
    windowApp.platform = &window;
    windowApp.files = &files;
    startApplication(windowApp, options);

    AppState batchApp;
    std::FILE* transcript = std::tmpfile();
    HeadlessPlatform batch(transcript);
    batchApp.platform = &batch;
    batchApp.files = &files;
    startApplication(batchApp, options);

    const std::vector<int> reported = batch.disabledMenuItems();
    EXPECT_EQ(greyedInWindow(window), std::set<int>(reported.begin(), reported.end()));
    EXPECT_FALSE(window.window().menus().menu(5)->menuAction()->isEnabled()) << "the AVI menu";
    EXPECT_EQ(batch.disabledMenus(), std::vector<int>{5});
    std::fclose(transcript);
}

}  // namespace
}  // namespace quorby
