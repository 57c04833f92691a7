#pragma once
// The Daily Deal's secrets, drawn from the operating system's random source:
// each day's seed and each session's token; and the deck a seed deals.
#include <string>
#include <string_view>

#include "game/deck.h"

namespace quintelle::server {

// 64 hex digits: 32 random bytes.
std::string newSeed();

// 32 hex digits: 16 random bytes, the key a player's game holds to its session.
std::string newToken();

// The deck a seed deals: the game's own shuffle, its draws taken from the
// ChaCha20 (IETF) keystream under the seed's 32 bytes and an all-zero nonce.
// Draw i reads the keystream's i-th little-endian 32-bit word w and gives
// (w·n) >> 32 below n. Anyone can deal a revealed seed again this way; while
// it is secret, the cards dealt so far tell nothing of the next. Throws
// std::invalid_argument for anything but 64 hex digits.
Deck dealOf(std::string_view seed);

}  // namespace quintelle::server
