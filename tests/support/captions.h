#pragma once
// The window caption a user reads for an open file: its name, "*" while
// changes wait to be written into it, its directory, the program's name.
#include <string>

namespace quorby::testing {

inline std::string fileCaption(const std::string& path, bool unwritten) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string directory = slash == std::string::npos ? "" : slash == 0 ? "/" : path.substr(0, slash);
    const std::string dash = " \xE2\x80\x94 ";
    return name + (unwritten ? "*" : "") + (directory.empty() ? "" : dash + directory) + dash + "Quorby";
}

}  // namespace quorby::testing
