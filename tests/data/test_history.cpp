// The round history: rounds played through the controller, stored, read back
// and summed up as the statistics window shows them; each round redrawn from
// its record; damaged, cut and foreign files set aside while new rounds are
// kept; a write that fails loses nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "data/history.h"
#include "data/historystats.h"
#include "data/readfile.h"
#include "game/coach.h"
#include "game/controller.h"
#include "tests/game/recorders.h"

using namespace quintelle;
using namespace quintelle::testing;
namespace fs = std::filesystem;

namespace {

struct TempFolder {
    fs::path path;
    TempFolder() {
        path = fs::temp_directory_path() /
               ("quintelle-history-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
};

// What the test sees of a round on the controller itself, as it ends.
struct Seen {
    Grid grid;
    int points, bonus, seconds, game;
    bool cleared, hinted;
    std::array<int, 26> deal;
};

struct StoreSink : RoundSink {
    HistoryStore& store;
    explicit StoreSink(HistoryStore& s) : store(s) {}
    void roundPlayed(const PlayedRound& round) override { store.append(round); }
};

// Plays `games` whole games on a real controller: rounds by the coach on a
// small budget or, every third game, by the random player, so games both go
// on and end; a
// varying number of clock seconds per round, and a hint asked for in some.
class Table {
  public:
    explicit Table(RoundSink& sink, std::uint32_t seed) : random_(seed) {
        game_.setRoundSink(&sink);
    }

    std::vector<Seen> play(int games) {
        std::vector<Seen> seen;
        std::uint64_t state = 7;
        for (int g = 1; g <= games; ++g) {
            game_.startGame();
            for (;;) {
                const bool hint = seen.size() % 4 == 1;
                for (int s = 0; s < static_cast<int>(seen.size() * 7 % 45); ++s) game_.tick();
                std::array<int, 26> deal{};
                for (int k = 0; k < 26; ++k)
                    deal[std::size_t(k)] = game_.deck()[std::size_t(k + 1)];
                for (int k = 0; k < 26; ++k) {
                    if (hint && k == 5) game_.hintAsked();
                    const Position p = game_.position();
                    const auto cell =
                        g % 3 == 0 ? randommove(p, state) : coachmove(p, {60, 0, state});
                    game_.place(Position::address(*cell));
                }
                game_.hintAsked();  // after the round's end: counts for nothing
                Seen s{};
                for (int r = 0; r < 5; ++r)
                    for (int c = 0; c < 5; ++c)
                        s.grid[std::size_t(r)][std::size_t(c)] = game_.grid(r + 1, c + 1);
                s.points = game_.roundscore();
                s.bonus = game_.timebonus();
                s.seconds = game_.seconds();
                s.game = g;
                s.cleared = view_.isVisible("panel_continue");
                s.hinted = hint;
                s.deal = deal;
                seen.push_back(s);
                if (!s.cleared) break;
                game_.nextRound();
            }
        }
        return seen;
    }

  private:
    Requests requests_;
    BoardView view_;
    RecordingSound sound_{requests_};
    RecordingClock clock_{requests_};
    RecordingTally tally_{requests_};
    Random random_;
    GameController game_{view_, sound_, clock_, tally_, random_};
};

HistoryStore::Clock hourly(std::int64_t& now) {
    return [&now] { return now += 3600; };
}

std::vector<RoundRecord> playedHistory(const fs::path& folder, int games, std::uint32_t seed = 11) {
    std::int64_t now = 1'700'000'000;
    HistoryStore store(folder, hourly(now));
    StoreSink sink(store);
    Table(sink, seed).play(games);
    return HistoryStore(folder).loadAll();
}

}  // namespace

TEST(History, RoundsPlayedThroughTheControllerGiveTheFigures) {
    TempFolder dir;
    std::int64_t now = 1'700'000'000;
    std::vector<Seen> seen;
    {
        HistoryStore store(dir.path, hourly(now));
        StoreSink sink(store);
        seen = Table(sink, 20261209).play(12);
    }
    const std::vector<RoundRecord> history = HistoryStore(dir.path).loadAll();
    ASSERT_EQ(history.size(), seen.size());
    ASSERT_GT(seen.size(), 12u);

    // Each round as the board showed it, and redrawn from its record alone.
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const PlayedRound& r = history[i].round;
        SCOPED_TRACE(i);
        EXPECT_EQ(finalGrid(r), seen[i].grid);
        EXPECT_EQ(linePoints(finalGrid(r)), r.lines);
        EXPECT_EQ(r.points, seen[i].points);
        EXPECT_EQ(r.cards, seen[i].deal);
        Random again(r.seed);
        Deck deck{};
        shufflecards(deck, again);
        EXPECT_TRUE(std::equal(r.cards.begin(), r.cards.end(), deck.begin() + 1));
        EXPECT_EQ(history[i].game, static_cast<std::uint32_t>(seen[i].game));
        EXPECT_EQ(r.hinted, seen[i].hinted);
        EXPECT_EQ(history[i].expert, -1);
    }

