#pragma once
// Card codes: 1..52, 0 = no card. Clubs 1..13, diamonds 14..26, hearts 27..39,
// spades 40..52; within a suit Two..Ten, Jack, Queen, King, Ace.
// The code is also the index of the card's picture; picture 0 is the back.

namespace quintelle {

inline constexpr int kNoCard = 0;
inline constexpr int kCardBack = 0;
inline constexpr int kDeckSize = 52;
inline constexpr int kRanks = 13;

// Ranks and suits are numbered from 0 everywhere: rank 0 is the Two, 8 the
// Ten, 9 the Jack, 10 the Queen, 11 the King and 12 the Ace.
enum class Suit { Clubs, Diamonds, Hearts, Spades };
inline constexpr int kAce = 12;

constexpr bool isCard(int code) {
    return code >= 1 && code <= kDeckSize;
}

constexpr int rankof(int code) {
    return (code - 1) % kRanks;
}

constexpr Suit suitof(int code) {
    return static_cast<Suit>((code - 1) / kRanks);
}

constexpr int cardcode(Suit suit, int rank) {
    return kRanks * static_cast<int>(suit) + rank + 1;
}

}  // namespace quintelle
