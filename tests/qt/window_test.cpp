#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QMenuBar>
#include <QScrollBar>

#include "core/command_codes.h"
#include "platform/posix/posix_file_io.h"
#include "platform/qt/qt_platform.h"
#include "state/app_state.h"
#include "tests/qt/qt_test_support.h"
#include "view/view_font.h"

namespace quorby {
namespace {

using test::RecordingInput;

// The window procedure itself, with the resize requests counted.
class CountingLogicInput final : public WindowInput {
public:
    explicit CountingLogicInput(AppState& app) : logic_(app) {}
    int resizeRequests = 0;
    void command(int code) override { logic_.command(code); }
    bool keyDown(Key key, std::uint32_t m) override { return logic_.keyDown(key, m); }
    void keyUp(Key key) override { logic_.keyUp(key); }
    void character(int byte) override { logic_.character(byte); }
    void mouseMove(int x, int y, bool l, bool s) override { logic_.mouseMove(x, y, l, s); }
    void leftButtonDown(int x, int y, std::uint32_t m) override { logic_.leftButtonDown(x, y, m); }
    void leftButtonUp(int x, int y) override { logic_.leftButtonUp(x, y); }
    void leftDoubleClick(int x, int y) override { logic_.leftDoubleClick(x, y); }
    void rightButtonDown(int x, int y) override { logic_.rightButtonDown(x, y); }
    void wheel(int d, std::uint32_t m) override { logic_.wheel(d, m); }
    void scroll(ScrollAction a, std::int32_t t) override { logic_.scroll(a, t); }
    void paint() override { logic_.paint(); }
    void resizeRequest(int w, int h) override {
        ++resizeRequests;
        logic_.resizeRequest(w, h);
    }
    void destroy() override {}

private:
    LogicInput logic_;
};

void settle() {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

// The client area holds exactly 88 x 34 cells of the view's cell size plus
// the scroll bar, and the window holds the client area and the menu bar.
void expectFitted(QtPlatform& platform, const AppState& app, const char* when) {
    MainWindow& window = platform.window();
    const int cw = app.view.cellWidth;
    const int rh = app.view.rowHeight;
    const int bar = window.scrollBar()->width();
    EXPECT_EQ(window.grid()->size(), QSize(88 * cw, 34 * rh)) << when;
    const int strip = window.overview()->width();
    EXPECT_EQ(window.centralWidget()->size(), QSize(88 * cw + bar + strip, 34 * rh)) << when;
    EXPECT_EQ(window.height(), 34 * rh + window.menuBar()->height()) << when;
    EXPECT_EQ(window.scrollBar()->geometry(), QRect(88 * cw, 0, bar, 34 * rh)) << when;
    EXPECT_EQ(window.overview()->geometry(), QRect(88 * cw + bar, 0, strip, 34 * rh)) << when;
}

TEST(WindowSize, EveryRequestedSizeEndsAsExactly88By34Cells) {
    test::ensureQtApplication();
    AppState app;
    PosixFileIo files;
    CountingLogicInput input(app);
    QtPlatform platform(&input);
    app.platform = &platform;
    app.files = &files;
    platform.window().show();
    ASSERT_EQ(createViewFont(app, 8, 16), 0);
    settle();
    EXPECT_EQ(app.view.cellWidth, 8);
    EXPECT_EQ(app.view.rowHeight, 16);
    expectFitted(platform, app, "start");
    EXPECT_EQ(input.resizeRequests, 0);  // fitting itself asks nothing
    // While the window manager maps the window, its sizes are no user's:
    // the font stays and the window gets its fitted size back.
    ASSERT_FALSE(platform.window().takesUserSizes());
    platform.window().resize(1000, 700);
    settle();
    EXPECT_EQ(input.resizeRequests, 0);
    EXPECT_EQ(app.view.cellWidth, 8);
    expectFitted(platform, app, "a size of the window manager");
    for (int i = 0; i < 300 && !platform.window().takesUserSizes(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }
    ASSERT_TRUE(platform.window().takesUserSizes());

    struct Request { int width, height; };
    for (Request r : {Request{1200, 800}, Request{640, 480}, Request{50, 40}, Request{1500, 1000}}) {
        const int before = input.resizeRequests;
        platform.window().resize(r.width, r.height);
        settle();
        const std::string when = std::to_string(r.width) + "x" + std::to_string(r.height);
        expectFitted(platform, app, when.c_str());
        // One request per user resize: the window's own fitting is no request.
        EXPECT_EQ(input.resizeRequests, before + 1) << when;
        EXPECT_GE(app.view.cellWidth, 7) << when;
        EXPECT_GE(app.view.rowHeight, 12) << when;
    }
    // The largest request gave a larger font than the smallest.
    EXPECT_GT(app.view.cellWidth, 8);

    // Enlarge View and Decrease View go through the logic and refit.
    const int width = app.view.cellWidth;
    onCommand(app, kCmdEnlargeView);
    settle();
    EXPECT_EQ(app.view.cellWidth, width + 1);
    expectFitted(platform, app, "enlarged");
    onCommand(app, kCmdDecreaseView);
    settle();
    expectFitted(platform, app, "decreased");
}

TEST(ScrollBar, ActionsReachTheLogicAndItsSettingsDoNot) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    QScrollBar* bar = platform.window().scrollBar();

    platform.setScrollBar(1000, 250);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->value(), 250);
    platform.setScrollBar(-5, 0);  // an empty file: no range
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_TRUE(input.ofKind("scroll").empty());

    platform.setScrollBar(1000, 250);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    bar->setSliderPosition(600);  // what a drag of the thumb does: SliderMove
    emit bar->sliderReleased();
    auto scrolls = input.ofKind("scroll");
    ASSERT_EQ(scrolls.size(), 8u);
    const std::vector<ScrollAction> expected = {ScrollAction::LineDown, ScrollAction::LineUp, ScrollAction::PageDown,
                                                ScrollAction::PageUp,   ScrollAction::Top,    ScrollAction::Bottom,
                                                ScrollAction::ThumbTrack, ScrollAction::ThumbPosition};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(scrolls[i].a, int(expected[i])) << i;
    EXPECT_EQ(scrolls[6].b, 600);
    EXPECT_EQ(scrolls[7].b, 600);
}

TEST(WindowClose, RunsTheExitSequenceOnceAndNotDuringALongOperation) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    platform.window().show();

    platform.window().setLongOperationRunning(true);
    EXPECT_FALSE(platform.window().close());     // refused: the operation is asked to stop
    EXPECT_TRUE(platform.window().grid()->takeInterceptedEscape());
    EXPECT_TRUE(input.ofKind("destroy").empty());

    platform.window().setLongOperationRunning(false);
    EXPECT_TRUE(platform.window().close());
    EXPECT_EQ(input.ofKind("destroy").size(), 1u);
    platform.window().show();
    platform.window().close();
    EXPECT_EQ(input.ofKind("destroy").size(), 1u);
}

}  // namespace
}  // namespace quorby
