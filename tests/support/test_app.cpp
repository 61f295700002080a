#include "tests/support/test_app.h"


namespace quorby::testing {

TestApp::TestApp(char blank, Colour blankBackground) : platform(blank, blankBackground) {
    app.platform = &platform;
    app.files = &io;
}

TestApp::~TestApp() { closeFiles(); }

void TestApp::useRealFiles() { io.real = &disk; }

void TestApp::useDefaultSettings(const std::string& fixedJournalDir, const std::string& altJournalDir) {
    setSettingsDefaults(app.settings, fixedJournalDir, altJournalDir);
    app.settings.messageSwitches = 0;
}

void TestApp::createFile(const std::string& path, const std::vector<std::uint8_t>& bytes) { io.bytes(path) = bytes; }

FileHandle TestApp::openMain(const std::string& path, OpenMode mode, MainKind kind) {
    FileHandle h = kNoFile;
    FilePos size = 0;
    EXPECT_EQ(app.files->open(path, mode, &h), 0) << path;
    EXPECT_EQ(app.files->size(h, &size), 0) << path;
    app.main.mainHandle = h;
    app.main.mainName = path;
    app.main.mainKind = kind;
    app.main.fileSize = size;
    app.main.lastBytePos = size == 0 ? 0 : size - 1;
    forgetUnreadable(app.main.unreadable, app.files->sectorSize(h));
    (void)app.files->lastWriteTime(h, &app.main.mainTime);  // as the opening takes it
    return h;
}

FileHandle TestApp::openJournal(const std::string& path, OpenMode mode) {
    FileHandle h = kNoFile;
    EXPECT_EQ(app.files->open(path, mode, &h), 0) << path;
    attachJournal(app.journal, *app.files, h, path);
    useRollbackFile(app.journal);
    reportJournalFailuresTo(app.journal, app);
    EXPECT_EQ(recreateJournal(app.journal, app.main.mainName), 0);
    return h;
}

int TestApp::show(FilePos pagePos) {
    prepareScrollMapping(app);
    return loadPagePair(app, pagePos);
}

void TestApp::reopenMain(OpenMode mode) {
    const std::string path = app.main.mainName;
    const MainKind kind = app.main.mainKind;
    io.close(app.main.mainHandle);
    app.main.mainHandle = kNoFile;
    forgetCursorRecords(app);
    app.records.jReadFlag = 0;
    openMain(path, mode, kind);
    show();
}

void TestApp::endCommand() { (void)endCommandInJournal(app); }

void TestApp::type(const std::string& keys) {
    for (char c : keys) enterChar(app, static_cast<unsigned char>(c));
    endCommand();
}

void TestApp::press(int command) {
    dispatchCommand(app, command);
    endCommand();
}

void TestApp::closeFiles() {
    if (app.journal.handle != kNoFile) app.files->close(app.journal.handle);
    if (app.main.mainHandle != kNoFile) app.files->close(app.main.mainHandle);
    app.journal.handle = kNoFile;
    app.main.mainHandle = kNoFile;
}

}  // namespace quorby::testing
