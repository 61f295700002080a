#pragma once
// Command line listing: quorby --disassemble FILE [--mode real16|prot16|32|64]
//                                [--from POS] [--to POS]
#include <cstdio>

namespace quorby {

// argv[0] is "--disassemble". POS is decimal or 0x-hexadecimal; --to is the
// first position not listed (default: the end of the file). Prints one line
// per instruction to `out`: the position, " :    ", the decoded text (with its
// branch-target line), CR LF. Returns 0, or 1 with a message on stderr for a
// bad argument or an unreadable file.
[[nodiscard]] int runDisassembleCommand(int argc, char** argv, std::FILE* out);

}  // namespace quorby
