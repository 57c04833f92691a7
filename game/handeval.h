#pragma once
// A fast exact hand classifier for searching many deals: the same answers as
// classifyhand on every five distinct cards, at a few nanoseconds a hand.
// The game itself keeps scoring with classifyhand.
#include <cstdint>

#include "game/cards.h"

namespace quintelle {

// The cards of one line as sets: a 4-bit count per rank, a rank mask and a
// suit mask. Adding a card is three operations; a full line classifies in a
// handful more.
struct LineCards {
    std::uint64_t counts = 0;  // nibble r holds the number of cards of rank r
    std::uint16_t ranks = 0;   // bit r: some card of rank r
    std::uint8_t suits = 0;    // bit s: some card of suit s
    std::uint8_t n = 0;        // cards in the line

    void add(int code) {
        const int r = rankof(code);
        counts += std::uint64_t{1} << (4 * r);
        ranks = static_cast<std::uint16_t>(ranks | (1u << r));
        suits = static_cast<std::uint8_t>(suits | (1u << static_cast<int>(suitof(code))));
        ++n;
    }
    bool oneSuit() const { return (suits & (suits - 1)) == 0; }
    // Some rank held at least k times (k = 2..4).
    bool hasCount(int k) const {
        constexpr std::uint64_t kHigh = 0x8888888888888ull;  // top bit of 13 nibbles
        const std::uint64_t add = 0x1111111111111ull * static_cast<std::uint64_t>(8 - k);
        return ((counts + add) & kHigh) != 0;
    }
};

// Hand class 0..9 of a line holding five distinct cards.
int classof(const LineCards& line);

// Hand class 0..9 of five distinct card codes 1..52, in any order.
int fastclass(int c1, int c2, int c3, int c4, int c5);

}  // namespace quintelle
