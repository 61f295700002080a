// Described dialogs laid out from their content: group boxes hold the
// controls that name them as their frame, edit fields are as wide as the
// characters they are meant for, a control alone in its row takes the row.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

DialogControl control(int id, ControlKind kind, const char* text, int column, int row, int frame = 0, int chars = 0) {
    DialogControl c = dialogControl(id, kind, text, column, row);
    c.frame = frame;
    c.chars = chars;
    return c;
}

TEST(DialogLayout, GroupBoxesFrameTheirFieldsAndFieldsFitWhatTheyHold) {
    test::ensureQtApplication();
    test::RecordingInput input;
    QtPlatform platform(&input);
    DialogDescription described;
    described.title = "Change File Size";
    described.controls = {
        control(50, ControlKind::Group, "NEW SIZE:", 0, 0),
        control(51, ControlKind::Label, "Bytes", 0, 0, 50),
        control(52, ControlKind::Edit, "", 1, 0, 50, 20),
        control(53, ControlKind::Edit, "", 2, 0, 50, 2),
        control(60, ControlKind::Group, "Heading only", 1, 0),
        control(70, ControlKind::Label, "A note below both, alone in its row", 0, 1),
        control(1, ControlKind::Button, "OK", 0, 2),
        control(2, ControlKind::Button, "Cancel", 1, 2),
    };
    bool checked = false;
    QTimer::singleShot(0, [&] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        auto* box = w->findChild<QGroupBox*>("control50");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title(), "NEW SIZE:");
        auto* wide = w->findChild<QLineEdit*>("control52");
        auto* narrow = w->findChild<QLineEdit*>("control53");
        ASSERT_TRUE(wide && narrow);
        EXPECT_EQ(wide->parentWidget(), box) << "the field is drawn inside its group box";
        EXPECT_TRUE(box->geometry().contains(QRect(wide->mapTo(w, QPoint(0, 0)), wide->size())));
        const int digit = wide->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        EXPECT_GE(wide->width(), 20 * digit) << "20 digits fit";
        EXPECT_LT(wide->width(), 26 * digit) << "no room for 32 digits";
        EXPECT_LT(narrow->width(), 8 * digit);
        // A Group that frames nothing is a heading, not an empty box.
        EXPECT_EQ(w->findChild<QGroupBox*>("control60"), nullptr);
        EXPECT_NE(w->findChild<QLabel*>("control60"), nullptr);
        // The note alone in its row is not squeezed into the first column.
        auto* note = w->findChild<QLabel*>("control70");
        ASSERT_NE(note, nullptr);
        EXPECT_GE(note->width(), note->sizeHint().width());
        EXPECT_GT(note->width(), box->width());
        checked = true;
        w->findChild<QPushButton*>("control2")->click();
    });
    EXPECT_EQ(platform.runDialog(described), 2);
    EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace quorby
