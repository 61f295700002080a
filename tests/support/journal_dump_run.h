#pragma once
// `quorby --journal-dump` on a Journal File as it is now: status and text.
#include <cstdio>
#include <string>

#include "journal/journal_dump.h"
#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

namespace quorby::testing {

struct DumpResult {
    int status = -1;
    std::string text;
    bool mentions(const std::string& s) const { return text.find(s) != std::string::npos; }
    // The first line that names a failed invariant or an error, or "".
    std::string firstFailure() const {
        std::size_t at = text.find("FAIL invariant");
        if (at == std::string::npos) at = text.find("ERROR");
        if (at == std::string::npos) return "";
        return text.substr(at, text.find('\n', at) - at);
    }
};

inline DumpResult runDump(FileIo& io, const std::string& path) {
    DumpResult r;
    std::FILE* f = std::tmpfile();
    r.status = dumpJournal(io, path, f);
    r.text = fileText(f);
    std::fclose(f);
    return r;
}

}  // namespace quorby::testing
