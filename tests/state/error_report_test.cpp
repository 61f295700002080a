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

// A Linux error reaches the user as the caption of its code's text; reading
// and writing differ only for EIO. Unmapped errors give code 0 (the system's
// own text is shown then: ReportErrorTest below).
TEST(ErrnoMap, LinuxErrorsMapToCodesWithATextOfTheSameMeaning) {
    struct Case {
        int err;
        const char* read;
        const char* write;
    };
    const Case cases[] = {
        {EACCES, "Access denied !", "Access denied !"}, {EPERM, "Access denied !", "Access denied !"},
        {ENOSPC, "Drive full !", "Drive full !"},       {EAGAIN, "Blocked !", "Blocked !"},
        {EIO, "Read Error !", "Write Error !"},
    };
    for (const Case& c : cases) {
        const char* read = messageTableText(windowsErrorCode(c.err, false));
        const char* write = messageTableText(windowsErrorCode(c.err, true));
        ASSERT_TRUE(read && write) << std::strerror(c.err);
        EXPECT_STREQ(read, c.read) << std::strerror(c.err);
        EXPECT_STREQ(write, c.write) << std::strerror(c.err);
    }
    for (int err : {ENOENT, ENOTDIR, EMFILE, EBADF, ENOMEM, EROFS, EBUSY, EEXIST, EINVAL, ENAMETOOLONG, ESPIPE,
                    EFBIG, ENXIO}) {
        EXPECT_NE(windowsErrorCode(err, false), 0u) << std::strerror(err);
        EXPECT_NE(messageTableText(windowsErrorCode(err, false)), nullptr) << std::strerror(err);
    }
    for (int err : {ENOTEMPTY, ECONNRESET, 0}) EXPECT_EQ(windowsErrorCode(err, false), 0u) << err;
    for (std::uint32_t missing : {0u, 35u, 1904u, 0xFFFFFFFFu}) EXPECT_EQ(messageTableText(missing), nullptr);
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

}  // namespace
}  // namespace quorby
