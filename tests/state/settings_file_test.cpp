#include "state/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/posix/posix_file_io.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"

namespace quorby {
namespace {

using testing::MemoryFileIo;
using testing::FakePlatform;

const std::string kProgramDir = "/home/u/.config/quorby/";
const std::string kSettingsPath = kProgramDir + "quorby.dat";
const std::string kFixedDefault = "/home/u/.local/share/quorby/journal/";
const std::string kAlternativeDefault = "/var/tmp/quorby-u/";

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t off) {
    return b[off] | b[off + 1] << 8 | b[off + 2] << 16 | std::uint32_t(b[off + 3]) << 24;
}

std::string textAt(const std::vector<std::uint8_t>& b, std::size_t off) {
    return std::string(reinterpret_cast<const char*>(b.data() + off));
}

std::vector<std::uint8_t> encoded(const SettingsRecord& s) {
    std::vector<std::uint8_t> out(kSettingsRecordSize);
    encodeSettings(s, out.data());
    return out;
}

class SettingsFileTest : public ::testing::Test {
protected:
    FakePlatform platform;
    MemoryFileIo files;
    AppState app;

    void SetUp() override {
        app.platform = &platform;
        app.files = &files;
        app.shell.programDirectory = kProgramDir;
        app.shell.defaultFixedJournalDir = kFixedDefault;
        app.shell.defaultAlternativeJournalDir = kAlternativeDefault;
        files.needParentDirectory = true;
        for (const char* d : {"/", "/home", "/home/u", "/home/u/.config", "/home/u/.config/quorby", "/var", "/var/tmp"})
            files.directories.insert(d);
        setSettingsDefaults(app.settings, kFixedDefault, kAlternativeDefault);
    }

