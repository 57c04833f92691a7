#pragma once

namespace quintelle {

enum HandClass : int {
    kNoHand = 0,
    kPair = 1,
    kTwoPair = 2,
    kThreeOfAKind = 3,
    kStraight = 4,
    kFlush = 5,
    kFullHouse = 6,
    kFourOfAKind = 7,
    kStraightFlush = 8,
    kRoyalFlush = 9,
};

// Classifies five card codes (1..52) as a poker hand, 0..9. The order of the
// arguments does not matter. Allocates nothing.
int classifyhand(int c1, int c2, int c3, int c4, int c5);

}  // namespace quintelle
