// Writing changes into the Main File through the batch mode: "Save &File"
// from the menu and from the exit question, "Restore Original File", a loop
// device as the Main File, and a program killed while it writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "e2e_support.h"
#include "tests/support/loop_device.h"

namespace quorby::e2e {
namespace {

// Journal Files go below the test's own directory.
class WriteSession : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home");
    void SetUp() override { setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1); }
};

std::string pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = char(i * 7 + 3);
    return s;
}

TEST_F(WriteSession, SaveFileFromTheMenuAndTheExitQuestionThenRestore) {
    const std::string data = dir.file("data.bin");
    const std::string original = pattern(2048);
    writeFile(data, original);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "type AB\n"
                                "answer yes\n"
                                "command \"Save &File\"\n"
                                "key PageDown\n"
                                "type CD\n"
                                "answer yes yes\n"  // "Write File?" and "Save Journal-File ?" at the exit
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "MESSAGE Write File? | " + data), 2) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "WINDOW Please wait ... opened | Lasting a while ..."), 2);
    std::string want = original;
    want[0] = char(0xAB);
    want[513] = char(0xCD);
    EXPECT_EQ(readFile(data), want);

    // Next run: the kept Journal File brings the original back.
    run = runInProcess("open " + data + "\n"
                       "command \"Restore Original File\"\n"
                       "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(readFile(data), original);
}

std::string readDevice(const std::string& device, std::size_t size) {
    std::string bytes(size, '\0');
    int fd = open(device.c_str(), O_RDONLY);
    if (fd < 0) return "";
    ssize_t got = pread(fd, bytes.data(), size, 0);
    close(fd);
    return got == ssize_t(size) ? bytes : "";
}

