#include "ui/statistics/expertplay.h"

#include "platform/backgroundthread.h"

namespace quintelle::ui {

namespace {

// The coach's line points on the cards of one round; once stopped, the rest of
// the cards go where the quick player would lay them.
int expertPoints(const PlayedRound& round, const Budget& budget, const std::atomic<bool>& stop) {
    Deck deck{};
    for (std::size_t k = 0; k < round.cards.size(); ++k) deck[k + 1] = round.cards[k];
    Budget each = budget;
    return playround(deck, [&](const Position& p) {
        each.seed = budget.seed ^ round.seed ^ static_cast<std::uint64_t>(p.placementsLeft);
        const auto cell = stop ? greedymove(p) : coachmove(p, each);
        return cell.value_or(0);
    });
}

}  // namespace

ExpertPlay::ExpertPlay(Budget budget, QObject* parent) : QObject(parent), budget_(budget) {}

ExpertPlay::~ExpertPlay() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void ExpertPlay::play(std::uint64_t id, const PlayedRound& round) {
    waiting_.emplace_back(id, round);
    if (!busy_) next();
}

void ExpertPlay::next() {
    if (waiting_.empty() || stop_) return;
    busy_ = true;
    if (worker_.joinable()) worker_.join();  // finished: it reported before we got here
    auto [id, round] = waiting_.front();
    waiting_.pop_front();
    worker_ = std::thread([this, id, round] {
        platform::runInBackground();
        const int points = expertPoints(round, budget_, stop_);
        if (stop_) return;
        QMetaObject::invokeMethod(
            this,
            [this, id, points] {
                busy_ = false;
                emit played(id, points);
                next();
            },
            Qt::QueuedConnection);
    });
}

}  // namespace quintelle::ui
