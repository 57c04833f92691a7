#include "game/deck.h"

#include "game/cards.h"

namespace quintelle {

int shufflecards(Deck& deck, Random& random) {
    deck.fill(kNoCard);
    int draws = 0;
    for (int code = 1; code <= kDeckSize; ++code) {
        for (;;) {
            const int pos = static_cast<int>(random.below(kDeckSize)) + 1;
            ++draws;
            if (deck[pos] == kNoCard) {
                deck[pos] = code;
                break;
            }
        }
    }
    return draws;
}

}  // namespace quintelle
