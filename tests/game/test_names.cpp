// The names a screen reader says for cards and hands: every card its own
// name, and each hand named for the class the classifier gives it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/PokerHand.h"
#include "game/cards.h"
#include "game/names.h"

using namespace quintelle;

struct CardNameRow {
    int code;
    const char* name;
};

class CardNameTest : public ::testing::TestWithParam<CardNameRow> {};

TEST_P(CardNameTest, NamesRankAndSuit) {
    EXPECT_EQ(cardname(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CardNameTest,
    ::testing::Values(CardNameRow{0, ""}, CardNameRow{-1, ""}, CardNameRow{53, ""},
                      CardNameRow{1, "Two of Clubs"}, CardNameRow{9, "Ten of Clubs"},
                      CardNameRow{13, "Ace of Clubs"}, CardNameRow{14, "Two of Diamonds"},
                      CardNameRow{37, "Queen of Hearts"}, CardNameRow{38, "King of Hearts"},
                      CardNameRow{48, "Ten of Spades"}, CardNameRow{52, "Ace of Spades"}));

TEST(CardNames, EveryCardHasADistinctName) {
    std::set<std::string> names;
    for (int code = 1; code <= kDeckSize; ++code) names.insert(cardname(code));
    EXPECT_EQ(names.size(), static_cast<size_t>(kDeckSize));
}

struct HandNameRow {
    int cards[5];
    const char* name;
};

class HandNameTest : public ::testing::TestWithParam<HandNameRow> {};

// Spades 40..52 run Two..Ace; hearts 27..39; clubs 1..13.
TEST_P(HandNameTest, NamesTheClassifiersClass) {
    const auto& c = GetParam().cards;
    EXPECT_EQ(handname(classifyhand(c[0], c[1], c[2], c[3], c[4])), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Hands, HandNameTest,
                         ::testing::Values(HandNameRow{{1, 3, 5, 7, 22}, "no scoring hand"},
                                           HandNameRow{{1, 14, 5, 7, 22}, "Pair"},
                                           HandNameRow{{1, 14, 5, 18, 22}, "Two Pair"},
                                           HandNameRow{{1, 14, 27, 7, 22}, "Three of a Kind"},
                                           HandNameRow{{1, 15, 3, 4, 18}, "Straight"},
                                           HandNameRow{{1, 3, 5, 7, 10}, "Flush"},
                                           HandNameRow{{1, 14, 27, 7, 20}, "Full House"},
                                           HandNameRow{{1, 14, 27, 40, 20}, "Four of a Kind"},
                                           HandNameRow{{40, 41, 42, 43, 44}, "Straight Flush"},
                                           HandNameRow{{48, 49, 50, 51, 52}, "Royal Flush"}));

TEST(HandNames, OutOfRangeClassesHaveNoName) {
    EXPECT_EQ(handname(-1), "");
    EXPECT_EQ(handname(10), "");
}
