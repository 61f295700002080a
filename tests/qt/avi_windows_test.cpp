// The two AVI windows as Qt shows them (offscreen): the "Check AVI-File"
// options dialog and the "AVI File Check" report, both modeless; what the
// user does in them arrives as the events the AVI menu's logic handles.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <vector>

#include "avimenu/avi_check.h"
#include "avimenu/report_window.h"
#include "platform/qt/modeless_dialog.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

TEST(AviWindows, CheckDialogAndReportAreModelessAndReportTheUsersActions) {
    test::ensureQtApplication();
    test::ModelessRecorder input;
    QtPlatform platform(&input);
    AppState app;
    platform.openModeless(ModelessWindow::AviCheck, aviCheckDialogDescription(app));
    platform.openModeless(ModelessWindow::AviReport, aviReportWindowDescription());
    ModelessDialog* check = platform.modelessDialog(ModelessWindow::AviCheck);
    ModelessDialog* report = platform.modelessDialog(ModelessWindow::AviReport);
    ASSERT_TRUE(check && report);
    EXPECT_TRUE(check->isVisible() && report->isVisible());
    EXPECT_FALSE(check->isModal() || report->isModal()) << "both stay open beside the main window";
    EXPECT_EQ(check->windowTitle(), "Check AVI-File");
    EXPECT_EQ(report->windowTitle(), "AVI File Check");

    auto* superIndex = qobject_cast<QCheckBox*>(check->controlWidget(kAviCheckSuperIndex));
    auto* dataIndexes = qobject_cast<QCheckBox*>(check->controlWidget(kAviCheckDataIndexes));
    ASSERT_TRUE(superIndex && dataIndexes);
    EXPECT_TRUE(superIndex->isChecked()) << "the super index check is ticked at first";
    EXPECT_FALSE(dataIndexes->isChecked());
    EXPECT_EQ(dataIndexes->text(), "Check Data Indexes\n(will last a While ...)");

    dataIndexes->click();
    qobject_cast<QPushButton*>(check->controlWidget(kAviCheckOk))->click();
    ASSERT_EQ(input.events.size(), 2u);
    EXPECT_EQ(input.events[0].kind, ModelessEventKind::Toggled);
    EXPECT_EQ(input.events[0].controlId, int(kAviCheckDataIndexes));
    EXPECT_TRUE(input.events[0].checked);
    EXPECT_EQ(input.events[1].kind, ModelessEventKind::Pressed);
    EXPECT_EQ(input.events[1].controlId, int(kAviCheckOk));

    // A status text set by the check shows in the dialog, and sends nothing.
    app.avi.status.superIndex = "O.K.";
    platform.setModelessControl(ModelessWindow::AviCheck, *aviCheckDialogDescription(app).find(kAviCheckSuperStatus));
    auto* status = qobject_cast<QLabel*>(check->controlWidget(kAviCheckSuperStatus));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), "O.K.");
    EXPECT_EQ(input.events.size(), 2u);

    // The report: a click on the second line reports the caret there.
    const std::string text = "Quorby LogFile \r\n 0000 0000 0000 000C   LIST hdrl\r\nReady !\r\n";
    platform.setListingText(ModelessWindow::AviReport, kAviReportText, text);
    auto* listing = qobject_cast<QPlainTextEdit*>(report->controlWidget(kAviReportText));
    ASSERT_NE(listing, nullptr);
    EXPECT_TRUE(listing->isReadOnly());
    EXPECT_EQ(listing->document()->findBlockByNumber(1).text(), " 0000 0000 0000 000C   LIST hdrl");
    QTextCursor caret(listing->document()->findBlockByNumber(1));
    caret.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
    listing->setTextCursor(caret);
    ASSERT_EQ(input.events.size(), 3u);
    EXPECT_EQ(input.events[2].kind, ModelessEventKind::CaretMoved);
    EXPECT_EQ(input.events[2].caretPosition, 17u + 5u) << "the offset in the logic's text (CR LF counted)";
    qobject_cast<QPushButton*>(report->controlWidget(kAviReportClear))->click();
    ASSERT_EQ(input.events.size(), 4u);
    EXPECT_EQ(input.events[3].controlId, int(kAviReportClear));

    platform.closeModeless(ModelessWindow::AviCheck);
    platform.closeModeless(ModelessWindow::AviReport);
    EXPECT_FALSE(platform.modelessOpen(ModelessWindow::AviCheck));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace quorby
