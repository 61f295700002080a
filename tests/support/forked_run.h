#pragma once
// Runs a piece of a test in a forked child with an alarm, so that a crash
// (a sanitizer report) or a hang is counted for that one case instead of
// ending the whole test program. The child hands back a trivially copyable
// outcome through a pipe; its standard error can be kept for the report.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <type_traits>

#include "tests/support/temp_dir.h"

namespace quorby::testing {

enum class Ending { Done, Crashed, Hung };

// `work` runs in the child for at most `alarmSeconds`; *result gets its
// outcome when it ends normally. With `errors`, the child's standard error
// is kept there.
template <typename Outcome>
Ending runForked(const std::function<Outcome()>& work, unsigned alarmSeconds, Outcome* result,
                 std::string* errors = nullptr) {
    static_assert(std::is_trivially_copyable_v<Outcome>, "the outcome crosses a pipe as bytes");
    int fds[2];
    if (pipe(fds) != 0) return Ending::Crashed;
    std::FILE* err = errors ? std::tmpfile() : nullptr;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (err) dup2(fileno(err), 2);
        alarm(alarmSeconds);
        const Outcome o = work();
        const ssize_t written = write(fds[1], &o, sizeof o);
        _exit(written == ssize_t(sizeof o) ? 0 : 3);
    }
    close(fds[1]);
    Outcome o{};
    const ssize_t got = read(fds[0], &o, sizeof o);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (err) {
        *errors = fileText(err);
        std::fclose(err);
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return Ending::Hung;
    if (got != ssize_t(sizeof o) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return Ending::Crashed;
    *result = o;
    return Ending::Done;
}

}  // namespace quorby::testing
