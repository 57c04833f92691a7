#include "game/playedround.h"

#include "game/handeval.h"
#include "game/scoring.h"

namespace quintelle {

Grid finalGrid(const PlayedRound& round) {
    Grid grid{};
    for (std::size_t i = 0; i < round.cards.size(); ++i) {
        const int cell = round.cells[i];
        if (cell >= 0 && cell < 25)
            grid[static_cast<std::size_t>(cell / 5)][cell % 5] = round.cards[i];
    }
    return grid;
}

std::array<int, 10> lineHands(const Grid& g) {
    std::array<int, 10> hands{};
    for (std::size_t i = 0; i < 5; ++i) {
        hands[i] = fastclass(g[i][0], g[i][1], g[i][2], g[i][3], g[i][4]);
        hands[5 + i] = fastclass(g[0][i], g[1][i], g[2][i], g[3][i], g[4][i]);
    }
    return hands;
}

std::array<int, 10> linePoints(const Grid& grid) {
    std::array<int, 10> points = lineHands(grid);
    for (int& p : points) p = handpoints(p);
    return points;
}

}  // namespace quintelle
