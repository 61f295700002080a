// The poll of long operations in the window: it hands the window its events
// only a few times a second, yet a typed ESC and the Cancel button of the
// "Please wait ..." window still stop the operation with the interrupt
// question; the progress line below the grid shows where the operation is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/qt/please_wait_window.h"
#include "platform/qt/qt_platform.h"
#include "state/app_state.h"
#include "state/progress.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

using test::RecordingInput;

// Longer than the poll's interval and than the progress line's delay.
void waitPastPollInterval() { std::this_thread::sleep_for(std::chrono::milliseconds(80)); }
void waitPastProgressDelay() { std::this_thread::sleep_for(std::chrono::milliseconds(600)); }

void postKey(QWidget* to, Qt::Key key, const QString& text) {
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

// Answers the next message box with `answer` and keeps its caption and text.
void answerNextMessageBox(QMessageBox::StandardButton answer, QString* caption, QString* text) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, caption, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        *caption = box->windowTitle();
        *text = box->text();
        box->button(answer)->click();
    });
    timer->start();
}

TEST(ProgressPoll, EventsWaitForADuePollButATypedEscapeIsStillSeen) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    QWidget* grid = platform.window().grid();

    EXPECT_FALSE(platform.pollPendingInput());  // the first poll is due
    postKey(grid, Qt::Key_A, "a");
    // Right after a due poll the next ones leave the events waiting.
    for (int i = 0; i < 1000; ++i) EXPECT_FALSE(platform.pollPendingInput());
    EXPECT_TRUE(input.ofKind("char").empty()) << "an event was handled by a poll that was not due";
    waitPastPollInterval();
    EXPECT_FALSE(platform.pollPendingInput());
    ASSERT_EQ(input.ofKind("char").size(), 1u) << "the due poll hands the window its events";
    EXPECT_EQ(input.ofKind("char")[0].a, 'a');

    postKey(grid, Qt::Key_Escape, QString(QChar(27)));
    EXPECT_FALSE(platform.pollPendingInput());
    waitPastPollInterval();
    EXPECT_TRUE(platform.pollPendingInput()) << "the typed ESC stops the operation";
    EXPECT_TRUE(input.ofKind("char").size() == 1u) << "the ESC goes to the operation, not to the logic";
    EXPECT_FALSE(platform.pollPendingInput()) << "one ESC stops once";
}

TEST(ProgressPoll, CancelInThePleaseWaitWindowAsksTheInterruptQuestionAsEscDoes) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    AppState app;
    app.platform = &platform;
    openPleaseWait(app);
    ASSERT_NE(platform.pleaseWaitWindow(), nullptr);
    EXPECT_TRUE(platform.pleaseWaitWindow()->isVisible());

    QString caption, text;
    platform.pleaseWaitWindow()->cancelButton()->click();
    answerNextMessageBox(QMessageBox::No, &caption, &text);
    EXPECT_FALSE(pollProgress(app)) << "No: the operation goes on";
    EXPECT_EQ(caption, QString(kInterruptCaption));
    EXPECT_EQ(text, QString(kInterruptQuestion));
    EXPECT_TRUE(platform.pleaseWaitWindow()->isVisible()) << "the window stays until the operation ends";

    // ESC in the window itself and then Yes: the operation stops.
    caption.clear();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(platform.pleaseWaitWindow(), &esc);
    answerNextMessageBox(QMessageBox::Yes, &caption, &text);
    EXPECT_TRUE(pollProgress(app));
    EXPECT_EQ(caption, QString(kInterruptCaption));
    closePleaseWait(app);
    EXPECT_FALSE(platform.pleaseWaitWindow()->isVisible());
}

TEST(ProgressPoll, ProgressLineShowsPositionAndShareBelowTheGridWhileTheOperationLasts) {
    test::ensureQtApplication();
    RecordingInput input;
    QtPlatform platform(&input);
    MainWindow& window = platform.window();
    platform.fitWindowToGrid(8, 16);
    const QSize fitted = window.fittedClientSize();
    const QRect gridArea = window.grid()->geometry();

    // A short operation shows nothing.
    platform.showProgress(0x1000, 0x1000, 0x5000);
    EXPECT_FALSE(platform.pollPendingInput());
    EXPECT_TRUE(window.progressLine()->isHidden());

    waitPastProgressDelay();
    platform.showProgress(0x2000, 0x1000, 0x5000);
    EXPECT_FALSE(platform.pollPendingInput());
    ASSERT_FALSE(window.progressLine()->isHidden()) << "an operation of more than half a second shows its line";
    EXPECT_EQ(window.progressLine()->percent(), 25);
    EXPECT_TRUE(window.progressLine()->positionText().contains("0000 0000 0000 2000"))
        << window.progressLine()->positionText().toStdString();
    EXPECT_EQ(window.grid()->geometry(), gridArea) << "the grid keeps its place and size";
    EXPECT_GE(window.progressLine()->geometry().top(), gridArea.bottom()) << "the line lies below the grid";
    EXPECT_GT(window.fittedClientSize().height(), fitted.height()) << "the window grows by the line";

    // Backward: from the end down to the start.
    platform.showProgress(0x1000, 0x5000, 0);
    waitPastPollInterval();
    EXPECT_FALSE(platform.pollPendingInput());
    EXPECT_EQ(window.progressLine()->percent(), 80);

    platform.hideProgress();
    EXPECT_TRUE(window.progressLine()->isHidden());
    EXPECT_EQ(window.fittedClientSize(), fitted) << "the window gets its own size back";
}

}  // namespace
}  // namespace quorby
