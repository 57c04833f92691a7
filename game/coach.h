#pragma once
// The coach: a strong player that says where it would lay the card on offer.
// It works on a copy of the position and a random generator of its own, so
// asking it never changes the game or the game's deal.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "game/deck.h"

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
    // Points of the ten lines of a full grid (no time bonus).
    int points() const;

    static int address(int cell) { return (cell / 5 + 1) * 10 + cell % 5 + 1; }
};

struct Budget {
    int playouts = 0;      // total playouts per decision; deterministic
    int milliseconds = 0;  // wall-clock limit, used when playouts is 0
    std::uint64_t seed = 1;
};

// Where the coach would play the card on offer: a legal cell 0..24, or
// nothing when the position has no card on offer or no legal move.
std::optional<int> coachmove(const Position& position, const Budget& budget);

// The two yardsticks the coach is measured against.
std::optional<int> greedymove(const Position& position);
std::optional<int> randommove(const Position& position, std::uint64_t& state);

// Plays the 26 cards deck[1..26] of a round with `player` (position -> cell)
// and returns the points of the ten lines.
int playround(const Deck& deck, const std::function<int(const Position&)>& player);

}  // namespace quintelle
