// The tally model: ranking into the top ten, the statistics and their
// percentage, filling the shown form from a stored grid, and the reset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/intconv.h"
#include "data/tally.h"

namespace {

using quintelle::RowStyle;
using quintelle::TallyModel;
using quintelle::TextGrid;

constexpr const char* kToday = "3/14/2024";

TallyModel makeTally() {
    return TallyModel([] { return std::string(kToday); });
}

// A tally whose top ten holds `scores` (place 1 first), named and dated by place.
TallyModel tallyWith(const std::vector<int>& scores) {
    TallyModel tally = makeTally();
    TextGrid grid = TallyModel::freshGrid();
    for (std::size_t i = 0; i < scores.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid.set(0, row, "date" + std::to_string(row));
        grid.set(1, row, std::to_string(scores[i]));
        grid.set(2, row, "name" + std::to_string(row));
        grid.set(3, row, "keep" + std::to_string(row));
    }
    tally.setGrid(grid);
    tally.loadtally();
    return tally;
}

std::vector<int> tags(const TallyModel& tally) {
    std::vector<int> out;
    for (int n = 1; n <= TallyModel::kPlaces; ++n) out.push_back(tally.place(n).tag);
    return out;
}

TEST(FreshTally, ShowsZeroStatisticsAndEmptyPlaces) {
    const TallyModel tally = makeTally();
    const TextGrid& grid = tally.grid();
    ASSERT_EQ(grid.columns(), 9);
    ASSERT_EQ(grid.rows(), 12);
    for (int column = 0; column < 9; ++column)
        EXPECT_EQ(grid.cell(column, 0), column <= 4 ? "0" : "") << column;
    for (int row = 1; row < 12; ++row)
        for (int column = 0; column < 9; ++column)
            EXPECT_EQ(grid.cell(column, row), column == 1 && row <= 10 ? "-1000" : "")
                << column << "," << row;
    for (int index = 1; index <= 3; ++index) EXPECT_EQ(tally.statistic(index), "0");
    for (int n = 1; n <= 10; ++n) {
        const auto& place = tally.place(n);
        EXPECT_EQ(place.tag, -1000);
        EXPECT_EQ(place.score + place.date + place.name, "");
        EXPECT_EQ(place.style, RowStyle::LaidOut);
    }
}

struct RankRow {
    const char* what;
    std::vector<int> before;
    int score;
    int place;  // 0: not entered
    std::vector<int> after;
};

std::ostream& operator<<(std::ostream& out, const RankRow& row) {
    return out << row.what;
}

class Ranking : public testing::TestWithParam<RankRow> {};

TEST_P(Ranking, EntersAtTheFirstPlaceAtOrBelowTheScore) {
    const RankRow& row = GetParam();
    TallyModel tally = tallyWith(row.before);
    EXPECT_EQ(tally.checkscore(row.score, "Ann"), row.place != 0);
    EXPECT_EQ(tags(tally), row.after);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(tally.place(n).style, n == row.place ? RowStyle::NewEntry : RowStyle::Normal)
            << n;
    if (row.place != 0) {
        const auto& entry = tally.place(row.place);
        EXPECT_EQ(entry.score, std::to_string(row.score));
        EXPECT_EQ(entry.date, kToday);
        EXPECT_EQ(entry.name, "Ann");
    }
}

const std::vector<int> kFull = {90, 80, 70, 60, 55, 50, 48, 45, 42, 40};

INSTANTIATE_TEST_SUITE_P(
    Rows, Ranking,
    testing::Values(RankRow{"tie goes above",
                            {100, 90, 80, 70},
                            80,
                            3,
                            {100, 90, 80, 80, 70, -1000, -1000, -1000, -1000, -1000}},
                    RankRow{"empty list takes 0 at the top",
                            {},
                            0,
                            1,
                            {0, -1000, -1000, -1000, -1000, -1000, -1000, -1000, -1000, -1000}},
                    RankRow{"tie with place 10 overwrites it",
                            kFull,
                            40,
                            10,
                            {90, 80, 70, 60, 55, 50, 48, 45, 42, 40}},
                    RankRow{"below place 10 is not entered", kFull, 39, 0, kFull},
                    RankRow{"top of a full list drops place 10",
                            kFull,
                            1000,
                            1,
                            {1000, 90, 80, 70, 60, 55, 50, 48, 45, 42}},
                    RankRow{"negative ranks below zero",
                            {5, 0},
                            -1,
                            3,
                            {5, 0, -1, -1000, -1000, -1000, -1000, -1000, -1000, -1000}}));

TEST(CheckScore, MovesTheLowerEntriesDownInShownAndStoredForm) {
    TallyModel tally = tallyWith(kFull);
    ASSERT_TRUE(tally.checkscore(65, "Zed"));
    const TextGrid& grid = tally.grid();
    for (int n = 5; n <= 10; ++n) {
        const std::string from = std::to_string(n - 1);
        EXPECT_EQ(tally.place(n).tag, kFull[n - 2]) << n;
        EXPECT_EQ(tally.place(n).score, std::to_string(kFull[n - 2]));
        EXPECT_EQ(tally.place(n).date, "date" + from);
        EXPECT_EQ(tally.place(n).name, "name" + from);
        EXPECT_EQ(grid.cell(0, n), "date" + from);
        EXPECT_EQ(grid.cell(1, n), std::to_string(kFull[n - 2]));
        EXPECT_EQ(grid.cell(2, n), "name" + from);
        EXPECT_EQ(grid.cell(3, n), "keep" + std::to_string(n)) << "unused columns stay";
    }
    EXPECT_EQ(grid.cell(0, 4), kToday);
    EXPECT_EQ(grid.cell(1, 4), "65");
    EXPECT_EQ(grid.cell(2, 4), "Zed");
    EXPECT_EQ(tally.place(3).name, "name3");
}

TEST(CheckScore, RefusedScoreChangesNothingButTheStyles) {
    TallyModel tally = tallyWith(kFull);
    const TextGrid before = tally.grid();
    EXPECT_FALSE(tally.checkscore(-5, "Ann"));
    EXPECT_EQ(tally.grid(), before);
    EXPECT_EQ(tally.place(10).name, "name10");
}

TEST(CheckScore, NamesAreStoredAsOneLine) {
    struct Row {
        std::string name;
        std::string stored;
    } rows[] = {{"", ""}, {"Guest", "Guest"}, {" a b ", " a b "}, {"Bo\r\nb\x1a", "Bob"}};
    for (const auto& row : rows) {
        TallyModel tally = makeTally();
        ASSERT_TRUE(tally.checkscore(10, row.name));
        EXPECT_EQ(tally.grid().cell(2, 1), row.stored);
        EXPECT_EQ(tally.place(1).name, row.stored);
    }
}

struct StatisticsRow {
    const char* what;
    const char* played;
    const char* cleared;
    std::vector<int> increments;
    // rounds played, rounds cleared, percentage after each increment
    std::vector<std::vector<std::string>> shown;
};

std::ostream& operator<<(std::ostream& out, const StatisticsRow& row) {
    return out << row.what;
}

class Statistics : public testing::TestWithParam<StatisticsRow> {};

TEST_P(Statistics, PercentageIsRecomputedWhenARoundStarts) {
    const StatisticsRow& row = GetParam();
    TallyModel tally = makeTally();
    TextGrid grid = TallyModel::freshGrid();
    grid.set(1, 0, row.played);
    grid.set(2, 0, row.cleared);
    tally.setGrid(grid);
    tally.loadtally();
    for (std::size_t i = 0; i < row.increments.size(); ++i) {
        tally.addtomineincrease(row.increments[i]);
        const std::vector<std::string> shown = {tally.statistic(1), tally.statistic(2),
                                                tally.statistic(3)};
        EXPECT_EQ(shown, row.shown[i]) << "after increment " << i;
        for (int index = 1; index <= 3; ++index)
            EXPECT_EQ(tally.grid().cell(index, 0), shown[index - 1]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Statistics,
    testing::Values(StatisticsRow{"fraction dropped", "2", "2", {1}, {{"3", "2", "66"}}},
                    StatisticsRow{"cleared shows at the next start",
                                  "3",
                                  "2",
                                  {1, 2, 1},
                                  {{"4", "2", "50"}, {"4", "3", "50"}, {"5", "3", "60"}}},
                    StatisticsRow{"fresh", "0", "0", {1, 2}, {{"1", "0", "0"}, {"1", "1", "0"}}},
                    StatisticsRow{"damaged played restarts", "abc", "1", {1}, {{"1", "1", "100"}}},
                    StatisticsRow{"damaged cleared gives 0 percent",
                                  "4",
                                  "x",
                                  {1, 2},
                                  {{"5", "x", "0"}, {"5", "1", "0"}}},
                    StatisticsRow{"empty counter restarts", "", "", {2}, {{"", "1", "0"}}},
                    StatisticsRow{"repaired played stays within 100 percent",
                                  "abc",
                                  "7",
                                  {1, 1},
                                  {{"1", "7", "100"}, {"2", "7", "100"}}},
                    StatisticsRow{
                        "negative cleared shows 0 percent", "3", "-2", {1}, {{"4", "-2", "0"}}},
                    StatisticsRow{"top value stays",
                                  "2147483647",
                                  "2147483647",
                                  {1},
                                  {{"2147483647", "2147483647", "100"}}}));

TEST(Addit, RaisesTheConversionErrorAndChangesNothing) {
    TallyModel tally = makeTally();
    TextGrid grid = TallyModel::freshGrid();
    grid.set(4, 0, "1x");
    tally.setGrid(grid);
    EXPECT_EQ(tally.addit(1, 0), 1);
    EXPECT_EQ(tally.addit(1, 0), 2);
    try {
        tally.addit(4, 0);
        FAIL() << "no error";
    } catch (const quintelle::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'1x' is not a valid integer value");
    }
    EXPECT_EQ(tally.grid().cell(4, 0), "1x");
}

TEST(LoadTally, ShowsStoredScoresAndEmptiesNonScores) {
    struct Row {
        const char* stored;
        const char* shown;
        int tag;
        const char* kept;
    } rows[] = {{"abc", "", -1000, "abc"},      {"-1000", "", -1000, "-1000"},
                {"-999", "-999", -999, "-999"}, {"-5000", "", -5000, "-5000"},
                {"", "", -1000, "-1000"},       {" 12", " 12", 12, " 12"},
                {"$10", "$10", 16, "$10"},      {"250", "250", 250, "250"}};
    for (const auto& row : rows) {
        TallyModel tally = makeTally();
        TextGrid grid = TallyModel::freshGrid();
        grid.set(0, 2, "1/2/2023");
        grid.set(1, 2, row.stored);
        grid.set(2, 2, "Kim");
        tally.setGrid(grid);
        tally.loadtally();
        const auto& place = tally.place(2);
        EXPECT_EQ(place.score, row.shown) << row.stored;
        EXPECT_EQ(place.tag, row.tag) << row.stored;
        EXPECT_EQ(place.date, "1/2/2023");
        EXPECT_EQ(place.name, "Kim");
        EXPECT_EQ(tally.grid().cell(1, 2), row.kept) << row.stored;
    }
}

TEST(LoadTally, KeepsRowStylesAndWidensSmallGrids) {
    TallyModel tally = makeTally();
    tally.checkscore(5, "Ann");
    tally.setGrid(TextGrid(2, 3));
    tally.loadtally();
    EXPECT_EQ(tally.grid().columns(), 9);
    EXPECT_EQ(tally.grid().rows(), 12);
    EXPECT_EQ(tally.place(1).style, RowStyle::NewEntry);
    EXPECT_EQ(tally.place(10).tag, -1000);
    tally.addtomineincrease(1);
    EXPECT_EQ(tally.statistic(1), "1");
}

TEST(Reset, EmptiesTheListAndZeroesTheStatistics) {
    TallyModel tally = tallyWith(kFull);
    TextGrid grid = tally.grid();
    grid.setRows(15);
    grid.set(0, 0, "7");
    grid.set(6, 0, "x");
    grid.set(0, 11, "d");
    grid.set(1, 11, "1");
    tally.setGrid(grid);
    tally.loadtally();
    tally.addtomineincrease(1);
    tally.checkscore(100, "Ann");
    tally.reset();

    const TextGrid& after = tally.grid();
    EXPECT_EQ(after.rows(), 12);
    EXPECT_EQ(after.cell(0, 0), "7");
    for (int column = 1; column < 9; ++column) EXPECT_EQ(after.cell(column, 0), "0") << column;
    for (int row = 1; row < 12; ++row) {
        EXPECT_EQ(after.cell(0, row), "");
        EXPECT_EQ(after.cell(1, row), "-1000");
        EXPECT_EQ(after.cell(2, row), "");
    }
    EXPECT_EQ(after.cell(3, 4), "keep4");
    for (int index = 1; index <= 3; ++index) EXPECT_EQ(tally.statistic(index), "0");
    for (int n = 1; n <= 10; ++n) {
        const auto& place = tally.place(n);
        EXPECT_EQ(place.tag, -1000);
        EXPECT_EQ(place.score + place.date + place.name, "");
        EXPECT_EQ(place.style, RowStyle::Normal);
    }
    EXPECT_TRUE(tally.checkscore(0, "B"));
    EXPECT_EQ(tags(tally)[0], 0);
}

TEST(Notification, FollowsEveryOperation) {
    TallyModel tally = makeTally();
    int count = 0;
    tally.setOnChanged([&] { ++count; });
    const std::vector<std::function<void()>> operations = {
        [&] { tally.addtomineincrease(1); },
        [&] { tally.addtomineset(3, "7"); },
        [&] { tally.addit(4, 0); },
        [&] { tally.checkscore(1, "a"); },
        [&] { tally.checkscore(-5000, "a"); },
        [&] { tally.loadtally(); },
        [&] { tally.reset(); },
    };
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const int before = count;
        operations[i]();
        EXPECT_GT(count, before) << "operation " << i;
    }
    EXPECT_EQ(tally.statistic(3), "0");
}

}  // namespace
