#pragma once
// The checksums of a range of the content, read block by block through a
// port the caller supplies (the file with its journal changes, unreadable
// sectors read as zeros), so that memory stays one block whatever the size.
//
//   ChecksumPass pass;  startChecksumPass(pass, start, length, algorithms);
//   while (checksumNextBlock(pass, reader, block) == ChecksumStep::More) { ...progress, ESC... }
//   finishChecksumPass(pass, result);
#include <cstdint>
#include <string>

#include "checksum/digest_set.h"
#include "core/file_pos.h"
#include "salvage/byte_ranges.h"
#include "salvage/sector_reads.h"

namespace quorby {

inline constexpr std::uint32_t kChecksumBlockSize = 262144;

class ChecksumReader {
public:
    virtual ~ChecksumReader() = default;
    // Reads exactly `n` bytes at `pos` into `out`; `gaps` receives the parts
    // that were unreadable and read as zeros. Result 1 when the read failed.
    virtual int read(FilePos pos, std::uint8_t* out, std::uint32_t n, ReadGaps* gaps) = 0;
};

struct ChecksumResult {
    FilePos start = 0;
    FilePos length = 0;
    unsigned algorithms = 0;
    std::string digests[kChecksumAlgorithmCount];  // by checksumAlgorithms(); empty when not chosen
    ByteRanges unreadable;                         // the ranges read as zeros
};

struct ChecksumPass {
    FilePos start = 0;
    FilePos end = 0;   // exclusive
    FilePos next = 0;  // the next byte to read
    std::uint32_t blockSize = kChecksumBlockSize;  // smaller in tests that cross many blocks
    DigestSet digests;
    ByteRanges unreadable;
};

enum class ChecksumStep { More, Done, Failed };

// Sets the pass up for [start, start + length). Result 1 when libcrypto
// could not set up an algorithm.
[[nodiscard]] int startChecksumPass(ChecksumPass& pass, FilePos start, FilePos length, unsigned algorithms);
// Reads and digests the next block of up to blockSize bytes through `block`
// (blockSize bytes). Done after the last one.
ChecksumStep checksumNextBlock(ChecksumPass& pass, ChecksumReader& reader, std::uint8_t* block);
// The digests, the range and the unreadable ranges of a pass that is Done.
[[nodiscard]] int finishChecksumPass(ChecksumPass& pass, ChecksumResult& result);

// The result as text lines: "CRC32 1c291ca3", one per chosen algorithm.
std::string checksumLine(const ChecksumResult& result, int slot);

}  // namespace quorby
