#pragma once
// The expert on the player's cards: each finished round is played again by
// the coach, on the same 26 cards in the same order, at the hint's thinking
// time per card. One round at a time on a thread of its own, so neither the
// round's end nor the statistics window waits for it.
#include <QObject>
#include <atomic>
#include <cstdint>
#include <deque>
#include <thread>
#include <utility>

#include "game/coach.h"
#include "game/playedround.h"

namespace quintelle::ui {

class ExpertPlay : public QObject {
    Q_OBJECT
  public:
    ExpertPlay(Budget budget, QObject* parent);
    // Stops the round being played (its remaining cards go the quick way) and
    // waits for the thread; nothing is reported after.
    ~ExpertPlay() override;

    void play(std::uint64_t id, const PlayedRound& round);
    bool idle() const { return !busy_ && waiting_.empty(); }


  signals:
    void played(std::uint64_t id, int points);

  private:
    void next();

    Budget budget_;
    std::deque<std::pair<std::uint64_t, PlayedRound>> waiting_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    bool busy_ = false;
};

}  // namespace quintelle::ui
