// "Check Avi-File" with the super index and both data indexes on a big
// OpenDML file, as a whole `quorby --batch` process, beside a plain program
// that reads every packet header of the same file (this program run with
// --read-headers), and the peak memory of both; then the check again over a
// Journal File with changed pages.
//
//   cmake -S . -B build-bench -G Ninja -DQUORBY_BENCH=ON -DQUORBY_QT=OFF -DQUORBY_TESTS=OFF
//         -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-bench quorby bench_avi_check_speed
//   build-bench/bench/bench_avi_check_speed [pairs] [directory] [runs] [quorby binary]
//
// Defaults: 120000 video/audio packet pairs (8000 and 1000 bytes: 1.0 GiB),
// /var/tmp, 3 runs. The file is written sparse: the packets' data are holes.
// The file has six RIFF parts (AVI, then AVIX), each with one movi list
// ending in its ix00 and ix01, super indexes for both streams and an idx1
// over the first part.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_support.h"

using namespace quorby::bench;

namespace {

constexpr int kParts = 6;
constexpr std::uint32_t kVideoSize = 8000, kAudioSize = 1000;

struct Out {
    int fd;
    std::uint64_t pos = 0;
    std::vector<std::uint8_t> buf;
    void put(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        buf.insert(buf.end(), b, b + n);
    }
    std::uint64_t here() const { return pos + buf.size(); }
    void put4(const char* s) { put(s, 4); }
    void put32(std::uint32_t v) { std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; put(b, 4); }
    void put64(std::uint64_t v) { put32(std::uint32_t(v)); put32(std::uint32_t(v >> 32)); }
    // Writes what was put at `pos`, then moves on by `skip` bytes of holes.
    void flush(std::uint64_t skip = 0) {
        if (!buf.empty() && ::pwrite(fd, buf.data(), buf.size(), off_t(pos)) != ssize_t(buf.size())) std::exit(3);
        pos += buf.size() + skip;
        buf.clear();
    }
    void at32(std::uint64_t where, std::uint32_t v) {
        std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
        if (::pwrite(fd, b, 4, off_t(where)) != 4) std::exit(3);
    }
    void at64(std::uint64_t where, std::uint64_t v) { at32(where, std::uint32_t(v)); at32(where + 4, std::uint32_t(v >> 32)); }
};

void chunkHeader(Out& o, const char* id, std::uint32_t size) { o.put4(id); o.put32(size); }

// A stream list: strh of `type`, strf, an indx with room for 8 entries; the
// indx position is returned.
std::uint64_t streamList(Out& o, const char* type, const char* chunkId) {
    chunkHeader(o, "LIST", 4 + (8 + 56) + (8 + 40) + (8 + 24 + 8 * 16));
    o.put4("strl");
    chunkHeader(o, "strh", 56);
    o.put4(type);
    o.put(std::string(52, '\0').data(), 52);
    chunkHeader(o, "strf", 40);
    o.put(std::string(40, '\0').data(), 40);
    const std::uint64_t indx = o.here();
    chunkHeader(o, "indx", 24 + 8 * 16);
    o.put32(4);
    o.put32(0);
    o.put4(chunkId);
    o.put(std::string(12 + 8 * 16, '\0').data(), 12 + 8 * 16);
    return indx;
}

int writeAvi(const std::string& path, std::uint64_t pairs) {
    Out o{::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644), 0, {}};
    if (o.fd < 0) return 1;
    std::uint64_t indx[2];
    const std::uint64_t perPart = (pairs + kParts - 1) / kParts;
    std::vector<std::uint32_t> idx1;  // relative offsets of the first part's packets
    for (int part = 0; part < kParts; ++part) {
        const std::uint64_t riff = o.here();
        chunkHeader(o, "RIFF", 0);
        o.put4(part == 0 ? "AVI " : "AVIX");
        if (part == 0) {
            chunkHeader(o, "LIST", 0);
            const std::uint64_t hdrl = o.here();
            o.put4("hdrl");
            chunkHeader(o, "avih", 56);
            o.put(std::string(56, '\0').data(), 56);
            indx[0] = streamList(o, "vids", "00dc");
            indx[1] = streamList(o, "auds", "01wb");
            o.flush();
            o.at32(hdrl - 4, std::uint32_t(o.pos - hdrl));
        }
        const std::uint64_t movi = o.here();
        chunkHeader(o, "LIST", 0);
        o.put4("movi");
        o.flush();
        const std::uint64_t first = part * perPart, end = std::min(pairs, first + perPart);
        std::vector<std::uint32_t> video, audio;
        for (std::uint64_t k = first; k < end; ++k) {
            video.push_back(std::uint32_t(o.pos + 8 - movi));
            if (part == 0) idx1.push_back(std::uint32_t(o.pos - movi - 8));
            chunkHeader(o, "00dc", kVideoSize);
            o.flush(kVideoSize);
            audio.push_back(std::uint32_t(o.pos + 8 - movi));
            if (part == 0) idx1.push_back(std::uint32_t(o.pos - movi - 8));
            chunkHeader(o, "01wb", kAudioSize);
            o.flush(kAudioSize);
        }
        for (int s = 0; s < 2; ++s) {
            const std::vector<std::uint32_t>& entries = s == 0 ? video : audio;
            const std::uint64_t ix = o.here();
            chunkHeader(o, s == 0 ? "ix00" : "ix01", std::uint32_t(24 + 8 * entries.size()));
            o.put32(2 | (1u << 24));
            o.put32(std::uint32_t(entries.size()));
            o.put4(s == 0 ? "00dc" : "01wb");
            o.put64(movi);
            o.put32(0);
            for (std::uint32_t e : entries) {
                o.put32(e);
                o.put32(s == 0 ? kVideoSize : kAudioSize);
            }
            o.flush();
            o.at32(indx[s] + 12, std::uint32_t(part + 1));
            o.at64(indx[s] + 32 + 16 * std::uint64_t(part), ix);
            o.at32(indx[s] + 32 + 16 * std::uint64_t(part) + 8, std::uint32_t(o.pos - ix));
        }
        o.at32(movi + 4, std::uint32_t(o.pos - movi - 8));
        if (part == 0) {
            chunkHeader(o, "idx1", std::uint32_t(16 * idx1.size()));
            for (std::size_t k = 0; k < idx1.size(); ++k) {
                o.put4(k % 2 == 0 ? "00dc" : "01wb");
                o.put32(0x10);
                o.put32(idx1[k]);
                o.put32(k % 2 == 0 ? kVideoSize : kAudioSize);
            }
            o.flush();
        }
        o.at32(riff + 4, std::uint32_t(o.pos - riff - 8));
    }
    return ::close(o.fd);
}

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }

