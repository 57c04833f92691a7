#pragma once
// The Daily Deal as the database keeps it: each UTC day's secret seed and the
// expert's par, and every session dealt from it, so that several server
// copies on one database share them and a session can go on on any copy.
// Every placement is judged and stored under a lock on its session's row.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/coach.h"
#include "server/database.h"

namespace quintelle::server {

// A day's sessions take placements until ten minutes into the next day; only
// then are its seed, deal and grids shown.
inline constexpr std::int64_t kDayMs = 86'400'000;
inline constexpr std::int64_t kDailyGraceMs = 10 * 60'000;
constexpr std::int64_t closesAt(int day) {
    return (day + std::int64_t{1}) * kDayMs + kDailyGraceMs;
}

// One session as stored.
struct DailyRound {
    std::string token;
    int day = 0;
    std::string seed;  // the day's: never to leave the server before the day closes
    std::string name;
    std::int64_t started = 0;  // when its first card was dealt
    std::vector<int> moves;    // cell addresses of its accepted placements
    std::optional<std::int64_t> finished;
    int points = 0, seconds = 0, score = 0;
    bool ranked = false;
};

// The board of a stored round, its next card on offer. Throws DatabaseError
// when the round does not replay under the rules, which no round this
// server stored does.
Position positionOf(const DailyRound& round);

// Where a name stands on a day: the place of its counted round among players.
struct Standing {
    int rank = 0;
    int players = 0;
    std::optional<int> score;  // of the counted round; none before one finishes
};

struct ListedRound {
    std::string name;
    int score = 0, seconds = 0;
};

enum class Opened { Yes, TooMany };

enum class Verdict { Accepted, Unknown, Finished, DayOver, OutOfTurn, Illegal };

struct Placement {
    Verdict verdict = Verdict::Unknown;
    DailyRound round;   // as it stands after the placement (as it was when refused)
    Position position;  // the board of round, with the next card on offer
};

class DailyStore {
  public:
    // Creates or upgrades the tables in db (schema.h). Throws DatabaseError.
    explicit DailyStore(Database& db);

    // The day's seed; fresh becomes it unless some copy stored one first.
    std::string seed(int day, const std::string& fresh);

    std::optional<std::string> storedSeed(int day);
    std::optional<int> par(int day);

    // True when the caller is to work out the day's par: none is stored and
    // nobody claimed the work in the last ten minutes (a copy that stopped
    // halfway leaves it to the next).
    bool claimPar(int day, std::int64_t nowMs);
    void storePar(int day, int par);

    // Stores a new session of round.day unless its address opened perHour
    // sessions in the hour before round.started (0: no limit).
    Opened open(const DailyRound& round, const std::string& address, int perHour);

    std::optional<DailyRound> find(const std::string& token);

    // Lays the card on offer of the session at cell (11..55) as placement
    // number move, if the rules allow: the session exists, is not finished,
    // its day still takes placements at nowMs, move is the next placement and
    // the cell is empty or the replacement unused. The 26th placement
    // finishes and scores the round, timed from its first card to nowMs; a
    // name's first finished round of the day is ranked. Refused, nothing
    // changes.
    Placement place(const std::string& token, int move, int cell, std::int64_t nowMs);

    Standing standing(int day, const std::string& name);
    int players(int day);

    // Counted rounds, best first: higher score, then shorter time, then
    // earlier finish.
    std::vector<ListedRound> list(int day, int limit);

    std::optional<DailyRound> counted(int day, const std::string& name);

    // Keeps the tables bounded: sessions not ranked are deleted, and the
    // addresses of ranked ones blanked, once their day closed an hour before
    // nowMs; days older than keepDays before nowMs's day go with all their
    // sessions.
    void prune(std::int64_t nowMs, int keepDays);

  private:
    Database& db_;
};

}  // namespace quintelle::server
