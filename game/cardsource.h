#pragma once
// Where a round's cards come from. The classic game deals them from a deck
// shuffled at the round's start; the Daily Deal from the server, one card in
// answer to each placement. The controller asks the source for the card
// awaiting each placement and tells it where each one went; a source that
// does not have the card yet answers kNoCard and calls
// GameController::cardArrived once it has, later, never from within placed().
#include <cstddef>

#include "game/cards.h"
#include "game/deck.h"
#include "game/random.h"

namespace quintelle {

class CardSource {
  public:
    virtual ~CardSource() = default;
    // A round begins: its first card is asked for next.
    virtual void beginRound() = 0;
    // The card awaiting placement `move` (1..26); kNoCard while it is on its way.
    virtual int card(int move) const = 0;
    // Placement `move` laid its card on the cell at `address` (11..55).
    virtual void placed(int move, int address) = 0;
};

// The classic game's source: a deck shuffled afresh for every round, every
// card known at once.
class ShuffledDeck final : public CardSource {
  public:
    ShuffledDeck(Deck& deck, Random& random) : deck_(deck), random_(random) {}
    void beginRound() override { shufflecards(deck_, random_); }
    int card(int move) const override {
        return move >= 1 && move <= kDeckSize ? deck_[static_cast<std::size_t>(move)] : kNoCard;
    }
    void placed(int, int) override {}

  private:
    Deck& deck_;
    Random& random_;
};

}  // namespace quintelle
