#include "checksum/checksum_pass.h"

namespace quorby {

int startChecksumPass(ChecksumPass& pass, FilePos start, FilePos length, unsigned algorithms) {
    pass.start = start;
    pass.end = start + length;
    pass.next = start;
    clearRanges(pass.unreadable);
    return pass.digests.begin(algorithms);
}

ChecksumStep checksumNextBlock(ChecksumPass& pass, ChecksumReader& reader, std::uint8_t* block) {
    if (pass.next >= pass.end) return ChecksumStep::Done;
    const FilePos left = pass.end - pass.next;
    const std::uint32_t n = left < pass.blockSize ? std::uint32_t(left) : pass.blockSize;
    ReadGaps gaps;
    if (reader.read(pass.next, block, n, &gaps) != 0) return ChecksumStep::Failed;
    addGapsAt(pass.unreadable, pass.next, gaps);
    if (pass.digests.update(block, n) != 0) return ChecksumStep::Failed;
    pass.next += n;
    return pass.next >= pass.end ? ChecksumStep::Done : ChecksumStep::More;
}

int finishChecksumPass(ChecksumPass& pass, ChecksumResult& result) {
    result.start = pass.start;
    result.length = pass.end - pass.start;
    result.algorithms = pass.digests.algorithms();
    result.unreadable = pass.unreadable;
    return pass.digests.finish(result.digests);
}

std::string checksumLine(const ChecksumResult& result, int slot) {
    return std::string(checksumAlgorithms()[slot].name) + " " + result.digests[slot];
}

}  // namespace quorby
