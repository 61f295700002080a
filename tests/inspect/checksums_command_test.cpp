// "&Checksums..." over a Main File and its Journal File in memory: the
// content as the view shows it, the selection, ESC, unreadable sectors and
// the result window. The expected digests are libcrypto's of the bytes the
// user sees, put together by the test.
#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <algorithm>

#include "app/dispatch.h"
#include "core/command_codes.h"
#include "inspect/checksums_command.h"
#include "resources/dialog_controls.h"
#include "tests/edit/edit_fixture.h"
#include "tests/support/digest_text.h"

namespace quorby::inspect {
namespace {

using testing::EditFixture;

std::string digestOf(const EVP_MD* md, const std::vector<std::uint8_t>& bytes, std::size_t from = 0,
                     std::size_t length = std::string::npos) {
    if (length == std::string::npos) length = bytes.size() - from;
    return testing::digestText(md, bytes.data() + from, length);
}

constexpr int kMd5 = 1, kSha256 = 3, kSha512 = 4;

TEST(Checksums, WholeFileAsShownWithStoredAndTypedChanges) {
    // 600,000 bytes: three blocks; changes in the first and the third, the
    // last one typed and not yet stored.
    EditFixture f(600000);
    std::vector<std::uint8_t> shown = f.original;
    f.typeHex(5, 0xAA);
    f.typeHex(530000, 0xBB);
    ASSERT_EQ(f.app.view.halfDirty[0] || f.app.view.halfDirty[1], true);
    shown[5] = 0xAA;
    shown[530000] = 0xBB;
    ChecksumResult r;
    ASSERT_EQ(computeChecksums(f.app, kAllChecksums, r), ChecksumOutcome::Done);
    EXPECT_EQ(r.start, 0u);
    EXPECT_EQ(r.length, 600000u);
    EXPECT_EQ(r.digests[kSha256], digestOf(EVP_sha256(), shown));
    EXPECT_EQ(r.digests[kMd5], digestOf(EVP_md5(), shown));
    EXPECT_EQ(r.digests[kSha512], digestOf(EVP_sha512(), shown));
    EXPECT_EQ(r.unreadable.count, 0);
    // The Main File itself is unchanged: the changes wait in the Journal File.
    EXPECT_EQ(f.mainBytes(), f.original);
}

TEST(Checksums, TheSelectionUpToTheFilesEndOrTheWholeFileWithoutOne) {
    EditFixture f(5000);
    ChecksumResult r;
    f.app.view.selectionStart = 100;
    f.app.view.selectionEnd = 1100;
    f.app.view.selectionActive = kSelectionExists;
    ASSERT_EQ(computeChecksums(f.app, kChecksumSha256, r), ChecksumOutcome::Done);
    EXPECT_EQ(r.start, 100u);
    EXPECT_EQ(r.length, 1000u);
    EXPECT_EQ(r.digests[kSha256], digestOf(EVP_sha256(), f.original, 100, 1000));
    EXPECT_EQ(r.digests[kMd5], "");

    // A selection that reaches past the end ends with the file.
    f.app.view.selectionEnd = 9000;
    ASSERT_EQ(computeChecksums(f.app, kChecksumSha256, r), ChecksumOutcome::Done);
    EXPECT_EQ(r.length, 4900u);
    EXPECT_EQ(r.digests[kSha256], digestOf(EVP_sha256(), f.original, 100));

    f.app.view.selectionActive = 0;
    ASSERT_EQ(computeChecksums(f.app, kChecksumSha256, r), ChecksumOutcome::Done);
    EXPECT_EQ(r.length, 5000u);
    EXPECT_EQ(r.digests[kSha256], digestOf(EVP_sha256(), f.original));
}

TEST(Checksums, EscStopsWithoutAResultAndNoGoesOn) {
    EditFixture f(1 << 20);  // four blocks
    f.platform.escAtPoll = {f.platform.polls + 2};
    f.platform.boxAnswers = {MsgAnswer::Yes};
    dispatchCommand(f.app, kCmdChecksums);
    EXPECT_EQ(f.platform.dialogsShown.size(), 0u);
    ASSERT_FALSE(f.platform.shown.empty());
    EXPECT_EQ(f.platform.shown.back(), "Interrupt ?");

    ChecksumResult r;
    f.platform.escAtPoll = {f.platform.polls + 1};
    f.platform.boxAnswers = {MsgAnswer::Yes};
    EXPECT_EQ(computeChecksums(f.app, kChecksumSha256, r), ChecksumOutcome::Interrupted);
    EXPECT_EQ(r.digests[kSha256], "");

    // No to the question: the checksums of the whole file.
    f.platform.escAtPoll = {f.platform.polls + 1};
    f.platform.boxAnswers = {MsgAnswer::No};
    ASSERT_EQ(computeChecksums(f.app, kChecksumSha256, r), ChecksumOutcome::Done);
    EXPECT_EQ(r.digests[kSha256], digestOf(EVP_sha256(), f.original));
}

TEST(Checksums, AChangeMadeWhileItRunsIsSeenInTheBlocksStillToCome) {
    EditFixture f(1 << 20);
    std::vector<std::uint8_t> shown = f.original;
    shown[900000] = 0x5A;
    bool typed = false;
    f.platform.onPoll = [&] {
        if (typed) return;
        typed = true;
        f.typeHex(900000, 0x5A);
        EXPECT_EQ(storePage(f.app), 0);
    };
    ChecksumResult r;
    ASSERT_EQ(computeChecksums(f.app, kChecksumSha256, r), ChecksumOutcome::Done);
    EXPECT_TRUE(typed);
    EXPECT_EQ(r.digests[kSha256], digestOf(EVP_sha256(), shown));
}

TEST(Checksums, TheWindowListsEveryDigestTheRangeAndUnreadableSectors) {
    EditFixture f(4096);
    f.io.unreadable[f.mainPath] = {{0x400, 0x600}};
    std::vector<std::uint8_t> shown = f.original;
    std::fill(shown.begin() + 0x400, shown.begin() + 0x600, 0);
    dispatchCommand(f.app, kCmdChecksums);
    ASSERT_EQ(f.platform.dialogsShown.size(), 1u);
    DialogDescription& d = f.platform.dialogsShown[0];
    EXPECT_EQ(d.title, "Checksums");
    ASSERT_NE(d.find(kChecksumsStart), nullptr);
    EXPECT_EQ(d.find(kChecksumsStart)->value, "0x0");
    EXPECT_EQ(d.find(kChecksumsLength)->value, "0x1000 (4096 Bytes)");
    const char* names[] = {"CRC32", "MD5", "SHA1", "SHA256", "SHA512"};
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(d.find(kChecksumsNameFirst + i), nullptr) << i;
        EXPECT_EQ(d.find(kChecksumsNameFirst + i)->text, names[i]);
    }
    EXPECT_EQ(d.find(kChecksumsDigestFirst + kSha256)->value, digestOf(EVP_sha256(), shown));
    EXPECT_EQ(d.find(kChecksumsDigestFirst + kMd5)->value, digestOf(EVP_md5(), shown));
    EXPECT_EQ(d.find(kChecksumsDigestFirst + 2)->value, digestOf(EVP_sha1(), shown));
    EXPECT_EQ(d.find(kChecksumsDigestFirst)->value.size(), 8u);
    ASSERT_NE(d.find(kChecksumsUnreadable), nullptr);
    EXPECT_EQ(d.find(kChecksumsUnreadable)->text, "1 unreadable range read as zeros: 0x400+0x200");
}

TEST(Checksums, AnEmptyFileGivesTheDigestsOfNoBytes) {
    EditFixture f(0);
    ChecksumResult r;
    ASSERT_EQ(computeChecksums(f.app, kAllChecksums, r), ChecksumOutcome::Done);
    EXPECT_EQ(r.length, 0u);
    EXPECT_EQ(r.digests[0], "00000000");
    EXPECT_EQ(r.digests[kSha256], "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(r.digests[kMd5], "d41d8cd98f00b204e9800998ecf8427e");
}

}  // namespace
}  // namespace quorby::inspect
