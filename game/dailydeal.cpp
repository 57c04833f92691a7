#include "game/dailydeal.h"

#include "game/PokerHand.h"
#include "game/scoring.h"

namespace quintelle {

std::optional<Position> replayround(const Deck& deck, std::span<const int> addresses) {
    if (addresses.size() > 26) return std::nullopt;
    Position p = Position::start(deck[1]);
    for (std::size_t k = 1; k <= addresses.size(); ++k) {
        const int row = addresses[k - 1] / 10, column = addresses[k - 1] % 10;
        const int cell = (row - 1) * 5 + column - 1;
        if (row < 1 || row > 5 || column < 1 || column > 5 || !p.legal(cell)) return std::nullopt;
        p.place(cell, k < 26 ? deck[k + 1] : 0);
    }
    return p;
}

RoundScore scoreround(const std::array<int, 25>& grid, int seconds) {
    RoundScore s;
    for (int n = 0; n < 5; ++n) {
        s.lines[n] = handpoints(classifyhand(grid[n * 5], grid[n * 5 + 1], grid[n * 5 + 2],
                                             grid[n * 5 + 3], grid[n * 5 + 4]));
        s.lines[5 + n] = handpoints(
            classifyhand(grid[n], grid[5 + n], grid[10 + n], grid[15 + n], grid[20 + n]));
    }
    for (int points : s.lines) s.points += points;
    s.bonus = timebonusfor(seconds);
    s.score = s.points + s.bonus;
    return s;
}

std::optional<int> expertpar(const Deck& deck, int playouts, std::uint64_t seed,
                             std::stop_token stop) {
    Position p = Position::start(deck[1]);
    for (int k = 1; k <= 26; ++k) {
        if (stop.stop_requested()) return std::nullopt;
        const int cell = *coachmove(p, Budget{playouts, 0, seed * 32 + static_cast<unsigned>(k)});
        p.place(cell, k < 26 ? deck[k + 1] : 0);
    }
    return scoreround(p.grid, 0).score;
}

}  // namespace quintelle
