#pragma once
// Card codes: 1..52, 0 = no card. Clubs 1..13, diamonds 14..26, hearts 27..39,
// spades 40..52; within a suit Two..Ten, Jack, Queen, King, Ace.
// The code is also the index of the card's picture; picture 0 is the back.

namespace quintelle {

inline constexpr int kNoCard = 0;
inline constexpr int kCardBack = 0;
inline constexpr int kDeckSize = 52;
inline constexpr int kRanks = 13;

enum class Suit { Clubs = 1, Diamonds = 2, Hearts = 3, Spades = 4 };

constexpr bool isCard(int code) {
    return code >= 1 && code <= kDeckSize;
}

// Suit block 1..4 of a card code.
constexpr int suitblock(int code) {
    return (code - 1) / kRanks + 1;
}

// Position 1..13 within the suit block: 1 = Two .. 9 = Ten, 10 = Jack,
// 11 = Queen, 12 = King, 13 = Ace.
constexpr int position(int code) {
    return code - kRanks * (suitblock(code) - 1);
}

// Equal keys mean equal ranks (Aces 0, Twos 1, .. Kings 12).
constexpr int rankkey(int code) {
    return code % kRanks;
}

// Orders the ranks Two (1) .. Ace (13).
constexpr int straightvalue(int code) {
    const int k = code % kRanks;
    return k == 0 ? 13 : k;
}

constexpr int cardcode(Suit suit, int pos) {
    return kRanks * (static_cast<int>(suit) - 1) + pos;
}

}  // namespace quintelle
