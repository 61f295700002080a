// A copy's three forms on the system clipboard: other programs get the text
// without its closing zero byte, and a new copy starts from an empty clipboard.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <gtest/gtest.h>

#include "edit/clipboard_formats.h"
#include "platform/qt/qt_platform.h"
#include "tests/qt/qt_test_support.h"

namespace quorby {
namespace {

TEST(ClipboardCopy, OtherProgramsSeeTheTextAndPastedTextComesBack) {
    test::ensureQtApplication();
    test::RecordingInput input;
    QtPlatform platform(&input);
    putBytesOnClipboard(platform, std::string("Hi\xE4\0B", 5));
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Hi\u00E4"));
    EXPECT_EQ(platform.clipboardData(kMimeRawData), std::string("Hi\xE4\0B\0", 6));
    EXPECT_EQ(platform.clipboardData(kMimeDataSize), std::string("\5\0\0\0\0\0\0\0", 8));

    // Text from elsewhere replaces the copy: only the text is there to paste.
    QApplication::clipboard()->setText(QStringLiteral("plain"));
    EXPECT_FALSE(platform.clipboardHas(kMimeRawData));
    EXPECT_EQ(platform.clipboardData(kMimeText), "plain");

    putBytesOnClipboard(platform, "xy");
    platform.clearClipboard();
    EXPECT_FALSE(platform.clipboardHas(kMimeRawData));
    EXPECT_FALSE(platform.clipboardHas(kMimeDataSize));
}

}  // namespace
}  // namespace quorby
