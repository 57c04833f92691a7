// The fast classifier answers exactly as classifyhand on every hand and in
// every argument order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "game/PokerHand.h"
#include "game/handeval.h"

using namespace quintelle;

namespace {

TEST(FastClass, EqualsClassifyhandOnEveryHand) {
    long hands = 0;
    for (int a = 1; a <= 48; ++a)
        for (int b = a + 1; b <= 49; ++b)
            for (int c = b + 1; c <= 50; ++c)
                for (int d = c + 1; d <= 51; ++d)
                    for (int e = d + 1; e <= 52; ++e, ++hands)
                        ASSERT_EQ(fastclass(a, b, c, d, e), classifyhand(a, b, c, d, e))
                            << a << ' ' << b << ' ' << c << ' ' << d << ' ' << e;
    EXPECT_EQ(hands, 2598960);
}

TEST(FastClass, ArgumentOrderDoesNotMatter) {
    // One hand of every class, including the low and high straights.
    const std::array<std::array<int, 5>, 10> hands{{
        {9, 10, 11, 12, 13},   // royal flush
        {13, 1, 2, 3, 4},      // Ace-low straight flush
        {6, 19, 32, 45, 13},   // four of a kind
        {12, 25, 38, 4, 17},   // full house
        {1, 3, 6, 8, 11},      // flush
        {13, 14, 28, 42, 4},   // Ace-low straight, mixed
        {10, 23, 36, 1, 19},   // three of a kind
        {13, 26, 3, 16, 10},   // two pair
        {11, 24, 2, 33, 8},    // pair
        {10, 11, 12, 13, 14},  // no straight round the Ace
    }};
    for (std::array<int, 5> h : hands) {
        const int want = classifyhand(h[0], h[1], h[2], h[3], h[4]);
        std::sort(h.begin(), h.end());
        do {
            ASSERT_EQ(fastclass(h[0], h[1], h[2], h[3], h[4]), want);
        } while (std::next_permutation(h.begin(), h.end()));
    }
}

TEST(LineCards, CountsRepeatedRanks) {
    struct Row {
        std::array<int, 4> cards;
        int most;  // the largest number of cards sharing a rank
    };
    const Row rows[] = {
        {{1, 2, 3, 4}, 1},     {{1, 14, 3, 4}, 2},    {{13, 26, 39, 4}, 3},
        {{13, 26, 39, 52}, 4}, {{12, 25, 11, 24}, 2},
    };
    for (const Row& row : rows) {
        LineCards line;
        for (int c : row.cards) line.add(c);
        for (int k = 2; k <= 4; ++k)
            EXPECT_EQ(line.hasCount(k), row.most >= k) << row.cards[0] << " k=" << k;
    }
}

}  // namespace
