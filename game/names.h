#pragma once
// Spoken names of cards and hands, for the board's screen-reader texts.
#include <string>
#include <string_view>

namespace quintelle {

// "Queen of Hearts" for a card code 1..52; empty for anything else.
std::string cardname(int code);

// "no scoring hand", "Pair", .. "Royal Flush" for a hand class 0..9; empty
// for anything else.
std::string_view handname(int handclass);

}  // namespace quintelle
