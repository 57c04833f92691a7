// Card codes, the random source and the shuffle: a seed must reproduce a deal
// draw for draw, on every copy of the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "game/cards.h"
#include "game/deck.h"
#include "game/random.h"

using namespace quintelle;

struct CodeRow {
    int code;
    Suit suit;
    int rank;
};

TEST(CardCode, SuitAndRankOfCodes) {
    const CodeRow rows[] = {
        {1, Suit::Clubs, 0},        {9, Suit::Clubs, 8},     {11, Suit::Clubs, 10},
        {12, Suit::Clubs, 11},      {13, Suit::Clubs, kAce}, {14, Suit::Diamonds, 0},
        {26, Suit::Diamonds, kAce}, {27, Suit::Hearts, 0},   {39, Suit::Hearts, kAce},
        {40, Suit::Spades, 0},      {51, Suit::Spades, 11},  {52, Suit::Spades, kAce}};
    for (const CodeRow& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(suitof(r.code), r.suit);
        EXPECT_EQ(rankof(r.code), r.rank);
        EXPECT_EQ(cardcode(r.suit, r.rank), r.code);
    }
}

TEST(RandomSource, GoldenDraws) {
    struct Row {
        std::uint32_t seed, bound;
        std::array<std::uint32_t, 5> draws;
    };
    const Row rows[] = {
        {0, 52, {0, 1, 44, 10, 14}},
        {12345, 100, {38, 28, 7, 55, 63}},
        {0xFFFFFFFFu, 10, {9, 2, 5, 1, 8}},
    };
    for (const Row& row : rows) {
        Random r(row.seed);
        for (std::uint32_t expected : row.draws)
            EXPECT_EQ(r.below(row.bound), expected) << row.seed;
    }
}

TEST(RandomSource, AdvancesStateBeforeEachDraw) {
    Random r(7);
    r.below(1);
    EXPECT_EQ(r.state(), 7u * 134775813u + 1u);
    EXPECT_EQ(r.below(1), 0u);  // bound 1 always gives 0
}

TEST(Shuffle, GoldenDeals) {
    Deck deck{};
    Random r(0);
    const int draws = shufflecards(deck, r);
    const std::vector<int> first26(deck.begin() + 1, deck.begin() + 27);
    EXPECT_EQ(first26, (std::vector<int>{1,  2, 47, 13, 11, 41, 50, 24, 8,  38, 4,  43, 21,
                                         39, 5, 15, 7,  18, 49, 9,  46, 45, 10, 52, 12, 23}));
    EXPECT_EQ(draws, 180);

    Random r2(45296789);
    EXPECT_EQ(shufflecards(deck, r2), 246);
    EXPECT_EQ(std::vector<int>(deck.begin() + 1, deck.begin() + 11),
              (std::vector<int>{27, 4, 25, 44, 10, 7, 31, 16, 11, 18}));
}

TEST(Shuffle, EveryCodeExactlyOnceAndDrawCountsPlausible) {
    Random r(2024);
    Deck deck{};
    long total = 0;
    constexpr int kShuffles = 2000;
    for (int i = 0; i < kShuffles; ++i) {
        const int draws = shufflecards(deck, r);
        EXPECT_GE(draws, 52);
        total += draws;
        std::vector<int> codes(deck.begin() + 1, deck.end());
        std::sort(codes.begin(), codes.end());
        for (int c = 1; c <= 52; ++c) ASSERT_EQ(codes[c - 1], c);
        ASSERT_EQ(deck[0], 0);
    }
    // Coupon-collector expectation: 52 * H(52) ~ 236 draws per shuffle.
    const double mean = static_cast<double>(total) / kShuffles;
    EXPECT_GT(mean, 225.0);
    EXPECT_LT(mean, 247.0);
}

TEST(Shuffle, DealDependsOnlyOnTheState) {
    Deck a{}, b{};
    Random r1(99), r2(99);
    shufflecards(a, r1);
    shufflecards(b, r2);
    EXPECT_EQ(a, b);
    shufflecards(b, r2);  // next round: a different deal from the advanced state
    EXPECT_NE(a, b);
}
