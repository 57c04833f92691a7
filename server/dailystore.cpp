#include "server/dailystore.h"

#include <algorithm>

#include "game/dailydeal.h"
#include "server/dailyseed.h"
#include "server/schema.h"

namespace quintelle::server {
namespace {

constexpr std::string_view kRoundColumns =
    "s.token, s.day, d.seed, s.name, s.started, s.moves, s.finished, s.points, s.seconds,"
    " s.score, s.ranked FROM daily_sessions s JOIN daily_days d ON d.day = s.day";

DailyRound roundOf(const SqlRow& row) {
    DailyRound r;
    r.token = row[0];
    r.day = static_cast<int>(sqlInt(row[1]));
    r.seed = row[2];
    r.name = row[3];
    r.started = sqlInt(row[4]);
    for (std::size_t at = 0; at < row[5].size(); at += 3) {
        r.moves.push_back(static_cast<int>(sqlInt(row[5].substr(at, 2))));
    }
    if (!row[6].empty()) r.finished = sqlInt(row[6]);
    r.points = static_cast<int>(sqlInt(row[7]));
    r.seconds = static_cast<int>(sqlInt(row[8]));
    r.score = static_cast<int>(sqlInt(row[9]));
    r.ranked = sqlInt(row[10]) != 0;
    return r;
}

std::string movesText(const std::vector<int>& moves) {
    std::string text;
    for (int m : moves) text += (text.empty() ? "" : ",") + std::to_string(m);
    return text;
}

std::optional<DailyRound> findIn(Connection& c, const std::string& token) {
    std::vector<SqlRow> rows =
        c.query("SELECT " + std::string(kRoundColumns) + " WHERE s.token = $1", {token});
    if (rows.empty()) return std::nullopt;
    return roundOf(rows.front());
}

int playersIn(Connection& c, int day) {
    return static_cast<int>(
        sqlInt(c.query("SELECT COUNT(*) FROM daily_sessions WHERE day = $1 AND ranked = 1",
                       {std::int64_t{day}})
                   .front()
                   .front()));
}

}  // namespace

Position positionOf(const DailyRound& round) {
    std::optional<Position> p = replayround(dealOf(round.seed), round.moves);
    if (!p) throw DatabaseError("session " + round.token + " does not replay");
    return *p;
}

DailyStore::DailyStore(Database& db) : db_(db) {
    prepareSchema(db_);
}

std::string DailyStore::seed(int day, const std::string& fresh) {
    std::string seed;
    db_.run([&](Connection& c) {
        c.query("INSERT INTO daily_days (day, seed) VALUES ($1, $2) ON CONFLICT (day) DO NOTHING",
                {std::int64_t{day}, fresh});
        seed = c.query("SELECT seed FROM daily_days WHERE day = $1", {std::int64_t{day}})
                   .front()
                   .front();
    });
    return seed;
}

std::optional<std::string> DailyStore::storedSeed(int day) {
    std::optional<std::string> seed;
    db_.run([&](Connection& c) {
        auto rows = c.query("SELECT seed FROM daily_days WHERE day = $1", {std::int64_t{day}});
        seed = rows.empty() ? std::nullopt : std::optional(rows.front().front());
    });
    return seed;
}

std::optional<int> DailyStore::par(int day) {
    std::optional<int> par;
    db_.run([&](Connection& c) {
        auto rows = c.query("SELECT par FROM daily_days WHERE day = $1 AND par IS NOT NULL",
                            {std::int64_t{day}});
        par = rows.empty() ? std::nullopt : std::optional(static_cast<int>(sqlInt(rows[0][0])));
    });
    return par;
}

bool DailyStore::claimPar(int day, std::int64_t nowMs) {
    bool claimed = false;
    db_.run([&](Connection& c) {
        claimed = !c.query(
                        "UPDATE daily_days SET par_claimed = $2 WHERE day = $1 AND par IS NULL"
                        " AND (par_claimed IS NULL OR par_claimed < $3) RETURNING day",
                        {std::int64_t{day}, nowMs, nowMs - 10 * 60'000})
                       .empty();
    });
    return claimed;
}

void DailyStore::storePar(int day, int par) {
    db_.run([&](Connection& c) {
        c.query("UPDATE daily_days SET par = $2 WHERE day = $1 AND par IS NULL",
                {std::int64_t{day}, std::int64_t{par}});
    });
}

Opened DailyStore::open(const DailyRound& round, const std::string& address, int perHour) {
    Opened outcome = Opened::Yes;
    db_.run([&](Connection& c) {
        Transaction t(c);
        outcome = Opened::Yes;
        if (perHour > 0) {
            lockClient(c, address);
            auto recent =
                c.query("SELECT COUNT(*) FROM daily_sessions WHERE address = $1 AND started > $2",
                        {address, round.started - 3'600'000});
            if (sqlInt(recent.front().front()) >= perHour) {
                outcome = Opened::TooMany;
                return;
            }
        }
        c.query(
            "INSERT INTO daily_sessions (token, day, name, address, started, moves)"
            " VALUES ($1, $2, $3, $4, $5, '')",
            {round.token, std::int64_t{round.day}, round.name, address, round.started});
        t.commit();
    });
    return outcome;
}

std::optional<DailyRound> DailyStore::find(const std::string& token) {
    std::optional<DailyRound> round;
    db_.run([&](Connection& c) { round = findIn(c, token); });
    return round;
}

Placement DailyStore::place(const std::string& token, int move, int cell, std::int64_t nowMs) {
    Placement p;
    db_.run([&](Connection& c) {
        p = Placement{};
        Transaction t(c);
        // Takes the row's lock first: two copies placing for one session at
        // once are judged one after the other.
        c.query("UPDATE daily_sessions SET moves = moves WHERE token = $1", {token});
        std::optional<DailyRound> found = findIn(c, token);
        if (!found) return;
        p.round = std::move(*found);
        p.position = positionOf(p.round);
        p.verdict = p.round.finished                 ? Verdict::Finished
                    : nowMs >= closesAt(p.round.day) ? Verdict::DayOver
                    : move != static_cast<int>(p.round.moves.size()) + 1
                        ? Verdict::OutOfTurn
                        : Verdict::Illegal;  // unless the rules take the cell
        if (p.verdict != Verdict::Illegal) return;
        std::vector<int> moves = p.round.moves;
        moves.push_back(cell);
        std::optional<Position> after = replayround(dealOf(p.round.seed), moves);
        if (!after) return;
        p.verdict = Verdict::Accepted;
        p.round.moves = std::move(moves);
        p.position = *after;
        DailyRound& r = p.round;
        if (r.moves.size() < 26) {
            c.query("UPDATE daily_sessions SET moves = $2 WHERE token = $1",
                    {token, movesText(r.moves)});
            t.commit();
            return;
        }
        r.finished = nowMs;
        // Copies' clocks may differ a little; a round never takes less than nothing.
        r.seconds = static_cast<int>(std::max<std::int64_t>(0, nowMs - r.started) / 1000);
        RoundScore score = scoreround(p.position.grid, r.seconds);
        r.points = score.points;
        r.score = score.score;
        // One finishing round of the day at a time decides which is a
        // name's first.
        c.query("UPDATE daily_days SET seed = seed WHERE day = $1", {std::int64_t{r.day}});
        r.ranked = sqlInt(c.query("SELECT COUNT(*) FROM daily_sessions"
                                  " WHERE day = $1 AND name = $2 AND ranked = 1",
                                  {std::int64_t{r.day}, r.name})
                              .front()
                              .front()) == 0;
        c.query(
            "UPDATE daily_sessions SET moves = $2, finished = $3, points = $4, seconds = $5,"
            " score = $6, ranked = $7 WHERE token = $1",
            {token, movesText(r.moves), nowMs, std::int64_t{r.points}, std::int64_t{r.seconds},
             std::int64_t{r.score}, std::int64_t{r.ranked ? 1 : 0}});
        t.commit();
    });
    return p;
}

Standing DailyStore::standing(int day, const std::string& name) {
    Standing s;
    db_.run([&](Connection& c) {
        s = Standing{};
        s.players = playersIn(c, day);
        auto mine = c.query(
            "SELECT score, seconds, finished, id FROM daily_sessions"
            " WHERE day = $1 AND name = $2 AND ranked = 1",
            {std::int64_t{day}, name});
        if (mine.empty()) return;
        s.score = static_cast<int>(sqlInt(mine[0][0]));
        s.rank = 1 + static_cast<int>(sqlInt(
                         c.query("SELECT COUNT(*) FROM daily_sessions WHERE day = $1 AND ranked = 1"
                                 " AND (score > $2 OR (score = $2 AND (seconds < $3 OR"
                                 " (seconds = $3 AND (finished < $4 OR"
                                 " (finished = $4 AND id < $5))))))",
                                 {std::int64_t{day}, sqlInt(mine[0][0]), sqlInt(mine[0][1]),
                                  sqlInt(mine[0][2]), sqlInt(mine[0][3])})
                             .front()
                             .front()));
    });
    return s;
}

int DailyStore::players(int day) {
    int count = 0;
    db_.run([&](Connection& c) { count = playersIn(c, day); });
    return count;
}

std::vector<ListedRound> DailyStore::list(int day, int limit) {
    std::vector<ListedRound> list;
    db_.run([&](Connection& c) {
        list.clear();
        for (SqlRow& row : c.query("SELECT name, score, seconds FROM daily_sessions"
                                   " WHERE day = $1 AND ranked = 1"
                                   " ORDER BY score DESC, seconds, finished, id LIMIT $2",
                                   {std::int64_t{day}, std::int64_t{limit}})) {
            list.push_back({std::move(row[0]), static_cast<int>(sqlInt(row[1])),
                            static_cast<int>(sqlInt(row[2]))});
        }
    });
    return list;
}

std::optional<DailyRound> DailyStore::counted(int day, const std::string& name) {
    std::optional<DailyRound> round;
    db_.run([&](Connection& c) {
        auto rows = c.query("SELECT " + std::string(kRoundColumns) +
                                " WHERE s.day = $1 AND s.name = $2 AND s.ranked = 1",
                            {std::int64_t{day}, name});
        round = rows.empty() ? std::nullopt : std::optional(roundOf(rows.front()));
    });
    return round;
}

void DailyStore::prune(std::int64_t nowMs, int keepDays) {
    const std::int64_t closedBefore = (nowMs - kDailyGraceMs - 3'600'000) / kDayMs;
    const std::int64_t oldest = nowMs / kDayMs - keepDays;
    db_.run([&](Connection& c) {
        Transaction t(c);
        c.query("DELETE FROM daily_sessions WHERE day < $1 AND (ranked = 0 OR day < $2)",
                {closedBefore, oldest});
        c.query("UPDATE daily_sessions SET address = '' WHERE day < $1 AND address <> ''",
                {closedBefore});
        c.query("DELETE FROM daily_days WHERE day < $1", {oldest});
        t.commit();
    });
}

}  // namespace quintelle::server
