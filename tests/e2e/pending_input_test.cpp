// Input that arrives while a long operation runs: the batch session hands one
// pending event to each poll, and a typed ESC leads to the question whether
// to stop, answered from the script's queue.
#include <gtest/gtest.h>

#include <string>

#include "batch/batch_session.h"
#include "e2e_support.h"
#include "platform/posix/posix_file_io.h"
#include "state/progress.h"

namespace quorby::e2e {
namespace {

InputEvent key(InputEvent::Kind kind, Key k) {
    InputEvent e;
    e.kind = kind;
    e.key = k;
    return e;
}

InputEvent wait(int polls) {
    InputEvent e;
    e.kind = InputEvent::Kind::Wait;
    e.count = polls;
    return e;
}

TEST(PendingInput, EscapeDuringALongOperationAnsweredNoThenYes) {
    MemoryTranscript out;
    int stoppedAt = 0;
    {
        PosixFileIo files;
        BatchSession session(out.file(), files);
        HeadlessPlatform& platform = session.platform();
        platform.queuePendingInput(wait(3));
        platform.queuePendingInput(key(InputEvent::Kind::KeyDown, Key::Escape));
        platform.queuePendingInput(key(InputEvent::Kind::KeyUp, Key::Escape));
        platform.queuePendingInput(wait(2));
        platform.queuePendingInput(key(InputEvent::Kind::KeyDown, Key::Escape));
        platform.queuePendingInput(key(InputEvent::Kind::KeyUp, Key::Escape));
        platform.queueAnswer({AnswerWord::No, false});
        platform.queueAnswer({AnswerWord::Yes, false});

        startProgress(session.app(), kTitleUndoAll);
        for (int poll = 1; poll <= 50 && stoppedAt == 0; ++poll)
            if (pollProgress(session.app())) stoppedAt = poll;
        EXPECT_EQ(platform.pendingInputCount(), 1u);  // the last key up is still waiting
        EXPECT_EQ(platform.queuedAnswers(), 0u);
    }
    std::string transcript = out.text();

    // Polls: 3 idle, key down, ESC (No), key up, 2 idle, key down, ESC (Yes).
    EXPECT_EQ(stoppedAt, 10) << transcript;
    const std::string question = "MESSAGE Interrupt ? | Shall this Action be interrupted ? | [yes]/no -> ";
    EXPECT_NE(transcript.find(question + "no\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find(question + "yes\n"), std::string::npos) << transcript;
    EXPECT_LT(transcript.find(question + "no\n"), transcript.find(question + "yes\n"));
    EXPECT_EQ(countOccurrences(transcript, "PENDING char 27\n"), 2);
}

}  // namespace
}  // namespace quorby::e2e
