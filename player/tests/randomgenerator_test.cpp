// The generator's sequence is part of the player's behaviour (a seed reproduces a shuffle), so
// these tests pin it against an independent 128-bit computation, and the merge sort that shuffle
// relies on is checked with comparisons that answer at random.

#include "core/mergesort.h"
#include "core/randomgenerator.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>

namespace {

// The step computed without relying on 64-bit wrap-around: the product split into 32-bit halves.
std::uint64_t ReferenceStep(std::uint64_t state) {
    const std::uint64_t lo = state & 0xFFFFFFFFu, hi = state >> 32;
    const std::uint64_t mulLo = 0x4E35, mulHi = 0x15A4;
    const std::uint64_t low = lo * mulLo;
    const std::uint64_t cross = ((lo * mulHi + hi * mulLo) & 0xFFFFFFFFu) << 32;
    return low + cross + 1;
}

class GeneratorTest : public ::testing::Test {
protected:
    void SetUp() override { saved = TRandomGenerator::State(); }
    void TearDown() override { TRandomGenerator::SetState(saved); }
    std::uint64_t saved = 0;
};

TEST_F(GeneratorTest, FollowsTheReferenceRecurrenceFromAnySeed) {
    for (std::uint32_t seed : {0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu, 1733616000u}) {
        TRandomGenerator::Seed(seed);
        std::uint64_t state = seed;
        for (int i = 0; i < 1000; ++i) {
            state = ReferenceStep(state);
            ASSERT_EQ(TRandomGenerator::Draw(),
                      static_cast<std::int32_t>((state >> 32) & 0x7FFFFFFF))
                << "seed " << seed << " draw " << i;
        }
    }
}

TEST_F(GeneratorTest, SeedingKeepsTheHighHalfZeroAndDrawsStayNonNegative) {
    TRandomGenerator::SetState(0xDEADBEEF00000000ull);
    TRandomGenerator::Seed(5);
    EXPECT_EQ(TRandomGenerator::State(), 5u);
    TRandomGenerator::Seed(0xFFFFFFFFu);
    int odd = 0;
    for (int i = 0; i < 2000; ++i) {
        const auto value = TRandomGenerator::Draw();
        ASSERT_GE(value, 0);
        odd += value & 1;
    }
    // Shuffle decides by the lowest bit, so both answers must come up often.
    EXPECT_GT(odd, 800);
    EXPECT_LT(odd, 1200);
}

TEST_F(GeneratorTest, FirstDrawFromTheUnseededState) {
    TRandomGenerator::SetState(1);
    // 1 * multiplier + 1: the high half of the multiplier is the first value.
    EXPECT_EQ(TRandomGenerator::Draw(), 0x15A4);
}

class MergeSortTest : public ::testing::TestWithParam<int> {};

TEST_P(MergeSortTest, RandomComparisonStillGivesAPermutation) {
    TRandomGenerator::Seed(static_cast<std::uint32_t>(GetParam()) * 7919u);
    std::vector<int> items(static_cast<std::size_t>(GetParam()));
    std::iota(items.begin(), items.end(), 0);
    MergeSort(items, [](int, int) { return (TRandomGenerator::Draw() & 1) == 0; });
    std::vector<int> sorted = items;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> expected(items.size());
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(sorted, expected);
}

TEST_P(MergeSortTest, ConsistentComparisonSortsStably) {
    const int n = GetParam();
    std::vector<std::pair<int, int>> items;
    for (int i = 0; i < n; ++i)
        items.emplace_back((i * 37) % 5, i);
    MergeSort(items, [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < items.size(); ++i) {
        ASSERT_LE(items[i - 1].first, items[i].first);
        if (items[i - 1].first == items[i].first) {
            ASSERT_LT(items[i - 1].second, items[i].second) << "equal keys changed their order";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MergeSortTest, ::testing::Values(0, 1, 2, 3, 14, 99, 1000));

TEST(MergeSortShuffle, EveryOrderOfThreeComesUp) {
    TRandomGenerator::Seed(42);
    std::set<std::vector<int>> seen;
    for (int round = 0; round < 400; ++round) {
        std::vector<int> items{1, 2, 3};
        MergeSort(items, [](int, int) { return (TRandomGenerator::Draw() & 1) == 0; });
        seen.insert(items);
    }
    EXPECT_EQ(seen.size(), 6u);
}

} // namespace
