// Long operations in the real window against the batch mode, over the same
// 4 GiB sparse files: a text search that finds its pattern near the end of
// the file, and Find Differences between two such files that differ near
// their end. The window runs under its own Xvfb (with openbox when it is
// installed) and is driven with xdotool as a user drives it; both modes
// report how long the operation took through `quorby --timing FILE` (the
// window: the user action that started it, nested input included; the batch
// mode: the script command). Prints both wall times and their ratio, and, as
// a machine shared with other work stretches wall times, the processor time
// each used (the window's with the X server's share) and their ratio; then
// the medians over the runs.
//
// usage: bench_window_speed [--quorby PATH] [--dir DIR] [--runs N] [--gib N] [--keep]
//        (default: the quorby built beside the benchmark, /var/tmp/quorby-window-bench,
//        3 runs, 4 GiB)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kMark = "QuorbyBenchMark";

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool onPath(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A sparse file of `size` bytes with `tail` written `tailFromEnd` bytes before its end.
bool makeSparse(const std::string& path, std::uint64_t size, const std::string& tail, std::uint64_t tailFromEnd) {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return false;
    bool ok = ::ftruncate(fd, off_t(size)) == 0 &&
              ::pwrite(fd, tail.data(), tail.size(), off_t(size - tailFromEnd)) == ssize_t(tail.size());
    return ::close(fd) == 0 && ok;
}

// Reads the whole file (cat > /dev/null may skip the reading).
void readThrough(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    std::vector<char> block(1 << 20);
    while (::read(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
}

// The program built beside the benchmark (build/bench/X -> build/quorby).
std::string besideProgram() {
    char self[4096] = {};
    if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return "quorby";
    const std::string path(self);
    return path.substr(0, path.rfind('/')) + "/../quorby";
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

// The longest action in a --timing file ("wall cpu what") whose text contains
// `what`; zeros when none.
Timing timingOf(const std::string& path, const std::string& what) {
    std::istringstream lines(readText(path));
    Timing longest;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Timing t;
        std::string text;
        if (!(fields >> t.wall >> t.cpu) || !std::getline(fields, text) || text.find(what) == std::string::npos) continue;
        if (t.wall > longest.wall) longest = t;
    }
    return longest;
}

// The processor seconds a process has used so far (user and system).
double processSeconds(pid_t pid) {
    const std::string stat = readText("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t end = stat.rfind(')');
    if (end == std::string::npos) return 0;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::strtoull(field.c_str(), nullptr, 10);
        if (i == 15) system = std::strtoull(field.c_str(), nullptr, 10);
    }
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

class Desktop {
public:
    ~Desktop() {
        stop(windowManager_);
        stop(server_);
    }

    bool start(bool withWindowManager) {
        int fds[2];
        if (pipe(fds) != 0) return false;
        server_ = fork();
        if (server_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return false;
        display_ = ":" + number;
        if (!withWindowManager) return true;
        windowManager_ = spawn({"openbox"});
        for (int i = 0; i < 100; ++i) {
            if (run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos) return true;
            sleepMs(100);
        }
        return false;
    }

    pid_t server() const { return server_; }

    std::string run(const std::string& command) const {
        std::FILE* pipe = popen(("DISPLAY=" + display_ + " " + command + " 2>/dev/null").c_str(), "r");
        if (!pipe) return {};
        std::string out;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
        return out;
    }

    pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment = {}) const {
        std::vector<std::string> env = {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb"};
        env.insert(env.end(), environment.begin(), environment.end());
        const pid_t child = fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            for (std::string& e : env) putenv(e.data());
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        return child;
    }

    // The first visible window of `pid` whose name contains `name`; empty after 20 s.
    std::string windowOf(pid_t pid, const std::string& name) const {
        for (int i = 0; i < 200; ++i) {
            std::istringstream ids(
                run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name '" + name + "'"));
            std::string id;
            if (ids >> id) return id;
            sleepMs(100);
        }
        return {};
    }

    void keys(const std::string& window, const std::string& keys) const {
        run("xdotool windowactivate --sync " + window + " key --clearmodifiers " + keys);
    }
    void type(const std::string& window, const std::string& text) const {
        run("xdotool windowactivate --sync " + window + " type --delay 20 '" + text + "'");
    }

    static void stop(pid_t pid) {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) sleepMs(20);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }

    // Waits for the program to end by itself; kills it after `seconds`.
    static void waitForExit(pid_t pid, int seconds) {
        for (int i = 0; i < seconds * 50; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) != 0) return;
            sleepMs(20);
        }
        stop(pid);
    }

private:
    std::string display_;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
};

struct Setup {
    std::string quorby, dir, home, a, b, timing;
    std::vector<std::string> environment;  // the journal directories under `dir`
};

// One batch run of `script`; the time the timing file gives its command `what`.
Timing batchRun(const Setup& s, const std::string& script, const std::string& what, const std::string& expected) {
    const std::string scriptPath = s.dir + "/script.txt";
    const std::string transcript = s.dir + "/transcript.txt";
    std::ofstream(scriptPath) << script;
    std::remove(s.timing.c_str());
    std::string command;
    for (const std::string& e : s.environment) command += e + " ";
    command += "'" + s.quorby + "' --batch '" + scriptPath + "' --home '" + s.home + "' --timing '" + s.timing +
               "' > '" + transcript + "' 2>&1";
    if (std::system(command.c_str()) != 0 || readText(transcript).find(expected) == std::string::npos) {
        std::fprintf(stderr, "the batch run did not show \"%s\":\n%s\n", expected.c_str(), readText(transcript).c_str());
        std::exit(2);
    }
    return timingOf(s.timing, what);
}

// Waits until the timing file names an action of at least `atLeast` seconds;
// the X server's processor time from `serverBefore` on is added to it.
Timing waitForTiming(const Desktop& desktop, const Setup& s, double atLeast, int seconds, double serverBefore) {
    for (int i = 0; i < seconds * 20; ++i) {
        Timing t = timingOf(s.timing, " ");
        if (t.wall >= atLeast) {
            t.cpu += processSeconds(desktop.server()) - serverBefore;
            return t;
        }
        sleepMs(50);
    }
    return {};
}

pid_t startWindow(const Desktop& desktop, const Setup& s, std::string* window) {
    std::remove(s.timing.c_str());
    const pid_t pid = desktop.spawn({s.quorby, "--home", s.home, "--timing", s.timing, s.a}, s.environment);
    *window = desktop.windowOf(pid, "a.bin");
    sleepMs(500);
    return pid;
}

void quitWindow(const Desktop& desktop, pid_t pid, const std::string& window) {
    desktop.keys(window, "ctrl+x");
    Desktop::waitForExit(pid, 20);
}

Timing windowSearch(const Desktop& desktop, const Setup& s) {
    std::string window;
    const pid_t pid = startWindow(desktop, s, &window);
    if (window.empty()) return {};
    desktop.keys(window, "ctrl+f");
    const std::string find = desktop.windowOf(pid, "Find TEXT");
    if (find.empty()) return {};
    desktop.type(find, kMark);
    sleepMs(300);
    std::remove(s.timing.c_str());
    const double serverBefore = processSeconds(desktop.server());
    desktop.keys(find, "Return");
    const Timing t = waitForTiming(desktop, s, 0.2, 600, serverBefore);
    desktop.keys(find, "Escape");
    sleepMs(200);
    quitWindow(desktop, pid, window);
    return t;
}

Timing windowDifferences(const Desktop& desktop, const Setup& s) {
    std::string window;
    const pid_t pid = startWindow(desktop, s, &window);
    if (window.empty()) return {};
    desktop.keys(window, "alt+c f");
    const std::string chooser = desktop.windowOf(pid, "Open File to compare to");
    if (chooser.empty()) return {};
    desktop.type(chooser, s.b);
    desktop.keys(chooser, "Return");
    sleepMs(1000);
    std::remove(s.timing.c_str());
    const double serverBefore = processSeconds(desktop.server());
    desktop.keys(window, "ctrl+u");
    const Timing t = waitForTiming(desktop, s, 0.2, 600, serverBefore);
    quitWindow(desktop, pid, window);
    return t;
}

// ESC typed into the window while Find Differences runs: the seconds until
// the question "Interrupt ?" is on the screen (answered Yes); 0 when it did
// not come.
double windowEscape(const Desktop& desktop, const Setup& s) {
    std::string window;
    const pid_t pid = startWindow(desktop, s, &window);
    if (window.empty()) return 0;
    desktop.keys(window, "alt+c f");
    const std::string chooser = desktop.windowOf(pid, "Open File to compare to");
    if (chooser.empty()) return 0;
    desktop.type(chooser, s.b);
    desktop.keys(chooser, "Return");
    sleepMs(1000);
    desktop.keys(window, "ctrl+u");
    sleepMs(300);
    const auto typed = std::chrono::steady_clock::now();
    desktop.keys(window, "Escape");
    const std::string question = desktop.windowOf(pid, "Interrupt ?");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - typed).count();
    if (!question.empty()) desktop.keys(question, "Return");
    sleepMs(300);
    quitWindow(desktop, pid, window);
    return question.empty() ? 0 : seconds;
}

// The medians of the wall and of the processor times.
Timing median(const std::vector<Timing>& runs) {
    std::vector<double> wall, cpu;
    for (const Timing& t : runs) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return runs.empty() ? Timing{} : Timing{wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    Setup s;
    s.quorby = besideProgram();
    s.dir = "/var/tmp/quorby-window-bench";
    int runs = 3;
    std::uint64_t gib = 4;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quorby") == 0 && i + 1 < argc) s.quorby = argv[++i];
        else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) s.dir = argv[++i];
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--gib") == 0 && i + 1 < argc) gib = std::strtoull(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--keep") == 0) keep = true;
    }
    for (const char* tool : {"Xvfb", "xdotool", "xprop"}) {
        if (!onPath(tool)) {
            std::fprintf(stderr, "%s is missing (Debian: xvfb xdotool x11-utils); nothing measured\n", tool);
            return 2;
        }
    }
    const bool openbox = onPath("openbox");
    std::system(("mkdir -p '" + s.dir + "/home' '" + s.dir + "/data'").c_str());
    s.home = s.dir + "/home";
    s.a = s.dir + "/a.bin";
    s.b = s.dir + "/b.bin";
    s.timing = s.dir + "/timing.txt";
    s.environment = {"XDG_DATA_HOME=" + s.dir + "/data"};

    // The same content in both files but one byte 100 bytes before their end;
    // the pattern lies 64 KiB before the end.
    const std::uint64_t size = gib << 30;
    std::string tail(65536, 'x');
    tail.replace(0, std::strlen(kMark), kMark);
    std::string other = tail;
    other[tail.size() - 100] = 'y';
    if (!makeSparse(s.a, size, tail, tail.size()) || !makeSparse(s.b, size, other, other.size())) {
        std::fprintf(stderr, "cannot write the files in %s\n", s.dir.c_str());
        return 2;
    }
    const std::uint64_t markPos = size - tail.size();
    const std::uint64_t differencePos = size - 100;
    char found[64], difference[64];
    std::snprintf(found, sizeof found, "SEARCH FOUND 0x%llX", static_cast<unsigned long long>(markPos));
    std::snprintf(difference, sizeof difference, "COMPARE DIFFERENCE 0x%llX",
                  static_cast<unsigned long long>(differencePos));

    // Into the page cache (a hole read for the first time costs the kernel
    // more than every later read), so that every run reads alike.
    for (const std::string& path : {s.a, s.b}) readThrough(path);

    // The welcome question and the compare hint answered No once: they stay off.
    batchRun(s, "answer no\nopen " + s.a + "\nanswer no\ncompare " + s.b + "\nquit\n", "quit", "quit");

    Desktop desktop;
    if (!desktop.start(openbox)) {
        std::fprintf(stderr, "Xvfb%s did not start\n", openbox ? " or openbox" : "");
        return 2;
    }
    std::printf("quorby: %s\nfiles: 2 x %llu GiB sparse in %s; window under Xvfb%s\n", s.quorby.c_str(),
                static_cast<unsigned long long>(gib), s.dir.c_str(), openbox ? " with openbox" : " (no openbox)");
    std::printf("\n%-18s %4s %9s %9s %7s %9s %9s %7s\n", "operation", "run", "batch s", "window s", "ratio",
                "batch cpu", "win cpu", "ratio");
    std::vector<Timing> batchSearch, winSearch, batchDiff, winDiff;
    // A first run of each, not counted: the first reads of the files after
    // they were made take several times as long.
    const std::string searchScript = "open " + s.a + "\nsearch text " + kMark + "\nquit\n";
    const std::string differencesScript = "open " + s.a + "\ncompare " + s.b + "\ndifferences\nquit\n";
    batchRun(s, searchScript, "search", found);
    batchRun(s, differencesScript, "differences", difference);
    auto row = [](const char* label, int run, const Timing& batch, const Timing& window) {
        std::printf("%-18s %4d %9.3f %9.3f %7.2f %9.3f %9.3f %7.2f\n", label, run, batch.wall, window.wall,
                    window.wall / batch.wall, batch.cpu, window.cpu, window.cpu / batch.cpu);
        std::fflush(stdout);
    };
    for (int run = 1; run <= runs; ++run) {
        batchSearch.push_back(batchRun(s, searchScript, "search", found));
        winSearch.push_back(windowSearch(desktop, s));
        row("search", run, batchSearch.back(), winSearch.back());
    }
    for (int run = 1; run <= runs; ++run) {
        batchDiff.push_back(batchRun(s, differencesScript, "differences", difference));
        winDiff.push_back(windowDifferences(desktop, s));
        row("Find Differences", run, batchDiff.back(), winDiff.back());
    }
    const double escape = windowEscape(desktop, s);
    if (escape > 0) std::printf("\nESC during Find Differences in the window: \"Interrupt ?\" after %.3f s\n", escape);
    else std::printf("\nESC during Find Differences in the window: no \"Interrupt ?\" seen\n");
    std::printf("\nmedians\n");
    row("search", 0, median(batchSearch), median(winSearch));
    row("Find Differences", 0, median(batchDiff), median(winDiff));
    if (!keep) {
        std::remove(s.a.c_str());
        std::remove(s.b.c_str());
    }
    return 0;
}
