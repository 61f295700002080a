#include "e2e_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "batch/batch_runner.h"

namespace quorby::e2e {

MemoryTranscript::MemoryTranscript() { file_ = open_memstream(&buffer_, &size_); }

MemoryTranscript::~MemoryTranscript() {
    std::fclose(file_);
    std::free(buffer_);
}

std::string MemoryTranscript::text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
}

void makeSparseFile(const std::string& path, unsigned long long size, const std::string& tail) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    bool ok = ::ftruncate(fd, off_t(size)) == 0 &&
              ::pwrite(fd, tail.data(), tail.size(), off_t(size - tail.size())) == ssize_t(tail.size());
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot make the sparse file " + path);
}

BatchRun runInProcess(const std::string& script, const std::string& home, const std::string& file) {
    std::filesystem::path homePath(home);
    std::string scriptPath = (homePath.parent_path() / (homePath.filename().string() + ".script")).string();
    writeFile(scriptPath, script);
    StartOptions options;
    options.homeDirectory = home;
    options.fileToOpen = file;
    MemoryTranscript out;
    // The program changes into its home directory; the test's own directory comes back.
    std::filesystem::path before = std::filesystem::current_path();
    BatchRun run;
    run.status = runBatch(scriptPath, options, out.file());
    run.transcript = out.text();
    std::filesystem::current_path(before);
    std::filesystem::remove(scriptPath);
    return run;
}

std::string lineStartingWith(const std::string& transcript, const std::string& prefix) {
    std::size_t at = transcript.rfind("\n" + prefix);
    if (at == std::string::npos) {
        if (transcript.compare(0, prefix.size(), prefix) != 0) return "";
        at = 0;
    } else {
        ++at;
    }
    std::size_t end = transcript.find('\n', at);
    return transcript.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

int countOccurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace quorby::e2e
