#include "platform/posix/absolute_path.h"

#include <unistd.h>

#include <climits>

namespace quorby {

std::string absolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr) return path;
    std::string joined = cwd;
    if (joined.back() != '/') joined += '/';
    return joined + path;
}

}  // namespace quorby
