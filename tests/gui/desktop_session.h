#pragma once
// A desktop of its own for the window tests: an Xvfb X server on a display
// number it picks itself, the openbox window manager on it, the quorby
// program started there as a user starts it, and the tools a user's eye is
// replaced with: xdotool (find windows, press keys), xwininfo and xprop
// (where a window and its frame are), and screen grabs.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace quorby::testing {

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }   // exclusive
    int bottom() const { return y + height; }  // exclusive
};

inline bool onPath(const char* tool) {
    const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The tools the desktop needs (Debian: xvfb, openbox, xdotool, x11-utils).
inline std::string missingDesktopTools() {
    std::string missing;
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xwininfo", "xprop"})
        if (!onPath(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
    return missing;
}

class DesktopSession {
public:
    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 1024;

    // Starts the X server with a screen of that size and the window manager;
    // false when either failed.
    bool start(int width = kScreenWidth, int height = kScreenHeight) {
        width_ = width;
        height_ = height;
        int fds[2];
        if (pipe(fds) != 0) return false;
        server_ = fork();
        if (server_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            const int null = ::open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
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
        windowManager_ = spawn({"openbox"}, {});
        // openbox names itself on the root window once it manages windows.
        for (int i = 0; i < 100; ++i) {
            if (run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos) return true;
            sleepMs(100);
        }
        return false;
    }

    ~DesktopSession() {
        app_.reset();
        stop(windowManager_);
        stop(server_);
    }

    const std::string& display() const { return display_; }
    int screenWidth() const { return width_; }
    int screenHeight() const { return height_; }

    // A command line run on this display; its standard output.
    std::string run(const std::string& command) const {
        const std::string line = "DISPLAY=" + display_ + " " + command + " 2>/dev/null";
        std::FILE* pipe = popen(line.c_str(), "r");
        if (!pipe) return {};
        std::string out;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
        return out;
    }

    // Starts a program on this display (the window of the quorby program
    // under test gets the real X11 platform, whatever the test's own is).
    pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment) const {
        std::vector<std::string> env = {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb", "ASAN_OPTIONS=detect_leaks=0"};
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

    // Waits for a program to end by itself; its exit status, or -1 (then it
    // is killed) when it is still running after `seconds`.
    static int waitForExit(pid_t pid, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int raw = 0;
        while (waitpid(pid, &raw, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                stop(pid);
                return -1;
            }
            sleepMs(20);
        }
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    static void stop(pid_t pid) {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) sleepMs(20);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, WNOHANG);
    }

    // The first visible window of a process whose name contains `name`.
    std::string windowOf(pid_t pid, const std::string& name, int seconds = 20) const {
        for (int i = 0; i < seconds * 10; ++i) {
            std::istringstream ids(run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name '" +
                                       name + "'"));
            std::string id;
            if (ids >> id) return id;
            sleepMs(100);
        }
        return {};
    }

    std::string windowName(const std::string& window) const {
        std::string name = run("xdotool getwindowname " + window);
        while (!name.empty() && name.back() == '\n') name.pop_back();
        return name;
    }

    // The client area of a window on the screen.
    ScreenRect clientArea(const std::string& window) const {
        const std::string info = run("xwininfo -id " + window);
        ScreenRect r;
        r.x = field(info, "Absolute upper-left X:");
        r.y = field(info, "Absolute upper-left Y:");
        r.width = field(info, "Width:");
        r.height = field(info, "Height:");
        return r;
    }

    // The client area with the window manager's frame (title bar, borders).
    ScreenRect frameArea(const std::string& window) const {
        ScreenRect r = clientArea(window);
        const std::string extents = run("xprop -id " + window + " _NET_FRAME_EXTENTS");
        int left = 0, right = 0, top = 0, bottom = 0;
        const std::size_t at = extents.find('=');
        if (at != std::string::npos) std::sscanf(extents.c_str() + at + 1, " %d, %d, %d, %d", &left, &right, &top, &bottom);
        return ScreenRect{r.x - left, r.y - top, r.width + left + right, r.height + top + bottom};
    }

    // True while the window is mapped and shown.
    bool viewable(const std::string& window) const {
        return run("xwininfo -id " + window).find("IsViewable") != std::string::npos;
    }
    // Waits until the window is gone from the screen; false when it stays.
    bool waitGone(const std::string& window, int seconds = 10) const {
        for (int i = 0; i < seconds * 10; ++i) {
            if (!viewable(window)) return true;
            sleepMs(100);
        }
        return false;
    }
    // The visible windows of a process, as xdotool lists them.
    std::vector<std::string> windowsOf(pid_t pid) const {
        std::istringstream ids(run("xdotool search --all --onlyvisible --pid " + std::to_string(pid) + " --name ''"));
        std::vector<std::string> all;
        for (std::string id; ids >> id;) all.push_back(id);
        return all;
    }
    // Moves a window's frame as a user drags it.
    void moveWindow(const std::string& window, int x, int y) const {
        run("xdotool windowmove --sync " + window + " " + std::to_string(x) + " " + std::to_string(y));
    }

    void keys(const std::string& window, const std::string& keys) const {
        run("xdotool windowactivate --sync " + window + " key --clearmodifiers " + keys);
    }
    void type(const std::string& window, const std::string& text) const {
        run("xdotool windowactivate --sync " + window + " type --delay 20 '" + text + "'");
    }

    // The whole screen as the user sees it.
    QImage grabScreen() {
        if (!app_) {
            qputenv("DISPLAY", display_.c_str());
            static char name[] = "test_gui";
            static char platformOption[] = "-platform";
            static char platform[] = "xcb";
            static char* argv[] = {name, platformOption, platform, nullptr};
            argc_ = 3;
            app_ = std::make_unique<QGuiApplication>(argc_, argv);
        }
        return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    }

    // The window with its frame as the screen shows it, saved as PNG.
    bool saveShot(const std::string& window, const std::string& path) {
        const ScreenRect f = frameArea(window);
        const QImage screen = grabScreen();
        return screen.copy(f.x, f.y, f.width, f.height).save(QString::fromStdString(path), "PNG");
    }

    static void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

private:
    static int field(const std::string& text, const std::string& label) {
        const std::size_t at = text.find(label);
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + label.size());
    }

    std::string display_;
    int width_ = kScreenWidth;
    int height_ = kScreenHeight;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    int argc_ = 0;
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace quorby::testing