    // The window's figures, against sums taken from the board.
    const HistoryFigures f = figuresOf(history);
    std::map<int, int> games;
    int cleared = 0, streak = 0, longest = 0, hinted = 0, best = 0;
    long long points = 0, seconds = 0, bonus = 0;
    for (const Seen& s : seen) {
        games[s.game] += s.points + s.bonus;
        cleared += s.cleared;
        streak = s.cleared ? streak + 1 : 0;
        longest = std::max(longest, streak);
        hinted += s.hinted;
        best = std::max(best, s.points);
        points += s.points;
        seconds += s.seconds;
        bonus += s.bonus;
    }
    const auto bestGame = std::max_element(games.begin(), games.end(),
                                           [](auto& a, auto& b) { return a.second < b.second; });
    EXPECT_EQ(f.games, 12);
    EXPECT_EQ(f.rounds, int(seen.size()));
    EXPECT_EQ(f.cleared, cleared);
    EXPECT_DOUBLE_EQ(f.clearRate, 100.0 * cleared / double(seen.size()));
    EXPECT_EQ(f.bestGamePoints, bestGame->second);
    EXPECT_EQ(f.bestGame, std::uint32_t(bestGame->first));
    ASSERT_TRUE(f.bestRound);
    EXPECT_EQ(history[*f.bestRound].round.points, best);
    EXPECT_DOUBLE_EQ(f.averagePoints, double(points) / double(seen.size()));
    EXPECT_EQ(f.currentStreak, streak);
    EXPECT_EQ(f.longestStreak, longest);
    EXPECT_DOUBLE_EQ(f.secondsPerRound, double(seconds) / double(seen.size()));
    EXPECT_EQ(f.bonus, bonus);
    EXPECT_EQ(f.hinted, hinted);
    int lines = 0;
    for (int h : f.hands) lines += h;
    EXPECT_EQ(lines, 10 * int(seen.size()));

