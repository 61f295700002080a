#pragma once
// `quorby --journal-dump` on a Journal File as it is now: status and text.
#include <cstdio>
#include <string>

#include "journal/journal_dump.h"
#include "platform/file_io.h"

namespace quorby::testing {

struct DumpResult {
    int status = -1;
    std::string text;
    bool mentions(const std::string& s) const { return text.find(s) != std::string::npos; }
};

inline DumpResult runDump(FileIo& io, const std::string& path) {
    DumpResult r;
    std::FILE* f = std::tmpfile();
    r.status = dumpJournal(io, path, f);
    std::rewind(f);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) r.text.append(buf, n);
    std::fclose(f);
    return r;
}

}  // namespace quorby::testing
