#pragma once
// A round dealt from a known deck, as the Daily Deal plays it: placements
// replayed under the game's rules, the finished grid scored with the game's
// own classifier and tables, and the expert's score on the same deck.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stop_token>

#include "game/deck.h"
#include "game/coach.h"

namespace quintelle {

// The round after laying deck[1], deck[2], … on the cells at the given board
// addresses (11..55) in turn; nothing when a placement breaks the rules (a
// filled cell once the replacement is used, no such cell, a 27th card).
std::optional<Position> replayround(const Deck& deck, std::span<const int> addresses);

struct RoundScore {
    std::array<int, 10> lines{};  // rows 1..5, then columns 1..5
    int points = 0;
    int bonus = 0;
    int score = 0;  // points + bonus
};

// A full grid (cells row by row) scored as a round's end scores it: every row
// and column by classifyhand and the points table, and the time bonus for
// seconds.
RoundScore scoreround(const std::array<int, 25>& grid, int seconds);

// The expert's score on deck: it lays the 26 cards one by one, seeing each
// only when it is dealt, with `playouts` per decision and decision k seeded
// by seed·32 + k, so every machine finds the same number. It decides at once,
// so its score carries the full time bonus. Nothing when stop is requested.
std::optional<int> expertpar(const Deck& deck, int playouts, std::uint64_t seed,
                             std::stop_token stop = {});

}  // namespace quintelle
