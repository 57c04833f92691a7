#pragma once
#include <array>
#include <cstdint>

namespace quintelle {

// A round as the player sees it before a placement. Cells are numbered
// 0..24, row by row; the address shown on the board is (i/5+1)*10 + i%5+1.
struct Position {
    std::array<int, 25> grid{};  // card codes, 0 = empty
    int offer = 0;               // the card on offer
    bool canReplace = true;      // the round's one replacement is unused
    std::uint64_t dealt = 0;     // bit c: card c has been seen this round
    int placementsLeft = 26;     // counting the card on offer

    // The position before the first placement of a round.
    static Position start(int offer);
    // Lays the card on offer on `cell` (covering a card uses the
    // replacement), then offers `next` (0 at the end of the round).
    void place(int cell, int next);

    bool legal(int cell) const;
    int filled() const;

    friend bool operator==(const Position&, const Position&) = default;

    static int address(int cell) { return (cell / 5 + 1) * 10 + cell % 5 + 1; }
};

}  // namespace quintelle
