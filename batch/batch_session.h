#pragma once
// One run of a parsed batch script: the application state, the headless
// platform and the file access, and the execution of each command.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "app/startup.h"
#include "batch/batch_script.h"
#include "platform/headless/headless_platform.h"
#include "state/app_state.h"

namespace quorby {

class BatchSession {
public:
    // `files` is the file access the program runs with (PosixFileIo in the
    // program, others in tests).
    BatchSession(std::FILE* transcript, FileIo& files);

    // Runs the commands: the queueing lines at the head of the script first
    // (so that they answer the questions of the start), then the start-up,
    // then the rest, then the exit sequence unless the script quit itself.
    // Returns 0, or 1 after a script error (the exit sequence still runs).
    int run(const std::vector<BatchCommand>& commands, const StartOptions& options);

    AppState& app() { return *app_; }
    HeadlessPlatform& platform() { return platform_; }

private:
    int execute(const BatchCommand& cmd, std::string* error);
    int queue(const BatchCommand& cmd, std::string* error);
    int print(const BatchCommand& cmd, std::string* error);
    int expect(const BatchCommand& cmd, std::string* error);
    void pressKey(const KeyStroke& stroke, bool release);
    void click(const BatchCommand& cmd);
    void drag(const BatchCommand& cmd);
    void exitProgram(bool byQuitCommand);
    // The user acts in an open modeless window; the window sends its event
    // to the logic as the window system would.
    int actInWindow(const ModelessAction& action, std::string* error);
    // `search`: the find dialog opened in its mode (unless it is open in it),
    // filled, Find Next pressed, and the outcome written.
    int search(const BatchCommand& cmd, std::string* error);
    // `replace`: the find dialog in its replace layout, filled, Replace or
    // Replace All pressed, and the outcome written.
    int replace(const BatchCommand& cmd, std::string* error);
    // The find dialog opened (in the replace layout or in the command's
    // mode) unless it is open so, and the command's values set in it.
    int fillFindDialog(const BatchCommand& cmd, bool replaceLayout, std::string* error);
    int pressInFindDialog(int button, std::string* error);
    void writeSearchOutcome();
    void findDifferences();
    void printChecksums(unsigned algorithms);
    // After every action: posted popup commands, errors found by the
    // platform, and pending input that no long operation took.
    int settle(std::string* error);
    bool dispatchPending(const InputEvent& event);
    void reportError(int line, const std::string& message);

    std::FILE* transcript_;
    FileIo& files_;
    std::unique_ptr<AppState> app_;
    HeadlessPlatform platform_;
    DialogAnswer dialogAnswer_;
    bool dialogAnswerOpen_ = false;
    KeyStroke held_;
    bool exited_ = false;
};

}  // namespace quorby