    SettingsRecord defaults() const {
        SettingsRecord d;
        setSettingsDefaults(d, kFixedDefault, kAlternativeDefault);
        return d;
    }
};

TEST_F(SettingsFileTest, DefaultsLieAtTheirOffsets) {
    std::vector<std::uint8_t> b = encoded(app.settings);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "ehey");
    EXPECT_EQ(u32At(b, 0), kSettingsMagic);
    for (std::size_t sep : {4u, 48u}) {
        EXPECT_EQ(b[sep], 0x0A);
        EXPECT_EQ(b[sep + 1], 0x0D);
        EXPECT_EQ(b[sep + 2], 0x0A);
        EXPECT_EQ(b[sep + 3], 0x0D);
    }
    EXPECT_EQ(textAt(b, 8), "Please do not change this File!   \n");
    for (std::size_t i = 8 + 35; i < 48; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(u32At(b, 52), 16u);
    EXPECT_EQ(u32At(b, 56), 8u);
    EXPECT_EQ(u32At(b, 60), 4116u);
    EXPECT_EQ(u32At(b, 64), 0xFFFFFFFFu);
    EXPECT_EQ(u32At(b, 68), 0u);
    EXPECT_EQ(u32At(b, 72), 2u);
    EXPECT_EQ(u32At(b, 76), 0u);
    EXPECT_EQ(u32At(b, 80), 2u);
    EXPECT_EQ(u32At(b, 84), 1u);
    EXPECT_EQ(u32At(b, 92), 1u);
    EXPECT_EQ(u32At(b, 96), 1u);
    EXPECT_EQ(u32At(b, 100), 2u);
    EXPECT_EQ(u32At(b, 124), 0xFFFFFF00u);
    EXPECT_EQ(textAt(b, 128), kFixedDefault);
    EXPECT_EQ(textAt(b, 388), kAlternativeDefault);
    for (std::size_t i = 648; i < kSettingsRecordSize; ++i) ASSERT_EQ(b[i], 0) << i;
}

TEST_F(SettingsFileTest, EveryFieldRoundTripsAtItsOffset) {
    SettingsRecord& s = app.settings;
    s.fontHeight = 0x01020304;
    s.messageSwitches = 0x2700;
    s.reserved88 = 0xA1B2C3D4;
    s.disassemblerFlags = 0x55AA55AA;
    std::strcpy(s.lastOpenedFiles[0], "   &0. /first");
    std::strcpy(s.lastOpenedFiles[9], "   &9. /last");
    std::strcpy(s.lastCompareFile, "/cmp");
    std::strcpy(s.lastPasteFile, "/paste");
    std::strcpy(s.lastAppendTarget, "/append");
    s.userDefinedConfig[0] = 0x11;
    s.userDefinedConfig[5] = 0x11223344;
    s.reserved4052[63] = 0x7E;

    std::vector<std::uint8_t> b = encoded(s);
    EXPECT_EQ(b[52], 0x04);
    EXPECT_EQ(b[55], 0x01);
    EXPECT_EQ(u32At(b, 64), 0x2700u);
    EXPECT_EQ(u32At(b, 88), 0xA1B2C3D4u);
    EXPECT_EQ(u32At(b, 124), 0x55AA55AAu);
    EXPECT_EQ(textAt(b, 648), "   &0. /first");
    EXPECT_EQ(textAt(b, 648 + 9 * 260), "   &9. /last");
    EXPECT_EQ(textAt(b, 3248), "/cmp");
    EXPECT_EQ(textAt(b, 3508), "/paste");
    EXPECT_EQ(textAt(b, 3768), "/append");
    EXPECT_EQ(u32At(b, 4028), 0x11u);
    EXPECT_EQ(b[4048], 0x44);
    EXPECT_EQ(b[4051], 0x11);
    EXPECT_EQ(b[4115], 0x7E);

    SettingsRecord back;
    std::memset(&back, 0xCC, sizeof back);
    decodeSettings(b.data(), b.size(), back);
    EXPECT_EQ(encoded(back), b);
}

TEST_F(SettingsFileTest, FirstStartCreatesTheFileAndExitWritesDefaultsWithFontSize) {
    EXPECT_EQ(loadSettings(app), 0);
    ASSERT_NE(app.shell.settingsHandle, kNoFile);
    ASSERT_TRUE(files.files.count(kSettingsPath));
    EXPECT_EQ(files.files[kSettingsPath].size(), 0u);

    app.view.requestedHeight = 20;
    app.view.requestedWidth = 10;
    EXPECT_EQ(saveSettings(app), 0);
    const auto& b = files.files[kSettingsPath];
    ASSERT_EQ(b.size(), kSettingsRecordSize);
    SettingsRecord expected = defaults();
    expected.fontHeight = 20;
    expected.fontWidth = 10;
    EXPECT_EQ(b, encoded(expected));
    EXPECT_EQ(files.openHandles(), 0);
    EXPECT_EQ(app.shell.settingsHandle, kNoFile);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(SettingsFileTest, ShortFileWithMagicOverlaysOnlyWhatItHolds) {
    SettingsRecord stored = defaults();
    stored.messageSwitches = 0x2700;      // offset 64
    stored.resolution = 8;                // offset 84
    stored.doubleClickAction = 2;         // offset 96, inside the 100 bytes
    stored.disassemblerOptions = 7;       // offset 100, beyond them
    std::strcpy(stored.fixedJournalPath, "/elsewhere/");
    std::vector<std::uint8_t> full = encoded(stored);
    files.files[kSettingsPath].assign(full.begin(), full.begin() + 100);

    EXPECT_EQ(loadSettings(app), 0);
    EXPECT_EQ(app.settings.messageSwitches, 0x2700u);
    EXPECT_EQ(app.settings.resolution, 8u);
    EXPECT_EQ(app.settings.doubleClickAction, 2u);
    EXPECT_EQ(app.settings.disassemblerOptions, 2u);
    EXPECT_EQ(pathFieldText(app.settings.fixedJournalPath), kFixedDefault);

    EXPECT_EQ(saveSettings(app), 0);
    EXPECT_EQ(files.files[kSettingsPath].size(), kSettingsRecordSize);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(SettingsFileTest, ForeignOrTinyFilesKeepTheDefaultsAndAreReplacedAtExit) {
    for (std::vector<std::uint8_t> content : {std::vector<std::uint8_t>(5000, 'x'),
                                              std::vector<std::uint8_t>{'e', 'h', 'e'}}) {
        files.files[kSettingsPath] = content;
        setSettingsDefaults(app.settings, kFixedDefault, kAlternativeDefault);
        app.settings.fontHeight = 99;  // would be overwritten if the file were taken
        EXPECT_EQ(loadSettings(app), 0);
        EXPECT_EQ(app.settings.fontHeight, 99u);
        EXPECT_EQ(app.settings.messageSwitches, 0xFFFFFFFFu);

        app.view.requestedHeight = 16;
        EXPECT_EQ(saveSettings(app), 0);
        const auto& b = files.files[kSettingsPath];
        ASSERT_EQ(b.size(), kSettingsRecordSize) << "the file must be the exact record image";
        EXPECT_EQ(u32At(b, 0), kSettingsMagic);
    }
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(SettingsFileTest, OpenReadAndWriteFailuresAreReported) {
    // Cannot be opened: silent at start, reported when written at exit.
    files.failOpen[kSettingsPath] = {5, EACCES};
    EXPECT_EQ(loadSettings(app), 1);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(saveSettings(app), 1);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Error writing " + kSettingsPath);
    EXPECT_EQ(platform.boxes[0].caption, "Access denied !");
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::OkCancel);
    files.failOpen.clear();

    // A read error after 60 bytes of the record: reported, and the 60 bytes
    // are taken over the defaults.
    SettingsRecord stored = defaults();
    stored.fontHeight = 24;    // offset 52, inside
    stored.resolution = 4;     // offset 84, outside
    files.files[kSettingsPath] = encoded(stored);
    files.failFromRead = 2;    // the magic is read, the record read fails
    files.readLimit = 60;
    files.ioError = {30, EIO};
    EXPECT_EQ(loadSettings(app), 1);
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].text, "Error reading " + kSettingsPath);
    EXPECT_EQ(platform.boxes[1].caption, "Read Error !");
    EXPECT_EQ(app.settings.fontHeight, 24u);
    EXPECT_EQ(app.settings.resolution, 1u);

    // A failed write at exit.
    files.failWrites = true;
    EXPECT_EQ(saveSettings(app), 1);
    ASSERT_EQ(platform.boxes.size(), 3u);
    EXPECT_EQ(platform.boxes[2].text, "Error writing " + kSettingsPath);
    EXPECT_EQ(platform.boxes[2].caption, "Drive full !");
    EXPECT_EQ(files.openHandles(), 0);

    // A write that stops short without a system error is a write error too,
    // whatever error was left from before.
    files.failWrites = false;
    files.writeLimit = 100;
    files.setLastError({33, EAGAIN});
    EXPECT_EQ(saveSettings(app), 1);
    ASSERT_EQ(platform.boxes.size(), 4u);
    EXPECT_EQ(platform.boxes[3].caption, "Write Error !");
}

TEST_F(SettingsFileTest, UnusableValuesFromTheFileAreMadeSafe) {
    SettingsRecord stored = defaults();
    stored.fontHeight = 0;
    stored.fontWidth = 100000;
    stored.resolution = 3;
    std::vector<std::uint8_t> b = encoded(stored);
    std::memset(b.data() + 128, 'a', 260);   // an unterminated path field
    std::memset(b.data() + 8, 'n', 40);      // an unterminated notice
    files.files[kSettingsPath] = b;

    EXPECT_EQ(loadSettings(app), 0);
    EXPECT_EQ(app.settings.fontHeight, 16u);
    EXPECT_EQ(app.settings.fontWidth, 8u);
    EXPECT_EQ(app.settings.resolution, 1u);
    EXPECT_EQ(pathFieldText(app.settings.fixedJournalPath), std::string(259, 'a'));
    EXPECT_EQ(app.settings.notice[39], 0);
}

TEST_F(SettingsFileTest, JournalDirectoriesAreCreatedWithParentsOrRemovedWhenUnused) {
    // Fixed path used (bit 0), alternative unused and empty: created / removed.
    files.directories.insert("/var/tmp/quorby-u");
    app.settings.journalLocation = kJournalFixedPath;
    prepareJournalDirectories(app);
    for (const char* d : {"/home/u/.local", "/home/u/.local/share", "/home/u/.local/share/quorby",
                          "/home/u/.local/share/quorby/journal"})
        EXPECT_TRUE(files.directories.count(d)) << d;
    EXPECT_FALSE(files.directories.count("/var/tmp/quorby-u"));

    // Unused but not empty: stays.
    files.directories.insert("/var/tmp/quorby-u");
    files.files["/var/tmp/quorby-u/~2x.bin.jnl"] = {1};
    prepareJournalDirectories(app);
    EXPECT_TRUE(files.directories.count("/var/tmp/quorby-u"));

    // A path without its closing '/' gets one, so journal names can follow it.
    std::strcpy(app.settings.alternativeJournalPath, "/var/tmp/journals");
    app.settings.journalLocation = kJournalFixedPath | kJournalAlternativePath;
    prepareJournalDirectories(app);
    EXPECT_EQ(pathFieldText(app.settings.alternativeJournalPath), "/var/tmp/journals/");
    EXPECT_TRUE(files.directories.count("/var/tmp/journals"));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(SettingsFileTest, AJournalDirectoryThatCannotBeMadeFallsBackToTheDefault) {
    std::strcpy(app.settings.fixedJournalPath, "/mnt/gone/journal/");
    files.failMakeDirectory["/mnt"] = {5, EACCES};
    app.settings.journalLocation = kJournalFixedPath;
    prepareJournalDirectories(app);
    EXPECT_EQ(pathFieldText(app.settings.fixedJournalPath), kFixedDefault);
    EXPECT_TRUE(files.directories.count("/home/u/.local/share/quorby/journal"));
}

TEST_F(SettingsFileTest, CheckSwitchesTheFixedPathOffWhenItCannotBeCreated) {
    std::strcpy(app.settings.fixedJournalPath, "/mnt/gone/");
    files.failMakeDirectory["/mnt"] = {5, EACCES};

    // Neither bit 0 nor bit 2: nothing is tried.
    app.settings.journalLocation = kJournalAlternativePath;
    checkJournalDirectory(app);
    EXPECT_EQ(files.makeDirectoryCalls, 0);
    EXPECT_TRUE(platform.boxes.empty());

    app.settings.journalLocation = kJournalNeverSameDrive | kJournalAlternativePath;
    checkJournalDirectory(app);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text,
              "The Directory for the Journal-Files could not be created !\n\nPlease choose another Directory !");
    EXPECT_EQ(platform.boxes[0].caption, "Error while Creating the Directory for the Journal-Files !");
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(app.settings.journalLocation, std::uint32_t(kJournalAlternativePath));
    // Switched off for this run only: the settings file keeps the bits, so
    // the next run tries the directory again.
    ASSERT_EQ(saveSettings(app), 0);
    const std::vector<std::uint8_t>& image = files.bytes(settingsFilePath(app));
    SettingsRecord saved;
    decodeSettings(image.data(), image.size(), saved);
    EXPECT_EQ(saved.journalLocation, std::uint32_t(kJournalNeverSameDrive | kJournalAlternativePath));

    // A file standing where the directory should be is a failure as well.
    std::strcpy(app.settings.fixedJournalPath, "/home/u/journal/");
    files.files["/home/u/journal"] = {};
    app.settings.journalLocation = kJournalFixedPath;
    checkJournalDirectory(app);
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(app.settings.journalLocation, 0u);

    // A directory that can be made: no box, bits kept.
    std::strcpy(app.settings.fixedJournalPath, "/home/u/j/");
    app.settings.journalLocation = kJournalFixedPath | kJournalNeverSameDrive;
    checkJournalDirectory(app);
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(app.settings.journalLocation, std::uint32_t(kJournalFixedPath | kJournalNeverSameDrive));
    EXPECT_TRUE(files.directories.count("/home/u/j"));
}

TEST_F(SettingsFileTest, ExitRemovesOnlyEmptyJournalDirectories) {
    files.directories.insert("/home/u/.local");
    files.directories.insert("/home/u/.local/share");
    files.directories.insert("/home/u/.local/share/quorby");
    files.directories.insert("/home/u/.local/share/quorby/journal");
    files.directories.insert("/var/tmp/quorby-u");
    files.files["/home/u/.local/share/quorby/journal/~2a.jnl"] = {1};
    removeEmptyJournalDirectories(app);
    EXPECT_TRUE(files.directories.count("/home/u/.local/share/quorby/journal"));
    EXPECT_FALSE(files.directories.count("/var/tmp/quorby-u"));
    EXPECT_TRUE(files.directories.count("/home/u/.local/share/quorby")) << "parents stay";
}

TEST_F(SettingsFileTest, DefaultJournalDirectoriesFollowTheUsersDirectories) {
    EXPECT_EQ(defaultFixedJournalDirFor("/x/data", "/home/u"), "/x/data/quorby/journal/");
    EXPECT_EQ(defaultFixedJournalDirFor("/x/data/", "/home/u"), "/x/data/quorby/journal/");
    EXPECT_EQ(defaultFixedJournalDirFor(nullptr, "/home/u/"), "/home/u/.local/share/quorby/journal/");
    EXPECT_EQ(defaultFixedJournalDirFor("relative/dir", "/home/u"), "/home/u/.local/share/quorby/journal/");
    EXPECT_EQ(defaultFixedJournalDirFor("", "/home/u"), "/home/u/.local/share/quorby/journal/");
    EXPECT_EQ(defaultFixedJournalDirFor(nullptr, "/"), "/.local/share/quorby/journal/");
    EXPECT_EQ(defaultFixedJournalDirFor(nullptr, nullptr), "");
    EXPECT_EQ(defaultAlternativeJournalDirFor("bob"), "/var/tmp/quorby-bob/");
    EXPECT_EQ(defaultAlternativeJournalDirFor("a/b"), "/var/tmp/quorby-a_b/");
    EXPECT_EQ(defaultAlternativeJournalDirFor(""), "");
}

TEST_F(SettingsFileTest, PathsThatDoNotFitTheirFieldAreRefusedNotCut) {
    char field[kPathFieldSize] = "/old";
    std::string fits(259, 'p');
    EXPECT_EQ(storePathField(app, field, fits), 0);
    EXPECT_EQ(pathFieldText(field), fits);
    EXPECT_TRUE(platform.boxes.empty());

    std::string tooLong(260, 'q');
    EXPECT_EQ(storePathField(app, field, tooLong), 1);
    EXPECT_EQ(pathFieldText(field), fits) << "the field is left as it was";
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_NE(platform.boxes[0].text.find(tooLong), std::string::npos);

    SettingsRecord s;
    setSettingsDefaults(s, tooLong, kAlternativeDefault);
    EXPECT_EQ(pathFieldText(s.fixedJournalPath), "");
    EXPECT_EQ(pathFieldText(s.alternativeJournalPath), kAlternativeDefault);
}

// The same start and exit on real files, through the system's file access.
TEST(SettingsOnDisk, StartAndExitOnRealFiles) {
    char pattern[] = "/tmp/quorby-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    PosixFileIo posix;
    FakePlatform platform;
    AppState app;
    app.platform = &platform;
    app.files = &posix;
    app.shell.programDirectory = root + "/config/quorby/";
    const std::string fixed = root + "/data/quorby/journal/";
    app.shell.defaultFixedJournalDir = fixed;
    app.shell.defaultAlternativeJournalDir = root + "/alt/";
    setSettingsDefaults(app.settings, fixed, root + "/alt/");

    ASSERT_EQ(makeDirectoryPath(app, app.shell.programDirectory), 0);
    EXPECT_EQ(loadSettings(app), 0);
    prepareJournalDirectories(app);
    checkJournalDirectory(app);
    EXPECT_TRUE(std::filesystem::is_directory(fixed));
    EXPECT_TRUE(platform.boxes.empty());

    app.view.requestedHeight = 18;
    app.settings.messageSwitches = 0x2700;
    EXPECT_EQ(saveSettings(app), 0);
    removeEmptyJournalDirectories(app);
    EXPECT_FALSE(std::filesystem::exists(fixed));

    const std::string dat = app.shell.programDirectory + "quorby.dat";
    ASSERT_EQ(std::filesystem::file_size(dat), kSettingsRecordSize);
    std::ifstream in(dat, std::ios::binary);
    std::vector<std::uint8_t> b(kSettingsRecordSize);
    in.read(reinterpret_cast<char*>(b.data()), kSettingsRecordSize);
    EXPECT_EQ(u32At(b, 0), kSettingsMagic);
    EXPECT_EQ(u32At(b, 52), 18u);
    EXPECT_EQ(u32At(b, 64), 0x2700u);

    // The next start reads it back.
    AppState next;
    next.platform = &platform;
    next.files = &posix;
    next.shell.programDirectory = app.shell.programDirectory;
    setSettingsDefaults(next.settings, fixed, root + "/alt/");
    EXPECT_EQ(loadSettings(next), 0);
    EXPECT_EQ(next.settings.fontHeight, 18u);
    EXPECT_EQ(next.settings.messageSwitches, 0x2700u);
    posix.close(next.shell.settingsHandle);

    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace quorby
