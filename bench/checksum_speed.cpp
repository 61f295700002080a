// Speed and memory of the checksums over a file in the page cache, whole
// process: `quorby --batch` with `print checksums sha256` (and md5) beside
// sha256sum (and md5sum) of the same file, in the same run. Each is run
// three times after one warm-up read; the best time counts. The peak
// resident memory of every process is taken from wait4 (as /usr/bin/time -v
// reports it), for the default 2 GiB file and a quarter of it: it stays the
// same whatever the file's size.
//
// usage: bench_checksum_speed [--mib N] [--file PATH] [--quorby PATH] [--keep]
//        (default 2048 MiB in /var/tmp/quorby-checksum-bench.bin)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kMiB = 1024 * 1024;

struct Measure {
    double seconds = 0;
    long peakKiB = 0;
    int status = 0;
};

// Runs `argv` with standard output into `out` (or /dev/null).
Measure runProcess(const std::vector<std::string>& argv, const std::string& out) {
    Measure m;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (std::FILE* f = std::fopen(out.c_str(), "w")) dup2(fileno(f), 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return m;
}

Measure best(const std::vector<std::string>& argv, const std::string& out) {
    Measure b;
    for (int run = 0; run < 3; ++run) {
        const Measure m = runProcess(argv, out);
        if (run == 0 || m.seconds < b.seconds) b = m;
        if (m.status != 0) b.status = m.status;
    }
    return b;
}

bool makeFile(const std::string& path, std::uint64_t mib) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::vector<std::uint8_t> block(kMiB);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t m = 0; m < mib; ++m) {
        for (std::size_t i = 0; i < kMiB; i += 8) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            std::memcpy(&block[i], &x, 8);
        }
        if (std::fwrite(block.data(), 1, kMiB, f) != kMiB) {
            std::fclose(f);
            return false;
        }
    }
    return std::fclose(f) == 0;
}

std::string readText(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// The digest after "NAME " in a transcript, or the first word of a *sum line.
std::string digestIn(const std::string& text, const std::string& name) {
    if (name.empty()) return text.substr(0, text.find(' '));
    const std::size_t at = text.find("\n" + name + " ");
    if (at == std::string::npos) return "?";
    const std::size_t from = at + name.size() + 2;
    return text.substr(from, text.find('\n', from) - from);
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t mib = 2048;
    std::string path = "/var/tmp/quorby-checksum-bench.bin";
    std::string quorby = QUORBY_BINARY;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--mib" && i + 1 < argc) mib = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--file" && i + 1 < argc) path = argv[++i];
        else if (a == "--quorby" && i + 1 < argc) quorby = argv[++i];
        else if (a == "--keep") keep = true;
        else {
            std::fprintf(stderr, "usage: bench_checksum_speed [--mib N] [--file PATH] [--quorby PATH] [--keep]\n");
            return 2;
        }
    }
    const std::string home = path + ".home";
    const std::string script = path + ".script";
    const std::string out = path + ".out";
    if (std::system(("mkdir -p '" + home + "'").c_str()) != 0) return 2;
    // Journal Files of the runs stay beside the file.
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    std::printf("file: %s, %llu MiB (in the page cache after a first read)\n", path.c_str(),
                static_cast<unsigned long long>(mib));
    if (!makeFile(path, mib)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 2;
    }
    runProcess({"cat", path}, "/dev/null");
    std::printf("%-8s %12s %12s %8s %14s %14s\n", "digest", "quorby s", "tool s", "ratio", "quorby peak", "tool peak");
    int failures = 0;
    const struct {
        const char* word;
        const char* name;
        const char* tool;
    } rows[] = {{"sha256", "SHA256", "sha256sum"}, {"md5", "MD5", "md5sum"}};
    for (const auto& row : rows) {
        if (std::FILE* f = std::fopen(script.c_str(), "w")) {
            std::fprintf(f, "open %s readonly\nprint checksums %s\nquit\n", path.c_str(), row.word);
            std::fclose(f);
        }
        const Measure q = best({quorby, "--batch", script, "--home", home}, out);
        const std::string ours = digestIn(readText(out), row.name);
        const Measure t = best({row.tool, path}, out + ".tool");
        const std::string theirs = digestIn(readText(out + ".tool"), "");
        std::printf("%-8s %12.3f %12.3f %8.2f %11ld KiB %10ld KiB\n", row.word, q.seconds, t.seconds,
                    q.seconds / t.seconds, q.peakKiB, t.peakKiB);
        if (q.status != 0 || ours != theirs) {
            std::printf("  digests differ or a run failed: quorby %s (status %d), %s %s\n", ours.c_str(), q.status,
                        row.tool, theirs.c_str());
            ++failures;
        }
    }
    // Memory stays flat: a quarter of the file in its first quarter takes the same.
    if (std::FILE* f = std::fopen(script.c_str(), "w")) {
        std::fprintf(f, "open %s readonly\nkey Shift+Right\nprint checksums sha256\nquit\n", path.c_str());
        std::fclose(f);
    }
    const Measure small = runProcess({quorby, "--batch", script, "--home", home}, out);
    std::printf("peak of a 2-byte selection of the same file: %ld KiB\n", small.peakKiB);
    if (!keep) std::remove(path.c_str());
    std::remove(script.c_str());
    std::remove(out.c_str());
    std::remove((out + ".tool").c_str());
    return failures == 0 ? 0 : 1;
}
