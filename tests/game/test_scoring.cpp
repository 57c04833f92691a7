// Points, time bonus bands, praise lines and targets as the player is promised.
#include <gtest/gtest.h>

#include <string>

#include "game/scoring.h"

using namespace quintelle;

TEST(Scoring, PointsPerClass) {
    const int expected[] = {0, 2, 5, 10, 15, 20, 25, 50, 75, 100};
    for (int c = 0; c < 10; ++c) EXPECT_EQ(handpoints(c), expected[c]) << c;
    EXPECT_EQ(handpoints(-1), 0);
    EXPECT_EQ(handpoints(10), 0);
}

class TimeBonusTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TimeBonusTest, Band) {
    EXPECT_EQ(timebonusfor(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TimeBonusTest,
                         ::testing::Values(std::pair{0, 50}, std::pair{30, 50}, std::pair{31, 35},
                                           std::pair{60, 35}, std::pair{61, 20}, std::pair{90, 20},
                                           std::pair{91, 0}, std::pair{100000, 0}));

TEST(Scoring, PraiseLines) {
    const char* expected[] = {"WAY TO GO!", "Good Job!",    "Good Work!", "Awsome!",
                              "Cool Dude!", "What a Show!", "You Rock!",  "I's so Proud!",
                              "Excellent!", "Excellent!"};
    for (unsigned d = 0; d < 10; ++d) EXPECT_EQ(std::string(praiseline(d)), expected[d]) << d;
}

TEST(Scoring, TargetIsTotalPlus150) {
    EXPECT_EQ(targetfor(0), 150);
    EXPECT_EQ(targetfor(175), 325);
}
