#include "salvage/byte_ranges.h"

#include <cinttypes>
#include <cstdio>

namespace quorby {
namespace {

// The first range whose end lies at or after `pos`.
int firstEndingFrom(const ByteRanges& r, FilePos pos) {
    int lo = 0, hi = r.count;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (r.end[mid] < pos) lo = mid + 1; else hi = mid;
    }
    return lo;
}

}  // namespace

void clearRanges(ByteRanges& ranges) {
    ranges.count = 0;
    ranges.overflowed = false;
}

int addRange(ByteRanges& r, FilePos from, FilePos to) {
    if (to <= from) return 0;
    int i = firstEndingFrom(r, from);  // ranges before i end before `from`: untouched
    int j = i;
    while (j < r.count && r.start[j] <= to) {  // touching or overlapping: merged
        if (r.start[j] < from) from = r.start[j];
        if (r.end[j] > to) to = r.end[j];
        ++j;
    }
    if (j == i) {
        if (r.count == ByteRanges::kCapacity) {
            r.overflowed = true;
            return 1;
        }
        for (int k = r.count; k > i; --k) {
            r.start[k] = r.start[k - 1];
            r.end[k] = r.end[k - 1];
        }
        ++r.count;
    } else if (j > i + 1) {
        const int removed = j - i - 1;
        for (int k = i + 1; k + removed < r.count; ++k) {
            r.start[k] = r.start[k + removed];
            r.end[k] = r.end[k + removed];
        }
        r.count -= removed;
    }
    r.start[i] = from;
    r.end[i] = to;
    return 0;
}

bool inRanges(const ByteRanges& r, FilePos pos) {
    const int i = firstEndingFrom(r, pos + 1);
    return i < r.count && r.start[i] <= pos && pos < r.end[i];
}

bool overlapsRanges(const ByteRanges& r, FilePos from, FilePos to) {
    if (to <= from) return false;
    const int i = firstEndingFrom(r, from + 1);
    return i < r.count && r.start[i] < to;
}

std::string rangeListText(const ByteRanges& r, int shown) {
    std::string text;
    for (int i = 0; i < r.count && i < shown; ++i) {
        char item[48];
        std::snprintf(item, sizeof item, "%s0x%" PRIX64 "+0x%" PRIX64, i ? ", " : "", std::uint64_t(r.start[i]),
                      std::uint64_t(r.end[i] - r.start[i]));
        text += item;
    }
    if (r.count > shown || r.overflowed) text += ", ...";
    return text;
}

std::string skippedRangesLine(const ByteRanges& r) {
    if (r.count == 0) return {};
    char head[64];
    std::snprintf(head, sizeof head, "%d%s unreadable range%s skipped: ", r.count, r.overflowed ? "+" : "",
                  r.count == 1 && !r.overflowed ? "" : "s");
    return head + rangeListText(r, 8);
}

}  // namespace quorby
