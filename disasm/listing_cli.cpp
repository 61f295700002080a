// The command line listing. Reads the file page by page with POSIX pread into
// a small fixed buffer and decodes instruction after instruction.
#include "disasm/listing_cli.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "decoder/listing_line.h"

namespace quorby {

using namespace disasm;

namespace {

constexpr std::size_t kLookahead = kDecodeLookahead;

struct Options {
    const char* path = nullptr;
    DecoderMode mode = DecoderMode::Protected64;
    FilePos from = 0;
    FilePos to = ~FilePos{0};
};

// A position as the program shows every position: hexadecimal, with or
// without a leading 0x.
int parsePosition(const char* s, FilePos& value) {
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s += 2;
    if (!*s) return 1;
    FilePos v = 0;
    for (; *s; ++s) {
        int digit;
        if (*s >= '0' && *s <= '9') digit = *s - '0';
        else if (*s >= 'a' && *s <= 'f') digit = *s - 'a' + 10;
        else if (*s >= 'A' && *s <= 'F') digit = *s - 'A' + 10;
        else return 1;
        if (v > (~FilePos{0} >> 4)) return 1;
        v = (v << 4) | FilePos(digit);
    }
    value = v;
    return 0;
}

int parseMode(const char* s, DecoderMode& mode) {
    if (!std::strcmp(s, "real16")) mode = DecoderMode::Real16;
    else if (!std::strcmp(s, "prot16")) mode = DecoderMode::Protected16;
    else if (!std::strcmp(s, "32")) mode = DecoderMode::Protected32;
    else if (!std::strcmp(s, "64")) mode = DecoderMode::Protected64;
    else return 1;
    return 0;
}

int parseArguments(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(a, "--mode")) {
            if (!hasValue || parseMode(argv[++i], o.mode)) {
                std::fprintf(stderr, "quorby: --mode takes real16, prot16, 32 or 64\n");
                return 1;
            }
        } else if (!std::strcmp(a, "--from") || !std::strcmp(a, "--to")) {
            FilePos& target = a[2] == 'f' ? o.from : o.to;
            if (!hasValue || parsePosition(argv[++i], target)) {
                std::fprintf(stderr, "quorby: %s takes a hexadecimal position (0x may lead)\n", a);
                return 1;
            }
        } else if (a[0] == '-' || o.path) {
            std::fprintf(stderr, "quorby: unexpected argument '%s'\n", a);
            return 1;
        } else {
            o.path = a;
        }
    }
    if (!o.path) {
        std::fprintf(stderr,
                     "usage: quorby --disassemble FILE [--mode real16|prot16|32|64] "
                     "[--from HEXPOS] [--to HEXPOS]\n");
        return 1;
    }
    return 0;
}

// A window of the file: buffer[0 .. filled) holds the bytes from `start` on.
struct PageWindow {
    int fd;
    FilePos fileSize;
    FilePos start = 0;
    std::size_t filled = 0;
    std::uint8_t buffer[4 * kPageSize] = {};

    // Makes at least kLookahead bytes from `pos` available (fewer at the end
    // of the file). Returns 1 on a read error.
    int ensure(FilePos pos) {
        const FilePos want = fileSize - pos < kLookahead ? fileSize - pos : kLookahead;
        if (pos >= start && pos - start + want <= filled) return 0;
        // Start the window at the page holding `pos` and fill it page by page.
        start = pos - pos % kPageSize;
        filled = 0;
        while (filled < sizeof buffer && start + filled < fileSize) {
            const ssize_t n = pread(fd, buffer + filled, kPageSize, off_t(start + filled));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return 1;
            filled += std::size_t(n);
        }
        return pos - start + want <= filled ? 0 : 1;
    }
};

int listFile(int fd, FilePos fileSize, const Options& o, std::FILE* out) {
    PageWindow window{fd, fileSize};
    std::uint32_t st = setDecoderMode(state::kShowPrefixes, o.mode);
    const FilePos end = o.to < fileSize ? o.to : fileSize;
    char line[kMaxListingLine];
    for (FilePos pos = o.from; pos < end;) {
        if (window.ensure(pos)) {
            std::fprintf(stderr, "quorby: cannot read '%s'\n", o.path);
            return 1;
        }
        const std::size_t offset = std::size_t(pos - window.start);
        // Exactly the lookahead (fewer at the end of the file), so that the
        // listing does not depend on where the window's pages begin.
        const std::size_t rest = window.filled - offset;
        const std::size_t avail = rest < kLookahead ? rest : kLookahead;
        std::uint32_t length = 1;
        const std::size_t n = formatListingLine(window.buffer + offset, avail, pos, st, line, length);
        if (std::fwrite(line, 1, n, out) != n) {
            std::fprintf(stderr, "quorby: cannot write the listing\n");
            return 1;
        }
        pos += length;
    }
    return 0;
}

}  // namespace

int runDisassembleCommand(int argc, char** argv, std::FILE* out) {
    Options o;
    if (parseArguments(argc, argv, o)) return 1;
    const int fd = open(o.path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "quorby: cannot open '%s': %s\n", o.path, std::strerror(errno));
        return 1;
    }
    int rc = 1;
    struct stat info {};
    off_t size = -1;
    if (fstat(fd, &info) == 0) size = S_ISREG(info.st_mode) ? info.st_size : lseek(fd, 0, SEEK_END);
    if (size < 0) std::fprintf(stderr, "quorby: cannot read '%s'\n", o.path);
    else rc = listFile(fd, FilePos(size), o, out);
    close(fd);
    if (rc == 0 && std::fflush(out) != 0) {
        std::fprintf(stderr, "quorby: cannot write the listing\n");
        rc = 1;
    }
    return rc;
}

}  // namespace quorby
