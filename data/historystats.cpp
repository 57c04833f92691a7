#include "data/historystats.h"

#include <algorithm>
#include <ctime>
#include <map>

#include "game/position.h"
#include "game/scoring.h"

namespace quintelle {

namespace {

int handWorth(int points) {
    for (int hand = 9; hand > 0; --hand)
        if (handpoints(hand) == points) return hand;
    return 0;
}

}  // namespace

HistoryFigures figuresOf(std::span<const RoundRecord> rounds) {
    HistoryFigures f;
    std::map<std::uint32_t, int> games;
    int streak = 0;
    long long points = 0, seconds = 0;
    for (std::size_t i = 0; i < rounds.size(); ++i) {
        const RoundRecord& r = rounds[i];
        const PlayedRound& p = r.round;
        ++f.rounds;
        points += p.points;
        seconds += p.seconds;
        f.bonus += p.bonus;
        games[r.game] += p.points + p.bonus;
        if (p.cleared) {
            ++f.cleared;
            f.longestStreak = std::max(f.longestStreak, ++streak);
        } else {
            streak = 0;
        }
        if (!f.bestRound || p.points > rounds[*f.bestRound].round.points) f.bestRound = i;
        // Each hand's points are its own, and a stored round's lines are its grid's.
        for (int points : p.lines) ++f.hands[static_cast<std::size_t>(handWorth(points))];
        if (p.hinted) ++f.hinted;
        if (r.expert >= 0) {
            ++f.expertRounds;
            f.playerPoints += p.points;
            f.expertPoints += r.expert;
        }
    }
    f.currentStreak = streak;
    f.games = static_cast<int>(games.size());
    for (const auto& [game, total] : games)
        if (f.bestGame == 0 || total > f.bestGamePoints) {
            f.bestGame = game;
            f.bestGamePoints = total;
        }
    if (f.rounds > 0) {
        f.clearRate = 100.0 * f.cleared / f.rounds;
        f.averagePoints = static_cast<double>(points) / f.rounds;
        f.secondsPerRound = static_cast<double>(seconds) / f.rounds;
        f.secondsPerCard = f.secondsPerRound / 26;
    }
    return f;
}

std::span<const RoundRecord> roundsSince(std::span<const RoundRecord> rounds, std::int64_t from) {
    const auto first = std::partition_point(rounds.begin(), rounds.end(),
                                            [from](const RoundRecord& r) { return r.when < from; });
    return rounds.subspan(static_cast<std::size_t>(first - rounds.begin()));
}

std::string historyCsv(std::span<const RoundRecord> rounds) {
    std::string out =
        "date,game,round,seed,points,bonus,seconds,cleared,hint,expert,"
        "row1,row2,row3,row4,row5,column1,column2,column3,column4,column5,cards,cells\n";
    for (const RoundRecord& r : rounds) {
        const PlayedRound& p = r.round;
        char date[32] = "";
        const std::time_t t = static_cast<std::time_t>(r.when);
        std::tm utc{};
        if (gmtime_r(&t, &utc)) std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%SZ", &utc);
        out += date;
        for (long long v : {static_cast<long long>(r.game), static_cast<long long>(p.roundInGame),
                            static_cast<long long>(p.seed), static_cast<long long>(p.points),
                            static_cast<long long>(p.bonus), static_cast<long long>(p.seconds),
                            static_cast<long long>(p.cleared), static_cast<long long>(p.hinted)})
            out += ',' + std::to_string(v);
        out += ',';
        if (r.expert >= 0) out += std::to_string(r.expert);
        for (int l : p.lines) out += ',' + std::to_string(l);
        out += ',';
        for (std::size_t i = 0; i < p.cards.size(); ++i)
            out += (i ? " " : "") + std::to_string(p.cards[i]);
        out += ',';
        for (std::size_t i = 0; i < p.cells.size(); ++i)
            out += (i ? " " : "") + std::to_string(Position::address(p.cells[i]));
        out += '\n';
    }
    return out;
}

}  // namespace quintelle
