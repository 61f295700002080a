#pragma once
// Builds a Journal File's address chain the way the store does: a record for
// a page that has none yet goes between its neighbours in `chain` (MainAdr ->
// record position, as the test built it) through the store's own append.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <map>
#include <vector>

#include "journal/journal_file.h"

namespace quorby::testing {

inline FilePos appendChainedPage(JournalFile& jf, std::map<FilePos, FilePos>& chain, JournalRecord& r) {
    auto above = chain.upper_bound(r.mainAdr);
    r.nextPtr = above == chain.end() ? kEmptyPtr : above->second;
    r.prevPtr = above == chain.begin() ? kEmptyPtr : std::prev(above)->second;
    EXPECT_EQ(appendNewPage(jf, r), 0);
    chain[r.mainAdr] = r.jAdr;
    return r.jAdr;
}

// A changed page holding `data` (up to 512 bytes) in the chain.
inline FilePos appendChainedPage(JournalFile& jf, std::map<FilePos, FilePos>& chain, FilePos mainAdr,
                                 const std::vector<std::uint8_t>& data,
                                 std::uint32_t flag = kFlagInEffect | kFlagUnwritten) {
    JournalRecord r;
    r.mainAdr = mainAdr;
    r.anz = std::uint32_t(data.size());
    r.flag = flag;
    std::memcpy(r.data, data.data(), data.size());
    return appendChainedPage(jf, chain, r);
}

}  // namespace quorby::testing
