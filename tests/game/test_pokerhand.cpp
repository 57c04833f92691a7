// The hand classifier: edge cases, every class in every suit, argument order,
// and all 2,598,960 hands against a deliberately plain reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "game/PokerHand.h"
#include "game/cards.h"

using namespace quintelle;

namespace {

// Rank 2..14 and suit 0..3 of a code, written from scratch for the reference.
int refRank(int code) {
    return (code - 1) % 13 + 2;
}
int refSuit(int code) {
    return (code - 1) / 13;
}

// Textbook poker ranking, the Ace high or (in A-2-3-4-5 only) low.
int referenceClass(const std::array<int, 5>& h) {
    std::map<int, int> counts;
    bool flush = true;
    for (int c : h) {
        ++counts[refRank(c)];
        flush = flush && refSuit(c) == refSuit(h[0]);
    }
    std::array<int, 5> ranks{};
    for (int i = 0; i < 5; ++i) ranks[i] = refRank(h[i]);
    std::sort(ranks.begin(), ranks.end());
    bool distinct = counts.size() == 5;
    bool straight =
        distinct && (ranks[4] - ranks[0] == 4 || ranks == std::array<int, 5>{2, 3, 4, 5, 14});
    std::array<int, 5> shape{};
    int i = 0;
    for (auto& [rank, n] : counts) shape[i++] = n;
    std::sort(shape.begin(), shape.end(), std::greater<int>());

    if (flush && straight && ranks[0] == 10) return 9;
    if (flush && straight) return 8;
    if (shape[0] == 4) return 7;
    if (shape[0] == 3 && shape[1] == 2) return 6;
    if (flush) return 5;
    if (straight) return 4;
    if (shape[0] == 3) return 3;
    if (shape[0] == 2 && shape[1] == 2) return 2;
    if (shape[0] == 2) return 1;
    return 0;
}

int classify(const std::array<int, 5>& h) {
    return classifyhand(h[0], h[1], h[2], h[3], h[4]);
}

int C(Suit s, int rank) {
    return cardcode(s, rank);
}
constexpr Suit kC = Suit::Clubs, kD = Suit::Diamonds, kH = Suit::Hearts, kS = Suit::Spades;
// Ranks: 0 = Two .. 8 = Ten, 9 J, 10 Q, 11 K, 12 A.
constexpr int T = 8, J = 9, Q = 10, K = 11, A = kAce;

struct HandRow {
    const char* what;
    std::array<int, 5> cards;
    int expected;
};

class ClassifyRows : public ::testing::TestWithParam<HandRow> {};

TEST_P(ClassifyRows, ClassAndEveryArgumentOrder) {
    HandRow row = GetParam();
    std::array<int, 5> h = row.cards;
    std::sort(h.begin(), h.end());
    int orders = 0;
    do {
        ASSERT_EQ(classify(h), row.expected) << row.what << " in order " << h[0] << ' ' << h[1]
                                             << ' ' << h[2] << ' ' << h[3] << ' ' << h[4];
        ++orders;
    } while (std::next_permutation(h.begin(), h.end()));
    EXPECT_EQ(orders, 120);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ClassifyRows,
    ::testing::Values(
        HandRow{"royal flush clubs by code", {9, 10, 11, 12, 13}, 9},
        HandRow{"royal flush spades by code", {48, 49, 50, 51, 52}, 9},
        HandRow{"wheel suited is straight flush, not royal",
                {C(kH, A), C(kH, 0), C(kH, 1), C(kH, 2), C(kH, 3)},
                8},
        HandRow{"wheel mixed is straight", {C(kH, A), C(kC, 0), C(kD, 1), C(kS, 2), C(kH, 3)}, 4},
        HandRow{"J Q K A 2 mixed is nothing", {10, 11, 12, 13, 14}, 0},
        HandRow{
            "K A 2 3 4 mixed is nothing", {C(kC, K), C(kD, A), C(kH, 0), C(kS, 1), C(kC, 2)}, 0},
        HandRow{"K A 2 3 4 suited is a flush only",
                {C(kD, K), C(kD, A), C(kD, 0), C(kD, 1), C(kD, 2)},
                5},
        HandRow{"nine to king suited", {C(kS, 7), C(kS, T), C(kS, J), C(kS, Q), C(kS, K)}, 8},
        HandRow{
            "ten to ace mixed is straight", {C(kC, T), C(kD, J), C(kH, Q), C(kS, K), C(kC, A)}, 4},
        HandRow{"three kings two fives", {C(kC, K), C(kD, K), C(kS, K), C(kH, 3), C(kC, 3)}, 6},
        HandRow{"two kings three fives", {C(kC, K), C(kD, K), C(kS, 3), C(kH, 3), C(kC, 3)}, 6},
        HandRow{"four sevens", {C(kC, 5), C(kD, 5), C(kH, 5), C(kS, 5), C(kC, A)}, 7},
        HandRow{"four aces and a two", {C(kC, A), C(kD, A), C(kH, A), C(kS, A), C(kC, 0)}, 7},
        HandRow{"four twos and an ace", {C(kC, 0), C(kD, 0), C(kH, 0), C(kS, 0), C(kS, A)}, 7},
        HandRow{"two aces two fours jack", {C(kC, A), C(kD, A), C(kH, 2), C(kS, 2), C(kC, J)}, 2},
        HandRow{"two pair, odd card lowest code",
                {C(kC, 0), C(kD, A), C(kH, A), C(kS, 2), C(kH, 2)},
                2},
        HandRow{"three of a kind", {C(kC, 4), C(kD, 4), C(kH, 4), C(kS, 8), C(kC, J)}, 3},
        HandRow{"one pair", {C(kC, Q), C(kD, Q), C(kH, 1), C(kS, 6), C(kC, 8)}, 1},
        HandRow{"nothing mixed", {C(kC, 0), C(kD, 3), C(kH, 6), C(kS, 8), C(kC, K)}, 0},
        HandRow{"five clubs, no straight", {C(kC, 0), C(kC, 3), C(kC, 6), C(kC, 8), C(kC, K)}, 5},
        HandRow{"six-high straight", {C(kC, 0), C(kD, 1), C(kH, 2), C(kS, 3), C(kC, 4)}, 4}));

TEST(ClassifyEverySuit, EachClassInEachSuit) {
    for (Suit s : {kC, kD, kH, kS}) {
        Suit o = s == kS ? kC : Suit(static_cast<int>(s) + 1);  // another suit
        Suit p = o == kS ? kC : Suit(static_cast<int>(o) + 1);
        Suit q = p == kS ? kC : Suit(static_cast<int>(p) + 1);
        const std::pair<std::array<int, 5>, int> rows[] = {
            {{C(s, T), C(s, J), C(s, Q), C(s, K), C(s, A)}, 9},
            {{C(s, 2), C(s, 3), C(s, 4), C(s, 5), C(s, 6)}, 8},
            {{C(s, 4), C(o, 4), C(p, 4), C(q, 4), C(s, 8)}, 7},
            {{C(s, 4), C(o, 4), C(p, 4), C(q, 8), C(s, 8)}, 6},
            {{C(s, 0), C(s, 2), C(s, 5), C(s, 7), C(s, Q)}, 5},
            {{C(s, 3), C(o, 4), C(s, 5), C(o, 6), C(s, 7)}, 4},
            {{C(s, J), C(o, J), C(p, J), C(s, 1), C(o, 6)}, 3},
            {{C(s, J), C(o, J), C(p, 1), C(s, 1), C(o, 6)}, 2},
            {{C(s, J), C(o, J), C(p, 2), C(s, 1), C(o, 6)}, 1},
            {{C(s, J), C(o, 8), C(p, 2), C(s, 1), C(o, 6)}, 0},
        };
        for (const auto& [hand, expected] : rows)
            EXPECT_EQ(classify(hand), expected) << "suit " << static_cast<int>(s);
    }
}

TEST(ClassifyExhaustive, AllHandsMatchReference) {
    std::array<long, 10> histogram{};
    std::array<int, 5> h{};
    for (h[0] = 1; h[0] <= 48; ++h[0])
        for (h[1] = h[0] + 1; h[1] <= 49; ++h[1])
            for (h[2] = h[1] + 1; h[2] <= 50; ++h[2])
                for (h[3] = h[2] + 1; h[3] <= 51; ++h[3])
                    for (h[4] = h[3] + 1; h[4] <= 52; ++h[4]) {
                        const int got = classify(h);
                        const int want = referenceClass(h);
                        ASSERT_EQ(got, want)
                            << h[0] << ' ' << h[1] << ' ' << h[2] << ' ' << h[3] << ' ' << h[4];
                        ++histogram[got];
                    }
    // The well-known frequencies of five-card hands.
    EXPECT_EQ(histogram, (std::array<long, 10>{1302540, 1098240, 123552, 54912, 10200, 5108, 3744,
                                               624, 36, 4}));
}

}  // namespace
