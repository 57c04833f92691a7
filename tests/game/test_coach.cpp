// The coach: legal in every phase of a round, repeatable for a seed and a
// playout budget, sees the obvious moves, and plays far better than the
// simple players it is measured against.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "game/cards.h"
#include "game/coach.h"
#include "game/deck.h"

using namespace quintelle;

namespace {

constexpr Suit kC = Suit::Clubs, kD = Suit::Diamonds, kH = Suit::Hearts, kS = Suit::Spades;
// Ranks: 0 = Two .. 8 = Ten, 9 J, 10 Q, 11 K, 12 A.
constexpr int T = 8, J = 9, Q = 10, K = 11, A = kAce;
int C(Suit s, int rank) {
    return cardcode(s, rank);
}

// A position mid-round: `cells` row by row (0 = empty), the card on offer,
// whether the replacement is left. Placements so far follow from the grid.
Position made(std::initializer_list<int> cells, int offer, bool canReplace) {
    Position p;
    int i = 0;
    for (int c : cells) p.grid[static_cast<std::size_t>(i++)] = c;
    p.offer = offer;
    p.canReplace = canReplace;
    p.placementsLeft = 26 - p.filled() - (canReplace ? 0 : 1);
    for (int c : p.grid)
        if (c) p.dealt |= std::uint64_t{1} << c;
    p.dealt |= std::uint64_t{1} << offer;
    return p;
}

Deck dealt(std::uint32_t seed) {
    Random random(seed);
    Deck deck{};
    shufflecards(deck, random);
    return deck;
}

enum Phase { kFirst, kReplaceLeft, kReplaceUsed, kFullWithReplace, kLast, kPhases };

Phase phaseOf(const Position& p) {
    if (p.filled() == 0) return kFirst;
    if (p.filled() == 25) return kFullWithReplace;  // the last card must replace
    if (p.placementsLeft == 1) return kLast;        // the last card fills the last gap
    return p.canReplace ? kReplaceLeft : kReplaceUsed;
}

TEST(Coach, OnlyLegalMovesInEveryPhase) {
    // Rounds driven by the greedy player (which keeps the replacement to the
    // end) and the random one (which spends it early); at every position the
    // coach is asked as well.
    std::array<int, kPhases> seen{};
    std::uint64_t randomState = 5;
    for (std::uint32_t seed : {11u, 12u, 13u}) {
        const Deck deck = dealt(seed);
        for (int driver = 0; driver < 2; ++driver) {
            playround(deck, [&](const Position& p) {
                const auto move = coachmove(p, Budget{100, 0, seed});
                EXPECT_TRUE(move && p.legal(*move)) << "phase " << phaseOf(p);
                if (p.filled() == 25) {
                    EXPECT_NE(p.grid[static_cast<std::size_t>(*move)], 0);
                }
                if (!p.canReplace) {
                    EXPECT_EQ(p.grid[static_cast<std::size_t>(*move)], 0);
                }
                ++seen[phaseOf(p)];
                const auto drive = driver == 0 ? greedymove(p) : randommove(p, randomState);
                EXPECT_TRUE(drive && p.legal(*drive));
                return *drive;
            });
        }
    }
    for (int phase = 0; phase < kPhases; ++phase) EXPECT_GT(seen[phase], 0) << "phase " << phase;
}

TEST(Coach, NothingToSayWithoutACardOnOffer) {
    Position p = Position::start(C(kS, A));
    p.offer = 0;
    EXPECT_FALSE(coachmove(p, Budget{100, 0, 1}));
    EXPECT_FALSE(greedymove(p));
}

TEST(Coach, SameSeedAndBudgetSameMove) {
    const Deck deck = dealt(77);
    Position p = Position::start(deck[1]);
    for (int k = 1; k <= 9; ++k) p.place(*greedymove(p), deck[k + 1]);
    const auto first = coachmove(p, Budget{600, 0, 42});
    ASSERT_TRUE(first);
    for (int again = 0; again < 3; ++again) {
        const Position copy = p;
        EXPECT_EQ(coachmove(copy, Budget{600, 0, 42}), first);
    }
}

struct ObviousRow {
    const char* what;
    Position position;
    int cell;
};

class ObviousMoves : public ::testing::TestWithParam<ObviousRow> {};

TEST_P(ObviousMoves, Found) {
    const ObviousRow& row = GetParam();
    EXPECT_EQ(coachmove(row.position, Budget{2000, 0, 3}), row.cell) << row.what;
}

// Five junk rows to build positions from; row 2 is four hearts in a run and a
// dead King of clubs.
#define ROW0 C(kC, 0), C(kD, 5), C(kS, Q), C(kH, 2), C(kC, 7)
#define ROW1 C(kD, J), C(kS, 1), C(kC, 6), C(kD, A), C(kS, 3)
#define ROW2 C(kH, 3), C(kH, 4), C(kH, 5), C(kH, 6), C(kC, K)
#define ROW3 C(kC, T), C(kD, 0), C(kS, 4), C(kH, J), C(kC, 1)

INSTANTIATE_TEST_SUITE_P(
    HandBuilt, ObviousMoves,
    ::testing::Values(
        ObviousRow{"the Ace completes a royal flush in the top row",
                   made({C(kS, T), C(kS, J), C(kS, Q), C(kS, K), 0, ROW1, ROW2}, C(kS, A), true),
                   4},
        ObviousRow{"the last card replaces the dead King for a straight flush",
                   made({ROW0, ROW1, ROW2, ROW3, C(kD, Q), C(kS, 2), C(kD, K), C(kS, 7), C(kH, 0)},
                        C(kH, 7), true),
                   14},
        ObviousRow{"mid-round, the replacement takes the straight flush at once",
                   made({ROW0, ROW1, ROW2, ROW3, C(kD, Q), C(kS, 2), 0, 0, 0}, C(kH, 7), true), 14},
        ObviousRow{
            "with the replacement spent, the royal flush still goes in",
            made({C(kS, T), C(kS, J), C(kS, Q), C(kS, K), 0, ROW1, ROW2, ROW3, 0, 0, 0, 0, 0},
                 C(kS, A), false),
            4}));

TEST(Coach, FarAboveTheSimplePlayers) {
    long coach = 0, greedy = 0, random = 0;
    std::uint64_t state = 9;
    for (std::uint32_t seed = 100; seed < 106; ++seed) {
        const Deck deck = dealt(seed);
        coach += playround(deck, [&](const Position& p) {
            return *coachmove(p, Budget{400, 0, seed});
        });
        greedy += playround(deck, [](const Position& p) { return *greedymove(p); });
        random += playround(deck, [&](const Position& p) { return *randommove(p, state); });
    }
    EXPECT_GT(coach, greedy + greedy / 4);
    EXPECT_GT(greedy, 2 * random);
}

}  // namespace
