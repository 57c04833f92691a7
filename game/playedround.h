#pragma once
// A finished round as it was played: enough to redraw it card by card and to
// give it to the coach again. The controller hands one to its RoundSink at
// every round's end.
#include <array>
#include <cstdint>

namespace quintelle {

using Grid = std::array<std::array<int, 5>, 5>;

struct PlayedRound {
    std::uint32_t seed = 0;       // the random state the deal was shuffled from
    int roundInGame = 0;          // 1 for a game's first round
    std::array<int, 26> cards{};  // the cards in the order they were offered
    std::array<int, 26> cells{};  // where each was laid, 0..24 row by row
    std::array<int, 10> lines{};  // rows 1..5, then columns 1..5
    int points = 0;               // the ten lines together
    int seconds = 0;
    int bonus = 0;
    bool cleared = false;  // the game went on to another round
    bool hinted = false;   // the coach was asked during the round

    friend bool operator==(const PlayedRound&, const PlayedRound&) = default;
};

// The grid at the round's end: every card laid in turn, the replacement
// covering what it was laid on.
Grid finalGrid(const PlayedRound& round);

// The points of the ten lines of a grid of 25 distinct cards, in
// PlayedRound::lines order.
std::array<int, 10> linePoints(const Grid& grid);

// The hand classes (PokerHand) of the same ten lines: the fast classifier,
// as a long history is checked round by round when it is read.
std::array<int, 10> lineHands(const Grid& grid);

class RoundSink {
  public:
    virtual ~RoundSink() = default;
    virtual void roundPlayed(const PlayedRound& round) = 0;
};

}  // namespace quintelle
