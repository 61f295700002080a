#pragma once
// Paths given on the command line or in a batch script are meant relative to
// the directory the program was started in; the program later changes into
// its own directory, so they are made absolute while that is still known.
#include <string>

namespace quorby {

// `path` itself when it is empty or absolute, else the current directory
// joined with it.
std::string absolutePath(const std::string& path);

}  // namespace quorby