    // The last week: the rounds of its hours only.
    const auto lastWeek = roundsSince(history, now - 7 * 86400);
    EXPECT_EQ(lastWeek.size(), std::min<std::size_t>(seen.size(), 7 * 24));
    EXPECT_EQ(roundsSince(history, now + 1).size(), 0u);
}

TEST(History, StreaksAndTheExpertsShare) {
    struct Row {
        const char* cleared;  // one letter a round: y cleared, n not
        int current, longest;
    };
    const std::vector<RoundRecord> base = [] {
        TempFolder dir;
        return playedHistory(dir.path, 1);
    }();
    for (const Row& row : {Row{"", 0, 0}, Row{"n", 0, 0}, Row{"yyn", 0, 2}, Row{"ynyyy", 3, 3},
                           Row{"yyyynyy", 2, 4}}) {
        std::vector<RoundRecord> rounds;
        for (const char* c = row.cleared; *c; ++c) {
            RoundRecord r = base.front();
            r.round.cleared = *c == 'y';
            r.expert = c == row.cleared ? -1 : r.round.points * 2;
            rounds.push_back(r);
        }
        const HistoryFigures f = figuresOf(rounds);
        EXPECT_EQ(f.currentStreak, row.current) << row.cleared;
        EXPECT_EQ(f.longestStreak, row.longest) << row.cleared;
        EXPECT_EQ(f.expertRounds, std::max(0, int(rounds.size()) - 1)) << row.cleared;
        EXPECT_EQ(f.expertPoints, 2 * f.playerPoints) << row.cleared;
    }
}

TEST(History, DamagedCutAndForeignFilesAreSetAsideAndNewRoundsKept) {
    struct Row {
        const char* name;
        std::function<void(std::string&)> harm;
        bool othersKept;  // only the harmed record is lost
    };
    const std::size_t header = 8;
    const auto reencoded = [](std::string& bytes, std::size_t index,
                              const std::function<void(RoundRecord&)>& change) {
        const auto at = 8 + index * kRecordSize;
        auto r =
            decodeRecord({reinterpret_cast<const std::uint8_t*>(bytes.data()) + at, kRecordSize});
        ASSERT_TRUE(r);
        change(*r);
        bytes.replace(at, kRecordSize, encodeRecord(*r));
    };
    const std::vector<Row> rows = {
        {"a flipped bit in a record", [&](std::string& b) { b[header + kRecordSize + 40] ^= 4; },
         true},
        {"cut inside the last record", [&](std::string& b) { b.resize(b.size() - 30); }, true},
        {"cut inside the header", [](std::string& b) { b.resize(5); }, false},
        {"empty", [](std::string& b) { b.clear(); }, false},
        {"a settings file", [](std::string& b) { b = "[quintelle]\r\nName=Guest\r\n"; }, false},
        {"a card twice under a sound checksum",
         [&](std::string& b) {
             reencoded(b, 1, [](RoundRecord& r) { r.round.cards[3] = r.round.cards[4]; });
         },
         true},
        {"line points its grid does not give",
         [&](std::string& b) {
             reencoded(b, 0, [](RoundRecord& r) {
                 r.round.lines[9] += 5;
                 r.round.points += 5;
             });
         },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder dir;
        const auto played = playedHistory(dir.path, 3);
        const std::size_t total = played.size();
        ASSERT_GE(total, 3u);
        const fs::path file = dir.path / "rounds-000001.qhr";
        std::string bytes = readWholeFile(file).bytes;
        row.harm(bytes);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        const std::size_t expected = row.othersKept ? total - 1 : 0;

        HistoryStore store(dir.path);
        const auto after = store.loadAll();
        EXPECT_EQ(after.size(), expected);
        const auto problems = store.takeProblems();
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].find("rounds-000001.qhr"), std::string::npos);
        EXPECT_EQ(readWholeFile(fs::path(file) += ".damaged").bytes, bytes);
        // What was sound is kept, in order.
        for (std::size_t i = 0, j = 0; i < after.size(); ++i, ++j) {
            while (j < played.size() && !(played[j] == after[i])) ++j;
            EXPECT_LT(j, played.size()) << "round " << i << " is not one that was played";
        }

        // The game goes on: a new round is stored after what was kept.
        store.append(played.back().round);
        const auto reread = HistoryStore(dir.path).loadAll();
        EXPECT_EQ(reread.size(), expected + 1);
        EXPECT_TRUE(HistoryStore(dir.path).takeProblems().empty());
    }
}

TEST(History, AWriteThatFailsLosesNothing) {
    TempFolder dir;
    const auto played = playedHistory(dir.path, 1);
    const fs::path file = dir.path / "rounds-000001.qhr";
    const std::string before = readWholeFile(file).bytes;

    HistoryStore store(dir.path);
    fs::create_directory(fs::path(file) += ".tmp");  // the disk says no
    EXPECT_FALSE(store.append(played[0].round).written);
    EXPECT_FALSE(store.append(played[0].round).written);
    EXPECT_EQ(readWholeFile(file).bytes, before);
    EXPECT_EQ(store.takeProblems().size(), 1u);  // said once, not every round
    EXPECT_EQ(store.loadAll().size(), played.size() + 2);

    fs::remove(fs::path(file) += ".tmp");
    EXPECT_TRUE(store.append(played[0].round).written);
    EXPECT_EQ(HistoryStore(dir.path).loadAll().size(), played.size() + 3);
}

