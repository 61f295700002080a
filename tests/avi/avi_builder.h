#pragma once
// A small RIFF/AVI writer for the tests: chunks and lists laid down byte by
// byte as the published layout has them, with the position of every chunk
// kept so that a test knows where each one lies.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "avi/riff_content.h"
#include "avi/avi_report.h"

namespace quorby::test {

class AviBuilder {
public:
    std::vector<std::uint8_t> bytes;

    std::size_t pos() const { return bytes.size(); }
    void put(const char* four) { bytes.insert(bytes.end(), four, four + 4); }
    void put32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(std::uint8_t(v >> (8 * i)));
    }
    void put16(std::uint16_t v) {
        bytes.push_back(std::uint8_t(v));
        bytes.push_back(std::uint8_t(v >> 8));
    }
    void put64(std::uint64_t v) {
        put32(std::uint32_t(v));
        put32(std::uint32_t(v >> 32));
    }
    void set32(std::size_t at, std::uint32_t v) { set32Into(bytes, at, v); }
    static void set32Into(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
    }
    void set64(std::size_t at, std::uint64_t v) {
        set32(at, std::uint32_t(v));
        set32(at + 4, std::uint32_t(v >> 32));
    }

    // "RIFF"/"LIST", a size filled in by endList, the list type.
    std::size_t beginList(const char* id, const char* type) {
        const std::size_t at = pos();
        put(id);
        put32(0);
        put(type);
        return at;
    }
    void endList(std::size_t at) { set32(at + 4, std::uint32_t(pos() - at - 8)); }

    // A chunk of `size` bytes of `fill`, with its pad byte when the size is odd.
    std::size_t chunk(const char* id, std::uint32_t size, std::uint8_t fill = 0) {
        const std::size_t at = pos();
        put(id);
        put32(size);
        bytes.insert(bytes.end(), size + (size & 1), fill);
        if (size & 1) bytes.back() = 0;
        return at;
    }
    // A stream header of type "vids"/"auds"/"txts" with a handler code.
    std::size_t streamHeader(const char* type, const char* handler) {
        const std::size_t at = chunk("strh", 56);
        std::memcpy(&bytes[at + 8], type, 4);
        std::memcpy(&bytes[at + 12], handler, 4);
        return at;
    }
    // A main header with microseconds per frame, flags, width and height.
    std::size_t mainHeader(std::uint32_t usPerFrame, std::uint32_t flags, std::uint32_t width, std::uint32_t height) {
        const std::size_t at = chunk("avih", 56);
        set32(at + 8, usPerFrame);
        set32(at + 8 + 12, flags);
        set32(at + 8 + 32, width);
        set32(at + 8 + 36, height);
        return at;
    }
};

class MemoryContent : public RiffContent {
public:
    explicit MemoryContent(const std::vector<std::uint8_t>& b) : bytes(b) {}
    FilePos size() const override { return bytes.size(); }
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, std::uint32_t* got) override {
        ++reads;
        std::memset(out, 0, n);
        *got = 0;
        if (pos >= bytes.size()) return 0;
        const FilePos avail = bytes.size() - pos;
        *got = avail < n ? std::uint32_t(avail) : n;
        std::memcpy(out, bytes.data() + pos, *got);
        return 0;
    }
    const std::vector<std::uint8_t>& bytes;
    std::uint64_t reads = 0;
};

class StringReport : public AviReport {
public:
    void append(std::string_view t) override { text += t; }
    std::string text;
};

// The report line of a chunk as the user reads it: the position in four
// groups of four hexadecimal digits, three blanks, the label.
inline std::string posLine(std::uint64_t pos, const std::string& label) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " %04X %04X %04X %04X   ", unsigned(pos >> 48) & 0xFFFF,
                  unsigned(pos >> 32) & 0xFFFF, unsigned(pos >> 16) & 0xFFFF, unsigned(pos) & 0xFFFF);
    return buf + label + "\r\n";
}

}  // namespace quorby::test
