#pragma once
// The name of a Main File's Journal File in a journal directory.
//
// Composed in a directory, the Main File's path becomes one file name:
// ":/" -> "~1", ":" -> "~0", "/" -> "~2", "~" -> "~3", then ".jnl".
//   /home/u/x.bin in /j/  ->  /j/~2home~2u~2x.bin.jnl
#include <cstddef>
#include <string>

namespace quorby {

inline constexpr const char* kJournalExtension = ".jnl";
// The longest file name the composition makes, extension included; a longer
// composed name keeps its beginning and ends in "~h" and a hash of the whole
// Main File name, so that two Main Files never share one Journal File.
inline constexpr std::size_t kComposedNameLimit = 255;

// True when the text after the last "." of `name` is exactly "jnl".
bool endsWithJnl(const std::string& name);

// The Main File's name as one file name, by the "~" replacements.
std::string escapeMainName(const std::string& mainName);

// `directory` (a missing final "/" is added) followed by the escaped name,
// and ".jnl" when `appendExtension`.
std::string composeInDirectory(const std::string& directory, const std::string& mainName,
                               bool appendExtension);

}  // namespace quorby
