#include "batch/batch_runner.h"

#include <cstring>
#include <vector>

#include "batch/batch_script.h"
#include "batch/batch_session.h"
#include "platform/posix/posix_file_io.h"
#include "state/progress.h"

namespace quorby {

namespace {

// A script is a short text; anything this large is not one.
constexpr std::size_t kMaxScriptBytes = 16u << 20;

int readScriptLines(const std::string& path, std::vector<std::string>* lines, std::string* error) {
    std::FILE* in = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        *error = "cannot read the script " + path + ": " + std::strerror(errno);
        return 1;
    }
    std::string line;
    std::size_t total = 0;
    char buffer[4096];
    int status = 0;
    while (std::fgets(buffer, sizeof buffer, in) != nullptr) {
        std::size_t n = std::strlen(buffer);
        total += n;
        if (total > kMaxScriptBytes) {
            *error = "the script " + path + " is larger than 16 MiB";
            status = 1;
            break;
        }
        line.append(buffer, n);
        if (!line.empty() && line.back() == '\n') {
            line.pop_back();
            lines->push_back(line);
            line.clear();
        }
    }
    if (status == 0 && std::ferror(in)) {
        *error = "cannot read the script " + path + ": " + std::strerror(errno);
        status = 1;
    }
    if (status == 0 && !line.empty()) lines->push_back(line);
    if (in != stdin) std::fclose(in);
    return status;
}

void writeError(std::FILE* out, const std::string& text) {
    if (out != nullptr) {
        std::fprintf(out, "%s\n", text.c_str());
        std::fflush(out);
    }
    if (out != stderr) std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

int runBatch(const std::string& scriptPath, const StartOptions& options, std::FILE* out) {
    std::vector<std::string> lines;
    std::string readError;
    if (readScriptLines(scriptPath, &lines, &readError) != 0) {
        writeError(out, "ERROR line 0: " + readError);
        return 1;
    }
    std::vector<BatchCommand> commands;
    ScriptError parseError;
    // The whole script is checked before anything runs, so that a typing
    // error at its end cannot leave a file half patched.
    if (parseBatchScript(lines, &commands, &parseError) != 0) {
        writeError(out, "ERROR line " + std::to_string(parseError.line) + ": " + parseError.message);
        return 1;
    }
    PosixFileIo files;
    BatchSession session(out, files);
    // A read that a failing drive holds up is waited for with the command's
    // polls running, so the time limit's ESC can stop it.
    files.watchStalledReads([&session] { return pollProgress(session.app()); });
    return session.run(commands, options);
}

}  // namespace quorby
