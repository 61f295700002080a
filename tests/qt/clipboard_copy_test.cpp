// A copy's three forms on the system clipboard: other programs get the text
// as the window shows it, in UTF-8 and without its closing zero byte, and a
// new copy starts from an empty clipboard.
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

// Every byte but the zero that ends the text form: other programs get the
// characters the window shows as UTF-8 (0x80 the euro sign, not a control
// code), and pasting that text gives the same bytes back.
TEST(ClipboardCopy, TextGoesOutAsTheShownCharactersInUtf8AndComesBackByteForByte) {
    test::ensureQtApplication();
    test::RecordingInput input;
    QtPlatform platform(&input);
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes.push_back(char(b));
    putBytesOnClipboard(platform, std::string(bytes));

    const QByteArray utf8 = QApplication::clipboard()->mimeData()->data(QStringLiteral("text/plain"));
    EXPECT_FALSE(utf8.contains('\0'));
    const QString text = QString::fromUtf8(utf8);
    ASSERT_EQ(text.size(), 255) << "one character a byte, no closing zero";
    EXPECT_EQ(text[0x41 - 1], QChar(u'A'));
    EXPECT_EQ(text[0x09 - 1], QChar(u'\t')) << "control codes stay themselves for other programs";
    EXPECT_EQ(text[0x80 - 1], QChar(u'€'));
    EXPECT_EQ(text[0x8A - 1], QChar(u'Š'));
    EXPECT_EQ(text[0x99 - 1], QChar(u'™'));
    EXPECT_EQ(text[0x9F - 1], QChar(u'Ÿ'));
    EXPECT_EQ(text[0xA0 - 1], QChar(u'\u00A0'));
    EXPECT_EQ(text[0xE4 - 1], QChar(u'ä'));
    EXPECT_EQ(text[0xFF - 1], QChar(u'ÿ'));
    EXPECT_TRUE(utf8.contains("\xE2\x82\xAC")) << "the euro sign in UTF-8";
    int c1Controls = 0;
    for (QChar c : text) c1Controls += c.unicode() >= 0x80 && c.unicode() < 0xA0;
    EXPECT_EQ(c1Controls, 5) << "only the five codes that Windows-1252 leaves undefined";

    EXPECT_EQ(platform.clipboardData(kMimeRawData), bytes + '\0') << "the private form keeps the exact bytes";
    // The same text from another program: the same bytes.
    QApplication::clipboard()->setText(text);
    EXPECT_FALSE(platform.clipboardHas(kMimeRawData));
    EXPECT_EQ(platform.clipboardData(kMimeText), bytes);
    // A character beyond the code page is one '?', also outside the BMP.
    QApplication::clipboard()->setText(QString::fromUtf8("\u00F6\u20AC\u4E2D\U0001F600!"));
    EXPECT_EQ(platform.clipboardData(kMimeText), "\xF6\x80?\?!");
}

}  // namespace
}  // namespace quorby
