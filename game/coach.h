#pragma once
// The coach: a strong player that says where it would lay the card on offer.
// It works on a copy of the position and a random generator of its own, so
// asking it never changes the game or the game's deal.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "game/deck.h"
#include "game/position.h"

namespace quintelle {

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
