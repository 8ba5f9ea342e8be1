#pragma once
// A stable merge sort that stays defined for any comparison, even one that answers at random:
// every element is moved exactly once per pass and every index is bounded by the pass, so the
// sort ends after log2(n) passes with a permutation of its input whatever "less" says.
// std::sort makes no such promise for an inconsistent comparison.

#include <algorithm>
#include <cstddef>
#include <vector>

template <typename T, typename Less> void MergeSort(std::vector<T>& items, Less less) {
    const std::size_t n = items.size();
    std::vector<T> scratch(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi)
                scratch[out++] =
                    less(items[b], items[a]) ? std::move(items[b++]) : std::move(items[a++]);
            while (a < mid)
                scratch[out++] = std::move(items[a++]);
            while (b < hi)
                scratch[out++] = std::move(items[b++]);
        }
        items.swap(scratch);
    }
}