// Another program shortens the Main File while a change of a page beyond its
// new end waits in the journal: Save File writes the changes that still fit
// and says which do not; once the file is long again they are written too.
TEST_F(WriteSession, ChangesBeyondAShortenedEndWaitUntilTheFileIsLongAgain) {
    const std::string data = dir.file("shrunk.bin");
    const std::string original = pattern(4096);
    writeFile(data, original);
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "type AB\n"
                                "key Enter\n"
                                "key PageDown*3\n"
                                "type CD\n"
                                "key Enter\n"
                                "answer no yes\n"  // no Save File at the exit; the Journal File is kept
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    ASSERT_EQ(readFile(data), original);
    ASSERT_EQ(::truncate(data.c_str(), 1000), 0);

    run = runInProcess("open " + data + "\n"
                       "answer yes\n"
                       "command \"Save &File\"\n"
                       "answer no yes\n"
                       "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(countOccurrences(run.transcript, "MESSAGE File has been changed !"), 1) << run.transcript;
    EXPECT_TRUE(run.has("MESSAGE Main File changed ! | The Main File is shorter than the Changes in the Journal-File !"
                        "\\n\\n1 changed Page(s) from 0x600 on lie beyond its End and have not been written.\\n\\n"
                        "To write them, enlarge the File to 0x800 Bytes and save again;"))
        << run.transcript;
    std::string want = original.substr(0, 1000);
    want[0] = char(0xAB);
    EXPECT_TRUE(readFile(data) == want);

    // Made long again by another program: the waiting change is written.
    ASSERT_EQ(::truncate(data.c_str(), 4096), 0);
    run = runInProcess("open " + data + "\n"
                       "answer yes\n"
                       "command \"Save &File\"\n"
                       "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_FALSE(run.has("Main File changed !")) << run.transcript;
    // The page holds what was shown when it was typed: its bytes then, and CD.
    want.resize(4096, '\0');
    want.replace(0x600, 512, original, 0x600, 512);
    want[0x601] = char(0xCD);
    EXPECT_TRUE(readFile(data) == want);
}

TEST_F(WriteSession, LoopDeviceSaveFileAndRestore) {
    const std::string image = dir.file("drive.img");
    const std::string original = pattern(64 * 1024);
    writeFile(image, original);
    testing::LoopDevice loop(image);
    if (loop.device().empty()) GTEST_SKIP() << loop.skipReason();

    BatchRun run = runInProcess("answer no\n"
                                "answer yes\n"  // "Writing directly ..." warning of a writable drive
                                "drive " + loop.device() + "\n"
                                "type 1122\n"
                                "key PageDown\n"
                                "type 33\n"
                                "answer yes\n"
                                "command \"Save &File\"\n"
                                "answer yes\n"  // "Save Journal-File ?"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    std::string want = original;
    want[0] = char(0x11);
    want[1] = char(0x22);
    want[514] = char(0x33);
    EXPECT_EQ(readDevice(loop.device(), original.size()), want) << run.transcript;

    run = runInProcess("answer yes\n"
                       "drive " + loop.device() + "\n"
                       "command \"Restore Original File\"\n"
                       "quit\n",
                       home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(readDevice(loop.device(), original.size()), original) << run.transcript;
}

// Starts `quorby --batch script` and returns its process id.
pid_t startProgram(const std::string& script, const std::string& home, const std::string& output) {
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        execl(QUORBY_BINARY, QUORBY_BINARY, "--batch", script.c_str(), "--home", home.c_str(), (char*)nullptr);
        _exit(127);
    }
    return pid;
}

TEST_F(WriteSession, KilledWhileWritingEveryChangeIsWrittenOrStillInTheJournal) {
    // Every page of the file gets one changed byte; "Save &File" is killed
    // as soon as change `killAfter` (in its second chunk of records)
    // reached the Main File. A second run finds the Journal File, and its
    // "Save &File" finishes the job.
    // Typing moves the cursor one byte on, Page Down 512 bytes: change k
    // lies at k * 513.
    const int pages = 1500;
    const int killAfter = 1100;
    const std::size_t size = (std::size_t(pages) * 513 / 512 + 4) * 512;
    const std::string data = dir.file("big.bin");
    writeFile(data, std::string(size, '\0'));
    std::string script = "answer no\nopen " + data + "\n";
    for (int k = 0; k < pages; ++k) script += "type 41\nkey PageDown\n";
    script += "answer yes\ncommand \"Save &File\"\n";
    for (int k = 0; k < 3000; ++k) script += "print state\n";
    script += "quit\n";
    writeFile(dir.file("first.txt"), script);

    pid_t pid = startProgram(dir.file("first.txt"), home, dir.file("first.out"));
    ASSERT_GT(pid, 0);
    int fd = open(data.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    char first = 0;
    int status = 0;
    bool exited = false;
    while (std::chrono::steady_clock::now() < deadline) {
        if (pread(fd, &first, 1, off_t(killAfter) * 513) == 1 && first == 0x41) break;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    close(fd);
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(WIFSIGNALED(status)) << "the program ended before it was killed:\n" << readFile(dir.file("first.out"));

    std::string want(size, '\0');
    for (int k = 0; k < pages; ++k) want[std::size_t(k) * 513] = 0x41;
    const std::string cut = readFile(data);
    int written = 0;
    for (int k = 0; k < pages; ++k) written += cut[std::size_t(k) * 513] == 0x41;
    for (std::size_t i = 0; i < size; ++i)
        ASSERT_TRUE(cut[i] == want[i] || cut[i] == 0) << "byte " << i << " is neither old nor new";
    std::printf("killed with %d of %d pages written\n", written, pages);

    // The Main File was changed after the journal's header was last
    // written, but the journal says the program itself was writing: the
    // opening asks nothing and uses the Journal File as it is. The killed run
    // never saved its settings: the welcome question again.
    BatchRun run = runInProcess("answer no\n"
                                "open " + data + "\n"
                                "answer yes\n"
                                "command \"Save &File\"\n"
                                "answer no\n"
                                "quit\n",
                                home);
    ASSERT_EQ(run.status, 0) << run.transcript;
    EXPECT_EQ(run.transcript.find("File has been changed !"), std::string::npos) << run.transcript;
    EXPECT_TRUE(readFile(data) == want) << run.transcript;
}

}  // namespace
}  // namespace quorby::e2e
