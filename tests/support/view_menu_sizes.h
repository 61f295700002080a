#pragma once
// The cell sizes the View menu offers, as the user steps through them: from
// 8 x 16, "Decrease View" down to the smallest cell, then "Enlarge View" up
// to `widest` pixels wide (the largest cell is 96 x 192). Enlarge grows the
// height by 2, 1 or 0 as the cell is flatter than, about, or taller than
// 16/9 of its width, and the width by 1; Decrease mirrors it.
#include <algorithm>
#include <utility>
#include <vector>

namespace quorby::testing {

inline std::vector<std::pair<int, int>> viewMenuSizes(int widest = 96) {
    std::vector<std::pair<int, int>> sizes = {{8, 16}};
    for (int w = 8, h = 16;;) {
        const int e = 9 * h - 16 * w;
        const int nw = std::max(7, e < -4 ? w - 2 : e <= 4 ? w - 1 : w);
        const int nh = std::max(12, h - 1);
        if (nw == w && nh == h) break;
        sizes.push_back({w = nw, h = nh});
    }
    for (int w = 8, h = 16; w < widest;) {
        const int e = 9 * h - 16 * w;
        const int nh = std::min(192, h + (e < -4 ? 2 : e <= 4 ? 1 : 0));
        const int nw = std::min(96, w + 1);
        if (nw == w && nh == h) break;
        sizes.push_back({w = nw, h = nh});
    }
    return sizes;
}

}  // namespace quorby::testing