TEST(History, SegmentsFollowOneAnotherAndGamesKeepCounting) {
    TempFolder dir;
    const auto played = playedHistory(dir.path, 1);
    const std::size_t wanted = HistoryStore::kSegmentRounds + 5;
    {
        HistoryStore store(dir.path);
        for (std::size_t i = played.size(); i < wanted; ++i) {
            PlayedRound r = played[i % played.size()].round;
            r.roundInGame = int(i % 3) + 1;  // a new game every third round
            store.append(r);
        }
    }
    EXPECT_TRUE(fs::exists(dir.path / "rounds-000002.qhr"));
    HistoryStore store(dir.path);
    const auto all = store.loadAll();
    ASSERT_EQ(all.size(), wanted);
    EXPECT_TRUE(
        std::is_sorted(all.begin(), all.end(),
                       [](const RoundRecord& a, const RoundRecord& b) { return a.game < b.game; }));
    ASSERT_EQ(store.rounds().size(), wanted);  // read once, then kept current
    const auto id = store.append(played[0].round).id;
    EXPECT_EQ(store.loadAll().back().game, all.back().game + 1);
    EXPECT_TRUE(store.setExpert(id, 123));
    EXPECT_EQ(store.rounds().size(), wanted + 1);
    EXPECT_EQ(store.rounds().back().expert, 123);
    EXPECT_TRUE(store.setExpert(HistoryStore::kSegmentRounds + 3, 77));  // in the first segment
    const auto reread = HistoryStore(dir.path).loadAll();
    EXPECT_EQ(reread.back().expert, 123);
    EXPECT_EQ(reread[3].expert, 77);
}

TEST(History, RoundsTheExpertHasNotPlayedAreFoundAgain) {
    TempFolder dir;
    const auto played = playedHistory(dir.path, 3);
    ASSERT_GE(played.size(), 3u);
    {
        HistoryStore store(dir.path);
        const auto unplayed = store.unplayedByExpert();
        ASSERT_EQ(unplayed.size(), played.size());
        EXPECT_TRUE(store.setExpert(unplayed[1].first, 99));
    }
    HistoryStore store(dir.path);
    const auto unplayed = store.unplayedByExpert();
    ASSERT_EQ(unplayed.size(), played.size() - 1);
    for (const auto& [id, round] : unplayed) EXPECT_TRUE(store.setExpert(id, round.points + 1));
    const auto all = HistoryStore(dir.path).loadAll();
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i].expert, i == 1 ? 99 : all[i].round.points + 1) << i;
    EXPECT_TRUE(HistoryStore(dir.path).unplayedByExpert().empty());
}

TEST(History, CsvHasOneRoundALine) {
    TempFolder dir;
    const auto history = playedHistory(dir.path, 2);
    std::istringstream csv(historyCsv(history));
    std::string line;
    std::getline(csv, line);
    EXPECT_TRUE(line.starts_with("date,game,round,seed,points"));
    std::size_t n = 0;
    for (; std::getline(csv, line); ++n) {
        ASSERT_LT(n, history.size());
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 21) << line;
        const auto& r = history[n].round;
        EXPECT_NE(line.find("," + std::to_string(r.points) + ","), std::string::npos);
        const std::string cells = line.substr(line.rfind(',') + 1);
        EXPECT_EQ(cells.substr(0, 2), std::to_string(Position::address(r.cells[0])));
        EXPECT_EQ(std::count(cells.begin(), cells.end(), ' '), 25);
    }
    EXPECT_EQ(n, history.size());
}
