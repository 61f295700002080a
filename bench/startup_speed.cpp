// Start-up time of the command-line tools and the batch mode, as whole
// processes, beside `xxd --version`: each command runs many times in turn
// (so that a busy moment of the machine hits all of them alike), standard
// output and error to /dev/null, and the median and the fastest run are
// printed with the ratio of the median to xxd's. The program's own tools
// should start within 3x of xxd: scripts call the batch mode thousands of
// times.
//
//   bench_startup_speed [QUORBY] [RUNS]
//
// QUORBY defaults to the quorby of this build, RUNS to 200. It also runs each
// command once with LD_DEBUG=libs and names any Qt library the dynamic loader
// loaded for it (none is expected).
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Case {
    std::string name;
    std::vector<std::string> args;
    std::vector<double> millis;
};

// Runs args with standard input from `input`, standard output to /dev/null
// and standard error to `errors`; returns the exit status (-1 when killed).
int runOnce(const std::vector<std::string>& args, const char* input, const char* errors, bool loaderLog) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        const int in = open(input, O_RDONLY);
        const int out = open("/dev/null", O_WRONLY);
        const int err = open(errors, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (loaderLog) setenv("LD_DEBUG", "libs", 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The Qt libraries the loader names in an LD_DEBUG=libs log, each once.
std::vector<std::string> qtLibraries(const std::string& logPath) {
    std::ifstream log(logPath);
    std::vector<std::string> found;
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t at = line.find("find library=libQt");
        if (at == std::string::npos) continue;
        std::string name = line.substr(at + 13);
        name = name.substr(0, name.find(' '));
        if (name.back() == ';') name.pop_back();
        if (std::find(found.begin(), found.end(), name) == found.end()) found.push_back(name);
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string quorby = argc > 1 ? argv[1] : QUORBY_BINARY;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    char dirTemplate[] = "/tmp/quorby-startup-XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    const std::string home = dir + "/home", script = dir + "/script.txt", code = dir + "/code.bin",
                      journal = dir + "/empty.jnl", errors = dir + "/errors.txt";
    std::system(("mkdir -p '" + home + "'").c_str());
    writeText(script, "answer no\nprint row 0\nquit\n");
    // A few x86 instructions: push ebp; mov ebp,esp; xor eax,eax; pop ebp; ret.
    writeText(code, std::string("\x55\x89\xE5\x31\xC0\x5D\xC3", 7));
    // A Journal File with one record, made by the program itself: a batch
    // session changes one byte and quits without writing it into the file,
    // keeping the Journal File.
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    writeText(dir + "/main.bin", std::string(1024, 'a'));
    writeText(dir + "/make-journal.txt", "answer no\nopen " + dir + "/main.bin\ntype 41\nkey Enter\nanswer no yes\nquit\n");
    runOnce({quorby, "--batch", dir + "/make-journal.txt", "--home", home}, "/dev/null", errors.c_str(), false);
    std::system(("cp \"$(find '" + dir + "/quorby' -name '*.jnl' | head -1)\" '" + journal + "'").c_str());

    if (runOnce({quorby, "--journal-dump", journal}, "/dev/null", errors.c_str(), false) != 0) {
        std::fprintf(stderr, "no Journal File to dump was made\n");
        return 1;
    }
    std::vector<Case> cases = {
        {"xxd --version", {"xxd", "--version"}, {}},
        {"quorby --version", {quorby, "--version"}, {}},
        {"quorby --help", {quorby, "--help"}, {}},
        {"quorby --batch (3 lines)", {quorby, "--batch", script, "--home", home}, {}},
        {"quorby --disassemble", {quorby, "--disassemble", code, "--mode", "32"}, {}},
        {"quorby --journal-dump", {quorby, "--journal-dump", journal}, {}},
    };
    for (Case& c : cases) {
        if (runOnce(c.args, "/dev/null", errors.c_str(), true) == 127) {
            std::fprintf(stderr, "cannot run %s\n", c.args[0].c_str());
            return 1;
        }
        const std::vector<std::string> qt = qtLibraries(errors);
        std::printf("%-26s Qt libraries loaded: ", c.name.c_str());
        if (qt.empty()) std::printf("none");
        for (const std::string& name : qt) std::printf("%s ", name.c_str());
        std::printf("\n");
    }
    for (int run = 0; run < runs; ++run) {
        for (Case& c : cases) {
            const auto start = std::chrono::steady_clock::now();
            runOnce(c.args, "/dev/null", errors.c_str(), false);
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            c.millis.push_back(took.count());
        }
    }
    const double reference = median(cases[0].millis);
    std::printf("\n%d runs each, milliseconds per process start to exit:\n", runs);
    std::printf("%-26s %8s %8s %8s\n", "", "median", "fastest", "x xxd");
    for (const Case& c : cases)
        std::printf("%-26s %8.2f %8.2f %8.2f\n", c.name.c_str(), median(c.millis),
                    *std::min_element(c.millis.begin(), c.millis.end()), median(c.millis) / reference);
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