// The plain program: every RIFF part, its movi list, every chunk header in it.
int readHeaders(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 1;
    const std::uint64_t size = std::uint64_t(::lseek(fd, 0, SEEK_END));
    std::uint64_t packets = 0;
    std::uint8_t h[12];
    for (std::uint64_t riff = 0; riff + 12 <= size;) {
        if (::pread(fd, h, 12, off_t(riff)) != 12) break;
        const std::uint64_t riffEnd = riff + 8 + le32(h + 4);
        for (std::uint64_t c = riff + 12; c + 12 <= riffEnd;) {
            if (::pread(fd, h, 12, off_t(c)) != 12) break;
            const std::uint64_t next = c + 8 + le32(h + 4) + (le32(h + 4) & 1);
            if (std::memcmp(h, "LIST", 4) == 0 && std::memcmp(h + 8, "movi", 4) == 0) {
                for (std::uint64_t p = c + 12; p + 8 <= next;) {
                    if (::pread(fd, h, 8, off_t(p)) != 8) break;
                    ++packets;
                    p += 8 + le32(h + 4) + (le32(h + 4) & 1);
                }
            }
            c = next;
        }
        riff = riffEnd + (riffEnd & 1);
    }
    std::printf("%llu chunks in movi\n", static_cast<unsigned long long>(packets));
    return ::close(fd);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Peak resident memory of the finished children, in MiB.
double childrenPeakMiB() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--read-headers") return readHeaders(argv[2]);
    const std::uint64_t pairs = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 120000;
    const std::string dir = std::string(argc > 2 ? argv[2] : "/var/tmp") + "/quorby-bench-avi";
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    std::string self(argv[0]);
    std::string quorby = argc > 4 ? argv[4] : self.substr(0, self.rfind('/')) + "/../quorby";
    timedCommand("rm -rf '" + dir + "' && mkdir -p '" + dir + "/home'");
    const std::string avi = dir + "/big.avi";
    if (writeAvi(avi, pairs) != 0) {
        std::fprintf(stderr, "cannot write %s\n", avi.c_str());
        return 1;
    }
    const std::string script = dir + "/check.txt";
    {
        std::FILE* f = std::fopen(script.c_str(), "w");
        std::fprintf(f, "answer no\nopen %s\ncommand \"Check Avi-File\"\n"
                        "window avicheck check \"Check Data Indexes\\n(will last a While ...)\" on\n"
                        "window avicheck press OK\nprint window avi\nquit\n", avi.c_str());
        std::fclose(f);
    }
    // Warm the page cache, then alternate the two programs.
    timedCommand("cat '" + avi + "' > /dev/null");
    std::vector<double> check, reader;
    double readerPeak = 0;
    for (int r = 0; r < runs; ++r) {
        reader.push_back(timedCommand("'" + self + "' --read-headers '" + avi + "' > '" + dir + "/reader.txt'"));
        readerPeak = childrenPeakMiB();
        check.push_back(timedCommand("'" + quorby + "' --batch '" + script + "' --home '" + dir + "/home' > '" + dir +
                                     "/report.txt'"));
    }
    std::printf("file: %s, %llu packets, %.0f MiB\n", avi.c_str(), static_cast<unsigned long long>(2 * pairs),
                double(::lseek(::open(avi.c_str(), O_RDONLY), 0, SEEK_END)) / 1048576.0);
    std::printf("| program | best s | median s |\n|---|---|---|\n");
    std::printf("| reading every packet header | %.3f | %.3f |\n", *std::min_element(reader.begin(), reader.end()),
                median(reader));
    std::printf("| Check Avi-File (indx + ix## + idx1) | %.3f | %.3f |\n",
                *std::min_element(check.begin(), check.end()), median(check));

    // The same check over a Journal File with kChangedPages changed pages
    // (a zero byte typed 100 bytes into pages spread over the file; a few
    // land on chunk ids): every read of the check lays the changes over.
    // The journal is kept in a directory of the bench's own.
    constexpr int kChangedPages = 300;
    const std::string env = "XDG_DATA_HOME='" + dir + "/xdg' ";
    const std::string typing = dir + "/typing.txt", checkChanged = dir + "/check-changed.txt";
    {
        const std::uint64_t size = std::uint64_t(::lseek(::open(avi.c_str(), O_RDONLY), 0, SEEK_END));
        std::FILE* f = std::fopen(typing.c_str(), "w");
        std::fprintf(f, "answer no\nopen %s\n", avi.c_str());
        for (int k = 0; k < kChangedPages; ++k)
            std::fprintf(f, "dialog set \"address hex\" %llX\ndialog press OK\nkey Ctrl+G\ntype 00\n",
                         static_cast<unsigned long long>(((4096 + k * (size / kChangedPages)) & ~std::uint64_t{511}) + 100));
        std::fprintf(f, "dialog set \"address hex\" 0\ndialog press OK\nkey Ctrl+G\nanswer no yes\nquit\n");
        std::fclose(f);
        // The check runs in the home the typing ran in (where the journal
        // is known), after its welcome question.
        f = std::fopen(checkChanged.c_str(), "w");
        std::fprintf(f, "open %s\ncommand \"Check Avi-File\"\n"
                        "window avicheck check \"Check Data Indexes\\n(will last a While ...)\" on\n"
                        "answer yes+dontask\nwindow avicheck press OK\nprint window avi\nanswer no yes\nquit\n",
                     avi.c_str());
        std::fclose(f);
    }
    timedCommand(env + "'" + quorby + "' --batch '" + typing + "' --home '" + dir + "/home-typing' > '" + dir +
                 "/typing-report.txt'");
    std::vector<double> changed;
    for (int r = 0; r < runs; ++r)
        changed.push_back(timedCommand(env + "'" + quorby + "' --batch '" + checkChanged + "' --home '" + dir +
                                       "/home-typing' > '" + dir + "/report-changed.txt'"));
    std::printf("| Check Avi-File, %d pages changed in the journal | %.3f | %.3f |\n", kChangedPages,
                *std::min_element(changed.begin(), changed.end()), median(changed));
    // The exit asks "Write File?" only when the check ran over the changes.
    const bool seen = std::system(("grep -q 'MESSAGE Write File?' '" + dir + "/report-changed.txt'").c_str()) == 0;
    std::printf("the changed pages were %s\n", seen ? "in the journal the check read" : "NOT FOUND: no journal was used");
    std::printf("peak memory of the child processes: reader up to %.1f MiB, all up to %.1f MiB\n", readerPeak,
                childrenPeakMiB());
    return 0;
}
