#include "game/position.h"

#include <algorithm>

namespace quintelle {

Position Position::start(int offer) {
    Position p;
    p.offer = offer;
    p.dealt = std::uint64_t{1} << offer;
    return p;
}

void Position::place(int cell, int next) {
    if (grid[cell] != 0) canReplace = false;
    grid[cell] = offer;
    offer = next;
    --placementsLeft;
    if (next != 0) dealt |= std::uint64_t{1} << next;
}

bool Position::legal(int cell) const {
    if (cell < 0 || cell >= 25) return false;
    return grid[cell] == 0 || canReplace;
}

int Position::filled() const {
    return static_cast<int>(std::count_if(grid.begin(), grid.end(), [](int c) { return c != 0; }));
}

}  // namespace quintelle
