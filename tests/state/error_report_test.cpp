#include "state/error_report.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/errno_map.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"

namespace quorby {
namespace {

using testing::MemoryFileIo;
using testing::FakePlatform;

std::string tableText(std::uint32_t code) {
    const char* t = messageTableText(code);
    return t ? t : "<none>";
}

TEST(MessageTable, CodesAndSharedTexts) {
    EXPECT_EQ(tableText(1), "Invalid Function !");
    EXPECT_EQ(tableText(33), "Blocked !");
    EXPECT_EQ(tableText(1903), "ungültige Format-Größe !");
    EXPECT_EQ(tableText(28), "außerhalb der Papiermaße !");
    EXPECT_EQ(tableText(5), "Access denied !");
    EXPECT_EQ(tableText(994), "Access denied !");
    EXPECT_EQ(tableText(995), "Vorgang abgebrochen !");
    EXPECT_EQ(tableText(1067), "Vorgang abgebrochen !");
    EXPECT_EQ(tableText(39), "Drive full !");
    EXPECT_EQ(tableText(112), "Drive full !");
    EXPECT_EQ(tableText(67), "ungültiger Netzwerkname !");
    EXPECT_EQ(tableText(1214), "ungültiger Netzwerkname !");
    // UTF-8: "ü" is two bytes.
    EXPECT_EQ(std::strlen(messageTableText(67)), std::strlen("ungltiger Netzwerkname !") + 2);
    for (std::uint32_t missing : {0u, 35u, 37u, 1000u, 1904u, 0xFFFFFFFFu})
        EXPECT_EQ(messageTableText(missing), nullptr) << missing;
}

TEST(ErrnoMap, LinuxErrorsMapToTheCodesOfTheSameMeaning) {
    struct Case { int err; std::uint32_t read, write; };
    const Case cases[] = {
        {ENOENT, 2, 2}, {ENOTDIR, 3, 3}, {EMFILE, 4, 4}, {EACCES, 5, 5}, {EPERM, 5, 5},
        {EBADF, 6, 6}, {ENOMEM, 8, 8}, {EROFS, 19, 19}, {EIO, 30, 29}, {EBUSY, 170, 170},
        {EEXIST, 80, 80}, {ENOSPC, 112, 112}, {EINVAL, 87, 87}, {ENAMETOOLONG, 206, 206},
        {ESPIPE, 25, 25}, {EFBIG, 1106, 1106}, {ENXIO, 21, 21}, {EAGAIN, 33, 33}, {EWOULDBLOCK, 33, 33},
        {ENOTEMPTY, 0, 0}, {ECONNRESET, 0, 0}, {0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windowsErrorCode(c.err, false), c.read) << std::strerror(c.err);
        EXPECT_EQ(windowsErrorCode(c.err, true), c.write) << std::strerror(c.err);
        // Every mapped code has a text in the table.
        if (c.read) {
            EXPECT_NE(messageTableText(c.read), nullptr) << c.read;
        }
        if (c.write) {
            EXPECT_NE(messageTableText(c.write), nullptr) << c.write;
        }
    }
}

class ReportErrorTest : public ::testing::Test {
protected:
    FakePlatform platform;
    MemoryFileIo files;
    AppState app;
    void SetUp() override {
        app.platform = &platform;
        app.files = &files;
    }
};

TEST_F(ReportErrorTest, CaptionComesFromTheLastErrorOfTheFiles) {
    files.setLastError({33, EAGAIN});
    EXPECT_EQ(reportError(app, kErrorReading, "/data/locked.bin"), 0);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Error reading /data/locked.bin");
    EXPECT_EQ(platform.boxes[0].caption, "Blocked !");
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::None);
    EXPECT_TRUE(platform.boxes[0].taskModal);
    EXPECT_STREQ(app.error.errorText, "Blocked !");

    // A code outside the table clears what the last report left.
    files.setLastError({1000, 0});
    reportError(app, kErrorWriting, "x.jnl");
    EXPECT_EQ(platform.boxes[1].text, "Error writing x.jnl");
    EXPECT_EQ(platform.boxes[1].caption, "");
    EXPECT_STREQ(app.error.errorText, "");

    // An errno without a table code shows the system's text.
    files.setLastError({0, ENOTEMPTY});
    reportError(app, kErrorGeneral, "");
    EXPECT_EQ(platform.boxes[2].text, "Error !");
    EXPECT_EQ(platform.boxes[2].caption, std::string(std::strerror(ENOTEMPTY)).substr(0, 64));

    // No error at all: empty caption.
    files.setLastError({0, 0});
    reportError(app, kErrorReading, "a");
    EXPECT_EQ(platform.boxes[3].caption, "");
}

TEST_F(ReportErrorTest, CancelIsReturnedAndMissingWindowCountsAsOk) {
    files.setLastError({5, EACCES});
    platform.boxAnswers = {MsgAnswer::Cancel, MsgAnswer::Ok};
    EXPECT_EQ(reportError(app, kErrorReading, "f"), 1);
    EXPECT_EQ(reportError(app, kErrorReading, "f"), 0);

    app.platform = nullptr;
    files.setLastError({39, ENOSPC});
    EXPECT_EQ(reportError(app, kErrorWriting, "f"), 0);
    EXPECT_STREQ(app.error.errorText, "Drive full !");
    EXPECT_EQ(askQuestion(app, "c", "t"), 0);
}

TEST_F(ReportErrorTest, ErrorTextIsCutAtACharacterBoundary) {
    setErrorText(app.error, std::string(100, 'a').c_str());
    EXPECT_EQ(std::strlen(app.error.errorText), 64u);

    // "ü" at bytes 63..64 would be split by a cut at 64: it is left out whole.
    setErrorText(app.error, (std::string(63, 'a') + "ü").c_str());
    EXPECT_EQ(std::string(app.error.errorText), std::string(63, 'a'));
    setErrorText(app.error, (std::string(62, 'a') + "üx").c_str());
    EXPECT_EQ(std::string(app.error.errorText), std::string(62, 'a') + "ü");
    setErrorText(app.error, nullptr);
    EXPECT_STREQ(app.error.errorText, "");
}

TEST_F(ReportErrorTest, AskQuestionPassesCaptionTextAndAnswerBits) {
    platform.questionAnswers = {kAnswerYes | kAnswerDontAsk, 0};
    EXPECT_EQ(askQuestion(app, "Save File ?", "Shall the File be saved ?"), kAnswerYes | kAnswerDontAsk);
    EXPECT_EQ(askQuestion(app, "Q2", "T2"), 0);
    ASSERT_EQ(platform.questions.size(), 2u);
    EXPECT_EQ(platform.questions[0].first, "Save File ?");
    EXPECT_EQ(platform.questions[0].second, "Shall the File be saved ?");
}

}  // namespace
}  // namespace quorby
