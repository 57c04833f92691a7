#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "game/cardsource.h"
#include "game/deck.h"
#include "game/playedround.h"
#include "game/ports.h"
#include "game/position.h"
#include "game/random.h"

namespace quintelle {

// The state of one game and the operations that carry it from Start to the
// end of the game. Writes the board only through GameView.
class GameController {
  public:
    GameController(GameView& view, SoundSink& sound, RoundClock& clock, TallySink& tally,
                   Random& random);

    // Statistic indices of the tally.
    static constexpr int kStatRounds = 1;
    static constexpr int kStatCleared = 2;
    static constexpr int kBarWidth = 131;

    // A new game from round 1, at any moment; a running round is dropped.
    void startGame();
    // One round from `source`, outside the classic game: no target, no next
    // round, nothing counted in the tally; its end shows the line scores and
    // stops, and whoever dealt it shows the result. A running round is dropped.
    void startDaily(CardSource& source);
    // `from` has the card it answered kNoCard for; it goes on offer if `from`
    // still deals the running round.
    void cardArrived(const CardSource& from);
    // `from` cannot deal the rest of its round: the round stops where it is.
    void abandonRound(const CardSource& from);
    // The next round, from the continue panel.
    void nextRound();
    // Closes the game-over panel; the board stays as it is.
    void dismissGameOver();
    // Lays the card on offer on the cell with address row*10+column (11..55).
    void place(int address);
    // One second of the round clock.
    void tick();
    // The coach was asked for a hint; counts only while a round is dealing.
    void hintAsked();

    // Told of every finished round; null for none.
    void setRoundSink(RoundSink* sink) { roundSink_ = sink; }

    // Game state, readable for the board and for tests.
    const Deck& deck() const { return deck_; }
    int nextcard() const { return nextcard_; }
    int topcard() const { return topcard_; }
    int grid(int row, int column) const { return grid_[row - 1][column - 1]; }
    bool canreplace() const { return canreplace_; }
    bool dealing() const { return dealing_; }
    // A placement was sent and its answer, the next card, has not come yet.
    bool awaitingCard() const { return dealing_ && topcard_ == kNoCard; }
    bool dailyRound() const { return daily_; }
    int linescore(int line) const { return linescore_[line - 1]; }
    int roundscore() const { return roundscore_; }
    int timebonus() const { return timebonus_; }
    int totalscore() const { return totalscore_; }
    int targetscore() const { return targetscore_; }
    int roundnum() const { return roundnum_; }
    int seconds() const { return seconds_; }
    // The round as the player sees it: the grid, the card on offer, the
    // replacement and the cards seen so far.
    Position position() const;

    static std::string clocktext(int seconds);

  private:
    // A game from `source`: the classic one, or a daily round.
    void begin(CardSource& source, bool daily);
    void startround();
    void clearall();
    bool checkfordone() const;
    void postscore();
    void hidepanels();
    void endround();
    void showcardonoffer(int code);
    // The source's card for the next placement on offer, once it has one.
    void offer();

    GameView& view_;
    SoundSink& sound_;
    RoundClock& clock_;
    TallySink& tally_;
    Random& random_;
    RoundSink* roundSink_ = nullptr;

    Deck deck_{};
    int nextcard_ = 1;
    int topcard_ = 0;
    std::array<std::array<int, 5>, 5> grid_{};
    bool canreplace_ = true;
    bool dealing_ = false;
    std::array<int, 10> linescore_{};
    int roundscore_ = 0;
    int timebonus_ = 0;
    int totalscore_ = 0;
    int targetscore_ = 0;
    int roundnum_ = 0;
    int seconds_ = 0;
    PlayedRound played_{};  // the round so far, for the round sink
    std::uint64_t dealt_ = 0;  // the cards offered in this round, bit per code

    ShuffledDeck classic_{deck_, random_};
    CardSource* source_ = &classic_;
    bool daily_ = false;
};

}  // namespace quintelle
