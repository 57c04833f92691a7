#pragma once
#include <array>

#include "game/random.h"

namespace quintelle {

// Positions 1..52 hold card codes; index 0 is unused so positions read as dealt.
using Deck = std::array<int, 53>;

// Each code 1..52 in turn lands on a uniformly drawn free position; an occupied
// position is simply drawn again. Returns the number of draws it took.
int shufflecards(Deck& deck, Random& random);

}  // namespace quintelle
